// The map window: a modeless skinned dialog on template 145 that shows the
// recorder's position on the map page beside the program.
#pragma once

#include "ThemeClass/ThemeDialog.h"
#include "app/res/resource.h"
#include "classlib/afxview.h"

class CGoogleView;

class CDlgGoogle : public CThemeDialog {
public:
    enum { IDD = IDD_MAP };
    explicit CDlgGoogle(CWnd* pParent = nullptr);
    ~CDlgGoogle() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    // Shows a position on the page (decimal degrees, south and west negative).
    void SetLatLng(double latitude, double longitude);
    // Asks the page to bring the position into focus.
    void SetMapFocus();

    // The view's place in the dialog.
    enum { MAP_VIEW_X = 10, MAP_VIEW_Y = 35, MAP_VIEW_CX = 310, MAP_VIEW_CY = 408 };

    CCreateContext m_context;
    // The map view, or null. The view owns itself (it goes with its
    // window) and clears this pointer when it does.
    CGoogleView* m_pView;

protected:
    void CreateMapView();
    void InitTitle();
    void InitControls();

    afx_msg void OnCloseButton();
    afx_msg void OnDestroy();

    DECLARE_MESSAGE_MAP()
};
