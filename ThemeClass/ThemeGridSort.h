// Sorting the grid's rows on one column: the quicksort over key, compare
// and swap callbacks, the text and user-data sorts of the grid, and the
// order that header clicks step through. Portable.
#pragma once

#include "ThemeClass/ThemeGridView.h"

// The caller's comparison of two cells' user data for SortRowsByCallback:
// negative, 0 or positive, like strcmp.
typedef int (*GridCompareFn)(LPARAM data1, LPARAM data2, LPARAM sortParam);

// Sorts the rows low..high in place. The pivot is the key of the middle
// row, read once; rows are swapped only when their keys differ, so equal
// keys keep their rows. `key(row)` reads a row's key, `compare(a, b)`
// orders two keys, `swap(row1, row2)` exchanges two rows.
template <typename Key, typename KeyFn, typename CompareFn, typename SwapFn>
void GridQuickSort(int low, int high, bool ascending, KeyFn key, CompareFn compare, SwapFn swap) {
    // The smaller part recurses, the larger one loops: the stack stays
    // logarithmic whatever the input.
    while (low < high) {
        const Key pivot = key(low + (high - low) / 2);
        int lo = low, hi = high;
        while (lo <= hi) {
            if (ascending) {
                while (lo < high && compare(key(lo), pivot) < 0) ++lo;
                while (hi > low && compare(key(hi), pivot) > 0) --hi;
            } else {
                while (lo < high && compare(key(lo), pivot) > 0) ++lo;
                while (hi > low && compare(key(hi), pivot) < 0) --hi;
            }
            if (lo <= hi) {
                if (compare(key(lo), key(hi)) != 0) swap(lo, hi);
                ++lo;
                --hi;
            }
        }
        if (hi - low < high - lo) {
            if (low < hi) GridQuickSort<Key>(low, hi, ascending, key, compare, swap);
            low = lo;
        } else {
            if (lo < high) GridQuickSort<Key>(lo, high, ascending, key, compare, swap);
            high = hi;
        }
    }
}

// Texts order by their bytes as unsigned values, case-sensitive.
int GridCompareText(const CString& a, const CString& b);

// Exchanges two rows: the cell pointers in every column and the heights.
void GridSwapRows(CThemeGridModel& grid, int row1, int row2);

// Clears the selection, the cells kept for Ctrl and the focus: swapped
// rows carry their cells' state bits with them.
void GridResetForSort(CThemeGridView& grid);

// The ranged sorts: the focus and the selection are cleared, then rows low
// to high (-1: the last row) are sorted on the column. FALSE, with nothing
// changed, when the column is not in the grid or low..high is not a range
// of its rows.
BOOL GridSortRowsByText(CThemeGridView& grid, int col, BOOL ascending, int low, int high);
BOOL GridSortRowsByCallback(CThemeGridView& grid, GridCompareFn compare, int col, BOOL ascending,
                            LPARAM sortParam, int low, int high);
// The whole body: every row below the fixed ones.
BOOL GridSortRowsByText(CThemeGridView& grid, int col, BOOL ascending);
BOOL GridSortRowsByCallback(CThemeGridView& grid, GridCompareFn compare, int col, BOOL ascending,
                            LPARAM sortParam);

// A header click on a column: the same column flips the direction, another
// one starts ascending and becomes the sort column.
void GridNextSortOrder(int clickedCol, int* sortCol, BOOL* ascending);
