// Values of the skin profile files as plain text rules: rectangles and
// colours as comma-separated fields, integers as atoi reads them, the
// caption text rule of a skinned dialog, and the rectangles that never need
// to be resolved again. Portable, so the parsers are tested and fuzzed
// natively.
#pragma once

#include <cstdint>
#include <string>

#include "ThemeClass/ThemeLayout.h"

namespace skin {

// The five profile files of a skin folder.
enum class ProfileFile { Pos, Color, Text, Image, Value };
const char* ProfileFileName(ProfileFile file);

// The profile reader's buffer holds 260 bytes: at most 259 characters of a
// value are read.
constexpr int kProfileValueMax = 259;

// A number as atol/atoi read it: leading white space, an optional sign, the
// digits up to the first other character; 0 when there are none. Values
// beyond the int range are held at its ends.
int ParseInt(const std::string& text);

// Up to four comma-separated fields, left, top, right, bottom; missing or
// non-numeric fields are 0 and fields after the fourth are ignored.
Rect ParseRect(const std::string& text);
// Red, green, blue fields, each reduced to its low 8 bits, as a COLORREF
// (red in the low byte); a fourth field and later ones are ignored.
uint32_t ParseColor(const std::string& text);

std::string FormatRect(const Rect& r);       // "l,t,r,b"
std::string FormatColor(uint32_t colorref);  // "r,g,b"

// A rectangle of plain pixels (every edge 0 or more and below 10000) or no
// position at all (-1 on every edge): re-anchoring leaves it alone.
bool IsFixedRect(const Rect& r);

// A dialog caption: every backslash-n pair becomes a line feed (kept in the
// stored caption); the window text is the caption without its line feeds.
struct CaptionText {
    std::string caption;
    std::string windowText;
};
CaptionText MakeCaption(const std::string& text);

}  // namespace skin
