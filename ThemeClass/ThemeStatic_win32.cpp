#include "ThemeClass/ThemeStatic.h"

#include <string>
#include <vector>

#include "ThemeClass/ThemeDraw.h"
#include "ThemeClass/ThemeLayout.h"

namespace {

skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }

void DrawTextBack(CDC* pDC, ThemeTextStyle& s, const CRect& rc) {
    if (s.backDrawType == skin::kBackColor) {
        if (s.edgeRoundValue < 1) {
            DrawOutlinedBack(pDC, s.backColor, s.outlineLT, s.outlineRB, s.outlineThick, rc.left,
                             rc.top, rc.right, rc.bottom);
        } else {
            DrawRoundBack(pDC, s.backColor, s.outlineLT, s.outlineThick, s.edgeRoundValue, rc.left,
                          rc.top, rc.right, rc.bottom);
        }
        return;
    }
    if (s.backDrawType != skin::kBackImage || !s.backImage.GetSafeHandle()) return;
    switch (s.backImageFillType) {
        case skin::kFillNineGrid: DrawNineGridImage(pDC, &s.backImage, rc); break;
        case skin::kFillStretch:
            DrawTransparentImage(pDC, &s.backImage, rc.left, rc.top, rc.right, rc.bottom);
            break;
        case skin::kFillTile: {
            CBrush brush;
            if (brush.CreatePatternBrush(&s.backImage)) pDC->FillRect(&rc, &brush);
            break;
        }
        case skin::kFillAlign:
            DrawAlignedImage(pDC, &s.backImage, rc.left, rc.top, rc.right, rc.bottom,
                             s.backImageAlignFormat);
            break;
        default: break;
    }
}

}  // namespace

void DrawThemeTextLines(CWnd* pWnd, CDC* pDC, const ThemeTextStyle& s) {
    const std::vector<std::string> lines = skin::SplitCaptionLines(std::string(s.text), false);
    if (lines.empty()) return;
    CRect rcClient;
    pWnd->GetClientRect(&rcClient);
    const skin::Rect area = skin::LabelCaptionRect(ToSkin(s.captionArea), ToSkin(rcClient));
    const std::vector<skin::Rect> bands = skin::CaptionBands(area, static_cast<int>(lines.size()));
    const UINT format = s.alignFormat | DT_SINGLELINE;
    for (size_t i = 0; i < lines.size(); ++i) {
        const skin::Rect& b = bands[i];
        if (s.shadowColor != skin::kColorKey) {
            DrawMultiLineText(pDC, lines[i].c_str(), s.fontSize, s.shadowColor, b.left + 1,
                              b.top + 1, b.right + 1, b.bottom + 1, format, s.bold);
        }
        DrawMultiLineText(pDC, lines[i].c_str(), s.fontSize, s.fontColor, b.left, b.top, b.right,
                          b.bottom, format, s.bold);
    }
}

void PaintThemeText(CWnd* pWnd, CDC* pDC, ThemeTextStyle& s) {
    CRect rc;
    pWnd->GetClientRect(&rc);
    DrawTextBack(pDC, s, rc);
    DrawThemeTextLines(pWnd, pDC, s);
}

BOOL LoadThemeBackImage(ThemeTextStyle& s, LPCTSTR lpszPath) {
    if (s.backDrawType == skin::kBackImage) s.backImage.DeleteObject();
    const BOOL loaded = LoadPictureFile(lpszPath, &s.backImage);
    s.backDrawType = loaded ? skin::kBackImage : skin::kBackNone;
    return loaded;
}

BOOL LoadThemeBackBitmap(ThemeTextStyle& s, UINT nIDResource) {
    if (s.backDrawType == skin::kBackImage) s.backImage.DeleteObject();
    const BOOL loaded = s.backImage.LoadBitmap(nIDResource);
    s.backDrawType = loaded ? skin::kBackImage : skin::kBackNone;
    return loaded;
}

void InvalidateParentUnder(CWnd* pWnd) {
    if (!pWnd->GetSafeHwnd()) return;
    CWnd* pParent = pWnd->GetParent();
    if (!pParent || !pParent->GetSafeHwnd()) return;
    CRect rc;
    pWnd->GetWindowRect(&rc);
    pParent->ScreenToClient(&rc);
    pParent->InvalidateRect(&rc, TRUE);
}

// ---- CThemeStatic

BEGIN_MESSAGE_MAP(CThemeStatic, CWnd)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_SIZE()
ON_WM_DESTROY()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CThemeStatic::CThemeStatic() { ResetSkin(); }

CThemeStatic::~CThemeStatic() {
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

BOOL CThemeStatic::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(nullptr, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CThemeStatic::ResetSkin() {
    if (m_style.backDrawType == skin::kBackImage) m_style.backImage.DeleteObject();
    m_style.captionArea = CRect(0, 0, 0, 0);
    m_style.alignFormat = DT_VCENTER;
    m_style.fontSize = 12;
    m_style.bold = FALSE;
    m_style.fontColor = 0x450308;
    m_style.shadowColor = skin::kColorKey;
    m_style.backDrawType = skin::kBackNone;
    m_style.backImageFillType = skin::kFillNineGrid;
    m_style.backImageAlignFormat = DT_VCENTER;
    m_style.backColor = 0xFFC040;
    m_style.outlineLT = 0x808080;
    m_style.outlineRB = 0x000000;
    m_style.outlineThick = 1;
    m_style.edgeRoundValue = 0;
}

LRESULT CThemeStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

void CThemeStatic::SetText(LPCTSTR lpszText) {
    m_style.text = lpszText ? lpszText : "";
    // The window text follows, so that tools outside the process (screen
    // readers, test drivers) read what the label shows; the paint uses the
    // style's copy.
    if (GetSafeHwnd())
        ::DefWindowProcA(m_hWnd, WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(m_style.text)));
    Repaint();
}

void CThemeStatic::SetText(CString strText) { SetText(static_cast<LPCTSTR>(strText)); }

void CThemeStatic::SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom) {
    m_style.captionArea = CRect(nLeft, nTop, nRight, nBottom);
}
void CThemeStatic::SetCaptionArea(const CRect& rcArea) { m_style.captionArea = rcArea; }
void CThemeStatic::SetAlignFormat(UINT nFormat) { m_style.alignFormat = nFormat; }

void CThemeStatic::Repaint() {
    if (!GetSafeHwnd()) return;
    // Without a back of its own the label cannot paint its old text away:
    // the parent repaints the area first.
    if (m_style.backDrawType == skin::kBackNone) InvalidateBack();
    Invalidate(FALSE);
}

void CThemeStatic::SetFontColor(COLORREF clr) {
    m_style.fontColor = clr;
    Repaint();
}

void CThemeStatic::SetShadowColor(COLORREF clr) { m_style.shadowColor = clr; }

void CThemeStatic::SetTextColors(COLORREF clrFont, COLORREF clrShadow) {
    m_style.fontColor = clrFont;
    m_style.shadowColor = clrShadow;
    Repaint();
}

void CThemeStatic::SetFontSize(int nSize) { m_style.fontSize = nSize; }
void CThemeStatic::SetFontBold(BOOL bBold) { m_style.bold = bBold; }

void CThemeStatic::SetColors(int nFontSize, BOOL bBold, COLORREF clrFont, COLORREF clrShadow,
                             UINT nAlignFormat) {
    m_style.fontSize = nFontSize;
    m_style.bold = bBold;
    m_style.fontColor = clrFont;
    m_style.shadowColor = clrShadow;
    m_style.alignFormat = nAlignFormat;
}

BOOL CThemeStatic::SetBackImage(LPCTSTR lpszPath) { return LoadThemeBackImage(m_style, lpszPath); }
BOOL CThemeStatic::SetBackBitmap(UINT nIDResource) {
    return LoadThemeBackBitmap(m_style, nIDResource);
}

void CThemeStatic::SetBackColor(COLORREF clr) {
    m_style.backColor = clr;
    m_style.backDrawType = skin::kBackColor;
}

void CThemeStatic::SetBackDrawType(int nType) { m_style.backDrawType = nType; }
void CThemeStatic::SetBackImageFillType(int nType) { m_style.backImageFillType = nType; }
void CThemeStatic::SetBackImageAlignFormat(UINT nFormat) { m_style.backImageAlignFormat = nFormat; }
void CThemeStatic::SetEdgeRoundValue(int nValue) { m_style.edgeRoundValue = nValue; }
void CThemeStatic::SetOutlineThick(int nThick) { m_style.outlineThick = nThick; }
void CThemeStatic::SetOutlineLTColor(COLORREF clr) { m_style.outlineLT = clr; }
void CThemeStatic::SetOutlineRBColor(COLORREF clr) { m_style.outlineRB = clr; }

void CThemeStatic::SetOutlineColor(COLORREF clr) {
    m_style.outlineLT = clr;
    m_style.outlineRB = clr;
}

void CThemeStatic::SetToolTipText(LPCTSTR lpszText) {
    if (GetSafeHwnd()) SetControlToolTip(m_toolTip, this, lpszText);
}

void CThemeStatic::InvalidateBack() { InvalidateParentUnder(this); }

void CThemeStatic::DrawText(CDC* pDC) { DrawThemeTextLines(this, pDC, m_style); }

int CThemeStatic::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
    return 0;
}

void CThemeStatic::OnPaint() {
    CPaintDC dc(this);
    PaintThemeText(this, &dc, m_style);
}

void CThemeStatic::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    ResizeControlToolTip(m_toolTip, this, cx, cy, TRUE);
}

void CThemeStatic::OnDestroy() {
    CWnd::OnDestroy();
    m_toolTip.RemoveTool();
}

void CThemeStatic::OnLButtonDown(UINT nFlags, CPoint point) {
    CWnd* pParent = GetParent();
    if (pParent) {
        pParent->PostMessage(WM_SKIN_LBUTTONDOWN, static_cast<WPARAM>(GetDlgCtrlID()),
                             MAKELPARAM(point.x, point.y));
    }
    CWnd::OnLButtonDown(nFlags, point);
}

void CThemeStatic::OnLButtonUp(UINT nFlags, CPoint point) {
    CWnd::OnLButtonUp(nFlags, point);
    CWnd* pParent = GetParent();
    if (pParent) {
        pParent->PostMessage(WM_SKIN_LBUTTONUP, static_cast<WPARAM>(GetDlgCtrlID()),
                             MAKELPARAM(point.x, point.y));
    }
}
