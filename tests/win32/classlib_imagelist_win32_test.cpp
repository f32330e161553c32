// The class library's image list: frames cut from one strip, the mask from
// a key colour, drawing a frame, and a list-less object refusing quietly.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/afxwin.h"

namespace {

// A strip of two 8 x 6 frames: red, then green, each with a magenta key
// pixel at its top-left corner.
void MakeStrip(CBitmap* bmp) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP h = CreateCompatibleBitmap(screen, 16, 6);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, h);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 16; ++x)
            SetPixel(dc, x, y,
                     (x % 8 == 0 && y == 0) ? RGB(255, 0, 255)
                     : x < 8                ? RGB(255, 0, 0)
                                            : RGB(0, 255, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    bmp->Attach(h);
}

// What drawing one frame at (2, 2) leaves on a white 16 x 12 surface.
std::vector<COLORREF> DrawFrame(const CImageList& list, int image, BOOL* ok) {
    HDC screen = GetDC(nullptr);
    CDC dc;
    dc.Attach(CreateCompatibleDC(screen));
    CBitmap surface;
    surface.Attach(CreateCompatibleBitmap(screen, 16, 12));
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc.m_hDC, surface.m_hObject);
    dc.FillSolidRect(0, 0, 16, 12, RGB(255, 255, 255));
    *ok = list.Draw(&dc, image, CPoint(2, 2), ILD_NORMAL);
    std::vector<COLORREF> px = {dc.GetPixel(2, 2), dc.GetPixel(5, 5), dc.GetPixel(12, 5)};
    SelectObject(dc.m_hDC, old);
    return px;
}

TEST(ImageList, FramesFromAStripWithAKeyColour) {
    CImageList list;
    EXPECT_EQ(0, list.GetImageCount());
    EXPECT_EQ(CSize(0, 0), list.GetIconSize());
    ASSERT_TRUE(list.Create(8, 6, ILC_COLOR24 | ILC_MASK, 2, 2));
    EXPECT_FALSE(list.Create(8, 6, ILC_COLOR24, 1, 1)) << "one list per object";
    EXPECT_EQ(CSize(8, 6), list.GetIconSize());
    CBitmap strip;
    MakeStrip(&strip);
    EXPECT_EQ(0, list.Add(&strip, RGB(255, 0, 255)));
    EXPECT_EQ(2, list.GetImageCount());
    IMAGEINFO info;
    ASSERT_TRUE(list.GetImageInfo(1, &info));
    EXPECT_EQ(8, info.rcImage.right - info.rcImage.left);
    EXPECT_EQ(6, info.rcImage.bottom - info.rcImage.top);

    struct Case {
        int image;
        COLORREF corner;  // the key pixel: the surface shows through
        COLORREF inside;
    };
    for (const Case& c : {Case{0, RGB(255, 255, 255), RGB(255, 0, 0)},
                          Case{1, RGB(255, 255, 255), RGB(0, 255, 0)}}) {
        BOOL ok = FALSE;
        const std::vector<COLORREF> px = DrawFrame(list, c.image, &ok);
        EXPECT_TRUE(ok) << c.image;
        EXPECT_EQ(c.corner, px[0]) << c.image;
        EXPECT_EQ(c.inside, px[1]) << c.image;
        EXPECT_EQ(RGB(255, 255, 255), px[2]) << "outside the frame " << c.image;
    }
    EXPECT_TRUE(list.Remove(0));
    EXPECT_EQ(1, list.GetImageCount());
}

TEST(ImageList, WithoutAListNothingHappens) {
    CImageList list;
    CBitmap strip;
    MakeStrip(&strip);
    EXPECT_EQ(-1, list.Add(&strip, RGB(255, 0, 255)));
    EXPECT_FALSE(list.Remove(0));
    BOOL ok = TRUE;
    DrawFrame(list, 0, &ok);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(list.DeleteImageList());
    EXPECT_FALSE(list.Create(0, 6, ILC_COLOR24, 1, 1));
    // A detached list outlives the object that made it.
    HIMAGELIST h;
    {
        CImageList owner;
        ASSERT_TRUE(owner.Create(4, 4, ILC_COLOR24, 1, 1));
        h = owner.Detach();
    }
    EXPECT_EQ(0, ImageList_GetImageCount(h));
    CImageList again;
    EXPECT_TRUE(again.Attach(h));
    EXPECT_EQ(CSize(4, 4), again.GetIconSize());
}

}  // namespace
