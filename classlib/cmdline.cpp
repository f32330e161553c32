// The command-line record and the splitting of a command line.
#include "classlib/afxcmdline.h"

#include <cstring>

CCommandLineInfo::CCommandLineInfo()
    : m_bShowSplash(TRUE),
      m_bRunEmbedded(FALSE),
      m_bRunAutomated(FALSE),
      m_nShellCommand(FileNew),
      m_bExpectPrinterArgs(FALSE),
      m_nPrinterArgs(0) {}

void CCommandLineInfo::ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast) {
    if (!pszParam) return;
    if (bFlag)
        ParseFlag(pszParam);
    else
        ParseFileParam(pszParam);
    // Starting for a client or for automation shows no splash and opens
    // nothing by itself.
    if (bLast && (m_bRunEmbedded || m_bRunAutomated) && m_nShellCommand == FileNew)
        m_nShellCommand = FileNothing;
}

void CCommandLineInfo::ParseFlag(LPCTSTR pszParam) {
    const CString flag(pszParam);
    if (flag.CompareNoCase("pt") == 0) {
        m_nShellCommand = FilePrintTo;
        m_bExpectPrinterArgs = TRUE;
        m_nPrinterArgs = 0;
    } else if (flag.CompareNoCase("p") == 0) {
        m_nShellCommand = FilePrint;
    } else if (flag.CompareNoCase("dde") == 0) {
        m_bShowSplash = FALSE;
        m_nShellCommand = FileDDE;
    } else if (flag.CompareNoCase("Unregister") == 0 || flag.CompareNoCase("Unregserver") == 0) {
        m_nShellCommand = AppUnregister;
    } else if (flag.CompareNoCase("Embedding") == 0) {
        m_bShowSplash = FALSE;
        m_bRunEmbedded = TRUE;
    } else if (flag.CompareNoCase("Automation") == 0) {
        m_bShowSplash = FALSE;
        m_bRunAutomated = TRUE;
    }
    // Other switches are the program's own business.
}

void CCommandLineInfo::ParseFileParam(LPCTSTR pszParam) {
    if (m_strFileName.IsEmpty()) {
        m_strFileName = pszParam;
        if (m_nShellCommand == FileNew) m_nShellCommand = FileOpen;
        return;
    }
    if (!m_bExpectPrinterArgs) return;
    switch (m_nPrinterArgs++) {
        case 0: m_strPrinterName = pszParam; break;
        case 1: m_strDriverName = pszParam; break;
        case 2:
            m_strPortName = pszParam;
            m_bExpectPrinterArgs = FALSE;
            break;
        default: break;
    }
}

std::vector<CString> AfxSplitCommandLine(LPCTSTR pszCmdLine, BOOL bSkipProgram) {
    std::vector<CString> args;
    if (!pszCmdLine) return args;
    const char* p = pszCmdLine;
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };

    if (bSkipProgram) {
        // The program's path: quotes group, backslashes are path separators.
        bool quoted = false;
        while (*p && (quoted || !isBlank(*p))) {
            if (*p == '"') quoted = !quoted;
            p++;
        }
    }

    for (;;) {
        while (isBlank(*p)) p++;
        if (!*p) break;
        std::string arg;
        bool quoted = false;
        while (*p && (quoted || !isBlank(*p))) {
            if (*p == '\\') {
                size_t n = 0;
                while (p[n] == '\\') n++;
                if (p[n] == '"') {
                    arg.append(n / 2, '\\');
                    if (n % 2)
                        arg += '"';  // an escaped quote
                    else
                        quoted = !quoted;
                    p += n + 1;
                } else {
                    arg.append(n, '\\');
                    p += n;
                }
            } else if (*p == '"') {
                // Inside quotes, a doubled quote is one literal quote.
                if (quoted && p[1] == '"') {
                    arg += '"';
                    p += 2;
                } else {
                    quoted = !quoted;
                    p++;
                }
            } else {
                // A double-byte character is copied whole: its second byte
                // may have a backslash's value but is no escape.
                const int n = AfxCharLen949(p, 2);
                arg.append(p, n);
                p += n;
            }
        }
        args.emplace_back(arg.c_str(), static_cast<int>(arg.size()));
    }
    return args;
}

void AfxParseCommandLine(CCommandLineInfo& rInfo, const std::vector<CString>& args) {
    for (size_t i = 0; i < args.size(); i++) {
        LPCTSTR a = args[i];
        const BOOL bFlag = a[0] == '-' || a[0] == '/';
        rInfo.ParseParam(bFlag ? a + 1 : a, bFlag, i + 1 == args.size());
    }
}

namespace {

// Positions of the file name's start and of its extension's dot (npos-like
// -1 when it has none) within pszPath.
void SplitName(const char* path, size_t* nameStart, long* dot) {
    const size_t len = std::strlen(path);
    *nameStart = 0;
    *dot = -1;
    for (size_t i = 0; i < len;) {
        const char c = path[i];
        if (c == '\\' || c == '/' || c == ':') {
            *nameStart = i + 1;
            *dot = -1;
        } else if (c == '.') {
            *dot = static_cast<long>(i);
        }
        i += AfxCharLen949(path + i, len - i);
    }
}

}  // namespace

CString AfxModuleBaseName(LPCTSTR pszPath) {
    if (!pszPath) return CString();
    size_t start;
    long dot;
    SplitName(pszPath, &start, &dot);
    const size_t end = dot >= 0 ? static_cast<size_t>(dot) : std::strlen(pszPath);
    return CString(pszPath + start, static_cast<int>(end - start));
}

CString AfxPathWithExtension(LPCTSTR pszPath, LPCTSTR pszExt) {
    if (!pszPath) return CString(pszExt);
    size_t start;
    long dot;
    SplitName(pszPath, &start, &dot);
    const size_t end = dot >= 0 ? static_cast<size_t>(dot) : std::strlen(pszPath);
    return CString(pszPath, static_cast<int>(end)) + pszExt;
}
