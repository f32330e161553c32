// CView and the making of views by class.
#include "classlib/afxview.h"

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
        if (p == pBaseClass) return TRUE;
    return FALSE;
}

const CRuntimeClass CView::classCView = {"CView", (int)sizeof(CView), nullptr, nullptr};

const CRuntimeClass* CView::GetRuntimeClass() const { return &classCView; }

CView::CView() {}

CView::~CView() {}

void CView::PostNcDestroy() { delete this; }

void CView::PreSubclassWindow() {
    if (m_pbWindowMade) *m_pbWindowMade = TRUE;
    m_pbWindowMade = nullptr;
    CWnd::PreSubclassWindow();
}

namespace {
const char kViewClass[] = "ClassLibView";

LPCTSTR ViewWndClass() {
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(hInst, kViewClass, &wc)) {
        wc = WNDCLASSA{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInst;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = kViewClass;
        ::RegisterClassA(&wc);
    }
    return kViewClass;
}
}  // namespace

BOOL CView::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                   CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    if (!lpszClassName) lpszClassName = ViewWndClass();
    return CWnd::Create(lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID,
                        pContext);
}

CView* AfxCreateView(CWnd* pParent, CCreateContext* pContext, UINT nID) {
    if (!pParent || !pParent->m_hWnd || !pContext || !pContext->m_pNewViewClass) return nullptr;
    if (!pContext->m_pNewViewClass->IsDerivedFrom(&CView::classCView)) return nullptr;
    CView* pView = static_cast<CView*>(pContext->m_pNewViewClass->CreateObject());
    if (!pView) return nullptr;
    // Whether the window came to exist: once it did, its end deleted the
    // object; before that, the object is still ours to delete.
    BOOL bWindowMade = FALSE;
    pView->m_pbWindowMade = &bWindowMade;
    const BOOL bOk = pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0),
                                   pParent, nID, pContext);
    if (bOk) {
        pView->m_pbWindowMade = nullptr;
        return pView;
    }
    if (!bWindowMade) delete pView;
    return nullptr;
}
