#include "app/style_preset.h"

#include "app/res/resource.h"

namespace stylepreset {

// Push buttons, the slider thumb and the radio cut their strips into four
// frames (their default); the slider track, the speaker and the two backs
// are one picture.
const PresetImage kPresetImages[] = {
    {IDB_GRAPH_BACK, 1, "G-sensor graph background, 549 x 97"},
    {IDB_CLOSE, 4, "close button"},
    {IDB_TEXT_BUTTON, 4, "text buttons"},
    {IDB_SLIDER_BACK, 1, "slider track"},
    {IDB_SLIDER_THUMB, 4, "slider thumb"},
    {IDB_PLAY_RADIO, 4, "push-like Play radio"},
    {IDB_MINIMIZE, 4, "minimise button"},
    {IDB_OPEN, 4, "open file button"},
    {IDB_PLAY, 4, "play face"},
    {IDB_SLOWER, 4, "slower button"},
    {IDB_FASTER, 4, "faster button"},
    {IDB_NEXT, 4, "next button"},
    {IDB_PAUSE, 4, "pause face"},
    {IDB_SOUND_ON, 1, "speaker, sound on"},
    {IDB_SOUND_OFF, 1, "speaker, muted"},
    {IDB_DIAL, 1, "speedometer dial, 174 x 174"},
};
const int kPresetImageCount = static_cast<int>(sizeof kPresetImages / sizeof kPresetImages[0]);

int FramesOfImage(unsigned id) {
    for (int i = 0; i < kPresetImageCount; ++i)
        if (kPresetImages[i].id == id) return kPresetImages[i].frames;
    return 0;
}

}  // namespace stylepreset
