// The command-line record of the application: what the program was asked
// to do at start (open a file, print, run for a COM client, unregister).
// Portable: the splitting and the switch meanings are tested natively; the
// Windows build fills the record from the process's command line
// (CWinApp::ParseCommandLine).
#pragma once

#include <vector>

#include "classlib/afxstr.h"

class CCommandLineInfo {
public:
    enum {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppUnregister,
        FileNothing = -1,
    };

    CCommandLineInfo();
    virtual ~CCommandLineInfo() = default;

    // One argument: a switch (bFlag, without its leading '-' or '/') or a
    // parameter; bLast on the last argument.
    virtual void ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash;
    BOOL m_bRunEmbedded;   // "Embedding": started by COM for a client
    BOOL m_bRunAutomated;  // "Automation": started for automation
    int m_nShellCommand;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

private:
    void ParseFlag(LPCTSTR pszParam);
    void ParseFileParam(LPCTSTR pszParam);
    BOOL m_bExpectPrinterArgs;  // after "pt": printer, driver and port follow
    int m_nPrinterArgs;
};

// The arguments of a command line as the C runtime splits it: blanks (space,
// tab) separate them; double quotes group blanks into an argument and are
// dropped; 2n backslashes before a quote give n backslashes and the quote
// groups, 2n+1 give n backslashes and a literal quote; other backslashes
// stand as they are. With bSkipProgram the first argument (the program)
// is left out; it ends at the first blank outside quotes, and backslashes
// in it are never escapes.
std::vector<CString> AfxSplitCommandLine(LPCTSTR pszCmdLine, BOOL bSkipProgram);

// Hands every argument to rInfo.ParseParam: an argument that starts with
// '-' or '/' is a switch (handed on without that character).
void AfxParseCommandLine(CCommandLineInfo& rInfo, const std::vector<CString>& args);

// The file name of a path without its folder and its extension (the part
// from the last dot of the name on): "C:\\Apps\\Quorvel.exe" gives "Quorvel",
// "a.b.exe" gives "a.b". Backslash and slash separate folders; the second
// byte of a double-byte character never does.
CString AfxModuleBaseName(LPCTSTR pszPath);
// The path with the extension of its file name replaced by pszExt (which
// carries its dot), or pszExt appended when the name has none.
CString AfxPathWithExtension(LPCTSTR pszPath, LPCTSTR pszExt);
