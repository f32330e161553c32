// The grid's text file: line 1 holds the texts of row 0 (the headings),
// every further line one row; fields are separated by "," without quoting,
// so a text holding "," or a line break does not come back as it was.
// Portable: the bytes of a file, built from and into the grid.
#pragma once

#include <string>
#include <vector>

#include "ThemeClass/ThemeGridModel.h"

// The file's bytes, each line ended by CR LF (as a text-mode file writes
// "\n" on Windows).
std::string GridFormatTextFile(const CThemeGridModel& grid);

// One line's fields: split at ","; a line ending with "," has an empty
// last field. The line is whole, whatever its length; a line end (CR LF or
// LF) at its end is not part of it.
std::vector<CString> GridSplitTextLine(const char* line, size_t size);

// A whole file's lines of fields.
std::vector<std::vector<CString>> GridParseTextFile(const char* data, size_t size);

// Rebuilds the grid from the lines: everything goes, the first line's
// fields become columns (their headings in row 0), each further line a row
// whose fields fill the columns that exist (more fields are dropped), and
// every column is sized to its contents. An empty file leaves the grid
// empty.
void GridBuildFromText(CThemeGridModel& grid, const std::vector<std::vector<CString>>& lines);
