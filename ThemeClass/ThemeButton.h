// The skinned push button: an owner-drawn button that paints a colour back
// with an outline or a frame of a face image strip, a caption of one or
// more lines with an optional shadow, follows hover and press itself, posts
// WM_SKIN_* mouse messages to its parent and can drop an attached menu
// down under itself.
#pragma once

#include "ThemeClass/ThemeButtonBase.h"

class CThemeMenu;

class CThemeButton : public CThemeButtonBase {
public:
    CThemeButton();

    // The built-in look (frees a held face image).
    void ResetStyle();

    // Caption; SetText repaints, the other caption setters only store.
    void SetText(const CString& strText);
    void SetText(LPCTSTR lpszText);

    // Face image strip from a file or a bitmap resource; back type 2 when it
    // loads, 0 (caption only) when it does not. Both repaint.
    BOOL SetImageFile(LPCTSTR lpszPath);
    BOOL SetBitmap(UINT nIDResource);

    // Attaches a popup menu (nullptr detaches); the button never deletes it.
    void SetMenu(CThemeMenu* pMenu) { m_pMenu = pMenu; }

protected:
    void PaintFace(CDC* pDC, const CRect& rcClient) override;

    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void PostToParent(UINT message, CPoint point);

    CThemeMenu* m_pMenu = nullptr;
};
