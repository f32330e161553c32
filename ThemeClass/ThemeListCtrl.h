// The skinned report list: a list view in report mode that draws every row
// itself (colours by parity and selection, row and cell colour records, a
// frame round each cell, an optional check box, push-look cells), edits
// cells in place with an edit box or a drop list, and carries the skinned
// multi-row header.
//
// It tells its parent about clicks and finished edits with WM_NOTIFY
// blocks of its own (NMLISTCELL below); the list view's NM_CLICK is
// consumed and replaced by them, every other notification of the list view
// (NM_DBLCLK, LVN_*) reaches the parent unchanged.
#pragma once

#include <cstddef>
#include <vector>

#include "classlib/afxwin.h"
#include "ThemeClass/HeadCtrl.h"
#include "ThemeClass/ThemeListRules.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"

// A click while a push cell was held: item and column of that cell.
#define NM_LIST_CELLCLICK 1137
// A click with no push cell held: item and column the list view reported.
#define NM_LIST_BLANKCLICK 1138
// Every left-button release on the header: item -1, the column under it.
#define NM_LIST_HEADCHECK 1139
// A cell edit was written into the cell: its item and column.
//
// -101 is also the list view's own LVN_ITEMCHANGED, sent from the same
// window with the same id. The two are told apart by the block: this one
// is laid out as an NMLISTVIEW whose uChanged is 0, while the list view's
// LVN_ITEMCHANGED always names what changed (uChanged != 0). So a parent
// reads ((NMLISTVIEW*)pNMHDR)->uChanged == 0 as "cell edited".
#define NM_LIST_CELLEDITED (-101)

// The block of the four notifications. Its first five fields are the
// header, the item and the column; the rest, always zero, makes it as long
// as an NMLISTVIEW (see NM_LIST_CELLEDITED).
struct NMLISTCELL {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
};

static_assert(sizeof(NMLISTCELL) == sizeof(NMLISTVIEW) &&
                  offsetof(NMLISTCELL, uChanged) == offsetof(NMLISTVIEW, uChanged),
              "a parent reads the cell block as an NMLISTVIEW");

// True when a -101 notification is the list's cell edit rather than the
// list view's item change.
inline bool IsListCellEdited(const NMHDR* pNMHDR) {
    return pNMHDR && (int)pNMHDR->code == NM_LIST_CELLEDITED &&
           reinterpret_cast<const NMLISTCELL*>(pNMHDR)->uChanged == 0;
}

// One per column: how its cells are edited.
struct ListColumnInfo {
    int nEditType = 0;   // 0 none, 1 edit box, 2 drop list, 3 push cell
    CString strOptions;  // drop-list entries, one per line
};

class CThemeListCtrl : public CListCtrl, public CThemeSkinId {
public:
    static constexpr UINT kEditId = 1009;
    static constexpr UINT kComboId = 1010;
    enum { kEditNone = 0, kEditBox = 1, kEditDropList = 2, kEditPush = 3 };

    CThemeListCtrl();
    ~CThemeListCtrl() override;

    // Both create a "SysListView32" child without a title, in report view
    // and owner-drawn.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);
    virtual BOOL Create(const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwStyle);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

    void SetDefaultSkin();

    // Columns
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT,
                     int nWidth = -1, int nSubItem = -1);
    BOOL DeleteColumn(int nCol);
    int GetColumnCount() const;
    void SetColumnEditType(int nCol, int nType, LPCTSTR lpszOptions = "");
    void SetColumnEdit(int nCol) { SetColumnEditType(nCol, kEditBox); }
    void SetColumnCombo(int nCol, LPCTSTR lpszOptions) {
        SetColumnEditType(nCol, kEditDropList, lpszOptions);
    }
    void SetColumnPush(int nCol) { SetColumnEditType(nCol, kEditPush); }
    // Column records must exist (a column inserted through this class).
    int GetColumnEditType(int nCol) const;
    CString GetColumnOptions(int nCol) const;

    // Header
    BOOL AttachHeader();
    CHeadCtrl& GetHeadCtrl() { return m_header; }
    void SetHeaderCellText(int nRow, int nCol, LPCTSTR lpszText);
    void MergeHeaderCells(int nRow1, int nCol1, int nRow2, int nCol2);
    void SetHeaderRows(int nRows);
    void SetHeaderColors(COLORREF clrFrame, COLORREF clrBack, COLORREF clrFont);
    void SetupHeaderCheck();
    // Called by the header on every left-button release (header client
    // coordinates): sends NM_LIST_HEADCHECK.
    void OnHeaderClick(CPoint point);

    // Rows
    void SetCheck(int nItem, BOOL bOn);
    BOOL IsChecked(int nItem) const;
    skin::CheckedItems& GetCheckedItems() { return m_checked; }
    void SetRowColor(int nItem, COLORREF clrBack);
    BOOL GetRowColor(int nItem, COLORREF* pBack) const;
    void SetCellColor(int nItem, int nCol, COLORREF clrText, COLORREF clrBack);
    BOOL GetCellColor(int nItem, int nCol, COLORREF* pText, COLORREF* pBack) const;
    int GetSelectedItem() const;

    // Hit testing by the list's own rules (the header taken as ItemHeight + 3
    // pixels high).
    int ItemFromY(int y) const;
    int ColumnFromX(int x) const;

    // Cell editing
    void EditCellAt(CPoint point);
    void StartCellEdit(int nItem, int nCol);
    // Enter, or a click below the rows: commits the open editor.
    void EndCellEdit();
    int GetEditItem() const { return m_nEditItem; }
    int GetEditColumn() const { return m_nEditCol; }
    CEdit* GetInPlaceEdit() const { return m_pEdit; }
    CComboBox* GetInPlaceCombo() const { return m_pCombo; }
    CPoint GetPressedCell() const { return m_ptPressed; }

    // Skin
    void SetSelectFontColor(COLORREF clr) { m_colors.selectFont = clr; }
    void SetSelectBackColor(COLORREF clr) { m_colors.selectBack = clr; }
    void SetNormal1FontColor(COLORREF clr) { m_colors.normal1Font = clr; }
    void SetNormal2FontColor(COLORREF clr) { m_colors.normal2Font = clr; }
    void SetNormalFontColor(COLORREF clr);
    void SetFontColor(COLORREF clr) { SetNormalFontColor(clr); }
    void SetNormal1BackColor(COLORREF clr);
    void SetNormal2BackColor(COLORREF clr) { m_colors.normal2Back = clr; }
    void SetNormalBackColor(COLORREF clr);
    void SetFrameColor(COLORREF clr) { m_clrFrame = clr; }
    void SetItemFrameColor(COLORREF clr) { SetFrameColor(clr); }
    void SetBackColor(COLORREF clr) { m_clrBack = clr; }
    void SetHeadFrameColor(COLORREF clr) { m_header.SetFrameColor(clr); }
    void SetHeadBackColor(COLORREF clr) { m_header.SetBackColor(clr); }
    void SetHeadFontColor(COLORREF clr) { m_header.SetFontColor(clr); }
    // Both need the window (they set fonts on it and on the editors).
    void SetFontSize(int nSize);
    void SetItemHeight(int nHeight);
    void SetSortType(int nType) { m_header.SetSortType(nType); }
    void SetEditDblClk(BOOL bOn) { m_bEditDblClk = bOn; }
    void SetCheckBoxOn(BOOL bOn) { m_bCheckBoxOn = bOn; }
    void SetHeadCheckBoxOn(BOOL bOn);
    BOOL SetCheckBoxImage(LPCTSTR lpszPath);
    BOOL SetCheckBoxBitmap(UINT nIDResource);
    void SetToolTipText(LPCTSTR lpszText);

    int GetItemHeight() const { return m_nItemHeight; }
    int GetFontSize() const { return m_nFontSize; }
    const skin::ListColors& GetColors() const { return m_colors; }
    COLORREF GetBackColor() const { return m_clrBack; }
    COLORREF GetFrameColor() const { return m_clrFrame; }
    CThemeToolTip& GetToolTip() { return m_toolTip; }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnEditKillFocus();
    afx_msg void OnComboEnd();
    DECLARE_MESSAGE_MAP()

private:
    void SendCellNotify(int nCode, int nItem, int nCol);
    void CommitEditBox();
    void CommitCombo();
    BOOL CellExists(int nItem, int nCol) const;
    BOOL IsEditorShown(CWnd* pEditor) const;
    BOOL FocusIsIn(CWnd* pEditor) const;
    void FillDropList(const CString& strOptions);
    std::vector<int> ColumnWidths() const;
    void MakeItemHeightFont();
    void MakeTextFont();
    void ReleasePressed();
    HBRUSH BackBrush();

    int m_nEditItem = -1;
    int m_nEditCol = -1;
    HBRUSH m_hBackBrush = nullptr;
    BOOL m_bEditDblClk = FALSE;
    BOOL m_bCheckBoxOn = FALSE;
    BOOL m_bCheckImageLoaded = FALSE;
    CBitmap m_checkImage;
    BOOL m_bHeadCheckBoxOn = FALSE;
    int m_nItemHeight = 17;
    CFont m_itemHeightFont;
    CFont m_textFont;
    int m_nFontSize = 12;
    skin::ListColors m_colors;
    COLORREF m_clrBack = 0xDBD5CA;
    COLORREF m_clrFrame = 0x000000;
    CEdit* m_pEdit = nullptr;
    CComboBox* m_pCombo = nullptr;
    CPoint m_ptPressed;
    std::vector<ListColumnInfo> m_columns;
    skin::CheckedItems m_checked;
    skin::ListColorRecords m_colorRecords;
    CHeadCtrl m_header;
    BOOL m_bHeaderAttached = FALSE;
    // Set while a commit runs: the focus change it makes must not commit
    // again.
    BOOL m_bCommitting = FALSE;
    CThemeToolTip m_toolTip;
};
