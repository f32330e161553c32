// The style presets: one look for every dialog of the program, set on each
// skinned control right after the dialog obtained it. Each preset calls the
// control's setters in a fixed order; a dialog that wants more calls further
// setters afterwards, which win. A null control (a template control that
// was not replaced) is left alone.
#pragma once

#include "classlib/afxwin.h"

// Declared only: the combo box's and the report list's headers do not go
// into one translation unit together, so each user includes what it styles.
class CThemeButton;
class CThemeCheck;
class CThemeCombo;
class CThemeEdit;
class CThemeGroup;
class CThemeListCtrl;
class CThemeRadio;
class CThemeSlider;
class CThemeStatic;

// Buttons.
void ApplyCloseButtonStyle(CThemeButton* pButton);     // "X": image 139, caption " "
void ApplyMinimizeButtonStyle(CThemeButton* pButton);  // "_": image 148, caption " "
void ApplyTextButtonStyle(CThemeButton* pButton);      // main dialog's text buttons
void ApplyConfigButtonStyle(CThemeButton* pButton);    // configuration dialog's buttons
void SetButtonImage(CThemeButton* pButton, UINT nIDBitmap);

// Labels.
void SetStaticImage(CThemeStatic* pStatic, UINT nIDBitmap);
void ApplyValueLabelStyle(CThemeStatic* pStatic);
void ApplyLabelStyle(CThemeStatic* pStatic);
void ApplyDetailLabelStyle(CThemeStatic* pStatic);
void ApplyRoundedWhiteLabelStyle(CThemeStatic* pStatic);
void ApplyLargeBoldLabelStyle(CThemeStatic* pStatic);
void ApplyMediumBoldLabelStyle(CThemeStatic* pStatic);
void ApplyCentredBoldLabelStyle(CThemeStatic* pStatic);
void ApplyRoundedGreyLabelStyle(CThemeStatic* pStatic);

// Other controls.
void ApplySliderStyle(CThemeSlider* pSlider);
void ApplyListStyle(CThemeListCtrl* pList);
void ApplyPlayRadioStyle(CThemeRadio* pRadio);
void ApplyConfigRadioStyle(CThemeRadio* pRadio);
void ApplyGroupStyle(CThemeGroup* pGroup);
void ApplyComboStyle(CThemeCombo* pCombo);
void ApplyEditStyle(CThemeEdit* pEdit);
void ApplyCheckStyle(CThemeCheck* pCheck);
