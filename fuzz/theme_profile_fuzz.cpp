// Skin profile values over arbitrary text: the rectangle, colour and integer
// readers, the caption rule and the border geometry must hold their
// invariants for any input.
#include <stddef.h>
#include <stdint.h>

#include <cstdlib>
#include <string>

#include "ThemeClass/ThemeKinds.h"
#include "ThemeClass/ThemeProfile.h"
#include "ThemeClass/ThemeResize.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);

    const skin::Rect r = skin::ParseRect(text);
    if (!(skin::ParseRect(skin::FormatRect(r)) == r)) std::abort();
    const uint32_t c = skin::ParseColor(text);
    if (c > 0xFFFFFF || skin::ParseColor(skin::FormatColor(c)) != c) std::abort();
    (void)skin::ParseInt(text);
    (void)skin::IsFixedRect(r);

    const skin::CaptionText cap = skin::MakeCaption(text);
    if (cap.windowText.find('\n') != std::string::npos) std::abort();
    if (cap.caption.size() > text.size()) std::abort();

    // The parsed rectangle as a window and a drag: the result stays within
    // the limits whenever the start did.
    const skin::SizeLimits lim;
    skin::Rect w{0, 0, 300, 200};
    const int zone = skin::HitTestBorder(r.left % 400, r.top % 300, 300, 200, 7);
    const skin::Rect t = skin::TrackResize(w, zone, r.right % 100000, r.bottom % 100000, lim);
    if (t.Width() < lim.minWidth || t.Width() > lim.maxWidth) std::abort();
    if (t.Height() < lim.minHeight || t.Height() > lim.maxHeight) std::abort();

    (void)skin::ClassifyControl(text.c_str(), static_cast<uint32_t>(r.left));
    return 0;
}
