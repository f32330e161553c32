// Geometry and text layout of the skin library: the edge-relative position
// rule, caption rectangles, nine-part frames, tiling, alignment, and the
// cutting of captions into lines and equal bands. Plain integers and
// strings only, so that the rules are tested natively; the window classes
// and the drawing routines call them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skin {

// Same layout as a Windows RECT: right and bottom exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return left >= right || top >= bottom; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Rect& o) const { return !(*this == o); }
};

// ---- position rule

// One edge of a skin position resolved against the extent E of the parent:
// below 10000 in magnitude it is pixels (negative: from the far edge),
// 10000000 in magnitude is E, anything else is thousandths of E (|v| / 10000)
// plus pixels (the remainder, negated for a negative v). The product is
// taken exactly in 64 bits; results beyond the int range are clamped.
int ResolveConfigCoord(int value, int extent);

// Left and right against width, top and bottom against height; the parent's
// own origin is not added.
Rect ResolveConfigRect(const Rect& values, int width, int height);

// A caption area against a client rectangle: left and top offset the
// client's; a right or bottom value of 0 or less counts back from the
// client's far edge, a positive one is taken as it stands.
Rect ResolveTextRect(const Rect& values, const Rect& client);

// ---- text lines

// The line store of captions and tips holds at most this many lines;
// further lines are dropped.
constexpr int kMaxTextLines = 50;

// Cutting of a control caption: at each step the first line feed, or when
// there is none the first backslash-n pair, ends the next line. With
// emptyTailLine false (labels) the cutting stops when the rest is empty, so
// an empty text gives no line and a trailing break no empty line; with it
// true (buttons) the rest after the last break is always a line.
std::vector<std::string> SplitCaptionLines(const std::string& text, bool emptyTailLine);

// Cutting of the multi-line text drawer: every backslash-n pair becomes a
// line feed, then the text is cut at line feeds; a trailing line feed gives
// no empty last line and an empty text one empty line.
std::vector<std::string> SplitDrawLines(const std::string& text);

// Every backslash-n pair replaced by a line feed.
std::string ExpandLineBreaks(const std::string& text);

// Bands of a caption: band i starts trunc(i * H / n) below top and is
// trunc(H / n) high (the block is not centred).
std::vector<Rect> CaptionBands(const Rect& area, int lines);

// Bands of the multi-line text drawer: L = H / n each, the block centred by
// (H - L * n) / 2.
std::vector<Rect> DrawTextBands(const Rect& area, int lines);

// ---- image layouts

// One blit of a layout: a source rectangle of the bitmap and where it goes.
struct Piece {
    Rect src;
    Rect dst;
    bool operator==(const Piece& o) const { return src == o.src && dst == o.dst; }
};

// The nine blits of a nine-part frame with corners cx by cy, in drawing
// order: centre, top, bottom, left, right, then the corners top-left,
// top-right, bottom-left, bottom-right.
std::vector<Piece> NineGridPieces(const Rect& src, const Rect& dst, int cx, int cy);

// Corner size of the fixed nine-part frame for one source extent: 50, or a
// third of the extent when the extent less 2 is 100 or below.
int NineGridFrameCorner(int sourceExtent);

// Tiles of the source over the destination, cut at the far edges (the
// source cut by the same amount). An empty source gives no tile.
std::vector<Piece> TilePieces(const Rect& src, const Rect& dst);

// DrawText alignment bits used by the image alignment.
constexpr uint32_t kAlignCenter = 0x1;
constexpr uint32_t kAlignRight = 0x2;
constexpr uint32_t kAlignVCenter = 0x4;
constexpr uint32_t kAlignBottom = 0x8;
constexpr uint32_t kAlignSingleLine = 0x20;

// A whole image of w by h placed unscaled in the area by the flags.
Rect AlignImage(const Rect& area, int w, int h, uint32_t flags);

// One frame (w by h) of a strip placed by the flags: centred horizontally
// as centre - w/2; left and top alignment put the frame at 0.
Rect AlignFrame(const Rect& client, int w, int h, uint32_t flags);

// ---- outlines

// The rectangles of the nested outlines of an outlined back: thickness
// rings, the first on the rectangle less one pixel at right and bottom,
// each next one pixel further in. Thickness 0 or less gives none.
std::vector<Rect> OutlineRings(const Rect& r, int thickness);

// The rectangle of a rounded back: shrunk by a = t / 2 at left and top and
// by a (odd t) or a - 1 (even t) at right and bottom, both kept at 0 or
// more.
Rect RoundBackRect(const Rect& r, int thickness);

}  // namespace skin
