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

// Keys that many kinds read, written once: the placement, tip and
// visibility every kind has, and the common colour and font keys.
constexpr SkinKey kPos{"(Pos)", P};
constexpr SkinKey kToolTip{"(ToolTip)", T};
constexpr SkinKey kVisible{"(Visible)", V};
constexpr SkinKey kBackColor{"(Back)", C};
constexpr SkinKey kOutline{"(Outline)", C};
constexpr SkinKey kOutlineLT{"(OutlineLT)", C};
constexpr SkinKey kOutlineRB{"(OutlineRB)", C};
constexpr SkinKey kFont{"(Font)", C};
constexpr SkinKey kFontSize{"(FontSize)", V};
constexpr SkinKey kFontBold{"(FontBold)", V};
constexpr SkinKey kOutlineThick{"(OutlineThick)", V};

const SkinKey kStatic[] = {
    kToolTip,
    kPos,
    {"(CaptionArea)", P},
    {"(Caption)", T},
    kBackColor,
    kOutline,
    kOutlineLT,
    kOutlineRB,
    kFont,
    {"(Shadow)", C},
    kFontSize,
    {"(AlignFormat)", V},
    kFontBold,
    {"(BackDrawType)", V},
    {"(BackImageFillType)", V},
    {"(BackImageAlignFormat)", V},
    {"(EdgeRoundValue)", V},
    kOutlineThick,
    kVisible,
    {"(Back)", I},
};

const SkinKey kButton[] = {
    kPos,
    {"(CaptionArea)", P},
    {"(Caption)", T},
    kToolTip,
    kBackColor,
    kOutline,
    kOutlineLT,
    kOutlineRB,
    kFont,
    {"(FontHover)", C},
    {"(FontPressed)", C},
    {"(FontDisabled)", C},
    {"(Shadow)", C},
    {"(ShadowHover)", C},
    {"(ShadowPressed)", C},
    {"(ShadowDisabled)", C},
    kFontSize,
    {"(AlignFormat)", V},
    kFontBold,
    {"(BackDrawType)", V},
    {"(BackImageFillType)", V},
    {"(BackImageAlignFormat)", V},
    {"(BackImageBlockCount)", V},
    {"(EdgeRoundValue)", V},
    kOutlineThick,
    kVisible,
    {"(Back)", I},
};

// The check box's list serves the radio button too.
const SkinKey kCheck[] = {
    kPos,
    {"(CaptionArea)", P},
    {"(Caption)", T},
    kToolTip,
    kBackColor,
    kOutline,
    kOutlineLT,
    kOutlineRB,
    kFont,
    {"(FontHover)", C},
    {"(FontPressed)", C},
    {"(FontDisabled)", C},
    {"(Shadow)", C},
    {"(ShadowHover)", C},
    {"(ShadowPressed)", C},
    {"(ShadowDisabled)", C},
    {"(Mark)", C},
    kFontSize,
    {"(AlignFormat)", V},
    kFontBold,
    {"(BackDrawType)", V},
    {"(BackImageFillType)", V},
    {"(BackImageAlignFormat)", V},
    {"(BackImageBlockCount)", V},
    {"(EdgeRoundValue)", V},
    kOutlineThick,
    {"(Check)", V},
    {"(PushLike)", V},
    {"(MarkDrawType)", V},
    kVisible,
    {"(Back)", I},
    {"(Mark)", I},
};

const SkinKey kEdit[] = {
    kPos,       {"(Text)", T}, kToolTip,  kBackColor, kOutline,      kOutlineLT,
    kOutlineRB, kFont,         kFontSize, kFontBold,  kOutlineThick, kVisible,
};

const SkinKey kListBox[] = {
    kPos,
    kToolTip,
    kBackColor,
    kOutline,
    kOutlineLT,
    kOutlineRB,
    kFont,
    {"(FontState1)", C},
    {"(FontState2)", C},
    {"(FontState3)", C},
    {"(SelectFont)", C},
    {"(SelectBack)", C},
    {"(NormalBack)", C},
    {"(Normal1Back)", C},
    {"(Normal2Back)", C},
    {"(Frame)", C},
    kFontSize,
    {"(AlignFormat)", V},
    kFontBold,
    {"(ItemHeight)", V},
    {"(LeftGap)", V},
    {"(RightGap)", V},
    kOutlineThick,
    {"(VScroll)", V},
    kVisible,
};

const SkinKey kCombo[] = {
    kPos,
    kToolTip,
    kBackColor,
    kOutline,
    kOutlineLT,
    kOutlineRB,
    kFont,
    {"(SelectFont)", C},
    {"(SelectBack)", C},
    {"(NormalBack)", C},
    {"(Normal1Back)", C},
    {"(Normal2Back)", C},
    {"(Frame)", C},
    kFontSize,
    {"(AlignFormat)", V},
    kFontBold,
    {"(ItemHeight)", V},
    {"(LeftGap)", V},
    {"(RightGap)", V},
    kOutlineThick,
    {"(ListBoxHeight)", V},
    kVisible,
    {"(Button)", I},
};

const SkinKey kProgress[] = {
    kPos,
    {"(Bar)", C},
    {"(Bar1)", C},
    {"(Bar2)", C},
    {"(Bar1Up)", C},
    {"(Bar1Down)", C},
    {"(Bar1Outline)", C},
    {"(Bar2Up)", C},
    {"(Bar2Down)", C},
    {"(Bar2Outline)", C},
    kBackColor,
    kOutline,
    kOutlineLT,
    kOutlineRB,
    kFont,
    {"(Shadow)", C},
    {"(TextUnit)", T},
    kToolTip,
    {"(ColorChangePercent)", V},
    {"(Gradient)", V},
    kOutlineThick,
    {"(RangeMin)", V},
    {"(RangeMax)", V},
    {"(Pos)", V},
    {"(DrawText)", V},
    kFontSize,
    kFontBold,
    kVisible,
};

const SkinKey kListCtrl[] = {
    kPos,
    kToolTip,
    kBackColor,
    {"(Frame)", C},
    {"(ItemFrame)", C},
    {"(HeadBack)", C},
    {"(HeadFont)", C},
    {"(HeadFrame)", C},
    kFont,
    {"(NormalFont)", C},
    {"(NormalBack)", C},
    {"(Normal1Font)", C},
    {"(Normal1Back)", C},
    {"(Normal2Font)", C},
    {"(Normal2Back)", C},
    {"(SelectBack)", C},
    {"(SelectFont)", C},
    {"(CheckBoxOn)", V},
    kFontSize,
    {"(HeadCheckBoxOn)", V},
    {"(ItemHeight)", V},
    {"(EditDblClk)", V},
    {"(SortType)", V},
    kVisible,
    {"(Check)", I},
    {"(CheckBox)", I},
};

const SkinKey kGrid[] = {
    kPos,
    kToolTip,
    {"(FixedFont)", C},
    {"(FixedBack)", C},
    {"(FixedFrame)", C},
    {"(FixedFrameLT)", C},
    {"(FixedFrameRB)", C},
    kFont,
    {"(NormalFont)", C},
    {"(NormalBack)", C},
    {"(Frame)", C},
    kBackColor,
    {"(RowCount)", V},
    {"(ColCount)", V},
    {"(FixedRowCount)", V},
    {"(FixedColCount)", V},
    {"(Editable)", V},
    {"(EditDblClk)", V},
    {"(SingleRowSelect)", V},
    {"(HeadSort)", V},
    {"(AlignFormat)", V},
    {"(CellHeight)", V},
    {"(CellWidth)", V},
    {"(ListMode)", V},
    kFontSize,
    kVisible,
    {"(Check)", I},
    {"(CheckBox)", I},
};

const SkinKey kSlider[] = {
    kPos,
    kToolTip,
    kBackColor,
    kOutline,
    kOutlineLT,
    kOutlineRB,
    {"(Vertical)", V},
    {"(BackDrawType)", V},
    {"(BackImageFillType)", V},
    {"(BackImageAlignFormat)", V},
    {"(EdgeRoundValue)", V},
    kOutlineThick,
    {"(AutoToolTip)", V},
    {"(BarImageBlockCount)", V},
    {"(RangeMin)", V},
    {"(RangeMax)", V},
    {"(Pos)", V},
    {"(PageUnit)", V},
    kVisible,
    {"(Back)", I},
    {"(Bar)", I},
};

const SkinKey kScroll[] = {
    kPos,
    kToolTip,
    kBackColor,
    kOutline,
    kOutlineLT,
    kOutlineRB,
    {"(Vertical)", V},
    {"(BackDrawType)", V},
    {"(BackImageFillType)", V},
    {"(BackImageAlignFormat)", V},
    {"(EdgeRoundValue)", V},
    kOutlineThick,
    {"(AutoToolTip)", V},
    {"(BarImageBlockCount)", V},
    {"(RangeMin)", V},
    {"(RangeMax)", V},
    {"(Pos)", V},
    {"(PageUnit)", V},
    {"(LineUnit)", V},
    {"(PrevImageBlockCount)", V},
    {"(NextImageBlockCount)", V},
    kVisible,
    {"(Back)", I},
    {"(Bar)", I},
    {"(Prev)", I},
    {"(Next)", I},
};

const SkinKey kPicture[] = {
    kPos,
    {"(CaptionArea)", P},
    {"(Caption)", T},
    kToolTip,
    kBackColor,
    kFont,
    {"(Shadow)", C},
    kFontSize,
    {"(AlignFormat)", V},
    kFontBold,
    {"(BackImageFillType)", V},
    {"(BackImageAlignFormat)", V},
    kVisible,
    {"(Back)", I},
};

const SkinKey kMenu[] = {
    kPos,
    kBackColor,
    kFont,
    {"(FontEnable)", C},
    {"(FontDisable)", C},
    {"(NormalBack)", C},
    {"(HoverBack)", C},
    {"(PressedBack)", C},
    kOutline,
    kOutlineLT,
    kOutlineRB,
    {"(BackThick)", V},
    kFontSize,
    {"(ItemHeight)", V},
    {"(ItemImageCount)", V},
    {"(LeftGap)", V},
    {"(RightGap)", V},
    kOutlineThick,
    {"(SeperateHeight)", V},
    {"(Transparent)", V},
    {"(Item)", I},
    {"(Seperate)", I},
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
        case kKindGrid: return ListOf(kGrid);
        case kKindMenu: return ListOf(kMenu);
        default: return SkinKeyList{};
    }
}

SkinKeyList DialogKeyList() { return ListOf(kDialog); }

CommonKey CommonKeyOf(const SkinKey& key) {
    if (!key.property) return CommonKey::None;
    if (key.file == kPos.file && std::strcmp(key.property, kPos.property) == 0)
        return CommonKey::Place;
    if (key.file == kVisible.file && std::strcmp(key.property, kVisible.property) == 0)
        return CommonKey::Visible;
    return CommonKey::None;
}

}  // namespace skin
