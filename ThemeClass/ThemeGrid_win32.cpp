// The grid window: class registration and creation, fonts and system
// colours, scroll bars, notifications, mouse, keyboard and the in-place
// editors. Painting is in ThemeGridDraw_win32.cpp.
#include "ThemeClass/ThemeGrid.h"

#include <ole2.h>

#include <algorithm>
#include <cstdlib>

#include "ThemeClass/BaseCombo.h"
#include "ThemeClass/BaseEdit.h"
#include "ThemeClass/ThemeDraw.h"

BEGIN_MESSAGE_MAP(CThemeGrid, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_RBUTTONDBLCLK()
ON_WM_TIMER()
ON_WM_CAPTURECHANGED()
ON_WM_KEYDOWN()
ON_WM_CHAR()
ON_WM_GETDLGCODE()
ON_WM_MOUSEWHEEL()
ON_WM_SETCURSOR()
ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
ON_MESSAGE(WM_SETFONT, OnSetFont)
ON_MESSAGE(WM_GETFONT, OnGetFont)
ON_WM_DESTROY()
ON_NOTIFY(GRID_ENDEDIT, IDC_GRID_INPLACE, OnEndInPlaceEdit)
ON_COMMAND(ID_GRID_EDIT_CUT, OnCmdCut)
ON_COMMAND(ID_GRID_EDIT_COPY, OnCmdCopy)
ON_COMMAND(ID_GRID_EDIT_PASTE, OnCmdPaste)
ON_COMMAND(ID_GRID_EDIT_SELECT_ALL, OnCmdSelectAll)
ON_UPDATE_COMMAND_UI(ID_GRID_EDIT_CUT, OnUpdateEditCommand)
ON_UPDATE_COMMAND_UI(ID_GRID_EDIT_COPY, OnUpdateEditCommand)
ON_UPDATE_COMMAND_UI(ID_GRID_EDIT_PASTE, OnUpdateEditCommand)
ON_UPDATE_COMMAND_UI(ID_GRID_EDIT_SELECT_ALL, OnUpdateEditCommand)
END_MESSAGE_MAP()

namespace {

// Registers "ThemeSheetWnd" once per process.
void RegisterGridClass() {
    WNDCLASSA wc = {};
    HINSTANCE hInst = AfxGetInstanceHandle();
    if (::GetClassInfoA(hInst, GRID_CLASSNAME, &wc)) return;
    wc = WNDCLASSA{};
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = hInst;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_3DFACE + 1);
    wc.lpszClassName = GRID_CLASSNAME;
    if (!::RegisterClassA(&wc)) AfxThrowResourceException();
}

// One OnSize at a time in the process: a size change inside it (the scroll
// bars appearing) does not recurse.
bool g_bInOnSize = false;

int ScrollBarOf(int bar) { return bar == GRID_BAR_HORZ ? SB_HORZ : SB_VERT; }

}  // namespace

int CThemeGrid::ReadWheelScrollLines() {
    HKEY hKey = nullptr;
    int lines = 3;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &hKey) !=
        ERROR_SUCCESS)
        return lines;
    char buf[129] = {};
    DWORD size = 128, type = 0;
    if (::RegQueryValueExA(hKey, "WheelScrollLines", nullptr, &type, (LPBYTE)buf, &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
        buf[std::min<DWORD>(size, 128)] = '\0';
        char* end = nullptr;
        const long v = std::strtol(buf, &end, 10);
        if (end != buf) lines = static_cast<int>(v);
    }
    ::RegCloseKey(hKey);
    return lines;
}

CObject* CThemeGrid::CreateObject() { return static_cast<CWnd*>(new CThemeGrid); }

const CRuntimeClass CThemeGrid::classCThemeGrid = {"CThemeGrid", (int)sizeof(CThemeGrid),
                                                   CThemeGrid::CreateObject, nullptr};

CThemeGrid::CThemeGrid(int nRows, int nCols, int nFixedRows, int nFixedCols) {
    RegisterGridClass();
    const HRESULT hr = ::OleInitialize(nullptr);
    if (FAILED(hr) && hr != RPC_E_CHANGED_MODE)
        AfxMessageBox(
            "OLE initialization failed. Make sure that the OLE libraries are the correct version");
    else if (SUCCEEDED(hr))
        m_bMustUninitOle = TRUE;
    SetWheelLines(ReadWheelScrollLines());

    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof(ncm);
    const BOOL bGot = ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    ASSERT(bGot);
    if (bGot) SetLogFont(ncm.lfMessageFont);
    m_Font.CreateFontIndirect(&m_Logfont);
    // The counts in order, then the default skin with the system colours.
    InitCounts(nRows, nCols, nFixedRows, nFixedCols);
    // The colours that follow a change of the system colours start out as
    // the system colours the default skin took.
    m_crWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
    m_crWindowColour = ::GetSysColor(COLOR_WINDOW);
    m_cr3DFace = ::GetSysColor(COLOR_3DFACE);
    m_crShadow = ::GetSysColor(COLOR_3DSHADOW);
}

CThemeGrid::~CThemeGrid() {
    if (m_hWnd) DestroyWindow();
    DeleteAllItems();
    if (m_bMustUninitOle) ::OleUninitialize();
}

void CThemeGrid::RebuildGridFont() {
    m_GridFont.DeleteObject();
    m_GridFont.CreateFont(m_nFontSize, 0, 0, 0, 100, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, "돋움");
}

void CThemeGrid::SetFontSize(int nSize) {
    CThemeGridModel::SetFontSize(nSize);
    RebuildGridFont();
}

BOOL CThemeGrid::Create(const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwStyle) {
    if (!CWnd::Create(GRID_CLASSNAME, nullptr, dwStyle, rect, pParentWnd, nID)) return FALSE;
    RebuildGridFont();
    SetFont(&m_GridFont, FALSE);
    AfterCreate();
    return TRUE;
}

void CThemeGrid::AfterCreate() {
    SetDefaultRowHeight(m_nDefRowHeight);
    SetDefaultColumnWidth(m_nDefColWidth);
    UpdateScrollBars();
}

BOOL CThemeGrid::SubclassGrid(UINT nID, CWnd* pParent) {
    if (!SubclassDlgItem(nID, pParent)) return FALSE;
    CFont font;
    font.CreateFontIndirect(&m_Logfont);
    SetFont(&font, FALSE);
    font.DeleteObject();
    UpdateScrollBars();
    return TRUE;
}

void DDX_ThemeGrid(CDataExchange* pDX, int nIDC, CThemeGrid& rGrid) {
    ASSERT(!pDX->m_bSaveAndValidate);
    if (pDX->m_bSaveAndValidate || rGrid.GetSafeHwnd()) return;
    if (!rGrid.SubclassGrid((UINT)nIDC, pDX->m_pDlgWnd)) AfxThrowNotSupportedException();
}

// ---- hooks of the view

bool CThemeGrid::HasWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

SIZE CThemeGrid::GetClientSize() const {
    if (!HasWindow()) return SIZE{0, 0};
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    return SIZE{rc.right, rc.bottom};
}

COLORREF CThemeGrid::GetSystemColor(int index) const { return ::GetSysColor(index); }

SIZE CThemeGrid::MeasureText(const CString& text) const {
    // Header text: the logical font in semi-bold.
    HDC hDC = ::GetDC(m_hWnd);
    if (!hDC) return SIZE{0, 0};
    LOGFONTA lf = m_Logfont;
    lf.lfWeight = 600;
    HFONT hFont = ::CreateFontIndirectA(&lf);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    SIZE size = {0, 0};
    ::GetTextExtentPoint32A(hDC, text, text.GetLength(), &size);
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hFont);
    ::ReleaseDC(m_hWnd, hDC);
    size.cx += 2 * m_nMargin;
    size.cy += 2 * m_nMargin;
    return size;
}

SIZE CThemeGrid::MeasureCell(int row, int col) const {
    HDC hDC = ::GetDC(m_hWnd);
    if (!hDC) return SIZE{0, 0};
    CDC* pDC = CDC::FromHandle(hDC);
    const CSize size = MeasureCell(row, col, pDC);
    ::ReleaseDC(m_hWnd, hDC);
    return size;
}

void CThemeGrid::InvalidateAll() {
    if (HasWindow() && m_bAllowDraw) Invalidate();
}

void CThemeGrid::RedrawCell(int row, int col) { InvalidateCell(CThemeGridCellId(row, col)); }

void CThemeGrid::InvalidateCell(const CThemeGridCellId& cell) {
    if (!HasWindow() || !m_bAllowDraw || !IsCellVisible(cell.row, cell.col)) return;
    CRect rect;
    if (!GetCellRect(cell.row, cell.col, &rect)) return;
    rect.right++;
    rect.bottom++;
    InvalidateRect(&rect, TRUE);
}

void CThemeGrid::InvalidateCellRange(const CThemeGridCellRange& range) {
    if (!HasWindow() || !m_bAllowDraw) return;
    const CThemeGridCellRange visible =
        range.Intersect(GetVisibleNonFixedCellRange());
    CRect rect;
    if (!GetCellRangeRect(visible, &rect)) return;
    rect.right++;
    rect.bottom++;
    InvalidateRect(&rect, TRUE);
}

int CThemeGrid::GetImageWidth() const {
    if (!m_ImageList.GetSafeHandle()) return -1;
    return m_ImageList.GetIconSize().cx;
}

void CThemeGrid::ApplyScrollBars(const GridScrollBars& bars) {
    if (!HasWindow()) return;
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_PAGE;
    si.nPage = static_cast<UINT>(bars.hPage);
    ::SetScrollInfo(m_hWnd, SB_HORZ, &si, FALSE);
    si.nPage = static_cast<UINT>(bars.vPage);
    ::SetScrollInfo(m_hWnd, SB_VERT, &si, FALSE);
    ASSERT(bars.hMax < INT_MAX && bars.vMax < INT_MAX);
    ::SetScrollRange(m_hWnd, SB_HORZ, 0, bars.hMax, TRUE);
    ::SetScrollRange(m_hWnd, SB_VERT, 0, bars.vMax, TRUE);
}

void CThemeGrid::SetScrollPosition(int bar, int pos) {
    CThemeGridView::SetScrollPosition(bar, pos);
    if (!HasWindow()) return;
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    si.nPos = GetScrollPosition(bar);
    ::SetScrollInfo(m_hWnd, ScrollBarOf(bar), &si, TRUE);
}

void CThemeGrid::OnScrolled(int bar, const GridScrollEffect& effect) {
    // The fixed rows (columns) follow a horizontal (vertical) move, so the
    // window is painted anew rather than its pixels moved.
    if (effect.changed || effect.repaint != GridScrollEffect::NOTHING) InvalidateAll();
}

HWND CThemeGrid::GetOwnerWindow() const {
    if (!HasWindow()) return nullptr;
    HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    if (!hOwner) hOwner = ::GetParent(m_hWnd);
    return hOwner && ::IsWindow(hOwner) ? hOwner : nullptr;
}

void CThemeGrid::NotifyParent(int nRow, int nCol, int nCode) {
    const HWND hOwner = GetOwnerWindow();
    if (!hOwner) return;
    CThemeGridNotify nm = {};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    nm.hdr.code = static_cast<UINT>(nCode);
    nm.iRow = nRow;
    nm.iColumn = nCol;
    ::SendMessageA(hOwner, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

// ---- settings

void CThemeGrid::SetToolTipText(LPCTSTR lpszText) {
    if (!m_toolTip.GetSafeHwnd()) {
        if (HasWindow()) m_toolTip.SetTool(this, m_hWnd, lpszText);
    } else {
        m_toolTip.UpdateTool(lpszText);
    }
}

void CThemeGrid::SetRedraw(BOOL bAllowDraw, BOOL bResetScrollBars) {
    const BOOL bWasOff = !m_bAllowDraw;
    m_bAllowDraw = bAllowDraw;
    if (bAllowDraw && bWasOff && HasWindow()) Invalidate();
    if (bResetScrollBars) UpdateScrollBars();
}

BOOL CThemeGrid::LoadCheckBoxImages(LPCTSTR lpszBitmapPath) {
    HBITMAP hProbe = (HBITMAP)::LoadImageA(nullptr, lpszBitmapPath, IMAGE_BITMAP, 0, 0,
                                           LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!hProbe) return FALSE;
    BITMAP bm = {};
    ::GetObjectA(hProbe, sizeof(bm), &bm);
    ::DeleteObject(hProbe);
    const int frame = bm.bmWidth / 2;
    if (frame < 1) return FALSE;
    CBitmap bitmap;
    if (!LoadPictureFile(lpszBitmapPath, &bitmap)) return FALSE;
    m_ImageList.DeleteImageList();
    if (!m_ImageList.Create(frame, bm.bmHeight, ILC_COLOR8 | ILC_MASK, 2, 2)) return FALSE;
    m_ImageList.Add(&bitmap, RGB(0xFF, 0x00, 0xFF));
    InvalidateAll();
    return TRUE;
}

BOOL CThemeGrid::LoadCheckBoxImages(UINT nIDBitmap) {
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(nIDBitmap)) return FALSE;
    BITMAP bm = {};
    bitmap.GetBitmap(&bm);
    const int frame = bm.bmWidth / 2;
    if (frame < 1) return FALSE;
    m_ImageList.DeleteImageList();
    if (!m_ImageList.Create(frame, bm.bmHeight, ILC_COLOR8 | ILC_MASK, 2, 2)) return FALSE;
    m_ImageList.Add(&bitmap, RGB(0xFF, 0x00, 0xFF));
    InvalidateAll();
    return TRUE;
}

// ---- messages

LRESULT CThemeGrid::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hWnd) m_toolTip.RelayFrom(this, message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CThemeGrid::PreTranslateMessage(MSG* pMsg) { return CWnd::PreTranslateMessage(pMsg); }

BOOL CThemeGrid::OnEraseBkgnd(CDC*) { return TRUE; }

void CThemeGrid::OnSize(UINT nType, int cx, int cy) {
    if (g_bInOnSize) return;
    g_bInOnSize = true;
    if (HasWindow()) {
        CWnd::OnSize(nType, cx, cy);
        UpdateScrollBars();
        if (cx > 7 && cy > 7 && m_toolTip.GetSafeHwnd()) m_toolTip.UpdateTool(m_toolTip.GetText());
    }
    g_bInOnSize = false;
}

void CThemeGrid::OnHScroll(UINT nSBCode, UINT, CScrollBar*) {
    if (::GetFocus() != m_hWnd) SetFocus();
    if (nSBCode == SB_THUMBTRACK || nSBCode == SB_THUMBPOSITION) {
        SCROLLINFO si = {};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        ::GetScrollInfo(m_hWnd, SB_HORZ, &si);
        SetTrackPosition(GRID_BAR_HORZ, si.nTrackPos);
    }
    CThemeGridView::OnHScroll(static_cast<int>(nSBCode));
}

void CThemeGrid::OnVScroll(UINT nSBCode, UINT, CScrollBar*) {
    if (::GetFocus() != m_hWnd) SetFocus();
    if (nSBCode == SB_THUMBTRACK || nSBCode == SB_THUMBPOSITION) {
        SCROLLINFO si = {};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        ::GetScrollInfo(m_hWnd, SB_VERT, &si);
        SetTrackPosition(GRID_BAR_VERT, si.nTrackPos);
    }
    CThemeGridView::OnVScroll(static_cast<int>(nSBCode));
}

BOOL CThemeGrid::OnMouseWheel(UINT, short zDelta, CPoint) {
    const GridWheelSteps s = GridWheelToScroll(zDelta, GetWheelLines());
    for (int i = 0; i < s.count; ++i) PostMessage(WM_VSCROLL, MAKEWPARAM(s.code, 0), 0);
    return TRUE;
}

UINT CThemeGrid::KeyMods() {
    UINT mods = 0;
    if (::GetKeyState(VK_SHIFT) < 0) mods |= GRID_MOD_SHIFT;
    if (::GetKeyState(VK_CONTROL) < 0) mods |= GRID_MOD_CTRL;
    return mods;
}

UINT CThemeGrid::OnGetDlgCode() {
    UINT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (m_bHandleTabKey && ::GetKeyState(VK_CONTROL) >= 0) code |= DLGC_WANTTAB;
    return code;
}

LRESULT CThemeGrid::OnSetFont(WPARAM wParam, LPARAM lParam) {
    LOGFONTA lf;
    if (!wParam || !::GetObjectA((HGDIOBJ)wParam, sizeof(lf), &lf)) return 0;
    m_Logfont = lf;
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
            if (CThemeGridCell* cell = GetCell(r, c)) cell->font = lf;
    m_Font.DeleteObject();
    m_Font.CreateFontIndirect(&m_Logfont);
    if (HasWindow()) {
        CClientDC dc(this);
        CFont* pOld = dc.SelectObject(&m_Font);
        TEXTMETRICA tm = {};
        dc.GetTextMetrics(&tm);
        m_nMargin = dc.GetTextExtent(" ", 1).cx;
        dc.SelectObject(pOld);
        m_nDefRowHeight = tm.tmHeight + tm.tmExternalLeading + 2 * m_nMargin;
        m_nDefColWidth = 12 * tm.tmAveCharWidth + 2 * m_nMargin;
        if (LOWORD(lParam)) Invalidate();
    }
    return 0;
}

LRESULT CThemeGrid::OnGetFont(WPARAM, LPARAM) { return (LRESULT)m_Font.GetSafeHandle(); }

LRESULT CThemeGrid::OnSysColorChange(WPARAM, LPARAM) {
    // A colour that still equals the system colour it came from follows it.
    const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT), window = ::GetSysColor(COLOR_WINDOW);
    const COLORREF face = ::GetSysColor(COLOR_3DFACE), shadow = ::GetSysColor(COLOR_3DSHADOW);
    if (m_crTextColor == m_crWindowText) m_crTextColor = text;
    if (m_crFixedTextColor == m_crWindowText) m_crFixedTextColor = text;
    if (m_crTextBkColor == m_crWindowColour) m_crTextBkColor = window;
    if (m_crBkColor == m_crShadow) m_crBkColor = shadow;
    if (m_crFixedBkColor == m_cr3DFace) m_crFixedBkColor = face;
    m_crWindowText = text;
    m_crWindowColour = window;
    m_cr3DFace = face;
    m_crShadow = shadow;
    return 0;
}

LRESULT CThemeGrid::OnSettingChange(WPARAM wParam, LPARAM lParam) {
    OnSysColorChange(wParam, lParam);
    SetWheelLines(ReadWheelScrollLines());
    return 0;
}

void CThemeGrid::OnDestroy() {
    if (m_toolTip.GetSafeHwnd()) m_toolTip.RemoveTool();
    CWnd::OnDestroy();
}

// ---- mouse

void CThemeGrid::OnLButtonDown(UINT, CPoint point) {
    m_hWndPrevFocus = ::GetFocus();
    const bool hadFocus = m_hWndPrevFocus == m_hWnd;
    const CThemeGridCellId cell = GetCellFromPt(point, TRUE);
    if (!IsValid(cell)) {
        SetFocus();
        return;
    }
    SetFocus();
    const int before = m_MouseMode;
    CThemeGridView::OnLButtonDown(point, KeyMods(), hadFocus);
    if (m_MouseMode == GRID_MOUSE_PREPARE_EDIT || m_MouseMode == GRID_MOUSE_PREPARE_DRAG) return;
    SetCapture();
    CRect client;
    GetClientRect(&client);
    if (m_MouseMode == GRID_MOUSE_SIZING_COL || m_MouseMode == GRID_MOUSE_SIZING_ROW) {
        const bool column = m_MouseMode == GRID_MOUSE_SIZING_COL;
        InvertSizingLine(point, column);
        // The cursor stays right of (below) the sized line's left (top) edge.
        POINT origin;
        CRect clip = client;
        if (column && GetCellOrigin(0, m_nSizingLine, &origin)) clip.left = origin.x + 1;
        if (!column && GetCellOrigin(m_nSizingLine, 0, &origin)) clip.top = origin.y + 1;
        ClientToScreen(&clip);
        ::ClipCursor(&clip);
        ::SetCursor(::LoadCursor(nullptr, column ? IDC_SIZEWE : IDC_SIZENS));
        return;
    }
    if (before == GRID_MOUSE_NOTHING) SetTimer(GRID_TIMER_AUTOSCROLL, GRID_TIMER_INTERVAL);
}

void CThemeGrid::InvertSizingLine(POINT pt, bool bColumn) {
    CClientDC dc(this);
    CRect client;
    GetClientRect(&client);
    const CRect line = bColumn ? CRect(pt.x, client.top, pt.x + 2, client.bottom)
                               : CRect(client.left, pt.y, client.right, pt.y + 2);
    dc.InvertRect(&line);
}

void CThemeGrid::OnMouseMove(UINT nFlags, CPoint point) {
    const POINT last = m_LastMousePoint;
    const int mode = m_MouseMode;
    const bool left = (nFlags & MK_LBUTTON) != 0;
    CThemeGridView::OnMouseMove(point, left);
    // The line moves only when the view took the point (it ignores points
    // outside the client area).
    const bool taken = m_LastMousePoint.x == point.x && m_LastMousePoint.y == point.y;
    if (left && taken && (last.x != point.x || last.y != point.y) &&
        (mode == GRID_MOUSE_SIZING_COL || mode == GRID_MOUSE_SIZING_ROW)) {
        InvertSizingLine(last, mode == GRID_MOUSE_SIZING_COL);
        InvertSizingLine(point, mode == GRID_MOUSE_SIZING_COL);
    }
    if (m_MouseMode != mode) {
        if (m_MouseMode == GRID_MOUSE_OVER_COL_DIVIDE)
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
        else if (m_MouseMode == GRID_MOUSE_OVER_ROW_DIVIDE)
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZENS));
        else if (m_MouseMode == GRID_MOUSE_NOTHING)
            ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    }
}

void CThemeGrid::OnLButtonUp(UINT, CPoint point) {
    ::ClipCursor(nullptr);
    if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
        KillTimer(GRID_TIMER_AUTOSCROLL);
    }
    if (m_MouseMode == GRID_MOUSE_SIZING_COL) InvertSizingLine(m_LastMousePoint, true);
    if (m_MouseMode == GRID_MOUSE_SIZING_ROW) InvertSizingLine(m_LastMousePoint, false);
    CThemeGridView::OnLButtonUp(point);
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
}

void CThemeGrid::OnLButtonDblClk(UINT nFlags, CPoint point) {
    CThemeGridView::OnLButtonDblClk(point);
    CWnd::OnLButtonDblClk(nFlags, point);
}

void CThemeGrid::OnRButtonDown(UINT, CPoint point) {
    if (IsValid(GetCellFromPt(point, TRUE))) SetFocus();
    CThemeGridView::OnRButtonDown(point);
}

void CThemeGrid::OnRButtonUp(UINT, CPoint point) {
    if (IsValid(GetCellFromPt(point, TRUE))) SetFocus();
    CThemeGridView::OnRButtonUp(point);
}

void CThemeGrid::OnRButtonDblClk(UINT, CPoint point) {
    if (IsValid(GetCellFromPt(point, TRUE))) SetFocus();
    CThemeGridView::OnRButtonDblClk(point);
}

void CThemeGrid::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != GRID_TIMER_AUTOSCROLL) return;
    POINT pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    OnAutoScrollTimer(pt);
}

void CThemeGrid::OnCaptureChanged(CWnd* pWnd) {
    if (pWnd && pWnd->GetSafeHwnd() == m_hWnd) return;
    KillTimer(GRID_TIMER_AUTOSCROLL);
    if (m_MouseMode == GRID_MOUSE_DRAGGING) m_MouseMode = GRID_MOUSE_NOTHING;
}

BOOL CThemeGrid::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (nHitTest != HTCLIENT) return CWnd::OnSetCursor(pWnd, nHitTest, message);
    switch (m_MouseMode) {
        case GRID_MOUSE_OVER_ROW_DIVIDE: ::SetCursor(::LoadCursor(nullptr, IDC_SIZENS)); break;
        case GRID_MOUSE_OVER_COL_DIVIDE: ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE)); break;
        case GRID_MOUSE_DRAGGING: break;
        default: ::SetCursor(::LoadCursor(nullptr, IDC_ARROW)); break;
    }
    return TRUE;
}

// ---- keyboard

void CThemeGrid::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (!CThemeGridView::OnKeyDown(nChar, KeyMods())) CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CThemeGrid::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
    CThemeGridView::OnChar(nChar, KeyMods());
    CWnd::OnChar(nChar, nRepCnt, nFlags);
}

void CThemeGrid::OnEditKey(UINT key) {
    switch (key) {
        case 'C': OnEditCopy(); break;
        case 'V': OnEditPaste(); break;
        case 'X': OnEditCut(); break;
        default: break;
    }
}

// ---- in-place editing

void CThemeGrid::OpenCellEditor(int row, int col, UINT key) {
    CRect rect;
    if (!GetCellRect(row, col, &rect)) return;
    const CString text = GetItemText(row, col);
    const UINT format = GetItemFormat(row, col);
    const DWORD style = (format & DT_RIGHT) ? ES_RIGHT : (format & DT_CENTER) ? ES_CENTER : ES_LEFT;
    std::vector<CString> items;
    if (!GetColumnComboItems(col, &items)) {
        CreateCellEditor(rect, style, IDC_GRID_INPLACE, row, col, text, key);
        return;
    }
    int selected = 0;
    const std::vector<CString> shown = GridComboEditItems(items, text, &selected);
    CStringArray list;
    for (const CString& s : shown) list.Add(s);
    CreateCellCombo(rect, CBS_DROPDOWN, IDC_GRID_INPLACE, row, col, list, shown[selected], key);
}

void CThemeGrid::CreateCellEditor(CRect rect, DWORD dwStyle, UINT nID, int nRow, int nCol,
                                  const CString& strText, UINT nKey) {
    // The editor deletes itself when the edit ends.
    auto* pEdit = new CBaseEdit(this, rect, dwStyle, nID, nRow, nCol, strText, nKey);
    if (!pEdit->GetSafeHwnd()) delete pEdit;
}

void CThemeGrid::CreateCellCombo(CRect rect, DWORD dwStyle, UINT nID, int nRow, int nCol,
                                 CStringArray& items, const CString& strText, UINT nKey) {
    auto* pCombo = new CBaseCombo(this, rect, dwStyle, nID, nRow, nCol, items, strText, nKey);
    if (!pCombo->GetSafeHwnd()) delete pCombo;
}

void CThemeGrid::OnCellEditEnd(int nRow, int nCol, const CString& strText) {
    if (strText == GetItemText(nRow, nCol)) return;
    SetModified(TRUE, nRow, nCol);
    SetItemText(nRow, nCol, strText);
    if (m_bListViewNotify) NotifyParent(nRow, nCol, GRID_NOTIFY_LV_EDIT_STORED);
}

void CThemeGrid::OnEndInPlaceEdit(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    if (!HasWindow()) return;
    const auto* pNotify = reinterpret_cast<const InPlaceEditNotify*>(pNMHDR);
    const int row = pNotify->item.row, col = pNotify->item.column;
    const UINT key = static_cast<UINT>(pNotify->item.userData);
    OnCellEditEnd(row, col, pNotify->item.text);
    InvalidateCell(CThemeGridCellId(row, col));
    NotifyParent(row, col, GRID_NOTIFY_TEXT_CHANGED);
    if (key == VK_TAB || (key >= VK_PRIOR && key <= VK_DOWN)) {
        CThemeGridView::OnKeyDown(key, KeyMods());
        StartCellEdit(m_idCurrentCell.row, m_idCurrentCell.col, key);
    }
}
