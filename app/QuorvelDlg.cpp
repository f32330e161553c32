#include "app/QuorvelDlg.h"

BEGIN_MESSAGE_MAP(CQuorvelDlg, CThemeDialog)
ON_COMMAND(IDC_BTN_X, OnCloseButton)
END_MESSAGE_MAP()

CQuorvelDlg::CQuorvelDlg(CWnd* pParent) : CThemeDialog(IDD, pParent) {}

BOOL CQuorvelDlg::OnInitDialog() {
    CThemeDialog::OnInitDialog();
    SetCaption("Trellmar");
    return TRUE;
}

void CQuorvelDlg::OnCloseButton() { OnCancel(); }
