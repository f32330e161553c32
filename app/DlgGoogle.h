// The map window: a modeless skinned dialog on template 145 that shows the
// recorder's position on the map page beside the program.
#pragma once

#include "ThemeClass/ThemeDialog.h"
#include "app/res/resource.h"


class CDlgGoogle : public CThemeDialog {
public:
    enum { IDD = IDD_MAP };
    explicit CDlgGoogle(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

    // Shows a position on the page (decimal degrees, south and west negative).
    void SetLatLng(double latitude, double longitude);
    // Asks the page to bring the position into focus.
    void SetMapFocus();

protected:
    afx_msg void OnCloseButton();

    DECLARE_MESSAGE_MAP()
};
