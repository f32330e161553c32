#include "classlib/afxtypes.h"
#include "classlib/afxdebug.h"

#include <cstdio>

void AfxOutputDebugString(const char* text) {
    if (!text) return;
    OutputDebugStringA(text);
    std::fputs(text, stderr);
}
