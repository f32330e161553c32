#include "tools/mkres/images.h"

#include "tools/mkres/gif_lzw.h"

namespace mkres {

namespace {

void Put16(std::vector<uint8_t>& o, unsigned v) {
    o.push_back(static_cast<uint8_t>(v));
    o.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& o, uint32_t v) {
    for (int i = 0; i < 4; ++i) o.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t Shade(uint32_t c, int num, int den) {
    auto ch = [&](int s) {
        int v = static_cast<int>((c >> s) & 0xFF) * num / den;
        return static_cast<uint32_t>(v > 255 ? 255 : v) << s;
    };
    return ch(16) | ch(8) | ch(0);
}

// Pixel rows of a 24-bit bottom-up DIB, each padded to 4 bytes.
void PutDibRows(std::vector<uint8_t>& o, const Image& img) {
    const int pad = (4 - (img.width * 3) % 4) % 4;
    for (int y = img.height - 1; y >= 0; --y) {
        for (int x = 0; x < img.width; ++x) {
            uint32_t p = img.at(x, y);
            o.push_back(static_cast<uint8_t>(p));
            o.push_back(static_cast<uint8_t>(p >> 8));
            o.push_back(static_cast<uint8_t>(p >> 16));
        }
        o.insert(o.end(), static_cast<size_t>(pad), 0);
    }
}

void PutInfoHeader(std::vector<uint8_t>& o, int w, int h, uint32_t imageBytes) {
    Put32(o, 40);
    Put32(o, static_cast<uint32_t>(w));
    Put32(o, static_cast<uint32_t>(h));
    Put16(o, 1);
    Put16(o, 24);
    Put32(o, 0);  // BI_RGB
    Put32(o, imageBytes);
    Put32(o, 2835);  // 72 dpi
    Put32(o, 2835);
    Put32(o, 0);
    Put32(o, 0);
}

// Inside a rounded rectangle (x0, y0)-(x1, y1) exclusive, corner radius r.
bool InRounded(int x, int y, int x0, int y0, int x1, int y1, int r) {
    if (x < x0 || y < y0 || x >= x1 || y >= y1) return false;
    int cx = x < x0 + r ? x0 + r : (x >= x1 - r ? x1 - r - 1 : x);
    int cy = y < y0 + r ? y0 + r : (y >= y1 - r ? y1 - r - 1 : y);
    int dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= r * r;
}

void DrawFace(Image& img, int ox, int w, int h, Face face, uint32_t ink) {
    const int s = (w < h ? w : h) / 2;  // face size
    const int cx = ox + w / 2, cy = h / 2;
    for (int y = 0; y < h; ++y) {
        for (int x = ox; x < ox + w; ++x) {
            const int dx = x - cx, dy = y - cy;
            bool on = false;
            switch (face) {
                case Face::Plain: break;
                case Face::Play:  // a triangle pointing right
                    on = dx >= -s / 2 && dx < s / 2 && 2 * (dy < 0 ? -dy : dy) <= s / 2 - dx;
                    break;
                case Face::Pause:
                    on = (dy >= -s / 2 && dy < s / 2) &&
                         ((dx >= -s / 2 && dx < -s / 6) || (dx >= s / 6 && dx < s / 2));
                    break;
                case Face::Stop:
                    on = dx >= -s / 2 && dx < s / 2 && dy >= -s / 2 && dy < s / 2;
                    break;
                case Face::Circle: on = 4 * (dx * dx + dy * dy) <= s * s; break;
                case Face::Cross: {  // two strokes two pixels wide
                    const int ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
                    const int d = ax - ay;
                    on = ax <= s / 2 && ay <= s / 2 && d >= -1 && d <= 1;
                    break;
                }
                case Face::Minus:
                    on = dx >= -s / 2 && dx < s / 2 && dy >= s / 4 && dy < s / 4 + 2 + s / 8;
                    break;
                case Face::Next: {
                    const int tx = dx + s / 8;  // the triangle sits left of the bar
                    const bool tri =
                        tx >= -s / 2 && tx < s / 3 && 2 * (dy < 0 ? -dy : dy) <= s / 3 - tx;
                    const bool bar = dx >= s / 3 && dx < s / 2 && dy >= -s / 2 && dy < s / 2;
                    on = tri || bar;
                    break;
                }
                case Face::Eject: {
                    const bool tri =
                        dy >= -s / 2 && dy < s / 6 && 2 * (dx < 0 ? -dx : dx) <= dy + s / 2;
                    const bool bar = dy >= s / 4 && dy < s / 2 && dx >= -s / 2 && dx < s / 2;
                    on = tri || bar;
                    break;
                }
                case Face::Rewind:
                case Face::Forward: {
                    // Two triangles side by side, each half the face wide.
                    const int fx = face == Face::Forward ? dx : -dx - 1;
                    const int lx = fx < 0 ? fx + s / 2 : fx;  // 0..s/2 inside each half
                    on = fx >= -s / 2 && fx < s / 2 && 4 * (dy < 0 ? -dy : dy) <= s - 2 * lx;
                    break;
                }
                case Face::Speaker:
                case Face::Mute: {
                    const int ay = dy < 0 ? -dy : dy;
                    const bool box = dx >= -s / 2 && dx < -s / 4 && ay <= s / 6;
                    const bool cone = dx >= -s / 4 && dx < 0 && ay <= s / 6 + (dx + s / 4);
                    bool right = false;
                    if (face == Face::Speaker) {  // two arcs
                        const int r2 = dx * dx + dy * dy;
                        const int r1 = s / 4, r3 = s / 2;
                        right = dx > 0 && ((r2 >= r1 * r1 && r2 <= (r1 + 1) * (r1 + 1)) ||
                                           (r2 >= r3 * r3 && r2 <= (r3 + 1) * (r3 + 1)));
                    } else {
                        const int mx = dx - s / 4, amx = mx < 0 ? -mx : mx;
                        const int d = amx - ay;
                        right = dx > 0 && amx <= s / 4 && ay <= s / 4 && d >= -1 && d <= 1;
                    }
                    on = box || cone || right;
                    break;
                }
                case Face::Grid: {
                    // Light lines at the quarters of the height, and a margin
                    // line on the left, as the scale of a graph.
                    const int y = dy + h / 2, x = dx + w / 2;
                    const bool row = (y == h / 4 || y == h / 2 || y == 3 * h / 4) && x >= w / 14;
                    const bool margin = x == w / 14 && y >= 2 && y < h - 2;
                    on = row || margin;
                    break;
                }
                case Face::Dial: {
                    // Ticks on a ring, every 30 degrees, by their coordinates on
                    // the axes and the diagonals.
                    const int r2 = dx * dx + dy * dy;
                    const int ro = 9 * w / 20, ri = 7 * w / 20;
                    const int ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
                    const bool ring = r2 <= ro * ro && r2 >= ri * ri;
                    const bool axis = ax <= 1 || ay <= 1;
                    const bool diagonal = (ax - ay <= 1 && ay - ax <= 1);
                    const bool edge = r2 <= ro * ro && r2 >= (ro - 2) * (ro - 2);
                    on = (ring && (axis || diagonal)) || edge;
                    break;
                }
            }
            if (on) img.at(x, y) = ink;
        }
    }
}

}  // namespace

bool ParseFace(const std::string& s, Face* f) {
    static const struct {
        const char* name;
        Face face;
    } kFaces[] = {{"plain", Face::Plain},   {"play", Face::Play},       {"pause", Face::Pause},
                  {"stop", Face::Stop},     {"circle", Face::Circle},   {"cross", Face::Cross},
                  {"minus", Face::Minus},   {"next", Face::Next},       {"eject", Face::Eject},
                  {"rewind", Face::Rewind}, {"forward", Face::Forward}, {"speaker", Face::Speaker},
                  {"mute", Face::Mute},     {"grid", Face::Grid},       {"dial", Face::Dial}};
    for (const auto& e : kFaces)
        if (s == e.name) {
            *f = e.face;
            return true;
        }
    return false;
}

Image DrawStrip(int w, int h, int frames, Face face, uint32_t color, int round) {
    Image img(w * frames, h, kKey);
    // normal, hover (lighter), pressed (darker), disabled (grey)
    const uint32_t bodies[4] = {color, Shade(color, 5, 4), Shade(color, 3, 5), 0xA0A0A0};
    const uint32_t inks[4] = {0xFFFFFF, 0xFFFFFF, 0xE0E0E0, 0xD0D0D0};
    const int r = round >= 0 ? round : (w < h ? w : h) / 5;
    for (int f = 0; f < frames; ++f) {
        const int ox = f * w;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (!InRounded(x, y, 0, 0, w, h, r)) continue;
                // A one-pixel darker border inside the body.
                const bool edge = !InRounded(x, y, 1, 1, w - 1, h - 1, r > 0 ? r - 1 : 0);
                img.at(ox + x, y) = edge ? Shade(bodies[f & 3], 1, 2) : bodies[f & 3];
            }
        DrawFace(img, ox, w, h, face, inks[f & 3]);
    }
    return img;
}

std::vector<uint8_t> EncodeBmp24(const Image& img) {
    const uint32_t stride = static_cast<uint32_t>((img.width * 3 + 3) & ~3);
    const uint32_t bytes = stride * static_cast<uint32_t>(img.height);
    std::vector<uint8_t> o;
    o.push_back('B');
    o.push_back('M');
    Put32(o, 14 + 40 + bytes);
    Put32(o, 0);
    Put32(o, 14 + 40);
    PutInfoHeader(o, img.width, img.height, bytes);
    PutDibRows(o, img);
    return o;
}

std::vector<uint8_t> EncodeIco(const std::vector<int>& sizes, uint32_t color) {
    std::vector<std::vector<uint8_t>> entries;
    for (int n : sizes) {
        Image img(n, n, 0x000000);
        std::vector<bool> opaque(static_cast<size_t>(n) * n, false);
        const int c2 = n;  // centre doubled, to stay in integers
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const int dx = 2 * x + 1 - c2, dy = 2 * y + 1 - c2;
                if (dx * dx + dy * dy > n * n) continue;
                opaque[static_cast<size_t>(y) * n + x] = true;
                // A white bar across the middle as the mark.
                const bool mark = dy * dy * 16 <= n * n && dx * dx * 4 <= n * n;
                img.at(x, y) = mark ? 0xFFFFFF : color;
            }
        std::vector<uint8_t> e;
        const uint32_t xorStride = static_cast<uint32_t>((n * 3 + 3) & ~3);
        const uint32_t andStride = static_cast<uint32_t>(((n + 31) / 32) * 4);
        PutInfoHeader(e, n, 2 * n, (xorStride + andStride) * static_cast<uint32_t>(n));
        PutDibRows(e, img);
        for (int y = n - 1; y >= 0; --y) {
            std::vector<uint8_t> row(andStride, 0);
            for (int x = 0; x < n; ++x)
                if (!opaque[static_cast<size_t>(y) * n + x])
                    row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
            e.insert(e.end(), row.begin(), row.end());
        }
        entries.push_back(std::move(e));
    }
    std::vector<uint8_t> o;
    Put16(o, 0);
    Put16(o, 1);  // icon
    Put16(o, static_cast<unsigned>(entries.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const int n = sizes[i];
        o.push_back(static_cast<uint8_t>(n >= 256 ? 0 : n));
        o.push_back(static_cast<uint8_t>(n >= 256 ? 0 : n));
        o.push_back(0);  // no palette
        o.push_back(0);
        Put16(o, 1);   // planes
        Put16(o, 24);  // bits
        Put32(o, static_cast<uint32_t>(entries[i].size()));
        Put32(o, offset);
        offset += static_cast<uint32_t>(entries[i].size());
    }
    for (const auto& e : entries) o.insert(o.end(), e.begin(), e.end());
    return o;
}

uint32_t PaletteColor(int i, bool local) {
    static const uint32_t kFirst[8] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00,
                                       0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF8000};
    static const uint32_t kLocal[8] = {0x202020, 0xC0C0C0, 0x800000, 0x008000,
                                       0x000080, 0x808000, 0x008080, 0x800080};
    if (i < 8) return local ? kLocal[i] : kFirst[i];
    // The rest spread over the cube by the index's bits.
    const uint32_t r = static_cast<uint32_t>((i * 37) & 0xFF),
                   g = static_cast<uint32_t>((i * 101) & 0xFF),
                   b = static_cast<uint32_t>((i * 191) & 0xFF);
    uint32_t c = (r << 16) | (g << 8) | b;
    return local ? c ^ 0x7F7F7F : c;
}

std::vector<uint8_t> FramePixels(const GifFrame& f, int w, int h) {
    std::vector<uint8_t> p(static_cast<size_t>(w) * h);
    uint32_t seed = static_cast<uint32_t>(f.a) * 2654435761u + 1;
    const int colors = f.localColors;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t v = 0;
            switch (f.pattern) {
                case GifFrame::Fill: v = static_cast<uint8_t>(f.a); break;
                case GifFrame::Bars:  // 4-pixel vertical bars through every index
                    v = static_cast<uint8_t>((x / 4) % (colors ? colors : 256));
                    break;
                case GifFrame::Checker:
                    v = static_cast<uint8_t>(((x / 4 + y / 4) & 1) ? f.b : f.a);
                    break;
                case GifFrame::Noise:
                    seed = seed * 1103515245u + 12345u;
                    v = static_cast<uint8_t>(seed >> 16);
                    break;
            }
            p[static_cast<size_t>(y) * w + x] = v;
        }
    return p;
}

namespace {

int TableBits(int colors) {
    int bits = 1;
    while ((1 << bits) < colors && bits < 8) ++bits;
    return bits;
}

void PutTable(std::vector<uint8_t>& o, int bits, bool local) {
    for (int i = 0; i < (1 << bits); ++i) {
        uint32_t c = PaletteColor(i, local);
        o.push_back(static_cast<uint8_t>(c >> 16));
        o.push_back(static_cast<uint8_t>(c >> 8));
        o.push_back(static_cast<uint8_t>(c));
    }
}

void PutComment(std::vector<uint8_t>& o, const std::string& text) {
    o.push_back(0x21);
    o.push_back(0xFE);
    auto b = SubBlocks(std::vector<uint8_t>(text.begin(), text.end()));
    o.insert(o.end(), b.begin(), b.end());
}

}  // namespace

std::vector<uint8_t> EncodeGif(const GifRecipe& recipe) {
    std::vector<uint8_t> o = {'G', 'I', 'F', '8', '9', 'a'};
    const int gbits = TableBits(recipe.colors);
    Put16(o, static_cast<unsigned>(recipe.width));
    Put16(o, static_cast<unsigned>(recipe.height));
    o.push_back(
        static_cast<uint8_t>((recipe.globalTable ? 0x80 : 0) | ((gbits - 1) << 4) | (gbits - 1)));
    o.push_back(static_cast<uint8_t>(recipe.background));
    o.push_back(0);
    if (recipe.globalTable) PutTable(o, gbits, false);
    if (recipe.loop >= 0) {
        const char app[] = "NETSCAPE2.0";
        o.push_back(0x21);
        o.push_back(0xFF);
        o.push_back(11);
        o.insert(o.end(), app, app + 11);
        o.push_back(3);
        o.push_back(1);
        Put16(o, static_cast<unsigned>(recipe.loop));
        o.push_back(0);
    }
    if (!recipe.comment.empty()) PutComment(o, recipe.comment);
    for (const GifFrame& f : recipe.frames) {
        const int w = f.w ? f.w : recipe.width, h = f.h ? f.h : recipe.height;
        if (f.gce) {
            o.push_back(0x21);
            o.push_back(0xF9);
            o.push_back(4);
            o.push_back(
                static_cast<uint8_t>(((f.dispose & 7) << 2) | (f.transparent >= 0 ? 1 : 0)));
            Put16(o, static_cast<unsigned>(f.delay));
            o.push_back(static_cast<uint8_t>(f.transparent >= 0 ? f.transparent : 0));
            o.push_back(0);
        }
        if (!f.note.empty()) PutComment(o, f.note);
        if (f.plainText) {
            // Text grid over the frame's area; cells 8 x 8, colours 1 on 0.
            o.push_back(0x21);
            o.push_back(0x01);
            o.push_back(12);
            Put16(o, static_cast<unsigned>(f.x));
            Put16(o, static_cast<unsigned>(f.y));
            Put16(o, static_cast<unsigned>(w));
            Put16(o, static_cast<unsigned>(h));
            o.push_back(8);
            o.push_back(8);
            o.push_back(1);
            o.push_back(0);
            const std::string text = f.note.empty() ? "text" : f.note;
            auto b = SubBlocks(std::vector<uint8_t>(text.begin(), text.end()));
            o.insert(o.end(), b.begin(), b.end());
            continue;
        }
        const int lbits = f.localColors ? TableBits(f.localColors) : 0;
        o.push_back(0x2C);
        Put16(o, static_cast<unsigned>(f.x));
        Put16(o, static_cast<unsigned>(f.y));
        Put16(o, static_cast<unsigned>(w));
        Put16(o, static_cast<unsigned>(h));
        o.push_back(static_cast<uint8_t>(lbits ? 0x80 | (lbits - 1) : 0));
        if (lbits) PutTable(o, lbits, true);
        const int bits = lbits ? lbits : gbits;
        std::vector<uint8_t> pixels = FramePixels(f, w, h);
        for (auto& p : pixels) p = static_cast<uint8_t>(p & ((1 << bits) - 1));
        const int minCode = bits < 2 ? 2 : bits;
        o.push_back(static_cast<uint8_t>(minCode));
        auto data = SubBlocks(LzwEncode(pixels, minCode));
        o.insert(o.end(), data.begin(), data.end());
    }
    o.push_back(0x3B);
    return o;
}

}  // namespace mkres
