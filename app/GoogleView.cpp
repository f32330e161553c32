#include "app/GoogleView.h"

#include <wininet.h>

#include "ThemeClass/ThemeConfig.h"
#include "app/map_page.h"

IMPLEMENT_DYNCREATE(CGoogleView, CHtmlView)

BEGIN_MESSAGE_MAP(CGoogleView, CHtmlView)
END_MESSAGE_MAP()

namespace {
CGoogleView::PFN_CONNECTED_STATE g_pfnConnectedState = nullptr;
}

CGoogleView::CGoogleView()
    : m_bDocumentComplete(FALSE), m_bDownloadComplete(FALSE), m_ppOwnerSlot(nullptr) {}

CGoogleView::~CGoogleView() {
    if (m_ppOwnerSlot && *m_ppOwnerSlot == this) *m_ppOwnerSlot = nullptr;
}

CGoogleView::PFN_CONNECTED_STATE CGoogleView::SetConnectedStateCheck(PFN_CONNECTED_STATE pfn) {
    PFN_CONNECTED_STATE old = g_pfnConnectedState;
    g_pfnConnectedState = pfn;
    return old;
}

BOOL CGoogleView::IsOnline() {
    DWORD dwFlags = 0;
    return g_pfnConnectedState ? g_pfnConnectedState(&dwFlags, 0)
                               : ::InternetGetConnectedState(&dwFlags, 0);
}

BOOL CGoogleView::Navigate() {
    if (!IsOnline()) return FALSE;
    const std::string url = MapPageUrl(GetAppFolder().GetString());
    CHtmlView::Navigate(url.c_str(), 0, nullptr, nullptr, nullptr, 0);
    // Script errors of the page are not the user's business.
    SetSilent(TRUE);
    return TRUE;
}

void CGoogleView::SetLatLng(double latitude, double longitude) {
    if (!IsOnline()) return;
    if (!m_bDocumentComplete || !m_bDownloadComplete) return;
    ExecScript(MapLatLngScript(latitude, longitude).c_str());
}

void CGoogleView::SetMapFocus() { ExecScript(kMapFocusScript); }

void CGoogleView::ExecScript(LPCTSTR lpszCode) {
    if (!HasHtmlDocument()) return;
    CHtmlView::ExecScript(lpszCode, "JScript");
}

void CGoogleView::OnDocumentComplete(LPCTSTR lpszURL) {
    m_bDocumentComplete = TRUE;
    CHtmlView::OnDocumentComplete(lpszURL);
}

void CGoogleView::OnDownloadComplete() {
    m_bDownloadComplete = TRUE;
    CHtmlView::OnDownloadComplete();
}
