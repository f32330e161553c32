#include "ThemeClass/ThemeMenu.h"

#include "ThemeClass/ThemeDraw.h"

BEGIN_MESSAGE_MAP(CThemeMenu, CWnd)
ON_WM_TIMER()
ON_WM_DESTROY()
ON_MESSAGE(WM_THEMEMENU_CHOSEN, OnChosen)
END_MESSAGE_MAP()

CThemeMenu::CThemeMenu() { SetDefaultSkin(); }

CThemeMenu::~CThemeMenu() {
    CloseAllPopups();
    if (GetSafeHwnd()) DestroyWindow();
}

BOOL CThemeMenu::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext) {
    return CWnd::Create(nullptr, nullptr, dwStyle, rect, pParentWnd, nID, pContext);
}

BOOL CThemeMenu::LoadMenu(UINT nIDResource) {
    // The open popups show the old menu's items.
    CloseAllPopups();
    m_menu.DestroyMenu();
    return m_menu.LoadMenu(nIDResource);
}

void CThemeMenu::TrackPopup(int x, int y) {
    // The point is in the parent's client area; a framed parent's client
    // origin is not its window origin.
    CPoint pt(x, y);
    if (CWnd* pParent = GetParent()) pParent->ClientToScreen(&pt);
    ShowPopup(0, pt.x, pt.y);
}

void CThemeMenu::TrackPopupAt(short nSubMenuIndex, int x, int y) {
    SetSubMenuIndex(nSubMenuIndex);
    TrackPopup(x, y);
}

void CThemeMenu::ShowPopup(int nLevel, int x, int y) {
    if (!skin::MenuLevelHasSlot(nLevel) || !GetSafeHwnd()) return;
    const CRect rc(x, y, x + 10, y + 10);
    DestroyPopup(nLevel);

    CBaseMenu* pPopup = new CBaseMenu(this);
    pPopup->SetLevel(nLevel);
    m_popups[nLevel] = pPopup;
    if (!pPopup->Create(nullptr, nullptr, 0x40010000, rc, this, kPopupIdBase + nLevel)) {
        m_popups[nLevel] = nullptr;
        delete pPopup;
        return;
    }
    pPopup->SetLook(m_look);
    if (m_bItemImage) {
        pPopup->SetItemImage(&m_itemImage);
        pPopup->SetItemImageCount(m_nItemImageCount);
    }
    if (m_bSeperateImage) pPopup->SetSeperateImage(&m_seperateImage);
    ::SetWindowPos(pPopup->GetSafeHwnd(), HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE);
    pPopup->SetLevel(nLevel);
    // Binds the popup to the item under the mouse of the level above now,
    // before the mouse can move on.
    pPopup->GetMenu();
    pPopup->SetAlpha(m_nTransparent);
    pPopup->ShowWindow(SW_SHOW);
}

void CThemeMenu::DestroyPopup(int nLevel) {
    CBaseMenu* pPopup = m_popups[nLevel];
    if (!pPopup) return;
    m_popups[nLevel] = nullptr;
    if (pPopup->GetSafeHwnd()) pPopup->DestroyWindow();
    delete pPopup;
}

void CThemeMenu::CloseAllPopups() {
    for (int i = 0; i < kMaxLevels; ++i) DestroyPopup(i);
}

CBaseMenu* CThemeMenu::GetPopup(int nLevel) const {
    return skin::MenuLevelHasSlot(nLevel) ? m_popups[nLevel] : nullptr;
}

int CThemeMenu::GetOpenCount() const {
    int n = 0;
    for (CBaseMenu* p : m_popups)
        if (p) ++n;
    return n;
}

CMenu* CThemeMenu::GetLevelMenu(int nLevel) {
    if (!skin::MenuLevelHasSlot(nLevel) || !m_menu.GetSafeHmenu()) return nullptr;
    if (nLevel == 0) {
        HMENU hSub = ::GetSubMenu(m_menu.GetSafeHmenu(), m_nSubMenuIndex);
        return hSub ? CMenu::FromHandle(hSub) : nullptr;
    }
    CBaseMenu* pAbove = m_popups[nLevel - 1];
    if (!pAbove) return nullptr;
    CMenu* pMenu = pAbove->GetMenu();
    const int nHover = pAbove->GetHoverIndex();
    if (!pMenu || nHover < 0) return nullptr;
    HMENU hSub = ::GetSubMenu(pMenu->GetSafeHmenu(), nHover);
    return hSub ? CMenu::FromHandle(hSub) : nullptr;
}

void CThemeMenu::OpenSubmenu(int nLevel, UINT nID, int nItem, CRect rcItem) {
    if (nID != skin::kMenuSubmenuId) return;
    // The deepest level has no slot below it: its submenus do not open.
    if (!skin::MenuLevelHasSlot(nLevel) || !skin::MenuLevelHasSlot(nLevel + 1)) return;
    // The popup the mouse rests in takes the activation before the deeper
    // ones go, so it never falls to the dialog, which would then stand
    // over the popups.
    bool deeperOpen = false;
    for (int i = nLevel + 1; i < kMaxLevels; ++i) deeperOpen = deeperOpen || m_popups[i];
    if (deeperOpen && m_popups[nLevel] && m_popups[nLevel]->GetSafeHwnd())
        m_popups[nLevel]->SetActiveWindow();
    for (int i = nLevel + 1; i < kMaxLevels; ++i) DestroyPopup(i);
    const skin::MenuPoint pt =
        skin::SubmenuOrigin(skin::Rect{rcItem.left, rcItem.top, rcItem.right, rcItem.bottom});
    ShowPopup(nLevel + 1, pt.x, pt.y);
}

void CThemeMenu::OnPopupKillFocus(int nLevel) {
    m_nFocusLevel = -1;
    if (GetSafeHwnd()) SetTimer(IDT_MENU_CLOSE, kCloseDelayMs);
}

void CThemeMenu::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == IDT_MENU_CLOSE) {
        KillTimer(IDT_MENU_CLOSE);
        if (m_nFocusLevel < 0) CloseAllPopups();
    }
    CWnd::OnTimer(nIDEvent);
}

void CThemeMenu::UpdateItemCheck(CMenu* pMenu, UINT nID) {
    const int i = FindItem(nID);
    if (i < 0 || !pMenu) return;
    const MenuItemRange& r = m_items[static_cast<size_t>(i)];
    if (r.kind == skin::kMenuCheckItem) {
        const UINT state = pMenu->GetMenuState(nID, MF_BYCOMMAND);
        const bool checked = state != 0xFFFFFFFFu && (state & MF_CHECKED);
        pMenu->CheckMenuItem(nID, MF_BYCOMMAND | (checked ? MF_UNCHECKED : MF_CHECKED));
    } else if (r.kind == skin::kMenuRadioRange) {
        pMenu->CheckMenuRadioItem(r.first, r.last, nID, MF_BYCOMMAND);
    }
}

void CThemeMenu::OnItemChosen(int nLevel, UINT nID, int nItem) {
    if (nID == skin::kMenuSubmenuId || m_bChoicePending || !GetSafeHwnd()) return;
    // The popup that was clicked is still inside its button-up handler:
    // closing it here would delete it under that handler.
    m_bChoicePending = TRUE;
    PostMessage(WM_THEMEMENU_CHOSEN, (WPARAM)nID, 0);
}

LRESULT CThemeMenu::OnChosen(WPARAM wParam, LPARAM) {
    m_bChoicePending = FALSE;
    CloseAllPopups();
    if (CWnd* pParent = GetParent()) pParent->SendMessage(WM_COMMAND, wParam, 0);
    return 0;
}

int CThemeMenu::FindItem(UINT nID) const { return skin::FindMenuItemRange(m_items, nID); }

void CThemeMenu::AddCheckItem(UINT nID) { skin::AddMenuCheckItem(m_items, nID); }

void CThemeMenu::AddRadioRange(UINT nFirst, UINT nLast) {
    skin::AddMenuRadioRange(m_items, nFirst, nLast);
}

BOOL CThemeMenu::SetItemCheck(UINT nID, BOOL bCheck) {
    const int i = FindItem(nID);
    if (i < 0) return FALSE;
    if (!bCheck) {
        m_menu.CheckMenuItem(nID, MF_BYCOMMAND | MF_UNCHECKED);
        return TRUE;
    }
    const MenuItemRange& r = m_items[static_cast<size_t>(i)];
    if (r.kind == skin::kMenuCheckItem) {
        m_menu.CheckMenuItem(nID, MF_BYCOMMAND | MF_CHECKED);
        return TRUE;
    }
    if (r.kind == skin::kMenuRadioRange) {
        m_menu.CheckMenuRadioItem(r.first, r.last, nID, MF_BYCOMMAND);
        return TRUE;
    }
    return FALSE;
}

BOOL CThemeMenu::IsItemChecked(UINT nID) {
    // An id the menu does not hold answers 0xFFFFFFFF, which is not a check.
    const UINT state = m_menu.GetMenuState(nID, MF_BYCOMMAND);
    return state != 0xFFFFFFFFu && (state & MF_CHECKED) != 0;
}

void CThemeMenu::SetDefaultSkin() {
    m_itemImage.DeleteObject();
    m_seperateImage.DeleteObject();
    m_nFocusLevel = -1;
    m_look = ThemeMenuLook();
    // The submenu index is not a skin value: a reload keeps the one the
    // dialog chose.
    m_nItemImageCount = 3;
    m_nTransparent = 255;
    m_bItemImage = FALSE;
    m_bSeperateImage = FALSE;
}

BOOL CThemeMenu::SetItemImage(CString strPath) {
    m_itemImage.DeleteObject();
    m_bItemImage = LoadPictureFile(strPath, &m_itemImage);
    return m_bItemImage;
}

BOOL CThemeMenu::SetSeperateImage(CString strPath) {
    m_seperateImage.DeleteObject();
    m_bSeperateImage = LoadPictureFile(strPath, &m_seperateImage);
    return m_bSeperateImage;
}

BOOL CThemeMenu::SetItemBitmap(UINT nIDResource) {
    m_itemImage.DeleteObject();
    m_bItemImage = m_itemImage.LoadBitmap(nIDResource);
    return m_bItemImage;
}

BOOL CThemeMenu::SetSeperateBitmap(UINT nIDResource) {
    m_seperateImage.DeleteObject();
    m_bSeperateImage = m_seperateImage.LoadBitmap(nIDResource);
    return m_bSeperateImage;
}

void CThemeMenu::OnDestroy() {
    CWnd::OnDestroy();
    CloseAllPopups();
    m_items.clear();
    KillTimer(IDT_MENU_CLOSE);
    m_bChoicePending = FALSE;
}
