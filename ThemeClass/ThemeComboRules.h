// Rules of the two combo boxes of the skin library, as plain integers so
// they are tested natively: the skinned combo's strip layout, drop-down
// placement, height fitting and drop-button timing, and the in-place
// combo's first-key replay, ending keys and size. The window classes call
// these.
#pragma once

#include <cstdint>

#include "ThemeClass/ThemeLayout.h"

namespace skin {

// ---- skinned combo box

constexpr int kComboMinListHeight = 49;
constexpr unsigned kComboDropTimer = 1005;  // IDT_COMBO_DROP
constexpr unsigned kComboDropMs = 50;

// The window height a combo keeps, and the list height it takes from a
// taller window: window - strip, raised to the minimum. Returns false (list
// height unchanged) when the window already has the strip's height.
bool ComboFitListHeight(int windowHeight, int stripHeight, int* listHeight);

// The edit part and the drop button inside the strip, inset by the outline;
// the edit starts 2 pixels lower than the button.
struct ComboLayout {
    Rect edit;
    Rect button;
};
ComboLayout LayoutCombo(const Rect& strip, int outline, int buttonWidth);

// The dropped list in screen coordinates: under the strip, or above the
// combo when it would pass the screen's bottom; never below the minimum
// height; as wide as the combo.
Rect ComboDropRect(const Rect& windowOnScreen, int stripHeight, int listHeight, int screenHeight);

// The list's row alignment from the combo's style: ES_CENTER (1) adds
// DT_CENTER, else ES_RIGHT (2) adds DT_RIGHT.
uint32_t ComboAlignFromStyle(uint32_t align, uint32_t style);

// A drop-down list (style & 3 == 3): its edit part cannot be typed in.
inline bool ComboIsDropList(uint32_t style) { return (style & 3) == 3; }

// Frame counts a drop-button face strip may have; others are ignored (0
// would divide the image width by zero).
inline bool ComboFrameCountValid(int n) { return n >= 1 && n <= 4; }

// The button width and strip height a face image gives: one frame's width,
// the image height plus the outline on both sides.
struct ComboButtonSize {
    int buttonWidth = 0;
    int stripHeight = 0;
};
ComboButtonSize ComboSizeFromImage(int imageWidth, int imageHeight, int frames, int outline);

// What the drop button, the timer and focus changes do to the list.
enum class DropAction { kNone, kClose, kStartTimer, kOpen };
struct ComboDropState {
    bool timerRunning = false;
    bool listShown = false;

    // A click on the drop button: closes a shown list, else starts the
    // timer. Without a list nothing happens.
    DropAction OnButton(bool hasList);
    // The timer's tick opens the list (the timer is one-shot).
    DropAction OnTimer();
    // The list lost the focus: kept while the mouse is over the drop
    // button (that click closes it), closed otherwise.
    DropAction OnListLostFocus(bool mouseOverButton);
    // The combo lost the focus: kept when it went to the drop button.
    DropAction OnComboLostFocus(bool toButton);
    // A selection was made: the list closes.
    DropAction OnSelect();
};

// ---- in-place combo box

// What the key that started an edit does to the edit field.
enum class ComboFirstKeyAction {
    kCaretEnd,           // caret after the last character
    kCaretEndBackspace,  // caret at the end, then the key is typed (deletes)
    kSelectAll,          // the whole text selected
    kSelectAllType,      // the whole text selected, then the key typed over it
};
ComboFirstKeyAction ComboFirstKey(unsigned key);

// The key-up of the Enter that started an edit is ignored once. Only an
// edit started by Enter waits for it: after a click or a letter the first
// Enter ends the edit.
inline bool ComboSkipsFirstEnter(unsigned firstKey) { return firstKey == 13; }

// Page up, page down and the four arrows: they end an edit with Ctrl held
// (or always, when arrows end edits).
bool ComboIsNavKey(unsigned vk);
inline bool ComboKeyDownEnds(unsigned vk, bool arrowsEndEdit, bool ctrl) {
    return ComboIsNavKey(vk) && (arrowsEndEdit || ctrl);
}

// A key-up: Escape restores the start text first; Tab, Enter and Escape end
// the edit, except an Enter that is skipped (which clears the skip).
struct ComboKeyUpResult {
    bool handled = false;  // Tab, Enter or Escape; others go to the default
    bool restoreText = false;
    bool clearSkip = false;
    bool end = false;
};
ComboKeyUpResult ComboKeyUp(unsigned vk, bool skipFirstEnter);

// The combo's window over a cell: as tall as the cell plus room for the
// dropped lines and a horizontal scroll bar, and widened to the widest item
// (plus a vertical scroll bar and two spaces) when that is wider than the
// cell.
struct ComboCellGeometry {
    Rect window;
    int dropWidth = 0;
};
ComboCellGeometry ComboCellRect(const Rect& cell, int dropLines, int cyHScroll, int widestItem,
                                int cxVScroll, int spaceWidth);

}  // namespace skin
