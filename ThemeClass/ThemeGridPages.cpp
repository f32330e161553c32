#include "ThemeClass/ThemeGridPages.h"

#include <cstdint>

long GridMulDiv(long a, long b, long c) {
    if (c == 0) return 0;
    const int64_t num = static_cast<int64_t>(a) * b;
    const bool negative = (num < 0) != (c < 0);
    const int64_t n = num < 0 ? -num : num;
    const int64_t d = c < 0 ? -static_cast<int64_t>(c) : c;
    const int64_t q = (n + d / 2) / d;
    return static_cast<long>(negative ? -q : q);
}

GridPageLayout GridLayoutPages(const std::vector<int>& bodyRowHeights, int fixedRowsHeight,
                               long virtualWidth, SIZE charSize, SIZE paper) {
    GridPageLayout l;
    l.charSize = charSize;
    l.paper = paper;
    l.logical.cx = virtualWidth + 2 * GRID_PRINT_SIDE_MARGIN * charSize.cx;
    l.logical.cy = GridMulDiv(l.logical.cx, paper.cy, paper.cx);
    l.rowsHeight =
        l.logical.cy - fixedRowsHeight - GRID_PRINT_RESERVED_LINES * charSize.cy;
    l.pageCount = 1;
    l.firstRow.push_back(0);
    long running = 0;
    for (size_t i = 0; i < bodyRowHeights.size(); ++i) {
        const int h = bodyRowHeights[i];
        // A row that does not fit starts the next page, unless it is the
        // page's first: that one prints, clipped, rather than never.
        if (running > 0 && running + h > l.rowsHeight) {
            l.pageCount++;
            l.firstRow.push_back(static_cast<int>(i));
            running = 0;
        }
        running += h;
    }
    return l;
}

void GridPageRows(const GridPageLayout& layout, int page, int bodyRowCount, int* first,
                  int* end) {
    *first = *end = 0;
    if (page < 1 || page > layout.pageCount) return;
    *first = layout.firstRow[static_cast<size_t>(page - 1)];
    *end = page < layout.pageCount ? layout.firstRow[static_cast<size_t>(page)] : bodyRowCount;
}

CString GridPageFooterText(int page, int pageCount) {
    CString s;
    s.Format("Page %d of %d", page, pageCount);
    return s;
}
