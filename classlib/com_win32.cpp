// The application lock count and the COM server module.
#include "classlib/afxcom.h"

#include <oleauto.h>

namespace {
LONG g_nOleLocks = 0;
}  // namespace

void AfxOleLockApp() { ::InterlockedIncrement(&g_nOleLocks); }

void AfxOleUnlockApp() {
    if (::InterlockedDecrement(&g_nOleLocks) != 0) return;
    // The last client has gone. A program the user works with keeps
    // running; one that only served its clients ends its loop.
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return;
    CWnd* pMain = pApp->m_pMainWnd;
    if (pMain && pMain->m_hWnd && ::IsWindowVisible(pMain->m_hWnd)) return;
    if (pApp->m_nThreadID) ::PostThreadMessageA(pApp->m_nThreadID, WM_QUIT, 0, 0);
}

LONG AfxOleGetLockCount() { return g_nOleLocks; }
BOOL AfxOleCanExitApp() { return g_nOleLocks == 0; }

void AfxEnableControlContainer() {}

// --- CComModule -------------------------------------------------------------------

CComModule::CComModule()
    : m_pObjMap(nullptr),
      m_hInst(nullptr),
      m_hInstResource(nullptr),
      m_plibid(nullptr),
      m_nLockCnt(0),
      m_pfnRegistrar(nullptr),
      m_bInited(FALSE) {}

CComModule::~CComModule() { Term(); }

HRESULT CComModule::Init(CComObjectMapEntry* pObjMap, HINSTANCE hInstance, const GUID* plibid) {
    m_pObjMap = pObjMap;
    m_hInst = hInstance ? hInstance : ::GetModuleHandleA(nullptr);
    m_hInstResource = m_hInst;
    m_plibid = plibid;
    m_nLockCnt = 0;
    m_bInited = TRUE;
    return S_OK;
}

void CComModule::Term() {
    if (!m_bInited) return;
    RevokeClassObjects();
    m_pObjMap = nullptr;
    m_bInited = FALSE;
}

LONG CComModule::Lock() { return ::InterlockedIncrement(&m_nLockCnt); }
LONG CComModule::Unlock() { return ::InterlockedDecrement(&m_nLockCnt); }

HRESULT CComModule::RegisterClassObjects(DWORD dwClsContext, DWORD dwFlags) {
    if (!m_pObjMap) return S_OK;
    for (CComObjectMapEntry* e = m_pObjMap; e->pclsid; e++) {
        if (e->pClassObject || !e->pfnCreateClassObject) continue;
        IUnknown* pUnk = nullptr;
        HRESULT hr = e->pfnCreateClassObject(IID_IUnknown, (void**)&pUnk);
        if (SUCCEEDED(hr))
            hr = ::CoRegisterClassObject(*e->pclsid, pUnk, dwClsContext, dwFlags, &e->dwRegister);
        if (FAILED(hr)) {
            if (pUnk) pUnk->Release();
            RevokeClassObjects();  // all or nothing
            return hr;
        }
        e->pClassObject = pUnk;
    }
    return S_OK;
}

HRESULT CComModule::RevokeClassObjects() {
    if (!m_pObjMap) return S_OK;
    HRESULT result = S_OK;
    for (CComObjectMapEntry* e = m_pObjMap; e->pclsid; e++) {
        if (!e->pClassObject) continue;
        const HRESULT hr = ::CoRevokeClassObject(e->dwRegister);
        if (FAILED(hr)) result = hr;
        e->pClassObject->Release();
        e->pClassObject = nullptr;
        e->dwRegister = 0;
    }
    return result;
}

namespace {

// The module's type library, or null when it carries none.
ITypeLib* LoadModuleTypeLib(HINSTANCE hInst) {
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(hInst, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    // Only a module with a "TYPELIB" resource has one to offer.
    if (!::FindResourceA(hInst, MAKEINTRESOURCEA(1), "TYPELIB")) return nullptr;
    ITypeLib* pTypeLib = nullptr;
    if (FAILED(::LoadTypeLibEx(path, REGKIND_NONE, &pTypeLib))) return nullptr;
    return pTypeLib;
}

}  // namespace

HRESULT CComModule::RegisterServer(BOOL bRegTypeLib, const CLSID* pCLSID) {
    HRESULT hr = S_OK;
    if (m_pObjMap) {
        for (CComObjectMapEntry* e = m_pObjMap; e->pclsid && SUCCEEDED(hr); e++) {
            if (pCLSID && !::IsEqualCLSID(*pCLSID, *e->pclsid)) continue;
            if (e->pfnUpdateRegistry) hr = e->pfnUpdateRegistry(TRUE);
        }
    }
    if (SUCCEEDED(hr) && bRegTypeLib) {
        if (ITypeLib* pTypeLib = LoadModuleTypeLib(m_hInst)) {
            wchar_t path[MAX_PATH];
            ::GetModuleFileNameW(m_hInst, path, MAX_PATH);
            hr = ::RegisterTypeLib(pTypeLib, path, nullptr);
            pTypeLib->Release();
        }
    }
    return hr;
}

HRESULT CComModule::UnregisterServer(BOOL bUnRegTypeLib, const CLSID* pCLSID) {
    HRESULT result = S_OK;
    if (m_pObjMap) {
        for (CComObjectMapEntry* e = m_pObjMap; e->pclsid; e++) {
            if (pCLSID && !::IsEqualCLSID(*pCLSID, *e->pclsid)) continue;
            if (!e->pfnUpdateRegistry) continue;
            const HRESULT hr = e->pfnUpdateRegistry(FALSE);  // every class, whatever one says
            if (FAILED(hr)) result = hr;
        }
    }
    if (bUnRegTypeLib) {
        if (ITypeLib* pTypeLib = LoadModuleTypeLib(m_hInst)) {
            TLIBATTR* pAttr = nullptr;
            if (SUCCEEDED(pTypeLib->GetLibAttr(&pAttr))) {
                const HRESULT hr =
                    ::UnRegisterTypeLib(pAttr->guid, pAttr->wMajorVerNum, pAttr->wMinorVerNum,
                                        pAttr->lcid, pAttr->syskind);
                if (FAILED(hr)) result = hr;
                pTypeLib->ReleaseTLibAttr(pAttr);
            }
            pTypeLib->Release();
        }
    }
    return result;
}

HRESULT CComModule::UpdateRegistryFromResource(UINT nResID, BOOL bRegister) {
    if (!m_pfnRegistrar) return E_NOTIMPL;
    return m_pfnRegistrar(m_hInstResource ? m_hInstResource : ::GetModuleHandleA(nullptr), nResID,
                          bRegister);
}
