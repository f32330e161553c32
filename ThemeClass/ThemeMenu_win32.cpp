#include "ThemeClass/ThemeMenu.h"

void CThemeMenu::TrackPopup(int x, int y) {
    ++m_nTrackCount;
    m_ptLastTrack = CPoint(x, y);
}
