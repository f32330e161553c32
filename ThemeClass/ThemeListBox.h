// The skinned single-selection list box: a plain window that paints its rows
// itself and keeps its strings in a hidden standard list box (id 1001)
// whose vertical scroll bar, in a 17-pixel strip at the right edge, is the
// only part of it the user sees. It reports to a notify window with the
// standard list-box codes. The skinned combo box creates one as a popup for
// its drop-down list.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeListRows.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"

// The block of NotifyWnd.
struct ListBoxNotify {
    NMHDR hdr;
    int value1;
    int value2;
};

class CThemeListBox : public CWnd, public CThemeSkinId {
public:
    static constexpr UINT kInnerId = 1001;

    CThemeListBox();
    ~CThemeListBox() override;

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                CCreateContext* pContext = nullptr);
    // Set by an owner before Create: the list becomes a popup window
    // positioned in screen coordinates.
    void SetPopup(BOOL bPopup) { m_bPopup = bPopup; }
    void SetNotifyWnd(CWnd* pWnd) { m_hNotifyWnd = pWnd ? pWnd->GetSafeHwnd() : nullptr; }
    void SetDefaultSkin();

    // Items
    int AddString(LPCTSTR lpszItem);
    int AddString(LPCTSTR lpszItem, DWORD_PTR dwData);
    int InsertString(int nIndex, LPCTSTR lpszItem);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetCount() const;
    int GetText(int nIndex, LPTSTR lpszBuffer) const;
    void GetText(int nIndex, CString& rString) const;
    int SelectString(int nStartAfter, LPCTSTR lpszItem);
    // Selects a row in range (and scrolls it into view); -1 and no change
    // otherwise.
    int SetCurSel(int nSelect);
    int GetCurSel() const { return m_nSelection; }
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemDataAndRedraw(int nIndex, DWORD_PTR dwData);
    int GetItemHeight(int nIndex) const;
    int GetTopIndex() const;
    void UpdateScrollBar();
    // 1 to 255 makes the window layered with that alpha; 0 does nothing.
    void SetTransparent(BYTE nAlpha);
    void SetToolTipText(LPCTSTR lpszText);
    // WM_NOTIFY with a block of five fields (window, id, code, value1,
    // value2) to the notify window.
    LRESULT NotifyWnd(int nValue1, int nValue2, int nCode);

    // Skin setters
    void SetFontSize(int nSize) { m_nFontSize = nSize; }
    void SetAlignFormat(UINT nFormat) { m_nAlignFormat = nFormat; }
    void SetFontBold(BOOL bBold) { m_bFontBold = bBold; }
    void SetFontColor(COLORREF clr) { m_colors.state1 = m_colors.state2 = m_colors.state3 = clr; }
    void SetFontState1Color(COLORREF clr) { m_colors.state1 = clr; }
    void SetFontState2Color(COLORREF clr) { m_colors.state2 = clr; }
    void SetFontState3Color(COLORREF clr) { m_colors.state3 = clr; }
    void SetSelectFontColor(COLORREF clr) { m_colors.selectText = clr; }
    void SetSelectBackColor(COLORREF clr) { m_colors.selectBack = clr; }
    void SetNormalBackColor(COLORREF clr) { m_colors.back1 = m_colors.back2 = clr; }
    void SetNormal1BackColor(COLORREF clr) { m_colors.back1 = clr; }
    void SetNormal2BackColor(COLORREF clr) { m_colors.back2 = clr; }
    void SetFrameColor(COLORREF clr) { m_clrFrame = clr; }
    void SetBackColor(COLORREF clr) { m_clrBack = clr; }
    void SetOutlineColor(COLORREF clr) { m_clrOutlineLT = m_clrOutlineRB = clr; }
    void SetOutlineLTColor(COLORREF clr) { m_clrOutlineLT = clr; }
    void SetOutlineRBColor(COLORREF clr) { m_clrOutlineRB = clr; }
    void SetOutlineThick(int nThick) { m_nOutlineThick = nThick; }
    void SetLeftGap(int nGap) { m_nLeftGap = nGap; }
    void SetRightGap(int nGap) { m_nRightGap = nGap; }
    void SetVScroll(BOOL bShow);
    void SetItemHeight(int nHeight);
    void SetSelectColors(COLORREF clrFont, COLORREF clrBack);
    void SetNormalBackColors(COLORREF clrBack1, COLORREF clrBack2);
    void SetOutlineColors(COLORREF clrLT, COLORREF clrRB);
    void SetOutline(COLORREF clrLT, COLORREF clrRB, int nThick);
    void SetOutlineFrame(COLORREF clrLT, COLORREF clrRB, int nThick, COLORREF clrFrame,
                         COLORREF clrBack);
    void SetGaps(int nLeft, int nRight);
    void SetFontColors(COLORREF clrState1, COLORREF clrState2, COLORREF clrState3);
    void SetTextColors(COLORREF clrState1, COLORREF clrState2, COLORREF clrState3,
                       COLORREF clrBack1, COLORREF clrBack2);
    void SetNormalFontColor(COLORREF clr) { m_colors.state1 = clr; }

    CListBox* GetInnerList() const { return m_pInner; }
    BOOL IsStripShown() const;
    CThemeToolTip& GetToolTip() { return m_toolTip; }

    // The tool tip's relay, then the inner list's scroll posts (focus and
    // a repaint from the new top row).
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnInnerErrSpace();
    afx_msg void OnInnerSelCancel();
    DECLARE_MESSAGE_MAP()

private:
    skin::Rect ClientRect() const;
    skin::Rect RowArea() const;
    int ItemHeight() const;
    void LayoutInner();
    void PaintItems(CDC* pDC);
    void SendCommand(UINT nCode, HWND hWndParam);
    BOOL NotifyTargetAlive() const;

    CListBox* m_pInner = nullptr;
    int m_nFontSize = 12;
    UINT m_nAlignFormat = 5;
    BOOL m_bFontBold = FALSE;
    skin::ListBoxColors m_colors;
    int m_nSelection = -1;
    COLORREF m_clrFrame = 0xC8C8C8;
    int m_nItemHeight = 16;
    int m_nLeftGap = 2;
    int m_nRightGap = 2;
    int m_nOutlineThick = 1;
    COLORREF m_clrOutlineLT = 0xA47B4E;
    COLORREF m_clrOutlineRB = 0xC8C3C0;
    COLORREF m_clrBack = 0xE1EAE7;
    BOOL m_bVScroll = TRUE;
    BOOL m_bPopup = FALSE;
    HWND m_hNotifyWnd = nullptr;  // a handle: the object behind it may go first
    UINT m_nCtrlId = 0;
    CThemeToolTip m_toolTip;
};
