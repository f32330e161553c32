// The application and thread objects, message loops, start-up, worker
// threads and message boxes.
#include "afximpl.h"

#include <process.h>

namespace {
CWinApp* g_pApp = nullptr;
HINSTANCE g_hResource = nullptr;
AFX_MSGBOX_HOOK g_pfnMsgBoxHook = nullptr;
}  // namespace

void AfxInitCommonControls() {
    static bool done = false;
    if (done) return;
    done = true;
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&icc);
}

CWinApp* AfxGetApp() { return g_pApp; }

CWinThread* AfxGetThread() {
    CWinThread* p = AfxGetThreadState()->pThread;
    return p;
}

CWnd* AfxGetMainWnd() {
    CWinThread* p = AfxGetThread();
    if (p && p->m_pMainWnd) return p->m_pMainWnd;
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
    if (g_pApp && g_pApp->m_hInstance) return g_pApp->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return g_hResource ? g_hResource : AfxGetInstanceHandle(); }
void AfxSetResourceHandle(HINSTANCE hInstResource) { g_hResource = hInstResource; }

BOOL AfxPreTranslateMessage(MSG* pMsg) {
    if (CWinThread* p = AfxGetThread()) return p->PreTranslateMessage(pMsg);
    return CWnd::WalkPreTranslateTree(nullptr, pMsg);
}

BOOL AfxPumpMessage() {
    MSG msg;
    BOOL r = ::GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0) {
        ::PostQuitMessage((int)msg.wParam);  // the outer loop ends too
        return FALSE;
    }
    if (r == -1) return TRUE;
    if (CWinThread* p = AfxGetThread()) p->m_msgCur = msg;
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}

// --- CWinThread -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWinThread, CCmdTarget)
END_MESSAGE_MAP()

CWinThread::CWinThread()
    : m_pMainWnd(nullptr),
      m_bAutoDelete(TRUE),
      m_bRunning(FALSE),
      m_hThread(nullptr),
      m_nThreadID(0),
      m_pfnThreadProc(nullptr),
      m_pThreadParams(nullptr),
      m_msgCur() {}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam) : CWinThread() {
    m_pfnThreadProc = pfnThreadProc;
    m_pThreadParams = pParam;
}

CWinThread::~CWinThread() {
    if (m_hThread) ::CloseHandle(m_hThread);
    AFX_THREAD_STATE* st = AfxGetThreadState();
    if (st->pThread == this) st->pThread = nullptr;
}

unsigned __stdcall CWinThread::ThreadEntry(void* pParam) {
    CWinThread* pThread = (CWinThread*)pParam;
    AfxGetThreadState()->pThread = pThread;
    UINT nResult;
    if (pThread->m_pfnThreadProc) {
        nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    } else if (pThread->InitInstance()) {
        nResult = (UINT)pThread->Run();
    } else {
        nResult = (UINT)pThread->ExitInstance();
    }
    CWnd::DeleteTempMap();
    AfxGetThreadState()->pThread = nullptr;
    if (pThread->m_bAutoDelete) delete pThread;
    return nResult;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize,
                              LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    unsigned id = 0;
    // Started suspended so that the handle and id are in place before the
    // thread can run (and, with auto-delete, end and free the object).
    uintptr_t h =
        _beginthreadex(lpSecurityAttrs, nStackSize, ThreadEntry, this,
                       CREATE_SUSPENDED | (dwCreateFlags & STACK_SIZE_PARAM_IS_A_RESERVATION), &id);
    if (!h) return FALSE;
    m_hThread = (HANDLE)h;
    m_nThreadID = id;
    if (!(dwCreateFlags & CREATE_SUSPENDED)) ::ResumeThread(m_hThread);
    return TRUE;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                           UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        delete pThread;
        return nullptr;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED)) pThread->ResumeThread();
    return pThread;
}

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::ExitInstance() { return (int)m_msgCur.wParam; }

BOOL CWinThread::OnIdle(LONG) {
    if (AfxGetThreadState()->nWndProcDepth == 0) CWnd::DeleteTempMap();
    return FALSE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
    return CWnd::WalkPreTranslateTree(nullptr, pMsg);
}

int CWinThread::Run() {
    m_bRunning = TRUE;
    for (;;) {
        MSG msg;
        LONG lIdle = 0;
        while (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdle++)) break;
        }
        if (!AfxPumpMessage()) {
            // The quit message was reposted for outer loops; take it off.
            ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
            m_msgCur = msg;
            m_bRunning = FALSE;
            return ExitInstance();
        }
    }
}

// --- CWinApp ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_hInstance(nullptr),
      m_lpCmdLine(nullptr),
      m_nCmdShow(SW_SHOWNORMAL),
      m_pszAppName(lpszAppName),
      m_pszExeName(nullptr),
      m_pszHelpFilePath(nullptr) {
    m_bAutoDelete = FALSE;
    g_pApp = this;
    AfxGetThreadState()->pThread = this;
    m_nThreadID = ::GetCurrentThreadId();
}

CWinApp::~CWinApp() {
    if (g_pApp == this) g_pApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
    AfxParseCommandLine(rCmdInfo, AfxSplitCommandLine(::GetCommandLineA(), TRUE));
}

void CWinApp::OnHelp() {
    if (!m_pszHelpFilePath || ::GetFileAttributesA(m_pszHelpFilePath) == INVALID_FILE_ATTRIBUTES)
        return;
    CWnd* pMain = AfxGetMainWnd();
    ::WinHelpA(pMain ? pMain->m_hWnd : nullptr, m_pszHelpFilePath, HELP_FINDER, 0);
}

int CWinApp::ExitInstance() { return (int)m_msgCur.wParam; }

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return -1;
    AfxInitCommonControls();
    pApp->m_hInstance = hInstance ? hInstance : ::GetModuleHandleA(nullptr);
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    {
        static char path[MAX_PATH];
        static CString exeName, helpPath;
        const DWORD n = ::GetModuleFileNameA(pApp->m_hInstance, path, MAX_PATH);
        path[n < MAX_PATH ? n : MAX_PATH - 1] = '\0';
        exeName = AfxModuleBaseName(path);
        helpPath = AfxPathWithExtension(path, ".HLP");
        pApp->m_pszExeName = exeName;
        pApp->m_pszHelpFilePath = helpPath;
        if (!pApp->m_pszAppName) pApp->m_pszAppName = pApp->m_pszExeName;
    }
    int nReturn;
    if (pApp->InitInstance()) {
        nReturn = pApp->Run();
    } else {
        if (pApp->m_pMainWnd && pApp->m_pMainWnd->m_hWnd) pApp->m_pMainWnd->DestroyWindow();
        // No message loop ended: the last message a modal dialog handled
        // during InitInstance is no exit code.
        pApp->m_msgCur = MSG();
        nReturn = pApp->ExitInstance();
    }
    CWnd::DeleteTempMap();
    return nReturn;
}

// --- Message boxes --------------------------------------------------------------

AFX_MSGBOX_HOOK AfxSetMessageBoxHook(AFX_MSGBOX_HOOK pfnHook) {
    AFX_MSGBOX_HOOK old = g_pfnMsgBoxHook;
    g_pfnMsgBoxHook = pfnHook;
    return old;
}

namespace {
int ShowMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
    if (!lpszCaption) lpszCaption = g_pApp && g_pApp->m_pszAppName ? g_pApp->m_pszAppName : "";
    if (g_pfnMsgBoxHook) return g_pfnMsgBoxHook(hWndOwner, lpszText, lpszCaption, nType);
    return ::MessageBoxA(hWndOwner, lpszText, lpszCaption, nType);
}
}  // namespace

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
    return ShowMessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT) {
    HWND hWndOwner = ::GetActiveWindow();
    if (!hWndOwner) {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain) hWndOwner = pMain->m_hWnd;
    }
    if (hWndOwner) hWndOwner = ::GetAncestor(hWndOwner, GA_ROOT);
    return ShowMessageBox(hWndOwner, lpszText, nullptr, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString s;
    s.LoadString(nIDPrompt);
    return AfxMessageBox(s, nType, nIDHelp == (UINT)-1 ? nIDPrompt : nIDHelp);
}
