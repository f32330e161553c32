#include "ThemeClass/ThemeGridClip.h"

#include <cstring>

std::string GridCopyBlock(const CThemeGridModel& grid, const CThemeGridCellRange& range) {
    std::string out;
    if (!range.IsValid(grid.GetRowCount(), grid.GetColumnCount())) return out;
    for (int r = range.GetMinRow(); r <= range.GetMaxRow(); ++r) {
        for (int c = range.GetMinCol(); c <= range.GetMaxCol(); ++c) {
            const CThemeGridCell* cell = grid.GetCell(r, c);
            if (cell && (cell->state & GRID_STATE_SELECTED)) {
                const CString text = grid.GetCellText(r, c);
                if (text.IsEmpty())
                    out += ' ';
                else
                    out.append(static_cast<LPCTSTR>(text), static_cast<size_t>(text.GetLength()));
            }
            if (c < range.GetMaxCol()) out += '\t';
        }
        if (r < range.GetMaxRow()) out += '\n';
    }
    out += '\0';
    return out;
}

namespace {

bool IsFieldSeparator(char ch) { return ch == '\t' || ch == ',' || ch == '\n'; }

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f';
}

// The fields of one line: runs of separators split it, empty fields drop
// out, and each field is trimmed at both ends.
std::vector<CString> SplitFields(const char* p, size_t n) {
    std::vector<CString> fields;
    size_t i = 0;
    while (i < n) {
        while (i < n && IsFieldSeparator(p[i])) ++i;
        const size_t begin = i;
        while (i < n && !IsFieldSeparator(p[i])) ++i;
        size_t b = begin, e = i;
        while (b < e && IsBlank(p[b])) ++b;
        while (e > b && IsBlank(p[e - 1])) --e;
        if (i > begin) fields.emplace_back(CString(p + b, static_cast<int>(e - b)));
    }
    return fields;
}

}  // namespace

GridPasteLines GridSplitPasteText(const char* text, size_t size) {
    GridPasteLines lines;
    if (!text) return lines;
    const void* zero = std::memchr(text, 0, size);
    const size_t n = zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : size;
    size_t start = 0;
    while (start < n) {
        const void* nl = std::memchr(text + start, '\n', n - start);
        const size_t end = nl ? static_cast<size_t>(static_cast<const char*>(nl) - text) : n;
        if (end == start && nl) {
            // An empty line between two others clears its row's first cell.
            lines.push_back(std::vector<CString>{CString(" ")});
        } else {
            lines.push_back(SplitFields(text + start, end - start));
        }
        start = end + 1;
    }
    return lines;
}

BOOL GridPasteFields(CThemeGridView& grid, const CThemeGridCellId& start,
                     const GridPasteLines& lines, const GridNotifyFn& notify) {
    if (!grid.IsValid(start) || !grid.IsCellEditable(start.row, start.col)) return FALSE;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int row = start.row + static_cast<int>(i);
        if (row >= grid.GetRowCount()) break;
        for (size_t j = 0; j < lines[i].size(); ++j) {
            const int col = start.col + static_cast<int>(j);
            if (col >= grid.GetColumnCount()) break;
            if (!grid.IsCellEditable(row, col)) continue;
            CString text = lines[i][j];
            text.Trim();
            if (notify) notify(row, col, GRID_NOTIFY_TEXT_CHANGING);
            grid.SetItemText(row, col, text);
            grid.SetModified(TRUE, row, col);
            if (notify) notify(row, col, GRID_NOTIFY_TEXT_CHANGED);
            grid.SetItemState(row, col, grid.GetItemState(row, col) & ~GRID_STATE_SELECTED);
        }
    }
    return TRUE;
}

int GridCutCells(CThemeGridView& grid, const GridNotifyFn& notify) {
    if (!grid.IsEditable()) return 0;
    // A copy: clearing a cell takes it out of the selected map.
    const std::map<uint64_t, CThemeGridCellId> selected = grid.SelectedMap();
    int cut = 0;
    for (const auto& e : selected) {
        const CThemeGridCellId c = e.second;
        CThemeGridCell* cell = grid.GetCell(c.row, c.col);
        if (!cell || !grid.IsCellEditable(c.row, c.col)) continue;
        if (notify) notify(c.row, c.col, GRID_NOTIFY_TEXT_CHANGING);
        grid.ClearCell(cell, c.row, c.col);
        grid.SetModified(TRUE, c.row, c.col);
        if (notify) notify(c.row, c.col, GRID_NOTIFY_TEXT_CHANGED);
        ++cut;
    }
    return cut;
}

BOOL GridEditCommandEnabled(const CThemeGridView& grid, UINT command, BOOL clipboardHasText) {
    const CThemeGridCellRange sel = grid.GetSelectionRange();
    const BOOL haveSelection =
        sel.IsValid(grid.GetRowCount(), grid.GetColumnCount()) && sel.Count() != 0;
    const CThemeGridCellId focus = grid.GetFocusCell();
    switch (command) {
        case GRID_CMD_COPY: return haveSelection;
        case GRID_CMD_CUT: return haveSelection && grid.IsEditable();
        case GRID_CMD_PASTE:
            return grid.IsValid(focus) && grid.IsCellEditable(focus.row, focus.col) &&
                   clipboardHasText;
        case GRID_CMD_SELECT_ALL: return grid.IsSelectable();
        default: return FALSE;
    }
}
