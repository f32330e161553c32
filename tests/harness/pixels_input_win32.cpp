#include <cstdio>
#include <cstdlib>

#include "tests/harness/harness.h"

namespace uitest {

// ---------------------------------------------------------------- pixels

COLORREF Picture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    uint32_t p = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int Picture::CountColor(COLORREF c, const RECT& rect, int tol) const {
    int n = 0;
    for (int y = rect.top < 0 ? 0 : rect.top; y < rect.bottom && y < height; ++y)
        for (int x = rect.left < 0 ? 0 : rect.left; x < rect.right && x < width; ++x)
            n += ColorNear(At(x, y), c, tol);
    return n;
}

bool Picture::SaveBmp(const char* path) const {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t dataSize = static_cast<uint32_t>(stride) * static_cast<uint32_t>(height);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + dataSize;
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = width;
    ih.biHeight = height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = dataSize;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
            row[x * 3] = p & 0xFF;
            row[x * 3 + 1] = (p >> 8) & 0xFF;
            row[x * 3 + 2] = (p >> 16) & 0xFF;
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

namespace {

// Runs draw(memoryDC) on a top-down 32-bit DIB section of w x h and copies
// the bits out.
template <typename Draw>
Picture IntoDib(int w, int h, Draw draw) {
    Picture pic;
    if (w <= 0 || h <= 0) return pic;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (mem && dib && bits) {
        HGDIOBJ old = SelectObject(mem, dib);
        if (draw(mem)) {
            GdiFlush();
            pic.width = w;
            pic.height = h;
            const uint32_t* p = static_cast<const uint32_t*>(bits);
            pic.pixels.assign(p, p + static_cast<size_t>(w) * static_cast<size_t>(h));
            for (auto& px : pic.pixels) px &= 0xFFFFFF;
        }
        SelectObject(mem, old);
    }
    if (dib) DeleteObject(dib);
    if (mem) DeleteDC(mem);
    return pic;
}

}  // namespace

Picture CaptureClient(HWND hwnd) {
    RECT rc;
    if (!GetClientRect(hwnd, &rc)) return {};
    UpdateWindow(hwnd);
    return IntoDib(rc.right, rc.bottom, [&](HDC mem) {
        HDC dc = GetDC(hwnd);
        if (!dc) return false;
        BOOL ok = BitBlt(mem, 0, 0, rc.right, rc.bottom, dc, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, dc);
        return ok != FALSE;
    });
}

Picture CaptureByPrint(HWND hwnd, UINT flags) {
    RECT rc;
    if (flags & PW_CLIENTONLY) {
        if (!GetClientRect(hwnd, &rc)) return {};
    } else {
        if (!GetWindowRect(hwnd, &rc)) return {};
        OffsetRect(&rc, -rc.left, -rc.top);
    }
    return IntoDib(rc.right, rc.bottom,
                   [&](HDC mem) { return PrintWindow(hwnd, mem, flags) != FALSE; });
}

void FlushToScreen() {
    GdiFlush();
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
}

Picture CaptureScreen(const RECT& r) {
    FlushToScreen();
    return IntoDib(r.right - r.left, r.bottom - r.top, [&](HDC mem) {
        HDC dc = GetDC(nullptr);
        if (!dc) return false;
        BOOL ok = BitBlt(mem, 0, 0, r.right - r.left, r.bottom - r.top, dc, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, dc);
        return ok != FALSE;
    });
}

COLORREF ScreenPixel(int x, int y) {
    FlushToScreen();
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

COLORREF ClientPixel(HWND hwnd, int x, int y) {
    POINT p = ClientToScreenPoint(hwnd, x, y);
    return ScreenPixel(p.x, p.y);
}

bool ColorNear(COLORREF a, COLORREF b, int tol) {
    if (a == CLR_INVALID || b == CLR_INVALID) return a == b;
    return std::abs(GetRValue(a) - GetRValue(b)) <= tol &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tol &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tol;
}

// ---------------------------------------------------------------- input

namespace {

// Long enough for the window to see each step, short enough for many steps.
const DWORD kStepMs = 30;

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

DWORD DownFlag(Button b) {
    return b == Button::Left    ? MOUSEEVENTF_LEFTDOWN
           : b == Button::Right ? MOUSEEVENTF_RIGHTDOWN
                                : MOUSEEVENTF_MIDDLEDOWN;
}

DWORD UpFlag(Button b) {
    return b == Button::Left    ? MOUSEEVENTF_LEFTUP
           : b == Button::Right ? MOUSEEVENTF_RIGHTUP
                                : MOUSEEVENTF_MIDDLEUP;
}

void SendKey(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    switch (vk) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_INSERT:
        case VK_DELETE: in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY; break;
        default: break;
    }
    SendInput(1, &in, sizeof in);
}

}  // namespace

POINT ClientToScreenPoint(HWND hwnd, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

void MoveCursor(int x, int y) {
    SetCursorPos(x, y);
    // Absolute input is in 1/65536 of the screen; rounding up lands on the
    // pixel whether the system truncates or rounds.
    const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const LONG dx = static_cast<LONG>((static_cast<LONGLONG>(x) * 65536 + w - 1) / w);
    const LONG dy = static_cast<LONG>((static_cast<LONGLONG>(y) * 65536 + h - 1) / h);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, dx, dy);
    PumpFor(kStepMs);
    POINT now;
    if (GetCursorPos(&now) && (now.x != x || now.y != y)) {
        SetCursorPos(x, y);
        PumpFor(kStepMs);
    }
}

void MoveCursorClient(HWND hwnd, int x, int y) {
    POINT p = ClientToScreenPoint(hwnd, x, y);
    MoveCursor(p.x, p.y);
}

void MouseDown(Button b) {
    SendMouse(DownFlag(b));
    PumpFor(kStepMs);
}

void MouseUp(Button b) {
    SendMouse(UpFlag(b));
    PumpFor(kStepMs);
}

void ClickClient(HWND hwnd, int x, int y, Button b) {
    MoveCursorClient(hwnd, x, y);
    MouseDown(b);
    MouseUp(b);
}

void DoubleClickClient(HWND hwnd, int x, int y) {
    MoveCursorClient(hwnd, x, y);
    // Both clicks well inside the double-click time, without pumping in
    // between so that a slow pump cannot split them.
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    PumpFor(kStepMs * 2);
}

void DragClient(HWND hwnd, POINT from, POINT to, int steps) {
    if (steps < 1) steps = 1;
    MoveCursorClient(hwnd, from.x, from.y);
    MouseDown(Button::Left);
    for (int i = 1; i <= steps; ++i)
        MoveCursorClient(hwnd, from.x + (to.x - from.x) * i / steps,
                         from.y + (to.y - from.y) * i / steps);
    MouseUp(Button::Left);
}

void HoverClient(HWND hwnd, int x, int y, DWORD ms) {
    MoveCursorClient(hwnd, x, y);
    PumpFor(ms);
}

void KeyDown(WORD vk) {
    SendKey(vk, false);
    PumpFor(kStepMs);
}

void KeyUp(WORD vk) {
    SendKey(vk, true);
    PumpFor(kStepMs);
}

void KeyPress(WORD vk) {
    SendKey(vk, false);
    SendKey(vk, true);
    PumpFor(kStepMs);
}

void KeyChord(std::initializer_list<WORD> keys) {
    for (WORD k : keys) SendKey(k, false);
    for (auto it = keys.end(); it != keys.begin();) SendKey(*--it, true);
    PumpFor(kStepMs);
}

void PostKey(HWND hwnd, WORD vk) {
    const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    PostMessageA(hwnd, WM_KEYDOWN, vk, static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageA(hwnd, WM_KEYUP, vk, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
    PumpPending();
}

bool BringToFront(HWND hwnd) {
    HWND top = GetAncestor(hwnd, GA_ROOT);
    SetForegroundWindow(top);
    SetActiveWindow(top);
    SetFocus(hwnd);
    PumpFor(kStepMs);
    return GetForegroundWindow() == top;
}

}  // namespace uitest
