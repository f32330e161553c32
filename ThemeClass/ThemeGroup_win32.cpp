#include "ThemeClass/ThemeGroup.h"

BEGIN_MESSAGE_MAP(CThemeGroup, CStatic)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_SIZE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CThemeGroup::CThemeGroup() { SetDefaultSkin(); }

CThemeGroup::~CThemeGroup() {
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

BOOL CThemeGroup::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("Static", nullptr, dwStyle, rect, pParentWnd, nID);
}

void CThemeGroup::SetDefaultSkin() {
    if (m_style.backDrawType == skin::kBackImage) m_style.backImage.DeleteObject();
    m_style.captionArea = CRect(5, 0, 170, 20);
    m_style.alignFormat = DT_VCENTER;
    m_style.fontSize = 12;
    m_style.bold = FALSE;
    m_style.fontColor = 0x000000;
    m_style.shadowColor = skin::kColorKey;
    m_style.backDrawType = skin::kBackColor;
    m_style.backImageFillType = skin::kFillNineGrid;
    m_style.backImageAlignFormat = DT_VCENTER;
    m_style.backColor = 0xE3E1D6;
    m_style.outlineLT = 0xC5B3A8;
    m_style.outlineRB = 0x7F6D62;
    m_style.outlineThick = 1;
    m_style.edgeRoundValue = 5;
}

LRESULT CThemeGroup::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    return CStatic::WindowProc(message, wParam, lParam);
}

void CThemeGroup::SetCaption(LPCTSTR lpszText) {
    m_style.text = lpszText ? lpszText : "";
    if (!GetSafeHwnd()) return;
    if (m_style.backDrawType == skin::kBackNone) InvalidateParentUnder(this);
    Invalidate(FALSE);
}

void CThemeGroup::SetCaption(CString strText) { SetCaption(static_cast<LPCTSTR>(strText)); }

void CThemeGroup::SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom) {
    m_style.captionArea = CRect(nLeft, nTop, nRight, nBottom);
}
void CThemeGroup::SetCaptionArea(const CRect& rcArea) { m_style.captionArea = rcArea; }
void CThemeGroup::SetAlignFormat(UINT nFormat) { m_style.alignFormat = nFormat; }
void CThemeGroup::SetFontColor(COLORREF clr) { m_style.fontColor = clr; }
void CThemeGroup::SetShadowColor(COLORREF clr) { m_style.shadowColor = clr; }

void CThemeGroup::SetTextColors(COLORREF clrFont, COLORREF clrShadow) {
    m_style.fontColor = clrFont;
    m_style.shadowColor = clrShadow;
}

void CThemeGroup::SetFontSize(int nSize) { m_style.fontSize = nSize; }
void CThemeGroup::SetFontBold(BOOL bBold) { m_style.bold = bBold; }

void CThemeGroup::SetColors(int nFontSize, BOOL bBold, COLORREF clrFont, COLORREF clrShadow,
                            UINT nAlignFormat) {
    m_style.fontSize = nFontSize;
    m_style.bold = bBold;
    m_style.fontColor = clrFont;
    m_style.shadowColor = clrShadow;
    m_style.alignFormat = nAlignFormat;
}

BOOL CThemeGroup::SetBackImage(LPCTSTR lpszPath) { return LoadThemeBackImage(m_style, lpszPath); }
BOOL CThemeGroup::SetBackBitmap(UINT nIDResource) {
    return LoadThemeBackBitmap(m_style, nIDResource);
}

void CThemeGroup::SetBackColor(COLORREF clr) {
    m_style.backColor = clr;
    m_style.backDrawType = skin::kBackColor;
}

void CThemeGroup::SetEdgeRoundValue(int nValue) { m_style.edgeRoundValue = nValue; }
void CThemeGroup::SetOutlineThick(int nThick) { m_style.outlineThick = nThick; }
void CThemeGroup::SetOutlineLTColor(COLORREF clr) { m_style.outlineLT = clr; }
void CThemeGroup::SetOutlineRBColor(COLORREF clr) { m_style.outlineRB = clr; }

void CThemeGroup::SetOutlineColor(COLORREF clr) {
    m_style.outlineLT = clr;
    m_style.outlineRB = clr;
}

void CThemeGroup::SetBackDrawType(int nType) { m_style.backDrawType = nType; }
void CThemeGroup::SetBackImageFillType(int nType) { m_style.backImageFillType = nType; }
void CThemeGroup::SetBackImageAlignFormat(UINT nFormat) { m_style.backImageAlignFormat = nFormat; }

void CThemeGroup::SetToolTipText(LPCTSTR lpszText) {
    if (GetSafeHwnd()) SetControlToolTip(m_toolTip, this, lpszText);
}

void CThemeGroup::DrawCaption(CDC* pDC) { DrawThemeTextLines(this, pDC, m_style); }

int CThemeGroup::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CStatic::OnCreate(lpCreateStruct) == -1) return -1;
    return 0;
}

void CThemeGroup::OnPaint() {
    CPaintDC dc(this);
    PaintThemeText(this, &dc, m_style);
}

void CThemeGroup::OnSize(UINT nType, int cx, int cy) {
    CStatic::OnSize(nType, cx, cy);
    ResizeControlToolTip(m_toolTip, this, cx, cy, TRUE);
}

void CThemeGroup::OnDestroy() {
    CStatic::OnDestroy();
    m_toolTip.RemoveTool();
}
