// Drives the program's modal dialogs from inside their own message loops:
// a thread timer runs a list of steps, each asked again on every tick until
// it says it is done. Steps only post input (commands, keys, clicks) so
// that the dialog's loop, with its PreTranslateMessage, is what handles it;
// nothing here pumps. Message boxes are answered by the class library's
// hook, which records each box and what the program showed at that moment.
#pragma once

#include <windows.h>

#include <dbt.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/afxwin.h"
#include "tests/harness/harness.h"

namespace apptest {

class ModalScript {
public:
    using Step = std::function<bool()>;

    explicit ModalScript(DWORD timeoutMs = 20000) : timeoutMs_(timeoutMs) {}
    ~ModalScript() { Stop(); }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // A step that is asked again until it returns true.
    ModalScript& Then(const char* name, Step step) {
        steps_.push_back({name, std::move(step)});
        return *this;
    }
    // A step that runs once.
    ModalScript& Do(const char* name, std::function<void()> action) {
        return Then(name, [action] {
            action();
            return true;
        });
    }
    // Waits for ms milliseconds of ticks (the dialog's loop runs meanwhile).
    ModalScript& Wait(DWORD ms) {
        auto until = std::make_shared<DWORD>(0);
        return Then("wait", [until, ms] {
            if (!*until) *until = GetTickCount() + ms;
            return static_cast<LONG>(GetTickCount() - *until) >= 0;
        });
    }
    // Called when a step does not finish in time: it must end the dialogs.
    void OnTimeout(std::function<void()> bail) { bail_ = std::move(bail); }

    void Start(UINT periodMs = 10) {
        s_current = this;
        start_ = GetTickCount();
        timer_ = SetTimer(nullptr, 0, periodMs, &ModalScript::Tick);
    }
    void Stop() {
        if (timer_) KillTimer(nullptr, timer_);
        timer_ = 0;
        if (s_current == this) s_current = nullptr;
    }
    bool finished() const { return next_ >= steps_.size(); }
    // The step that did not finish, or "".
    std::string stuck() const { return finished() ? "" : steps_[next_].name; }

private:
    struct Named {
        std::string name;
        Step step;
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript* s = s_current;
        if (!s || s->busy_) return;
        s->busy_ = true;
        while (!s->finished() && s->steps_[s->next_].step()) {
            ++s->next_;
            s->start_ = GetTickCount();
        }
        if (!s->finished() && GetTickCount() - s->start_ > s->timeoutMs_) {
            s->timedOut_ = true;
            if (s->bail_) s->bail_();
        }
        if (s->finished() || s->timedOut_) s->Stop();
        s->busy_ = false;
    }

    static inline ModalScript* s_current = nullptr;
    std::vector<Named> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
    DWORD start_ = 0;
    DWORD timeoutMs_;
    bool busy_ = false;
    bool timedOut_ = false;
    std::function<void()> bail_;
};

// A button's click as the dialog receives it from the control.
inline void PostClick(CWnd* pDlg, UINT nID) {
    HWND hButton = ::GetDlgItem(pDlg->m_hWnd, nID);
    ::PostMessageA(pDlg->m_hWnd, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED),
                   reinterpret_cast<LPARAM>(hButton));
}

// A key posted to a window, through the thread's queue (and so through the
// dialog loop's PreTranslateMessage).
inline void PostKeyDown(HWND hWnd, WORD vk) {
    const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    ::PostMessageA(hWnd, WM_KEYDOWN, vk, static_cast<LPARAM>(1 | (scan << 16)));
    ::PostMessageA(hWnd, WM_KEYUP, vk, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
}

// A left click at the middle of a control, posted to it.
inline void PostMouseClick(HWND hWnd) {
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    const LPARAM at = MAKELPARAM((rc.right - rc.left) / 2, (rc.bottom - rc.top) / 2);
    ::PostMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(hWnd, WM_LBUTTONUP, 0, at);
}

// The broadcast a window gets when a card is put into a drive.
inline void SendCardArrived(HWND hWnd, char drive) {
    DEV_BROADCAST_VOLUME v = {};
    v.dbcv_size = sizeof v;
    v.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    v.dbcv_unitmask = 1u << (drive - 'A');
    v.dbcv_flags = DBTF_MEDIA;
    ::SendMessageA(hWnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&v));
}

// Ends a modal class-library dialog that a failed script left open.
inline void EndDialogOf(CWnd* pWnd) {
    if (auto* d = dynamic_cast<CDialog*>(pWnd)) {
        if (d->GetSafeHwnd()) d->EndDialog(-1);
    }
}

// The text of a string-table entry of the program.
inline std::string Text(UINT id) {
    char buf[512] = {};
    const int n = LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

}  // namespace apptest
