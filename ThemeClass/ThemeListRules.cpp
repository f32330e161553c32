#include "ThemeClass/ThemeListRules.h"

#include <algorithm>

namespace skin {

int ListItemFromY(int y, int itemHeight, int topIndex, int itemCount) {
    if (itemHeight < 1) return -1;
    const long long header = static_cast<long long>(itemHeight) + 3;
    if (y < header) return -1;
    const long long item = (y - header) / itemHeight + topIndex;
    if (item < 0 || item >= itemCount) return -1;
    return static_cast<int>(item);
}

int ListColumnFromX(int x, const std::vector<int>& widths) {
    if (x < 0) return -1;
    long long sum = 0;
    for (size_t i = 0; i < widths.size(); ++i) {
        sum += widths[i];
        if (sum > x) return static_cast<int>(i);
    }
    return -1;
}

int HeaderColumnFromX(int x, const std::vector<int>& widths) {
    long long sum = 0;
    for (size_t i = 0; i < widths.size(); ++i) {
        sum += widths[i];
        if (sum >= x) return static_cast<int>(i);
    }
    return -1;
}

RowLook ChooseRowLook(const ListColors& colors, int item, bool selected, bool hasRowColor,
                      uint32_t rowBack) {
    const bool odd = (item & 1) != 0;
    RowLook look;
    if (selected) {
        look.back = hasRowColor ? rowBack : colors.selectBack;
        look.text = colors.selectFont;
    } else {
        look.back = hasRowColor ? rowBack : (odd ? colors.normal2Back : colors.normal1Back);
        look.text = odd ? colors.normal2Font : colors.normal1Font;
    }
    return look;
}

namespace {

std::string TrimSpace(const std::string& s) {
    const char* const ws = " \t\r\n";
    const size_t first = s.find_first_not_of(ws);
    if (first == std::string::npos) return std::string();
    const size_t last = s.find_last_not_of(ws);
    return s.substr(first, last - first + 1);
}

}  // namespace

std::vector<std::string> ParseDropListOptions(const std::string& options) {
    std::vector<std::string> out;
    std::string rest = options;
    while (!rest.empty()) {
        const size_t nl = rest.find('\n');
        std::string entry;
        if (nl != std::string::npos && nl >= 1) {
            entry = rest.substr(0, nl);
            rest.erase(0, nl + 1);
        } else {
            entry.swap(rest);
        }
        out.push_back(TrimSpace(entry));
    }
    return out;
}

// ---- ticked rows

bool CheckedItems::Contains(int item) const {
    if (item < 0) return false;
    return std::find(items_.begin(), items_.end(), static_cast<unsigned>(item)) != items_.end();
}

void CheckedItems::Set(int item, bool on) {
    if (item < 0) return;
    auto it = std::find(items_.begin(), items_.end(), static_cast<unsigned>(item));
    if (on && it == items_.end()) items_.push_back(static_cast<unsigned>(item));
    if (!on && it != items_.end()) items_.erase(it);
}

bool CheckedItems::Toggle(int item) {
    const bool on = !Contains(item);
    Set(item, on);
    return on;
}

void CheckedItems::FillAll(int count) {
    items_.clear();
    for (int i = 0; i < count; ++i) items_.push_back(static_cast<unsigned>(i));
}

// ---- colour records

void ListColorRecords::SetRow(int item, uint32_t back) {
    for (Row& r : rows_)
        if (r.item == item) {
            r.back = back;
            return;
        }
    rows_.push_back({item, back});
}

bool ListColorRecords::GetRow(int item, uint32_t* back) const {
    for (const Row& r : rows_)
        if (r.item == item) {
            if (back) *back = r.back;
            return true;
        }
    return false;
}

void ListColorRecords::SetCell(int item, int column, uint32_t text, uint32_t back) {
    for (Cell& c : cells_)
        if (c.item == item && c.column == column) {
            c.text = text;
            c.back = back;
            return;
        }
    cells_.push_back({item, column, text, back});
}

bool ListColorRecords::GetCell(int item, int column, uint32_t* text, uint32_t* back) const {
    for (const Cell& c : cells_)
        if (c.item == item && c.column == column) {
            if (text) *text = c.text;
            if (back) *back = c.back;
            return true;
        }
    return false;
}

void ListColorRecords::Clear() {
    rows_.clear();
    cells_.clear();
}

}  // namespace skin
