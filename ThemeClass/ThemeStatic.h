// The skinned label: an optional colour or image back and one or more lines
// of text in the skin font with an optional one-pixel shadow; tells its
// parent when the left button goes down or up on it.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeDefs.h"
#include "ThemeClass/ThemeLook.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"

// The property block shared by the label and the group box: same fields,
// names and skin keys.
struct ThemeTextStyle {
    CString text;
    CRect captionArea;
    UINT alignFormat = 4;
    int fontSize = 12;
    BOOL bold = FALSE;
    COLORREF fontColor = 0x450308;
    COLORREF shadowColor = 0xFF00FF;
    int backDrawType = 0;
    CBitmap backImage;
    int backImageFillType = 0;
    UINT backImageAlignFormat = 4;
    COLORREF backColor = 0xFFC040;
    COLORREF outlineLT = 0x808080;
    COLORREF outlineRB = 0x000000;
    int outlineThick = 1;
    int edgeRoundValue = 0;
};

// Painting shared by the label and the group box: the back by type, then
// the text lines.
void PaintThemeText(CWnd* pWnd, CDC* pDC, ThemeTextStyle& style);
// The text lines alone (the label's DrawText, the group box's DrawCaption).
void DrawThemeTextLines(CWnd* pWnd, CDC* pDC, const ThemeTextStyle& style);
// Back image from a file or a bitmap resource: type 2 when it loads, else 0.
BOOL LoadThemeBackImage(ThemeTextStyle& style, LPCTSTR lpszPath);
BOOL LoadThemeBackBitmap(ThemeTextStyle& style, UINT nIDResource);
// Invalidates, with erase, the parent's area under the window.
void InvalidateParentUnder(CWnd* pWnd);

class CThemeStatic : public CWnd, public CThemeSkinId {
public:
    CThemeStatic();
    ~CThemeStatic() override;

    // A child of the default window class with no window text.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // The built-in look; the text is kept.
    void ResetSkin();

    // Stores the text and repaints (a label without a back first has its
    // parent repaint the area, so the old text goes).
    void SetText(LPCTSTR lpszText);
    void SetText(CString strText);

    void SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom);
    void SetCaptionArea(const CRect& rcArea);
    void SetAlignFormat(UINT nFormat);
    void SetFontColor(COLORREF clr);  // repaints
    void SetShadowColor(COLORREF clr);
    void SetTextColors(COLORREF clrFont, COLORREF clrShadow);  // repaints
    void SetFontSize(int nSize);
    void SetFontBold(BOOL bBold);
    void SetColors(int nFontSize, BOOL bBold, COLORREF clrFont, COLORREF clrShadow,
                   UINT nAlignFormat);
    BOOL SetBackImage(LPCTSTR lpszPath);
    BOOL SetBackBitmap(UINT nIDResource);
    void SetBackColor(COLORREF clr);
    void SetBackDrawType(int nType);
    void SetBackImageFillType(int nType);
    void SetBackImageAlignFormat(UINT nFormat);
    void SetEdgeRoundValue(int nValue);
    void SetOutlineThick(int nThick);
    void SetOutlineLTColor(COLORREF clr);
    void SetOutlineRBColor(COLORREF clr);
    void SetOutlineColor(COLORREF clr);
    void SetToolTipText(LPCTSTR lpszText);

    // Invalidates, with erase, the parent's area under the label.
    void InvalidateBack();

    CString GetText() const { return m_style.text; }
    int GetBackDrawType() const { return m_style.backDrawType; }
    CThemeToolTip& GetToolTip() { return m_toolTip; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // The text lines into the DC.
    void DrawText(CDC* pDC);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    // Invalidates the label; without a back, the parent's area under it
    // first.
    void Repaint();

    ThemeTextStyle m_style;
    CThemeToolTip m_toolTip;
};
