#include "classlib/afxdebug.h"

#include <cstdio>

void AfxOutputDebugString(const char* text) {
    if (text) std::fputs(text, stderr);
}
