// The kinds of skinned control a dialog holds: how a template control's
// window class and style pick one, the skin names ("Btn0", "Slider2"), and
// each kind's skin keys in the order they are read with the profile file
// each comes from. Portable: names and numbers only.
#pragma once

#include <cstdint>
#include <string>

#include "ThemeClass/ThemeProfile.h"

namespace skin {

// Numbered as the dialog's control arrays are ordered.
enum ThemeControlKind {
    kKindNone = 0,
    kKindStatic = 1,
    kKindGroup = 2,
    kKindButton = 3,
    kKindCheck = 4,
    kKindRadio = 5,
    kKindEdit = 6,
    kKindListBox = 7,
    kKindCombo = 8,
    kKindProgress = 9,
    kKindListCtrl = 10,
    kKindSlider = 11,
    kKindScroll = 12,
    kKindPicture = 13,
    kKindGrid = 14,
    kKindMenu = 15,
};
constexpr int kFirstKind = kKindStatic;
constexpr int kLastKind = kKindMenu;

// The kind a template control becomes, from its window class name and
// style word; kKindNone when the class is not one of ours to replace.
// "Button", "Static", "Edit", "ListBox" and "ComboBox" must match exactly
// (case counts); the common-control names are found as substrings.
int ClassifyControl(const char* className, uint32_t style);

// "Btn%d" and the like; "" for kKindNone or an unknown kind.
const char* SkinNameFormat(int kind);
// The automatic name of a control: the kind's format with the number of
// controls of that kind the dialog held before it.
std::string MakeSkinName(int kind, int countBefore);

// One key of a kind: the property (appended to the skin name) and its file.
struct SkinKey {
    const char* property;
    ProfileFile file;
};
struct SkinKeyList {
    const SkinKey* keys = nullptr;
    int count = 0;
};
// The keys of a kind in reading order; empty for kinds without a list.
SkinKeyList KeyListOf(int kind);

// The keys every kind applies the same way, whatever its class: "(Pos)"
// from the position file places the control, "(Visible)" shows or hides it.
// The rest go to the setters of the control's own class.
enum class CommonKey { None, Place, Visible };
CommonKey CommonKeyOf(const SkinKey& key);

// The dialog's own keys, "Dlg(...)", in reading order.
SkinKeyList DialogKeyList();

}  // namespace skin
