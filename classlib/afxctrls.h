// Wrappers of the system controls and of menus. The owner-drawn controls
// receive the parent's WM_DRAWITEM/WM_MEASUREITEM (and list compare/delete)
// in their virtual DrawItem/MeasureItem/CompareItem/DeleteItem.
#pragma once

class CMenu {
public:
    HMENU m_hMenu;

    CMenu() : m_hMenu(nullptr) {}
    virtual ~CMenu() { DestroyMenu(); }

    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    static CMenu* FromHandle(HMENU hMenu);

    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    BOOL DestroyMenu();
    BOOL CreateMenu() { return Attach(::CreateMenu()); }
    BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
    BOOL LoadMenu(LPCTSTR lpszResourceName);
    BOOL LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEA(nIDResource)); }

    CMenu* GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
    UINT GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
    int GetMenuString(UINT nIDItem, LPTSTR lpString, int nMaxCount, UINT nFlags) const {
        return ::GetMenuStringA(m_hMenu, nIDItem, lpString, nMaxCount, nFlags);
    }
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    BOOL GetMenuItemInfo(UINT uItem, LPMENUITEMINFOA lpMenuItemInfo, BOOL fByPos = FALSE) const {
        return ::GetMenuItemInfoA(m_hMenu, uItem, fByPos, lpMenuItemInfo);
    }
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr) {
        return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
    }
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0,
                    LPCTSTR lpszNewItem = nullptr) {
        return ::InsertMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
    }
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0,
                    LPCTSTR lpszNewItem = nullptr) {
        return ::ModifyMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
    }
    BOOL RemoveMenu(UINT nPosition, UINT nFlags) {
        return ::RemoveMenu(m_hMenu, nPosition, nFlags);
    }
    BOOL DeleteMenu(UINT nPosition, UINT nFlags) {
        return ::DeleteMenu(m_hMenu, nPosition, nFlags);
    }
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck) {
        return (UINT)::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck);
    }
    BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags) {
        return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags);
    }
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable) {
        return (UINT)::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable);
    }
    // Returns the command chosen with TPM_RETURNCMD, else nonzero on success.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);

private:
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
};

class CScrollBar : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
        return CWnd::Create("SCROLLBAR", nullptr, dwStyle, rect, pParentWnd, nID);
    }
    int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
    int SetScrollPos(int nPos, BOOL bRedraw = TRUE) {
        return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw);
    }
    void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE) {
        ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw);
    }
    BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE) {
        return ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw);
    }
    BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo) {
        return ::GetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo);
    }
};

class CButton : public CWnd {
public:
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
        return CWnd::Create("BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
    }
    UINT GetState() const { return (UINT)::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0); }
    void SetState(BOOL bHighlight) { ::SendMessageA(m_hWnd, BM_SETSTATE, bHighlight, 0); }
    int GetCheck() const { return (int)::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0); }
    void SetCheck(int nCheck) { ::SendMessageA(m_hWnd, BM_SETCHECK, (WPARAM)nCheck, 0); }
    UINT GetButtonStyle() const { return (UINT)GetStyle() & 0xFFFF; }
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) {
        ::SendMessageA(m_hWnd, BM_SETSTYLE, nStyle, bRedraw);
    }
    HBITMAP SetBitmap(HBITMAP hBitmap) {
        return (HBITMAP)::SendMessageA(m_hWnd, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap);
    }
    HBITMAP GetBitmap() const {
        return (HBITMAP)::SendMessageA(m_hWnd, BM_GETIMAGE, IMAGE_BITMAP, 0);
    }
    HICON SetIcon(HICON hIcon) {
        return (HICON)::SendMessageA(m_hWnd, BM_SETIMAGE, IMAGE_ICON, (LPARAM)hIcon);
    }
    // Owner-drawn buttons paint here.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CStatic : public CWnd {
public:
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID = 0xffff) {
        return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
    }
    HBITMAP SetBitmap(HBITMAP hBitmap) {
        return (HBITMAP)::SendMessageA(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap);
    }
    HBITMAP GetBitmap() const {
        return (HBITMAP)::SendMessageA(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0);
    }
    HICON SetIcon(HICON hIcon) {
        return (HICON)::SendMessageA(m_hWnd, STM_SETIMAGE, IMAGE_ICON, (LPARAM)hIcon);
    }
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CEdit : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
        return CWnd::Create("EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
    }
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE) {
        ::SendMessageA(m_hWnd, EM_SETSEL, (WPARAM)nStartChar, (LPARAM)nEndChar);
        if (!bNoScroll) ::SendMessageA(m_hWnd, EM_SCROLLCARET, 0, 0);
    }
    void GetSel(int& nStartChar, int& nEndChar) const {
        DWORD s = 0, e = 0;
        ::SendMessageA(m_hWnd, EM_GETSEL, (WPARAM)&s, (LPARAM)&e);
        nStartChar = (int)s;
        nEndChar = (int)e;
    }
    DWORD GetSel() const { return (DWORD)::SendMessageA(m_hWnd, EM_GETSEL, 0, 0); }
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) {
        ::SendMessageA(m_hWnd, EM_REPLACESEL, bCanUndo, (LPARAM)lpszNewText);
    }
    void LimitText(int nChars = 0) { ::SendMessageA(m_hWnd, EM_LIMITTEXT, (WPARAM)nChars, 0); }
    void SetLimitText(UINT nMax) { ::SendMessageA(m_hWnd, EM_SETLIMITTEXT, nMax, 0); }
    UINT GetLimitText() const { return (UINT)::SendMessageA(m_hWnd, EM_GETLIMITTEXT, 0, 0); }
    int GetLineCount() const { return (int)::SendMessageA(m_hWnd, EM_GETLINECOUNT, 0, 0); }
    BOOL GetModify() const { return (BOOL)::SendMessageA(m_hWnd, EM_GETMODIFY, 0, 0); }
    void SetModify(BOOL bModified = TRUE) { ::SendMessageA(m_hWnd, EM_SETMODIFY, bModified, 0); }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE) {
        return (BOOL)::SendMessageA(m_hWnd, EM_SETREADONLY, bReadOnly, 0);
    }
    void SetPasswordChar(TCHAR ch) { ::SendMessageA(m_hWnd, EM_SETPASSWORDCHAR, (BYTE)ch, 0); }
    void SetMargins(UINT nLeft, UINT nRight) {
        ::SendMessageA(m_hWnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                       MAKELONG(nLeft, nRight));
    }
    void SetRect(LPCRECT lpRect) { ::SendMessageA(m_hWnd, EM_SETRECT, 0, (LPARAM)lpRect); }
    void GetRect(LPRECT lpRect) const { ::SendMessageA(m_hWnd, EM_GETRECT, 0, (LPARAM)lpRect); }
    int LineFromChar(int nIndex = -1) const {
        return (int)::SendMessageA(m_hWnd, EM_LINEFROMCHAR, (WPARAM)nIndex, 0);
    }
    BOOL CanUndo() const { return (BOOL)::SendMessageA(m_hWnd, EM_CANUNDO, 0, 0); }
    BOOL Undo() { return (BOOL)::SendMessageA(m_hWnd, EM_UNDO, 0, 0); }
    void Clear() { ::SendMessageA(m_hWnd, WM_CLEAR, 0, 0); }
    void Copy() { ::SendMessageA(m_hWnd, WM_COPY, 0, 0); }
    void Cut() { ::SendMessageA(m_hWnd, WM_CUT, 0, 0); }
    void Paste() { ::SendMessageA(m_hWnd, WM_PASTE, 0, 0); }
};

class CListBox : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
        return CWnd::Create("LISTBOX", nullptr, dwStyle, rect, pParentWnd, nID);
    }
    int GetCount() const { return (int)::SendMessageA(m_hWnd, LB_GETCOUNT, 0, 0); }
    int GetCurSel() const { return (int)::SendMessageA(m_hWnd, LB_GETCURSEL, 0, 0); }
    int SetCurSel(int nSelect) {
        return (int)::SendMessageA(m_hWnd, LB_SETCURSEL, (WPARAM)nSelect, 0);
    }
    int GetSel(int nIndex) const {
        return (int)::SendMessageA(m_hWnd, LB_GETSEL, (WPARAM)nIndex, 0);
    }
    int SetSel(int nIndex, BOOL bSelect = TRUE) {
        return (int)::SendMessageA(m_hWnd, LB_SETSEL, bSelect, nIndex);
    }
    int GetSelCount() const { return (int)::SendMessageA(m_hWnd, LB_GETSELCOUNT, 0, 0); }
    int GetTopIndex() const { return (int)::SendMessageA(m_hWnd, LB_GETTOPINDEX, 0, 0); }
    int SetTopIndex(int nIndex) {
        return (int)::SendMessageA(m_hWnd, LB_SETTOPINDEX, (WPARAM)nIndex, 0);
    }
    int GetCaretIndex() const { return (int)::SendMessageA(m_hWnd, LB_GETCARETINDEX, 0, 0); }
    int SetCaretIndex(int nIndex, BOOL bScroll = TRUE) {
        return (int)::SendMessageA(m_hWnd, LB_SETCARETINDEX, (WPARAM)nIndex, bScroll);
    }
    DWORD_PTR GetItemData(int nIndex) const {
        return (DWORD_PTR)::SendMessageA(m_hWnd, LB_GETITEMDATA, (WPARAM)nIndex, 0);
    }
    int SetItemData(int nIndex, DWORD_PTR dwItemData) {
        return (int)::SendMessageA(m_hWnd, LB_SETITEMDATA, (WPARAM)nIndex, (LPARAM)dwItemData);
    }
    void* GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }
    int GetItemRect(int nIndex, LPRECT lpRect) const {
        return (int)::SendMessageA(m_hWnd, LB_GETITEMRECT, (WPARAM)nIndex, (LPARAM)lpRect);
    }
    int GetItemHeight(int nIndex) const {
        return (int)::SendMessageA(m_hWnd, LB_GETITEMHEIGHT, (WPARAM)nIndex, 0);
    }
    int SetItemHeight(int nIndex, UINT cyItemHeight) {
        return (int)::SendMessageA(m_hWnd, LB_SETITEMHEIGHT, (WPARAM)nIndex,
                                   MAKELONG(cyItemHeight, 0));
    }
    int GetText(int nIndex, LPTSTR lpszBuffer) const {
        return (int)::SendMessageA(m_hWnd, LB_GETTEXT, (WPARAM)nIndex, (LPARAM)lpszBuffer);
    }
    void GetText(int nIndex, CString& rString) const;
    int GetTextLen(int nIndex) const {
        return (int)::SendMessageA(m_hWnd, LB_GETTEXTLEN, (WPARAM)nIndex, 0);
    }
    int AddString(LPCTSTR lpszItem) {
        return (int)::SendMessageA(m_hWnd, LB_ADDSTRING, 0, (LPARAM)lpszItem);
    }
    int InsertString(int nIndex, LPCTSTR lpszItem) {
        return (int)::SendMessageA(m_hWnd, LB_INSERTSTRING, (WPARAM)nIndex, (LPARAM)lpszItem);
    }
    int DeleteString(UINT nIndex) {
        return (int)::SendMessageA(m_hWnd, LB_DELETESTRING, nIndex, 0);
    }
    void ResetContent() { ::SendMessageA(m_hWnd, LB_RESETCONTENT, 0, 0); }
    int FindString(int nStartAfter, LPCTSTR lpszItem) const {
        return (int)::SendMessageA(m_hWnd, LB_FINDSTRING, (WPARAM)nStartAfter, (LPARAM)lpszItem);
    }
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
        return (int)::SendMessageA(m_hWnd, LB_FINDSTRINGEXACT, (WPARAM)nIndexStart,
                                   (LPARAM)lpszFind);
    }
    int SelectString(int nStartAfter, LPCTSTR lpszItem) {
        return (int)::SendMessageA(m_hWnd, LB_SELECTSTRING, (WPARAM)nStartAfter, (LPARAM)lpszItem);
    }
    // Index of the item nearest the point; bOutside is set when the point
    // is not over an item.
    UINT ItemFromPoint(CPoint pt, BOOL& bOutside) const;

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
    virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CComboBox : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
        return CWnd::Create("COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
    }
    int GetCount() const { return (int)::SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0); }
    int GetCurSel() const { return (int)::SendMessageA(m_hWnd, CB_GETCURSEL, 0, 0); }
    int SetCurSel(int nSelect) {
        return (int)::SendMessageA(m_hWnd, CB_SETCURSEL, (WPARAM)nSelect, 0);
    }
    DWORD_PTR GetItemData(int nIndex) const {
        return (DWORD_PTR)::SendMessageA(m_hWnd, CB_GETITEMDATA, (WPARAM)nIndex, 0);
    }
    int SetItemData(int nIndex, DWORD_PTR dwItemData) {
        return (int)::SendMessageA(m_hWnd, CB_SETITEMDATA, (WPARAM)nIndex, (LPARAM)dwItemData);
    }
    int GetLBText(int nIndex, LPTSTR lpszText) const {
        return (int)::SendMessageA(m_hWnd, CB_GETLBTEXT, (WPARAM)nIndex, (LPARAM)lpszText);
    }
    void GetLBText(int nIndex, CString& rString) const;
    int GetLBTextLen(int nIndex) const {
        return (int)::SendMessageA(m_hWnd, CB_GETLBTEXTLEN, (WPARAM)nIndex, 0);
    }
    int AddString(LPCTSTR lpszString) {
        return (int)::SendMessageA(m_hWnd, CB_ADDSTRING, 0, (LPARAM)lpszString);
    }
    int InsertString(int nIndex, LPCTSTR lpszString) {
        return (int)::SendMessageA(m_hWnd, CB_INSERTSTRING, (WPARAM)nIndex, (LPARAM)lpszString);
    }
    int DeleteString(UINT nIndex) {
        return (int)::SendMessageA(m_hWnd, CB_DELETESTRING, nIndex, 0);
    }
    void ResetContent() { ::SendMessageA(m_hWnd, CB_RESETCONTENT, 0, 0); }
    int FindString(int nStartAfter, LPCTSTR lpszString) const {
        return (int)::SendMessageA(m_hWnd, CB_FINDSTRING, (WPARAM)nStartAfter, (LPARAM)lpszString);
    }
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
        return (int)::SendMessageA(m_hWnd, CB_FINDSTRINGEXACT, (WPARAM)nIndexStart,
                                   (LPARAM)lpszFind);
    }
    int SelectString(int nStartAfter, LPCTSTR lpszString) {
        return (int)::SendMessageA(m_hWnd, CB_SELECTSTRING, (WPARAM)nStartAfter,
                                   (LPARAM)lpszString);
    }
    void ShowDropDown(BOOL bShowIt = TRUE) { ::SendMessageA(m_hWnd, CB_SHOWDROPDOWN, bShowIt, 0); }
    BOOL GetDroppedState() const { return (BOOL)::SendMessageA(m_hWnd, CB_GETDROPPEDSTATE, 0, 0); }
    void GetDroppedControlRect(LPRECT lprect) const {
        ::SendMessageA(m_hWnd, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)lprect);
    }
    int GetItemHeight(int nIndex) const {
        return (int)::SendMessageA(m_hWnd, CB_GETITEMHEIGHT, (WPARAM)nIndex, 0);
    }
    int SetItemHeight(int nIndex, UINT cyItemHeight) {
        return (int)::SendMessageA(m_hWnd, CB_SETITEMHEIGHT, (WPARAM)nIndex, cyItemHeight);
    }
    DWORD GetEditSel() const { return (DWORD)::SendMessageA(m_hWnd, CB_GETEDITSEL, 0, 0); }
    BOOL SetEditSel(int nStartChar, int nEndChar) {
        return (BOOL)::SendMessageA(m_hWnd, CB_SETEDITSEL, 0, MAKELONG(nStartChar, nEndChar));
    }
    BOOL LimitText(int nMaxChars) {
        return (BOOL)::SendMessageA(m_hWnd, CB_LIMITTEXT, (WPARAM)nMaxChars, 0);
    }
    int SetDroppedWidth(UINT nWidth) {
        return (int)::SendMessageA(m_hWnd, CB_SETDROPPEDWIDTH, nWidth, 0);
    }
    int GetDroppedWidth() const { return (int)::SendMessageA(m_hWnd, CB_GETDROPPEDWIDTH, 0, 0); }
    void SetHorizontalExtent(UINT nExtent) {
        ::SendMessageA(m_hWnd, CB_SETHORIZONTALEXTENT, nExtent, 0);
    }

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
    virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CHeaderCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
        return CWnd::Create(WC_HEADERA, nullptr, dwStyle, rect, pParentWnd, nID);
    }
    int GetItemCount() const { return (int)::SendMessageA(m_hWnd, HDM_GETITEMCOUNT, 0, 0); }
    BOOL GetItem(int nPos, HDITEMA* pHeaderItem) const {
        return (BOOL)::SendMessageA(m_hWnd, HDM_GETITEMA, (WPARAM)nPos, (LPARAM)pHeaderItem);
    }
    BOOL SetItem(int nPos, HDITEMA* pHeaderItem) {
        return (BOOL)::SendMessageA(m_hWnd, HDM_SETITEMA, (WPARAM)nPos, (LPARAM)pHeaderItem);
    }
    int InsertItem(int nPos, HDITEMA* phdi) {
        return (int)::SendMessageA(m_hWnd, HDM_INSERTITEMA, (WPARAM)nPos, (LPARAM)phdi);
    }
    BOOL DeleteItem(int nPos) {
        return (BOOL)::SendMessageA(m_hWnd, HDM_DELETEITEM, (WPARAM)nPos, 0);
    }
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const {
        return (BOOL)::SendMessageA(m_hWnd, HDM_GETITEMRECT, (WPARAM)nIndex, (LPARAM)lpRect);
    }
    BOOL Layout(HDLAYOUT* pHeaderLayout) {
        return (BOOL)::SendMessageA(m_hWnd, HDM_LAYOUT, 0, (LPARAM)pHeaderLayout);
    }
    int HitTest(LPHDHITTESTINFO pHeaderHitTestInfo) {
        return (int)::SendMessageA(m_hWnd, HDM_HITTEST, 0, (LPARAM)pHeaderHitTestInfo);
    }
    int OrderToIndex(int nOrder) const {
        return (int)::SendMessageA(m_hWnd, HDM_ORDERTOINDEX, (WPARAM)nOrder, 0);
    }
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CListCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
        return CWnd::Create(WC_LISTVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
    }
    CHeaderCtrl* GetHeaderCtrl() const {
        return (CHeaderCtrl*)CWnd::FromHandle((HWND)::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    }
    DWORD GetExtendedStyle() const {
        return (DWORD)::SendMessageA(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    }
    DWORD SetExtendedStyle(DWORD dwNewStyle) {
        return (DWORD)::SendMessageA(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, (LPARAM)dwNewStyle);
    }
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT,
                     int nWidth = -1, int nSubItem = -1);
    int InsertColumn(int nCol, const LVCOLUMNA* pColumn) {
        return (int)::SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, (WPARAM)nCol, (LPARAM)pColumn);
    }
    BOOL DeleteColumn(int nCol) {
        return (BOOL)::SendMessageA(m_hWnd, LVM_DELETECOLUMN, (WPARAM)nCol, 0);
    }
    BOOL GetColumn(int nCol, LVCOLUMNA* pColumn) const {
        return (BOOL)::SendMessageA(m_hWnd, LVM_GETCOLUMNA, (WPARAM)nCol, (LPARAM)pColumn);
    }
    BOOL SetColumn(int nCol, const LVCOLUMNA* pColumn) {
        return (BOOL)::SendMessageA(m_hWnd, LVM_SETCOLUMNA, (WPARAM)nCol, (LPARAM)pColumn);
    }
    int GetColumnWidth(int nCol) const {
        return (int)::SendMessageA(m_hWnd, LVM_GETCOLUMNWIDTH, (WPARAM)nCol, 0);
    }
    BOOL SetColumnWidth(int nCol, int cx) {
        return (BOOL)::SendMessageA(m_hWnd, LVM_SETCOLUMNWIDTH, (WPARAM)nCol, MAKELPARAM(cx, 0));
    }
    int GetItemCount() const { return (int)::SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0); }
    int InsertItem(int nItem, LPCTSTR lpszItem);
    int InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask,
                   int nImage, LPARAM lParam);
    int InsertItem(const LVITEMA* pItem) {
        return (int)::SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, (LPARAM)pItem);
    }
    BOOL DeleteItem(int nItem) {
        return (BOOL)::SendMessageA(m_hWnd, LVM_DELETEITEM, (WPARAM)nItem, 0);
    }
    BOOL DeleteAllItems() { return (BOOL)::SendMessageA(m_hWnd, LVM_DELETEALLITEMS, 0, 0); }
    BOOL GetItem(LVITEMA* pItem) const {
        return (BOOL)::SendMessageA(m_hWnd, LVM_GETITEMA, 0, (LPARAM)pItem);
    }
    BOOL SetItem(const LVITEMA* pItem) {
        return (BOOL)::SendMessageA(m_hWnd, LVM_SETITEMA, 0, (LPARAM)pItem);
    }
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
    CString GetItemText(int nItem, int nSubItem) const;
    int GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const;
    DWORD_PTR GetItemData(int nItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    UINT GetItemState(int nItem, UINT nMask) const {
        return (UINT)::SendMessageA(m_hWnd, LVM_GETITEMSTATE, (WPARAM)nItem, (LPARAM)nMask);
    }
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    int GetNextItem(int nItem, int nFlags) const {
        return (int)::SendMessageA(m_hWnd, LVM_GETNEXTITEM, (WPARAM)nItem, MAKELPARAM(nFlags, 0));
    }
    UINT GetSelectedCount() const {
        return (UINT)::SendMessageA(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0);
    }
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const {
        lpRect->left = (LONG)nCode;
        return (BOOL)::SendMessageA(m_hWnd, LVM_GETITEMRECT, (WPARAM)nItem, (LPARAM)lpRect);
    }
    BOOL GetSubItemRect(int iItem, int iSubItem, int nArea, RECT& ref) const {
        ref.top = iSubItem;
        ref.left = nArea;
        return (BOOL)::SendMessageA(m_hWnd, LVM_GETSUBITEMRECT, (WPARAM)iItem, (LPARAM)&ref);
    }
    int HitTest(LVHITTESTINFO* pHitTestInfo) const {
        return (int)::SendMessageA(m_hWnd, LVM_HITTEST, 0, (LPARAM)pHitTestInfo);
    }
    int HitTest(CPoint pt, UINT* pFlags = nullptr) const;
    int SubItemHitTest(LVHITTESTINFO* pInfo) {
        return (int)::SendMessageA(m_hWnd, LVM_SUBITEMHITTEST, 0, (LPARAM)pInfo);
    }
    BOOL EnsureVisible(int nItem, BOOL bPartialOK) {
        return (BOOL)::SendMessageA(m_hWnd, LVM_ENSUREVISIBLE, (WPARAM)nItem, bPartialOK);
    }
    int GetSelectionMark() const { return (int)::SendMessageA(m_hWnd, LVM_GETSELECTIONMARK, 0, 0); }
    int SetSelectionMark(int iIndex) {
        return (int)::SendMessageA(m_hWnd, LVM_SETSELECTIONMARK, 0, (LPARAM)iIndex);
    }
    // Arranges the view again (report view: re-measures the rows).
    BOOL Update(int nItem) { return (BOOL)::SendMessageA(m_hWnd, LVM_UPDATE, (WPARAM)nItem, 0); }
    int GetTopIndex() const { return (int)::SendMessageA(m_hWnd, LVM_GETTOPINDEX, 0, 0); }
    int GetCountPerPage() const { return (int)::SendMessageA(m_hWnd, LVM_GETCOUNTPERPAGE, 0, 0); }
    BOOL SetBkColor(COLORREF cr) { return (BOOL)::SendMessageA(m_hWnd, LVM_SETBKCOLOR, 0, cr); }
    BOOL SetTextColor(COLORREF cr) { return (BOOL)::SendMessageA(m_hWnd, LVM_SETTEXTCOLOR, 0, cr); }
    BOOL SetTextBkColor(COLORREF cr) {
        return (BOOL)::SendMessageA(m_hWnd, LVM_SETTEXTBKCOLOR, 0, cr);
    }
    BOOL RedrawItems(int nFirst, int nLast) {
        return (BOOL)::SendMessageA(m_hWnd, LVM_REDRAWITEMS, (WPARAM)nFirst, (LPARAM)nLast);
    }
    BOOL Scroll(CSize size) {
        return (BOOL)::SendMessageA(m_hWnd, LVM_SCROLL, (WPARAM)size.cx, (LPARAM)size.cy);
    }
    BOOL SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData) {
        return (BOOL)::SendMessageA(m_hWnd, LVM_SORTITEMS, (WPARAM)dwData, (LPARAM)pfnCompare);
    }

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CToolTipCtrl : public CWnd {
public:
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACKA, LPCRECT lpRectTool = nullptr,
                 UINT_PTR nIDTool = 0);
    BOOL AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
    void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
    void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    BOOL GetToolInfo(TTTOOLINFOA* pToolInfo, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
    int GetToolCount() const { return (int)::SendMessageA(m_hWnd, TTM_GETTOOLCOUNT, 0, 0); }
    void RelayEvent(LPMSG lpMsg) { ::SendMessageA(m_hWnd, TTM_RELAYEVENT, 0, (LPARAM)lpMsg); }
    int SetMaxTipWidth(int iWidth) {
        return (int)::SendMessageA(m_hWnd, TTM_SETMAXTIPWIDTH, 0, (LPARAM)iWidth);
    }
    int GetMaxTipWidth() const { return (int)::SendMessageA(m_hWnd, TTM_GETMAXTIPWIDTH, 0, 0); }
    void SetDelayTime(UINT nDelay) {
        ::SendMessageA(m_hWnd, TTM_SETDELAYTIME, TTDT_AUTOMATIC, (LPARAM)nDelay);
    }
    void SetDelayTime(DWORD dwDuration, int iTime) {
        ::SendMessageA(m_hWnd, TTM_SETDELAYTIME, dwDuration, MAKELPARAM(iTime, 0));
    }
    int GetDelayTime(DWORD dwDuration) const {
        return (int)::SendMessageA(m_hWnd, TTM_GETDELAYTIME, dwDuration, 0);
    }
    void Activate(BOOL bActivate) { ::SendMessageA(m_hWnd, TTM_ACTIVATE, bActivate, 0); }
    void SetMargin(LPRECT lprc) { ::SendMessageA(m_hWnd, TTM_SETMARGIN, 0, (LPARAM)lprc); }
    void GetMargin(LPRECT lprc) const { ::SendMessageA(m_hWnd, TTM_GETMARGIN, 0, (LPARAM)lprc); }
    void SetTipBkColor(COLORREF clr) { ::SendMessageA(m_hWnd, TTM_SETTIPBKCOLOR, clr, 0); }
    void SetTipTextColor(COLORREF clr) { ::SendMessageA(m_hWnd, TTM_SETTIPTEXTCOLOR, clr, 0); }
    void Pop() { ::SendMessageA(m_hWnd, TTM_POP, 0, 0); }
    void Update() { ::SendMessageA(m_hWnd, TTM_UPDATE, 0, 0); }

protected:
    void FillInToolInfo(TTTOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const;
};

// A list of same-size images with an optional mask, over the common
// controls' image list. The object owns the list it created or attached and
// destroys it with itself.
class CImageList {
public:
    HIMAGELIST m_hImageList = nullptr;

    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    // Images of cx x cy; nFlags is ILC_COLORxx, with ILC_MASK for a mask.
    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    BOOL Attach(HIMAGELIST hImageList);
    HIMAGELIST Detach();
    BOOL DeleteImageList();

    int GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }
    BOOL GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const {
        return m_hImageList && ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo);
    }
    // The size of one image; (0, 0) without a list.
    CSize GetIconSize() const;

    // Appends the bitmap cut into images of the list's width; pixels of
    // crMask become the mask. Returns the index of the first new image or -1.
    int Add(CBitmap* pbmImage, COLORREF crMask);
    int Add(CBitmap* pbmImage, CBitmap* pbmMask);
    BOOL Remove(int nImage) { return m_hImageList && ImageList_Remove(m_hImageList, nImage); }
    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) const;
};
