// COM server support of the class library: the application's lock count
// (AfxOleLockApp), the control-container switch, and a small server module
// (CComModule) with an object map of the classes the program serves, their
// class-object registration and the registry update from a "REGISTRY"
// resource through a registrar the program hands over.
#pragma once

#include "classlib/afxwin.h"

#include <objbase.h>

// --- Application lock ---------------------------------------------------------
// Objects served to COM clients keep the program running. When the last
// lock goes and the program shows no main window, the application's message
// loop is ended.
void AfxOleLockApp();
void AfxOleUnlockApp();
LONG AfxOleGetLockCount();
BOOL AfxOleCanExitApp();

// The program hosts no OLE controls; kept for the start-up sequence.
void AfxEnableControlContainer();

// --- Object map -----------------------------------------------------------------
// One class the module serves: its CLSID, the update of its own registry
// entries, and the maker of its class object. The map ends with an entry
// whose pclsid is null.
struct CComObjectMapEntry {
    const CLSID* pclsid;
    HRESULT (*pfnUpdateRegistry)(BOOL bRegister);
    HRESULT (*pfnCreateClassObject)(REFIID riid, void** ppv);
    IUnknown* pClassObject;  // while registered with COM
    DWORD dwRegister;        // the registration cookie
};

#define BEGIN_OBJECT_MAP(x) static CComObjectMapEntry x[] = {
#define OBJECT_ENTRY(clsid, fnUpdateRegistry, fnCreateClassObject) \
    {&clsid, fnUpdateRegistry, fnCreateClassObject, nullptr, 0},
#define END_OBJECT_MAP()                      \
    { nullptr, nullptr, nullptr, nullptr, 0 } \
    }                                         \
    ;

// Runs the registry script of resource nResID of hInstance, adding
// (bRegister) or removing its entries.
typedef HRESULT (*AFX_REGISTRAR)(HINSTANCE hInstance, UINT nResID, BOOL bRegister);

class CComModule {
public:
    CComModule();
    virtual ~CComModule();
    CComModule(const CComModule&) = delete;
    CComModule& operator=(const CComModule&) = delete;

    HRESULT Init(CComObjectMapEntry* pObjMap, HINSTANCE hInstance, const GUID* plibid = nullptr);
    // Revokes what is still registered and forgets the map.
    void Term();

    // The count of objects and locks that keep the server alive.
    virtual LONG Lock();
    virtual LONG Unlock();
    LONG GetLockCount() const { return m_nLockCnt; }

    HINSTANCE GetModuleInstance() const { return m_hInst; }
    HINSTANCE GetResourceInstance() const { return m_hInstResource; }

    // Every class of the map with COM (CoRegisterClassObject) and back.
    HRESULT RegisterClassObjects(DWORD dwClsContext, DWORD dwFlags);
    HRESULT RevokeClassObjects();

    // The classes' own registry entries, and the module's type library when
    // it has one (a module without a type library has nothing to do there).
    HRESULT RegisterServer(BOOL bRegTypeLib = FALSE, const CLSID* pCLSID = nullptr);
    HRESULT UnregisterServer(BOOL bUnRegTypeLib, const CLSID* pCLSID = nullptr);

    // Runs the registry script resource through the registrar; E_NOTIMPL
    // while none is set.
    HRESULT UpdateRegistryFromResource(UINT nResID, BOOL bRegister);
    void SetRegistrar(AFX_REGISTRAR pfnRegistrar) { m_pfnRegistrar = pfnRegistrar; }

    const CComObjectMapEntry* GetObjectMap() const { return m_pObjMap; }

protected:
    CComObjectMapEntry* m_pObjMap;
    HINSTANCE m_hInst;
    HINSTANCE m_hInstResource;
    const GUID* m_plibid;
    LONG m_nLockCnt;
    AFX_REGISTRAR m_pfnRegistrar;
    BOOL m_bInited;
};
