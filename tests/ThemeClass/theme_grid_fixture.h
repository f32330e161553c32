// A grid view for the native tests of the clipboard, sorting and file
// operations: texts measure 7 px a character and 13 px high, the client is
// a size the test sets, and notifications are recorded.
#pragma once

#include <string>
#include <vector>

#include "ThemeClass/ThemeGridView.h"

struct GridNotice {
    int row, col, code;
    bool operator==(const GridNotice& o) const {
        return row == o.row && col == o.col && code == o.code;
    }
};

class FixtureGrid : public CThemeGridView {
public:
    FixtureGrid(int rows, int cols, int fixedRows, int fixedCols) {
        InitCounts(rows, cols, fixedRows, fixedCols);
    }
    // Fills the cells from rows of texts, from (0, 0).
    void Fill(const std::vector<std::vector<std::string>>& texts) {
        for (size_t r = 0; r < texts.size(); ++r)
            for (size_t c = 0; c < texts[r].size(); ++c)
                SetItemText(static_cast<int>(r), static_cast<int>(c), texts[r][c].c_str());
    }
    std::string Text(int row, int col) const {
        return std::string(static_cast<LPCTSTR>(GetItemText(row, col)));
    }
    // A column's texts from the first body row down, joined by "|".
    std::string Column(int col) const {
        std::string s;
        for (int r = GetFixedRowCount(); r < GetRowCount(); ++r) {
            if (!s.empty()) s += '|';
            s += Text(r, col);
        }
        return s;
    }
    void Notify(int row, int col, int code) { notices.push_back({row, col, code}); }

    SIZE client{400, 300};
    std::vector<GridNotice> notices;

protected:
    SIZE MeasureText(const CString& t) const override {
        return SIZE{7 * t.GetLength(), t.IsEmpty() ? 0 : 13};
    }
    SIZE GetClientSize() const override { return client; }
    void NotifyParent(int row, int col, int code) override { Notify(row, col, code); }
};
