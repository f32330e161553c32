// The skinned progress bar: a two-tone bar whose colour set changes once
// it passes a percentage (or a horizontal gradient), a back colour for the
// rest, a bevelled outline, and optionally the position with a unit.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"

class CThemeProgress : public CWnd, public CThemeSkinId {
public:
    CThemeProgress();
    ~CThemeProgress() override;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // The built-in look (range, position, percent and unit are kept).
    void ResetSkin();

    void SetPos(int nPos);  // repaints
    int GetPos() const { return m_nPos; }
    void SetRange(int nMin, int nMax);  // no repaint
    void GetRange(int* pMin, int* pMax) const {
        if (pMin) *pMin = m_nMin;
        if (pMax) *pMax = m_nMax;
    }
    void GetRange(int& nMin, int& nMax) const { GetRange(&nMin, &nMax); }
    void SetRangeMin(int nMin) { m_nMin = nMin; }
    void SetRangeMax(int nMax) { m_nMax = nMax; }
    void SetColorChangePercent(double dPercent);  // repaints
    double GetColorChangePercent() const { return m_dChangePercent; }

    void SetFrame(COLORREF clrOutlineLT, COLORREF clrOutlineRB, int nThick, COLORREF clrBack);
    void SetBarColors(COLORREF clrBar1, COLORREF clrBar2, double dPercent);
    void SetBarColors(COLORREF clrBar1Up, COLORREF clrBar1Down, COLORREF clrBar1Outline,
                      COLORREF clrBar2Up, COLORREF clrBar2Down, COLORREF clrBar2Outline,
                      double dPercent);
    void SetGradientColors(BOOL bGradient, COLORREF clrBar1, COLORREF clrBar2);

    void SetBarColor(COLORREF clr);
    void SetBar1Color(COLORREF clr);
    void SetBar2Color(COLORREF clr);
    void SetBar1UpColor(COLORREF clr) { m_bar1[0] = clr; }
    void SetBar1DownColor(COLORREF clr) { m_bar1[1] = clr; }
    void SetBar1OutlineColor(COLORREF clr) { m_bar1[2] = clr; }
    void SetBar2UpColor(COLORREF clr) { m_bar2[0] = clr; }
    void SetBar2DownColor(COLORREF clr) { m_bar2[1] = clr; }
    void SetBar2OutlineColor(COLORREF clr) { m_bar2[2] = clr; }
    void SetBackColor(COLORREF clr) { m_clrBack = clr; }
    void SetOutlineColor(COLORREF clr) {
        m_clrOutlineLT = clr;
        m_clrOutlineRB = clr;
    }
    void SetOutlineLTColor(COLORREF clr) { m_clrOutlineLT = clr; }
    void SetOutlineRBColor(COLORREF clr) { m_clrOutlineRB = clr; }
    void SetOutlineThick(int nThick) { m_nOutlineThick = nThick; }
    void SetFontColor(COLORREF clr) { m_clrFont = clr; }
    void SetShadowColor(COLORREF clr) { m_clrShadow = clr; }
    void SetFontSize(int nSize) { m_nFontSize = nSize; }
    void SetFontBold(BOOL bBold) { m_bBold = bBold; }
    void SetTextUnit(LPCTSTR lpszUnit) { m_strUnit = lpszUnit ? lpszUnit : ""; }
    void SetDrawText(BOOL bDraw) { m_bDrawText = bDraw; }
    void SetGradient(BOOL bGradient) { m_bGradient = bGradient; }
    void SetToolTipText(LPCTSTR lpszText);

    CThemeToolTip& GetToolTip() { return m_toolTip; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    COLORREF m_bar1[3];  // upper half, lower half, outline
    COLORREF m_bar2[3];
    double m_dChangePercent;
    BOOL m_bGradient;
    int m_nOutlineThick;
    COLORREF m_clrOutlineLT;
    COLORREF m_clrOutlineRB;
    COLORREF m_clrBack;
    int m_nMin;
    int m_nMax;
    int m_nPos;
    BOOL m_bDrawText;
    CString m_strUnit;
    int m_nFontSize;
    BOOL m_bBold;
    COLORREF m_clrFont;
    COLORREF m_clrShadow;
    CThemeToolTip m_toolTip;
};
