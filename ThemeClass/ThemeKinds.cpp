#include "ThemeClass/ThemeKinds.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace skin {

int ClassifyControl(const char* className, uint32_t style) {
    if (!className) return kKindNone;
    if (std::strcmp(className, "Button") == 0) {
        if ((style & 7) == 7) return kKindGroup;
        if ((style & 3) == 3) return kKindCheck;
        if ((style & 9) == 9) return kKindRadio;
        return kKindButton;
    }
    if (std::strcmp(className, "Static") == 0) return (style & 7) == 7 ? kKindPicture : kKindStatic;
    if (std::strcmp(className, "Edit") == 0) return kKindEdit;
    if (std::strcmp(className, "ListBox") == 0) return kKindListBox;
    if (std::strcmp(className, "ComboBox") == 0) return kKindCombo;
    if (std::strstr(className, "_progress")) return kKindProgress;
    if (std::strstr(className, "_trackbar")) return kKindSlider;
    if (std::strstr(className, "SysListView32")) return kKindListCtrl;
    return kKindNone;
}

const char* SkinNameFormat(int kind) {
    static const char* const kFormats[] = {
        "",         "Static%d",  "Group%d", "Btn%d",      "Check%d",    "Radio%d",
        "Edit%d",   "ListBox%d", "Combo%d", "Progress%d", "ListCtrl%d", "Slider%d",
        "Scroll%d", "Picture%d", "Grid%d",  "Menu%d",
    };
    if (kind < 0 || kind > kLastKind) return "";
    return kFormats[kind];
}

std::string MakeSkinName(int kind, int countBefore) {
    const char* fmt = SkinNameFormat(kind);
    if (!*fmt) return std::string();
    char buf[48];
    std::snprintf(buf, sizeof buf, fmt, countBefore);
    return buf;
}

namespace {

constexpr ProfileFile P = ProfileFile::Pos;
constexpr ProfileFile C = ProfileFile::Color;
constexpr ProfileFile T = ProfileFile::Text;
constexpr ProfileFile I = ProfileFile::Image;
constexpr ProfileFile V = ProfileFile::Value;

const SkinKey kStatic[] = {
    {"(ToolTip)", T},
    {"(Pos)", P},
    {"(CaptionArea)", P},
    {"(Caption)", T},
    {"(Back)", C},
    {"(Outline)", C},
    {"(OutlineLT)", C},
    {"(OutlineRB)", C},
    {"(Font)", C},
    {"(Shadow)", C},
    {"(FontSize)", V},
    {"(AlignFormat)", V},
    {"(FontBold)", V},
    {"(BackDrawType)", V},
    {"(BackImageFillType)", V},
    {"(BackImageAlignFormat)", V},
    {"(EdgeRoundValue)", V},
    {"(OutlineThick)", V},
    {"(Visible)", V},
    {"(Back)", I},
};

const SkinKey kButton[] = {
    {"(Pos)", P},
    {"(CaptionArea)", P},
    {"(Caption)", T},
    {"(ToolTip)", T},
    {"(Back)", C},
    {"(Outline)", C},
    {"(OutlineLT)", C},
    {"(OutlineRB)", C},
    {"(Font)", C},
    {"(FontHover)", C},
    {"(FontPressed)", C},
    {"(FontDisabled)", C},
    {"(Shadow)", C},
    {"(ShadowHover)", C},
    {"(ShadowPressed)", C},
    {"(ShadowDisabled)", C},
    {"(FontSize)", V},
    {"(AlignFormat)", V},
    {"(FontBold)", V},
    {"(BackDrawType)", V},
    {"(BackImageFillType)", V},
    {"(BackImageAlignFormat)", V},
    {"(BackImageBlockCount)", V},
    {"(EdgeRoundValue)", V},
    {"(OutlineThick)", V},
    {"(Visible)", V},
    {"(Back)", I},
};

// The check box's list serves the radio button too.
const SkinKey kCheck[] = {
    {"(Pos)", P},
    {"(CaptionArea)", P},
    {"(Caption)", T},
    {"(ToolTip)", T},
    {"(Back)", C},
    {"(Outline)", C},
    {"(OutlineLT)", C},
    {"(OutlineRB)", C},
    {"(Font)", C},
    {"(FontHover)", C},
    {"(FontPressed)", C},
    {"(FontDisabled)", C},
    {"(Shadow)", C},
    {"(ShadowHover)", C},
    {"(ShadowPressed)", C},
    {"(ShadowDisabled)", C},
    {"(Mark)", C},
    {"(FontSize)", V},
    {"(AlignFormat)", V},
    {"(FontBold)", V},
    {"(BackDrawType)", V},
    {"(BackImageFillType)", V},
    {"(BackImageAlignFormat)", V},
    {"(BackImageBlockCount)", V},
    {"(EdgeRoundValue)", V},
    {"(OutlineThick)", V},
    {"(Check)", V},
    {"(PushLike)", V},
    {"(MarkDrawType)", V},
    {"(Visible)", V},
    {"(Back)", I},
    {"(Mark)", I},
};

const SkinKey kEdit[] = {
    {"(Pos)", P},      {"(Text)", T},      {"(ToolTip)", T},      {"(Back)", C},
    {"(Outline)", C},  {"(OutlineLT)", C}, {"(OutlineRB)", C},    {"(Font)", C},
    {"(FontSize)", V}, {"(FontBold)", V},  {"(OutlineThick)", V}, {"(Visible)", V},
};

const SkinKey kListBox[] = {
    {"(Pos)", P},        {"(ToolTip)", T},     {"(Back)", C},         {"(Outline)", C},
    {"(OutlineLT)", C},  {"(OutlineRB)", C},   {"(Font)", C},         {"(FontState1)", C},
    {"(FontState2)", C}, {"(FontState3)", C},  {"(SelectFont)", C},   {"(SelectBack)", C},
    {"(NormalBack)", C}, {"(Normal1Back)", C}, {"(Normal2Back)", C},  {"(Frame)", C},
    {"(FontSize)", V},   {"(AlignFormat)", V}, {"(FontBold)", V},     {"(ItemHeight)", V},
    {"(LeftGap)", V},    {"(RightGap)", V},    {"(OutlineThick)", V}, {"(VScroll)", V},
    {"(Visible)", V},
};

const SkinKey kCombo[] = {
    {"(Pos)", P},           {"(ToolTip)", T},    {"(Back)", C},        {"(Outline)", C},
    {"(OutlineLT)", C},     {"(OutlineRB)", C},  {"(Font)", C},        {"(SelectFont)", C},
    {"(SelectBack)", C},    {"(NormalBack)", C}, {"(Normal1Back)", C}, {"(Normal2Back)", C},
    {"(Frame)", C},         {"(FontSize)", V},   {"(AlignFormat)", V}, {"(FontBold)", V},
    {"(ItemHeight)", V},    {"(LeftGap)", V},    {"(RightGap)", V},    {"(OutlineThick)", V},
    {"(ListBoxHeight)", V}, {"(Visible)", V},    {"(Button)", I},
};

const SkinKey kProgress[] = {
    {"(Pos)", P},
    {"(Bar)", C},
    {"(Bar1)", C},
    {"(Bar2)", C},
    {"(Bar1Up)", C},
    {"(Bar1Down)", C},
    {"(Bar1Outline)", C},
    {"(Bar2Up)", C},
    {"(Bar2Down)", C},
    {"(Bar2Outline)", C},
    {"(Back)", C},
    {"(Outline)", C},
    {"(OutlineLT)", C},
    {"(OutlineRB)", C},
    {"(Font)", C},
    {"(Shadow)", C},
    {"(TextUnit)", T},
    {"(ToolTip)", T},
    {"(ColorChangePercent)", V},
    {"(Gradient)", V},
    {"(OutlineThick)", V},
    {"(RangeMin)", V},
    {"(RangeMax)", V},
    {"(Pos)", V},
    {"(DrawText)", V},
    {"(FontSize)", V},
    {"(FontBold)", V},
    {"(Visible)", V},
};

const SkinKey kListCtrl[] = {
    {"(Pos)", P},         {"(ToolTip)", T},     {"(Back)", C},        {"(Frame)", C},
    {"(ItemFrame)", C},   {"(HeadBack)", C},    {"(HeadFont)", C},    {"(HeadFrame)", C},
    {"(Font)", C},        {"(NormalFont)", C},  {"(NormalBack)", C},  {"(Normal1Font)", C},
    {"(Normal1Back)", C}, {"(Normal2Font)", C}, {"(Normal2Back)", C}, {"(SelectBack)", C},
    {"(SelectFont)", C},  {"(CheckBoxOn)", V},  {"(FontSize)", V},    {"(HeadCheckBoxOn)", V},
    {"(ItemHeight)", V},  {"(EditDblClk)", V},  {"(SortType)", V},    {"(Visible)", V},
    {"(Check)", I},       {"(CheckBox)", I},
};

const SkinKey kSlider[] = {
    {"(Pos)", P},
    {"(ToolTip)", T},
    {"(Back)", C},
    {"(Outline)", C},
    {"(OutlineLT)", C},
    {"(OutlineRB)", C},
    {"(Vertical)", V},
    {"(BackDrawType)", V},
    {"(BackImageFillType)", V},
    {"(BackImageAlignFormat)", V},
    {"(EdgeRoundValue)", V},
    {"(OutlineThick)", V},
    {"(AutoToolTip)", V},
    {"(BarImageBlockCount)", V},
    {"(RangeMin)", V},
    {"(RangeMax)", V},
    {"(Pos)", V},
    {"(PageUnit)", V},
    {"(Visible)", V},
    {"(Back)", I},
    {"(Bar)", I},
};

const SkinKey kScroll[] = {
    {"(Pos)", P},
    {"(ToolTip)", T},
    {"(Back)", C},
    {"(Outline)", C},
    {"(OutlineLT)", C},
    {"(OutlineRB)", C},
    {"(Vertical)", V},
    {"(BackDrawType)", V},
    {"(BackImageFillType)", V},
    {"(BackImageAlignFormat)", V},
    {"(EdgeRoundValue)", V},
    {"(OutlineThick)", V},
    {"(AutoToolTip)", V},
    {"(BarImageBlockCount)", V},
    {"(RangeMin)", V},
    {"(RangeMax)", V},
    {"(Pos)", V},
    {"(PageUnit)", V},
    {"(LineUnit)", V},
    {"(PrevImageBlockCount)", V},
    {"(NextImageBlockCount)", V},
    {"(Visible)", V},
    {"(Back)", I},
    {"(Bar)", I},
    {"(Prev)", I},
    {"(Next)", I},
};

const SkinKey kPicture[] = {
    {"(Pos)", P},
    {"(CaptionArea)", P},
    {"(Caption)", T},
    {"(ToolTip)", T},
    {"(Back)", C},
    {"(Font)", C},
    {"(Shadow)", C},
    {"(FontSize)", V},
    {"(AlignFormat)", V},
    {"(FontBold)", V},
    {"(BackImageFillType)", V},
    {"(BackImageAlignFormat)", V},
    {"(Visible)", V},
    {"(Back)", I},
};

const SkinKey kMenu[] = {
    {"(Pos)", P},         {"(Back)", C},         {"(Font)", C},           {"(FontEnable)", C},
    {"(FontDisable)", C}, {"(NormalBack)", C},   {"(HoverBack)", C},      {"(PressedBack)", C},
    {"(Outline)", C},     {"(OutlineLT)", C},    {"(OutlineRB)", C},      {"(BackThick)", V},
    {"(FontSize)", V},    {"(ItemHeight)", V},   {"(ItemImageCount)", V}, {"(LeftGap)", V},
    {"(RightGap)", V},    {"(OutlineThick)", V}, {"(SeperateHeight)", V}, {"(Transparent)", V},
    {"(Item)", I},        {"(Seperate)", I},
};

const SkinKey kDialog[] = {
    {"Dlg(Child)", V},         {"Dlg(Pos)", P},
    {"Dlg(CaptionArea)", P},   {"Dlg(Caption)", T},
    {"Dlg(ToolTip)", T},       {"Dlg(Back)", C},
    {"Dlg(Font)", C},          {"Dlg(Shadow)", C},
    {"Dlg(Transparent)", C},   {"Dlg(AlignFormat)", V},
    {"Dlg(BackDrawType)", V},  {"Dlg(BackImageFillType)", V},
    {"Dlg(FontSize)", V},      {"Dlg(FontBold)", V},
    {"Dlg(Transparent)", V},   {"Dlg(Resize)", V},
    {"Dlg(MouseDragMove)", V}, {"Dlg(MinWidth)", V},
    {"Dlg(MinHeight)", V},     {"Dlg(MaxWidth)", V},
    {"Dlg(MaxHeight)", V},     {"Dlg(TransparentByColor)", V},
    {"Dlg(Back)", I},          {"Dlg(BackOnFocus)", I},
    {"Dlg(BackKillFocus)", I},
};

template <size_t N>
SkinKeyList ListOf(const SkinKey (&keys)[N]) {
    return SkinKeyList{keys, static_cast<int>(N)};
}

}  // namespace

SkinKeyList KeyListOf(int kind) {
    switch (kind) {
        case kKindStatic: return ListOf(kStatic);
        // The group box reads the label's keys but its tip.
        case kKindGroup: return SkinKeyList{kStatic + 1, static_cast<int>(std::size(kStatic)) - 1};
        case kKindButton: return ListOf(kButton);
        case kKindCheck:
        case kKindRadio: return ListOf(kCheck);
        case kKindEdit: return ListOf(kEdit);
        case kKindListBox: return ListOf(kListBox);
        case kKindCombo: return ListOf(kCombo);
        case kKindProgress: return ListOf(kProgress);
        case kKindListCtrl: return ListOf(kListCtrl);
        case kKindSlider: return ListOf(kSlider);
        case kKindScroll: return ListOf(kScroll);
        case kKindPicture: return ListOf(kPicture);
        case kKindMenu: return ListOf(kMenu);
        default: return SkinKeyList{};
    }
}

SkinKeyList DialogKeyList() { return ListOf(kDialog); }

}  // namespace skin
