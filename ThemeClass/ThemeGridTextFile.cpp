#include "ThemeClass/ThemeGridTextFile.h"

#include <cstring>

std::string GridFormatTextFile(const CThemeGridModel& grid) {
    std::string out;
    for (int r = 0; r < grid.GetRowCount(); ++r) {
        for (int c = 0; c < grid.GetColumnCount(); ++c) {
            const CString text = grid.GetCellText(r, c);
            out.append(static_cast<LPCTSTR>(text), static_cast<size_t>(text.GetLength()));
            out += c + 1 < grid.GetColumnCount() ? "," : "\r\n";
        }
    }
    return out;
}

std::vector<CString> GridSplitTextLine(const char* line, size_t size) {
    if (size > 0 && line[size - 1] == '\n') --size;
    if (size > 0 && line[size - 1] == '\r') --size;
    std::vector<CString> fields;
    size_t start = 0;
    for (;;) {
        const void* comma = std::memchr(line + start, ',', size - start);
        const size_t end = comma ? static_cast<size_t>(static_cast<const char*>(comma) - line) : size;
        fields.emplace_back(CString(line + start, static_cast<int>(end - start)));
        if (!comma) break;
        start = end + 1;
    }
    return fields;
}

std::vector<std::vector<CString>> GridParseTextFile(const char* data, size_t size) {
    std::vector<std::vector<CString>> lines;
    size_t start = 0;
    while (start < size) {
        const void* nl = std::memchr(data + start, '\n', size - start);
        const size_t end = nl ? static_cast<size_t>(static_cast<const char*>(nl) - data) + 1 : size;
        lines.push_back(GridSplitTextLine(data + start, end - start));
        start = end;
    }
    return lines;
}

void GridBuildFromText(CThemeGridModel& grid, const std::vector<std::vector<CString>>& lines) {
    grid.DeleteAllItems();
    if (lines.empty()) return;
    for (const CString& heading : lines[0]) grid.InsertColumn(heading, GRID_DEFAULT_FORMAT);
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<CString>& fields = lines[i];
        const int row = grid.InsertRow(fields.empty() ? "" : static_cast<LPCTSTR>(fields[0]));
        if (row < 0) continue;
        for (size_t j = 1; j < fields.size() && static_cast<int>(j) < grid.GetColumnCount(); ++j)
            grid.SetItemText(row, static_cast<int>(j), fields[j]);
    }
    grid.FitColumnsToText();
}
