// The skinned radio button: an owner-painted button with its own check
// flag, a drawn or image mark (or, push-like, a pressed look while
// checked), a back per state and a one-line caption. Checking it clears
// the other skinned radios of its dialog group.
#pragma once

#include "ThemeClass/ThemeButtonBase.h"

// Sent to a group member to clear its check.
#define WM_SKIN_RADIOUNCHECK 0x0500

class CThemeRadio : public CThemeMarkButton {
public:
    CThemeRadio();

    void ResetSkin();

    // Checks (clearing the rest of the group) or clears, then repaints.
    void SetCheck(int nCheck);

    void SetColors(int nSize, BOOL bBold, COLORREF clrText, COLORREF clrShadow, UINT nAlign) {
        SetCaptionStyle(nSize, bBold, clrText, clrShadow, nAlign);
    }
    void SetTextShadowColors(COLORREF clrText, COLORREF clrShadow) {
        SetTextShadowColor(clrText, clrShadow);
    }
    // 1 to 4 frames; other counts are ignored.
    void SetBackImageBlockCount(int nCount) { SetFrameCount(nCount); }
    // Back image strip: back type 2 when it loads, 0 when it does not.
    BOOL SetBackImage(LPCTSTR lpszPath) { return SetImageFile(lpszPath); }
    BOOL SetBackBitmap(UINT nIDResource) { return SetBitmap(nIDResource); }
    // Two frames side by side: unchecked, checked. Mark size = image height;
    // a failed load leaves the drawn mark.
    BOOL SetMarkImage(LPCTSTR lpszPath);
    BOOL SetMarkBitmap(UINT nIDResource);

protected:
    void PaintFace(CDC* pDC, const CRect& rcClient) override;

    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRadioUncheck(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void UncheckGroup();
    BOOL ReplaceMarkImage(HBITMAP hBitmap);
};
