#include "app/StylePreset_win32.h"

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeCheck.h"
#include "ThemeClass/ThemeCombo.h"
#include "ThemeClass/ThemeEdit.h"
#include "ThemeClass/ThemeGroup.h"
#include "ThemeClass/ThemeRadio.h"
#include "ThemeClass/ThemeSlider.h"
#include "ThemeClass/ThemeStatic.h"
#include "app/res/resource.h"

namespace {

const COLORREF kSame = 0xFF00FF;  // in four-state setters: as the normal state

// The colours of the main dialog's and the configuration dialog's text
// buttons: green text with a darker green shadow.
void TextButtonLook(CThemeButton* pButton) {
    pButton->SetBitmap(IDB_TEXT_BUTTON);
    pButton->SetFontBold(TRUE);
    pButton->SetTextColors(0x1BDB6A, kSame, kSame, kSame);
    pButton->SetShadowColors(0x00B342, kSame, kSame, kSame);
}

// Close and minimise: the image at its own size, and a blank caption so that
// the template's "X" or "_" is not drawn over it.
void ImageOnlyButton(CThemeButton* pButton, UINT nIDBitmap) {
    pButton->SetBackImageFillType(3);
    pButton->SetBitmap(nIDBitmap);
    pButton->SetText(" ");
}

}  // namespace

void ApplyCloseButtonStyle(CThemeButton* pButton) {
    if (pButton) ImageOnlyButton(pButton, IDB_CLOSE);
}

void ApplyMinimizeButtonStyle(CThemeButton* pButton) {
    if (pButton) ImageOnlyButton(pButton, IDB_MINIMIZE);
}

void ApplyTextButtonStyle(CThemeButton* pButton) {
    if (!pButton) return;
    TextButtonLook(pButton);
    pButton->SetFontSize(12);
}

void ApplyConfigButtonStyle(CThemeButton* pButton) {
    if (pButton) TextButtonLook(pButton);
}

void SetButtonImage(CThemeButton* pButton, UINT nIDBitmap) {
    if (pButton) pButton->SetBitmap(nIDBitmap);
}

void SetStaticImage(CThemeStatic* pStatic, UINT nIDBitmap) {
    if (pStatic) pStatic->SetBackBitmap(nIDBitmap);
}

void ApplyValueLabelStyle(CThemeStatic* pStatic) {
    if (!pStatic) return;
    pStatic->SetBackColor(0x323232);
    pStatic->SetOutlineColor(0x323232);
    pStatic->SetFontColor(0x8CF3FF);
    pStatic->SetEdgeRoundValue(5);
    pStatic->SetAlignFormat(5);
    pStatic->SetFontSize(12);
    pStatic->SetFontBold(TRUE);
}

void ApplyLabelStyle(CThemeStatic* pStatic) {
    if (!pStatic) return;
    pStatic->SetBackColor(0x000000);
    pStatic->SetOutlineThick(0);
    pStatic->SetFontSize(15);
    pStatic->SetFontColor(0xFFFFFF);
    pStatic->SetAlignFormat(5);
}

void ApplyDetailLabelStyle(CThemeStatic* pStatic) {
    if (!pStatic) return;
    pStatic->SetBackColor(0x000000);
    pStatic->SetOutlineThick(0);
    pStatic->SetAlignFormat(4);
    pStatic->SetFontColor(0xC8C8C8);
    pStatic->SetFontSize(13);
    pStatic->SetFontBold(TRUE);
}

void ApplyRoundedWhiteLabelStyle(CThemeStatic* pStatic) {
    if (!pStatic) return;
    pStatic->SetBackColor(0xFFFFFF);
    pStatic->SetOutlineColor(0xC8C8C8);
    pStatic->SetEdgeRoundValue(5);
    pStatic->SetAlignFormat(5);
}

void ApplyLargeBoldLabelStyle(CThemeStatic* pStatic) {
    if (!pStatic) return;
    pStatic->SetBackColor(0x000000);
    pStatic->SetAlignFormat(5);
    pStatic->SetFontColor(0xC8C8C8);
    pStatic->SetOutlineThick(0);
    pStatic->SetFontSize(50);
    pStatic->SetFontBold(TRUE);
}

void ApplyMediumBoldLabelStyle(CThemeStatic* pStatic) {
    if (!pStatic) return;
    pStatic->SetBackColor(0x000000);
    pStatic->SetOutlineThick(0);
    pStatic->SetAlignFormat(4);
    pStatic->SetFontColor(0xC8C8C8);
    pStatic->SetFontSize(20);
    pStatic->SetFontBold(TRUE);
}

void ApplyCentredBoldLabelStyle(CThemeStatic* pStatic) {
    if (!pStatic) return;
    pStatic->SetBackColor(0x000000);
    pStatic->SetOutlineThick(0);
    pStatic->SetFontSize(13);
    pStatic->SetFontColor(0xFFFFFF);
    pStatic->SetAlignFormat(5);
    pStatic->SetFontBold(TRUE);
}

void ApplyRoundedGreyLabelStyle(CThemeStatic* pStatic) {
    if (!pStatic) return;
    pStatic->SetBackColor(0x646464);
    pStatic->SetFontColor(0xC8C8C8);
    pStatic->SetOutlineColor(0x646464);
    pStatic->SetEdgeRoundValue(5);
    pStatic->SetAlignFormat(5);
}

void ApplySliderStyle(CThemeSlider* pSlider) {
    if (!pSlider) return;
    pSlider->SetBackBitmap(IDB_SLIDER_BACK);
    pSlider->SetBarBitmap(IDB_SLIDER_THUMB);
    pSlider->SetAutoToolTip(FALSE);
}

void ApplyPlayRadioStyle(CThemeRadio* pRadio) {
    if (!pRadio) return;
    pRadio->SetBackBitmap(IDB_PLAY_RADIO);
    pRadio->SetTextColors(0x454548, kSame, kSame, kSame);
    pRadio->SetTextHoverColor(0x3C342F);
    pRadio->SetTextPressedColor(0x3C342F);
    pRadio->SetShadowColors(0x4D8FA6, kSame, kSame, kSame);
    pRadio->SetShadowHoverColor(0x35698C);
    pRadio->SetShadowPressedColor(0x35698C);
    pRadio->SetAlignFormat(5);
}

void ApplyConfigRadioStyle(CThemeRadio* pRadio) {
    if (!pRadio) return;
    pRadio->SetBackColors(0x000000, kSame, kSame, kSame);
    pRadio->SetTextColors(0xF8FBF8, kSame, kSame, kSame);
    pRadio->SetTextHoverColor(0xCED3CD);
    pRadio->SetTextPressedColor(0x8B9389);
    pRadio->SetShadowColors(0x434F68, kSame, kSame, kSame);
    pRadio->SetShadowHoverColor(0x444E63);
    pRadio->SetShadowPressedColor(0x3F4145);
}

void ApplyGroupStyle(CThemeGroup* pGroup) {
    if (!pGroup) return;
    pGroup->SetBackColor(0x000000);
    pGroup->SetFontColor(0xFFFFFF);
}

void ApplyComboStyle(CThemeCombo* pCombo) {
    if (!pCombo) return;
    pCombo->SetBackColor(0x2A2A2B);
    pCombo->SetOutlineColor(0x555555);
    pCombo->SetFontColor(0xFBFFFB);
    pCombo->SetNormalBackColor(0x2A2A2B);
    pCombo->SetFrameColor(0x2A2A2B);
    pCombo->SetSelectFontColor(0xFBFFFB);
    pCombo->SetSelectBackColor(0x444444);
    pCombo->SetItemHeight(22);
    pCombo->SetListBoxHeight(95);
}

void ApplyEditStyle(CThemeEdit* pEdit) {
    if (!pEdit) return;
    pEdit->SetBackColor(0x2E2E2F);
    pEdit->SetOutlineLTColor(0x232324);
    pEdit->SetOutlineRBColor(0x67696E);
    pEdit->SetFontColor(0xFFFFFF);
}

void ApplyCheckStyle(CThemeCheck* pCheck) {
    if (!pCheck) return;
    pCheck->SetBackColors(0x000000, kSame, kSame, kSame);
    pCheck->SetOutlineThick(0);
    pCheck->SetFontSize(15);
    pCheck->SetTextColors(0xFFFFFF, kSame, kSame, kSame);
}
