#include "app/ConfigDlg.h"

BEGIN_MESSAGE_MAP(CConfigDlg, CThemeDialog)
ON_COMMAND(1037, OnCloseButton)
END_MESSAGE_MAP()

CConfigDlg::CConfigDlg(CWnd* pParent) : CThemeDialog(IDD, pParent) {}

BOOL CConfigDlg::OnInitDialog() {
    CThemeDialog::OnInitDialog();
    return TRUE;
}

void CConfigDlg::OnCloseButton() { OnCancel(); }
