// GDI wrappers. Each object owns the handle it created and deletes it in its
// destructor; FromHandle gives a temporary wrapper of a foreign handle that
// owns nothing and lives until the thread's message loop idles.
#pragma once

class CWnd;
class CBitmap;

class CGdiObject {
public:
    HGDIOBJ m_hObject;

    CGdiObject() : m_hObject(nullptr) {}
    virtual ~CGdiObject() { DeleteObject(); }

    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    static CGdiObject* FromHandle(HGDIOBJ hObject);

    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    // Stock and system objects are shared: the wrapper never deletes them.
    BOOL CreateStockObject(int nIndex);
    int GetObject(int nCount, LPVOID lpObject) const {
        return ::GetObjectA(m_hObject, nCount, lpObject);
    }
    UINT GetObjectType() const { return (UINT)::GetObjectType(m_hObject); }

protected:
    BOOL AttachShared(HGDIOBJ hObject);

private:
    bool m_bShared = false;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
};

class CPen : public CGdiObject {
public:
    CPen() {}
    CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
    static CPen* FromHandle(HPEN hPen);
    operator HPEN() const { return (HPEN)m_hObject; }
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
        return Attach(::CreatePen(nPenStyle, nWidth, crColor));
    }
    BOOL CreatePenIndirect(LPLOGPEN lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }
    int GetLogPen(LOGPEN* pLogPen) const { return GetObject(sizeof(LOGPEN), pLogPen); }
};

class CBrush : public CGdiObject {
public:
    CBrush() {}
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    CBrush(int nIndex, COLORREF crColor) { CreateHatchBrush(nIndex, crColor); }
    explicit CBrush(CBitmap* pBitmap) { CreatePatternBrush(pBitmap); }
    static CBrush* FromHandle(HBRUSH hBrush);
    operator HBRUSH() const { return (HBRUSH)m_hObject; }
    BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
    BOOL CreateHatchBrush(int nIndex, COLORREF crColor) {
        return Attach(::CreateHatchBrush(nIndex, crColor));
    }
    BOOL CreatePatternBrush(CBitmap* pBitmap);
    BOOL CreateSysColorBrush(int nIndex) { return AttachShared(::GetSysColorBrush(nIndex)); }
    BOOL CreateBrushIndirect(const LOGBRUSH* lpLogBrush) {
        return Attach(::CreateBrushIndirect(lpLogBrush));
    }
    int GetLogBrush(LOGBRUSH* pLogBrush) const { return GetObject(sizeof(LOGBRUSH), pLogBrush); }
};

class CFont : public CGdiObject {
public:
    static CFont* FromHandle(HFONT hFont);
    operator HFONT() const { return (HFONT)m_hObject; }
    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont) {
        return Attach(::CreateFontIndirectA(lpLogFont));
    }
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                    BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                    BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily,
                    LPCTSTR lpszFacename) {
        return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic,
                                    bUnderline, cStrikeOut, nCharSet, nOutPrecision, nClipPrecision,
                                    nQuality, nPitchAndFamily, lpszFacename));
    }
    // nPointSize in tenths of a point, converted through pDC (the screen
    // when null).
    BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC = nullptr);
    int GetLogFont(LOGFONTA* pLogFont) const { return GetObject(sizeof(LOGFONTA), pLogFont); }
};

class CBitmap : public CGdiObject {
public:
    static CBitmap* FromHandle(HBITMAP hBitmap);
    operator HBITMAP() const { return (HBITMAP)m_hObject; }
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEA(nIDResource)); }
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits) {
        return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
    }
    BOOL CreateBitmapIndirect(LPBITMAP lpBitmap) {
        return Attach(::CreateBitmapIndirect(lpBitmap));
    }
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    BOOL CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight) {
        return CreateCompatibleBitmap(pDC, nWidth, nHeight);
    }
    int GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }
    DWORD SetBitmapBits(DWORD dwCount, const void* lpBits) {
        return (DWORD)::SetBitmapBits((HBITMAP)m_hObject, dwCount, lpBits);
    }
    DWORD GetBitmapBits(DWORD dwCount, LPVOID lpBits) const {
        return (DWORD)::GetBitmapBits((HBITMAP)m_hObject, dwCount, lpBits);
    }
};

class CRgn : public CGdiObject {
public:
    static CRgn* FromHandle(HRGN hRgn);
    operator HRGN() const { return (HRGN)m_hObject; }
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2) {
        return Attach(::CreateRectRgn(x1, y1, x2, y2));
    }
    BOOL CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
    BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2) {
        return Attach(::CreateEllipticRgn(x1, y1, x2, y2));
    }
    BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3) {
        return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
    }
    BOOL CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode) {
        return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode));
    }
    int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode) {
        return ::CombineRgn((HRGN)m_hObject, (HRGN)pRgn1->m_hObject,
                            pRgn2 ? (HRGN)pRgn2->m_hObject : nullptr, nCombineMode);
    }
    int CopyRgn(const CRgn* pRgnSrc) {
        return ::CombineRgn((HRGN)m_hObject, (HRGN)pRgnSrc->m_hObject, nullptr, RGN_COPY);
    }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion((HRGN)m_hObject, x, y); }
    BOOL PtInRegion(POINT point) const { return PtInRegion(point.x, point.y); }
    int GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox((HRGN)m_hObject, lpRect); }
    void SetRectRgn(int x1, int y1, int x2, int y2) {
        ::SetRectRgn((HRGN)m_hObject, x1, y1, x2, y2);
    }
    int OffsetRgn(int x, int y) { return ::OffsetRgn((HRGN)m_hObject, x, y); }
};

class CDC {
public:
    HDC m_hDC;

    CDC() : m_hDC(nullptr) {}
    virtual ~CDC();

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    static CDC* FromHandle(HDC hDC);
    BOOL Attach(HDC hDC);
    HDC Detach();
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput,
                  const void* lpInitData);
    BOOL DeleteDC();
    CWnd* GetWindow() const;

    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }

    // Selection: each returns the object it replaced.
    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    CFont* SelectObject(CFont* pFont);
    CBitmap* SelectObject(CBitmap* pBitmap);
    int SelectObject(CRgn* pRgn);
    CGdiObject* SelectObject(CGdiObject* pObject);
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    CGdiObject* SelectStockObject(int nIndex);
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;

    // Attributes
    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    int SetROP2(int nDrawMode) { return ::SetROP2(m_hDC, nDrawMode); }
    int SetStretchBltMode(int nStretchMode) { return ::SetStretchBltMode(m_hDC, nStretchMode); }
    int GetStretchBltMode() const { return ::GetStretchBltMode(m_hDC); }
    UINT SetTextAlign(UINT nFlags) { return ::SetTextAlign(m_hDC, nFlags); }
    int SetMapMode(int nMapMode) { return ::SetMapMode(m_hDC, nMapMode); }
    CPoint SetViewportOrg(int x, int y);
    CPoint SetWindowOrg(int x, int y);
    CPoint GetViewportOrg() const;
    CPoint SetBrushOrg(int x, int y);
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }

    // Clipping
    int IntersectClipRect(int x1, int y1, int x2, int y2) {
        return ::IntersectClipRect(m_hDC, x1, y1, x2, y2);
    }
    int IntersectClipRect(LPCRECT lpRect) {
        return IntersectClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }
    int ExcludeClipRect(int x1, int y1, int x2, int y2) {
        return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2);
    }
    int ExcludeClipRect(LPCRECT lpRect) {
        return ExcludeClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }
    int SelectClipRgn(CRgn* pRgn) {
        return ::SelectClipRgn(m_hDC, pRgn ? (HRGN)pRgn->m_hObject : nullptr);
    }
    int SelectClipRgn(CRgn* pRgn, int nMode) {
        return ::ExtSelectClipRgn(m_hDC, pRgn ? (HRGN)pRgn->m_hObject : nullptr, nMode);
    }
    int GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }

    // Lines and shapes
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    BOOL Polyline(const POINT* lpPoints, int nCount) { return ::Polyline(m_hDC, lpPoints, nCount); }
    BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
    BOOL Rectangle(LPCRECT lpRect) {
        return Rectangle(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }
    BOOL RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
        return ::RoundRect(m_hDC, x1, y1, x2, y2, x3, y3);
    }
    BOOL RoundRect(LPCRECT lpRect, POINT point) {
        return RoundRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom, point.x,
                         point.y);
    }
    BOOL Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
    BOOL Ellipse(LPCRECT lpRect) {
        return Ellipse(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }
    BOOL Polygon(const POINT* lpPoints, int nCount) { return ::Polygon(m_hDC, lpPoints, nCount); }
    BOOL Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
        return ::Pie(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
    }
    BOOL Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
        return ::Arc(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
    }

    // Fills
    void FillRect(LPCRECT lpRect, CBrush* pBrush) {
        ::FillRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject);
    }
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
    void FrameRect(LPCRECT lpRect, CBrush* pBrush) {
        ::FrameRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject);
    }
    void InvertRect(LPCRECT lpRect) { ::InvertRect(m_hDC, lpRect); }
    void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
    BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) {
        return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags);
    }
    BOOL DrawFocusRect(LPCRECT lpRect) { return ::DrawFocusRect(m_hDC, lpRect); }
    BOOL PaintRgn(CRgn* pRgn) { return ::PaintRgn(m_hDC, (HRGN)pRgn->m_hObject); }
    BOOL FillRgn(CRgn* pRgn, CBrush* pBrush) {
        return ::FillRgn(m_hDC, (HRGN)pRgn->m_hObject, (HBRUSH)pBrush->m_hObject);
    }
    BOOL FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight) {
        return ::FrameRgn(m_hDC, (HRGN)pRgn->m_hObject, (HBRUSH)pBrush->m_hObject, nWidth, nHeight);
    }
    // msimg32's GradientFill.
    BOOL GradientFill(TRIVERTEX* pVertices, ULONG nVertices, void* pMesh, ULONG nMeshElements,
                      DWORD dwMode);
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

    // Pixels and blits
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF GetPixel(POINT point) const { return GetPixel(point.x, point.y); }
    COLORREF SetPixel(int x, int y, COLORREF crColor) { return ::SetPixel(m_hDC, x, y, crColor); }
    COLORREF SetPixel(POINT point, COLORREF crColor) { return SetPixel(point.x, point.y, crColor); }
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                DWORD dwRop) {
        return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc,
                        dwRop);
    }
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, DWORD dwRop) {
        return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc,
                            ySrc, nSrcWidth, nSrcHeight, dwRop);
    }
    BOOL MaskBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                 CBitmap& maskBitmap, int xMask, int yMask, DWORD dwRop) {
        return ::MaskBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc,
                         (HBITMAP)maskBitmap.m_hObject, xMask, yMask, dwRop);
    }
    BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop) {
        return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop);
    }

    // Text
    int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) {
        return ::DrawTextA(m_hDC, lpszString, nCount, lpRect, nFormat);
    }
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat);
    BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount) {
        return ::TextOutA(m_hDC, x, y, lpszString, nCount);
    }
    BOOL TextOut(int x, int y, const CString& str);
    BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount,
                    LPINT lpDxWidths) {
        return ::ExtTextOutA(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
    }
    CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
    CSize GetTextExtent(const CString& str) const;
    BOOL GetTextMetrics(LPTEXTMETRICA lpMetrics) const {
        return ::GetTextMetricsA(m_hDC, lpMetrics);
    }
    int GetTextFace(int nCount, LPTSTR lpszFacename) const {
        return ::GetTextFaceA(m_hDC, nCount, lpszFacename);
    }

private:
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
};

// BeginPaint/EndPaint around a WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd;
};

// GetDC/ReleaseDC of a window's client area.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};

// GetWindowDC/ReleaseDC of a whole window.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd);
    ~CWindowDC() override;

protected:
    HWND m_hWnd;
};
