// Geometry, text measuring and the check-item table of the skinned popup
// menu. Plain integers and byte strings only, so the rules are tested
// natively; CThemeMenu and CBaseMenu call them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "ThemeClass/ThemeLayout.h"

namespace skin {

// Command ids with a meaning of their own in a menu.
constexpr uint32_t kMenuSeparatorId = 0;
constexpr uint32_t kMenuSubmenuId = 0xFFFFFFFFu;

// Popup levels a menu host keeps: 0 (the first popup) to kMenuMaxLevels - 1.
constexpr int kMenuMaxLevels = 10;

// The narrowest text width a popup is sized for.
constexpr int kMenuMinTextWidth = 70;

// What the item sizes of a popup depend on.
struct MenuMetrics {
    int itemHeight = 23;
    int separatorHeight = 8;
    int backThick = 2;
    int outlineThick = 2;
};

enum class MenuItemKind { Separator, Submenu, Command };
MenuItemKind MenuKindOf(uint32_t id);

// The client rectangle less the back and the outline on every side.
Rect MenuItemArea(const Rect& client, const MenuMetrics& m);

// Item rectangles stacked from the top of the item area, each as wide as
// the area; position beyond the items: (0, 0, 10, 10).
Rect MenuItemRect(const Rect& client, const MenuMetrics& m, const std::vector<uint32_t>& ids,
                  int index);

// The first item whose rectangle holds the point, edges included; -1 when
// none.
int MenuHitTest(const Rect& client, const MenuMetrics& m, const std::vector<uint32_t>& ids, int x,
                int y);

struct MenuSize {
    int cx = 0;
    int cy = 0;
};
// The window size for the items and their widest text.
MenuSize MenuWindowSize(const MenuMetrics& m, const std::vector<uint32_t>& ids, int widestText);

// Width of one item text in the ANSI code page: a byte of 0x80 or more
// starts a two-byte character counted fontSize + 3, any other byte its
// glyph width; each character adds 2. A lead byte at the very end counts as
// a character of its own. The whole text is measured, whatever its length.
int MeasureMenuText(const char* text, size_t length, int fontSize,
                    const std::function<int(unsigned char)>& glyphWidth);

// Frame of the item image strip for a state (0 normal, 1 hover, 2 pressed).
int MenuImageFrame(int frameCount, int state);

// The two lines of a drawn separator: y of the upper one (the lower one is
// a pixel below), from left + 2 to right - 2.
int MenuSeparatorLineY(const Rect& r);

// Where the submenu of an item opens (screen coordinates of its item).
struct MenuPoint {
    int x = 0;
    int y = 0;
};
MenuPoint SubmenuOrigin(const Rect& itemOnScreen);

// Whether a popup of that level has a slot.
bool MenuLevelHasSlot(int level);

// ---- check and radio items

constexpr int kMenuCheckItem = 1;   // one item with its own check mark
constexpr int kMenuRadioRange = 2;  // first..last, one of them marked

// One entry of a menu host's item table; last is used by ranges only.
struct MenuItemRange {
    uint32_t first = 0;
    uint32_t last = 0;
    int32_t kind = 0;
};
static_assert(sizeof(MenuItemRange) == 12, "three 32-bit fields");

// The first entry covering the id: a check item of that id, or a range
// holding it (unsigned compare); -1 when none.
int FindMenuItemRange(const std::vector<MenuItemRange>& table, uint32_t id);
// A check item for the id, replacing the entry that covered it.
void AddMenuCheckItem(std::vector<MenuItemRange>& table, uint32_t id);
// A radio range, replacing the entry that covered its first id.
void AddMenuRadioRange(std::vector<MenuItemRange>& table, uint32_t first, uint32_t last);

}  // namespace skin
