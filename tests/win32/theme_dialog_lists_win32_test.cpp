// The skinned dialog's report list and menu host, and the rules its key
// tables keep: every key a kind reads reaches a setter, keys are applied in
// list order (the later of two keys for one setter wins, a label takes its
// tip before it moves), and menus are made hidden and never saved.
// Apart from the other dialog tests because the report list's header and
// the list box's cannot be compiled into one file.
#include <gtest/gtest.h>

#include <string>

#include "ThemeClass/ThemeListCtrl.h"
#include "ThemeClass/ThemeMenu.h"
#include "ThemeClass/ThemeStatic.h"
#include "theme_dialog_scene.h"

using namespace dlgtest;
using themetest::Hex;
using themetest::Shot;

// Every key of every kind's list is taken by the dialog (placement and
// visibility) or by a setter of the kind's class: a key that no row serves
// would be read from the files and silently dropped.
TEST(ThemeDialogKeys, EveryListedKeyReachesASetter) {
    int kindsWithRows = 0;
    for (int k = skin::kFirstKind; k <= skin::kLastKind; ++k) {
        const ThemeKindRow* row = ThemeKindRowOf(k);
        const skin::SkinKeyList keys = skin::KeyListOf(k);
        ASSERT_TRUE(row) << "kind " << k << " has no row";
        ++kindsWithRows;
        ASSERT_TRUE(row->apply && row->handles && row->skinId && row->create) << k;
        EXPECT_GT(keys.count, 0) << k;
        for (int i = 0; i < keys.count; ++i) {
            const skin::SkinKey& key = keys.keys[i];
            const bool common = skin::CommonKeyOf(key) != skin::CommonKey::None;
            EXPECT_TRUE(common || row->handles(key))
                << "kind " << k << " key " << key.property << " file " << (int)key.file;
        }
    }
    EXPECT_EQ(15, kindsWithRows);
    // A key of another kind or another file has no setter here.
    const ThemeKindRow* button = ThemeKindRowOf(skin::kKindButton);
    struct Case {
        const char* property;
        skin::ProfileFile file;
    };
    for (const Case& c :
         {Case{"(ListBoxHeight)", skin::ProfileFile::Value},
          Case{"(Caption)", skin::ProfileFile::Color}, Case{"(Back)", skin::ProfileFile::Value}})
        EXPECT_FALSE(button->handles(skin::SkinKey{c.property, c.file})) << c.property;
}

// The report list over a list-view template: same id and rectangle (or the
// one its "(Pos)" gives), a border, the template gone, and its keys read;
// "(CheckBox)" is read after "(Check)" and wins.
TEST(ThemeDialogKeys, ReportListReplacedAndSkinnedCheckBoxWinsOverCheck) {
    const std::string check = themetest::WriteBmp("dlg_check_old.bmp", 26, 11, [](int x, int) {
        return x < 13 ? RGB(220, 0, 0) : RGB(0, 180, 0);
    });
    const std::string checkBox = themetest::WriteBmp("dlg_check_new.bmp", 26, 11, [](int x, int) {
        return x < 13 ? RGB(0, 0, 230) : RGB(230, 200, 0);
    });
    SkinFolder skin("skin_dlg_report");
    skin.Write("ConfigPos.ini", "[Rep]\nListCtrl0(Pos)=20,20,-20,180\n");
    skin.Write("ConfigColor.ini",
               "[Rep]\nListCtrl0(Back)=10,20,30\nListCtrl0(HeadBack)=40,50,60\n"
               "ListCtrl0(SelectBack)=1,2,3\nListCtrl0(Normal2Back)=7,8,9\n");
    skin.Write("ConfigValue.ini",
               "[Rep]\nListCtrl0(CheckBoxOn)=1\nListCtrl0(ItemHeight)=21\n"
               "ListCtrl0(SortType)=2\n");
    skin.Write("ConfigImage.ini",
               "[Rep]\nListCtrl0(Check)=" + check + "\nListCtrl0(CheckBox)=" + checkBox + "\n");

    DialogScene s(IDD_SKIN_REPORT, 400, 300);
    s.dlg->SetSection("Rep");
    const HWND hTemplate = ::GetDlgItem(s.hwnd(), IDC_SK_REPORT);
    ASSERT_TRUE(hTemplate);
    CWnd* w = s.dlg->ReplaceControlWithSkin(IDC_SK_REPORT, "ListCtrl0");
    ASSERT_TRUE(w);
    auto* list = static_cast<CThemeListCtrl*>(w);
    EXPECT_FALSE(::IsWindow(hTemplate)) << "the template is destroyed";
    EXPECT_EQ(list->m_hWnd, ::GetDlgItem(s.hwnd(), IDC_SK_REPORT));
    EXPECT_EQ(1, s.dlg->GetControlCount(skin::kKindListCtrl));
    EXPECT_STREQ("ListCtrl0", list->GetName());
    EXPECT_TRUE(list->GetStyle() & WS_BORDER);
    EXPECT_EQ(Show(CRect(20, 20, -20, 180)), Show(list->GetLayoutRect()));
    EXPECT_EQ(Show(CRect(20, 20, 380, 180)), Show(ChildRect(s.dlg.get(), list->m_hWnd)));
    EXPECT_EQ(Hex(RGB(10, 20, 30)), Hex(list->GetBackColor()));
    EXPECT_EQ(Hex(RGB(40, 50, 60)), Hex(list->GetHeadCtrl().GetBackColor())) << "to the header";
    EXPECT_EQ(2, list->GetHeadCtrl().GetSortType());
    EXPECT_EQ(Hex(RGB(1, 2, 3)), Hex(list->GetColors().selectBack));
    EXPECT_EQ(Hex(RGB(7, 8, 9)), Hex(list->GetColors().normal2Back));
    EXPECT_EQ(21, list->GetItemHeight());

    list->InsertColumn(0, "Name", LVCFMT_LEFT, 150);
    list->InsertItem(0, "one");
    list->InsertItem(1, "two");
    list->SetCheck(1, TRUE);
    list->Invalidate();
    const uitest::Picture p = Shot(list->m_hWnd);
    struct Case {
        const char* name;
        int item;
        COLORREF want;
    };
    for (const Case& c : {Case{"unticked: left half of (CheckBox)", 0, RGB(0, 0, 230)},
                          Case{"ticked: right half of (CheckBox)", 1, RGB(230, 200, 0)}}) {
        CRect r;
        list->GetItemRect(c.item, &r, LVIR_BOUNDS);
        EXPECT_EQ(Hex(c.want), Hex(p.At(r.left + 12, r.top + 8))) << c.name;
    }

    // A reload resets the list and reads the same keys again.
    list->SetBackColor(RGB(99, 99, 99));
    s.dlg->ReloadSkin();
    EXPECT_EQ(Hex(RGB(10, 20, 30)), Hex(list->GetBackColor()));
    EXPECT_EQ(Show(CRect(20, 20, -20, 180)), Show(list->GetLayoutRect()));
}

// A label reads its tip before its place: the tip is registered over the
// label as the template made it, and a place too small to re-register the
// tool (7 pixels or less) leaves it so. Read the other way round, the tool
// would cover only the new 6 x 6 pixels.
TEST(ThemeDialogKeys, LabelTakesItsTipBeforeItsPlace) {
    SkinFolder skin("skin_dlg_tipfirst");
    skin.Write("ConfigText.ini", "[Tip]\nStatic0(ToolTip)=label tip\n");
    skin.Write("ConfigPos.ini", "[Tip]\nStatic0(Pos)=10,10,16,16\n");
    DialogScene s(IDD_SKIN_REPORT, 400, 300);
    s.dlg->SetSection("Tip");
    const CRect before = ChildRect(s.dlg.get(), ::GetDlgItem(s.hwnd(), IDC_SK_REPORT_LABEL));
    ASSERT_GT(before.Width(), 20);
    auto* label =
        static_cast<CThemeStatic*>(s.dlg->ReplaceControlWithSkin(IDC_SK_REPORT_LABEL, "Static0"));
    ASSERT_TRUE(label);
    EXPECT_EQ(Show(CRect(10, 10, 16, 16)), Show(ChildRect(s.dlg.get(), label->m_hWnd)));
    TOOLINFOA ti = {};
    ti.cbSize = sizeof ti;
    ti.hwnd = label->m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(label->m_hWnd);
    char text[80] = {};
    ti.lpszText = text;
    ASSERT_TRUE(::SendMessageA(label->GetToolTip().m_hWnd, TTM_GETTOOLINFOA, 0, (LPARAM)&ti));
    EXPECT_STREQ("label tip", text);
    EXPECT_EQ(before.Width(), ti.rect.right - ti.rect.left) << "registered before the move";
}

// A menu host: hidden, named by the count rule, holding the menu resource
// and its submenu index, skinned and reset by its keys, and left out of the
// saved layout.
TEST(ThemeDialogKeys, MenuHostAddedHiddenSkinnedAndNotSaved) {
    SkinFolder skin("skin_dlg_menu");
    skin.Write("ConfigColor.ini",
               "[Men]\nMenu0(Back)=11,22,33\nMenu0(Outline)=1,1,1\nMenu0(OutlineRB)=2,2,2\n"
               "Menu1(HoverBack)=5,6,7\n");
    skin.Write("ConfigValue.ini", "[Men]\nMenu0(ItemHeight)=31\nMenu0(Transparent)=300\n");
    skin.Write("ConfigPos.ini", "[Men]\nMenu0(Pos)=1,2,3,4\n");
    DialogScene s(IDD_SKIN_PLAIN, 300, 200);
    s.dlg->SetSection("Men");
    CThemeMenu* m0 = s.dlg->AddMenu(IDM_SKIN_MENU, 1, "");
    CThemeMenu* m1 = s.dlg->AddMenu(77, IDM_SKIN_MENU, 0, "Named");
    ASSERT_TRUE(m0 && m1);
    EXPECT_EQ(2, s.dlg->GetControlCount(skin::kKindMenu));
    EXPECT_STREQ("Menu0", m0->GetName());
    EXPECT_STREQ("Named", m1->GetName());
    EXPECT_EQ(77, m1->GetDlgCtrlID());
    EXPECT_FALSE(m0->IsWindowVisible());
    EXPECT_EQ(m0->GetParent()->m_hWnd, s.hwnd());
    EXPECT_TRUE(m0->GetMenu()->GetSafeHmenu()) << "the resource is loaded";
    EXPECT_EQ(1, m0->GetSubMenuIndex());
    EXPECT_EQ(0, m1->GetSubMenuIndex());

    s.dlg->ReloadSkin();
    const ThemeMenuLook& look = m0->GetLook();
    EXPECT_EQ(Hex(RGB(11, 22, 33)), Hex(look.back));
    EXPECT_EQ(Hex(RGB(1, 1, 1)), Hex(look.outlineLT)) << "(Outline) sets both";
    EXPECT_EQ(Hex(RGB(2, 2, 2)), Hex(look.outlineRB)) << "then (OutlineRB) its own";
    EXPECT_EQ(31, look.itemHeight);
    EXPECT_EQ(300 & 0xFF, m0->GetTransparent());
    EXPECT_EQ(Show(CRect(1, 2, 3, 4)), Show(m0->GetLayoutRect()));
    EXPECT_FALSE(m0->IsWindowVisible()) << "placing does not show it";
    EXPECT_EQ(Hex(ThemeMenuLook().hoverBack), Hex(m1->GetLook().hoverBack))
        << "the second host is read under its own name, not Menu1";

    m0->SetBackColor(RGB(90, 90, 90));
    skin.Write("ConfigColor.ini", "[Men]\n");
    s.dlg->ReloadSkin();
    EXPECT_EQ(Hex(ThemeMenuLook().back), Hex(m0->GetLook().back)) << "reset, nothing read";

    skin.Write("ConfigPos.ini", "[Men]\n");
    s.dlg->SaveLayout();
    EXPECT_EQ("", skin.Read("ConfigPos.ini", "Men", "Menu0(Pos)")) << "menus are not saved";
    EXPECT_NE("", skin.Read("ConfigPos.ini", "Men", "Dlg(Pos)"));
}

namespace {
HHOOK g_refuseHook = nullptr;
UINT_PTR g_refusedId = 0;
// Refuses the creation of any child window with the given id.
LRESULT CALLBACK RefuseId(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const auto* cw = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        if ((cw->lpcs->style & WS_CHILD) && (UINT_PTR)cw->lpcs->hMenu == g_refusedId) return 1;
    }
    return CallNextHookEx(g_refuseHook, code, wParam, lParam);
}
}  // namespace

// A skinned window that cannot be made leaves the dialog as it was: null,
// nothing in the kind's array, a template still there and shown.
TEST(ThemeDialogKeys, FailedCreationOfAReportListOrMenuLeavesTheDialogAlone) {
    DialogScene s(IDD_SKIN_REPORT, 400, 300);
    const HWND tmpl = ::GetDlgItem(s.hwnd(), IDC_SK_REPORT);
    ASSERT_TRUE(tmpl);
    struct Case {
        const char* name;
        UINT id;
        int kind;
        bool fromTemplate;
    };
    for (const Case& c : {Case{"report list", IDC_SK_REPORT, skin::kKindListCtrl, true},
                          Case{"menu host", 77, skin::kKindMenu, false}}) {
        g_refusedId = c.id;
        g_refuseHook = SetWindowsHookExA(WH_CBT, RefuseId, nullptr, GetCurrentThreadId());
        CWnd* p = c.fromTemplate ? s.dlg->ReplaceControl(c.id)
                                 : s.dlg->AddMenu(c.id, IDM_SKIN_MENU, 0, "");
        UnhookWindowsHookEx(g_refuseHook);
        EXPECT_EQ(nullptr, p) << c.name;
        EXPECT_EQ(0, s.dlg->GetControlCount(c.kind)) << c.name;
    }
    EXPECT_TRUE(IsWindow(tmpl));
    EXPECT_TRUE(IsWindowVisible(tmpl));
    EXPECT_EQ(tmpl, ::GetDlgItem(s.hwnd(), IDC_SK_REPORT));
    // Once creation works again, the names start from 0.
    CWnd* list = s.dlg->ReplaceControl(IDC_SK_REPORT);
    ASSERT_TRUE(list);
    EXPECT_STREQ("ListCtrl0", static_cast<CThemeListCtrl*>(list)->GetName());
    EXPECT_FALSE(IsWindow(tmpl));
}
