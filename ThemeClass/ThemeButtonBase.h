// What the skinned push button, check box and radio button share: their
// property block (caption, colours per state, back colours or image strip,
// outline) with its setters, hover and press tracking, the tool tip, and
// the painting of the back. CThemeMarkButton adds the check state and the
// mark of the check box and the radio button.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeDefs.h"
#include "ThemeClass/ThemeLook.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"

class CThemeButtonBase : public CButton, public CThemeSkinId {
public:
    ~CThemeButtonBase() override;

    // Creates the button with no window text.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Caption properties; they only store.
    void SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom);
    void SetCaptionArea(const CRect& rcArea) { m_style.captionArea = rcArea; }
    void SetAlignFormat(UINT nFormat) { m_style.alignFormat = nFormat; }
    void SetFontSize(int nSize) { m_style.fontSize = nSize; }
    void SetFontBold(BOOL bBold) { m_style.bold = bBold; }
    // Four states; 0xFF00FF in hover, pressed or disabled means normal.
    void SetTextColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                       COLORREF clrDisabled);
    void SetTextHoverColor(COLORREF clr) { m_style.textColors[skin::kStateHover] = clr; }
    void SetTextPressedColor(COLORREF clr) { m_style.textColors[skin::kStatePressed] = clr; }
    void SetTextDisabledColor(COLORREF clr) { m_style.textColors[skin::kStateDisabled] = clr; }
    // Four states, the same rule; 0xFF00FF as normal means no shadow.
    void SetShadowColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                         COLORREF clrDisabled);
    void SetShadowHoverColor(COLORREF clr) { m_style.shadowColors[skin::kStateHover] = clr; }
    void SetShadowPressedColor(COLORREF clr) { m_style.shadowColors[skin::kStatePressed] = clr; }
    void SetShadowDisabledColor(COLORREF clr) { m_style.shadowColors[skin::kStateDisabled] = clr; }
    // One text and one shadow colour for all four states.
    void SetTextShadowColor(COLORREF clrText, COLORREF clrShadow);
    void SetCaptionStyle(int nFontSize, BOOL bBold, COLORREF clrText, COLORREF clrShadow,
                         UINT nAlignFormat);

    // Back colours per state, the same rule; back type 1.
    void SetBackColors(COLORREF clrNormal, COLORREF clrHover, COLORREF clrPressed,
                       COLORREF clrDisabled);
    void SetBackDrawType(int nType) { m_style.backDrawType = nType; }
    // Back image strip from a file or a bitmap resource: back type 2 when it
    // loads, 0 (no back) when it does not. They do not repaint.
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

    BOOL IsHover() const { return m_style.hover; }
    int GetState() const { return m_style.state; }
    CString GetText() const { return m_style.caption; }
    int GetBackDrawType() const { return m_style.backDrawType; }
    int GetFrameCount() const { return m_style.frameCount; }
    const int* GetFrameMap() const { return m_style.frameMap; }
    COLORREF GetTextColor(int state) const { return m_style.textColors[state & 3]; }
    COLORREF GetBackColor(int state) const { return m_style.backColors[state & 3]; }
    CThemeToolTip& GetToolTip() { return m_toolTip; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    // The built-in values in which the kinds of button differ.
    struct Look {
        UINT alignFormat;
        COLORREF textColors[4];
        COLORREF backColors[4];
        COLORREF outlineLT;
        COLORREF outlineRB;
        int outlineThick;
    };
    static const Look kPushLook;
    static const Look kOptionLook;

    // The property block.
    struct ThemeStyle {
        CString caption;
        CRect captionArea;
        UINT alignFormat = 5;
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
        BOOL pressed = FALSE;  // the left button is down over the button
        BOOL hover = FALSE;
    };

    CThemeButtonBase() = default;

    // Every property back to the built-in look (frees a held back image);
    // the caption is kept.
    void ResetLook(const Look& look);
    // Repaints; with no back of its own the parent first repaints the area
    // behind it.
    void Redraw();
    // The face after the state has been brought in line with the enabled
    // flag.
    virtual void PaintFace(CDC* pDC, const CRect& rcClient) = 0;
    // The back in the state's colours or strip frame. pushedIn: a checked
    // push-like button, drawn sunken in the pressed colour; imageState: the
    // state whose strip frame is drawn.
    void DrawBack(CDC* pDC, const CRect& rc, bool pushedIn, int imageState);
    // One caption (or caption line) in the state's colours: the shadow one
    // pixel right and down first, when the state has one.
    void DrawCaptionText(CDC* pDC, LPCTSTR lpszText, const skin::Rect& rc, int state);

    skin::ButtonTracker Tracker() const;
    void SetTracker(const skin::ButtonTracker& t);
    // The left button going down and up over the button: state and repaint.
    void Press();
    void Release();

    void PreSubclassWindow() override;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseHover(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    ThemeStyle m_style;
    CThemeToolTip m_toolTip;
};

// A button with a check state of its own and a mark beside its caption
// (drawn, or a two-frame image: unchecked, checked); push-like, it has no
// mark and looks pressed while checked.
class CThemeMarkButton : public CThemeButtonBase {
public:
    // Caption; stored only, no repaint.
    void SetText(const CString& strText) { m_style.caption = strText; }
    void SetText(LPCTSTR lpszText) { m_style.caption = lpszText ? lpszText : ""; }
    int GetCheck() const { return m_mark.checked; }

    void SetPushLike(BOOL bPushLike) { m_mark.pushLike = bPushLike; }
    // 0 none (and push-like from then on), 1 drawn, 2 image.
    void SetMarkDrawType(int nType);
    void SetMarkColor(COLORREF clr) { m_mark.color = clr; }

    BOOL IsPushLike() const { return m_mark.pushLike; }
    int GetMarkDrawType() const { return m_mark.drawType; }
    int GetMarkSize() const { return m_mark.size; }

protected:
    struct Mark {
        BOOL checked = FALSE;
        BOOL pushLike = FALSE;
        int drawType = 1;
        COLORREF color = 0;
        CBitmap image;
        int size = 12;
    };

    CThemeMarkButton() = default;

    // The mark back to drawn, not push-like, in this colour and size (frees
    // a held mark image); the check state is kept.
    void ResetMark(COLORREF color, int size);
    // Takes a loaded mark image: mark type 2, its height the mark size.
    // FALSE, with the mark as it was, when there is none.
    BOOL TakeMarkImage(HBITMAP hBitmap);
    BOOL PushedIn() const { return m_mark.pushLike && m_mark.checked; }
    skin::Rect MarkRect(const CRect& rcClient) const;
    // The mark image's half of the check state, blitted colour-keyed at the
    // mark's top-left, dstHeight high.
    void DrawMarkImage(CDC* pDC, const skin::Rect& mark, int dstHeight);
    // The one-line caption beside the mark, in the given state.
    void DrawMarkCaption(CDC* pDC, const CRect& rcClient, int state);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    Mark m_mark;
};
