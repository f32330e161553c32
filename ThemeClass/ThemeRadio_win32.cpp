#include "ThemeClass/ThemeRadio.h"

#include <vector>

#include "ThemeClass/ThemeDraw.h"
#include "ThemeClass/ThemeMark.h"
#include "ThemeClass/ThemeRadioGroup.h"

BEGIN_MESSAGE_MAP(CThemeRadio, CButton)
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
ON_MESSAGE(WM_SKIN_RADIOUNCHECK, OnRadioUncheck)
END_MESSAGE_MAP()

namespace {

skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }

// Children of a parent are listed at most this many times over, so a
// window list that changes under the walk cannot keep it going.
constexpr int kMaxSiblings = 4096;

}  // namespace

CThemeRadio::CThemeRadio() {
    m_style.text = "";
    m_style.checked = FALSE;
    ResetSkin();
}

CThemeRadio::~CThemeRadio() {
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

BOOL CThemeRadio::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CButton::Create("", dwStyle, rect, pParentWnd, nID);
}

void CThemeRadio::ResetSkin() {
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
    m_style.blockCount = 4;
    skin::FrameMapFor(4, m_style.frameMap);
    m_style.backColors[0] = m_style.backColors[1] = m_style.backColors[2] = 0xE3E1D6;
    m_style.backColors[3] = 0xC0C0C0;
    m_style.outlineLT = 0xA47B4E;
    m_style.outlineRB = 0xC8C3C0;
    m_style.outlineThick = 0;
    m_style.roundValue = 0;
    m_style.state = skin::kStateNormal;
    m_style.held = FALSE;
    m_style.hover = FALSE;
    m_style.pushLike = FALSE;
    m_style.markDrawType = 1;
    m_style.markColor = 0x6E3C14;
    m_style.markSize = 13;
}

void CThemeRadio::PreSubclassWindow() {
    CButton::PreSubclassWindow();
    const DWORD style = GetStyle();
    const DWORD owner = skin::OwnerDrawButtonStyle(style);
    if (owner != style) ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(owner));
}

BOOL CThemeRadio::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.style & BS_PUSHLIKE) m_style.pushLike = TRUE;
    return CButton::PreCreateWindow(cs);
}

void CThemeRadio::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (lpDrawItemStruct) ::SetBkMode(lpDrawItemStruct->hDC, TRANSPARENT);
}

LRESULT CThemeRadio::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    return CButton::WindowProc(message, wParam, lParam);
}

// ---- check state

void CThemeRadio::SetCheck(int nCheck) {
    if (GetSafeHwnd()) {
        CButton::SetCheck(nCheck);
        Invalidate(FALSE);
    } else {
        m_style.checked = nCheck != 0;
    }
}

LRESULT CThemeRadio::OnGetCheck(WPARAM, LPARAM) { return m_style.checked ? 1 : 0; }

LRESULT CThemeRadio::OnSetCheck(WPARAM wParam, LPARAM) {
    m_style.checked = wParam != 0;
    if (m_style.checked) UncheckGroup();
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
    if (m_style.checked) {
        m_style.checked = FALSE;
        Invalidate(TRUE);
    }
    return 0;
}

// ---- setters

void CThemeRadio::SetText(const CString& strText) { m_style.text = strText; }
void CThemeRadio::SetText(LPCTSTR lpszText) { m_style.text = lpszText ? lpszText : ""; }

void CThemeRadio::SetToolTipText(LPCTSTR lpszText) {
    if (GetSafeHwnd()) SetControlToolTip(m_toolTip, this, lpszText);
}

void CThemeRadio::SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom) {
    m_style.captionArea = CRect(nLeft, nTop, nRight, nBottom);
}

void CThemeRadio::SetAlignFormat(UINT nFormat) { m_style.alignFormat = nFormat; }
void CThemeRadio::SetFontSize(int nSize) { m_style.fontSize = nSize; }
void CThemeRadio::SetFontBold(BOOL bBold) { m_style.bold = bBold; }

void CThemeRadio::SetColors(int nSize, BOOL bBold, COLORREF clrText, COLORREF clrShadow,
                            UINT nAlign) {
    m_style.fontSize = nSize;
    m_style.bold = bBold;
    m_style.alignFormat = nAlign;
    SetTextShadowColors(clrText, clrShadow);
}

void CThemeRadio::SetTextShadowColors(COLORREF clrText, COLORREF clrShadow) {
    for (COLORREF& c : m_style.textColors) c = clrText;
    for (COLORREF& c : m_style.shadowColors) c = clrShadow;
}

namespace {

void Resolve(COLORREF a, COLORREF b, COLORREF c, COLORREF d, COLORREF out[4]) {
    const skin::Color in[4] = {a, b, c, d};
    skin::Color res[4];
    skin::ResolveStateColors(in, res);
    for (int i = 0; i < 4; ++i) out[i] = res[i];
}

}  // namespace

void CThemeRadio::SetTextColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                                COLORREF clrDisabled) {
    Resolve(clrNormal, clrHover, clrPressed, clrDisabled, m_style.textColors);
}

void CThemeRadio::SetShadowColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                                  COLORREF clrDisabled) {
    Resolve(clrNormal, clrHover, clrPressed, clrDisabled, m_style.shadowColors);
}

void CThemeRadio::SetBackColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                                COLORREF clrDisabled) {
    Resolve(clrNormal, clrHover, clrPressed, clrDisabled, m_style.backColors);
    m_style.backDrawType = skin::kBackColor;
}

void CThemeRadio::SetOutlineColor(COLORREF clr) {
    m_style.outlineLT = clr;
    m_style.outlineRB = clr;
}

void CThemeRadio::SetBackImageBlockCount(int nCount) {
    if (skin::FrameMapFor(nCount, m_style.frameMap)) m_style.blockCount = nCount;
}

BOOL CThemeRadio::SetBackImage(LPCTSTR lpszPath) {
    if (m_style.backDrawType == skin::kBackImage) m_style.backImage.DeleteObject();
    const BOOL ok = LoadPictureFile(lpszPath, &m_style.backImage);
    m_style.backDrawType = ok ? skin::kBackImage : skin::kBackNone;
    return ok;
}

BOOL CThemeRadio::SetBackBitmap(UINT nIDResource) {
    if (m_style.backDrawType == skin::kBackImage) m_style.backImage.DeleteObject();
    const BOOL ok = m_style.backImage.LoadBitmap(nIDResource);
    m_style.backDrawType = ok ? skin::kBackImage : skin::kBackNone;
    return ok;
}

BOOL CThemeRadio::SetMarkImage(LPCTSTR lpszPath) {
    if (m_style.markDrawType == 2) m_style.markImage.DeleteObject();
    const BOOL ok = LoadPictureFile(lpszPath, &m_style.markImage);
    if (ok) {
        BITMAP bm = {};
        m_style.markImage.GetBitmap(&bm);
        m_style.markDrawType = 2;
        m_style.markSize = bm.bmHeight;
    } else {
        m_style.markDrawType = 1;
    }
    return ok;
}

BOOL CThemeRadio::SetMarkBitmap(UINT nIDResource) {
    if (m_style.markDrawType == 2) m_style.markImage.DeleteObject();
    const BOOL ok = m_style.markImage.LoadBitmap(nIDResource);
    if (ok) {
        BITMAP bm = {};
        m_style.markImage.GetBitmap(&bm);
        m_style.markDrawType = 2;
        m_style.markSize = bm.bmHeight;
    } else {
        m_style.markDrawType = 1;
    }
    return ok;
}

void CThemeRadio::SetMarkDrawType(int nType) {
    m_style.markDrawType = nType;
    if (nType == 0) m_style.pushLike = TRUE;
}

// ---- painting

void CThemeRadio::Refresh() {
    if (!GetSafeHwnd()) return;
    if (m_style.backDrawType == skin::kBackNone) {
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

void CThemeRadio::OnPaint() {
    CPaintDC dc(this);
    m_style.state = skin::PaintState(m_style.state, IsWindowEnabled() != FALSE);
    CRect rc;
    GetClientRect(&rc);
    DrawBack(&dc, rc);
    if (!m_style.pushLike) DrawMark(&dc, rc);
    DrawCaption(&dc, rc);
}

void CThemeRadio::DrawBack(CDC* pDC, const CRect& rc) {
    const int state = m_style.state;
    const bool pressedLook = m_style.pushLike && m_style.checked;
    if (m_style.backDrawType == skin::kBackColor) {
        if (m_style.roundValue < 1) {
            COLORREF lt = m_style.outlineLT, rb = m_style.outlineRB;
            COLORREF back = m_style.backColors[state];
            if (state == skin::kStatePressed || pressedLook) {
                lt = m_style.outlineRB;
                rb = m_style.outlineLT;
            }
            if (pressedLook) back = m_style.backColors[skin::kStatePressed];
            DrawOutlinedBack(pDC, back, lt, rb, m_style.outlineThick, rc.left, rc.top, rc.right,
                             rc.bottom);
        } else {
            DrawRoundBack(pDC, m_style.backColors[state], m_style.outlineLT, m_style.outlineThick,
                          m_style.roundValue, rc.left, rc.top, rc.right, rc.bottom);
        }
    } else if (m_style.backDrawType == skin::kBackImage && m_style.backImage.GetSafeHandle()) {
        const int s = pressedLook ? skin::kStatePressed : state;
        BITMAP bm = {};
        m_style.backImage.GetBitmap(&bm);
        const skin::Rect f =
            skin::StripFrame(bm.bmWidth, bm.bmHeight, m_style.blockCount, m_style.frameMap[s]);
        const CRect frame(f.left, f.top, f.right, f.bottom);
        DrawImageFrame(pDC, &m_style.backImage, frame, rc, m_style.imageFillType,
                       m_style.imageAlignFormat);
    }
}

void CThemeRadio::DrawMark(CDC* pDC, const CRect& rc) {
    const skin::Rect m =
        skin::MarkRect(ToSkin(rc), m_style.markSize, m_style.backDrawType, m_style.alignFormat);
    if (m_style.markDrawType == 1) {
        DrawEllipseMark(m.left, m.top, m.right, m.bottom, m_style.outlineLT, 1, 0xFFFFFF, pDC);
        if (m_style.checked) {
            DrawEllipseMark(m.left + 3, m.top + 3, m.right - 3, m.bottom - 3, m_style.outlineLT, 1,
                            m_style.markColor, pDC);
        }
    } else if (m_style.markDrawType == 2 && m_style.markImage.GetSafeHandle()) {
        BITMAP bm = {};
        m_style.markImage.GetBitmap(&bm);
        const int half = bm.bmWidth / 2;
        const CRect src = m_style.checked ? CRect(half, 0, bm.bmWidth, bm.bmHeight)
                                          : CRect(0, 0, half, bm.bmHeight);
        const CRect dst(m.left, m.top, m.left + src.Width(), m.top + src.Height());
        BlitTransparentBitmap(&m_style.markImage, src, dst, pDC);
    }
}

void CThemeRadio::DrawCaption(CDC* pDC, const CRect& rc) {
    const bool pressedLook = m_style.pushLike && m_style.checked;
    const int s = pressedLook ? skin::kStatePressed : m_style.state;
    const skin::Rect mark =
        skin::MarkRect(ToSkin(rc), m_style.markSize, m_style.backDrawType, m_style.alignFormat);
    const skin::Rect r =
        skin::MarkCaptionRect(ToSkin(rc), mark, ToSkin(m_style.captionArea), m_style.pushLike != 0,
                              m_style.backDrawType, s == skin::kStatePressed);
    const UINT format = m_style.alignFormat | DT_SINGLELINE;
    if (m_style.shadowColors[s] != skin::kColorKey) {
        DrawMultiLineText(pDC, m_style.text, m_style.fontSize, m_style.shadowColors[s], r.left + 1,
                          r.top + 1, r.right + 1, r.bottom + 1, format, m_style.bold);
    }
    DrawMultiLineText(pDC, m_style.text, m_style.fontSize, m_style.textColors[s], r.left, r.top,
                      r.right, r.bottom, format, m_style.bold);
}

BOOL CThemeRadio::OnEraseBkgnd(CDC*) { return TRUE; }

// ---- mouse

void CThemeRadio::OnMouseMove(UINT nFlags, CPoint point) {
    m_style.held = (nFlags & MK_LBUTTON) != 0;
    if (GetSafeHwnd() && IsWindowEnabled()) {
        // Hover and leave in one request: a second call would replace the
        // first.
        TRACKMOUSEEVENT tme = {};
        tme.cbSize = sizeof tme;
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        tme.dwHoverTime = 10;
        ::TrackMouseEvent(&tme);
    }
    CButton::OnMouseMove(nFlags, point);
}

void CThemeRadio::OnMouseHover(UINT, CPoint) {
    m_style.hover = TRUE;
    if (m_style.held) {
        m_style.state = skin::kStatePressed;
    } else if (m_style.state != skin::kStateHover) {
        m_style.state = skin::kStateHover;
        Invalidate(FALSE);
    }
}

void CThemeRadio::OnMouseLeave() {
    m_style.hover = FALSE;
    m_style.held = FALSE;
    m_style.state = skin::kStateNormal;
    Invalidate(FALSE);
}

void CThemeRadio::OnLButtonDown(UINT nFlags, CPoint point) {
    m_style.held = TRUE;
    m_style.state = m_style.hover ? skin::kStatePressed : skin::kStateNormal;
    Refresh();
    CButton::OnLButtonDown(nFlags, point);
}

void CThemeRadio::OnLButtonUp(UINT nFlags, CPoint point) {
    CPoint screen = point;
    ClientToScreen(&screen);
    if (::WindowFromPoint(screen) == m_hWnd) {
        SetCheck(1);
        m_style.checked = TRUE;
    }
    m_style.held = FALSE;
    m_style.state = m_style.hover ? skin::kStateHover : skin::kStateNormal;
    Refresh();
    CButton::OnLButtonUp(nFlags, point);
}

void CThemeRadio::OnLButtonDblClk(UINT nFlags, CPoint point) {
    SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}

void CThemeRadio::OnEnable(BOOL bEnable) {
    CButton::OnEnable(bEnable);
    Refresh();
}

void CThemeRadio::OnSize(UINT nType, int cx, int cy) {
    CButton::OnSize(nType, cx, cy);
    if (cx >= 8 && cy >= 8) {
        Invalidate(TRUE);
        if (m_toolTip.GetSafeHwnd()) m_toolTip.UpdateTool(m_toolTip.GetText());
    }
}

void CThemeRadio::OnDestroy() {
    CButton::OnDestroy();
    m_toolTip.RemoveTool();
}
