// The window half of the skinned slider and scroll bar: a child window that
// paints a back and carries skinned push buttons as its parts, the thumb
// first and, for the scroll bar, an arrow at each end. It keeps a position
// in a range, steps or jumps on clicks on the track, drags the thumb while
// the thumb holds the mouse capture, sizes each part from its image strip,
// reports every change to its owner as a SkinPosNotify WM_NOTIFY block and
// posts every mouse move over the track to its parent.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"
#include "ThemeClass/ThemeTrack.h"

// The codes of the position block; parents dispatch on (id, code), so the
// values stay equal to the track-bar codes they were taken from.
constexpr int kSkinPosChanging = -12;
constexpr int kSkinPosReleased = -16;

// The WM_NOTIFY block of the slider and scroll bar.
struct SkinPosNotify {
    NMHDR hdr;
    int pos;
    int pos2;
};

class CThemeTrackWnd : public CWnd, public CThemeSkinId {
public:
    // Parts by index: the thumb, then the arrows of a scroll bar.
    enum { kPartThumb = 0, kPartPrev = 1, kPartNext = 2, kMaxParts = 3 };

    ~CThemeTrackWnd() override;

    // The back is never painted over the parts.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // The built-in back and part sizes (the thumb 20 x 30, arrows 20 x 20);
    // the part buttons go back to their own built-in look.
    void ResetSkin();

    // Position and range are stored as given; a position outside the range
    // is drawn at its end.
    void SetPos(int nPos);
    int GetPos() const { return m_nPos; }
    void SetRange(int nMin, int nMax);
    void SetRangeMin(int nMin);
    void SetRangeMax(int nMax);
    void GetRange(int* pMin, int* pMax) const;
    void GetRangeMin(int* pMin) const { *pMin = m_nMin; }
    void GetRangeMax(int* pMax) const { *pMax = m_nMax; }
    void SetPageUnit(int nUnit) { m_nPageUnit = nUnit; }
    // Moves the parts to where the position puts them.
    void RecalcLayout();
    LRESULT NotifyParent(int nPos, int nCode);

    void SetToolTipText(LPCTSTR lpszText);
    void SetAutoToolTip(BOOL bAuto);
    void SetBackColor(COLORREF clr);
    // Back image; back type 2 when it loads, 1 (colour) when it does not.
    BOOL SetBackImage(LPCTSTR lpszPath);
    BOOL SetBackBitmap(UINT nIDResource);
    void SetBackDrawType(int nType) { m_backDrawType = nType; }
    void SetBackImageFillType(int nType) { m_imageFillType = nType; }
    void SetBackImageAlignFormat(UINT nFormat) { m_imageAlignFormat = nFormat; }
    void SetEdgeRoundValue(int nValue) { m_roundValue = nValue; }
    void SetOutlineThick(int nThick) { m_outlineThick = nThick; }
    void SetOutlineColor(COLORREF clr);
    void SetOutlineLTColor(COLORREF clr) { m_outlineLT = clr; }
    void SetOutlineRBColor(COLORREF clr) { m_outlineRB = clr; }
    // Turning a live control also turns its parts.
    void SetVertical(BOOL bVertical);
    BOOL IsVertical() const { return m_bVertical; }

    // The thumb's image strip: the thumb loads it, loses its caption and
    // takes the strip's frame size.
    BOOL SetBarImage(LPCTSTR lpszPath) { return SetPartImage(m_parts[kPartThumb], lpszPath); }
    BOOL SetBarBitmap(UINT nIDResource) { return SetPartBitmap(m_parts[kPartThumb], nIDResource); }
    // Frames of the thumb image; counts below 1 are ignored.
    void SetBarImageBlockCount(int nCount) { SetPartBlockCount(m_parts[kPartThumb], nCount); }

    CThemeButton* GetThumb() const { return m_parts[kPartThumb].button; }
    BOOL IsDragging() const { return m_bDragging; }
    CThemeToolTip& GetToolTip() { return m_toolTip; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // One skinned button of the control and its image strip.
    struct Part {
        UINT id = 0;
        UINT bitmapId = 0;
        CString imagePath;
        int blockCount = 4;
        int width = 20;
        int height = 20;
        CThemeButton* button = nullptr;
    };

    // ids: the parts' control ids, the thumb first; moveMessage: what a
    // mouse move over the track posts to the parent; verticalStyle: the
    // creation style bits that make the control upright.
    CThemeTrackWnd(const UINT* ids, int count, UINT moveMessage, DWORD verticalStyle);

    // Makes the part buttons once the window exists.
    virtual void CreateParts();
    // The arrows' own modes (the scroll bar's repeat) end with the drag.
    virtual void StopArrows() {}
    // A press, double press or release on an arrow part.
    virtual void OnArrowDown(int) {}
    virtual void OnArrowUp(int) {}
    // The arrows' captions follow the direction.
    virtual void LabelArrows() {}

    BOOL SetPartImage(Part& part, LPCTSTR lpszPath);
    BOOL SetPartBitmap(Part& part, UINT nIDResource);
    void SetPartBlockCount(Part& part, int nCount);
    // The part whose button has this control id, or -1.
    int PartIndex(WPARAM id) const;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnCancelMode();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg LRESULT OnChildDown(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnChildUp(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnChildMove(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    Part m_parts[kMaxParts];
    int m_nParts = 1;
    int m_nMin = 0;
    int m_nMax = 100;
    int m_nPos = 0;

private:
    // A part button that tells the control when it loses the capture.
    class PartButton;
    void OnPartCaptureLost(int part);

    skin::ScrollSizes Sizes() const;
    skin::TrackAxis Axis() const;
    int PointAlong(CPoint pt) const { return m_bVertical ? pt.y : pt.x; }
    CPoint ThumbToClient(LPARAM lParam) const;
    void ClickTrack(CPoint point);
    void JumpTo(CPoint point);
    void SizePartsToBar(int cx, int cy);
    void DestroyParts();
    static void PartSizeFromImage(Part& part);

    const UINT m_nMoveMessage;
    const DWORD m_dwVerticalStyle;
    int m_backDrawType = 1;
    CBitmap m_backImage;
    int m_imageFillType = 0;
    UINT m_imageAlignFormat = 5;
    COLORREF m_backColor = 0xFFFFFF;
    COLORREF m_outlineLT = 0xC8C8C8;
    COLORREF m_outlineRB = 0xC8C8C8;
    int m_outlineThick = 1;
    int m_roundValue = 0;
    BOOL m_bVertical = FALSE;
    int m_nPageUnit = 0;
    BOOL m_bAutoToolTip = FALSE;
    BOOL m_bDragging = FALSE;
    CThemeToolTip m_toolTip;
};

// Paints a control's back: colours with an outline (rounded from a corner
// value of 1), or an image by fill type.
void DrawTrackBack(CDC* pDC, const CRect& rc, int backDrawType, COLORREF back, COLORREF lt,
                   COLORREF rb, int thick, int round, CBitmap* pImage, int fillType,
                   UINT alignFormat);
