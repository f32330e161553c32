// The control kinds of the skinned dialog, one row each: the creator that
// replaces a template control, the reset to the built-in look and the
// table of the kind's profile keys with the setter each feeds. Kinds whose
// class is not in the library have no row yet; their template controls
// stay as they are.
#include <cstring>

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeCheck.h"
#include "ThemeClass/ThemeCombo.h"
#include "ThemeClass/ThemeDialog.h"
#include "ThemeClass/ThemeDialogKinds.h"
#include "ThemeClass/ThemeEdit.h"
#include "ThemeClass/ThemeGroup.h"
#include "ThemeClass/ThemeListBox.h"
#include "ThemeClass/ThemeMenu.h"
#include "ThemeClass/ThemePicture.h"
#include "ThemeClass/ThemeProgress.h"
#include "ThemeClass/ThemeRadio.h"
#include "ThemeClass/ThemeScroll.h"
#include "ThemeClass/ThemeSlider.h"
#include "ThemeClass/ThemeStatic.h"

namespace {

using namespace themekinds;

// ---- label and group box: one property block, two caption setters

template <class T>
const KeyRow<T> kTextStyleRows[] = {
    {"(CaptionArea)", F::Pos, [](T* p, const KeyValue& v) { p->SetCaptionArea(v.Rect()); }},
    {"(Back)", F::Color, [](T* p, const KeyValue& v) { p->SetBackColor(v.Color()); }},
    {"(Outline)", F::Color, [](T* p, const KeyValue& v) { p->SetOutlineColor(v.Color()); }},
    {"(OutlineLT)", F::Color, [](T* p, const KeyValue& v) { p->SetOutlineLTColor(v.Color()); }},
    {"(OutlineRB)", F::Color, [](T* p, const KeyValue& v) { p->SetOutlineRBColor(v.Color()); }},
    {"(Font)", F::Color, [](T* p, const KeyValue& v) { p->SetFontColor(v.Color()); }},
    {"(Shadow)", F::Color, [](T* p, const KeyValue& v) { p->SetShadowColor(v.Color()); }},
    {"(FontSize)", F::Value, [](T* p, const KeyValue& v) { p->SetFontSize(v.Int()); }},
    {"(AlignFormat)", F::Value, [](T* p, const KeyValue& v) { p->SetAlignFormat((UINT)v.Int()); }},
    {"(FontBold)", F::Value, [](T* p, const KeyValue& v) { p->SetFontBold(v.Int()); }},
    {"(BackDrawType)", F::Value, [](T* p, const KeyValue& v) { p->SetBackDrawType(v.Int()); }},
    {"(BackImageFillType)", F::Value,
     [](T* p, const KeyValue& v) { p->SetBackImageFillType(v.Int()); }},
    {"(BackImageAlignFormat)", F::Value,
     [](T* p, const KeyValue& v) { p->SetBackImageAlignFormat((UINT)v.Int()); }},
    {"(EdgeRoundValue)", F::Value, [](T* p, const KeyValue& v) { p->SetEdgeRoundValue(v.Int()); }},
    {"(OutlineThick)", F::Value, [](T* p, const KeyValue& v) { p->SetOutlineThick(v.Int()); }},
    {"(Back)", F::Image, [](T* p, const KeyValue& v) { p->SetBackImage(v.Path()); }},
};

const KeyRow<CThemeStatic> kStaticRows[] = {
    {"(ToolTip)", F::Text, [](CThemeStatic* p, const KeyValue& v) { p->SetToolTipText(v.text); }},
    {"(Caption)", F::Text, [](CThemeStatic* p, const KeyValue& v) { p->SetText(v.text); }},
};
const KindKeys<CThemeStatic> kStaticKeys{TableOf(kStaticRows),
                                         TableOf(kTextStyleRows<CThemeStatic>)};

const KeyRow<CThemeGroup> kGroupRows[] = {
    {"(Caption)", F::Text, [](CThemeGroup* p, const KeyValue& v) { p->SetCaption(v.text); }},
};
const KindKeys<CThemeGroup> kGroupKeys{TableOf(kGroupRows), TableOf(kTextStyleRows<CThemeGroup>)};

// ---- push button, check box and radio button: the caption and colour keys

template <class T>
const KeyRow<T> kButtonStyleRows[] = {
    {"(Caption)", F::Text, [](T* p, const KeyValue& v) { p->SetText(v.text); }},
    {"(ToolTip)", F::Text, [](T* p, const KeyValue& v) { p->SetToolTipText(v.text); }},
    {"(Back)", F::Color,
     [](T* p, const KeyValue& v) { p->SetBackColors(v.Color(), kSame, kSame, kSame); }},
    {"(Outline)", F::Color, [](T* p, const KeyValue& v) { p->SetOutlineColor(v.Color()); }},
    {"(OutlineLT)", F::Color, [](T* p, const KeyValue& v) { p->SetOutlineLTColor(v.Color()); }},
    {"(OutlineRB)", F::Color, [](T* p, const KeyValue& v) { p->SetOutlineRBColor(v.Color()); }},
    {"(Font)", F::Color,
     [](T* p, const KeyValue& v) { p->SetTextColors(v.Color(), kSame, kSame, kSame); }},
    {"(FontHover)", F::Color, [](T* p, const KeyValue& v) { p->SetTextHoverColor(v.Color()); }},
    {"(FontPressed)", F::Color, [](T* p, const KeyValue& v) { p->SetTextPressedColor(v.Color()); }},
    {"(FontDisabled)", F::Color,
     [](T* p, const KeyValue& v) { p->SetTextDisabledColor(v.Color()); }},
    {"(Shadow)", F::Color,
     [](T* p, const KeyValue& v) { p->SetShadowColors(v.Color(), kSame, kSame, kSame); }},
    {"(ShadowHover)", F::Color, [](T* p, const KeyValue& v) { p->SetShadowHoverColor(v.Color()); }},
    {"(ShadowPressed)", F::Color,
     [](T* p, const KeyValue& v) { p->SetShadowPressedColor(v.Color()); }},
    {"(ShadowDisabled)", F::Color,
     [](T* p, const KeyValue& v) { p->SetShadowDisabledColor(v.Color()); }},
    {"(FontSize)", F::Value, [](T* p, const KeyValue& v) { p->SetFontSize(v.Int()); }},
    {"(AlignFormat)", F::Value, [](T* p, const KeyValue& v) { p->SetAlignFormat((UINT)v.Int()); }},
    {"(FontBold)", F::Value, [](T* p, const KeyValue& v) { p->SetFontBold(v.Int()); }},
    {"(BackDrawType)", F::Value, [](T* p, const KeyValue& v) { p->SetBackDrawType(v.Int()); }},
    {"(BackImageFillType)", F::Value,
     [](T* p, const KeyValue& v) { p->SetBackImageFillType(v.Int()); }},
    {"(BackImageAlignFormat)", F::Value,
     [](T* p, const KeyValue& v) { p->SetBackImageAlignFormat((UINT)v.Int()); }},
    {"(EdgeRoundValue)", F::Value, [](T* p, const KeyValue& v) { p->SetEdgeRoundValue(v.Int()); }},
    {"(OutlineThick)", F::Value, [](T* p, const KeyValue& v) { p->SetOutlineThick(v.Int()); }},
};

const KeyRow<CThemeButton> kButtonRows[] = {
    {"(CaptionArea)", F::Pos,
     [](CThemeButton* p, const KeyValue& v) { p->SetCaptionArea(v.Rect()); }},
    {"(BackImageBlockCount)", F::Value,
     [](CThemeButton* p, const KeyValue& v) { p->SetFrameCount(v.Int()); }},
    {"(Back)", F::Image, [](CThemeButton* p, const KeyValue& v) { p->SetImageFile(v.Path()); }},
};
const KindKeys<CThemeButton> kButtonKeys{TableOf(kButtonRows),
                                         TableOf(kButtonStyleRows<CThemeButton>)};

// The check box and the radio button: the same keys, each with its own
// setter of the mark image.
template <class T, BOOL (T::*SetMarkImage)(LPCTSTR)>
const KeyRow<T> kMarkRows[] = {
    {"(CaptionArea)", F::Pos, [](T* p, const KeyValue& v) { p->SetCaptionArea(v.Rect()); }},
    {"(Mark)", F::Color, [](T* p, const KeyValue& v) { p->SetMarkColor(v.Color()); }},
    {"(BackImageBlockCount)", F::Value, [](T* p, const KeyValue& v) { p->SetFrameCount(v.Int()); }},
    {"(Check)", F::Value, [](T* p, const KeyValue& v) { p->SetCheck(v.Int()); }},
    {"(PushLike)", F::Value, [](T* p, const KeyValue& v) { p->SetPushLike(v.Int()); }},
    {"(MarkDrawType)", F::Value, [](T* p, const KeyValue& v) { p->SetMarkDrawType(v.Int()); }},
    {"(Back)", F::Image, [](T* p, const KeyValue& v) { p->SetImageFile(v.Path()); }},
    {"(Mark)", F::Image, [](T* p, const KeyValue& v) { (p->*SetMarkImage)(v.Path()); }},
};
const KindKeys<CThemeCheck> kCheckKeys{
    TableOf(kMarkRows<CThemeCheck, &CThemeCheck::SetMarkImageFile>),
    TableOf(kButtonStyleRows<CThemeCheck>)};
const KindKeys<CThemeRadio> kRadioKeys{TableOf(kMarkRows<CThemeRadio, &CThemeRadio::SetMarkImage>),
                                       TableOf(kButtonStyleRows<CThemeRadio>)};

// ---- edit box

const KeyRow<CThemeEdit> kEditRows[] = {
    {"(Text)", F::Text, [](CThemeEdit* p, const KeyValue& v) { p->SetText(v.text); }},
    {"(ToolTip)", F::Text, [](CThemeEdit* p, const KeyValue& v) { p->SetToolTipText(v.text); }},
    {"(Back)", F::Color, [](CThemeEdit* p, const KeyValue& v) { p->SetBackColor(v.Color()); }},
    {"(Outline)", F::Color,
     [](CThemeEdit* p, const KeyValue& v) { p->SetOutlineColor(v.Color()); }},
    {"(OutlineLT)", F::Color,
     [](CThemeEdit* p, const KeyValue& v) { p->SetOutlineLTColor(v.Color()); }},
    {"(OutlineRB)", F::Color,
     [](CThemeEdit* p, const KeyValue& v) { p->SetOutlineRBColor(v.Color()); }},
    {"(Font)", F::Color, [](CThemeEdit* p, const KeyValue& v) { p->SetFontColor(v.Color()); }},
    {"(FontSize)", F::Value, [](CThemeEdit* p, const KeyValue& v) { p->SetFontSize(v.Int()); }},
    {"(FontBold)", F::Value, [](CThemeEdit* p, const KeyValue& v) { p->SetFontBold(v.Int()); }},
    {"(OutlineThick)", F::Value,
     [](CThemeEdit* p, const KeyValue& v) { p->SetOutlineThick(v.Int()); }},
};
const KindKeys<CThemeEdit> kEditKeys{TableOf(kEditRows), {}};

// ---- list box and combo box: the row colours and gaps they share

template <class T>
const KeyRow<T> kListStyleRows[] = {
    {"(ToolTip)", F::Text, [](T* p, const KeyValue& v) { p->SetToolTipText(v.text); }},
    {"(Back)", F::Color, [](T* p, const KeyValue& v) { p->SetBackColor(v.Color()); }},
    {"(Outline)", F::Color, [](T* p, const KeyValue& v) { p->SetOutlineColor(v.Color()); }},
    {"(OutlineLT)", F::Color, [](T* p, const KeyValue& v) { p->SetOutlineLTColor(v.Color()); }},
    {"(OutlineRB)", F::Color, [](T* p, const KeyValue& v) { p->SetOutlineRBColor(v.Color()); }},
    {"(Font)", F::Color, [](T* p, const KeyValue& v) { p->SetFontColor(v.Color()); }},
    {"(SelectFont)", F::Color, [](T* p, const KeyValue& v) { p->SetSelectFontColor(v.Color()); }},
    {"(SelectBack)", F::Color, [](T* p, const KeyValue& v) { p->SetSelectBackColor(v.Color()); }},
    {"(NormalBack)", F::Color, [](T* p, const KeyValue& v) { p->SetNormalBackColor(v.Color()); }},
    {"(Normal1Back)", F::Color, [](T* p, const KeyValue& v) { p->SetNormal1BackColor(v.Color()); }},
    {"(Normal2Back)", F::Color, [](T* p, const KeyValue& v) { p->SetNormal2BackColor(v.Color()); }},
    {"(Frame)", F::Color, [](T* p, const KeyValue& v) { p->SetFrameColor(v.Color()); }},
    {"(FontSize)", F::Value, [](T* p, const KeyValue& v) { p->SetFontSize(v.Int()); }},
    {"(AlignFormat)", F::Value, [](T* p, const KeyValue& v) { p->SetAlignFormat((UINT)v.Int()); }},
    {"(FontBold)", F::Value, [](T* p, const KeyValue& v) { p->SetFontBold(v.Int()); }},
    {"(ItemHeight)", F::Value, [](T* p, const KeyValue& v) { p->SetItemHeight(v.Int()); }},
    {"(LeftGap)", F::Value, [](T* p, const KeyValue& v) { p->SetLeftGap(v.Int()); }},
    {"(RightGap)", F::Value, [](T* p, const KeyValue& v) { p->SetRightGap(v.Int()); }},
    {"(OutlineThick)", F::Value, [](T* p, const KeyValue& v) { p->SetOutlineThick(v.Int()); }},
};

const KeyRow<CThemeListBox> kListBoxRows[] = {
    {"(FontState1)", F::Color,
     [](CThemeListBox* p, const KeyValue& v) { p->SetFontState1Color(v.Color()); }},
    {"(FontState2)", F::Color,
     [](CThemeListBox* p, const KeyValue& v) { p->SetFontState2Color(v.Color()); }},
    {"(FontState3)", F::Color,
     [](CThemeListBox* p, const KeyValue& v) { p->SetFontState3Color(v.Color()); }},
    {"(VScroll)", F::Value, [](CThemeListBox* p, const KeyValue& v) { p->SetVScroll(v.Int()); }},
};
const KindKeys<CThemeListBox> kListBoxKeys{TableOf(kListBoxRows),
                                           TableOf(kListStyleRows<CThemeListBox>)};

const KeyRow<CThemeCombo> kComboRows[] = {
    {"(ListBoxHeight)", F::Value,
     [](CThemeCombo* p, const KeyValue& v) { p->SetListBoxHeight(v.Int()); }},
    {"(Button)", F::Image, [](CThemeCombo* p, const KeyValue& v) { p->SetButtonImage(v.Path()); }},
};
const KindKeys<CThemeCombo> kComboKeys{TableOf(kComboRows), TableOf(kListStyleRows<CThemeCombo>)};

// ---- progress bar

const KeyRow<CThemeProgress> kProgressRows[] = {
    {"(Bar)", F::Color, [](CThemeProgress* p, const KeyValue& v) { p->SetBarColor(v.Color()); }},
    {"(Bar1)", F::Color, [](CThemeProgress* p, const KeyValue& v) { p->SetBar1Color(v.Color()); }},
    {"(Bar2)", F::Color, [](CThemeProgress* p, const KeyValue& v) { p->SetBar2Color(v.Color()); }},
    {"(Bar1Up)", F::Color,
     [](CThemeProgress* p, const KeyValue& v) { p->SetBar1UpColor(v.Color()); }},
    {"(Bar1Down)", F::Color,
     [](CThemeProgress* p, const KeyValue& v) { p->SetBar1DownColor(v.Color()); }},
    {"(Bar1Outline)", F::Color,
     [](CThemeProgress* p, const KeyValue& v) { p->SetBar1OutlineColor(v.Color()); }},
    {"(Bar2Up)", F::Color,
     [](CThemeProgress* p, const KeyValue& v) { p->SetBar2UpColor(v.Color()); }},
    {"(Bar2Down)", F::Color,
     [](CThemeProgress* p, const KeyValue& v) { p->SetBar2DownColor(v.Color()); }},
    {"(Bar2Outline)", F::Color,
     [](CThemeProgress* p, const KeyValue& v) { p->SetBar2OutlineColor(v.Color()); }},
    {"(Back)", F::Color, [](CThemeProgress* p, const KeyValue& v) { p->SetBackColor(v.Color()); }},
    {"(Outline)", F::Color,
     [](CThemeProgress* p, const KeyValue& v) { p->SetOutlineColor(v.Color()); }},
    {"(OutlineLT)", F::Color,
     [](CThemeProgress* p, const KeyValue& v) { p->SetOutlineLTColor(v.Color()); }},
    {"(OutlineRB)", F::Color,
     [](CThemeProgress* p, const KeyValue& v) { p->SetOutlineRBColor(v.Color()); }},
    {"(Font)", F::Color, [](CThemeProgress* p, const KeyValue& v) { p->SetFontColor(v.Color()); }},
    {"(Shadow)", F::Color,
     [](CThemeProgress* p, const KeyValue& v) { p->SetShadowColor(v.Color()); }},
    {"(TextUnit)", F::Text, [](CThemeProgress* p, const KeyValue& v) { p->SetTextUnit(v.text); }},
    {"(ToolTip)", F::Text, [](CThemeProgress* p, const KeyValue& v) { p->SetToolTipText(v.text); }},
    // Read as an integer, taken as a floating-point percentage.
    {"(ColorChangePercent)", F::Value,
     [](CThemeProgress* p, const KeyValue& v) { p->SetColorChangePercent((double)v.Int()); }},
    {"(Gradient)", F::Value, [](CThemeProgress* p, const KeyValue& v) { p->SetGradient(v.Int()); }},
    {"(OutlineThick)", F::Value,
     [](CThemeProgress* p, const KeyValue& v) { p->SetOutlineThick(v.Int()); }},
    {"(RangeMin)", F::Value, [](CThemeProgress* p, const KeyValue& v) { p->SetRangeMin(v.Int()); }},
    {"(RangeMax)", F::Value, [](CThemeProgress* p, const KeyValue& v) { p->SetRangeMax(v.Int()); }},
    {"(Pos)", F::Value, [](CThemeProgress* p, const KeyValue& v) { p->SetPos(v.Int()); }},
    {"(DrawText)", F::Value, [](CThemeProgress* p, const KeyValue& v) { p->SetDrawText(v.Int()); }},
    {"(FontSize)", F::Value, [](CThemeProgress* p, const KeyValue& v) { p->SetFontSize(v.Int()); }},
    {"(FontBold)", F::Value, [](CThemeProgress* p, const KeyValue& v) { p->SetFontBold(v.Int()); }},
};
const KindKeys<CThemeProgress> kProgressKeys{TableOf(kProgressRows), {}};

// ---- slider and scroll bar: the track block they share

template <class T>
const KeyRow<T> kTrackStyleRows[] = {
    {"(ToolTip)", F::Text, [](T* p, const KeyValue& v) { p->SetToolTipText(v.text); }},
    {"(Back)", F::Color, [](T* p, const KeyValue& v) { p->SetBackColor(v.Color()); }},
    {"(Outline)", F::Color, [](T* p, const KeyValue& v) { p->SetOutlineColor(v.Color()); }},
    {"(OutlineLT)", F::Color, [](T* p, const KeyValue& v) { p->SetOutlineLTColor(v.Color()); }},
    {"(OutlineRB)", F::Color, [](T* p, const KeyValue& v) { p->SetOutlineRBColor(v.Color()); }},
    {"(Vertical)", F::Value, [](T* p, const KeyValue& v) { p->SetVertical(v.Int()); }},
    {"(BackDrawType)", F::Value, [](T* p, const KeyValue& v) { p->SetBackDrawType(v.Int()); }},
    {"(BackImageFillType)", F::Value,
     [](T* p, const KeyValue& v) { p->SetBackImageFillType(v.Int()); }},
    {"(BackImageAlignFormat)", F::Value,
     [](T* p, const KeyValue& v) { p->SetBackImageAlignFormat((UINT)v.Int()); }},
    {"(EdgeRoundValue)", F::Value, [](T* p, const KeyValue& v) { p->SetEdgeRoundValue(v.Int()); }},
    {"(OutlineThick)", F::Value, [](T* p, const KeyValue& v) { p->SetOutlineThick(v.Int()); }},
    {"(AutoToolTip)", F::Value, [](T* p, const KeyValue& v) { p->SetAutoToolTip(v.Int()); }},
    {"(BarImageBlockCount)", F::Value,
     [](T* p, const KeyValue& v) { p->SetBarImageBlockCount(v.Int()); }},
    {"(RangeMin)", F::Value, [](T* p, const KeyValue& v) { p->SetRangeMin(v.Int()); }},
    {"(RangeMax)", F::Value, [](T* p, const KeyValue& v) { p->SetRangeMax(v.Int()); }},
    {"(Pos)", F::Value, [](T* p, const KeyValue& v) { p->SetPos(v.Int()); }},
    {"(PageUnit)", F::Value, [](T* p, const KeyValue& v) { p->SetPageUnit(v.Int()); }},
    {"(Back)", F::Image, [](T* p, const KeyValue& v) { p->SetBackImage(v.Path()); }},
    {"(Bar)", F::Image, [](T* p, const KeyValue& v) { p->SetBarImage(v.Path()); }},
};

const KindKeys<CThemeSlider> kSliderKeys{TableOf(kTrackStyleRows<CThemeSlider>), {}};

const KeyRow<CThemeScroll> kScrollRows[] = {
    {"(LineUnit)", F::Value, [](CThemeScroll* p, const KeyValue& v) { p->SetLineUnit(v.Int()); }},
    {"(PrevImageBlockCount)", F::Value,
     [](CThemeScroll* p, const KeyValue& v) { p->SetPrevImageBlockCount(v.Int()); }},
    {"(NextImageBlockCount)", F::Value,
     [](CThemeScroll* p, const KeyValue& v) { p->SetNextImageBlockCount(v.Int()); }},
    {"(Prev)", F::Image, [](CThemeScroll* p, const KeyValue& v) { p->SetPrevImage(v.Path()); }},
    {"(Next)", F::Image, [](CThemeScroll* p, const KeyValue& v) { p->SetNextImage(v.Path()); }},
};
const KindKeys<CThemeScroll> kScrollKeys{TableOf(kScrollRows),
                                         TableOf(kTrackStyleRows<CThemeScroll>)};

// ---- picture

const KeyRow<CThemePicture> kPictureRows[] = {
    {"(CaptionArea)", F::Pos,
     [](CThemePicture* p, const KeyValue& v) {
         const CRect r = v.Rect();
         p->SetCaptionArea(r.left, r.top, r.right, r.bottom);
     }},
    {"(Caption)", F::Text, [](CThemePicture* p, const KeyValue& v) { p->SetCaption(v.text); }},
    {"(ToolTip)", F::Text, [](CThemePicture* p, const KeyValue& v) { p->SetToolTipText(v.text); }},
    {"(Back)", F::Color, [](CThemePicture* p, const KeyValue& v) { p->SetBackColor(v.Color()); }},
    {"(Font)", F::Color, [](CThemePicture* p, const KeyValue& v) { p->SetFontColor(v.Color()); }},
    {"(Shadow)", F::Color,
     [](CThemePicture* p, const KeyValue& v) { p->SetShadowColor(v.Color()); }},
    {"(FontSize)", F::Value, [](CThemePicture* p, const KeyValue& v) { p->SetFontSize(v.Int()); }},
    {"(AlignFormat)", F::Value,
     [](CThemePicture* p, const KeyValue& v) { p->SetAlignFormat((UINT)v.Int()); }},
    {"(FontBold)", F::Value, [](CThemePicture* p, const KeyValue& v) { p->SetFontBold(v.Int()); }},
    {"(BackImageFillType)", F::Value,
     [](CThemePicture* p, const KeyValue& v) { p->SetBackImageFillType(v.Int()); }},
    {"(BackImageAlignFormat)", F::Value,
     [](CThemePicture* p, const KeyValue& v) { p->SetBackImageAlignFormat((UINT)v.Int()); }},
    {"(Back)", F::Image, [](CThemePicture* p, const KeyValue& v) { p->SetBackImage(v.Path()); }},
};
const KindKeys<CThemePicture> kPictureKeys{TableOf(kPictureRows), {}};

// ---- menu host: its look goes to the popups it opens later

const KeyRow<CThemeMenu> kMenuRows[] = {
    {"(Back)", F::Color, [](CThemeMenu* p, const KeyValue& v) { p->SetBackColor(v.Color()); }},
    {"(Font)", F::Color, [](CThemeMenu* p, const KeyValue& v) { p->SetFontColor(v.Color()); }},
    {"(FontEnable)", F::Color,
     [](CThemeMenu* p, const KeyValue& v) { p->SetFontEnableColor(v.Color()); }},
    {"(FontDisable)", F::Color,
     [](CThemeMenu* p, const KeyValue& v) { p->SetFontDisableColor(v.Color()); }},
    {"(NormalBack)", F::Color,
     [](CThemeMenu* p, const KeyValue& v) { p->SetNormalBackColor(v.Color()); }},
    {"(HoverBack)", F::Color,
     [](CThemeMenu* p, const KeyValue& v) { p->SetHoverBackColor(v.Color()); }},
    {"(PressedBack)", F::Color,
     [](CThemeMenu* p, const KeyValue& v) { p->SetPressedBackColor(v.Color()); }},
    {"(Outline)", F::Color,
     [](CThemeMenu* p, const KeyValue& v) { p->SetOutlineColor(v.Color()); }},
    {"(OutlineLT)", F::Color,
     [](CThemeMenu* p, const KeyValue& v) { p->SetOutlineLTColor(v.Color()); }},
    {"(OutlineRB)", F::Color,
     [](CThemeMenu* p, const KeyValue& v) { p->SetOutlineRBColor(v.Color()); }},
    {"(BackThick)", F::Value, [](CThemeMenu* p, const KeyValue& v) { p->SetBackThick(v.Int()); }},
    {"(FontSize)", F::Value, [](CThemeMenu* p, const KeyValue& v) { p->SetFontSize(v.Int()); }},
    {"(ItemHeight)", F::Value, [](CThemeMenu* p, const KeyValue& v) { p->SetItemHeight(v.Int()); }},
    {"(ItemImageCount)", F::Value,
     [](CThemeMenu* p, const KeyValue& v) { p->SetItemImageCount(v.Int()); }},
    {"(LeftGap)", F::Value, [](CThemeMenu* p, const KeyValue& v) { p->SetLeftGap(v.Int()); }},
    {"(RightGap)", F::Value, [](CThemeMenu* p, const KeyValue& v) { p->SetRightGap(v.Int()); }},
    {"(OutlineThick)", F::Value,
     [](CThemeMenu* p, const KeyValue& v) { p->SetOutlineThick(v.Int()); }},
    {"(SeperateHeight)", F::Value,
     [](CThemeMenu* p, const KeyValue& v) { p->SetSeperateHeight(v.Int()); }},
    {"(Transparent)", F::Value,
     [](CThemeMenu* p, const KeyValue& v) { p->SetTransparent(v.Int()); }},
    {"(Item)", F::Image, [](CThemeMenu* p, const KeyValue& v) { p->SetItemImage(v.Path()); }},
    {"(Seperate)", F::Image,
     [](CThemeMenu* p, const KeyValue& v) { p->SetSeperateImage(v.Path()); }},
};
const KindKeys<CThemeMenu> kMenuKeys{TableOf(kMenuRows), {}};

// ---- creators

CWnd* CreateStatic(CThemeDialog* d, UINT id, LPCTSTR name) {
    CString text;
    CThemeStatic* p =
        CreateOver<CThemeStatic>(d, skin::kKindStatic, id, name, {true, kChildStyle, false}, &text);
    if (p) p->SetText(text);
    return p;
}

CWnd* CreateGroup(CThemeDialog* d, UINT id, LPCTSTR name) {
    CString text;
    CThemeGroup* p =
        CreateOver<CThemeGroup>(d, skin::kKindGroup, id, name, {true, kChildStyle, false}, &text);
    if (p) p->SetCaption(text);
    return p;
}

CWnd* CreateButton(CThemeDialog* d, UINT id, LPCTSTR name) {
    CString text;
    CThemeButton* p =
        CreateOver<CThemeButton>(d, skin::kKindButton, id, name, {true, kChildStyle, false}, &text);
    if (p) p->SetText(text);
    return p;
}

CWnd* CreateRadio(CThemeDialog* d, UINT id, LPCTSTR name) {
    CString text;
    CThemeRadio* p = CreateOver<CThemeRadio>(d, skin::kKindRadio, id, name,
                                             {true, kChildStyle | 0x9, true}, &text);
    if (p) p->SetText(text);
    return p;
}

CWnd* CreateCheck(CThemeDialog* d, UINT id, LPCTSTR name) {
    CString text;
    CThemeCheck* p = CreateOver<CThemeCheck>(d, skin::kKindCheck, id, name,
                                             {true, kChildStyle | 0x3, true}, &text);
    if (p) p->SetText(text);
    return p;
}

// Made only by a direct call: no template class classifies as a scroll bar.
CWnd* CreateScroll(CThemeDialog* d, UINT id, LPCTSTR name) {
    return CreateOver<CThemeScroll>(d, skin::kKindScroll, id, name, {false, kChildStyle, true},
                                    nullptr);
}

CWnd* CreateProgress(CThemeDialog* d, UINT id, LPCTSTR name) {
    return CreateOver<CThemeProgress>(d, skin::kKindProgress, id, name, {true, kChildStyle, false},
                                      nullptr);
}

CWnd* CreateSlider(CThemeDialog* d, UINT id, LPCTSTR name) {
    return CreateOver<CThemeSlider>(d, skin::kKindSlider, id, name, {false, kChildStyle, true},
                                    nullptr);
}

// The template keeps its enabled state and edit styles (read-only, number,
// alignment) through its style word; its text is not carried over.
CWnd* CreateEdit(CThemeDialog* d, UINT id, LPCTSTR name) {
    return CreateOver<CThemeEdit>(d, skin::kKindEdit, id, name, {true, kChildStyle, true}, nullptr);
}

CWnd* CreateListBox(CThemeDialog* d, UINT id, LPCTSTR name) {
    return CreateOver<CThemeListBox>(d, skin::kKindListBox, id, name, {true, kChildStyle, false},
                                     nullptr);
}

// The template stays (hidden) and hands over its text and every string of
// its list, in index order. Its scroll-bar bits belong to the system drop
// list; on the skinned strip they would put a scroll bar beside it.
CWnd* CreateCombo(CThemeDialog* d, UINT id, LPCTSTR name) {
    HWND hTemplate = ::GetDlgItem(d->m_hWnd, (int)id);
    CString text;
    CThemeCombo* p =
        CreateOver<CThemeCombo>(d, skin::kKindCombo, id, name,
                                {false, kChildStyle, true, ~DWORD(WS_VSCROLL | WS_HSCROLL)}, &text);
    if (!p) return nullptr;
    p->SetText(text);
    const int n = (int)::SendMessageA(hTemplate, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        const int len = (int)::SendMessageA(hTemplate, CB_GETLBTEXTLEN, (WPARAM)i, 0);
        if (len < 0) continue;
        CString item;
        ::SendMessageA(hTemplate, CB_GETLBTEXT, (WPARAM)i, (LPARAM)item.GetBufferSetLength(len));
        item.ReleaseBuffer(len);
        p->AddString(item);
    }
    return p;
}

CWnd* CreatePicture(CThemeDialog* d, UINT id, LPCTSTR name) {
    CString text;
    CThemePicture* p = CreateOver<CThemePicture>(d, skin::kKindPicture, id, name,
                                                 {true, kChildStyle, false}, &text);
    if (p) p->SetCaption(text);
    return p;
}

// A menu host reads no template: a hidden child at (0, 0, 10, 10).
CWnd* CreateMenu(CThemeDialog* d, UINT id, LPCTSTR name) {
    CString strName(name ? name : "");
    if (strName.GetLength() < 1)
        strName = skin::MakeSkinName(skin::kKindMenu, d->GetControlCount(skin::kKindMenu)).c_str();
    auto* p = new CThemeMenu;
    if (!p->Create(WS_CHILD | WS_TABSTOP, CRect(0, 0, 10, 10), d, id) || !p->GetSafeHwnd()) {
        delete p;
        return nullptr;
    }
    p->SetName(strName);
    d->AppendControl(skin::kKindMenu, p);
    return p;
}

template <class T>
CThemeSkinId* IdOf(CWnd* p) {
    return static_cast<T*>(p);
}

void ResetStatic(CWnd* p) { static_cast<CThemeStatic*>(p)->ResetSkin(); }
void ResetGroup(CWnd* p) { static_cast<CThemeGroup*>(p)->SetDefaultSkin(); }
void ResetButton(CWnd* p) { static_cast<CThemeButton*>(p)->ResetStyle(); }
void ResetCheck(CWnd* p) { static_cast<CThemeCheck*>(p)->ResetStyle(); }
void ResetScroll(CWnd* p) { static_cast<CThemeScroll*>(p)->ResetSkin(); }
void ResetRadio(CWnd* p) { static_cast<CThemeRadio*>(p)->ResetSkin(); }
void ResetProgress(CWnd* p) { static_cast<CThemeProgress*>(p)->ResetSkin(); }
void ResetSlider(CWnd* p) { static_cast<CThemeSlider*>(p)->ResetSkin(); }
void ResetEdit(CWnd* p) { static_cast<CThemeEdit*>(p)->SetDefaultSkin(); }
void ResetListBox(CWnd* p) { static_cast<CThemeListBox*>(p)->SetDefaultSkin(); }
void ResetCombo(CWnd* p) { static_cast<CThemeCombo*>(p)->SetDefaultSkin(); }
void ResetPicture(CWnd* p) { static_cast<CThemePicture*>(p)->SetDefaultSkin(); }
void ResetMenu(CWnd* p) { static_cast<CThemeMenu*>(p)->SetDefaultSkin(); }

#define KIND_ROW(kind, T, keys, create, reset) \
    { kind, create, reset, IdOf<T>, Apply<T, keys>, Handles<T, keys> }

const ThemeKindRow kRows[] = {
    KIND_ROW(skin::kKindStatic, CThemeStatic, kStaticKeys, CreateStatic, ResetStatic),
    KIND_ROW(skin::kKindGroup, CThemeGroup, kGroupKeys, CreateGroup, ResetGroup),
    KIND_ROW(skin::kKindButton, CThemeButton, kButtonKeys, CreateButton, ResetButton),
    KIND_ROW(skin::kKindCheck, CThemeCheck, kCheckKeys, CreateCheck, ResetCheck),
    KIND_ROW(skin::kKindRadio, CThemeRadio, kRadioKeys, CreateRadio, ResetRadio),
    KIND_ROW(skin::kKindEdit, CThemeEdit, kEditKeys, CreateEdit, ResetEdit),
    KIND_ROW(skin::kKindListBox, CThemeListBox, kListBoxKeys, CreateListBox, ResetListBox),
    KIND_ROW(skin::kKindCombo, CThemeCombo, kComboKeys, CreateCombo, ResetCombo),
    KIND_ROW(skin::kKindProgress, CThemeProgress, kProgressKeys, CreateProgress, ResetProgress),
    {skin::kKindListCtrl, CreateListCtrl, ResetListCtrl, ListCtrlSkinId, ApplyListCtrl,
     ListCtrlHandles},
    KIND_ROW(skin::kKindSlider, CThemeSlider, kSliderKeys, CreateSlider, ResetSlider),
    KIND_ROW(skin::kKindScroll, CThemeScroll, kScrollKeys, CreateScroll, ResetScroll),
    KIND_ROW(skin::kKindPicture, CThemePicture, kPictureKeys, CreatePicture, ResetPicture),
    {skin::kKindGrid, CreateGrid, ResetGrid, GridSkinId, ApplyGrid, GridHandles},
    KIND_ROW(skin::kKindMenu, CThemeMenu, kMenuKeys, CreateMenu, ResetMenu),
};
#undef KIND_ROW

}  // namespace

const ThemeKindRow* ThemeKindRowOf(int nKind) {
    for (const ThemeKindRow& r : kRows)
        if (r.kind == nKind) return &r;
    return nullptr;
}
