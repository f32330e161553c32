// Row geometry and looks of the skinned list box: where the rows and the
// scroll strip go, which row a point hits, which colours a row paints in,
// and what a wheel notch does to the top row. Plain integers only, so the
// rules are tested natively; the window class calls these.
#pragma once

#include <cstdint>
#include <vector>

#include "ThemeClass/ThemeLayout.h"
#include "ThemeClass/ThemeLook.h"

namespace skin {

// Width of the strip at the right edge in which the inner list shows its
// scroll bar.
constexpr int kListStripWidth = 17;

// The client rectangle inset by the outline, less the strip while it is
// shown.
Rect ListRowArea(const Rect& client, int outline, bool stripShown);

// Where the inner list (the strip) is moved: the strip at the right edge
// inside the outline.
Rect ListStripRect(const Rect& client, int outline);

// The rows overflow the client rectangle inset by the outline. Computed in
// 64 bits, so a large count cannot wrap to "no overflow".
bool ListRowsOverflow(int count, int itemHeight, const Rect& client, int outline);

// One row to paint: its index and its rectangle (gaps applied).
struct ListRow {
    int index = 0;
    Rect rect;
};

// The rows a paint covers, from the top row down while a row's top is above
// the area's bottom, and the part of the area below the last row that is
// filled with the back colour (empty when the rows reach the bottom).
struct ListPaintPlan {
    std::vector<ListRow> rows;
    Rect below;
};
ListPaintPlan PlanListRows(const Rect& area, int leftGap, int rightGap, int top, int count,
                           int itemHeight);

// The row under a point (the full area width, no gaps), or -1.
int ListHitTest(const Rect& area, int top, int count, int itemHeight, int x, int y);

// The rectangle of an item for invalidation: empty when it is above the top
// row or not below the count.
Rect ListItemRect(const Rect& area, int top, int count, int itemHeight, int index);

// The colours of the list and the pick for one row.
struct ListBoxColors {
    Color state1 = 0;  // text, item data 0
    Color state2 = 0;  // text, item data 1
    Color state3 = 0;  // text, other item data
    Color selectText = 0;
    Color selectBack = 0;
    Color back1 = 0;  // even rows
    Color back2 = 0;  // odd rows
};
struct ListBoxRowLook {
    Color back = 0;
    Color text = 0;
};
ListBoxRowLook ListRowLook(const ListBoxColors& c, int index, int selection, uintptr_t itemData);

// The top row a wheel notch asks for: one row down for exactly -120, one up
// for exactly +120 unless that is below 0. Returns false when the delta
// does not scroll.
bool ListWheelTop(int top, int delta, int* newTop);

}  // namespace skin
