#include "ThemeClass/ThemeProfile.h"

#include <climits>
#include <cstdio>

namespace skin {

const char* ProfileFileName(ProfileFile file) {
    switch (file) {
        case ProfileFile::Pos: return "ConfigPos.ini";
        case ProfileFile::Color: return "ConfigColor.ini";
        case ProfileFile::Text: return "ConfigText.ini";
        case ProfileFile::Image: return "ConfigImage.ini";
        case ProfileFile::Value: return "ConfigValue.ini";
    }
    return "";
}

int ParseInt(const std::string& text) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t v = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > int64_t(INT_MAX) + 1) v = int64_t(INT_MAX) + 1;  // saturate, keep reading
    }
    if (negative) v = -v;
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

namespace {

// Splits at commas into exactly four fields; the rest is dropped so that a
// long value cannot reach past the four the readers hold.
void SplitFour(const std::string& text, std::string fields[4]) {
    int f = 0;
    for (char c : text) {
        if (c == ',') {
            if (++f == 4) return;
        } else {
            fields[f] += c;
        }
    }
}

}  // namespace

Rect ParseRect(const std::string& text) {
    std::string f[4];
    SplitFour(text, f);
    return Rect{ParseInt(f[0]), ParseInt(f[1]), ParseInt(f[2]), ParseInt(f[3])};
}

uint32_t ParseColor(const std::string& text) {
    std::string f[4];
    SplitFour(text, f);
    const uint32_t r = static_cast<uint32_t>(ParseInt(f[0])) & 0xFF;
    const uint32_t g = static_cast<uint32_t>(ParseInt(f[1])) & 0xFF;
    const uint32_t b = static_cast<uint32_t>(ParseInt(f[2])) & 0xFF;
    return r | (g << 8) | (b << 16);
}

std::string FormatRect(const Rect& r) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
    return buf;
}

std::string FormatColor(uint32_t c) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%u,%u,%u", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return buf;
}

bool IsFixedRect(const Rect& r) {
    const int v[4] = {r.left, r.top, r.right, r.bottom};
    bool allPlain = true;
    bool allNone = true;
    for (int x : v) {
        if (x <= -10000 || x >= 10000) return false;
        allPlain = allPlain && x >= 0;
        allNone = allNone && x == -1;
    }
    return allPlain || allNone;
}

CaptionText MakeCaption(const std::string& text) {
    CaptionText out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out.caption += '\n';
            ++i;
        } else {
            out.caption += text[i];
        }
    }
    for (char c : out.caption)
        if (c != '\n') out.windowText += c;
    return out;
}

}  // namespace skin
