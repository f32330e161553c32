#include "app/DlgGoogle.h"

BEGIN_MESSAGE_MAP(CDlgGoogle, CThemeDialog)
ON_COMMAND(1037, OnCloseButton)
END_MESSAGE_MAP()

CDlgGoogle::CDlgGoogle(CWnd* pParent) : CThemeDialog(IDD, pParent) {}

BOOL CDlgGoogle::OnInitDialog() {
    CThemeDialog::OnInitDialog();
    return TRUE;
}

void CDlgGoogle::SetLatLng(double, double) {}

void CDlgGoogle::SetMapFocus() {}

void CDlgGoogle::OnCloseButton() { ShowWindow(SW_HIDE); }
