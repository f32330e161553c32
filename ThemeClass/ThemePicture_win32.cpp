#include "ThemeClass/ThemePicture.h"

#include <ole2.h>
#include <olectl.h>
#include <process.h>

#include <cstring>
#include <string>

#include "ThemeClass/ThemeDraw.h"
#include "ThemeClass/ThemeGif.h"
#include "ThemeClass/ThemeLayout.h"
#include "ThemeClass/ThemeLook.h"

namespace {

skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }

class Locked {
public:
    explicit Locked(CRITICAL_SECTION* cs) : cs_(cs) { EnterCriticalSection(cs_); }
    ~Locked() { LeaveCriticalSection(cs_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CRITICAL_SECTION* cs_;
};

// A picture from a stream over the block; the stream does not free it.
IPicture* PictureFromBlock(HGLOBAL hGlobal, DWORD dwSize, BOOL bStreamFrees) {
    IStream* pStream = nullptr;
    if (CreateStreamOnHGlobal(hGlobal, bStreamFrees, &pStream) != S_OK || !pStream) {
        if (bStreamFrees) GlobalFree(hGlobal);
        return nullptr;
    }
    IPicture* pPicture = nullptr;
    const HRESULT hr = OleLoadPicture(pStream, static_cast<LONG>(dwSize), FALSE, IID_IPicture,
                                      reinterpret_cast<void**>(&pPicture));
    pStream->Release();
    return SUCCEEDED(hr) ? pPicture : nullptr;
}

// Renders the whole picture upright into the rectangle.
HRESULT RenderPicture(IPicture* pPicture, HDC hdc, int x, int y, int cx, int cy) {
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    pPicture->get_Width(&hmWidth);
    pPicture->get_Height(&hmHeight);
    return pPicture->Render(hdc, x, y, cx, cy, 0, hmHeight, hmWidth, -hmHeight, nullptr);
}

void FillSolid(HDC hdc, int x, int y, int cx, int cy, COLORREF clr) {
    HBRUSH hBrush = CreateSolidBrush(clr);
    if (!hBrush) return;
    RECT rc = {x, y, x + cx, y + cy};
    FillRect(hdc, &rc, hBrush);
    DeleteObject(hBrush);
}

}  // namespace

BEGIN_MESSAGE_MAP(CThemePicture, CWnd)
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CThemePicture::CThemePicture() {
    InitializeCriticalSection(&m_lock);
    SetDefaultSkin();
    m_hStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

CThemePicture::~CThemePicture() {
    FreePicture();
    if (m_hStopEvent) CloseHandle(m_hStopEvent);
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
    DeleteCriticalSection(&m_lock);
}

BOOL CThemePicture::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                           CCreateContext* pContext) {
    return CWnd::Create(nullptr, nullptr, dwStyle, rect, pParentWnd, nID, pContext);
}

void CThemePicture::SetDefaultSkin() {
    m_rcCaptionArea = RECT{0, 0, 0, 0};
    m_nFontSize = 12;
    m_bBold = FALSE;
    m_clrText = 0x000000;
    m_clrShadow = skin::kColorKey;
    m_nAlignFormat = DT_VCENTER;
    m_nFillType = skin::kFillAlign;
    m_nImageAlign = 0;
    ResetLayoutRect();
}

LRESULT CThemePicture::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- loading

BOOL CThemePicture::Load(HGLOBAL hGlobal, DWORD dwSize) {
    FreePicture();
    const BYTE* pData = hGlobal ? static_cast<const BYTE*>(GlobalLock(hGlobal)) : nullptr;
    if (!pData) {
        TRACE("Load: Error locking memory\n");
        return FALSE;
    }
    // Never read past the block, whatever size the caller names.
    const SIZE_T dwBlock = GlobalSize(hGlobal);
    if (dwBlock < dwSize) dwSize = static_cast<DWORD>(dwBlock);
    m_dwDataSize = dwSize;
    const BOOL bLoaded = LoadLocked(hGlobal, pData, dwSize);
    // A failed load leaves the control empty, not half loaded.
    if (!bLoaded) FreePicture();
    return bLoaded;
}

// Called with the block locked; every path unlocks it before the picture
// loader reads it.
BOOL CThemePicture::LoadLocked(HGLOBAL hGlobal, const BYTE* pData, DWORD dwSize) {
    if (!skin::IsGifData(pData, dwSize)) {
        GlobalUnlock(hGlobal);
        return LoadStill(hGlobal, dwSize) && CreateOffscreen(m_size.cx, m_size.cy);
    }
    m_bIsGif = TRUE;
    skin::GifScreen screen;
    if (!skin::ReadGifScreen(pData, dwSize, &screen)) {
        GlobalUnlock(hGlobal);
        return FALSE;
    }
    m_nGlobalTableSize = screen.globalTableSize;
    const int nFrames =
        skin::CountGifFrames(pData, dwSize, skin::kGifScreenEnd + screen.globalTableSize);
    if (nFrames == 0) {
        GlobalUnlock(hGlobal);
        return FALSE;
    }
    if (nFrames == 1) {
        GlobalUnlock(hGlobal);
        if (!LoadStill(hGlobal, dwSize)) return FALSE;
    } else {
        const BOOL bKept = LoadFrames(pData, dwSize);
        GlobalUnlock(hGlobal);
        if (!bKept) return FALSE;
    }
    // A GIF keeps the logical screen's size.
    m_size.cx = screen.width;
    m_size.cy = screen.height;
    return CreateOffscreen(m_size.cx, m_size.cy);
}

BOOL CThemePicture::LoadStill(HGLOBAL hGlobal, DWORD dwSize) {
    m_pPicture = PictureFromBlock(hGlobal, dwSize, FALSE);
    if (!m_pPicture) return FALSE;
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    m_pPicture->get_Width(&hmWidth);
    m_pPicture->get_Height(&hmHeight);
    HDC hdc = ::GetDC(m_hWnd);
    m_size.cx = MulDiv(hmWidth, GetDeviceCaps(hdc, LOGPIXELSX), 2540);
    m_size.cy = MulDiv(hmHeight, GetDeviceCaps(hdc, LOGPIXELSY), 2540);
    ::ReleaseDC(m_hWnd, hdc);
    return TRUE;
}

BOOL CThemePicture::LoadFrames(const BYTE* pData, DWORD dwSize) {
    size_t offset = skin::kGifScreenEnd + m_nGlobalTableSize;
    skin::GifFrameCut cut;
    while (skin::CutGifFrame(pData, dwSize, &offset, &cut)) {
        const std::vector<uint8_t> one =
            skin::BuildFrameGif(pData, dwSize, m_nGlobalTableSize, cut);
        if (one.empty()) break;
        HGLOBAL hFrame = GlobalAlloc(GMEM_MOVEABLE, one.size());
        if (!hFrame) continue;
        void* p = GlobalLock(hFrame);
        if (!p) {
            GlobalFree(hFrame);
            continue;
        }
        std::memcpy(p, one.data(), one.size());
        GlobalUnlock(hFrame);
        // The stream frees the frame's block when it is released.
        IPicture* pPicture = PictureFromBlock(hFrame, static_cast<DWORD>(one.size()), TRUE);
        if (!pPicture) continue;
        GifFrameInfo info;
        info.picture = pPicture;
        info.frameSize = SIZE{cut.width, cut.height};
        info.frameOffset = POINT{cut.left, cut.top};
        info.delay = cut.delay;
        info.disposal = cut.disposal;
        m_frames.push_back(info);
    }
    return !m_frames.empty();
}

BOOL CThemePicture::LoadFile(LPCTSTR lpszPath) {
    if (!lpszPath) return FALSE;
    HANDLE hFile = CreateFileA(lpszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        TRACE("Load (file): Error opening file %s\n", lpszPath);
        return FALSE;
    }
    const DWORD dwSize = GetFileSize(hFile, nullptr);
    if (dwSize == INVALID_FILE_SIZE) {
        CloseHandle(hFile);
        TRACE("Load (file): Error opening file %s\n", lpszPath);
        return FALSE;
    }
    HGLOBAL hGlobal = GlobalAlloc(GMEM_MOVEABLE, dwSize ? dwSize : 1);
    if (!hGlobal) {
        CloseHandle(hFile);
        TRACE("Load (file): Error allocating memory\n");
        return FALSE;
    }
    void* pData = GlobalLock(hGlobal);
    if (!pData) {
        GlobalFree(hGlobal);
        CloseHandle(hFile);
        TRACE("Load (file): Error locking memory\n");
        return FALSE;
    }
    DWORD dwRead = 0;
    const BOOL bRead = ReadFile(hFile, pData, dwSize, &dwRead, nullptr);
    GlobalUnlock(hGlobal);
    CloseHandle(hFile);
    if (!bRead || dwRead != dwSize) {
        GlobalFree(hGlobal);
        TRACE("Load (file): An exception occured while reading the file %s\n", lpszPath);
        return FALSE;
    }
    const BOOL bLoaded = Load(hGlobal, dwSize);
    GlobalFree(hGlobal);
    return bLoaded;
}

BOOL CThemePicture::LoadResource(LPCTSTR lpszName, LPCTSTR lpszType) {
    if (!lpszName || !lpszType) return FALSE;
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = FindResourceA(hInst, lpszName, lpszType);
    HGLOBAL hResData = hRes ? ::LoadResource(hInst, hRes) : nullptr;
    if (!hResData) {
        TRACE("Load (resource): Error loading resource %s\n",
              IS_INTRESOURCE(lpszName) ? "#" : lpszName);
        return FALSE;
    }
    const DWORD dwSize = SizeofResource(hInst, hRes);
    HGLOBAL hGlobal = GlobalAlloc(GMEM_MOVEABLE, dwSize ? dwSize : 1);
    if (!hGlobal) {
        FreeResource(hResData);
        TRACE("Load (resource): Error allocating memory\n");
        return FALSE;
    }
    void* pDst = GlobalLock(hGlobal);
    const void* pSrc = LockResource(hResData);
    if (!pDst || !pSrc) {
        if (pDst) GlobalUnlock(hGlobal);
        GlobalFree(hGlobal);
        FreeResource(hResData);
        TRACE("Load (resource): Error locking memory\n");
        return FALSE;
    }
    std::memcpy(pDst, pSrc, dwSize);
    FreeResource(hResData);
    GlobalUnlock(hGlobal);
    const BOOL bLoaded = Load(hGlobal, dwSize);
    GlobalFree(hGlobal);
    return bLoaded;
}

BOOL CThemePicture::CreateOffscreen(int nWidth, int nHeight) {
    if (nWidth <= 0 || nHeight <= 0) return FALSE;
    HDC hdc = ::GetDC(m_hWnd);
    if (!hdc) return FALSE;
    HDC hMem = CreateCompatibleDC(hdc);
    if (!hMem) {
        ::ReleaseDC(m_hWnd, hdc);
        return FALSE;
    }
    HBITMAP hBitmap = CreateCompatibleBitmap(hdc, nWidth, nHeight);
    ::ReleaseDC(m_hWnd, hdc);
    if (!hBitmap) {
        DeleteDC(hMem);
        return FALSE;
    }
    Locked lock(&m_lock);
    m_hMemDC = hMem;
    m_hBitmap = hBitmap;
    m_hOldBitmap = SelectObject(m_hMemDC, m_hBitmap);
    m_clrBack = GetSysColor(COLOR_BTNFACE);
    RECT rc = {0, 0, nWidth, nHeight};
    FillRect(m_hMemDC, &rc, GetSysColorBrush(COLOR_BTNFACE));
    m_bReady = TRUE;
    return TRUE;
}

void CThemePicture::FreePicture() {
    Stop();
    if (m_pPicture) {
        m_pPicture->Release();
        m_pPicture = nullptr;
    }
    for (GifFrameInfo& f : m_frames)
        if (f.picture) f.picture->Release();
    m_frames.clear();
    {
        Locked lock(&m_lock);
        if (m_hMemDC) {
            SelectObject(m_hMemDC, m_hOldBitmap);
            DeleteDC(m_hMemDC);
            m_hMemDC = nullptr;
        }
        if (m_hBitmap) {
            DeleteObject(m_hBitmap);
            m_hBitmap = nullptr;
        }
        m_hOldBitmap = nullptr;
        if (m_hSaveDC) {
            SelectObject(m_hSaveDC, m_hOldSaveBitmap);
            DeleteDC(m_hSaveDC);
            m_hSaveDC = nullptr;
        }
        if (m_hSaveBitmap) {
            DeleteObject(m_hSaveBitmap);
            m_hSaveBitmap = nullptr;
        }
        m_hOldSaveBitmap = nullptr;
    }
    m_rcStored = RECT{0, 0, 0, 0};
    m_size = SIZE{0, 0};
    m_bReady = FALSE;
    m_bExit = false;
    m_bIsGif = FALSE;
    m_clrBack = 0xFFFFFF;
    m_nGlobalTableSize = 0;
    m_nCurrentFrame = 0;
    m_dwDataSize = 0;
}

// ---- drawing and animation

BOOL CThemePicture::Draw() {
    if (!m_bReady) {
        TRACE("Call one of the CThemePicture::Load() member functions before calling Draw()\n");
        return FALSE;
    }
    if (IsAnimated()) {
        // One thread per animation: a second Draw lets the running one go on.
        if (m_hThread && WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT) return TRUE;
        if (m_hThread) {
            CloseHandle(m_hThread);
            m_hThread = nullptr;
        }
        m_bExit = false;
        unsigned nThreadId = 0;
        const uintptr_t h =
            _beginthreadex(nullptr, 0, &AnimationThreadEntry, this, CREATE_SUSPENDED, &nThreadId);
        if (!h) {
            TRACE("Draw: Couldn't start a GIF animation thread\n");
            return FALSE;
        }
        m_hThread = reinterpret_cast<HANDLE>(h);
        m_bRunning = true;
        ResumeThread(m_hThread);
        return TRUE;
    }
    if (!m_pPicture) return FALSE;
    HRESULT hr;
    {
        Locked lock(&m_lock);
        hr = RenderPicture(m_pPicture, m_hMemDC, 0, 0, m_size.cx, m_size.cy);
    }
    if (FAILED(hr)) return FALSE;
    if (m_hWnd) Invalidate(FALSE);
    return TRUE;
}

unsigned __stdcall CThemePicture::AnimationThreadEntry(void* pParam) {
    CThemePicture* pThis = static_cast<CThemePicture*>(pParam);
    if (!pThis) return 0;
    pThis->m_bRunning = true;
    pThis->AnimateFrames();
    pThis->m_bRunning = false;
    return 0;
}

void CThemePicture::FillOffscreen(int x, int y, int cx, int cy, COLORREF clr) {
    if (m_hMemDC) FillSolid(m_hMemDC, x, y, cx, cy, clr);
}

void CThemePicture::DisposeFrame(UINT nFrame) {
    if (nFrame >= m_frames.size()) return;
    const GifFrameInfo& f = m_frames[nFrame];
    Locked lock(&m_lock);
    if (f.disposal == 2) {
        FillOffscreen(f.frameOffset.x, f.frameOffset.y, f.frameSize.cx, f.frameSize.cy, m_clrBack);
    } else if (f.disposal == 3 && m_hSaveDC) {
        BitBlt(m_hMemDC, f.frameOffset.x, f.frameOffset.y, f.frameSize.cx, f.frameSize.cy,
               m_hSaveDC, 0, 0, SRCCOPY);
        SelectObject(m_hSaveDC, m_hOldSaveBitmap);
        DeleteDC(m_hSaveDC);
        DeleteObject(m_hSaveBitmap);
        m_hSaveDC = nullptr;
        m_hSaveBitmap = nullptr;
        m_hOldSaveBitmap = nullptr;
    }
}

void CThemePicture::AnimateFrames() {
    if (m_frames.empty()) return;
    if (m_nCurrentFrame >= m_frames.size()) m_nCurrentFrame = 0;
    DisposeFrame(m_nCurrentFrame);
    while (!m_bExit) {
        const GifFrameInfo& f = m_frames[m_nCurrentFrame];
        if (f.picture) {
            HRESULT hr;
            {
                Locked lock(&m_lock);
                if (f.disposal == 3 && !m_hSaveDC && f.frameSize.cx > 0 && f.frameSize.cy > 0) {
                    HDC hSave = CreateCompatibleDC(m_hMemDC);
                    HBITMAP hBitmap =
                        CreateCompatibleBitmap(m_hMemDC, f.frameSize.cx, f.frameSize.cy);
                    if (hSave && hBitmap) {
                        m_hSaveDC = hSave;
                        m_hSaveBitmap = hBitmap;
                        m_hOldSaveBitmap = SelectObject(hSave, hBitmap);
                        BitBlt(m_hSaveDC, 0, 0, f.frameSize.cx, f.frameSize.cy, m_hMemDC,
                               f.frameOffset.x, f.frameOffset.y, SRCCOPY);
                    } else {
                        if (hSave) DeleteDC(hSave);
                        if (hBitmap) DeleteObject(hBitmap);
                    }
                }
                hr = RenderPicture(f.picture, m_hMemDC, f.frameOffset.x, f.frameOffset.y,
                                   f.frameSize.cx, f.frameSize.cy);
            }
            if (SUCCEEDED(hr) && m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        if (m_bExit) break;
        WaitForSingleObject(m_hStopEvent, skin::GifFrameWaitMs(f.delay));
        if (m_bExit) break;
        DisposeFrame(m_nCurrentFrame);
        UINT next = m_nCurrentFrame + 1;
        if (next >= m_frames.size()) {
            next = 0;
            Locked lock(&m_lock);
            FillOffscreen(0, 0, m_size.cx, m_size.cy, m_clrBack);
        }
        m_nCurrentFrame = next;
    }
}

void CThemePicture::Stop() {
    m_bRunning = false;
    m_bExit = true;
    if (m_hStopEvent) SetEvent(m_hStopEvent);
    if (m_hThread) {
        // The event wakes the thread at once; everything it draws with is
        // freed only after it has ended.
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    if (m_hStopEvent) ResetEvent(m_hStopEvent);
    m_bRunning = false;
    m_bExit = false;
}

// ---- setters

void CThemePicture::SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom) {
    m_rcCaptionArea = RECT{nLeft, nTop, nRight, nBottom};
}

void CThemePicture::SetCaption(LPCTSTR lpszText) {
    m_strCaption = lpszText ? lpszText : "";
    if (m_hWnd) Invalidate(FALSE);
}

void CThemePicture::SetToolTipText(LPCTSTR lpszText) {
    if (m_hWnd) SetControlToolTip(m_toolTip, this, lpszText);
}

void CThemePicture::SetBackColor(COLORREF clr) {
    if (!m_bReady) return;
    Locked lock(&m_lock);
    m_clrBack = clr;
    FillOffscreen(0, 0, m_size.cx, m_size.cy, clr);
}

void CThemePicture::SetTextStyle(int nFontSize, BOOL bBold, COLORREF clrText, COLORREF clrShadow,
                                 UINT nAlignFormat) {
    m_nFontSize = nFontSize;
    m_bBold = bBold;
    m_clrText = clrText;
    m_clrShadow = clrShadow;
    m_nAlignFormat = nAlignFormat;
}

void CThemePicture::SetBackImage(CString strPath) {
    if (LoadFile(strPath)) Draw();
}

void CThemePicture::SetTool(LPCTSTR lpszText) {
    if (m_hWnd) m_toolTip.SetTool(this, m_hWnd, lpszText);
}

void CThemePicture::UpdateTool(LPCTSTR lpszText) { m_toolTip.UpdateTool(lpszText); }

void CThemePicture::DelTool() { m_toolTip.RemoveTool(); }

// ---- messages

int CThemePicture::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
    return 0;
}

void CThemePicture::PaintPicture(CDC* pDC, const CRect& rcClient) {
    const int w = m_size.cx, h = m_size.cy;
    const HDC dst = pDC->GetSafeHdc();
    const skin::Rect client = ToSkin(rcClient);
    const skin::Rect whole{0, 0, w, h};
    switch (m_nFillType) {
        case skin::kFillNineGrid: {
            const int cx = skin::NineGridFrameCorner(w), cy = skin::NineGridFrameCorner(h);
            for (const skin::Piece& p : skin::NineGridPieces(whole, client, cx, cy)) {
                StretchBlt(dst, p.dst.left, p.dst.top, p.dst.Width(), p.dst.Height(), m_hMemDC,
                           p.src.left, p.src.top, p.src.Width(), p.src.Height(), SRCCOPY);
            }
            break;
        }
        case skin::kFillStretch:
            StretchBlt(dst, 0, 0, rcClient.Width(), rcClient.Height(), m_hMemDC, 0, 0, w, h,
                       SRCCOPY);
            break;
        case skin::kFillTile:
            for (const skin::Piece& p : skin::TilePieces(whole, client)) {
                BitBlt(dst, p.dst.left, p.dst.top, p.dst.Width(), p.dst.Height(), m_hMemDC,
                       p.src.left, p.src.top, SRCCOPY);
            }
            break;
        case skin::kFillAlign: {
            const skin::Rect r = skin::AlignImage(client, w, h, m_nImageAlign);
            BitBlt(dst, r.left, r.top, w, h, m_hMemDC, 0, 0, SRCCOPY);
            break;
        }
        default: break;
    }
}

void CThemePicture::OnPaint() {
    CPaintDC dc(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    // Paint into a memory picture of the client, then blit once.
    CDC mem;
    CBitmap bmp;
    if (!mem.CreateCompatibleDC(&dc) ||
        !bmp.CreateCompatibleBitmap(&dc, rcClient.Width(), rcClient.Height())) {
        return;
    }
    CBitmap* pOld = mem.SelectObject(&bmp);
    ::FillRect(mem.GetSafeHdc(), &rcClient, GetSysColorBrush(COLOR_BTNFACE));
    {
        Locked lock(&m_lock);
        if (m_bReady && m_hMemDC) PaintPicture(&mem, rcClient);
    }
    DrawCaption(&mem);
    dc.BitBlt(0, 0, rcClient.Width(), rcClient.Height(), &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOld);
}

void CThemePicture::DrawCaption(CDC* pDC) {
    const std::vector<std::string> lines =
        skin::SplitCaptionLines(std::string(static_cast<LPCTSTR>(m_strCaption)), true);
    CRect rcClient;
    GetClientRect(&rcClient);
    const skin::Rect area = skin::LabelCaptionRect(ToSkin(m_rcCaptionArea), ToSkin(rcClient));
    const std::vector<skin::Rect> bands = skin::CaptionBands(area, static_cast<int>(lines.size()));
    const UINT format = m_nAlignFormat | DT_SINGLELINE;
    for (size_t i = 0; i < lines.size() && i < bands.size(); ++i) {
        const skin::Rect& b = bands[i];
        if (m_clrShadow != skin::kColorKey) {
            DrawMultiLineText(pDC, lines[i].c_str(), m_nFontSize, m_clrShadow, b.left + 1,
                              b.top + 1, b.right + 1, b.bottom + 1, format, m_bBold);
        }
        DrawMultiLineText(pDC, lines[i].c_str(), m_nFontSize, m_clrText, b.left, b.top, b.right,
                          b.bottom, format, m_bBold);
    }
}

void CThemePicture::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    ResizeControlToolTip(m_toolTip, this, cx, cy, TRUE);
}

void CThemePicture::OnDestroy() {
    DelTool();
    Stop();
    CWnd::OnDestroy();
}
