#include "ThemeClass/ThemeTrackWnd.h"

#include <cstdio>

#include "ThemeClass/ThemeDraw.h"

BEGIN_MESSAGE_MAP(CThemeTrackWnd, CWnd)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_DESTROY()
ON_WM_ENABLE()
ON_WM_CANCELMODE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_SKIN_LBUTTONDOWN, OnChildDown)
ON_MESSAGE(WM_SKIN_LBUTTONUP, OnChildUp)
ON_MESSAGE(WM_SKIN_MOUSEMOVE, OnChildMove)
END_MESSAGE_MAP()

namespace {

skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }
CRect ToCRect(const skin::Rect& r) { return CRect(r.left, r.top, r.right, r.bottom); }

// The face of every part button.
constexpr COLORREF kPartBack = 0xFBD3C1;

}  // namespace

// The button holds the capture while pressed; when it loses it before its
// button-up (cancel mode, a release of the capture, another window taking
// it) the control ends what the press started.
class CThemeTrackWnd::PartButton : public CThemeButton {
public:
    PartButton(CThemeTrackWnd* pOwner, int part) : m_pOwner(pOwner), m_nPart(part) {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const LRESULT r = CThemeButton::WindowProc(message, wParam, lParam);
        if (message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) != m_hWnd)
            m_pOwner->OnPartCaptureLost(m_nPart);
        return r;
    }

private:
    CThemeTrackWnd* m_pOwner;
    int m_nPart;
};

void DrawTrackBack(CDC* pDC, const CRect& rc, int backDrawType, COLORREF back, COLORREF lt,
                   COLORREF rb, int thick, int round, CBitmap* pImage, int fillType,
                   UINT alignFormat) {
    if (backDrawType == skin::kBackColor) {
        if (round < 1)
            DrawOutlinedBack(pDC, back, lt, rb, thick, rc.left, rc.top, rc.right, rc.bottom);
        else
            DrawRoundBack(pDC, back, lt, thick, round, rc.left, rc.top, rc.right, rc.bottom);
        return;
    }
    if (backDrawType != skin::kBackImage || !pImage || !pImage->GetSafeHandle()) return;
    switch (fillType) {
        case skin::kFillNineGrid: DrawNineGridImage(pDC, pImage, rc); break;
        case skin::kFillStretch:
            DrawTransparentImage(pDC, pImage, rc.left, rc.top, rc.right, rc.bottom);
            break;
        case skin::kFillTile: {
            BITMAP bm = {};
            pImage->GetBitmap(&bm);
            DrawTiledBitmap(pDC, pImage, CRect(0, 0, bm.bmWidth, bm.bmHeight), rc);
            break;
        }
        case skin::kFillAlign:
            DrawAlignedImage(pDC, pImage, rc.left, rc.top, rc.right, rc.bottom, alignFormat);
            break;
        default: break;
    }
}

CThemeTrackWnd::CThemeTrackWnd(const UINT* ids, int count, UINT moveMessage, DWORD verticalStyle)
    : m_nMoveMessage(moveMessage), m_dwVerticalStyle(verticalStyle) {
    m_nParts = count < 1 ? 1 : count > kMaxParts ? kMaxParts : count;
    for (int i = 0; i < m_nParts; ++i) m_parts[i].id = ids[i];
    ResetSkin();
}

CThemeTrackWnd::~CThemeTrackWnd() {
    DestroyParts();
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

void CThemeTrackWnd::DestroyParts() {
    for (Part& p : m_parts) {
        if (!p.button) continue;
        if (p.button->GetSafeHwnd()) p.button->DestroyWindow();
        delete p.button;
        p.button = nullptr;
    }
}

BOOL CThemeTrackWnd::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(nullptr, nullptr, dwStyle | WS_CLIPCHILDREN, rect, pParentWnd, nID);
}

void CThemeTrackWnd::ResetSkin() {
    if (m_backDrawType == skin::kBackImage) m_backImage.DeleteObject();
    m_backDrawType = skin::kBackColor;
    m_imageFillType = skin::kFillNineGrid;
    m_imageAlignFormat = DT_CENTER | DT_VCENTER;
    m_backColor = 0xFFFFFF;
    m_outlineLT = 0xC8C8C8;
    m_outlineRB = 0xC8C8C8;
    m_outlineThick = 1;
    m_roundValue = 0;
    for (int i = 0; i < m_nParts; ++i) {
        Part& p = m_parts[i];
        p.bitmapId = 0;
        p.imagePath = "";
        p.blockCount = 4;
        p.width = 20;
        p.height = i == kPartThumb ? 30 : 20;
        if (p.button) p.button->ResetStyle();
    }
    m_bDragging = FALSE;
}

LRESULT CThemeTrackWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

int CThemeTrackWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
    if (lpCreateStruct->style & m_dwVerticalStyle) m_bVertical = TRUE;
    CreateParts();
    return 0;
}

void CThemeTrackWnd::CreateParts() {
    if (m_parts[kPartThumb].button || !GetSafeHwnd()) return;
    for (int i = 0; i < m_nParts; ++i) {
        Part& p = m_parts[i];
        p.button = new PartButton(this, i);
        p.button->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 0, p.width, p.height), this,
                         p.id);
        p.button->SetBackColors(kPartBack, skin::kColorKey, skin::kColorKey, skin::kColorKey);
    }
}

int CThemeTrackWnd::PartIndex(WPARAM id) const {
    for (int i = 0; i < m_nParts; ++i)
        if (m_parts[i].id == id) return i;
    return -1;
}

// ---- position

skin::ScrollSizes CThemeTrackWnd::Sizes() const {
    skin::ScrollSizes s;
    s.thumbW = m_parts[kPartThumb].width;
    s.thumbH = m_parts[kPartThumb].height;
    const bool arrows = m_nParts > kPartNext;
    s.prevW = arrows ? m_parts[kPartPrev].width : 0;
    s.prevH = arrows ? m_parts[kPartPrev].height : 0;
    s.nextW = arrows ? m_parts[kPartNext].width : 0;
    s.nextH = arrows ? m_parts[kPartNext].height : 0;
    return s;
}

skin::TrackAxis CThemeTrackWnd::Axis() const {
    CRect rc;
    if (GetSafeHwnd()) GetClientRect(&rc);
    return skin::ScrollAxis(ToSkin(rc), m_bVertical != FALSE, Sizes(), m_nMin, m_nMax);
}

void CThemeTrackWnd::RecalcLayout() {
    if (!GetSafeHwnd()) return;
    CRect rc;
    GetClientRect(&rc);
    const skin::ScrollParts p =
        skin::LayoutScroll(ToSkin(rc), m_bVertical != FALSE, Sizes(), m_nMin, m_nMax, m_nPos);
    const skin::Rect* places[kMaxParts] = {&p.thumb, &p.prev, &p.next};
    for (int i = 0; i < m_nParts; ++i) {
        CThemeButton* b = m_parts[i].button;
        if (b && b->GetSafeHwnd()) b->MoveWindow(ToCRect(*places[i]), TRUE);
    }
}

void CThemeTrackWnd::SetPos(int nPos) {
    m_nPos = nPos;
    RecalcLayout();
}

void CThemeTrackWnd::SetRange(int nMin, int nMax) {
    m_nMin = nMin;
    m_nMax = nMax;
    RecalcLayout();
}

void CThemeTrackWnd::SetRangeMin(int nMin) {
    m_nMin = nMin;
    RecalcLayout();
}

void CThemeTrackWnd::SetRangeMax(int nMax) {
    m_nMax = nMax;
    RecalcLayout();
}

void CThemeTrackWnd::GetRange(int* pMin, int* pMax) const {
    if (pMin) *pMin = m_nMin;
    if (pMax) *pMax = m_nMax;
}

LRESULT CThemeTrackWnd::NotifyParent(int nPos, int nCode) {
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

void CThemeTrackWnd::SetToolTipText(LPCTSTR lpszText) {
    if (GetSafeHwnd()) SetControlToolTip(m_toolTip, this, lpszText);
}

void CThemeTrackWnd::SetAutoToolTip(BOOL bAuto) {
    m_bAutoToolTip = bAuto;
    if (bAuto && GetSafeHwnd() && !m_toolTip.GetSafeHwnd()) m_toolTip.SetTool(this, m_hWnd, "");
}

void CThemeTrackWnd::SetBackColor(COLORREF clr) {
    m_backColor = clr;
    m_backDrawType = skin::kBackColor;
}

BOOL CThemeTrackWnd::SetBackImage(LPCTSTR lpszPath) {
    const BOOL ok = LoadPictureFile(lpszPath, &m_backImage);
    m_backDrawType = ok ? skin::kBackImage : skin::kBackColor;
    return ok;
}

BOOL CThemeTrackWnd::SetBackBitmap(UINT nIDResource) {
    CBitmap bm;
    const BOOL ok = bm.LoadBitmap(nIDResource);
    // Attach lets go of the image held before.
    if (ok) m_backImage.Attach(bm.Detach());
    m_backDrawType = ok ? skin::kBackImage : skin::kBackColor;
    return ok;
}

void CThemeTrackWnd::SetOutlineColor(COLORREF clr) {
    m_outlineLT = clr;
    m_outlineRB = clr;
}

void CThemeTrackWnd::SetVertical(BOOL bVertical) {
    m_bVertical = bVertical;
    if (!GetSafeHwnd()) return;
    LabelArrows();
    CRect rc;
    GetClientRect(&rc);
    SizePartsToBar(rc.Width(), rc.Height());
    RecalcLayout();
}

void CThemeTrackWnd::PartSizeFromImage(Part& part) {
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

BOOL CThemeTrackWnd::SetPartImage(Part& part, LPCTSTR lpszPath) {
    if (!part.button) return FALSE;
    const BOOL ok = part.button->SetImageFile(lpszPath);
    if (ok) {
        part.button->SetText("");
        part.imagePath = lpszPath;
        part.bitmapId = 0;
        PartSizeFromImage(part);
        RecalcLayout();
    }
    return ok;
}

BOOL CThemeTrackWnd::SetPartBitmap(Part& part, UINT nIDResource) {
    if (!part.button) return FALSE;
    const BOOL ok = part.button->SetBitmap(nIDResource);
    if (ok) {
        part.button->SetText("");
        part.imagePath = "";
        part.bitmapId = nIDResource;
        PartSizeFromImage(part);
        RecalcLayout();
    }
    return ok;
}

void CThemeTrackWnd::SetPartBlockCount(Part& part, int nCount) {
    // A count of 0 would divide the image width by zero.
    if (nCount < 1) return;
    if (part.button) part.button->SetFrameCount(nCount);
    part.blockCount = nCount;
    PartSizeFromImage(part);
    RecalcLayout();
}

// ---- messages

void CThemeTrackWnd::OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    DrawTrackBack(&dc, rc, m_backDrawType, m_backColor, m_outlineLT, m_outlineRB, m_outlineThick,
                  m_roundValue, &m_backImage, m_imageFillType, m_imageAlignFormat);
}

BOOL CThemeTrackWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CThemeTrackWnd::SizePartsToBar(int cx, int cy) {
    // Image backs keep the sizes their strips gave the parts.
    if (cx < 8 || cy < 8 || m_backDrawType == skin::kBackImage) return;
    for (int i = 0; i < m_nParts; ++i) {
        m_parts[i].width = m_bVertical ? cx : 20;
        m_parts[i].height = m_bVertical ? 20 : cy;
    }
}

void CThemeTrackWnd::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    if (cx < 8 || cy < 8) return;
    SizePartsToBar(cx, cy);
    RecalcLayout();
    Invalidate(FALSE);
    if (m_toolTip.GetSafeHwnd()) m_toolTip.UpdateTool(m_toolTip.GetText());
}

void CThemeTrackWnd::OnDestroy() {
    CWnd::OnDestroy();
    DestroyParts();
    StopArrows();
    m_bDragging = FALSE;
    m_toolTip.RemoveTool();
}

void CThemeTrackWnd::OnEnable(BOOL bEnable) {
    CWnd::OnEnable(bEnable);
    // The parts are windows of their own: without this a disabled control
    // would still step and drag.
    for (int i = 0; i < m_nParts; ++i) {
        CThemeButton* b = m_parts[i].button;
        if (b && b->GetSafeHwnd()) b->EnableWindow(bEnable);
    }
    if (!bEnable) {
        StopArrows();
        m_bDragging = FALSE;
    }
    Invalidate(FALSE);
}

void CThemeTrackWnd::OnCancelMode() {
    CWnd::OnCancelMode();
    // The parts hold the capture while pressed; the mode ends for them too.
    for (int i = 0; i < m_nParts; ++i) {
        CThemeButton* b = m_parts[i].button;
        if (b && b->GetSafeHwnd() && ::GetCapture() == b->m_hWnd) ::ReleaseCapture();
    }
    StopArrows();
    m_bDragging = FALSE;
}

void CThemeTrackWnd::JumpTo(CPoint point) {
    CRect rc;
    GetClientRect(&rc);
    m_nPos = skin::TrackPosForPoint(Axis(), PointAlong(point));
    CThemeButton* pThumb = GetThumb();
    if (pThumb && pThumb->GetSafeHwnd()) {
        const skin::Rect t =
            skin::ScrollDragThumb(ToSkin(rc), m_bVertical != FALSE, Sizes(), PointAlong(point));
        pThumb->MoveWindow(ToCRect(t), TRUE);
    }
    NotifyParent(m_nPos, kSkinPosChanging);
}

void CThemeTrackWnd::ClickTrack(CPoint point) {
    if (m_nPageUnit > 0) {
        const int under = skin::TrackPosForPoint(Axis(), PointAlong(point));
        m_nPos = skin::TrackPageStep(m_nPos, under, m_nPageUnit, m_nMin, m_nMax);
        RecalcLayout();
        NotifyParent(m_nPos, kSkinPosChanging);
    } else {
        JumpTo(point);
    }
}

void CThemeTrackWnd::OnLButtonDown(UINT nFlags, CPoint point) {
    ClickTrack(point);
    CWnd::OnLButtonDown(nFlags, point);
}

void CThemeTrackWnd::OnLButtonDblClk(UINT nFlags, CPoint point) {
    ClickTrack(point);
    CWnd::OnLButtonDblClk(nFlags, point);
}

void CThemeTrackWnd::OnLButtonUp(UINT nFlags, CPoint point) {
    NotifyParent(m_nPos, kSkinPosReleased);
    CWnd::OnLButtonUp(nFlags, point);
}

void CThemeTrackWnd::OnMouseMove(UINT nFlags, CPoint point) {
    if (m_bAutoToolTip && m_toolTip.GetSafeHwnd()) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", skin::TrackPosForPoint(Axis(), PointAlong(point)));
        if (m_toolTip.GetText() != text) m_toolTip.UpdateTool(text);
    }
    CWnd::OnMouseMove(nFlags, point);
    CWnd* pParent = GetParent();
    if (pParent && pParent->GetSafeHwnd()) {
        pParent->PostMessage(m_nMoveMessage, static_cast<WPARAM>(GetDlgCtrlID()),
                             MAKELPARAM(point.x, point.y));
    }
}

CPoint CThemeTrackWnd::ThumbToClient(LPARAM lParam) const {
    CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    CThemeButton* pThumb = GetThumb();
    if (pThumb && pThumb->GetSafeHwnd()) {
        CRect rc;
        pThumb->GetWindowRect(&rc);
        ScreenToClient(&rc);
        pt.x += rc.left;
        pt.y += rc.top;
    }
    return pt;
}

void CThemeTrackWnd::OnPartCaptureLost(int part) {
    // A button-up lets go of the capture too; its own message ends the
    // press then, after the last move.
    if (::GetKeyState(VK_LBUTTON) >= 0) return;
    if (part == kPartThumb)
        m_bDragging = FALSE;
    else
        StopArrows();
}

LRESULT CThemeTrackWnd::OnChildDown(WPARAM wParam, LPARAM lParam) {
    const int part = PartIndex(wParam);
    if (part == kPartThumb) {
        m_bDragging = TRUE;
        JumpTo(ThumbToClient(lParam));
    } else if (part > kPartThumb) {
        OnArrowDown(part);
    }
    return 1;
}

LRESULT CThemeTrackWnd::OnChildMove(WPARAM wParam, LPARAM lParam) {
    if (PartIndex(wParam) != kPartThumb || !m_bDragging) return 1;
    // A drag whose capture was taken away gets no button-up: the thumb must
    // not follow a pointer that merely passes over it afterwards. A release
    // already on its way still ends the drag normally.
    MSG pending;
    CThemeButton* pThumb = GetThumb();
    const bool held = pThumb && ::GetCapture() == pThumb->m_hWnd;
    if (!held &&
        !::PeekMessageA(&pending, m_hWnd, WM_SKIN_LBUTTONUP, WM_SKIN_LBUTTONUP, PM_NOREMOVE)) {
        m_bDragging = FALSE;
        return 1;
    }
    JumpTo(ThumbToClient(lParam));
    return 1;
}

LRESULT CThemeTrackWnd::OnChildUp(WPARAM wParam, LPARAM lParam) {
    const int part = PartIndex(wParam);
    if (part == kPartThumb) {
        m_bDragging = FALSE;
        const CPoint pt = ThumbToClient(lParam);
        PostMessage(WM_LBUTTONUP, static_cast<WPARAM>(GetDlgCtrlID()), MAKELPARAM(pt.x, pt.y));
    } else if (part > kPartThumb) {
        OnArrowUp(part);
    }
    return 1;
}
