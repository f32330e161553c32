// CHtmlView and the system's web browser control as its default browser.
#include "classlib/afxhtml.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <ole2.h>

#include <string>

// --- Factory ------------------------------------------------------------------

namespace {
AFX_HTMLBROWSER_FACTORY g_pfnBrowserFactory = nullptr;
}

AFX_HTMLBROWSER_FACTORY AfxSetHtmlBrowserFactory(AFX_HTMLBROWSER_FACTORY pfnFactory) {
    AFX_HTMLBROWSER_FACTORY old = g_pfnBrowserFactory;
    g_pfnBrowserFactory = pfnFactory;
    return old;
}

// --- CHtmlView ------------------------------------------------------------------

const CRuntimeClass CHtmlView::classCHtmlView = {"CHtmlView", (int)sizeof(CHtmlView), nullptr,
                                                 &CView::classCView};

const CRuntimeClass* CHtmlView::GetRuntimeClass() const { return &classCHtmlView; }

BEGIN_MESSAGE_MAP(CHtmlView, CView)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_DESTROY()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CHtmlView::CHtmlView() : m_pBrowser(nullptr) {}

CHtmlView::~CHtmlView() {
    if (m_pBrowser) {
        m_pBrowser->Destroy();
        delete m_pBrowser;
        m_pBrowser = nullptr;
    }
}

int CHtmlView::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CView::OnCreate(lpCreateStruct) == -1) return -1;
    CHtmlBrowser* pBrowser =
        g_pfnBrowserFactory ? g_pfnBrowserFactory() : AfxCreateSystemHtmlBrowser();
    // Without a browser the view stays, empty: navigating then fails.
    if (pBrowser && !pBrowser->Create(m_hWnd, this)) {
        pBrowser->Destroy();
        delete pBrowser;
        pBrowser = nullptr;
    }
    m_pBrowser = pBrowser;
    return 0;
}

void CHtmlView::OnSize(UINT nType, int cx, int cy) {
    CView::OnSize(nType, cx, cy);
    if (m_pBrowser) m_pBrowser->SetRect(CRect(0, 0, cx, cy));
}

void CHtmlView::OnDestroy() {
    // The browser leaves while its host window still exists.
    if (m_pBrowser) {
        m_pBrowser->Destroy();
        delete m_pBrowser;
        m_pBrowser = nullptr;
    }
    CView::OnDestroy();
}

BOOL CHtmlView::OnEraseBkgnd(CDC* pDC) {
    // The browser covers the view; an empty view shows its class brush.
    return m_pBrowser ? TRUE : CView::OnEraseBkgnd(pDC);
}

BOOL CHtmlView::Navigate(LPCTSTR lpszURL, DWORD dwFlags, LPCTSTR lpszTargetFrameName,
                         LPCTSTR lpszHeaders, const void* lpvPostData, DWORD dwPostDataLen) {
    if (!m_pBrowser || !lpszURL) return FALSE;
    return SUCCEEDED(m_pBrowser->Navigate(lpszURL, dwFlags, lpszTargetFrameName, lpszHeaders,
                                          lpvPostData, dwPostDataLen));
}

void CHtmlView::SetSilent(BOOL bSilent) {
    if (m_pBrowser) m_pBrowser->SetSilent(bSilent);
}

BOOL CHtmlView::HasHtmlDocument() const { return m_pBrowser && m_pBrowser->HasDocument(); }

HRESULT CHtmlView::ExecScript(LPCTSTR lpszCode, LPCTSTR lpszLanguage) {
    if (!m_pBrowser || !lpszCode) return S_FALSE;
    return m_pBrowser->ExecScript(lpszCode, lpszLanguage ? lpszLanguage : "JScript");
}

void CHtmlView::OnDocumentComplete(LPCTSTR) {}

void CHtmlView::OnDownloadComplete() {}

void CHtmlView::OnBrowserDocumentComplete(LPCTSTR lpszURL) { OnDocumentComplete(lpszURL); }

void CHtmlView::OnBrowserDownloadComplete() { OnDownloadComplete(); }

// --- The system's web browser control ---------------------------------------------

namespace {

// A BSTR from ANSI text (the program's code page); freed with the object.
class CBstr {
public:
    explicit CBstr(LPCTSTR psz) : m_bstr(nullptr) {
        if (!psz) return;
        int n = ::MultiByteToWideChar(CP_ACP, 0, psz, -1, nullptr, 0);
        if (n <= 0) return;
        m_bstr = ::SysAllocStringLen(nullptr, (UINT)(n - 1));
        if (m_bstr) ::MultiByteToWideChar(CP_ACP, 0, psz, -1, m_bstr, n);
    }
    ~CBstr() { ::SysFreeString(m_bstr); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    BSTR get() const { return m_bstr; }

private:
    BSTR m_bstr;
};

std::string FromWide(const wchar_t* pwsz) {
    if (!pwsz) return std::string();
    int n = ::WideCharToMultiByte(CP_ACP, 0, pwsz, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string s((size_t)n, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, pwsz, -1, &s[0], n, nullptr, nullptr);
    s.resize((size_t)n - 1);
    return s;
}

template <class T>
void SafeRelease(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}

// The container side of the control: its client site, in-place site and
// frame, and the sink of its events. Reference counted; the browser object
// holds one reference and cuts the link to the events at Destroy.
class CBrowserSite : public IOleClientSite,
                     public IOleInPlaceSite,
                     public IOleInPlaceFrame,
                     public IDispatch {
public:
    CBrowserSite(HWND hWndHost, CHtmlBrowserEvents* pEvents)
        : m_cRef(1), m_hWndHost(hWndHost), m_pEvents(pEvents) {}
    void Disconnect() { m_pEvents = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
            *ppv = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite))
            *ppv = static_cast<IOleInPlaceSite*>(this);
        else if (IsEqualIID(riid, IID_IOleInPlaceUIWindow) ||
                 IsEqualIID(riid, IID_IOleInPlaceFrame))
            *ppv = static_cast<IOleInPlaceFrame*>(this);
        else if (IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, DIID_DWebBrowserEvents2))
            *ppv = static_cast<IDispatch*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return (ULONG)::InterlockedIncrement(&m_cRef); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = ::InterlockedDecrement(&m_cRef);
        if (n == 0) delete this;
        return (ULONG)n;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override {
        if (ppmk) *ppmk = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** ppContainer) override {
        if (ppContainer) *ppContainer = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* phwnd) override {
        if (!phwnd) return E_POINTER;
        *phwnd = m_hWndHost;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                  LPRECT lprcPosRect, LPRECT lprcClipRect,
                                  LPOLEINPLACEFRAMEINFO lpFrameInfo) override {
        if (ppFrame) {
            *ppFrame = static_cast<IOleInPlaceFrame*>(this);
            AddRef();
        }
        if (ppDoc) *ppDoc = nullptr;
        RECT rc = {};
        ::GetClientRect(m_hWndHost, &rc);
        if (lprcPosRect) *lprcPosRect = rc;
        if (lprcClipRect) *lprcClipRect = rc;
        if (lpFrameInfo) {
            lpFrameInfo->fMDIApp = FALSE;
            lpFrameInfo->hwndFrame = m_hWndHost;
            lpFrameInfo->haccel = nullptr;
            lpFrameInfo->cAccelEntries = 0;
        }
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow / IOleInPlaceFrame: no menus, tools or status line.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch: the browser's events
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override {
        if (pctinfo) *pctinfo = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
        if (ppTInfo) *ppTInfo = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID, LCID, WORD, DISPPARAMS* pDispParams,
                        VARIANT*, EXCEPINFO*, UINT*) override {
        if (!m_pEvents) return S_OK;
        switch (dispIdMember) {
            case DISPID_DOCUMENTCOMPLETE: {
                // (pDisp, URL): arguments arrive last first; the URL is a
                // variant by reference holding a string.
                std::string url;
                if (pDispParams && pDispParams->cArgs >= 2) {
                    const VARIANT& v = pDispParams->rgvarg[0];
                    const VARIANT* p = (V_VT(&v) == (VT_BYREF | VT_VARIANT)) ? V_VARIANTREF(&v) : &v;
                    if (p && V_VT(p) == VT_BSTR) url = FromWide(V_BSTR(p));
                }
                m_pEvents->OnBrowserDocumentComplete(url.c_str());
                break;
            }
            case DISPID_DOWNLOADCOMPLETE: m_pEvents->OnBrowserDownloadComplete(); break;
            default: break;
        }
        return S_OK;
    }

private:
    virtual ~CBrowserSite() {}
    LONG m_cRef;
    HWND m_hWndHost;
    CHtmlBrowserEvents* m_pEvents;
};

class CSystemHtmlBrowser : public CHtmlBrowser {
public:
    ~CSystemHtmlBrowser() override { Destroy(); }

    BOOL Create(HWND hWndHost, CHtmlBrowserEvents* pEvents) override {
        if (m_pObject) return FALSE;
        HRESULT hr = ::OleInitialize(nullptr);
        m_bOleInit = SUCCEEDED(hr);
        m_pSite = new CBrowserSite(hWndHost, pEvents);
        hr = ::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                (void**)&m_pObject);
        if (FAILED(hr) || !m_pObject) return FALSE;
        if (FAILED(m_pObject->SetClientSite(static_cast<IOleClientSite*>(m_pSite)))) return FALSE;
        RECT rc = {};
        ::GetClientRect(hWndHost, &rc);
        hr = m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                               static_cast<IOleClientSite*>(m_pSite), 0, hWndHost, &rc);
        if (FAILED(hr)) return FALSE;
        if (FAILED(m_pObject->QueryInterface(IID_IWebBrowser2, (void**)&m_pWeb)) || !m_pWeb)
            return FALSE;
        IConnectionPointContainer* pCPC = nullptr;
        if (SUCCEEDED(m_pObject->QueryInterface(IID_IConnectionPointContainer, (void**)&pCPC)) &&
            pCPC) {
            if (SUCCEEDED(pCPC->FindConnectionPoint(DIID_DWebBrowserEvents2, &m_pCP)) && m_pCP) {
                if (FAILED(m_pCP->Advise(static_cast<IDispatch*>(m_pSite), &m_dwCookie)))
                    m_dwCookie = 0;
            }
            pCPC->Release();
        }
        SetRect(rc);
        return TRUE;
    }

    void Destroy() override {
        if (m_pSite) m_pSite->Disconnect();
        if (m_pCP) {
            if (m_dwCookie) m_pCP->Unadvise(m_dwCookie);
            m_dwCookie = 0;
            SafeRelease(m_pCP);
        }
        if (m_pWeb) {
            m_pWeb->Stop();
            SafeRelease(m_pWeb);
        }
        if (m_pObject) {
            m_pObject->Close(OLECLOSE_NOSAVE);
            m_pObject->SetClientSite(nullptr);
            SafeRelease(m_pObject);
        }
        SafeRelease(m_pSite);
        if (m_bOleInit) {
            ::OleUninitialize();
            m_bOleInit = FALSE;
        }
    }

    void SetRect(const RECT& rc) override {
        if (!m_pObject) return;
        IOleInPlaceObject* pIPO = nullptr;
        if (SUCCEEDED(m_pObject->QueryInterface(IID_IOleInPlaceObject, (void**)&pIPO)) && pIPO) {
            pIPO->SetObjectRects(&rc, &rc);
            pIPO->Release();
        }
    }

    HRESULT Navigate(LPCTSTR lpszURL, DWORD dwFlags, LPCTSTR lpszTargetFrameName,
                     LPCTSTR lpszHeaders, const void* lpvPostData, DWORD dwPostDataLen) override {
        if (!m_pWeb) return E_FAIL;
        CBstr url(lpszURL);
        if (!url.get()) return E_INVALIDARG;
        VARIANT vFlags, vTarget, vPost, vHeaders;
        ::VariantInit(&vFlags);
        ::VariantInit(&vTarget);
        ::VariantInit(&vPost);
        ::VariantInit(&vHeaders);
        V_VT(&vFlags) = VT_I4;
        V_I4(&vFlags) = (LONG)dwFlags;
        if (lpszTargetFrameName) {
            V_VT(&vTarget) = VT_BSTR;
            V_BSTR(&vTarget) = ToBstr(lpszTargetFrameName);
        }
        if (lpszHeaders) {
            V_VT(&vHeaders) = VT_BSTR;
            V_BSTR(&vHeaders) = ToBstr(lpszHeaders);
        }
        if (lpvPostData && dwPostDataLen) {
            SAFEARRAY* psa = ::SafeArrayCreateVector(VT_UI1, 0, dwPostDataLen);
            if (psa) {
                void* pData = nullptr;
                if (SUCCEEDED(::SafeArrayAccessData(psa, &pData))) {
                    memcpy(pData, lpvPostData, dwPostDataLen);
                    ::SafeArrayUnaccessData(psa);
                }
                V_VT(&vPost) = VT_ARRAY | VT_UI1;
                V_ARRAY(&vPost) = psa;
            }
        }
        HRESULT hr = m_pWeb->Navigate(url.get(), &vFlags, &vTarget, &vPost, &vHeaders);
        ::VariantClear(&vTarget);
        ::VariantClear(&vPost);
        ::VariantClear(&vHeaders);
        return hr;
    }

    HRESULT SetSilent(BOOL bSilent) override {
        if (!m_pWeb) return E_FAIL;
        return m_pWeb->put_Silent(bSilent ? VARIANT_TRUE : VARIANT_FALSE);
    }

    BOOL HasDocument() override {
        IDispatch* pDoc = Document();
        if (!pDoc) return FALSE;
        pDoc->Release();
        return TRUE;
    }

    HRESULT ExecScript(LPCTSTR lpszCode, LPCTSTR lpszLanguage) override {
        IDispatch* pDoc = Document();
        if (!pDoc) return S_FALSE;
        HRESULT hr = S_FALSE;
        IHTMLDocument2* pDoc2 = nullptr;
        if (SUCCEEDED(pDoc->QueryInterface(IID_IHTMLDocument2, (void**)&pDoc2)) && pDoc2) {
            IHTMLWindow2* pWin = nullptr;
            if (SUCCEEDED(pDoc2->get_parentWindow(&pWin)) && pWin) {
                CBstr code(lpszCode);
                CBstr lang(lpszLanguage);
                VARIANT vResult;
                ::VariantInit(&vResult);
                hr = pWin->execScript(code.get(), lang.get(), &vResult);
                ::VariantClear(&vResult);
                pWin->Release();
            }
            pDoc2->Release();
        }
        pDoc->Release();
        return hr;
    }

private:
    static BSTR ToBstr(LPCTSTR psz) {
        int n = ::MultiByteToWideChar(CP_ACP, 0, psz, -1, nullptr, 0);
        if (n <= 0) return nullptr;
        BSTR b = ::SysAllocStringLen(nullptr, (UINT)(n - 1));
        if (b) ::MultiByteToWideChar(CP_ACP, 0, psz, -1, b, n);
        return b;
    }
    IDispatch* Document() {
        if (!m_pWeb) return nullptr;
        IDispatch* pDoc = nullptr;
        if (FAILED(m_pWeb->get_Document(&pDoc))) return nullptr;
        return pDoc;
    }

    CBrowserSite* m_pSite = nullptr;
    IOleObject* m_pObject = nullptr;
    IWebBrowser2* m_pWeb = nullptr;
    IConnectionPoint* m_pCP = nullptr;
    DWORD m_dwCookie = 0;
    BOOL m_bOleInit = FALSE;
};

}  // namespace

CHtmlBrowser* AfxCreateSystemHtmlBrowser() { return new CSystemHtmlBrowser; }
