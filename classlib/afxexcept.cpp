#include "classlib/afxexcept.h"

#include <cstring>

BOOL AfxCopyErrorText(LPCTSTR text, LPTSTR lpszError, UINT nMaxError) {
    if (!lpszError || nMaxError == 0) return FALSE;
    CString s(text);
    // Never leave half a double-byte character at the cut.
    CString cut = s.Left(static_cast<int>(nMaxError - 1));
    std::memcpy(lpszError, cut.GetString(), static_cast<size_t>(cut.GetLength()) + 1);
    return TRUE;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) {
    if (pnHelpContext) *pnHelpContext = 0;
    if (lpszError && nMaxError) *lpszError = '\0';
    return FALSE;
}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) {
    if (pnHelpContext) *pnHelpContext = 0;
    return AfxCopyErrorText("Out of memory.", lpszError, nMaxError);
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                             UINT* pnHelpContext) {
    if (pnHelpContext) *pnHelpContext = 0;
    return AfxCopyErrorText("Unsupported operation.", lpszError, nMaxError);
}

BOOL CResourceException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) {
    if (pnHelpContext) *pnHelpContext = 0;
    return AfxCopyErrorText("A required resource was unavailable.", lpszError, nMaxError);
}

void AfxThrowMemoryException() { throw new CMemoryException; }
void AfxThrowNotSupportedException() { throw new CNotSupportedException; }
void AfxThrowResourceException() { throw new CResourceException; }
