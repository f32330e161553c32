// The property record of one grid cell, and the WM_NOTIFY block with which
// the grid's in-place editors (edit and combo) end an edit.
#pragma once

#include "classlib/afxwin.h"

// Which fields of a CThemeGridItem are valid.
constexpr UINT kGridItemText = 0x01;
constexpr UINT kGridItemImage = 0x02;
constexpr UINT kGridItemParam = 0x04;
constexpr UINT kGridItemState = 0x08;
constexpr UINT kGridItemBackColor = 0x10;
constexpr UINT kGridItemTextColor = 0x20;
constexpr UINT kGridItemFormat = 0x40;
constexpr UINT kGridItemFont = 0x80;

struct CThemeGridItem {
    int row = 0;
    int col = 0;
    UINT mask = 0;
    UINT nState = 0;
    UINT nFormat = 0;
    CString strText;
    int iImage = -1;
    COLORREF crBkClr = 0;
    COLORREF crFgClr = 0;
    LPARAM lParam = 0;
    LOGFONTA lfFont = {};
};

// The code of the block; equal to the list view's end-of-label-edit code,
// since parents dispatch on (id, code).
constexpr int kInPlaceEditEnd = -106;

struct InPlaceEditNotify {
    NMHDR hdr;
    CThemeGridItem item;
};
