// The skinned push button: an owner-drawn button that paints a colour back
// with an outline or a frame of a face image strip, a caption of one or
// more lines with an optional shadow, follows hover and press itself, posts
// WM_SKIN_* mouse messages to its parent and can drop an attached menu
// down under itself.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeDefs.h"
#include "ThemeClass/ThemeLook.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"

class CThemeMenu;

class CThemeButton : public CButton, public CThemeSkinId {
public:
    CThemeButton();
    ~CThemeButton() override;

    // Creates the button with no window text.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // The built-in look (frees a held face image).
    void ResetStyle();

    // Caption; SetText repaints, the others only store.
    void SetText(const CString& strText);
    void SetText(LPCTSTR lpszText);
    void SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom);
    void SetCaptionArea(const CRect& rcArea);
    void SetAlignFormat(UINT nFormat);
    void SetFontSize(int nSize);
    void SetFontBold(BOOL bBold);
    // Four states; 0xFF00FF in hover, pressed or disabled means normal.
    void SetTextColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                       COLORREF clrDisabled);
    void SetTextHoverColor(COLORREF clr);
    void SetTextPressedColor(COLORREF clr);
    void SetTextDisabledColor(COLORREF clr);
    // Four states; 0xFF00FF as normal means no shadow.
    void SetShadowColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                         COLORREF clrDisabled);
    void SetShadowHoverColor(COLORREF clr);
    void SetShadowPressedColor(COLORREF clr);
    void SetShadowDisabledColor(COLORREF clr);
    void SetTextShadowColor(COLORREF clrText, COLORREF clrShadow);
    void SetCaptionStyle(int nFontSize, BOOL bBold, COLORREF clrText, COLORREF clrShadow,
                         UINT nAlignFormat);

    // Back.
    void SetBackColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                       COLORREF clrDisabled);
    void SetBackDrawType(int nType);
    // Face image strip from a file or a bitmap resource; back type 2 when it
    // loads, 0 (caption only) when it does not. Both repaint.
    BOOL SetImageFile(LPCTSTR lpszPath);
    BOOL SetBitmap(UINT nIDResource);
    void SetBackImageFillType(int nType);
    void SetBackImageAlignFormat(UINT nFormat);
    // 1 to 4 frames in the strip; other counts are ignored.
    void SetFrameCount(int nCount);
    void SetOutlineColor(COLORREF clr);
    void SetOutlineLTColor(COLORREF clr);
    void SetOutlineRBColor(COLORREF clr);
    void SetOutlineThick(int nThick);
    void SetEdgeRoundValue(int nValue);

    void SetToolTipText(LPCTSTR lpszText);
    // Attaches a popup menu (nullptr detaches); the button never deletes it.
    void SetMenu(CThemeMenu* pMenu);

    BOOL IsHover() const { return m_style.hover; }
    int GetState() const { return m_style.state; }
    CString GetText() const { return m_style.caption; }
    int GetBackDrawType() const { return m_style.backDrawType; }
    CThemeToolTip& GetToolTip() { return m_toolTip; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void PreSubclassWindow() override;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseHover(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    // The button's property block.
    struct ThemeStyle {
        CString caption;
        CRect captionArea;
        UINT alignFormat = 5;
        int fontSize = 12;
        BOOL bold = FALSE;
        COLORREF textColors[4] = {};
        COLORREF shadowColors[4] = {};
        int backDrawType = 1;
        CBitmap faceImage;
        int imageFillType = 0;
        UINT imageAlignFormat = 5;
        int frameCount = 4;
        int frameMap[4] = {0, 1, 2, 3};
        COLORREF backColors[4] = {};
        COLORREF outlineLT = 0;
        COLORREF outlineRB = 0;
        int outlineThick = 2;
        int cornerValue = 0;
        int state = 0;
        BOOL pressed = FALSE;
        BOOL hover = FALSE;
        CThemeMenu* menu = nullptr;
    };

    void Redraw();
    void PostToParent(UINT message, CPoint point);
    void DrawBack(CDC* pDC, const CRect& rcClient);
    void DrawCaption(CDC* pDC, const CRect& rcClient);
    void SetTracker(const skin::ButtonTracker& t);
    skin::ButtonTracker Tracker() const;

    ThemeStyle m_style;
    CThemeToolTip m_toolTip;
};
