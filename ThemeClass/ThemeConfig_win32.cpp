#include "ThemeClass/ThemeConfig.h"

#include <string>

#include "ThemeClass/ThemeLayout.h"
#include "ThemeClass/ThemePaths.h"

CString g_strSkinDir;

namespace {

skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }
CRect ToCRect(const skin::Rect& r) { return CRect(r.left, r.top, r.right, r.bottom); }

CRect ClientOf(CWnd* pWnd) {
    CRect rc;
    if (pWnd && pWnd->GetSafeHwnd()) pWnd->GetClientRect(&rc);
    return rc;
}

std::string Str(LPCTSTR s) { return s ? std::string(s) : std::string(); }

}  // namespace

int ResolveConfigCoord(int nValue, int nExtent) {
    return skin::ResolveConfigCoord(nValue, nExtent);
}

CRect CalcConfigRect(int nLeft, int nTop, int nRight, int nBottom, const CRect& rcParent) {
    return ToCRect(skin::ResolveConfigRect(skin::Rect{nLeft, nTop, nRight, nBottom},
                                           rcParent.Width(), rcParent.Height()));
}

CRect CalcConfigRect(const CRect& rcLayout, const CRect& rcParent) {
    return CalcConfigRect(rcLayout.left, rcLayout.top, rcLayout.right, rcLayout.bottom, rcParent);
}

CRect CalcWindowConfigRect(int nLeft, int nTop, int nRight, int nBottom, CWnd* pWnd) {
    return CalcConfigRect(nLeft, nTop, nRight, nBottom, ClientOf(pWnd));
}

CRect CalcWindowConfigRect(const CRect& rcLayout, CWnd* pWnd) {
    return CalcConfigRect(rcLayout, ClientOf(pWnd));
}

CRect CalcTextRect(int nLeft, int nTop, int nRight, int nBottom, CWnd* pWnd) {
    return ToCRect(
        skin::ResolveTextRect(skin::Rect{nLeft, nTop, nRight, nBottom}, ToSkin(ClientOf(pWnd))));
}

CRect CalcTextRect(const CRect& rcArea, CWnd* pWnd) {
    return CalcTextRect(rcArea.left, rcArea.top, rcArea.right, rcArea.bottom, pWnd);
}

CString GetAppFolder() {
    char path[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return CString(skin::FolderOfModule(path).c_str());
}

int ReadIniString(LPCTSTR lpszFile, LPCTSTR lpszSection, LPCTSTR lpszKey, CString& strValue) {
    char buffer[MAX_PATH] = {};
    const CString path = GetAppFolder() + (lpszFile ? lpszFile : "");
    const DWORD n =
        ::GetPrivateProfileStringA(lpszSection, lpszKey, "", buffer, sizeof buffer, path);
    strValue = buffer;
    return static_cast<int>(n);
}

void WriteIniString(LPCTSTR lpszFile, LPCTSTR lpszSection, LPCTSTR lpszKey, LPCTSTR lpszValue) {
    const std::string path = skin::ProfilePathFor(Str(lpszFile), Str(GetAppFolder()));
    ::WritePrivateProfileStringA(lpszSection, lpszKey, lpszValue, path.c_str());
}

void SetThemeFolder(LPCTSTR lpszFolder) {
    g_strSkinDir = skin::ThemeFolderFor(Str(lpszFolder), Str(GetAppFolder())).c_str();
}

void LoadThemePath() {
    CString path;
    ReadIniString("info.ini", "Theme", "Path", path);
    if (!path.IsEmpty()) SetThemeFolder(path);
}

CString GetThemeName() { return CString(skin::ThemeNameOf(Str(g_strSkinDir)).c_str()); }

BOOL ScanFolder(LPCTSTR lpszName, LPCTSTR lpszFolder) {
    if (!lpszFolder || !*lpszFolder || !lpszName) return FALSE;
    const std::string pattern = skin::FolderPattern(lpszFolder);
    WIN32_FIND_DATAA fd;
    HANDLE find = ::FindFirstFileA(pattern.c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return FALSE;
    BOOL found = FALSE;
    do {
        if (std::string(fd.cFileName) == lpszName) {
            found = TRUE;
            break;
        }
    } while (::FindNextFileA(find, &fd));
    ::FindClose(find);
    return found;
}

int FindLast(LPCTSTR lpszText, TCHAR chSeparator) {
    return skin::FindLast(Str(lpszText), chSeparator);
}

int FindLastInPrefix(LPCTSTR lpszText, TCHAR chSeparator, int nCount) {
    return skin::FindLastInPrefix(Str(lpszText), chSeparator, nCount);
}
