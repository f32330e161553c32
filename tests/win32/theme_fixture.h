// Shared pieces of the skinned-control window tests: a stage whose parent
// lets its children show through (no WS_CLIPCHILDREN, as a dialog), image
// files written on the fly, and pixel counting on captures.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "classlib/afxwin.h"
#include "tests/harness/harness.h"

namespace themetest {

constexpr COLORREF kParentBack = RGB(250, 250, 250);

// The harness stage with a parent that does not clip its children, so a
// control without a back of its own shows the parent through it.
class SkinStage {
public:
    SkinStage() : stage_(400, 300, 100, 100, kParentBack) {
        const LONG_PTR style = GetWindowLongPtrA(stage_.parent(), GWL_STYLE);
        SetWindowLongPtrA(stage_.parent(), GWL_STYLE, style & ~LONG_PTR(WS_CLIPCHILDREN));
    }
    HWND parent() const { return stage_.parent(); }
    CWnd* parentWnd() const { return CWnd::FromHandle(stage_.parent()); }
    uitest::RecordingWindow& log() { return stage_.log(); }

private:
    uitest::Stage stage_;
};

// Pumps until the screen shows what was painted.
inline void Settle() {
    uitest::PumpFor(80);
    GdiFlush();
}

inline uitest::Picture Shot(HWND hwnd) {
    Settle();
    return uitest::CaptureClient(hwnd);
}

inline std::string Hex(COLORREF c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06lX", static_cast<unsigned long>(c));
    return buf;
}

// Pixels of the rectangle that pass the test.
inline int Count(const uitest::Picture& p, const RECT& r,
                 const std::function<bool(COLORREF)>& test) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF c = p.At(x, y);
            if (c != CLR_INVALID && test(c)) ++n;
        }
    return n;
}

// Text-coloured pixels, allowing for smoothing against a light back.
inline std::function<bool(COLORREF)> NearColor(COLORREF c, int tol) {
    return [c, tol](COLORREF p) { return uitest::ColorNear(p, c, tol); };
}

inline void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
inline void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

// Writes a 24-bit BMP file of w x h from a colour function; returns its
// path in the temporary folder.
inline std::string WriteBmp(const char* name, int w, int h,
                            const std::function<COLORREF(int, int)>& f) {
    const int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> v = {'B', 'M'};
    Put32(v, 54 + stride * h);
    Put32(v, 0);
    Put32(v, 54);
    Put32(v, 40);
    Put32(v, w);
    Put32(v, h);
    Put16(v, 1);
    Put16(v, 24);
    Put32(v, 0);
    Put32(v, stride * h);
    Put32(v, 2835);
    Put32(v, 2835);
    Put32(v, 0);
    Put32(v, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const COLORREF c = f(x, y);
            v.push_back(GetBValue(c));
            v.push_back(GetGValue(c));
            v.push_back(GetRValue(c));
        }
        for (int p = w * 3; p < stride; ++p) v.push_back(0);
    }
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        std::fwrite(v.data(), 1, v.size(), file);
        std::fclose(file);
    }
    return path;
}

}  // namespace themetest
