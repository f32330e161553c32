// The grid's exchange text: what Copy puts on the clipboard or into a drag
// (tab-separated columns, newline-separated rows, one terminating zero), how
// pasted text is split into lines and fields, and the cut and paste edits
// with their notifications. Portable: the window hands over the bytes of a
// clipboard block and its size, and passes its notifications through a
// callback.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "ThemeClass/ThemeGridView.h"

// The window's notification to its owner: row, column, code.
typedef std::function<void(int row, int col, int code)> GridNotifyFn;

// The bytes of the block Copy makes from the selected cells of the range,
// the terminating zero included. Empty when the range is not valid.
std::string GridCopyBlock(const CThemeGridModel& grid, const CThemeGridCellRange& range);

// Pasted text split into lines of fields. The text ends at its first zero
// byte or after `size` bytes, whichever comes first: a block from another
// program need not be terminated.
typedef std::vector<std::vector<CString>> GridPasteLines;
GridPasteLines GridSplitPasteText(const char* text, size_t size);

// Writes the fields from the start cell on. Every target must be a valid,
// editable cell; a read-only one keeps its text. Each cell written is
// announced with -105 and -106, marked modified and loses its selected
// bit. FALSE when the start cell is not valid and editable.
BOOL GridPasteFields(CThemeGridView& grid, const CThemeGridCellId& start,
                     const GridPasteLines& lines, const GridNotifyFn& notify);

// Empties every selected cell that is editable, on an editable grid only;
// each is announced with -105 and -106 and marked modified. The number of
// cells emptied.
int GridCutCells(CThemeGridView& grid, const GridNotifyFn& notify);

// The class library's edit commands.
enum : UINT {
    GRID_CMD_COPY = 0xE122,
    GRID_CMD_CUT = 0xE123,
    GRID_CMD_PASTE = 0xE125,
    GRID_CMD_SELECT_ALL = 0xE12A,
};

// Whether an edit command is enabled, given whether the clipboard offers
// text. Unknown commands are disabled.
BOOL GridEditCommandEnabled(const CThemeGridView& grid, UINT command, BOOL clipboardHasText);
