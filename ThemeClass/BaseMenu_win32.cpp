#include "ThemeClass/BaseMenu.h"

#include <cstdio>

#include "ThemeClass/ThemeDraw.h"
#include "ThemeClass/ThemeMenu.h"

BEGIN_MESSAGE_MAP(CBaseMenu, CWnd)
ON_WM_PAINT()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_KILLFOCUS()
ON_WM_SETFOCUS()
ON_WM_DESTROY()
ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {

constexpr UINT kSubmenuDelayMs = 200;
// The marks, in the item font.
const char kArrowMark[] = "▶";
const char kCheckMark[] = "∨";
const char kRadioMark[] = " ●";
const char kMenuFontFace[] = "돋움";

int g_nLive = 0;
int g_nBusy = 0;

}  // namespace

CBaseMenu::CBaseMenu(CThemeMenu* pHost) : m_pHost(pHost) { ++g_nLive; }

CBaseMenu::~CBaseMenu() {
    if (GetSafeHwnd()) DestroyWindow();
    --g_nLive;
}

int CBaseMenu::GetLiveCount() { return g_nLive; }
int CBaseMenu::GetBusyCount() { return g_nBusy; }

LRESULT CBaseMenu::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    ++g_nBusy;
    const LRESULT r = CWnd::WindowProc(message, wParam, lParam);
    --g_nBusy;
    return r;
}

BOOL CBaseMenu::PreCreateWindow(CREATESTRUCT& cs) {
    // An owned popup of the host's window, whatever child style it was
    // given.
    cs.style = (cs.style & ~WS_CHILD) | WS_POPUP;
    cs.hMenu = nullptr;
    return CWnd::PreCreateWindow(cs);
}

void CBaseMenu::SetLevel(int nLevel) {
    m_nLevel = nLevel;
    if (GetSafeHwnd()) Invalidate(TRUE);
}

BOOL CBaseMenu::SetItemImage(CBitmap* pBitmap) {
    BITMAP bm = {};
    if (pBitmap && pBitmap->GetSafeHandle() && pBitmap->GetBitmap(&bm)) {
        m_bItemImage = TRUE;
        m_look.itemHeight = bm.bmHeight;
        m_pItemImage = pBitmap;
    } else {
        m_bItemImage = FALSE;
    }
    return m_bItemImage;
}

BOOL CBaseMenu::SetSeperateImage(CBitmap* pBitmap) {
    BITMAP bm = {};
    if (pBitmap && pBitmap->GetSafeHandle() && pBitmap->GetBitmap(&bm)) {
        m_bSeperateImage = TRUE;
        m_look.separatorHeight = bm.bmHeight;
        m_pSeperateImage = pBitmap;
    } else {
        m_bSeperateImage = FALSE;
    }
    return m_bSeperateImage;
}

BOOL CBaseMenu::SetAlpha(int nAlpha) {
    if ((nAlpha & 0xFF) == 0 || !GetSafeHwnd()) return FALSE;
    using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    HMODULE hUser = ::GetModuleHandleA("USER32.DLL");
    if (!hUser) return FALSE;
    auto pfn = reinterpret_cast<SetLayeredFn>(
        reinterpret_cast<void*>(::GetProcAddress(hUser, "SetLayeredWindowAttributes")));
    if (!pfn) return FALSE;
    ModifyStyleEx(0, WS_EX_LAYERED);
    pfn(m_hWnd, 0, static_cast<BYTE>(nAlpha), LWA_ALPHA);
    return TRUE;
}

CMenu* CBaseMenu::GetMenu() {
    if (!m_bMenuAsked && m_pHost) {
        m_bMenuAsked = TRUE;
        CMenu* pMenu = m_pHost->GetLevelMenu(m_nLevel);
        m_hMenu = pMenu ? pMenu->GetSafeHmenu() : nullptr;
    }
    // The host owns the menu for as long as this popup lives.
    return m_hMenu && ::IsMenu(m_hMenu) ? CMenu::FromHandle(m_hMenu) : nullptr;
}

int CBaseMenu::GetItemCount() {
    CMenu* pMenu = GetMenu();
    if (!pMenu) return 0;
    const int n = pMenu->GetMenuItemCount();
    return n < 0 ? 0 : n;
}

std::vector<uint32_t> CBaseMenu::ItemIds() {
    std::vector<uint32_t> ids;
    CMenu* pMenu = GetMenu();
    const int n = GetItemCount();
    for (int i = 0; i < n; ++i) ids.push_back(pMenu->GetMenuItemID(i));
    return ids;
}

skin::MenuMetrics CBaseMenu::Metrics() const {
    skin::MenuMetrics m;
    m.itemHeight = m_look.itemHeight;
    m.separatorHeight = m_look.separatorHeight;
    m.backThick = m_look.backThick;
    m.outlineThick = m_look.outlineThick;
    return m;
}

CRect CBaseMenu::ClientRect() const {
    CRect rc;
    if (GetSafeHwnd()) GetClientRect(&rc);
    return rc;
}

int CBaseMenu::HitTest(int x, int y) {
    if (m_nLevel < 0 || !GetMenu()) return -1;
    const CRect rc = ClientRect();
    return skin::MenuHitTest(skin::Rect{rc.left, rc.top, rc.right, rc.bottom}, Metrics(), ItemIds(),
                             x, y);
}

CRect CBaseMenu::GetItemRect(int nItem) {
    const CRect rc = ClientRect();
    const skin::Rect r = skin::MenuItemRect(skin::Rect{rc.left, rc.top, rc.right, rc.bottom},
                                            Metrics(), ItemIds(), nItem);
    return CRect(r.left, r.top, r.right, r.bottom);
}

int CBaseMenu::MeasureTextWidth(CDC* pDC) {
    CMenu* pMenu = GetMenu();
    if (!pMenu || !pDC) return 0;
    CFont font;
    font.CreateFont(m_look.fontSize, 0, 0, 0, FW_THIN, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_STRING_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, 0, kMenuFontFace);
    CFont* pOld = pDC->SelectObject(&font);
    const auto glyph = [pDC](unsigned char c) {
        const char s[1] = {static_cast<char>(c)};
        return pDC->GetTextExtent(s, 1).cx;
    };
    int widest = 0;
    const int n = GetItemCount();
    for (int i = 0; i < n; ++i) {
        CString text;
        pMenu->GetMenuString(i, text, MF_BYPOSITION);
        const int w = skin::MeasureMenuText(text.GetString(), static_cast<size_t>(text.GetLength()),
                                            m_look.fontSize, glyph);
        if (w > widest) widest = w;
    }
    pDC->SelectObject(pOld);
    return widest;
}

CSize CBaseMenu::CalcSize() {
    int widest = 0;
    if (GetSafeHwnd()) {
        CClientDC dc(this);
        widest = MeasureTextWidth(&dc);
    }
    const skin::MenuSize s = skin::MenuWindowSize(Metrics(), ItemIds(), widest);
    return CSize(s.cx, s.cy);
}

void CBaseMenu::FitWindow() {
    CRect rc;
    GetWindowRect(&rc);
    const CSize size = CalcSize();
    MoveWindow(rc.left, rc.top, size.cx, size.cy, TRUE);
}

void CBaseMenu::ShowItemCount() {
    m_strText.Format("Item:%d", GetItemCount());
    Invalidate(TRUE);
}

void CBaseMenu::OnPaint() {
    CPaintDC dc(this);
    // Created 10 x 10: the first paint sizes the popup to its items.
    if (ClientRect().Width() <= 50) FitWindow();
    const CRect rc = ClientRect();
    if (rc.IsRectEmpty()) return;

    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap canvas;
    canvas.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height());
    CBitmap* pOldBitmap = mem.SelectObject(&canvas);

    mem.FillSolidRect(&rc, m_look.back);
    CRect ring(rc.left, rc.top, rc.right - 1, rc.bottom - 1);
    for (int i = 0; i < m_look.outlineThick; ++i) {
        Draw3DOutline(ring.left, ring.top, ring.right, ring.bottom, m_look.outlineLT,
                      m_look.outlineLT, m_look.outlineRB, m_look.outlineRB, &mem);
        ring.DeflateRect(1, 1);
    }
    DrawItems(&mem, rc);

    dc.BitBlt(0, 0, rc.Width(), rc.Height(), &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOldBitmap);
}

void CBaseMenu::DrawItems(CDC* pDC, const CRect& rcClient) {
    const skin::Rect area = skin::MenuItemArea(
        skin::Rect{rcClient.left, rcClient.top, rcClient.right, rcClient.bottom}, Metrics());
    if (!area.IsEmpty())
        pDC->FillSolidRect(CRect(area.left, area.top, area.right, area.bottom), m_look.normalBack);
    CMenu* pMenu = GetMenu();
    if (!pMenu) return;
    const int n = GetItemCount();
    for (int i = 0; i < n; ++i) {
        const UINT id = pMenu->GetMenuItemID(i);
        const UINT state = pMenu->GetMenuState(i, MF_BYPOSITION);
        const CRect rcItem = GetItemRect(i);
        const skin::MenuItemKind kind = skin::MenuKindOf(id);
        if (kind == skin::MenuItemKind::Separator) {
            if (m_bSeperateImage && m_pSeperateImage && m_pSeperateImage->GetSafeHandle()) {
                BITMAP bm = {};
                m_pSeperateImage->GetBitmap(&bm);
                if (!rcItem.IsRectEmpty())
                    DrawNineGridFrame(pDC, m_pSeperateImage, CRect(0, 0, bm.bmWidth, bm.bmHeight),
                                      rcItem);
            } else {
                const int y = skin::MenuSeparatorLineY(
                    skin::Rect{rcItem.left, rcItem.top, rcItem.right, rcItem.bottom});
                DrawLine(rcItem.left + 2, y, rcItem.right - 2, y, m_look.separatorUpper, 1, pDC);
                DrawLine(rcItem.left + 2, y + 1, rcItem.right - 2, y + 1, m_look.separatorLower, 1,
                         pDC);
            }
            continue;
        }
        const bool pressed = i == m_nPressed;
        const bool hovered = i == m_nHover;
        if (m_bItemImage) {
            DrawItemImage(pDC, rcItem, pressed ? 2 : hovered ? 1 : 0);
        } else if (pressed) {
            pDC->FillSolidRect(&rcItem, m_look.pressedBack);
        } else if (hovered) {
            pDC->FillSolidRect(&rcItem, m_look.hoverBack);
        }
        CString text;
        pMenu->GetMenuString(i, text, MF_BYPOSITION);
        CRect rcText(rcItem.left + m_look.leftGap, rcItem.top, rcItem.right - m_look.rightGap,
                     rcItem.bottom);
        DrawItemText(pDC, &rcText, m_look.fontSize,
                     (state & MF_GRAYED) ? m_look.fontDisable : m_look.fontEnable, text, FALSE);
        if (kind == skin::MenuItemKind::Submenu) {
            CRect rcArrow(rcText.right, rcItem.top, rcItem.right, rcItem.bottom);
            DrawItemText(pDC, &rcArrow, m_look.fontSize - 2, m_look.fontEnable, kArrowMark, FALSE);
        } else if (state & MF_CHECKED) {
            CRect rcMark(rcItem.left, rcItem.top, rcItem.left + m_look.leftGap, rcItem.bottom);
            const int rec = m_pHost ? m_pHost->FindItem(id) : -1;
            const bool radio = rec >= 0 && m_pHost->GetItemTable()[static_cast<size_t>(rec)].kind ==
                                               skin::kMenuRadioRange;
            if (radio)
                DrawItemText(pDC, &rcMark, m_look.fontSize - 4, m_look.fontEnable, kRadioMark,
                             FALSE);
            else
                DrawItemText(pDC, &rcMark, m_look.fontSize, m_look.fontEnable, kCheckMark, TRUE);
        }
    }
}

void CBaseMenu::DrawItemText(CDC* pDC, LPCRECT pRect, int nSize, COLORREF clr, CString strText,
                             BOOL bBold) {
    CFont font;
    font.CreateFont(nSize, 0, 0, 0, bBold ? FW_BOLD : FW_THIN, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_STRING_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, 0, kMenuFontFace);
    CFont* pOld = pDC->SelectObject(&font);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF oldColor = pDC->SetTextColor(clr);
    CRect rc(pRect);
    pDC->DrawText(strText, &rc, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    pDC->SetTextColor(oldColor);
    pDC->SetBkMode(oldMode);
    pDC->SelectObject(pOld);
}

void CBaseMenu::DrawItemImage(CDC* pDC, const CRect& rcItem, int nState) {
    if (!m_bItemImage || !m_pItemImage || !m_pItemImage->GetSafeHandle() || m_nItemImageCount < 1)
        return;
    BITMAP bm = {};
    if (!m_pItemImage->GetBitmap(&bm)) return;
    const int w = bm.bmWidth / m_nItemImageCount;
    const int f = skin::MenuImageFrame(m_nItemImageCount, nState);
    DrawNineGridFrame(pDC, m_pItemImage, CRect(f * w, 0, f * w + w, bm.bmHeight), rcItem);
}

void CBaseMenu::InvalidateItem(int nItem) {
    const CRect rc = GetItemRect(nItem);
    if (!rc.IsRectEmpty()) InvalidateRect(&rc, TRUE);
}

void CBaseMenu::OnMouseMove(UINT nFlags, CPoint point) {
    const int i = HitTest(point.x, point.y);
    if (i != -1 && i < GetItemCount() && i != m_nHover) {
        if (m_nHover >= 0) InvalidateItem(m_nHover);
        InvalidateItem(i);
        m_nHover = i;
        if (i != m_nTimerItem) {
            m_nTimerItem = i;
            KillTimer(IDT_SUBMENU_OPEN);
            SetTimer(IDT_SUBMENU_OPEN, kSubmenuDelayMs);
        }
    }
    CWnd::OnMouseMove(nFlags, point);
}

void CBaseMenu::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == IDT_SUBMENU_OPEN) {
        KillTimer(IDT_SUBMENU_OPEN);
        OpenItemSubmenu(m_nTimerItem);
    }
    CWnd::OnTimer(nIDEvent);
}

void CBaseMenu::OpenItemSubmenu(int) {
    CMenu* pMenu = GetMenu();
    if (!pMenu || !m_pHost || m_nHover < 0 || m_nHover >= GetItemCount()) return;
    CRect rc = GetItemRect(m_nHover);
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    rc.OffsetRect(rcWindow.left, rcWindow.top);
    m_pHost->OpenSubmenu(m_nLevel, pMenu->GetMenuItemID(m_nHover), m_nHover, rc);
}

void CBaseMenu::PressItem() {
    CMenu* pMenu = GetMenu();
    if (!pMenu || m_nHover < 0 || m_nHover >= GetItemCount()) return;
    const UINT id = pMenu->GetMenuItemID(m_nHover);
    if (skin::MenuKindOf(id) != skin::MenuItemKind::Command) return;
    if (pMenu->GetMenuState(m_nHover, MF_BYPOSITION) & MF_GRAYED) return;
    m_nPressed = m_nHover;
    InvalidateItem(m_nPressed);
}

void CBaseMenu::ReleaseItem() {
    CMenu* pMenu = GetMenu();
    if (!pMenu || !m_pHost || m_nPressed < 0 || m_nPressed != m_nHover ||
        m_nHover >= GetItemCount())
        return;
    const UINT id = pMenu->GetMenuItemID(m_nHover);
    m_pHost->UpdateItemCheck(pMenu, id);
    m_pHost->OnItemChosen(m_nLevel, id, m_nPressed);
}

void CBaseMenu::OnLButtonDown(UINT nFlags, CPoint point) {
    PressItem();
    CWnd::OnLButtonDown(nFlags, point);
}

void CBaseMenu::OnLButtonUp(UINT nFlags, CPoint point) {
    CWnd::OnLButtonUp(nFlags, point);
    ReleaseItem();
}

void CBaseMenu::OnKillFocus(CWnd*) {
    if (m_pHost) m_pHost->OnPopupKillFocus(m_nLevel);
}

void CBaseMenu::OnSetFocus(CWnd* pOldWnd) {
    CWnd::OnSetFocus(pOldWnd);
    if (m_pHost) m_pHost->SetFocusLevel(m_nLevel);
}

void CBaseMenu::OnDestroy() {
    CWnd::OnDestroy();
    KillTimer(IDT_SUBMENU_OPEN);
}
