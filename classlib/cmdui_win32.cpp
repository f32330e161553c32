#include "classlib/afxcmdui.h"

CCmdUI::CCmdUI()
    : m_nID(0), m_nIndex(0), m_nIndexMax(0), m_pMenu(nullptr), m_pOther(nullptr),
      m_nEnabled(-1), m_nChecked(-1) {}

void CCmdUI::Enable(BOOL bOn) {
    m_nEnabled = bOn ? 1 : 0;
    if (m_pMenu) {
        ::EnableMenuItem(m_pMenu, m_nIndex,
                         MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther && m_pOther->m_hWnd) {
        // A control losing the focus as it is disabled hands it on first.
        if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
            HWND hParent = ::GetParent(m_pOther->m_hWnd);
            if (hParent) ::SendMessageA(hParent, WM_NEXTDLGCTL, 0, FALSE);
        }
        ::EnableWindow(m_pOther->m_hWnd, bOn);
    }
}

void CCmdUI::SetCheck(int nCheck) {
    m_nChecked = nCheck;
    if (m_pMenu) {
        ::CheckMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther && m_pOther->m_hWnd) {
        ::SendMessageA(m_pOther->m_hWnd, BM_SETCHECK, (WPARAM)nCheck, 0);
    }
}

void CCmdUI::SetText(LPCTSTR lpszText) {
    if (!lpszText) lpszText = "";
    if (m_pMenu) {
        UINT state = ::GetMenuState(m_pMenu, m_nIndex, MF_BYPOSITION);
        state &= ~(MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_POPUP);
        ::ModifyMenuA(m_pMenu, m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, lpszText);
    } else if (m_pOther && m_pOther->m_hWnd) {
        ::SetWindowTextA(m_pOther->m_hWnd, lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler) {
    if (!pTarget) return FALSE;
    m_nEnabled = m_nChecked = -1;
    if (pTarget->DispatchMsg(WM_COMMAND, CN_UPDATE_COMMAND_UI, m_nID, WM_COMMAND, 0,
                             (LPARAM)this, nullptr))
        return TRUE;
    if (bDisableIfNoHandler) Enable(FALSE);
    return FALSE;
}

void AfxUpdateMenuCmdUI(HMENU hMenu, CCmdTarget* pTarget, BOOL bDisableIfNoHandler) {
    if (!hMenu) return;
    const int n = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < n; ++i) {
        const UINT id = ::GetMenuItemID(hMenu, i);
        if (id == 0 || id == (UINT)-1) continue;  // separator or submenu
        CCmdUI ui;
        ui.m_nID = id;
        ui.m_nIndex = (UINT)i;
        ui.m_nIndexMax = (UINT)n;
        ui.m_pMenu = hMenu;
        ui.DoUpdate(pTarget, bDisableIfNoHandler);
    }
}
