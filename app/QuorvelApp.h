// The application object, the COM server module and the about box.
#pragma once

#include "classlib/afxcom.h"
#include "classlib/afxwin.h"

#ifndef IDD_ABOUTBOX
#define IDD_ABOUTBOX 100
#endif
#ifndef IDR_QUORVEL
#define IDR_QUORVEL 103  // "REGISTRY": the server's AppID entries
#endif

// The program's COM server module. It serves no class (its object map is
// empty); its locks are the application's.
class CQuorvelModule : public CComModule {
public:
    CQuorvelModule();
    LONG Lock() override;    // AfxOleLockApp; answers 1
    LONG Unlock() override;  // AfxOleUnlockApp; answers 0

    DWORD dwThreadID;  // the thread that initialised the module
};

extern CQuorvelModule g_QuorvelModule;

class CQuorvelApp : public CWinApp {
public:
    CQuorvelApp();
    ~CQuorvelApp() override;

    // One instance: a second start raises the first and ends; a registry
    // switch registers or unregisters and ends; an embedded or automation
    // start runs the message loop without a window (TRUE); otherwise the
    // main dialog runs modally, and FALSE ends the program after it.
    BOOL InitInstance() override;
    // Undoes the COM set-up when it is still in place.
    int ExitInstance() override;

    // COM, the server module and the registry switches; FALSE: the program
    // ends now.
    BOOL InitATL();

    BOOL m_bComInited;

private:
    HANDLE m_hOneInstance;  // the named event; open for the life of the process

    DECLARE_MESSAGE_MAP()
};

extern CQuorvelApp theApp;

// The about box (template 100). Nothing in the program opens it.
class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };
    CAboutDlg();

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
