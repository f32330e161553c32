// The grid's printing: the print dialog, then page by page the header
// line, the column titles, the rows that fit and the footer line, scaled so
// that the grid's full width fits the paper's. Pages come from the portable
// layout, in which every page holds at least its first row.
#include "ThemeClass/ThemeGrid.h"

#include "classlib/afxtime.h"

namespace {

// Grid lines of one printed cell, in the current pen.
void PrintCellLines(CDC* pDC, int lines, int row, int col, const CRect& r, bool firstOnPage) {
    if (lines == GRID_LINES_HORZ || lines == GRID_LINES_BOTH) {
        pDC->MoveTo(col == 0 ? r.left : r.left - 1, r.bottom);
        pDC->LineTo(r.right, r.bottom);
        if (row == 0) {
            pDC->MoveTo(col == 0 ? r.left : r.left - 1, r.top);
            pDC->LineTo(r.right, r.top);
        }
    }
    if (lines == GRID_LINES_VERT || lines == GRID_LINES_BOTH) {
        pDC->MoveTo(r.right, firstOnPage ? r.top : r.top - 1);
        pDC->LineTo(r.right, r.bottom);
        if (col == 0) {
            pDC->MoveTo(r.left, firstOnPage ? r.top : r.top - 1);
            pDC->LineTo(r.left, r.bottom);
        }
    }
}

// A bold copy of a font.
BOOL MakeBold(CFont& from, CFont& to) {
    LOGFONTA lf = {};
    if (!::GetObjectA((HFONT)from, sizeof(lf), &lf)) return FALSE;
    lf.lfWeight = FW_BOLD;
    return to.CreateFontIndirect(&lf);
}

}  // namespace

void CThemeGrid::Print() {
    CPrintDialog dlg(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS |
                                PD_HIDEPRINTTOFILE | PD_NOSELECTION);
    if (dlg.DoModal() != IDOK) return;
    HDC hdc = dlg.GetPrinterDC();
    if (!hdc) return;
    CPrinterPageSink sink(hdc);  // deletes the context
    CPrintInfo info;
    info.m_pPD = &dlg;
    PrintOn(&sink, &info);
}

BOOL CThemeGrid::PrintOn(CPrintPageSink* pSink, CPrintInfo* pInfo) {
    if (!pSink || !pInfo) return FALSE;
    CWinApp* pApp = AfxGetApp();
    const CString title = pApp && pApp->m_pszAppName ? pApp->m_pszAppName : "";
    if (pSink->StartDoc(title) <= 0) return FALSE;
    const CSize paper = pSink->GetPaperSize();
    pInfo->m_rectDraw.SetRect(0, 0, paper.cx, paper.cy);
    CDC* pAttrib = pSink->GetAttribDC();
    OnBeginPrinting(pAttrib, pInfo);
    BOOL ok = TRUE;
    for (UINT page = pInfo->GetMinPage(); page <= pInfo->GetMaxPage() && ok; ++page) {
        CDC* pDC = pSink->StartPage();
        if (!pDC) {
            ok = FALSE;
            break;
        }
        pInfo->m_nCurPage = page;
        OnPrint(pDC, pInfo);
        if (pSink->EndPage() <= 0) ok = FALSE;
    }
    OnEndPrinting(pAttrib, pInfo);
    if (ok)
        pSink->EndDoc();
    else
        pSink->AbortDoc();
    return ok;
}

void CThemeGrid::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) {
    ASSERT(pDC && pInfo);
    if (!pDC || !pInfo) return;
    // Prepared even without body rows: such a job prints one page of titles.
    m_PrinterFont.DeleteObject();
    m_PrinterFont.CreateFont(-9, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS,
                             CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             "Times New Roman");
    CFont* pOld = pDC->SelectObject(&m_PrinterFont);
    static const char kSample[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ";
    const CSize extent = pDC->GetTextExtent(kSample, 52);
    m_CharSize = CSize(extent.cx / 52, extent.cy);
    m_PaperSize = CSize(pInfo->m_rectDraw.Width(), pInfo->m_rectDraw.Height());
    std::vector<int> heights;
    for (int r = m_nFixedRows; r < m_nRows; ++r) heights.push_back(GetRowHeight(r));
    m_PageLayout = GridLayoutPages(heights, GetFixedRowHeight(), GetTotalWidth(), m_CharSize,
                                   m_PaperSize);
    m_LogicalPageSize = m_PageLayout.logical;
    m_nPageHeight = m_PageLayout.rowsHeight;
    pInfo->SetMaxPage(static_cast<UINT>(m_PageLayout.pageCount));
    pInfo->m_nCurPage = 1;
    pDC->SelectObject(pOld);
}

void CThemeGrid::OnPrint(CDC* pDC, CPrintInfo* pInfo) {
    if (!pDC || !pInfo) return;
    const int saved = pDC->SaveDC();
    CFont* pOld = pDC->SelectObject(&m_PrinterFont);
    ::SetMapMode(pDC->m_hDC, MM_ANISOTROPIC);
    ::SetWindowExtEx(pDC->m_hDC, m_LogicalPageSize.cx, m_LogicalPageSize.cy, nullptr);
    ::SetViewportExtEx(pDC->m_hDC, m_PaperSize.cx, m_PaperSize.cy, nullptr);
    const int left = -GRID_PRINT_SIDE_MARGIN * m_CharSize.cx;
    int top = 0;
    pDC->SetWindowOrg(left, top);

    // Header band, then the gap.
    pInfo->m_rectDraw.SetRect(0, 0, m_LogicalPageSize.cx - 2 * GRID_PRINT_SIDE_MARGIN * m_CharSize.cx,
                              GRID_PRINT_HEADER_LINES * m_CharSize.cy);
    PrintPageHeader(pDC, pInfo);
    top += (GRID_PRINT_HEADER_LINES + GRID_PRINT_GAP_LINES) * m_CharSize.cy;
    pDC->SetWindowOrg(left, -top);

    // Column titles.
    pInfo->m_rectDraw.bottom = GetFixedRowHeight();
    PrintColumnTitles(pDC, pInfo);
    top += GetFixedRowHeight();
    pDC->SetWindowOrg(left, -top);

    // The page's rows; the first always prints, clipped to the page.
    int first = 0, end = 0;
    GridPageRows(m_PageLayout, static_cast<int>(pInfo->m_nCurPage), m_nRows - m_nFixedRows, &first,
                 &end);
    const int clip = pDC->SaveDC();
    pDC->IntersectClipRect(0, 0, static_cast<int>(GetTotalWidth()) + 1, m_nPageHeight + 1);
    int y = 0;
    for (int i = first; i < end; ++i) {
        const int row = m_nFixedRows + i;
        const int h = GetRowHeight(row);
        if (i > first && y + h > m_nPageHeight) break;
        int x = 0;
        for (int col = 0; col < m_nCols; ++col) {
            const int w = GetColumnWidth(col);
            const CRect rect(x, y, x + w - 1, y + h - 1);
            DrawCell(pDC, row, col, rect, FALSE);
            PrintCellLines(pDC, m_nGridLines, row, col, rect, i == first);
            x += w;
        }
        y += h;
    }
    pDC->RestoreDC(clip);

    // Footer band at the page's bottom.
    pInfo->m_rectDraw.SetRect(0, 0, m_LogicalPageSize.cx - 2 * GRID_PRINT_SIDE_MARGIN * m_CharSize.cx,
                              GRID_PRINT_FOOTER_LINES * m_CharSize.cy);
    pDC->SetWindowOrg(left, GRID_PRINT_FOOTER_LINES * m_CharSize.cy - m_LogicalPageSize.cy);
    PrintPageFooter(pDC, pInfo);
    pDC->SetWindowOrg(0, 0);
    pDC->SelectObject(pOld);
    pDC->RestoreDC(saved);
}

void CThemeGrid::OnEndPrinting(CDC*, CPrintInfo*) { m_PrinterFont.DeleteObject(); }

void CThemeGrid::PrintColumnTitles(CDC* pDC, CPrintInfo*) {
    CFont* pOld = pDC->SelectObject(&m_PrinterFont);
    int y = 0;
    for (int row = 0; row < m_nFixedRows; ++row) {
        const int h = GetRowHeight(row);
        int x = 0;
        for (int col = 0; col < m_nCols; ++col) {
            const int w = GetColumnWidth(col);
            const CRect rect(x, y, x + w - 1, y + h - 1);
            DrawHeaderCell(pDC, row, col, rect, FALSE);
            PrintCellLines(pDC, m_nGridLines, row, col, rect, row == 0);
            x += w;
        }
        y += h;
    }
    pDC->SelectObject(pOld);
}

void CThemeGrid::PrintPageHeader(CDC* pDC, CPrintInfo* pInfo) {
    CFont bold;
    MakeBold(m_PrinterFont, bold);
    CFont* pOld = pDC->SelectObject(bold.m_hObject ? &bold : &m_PrinterFont);
    pDC->SetBkMode(TRANSPARENT);
    CRect rect = pInfo->m_rectDraw;
    CWinApp* pApp = AfxGetApp();
    const CString app = pApp && pApp->m_pszAppName ? pApp->m_pszAppName : "";
    pDC->DrawText(app, &rect, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    // The nearest parent with a title.
    CString parentTitle;
    for (HWND h = ::GetParent(m_hWnd); h && parentTitle.IsEmpty(); h = ::GetParent(h)) {
        char text[256] = {};
        ::GetWindowTextA(h, text, sizeof(text));
        parentTitle = text;
    }
    pDC->DrawText(parentTitle, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    pDC->SelectObject(pOld);
    bold.DeleteObject();
    HGDIOBJ oldPen = ::SelectObject(pDC->m_hDC, ::GetStockObject(BLACK_PEN));
    pDC->MoveTo(rect.left, rect.bottom);
    pDC->LineTo(rect.right, rect.bottom);
    ::SelectObject(pDC->m_hDC, oldPen);
}

void CThemeGrid::PrintPageFooter(CDC* pDC, CPrintInfo* pInfo) {
    CRect rect = pInfo->m_rectDraw;
    pDC->MoveTo(rect.left, rect.top);
    pDC->LineTo(rect.right, rect.top);
    CFont bold;
    MakeBold(m_PrinterFont, bold);
    CFont* pOld = pDC->SelectObject(bold.m_hObject ? &bold : &m_PrinterFont);
    pDC->SetBkMode(TRANSPARENT);
    rect.OffsetRect(0, m_CharSize.cy / 2);
    const CString page = GridPageFooterText(static_cast<int>(pInfo->m_nCurPage),
                                            static_cast<int>(pInfo->GetMaxPage()));
    pDC->DrawText(page, &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    const CString now = CTime::GetCurrentTime().Format("%c");
    pDC->DrawText(now, &rect, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    pDC->SelectObject(pOld);
    bold.DeleteObject();
}
