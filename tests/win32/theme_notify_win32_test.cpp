// The skinned controls' WM_NOTIFY codes share their numbers with common
// control codes (the position blocks use the track bar's custom-draw and
// released-capture codes, the cell editor's end code the list view's
// end-of-label-edit). A dialog that holds a skinned slider and scroll bar, a
// check box and a radio beside a real track bar and list view must route
// each block by (id, code) to the handler meant for it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ThemeClass/ThemeCheck.h"
#include "ThemeClass/ThemeRadio.h"
#include "ThemeClass/ThemeScroll.h"
#include "ThemeClass/ThemeSlider.h"
#include "classlib/afxdlgs.h"
#include "theme_fixture.h"

static_assert(kSkinPosChanging == static_cast<int>(NM_CUSTOMDRAW), "dispatch relies on the id");
static_assert(kSkinPosReleased == static_cast<int>(NM_RELEASEDCAPTURE), "same");
static_assert(-106 == static_cast<int>(LVN_ENDLABELEDITA), "same");

namespace {

constexpr UINT kSliderId = 301, kScrollId = 302, kCheckId = 303, kRadioId = 304;
constexpr UINT kTrackbarId = 305, kListId = 306, kCellEditId = 307;
constexpr UINT kCellEditEnd = static_cast<UINT>(-106);

// What a handler saw.
struct Seen {
    std::string handler;
    UINT_PTR id;
    UINT code;
    HWND from;
    int pos;  // the position of a skin block, the draw stage of a custom draw
};

class NotifyDialog : public CDialog {
public:
    CThemeSlider slider;
    CThemeScroll scroll;
    CThemeCheck check;
    CThemeRadio radio;
    HWND trackbar = nullptr;
    HWND list = nullptr;
    HWND cellEditor = nullptr;
    std::vector<Seen> seen;

    std::vector<Seen> Of(const std::string& handler) const {
        std::vector<Seen> v;
        for (const Seen& s : seen)
            if (s.handler == handler) v.push_back(s);
        return v;
    }

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        MoveWindow(0, 0, 400, 300, FALSE);
        slider.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 230, 40), this, kSliderId);
        scroll.Create(WS_CHILD | WS_VISIBLE, CRect(10, 50, 250, 70), this, kScrollId);
        check.Create(WS_CHILD | WS_VISIBLE | WS_GROUP, CRect(10, 80, 150, 104), this, kCheckId);
        check.SetText("Check");
        radio.Create(WS_CHILD | WS_VISIBLE | WS_GROUP, CRect(160, 80, 300, 104), this, kRadioId);
        radio.SetText("Radio");
        trackbar = ::CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_GROUP, 10,
                                     120, 220, 30, m_hWnd, reinterpret_cast<HMENU>(kTrackbarId),
                                     nullptr, nullptr);
        list = ::CreateWindowExA(0, WC_LISTVIEWA, "",
                                 WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_EDITLABELS, 10, 160, 250,
                                 100, m_hWnd, reinterpret_cast<HMENU>(kListId), nullptr, nullptr);
        LVCOLUMNA col = {};
        col.mask = LVCF_WIDTH | LVCF_TEXT;
        col.cx = 200;
        col.pszText = const_cast<char*>("Name");
        ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<char*>("first");
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        // Stands in for the grid's in-place editor, which ends with -106.
        cellEditor =
            ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 280, 10, 100, 20, m_hWnd,
                              reinterpret_cast<HMENU>(kCellEditId), nullptr, nullptr);
        return TRUE;
    }

protected:
    void Record(const char* handler, NMHDR* h, int pos) {
        seen.push_back({handler, h->idFrom, h->code, h->hwndFrom, pos});
    }
    void OnSliderChanging(NMHDR* h, LRESULT*) {
        Record("slider changing", h, reinterpret_cast<SkinPosNotify*>(h)->pos);
    }
    void OnSliderReleased(NMHDR* h, LRESULT*) {
        Record("slider released", h, reinterpret_cast<SkinPosNotify*>(h)->pos);
    }
    void OnScrollChanging(NMHDR* h, LRESULT*) {
        Record("scroll changing", h, reinterpret_cast<SkinPosNotify*>(h)->pos);
    }
    void OnTrackbarDraw(NMHDR* h, LRESULT* pResult) {
        Record("trackbar draw", h,
               static_cast<int>(reinterpret_cast<NMCUSTOMDRAW*>(h)->dwDrawStage));
        *pResult = CDRF_DODEFAULT;
    }
    void OnTrackbarReleased(NMHDR* h, LRESULT*) { Record("trackbar released", h, 0); }
    void OnListEndEdit(NMHDR* h, LRESULT* pResult) {
        Record("list end edit", h, 0);
        *pResult = TRUE;  // keep the new label
    }
    void OnCellEditEnd(NMHDR* h, LRESULT*) { Record("cell edit end", h, 0); }
    void OnCheckClicked() { seen.push_back({"check clicked", kCheckId, BN_CLICKED, nullptr, 0}); }
    void OnRadioClicked() { seen.push_back({"radio clicked", kRadioId, BN_CLICKED, nullptr, 0}); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(NotifyDialog, CDialog)
ON_NOTIFY(kSkinPosChanging, kSliderId, OnSliderChanging)
ON_NOTIFY(kSkinPosReleased, kSliderId, OnSliderReleased)
ON_NOTIFY(kSkinPosChanging, kScrollId, OnScrollChanging)
ON_NOTIFY(NM_CUSTOMDRAW, kTrackbarId, OnTrackbarDraw)
ON_NOTIFY(NM_RELEASEDCAPTURE, kTrackbarId, OnTrackbarReleased)
ON_NOTIFY(LVN_ENDLABELEDITA, kListId, OnListEndEdit)
ON_NOTIFY(kCellEditEnd, kCellEditId, OnCellEditEnd)
ON_BN_CLICKED(kCheckId, OnCheckClicked)
ON_BN_CLICKED(kRadioId, OnRadioClicked)
END_MESSAGE_MAP()

// An empty child dialog; the controls are made in OnInitDialog.
struct EmptyTemplate {
    DLGTEMPLATE t;
    WORD menu, windowClass, title;
};

}  // namespace

TEST(SkinNotify, ParentDispatchesByIdAndCode) {
    themetest::SkinStage stage;
    uitest::MoveCursorClient(stage.parent(), 390, 290);
    alignas(4) EmptyTemplate tmpl = {};
    tmpl.t.style = WS_CHILD | WS_VISIBLE;
    tmpl.t.cx = 200;
    tmpl.t.cy = 150;
    NotifyDialog dlg;
    ASSERT_TRUE(dlg.CreateIndirect(&tmpl.t, stage.parentWnd()));
    themetest::Settle();

    // Painting the track bar sent its custom-draw blocks (code -12) to the
    // track bar's handler only.
    const std::vector<Seen> draws = dlg.Of("trackbar draw");
    ASSERT_FALSE(draws.empty()) << "the track bar asks its parent for custom draw";
    for (const Seen& s : draws) EXPECT_EQ(dlg.trackbar, s.from);
    EXPECT_EQ(static_cast<int>(CDDS_PREPAINT), draws.front().pos);
    EXPECT_TRUE(dlg.Of("slider changing").empty());
    EXPECT_TRUE(dlg.Of("scroll changing").empty());

    // A click on the skinned slider's track: -12 then -16 with the position.
    dlg.seen.clear();
    uitest::ClickClient(dlg.slider.GetSafeHwnd(), 210, 15);
    themetest::Settle();
    std::vector<Seen> changing = dlg.Of("slider changing");
    std::vector<Seen> released = dlg.Of("slider released");
    ASSERT_EQ(1u, changing.size());
    ASSERT_EQ(1u, released.size());
    EXPECT_EQ(100, changing[0].pos);
    EXPECT_EQ(100, released[0].pos);
    EXPECT_EQ(dlg.slider.GetSafeHwnd(), changing[0].from);
    EXPECT_TRUE(dlg.Of("trackbar released").empty());

    // A click on the track bar: its own released-capture code (-16) reaches
    // its handler, not the slider's.
    dlg.seen.clear();
    uitest::ClickClient(dlg.trackbar, 150, 15);
    themetest::Settle();
    EXPECT_EQ(1u, dlg.Of("trackbar released").size());
    EXPECT_TRUE(dlg.Of("slider released").empty());
    EXPECT_TRUE(dlg.Of("slider changing").empty());

    // The scroll bar's next arrow.
    dlg.seen.clear();
    uitest::ClickClient(dlg.scroll.GetNextButton()->GetSafeHwnd(), 10, 10);
    themetest::Settle();
    changing = dlg.Of("scroll changing");
    ASSERT_EQ(1u, changing.size());
    EXPECT_EQ(1, changing[0].pos);
    EXPECT_EQ(WPARAM(kScrollId), changing[0].id);

    // The check box and the radio reach their command handlers.
    dlg.seen.clear();
    uitest::MoveCursorClient(dlg.check.GetSafeHwnd(), 60, 12);
    uitest::HoverClient(dlg.check.GetSafeHwnd(), 61, 12, 100);
    uitest::MouseDown();
    uitest::PumpFor(30);
    uitest::MouseUp();
    uitest::ClickClient(dlg.radio.GetSafeHwnd(), 60, 12);
    themetest::Settle();
    EXPECT_EQ(1u, dlg.Of("check clicked").size());
    EXPECT_EQ(1u, dlg.Of("radio clicked").size());
    EXPECT_EQ(1, dlg.check.GetCheck());
    EXPECT_EQ(1, dlg.radio.GetCheck());
    EXPECT_TRUE(dlg.Of("slider changing").empty());

    // The list view's end of label editing (-106) and the cell editor's end
    // block with the same code.
    dlg.seen.clear();
    HWND edit = reinterpret_cast<HWND>(::SendMessageA(dlg.list, LVM_EDITLABELA, 0, 0));
    ASSERT_NE(nullptr, edit);
    ::SetWindowTextA(edit, "renamed");
    ::SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    themetest::Settle();
    NMHDR cell = {dlg.cellEditor, kCellEditId, kCellEditEnd};
    dlg.SendMessage(WM_NOTIFY, kCellEditId, reinterpret_cast<LPARAM>(&cell));
    const std::vector<Seen> listEnds = dlg.Of("list end edit");
    const std::vector<Seen> cellEnds = dlg.Of("cell edit end");
    ASSERT_EQ(1u, listEnds.size());
    ASSERT_EQ(1u, cellEnds.size());
    EXPECT_EQ(dlg.list, listEnds[0].from);
    EXPECT_EQ(dlg.cellEditor, cellEnds[0].from);
    char text[32] = {};
    LVITEMA item = {};
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(dlg.list, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ("renamed", text) << "the list's handler answered its block";

    dlg.DestroyWindow();
}
