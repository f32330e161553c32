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
#include "ThemeClass/ThemeGridCell.h"

// End of an in-place edit (-106).
#define GRID_ENDEDIT LVN_ENDLABELEDITA

struct InPlaceEditNotify {
    NMHDR hdr = {};
    CThemeGridItem item;
};
