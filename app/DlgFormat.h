// The card format window: a status label and a progress bar while a worker
// thread formats the recorder's card through the system's FormatEx as FAT32
// labelled "D-UVUDOVID", then fresh default settings files on the card. A
// modal skinned dialog on template 158, opened by the configuration dialog.
#pragma once

#include "ThemeClass/ThemeDialog.h"
#include "app/res/resource.h"

class CConfigDlg;
class CThemeProgress;
class CThemeStatic;

// Posted by the format worker to the format dialog's window.
#define WM_FORMAT_PROGRESS 0x3401  // wParam: percent done
#define WM_FORMAT_FAILED 0x3402
#define WM_FORMAT_DONE 0x3403

// FormatEx's progress function: command, sub-action, the command's data.
typedef BOOLEAN(WINAPI* PFMIFSCALLBACK)(DWORD dwCommand, DWORD dwSubAction, PVOID pvArgument);
typedef VOID(WINAPI* PFORMATEX)(PWCHAR pszDriveRoot, DWORD dwMediaType, PWCHAR pszFileSystem,
                                PWCHAR pszLabel, BOOL bQuickFormat, DWORD dwClusterSize,
                                PFMIFSCALLBACK pfnCallback);

class CDlgFormat : public CThemeDialog {
public:
    enum { IDD = IDD_FORMAT };
    explicit CDlgFormat(CWnd* pParent = nullptr);
    ~CDlgFormat() override;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Enter, Escape and Alt+F4 arrive here: ignored while the format runs.
    void OnOK() override;
    void OnCancel() override;

    static UINT __cdecl FormatThread(LPVOID pParam);
    static BOOLEAN WINAPI FormatCallback(DWORD dwCommand, DWORD dwSubAction, PVOID pvArgument);

    BOOL IsFormatting() const { return m_bRunning; }
    char GetDrive() const { return m_cDrive; }

    CThemeStatic* m_pStatus = nullptr;
    CThemeProgress* m_pProgress = nullptr;
    CConfigDlg* m_pConfigDlg = nullptr;

protected:
    void OnFormatDone();
    void OnFormatFailed();

    char m_cDrive = '\0';  // the drive being formatted, taken at the start
    BOOL m_bRunning = FALSE;

    DECLARE_MESSAGE_MAP()
};

// The format dialog being shown (set by its initialisation).
extern CDlgFormat* g_pFormatDlg;
