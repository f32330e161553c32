// The configuration window: the card drive, the recorder's four settings,
// its clock file and the card format. A modal skinned dialog on template 130.
#pragma once

#include "ThemeClass/ThemeDialog.h"
#include "app/recorder_settings.h"
#include "app/res/resource.h"

class CThemeButton;
class CThemeCombo;
class CThemeEdit;
class CThemeGroup;
class CThemeRadio;
class CThemeStatic;

class CConfigDlg : public CThemeDialog {
public:
    enum { IDD = IDD_CONFIG };
    explicit CConfigDlg(CWnd* pParent = nullptr);
    ~CConfigDlg() override;

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void DoDataExchange(CDataExchange* pDX) override;

    // Used by the format dialog, on the window thread.
    void EnableControls(BOOL bEnable);
    void SetDefaults();
    void UpdateRadios(BOOL bSaveAndValidate);
    // Writes the four settings files to the card in drive cDrive (the radios
    // are read first). 0 on success, -1 on failure; no drive ('\0') writes
    // nothing and fails.
    int SaveSettings(char cDrive);
    // The letter of the selected drive entry, '\0' when none is selected.
    char GetSelectedDrive() const;
    // While a format runs, drive changes wait: the list is rebuilt when it
    // ends.
    BOOL IsFormatting() const { return m_bFormatting; }

    void InitTitle();
    // Shows the system's open-file dialog; the chosen path goes to
    // lpszPath (at least MAX_PATH characters). Returns the dialog's result,
    // 0 when nothing was chosen.
    static int BrowseFile(HWND hOwner, LPCSTR lpszFilter, LPCSTR lpszInitialDir, LPSTR lpszPath);

    CThemeStatic* m_pLabel = nullptr;
    int m_nRecorderDrive = -1;
    char m_szDriveLetters[26] = {};
    CThemeButton* m_pBtnFormat = nullptr;
    CThemeButton* m_pBtnApply = nullptr;
    CThemeGroup* m_pGroupFrame = nullptr;
    CThemeStatic* m_pLabelFrame = nullptr;
    CThemeRadio* m_pRadioFrame[3] = {};
    CThemeGroup* m_pGroupSound = nullptr;
    CThemeStatic* m_pLabelSound = nullptr;
    CThemeRadio* m_pRadioSound[3] = {};
    CThemeGroup* m_pGroupQuality = nullptr;
    CThemeStatic* m_pLabelQuality = nullptr;
    CThemeRadio* m_pRadioQuality[3] = {};
    CThemeGroup* m_pGroupSensitivity = nullptr;
    CThemeStatic* m_pLabelSensitivity = nullptr;
    CThemeRadio* m_pRadioSensitivity[3] = {};
    CThemeCombo* m_pComboDrive = nullptr;
    CThemeGroup* m_pGroupTime = nullptr;
    CThemeEdit* m_pEditYear = nullptr;
    CThemeEdit* m_pEditMonth = nullptr;
    CThemeEdit* m_pEditDay = nullptr;
    CThemeEdit* m_pEditHour = nullptr;
    CThemeEdit* m_pEditMinute = nullptr;
    CThemeEdit* m_pEditSecond = nullptr;
    CThemeButton* m_pBtnSetTime = nullptr;
    signed char m_cQuality = -1;
    signed char m_cSensitivity = -1;
    signed char m_cSound = -1;
    signed char m_cFrame = -1;
    unsigned char m_byFrameFile = 0;
    unsigned char m_byQualityFile = 0;
    unsigned char m_bySensitivityFile = 0;
    unsigned char m_bySoundFile = 0;

protected:
    afx_msg LRESULT OnDeviceChangeMsg(WPARAM wParam, LPARAM lParam);
    BOOL OnDeviceChange(UINT nEventType, DWORD_PTR dwData);
    afx_msg void OnSelchangeDrive();
    afx_msg void OnApply();
    afx_msg void OnFormatCard();
    afx_msg void OnCloseButton();
    afx_msg void OnSetTime();
    afx_msg void OnMove(int x, int y);
    afx_msg LRESULT OnNcHitTest(CPoint point);

    void LoadTexts();
    void InitControls();
    // Rebuilds the drive list; bRescan empties the combo first and selects
    // or resets as after a device change.
    void ScanDrives(BOOL bRescan);
    recorder::Settings CurrentSettings() const;

    BOOL m_bFormatting = FALSE;
    BOOL m_bRescanDue = FALSE;

    DECLARE_MESSAGE_MAP()
};
