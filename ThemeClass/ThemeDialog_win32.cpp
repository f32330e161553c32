#include "ThemeClass/ThemeDialog.h"

#include "ThemeClass/ThemeMenu.h"

#include <cstring>
#include <string>

#include "ThemeClass/ThemeConfig.h"
#include "ThemeClass/ThemeDraw.h"
#include "ThemeClass/ThemeProfile.h"

namespace {

skin::Rect ToSkin(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }
CRect ToCRect(const skin::Rect& r) { return CRect(r.left, r.top, r.right, r.bottom); }
std::string Str(LPCTSTR s) { return s ? std::string(s) : std::string(); }

// A colon after the first character: a path with a drive.
bool HasDrive(const CString& s) {
    const char* p = s;
    const char* colon = std::strchr(p, ':');
    return colon && colon > p;
}

BOOL LoadResourceBitmap(CBitmap& bmp, UINT nID) {
    HBITMAP h = (HBITMAP)::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nID), IMAGE_BITMAP,
                                      0, 0, LR_CREATEDIBSECTION);
    if (!h) return FALSE;
    bmp.DeleteObject();
    bmp.Attach(h);
    return TRUE;
}

}  // namespace

BEGIN_MESSAGE_MAP(CThemeDialog, CDialog)
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_CREATE()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_DESTROY()
ON_WM_TIMER()
ON_WM_CTLCOLOR()
ON_WM_ACTIVATE()
ON_WM_MOVE()
END_MESSAGE_MAP()

CThemeDialog::CThemeDialog(UINT nIDTemplate, CWnd* pParent)
    : CDialog(nIDTemplate, pParent),
      m_strImageFolder("Image\\"),
      m_strConfigFolder("Config\\"),
      m_nBackDrawType(0),
      m_bInactiveImage(FALSE),
      m_rcLayout(-1, -1, -1, -1),
      m_nIDD(nIDTemplate),
      m_pResizeWnd(nullptr) {
    SetDefaults();
}

CThemeDialog::~CThemeDialog() {
    delete m_pResizeWnd;
    m_pResizeWnd = nullptr;
    // A dialog object that goes with its window still standing frees its
    // controls here; OnDestroy has emptied the arrays otherwise.
    for (int k = skin::kFirstKind; k <= skin::kLastKind; ++k) {
        for (int i = 0; i < m_arrControls[k].GetSize(); ++i) delete m_arrControls[k][i];
        m_arrControls[k].RemoveAll();
    }
}

void CThemeDialog::SetDefaults() {
    if (m_nBackDrawType == 2) m_bmpBack.DeleteObject();
    if (m_bInactiveImage) m_bmpInactive.DeleteObject();
    m_strCaption.Empty();
    m_rcCaptionArea = CRect(27, 8, 170, 24);
    m_nAlignFormat = 4;
    m_nFontSize = 12;
    m_bFontBold = TRUE;
    m_crFont = 0xFFFFFF;
    m_crShadow = 0x000000;
    m_nBackDrawType = 1;
    m_nBackImageFillType = 0;
    m_nBackImageAlignFormat = 0x24;
    m_crBack = 0xF0E0CF;
    m_bInactiveImage = FALSE;
    m_nResizeZone = 0;
    m_nBorderWidth = 7;
    m_bActive = TRUE;
    m_ptLast = CPoint(0, 0);
    m_bResizable = FALSE;
    m_bMouseDragMove = FALSE;
    m_nMinWidth = 50;
    m_nMinHeight = 50;
    m_nMaxWidth = 4000;
    m_nMaxHeight = 4000;
    m_bTransparentByColor = FALSE;
    m_crTransparent = 0xFF00FF;
    m_byAlpha = 255;
    m_bChildDialog = FALSE;
}

// ---- look ------------------------------------------------------------------

void CThemeDialog::SetCaption(LPCTSTR lpszText) {
    const skin::CaptionText t = skin::MakeCaption(Str(lpszText));
    m_strCaption = t.caption.c_str();
    if (m_hWnd) SetWindowText(t.windowText.c_str());
}

void CThemeDialog::SetFontColors(COLORREF clrFont, COLORREF clrShadow) {
    m_crFont = clrFont;
    m_crShadow = clrShadow;
}

void CThemeDialog::SetCaptionFont(int nSize, BOOL bBold, COLORREF clrFont, COLORREF clrShadow,
                                  UINT nAlign) {
    m_nFontSize = nSize;
    m_bFontBold = bBold;
    m_crFont = clrFont;
    m_crShadow = clrShadow;
    m_nAlignFormat = nAlign;
}

CString CThemeDialog::GetImagePath(LPCTSTR lpszName) const {
    const CString name(lpszName ? lpszName : "");
    if (HasDrive(name)) return name;
    if (HasDrive(m_strImageFolder)) return m_strImageFolder + name;
    return GetAppFolder() + m_strImageFolder + name;
}

BOOL CThemeDialog::LoadBackImageFile(LPCTSTR lpszName) {
    const BOOL ok = LoadPictureFile(GetImagePath(lpszName), &m_bmpBack);
    m_nBackDrawType = ok ? 2 : 1;
    return ok;
}

BOOL CThemeDialog::LoadInactiveImageFile(LPCTSTR lpszName) {
    m_bInactiveImage = LoadPictureFile(GetImagePath(lpszName), &m_bmpInactive);
    return m_bInactiveImage;
}

BOOL CThemeDialog::LoadBackImageResource(UINT nIDBitmap) {
    const BOOL ok = LoadResourceBitmap(m_bmpBack, nIDBitmap);
    m_nBackDrawType = ok ? 2 : 1;
    return ok;
}

BOOL CThemeDialog::LoadInactiveImageResource(UINT nIDBitmap) {
    m_bInactiveImage = LoadResourceBitmap(m_bmpInactive, nIDBitmap);
    return m_bInactiveImage;
}

void CThemeDialog::SetToolTip(LPCTSTR lpszText) {
    if (m_ToolTip.GetSafeHwnd())
        m_ToolTip.UpdateTool(lpszText);
    else
        m_ToolTip.SetTool(this, (UINT_PTR)m_nIDD, lpszText);
}

void CThemeDialog::SetImageFolder(LPCTSTR lpszFolder) {
    m_strImageFolder = lpszFolder ? lpszFolder : "";
    if (m_strImageFolder.IsEmpty() || m_strImageFolder[m_strImageFolder.GetLength() - 1] != '\\')
        m_strImageFolder += "\\";
}

void CThemeDialog::SetConfigFolder(LPCTSTR lpszFolder) {
    m_strConfigFolder = lpszFolder ? lpszFolder : "";
    if (m_strConfigFolder.IsEmpty() || m_strConfigFolder[m_strConfigFolder.GetLength() - 1] != '\\')
        m_strConfigFolder += "\\";
}

BOOL CThemeDialog::OnEraseBkgnd(CDC* pDC) {
    CRect rc;
    GetClientRect(&rc);
    CDC mem;
    mem.CreateCompatibleDC(pDC);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(pDC, rc.Width(), rc.Height());
    CBitmap* old = mem.SelectObject(&bmp);
    mem.SetBkMode(TRANSPARENT);
    mem.FillSolidRect(&rc, m_bTransparentByColor ? m_crTransparent : m_crBack);
    DrawBackground(&mem);
    pDC->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
    return TRUE;
}

void CThemeDialog::DrawBackground(CDC* pDC) {
    CRect rc;
    GetClientRect(&rc);
    if (m_nBackDrawType == 1) {
        pDC->FillSolidRect(&rc, m_crBack);
    } else if (m_nBackDrawType == 2) {
        CBitmap* img = (!m_bActive && m_bInactiveImage) ? &m_bmpInactive : &m_bmpBack;
        DrawBackImage(pDC, img, rc);
    }
    DrawCaption(pDC);
}

void CThemeDialog::DrawBackImage(CDC* pDC, CBitmap* pBitmap, const CRect& rc) {
    if (!pBitmap->GetSafeHandle()) return;
    switch (m_nBackImageFillType) {
        case 0: DrawNineGridImage(pDC, pBitmap, rc); break;
        case 1: DrawTransparentImage(pDC, pBitmap, rc.left, rc.top, rc.right, rc.bottom); break;
        case 2: {
            CBrush brush;
            brush.CreatePatternBrush(pBitmap);
            CBrush* old = pDC->SelectObject(&brush);
            pDC->PatBlt(rc.left, rc.top, rc.Width(), rc.Height(), PATCOPY);
            pDC->SelectObject(old);
            break;
        }
        case 3:
            DrawAlignedImage(pDC, pBitmap, rc.left, rc.top, rc.right, rc.bottom,
                             m_nBackImageAlignFormat);
            break;
        default: break;
    }
}

void CThemeDialog::DrawCaption(CDC* pDC) {
    const CRect rc = CalcTextRect(m_rcCaptionArea, this);
    const UINT format = m_nAlignFormat | DT_SINGLELINE;
    if (m_crShadow != 0xFF00FF)
        DrawMultiLineText(pDC, m_strCaption, m_nFontSize, m_crShadow, rc.left + 1, rc.top + 1,
                          rc.right + 1, rc.bottom + 1, format, m_bFontBold);
    DrawMultiLineText(pDC, m_strCaption, m_nFontSize, m_crFont, rc.left, rc.top, rc.right,
                      rc.bottom, format, m_bFontBold);
}

int CThemeDialog::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CDialog::OnCreate(lpCreateStruct) == -1) return -1;
    ModifyStyle(WS_SYSMENU, 0);
    CRect rc;
    GetClientRect(&rc);
    m_rcCaptionArea.right = rc.right - m_rcCaptionArea.left;
    SetTimer(IDT_DLG_LAYOUT, 10);
    m_pResizeWnd = new CDlgResizeWnd;
    if (m_pResizeWnd->CreateFor(this)) {
        ::SetWindowPos(m_pResizeWnd->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
        delete m_pResizeWnd;
        m_pResizeWnd = nullptr;
    }
    return 0;
}

BOOL CThemeDialog::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.style & WS_CHILD) {
        cs.style &= ~WS_CHILD;
        m_bChildDialog = TRUE;
    }
    return CDialog::PreCreateWindow(cs);
}

LRESULT CThemeDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            if (m_ToolTip.GetSafeHwnd()) {
                MSG msg = {m_hWnd, message, wParam, lParam, 0, {0, 0}};
                m_ToolTip.RelayEvent(&msg);
            }
            break;
        default: break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CThemeDialog::DoDataExchange(CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }

void CThemeDialog::OnOK() {
    if (HWND parent = ::GetParent(m_hWnd)) ::PostMessageA(parent, WM_SKIN_DLGOK, m_nIDD, 0);
    CDialog::OnOK();
}

void CThemeDialog::OnCancel() {
    if (HWND parent = ::GetParent(m_hWnd)) ::PostMessageA(parent, WM_SKIN_DLGCANCEL, m_nIDD, 0);
    CDialog::OnCancel();
}

void CThemeDialog::OnDestroy() {
    CDialog::OnDestroy();
    for (int k = skin::kFirstKind; k <= skin::kLastKind; ++k) {
        CArray<CWnd*>& arr = m_arrControls[k];
        for (int i = 0; i < arr.GetSize(); ++i) {
            if (CWnd* p = arr[i]) {
                p->DestroyWindow();
                delete p;
                arr[i] = nullptr;
            }
        }
        arr.RemoveAll();
    }
    if (m_ToolTip.GetSafeHwnd()) m_ToolTip.RemoveTool();
    if (m_pResizeWnd) {
        m_pResizeWnd->DestroyWindow();
        delete m_pResizeWnd;
        m_pResizeWnd = nullptr;
    }
}

HBRUSH CThemeDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

// ---- moving, resizing, transparency -------------------------------------------

skin::SizeLimits CThemeDialog::GetSizeLimits() const {
    skin::SizeLimits l;
    l.minWidth = m_nMinWidth;
    l.minHeight = m_nMinHeight;
    l.maxWidth = m_nMaxWidth;
    l.maxHeight = m_nMaxHeight;
    return l;
}

int CThemeDialog::HitTestBorder(int x, int y) const {
    CRect rc;
    GetClientRect(&rc);
    return skin::HitTestBorder(x, y, rc.right, rc.bottom, m_nBorderWidth);
}

void CThemeDialog::SetResizeCursor(int nZone) {
    static const LPCSTR kCursors[] = {IDC_ARROW,    IDC_SIZEWE,   IDC_SIZENS,
                                      IDC_SIZEWE,   IDC_SIZENS,   IDC_SIZENWSE,
                                      IDC_SIZENESW, IDC_SIZENESW, IDC_SIZENWSE};
    if (nZone < 0 || nZone > 8) nZone = 0;
    ::SetCursor(::LoadCursorA(nullptr, kCursors[nZone]));
}

CPoint CThemeDialog::ClientToScreenPoint(int x, int y) const {
    CRect rc;
    GetWindowRect(&rc);
    return CPoint(x + rc.left, y + rc.top);
}

void CThemeDialog::InvalidateCaptionStrip() {
    CRect rc;
    GetClientRect(&rc);
    rc.bottom = rc.top + 30;
    InvalidateRect(&rc, TRUE);
}

BOOL CThemeDialog::ResizeInProgress() const {
    return m_nResizeZone != 0 && m_bResizable && !IsZoomed();
}

void CThemeDialog::OnLButtonDown(UINT nFlags, CPoint point) {
    const CPoint screen = ClientToScreenPoint(point.x, point.y);
    m_nResizeZone = HitTestBorder(point.x, point.y);
    if (m_bMouseDragMove && m_nResizeZone == 0)
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
    if (ResizeInProgress()) {
        SetCapture();
        SetResizeCursor(m_nResizeZone);
        m_ptLast = screen;
        if (m_pResizeWnd) m_pResizeWnd->BeginResize(this, screen);
    }
    if (!m_bActive) {
        m_bActive = TRUE;
        InvalidateCaptionStrip();
    }
    CDialog::OnLButtonDown(nFlags, point);
}

void CThemeDialog::OnMouseMove(UINT nFlags, CPoint point) {
    const CPoint screen = ClientToScreenPoint(point.x, point.y);
    if (nFlags & MK_LBUTTON) {
        if (ResizeInProgress()) {
            if (m_pResizeWnd) m_pResizeWnd->MoveResize(this, screen);
            m_ptLast = screen;
        }
    } else {
        const int zone = HitTestBorder(point.x, point.y);
        if (zone != 0 && m_bResizable && !IsZoomed()) SetResizeCursor(zone);
    }
    CDialog::OnMouseMove(nFlags, point);
}

void CThemeDialog::OnLButtonUp(UINT nFlags, CPoint point) {
    const CPoint screen = ClientToScreenPoint(point.x, point.y);
    if (ResizeInProgress()) {
        ::ReleaseCapture();
        m_nResizeZone = 0;
        SetResizeCursor(0);
        CRect rc;
        if (m_pResizeWnd)
            rc = m_pResizeWnd->EndResize(this, screen);
        else
            GetWindowRect(&rc);
        rc = ToCRect(skin::ClampToLimits(ToSkin(rc), GetSizeLimits()));
        MoveWindow(&rc, TRUE);
    }
    CDialog::OnLButtonUp(nFlags, point);
}

void CThemeDialog::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
    CDialog::OnActivate(nState, pWndOther, bMinimized);
    const BOOL active = nState != WA_INACTIVE;
    if (active != m_bActive) {
        m_bActive = active;
        InvalidateCaptionStrip();
    }
}

BOOL CThemeDialog::ApplyColorKey(COLORREF clrKey) {
    if (m_byAlpha < 255) return ThemeSetLayeredAttributes(m_hWnd, clrKey, m_byAlpha, 3);
    return ThemeSetLayeredAttributes(m_hWnd, clrKey, 0, 1);
}

BOOL CThemeDialog::SetAlpha(BYTE byAlpha) {
    if (byAlpha == 0) return FALSE;
    m_byAlpha = byAlpha;
    if (m_bTransparentByColor)
        return ThemeSetLayeredAttributes(m_hWnd, m_crTransparent, byAlpha, 3);
    return ThemeSetLayeredAttributes(m_hWnd, 0, byAlpha, 2);
}

void CThemeDialog::SetTransparentColor(COLORREF clr) {
    m_crTransparent = clr;
    SetTransparentByColor(TRUE);
}

void CThemeDialog::SetTransparentByColor(BOOL bOn) {
    m_bTransparentByColor = bOn;
    if (bOn) ApplyColorKey(m_crTransparent);
}

void CThemeDialog::ResizeByDelta(int nZone, int x0, int y0, int x1, int y1) {
    CRect rc;
    GetWindowRect(&rc);
    skin::Rect out;
    if (!skin::ResizeByDelta(ToSkin(rc), nZone, x1 - x0, y1 - y0, GetSizeLimits(), &out)) return;
    const CRect r = ToCRect(out);
    MoveWindow(&r, TRUE);
}

void CThemeDialog::GrowBorder(int nZone) {
    CRect rc;
    GetWindowRect(&rc);
    const CRect r = ToCRect(skin::GrowBorder(ToSkin(rc), nZone));
    MoveWindow(&r, TRUE);
}

void CThemeDialog::AdoptThickFrame() {
    if (GetStyle() & WS_THICKFRAME) {
        ModifyStyle(WS_THICKFRAME, 0);
        m_bResizable = TRUE;
    }
}

// ---- attached windows and re-anchoring ---------------------------------------

BOOL CThemeDialog::IsFixedRect(int nLeft, int nTop, int nRight, int nBottom) {
    return skin::IsFixedRect(skin::Rect{nLeft, nTop, nRight, nBottom});
}

CRect CThemeDialog::ParseRect(LPCTSTR lpszText) { return ToCRect(skin::ParseRect(Str(lpszText))); }

COLORREF CThemeDialog::ParseColor(LPCTSTR lpszText) {
    return (COLORREF)skin::ParseColor(Str(lpszText));
}

void CThemeDialog::RepositionControls() {
    for (int k = skin::kFirstKind; k <= skin::kLastKind; ++k) {
        const ThemeKindRow* row = ThemeKindRowOf(k);
        if (!row) continue;
        for (int i = 0; i < m_arrControls[k].GetSize(); ++i) {
            CWnd* p = m_arrControls[k][i];
            if (!p || !p->GetSafeHwnd()) continue;
            const CRect lay = row->skinId(p)->GetLayoutRect();
            if (IsFixedRect(lay.left, lay.top, lay.right, lay.bottom)) continue;
            const CRect rc = CalcWindowConfigRect(lay, this);
            p->MoveWindow(&rc, TRUE);
        }
    }
    MoveChildDialogs();
    MoveChildWindows();
}

void CThemeDialog::MoveChildWindows() {
    for (int i = 0; i < m_arrChildWindow.GetSize(); ++i) {
        const ChildWindowRecord& r = m_arrChildWindow[i];
        if (!r.pWnd || !r.pWnd->GetSafeHwnd()) continue;
        if (IsFixedRect(r.rcLayout.left, r.rcLayout.top, r.rcLayout.right, r.rcLayout.bottom))
            continue;
        const CRect rc = CalcWindowConfigRect(r.rcLayout, this);
        r.pWnd->MoveWindow(&rc, TRUE);
    }
}

void CThemeDialog::MoveChildDialogs() {
    for (int i = 0; i < m_arrChildDialog.GetSize(); ++i) {
        CThemeDialog* d = m_arrChildDialog[i];
        if (!d || !d->GetSafeHwnd() || !d->IsChildDialog() || d == this) continue;
        CRect rc = CalcWindowConfigRect(d->GetLayoutRect(), this);
        ClientToScreen(&rc);
        d->MoveWindow(&rc, TRUE);
    }
}

void CThemeDialog::OnSize(UINT nType, int cx, int cy) {
    CDialog::OnSize(nType, cx, cy);
    if (cx < 8 || cy < 8) return;
    RepositionControls();
    Invalidate(TRUE);
    if (m_ToolTip.GetSafeHwnd()) m_ToolTip.UpdateTool(m_ToolTip.GetText());
}

void CThemeDialog::OnMove(int x, int y) {
    CDialog::OnMove(x, y);
    MoveChildDialogs();
    MoveChildWindows();
}

void CThemeDialog::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == IDT_DLG_LAYOUT) {
        KillTimer(IDT_DLG_LAYOUT);
        MoveChildDialogs();
        MoveChildWindows();
        Invalidate(TRUE);
    }
    CDialog::OnTimer(nIDEvent);
}

void CThemeDialog::AddChildWindow(CWnd* pWnd, LPCTSTR lpszName) {
    if (!pWnd) return;
    ChildWindowRecord r;
    r.pWnd = pWnd;
    r.strName = lpszName ? lpszName : "";
    CRect rc;
    if (ReadConfigPos(m_strSection, r.strName + "(Pos)", rc)) {
        r.rcLayout = rc;
    } else if (pWnd->GetSafeHwnd()) {
        pWnd->GetWindowRect(&rc);
        r.rcLayout = rc;
    }
    r.dwStyle = pWnd->GetSafeHwnd() ? pWnd->GetStyle() : 0;
    m_arrChildWindow.Add(r);
}

void CThemeDialog::AddChildDialog(CThemeDialog* pDlg, LPCTSTR lpszName) {
    if (!pDlg || !pDlg->GetSafeHwnd()) return;
    pDlg->SetChildName(lpszName);
    CRect rc;
    if (ReadConfigPos(m_strSection, pDlg->GetChildName() + "(Pos)", rc)) {
        pDlg->SetLayoutRect(rc);
    } else {
        // Kept relative to this dialog's client area, as the movers read it.
        pDlg->GetWindowRect(&rc);
        ScreenToClient(&rc);
        pDlg->SetLayoutRect(rc);
    }
    m_arrChildDialog.Add(pDlg);
}

BOOL CThemeDialog::IsDescendant(CWnd* pWnd) const {
    if (!pWnd || !pWnd->GetSafeHwnd()) return FALSE;
    for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        if (c == pWnd->m_hWnd) return TRUE;
        for (HWND g = ::GetWindow(c, GW_CHILD); g; g = ::GetWindow(g, GW_HWNDNEXT))
            if (g == pWnd->m_hWnd) return TRUE;
    }
    return FALSE;
}

// ---- skin profile files ----------------------------------------------------------

void CThemeDialog::SetSkin(LPCTSTR lpszSection) {
    SetImageFolder(g_strSkinDir);
    SetConfigFolder(g_strSkinDir);
    m_strSection = lpszSection ? lpszSection : "";
    LoadDialogSkin();
}

void CThemeDialog::SetSkinFolder(LPCTSTR lpszFolder) {
    SetThemeFolder(lpszFolder);
    SetImageFolder(g_strSkinDir);
    SetConfigFolder(g_strSkinDir);
    for (int i = 0; i < m_arrChildDialog.GetSize(); ++i) {
        if (CThemeDialog* d = m_arrChildDialog[i]) {
            d->SetImageFolder(g_strSkinDir);
            d->SetConfigFolder(g_strSkinDir);
        }
    }
}

CString CThemeDialog::ListSkinFolders() {
    const CString app = GetAppFolder();
    if (app.IsEmpty()) return CString();
    CString out;
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA(app + "*.*", &fd);
    if (h == INVALID_HANDLE_VALUE) return CString();
    do {
        if (std::strchr(fd.cFileName, '.')) continue;
        if (ScanFolder("ConfigPos.ini", app + fd.cFileName)) {
            out += fd.cFileName;
            out += "\n";
        }
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    if (!out.IsEmpty()) out = out.Left(out.GetLength() - 1);
    return out;
}

namespace {
CString ProfilePath(skin::ProfileFile file) { return g_strSkinDir + skin::ProfileFileName(file); }
}  // namespace

int CThemeDialog::ReadProfileText(LPCTSTR lpszPath, LPCTSTR lpszSection, LPCTSTR lpszKey,
                                  CString& str) {
    CString path(lpszPath ? lpszPath : "");
    if (!std::strchr(path, ':')) path = GetAppFolder() + path;
    char buffer[skin::kProfileValueMax + 1] = {};
    const DWORD n =
        ::GetPrivateProfileStringA(lpszSection, lpszKey, "", buffer, sizeof buffer, path);
    str = buffer;
    return (int)n;
}

int CThemeDialog::ReadProfileRect(LPCTSTR lpszPath, LPCTSTR lpszSection, LPCTSTR lpszKey,
                                  CRect& rc) {
    CString s;
    const int n = ReadProfileText(lpszPath, lpszSection, lpszKey, s);
    rc = ParseRect(s);
    return n;
}

int CThemeDialog::ReadProfileColor(LPCTSTR lpszPath, LPCTSTR lpszSection, LPCTSTR lpszKey,
                                   COLORREF& clr) {
    CString s;
    const int n = ReadProfileText(lpszPath, lpszSection, lpszKey, s);
    clr = ParseColor(s);
    return n;
}

int CThemeDialog::ReadProfileInt(LPCTSTR lpszPath, LPCTSTR lpszSection, LPCTSTR lpszKey, int& v) {
    CString s;
    const int n = ReadProfileText(lpszPath, lpszSection, lpszKey, s);
    v = skin::ParseInt(Str(s));
    return n;
}

int CThemeDialog::ReadConfigRaw(skin::ProfileFile file, LPCTSTR lpszSection, LPCTSTR lpszKey,
                                CString& str) const {
    return ReadProfileText(ProfilePath(file), lpszSection, lpszKey, str);
}

int CThemeDialog::ReadConfigPos(LPCTSTR s, LPCTSTR k, CRect& rc) const {
    return ReadProfileRect(ProfilePath(skin::ProfileFile::Pos), s, k, rc);
}
int CThemeDialog::ReadConfigColor(LPCTSTR s, LPCTSTR k, COLORREF& clr) const {
    return ReadProfileColor(ProfilePath(skin::ProfileFile::Color), s, k, clr);
}
int CThemeDialog::ReadConfigText(LPCTSTR s, LPCTSTR k, CString& str) const {
    return ReadProfileText(ProfilePath(skin::ProfileFile::Text), s, k, str);
}
int CThemeDialog::ReadConfigImage(LPCTSTR s, LPCTSTR k, CString& str) const {
    return ReadProfileText(ProfilePath(skin::ProfileFile::Image), s, k, str);
}
int CThemeDialog::ReadConfigValue(LPCTSTR s, LPCTSTR k, int& n) const {
    return ReadProfileInt(ProfilePath(skin::ProfileFile::Value), s, k, n);
}

void CThemeDialog::WriteConfigPos(LPCTSTR s, LPCTSTR k, const CRect& rc) const {
    WriteIniString(ProfilePath(skin::ProfileFile::Pos), s, k, skin::FormatRect(ToSkin(rc)).c_str());
}
void CThemeDialog::WriteConfigColor(LPCTSTR s, LPCTSTR k, COLORREF clr) const {
    WriteIniString(ProfilePath(skin::ProfileFile::Color), s, k, skin::FormatColor(clr).c_str());
}
void CThemeDialog::WriteConfigText(LPCTSTR s, LPCTSTR k, LPCTSTR t) const {
    WriteIniString(ProfilePath(skin::ProfileFile::Text), s, k, t);
}
void CThemeDialog::WriteConfigImage(LPCTSTR s, LPCTSTR k, LPCTSTR name) const {
    WriteIniString(ProfilePath(skin::ProfileFile::Image), s, k, name);
}
void CThemeDialog::WriteConfigValue(LPCTSTR s, LPCTSTR k, int n) const {
    WriteIniString(ProfilePath(skin::ProfileFile::Value), s, k, std::to_string(n).c_str());
}

void CThemeDialog::LoadDialogSkin() {
    const skin::SkinKeyList keys = skin::DialogKeyList();
    int child = 0;
    for (int i = 0; i < keys.count; ++i) {
        const skin::SkinKey& key = keys.keys[i];
        const std::string prop = key.property;
        if (prop == "Dlg(Pos)" && child != 0) continue;
        CString v;
        if (!ReadConfigRaw(key.file, m_strSection, key.property, v)) continue;
        const std::string s = Str(v);
        const int n = skin::ParseInt(s);
        const COLORREF c = (COLORREF)skin::ParseColor(s);
        using F = skin::ProfileFile;
        if (prop == "Dlg(Child)") {
            child = n;
            SetChildDialog(n);
        } else if (prop == "Dlg(Pos)") {
            const CRect rc = CalcWindowConfigRect(ParseRect(v), this);
            MoveWindow(&rc, TRUE);
        } else if (prop == "Dlg(CaptionArea)") {
            SetCaptionArea(ParseRect(v));
        } else if (prop == "Dlg(Caption)") {
            SetCaption(v);
        } else if (prop == "Dlg(ToolTip)") {
            SetToolTip(v);
        } else if (prop == "Dlg(Back)" && key.file == F::Color) {
            SetBackColor(c);
        } else if (prop == "Dlg(Font)") {
            SetFontColor(c);
        } else if (prop == "Dlg(Shadow)") {
            SetShadowColor(c);
        } else if (prop == "Dlg(Transparent)" && key.file == F::Color) {
            SetTransparentColor(c);
        } else if (prop == "Dlg(AlignFormat)") {
            SetAlignFormat((UINT)n);
        } else if (prop == "Dlg(BackDrawType)") {
            SetBackDrawType(n);
        } else if (prop == "Dlg(BackImageFillType)") {
            SetBackImageFillType(n);
        } else if (prop == "Dlg(FontSize)") {
            SetFontSize(n);
        } else if (prop == "Dlg(FontBold)") {
            SetFontBold(n);
        } else if (prop == "Dlg(Transparent)") {
            SetAlpha((BYTE)n);
        } else if (prop == "Dlg(Resize)") {
            SetResizable(n);
        } else if (prop == "Dlg(MouseDragMove)") {
            SetMouseDragMove(n);
        } else if (prop == "Dlg(MinWidth)") {
            SetMinWidth(n);
        } else if (prop == "Dlg(MinHeight)") {
            SetMinHeight(n);
        } else if (prop == "Dlg(MaxWidth)") {
            SetMaxWidth(n);
        } else if (prop == "Dlg(MaxHeight)") {
            SetMaxHeight(n);
        } else if (prop == "Dlg(TransparentByColor)") {
            SetTransparentByColor(n);
        } else if (prop == "Dlg(Back)" || prop == "Dlg(BackOnFocus)") {
            LoadBackImageFile(v);
        } else if (prop == "Dlg(BackKillFocus)") {
            LoadInactiveImageFile(v);
        }
    }
}

void CThemeDialog::PlaceControl(CThemeSkinId* pId, CWnd* pControl, const CRect& rcLayout) {
    pId->SetLayoutRect(rcLayout);
    if (!pControl->GetSafeHwnd()) return;
    const CRect rc = CalcWindowConfigRect(rcLayout, this);
    pControl->MoveWindow(&rc, TRUE);
}

void CThemeDialog::LoadControlSkin(int nKind, CWnd* pControl, LPCTSTR lpszName) {
    const ThemeKindRow* row = ThemeKindRowOf(nKind);
    if (!row || !pControl) return;
    const CString name(lpszName ? lpszName : "");
    const skin::SkinKeyList keys = skin::KeyListOf(nKind);
    for (int i = 0; i < keys.count; ++i) {
        const skin::SkinKey& key = keys.keys[i];
        CString v;
        if (!ReadConfigRaw(key.file, m_strSection, name + key.property, v)) continue;
        switch (skin::CommonKeyOf(key)) {
            case skin::CommonKey::Place:
                PlaceControl(row->skinId(pControl), pControl, ParseRect(v));
                break;
            case skin::CommonKey::Visible:
                if (pControl->GetSafeHwnd())
                    pControl->ShowWindow(skin::ParseInt(Str(v)) ? SW_SHOW : SW_HIDE);
                break;
            case skin::CommonKey::None: row->apply(this, pControl, key, v); break;
        }
    }
}

void CThemeDialog::SaveDialogPos() {
    CRect rc;
    GetWindowRect(&rc);
    WriteConfigPos(m_strSection, "Dlg(Pos)", rc);
}

void CThemeDialog::SaveLayout() {
    SaveDialogPos();
    static const int kOrder[] = {skin::kKindGroup,    skin::kKindStatic, skin::kKindButton,
                                 skin::kKindCheck,    skin::kKindRadio,  skin::kKindEdit,
                                 skin::kKindListBox,  skin::kKindCombo,  skin::kKindProgress,
                                 skin::kKindListCtrl, skin::kKindSlider, skin::kKindScroll,
                                 skin::kKindPicture,  skin::kKindGrid};
    for (int k : kOrder) {
        const ThemeKindRow* row = ThemeKindRowOf(k);
        if (!row) continue;
        for (int i = 0; i < m_arrControls[k].GetSize(); ++i) {
            CWnd* p = m_arrControls[k][i];
            if (!p || !p->GetSafeHwnd()) continue;
            CRect rc;
            p->GetWindowRect(&rc);
            ScreenToClient(&rc);
            WriteConfigPos(m_strSection, row->skinId(p)->GetName() + "(Pos)", rc);
        }
    }
    for (int i = 0; i < m_arrChildDialog.GetSize(); ++i) {
        CThemeDialog* d = m_arrChildDialog[i];
        if (!d) continue;
        CRect rc(10, 10, 100, 100);
        if (d->GetSafeHwnd()) d->GetWindowRect(&rc);
        if (d->IsChildDialog()) ScreenToClient(&rc);
        WriteConfigPos(m_strSection, d->GetChildName() + "(Pos)", rc);
    }
    for (int i = 0; i < m_arrChildWindow.GetSize(); ++i) {
        const ChildWindowRecord& r = m_arrChildWindow[i];
        CRect rc = r.rcLayout;
        if (r.pWnd && r.pWnd->GetSafeHwnd()) r.pWnd->GetWindowRect(&rc);
        if (r.dwStyle & WS_CHILD) ScreenToClient(&rc);
        WriteConfigPos(m_strSection, r.strName + "(Pos)", rc);
    }
}

void CThemeDialog::ReloadSkin() {
    CArray<CThemeDialog*> path;
    ReloadSkinGuarded(path);
}

void CThemeDialog::ReloadSkinGuarded(CArray<CThemeDialog*>& path) {
    path.Add(this);
    SetDefaults();
    for (int k = skin::kFirstKind; k <= skin::kLastKind; ++k) {
        const ThemeKindRow* row = ThemeKindRowOf(k);
        if (!row) continue;
        for (int i = 0; i < m_arrControls[k].GetSize(); ++i) {
            CWnd* p = m_arrControls[k][i];
            if (!p) continue;
            if (row->reset) row->reset(p);
            row->skinId(p)->ResetLayoutRect();
            LoadControlSkin(k, p, row->skinId(p)->GetName());
        }
    }
    for (int i = 0; i < m_arrChildDialog.GetSize(); ++i) {
        CThemeDialog* d = m_arrChildDialog[i];
        if (!d) continue;
        CRect rc;
        if (ReadConfigPos(m_strSection, d->GetChildName() + "(Pos)", rc)) d->SetLayoutRect(rc);
        // A dialog attached to itself or to one of its own attachers would
        // reload for ever.
        bool onPath = false;
        for (int j = 0; j < path.GetSize(); ++j) onPath = onPath || path[j] == d;
        if (!onPath) d->ReloadSkinGuarded(path);
    }
    for (int i = 0; i < m_arrChildWindow.GetSize(); ++i) {
        ChildWindowRecord& r = m_arrChildWindow[i];
        CRect rc;
        if (ReadConfigPos(m_strSection, r.strName + "(Pos)", rc)) r.rcLayout = rc;
    }
    LoadDialogSkin();
    if (m_hWnd) SetTimer(IDT_DLG_LAYOUT, 10);
    path.RemoveAt(path.GetSize() - 1);
}

// ---- controls ---------------------------------------------------------------------

int CThemeDialog::GetControlCount(int nKind) const {
    if (nKind < skin::kFirstKind || nKind > skin::kLastKind) return 0;
    return m_arrControls[nKind].GetSize();
}

CWnd* CThemeDialog::GetControl(int nKind, int nIndex) const {
    if (nIndex < 0 || nIndex >= GetControlCount(nKind)) return nullptr;
    return m_arrControls[nKind][nIndex];
}

void CThemeDialog::AppendControl(int nKind, CWnd* pControl) {
    if (nKind < skin::kFirstKind || nKind > skin::kLastKind) return;
    m_arrControls[nKind].Add(pControl);
}

CWnd* CThemeDialog::CreateThemeControl(UINT nID, int* pKind, LPCTSTR lpszName) {
    if (pKind) *pKind = skin::kKindNone;
    HWND hTemplate = ::GetDlgItem(m_hWnd, (int)nID);
    if (!hTemplate) return nullptr;
    char cls[260] = {};
    ::GetClassNameA(hTemplate, cls, sizeof cls);
    const DWORD style = (DWORD)::GetWindowLongA(hTemplate, GWL_STYLE);
    const int kind = skin::ClassifyControl(cls, style);
    if (pKind) *pKind = kind;
    const ThemeKindRow* row = ThemeKindRowOf(kind);
    if (!row || !row->create) return nullptr;
    return row->create(this, nID, lpszName);
}

CWnd* CThemeDialog::CreateControlOfKind(int nKind, UINT nID, LPCTSTR lpszName) {
    const ThemeKindRow* row = ThemeKindRowOf(nKind);
    if (!row || !row->create) return nullptr;
    return row->create(this, nID, lpszName);
}

CThemeMenu* CThemeDialog::AddMenu(UINT nID, UINT nIDMenu, short nSubMenuIndex, LPCTSTR lpszName) {
    auto* p = static_cast<CThemeMenu*>(CreateControlOfKind(skin::kKindMenu, nID, lpszName));
    if (!p) return nullptr;
    p->LoadMenu(nIDMenu);
    p->SetSubMenuIndex(nSubMenuIndex);
    return p;
}

CWnd* CThemeDialog::ReplaceControl(UINT nID) {
    int kind = 0;
    return CreateThemeControl(nID, &kind, "");
}

CWnd* CThemeDialog::ReplaceControlWithSkin(UINT nID, LPCTSTR lpszName) {
    int kind = 0;
    CWnd* p = CreateThemeControl(nID, &kind, lpszName);
    if (p && kind != skin::kKindNone) LoadControlSkin(kind, p, lpszName);
    return p;
}
