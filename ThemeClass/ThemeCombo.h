// The skinned drop-down combo box: a plain window that draws its own strip
// and owns three skinned children, the edit part (id 1002), the drop button
// (id 1003) and a skinned list box (id 1004) created as a popup and shown
// under (or above) the strip while dropped. Toward its owner it behaves as
// a combo box: a selection copies the item's text into the edit part and
// sends CBN_SELCHANGE.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeComboRules.h"
#include "ThemeClass/ThemeEdit.h"
#include "ThemeClass/ThemeListBox.h"
#include "ThemeClass/ThemeSkinId.h"

class CThemeCombo : public CWnd, public CThemeSkinId {
public:
    static constexpr UINT kEditId = 1002;
    static constexpr UINT kButtonId = 1003;
    static constexpr UINT kListId = 1004;

    CThemeCombo();
    ~CThemeCombo() override;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);
    // Stores the built-in skin (and resets the drop button's own style);
    // nothing is pushed to the children.
    void SetDefaultSkin();

    // Items (the drop list's)
    int AddString(LPCTSTR lpszString);
    int InsertString(int nIndex, LPCTSTR lpszString);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    // Selects through the list, then copies the text, closes the list and
    // sends CBN_SELCHANGE before it returns. Returns the list's result.
    int SetCurSel(int nSelect);
    int GetLBText(int nIndex, LPTSTR lpszText) const;
    void GetLBText(int nIndex, CString& rString) const;
    int SetItemData(int nIndex, DWORD_PTR dwItemData);

    // Edit part
    void SetText(LPCTSTR lpszText);
    void GetText(CString& rString) const;
    void SetEditSel(int nStart, int nEnd);
    void SetEditFocus(BOOL bFocus);
    void SetEditFont(CFont* pFont);
    void ModifyEditStyle(DWORD dwRemove, DWORD dwAdd);
    void SetToolTipText(LPCTSTR lpszText);
    void SetTool(LPCTSTR lpszText);
    void UpdateTool(LPCTSTR lpszText);
    void DelTool();

    // WM_COMMAND (own id, code) to the owner; 0 without windows.
    LRESULT SendNotify(int nValue1, int nValue2, UINT nCode);
    LRESULT NotifyDblClk() { return SendNotify(0, 0, CBN_DBLCLK); }

    // Skin
    void SetBackColor(COLORREF clr);
    void SetOutlineColor(COLORREF clr);
    void SetOutlineLTColor(COLORREF clr);
    void SetOutlineRBColor(COLORREF clr);
    void SetFontColor(COLORREF clr);
    void SetSelectFontColor(COLORREF clr);
    void SetSelectBackColor(COLORREF clr);
    void SetNormalBackColor(COLORREF clr);
    void SetNormal1BackColor(COLORREF clr);
    void SetNormal2BackColor(COLORREF clr);
    void SetFrameColor(COLORREF clr);
    void SetFontSize(int nSize);
    void SetAlignFormat(UINT nFormat);
    void SetFontBold(BOOL bBold);
    void SetItemHeight(int nHeight);
    void SetLeftGap(int nGap);
    void SetRightGap(int nGap);
    void SetOutlineThick(int nThick);
    void SetListBoxHeight(int nHeight) { m_nListHeight = nHeight; }
    void SetNormalBackColors(COLORREF clr1, COLORREF clr2);
    void SetOutlineColors(COLORREF clrLT, COLORREF clrRB);
    void SetOutline(COLORREF clrLT, COLORREF clrRB, int nThick);
    void SetOutlineAndFrame(COLORREF clrLT, COLORREF clrRB, int nThick, COLORREF clrFrame);
    void SetTextStyle(COLORREF clrText, COLORREF clrBack, int nFontSize, BOOL bBold);
    void SetTextStyle(COLORREF clrText, COLORREF clrBack, int nFontSize, BOOL bBold, UINT nAlign);
    void SetSelectColors(COLORREF clrText, COLORREF clrBack);
    void SetTransparent(BYTE nAlpha);

    // Drop-button face: a strip of 1 to 4 frames from a file or a bitmap
    // resource. The loaders return 0 and change nothing on failure.
    BOOL SetButtonImage(LPCTSTR lpszPath);
    BOOL SetButtonBitmap(UINT nIDResource);
    // Counts outside 1 to 4 are ignored.
    void SetButtonFrameCount(int nCount);
    void SizeButtonToImage();

    void RecalcLayout();
    void FitHeightToStrip();
    CRect GetStripRect() const;
    // Screen coordinates.
    CRect GetDropRect() const;
    void ShowDropList();
    void HideDropList();

    CThemeListBox* GetListBox() const { return m_pListBox; }
    CThemeButton* GetButton() const { return m_pButton; }
    CThemeEdit* GetEdit() const { return m_pEdit; }
    int GetListBoxHeight() const { return m_nListHeight; }
    int GetStripHeight() const { return m_nStripHeight; }
    int GetButtonWidth() const { return m_nButtonWidth; }
    int GetButtonFrameCount() const { return m_nButtonFrames; }
    BOOL IsDropped() const;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    afx_msg void OnListSelChange();
    afx_msg void OnListKillFocus();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDropButton();
    DECLARE_MESSAGE_MAP()

private:
    void CreateChildren(DWORD dwStyle);
    void ApplyEditStyle();
    void RunSelection();
    void DeleteChildren();
    void CloseList(HWND hWndFocusTo);
    skin::ComboDropState DropState() const;

    CThemeListBox* m_pListBox = nullptr;
    CThemeButton* m_pButton = nullptr;
    CThemeEdit* m_pEdit = nullptr;

    int m_nFontSize = 12;
    BOOL m_bBold = FALSE;
    COLORREF m_clrText = 0x000000;
    int m_nOutlineThick = 1;
    COLORREF m_clrOutlineLT = 0xA47B4E;
    COLORREF m_clrOutlineRB = 0xC8C3C0;
    COLORREF m_clrBack = 0xFFFFFF;
    COLORREF m_clrFrame = 0xC8C8C8;
    UINT m_nAlign = 5;
    int m_nButtonWidth = 21;
    int m_nStripHeight = 20;
    int m_nListHeight = 49;

    // The drop-button face.
    UINT m_nButtonBitmap = 0;
    CString m_strButtonImage;
    int m_nButtonFrames = 4;
    int m_nButtonReserved = 0;

    BOOL m_bDropTimer = FALSE;
    HWND m_hListFocusTo = nullptr;  // where the list's focus went
};
