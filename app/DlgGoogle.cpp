#include "app/DlgGoogle.h"

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeConfig.h"
#include "app/GoogleView.h"
#include "app/StylePreset_win32.h"

BEGIN_MESSAGE_MAP(CDlgGoogle, CThemeDialog)
ON_COMMAND(IDC_CLOSE, OnCloseButton)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CDlgGoogle::CDlgGoogle(CWnd* pParent) : CThemeDialog(IDD, pParent), m_pView(nullptr) {}

CDlgGoogle::~CDlgGoogle() {
    // A window destroyed after this object (by the base's destructor) takes
    // the view with it: the view must not write into this object then.
    if (m_pView) m_pView->SetOwnerSlot(nullptr);
}

void CDlgGoogle::DoDataExchange(CDataExchange* pDX) { CThemeDialog::DoDataExchange(pDX); }

BOOL CDlgGoogle::OnInitDialog() {
    CThemeDialog::OnInitDialog();
    CreateMapView();
    InitTitle();
    InitControls();
    return TRUE;
}

void CDlgGoogle::CreateMapView() {
    if (!m_pView) {
        m_context.m_pCurrentDoc = nullptr;
        m_context.m_pNewViewClass = RUNTIME_CLASS(CGoogleView);
        m_pView = static_cast<CGoogleView*>(AfxCreateView(this, &m_context, AFX_IDW_PANE_FIRST));
        if (m_pView) m_pView->SetOwnerSlot(&m_pView);
    }
    if (!m_pView) return;
    m_pView->ShowScrollBar(SB_BOTH, FALSE);
    m_pView->ShowWindow(SW_SHOWNORMAL);
    m_pView->MoveWindow(MAP_VIEW_X, MAP_VIEW_Y, MAP_VIEW_CX, MAP_VIEW_CY, TRUE);
    m_pView->Navigate();
}

void CDlgGoogle::InitTitle() {
    SetFontColor(0x0000FF);
    SetFontBold(TRUE);
    SetFontSize(16);
    SetAlignFormat(5);
    SetCaptionArea(CRect(1, 1, -1, 40));
    CString strCaption;
    strCaption.LoadString(IDS_MAP);
    SetCaption(strCaption);
    SetMouseDragMove(TRUE);
    SetBackColor(0x646464);
    SetBackImage(GetAppFolder() + "Image\\popup copy.gif");
}

void CDlgGoogle::InitControls() {
    ApplyCloseButtonStyle(dynamic_cast<CThemeButton*>(ReplaceControl(IDC_CLOSE)));
}

void CDlgGoogle::SetLatLng(double latitude, double longitude) {
    if (m_pView) m_pView->SetLatLng(latitude, longitude);
}

void CDlgGoogle::SetMapFocus() {
    if (m_pView) m_pView->SetMapFocus();
}

void CDlgGoogle::OnCloseButton() { ShowWindow(SW_HIDE); }

void CDlgGoogle::OnDestroy() {
    CThemeDialog::OnDestroy();
    // The view is deleted with its own window, which goes after this one's
    // WM_DESTROY; deleting it here as well would free it twice. Forget it.
    if (m_pView) m_pView->SetOwnerSlot(nullptr);
    m_pView = nullptr;
}
