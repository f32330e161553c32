// Error message boxes of the engine's interface: an 8-bit text in the
// system code page, shown without an owner. The engine itself calls none.
#include <windows.h>

#include <cstring>

#include "engine/player/player_msgbox.h"

namespace {

void Show(const char* text, UINT icon) {
    wchar_t wide[257] = {};
    if (text) {
        int n = static_cast<int>(strnlen(text, 256));
        MultiByteToWideChar(CP_ACP, 0, text, n, wide, 256);
    }
    MessageBoxW(nullptr, wide, L"Error Message . . .", MB_OK | icon);
}

}  // namespace

void ShowErrorBoxQuestion(const char* text) { Show(text, MB_ICONQUESTION); }
void ShowErrorBoxStop(const char* text) { Show(text, MB_ICONHAND); }
void ShowErrorBoxExclamation(const char* text) { Show(text, MB_ICONEXCLAMATION); }
void ShowErrorBoxInformation(const char* text) { Show(text, MB_ICONASTERISK); }
