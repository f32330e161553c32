// The in-place combo box in a real window: the first key's replay, the keys
// and the focus loss that end an edit, the one notification and the
// object's own deletion, and its size over the cell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ThemeClass/BaseCombo.h"
#include "theme_fixture.h"

using themetest::SkinStage;

namespace {

constexpr UINT kId = 5400;
int g_deleted = 0;

class CountedCombo : public CBaseCombo {
public:
    using CBaseCombo::CBaseCombo;
    ~CountedCombo() override { ++g_deleted; }
};

struct Report {
    HWND from;
    UINT_PTR id;
    int code;
    int row;
    int col;
    UINT mask;
    std::string text;
    LPARAM key;
};

struct ComboScene {
    SkinStage stage;
    std::vector<Report> reports;
    CStringArray items;
    CountedCombo* combo = nullptr;
    HWND hwnd = nullptr;

    ComboScene() {
        uitest::MoveCursorClient(stage.parent(), 390, 290);
        items.Add("apple");
        items.Add("banana");
        items.Add("cherry");
        stage.log().answer = [this](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT*) {
            if (msg == WM_NOTIFY) {
                const InPlaceEditNotify* n = reinterpret_cast<const InPlaceEditNotify*>(lp);
                if (n->hdr.idFrom == kId)
                    reports.push_back({n->hdr.hwndFrom, n->hdr.idFrom,
                                       static_cast<int>(n->hdr.code), n->item.row, n->item.column,
                                       n->item.mask, std::string(n->item.text), n->item.userData});
            }
            return false;
        };
        g_deleted = 0;
    }
    ~ComboScene() {
        if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
        stage.log().answer = nullptr;
    }
    CRect Start(UINT firstKey, DWORD style = CBS_DROPDOWN, const char* text = "banana",
                CRect cell = CRect(20, 40, 120, 60)) {
        combo = new CountedCombo(stage.parentWnd(), cell, style, kId, 7, 2, items, text, firstKey);
        hwnd = combo->GetSafeHwnd();
        uitest::PumpFor(30);
        return cell;
    }
    HWND Edit() const { return GetDlgItem(hwnd, CBaseCombo::kEditFieldId); }
    std::string Text() const {
        char buf[256] = {};
        GetWindowTextA(hwnd, buf, sizeof buf);
        return buf;
    }
};

}  // namespace

TEST(BaseCombo, FirstKeyIsReplayed) {
    struct Case {
        const char* name;
        UINT key;
        const char* wantText;
        int wantStart;
        int wantEnd;
    };
    const Case cases[] = {
        {"Enter: caret at the end", VK_RETURN, "banana", 6, 6},
        {"mouse start: caret at the end", 1, "banana", 6, 6},
        {"Backspace deletes the last character", VK_BACK, "banan", 5, 5},
        {"Down selects all", VK_DOWN, "banana", 0, 6},
        {"Home selects all", VK_HOME, "banana", 0, 6},
        {"a letter replaces the text", 'k', "k", 1, 1},
    };
    for (const Case& c : cases) {
        ComboScene s;
        s.Start(c.key);
        ASSERT_TRUE(IsWindow(s.hwnd)) << c.name;
        EXPECT_EQ(s.Edit(), GetFocus()) << c.name << ": the edit field has the focus";
        EXPECT_EQ(c.wantText, s.Text()) << c.name;
        DWORD a = 0, b = 0;
        SendMessageA(s.hwnd, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&a),
                     reinterpret_cast<LPARAM>(&b));
        EXPECT_EQ(c.wantStart, static_cast<int>(a)) << c.name;
        EXPECT_EQ(c.wantEnd, static_cast<int>(b)) << c.name;
        EXPECT_TRUE(s.reports.empty()) << c.name;
    }
}

TEST(BaseCombo, KeysEndTheEditWithOneReport) {
    struct Case {
        const char* name;
        UINT firstKey;
        std::vector<std::vector<WORD>> keys;  // chords pressed in turn
        size_t wantReports;
        LPARAM wantKey;
        const char* wantText;
    };
    const Case cases[] = {
        {"the Enter that started it is skipped", VK_RETURN, {{VK_RETURN}}, 0, 0, ""},
        {"the next Enter ends it", VK_RETURN, {{VK_RETURN}, {VK_RETURN}}, 1, 13, "banana"},
        {"after a click one Enter ends it", 1, {{VK_RETURN}}, 1, 13, "banana"},
        {"after a letter one Enter ends it", 'k', {{VK_RETURN}}, 1, 13, "k"},
        {"Escape reports the start text", 'k', {{VK_ESCAPE}}, 1, 27, "banana"},
        {"Tab ends it", 1, {{VK_TAB}}, 1, 9, "banana"},
        {"Ctrl+Down ends it", 1, {{VK_CONTROL, VK_DOWN}}, 1, VK_DOWN, "banana"},
        {"Ctrl+Page Up ends it", 1, {{VK_CONTROL, VK_PRIOR}}, 1, VK_PRIOR, "banana"},
        {"Down alone moves the selection", 1, {{VK_DOWN}}, 0, 0, ""},
    };
    for (const Case& c : cases) {
        ComboScene s;
        s.Start(c.firstKey);
        ASSERT_TRUE(IsWindow(s.hwnd)) << c.name;
        for (const std::vector<WORD>& chord : c.keys) {
            if (chord.size() == 2)
                uitest::KeyChord({chord[0], chord[1]});
            else
                uitest::KeyPress(chord[0]);
            uitest::PumpFor(30);
        }
        themetest::Settle();
        ASSERT_EQ(c.wantReports, s.reports.size()) << c.name;
        if (c.wantReports == 0) {
            EXPECT_TRUE(IsWindow(s.hwnd)) << c.name << ": still editing";
            EXPECT_EQ(0, g_deleted) << c.name;
            continue;
        }
        const Report& r = s.reports[0];
        EXPECT_EQ(s.hwnd, r.from) << c.name;
        EXPECT_EQ(GRID_ENDEDIT, r.code) << c.name;
        EXPECT_EQ(7, r.row) << c.name;
        EXPECT_EQ(2, r.col) << c.name;
        EXPECT_EQ(5u, r.mask) << c.name;
        EXPECT_EQ(c.wantText, r.text) << c.name;
        EXPECT_EQ(c.wantKey, r.key) << c.name;
        EXPECT_FALSE(IsWindow(s.hwnd)) << c.name << ": closed";
        EXPECT_EQ(1, g_deleted) << c.name << ": deleted itself";
    }
}

TEST(BaseCombo, DownMovesTheSelectionWithoutEnding) {
    ComboScene s;
    s.Start(1);
    uitest::KeyPress(VK_DOWN);
    themetest::Settle();
    EXPECT_EQ("cherry", s.Text());
    EXPECT_TRUE(s.reports.empty());
}

TEST(BaseCombo, FocusLossEndsTheEdit) {
    struct Case {
        const char* name;
        DWORD style;
    };
    const Case cases[] = {
        {"with an edit field", CBS_DROPDOWN},
        {"drop-down list", CBS_DROPDOWNLIST},
    };
    for (const Case& c : cases) {
        ComboScene s;
        s.Start('x', c.style);
        ASSERT_TRUE(IsWindow(s.hwnd)) << c.name;
        CButton other;
        other.Create("o", WS_CHILD | WS_VISIBLE, CRect(300, 200, 350, 230), s.stage.parentWnd(),
                     77);
        uitest::ClickClient(other.GetSafeHwnd(), 10, 10);
        themetest::Settle();
        ASSERT_EQ(1u, s.reports.size()) << c.name;
        EXPECT_EQ(0, s.reports[0].key) << c.name << ": no key";
        EXPECT_EQ(c.style == CBS_DROPDOWNLIST ? "banana" : "x", s.reports[0].text) << c.name;
        EXPECT_FALSE(IsWindow(s.hwnd)) << c.name;
        EXPECT_EQ(1, g_deleted) << c.name;
        other.DestroyWindow();
    }
}

TEST(BaseCombo, TextNotAmongTheItemsStillShows) {
    ComboScene s;
    s.Start(1, CBS_DROPDOWN, "durian");
    EXPECT_EQ("durian", s.Text());
    EXPECT_EQ(CB_ERR, static_cast<int>(SendMessageA(s.hwnd, CB_GETCURSEL, 0, 0)));
}

TEST(BaseCombo, SizeOverTheCell) {
    const int cyh = GetSystemMetrics(SM_CYHSCROLL);
    {
        ComboScene s;
        const CRect r = s.Start(1);
        EXPECT_EQ(CRect(20, 40, 120, 60 + 4 * 20 + cyh), r) << "4 cell heights and a scroll bar";
        CRect w;
        GetWindowRect(s.hwnd, &w);
        EXPECT_EQ(100, w.Width()) << "narrow items keep the cell width";
    }
    {
        ComboScene s;
        s.items.Add("a rather long item that is wider than the cell");
        const CRect r = s.Start(1);
        EXPECT_GT(r.Width(), 100) << "widened to the widest item";
        CRect w;
        GetWindowRect(s.hwnd, &w);
        EXPECT_EQ(r.Width(), w.Width());
        EXPECT_EQ(r.Width(), static_cast<int>(SendMessageA(s.hwnd, CB_GETDROPPEDWIDTH, 0, 0)));
    }
}

TEST(BaseCombo, OwnerDestroyingTheWindowDeletesTheObject) {
    ComboScene s;
    s.Start(1);
    ASSERT_TRUE(IsWindow(s.hwnd));
    DestroyWindow(s.hwnd);
    uitest::PumpFor(30);
    EXPECT_EQ(1, g_deleted);
    EXPECT_LE(s.reports.size(), 1u) << "at most the one report";
}

TEST(BaseCombo, FailedCreationLeavesAnObjectWithoutAWindow) {
    CStringArray items;
    items.Add("a");
    CRect cell(0, 0, 50, 20);
    g_deleted = 0;
    CountedCombo* c = new CountedCombo(nullptr, cell, CBS_DROPDOWN, kId, 0, 0, items, "a", 1);
    EXPECT_EQ(nullptr, c->GetSafeHwnd());
    uitest::PumpFor(20);
    EXPECT_EQ(0, g_deleted) << "it never deletes itself";
    delete c;
    EXPECT_EQ(1, g_deleted);
}
