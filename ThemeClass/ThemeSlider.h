// The skinned slider: a child window that paints a back and carries a
// skinned push button as its thumb (id 1003). Clicks on the track step by
// the page unit or jump; the thumb drags. Every change is sent to the owner
// as a SkinPosNotify WM_NOTIFY block, and every mouse move over the track
// is posted to the parent as WM_SKIN_SLIDERMOUSEMOVE.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"
#include "ThemeClass/ThemeTrack.h"

#define WM_SKIN_SLIDERMOUSEMOVE 0x0472

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

class CThemeSlider : public CWnd, public CThemeSkinId {
public:
    static constexpr UINT kThumbId = 1003;

    CThemeSlider();
    ~CThemeSlider() override;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void ResetSkin();
    void CreateThumb();

    void SetPos(int nPos);
    int GetPos() const { return m_nPos; }
    void SetRange(int nMin, int nMax);
    void SetRangeMin(int nMin);
    void SetRangeMax(int nMax);
    void GetRange(int* pMin, int* pMax) const;
    void GetRangeMin(int* pMin) const { *pMin = m_nMin; }
    void GetRangeMax(int* pMax) const { *pMax = m_nMax; }
    void SetPageUnit(int nUnit) { m_nPageUnit = nUnit; }
    void RecalcThumb();
    LRESULT NotifyParent(int nPos, int nCode);

    void SetToolTipText(LPCTSTR lpszText);
    void SetAutoToolTip(BOOL bAuto);
    void SetBackColor(COLORREF clr);
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
    void SetVertical(BOOL bVertical) { m_bVertical = bVertical; }
    BOOL SetBarImage(LPCTSTR lpszPath);
    BOOL SetBarBitmap(UINT nIDResource);
    // Frames of the thumb image; counts below 1 are ignored.
    void SetBarImageBlockCount(int nCount);

    CThemeButton* GetThumb() const { return m_pThumb; }
    CThemeToolTip& GetToolTip() { return m_toolTip; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg LRESULT OnThumbDown(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnThumbUp(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnThumbMove(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    skin::TrackAxis Axis() const;
    int PointAlong(CPoint pt) const { return m_bVertical ? pt.y : pt.x; }
    CPoint ThumbToClient(LPARAM lParam) const;
    void ClickTrack(CPoint point);
    void JumpTo(CPoint point);
    void MoveThumbEdge(int edge);
    void ThumbSizeFromImage();

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
    int m_nMin = 0;
    int m_nMax = 100;
    int m_nPos = 0;
    int m_nPageUnit = 0;
    BOOL m_bAutoToolTip = FALSE;
    UINT m_nBarBitmap = 0;
    CString m_strBarImage;
    int m_nBarBlockCount = 4;
    int m_nThumbW = 20;
    int m_nThumbH = 30;
    BOOL m_bDragging = FALSE;
    CThemeButton* m_pThumb = nullptr;
    CThemeToolTip m_toolTip;
};

// Paints a control's back: colours with an outline (rounded from a corner
// value of 1), or an image by fill type. Shared by the slider and the
// scroll bar.
void DrawTrackBack(CDC* pDC, const CRect& rc, int backDrawType, COLORREF back, COLORREF lt,
                   COLORREF rb, int thick, int round, CBitmap* pImage, int fillType,
                   UINT alignFormat);
