// Start-up of the program: the one-instance guard, the COM server set-up
// with its registry switches, and the main dialog.
#include "app/QuorvelApp.h"

#include "app/QuorvelDlg.h"
#include "app/quorvel_switches.h"
#include "app/reg_script_win32.h"

namespace {

// The main dialog's window text, by which a second start finds the first.
const char kMainWindowTitle[] = "Trellmar";

HRESULT RunRegistryScript(HINSTANCE hInstance, UINT nResID, BOOL bRegister) {
    RegScriptError error;
    if (RegScript_UpdateFromResource(hInstance, nResID, bRegister != FALSE, &error)) return S_OK;
    ::OutputDebugStringA(("Quorvel: registry script: " + error.message + "\n").c_str());
    return E_FAIL;
}

BEGIN_OBJECT_MAP(ObjectMap)
END_OBJECT_MAP()

}  // namespace

// --- CQuorvelModule ----------------------------------------------------------------

CQuorvelModule::CQuorvelModule() : dwThreadID(0) { SetRegistrar(RunRegistryScript); }

LONG CQuorvelModule::Lock() {
    AfxOleLockApp();
    return 1;
}

LONG CQuorvelModule::Unlock() {
    AfxOleUnlockApp();
    return 0;
}

CQuorvelModule g_QuorvelModule;

// --- CQuorvelApp -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CQuorvelApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CQuorvelApp::CQuorvelApp() : m_bComInited(FALSE), m_hOneInstance(nullptr) {}

CQuorvelApp::~CQuorvelApp() {
    if (m_hOneInstance) ::CloseHandle(m_hOneInstance);
}

CQuorvelApp theApp;

BOOL CQuorvelApp::InitInstance() {
    ::SetLastError(ERROR_SUCCESS);
    m_hOneInstance = ::CreateEventA(nullptr, FALSE, TRUE, m_pszAppName);
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another copy runs: bring its window forward, if it has one yet.
        if (HWND hWnd = ::FindWindowA(nullptr, kMainWindowTitle)) {
            ::ShowWindow(hWnd, SW_SHOWNORMAL);
            ::SetForegroundWindow(hWnd);
        }
        return FALSE;
    }

    if (!InitATL()) return FALSE;

    AfxEnableControlContainer();

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (cmdInfo.m_bRunEmbedded || cmdInfo.m_bRunAutomated) return TRUE;  // serve, no window

    Enable3dControls();

    CQuorvelDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return FALSE;
}

BOOL CQuorvelApp::InitATL() {
    m_bComInited = TRUE;
    if (FAILED(::CoInitialize(nullptr))) {
        m_bComInited = FALSE;
        return FALSE;
    }

    g_QuorvelModule.Init(ObjectMap, m_hInstance);
    g_QuorvelModule.dwThreadID = ::GetCurrentThreadId();

    // Registry update and (un)registration results are not acted on: the
    // program ends after either switch.
    bool bRun = true;
    switch (ScanRegistrySwitch(::GetCommandLineA())) {
        case RegistrySwitch::Unregister:
            g_QuorvelModule.UpdateRegistryFromResource(IDR_QUORVEL, FALSE);
            g_QuorvelModule.UnregisterServer(TRUE);
            bRun = false;
            break;
        case RegistrySwitch::Register:
            g_QuorvelModule.UpdateRegistryFromResource(IDR_QUORVEL, TRUE);
            g_QuorvelModule.RegisterServer(TRUE);
            bRun = false;
            break;
        case RegistrySwitch::None: break;
    }

    if (!bRun) {
        m_bComInited = FALSE;
        g_QuorvelModule.Term();
        ::CoUninitialize();
        return FALSE;
    }

    if (FAILED(g_QuorvelModule.RegisterClassObjects(CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE))) {
        m_bComInited = FALSE;
        g_QuorvelModule.Term();
        ::CoUninitialize();
        return FALSE;
    }
    return TRUE;
}

int CQuorvelApp::ExitInstance() {
    if (m_bComInited) {
        g_QuorvelModule.RevokeClassObjects();
        g_QuorvelModule.Term();
        ::CoUninitialize();
        m_bComInited = FALSE;
    }
    return CWinApp::ExitInstance();
}

// --- CAboutDlg ---------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }
