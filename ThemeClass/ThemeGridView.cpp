#include "ThemeClass/ThemeGridView.h"

#include <algorithm>

GridWheelSteps GridWheelToScroll(int delta, int linesPerNotch) {
    GridWheelSteps s;
    // A notch is 120; -1 lines per notch means a page per notch.
    const long n = linesPerNotch == -1 ? delta / 120 : long(delta) * linesPerNotch / 120;
    if (linesPerNotch == -1)
        s.code = n > 0 ? GRID_SCROLL_PAGEUP : GRID_SCROLL_PAGEDOWN;
    else
        s.code = n > 0 ? GRID_SCROLL_LINEUP : GRID_SCROLL_LINEDOWN;
    s.count = static_cast<int>(n < 0 ? -n : n);
    return s;
}

std::vector<CString> GridComboEditItems(const std::vector<CString>& items, const CString& text,
                                        int* selected) {
    int found = -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) {
            found = static_cast<int>(i);
            break;
        }
    if (!text.IsEmpty() && found >= 0) {
        if (selected) *selected = found;
        return items;
    }
    std::vector<CString> out;
    out.reserve(items.size() + 1);
    out.push_back(text);
    out.insert(out.end(), items.begin(), items.end());
    if (selected) *selected = 0;
    return out;
}

// ---- scrolling

int CThemeGridView::GetScrollPosition(int bar, bool trackPos) const {
    if (trackPos) return m_nTrackPos[bar == GRID_BAR_VERT];
    return bar == GRID_BAR_HORZ ? m_nHScrollPos : m_nVScrollPos;
}

void CThemeGridView::SetScrollPosition(int bar, int pos) {
    // A scroll bar keeps its position within 0 .. max - page + 1.
    const bool h = bar == GRID_BAR_HORZ;
    const int max = h ? m_nHScrollMax : m_nVScrollMax;
    const int page = h ? m_nHPage : m_nVPage;
    const int top = std::max(0, page > 0 ? max - page + 1 : max);
    pos = std::max(0, std::min(pos, top));
    (h ? m_nHScrollPos : m_nVScrollPos) = pos;
}

GridScrollBars CThemeGridView::ComputeScrollBars() const {
    GridScrollBars b;
    const SIZE client = GetClientSize();
    const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
    // The vertical page reaches 16 pixels below the client, as the
    // horizontal bar's height.
    const int visW = client.cx - fixedW;
    const int visH = client.cy + 16 - fixedH;
    if (visW <= 0) return b;
    b.valid = true;
    if (!GetUnobstructedNonFixedCellRange().IsValid(m_nRows, m_nCols)) return b;
    const long virtW = GetTotalWidth() - fixedW, virtH = GetTotalHeight() - fixedH;
    b.hPage = visW;
    b.vPage = std::max(0, visH);
    b.hMax = visW < virtW ? static_cast<int>(virtW - 1) : 0;
    b.vMax = visH < virtH ? static_cast<int>(virtH - 1) : 0;
    return b;
}

void CThemeGridView::UpdateScrollBars() {
    if (!m_bAllowDraw || !HasWindow()) return;
    const GridScrollBars b = ComputeScrollBars();
    if (!b.valid) return;
    m_nHScrollMax = b.hMax;
    m_nVScrollMax = b.vMax;
    m_nHPage = b.hPage;
    m_nVPage = b.vPage;
    ApplyScrollBars(b);
    SetScrollPosition(GRID_BAR_HORZ, GetScrollPosition(GRID_BAR_HORZ));
    SetScrollPosition(GRID_BAR_VERT, GetScrollPosition(GRID_BAR_VERT));
}

GridScrollEffect CThemeGridView::Scroll(int bar, int code) {
    const bool h = bar == GRID_BAR_HORZ;
    const SIZE client = GetClientSize();
    const int pos = GetScrollPosition(bar);
    const int max = GetScrollMax(bar);
    const CThemeGridCellId topLeft = GetTopLeftNonFixedCell();
    const int line = h ? topLeft.col : topLeft.row;
    const int fixedCount = h ? m_nFixedCols : m_nFixedRows;
    const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
    const int extent = h ? client.cx - fixedW : client.cy - fixedH;
    auto size = [&](int i) { return h ? GetColumnWidth(i) : GetRowHeight(i); };
    const RECT nonFixed = {fixedW, fixedH, client.cx, client.cy};

    GridScrollEffect e;
    e.pos = pos;
    switch (code) {
        case GRID_SCROLL_LINEUP:
            if (pos > 0 && line > fixedCount) {
                const int step = size(line - 1);
                SetScrollPosition(bar, std::max(0, pos - step));
                e.shift = step;
                if (h) {
                    e.repaint = GridScrollEffect::ALL;
                } else {
                    e.repaint = GridScrollEffect::STRIP;
                    e.rect = RECT{0, fixedH, client.cx, fixedH + step};
                }
            }
            break;
        case GRID_SCROLL_LINEDOWN:
            if (pos < max) {
                const int step = size(line);
                SetScrollPosition(bar, pos + step);
                if (GetScrollPosition(bar) != pos) {
                    e.shift = -step;
                    e.repaint = GridScrollEffect::STRIP;
                    e.rect = h ? RECT{client.cx - step, 0, client.cx, client.cy}
                               : RECT{0, client.cy - step, client.cx, client.cy};
                }
            }
            break;
        case GRID_SCROLL_PAGEUP:
            if (pos > 0) {
                SetScrollPosition(bar, std::max(0, pos - extent));
                e.repaint = GridScrollEffect::NON_FIXED;
            }
            break;
        case GRID_SCROLL_PAGEDOWN:
            if (pos < max) {
                SetScrollPosition(bar, std::min(max, pos + extent));
                e.repaint = GridScrollEffect::NON_FIXED;
            }
            break;
        case GRID_SCROLL_THUMBPOSITION:
        case GRID_SCROLL_THUMBTRACK:
            SetScrollPosition(bar, GetScrollPosition(bar, true));
            if (GetTopLeftNonFixedCell() != topLeft) e.repaint = GridScrollEffect::NON_FIXED;
            break;
        case GRID_SCROLL_TOP:
            if (pos > 0) {
                SetScrollPosition(bar, 0);
                e.repaint = GridScrollEffect::ALL;
            }
            break;
        case GRID_SCROLL_BOTTOM:
            if (pos < max) {
                SetScrollPosition(bar, max);
                e.repaint = GridScrollEffect::ALL;
            }
            break;
        default: break;
    }
    if (e.repaint == GridScrollEffect::NON_FIXED) e.rect = nonFixed;
    e.pos = GetScrollPosition(bar);
    e.changed = e.pos != pos;
    OnScrolled(bar, e);
    return e;
}

GridScrollEffect CThemeGridView::OnHScroll(int code) { return Scroll(GRID_BAR_HORZ, code); }

GridScrollEffect CThemeGridView::OnVScroll(int code) { return Scroll(GRID_BAR_VERT, code); }

GridWheelSteps CThemeGridView::OnMouseWheel(int delta) {
    const GridWheelSteps s = GridWheelToScroll(delta, m_nRowsPerWheelNotch);
    for (int i = 0; i < s.count; ++i) Scroll(GRID_BAR_VERT, s.code);
    return s;
}

// ---- geometry

CThemeGridCellId CThemeGridView::GetTopLeftNonFixedCell() const {
    const int hpos = GetScrollPosition(GRID_BAR_HORZ), vpos = GetScrollPosition(GRID_BAR_VERT);
    int col = m_nFixedCols, right = 0;
    while (right < hpos && col < m_nCols - 1) right += GetColumnWidth(col++);
    int row = m_nFixedRows, bottom = 0;
    while (bottom < vpos && row < m_nRows - 1) bottom += GetRowHeight(row++);
    return CThemeGridCellId(row, col);
}

CThemeGridCellRange CThemeGridView::GetVisibleNonFixedCellRange(RECT* rect) const {
    const SIZE client = GetClientSize();
    const CThemeGridCellId tl = GetTopLeftNonFixedCell();
    int bottom = GetFixedRowHeight(), i;
    for (i = tl.row; i < m_nRows; ++i) {
        bottom += GetRowHeight(i);
        if (bottom >= client.cy) break;
    }
    const int maxRow = std::min(i, m_nRows - 1);
    int right = GetFixedColumnWidth(), j;
    for (j = tl.col; j < m_nCols; ++j) {
        right += GetColumnWidth(j);
        if (right >= client.cx) break;
    }
    const int maxCol = std::min(j, m_nCols - 1);
    if (rect)
        *rect = RECT{0, 0, std::min<LONG>(right, client.cx), std::min<LONG>(bottom, client.cy)};
    return CThemeGridCellRange(tl.row, tl.col, maxRow, maxCol);
}

CThemeGridCellRange CThemeGridView::GetUnobstructedNonFixedCellRange() const {
    const SIZE client = GetClientSize();
    const CThemeGridCellId tl = GetTopLeftNonFixedCell();
    int bottom = GetFixedRowHeight(), maxRow = m_nRows - 1;
    for (int i = tl.row; i < m_nRows; ++i) {
        bottom += GetRowHeight(i);
        if (bottom >= client.cy) {
            maxRow = bottom > client.cy && i > tl.row ? i - 1 : i;
            break;
        }
    }
    int right = GetFixedColumnWidth(), maxCol = m_nCols - 1;
    for (int j = tl.col; j < m_nCols; ++j) {
        right += GetColumnWidth(j);
        if (right >= client.cx) {
            maxCol = right > client.cx && j > tl.col ? j - 1 : j;
            break;
        }
    }
    return CThemeGridCellRange(tl.row, tl.col, maxRow, maxCol);
}

CThemeGridCellId CThemeGridView::GetCellFromPt(POINT pt, BOOL allowFixed) const {
    const CThemeGridCellId tl = GetTopLeftNonFixedCell();
    const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
    // One axis: the line whose accumulated far edge passes the coordinate.
    auto find = [&](int v, int fixedExtent, int fixedCount, int first, int count, bool cols) {
        auto size = [&](int i) { return cols ? GetColumnWidth(i) : GetRowHeight(i); };
        if (v < 0 || (!allowFixed && v < fixedExtent)) return -1;
        int edge = 0;
        if (v < fixedExtent) {
            for (int i = 0; i < fixedCount; ++i) {
                edge += size(i);
                if (edge > v) return i;
            }
            return -1;
        }
        edge = fixedExtent;
        for (int i = first; i < count; ++i) {
            edge += size(i);
            if (edge > v) return i;
        }
        return -1;
    };
    const int col = find(pt.x, fixedW, m_nFixedCols, tl.col, m_nCols, true);
    const int row = find(pt.y, fixedH, m_nFixedRows, tl.row, m_nRows, false);
    return CThemeGridCellId(row, col);
}

BOOL CThemeGridView::GetCellOrigin(int row, int col, POINT* pt) const {
    if (!IsValid(row, col)) return FALSE;
    const CThemeGridCellId tl = GetTopLeftNonFixedCell();
    if ((col >= m_nFixedCols && col < tl.col) || (row >= m_nFixedRows && row < tl.row))
        return FALSE;
    long x = 0, y = 0;
    for (int i = 0; i < std::min(col, m_nFixedCols); ++i) x += GetColumnWidth(i);
    if (col >= m_nFixedCols)
        for (int i = tl.col; i < col; ++i) x += GetColumnWidth(i);
    for (int i = 0; i < std::min(row, m_nFixedRows); ++i) y += GetRowHeight(i);
    if (row >= m_nFixedRows)
        for (int i = tl.row; i < row; ++i) y += GetRowHeight(i);
    if (pt) *pt = POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
    return TRUE;
}

BOOL CThemeGridView::GetCellRect(int row, int col, RECT* rect) const {
    POINT o;
    if (!GetCellOrigin(row, col, &o)) return FALSE;
    if (rect) *rect = RECT{o.x, o.y, o.x + GetColumnWidth(col) - 1, o.y + GetRowHeight(row) - 1};
    return TRUE;
}

BOOL CThemeGridView::GetTextRect(int row, int col, RECT* rect) const {
    RECT r;
    if (!GetCellRect(row, col, &r)) return FALSE;
    const int imageWidth = GetImageWidth();
    if (imageWidth >= 0) {
        if (GetItemImage(row, col) >= 0) r.left += imageWidth + m_nMargin;
    } else if (GetItemImage(row, col) >= 0) {
        r.left += 11 + m_nMargin;  // the drawn check box
    }
    if (rect) *rect = r;
    return TRUE;
}

BOOL CThemeGridView::GetCellRangeRect(const CThemeGridCellRange& range, RECT* rect) const {
    POINT a, b;
    if (!GetCellOrigin(range.GetMinRow(), range.GetMinCol(), &a)) return FALSE;
    if (!GetCellOrigin(range.GetMaxRow(), range.GetMaxCol(), &b)) return FALSE;
    if (rect)
        *rect = RECT{a.x, a.y, b.x + GetColumnWidth(range.GetMaxCol()) - 1,
                     b.y + GetRowHeight(range.GetMaxRow()) - 1};
    return TRUE;
}

BOOL CThemeGridView::IsCellVisible(int row, int col) const {
    if (!HasWindow()) return FALSE;
    POINT o;
    if (!GetCellOrigin(row, col, &o)) return FALSE;
    const SIZE client = GetClientSize();
    return o.x < client.cx && o.y < client.cy;
}

int CThemeGridView::ColumnToSize(POINT pt) const {
    const CThemeGridCellId cell = GetCellFromPt(pt, TRUE);
    POINT o;
    if (!IsValid(cell) || !GetCellOrigin(cell.row, cell.col, &o)) return -1;
    if (pt.x - o.x > m_nResizeCaptureRange) return cell.col;
    // The neighbour on screen: past a scrolled-out stretch it is the last
    // fixed column.
    const CThemeGridCellId tl = GetTopLeftNonFixedCell();
    if (cell.col == tl.col && cell.col > m_nFixedCols) return m_nFixedCols - 1;
    return cell.col - 1;
}

int CThemeGridView::RowToSize(POINT pt) const {
    const CThemeGridCellId cell = GetCellFromPt(pt, TRUE);
    POINT o;
    if (!IsValid(cell) || !GetCellOrigin(cell.row, cell.col, &o)) return -1;
    if (pt.y - o.y > m_nResizeCaptureRange) return cell.row;
    const CThemeGridCellId tl = GetTopLeftNonFixedCell();
    if (cell.row == tl.row && cell.row > m_nFixedRows) return m_nFixedRows - 1;
    return cell.row - 1;
}

BOOL CThemeGridView::IsOnColumnDivider(POINT pt) const {
    if (pt.y < 0 || pt.y >= GetFixedRowHeight()) return FALSE;
    const CThemeGridCellId cell = GetCellFromPt(pt, TRUE);
    POINT o;
    if (!IsValid(cell) || !GetCellOrigin(cell.row, cell.col, &o)) return FALSE;
    // The left edge of the first column on screen divides nothing.
    if (pt.x - o.x <= m_nResizeCaptureRange) return ColumnToSize(pt) >= 0;
    return o.x + GetColumnWidth(cell.col) - pt.x <= m_nResizeCaptureRange;
}

BOOL CThemeGridView::IsOnRowDivider(POINT pt) const {
    if (pt.x < 0 || pt.x >= GetFixedColumnWidth()) return FALSE;
    const CThemeGridCellId cell = GetCellFromPt(pt, TRUE);
    POINT o;
    if (!IsValid(cell) || !GetCellOrigin(cell.row, cell.col, &o)) return FALSE;
    if (pt.y - o.y <= m_nResizeCaptureRange) return RowToSize(pt) >= 0;
    return o.y + GetRowHeight(cell.row) - pt.y <= m_nResizeCaptureRange;
}

// ---- focus and selection

CThemeGridCellId CThemeGridView::SetFocusCell(int row, int col) {
    const CThemeGridCellId prev = m_idCurrentCell;
    CThemeGridCellId next(row, col);
    if (!IsValid(next)) next = CThemeGridCellId();
    if (next == prev) return prev;
    if (IsValid(prev)) {
        if (!m_bListViewNotify) NotifyParent(prev.row, prev.col, GRID_NOTIFY_FOCUS_LOST);
        SetItemState(prev.row, prev.col, GetItemState(prev.row, prev.col) & ~GRID_STATE_FOCUSED);
        RedrawCell(prev.row, prev.col);
        if (prev.col != next.col)
            for (int r = 0; r < m_nFixedRows; ++r) RedrawCell(r, prev.col);
        if (prev.row != next.row)
            for (int c = 0; c < m_nFixedCols; ++c) RedrawCell(prev.row, c);
    }
    m_idCurrentCell = next;
    if (IsValid(next)) {
        SetItemState(next.row, next.col, GetItemState(next.row, next.col) | GRID_STATE_FOCUSED);
        RedrawCell(next.row, next.col);
        if (prev.col != next.col)
            for (int r = 0; r < m_nFixedRows; ++r) RedrawCell(r, next.col);
        if (prev.row != next.row)
            for (int c = 0; c < m_nFixedCols; ++c) RedrawCell(next.row, c);
        if (!m_bListViewNotify) NotifyParent(next.row, next.col, GRID_NOTIFY_FOCUS_GAINED);
    }
    return prev;
}

void CThemeGridView::SelectRange(int minRow, int minCol, int maxRow, int maxCol, BOOL) {
    if (!m_bEnableSelection) return;
    const CThemeGridCellRange range(minRow, minCol, maxRow, maxCol);
    // Copies: the setters below change the selected map.
    const std::map<uint64_t, CThemeGridCellId> selected = m_SelectedCellMap;
    for (const auto& e : selected) {
        const CThemeGridCellId c = e.second;
        SetItemState(c.row, c.col, GetItemState(c.row, c.col) & ~GRID_STATE_SELECTED);
        if (!range.InRange(c.row, c.col)) RedrawCell(c.row, c.col);
    }
    if (!m_bSingleRowSelection) {
        const std::map<uint64_t, CThemeGridCellId> kept = m_PrevSelectedCellMap;
        for (const auto& e : kept) {
            const CThemeGridCellId c = e.second;
            if (!IsValid(c)) continue;
            SetItemState(c.row, c.col, GetItemState(c.row, c.col) | GRID_STATE_SELECTED);
            RedrawCell(c.row, c.col);
        }
    }
    if (range.IsValid(m_nRows, m_nCols))
        for (int r = minRow; r <= maxRow; ++r)
            for (int c = minCol; c <= maxCol; ++c) {
                const UINT s = GetItemState(r, c);
                if (s & GRID_STATE_SELECTED) continue;
                SetItemState(r, c, s | GRID_STATE_SELECTED);
                RedrawCell(r, c);
            }
}

void CThemeGridView::ClearSelectionRange() {
    // The cells kept for Ctrl go too, or clearing would select them again.
    m_PrevSelectedCellMap.clear();
    SelectRange(-1, -1, -1, -1, FALSE);
    SetFocusCell(-1, -1);
}

CThemeGridCellRange CThemeGridView::GetSelectionRange() const {
    CThemeGridCellRange r(m_nRows, m_nCols, -1, -1);
    for (const auto& e : m_SelectedCellMap) {
        const CThemeGridCellId c = e.second;
        r.SetMinRow(std::min(r.GetMinRow(), c.row));
        r.SetMinCol(std::min(r.GetMinCol(), c.col));
        r.SetMaxRow(std::max(r.GetMaxRow(), c.row));
        r.SetMaxCol(std::max(r.GetMaxCol(), c.col));
    }
    return r;
}

void CThemeGridView::SelectAllCells() {
    if (!m_bEnableSelection) return;
    SelectRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1);
}

// The anchor of a range selection: the selection start cell, or the cell
// itself when there is none, kept out of the fixed area.
static CThemeGridCellId Anchor(const CThemeGridCellId& start, const CThemeGridCellId& cell,
                               bool valid, int fixedRows, int fixedCols) {
    CThemeGridCellId a = valid ? start : cell;
    a.row = std::max(a.row, fixedRows);
    a.col = std::max(a.col, fixedCols);
    return a;
}

void CThemeGridView::SelectColumns(const CThemeGridCellId& cell) {
    if (!m_bEnableSelection || !IsValid(cell) || cell.col < m_nFixedCols) return;
    const CThemeGridCellId a = Anchor(m_SelectionStartCell, cell, IsValid(m_SelectionStartCell),
                                      m_nFixedRows, m_nFixedCols);
    SelectRange(m_nFixedRows, std::min(a.col, cell.col), m_nRows - 1, std::max(a.col, cell.col));
}

void CThemeGridView::SelectRows(const CThemeGridCellId& cell) {
    if (!m_bEnableSelection || !IsValid(cell) || cell.row < m_nFixedRows) return;
    if (m_bListMode && m_bSingleRowSelection) {
        SelectRange(cell.row, m_nFixedCols, cell.row, m_nCols - 1);
        return;
    }
    const CThemeGridCellId a = Anchor(m_SelectionStartCell, cell, IsValid(m_SelectionStartCell),
                                      m_nFixedRows, m_nFixedCols);
    SelectRange(std::min(a.row, cell.row), m_nFixedCols, std::max(a.row, cell.row), m_nCols - 1);
}

void CThemeGridView::SelectCells(const CThemeGridCellId& cell) {
    if (!m_bEnableSelection || !IsValid(cell) || IsCellFixed(cell.row, cell.col)) return;
    const CThemeGridCellId a = Anchor(m_SelectionStartCell, cell, IsValid(m_SelectionStartCell),
                                      m_nFixedRows, m_nFixedCols);
    SelectRange(std::min(a.row, cell.row), std::min(a.col, cell.col), std::max(a.row, cell.row),
                std::max(a.col, cell.col), FALSE);
}

void CThemeGridView::OnDragSelect(const CThemeGridCellId& cell) {
    switch (m_MouseMode) {
        case GRID_MOUSE_SELECT_ALL: SelectAllCells(); break;
        case GRID_MOUSE_SELECT_COL: SelectColumns(cell); break;
        case GRID_MOUSE_SELECT_ROW: SelectRows(cell); break;
        case GRID_MOUSE_SELECT_CELLS: SelectCells(cell); break;
        default: break;
    }
}

void CThemeGridView::ScrollIntoView(int row, int col) {
    const CThemeGridCellRange vis = GetVisibleNonFixedCellRange();
    if (col >= m_nFixedCols && col < m_nCols) {
        for (int i = vis.GetMaxCol(); i < col; ++i) Scroll(GRID_BAR_HORZ, GRID_SCROLL_LINEDOWN);
        for (int i = col; i < vis.GetMinCol(); ++i) Scroll(GRID_BAR_HORZ, GRID_SCROLL_LINEUP);
    }
    if (row >= m_nFixedRows && row < m_nRows) {
        for (int i = vis.GetMaxRow(); i < row; ++i) Scroll(GRID_BAR_VERT, GRID_SCROLL_LINEDOWN);
        for (int i = row; i < vis.GetMinRow(); ++i) Scroll(GRID_BAR_VERT, GRID_SCROLL_LINEUP);
    }
    RECT r;
    if (!GetCellRect(row, col, &r)) return;
    const SIZE client = GetClientSize();
    if (r.right >= client.cx) Scroll(GRID_BAR_HORZ, GRID_SCROLL_LINEDOWN);
    if (r.bottom >= client.cy) Scroll(GRID_BAR_VERT, GRID_SCROLL_LINEDOWN);
}

// ---- mouse

int CThemeGridView::PressMode(POINT pt, UINT mods, bool hadFocus) const {
    const CThemeGridCellId cell = GetCellFromPt(pt, TRUE);
    if (!IsValid(cell)) return m_MouseMode;
    if (cell == m_idCurrentCell) return GRID_MOUSE_PREPARE_EDIT;
    int mode = m_MouseMode;
    if (m_bAllowDragAndDrop && hadFocus && IsCellSelected(cell.row, cell.col))
        return GRID_MOUSE_PREPARE_DRAG;
    if (mode == GRID_MOUSE_NOTHING) {
        if (m_bAllowColumnResize && IsOnColumnDivider(pt))
            mode = GRID_MOUSE_OVER_COL_DIVIDE;
        else if (m_bAllowRowResize && IsOnRowDivider(pt))
            mode = GRID_MOUSE_OVER_ROW_DIVIDE;
    }
    if (mode == GRID_MOUSE_OVER_COL_DIVIDE) return GRID_MOUSE_SIZING_COL;
    if (mode == GRID_MOUSE_OVER_ROW_DIVIDE) return GRID_MOUSE_SIZING_ROW;
    if (mode != GRID_MOUSE_NOTHING) return mode;
    (void)mods;
    if (cell.row < m_nFixedRows) {
        if (!m_bSortOnClick) return GRID_MOUSE_NOTHING;
        return cell.col < m_nFixedCols ? GRID_MOUSE_SELECT_ALL : GRID_MOUSE_SELECT_COL;
    }
    if (cell.col < m_nFixedCols) return GRID_MOUSE_SELECT_ROW;
    if (!m_bEditOnDblClick) return GRID_MOUSE_PREPARE_EDIT;
    return m_bListMode ? GRID_MOUSE_SELECT_ROW : GRID_MOUSE_SELECT_CELLS;
}

void CThemeGridView::OnLButtonDown(POINT pt, UINT mods, bool hadFocus) {
    m_LeftClickDownPoint = pt;
    m_LeftClickDownCell = GetCellFromPt(pt, TRUE);
    const CThemeGridCellId cell = m_LeftClickDownCell;
    m_LastMousePoint = pt;
    if (!IsValid(cell)) return;
    // Shift extends from the focus cell, when there is one.
    m_SelectionStartCell =
        (mods & GRID_MOD_SHIFT) && IsValid(m_idCurrentCell) ? m_idCurrentCell : cell;
    if (cell == m_idCurrentCell) {
        m_MouseMode = GRID_MOUSE_PREPARE_EDIT;
        return;
    }
    if (m_MouseMode != GRID_MOUSE_OVER_ROW_DIVIDE && m_MouseMode != GRID_MOUSE_OVER_COL_DIVIDE) {
        SetFocusCell(-1, -1);
        SetFocusCell(std::max(cell.row, m_nFixedRows), std::max(cell.col, m_nFixedCols));
    }
    if (m_bAllowDragAndDrop && hadFocus && IsCellSelected(cell.row, cell.col)) {
        m_MouseMode = GRID_MOUSE_PREPARE_DRAG;
        return;
    }
    if (m_MouseMode == GRID_MOUSE_NOTHING) {
        if (m_bAllowColumnResize && IsOnColumnDivider(pt))
            m_MouseMode = GRID_MOUSE_OVER_COL_DIVIDE;
        else if (m_bAllowRowResize && IsOnRowDivider(pt))
            m_MouseMode = GRID_MOUSE_OVER_ROW_DIVIDE;
    }
    if (m_MouseMode == GRID_MOUSE_OVER_COL_DIVIDE) {
        m_MouseMode = GRID_MOUSE_SIZING_COL;
        m_nSizingLine = ColumnToSize(pt);
    } else if (m_MouseMode == GRID_MOUSE_OVER_ROW_DIVIDE) {
        m_MouseMode = GRID_MOUSE_SIZING_ROW;
        m_nSizingLine = RowToSize(pt);
    } else if (m_MouseMode == GRID_MOUSE_NOTHING) {
        if (mods & GRID_MOD_CTRL)
            m_PrevSelectedCellMap = m_SelectedCellMap;
        else
            m_PrevSelectedCellMap.clear();
        if (cell.row < m_nFixedRows) {
            if (!m_bListViewNotify) NotifyParent(cell.row, cell.col, GRID_NOTIFY_HEADER_PRESSED);
            OnHeaderRowClick(cell);
        } else if (cell.col < m_nFixedCols) {
            OnHeaderColumnClick(cell);
        } else {
            m_MouseMode = m_bListMode ? GRID_MOUSE_SELECT_ROW : GRID_MOUSE_SELECT_CELLS;
            OnDragSelect(cell);
            // One click both focuses and, on release, edits.
            if (!m_bEditOnDblClick) OnLButtonDown(pt, mods, hadFocus);
        }
    }
    m_LastMousePoint = pt;
}

void CThemeGridView::OnHeaderRowClick(const CThemeGridCellId& cell) {
    if (!IsValid(cell) || !m_bSortOnClick) return;
    OnHeaderSort(cell.col);
    m_MouseMode = cell.col < m_nFixedCols ? GRID_MOUSE_SELECT_ALL : GRID_MOUSE_SELECT_COL;
    OnDragSelect(cell);
}

void CThemeGridView::OnHeaderColumnClick(const CThemeGridCellId& cell) {
    if (!IsValid(cell)) return;
    m_MouseMode = cell.row < m_nFixedRows ? GRID_MOUSE_SELECT_ALL : GRID_MOUSE_SELECT_ROW;
    OnDragSelect(cell);
}

void CThemeGridView::OnMouseMove(POINT pt, bool leftButton) {
    const SIZE client = GetClientSize();
    const bool inside = pt.x >= 0 && pt.y >= 0 && pt.x < client.cx && pt.y < client.cy;
    if (m_MouseMode != GRID_MOUSE_DRAGGING && !inside) return;
    if (!leftButton || m_MouseMode == GRID_MOUSE_NOTHING) {
        if (m_bAllowColumnResize && IsOnColumnDivider(pt))
            m_MouseMode = GRID_MOUSE_OVER_COL_DIVIDE;
        else if (m_bAllowRowResize && IsOnRowDivider(pt))
            m_MouseMode = GRID_MOUSE_OVER_ROW_DIVIDE;
        else
            m_MouseMode = GRID_MOUSE_NOTHING;
        m_LastMousePoint = pt;
        return;
    }
    if (!IsValid(m_LeftClickDownCell)) {
        m_LastMousePoint = pt;
        return;
    }
    switch (m_MouseMode) {
        case GRID_MOUSE_SELECT_COL:
        case GRID_MOUSE_SELECT_ROW:
        case GRID_MOUSE_SELECT_CELLS: {
            const CThemeGridCellId cell = GetCellFromPt(pt, TRUE);
            if (IsValid(cell) && cell != m_idCurrentCell) {
                OnDragSelect(cell);
                if (!IsCellFixed(cell.row, cell.col)) SetFocusCell(cell);
            }
            break;
        }
        case GRID_MOUSE_PREPARE_DRAG: OnBeginDrag(); break;
        default: break;
    }
    m_LastMousePoint = pt;
}

void CThemeGridView::OnLButtonUp(POINT pt) {
    switch (m_MouseMode) {
        case GRID_MOUSE_PREPARE_EDIT:
            StartCellEdit(m_idCurrentCell.row, m_idCurrentCell.col, GRID_EDIT_MOUSE_KEY);
            break;
        case GRID_MOUSE_PREPARE_DRAG: ClearSelectionRange(); break;
        case GRID_MOUSE_SIZING_COL: {
            POINT o;
            if ((pt.x != m_LeftClickDownPoint.x || pt.y != m_LeftClickDownPoint.y) &&
                GetCellOrigin(std::max(m_nFixedRows - 1, 0), m_nSizingLine, &o)) {
                SetColumnWidth(m_nSizingLine, std::max<int>(0, pt.x - o.x));
                UpdateScrollBars();
                InvalidateAll();
            }
            break;
        }
        case GRID_MOUSE_SIZING_ROW: {
            POINT o;
            if ((pt.x != m_LeftClickDownPoint.x || pt.y != m_LeftClickDownPoint.y) &&
                GetCellOrigin(m_nSizingLine, std::max(m_nFixedCols - 1, 0), &o)) {
                SetRowHeight(m_nSizingLine, std::max<int>(0, pt.y - o.y));
                UpdateScrollBars();
                InvalidateAll();
            }
            break;
        }
        default: break;
    }
    m_MouseMode = GRID_MOUSE_NOTHING;
    m_nSizingLine = -1;
    if (IsValid(m_idCurrentCell))
        NotifyParent(m_idCurrentCell.row, m_idCurrentCell.col,
                     m_bListViewNotify ? GRID_NOTIFY_LV_LBUTTON_UP : GRID_NOTIFY_LBUTTON_UP);
}

// ---- keyboard and editing

BOOL CThemeGridView::OnKeyDown(UINT key, UINT mods) {
    if (!IsValid(m_idCurrentCell)) return FALSE;
    const bool shift = (mods & GRID_MOD_SHIFT) != 0;
    if (mods & GRID_MOD_CTRL) {
        if (key == 'A') SelectAllCells();
        if (key == 'C' || key == 'V' || key == 'X') OnEditKey(key);
    }
    const CThemeGridCellId focus = m_idCurrentCell;
    CThemeGridCellId next = focus;
    int stepBar = -1, stepCode = 0, setH = -2;  // the extra step once scrolled in view
    switch (key) {
        case GRID_KEY_TAB:
            if (!shift) {
                if (next.col < m_nCols - 1) {
                    next.col++;
                    stepBar = GRID_BAR_HORZ, stepCode = GRID_SCROLL_LINEDOWN;
                } else if (next.row < m_nRows - 1) {
                    next.row++;
                    next.col = m_nFixedCols;
                    stepBar = GRID_BAR_VERT, stepCode = GRID_SCROLL_LINEDOWN, setH = 0;
                } else {
                    return FALSE;
                }
            } else {
                if (next.col > m_nFixedCols) {
                    next.col--;
                    stepBar = GRID_BAR_HORZ, stepCode = GRID_SCROLL_LINEUP;
                } else if (next.row > m_nFixedRows) {
                    next.row--;
                    next.col = m_nCols - 1;
                    stepBar = GRID_BAR_VERT, stepCode = GRID_SCROLL_LINEUP, setH = -1;
                } else {
                    return FALSE;
                }
            }
            break;
        case GRID_KEY_LEFT:
            if (next.col > m_nFixedCols) next.col--;
            stepBar = GRID_BAR_HORZ, stepCode = GRID_SCROLL_LINEUP;
            break;
        case GRID_KEY_RIGHT:
            if (next.col < m_nCols - 1) next.col++;
            stepBar = GRID_BAR_HORZ, stepCode = GRID_SCROLL_LINEDOWN;
            break;
        case GRID_KEY_UP:
            if (next.row > m_nFixedRows) next.row--;
            stepBar = GRID_BAR_VERT, stepCode = GRID_SCROLL_LINEUP;
            break;
        case GRID_KEY_DOWN:
            if (next.row < m_nRows - 1) next.row++;
            stepBar = GRID_BAR_VERT, stepCode = GRID_SCROLL_LINEDOWN;
            break;
        case GRID_KEY_PRIOR: {
            const int before = GetTopLeftNonFixedCell().row;
            Scroll(GRID_BAR_VERT, GRID_SCROLL_PAGEUP);
            const int moved = before - GetTopLeftNonFixedCell().row;
            next.row = moved > 0 ? std::max(m_nFixedRows, next.row - moved) : m_nFixedRows;
            break;
        }
        case GRID_KEY_NEXT: {
            const int before = GetTopLeftNonFixedCell().row;
            Scroll(GRID_BAR_VERT, GRID_SCROLL_PAGEDOWN);
            const int moved = GetTopLeftNonFixedCell().row - before;
            next.row = moved > 0 ? std::min(m_nRows - 1, next.row + moved) : m_nRows - 1;
            break;
        }
        case GRID_KEY_HOME:
            Scroll(GRID_BAR_VERT, GRID_SCROLL_TOP);
            next.row = m_nFixedRows;
            break;
        case GRID_KEY_END:
            Scroll(GRID_BAR_VERT, GRID_SCROLL_BOTTOM);
            next.row = m_nRows - 1;
            break;
        case GRID_KEY_DELETE:
            if (IsCellEditable(focus.row, focus.col)) {
                NotifyParent(focus.row, focus.col, GRID_NOTIFY_TEXT_CHANGING);
                SetItemText(focus.row, focus.col, "");
                SetModified(TRUE, focus.row, focus.col);
                NotifyParent(focus.row, focus.col, GRID_NOTIFY_TEXT_CHANGED);
                RedrawCell(focus.row, focus.col);
            }
            return TRUE;
        default: return FALSE;
    }
    if (next != focus) {
        if (m_MouseMode == GRID_MOUSE_NOTHING) {
            m_PrevSelectedCellMap.clear();
            m_MouseMode = m_bListMode ? GRID_MOUSE_SELECT_ROW : GRID_MOUSE_SELECT_CELLS;
            if (!shift || key == GRID_KEY_TAB) m_SelectionStartCell = next;
            OnDragSelect(next);
            m_MouseMode = GRID_MOUSE_NOTHING;
        }
        SetFocusCell(next);
        if (!IsCellVisible(next.row, next.col)) {
            ScrollIntoView(next.row, next.col);
            if (setH == 0) SetScrollPosition(GRID_BAR_HORZ, 0);
            if (setH == -1) SetScrollPosition(GRID_BAR_HORZ, GetScrollMax(GRID_BAR_HORZ));
            if (stepBar >= 0) Scroll(stepBar, stepCode);
            InvalidateAll();
        }
    }
    return TRUE;
}

void CThemeGridView::OnChar(UINT ch, UINT mods) {
    if ((mods & GRID_MOD_CTRL) || m_MouseMode != GRID_MOUSE_NOTHING) return;
    if (ch == '\t' && m_bHandleTabKey) return;
    StartCellEdit(m_idCurrentCell.row, m_idCurrentCell.col, ch);
}

void CThemeGridView::StartCellEdit(int row, int col, UINT key) {
    // Nothing to edit leaves the view where it is.
    if (!IsValid(row, col) || !IsCellEditable(row, col)) return;
    ScrollIntoView(row, col);
    RECT r;
    if (!IsCellVisible(row, col) || !GetCellRect(row, col, &r)) return;
    NotifyParent(row, col, GRID_NOTIFY_TEXT_CHANGING);
    if (IsCheckBoxColumn(col)) {
        SetItemImage(row, col, GetItemImage(row, col) == 0 ? 1 : 0);
        RedrawCell(row, col);
        return;
    }
    OpenCellEditor(row, col, key);
}

void CThemeGridView::OnLButtonDblClk(POINT pt) {
    if (m_MouseMode == GRID_MOUSE_OVER_COL_DIVIDE) {
        if (FitColumnToText(ColumnToSize(pt))) InvalidateAll();
    } else if (m_MouseMode == GRID_MOUSE_OVER_ROW_DIVIDE) {
        if (FitRowToText(RowToSize(pt))) InvalidateAll();
    } else if (m_MouseMode == GRID_MOUSE_NOTHING) {
        const CThemeGridCellId down = m_LeftClickDownCell;
        if (IsValid(down) && !IsCellFixed(down.row, down.col)) {
            if (IsValid(m_idCurrentCell)) {
                NotifyParent(
                    m_idCurrentCell.row, m_idCurrentCell.col,
                    m_bListViewNotify ? GRID_NOTIFY_LV_LBUTTON_DBLCLK : GRID_NOTIFY_LBUTTON_DBLCLK);
                StartCellEdit(m_idCurrentCell.row, m_idCurrentCell.col, GRID_EDIT_MOUSE_KEY);
            }
        } else if (m_bListMode) {
            const CThemeGridCellId cell = GetCellFromPt(pt, TRUE);
            if (IsValid(cell) && cell.row >= m_nFixedRows && cell.col < m_nFixedCols)
                StartCellEdit(cell.row, cell.col, GRID_EDIT_MOUSE_KEY);
        }
    }
}

void CThemeGridView::OnRButtonDown(POINT pt) {
    const CThemeGridCellId cell = GetCellFromPt(pt, TRUE);
    if (!IsValid(cell)) return;
    ClearSelectionRange();
    SetFocusCell(cell);
    if (!m_bListViewNotify) NotifyParent(cell.row, cell.col, GRID_NOTIFY_RBUTTON_DOWN);
}

void CThemeGridView::OnRButtonUp(POINT pt) {
    const CThemeGridCellId cell = GetCellFromPt(pt, TRUE);
    if (!IsValid(cell)) return;
    ClearSelectionRange();
    if (m_bListViewNotify) NotifyParent(cell.row, cell.col, GRID_NOTIFY_LV_RBUTTON_UP);
}

void CThemeGridView::OnRButtonDblClk(POINT pt) {
    const CThemeGridCellId cell = GetCellFromPt(pt, TRUE);
    if (!IsValid(cell)) return;
    ClearSelectionRange();
    if (m_bListViewNotify) NotifyParent(cell.row, cell.col, GRID_NOTIFY_LV_RBUTTON_DBLCLK);
}

void CThemeGridView::OnAutoScrollTimer(POINT cursor) {
    const SIZE client = GetClientSize();
    if (cursor.x < 0 || cursor.y < 0 || cursor.x >= client.cx || cursor.y >= client.cy) return;
    const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
    if (cursor.y < fixedH) {
        OnKeyDown(GRID_KEY_UP, 0);
        const POINT pt = {std::max<LONG>(0, std::min<LONG>(cursor.x, client.cx - 1)), fixedH + 1};
        OnDragSelect(GetCellFromPt(pt, TRUE));
    } else if (cursor.x < fixedW) {
        OnKeyDown(GRID_KEY_LEFT, 0);
        const POINT pt = {fixedW + 1, std::max<LONG>(0, std::min<LONG>(cursor.y, client.cy - 1))};
        OnDragSelect(GetCellFromPt(pt, TRUE));
    }
}

CThemeGridCellId CThemeGridView::FindNextCell(const CThemeGridCellId& start, UINT flags) const {
    const UINT bits = flags & (GRID_STATE_DROPHILITED | GRID_STATE_FOCUSED | GRID_STATE_SELECTED |
                               GRID_STATE_READONLY | GRID_STATE_MODIFIED);
    auto match = [&](int r, int c) { return (GetItemState(r, c) & bits) != 0; };
    const UINT dir = flags & GRID_FIND_ALL;
    if (dir == GRID_FIND_ALL || dir == GRID_FIND_AREA) {
        const int row0 = start.row < 1 ? m_nFixedRows : start.row;
        const int col0 = start.col < 1 ? m_nFixedCols : start.col + 1;
        for (int r = row0; r < m_nRows; ++r)
            for (int c = r == row0 || dir == GRID_FIND_AREA ? col0 : m_nFixedCols; c < m_nCols; ++c)
                if (match(r, c)) return CThemeGridCellId(r, c);
        return CThemeGridCellId();
    }
    if (!IsValid(start)) return CThemeGridCellId();
    if (flags & GRID_FIND_ABOVE) {
        for (int r = start.row - 1; r >= m_nFixedRows; --r)
            if (match(r, start.col)) return CThemeGridCellId(r, start.col);
    } else if (flags & GRID_FIND_BELOW) {
        for (int r = std::max(start.row + 1, m_nFixedRows); r < m_nRows; ++r)
            if (match(r, start.col)) return CThemeGridCellId(r, start.col);
    } else if (flags & GRID_FIND_LEFT) {
        for (int c = start.col - 1; c >= m_nFixedCols; --c)
            if (match(start.row, c)) return CThemeGridCellId(start.row, c);
    } else if (flags & GRID_FIND_RIGHT) {
        for (int c = std::max(start.col + 1, m_nFixedCols); c < m_nCols; ++c)
            if (match(start.row, c)) return CThemeGridCellId(start.row, c);
    }
    return CThemeGridCellId();
}
