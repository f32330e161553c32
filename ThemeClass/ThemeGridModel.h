// The grid's table: rows and columns of cells with fixed (header) rows at
// the top and fixed columns at the left, row heights and column widths, the
// focus cell and the map of selected cells, check-box columns, per-column
// drop-down lists, merged header groups, colours, flags and the modified
// flags. Portable: the grid window derives from it and supplies text
// measuring, the client size, the system colours and redrawing through the
// virtual hooks at the bottom.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "ThemeClass/ThemeGridCell.h"

// Which grid lines are drawn.
enum : int {
    GRID_LINES_NONE = 0,
    GRID_LINES_HORZ = 1,
    GRID_LINES_VERT = 2,
    GRID_LINES_BOTH = 3,
};

// The system colours the default skin takes (the platform's indexes).
enum : int {
    GRID_SYSCOLOR_WINDOWTEXT = 8,
    GRID_SYSCOLOR_BTNFACE = 15,
    GRID_SYSCOLOR_BTNSHADOW = 16,
    GRID_SYSCOLOR_BTNHIGHLIGHT = 20,
    GRID_SYSCOLOR_3DDKSHADOW = 21,
};

class CThemeGridModel {
public:
    // Asked for the back colour of a normal cell (the owner window, row,
    // column and the colour, which it may change); non-zero forces erasing.
    typedef int (*BackColorCallback)(HWND owner, int row, int col, COLORREF* color);

    CThemeGridModel();
    virtual ~CThemeGridModel();
    CThemeGridModel(const CThemeGridModel&) = delete;
    CThemeGridModel& operator=(const CThemeGridModel&) = delete;

    // Applies the four counts in the construction order (rows, columns,
    // fixed rows, fixed columns), then the default skin.
    void InitCounts(int rows, int cols, int fixedRows, int fixedCols);
    void SetDefaultSkin();

    // ---- counts
    BOOL SetRowCount(int n);
    BOOL SetColumnCount(int n);
    BOOL SetFixedRowCount(int n);
    BOOL SetFixedColumnCount(int n);
    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetFixedRowCount() const { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }

    // ---- cells
    CThemeGridCell* GetCell(int row, int col) const;
    BOOL SetCell(int row, int col, CThemeGridCell* cell);
    virtual CThemeGridCell* CreateCell(int row, int col);
    virtual void ClearCell(CThemeGridCell* cell, int row, int col);
    BOOL IsValid(int row, int col) const {
        return row >= 0 && row < m_nRows && col >= 0 && col < m_nCols;
    }
    BOOL IsValid(const CThemeGridCellId& id) const { return IsValid(id.row, id.col); }

    // ---- item access
    BOOL SetItem(const CThemeGridItem* item);
    BOOL GetItem(CThemeGridItem* item) const;
    BOOL SetItemText(int row, int col, LPCTSTR text);
    CString GetItemText(int row, int col) const { return GetCellText(row, col); }
    virtual CString GetCellText(int row, int col) const;
    BOOL SetItemData(int row, int col, LPARAM data);
    LPARAM GetItemData(int row, int col) const;
    BOOL SetItemImage(int row, int col, int image);
    int GetItemImage(int row, int col) const;
    BOOL SetItemState(int row, int col, UINT state);
    UINT GetItemState(int row, int col) const;
    BOOL SetItemFormat(int row, int col, UINT format);
    UINT GetItemFormat(int row, int col) const;
    BOOL SetItemBackColor(int row, int col, COLORREF color);
    COLORREF GetItemBackColor(int row, int col) const;
    BOOL SetItemTextColor(int row, int col, COLORREF color);
    COLORREF GetItemTextColor(int row, int col) const;
    BOOL SetItemFont(int row, int col, const LOGFONTA* font);
    const LOGFONTA* GetItemFont(int row, int col) const;

    // ---- rows and columns
    int InsertColumn(LPCTSTR heading, UINT format = GRID_DEFAULT_FORMAT, int column = -1);
    int InsertRow(LPCTSTR heading, int row = -1);
    BOOL DeleteColumn(int column);
    BOOL DeleteRow(int row);
    BOOL DeleteBodyRows();
    BOOL DeleteAllItems();

    // ---- sizes
    int GetRowHeight(int row) const;
    int GetColumnWidth(int col) const;
    BOOL SetRowHeight(int row, int height);
    BOOL SetColumnWidth(int col, int width);
    int GetFixedRowHeight() const;
    int GetFixedColumnWidth() const;
    long GetTotalHeight() const;
    long GetTotalWidth() const;
    void SetDefaultRowHeight(int height);
    void SetDefaultColumnWidth(int width);
    int GetDefaultRowHeight() const { return m_nDefRowHeight; }
    int GetDefaultColumnWidth() const { return m_nDefColWidth; }
    BOOL FitColumnToText(int col);
    BOOL FitRowToText(int row);
    void FitColumnsToText();
    void FitRowsToText();
    void FitToText();
    void StretchColumnsToWindow();
    void StretchRowsToWindow();
    void StretchToWindow();
    void StretchColumnToWindow(int col);

    // ---- check-box columns
    void SetCheckBoxColumn(int col);
    BOOL IsCheckBoxColumn(int col) const;

    // ---- drop-down items per column
    void SetColumnComboItems(int col, const LPCTSTR* items, int count);
    void SetColumnComboItems(int col, LPCTSTR text);
    BOOL GetColumnComboItems(int col, std::vector<CString>* items) const;
    int GetComboListCount() const { return static_cast<int>(m_ComboLists.size()); }

    // ---- header groups
    void AddHeaderGroup(const UINT* columns, int count, LPCTSTR caption);
    // For the first group holding the column: its position in the group
    // (-1 for the group's last column), the caption and the group's first
    // and last column. FALSE when no group holds it.
    BOOL FindHeaderGroup(int col, int* position, CString* caption, int* first, int* last) const;
    int GetHeaderGroupCount() const { return static_cast<int>(m_HeaderGroups.size()); }

    // ---- skin values
    void SetFontColor(COLORREF c) { m_crTextColor = c; }
    COLORREF GetFontColor() const { return m_crTextColor; }
    void SetNormalBackColor(COLORREF c) { m_crTextBkColor = c; }
    COLORREF GetNormalBackColor() const { return m_crTextBkColor; }
    void SetBackColor(COLORREF c) { m_crBkColor = c; }
    COLORREF GetBackColor() const { return m_crBkColor; }
    void SetFixedFontColor(COLORREF c) { m_crFixedTextColor = c; }
    COLORREF GetFixedFontColor() const { return m_crFixedTextColor; }
    void SetFixedBackColor(COLORREF c) { m_crFixedBkColor = c; }
    COLORREF GetFixedBackColor() const { return m_crFixedBkColor; }
    void SetGridLineColor(COLORREF c) { m_crGridColor = c; }
    COLORREF GetGridLineColor() const { return m_crGridColor; }
    void SetFixedFrameLTColor(COLORREF c) { m_crFixedFrameLT = c; }
    COLORREF GetFixedFrameLTColor() const { return m_crFixedFrameLT; }
    void SetFixedFrameRBColor(COLORREF c) { m_crFixedFrameRB = c; }
    COLORREF GetFixedFrameRBColor() const { return m_crFixedFrameRB; }
    void SetFixedFrameColor(COLORREF c) { m_crFixedFrameLT = m_crFixedFrameRB = c; }
    void SetEditable(BOOL b) { m_bEditable = b; }
    BOOL IsEditable() const { return m_bEditable; }
    void SetEditOnDblClick(BOOL b) { m_bEditOnDblClick = b; }
    BOOL GetEditOnDblClick() const { return m_bEditOnDblClick; }
    void SetListMode(BOOL b) { m_bListMode = b; }
    BOOL GetListMode() const { return m_bListMode; }
    void SetSingleRowSelection(BOOL b) { m_bSingleRowSelection = b; }
    BOOL GetSingleRowSelection() const { return m_bSingleRowSelection; }
    void SetHeaderSort(BOOL b) { m_bSortOnClick = b; }
    BOOL GetHeaderSort() const { return m_bSortOnClick; }
    void SetDefaultFormat(UINT f) { m_nDefCellFormat = f; }
    UINT GetDefaultFormat() const { return m_nDefCellFormat; }
    void SetGridLines(int lines) { m_nGridLines = lines; }
    int GetGridLines() const { return m_nGridLines; }
    void SetAllowDraw(BOOL b) { m_bAllowDraw = b; }
    BOOL GetAllowDraw() const { return m_bAllowDraw; }
    void EnableSelection(BOOL b) { m_bEnableSelection = b; }
    BOOL IsSelectable() const { return m_bEnableSelection; }
    void EnableDragAndDrop(BOOL b) { m_bAllowDragAndDrop = b; }
    BOOL GetDragAndDrop() const { return m_bAllowDragAndDrop; }
    void SetHandleTabKey(BOOL b) { m_bHandleTabKey = b; }
    BOOL GetHandleTabKey() const { return m_bHandleTabKey; }
    void SetDoubleBuffering(BOOL b) { m_bDoubleBuffer = b; }
    BOOL GetDoubleBuffering() const { return m_bDoubleBuffer; }
    void SetRowResize(BOOL b) { m_bAllowRowResize = b; }
    BOOL GetRowResize() const { return m_bAllowRowResize; }
    void SetColumnResize(BOOL b) { m_bAllowColumnResize = b; }
    BOOL GetColumnResize() const { return m_bAllowColumnResize; }
    void SetListViewNotify(BOOL b) { m_bListViewNotify = b; }
    BOOL GetListViewNotify() const { return m_bListViewNotify; }
    int GetFontSize() const { return m_nFontSize; }
    virtual void SetFontSize(int size) { m_nFontSize = size; }
    const LOGFONTA& GetLogFont() const { return m_Logfont; }
    void SetLogFont(const LOGFONTA& font) { m_Logfont = font; }
    const CString& GetName() const { return m_strName; }
    void SetName(LPCTSTR name) { m_strName = name ? name : ""; }

    // ---- target cell
    void SetTargetRow(int row) { m_idTarget.row = row; }
    void SetTargetColumn(int col) { m_idTarget.col = col; }
    void SetTargetCellText(LPCTSTR text);
    void SetTargetCellData(LPARAM data);
    BOOL GetFocusCellRowCol(int* row, int* col) const;
    void SetBackColorCallback(BackColorCallback f) { m_pfnBackColor = f; }
    BackColorCallback GetBackColorCallback() const { return m_pfnBackColor; }

    // ---- modified flags
    void SetModified(BOOL modified = TRUE, int row = -1, int col = -1);
    BOOL GetModified(int row = -1, int col = -1) const;

    // ---- queries
    BOOL IsCellFixed(int row, int col) const { return row < m_nFixedRows || col < m_nFixedCols; }
    BOOL IsCellEditable(int row, int col) const;
    CThemeGridCellRange GetCellRange() const {
        return CThemeGridCellRange(0, 0, m_nRows - 1, m_nCols - 1);
    }

    // ---- focus and the selected map
    CThemeGridCellId GetFocusCell() const { return m_idCurrentCell; }
    // Moves the focus, keeping the cells' focused bits in step.
    void SetFocusCellId(int row, int col);
    // The number of selected cells, and whether one is.
    int GetSelectedCount() const { return static_cast<int>(m_SelectedCellMap.size()); }
    BOOL IsCellSelected(int row, int col) const;
    // Clears every selected bit and empties the selected map and the map of
    // previously selected cells.
    void ClearSelection();
    // The key under which a cell stands in the selected maps; distinct for
    // every row and column a grid can hold.
    static uint64_t SelectionKey(int row, int col) {
        return (uint64_t(uint32_t(row)) << 32) | uint32_t(col);
    }
    const std::map<uint64_t, CThemeGridCellId>& SelectedMap() const { return m_SelectedCellMap; }
    std::map<uint64_t, CThemeGridCellId>& PrevSelectedMap() { return m_PrevSelectedCellMap; }

protected:
    // ---- hooks for the window
    // Width and height of a text in the header font.
    virtual SIZE MeasureText(const CString& text) const;
    // The extent a cell's contents need.
    virtual SIZE MeasureCell(int row, int col) const;
    // The size of the client area.
    virtual SIZE GetClientSize() const;
    // A system colour by the platform's index.
    virtual COLORREF GetSystemColor(int index) const;
    // The table's size changed: the window recomputes its scroll bars and
    // repaints.
    virtual void OnTableChanged() {}
    // The whole window should be repainted.
    virtual void InvalidateAll() {}
    // One cell should be repainted.
    virtual void RedrawCell(int row, int col) {}

    typedef std::vector<CThemeGridCell*> Row;
    static void ResizeIntVector(std::vector<int>* v, int n, int value);
    void EmptyAndDelete(CThemeGridCell* cell, int row, int col);
    void ClearFocusCell();
    void StretchLines(std::vector<int>* sizes, long space);

    int m_nRows = 0, m_nFixedRows = 0, m_nCols = 0, m_nFixedCols = 0;
    std::vector<Row*> m_RowData;
    std::vector<int> m_arRowHeights, m_arColWidths;
    int m_nDefRowHeight = 10, m_nDefColWidth = 30;
    int m_nMargin = 0;
    LOGFONTA m_Logfont = {};
    int m_nFontSize = 12;
    UINT m_nDefCellFormat = GRID_DEFAULT_FORMAT;

    COLORREF m_crTextColor = 0, m_crTextBkColor = 0, m_crBkColor = 0;
    COLORREF m_crFixedTextColor = 0, m_crFixedBkColor = 0, m_crGridColor = 0;
    COLORREF m_crFixedFrameLT = 0, m_crFixedFrameRB = 0;
    int m_nGridLines = GRID_LINES_BOTH;

    BOOL m_bEditable = TRUE, m_bEditOnDblClick = TRUE, m_bModified = FALSE;
    BOOL m_bAllowDragAndDrop = FALSE, m_bListMode = FALSE, m_bSingleRowSelection = FALSE;
    BOOL m_bAllowDraw = TRUE, m_bEnableSelection = TRUE, m_bSortOnClick = FALSE;
    BOOL m_bHandleTabKey = TRUE, m_bDoubleBuffer = TRUE, m_bAllowRowResize = TRUE;
    BOOL m_bAllowColumnResize = TRUE, m_bListViewNotify = FALSE;

    CThemeGridCellId m_idCurrentCell;
    CThemeGridCellId m_idTarget;
    std::map<uint64_t, CThemeGridCellId> m_SelectedCellMap, m_PrevSelectedCellMap;

    std::vector<CThemeGridComboList*> m_ComboLists;  // position n: column n
    std::vector<CThemeGridHeaderGroup*> m_HeaderGroups;
    std::vector<int> m_arCheckBoxColumns;

    int m_nSortColumn = -1;
    BOOL m_bAscending = TRUE;
    BackColorCallback m_pfnBackColor = nullptr;
    CString m_strName;
};
