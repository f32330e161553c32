// Printed pages: the logical page over the paper, the page count, the rows
// of each page (a row taller than a page still prints, no page is empty),
// the titles-only page and the footer text.
#include "ThemeClass/ThemeGridPages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Characters 10 x 20; paper 1000 x 1500; grid 920 wide: the logical page is
// 1000 x 1500, and with 60 px of fixed rows the rows get
// 1500 - 60 - 6 * 20 = 1320 px.
const SIZE kChar{10, 20};
const SIZE kPaper{1000, 1500};

std::string Pages(const GridPageLayout& l, int bodyRows) {
    std::string s;
    for (int p = 1; p <= l.pageCount; ++p) {
        int first, end;
        GridPageRows(l, p, bodyRows, &first, &end);
        s += "[" + std::to_string(first) + "," + std::to_string(end) + ")";
    }
    return s;
}

TEST(GridPages, PageCountAndRows) {
    struct Case {
        const char* name;
        std::vector<int> rows;
        int count;
        const char* pages;
    };
    const Case cases[] = {
        {"exact fill", {660, 660}, 1, "[0,2)"},
        {"one pixel more", {660, 661}, 2, "[0,1)[1,2)"},
        {"three pages", {700, 700, 700}, 3, "[0,1)[1,2)[2,3)"},
        {"many small rows", std::vector<int>(100, 30), 3, "[0,44)[44,88)[88,100)"},
        {"a row taller than a page", {100, 2000, 100}, 3, "[0,1)[1,2)[2,3)"},
        {"a tall first row", {5000, 100}, 2, "[0,1)[1,2)"},
        {"a tall only row", {5000}, 1, "[0,1)"},
        {"no body rows: titles alone", {}, 1, "[0,0)"},
    };
    for (const Case& k : cases) {
        const GridPageLayout l = GridLayoutPages(k.rows, 60, 920, kChar, kPaper);
        EXPECT_EQ(1320, l.rowsHeight) << k.name;
        EXPECT_EQ(k.count, l.pageCount) << k.name;
        EXPECT_EQ(k.pages, Pages(l, static_cast<int>(k.rows.size()))) << k.name;
    }
}

// The grid's width plus the two margins spans the paper's width, whatever
// the grid's width; the height keeps the paper's proportions.
TEST(GridPages, WidthFitsThePaper) {
    struct Case {
        long width;
        SIZE paper;
        SIZE logical;
    };
    const Case cases[] = {
        {920, {1000, 1500}, {1000, 1500}},
        {120, {4960, 7016}, {200, 283}},   // 200 * 7016 / 4960 = 282.9
        {5000, {2480, 3508}, {5080, 7186}},  // 5080 * 3508 / 2480 = 7185.6
        {0, {600, 600}, {80, 80}},
    };
    for (const Case& k : cases) {
        const GridPageLayout l = GridLayoutPages({10}, 0, k.width, kChar, k.paper);
        EXPECT_EQ(k.logical.cx, l.logical.cx) << k.width;
        EXPECT_EQ(k.logical.cy, l.logical.cy) << k.width;
        // The mapping from logical to paper pixels takes the logical width
        // onto the paper width exactly.
        EXPECT_EQ(k.paper.cx, GridMulDiv(l.logical.cx, k.paper.cx, l.logical.cx)) << k.width;
    }
}

TEST(GridPages, MulDivRounds) {
    struct Case {
        long a, b, c, want;
    };
    const Case cases[] = {{7, 1, 2, 4}, {5, 1, 2, 3}, {-5, 1, 2, -3}, {4, 1, 3, 1},
                          {1, 1, 0, 0}, {200000, 300000, 100000, 600000}};
    for (const Case& k : cases) EXPECT_EQ(k.want, GridMulDiv(k.a, k.b, k.c)) << k.a;
}

TEST(GridPages, FooterText) {
    EXPECT_STREQ("Page 2 of 3", GridPageFooterText(2, 3));
    EXPECT_STREQ("Page 10 of 12", GridPageFooterText(10, 12));
}

}  // namespace
