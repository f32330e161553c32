// The skinned picture control: shows one picture that the system's OLE
// loader reads (BMP, JPEG, a one-frame GIF) or plays an animated GIF on a
// thread of its own. The picture lives in an off-screen bitmap of its own
// size and is painted by fill type (nine-part, stretched, tiled, aligned),
// with a caption of up to 50 lines over it.
#pragma once

#include <atomic>
#include <vector>

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"

struct IPicture;

// One frame of an animated GIF; the record owns one reference to its
// picture.
struct GifFrameInfo {
    IPicture* picture = nullptr;
    SIZE frameSize = {0, 0};     // from the image descriptor
    POINT frameOffset = {0, 0};  // within the logical screen
    UINT delay = 0xFFFFFFFF;     // hundredths of a second; 0xFFFFFFFF: no control block
    UINT disposal = 0;
};

class CThemePicture : public CWnd, public CThemeSkinId {
public:
    CThemePicture();
    ~CThemePicture() override;

    // A child of the default window class with no title.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);
    void SetDefaultSkin();

    // Loads from a movable global block; the block stays the caller's.
    BOOL Load(HGLOBAL hGlobal, DWORD dwSize);
    BOOL LoadFile(LPCTSTR lpszPath);
    BOOL LoadResource(LPCTSTR lpszName, LPCTSTR lpszType);
    // Stops the animation and releases everything of the loaded picture.
    void FreePicture();
    // Renders a still picture into the off-screen bitmap, or starts the
    // animation of an animated GIF (once: a running animation goes on).
    BOOL Draw();
    // Ends the animation thread; the current frame is kept, so the next
    // Draw goes on from it.
    void Stop();

    SIZE GetPictureSize() const { return m_size; }
    BOOL HasGifData() const { return m_bIsGif; }
    BOOL IsAnimated() const { return m_bIsGif && m_frames.size() > 1; }
    BOOL IsAnimating() const { return m_bRunning.load(); }
    UINT GetAnimationFrameCount() const {
        return IsAnimated() ? static_cast<UINT>(m_frames.size()) : 0;
    }
    UINT GetCurrentFrame() const { return m_nCurrentFrame.load(); }
    // The running animation thread, or null.
    HANDLE GetAnimationThread() const { return m_hThread; }
    COLORREF GetBackColor() const { return m_clrBack; }
    void SetStoredRect(const RECT& rc) { m_rcStored = rc; }
    RECT GetStoredRect() const { return m_rcStored; }
    const std::vector<GifFrameInfo>& GetFrames() const { return m_frames; }

    void SetCaptionArea(int nLeft, int nTop, int nRight, int nBottom);
    void SetCaption(LPCTSTR lpszText);
    CString GetCaption() const { return m_strCaption; }
    void SetText(LPCTSTR lpszText) { SetCaption(lpszText); }
    void SetToolTipText(LPCTSTR lpszText);
    // Refills the whole off-screen picture at once; nothing before a load.
    void SetBackColor(COLORREF clr);
    void SetFontColor(COLORREF clr) { m_clrText = clr; }
    void SetShadowColor(COLORREF clr) { m_clrShadow = clr; }
    void SetTextColors(COLORREF clrText, COLORREF clrShadow) {
        m_clrText = clrText;
        m_clrShadow = clrShadow;
    }
    void SetTextStyle(int nFontSize, BOOL bBold, COLORREF clrText, COLORREF clrShadow,
                      UINT nAlignFormat);
    void SetFontSize(int nSize) { m_nFontSize = nSize; }
    void SetAlignFormat(UINT nFormat) { m_nAlignFormat = nFormat; }
    void SetFontBold(BOOL bBold) { m_bBold = bBold; }
    void SetBackImageFillType(int nType) { m_nFillType = nType; }
    void SetBackImageAlignFormat(UINT nFormat) { m_nImageAlign = nFormat; }
    void SetBackImage(CString strPath);

    void SetTool(LPCTSTR lpszText);
    void UpdateTool(LPCTSTR lpszText);
    void DelTool();
    CThemeToolTip& GetToolTip() { return m_toolTip; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

    void DrawCaption(CDC* pDC);

private:
    static unsigned __stdcall AnimationThreadEntry(void* pParam);
    void AnimateFrames();
    void DisposeFrame(UINT nFrame);
    BOOL CreateOffscreen(int nWidth, int nHeight);
    BOOL LoadLocked(HGLOBAL hGlobal, const BYTE* pData, DWORD dwSize);
    BOOL LoadStill(HGLOBAL hGlobal, DWORD dwSize);
    BOOL LoadFrames(const BYTE* pData, DWORD dwSize);
    void FillOffscreen(int x, int y, int cx, int cy, COLORREF clr);
    void PaintPicture(CDC* pDC, const CRect& rcClient);

    // Skin block
    CString m_strCaption;
    RECT m_rcCaptionArea = {0, 0, 0, 0};
    UINT m_nAlignFormat = DT_VCENTER;
    int m_nFontSize = 12;
    BOOL m_bBold = FALSE;
    COLORREF m_clrText = 0x000000;
    COLORREF m_clrShadow = 0xFF00FF;
    int m_nFillType = 3;
    UINT m_nImageAlign = 0;

    CThemeToolTip m_toolTip;
    RECT m_rcStored = {0, 0, 0, 0};
    SIZE m_size = {0, 0};
    COLORREF m_clrBack = 0xFFFFFF;
    std::atomic<UINT> m_nCurrentFrame{0};
    DWORD m_dwDataSize = 0;
    uint32_t m_nGlobalTableSize = 0;

    BOOL m_bIsGif = FALSE;
    std::atomic<bool> m_bRunning{false};
    std::atomic<bool> m_bExit{false};
    BOOL m_bReady = FALSE;

    // The off-screen picture and the area saved for disposal method 3. The
    // animation thread draws into the picture while painting copies from
    // it, so both take the lock.
    HDC m_hMemDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    HDC m_hSaveDC = nullptr;
    HBITMAP m_hSaveBitmap = nullptr;
    HGDIOBJ m_hOldSaveBitmap = nullptr;
    CRITICAL_SECTION m_lock;

    HANDLE m_hThread = nullptr;
    HANDLE m_hStopEvent = nullptr;
    IPicture* m_pPicture = nullptr;
    std::vector<GifFrameInfo> m_frames;
};
