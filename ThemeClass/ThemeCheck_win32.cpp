#include "ThemeClass/ThemeCheck.h"

#include "ThemeClass/ThemeDraw.h"

BEGIN_MESSAGE_MAP(CThemeCheck, CThemeMarkButton)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_MESSAGE(BM_SETCHECK, OnSetCheck)
END_MESSAGE_MAP()

CThemeCheck::CThemeCheck() { ResetStyle(); }

void CThemeCheck::ResetStyle() {
    ResetLook(kOptionLook);
    ResetMark(0x450308, 12);
    m_bArmed = FALSE;
}

// ---- check state

void CThemeCheck::SetCheck(int nCheck) {
    m_mark.checked = nCheck != 0;
    Redraw();
}

LRESULT CThemeCheck::OnSetCheck(WPARAM wParam, LPARAM) {
    SetCheck(wParam != 0);
    return 0;
}

BOOL CThemeCheck::SetMarkImageFile(LPCTSTR lpszPath) {
    // The held mark stays until a new one has loaded.
    return TakeMarkImage(skin::LoadPictureBitmap(lpszPath));
}

BOOL CThemeCheck::SetMarkBitmap(UINT nIDResource) {
    return TakeMarkImage(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

// ---- painting

void CThemeCheck::PaintFace(CDC* pDC, const CRect& rc) {
    // A checked push-like box looks pressed while nothing else goes on.
    const int s =
        skin::CheckDrawState(m_style.state, m_mark.pushLike != FALSE, m_mark.checked != FALSE);
    DrawBack(pDC, rc, PushedIn() != FALSE, s);
    if (!m_mark.pushLike) {
        const skin::Rect m = MarkRect(rc);
        if (m_mark.drawType == 1) {
            pDC->FillSolidRect(CRect(m.left, m.top, m.right, m.bottom), 0xFFFFFF);
            Draw3DOutline(m.left, m.top, m.right, m.bottom, m_style.outlineLT, m_style.outlineLT,
                          m_style.outlineRB, m_style.outlineRB, pDC);
            if (m_mark.checked) {
                const skin::VMark v = skin::CheckVMark(m);
                DrawLine(v.x0, v.y0, v.x1, v.y1, m_mark.color, 2, pDC);
                DrawLine(v.x2, v.y2, v.x3, v.y3, m_mark.color, 2, pDC);
            }
        } else if (m_mark.drawType == 2) {
            DrawMarkImage(pDC, m, m.bottom - m.top);
        }
    }
    DrawMarkCaption(pDC, rc, s);
}

// ---- mouse

skin::CheckTracker CThemeCheck::Tracker() const {
    skin::CheckTracker t;
    static_cast<skin::ButtonTracker&>(t) = CThemeMarkButton::Tracker();
    t.armed = m_bArmed != FALSE;
    return t;
}

void CThemeCheck::SetTracker(const skin::CheckTracker& t) {
    CThemeMarkButton::SetTracker(t);
    m_bArmed = t.armed;
}

// A leave keeps the press armed: coming back over the box before the
// release still toggles it.
void CThemeCheck::OnLButtonDown(UINT nFlags, CPoint point) {
    skin::CheckTracker t = Tracker();
    t.OnLeftDown();
    SetTracker(t);
    Redraw();
    CButton::OnLButtonDown(nFlags, point);
}

void CThemeCheck::OnLButtonUp(UINT nFlags, CPoint point) {
    // The button holds the capture while pressed, so the leave may not have
    // come yet: the release point decides as well.
    CRect rc;
    GetClientRect(&rc);
    skin::CheckTracker t = Tracker();
    const bool toggles = t.OnRelease(rc.PtInRect(point) != FALSE);
    SetTracker(t);
    if (toggles) m_mark.checked = !m_mark.checked;
    Redraw();
    CButton::OnLButtonUp(nFlags, point);
}
