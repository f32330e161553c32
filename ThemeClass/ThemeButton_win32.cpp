#include "ThemeClass/ThemeButton.h"

#include <string>
#include <vector>

#include "ThemeClass/ThemeDraw.h"
#include "ThemeClass/ThemeLayout.h"
#include "ThemeClass/ThemeMenu.h"

BEGIN_MESSAGE_MAP(CThemeButton, CButton)
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
END_MESSAGE_MAP()

namespace {

skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

CThemeButton::CThemeButton() { ResetStyle(); }

CThemeButton::~CThemeButton() {
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

BOOL CThemeButton::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CButton::Create("", dwStyle, rect, pParentWnd, nID);
}

void CThemeButton::ResetStyle() {
    if (m_style.backDrawType == skin::kBackImage) m_style.faceImage.DeleteObject();
    m_style.captionArea = CRect(0, 0, 0, 0);
    m_style.alignFormat = DT_CENTER | DT_VCENTER;
    m_style.fontSize = 12;
    m_style.bold = FALSE;
    for (COLORREF& c : m_style.textColors) c = 0x450308;
    m_style.textColors[3] = 0x808080;
    for (COLORREF& c : m_style.shadowColors) c = skin::kColorKey;
    m_style.backDrawType = skin::kBackColor;
    m_style.imageFillType = skin::kFillNineGrid;
    m_style.imageAlignFormat = DT_CENTER | DT_VCENTER;
    m_style.frameCount = 4;
    skin::FrameMapFor(4, m_style.frameMap);
    m_style.backColors[0] = 0xFFC040;
    m_style.backColors[1] = 0xFF8000;
    m_style.backColors[2] = 0x40C0FF;
    m_style.backColors[3] = 0xC0C0C0;
    m_style.outlineLT = 0xC0C0C0;
    m_style.outlineRB = 0x000000;
    m_style.outlineThick = 2;
    m_style.cornerValue = 0;
    m_style.state = skin::kStateNormal;
    m_style.pressed = FALSE;
    m_style.hover = FALSE;
    m_style.menu = nullptr;
}

void CThemeButton::PreSubclassWindow() {
    // Owner-drawn, so the system never paints the face; the type bits are
    // replaced, since OR-ing the owner-draw type into another type makes a
    // third one.
    const DWORD style = GetStyle();
    const DWORD owner = skin::OwnerDrawButtonStyle(style);
    if (owner != style) ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(owner));
    CButton::PreSubclassWindow();
}

void CThemeButton::DrawItem(LPDRAWITEMSTRUCT) {
    // All painting is in OnPaint.
}

LRESULT CThemeButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    return CButton::WindowProc(message, wParam, lParam);
}

// ---- setters

void CThemeButton::SetText(const CString& strText) {
    m_style.caption = strText;
    Redraw();
}

void CThemeButton::SetText(LPCTSTR lpszText) { SetText(CString(lpszText ? lpszText : "")); }

void CThemeButton::SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom) {
    m_style.captionArea = CRect(nLeft, nTop, nRight, nBottom);
}

void CThemeButton::SetCaptionArea(const CRect& rcArea) { m_style.captionArea = rcArea; }
void CThemeButton::SetAlignFormat(UINT nFormat) { m_style.alignFormat = nFormat; }
void CThemeButton::SetFontSize(int nSize) { m_style.fontSize = nSize; }
void CThemeButton::SetFontBold(BOOL bBold) { m_style.bold = bBold; }

void CThemeButton::SetTextColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                                 COLORREF clrDisabled) {
    const skin::Color in[4] = {clrNormal, clrHover, clrPressed, clrDisabled};
    skin::Color out[4];
    skin::ResolveStateColors(in, out);
    for (int i = 0; i < 4; ++i) m_style.textColors[i] = out[i];
}

void CThemeButton::SetTextHoverColor(COLORREF clr) { m_style.textColors[1] = clr; }
void CThemeButton::SetTextPressedColor(COLORREF clr) { m_style.textColors[2] = clr; }
void CThemeButton::SetTextDisabledColor(COLORREF clr) { m_style.textColors[3] = clr; }

void CThemeButton::SetShadowColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                                   COLORREF clrDisabled) {
    const skin::Color in[4] = {clrNormal, clrHover, clrPressed, clrDisabled};
    skin::Color out[4];
    skin::ResolveStateColors(in, out);
    for (int i = 0; i < 4; ++i) m_style.shadowColors[i] = out[i];
}

void CThemeButton::SetShadowHoverColor(COLORREF clr) { m_style.shadowColors[1] = clr; }
void CThemeButton::SetShadowPressedColor(COLORREF clr) { m_style.shadowColors[2] = clr; }
void CThemeButton::SetShadowDisabledColor(COLORREF clr) { m_style.shadowColors[3] = clr; }

void CThemeButton::SetTextShadowColor(COLORREF clrText, COLORREF clrShadow) {
    for (COLORREF& c : m_style.textColors) c = clrText;
    for (COLORREF& c : m_style.shadowColors) c = clrShadow;
}

void CThemeButton::SetCaptionStyle(int nFontSize, BOOL bBold, COLORREF clrText, COLORREF clrShadow,
                                   UINT nAlignFormat) {
    m_style.fontSize = nFontSize;
    m_style.bold = bBold;
    m_style.alignFormat = nAlignFormat;
    SetTextShadowColor(clrText, clrShadow);
}

void CThemeButton::SetBackColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                                 COLORREF clrDisabled) {
    m_style.backDrawType = skin::kBackColor;
    const skin::Color in[4] = {clrNormal, clrHover, clrPressed, clrDisabled};
    skin::Color out[4];
    skin::ResolveStateColors(in, out);
    for (int i = 0; i < 4; ++i) m_style.backColors[i] = out[i];
}

void CThemeButton::SetBackDrawType(int nType) { m_style.backDrawType = nType; }

BOOL CThemeButton::SetImageFile(LPCTSTR lpszPath) {
    if (m_style.backDrawType == skin::kBackImage) m_style.faceImage.DeleteObject();
    const BOOL loaded = LoadPictureFile(lpszPath, &m_style.faceImage);
    m_style.backDrawType = loaded ? skin::kBackImage : skin::kBackNone;
    // Without an image the parent must repaint the old face away.
    Redraw();
    return loaded;
}

BOOL CThemeButton::SetBitmap(UINT nIDResource) {
    if (m_style.backDrawType == skin::kBackImage) m_style.faceImage.DeleteObject();
    const BOOL loaded = m_style.faceImage.LoadBitmap(nIDResource);
    m_style.backDrawType = loaded ? skin::kBackImage : skin::kBackNone;
    // Without an image the parent must repaint the old face away.
    Redraw();
    return loaded;
}

void CThemeButton::SetBackImageFillType(int nType) { m_style.imageFillType = nType; }
void CThemeButton::SetBackImageAlignFormat(UINT nFormat) { m_style.imageAlignFormat = nFormat; }

void CThemeButton::SetFrameCount(int nCount) {
    if (skin::FrameMapFor(nCount, m_style.frameMap)) m_style.frameCount = nCount;
}

void CThemeButton::SetOutlineColor(COLORREF clr) {
    m_style.outlineLT = clr;
    m_style.outlineRB = clr;
}

void CThemeButton::SetOutlineLTColor(COLORREF clr) { m_style.outlineLT = clr; }
void CThemeButton::SetOutlineRBColor(COLORREF clr) { m_style.outlineRB = clr; }
void CThemeButton::SetOutlineThick(int nThick) { m_style.outlineThick = nThick; }
void CThemeButton::SetEdgeRoundValue(int nValue) { m_style.cornerValue = nValue; }

void CThemeButton::SetToolTipText(LPCTSTR lpszText) {
    if (GetSafeHwnd()) SetControlToolTip(m_toolTip, this, lpszText);
}

void CThemeButton::SetMenu(CThemeMenu* pMenu) { m_style.menu = pMenu; }

// ---- painting

void CThemeButton::Redraw() {
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

void CThemeButton::OnPaint() {
    CPaintDC dc(this);
    m_style.state = skin::PaintState(m_style.state, IsWindowEnabled() != FALSE);
    CRect rcClient;
    GetClientRect(&rcClient);
    DrawBack(&dc, rcClient);
    DrawCaption(&dc, rcClient);
}

void CThemeButton::DrawBack(CDC* pDC, const CRect& rc) {
    const int state = m_style.state;
    if (m_style.backDrawType == skin::kBackColor) {
        if (m_style.cornerValue < 1) {
            skin::Color lt, rb;
            skin::ButtonOutlineColors(state, m_style.outlineLT, m_style.outlineRB, &lt, &rb);
            DrawOutlinedBack(pDC, m_style.backColors[state], lt, rb, m_style.outlineThick, rc.left,
                             rc.top, rc.right, rc.bottom);
        } else {
            DrawRoundBack(pDC, m_style.backColors[state], m_style.outlineLT, m_style.outlineThick,
                          m_style.cornerValue, rc.left, rc.top, rc.right, rc.bottom);
        }
    } else if (m_style.backDrawType == skin::kBackImage && m_style.faceImage.GetSafeHandle()) {
        BITMAP bm = {};
        m_style.faceImage.GetBitmap(&bm);
        const skin::Rect f =
            skin::StripFrame(bm.bmWidth, bm.bmHeight, m_style.frameCount, m_style.frameMap[state]);
        const CRect frame(f.left, f.top, f.right, f.bottom);
        DrawImageFrame(pDC, &m_style.faceImage, frame, rc, m_style.imageFillType,
                       m_style.imageAlignFormat);
    }
}

void CThemeButton::DrawCaption(CDC* pDC, const CRect& rcClient) {
    const int state = m_style.state;
    const skin::Rect area =
        skin::ButtonCaptionRect(ToSkin(m_style.captionArea), ToSkin(rcClient), state);
    const std::vector<std::string> lines =
        skin::SplitCaptionLines(std::string(m_style.caption), true);
    const std::vector<skin::Rect> bands = skin::CaptionBands(area, static_cast<int>(lines.size()));
    const UINT format = m_style.alignFormat | DT_SINGLELINE;
    for (size_t i = 0; i < lines.size(); ++i) {
        const skin::Rect& b = bands[i];
        if (m_style.shadowColors[state] != skin::kColorKey) {
            DrawMultiLineText(pDC, lines[i].c_str(), m_style.fontSize, m_style.shadowColors[state],
                              b.left + 1, b.top + 1, b.right + 1, b.bottom + 1, format,
                              m_style.bold);
        }
        DrawMultiLineText(pDC, lines[i].c_str(), m_style.fontSize, m_style.textColors[state],
                          b.left, b.top, b.right, b.bottom, format, m_style.bold);
    }
}

BOOL CThemeButton::OnEraseBkgnd(CDC*) { return TRUE; }

// ---- mouse

skin::ButtonTracker CThemeButton::Tracker() const {
    skin::ButtonTracker t;
    t.state = m_style.state;
    t.pressed = m_style.pressed != FALSE;
    t.hover = m_style.hover != FALSE;
    return t;
}

void CThemeButton::SetTracker(const skin::ButtonTracker& t) {
    m_style.state = t.state;
    m_style.pressed = t.pressed;
    m_style.hover = t.hover;
}

void CThemeButton::PostToParent(UINT message, CPoint point) {
    CWnd* pParent = GetParent();
    if (pParent && pParent->GetSafeHwnd()) {
        pParent->PostMessage(message, static_cast<WPARAM>(GetDlgCtrlID()),
                             MAKELPARAM(point.x, point.y));
    }
}

void CThemeButton::OnMouseMove(UINT nFlags, CPoint point) {
    skin::ButtonTracker t = Tracker();
    t.OnMove((nFlags & MK_LBUTTON) != 0);
    SetTracker(t);
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
    PostToParent(WM_SKIN_MOUSEMOVE, point);
}

void CThemeButton::OnMouseHover(UINT, CPoint) {
    skin::ButtonTracker t = Tracker();
    const bool changed = t.OnHover();
    SetTracker(t);
    if (changed) Redraw();
}

void CThemeButton::OnMouseLeave() {
    skin::ButtonTracker t = Tracker();
    t.OnLeave();
    SetTracker(t);
    // A face without a back must lose the caption of the old state (the
    // pressed caption sits a pixel lower).
    Redraw();
}

void CThemeButton::OnLButtonDown(UINT nFlags, CPoint point) {
    skin::ButtonTracker t = Tracker();
    t.OnLeftDown();
    SetTracker(t);
    Redraw();
    PostToParent(WM_SKIN_LBUTTONDOWN, point);
    CButton::OnLButtonDown(nFlags, point);
    if (m_style.menu) {
        CWnd* pParent = GetParent();
        CRect rc;
        GetWindowRect(&rc);
        if (pParent) pParent->ScreenToClient(&rc);
        m_style.menu->TrackPopup(rc.left, rc.bottom);
    }
}

void CThemeButton::OnLButtonUp(UINT nFlags, CPoint point) {
    skin::ButtonTracker t = Tracker();
    t.OnLeftUp();
    SetTracker(t);
    Redraw();
    CButton::OnLButtonUp(nFlags, point);
    PostToParent(WM_SKIN_LBUTTONUP, point);
}

void CThemeButton::OnLButtonDblClk(UINT nFlags, CPoint point) {
    CButton::OnLButtonDblClk(nFlags, point);
    PostToParent(WM_SKIN_LBUTTONDBLCLK, point);
}

void CThemeButton::OnEnable(BOOL bEnable) {
    CButton::OnEnable(bEnable);
    Redraw();
}

void CThemeButton::OnSize(UINT nType, int cx, int cy) {
    CButton::OnSize(nType, cx, cy);
    ResizeControlToolTip(m_toolTip, this, cx, cy, TRUE);
}

void CThemeButton::OnDestroy() {
    CButton::OnDestroy();
    m_toolTip.RemoveTool();
}
