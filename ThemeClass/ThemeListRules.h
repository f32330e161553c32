// Rules of the skinned report list that need no window: which row and
// column a point falls in, the colours a row is painted with, the entries
// of a drop-list column, and the ticked rows and colour records the list
// keeps by row index. Plain integers and strings, tested natively; the
// window class calls them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skin {

// ---- hit testing

// The row under y (client coordinates). The header is taken as
// itemHeight + 3 pixels whatever its real height; -1 above that, for a row
// at or past itemCount, or for an item height below 1.
int ListItemFromY(int y, int itemHeight, int topIndex, int itemCount);

// The list's column rule: the first column whose running width sum from
// column 0 exceeds x (a point on a right border belongs to the next
// column); -1 for x below 0 or beyond the last column.
int ListColumnFromX(int x, const std::vector<int>& widths);

// The header's column rule: the first column whose running sum is at least
// x (a point on a right border belongs to that column); -1 beyond the last.
int HeaderColumnFromX(int x, const std::vector<int>& widths);

// ---- row colours (COLORREF values, 0x00BBGGRR)

struct ListColors {
    uint32_t selectBack = 0xCC9933;
    uint32_t selectFont = 0x000000;
    uint32_t normal1Back = 0xFFFFFF;  // even rows
    uint32_t normal2Back = 0xFFE6D2;  // odd rows
    uint32_t normal1Font = 0x000000;
    uint32_t normal2Font = 0x000000;
};

struct RowLook {
    uint32_t back;
    uint32_t text;
};

// A row record's colour wins over the selection back, but a selected row
// keeps the selection's text colour; otherwise colours go by parity.
RowLook ChooseRowLook(const ListColors& colors, int item, bool selected, bool hasRowColor,
                      uint32_t rowBack);

// ---- drop-list options

// Entries of a drop-list column. The options are cut at the first newline
// again and again; when the rest starts with a newline (or has none) the
// whole rest is the last entry. Each entry is trimmed of spaces, tabs and
// line ends, so "a\nb\n\nc" gives a, b, c and "\nx" gives x.
std::vector<std::string> ParseDropListOptions(const std::string& options);

// ---- ticked rows

// Row indices in the order they were ticked.
class CheckedItems {
public:
    bool Contains(int item) const;
    // Adds when absent and on, removes when present and not on.
    void Set(int item, bool on);
    // Adds when absent, removes when present; returns the new state.
    bool Toggle(int item);
    // Rows 0 to count - 1, in order.
    void FillAll(int count);
    void Clear() { items_.clear(); }
    const std::vector<unsigned>& Items() const { return items_; }

private:
    std::vector<unsigned> items_;
};

// ---- colour records, kept by row index

class ListColorRecords {
public:
    // One record per row; setting again replaces the back.
    void SetRow(int item, uint32_t back);
    bool GetRow(int item, uint32_t* back) const;
    // One record per cell; a back of 0 keeps the row's back.
    void SetCell(int item, int column, uint32_t text, uint32_t back);
    bool GetCell(int item, int column, uint32_t* text, uint32_t* back) const;
    void Clear();
    size_t RowCount() const { return rows_.size(); }
    size_t CellCount() const { return cells_.size(); }

private:
    struct Row {
        int item;
        uint32_t back;
    };
    struct Cell {
        int item;
        int column;
        uint32_t text;
        uint32_t back;
    };
    std::vector<Row> rows_;
    std::vector<Cell> cells_;
};

}  // namespace skin
