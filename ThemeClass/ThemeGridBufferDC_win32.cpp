#include "ThemeClass/ThemeGridBufferDC.h"

CThemeGridBufferDC::CThemeGridBufferDC(CDC* pDC) : m_pDC(pDC) {
    pDC->GetClipBox(&m_rect);
    const bool printing = ::GetDeviceCaps(pDC->m_hDC, TECHNOLOGY) == DT_RASPRINTER;
    if (!printing && CreateCompatibleDC(pDC) &&
        m_bitmap.CreateCompatibleBitmap(pDC, m_rect.Width(), m_rect.Height())) {
        m_bMemDC = TRUE;
        m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap.m_hObject);
        SetWindowOrg(m_rect.left, m_rect.top);
        return;
    }
    // A printer, or no memory for the bitmap: draw on the target itself.
    if (m_hDC) DeleteDC();
    m_hDC = pDC->m_hDC;
}

CThemeGridBufferDC::~CThemeGridBufferDC() {
    if (m_bMemDC) {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left,
                      m_rect.top, SRCCOPY);
        ::SelectObject(m_hDC, m_hOldBitmap);
        DeleteDC();
    } else {
        // Borrowed: given back, not released.
        m_hDC = nullptr;
    }
}
