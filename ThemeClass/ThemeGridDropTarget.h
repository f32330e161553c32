// A drop target that hands a grid window's drag events to the grid's drop
// operations (the grid registers none of its own).
#pragma once

#include "ThemeClass/ThemeGrid.h"

class CThemeGridDropTarget : public COleDropTarget {
public:
    CThemeGridDropTarget() = default;
    // Registers the grid's window; FALSE when it has none or OLE refused.
    BOOL Register(CThemeGrid* pGrid) {
        m_pGrid = pGrid;
        return COleDropTarget::Register(pGrid);
    }
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* pData, DWORD dwKeyState, CPoint point) override {
        return m_pGrid ? m_pGrid->OnDragEnter(pData, dwKeyState, point) : DROPEFFECT_NONE;
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject* pData, DWORD dwKeyState, CPoint point) override {
        return m_pGrid ? m_pGrid->OnDragOver(pData, dwKeyState, point) : DROPEFFECT_NONE;
    }
    void OnDragLeave(CWnd*) override {
        if (m_pGrid) m_pGrid->OnDragLeave();
    }
    BOOL OnDrop(CWnd*, COleDataObject* pData, DROPEFFECT effect, CPoint point) override {
        return m_pGrid && m_pGrid->OnDrop(pData, effect, point);
    }

private:
    CThemeGrid* m_pGrid = nullptr;
};
