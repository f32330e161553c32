#include "ThemeClass/ThemeListCtrl.h"

#include <cstdlib>
#include <string>

#include "ThemeClass/ThemeDraw.h"

BEGIN_MESSAGE_MAP(CThemeListCtrl, CListCtrl)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_WM_SIZE()
ON_WM_VSCROLL()
ON_WM_HSCROLL()
ON_MESSAGE(WM_SETFONT, OnSetFont)
ON_WM_CTLCOLOR()
ON_WM_LBUTTONDBLCLK()
ON_WM_LBUTTONDOWN()
ON_NOTIFY_REFLECT(NM_CLICK, OnClick)
ON_EN_KILLFOCUS(CThemeListCtrl::kEditId, OnEditKillFocus)
ON_CBN_SELCHANGE(CThemeListCtrl::kComboId, OnComboEnd)
ON_CBN_KILLFOCUS(CThemeListCtrl::kComboId, OnComboEnd)
END_MESSAGE_MAP()

namespace {

void MakeSkinFont(CFont& font, int nHeight) {
    font.CreateFont(nHeight, 0, 0, 0, 100, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, skin::kSkinFontFace);
}

// Replaces the font in place; the old handle goes only after the windows
// that use it have the new one.
HFONT RemakeSkinFont(CFont& font, int nHeight) {
    HFONT hOld = (HFONT)font.Detach();
    MakeSkinFont(font, nHeight);
    return hOld;
}

}  // namespace

CThemeListCtrl::CThemeListCtrl() : m_ptPressed(-1, -1) { SetDefaultSkin(); }

CThemeListCtrl::~CThemeListCtrl() {
    // Destroy the window while this object can still answer its messages.
    if (GetSafeHwnd()) DestroyWindow();
    delete m_pEdit;
    m_pEdit = nullptr;
    delete m_pCombo;
    m_pCombo = nullptr;
    if (m_hBackBrush) ::DeleteObject(m_hBackBrush);
    m_hBackBrush = nullptr;
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

BOOL CThemeListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                            CCreateContext* pContext) {
    return CWnd::Create(WC_LISTVIEWA, nullptr, dwStyle, rect, pParentWnd, nID, pContext);
}

BOOL CThemeListCtrl::Create(const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwStyle) {
    return CWnd::Create(WC_LISTVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CThemeListCtrl::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style = (cs.style & ~(LONG)LVS_TYPEMASK) | LVS_REPORT | LVS_OWNERDRAWFIXED;
    return CListCtrl::PreCreateWindow(cs);
}

void CThemeListCtrl::SetDefaultSkin() {
    m_checkImage.DeleteObject();
    m_bCheckImageLoaded = FALSE;
    m_colors = skin::ListColors();
    m_clrBack = 0xDBD5CA;
    m_clrFrame = 0x000000;
    m_nFontSize = 12;
    m_nItemHeight = 17;
    m_ptPressed = CPoint(-1, -1);
}

// ---- window messages

LRESULT CThemeListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    // The keyboard does not move the selection.
    if (message == WM_KEYDOWN && wParam >= VK_LEFT && wParam <= VK_DOWN) return 1;
    return CListCtrl::WindowProc(message, wParam, lParam);
}

BOOL CThemeListCtrl::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
        EndCellEdit();
        return TRUE;
    }
    return CListCtrl::PreTranslateMessage(pMsg);
}

int CThemeListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CListCtrl::OnCreate(lpCreateStruct) == -1) return -1;
    m_header.SetColors(0x6E3E1C, 0x1A0C00, 0xFFFFFF);
    MakeItemHeightFont();
    SetFont(&m_itemHeightFont);
    MakeTextFont();
    if (!m_pEdit) {
        m_pEdit = new CEdit;
        m_pEdit->CreateEx(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_CENTER,
                          CRect(0, 0, 10, 10), this, kEditId);
        m_pEdit->SetFont(&m_textFont);
        m_pEdit->ShowWindow(SW_HIDE);
    }
    if (!m_pCombo) {
        m_pCombo = new CComboBox;
        m_pCombo->Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN, CRect(0, 0, 10, 10),
                         this, kComboId);
        m_pCombo->SetFont(&m_textFont);
        m_pCombo->ShowWindow(SW_HIDE);
    }
    return 0;
}

void CThemeListCtrl::OnDestroy() {
    Default();
    m_toolTip.RemoveTool();
    m_colorRecords.Clear();
    if (m_bHeaderAttached) {
        m_header.UnsubclassWindow();
        m_bHeaderAttached = FALSE;
    }
    m_checked.Clear();
    m_checkImage.DeleteObject();
    m_bCheckImageLoaded = FALSE;
    if (m_pEdit) {
        m_pEdit->DestroyWindow();
        delete m_pEdit;
        m_pEdit = nullptr;
    }
    if (m_pCombo) {
        m_pCombo->DestroyWindow();
        delete m_pCombo;
        m_pCombo = nullptr;
    }
    m_columns.clear();
    if (m_hBackBrush) ::DeleteObject(m_hBackBrush);
    m_hBackBrush = nullptr;
}

BOOL CThemeListCtrl::OnEraseBkgnd(CDC* pDC) {
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, m_clrBack);
    return TRUE;
}

void CThemeListCtrl::OnSize(UINT, int cx, int cy) {
    Default();
    if (cx > 7 && cy > 7 && m_toolTip.GetSafeHwnd()) m_toolTip.UpdateTool(m_toolTip.GetText());
}

void CThemeListCtrl::OnVScroll(UINT nSBCode, UINT, CScrollBar* pScrollBar) {
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_VSCROLL, nSBCode,
                             (LPARAM)(pScrollBar ? ((CWnd*)pScrollBar)->m_hWnd : nullptr));
    Default();
}

void CThemeListCtrl::OnHScroll(UINT nSBCode, UINT, CScrollBar* pScrollBar) {
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_HSCROLL, nSBCode,
                             (LPARAM)(pScrollBar ? ((CWnd*)pScrollBar)->m_hWnd : nullptr));
    Default();
}

// ---- row height

void CThemeListCtrl::MakeItemHeightFont() {
    m_itemHeightFont.DeleteObject();
    MakeSkinFont(m_itemHeightFont, m_nItemHeight);
}

void CThemeListCtrl::MakeTextFont() {
    m_textFont.DeleteObject();
    MakeSkinFont(m_textFont, m_nFontSize);
}

LRESULT CThemeListCtrl::OnSetFont(WPARAM, LPARAM) {
    Default();
    // The list view asks for the row height again on a size change.
    CRect rc;
    GetWindowRect(&rc);
    WINDOWPOS wp = {};
    wp.hwnd = m_hWnd;
    wp.cx = rc.Width();
    wp.cy = rc.Height();
    wp.flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    SendMessage(WM_WINDOWPOSCHANGED, 0, (LPARAM)&wp);
    return 0;
}

void CThemeListCtrl::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
    int height = m_nItemHeight;
    if (GetSafeHwnd()) {
        HFONT hFont = (HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0);
        LOGFONTA lf = {};
        if (hFont && ::GetObjectA(hFont, sizeof lf, &lf)) height = std::abs((int)lf.lfHeight);
    }
    lpMeasureItemStruct->itemHeight = (UINT)height;
}

void CThemeListCtrl::SetItemHeight(int nHeight) {
    m_nItemHeight = nHeight;
    if (!GetSafeHwnd()) return;
    HFONT hOld = RemakeSkinFont(m_itemHeightFont, m_nItemHeight);
    SetFont(&m_itemHeightFont);
    if (hOld) ::DeleteObject(hOld);
}

void CThemeListCtrl::SetFontSize(int nSize) {
    m_nFontSize = nSize;
    m_header.SetFontSize(nSize);
    HFONT hOld = RemakeSkinFont(m_textFont, m_nFontSize);
    if (m_pEdit && m_pEdit->GetSafeHwnd()) m_pEdit->SetFont(&m_textFont);
    if (m_pCombo && m_pCombo->GetSafeHwnd()) m_pCombo->SetFont(&m_textFont);
    if (hOld) ::DeleteObject(hOld);
}

// ---- drawing

void CThemeListCtrl::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    const int item = (int)lpDrawItemStruct->itemID;
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    LVITEMA lvi = {};
    lvi.mask = LVIF_IMAGE | LVIF_STATE;
    lvi.iItem = item;
    lvi.stateMask = 0xFFFF;
    GetItem(&lvi);
    CRect bounds;
    if (!GetItemRect(item, &bounds, LVIR_BOUNDS)) bounds = lpDrawItemStruct->rcItem;
    CRect first;
    if (!GetSubItemRect(item, 0, LVIR_BOUNDS, first)) first = bounds;

    const int saved = pDC->SaveDC();
    uint32_t rowBack = 0;
    const bool hasRow = m_colorRecords.GetRow(item, &rowBack);
    const bool selected = (lvi.state & LVIS_SELECTED) != 0;
    const skin::RowLook look = skin::ChooseRowLook(m_colors, item, selected, hasRow, rowBack);
    pDC->FillSolidRect(&bounds, look.back);
    if (selected) pDC->SetBkColor(m_colors.selectBack);

    CBrush frame(m_clrFrame);
    int left = bounds.left;
    for (int col = 0;; ++col) {
        LVCOLUMNA lvc = {};
        lvc.mask = LVCF_FMT | LVCF_WIDTH;
        if (!GetColumn(col, &lvc)) break;
        CRect cell(left, bounds.top, left + lvc.cx, bounds.bottom);
        left = cell.right;
        CRect rcFrame(cell.left, cell.top - 1, cell.right + 1, cell.bottom);
        pDC->FrameRect(&rcFrame, &frame);
        // A cell record colours its own cell only; the next cell is back to
        // the row's text colour.
        uint32_t cellText = 0, cellBack = 0;
        if (m_colorRecords.GetCell(item, col, &cellText, &cellBack)) {
            pDC->SetTextColor(cellText);
            if (cellBack != 0) pDC->FillSolidRect(&cell, cellBack);
        } else {
            pDC->SetTextColor(look.text);
        }
        CFont font;
        MakeSkinFont(font, m_nFontSize);
        CFont* pOldFont = pDC->SelectObject(&font);
        pDC->SetBkMode(TRANSPARENT);
        UINT format = DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
        switch (lvc.fmt & LVCFMT_JUSTIFYMASK) {
            case LVCFMT_RIGHT: format |= DT_RIGHT; break;
            case LVCFMT_CENTER: format |= DT_CENTER; break;
            default: break;
        }
        const CString text = GetItemText(item, col);
        CRect rcText = cell;
        pDC->DrawText(text, -1, &rcText, format);
        pDC->SelectObject(pOldFont);

        if (col < (int)m_columns.size() && m_columns[col].nEditType == kEditPush) {
            rcText.right -= 1;
            rcText.bottom -= 2;
            const bool pressed = m_ptPressed.x == col && m_ptPressed.y == item;
            const COLORREF light = RGB(0xC0, 0xC0, 0xC0);
            const COLORREF dark = RGB(0x80, 0x80, 0x80);
            const COLORREF lt = pressed ? dark : light;
            const COLORREF rb = pressed ? light : dark;
            for (int i = 0; i < 3; ++i)
                Draw3DOutline(rcText.left + i, rcText.top + i, rcText.right - 1 - i,
                              rcText.bottom - 1 - i, lt, lt, rb, rb, pDC);
        }
    }

    if (m_bCheckBoxOn) {
        const CRect box(first.left + 5, bounds.top + 2, first.left + 17, bounds.top + 13);
        DrawListCheckBox(pDC, box, IsChecked(item), m_bCheckImageLoaded ? &m_checkImage : nullptr);
    }
    pDC->RestoreDC(saved);
}

// ---- columns and header

BOOL CThemeListCtrl::AttachHeader() {
    if (!GetSafeHwnd() || (GetStyle() & LVS_TYPEMASK) != LVS_REPORT) return FALSE;
    if (!m_bHeaderAttached) {
        HWND hHeader = (HWND)::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0);
        if (hHeader && m_header.SubclassWindow(hHeader)) m_bHeaderAttached = TRUE;
    }
    return m_bHeaderAttached;
}

int CThemeListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth,
                                 int nSubItem) {
    const int at = CListCtrl::InsertColumn(nCol, lpszColumnHeading, nFormat, nWidth, nSubItem);
    if (at < 0) return at;
    if (AttachHeader()) {
        m_header.InsertCellColumn(at);
        m_header.SetCellText(0, at, lpszColumnHeading);
    }
    const size_t pos = (size_t)at < m_columns.size() ? (size_t)at : m_columns.size();
    m_columns.insert(m_columns.begin() + (std::ptrdiff_t)pos, ListColumnInfo());
    if (GetColumnCount() == 1 && m_bHeadCheckBoxOn) SetupHeaderCheck();
    return at;
}

BOOL CThemeListCtrl::DeleteColumn(int nCol) {
    if (AttachHeader()) m_header.DeleteCellColumn(nCol);
    return CListCtrl::DeleteColumn(nCol);
}

int CThemeListCtrl::GetColumnCount() const {
    if (!GetSafeHwnd()) return 0;
    HWND hHeader = (HWND)::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0);
    return hHeader ? (int)::SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0) : 0;
}

std::vector<int> CThemeListCtrl::ColumnWidths() const {
    std::vector<int> widths;
    const int n = GetColumnCount();
    for (int i = 0; i < n; ++i) widths.push_back(GetColumnWidth(i));
    return widths;
}

void CThemeListCtrl::SetColumnEditType(int nCol, int nType, LPCTSTR lpszOptions) {
    if (nCol < 0 || nCol >= (int)m_columns.size()) return;
    m_columns[nCol].nEditType = nType;
    m_columns[nCol].strOptions = lpszOptions ? lpszOptions : "";
}

int CThemeListCtrl::GetColumnEditType(int nCol) const {
    if (nCol < 0 || nCol >= (int)m_columns.size()) return kEditNone;
    return m_columns[nCol].nEditType;
}

CString CThemeListCtrl::GetColumnOptions(int nCol) const {
    if (nCol < 0 || nCol >= (int)m_columns.size()) return CString();
    return m_columns[nCol].strOptions;
}

void CThemeListCtrl::SetHeaderCellText(int nRow, int nCol, LPCTSTR lpszText) {
    if (AttachHeader()) m_header.SetCellText(nRow, nCol, lpszText);
}

void CThemeListCtrl::MergeHeaderCells(int nRow1, int nCol1, int nRow2, int nCol2) {
    if (AttachHeader()) m_header.MergeCells(nRow1, nCol1, nRow2, nCol2);
}

void CThemeListCtrl::SetHeaderRows(int nRows) {
    if (!AttachHeader()) return;
    m_header.SetRows(nRows, GetFont());
    Update(0);
    Invalidate();
}

void CThemeListCtrl::SetHeaderColors(COLORREF clrFrame, COLORREF clrBack, COLORREF clrFont) {
    if (GetSafeHwnd()) m_header.SetColors(clrFrame, clrBack, clrFont);
}

void CThemeListCtrl::SetHeadCheckBoxOn(BOOL bOn) {
    m_bHeadCheckBoxOn = bOn;
    if (GetColumnCount() > 0) SetupHeaderCheck();
}

void CThemeListCtrl::SetupHeaderCheck() {
    if (GetColumnCount() <= 0) return;
    m_header.SetCheckX(5);
    m_header.SetCheckOn(m_bHeadCheckBoxOn);
    if (m_bCheckImageLoaded) m_header.SetCheckImage(&m_checkImage);
    if (m_header.GetSafeHwnd()) m_header.Invalidate();
}

void CThemeListCtrl::OnHeaderClick(CPoint point) {
    SendCellNotify(NM_LIST_HEADCHECK, -1, ColumnFromX(point.x));
}

// ---- rows

void CThemeListCtrl::SetCheck(int nItem, BOOL bOn) {
    m_checked.Set(nItem, bOn != FALSE);
    if (GetSafeHwnd()) RedrawItems(nItem, nItem);
}

BOOL CThemeListCtrl::IsChecked(int nItem) const { return m_checked.Contains(nItem); }

void CThemeListCtrl::SetRowColor(int nItem, COLORREF clrBack) {
    m_colorRecords.SetRow(nItem, clrBack);
    if (GetSafeHwnd()) RedrawItems(nItem, nItem);
}

BOOL CThemeListCtrl::GetRowColor(int nItem, COLORREF* pBack) const {
    uint32_t back = 0;
    if (!m_colorRecords.GetRow(nItem, &back)) return FALSE;
    if (pBack) *pBack = back;
    return TRUE;
}

void CThemeListCtrl::SetCellColor(int nItem, int nCol, COLORREF clrText, COLORREF clrBack) {
    m_colorRecords.SetCell(nItem, nCol, clrText, clrBack);
    if (GetSafeHwnd()) RedrawItems(nItem, nItem);
}

BOOL CThemeListCtrl::GetCellColor(int nItem, int nCol, COLORREF* pText, COLORREF* pBack) const {
    uint32_t text = 0, back = 0;
    if (!m_colorRecords.GetCell(nItem, nCol, &text, &back)) return FALSE;
    if (pText) *pText = text;
    if (pBack) *pBack = back;
    return TRUE;
}

int CThemeListCtrl::GetSelectedItem() const { return GetNextItem(-1, LVNI_SELECTED); }

BOOL CThemeListCtrl::SetCheckBoxImage(LPCTSTR lpszPath) {
    m_checkImage.DeleteObject();
    m_bCheckImageLoaded = LoadPictureFile(lpszPath, &m_checkImage);
    return m_bCheckImageLoaded;
}

BOOL CThemeListCtrl::SetCheckBoxBitmap(UINT nIDResource) {
    m_checkImage.DeleteObject();
    m_bCheckImageLoaded = m_checkImage.LoadBitmap(nIDResource);
    return m_bCheckImageLoaded;
}

void CThemeListCtrl::SetToolTipText(LPCTSTR lpszText) {
    SetControlToolTip(m_toolTip, this, lpszText);
}

// ---- colours

void CThemeListCtrl::SetNormalFontColor(COLORREF clr) {
    m_colors.normal1Font = clr;
    m_colors.normal2Font = clr;
}

void CThemeListCtrl::SetNormal1BackColor(COLORREF clr) {
    m_colors.normal1Back = clr;
    if (m_hBackBrush) ::DeleteObject(m_hBackBrush);
    m_hBackBrush = ::CreateSolidBrush(clr);
}

void CThemeListCtrl::SetNormalBackColor(COLORREF clr) {
    m_colors.normal2Back = clr;
    SetNormal1BackColor(clr);
}

HBRUSH CThemeListCtrl::BackBrush() {
    if (!m_hBackBrush) m_hBackBrush = ::CreateSolidBrush(m_colors.normal1Back);
    return m_hBackBrush;
}

HBRUSH CThemeListCtrl::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    HWND h = pWnd ? pWnd->m_hWnd : nullptr;
    const bool editor =
        h && ((m_pEdit && h == m_pEdit->m_hWnd) ||
              (m_pCombo && (h == m_pCombo->m_hWnd || ::IsChild(m_pCombo->m_hWnd, h))));
    if (!editor) return CListCtrl::OnCtlColor(pDC, pWnd, nCtlColor);
    pDC->SetTextColor(m_colors.normal1Font);
    pDC->SetBkColor(m_colors.normal1Back);
    return BackBrush();
}

// ---- mouse

int CThemeListCtrl::ItemFromY(int y) const {
    return skin::ListItemFromY(y, m_nItemHeight, GetTopIndex(), GetItemCount());
}

int CThemeListCtrl::ColumnFromX(int x) const { return skin::ListColumnFromX(x, ColumnWidths()); }

void CThemeListCtrl::ReleasePressed() {
    const int row = m_ptPressed.y;
    m_ptPressed = CPoint(-1, -1);
    if (row >= 0 && row < GetItemCount()) RedrawItems(row, row);
}

void CThemeListCtrl::OnLButtonDown(UINT, CPoint point) {
    const int item = ItemFromY(point.y);
    const int col = ColumnFromX(point.x);
    if (item >= 0 && col >= 0 && GetColumnEditType(col) == kEditPush) {
        m_ptPressed = CPoint(col, item);
        RedrawItems(item, item);
    }
    Default();
    if (!m_bEditDblClk) EditCellAt(point);
    if (m_bCheckBoxOn) {
        const int sel = GetSelectedItem();
        if (sel >= 0) {
            m_checked.Toggle(sel);
            RedrawItems(sel, sel);
        }
    }
}

void CThemeListCtrl::OnLButtonDblClk(UINT, CPoint point) {
    if (m_bEditDblClk) EditCellAt(point);
    Default();
}

void CThemeListCtrl::OnMouseMove(UINT nFlags, CPoint point) {
    if ((nFlags & MK_LBUTTON) && m_ptPressed.x >= 0 && m_ptPressed.y >= 0) {
        if (ItemFromY(point.y) != m_ptPressed.y || ColumnFromX(point.x) != m_ptPressed.x)
            ReleasePressed();
    }
    CRect client;
    GetClientRect(&client);
    if (point.x >= client.right || point.y >= client.bottom) {
        if (CWnd* pParent = GetParent()) {
            CRect rc;
            GetWindowRect(&rc);
            pParent->ScreenToClient(&rc);
            pParent->InvalidateRect(&rc, TRUE);
        }
    }
    Default();
}

void CThemeListCtrl::OnClick(NMHDR* pNMHDR, LRESULT* pResult) {
    if (m_ptPressed.x >= 0 && m_ptPressed.y >= 0) {
        SendCellNotify(NM_LIST_CELLCLICK, m_ptPressed.y, m_ptPressed.x);
    } else {
        const NMITEMACTIVATE* pItem = (const NMITEMACTIVATE*)pNMHDR;
        SendCellNotify(NM_LIST_BLANKCLICK, pItem->iItem, pItem->iSubItem);
    }
    *pResult = 0;
    if (GetSafeHwnd()) ReleasePressed();
}

void CThemeListCtrl::SendCellNotify(int nCode, int nItem, int nCol) {
    NMLISTCELL block = {};
    block.hdr.hwndFrom = m_hWnd;
    block.hdr.idFrom = (UINT_PTR)GetDlgCtrlID();
    block.hdr.code = (UINT)nCode;
    block.iItem = nItem;
    block.iSubItem = nCol;
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent) ::SendMessageA(hParent, WM_NOTIFY, (WPARAM)block.hdr.idFrom, (LPARAM)&block);
}

// ---- cell editing

BOOL CThemeListCtrl::CellExists(int nItem, int nCol) const {
    return nItem >= 0 && nItem < GetItemCount() && nCol >= 0 && nCol < GetColumnCount();
}

BOOL CThemeListCtrl::IsEditorShown(CWnd* pEditor) const {
    return pEditor && pEditor->GetSafeHwnd() && (pEditor->GetStyle() & WS_VISIBLE);
}

BOOL CThemeListCtrl::FocusIsIn(CWnd* pEditor) const {
    HWND hFocus = ::GetFocus();
    return hFocus && pEditor && pEditor->GetSafeHwnd() &&
           (hFocus == pEditor->m_hWnd || ::IsChild(pEditor->m_hWnd, hFocus));
}

void CThemeListCtrl::EditCellAt(CPoint point) {
    const int item = ItemFromY(point.y);
    if (item == -1) {
        EndCellEdit();
        return;
    }
    StartCellEdit(item, ColumnFromX(point.x));
}

void CThemeListCtrl::FillDropList(const CString& strOptions) {
    m_pCombo->ResetContent();
    for (const std::string& entry : skin::ParseDropListOptions(strOptions.GetString()))
        m_pCombo->AddString(entry.c_str());
}

void CThemeListCtrl::StartCellEdit(int nItem, int nCol) {
    if (nCol < 0 || nCol >= (int)m_columns.size() || nItem < 0 || nItem >= GetItemCount()) return;
    const int type = m_columns[nCol].nEditType;
    if (type != kEditBox && type != kEditDropList) return;
    CRect rc;
    if (!GetSubItemRect(nItem, nCol, LVIR_BOUNDS, rc)) return;
    // Subitem 0's bounds are the whole row.
    if (nCol == 0) rc.right = rc.left + GetColumnWidth(0);
    if (type == kEditBox) {
        if (!m_pEdit) return;
        m_nEditItem = nItem;
        m_nEditCol = nCol;
        m_pEdit->MoveWindow(&rc, TRUE);
        m_pEdit->SetWindowText(GetItemText(nItem, nCol));
        m_pEdit->ShowWindow(SW_SHOW);
        m_pEdit->SetSel(0, -1);
        m_pEdit->SetFocus();
        if (m_pCombo) m_pCombo->ShowWindow(SW_HIDE);
        return;
    }
    if (!m_pCombo) return;
    FillDropList(m_columns[nCol].strOptions);
    const CString text = GetItemText(nItem, nCol);
    const int found = m_pCombo->FindStringExact(0, text);
    if (found >= 0) {
        m_pCombo->SetCurSel(found);
    } else {
        m_pCombo->SetCurSel(-1);
        m_pCombo->SetWindowText(text);
    }
    m_nEditItem = nItem;
    m_nEditCol = nCol;
    m_pCombo->ShowWindow(SW_SHOW);
    rc.bottom += 200;  // the drop-down's height
    m_pCombo->MoveWindow(&rc);
    m_pCombo->SetFocus();
}

void CThemeListCtrl::EndCellEdit() {
    if (IsEditorShown(m_pEdit))
        CommitEditBox();
    else if (IsEditorShown(m_pCombo))
        CommitCombo();
}

// A commit happens once per edit: only while the editor is shown and its
// cell still exists. The list takes the focus before the editor hides, so
// the focus never stays in a hidden window, and the kill-focus that this
// causes finds the commit under way.
void CThemeListCtrl::CommitEditBox() {
    if (m_bCommitting || !IsEditorShown(m_pEdit)) return;
    m_bCommitting = TRUE;
    const int item = m_nEditItem;
    const int col = m_nEditCol;
    const BOOL valid = CellExists(item, col);
    if (valid) {
        CString text;
        m_pEdit->GetWindowText(text);
        SetItemText(item, col, text);
    }
    if (FocusIsIn(m_pEdit)) SetFocus();
    m_pEdit->ShowWindow(SW_HIDE);
    m_bCommitting = FALSE;
    if (valid) SendCellNotify(NM_LIST_CELLEDITED, item, col);
}

void CThemeListCtrl::CommitCombo() {
    if (m_bCommitting || !IsEditorShown(m_pCombo)) return;
    m_bCommitting = TRUE;
    const int item = m_nEditItem;
    const int col = m_nEditCol;
    const BOOL valid = CellExists(item, col);
    if (valid) {
        CString text;
        const int sel = m_pCombo->GetCurSel();
        if (sel >= 0)
            m_pCombo->GetLBText(sel, text);
        else
            m_pCombo->GetWindowText(text);
        SetItemText(item, col, text);
    }
    if (m_pCombo->GetDroppedState()) m_pCombo->ShowDropDown(FALSE);
    if (FocusIsIn(m_pCombo)) SetFocus();
    m_pCombo->ShowWindow(SW_HIDE);
    m_bCommitting = FALSE;
    if (valid) SendCellNotify(NM_LIST_CELLEDITED, item, col);
    m_nEditItem = -1;
    m_nEditCol = -1;
}

void CThemeListCtrl::OnEditKillFocus() { CommitEditBox(); }

void CThemeListCtrl::OnComboEnd() { CommitCombo(); }
