// The skinned slider: a track window whose one part is a skinned push
// button as its thumb (id 1003). Clicks on the track step by the page unit
// or jump; the thumb drags. Every change is sent to the owner as a
// SkinPosNotify WM_NOTIFY block, and every mouse move over the track is
// posted to the parent as WM_SKIN_SLIDERMOUSEMOVE.
#pragma once

#include "ThemeClass/ThemeTrackWnd.h"

#define WM_SKIN_SLIDERMOUSEMOVE 0x0472

class CThemeSlider : public CThemeTrackWnd {
public:
    static constexpr UINT kThumbId = 1003;

    CThemeSlider();

    // Makes the thumb once the window exists.
    void CreateThumb() { CreateParts(); }
    // Moves the thumb to where the position puts it.
    void RecalcThumb() { RecalcLayout(); }
};
