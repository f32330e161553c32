// The tool tip every skinned control and dialog carries. Its window exists
// from the owner's first tip text on; the owner registers its whole client
// rectangle as one tool, with its window handle as the tool id, and relays
// its mouse messages to it. Texts break at line feeds or backslash-n pairs.
#pragma once

#include "classlib/afxwin.h"

class CThemeToolTip : public CToolTipCtrl {
public:
    CThemeToolTip();
    ~CThemeToolTip() override;

    // Creates the tip window (owner as parent, style 8), remembers the owner
    // and tool id and registers the owner's client rectangle with the text.
    void SetTool(CWnd* pOwner, UINT_PTR nToolId, LPCTSTR lpszText);
    void SetTool(CWnd* pOwner, HWND hToolId, LPCTSTR lpszText) {
        SetTool(pOwner, reinterpret_cast<UINT_PTR>(hToolId), lpszText);
    }
    // Registers the tool again over the owner's current client rectangle
    // with a new text; nothing before SetTool.
    void UpdateTool(LPCTSTR lpszText);
    // The text as last given (backslash-n pairs unchanged).
    CString GetText() const { return m_strText; }
    // Adds the tool as a multi-line tip: the tip is as wide as its widest
    // line in the tip's font, with 2-pixel margins. Draws nothing.
    void DrawMultiLineText(CWnd* pOwner, const CRect& rcTool, UINT_PTR nToolId, LPCTSTR lpszText);
    // Removes the owner's tool when the tip exists.
    void RemoveTool();

    CWnd* GetToolOwner() const { return m_pOwner; }
    UINT_PTR GetToolId() const { return m_nToolId; }

    // What every control's WindowProc does before its base: the mouse
    // messages of skin::IsToolTipRelayed go to the tip when it exists.
    void RelayFrom(CWnd* pOwner, UINT message, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    CString m_strText;
    CWnd* m_pOwner;
    UINT_PTR m_nToolId;
};

// The tip text of a control: registers the tip on the first call, updates
// it afterwards.
void SetControlToolTip(CThemeToolTip& tip, CWnd* pControl, LPCTSTR lpszText);
// WM_SIZE of a control: with both extents above 7, repaint and move the
// tool to the new client rectangle. Returns whether it acted.
BOOL ResizeControlToolTip(CThemeToolTip& tip, CWnd* pControl, int cx, int cy, BOOL bErase);
