// CPoint, CSize and CRect over the system's POINT, SIZE and RECT. Every
// operation is computed here, without system calls, so the two builds agree.
// Arithmetic wraps like the 32-bit integers of the system's own rectangle
// functions instead of overflowing.
//
// Rectangles follow the system's rules: the right and bottom edges are
// outside; a rectangle whose width or height is not positive is empty; the
// intersection or union of empty rectangles is the empty rectangle
// (0, 0, 0, 0) and reports FALSE.
#pragma once

#include "classlib/afxtypes.h"

namespace afxgeom {
// Two's-complement wrap-around on the 32-bit LONG of the system's
// rectangles; signed overflow would be undefined.
inline LONG Add(LONG a, LONG b) {
    return static_cast<LONG>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline LONG Sub(LONG a, LONG b) {
    return static_cast<LONG>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline LONG Neg(LONG a) { return Sub(0, a); }
inline LONG Mid(LONG a, LONG b) {
    return static_cast<LONG>((static_cast<int64_t>(a) + static_cast<int64_t>(b)) / 2);
}
}  // namespace afxgeom

class CSize;
class CRect;

class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int initX, int initY) : POINT{initX, initY} {}
    CPoint(POINT pt) : POINT(pt) {}
    CPoint(SIZE size) : POINT{size.cx, size.cy} {}
    // Low word x, high word y, both signed: the packing of mouse messages.
    explicit CPoint(DWORD dwPoint)
        : POINT{static_cast<SHORT>(LOWORD(dwPoint)), static_cast<SHORT>(HIWORD(dwPoint))} {}

    void Offset(int xOffset, int yOffset) {
        x = afxgeom::Add(x, xOffset);
        y = afxgeom::Add(y, yOffset);
    }
    void Offset(POINT pt) { Offset(pt.x, pt.y); }
    void Offset(SIZE size) { Offset(size.cx, size.cy); }
    void SetPoint(int X, int Y) {
        x = X;
        y = Y;
    }

    BOOL operator==(POINT pt) const { return x == pt.x && y == pt.y; }
    BOOL operator!=(POINT pt) const { return !(*this == pt); }
    void operator+=(SIZE size) { Offset(size); }
    void operator-=(SIZE size) { Offset(afxgeom::Neg(size.cx), afxgeom::Neg(size.cy)); }
    void operator+=(POINT pt) { Offset(pt); }
    void operator-=(POINT pt) { Offset(afxgeom::Neg(pt.x), afxgeom::Neg(pt.y)); }

    CPoint operator+(SIZE size) const;
    CPoint operator-(SIZE size) const;
    CPoint operator-() const { return CPoint(afxgeom::Neg(x), afxgeom::Neg(y)); }
    CPoint operator+(POINT pt) const;
    CSize operator-(POINT pt) const;
    CRect operator+(const RECT* lpRect) const;
    CRect operator-(const RECT* lpRect) const;
};

class CSize : public SIZE {
public:
    CSize() : SIZE{0, 0} {}
    CSize(int initCX, int initCY) : SIZE{initCX, initCY} {}
    CSize(SIZE size) : SIZE(size) {}
    CSize(POINT pt) : SIZE{pt.x, pt.y} {}
    explicit CSize(DWORD dwSize)
        : SIZE{static_cast<SHORT>(LOWORD(dwSize)), static_cast<SHORT>(HIWORD(dwSize))} {}

    BOOL operator==(SIZE size) const { return cx == size.cx && cy == size.cy; }
    BOOL operator!=(SIZE size) const { return !(*this == size); }
    void operator+=(SIZE size) {
        cx = afxgeom::Add(cx, size.cx);
        cy = afxgeom::Add(cy, size.cy);
    }
    void operator-=(SIZE size) {
        cx = afxgeom::Sub(cx, size.cx);
        cy = afxgeom::Sub(cy, size.cy);
    }
    void SetSize(int CX, int CY) {
        cx = CX;
        cy = CY;
    }

    CSize operator+(SIZE size) const {
        return CSize(afxgeom::Add(cx, size.cx), afxgeom::Add(cy, size.cy));
    }
    CSize operator-(SIZE size) const {
        return CSize(afxgeom::Sub(cx, size.cx), afxgeom::Sub(cy, size.cy));
    }
    CSize operator-() const { return CSize(afxgeom::Neg(cx), afxgeom::Neg(cy)); }
    CPoint operator+(POINT pt) const {
        return CPoint(afxgeom::Add(cx, pt.x), afxgeom::Add(cy, pt.y));
    }
    CPoint operator-(POINT pt) const {
        return CPoint(afxgeom::Sub(cx, pt.x), afxgeom::Sub(cy, pt.y));
    }
    CRect operator+(const RECT* lpRect) const;
    CRect operator-(const RECT* lpRect) const;
};

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& src) : RECT(src) {}
    CRect(const RECT* lpSrc) : RECT(lpSrc ? *lpSrc : RECT{0, 0, 0, 0}) {}
    CRect(POINT point, SIZE size)
        : RECT{point.x, point.y, afxgeom::Add(point.x, size.cx), afxgeom::Add(point.y, size.cy)} {}
    CRect(POINT topLeft, POINT bottomRight)
        : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

    int Width() const { return afxgeom::Sub(right, left); }
    int Height() const { return afxgeom::Sub(bottom, top); }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const {
        return CPoint(afxgeom::Mid(left, right), afxgeom::Mid(top, bottom));
    }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT point) const {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }

    void SetRect(int x1, int y1, int x2, int y2) {
        left = x1;
        top = y1;
        right = x2;
        bottom = y2;
    }
    void SetRect(POINT topLeft, POINT bottomRight) {
        SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(LPCRECT lpSrc) {
        if (lpSrc) *static_cast<RECT*>(this) = *lpSrc;
    }
    BOOL EqualRect(LPCRECT lpRect) const {
        return lpRect && left == lpRect->left && top == lpRect->top && right == lpRect->right &&
               bottom == lpRect->bottom;
    }

    void InflateRect(int x, int y) { InflateRect(x, y, x, y); }
    void InflateRect(SIZE size) { InflateRect(size.cx, size.cy); }
    void InflateRect(LPCRECT lpRect) {
        if (lpRect) InflateRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }
    void InflateRect(int l, int t, int r, int b) {
        left = afxgeom::Sub(left, l);
        top = afxgeom::Sub(top, t);
        right = afxgeom::Add(right, r);
        bottom = afxgeom::Add(bottom, b);
    }
    void DeflateRect(int x, int y) { DeflateRect(x, y, x, y); }
    void DeflateRect(SIZE size) { DeflateRect(size.cx, size.cy); }
    void DeflateRect(LPCRECT lpRect) {
        if (lpRect) DeflateRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }
    void DeflateRect(int l, int t, int r, int b) {
        InflateRect(afxgeom::Neg(l), afxgeom::Neg(t), afxgeom::Neg(r), afxgeom::Neg(b));
    }

    void OffsetRect(int x, int y) {
        left = afxgeom::Add(left, x);
        right = afxgeom::Add(right, x);
        top = afxgeom::Add(top, y);
        bottom = afxgeom::Add(bottom, y);
    }
    void OffsetRect(POINT point) { OffsetRect(point.x, point.y); }
    void OffsetRect(SIZE size) { OffsetRect(size.cx, size.cy); }
    void MoveToX(int x) {
        right = afxgeom::Add(x, Width());
        left = x;
    }
    void MoveToY(int y) {
        bottom = afxgeom::Add(y, Height());
        top = y;
    }
    void MoveToXY(int x, int y) {
        MoveToX(x);
        MoveToY(y);
    }
    void MoveToXY(POINT point) { MoveToXY(point.x, point.y); }

    // Swaps the edges where left > right or top > bottom.
    void NormalizeRect() {
        if (left > right) {
            LONG t = left;
            left = right;
            right = t;
        }
        if (top > bottom) {
            LONG t = top;
            top = bottom;
            bottom = t;
        }
    }

    BOOL IntersectRect(LPCRECT lpRect1, LPCRECT lpRect2);
    BOOL UnionRect(LPCRECT lpRect1, LPCRECT lpRect2);

    CRect& operator=(const RECT& src) {
        CopyRect(&src);
        return *this;
    }
    BOOL operator==(const RECT& rect) const { return EqualRect(&rect); }
    BOOL operator!=(const RECT& rect) const { return !EqualRect(&rect); }
    void operator+=(POINT point) { OffsetRect(point); }
    void operator+=(SIZE size) { OffsetRect(size); }
    void operator+=(LPCRECT lpRect) { InflateRect(lpRect); }
    void operator-=(POINT point) { OffsetRect(afxgeom::Neg(point.x), afxgeom::Neg(point.y)); }
    void operator-=(SIZE size) { OffsetRect(afxgeom::Neg(size.cx), afxgeom::Neg(size.cy)); }
    void operator-=(LPCRECT lpRect) { DeflateRect(lpRect); }
    void operator&=(const RECT& rect) { IntersectRect(this, &rect); }
    void operator|=(const RECT& rect) { UnionRect(this, &rect); }

    CRect operator+(POINT pt) const {
        CRect r(*this);
        r.OffsetRect(pt);
        return r;
    }
    CRect operator-(POINT pt) const {
        CRect r(*this);
        r -= pt;
        return r;
    }
    CRect operator+(SIZE size) const {
        CRect r(*this);
        r.OffsetRect(size);
        return r;
    }
    CRect operator-(SIZE size) const {
        CRect r(*this);
        r -= size;
        return r;
    }
    CRect operator+(LPCRECT lpRect) const {
        CRect r(*this);
        r.InflateRect(lpRect);
        return r;
    }
    CRect operator-(LPCRECT lpRect) const {
        CRect r(*this);
        r.DeflateRect(lpRect);
        return r;
    }
    CRect operator&(const RECT& rect) const {
        CRect r;
        r.IntersectRect(this, &rect);
        return r;
    }
    CRect operator|(const RECT& rect) const {
        CRect r;
        r.UnionRect(this, &rect);
        return r;
    }
};

inline CPoint CPoint::operator+(SIZE size) const {
    CPoint p(*this);
    p += size;
    return p;
}
inline CPoint CPoint::operator-(SIZE size) const {
    CPoint p(*this);
    p -= size;
    return p;
}
inline CPoint CPoint::operator+(POINT pt) const {
    CPoint p(*this);
    p += pt;
    return p;
}
inline CSize CPoint::operator-(POINT pt) const {
    return CSize(afxgeom::Sub(x, pt.x), afxgeom::Sub(y, pt.y));
}
inline CRect CPoint::operator+(const RECT* lpRect) const {
    CRect r(lpRect);
    r.OffsetRect(*this);
    return r;
}
inline CRect CPoint::operator-(const RECT* lpRect) const {
    CRect r(lpRect);
    r.OffsetRect(afxgeom::Neg(x), afxgeom::Neg(y));
    return r;
}
inline CRect CSize::operator+(const RECT* lpRect) const {
    CRect r(lpRect);
    r.OffsetRect(*this);
    return r;
}
inline CRect CSize::operator-(const RECT* lpRect) const {
    CRect r(lpRect);
    r.OffsetRect(afxgeom::Neg(cx), afxgeom::Neg(cy));
    return r;
}

inline BOOL CRect::IntersectRect(LPCRECT lpRect1, LPCRECT lpRect2) {
    if (!lpRect1 || !lpRect2) {
        SetRectEmpty();
        return FALSE;
    }
    RECT a = *lpRect1, b = *lpRect2;  // either may be this rectangle
    RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    if (CRect(a).IsRectEmpty() || CRect(b).IsRectEmpty() || CRect(r).IsRectEmpty()) {
        SetRectEmpty();
        return FALSE;
    }
    *static_cast<RECT*>(this) = r;
    return TRUE;
}

inline BOOL CRect::UnionRect(LPCRECT lpRect1, LPCRECT lpRect2) {
    CRect a(lpRect1), b(lpRect2);  // copies: either may be this rectangle
    if (a.IsRectEmpty()) {
        if (b.IsRectEmpty()) {
            SetRectEmpty();
            return FALSE;
        }
        *this = b;
        return TRUE;
    }
    if (b.IsRectEmpty()) {
        *this = a;
        return TRUE;
    }
    SetRect(a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
            a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom);
    return TRUE;
}
