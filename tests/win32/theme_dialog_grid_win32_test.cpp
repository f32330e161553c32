// The grid as a kind of the skinned dialog: its creator over a template
// control (list-view mode over a list view), its array and skin name, and
// its keys read from the skin files in list order.
#include <gtest/gtest.h>

#include <string>

#include "ThemeClass/ThemeGrid.h"
#include "theme_dialog_scene.h"

using namespace dlgtest;
using themetest::Hex;

namespace {

// The creator over two kinds of template: the template goes, the grid takes
// its id with a border and no rows; only a list view puts it in list-view
// mode.
TEST(ThemeDialogGrid, CreatorReplacesTheTemplate) {
    struct Case {
        const char* name;
        UINT id;
        BOOL listView;
    };
    for (const Case& c : {Case{"over a list view", IDC_SK_REPORT, TRUE},
                          Case{"over a label", IDC_SK_REPORT_LABEL, FALSE}}) {
        DialogScene s(IDD_SKIN_REPORT, 400, 300);
        const HWND hTemplate = ::GetDlgItem(s.hwnd(), c.id);
        ASSERT_TRUE(hTemplate) << c.name;
        const CRect rcTemplate = ChildRect(s.dlg.get(), hTemplate);
        // A template is never classified as a grid: only a direct call makes one.
        char cls[64] = {};
        ::GetClassNameA(hTemplate, cls, sizeof cls);
        EXPECT_NE(skin::kKindGrid, skin::ClassifyControl(cls, ::GetWindowLongA(hTemplate, GWL_STYLE)));
        CWnd* w = s.dlg->CreateControlOfKind(skin::kKindGrid, c.id, "");
        ASSERT_TRUE(w) << c.name;
        auto* grid = static_cast<CThemeGrid*>(w);
        EXPECT_FALSE(::IsWindow(hTemplate)) << c.name;
        EXPECT_EQ(grid->m_hWnd, ::GetDlgItem(s.hwnd(), c.id)) << c.name;
        char gridClass[64] = {};
        ::GetClassNameA(grid->m_hWnd, gridClass, sizeof gridClass);
        EXPECT_STREQ(GRID_CLASSNAME, gridClass);
        EXPECT_EQ(DWORD(0x50810000), grid->GetStyle() & 0xFFFF0000) << c.name;
        EXPECT_EQ(Show(rcTemplate), Show(ChildRect(s.dlg.get(), grid->m_hWnd))) << c.name;
        EXPECT_EQ(0, grid->GetRowCount());
        EXPECT_EQ(0, grid->GetColumnCount());
        EXPECT_EQ(c.listView, grid->GetListViewNotify()) << c.name;
        EXPECT_EQ(1, s.dlg->GetControlCount(skin::kKindGrid));
        EXPECT_EQ(w, s.dlg->GetControl(skin::kKindGrid, 0));
        EXPECT_STREQ("Grid0", grid->GetName());
    }
}

// A grid without a window takes over a template control through the data
// exchange; a missing control cannot be taken over.
TEST(ThemeDialogGrid, DataExchangeAttachesByTemplateId) {
    DialogScene s(IDD_SKIN_REPORT, 400, 300);
    const HWND hTemplate = ::GetDlgItem(s.hwnd(), IDC_SK_REPORT_LABEL);
    ASSERT_TRUE(hTemplate);
    CThemeGrid grid(3, 2, 1, 0);
    CDataExchange load(s.dlg.get(), FALSE);
    DDX_ThemeGrid(&load, IDC_SK_REPORT_LABEL, grid);
    EXPECT_EQ(hTemplate, grid.GetSafeHwnd());
    // The logical font went through the font handler: margins and sizes
    // measured with it.
    HFONT hFont = reinterpret_cast<HFONT>(grid.SendMessage(WM_GETFONT));
    ASSERT_NE(nullptr, hFont);
    LOGFONTA lf = {};
    GetObjectA(hFont, sizeof lf, &lf);
    EXPECT_EQ(grid.GetLogFont().lfHeight, lf.lfHeight);
    EXPECT_GT(grid.GetDefaultRowHeight(), 0);
    // Already attached: a second exchange leaves it alone.
    DDX_ThemeGrid(&load, IDC_SK_REPORT_LABEL, grid);
    EXPECT_EQ(hTemplate, grid.GetSafeHwnd());
    grid.DestroyWindow();

    CThemeGrid orphan;
    bool thrown = false;
    try {
        DDX_ThemeGrid(&load, 4242, orphan);
    } catch (CNotSupportedException* e) {
        thrown = true;
        e->Delete();
    }
    EXPECT_TRUE(thrown);
    EXPECT_EQ(nullptr, orphan.GetSafeHwnd());
}

TEST(ThemeDialogGrid, KeysAreReadInListOrder) {
    SkinFolder skin("skin_dlg_grid");
    skin.Write("ConfigPos.ini", "[G]\nGrid0(Pos)=10,10,-10,200\n");
    skin.Write("ConfigColor.ini",
               "[G]\nGrid0(FixedBack)=1,2,3\nGrid0(FixedFrame)=4,5,6\nGrid0(FixedFrameRB)=7,8,9\n"
               "Grid0(Font)=10,11,12\nGrid0(NormalFont)=13,14,15\nGrid0(NormalBack)=16,17,18\n"
               "Grid0(Frame)=19,20,21\nGrid0(Back)=22,23,24\n");
    skin.Write("ConfigValue.ini",
               "[G]\nGrid0(RowCount)=6\nGrid0(ColCount)=4\nGrid0(FixedRowCount)=1\n"
               "Grid0(FixedColCount)=1\nGrid0(Editable)=0\nGrid0(HeadSort)=1\n"
               "Grid0(CellHeight)=23\nGrid0(CellWidth)=41\nGrid0(FontSize)=14\n"
               "Grid0(AlignFormat)=2\n");
    DialogScene s(IDD_SKIN_REPORT, 400, 300);
    s.dlg->SetSection("G");
    CWnd* w = s.dlg->CreateControlOfKind(skin::kKindGrid, IDC_SK_REPORT, "Grid0");
    ASSERT_TRUE(w);
    s.dlg->LoadControlSkin(skin::kKindGrid, w, "Grid0");
    auto* grid = static_cast<CThemeGrid*>(w);
    EXPECT_EQ(Show(CRect(10, 10, -10, 200)), Show(grid->GetLayoutRect()));
    EXPECT_EQ(Show(CRect(10, 10, 390, 200)), Show(ChildRect(s.dlg.get(), grid->m_hWnd)));
    EXPECT_EQ(Hex(RGB(1, 2, 3)), Hex(grid->GetFixedBackColor()));
    EXPECT_EQ(Hex(RGB(4, 5, 6)), Hex(grid->GetFixedFrameLTColor()));
    EXPECT_EQ(Hex(RGB(7, 8, 9)), Hex(grid->GetFixedFrameRBColor())) << "read after (FixedFrame)";
    EXPECT_EQ(Hex(RGB(13, 14, 15)), Hex(grid->GetFontColor())) << "(NormalFont) wins";
    EXPECT_EQ(Hex(RGB(16, 17, 18)), Hex(grid->GetNormalBackColor()));
    EXPECT_EQ(Hex(RGB(19, 20, 21)), Hex(grid->GetGridLineColor()));
    EXPECT_EQ(Hex(RGB(22, 23, 24)), Hex(grid->GetBackColor()));
    EXPECT_EQ(6, grid->GetRowCount());
    EXPECT_EQ(4, grid->GetColumnCount());
    EXPECT_EQ(1, grid->GetFixedRowCount());
    EXPECT_FALSE(grid->IsEditable());
    EXPECT_TRUE(grid->GetHeaderSort());
    EXPECT_EQ(14, grid->GetFontSize());
    EXPECT_EQ(2u, grid->GetDefaultFormat());
    // The rows were there before the default height reached them.
    for (int r = 0; r < 6; ++r) EXPECT_EQ(23, grid->GetRowHeight(r)) << r;
    for (int c = 0; c < 4; ++c) EXPECT_EQ(41, grid->GetColumnWidth(c)) << c;

    // A reload puts the built-in look back, then reads the keys again.
    grid->SetFixedBackColor(RGB(99, 99, 99));
    grid->SetNormalBackColor(RGB(99, 99, 99));
    s.dlg->ReloadSkin();
    EXPECT_EQ(Hex(RGB(1, 2, 3)), Hex(grid->GetFixedBackColor()));
    EXPECT_EQ(Hex(RGB(16, 17, 18)), Hex(grid->GetNormalBackColor()));
}

}  // namespace
