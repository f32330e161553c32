#include "ThemeClass/ThemeGridModel.h"

#include <algorithm>
#include <cstring>

namespace {

// The classic scheme, for a build without system colours.
COLORREF ClassicColor(int index) {
    switch (index) {
        case GRID_SYSCOLOR_WINDOWTEXT: return RGB(0, 0, 0);
        case GRID_SYSCOLOR_BTNFACE: return RGB(192, 192, 192);
        case GRID_SYSCOLOR_BTNSHADOW: return RGB(128, 128, 128);
        case GRID_SYSCOLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
        case GRID_SYSCOLOR_3DDKSHADOW: return RGB(0, 0, 0);
        default: return RGB(255, 255, 255);
    }
}

}  // namespace

CThemeGridModel::CThemeGridModel() { SetDefaultSkin(); }

CThemeGridModel::~CThemeGridModel() {
    // The hooks of a derived window are gone by now: only the table goes.
    for (CThemeGridComboList* l : m_ComboLists) delete l;
    m_ComboLists.clear();
    for (CThemeGridHeaderGroup* g : m_HeaderGroups) delete g;
    m_HeaderGroups.clear();
    for (int r = 0; r < static_cast<int>(m_RowData.size()); ++r) {
        Row* row = m_RowData[r];
        if (!row) continue;
        for (CThemeGridCell* c : *row) delete c;
        delete row;
    }
    m_RowData.clear();
}

void CThemeGridModel::InitCounts(int rows, int cols, int fixedRows, int fixedCols) {
    SetRowCount(rows);
    SetColumnCount(cols);
    SetFixedRowCount(fixedRows);
    SetFixedColumnCount(fixedCols);
    m_PrevSelectedCellMap.clear();
    SetDefaultSkin();
}

void CThemeGridModel::SetDefaultSkin() {
    SetFontSize(12);
    m_crFixedTextColor = GetSystemColor(GRID_SYSCOLOR_WINDOWTEXT);
    m_crFixedBkColor = GetSystemColor(GRID_SYSCOLOR_BTNFACE);
    m_crFixedFrameLT = GetSystemColor(GRID_SYSCOLOR_BTNHIGHLIGHT);
    m_crFixedFrameRB = GetSystemColor(GRID_SYSCOLOR_3DDKSHADOW);
    m_crTextColor = GetSystemColor(GRID_SYSCOLOR_WINDOWTEXT);
    m_crTextBkColor = RGB(0xFF, 0xFF, 0xE0);
    m_crGridColor = RGB(0xC0, 0xC0, 0xC0);
    m_crBkColor = GetSystemColor(GRID_SYSCOLOR_BTNSHADOW);
}

// ---- hooks: plain answers without a window

SIZE CThemeGridModel::MeasureText(const CString&) const { return SIZE{0, 0}; }

SIZE CThemeGridModel::MeasureCell(int row, int col) const {
    return MeasureText(GetCellText(row, col));
}

SIZE CThemeGridModel::GetClientSize() const { return SIZE{0, 0}; }

COLORREF CThemeGridModel::GetSystemColor(int index) const { return ClassicColor(index); }

// ---- helpers

void CThemeGridModel::ResizeIntVector(std::vector<int>* v, int n, int value) {
    v->resize(static_cast<size_t>(n), value);
}

void CThemeGridModel::EmptyAndDelete(CThemeGridCell* cell, int row, int col) {
    if (!cell) return;
    ClearCell(cell, row, col);
    delete cell;
}

void CThemeGridModel::ClearFocusCell() {
    if (CThemeGridCell* c = GetCell(m_idCurrentCell.row, m_idCurrentCell.col))
        c->state &= ~GRID_STATE_FOCUSED;
    m_idCurrentCell = CThemeGridCellId();
}

void CThemeGridModel::SetFocusCellId(int row, int col) {
    ClearFocusCell();
    if (!IsValid(row, col)) return;
    m_idCurrentCell = CThemeGridCellId(row, col);
    if (CThemeGridCell* c = GetCell(row, col)) c->state |= GRID_STATE_FOCUSED;
}

BOOL CThemeGridModel::IsCellSelected(int row, int col) const {
    return m_SelectedCellMap.count(SelectionKey(row, col)) != 0;
}

void CThemeGridModel::ClearSelection() {
    for (const auto& e : m_SelectedCellMap)
        if (CThemeGridCell* c = GetCell(e.second.row, e.second.col))
            c->state &= ~GRID_STATE_SELECTED;
    m_SelectedCellMap.clear();
    m_PrevSelectedCellMap.clear();
}

// ---- counts

BOOL CThemeGridModel::SetRowCount(int n) {
    if (n < 0) return FALSE;
    if (n == m_nRows) return TRUE;
    if (m_nFixedRows > n) m_nFixedRows = n;
    if (m_idCurrentCell.row >= n) ClearFocusCell();
    const int old = m_nRows;
    for (int r = old - 1; r >= n; --r) {
        Row* row = m_RowData[r];
        if (row)
            for (int c = 0; c < static_cast<int>(row->size()); ++c) {
                EmptyAndDelete((*row)[c], r, c);
                (*row)[c] = nullptr;
            }
        delete row;
        m_RowData[r] = nullptr;
    }
    m_RowData.resize(static_cast<size_t>(n), nullptr);
    ResizeIntVector(&m_arRowHeights, n, m_nDefRowHeight);
    m_nRows = n;
    for (int r = old; r < n; ++r) {
        Row* row = new Row(static_cast<size_t>(m_nCols), nullptr);
        m_RowData[r] = row;
        for (int c = 0; c < m_nCols; ++c) (*row)[c] = CreateCell(r, c);
    }
    for (int col : m_arCheckBoxColumns)
        for (int r = std::max(old, m_nFixedRows); r < n; ++r)
            if (CThemeGridCell* c = GetCell(r, col)) c->image = 0;
    OnTableChanged();
    return TRUE;
}

BOOL CThemeGridModel::SetColumnCount(int n) {
    if (n < 0) return FALSE;
    if (n == m_nCols) return TRUE;
    for (CThemeGridComboList* l : m_ComboLists) delete l;
    m_ComboLists.assign(static_cast<size_t>(n), nullptr);
    for (auto& l : m_ComboLists) l = new CThemeGridComboList;
    if (m_nFixedCols > n) m_nFixedCols = n;
    if (m_idCurrentCell.col >= n) ClearFocusCell();
    const int old = m_nCols;
    for (int r = 0; r < m_nRows; ++r) {
        Row* row = m_RowData[r];
        if (!row) continue;
        for (int c = old - 1; c >= n; --c) {
            if (c < static_cast<int>(row->size())) {
                EmptyAndDelete((*row)[c], r, c);
                (*row)[c] = nullptr;
            }
        }
    }
    // Columns that no longer exist are no check-box columns either.
    m_arCheckBoxColumns.erase(std::remove_if(m_arCheckBoxColumns.begin(), m_arCheckBoxColumns.end(),
                                             [n](int c) { return c >= n; }),
                              m_arCheckBoxColumns.end());
    ResizeIntVector(&m_arColWidths, n, m_nDefColWidth);
    m_nCols = n;
    for (int r = 0; r < m_nRows; ++r) {
        Row* row = m_RowData[r];
        if (!row) continue;
        row->resize(static_cast<size_t>(n), nullptr);
        for (int c = old; c < n; ++c) (*row)[c] = CreateCell(r, c);
    }
    OnTableChanged();
    return TRUE;
}

BOOL CThemeGridModel::SetFixedRowCount(int n) {
    if (n < 0) return FALSE;
    if (n > m_nRows && !SetRowCount(n)) return FALSE;
    if (m_idCurrentCell.row >= 0 && m_idCurrentCell.row < n) ClearFocusCell();
    m_nFixedRows = n;
    return TRUE;
}

BOOL CThemeGridModel::SetFixedColumnCount(int n) {
    if (n < 0) return FALSE;
    if (n > m_nCols && !SetColumnCount(n)) return FALSE;
    if (m_idCurrentCell.col >= 0 && m_idCurrentCell.col < n) ClearFocusCell();
    m_nFixedCols = n;
    return TRUE;
}

// ---- cells

CThemeGridCell* CThemeGridModel::GetCell(int row, int col) const {
    if (!IsValid(row, col)) return nullptr;
    const Row* r = m_RowData[row];
    if (!r || col >= static_cast<int>(r->size())) return nullptr;
    return (*r)[col];
}

BOOL CThemeGridModel::SetCell(int row, int col, CThemeGridCell* cell) {
    if (!IsValid(row, col) || !m_RowData[row]) return FALSE;
    (*m_RowData[row])[col] = cell;
    return TRUE;
}

CThemeGridCell* CThemeGridModel::CreateCell(int, int) {
    CThemeGridCell* c = new CThemeGridCell;
    c->format = m_nDefCellFormat;
    c->font = m_Logfont;
    return c;
}

void CThemeGridModel::ClearCell(CThemeGridCell* cell, int row, int col) {
    if (!cell) return;
    if (GetCell(row, col) == cell)
        SetItemState(row, col, 0);
    else
        cell->state = 0;
    cell->text.Empty();
}

// ---- item access

CString CThemeGridModel::GetCellText(int row, int col) const {
    const CThemeGridCell* c = GetCell(row, col);
    return c ? c->text : CString();
}

BOOL CThemeGridModel::SetItem(const CThemeGridItem* item) {
    if (!item) return FALSE;
    CThemeGridCell* c = GetCell(item->row, item->column);
    if (!c) return FALSE;
    if (item->mask & GRID_ITEM_TEXT) c->text = item->text;
    if (item->mask & GRID_ITEM_PARAM) c->userData = item->userData;
    if (item->mask & GRID_ITEM_IMAGE) c->image = item->image;
    // Through SetItemState, so the selected map stays in step with the bit.
    if (item->mask & GRID_ITEM_STATE) SetItemState(item->row, item->column, item->state);
    if (item->mask & GRID_ITEM_FORMAT) c->format = item->format;
    if (item->mask & GRID_ITEM_BKCOLOR) c->backColor = item->backColor;
    if (item->mask & GRID_ITEM_TEXTCOLOR) c->textColor = item->textColor;
    if (item->mask & GRID_ITEM_FONT) c->font = item->font;
    return TRUE;
}

BOOL CThemeGridModel::GetItem(CThemeGridItem* item) const {
    if (!item) return FALSE;
    const CThemeGridCell* c = GetCell(item->row, item->column);
    if (!c) return FALSE;
    if (item->mask & GRID_ITEM_TEXT) item->text = GetCellText(item->row, item->column);
    if (item->mask & GRID_ITEM_PARAM) item->userData = c->userData;
    if (item->mask & GRID_ITEM_IMAGE) item->image = c->image;
    if (item->mask & GRID_ITEM_STATE) item->state = c->state;
    if (item->mask & GRID_ITEM_FORMAT) item->format = c->format;
    if (item->mask & GRID_ITEM_BKCOLOR) item->backColor = c->backColor;
    if (item->mask & GRID_ITEM_TEXTCOLOR) item->textColor = c->textColor;
    if (item->mask & GRID_ITEM_FONT) item->font = c->font;
    return TRUE;
}

BOOL CThemeGridModel::SetItemText(int row, int col, LPCTSTR text) {
    CThemeGridCell* c = GetCell(row, col);
    if (!c) return FALSE;
    c->text = text ? text : "";
    return TRUE;
}

BOOL CThemeGridModel::SetItemData(int row, int col, LPARAM data) {
    CThemeGridCell* c = GetCell(row, col);
    if (!c) return FALSE;
    c->userData = data;
    return TRUE;
}

LPARAM CThemeGridModel::GetItemData(int row, int col) const {
    const CThemeGridCell* c = GetCell(row, col);
    return c ? c->userData : 0;
}

BOOL CThemeGridModel::SetItemImage(int row, int col, int image) {
    CThemeGridCell* c = GetCell(row, col);
    if (!c) return FALSE;
    c->image = image;
    return TRUE;
}

int CThemeGridModel::GetItemImage(int row, int col) const {
    const CThemeGridCell* c = GetCell(row, col);
    return c ? c->image : -1;
}

BOOL CThemeGridModel::SetItemState(int row, int col, UINT state) {
    CThemeGridCell* c = GetCell(row, col);
    if (!c) return FALSE;
    const bool was = (c->state & GRID_STATE_SELECTED) != 0;
    const bool now = (state & GRID_STATE_SELECTED) != 0;
    if (!was && now) m_SelectedCellMap[SelectionKey(row, col)] = CThemeGridCellId(row, col);
    if (was && !now) m_SelectedCellMap.erase(SelectionKey(row, col));
    c->state = state;
    return TRUE;
}

UINT CThemeGridModel::GetItemState(int row, int col) const {
    const CThemeGridCell* c = GetCell(row, col);
    return c ? c->state : 0;
}

BOOL CThemeGridModel::SetItemFormat(int row, int col, UINT format) {
    CThemeGridCell* c = GetCell(row, col);
    if (!c) return FALSE;
    c->format = format;
    return TRUE;
}

UINT CThemeGridModel::GetItemFormat(int row, int col) const {
    const CThemeGridCell* c = GetCell(row, col);
    return c ? c->format : 0;
}

BOOL CThemeGridModel::SetItemBackColor(int row, int col, COLORREF color) {
    CThemeGridCell* c = GetCell(row, col);
    if (!c) return FALSE;
    c->backColor = color;
    return TRUE;
}

COLORREF CThemeGridModel::GetItemBackColor(int row, int col) const {
    const CThemeGridCell* c = GetCell(row, col);
    return c ? c->backColor : 0;
}

BOOL CThemeGridModel::SetItemTextColor(int row, int col, COLORREF color) {
    CThemeGridCell* c = GetCell(row, col);
    if (!c) return FALSE;
    c->textColor = color;
    return TRUE;
}

COLORREF CThemeGridModel::GetItemTextColor(int row, int col) const {
    const CThemeGridCell* c = GetCell(row, col);
    return c ? c->textColor : 0;
}

BOOL CThemeGridModel::SetItemFont(int row, int col, const LOGFONTA* font) {
    CThemeGridCell* c = GetCell(row, col);
    if (!c || !font) return FALSE;
    c->font = *font;
    return TRUE;
}

const LOGFONTA* CThemeGridModel::GetItemFont(int row, int col) const {
    const CThemeGridCell* c = GetCell(row, col);
    return c ? &c->font : &m_Logfont;
}

// ---- rows and columns

int CThemeGridModel::InsertColumn(LPCTSTR heading, UINT format, int column) {
    if (column < -1 || column > m_nCols) return -1;
    if (column == -1) column = m_nCols;
    ClearSelection();
    if (m_nRows == 0 && !SetRowCount(1)) return -1;
    m_arColWidths.insert(m_arColWidths.begin() + column, 0);
    for (int r = 0; r < m_nRows; ++r) {
        Row* row = m_RowData[r];
        if (row) row->insert(row->begin() + column, nullptr);
    }
    m_nCols++;
    for (int r = 0; r < m_nRows; ++r)
        if (m_RowData[r]) (*m_RowData[r])[column] = CreateCell(r, column);
    // The per-column lists, check-box columns and header groups move with
    // their columns.
    m_ComboLists.insert(m_ComboLists.begin() + std::min<size_t>(column, m_ComboLists.size()),
                        new CThemeGridComboList);
    for (int& c : m_arCheckBoxColumns)
        if (c >= column) ++c;
    for (CThemeGridHeaderGroup* g : m_HeaderGroups)
        for (UINT& c : g->m_Columns)
            if (static_cast<int>(c) >= column) ++c;
    SetItemText(0, column, heading);
    for (int r = 0; r < m_nRows; ++r) SetItemFormat(r, column, format);
    m_arColWidths[column] = MeasureText(CString(heading ? heading : "")).cx;
    if (m_idCurrentCell.col >= column) m_idCurrentCell.col++;
    OnTableChanged();
    return column;
}

int CThemeGridModel::InsertRow(LPCTSTR heading, int row) {
    if (row < -1 || row > m_nRows) return -1;
    if (row == -1) row = m_nRows;
    ClearSelection();
    if (m_nCols == 0 && !SetColumnCount(1)) return -1;
    m_arRowHeights.insert(m_arRowHeights.begin() + row, 0);
    Row* data = new Row(static_cast<size_t>(m_nCols), nullptr);
    m_RowData.insert(m_RowData.begin() + row, data);
    m_nRows++;
    for (int c = 0; c < m_nCols; ++c) (*data)[c] = CreateCell(row, c);
    SetItemText(row, 0, heading);
    m_arRowHeights[row] = MeasureText(CString(heading ? heading : "")).cy;
    if (m_idCurrentCell.row >= row) m_idCurrentCell.row++;
    OnTableChanged();
    return row;
}

BOOL CThemeGridModel::DeleteColumn(int column) {
    if (column < 0 || column >= m_nCols) return FALSE;
    ClearSelection();
    for (int r = 0; r < m_nRows; ++r) {
        Row* row = m_RowData[r];
        if (!row) continue;
        EmptyAndDelete((*row)[column], r, column);
        row->erase(row->begin() + column);
    }
    m_arColWidths.erase(m_arColWidths.begin() + column);
    m_nCols--;
    if (column < m_nFixedCols) m_nFixedCols--;
    if (m_idCurrentCell.col == column)
        m_idCurrentCell = CThemeGridCellId();
    else if (m_idCurrentCell.col > column)
        m_idCurrentCell.col--;
    if (column < static_cast<int>(m_ComboLists.size())) {
        delete m_ComboLists[column];
        m_ComboLists.erase(m_ComboLists.begin() + column);
    }
    m_arCheckBoxColumns.erase(
        std::remove(m_arCheckBoxColumns.begin(), m_arCheckBoxColumns.end(), column),
        m_arCheckBoxColumns.end());
    for (int& c : m_arCheckBoxColumns)
        if (c > column) --c;
    for (size_t i = 0; i < m_HeaderGroups.size();) {
        CThemeGridHeaderGroup* g = m_HeaderGroups[i];
        auto& cols = g->m_Columns;
        cols.erase(std::remove(cols.begin(), cols.end(), static_cast<UINT>(column)), cols.end());
        for (UINT& c : cols)
            if (static_cast<int>(c) > column) --c;
        g->m_nCount = static_cast<int>(cols.size());
        if (cols.empty()) {
            delete g;
            m_HeaderGroups.erase(m_HeaderGroups.begin() + i);
        } else {
            ++i;
        }
    }
    OnTableChanged();
    return TRUE;
}

BOOL CThemeGridModel::DeleteRow(int row) {
    if (row < 0 || row >= m_nRows) return FALSE;
    ClearSelection();
    Row* data = m_RowData[row];
    if (data) {
        for (int c = 0; c < static_cast<int>(data->size()); ++c) EmptyAndDelete((*data)[c], row, c);
        delete data;
    }
    m_RowData.erase(m_RowData.begin() + row);
    m_arRowHeights.erase(m_arRowHeights.begin() + row);
    m_nRows--;
    if (row < m_nFixedRows) m_nFixedRows--;
    if (m_idCurrentCell.row == row)
        m_idCurrentCell = CThemeGridCellId();
    else if (m_idCurrentCell.row > row)
        m_idCurrentCell.row--;
    OnTableChanged();
    return TRUE;
}

BOOL CThemeGridModel::DeleteBodyRows() {
    for (int r = m_nRows - 1; r >= m_nFixedRows; --r) DeleteRow(r);
    return TRUE;
}

BOOL CThemeGridModel::DeleteAllItems() {
    ClearSelection();
    ClearFocusCell();
    for (CThemeGridComboList* l : m_ComboLists) delete l;
    m_ComboLists.clear();
    for (CThemeGridHeaderGroup* g : m_HeaderGroups) delete g;
    m_HeaderGroups.clear();
    m_arColWidths.clear();
    m_arRowHeights.clear();
    for (int r = 0; r < static_cast<int>(m_RowData.size()); ++r) {
        Row* row = m_RowData[r];
        if (!row) continue;
        for (int c = 0; c < static_cast<int>(row->size()); ++c) EmptyAndDelete((*row)[c], r, c);
        delete row;
    }
    m_RowData.clear();
    m_nRows = m_nCols = m_nFixedRows = m_nFixedCols = 0;
    m_idCurrentCell = CThemeGridCellId();
    OnTableChanged();
    return TRUE;
}

// ---- sizes

int CThemeGridModel::GetRowHeight(int row) const {
    return row >= 0 && row < m_nRows ? m_arRowHeights[row] : 0;
}

int CThemeGridModel::GetColumnWidth(int col) const {
    return col >= 0 && col < m_nCols ? m_arColWidths[col] : 0;
}

BOOL CThemeGridModel::SetRowHeight(int row, int height) {
    if (row < 0 || row >= m_nRows || height < 0) return FALSE;
    m_arRowHeights[row] = height;
    return TRUE;
}

BOOL CThemeGridModel::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= m_nCols || width < 0) return FALSE;
    m_arColWidths[col] = width;
    return TRUE;
}

int CThemeGridModel::GetFixedRowHeight() const {
    int h = 0;
    for (int r = 0; r < m_nFixedRows; ++r) h += GetRowHeight(r);
    return h;
}

int CThemeGridModel::GetFixedColumnWidth() const {
    int w = 0;
    for (int c = 0; c < m_nFixedCols; ++c) w += GetColumnWidth(c);
    return w;
}

long CThemeGridModel::GetTotalHeight() const {
    long h = 0;
    for (int v : m_arRowHeights) h += v;
    return h;
}

long CThemeGridModel::GetTotalWidth() const {
    long w = 0;
    for (int v : m_arColWidths) w += v;
    return w;
}

void CThemeGridModel::SetDefaultRowHeight(int height) {
    m_nDefRowHeight = height;
    for (int& h : m_arRowHeights) h = height;
}

void CThemeGridModel::SetDefaultColumnWidth(int width) {
    m_nDefColWidth = width;
    for (int& w : m_arColWidths) w = width;
}

BOOL CThemeGridModel::FitColumnToText(int col) {
    if (col < 0 || col >= m_nCols) return FALSE;
    int w = 0;
    for (int r = 0; r < m_nRows; ++r) w = std::max<int>(w, MeasureCell(r, col).cx);
    m_arColWidths[col] = w;
    OnTableChanged();
    return TRUE;
}

BOOL CThemeGridModel::FitRowToText(int row) {
    if (row < 0 || row >= m_nRows) return FALSE;
    int h = 0;
    for (int c = 0; c < m_nCols; ++c) h = std::max<int>(h, MeasureCell(row, c).cy);
    m_arRowHeights[row] = h;
    OnTableChanged();
    return TRUE;
}

void CThemeGridModel::FitColumnsToText() {
    for (int c = 0; c < m_nCols; ++c) FitColumnToText(c);
}

void CThemeGridModel::FitRowsToText() {
    for (int r = 0; r < m_nRows; ++r) FitRowToText(r);
}

void CThemeGridModel::FitToText() {
    std::fill(m_arColWidths.begin(), m_arColWidths.end(), 0);
    std::fill(m_arRowHeights.begin(), m_arRowHeights.end(), 0);
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c) {
            SIZE s = MeasureCell(r, c);
            m_arColWidths[c] = std::max<int>(m_arColWidths[c], s.cx);
            m_arRowHeights[r] = std::max<int>(m_arRowHeights[r], s.cy);
        }
    OnTableChanged();
    InvalidateAll();
}

// Spreads space - total over the lines: each gets the truncated share, and
// the first |d| mod n one pixel more (d > 0) or less (d <= 0). No line goes
// below 0.
void CThemeGridModel::StretchLines(std::vector<int>* sizes, long space) {
    const long n = static_cast<long>(sizes->size());
    if (n == 0) return;
    long total = 0;
    for (int v : *sizes) total += v;
    const long d = space - total;
    const long share = d / n;
    const long rest = (d < 0 ? -d : d) % n;
    for (long i = 0; i < n; ++i) {
        long v = (*sizes)[i] + share;
        if (i < rest) v += d > 0 ? 1 : -1;
        (*sizes)[i] = v < 0 ? 0 : static_cast<int>(v);
    }
}

void CThemeGridModel::StretchColumnsToWindow() {
    if (m_nCols == 0) return;
    StretchLines(&m_arColWidths, GetClientSize().cx);
    if (m_bAllowDraw) InvalidateAll();
}

void CThemeGridModel::StretchRowsToWindow() {
    if (m_nRows == 0) return;
    StretchLines(&m_arRowHeights, GetClientSize().cy);
    if (m_bAllowDraw) InvalidateAll();
}

void CThemeGridModel::StretchToWindow() {
    StretchColumnsToWindow();
    StretchRowsToWindow();
    StretchColumnsToWindow();
}

void CThemeGridModel::StretchColumnToWindow(int col) {
    if (col < 0 || col >= m_nCols) return;
    const long v = m_arColWidths[col] + (GetClientSize().cx - GetTotalWidth());
    m_arColWidths[col] = v < 0 ? 0 : static_cast<int>(v);
    if (m_bAllowDraw) InvalidateAll();
}

// ---- check-box columns

void CThemeGridModel::SetCheckBoxColumn(int col) {
    if (col < 0 || IsCheckBoxColumn(col)) return;
    m_arCheckBoxColumns.push_back(col);
    for (int r = m_nFixedRows; r < m_nRows; ++r)
        if (CThemeGridCell* c = GetCell(r, col)) {
            c->image = 0;
            RedrawCell(r, col);
        }
}

BOOL CThemeGridModel::IsCheckBoxColumn(int col) const {
    return std::find(m_arCheckBoxColumns.begin(), m_arCheckBoxColumns.end(), col) !=
           m_arCheckBoxColumns.end();
}

// ---- drop-down items

void CThemeGridModel::SetColumnComboItems(int col, const LPCTSTR* items, int count) {
    if (col < 0 || col >= static_cast<int>(m_ComboLists.size()) || count < 0) return;
    CThemeGridComboList* l = m_ComboLists[col];
    for (int i = 0; i < count; ++i) l->m_Items.push_back(CString(items[i] ? items[i] : ""));
    l->m_nCount = count;
}

void CThemeGridModel::SetColumnComboItems(int col, LPCTSTR text) {
    if (col < 0 || col >= static_cast<int>(m_ComboLists.size()) || !text) return;
    CThemeGridComboList* l = m_ComboLists[col];
    int pieces = 0;
    const char* p = text;
    while (*p) {
        const char* nl = std::strchr(p, '\n');
        const size_t len = nl ? static_cast<size_t>(nl - p) : std::strlen(p);
        l->m_Items.push_back(CString(p, static_cast<int>(len)));
        ++pieces;
        if (!nl) break;
        p = nl + 1;
    }
    l->m_nCount = pieces;
}

BOOL CThemeGridModel::GetColumnComboItems(int col, std::vector<CString>* items) const {
    if (!items || col < 0 || col >= static_cast<int>(m_ComboLists.size())) return FALSE;
    const CThemeGridComboList* l = m_ComboLists[col];
    if (l->m_nCount <= 0) return FALSE;
    *items = l->m_Items;
    return TRUE;
}

// ---- header groups

void CThemeGridModel::AddHeaderGroup(const UINT* columns, int count, LPCTSTR caption) {
    if (!columns || count <= 0) return;
    CThemeGridHeaderGroup* g = new CThemeGridHeaderGroup;
    g->m_nCount = count;
    g->m_Columns.assign(columns, columns + count);
    g->m_strCaption = caption ? caption : "";
    m_HeaderGroups.push_back(g);
}

BOOL CThemeGridModel::FindHeaderGroup(int col, int* position, CString* caption, int* first,
                                      int* last) const {
    for (const CThemeGridHeaderGroup* g : m_HeaderGroups) {
        const auto& cols = g->m_Columns;
        for (size_t i = 0; i < cols.size(); ++i) {
            if (static_cast<int>(cols[i]) != col) continue;
            if (position) *position = i + 1 == cols.size() ? -1 : static_cast<int>(i);
            if (caption) *caption = g->m_strCaption;
            if (first) *first = static_cast<int>(cols.front());
            if (last) *last = static_cast<int>(cols.back());
            return TRUE;
        }
    }
    return FALSE;
}

// ---- target cell

void CThemeGridModel::SetTargetCellText(LPCTSTR text) {
    if (m_idTarget.row < 0 || m_idTarget.col < 0) return;
    if (SetItemText(m_idTarget.row, m_idTarget.col, text))
        RedrawCell(m_idTarget.row, m_idTarget.col);
}

void CThemeGridModel::SetTargetCellData(LPARAM data) {
    if (m_idTarget.row < 0 || m_idTarget.col < 0) return;
    if (SetItemData(m_idTarget.row, m_idTarget.col, data))
        RedrawCell(m_idTarget.row, m_idTarget.col);
}

BOOL CThemeGridModel::GetFocusCellRowCol(int* row, int* col) const {
    if (m_idCurrentCell.row < 0 || m_idCurrentCell.col < 0) return FALSE;
    if (row) *row = m_idCurrentCell.row;
    if (col) *col = m_idCurrentCell.col;
    return TRUE;
}

// ---- modified flags

void CThemeGridModel::SetModified(BOOL modified, int row, int col) {
    if (row > 0 && col > 0) {
        if (CThemeGridCell* c = GetCell(row, col)) {
            if (modified) {
                c->state |= GRID_STATE_MODIFIED;
                m_bModified = TRUE;
            } else {
                c->state &= ~GRID_STATE_MODIFIED;
            }
        }
    } else {
        m_bModified = modified;
    }
    if (!m_bModified)
        for (Row* r : m_RowData)
            if (r)
                for (CThemeGridCell* c : *r)
                    if (c) c->state &= ~GRID_STATE_MODIFIED;
}

BOOL CThemeGridModel::GetModified(int row, int col) const {
    if (row > 0 && col > 0) return (GetItemState(row, col) & GRID_STATE_MODIFIED) != 0;
    return m_bModified;
}

BOOL CThemeGridModel::IsCellEditable(int row, int col) const {
    return m_bEditable && !(GetItemState(row, col) & GRID_STATE_READONLY);
}
