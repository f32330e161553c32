// The grid's text file: the bytes written (CR LF line ends), the splitting
// of lines into fields, and the rebuilt grid.
#include "ThemeClass/ThemeGridTextFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "theme_grid_fixture.h"

namespace {

std::string Fields(const std::vector<CString>& f) {
    std::string s;
    for (size_t i = 0; i < f.size(); ++i) s += (i ? "|" : "") + std::string(f[i]);
    return s;
}

std::string Grid(const CThemeGridModel& g) {
    std::string s;
    for (int r = 0; r < g.GetRowCount(); ++r) {
        s += '[';
        for (int c = 0; c < g.GetColumnCount(); ++c)
            s += (c ? "|" : "") + std::string(g.GetItemText(r, c));
        s += ']';
    }
    return s;
}

TEST(GridTextFile, Format) {
    FixtureGrid g(3, 3, 1, 1);
    g.Fill({{"h1", "h2", "h3"}, {"a", "", "c"}, {"d", "e", ""}});
    EXPECT_EQ("h1,h2,h3\r\na,,c\r\nd,e,\r\n", GridFormatTextFile(g));
    FixtureGrid empty(0, 0, 0, 0);
    EXPECT_EQ("", GridFormatTextFile(empty));
}

TEST(GridTextFile, SplitLine) {
    struct Case {
        const char* name;
        std::string line;
        const char* fields;
        size_t count;
    };
    const Case cases[] = {
        {"plain", "a,b,c\r\n", "a|b|c", 3},
        {"trailing comma gives an empty field", "a,b,\n", "a|b|", 3},
        {"trailing comma at the end of the file", "a,b,", "a|b|", 3},
        {"empty fields kept", ",,x", "||x", 3},
        {"empty line", "\r\n", "", 1},
        {"a lone CR stays in the text", "a\rb\n", "a\rb", 1},
    };
    for (const Case& k : cases) {
        const std::vector<CString> f = GridSplitTextLine(k.line.data(), k.line.size());
        EXPECT_EQ(k.fields, Fields(f)) << k.name;
        EXPECT_EQ(k.count, f.size()) << k.name;
    }
}

TEST(GridTextFile, Build) {
    struct Case {
        const char* name;
        std::string file;
        const char* grid;
        int cols;
    };
    const Case cases[] = {
        {"3 columns, 2 rows", "A,B,C\r\n1,2,3\r\nx,,z\r\n", "[A|B|C][1|2|3][x||z]", 3},
        {"extra fields dropped", "A,B\r\n1,2,3,4\r\n", "[A|B][1|2]", 2},
        {"short line leaves cells empty", "A,B,C\r\n1\r\n", "[A|B|C][1||]", 3},
        {"trailing comma: empty last heading", "A,B,\r\nx,y,z\r\n", "[A|B|][x|y|z]", 3},
        {"LF only and no final line end", "A,B\n1,2", "[A|B][1|2]", 2},
        {"a text with a comma splits", "A,B\r\nx,y\r\n", "[A|B][x|y]", 2},
        {"empty file", "", "", 0},
    };
    for (const Case& k : cases) {
        FixtureGrid g(2, 2, 1, 1);
        g.Fill({{"old", "old"}, {"old", "old"}});
        GridBuildFromText(g, GridParseTextFile(k.file.data(), k.file.size()));
        EXPECT_EQ(k.grid, Grid(g)) << k.name;
        EXPECT_EQ(k.cols, g.GetColumnCount()) << k.name;
        EXPECT_EQ(0, g.GetFixedRowCount()) << k.name;
    }
}

// Save then load: the same texts in the same cells, widths from the texts.
TEST(GridTextFile, RoundTrip) {
    struct Case {
        const char* name;
        int rows, cols;
        std::string longText;  // put into (1, 1) when not empty
    };
    const Case cases[] = {
        {"3 columns, 2 body rows", 3, 3, ""},
        {"a 5000-character line", 2, 2, std::string(5000, 'q')},
        {"a 1023-character text at a piece boundary", 2, 3, std::string(1023, 'w')},
    };
    for (const Case& k : cases) {
        FixtureGrid g(k.rows, k.cols, 1, 0);
        for (int r = 0; r < k.rows; ++r)
            for (int c = 0; c < k.cols; ++c)
                g.SetItemText(r, c, ("t" + std::to_string(r) + std::to_string(c)).c_str());
        if (!k.longText.empty()) g.SetItemText(1, 1, k.longText.c_str());
        const std::string bytes = GridFormatTextFile(g);
        FixtureGrid back(0, 0, 0, 0);
        GridBuildFromText(back, GridParseTextFile(bytes.data(), bytes.size()));
        EXPECT_EQ(Grid(g), Grid(back)) << k.name;
        EXPECT_EQ(k.rows, back.GetRowCount()) << k.name;
        for (int c = 0; c < k.cols; ++c) {
            int widest = 0;
            for (int r = 0; r < k.rows; ++r)
                widest = std::max(widest, 7 * g.GetItemText(r, c).GetLength());
            EXPECT_EQ(widest, back.GetColumnWidth(c)) << k.name << " column " << c;
        }
    }
}

}  // namespace
