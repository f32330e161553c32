#include "classlib/afxole.h"

#include <cstring>

BOOL AfxOleInit() {
    const HRESULT hr = ::OleInitialize(nullptr);
    // S_FALSE: already initialised on this thread (the count still rose).
    return SUCCEEDED(hr);
}

namespace {

// A copy of a global block, of its full size.
HGLOBAL CopyGlobal(HGLOBAL hSrc) {
    const SIZE_T n = ::GlobalSize(hSrc);
    HGLOBAL hDst = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, n ? n : 1);
    if (!hDst) return nullptr;
    const void* src = ::GlobalLock(hSrc);
    void* dst = ::GlobalLock(hDst);
    if (src && dst && n) std::memcpy(dst, src, n);
    if (dst) ::GlobalUnlock(hDst);
    if (src) ::GlobalUnlock(hSrc);
    if (!src || !dst) {
        ::GlobalFree(hDst);
        return nullptr;
    }
    return hDst;
}

// The formats of a data source, for whoever asks which it offers.
class FormatEnum : public IEnumFORMATETC {
public:
    explicit FormatEnum(std::vector<FORMATETC> formats, size_t pos = 0)
        : m_cRef(1), m_formats(std::move(formats)), m_pos(pos) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumFORMATETC)) {
            *ppv = static_cast<IEnumFORMATETC*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return (ULONG)::InterlockedIncrement(&m_cRef); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG n = ::InterlockedDecrement(&m_cRef);
        if (n == 0) delete this;
        return (ULONG)n;
    }
    STDMETHODIMP Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override {
        ULONG got = 0;
        while (got < celt && m_pos < m_formats.size()) rgelt[got++] = m_formats[m_pos++];
        if (pceltFetched) *pceltFetched = got;
        return got == celt ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG celt) override {
        m_pos += celt;
        if (m_pos > m_formats.size()) {
            m_pos = m_formats.size();
            return S_FALSE;
        }
        return S_OK;
    }
    STDMETHODIMP Reset() override {
        m_pos = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumFORMATETC** ppEnum) override {
        if (!ppEnum) return E_POINTER;
        *ppEnum = new FormatEnum(m_formats, m_pos);
        return S_OK;
    }

private:
    virtual ~FormatEnum() = default;
    LONG m_cRef;
    std::vector<FORMATETC> m_formats;
    size_t m_pos;
};

}  // namespace

// --- COleDataSource -------------------------------------------------------------

COleDataSource::COleDataSource() : m_cRef(1) {}

COleDataSource::~COleDataSource() {
    for (Entry& e : m_entries) ::GlobalFree(e.hGlobal);
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal) {
    for (Entry& e : m_entries)
        if (e.cf == cfFormat) {
            ::GlobalFree(e.hGlobal);
            e.hGlobal = hGlobal;
            return;
        }
    m_entries.push_back(Entry{cfFormat, hGlobal});
}

BOOL COleDataSource::SetClipboard() {
    const HRESULT hr = ::OleSetClipboard(this);
    Release();
    return SUCCEEDED(hr);
}

void COleDataSource::FlushClipboard() { ::OleFlushClipboard(); }

DROPEFFECT COleDataSource::DoDragDrop(DROPEFFECT dwEffects, LPCRECT, IDropSource* pDropSource) {
    COleDropSource defaultSource;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr =
        ::DoDragDrop(this, pDropSource ? pDropSource : &defaultSource, dwEffects, &effect);
    return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

const COleDataSource::Entry* COleDataSource::Find(const FORMATETC* pFormat) const {
    if (!pFormat || !(pFormat->tymed & TYMED_HGLOBAL)) return nullptr;
    if (pFormat->dwAspect != DVASPECT_CONTENT) return nullptr;
    for (const Entry& e : m_entries)
        if (e.cf == pFormat->cfFormat) return &e;
    return nullptr;
}

STDMETHODIMP COleDataSource::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *ppv = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COleDataSource::AddRef() { return (ULONG)::InterlockedIncrement(&m_cRef); }

STDMETHODIMP_(ULONG) COleDataSource::Release() {
    const LONG n = ::InterlockedDecrement(&m_cRef);
    if (n == 0) delete this;
    return (ULONG)n;
}

STDMETHODIMP COleDataSource::GetData(FORMATETC* pFormat, STGMEDIUM* pMedium) {
    if (!pFormat || !pMedium) return E_INVALIDARG;
    const Entry* e = Find(pFormat);
    if (!e) return DV_E_FORMATETC;
    HGLOBAL h = CopyGlobal(e->hGlobal);
    if (!h) return E_OUTOFMEMORY;
    pMedium->tymed = TYMED_HGLOBAL;
    pMedium->hGlobal = h;
    pMedium->pUnkForRelease = nullptr;
    return S_OK;
}

STDMETHODIMP COleDataSource::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

STDMETHODIMP COleDataSource::QueryGetData(FORMATETC* pFormat) {
    return Find(pFormat) ? S_OK : DV_E_FORMATETC;
}

STDMETHODIMP COleDataSource::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pOut) {
    if (pOut) pOut->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP COleDataSource::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

STDMETHODIMP COleDataSource::EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum) {
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    if (dwDirection != DATADIR_GET) return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    for (const Entry& e : m_entries)
        formats.push_back(FORMATETC{e.cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    *ppEnum = new FormatEnum(std::move(formats));
    return S_OK;
}

STDMETHODIMP COleDataSource::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}
STDMETHODIMP COleDataSource::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }
STDMETHODIMP COleDataSource::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

// --- COleDataObject ---------------------------------------------------------------

COleDataObject::COleDataObject() : m_lpDataObject(nullptr), m_bAutoRelease(TRUE) {}

COleDataObject::~COleDataObject() { Release(); }

void COleDataObject::Attach(IDataObject* pDataObject, BOOL bAutoRelease) {
    Release();
    m_lpDataObject = pDataObject;
    m_bAutoRelease = bAutoRelease;
}

IDataObject* COleDataObject::Detach() {
    IDataObject* p = m_lpDataObject;
    m_lpDataObject = nullptr;
    return p;
}

void COleDataObject::Release() {
    if (m_lpDataObject && m_bAutoRelease) m_lpDataObject->Release();
    m_lpDataObject = nullptr;
}

BOOL COleDataObject::AttachClipboard() {
    IDataObject* p = nullptr;
    if (FAILED(::OleGetClipboard(&p)) || !p) return FALSE;
    Attach(p, TRUE);
    return TRUE;
}

IDataObject* COleDataObject::GetIDataObject(BOOL bAddRef) {
    if (m_lpDataObject && bAddRef) m_lpDataObject->AddRef();
    return m_lpDataObject;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat) const {
    if (!m_lpDataObject) return FALSE;
    FORMATETC fe = {cfFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return m_lpDataObject->QueryGetData(&fe) == S_OK;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat) const {
    if (!m_lpDataObject) return nullptr;
    FORMATETC fe = {cfFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(m_lpDataObject->GetData(&fe, &medium))) return nullptr;
    if (medium.tymed != TYMED_HGLOBAL) {
        ::ReleaseStgMedium(&medium);
        return nullptr;
    }
    if (!medium.pUnkForRelease) return medium.hGlobal;  // ours now
    // The block belongs to someone else: hand out a copy.
    HGLOBAL h = CopyGlobal(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return h;
}

// --- COleDropSource ---------------------------------------------------------------

STDMETHODIMP COleDropSource::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
        *ppv = static_cast<IDropSource*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP COleDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) {
    if (bEscapePressed || (dwKeyState & MK_LBUTTON && dwKeyState & MK_RBUTTON))
        return DRAGDROP_S_CANCEL;
    if (!(dwKeyState & (MK_LBUTTON | MK_RBUTTON))) return DRAGDROP_S_DROP;
    return S_OK;
}

STDMETHODIMP COleDropSource::GiveFeedback(DROPEFFECT) { return DRAGDROP_S_USEDEFAULTCURSORS; }

// --- COleDropTarget ---------------------------------------------------------------

COleDropTarget::COleDropTarget()
    : m_pWnd(nullptr), m_pDragData(nullptr), m_dwLastEffect(DROPEFFECT_NONE) {}

COleDropTarget::~COleDropTarget() { Revoke(); }

BOOL COleDropTarget::Register(CWnd* pWnd) {
    if (!pWnd || !pWnd->m_hWnd || m_pWnd) return FALSE;
    if (FAILED(::RegisterDragDrop(pWnd->m_hWnd, this))) return FALSE;
    m_pWnd = pWnd;
    return TRUE;
}

void COleDropTarget::Revoke() {
    if (m_pDragData) {
        m_pDragData->Release();
        m_pDragData = nullptr;
    }
    if (m_pWnd && m_pWnd->m_hWnd) ::RevokeDragDrop(m_pWnd->m_hWnd);
    m_pWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) {
    return DROPEFFECT_NONE;
}
DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) {
    return DROPEFFECT_NONE;
}
void COleDropTarget::OnDragLeave(CWnd*) {}
BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) { return FALSE; }

CPoint COleDropTarget::ToClient(POINTL pt) const {
    POINT p = {pt.x, pt.y};
    if (m_pWnd && m_pWnd->m_hWnd) ::ScreenToClient(m_pWnd->m_hWnd, &p);
    return CPoint(p.x, p.y);
}

STDMETHODIMP COleDropTarget::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
        *ppv = static_cast<IDropTarget*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP COleDropTarget::DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                       DWORD* pdwEffect) {
    if (!pdwEffect) return E_INVALIDARG;
    if (m_pDragData) m_pDragData->Release();
    m_pDragData = pDataObj;
    if (m_pDragData) m_pDragData->AddRef();
    COleDataObject data;
    data.Attach(pDataObj, FALSE);
    *pdwEffect &= OnDragEnter(m_pWnd, &data, grfKeyState, ToClient(pt));
    m_dwLastEffect = *pdwEffect;
    return S_OK;
}

STDMETHODIMP COleDropTarget::DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) {
    if (!pdwEffect) return E_INVALIDARG;
    COleDataObject data;
    data.Attach(m_pDragData, FALSE);
    *pdwEffect &= OnDragOver(m_pWnd, &data, grfKeyState, ToClient(pt));
    m_dwLastEffect = *pdwEffect;
    return S_OK;
}

STDMETHODIMP COleDropTarget::DragLeave() {
    m_dwLastEffect = DROPEFFECT_NONE;
    OnDragLeave(m_pWnd);
    if (m_pDragData) {
        m_pDragData->Release();
        m_pDragData = nullptr;
    }
    return S_OK;
}

STDMETHODIMP COleDropTarget::Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                  DWORD* pdwEffect) {
    if (!pdwEffect) return E_INVALIDARG;
    COleDataObject data;
    data.Attach(pDataObj, FALSE);
    const CPoint point = ToClient(pt);
    // The effect the last move over the window chose: the key state of the
    // release itself need not hold the modifiers any more.
    const DROPEFFECT effect = *pdwEffect & m_dwLastEffect;
    m_dwLastEffect = DROPEFFECT_NONE;
    const BOOL dropped = effect != DROPEFFECT_NONE && OnDrop(m_pWnd, &data, effect, point);
    *pdwEffect = dropped ? effect : DROPEFFECT_NONE;
    if (!dropped) OnDragLeave(m_pWnd);
    if (m_pDragData) {
        m_pDragData->Release();
        m_pDragData = nullptr;
    }
    return S_OK;
}
