// One level of a skinned popup menu: a topmost, optionally translucent
// owned popup that draws the items of its level's menu (text, separators,
// check and radio marks, submenu arrows) in the colours, images and font of
// its host, follows the mouse, asks the host to open a submenu after the
// mouse rests on an item, and reports clicks and focus changes to the host.
// The host creates, places, shows and destroys every popup.
#pragma once

#include <vector>

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeMenuLayout.h"

class CThemeMenu;

// The submenu timer of a popup.
#define IDT_SUBMENU_OPEN 1137

// The look a host hands to every popup it opens, in this order.
struct ThemeMenuLook {
    COLORREF normalBack = 0xDCDCDC;
    COLORREF hoverBack = 0xEDD4B2;
    COLORREF pressedBack = 0x0080FF;
    COLORREF fontEnable = 0x000000;
    COLORREF fontDisable = 0x808080;
    COLORREF back = 0xDCDCDC;
    COLORREF outlineLT = 0x808080;
    COLORREF outlineRB = 0x404040;
    COLORREF separatorUpper = 0x808080;
    COLORREF separatorLower = 0x000000;
    int itemHeight = 23;
    int leftGap = 17;
    int rightGap = 13;
    int separatorHeight = 8;
    int backThick = 2;
    int outlineThick = 2;
    int fontSize = 12;
};

class CBaseMenu : public CWnd {
public:
    explicit CBaseMenu(CThemeMenu* pHost);
    ~CBaseMenu() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    void SetLook(const ThemeMenuLook& look) { m_look = look; }
    const ThemeMenuLook& GetLook() const { return m_look; }
    // Stores the level and repaints.
    void SetLevel(int nLevel);
    int GetLevel() const { return m_nLevel; }
    // A shared bitmap of the host; its height becomes the item (separator)
    // height. FALSE, and no image, when the bitmap cannot be described.
    BOOL SetItemImage(CBitmap* pBitmap);
    BOOL SetSeperateImage(CBitmap* pBitmap);
    void SetItemImageCount(int nCount) { m_nItemImageCount = nCount; }
    // Layered with constant alpha; alpha 0 leaves the window as it is.
    BOOL SetAlpha(int nAlpha);

    // This level's menu, asked from the host once; null when it has none.
    CMenu* GetMenu();
    int GetItemCount();
    int HitTest(int x, int y);
    CRect GetItemRect(int nItem);
    CSize CalcSize();
    void FitWindow();
    int MeasureTextWidth(CDC* pDC);
    void ShowItemCount();
    CString GetText() const { return m_strText; }

    int GetHoverIndex() const { return m_nHover; }
    int GetPressedIndex() const { return m_nPressed; }

    // Popups alive in the process, and popup messages being handled right
    // now: what the host must see at zero before it deletes popups.
    static int GetLiveCount();
    static int GetBusyCount();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    afx_msg void OnPaint();
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnDestroy();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    skin::MenuMetrics Metrics() const;
    std::vector<uint32_t> ItemIds();
    CRect ClientRect() const;
    void DrawItems(CDC* pDC, const CRect& rcClient);
    void DrawItemText(CDC* pDC, LPCRECT pRect, int nSize, COLORREF clr, CString strText,
                      BOOL bBold);
    void DrawItemImage(CDC* pDC, const CRect& rcItem, int nState);
    void OpenItemSubmenu(int nItem);
    void PressItem();
    void ReleaseItem();
    void InvalidateItem(int nItem);

    CString m_strText;
    ThemeMenuLook m_look;
    int m_nHover = -1;
    int m_nPressed = -1;
    int m_nTimerItem = -1;
    int m_nLevel = 0;
    CBitmap* m_pItemImage = nullptr;
    CBitmap* m_pSeperateImage = nullptr;
    BOOL m_bItemImage = FALSE;
    BOOL m_bSeperateImage = FALSE;
    int m_nItemImageCount = 3;
    // The menu handle, kept rather than a wrapper: the class library frees
    // its temporary wrappers whenever the message loop idles.
    HMENU m_hMenu = nullptr;
    BOOL m_bMenuAsked = FALSE;
    CThemeMenu* m_pHost;
};
