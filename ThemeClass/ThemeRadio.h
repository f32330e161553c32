// The skinned radio button: an owner-painted button with its own check
// flag, a drawn or image mark (or, push-like, a pressed look while
// checked), a back per state and a one-line caption. Checking it clears
// the other skinned radios of its dialog group.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeDefs.h"
#include "ThemeClass/ThemeLook.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"

// Sent to a group member to clear its check.
#define WM_SKIN_RADIOUNCHECK 0x0500

class CThemeRadio : public CButton, public CThemeSkinId {
public:
    CThemeRadio();
    ~CThemeRadio() override;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void ResetSkin();

    // Checks (clearing the rest of the group) or clears, then repaints.
    void SetCheck(int nCheck);
    int GetCheck() const { return m_style.checked; }

    void SetText(const CString& strText);
    void SetText(LPCTSTR lpszText);
    void SetToolTipText(LPCTSTR lpszText);
    void SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom);
    void SetAlignFormat(UINT nFormat);
    void SetFontSize(int nSize);
    void SetFontBold(BOOL bBold);
    void SetColors(int nSize, BOOL bBold, COLORREF clrText, COLORREF clrShadow, UINT nAlign);
    void SetTextShadowColors(COLORREF clrText, COLORREF clrShadow);
    void SetTextColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                       COLORREF clrDisabled);
    void SetShadowColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                         COLORREF clrDisabled);
    void SetBackColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                       COLORREF clrDisabled);
    void SetTextHoverColor(COLORREF clr) { m_style.textColors[1] = clr; }
    void SetTextPressedColor(COLORREF clr) { m_style.textColors[2] = clr; }
    void SetTextDisabledColor(COLORREF clr) { m_style.textColors[3] = clr; }
    void SetShadowHoverColor(COLORREF clr) { m_style.shadowColors[1] = clr; }
    void SetShadowPressedColor(COLORREF clr) { m_style.shadowColors[2] = clr; }
    void SetShadowDisabledColor(COLORREF clr) { m_style.shadowColors[3] = clr; }
    void SetOutlineLTColor(COLORREF clr) { m_style.outlineLT = clr; }
    void SetOutlineRBColor(COLORREF clr) { m_style.outlineRB = clr; }
    void SetOutlineColor(COLORREF clr);
    void SetOutlineThick(int nThick) { m_style.outlineThick = nThick; }
    void SetEdgeRoundValue(int nValue) { m_style.roundValue = nValue; }
    void SetBackDrawType(int nType) { m_style.backDrawType = nType; }
    void SetBackImageFillType(int nType) { m_style.imageFillType = nType; }
    void SetBackImageAlignFormat(UINT nFormat) { m_style.imageAlignFormat = nFormat; }
    // 1 to 4 frames; other counts are ignored.
    void SetBackImageBlockCount(int nCount);
    BOOL SetBackImage(LPCTSTR lpszPath);
    BOOL SetBackBitmap(UINT nIDResource);
    // Two frames side by side: unchecked, checked. Mark size = image height.
    BOOL SetMarkImage(LPCTSTR lpszPath);
    BOOL SetMarkBitmap(UINT nIDResource);
    // 0 none (and push-like), 1 drawn circle, 2 image.
    void SetMarkDrawType(int nType);
    void SetPushLike(BOOL bPushLike) { m_style.pushLike = bPushLike; }
    void SetMarkColor(COLORREF clr) { m_style.markColor = clr; }

    int GetState() const { return m_style.state; }
    BOOL IsPushLike() const { return m_style.pushLike; }
    int GetFrameCount() const { return m_style.blockCount; }
    const int* GetFrameMap() const { return m_style.frameMap; }
    COLORREF GetTextColor(int state) const { return m_style.textColors[state & 3]; }
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
    afx_msg LRESULT OnRadioUncheck(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    struct ThemeStyle {
        CString text;
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
        int blockCount = 4;
        int frameMap[4] = {0, 1, 2, 3};
        COLORREF backColors[4] = {};
        COLORREF outlineLT = 0;
        COLORREF outlineRB = 0;
        int outlineThick = 0;
        int roundValue = 0;
        int state = 0;
        BOOL held = FALSE;
        BOOL hover = FALSE;
        BOOL checked = FALSE;
        BOOL pushLike = FALSE;
        int markDrawType = 1;
        COLORREF markColor = 0;
        CBitmap markImage;
        int markSize = 13;
    };

    void Refresh();
    void UncheckGroup();
    void DrawBack(CDC* pDC, const CRect& rc);
    void DrawMark(CDC* pDC, const CRect& rc);
    void DrawCaption(CDC* pDC, const CRect& rc);

    ThemeStyle m_style;
    CThemeToolTip m_toolTip;
};
