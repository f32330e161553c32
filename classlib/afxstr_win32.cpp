#include "classlib/afxstr.h"

#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;

// LoadStringA cannot report the length it needs: it cuts the text to the
// buffer. A result that fills the buffer may have been cut, so try again with
// a larger one. A table entry holds at most 65535 UTF-16 units, at most two
// bytes each in code page 949.
BOOL CString::LoadString(UINT nID) {
    HINSTANCE module = reinterpret_cast<HINSTANCE>(&__ImageBase);
    for (int size = 256; size <= 2 * 65536 + 2; size *= 2) {
        std::vector<char> buf(static_cast<size_t>(size));
        int n = ::LoadStringA(module, nID, buf.data(), size);
        if (n <= 0) {
            Empty();
            return FALSE;
        }
        if (n < size - 2) {
            *this = CString(buf.data(), n);
            return TRUE;
        }
    }
    Empty();
    return FALSE;
}
