// The skinned check box: an owner-drawn button with a check state of its
// own, painted as a back (colours or a frame of an image strip), a mark
// (drawn V or a two-frame image) and a caption; push-like, it is drawn as a
// button whose checked look is the pressed look. A left click that starts
// on it and ends over it toggles it. It posts nothing of its own to the
// parent.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeDefs.h"
#include "ThemeClass/ThemeLook.h"
#include "ThemeClass/ThemeMark.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"

class CThemeCheck : public CButton, public CThemeSkinId {
public:
    CThemeCheck();
    ~CThemeCheck() override;

    // Creates the button with no window text.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // The built-in look (frees held images); the check state is kept.
    void ResetStyle();

    // Check state; SetCheck repaints. BM_GETCHECK and BM_SETCHECK answer
    // from the same state, so dialog helpers agree with it.
    void SetCheck(int nCheck);
    int GetCheck() const { return m_style.checked; }

    // Caption; stored only, no repaint.
    void SetText(const CString& strText);
    void SetText(LPCTSTR lpszText);
    void SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom);
    void SetCaptionArea(const CRect& rcArea);
    void SetAlignFormat(UINT nFormat) { m_style.alignFormat = nFormat; }
    void SetFontSize(int nSize) { m_style.fontSize = nSize; }
    void SetFontBold(BOOL bBold) { m_style.bold = bBold; }
    // Four states; 0xFF00FF in hover, pressed or disabled means normal.
    void SetTextColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                       COLORREF clrDisabled);
    void SetTextHoverColor(COLORREF clr) { m_style.textColors[1] = clr; }
    void SetTextPressedColor(COLORREF clr) { m_style.textColors[2] = clr; }
    void SetTextDisabledColor(COLORREF clr) { m_style.textColors[3] = clr; }
    // Four states; 0xFF00FF means no shadow.
    void SetShadowColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                         COLORREF clrDisabled);
    void SetShadowHoverColor(COLORREF clr) { m_style.shadowColors[1] = clr; }
    void SetShadowPressedColor(COLORREF clr) { m_style.shadowColors[2] = clr; }
    void SetShadowDisabledColor(COLORREF clr) { m_style.shadowColors[3] = clr; }
    void SetTextShadowColor(COLORREF clrText, COLORREF clrShadow);
    void SetCaptionStyle(int nFontSize, BOOL bBold, COLORREF clrText, COLORREF clrShadow,
                         UINT nAlignFormat);

    // Back.
    void SetBackColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                       COLORREF clrDisabled);
    void SetBackDrawType(int nType) { m_style.backDrawType = nType; }
    // Back image strip; back type 2 when it loads, 0 when it does not. No
    // repaint.
    BOOL SetImageFile(LPCTSTR lpszPath);
    BOOL SetBitmap(UINT nIDResource);
    void SetBackImageFillType(int nType) { m_style.imageFillType = nType; }
    void SetBackImageAlignFormat(UINT nFormat) { m_style.imageAlignFormat = nFormat; }
    // 1 to 4 frames in the strip; other counts are ignored.
    void SetFrameCount(int nCount);
    void SetOutlineColor(COLORREF clr);
    void SetOutlineLTColor(COLORREF clr) { m_style.outlineLT = clr; }
    void SetOutlineRBColor(COLORREF clr) { m_style.outlineRB = clr; }
    void SetOutlineThick(int nThick) { m_style.outlineThick = nThick; }
    void SetEdgeRoundValue(int nValue) { m_style.cornerValue = nValue; }
    void SetToolTipText(LPCTSTR lpszText);

    // Mark.
    void SetPushLike(BOOL bPushLike) { m_style.pushLike = bPushLike; }
    // 0 none (and push-like from then on), 1 drawn V, 2 image.
    void SetMarkDrawType(int nType);
    void SetMarkColor(COLORREF clr) { m_style.markColor = clr; }
    // Two frames side by side: unchecked, checked. On success the mark is
    // drawn from it and its height is the mark size; a failed load leaves
    // the mark as it was.
    BOOL SetMarkImageFile(LPCTSTR lpszPath);
    BOOL SetMarkBitmap(UINT nIDResource);

    int GetState() const { return m_style.state; }
    BOOL IsPushLike() const { return m_style.pushLike; }
    int GetMarkDrawType() const { return m_style.markDrawType; }
    int GetMarkSize() const { return m_style.markSize; }
    int GetBackDrawType() const { return m_style.backDrawType; }
    int GetFrameCount() const { return m_style.frameCount; }
    COLORREF GetTextColor(int state) const { return m_style.textColors[state & 3]; }
    COLORREF GetBackColor(int state) const { return m_style.backColors[state & 3]; }
    CString GetText() const { return m_style.caption; }
    CThemeToolTip& GetToolTip() { return m_toolTip; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void PreSubclassWindow() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

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
    afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The check box's property block: the push button's fields, then the
    // check and the mark.
    struct ThemeStyle {
        CString caption;
        CRect captionArea;
        UINT alignFormat = 4;
        int fontSize = 12;
        BOOL bold = FALSE;
        COLORREF textColors[4] = {};
        COLORREF shadowColors[4] = {};
        int backDrawType = 1;
        CBitmap backImage;
        int imageFillType = 0;
        UINT imageAlignFormat = 5;
        int frameCount = 4;
        int frameMap[4] = {0, 1, 2, 3};
        COLORREF backColors[4] = {};
        COLORREF outlineLT = 0;
        COLORREF outlineRB = 0;
        int outlineThick = 0;
        int cornerValue = 0;
        int state = 0;
        BOOL pressed = FALSE;
        BOOL hover = FALSE;
        BOOL armed = FALSE;  // the left button went down on the box
        BOOL checked = FALSE;
        BOOL pushLike = FALSE;
        int markDrawType = 1;
        COLORREF markColor = 0;
        CBitmap markImage;
        int markSize = 12;
    };

    void Redraw();
    void DrawBack(CDC* pDC, const CRect& rc);
    void DrawMark(CDC* pDC, const CRect& rc);
    void DrawCaption(CDC* pDC, const CRect& rc);
    BOOL TakeMarkImage(HBITMAP hBitmap);
    skin::CheckTracker Tracker() const;
    void SetTracker(const skin::CheckTracker& t);

    ThemeStyle m_style;
    CThemeToolTip m_toolTip;
};
