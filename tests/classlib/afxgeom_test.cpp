// CPoint, CSize, CRect. The expectations follow the system's rectangle
// functions (right and bottom edges outside, empty rectangles reported), so
// the Windows build also checks them against the system in its own suite.
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "classlib/afxgeom.h"

namespace {

std::string Str(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

}  // namespace

TEST(CRect, Operations) {
    const CRect a(10, 20, 110, 70);
    struct Case {
        const char* name;
        CRect got;
        CRect expected;
    };
    auto with = [&](auto change) {
        CRect r(a);
        change(r);
        return r;
    };
    const Case cases[] = {
        {"offset by x, y", with([](CRect& r) { r.OffsetRect(-15, 5); }), CRect(-5, 25, 95, 75)},
        {"offset by a point", with([](CRect& r) { r.OffsetRect(CPoint(1, 2)); }),
         CRect(11, 22, 111, 72)},
        {"offset by a size", with([](CRect& r) { r.OffsetRect(CSize(-10, -20)); }),
         CRect(0, 0, 100, 50)},
        {"inflate x, y", with([](CRect& r) { r.InflateRect(2, 3); }), CRect(8, 17, 112, 73)},
        {"inflate by a size", with([](CRect& r) { r.InflateRect(CSize(1, 1)); }),
         CRect(9, 19, 111, 71)},
        {"inflate four sides", with([](CRect& r) { r.InflateRect(1, 2, 3, 4); }),
         CRect(9, 18, 113, 74)},
        {"inflate by a rectangle", with([](CRect& r) { r.InflateRect(CRect(1, 2, 3, 4)); }),
         CRect(9, 18, 113, 74)},
        {"deflate x, y", with([](CRect& r) { r.DeflateRect(2, 3); }), CRect(12, 23, 108, 67)},
        {"deflate by a size", with([](CRect& r) { r.DeflateRect(CSize(10, 10)); }),
         CRect(20, 30, 100, 60)},
        {"deflate four sides", with([](CRect& r) { r.DeflateRect(1, 2, 3, 4); }),
         CRect(11, 22, 107, 66)},
        {"deflate by a rectangle", with([](CRect& r) { r.DeflateRect(CRect(1, 2, 3, 4)); }),
         CRect(11, 22, 107, 66)},
        {"deflate past empty", with([](CRect& r) { r.DeflateRect(60, 0); }), CRect(70, 20, 50, 70)},
        {"move to x, y keeps the size", with([](CRect& r) { r.MoveToXY(0, 0); }),
         CRect(0, 0, 100, 50)},
        {"normalize swapped edges",
         with([](CRect& r) { r.SetRect(5, 9, 1, 2), r.NormalizeRect(); }), CRect(1, 2, 5, 9)},
        {"set empty", with([](CRect& r) { r.SetRectEmpty(); }), CRect(0, 0, 0, 0)},
        {"+= point", with([](CRect& r) { r += CPoint(1, 1); }), CRect(11, 21, 111, 71)},
        {"-= size", with([](CRect& r) { r -= CSize(10, 20); }), CRect(0, 0, 100, 50)},
        {"+= rectangle inflates", with([](CRect& r) { r += CRect(1, 1, 1, 1); }),
         CRect(9, 19, 111, 71)},
        {"-= rectangle deflates", with([](CRect& r) { r -= CRect(1, 1, 1, 1); }),
         CRect(11, 21, 109, 69)},
        {"&= overlapping", with([](CRect& r) { r &= CRect(100, 0, 200, 30); }),
         CRect(100, 20, 110, 30)},
        {"&= disjoint is empty", with([](CRect& r) { r &= CRect(200, 0, 300, 10); }),
         CRect(0, 0, 0, 0)},
        {"&= touching edge is empty", with([](CRect& r) { r &= CRect(110, 20, 120, 70); }),
         CRect(0, 0, 0, 0)},
        {"|= bounding box", with([](CRect& r) { r |= CRect(0, 0, 5, 5); }), CRect(0, 0, 110, 70)},
        {"|= empty leaves it", with([](CRect& r) { r |= CRect(500, 500, 500, 600); }), a},
        {"& operator", a & CRect(0, 0, 20, 30), CRect(10, 20, 20, 30)},
        {"| operator", a | CRect(200, 200, 201, 201), CRect(10, 20, 201, 201)},
        {"+ point", a + CPoint(-10, -20), CRect(0, 0, 100, 50)},
        {"- size", a - CSize(10, 20), CRect(0, 0, 100, 50)},
        {"point + rectangle", CPoint(1, 1) + static_cast<LPCRECT>(a), CRect(11, 21, 111, 71)},
        {"from point and size", CRect(CPoint(3, 4), CSize(10, 20)), CRect(3, 4, 13, 24)},
        {"from two points", CRect(CPoint(3, 4), CPoint(10, 20)), CRect(3, 4, 10, 20)},
        {"wraps instead of overflowing",
         with([](CRect& r) { r.SetRect(0, 0, INT_MAX, 1), r.OffsetRect(1, 0); }),
         CRect(1, 0, INT_MIN, 1)},
    };
    for (const Case& c : cases) EXPECT_EQ(Str(c.expected), Str(c.got)) << c.name;
}

TEST(CRect, Queries) {
    const CRect a(10, 20, 110, 70);
    EXPECT_EQ(100, a.Width());
    EXPECT_EQ(50, a.Height());
    EXPECT_TRUE(a.Size() == CSize(100, 50));
    EXPECT_TRUE(a.TopLeft() == CPoint(10, 20));
    EXPECT_TRUE(a.BottomRight() == CPoint(110, 70));
    EXPECT_TRUE(a.CenterPoint() == CPoint(60, 45));
    EXPECT_TRUE(CRect(-3, -3, 0, 0).CenterPoint() == CPoint(-1, -1)) << "rounds toward zero";
    EXPECT_TRUE(CRect(INT_MAX - 1, 0, INT_MAX, 2).CenterPoint() == CPoint(INT_MAX - 1, 1))
        << "no overflow at the edge";

    struct Point {
        const char* name;
        CPoint pt;
        bool inside;
    };
    const Point points[] = {
        {"top-left corner", CPoint(10, 20), true}, {"right edge", CPoint(110, 30), false},
        {"bottom edge", CPoint(50, 70), false},    {"last pixel", CPoint(109, 69), true},
        {"left of it", CPoint(9, 30), false},      {"above it", CPoint(50, 19), false},
    };
    for (const Point& p : points) EXPECT_EQ(p.inside, !!a.PtInRect(p.pt)) << p.name;

    struct Empty {
        const char* name;
        CRect r;
        bool empty;
        bool null;
    };
    const Empty empties[] = {
        {"ordinary", a, false, false},
        {"zero width", CRect(5, 5, 5, 10), true, false},
        {"zero height", CRect(5, 5, 10, 5), true, false},
        {"swapped edges", CRect(10, 10, 5, 20), true, false},
        {"all zero", CRect(), true, true},
        {"one pixel", CRect(0, 0, 1, 1), false, false},
    };
    for (const Empty& e : empties) {
        EXPECT_EQ(e.empty, !!e.r.IsRectEmpty()) << e.name;
        EXPECT_EQ(e.null, !!e.r.IsRectNull()) << e.name;
    }

    CRect r;
    EXPECT_FALSE(r.IntersectRect(CRect(0, 0, 0, 10), CRect(-5, -5, 5, 5)))
        << "an empty input intersects nothing";
    EXPECT_FALSE(r.UnionRect(CRect(0, 0, 0, 10), CRect(3, 3, 3, 3)));
    EXPECT_TRUE(r.IsRectNull());
    EXPECT_TRUE(r.UnionRect(CRect(0, 0, 0, 10), CRect(3, 3, 4, 4)));
    EXPECT_EQ("3,3,4,4", Str(r)) << "an empty input is left out of the union";
    r = a;
    EXPECT_TRUE(r.IntersectRect(&r, CRect(0, 0, 50, 50))) << "the result may be an input";
    EXPECT_EQ("10,20,50,50", Str(r));

    EXPECT_TRUE(a == CRect(10, 20, 110, 70));
    EXPECT_TRUE(a != CRect(10, 20, 110, 71));
    EXPECT_TRUE(a.EqualRect(CRect(10, 20, 110, 70)));
    LPCRECT lp = a;
    EXPECT_EQ(&a.left, &lp->left) << "the conversion points at the object itself";
    static_assert(sizeof(CRect) == sizeof(RECT), "CRect adds no members");
    static_assert(sizeof(CPoint) == sizeof(POINT), "CPoint adds no members");
    static_assert(sizeof(CSize) == sizeof(SIZE), "CSize adds no members");
}

TEST(CPoint, Arithmetic) {
    struct Case {
        const char* name;
        CPoint got;
        CPoint expected;
    };
    CPoint moved(1, 2);
    moved.Offset(3, 4);
    CPoint plus(1, 2);
    plus += CSize(10, 10);
    CPoint minus(1, 2);
    minus -= CPoint(1, 1);
    const Case cases[] = {
        {"offset", moved, CPoint(4, 6)},
        {"+= size", plus, CPoint(11, 12)},
        {"-= point", minus, CPoint(0, 1)},
        {"+ size", CPoint(1, 2) + CSize(1, 1), CPoint(2, 3)},
        {"- size", CPoint(1, 2) - CSize(1, 1), CPoint(0, 1)},
        {"negate", -CPoint(1, -2), CPoint(-1, 2)},
        {"mouse packing, signed words", CPoint(static_cast<DWORD>(0xFFFE0005u)), CPoint(5, -2)},
        {"mouse packing, high x", CPoint(static_cast<DWORD>(0x0001FFFFu)), CPoint(-1, 1)},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(c.got == c.expected) << c.name << ": " << c.got.x << "," << c.got.y;

    CSize d = CPoint(5, 7) - CPoint(2, 3);
    EXPECT_TRUE(d == CSize(3, 4)) << "point - point is a size";
    EXPECT_TRUE(CSize(1, 2) + CSize(3, 4) == CSize(4, 6));
    EXPECT_TRUE(CSize(1, 2) - CSize(3, 4) == CSize(-2, -2));
    EXPECT_TRUE(-CSize(1, 2) == CSize(-1, -2));
    EXPECT_TRUE(CPoint(1, 2) != CPoint(1, 3));
}
