// Messages that skinned controls post to their parent. Portable: numbers
// only.
#pragma once

// First parameter: the control's id; second: the mouse position in the
// control's client coordinates (x low word, y high word).
#define WM_SKIN_MOUSEMOVE 0x046C
#define WM_SKIN_LBUTTONDOWN 0x046D
#define WM_SKIN_LBUTTONUP 0x046E
#define WM_SKIN_LBUTTONDBLCLK 0x046F
