// The program's main dialog made in the test process on its own template
// and resources, shown at the screen's corner, with a message pump that
// runs the dialog's key handling as its modal loop would.
#pragma once

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ThemeClass/ThemeListCtrl.h"
#include "ThemeClass/ThemeSlider.h"
#include "ThemeClass/ThemeStatic.h"
#include "app/QuorvelDlg.h"
#include "app/player_ctrl.h"
#include "tests/harness/harness.h"

namespace maindlg {

const DWORD kBound = 20000;  // ends a wait that would hang; never a speed goal

// Dispatches for ms, passing keys through the dialogs' PreTranslateMessage.
inline void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (!AfxPreTranslateMessage(&m)) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
        }
        if (GetTickCount() - start >= ms) return;
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

template <class F>
bool PumpUntil(F done, DWORD ms = kBound) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= ms) return false;
        Pump(10);
    }
    return true;
}

struct Dialog {
    std::unique_ptr<CQuorvelDlg> dlg;
    Dialog() {
        uitest::MoveCursor(1270, 1010);
        dlg = std::make_unique<CQuorvelDlg>();
        if (!dlg->Create(CQuorvelDlg::IDD, nullptr)) return;
        ::SetWindowPos(dlg->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
        dlg->ShowWindow(SW_SHOW);
        uitest::BringToFront(dlg->m_hWnd);
        Pump(150);
    }
    ~Dialog() {
        if (dlg && dlg->GetSafeHwnd()) {
            dlg->Close();
            dlg->DestroyWindow();
        }
        Pump(20);
    }
    HWND hwnd() const { return dlg->m_hWnd; }
    template <class T>
    T* Control(UINT id) const {
        return dynamic_cast<T*>(CWnd::FromHandlePermanent(::GetDlgItem(dlg->m_hWnd, id)));
    }
    std::string Text(UINT id) const {
        CThemeStatic* s = Control<CThemeStatic>(id);
        return s ? std::string(s->GetText()) : std::string("<no label>");
    }
    void Click(UINT id) {
        HWND h = ::GetDlgItem(dlg->m_hWnd, id);
        RECT r;
        ::GetWindowRect(h, &r);
        POINT c = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ::ScreenToClient(dlg->m_hWnd, &c);
        uitest::ClickClient(dlg->m_hWnd, c.x, c.y);
        Pump(60);
    }
    // The button's click as the button tells its parent (repeated clicks
    // on one place would read as double clicks).
    void Command(UINT id) {
        SendMessageA(dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     LPARAM(::GetDlgItem(dlg->m_hWnd, id)));
        Pump(20);
    }
    // Where a key typed now goes: the focus when it is in the dialog.
    HWND FocusOrDialog() const {
        HWND f = ::GetFocus();
        return f && (f == dlg->m_hWnd || ::IsChild(dlg->m_hWnd, f)) ? f : dlg->m_hWnd;
    }
    // A key pressed and released where the focus is, through this pump.
    void Key(WORD vk) {
        const LPARAM scan = LPARAM(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
        PostMessageA(FocusOrDialog(), WM_KEYDOWN, vk, 1 | scan);
        PostMessageA(FocusOrDialog(), WM_KEYUP, vk, LPARAM(1 | scan | 0xC0000000u));
        Pump(40);
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> out;
        CThemeListCtrl* l = dlg->GetPlayList();
        for (int i = 0; l && i < l->GetItemCount(); ++i) out.push_back(std::string(l->GetItemText(i, 0)));
        return out;
    }
    // The record paths of the rows, in row order.
    std::vector<std::string> RowPaths() const {
        std::vector<std::string> out;
        CThemeListCtrl* l = dlg->GetPlayList();
        for (int i = 0; l && i < l->GetItemCount(); ++i)
            out.push_back(dlg->GetEntry(int(l->GetItemData(i))).strPath);
        return out;
    }
    // Selects a row and double-clicks it as the user does.
    void DoubleClickRow(int row) {
        CThemeListCtrl* l = dlg->GetPlayList();
        l->EnsureVisible(row, FALSE);
        RECT r;
        l->GetItemRect(row, &r, LVIR_BOUNDS);
        POINT p = {r.left + 30, (r.top + r.bottom) / 2};
        ::MapWindowPoints(l->m_hWnd, dlg->m_hWnd, &p, 1);
        uitest::DoubleClickClient(dlg->m_hWnd, p.x, p.y);
        Pump(50);
    }
};

// A folder of the test under the temporary folder, emptied at the start.
inline std::string TempFolder(const char* name) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string dir = std::string(tmp) + "maindlg_" + name;
    // No shell in the prefix is relied on: remove what a previous run left
    // file by file.
    WIN32_FIND_DATAA fd;
    for (const char* sub : {"\\INFINITE\\", "\\EVENT\\", "\\"}) {
        HANDLE h = FindFirstFileA((dir + sub + "*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) continue;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((dir + sub + fd.cFileName).c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "\\INFINITE").c_str(), nullptr);
    CreateDirectoryA((dir + "\\EVENT").c_str(), nullptr);
    return dir;
}

// A file of `size` bytes (copied from `from` when given, else filler) with
// a last-write time in UTC.
inline bool WriteClip(const std::string& path, size_t size, SYSTEMTIME utc,
                      const std::string& from = std::string()) {
    std::vector<char> bytes;
    if (!from.empty()) {
        FILE* f = std::fopen(from.c_str(), "rb");
        if (!f) return false;
        char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    } else {
        bytes.assign(size, 'x');
    }
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    FILETIME ft;
    SystemTimeToFileTime(&utc, &ft);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
    return written == bytes.size();
}

inline SYSTEMTIME Utc(int y, int mo, int d, int h, int mi, int s) {
    SYSTEMTIME t = {};
    t.wYear = WORD(y);
    t.wMonth = WORD(mo);
    t.wDay = WORD(d);
    t.wHour = WORD(h);
    t.wMinute = WORD(mi);
    t.wSecond = WORD(s);
    return t;
}

}  // namespace maindlg
