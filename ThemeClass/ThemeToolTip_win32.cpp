#include "ThemeClass/ThemeToolTip.h"

#include <algorithm>
#include <string>

#include "ThemeClass/ThemeLayout.h"
#include "ThemeClass/ThemeLook.h"

BEGIN_MESSAGE_MAP(CThemeToolTip, CToolTipCtrl)
END_MESSAGE_MAP()

CThemeToolTip::CThemeToolTip() : m_pOwner(nullptr), m_nToolId(0) {}

CThemeToolTip::~CThemeToolTip() {
    if (GetSafeHwnd()) DestroyWindow();
}

void CThemeToolTip::SetTool(CWnd* pOwner, UINT_PTR nToolId, LPCTSTR lpszText) {
    if (!pOwner || !pOwner->GetSafeHwnd()) return;
    CRect rc;
    pOwner->GetClientRect(&rc);
    if (!GetSafeHwnd()) Create(pOwner, 8);
    m_pOwner = pOwner;
    m_nToolId = nToolId;
    DrawMultiLineText(pOwner, rc, nToolId, lpszText);
}

void CThemeToolTip::UpdateTool(LPCTSTR lpszText) {
    if (!m_pOwner || !GetSafeHwnd() || !m_pOwner->GetSafeHwnd()) return;
    CRect rc;
    m_pOwner->GetClientRect(&rc);
    DelTool(m_pOwner, m_nToolId);
    DrawMultiLineText(m_pOwner, rc, m_nToolId, lpszText);
}

void CThemeToolTip::DrawMultiLineText(CWnd* pOwner, const CRect& rcTool, UINT_PTR nToolId,
                                      LPCTSTR lpszText) {
    m_strText = lpszText ? lpszText : "";
    if (!pOwner || !GetSafeHwnd()) return;
    const std::string work = skin::ExpandLineBreaks(std::string(m_strText));

    // The widest line, measured in the font the tip draws with (the owner's
    // font may be wider or narrower, which would wrap or pad the tip).
    int widest = 0;
    HDC dc = ::GetDC(pOwner->GetSafeHwnd());
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!font) font = reinterpret_cast<HFONT>(pOwner->SendMessage(WM_GETFONT));
    HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    size_t start = 0;
    while (start <= work.size()) {
        size_t end = work.find('\n', start);
        if (end == std::string::npos) end = work.size();
        if (end > start) {
            SIZE size = {};
            ::GetTextExtentPoint32A(dc, work.c_str() + start, static_cast<int>(end - start), &size);
            widest = std::max(widest, static_cast<int>(size.cx));
        }
        start = end + 1;
    }
    if (oldFont) ::SelectObject(dc, oldFont);
    ::ReleaseDC(pOwner->GetSafeHwnd(), dc);

    AddTool(pOwner, work.c_str(), &rcTool, nToolId);
    RECT margin = {2, 2, 2, 2};
    SetMargin(&margin);
    SetMaxTipWidth(widest);
}

void CThemeToolTip::RemoveTool() {
    if (GetSafeHwnd() && m_pOwner) DelTool(m_pOwner, m_nToolId);
}

void CThemeToolTip::RelayFrom(CWnd* pOwner, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!GetSafeHwnd() || !skin::IsToolTipRelayed(message)) return;
    MSG msg = {};
    msg.hwnd = pOwner->GetSafeHwnd();
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    RelayEvent(&msg);
}

void SetControlToolTip(CThemeToolTip& tip, CWnd* pControl, LPCTSTR lpszText) {
    if (!tip.GetSafeHwnd()) {
        tip.SetTool(pControl, reinterpret_cast<UINT_PTR>(pControl->GetSafeHwnd()), lpszText);
    } else {
        tip.UpdateTool(lpszText);
    }
}

BOOL ResizeControlToolTip(CThemeToolTip& tip, CWnd* pControl, int cx, int cy, BOOL bErase) {
    if (cx <= 7 || cy <= 7) return FALSE;
    pControl->Invalidate(bErase);
    if (tip.GetSafeHwnd()) tip.UpdateTool(tip.GetText());
    return TRUE;
}
