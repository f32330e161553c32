// The outline a skinned dialog shows while it is resized by a border: a
// popup owned by the dialog, see-through (magenta key) except for a white
// frame with a dark dotted line over it. The dialog drives it with begin,
// track and end; it never takes activation.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeResize.h"

class CThemeDialog;

class CDlgResizeWnd : public CWnd {
public:
    static constexpr UINT kId = 1012;

    CDlgResizeWnd();
    ~CDlgResizeWnd() override;

    // Creates the hidden popup owned by the dialog.
    BOOL CreateFor(CWnd* pDlg);
    BOOL SetColorKey(COLORREF clrKey);

    // Points are screen coordinates; pDlg is the dialog being resized.
    void BeginResize(CThemeDialog* pDlg, CPoint pt);
    void MoveResize(CThemeDialog* pDlg, CPoint pt);
    CRect EndResize(CThemeDialog* pDlg, CPoint pt);
    CRect TrackResize(CThemeDialog* pDlg, CPoint pt) const;
    int HitTestZone(CWnd* pDlg, CPoint pt) const;
    void FitToWindow(CWnd* pWnd);
    void FitToParent();

    // The frame into a DC of the window's client size.
    void DrawFrame(CDC* pDC, const CRect& rcClient);
    static void DrawRectLines(const CRect& rc, COLORREF clrLeft, COLORREF clrTop, COLORREF clrRight,
                              COLORREF clrBottom, CDC* pDC, int nPenStyle);

    int GetZone() const { return m_nZone; }

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    CPoint m_ptStart;
    int m_nZone;
    int m_nBorder;
};

// SetLayeredWindowAttributes looked up at run time in the loaded USER32;
// false when the system has none. Shared by the dialog and the frame.
BOOL ThemeSetLayeredAttributes(HWND hWnd, COLORREF clrKey, BYTE byAlpha, DWORD dwFlags);
