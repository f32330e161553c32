#include "ThemeClass/ThemeLayout.h"

#include <climits>

namespace skin {

namespace {

int ClampToInt(int64_t v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace

int ResolveConfigCoord(int value, int extent) {
    // 64 bits throughout: |INT_MIN| does not fit an int, and the per-mille
    // product must not go through a double (E = 1001 would lose a pixel).
    const int64_t v = value;
    const int64_t mag = v < 0 ? -v : v;
    const int64_t e = extent;
    if (mag < 10000) return ClampToInt(v >= 0 ? v : e + v);
    int64_t permille;
    int64_t pixels;
    if (mag == 10000000) {
        permille = 1000;
        pixels = 0;
    } else {
        permille = mag / 10000;
        pixels = mag - permille * 10000;
    }
    if (v < 0) pixels = -pixels;
    // Integer division truncates toward zero, as the rule asks.
    return ClampToInt(permille * e / 1000 + pixels);
}

Rect ResolveConfigRect(const Rect& values, int width, int height) {
    Rect r;
    r.left = ResolveConfigCoord(values.left, width);
    r.top = ResolveConfigCoord(values.top, height);
    r.right = ResolveConfigCoord(values.right, width);
    r.bottom = ResolveConfigCoord(values.bottom, height);
    return r;
}

Rect ResolveTextRect(const Rect& values, const Rect& client) {
    Rect r;
    r.left = ClampToInt(int64_t(client.left) + values.left);
    r.top = ClampToInt(int64_t(client.top) + values.top);
    r.right = values.right < 1 ? ClampToInt(int64_t(client.right) + values.right) : values.right;
    r.bottom =
        values.bottom < 1 ? ClampToInt(int64_t(client.bottom) + values.bottom) : values.bottom;
    return r;
}

std::vector<std::string> SplitCaptionLines(const std::string& text, bool emptyTailLine) {
    std::vector<std::string> lines;
    std::string rest = text;
    for (;;) {
        if (!emptyTailLine && rest.empty()) break;
        if (static_cast<int>(lines.size()) == kMaxTextLines) break;
        // A line feed anywhere wins over an earlier backslash-n pair.
        size_t cut = rest.find('\n');
        size_t skip = 1;
        if (cut == std::string::npos) {
            cut = rest.find("\\n");
            skip = 2;
        }
        if (cut == std::string::npos) {
            lines.push_back(rest);
            break;
        }
        lines.push_back(rest.substr(0, cut));
        rest.erase(0, cut + skip);
    }
    return lines;
}

std::string ExpandLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out.push_back('\n');
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::vector<std::string> SplitDrawLines(const std::string& text) {
    const std::string s = ExpandLineBreaks(text);
    std::vector<std::string> lines;
    size_t start = 0;
    while (static_cast<int>(lines.size()) < kMaxTextLines) {
        const size_t lf = s.find('\n', start);
        if (lf == std::string::npos) {
            if (start < s.size() || lines.empty()) lines.push_back(s.substr(start));
            break;
        }
        lines.push_back(s.substr(start, lf - start));
        start = lf + 1;
        if (start == s.size()) break;  // a trailing line feed ends the text
    }
    return lines;
}

std::vector<Rect> CaptionBands(const Rect& area, int lines) {
    std::vector<Rect> bands;
    if (lines <= 0) return bands;
    const int64_t h = int64_t(area.bottom) - area.top;
    const int64_t bandHeight = h / lines;
    for (int i = 0; i < lines; ++i) {
        Rect b = area;
        b.top = ClampToInt(area.top + int64_t(i) * h / lines);
        b.bottom = ClampToInt(int64_t(b.top) + bandHeight);
        bands.push_back(b);
    }
    return bands;
}

std::vector<Rect> DrawTextBands(const Rect& area, int lines) {
    std::vector<Rect> bands;
    if (lines <= 0) return bands;
    const int64_t h = int64_t(area.bottom) - area.top;
    const int64_t l = h / lines;
    const int64_t first = area.top + (h - l * lines) / 2;
    for (int i = 0; i < lines; ++i) {
        Rect b = area;
        b.top = ClampToInt(first + l * i);
        b.bottom = ClampToInt(first + l * i + l);
        bands.push_back(b);
    }
    return bands;
}

std::vector<Piece> NineGridPieces(const Rect& src, const Rect& dst, int cx, int cy) {
    // Column and row edges of both rectangles: near corner, middle, far
    // corner.
    const int sx[4] = {src.left, src.left + cx, src.right - cx, src.right};
    const int sy[4] = {src.top, src.top + cy, src.bottom - cy, src.bottom};
    const int dx[4] = {dst.left, dst.left + cx, dst.right - cx, dst.right};
    const int dy[4] = {dst.top, dst.top + cy, dst.bottom - cy, dst.bottom};
    auto piece = [&](int col, int row) {
        Piece p;
        p.src = Rect{sx[col], sy[row], sx[col + 1], sy[row + 1]};
        p.dst = Rect{dx[col], dy[row], dx[col + 1], dy[row + 1]};
        return p;
    };
    return {piece(1, 1), piece(1, 0), piece(1, 2), piece(0, 1), piece(2, 1),
            piece(0, 0), piece(2, 0), piece(0, 2), piece(2, 2)};
}

int NineGridFrameCorner(int sourceExtent) {
    return int64_t(sourceExtent) - 2 <= 100 ? sourceExtent / 3 : 50;
}

std::vector<Piece> TilePieces(const Rect& src, const Rect& dst) {
    std::vector<Piece> tiles;
    const int w = src.Width();
    const int h = src.Height();
    if (w <= 0 || h <= 0) return tiles;
    for (int64_t y = dst.top; y < dst.bottom; y += h) {
        const int th = static_cast<int>(y + h > dst.bottom ? dst.bottom - y : h);
        for (int64_t x = dst.left; x < dst.right; x += w) {
            const int tw = static_cast<int>(x + w > dst.right ? dst.right - x : w);
            Piece p;
            p.dst = Rect{int(x), int(y), int(x) + tw, int(y) + th};
            p.src = Rect{src.left, src.top, src.left + tw, src.top + th};
            tiles.push_back(p);
        }
    }
    return tiles;
}

Rect AlignImage(const Rect& area, int w, int h, uint32_t flags) {
    // The image keeps its own size in every case, so an odd width is not
    // squeezed by a pixel when centred.
    Rect r;
    if (flags & kAlignRight) {
        r.right = area.right;
        r.left = area.right - w;
    } else if (flags & kAlignCenter) {
        r.left = (area.left + area.right) / 2 - w / 2;
        r.right = r.left + w;
    } else {
        r.left = area.left;
        r.right = area.left + w;
    }
    if (flags & kAlignBottom) {
        r.bottom = area.bottom;
        r.top = area.bottom - h;
    } else if (flags & kAlignVCenter) {
        r.top = (area.top + area.bottom) / 2 - h / 2;
        r.bottom = r.top + h;
    } else {
        r.top = area.top;
        r.bottom = area.top + h;
    }
    return r;
}

Rect AlignFrame(const Rect& client, int w, int h, uint32_t flags) {
    return AlignImage(client, w, h, flags);
}

std::vector<Rect> OutlineRings(const Rect& r, int thickness) {
    std::vector<Rect> rings;
    for (int i = 0; i < thickness; ++i) {
        Rect ring{r.left + i, r.top + i, r.right - 1 - i, r.bottom - 1 - i};
        if (ring.left > ring.right || ring.top > ring.bottom) break;
        rings.push_back(ring);
    }
    return rings;
}

Rect RoundBackRect(const Rect& r, int thickness) {
    int a = thickness / 2;
    int b = (thickness % 2 == 0) ? a - 1 : a;
    if (a < 0) a = 0;
    if (b < 0) b = 0;
    return Rect{r.left + a, r.top + a, r.right - b, r.bottom - b};
}

}  // namespace skin
