#include "ThemeClass/ThemeListRows.h"

namespace skin {

namespace {

Rect Inset(const Rect& r, int d) { return Rect{r.left + d, r.top + d, r.right - d, r.bottom - d}; }

}  // namespace

Rect ListRowArea(const Rect& client, int outline, bool stripShown) {
    Rect a = Inset(client, outline);
    if (stripShown) a.right -= kListStripWidth;
    return a;
}

Rect ListStripRect(const Rect& client, int outline) {
    return Rect{client.right - outline - kListStripWidth, client.top + outline,
                client.right - outline, client.bottom - outline};
}

bool ListRowsOverflow(int count, int itemHeight, const Rect& client, int outline) {
    const long long rows = static_cast<long long>(count) * itemHeight;
    return rows > Inset(client, outline).Height();
}

ListPaintPlan PlanListRows(const Rect& area, int leftGap, int rightGap, int top, int count,
                           int itemHeight) {
    ListPaintPlan plan;
    Rect row{area.left + leftGap, area.top, area.right - rightGap, area.top + itemHeight};
    // A height below 1 would never leave the area.
    if (itemHeight > 0) {
        for (int i = top < 0 ? 0 : top; i < count && row.top < area.bottom; ++i) {
            plan.rows.push_back(ListRow{i, row});
            row.top += itemHeight;
            row.bottom += itemHeight;
        }
    }
    if (row.top < area.bottom) plan.below = Rect{row.left, row.top, row.right, area.bottom};
    return plan;
}

int ListHitTest(const Rect& area, int top, int count, int itemHeight, int x, int y) {
    if (itemHeight < 1 || x < area.left || x >= area.right || y < area.top || y >= area.bottom)
        return -1;
    for (int k = 0; k < count; ++k) {
        const long long rowTop =
            static_cast<long long>(area.top) + static_cast<long long>(k) * itemHeight;
        if (rowTop >= area.bottom) break;
        if (y >= rowTop && y < rowTop + itemHeight) {
            const long long hit = static_cast<long long>(top) + k;
            return hit < count ? static_cast<int>(hit) : -1;
        }
    }
    return -1;
}

Rect ListItemRect(const Rect& area, int top, int count, int itemHeight, int index) {
    if (index < top || index >= count) return Rect{};
    const int y = area.top + (index - top) * itemHeight;
    return Rect{area.left, y, area.right, y + itemHeight};
}

ListBoxRowLook ListRowLook(const ListBoxColors& c, int index, int selection, uintptr_t itemData) {
    if (index == selection) return ListBoxRowLook{c.selectBack, c.selectText};
    ListBoxRowLook look;
    look.back = index % 2 == 0 ? c.back1 : c.back2;
    look.text = itemData == 0 ? c.state1 : itemData == 1 ? c.state2 : c.state3;
    return look;
}

bool ListWheelTop(int top, int delta, int* newTop) {
    if (delta == -120) {
        *newTop = top + 1;
        return true;
    }
    if (delta == 120 && top - 1 >= 0) {
        *newTop = top - 1;
        return true;
    }
    return false;
}

}  // namespace skin
