#include "ThemeClass/ThemeEditRules.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace skin {

namespace {

constexpr unsigned kClickKey = 1;
constexpr unsigned kBackspaceKey = 8;
constexpr unsigned kTabKey = 9;
constexpr unsigned kReturnKey = 13;

// The message keeps the system's own wording and spacing.
const char kRangeMessageInt[] = "입력범위가 올바르지 않습니다. 입력범위 : [ %d ~ %d ] ";
const char kRangeMessageDec[] = "입력범위가 올바르지 않습니다. 입력범위 : [ %.6f ~ %.6f ] ";

template <class... Args>
std::string Format(const char* fmt, Args... args) {
    const int n = std::snprintf(nullptr, 0, fmt, args...);
    if (n <= 0) return std::string();
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::snprintf(buf.data(), buf.size(), fmt, args...);
    return std::string(buf.data(), static_cast<size_t>(n));
}

// The whole numbers inside the range that fit an int; false when there is
// none.
bool WholeBounds(const EditRange& r, int* lo, int* hi) {
    const double low = std::max(std::ceil(r.minimum), static_cast<double>(INT_MIN));
    const double high = std::min(std::floor(r.maximum), static_cast<double>(INT_MAX));
    if (!(low <= high)) return false;
    *lo = static_cast<int>(low);
    *hi = static_cast<int>(high);
    return true;
}

}  // namespace

FirstKeyAction InPlaceFirstKey(unsigned key) {
    FirstKeyAction a;
    if (key == kClickKey || key == kReturnKey) return a;
    if (key == kBackspaceKey) {
        a.sendChar = true;
        return a;
    }
    a.selectAll = true;
    a.sendChar = !(key == kTabKey || (key >= 32 && key <= 40));
    return a;
}

bool IsEditNavigationKey(unsigned vk) {
    // Page up 0x21, page down 0x22, left 0x25, up 0x26, right 0x27, down 0x28.
    return vk == 0x21 || vk == 0x22 || (vk >= 0x25 && vk <= 0x28);
}

bool NavigationKeyEndsEdit(unsigned vk, bool arrowsEndEdit, bool controlDown) {
    return IsEditNavigationKey(vk) && (arrowsEndEdit || controlDown);
}

int GrowEditRight(int left, int right, int textWidth, int parentRight) {
    if (textWidth <= right - left) return right;
    const long long wanted = static_cast<long long>(left) + textWidth;
    const long long limit = std::max<long long>(parentRight, right);
    return static_cast<int>(std::min(wanted, limit));
}

Rect EditInnerRect(const Rect& client, int thickness) {
    thickness = std::max(thickness, 0);
    return Rect{client.left + thickness, client.top + thickness + 2, client.right - thickness,
                client.bottom - thickness};
}

bool EditLayoutApplies(int cx, int cy) { return cx > 9 && cy > 9; }

bool IsForwardedEditCode(unsigned code) {
    switch (code) {
        case 0x100:  // EN_SETFOCUS
        case 0x200:  // EN_KILLFOCUS
        case 0x300:  // EN_CHANGE
        case 0x400:  // EN_UPDATE
        case 0x500:  // EN_ERRSPACE
        case 0x501:  // EN_MAXTEXT
        case 0x601:  // EN_HSCROLL
        case 0x602:  // EN_VSCROLL
            return true;
        default: return false;
    }
}

EditRange MakeEditRange(double minimum, double maximum, bool integerMode) {
    EditRange r;
    r.integerMode = integerMode;
    if (std::isnan(minimum) || std::isnan(maximum)) return r;
    r.minimum = std::min(minimum, maximum);
    r.maximum = std::max(minimum, maximum);
    return r;
}

bool RangeCheckActive(const EditRange& r) { return !(r.minimum == 0.0 && r.maximum == 0.0); }

bool RangeAccepts(const EditRange& r, const std::string& text) {
    if (!RangeCheckActive(r)) return true;
    const double v = std::atof(text.c_str());
    return r.minimum <= v && v <= r.maximum;
}

std::string RangeMessage(const EditRange& r) {
    int lo = 0, hi = 0;
    if (r.integerMode && WholeBounds(r, &lo, &hi)) return Format(kRangeMessageInt, lo, hi);
    return Format(kRangeMessageDec, r.minimum, r.maximum);
}

std::string RangeResetText(const EditRange& r) {
    std::vector<std::string> candidates;
    int lo = 0, hi = 0;
    if (r.integerMode && WholeBounds(r, &lo, &hi)) candidates.push_back(Format("%d", lo));
    candidates.push_back(Format("%.6f", r.minimum));
    // The shortest form that reads back inside; seventeen significant
    // digits always read back as the same double.
    for (int digits = 7; digits <= 17; ++digits)
        candidates.push_back(Format("%.*g", digits, r.minimum));
    for (const std::string& c : candidates)
        if (RangeAccepts(r, c)) return c;
    return candidates.back();
}

}  // namespace skin
