#include "ThemeClass/ThemeButtonBase.h"

#include "ThemeClass/ThemeDraw.h"
#include "ThemeClass/ThemeMark.h"

BEGIN_MESSAGE_MAP(CThemeButtonBase, CButton)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEHOVER()
ON_WM_MOUSELEAVE()
ON_WM_ENABLE()
ON_WM_SIZE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CThemeMarkButton, CThemeButtonBase)
ON_WM_LBUTTONDBLCLK()
ON_MESSAGE(BM_GETCHECK, OnGetCheck)
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

// 0x450308 is RGB(8, 3, 69); 0xFFC040 RGB(64, 192, 255); 0xFF8000
// RGB(0, 128, 255); 0x40C0FF RGB(255, 192, 64).
const CThemeButtonBase::Look CThemeButtonBase::kPushLook = {
    DT_CENTER | DT_VCENTER,
    {0x450308, 0x450308, 0x450308, 0x808080},
    {0xFFC040, 0xFF8000, 0x40C0FF, 0xC0C0C0},
    0xC0C0C0,
    0x000000,
    2,
};

// Check boxes and radio buttons: left-aligned, white when disabled.
const CThemeButtonBase::Look CThemeButtonBase::kOptionLook = {
    DT_VCENTER,
    {0x450308, 0x450308, 0x450308, 0xFFFFFF},
    {0xE3E1D6, 0xE3E1D6, 0xE3E1D6, 0xC0C0C0},
    0xA47B4E,
    0xC8C3C0,
    0,
};

CThemeButtonBase::~CThemeButtonBase() {
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

BOOL CThemeButtonBase::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CButton::Create("", dwStyle, rect, pParentWnd, nID);
}

void CThemeButtonBase::ResetLook(const Look& look) {
    if (m_style.backDrawType == skin::kBackImage) m_style.backImage.DeleteObject();
    m_style.captionArea = CRect(0, 0, 0, 0);
    m_style.alignFormat = look.alignFormat;
    m_style.fontSize = 12;
    m_style.bold = FALSE;
    for (int i = 0; i < 4; ++i) {
        m_style.textColors[i] = look.textColors[i];
        m_style.shadowColors[i] = skin::kColorKey;
        m_style.backColors[i] = look.backColors[i];
    }
    m_style.backDrawType = skin::kBackColor;
    m_style.imageFillType = skin::kFillNineGrid;
    m_style.imageAlignFormat = DT_CENTER | DT_VCENTER;
    m_style.frameCount = 4;
    skin::FrameMapFor(4, m_style.frameMap);
    m_style.outlineLT = look.outlineLT;
    m_style.outlineRB = look.outlineRB;
    m_style.outlineThick = look.outlineThick;
    m_style.cornerValue = 0;
    m_style.state = skin::kStateNormal;
    m_style.pressed = FALSE;
    m_style.hover = FALSE;
}

void CThemeButtonBase::PreSubclassWindow() {
    // Owner-drawn, so the system never paints the face; the type bits are
    // replaced, since OR-ing the owner-draw type into another type makes a
    // third one.
    const DWORD style = GetStyle();
    const DWORD owner = skin::OwnerDrawButtonStyle(style);
    if (owner != style) ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(owner));
    CButton::PreSubclassWindow();
}

void CThemeButtonBase::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    // All painting is in OnPaint.
    if (lpDrawItemStruct) ::SetBkMode(lpDrawItemStruct->hDC, TRANSPARENT);
}

LRESULT CThemeButtonBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    return CButton::WindowProc(message, wParam, lParam);
}

// ---- setters

void CThemeButtonBase::SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom) {
    m_style.captionArea = CRect(nLeft, nTop, nRight, nBottom);
}

void CThemeButtonBase::SetTextColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                                     COLORREF clrDisabled) {
    ResolveColors(clrNormal, clrHover, clrPressed, clrDisabled, m_style.textColors);
}

void CThemeButtonBase::SetShadowColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                                       COLORREF clrDisabled) {
    ResolveColors(clrNormal, clrHover, clrPressed, clrDisabled, m_style.shadowColors);
}

void CThemeButtonBase::SetTextShadowColor(COLORREF clrText, COLORREF clrShadow) {
    for (COLORREF& c : m_style.textColors) c = clrText;
    for (COLORREF& c : m_style.shadowColors) c = clrShadow;
}

void CThemeButtonBase::SetCaptionStyle(int nFontSize, BOOL bBold, COLORREF clrText,
                                       COLORREF clrShadow, UINT nAlignFormat) {
    m_style.fontSize = nFontSize;
    m_style.bold = bBold;
    m_style.alignFormat = nAlignFormat;
    SetTextShadowColor(clrText, clrShadow);
}

void CThemeButtonBase::SetBackColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                                     COLORREF clrDisabled) {
    m_style.backDrawType = skin::kBackColor;
    ResolveColors(clrNormal, clrHover, clrPressed, clrDisabled, m_style.backColors);
}

BOOL CThemeButtonBase::SetImageFile(LPCTSTR lpszPath) {
    if (m_style.backDrawType == skin::kBackImage) m_style.backImage.DeleteObject();
    const BOOL loaded = LoadPictureFile(lpszPath, &m_style.backImage);
    m_style.backDrawType = loaded ? skin::kBackImage : skin::kBackNone;
    return loaded;
}

BOOL CThemeButtonBase::SetBitmap(UINT nIDResource) {
    if (m_style.backDrawType == skin::kBackImage) m_style.backImage.DeleteObject();
    const BOOL loaded = m_style.backImage.LoadBitmap(nIDResource);
    m_style.backDrawType = loaded ? skin::kBackImage : skin::kBackNone;
    return loaded;
}

void CThemeButtonBase::SetFrameCount(int nCount) {
    if (skin::FrameMapFor(nCount, m_style.frameMap)) m_style.frameCount = nCount;
}

void CThemeButtonBase::SetOutlineColor(COLORREF clr) {
    m_style.outlineLT = clr;
    m_style.outlineRB = clr;
}

void CThemeButtonBase::SetToolTipText(LPCTSTR lpszText) {
    if (GetSafeHwnd()) SetControlToolTip(m_toolTip, this, lpszText);
}

// ---- painting

void CThemeButtonBase::Redraw() {
    if (!GetSafeHwnd()) return;
    if (m_style.backDrawType == skin::kBackNone) {
        // Nothing of our own behind the caption: the parent repaints the
        // area first, in its client coordinates.
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

void CThemeButtonBase::OnPaint() {
    CPaintDC dc(this);
    m_style.state = skin::PaintState(m_style.state, IsWindowEnabled() != FALSE);
    CRect rc;
    GetClientRect(&rc);
    PaintFace(&dc, rc);
}

void CThemeButtonBase::DrawBack(CDC* pDC, const CRect& rc, bool pushedIn, int imageState) {
    const int state = m_style.state;
    if (m_style.backDrawType == skin::kBackColor) {
        if (m_style.cornerValue < 1) {
            skin::Color backs[4];
            for (int i = 0; i < 4; ++i) backs[i] = m_style.backColors[i];
            const skin::CheckBack b = skin::CheckColorBack(state, pushedIn, pushedIn, backs,
                                                           m_style.outlineLT, m_style.outlineRB);
            DrawOutlinedBack(pDC, b.back, b.lt, b.rb, m_style.outlineThick, rc.left, rc.top,
                             rc.right, rc.bottom);
        } else {
            DrawRoundBack(pDC, m_style.backColors[state], m_style.outlineLT, m_style.outlineThick,
                          m_style.cornerValue, rc.left, rc.top, rc.right, rc.bottom);
        }
    } else if (m_style.backDrawType == skin::kBackImage && m_style.backImage.GetSafeHandle()) {
        BITMAP bm = {};
        m_style.backImage.GetBitmap(&bm);
        const skin::Rect f = skin::StripFrame(bm.bmWidth, bm.bmHeight, m_style.frameCount,
                                              m_style.frameMap[imageState & 3]);
        DrawImageFrame(pDC, &m_style.backImage, CRect(f.left, f.top, f.right, f.bottom), rc,
                       m_style.imageFillType, m_style.imageAlignFormat);
    }
}

void CThemeButtonBase::DrawCaptionText(CDC* pDC, LPCTSTR lpszText, const skin::Rect& r, int state) {
    const UINT format = m_style.alignFormat | DT_SINGLELINE;
    if (m_style.shadowColors[state] != skin::kColorKey) {
        DrawMultiLineText(pDC, lpszText, m_style.fontSize, m_style.shadowColors[state], r.left + 1,
                          r.top + 1, r.right + 1, r.bottom + 1, format, m_style.bold);
    }
    DrawMultiLineText(pDC, lpszText, m_style.fontSize, m_style.textColors[state], r.left, r.top,
                      r.right, r.bottom, format, m_style.bold);
}

BOOL CThemeButtonBase::OnEraseBkgnd(CDC*) { return TRUE; }

// ---- mouse and state

skin::ButtonTracker CThemeButtonBase::Tracker() const {
    skin::ButtonTracker t;
    t.state = m_style.state;
    t.pressed = m_style.pressed != FALSE;
    t.hover = m_style.hover != FALSE;
    return t;
}

void CThemeButtonBase::SetTracker(const skin::ButtonTracker& t) {
    m_style.state = t.state;
    m_style.pressed = t.pressed;
    m_style.hover = t.hover;
}

void CThemeButtonBase::Press() {
    skin::ButtonTracker t = Tracker();
    t.OnLeftDown();
    SetTracker(t);
    Redraw();
}

void CThemeButtonBase::Release() {
    skin::ButtonTracker t = Tracker();
    t.OnLeftUp();
    SetTracker(t);
    Redraw();
}

void CThemeButtonBase::OnMouseMove(UINT nFlags, CPoint point) {
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

void CThemeButtonBase::OnMouseHover(UINT, CPoint) {
    skin::ButtonTracker t = Tracker();
    const bool changed = t.OnHover();
    SetTracker(t);
    if (changed) Redraw();
}

void CThemeButtonBase::OnMouseLeave() {
    skin::ButtonTracker t = Tracker();
    t.OnLeave();
    SetTracker(t);
    // A face without a back must lose the caption of the old state (the
    // pressed caption sits a pixel lower).
    Redraw();
}

void CThemeButtonBase::OnEnable(BOOL bEnable) {
    CButton::OnEnable(bEnable);
    // The disabled look is drawn by the next paint.
    Redraw();
}

void CThemeButtonBase::OnSize(UINT nType, int cx, int cy) {
    CButton::OnSize(nType, cx, cy);
    ResizeControlToolTip(m_toolTip, this, cx, cy, TRUE);
}

void CThemeButtonBase::OnDestroy() {
    CButton::OnDestroy();
    m_toolTip.RemoveTool();
}

// ---- the mark of check boxes and radio buttons

BOOL CThemeMarkButton::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.style & BS_PUSHLIKE) m_mark.pushLike = TRUE;
    return CThemeButtonBase::PreCreateWindow(cs);
}

void CThemeMarkButton::ResetMark(COLORREF color, int size) {
    if (m_mark.drawType == 2) m_mark.image.DeleteObject();
    m_mark.pushLike = FALSE;
    m_mark.drawType = 1;
    m_mark.color = color;
    m_mark.size = size;
}

void CThemeMarkButton::SetMarkDrawType(int nType) {
    m_mark.drawType = nType;
    if (nType == 0) m_mark.pushLike = TRUE;
}

BOOL CThemeMarkButton::TakeMarkImage(HBITMAP hBitmap) {
    if (!hBitmap) return FALSE;
    m_mark.image.Attach(hBitmap);
    BITMAP bm = {};
    m_mark.image.GetBitmap(&bm);
    m_mark.drawType = 2;
    m_mark.size = bm.bmHeight;
    return TRUE;
}

skin::Rect CThemeMarkButton::MarkRect(const CRect& rcClient) const {
    return skin::MarkRect(ToSkin(rcClient), m_mark.size, m_style.backDrawType, m_style.alignFormat);
}

void CThemeMarkButton::DrawMarkImage(CDC* pDC, const skin::Rect& m, int dstHeight) {
    if (!m_mark.image.GetSafeHandle()) return;
    BITMAP bm = {};
    m_mark.image.GetBitmap(&bm);
    const skin::Rect h = skin::MarkImageHalf(bm.bmWidth, bm.bmHeight, m_mark.checked != FALSE);
    const CRect src(h.left, h.top, h.right, h.bottom);
    const CRect dst(m.left, m.top, m.left + src.Width(), m.top + dstHeight);
    BlitTransparentBitmap(&m_mark.image, src, dst, pDC);
}

void CThemeMarkButton::DrawMarkCaption(CDC* pDC, const CRect& rcClient, int state) {
    const skin::Rect r = skin::MarkCaptionRect(
        ToSkin(rcClient), MarkRect(rcClient), ToSkin(m_style.captionArea), m_mark.pushLike != FALSE,
        m_style.backDrawType, state == skin::kStatePressed);
    DrawCaptionText(pDC, m_style.caption, r, state);
}

LRESULT CThemeMarkButton::OnGetCheck(WPARAM, LPARAM) { return m_mark.checked ? BST_CHECKED : 0; }

void CThemeMarkButton::OnLButtonDblClk(UINT nFlags, CPoint point) {
    // The second press of a quick double click is a press like the first.
    SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}
