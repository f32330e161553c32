#include "app/ConfigDlg.h"

#include <commdlg.h>

#include <cstring>

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeCombo.h"
#include "ThemeClass/ThemeConfig.h"
#include "ThemeClass/ThemeEdit.h"
#include "ThemeClass/ThemeGroup.h"
#include "ThemeClass/ThemeRadio.h"
#include "ThemeClass/ThemeStatic.h"
#include "app/CardFiles.h"
#include "app/DlgFormat.h"
#include "app/StylePreset_win32.h"

BEGIN_MESSAGE_MAP(CConfigDlg, CThemeDialog)
ON_MESSAGE(WM_DEVICECHANGE, OnDeviceChangeMsg)
ON_CBN_SELCHANGE(IDC_DRIVE_COMBO, OnSelchangeDrive)
ON_BN_CLICKED(IDC_APPLY, OnApply)
ON_BN_CLICKED(IDC_FORMAT_CARD, OnFormatCard)
ON_BN_CLICKED(IDC_CLOSE, OnCloseButton)
ON_BN_CLICKED(IDC_SET_TIME, OnSetTime)
ON_WM_MOVE()
ON_WM_NCHITTEST()
END_MESSAGE_MAP()

namespace {

// Template texts from the string table.
const struct {
    UINT nID;
    UINT nString;
} kTexts[] = {
    {IDC_LABEL_DRIVE, IDS_SELECT_DRIVE},
    {IDC_FORMAT_CARD, IDS_FORMAT_CARD},
    {IDC_APPLY, IDS_APPLY},
    {IDC_SET_TIME, IDS_SET_TIME},
    {IDC_SOUND_HIGH, IDS_SOUND_HIGH},
    {IDC_SOUND_MID, IDS_SOUND_MID},
    {IDC_SOUND_LOW, IDS_SOUND_LOW},
    {IDC_SENS_HIGH, IDS_SENS_HIGH},
    {IDC_SENS_MID, IDS_SENS_MID},
    {IDC_SENS_LOW, IDS_SENS_LOW},
    {IDC_QUAL_HIGH, IDS_QUAL_HIGH},
    {IDC_QUAL_MID, IDS_QUAL_MID},
    {IDC_QUAL_LOW, IDS_QUAL_LOW},
    {IDC_FRAME_HIGH, IDS_FRAME_HIGH},
    {IDC_FRAME_MID, IDS_FRAME_MID},
    {IDC_FRAME_LOW, IDS_FRAME_LOW},
};

template <class T>
T* Replace(CThemeDialog* pDlg, UINT nID) {
    return dynamic_cast<T*>(pDlg->ReplaceControl(nID));
}

void Enable(CWnd* pWnd, BOOL bEnable) {
    if (pWnd && pWnd->GetSafeHwnd()) pWnd->EnableWindow(bEnable);
}

// Values to radios: radio 3 - value is checked; a value outside 1 to 3
// checks nothing.
void CheckSetting(CThemeRadio* const radios[3], int value) {
    const int i = recorder::RadioOfSetting(value);
    if (i >= 0 && radios[i]) radios[i]->SetCheck(1);
}

// Radios to a value: the first checked radio i gives 3 - i; none checked
// keeps the value.
void ReadSetting(CThemeRadio* const radios[3], signed char& value) {
    for (int i = 0; i < 3; ++i) {
        if (radios[i] && radios[i]->GetCheck()) {
            value = static_cast<signed char>(recorder::SETTING_HIGH - i);
            return;
        }
    }
}

void ShowMessage(UINT nID, UINT nType = MB_OK) { AfxMessageBox(nID, nType); }

}  // namespace

CConfigDlg::CConfigDlg(CWnd* pParent) : CThemeDialog(IDD, pParent) {}

CConfigDlg::~CConfigDlg() = default;

void CConfigDlg::DoDataExchange(CDataExchange* pDX) { CThemeDialog::DoDataExchange(pDX); }

BOOL CConfigDlg::OnInitDialog() {
    CThemeDialog::OnInitDialog();
    LoadTexts();
    InitTitle();
    InitControls();

    ScanDrives(FALSE);
    EnableControls(TRUE);
    SetDefaults();
    UpdateRadios(FALSE);
    EnableControls(FALSE);
    if (m_pComboDrive) {
        Enable(m_pComboDrive, m_pComboDrive->GetCount() > 0);
        // Selecting sends CBN_SELCHANGE: the drive's settings load.
        if (m_nRecorderDrive != -1) m_pComboDrive->SetCurSel(m_nRecorderDrive);
    }

    SYSTEMTIME st;
    ::GetLocalTime(&st);
    const struct {
        CThemeEdit* pEdit;
        const char* lpszFormat;
        int nValue;
    } clock[] = {
        {m_pEditYear, "%d년", st.wYear},     {m_pEditMonth, "%d월", st.wMonth},
        {m_pEditDay, "%d일", st.wDay},       {m_pEditHour, "%d시", st.wHour},
        {m_pEditMinute, "%d분", st.wMinute}, {m_pEditSecond, "%d초", st.wSecond},
    };
    for (const auto& c : clock) {
        if (!c.pEdit) continue;
        CString text;
        text.Format(c.lpszFormat, c.nValue);
        c.pEdit->SetText(text);
    }
    return TRUE;
}

void CConfigDlg::LoadTexts() {
    for (const auto& t : kTexts) {
        CString text;
        if (text.LoadString(t.nString)) SetDlgItemText(t.nID, text);
    }
}

void CConfigDlg::InitTitle() {
    SetFontColor(0x0000FF);
    SetFontBold(TRUE);
    SetFontSize(16);
    SetAlignFormat(5);
    SetCaptionArea(CRect(1, 1, -1, 40));
    SetMouseDragMove(TRUE);
    SetBackColor(0x646464);
    LoadBackImageFile(GetAppFolder() + "Image\\popup copy.gif");
}

void CConfigDlg::InitControls() {
    ApplyCloseButtonStyle(Replace<CThemeButton>(this, IDC_CLOSE));
    m_pBtnFormat = Replace<CThemeButton>(this, IDC_FORMAT_CARD);
    ApplyConfigButtonStyle(m_pBtnFormat);
    m_pBtnApply = Replace<CThemeButton>(this, IDC_APPLY);
    ApplyConfigButtonStyle(m_pBtnApply);

    auto label = [this](UINT nID) {
        m_pLabel = Replace<CThemeStatic>(this, nID);
        ApplyLabelStyle(m_pLabel);
        if (m_pLabel) m_pLabel->SetColors(12, TRUE, 0xC8C8C8, 0x000000, 1);
        return m_pLabel;
    };
    auto group = [this](UINT nID) {
        CThemeGroup* p = Replace<CThemeGroup>(this, nID);
        ApplyGroupStyle(p);
        return p;
    };
    auto radios = [this](CThemeRadio* out[3], UINT a, UINT b, UINT c) {
        const UINT ids[3] = {a, b, c};
        for (int i = 0; i < 3; ++i) {
            out[i] = Replace<CThemeRadio>(this, ids[i]);
            ApplyConfigRadioStyle(out[i]);
        }
    };

    label(IDC_LABEL_DRIVE);
    m_pGroupSound = group(IDC_GROUP_SOUND);
    m_pLabelSound = label(IDC_LABEL_SOUND);
    radios(m_pRadioSound, IDC_SOUND_HIGH, IDC_SOUND_MID, IDC_SOUND_LOW);
    m_pGroupSensitivity = group(IDC_GROUP_SENSITIVITY);
    m_pLabelSensitivity = label(IDC_LABEL_SENSITIVITY);
    radios(m_pRadioSensitivity, IDC_SENS_HIGH, IDC_SENS_MID, IDC_SENS_LOW);
    m_pGroupQuality = group(IDC_GROUP_QUALITY);
    m_pLabelQuality = label(IDC_LABEL_QUALITY);
    radios(m_pRadioQuality, IDC_QUAL_HIGH, IDC_QUAL_MID, IDC_QUAL_LOW);
    m_pGroupFrame = group(IDC_GROUP_FRAME);
    m_pLabelFrame = label(IDC_LABEL_FRAME);
    radios(m_pRadioFrame, IDC_FRAME_HIGH, IDC_FRAME_MID, IDC_FRAME_LOW);

    m_pComboDrive = Replace<CThemeCombo>(this, IDC_DRIVE_COMBO);
    ApplyComboStyle(m_pComboDrive);
    m_pGroupTime = group(IDC_GROUP_TIME);
    CThemeEdit** edits[] = {&m_pEditYear, &m_pEditMonth,  &m_pEditDay,
                            &m_pEditHour, &m_pEditMinute, &m_pEditSecond};
    const UINT editIds[] = {IDC_EDIT_YEAR, IDC_EDIT_MONTH,  IDC_EDIT_DAY,
                            IDC_EDIT_HOUR, IDC_EDIT_MINUTE, IDC_EDIT_SECOND};
    for (int i = 0; i < 6; ++i) {
        *edits[i] = Replace<CThemeEdit>(this, editIds[i]);
        ApplyEditStyle(*edits[i]);
    }
    m_pBtnSetTime = Replace<CThemeButton>(this, IDC_SET_TIME);
    ApplyConfigButtonStyle(m_pBtnSetTime);
}

BOOL CConfigDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
        return TRUE;
    return CThemeDialog::PreTranslateMessage(pMsg);
}

void CConfigDlg::EnableControls(BOOL bEnable) {
    Enable(m_pBtnFormat, bEnable);
    Enable(m_pBtnApply, bEnable);
    for (CThemeRadio* const* group :
         {m_pRadioSound, m_pRadioSensitivity, m_pRadioQuality, m_pRadioFrame})
        for (int i = 0; i < 3; ++i) Enable(group[i], bEnable);
    Enable(m_pGroupSensitivity, bEnable);
    Enable(m_pGroupQuality, bEnable);
    Enable(m_pGroupFrame, bEnable);
    Enable(m_pComboDrive, bEnable);
}

void CConfigDlg::SetDefaults() {
    const recorder::Settings d;
    m_cQuality = d.quality;
    m_cSensitivity = d.sensitivity;
    m_cFrame = d.frame;
    m_cSound = d.sound;
}

void CConfigDlg::UpdateRadios(BOOL bSaveAndValidate) {
    if (bSaveAndValidate) {
        ReadSetting(m_pRadioSensitivity, m_cSensitivity);
        ReadSetting(m_pRadioQuality, m_cQuality);
        ReadSetting(m_pRadioSound, m_cSound);
        ReadSetting(m_pRadioFrame, m_cFrame);
        return;
    }
    CheckSetting(m_pRadioQuality, m_cQuality);
    CheckSetting(m_pRadioSensitivity, m_cSensitivity);
    CheckSetting(m_pRadioSound, m_cSound);
    CheckSetting(m_pRadioFrame, m_cFrame);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

recorder::Settings CConfigDlg::CurrentSettings() const {
    recorder::Settings s;
    s.quality = m_cQuality;
    s.sensitivity = m_cSensitivity;
    s.sound = m_cSound;
    s.frame = m_cFrame;
    return s;
}

char CConfigDlg::GetSelectedDrive() const {
    if (!m_pComboDrive || !m_pComboDrive->GetSafeHwnd()) return '\0';
    const int sel = m_pComboDrive->GetCurSel();
    if (sel < 0 || sel >= static_cast<int>(sizeof m_szDriveLetters)) return '\0';
    return m_szDriveLetters[sel];
}

int CConfigDlg::SaveSettings(char cDrive) {
    UpdateRadios(TRUE);
    m_byFrameFile = static_cast<unsigned char>(m_cFrame);
    m_byQualityFile = static_cast<unsigned char>(m_cQuality);
    m_bySensitivityFile = static_cast<unsigned char>(m_cSensitivity);
    m_bySoundFile = static_cast<unsigned char>(m_cSound);
    CCardFiles files;
    return recorder::SaveSettings(files, cDrive, CurrentSettings());
}

void CConfigDlg::ScanDrives(BOOL bRescan) {
    char buffer[251] = {};
    ::GetLogicalDriveStringsA(250, buffer);
    if (bRescan && m_pComboDrive) m_pComboDrive->ResetContent();
    std::memset(m_szDriveLetters, 0, sizeof m_szDriveLetters);
    m_nRecorderDrive = -1;

    std::vector<recorder::DriveInfo> drives;
    for (const std::string& root : recorder::SplitDriveRoots(buffer, sizeof buffer)) {
        if (root.empty()) continue;
        const char letter = root[0];
        const unsigned type = ::GetDriveTypeA(recorder::DriveRoot(letter).c_str());
        if (!recorder::DriveListed(letter, type)) continue;
        char label[1024] = {};
        char fileSystem[1024] = {};
        ::GetVolumeInformationA(recorder::DriveRoot(letter).c_str(), label, sizeof label - 1,
                                nullptr, nullptr, nullptr, fileSystem, sizeof fileSystem - 1);
        drives.push_back({letter, type, label});
    }
    const recorder::DriveList list = recorder::BuildDriveList(drives);
    for (size_t i = 0; i < list.entries.size(); ++i) {
        if (m_pComboDrive) m_pComboDrive->AddString(list.entries[i].text.c_str());
        m_szDriveLetters[i] = list.entries[i].letter;
    }
    m_nRecorderDrive = list.recorderIndex;

    if (!bRescan || !m_pComboDrive) return;
    if (m_nRecorderDrive != -1) {
        m_pComboDrive->SetCurSel(m_nRecorderDrive);
    } else {
        m_pComboDrive->SetText("");
        EnableControls(TRUE);
        SetDefaults();
        UpdateRadios(FALSE);
        EnableControls(FALSE);
    }
    Enable(m_pComboDrive, m_pComboDrive->GetCount() > 0);
}

LRESULT CConfigDlg::OnDeviceChangeMsg(WPARAM wParam, LPARAM lParam) {
    return OnDeviceChange(static_cast<UINT>(wParam), static_cast<DWORD_PTR>(lParam));
}

BOOL CConfigDlg::OnDeviceChange(UINT /*nEventType*/, DWORD_PTR /*dwData*/) {
    // A rescan under a running format could leave another drive, or none,
    // selected when the format writes its settings: it waits.
    if (m_bFormatting) {
        m_bRescanDue = TRUE;
        return TRUE;
    }
    ScanDrives(TRUE);
    return TRUE;
}

void CConfigDlg::OnSelchangeDrive() {
    const char letter = GetSelectedDrive();
    if (!letter) return;
    ULARGE_INTEGER freeBytes{}, totalBytes{}, totalFree{};
    if (!::GetDiskFreeSpaceExA(recorder::DriveRoot(letter).c_str(), &freeBytes, &totalBytes,
                               &totalFree) ||
        totalBytes.QuadPart == 0) {
        ShowMessage(IDS_BAD_DISK);
        return;
    }
    EnableControls(TRUE);
    SetDefaults();
    recorder::Settings s = CurrentSettings();
    CCardFiles files;
    recorder::LoadSettings(files, letter, &s);
    m_cFrame = s.frame;
    m_cSound = s.sound;
    m_cQuality = s.quality;
    m_cSensitivity = s.sensitivity;
    m_byFrameFile = static_cast<unsigned char>(m_cFrame);
    m_bySoundFile = static_cast<unsigned char>(m_cSound);
    m_byQualityFile = static_cast<unsigned char>(m_cQuality);
    m_bySensitivityFile = static_cast<unsigned char>(m_cSensitivity);
    UpdateRadios(FALSE);
}

void CConfigDlg::OnApply() {
    ShowMessage(SaveSettings(GetSelectedDrive()) == 0 ? IDS_SETTINGS_SAVED : IDS_BAD_DISK);
    CThemeDialog::OnOK();
}

void CConfigDlg::OnFormatCard() {
    if (m_bFormatting || !GetSelectedDrive()) return;
    if (AfxMessageBox(IDS_FORMAT_CONFIRM, MB_YESNO) != IDYES) return;
    m_bFormatting = TRUE;
    m_bRescanDue = FALSE;
    {
        CDlgFormat dlg;
        dlg.m_pConfigDlg = this;
        dlg.DoModal();
    }
    m_bFormatting = FALSE;
    if (m_bRescanDue) {
        m_bRescanDue = FALSE;
        ScanDrives(TRUE);
    }
}

void CConfigDlg::OnCloseButton() { CThemeDialog::OnOK(); }

void CConfigDlg::OnSetTime() {
    CThemeEdit* const edits[6] = {m_pEditYear, m_pEditMonth,  m_pEditDay,
                                  m_pEditHour, m_pEditMinute, m_pEditSecond};
    int values[6] = {};
    for (int i = 0; i < 6; ++i) {
        CString text;
        if (edits[i]) edits[i]->GetText(text);
        values[i] = recorder::ClockFieldValue(text);
    }
    const recorder::ClockFields clock{values[0], values[1], values[2],
                                      values[3], values[4], values[5]};
    CCardFiles files;
    switch (recorder::SaveClock(files, GetSelectedDrive(), clock)) {
        case recorder::ClockResult::BadValue: ShowMessage(IDS_BAD_TIME); break;
        case recorder::ClockResult::Written: ShowMessage(IDS_SETTINGS_SAVED); break;
        default: break;
    }
}

void CConfigDlg::OnMove(int x, int y) { CThemeDialog::OnMove(x, y); }

LRESULT CConfigDlg::OnNcHitTest(CPoint) { return HTNOWHERE; }

int CConfigDlg::BrowseFile(HWND hOwner, LPCSTR lpszFilter, LPCSTR lpszInitialDir, LPSTR lpszPath) {
    char file[MAX_PATH] = {};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hOwner;
    ofn.lpstrFilter = lpszFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = lpszInitialDir;
    const BOOL ok = ::GetOpenFileNameA(&ofn);
    if (!ok || !lpszPath) return 0;
    std::strcpy(lpszPath, file);
    return ok;
}
