#include "classlib/afxprint.h"

#include <cstring>
#include <string>

// --- The print dialog -------------------------------------------------------------

namespace {

BOOL SystemPrintDlg(PRINTDLGA* ppd) { return ::PrintDlgA(ppd); }

AFX_PRINTDLG_FN g_pfnPrintDlg = SystemPrintDlg;

}  // namespace

AFX_PRINTDLG_FN AfxSetPrintDlgFunction(AFX_PRINTDLG_FN pfn) {
    AFX_PRINTDLG_FN old = g_pfnPrintDlg;
    g_pfnPrintDlg = pfn ? pfn : SystemPrintDlg;
    return old == SystemPrintDlg ? nullptr : old;
}

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd)
    : m_pd(), m_dwError(0) {
    m_pd.lStructSize = sizeof(m_pd);
    m_pd.Flags = dwFlags | PD_RETURNDC;
    if (bPrintSetupOnly) m_pd.Flags |= PD_PRINTSETUP;
    m_pd.hwndOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    m_pd.nCopies = 1;
    m_pd.nFromPage = m_pd.nToPage = 1;
    m_pd.nMinPage = m_pd.nMaxPage = 1;
}

CPrintDialog::~CPrintDialog() {
    if (m_pd.hDevMode) ::GlobalFree(m_pd.hDevMode);
    if (m_pd.hDevNames) ::GlobalFree(m_pd.hDevNames);
}

INT_PTR CPrintDialog::DoModal() {
    if (!m_pd.hwndOwner) {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain) m_pd.hwndOwner = pMain->m_hWnd;
    }
    m_dwError = 0;
    if (g_pfnPrintDlg(&m_pd)) return IDOK;
    m_dwError = ::CommDlgExtendedError();
    return IDCANCEL;
}

int CPrintDialog::GetCopies() const {
    if (m_pd.hDevMode) {
        const DEVMODEA* dm = (const DEVMODEA*)::GlobalLock(m_pd.hDevMode);
        if (dm) {
            const int n = dm->dmCopies;
            ::GlobalUnlock(m_pd.hDevMode);
            return n;
        }
    }
    return m_pd.nCopies;
}

// --- The job's record ------------------------------------------------------------------

CPrintInfo::CPrintInfo()
    : m_pPD(nullptr), m_bContinuePrinting(TRUE), m_nCurPage(1), m_rectDraw(0, 0, 0, 0),
      m_nMinPage(1), m_nMaxPage(0xFFFF) {}

CPrintInfo::~CPrintInfo() = default;

// --- A printer's context -----------------------------------------------------------

CPrinterPageSink::CPrinterPageSink(HDC hPrinterDC) { m_dc.Attach(hPrinterDC); }

CPrinterPageSink::~CPrinterPageSink() {
    if (m_dc.m_hDC) ::DeleteDC(m_dc.Detach());
}

CSize CPrinterPageSink::GetPaperSize() {
    return CSize(::GetDeviceCaps(m_dc.m_hDC, HORZRES), ::GetDeviceCaps(m_dc.m_hDC, VERTRES));
}

int CPrinterPageSink::StartDoc(LPCTSTR lpszDocName) {
    DOCINFOA di = {};
    di.cbSize = sizeof(di);
    di.lpszDocName = lpszDocName;
    return ::StartDocA(m_dc.m_hDC, &di);
}

CDC* CPrinterPageSink::StartPage() { return ::StartPage(m_dc.m_hDC) > 0 ? &m_dc : nullptr; }
int CPrinterPageSink::EndPage() { return ::EndPage(m_dc.m_hDC); }
int CPrinterPageSink::EndDoc() { return ::EndDoc(m_dc.m_hDC); }
int CPrinterPageSink::AbortDoc() { return ::AbortDoc(m_dc.m_hDC); }

// --- Pages kept as metafiles ---------------------------------------------------------

CMetafilePageSink::CMetafilePageSink(CSize paper, int dpi)
    : m_paper(paper), m_dpi(dpi > 0 ? dpi : 300), m_state(idle), m_nFailPage(0),
      m_nFailResult(1) {
    m_attrib.Attach(::CreateCompatibleDC(nullptr));
}

CMetafilePageSink::~CMetafilePageSink() {
    if (m_page.m_hDC) ::DeleteEnhMetaFile(::CloseEnhMetaFile(m_page.Detach()));
    for (HENHMETAFILE h : m_pages) ::DeleteEnhMetaFile(h);
    if (m_attrib.m_hDC) ::DeleteDC(m_attrib.Detach());
}

int CMetafilePageSink::StartDoc(LPCTSTR lpszDocName) {
    if (m_state == started) return -1;
    m_state = started;
    m_strDocName = lpszDocName ? lpszDocName : "";
    return 1;
}

CDC* CMetafilePageSink::StartPage() {
    if (m_state != started || m_page.m_hDC) return nullptr;
    // The frame in hundredths of millimetres: pixels / dpi inches.
    RECT frame = {0, 0, ::MulDiv(m_paper.cx, 2540, m_dpi), ::MulDiv(m_paper.cy, 2540, m_dpi)};
    HDC hdc = ::CreateEnhMetaFileA(m_attrib.m_hDC, nullptr, &frame, nullptr);
    if (!hdc) return nullptr;
    m_page.Attach(hdc);
    return &m_page;
}

int CMetafilePageSink::EndPage() {
    if (!m_page.m_hDC) return -1;
    HENHMETAFILE h = ::CloseEnhMetaFile(m_page.Detach());
    if (h) m_pages.push_back(h);
    if (static_cast<int>(m_pages.size()) == m_nFailPage) return m_nFailResult;
    return h ? 1 : -1;
}

int CMetafilePageSink::EndDoc() {
    if (m_state != started) return -1;
    m_state = ended;
    return 1;
}

int CMetafilePageSink::AbortDoc() {
    if (m_page.m_hDC) ::DeleteEnhMetaFile(::CloseEnhMetaFile(m_page.Detach()));
    m_state = aborted;
    return 1;
}

namespace {

int CALLBACK CollectTexts(HDC, HANDLETABLE*, const ENHMETARECORD* rec, int, LPARAM lParam) {
    auto* out = reinterpret_cast<std::vector<CString>*>(lParam);
    if (rec->iType == EMR_EXTTEXTOUTW) {
        const auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(rec);
        const auto* w = reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(rec) +
                                                       t->emrtext.offString);
        const int n = static_cast<int>(t->emrtext.nChars);
        const int bytes = ::WideCharToMultiByte(CP_ACP, 0, w, n, nullptr, 0, nullptr, nullptr);
        std::string s(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
        if (bytes > 0) ::WideCharToMultiByte(CP_ACP, 0, w, n, &s[0], bytes, nullptr, nullptr);
        out->push_back(CString(s.c_str(), static_cast<int>(s.size())));
    } else if (rec->iType == EMR_EXTTEXTOUTA) {
        const auto* t = reinterpret_cast<const EMREXTTEXTOUTA*>(rec);
        const char* a = reinterpret_cast<const char*>(rec) + t->emrtext.offString;
        out->push_back(CString(a, static_cast<int>(t->emrtext.nChars)));
    }
    return 1;
}

}  // namespace

std::vector<CString> CMetafilePageSink::GetPageTexts(int nIndex) const {
    std::vector<CString> texts;
    if (nIndex < 0 || nIndex >= GetPageCount()) return texts;
    ::EnumEnhMetaFile(nullptr, GetPage(nIndex), CollectTexts, &texts, nullptr);
    return texts;
}

CRect CMetafilePageSink::GetPageFrame(int nIndex) const {
    ENHMETAHEADER h = {};
    if (nIndex < 0 || nIndex >= GetPageCount() ||
        !::GetEnhMetaFileHeader(GetPage(nIndex), sizeof(h), &h))
        return CRect(0, 0, 0, 0);
    return CRect(h.rclFrame.left, h.rclFrame.top, h.rclFrame.right, h.rclFrame.bottom);
}
