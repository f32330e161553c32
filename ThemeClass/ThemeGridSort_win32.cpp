// The grid's sorts and the header press that sorts by a column.
#include "ThemeClass/ThemeGrid.h"

BOOL CThemeGrid::SortRowsByText(int nCol, BOOL bAscending) {
    const BOOL ok = GridSortRowsByText(*this, nCol, bAscending);
    if (ok) InvalidateAll();
    return ok;
}

BOOL CThemeGrid::SortRowsByText(int nCol, BOOL bAscending, int nLow, int nHigh) {
    const BOOL ok = GridSortRowsByText(*this, nCol, bAscending, nLow, nHigh);
    if (ok) InvalidateAll();
    return ok;
}

BOOL CThemeGrid::SortRowsByCallback(GridCompareFn pfnCompare, int nCol, BOOL bAscending,
                                    LPARAM lParam) {
    const BOOL ok = GridSortRowsByCallback(*this, pfnCompare, nCol, bAscending, lParam);
    if (ok) InvalidateAll();
    return ok;
}

BOOL CThemeGrid::SortRowsByCallback(GridCompareFn pfnCompare, int nCol, BOOL bAscending,
                                    LPARAM lParam, int nLow, int nHigh) {
    const BOOL ok =
        GridSortRowsByCallback(*this, pfnCompare, nCol, bAscending, lParam, nLow, nHigh);
    if (ok) InvalidateAll();
    return ok;
}

void CThemeGrid::OnHeaderSort(int col) {
    HCURSOR hOld = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    GridNextSortOrder(col, &m_nSortColumn, &m_bAscending);
    SortRowsByText(m_nSortColumn, m_bAscending);
    InvalidateAll();
    ::SetCursor(hOld);
}
