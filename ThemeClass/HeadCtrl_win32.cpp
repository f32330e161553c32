#include "ThemeClass/HeadCtrl.h"

#include <string>

#include "ThemeClass/ThemeDraw.h"
#include "ThemeClass/ThemeListCtrl.h"

BEGIN_MESSAGE_MAP(CHeadCtrl, CHeaderCtrl)
ON_WM_PAINT()
ON_WM_LBUTTONUP()
ON_WM_DESTROY()
ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

namespace {

skin::Rect ToSkin(const CRect& r) {
    skin::Rect s;
    s.left = r.left;
    s.top = r.top;
    s.right = r.right;
    s.bottom = r.bottom;
    return s;
}

CRect FromSkin(const skin::Rect& s) { return CRect(s.left, s.top, s.right, s.bottom); }

}  // namespace

void DrawListCheckBox(CDC* pDC, const CRect& rc, BOOL bChecked, CBitmap* pImage) {
    pDC->Rectangle(&rc);
    const int x = rc.left;
    const int y = rc.top;
    if (pImage && pImage->GetSafeHandle()) {
        BITMAP bm = {};
        pImage->GetBitmap(&bm);
        const int half = bm.bmWidth / 2;
        CDC mem;
        if (!mem.CreateCompatibleDC(pDC)) return;
        CBitmap* pOld = mem.SelectObject(pImage);
        pDC->BitBlt(x + 1, y + 1, half, bm.bmHeight, &mem, bChecked ? half : 0, 0, SRCCOPY);
        mem.SelectObject(pOld);
        return;
    }
    pDC->FillSolidRect(CRect(x + 1, y + 1, x + 12, y + 12), RGB(255, 255, 255));
    Draw3DOutline(x, y, x + 12, y + 12, RGB(0, 0, 0), RGB(0, 0, 0), RGB(0xC0, 0xC0, 0xC0),
                  RGB(0xC0, 0xC0, 0xC0), pDC);
    if (bChecked) {
        DrawLine(x + 3, y + 3, x + 9, y + 9, RGB(0, 0, 0), 2, pDC);
        DrawLine(x + 3, y + 9, x + 9, y + 3, RGB(0, 0, 0), 2, pDC);
    }
}

CHeadCtrl::CHeadCtrl() {}

CHeadCtrl::~CHeadCtrl() {}

CThemeListCtrl* CHeadCtrl::GetList() const {
    if (!GetSafeHwnd()) return nullptr;
    return dynamic_cast<CThemeListCtrl*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
}

std::vector<int> CHeadCtrl::ColumnWidths() const {
    std::vector<int> widths;
    if (!GetSafeHwnd()) return widths;
    const int n = GetItemCount();
    for (int i = 0; i < n; ++i) {
        CRect rc;
        GetItemRect(i, &rc);
        widths.push_back(rc.Width());
    }
    return widths;
}

// ---- cells

void CHeadCtrl::SetRows(int nRows, CFont*) {
    m_cells.SetRows(nRows);
    if (GetSafeHwnd()) Invalidate();
}

void CHeadCtrl::InsertCellColumn(int nCol) { m_cells.InsertColumn(nCol); }

void CHeadCtrl::DeleteCellColumn(int nCol) { m_cells.DeleteColumn(nCol); }

BOOL CHeadCtrl::SetCellText(int nRow, int nCol, LPCTSTR lpszText) {
    return m_cells.SetText(nRow, nCol, lpszText ? lpszText : "");
}

CString CHeadCtrl::GetCellText(int nRow, int nCol) const {
    return CString(m_cells.Text(nRow, nCol).c_str());
}

void CHeadCtrl::MergeCells(int nRow1, int nCol1, int nRow2, int nCol2) {
    m_cells.Merge(nRow1, nCol1, nRow2, nCol2);
}

int CHeadCtrl::GetCellSpan(int nRow, int nCol, int* pExtraRows, int* pExtraCols) const {
    return m_cells.Span(nRow, nCol, pExtraRows, pExtraCols);
}

void CHeadCtrl::SetColors(COLORREF clrFrame, COLORREF clrBack, COLORREF clrText) {
    m_clrFrame = clrFrame;
    m_clrBack = clrBack;
    m_clrText = clrText;
}

void CHeadCtrl::SetCheckImage(CBitmap* pBitmap) {
    m_pCheckImage = pBitmap;
    m_bCheckImageSet = TRUE;
}

int CHeadCtrl::CompareKeys(const CString& a, const CString& b, int nSortType) {
    return skin::CompareKeys(a.GetString(), b.GetString(), nSortType);
}

// ---- painting

void CHeadCtrl::DrawCheck(CDC* pDC) {
    DrawListCheckBox(pDC, m_rcCheck, m_bCheck, m_bCheckImageSet ? m_pCheckImage : nullptr);
}

void CHeadCtrl::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CBrush back(m_clrBack);
    CBrush frame(m_clrFrame);
    dc.SetBkMode(TRANSPARENT);
    CFont font;
    font.CreateFont(m_nFontSize, 0, 0, 0, 100, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                    skin::kSkinFontFace);
    CFont* pOldFont = dc.SelectObject(&font);
    TEXTMETRICA tm = {};
    dc.GetTextMetrics(&tm);

    const int columns = GetItemCount();
    std::vector<skin::Rect> items;
    for (int c = 0; c < columns; ++c) {
        CRect rc;
        GetItemRect(c, &rc);
        items.push_back(ToSkin(rc));
    }
    int scroll = 0;
    int width = client.Width();
    if (CWnd* pList = GetParent()) {
        scroll = pList->GetScrollPos(SB_HORZ);
        CRect rcList;
        pList->GetClientRect(&rcList);
        width = rcList.Width();
    }

    const int rows = m_cells.Rows();
    bool anyCell = false;
    CRect lastCell;
    int fillTop = client.top + 1;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            skin::Rect cell;
            if (!skin::HeaderCellRect(items, rows, r, c, m_cells.RawSpan(r, c), &cell)) continue;
            anyCell = true;
            lastCell = FromSkin(cell);
            if (!skin::HeaderCellVisible(cell, scroll, width)) continue;
            CRect rc = FromSkin(cell);
            dc.FrameRect(&rc, &frame);
            CRect inside(rc.left + 1, rc.top + 1, rc.right, rc.bottom - 1);
            dc.FillRect(&inside, &back);
            fillTop = inside.top;
            dc.SetBkColor(m_clrBack);
            dc.SetTextColor(m_clrText);
            const std::string text = m_cells.Text(r, c);
            const int lines = skin::CountTextLines(text);
            if (lines <= 1) {
                dc.DrawText(text.c_str(), -1, &rc,
                            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
            } else {
                CRect rcText = rc;
                rcText.top += (rc.Height() - tm.tmHeight * lines) / 2;
                dc.DrawText(text.c_str(), -1, &rcText, DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS);
            }
        }
    }

    // The strip right of the cells, up to the border.
    const int stripLeft = anyCell ? lastCell.right - 1 : client.left - 1;
    CRect strip(stripLeft, client.top, client.right - 2, client.bottom);
    if (!strip.IsRectEmpty()) {
        dc.FrameRect(&strip, &frame);
        CRect inside(strip.left + 1, strip.top + 1, strip.right - 1, strip.bottom - 1);
        dc.FillSolidRect(&inside, m_clrBack);
        fillTop = inside.top;
    }

    if (m_bCheckOn) {
        m_rcCheck = CRect(m_nCheckX, fillTop + 2, m_nCheckX + 12, fillTop + 13);
        DrawCheck(&dc);
    }

    CRect edge(stripLeft, client.top - 1, client.right - 2, client.bottom);
    if (!edge.IsRectEmpty()) dc.FrameRect(&edge, &frame);
    dc.SelectObject(pOldFont);
}

// ---- layout

LRESULT CHeadCtrl::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == HDM_LAYOUT && m_hWnd) {
        long long sum = 0;
        const int n = GetItemCount();
        for (int i = 0; i < n; ++i) {
            HDITEMA item = {};
            item.mask = HDI_WIDTH;
            if (GetItem(i, &item)) sum += item.cxy;
        }
        // Each header remembers its own sum: one shared value would let a
        // second list's layout hide a change of the first.
        if (sum != m_nLastWidthSum) {
            m_nLastWidthSum = sum;
            Invalidate(TRUE);
        }
    }
    return CHeaderCtrl::DefWindowProc(message, wParam, lParam);
}

// ---- mouse

void CHeadCtrl::OnLButtonUp(UINT, CPoint point) {
    Default();
    CThemeListCtrl* pList = GetList();
    if (!pList) return;
    pList->OnHeaderClick(point);
    if (!m_bCheckOn || !m_rcCheck.PtInRect(point)) return;
    m_bPrevCheck = m_bCheck;
    m_bCheck = !m_bCheck;
    {
        CClientDC dc(this);
        DrawCheck(&dc);
    }
    const int count = pList->GetItemCount();
    skin::CheckedItems& checked = pList->GetCheckedItems();
    if (m_bCheck) {
        checked.Clear();
        for (int i = 0; i < count; ++i) {
            checked.Set(i, true);
            pList->RedrawItems(i, i);
        }
    } else {
        checked.Clear();
        if (count > 0) pList->RedrawItems(0, count - 1);
    }
    pList->SetItemState(-1, m_bCheck ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void CHeadCtrl::OnLButtonDblClk(UINT nFlags, CPoint point) {
    SortByColumn(nFlags, point);
    Default();
}

void CHeadCtrl::OnDestroy() { Default(); }

// ---- sorting

void CHeadCtrl::SortByColumn(UINT, CPoint point) {
    if (m_nSortType == skin::kSortNone) return;
    CThemeListCtrl* pList = GetList();
    if (!pList) return;
    SetCapture();
    HCURSOR hOldCursor = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));

    const int col = skin::HeaderColumnFromX(point.x, ColumnWidths());
    m_nSortType = skin::NextSortType(m_nSortType, &m_nLastSortColumn, col);

    const int n = pList->GetItemCount();
    std::vector<std::string> keys(static_cast<size_t>(n));
    if (col >= 0)
        for (int i = 0; i < n; ++i)
            keys[static_cast<size_t>(i)] = pList->GetItemText(i, col).GetString();
    const std::vector<int> order = skin::ExchangeSortOrder(keys, m_nSortType);

    // New rows after the old ones, in sorted order; then the old ones go.
    const int columns = GetItemCount();
    for (int k = 0; k < n; ++k) {
        const int src = order[static_cast<size_t>(k)];
        const int at = pList->InsertItem(n + k, pList->GetItemText(src, 0));
        for (int c = 1; c < columns; ++c) pList->SetItemText(at, c, pList->GetItemText(src, c));
        pList->SetItemData(at, pList->GetItemData(src));
    }
    for (int k = 0; k < n; ++k) pList->DeleteItem(0);

    ::ReleaseCapture();
    ::SetCursor(hOldCursor);
}

BOOL CHeadCtrl::SwapRows(int nRowA, int nRowB) {
    CThemeListCtrl* pList = GetList();
    if (!pList) return FALSE;
    const int n = pList->GetItemCount();
    if (nRowA < 0 || nRowB < 0 || nRowA >= n || nRowB >= n) return FALSE;
    const int columns = GetItemCount();
    for (int c = 0; c < columns; ++c) {
        const CString a = pList->GetItemText(nRowA, c);
        const CString b = pList->GetItemText(nRowB, c);
        pList->SetItemText(nRowA, c, b);
        pList->SetItemText(nRowB, c, a);
    }
    return TRUE;
}

int CHeadCtrl::GetHeight() const {
    if (!GetSafeHwnd()) return 0;
    CRect rc;
    if (!GetItemRect(0, &rc)) return 0;
    return rc.Height();
}
