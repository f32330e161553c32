// Views: child windows made by class at run time (a dialog or a frame names
// the class in a CCreateContext and AfxCreateView makes it), which own
// themselves: a view's object is deleted when its window goes, so whoever
// made it keeps only a pointer that must be forgotten with the window.
#pragma once

#include "classlib/afxwin.h"

// A class that can be made by name: enough for views.
struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    // A new object of the class, or null when it cannot be made by name.
    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    // Whether this class is pBaseClass or derives from it.
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNCREATE(class_name)                                \
public:                                                              \
    static const CRuntimeClass class##class_name;                    \
    static CObject* CreateObject();                                  \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                  \
    CObject* class_name::CreateObject() { return new class_name; }                        \
    const CRuntimeClass class_name::class##class_name = {                                 \
        #class_name, (int)sizeof(class_name), class_name::CreateObject,                   \
        RUNTIME_CLASS(base_class_name)};                                                  \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return &class##class_name; }

#ifndef AFX_IDW_PANE_FIRST
#define AFX_IDW_PANE_FIRST 0xE900
#endif

class CView;
// Makes a view of pContext->m_pNewViewClass as a visible child of pParent
// with the child id nID. Null when the context names no view class or the
// window could not be made (a view whose window failed has deleted itself).
CView* AfxCreateView(CWnd* pParent, CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

// A child window that deletes its own object after its last message.
class CView : public CWnd {
public:
    static const CRuntimeClass classCView;
    virtual const CRuntimeClass* GetRuntimeClass() const;

    // Registers the views' window class when needed; the view is a child.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;

protected:
    CView();
    ~CView() override;
    // Views are made with new: the object goes with its window.
    void PostNcDestroy() override;
    void PreSubclassWindow() override;

private:
    friend CView* AfxCreateView(CWnd*, CCreateContext*, UINT);
    BOOL* m_pbWindowMade = nullptr;  // set while AfxCreateView waits for the window
};

