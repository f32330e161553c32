// The detail window: the values of the record that is due while a clip
// plays (three G-sensor axes, latitude, longitude, speed). A modeless skinned
// dialog on template 160 that the main dialog holds by value and writes into.
#pragma once

#include "ThemeClass/ThemeDialog.h"
#include "app/res/resource.h"

class CThemeStatic;
class CQuorvelDlg;


class CDlgDetail : public CThemeDialog {
public:
    enum { IDD = IDD_DETAIL };
    explicit CDlgDetail(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

    CQuorvelDlg* m_pMainDlg = nullptr;
    // The value labels the main dialog writes (null until initialised).
    CThemeStatic* m_pValueX = nullptr;     // 1083
    CThemeStatic* m_pValueY = nullptr;     // 1084
    CThemeStatic* m_pValueZ = nullptr;     // 1085
    CThemeStatic* m_pValueLat = nullptr;   // 1078
    CThemeStatic* m_pValueLng = nullptr;   // 1082
    CThemeStatic* m_pValueSpeed = nullptr; // 1086

protected:
    afx_msg void OnCloseButton();
    afx_msg LRESULT OnNcHitTest(CPoint point);

    DECLARE_MESSAGE_MAP()
};
