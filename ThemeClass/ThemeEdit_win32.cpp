#include "ThemeClass/ThemeEdit.h"

#include <string>

#include "ThemeClass/ThemeDraw.h"

BEGIN_MESSAGE_MAP(CThemeEdit, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_PAINT()
ON_WM_CTLCOLOR()
ON_WM_ENABLE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CThemeEdit::s_bCheckingRange = FALSE;

namespace {

constexpr DWORD kInnerStyle = WS_VISIBLE | WS_TABSTOP;
const RECT kInnerStart = {0, 0, 40, 20};

}  // namespace

CThemeEdit::CThemeEdit() : m_alive(std::make_shared<bool>(true)) {
    m_range = skin::MakeEditRange(0.0, 0.0, false);
    SetDefaultSkin();
}

CThemeEdit::~CThemeEdit() {
    *m_alive = false;
    // Destroyed here, while the object is whole, so that OnDestroy frees
    // the inner edit and the brush.
    if (m_hWnd) DestroyWindow();
    m_pEdit.reset();
}

BOOL CThemeEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(nullptr, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CThemeEdit::SetDefaultSkin() {
    m_nFontSize = 12;
    m_bBold = FALSE;
    m_clrText = 0x000000;
    m_clrOutlineLT = 0xA47B4E;
    m_clrOutlineRB = 0xC8C3C0;
    m_nOutlineThick = 1;
    SetBackColor(0xFFFFFF);
    RebuildFont();
}

CBaseEdit* CThemeEdit::NewInnerEdit() { return new CBaseEdit; }

// ---- text, font, colours

void CThemeEdit::SetText(const CString& strText) { SetText(static_cast<LPCTSTR>(strText)); }

void CThemeEdit::SetText(LPCTSTR lpszText) {
    if (m_pEdit && m_pEdit->GetSafeHwnd()) m_pEdit->SetWindowText(lpszText ? lpszText : "");
}

void CThemeEdit::GetText(CString& strText) const {
    strText.Empty();
    if (m_pEdit && m_pEdit->GetSafeHwnd()) m_pEdit->GetWindowText(strText);
}

void CThemeEdit::SetFontSize(int nSize) {
    m_nFontSize = nSize;
    RebuildFont();
}

void CThemeEdit::SetFontBold(BOOL bBold) {
    m_bBold = bBold;
    RebuildFont();
}

void CThemeEdit::RebuildFont() {
    if (!m_pEdit || !m_pEdit->GetSafeHwnd()) return;
    CFont font;
    // Not bold is weight 100, lighter than the usual 400.
    font.CreateFont(m_nFontSize, 0, 0, 0, m_bBold ? 700 : 100, FALSE, FALSE, 0, DEFAULT_CHARSET,
                    OUT_STRING_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, 0,
                    skin::kSkinFontFace);
    // The edit takes the new font before the old one goes, so it never
    // holds a deleted font.
    m_pEdit->SetFont(&font, FALSE);
    m_font.DeleteObject();
    m_font.Attach(font.Detach());
}

void CThemeEdit::SetBackColor(COLORREF clr) {
    m_clrBack = clr;
    if (m_pEdit && m_pEdit->GetSafeHwnd()) {
        m_backBrush.DeleteObject();
        m_backBrush.CreateSolidBrush(clr);
    }
}

void CThemeEdit::SetOutlineColor(COLORREF clr) {
    m_clrOutlineLT = clr;
    m_clrOutlineRB = clr;
}

// ---- the inner edit's operations

void CThemeEdit::SetToolTipText(LPCTSTR lpszText) {
    if (m_pEdit) m_pEdit->SetToolTipText(lpszText);
}

void CThemeEdit::SetTool(LPCTSTR lpszText) {
    if (m_pEdit && m_pEdit->GetSafeHwnd())
        m_pEdit->GetToolTip().SetTool(m_pEdit.get(), m_pEdit->GetSafeHwnd(), lpszText);
}

void CThemeEdit::UpdateTool(LPCTSTR lpszText) {
    if (m_pEdit) m_pEdit->GetToolTip().UpdateTool(lpszText);
}

void CThemeEdit::DelTool() {
    if (m_pEdit) m_pEdit->GetToolTip().RemoveTool();
}

void CThemeEdit::SetSel(int nStart, int nEnd) {
    if (m_pEdit && m_pEdit->GetSafeHwnd()) m_pEdit->SetSel(nStart, nEnd, FALSE);
}

void CThemeEdit::SetFocus(BOOL bFocus) {
    if (bFocus && m_pEdit && m_pEdit->GetSafeHwnd()) m_pEdit->SetFocus();
}

void CThemeEdit::SetEditFont(CFont* pFont) {
    if (m_pEdit && m_pEdit->GetSafeHwnd()) m_pEdit->SetFont(pFont, FALSE);
}

void CThemeEdit::ModifyEditStyle(DWORD dwRemove, DWORD dwAdd) {
    if (!m_pEdit || !m_pEdit->GetSafeHwnd()) return;
    m_pEdit->ModifyStyle(dwRemove, dwAdd, 0);
    if ((dwRemove | dwAdd) & ES_READONLY) m_pEdit->SetReadOnly((dwAdd & ES_READONLY) != 0);
}

void CThemeEdit::SetRange(double dMin, double dMax, BOOL bIntegerMode) {
    m_range = skin::MakeEditRange(dMin, dMax, bIntegerMode != FALSE);
}

// ---- window

int CThemeEdit::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
    m_pEdit.reset(NewInnerEdit());
    const DWORD style = static_cast<DWORD>(lpCreateStruct->style) | kInnerStyle;
    if (!m_pEdit || !m_pEdit->Create(style, kInnerStart, this, THEMEEDIT_INNER_ID)) {
        m_pEdit.reset();
        return -1;
    }
    RebuildFont();
    m_backBrush.DeleteObject();
    m_backBrush.CreateSolidBrush(m_clrBack);
    return 0;
}

void CThemeEdit::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    if (!skin::EditLayoutApplies(cx, cy)) return;
    CRect c;
    GetClientRect(&c);
    const skin::Rect r =
        skin::EditInnerRect(skin::Rect{c.left, c.top, c.right, c.bottom}, m_nOutlineThick);
    if (m_pEdit && m_pEdit->GetSafeHwnd())
        m_pEdit->MoveWindow(r.left, r.top, r.Width(), r.Height(), TRUE);
    Invalidate(FALSE);
}

void CThemeEdit::OnPaint() {
    CPaintDC dc(this);
    CRect c;
    GetClientRect(&c);
    DrawOutlinedBack(&dc, m_clrBack, m_clrOutlineLT, m_clrOutlineRB, m_nOutlineThick, c.left, c.top,
                     c.right, c.bottom);
}

HBRUSH CThemeEdit::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    if (m_pEdit && pWnd && pWnd->GetSafeHwnd() == m_pEdit->GetSafeHwnd()) {
        pDC->SetTextColor(m_clrText);
        pDC->SetBkColor(m_clrBack);
        if (!m_backBrush.GetSafeHandle()) m_backBrush.CreateSolidBrush(m_clrBack);
        return static_cast<HBRUSH>(m_backBrush.GetSafeHandle());
    }
    return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CThemeEdit::OnEnable(BOOL bEnable) {
    CWnd::OnEnable(bEnable);
    // The inner edit follows, so a disabled box takes no input and shows
    // the disabled text; the frame is painted again.
    if (m_pEdit && m_pEdit->GetSafeHwnd()) m_pEdit->EnableWindow(bEnable);
    Invalidate(FALSE);
}

void CThemeEdit::OnDestroy() {
    CWnd::OnDestroy();
    // Released first: the inner edit's last notifications find no edit and
    // start no range check.
    std::unique_ptr<CBaseEdit> edit(std::move(m_pEdit));
    if (edit && edit->GetSafeHwnd()) edit->DestroyWindow();
    edit.reset();
    m_backBrush.DeleteObject();
}

// ---- notifications

BOOL CThemeEdit::OnCommand(WPARAM wParam, LPARAM lParam) {
    const HWND hCtl = reinterpret_cast<HWND>(lParam);
    const UINT code = HIWORD(wParam);
    if (!m_pEdit || !hCtl || hCtl != m_pEdit->GetSafeHwnd() ||
        LOWORD(wParam) != THEMEEDIT_INNER_ID || !skin::IsForwardedEditCode(code))
        return CWnd::OnCommand(wParam, lParam);
    const std::shared_ptr<bool> alive = m_alive;
    const HWND hParent = ::GetParent(m_hWnd);
    if (hParent)
        ::SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), code),
                       reinterpret_cast<LPARAM>(m_hWnd));
    // The parent may have deleted the box while it read the notification.
    if (*alive && code == EN_KILLFOCUS) CheckRange();
    return TRUE;
}

void CThemeEdit::CheckRange() {
    if (!skin::RangeCheckActive(m_range) || s_bCheckingRange || !m_pEdit) return;
    // Only a move inside the same top-level window is checked: a focus
    // taken by a message box or another program would start a box of its
    // own each time it comes back.
    const HWND hNext = m_pEdit->GetFocusSuccessor();
    if (!hNext || ::GetAncestor(hNext, GA_ROOT) != ::GetAncestor(m_hWnd, GA_ROOT)) return;
    CString text;
    m_pEdit->GetWindowText(text);
    if (skin::RangeAccepts(m_range, std::string(static_cast<LPCTSTR>(text)))) return;

    const std::shared_ptr<bool> alive = m_alive;
    s_bCheckingRange = TRUE;
    const std::string message = skin::RangeMessage(m_range);
    CWnd* pOwner = CWnd::FromHandle(::GetAncestor(m_hWnd, GA_ROOT));
    (pOwner ? pOwner : this)->MessageBox(message.c_str(), nullptr, MB_OK);
    if (*alive && m_pEdit && m_pEdit->GetSafeHwnd()) {
        m_pEdit->SetWindowText(skin::RangeResetText(m_range).c_str());
        // Still inside the guard: the box that loses the focus now is not
        // checked in turn.
        m_pEdit->SetFocus();
    }
    s_bCheckingRange = FALSE;
}
