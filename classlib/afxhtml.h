// The HTML view: a view that hosts a web browser and reports when its page
// is complete. The browser sits behind a small interface (navigate, run a
// script, two completion events) so that a program can be driven without a
// browser engine: the system's web browser control is the default, and a
// factory set with AfxSetHtmlBrowserFactory replaces it.
#pragma once

#include "classlib/afxview.h"

// Where a browser reports its events.
class CHtmlBrowserEvents {
public:
    // The page (or one of its frames) at lpszURL has its document complete.
    virtual void OnBrowserDocumentComplete(LPCTSTR lpszURL) = 0;
    // A download of the page ended (successfully or not).
    virtual void OnBrowserDownloadComplete() = 0;

protected:
    ~CHtmlBrowserEvents() {}
};

// One browser inside one host window.
class CHtmlBrowser {
public:
    virtual ~CHtmlBrowser() {}
    // Puts the browser into hWndHost's client area; its events go to pEvents
    // until Destroy. FALSE when there is no browser to host.
    virtual BOOL Create(HWND hWndHost, CHtmlBrowserEvents* pEvents) = 0;
    // Takes the browser out of its host; no event is reported afterwards.
    // Called before the host window goes.
    virtual void Destroy() = 0;
    // The browser's place in the host's client area.
    virtual void SetRect(const RECT& rc) = 0;
    virtual HRESULT Navigate(LPCTSTR lpszURL, DWORD dwFlags, LPCTSTR lpszTargetFrameName,
                             LPCTSTR lpszHeaders, const void* lpvPostData,
                             DWORD dwPostDataLen) = 0;
    // Script error dialogs off (TRUE) or on.
    virtual HRESULT SetSilent(BOOL bSilent) = 0;
    // Whether a document is loaded (something to run a script in).
    virtual BOOL HasDocument() = 0;
    // Runs lpszCode in the window of the loaded document; S_FALSE when there
    // is no document or no window to run it in.
    virtual HRESULT ExecScript(LPCTSTR lpszCode, LPCTSTR lpszLanguage) = 0;
};

// Makes the browser of each new HTML view. Null: the system's control.
typedef CHtmlBrowser* (*AFX_HTMLBROWSER_FACTORY)();
// Returns the factory it replaces.
AFX_HTMLBROWSER_FACTORY AfxSetHtmlBrowserFactory(AFX_HTMLBROWSER_FACTORY pfnFactory);
// The system's web browser control (WebBrowser through COM).
CHtmlBrowser* AfxCreateSystemHtmlBrowser();

class CHtmlView : public CView, private CHtmlBrowserEvents {
public:
    static const CRuntimeClass classCHtmlView;
    const CRuntimeClass* GetRuntimeClass() const override;

    // Loads a page; FALSE when there is no browser or it refused.
    BOOL Navigate(LPCTSTR lpszURL, DWORD dwFlags = 0, LPCTSTR lpszTargetFrameName = nullptr,
                  LPCTSTR lpszHeaders = nullptr, const void* lpvPostData = nullptr,
                  DWORD dwPostDataLen = 0);
    void SetSilent(BOOL bSilent);
    BOOL HasHtmlDocument() const;
    // Runs a script text in the loaded page; does nothing without one.
    HRESULT ExecScript(LPCTSTR lpszCode, LPCTSTR lpszLanguage);
    // The hosted browser (null when none could be made).
    CHtmlBrowser* GetBrowser() const { return m_pBrowser; }

    virtual void OnDocumentComplete(LPCTSTR lpszURL);
    virtual void OnDownloadComplete();

protected:
    CHtmlView();
    ~CHtmlView() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    void OnBrowserDocumentComplete(LPCTSTR lpszURL) override;
    void OnBrowserDownloadComplete() override;

    CHtmlBrowser* m_pBrowser;
};
