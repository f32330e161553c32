// What the skinned dialog's kinds share: the way a skinned control is made
// over its template control and the tables of profile keys with the setter
// each feeds. Used by the kinds' rows only; Windows-only.
#pragma once

#include <cstring>
#include <string>

#include "ThemeClass/ThemeDialog.h"

namespace themekinds {

constexpr DWORD kChildStyle = 0x50010000;  // WS_CHILD | WS_VISIBLE | WS_TABSTOP
constexpr COLORREF kSame = 0xFF00FF;       // four-state setters: as normal

struct Recipe {
    bool destroyTemplate;             // else hidden and kept
    DWORD style;                      // the new window's style
    bool withTemplateStyle;           // OR the template's style in
    DWORD templateMask = 0xFFFFFFFF;  // the template's bits that may pass
};

// Makes the skinned control over the template control: the new window is
// created first, and only when it stands is the template retired, so a
// failed creation leaves the dialog as it was and returns null.
template <class T>
T* CreateOver(CThemeDialog* pDlg, int nKind, UINT nID, LPCTSTR lpszName, const Recipe& r,
              CString* pText) {
    HWND hTemplate = ::GetDlgItem(pDlg->m_hWnd, (int)nID);
    if (!hTemplate) return nullptr;
    CString name(lpszName ? lpszName : "");
    if (name.GetLength() < 1)
        name = skin::MakeSkinName(nKind, pDlg->GetControlCount(nKind)).c_str();
    CRect rc;
    ::GetWindowRect(hTemplate, &rc);
    pDlg->ScreenToClient(&rc);
    if (pText) {
        const int n = ::GetWindowTextLengthA(hTemplate);
        ::GetWindowTextA(hTemplate, pText->GetBufferSetLength(n), n + 1);
        pText->ReleaseBuffer();
    }
    DWORD style = r.style;
    if (r.withTemplateStyle)
        style |= (DWORD)::GetWindowLongA(hTemplate, GWL_STYLE) & r.templateMask;

    T* p = new T;
    if (!p->Create(style, rc, pDlg, nID) || !p->GetSafeHwnd()) {
        delete p;
        return nullptr;
    }
    // Same place in the tab order as the template.
    ::SetWindowPos(p->m_hWnd, hTemplate, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::ShowWindow(hTemplate, SW_HIDE);
    if (r.destroyTemplate) {
        if (CWnd* owner = CWnd::FromHandlePermanent(hTemplate))
            owner->DestroyWindow();
        else
            ::DestroyWindow(hTemplate);
    }
    p->SetName(name);
    pDlg->AppendControl(nKind, p);
    return p;
}

// One key that was found, with its value read by the file's rule.
struct KeyValue {
    CThemeDialog* dlg;
    const skin::SkinKey& key;
    const CString& text;
    CRect Rect() const { return CThemeDialog::ParseRect(text); }
    COLORREF Color() const { return CThemeDialog::ParseColor(text); }
    int Int() const { return skin::ParseInt(std::string(text)); }
    CString Path() const { return dlg->GetImagePath(text); }
};

using F = skin::ProfileFile;

// One key of a class: the property, the file it is read from (which fixes
// how its value reads) and the setter that takes the value.
template <class T>
struct KeyRow {
    const char* property;
    F file;
    void (*set)(T* p, const KeyValue& v);
};

template <class T>
struct KeyTable {
    const KeyRow<T>* rows = nullptr;
    int count = 0;
};

template <class T, size_t N>
KeyTable<T> TableOf(const KeyRow<T> (&rows)[N]) {
    return KeyTable<T>{rows, static_cast<int>(N)};
}

// The setters of a kind: its own rows, then the rows it shares with kinds
// of a like block. The placement and visibility keys are not here: the
// dialog applies them the same way to every kind.
template <class T>
struct KindKeys {
    KeyTable<T> own;
    KeyTable<T> shared;
    const KeyRow<T>* Find(const skin::SkinKey& key) const {
        for (const KeyTable<T>& t : {own, shared})
            for (int i = 0; i < t.count; ++i)
                if (t.rows[i].file == key.file &&
                    std::strcmp(t.rows[i].property, key.property) == 0)
                    return &t.rows[i];
        return nullptr;
    }
};

template <class T, const KindKeys<T>& K>
bool Apply(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    const KeyRow<T>* row = K.Find(k);
    if (!row) return false;
    row->set(static_cast<T*>(w), KeyValue{d, k, v});
    return true;
}

template <class T, const KindKeys<T>& K>
bool Handles(const skin::SkinKey& k) {
    return K.Find(k) != nullptr;
}

// The report list's row lives apart: its class and the list box's share
// names that cannot meet in one translation unit.
CWnd* CreateListCtrl(CThemeDialog* d, UINT id, LPCTSTR name);
void ResetListCtrl(CWnd* p);
CThemeSkinId* ListCtrlSkinId(CWnd* p);
bool ApplyListCtrl(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v);
bool ListCtrlHandles(const skin::SkinKey& k);

// The grid's row, likewise apart.
CWnd* CreateGrid(CThemeDialog* d, UINT id, LPCTSTR name);
void ResetGrid(CWnd* p);
CThemeSkinId* GridSkinId(CWnd* p);
bool ApplyGrid(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v);
bool GridHandles(const skin::SkinKey& k);

}  // namespace themekinds
