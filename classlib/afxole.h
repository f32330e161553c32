// OLE data transfer: a data source that offers blocks of global memory in
// clipboard formats (to the clipboard or to a drag), the data object of a
// paste or a drop, a drop source for the drag loop, and a drop target that
// hands a window's drag events to overridable members.
#pragma once

#include "classlib/afxwin.h"

#include <ole2.h>

#include <vector>

typedef DWORD DROPEFFECT;

// OLE for the calling thread; TRUE when it is usable (already or now).
BOOL AfxOleInit();

// The data offered by copy or by a drag. It is a COM object with a count of
// references: the creator holds one; SetClipboard hands it over to the
// clipboard; after DoDragDrop the creator releases it (InternalRelease).
class COleDataSource : public IDataObject {
public:
    COleDataSource();
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // Offers hGlobal in the format; the source owns the block from now on
    // and hands copies out.
    void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal);
    // Puts the source on the clipboard, which takes over the creator's
    // reference. FALSE when the clipboard refused it (the reference is
    // released all the same).
    BOOL SetClipboard();
    // Runs the drag loop; the effect the target chose, DROPEFFECT_NONE when
    // the drag was cancelled or refused.
    DROPEFFECT DoDragDrop(DROPEFFECT dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE,
                          LPCRECT lpRectStartDrag = nullptr, IDropSource* pDropSource = nullptr);
    // Drops the creator's reference.
    void InternalRelease() { Release(); }
    // Empties the clipboard when this source is on it.
    static void FlushClipboard();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IDataObject
    STDMETHODIMP GetData(FORMATETC* pFormat, STGMEDIUM* pMedium) override;
    STDMETHODIMP GetDataHere(FORMATETC* pFormat, STGMEDIUM* pMedium) override;
    STDMETHODIMP QueryGetData(FORMATETC* pFormat) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* pIn, FORMATETC* pOut) override;
    STDMETHODIMP SetData(FORMATETC* pFormat, STGMEDIUM* pMedium, BOOL fRelease) override;
    STDMETHODIMP EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum) override;
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
    STDMETHODIMP DUnadvise(DWORD) override;
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override;

protected:
    virtual ~COleDataSource();

private:
    struct Entry {
        CLIPFORMAT cf;
        HGLOBAL hGlobal;
    };
    const Entry* Find(const FORMATETC* pFormat) const;
    LONG m_cRef;
    std::vector<Entry> m_entries;
};

// The data of a paste (attached to the clipboard) or of a drop (attached to
// the object the drag offers).
class COleDataObject {
public:
    COleDataObject();
    ~COleDataObject();
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    // bAutoRelease: release the object when detached.
    void Attach(IDataObject* pDataObject, BOOL bAutoRelease = TRUE);
    IDataObject* Detach();
    void Release();
    BOOL AttachClipboard();
    BOOL IsAttached() const { return m_lpDataObject != nullptr; }
    IDataObject* GetIDataObject(BOOL bAddRef);

    BOOL IsDataAvailable(CLIPFORMAT cfFormat) const;
    // A global memory block with the data, which the caller frees
    // (GlobalFree); null when the format is not offered in memory.
    HGLOBAL GetGlobalData(CLIPFORMAT cfFormat) const;

private:
    IDataObject* m_lpDataObject;
    BOOL m_bAutoRelease;
};

// The drag loop's source: the drag ends with a drop when the button that
// started it is released, and is cancelled by Escape or by the other
// button.
class COleDropSource : public IDropSource {
public:
    COleDropSource() = default;
    virtual ~COleDropSource() = default;

    // IUnknown (the object lives on the caller's stack or in its object)
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    // IDropSource: overridable as they stand.
    STDMETHODIMP QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) override;
    STDMETHODIMP GiveFeedback(DROPEFFECT dropEffect) override;
};

// Registers a window for drops and hands the events to the members below,
// with the point in the window's client coordinates. The data object lives
// for the call only. A drop takes the effect that the last OnDragEnter or
// OnDragOver chose.
class COleDropTarget : public IDropTarget {
public:
    COleDropTarget();
    virtual ~COleDropTarget();
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    BOOL Register(CWnd* pWnd);
    void Revoke();
    CWnd* GetWindow() const { return m_pWnd; }

    virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                                   CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                                  CPoint point);
    virtual void OnDragLeave(CWnd* pWnd);
    virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect,
                        CPoint point);

    // IUnknown (owned by its C++ owner, not by its references)
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    // IDropTarget
    STDMETHODIMP DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                           DWORD* pdwEffect) override;
    STDMETHODIMP DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                      DWORD* pdwEffect) override;

private:
    CPoint ToClient(POINTL pt) const;
    CWnd* m_pWnd;
    IDataObject* m_pDragData;  // the data of the drag in progress
    DROPEFFECT m_dwLastEffect;  // what the last enter or move over chose
};
