// CWnd: the handle map, creation hook, window procedure, message dispatch
// and reflection, subclassing and the end of a window's life.
#include "afximpl.h"

AFX_THREAD_STATE::AFX_THREAD_STATE()
    : tempWnds(&CWnd::m_hWnd),
      tempDCs(&CDC::m_hDC),
      tempGdi(&CGdiObject::m_hObject),
      tempPens(&CPen::m_hObject),
      tempBrushes(&CBrush::m_hObject),
      tempFonts(&CFont::m_hObject),
      tempBitmaps(&CBitmap::m_hObject),
      tempRgns(&CRgn::m_hObject),
      tempMenus(&CMenu::m_hMenu) {}

AFX_THREAD_STATE* AfxGetThreadState() {
    static thread_local AFX_THREAD_STATE state;
    return &state;
}

// --- CCmdTarget ---------------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

BOOL CCmdTarget::DispatchMsg(UINT nMessage, UINT nCode, UINT nID, UINT nCallMsg, WPARAM wParam,
                             LPARAM lParam, LRESULT* pResult) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage != nMessage || e->nCode != nCode) continue;
            if (nID < e->nID || nID > e->nLastID) continue;
            if (e->pfn(this, nCallMsg, wParam, lParam, pResult)) return TRUE;
        }
    }
    return FALSE;
}

// --- Handle map ---------------------------------------------------------------

CWnd::CWnd()
    : m_hWnd(nullptr), m_pfnSuper(nullptr), m_nDispatchDepth(0), m_bPostNcDestroyDue(FALSE) {}

CWnd::~CWnd() {
    if (!m_hWnd) return;
    AFX_THREAD_STATE* st = AfxGetThreadState();
    auto it = st->permanentWnds.find(m_hWnd);
    if (it != st->permanentWnds.end() && it->second == this) {
        // The object goes first: give the window back its own procedure so
        // that its last messages do not reach a half-destroyed object.
        HWND hWnd = m_hWnd;
        if (m_pfnSuper && (WNDPROC)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == (WNDPROC)AfxWndProc) {
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
        }
        st->permanentWnds.erase(it);
        m_hWnd = nullptr;
        ::DestroyWindow(hWnd);
    }
    for (AFX_THREAD_STATE::DispatchFrame* f = st->pFrames; f; f = f->pPrev)
        if (f->pWnd == this) f->bAlive = false;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd) return nullptr;
    AFX_THREAD_STATE* st = AfxGetThreadState();
    auto it = st->permanentWnds.find(hWnd);
    return it == st->permanentWnds.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd) return nullptr;
    if (CWnd* p = FromHandlePermanent(hWnd)) return p;
    return AfxGetThreadState()->tempWnds.GetOrCreate(hWnd);
}

void CWnd::DeleteTempMap() {
    AFX_THREAD_STATE* st = AfxGetThreadState();
    st->tempWnds.DeleteAll();
    st->tempDCs.DeleteAll();
    st->tempGdi.DeleteAll();
    st->tempPens.DeleteAll();
    st->tempBrushes.DeleteAll();
    st->tempFonts.DeleteAll();
    st->tempBitmaps.DeleteAll();
    st->tempRgns.DeleteAll();
    st->tempMenus.DeleteAll();
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (!hWndNew || m_hWnd) return FALSE;
    AFX_THREAD_STATE* st = AfxGetThreadState();
    if (st->permanentWnds.count(hWndNew)) return FALSE;  // already has an object
    st->tempWnds.Remove(hWndNew);
    st->permanentWnds[hWndNew] = this;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd) {
        AFX_THREAD_STATE* st = AfxGetThreadState();
        auto it = st->permanentWnds.find(hWnd);
        if (it != st->permanentWnds.end() && it->second == this) st->permanentWnds.erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

void CWnd::AttachAndSubclass(HWND hWnd) {
    Attach(hWnd);
    PreSubclassWindow();
    WNDPROC old = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    if (old != AfxWndProc) m_pfnSuper = old;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!::IsWindow(hWnd) || !Attach(hWnd)) return FALSE;
    PreSubclassWindow();
    WNDPROC old = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    if (old != AfxWndProc) m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND hWndControl = ::GetDlgItem(pParent->m_hWnd, (int)nID);
    return hWndControl ? SubclassWindow(hWndControl) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
        m_pfnSuper = nullptr;
    }
    return Detach();
}

// --- Creation -------------------------------------------------------------------

LPCTSTR AfxGetDefaultWndClass() {
    static const char kName[] = "ClassLibWnd";
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        HINSTANCE hInst = AfxGetInstanceHandle();
        if (!::GetClassInfoA(hInst, kName, &wc)) {
            wc = WNDCLASSA{};
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = ::DefWindowProcA;
            wc.hInstance = hInst;
            wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
            wc.lpszClassName = kName;
            ::RegisterClassA(&wc);
        }
        registered = true;
    }
    return kName;
}

LRESULT CALLBACK AfxCbtFilterHook(int nCode, WPARAM wParam, LPARAM lParam) {
    AFX_THREAD_STATE* st = AfxGetThreadState();
    if (nCode == HCBT_CREATEWND && st->pWndInit) {
        CWnd* pWnd = st->pWndInit;
        st->pWndInit = nullptr;  // only the window Create asked for
        pWnd->AttachAndSubclass((HWND)wParam);
    }
    return ::CallNextHookEx(st->hHookCbt, nCode, wParam, lParam);
}

namespace {
// Hooks window creation on this thread for the span of one Create call.
class CreationHook {
public:
    explicit CreationHook(CWnd* pWnd) : m_st(AfxGetThreadState()) {
        m_pOldInit = m_st->pWndInit;
        m_pOldCreating = m_st->pWndCreating;
        m_st->pWndInit = pWnd;
        m_st->pWndCreating = pWnd;
        if (!m_st->hHookCbt) {
            m_st->hHookCbt =
                ::SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
            m_bOwnsHook = true;
        }
    }
    ~CreationHook() {
        m_st->pWndInit = m_pOldInit;
        m_st->pWndCreating = m_pOldCreating;
        if (m_bOwnsHook) {
            ::UnhookWindowsHookEx(m_st->hHookCbt);
            m_st->hHookCbt = nullptr;
        }
    }

private:
    AFX_THREAD_STATE* m_st;
    CWnd* m_pOldInit;
    CWnd* m_pOldCreating;
    bool m_bOwnsHook = false;
};
}  // namespace

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass) cs.lpszClass = AfxGetDefaultWndClass();
    return TRUE;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
    if (m_hWnd) return FALSE;  // one window per object
    AfxInitCommonControls();
    CREATESTRUCT cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = (LONG)dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    HWND hWnd;
    {
        CreationHook hook(this);
        hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, (DWORD)cs.style, cs.x,
                                 cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                 cs.lpCreateParams);
    }
    // A refused WM_CREATE destroys the window: WM_NCDESTROY has already
    // detached the object and run PostNcDestroy, which may have deleted it.
    if (!hWnd) return FALSE;
    if (m_hWnd != hWnd) {
        // The hook did not see it (a creation under another hook): take it now.
        if (m_hWnd) Detach();
        SubclassWindow(hWnd);
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr, (HMENU)(UINT_PTR)nID, lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID,
                    pContext);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

// --- Window procedure -------------------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    AFX_THREAD_STATE* st = AfxGetThreadState();
    MSG oldMsg = st->lastMsg;
    st->lastMsg.hwnd = hWnd;
    st->lastMsg.message = message;
    st->lastMsg.wParam = wParam;
    st->lastMsg.lParam = lParam;
    AFX_THREAD_STATE::DispatchFrame frame = {pWnd, true, st->pFrames};
    st->pFrames = &frame;
    ++st->nWndProcDepth;
    ++pWnd->m_nDispatchDepth;

    LRESULT lResult = pWnd->WindowProc(message, wParam, lParam);
    if (frame.bAlive && message == WM_NCDESTROY) pWnd->FinishNcDestroy();

    --st->nWndProcDepth;
    st->pFrames = frame.pPrev;
    st->lastMsg = oldMsg;
    if (!frame.bAlive) return lResult;  // deleted by a handler: hands off
    if (--pWnd->m_nDispatchDepth == 0 && pWnd->m_bPostNcDestroyDue) {
        // The outermost dispatch of the dead window has returned: the object
        // may go now. Nothing touches it afterwards.
        pWnd->m_bPostNcDestroyDue = FALSE;
        pWnd->PostNcDestroy();
    }
    return lResult;
}

void CWnd::FinishNcDestroy() {
    if (!m_hWnd) return;
    HWND hWnd = m_hWnd;
    if (m_pfnSuper && (WNDPROC)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == (WNDPROC)AfxWndProc) {
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    }
    Detach();
    m_pfnSuper = nullptr;
    CWinThread* pThread = AfxGetThread();
    if (pThread && pThread->m_pMainWnd == this) {
        pThread->m_pMainWnd = nullptr;
        if (pThread->m_bRunning) ::PostQuitMessage(0);
    }
    m_bPostNcDestroyDue = TRUE;  // run by AfxCallWndProc when the dispatch unwinds
}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_hWnd) return 0;
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG& m = AfxGetThreadState()->lastMsg;
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT lResult = 0;
    BOOL bHandled = FALSE;
    if (message == WM_COMMAND) {
        bHandled = OnCommand(wParam, lParam);
        lResult = bHandled ? 1 : 0;
    } else if (message == WM_NOTIFY) {
        bHandled = OnNotify(wParam, lParam, &lResult);
    } else if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        bHandled = DispatchMsg(WM_CTLCOLOR, 0, 0, message, wParam, lParam, &lResult);
    } else {
        bHandled = DispatchMsg(message, 0, 0, message, wParam, lParam, &lResult);
        if (!bHandled && (message == WM_COMPAREITEM || message == WM_DELETEITEM)) {
            // Owner-drawn list and combo items: the control answers these.
            HWND hWndCtl = message == WM_COMPAREITEM ? ((COMPAREITEMSTRUCT*)lParam)->hwndItem
                                                     : ((DELETEITEMSTRUCT*)lParam)->hwndItem;
            bHandled = ReflectLastMsg(hWndCtl, &lResult);
        }
    }
    if (bHandled && pResult) *pResult = lResult;
    return bHandled;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = (HWND)lParam;
    UINT nCode = hWndCtrl ? HIWORD(wParam) : 0;  // menus and accelerators alike
    if (hWndCtrl && hWndCtrl != m_hWnd && ReflectLastMsg(hWndCtrl))
        return TRUE;  // the control took it
    if (DispatchMsg(WM_COMMAND, nCode, nID, WM_COMMAND, wParam, lParam, nullptr)) return TRUE;
    // What the main window leaves goes to the application (ID_HELP).
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
        return pApp->DispatchMsg(WM_COMMAND, nCode, nID, WM_COMMAND, wParam, lParam, nullptr);
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    NMHDR* pNMHDR = (NMHDR*)lParam;
    if (!pNMHDR) return FALSE;
    // Handed back to the sender first; never to this window itself, whose
    // reflection entries are meant for its own parent's copy.
    if (pNMHDR->hwndFrom && pNMHDR->hwndFrom != m_hWnd && ReflectLastMsg(pNMHDR->hwndFrom, pResult))
        return TRUE;
    return DispatchMsg(WM_NOTIFY, pNMHDR->code, (UINT)pNMHDR->idFrom, WM_NOTIFY, wParam, lParam,
                       pResult);
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
    CWnd* pChild = FromHandlePermanent(hWndChild);
    if (!pChild) return FALSE;
    const MSG& m = AfxGetThreadState()->lastMsg;
    LRESULT lResult = 0;
    if (!pChild->OnChildNotify(m.message, m.wParam, m.lParam, &lResult)) return FALSE;
    if (pResult) *pResult = lResult;
    return TRUE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
        case WM_COMMAND:
            return DispatchMsg(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0,
                               WM_REFLECT_BASE + WM_COMMAND, wParam, lParam, pResult);
        case WM_NOTIFY: {
            NMHDR* pNMHDR = (NMHDR*)lParam;
            return DispatchMsg(WM_REFLECT_BASE + WM_NOTIFY, pNMHDR->code, 0,
                               WM_REFLECT_BASE + WM_NOTIFY, wParam, lParam, pResult);
        }
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: {
            AFX_CTLCOLOR ctl = {m_hWnd, (HDC)wParam, message - WM_CTLCOLORMSGBOX};
            return DispatchMsg(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, WM_REFLECT_BASE + WM_CTLCOLOR,
                               0, (LPARAM)&ctl, pResult);
        }
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_COMPAREITEM:
        case WM_DELETEITEM:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_PARENTNOTIFY:
            return DispatchMsg(WM_REFLECT_BASE + message, 0, 0, WM_REFLECT_BASE + message, wParam,
                               lParam, pResult);
        default: return FALSE;
    }
}

// --- Default handlers ---------------------------------------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_CTLCOLOR()
ON_WM_DRAWITEM()
ON_WM_MEASUREITEM()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
END_MESSAGE_MAP()

int CWnd::OnCreate(LPCREATESTRUCT) { return (int)Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
void CWnd::OnClose() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return (BOOL)Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseHover(UINT, CPoint) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return (BOOL)Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
UINT CWnd::OnGetDlgCode() { return (UINT)Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnCancelMode() { Default(); }

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT) {
    LRESULT lResult = 0;
    // WM_CTLCOLORDLG names the dialog itself: nothing to hand back.
    if (pWnd && pWnd->m_hWnd != m_hWnd && ReflectLastMsg(pWnd->m_hWnd, &lResult))
        return (HBRUSH)lResult;
    return (HBRUSH)Default();
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (lpDrawItemStruct->CtlType != ODT_MENU && ReflectLastMsg(lpDrawItemStruct->hwndItem)) return;
    Default();
}

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
    if (lpMeasureItemStruct->CtlType != ODT_MENU) {
        HWND hWndChild = ::GetDlgItem(m_hWnd, (int)lpMeasureItemStruct->CtlID);
        if (!hWndChild) {
            // Owner-drawn lists ask while they are still being created.
            CWnd* pCreating = AfxGetThreadState()->pWndCreating;
            if (pCreating && pCreating->m_hWnd && ::GetParent(pCreating->m_hWnd) == m_hWnd &&
                (UINT)::GetDlgCtrlID(pCreating->m_hWnd) == lpMeasureItemStruct->CtlID)
                hWndChild = pCreating->m_hWnd;
        }
        if (hWndChild && ReflectLastMsg(hWndChild)) return;
    }
    Default();
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar* pScrollBar) {
    if (pScrollBar && ReflectLastMsg(((CWnd*)pScrollBar)->m_hWnd)) return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar* pScrollBar) {
    if (pScrollBar && ReflectLastMsg(((CWnd*)pScrollBar)->m_hWnd)) return;
    Default();
}

// --- PreTranslateMessage ------------------------------------------------------

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
    for (HWND hWnd = pMsg->hwnd; hWnd && hWnd != hWndStop;) {
        HWND hWndNext = ::GetParent(hWnd);  // read first: the call may destroy hWnd
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg)) return TRUE;
        hWnd = hWndNext;
    }
    return FALSE;
}

// --- Data exchange hooks (CDialog fills them in) -----------------------------------

void CWnd::DoDataExchange(CDataExchange*) {}

// --- Small helpers ----------------------------------------------------------

BOOL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD dwStyle = (DWORD)::GetWindowLongPtrA(hWnd, GWL_STYLE);
    DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNew) return FALSE;
    ::SetWindowLongPtrA(hWnd, GWL_STYLE, (LONG_PTR)dwNew);
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD dwStyle = (DWORD)::GetWindowLongPtrA(hWnd, GWL_EXSTYLE);
    DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNew) return FALSE;
    ::SetWindowLongPtrA(hWnd, GWL_EXSTYLE, (LONG_PTR)dwNew);
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

void CWnd::GetWindowText(CString& rString) const {
    int nLen = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, rString.GetBufferSetLength(nLen), nLen + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString.Empty();
    HWND hWnd = ::GetDlgItem(m_hWnd, nID);
    if (hWnd) FromHandle(hWnd)->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    ::SendMessageA(m_hWnd, WM_SETFONT, (WPARAM)(pFont ? pFont->m_hObject : nullptr), bRedraw);
}

CFont* CWnd::GetFont() const {
    return CFont::FromHandle((HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
    ::ScreenToClient(m_hWnd, (LPPOINT)lpRect);
    ::ScreenToClient(m_hWnd, ((LPPOINT)lpRect) + 1);
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
    ::ClientToScreen(m_hWnd, (LPPOINT)lpRect);
    ::ClientToScreen(m_hWnd, ((LPPOINT)lpRect) + 1);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    // The z-order constants (&wndTop, &wndTopMost...) are passed as handles.
    HWND hWndAfter = pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr;
    return ::SetWindowPos(m_hWnd, hWndAfter, x, y, cx, cy, nFlags);
}

CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }

int CWnd::ReleaseDC(CDC* pDC) {
    if (!pDC) return 0;
    HDC hDC = pDC->m_hDC;
    AfxGetThreadState()->tempDCs.Remove(hDC);
    return ::ReleaseDC(m_hWnd, hDC);
}

CDC* CWnd::BeginPaint(LPPAINTSTRUCT lpPaint) {
    return CDC::FromHandle(::BeginPaint(m_hWnd, lpPaint));
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) {
    for (HWND hChild = ::GetTopWindow(m_hWnd); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        ::SendMessageA(hChild, message, wParam, lParam);
        if (bDeep && ::GetTopWindow(hChild)) {
            CWnd child;
            child.m_hWnd = hChild;
            child.SendMessageToDescendants(message, wParam, lParam, bDeep);
            child.m_hWnd = nullptr;
        }
    }
}

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu ? pMenu->m_hMenu : nullptr); }
CMenu* CWnd::GetSystemMenu(BOOL bRevert) const {
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}
