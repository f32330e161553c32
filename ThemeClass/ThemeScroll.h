// The skinned scroll bar: the slider with an arrow at each end. A child
// window that paints a back and carries three skinned push buttons: the
// thumb (id 1006), the previous arrow (1007) and the next arrow (1008).
// Arrows step by the line unit and repeat while held; clicks on the track
// step by the page unit or jump; the thumb drags. Every change is sent to
// the owner as a SkinPosNotify WM_NOTIFY block, and every mouse move over
// the track is posted to the parent as WM_SKIN_SCROLLMOUSEMOVE.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeSlider.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"
#include "ThemeClass/ThemeTrack.h"

#define WM_SKIN_SCROLLMOUSEMOVE 0x0473

class CThemeScroll : public CWnd, public CThemeSkinId {
public:
    static constexpr UINT kThumbId = 1006;
    static constexpr UINT kPrevId = 1007;
    static constexpr UINT kNextId = 1008;

    CThemeScroll();
    ~CThemeScroll() override;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void ResetSkin();
    void OnCreateChildren();

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
    // Units below 1 are ignored.
    void SetLineUnit(int nUnit);
    int GetLineUnit() const { return m_nLineUnit; }

    // One line toward the minimum (maximum); nothing at the range end.
    void LineUp();
    void LineDown();
    // Starts the previous arrow's repeat when hwnd is that arrow.
    BOOL OnPrevButtonDown(HWND hWnd);
    void RecalcLayout();
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
    // Turning a live bar also turns its arrows' captions and parts.
    void SetVertical(BOOL bVertical);
    BOOL IsVertical() const { return m_bVertical; }

    // Part images: the part's button loads it, loses its caption and takes
    // the image's frame size.
    BOOL SetBarImage(LPCTSTR lpszPath);
    BOOL SetPrevImage(LPCTSTR lpszPath);
    BOOL SetNextImage(LPCTSTR lpszPath);
    BOOL SetBarBitmap(UINT nIDResource);
    BOOL SetPrevBitmap(UINT nIDResource);
    BOOL SetNextBitmap(UINT nIDResource);
    // Frames of a part's image; counts below 1 are ignored.
    void SetBarImageBlockCount(int nCount);
    void SetPrevImageBlockCount(int nCount);
    void SetNextImageBlockCount(int nCount);

    CThemeButton* GetThumb() const { return m_pThumb; }
    CThemeButton* GetPrevButton() const { return m_pPrev; }
    CThemeButton* GetNextButton() const { return m_pNext; }
    BOOL IsDragging() const { return m_bDragging; }
    CThemeToolTip& GetToolTip() { return m_toolTip; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnCancelMode();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg LRESULT OnChildDown(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnChildDblClk(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnChildUp(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnChildMove(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // One of the three buttons and its image.
    struct Part {
        UINT bitmapId = 0;
        CString imagePath;
        int blockCount = 4;
        int width = 20;
        int height = 20;
    };

    skin::ScrollSizes Sizes() const;
    skin::TrackAxis Axis() const;
    int PointAlong(CPoint pt) const { return m_bVertical ? pt.y : pt.x; }
    CPoint ThumbToClient(LPARAM lParam) const;
    void ClickTrack(CPoint point);
    void JumpTo(CPoint point);
    void Apply(const skin::RepeatAction& a);
    void StopRepeat();
    CThemeButton* Arrow(WPARAM id) const;
    void SizePartsToBar(int cx, int cy);
    void LabelArrows();
    BOOL SetPartImage(Part& part, CThemeButton* pButton, LPCTSTR lpszPath);
    BOOL SetPartBitmap(Part& part, CThemeButton* pButton, UINT nIDResource);
    void SetPartBlockCount(Part& part, CThemeButton* pButton, int nCount);
    static void PartSizeFromImage(Part& part);
    CThemeButton* MakeButton(UINT nID, const Part& part);
    static void DestroyButton(CThemeButton*& pButton);

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
    int m_nLineUnit = 1;
    BOOL m_bAutoToolTip = FALSE;
    Part m_bar;
    Part m_prev;
    Part m_next;
    BOOL m_bDragging = FALSE;
    CThemeButton* m_pThumb = nullptr;
    CThemeButton* m_pPrev = nullptr;
    CThemeButton* m_pNext = nullptr;
    CThemeToolTip m_toolTip;
};
