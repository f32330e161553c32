// The skinned popup menu as far as the push button needs it: an object the
// button may hold (it does not own it) and whose TrackPopup it calls with a
// point in the menu's parent's client coordinates. This stand-in only
// records the calls; the owner-drawn menu replaces it.
#pragma once

#include "classlib/afxwin.h"

class CThemeMenu {
public:
    CThemeMenu() = default;
    virtual ~CThemeMenu() = default;
    CThemeMenu(const CThemeMenu&) = delete;
    CThemeMenu& operator=(const CThemeMenu&) = delete;

    // Opens the menu at (x, y) of its parent's client area.
    virtual void TrackPopup(int x, int y);

    int GetTrackCount() const { return m_nTrackCount; }
    CPoint GetLastTrackPoint() const { return m_ptLastTrack; }

private:
    int m_nTrackCount = 0;
    CPoint m_ptLastTrack;
};
