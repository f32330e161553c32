// The grid as a window: the "ThemeSheetWnd" class, its scroll bars over the
// non-fixed area, painting through an off-screen DC, the mouse and the
// keyboard handed to the view, the in-place editors and the notifications
// to the owner. The table, the geometry, the selection and the key table
// live in the portable view underneath; this class turns what they ask for
// into window calls.
//
// The clipboard keys and the edit commands reach OnEditCut/OnEditCopy/
// OnEditPaste, a header press with sorting on reaches OnHeaderSort, a drag
// from a selected cell reaches OnBeginDrag; they, sorting, printing and the
// text files live in files of their own.
#pragma once

#include "classlib/afxwin.h"
#include "classlib/afxcmdui.h"
#include "classlib/afxole.h"
#include "classlib/afxprint.h"
#include "classlib/afxview.h"
#include "ThemeClass/ThemeGridBufferDC.h"
#include "ThemeClass/ThemeGridItem.h"
#include "ThemeClass/ThemeGridPages.h"
#include "ThemeClass/ThemeGridSort.h"
#include "ThemeClass/ThemeGridView.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"

#define GRID_CLASSNAME "ThemeSheetWnd"

// The id of the in-place edit box and combo box.
#define IDC_GRID_INPLACE 8u
// The auto-scroll timer while the button is held.
#define GRID_TIMER_AUTOSCROLL 0x201u
#define GRID_TIMER_INTERVAL 25u

// The class library's edit commands.
#define ID_GRID_EDIT_COPY 0xE122u
#define ID_GRID_EDIT_CUT 0xE123u
#define ID_GRID_EDIT_PASTE 0xE125u
#define ID_GRID_EDIT_SELECT_ALL 0xE12Au

// What the owner receives with WM_NOTIFY (wParam: the grid's id).
struct CThemeGridNotify {
    NMHDR hdr;
    int iRow;
    int iColumn;
};

class CThemeGrid : public CWnd, public CThemeGridView, public CThemeSkinId {
public:
    CThemeGrid(int nRows = 0, int nCols = 0, int nFixedRows = 0, int nFixedCols = 0);
    // Run-time creation by name ("CThemeGrid"): a grid of no rows or columns.
    static const CRuntimeClass classCThemeGrid;
    static CObject* CreateObject();
    ~CThemeGrid() override;

    BOOL Create(const RECT& rect, CWnd* pParentWnd, UINT nID,
                DWORD dwStyle = WS_CHILD | WS_BORDER | WS_TABSTOP | WS_VISIBLE);
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
        return Create(rect, pParentWnd, nID, dwStyle);
    }
    // Takes over a dialog's template control by subclassing it.
    BOOL SubclassGrid(UINT nID, CWnd* pParent);

    // The skin name lives once for the dialog and the table.
    void SetName(LPCTSTR lpszName) {
        CThemeSkinId::SetName(lpszName);
        CThemeGridModel::SetName(lpszName);
    }
    CString GetName() const { return CThemeSkinId::GetName(); }

    void SetListViewMode(BOOL bListView) { SetListViewNotify(bListView); }
    void SetFontSize(int nSize) override;
    void SetToolTipText(LPCTSTR lpszText);
    CThemeToolTip& GetToolTip() { return m_toolTip; }
    void SetRedraw(BOOL bAllowDraw, BOOL bResetScrollBars = FALSE);

    // ---- images: with a list, image n draws frame n; without one an
    // image >= 0 is a drawn check box.
    BOOL LoadCheckBoxImages(LPCTSTR lpszBitmapPath);
    BOOL LoadCheckBoxImages(UINT nIDBitmap);
    CImageList* GetImageList() { return m_ImageList.GetSafeHandle() ? &m_ImageList : nullptr; }

    // ---- drawing
    virtual void OnDraw(CDC* pDC);
    virtual BOOL DrawCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bEraseBk = FALSE);
    virtual BOOL DrawHeaderCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bEraseBk = FALSE);
    virtual CSize MeasureCell(int nRow, int nCol, CDC* pDC) const;
    BOOL RedrawCell(int nRow, int nCol, CDC* pDC);
    BOOL RedrawRow(int nRow);
    BOOL RedrawColumn(int nCol);
    void InvalidateCell(const CThemeGridCellId& cell);
    void InvalidateCellRange(const CThemeGridCellRange& range);
    CFont* GetGridFont() { return &m_GridFont; }

    // ---- editing
    virtual void CreateCellEditor(CRect rect, DWORD dwStyle, UINT nID, int nRow, int nCol,
                                  const CString& strText, UINT nKey);
    virtual void CreateCellCombo(CRect rect, DWORD dwStyle, UINT nID, int nRow, int nCol,
                                 CStringArray& items, const CString& strText, UINT nKey);
    virtual void OnCellEditEnd(int nRow, int nCol, const CString& strText);

    // ---- the owner
    void NotifyParent(int nRow, int nCol, int nCode) override;
    // The window the notifications go to: the owner, else the parent.
    HWND GetOwnerWindow() const;

    // ---- clipboard and drag and drop (ThemeGridClip_win32.cpp)
    virtual COleDataSource* CopySelection();
    virtual void CutSelection();
    virtual BOOL PasteData(int nRow, int nCol, COleDataObject* pDataObject);
    // A one-picture image list of the focus cell for a drag image, with its
    // hot spot at the picture's bottom-right corner; null without a focus
    // cell or when a GDI object cannot be made. The caller owns the list.
    virtual CImageList* MakeDragImage(CPoint* pHotSpot);
    // Edit command states for the class library's command updates.
    void UpdateEditCommand(CCmdUI* pCmdUI);
    // Drop-target operations for a target that forwards to the grid.
    DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    void OnDragLeave();
    BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    CThemeGridCellId GetDropTargetCell() const { return m_LastDragOverCell; }

    // ---- sorting (ThemeGridSort_win32.cpp)
    BOOL SortRowsByText(int nCol, BOOL bAscending);
    BOOL SortRowsByText(int nCol, BOOL bAscending, int nLow, int nHigh);
    BOOL SortRowsByCallback(GridCompareFn pfnCompare, int nCol, BOOL bAscending, LPARAM lParam);
    BOOL SortRowsByCallback(GridCompareFn pfnCompare, int nCol, BOOL bAscending, LPARAM lParam,
                            int nLow, int nHigh);
    int GetSortColumn() const { return m_nSortColumn; }
    BOOL GetSortAscending() const { return m_bAscending; }

    // ---- text files (ThemeGridFile_win32.cpp)
    BOOL Save(LPCTSTR lpszFileName);
    BOOL Load(LPCTSTR lpszFileName);

    // ---- printing (ThemeGridPrint_win32.cpp)
    void Print();
    // One job on a sink (Print makes the printer's); FALSE when it failed.
    BOOL PrintOn(CPrintPageSink* pSink, CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void PrintColumnTitles(CDC* pDC, CPrintInfo* pInfo);
    virtual void PrintPageHeader(CDC* pDC, CPrintInfo* pInfo);
    virtual void PrintPageFooter(CDC* pDC, CPrintInfo* pInfo);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The rows per wheel notch the user chose ("WheelScrollLines"), 3 when
    // it cannot be read; -1 scrolls a page per notch.
    static int ReadWheelScrollLines();

protected:
    // ---- the view's hooks
    SIZE MeasureText(const CString& text) const override;
    SIZE MeasureCell(int row, int col) const override;
    SIZE GetClientSize() const override;
    COLORREF GetSystemColor(int index) const override;
    void InvalidateAll() override;
    void RedrawCell(int row, int col) override;
    bool HasWindow() const override;
    void ApplyScrollBars(const GridScrollBars& bars) override;
    void SetScrollPosition(int bar, int pos) override;
    void OnScrolled(int bar, const GridScrollEffect& effect) override;
    void OpenCellEditor(int row, int col, UINT key) override;
    void OnEditKey(UINT key) override;
    int GetImageWidth() const override;

    // ---- data transfer (ThemeGridClip_win32.cpp)
    virtual void OnEditCut();
    virtual void OnEditCopy();
    virtual void OnEditPaste();
    virtual void OnEditSelectAll() { SelectAllCells(); }
    void OnBeginDrag() override;
    // ---- sorting by a header press (ThemeGridSort_win32.cpp)
    void OnHeaderSort(int col) override;

    void EraseBkgnd(CDC* pDC);
    void DrawCheckBox(CDC* pDC, const CRect& rect, int nImage);
    // Draws the image or check box at the rectangle's left and moves the
    // left edge past it.
    void DrawCellImage(CDC* pDC, CRect& rect, int nImage, bool bTop);
    void DrawHeaderGroupCaption(CDC* pDC, int nCol, const CString& strCaption, int nFirst,
                                int nLast, const CRect& rect);
    void InvertSizingLine(POINT pt, bool bColumn);
    void RebuildGridFont();
    void AfterCreate();
    static bool IsPrinting(CDC* pDC);
    static UINT KeyMods();

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg UINT OnGetDlgCode();
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
    afx_msg void OnDestroy();
    afx_msg void OnEndInPlaceEdit(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnCmdCut() { OnEditCut(); }
    afx_msg void OnCmdCopy() { OnEditCopy(); }
    afx_msg void OnCmdPaste() { OnEditPaste(); }
    afx_msg void OnCmdSelectAll() { OnEditSelectAll(); }
    afx_msg void OnUpdateEditCommand(CCmdUI* pCmdUI) { UpdateEditCommand(pCmdUI); }
    DECLARE_MESSAGE_MAP()

    CFont m_Font;      // the window font, from the logical font
    CFont m_GridFont;  // "돋움" at the font size
    CImageList m_ImageList;
    CThemeToolTip m_toolTip;
    HWND m_hWndPrevFocus = nullptr;
    BOOL m_bMustUninitOle = FALSE;
    // Drag and drop, printing.
    CThemeGridCellId m_LastDragOverCell;
    CFont m_PrinterFont;
    CSize m_CharSize, m_PaperSize, m_LogicalPageSize;
    int m_nPageHeight = 0;
    GridPageLayout m_PageLayout;
    // The system colours the grid's colours last followed.
    COLORREF m_crWindowText = 0, m_crWindowColour = 0, m_cr3DFace = 0, m_crShadow = 0;
};

// Attaches a grid without a window to a dialog's template control.
void DDX_ThemeGrid(CDataExchange* pDX, int nIDC, CThemeGrid& rGrid);
