// The grid's painting: the background areas, the fixed and normal cells in
// four passes over the clip box, the grid lines, the looks of a normal cell
// (focus, selection, drop target, check box or image, text) and of a header
// cell (raised, or sunken in the focus row and column, group captions), and
// redrawing single cells.
#include <algorithm>

#include "ThemeClass/ThemeDraw.h"
#include "ThemeClass/ThemeGrid.h"

namespace {

// The drawn check box: 11 pixels square, one pixel in from the left.
constexpr int kCheckSize = 11;

// Selects a font made from a logical record for the scope.
class ScopedFont {
public:
    ScopedFont(CDC* pDC, const LOGFONTA& lf) : m_pDC(pDC) {
        m_font.CreateFontIndirect(&lf);
        m_hOld = ::SelectObject(pDC->m_hDC, m_font.m_hObject);
    }
    ~ScopedFont() { ::SelectObject(m_pDC->m_hDC, m_hOld); }

private:
    CDC* m_pDC;
    CFont m_font;
    HGDIOBJ m_hOld;
};

void Fill(CDC* pDC, const CRect& r, COLORREF c) {
    if (r.right > r.left && r.bottom > r.top) pDC->FillSolidRect(&r, c);
}

// A frame of 1-pixel lines on an inclusive rectangle: top and left in one
// colour, right and bottom in the other.
void RaisedFrame(CDC* pDC, const CRect& r, COLORREF topLeft, COLORREF bottomRight) {
    CPen lt, rb;
    lt.CreatePen(PS_SOLID, 1, topLeft);
    rb.CreatePen(PS_SOLID, 1, bottomRight);
    CPen* pOld = pDC->SelectObject(&lt);
    pDC->MoveTo(r.right, r.top);
    pDC->LineTo(r.left, r.top);
    pDC->LineTo(r.left, r.bottom);
    pDC->SelectObject(&rb);
    pDC->MoveTo(r.right, r.top);
    pDC->LineTo(r.right, r.bottom);
    pDC->LineTo(r.left - 1, r.bottom);
    pDC->SelectObject(pOld);
}

}  // namespace

bool CThemeGrid::IsPrinting(CDC* pDC) {
    return ::GetDeviceCaps(pDC->m_hDC, TECHNOLOGY) == DT_RASPRINTER;
}

void CThemeGrid::OnPaint() {
    CPaintDC dc(this);
    if (m_bDoubleBuffer) {
        CThemeGridBufferDC buffer(&dc);
        OnDraw(&buffer);
    } else {
        OnDraw(&dc);
    }
}

void CThemeGrid::EraseBkgnd(CDC* pDC) {
    CRect clip;
    if (pDC->GetClipBox(&clip) == ERROR) return;
    RECT vr;
    GetVisibleNonFixedCellRange(&vr);
    const CRect vis(vr);
    const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
    if (clip.left < fixedW) Fill(pDC, CRect(clip.left, clip.top, fixedW, vis.bottom), m_crFixedBkColor);
    if (clip.top < fixedH) Fill(pDC, CRect(fixedW - 1, clip.top, vis.right, fixedH), m_crFixedBkColor);
    CRect inside;
    if (inside.IntersectRect(&vis, &clip)) {
        inside.left = std::max<LONG>(inside.left, fixedW);
        inside.top = std::max<LONG>(inside.top, fixedH);
        Fill(pDC, inside, m_crTextBkColor);
    }
    if (clip.right > vis.right)
        Fill(pDC, CRect(vis.right, clip.top, clip.right, clip.bottom), m_crBkColor);
    if (clip.bottom > vis.bottom)
        Fill(pDC, CRect(clip.left, vis.bottom, vis.right, clip.bottom), m_crBkColor);
}

void CThemeGrid::OnDraw(CDC* pDC) {
    CRect clip;
    if (pDC->GetClipBox(&clip) == ERROR) return;
    EraseBkgnd(pDC);
    const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
    RECT vr;
    const CThemeGridCellRange vis = GetVisibleNonFixedCellRange(&vr);
    const int minRow = vis.GetMinRow(), minCol = vis.GetMinCol();
    const int maxRow = vis.GetMaxRow(), maxCol = vis.GetMaxCol();
    // Draws the cells of rows firstRow..lastRow and columns firstCol..lastCol,
    // the first with its top-left corner at (left, top), as headers or as
    // normal cells. Cells outside the clip box are skipped.
    auto drawCells = [&](int firstRow, int lastRow, int firstCol, int lastCol, int left, int top,
                         bool header) {
        CRect rect;
        rect.bottom = top - 1;
        for (int row = firstRow; row <= lastRow && row >= 0; ++row) {
            rect.top = rect.bottom + 1;
            rect.bottom = rect.top + GetRowHeight(row) - 1;
            if (rect.top > clip.bottom) break;
            if (rect.bottom < clip.top) continue;
            rect.right = left - 1;
            for (int col = firstCol; col <= lastCol && col >= 0; ++col) {
                rect.left = rect.right + 1;
                rect.right = rect.left + GetColumnWidth(col) - 1;
                if (rect.left > clip.right) break;
                if (rect.right < clip.left) continue;
                if (header)
                    DrawHeaderCell(pDC, row, col, rect, FALSE);
                else
                    DrawCell(pDC, row, col, rect, FALSE);
            }
        }
    };
    drawCells(0, m_nFixedRows - 1, 0, m_nFixedCols - 1, 0, 0, true);  // top-left fixed cells
    drawCells(minRow, maxRow, 0, m_nFixedCols - 1, 0, fixedH, true);  // fixed columns, visible rows
    drawCells(0, m_nFixedRows - 1, minCol, maxCol, fixedW, 0, true);  // fixed rows, visible columns
    drawCells(minRow, maxRow, minCol, maxCol, fixedW, fixedH, false);  // normal cells
    // Grid lines over the normal cells only.
    CPen pen;
    pen.CreatePen(PS_SOLID, 0, m_crGridColor);
    CPen* pOld = pDC->SelectObject(&pen);
    if (m_nGridLines == GRID_LINES_VERT || m_nGridLines == GRID_LINES_BOTH) {
        int x = fixedW;
        for (int col = minCol; col <= maxCol && col >= 0; ++col) {
            x += GetColumnWidth(col);
            pDC->MoveTo(x - 1, fixedH);
            pDC->LineTo(x - 1, vr.bottom);
        }
    }
    if (m_nGridLines == GRID_LINES_HORZ || m_nGridLines == GRID_LINES_BOTH) {
        int y = fixedH;
        for (int row = minRow; row <= maxRow && row >= 0; ++row) {
            y += GetRowHeight(row);
            pDC->MoveTo(fixedW, y - 1);
            pDC->LineTo(vr.right, y - 1);
        }
    }
    pDC->SelectObject(pOld);
}

void CThemeGrid::DrawCheckBox(CDC* pDC, const CRect& rect, int nImage) {
    const int left = rect.left + 1;
    const int top = rect.top + (rect.Height() - kCheckSize) / 2;
    pDC->FillSolidRect(left, top, kCheckSize, kCheckSize, RGB(255, 255, 255));
    Draw3DOutline(left, top, left + kCheckSize, top + kCheckSize, RGB(0, 0, 0), RGB(0, 0, 0),
                  RGB(0xC0, 0xC0, 0xC0), RGB(0xC0, 0xC0, 0xC0), pDC);
    if (nImage == 0) return;
    const int right = left + kCheckSize, bottom = top + kCheckSize;
    DrawLine(left + 3, top + 3, right - 3, bottom - 3, RGB(0, 0, 0), 2, pDC);
    DrawLine(right - 3, top + 3, left + 3, bottom - 3, RGB(0, 0, 0), 2, pDC);
}

void CThemeGrid::DrawCellImage(CDC* pDC, CRect& rect, int nImage, bool bTop) {
    if (nImage < 0) return;
    if (!m_ImageList.GetSafeHandle()) {
        DrawCheckBox(pDC, rect, nImage);
        rect.left += kCheckSize + m_nMargin;
        return;
    }
    IMAGEINFO info;
    if (!m_ImageList.GetImageInfo(nImage, &info)) return;
    const int w = info.rcImage.right - info.rcImage.left;
    const int h = info.rcImage.bottom - info.rcImage.top;
    int y = rect.top;
    if (!bTop && h < rect.Height()) y = rect.top + (rect.Height() - h) / 2;
    m_ImageList.Draw(pDC, nImage, CPoint(rect.left, y), ILD_NORMAL);
    rect.left += w + m_nMargin;
}

BOOL CThemeGrid::DrawCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bEraseBk) {
    if (!m_bAllowDraw) return FALSE;
    CThemeGridCell* cell = GetCell(nRow, nCol);
    if (!cell) return FALSE;
    const bool printing = IsPrinting(pDC);
    COLORREF back = m_crTextBkColor;
    COLORREF text = cell->textColor == GRID_COLOR_DEFAULT ? m_crTextColor : cell->textColor;
    const int saved = pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);
    const CRect whole(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
    if ((cell->state & GRID_STATE_FOCUSED) && !printing) {
        if (bEraseBk) pDC->FillSolidRect(&whole, back);
        pDC->SelectStockObject(BLACK_PEN);
        pDC->SelectStockObject(NULL_BRUSH);
        pDC->Rectangle(&rect);
        pDC->SetTextColor(text);
        rect.DeflateRect(1, 1);
    } else if ((cell->state & GRID_STATE_SELECTED) && !printing) {
        pDC->FillSolidRect(&whole, ::GetSysColor(COLOR_HIGHLIGHT));
        pDC->SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        if (m_pfnBackColor && m_pfnBackColor(GetOwnerWindow(), nRow, nCol, &back))
            bEraseBk = TRUE;
        if (bEraseBk) pDC->FillSolidRect(&whole, back);
        pDC->SetTextColor(text);
    }
    if ((cell->state & GRID_STATE_DROPHILITED) && !printing) {
        pDC->SelectStockObject(BLACK_PEN);
        pDC->SelectStockObject(NULL_BRUSH);
        pDC->Rectangle(&rect);
    }
    {
        ScopedFont font(pDC, cell->font);
        rect.DeflateRect(m_nMargin, 0);
        DrawCellImage(pDC, rect, cell->image, false);
        pDC->DrawText(cell->text, &rect, cell->format);
    }
    pDC->RestoreDC(saved);
    return TRUE;
}

BOOL CThemeGrid::DrawHeaderCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL) {
    if (!m_bAllowDraw) return FALSE;
    CThemeGridCell* cell = GetCell(nRow, nCol);
    if (!cell) return FALSE;
    const bool printing = IsPrinting(pDC);
    int position = 0, first = 0, last = 0;
    CString caption;
    const BOOL grouped = FindHeaderGroup(nCol, &position, &caption, &first, &last);
    const CRect full = rect;
    if (grouped) rect.top = rect.top + 1 + (rect.bottom - rect.top) / 2;
    const COLORREF back =
        cell->backColor == GRID_COLOR_DEFAULT ? m_crFixedBkColor : cell->backColor;
    const COLORREF text =
        cell->textColor == GRID_COLOR_DEFAULT ? m_crFixedTextColor : cell->textColor;
    if (!printing) pDC->FillSolidRect(CRect(rect.left, rect.top, rect.right + 1, rect.bottom + 1), back);
    const int saved = pDC->SaveDC();
    pDC->SetTextColor(text);
    const CThemeGridCellId focus = m_idCurrentCell;
    const bool inFocusLine = IsValid(focus) && (focus.row == nRow || focus.col == nCol);
    LOGFONTA lf = cell->font;
    if (inFocusLine) lf.lfWeight = 600;
    if (!inFocusLine) {
        RaisedFrame(pDC, rect, m_crFixedFrameLT, m_crFixedFrameRB);
        rect.DeflateRect(1, 1);
    } else {
        rect.right++;
        rect.bottom++;
        pDC->DrawEdge(&rect, BDR_SUNKENINNER, BF_RECT);
        rect.DeflateRect(1, 1);
    }
    pDC->SetBkMode(TRANSPARENT);
    {
        ScopedFont font(pDC, lf);
        rect.DeflateRect(m_nMargin, 0);
        DrawCellImage(pDC, rect, cell->image, true);
        pDC->DrawText(cell->text, &rect, cell->format);
    }
    pDC->RestoreDC(saved);
    if (grouped) DrawHeaderGroupCaption(pDC, nCol, caption, first, last, full);
    return TRUE;
}

void CThemeGrid::DrawHeaderGroupCaption(CDC* pDC, int, const CString& strCaption, int nFirst,
                                        int nLast, const CRect& rect) {
    // The caption spans the group's columns that are on screen.
    const int firstVisible = GetTopLeftNonFixedCell().col;
    if (nFirst >= m_nFixedCols && nFirst < firstVisible) nFirst = firstVisible;
    CRect a, b;
    if (!GetCellRect(0, nFirst, &a) || !GetCellRect(0, nLast, &b)) return;
    CRect group(a.left, a.top, b.right, b.bottom);
    group.bottom -= rect.Height() / 2 + 1;
    if (group.bottom < group.top) return;
    const int saved = pDC->SaveDC();
    pDC->FillSolidRect(CRect(group.left, group.top, group.right + 1, group.bottom + 1),
                       m_crFixedBkColor);
    RaisedFrame(pDC, group, ::GetSysColor(COLOR_3DHILIGHT), ::GetSysColor(COLOR_3DDKSHADOW));
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(m_crFixedTextColor);
    {
        ScopedFont font(pDC, m_Logfont);
        CRect text = group;
        text.DeflateRect(1, 1);
        pDC->DrawText(strCaption, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    pDC->RestoreDC(saved);
}

CSize CThemeGrid::MeasureCell(int nRow, int nCol, CDC* pDC) const {
    const CThemeGridCell* cell = GetCell(nRow, nCol);
    if (!cell || !pDC) return CSize(0, 0);
    LOGFONTA lf = cell->font;
    if (IsCellFixed(nRow, nCol)) lf.lfWeight = 600;
    ScopedFont font(pDC, lf);
    CSize size = pDC->GetTextExtent(cell->text);
    std::vector<CString> items;
    if (GetColumnComboItems(nCol, &items))
        for (const CString& s : items) size.cx = std::max<LONG>(size.cx, pDC->GetTextExtent(s).cx);
    size.cx += 4 * m_nMargin;
    size.cy += 2 * m_nMargin;
    if (cell->image >= 0) {
        if (!m_ImageList.GetSafeHandle()) {
            size.cx += 12;
            size.cy = std::max<LONG>(size.cy, 12);
        } else {
            IMAGEINFO info;
            if (m_ImageList.GetImageInfo(cell->image, &info)) {
                size.cx += info.rcImage.right - info.rcImage.left;
                size.cy = std::max<LONG>(size.cy, info.rcImage.bottom - info.rcImage.top);
            }
        }
    }
    return size;
}

BOOL CThemeGrid::RedrawCell(int nRow, int nCol, CDC* pDC) {
    if (!m_bAllowDraw || !IsCellVisible(nRow, nCol)) return FALSE;
    CRect rect;
    if (!GetCellRect(nRow, nCol, &rect)) return FALSE;
    CDC* pUse = pDC;
    HDC hOwn = nullptr;
    if (!pUse) {
        hOwn = ::GetDC(m_hWnd);
        if (!hOwn) {
            InvalidateCell(CThemeGridCellId(nRow, nCol));
            return TRUE;
        }
        pUse = CDC::FromHandle(hOwn);
    }
    BOOL ok;
    if (IsCellFixed(nRow, nCol)) {
        ok = DrawHeaderCell(pUse, nRow, nCol, rect, TRUE);
    } else {
        ok = DrawCell(pUse, nRow, nCol, rect, TRUE);
        CPen pen;
        pen.CreatePen(PS_SOLID, 0, m_crGridColor);
        CPen* pOld = pUse->SelectObject(&pen);
        if (m_nGridLines == GRID_LINES_HORZ || m_nGridLines == GRID_LINES_BOTH) {
            pUse->MoveTo(rect.left, rect.bottom);
            pUse->LineTo(rect.right + 1, rect.bottom);
        }
        if (m_nGridLines == GRID_LINES_VERT || m_nGridLines == GRID_LINES_BOTH) {
            pUse->MoveTo(rect.right, rect.top);
            pUse->LineTo(rect.right, rect.bottom + 1);
        }
        pUse->SelectObject(pOld);
    }
    if (hOwn) ::ReleaseDC(m_hWnd, hOwn);
    return ok;
}

BOOL CThemeGrid::RedrawRow(int nRow) {
    BOOL all = TRUE;
    CClientDC dc(this);
    for (int col = 0; col < m_nCols; ++col) all = RedrawCell(nRow, col, &dc) && all;
    return all;
}

BOOL CThemeGrid::RedrawColumn(int nCol) {
    BOOL all = TRUE;
    CClientDC dc(this);
    for (int row = 0; row < m_nRows; ++row) all = RedrawCell(row, nCol, &dc) && all;
    return all;
}
