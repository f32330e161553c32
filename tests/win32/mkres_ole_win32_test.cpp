// mkres's BMP and GIF output through the system's OLE picture loader, the
// way the program loads its images: each file loads without CoInitialize,
// has the drawn size, and renders the colours mkres drew.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::string ImagePath(const char* name) {
    std::string s = std::string("Z:") + DC_BINARY_DIR + "/testimages/" + name;
    for (auto& c : s)
        if (c == '/') c = '\\';
    return s;
}

IPicture* Load(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return nullptr;
    DWORD size = GetFileSize(f, nullptr), got = 0;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
    void* p = GlobalLock(mem);
    ReadFile(f, p, size, &got, nullptr);
    GlobalUnlock(mem);
    CloseHandle(f);
    IStream* stream = nullptr;
    IPicture* pic = nullptr;
    if (CreateStreamOnHGlobal(mem, TRUE, &stream) == S_OK) {
        OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                       reinterpret_cast<void**>(&pic));
        stream->Release();
    } else {
        GlobalFree(mem);
    }
    return pic;
}

struct OleCase {
    const char* file;
    int width, height;
    int x, y;        // a pixel to check
    COLORREF color;  // its colour as mkres drew it
    short type;      // PICTYPE_*
};

const OleCase kImages[] = {
    {"strip4.bmp", 96, 20, 0, 0, RGB(255, 0, 255), PICTYPE_BITMAP},        // key in the corner
    {"strip4.bmp", 96, 20, 12, 1, RGB(0x3C, 0x78, 0xB4), PICTYPE_BITMAP},  // normal body
    {"single.bmp", 33, 17, 16, 8, RGB(255, 255, 255), PICTYPE_BITMAP},     // the stop face
    {"still.gif", 40, 30, 0, 0, RGB(255, 0, 0), PICTYPE_BITMAP},           // checker colour 2
    {"still.gif", 40, 30, 4, 0, RGB(0, 0, 255), PICTYPE_BITMAP},           // checker colour 4
    {"anim.gif", 32, 24, 20, 20, RGB(0, 255, 0), PICTYPE_BITMAP},          // first frame only
    {"local.gif", 20, 20, 10, 10, RGB(0xC0, 0xC0, 0xC0), PICTYPE_BITMAP},  // local table colour 1
    {"app.ico", 32, 32, 16, 4, CLR_INVALID, PICTYPE_ICON},
};

class OleLoadTest : public ::testing::TestWithParam<OleCase> {};

TEST_P(OleLoadTest, LoadsWithItsSizeAndColours) {
    const OleCase& c = GetParam();
    IPicture* pic = Load(ImagePath(c.file));
    ASSERT_NE(pic, nullptr) << c.file;
    short type = 0;
    pic->get_Type(&type);
    EXPECT_EQ(type, c.type);
    OLE_XSIZE_HIMETRIC hw = 0;
    OLE_YSIZE_HIMETRIC hh = 0;
    pic->get_Width(&hw);
    pic->get_Height(&hh);
    HDC screen = GetDC(nullptr);
    const int w = MulDiv(hw, GetDeviceCaps(screen, LOGPIXELSX), 2540);
    const int h = MulDiv(hh, GetDeviceCaps(screen, LOGPIXELSY), 2540);
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, c.height);
    if (c.color != CLR_INVALID) {
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, c.width, c.height);
        HGDIOBJ old = SelectObject(mem, bmp);
        EXPECT_EQ(pic->Render(mem, 0, 0, c.width, c.height, 0, hh, hw, -hh, nullptr), S_OK);
        EXPECT_EQ(GetPixel(mem, c.x, c.y), c.color) << c.file << " at " << c.x << "," << c.y;
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
    }
    ReleaseDC(nullptr, screen);
    pic->Release();
}

INSTANTIATE_TEST_SUITE_P(Files, OleLoadTest, ::testing::ValuesIn(kImages),
                         [](const ::testing::TestParamInfo<OleCase>& i) {
                             std::string n = i.param.file;
                             for (auto& ch : n)
                                 if (ch == '.') ch = '_';
                             return n + "_" + std::to_string(i.index);
                         });

}  // namespace
