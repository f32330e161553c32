#include "app/DlgDetail.h"

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeConfig.h"
#include "ThemeClass/ThemeStatic.h"
#include "app/StylePreset_win32.h"

BEGIN_MESSAGE_MAP(CDlgDetail, CThemeDialog)
ON_COMMAND(IDC_CLOSE, OnCloseButton)
ON_WM_NCHITTEST()
END_MESSAGE_MAP()

namespace {
// The look every label of the window shares; only the size and the shadow
// colour differ.
const COLORREF kLabelText = 0xC8C8C8;
}  // namespace

CDlgDetail::CDlgDetail(CWnd* pParent) : CThemeDialog(IDD, pParent) {}

void CDlgDetail::DoDataExchange(CDataExchange* pDX) { CThemeDialog::DoDataExchange(pDX); }

BOOL CDlgDetail::OnInitDialog() {
    CThemeDialog::OnInitDialog();
    InitTitle();
    InitControls();
    return TRUE;
}

void CDlgDetail::InitTitle() {
    SetFontColor(0x1414C8);
    SetFontBold(TRUE);
    SetFontSize(20);
    SetAlignFormat(5);
    SetCaptionArea(CRect(1, 1, -1, 40));
    CString strCaption;
    strCaption.LoadString(IDS_DETAIL);
    SetCaption(strCaption);
    SetMouseDragMove(TRUE);
    SetBackColor(0x646464);
    SetBackImage(GetAppFolder() + "Image\\popup copy.gif");
}

void CDlgDetail::InitControls() {
    // One row per label, in the order they are styled: the preset first,
    // then (size > 0) the label's own size, text and shadow colours.
    struct LabelRow {
        UINT nID;
        CThemeStatic* CDlgDetail::*pMember;
        void (*preset)(CThemeStatic*);
        int nSize;  // 0: the preset's look stays
        COLORREF crShadow;
    };
    static const LabelRow kRows[] = {
        {IDC_CAP_X, &CDlgDetail::m_pCapX, ApplyDetailLabelStyle, 14, 0x000000},
        {IDC_CAP_Y, &CDlgDetail::m_pCapY, ApplyDetailLabelStyle, 14, 0x000000},
        {IDC_CAP_Z, &CDlgDetail::m_pCapZ, ApplyDetailLabelStyle, 14, 0x000000},
        {IDC_HEAD_ACCEL, &CDlgDetail::m_pHeadAccel, ApplyLabelStyle, 16, 0x000000},
        {IDC_VALUE_X, &CDlgDetail::m_pValueX, ApplyLabelStyle, 12, 0xC80000},
        {IDC_VALUE_Y, &CDlgDetail::m_pValueY, ApplyLabelStyle, 12, 0x00C800},
        {IDC_VALUE_Z, &CDlgDetail::m_pValueZ, ApplyLabelStyle, 12, 0x0000C8},
        {IDC_CAP_LAT, &CDlgDetail::m_pCapLat, ApplyDetailLabelStyle, 14, 0x000000},
        {IDC_CAP_LNG, &CDlgDetail::m_pCapLng, ApplyDetailLabelStyle, 14, 0x000000},
        {IDC_HEAD_POS, &CDlgDetail::m_pHeadPos, ApplyLabelStyle, 16, 0x000000},
        {IDC_VALUE_LAT, &CDlgDetail::m_pValueLat, ApplyLabelStyle, 12, 0x640064},
        {IDC_VALUE_LNG, &CDlgDetail::m_pValueLng, ApplyLabelStyle, 12, 0x646400},
        {IDC_VALUE_SPEED, &CDlgDetail::m_pValueSpeed, ApplyLabelStyle, 0, 0},
        {IDC_CAP_SPEED, &CDlgDetail::m_pCapSpeed, ApplyLabelStyle, 15, 0x006464},
        {IDC_UNIT_KMH, &CDlgDetail::m_pUnitKmh, ApplyLabelStyle, 15, 0x006464},
    };
    for (const LabelRow& row : kRows) {
        m_pStatic = dynamic_cast<CThemeStatic*>(ReplaceControl(row.nID));
        this->*row.pMember = m_pStatic;
        if (!m_pStatic) continue;
        row.preset(m_pStatic);
        if (row.nSize > 0) m_pStatic->SetColors(row.nSize, TRUE, kLabelText, row.crShadow, 1);
    }
    m_pStatic = nullptr;
    m_pCloseButton = dynamic_cast<CThemeButton*>(ReplaceControl(IDC_CLOSE));
    ApplyCloseButtonStyle(m_pCloseButton);
}

void CDlgDetail::OnCloseButton() { ShowWindow(SW_HIDE); }

LRESULT CDlgDetail::OnNcHitTest(CPoint) { return HTNOWHERE; }
