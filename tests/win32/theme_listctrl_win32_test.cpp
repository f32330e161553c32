// The skinned report list and its multi-row header in real windows: row
// pitch and colours, check boxes, the click, header and edit notifications
// with their cells, in-place editing by Enter and by a drop-list choice,
// swallowed arrow keys, double clicks reaching the parent, header painting
// with merged cells, the header check box and column sorting.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "ThemeClass/ThemeListCtrl.h"
#include "theme_fixture.h"

using themetest::Hex;
using themetest::SkinStage;

namespace {

constexpr UINT kId = 5300;

struct Note {
    int code;
    int item;
    int col;
    UINT changed;  // uChanged as an NMLISTVIEW reads it
};

// Runs the class library's pre-translation as a real message loop does
// (Enter reaches the list that way).
void PumpTranslated(DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (!AfxPreTranslateMessage(&m)) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
        }
        if (GetTickCount() - start >= ms) break;
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    CWnd::DeleteTempMap();
}

void SendKeyTranslated(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    PumpTranslated(80);
}

// Keeps every LVM_REDRAWITEMS range the list is asked for.
class RedrawSpyList : public CThemeListCtrl {
public:
    std::vector<std::pair<int, int>> ranges;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == LVM_REDRAWITEMS) ranges.push_back({(int)wParam, (int)lParam});
        return CThemeListCtrl::WindowProc(message, wParam, lParam);
    }
};

// A list in a stage whose parent is a class-library window, so that the
// list view's owner-draw and click notifications come back to the list as
// in a dialog; the parent's own procedure still records what passes.
struct ListScene {
    SkinStage stage;
    CWnd host;
    RedrawSpyList list;
    std::vector<Note> notes;

    explicit ListScene(int rows = 4, int height = 17) {
        uitest::MoveCursorClient(stage.parent(), 395, 295);
        host.SubclassWindow(stage.parent());
        stage.log().answer = [this](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT*) {
            if (msg == WM_NOTIFY) {
                const NMLISTCELL* n = reinterpret_cast<const NMLISTCELL*>(lp);
                const int code = (int)n->hdr.code;
                if (n->hdr.idFrom == kId &&
                    (code == NM_LIST_CELLCLICK || code == NM_LIST_BLANKCLICK ||
                     code == NM_LIST_HEADCHECK || code == NM_LIST_CELLEDITED))
                    notes.push_back({code, n->iItem, n->iSubItem, n->uChanged});
            }
            return false;
        };
        list.Create(CRect(10, 10, 340, 270), &host, kId,
                    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP);
        if (height != 17) list.SetItemHeight(height);
        list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
        list.InsertColumn(1, "Value", LVCFMT_LEFT, 80);
        list.InsertColumn(2, "More", LVCFMT_LEFT, 60);
        for (int i = 0; i < rows; ++i) {
            char buf[16];
            wsprintfA(buf, "r%d", i);
            list.InsertItem(i, buf);
            list.SetItemText(i, 1, "v");
            list.SetItemData(i, 100 + i);
        }
        uitest::BringToFront(stage.parent());
        themetest::Settle();
        Clear();
    }
    ~ListScene() {
        if (list.GetSafeHwnd()) list.DestroyWindow();
        host.UnsubclassWindow();
        stage.log().answer = nullptr;
    }
    void Clear() {
        notes.clear();
        stage.log().Clear();
        list.ranges.clear();
    }
    HWND Hwnd() const { return list.GetSafeHwnd(); }
    HWND Header() const { return (HWND)::SendMessageA(list.GetSafeHwnd(), LVM_GETHEADER, 0, 0); }
    CRect Row(int item) const {
        CRect rc;
        list.GetItemRect(item, &rc, LVIR_BOUNDS);
        return rc;
    }
    // The centre of a cell, by the list's own geometry.
    POINT Cell(int item, int col) const {
        CRect rc = Row(item);
        int left = rc.left;
        for (int c = 0; c < col; ++c) left += list.GetColumnWidth(c);
        return POINT{left + list.GetColumnWidth(col) / 2, (rc.top + rc.bottom) / 2};
    }
    void ClickCell(int item, int col) {
        POINT p = Cell(item, col);
        uitest::ClickClient(Hwnd(), p.x, p.y);
        PumpTranslated(60);
    }
    std::vector<Note> Of(int code) const {
        std::vector<Note> out;
        // The list view's own LVN_ITEMCHANGED shares -101; see IsListCellEdited.
        for (const Note& n : notes)
            if (n.code == code && (code != NM_LIST_CELLEDITED || n.changed == 0)) out.push_back(n);
        return out;
    }
    std::vector<int> Data() const {
        std::vector<int> data;
        for (int i = 0; i < list.GetItemCount(); ++i) data.push_back((int)list.GetItemData(i));
        return data;
    }
};

// Text pixels: the thin skin face is smoothed, so few are pure.
int Reddish(const uitest::Picture& p, const RECT& r) {
    return themetest::Count(p, r, [](COLORREF c) {
        return GetRValue(c) > GetGValue(c) + 60 && GetRValue(c) > GetBValue(c) + 60;
    });
}

int Greyish(const uitest::Picture& p, const RECT& r) {
    return themetest::Count(p, r, [](COLORREF c) {
        const int red = GetRValue(c), green = GetGValue(c), blue = GetBValue(c);
        return red < 200 && std::abs(red - green) < 30 && std::abs(red - blue) < 30;
    });
}

int DarkPixels(const uitest::Picture& p, const RECT& r) {
    return themetest::Count(p, r, [](COLORREF c) {
        return GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60;
    });
}

}  // namespace

TEST(ThemeListCtrl, RowPitchFollowsTheItemHeight) {
    struct Case {
        const char* name;
        int height;
    };
    const Case cases[] = {{"default 17", 17}, {"play list 22", 22}, {"large 30", 30}};
    for (const Case& c : cases) {
        ListScene s(3, c.height);
        EXPECT_EQ(c.height, s.list.GetItemHeight()) << c.name;
        EXPECT_EQ(c.height, s.Row(0).Height()) << c.name;
        EXPECT_EQ(c.height, s.Row(1).top - s.Row(0).top) << c.name;
        EXPECT_EQ(c.height, s.Row(2).top - s.Row(1).top) << c.name;
    }
}

TEST(ThemeListCtrl, RowColoursByParitySelectionAndRecords) {
    ListScene s(6);
    const COLORREF even = RGB(250, 240, 200), odd = RGB(200, 240, 250);
    const COLORREF select = RGB(30, 90, 160), frame = RGB(255, 128, 0);
    s.list.SetNormal1BackColor(even);
    s.list.SetNormal2BackColor(odd);
    s.list.SetSelectBackColor(select);
    s.list.SetFrameColor(frame);
    s.list.SetRowColor(4, RGB(0, 200, 0));
    s.list.SetRowColor(5, RGB(0, 120, 0));
    s.list.SetCellColor(3, 2, RGB(255, 0, 0), RGB(200, 0, 200));
    s.list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    s.list.SetItemState(5, LVIS_SELECTED, LVIS_SELECTED);
    s.list.Invalidate();
    const uitest::Picture p = themetest::Shot(s.Hwnd());
    struct Case {
        const char* name;
        int item;
        int col;
        COLORREF want;
    };
    const Case cases[] = {
        {"even row", 0, 1, even},
        {"selected odd row", 1, 1, select},
        {"even row below", 2, 1, even},
        {"odd row", 3, 1, odd},
        {"row record", 4, 1, RGB(0, 200, 0)},
        {"selected row keeps its record colour", 5, 1, RGB(0, 120, 0)},
        {"cell record's back fills only its cell", 3, 2, RGB(200, 0, 200)},
    };
    for (const Case& c : cases) {
        const POINT pt = s.Cell(c.item, c.col);
        // Off the text: near the cell's bottom-right inner corner.
        const int x = pt.x + s.list.GetColumnWidth(c.col) / 2 - 4;
        const int y = s.Row(c.item).bottom - 3;
        EXPECT_EQ(Hex(c.want), Hex(p.At(x, y))) << c.name;
    }
    // A frame line on the left edge of every cell.
    const CRect r0 = s.Row(0);
    const int y0 = r0.top + 1;  // above the text, which is drawn over the frame
    EXPECT_EQ(Hex(frame), Hex(p.At(r0.left, y0))) << "frame at column 0";
    EXPECT_EQ(Hex(frame), Hex(p.At(r0.left + 100, y0))) << "frame at column 1";
    EXPECT_EQ(Hex(frame), Hex(p.At(r0.left + 180, y0))) << "frame at column 2";
    EXPECT_EQ(Hex(frame), Hex(p.At(r0.left + 50, s.Row(2).top - 1))) << "frame above a row";
    // Where no row is, the list's back.
    EXPECT_EQ(Hex(s.list.GetBackColor()), Hex(p.At(300, 240))) << "back below the rows";
}

TEST(ThemeListCtrl, CellTextColourStaysInItsCell) {
    ListScene s(2);
    s.list.SetItemText(0, 1, "WWWWW");
    s.list.SetItemText(0, 2, "WWWWW");
    s.list.SetCellColor(0, 1, RGB(255, 0, 0), 0);
    s.list.Invalidate();
    const uitest::Picture p = themetest::Shot(s.Hwnd());
    const CRect r = s.Row(0);
    const RECT cell1 = {r.left + 101, r.top, r.left + 179, r.bottom - 1};
    const RECT cell2 = {r.left + 181, r.top, r.left + 239, r.bottom - 1};
    EXPECT_GT(Reddish(p, cell1), 5) << "the record's text colour";
    EXPECT_EQ(Hex(0xFFFFFF), Hex(p.At(r.left + 178, r.bottom - 3)))
        << "back 0 keeps the row's back";
    EXPECT_EQ(0, Reddish(p, cell2)) << "the next cell is not red";
    EXPECT_GT(Greyish(p, cell2), 5) << "the next cell has the row's text colour";
}

TEST(ThemeListCtrl, ClicksToggleCheckBoxesInOrder) {
    ListScene s(5);
    s.list.SetCheckBoxOn(TRUE);
    s.list.Invalidate();
    struct Step {
        const char* name;
        int item;
        int col;
        std::vector<unsigned> want;
    };
    const Step steps[] = {
        {"tick row 3 from column 2", 3, 2, {3}},
        {"tick row 0 from column 1", 0, 1, {3, 0}},
        {"tick row 4", 4, 0, {3, 0, 4}},
        {"untick row 0 keeps the order of the rest", 0, 0, {3, 4}},
    };
    for (const Step& st : steps) {
        s.ClickCell(st.item, st.col);
        EXPECT_EQ(st.want, s.list.GetCheckedItems().Items()) << st.name;
    }
    s.list.SetItemState(-1, 0, LVIS_SELECTED);
    const uitest::Picture p = themetest::Shot(s.Hwnd());
    for (int item = 0; item < 5; ++item) {
        const CRect r = s.Row(item);
        const RECT inner = {r.left + 8, r.top + 5, r.left + 15, r.top + 12};
        const bool checked = s.list.IsChecked(item);
        if (checked)
            EXPECT_GT(DarkPixels(p, inner), 6) << "cross of row " << item;
        else
            EXPECT_EQ(0, DarkPixels(p, inner)) << "empty box of row " << item;
        EXPECT_EQ(Hex(0xFFFFFF), Hex(p.At(r.left + 6, r.top + 3))) << "box of row " << item;
        EXPECT_EQ(Hex(0), Hex(p.At(r.left + 5, r.top + 8))) << "box outline of row " << item;
    }
}

TEST(ThemeListCtrl, ClickNotificationsNameTheirCell) {
    ListScene s(4);
    s.list.SetColumnPush(1);
    s.list.Invalidate();
    // The push cell looks raised, and sunken while the button is held on it.
    auto bevel = [&s]() {
        const POINT pt = s.Cell(2, 1);
        const CRect r = s.Row(2);
        (void)pt;
        return themetest::Shot(s.Hwnd()).At(r.left + 101, r.top + 1);
    };
    EXPECT_EQ(Hex(0xC0C0C0), Hex(bevel())) << "raised";
    const POINT p = s.Cell(2, 1);
    uitest::MoveCursorClient(s.Hwnd(), p.x, p.y);
    uitest::MouseDown();
    EXPECT_EQ(CPoint(1, 2), s.list.GetPressedCell());
    EXPECT_EQ(Hex(0x808080), Hex(bevel())) << "sunken while held";
    uitest::MouseUp();
    PumpTranslated(60);
    EXPECT_EQ(CPoint(-1, -1), s.list.GetPressedCell()) << "released after the click";
    EXPECT_EQ(Hex(0xC0C0C0), Hex(bevel())) << "raised again";

    s.ClickCell(1, 0);
    s.ClickCell(3, 2);
    struct Case {
        const char* name;
        int code;
        int item;
        int col;
    };
    const Case want[] = {
        {"push cell", NM_LIST_CELLCLICK, 2, 1},
        {"plain cell", NM_LIST_BLANKCLICK, 1, 0},
        {"plain cell in column 2", NM_LIST_BLANKCLICK, 3, 2},
    };
    std::vector<Note> clicks;
    for (const Note& n : s.notes)
        if (n.code == NM_LIST_CELLCLICK || n.code == NM_LIST_BLANKCLICK) clicks.push_back(n);
    ASSERT_EQ(3u, clicks.size());
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(want[i].code, clicks[i].code) << want[i].name;
        EXPECT_EQ(want[i].item, clicks[i].item) << want[i].name;
        EXPECT_EQ(want[i].col, clicks[i].col) << want[i].name;
    }
    EXPECT_EQ(0, s.stage.log().CountNotify(kId, NM_CLICK)) << "the list view's click is consumed";
}

TEST(ThemeListCtrl, DoubleClickReachesTheParent) {
    ListScene s(4);
    const POINT p = s.Cell(2, 0);
    uitest::DoubleClickClient(s.Hwnd(), p.x, p.y);
    PumpTranslated(80);
    EXPECT_EQ(1, s.stage.log().CountNotify(kId, NM_DBLCLK));
    EXPECT_EQ(2, s.list.GetSelectionMark());
    EXPECT_EQ(0, s.stage.log().CountNotify(kId, NM_CLICK));
}

TEST(ThemeListCtrl, ArrowKeysDoNotMoveTheSelection) {
    ListScene s(5);
    s.ClickCell(2, 0);
    ASSERT_EQ(2, s.list.GetSelectedItem());
    const WORD keys[] = {VK_DOWN, VK_UP, VK_LEFT, VK_RIGHT};
    for (WORD vk : keys) {
        ASSERT_EQ(s.Hwnd(), GetFocus());
        uitest::KeyPress(vk);
        EXPECT_EQ(2, s.list.GetSelectedItem()) << "key " << vk;
        EXPECT_EQ(1, (int)s.list.GetSelectedCount()) << "key " << vk;
        EXPECT_EQ(1, (int)s.list.SendMessage(WM_KEYDOWN, vk, 0)) << "swallowed, key " << vk;
    }
    uitest::KeyPress(VK_END);
    EXPECT_EQ(4, s.list.GetSelectedItem()) << "other keys still reach the list view";
}

TEST(ThemeListCtrl, EnterCommitsAnEditOnce) {
    ListScene s(4);
    s.list.SetColumnEdit(1);
    s.list.SetItemText(2, 1, "old");
    s.ClickCell(2, 1);
    CEdit* edit = s.list.GetInPlaceEdit();
    ASSERT_TRUE(edit->IsWindowVisible());
    EXPECT_EQ(edit->m_hWnd, GetFocus());
    EXPECT_EQ(DWORD(WS_CHILD), edit->GetStyle() & (WS_CHILD | WS_POPUP))
        << "a child, never a popup";
    CString text;
    edit->GetWindowText(text);
    EXPECT_STREQ("old", text);
    EXPECT_EQ(2, s.list.GetEditItem());
    EXPECT_EQ(1, s.list.GetEditColumn());
    edit->SetWindowText("new text");
    s.Clear();
    SendKeyTranslated(VK_RETURN);
    EXPECT_STREQ("new text", s.list.GetItemText(2, 1));
    EXPECT_FALSE(edit->IsWindowVisible());
    EXPECT_EQ(s.Hwnd(), GetFocus()) << "the list has the focus, not the hidden edit";
    // Clicking elsewhere afterwards must not commit the closed edit again.
    s.ClickCell(0, 0);
    s.ClickCell(3, 2);
    const std::vector<Note> edits = s.Of(NM_LIST_CELLEDITED);
    ASSERT_EQ(1u, edits.size()) << "one commit per Enter";
    EXPECT_EQ(2, edits[0].item);
    EXPECT_EQ(1, edits[0].col);
    EXPECT_EQ(0u, edits[0].changed) << "told apart from LVN_ITEMCHANGED";
    EXPECT_TRUE(s.list.GetItemText(0, 1) == "v") << "no text went to another cell";
}

TEST(ThemeListCtrl, LosingTheFocusCommitsOnce) {
    ListScene s(4);
    s.list.SetColumnEdit(2);
    s.ClickCell(1, 2);
    ASSERT_TRUE(s.list.GetInPlaceEdit()->IsWindowVisible());
    s.list.GetInPlaceEdit()->SetWindowText("by click");
    s.Clear();
    s.ClickCell(3, 0);  // the list view takes the focus
    s.ClickCell(0, 0);
    EXPECT_STREQ("by click", s.list.GetItemText(1, 2));
    const std::vector<Note> edits = s.Of(NM_LIST_CELLEDITED);
    ASSERT_EQ(1u, edits.size());
    EXPECT_EQ(1, edits[0].item);
    EXPECT_EQ(2, edits[0].col);
}

TEST(ThemeListCtrl, DropListChoiceCommitsOnce) {
    struct Case {
        const char* name;
        int how;  // 0 arrow key, 1 mouse on the dropped list, 2 typed text and Enter
        const char* want;
    };
    const Case cases[] = {
        {"arrow key selects the next entry", 0, "c"},
        {"mouse on the dropped list", 1, "a"},
        {"typed text and Enter", 2, "typed"},
    };
    for (const Case& c : cases) {
        ListScene s(4);
        s.list.SetColumnCombo(1, "a\nb\n\nc");
        s.list.SetItemText(1, 1, "b");
        s.ClickCell(1, 1);
        CComboBox* combo = s.list.GetInPlaceCombo();
        ASSERT_TRUE(combo->IsWindowVisible()) << c.name;
        ASSERT_EQ(3, combo->GetCount()) << c.name;
        CString entry;
        combo->GetLBText(2, entry);
        EXPECT_STREQ("c", entry) << c.name;
        EXPECT_EQ(1, combo->GetCurSel()) << c.name << ": the cell's text is selected";
        EXPECT_EQ(0u, combo->GetStyle() & WS_POPUP) << c.name;
        s.Clear();
        if (c.how == 0) {
            SendKeyTranslated(VK_DOWN);
        } else if (c.how == 1) {
            combo->ShowDropDown(TRUE);
            PumpTranslated(60);
            COMBOBOXINFO info = {};
            info.cbSize = sizeof info;
            ASSERT_TRUE(GetComboBoxInfo(combo->m_hWnd, &info)) << c.name;
            RECT item = {};
            SendMessageA(info.hwndList, LB_GETITEMRECT, 0, (LPARAM)&item);
            uitest::ClickClient(info.hwndList, (item.left + item.right) / 2,
                                (item.top + item.bottom) / 2);
            PumpTranslated(80);
        } else {
            combo->SetCurSel(-1);
            combo->SetWindowText("typed");
            SendKeyTranslated(VK_RETURN);
        }
        EXPECT_FALSE(combo->IsWindowVisible()) << c.name;
        EXPECT_EQ(s.Hwnd(), GetFocus()) << c.name << ": the focus is not left in the hidden combo";
        // More focus changes afterwards commit nothing more.
        s.ClickCell(3, 0);
        PumpTranslated(60);
        EXPECT_STREQ(c.want, s.list.GetItemText(1, 1)) << c.name;
        EXPECT_FALSE(combo->IsWindowVisible()) << c.name;
        const std::vector<Note> edits = s.Of(NM_LIST_CELLEDITED);
        ASSERT_EQ(1u, edits.size()) << c.name;
        EXPECT_EQ(1, edits[0].item) << c.name;
        EXPECT_EQ(1, edits[0].col) << c.name;
        EXPECT_EQ(-1, s.list.GetEditItem()) << c.name;
    }
}

TEST(ThemeListCtrl, CellEditedIsToldApartFromItemChanged) {
    ListScene s(3);
    s.list.SetColumnEdit(1);
    s.ClickCell(0, 1);  // selects row 0: the list view's own -101 reaches the parent
    s.list.GetInPlaceEdit()->SetWindowText("x");
    SendKeyTranslated(VK_RETURN);
    int itemChanged = 0, cellEdited = 0;
    for (const Note& n : s.notes) {
        if (n.code != NM_LIST_CELLEDITED) continue;
        NMLISTCELL block = {};
        block.hdr.code = (UINT)n.code;
        block.uChanged = n.changed;
        if (IsListCellEdited(&block.hdr))
            ++cellEdited;
        else
            ++itemChanged;
    }
    EXPECT_EQ(1, cellEdited);
    EXPECT_GE(itemChanged, 1) << "the selection change came as -101 too";
}

TEST(ThemeListCtrl, HeaderReleaseAlwaysNotifies) {
    ListScene s(3);
    const HWND header = s.Header();
    struct Case {
        const char* name;
        int x;
        int wantCol;
    };
    const Case cases[] = {
        {"column 0", 50, 0},
        {"column 1", 140, 1},
        {"column 2", 200, 2},
        {"beyond the columns", 280, -1},
    };
    for (const Case& c : cases) {
        s.Clear();
        uitest::ClickClient(header, c.x, 8);
        PumpTranslated(60);
        const std::vector<Note> heads = s.Of(NM_LIST_HEADCHECK);
        ASSERT_EQ(1u, heads.size()) << c.name;
        EXPECT_EQ(-1, heads[0].item) << c.name;
        EXPECT_EQ(c.wantCol, heads[0].col) << c.name;
    }
}

TEST(ThemeListCtrl, HeaderCheckBoxSelectsAndClearsAllRows) {
    ListScene s(4);
    s.list.SetCheckBoxOn(TRUE);
    s.list.SetHeadCheckBoxOn(TRUE);
    const HWND header = s.Header();
    themetest::Settle();
    uitest::Picture p = uitest::CaptureClient(header);
    const RECT box = {8, 6, 15, 12};
    EXPECT_EQ(0, DarkPixels(p, box)) << "unticked box";
    EXPECT_EQ(CRect(5, 3, 17, 14), s.list.GetHeadCtrl().GetCheckRect());

    struct Step {
        const char* name;
        bool wantTicked;
    };
    const Step steps[] = {
        {"tick selects all", true}, {"untick clears all", false}, {"tick again", true}};
    for (const Step& st : steps) {
        s.Clear();
        uitest::ClickClient(header, 11, 8);
        PumpTranslated(60);
        EXPECT_EQ(st.wantTicked ? TRUE : FALSE, s.list.GetHeadCtrl().GetCheck()) << st.name;
        EXPECT_EQ(st.wantTicked ? 4u : 0u, s.list.GetSelectedCount()) << st.name;
        EXPECT_EQ(st.wantTicked ? 4u : 0u, s.list.GetCheckedItems().Items().size()) << st.name;
        EXPECT_EQ(1u, s.Of(NM_LIST_HEADCHECK).size()) << st.name;
        for (const auto& r : s.list.ranges) {
            EXPECT_LE(0, r.first) << st.name;
            EXPECT_LT(r.second, 4) << st.name << ": redraws stop at the last row";
        }
        if (!st.wantTicked) {
            EXPECT_FALSE(s.list.ranges.empty()) << st.name;
        }
        p = themetest::Shot(header);
        if (st.wantTicked)
            EXPECT_GT(DarkPixels(p, box), 6) << st.name;
        else
            EXPECT_EQ(0, DarkPixels(p, box)) << st.name;
    }
}

TEST(ThemeListCtrl, HeaderPaintsMergedCells) {
    ListScene s(2);
    const COLORREF frame = RGB(255, 0, 0), back = RGB(0, 0, 120);
    s.list.SetHeaderColors(frame, back, RGB(0, 0, 120));
    s.list.SetHeaderRows(2);
    s.list.MergeHeaderCells(0, 0, 0, 1);
    s.list.SetHeaderCellText(0, 0, "");
    s.list.SetHeaderCellText(0, 2, "");
    s.list.SetHeaderCellText(1, 1, "");
    ::InvalidateRect(s.Header(), nullptr, TRUE);
    const uitest::Picture p = themetest::Shot(s.Header());
    CRect item;
    Header_GetItemRect(s.Header(), 1, &item);
    const int half = item.Height() / 2;
    int extra = 0, cols = 0;
    EXPECT_EQ(skin::kSpanOrigin, s.list.GetHeadCtrl().GetCellSpan(0, 0, &extra, &cols));
    EXPECT_EQ(1, cols);
    struct Case {
        const char* name;
        int x, y;
        COLORREF want;
    };
    const Case cases[] = {
        {"top row: no border between the merged columns", item.left, half / 2, back},
        {"bottom row: a border between columns 0 and 1", item.left, half + half / 2, frame},
        {"top row: border before column 2", item.right, half / 2, frame},
        {"line between the rows", item.left + 10, half - 1, frame},
        {"inside a bottom cell", item.left + 10, half + half / 2, back},
    };
    for (const Case& c : cases) EXPECT_EQ(Hex(c.want), Hex(p.At(c.x, c.y))) << c.name;
}

TEST(ThemeListCtrl, SortTypesOrderRowsAndKeepItemData) {
    struct Case {
        const char* name;
        int type;
        int sorts;  // SortByColumn calls in a row
        std::vector<int> wantData;
    };
    // Rows "10", "9", "abc" carry data 100, 101, 102.
    const Case cases[] = {
        {"ascending", 1, 1, {101, 100, 102}},
        {"ascending twice stays ascending", 1, 2, {101, 100, 102}},
        {"descending", 2, 1, {102, 100, 101}},
        {"toggle starts ascending", 3, 1, {101, 100, 102}},
        {"toggle reverses the second time", 3, 2, {102, 100, 101}},
        {"toggle down starts ascending on a new column", 4, 1, {101, 100, 102}},
        {"no sorting", 0, 1, {100, 101, 102}},
    };
    for (const Case& c : cases) {
        ListScene s(3);
        const char* names[] = {"10", "9", "abc"};
        for (int i = 0; i < 3; ++i) {
            s.list.SetItemText(i, 0, names[i]);
            s.list.SetItemText(i, 2, names[i]);
        }
        s.list.SetSortType(c.type);
        for (int k = 0; k < c.sorts; ++k) s.list.GetHeadCtrl().SortByColumn(1, CPoint(78, 76));
        EXPECT_EQ(c.wantData, s.Data()) << c.name;
        for (int i = 0; i < 3; ++i)
            EXPECT_STREQ(s.list.GetItemText(i, 0), s.list.GetItemText(i, 2))
                << c.name << ": every column moves with its row";
        EXPECT_EQ(3, s.list.GetItemCount()) << c.name;
    }
}

TEST(ThemeListCtrl, DoubleClickOnTheHeaderSorts) {
    ListScene s(3);
    const char* names[] = {"b", "c", "a"};
    for (int i = 0; i < 3; ++i) s.list.SetItemText(i, 1, names[i]);
    s.list.SetCheck(0, TRUE);
    s.list.SetRowColor(0, RGB(0, 200, 0));
    s.list.SetSortType(3);
    uitest::DoubleClickClient(s.Header(), 140, 8);  // column 1
    PumpTranslated(80);
    EXPECT_EQ((std::vector<int>{102, 100, 101}), s.Data());
    EXPECT_STREQ("a", s.list.GetItemText(0, 1));
    // Check marks and colour records stay with the row positions.
    EXPECT_TRUE(s.list.IsChecked(0));
    COLORREF back = 0;
    EXPECT_TRUE(s.list.GetRowColor(0, &back));
    uitest::DoubleClickClient(s.Header(), 140, 8);
    PumpTranslated(80);
    EXPECT_EQ((std::vector<int>{101, 100, 102}), s.Data()) << "the same column reverses";
}

TEST(ThemeListCtrl, EachHeaderRemembersItsOwnWidthSum) {
    ListScene a(1);
    // A second list beside the first, with other widths.
    CThemeListCtrl b;
    // The other creation form: style first.
    ASSERT_TRUE(
        b.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 200, 100), &a.host, kId + 1));
    EXPECT_EQ(DWORD(LVS_REPORT | LVS_OWNERDRAWFIXED),
              b.GetStyle() & (LVS_TYPEMASK | LVS_OWNERDRAWFIXED));
    b.InsertColumn(0, "x", LVCFMT_LEFT, 40);
    b.InsertColumn(1, "y", LVCFMT_LEFT, 30);
    const HWND ha = a.Header();
    const HWND hb = (HWND)::SendMessageA(b.m_hWnd, LVM_GETHEADER, 0, 0);
    auto layout = [](HWND h) {
        RECT rc = {0, 0, 300, 100};
        WINDOWPOS wp = {};
        HDLAYOUT hl = {&rc, &wp};
        ::SendMessageA(h, HDM_LAYOUT, 0, (LPARAM)&hl);
    };
    auto invalidated = [](HWND h) {
        RECT r = {};
        return ::GetUpdateRect(h, &r, FALSE) != FALSE;
    };
    layout(ha);
    layout(hb);
    themetest::Settle();
    struct Step {
        const char* name;
        HWND header;
        int widen;  // pixels added to column 0 before the layout
        bool wantInvalidated;
    };
    const Step steps[] = {
        {"A unchanged after B's layout", ha, 0, false},
        {"B unchanged after A's layout", hb, 0, false},
        {"B unchanged after A changed", hb, 0, false},
    };
    for (const Step& st : steps) {
        if (st.widen) {
            HDITEMA item = {};
            item.mask = HDI_WIDTH;
            Header_GetItem(st.header, 0, &item);
            item.cxy += st.widen;
            Header_SetItem(st.header, 0, &item);
        }
        ::ValidateRect(st.header, nullptr);
        layout(st.header);
        EXPECT_EQ(st.wantInvalidated, invalidated(st.header)) << st.name;
        themetest::Settle();
    }
    b.DestroyWindow();
}

TEST(ThemeListCtrl, PaintingAndDestructionLeaveNoObjects) {
    ASSERT_TRUE(uitest::InstallGdiCounter());
    const long before = uitest::LiveGdiObjects();
    {
        ListScene s(6);
        s.list.SetCheckBoxOn(TRUE);
        s.list.SetHeadCheckBoxOn(TRUE);
        s.list.SetRowColor(1, RGB(0, 200, 0));
        s.list.SetCellColor(2, 1, RGB(255, 0, 0), RGB(0, 0, 200));
        s.list.SetColumnPush(2);
        s.list.SetNormalBackColor(RGB(240, 240, 240));
        s.list.SetFontSize(14);
        s.list.SetItemHeight(22);
        s.ClickCell(2, 0);
        themetest::Settle();
        const long settled = uitest::LiveGdiObjects();
        for (int i = 0; i < 4; ++i) {
            s.list.Invalidate();
            ::InvalidateRect(s.Header(), nullptr, TRUE);
            themetest::Settle();
        }
        EXPECT_EQ(settled, uitest::LiveGdiObjects()) << "repaints keep nothing";
    }
    themetest::Settle();
    EXPECT_EQ(before, uitest::LiveGdiObjects()) << "the list frees its fonts and brushes";
}

TEST(ThemeListCtrl, CheckBoxImageShowsOneHalfPerState) {
    // Left half (unchecked) red, right half (checked) green.
    const std::string path = themetest::WriteBmp("list_check.bmp", 26, 11, [](int x, int) {
        return x < 13 ? RGB(220, 0, 0) : RGB(0, 180, 0);
    });
    ListScene s(3);
    s.list.SetCheckBoxOn(TRUE);
    ASSERT_TRUE(s.list.SetCheckBoxImage(path.c_str()));
    s.list.SetHeadCheckBoxOn(TRUE);  // the header takes the loaded image
    s.list.SetCheck(1, TRUE);
    s.list.Invalidate();
    ::InvalidateRect(s.Header(), nullptr, TRUE);
    const uitest::Picture p = themetest::Shot(s.Hwnd());
    struct Case {
        const char* name;
        int item;
        COLORREF want;
    };
    const Case cases[] = {{"unticked row", 0, RGB(220, 0, 0)},
                          {"ticked row", 1, RGB(0, 180, 0)},
                          {"unticked row below", 2, RGB(220, 0, 0)}};
    for (const Case& c : cases) {
        const CRect r = s.Row(c.item);
        EXPECT_EQ(Hex(c.want), Hex(p.At(r.left + 12, r.top + 8))) << c.name;
    }
    const uitest::Picture h = themetest::Shot(s.Header());
    EXPECT_EQ(Hex(RGB(220, 0, 0)), Hex(h.At(12, 9))) << "header box, unticked";
    ASSERT_FALSE(s.list.SetCheckBoxImage("no such file.bmp"));
    s.list.Invalidate();
    const uitest::Picture q = themetest::Shot(s.Hwnd());
    const CRect r1 = s.Row(1);
    EXPECT_GT(DarkPixels(q, RECT{r1.left + 8, r1.top + 5, r1.left + 15, r1.top + 12}), 6)
        << "a failed load falls back to the drawn box";
}
