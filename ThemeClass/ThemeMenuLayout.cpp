#include "ThemeClass/ThemeMenuLayout.h"

namespace skin {

namespace {

int Inset(const MenuMetrics& m) { return m.backThick + m.outlineThick; }

int ItemHeight(const MenuMetrics& m, uint32_t id) {
    return MenuKindOf(id) == MenuItemKind::Separator ? m.separatorHeight : m.itemHeight;
}

}  // namespace

MenuItemKind MenuKindOf(uint32_t id) {
    if (id == kMenuSeparatorId) return MenuItemKind::Separator;
    if (id == kMenuSubmenuId) return MenuItemKind::Submenu;
    return MenuItemKind::Command;
}

Rect MenuItemArea(const Rect& client, const MenuMetrics& m) {
    const int d = Inset(m);
    return Rect{client.left + d, client.top + d, client.right - d, client.bottom - d};
}

Rect MenuItemRect(const Rect& client, const MenuMetrics& m, const std::vector<uint32_t>& ids,
                  int index) {
    if (index < 0 || static_cast<size_t>(index) >= ids.size()) return Rect{0, 0, 10, 10};
    const Rect area = MenuItemArea(client, m);
    int top = area.top;
    for (int i = 0; i < index; ++i) top += ItemHeight(m, ids[static_cast<size_t>(i)]);
    return Rect{area.left, top, area.right, top + ItemHeight(m, ids[static_cast<size_t>(index)])};
}

int MenuHitTest(const Rect& client, const MenuMetrics& m, const std::vector<uint32_t>& ids, int x,
                int y) {
    const Rect area = MenuItemArea(client, m);
    int top = area.top;
    for (size_t i = 0; i < ids.size(); ++i) {
        const int bottom = top + ItemHeight(m, ids[i]);
        if (x >= area.left && x <= area.right && y >= top && y <= bottom)
            return static_cast<int>(i);
        top = bottom;
    }
    return -1;
}

MenuSize MenuWindowSize(const MenuMetrics& m, const std::vector<uint32_t>& ids, int widestText) {
    MenuSize s;
    for (uint32_t id : ids) s.cy += ItemHeight(m, id);
    s.cy += 2 * Inset(m);
    s.cx = (widestText < kMenuMinTextWidth ? kMenuMinTextWidth : widestText) + 2 * Inset(m) + 10;
    return s;
}

int MeasureMenuText(const char* text, size_t length, int fontSize,
                    const std::function<int(unsigned char)>& glyphWidth) {
    int width = 0;
    size_t i = 0;
    while (i < length) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            width += fontSize + 3;
            i += 2;  // the trail byte, when there is one
        } else {
            width += glyphWidth(c);
            ++i;
        }
        width += 2;
    }
    return width;
}

int MenuImageFrame(int frameCount, int state) {
    if (state < 0 || state > 2) return 0;
    switch (frameCount) {
        case 2: return state == 0 ? 0 : 1;
        case 3:
        case 4: return state;
        default: return 0;
    }
}

int MenuSeparatorLineY(const Rect& r) { return (r.top + r.bottom) / 2 - 1; }

MenuPoint SubmenuOrigin(const Rect& itemOnScreen) {
    return MenuPoint{itemOnScreen.right - 2, itemOnScreen.top};
}

bool MenuLevelHasSlot(int level) { return level >= 0 && level < kMenuMaxLevels; }

int FindMenuItemRange(const std::vector<MenuItemRange>& table, uint32_t id) {
    for (size_t i = 0; i < table.size(); ++i) {
        const MenuItemRange& r = table[i];
        if (r.kind == kMenuCheckItem && r.first == id) return static_cast<int>(i);
        if (r.kind == kMenuRadioRange && r.first <= id && id <= r.last) return static_cast<int>(i);
    }
    return -1;
}

void AddMenuCheckItem(std::vector<MenuItemRange>& table, uint32_t id) {
    const int found = FindMenuItemRange(table, id);
    if (found >= 0) table.erase(table.begin() + found);
    table.push_back(MenuItemRange{id, 0, kMenuCheckItem});
}

void AddMenuRadioRange(std::vector<MenuItemRange>& table, uint32_t first, uint32_t last) {
    const int found = FindMenuItemRange(table, first);
    if (found >= 0) table.erase(table.begin() + found);
    table.push_back(MenuItemRange{first, last, kMenuRadioRange});
}

}  // namespace skin
