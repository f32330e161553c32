// Skin positions, the program folder, profile files and the skin folder:
// the helpers every skinned control and dialog uses. The rules themselves
// live in ThemeLayout/ThemePaths; these feed them the windows and the file
// system.
#pragma once

#include "classlib/afxwin.h"

// The skin folder, with a trailing backslash; empty until SetThemeFolder.
extern CString g_strSkinDir;

// One edge of a skin position against the extent (see ThemeLayout.h).
int ResolveConfigCoord(int nValue, int nExtent);

// Left and right against the parent rectangle's width, top and bottom
// against its height; the parent's origin is not added.
CRect CalcConfigRect(int nLeft, int nTop, int nRight, int nBottom, const CRect& rcParent);
CRect CalcConfigRect(const CRect& rcLayout, const CRect& rcParent);
// The same against a window's client rectangle.
CRect CalcWindowConfigRect(int nLeft, int nTop, int nRight, int nBottom, CWnd* pWnd);
CRect CalcWindowConfigRect(const CRect& rcLayout, CWnd* pWnd);
// A caption area against a window's client rectangle: near edges offset,
// far edges of 0 or less counted back from the client's far edge.
CRect CalcTextRect(int nLeft, int nTop, int nRight, int nBottom, CWnd* pWnd);
CRect CalcTextRect(const CRect& rcArea, CWnd* pWnd);

// The program file's folder with a trailing backslash.
CString GetAppFolder();
// A value of a profile file in the program folder; returns the characters
// read (0 and "" when the file or key is missing).
int ReadIniString(LPCTSTR lpszFile, LPCTSTR lpszSection, LPCTSTR lpszKey, CString& strValue);
// Writes a profile value; a file name without ":" is taken in the program
// folder.
void WriteIniString(LPCTSTR lpszFile, LPCTSTR lpszSection, LPCTSTR lpszKey, LPCTSTR lpszValue);

// Sets g_strSkinDir: a trailing backslash added, a leading ".\" or "./"
// reduced to its separator, the program folder put before a path without
// a drive colon.
void SetThemeFolder(LPCTSTR lpszFolder);
// Reads "info.ini" [Theme] Path beside the program and, when it is set,
// makes it the skin folder.
void LoadThemePath();
// The last component of the skin folder.
CString GetThemeName();

// Whether the folder holds an entry of exactly that name (case counts).
BOOL ScanFolder(LPCTSTR lpszName, LPCTSTR lpszFolder);

// The index of the last separator in the text (or its first nCount
// characters), -1 when there is none.
int FindLast(LPCTSTR lpszText, TCHAR chSeparator);
int FindLastInPrefix(LPCTSTR lpszText, TCHAR chSeparator, int nCount);
