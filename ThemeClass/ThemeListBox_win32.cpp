#include "ThemeClass/ThemeListBox.h"

#include "ThemeClass/ThemeDraw.h"

namespace {

// The hidden standard list: its scroll bar moves the rows, so each scroll
// message is posted to the skinned box as well, which repaints from the new
// top row.
class CInnerListBox : public CListBox {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_VSCROLL) {
            HWND hParent = ::GetParent(m_hWnd);
            if (hParent) ::PostMessageA(hParent, WM_VSCROLL, wParam, lParam);
        }
        return CListBox::WindowProc(message, wParam, lParam);
    }
};

skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }
CRect ToCRect(const skin::Rect& r) { return CRect(r.left, r.top, r.right, r.bottom); }

}  // namespace

BEGIN_MESSAGE_MAP(CThemeListBox, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_SIZE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_MOUSEWHEEL()
ON_LBN_ERRSPACE(CThemeListBox::kInnerId, OnInnerErrSpace)
ON_LBN_SELCANCEL(CThemeListBox::kInnerId, OnInnerSelCancel)
END_MESSAGE_MAP()

CThemeListBox::CThemeListBox() { SetDefaultSkin(); }

CThemeListBox::~CThemeListBox() {
    if (m_pInner) {
        if (m_pInner->GetSafeHwnd()) m_pInner->DestroyWindow();
        delete m_pInner;
        m_pInner = nullptr;
    }
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

void CThemeListBox::SetDefaultSkin() {
    m_nFontSize = 12;
    m_nAlignFormat = DT_CENTER | DT_VCENTER;
    m_bFontBold = FALSE;
    m_colors.state1 = ::GetSysColor(COLOR_WINDOWTEXT);
    m_colors.state2 = 0x00F6FE;
    m_colors.state3 = 0x0D0DCF;
    m_colors.selectText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_colors.selectBack = 0xCC9933;
    m_colors.back1 = 0xFFFFFF;
    m_colors.back2 = 0xFFE6D2;
    m_clrFrame = 0xC8C8C8;
    m_nItemHeight = 16;
    m_nLeftGap = 2;
    m_nRightGap = 2;
    m_nOutlineThick = 1;
    m_clrOutlineLT = 0xA47B4E;
    m_clrOutlineRB = 0xC8C3C0;
    m_clrBack = 0xE1EAE7;
    m_bVScroll = TRUE;
}

BOOL CThemeListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                           CCreateContext* pContext) {
    m_hNotifyWnd = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    m_nCtrlId = nID;
    return CWnd::Create(nullptr, nullptr, dwStyle, rect, pParentWnd, nID, pContext);
}

BOOL CThemeListBox::PreCreateWindow(CREATESTRUCT& cs) {
    if (m_bPopup) {
        // A popup is never also a child: the pair is undefined.
        cs.style = (cs.style & ~static_cast<LONG>(WS_CHILD)) | static_cast<LONG>(WS_POPUP);
        cs.hMenu = nullptr;
    }
    // The strip is the inner list's: the rows never paint over it.
    cs.style |= WS_CLIPCHILDREN;
    return CWnd::PreCreateWindow(cs);
}

LRESULT CThemeListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_toolTip.RelayFrom(this, message, wParam, lParam);
    if (message == WM_VSCROLL) {
        SetFocus();
        Invalidate(FALSE);
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- lifecycle

int CThemeListBox::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
    m_pInner = new CInnerListBox;
    if (!m_pInner->Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT,
                          CRect(10, 10, 30, 30), this, kInnerId)) {
        delete m_pInner;
        m_pInner = nullptr;
        return 0;
    }
    m_pInner->ShowWindow(SW_HIDE);
    return 0;
}

void CThemeListBox::OnDestroy() {
    CWnd::OnDestroy();
    if (m_pInner) {
        if (m_pInner->GetSafeHwnd()) m_pInner->DestroyWindow();
        delete m_pInner;
        m_pInner = nullptr;
    }
    m_toolTip.RemoveTool();
}

void CThemeListBox::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    if (cx > 20 && cy > 20) {
        LayoutInner();
        if (m_toolTip.GetSafeHwnd()) m_toolTip.UpdateTool(m_toolTip.GetText());
    }
}

// ---- geometry

skin::Rect CThemeListBox::ClientRect() const {
    CRect rc;
    if (GetSafeHwnd()) GetClientRect(&rc);
    return ToSkin(rc);
}

BOOL CThemeListBox::IsStripShown() const {
    return m_pInner && m_pInner->GetSafeHwnd() && m_pInner->IsWindowVisible();
}

skin::Rect CThemeListBox::RowArea() const {
    return skin::ListRowArea(ClientRect(), m_nOutlineThick, IsStripShown() != FALSE);
}

int CThemeListBox::ItemHeight() const {
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return m_nItemHeight;
    const int h = m_pInner->GetItemHeight(0);
    return h > 0 ? h : m_nItemHeight;
}

void CThemeListBox::LayoutInner() {
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return;
    m_pInner->MoveWindow(ToCRect(skin::ListStripRect(ClientRect(), m_nOutlineThick)), TRUE);
}

void CThemeListBox::UpdateScrollBar() {
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return;
    const bool show = m_bVScroll && skin::ListRowsOverflow(GetCount(), ItemHeight(), ClientRect(),
                                                           m_nOutlineThick);
    if (show != (m_pInner->IsWindowVisible() != FALSE))
        m_pInner->ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

// ---- items

int CThemeListBox::AddString(LPCTSTR lpszItem) { return AddString(lpszItem, 0); }

int CThemeListBox::AddString(LPCTSTR lpszItem, DWORD_PTR dwData) {
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return LB_ERR;
    const int n = m_pInner->AddString(lpszItem);
    if (n >= 0) {
        m_pInner->SetItemData(n, dwData);
        m_pInner->SetItemHeight(n, static_cast<UINT>(m_nItemHeight));
    }
    UpdateScrollBar();
    Invalidate(FALSE);
    return n;
}

int CThemeListBox::InsertString(int nIndex, LPCTSTR lpszItem) {
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return LB_ERR;
    const int n = m_pInner->InsertString(nIndex, lpszItem);
    UpdateScrollBar();
    Invalidate(FALSE);
    return n;
}

int CThemeListBox::DeleteString(UINT nIndex) {
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return LB_ERR;
    const int n = m_pInner->DeleteString(nIndex);
    UpdateScrollBar();
    Invalidate(FALSE);
    return n;
}

void CThemeListBox::ResetContent() {
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return;
    m_pInner->ResetContent();
    Invalidate(FALSE);
}

int CThemeListBox::GetCount() const {
    return m_pInner && m_pInner->GetSafeHwnd() ? m_pInner->GetCount() : 0;
}

int CThemeListBox::GetText(int nIndex, LPTSTR lpszBuffer) const {
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return LB_ERR;
    return m_pInner->GetText(nIndex, lpszBuffer);
}

void CThemeListBox::GetText(int nIndex, CString& rString) const {
    rString.Empty();
    if (m_pInner && m_pInner->GetSafeHwnd()) m_pInner->GetText(nIndex, rString);
}

int CThemeListBox::SelectString(int nStartAfter, LPCTSTR lpszItem) {
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return LB_ERR;
    return m_pInner->SelectString(nStartAfter, lpszItem);
}

int CThemeListBox::SetCurSel(int nSelect) {
    if (nSelect < 0 || nSelect >= GetCount()) return LB_ERR;
    m_nSelection = nSelect;
    Invalidate(FALSE);
    return m_pInner->SetCurSel(nSelect);
}

DWORD_PTR CThemeListBox::GetItemData(int nIndex) const {
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return static_cast<DWORD_PTR>(LB_ERR);
    return m_pInner->GetItemData(nIndex);
}

int CThemeListBox::SetItemDataAndRedraw(int nIndex, DWORD_PTR dwData) {
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return LB_ERR;
    const int r = m_pInner->SetItemData(nIndex, dwData);
    Invalidate(FALSE);
    return r;
}

int CThemeListBox::GetItemHeight(int nIndex) const {
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return LB_ERR;
    return m_pInner->GetItemHeight(nIndex);
}

int CThemeListBox::GetTopIndex() const {
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return 0;
    return m_pInner->GetTopIndex();
}

// ---- setters that act

void CThemeListBox::SetVScroll(BOOL bShow) {
    m_bVScroll = bShow;
    UpdateScrollBar();
}

void CThemeListBox::SetItemHeight(int nHeight) {
    m_nItemHeight = nHeight;
    if (!m_pInner || !m_pInner->GetSafeHwnd()) return;
    const int n = m_pInner->GetCount();
    for (int i = 0; i < n; ++i) m_pInner->SetItemHeight(i, static_cast<UINT>(nHeight));
}

void CThemeListBox::SetSelectColors(COLORREF clrFont, COLORREF clrBack) {
    m_colors.selectText = clrFont;
    m_colors.selectBack = clrBack;
}

void CThemeListBox::SetNormalBackColors(COLORREF clrBack1, COLORREF clrBack2) {
    m_colors.back1 = clrBack1;
    m_colors.back2 = clrBack2;
}

void CThemeListBox::SetOutlineColors(COLORREF clrLT, COLORREF clrRB) {
    m_clrOutlineLT = clrLT;
    m_clrOutlineRB = clrRB;
}

void CThemeListBox::SetOutline(COLORREF clrLT, COLORREF clrRB, int nThick) {
    SetOutlineColors(clrLT, clrRB);
    m_nOutlineThick = nThick;
    LayoutInner();
}

void CThemeListBox::SetOutlineFrame(COLORREF clrLT, COLORREF clrRB, int nThick, COLORREF clrFrame,
                                    COLORREF clrBack) {
    m_clrFrame = clrFrame;
    m_clrBack = clrBack;
    SetOutline(clrLT, clrRB, nThick);
}

void CThemeListBox::SetGaps(int nLeft, int nRight) {
    m_nLeftGap = nLeft;
    m_nRightGap = nRight;
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CThemeListBox::SetFontColors(COLORREF clrState1, COLORREF clrState2, COLORREF clrState3) {
    m_colors.state1 = clrState1;
    m_colors.state2 = clrState2;
    m_colors.state3 = clrState3;
}

void CThemeListBox::SetTextColors(COLORREF clrState1, COLORREF clrState2, COLORREF clrState3,
                                  COLORREF clrBack1, COLORREF clrBack2) {
    SetFontColors(clrState1, clrState2, clrState3);
    SetNormalBackColors(clrBack1, clrBack2);
}

void CThemeListBox::SetToolTipText(LPCTSTR lpszText) {
    if (GetSafeHwnd()) SetControlToolTip(m_toolTip, this, lpszText);
}

void CThemeListBox::SetTransparent(BYTE nAlpha) {
    if (nAlpha == 0 || !GetSafeHwnd()) return;
    using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    HMODULE user = ::GetModuleHandleA("USER32.DLL");
    if (!user) return;
    const SetLayeredFn fn = reinterpret_cast<SetLayeredFn>(
        reinterpret_cast<void*>(::GetProcAddress(user, "SetLayeredWindowAttributes")));
    if (!fn) return;
    ModifyStyleEx(0, WS_EX_LAYERED);
    fn(m_hWnd, 0, nAlpha, LWA_ALPHA);
}

// ---- notifications

BOOL CThemeListBox::NotifyTargetAlive() const { return m_hNotifyWnd && ::IsWindow(m_hNotifyWnd); }

void CThemeListBox::SendCommand(UINT nCode, HWND hWndParam) {
    if (!NotifyTargetAlive()) return;
    ::SendMessageA(m_hNotifyWnd, WM_COMMAND, MAKEWPARAM(m_nCtrlId, nCode),
                   reinterpret_cast<LPARAM>(hWndParam));
}

LRESULT CThemeListBox::NotifyWnd(int nValue1, int nValue2, int nCode) {
    if (!GetSafeHwnd() || !NotifyTargetAlive()) return 0;
    ListBoxNotify n = {};
    n.hdr.hwndFrom = m_hWnd;
    n.hdr.idFrom = m_nCtrlId;
    n.hdr.code = static_cast<UINT>(nCode);
    n.value1 = nValue1;
    n.value2 = nValue2;
    return ::SendMessageA(m_hNotifyWnd, WM_NOTIFY, m_nCtrlId, reinterpret_cast<LPARAM>(&n));
}

void CThemeListBox::OnInnerErrSpace() { SendCommand(static_cast<UINT>(LBN_ERRSPACE), m_hWnd); }

void CThemeListBox::OnInnerSelCancel() { SendCommand(LBN_SELCANCEL, m_hWnd); }

// ---- painting

void CThemeListBox::PaintItems(CDC* pDC) {
    CPen pen(PS_SOLID, 1, m_clrFrame);
    CFont font;
    font.CreateFont(m_nFontSize, 0, 0, 0, m_bFontBold ? FW_BOLD : FW_THIN, FALSE, FALSE, FALSE,
                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH, skin::kSkinFontFace);
    CPen* pOldPen = pDC->SelectObject(&pen);
    CFont* pOldFont = pDC->SelectObject(&font);
    pDC->SetBkMode(TRANSPARENT);

    const skin::Rect area = RowArea();
    const int count = GetCount();
    const skin::ListPaintPlan plan =
        skin::PlanListRows(area, m_nLeftGap, m_nRightGap, GetTopIndex(), count, ItemHeight());
    for (const skin::ListRow& row : plan.rows) {
        const skin::ListBoxRowLook look =
            skin::ListRowLook(m_colors, row.index, m_nSelection, GetItemData(row.index));
        CRect rc = ToCRect(row.rect);
        pDC->FillSolidRect(&rc, look.back);
        pDC->MoveTo(rc.left, rc.bottom - 1);
        pDC->LineTo(rc.right, rc.bottom - 1);
        pDC->SetTextColor(look.text);
        CString text;
        GetText(row.index, text);
        pDC->DrawText(text, &rc, m_nAlignFormat | DT_SINGLELINE);
    }
    if (!plan.below.IsEmpty()) {
        CRect rc = ToCRect(plan.below);
        pDC->FillSolidRect(&rc, m_clrBack);
    }
    if (m_nLeftGap > 0)
        pDC->FillSolidRect(area.left, area.top, m_nLeftGap, area.Height(), m_clrBack);
    if (m_nRightGap > 0)
        pDC->FillSolidRect(area.right - m_nRightGap, area.top, m_nRightGap, area.Height(),
                           m_clrBack);

    pDC->SelectObject(pOldFont);
    pDC->SelectObject(pOldPen);
}

void CThemeListBox::OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    if (rc.IsRectEmpty()) return;
    // Into a memory picture first, then one blit: no flicker while the rows
    // scroll.
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap bm;
    bm.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height());
    CBitmap* pOldBm = mem.SelectObject(&bm);
    mem.FillSolidRect(&rc, m_clrBack);
    PaintItems(&mem);
    CRect r = rc;
    r.right -= 1;
    r.bottom -= 1;
    for (int i = 0; i < m_nOutlineThick; ++i) {
        Draw3DOutline(r.left, r.top, r.right, r.bottom, m_clrOutlineLT, m_clrOutlineLT,
                      m_clrOutlineRB, m_clrOutlineRB, &mem);
        r.DeflateRect(1, 1);
    }
    dc.BitBlt(0, 0, rc.Width(), rc.Height(), &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOldBm);
}

BOOL CThemeListBox::OnEraseBkgnd(CDC*) { return TRUE; }

// ---- mouse and focus

void CThemeListBox::OnLButtonDown(UINT nFlags, CPoint point) {
    SetFocus();
    CWnd::OnLButtonDown(nFlags, point);
}

void CThemeListBox::OnLButtonUp(UINT nFlags, CPoint point) {
    const skin::Rect area = RowArea();
    const int top = GetTopIndex();
    const int count = GetCount();
    const int h = ItemHeight();
    const int hit = skin::ListHitTest(area, top, count, h, point.x, point.y);
    if (hit >= 0) {
        const int old = m_nSelection;
        m_nSelection = hit;
        const CRect rcOld = ToCRect(skin::ListItemRect(area, top, count, h, old));
        const CRect rcNew = ToCRect(skin::ListItemRect(area, top, count, h, hit));
        if (!rcOld.IsRectEmpty()) InvalidateRect(&rcOld, FALSE);
        if (!rcNew.IsRectEmpty()) InvalidateRect(&rcNew, FALSE);
    }
    SendCommand(LBN_SELCHANGE, m_hWnd);
    CWnd::OnLButtonUp(nFlags, point);
}

void CThemeListBox::OnLButtonDblClk(UINT nFlags, CPoint point) {
    const int hit =
        skin::ListHitTest(RowArea(), GetTopIndex(), GetCount(), ItemHeight(), point.x, point.y);
    if (hit >= 0) SendCommand(LBN_DBLCLK, m_hWnd);
    CWnd::OnLButtonDblClk(nFlags, point);
}

void CThemeListBox::OnSetFocus(CWnd* pOldWnd) {
    CWnd::OnSetFocus(pOldWnd);
    SendCommand(LBN_SETFOCUS, pOldWnd ? pOldWnd->GetSafeHwnd() : nullptr);
}

void CThemeListBox::OnKillFocus(CWnd* pNewWnd) {
    CWnd::OnKillFocus(pNewWnd);
    SendCommand(LBN_KILLFOCUS, pNewWnd ? pNewWnd->GetSafeHwnd() : nullptr);
}

BOOL CThemeListBox::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
    int newTop = 0;
    if (m_pInner && m_pInner->GetSafeHwnd() && skin::ListWheelTop(GetTopIndex(), zDelta, &newTop)) {
        // This box's own top row before and after: another box's wheel
        // must not decide whether this one repaints.
        const int before = GetTopIndex();
        m_pInner->SetTopIndex(newTop);
        if (GetTopIndex() != before) Invalidate(FALSE);
    }
    return CWnd::OnMouseWheel(nFlags, zDelta, pt);
}
