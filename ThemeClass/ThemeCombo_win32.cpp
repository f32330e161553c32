#include "ThemeClass/ThemeCombo.h"

#include "ThemeClass/ThemeDraw.h"

namespace {

CRect ToCRect(const skin::Rect& r) { return CRect(r.left, r.top, r.right, r.bottom); }
skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }

constexpr COLORREF kKey = 0xFF00FF;

}  // namespace

BEGIN_MESSAGE_MAP(CThemeCombo, CWnd)
ON_LBN_SELCHANGE(CThemeCombo::kListId, OnListSelChange)
ON_LBN_KILLFOCUS(CThemeCombo::kListId, OnListKillFocus)
ON_WM_SIZE()
ON_WM_PAINT()
ON_WM_DESTROY()
ON_WM_CREATE()
ON_WM_LBUTTONDOWN()
ON_WM_KILLFOCUS()
ON_WM_TIMER()
ON_BN_CLICKED(CThemeCombo::kButtonId, OnDropButton)
END_MESSAGE_MAP()

CThemeCombo::CThemeCombo() { SetDefaultSkin(); }

CThemeCombo::~CThemeCombo() { DeleteChildren(); }

void CThemeCombo::DeleteChildren() {
    if (m_pEdit) {
        if (m_pEdit->GetSafeHwnd()) m_pEdit->DestroyWindow();
        delete m_pEdit;
        m_pEdit = nullptr;
    }
    if (m_pButton) {
        if (m_pButton->GetSafeHwnd()) m_pButton->DestroyWindow();
        delete m_pButton;
        m_pButton = nullptr;
    }
    if (m_pListBox) {
        if (m_pListBox->GetSafeHwnd()) m_pListBox->DestroyWindow();
        delete m_pListBox;
        m_pListBox = nullptr;
    }
}

void CThemeCombo::SetDefaultSkin() {
    if (m_pButton) m_pButton->ResetStyle();
    m_nFontSize = 12;
    m_bBold = FALSE;
    m_clrText = 0x000000;
    m_nOutlineThick = 1;
    m_clrOutlineLT = 0xA47B4E;
    m_clrOutlineRB = 0xC8C3C0;
    m_clrBack = 0xFFFFFF;
    m_clrFrame = 0xC8C8C8;
    m_nAlign = DT_CENTER | DT_VCENTER;
    m_nButtonWidth = 21;
    m_nStripHeight = 20;
    m_nListHeight = skin::kComboMinListHeight;
    m_nButtonBitmap = 0;
    m_strButtonImage = "";
    m_nButtonFrames = 4;
    m_nButtonReserved = 0;
}

BOOL CThemeCombo::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                         CCreateContext* pContext) {
    return CWnd::Create(nullptr, nullptr, dwStyle, rect, pParentWnd, nID, pContext);
}

// ---- children

int CThemeCombo::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
    CreateChildren(static_cast<DWORD>(lpCreateStruct->style));
    return 0;
}

void CThemeCombo::ApplyEditStyle() {
    if (!m_pEdit) return;
    m_pEdit->SetBackColor(m_clrBack);
    m_pEdit->SetFontSize(m_nFontSize);
    m_pEdit->SetFontColor(m_clrText);
    m_pEdit->SetFontBold(m_bBold);
    m_pEdit->SetOutlineThick(0);
}

void CThemeCombo::CreateChildren(DWORD dwStyle) {
    m_nAlign = skin::ComboAlignFromStyle(m_nAlign, dwStyle);

    m_pEdit = new CThemeEdit;
    DWORD editStyle = ES_CENTER | WS_VISIBLE | WS_TABSTOP;
    if (skin::ComboIsDropList(dwStyle)) editStyle |= ES_READONLY;
    m_pEdit->Create(editStyle, CRect(0, 0, 40, 20), this, kEditId);
    ApplyEditStyle();

    m_pButton = new CThemeButton;
    m_pButton->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                      CRect(0, 0, m_nButtonWidth, m_nStripHeight - 2), this, kButtonId);
    if (!(m_nButtonBitmap > 0 && m_nButtonFrames > 1)) {
        m_pButton->SetBackColors(0xFBD3C1, kKey, kKey, kKey);
        m_pButton->SetText("▽");
        m_pButton->SetTextColors(0x5D3925, kKey, kKey, kKey);
        m_pButton->SetFontSize(12);
        m_pButton->SetFontBold(TRUE);
    }

    m_pListBox = new CThemeListBox;
    m_pListBox->SetPopup(TRUE);
    if (!m_pListBox->Create(WS_CHILD | WS_TABSTOP, CRect(0, 20, 100, 80), this, kListId)) {
        if (m_pListBox->GetSafeHwnd()) m_pListBox->DestroyWindow();
        delete m_pListBox;
        m_pListBox = nullptr;
        return;
    }
    m_pListBox->SetNotifyWnd(this);
    m_pListBox->SetOutlineFrame(m_clrOutlineLT, m_clrOutlineRB, m_nOutlineThick, m_clrFrame,
                                m_clrBack);
    m_pListBox->SetFontSize(m_nFontSize);
    m_pListBox->SetFontBold(m_bBold);
    m_pListBox->SetAlignFormat(m_nAlign);
    m_pListBox->ShowWindow(SW_HIDE);
}

void CThemeCombo::OnDestroy() {
    CWnd::OnDestroy();
    KillTimer(skin::kComboDropTimer);
    m_bDropTimer = FALSE;
    DeleteChildren();
}

// ---- geometry

CRect CThemeCombo::GetStripRect() const {
    CRect rc;
    GetClientRect(&rc);
    rc.bottom = rc.top + m_nStripHeight;
    return rc;
}

CRect CThemeCombo::GetDropRect() const {
    CRect w;
    GetWindowRect(&w);
    return ToCRect(skin::ComboDropRect(ToSkin(w), m_nStripHeight, m_nListHeight,
                                       ::GetSystemMetrics(SM_CYSCREEN)));
}

void CThemeCombo::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    if (cx >= 10 && cy >= 10) {
        FitHeightToStrip();
        RecalcLayout();
    }
}

void CThemeCombo::FitHeightToStrip() {
    if (!GetSafeHwnd()) return;
    CRect w;
    GetWindowRect(&w);
    if (!skin::ComboFitListHeight(w.Height(), m_nStripHeight, &m_nListHeight)) return;
    CWnd* pParent = GetParent();
    if (pParent) pParent->ScreenToClient(&w);
    MoveWindow(w.left, w.top, w.Width(), m_nStripHeight, TRUE);
}

void CThemeCombo::RecalcLayout() {
    if (!GetSafeHwnd()) return;
    const skin::ComboLayout l =
        skin::LayoutCombo(ToSkin(GetStripRect()), m_nOutlineThick, m_nButtonWidth);
    const CRect rcEdit = ToCRect(l.edit);
    const CRect rcButton = ToCRect(l.button);
    if (m_pEdit && m_pEdit->GetSafeHwnd()) m_pEdit->MoveWindow(&rcEdit, TRUE);
    if (m_pButton && m_pButton->GetSafeHwnd()) m_pButton->MoveWindow(&rcButton, TRUE);
    if (m_pListBox && m_pListBox->GetSafeHwnd()) {
        const CRect rcDrop = GetDropRect();
        m_pListBox->MoveWindow(&rcDrop, TRUE);
    }
    Invalidate(FALSE);
}

// ---- painting

void CThemeCombo::OnPaint() {
    CPaintDC dc(this);
    CRect r = GetStripRect();
    // The fill's border in the back colour too: without an outline the
    // strip is the back alone.
    CBrush brush(m_clrBack);
    CPen pen(PS_SOLID, 1, m_clrBack);
    CBrush* pOldBrush = dc.SelectObject(&brush);
    CPen* pOldPen = dc.SelectObject(&pen);
    dc.Rectangle(&r);
    dc.SelectObject(pOldPen);
    dc.SelectObject(pOldBrush);
    r.right -= 1;
    r.bottom -= 1;
    for (int i = 0; i < m_nOutlineThick; ++i) {
        Draw3DOutline(r.left, r.top, r.right, r.bottom, m_clrOutlineLT, m_clrOutlineLT,
                      m_clrOutlineRB, m_clrOutlineRB, &dc);
        r.DeflateRect(1, 1);
    }
}

// ---- dropping and closing

BOOL CThemeCombo::IsDropped() const {
    return m_pListBox && m_pListBox->GetSafeHwnd() && m_pListBox->IsWindowVisible();
}

skin::ComboDropState CThemeCombo::DropState() const {
    skin::ComboDropState st;
    st.timerRunning = m_bDropTimer != FALSE;
    st.listShown = IsDropped() != FALSE;
    return st;
}

void CThemeCombo::OnDropButton() {
    skin::ComboDropState st = DropState();
    switch (st.OnButton(m_pListBox != nullptr)) {
        case skin::DropAction::kClose: HideDropList(); break;
        case skin::DropAction::kStartTimer:
            m_bDropTimer = TRUE;
            SetTimer(skin::kComboDropTimer, skin::kComboDropMs);
            break;
        default: break;
    }
}

void CThemeCombo::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == skin::kComboDropTimer) {
        KillTimer(skin::kComboDropTimer);
        skin::ComboDropState st = DropState();
        m_bDropTimer = FALSE;
        if (st.OnTimer() == skin::DropAction::kOpen) ShowDropList();
    }
    CWnd::OnTimer(nIDEvent);
}

void CThemeCombo::ShowDropList() {
    if (!m_pListBox || !m_pListBox->GetSafeHwnd()) return;
    const CRect rcDrop = GetDropRect();
    m_pListBox->MoveWindow(&rcDrop, TRUE);
    m_pListBox->ShowWindow(SW_SHOW);
    m_pListBox->SetFocus();
}

void CThemeCombo::HideDropList() { CloseList(nullptr); }

void CThemeCombo::CloseList(HWND hWndFocusTo) {
    if (!m_pListBox || !m_pListBox->GetSafeHwnd()) return;
    CRect rc;
    m_pListBox->GetWindowRect(&rc);
    m_pListBox->ShowWindow(SW_HIDE);
    CWnd* pParent = GetParent();
    if (!pParent) return;
    pParent->ScreenToClient(&rc);
    pParent->InvalidateRect(&rc, TRUE);
    // A focus the user moved to another window stays there.
    if (!hWndFocusTo || !::IsWindow(hWndFocusTo)) pParent->SetFocus();
}

BOOL CThemeCombo::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_KILLFOCUS)
        m_hListFocusTo = reinterpret_cast<HWND>(lParam);
    return CWnd::OnCommand(wParam, lParam);
}

void CThemeCombo::OnListKillFocus() {
    const HWND hTo = m_hListFocusTo;
    m_hListFocusTo = nullptr;
    skin::ComboDropState st = DropState();
    const bool overButton = m_pButton && m_pButton->IsHover();
    if (st.OnListLostFocus(overButton) == skin::DropAction::kClose) CloseList(hTo);
}

void CThemeCombo::OnKillFocus(CWnd* pNewWnd) {
    CWnd::OnKillFocus(pNewWnd);
    const HWND hTo = pNewWnd ? pNewWnd->GetSafeHwnd() : nullptr;
    const bool toButton = m_pButton && hTo && hTo == m_pButton->GetSafeHwnd();
    skin::ComboDropState st = DropState();
    if (st.OnComboLostFocus(toButton) == skin::DropAction::kClose) CloseList(hTo);
}

void CThemeCombo::OnLButtonDown(UINT nFlags, CPoint point) {
    SetEditFocus(TRUE);
    CWnd::OnLButtonDown(nFlags, point);
}

// ---- selection

void CThemeCombo::OnListSelChange() { RunSelection(); }

void CThemeCombo::RunSelection() {
    CString text;
    BOOL bHasText = FALSE;
    if (m_pListBox) {
        const int sel = m_pListBox->GetCurSel();
        if (sel >= 0) {
            m_pListBox->GetText(sel, text);
            bHasText = TRUE;
        }
    }
    HideDropList();
    // Without a selection the edit part keeps what it shows.
    if (m_pEdit) {
        if (bHasText) m_pEdit->SetText(text);
        m_pEdit->SetFocus(TRUE);
    }
    SendNotify(0, 0, CBN_SELCHANGE);
}

LRESULT CThemeCombo::SendNotify(int, int, UINT nCode) {
    if (!GetSafeHwnd()) return 0;
    HWND hOwner = ::GetParent(m_hWnd);
    if (!hOwner || !::IsWindow(hOwner)) return 0;
    return ::SendMessageA(hOwner, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), nCode),
                          reinterpret_cast<LPARAM>(m_hWnd));
}

// ---- items

int CThemeCombo::AddString(LPCTSTR lpszString) {
    return m_pListBox ? m_pListBox->AddString(lpszString) : CB_ERR;
}

int CThemeCombo::InsertString(int nIndex, LPCTSTR lpszString) {
    return m_pListBox ? m_pListBox->InsertString(nIndex, lpszString) : CB_ERR;
}

int CThemeCombo::DeleteString(UINT nIndex) {
    return m_pListBox ? m_pListBox->DeleteString(nIndex) : CB_ERR;
}

void CThemeCombo::ResetContent() {
    if (m_pListBox) m_pListBox->ResetContent();
}

int CThemeCombo::GetCount() const { return m_pListBox ? m_pListBox->GetCount() : 0; }

int CThemeCombo::GetCurSel() const { return m_pListBox ? m_pListBox->GetCurSel() : CB_ERR; }

int CThemeCombo::SetCurSel(int nSelect) {
    const int r = m_pListBox ? m_pListBox->SetCurSel(nSelect) : CB_ERR;
    RunSelection();
    return r;
}

int CThemeCombo::GetLBText(int nIndex, LPTSTR lpszText) const {
    return m_pListBox ? m_pListBox->GetText(nIndex, lpszText) : CB_ERR;
}

void CThemeCombo::GetLBText(int nIndex, CString& rString) const {
    rString.Empty();
    if (m_pListBox) m_pListBox->GetText(nIndex, rString);
}

int CThemeCombo::SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return m_pListBox ? m_pListBox->SetItemDataAndRedraw(nIndex, dwItemData) : CB_ERR;
}

// ---- edit part

void CThemeCombo::SetText(LPCTSTR lpszText) {
    if (m_pEdit) m_pEdit->SetText(lpszText);
}

void CThemeCombo::GetText(CString& rString) const {
    rString.Empty();
    if (m_pEdit) m_pEdit->GetText(rString);
}

void CThemeCombo::SetEditSel(int nStart, int nEnd) {
    if (m_pEdit) m_pEdit->SetSel(nStart, nEnd);
}

void CThemeCombo::SetEditFocus(BOOL bFocus) {
    if (m_pEdit) m_pEdit->SetFocus(bFocus);
}

void CThemeCombo::SetEditFont(CFont* pFont) {
    if (m_pEdit) m_pEdit->SetEditFont(pFont);
}

void CThemeCombo::ModifyEditStyle(DWORD dwRemove, DWORD dwAdd) {
    if (m_pEdit) m_pEdit->ModifyEditStyle(dwRemove, dwAdd);
}

void CThemeCombo::SetToolTipText(LPCTSTR lpszText) {
    if (m_pEdit) m_pEdit->SetToolTipText(lpszText);
}

void CThemeCombo::SetTool(LPCTSTR lpszText) {
    if (m_pEdit) m_pEdit->SetTool(lpszText);
}

void CThemeCombo::UpdateTool(LPCTSTR lpszText) {
    if (m_pEdit) m_pEdit->UpdateTool(lpszText);
}

void CThemeCombo::DelTool() {
    if (m_pEdit) m_pEdit->DelTool();
}

// ---- skin setters

void CThemeCombo::SetBackColor(COLORREF clr) {
    m_clrBack = clr;
    if (m_pEdit) m_pEdit->SetBackColor(clr);
    if (m_pListBox) m_pListBox->SetBackColor(clr);
}

void CThemeCombo::SetOutlineColor(COLORREF clr) {
    m_clrOutlineLT = m_clrOutlineRB = clr;
    if (m_pListBox) m_pListBox->SetOutlineColor(clr);
}

void CThemeCombo::SetOutlineLTColor(COLORREF clr) {
    m_clrOutlineLT = clr;
    if (m_pListBox) m_pListBox->SetOutlineLTColor(clr);
}

void CThemeCombo::SetOutlineRBColor(COLORREF clr) {
    m_clrOutlineRB = clr;
    if (m_pListBox) m_pListBox->SetOutlineRBColor(clr);
}

void CThemeCombo::SetFontColor(COLORREF clr) {
    m_clrText = clr;
    if (m_pEdit) m_pEdit->SetFontColor(clr);
    if (m_pListBox) m_pListBox->SetFontColor(clr);
}

void CThemeCombo::SetSelectFontColor(COLORREF clr) {
    if (m_pListBox) m_pListBox->SetSelectFontColor(clr);
}

void CThemeCombo::SetSelectBackColor(COLORREF clr) {
    if (m_pListBox) m_pListBox->SetSelectBackColor(clr);
}

void CThemeCombo::SetNormalBackColor(COLORREF clr) {
    if (m_pListBox) m_pListBox->SetNormalBackColor(clr);
}

void CThemeCombo::SetNormal1BackColor(COLORREF clr) {
    if (m_pListBox) m_pListBox->SetNormal1BackColor(clr);
}

void CThemeCombo::SetNormal2BackColor(COLORREF clr) {
    if (m_pListBox) m_pListBox->SetNormal2BackColor(clr);
}

void CThemeCombo::SetFrameColor(COLORREF clr) {
    m_clrFrame = clr;
    if (m_pListBox) m_pListBox->SetFrameColor(clr);
}

void CThemeCombo::SetFontSize(int nSize) {
    m_nFontSize = nSize;
    if (m_pEdit) m_pEdit->SetFontSize(nSize);
    if (m_pListBox) m_pListBox->SetFontSize(nSize);
}

void CThemeCombo::SetAlignFormat(UINT nFormat) {
    m_nAlign = nFormat;
    if (m_pListBox) m_pListBox->SetAlignFormat(nFormat);
}

void CThemeCombo::SetFontBold(BOOL bBold) {
    m_bBold = bBold;
    if (m_pEdit) m_pEdit->SetFontBold(bBold);
    if (m_pListBox) m_pListBox->SetFontBold(bBold);
}

void CThemeCombo::SetItemHeight(int nHeight) {
    if (m_pListBox) m_pListBox->SetItemHeight(nHeight);
}

void CThemeCombo::SetLeftGap(int nGap) {
    if (m_pListBox) m_pListBox->SetLeftGap(nGap);
}

void CThemeCombo::SetRightGap(int nGap) {
    if (m_pListBox) m_pListBox->SetRightGap(nGap);
}

void CThemeCombo::SetOutlineThick(int nThick) {
    m_nOutlineThick = nThick;
    RecalcLayout();
}

void CThemeCombo::SetNormalBackColors(COLORREF clr1, COLORREF clr2) {
    if (m_pListBox) m_pListBox->SetNormalBackColors(clr1, clr2);
}

void CThemeCombo::SetOutlineColors(COLORREF clrLT, COLORREF clrRB) {
    m_clrOutlineLT = clrLT;
    m_clrOutlineRB = clrRB;
    if (m_pListBox) m_pListBox->SetOutlineColors(clrLT, clrRB);
}

void CThemeCombo::SetOutline(COLORREF clrLT, COLORREF clrRB, int nThick) {
    m_clrOutlineLT = clrLT;
    m_clrOutlineRB = clrRB;
    m_nOutlineThick = nThick;
    if (m_pListBox) m_pListBox->SetOutline(clrLT, clrRB, nThick);
    RecalcLayout();
}

void CThemeCombo::SetOutlineAndFrame(COLORREF clrLT, COLORREF clrRB, int nThick,
                                     COLORREF clrFrame) {
    m_clrOutlineLT = clrLT;
    m_clrOutlineRB = clrRB;
    m_nOutlineThick = nThick;
    m_clrFrame = clrFrame;
    if (m_pListBox) m_pListBox->SetOutlineFrame(clrLT, clrRB, nThick, clrFrame, m_clrBack);
    RecalcLayout();
}

void CThemeCombo::SetTextStyle(COLORREF clrText, COLORREF clrBack, int nFontSize, BOOL bBold) {
    m_clrText = clrText;
    m_clrBack = clrBack;
    m_nFontSize = nFontSize;
    m_bBold = bBold;
    ApplyEditStyle();
    if (m_pListBox) {
        m_pListBox->SetFontColor(clrText);
        m_pListBox->SetBackColor(clrBack);
        m_pListBox->SetFontSize(nFontSize);
        m_pListBox->SetFontBold(bBold);
    }
}

void CThemeCombo::SetTextStyle(COLORREF clrText, COLORREF clrBack, int nFontSize, BOOL bBold,
                               UINT nAlign) {
    SetTextStyle(clrText, clrBack, nFontSize, bBold);
    m_nAlign = nAlign;
    if (m_pListBox) m_pListBox->SetAlignFormat(nAlign);
}

void CThemeCombo::SetSelectColors(COLORREF clrText, COLORREF clrBack) {
    if (m_pListBox) m_pListBox->SetSelectColors(clrText, clrBack);
}

void CThemeCombo::SetTransparent(BYTE nAlpha) {
    if (m_pListBox) m_pListBox->SetTransparent(nAlpha);
}

// ---- drop-button face

BOOL CThemeCombo::SetButtonImage(LPCTSTR lpszPath) {
    if (!m_pButton) return FALSE;
    const BOOL ok = m_pButton->SetImageFile(lpszPath);
    if (!ok) return FALSE;
    m_pButton->SetText("");
    m_strButtonImage = lpszPath;
    m_nButtonBitmap = 0;
    SizeButtonToImage();
    RecalcLayout();
    return ok;
}

BOOL CThemeCombo::SetButtonBitmap(UINT nIDResource) {
    if (!m_pButton) return FALSE;
    const BOOL ok = m_pButton->SetBitmap(nIDResource);
    if (!ok) return FALSE;
    m_pButton->SetText("");
    m_nButtonBitmap = nIDResource;
    m_strButtonImage = "";
    SizeButtonToImage();
    if (GetSafeHwnd()) {
        CRect w;
        GetWindowRect(&w);
        if (w.Height() != m_nStripHeight) {
            CWnd* pParent = GetParent();
            if (pParent) pParent->ScreenToClient(&w);
            MoveWindow(w.left, w.top, w.Width(), m_nStripHeight, TRUE);
        }
    }
    RecalcLayout();
    return ok;
}

void CThemeCombo::SetButtonFrameCount(int nCount) {
    // 0 would divide the image width by zero.
    if (!skin::ComboFrameCountValid(nCount)) return;
    if (m_pButton) m_pButton->SetFrameCount(nCount);
    m_nButtonFrames = nCount;
    SizeButtonToImage();
    RecalcLayout();
}

void CThemeCombo::SizeButtonToImage() {
    CBitmap image;
    BOOL ok = FALSE;
    if (m_nButtonBitmap > 0)
        ok = image.LoadBitmap(m_nButtonBitmap);
    else if (m_strButtonImage.GetLength() > 3)
        ok = LoadPictureFile(m_strButtonImage, &image);
    if (!ok) return;
    BITMAP bm = {};
    image.GetBitmap(&bm);
    const skin::ComboButtonSize s =
        skin::ComboSizeFromImage(bm.bmWidth, bm.bmHeight, m_nButtonFrames, m_nOutlineThick);
    m_nButtonWidth = s.buttonWidth;
    m_nStripHeight = s.stripHeight;
}
