// The skinned check box: an owner-drawn button with a check state of its
// own, painted as a back (colours or a frame of an image strip), a mark
// (drawn V or a two-frame image) and a caption; push-like, it is drawn as a
// button whose checked look is the pressed look. A left click that starts
// on it and ends over it toggles it. It posts nothing of its own to the
// parent.
#pragma once

#include "ThemeClass/ThemeButtonBase.h"
#include "ThemeClass/ThemeMark.h"

class CThemeCheck : public CThemeMarkButton {
public:
    CThemeCheck();

    // The built-in look (frees held images); the check state is kept.
    void ResetStyle();

    // Check state; SetCheck repaints. BM_GETCHECK and BM_SETCHECK answer
    // from the same state, so dialog helpers agree with it.
    void SetCheck(int nCheck);

    // Two frames side by side: unchecked, checked. On success the mark is
    // drawn from it and its height is the mark size; a failed load leaves
    // the mark as it was.
    BOOL SetMarkImageFile(LPCTSTR lpszPath);
    BOOL SetMarkBitmap(UINT nIDResource);

protected:
    void PaintFace(CDC* pDC, const CRect& rcClient) override;

    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    skin::CheckTracker Tracker() const;
    void SetTracker(const skin::CheckTracker& t);

    BOOL m_bArmed = FALSE;  // the left button went down on the box
};
