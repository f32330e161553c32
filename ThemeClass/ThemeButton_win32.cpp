#include "ThemeClass/ThemeButton.h"

#include <string>
#include <vector>

#include "ThemeClass/ThemeLayout.h"
#include "ThemeClass/ThemeMenu.h"

BEGIN_MESSAGE_MAP(CThemeButton, CThemeButtonBase)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

namespace {

skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

CThemeButton::CThemeButton() { ResetStyle(); }

void CThemeButton::ResetStyle() {
    ResetLook(kPushLook);
    m_pMenu = nullptr;
}

// ---- setters

void CThemeButton::SetText(const CString& strText) {
    m_style.caption = strText;
    Redraw();
}

void CThemeButton::SetText(LPCTSTR lpszText) { SetText(CString(lpszText ? lpszText : "")); }

BOOL CThemeButton::SetImageFile(LPCTSTR lpszPath) {
    const BOOL loaded = CThemeButtonBase::SetImageFile(lpszPath);
    // Without an image the parent must repaint the old face away.
    Redraw();
    return loaded;
}

BOOL CThemeButton::SetBitmap(UINT nIDResource) {
    const BOOL loaded = CThemeButtonBase::SetBitmap(nIDResource);
    Redraw();
    return loaded;
}

// ---- painting

void CThemeButton::PaintFace(CDC* pDC, const CRect& rcClient) {
    const int state = m_style.state;
    DrawBack(pDC, rcClient, false, state);
    const skin::Rect area =
        skin::ButtonCaptionRect(ToSkin(m_style.captionArea), ToSkin(rcClient), state);
    const std::vector<std::string> lines =
        skin::SplitCaptionLines(std::string(m_style.caption), true);
    const std::vector<skin::Rect> bands = skin::CaptionBands(area, static_cast<int>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i)
        DrawCaptionText(pDC, lines[i].c_str(), bands[i], state);
}

// ---- mouse

void CThemeButton::PostToParent(UINT message, CPoint point) {
    CWnd* pParent = GetParent();
    if (pParent && pParent->GetSafeHwnd()) {
        pParent->PostMessage(message, static_cast<WPARAM>(GetDlgCtrlID()),
                             MAKELPARAM(point.x, point.y));
    }
}

void CThemeButton::OnMouseMove(UINT nFlags, CPoint point) {
    CThemeButtonBase::OnMouseMove(nFlags, point);
    PostToParent(WM_SKIN_MOUSEMOVE, point);
}

void CThemeButton::OnLButtonDown(UINT nFlags, CPoint point) {
    Press();
    PostToParent(WM_SKIN_LBUTTONDOWN, point);
    CButton::OnLButtonDown(nFlags, point);
    if (m_pMenu) {
        CWnd* pParent = GetParent();
        CRect rc;
        GetWindowRect(&rc);
        if (pParent) pParent->ScreenToClient(&rc);
        m_pMenu->TrackPopup(rc.left, rc.bottom);
    }
}

void CThemeButton::OnLButtonUp(UINT nFlags, CPoint point) {
    Release();
    CButton::OnLButtonUp(nFlags, point);
    PostToParent(WM_SKIN_LBUTTONUP, point);
}

void CThemeButton::OnLButtonDblClk(UINT nFlags, CPoint point) {
    CButton::OnLButtonDblClk(nFlags, point);
    PostToParent(WM_SKIN_LBUTTONDBLCLK, point);
}
