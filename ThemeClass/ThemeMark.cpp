#include "ThemeClass/ThemeMark.h"

namespace skin {

Rect MarkRect(const Rect& client, int size, int backDrawType, unsigned alignFormat) {
    Rect r;
    r.left = backDrawType != 0 ? 4 : 0;
    r.right = r.left + size;
    if (alignFormat & kAlignBottom) {
        r.bottom = client.bottom;
        r.top = r.bottom - size;
    } else if (alignFormat & kAlignVCenter) {
        r.top = (client.top + client.bottom) / 2 - size / 2;
        r.bottom = r.top + size;
    } else {
        r.top = 0;
        r.bottom = size;
    }
    return r;
}

Rect MarkCaptionRect(const Rect& client, const Rect& mark, const Rect& areaValues, bool pushLike,
                     int backDrawType, bool pressedLook) {
    Rect r = client;
    if (!pushLike) r.left = mark.right + 5;
    if (backDrawType != 0) r.right -= 4;
    const Rect area = ResolveTextRect(areaValues, client);
    if (area.left >= 1) r = area;
    if (pressedLook) {
        ++r.left;
        ++r.top;
        ++r.right;
        ++r.bottom;
    }
    return r;
}

VMark CheckVMark(const Rect& m) {
    const int midX = m.left + (m.right - m.left) / 2;
    return VMark{m.left + 3,  m.top + 3, midX, m.bottom - 3,
                 m.right - 3, m.top + 3, midX, m.bottom - 3};
}

int CheckDrawState(int state, bool pushLike, bool checked) {
    if (pushLike && checked && state == kStateNormal) return kStatePressed;
    return state;
}

CheckBack CheckColorBack(int state, bool pushLike, bool checked, const Color backs[4], Color lt,
                         Color rb) {
    const bool pushedIn = pushLike && checked;
    const int s = state & 3;
    CheckBack b;
    b.back = pushedIn ? backs[kStatePressed] : backs[s];
    const bool sunken = s == kStatePressed || pushedIn;
    b.lt = sunken ? rb : lt;
    b.rb = sunken ? lt : rb;
    return b;
}

Rect MarkImageHalf(int imageWidth, int imageHeight, bool checked) {
    const int half = imageWidth / 2;
    return checked ? Rect{half, 0, imageWidth, imageHeight} : Rect{0, 0, half, imageHeight};
}

}  // namespace skin
