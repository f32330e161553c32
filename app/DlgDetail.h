// The detail window: the values of the record that is due while a clip
// plays (three G-sensor axes, latitude, longitude, speed). A modeless skinned
// dialog on template 160 that the main dialog holds by value and writes into.
#pragma once

#include "ThemeClass/ThemeDialog.h"
#include "app/res/resource.h"

class CThemeButton;
class CThemeStatic;
class CQuorvelDlg;

class CDlgDetail : public CThemeDialog {
public:
    enum { IDD = IDD_DETAIL };
    explicit CDlgDetail(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    CQuorvelDlg* m_pMainDlg = nullptr;
    CThemeStatic* m_pStatic = nullptr;  // the label being styled
    // Captions and headings.
    CThemeStatic* m_pCapX = nullptr;      // 1075
    CThemeStatic* m_pCapY = nullptr;      // 1076
    CThemeStatic* m_pCapZ = nullptr;      // 1077
    CThemeStatic* m_pHeadAccel = nullptr; // 1074
    CThemeStatic* m_pCapLat = nullptr;    // 1079
    CThemeStatic* m_pCapLng = nullptr;    // 1080
    CThemeStatic* m_pHeadPos = nullptr;   // 1087
    CThemeStatic* m_pCapSpeed = nullptr;  // 1081
    CThemeStatic* m_pUnitKmh = nullptr;   // 1051
    // The value labels the main dialog writes (null until initialised).
    CThemeStatic* m_pValueX = nullptr;     // 1083
    CThemeStatic* m_pValueY = nullptr;     // 1084
    CThemeStatic* m_pValueZ = nullptr;     // 1085
    CThemeStatic* m_pValueLat = nullptr;   // 1078
    CThemeStatic* m_pValueLng = nullptr;   // 1082
    CThemeStatic* m_pValueSpeed = nullptr; // 1086
    CThemeButton* m_pCloseButton = nullptr; // 1037

protected:
    void InitTitle();
    void InitControls();

    afx_msg void OnCloseButton();
    afx_msg LRESULT OnNcHitTest(CPoint point);

    DECLARE_MESSAGE_MAP()
};
