// Inside the class library: the per-thread state (window map, temporary
// wrappers, the message being dispatched, the creation hook).
#pragma once

#include "afxwin.h"

#include <unordered_map>

// Temporary wrappers of foreign handles, one map per wrapper type. A
// wrapper owns nothing: its handle is cleared before it is deleted.
template <class T, class H>
class CTempMap {
public:
    explicit CTempMap(H T::*pHandle) : m_pHandle(pHandle) {}
    ~CTempMap() { DeleteAll(); }
    T* Lookup(H h) const {
        auto it = m_map.find(h);
        return it == m_map.end() ? nullptr : it->second;
    }
    T* GetOrCreate(H h) {
        if (!h) return nullptr;
        if (T* p = Lookup(h)) return p;
        T* p = new T;
        p->*m_pHandle = h;
        m_map[h] = p;
        return p;
    }
    void Remove(H h) {
        auto it = m_map.find(h);
        if (it == m_map.end()) return;
        T* p = it->second;
        m_map.erase(it);
        p->*m_pHandle = nullptr;
        delete p;
    }
    void DeleteAll() {
        std::unordered_map<H, T*> old;
        old.swap(m_map);
        for (auto& kv : old) {
            kv.second->*m_pHandle = nullptr;
            delete kv.second;
        }
    }

private:
    H T::*m_pHandle;
    std::unordered_map<H, T*> m_map;
};

struct AFX_THREAD_STATE {
    AFX_THREAD_STATE();

    // Permanent objects of the windows this thread attached.
    std::unordered_map<HWND, CWnd*> permanentWnds;
    CTempMap<CWnd, HWND> tempWnds;
    CTempMap<CDC, HDC> tempDCs;
    CTempMap<CGdiObject, HGDIOBJ> tempGdi;
    CTempMap<CPen, HGDIOBJ> tempPens;
    CTempMap<CBrush, HGDIOBJ> tempBrushes;
    CTempMap<CFont, HGDIOBJ> tempFonts;
    CTempMap<CBitmap, HGDIOBJ> tempBitmaps;
    CTempMap<CRgn, HGDIOBJ> tempRgns;
    CTempMap<CMenu, HMENU> tempMenus;

    // The message being dispatched, for Default() and ReflectLastMsg().
    MSG lastMsg = {};
    // Window-procedure calls on this thread's stack, innermost first. An
    // object deleted while one of its messages is being dispatched marks
    // its frames, so the dispatcher does not touch it afterwards.
    struct DispatchFrame {
        CWnd* pWnd;
        bool bAlive;
        DispatchFrame* pPrev;
    };
    DispatchFrame* pFrames = nullptr;
    // Window-procedure calls on the stack of this thread; temporaries are
    // freed only at depth 0, so no handler loses a pointer it holds.
    int nWndProcDepth = 0;

    // Creation hook: the object waiting for its window.
    CWnd* pWndInit = nullptr;
    HHOOK hHookCbt = nullptr;
    // The object whose window is being created (for WM_MEASUREITEM sent
    // before the control is reachable through its parent).
    CWnd* pWndCreating = nullptr;

    CWinThread* pThread = nullptr;
};

AFX_THREAD_STATE* AfxGetThreadState();
LRESULT CALLBACK AfxCbtFilterHook(int nCode, WPARAM wParam, LPARAM lParam);
