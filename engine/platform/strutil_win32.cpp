// The ANSI code page conversions on Windows come from the platform.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "engine/platform/strutil.h"

uint32_t Ansi_ToWide(const char* text, int32_t length, char16_t* out, uint32_t outChars) {
    if (outChars == 0) return 0;
    int n = length < 0 ? (int)strlen(text) : length;
    if (n == 0) {
        out[0] = 0;
        return 0;
    }
    wchar_t* wout = reinterpret_cast<wchar_t*>(out);
    int need = MultiByteToWideChar(CP_ACP, 0, text, n, nullptr, 0);
    int got;
    if (need <= (int)outChars - 1) {
        got = MultiByteToWideChar(CP_ACP, 0, text, n, wout, need);
    } else {
        // Too long: convert whole, keep what fits.
        wchar_t* tmp = static_cast<wchar_t*>(malloc((size_t)need * sizeof(wchar_t)));
        if (!tmp) {
            out[0] = 0;
            return 0;
        }
        MultiByteToWideChar(CP_ACP, 0, text, n, tmp, need);
        got = (int)outChars - 1;
        memcpy(wout, tmp, (size_t)got * sizeof(wchar_t));
        free(tmp);
    }
    if (got < 0) got = 0;
    out[got] = 0;
    return (uint32_t)got;
}

uint32_t Wide_ToAnsi(const char16_t* text, int32_t length, char* out, uint32_t outBytes) {
    if (outBytes == 0) return 0;
    int n = 0;
    if (length < 0)
        while (text[n]) ++n;
    else
        n = length;
    if (n == 0) {
        out[0] = 0;
        return 0;
    }
    const wchar_t* wtext = reinterpret_cast<const wchar_t*>(text);
    int need = WideCharToMultiByte(CP_ACP, 0, wtext, n, nullptr, 0, nullptr, nullptr);
    int got;
    if (need <= (int)outBytes - 1) {
        got = WideCharToMultiByte(CP_ACP, 0, wtext, n, out, need, nullptr, nullptr);
    } else {
        char* tmp = static_cast<char*>(malloc((size_t)need));
        if (!tmp) {
            out[0] = 0;
            return 0;
        }
        WideCharToMultiByte(CP_ACP, 0, wtext, n, tmp, need, nullptr, nullptr);
        // Cut before a character that would not fit whole.
        int keep = 0;
        while (keep < need) {
            int step = IsDBCSLeadByte((BYTE)tmp[keep]) && keep + 1 < need ? 2 : 1;
            if (keep + step > (int)outBytes - 1) break;
            keep += step;
        }
        memcpy(out, tmp, (size_t)keep);
        got = keep;
        free(tmp);
    }
    if (got < 0) got = 0;
    out[got] = 0;
    return (uint32_t)got;
}
