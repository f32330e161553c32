// The configuration window: the card drive, the recorder's four settings,
// its clock file and the card format. A modal skinned dialog on template 130.
#pragma once

#include "ThemeClass/ThemeDialog.h"
#include "app/res/resource.h"


class CConfigDlg : public CThemeDialog {
public:
    enum { IDD = IDD_CONFIG };
    explicit CConfigDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

protected:
    afx_msg void OnCloseButton();

    DECLARE_MESSAGE_MAP()
};
