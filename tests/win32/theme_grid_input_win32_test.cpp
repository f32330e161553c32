// The grid window's input: clicks with and without Ctrl, header presses,
// the click that starts an edit, dragging a divider with the real cursor,
// the key table, and in-place editing with the edit box, the check-box
// column and the drop-down combo.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>
#include <vector>

#include "theme_grid_scene.h"

using gridtest::GridScene;
using gridtest::HeldKeys;
using gridtest::kColWidth;
using gridtest::kRowHeight;
using gridtest::Note;

namespace {

using Cells = std::set<std::pair<int, int>>;

Cells Selected(CThemeGrid& g) {
    Cells out;
    for (int r = 0; r < g.GetRowCount(); ++r)
        for (int c = 0; c < g.GetColumnCount(); ++c)
            if (g.GetItemState(r, c) & GRID_STATE_SELECTED) out.insert({r, c});
    return out;
}

// Clicks in order, some with Ctrl held; the cells selected afterwards.
TEST(GridInput, ClicksAndCtrlClicks) {
    struct Click {
        int row, col;
        bool ctrl;
    };
    struct Case {
        const char* name;
        std::vector<Click> clicks;
        Cells selected;
    };
    const std::vector<Case> cases = {
        {"one click", {{2, 2, false}}, {{2, 2}}},
        {"Ctrl-click keeps the earlier cell", {{2, 2, false}, {3, 3, true}}, {{2, 2}, {3, 3}}},
        {"three with Ctrl", {{2, 2, false}, {3, 3, true}, {4, 1, true}}, {{2, 2}, {3, 3}, {4, 1}}},
        {"a plain click drops them", {{2, 2, false}, {3, 3, true}, {4, 4, false}}, {{4, 4}}},
    };
    for (const Case& c : cases) {
        GridScene s;
        for (const Click& k : c.clicks) {
            if (k.ctrl) {
                HeldKeys ctrl{VK_CONTROL};
                s.Click(k.row, k.col);
            } else {
                s.Click(k.row, k.col);
            }
        }
        EXPECT_EQ(c.selected, Selected(s.grid)) << c.name;
        EXPECT_EQ(static_cast<int>(c.selected.size()), s.grid.GetSelectedCount()) << c.name;
        EXPECT_EQ(GRID_MOUSE_NOTHING, s.grid.Mode()) << c.name;
        // Resetting after a Ctrl-click leaves nothing selected.
        s.grid.ClearSelectionRange();
        EXPECT_TRUE(Selected(s.grid).empty()) << c.name;
        EXPECT_EQ(0, s.grid.GetSelectedCount()) << c.name;
    }
}

TEST(GridInput, ShiftClickExtendsFromTheFocusCell) {
    GridScene s;
    s.Click(2, 1);
    {
        HeldKeys shift{VK_SHIFT};
        s.Click(3, 3);
    }
    const Cells want = {{2, 1}, {2, 2}, {2, 3}, {3, 1}, {3, 2}, {3, 3}};
    EXPECT_EQ(want, Selected(s.grid));
}

TEST(GridInput, DraggingSelectsTheRectangle) {
    GridScene s;
    s.Press(s.Centre(1, 1));
    s.Send(WM_MOUSEMOVE, s.Centre(2, 2), MK_LBUTTON);
    s.Send(WM_MOUSEMOVE, s.Centre(3, 2), MK_LBUTTON);
    s.Release(s.Centre(3, 2));
    const Cells want = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 1}, {3, 2}};
    EXPECT_EQ(want, Selected(s.grid));
    EXPECT_EQ(CThemeGridCellId(3, 2), s.grid.GetFocusCell());
}

// Presses on the fixed cells of an 8 x 5 grid with one fixed row and column:
// how many cells end up selected.
TEST(GridInput, HeaderPresses) {
    struct Case {
        const char* name;
        bool sortOnClick;
        int row, col;
        Cells selected;
    };
    Cells all, row3, col2;
    for (int r = 1; r < 8; ++r)
        for (int c = 1; c < 5; ++c) all.insert({r, c});
    for (int c = 1; c < 5; ++c) row3.insert({3, c});
    for (int r = 1; r < 8; ++r) col2.insert({r, 2});
    const Case cases[] = {
        {"row header selects the row", false, 3, 0, row3},
        {"column header with header sort", true, 0, 2, col2},
        {"corner with header sort selects all", true, 0, 0, all},
        {"column header without sort selects nothing", false, 0, 2, {}},
    };
    for (const Case& c : cases) {
        GridScene s;
        s.grid.SetHeaderSort(c.sortOnClick);
        s.Click(c.row, c.col);
        EXPECT_EQ(c.selected, Selected(s.grid)) << c.name;
    }
}

TEST(GridInput, DraggingOverRowHeadersSelectsRows) {
    GridScene s;
    s.Press(s.Centre(2, 0));
    s.Send(WM_MOUSEMOVE, s.Centre(4, 0), MK_LBUTTON);
    s.Release(s.Centre(4, 0));
    EXPECT_EQ(12u, Selected(s.grid).size());
}

// Holding the button over the fixed row scrolls up on the timer and
// stretches the selection up with it.
TEST(GridInput, HoldingOverTheHeaderScrollsUp) {
    GridScene s(40, 5);
    for (int i = 0; i < 6; ++i) s.grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    const int before = GetScrollPos(s.grid.m_hWnd, SB_VERT);
    ASSERT_GT(before, 0);
    const POINT start = s.Centre(9, 2);
    uitest::MoveCursorClient(s.grid.m_hWnd, start.x, start.y);
    uitest::MouseDown();
    uitest::PumpFor(30);
    uitest::MoveCursorClient(s.grid.m_hWnd, start.x, kRowHeight / 2);
    uitest::PumpFor(250);
    uitest::MouseUp();
    uitest::PumpFor(30);
    EXPECT_LT(GetScrollPos(s.grid.m_hWnd, SB_VERT), before);
    EXPECT_LT(s.grid.GetFocusCell().row, 9);
    const Cells sel = Selected(s.grid);
    EXPECT_TRUE(sel.count({9, 2})) << "the anchor stays selected";
    EXPECT_GT(sel.size(), 3u);
    // The timer stopped with the release: nothing moves any more.
    const int after = GetScrollPos(s.grid.m_hWnd, SB_VERT);
    uitest::PumpFor(100);
    EXPECT_EQ(after, GetScrollPos(s.grid.m_hWnd, SB_VERT));
}

TEST(GridInput, ClickOnTheFocusCellEditsOnRelease) {
    GridScene s;
    s.grid.SetItemText(2, 2, "abc");
    s.Click(2, 2);
    EXPECT_EQ(nullptr, s.Editor("Edit"));
    s.notes.clear();
    s.Press(s.Centre(2, 2));
    EXPECT_EQ(GRID_MOUSE_PREPARE_EDIT, s.grid.Mode());
    EXPECT_EQ(nullptr, s.Editor("Edit"));
    s.Release(s.Centre(2, 2));
    HWND edit = s.Editor("Edit");
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ("abc", GridScene::Text(edit));
    // The editor stands over the cell.
    RECT er;
    GetWindowRect(edit, &er);
    MapWindowPoints(nullptr, s.grid.m_hWnd, reinterpret_cast<POINT*>(&er), 2);
    EXPECT_EQ(s.Rect(2, 2).left, er.left);
    EXPECT_EQ(s.Rect(2, 2).top, er.top);
    ASSERT_FALSE(s.notes.empty());
    EXPECT_EQ((Note{-105, 2, 2}), s.notes.front());
}

TEST(GridInput, OneClickEditsWhenDoubleClickEditingIsOff) {
    GridScene s;
    s.grid.SetEditOnDblClick(FALSE);
    s.Click(3, 3);
    EXPECT_NE(nullptr, s.Editor("Edit"));
    EXPECT_EQ(CThemeGridCellId(3, 3), s.grid.GetFocusCell());
}

// Divider drags with the real cursor over the fixed row: the sized column
// and its new width (the release x minus the column's left edge).
TEST(GridInput, DraggingAColumnDividerSetsTheWidth) {
    struct Case {
        const char* name;
        int pressX;  // in the fixed row
        int releaseX;
        int column;
        int width;
    };
    const Case cases[] = {
        {"just left of the divider", 2 * kColWidth - 2, 2 * kColWidth + 40, 1, kColWidth + 40},
        {"within 3 pixels right of it", 2 * kColWidth + 2, 2 * kColWidth - 20, 1, kColWidth - 20},
        {"right edge of the last fixed column", kColWidth - 1, kColWidth + 25, 0, kColWidth + 25},
    };
    for (const Case& c : cases) {
        GridScene s;
        uitest::DragClient(s.grid.m_hWnd, POINT{c.pressX, 10}, POINT{c.releaseX, 10});
        uitest::PumpFor(30);
        EXPECT_EQ(c.width, s.grid.GetColumnWidth(c.column)) << c.name;
        for (int col = 0; col < 5; ++col)
            if (col != c.column) {
                EXPECT_EQ(kColWidth, s.grid.GetColumnWidth(col)) << c.name;
            }
        // The cursor rests on the moved divider.
        EXPECT_EQ(GRID_MOUSE_OVER_COL_DIVIDE, s.grid.Mode()) << c.name;
        EXPECT_EQ(nullptr, GetCapture()) << c.name;
        RECT clip, screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        GetClipCursor(&clip);
        EXPECT_TRUE(EqualRect(&clip, &screen)) << c.name << ": cursor still confined";
    }
}

TEST(GridInput, DraggingARowDividerSetsTheHeight) {
    GridScene s;
    uitest::DragClient(s.grid.m_hWnd, POINT{10, 3 * kRowHeight - 1}, POINT{10, 3 * kRowHeight + 15});
    uitest::PumpFor(30);
    EXPECT_EQ(kRowHeight + 15, s.grid.GetRowHeight(2));
    EXPECT_EQ(kRowHeight, s.grid.GetRowHeight(3));
}

// Keys from a focus cell of a 30 x 5 grid (one fixed row and column).
TEST(GridInput, KeyTable) {
    struct Case {
        const char* name;
        int row, col;
        UINT key;
        bool shift;
        int wantRow, wantCol;
    };
    const Case cases[] = {
        {"Tab moves right", 2, 2, VK_TAB, false, 2, 3},
        {"Tab on the last column wraps", 2, 4, VK_TAB, false, 3, 1},
        {"Tab on the last cell stays", 29, 4, VK_TAB, false, 29, 4},
        {"Shift+Tab moves left", 2, 2, VK_TAB, true, 2, 1},
        {"Shift+Tab on a row's first cell wraps back", 3, 1, VK_TAB, true, 2, 4},
        {"Shift+Tab on the first cell stays", 1, 1, VK_TAB, true, 1, 1},
        {"Left stops at the fixed column", 2, 1, VK_LEFT, false, 2, 1},
        {"Up stops at the fixed row", 1, 3, VK_UP, false, 1, 3},
        {"Down", 2, 3, VK_DOWN, false, 3, 3},
        {"Home", 9, 3, VK_HOME, false, 1, 3},
        {"End", 2, 3, VK_END, false, 29, 3},
        {"Page Up at the top goes to the first row", 3, 3, VK_PRIOR, false, 1, 3},
    };
    for (const Case& c : cases) {
        GridScene s(30, 5);
        s.grid.SetFocusCell(c.row, c.col);
        s.notes.clear();
        if (c.shift) {
            HeldKeys shift{VK_SHIFT};
            s.Key(c.key);
        } else {
            s.Key(c.key);
        }
        EXPECT_EQ(CThemeGridCellId(c.wantRow, c.wantCol), s.grid.GetFocusCell()) << c.name;
        if (c.wantRow == c.row && c.wantCol == c.col) {
            EXPECT_TRUE(s.notes.empty()) << c.name;
        }
    }
}

TEST(GridInput, PageDownMovesTheFocusByTheRowsScrolled) {
    GridScene s(40, 5);
    s.grid.SetFocusCell(2, 2);
    s.Key(VK_NEXT);
    const int top = s.grid.GetTopLeftNonFixedCell().row;
    EXPECT_GT(top, 1);
    EXPECT_EQ(CThemeGridCellId(2 + (top - 1), 2), s.grid.GetFocusCell());
    s.Key(VK_PRIOR);
    EXPECT_EQ(1, s.grid.GetTopLeftNonFixedCell().row);
    EXPECT_EQ(CThemeGridCellId(2, 2), s.grid.GetFocusCell());
    s.Key(VK_END);
    EXPECT_EQ(CThemeGridCellId(39, 2), s.grid.GetFocusCell());
    EXPECT_TRUE(s.grid.IsCellVisible(39, 2));
}

TEST(GridInput, ShiftTabOnTheFirstCellIsLeftToTheDialog) {
    // In a dialog, the unhandled Shift+Tab moves the focus to the previous
    // control.
    GridScene s;
    CEdit before;
    before.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, CRect(0, 285, 100, 300),
                  s.stage.parentWnd(), 77);
    SetWindowPos(before.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    s.grid.SetFocusCell(1, 1);
    s.grid.SetFocus();
    EXPECT_EQ(0, s.grid.SendMessage(WM_GETDLGCODE) & DLGC_WANTALLKEYS);
    EXPECT_NE(0, s.grid.SendMessage(WM_GETDLGCODE) & DLGC_WANTTAB);
    {
        HeldKeys shift{VK_SHIFT};
        s.Key(VK_TAB);
    }
    EXPECT_EQ(CThemeGridCellId(1, 1), s.grid.GetFocusCell());
    s.grid.SetHandleTabKey(FALSE);
    EXPECT_EQ(0, s.grid.SendMessage(WM_GETDLGCODE) & DLGC_WANTTAB);
    before.DestroyWindow();
}

TEST(GridInput, DeleteKey) {
    struct Case {
        const char* name;
        bool readOnly;
        BOOL editable;
        bool cleared;
    };
    const Case cases[] = {
        {"editable cell", false, TRUE, true},
        {"read-only cell", true, TRUE, false},
        {"grid not editable", false, FALSE, false},
    };
    for (const Case& c : cases) {
        GridScene s;
        s.grid.SetEditable(c.editable);
        s.grid.SetItemText(2, 2, "abc");
        s.grid.SetFocusCell(2, 2);
        if (c.readOnly) s.grid.SetItemState(2, 2, s.grid.GetItemState(2, 2) | GRID_STATE_READONLY);
        s.notes.clear();
        s.Key(VK_DELETE);
        EXPECT_EQ(c.cleared ? "" : "abc", std::string(s.grid.GetItemText(2, 2))) << c.name;
        EXPECT_EQ(c.cleared, s.grid.GetModified(2, 2) != FALSE) << c.name;
        EXPECT_EQ(c.cleared ? 2u : 0u, s.notes.size()) << c.name;
    }
}

// ---- editing

TEST(GridEdit, TypingOpensAnEditHoldingTheCharacter) {
    GridScene s;
    s.grid.SetItemText(2, 2, "abc");
    s.grid.SetFocusCell(2, 2);
    s.grid.SetFocus();
    s.notes.clear();
    s.Char('x');
    HWND edit = s.Editor("Edit");
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ("x", GridScene::Text(edit));
    EXPECT_EQ(edit, GetFocus());
    EXPECT_EQ(std::vector<Note>({{-105, 2, 2}}), s.notes);
    // The cell keeps its text until the edit ends.
    EXPECT_EQ("abc", std::string(s.grid.GetItemText(2, 2)));
}

TEST(GridEdit, TabStoresMovesAndReopens) {
    GridScene s;
    s.grid.SetItemText(2, 3, "next");
    s.grid.SetFocusCell(2, 2);
    ASSERT_TRUE(uitest::BringToFront(s.stage.parent()));
    s.grid.SetFocus();
    s.Char('x');
    HWND first = s.Editor("Edit");
    ASSERT_NE(nullptr, first);
    uitest::KeyPress('Y');
    uitest::PumpFor(30);
    EXPECT_EQ("xy", GridScene::Text(first));
    s.notes.clear();
    uitest::KeyPress(VK_TAB);
    uitest::PumpFor(60);
    EXPECT_EQ("xy", std::string(s.grid.GetItemText(2, 2)));
    EXPECT_TRUE(s.grid.GetModified(2, 2));
    EXPECT_EQ(CThemeGridCellId(2, 3), s.grid.GetFocusCell());
    HWND second = s.Editor("Edit");
    ASSERT_NE(nullptr, second);
    EXPECT_FALSE(IsWindow(first) && IsWindowVisible(first) && first == second);
    EXPECT_EQ("next", GridScene::Text(second));
    EXPECT_EQ(second, GetFocus());
    // The stored edit is announced, then the focus moves and the next edit starts.
    const std::vector<Note> want = {{-106, 2, 2}, {-100, 2, 2}, {-101, 2, 3}, {-105, 2, 3}};
    EXPECT_EQ(want, s.notes) << gridtest::Describe(s.notes);
    // Escape gives the next cell back its text unchanged.
    s.notes.clear();
    uitest::KeyPress(VK_ESCAPE);
    uitest::PumpFor(60);
    EXPECT_EQ("next", std::string(s.grid.GetItemText(2, 3)));
    EXPECT_FALSE(s.grid.GetModified(2, 3));
    EXPECT_EQ(nullptr, s.Editor("Edit"));
}

TEST(GridEdit, EditEndInListViewModeReportsTheStoredCell) {
    GridScene s;
    s.grid.SetListViewMode(TRUE);
    s.grid.SetFocusCell(2, 2);
    ASSERT_TRUE(uitest::BringToFront(s.stage.parent()));
    s.grid.SetFocus();
    s.Char('q');
    ASSERT_NE(nullptr, s.Editor("Edit"));
    s.notes.clear();
    uitest::KeyPress(VK_RETURN);
    uitest::PumpFor(60);
    EXPECT_EQ("q", std::string(s.grid.GetItemText(2, 2)));
    EXPECT_EQ(std::vector<Note>({{-101, 2, 2}, {-106, 2, 2}}), s.notes)
        << gridtest::Describe(s.notes);
}

TEST(GridEdit, NothingOpensWhereNothingMayBeEdited) {
    struct Case {
        const char* name;
        std::function<void(GridScene&)> set;
    };
    const std::vector<Case> cases = {
        {"read-only cell",
         [](GridScene& s) {
             s.grid.SetItemState(2, 2, s.grid.GetItemState(2, 2) | GRID_STATE_READONLY);
         }},
        {"grid not editable", [](GridScene& s) { s.grid.SetEditable(FALSE); }},
        {"no focus cell", [](GridScene& s) { s.grid.SetFocusCell(-1, -1); }},
    };
    for (const Case& c : cases) {
        GridScene s(40, 5);
        s.grid.SetFocusCell(2, 2);
        c.set(s);
        s.grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
        const int pos = GetScrollPos(s.grid.m_hWnd, SB_VERT);
        s.notes.clear();
        s.Char('x');
        s.Send(WM_LBUTTONDBLCLK, s.Centre(3, 2), MK_LBUTTON);
        s.Release(s.Centre(3, 2));
        EXPECT_EQ(nullptr, s.Editor("Edit")) << c.name;
        for (const Note& n : s.notes) EXPECT_NE(-105, n.code) << c.name;
        if (c.name == std::string("no focus cell")) {
            EXPECT_EQ(pos, GetScrollPos(s.grid.m_hWnd, SB_VERT)) << "typing scrolled";
        }
    }
}

TEST(GridEdit, CheckBoxColumnToggles) {
    struct Case {
        int before;
        int after;
    };
    for (const Case& c : {Case{0, 1}, Case{1, 0}, Case{5, 0}}) {
        GridScene s;
        s.grid.SetCheckBoxColumn(3);
        EXPECT_EQ(0, s.grid.GetItemImage(2, 3));
        s.grid.SetItemImage(2, 3, c.before);
        s.grid.SetFocusCell(1, 1);
        s.notes.clear();
        // A double click on the cell: press, release, double click, release.
        const POINT p = s.Centre(2, 3);
        s.Press(p);
        s.Release(p);
        s.Send(WM_LBUTTONDBLCLK, p, MK_LBUTTON);
        s.Release(p);
        EXPECT_EQ(c.after, s.grid.GetItemImage(2, 3)) << c.before;
        EXPECT_EQ(nullptr, s.Editor("Edit")) << c.before;
        EXPECT_FALSE(s.grid.GetModified(2, 3)) << c.before;
        int changing = 0, changed = 0;
        for (const Note& n : s.notes) {
            changing += n.code == -105;
            changed += n.code == -106;
        }
        EXPECT_EQ(1, changing) << c.before;
        EXPECT_EQ(0, changed) << c.before;
    }
}

TEST(GridEdit, ComboColumnShowsTheTextFirstWhenMissing) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<std::string> items;
        int selected;  // -1: the combo's own choice, not looked at
    };
    const Case cases[] = {
        {"missing text goes first", "zz", {"zz", "a", "b"}, 0},
        {"empty text goes first", "", {"", "a", "b"}, -1},
        {"listed text is selected in place", "b", {"a", "b"}, 1},
    };
    for (const Case& c : cases) {
        GridScene s;
        s.grid.SetColumnComboItems(2, "a\nb");
        s.grid.SetItemText(3, 2, c.text);
        s.grid.SetFocusCell(3, 2);
        ASSERT_TRUE(uitest::BringToFront(s.stage.parent()));
        s.grid.SetFocus();
        s.grid.StartCellEdit(3, 2, 1);
        HWND combo = s.Editor("ComboBox");
        ASSERT_NE(nullptr, combo) << c.name;
        const int n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        std::vector<std::string> items;
        for (int i = 0; i < n; ++i) {
            char buf[64] = {};
            SendMessageA(combo, CB_GETLBTEXT, i, (LPARAM)buf);
            items.push_back(buf);
        }
        EXPECT_EQ(c.items, items) << c.name;
        if (c.selected >= 0) {
            EXPECT_EQ(c.selected, SendMessageA(combo, CB_GETCURSEL, 0, 0)) << c.name;
        }
        EXPECT_EQ(c.text, GridScene::Text(combo)) << c.name;
    }
}

TEST(GridEdit, ComboEditStoresTheChosenItem) {
    GridScene s;
    s.grid.SetColumnComboItems(2, "apple\npear");
    s.grid.SetItemText(3, 2, "apple");
    s.grid.SetFocusCell(3, 2);
    ASSERT_TRUE(uitest::BringToFront(s.stage.parent()));
    s.grid.SetFocus();
    s.grid.StartCellEdit(3, 2, 1);
    HWND combo = s.Editor("ComboBox");
    ASSERT_NE(nullptr, combo);
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    s.notes.clear();
    uitest::KeyPress(VK_RETURN);
    uitest::PumpFor(80);
    EXPECT_EQ("pear", std::string(s.grid.GetItemText(3, 2)));
    EXPECT_TRUE(s.grid.GetModified(3, 2));
    EXPECT_EQ(nullptr, s.Editor("ComboBox"));
}

}  // namespace
