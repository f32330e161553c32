// The grid's clipboard, edit commands and OLE drag and drop: the text of
// the selected cells goes out as CF_TEXT, pasted or dropped text comes in
// cell by cell, skipping read-only cells.
#include "ThemeClass/ThemeGrid.h"

#include <cstring>

#include "ThemeClass/ThemeGridClip.h"

namespace {

// Pasted or dropped text, read within its block's size.
GridPasteLines ReadTextData(COleDataObject* pDataObject) {
    GridPasteLines lines;
    HGLOBAL h = pDataObject->GetGlobalData(CF_TEXT);
    if (!h) return lines;
    if (const char* p = static_cast<const char*>(::GlobalLock(h))) {
        lines = GridSplitPasteText(p, ::GlobalSize(h));
        ::GlobalUnlock(h);
    }
    ::GlobalFree(h);
    return lines;
}

DROPEFFECT EffectForKeys(DWORD dwKeyState) {
    return (dwKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

}  // namespace

COleDataSource* CThemeGrid::CopySelection() {
    const CThemeGridCellRange range = GetSelectionRange();
    if (!range.IsValid(m_nRows, m_nCols)) return nullptr;
    const std::string block = GridCopyBlock(*this, range);
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, block.size());
    if (!h) return nullptr;
    void* p = ::GlobalLock(h);
    if (!p) {
        ::GlobalFree(h);
        return nullptr;
    }
    std::memcpy(p, block.data(), block.size());
    ::GlobalUnlock(h);
    COleDataSource* pSource = new COleDataSource;
    pSource->CacheGlobalData(CF_TEXT, h);
    return pSource;
}

void CThemeGrid::CutSelection() {
    if (!IsEditable()) return;
    GridCutCells(*this, [this](int r, int c, int code) { NotifyParent(r, c, code); });
    InvalidateAll();
}

BOOL CThemeGrid::PasteData(int nRow, int nCol, COleDataObject* pDataObject) {
    if (!IsValid(nRow, nCol) || !IsCellEditable(nRow, nCol) || !pDataObject ||
        !pDataObject->IsDataAvailable(CF_TEXT))
        return FALSE;
    const GridPasteLines lines = ReadTextData(pDataObject);
    GridPasteFields(*this, CThemeGridCellId(nRow, nCol), lines,
                    [this](int r, int c, int code) { NotifyParent(r, c, code); });
    InvalidateAll();
    return TRUE;
}

void CThemeGrid::OnEditCopy() {
    if (COleDataSource* pSource = CopySelection()) pSource->SetClipboard();
}

void CThemeGrid::OnEditCut() {
    if (!IsEditable()) return;
    OnEditCopy();
    CutSelection();
}

void CThemeGrid::OnEditPaste() {
    if (!IsEditable()) return;
    CThemeGridCellId cell = GetFocusCell();
    if (!IsValid(cell)) cell = GetTopLeftNonFixedCell();
    if (!IsValid(cell)) return;
    COleDataObject data;
    if (data.AttachClipboard()) PasteData(cell.row, cell.col, &data);
}

void CThemeGrid::UpdateEditCommand(CCmdUI* pCmdUI) {
    pCmdUI->Enable(
        GridEditCommandEnabled(*this, pCmdUI->m_nID, ::IsClipboardFormatAvailable(CF_TEXT)));
}

void CThemeGrid::OnBeginDrag() {
    COleDataSource* pSource = CopySelection();
    if (!pSource) return;
    const CThemeGridCellId topLeft = GetSelectionRange().GetTopLeft();
    NotifyParent(topLeft.row, topLeft.col, GRID_NOTIFY_BEGIN_DRAG);
    m_MouseMode = GRID_MOUSE_DRAGGING;
    const DROPEFFECT effect = pSource->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
    if (effect & DROPEFFECT_MOVE) CutSelection();
    pSource->InternalRelease();
    // The drag loop took the button's release.
    m_MouseMode = GRID_MOUSE_NOTHING;
}

DROPEFFECT CThemeGrid::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) {
    if (!m_bAllowDragAndDrop || !pDataObject || !pDataObject->IsDataAvailable(CF_TEXT))
        return DROPEFFECT_NONE;
    const CThemeGridCellId c = GetCellFromPt(point, TRUE);
    m_LastDragOverCell = CThemeGridCellId();
    if (IsValid(c) && IsCellEditable(c.row, c.col)) {
        m_LastDragOverCell = c;
        SetItemState(c.row, c.col, GetItemState(c.row, c.col) | GRID_STATE_DROPHILITED);
        RedrawCell(c.row, c.col);
    }
    return EffectForKeys(dwKeyState);
}

DROPEFFECT CThemeGrid::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) {
    if (!m_bAllowDragAndDrop || !IsEditable() || !pDataObject ||
        !pDataObject->IsDataAvailable(CF_TEXT))
        return DROPEFFECT_NONE;
    const CThemeGridCellId cell = GetCellFromPt(point, TRUE);
    const CThemeGridCellId old = m_LastDragOverCell;
    if (!IsValid(cell) || !IsCellEditable(cell.row, cell.col)) {
        // Off the cells or over a read-only one: no target, so a drop here
        // cannot land in the cell passed before.
        OnDragLeave();
        m_LastDragOverCell = CThemeGridCellId();
        if (IsValid(cell)) return DROPEFFECT_NONE;
    } else if (cell != old) {
        if (IsValid(old)) {
            SetItemState(old.row, old.col, GetItemState(old.row, old.col) & ~GRID_STATE_DROPHILITED);
            RedrawCell(old.row, old.col);
        }
        m_LastDragOverCell = cell;
        SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | GRID_STATE_DROPHILITED);
        RedrawCell(cell.row, cell.col);
    }
    return EffectForKeys(dwKeyState);
}

void CThemeGrid::OnDragLeave() {
    const CThemeGridCellId c = m_LastDragOverCell;
    if (!IsValid(c)) return;
    SetItemState(c.row, c.col, GetItemState(c.row, c.col) & ~GRID_STATE_DROPHILITED);
    RedrawCell(c.row, c.col);
}

BOOL CThemeGrid::OnDrop(COleDataObject* pDataObject, DROPEFFECT, CPoint) {
    const CThemeGridCellId c = m_LastDragOverCell;
    if (!m_bAllowDragAndDrop || !IsValid(c) || !IsCellEditable(c.row, c.col)) {
        OnDragLeave();
        return FALSE;
    }
    m_MouseMode = GRID_MOUSE_NOTHING;
    OnDragLeave();
    return PasteData(c.row, c.col, pDataObject);
}

CImageList* CThemeGrid::MakeDragImage(CPoint* pHotSpot) {
    const CThemeGridCellId cell = GetFocusCell();
    CRect rect;
    if (cell.row < 0 || cell.col < 0 || !GetCellRect(cell.row, cell.col, &rect)) return nullptr;
    // Cell rectangles include their right and bottom edges.
    rect.OffsetRect(-rect.left, -rect.top);
    const int width = rect.right + 1, height = rect.bottom + 1;
    if (width <= 0 || height <= 0) return nullptr;
    if (pHotSpot) *pHotSpot = CPoint(rect.right, rect.bottom);

    CImageList* pList = new CImageList;
    if (!pList->Create(width, height, ILC_COLOR24 | ILC_MASK, 1, 1)) {
        delete pList;
        return nullptr;
    }
    CClientDC screen(this);
    CDC dc;
    CBitmap bitmap;
    BOOL ok = dc.CreateCompatibleDC(&screen) &&
              bitmap.CreateCompatibleBitmap(&screen, width, height);
    if (ok) {
        CBitmap* pOld = dc.SelectObject(&bitmap);
        DrawCell(&dc, cell.row, cell.col, rect, TRUE);
        dc.SelectObject(pOld);
        ok = pList->Add(&bitmap, GetNormalBackColor()) == 0;
    }
    if (!ok) {
        delete pList;
        return nullptr;
    }
    return pList;
}
