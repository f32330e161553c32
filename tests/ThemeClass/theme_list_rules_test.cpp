#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "ThemeClass/ThemeListRules.h"

using skin::CheckedItems;
using skin::ListColorRecords;
using skin::ListColors;

TEST(ListRules, ItemFromY) {
    struct Case {
        const char* name;
        int y, itemHeight, top, count;
        int want;
    };
    const Case cases[] = {
        {"inside the header band", 19, 17, 0, 10, -1},
        {"first pixel of row 0 at 17 px", 20, 17, 0, 10, 0},
        {"last pixel of row 0 at 17 px", 36, 17, 0, 10, 0},
        {"first pixel of row 1 at 17 px", 37, 17, 0, 10, 1},
        {"first pixel of row 0 at 22 px", 25, 22, 0, 10, 0},
        {"last pixel of row 0 at 22 px", 46, 22, 0, 10, 0},
        {"row 3 at 22 px", 25 + 3 * 22, 22, 0, 10, 3},
        {"scrolled by the top index", 25 + 22, 22, 5, 10, 6},
        {"below the last row", 20 + 17 * 3, 17, 0, 3, -1},
        {"empty list", 30, 17, 0, 0, -1},
        {"negative y", -5, 17, 0, 10, -1},
        {"item height 0 does not divide", 40, 0, 0, 10, -1},
        {"huge y", INT_MAX, 17, 0, 10, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::ListItemFromY(c.y, c.itemHeight, c.top, c.count)) << c.name;
}

TEST(ListRules, ColumnFromXListAndHeaderRules) {
    const std::vector<int> widths = {100, 50, 80};
    struct Case {
        const char* name;
        int x;
        int wantList;
        int wantHeader;
    };
    const Case cases[] = {
        {"left edge", 0, 0, 0},
        {"inside column 0", 50, 0, 0},
        {"on column 0's right border", 100, 1, 0},
        {"first pixel of column 1", 101, 1, 1},
        {"on column 1's right border", 150, 2, 1},
        {"last pixel of the last column", 229, 2, 2},
        {"on the last border", 230, -1, 2},
        {"beyond the last column", 231, -1, -1},
        {"left of the list", -1, -1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.wantList, skin::ListColumnFromX(c.x, widths)) << c.name;
        EXPECT_EQ(c.wantHeader, skin::HeaderColumnFromX(c.x, widths)) << c.name;
    }
    EXPECT_EQ(-1, skin::ListColumnFromX(0, {})) << "no columns";
    EXPECT_EQ(-1, skin::HeaderColumnFromX(5, {})) << "no columns";
}

TEST(ListRules, RowLook) {
    ListColors colors;  // the control's defaults
    colors.normal1Font = 0x111111;
    colors.normal2Font = 0x222222;
    colors.selectFont = 0x333333;
    struct Case {
        const char* name;
        int item;
        bool selected;
        bool hasRow;
        uint32_t rowBack;
        uint32_t wantBack;
        uint32_t wantText;
    };
    const Case cases[] = {
        {"even row", 0, false, false, 0, 0xFFFFFF, 0x111111},
        {"odd row", 1, false, false, 0, 0xFFE6D2, 0x222222},
        {"even row far down", 2046, false, false, 0, 0xFFFFFF, 0x111111},
        {"selected even row", 4, true, false, 0, 0xCC9933, 0x333333},
        {"selected odd row", 5, true, false, 0, 0xCC9933, 0x333333},
        {"row record on an odd row", 3, false, true, 0x00FF00, 0x00FF00, 0x222222},
        {"row record beats the selection back, not its text", 3, true, true, 0x00FF00, 0x00FF00,
         0x333333},
        {"row record of black", 2, false, true, 0, 0, 0x111111},
    };
    for (const Case& c : cases) {
        const skin::RowLook look =
            skin::ChooseRowLook(colors, c.item, c.selected, c.hasRow, c.rowBack);
        EXPECT_EQ(c.wantBack, look.back) << c.name;
        EXPECT_EQ(c.wantText, look.text) << c.name;
    }
}

TEST(ListRules, DropListOptions) {
    using V = std::vector<std::string>;
    struct Case {
        const char* name;
        std::string options;
        V want;
    };
    const Case cases[] = {
        {"three entries with an empty line", "a\nb\n\nc", V{"a", "b", "c"}},
        {"leading newline makes one entry", "\nx", V{"x"}},
        {"empty", "", V{}},
        {"one entry", "only", V{"only"}},
        {"trailing newline adds nothing", "a\nb\n", V{"a", "b"}},
        {"entries are trimmed", "  one \t\n\ttwo  ", V{"one", "two"}},
        {"Windows line ends", "a\r\nb\r\n", V{"a", "b"}},
        {"a blank line between entries stays an empty entry", "a\n \nb", V{"a", "", "b"}},
        {"Korean entries pass byte for byte", "\xB0\xED\n\xC1\xDF", V{"\xB0\xED", "\xC1\xDF"}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::ParseDropListOptions(c.options)) << c.name;
}

TEST(ListRules, CheckedItemsKeepTheirOrder) {
    struct Step {
        const char* name;
        char op;  // t toggle, s set, c clear set, f fill
        int item;
        std::vector<unsigned> want;
    };
    const Step steps[] = {
        {"tick 3", 't', 3, {3}},
        {"tick 1", 't', 1, {3, 1}},
        {"tick 7", 't', 7, {3, 1, 7}},
        {"untick 1 keeps the others in order", 't', 1, {3, 7}},
        {"set an already ticked row", 's', 3, {3, 7}},
        {"clear a row that is not ticked", 'c', 9, {3, 7}},
        {"negative rows are never ticked", 's', -1, {3, 7}},
        {"clear 3", 'c', 3, {7}},
        {"fill all of 4", 'f', 4, {0, 1, 2, 3}},
        {"fill all of 0", 'f', 0, {}},
    };
    CheckedItems checked;
    for (const Step& s : steps) {
        switch (s.op) {
            case 't': checked.Toggle(s.item); break;
            case 's': checked.Set(s.item, true); break;
            case 'c': checked.Set(s.item, false); break;
            case 'f': checked.FillAll(s.item); break;
        }
        EXPECT_EQ(s.want, checked.Items()) << s.name;
    }
    EXPECT_FALSE(checked.Contains(-1));
}

TEST(ListRules, ColourRecordsOnePerRowAndCell) {
    ListColorRecords rec;
    uint32_t text = 0, back = 0;
    EXPECT_FALSE(rec.GetRow(0, &back));
    rec.SetRow(4, 0x0000FF);
    rec.SetRow(4, 0x00FF00);
    rec.SetRow(2, 0xFF0000);
    EXPECT_EQ(2u, rec.RowCount()) << "setting again replaces";
    ASSERT_TRUE(rec.GetRow(4, &back));
    EXPECT_EQ(0x00FF00u, back);

    rec.SetCell(1, 2, 0x123456, 0);
    rec.SetCell(1, 2, 0x654321, 0x0000FF);
    rec.SetCell(1, 3, 0x111111, 0);
    EXPECT_EQ(2u, rec.CellCount());
    ASSERT_TRUE(rec.GetCell(1, 2, &text, &back));
    EXPECT_EQ(0x654321u, text);
    EXPECT_EQ(0x0000FFu, back);
    EXPECT_FALSE(rec.GetCell(2, 1, &text, &back)) << "item and column are not interchangeable";
    rec.Clear();
    EXPECT_FALSE(rec.GetRow(4, &back));
    EXPECT_FALSE(rec.GetCell(1, 3, &text, &back));
}
