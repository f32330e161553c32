// The grid's data transfer in a real window: the edit commands through the
// OLE clipboard and their menu states, header presses that sort, a drag
// from one grid to another by real input, printing on a metafile sink, and
// the text files on disk.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ThemeClass/ThemeGridDropTarget.h"
#include "theme_grid_scene.h"

namespace {

using gridtest::GridScene;
using gridtest::Note;
using gridtest::TestGrid;

std::string T(CThemeGrid& g, int r, int c) { return std::string(g.GetItemText(r, c)); }

std::string ClipboardText() {
    std::string s = "<none>";
    if (!::OpenClipboard(nullptr)) return s;
    if (HANDLE h = ::GetClipboardData(CF_TEXT)) {
        const char* p = static_cast<const char*>(::GlobalLock(h));
        s.assign(p, strnlen(p, ::GlobalSize(h)));
        ::GlobalUnlock(h);
    }
    ::CloseClipboard();
    return s;
}

void PutClipboardText(const std::string& text) {
    ::OpenClipboard(nullptr);
    ::EmptyClipboard();
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(::GlobalLock(h), text.c_str(), text.size() + 1);
    ::GlobalUnlock(h);
    ::SetClipboardData(CF_TEXT, h);
    ::CloseClipboard();
}

void Command(CThemeGrid& g, UINT id) { g.SendMessage(WM_COMMAND, id, 0); }

void FillABC(CThemeGrid& g) {
    const char* texts[3][3] = {{"", "", ""}, {"", "a", "b"}, {"", "c", ""}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) g.SetItemText(r, c, texts[r][c]);
}

TEST(GridTransfer, CopyCutPasteThroughTheClipboard) {
    struct Case {
        const char* name;
        BOOL editable;
        UINT command;
        const char* clipboard;
        const char* left;  // (1,1) (1,2) (2,1) (2,2) afterwards
    };
    const Case cases[] = {
        {"copy", TRUE, ID_EDIT_COPY, "a\tb\nc\t ", "a|b|c|"},
        {"cut", TRUE, ID_EDIT_CUT, "a\tb\nc\t ", "|||"},
        {"cut on a grid that is not editable", FALSE, ID_EDIT_CUT, "before", "a|b|c|"},
        {"copy on a grid that is not editable", FALSE, ID_EDIT_COPY, "a\tb\nc\t ", "a|b|c|"},
    };
    for (const Case& k : cases) {
        GridScene s;
        FillABC(s.grid);
        s.grid.SetEditable(k.editable);
        s.grid.SelectRange(1, 1, 2, 2);
        PutClipboardText("before");
        Command(s.grid, k.command);
        EXPECT_EQ(k.clipboard, ClipboardText()) << k.name;
        EXPECT_EQ(k.left, T(s.grid, 1, 1) + "|" + T(s.grid, 1, 2) + "|" + T(s.grid, 2, 1) + "|" +
                              T(s.grid, 2, 2))
            << k.name;
    }
    COleDataSource::FlushClipboard();
}

TEST(GridTransfer, PasteSkipsReadOnlyCells) {
    GridScene s;
    s.grid.SetItemState(2, 2, GRID_STATE_READONLY);
    s.grid.SetItemText(2, 2, "kept");
    PutClipboardText("1,2\r\n3\t4");
    s.grid.SetFocusCell(1, 1);
    s.notes.clear();
    Command(s.grid, ID_EDIT_PASTE);
    EXPECT_EQ("1|2|3|kept",
              T(s.grid, 1, 1) + "|" + T(s.grid, 1, 2) + "|" + T(s.grid, 2, 1) + "|" + T(s.grid, 2, 2));
    for (const Note& n : s.notes) EXPECT_FALSE(n.row == 2 && n.col == 2) << gridtest::Describe(s.notes);
    EXPECT_EQ(6u, s.notes.size()) << gridtest::Describe(s.notes);
    // Ctrl+V on a read-only focus cell pastes nothing.
    s.grid.SetFocusCell(2, 2);
    PutClipboardText("x");
    {
        gridtest::HeldKeys ctrl{VK_CONTROL};
        s.Key('V');
    }
    EXPECT_EQ("kept", T(s.grid, 2, 2));
}

TEST(GridTransfer, DragImageOfTheFocusCell) {
    GridScene s;
    CPoint hot(-1, -1);
    EXPECT_EQ(nullptr, s.grid.MakeDragImage(&hot)) << "no focus cell, no image";

    s.grid.SetItemText(1, 2, "WWWW");
    s.grid.SetFocusCell(1, 2);
    CImageList* list = s.grid.MakeDragImage(&hot);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(1, list->GetImageCount());
    const CSize size = list->GetIconSize();
    EXPECT_EQ(s.grid.GetColumnWidth(2), size.cx);
    EXPECT_EQ(s.grid.GetRowHeight(1), size.cy);
    EXPECT_EQ(CPoint(size.cx - 1, size.cy - 1), hot) << "hot spot on the bottom-right corner";

    // Over a green page the normal back is the mask: the cell's middle
    // stays green, its text does not.
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, size.cx, size.cy);
    HGDIOBJ old = ::SelectObject(dc, bmp);
    RECT all = {0, 0, size.cx, size.cy};
    HBRUSH green = ::CreateSolidBrush(RGB(0, 255, 0));
    ::FillRect(dc, &all, green);
    ::ImageList_Draw(list->GetSafeHandle(), 0, dc, 0, 0, ILD_TRANSPARENT);
    int greenPixels = 0, others = 0;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            ((::GetPixel(dc, x, y) & 0xFFFFFF) == RGB(0, 255, 0) ? greenPixels : others)++;
    EXPECT_GT(greenPixels, size.cx * size.cy / 3);
    EXPECT_GT(others, 10);
    ::SelectObject(dc, old);
    ::DeleteObject(green);
    ::DeleteObject(bmp);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    delete list;
}

TEST(GridTransfer, EditCommandMenuStates) {
    struct Case {
        const char* name;
        bool select, focusEditable, editable, clipText;
        bool copy, cut, paste;
    };
    const Case cases[] = {
        {"selection, editable focus, text", true, true, true, true, true, true, true},
        {"nothing selected", false, true, true, true, false, false, true},
        {"grid not editable", true, true, false, true, true, false, false},
        {"no text on the clipboard", true, true, true, false, true, true, false},
    };
    for (const Case& k : cases) {
        GridScene s;
        FillABC(s.grid);
        s.grid.SetEditable(k.editable);
        if (k.select) s.grid.SelectRange(1, 1, 2, 2);
        if (k.focusEditable) s.grid.SetFocusCell(1, 1);
        if (k.clipText) {
            PutClipboardText("x");
        } else {
            ::OpenClipboard(nullptr);
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        HMENU m = ::CreatePopupMenu();
        ::AppendMenuA(m, MF_STRING, ID_EDIT_COPY, "Copy");
        ::AppendMenuA(m, MF_STRING, ID_EDIT_CUT, "Cut");
        ::AppendMenuA(m, MF_STRING, ID_EDIT_PASTE, "Paste");
        ::AppendMenuA(m, MF_STRING, ID_EDIT_SELECT_ALL, "All");
        AfxUpdateMenuCmdUI(m, &s.grid);
        auto on = [m](UINT id) { return !(::GetMenuState(m, id, MF_BYCOMMAND) & MF_GRAYED); };
        EXPECT_EQ(k.copy, on(ID_EDIT_COPY)) << k.name;
        EXPECT_EQ(k.cut, on(ID_EDIT_CUT)) << k.name;
        EXPECT_EQ(k.paste, on(ID_EDIT_PASTE)) << k.name;
        EXPECT_TRUE(on(ID_EDIT_SELECT_ALL)) << k.name;
        ::DestroyMenu(m);
    }
}

TEST(GridTransfer, HeaderPressesSort) {
    GridScene s(6, 3, 1, 1);
    const char* keys[] = {"pear", "Apple", "fig", "apple", "fig"};
    for (int i = 0; i < 5; ++i) {
        s.grid.SetItemText(i + 1, 1, keys[i]);
        s.grid.SetItemText(i + 1, 2, std::to_string(5 - i).c_str());
    }
    s.grid.SetHeaderSort(TRUE);
    auto column = [&](int c) {
        std::string out;
        for (int r = 1; r < 6; ++r) out += (r > 1 ? "|" : "") + T(s.grid, r, c);
        return out;
    };
    struct Step {
        int col;
        const char* col1;
        BOOL ascending;
    };
    const Step steps[] = {
        {1, "Apple|apple|fig|fig|pear", TRUE},
        {1, "pear|fig|fig|apple|Apple", FALSE},
        {2, "fig|apple|fig|Apple|pear", TRUE},  // column 2 held 5..1 from the top
    };
    for (const Step& st : steps) {
        s.notes.clear();
        s.Click(0, st.col);
        EXPECT_EQ(st.col1, column(1)) << "press on column " << st.col;
        EXPECT_EQ(st.col, s.grid.GetSortColumn());
        EXPECT_EQ(st.ascending, s.grid.GetSortAscending());
        // The press selects the sorted column.
        EXPECT_EQ(CThemeGridCellRange(1, st.col, 5, st.col).Count(),
                  s.grid.GetSelectedCount());
        EXPECT_TRUE(s.grid.IsCellSelected(3, st.col));
        bool pressed = false;
        for (const Note& n : s.notes)
            pressed |= n == Note{GRID_NOTIFY_HEADER_PRESSED, 0, st.col};
        EXPECT_TRUE(pressed) << gridtest::Describe(s.notes);
    }
    // A public sort clears focus and selection and leaves the header order.
    s.grid.SetFocusCell(2, 2);
    EXPECT_TRUE(s.grid.SortRowsByText(1, TRUE));
    EXPECT_EQ(CThemeGridCellId(-1, -1), s.grid.GetFocusCell());
    EXPECT_EQ(0, s.grid.GetSelectedCount());
    EXPECT_EQ(2, s.grid.GetSortColumn());
    EXPECT_FALSE(s.grid.SortRowsByText(3, TRUE)) << "a column past the count";
    s.Click(0, 1);
    EXPECT_TRUE(s.grid.IsCellSelected(1, 1));
    EXPECT_TRUE(s.grid.IsCellSelected(5, 1));
    // With sorting on header press off, a press sorts nothing.
    s.grid.SetHeaderSort(FALSE);
    const std::string before = column(1);
    s.Click(0, 2);
    EXPECT_EQ(before, column(1));
}

// Two grids side by side; a real drag from the left one's (1,1) to the
// right one's (2,2), moved by a helper thread.
TEST(GridTransfer, DragBetweenGrids) {
    ASSERT_TRUE(AfxOleInit());
    struct Case {
        const char* name;
        bool ctrl, readOnlyTarget;
        const char* source;  // the left grid's (1,1) afterwards
        const char* target;  // the right grid's (2,2) afterwards
    };
    const Case cases[] = {
        {"move", false, false, "", "dragged"},
        {"Ctrl copies", true, false, "dragged", "dragged"},
        {"onto a read-only cell nothing happens", false, true, "dragged", "locked"},
    };
    for (const Case& k : cases) {
        GridScene s(4, 3, 1, 1, 190, 200);
        TestGrid right(4, 3, 1, 1);
        right.Create(CRect(200, 0, 390, 200), s.stage.parentWnd(), 42,
                     WS_CHILD | WS_VISIBLE | WS_TABSTOP);
        for (int c = 0; c < 3; ++c) right.SetColumnWidth(c, gridtest::kColWidth);
        for (int r = 0; r < 4; ++r) right.SetRowHeight(r, gridtest::kRowHeight);
        right.UpdateScrollBars();
        right.EnableDragAndDrop(TRUE);
        if (k.readOnlyTarget) {
            right.SetItemText(2, 2, "locked");
            right.SetItemState(2, 2, GRID_STATE_READONLY);
        }
        CThemeGridDropTarget target;
        ASSERT_TRUE(target.Register(&right)) << k.name;

        s.grid.EnableDragAndDrop(TRUE);
        s.grid.SetItemText(1, 1, "dragged");
        s.grid.SetFocus();
        // A press on the focus cell prepares an edit; the drag starts from
        // another selected cell.
        s.Click(1, 2);
        s.grid.SelectRange(1, 1, 1, 2);
        uitest::PumpFor(50);
        s.notes.clear();

        const POINT from = s.Centre(1, 1);
        CRect to;
        right.GetCellRect(2, 2, &to);
        const POINT fromScreen = uitest::ClientToScreenPoint(s.grid.m_hWnd, from.x, from.y);
        const POINT toScreen = uitest::ClientToScreenPoint(right.m_hWnd, to.CenterPoint().x,
                                                           to.CenterPoint().y);
        uitest::MoveCursor(fromScreen.x, fromScreen.y);
        uitest::MouseDown();
        bool done = false;
        std::thread helper([&] {
            ::Sleep(150);
            for (int i = 1; i <= 12; ++i) {
                uitest::MoveCursor(fromScreen.x + (toScreen.x - fromScreen.x) * i / 12,
                                   fromScreen.y + (toScreen.y - fromScreen.y) * i / 12);
                ::Sleep(30);
            }
            if (k.ctrl) {
                uitest::KeyDown(VK_CONTROL);
                ::Sleep(100);
            }
            uitest::MouseUp();
            ::Sleep(200);
            if (k.ctrl) uitest::KeyUp(VK_CONTROL);
            done = true;
        });
        uitest::PumpUntil([&] { return done; }, 10000);
        helper.join();
        uitest::PumpFor(50);

        // The press moves the focus first; then the drag starts at the
        // selection's top-left cell.
        int drags = 0;
        for (const Note& n : s.notes) drags += n == Note{GRID_NOTIFY_BEGIN_DRAG, 1, 1};
        EXPECT_EQ(1, drags) << k.name << " " << gridtest::Describe(s.notes);
        EXPECT_EQ(k.source, T(s.grid, 1, 1)) << k.name;
        EXPECT_EQ(k.target, T(right, 2, 2)) << k.name;
        EXPECT_EQ(0u, right.GetItemState(2, 2) & GRID_STATE_DROPHILITED) << k.name;
        target.Revoke();
        right.DestroyWindow();
    }
    ::OleUninitialize();
}

// ---- printing

int g_printDialogs = 0;
BOOL CancelPrint(PRINTDLGA* pd) {
    ++g_printDialogs;
    EXPECT_TRUE(pd->Flags & PD_RETURNDC);
    return FALSE;
}

class PrintGrid : public TestGrid {
public:
    using TestGrid::TestGrid;
    int PageHeight() const { return m_nPageHeight; }
};

// The texts of every recorded page, one string a page.
std::vector<std::string> PageTexts(CMetafilePageSink& sink) {
    std::vector<std::string> pages;
    for (int p = 0; p < sink.GetPageCount(); ++p) {
        std::string all;
        for (const CString& t : sink.GetPageTexts(p)) all += std::string(t) + "|";
        pages.push_back(all);
    }
    return pages;
}

TEST(GridPrint, CancelPrintsNothing) {
    AfxSetPrintDlgFunction(CancelPrint);
    uitest::MessageBoxCatcher boxes;
    GridScene s;
    g_printDialogs = 0;
    s.grid.Print();  // the dialog is cancelled: no document, no box
    AfxSetPrintDlgFunction(nullptr);
    EXPECT_EQ(1, g_printDialogs);
    EXPECT_EQ(0, boxes.count());
}

TEST(GridPrint, PagesOnAMetafileSink) {
    struct Case {
        const char* name;
        int rows;     // body rows
        int extra;    // pixels added to the last row beyond an exact fill of one page
        int pages;
        int failPage;
    };
    const Case cases[] = {
        {"exact fill", 4, 0, 1, 0},
        {"one pixel more", 4, 1, 2, 0},
        {"failing end of page aborts", 4, 1, 1, 1},
    };
    const CSize paper(1000, 1400);
    for (const Case& k : cases) {
        themetest::SkinStage stage;
        PrintGrid g(k.rows + 1, 3, 1, 1);
        g.Create(CRect(0, 0, 300, 200), stage.parentWnd(), 43, WS_CHILD | WS_VISIBLE);
        for (int c = 0; c < 3; ++c) g.SetColumnWidth(c, 100);
        g.SetRowHeight(0, 20);
        for (int r = 1; r <= k.rows; ++r) g.SetItemText(r, 1, ("row" + std::to_string(r)).c_str());
        g.SetItemText(0, 1, "Title");
        // Learn the page height for rows, then fill it exactly.
        CMetafilePageSink probe(paper);
        CPrintInfo probeInfo;
        probeInfo.m_rectDraw.SetRect(0, 0, paper.cx, paper.cy);
        g.OnBeginPrinting(probe.GetAttribDC(), &probeInfo);
        g.OnEndPrinting(probe.GetAttribDC(), &probeInfo);
        const int h = g.PageHeight();
        ASSERT_GT(h, 4 * k.rows) << k.name;
        for (int r = 1; r <= k.rows; ++r) g.SetRowHeight(r, h / k.rows);
        g.SetRowHeight(k.rows, h - (k.rows - 1) * (h / k.rows) + k.extra);

        CMetafilePageSink sink(paper);
        if (k.failPage) sink.FailEndPage(k.failPage);
        CPrintInfo info;
        EXPECT_EQ(k.failPage == 0, g.PrintOn(&sink, &info) != FALSE) << k.name;
        ASSERT_EQ(k.pages, sink.GetPageCount()) << k.name;
        EXPECT_EQ(k.failPage ? CMetafilePageSink::aborted : CMetafilePageSink::ended,
                  sink.GetState())
            << k.name;
        const std::vector<std::string> texts = PageTexts(sink);
        const int total = k.failPage ? 2 : k.pages;
        for (int p = 0; p < k.pages; ++p) {
            const std::string footer =
                "Page " + std::to_string(p + 1) + " of " + std::to_string(total) + "|";
            EXPECT_NE(std::string::npos, texts[p].find(footer)) << k.name << ": " << texts[p];
            EXPECT_NE(std::string::npos, texts[p].find("Title|")) << k.name;
        }
        EXPECT_NE(std::string::npos, texts[0].find("row1|")) << k.name;
        if (k.pages == 2) {
            EXPECT_EQ(std::string::npos, texts[0].find("row4|")) << k.name;
            EXPECT_NE(std::string::npos, texts[1].find("row4|")) << k.name;
        }
    }
}

TEST(GridPrint, TallRowsAndNoRows) {
    struct Case {
        const char* name;
        std::vector<int> heights;  // body rows
        int pages;
        std::vector<std::string> first;  // a text each page starts with
    };
    const Case cases[] = {
        {"a row taller than a page prints, clipped", {5000, 30}, 2, {"row1|", "row2|"}},
        {"no body rows: one page of titles", {}, 1, {"Title|"}},
        {"page 2 of 3", {2000, 2000, 2000}, 3, {"row1|", "row2|", "row3|"}},
    };
    for (const Case& k : cases) {
        themetest::SkinStage stage;
        PrintGrid g(static_cast<int>(k.heights.size()) + 1, 2, 1, 0);
        g.Create(CRect(0, 0, 300, 200), stage.parentWnd(), 43, WS_CHILD | WS_VISIBLE);
        g.SetItemText(0, 0, "Title");
        for (size_t i = 0; i < k.heights.size(); ++i) {
            g.SetRowHeight(static_cast<int>(i) + 1, k.heights[i]);
            g.SetItemText(static_cast<int>(i) + 1, 0, ("row" + std::to_string(i + 1)).c_str());
        }
        CMetafilePageSink sink(CSize(1000, 1400));
        CPrintInfo info;
        EXPECT_TRUE(g.PrintOn(&sink, &info)) << k.name;
        ASSERT_EQ(k.pages, sink.GetPageCount()) << k.name;
        const std::vector<std::string> texts = PageTexts(sink);
        for (int p = 0; p < k.pages; ++p) {
            EXPECT_NE(std::string::npos, texts[p].find(k.first[p])) << k.name << " " << texts[p];
            const std::string footer = "Page " + std::to_string(p + 1) + " of " +
                                       std::to_string(k.pages) + "|";
            EXPECT_NE(std::string::npos, texts[p].find(footer)) << k.name << " " << texts[p];
        }
    }
}

// ---- text files

std::string ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string TempFile(const char* name) {
    char dir[MAX_PATH] = {};
    ::GetTempPathA(sizeof(dir), dir);
    return std::string(dir) + name;
}

TEST(GridFile, SaveAndLoad) {
    struct Case {
        const char* name;
        std::string cell;  // the text of (1,1)
    };
    const Case cases[] = {{"short texts", "x"}, {"a 5000-character line", std::string(5000, 'q')}};
    for (const Case& k : cases) {
        GridScene s(3, 3, 1, 0);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                s.grid.SetItemText(r, c, ("t" + std::to_string(r) + std::to_string(c)).c_str());
        s.grid.SetItemText(1, 1, k.cell.c_str());
        const std::string path = TempFile("grid_transfer.csv");
        ASSERT_TRUE(s.grid.Save(path.c_str())) << k.name;
        const std::string bytes = ReadBytes(path);
        EXPECT_EQ("t00,t01,t02\r\nt10," + k.cell + ",t12\r\nt20,t21,t22\r\n", bytes) << k.name;

        GridScene back(1, 1, 0, 0);
        ASSERT_TRUE(back.grid.Load(path.c_str())) << k.name;
        ASSERT_EQ(3, back.grid.GetRowCount()) << k.name;
        ASSERT_EQ(3, back.grid.GetColumnCount()) << k.name;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(T(s.grid, r, c), T(back.grid, r, c)) << k.name << " " << r << "," << c;
        ::DeleteFileA(path.c_str());
    }
}

TEST(GridFile, OpenFailureReturnsFalseThroughTheMessageHook) {
    uitest::MessageBoxCatcher catcher;
    AFX_MSGBOX_HOOK old = AfxSetMessageBoxHook(uitest::AnswerMessageBox);
    GridScene s(3, 3, 1, 1);
    s.grid.SetItemText(1, 1, "stays");
    EXPECT_FALSE(s.grid.Load("Z:\\no\\such\\folder\\grid.csv"));
    EXPECT_EQ(1, catcher.count());
    EXPECT_EQ("stays", T(s.grid, 1, 1)) << "nothing removed before the file opened";
    EXPECT_FALSE(s.grid.Save("Z:\\no\\such\\folder\\grid.csv"));
    EXPECT_EQ(2, catcher.count());
    AfxSetMessageBoxHook(old);
}

}  // namespace
