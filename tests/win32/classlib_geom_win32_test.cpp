// CRect under Windows: the portable suite, then the same operations against
// the system's own rectangle functions on many small random rectangles
// (small coordinates, so that overlaps, touching edges and empty or inverted
// rectangles are frequent).
#include "../classlib/afxgeom_test.cpp"

#include <random>

TEST(CRectWin32, AgreesWithTheSystem) {
    std::mt19937 rng(949);
    std::uniform_int_distribution<int> coord(-6, 6);
    auto random = [&] { return CRect(coord(rng), coord(rng), coord(rng), coord(rng)); };
    int failures = 0;
    for (int i = 0; i < 20000 && failures < 10; ++i) {
        const CRect a = random(), b = random();
        const std::string where = "a=" + Str(a) + " b=" + Str(b);

        CRect ours;
        RECT sys;
        BOOL got = ours.IntersectRect(a, b);
        BOOL want = ::IntersectRect(&sys, &a, &b);
        if (!!got != !!want || !ours.EqualRect(&sys)) {
            ++failures;
            ADD_FAILURE() << "intersect " << where << ": " << Str(ours) << " vs " << Str(sys);
        }
        got = ours.UnionRect(a, b);
        want = ::UnionRect(&sys, &a, &b);
        if (!!got != !!want || !ours.EqualRect(&sys)) {
            ++failures;
            ADD_FAILURE() << "union " << where << ": " << Str(ours) << " vs " << Str(sys);
        }
        const POINT pt = {coord(rng), coord(rng)};
        if (!!a.PtInRect(pt) != !!::PtInRect(&a, pt)) {
            ++failures;
            ADD_FAILURE() << "point in " << where;
        }
        if (!!a.IsRectEmpty() != !!::IsRectEmpty(&a)) {
            ++failures;
            ADD_FAILURE() << "empty " << where;
        }
        ours = a;
        sys = a;
        ours.InflateRect(b.left, b.top);
        ::InflateRect(&sys, b.left, b.top);
        ours.OffsetRect(b.right, b.bottom);
        ::OffsetRect(&sys, b.right, b.bottom);
        if (!ours.EqualRect(&sys)) {
            ++failures;
            ADD_FAILURE() << "inflate and offset " << where;
        }
    }
    EXPECT_EQ(0, failures);
}
