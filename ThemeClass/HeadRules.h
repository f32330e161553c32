// Rules of the multi-row header that need no window: the grid of header
// cells with merged blocks, where each cell is drawn, how two sort keys
// compare and how a column sort orders the rows. Tested natively; the
// header window calls them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ThemeClass/ThemeLayout.h"

namespace skin {

// ---- cell spans

// 0: a plain cell; 0x10000 | extra rows << 8 | extra columns: the top-left
// cell of a merged block; 0x20000: a cell covered by a block.
enum HeaderSpanKind { kSpanPlain = 0, kSpanOrigin = 1, kSpanCovered = 2 };
constexpr uint32_t kSpanCoveredValue = 0x20000;
uint32_t MakeOriginSpan(int extraRows, int extraColumns);
int SpanKind(uint32_t span);
int SpanExtraRows(uint32_t span);
int SpanExtraColumns(uint32_t span);

struct HeaderCell {
    uint32_t span = 0;
    std::string text;
};

// Rows of cells, one cell per header column in each row.
class HeaderCells {
public:
    HeaderCells() : rows_(1) {}

    int Rows() const { return static_cast<int>(rows_.size()); }
    int Columns(int row) const;
    // A count below 1 is ignored (the header divides its height by it).
    // Rows added get an empty plain cell for each column of row 0.
    void SetRows(int rows);
    // An empty plain cell at col in every row (appended when col is past the
    // end of a row); a negative col does nothing.
    void InsertColumn(int col);
    // Removes cell col from every row that has it.
    void DeleteColumn(int col);

    bool SetText(int row, int col, const std::string& text);
    std::string Text(int row, int col) const;
    // (row1, col1) becomes the origin of a block reaching (row2, col2), every
    // other cell of the block covered. Nothing unless (row2, col2) exists and
    // the corners are in order.
    bool Merge(int row1, int col1, int row2, int col2);
    // Kind and the two counts; 0 (plain, no extras) outside the grid.
    int Span(int row, int col, int* extraRows, int* extraColumns) const;
    uint32_t RawSpan(int row, int col) const;

private:
    bool Has(int row, int col) const;
    std::vector<std::vector<HeaderCell>> rows_;
};

// Where cell (row, col) is drawn. itemRects are the header's column
// rectangles; the row height is column col's height / rows, the block's
// bottom extends over its extra rows and its right edge over the widths of
// its extra columns (as far as there are columns). False for a covered cell,
// a column outside itemRects or rows below 1.
bool HeaderCellRect(const std::vector<Rect>& itemRects, int rows, int row, int col, uint32_t span,
                    Rect* out);

// A cell is drawn unless it lies wholly left of the scroll position or
// right of the visible width.
bool HeaderCellVisible(const Rect& cell, int scrollPos, int clientWidth);

// 1 plus the number of newlines.
int CountTextLines(const std::string& text);

// ---- sorting

// Sort types: 0 none, 1 ascending, 2 descending, 3 and 4 ascending and
// descending toggled by repeated sorts of one column.
enum SortType {
    kSortNone = 0,
    kSortAscending = 1,
    kSortDescending = 2,
    kSortToggleUp = 3,
    kSortToggleDown = 4
};

// 1 when the records of keys a (earlier) and b (later) are to be exchanged.
// Both keys are trimmed first; two keys that are each the decimal text of
// an int ("12", "-3"; not "012", "+5", "1.5" or "") compare as numbers,
// anything else as byte strings. Ascending types answer 1 when a is not
// before b, descending ones when a is before b, type 0 and others 0.
int CompareKeys(const std::string& a, const std::string& b, int sortType);

// The sort type before a sort of column: types 3 and 4 toggle on a repeat
// of the last column and fall back to 3 on another column (remembered in
// lastColumn); other types stay.
int NextSortType(int sortType, int* lastColumn, int column);

// The exchange sort of the rows: for every pair i < j the records are
// exchanged when CompareKeys(key i, key j) is 1. Returns the original row
// of each position.
std::vector<int> ExchangeSortOrder(const std::vector<std::string>& keys, int sortType);

}  // namespace skin
