#include "ThemeClass/ThemeSlider.h"

namespace {

const UINT kSliderParts[] = {CThemeSlider::kThumbId};

// TBS_VERT: the style bit of an upright track bar.
constexpr DWORD kSliderVertical = 0x2;

}  // namespace

CThemeSlider::CThemeSlider()
    : CThemeTrackWnd(kSliderParts, 1, WM_SKIN_SLIDERMOUSEMOVE, kSliderVertical) {}
