// The skinned group box: a rounded, outlined colour panel (or an image back)
// with its caption in a band at the top. Draws as the label does; handles no
// mouse button and tells its parent nothing.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeStatic.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"

class CThemeGroup : public CStatic, public CThemeSkinId {
public:
    CThemeGroup();
    ~CThemeGroup() override;

    // A "Static" window with no window text.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // The built-in look: light grey-blue panel, corners rounded by 5, black
    // caption in the band 0-20 from x = 5.
    void SetDefaultSkin();

    // Stores the caption and repaints.
    void SetCaption(LPCTSTR lpszText);
    void SetCaption(CString strText);

    // The setters store only; the look changes at the next repaint.
    void SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom);
    void SetCaptionArea(const CRect& rcArea);
    void SetAlignFormat(UINT nFormat);
    void SetFontColor(COLORREF clr);
    void SetShadowColor(COLORREF clr);
    void SetTextColors(COLORREF clrFont, COLORREF clrShadow);
    void SetFontSize(int nSize);
    void SetFontBold(BOOL bBold);
    void SetColors(int nFontSize, BOOL bBold, COLORREF clrFont, COLORREF clrShadow,
                   UINT nAlignFormat);
    BOOL SetBackImage(LPCTSTR lpszPath);
    BOOL SetBackBitmap(UINT nIDResource);
    void SetBackColor(COLORREF clr);
    void SetEdgeRoundValue(int nValue);
    void SetOutlineThick(int nThick);
    void SetOutlineLTColor(COLORREF clr);
    void SetOutlineRBColor(COLORREF clr);
    void SetOutlineColor(COLORREF clr);
    void SetBackDrawType(int nType);
    void SetBackImageFillType(int nType);
    void SetBackImageAlignFormat(UINT nFormat);
    void SetToolTipText(LPCTSTR lpszText);

    CString GetCaption() const { return m_style.text; }
    CThemeToolTip& GetToolTip() { return m_toolTip; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void DrawCaption(CDC* pDC);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    ThemeTextStyle m_style;
    CThemeToolTip m_toolTip;
};
