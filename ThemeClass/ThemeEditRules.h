// The decisions of the base edit and the skinned edit box: what the key
// that starts an in-place edit does, which keys end it, how far the editor
// grows, where the inner edit sits inside the frame, which notifications
// the frame passes on, and the number range check with its message and
// reset text. Plain values only, so the rules are tested natively; the
// window classes call these.
#pragma once

#include <string>

#include "ThemeClass/ThemeLayout.h"

namespace skin {

// ---- in-place editor

// What the key that started an in-place edit does once the text is in.
struct FirstKeyAction {
    bool selectAll = false;  // whole text selected; otherwise the caret goes to the end
    bool sendChar = false;   // the key is then sent to the editor as a character
};
// 1 (a click) and Return: caret at the end. Backspace: caret at the end,
// then the key (deletes the last character). Tab and 32..40 (space, page,
// end, home, arrows): whole text selected. Anything else: whole text
// selected, then the key (replaces it).
FirstKeyAction InPlaceFirstKey(unsigned key);

// Arrow and page keys of an in-place editor: page up, page down and the
// four arrows (not home and end).
bool IsEditNavigationKey(unsigned vk);
// Whether such a key ends the edit: when a key (not a click) started it,
// or with Control held.
bool NavigationKeyEndsEdit(unsigned vk, bool arrowsEndEdit, bool controlDown);

// The editor's right edge after typing: left + text width when that is
// wider than the editor now is, but never past the parent's right edge; an
// editor never shrinks.
int GrowEditRight(int left, int right, int textWidth, int parentRight);

// ---- skinned edit box

// The inner edit inside the frame's client rectangle for an outline of
// thickness t: (left + t, top + t + 2, right - t, bottom - t); a negative
// thickness counts as none.
Rect EditInnerRect(const Rect& client, int thickness);
// The frame lays out its inner edit only when both extents are above 9.
bool EditLayoutApplies(int cx, int cy);

// The inner edit's notifications that the frame passes on to its parent
// as its own: set/kill focus, change, update, out of space, max text and
// the two scroll codes.
bool IsForwardedEditCode(unsigned code);

// The number range of an edit box. A range of 0 to 0 checks nothing.
struct EditRange {
    double minimum = 0.0;
    double maximum = 0.0;
    bool integerMode = false;
};
// A range given upside down is taken the right way round (no value could
// pass otherwise); a bound that is not a number turns the check off.
EditRange MakeEditRange(double minimum, double maximum, bool integerMode);
bool RangeCheckActive(const EditRange& r);
// The text read as atof reads it (not a number reads as 0), within
// [minimum, maximum]; anything passes when the check is off.
bool RangeAccepts(const EditRange& r, const std::string& text);
// The message shown for a value outside the range. In integer mode the
// bounds are the smallest and largest whole numbers inside the range; when
// no whole number lies inside, the decimal message is shown.
std::string RangeMessage(const EditRange& r);
// The text the edit is reset to: the lower bound as the message shows it,
// always a text the range accepts (a bound with more than six decimals is
// written with as many digits as it needs).
std::string RangeResetText(const EditRange& r);

}  // namespace skin
