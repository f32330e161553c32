// The skinned popup menu host: a hidden child of a dialog that holds a menu
// resource, opens its submenus as owner-drawn popups (CBaseMenu), up to ten
// cascaded levels, closes them when the focus leaves them, keeps the check
// and radio marks of registered items, and hands the chosen command to the
// dialog as WM_COMMAND. A skinned push button with a host attached drops it
// down under itself.
#pragma once

#include <vector>

#include "classlib/afxwin.h"
#include "ThemeClass/BaseMenu.h"
#include "ThemeClass/ThemeMenuLayout.h"
#include "ThemeClass/ThemeSkinId.h"

// The close timer that runs after a popup lost the focus.
#define IDT_MENU_CLOSE 0x0470
// Posted to the host by a click on a command item; the popups are closed
// and the command sent when it arrives, after the popup's click handler has
// returned. wParam: the command id.
#define WM_THEMEMENU_CHOSEN (WM_APP + 0x0470)

using skin::MenuItemRange;

class CThemeMenu : public CWnd, public CThemeSkinId {
public:
    static constexpr int kMaxLevels = skin::kMenuMaxLevels;
    static constexpr UINT kPopupIdBase = 0x1680;
    static constexpr UINT_PTR kCloseDelayMs = 50;

    CThemeMenu();
    ~CThemeMenu() override;

    // Hidden child of a dialog: no class name, no title.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);

    // Replaces the held menu (closing open popups first); FALSE leaves none.
    BOOL LoadMenu(UINT nIDResource);
    void SetSubMenuIndex(short nIndex) { m_nSubMenuIndex = nIndex; }
    short GetSubMenuIndex() const { return m_nSubMenuIndex; }

    // Opens the first popup at (x, y) of the parent's client area.
    void TrackPopup(int x, int y);
    void TrackPopupAt(short nSubMenuIndex, int x, int y);
    // Opens the popup of a level at a screen point, replacing the one there.
    void ShowPopup(int nLevel, int x, int y);
    void CloseAllPopups();

    // Calls from the popups.
    void OpenSubmenu(int nLevel, UINT nID, int nItem, CRect rcItem);
    void OnPopupKillFocus(int nLevel);
    void SetFocusLevel(int nLevel) { m_nFocusLevel = nLevel; }
    void UpdateItemCheck(CMenu* pMenu, UINT nID);
    void OnItemChosen(int nLevel, UINT nID, int nItem);
    CMenu* GetLevelMenu(int nLevel);
    int FindItem(UINT nID) const;
    const std::vector<MenuItemRange>& GetItemTable() const { return m_items; }

    // Check items and radio ranges.
    void AddCheckItem(UINT nID);
    void AddRadioRange(UINT nFirst, UINT nLast);
    BOOL SetItemCheck(UINT nID, BOOL bCheck);
    BOOL IsItemChecked(UINT nID);
    CMenu* GetMenu() { return &m_menu; }

    // The popup of a level (null when closed or out of range) and how many
    // are open.
    CBaseMenu* GetPopup(int nLevel) const;
    int GetOpenCount() const;
    int GetFocusLevel() const { return m_nFocusLevel; }

    // The skin; each setter only stores, popups opened later take it.
    void SetDefaultSkin();
    const ThemeMenuLook& GetLook() const { return m_look; }
    void SetNormalBackColor(COLORREF clr) { m_look.normalBack = clr; }
    void SetHoverBackColor(COLORREF clr) { m_look.hoverBack = clr; }
    void SetPressedBackColor(COLORREF clr) { m_look.pressedBack = clr; }
    void SetFontEnableColor(COLORREF clr) { m_look.fontEnable = clr; }
    void SetFontColor(COLORREF clr) { m_look.fontEnable = clr; }
    void SetFontDisableColor(COLORREF clr) { m_look.fontDisable = clr; }
    void SetBackColor(COLORREF clr) { m_look.back = clr; }
    void SetOutlineLTColor(COLORREF clr) { m_look.outlineLT = clr; }
    void SetOutlineRBColor(COLORREF clr) { m_look.outlineRB = clr; }
    void SetOutlineColor(COLORREF clr) {
        m_look.outlineLT = clr;
        m_look.outlineRB = clr;
    }
    void SetSeperateUpperColor(COLORREF clr) { m_look.separatorUpper = clr; }
    void SetSeperateLowerColor(COLORREF clr) { m_look.separatorLower = clr; }
    void SetItemHeight(int n) { m_look.itemHeight = n; }
    void SetLeftGap(int n) { m_look.leftGap = n; }
    void SetRightGap(int n) { m_look.rightGap = n; }
    void SetSeperateHeight(int n) { m_look.separatorHeight = n; }
    void SetBackThick(int n) { m_look.backThick = n; }
    void SetOutlineThick(int n) { m_look.outlineThick = n; }
    void SetFontSize(int n) { m_look.fontSize = n; }
    void SetItemImageCount(int n) { m_nItemImageCount = n; }
    // Keeps the low byte.
    void SetTransparent(int nAlpha) { m_nTransparent = nAlpha & 0xFF; }
    int GetTransparent() const { return m_nTransparent; }
    BOOL SetItemImage(CString strPath);
    BOOL SetSeperateImage(CString strPath);
    BOOL SetItemBitmap(UINT nIDResource);
    BOOL SetSeperateBitmap(UINT nIDResource);

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnChosen(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void DestroyPopup(int nLevel);

    // Skin block.
    ThemeMenuLook m_look;
    int m_nFocusLevel = -1;
    short m_nSubMenuIndex = 0;
    BOOL m_bItemImage = FALSE;
    BOOL m_bSeperateImage = FALSE;
    CBitmap m_itemImage;
    CBitmap m_seperateImage;
    int m_nItemImageCount = 3;
    int m_nTransparent = 255;

    std::vector<MenuItemRange> m_items;
    CMenu m_menu;
    CBaseMenu* m_popups[kMaxLevels] = {};
    // A chosen command waits in the queue; later clicks are not commands.
    BOOL m_bChoicePending = FALSE;
};
