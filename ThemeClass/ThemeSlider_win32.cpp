#include "ThemeClass/ThemeSlider.h"

#include <cstdio>

#include "ThemeClass/ThemeDraw.h"

BEGIN_MESSAGE_MAP(CThemeSlider, CWnd)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_DESTROY()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_SKIN_LBUTTONDOWN, OnThumbDown)
ON_MESSAGE(WM_SKIN_LBUTTONUP, OnThumbUp)
ON_MESSAGE(WM_SKIN_MOUSEMOVE, OnThumbMove)
END_MESSAGE_MAP()

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

CThemeSlider::CThemeSlider() { ResetSkin(); }

CThemeSlider::~CThemeSlider() {
    if (m_pThumb) {
        if (m_pThumb->GetSafeHwnd()) m_pThumb->DestroyWindow();
        delete m_pThumb;
        m_pThumb = nullptr;
    }
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

BOOL CThemeSlider::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    // The back is never painted over the thumb.
    return CWnd::Create(nullptr, nullptr, dwStyle | WS_CLIPCHILDREN, rect, pParentWnd, nID);
}

void CThemeSlider::ResetSkin() {
    if (m_backDrawType == skin::kBackImage) m_backImage.DeleteObject();
    m_backDrawType = skin::kBackColor;
    m_imageFillType = skin::kFillNineGrid;
    m_imageAlignFormat = DT_CENTER | DT_VCENTER;
    m_backColor = 0xFFFFFF;
    m_outlineLT = 0xC8C8C8;
    m_outlineRB = 0xC8C8C8;
    m_outlineThick = 1;
    m_roundValue = 0;
    m_nBarBitmap = 0;
    m_strBarImage = "";
    m_nBarBlockCount = 4;
    m_nThumbW = 20;
    m_nThumbH = 30;
    m_bDragging = FALSE;
    if (m_pThumb) m_pThumb->ResetStyle();
}

LRESULT CThemeSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

int CThemeSlider::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
    if (lpCreateStruct->style & 0x2) m_bVertical = TRUE;
    CreateThumb();
    return 0;
}

void CThemeSlider::CreateThumb() {
    if (m_pThumb) return;
    m_pThumb = new CThemeButton;
    m_pThumb->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 0, m_nThumbW, m_nThumbH), this,
                     kThumbId);
    m_pThumb->SetBackColors(0xFBD3C1, 0xFF00FF, 0xFF00FF, 0xFF00FF);
}

// ---- position

skin::TrackAxis CThemeSlider::Axis() const {
    CRect rc;
    if (GetSafeHwnd()) GetClientRect(&rc);
    skin::TrackAxis a;
    a.extent = m_bVertical ? rc.Height() : rc.Width();
    a.thumb = m_bVertical ? m_nThumbH : m_nThumbW;
    a.rangeMin = m_nMin;
    a.rangeMax = m_nMax;
    return a;
}

void CThemeSlider::SetPos(int nPos) {
    m_nPos = nPos;
    RecalcThumb();
}

void CThemeSlider::SetRange(int nMin, int nMax) {
    m_nMin = nMin;
    m_nMax = nMax;
    RecalcThumb();
}

void CThemeSlider::SetRangeMin(int nMin) {
    m_nMin = nMin;
    RecalcThumb();
}

void CThemeSlider::SetRangeMax(int nMax) {
    m_nMax = nMax;
    RecalcThumb();
}

void CThemeSlider::GetRange(int* pMin, int* pMax) const {
    if (pMin) *pMin = m_nMin;
    if (pMax) *pMax = m_nMax;
}

void CThemeSlider::MoveThumbEdge(int edge) {
    if (!m_pThumb || !m_pThumb->GetSafeHwnd()) return;
    CRect rc;
    GetClientRect(&rc);
    CRect t;
    if (m_bVertical) {
        t.top = edge;
        t.bottom = edge + m_nThumbH;
        t.left = rc.CenterPoint().x - m_nThumbW / 2;
        t.right = t.left + m_nThumbW;
    } else {
        t.left = edge;
        t.right = edge + m_nThumbW;
        t.top = rc.CenterPoint().y - m_nThumbH / 2;
        t.bottom = t.top + m_nThumbH;
    }
    m_pThumb->MoveWindow(&t, TRUE);
}

void CThemeSlider::RecalcThumb() {
    if (!GetSafeHwnd()) return;
    const skin::TrackAxis a = Axis();
    MoveThumbEdge(skin::TrackCentreForPos(a, m_nPos) - a.thumb / 2);
}

LRESULT CThemeSlider::NotifyParent(int nPos, int nCode) {
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

void CThemeSlider::SetToolTipText(LPCTSTR lpszText) {
    if (GetSafeHwnd()) SetControlToolTip(m_toolTip, this, lpszText);
}

void CThemeSlider::SetAutoToolTip(BOOL bAuto) {
    m_bAutoToolTip = bAuto;
    if (bAuto && GetSafeHwnd() && !m_toolTip.GetSafeHwnd()) m_toolTip.SetTool(this, m_hWnd, "");
}

void CThemeSlider::SetBackColor(COLORREF clr) {
    m_backColor = clr;
    m_backDrawType = skin::kBackColor;
}

BOOL CThemeSlider::SetBackImage(LPCTSTR lpszPath) {
    const BOOL ok = LoadPictureFile(lpszPath, &m_backImage);
    m_backDrawType = ok ? skin::kBackImage : skin::kBackColor;
    return ok;
}

BOOL CThemeSlider::SetBackBitmap(UINT nIDResource) {
    CBitmap bm;
    const BOOL ok = bm.LoadBitmap(nIDResource);
    if (ok) {
        m_backImage.DeleteObject();
        m_backImage.Attach(bm.Detach());
    }
    m_backDrawType = ok ? skin::kBackImage : skin::kBackColor;
    return ok;
}

void CThemeSlider::SetOutlineColor(COLORREF clr) {
    m_outlineLT = clr;
    m_outlineRB = clr;
}

void CThemeSlider::ThumbSizeFromImage() {
    CBitmap image;
    BOOL ok = FALSE;
    if (m_nBarBitmap != 0)
        ok = image.LoadBitmap(m_nBarBitmap);
    else if (m_strBarImage.GetLength() >= 4)
        ok = LoadPictureFile(m_strBarImage, &image);
    if (!ok) return;
    BITMAP bm = {};
    image.GetBitmap(&bm);
    m_nThumbW = skin::StripFrameWidth(bm.bmWidth, m_nBarBlockCount);
    m_nThumbH = bm.bmHeight;
}

BOOL CThemeSlider::SetBarImage(LPCTSTR lpszPath) {
    if (!m_pThumb) return FALSE;
    const BOOL ok = m_pThumb->SetImageFile(lpszPath);
    if (ok) {
        m_pThumb->SetText("");
        m_strBarImage = lpszPath;
        m_nBarBitmap = 0;
        ThumbSizeFromImage();
        RecalcThumb();
    }
    return ok;
}

BOOL CThemeSlider::SetBarBitmap(UINT nIDResource) {
    if (!m_pThumb) return FALSE;
    const BOOL ok = m_pThumb->SetBitmap(nIDResource);
    if (ok) {
        m_pThumb->SetText("");
        m_strBarImage = "";
        m_nBarBitmap = nIDResource;
        ThumbSizeFromImage();
        RecalcThumb();
    }
    return ok;
}

void CThemeSlider::SetBarImageBlockCount(int nCount) {
    // A count of 0 would divide the image width by zero.
    if (nCount < 1) return;
    if (m_pThumb) m_pThumb->SetFrameCount(nCount);
    m_nBarBlockCount = nCount;
    ThumbSizeFromImage();
    RecalcThumb();
}

// ---- messages

void CThemeSlider::OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    DrawTrackBack(&dc, rc, m_backDrawType, m_backColor, m_outlineLT, m_outlineRB, m_outlineThick,
                  m_roundValue, &m_backImage, m_imageFillType, m_imageAlignFormat);
}

BOOL CThemeSlider::OnEraseBkgnd(CDC*) { return TRUE; }

void CThemeSlider::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    if (cx < 8 || cy < 8) return;
    if (m_backDrawType != skin::kBackImage) {
        if (m_bVertical) {
            m_nThumbW = cx;
            m_nThumbH = 20;
        } else {
            m_nThumbW = 20;
            m_nThumbH = cy;
        }
    }
    RecalcThumb();
    Invalidate(FALSE);
    if (m_toolTip.GetSafeHwnd()) m_toolTip.UpdateTool(m_toolTip.GetText());
}

void CThemeSlider::OnDestroy() {
    CWnd::OnDestroy();
    if (m_pThumb) {
        if (m_pThumb->GetSafeHwnd()) m_pThumb->DestroyWindow();
        delete m_pThumb;
        m_pThumb = nullptr;
    }
    m_toolTip.RemoveTool();
}

void CThemeSlider::JumpTo(CPoint point) {
    const skin::TrackAxis a = Axis();
    m_nPos = skin::TrackPosForPoint(a, PointAlong(point));
    MoveThumbEdge(skin::TrackDragEdge(a, PointAlong(point)));
    NotifyParent(m_nPos, kSkinPosChanging);
}

void CThemeSlider::ClickTrack(CPoint point) {
    if (m_nPageUnit > 0) {
        const int under = skin::TrackPosForPoint(Axis(), PointAlong(point));
        m_nPos = skin::TrackPageStep(m_nPos, under, m_nPageUnit, m_nMin, m_nMax);
        RecalcThumb();
        NotifyParent(m_nPos, kSkinPosChanging);
    } else {
        JumpTo(point);
    }
}

void CThemeSlider::OnLButtonDown(UINT nFlags, CPoint point) {
    ClickTrack(point);
    CWnd::OnLButtonDown(nFlags, point);
}

void CThemeSlider::OnLButtonDblClk(UINT nFlags, CPoint point) {
    ClickTrack(point);
    CWnd::OnLButtonDblClk(nFlags, point);
}

void CThemeSlider::OnLButtonUp(UINT nFlags, CPoint point) {
    NotifyParent(m_nPos, kSkinPosReleased);
    CWnd::OnLButtonUp(nFlags, point);
}

void CThemeSlider::OnMouseMove(UINT nFlags, CPoint point) {
    if (m_bAutoToolTip && m_toolTip.GetSafeHwnd()) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", skin::TrackPosForPoint(Axis(), PointAlong(point)));
        if (m_toolTip.GetText() != text) m_toolTip.UpdateTool(text);
    }
    CWnd::OnMouseMove(nFlags, point);
    CWnd* pParent = GetParent();
    if (pParent && pParent->GetSafeHwnd()) {
        pParent->PostMessage(WM_SKIN_SLIDERMOUSEMOVE, static_cast<WPARAM>(GetDlgCtrlID()),
                             MAKELPARAM(point.x, point.y));
    }
}

CPoint CThemeSlider::ThumbToClient(LPARAM lParam) const {
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

LRESULT CThemeSlider::OnThumbDown(WPARAM wParam, LPARAM lParam) {
    if (wParam != kThumbId) return 1;
    m_bDragging = TRUE;
    JumpTo(ThumbToClient(lParam));
    return 1;
}

LRESULT CThemeSlider::OnThumbMove(WPARAM wParam, LPARAM lParam) {
    if (wParam != kThumbId) return 1;
    if (m_bDragging) JumpTo(ThumbToClient(lParam));
    return 1;
}

LRESULT CThemeSlider::OnThumbUp(WPARAM wParam, LPARAM lParam) {
    if (wParam != kThumbId) return 1;
    m_bDragging = FALSE;
    const CPoint pt = ThumbToClient(lParam);
    PostMessage(WM_LBUTTONUP, static_cast<WPARAM>(GetDlgCtrlID()), MAKELPARAM(pt.x, pt.y));
    return 1;
}
