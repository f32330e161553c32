// Live GDI objects counted by handle: a creation that succeeds adds its
// handle, a DeleteObject/DeleteDC that succeeds on a known handle removes
// it. Unknown handles (stock objects, objects made before the counter was
// installed) are ignored, so a double delete or a stock delete cannot hide a
// leak.
#include <map>

#include "tests/harness/harness.h"
#include "tests/harness/iat_patch.h"

namespace uitest {

namespace {

CRITICAL_SECTION g_lock;
bool g_lockReady = false;
bool g_installed = false;
std::map<void*, GdiKind>* g_live = nullptr;
std::map<void*, int>* g_windowDCs = nullptr;

struct Lock {
    Lock() { EnterCriticalSection(&g_lock); }
    ~Lock() { LeaveCriticalSection(&g_lock); }
};

void Track(void* h, GdiKind kind) {
    if (!h) return;
    Lock l;
    (*g_live)[h] = kind;
}

void Untrack(void* h) {
    Lock l;
    g_live->erase(h);
}

}  // namespace

// One replacement per creating function: the macro keeps the signatures
// exact (stdcall on i686).
#define UITEST_COUNTED(KIND, RET, NAME, PARAMS, ARGS)                      \
    namespace {                                                            \
    void* real_##NAME = nullptr;                                           \
    RET WINAPI hook_##NAME PARAMS {                                        \
        RET made_ = reinterpret_cast<decltype(&::NAME)>(real_##NAME) ARGS; \
        Track(reinterpret_cast<void*>(made_), GdiKind::KIND);              \
        return made_;                                                      \
    }                                                                      \
    }

UITEST_COUNTED(Brush, HBRUSH, CreateSolidBrush, (COLORREF c), (c))
UITEST_COUNTED(Brush, HBRUSH, CreatePatternBrush, (HBITMAP b), (b))
UITEST_COUNTED(Brush, HBRUSH, CreateHatchBrush, (int s, COLORREF c), (s, c))
UITEST_COUNTED(Brush, HBRUSH, CreateBrushIndirect, (const LOGBRUSH* lb), (lb))
UITEST_COUNTED(Brush, HBRUSH, CreateDIBPatternBrush, (HGLOBAL g, UINT u), (g, u))
UITEST_COUNTED(Brush, HBRUSH, CreateDIBPatternBrushPt, (const void* p, UINT u), (p, u))
UITEST_COUNTED(Pen, HPEN, CreatePen, (int s, int w, COLORREF c), (s, w, c))
UITEST_COUNTED(Pen, HPEN, CreatePenIndirect, (const LOGPEN* lp), (lp))
UITEST_COUNTED(Pen, HPEN, ExtCreatePen,
               (DWORD s, DWORD w, const LOGBRUSH* lb, DWORD n, const DWORD* st), (s, w, lb, n, st))
UITEST_COUNTED(Font, HFONT, CreateFontA,
               (int h, int w, int e, int o, int wt, DWORD i, DWORD u, DWORD so, DWORD cs, DWORD op,
                DWORD cp, DWORD q, DWORD pf, LPCSTR f),
               (h, w, e, o, wt, i, u, so, cs, op, cp, q, pf, f))
UITEST_COUNTED(Font, HFONT, CreateFontW,
               (int h, int w, int e, int o, int wt, DWORD i, DWORD u, DWORD so, DWORD cs, DWORD op,
                DWORD cp, DWORD q, DWORD pf, LPCWSTR f),
               (h, w, e, o, wt, i, u, so, cs, op, cp, q, pf, f))
UITEST_COUNTED(Font, HFONT, CreateFontIndirectA, (const LOGFONTA* lf), (lf))
UITEST_COUNTED(Font, HFONT, CreateFontIndirectW, (const LOGFONTW* lf), (lf))
UITEST_COUNTED(Bitmap, HBITMAP, CreateBitmap, (int w, int h, UINT p, UINT b, const void* bits),
               (w, h, p, b, bits))
UITEST_COUNTED(Bitmap, HBITMAP, CreateBitmapIndirect, (const BITMAP* bm), (bm))
UITEST_COUNTED(Bitmap, HBITMAP, CreateCompatibleBitmap, (HDC dc, int w, int h), (dc, w, h))
UITEST_COUNTED(Bitmap, HBITMAP, CreateDiscardableBitmap, (HDC dc, int w, int h), (dc, w, h))
UITEST_COUNTED(Bitmap, HBITMAP, CreateDIBitmap,
               (HDC dc, const BITMAPINFOHEADER* h, DWORD i, const void* b, const BITMAPINFO* bi,
                UINT u),
               (dc, h, i, b, bi, u))
UITEST_COUNTED(Bitmap, HBITMAP, CreateDIBSection,
               (HDC dc, const BITMAPINFO* bi, UINT u, void** bits, HANDLE s, DWORD o),
               (dc, bi, u, bits, s, o))
UITEST_COUNTED(Bitmap, HBITMAP, LoadBitmapA, (HINSTANCE i, LPCSTR n), (i, n))
UITEST_COUNTED(Bitmap, HBITMAP, LoadBitmapW, (HINSTANCE i, LPCWSTR n), (i, n))
UITEST_COUNTED(Region, HRGN, CreateRectRgn, (int l, int t, int r, int b), (l, t, r, b))
UITEST_COUNTED(Region, HRGN, CreateRectRgnIndirect, (const RECT* r), (r))
UITEST_COUNTED(Region, HRGN, CreateRoundRectRgn, (int l, int t, int r, int b, int w, int h),
               (l, t, r, b, w, h))
UITEST_COUNTED(Region, HRGN, CreateEllipticRgn, (int l, int t, int r, int b), (l, t, r, b))
UITEST_COUNTED(Region, HRGN, CreateEllipticRgnIndirect, (const RECT* r), (r))
UITEST_COUNTED(Region, HRGN, CreatePolygonRgn, (const POINT* p, int n, int m), (p, n, m))
UITEST_COUNTED(Region, HRGN, CreatePolyPolygonRgn, (const POINT* p, const INT* c, int n, int m),
               (p, c, n, m))
UITEST_COUNTED(Region, HRGN, ExtCreateRegion, (const XFORM* x, DWORD n, const RGNDATA* d),
               (x, n, d))
UITEST_COUNTED(Region, HRGN, PathToRegion, (HDC dc), (dc))
UITEST_COUNTED(Palette, HPALETTE, CreatePalette, (const LOGPALETTE* lp), (lp))
UITEST_COUNTED(Palette, HPALETTE, CreateHalftonePalette, (HDC dc), (dc))
UITEST_COUNTED(DC, HDC, CreateCompatibleDC, (HDC dc), (dc))
UITEST_COUNTED(DC, HDC, CreateDCA, (LPCSTR d, LPCSTR n, LPCSTR o, const DEVMODEA* m), (d, n, o, m))
UITEST_COUNTED(DC, HDC, CreateDCW, (LPCWSTR d, LPCWSTR n, LPCWSTR o, const DEVMODEW* m),
               (d, n, o, m))
UITEST_COUNTED(DC, HDC, CreateICA, (LPCSTR d, LPCSTR n, LPCSTR o, const DEVMODEA* m), (d, n, o, m))
UITEST_COUNTED(DC, HDC, CreateICW, (LPCWSTR d, LPCWSTR n, LPCWSTR o, const DEVMODEW* m),
               (d, n, o, m))

#undef UITEST_COUNTED

namespace {

void* real_LoadImageA = nullptr;
void* real_LoadImageW = nullptr;
void* real_CopyImage = nullptr;
void* real_DeleteObject = nullptr;
void* real_DeleteDC = nullptr;
void* real_GetDC = nullptr;
void* real_GetWindowDC = nullptr;
void* real_GetDCEx = nullptr;
void* real_ReleaseDC = nullptr;

// Images are counted only when they are bitmaps; icons and cursors have
// their own destroy functions.
HANDLE WINAPI hook_LoadImageA(HINSTANCE i, LPCSTR n, UINT t, int w, int h, UINT f) {
    HANDLE r = reinterpret_cast<decltype(&::LoadImageA)>(real_LoadImageA)(i, n, t, w, h, f);
    if (t == IMAGE_BITMAP) Track(r, GdiKind::Bitmap);
    return r;
}
HANDLE WINAPI hook_LoadImageW(HINSTANCE i, LPCWSTR n, UINT t, int w, int h, UINT f) {
    HANDLE r = reinterpret_cast<decltype(&::LoadImageW)>(real_LoadImageW)(i, n, t, w, h, f);
    if (t == IMAGE_BITMAP) Track(r, GdiKind::Bitmap);
    return r;
}
HANDLE WINAPI hook_CopyImage(HANDLE s, UINT t, int w, int h, UINT f) {
    HANDLE r = reinterpret_cast<decltype(&::CopyImage)>(real_CopyImage)(s, t, w, h, f);
    if (t == IMAGE_BITMAP) {
        if ((f & LR_COPYDELETEORG) && r) Untrack(s);
        Track(r, GdiKind::Bitmap);
    }
    return r;
}
BOOL WINAPI hook_DeleteObject(HGDIOBJ h) {
    BOOL ok = reinterpret_cast<decltype(&::DeleteObject)>(real_DeleteObject)(h);
    if (ok) Untrack(h);
    return ok;
}
BOOL WINAPI hook_DeleteDC(HDC h) {
    BOOL ok = reinterpret_cast<decltype(&::DeleteDC)>(real_DeleteDC)(h);
    if (ok) Untrack(h);
    return ok;
}

void TrackWindowDC(HDC dc) {
    if (!dc) return;
    Lock l;
    ++(*g_windowDCs)[dc];
}
HDC WINAPI hook_GetDC(HWND w) {
    HDC dc = reinterpret_cast<decltype(&::GetDC)>(real_GetDC)(w);
    TrackWindowDC(dc);
    return dc;
}
HDC WINAPI hook_GetWindowDC(HWND w) {
    HDC dc = reinterpret_cast<decltype(&::GetWindowDC)>(real_GetWindowDC)(w);
    TrackWindowDC(dc);
    return dc;
}
HDC WINAPI hook_GetDCEx(HWND w, HRGN r, DWORD f) {
    HDC dc = reinterpret_cast<decltype(&::GetDCEx)>(real_GetDCEx)(w, r, f);
    TrackWindowDC(dc);
    return dc;
}
int WINAPI hook_ReleaseDC(HWND w, HDC dc) {
    int ok = reinterpret_cast<decltype(&::ReleaseDC)>(real_ReleaseDC)(w, dc);
    if (ok) {
        Lock l;
        auto it = g_windowDCs->find(dc);
        if (it != g_windowDCs->end() && --it->second == 0) g_windowDCs->erase(it);
    }
    return ok;
}

#define UITEST_HOOK(DLL, NAME) \
    { DLL, #NAME, reinterpret_cast<void*>(&hook_##NAME), &real_##NAME }

detail::ImportHook g_hooks[] = {
    UITEST_HOOK("gdi32.dll", CreateSolidBrush),
    UITEST_HOOK("gdi32.dll", CreatePatternBrush),
    UITEST_HOOK("gdi32.dll", CreateHatchBrush),
    UITEST_HOOK("gdi32.dll", CreateBrushIndirect),
    UITEST_HOOK("gdi32.dll", CreateDIBPatternBrush),
    UITEST_HOOK("gdi32.dll", CreateDIBPatternBrushPt),
    UITEST_HOOK("gdi32.dll", CreatePen),
    UITEST_HOOK("gdi32.dll", CreatePenIndirect),
    UITEST_HOOK("gdi32.dll", ExtCreatePen),
    UITEST_HOOK("gdi32.dll", CreateFontA),
    UITEST_HOOK("gdi32.dll", CreateFontW),
    UITEST_HOOK("gdi32.dll", CreateFontIndirectA),
    UITEST_HOOK("gdi32.dll", CreateFontIndirectW),
    UITEST_HOOK("gdi32.dll", CreateBitmap),
    UITEST_HOOK("gdi32.dll", CreateBitmapIndirect),
    UITEST_HOOK("gdi32.dll", CreateCompatibleBitmap),
    UITEST_HOOK("gdi32.dll", CreateDiscardableBitmap),
    UITEST_HOOK("gdi32.dll", CreateDIBitmap),
    UITEST_HOOK("gdi32.dll", CreateDIBSection),
    UITEST_HOOK("user32.dll", LoadBitmapA),
    UITEST_HOOK("user32.dll", LoadBitmapW),
    UITEST_HOOK("gdi32.dll", CreateRectRgn),
    UITEST_HOOK("gdi32.dll", CreateRectRgnIndirect),
    UITEST_HOOK("gdi32.dll", CreateRoundRectRgn),
    UITEST_HOOK("gdi32.dll", CreateEllipticRgn),
    UITEST_HOOK("gdi32.dll", CreateEllipticRgnIndirect),
    UITEST_HOOK("gdi32.dll", CreatePolygonRgn),
    UITEST_HOOK("gdi32.dll", CreatePolyPolygonRgn),
    UITEST_HOOK("gdi32.dll", ExtCreateRegion),
    UITEST_HOOK("gdi32.dll", PathToRegion),
    UITEST_HOOK("gdi32.dll", CreatePalette),
    UITEST_HOOK("gdi32.dll", CreateHalftonePalette),
    UITEST_HOOK("gdi32.dll", CreateCompatibleDC),
    UITEST_HOOK("gdi32.dll", CreateDCA),
    UITEST_HOOK("gdi32.dll", CreateDCW),
    UITEST_HOOK("gdi32.dll", CreateICA),
    UITEST_HOOK("gdi32.dll", CreateICW),
    UITEST_HOOK("user32.dll", LoadImageA),
    UITEST_HOOK("user32.dll", LoadImageW),
    UITEST_HOOK("user32.dll", CopyImage),
    UITEST_HOOK("gdi32.dll", DeleteObject),
    UITEST_HOOK("gdi32.dll", DeleteDC),
    UITEST_HOOK("user32.dll", GetDC),
    UITEST_HOOK("user32.dll", GetWindowDC),
    UITEST_HOOK("user32.dll", GetDCEx),
    UITEST_HOOK("user32.dll", ReleaseDC),
};

#undef UITEST_HOOK

}  // namespace

bool InstallGdiCounter(bool allModules) {
    if (!g_lockReady) {
        InitializeCriticalSection(&g_lock);
        g_live = new std::map<void*, GdiKind>;
        g_windowDCs = new std::map<void*, int>;
        g_lockReady = true;
    }
    detail::PatchImports(g_hooks, static_cast<int>(sizeof g_hooks / sizeof g_hooks[0]), allModules);
    g_installed = real_CreateSolidBrush != nullptr && real_DeleteObject != nullptr;
    return g_installed;
}

long LiveGdiObjects() {
    if (!g_installed) InstallGdiCounter();
    Lock l;
    return static_cast<long>(g_live->size());
}

long LiveGdiObjects(GdiKind kind) {
    if (!g_installed) InstallGdiCounter();
    Lock l;
    long n = 0;
    for (const auto& e : *g_live)
        if (e.second == kind) ++n;
    return n;
}

long LiveWindowDCs() {
    if (!g_installed) InstallGdiCounter();
    Lock l;
    long n = 0;
    for (const auto& e : *g_windowDCs) n += e.second;
    return n;
}

}  // namespace uitest
