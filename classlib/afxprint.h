// Printing without a document/view frame: the print dialog (whose call a
// test can replace), the record that carries the page numbers and the draw
// rectangle between the steps of a job, and the page sink a job draws on: a
// printer's device context, or a recorder that keeps each page as an
// enhanced metafile.
#pragma once

#include "classlib/afxwin.h"

#include <commdlg.h>

#include <vector>

// --- The print dialog -------------------------------------------------------------
// The call that shows the dialog; TRUE when the user chose OK. A test sets
// its own to answer without a printer.
typedef BOOL (*AFX_PRINTDLG_FN)(PRINTDLGA* ppd);
// Returns the call it replaces; null restores the system's PrintDlgA.
AFX_PRINTDLG_FN AfxSetPrintDlgFunction(AFX_PRINTDLG_FN pfn);

class CPrintDialog {
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS |
                                          PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                          CWnd* pParentWnd = nullptr);
    virtual ~CPrintDialog();
    CPrintDialog(const CPrintDialog&) = delete;
    CPrintDialog& operator=(const CPrintDialog&) = delete;

    // IDOK or IDCANCEL. After IDCANCEL, CommDlgExtendedError tells why.
    virtual INT_PTR DoModal();
    // The printer's device context the dialog returned (with PD_RETURNDC),
    // which the caller deletes; null when none.
    HDC GetPrinterDC() const { return m_pd.hDC; }
    // Why the last DoModal ended without OK (the dialog's extended error).
    DWORD GetLastError() const { return m_dwError; }
    int GetCopies() const;

    PRINTDLGA m_pd;

private:
    DWORD m_dwError;
};

// --- The job's record ------------------------------------------------------------------
class CPrintInfo {
public:
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    void SetMinPage(UINT nMinPage) { m_nMinPage = nMinPage; }
    void SetMaxPage(UINT nMaxPage) { m_nMaxPage = nMaxPage; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }
    UINT GetFromPage() const { return m_nMinPage; }
    UINT GetToPage() const { return m_nMaxPage; }

    CPrintDialog* m_pPD;         // the dialog of the job
    BOOL m_bContinuePrinting;    // cleared to end the job early
    UINT m_nCurPage;
    CRect m_rectDraw;            // where the current step draws

private:
    UINT m_nMinPage, m_nMaxPage;
};

// --- Page sinks ------------------------------------------------------------------------
// What a print job draws on. A job asks for the paper, starts the document,
// draws each page on the context StartPage gives, and ends or aborts.
class CPrintPageSink {
public:
    virtual ~CPrintPageSink() = default;
    // The paper in device pixels (the printer's horizontal and vertical
    // resolution).
    virtual CSize GetPaperSize() = 0;
    // A context for measuring before the first page (the printer's own).
    virtual CDC* GetAttribDC() = 0;
    // > 0 on success, as the system's StartDoc.
    virtual int StartDoc(LPCTSTR lpszDocName) = 0;
    // The context of the new page; null when the page could not start.
    virtual CDC* StartPage() = 0;
    // > 0 on success.
    virtual int EndPage() = 0;
    virtual int EndDoc() = 0;
    virtual int AbortDoc() = 0;
};

// A printer's device context (as the print dialog returns it), which the
// sink deletes at the end.
class CPrinterPageSink : public CPrintPageSink {
public:
    explicit CPrinterPageSink(HDC hPrinterDC);
    ~CPrinterPageSink() override;

    CSize GetPaperSize() override;
    CDC* GetAttribDC() override { return &m_dc; }
    int StartDoc(LPCTSTR lpszDocName) override;
    CDC* StartPage() override;
    int EndPage() override;
    int EndDoc() override;
    int AbortDoc() override;

private:
    CDC m_dc;
};

// Records each page as an enhanced metafile whose frame is the paper, for
// a preview or a test. Texts drawn on a page can be read back.
class CMetafilePageSink : public CPrintPageSink {
public:
    // paper: in device pixels; dpi: the device's pixels per inch (for the
    // metafile's frame in hundredths of millimetres).
    CMetafilePageSink(CSize paper, int dpi = 300);
    ~CMetafilePageSink() override;

    CSize GetPaperSize() override { return m_paper; }
    CDC* GetAttribDC() override { return &m_attrib; }
    int StartDoc(LPCTSTR lpszDocName) override;
    CDC* StartPage() override;
    int EndPage() override;
    int EndDoc() override;
    int AbortDoc() override;

    // A page's EndPage answers this instead (0 or less: the page failed).
    void FailEndPage(int nPage, int nResult = -1) {
        m_nFailPage = nPage;
        m_nFailResult = nResult;
    }

    enum State { idle, started, ended, aborted };
    State GetState() const { return m_state; }
    CString GetDocName() const { return m_strDocName; }
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    HENHMETAFILE GetPage(int nIndex) const { return m_pages[static_cast<size_t>(nIndex)]; }
    // The texts drawn on a page, in drawing order.
    std::vector<CString> GetPageTexts(int nIndex) const;
    // The frame of a page's metafile in hundredths of millimetres.
    CRect GetPageFrame(int nIndex) const;

private:
    CSize m_paper;
    int m_dpi;
    CDC m_attrib;  // the screen, for measuring
    CDC m_page;    // the metafile being recorded
    State m_state;
    CString m_strDocName;
    std::vector<HENHMETAFILE> m_pages;
    int m_nFailPage, m_nFailResult;
};
