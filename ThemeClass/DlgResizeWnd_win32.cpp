#include "ThemeClass/DlgResizeWnd.h"

#include "ThemeClass/ThemeDialog.h"

namespace {
skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }
}  // namespace

BOOL ThemeSetLayeredAttributes(HWND hWnd, COLORREF clrKey, BYTE byAlpha, DWORD dwFlags) {
    using Fn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    HMODULE user32 = ::GetModuleHandleA("USER32.DLL");
    if (!user32) return FALSE;
    Fn fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetLayeredWindowAttributes")));
    if (!fn) return FALSE;
    const LONG_PTR ex = ::GetWindowLongPtrA(hWnd, GWL_EXSTYLE);
    ::SetWindowLongPtrA(hWnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    fn(hWnd, clrKey, byAlpha, dwFlags);
    return TRUE;
}

BEGIN_MESSAGE_MAP(CDlgResizeWnd, CWnd)
ON_WM_PAINT()
ON_WM_CREATE()
END_MESSAGE_MAP()

CDlgResizeWnd::CDlgResizeWnd() : m_ptStart(0, 0), m_nZone(0), m_nBorder(7) {}

CDlgResizeWnd::~CDlgResizeWnd() {}

BOOL CDlgResizeWnd::CreateFor(CWnd* pDlg) {
    return CreateEx(0, nullptr, nullptr, 0x10000, CRect(0, 0, 10, 10), pDlg, kId);
}

BOOL CDlgResizeWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CWnd::PreCreateWindow(cs)) return FALSE;
    // An owned popup: never a child, so no id in the menu field.
    cs.style = (cs.style & ~WS_CHILD) | WS_POPUP;
    cs.hMenu = nullptr;
    // Shown while the dialog keeps the activation.
    cs.dwExStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    return TRUE;
}

int CDlgResizeWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
    SetColorKey(0xFF00FF);
    return 0;
}

BOOL CDlgResizeWnd::SetColorKey(COLORREF clrKey) {
    return ThemeSetLayeredAttributes(m_hWnd, clrKey, 0, LWA_COLORKEY);
}

int CDlgResizeWnd::HitTestZone(CWnd* pDlg, CPoint pt) const {
    CRect rc;
    pDlg->GetWindowRect(&rc);
    return skin::HitTestZone(ToSkin(rc), pt.x, pt.y, m_nBorder);
}

CRect CDlgResizeWnd::TrackResize(CThemeDialog* pDlg, CPoint pt) const {
    CRect rc;
    pDlg->GetWindowRect(&rc);
    const skin::Rect r = skin::TrackResize(ToSkin(rc), m_nZone, pt.x - m_ptStart.x,
                                           pt.y - m_ptStart.y, pDlg->GetSizeLimits());
    return CRect(r.left, r.top, r.right, r.bottom);
}

void CDlgResizeWnd::BeginResize(CThemeDialog* pDlg, CPoint pt) {
    m_ptStart = pt;
    m_nZone = HitTestZone(pDlg, pt);
    ShowWindow(SW_SHOWNA);
    FitToWindow(pDlg);
}

void CDlgResizeWnd::MoveResize(CThemeDialog* pDlg, CPoint pt) {
    const CRect rc = TrackResize(pDlg, pt);
    ::SetWindowPos(m_hWnd, HWND_TOP, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOACTIVATE);
    Invalidate(TRUE);
}

CRect CDlgResizeWnd::EndResize(CThemeDialog* pDlg, CPoint pt) {
    const CRect rc = TrackResize(pDlg, pt);
    ShowWindow(SW_HIDE);
    m_nZone = 0;
    return rc;
}

void CDlgResizeWnd::FitToWindow(CWnd* pWnd) {
    CRect rc;
    pWnd->GetWindowRect(&rc);
    ::SetWindowPos(m_hWnd, HWND_TOP, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOACTIVATE);
    Invalidate(TRUE);
}

void CDlgResizeWnd::FitToParent() {
    if (CWnd* p = GetParent()) FitToWindow(p);
}

void CDlgResizeWnd::DrawRectLines(const CRect& rc, COLORREF clrLeft, COLORREF clrTop,
                                  COLORREF clrRight, COLORREF clrBottom, CDC* pDC, int nPenStyle) {
    CPen left(nPenStyle, 1, clrLeft), top(nPenStyle, 1, clrTop), right(nPenStyle, 1, clrRight),
        bottom(nPenStyle, 1, clrBottom);
    CPen* old = pDC->SelectObject(&left);
    pDC->MoveTo(rc.left, rc.bottom);
    pDC->LineTo(rc.left, rc.top);
    pDC->SelectObject(&top);
    pDC->LineTo(rc.right, rc.top);
    pDC->SelectObject(&right);
    pDC->LineTo(rc.right, rc.bottom);
    pDC->SelectObject(&bottom);
    pDC->LineTo(rc.left, rc.bottom);
    pDC->SelectObject(old);
}

void CDlgResizeWnd::DrawFrame(CDC* pDC, const CRect& rcClient) {
    CRect f(0, 0, rcClient.right - 1, rcClient.bottom - 1);
    pDC->FillSolidRect(&f, 0xFF00FF);
    DrawRectLines(f, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, pDC, PS_SOLID);
    const int oldBk = pDC->SetBkMode(TRANSPARENT);
    DrawRectLines(f, 0x323232, 0x323232, 0x323232, 0x323232, pDC, PS_DOT);
    pDC->SetBkMode(oldBk);
}

void CDlgResizeWnd::OnPaint() {
    PAINTSTRUCT ps;
    CDC* pDC = BeginPaint(&ps);
    CRect rc;
    GetClientRect(&rc);
    DrawFrame(pDC, rc);
    EndPaint(&ps);
}
