#include "ThemeClass/ThemeScroll.h"

#include <cstdio>

#include "ThemeClass/ThemeDraw.h"

BEGIN_MESSAGE_MAP(CThemeScroll, CWnd)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_DESTROY()
ON_WM_ENABLE()
ON_WM_CANCELMODE()
ON_WM_TIMER()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_SKIN_LBUTTONDOWN, OnChildDown)
ON_MESSAGE(WM_SKIN_LBUTTONDBLCLK, OnChildDblClk)
ON_MESSAGE(WM_SKIN_LBUTTONUP, OnChildUp)
ON_MESSAGE(WM_SKIN_MOUSEMOVE, OnChildMove)
END_MESSAGE_MAP()

namespace {

skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }
CRect ToCRect(const skin::Rect& r) { return CRect(r.left, r.top, r.right, r.bottom); }

constexpr COLORREF kPartBack = 0xFBD3C1;
constexpr COLORREF kArrowText = 0x5D3925;

}  // namespace

CThemeScroll::CThemeScroll() {
    m_bar.height = 30;
    ResetSkin();
}

CThemeScroll::~CThemeScroll() {
    DestroyButton(m_pThumb);
    DestroyButton(m_pPrev);
    DestroyButton(m_pNext);
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

void CThemeScroll::DestroyButton(CThemeButton*& pButton) {
    if (!pButton) return;
    if (pButton->GetSafeHwnd()) pButton->DestroyWindow();
    delete pButton;
    pButton = nullptr;
}

BOOL CThemeScroll::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    // The back is never painted over the buttons.
    return CWnd::Create(nullptr, nullptr, dwStyle | WS_CLIPCHILDREN, rect, pParentWnd, nID);
}

void CThemeScroll::ResetSkin() {
    if (m_backDrawType == skin::kBackImage) m_backImage.DeleteObject();
    m_backDrawType = skin::kBackColor;
    m_imageFillType = skin::kFillNineGrid;
    m_imageAlignFormat = DT_CENTER | DT_VCENTER;
    m_backColor = 0xFFFFFF;
    m_outlineLT = 0xC8C8C8;
    m_outlineRB = 0xC8C8C8;
    m_outlineThick = 1;
    m_roundValue = 0;
    Part* parts[3] = {&m_bar, &m_prev, &m_next};
    for (Part* p : parts) {
        p->bitmapId = 0;
        p->imagePath = "";
        p->blockCount = 4;
        p->width = 20;
        p->height = 20;
    }
    m_bar.height = 30;
    m_bDragging = FALSE;
    CThemeButton* buttons[3] = {m_pThumb, m_pPrev, m_pNext};
    for (CThemeButton* b : buttons)
        if (b) b->ResetStyle();
}

LRESULT CThemeScroll::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

int CThemeScroll::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
    if (lpCreateStruct->style & 0x3) m_bVertical = TRUE;
    OnCreateChildren();
    return 0;
}

CThemeButton* CThemeScroll::MakeButton(UINT nID, const Part& part) {
    CThemeButton* b = new CThemeButton;
    b->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 0, part.width, part.height), this, nID);
    b->SetBackColors(kPartBack, 0xFF00FF, 0xFF00FF, 0xFF00FF);
    return b;
}

void CThemeScroll::OnCreateChildren() {
    if (m_pThumb || !GetSafeHwnd()) return;
    m_pThumb = MakeButton(kThumbId, m_bar);
    m_pPrev = MakeButton(kPrevId, m_prev);
    m_pNext = MakeButton(kNextId, m_next);
    CThemeButton* arrows[2] = {m_pPrev, m_pNext};
    for (CThemeButton* b : arrows) {
        b->SetTextColors(kArrowText, 0xFF00FF, 0xFF00FF, 0xFF00FF);
        b->SetFontSize(12);
        b->SetFontBold(TRUE);
    }
    m_pPrev->SetText(skin::ScrollPrevCaption(m_bVertical != FALSE));
    m_pNext->SetText(skin::ScrollNextCaption(m_bVertical != FALSE));
}

void CThemeScroll::LabelArrows() {
    // An arrow that shows an image keeps its empty caption.
    if (m_pPrev && m_prev.bitmapId == 0 && m_prev.imagePath.IsEmpty())
        m_pPrev->SetText(skin::ScrollPrevCaption(m_bVertical != FALSE));
    if (m_pNext && m_next.bitmapId == 0 && m_next.imagePath.IsEmpty())
        m_pNext->SetText(skin::ScrollNextCaption(m_bVertical != FALSE));
}

// ---- position

skin::ScrollSizes CThemeScroll::Sizes() const {
    skin::ScrollSizes s;
    s.thumbW = m_bar.width;
    s.thumbH = m_bar.height;
    s.prevW = m_prev.width;
    s.prevH = m_prev.height;
    s.nextW = m_next.width;
    s.nextH = m_next.height;
    return s;
}

skin::TrackAxis CThemeScroll::Axis() const {
    CRect rc;
    if (GetSafeHwnd()) GetClientRect(&rc);
    return skin::ScrollAxis(ToSkin(rc), m_bVertical != FALSE, Sizes(), m_nMin, m_nMax);
}

void CThemeScroll::RecalcLayout() {
    if (!GetSafeHwnd()) return;
    CRect rc;
    GetClientRect(&rc);
    const skin::ScrollParts p =
        skin::LayoutScroll(ToSkin(rc), m_bVertical != FALSE, Sizes(), m_nMin, m_nMax, m_nPos);
    if (m_pThumb && m_pThumb->GetSafeHwnd()) m_pThumb->MoveWindow(ToCRect(p.thumb), TRUE);
    if (m_pPrev && m_pPrev->GetSafeHwnd()) m_pPrev->MoveWindow(ToCRect(p.prev), TRUE);
    if (m_pNext && m_pNext->GetSafeHwnd()) m_pNext->MoveWindow(ToCRect(p.next), TRUE);
}

void CThemeScroll::SetPos(int nPos) {
    m_nPos = nPos;
    RecalcLayout();
}

void CThemeScroll::SetRange(int nMin, int nMax) {
    m_nMin = nMin;
    m_nMax = nMax;
    RecalcLayout();
}

void CThemeScroll::SetRangeMin(int nMin) {
    m_nMin = nMin;
    RecalcLayout();
}

void CThemeScroll::SetRangeMax(int nMax) {
    m_nMax = nMax;
    RecalcLayout();
}

void CThemeScroll::GetRange(int* pMin, int* pMax) const {
    if (pMin) *pMin = m_nMin;
    if (pMax) *pMax = m_nMax;
}

void CThemeScroll::SetLineUnit(int nUnit) {
    if (nUnit >= 1) m_nLineUnit = nUnit;
}

void CThemeScroll::LineUp() {
    if (!skin::TrackLineStep(&m_nPos, m_nLineUnit, true, m_nMin, m_nMax)) return;
    RecalcLayout();
    NotifyParent(m_nPos, kSkinPosChanging);
}

void CThemeScroll::LineDown() {
    if (!skin::TrackLineStep(&m_nPos, m_nLineUnit, false, m_nMin, m_nMax)) return;
    RecalcLayout();
    NotifyParent(m_nPos, kSkinPosChanging);
}

BOOL CThemeScroll::OnPrevButtonDown(HWND hWnd) {
    if (!m_pPrev || !hWnd || hWnd != m_pPrev->GetSafeHwnd()) return FALSE;
    Apply(skin::RepeatOnPress(true));
    return TRUE;
}

LRESULT CThemeScroll::NotifyParent(int nPos, int nCode) {
    CWnd* pOwner = GetOwner();
    if (!pOwner) pOwner = GetParent();
    if (!pOwner || !::IsWindow(pOwner->m_hWnd)) return 0;
    SkinPosNotify n = {};
    n.hdr.hwndFrom = m_hWnd;
    n.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    n.hdr.code = static_cast<UINT>(nCode);
    n.pos = nPos;
    n.pos2 = nPos;
    return pOwner->SendMessage(WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()),
                               reinterpret_cast<LPARAM>(&n));
}

// ---- setters

void CThemeScroll::SetToolTipText(LPCTSTR lpszText) {
    if (GetSafeHwnd()) SetControlToolTip(m_toolTip, this, lpszText);
}

void CThemeScroll::SetAutoToolTip(BOOL bAuto) {
    m_bAutoToolTip = bAuto;
    if (bAuto && GetSafeHwnd() && !m_toolTip.GetSafeHwnd()) m_toolTip.SetTool(this, m_hWnd, "");
}

void CThemeScroll::SetBackColor(COLORREF clr) {
    m_backColor = clr;
    m_backDrawType = skin::kBackColor;
}

BOOL CThemeScroll::SetBackImage(LPCTSTR lpszPath) {
    const BOOL ok = LoadPictureFile(lpszPath, &m_backImage);
    m_backDrawType = ok ? skin::kBackImage : skin::kBackColor;
    return ok;
}

BOOL CThemeScroll::SetBackBitmap(UINT nIDResource) {
    CBitmap bm;
    const BOOL ok = bm.LoadBitmap(nIDResource);
    if (ok) m_backImage.Attach(bm.Detach());
    m_backDrawType = ok ? skin::kBackImage : skin::kBackColor;
    return ok;
}

void CThemeScroll::SetOutlineColor(COLORREF clr) {
    m_outlineLT = clr;
    m_outlineRB = clr;
}

void CThemeScroll::SetVertical(BOOL bVertical) {
    m_bVertical = bVertical;
    if (!GetSafeHwnd()) return;
    LabelArrows();
    CRect rc;
    GetClientRect(&rc);
    SizePartsToBar(rc.Width(), rc.Height());
    RecalcLayout();
}

void CThemeScroll::PartSizeFromImage(Part& part) {
    HBITMAP h = nullptr;
    if (part.bitmapId != 0)
        h = ::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(part.bitmapId));
    else if (part.imagePath.GetLength() >= 4)
        h = skin::LoadPictureBitmap(part.imagePath);
    if (!h) return;
    CBitmap image;
    image.Attach(h);
    BITMAP bm = {};
    image.GetBitmap(&bm);
    part.width = skin::StripFrameWidth(bm.bmWidth, part.blockCount);
    part.height = bm.bmHeight;
}

BOOL CThemeScroll::SetPartImage(Part& part, CThemeButton* pButton, LPCTSTR lpszPath) {
    if (!pButton) return FALSE;
    const BOOL ok = pButton->SetImageFile(lpszPath);
    if (ok) {
        pButton->SetText("");
        part.imagePath = lpszPath;
        part.bitmapId = 0;
        PartSizeFromImage(part);
        RecalcLayout();
    }
    return ok;
}

BOOL CThemeScroll::SetPartBitmap(Part& part, CThemeButton* pButton, UINT nIDResource) {
    if (!pButton) return FALSE;
    const BOOL ok = pButton->SetBitmap(nIDResource);
    if (ok) {
        pButton->SetText("");
        part.imagePath = "";
        part.bitmapId = nIDResource;
        PartSizeFromImage(part);
        RecalcLayout();
    }
    return ok;
}

void CThemeScroll::SetPartBlockCount(Part& part, CThemeButton* pButton, int nCount) {
    // A count of 0 would divide the image width by zero.
    if (nCount < 1) return;
    if (pButton) pButton->SetFrameCount(nCount);
    part.blockCount = nCount;
    PartSizeFromImage(part);
    RecalcLayout();
}

BOOL CThemeScroll::SetBarImage(LPCTSTR lpszPath) { return SetPartImage(m_bar, m_pThumb, lpszPath); }
BOOL CThemeScroll::SetPrevImage(LPCTSTR lpszPath) {
    return SetPartImage(m_prev, m_pPrev, lpszPath);
}
BOOL CThemeScroll::SetNextImage(LPCTSTR lpszPath) {
    return SetPartImage(m_next, m_pNext, lpszPath);
}
BOOL CThemeScroll::SetBarBitmap(UINT nID) { return SetPartBitmap(m_bar, m_pThumb, nID); }
BOOL CThemeScroll::SetPrevBitmap(UINT nID) { return SetPartBitmap(m_prev, m_pPrev, nID); }
BOOL CThemeScroll::SetNextBitmap(UINT nID) { return SetPartBitmap(m_next, m_pNext, nID); }
void CThemeScroll::SetBarImageBlockCount(int n) { SetPartBlockCount(m_bar, m_pThumb, n); }
void CThemeScroll::SetPrevImageBlockCount(int n) { SetPartBlockCount(m_prev, m_pPrev, n); }
void CThemeScroll::SetNextImageBlockCount(int n) { SetPartBlockCount(m_next, m_pNext, n); }

// ---- messages

void CThemeScroll::OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    DrawTrackBack(&dc, rc, m_backDrawType, m_backColor, m_outlineLT, m_outlineRB, m_outlineThick,
                  m_roundValue, &m_backImage, m_imageFillType, m_imageAlignFormat);
}

BOOL CThemeScroll::OnEraseBkgnd(CDC*) { return TRUE; }

void CThemeScroll::SizePartsToBar(int cx, int cy) {
    if (cx < 8 || cy < 8 || m_backDrawType == skin::kBackImage) return;
    Part* parts[3] = {&m_bar, &m_prev, &m_next};
    for (Part* p : parts) {
        p->width = m_bVertical ? cx : 20;
        p->height = m_bVertical ? 20 : cy;
    }
}

void CThemeScroll::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    if (cx < 8 || cy < 8) return;
    SizePartsToBar(cx, cy);
    RecalcLayout();
    Invalidate(FALSE);
    if (m_toolTip.GetSafeHwnd()) m_toolTip.UpdateTool(m_toolTip.GetText());
}

void CThemeScroll::StopRepeat() {
    if (!GetSafeHwnd()) return;
    for (unsigned id = skin::kTimerPrevFirst; id <= skin::kTimerNextRepeat; ++id) KillTimer(id);
}

void CThemeScroll::OnDestroy() {
    CWnd::OnDestroy();
    DestroyButton(m_pThumb);
    DestroyButton(m_pPrev);
    DestroyButton(m_pNext);
    StopRepeat();
    m_toolTip.RemoveTool();
}

void CThemeScroll::OnEnable(BOOL bEnable) {
    CWnd::OnEnable(bEnable);
    // The buttons are windows of their own: without this a disabled bar
    // would still step and drag.
    CThemeButton* buttons[3] = {m_pThumb, m_pPrev, m_pNext};
    for (CThemeButton* b : buttons)
        if (b && b->GetSafeHwnd()) b->EnableWindow(bEnable);
    if (!bEnable) {
        StopRepeat();
        m_bDragging = FALSE;
    }
    Invalidate(FALSE);
}

void CThemeScroll::OnCancelMode() {
    CWnd::OnCancelMode();
    StopRepeat();
    m_bDragging = FALSE;
}

void CThemeScroll::Apply(const skin::RepeatAction& a) {
    for (unsigned id : a.kill)
        if (id) KillTimer(id);
    if (a.step) {
        if (a.up)
            LineUp();
        else
            LineDown();
    }
    if (a.start) SetTimer(a.start, a.startMs);
}

void CThemeScroll::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent >= skin::kTimerPrevFirst && nIDEvent <= skin::kTimerNextRepeat) {
        const bool prev = nIDEvent <= skin::kTimerPrevRepeat;
        // The arrow's button-up never comes when it lost the capture to
        // cancel mode or another window: then the repeat ends here.
        CThemeButton* pArrow = prev ? m_pPrev : m_pNext;
        const bool held = pArrow && pArrow->GetSafeHwnd() && ::GetCapture() == pArrow->m_hWnd;
        Apply(skin::RepeatOnTimer(static_cast<unsigned>(nIDEvent), held));
    }
    CWnd::OnTimer(nIDEvent);
}

void CThemeScroll::JumpTo(CPoint point) {
    CRect rc;
    GetClientRect(&rc);
    m_nPos = skin::TrackPosForPoint(Axis(), PointAlong(point));
    if (m_pThumb && m_pThumb->GetSafeHwnd()) {
        const skin::Rect t =
            skin::ScrollDragThumb(ToSkin(rc), m_bVertical != FALSE, Sizes(), PointAlong(point));
        m_pThumb->MoveWindow(ToCRect(t), TRUE);
    }
    NotifyParent(m_nPos, kSkinPosChanging);
}

void CThemeScroll::ClickTrack(CPoint point) {
    if (m_nPageUnit > 0) {
        const int under = skin::TrackPosForPoint(Axis(), PointAlong(point));
        m_nPos = skin::TrackPageStep(m_nPos, under, m_nPageUnit, m_nMin, m_nMax);
        RecalcLayout();
        NotifyParent(m_nPos, kSkinPosChanging);
    } else {
        JumpTo(point);
    }
}

void CThemeScroll::OnLButtonDown(UINT nFlags, CPoint point) {
    ClickTrack(point);
    CWnd::OnLButtonDown(nFlags, point);
}

void CThemeScroll::OnLButtonDblClk(UINT nFlags, CPoint point) {
    ClickTrack(point);
    CWnd::OnLButtonDblClk(nFlags, point);
}

void CThemeScroll::OnLButtonUp(UINT nFlags, CPoint point) {
    NotifyParent(m_nPos, kSkinPosReleased);
    CWnd::OnLButtonUp(nFlags, point);
}

void CThemeScroll::OnMouseMove(UINT nFlags, CPoint point) {
    if (m_bAutoToolTip && m_toolTip.GetSafeHwnd()) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", skin::TrackPosForPoint(Axis(), PointAlong(point)));
        if (m_toolTip.GetText() != text) m_toolTip.UpdateTool(text);
    }
    CWnd::OnMouseMove(nFlags, point);
    CWnd* pParent = GetParent();
    if (pParent && pParent->GetSafeHwnd()) {
        pParent->PostMessage(WM_SKIN_SCROLLMOUSEMOVE, static_cast<WPARAM>(GetDlgCtrlID()),
                             MAKELPARAM(point.x, point.y));
    }
}

CPoint CThemeScroll::ThumbToClient(LPARAM lParam) const {
    CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    if (m_pThumb && m_pThumb->GetSafeHwnd()) {
        CRect rc;
        m_pThumb->GetWindowRect(&rc);
        ScreenToClient(&rc);
        pt.x += rc.left;
        pt.y += rc.top;
    }
    return pt;
}

LRESULT CThemeScroll::OnChildDown(WPARAM wParam, LPARAM lParam) {
    if (wParam == kThumbId) {
        m_bDragging = TRUE;
        JumpTo(ThumbToClient(lParam));
    } else if (wParam == kPrevId || wParam == kNextId) {
        Apply(skin::RepeatOnPress(wParam == kPrevId));
    }
    return 1;
}

CThemeButton* CThemeScroll::Arrow(WPARAM id) const {
    return id == kPrevId ? m_pPrev : id == kNextId ? m_pNext : nullptr;
}

LRESULT CThemeScroll::OnChildDblClk(WPARAM wParam, LPARAM lParam) {
    // The second press of a double click takes no capture in an owner-drawn
    // button, so the repeat would end at its first tick and the button-up
    // could go elsewhere: the arrow holds the capture until its button-up.
    CThemeButton* pArrow = Arrow(wParam);
    if (pArrow && pArrow->GetSafeHwnd() && ::GetCapture() != pArrow->m_hWnd &&
        ::GetKeyState(VK_LBUTTON) < 0)
        pArrow->SetCapture();
    return OnChildDown(wParam, lParam);
}

LRESULT CThemeScroll::OnChildMove(WPARAM wParam, LPARAM lParam) {
    if (wParam != kThumbId || !m_bDragging) return 1;
    // A drag whose capture was taken away gets no button-up: the thumb must
    // not follow a pointer that merely passes over it afterwards. A release
    // already on its way still ends the drag normally.
    MSG pending;
    const bool held = m_pThumb && ::GetCapture() == m_pThumb->m_hWnd;
    if (!held &&
        !::PeekMessageA(&pending, m_hWnd, WM_SKIN_LBUTTONUP, WM_SKIN_LBUTTONUP, PM_NOREMOVE)) {
        m_bDragging = FALSE;
        return 1;
    }
    JumpTo(ThumbToClient(lParam));
    return 1;
}

LRESULT CThemeScroll::OnChildUp(WPARAM wParam, LPARAM lParam) {
    if (wParam == kThumbId) {
        m_bDragging = FALSE;
        const CPoint pt = ThumbToClient(lParam);
        PostMessage(WM_LBUTTONUP, static_cast<WPARAM>(GetDlgCtrlID()), MAKELPARAM(pt.x, pt.y));
    } else if (CThemeButton* pArrow = Arrow(wParam)) {
        Apply(skin::RepeatOnRelease(wParam == kPrevId));
        if (pArrow->GetSafeHwnd() && ::GetCapture() == pArrow->m_hWnd) ::ReleaseCapture();
    }
    return 1;
}
