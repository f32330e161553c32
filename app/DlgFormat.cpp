#include "app/DlgFormat.h"

#include <process.h>

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

// What the callback reports to and what it learnt. The callback has no
// context argument; one format runs at a time (the dialog is modal and
// ends only once its worker has posted the outcome), so one set serves.
std::atomic<HWND> g_hWndReport{nullptr};
std::atomic<bool> g_bFinished{false};
std::atomic<bool> g_bSucceeded{false};

void Trace(const char* lpszFormat, unsigned value) {
    char text[32];
    std::snprintf(text, sizeof text, lpszFormat, value);
    ::OutputDebugStringA(text);
}

unsigned __stdcall WorkerEntry(void* pParam) { return CDlgFormat::FormatThread(pParam); }

// The worker runs on a plain thread of its own; its handle is not kept.
// (Not the class library's thread object: the end of such a thread has been
// seen to corrupt the heap under Wine.)
bool StartWorker(FormatJob* job) {
    const uintptr_t h = _beginthreadex(nullptr, 0, WorkerEntry, job, 0, nullptr);
    if (!h) return false;
    ::CloseHandle(reinterpret_cast<HANDLE>(h));
    return true;
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
    if (!m_cDrive || !StartWorker(job)) {
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
    g_hWndReport = job.hWnd;
    g_bFinished = false;
    g_bSucceeded = false;
    pfn(wszRoot, 11, wszFileSystem, wszLabel, FALSE, 0, FormatCallback);
    // Posted only now that FormatEx has let go of the volume.
    const bool ok = g_bFinished && g_bSucceeded;
    ::PostMessageA(job.hWnd, ok ? WM_FORMAT_DONE : WM_FORMAT_FAILED, 0, 0);
    return 0;
}

BOOLEAN WINAPI CDlgFormat::FormatCallback(DWORD dwCommand, DWORD, PVOID pvArgument) {
    Trace("[%d]\n", dwCommand);
    const recorder::FormatReportAction a = recorder::ReadFormatReport(dwCommand, pvArgument);
    const HWND hWnd = g_hWndReport;
    if (a.postProgress && hWnd) ::PostMessageA(hWnd, WM_FORMAT_PROGRESS, a.percent, 0);
    if (a.finished) {
        g_bSucceeded = a.succeeded;
        g_bFinished = true;
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
