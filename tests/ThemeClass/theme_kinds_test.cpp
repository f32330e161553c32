#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ThemeClass/ThemeKinds.h"

using skin::ProfileFile;

TEST(ClassifyControl, Table) {
    struct Case {
        const char* name;
        const char* cls;
        uint32_t style;
        int kind;
    };
    const Case cases[] = {
        {"push button", "Button", 0x0, skin::kKindButton},
        {"default push button", "Button", 0x1, skin::kKindButton},
        {"plain check box", "Button", 0x2, skin::kKindButton},
        {"auto check box", "Button", 0x3, skin::kKindCheck},
        {"plain radio", "Button", 0x4, skin::kKindButton},
        {"three-state", "Button", 0x5, skin::kKindButton},
        {"auto three-state", "Button", 0x6, skin::kKindButton},
        {"group box", "Button", 0x7, skin::kKindGroup},
        {"auto radio", "Button", 0x9, skin::kKindRadio},
        {"owner-drawn", "Button", 0xB, skin::kKindCheck},
        {"group box with other bits", "Button", 0x50010007, skin::kKindGroup},
        {"button letter case differs", "BUTTON", 0x0, skin::kKindNone},
        {"left text", "Static", 0x0, skin::kKindStatic},
        {"icon static", "Static", 0x3, skin::kKindStatic},
        {"bitmap static", "Static", 0xE, skin::kKindStatic},
        {"black frame", "Static", 0x7, skin::kKindPicture},
        {"enhanced metafile", "Static", 0xF, skin::kKindPicture},
        {"edit", "Edit", 0x80, skin::kKindEdit},
        {"list box", "ListBox", 0x0, skin::kKindListBox},
        {"combo box", "ComboBox", 0x3, skin::kKindCombo},
        {"progress", "msctls_progress32", 0x0, skin::kKindProgress},
        {"track bar", "msctls_trackbar32", 0x0, skin::kKindSlider},
        {"list view", "SysListView32", 0x1, skin::kKindListCtrl},
        {"scroll bar is not replaced", "ScrollBar", 0x0, skin::kKindNone},
        {"unknown", "RichEdit20A", 0x0, skin::kKindNone},
        {"empty", "", 0x0, skin::kKindNone},
        {"null", nullptr, 0x0, skin::kKindNone},
        {"edit as substring only", "MyEdit", 0x0, skin::kKindNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.kind, skin::ClassifyControl(c.cls, c.style)) << c.name;
    }
}

TEST(MakeSkinName, FormatsPerKind) {
    EXPECT_EQ("Btn0", skin::MakeSkinName(skin::kKindButton, 0));
    EXPECT_EQ("Btn2", skin::MakeSkinName(skin::kKindButton, 2));
    EXPECT_EQ("Static0", skin::MakeSkinName(skin::kKindStatic, 0));
    EXPECT_EQ("ListCtrl3", skin::MakeSkinName(skin::kKindListCtrl, 3));
    EXPECT_EQ("Menu1", skin::MakeSkinName(skin::kKindMenu, 1));
    EXPECT_EQ("", skin::MakeSkinName(skin::kKindNone, 0));
    EXPECT_EQ("", skin::MakeSkinName(99, 0));
    // Every kind has its own prefix.
    std::set<std::string> seen;
    for (int k = skin::kFirstKind; k <= skin::kLastKind; ++k)
        EXPECT_TRUE(seen.insert(skin::SkinNameFormat(k)).second) << k;
}

namespace {
int IndexOf(const skin::SkinKeyList& l, const std::string& prop, ProfileFile f) {
    for (int i = 0; i < l.count; ++i)
        if (prop == l.keys[i].property && l.keys[i].file == f) return i;
    return -1;
}
}  // namespace

TEST(KeyLists, CountsPerKind) {
    struct Case {
        int kind;
        int count;
    };
    const Case cases[] = {
        {skin::kKindStatic, 20},   {skin::kKindGroup, 19},  {skin::kKindButton, 27},
        {skin::kKindCheck, 32},    {skin::kKindRadio, 32},  {skin::kKindEdit, 12},
        {skin::kKindListBox, 25},  {skin::kKindCombo, 23},  {skin::kKindProgress, 28},
        {skin::kKindListCtrl, 26}, {skin::kKindSlider, 21}, {skin::kKindScroll, 26},
        {skin::kKindPicture, 14},  {skin::kKindMenu, 22},   {skin::kKindNone, 0},
        {skin::kKindGrid, 28},
    };
    for (const Case& c : cases) EXPECT_EQ(c.count, skin::KeyListOf(c.kind).count) << c.kind;
    EXPECT_EQ(25, skin::DialogKeyList().count);
}

TEST(KeyLists, OrderRules) {
    using skin::KeyListOf;
    // The label reads its tip first; everyone else starts with the position.
    EXPECT_EQ(0, IndexOf(KeyListOf(skin::kKindStatic), "(ToolTip)", ProfileFile::Text));
    EXPECT_EQ(1, IndexOf(KeyListOf(skin::kKindStatic), "(Pos)", ProfileFile::Pos));
    for (int k : {skin::kKindGroup, skin::kKindButton, skin::kKindCheck, skin::kKindEdit,
                  skin::kKindListBox, skin::kKindCombo, skin::kKindProgress, skin::kKindListCtrl,
                  skin::kKindSlider, skin::kKindScroll, skin::kKindPicture, skin::kKindMenu,
                  skin::kKindGrid})
        EXPECT_EQ(0, IndexOf(KeyListOf(k), "(Pos)", ProfileFile::Pos)) << k;
    // (Check) then (CheckBox): the later one wins.
    const auto lc = KeyListOf(skin::kKindListCtrl);
    EXPECT_LT(IndexOf(lc, "(Check)", ProfileFile::Image),
              IndexOf(lc, "(CheckBox)", ProfileFile::Image));
    // The grid: (Font) then (NormalFont) into one setter, (Check) then
    // (CheckBox); the row count is read before the default row height gives
    // every row its height.
    const auto gr = KeyListOf(skin::kKindGrid);
    EXPECT_LT(IndexOf(gr, "(Font)", ProfileFile::Color),
              IndexOf(gr, "(NormalFont)", ProfileFile::Color));
    EXPECT_LT(IndexOf(gr, "(Check)", ProfileFile::Image),
              IndexOf(gr, "(CheckBox)", ProfileFile::Image));
    EXPECT_LT(IndexOf(gr, "(RowCount)", ProfileFile::Value),
              IndexOf(gr, "(CellHeight)", ProfileFile::Value));
    EXPECT_LT(IndexOf(gr, "(ColCount)", ProfileFile::Value),
              IndexOf(gr, "(CellWidth)", ProfileFile::Value));
    // The progress bar's (Pos) from both files: rectangle first, value later.
    const auto pr = KeyListOf(skin::kKindProgress);
    EXPECT_LT(IndexOf(pr, "(Pos)", ProfileFile::Pos), IndexOf(pr, "(Pos)", ProfileFile::Value));
    // Colour states after the four-state colour.
    const auto bt = KeyListOf(skin::kKindButton);
    EXPECT_LT(IndexOf(bt, "(Font)", ProfileFile::Color),
              IndexOf(bt, "(FontHover)", ProfileFile::Color));
    EXPECT_LT(IndexOf(bt, "(Outline)", ProfileFile::Color),
              IndexOf(bt, "(OutlineLT)", ProfileFile::Color));
    // Images last, (Visible) last of the values (the menu has none).
    for (int k = skin::kFirstKind; k <= skin::kLastKind; ++k) {
        const auto l = KeyListOf(k);
        bool imagesStarted = false;
        for (int i = 0; i < l.count; ++i) {
            if (l.keys[i].file == ProfileFile::Image)
                imagesStarted = true;
            else
                EXPECT_FALSE(imagesStarted) << k << " " << l.keys[i].property;
        }
        const int vis = IndexOf(l, "(Visible)", ProfileFile::Value);
        if (k == skin::kKindMenu || l.count == 0) {
            EXPECT_EQ(-1, vis);
            continue;
        }
        for (int i = vis + 1; i < l.count; ++i) EXPECT_EQ(ProfileFile::Image, l.keys[i].file) << k;
    }
    // The dialog: Child before Pos; Back colour before the images.
    const auto d = skin::DialogKeyList();
    EXPECT_EQ(0, IndexOf(d, "Dlg(Child)", ProfileFile::Value));
    EXPECT_EQ(1, IndexOf(d, "Dlg(Pos)", ProfileFile::Pos));
    EXPECT_LT(IndexOf(d, "Dlg(Back)", ProfileFile::Image),
              IndexOf(d, "Dlg(BackOnFocus)", ProfileFile::Image));
}
