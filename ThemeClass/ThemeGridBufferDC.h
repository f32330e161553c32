// The grid's off-screen painting surface: laid over a target DC, it draws
// into a memory bitmap of the target's clip box and copies it back in one
// blit when it goes. Over a printer DC it borrows the target's handle and
// draws straight through.
#pragma once

#include "classlib/afxwin.h"

class CThemeGridBufferDC : public CDC {
public:
    explicit CThemeGridBufferDC(CDC* pDC);
    ~CThemeGridBufferDC() override;
    CThemeGridBufferDC(const CThemeGridBufferDC&) = delete;
    CThemeGridBufferDC& operator=(const CThemeGridBufferDC&) = delete;

    BOOL IsMemDC() const { return m_bMemDC; }

private:
    CDC* m_pDC;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
    CRect m_rect;
    BOOL m_bMemDC = FALSE;
};
