// A grid in a real window for the grid's window tests: a stage whose parent
// records every notification the grid sends (code, row and column, copied
// during the call), even geometry (rows 20 pixels high, columns 60 wide),
// and helpers that send mouse and key messages and hold modifier keys.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "ThemeClass/ThemeGrid.h"
#include "theme_fixture.h"

namespace gridtest {

constexpr UINT kGridId = 41;
constexpr int kRowHeight = 20;
constexpr int kColWidth = 60;

// The grid with its protected state in view and the scroll messages it
// received recorded.
class TestGrid : public CThemeGrid {
public:
    using CThemeGrid::CThemeGrid;
    int Margin() const { return m_nMargin; }
    int Mode() const { return m_MouseMode; }
    std::vector<int> vscrolls;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_VSCROLL) vscrolls.push_back(LOWORD(wParam));
        return CThemeGrid::WindowProc(message, wParam, lParam);
    }
};

struct Note {
    int code;
    int row;
    int col;
    bool operator==(const Note& o) const { return code == o.code && row == o.row && col == o.col; }
};

inline std::string Describe(const std::vector<Note>& v) {
    std::string s;
    for (const Note& n : v)
        s += "(" + std::to_string(n.code) + " " + std::to_string(n.row) + "," +
             std::to_string(n.col) + ")";
    return s;
}

// Sets modifier keys down in this thread's key state for the scope (the
// grid reads them with GetKeyState).
class HeldKeys {
public:
    HeldKeys(std::initializer_list<int> keys) : keys_(keys) { Set(0x80); }
    ~HeldKeys() { Set(0); }

private:
    void Set(BYTE down) {
        BYTE state[256];
        GetKeyboardState(state);
        for (int vk : keys_) state[vk] = down;
        SetKeyboardState(state);
    }
    std::vector<int> keys_;
};

struct GridScene {
    themetest::SkinStage stage;
    TestGrid grid;
    std::vector<Note> notes;

    explicit GridScene(int rows = 8, int cols = 5, int fixedRows = 1, int fixedCols = 1,
                       int width = 380, int height = 280)
        : grid(rows, cols, fixedRows, fixedCols) {
        grid.Create(CRect(0, 0, width, height), stage.parentWnd(), kGridId,
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP);
        for (int r = 0; r < rows; ++r) grid.SetRowHeight(r, kRowHeight);
        for (int c = 0; c < cols; ++c) grid.SetColumnWidth(c, kColWidth);
        grid.UpdateScrollBars();
        grid.Invalidate();
        stage.log().answer = [this](HWND, UINT msg, WPARAM, LPARAM l, LRESULT*) {
            if (msg != WM_NOTIFY) return false;
            const auto* n = reinterpret_cast<const CThemeGridNotify*>(l);
            if (n->hdr.hwndFrom == grid.m_hWnd && n->hdr.idFrom == kGridId)
                notes.push_back(Note{static_cast<int>(n->hdr.code), n->iRow, n->iColumn});
            return false;
        };
        uitest::BringToFront(stage.parent());
        uitest::PumpFor(30);
    }
    ~GridScene() {
        stage.log().answer = nullptr;
        if (grid.m_hWnd) grid.DestroyWindow();
        uitest::PumpPending();
    }

    CRect Rect(int r, int c) {
        CRect rc;
        grid.GetCellRect(r, c, &rc);
        return rc;
    }
    POINT Centre(int r, int c) {
        const CRect rc = Rect(r, c);
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    void Send(UINT msg, POINT p, WPARAM keys = 0) {
        grid.SendMessage(msg, keys, MAKELPARAM(p.x, p.y));
    }
    void Press(POINT p) { Send(WM_LBUTTONDOWN, p, MK_LBUTTON); }
    void Release(POINT p) { Send(WM_LBUTTONUP, p); }
    void Click(int r, int c) {
        const POINT p = Centre(r, c);
        Press(p);
        Release(p);
    }
    void Key(UINT vk) { grid.SendMessage(WM_KEYDOWN, vk, 0); }
    void Char(UINT ch) { grid.SendMessage(WM_CHAR, ch, 0); }
    // The in-place editor of a class ("Edit", "ComboBox"), or null.
    HWND Editor(const char* cls) {
        for (HWND h = FindWindowExA(grid.m_hWnd, nullptr, cls, nullptr); h;
             h = FindWindowExA(grid.m_hWnd, h, cls, nullptr))
            if (GetDlgCtrlID(h) == static_cast<int>(IDC_GRID_INPLACE) && IsWindowVisible(h))
                return h;
        return nullptr;
    }
    static std::string Text(HWND h) {
        char buf[256] = {};
        GetWindowTextA(h, buf, sizeof buf);
        return buf;
    }
};

}  // namespace gridtest
