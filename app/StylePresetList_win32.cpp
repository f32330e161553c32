// The play list's preset, apart from the others: the report list's header
// does not go into one translation unit with the combo box's.
#include "ThemeClass/ThemeListCtrl.h"
#include "app/StylePreset_win32.h"

void ApplyListStyle(CThemeListCtrl* pList) {
    if (!pList) return;
    pList->SetBackColor(0x2A2A2B);
    pList->SetFontColor(0xFBFFFB);
    pList->SetNormalBackColor(0x2A2A2B);
    pList->SetItemFrameColor(0x2A2A2B);
    pList->SetSelectFontColor(0xFBFFFB);
    pList->SetSelectBackColor(0x444444);
    pList->SetItemHeight(22);
    pList->SetHeadBackColor(0x383C3F);
    pList->SetHeadFontColor(0xDADDDA);
    pList->SetHeadFrameColor(0x555555);
}
