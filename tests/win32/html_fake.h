// For the HTML view's window tests: a browser that records what the view
// asks of it (address, script texts and their language, the silent switch)
// and lets the test fire the two completion events, and a check of heap
// frees that catches an object freed twice or never. Include it in one file
// of a test program only: it replaces the program's operator new and delete.
#pragma once

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "classlib/afxhtml.h"

namespace htmltest {

// ---------------------------------------------------------------- frees

// While armed, blocks from operator new are noted, and a freed block is kept
// (not given back) and remembered, so a second delete of it is seen and
// counted instead of corrupting the heap. Fixed tables, no allocation of
// its own; a spin lock for the odd other thread.
class HeapCheck {
public:
    static HeapCheck& Get() {
        static HeapCheck c;  // constant-initialised: usable before main
        return c;
    }
    void Arm() {
        Lock l(this);
        nLive_ = nFreed_ = 0;
        badFrees_ = 0;
        armed_ = true;
    }
    void Disarm() {
        Lock l(this);
        armed_ = false;
    }
    long badFrees() const { return badFrees_; }
    // The block was made while armed and is still alive.
    bool Live(const void* p) {
        Lock l(this);
        return Find(live_, nLive_, p) >= 0;
    }
    // The block was made while armed and has been deleted.
    bool Freed(const void* p) {
        Lock l(this);
        return Find(freed_, nFreed_, p) >= 0;
    }

    void OnNew(void* p) {
        Lock l(this);
        if (armed_ && nLive_ < kMax) live_[nLive_++] = p;
    }
    // False: the caller must not free the block.
    bool OnDelete(void* p) {
        Lock l(this);
        if (!armed_) {
            if (Find(freed_, nFreed_, p) < 0) return true;
            ++badFrees_;
            return false;
        }
        int i = Find(live_, nLive_, p);
        if (i >= 0) {
            live_[i] = live_[--nLive_];
            if (nFreed_ < kMax) {
                freed_[nFreed_++] = p;
                return false;  // kept, so a second delete is recognised
            }
            return true;
        }
        if (Find(freed_, nFreed_, p) >= 0) {
            ++badFrees_;
            return false;
        }
        return true;
    }

private:
    enum { kMax = 16384 };
    struct Lock {
        HeapCheck* c;
        explicit Lock(HeapCheck* h) : c(h) {
            while (::InterlockedExchange(&c->lock_, 1)) ::Sleep(0);
        }
        ~Lock() { ::InterlockedExchange(&c->lock_, 0); }
    };
    static int Find(void* const* a, int n, const void* p) {
        for (int i = n - 1; i >= 0; --i)
            if (a[i] == p) return i;
        return -1;
    }
    volatile LONG lock_;
    bool armed_;
    long badFrees_;
    int nLive_, nFreed_;
    void* live_[kMax];
    void* freed_[kMax];
};

// Arms the check for a scope.
struct HeapScope {
    HeapScope() { HeapCheck::Get().Arm(); }
    ~HeapScope() { HeapCheck::Get().Disarm(); }
};

// ---------------------------------------------------------------- browser

struct BrowserLog {
    int made = 0;       // browsers the factory made
    int created = 0;    // Create calls
    int destroyed = 0;  // Destroy calls
    int deleted = 0;    // browsers deleted
    bool failCreate = false;
    HWND host = nullptr;
    CHtmlBrowserEvents* events = nullptr;
    std::vector<std::string> urls;
    // What came with the last navigation besides the address.
    DWORD navFlags = 0;
    bool navTarget = false, navHeaders = false, navPost = false;
    std::vector<std::string> scripts;
    std::vector<std::string> languages;
    std::vector<RECT> rects;
    int silent = -1;  // -1: never set
    bool hasDocument = false;

    void Reset() { *this = BrowserLog(); }
    void FireDocumentComplete(const char* url) {
        if (events) events->OnBrowserDocumentComplete(url);
    }
    void FireDownloadComplete() {
        if (events) events->OnBrowserDownloadComplete();
    }
};

inline BrowserLog& Log() {
    static BrowserLog log;
    return log;
}

class FakeBrowser : public CHtmlBrowser {
public:
    FakeBrowser() { ++Log().made; }
    ~FakeBrowser() override { ++Log().deleted; }
    BOOL Create(HWND hWndHost, CHtmlBrowserEvents* pEvents) override {
        ++Log().created;
        if (Log().failCreate) return FALSE;
        Log().host = hWndHost;
        Log().events = pEvents;
        return TRUE;
    }
    void Destroy() override {
        ++Log().destroyed;
        Log().events = nullptr;
    }
    void SetRect(const RECT& rc) override { Log().rects.push_back(rc); }
    HRESULT Navigate(LPCTSTR lpszURL, DWORD dwFlags, LPCTSTR lpszTarget, LPCTSTR lpszHeaders,
                     const void* lpvPostData, DWORD dwPostDataLen) override {
        Log().urls.push_back(lpszURL);
        Log().navFlags = dwFlags;
        Log().navTarget = lpszTarget != nullptr;
        Log().navHeaders = lpszHeaders != nullptr;
        Log().navPost = lpvPostData != nullptr || dwPostDataLen != 0;
        Log().hasDocument = true;  // an empty document exists from the first navigation on
        return S_OK;
    }
    HRESULT SetSilent(BOOL bSilent) override {
        Log().silent = bSilent ? 1 : 0;
        return S_OK;
    }
    BOOL HasDocument() override { return Log().hasDocument; }
    HRESULT ExecScript(LPCTSTR lpszCode, LPCTSTR lpszLanguage) override {
        if (!Log().hasDocument) return S_FALSE;
        Log().scripts.push_back(lpszCode);
        Log().languages.push_back(lpszLanguage ? lpszLanguage : "");
        return S_OK;
    }
};

inline CHtmlBrowser* MakeFakeBrowser() { return new FakeBrowser; }

// Puts the fake in place of the system's browser for its lifetime, with a
// fresh log.
struct UseFakeBrowser {
    AFX_HTMLBROWSER_FACTORY old;
    UseFakeBrowser() : old(AfxSetHtmlBrowserFactory(MakeFakeBrowser)) { Log().Reset(); }
    ~UseFakeBrowser() { AfxSetHtmlBrowserFactory(old); }
};

}  // namespace htmltest

void* operator new(size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    htmltest::HeapCheck::Get().OnNew(p);
    return p;
}
void operator delete(void* p) noexcept {
    if (p && htmltest::HeapCheck::Get().OnDelete(p)) std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void* operator new[](size_t n) { return operator new(n); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }
