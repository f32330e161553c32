// Command-state updates: before a menu opens (or whenever a caller asks),
// each command's handler of the window that would run it is asked whether
// the command is enabled or checked, through a CCmdUI object that then sets
// the menu item (or the control) to match:
//     ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateEditCopy)
//     void CMyWnd::OnUpdateEditCopy(CCmdUI* pCmdUI) { pCmdUI->Enable(HaveSelection()); }
#pragma once

#include "classlib/afxwin.h"

// The message-map code of an update request (a WM_COMMAND entry with this
// code is an update handler, not a command handler).
#define CN_UPDATE_COMMAND_UI ((UINT)-1)

// void OnUpdateXxx(CCmdUI* pCmdUI)
#define ON_UPDATE_COMMAND_UI(id, fn)                                      \
    {                                                                     \
        WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id),         \
            AFX_THUNK(pThis->fn((CCmdUI*)lParam); return TRUE;)           \
    }                                                                     \
    ,

// The standard edit commands.
#ifndef ID_EDIT_COPY
#define ID_EDIT_CLEAR 0xE120
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_PASTE 0xE125
#define ID_EDIT_SELECT_ALL 0xE12A
#define ID_EDIT_UNDO 0xE12B
#endif

class CCmdUI {
public:
    CCmdUI();
    virtual ~CCmdUI() = default;

    UINT m_nID;      // the command
    UINT m_nIndex;   // its position in m_pMenu
    UINT m_nIndexMax;
    HMENU m_pMenu;   // the menu whose item is updated, or null
    CWnd* m_pOther;  // the control updated instead, or null

    virtual void Enable(BOOL bOn = TRUE);
    // 0 unchecked, 1 checked (2, indeterminate, shows as checked in a menu).
    virtual void SetCheck(int nCheck = 1);
    virtual void SetText(LPCTSTR lpszText);

    // What the handler said; -1 for what it left alone.
    int GetEnabled() const { return m_nEnabled; }
    int GetCheck() const { return m_nChecked; }

    // Asks the target's handler. Without one, the item is disabled when
    // bDisableIfNoHandler is set. TRUE when a handler answered.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);

private:
    int m_nEnabled;
    int m_nChecked;
};

// Updates every command item of a popup menu (separators and submenus left
// alone) from the target's handlers. Items without a handler are disabled
// when bDisableIfNoHandler is set.
void AfxUpdateMenuCmdUI(HMENU hMenu, CCmdTarget* pTarget, BOOL bDisableIfNoHandler = TRUE);
