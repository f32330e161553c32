#include "ThemeClass/ThemeRadio.h"

#include <vector>

#include "ThemeClass/ThemeDraw.h"
#include "ThemeClass/ThemeRadioGroup.h"

BEGIN_MESSAGE_MAP(CThemeRadio, CThemeMarkButton)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_MESSAGE(BM_SETCHECK, OnSetCheck)
ON_MESSAGE(WM_SKIN_RADIOUNCHECK, OnRadioUncheck)
END_MESSAGE_MAP()

namespace {

// Children of a parent are listed at most this many times over, so a
// window list that changes under the walk cannot keep it going.
constexpr int kMaxSiblings = 4096;

}  // namespace

CThemeRadio::CThemeRadio() { ResetSkin(); }

void CThemeRadio::ResetSkin() {
    ResetLook(kOptionLook);
    ResetMark(0x6E3C14, 13);
}

// ---- check state

void CThemeRadio::SetCheck(int nCheck) {
    if (GetSafeHwnd()) {
        CButton::SetCheck(nCheck);
        Invalidate(FALSE);
    } else {
        m_mark.checked = nCheck != 0;
    }
}

LRESULT CThemeRadio::OnSetCheck(WPARAM wParam, LPARAM) {
    m_mark.checked = wParam != 0;
    if (m_mark.checked) UncheckGroup();
    return 0;
}

void CThemeRadio::UncheckGroup() {
    CWnd* pParent = GetParent();
    if (!GetSafeHwnd() || !pParent || !pParent->GetSafeHwnd()) return;
    // The group is walked over the parent's children in window order,
    // whatever their enabled or visible state, and the unchecks are sent:
    // a posted one would arrive after a later SetCheck of the same handler
    // and clear the radio checked last.
    std::vector<HWND> children;
    std::vector<bool> starts;
    int self = -1;
    for (HWND h = ::GetWindow(pParent->m_hWnd, GW_CHILD);
         h && static_cast<int>(children.size()) < kMaxSiblings; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h == m_hWnd) self = static_cast<int>(children.size());
        children.push_back(h);
        starts.push_back((::GetWindowLongPtrA(h, GWL_STYLE) & WS_GROUP) != 0);
    }
    for (int i : skin::RadioGroupOthers(starts, self)) {
        // Only skinned radios know the message; other controls of the
        // group may give the number a meaning of their own.
        CWnd* pWnd = CWnd::FromHandlePermanent(children[static_cast<size_t>(i)]);
        if (dynamic_cast<CThemeRadio*>(pWnd)) pWnd->SendMessage(WM_SKIN_RADIOUNCHECK, 0, 0);
    }
}

LRESULT CThemeRadio::OnRadioUncheck(WPARAM, LPARAM) {
    if (m_mark.checked) {
        m_mark.checked = FALSE;
        Invalidate(TRUE);
    }
    return 0;
}

// ---- mark image

BOOL CThemeRadio::ReplaceMarkImage(HBITMAP hBitmap) {
    if (m_mark.drawType == 2) m_mark.image.DeleteObject();
    const BOOL ok = TakeMarkImage(hBitmap);
    if (!ok) m_mark.drawType = 1;
    return ok;
}

BOOL CThemeRadio::SetMarkImage(LPCTSTR lpszPath) {
    return ReplaceMarkImage(skin::LoadPictureBitmap(lpszPath));
}

BOOL CThemeRadio::SetMarkBitmap(UINT nIDResource) {
    return ReplaceMarkImage(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

// ---- painting

void CThemeRadio::PaintFace(CDC* pDC, const CRect& rc) {
    // A checked push-like radio looks pressed whatever the pointer does.
    const int s = PushedIn() ? skin::kStatePressed : m_style.state;
    DrawBack(pDC, rc, PushedIn() != FALSE, s);
    if (!m_mark.pushLike) {
        const skin::Rect m = MarkRect(rc);
        if (m_mark.drawType == 1) {
            DrawEllipseMark(m.left, m.top, m.right, m.bottom, m_style.outlineLT, 1, 0xFFFFFF, pDC);
            if (m_mark.checked) {
                DrawEllipseMark(m.left + 3, m.top + 3, m.right - 3, m.bottom - 3, m_style.outlineLT,
                                1, m_mark.color, pDC);
            }
        } else if (m_mark.drawType == 2 && m_mark.image.GetSafeHandle()) {
            BITMAP bm = {};
            m_mark.image.GetBitmap(&bm);
            DrawMarkImage(pDC, m, bm.bmHeight);
        }
    }
    DrawMarkCaption(pDC, rc, s);
}

// ---- mouse

void CThemeRadio::OnLButtonDown(UINT nFlags, CPoint point) {
    Press();
    CButton::OnLButtonDown(nFlags, point);
}

void CThemeRadio::OnLButtonUp(UINT nFlags, CPoint point) {
    CPoint screen = point;
    ClientToScreen(&screen);
    if (::WindowFromPoint(screen) == m_hWnd) {
        SetCheck(1);
        m_mark.checked = TRUE;
    }
    Release();
    CButton::OnLButtonUp(nFlags, point);
}
