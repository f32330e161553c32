#include "ThemeClass/BaseCombo.h"

#include <algorithm>

#include "ThemeClass/ThemeComboRules.h"

namespace {

bool CtrlHeld() { return ::GetKeyState(VK_CONTROL) < 0; }

LPARAM KeyLParam(UINT nRepCnt, UINT nFlags) {
    return static_cast<LPARAM>(nRepCnt + (static_cast<DWORD>(nFlags) << 16));
}

}  // namespace

// ---- the edit field

BEGIN_MESSAGE_MAP(CBaseComboEdit, CEdit)
ON_WM_KILLFOCUS()
ON_WM_KEYDOWN()
ON_WM_KEYUP()
END_MESSAGE_MAP()

BOOL CBaseComboEdit::PreTranslateMessage(MSG* pMsg) {
    // Keys never reach a dialog's own key handling (Enter, Escape, Tab).
    if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP) {
        ::TranslateMessage(pMsg);
        ::DispatchMessageA(pMsg);
        return TRUE;
    }
    if (pMsg->message == WM_SYSCHAR) return TRUE;
    return CEdit::PreTranslateMessage(pMsg);
}

void CBaseComboEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (skin::ComboIsNavKey(nChar) && CtrlHeld() &&
        GetDlgCtrlID() == static_cast<int>(CBaseCombo::kEditFieldId)) {
        CWnd* pCombo = GetParent();
        if (pCombo) pCombo->SendMessage(WM_KEYDOWN, nChar, KeyLParam(nRepCnt, nFlags));
        return;
    }
    CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CBaseComboEdit::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (nChar == VK_TAB || nChar == VK_RETURN || nChar == VK_ESCAPE) {
        CWnd* pCombo = GetParent();
        if (pCombo) pCombo->SendMessage(WM_KEYUP, nChar, KeyLParam(nRepCnt, nFlags));
        return;
    }
    CEdit::OnKeyUp(nChar, nRepCnt, nFlags);
}

void CBaseComboEdit::OnKillFocus(CWnd* pNewWnd) {
    CEdit::OnKillFocus(pNewWnd);
    CBaseCombo* pCombo = dynamic_cast<CBaseCombo*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
    if (pCombo) pCombo->EndEdit();
}

// ---- the combo

BEGIN_MESSAGE_MAP(CBaseCombo, CComboBox)
ON_WM_KILLFOCUS()
ON_WM_KEYDOWN()
ON_WM_KEYUP()
END_MESSAGE_MAP()

CBaseCombo::CBaseCombo() = default;

CBaseCombo::CBaseCombo(CWnd* pParent, CRect& rect, DWORD dwStyle, UINT nID, int nRow, int nColumn,
                       CStringArray& items, CString strText, UINT nFirstChar)
    : m_dropLines(4),
      m_startText(strText),
      m_cellRow(nRow),
      m_cellColumn(nColumn),
      m_endKey(0),
      m_arrowsEndEdit(FALSE),
      // Only the Enter that started the edit has a key-up still to come.
      m_skipFirstEnter(skin::ComboSkipsFirstEnter(nFirstChar)),
      m_parentWnd(pParent),
      m_hParentWnd(pParent ? pParent->GetSafeHwnd() : nullptr) {
    const DWORD style = dwStyle | WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | CBS_AUTOHSCROLL;
    const int h = rect.Height();
    CRect rcCreate = rect;
    rcCreate.bottom += m_dropLines * h + ::GetSystemMetrics(SM_CYHSCROLL);
    rect = rcCreate;
    if (!pParent || !Create(style, rect, pParent, nID)) return;

    for (INT_PTR i = 0; i < items.GetSize(); ++i) AddString(items[i]);

    // Wide enough for the widest item in the parent's font.
    int widest = 0;
    int space = 0;
    CFont* pFont = pParent->GetFont();
    {
        CClientDC dc(pParent);
        CFont* pOld = pFont && pFont->GetSafeHandle() ? dc.SelectObject(pFont) : nullptr;
        for (INT_PTR i = 0; i < items.GetSize(); ++i)
            widest = std::max(widest, static_cast<int>(dc.GetTextExtent(items[i]).cx));
        space = dc.GetTextExtent(" ", 1).cx;
        if (pOld) dc.SelectObject(pOld);
    }
    const skin::ComboCellGeometry g =
        skin::ComboCellRect(skin::Rect{rect.left, rect.top, rect.right, rect.top + h}, 0, 0, widest,
                            ::GetSystemMetrics(SM_CXVSCROLL), space);
    rect.right = g.window.right;
    MoveWindow(&rect, TRUE);

    if (pFont && pFont->GetSafeHandle()) SetFont(pFont, TRUE);
    SetItemHeight(-1, static_cast<UINT>(h));
    SetDroppedWidth(static_cast<UINT>(g.dropWidth));
    SetHorizontalExtent(0);

    const int found = FindStringExact(-1, m_startText);
    if (found >= 0)
        SetCurSel(found);
    else
        SetWindowText(m_startText);

    if (!IsDropList()) {
        HWND hEdit = ::GetDlgItem(m_hWnd, kEditFieldId);
        if (hEdit) m_editField.SubclassWindow(hEdit);
        SetFocus();
        ReplayFirstKey(nFirstChar);
    } else {
        SetFocus();
    }
}

BOOL CBaseCombo::IsDropList() const { return skin::ComboIsDropList(GetStyle()); }

void CBaseCombo::ReplayFirstKey(UINT nFirstChar) {
    const int len = GetWindowTextLength();
    switch (skin::ComboFirstKey(nFirstChar)) {
        case skin::ComboFirstKeyAction::kCaretEnd: SetEditSel(len, -1); break;
        case skin::ComboFirstKeyAction::kCaretEndBackspace:
            SetEditSel(len, -1);
            SendMessage(WM_CHAR, nFirstChar, 0);
            break;
        case skin::ComboFirstKeyAction::kSelectAll: SetEditSel(0, -1); break;
        case skin::ComboFirstKeyAction::kSelectAllType:
            SetEditSel(0, -1);
            SendMessage(WM_CHAR, nFirstChar, 0);
            break;
    }
}

void CBaseCombo::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (skin::ComboKeyDownEnds(nChar, m_arrowsEndEdit != FALSE, CtrlHeld())) {
        m_endKey = nChar;
        FocusParent();
        return;
    }
    CComboBox::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CBaseCombo::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) {
    const skin::ComboKeyUpResult r = skin::ComboKeyUp(nChar, m_skipFirstEnter != FALSE);
    if (!r.handled) {
        CComboBox::OnKeyUp(nChar, nRepCnt, nFlags);
        return;
    }
    if (r.restoreText) SetWindowText(m_startText);
    if (r.clearSkip) m_skipFirstEnter = FALSE;
    if (r.end) {
        m_endKey = nChar;
        FocusParent();
    }
}

void CBaseCombo::FocusParent() {
    // The edit ends through the loss of focus.
    if (m_hParentWnd && ::IsWindow(m_hParentWnd)) ::SetFocus(m_hParentWnd);
}

void CBaseCombo::OnKillFocus(CWnd* pNewWnd) {
    CComboBox::OnKillFocus(pNewWnd);
    if (pNewWnd && pNewWnd->GetSafeHwnd() == m_hWnd) return;
    // With an edit field, the field's own loss of focus ends the edit.
    if (IsDropList()) EndEdit();
}

void CBaseCombo::EndEdit() {
    // Focus changes during the close could ask again: one report only.
    if (m_bEndSent || !GetSafeHwnd()) return;
    m_bEndSent = TRUE;
    const HWND hWnd = m_hWnd;

    InPlaceEditNotify n;
    n.hdr.hwndFrom = hWnd;
    n.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    n.hdr.code = static_cast<UINT>(GRID_ENDEDIT);
    n.item.row = m_cellRow;
    n.item.column = m_cellColumn;
    n.item.mask = GRID_ITEM_TEXT | GRID_ITEM_PARAM;
    GetWindowText(n.item.text);
    n.item.userData = static_cast<LPARAM>(m_endKey);

    // The parent's handler may destroy this window, and with it this
    // object: nothing of it is touched after the call.
    const HWND hOwner = m_hParentWnd;
    if (hOwner && ::IsWindow(hOwner))
        ::SendMessageA(hOwner, WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n));
    if (::IsWindow(hWnd)) ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
}

void CBaseCombo::PostNcDestroy() {
    CComboBox::PostNcDestroy();
    delete this;
}
