#include "classlib/afxstr.h"

// The native build has no resources.
BOOL CString::LoadString(UINT nID) {
    Empty();
    return FALSE;
}
