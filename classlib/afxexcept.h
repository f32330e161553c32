// Exceptions of the class library. They are thrown as pointers to heap
// objects, and the handler that catches one ends it with Delete():
//     try { file.Read(buf, n); }
//     catch (CFileException* e) { ...; e->Delete(); }
#pragma once

#include "classlib/afxtypes.h"
#include "classlib/afxstr.h"

class CException {
public:
    CException() = default;
    CException(const CException&) = delete;
    CException& operator=(const CException&) = delete;
    virtual ~CException() = default;

    // Ends an exception that a handler caught.
    void Delete() { delete this; }
    // Copies a description of the error into the buffer (cut to its size,
    // always terminated); FALSE when there is none.
    virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr);
};

class CMemoryException : public CException {
public:
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;
};

class CNotSupportedException : public CException {
public:
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;
};

class CResourceException : public CException {
public:
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowResourceException();

// Copies text into a caller's buffer of nMax bytes, cut at a character
// boundary and terminated. Returns FALSE when the buffer holds nothing.
BOOL AfxCopyErrorText(LPCTSTR text, LPTSTR lpszError, UINT nMaxError);
