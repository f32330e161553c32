#include "ThemeClass/ThemeProgress.h"

#include <string>
#include <vector>

#include "ThemeClass/ThemeDraw.h"
#include "ThemeClass/ThemeLayout.h"
#include "ThemeClass/ThemeLook.h"

BEGIN_MESSAGE_MAP(CThemeProgress, CWnd)
ON_WM_PAINT()
ON_WM_SIZE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }

void Fill(CDC* pDC, int l, int t, int r, int b, COLORREF c) {
    if (l >= r || t >= b) return;
    CRect rc(l, t, r, b);
    CBrush brush;
    brush.CreateSolidBrush(c);
    pDC->FillRect(&rc, &brush);
}

}  // namespace

CThemeProgress::CThemeProgress()
    : m_dChangePercent(90.0), m_nMin(0), m_nMax(100), m_nPos(70), m_strUnit("") {
    ResetSkin();
}

CThemeProgress::~CThemeProgress() {
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

BOOL CThemeProgress::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(nullptr, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CThemeProgress::ResetSkin() {
    m_bar1[0] = 0x42BD55;
    m_bar1[1] = 0x13AD2A;
    m_bar1[2] = 0x13DB64;
    m_bar2[0] = 0x36B7DE;
    m_bar2[1] = 0x03A5D5;
    m_bar2[2] = 0x00C6FF;
    m_bGradient = FALSE;
    m_nOutlineThick = 1;
    m_clrOutlineLT = 0x000000;
    m_clrOutlineRB = 0x000000;
    m_clrBack = 0x7F7F7F;
    m_bDrawText = FALSE;
    m_nFontSize = 12;
    m_bBold = FALSE;
    m_clrFont = 0xFFFFFF;
    m_clrShadow = 0xFF00FF;
}

LRESULT CThemeProgress::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

void CThemeProgress::SetPos(int nPos) {
    m_nPos = nPos;
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CThemeProgress::SetRange(int nMin, int nMax) {
    m_nMin = nMin;
    m_nMax = nMax;
}

void CThemeProgress::SetColorChangePercent(double dPercent) {
    m_dChangePercent = dPercent;
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CThemeProgress::SetFrame(COLORREF clrOutlineLT, COLORREF clrOutlineRB, int nThick,
                              COLORREF clrBack) {
    m_clrOutlineLT = clrOutlineLT;
    m_clrOutlineRB = clrOutlineRB;
    m_nOutlineThick = nThick;
    m_clrBack = clrBack;
}

void CThemeProgress::SetBarColors(COLORREF clrBar1, COLORREF clrBar2, double dPercent) {
    SetBar1Color(clrBar1);
    SetBar2Color(clrBar2);
    m_dChangePercent = dPercent;
}

void CThemeProgress::SetBarColors(COLORREF clrBar1Up, COLORREF clrBar1Down, COLORREF clrBar1Outline,
                                  COLORREF clrBar2Up, COLORREF clrBar2Down, COLORREF clrBar2Outline,
                                  double dPercent) {
    m_bar1[0] = clrBar1Up;
    m_bar1[1] = clrBar1Down;
    m_bar1[2] = clrBar1Outline;
    m_bar2[0] = clrBar2Up;
    m_bar2[1] = clrBar2Down;
    m_bar2[2] = clrBar2Outline;
    m_dChangePercent = dPercent;
}

void CThemeProgress::SetGradientColors(BOOL bGradient, COLORREF clrBar1, COLORREF clrBar2) {
    m_bGradient = bGradient;
    SetBar1Color(clrBar1);
    SetBar2Color(clrBar2);
}

void CThemeProgress::SetBarColor(COLORREF clr) {
    SetBar1Color(clr);
    SetBar2Color(clr);
}

void CThemeProgress::SetBar1Color(COLORREF clr) {
    for (COLORREF& c : m_bar1) c = clr;
}

void CThemeProgress::SetBar2Color(COLORREF clr) {
    for (COLORREF& c : m_bar2) c = clr;
}

void CThemeProgress::SetToolTipText(LPCTSTR lpszText) {
    if (GetSafeHwnd()) SetControlToolTip(m_toolTip, this, lpszText);
}

void CThemeProgress::OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    const skin::ProgressLayout l =
        skin::LayoutProgress(ToSkin(rc), m_nOutlineThick, m_nMin, m_nMax, m_nPos, m_dChangePercent);
    const skin::Rect& in = l.inner;

    if (!m_bGradient) {
        const COLORREF* set = l.colorSet == 2 ? m_bar2 : m_bar1;
        const int mid = in.top + in.Height() / 2;
        Fill(&dc, in.left, in.top, l.barRight, mid, set[0]);
        Fill(&dc, in.left, mid, l.barRight, in.bottom, set[1]);
        if (l.barRight > in.left && in.bottom > in.top) {
            Draw3DOutline(in.left, in.top, l.barRight - 1, in.bottom - 1, set[2], set[2], set[2],
                          set[2], &dc);
        }
    } else {
        skin::FillGradientH(dc.GetSafeHdc(), in, m_bar1[1], m_bar2[1]);
    }
    Fill(&dc, l.barRight, in.top, in.right, in.bottom, m_clrBack);

    for (const skin::Rect& ring : skin::OutlineRings(ToSkin(rc), m_nOutlineThick)) {
        Draw3DOutline(ring.left, ring.top, ring.right, ring.bottom, m_clrOutlineLT, m_clrOutlineLT,
                      m_clrOutlineRB, m_clrOutlineRB, &dc);
    }

    if (m_bDrawText) {
        const std::string text = skin::ProgressText(m_nPos, std::string(m_strUnit));
        const std::vector<std::string> lines = skin::SplitCaptionLines(text, false);
        const std::vector<skin::Rect> bands =
            skin::CaptionBands(ToSkin(rc), static_cast<int>(lines.size()));
        const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        for (size_t i = 0; i < lines.size(); ++i) {
            const skin::Rect& b = bands[i];
            if (m_clrShadow != skin::kColorKey) {
                DrawMultiLineText(&dc, lines[i].c_str(), m_nFontSize, m_clrShadow, b.left + 1,
                                  b.top + 1, b.right + 1, b.bottom + 1, format, m_bBold);
            }
            DrawMultiLineText(&dc, lines[i].c_str(), m_nFontSize, m_clrFont, b.left, b.top, b.right,
                              b.bottom, format, m_bBold);
        }
    }
}

void CThemeProgress::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    ResizeControlToolTip(m_toolTip, this, cx, cy, TRUE);
}

void CThemeProgress::OnDestroy() {
    CWnd::OnDestroy();
    m_toolTip.RemoveTool();
}
