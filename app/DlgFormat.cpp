#include "app/DlgFormat.h"

#include <atomic>
#include <cstdio>

#include "ThemeClass/ThemeConfig.h"
#include "ThemeClass/ThemeProgress.h"
#include "ThemeClass/ThemeStatic.h"
#include "app/ConfigDlg.h"
#include "app/StylePreset_win32.h"
#include "app/recorder_settings.h"

BEGIN_MESSAGE_MAP(CDlgFormat, CThemeDialog)
END_MESSAGE_MAP()

CDlgFormat* g_pFormatDlg = nullptr;
// FormatEx, looked up by the first format and kept for the process.
static std::atomic<PFORMATEX> g_pfnFormatEx{nullptr};

namespace {

// What the worker hands its thread: where to post and what to format.
struct FormatJob {
    HWND hWnd;
    char cDrive;
};

// The callback has no context argument; FormatEx calls it on the thread
// that called FormatEx, so each worker keeps its own.
thread_local HWND t_hWndReport = nullptr;
thread_local bool t_bFinished = false;
thread_local bool t_bSucceeded = false;

void Trace(const char* lpszFormat, unsigned value) {
    char text[32];
    std::snprintf(text, sizeof text, lpszFormat, value);
    ::OutputDebugStringA(text);
}

}  // namespace

CDlgFormat::CDlgFormat(CWnd* pParent) : CThemeDialog(IDD, pParent) {}

CDlgFormat::~CDlgFormat() {
    if (g_pFormatDlg == this) g_pFormatDlg = nullptr;
}

void CDlgFormat::DoDataExchange(CDataExchange* pDX) { CThemeDialog::DoDataExchange(pDX); }

BOOL CDlgFormat::OnInitDialog() {
    CThemeDialog::OnInitDialog();
    CString text;
    if (text.LoadString(IDS_PROGRESS)) SetDlgItemText(IDC_FORMAT_STATUS, text);

    SetFontColor(0x0000FF);
    SetFontBold(TRUE);
    SetFontSize(16);
    SetAlignFormat(5);
    SetCaptionArea(CRect(1, 1, -1, 40));
    CString caption;
    caption.LoadString(IDS_FORMAT_TITLE);
    SetCaption(caption);
    SetMouseDragMove(TRUE);
    SetBackColor(0x646464);
    LoadBackImageFile(GetAppFolder() + "Image\\popup copy.gif");

    m_pStatus = dynamic_cast<CThemeStatic*>(ReplaceControl(IDC_FORMAT_STATUS));
    ApplyLabelStyle(m_pStatus);
    m_pProgress = dynamic_cast<CThemeProgress*>(ReplaceControl(IDC_FORMAT_PROGRESS));

    g_pFormatDlg = this;
    if (m_pProgress) {
        m_pProgress->SetRange(0, 100);
        m_pProgress->SetPos(0);
    }

    m_cDrive = m_pConfigDlg ? m_pConfigDlg->GetSelectedDrive() : '\0';
    m_bRunning = TRUE;
    FormatJob* job = new FormatJob{m_hWnd, m_cDrive};
    if (!m_cDrive || !AfxBeginThread(FormatThread, job)) {
        delete job;
        PostMessage(WM_FORMAT_FAILED);
    }
    return TRUE;
}

UINT __cdecl CDlgFormat::FormatThread(LPVOID pParam) {
    const FormatJob job = *static_cast<FormatJob*>(pParam);
    delete static_cast<FormatJob*>(pParam);

    PFORMATEX pfn = g_pfnFormatEx.load();
    if (!pfn) {
        // The module stays loaded for the rest of the process.
        if (::LoadLibraryA("fmifs.dll")) {
            pfn = reinterpret_cast<PFORMATEX>(reinterpret_cast<void*>(
                ::GetProcAddress(::GetModuleHandleA("fmifs.dll"), "FormatEx")));
            g_pfnFormatEx.store(pfn);
        }
    }
    // Right before the format: only a removable drive C to Z, whatever the
    // caller selected.
    const char root[4] = {job.cDrive, ':', '\\', '\0'};
    if (!pfn || !recorder::FormatTargetAllowed(job.cDrive, ::GetDriveTypeA(root))) {
        ::PostMessageA(job.hWnd, WM_FORMAT_FAILED, 0, 0);
        return 0;
    }

    WCHAR wszRoot[4] = {static_cast<WCHAR>(job.cDrive), L':', L'\\', L'\0'};
    WCHAR wszFileSystem[] = L"FAT32";
    WCHAR wszLabel[] = L"D-UVUDOVID";
    t_hWndReport = job.hWnd;
    t_bFinished = false;
    t_bSucceeded = false;
    pfn(wszRoot, 11, wszFileSystem, wszLabel, FALSE, 0, FormatCallback);
    // Posted only now that FormatEx has let go of the volume.
    ::PostMessageA(job.hWnd, t_bFinished && t_bSucceeded ? WM_FORMAT_DONE : WM_FORMAT_FAILED, 0,
                   0);
    t_hWndReport = nullptr;
    return 0;
}

BOOLEAN WINAPI CDlgFormat::FormatCallback(DWORD dwCommand, DWORD, PVOID pvArgument) {
    Trace("[%d]\n", dwCommand);
    const recorder::FormatReportAction a = recorder::ReadFormatReport(dwCommand, pvArgument);
    if (a.postProgress && t_hWndReport)
        ::PostMessageA(t_hWndReport, WM_FORMAT_PROGRESS, a.percent, 0);
    if (a.finished) {
        t_bFinished = true;
        t_bSucceeded = a.succeeded;
    }
    if (dwCommand == recorder::FMIFS_OUTPUT) ::OutputDebugStringA("OutPut\n");
    return TRUE;
}

LRESULT CDlgFormat::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_FORMAT_PROGRESS: {
            CString text;
            text.LoadString(IDS_FORMATTING);
            if (m_pStatus) m_pStatus->SetText(text);
            Trace("[%d]\n", static_cast<unsigned>(wParam));
            if (m_pProgress) m_pProgress->SetPos(static_cast<int>(wParam));
            break;
        }
        case WM_FORMAT_FAILED: OnFormatFailed(); break;
        case WM_FORMAT_DONE: OnFormatDone(); break;
        default: break;
    }
    return CThemeDialog::WindowProc(message, wParam, lParam);
}

void CDlgFormat::OnFormatDone() {
    if (!m_bRunning) return;
    int result = -1;
    if (m_pConfigDlg) {
        m_pConfigDlg->SetDefaults();
        m_pConfigDlg->UpdateRadios(FALSE);
        result = m_pConfigDlg->SaveSettings(m_cDrive);
    }
    CString text;
    text.LoadString(IDS_DONE);
    if (m_pStatus) m_pStatus->SetText(text);
    m_bRunning = FALSE;
    // A card left without its settings files is not ready: say so.
    AfxMessageBox(result == 0 ? IDS_FORMAT_DONE : IDS_BAD_DISK);
    CThemeDialog::OnOK();
}

void CDlgFormat::OnFormatFailed() {
    if (!m_bRunning) return;
    m_bRunning = FALSE;
    AfxMessageBox(IDS_FORMAT_ERROR);
    CThemeDialog::OnOK();
}

void CDlgFormat::OnOK() {
    if (m_bRunning) return;
    CThemeDialog::OnOK();
}

void CDlgFormat::OnCancel() {
    if (m_bRunning) return;
    CThemeDialog::OnCancel();
}
