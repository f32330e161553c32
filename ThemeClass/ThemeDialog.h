// The skinned dialog: a template dialog that paints its own background (a
// colour or an image) and caption, moves by its body, resizes by its border
// through a frame window, can be layered (colour key, alpha), re-anchors
// controls and attached windows placed by the position rule, replaces its
// template controls by skinned controls of the matching kind and can take
// its whole look from the skin profile files.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/DlgResizeWnd.h"
#include "ThemeClass/ThemeKinds.h"
#include "ThemeClass/ThemeResize.h"
#include "ThemeClass/ThemeSkinId.h"
#include "ThemeClass/ThemeToolTip.h"

// Posted to the parent when the dialog ends; wParam = the template id.
#define WM_SKIN_DLGOK 0x0465
#define WM_SKIN_DLGCANCEL 0x0466
// The one-shot layout timer after creation and after a skin reload.
#define IDT_DLG_LAYOUT 0x0467

class CThemeDialog;
class CThemeMenu;

// A window attached to a dialog under a name: re-placed by its layout
// rectangle when the dialog moves or changes size. The window is not owned.
struct ChildWindowRecord {
    CWnd* pWnd = nullptr;
    CString strName;
    CRect rcLayout{-1, -1, -1, -1};
    DWORD dwStyle = 0;
};

// One kind of skinned control as the dialog handles it: how it is made
// from a template control, reset to its built-in look and skinned from the
// profile files. A kind whose class is not in the library yet has no
// creator; its template controls are left alone.
struct ThemeKindRow {
    int kind;
    CWnd* (*create)(CThemeDialog* pDlg, UINT nID, LPCTSTR lpszName);
    void (*reset)(CWnd* pControl);
    CThemeSkinId* (*skinId)(CWnd* pControl);
    // Applies one key of the kind's list (skin::KeyListOf) that was found;
    // FALSE when the class has no setter for it.
    bool (*apply)(CThemeDialog* pDlg, CWnd* pControl, const skin::SkinKey& key,
                  const CString& strValue);
    // Whether the class has a setter for a key.
    bool (*handles)(const skin::SkinKey& key);
};
// The row of a kind, or null.
const ThemeKindRow* ThemeKindRowOf(int nKind);

class CThemeDialog : public CDialog {
public:
    CThemeDialog(UINT nIDTemplate, CWnd* pParent = nullptr);
    ~CThemeDialog() override;

    // ---- look
    void SetDefaults();
    void SetCaption(LPCTSTR lpszText);
    void SetCaptionArea(const CRect& rc) { m_rcCaptionArea = rc; }
    void SetAlignFormat(UINT nFormat) { m_nAlignFormat = nFormat; }
    void SetFontColor(COLORREF clr) { m_crFont = clr; }
    void SetShadowColor(COLORREF clr) { m_crShadow = clr; }
    void SetFontSize(int nSize) { m_nFontSize = nSize; }
    void SetFontBold(BOOL bBold) { m_bFontBold = bBold; }
    void SetFontColors(COLORREF clrFont, COLORREF clrShadow);
    void SetCaptionFont(int nSize, BOOL bBold, COLORREF clrFont, COLORREF clrShadow, UINT nAlign);
    void SetBackColor(COLORREF clr) { m_crBack = clr; }
    void SetBackDrawType(int nType) { m_nBackDrawType = nType; }
    void SetBackImageFillType(int nType) { m_nBackImageFillType = nType; }
    BOOL SetBackImage(LPCTSTR lpszPath) { return LoadBackImageFile(lpszPath); }
    BOOL SetBackImage(UINT nIDBitmap) { return LoadBackImageResource(nIDBitmap); }
    BOOL LoadBackImageFile(LPCTSTR lpszName);
    BOOL LoadInactiveImageFile(LPCTSTR lpszName);
    BOOL LoadBackImageResource(UINT nIDBitmap);
    BOOL LoadInactiveImageResource(UINT nIDBitmap);
    void SetToolTip(LPCTSTR lpszText);

    CString GetImagePath(LPCTSTR lpszName) const;
    void SetImageFolder(LPCTSTR lpszFolder);
    void SetConfigFolder(LPCTSTR lpszFolder);
    CString GetImageFolder() const { return m_strImageFolder; }
    CString GetCaption() const { return m_strCaption; }
    CRect GetCaptionArea() const { return m_rcCaptionArea; }
    COLORREF GetBackColor() const { return m_crBack; }
    int GetBackDrawType() const { return m_nBackDrawType; }
    UINT GetTemplateId() const { return m_nIDD; }

    void Close() { OnCancel(); }
    void OnOK() override;
    void OnCancel() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;

    // ---- moving, resizing, transparency
    void SetMouseDragMove(BOOL bOn) { m_bMouseDragMove = bOn; }
    void SetResizable(BOOL bOn) { m_bResizable = bOn; }
    BOOL IsResizable() const { return m_bResizable; }
    void SetMinWidth(int n) { m_nMinWidth = n; }
    void SetMinHeight(int n) { m_nMinHeight = n; }
    void SetMaxWidth(int n) { m_nMaxWidth = n; }
    void SetMaxHeight(int n) { m_nMaxHeight = n; }
    skin::SizeLimits GetSizeLimits() const;
    void SetTransparentColor(COLORREF clr);
    void SetTransparentByColor(BOOL bOn);
    BOOL ApplyColorKey(COLORREF clrKey);
    BOOL SetAlpha(BYTE byAlpha);
    BYTE GetAlpha() const { return m_byAlpha; }
    COLORREF GetTransparentColor() const { return m_crTransparent; }
    int HitTestBorder(int x, int y) const;
    void SetResizeCursor(int nZone);
    CPoint ClientToScreenPoint(int x, int y) const;
    void InvalidateCaptionStrip();
    void ResizeByDelta(int nZone, int x0, int y0, int x1, int y1);
    void GrowBorder(int nZone);
    void AdoptThickFrame();
    void Minimize() { ShowWindow(SW_MINIMIZE); }
    void ToggleMaximize() { ShowWindow(IsZoomed() ? SW_SHOWNORMAL : SW_MAXIMIZE); }
    int GetResizeZone() const { return m_nResizeZone; }
    BOOL IsActiveLook() const { return m_bActive; }
    CDlgResizeWnd* GetResizeWnd() const { return m_pResizeWnd; }

    // ---- attached windows and re-anchoring
    void AddChildWindow(CWnd* pWnd, LPCTSTR lpszName);
    void AddChildDialog(CThemeDialog* pDlg, LPCTSTR lpszName);
    void RepositionControls();
    void MoveChildWindows();
    void MoveChildDialogs();
    void SetChildDialog(BOOL bChild) { m_bChildDialog = bChild; }
    BOOL IsChildDialog() const { return m_bChildDialog; }
    void SetChildName(LPCTSTR lpszName) { m_strChildName = lpszName ? lpszName : ""; }
    CString GetChildName() const { return m_strChildName; }
    void SetLayoutRect(const CRect& rc) { m_rcLayout = rc; }
    CRect GetLayoutRect() const { return m_rcLayout; }
    int GetChildWindowCount() const { return m_arrChildWindow.GetSize(); }
    ChildWindowRecord GetChildWindow(int i) const { return m_arrChildWindow[i]; }
    static BOOL IsFixedRect(int nLeft, int nTop, int nRight, int nBottom);
    static CRect ParseRect(LPCTSTR lpszText);
    static COLORREF ParseColor(LPCTSTR lpszText);

    // ---- template controls
    CWnd* ReplaceControl(UINT nID);
    CWnd* ReplaceControlWithSkin(UINT nID, LPCTSTR lpszName);
    CWnd* CreateThemeControl(UINT nID, int* pKind, LPCTSTR lpszName);
    // The creator of a kind called directly (the scroll bar has no template
    // class of its own); null when the kind has no creator or it failed.
    CWnd* CreateControlOfKind(int nKind, UINT nID, LPCTSTR lpszName);
    BOOL IsDescendant(CWnd* pWnd) const;
    // A hidden skinned menu host holding a menu resource and the index of
    // the submenu it opens; null when the host window cannot be made.
    CThemeMenu* AddMenu(UINT nID, UINT nIDMenu, short nSubMenuIndex, LPCTSTR lpszName);
    CThemeMenu* AddMenu(UINT nIDMenu, short nSubMenuIndex, LPCTSTR lpszName) {
        return AddMenu((UINT)-1, nIDMenu, nSubMenuIndex, lpszName);
    }
    // The controls the dialog made, by kind.
    int GetControlCount(int nKind) const;
    CWnd* GetControl(int nKind, int nIndex) const;
    // Used by the kinds' creators: the new control goes into its kind's
    // array, which owns it from then on.
    void AppendControl(int nKind, CWnd* pControl);

    // ---- skin profile files
    void SetSkin(LPCTSTR lpszSection);
    void SetSkinFolder(LPCTSTR lpszFolder);
    BOOL HasSkinSection() const { return m_strSection.GetLength() >= 2; }
    void SetSection(LPCTSTR lpszSection) { m_strSection = lpszSection ? lpszSection : ""; }
    CString GetSection() const { return m_strSection; }
    static CString ListSkinFolders();
    int ReadConfigPos(LPCTSTR lpszSection, LPCTSTR lpszKey, CRect& rc) const;
    int ReadConfigColor(LPCTSTR lpszSection, LPCTSTR lpszKey, COLORREF& clr) const;
    int ReadConfigText(LPCTSTR lpszSection, LPCTSTR lpszKey, CString& str) const;
    int ReadConfigImage(LPCTSTR lpszSection, LPCTSTR lpszKey, CString& str) const;
    int ReadConfigValue(LPCTSTR lpszSection, LPCTSTR lpszKey, int& n) const;
    // The raw value of a key in one of the five files (at most 259
    // characters); returns the characters read.
    int ReadConfigRaw(skin::ProfileFile file, LPCTSTR lpszSection, LPCTSTR lpszKey,
                      CString& str) const;
    static int ReadProfileText(LPCTSTR lpszPath, LPCTSTR lpszSection, LPCTSTR lpszKey,
                               CString& str);
    static int ReadProfileRect(LPCTSTR lpszPath, LPCTSTR lpszSection, LPCTSTR lpszKey, CRect& rc);
    static int ReadProfileColor(LPCTSTR lpszPath, LPCTSTR lpszSection, LPCTSTR lpszKey,
                                COLORREF& clr);
    static int ReadProfileInt(LPCTSTR lpszPath, LPCTSTR lpszSection, LPCTSTR lpszKey, int& n);
    void WriteConfigPos(LPCTSTR lpszSection, LPCTSTR lpszKey, const CRect& rc) const;
    void WriteConfigColor(LPCTSTR lpszSection, LPCTSTR lpszKey, COLORREF clr) const;
    void WriteConfigText(LPCTSTR lpszSection, LPCTSTR lpszKey, LPCTSTR lpszText) const;
    void WriteConfigImage(LPCTSTR lpszSection, LPCTSTR lpszKey, LPCTSTR lpszName) const;
    void WriteConfigValue(LPCTSTR lpszSection, LPCTSTR lpszKey, int n) const;
    void LoadDialogSkin();
    // Reads a control's keys of its kind and applies them.
    void LoadControlSkin(int nKind, CWnd* pControl, LPCTSTR lpszName);
    void SaveLayout();
    void SaveDialogPos();
    void ReloadSkin();
    // The "(Pos)" rule: store as the layout rectangle, resolve against the
    // dialog, move the control there.
    void PlaceControl(CThemeSkinId* pId, CWnd* pControl, const CRect& rcLayout);

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnDestroy();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnMove(int x, int y);
    DECLARE_MESSAGE_MAP()

    void DrawBackground(CDC* pDC);
    void DrawBackImage(CDC* pDC, CBitmap* pBitmap, const CRect& rc);
    void DrawCaption(CDC* pDC);

    // The skin block.
    CString m_strImageFolder;
    CString m_strConfigFolder;
    CString m_strCaption;
    CRect m_rcCaptionArea;
    UINT m_nAlignFormat;
    int m_nFontSize;
    BOOL m_bFontBold;
    COLORREF m_crFont;
    COLORREF m_crShadow;
    int m_nBackDrawType;
    int m_nBackImageFillType;
    UINT m_nBackImageAlignFormat;
    COLORREF m_crBack;
    CBitmap m_bmpBack;
    CBitmap m_bmpInactive;
    BOOL m_bInactiveImage;
    int m_nResizeZone;
    int m_nBorderWidth;
    BOOL m_bActive;
    CPoint m_ptLast;
    BOOL m_bResizable;
    BOOL m_bMouseDragMove;
    CString m_strSection;
    int m_nMinWidth;
    int m_nMinHeight;
    int m_nMaxWidth;
    int m_nMaxHeight;
    CRect m_rcLayout;
    BOOL m_bTransparentByColor;
    COLORREF m_crTransparent;
    BYTE m_byAlpha;
    BOOL m_bChildDialog;
    CString m_strChildName;

    CThemeToolTip m_ToolTip;
    UINT m_nIDD;
    CDlgResizeWnd* m_pResizeWnd;
    // One array per kind, indexed by skin::ThemeControlKind (0 unused).
    CArray<CWnd*> m_arrControls[skin::kLastKind + 1];
    CArray<CThemeDialog*> m_arrChildDialog;
    CArray<ChildWindowRecord> m_arrChildWindow;

private:
    BOOL ResizeInProgress() const;
    void ReloadSkinGuarded(CArray<CThemeDialog*>& path);
};
