#include "classlib/afxdebug.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
std::atomic<AfxAssertHook> g_assertHook{nullptr};
}

AfxAssertHook AfxSetAssertHook(AfxAssertHook hook) { return g_assertHook.exchange(hook); }

void AfxAssertFailedLine(const char* file, int line, const char* expression) {
    AfxAssertHook hook = g_assertHook.load();
    if (hook) {
        hook(file, line, expression);
        return;
    }
    char text[1024];
    std::snprintf(text, sizeof text, "%s(%d): ASSERT failed: %s\n", file ? file : "?", line,
                  expression ? expression : "?");
    AfxOutputDebugString(text);
    std::abort();
}

void AfxTrace(const char* format, ...) {
    if (!format) return;
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (n >= 0) {
        std::vector<char> text(static_cast<size_t>(n) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        AfxOutputDebugString(text.data());
    }
    va_end(again);
}
