// The program's main window: a skinned dialog on template 102 titled
// "Trellmar". This holds only what start-up needs: it shows itself and
// closes on its close button or WM_CLOSE.
#pragma once

#include "ThemeClass/ThemeDialog.h"

#ifndef IDD_QUORVEL_DIALOG
#define IDD_QUORVEL_DIALOG 102
#endif
#ifndef IDC_BTN_X
#define IDC_BTN_X 1037
#endif

class CQuorvelDlg : public CThemeDialog {
public:
    enum { IDD = IDD_QUORVEL_DIALOG };
    explicit CQuorvelDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

protected:
    afx_msg void OnCloseButton();

    DECLARE_MESSAGE_MAP()
};
