// The skinned edit box: a frame window that paints a back colour and an
// outline and hosts an inner CBaseEdit (id 1002) inside the outline. The
// frame gives the inner edit its font, text colour and back brush, passes
// the inner edit's EN_* notifications to its own parent as its own, and can
// check on loss of focus that the text is a number within a range.
#pragma once

#include <memory>

#include "classlib/afxwin.h"
#include "ThemeClass/BaseEdit.h"
#include "ThemeClass/ThemeEditRules.h"
#include "ThemeClass/ThemeSkinId.h"

// The inner edit's control id.
#define THEMEEDIT_INNER_ID 1002

class CThemeEdit : public CWnd, public CThemeSkinId {
public:
    CThemeEdit();
    ~CThemeEdit() override;

    // A child frame (no class name, no caption); the inner edit gets the
    // frame's style plus WS_VISIBLE and WS_TABSTOP, so ES_ bits pass on.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetDefaultSkin();

    void SetText(const CString& strText);
    void SetText(LPCTSTR lpszText);
    void GetText(CString& strText) const;

    void SetFontSize(int nSize);
    void SetFontBold(BOOL bBold);
    // Used at the inner edit's next colour query.
    void SetFontColor(COLORREF clr) { m_clrText = clr; }
    void SetBackColor(COLORREF clr);
    void SetOutlineColor(COLORREF clr);
    void SetOutlineLTColor(COLORREF clr) { m_clrOutlineLT = clr; }
    void SetOutlineRBColor(COLORREF clr) { m_clrOutlineRB = clr; }
    // Takes effect at the next resize.
    void SetOutlineThick(int nThick) { m_nOutlineThick = nThick; }

    // The tip belongs to the inner edit.
    void SetToolTipText(LPCTSTR lpszText);
    void SetTool(LPCTSTR lpszText);
    void UpdateTool(LPCTSTR lpszText);
    void DelTool();

    void SetSel(int nStart, int nEnd);
    // Gives the inner edit the focus when the flag is set.
    void SetFocus(BOOL bFocus);
    void SetEditFont(CFont* pFont);
    // Style bits of the inner edit; ES_READONLY is applied as the edit's
    // read-only state too, which a style bit alone does not change.
    void ModifyEditStyle(DWORD dwRemove, DWORD dwAdd);

    // The number range the text is checked against when the focus leaves
    // it for another window of the same top-level window. 0 to 0 turns the
    // check off; bounds given upside down are swapped.
    void SetRange(double dMin, double dMax, BOOL bIntegerMode);

    CBaseEdit* GetEdit() const { return m_pEdit.get(); }
    int GetFontSize() const { return m_nFontSize; }
    BOOL GetFontBold() const { return m_bBold; }
    COLORREF GetFontColor() const { return m_clrText; }
    COLORREF GetBackColor() const { return m_clrBack; }
    COLORREF GetOutlineLTColor() const { return m_clrOutlineLT; }
    COLORREF GetOutlineRBColor() const { return m_clrOutlineRB; }
    int GetOutlineThick() const { return m_nOutlineThick; }
    const skin::EditRange& GetRange() const { return m_range; }

protected:
    // Makes the inner edit object; the frame owns it.
    virtual CBaseEdit* NewInnerEdit();

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void RebuildFont();
    void CheckRange();

    int m_nFontSize;
    BOOL m_bBold;
    COLORREF m_clrText;
    COLORREF m_clrBack;
    COLORREF m_clrOutlineLT;
    COLORREF m_clrOutlineRB;
    int m_nOutlineThick;
    skin::EditRange m_range;
    CFont m_font;
    std::unique_ptr<CBaseEdit> m_pEdit;
    CBrush m_backBrush;
    // Cleared by the destructor: a handler that deleted the box while a
    // notification was out is noticed when the call returns.
    std::shared_ptr<bool> m_alive;

    // Set while a range message stands: a check never starts inside
    // another, of this box or any other.
    static BOOL s_bCheckingRange;
};
