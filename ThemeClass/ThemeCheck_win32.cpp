#include "ThemeClass/ThemeCheck.h"

#include "ThemeClass/ThemeDraw.h"

BEGIN_MESSAGE_MAP(CThemeCheck, CButton)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEHOVER()
ON_WM_MOUSELEAVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_ENABLE()
ON_WM_SIZE()
ON_WM_DESTROY()
ON_MESSAGE(BM_GETCHECK, OnGetCheck)
ON_MESSAGE(BM_SETCHECK, OnSetCheck)
END_MESSAGE_MAP()

namespace {

skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }

void ResolveColors(COLORREF a, COLORREF b, COLORREF c, COLORREF d, COLORREF out[4]) {
    const skin::Color in[4] = {a, b, c, d};
    skin::Color res[4];
    skin::ResolveStateColors(in, res);
    for (int i = 0; i < 4; ++i) out[i] = res[i];
}

}  // namespace

CThemeCheck::CThemeCheck() {
    m_style.caption = "";
    m_style.checked = FALSE;
    ResetStyle();
}

CThemeCheck::~CThemeCheck() {
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

BOOL CThemeCheck::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CButton::Create("", dwStyle, rect, pParentWnd, nID);
}

void CThemeCheck::ResetStyle() {
    if (m_style.backDrawType == skin::kBackImage) m_style.backImage.DeleteObject();
    if (m_style.markDrawType == 2) m_style.markImage.DeleteObject();
    m_style.captionArea = CRect(0, 0, 0, 0);
    m_style.alignFormat = DT_VCENTER;
    m_style.fontSize = 12;
    m_style.bold = FALSE;
    for (COLORREF& c : m_style.textColors) c = 0x450308;
    m_style.textColors[3] = 0xFFFFFF;
    for (COLORREF& c : m_style.shadowColors) c = skin::kColorKey;
    m_style.backDrawType = skin::kBackColor;
    m_style.imageFillType = skin::kFillNineGrid;
    m_style.imageAlignFormat = DT_CENTER | DT_VCENTER;
    m_style.frameCount = 4;
    skin::FrameMapFor(4, m_style.frameMap);
    m_style.backColors[0] = m_style.backColors[1] = m_style.backColors[2] = 0xE3E1D6;
    m_style.backColors[3] = 0xC0C0C0;
    m_style.outlineLT = 0xA47B4E;
    m_style.outlineRB = 0xC8C3C0;
    m_style.outlineThick = 0;
    m_style.cornerValue = 0;
    m_style.state = skin::kStateNormal;
    m_style.pressed = FALSE;
    m_style.hover = FALSE;
    m_style.armed = FALSE;
    m_style.pushLike = FALSE;
    m_style.markDrawType = 1;
    m_style.markColor = 0x450308;
    m_style.markSize = 12;
}

void CThemeCheck::PreSubclassWindow() {
    // Owner-drawn, so the system never paints the face; the type bits are
    // replaced (a check box type OR-ed with owner-draw is another type).
    const DWORD style = GetStyle();
    const DWORD owner = skin::OwnerDrawButtonStyle(style);
    if (owner != style) ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(owner));
    CButton::PreSubclassWindow();
}

BOOL CThemeCheck::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.style & BS_PUSHLIKE) m_style.pushLike = TRUE;
    return CButton::PreCreateWindow(cs);
}

void CThemeCheck::DrawItem(LPDRAWITEMSTRUCT) {
    // All painting is in OnPaint.
}

LRESULT CThemeCheck::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    return CButton::WindowProc(message, wParam, lParam);
}

// ---- check state

void CThemeCheck::SetCheck(int nCheck) {
    m_style.checked = nCheck != 0;
    Redraw();
}

LRESULT CThemeCheck::OnGetCheck(WPARAM, LPARAM) { return m_style.checked ? BST_CHECKED : 0; }

LRESULT CThemeCheck::OnSetCheck(WPARAM wParam, LPARAM) {
    SetCheck(wParam != 0);
    return 0;
}

// ---- setters

void CThemeCheck::SetText(const CString& strText) { m_style.caption = strText; }
void CThemeCheck::SetText(LPCTSTR lpszText) { m_style.caption = lpszText ? lpszText : ""; }

void CThemeCheck::SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom) {
    m_style.captionArea = CRect(nLeft, nTop, nRight, nBottom);
}

void CThemeCheck::SetCaptionArea(const CRect& rcArea) { m_style.captionArea = rcArea; }

void CThemeCheck::SetTextColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                                COLORREF clrDisabled) {
    ResolveColors(clrNormal, clrHover, clrPressed, clrDisabled, m_style.textColors);
}

void CThemeCheck::SetShadowColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                                  COLORREF clrDisabled) {
    ResolveColors(clrNormal, clrHover, clrPressed, clrDisabled, m_style.shadowColors);
}

void CThemeCheck::SetTextShadowColor(COLORREF clrText, COLORREF clrShadow) {
    for (COLORREF& c : m_style.textColors) c = clrText;
    for (COLORREF& c : m_style.shadowColors) c = clrShadow;
}

void CThemeCheck::SetCaptionStyle(int nFontSize, BOOL bBold, COLORREF clrText, COLORREF clrShadow,
                                  UINT nAlignFormat) {
    m_style.fontSize = nFontSize;
    m_style.bold = bBold;
    m_style.alignFormat = nAlignFormat;
    SetTextShadowColor(clrText, clrShadow);
}

void CThemeCheck::SetBackColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                                COLORREF clrDisabled) {
    m_style.backDrawType = skin::kBackColor;
    ResolveColors(clrNormal, clrHover, clrPressed, clrDisabled, m_style.backColors);
}

BOOL CThemeCheck::SetImageFile(LPCTSTR lpszPath) {
    if (m_style.backDrawType == skin::kBackImage) m_style.backImage.DeleteObject();
    const BOOL loaded = LoadPictureFile(lpszPath, &m_style.backImage);
    m_style.backDrawType = loaded ? skin::kBackImage : skin::kBackNone;
    return loaded;
}

BOOL CThemeCheck::SetBitmap(UINT nIDResource) {
    if (m_style.backDrawType == skin::kBackImage) m_style.backImage.DeleteObject();
    const BOOL loaded = m_style.backImage.LoadBitmap(nIDResource);
    m_style.backDrawType = loaded ? skin::kBackImage : skin::kBackNone;
    return loaded;
}

void CThemeCheck::SetFrameCount(int nCount) {
    if (skin::FrameMapFor(nCount, m_style.frameMap)) m_style.frameCount = nCount;
}

void CThemeCheck::SetOutlineColor(COLORREF clr) {
    m_style.outlineLT = clr;
    m_style.outlineRB = clr;
}

void CThemeCheck::SetToolTipText(LPCTSTR lpszText) {
    if (GetSafeHwnd()) SetControlToolTip(m_toolTip, this, lpszText);
}

void CThemeCheck::SetMarkDrawType(int nType) {
    m_style.markDrawType = nType;
    if (nType == 0) m_style.pushLike = TRUE;
}

BOOL CThemeCheck::TakeMarkImage(HBITMAP hBitmap) {
    // The held mark stays until a new one has loaded.
    if (!hBitmap) return FALSE;
    m_style.markImage.Attach(hBitmap);
    BITMAP bm = {};
    m_style.markImage.GetBitmap(&bm);
    m_style.markDrawType = 2;
    m_style.markSize = bm.bmHeight;
    return TRUE;
}

BOOL CThemeCheck::SetMarkImageFile(LPCTSTR lpszPath) {
    return TakeMarkImage(skin::LoadPictureBitmap(lpszPath));
}

BOOL CThemeCheck::SetMarkBitmap(UINT nIDResource) {
    return TakeMarkImage(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

// ---- painting

void CThemeCheck::Redraw() {
    if (!GetSafeHwnd()) return;
    if (m_style.backDrawType == skin::kBackNone) {
        // Nothing of our own behind the mark and caption: the parent
        // repaints the area first.
        CWnd* pParent = GetParent();
        if (pParent && pParent->GetSafeHwnd()) {
            CRect rc;
            GetWindowRect(&rc);
            pParent->ScreenToClient(&rc);
            pParent->InvalidateRect(&rc, TRUE);
        }
    }
    Invalidate(FALSE);
}

void CThemeCheck::OnPaint() {
    CPaintDC dc(this);
    m_style.state = skin::PaintState(m_style.state, IsWindowEnabled() != FALSE);
    CRect rc;
    GetClientRect(&rc);
    DrawBack(&dc, rc);
    if (!m_style.pushLike) DrawMark(&dc, rc);
    DrawCaption(&dc, rc);
}

void CThemeCheck::DrawBack(CDC* pDC, const CRect& rc) {
    const bool pushLike = m_style.pushLike != FALSE, checked = m_style.checked != FALSE;
    if (m_style.backDrawType == skin::kBackColor) {
        if (m_style.cornerValue < 1) {
            skin::Color backs[4];
            for (int i = 0; i < 4; ++i) backs[i] = m_style.backColors[i];
            const skin::CheckBack b = skin::CheckColorBack(m_style.state, pushLike, checked, backs,
                                                           m_style.outlineLT, m_style.outlineRB);
            DrawOutlinedBack(pDC, b.back, b.lt, b.rb, m_style.outlineThick, rc.left, rc.top,
                             rc.right, rc.bottom);
        } else {
            DrawRoundBack(pDC, m_style.backColors[m_style.state], m_style.outlineLT,
                          m_style.outlineThick, m_style.cornerValue, rc.left, rc.top, rc.right,
                          rc.bottom);
        }
    } else if (m_style.backDrawType == skin::kBackImage && m_style.backImage.GetSafeHandle()) {
        const int s = skin::CheckDrawState(m_style.state, pushLike, checked);
        BITMAP bm = {};
        m_style.backImage.GetBitmap(&bm);
        const skin::Rect f =
            skin::StripFrame(bm.bmWidth, bm.bmHeight, m_style.frameCount, m_style.frameMap[s]);
        DrawImageFrame(pDC, &m_style.backImage, CRect(f.left, f.top, f.right, f.bottom), rc,
                       m_style.imageFillType, m_style.imageAlignFormat);
    }
}

void CThemeCheck::DrawMark(CDC* pDC, const CRect& rc) {
    const skin::Rect m =
        skin::MarkRect(ToSkin(rc), m_style.markSize, m_style.backDrawType, m_style.alignFormat);
    if (m_style.markDrawType == 1) {
        pDC->FillSolidRect(CRect(m.left, m.top, m.right, m.bottom), 0xFFFFFF);
        Draw3DOutline(m.left, m.top, m.right, m.bottom, m_style.outlineLT, m_style.outlineLT,
                      m_style.outlineRB, m_style.outlineRB, pDC);
        if (m_style.checked) {
            const skin::VMark v = skin::CheckVMark(m);
            DrawLine(v.x0, v.y0, v.x1, v.y1, m_style.markColor, 2, pDC);
            DrawLine(v.x2, v.y2, v.x3, v.y3, m_style.markColor, 2, pDC);
        }
    } else if (m_style.markDrawType == 2 && m_style.markImage.GetSafeHandle()) {
        BITMAP bm = {};
        m_style.markImage.GetBitmap(&bm);
        const skin::Rect h = skin::MarkImageHalf(bm.bmWidth, bm.bmHeight, m_style.checked != 0);
        const CRect src(h.left, h.top, h.right, h.bottom);
        const CRect dst(m.left, m.top, m.left + src.Width(), m.bottom);
        BlitTransparentBitmap(&m_style.markImage, src, dst, pDC);
    }
}

void CThemeCheck::DrawCaption(CDC* pDC, const CRect& rc) {
    const int s =
        skin::CheckDrawState(m_style.state, m_style.pushLike != FALSE, m_style.checked != FALSE);
    const skin::Rect mark =
        skin::MarkRect(ToSkin(rc), m_style.markSize, m_style.backDrawType, m_style.alignFormat);
    const skin::Rect r = skin::MarkCaptionRect(ToSkin(rc), mark, ToSkin(m_style.captionArea),
                                               m_style.pushLike != FALSE, m_style.backDrawType,
                                               s == skin::kStatePressed);
    const UINT format = m_style.alignFormat | DT_SINGLELINE;
    if (m_style.shadowColors[s] != skin::kColorKey) {
        DrawMultiLineText(pDC, m_style.caption, m_style.fontSize, m_style.shadowColors[s],
                          r.left + 1, r.top + 1, r.right + 1, r.bottom + 1, format, m_style.bold);
    }
    DrawMultiLineText(pDC, m_style.caption, m_style.fontSize, m_style.textColors[s], r.left, r.top,
                      r.right, r.bottom, format, m_style.bold);
}

BOOL CThemeCheck::OnEraseBkgnd(CDC*) { return TRUE; }

// ---- mouse

skin::CheckTracker CThemeCheck::Tracker() const {
    skin::CheckTracker t;
    t.state = m_style.state;
    t.pressed = m_style.pressed != FALSE;
    t.hover = m_style.hover != FALSE;
    t.armed = m_style.armed != FALSE;
    return t;
}

void CThemeCheck::SetTracker(const skin::CheckTracker& t) {
    m_style.state = t.state;
    m_style.pressed = t.pressed;
    m_style.hover = t.hover;
    m_style.armed = t.armed;
}

void CThemeCheck::OnMouseMove(UINT nFlags, CPoint point) {
    m_style.pressed = (nFlags & MK_LBUTTON) != 0;
    if (GetSafeHwnd() && IsWindowEnabled()) {
        // Hover and leave in one request: a second call would replace the
        // first, and the hover would never come.
        TRACKMOUSEEVENT tme = {};
        tme.cbSize = sizeof tme;
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        tme.dwHoverTime = 10;
        ::TrackMouseEvent(&tme);
    }
    CButton::OnMouseMove(nFlags, point);
}

void CThemeCheck::OnMouseHover(UINT, CPoint) {
    skin::CheckTracker t = Tracker();
    const bool changed = t.OnHover();
    SetTracker(t);
    if (changed) Redraw();
}

void CThemeCheck::OnMouseLeave() {
    // The press stays armed: coming back over the box before the release
    // still toggles it.
    skin::CheckTracker t = Tracker();
    t.OnLeave();
    SetTracker(t);
    Redraw();
}

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
    if (toggles) m_style.checked = !m_style.checked;
    Redraw();
    CButton::OnLButtonUp(nFlags, point);
}

void CThemeCheck::OnLButtonDblClk(UINT nFlags, CPoint point) {
    // The second press of a quick double click is a press like the first,
    // so two quick clicks toggle twice.
    SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}

void CThemeCheck::OnEnable(BOOL bEnable) {
    CButton::OnEnable(bEnable);
    // The disabled look is drawn by the next paint.
    Redraw();
}

void CThemeCheck::OnSize(UINT nType, int cx, int cy) {
    CButton::OnSize(nType, cx, cy);
    ResizeControlToolTip(m_toolTip, this, cx, cy, TRUE);
}

void CThemeCheck::OnDestroy() {
    CButton::OnDestroy();
    m_toolTip.RemoveTool();
}
