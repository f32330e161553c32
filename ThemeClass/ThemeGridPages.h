// How the grid falls into printed pages: the logical page that maps the
// grid's pixels onto the paper's width, the height left for body rows, the
// page count and the rows of each page. Portable: the printer's character
// size and paper size come from the window's printing code.
#pragma once

#include <vector>

#include "classlib/afxstr.h"
#include "classlib/afxtypes.h"

// Margins and bands, in character widths and heights.
enum : int {
    GRID_PRINT_SIDE_MARGIN = 4,  // left and right, each
    GRID_PRINT_HEADER_LINES = 2,
    GRID_PRINT_GAP_LINES = 1,
    GRID_PRINT_FOOTER_LINES = 2,
    GRID_PRINT_RESERVED_LINES = 6,  // left out of the page height for rows
};

struct GridPageLayout {
    SIZE charSize = {0, 0};   // average character width and height
    SIZE paper = {0, 0};      // the printer's resolution, in device pixels
    SIZE logical = {0, 0};    // the page in grid pixels
    int rowsHeight = 0;       // the page height left for body rows
    int pageCount = 0;
    // The first body row of each page (index into the body rows).
    std::vector<int> firstRow;
};

// Lays the body rows (heights, top to bottom) out on pages. Each page holds
// at least its first row, which prints clipped when it is taller than the
// page, so no page is empty and every row prints. With no body rows the
// layout has one page, for the titles alone.
GridPageLayout GridLayoutPages(const std::vector<int>& bodyRowHeights, int fixedRowsHeight,
                               long virtualWidth, SIZE charSize, SIZE paper);

// The body rows (index range [first, end)) that page `page` (from 1) prints.
void GridPageRows(const GridPageLayout& layout, int page, int bodyRowCount, int* first, int* end);

// The footer's page text.
CString GridPageFooterText(int page, int pageCount);

// a * b / c rounded to the nearest, halves away from zero; 0 when c is 0.
long GridMulDiv(long a, long b, long c);
