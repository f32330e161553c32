// The skinned scroll bar: the slider's track window with an arrow at each
// end. Its three parts are skinned push buttons: the thumb (id 1006), the
// previous arrow (1007) and the next arrow (1008). Arrows step by the line
// unit and repeat while held; clicks on the track step by the page unit or
// jump; the thumb drags. Every change is sent to the owner as a
// SkinPosNotify WM_NOTIFY block, and every mouse move over the track is
// posted to the parent as WM_SKIN_SCROLLMOUSEMOVE.
#pragma once

#include "ThemeClass/ThemeTrackWnd.h"

#define WM_SKIN_SCROLLMOUSEMOVE 0x0473

class CThemeScroll : public CThemeTrackWnd {
public:
    static constexpr UINT kThumbId = 1006;
    static constexpr UINT kPrevId = 1007;
    static constexpr UINT kNextId = 1008;

    CThemeScroll();

    // Makes the thumb and the captioned arrows once the window exists.
    void OnCreateChildren() { CreateParts(); }

    // Units below 1 are ignored.
    void SetLineUnit(int nUnit);
    int GetLineUnit() const { return m_nLineUnit; }

    // One line toward the minimum (maximum); nothing at the range end.
    void LineUp();
    void LineDown();
    // Starts the previous arrow's repeat when hwnd is that arrow.
    BOOL OnPrevButtonDown(HWND hWnd);

    // Arrow images: the arrow loads it, loses its caption and takes the
    // image's frame size.
    BOOL SetPrevImage(LPCTSTR lpszPath) { return SetPartImage(m_parts[kPartPrev], lpszPath); }
    BOOL SetNextImage(LPCTSTR lpszPath) { return SetPartImage(m_parts[kPartNext], lpszPath); }
    BOOL SetPrevBitmap(UINT nID) { return SetPartBitmap(m_parts[kPartPrev], nID); }
    BOOL SetNextBitmap(UINT nID) { return SetPartBitmap(m_parts[kPartNext], nID); }
    // Frames of an arrow's image; counts below 1 are ignored.
    void SetPrevImageBlockCount(int n) { SetPartBlockCount(m_parts[kPartPrev], n); }
    void SetNextImageBlockCount(int n) { SetPartBlockCount(m_parts[kPartNext], n); }

    CThemeButton* GetPrevButton() const { return m_parts[kPartPrev].button; }
    CThemeButton* GetNextButton() const { return m_parts[kPartNext].button; }

protected:
    void CreateParts() override;
    void StopArrows() override;
    void OnArrowDown(int part) override;
    void OnArrowUp(int part) override;
    void LabelArrows() override;

    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg LRESULT OnChildDblClk(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void Apply(const skin::RepeatAction& a);

    int m_nLineUnit = 1;
};
