// What a grid holds: cell ids and ranges, the cell record with its state,
// format, text, image, colours, font and user data, the property record
// through which callers read or write several properties at once, the
// per-column drop-down lists and the merged header groups. Portable.
#pragma once

#include <vector>

#include "classlib/afxobj.h"
#include "classlib/afxstr.h"
#include "classlib/afxtypes.h"

// Cell state bits.
enum : UINT {
    GRID_STATE_FOCUSED = 0x01,
    GRID_STATE_SELECTED = 0x02,
    GRID_STATE_DROPHILITED = 0x04,
    GRID_STATE_READONLY = 0x08,
    GRID_STATE_MODIFIED = 0x20,
};

// Mask bits: which fields of a CThemeGridItem are valid.
enum : UINT {
    GRID_ITEM_TEXT = 0x01,
    GRID_ITEM_IMAGE = 0x02,
    GRID_ITEM_PARAM = 0x04,
    GRID_ITEM_STATE = 0x08,
    GRID_ITEM_BKCOLOR = 0x10,
    GRID_ITEM_TEXTCOLOR = 0x20,
    GRID_ITEM_FORMAT = 0x40,
    GRID_ITEM_FONT = 0x80,
};

// A cell colour of this value means "the grid's own colour".
#define GRID_COLOR_DEFAULT ((COLORREF)0xFF000000)

// Centred both ways on a single line (the text drawer's format bits).
#define GRID_DEFAULT_FORMAT 0x25u

struct CThemeGridCellId {
    int row = -1;
    int col = -1;
    CThemeGridCellId() = default;
    CThemeGridCellId(int r, int c) : row(r), col(c) {}
    bool operator==(const CThemeGridCellId& o) const { return row == o.row && col == o.col; }
    bool operator!=(const CThemeGridCellId& o) const { return !(*this == o); }
};

class CThemeGridCellRange {
public:
    CThemeGridCellRange(int minRow = -1, int minCol = -1, int maxRow = -1, int maxCol = -1) {
        Set(minRow, minCol, maxRow, maxCol);
    }
    void Set(int minRow, int minCol, int maxRow, int maxCol) {
        m_nMinRow = minRow;
        m_nMinCol = minCol;
        m_nMaxRow = maxRow;
        m_nMaxCol = maxCol;
    }
    int GetMinRow() const { return m_nMinRow; }
    int GetMinCol() const { return m_nMinCol; }
    int GetMaxRow() const { return m_nMaxRow; }
    int GetMaxCol() const { return m_nMaxCol; }
    void SetMinRow(int v) { m_nMinRow = v; }
    void SetMinCol(int v) { m_nMinCol = v; }
    void SetMaxRow(int v) { m_nMaxRow = v; }
    void SetMaxCol(int v) { m_nMaxCol = v; }
    CThemeGridCellId GetTopLeft() const { return CThemeGridCellId(m_nMinRow, m_nMinCol); }
    CThemeGridCellRange Intersect(const CThemeGridCellRange& o) const {
        return CThemeGridCellRange(m_nMinRow > o.m_nMinRow ? m_nMinRow : o.m_nMinRow,
                                   m_nMinCol > o.m_nMinCol ? m_nMinCol : o.m_nMinCol,
                                   m_nMaxRow < o.m_nMaxRow ? m_nMaxRow : o.m_nMaxRow,
                                   m_nMaxCol < o.m_nMaxCol ? m_nMaxCol : o.m_nMaxCol);
    }
    int Count() const { return (m_nMaxRow - m_nMinRow + 1) * (m_nMaxCol - m_nMinCol + 1); }
    bool IsValid(int rows, int cols) const {
        return m_nMinRow >= 0 && m_nMinCol >= 0 && m_nMaxRow >= 0 && m_nMaxCol >= 0 &&
               m_nMaxRow < rows && m_nMaxCol < cols && m_nMinRow <= m_nMaxRow &&
               m_nMinCol <= m_nMaxCol;
    }
    bool InRange(int row, int col) const {
        return row >= m_nMinRow && row <= m_nMaxRow && col >= m_nMinCol && col <= m_nMaxCol;
    }

private:
    int m_nMinRow, m_nMinCol, m_nMaxRow, m_nMaxCol;
};

class CThemeGridCell : public CObject {
public:
    ~CThemeGridCell() override {}
    UINT state = 0;
    UINT format = GRID_DEFAULT_FORMAT;
    CString text;
    int image = -1;
    COLORREF backColor = GRID_COLOR_DEFAULT;
    COLORREF textColor = GRID_COLOR_DEFAULT;
    LOGFONTA font = {};
    LPARAM userData = 0;
};

struct CThemeGridItem {
    int row = 0;
    int column = 0;
    UINT mask = 0;
    UINT state = 0;
    UINT format = 0;
    CString text;
    int image = 0;
    COLORREF backColor = 0;
    COLORREF textColor = 0;
    LPARAM userData = 0;
    LOGFONTA font = {};
};

class CThemeGridComboList : public CObject {
public:
    ~CThemeGridComboList() override {}
    int m_nCount = 0;
    std::vector<CString> m_Items;
};

class CThemeGridHeaderGroup : public CObject {
public:
    ~CThemeGridHeaderGroup() override {}
    int m_nCount = 0;
    std::vector<UINT> m_Columns;
    CString m_strCaption;
};
