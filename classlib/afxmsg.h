// Message maps: each window class keeps a visible table that ties a message
// (or a control's command or notification) to a member function. A table
// names its base class's table, and dispatch walks from the most derived
// table to the root.
//
// Each entry holds a small thunk made by the ON_* macro; it unpacks the
// message parameters and calls the member with the usual handler signature.
#pragma once

class CCmdTarget;

// Returns FALSE when the handler declined (the _EX forms), so that the
// search goes on.
typedef BOOL (*AFX_PMSG)(CCmdTarget* pTarget, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT* pResult);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message; WM_COMMAND/WM_NOTIFY; WM_REFLECT_BASE + message
    UINT nCode;     // control notification code (commands and notifications)
    UINT nID;       // first control id
    UINT nLastID;   // last control id
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Messages a parent hands back to the child control that sent them.
#define WM_REFLECT_BASE 0xBC00
// Every WM_CTLCOLORxxx message is dispatched under this one number; the
// handler receives the kind as nCtlColor.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

// What a reflected WM_CTLCOLORxxx carries in lParam.
struct AFX_CTLCOLOR {
    HWND hWnd;
    HDC hDC;
    UINT nCtlType;
};

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
        using ThisClass [[maybe_unused]] = theClass;                                  \
        using TheBaseClass [[maybe_unused]] = baseClass;                              \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                     \
    { 0, 0, 0, 0, nullptr }                                                                   \
    }                                                                                         \
    ;                                                                                         \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, _messageEntries}; \
    return &messageMap;                                                                       \
    }

// The thunk body sees pThis (the object as the class that owns the table),
// message, wParam, lParam and pResult.
#define AFX_THUNK(...)                                                         \
    [](CCmdTarget* pTarget_, UINT message, WPARAM wParam, LPARAM lParam,       \
       LRESULT* pResult) -> BOOL {                                             \
        ThisClass* pThis = static_cast<ThisClass*>(pTarget_);                  \
        (void)pThis, (void)message, (void)wParam, (void)lParam, (void)pResult; \
        __VA_ARGS__                                                            \
    }

#define AFX_MSG_POINT(lp) CPoint((int)(short)LOWORD(lp), (int)(short)HIWORD(lp))

// --- Window messages --------------------------------------------------------
#define AFX_ON_VOID0(msg, fn)                              \
    { msg, 0, 0, 0, AFX_THUNK(pThis->fn(); return TRUE;) } \
    ,
#define AFX_ON_MOUSE(msg, fn)                                                                 \
    { msg, 0, 0, 0, AFX_THUNK(pThis->fn((UINT)wParam, AFX_MSG_POINT(lParam)); return TRUE;) } \
    ,

#define ON_WM_CREATE()                                                                           \
    {                                                                                            \
        WM_CREATE, 0, 0, 0,                                                                      \
            AFX_THUNK(*pResult = (LRESULT)pThis->OnCreate((LPCREATESTRUCT)lParam); return TRUE;) \
    }                                                                                            \
    ,
#define ON_WM_DESTROY() AFX_ON_VOID0(WM_DESTROY, OnDestroy)
#define ON_WM_NCDESTROY() AFX_ON_VOID0(WM_NCDESTROY, OnNcDestroy)
#define ON_WM_PAINT() AFX_ON_VOID0(WM_PAINT, OnPaint)
#define ON_WM_NCPAINT() AFX_ON_VOID0(WM_NCPAINT, OnNcPaint)
#define ON_WM_CLOSE() AFX_ON_VOID0(WM_CLOSE, OnClose)
#define ON_WM_MOUSELEAVE() AFX_ON_VOID0(WM_MOUSELEAVE, OnMouseLeave)
#define ON_WM_CANCELMODE() AFX_ON_VOID0(WM_CANCELMODE, OnCancelMode)
#define ON_WM_ERASEBKGND()                                                                        \
    {                                                                                             \
        WM_ERASEBKGND, 0, 0, 0,                                                                   \
            AFX_THUNK(*pResult = pThis->OnEraseBkgnd(CDC::FromHandle((HDC)wParam)); return TRUE;) \
    }                                                                                             \
    ,
#define ON_WM_SIZE()                                                          \
    {                                                                         \
        WM_SIZE, 0, 0, 0,                                                     \
            AFX_THUNK(pThis->OnSize((UINT)wParam, (int)(short)LOWORD(lParam), \
                                    (int)(short)HIWORD(lParam));              \
                      return TRUE;)                                           \
    }                                                                         \
    ,
#define ON_WM_MOVE()                                                                         \
    {                                                                                        \
        WM_MOVE, 0, 0, 0,                                                                    \
            AFX_THUNK(pThis->OnMove((int)(short)LOWORD(lParam), (int)(short)HIWORD(lParam)); \
                      return TRUE;)                                                          \
    }                                                                                        \
    ,
#define ON_WM_TIMER()                                                                \
    { WM_TIMER, 0, 0, 0, AFX_THUNK(pThis->OnTimer((UINT_PTR)wParam); return TRUE;) } \
    ,
#define ON_WM_MOUSEMOVE() AFX_ON_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_ON_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_ON_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_ON_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_ON_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_ON_MOUSE(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_ON_MOUSE(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() AFX_ON_MOUSE(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() AFX_ON_MOUSE(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MOUSEHOVER() AFX_ON_MOUSE(WM_MOUSEHOVER, OnMouseHover)
#define ON_WM_MOUSEWHEEL()                                                                        \
    {                                                                                             \
        WM_MOUSEWHEEL, 0, 0, 0,                                                                   \
            AFX_THUNK(*pResult = pThis->OnMouseWheel((UINT)LOWORD(wParam), (short)HIWORD(wParam), \
                                                     AFX_MSG_POINT(lParam));                      \
                      return TRUE;)                                                               \
    }                                                                                             \
    ,
#define AFX_ON_KEY(msg, fn)                                                                \
    {                                                                                      \
        msg, 0, 0, 0,                                                                      \
            AFX_THUNK(pThis->fn((UINT)wParam, (UINT)LOWORD(lParam), (UINT)HIWORD(lParam)); \
                      return TRUE;)                                                        \
    }                                                                                      \
    ,
#define ON_WM_KEYDOWN() AFX_ON_KEY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_ON_KEY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() AFX_ON_KEY(WM_CHAR, OnChar)
#define ON_WM_SYSKEYDOWN() AFX_ON_KEY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SETFOCUS()                                                               \
    {                                                                                  \
        WM_SETFOCUS, 0, 0, 0,                                                          \
            AFX_THUNK(pThis->OnSetFocus(CWnd::FromHandle((HWND)wParam)); return TRUE;) \
    }                                                                                  \
    ,
#define ON_WM_KILLFOCUS()                                                               \
    {                                                                                   \
        WM_KILLFOCUS, 0, 0, 0,                                                          \
            AFX_THUNK(pThis->OnKillFocus(CWnd::FromHandle((HWND)wParam)); return TRUE;) \
    }                                                                                   \
    ,
#define ON_WM_CAPTURECHANGED()                                                               \
    {                                                                                        \
        WM_CAPTURECHANGED, 0, 0, 0,                                                          \
            AFX_THUNK(pThis->OnCaptureChanged(CWnd::FromHandle((HWND)lParam)); return TRUE;) \
    }                                                                                        \
    ,
#define ON_WM_ACTIVATE()                                                                      \
    {                                                                                         \
        WM_ACTIVATE, 0, 0, 0,                                                                 \
            AFX_THUNK(pThis->OnActivate((UINT)LOWORD(wParam), CWnd::FromHandle((HWND)lParam), \
                                        (BOOL)HIWORD(wParam));                                \
                      return TRUE;)                                                           \
    }                                                                                         \
    ,
#define ON_WM_SHOWWINDOW()                                                           \
    {                                                                                \
        WM_SHOWWINDOW, 0, 0, 0,                                                      \
            AFX_THUNK(pThis->OnShowWindow((BOOL)wParam, (UINT)lParam); return TRUE;) \
    }                                                                                \
    ,
#define ON_WM_ENABLE()                                                             \
    { WM_ENABLE, 0, 0, 0, AFX_THUNK(pThis->OnEnable((BOOL)wParam); return TRUE;) } \
    ,
#define ON_WM_SETCURSOR()                                                                         \
    {                                                                                             \
        WM_SETCURSOR, 0, 0, 0,                                                                    \
            AFX_THUNK(*pResult = pThis->OnSetCursor(CWnd::FromHandle((HWND)wParam),               \
                                                    (UINT)(short)LOWORD(lParam), HIWORD(lParam)); \
                      return TRUE;)                                                               \
    }                                                                                             \
    ,
#define ON_WM_NCHITTEST()                                                                          \
    {                                                                                              \
        WM_NCHITTEST, 0, 0, 0,                                                                     \
            AFX_THUNK(*pResult = (LRESULT)pThis->OnNcHitTest(AFX_MSG_POINT(lParam)); return TRUE;) \
    }                                                                                              \
    ,
#define ON_WM_GETDLGCODE()                                                                         \
    { WM_GETDLGCODE, 0, 0, 0, AFX_THUNK(*pResult = (LRESULT)pThis->OnGetDlgCode(); return TRUE;) } \
    ,
#define ON_WM_GETMINMAXINFO()                                                    \
    {                                                                            \
        WM_GETMINMAXINFO, 0, 0, 0,                                               \
            AFX_THUNK(pThis->OnGetMinMaxInfo((MINMAXINFO*)lParam); return TRUE;) \
    }                                                                            \
    ,
#define ON_WM_WINDOWPOSCHANGING()                                                   \
    {                                                                               \
        WM_WINDOWPOSCHANGING, 0, 0, 0,                                              \
            AFX_THUNK(pThis->OnWindowPosChanging((WINDOWPOS*)lParam); return TRUE;) \
    }                                                                               \
    ,
#define ON_WM_WINDOWPOSCHANGED()                                                   \
    {                                                                              \
        WM_WINDOWPOSCHANGED, 0, 0, 0,                                              \
            AFX_THUNK(pThis->OnWindowPosChanged((WINDOWPOS*)lParam); return TRUE;) \
    }                                                                              \
    ,
#define ON_WM_NCLBUTTONDOWN()                                                                    \
    {                                                                                            \
        WM_NCLBUTTONDOWN, 0, 0, 0,                                                               \
            AFX_THUNK(pThis->OnNcLButtonDown((UINT)wParam, AFX_MSG_POINT(lParam)); return TRUE;) \
    }                                                                                            \
    ,
#define ON_WM_CONTEXTMENU()                                                                        \
    {                                                                                              \
        WM_CONTEXTMENU, 0, 0, 0,                                                                   \
            AFX_THUNK(pThis->OnContextMenu(CWnd::FromHandle((HWND)wParam), AFX_MSG_POINT(lParam)); \
                      return TRUE;)                                                                \
    }                                                                                              \
    ,
#define ON_WM_SYSCOMMAND()                                                                         \
    { WM_SYSCOMMAND, 0, 0, 0, AFX_THUNK(pThis->OnSysCommand((UINT)wParam, lParam); return TRUE;) } \
    ,
#define ON_WM_HSCROLL()                                                                   \
    {                                                                                     \
        WM_HSCROLL, 0, 0, 0,                                                              \
            AFX_THUNK(pThis->OnHScroll((UINT)LOWORD(wParam), (UINT)(short)HIWORD(wParam), \
                                       (CScrollBar*)CWnd::FromHandle((HWND)lParam));      \
                      return TRUE;)                                                       \
    }                                                                                     \
    ,
#define ON_WM_VSCROLL()                                                                   \
    {                                                                                     \
        WM_VSCROLL, 0, 0, 0,                                                              \
            AFX_THUNK(pThis->OnVScroll((UINT)LOWORD(wParam), (UINT)(short)HIWORD(wParam), \
                                       (CScrollBar*)CWnd::FromHandle((HWND)lParam));      \
                      return TRUE;)                                                       \
    }                                                                                     \
    ,
#define ON_WM_CTLCOLOR()                                                                    \
    {                                                                                       \
        WM_CTLCOLOR, 0, 0, 0,                                                               \
            AFX_THUNK(*pResult = (LRESULT)pThis->OnCtlColor(CDC::FromHandle((HDC)wParam),   \
                                                            CWnd::FromHandle((HWND)lParam), \
                                                            message - WM_CTLCOLORMSGBOX);   \
                      return TRUE;)                                                         \
    }                                                                                       \
    ,
#define ON_WM_DRAWITEM()                                                                         \
    {                                                                                            \
        WM_DRAWITEM, 0, 0, 0,                                                                    \
            AFX_THUNK(pThis->OnDrawItem((int)wParam, (LPDRAWITEMSTRUCT)lParam); *pResult = TRUE; \
                      return TRUE;)                                                              \
    }                                                                                            \
    ,
#define ON_WM_MEASUREITEM()                                                           \
    {                                                                                 \
        WM_MEASUREITEM, 0, 0, 0,                                                      \
            AFX_THUNK(pThis->OnMeasureItem((int)wParam, (LPMEASUREITEMSTRUCT)lParam); \
                      *pResult = TRUE; return TRUE;)                                  \
    }                                                                                 \
    ,

// Any message: LRESULT OnXxx(WPARAM, LPARAM).
#define ON_MESSAGE(msg, fn)                                                         \
    { msg, 0, 0, 0, AFX_THUNK(*pResult = pThis->fn(wParam, lParam); return TRUE;) } \
    ,

// --- Commands and control notifications ---------------------------------------
// Menu and accelerator commands, and BN_CLICKED (code 0): void OnXxx().
#define ON_COMMAND(id, fn)                                                          \
    { WM_COMMAND, 0, (UINT)(id), (UINT)(id), AFX_THUNK(pThis->fn(); return TRUE;) } \
    ,
// void OnXxx(UINT nID) for a range of ids.
#define ON_COMMAND_RANGE(id, idLast, fn)                             \
    {                                                                \
        WM_COMMAND, 0, (UINT)(id), (UINT)(idLast),                   \
            AFX_THUNK(pThis->fn((UINT)LOWORD(wParam)); return TRUE;) \
    }                                                                \
    ,
#define ON_CONTROL(code, id, fn)                                                               \
    { WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), AFX_THUNK(pThis->fn(); return TRUE;) } \
    ,
#define ON_CONTROL_RANGE(code, id, idLast, fn)                       \
    {                                                                \
        WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(idLast),        \
            AFX_THUNK(pThis->fn((UINT)LOWORD(wParam)); return TRUE;) \
    }                                                                \
    ,
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_BN_SETFOCUS(id, fn) ON_CONTROL(BN_SETFOCUS, id, fn)
#define ON_BN_KILLFOCUS(id, fn) ON_CONTROL(BN_KILLFOCUS, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_UPDATE(id, fn) ON_CONTROL(EN_UPDATE, id, fn)
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_EN_MAXTEXT(id, fn) ON_CONTROL(EN_MAXTEXT, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_LBN_SELCANCEL(id, fn) ON_CONTROL(LBN_SELCANCEL, id, fn)
#define ON_LBN_SETFOCUS(id, fn) ON_CONTROL(LBN_SETFOCUS, id, fn)
#define ON_LBN_KILLFOCUS(id, fn) ON_CONTROL(LBN_KILLFOCUS, id, fn)
#define ON_LBN_ERRSPACE(id, fn) ON_CONTROL(LBN_ERRSPACE, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_DBLCLK(id, fn) ON_CONTROL(CBN_DBLCLK, id, fn)
#define ON_CBN_EDITCHANGE(id, fn) ON_CONTROL(CBN_EDITCHANGE, id, fn)
#define ON_CBN_EDITUPDATE(id, fn) ON_CONTROL(CBN_EDITUPDATE, id, fn)
#define ON_CBN_DROPDOWN(id, fn) ON_CONTROL(CBN_DROPDOWN, id, fn)
#define ON_CBN_CLOSEUP(id, fn) ON_CONTROL(CBN_CLOSEUP, id, fn)
#define ON_CBN_SELENDOK(id, fn) ON_CONTROL(CBN_SELENDOK, id, fn)
#define ON_CBN_SELENDCANCEL(id, fn) ON_CONTROL(CBN_SELENDCANCEL, id, fn)
#define ON_CBN_SETFOCUS(id, fn) ON_CONTROL(CBN_SETFOCUS, id, fn)
#define ON_CBN_KILLFOCUS(id, fn) ON_CONTROL(CBN_KILLFOCUS, id, fn)

// WM_NOTIFY from control id with the given code: void OnXxx(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, fn)                                         \
    {                                                                   \
        WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id),                \
            AFX_THUNK(pThis->fn((NMHDR*)lParam, pResult); return TRUE;) \
    }                                                                   \
    ,
#define ON_NOTIFY_RANGE(code, id, idLast, fn)                                             \
    {                                                                                     \
        WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(idLast),                              \
            AFX_THUNK(pThis->fn((UINT)((NMHDR*)lParam)->idFrom, (NMHDR*)lParam, pResult); \
                      return TRUE;)                                                       \
    }                                                                                     \
    ,
// BOOL OnXxx(UINT id, NMHDR*, LRESULT*); FALSE lets the search go on.
#define ON_NOTIFY_EX(code, id, fn)                                                                \
    {                                                                                             \
        WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id),                                          \
            AFX_THUNK(return pThis->fn((UINT)((NMHDR*)lParam)->idFrom, (NMHDR*)lParam, pResult);) \
    }                                                                                             \
    ,

// --- Reflected to the control that sent them ------------------------------
// void OnXxx(NMHDR*, LRESULT*)
#define ON_NOTIFY_REFLECT(code, fn)                                     \
    {                                                                   \
        WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0,                \
            AFX_THUNK(pThis->fn((NMHDR*)lParam, pResult); return TRUE;) \
    }                                                                   \
    ,
// BOOL OnXxx(NMHDR*, LRESULT*): TRUE keeps the parent from seeing it too.
#define ON_NOTIFY_REFLECT_EX(code, fn)                            \
    {                                                             \
        WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0,          \
            AFX_THUNK(return pThis->fn((NMHDR*)lParam, pResult);) \
    }                                                             \
    ,
// void OnXxx()
#define ON_CONTROL_REFLECT(code, fn)                                                           \
    { WM_REFLECT_BASE + WM_COMMAND, (UINT)(code), 0, 0, AFX_THUNK(pThis->fn(); return TRUE;) } \
    ,
// BOOL OnXxx(): TRUE keeps the parent from seeing it too.
#define ON_CONTROL_REFLECT_EX(code, fn)                                                  \
    { WM_REFLECT_BASE + WM_COMMAND, (UINT)(code), 0, 0, AFX_THUNK(return pThis->fn();) } \
    ,
#define ON_BN_CLICKED_REFLECT(fn) ON_CONTROL_REFLECT(BN_CLICKED, fn)
// void DrawItem(LPDRAWITEMSTRUCT)
#define ON_WM_DRAWITEM_REFLECT()                                                                \
    {                                                                                           \
        WM_REFLECT_BASE + WM_DRAWITEM, 0, 0, 0,                                                 \
            AFX_THUNK(pThis->DrawItem((LPDRAWITEMSTRUCT)lParam); *pResult = TRUE; return TRUE;) \
    }                                                                                           \
    ,
// void MeasureItem(LPMEASUREITEMSTRUCT)
#define ON_WM_MEASUREITEM_REFLECT()                                                     \
    {                                                                                   \
        WM_REFLECT_BASE + WM_MEASUREITEM, 0, 0, 0,                                      \
            AFX_THUNK(pThis->MeasureItem((LPMEASUREITEMSTRUCT)lParam); *pResult = TRUE; \
                      return TRUE;)                                                     \
    }                                                                                   \
    ,
// HBRUSH CtlColor(CDC*, UINT nCtlColor); a null brush leaves it to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                                   \
    {                                                                                              \
        WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0,                                                    \
            AFX_THUNK(AFX_CTLCOLOR* pCtl_ = (AFX_CTLCOLOR*)lParam;                                 \
                      HBRUSH hbr_ = pThis->CtlColor(CDC::FromHandle(pCtl_->hDC), pCtl_->nCtlType); \
                      if (!hbr_) return FALSE; *pResult = (LRESULT)hbr_; return TRUE;)             \
    }                                                                                              \
    ,
// void HScroll(UINT nSBCode, UINT nPos) / VScroll
#define ON_WM_HSCROLL_REFLECT()                                                          \
    {                                                                                    \
        WM_REFLECT_BASE + WM_HSCROLL, 0, 0, 0,                                           \
            AFX_THUNK(pThis->HScroll((UINT)LOWORD(wParam), (UINT)(short)HIWORD(wParam)); \
                      return TRUE;)                                                      \
    }                                                                                    \
    ,
#define ON_WM_VSCROLL_REFLECT()                                                          \
    {                                                                                    \
        WM_REFLECT_BASE + WM_VSCROLL, 0, 0, 0,                                           \
            AFX_THUNK(pThis->VScroll((UINT)LOWORD(wParam), (UINT)(short)HIWORD(wParam)); \
                      return TRUE;)                                                      \
    }                                                                                    \
    ,
