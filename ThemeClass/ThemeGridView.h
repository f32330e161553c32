// The grid's view over its table: the geometry that maps cells to client
// pixels and back, the two scroll bars over the non-fixed area, the focus
// cell, the selection and the previously selected cells kept while Ctrl is
// held, the mouse modes and the key table. Portable: the window derives from
// it, answers the hooks (client size, scroll bars, notifications, redraws,
// the editor) and turns the effects it reports into window calls.
#pragma once

#include <vector>

#include "ThemeClass/ThemeGridModel.h"

// The two scroll bars.
enum : int { GRID_BAR_HORZ = 0, GRID_BAR_VERT = 1 };

// Scroll codes (the platform's numbering: line, page, thumb, ends).
enum : int {
    GRID_SCROLL_LINEUP = 0,  // line left on the horizontal bar
    GRID_SCROLL_LINEDOWN = 1,
    GRID_SCROLL_PAGEUP = 2,
    GRID_SCROLL_PAGEDOWN = 3,
    GRID_SCROLL_THUMBPOSITION = 4,
    GRID_SCROLL_THUMBTRACK = 5,
    GRID_SCROLL_TOP = 6,
    GRID_SCROLL_BOTTOM = 7,
};

// Mouse modes.
enum : int {
    GRID_MOUSE_NOTHING = 0,
    GRID_MOUSE_SELECT_ALL = 1,
    GRID_MOUSE_SELECT_COL = 2,
    GRID_MOUSE_SELECT_ROW = 3,
    GRID_MOUSE_SELECT_CELLS = 4,
    GRID_MOUSE_OVER_ROW_DIVIDE = 6,
    GRID_MOUSE_SIZING_ROW = 7,
    GRID_MOUSE_OVER_COL_DIVIDE = 8,
    GRID_MOUSE_SIZING_COL = 9,
    GRID_MOUSE_PREPARE_EDIT = 10,
    GRID_MOUSE_PREPARE_DRAG = 11,
    GRID_MOUSE_DRAGGING = 12,
};

// Notification codes sent to the owner.
enum : int {
    GRID_NOTIFY_FOCUS_LOST = -100,
    GRID_NOTIFY_FOCUS_GAINED = -101,
    GRID_NOTIFY_LV_EDIT_STORED = -101,
    GRID_NOTIFY_TEXT_CHANGING = -105,
    GRID_NOTIFY_TEXT_CHANGED = -106,
    GRID_NOTIFY_HEADER_PRESSED = -108,
    GRID_NOTIFY_BEGIN_DRAG = -109,
    GRID_NOTIFY_LBUTTON_UP = 0x201,
    GRID_NOTIFY_LBUTTON_DBLCLK = 0x203,
    GRID_NOTIFY_RBUTTON_DOWN = 0x204,
    GRID_NOTIFY_LV_LBUTTON_UP = -2,
    GRID_NOTIFY_LV_LBUTTON_DBLCLK = -3,
    GRID_NOTIFY_LV_RBUTTON_UP = -5,
    GRID_NOTIFY_LV_RBUTTON_DBLCLK = -6,
};

// Virtual key codes the key table knows.
enum : UINT {
    GRID_KEY_TAB = 0x09,
    GRID_KEY_PRIOR = 0x21,
    GRID_KEY_NEXT = 0x22,
    GRID_KEY_END = 0x23,
    GRID_KEY_HOME = 0x24,
    GRID_KEY_LEFT = 0x25,
    GRID_KEY_UP = 0x26,
    GRID_KEY_RIGHT = 0x27,
    GRID_KEY_DOWN = 0x28,
    GRID_KEY_DELETE = 0x2E,
};

// Directions for FindNextCell, combined with the state bits looked for.
enum : UINT {
    GRID_FIND_ABOVE = 0x100,
    GRID_FIND_BELOW = 0x200,
    GRID_FIND_LEFT = 0x400,
    GRID_FIND_RIGHT = 0x800,
    GRID_FIND_AREA = GRID_FIND_BELOW | GRID_FIND_RIGHT,
    GRID_FIND_ALL = GRID_FIND_BELOW | GRID_FIND_LEFT | GRID_FIND_RIGHT,
};

// Modifier keys held during a press or key.
enum : UINT { GRID_MOD_SHIFT = 0x01, GRID_MOD_CTRL = 0x02 };

// Key code of an edit started with the mouse.
#define GRID_EDIT_MOUSE_KEY 1u

// What a scroll step asks of the window: the new position, how far the
// pixels of the non-fixed area move (positive: right or down), and what to
// repaint.
struct GridScrollEffect {
    enum Repaint { NOTHING, STRIP, NON_FIXED, ALL };
    bool changed = false;
    int pos = 0;
    int shift = 0;
    Repaint repaint = NOTHING;
    RECT rect = {0, 0, 0, 0};
};

// The scroll bars' pages and maxima; ranges run from 0 to the maximum.
struct GridScrollBars {
    bool valid = false;
    int hPage = 0, vPage = 0;
    int hMax = 0, vMax = 0;
};

// Wheel rule: how many scroll messages of which code a wheel delta posts.
struct GridWheelSteps {
    int code = GRID_SCROLL_LINEUP;
    int count = 0;
};
GridWheelSteps GridWheelToScroll(int delta, int linesPerNotch);

// Splits the selection for an in-place drop-down: the items to show and the
// index of the one selected. A text that is empty or missing from the list
// goes in as the first item and is the one selected.
std::vector<CString> GridComboEditItems(const std::vector<CString>& items, const CString& text,
                                        int* selected);

class CThemeGridView : public CThemeGridModel {
public:
    CThemeGridView() = default;

    // ---- scrolling
    // The position of a bar (or its thumb's track position).
    virtual int GetScrollPosition(int bar, bool trackPos = false) const;
    virtual void SetScrollPosition(int bar, int pos);
    // Where the thumb is being dragged (read by the thumb codes).
    void SetTrackPosition(int bar, int pos) { m_nTrackPos[bar == GRID_BAR_VERT] = pos; }
    int GetScrollMax(int bar) const { return bar == GRID_BAR_HORZ ? m_nHScrollMax : m_nVScrollMax; }
    GridScrollBars ComputeScrollBars() const;
    void UpdateScrollBars();
    // One scroll code on one bar; the window carries out the effect.
    GridScrollEffect OnHScroll(int code);
    GridScrollEffect OnVScroll(int code);
    GridWheelSteps OnMouseWheel(int delta);
    void SetWheelLines(int lines) { m_nRowsPerWheelNotch = lines; }
    int GetWheelLines() const { return m_nRowsPerWheelNotch; }

    // ---- geometry (client pixels)
    CThemeGridCellId GetTopLeftNonFixedCell() const;
    CThemeGridCellRange GetVisibleNonFixedCellRange(RECT* rect = nullptr) const;
    CThemeGridCellRange GetUnobstructedNonFixedCellRange() const;
    CThemeGridCellId GetCellFromPt(POINT pt, BOOL allowFixed = TRUE) const;
    BOOL GetCellOrigin(int row, int col, POINT* pt) const;
    BOOL GetCellRect(int row, int col, RECT* rect) const;
    BOOL GetTextRect(int row, int col, RECT* rect) const;
    BOOL GetCellRangeRect(const CThemeGridCellRange& range, RECT* rect) const;
    BOOL IsCellVisible(int row, int col) const;
    BOOL IsOnColumnDivider(POINT pt) const;
    BOOL IsOnRowDivider(POINT pt) const;
    // The column (row) a divider press at the point sizes: the one left of
    // (above) the divider when the point is within the capture range of the
    // cell's left (top) edge. -1 when none.
    int ColumnToSize(POINT pt) const;
    int RowToSize(POINT pt) const;
    int GetResizeCaptureRange() const { return m_nResizeCaptureRange; }

    // ---- focus and selection
    CThemeGridCellId SetFocusCell(int row, int col);
    CThemeGridCellId SetFocusCell(const CThemeGridCellId& c) { return SetFocusCell(c.row, c.col); }
    void SelectRange(int minRow, int minCol, int maxRow, int maxCol, BOOL forceRepaint = FALSE);
    void ClearSelectionRange();
    CThemeGridCellRange GetSelectionRange() const;
    void SelectAllCells();
    void SelectColumns(const CThemeGridCellId& cell);
    void SelectRows(const CThemeGridCellId& cell);
    void SelectCells(const CThemeGridCellId& cell);
    void OnDragSelect(const CThemeGridCellId& cell);
    CThemeGridCellId GetSelectionStartCell() const { return m_SelectionStartCell; }
    void SetSelectionStartCell(const CThemeGridCellId& c) { m_SelectionStartCell = c; }
    void ScrollIntoView(int row, int col);
    // The next cell from the start with any of the state bits in flags, in
    // the direction flags name (GRID_FIND_*); (-1, -1) when none.
    CThemeGridCellId FindNextCell(const CThemeGridCellId& start, UINT flags) const;

    // ---- mouse
    int GetMouseMode() const { return m_MouseMode; }
    void SetMouseMode(int mode) { m_MouseMode = mode; }
    // The mode a left press at the point would start, from the current
    // mode, without changing anything.
    int PressMode(POINT pt, UINT mods, bool hadFocus) const;
    void OnLButtonDown(POINT pt, UINT mods, bool hadFocus);
    void OnMouseMove(POINT pt, bool leftButton);
    void OnLButtonUp(POINT pt);
    void OnLButtonDblClk(POINT pt);
    void OnRButtonDown(POINT pt);
    void OnRButtonUp(POINT pt);
    void OnRButtonDblClk(POINT pt);
    // The auto-scroll timer, with the cursor in client pixels.
    void OnAutoScrollTimer(POINT cursor);
    virtual void OnHeaderRowClick(const CThemeGridCellId& cell);
    virtual void OnHeaderColumnClick(const CThemeGridCellId& cell);

    // ---- keyboard and editing
    // TRUE when the key was handled; FALSE leaves it to the usual handling.
    BOOL OnKeyDown(UINT key, UINT mods);
    void OnChar(UINT ch, UINT mods);
    virtual void StartCellEdit(int row, int col, UINT key);

protected:
    // ---- hooks for the window
    virtual bool HasWindow() const { return true; }
    // The table changed: the scroll bars follow and the window repaints.
    void OnTableChanged() override {
        UpdateScrollBars();
        InvalidateAll();
    }
    virtual void NotifyParent(int row, int col, int code) {}
    virtual void ApplyScrollBars(const GridScrollBars& bars) {}
    virtual void OnScrolled(int bar, const GridScrollEffect& effect) {}
    // Opens the in-place editor (or drop-down, for a column with items).
    virtual void OpenCellEditor(int row, int col, UINT key) {}
    // Sorting by a header press; the sort itself lives elsewhere.
    virtual void OnHeaderSort(int col) {}
    // Ctrl+C, Ctrl+V, Ctrl+X: the clipboard commands.
    virtual void OnEditKey(UINT key) {}
    // The button went down on a selected cell and the mouse moved.
    virtual void OnBeginDrag() {}
    // Width of the image list's images, or -1 without an image list.
    virtual int GetImageWidth() const { return -1; }
    // One scroll code on one bar, as the window's scroll handler runs it.
    GridScrollEffect Scroll(int bar, int code);

    int m_nHScrollPos = 0, m_nVScrollPos = 0;
    int m_nHScrollMax = 0, m_nVScrollMax = 0;
    int m_nHPage = 0, m_nVPage = 0;
    int m_nTrackPos[2] = {0, 0};
    int m_nRowsPerWheelNotch = 3;
    int m_nResizeCaptureRange = 3;
    int m_MouseMode = GRID_MOUSE_NOTHING;
    CThemeGridCellId m_SelectionStartCell, m_LeftClickDownCell;
    POINT m_LeftClickDownPoint = {0, 0}, m_LastMousePoint = {0, 0};
    int m_nSizingLine = -1;
};
