#include "ThemeClass/BaseEdit.h"

#include "ThemeClass/ThemeEditRules.h"

BEGIN_MESSAGE_MAP(CBaseEdit, CEdit)
ON_WM_KEYDOWN()
ON_WM_CHAR()
ON_WM_KILLFOCUS()
ON_WM_GETDLGCODE()
ON_WM_SIZE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

constexpr UINT kClickKey = 1;
constexpr DWORD kInPlaceStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;

}  // namespace

CBaseEdit::CBaseEdit()
    : m_bInPlace(0),
      m_nRow(0),
      m_nColumn(0),
      m_nLastKey(0),
      m_bArrowsEndEdit(1),
      m_hWndOwner(nullptr),
      m_hWndFocusSuccessor(nullptr),
      m_bEnded(FALSE),
      m_bConstructing(FALSE) {}

CBaseEdit::CBaseEdit(CWnd* pParent, const CRect& rect, DWORD dwStyle, UINT nID, int nRow,
                     int nColumn, const CString& strInitText, UINT nFirstKey)
    : m_bInPlace(1),
      m_strInitText(strInitText),
      m_nRow(nRow),
      m_nColumn(nColumn),
      m_nLastKey(0),
      m_bArrowsEndEdit(nFirstKey != kClickKey),
      m_rect(rect),
      m_hWndOwner(pParent ? pParent->GetSafeHwnd() : nullptr),
      m_hWndFocusSuccessor(nullptr),
      m_bEnded(FALSE),
      m_bConstructing(TRUE) {
    if (!m_hWndOwner || !Create(dwStyle | kInPlaceStyle, rect, pParent, nID)) {
        m_bConstructing = FALSE;
        return;
    }
    SetFont(pParent->GetFont());
    SetWindowText(m_strInitText);
    SetFocus();
    const skin::FirstKeyAction action = skin::InPlaceFirstKey(nFirstKey);
    if (action.selectAll) {
        SetSel(0, -1);
    } else {
        const int n = GetWindowTextLength();
        SetSel(n, n);
    }
    if (action.sendChar && m_hWnd) SendMessage(WM_CHAR, nFirstKey, 0);
    m_bConstructing = FALSE;
}

CBaseEdit::~CBaseEdit() {
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

BOOL CBaseEdit::PreTranslateMessage(MSG* pMsg) {
    // Alt with a key would look for a menu mnemonic and beep.
    if (pMsg->message == WM_SYSCHAR) return TRUE;
    return CEdit::PreTranslateMessage(pMsg);
}

LRESULT CBaseEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    return CEdit::WindowProc(message, wParam, lParam);
}

void CBaseEdit::SetToolTipText(LPCTSTR lpszText) {
    if (GetSafeHwnd()) SetControlToolTip(m_toolTip, this, lpszText);
}

void CBaseEdit::EndWithKey(UINT nKey) {
    m_nLastKey = nKey;
    CWnd* pParent = GetParent();
    if (pParent) pParent->SetFocus();
}

void CBaseEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (m_bInPlace &&
        skin::NavigationKeyEndsEdit(nChar, m_bArrowsEndEdit != 0, ::GetKeyState(VK_CONTROL) < 0)) {
        EndWithKey(nChar);
        return;
    }
    CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CBaseEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (nChar == VK_TAB || nChar == VK_RETURN) {
        EndWithKey(nChar);
        return;
    }
    if (nChar == VK_ESCAPE) {
        SetWindowText(m_strInitText);
        EndWithKey(nChar);
        return;
    }
    CEdit::OnChar(nChar, nRepCnt, nFlags);
    if (m_bInPlace && m_hWnd) GrowToText();
}

void CBaseEdit::GrowToText() {
    CWnd* pParent = GetParent();
    if (!pParent) return;
    CString text;
    GetWindowText(text);
    text += "  ";
    CSize extent;
    {
        CClientDC dc(this);
        HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        HGDIOBJ hOld = hFont ? dc.SelectObject(hFont) : nullptr;
        extent = dc.GetTextExtent(text);
        if (hOld) dc.SelectObject(hOld);
    }
    CRect parentClient;
    pParent->GetClientRect(&parentClient);
    const int right = skin::GrowEditRight(m_rect.left, m_rect.right, extent.cx, parentClient.right);
    if (right != m_rect.right) {
        m_rect.right = right;
        MoveWindow(&m_rect, TRUE);
    }
}

void CBaseEdit::OnKillFocus(CWnd* pNewWnd) {
    m_hWndFocusSuccessor = pNewWnd ? pNewWnd->GetSafeHwnd() : nullptr;
    const HWND hWnd = m_hWnd;
    CEdit::OnKillFocus(pNewWnd);
    // Only the first loss of focus ends the edit: an owner that hands the
    // focus back while it reads the result gets no second report.
    if (!m_bInPlace || m_bEnded) return;
    m_bEnded = TRUE;
    SendEndEdit();
    // A window already destroyed by the owner has nothing left to close.
    if (m_hWnd && m_hWnd == hWnd) PostMessage(WM_CLOSE);
}

void CBaseEdit::SendEndEdit() {
    InPlaceEditNotify notify;
    notify.hdr.hwndFrom = m_hWnd;
    notify.hdr.idFrom = m_hWnd ? static_cast<UINT_PTR>(GetDlgCtrlID()) : 0;
    notify.hdr.code = GRID_ENDEDIT;
    notify.item.row = m_nRow;
    notify.item.column = m_nColumn;
    notify.item.mask = GRID_ITEM_TEXT | GRID_ITEM_PARAM;
    if (m_hWnd) GetWindowText(notify.item.text);
    notify.item.userData = static_cast<LPARAM>(m_nLastKey);
    if (m_hWndOwner && ::IsWindow(m_hWndOwner))
        ::SendMessageA(m_hWndOwner, WM_NOTIFY, notify.hdr.idFrom,
                       reinterpret_cast<LPARAM>(&notify));
}

UINT CBaseEdit::OnGetDlgCode() { return DLGC_WANTALLKEYS; }

void CBaseEdit::OnSize(UINT nType, int cx, int cy) {
    CEdit::OnSize(nType, cx, cy);
    // The edit paints itself on resize; only the tip follows the new size.
    if (cx > 7 && cy > 7 && m_toolTip.GetSafeHwnd()) m_toolTip.UpdateTool(m_toolTip.GetText());
}

void CBaseEdit::OnDestroy() {
    CEdit::OnDestroy();
    m_toolTip.RemoveTool();
}

void CBaseEdit::PostNcDestroy() {
    CEdit::PostNcDestroy();
    // During its own constructor the object belongs to the new-expression:
    // a window lost there leaves the object for the creator to delete.
    if (m_bInPlace && !m_bConstructing) delete this;
}
