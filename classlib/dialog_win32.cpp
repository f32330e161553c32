// CDialog: template dialogs, the modal loop, and dialog data exchange.
#include "afximpl.h"

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>

namespace {

// The system dialog procedure calls this for what our window procedure
// passes on; everything of ours is handled before it.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

LPCDLGTEMPLATEA LoadDialogTemplate(LPCTSTR lpszTemplateName) {
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceA(hInst, lpszTemplateName, (LPCSTR)RT_DIALOG);
    if (!hRes) return nullptr;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRes);
    return hGlobal ? (LPCDLGTEMPLATEA)::LockResource(hGlobal) : nullptr;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
ON_COMMAND(IDOK, OnOKCommand)
ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

CDialog::CDialog()
    : m_lpszTemplateName(nullptr),
      m_nIDHelp(0),
      m_pParentWnd(nullptr),
      m_bModal(FALSE),
      m_bModalEnd(FALSE),
      m_nModalResult(-1) {}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog() {
    m_lpszTemplateName = MAKEINTRESOURCEA(nIDTemplate);
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd) : CDialog() {
    m_lpszTemplateName = lpszTemplateName;
    m_pParentWnd = pParentWnd;
}

CDialog::~CDialog() {}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd) {
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName)) m_nIDHelp = (UINT)(UINT_PTR)lpszTemplateName;
    LPCDLGTEMPLATEA lpTemplate = LoadDialogTemplate(lpszTemplateName);
    if (!lpTemplate) return FALSE;
    return CreateIndirect(lpTemplate, pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd) {
    if (m_hWnd) return FALSE;
    AfxInitCommonControls();
    if (!pParentWnd) pParentWnd = m_pParentWnd;
    m_pParentWnd = pParentWnd;
    HWND hWndParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    if (!hWndParent && !m_bModal) {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain && pMain != this) hWndParent = pMain->m_hWnd;
    }
    return CreateDlgIndirectFor(lpDialogTemplate, hWndParent);
}

BOOL CDialog::CreateDlgIndirectFor(LPCDLGTEMPLATEA lpDialogTemplate, HWND hWndParent) {
    AFX_THREAD_STATE* st = AfxGetThreadState();
    CWnd* pOldInit = st->pWndInit;
    CWnd* pOldCreating = st->pWndCreating;
    bool bOwnsHook = false;
    st->pWndInit = this;
    st->pWndCreating = this;
    if (!st->hHookCbt) {
        st->hHookCbt =
            ::SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
        bOwnsHook = true;
    }
    HWND hWnd = ::CreateDialogIndirectParamA(AfxGetResourceHandle(), lpDialogTemplate, hWndParent,
                                             AfxDlgProc, 0);
    st->pWndInit = pOldInit;
    st->pWndCreating = pOldCreating;
    if (bOwnsHook) {
        ::UnhookWindowsHookEx(st->hHookCbt);
        st->hHookCbt = nullptr;
    }
    if (!hWnd) return FALSE;
    if (m_hWnd != hWnd) {
        if (m_hWnd) Detach();
        SubclassWindow(hWnd);
        HandleInitDialog(0, 0);
    }
    return TRUE;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOKCommand() { OnOK(); }
void CDialog::OnCancelCommand() { OnCancel(); }

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int nResult) {
    if (m_bModal) {
        m_nModalResult = nResult;
        m_bModalEnd = TRUE;
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wake the loop
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, nResult);
    }
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hWnd &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
        return ::IsDialogMessageA(m_hWnd, pMsg);
    return FALSE;
}

HWND CDialog::FindOwner() const {
    CWnd* pParent = m_pParentWnd;
    if (!pParent) {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain != this) pParent = pMain;
    }
    HWND hWnd = pParent ? pParent->m_hWnd : nullptr;
    if (!hWnd) hWnd = ::GetActiveWindow();
    if (hWnd) hWnd = ::GetAncestor(hWnd, GA_ROOT);
    if (hWnd == ::GetDesktopWindow()) hWnd = nullptr;
    return hWnd;
}

INT_PTR CDialog::DoModal() {
    LPCDLGTEMPLATEA lpTemplate = LoadDialogTemplate(m_lpszTemplateName);
    if (!lpTemplate || m_hWnd) return -1;

    HWND hWndOwner = FindOwner();
    BOOL bEnableOwner = FALSE;
    if (hWndOwner && ::IsWindowEnabled(hWndOwner)) {
        ::EnableWindow(hWndOwner, FALSE);
        bEnableOwner = TRUE;
    }
    m_bModal = TRUE;
    m_bModalEnd = FALSE;
    m_nModalResult = -1;
    AfxInitCommonControls();
    if (CreateDlgIndirectFor(lpTemplate, hWndOwner) && !m_bModalEnd) RunModalLoop();

    // Owner first, so that activation goes back to it and not elsewhere.
    if (bEnableOwner) ::EnableWindow(hWndOwner, TRUE);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        if (hWndOwner && ::GetActiveWindow() == nullptr) ::SetActiveWindow(hWndOwner);
        DestroyWindow();
    }
    m_bModal = FALSE;
    return m_nModalResult;
}

int CDialog::RunModalLoop() {
    AFX_THREAD_STATE* st = AfxGetThreadState();
    BOOL bShown = (GetStyle() & WS_VISIBLE) != 0;
    while (!m_bModalEnd && m_hWnd) {
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            // Idle: show a dialog whose template was hidden, free temporaries.
            if (!bShown) {
                ShowWindow(SW_SHOWNORMAL);
                bShown = TRUE;
            }
            if (st->nWndProcDepth == 0) CWnd::DeleteTempMap();
        }
        if (!AfxPumpMessage()) {
            if (!m_bModalEnd) m_nModalResult = -1;
            break;
        }
    }
    m_bModalEnd = TRUE;
    return m_nModalResult;
}

// --- Data exchange ------------------------------------------------------------

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    HWND hWnd = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    m_idLastControl = nIDC;
    return hWnd;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_idLastControl) {
        HWND hWnd = ::GetDlgItem(m_pDlgWnd->m_hWnd, m_idLastControl);
        if (hWnd) {
            ::SetFocus(hWnd);
            char cls[16] = "";
            ::GetClassNameA(hWnd, cls, sizeof cls);
            if (lstrcmpiA(cls, "Edit") == 0) ::SendMessageA(hWnd, EM_SETSEL, 0, -1);
        }
    }
    throw CUserException();
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd) return;
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!hWnd || !rControl.SubclassWindow(hWnd)) pDX->Fail();
}

namespace {

CString ControlText(HWND hWnd) {
    CString s;
    if (hWnd) CWnd::FromHandle(hWnd)->GetWindowText(s);
    return s;
}

// Whole-string numbers only: "12x" is refused rather than read as 12.
bool ParseLong(const CString& s, long& out) {
    const char* p = s;
    char* end = nullptr;
    errno = 0;
    long v = strtol(p, &end, 10);
    if (end == p || errno == ERANGE) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end) return false;
    out = v;
    return true;
}

void NumberFailed(CDataExchange* pDX) {
    AfxMessageBox("Enter a number.", MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ControlText(hWnd);
    else if (hWnd)
        ::SetWindowTextA(hWnd, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long v = 0;
        if (!ParseLong(ControlText(hWnd), v)) NumberFailed(pDX);
        value = v;
    } else if (hWnd) {
        char buf[32];
        snprintf(buf, sizeof buf, "%ld", value);
        ::SetWindowTextA(hWnd, buf);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    long v = value;
    DDX_Text(pDX, nIDC, v);
    if (pDX->m_bSaveAndValidate) {
        if (v < INT_MIN || v > INT_MAX) NumberFailed(pDX);
        value = (int)v;
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        CString s = ControlText(hWnd);
        const char* p = s;
        while (*p == ' ') ++p;
        char* end = nullptr;
        errno = 0;
        unsigned long long v = strtoull(p, &end, 10);
        while (end && (*end == ' ' || *end == '\t')) ++end;
        if (*p == '-' || end == p || *end || errno == ERANGE || v > 0xFFFFFFFFull)
            NumberFailed(pDX);
        value = (UINT)v;
    } else if (hWnd) {
        char buf[32];
        snprintf(buf, sizeof buf, "%u", value);
        ::SetWindowTextA(hWnd, buf);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        CString s = ControlText(hWnd);
        const char* p = s;
        char* end = nullptr;
        double v = strtod(p, &end);
        while (end && (*end == ' ' || *end == '\t')) ++end;
        if (end == p || *end) NumberFailed(pDX);
        value = v;
    } else if (hWnd) {
        char buf[64];
        snprintf(buf, sizeof buf, "%.15g", value);
        ::SetWindowTextA(hWnd, buf);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!hWnd) return;
    if (pDX->m_bSaveAndValidate)
        value = (int)::SendMessageA(hWnd, BM_GETCHECK, 0, 0);
    else
        ::SendMessageA(hWnd, BM_SETCHECK, (WPARAM)value, 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!hWnd) return;
    if (pDX->m_bSaveAndValidate) value = -1;
    int iButton = 0;
    // The group runs from nIDC up to the next control that starts a group.
    do {
        if (::SendMessageA(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessageA(hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED && value < 0)
                    value = iButton;
            } else {
                ::SendMessageA(hWnd, BM_SETCHECK, iButton == value ? BST_CHECKED : BST_UNCHECKED,
                               0);
            }
            ++iButton;
        }
        hWnd = ::GetWindow(hWnd, GW_HWNDNEXT);
    } while (hWnd && !(::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_GROUP));
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!hWnd) return;
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageA(hWnd, CB_GETCURSEL, 0, 0);
    else
        ::SendMessageA(hWnd, CB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!hWnd) return;
    if (pDX->m_bSaveAndValidate) {
        value = ControlText(hWnd);
    } else if (::SendMessageA(hWnd, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)(LPCSTR)value) == CB_ERR) {
        ::SetWindowTextA(hWnd, value);  // not in the list: the edit part shows it
    }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!hWnd) return;
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageA(hWnd, LB_GETCURSEL, 0, 0);
    else
        ::SendMessageA(hWnd, LB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!hWnd) return;
    if (pDX->m_bSaveAndValidate) {
        int i = (int)::SendMessageA(hWnd, LB_GETCURSEL, 0, 0);
        value.Empty();
        if (i >= 0) {
            int n = (int)::SendMessageA(hWnd, LB_GETTEXTLEN, (WPARAM)i, 0);
            if (n > 0) {
                ::SendMessageA(hWnd, LB_GETTEXT, (WPARAM)i, (LPARAM)value.GetBufferSetLength(n));
                value.ReleaseBuffer();
            }
        }
    } else {
        ::SendMessageA(hWnd, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)(LPCSTR)value);
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
    char buf[96];
    snprintf(buf, sizeof buf, "Enter a number from %d to %d.", minVal, maxVal);
    AfxMessageBox(buf, MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
    if (!pDX->m_bSaveAndValidate) {
        if (pDX->m_idLastControl)
            ::SendDlgItemMessageA(pDX->m_pDlgWnd->m_hWnd, pDX->m_idLastControl, EM_LIMITTEXT,
                                  (WPARAM)nChars, 0);
        return;
    }
    if (value.GetLength() <= nChars) return;
    char buf[96];
    snprintf(buf, sizeof buf, "Enter no more than %d characters.", nChars);
    AfxMessageBox(buf, MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}
