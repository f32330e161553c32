// The in-place combo box the grid opens over a cell of a combo column: a
// standard combo box that takes the focus at once (replaying the key that
// started the edit), ends the edit on Enter, Tab, Escape, Ctrl with an
// arrow or page key, or loss of focus, reports the result to its parent in
// one InPlaceEditNotify block and then closes and deletes itself.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeGridItem.h"

// The combo's edit field (id 1001), subclassed so that the keys that end an
// edit reach the combo.
class CBaseComboEdit : public CEdit {
public:
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()
};

class CBaseCombo : public CComboBox {
public:
    static constexpr UINT kEditFieldId = 1001;

    // Allocate with new: the object deletes itself when its window goes.
    // The rectangle (the cell in the parent's client coordinates) is
    // widened and lengthened in place. When the window cannot be created
    // the object stays without one; its creator deletes it.
    CBaseCombo(CWnd* pParent, CRect& rect, DWORD dwStyle, UINT nID, int nRow, int nColumn,
               CStringArray& items, CString strText, UINT nFirstChar);
    CBaseCombo();

    // Sends the notification (once) and posts the combo its close.
    void EndEdit();

    int GetRow() const { return m_cellRow; }
    int GetColumn() const { return m_cellColumn; }
    UINT GetEndKey() const { return m_endKey; }

protected:
    void PostNcDestroy() override;

    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

private:
    friend class CBaseComboEdit;
    void ReplayFirstKey(UINT nFirstChar);
    void FocusParent();
    BOOL IsDropList() const;

    CBaseComboEdit m_editField;
    int m_dropLines = 4;
    CString m_startText;
    int m_cellRow = 0;
    int m_cellColumn = 0;
    UINT m_endKey = 0;
    BOOL m_arrowsEndEdit = FALSE;
    BOOL m_skipFirstEnter = FALSE;
    BOOL m_bEndSent = FALSE;
    CWnd* m_parentWnd = nullptr;
    HWND m_hParentWnd = nullptr;  // acted on: the object above may be a temporary
};
