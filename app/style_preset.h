// The images the style presets and the main dialog put on the skinned
// controls, with the number of state frames each strip holds. Portable, so
// that the drawn images can be checked against it without Windows.
#pragma once

namespace stylepreset {

struct PresetImage {
    unsigned id;  // bitmap resource id
    int frames;   // state frames side by side (1: one picture)
    const char* use;
};

// Every bitmap the application loads, in id order.
extern const PresetImage kPresetImages[];
extern const int kPresetImageCount;

// The frame count of bitmap id, or 0 when it is not one of the program's.
int FramesOfImage(unsigned id);

}  // namespace stylepreset
