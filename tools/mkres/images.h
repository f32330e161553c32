// The images mkres draws: button strips (24-bit BMP with the magenta key),
// icons (BMP-in-ICO with an AND mask) and GIFs (still or animated). All
// drawing is integer arithmetic, so the same command gives the same bytes
// on every machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkres {

const uint32_t kKey = 0xFF00FF;  // the transparent key colour of the strips, 0xRRGGBB

struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> px;  // 0xRRGGBB, top-down
    Image() = default;
    Image(int w, int h, uint32_t fill)
        : width(w), height(h), px(static_cast<size_t>(w) * h, fill) {}
    uint32_t& at(int x, int y) { return px[static_cast<size_t>(y) * width + x]; }
    uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
};

enum class Face {
    Plain,
    Play,
    Pause,
    Stop,
    Circle,
    Cross,    // an X: close
    Minus,    // a bar low in the frame: minimise
    Next,     // a triangle and a bar: next clip
    Eject,    // a triangle pointing up over a bar: open
    Rewind,   // two triangles pointing left: slower
    Forward,  // two triangles pointing right: faster
    Speaker,  // a speaker with sound waves
    Mute,     // a speaker with a cross
    Grid,     // a scale: three light lines across and a left margin
    Dial,     // a ring of ticks around the centre
};
bool ParseFace(const std::string& s, Face* f);

// frames state frames side by side, each w x h: normal, hover, pressed,
// disabled, each a rounded body on the key colour with the face drawn on it.
// round: the corner radius, or -1 for a fifth of the smaller side.
Image DrawStrip(int w, int h, int frames, Face face, uint32_t color, int round = -1);
std::vector<uint8_t> EncodeBmp24(const Image& img);

// One icon image per size: a disc of color with a white mark, transparent
// (AND mask set) outside the disc.
std::vector<uint8_t> EncodeIco(const std::vector<int>& sizes, uint32_t color);

// A GIF frame as the recipe describes it.
struct GifFrame {
    int x = 0, y = 0, w = 0, h = 0;  // w, h 0: the whole screen
    bool gce = true;                 // write a graphic control extension
    int delay = 10;                  // hundredths of a second
    int dispose = 0;                 // 0..3
    int transparent = -1;            // index, or -1 for none
    int localColors = 0;             // 0: the global table; else 2..256
    enum Pattern { Fill, Bars, Checker, Noise } pattern = Fill;
    int a = 1, b = 2;        // Fill: a; Checker: a and b; Noise: seed a
    std::string note;        // a comment block between the control block and the image
    bool plainText = false;  // a plain-text block instead of an image
};

struct GifRecipe {
    int width = 0, height = 0;
    int colors = 8;  // size of the global table (2..256, rounded up to a power of 2)
    bool globalTable = true;
    int loop = -1;  // Netscape loop count; -1: no loop block
    int background = 0;
    std::string comment;  // a comment block before the first frame
    std::vector<GifFrame> frames;
};

// Colour i of a table of n colours; the local tables use another set, so a
// frame with its own table is told apart.
uint32_t PaletteColor(int i, bool local);
// The indices of a frame's pixels, row by row.
std::vector<uint8_t> FramePixels(const GifFrame& f, int w, int h);
std::vector<uint8_t> EncodeGif(const GifRecipe& recipe);

}  // namespace mkres
