// What every skinned control carries for its dialog: the skin name that
// prefixes its profile keys ("Btn0") and its layout rectangle in the values
// of the position rule ((-1, -1, -1, -1): no position).
#pragma once

#include "classlib/afxwin.h"

class CThemeSkinId {
public:
    void SetName(LPCTSTR lpszName) { m_strSkinName = lpszName ? lpszName : ""; }
    CString GetName() const { return m_strSkinName; }
    void SetLayoutRect(const CRect& rc) { m_rcSkinLayout = rc; }
    CRect GetLayoutRect() const { return m_rcSkinLayout; }
    void ResetLayoutRect() { m_rcSkinLayout = CRect(-1, -1, -1, -1); }

private:
    CString m_strSkinName;
    CRect m_rcSkinLayout{-1, -1, -1, -1};
};
