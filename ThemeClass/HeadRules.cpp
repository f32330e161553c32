#include "ThemeClass/HeadRules.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace skin {

// ---- cell spans

uint32_t MakeOriginSpan(int extraRows, int extraColumns) {
    return 0x10000u | (static_cast<uint32_t>(extraRows & 0xFF) << 8) |
           static_cast<uint32_t>(extraColumns & 0xFF);
}

int SpanKind(uint32_t span) { return static_cast<int>((span >> 16) & 0xFF); }
int SpanExtraRows(uint32_t span) { return static_cast<int>((span >> 8) & 0xFF); }
int SpanExtraColumns(uint32_t span) { return static_cast<int>(span & 0xFF); }

int HeaderCells::Columns(int row) const {
    if (row < 0 || row >= Rows()) return 0;
    return static_cast<int>(rows_[row].size());
}

bool HeaderCells::Has(int row, int col) const {
    return row >= 0 && row < Rows() && col >= 0 && col < Columns(row);
}

void HeaderCells::SetRows(int rows) {
    if (rows < 1) return;
    const size_t columns = rows_.empty() ? 0 : rows_[0].size();
    rows_.resize(static_cast<size_t>(rows), std::vector<HeaderCell>(columns));
}

void HeaderCells::InsertColumn(int col) {
    if (col < 0) return;
    for (std::vector<HeaderCell>& row : rows_) {
        const size_t at =
            static_cast<size_t>(col) < row.size() ? static_cast<size_t>(col) : row.size();
        row.insert(row.begin() + static_cast<std::ptrdiff_t>(at), HeaderCell());
    }
}

void HeaderCells::DeleteColumn(int col) {
    if (col < 0) return;
    for (std::vector<HeaderCell>& row : rows_)
        if (static_cast<size_t>(col) < row.size())
            row.erase(row.begin() + static_cast<std::ptrdiff_t>(col));
}

bool HeaderCells::SetText(int row, int col, const std::string& text) {
    if (!Has(row, col)) return false;
    rows_[row][col].text = text;
    return true;
}

std::string HeaderCells::Text(int row, int col) const {
    return Has(row, col) ? rows_[row][col].text : std::string();
}

bool HeaderCells::Merge(int row1, int col1, int row2, int col2) {
    if (!Has(row2, col2) || !Has(row1, col1) || row1 > row2 || col1 > col2) return false;
    if (row2 - row1 > 0xFF || col2 - col1 > 0xFF) return false;
    for (int r = row1; r <= row2; ++r)
        for (int c = col1; c <= col2; ++c)
            if (Has(r, c)) rows_[r][c].span = kSpanCoveredValue;
    rows_[row1][col1].span = MakeOriginSpan(row2 - row1, col2 - col1);
    return true;
}

int HeaderCells::Span(int row, int col, int* extraRows, int* extraColumns) const {
    const uint32_t span = RawSpan(row, col);
    if (extraRows) *extraRows = SpanExtraRows(span);
    if (extraColumns) *extraColumns = SpanExtraColumns(span);
    return SpanKind(span);
}

uint32_t HeaderCells::RawSpan(int row, int col) const {
    return Has(row, col) ? rows_[row][col].span : 0;
}

bool HeaderCellRect(const std::vector<Rect>& itemRects, int rows, int row, int col, uint32_t span,
                    Rect* out) {
    if (rows < 1 || col < 0 || static_cast<size_t>(col) >= itemRects.size()) return false;
    const int kind = SpanKind(span);
    if (kind == kSpanCovered) return false;
    const int extraRows = kind == kSpanOrigin ? SpanExtraRows(span) : 0;
    const int extraColumns = kind == kSpanOrigin ? SpanExtraColumns(span) : 0;
    const Rect& item = itemRects[static_cast<size_t>(col)];
    const int rowHeight = item.Height() / rows;
    Rect r = item;
    r.top = rowHeight * row;
    r.bottom = r.top + rowHeight * (extraRows + 1);
    for (int c = col + 1; c <= col + extraColumns && static_cast<size_t>(c) < itemRects.size(); ++c)
        r.right += itemRects[static_cast<size_t>(c)].Width();
    *out = r;
    return true;
}

bool HeaderCellVisible(const Rect& cell, int scrollPos, int clientWidth) {
    return !(scrollPos > cell.right || static_cast<long long>(scrollPos) + clientWidth < cell.left);
}

int CountTextLines(const std::string& text) {
    int n = 1;
    for (char ch : text) n += ch == '\n';
    return n;
}

// ---- sorting

namespace {

std::string TrimSpace(const std::string& s) {
    const char* const ws = " \t\r\n";
    const size_t first = s.find_first_not_of(ws);
    if (first == std::string::npos) return std::string();
    const size_t last = s.find_last_not_of(ws);
    return s.substr(first, last - first + 1);
}

// The key's value when the key is exactly the "%d" text of an int.
bool AsCanonicalInt(const std::string& key, int* value) {
    if (key.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(key.c_str(), &end, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", static_cast<int>(v));
    if (key != buf) return false;
    *value = static_cast<int>(v);
    return true;
}

}  // namespace

namespace {

// A key as the comparison sees it, worked out once per row.
struct PreparedKey {
    std::string text;
    bool isInt = false;
    int value = 0;
};

PreparedKey Prepare(const std::string& key) {
    PreparedKey k;
    k.text = TrimSpace(key);
    k.isInt = AsCanonicalInt(k.text, &k.value);
    return k;
}

int ComparePrepared(const PreparedKey& a, const PreparedKey& b, int sortType) {
    // Byte order for texts, as the code page stores them.
    const bool before = a.isInt && b.isInt ? a.value < b.value : a.text.compare(b.text) < 0;
    switch (sortType) {
        case kSortAscending:
        case kSortToggleUp: return before ? 0 : 1;
        case kSortDescending:
        case kSortToggleDown: return before ? 1 : 0;
        default: return 0;
    }
}

}  // namespace

int CompareKeys(const std::string& a, const std::string& b, int sortType) {
    return ComparePrepared(Prepare(a), Prepare(b), sortType);
}

int NextSortType(int sortType, int* lastColumn, int column) {
    if (sortType != kSortToggleUp && sortType != kSortToggleDown) return sortType;
    if (column == *lastColumn) return sortType == kSortToggleUp ? kSortToggleDown : kSortToggleUp;
    *lastColumn = column;
    return kSortToggleUp;
}

std::vector<int> ExchangeSortOrder(const std::vector<std::string>& keys, int sortType) {
    const size_t n = keys.size();
    std::vector<int> order(n);
    std::vector<PreparedKey> key(n);
    for (size_t i = 0; i < n; ++i) {
        order[i] = static_cast<int>(i);
        key[i] = Prepare(keys[i]);
    }
    for (size_t i = 0; i + 1 < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            if (ComparePrepared(key[i], key[j], sortType) == 1) {
                std::swap(order[i], order[j]);
                std::swap(key[i], key[j]);
            }
    return order;
}

}  // namespace skin
