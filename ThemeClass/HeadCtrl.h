// The column header of the skinned report list: the list view's own header
// window, subclassed, painted as one or more rows of cells in which blocks
// can be merged. It can carry a check box that ticks and selects every row
// of the list, and a double click on a column sorts the list's rows by
// that column's texts. Its parent is always the CThemeListCtrl that owns it.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/HeadRules.h"

class CThemeListCtrl;

class CHeadCtrl : public CHeaderCtrl {
public:
    CHeadCtrl();
    ~CHeadCtrl() override;

    // A count below 1 is ignored; new rows get an empty cell per column.
    // The font is not used: the header keeps the list's font.
    void SetRows(int nRows, CFont* pFont = nullptr);
    int GetRows() const { return m_cells.Rows(); }
    void InsertCellColumn(int nCol);
    void DeleteCellColumn(int nCol);
    BOOL SetCellText(int nRow, int nCol, LPCTSTR lpszText);
    CString GetCellText(int nRow, int nCol) const;
    void MergeCells(int nRow1, int nCol1, int nRow2, int nCol2);
    // The kind (0 plain, 1 merge origin, 2 covered) and the block's extra
    // rows and columns; 0 outside the grid.
    int GetCellSpan(int nRow, int nCol, int* pExtraRows, int* pExtraCols) const;

    void SetColors(COLORREF clrFrame, COLORREF clrBack, COLORREF clrText);
    void SetFrameColor(COLORREF clr) { m_clrFrame = clr; }
    void SetBackColor(COLORREF clr) { m_clrBack = clr; }
    void SetFontColor(COLORREF clr) { m_clrText = clr; }
    void SetFontSize(int nSize) { m_nFontSize = nSize; }
    COLORREF GetFrameColor() const { return m_clrFrame; }
    COLORREF GetBackColor() const { return m_clrBack; }
    COLORREF GetFontColor() const { return m_clrText; }

    // 0 none, 1 ascending, 2 descending, 3/4 ascending/descending toggled by
    // repeated sorts of one column.
    void SetSortType(int nType) { m_nSortType = nType; }
    int GetSortType() const { return m_nSortType; }

    void SetCheckX(int x) { m_nCheckX = x; }
    void SetCheckOn(BOOL bOn) { m_bCheckOn = bOn; }
    // The list owns the bitmap: two frames, unchecked then checked.
    void SetCheckImage(CBitmap* pBitmap);
    BOOL GetCheck() const { return m_bCheck; }
    CRect GetCheckRect() const { return m_rcCheck; }

    // Sorts the list's rows by the texts of the column under point.x (the
    // header's column rule); nothing under sort type 0.
    void SortByColumn(UINT nFlags, CPoint point);
    // Exchanges the texts of every column of two rows; FALSE unless both
    // are rows of the list.
    BOOL SwapRows(int nRowA, int nRowB);
    int GetHeight() const;

    // 1 when the rows of keys a (earlier) and b (later) are to be exchanged
    // under the sort type.
    static int CompareKeys(const CString& a, const CString& b, int nSortType);

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    afx_msg void OnPaint();
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnDestroy();
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    CThemeListCtrl* GetList() const;
    std::vector<int> ColumnWidths() const;
    void DrawCheck(CDC* pDC);

    int m_nSortType = 0;
    int m_nLastSortColumn = -1;
    BOOL m_bCheck = FALSE;
    BOOL m_bPrevCheck = FALSE;
    BOOL m_bCheckOn = FALSE;
    CRect m_rcCheck;
    int m_nCheckX = 1;
    CBitmap* m_pCheckImage = nullptr;
    BOOL m_bCheckImageSet = FALSE;
    COLORREF m_clrBack = 0xFFEACF;
    COLORREF m_clrFrame = 0x9D623B;
    COLORREF m_clrText = 0x000000;
    int m_nFontSize = 12;
    // Sum of the column widths at the last layout: a change repaints.
    long long m_nLastWidthSum = 0;
    skin::HeaderCells m_cells;
};

// The check box of the list rows and of the header: box at rc (drawn with
// the DC's pen and brush), then the image frame or the drawn box and cross.
void DrawListCheckBox(CDC* pDC, const CRect& rc, BOOL bChecked, CBitmap* pImage);
