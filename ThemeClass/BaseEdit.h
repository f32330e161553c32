// A single-line edit with a tool tip, in two roles. Made with the plain
// constructor it is the inner edit of the skinned edit box, which creates
// its window. Made with the in-place constructor (by `new`) it is a cell
// editor that opens itself over a rectangle of its parent, takes the
// focus, lets the starting key act, grows with its text and, at its first
// loss of focus, sends its parent one GRID_ENDEDIT notification, closes
// and deletes itself.
//
// Tab and Return end an edit (the focus goes to the parent); Escape first
// puts the initial text back (empty for an inner edit).
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeGridItem.h"
#include "ThemeClass/ThemeToolTip.h"

class CBaseEdit : public CEdit {
public:
    CBaseEdit();
    // The in-place editor. The window is the style plus WS_CHILD,
    // WS_VISIBLE, WS_BORDER and ES_AUTOHSCROLL over rect; firstKey is the
    // key that started the edit (1 for a click). When the window cannot be
    // made the object stays without one and the creator deletes it.
    CBaseEdit(CWnd* pParent, const CRect& rect, DWORD dwStyle, UINT nID, int nRow, int nColumn,
              const CString& strInitText, UINT nFirstKey);
    ~CBaseEdit() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void SetToolTipText(LPCTSTR lpszText);
    CThemeToolTip& GetToolTip() { return m_toolTip; }

    BOOL IsInPlace() const { return m_bInPlace != 0; }
    int GetRow() const { return m_nRow; }
    int GetColumn() const { return m_nColumn; }
    UINT GetLastKey() const { return m_nLastKey; }
    // The window that took the focus at the last loss of it (null when it
    // left the thread's windows); valid while EN_KILLFOCUS is handled.
    HWND GetFocusSuccessor() const { return m_hWndFocusSuccessor; }

protected:
    void PostNcDestroy() override;

    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    // Ends the edit: the key that ended it and the focus to the parent.
    void EndWithKey(UINT nKey);
    void GrowToText();
    void SendEndEdit();

    int m_bInPlace;
    CThemeToolTip m_toolTip;
    CString m_strInitText;
    int m_nRow;
    int m_nColumn;
    UINT m_nLastKey;
    int m_bArrowsEndEdit;
    CRect m_rect;
    HWND m_hWndOwner;  // the parent the in-place editor reports to
    HWND m_hWndFocusSuccessor;
    BOOL m_bEnded;         // the one end-of-edit notification has gone out
    BOOL m_bConstructing;  // a failed creation must not delete the object
};
