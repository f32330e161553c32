// The property record of one grid cell, and the block with which the
// grid's in-place editors end an edit: WM_NOTIFY with the editor's id and
// the code GRID_ENDEDIT, the notification header followed by the cell's
// record (row, column, mask GRID_ITEM_TEXT | GRID_ITEM_PARAM, the final
// text, the key that ended the edit as user data). The block lives only
// for the call.
//
// GRID_ENDEDIT has the value of the list view's end-of-label-edit code, so
// a parent tells the two apart by the sender's id, never by the code alone.
#pragma once

#include "classlib/afxwin.h"

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

// End of an in-place edit (-106).
#define GRID_ENDEDIT LVN_ENDLABELEDITA

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

struct InPlaceEditNotify {
    NMHDR hdr = {};
    CThemeGridItem item;
};
