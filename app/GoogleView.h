// The map view: an HTML view showing the map page beside the program, driven
// through the page's two script functions, setLatLng and setFocus.
#pragma once

#include "classlib/afxhtml.h"

class CGoogleView : public CHtmlView {
    DECLARE_DYNCREATE(CGoogleView)

public:
    CGoogleView();
    ~CGoogleView() override;

    // Loads the map page once; FALSE when the machine is offline (the view
    // then stays empty for good).
    BOOL Navigate();
    using CHtmlView::Navigate;
    // Moves the page's marker; dropped when offline or before the page has
    // reported both its document and its download complete.
    void SetLatLng(double latitude, double longitude);
    // Asks the page to bring the marker into view.
    void SetMapFocus();
    // Runs a script text in the page as JScript; nothing without a page.
    void ExecScript(LPCTSTR lpszCode);
    using CHtmlView::ExecScript;

    void OnDocumentComplete(LPCTSTR lpszURL) override;
    void OnDownloadComplete() override;

    // The slot of whoever keeps a pointer to this view: it is cleared when
    // the view goes with its window, so the pointer never dangles.
    void SetOwnerSlot(CGoogleView** ppSlot) { m_ppOwnerSlot = ppSlot; }

    // The connection check (InternetGetConnectedState by default); returns
    // the one it replaces. Null restores the default.
    typedef BOOL(WINAPI* PFN_CONNECTED_STATE)(LPDWORD lpdwFlags, DWORD dwReserved);
    static PFN_CONNECTED_STATE SetConnectedStateCheck(PFN_CONNECTED_STATE pfn);

    BOOL m_bDocumentComplete;
    BOOL m_bDownloadComplete;

protected:
    DECLARE_MESSAGE_MAP()

private:
    static BOOL IsOnline();
    CGoogleView** m_ppOwnerSlot;
};
