// Control wrappers and menus.
#include "afximpl.h"

// --- Menus ------------------------------------------------------------------------

CMenu* CMenu::FromHandle(HMENU hMenu) { return AfxGetThreadState()->tempMenus.GetOrCreate(hMenu); }

BOOL CMenu::Attach(HMENU hMenu) {
    if (!hMenu || m_hMenu) return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU h = m_hMenu;
    m_hMenu = nullptr;
    return h;
}

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu) return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName) {
    return Attach(::LoadMenuA(AfxGetResourceHandle(), lpszResourceName));
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
    rString.Empty();
    int n = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (n <= 0) return 0;
    ::GetMenuStringA(m_hMenu, nIDItem, rString.GetBufferSetLength(n), n + 1, nFlags);
    rString.ReleaseBuffer();
    return rString.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd ? pWnd->m_hWnd : nullptr, lpRect);
}

// --- Owner-drawn controls -----------------------------------------------------

namespace {

// The parent's owner-draw messages, handed back to the control: its map
// (the *_REFLECT entries) first, then its virtual members.
template <class T>
BOOL OwnerDrawNotify(T* pCtl, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (pCtl->ReflectChildNotify(message, wParam, lParam, pResult)) return TRUE;
    switch (message) {
        case WM_DRAWITEM:
            pCtl->DrawItem((LPDRAWITEMSTRUCT)lParam);
            *pResult = TRUE;
            return TRUE;
        default: return FALSE;
    }
}

template <class T>
BOOL ListItemNotify(T* pCtl, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (pCtl->ReflectChildNotify(message, wParam, lParam, pResult)) return TRUE;
    switch (message) {
        case WM_DRAWITEM:
            pCtl->DrawItem((LPDRAWITEMSTRUCT)lParam);
            *pResult = TRUE;
            return TRUE;
        case WM_MEASUREITEM:
            pCtl->MeasureItem((LPMEASUREITEMSTRUCT)lParam);
            *pResult = TRUE;
            return TRUE;
        case WM_COMPAREITEM: *pResult = pCtl->CompareItem((LPCOMPAREITEMSTRUCT)lParam); return TRUE;
        case WM_DELETEITEM:
            pCtl->DeleteItem((LPDELETEITEMSTRUCT)lParam);
            *pResult = TRUE;
            return TRUE;
        default: return FALSE;
    }
}

}  // namespace

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}
BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return OwnerDrawNotify(this, message, wParam, lParam, pResult);
}

void CStatic::DrawItem(LPDRAWITEMSTRUCT) {}
BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return OwnerDrawNotify(this, message, wParam, lParam, pResult);
}

void CHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT) {}
BOOL CHeaderCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return OwnerDrawNotify(this, message, wParam, lParam, pResult);
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CListBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CListBox::DeleteItem(LPDELETEITEMSTRUCT) {}
BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return ListItemNotify(this, message, wParam, lParam, pResult);
}

void CListBox::GetText(int nIndex, CString& rString) const {
    rString.Empty();
    int n = GetTextLen(nIndex);
    if (n <= 0) return;
    GetText(nIndex, rString.GetBufferSetLength(n));
    rString.ReleaseBuffer();
}

UINT CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const {
    DWORD r = (DWORD)::SendMessageA(m_hWnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
    bOutside = HIWORD(r) != 0;
    return LOWORD(r);
}

void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CComboBox::DeleteItem(LPDELETEITEMSTRUCT) {}
BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return ListItemNotify(this, message, wParam, lParam, pResult);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
    rString.Empty();
    int n = GetLBTextLen(nIndex);
    if (n <= 0) return;
    GetLBText(nIndex, rString.GetBufferSetLength(n));
    rString.ReleaseBuffer();
}

// --- List view ----------------------------------------------------------------

void CListCtrl::DrawItem(LPDRAWITEMSTRUCT) {}
void CListCtrl::MeasureItem(LPMEASUREITEMSTRUCT) {}
BOOL CListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (ReflectChildNotify(message, wParam, lParam, pResult)) return TRUE;
    if (message == WM_DRAWITEM) {
        DrawItem((LPDRAWITEMSTRUCT)lParam);
        *pResult = TRUE;
        return TRUE;
    }
    if (message == WM_MEASUREITEM) {
        MeasureItem((LPMEASUREITEMSTRUCT)lParam);
        *pResult = TRUE;
        return TRUE;
    }
    return FALSE;
}

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth,
                            int nSubItem) {
    LVCOLUMNA col = {};
    col.mask = LVCF_FMT | LVCF_TEXT;
    col.fmt = nFormat;
    col.pszText = (LPSTR)lpszColumnHeading;
    if (nWidth != -1) {
        col.mask |= LVCF_WIDTH;
        col.cx = nWidth;
    }
    if (nSubItem != -1) {
        col.mask |= LVCF_SUBITEM;
        col.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &col);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = nItem;
    item.pszText = (LPSTR)lpszItem;
    return InsertItem(&item);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask,
                          int nImage, LPARAM lParam) {
    LVITEMA item = {};
    item.mask = nMask;
    item.iItem = nItem;
    item.pszText = (LPSTR)lpszItem;
    item.state = nState;
    item.stateMask = nStateMask;
    item.iImage = nImage;
    item.lParam = lParam;
    return InsertItem(&item);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText) {
    LVITEMA item = {};
    item.iSubItem = nSubItem;
    item.pszText = (LPSTR)lpszText;
    return (BOOL)::SendMessageA(m_hWnd, LVM_SETITEMTEXTA, (WPARAM)nItem, (LPARAM)&item);
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const {
    LVITEMA item = {};
    item.iSubItem = nSubItem;
    item.pszText = lpszText;
    item.cchTextMax = nLen;
    return (int)::SendMessageA(m_hWnd, LVM_GETITEMTEXTA, (WPARAM)nItem, (LPARAM)&item);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
    CString s;
    // The control answers with the length copied; grow until it fits.
    for (int nLen = 256;; nLen *= 2) {
        int n = GetItemText(nItem, nSubItem, s.GetBufferSetLength(nLen), nLen + 1);
        s.ReleaseBuffer(n < 0 ? 0 : n);
        if (n < nLen - 1 || nLen >= (1 << 20)) break;
    }
    return s;
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    GetItem(&item);
    return (DWORD_PTR)item.lParam;
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    item.lParam = (LPARAM)dwData;
    return SetItem(&item);
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    LVITEMA item = {};
    item.state = nState;
    item.stateMask = nMask;
    return (BOOL)::SendMessageA(m_hWnd, LVM_SETITEMSTATE, (WPARAM)nItem, (LPARAM)&item);
}

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const {
    LVHITTESTINFO hti = {};
    hti.pt.x = pt.x;
    hti.pt.y = pt.y;
    int n = HitTest(&hti);
    if (pFlags) *pFlags = hti.flags;
    return n;
}

// --- Tool tips ------------------------------------------------------------------

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
    return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    nullptr);
}

// A tool is a window (id 0: the window itself) or an id inside a window.
void CToolTipCtrl::FillInToolInfo(TTTOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const {
    ti = TTTOOLINFOA{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    if (nIDTool == 0) {
        ti.hwnd = ::GetParent(pWnd->m_hWnd);
        ti.uFlags = TTF_IDISHWND;
        ti.uId = (UINT_PTR)pWnd->m_hWnd;
    } else {
        ti.hwnd = pWnd->m_hWnd;
        ti.uId = nIDTool;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (lpRectTool)
        ti.rect = *lpRectTool;
    else if (nIDTool != 0)
        ::GetClientRect(pWnd->m_hWnd, &ti.rect);
    ti.lpszText = (LPSTR)lpszText;
    return (BOOL)::SendMessageA(m_hWnd, TTM_ADDTOOLA, 0, (LPARAM)&ti);
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
    CString s;
    s.LoadString(nIDText);
    return AddTool(pWnd, s, lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool) {
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ::SendMessageA(m_hWnd, TTM_DELTOOLA, 0, (LPARAM)&ti);
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.lpszText = (LPSTR)lpszText;
    ::SendMessageA(m_hWnd, TTM_UPDATETIPTEXTA, 0, (LPARAM)&ti);
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const {
    const int kMax = 4096;
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.lpszText = str.GetBufferSetLength(kMax);
    ti.lpszText[0] = '\0';
    ::SendMessageA(m_hWnd, TTM_GETTEXTA, kMax, (LPARAM)&ti);
    str.ReleaseBuffer();
}

BOOL CToolTipCtrl::GetToolInfo(TTTOOLINFOA* pToolInfo, CWnd* pWnd, UINT_PTR nIDTool) const {
    FillInToolInfo(*pToolInfo, pWnd, nIDTool);
    pToolInfo->lpszText = nullptr;
    return (BOOL)::SendMessageA(m_hWnd, TTM_GETTOOLINFOA, 0, (LPARAM)pToolInfo);
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) {
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.rect = *lpRect;
    ::SendMessageA(m_hWnd, TTM_NEWTOOLRECTA, 0, (LPARAM)&ti);
}

// --- Image list -------------------------------------------------------------

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
    if (m_hImageList || cx <= 0 || cy <= 0) return FALSE;
    AfxInitCommonControls();
    m_hImageList = ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
    return m_hImageList != nullptr;
}

BOOL CImageList::Attach(HIMAGELIST hImageList) {
    if (m_hImageList || !hImageList) return FALSE;
    m_hImageList = hImageList;
    return TRUE;
}

HIMAGELIST CImageList::Detach() {
    HIMAGELIST h = m_hImageList;
    m_hImageList = nullptr;
    return h;
}

BOOL CImageList::DeleteImageList() {
    if (!m_hImageList) return FALSE;
    const BOOL ok = ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return ok;
}

CSize CImageList::GetIconSize() const {
    int cx = 0, cy = 0;
    if (!m_hImageList || !ImageList_GetIconSize(m_hImageList, &cx, &cy)) return CSize(0, 0);
    return CSize(cx, cy);
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask) {
    if (!m_hImageList || !pbmImage || !pbmImage->m_hObject) return -1;
    return ImageList_AddMasked(m_hImageList, (HBITMAP)pbmImage->m_hObject, crMask);
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask) {
    if (!m_hImageList || !pbmImage || !pbmImage->m_hObject) return -1;
    return ImageList_Add(m_hImageList, (HBITMAP)pbmImage->m_hObject,
                         pbmMask ? (HBITMAP)pbmMask->m_hObject : nullptr);
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) const {
    if (!m_hImageList || !pDC) return FALSE;
    return ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
}
