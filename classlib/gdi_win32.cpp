// GDI wrappers: device contexts and the objects selected into them.
#include "afximpl.h"

// --- Objects ------------------------------------------------------------------

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h) {
    return AfxGetThreadState()->tempGdi.GetOrCreate(h);
}
CPen* CPen::FromHandle(HPEN h) { return AfxGetThreadState()->tempPens.GetOrCreate(h); }
CBrush* CBrush::FromHandle(HBRUSH h) { return AfxGetThreadState()->tempBrushes.GetOrCreate(h); }
CFont* CFont::FromHandle(HFONT h) { return AfxGetThreadState()->tempFonts.GetOrCreate(h); }
CBitmap* CBitmap::FromHandle(HBITMAP h) { return AfxGetThreadState()->tempBitmaps.GetOrCreate(h); }
CRgn* CRgn::FromHandle(HRGN h) { return AfxGetThreadState()->tempRgns.GetOrCreate(h); }

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (!hObject) return FALSE;
    DeleteObject();  // an object owns one handle at a time
    m_hObject = hObject;
    m_bShared = false;
    return TRUE;
}

BOOL CGdiObject::AttachShared(HGDIOBJ hObject) {
    if (!Attach(hObject)) return FALSE;
    m_bShared = true;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    m_bShared = false;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    bool bShared = m_bShared;
    HGDIOBJ h = Detach();
    return bShared ? TRUE : ::DeleteObject(h);
}

BOOL CGdiObject::CreateStockObject(int nIndex) { return AttachShared(::GetStockObject(nIndex)); }

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
    return Attach(::CreatePatternBrush((HBITMAP)pBitmap->m_hObject));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC) {
    LOGFONTA lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
    HDC hDC = pDC ? pDC->m_hDC : ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(hDC, LOGPIXELSY);
    if (!pDC) ::ReleaseDC(nullptr, hDC);
    // Tenths of a point to a character height in pixels.
    lf.lfHeight = -MulDiv(nPointSize, dpi, 720);
    return CreateFontIndirect(&lf);
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName) {
    return Attach(::LoadBitmapA(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

// --- Device contexts --------------------------------------------------------

CDC::~CDC() {
    if (m_hDC) ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC hDC) { return AfxGetThreadState()->tempDCs.GetOrCreate(hDC); }

BOOL CDC::Attach(HDC hDC) {
    if (!hDC || m_hDC) return FALSE;
    m_hDC = hDC;
    return TRUE;
}

HDC CDC::Detach() {
    HDC h = m_hDC;
    m_hDC = nullptr;
    return h;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    if (m_hDC) return FALSE;
    return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr));
}

BOOL CDC::CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput,
                   const void* lpInitData) {
    if (m_hDC) return FALSE;
    return Attach(
        ::CreateDCA(lpszDriverName, lpszDeviceName, lpszOutput, (const DEVMODEA*)lpInitData));
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    return ::DeleteDC(Detach());
}

CWnd* CDC::GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }

CPen* CDC::SelectObject(CPen* pPen) {
    return CPen::FromHandle((HPEN)::SelectObject(m_hDC, pPen->m_hObject));
}
CBrush* CDC::SelectObject(CBrush* pBrush) {
    return CBrush::FromHandle((HBRUSH)::SelectObject(m_hDC, pBrush->m_hObject));
}
CFont* CDC::SelectObject(CFont* pFont) {
    return CFont::FromHandle((HFONT)::SelectObject(m_hDC, pFont->m_hObject));
}
CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    return CBitmap::FromHandle((HBITMAP)::SelectObject(m_hDC, pBitmap->m_hObject));
}
int CDC::SelectObject(CRgn* pRgn) { return (int)(INT_PTR)::SelectObject(m_hDC, pRgn->m_hObject); }
CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->m_hObject));
}
CGdiObject* CDC::SelectStockObject(int nIndex) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex)));
}

CPen* CDC::GetCurrentPen() const {
    return CPen::FromHandle((HPEN)::GetCurrentObject(m_hDC, OBJ_PEN));
}
CBrush* CDC::GetCurrentBrush() const {
    return CBrush::FromHandle((HBRUSH)::GetCurrentObject(m_hDC, OBJ_BRUSH));
}
CFont* CDC::GetCurrentFont() const {
    return CFont::FromHandle((HFONT)::GetCurrentObject(m_hDC, OBJ_FONT));
}
CBitmap* CDC::GetCurrentBitmap() const {
    return CBitmap::FromHandle((HBITMAP)::GetCurrentObject(m_hDC, OBJ_BITMAP));
}

CPoint CDC::SetViewportOrg(int x, int y) {
    POINT pt = {0, 0};
    ::SetViewportOrgEx(m_hDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::SetWindowOrg(int x, int y) {
    POINT pt = {0, 0};
    ::SetWindowOrgEx(m_hDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::GetViewportOrg() const {
    POINT pt = {0, 0};
    ::GetViewportOrgEx(m_hDC, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::SetBrushOrg(int x, int y) {
    POINT pt = {0, 0};
    ::SetBrushOrgEx(m_hDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::MoveTo(int x, int y) {
    POINT pt = {0, 0};
    ::MoveToEx(m_hDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    // ExtTextOut with an opaque rectangle fills without a brush; the
    // background colour is put back.
    COLORREF old = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
    RECT rc = {x, y, x + cx, y + cy};
    FillSolidRect(&rc, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
               lpRect->bottom - lpRect->top, clrTopLeft, clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

BOOL CDC::GradientFill(TRIVERTEX* pVertices, ULONG nVertices, void* pMesh, ULONG nMeshElements,
                       DWORD dwMode) {
    return ::GradientFill(m_hDC, pVertices, nVertices, pMesh, nMeshElements, dwMode);
}

int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat) {
    return ::DrawTextA(m_hDC, str, str.GetLength(), lpRect, nFormat);
}

BOOL CDC::TextOut(int x, int y, const CString& str) {
    return ::TextOutA(m_hDC, x, y, str, str.GetLength());
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const {
    SIZE sz = {0, 0};
    ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &sz);
    return CSize(sz.cx, sz.cy);
}

CSize CDC::GetTextExtent(const CString& str) const { return GetTextExtent(str, str.GetLength()); }

// --- Window DCs -------------------------------------------------------------------

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { Attach(::BeginPaint(m_hWnd, &m_ps)); }

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    Attach(::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }
