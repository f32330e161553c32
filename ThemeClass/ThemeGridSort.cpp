#include "ThemeClass/ThemeGridSort.h"

#include <cstring>

int GridCompareText(const CString& a, const CString& b) {
    const int na = a.GetLength(), nb = b.GetLength();
    const int r = std::memcmp(static_cast<LPCTSTR>(a), static_cast<LPCTSTR>(b),
                              static_cast<size_t>(na < nb ? na : nb));
    if (r != 0) return r;
    return na < nb ? -1 : na > nb ? 1 : 0;
}

void GridSwapRows(CThemeGridModel& grid, int row1, int row2) {
    if (row1 == row2) return;
    for (int c = 0; c < grid.GetColumnCount(); ++c) {
        CThemeGridCell* a = grid.GetCell(row1, c);
        CThemeGridCell* b = grid.GetCell(row2, c);
        grid.SetCell(row1, c, b);
        grid.SetCell(row2, c, a);
    }
    const int h1 = grid.GetRowHeight(row1);
    grid.SetRowHeight(row1, grid.GetRowHeight(row2));
    grid.SetRowHeight(row2, h1);
}

void GridResetForSort(CThemeGridView& grid) {
    grid.ClearSelection();
    grid.SetFocusCell(-1, -1);
}

namespace {

// The rows low..high to sort, or FALSE when they are not rows of the grid.
BOOL CheckSortRange(const CThemeGridModel& grid, int col, int low, int* high) {
    if (col < 0 || col >= grid.GetColumnCount()) return FALSE;
    if (*high == -1) *high = grid.GetRowCount() - 1;
    if (low < 0 || *high >= grid.GetRowCount()) return FALSE;
    return TRUE;
}

}  // namespace

BOOL GridSortRowsByText(CThemeGridView& grid, int col, BOOL ascending, int low, int high) {
    if (!CheckSortRange(grid, col, low, &high)) return FALSE;
    GridResetForSort(grid);
    GridQuickSort<CString>(
        low, high, ascending != FALSE, [&](int row) { return grid.GetCellText(row, col); },
        GridCompareText, [&](int r1, int r2) { GridSwapRows(grid, r1, r2); });
    return TRUE;
}

BOOL GridSortRowsByCallback(CThemeGridView& grid, GridCompareFn compare, int col, BOOL ascending,
                            LPARAM sortParam, int low, int high) {
    if (!compare || !CheckSortRange(grid, col, low, &high)) return FALSE;
    GridResetForSort(grid);
    GridQuickSort<LPARAM>(
        low, high, ascending != FALSE, [&](int row) { return grid.GetItemData(row, col); },
        [&](LPARAM a, LPARAM b) { return compare(a, b, sortParam); },
        [&](int r1, int r2) { GridSwapRows(grid, r1, r2); });
    return TRUE;
}

BOOL GridSortRowsByText(CThemeGridView& grid, int col, BOOL ascending) {
    GridResetForSort(grid);
    if (grid.GetFixedRowCount() >= grid.GetRowCount())
        return col >= 0 && col < grid.GetColumnCount();
    return GridSortRowsByText(grid, col, ascending, grid.GetFixedRowCount(), -1);
}

BOOL GridSortRowsByCallback(CThemeGridView& grid, GridCompareFn compare, int col, BOOL ascending,
                            LPARAM sortParam) {
    GridResetForSort(grid);
    if (grid.GetFixedRowCount() >= grid.GetRowCount())
        return compare && col >= 0 && col < grid.GetColumnCount();
    return GridSortRowsByCallback(grid, compare, col, ascending, sortParam,
                                  grid.GetFixedRowCount(), -1);
}

void GridNextSortOrder(int clickedCol, int* sortCol, BOOL* ascending) {
    if (clickedCol == *sortCol) {
        *ascending = !*ascending;
    } else {
        *sortCol = clickedCol;
        *ascending = TRUE;
    }
}
