#include "app/DlgDetail.h"

BEGIN_MESSAGE_MAP(CDlgDetail, CThemeDialog)
ON_COMMAND(1037, OnCloseButton)
ON_WM_NCHITTEST()
END_MESSAGE_MAP()

CDlgDetail::CDlgDetail(CWnd* pParent) : CThemeDialog(IDD, pParent) {}

BOOL CDlgDetail::OnInitDialog() {
    CThemeDialog::OnInitDialog();
    return TRUE;
}

void CDlgDetail::OnCloseButton() { ShowWindow(SW_HIDE); }

LRESULT CDlgDetail::OnNcHitTest(CPoint) { return HTNOWHERE; }
