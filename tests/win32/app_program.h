// Quorvel.exe started as a process by a window test: its main window
// "Trellmar", its visible windows, its end and exit code. A run still alive
// at the end of its scope is killed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/harness/harness.h"

namespace apptest {

const DWORD kProgramBound = 60000;  // ends a hung start or close; never a speed goal

// The program of this build, as a Wine path.
inline std::string ProgramPath() { return "Z:" + std::string(DC_BINARY_DIR) + "/app/Quorvel.exe"; }

struct VisibleOf {
    DWORD pid;
    std::vector<HWND> windows;
};

inline BOOL CALLBACK CollectVisible(HWND hWnd, LPARAM lParam) {
    auto* v = reinterpret_cast<VisibleOf*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    if (owner == v->pid && ::IsWindowVisible(hWnd)) v->windows.push_back(hWnd);
    return TRUE;
}

// The visible top-level windows of a process.
inline std::vector<HWND> VisibleWindowsOf(DWORD pid) {
    VisibleOf v{pid, {}};
    ::EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&v));
    return v.windows;
}

// The top-level window titled "Trellmar" of a process, or null.
inline HWND MainWindowOf(DWORD pid) {
    for (HWND h = ::FindWindowExA(nullptr, nullptr, nullptr, "Trellmar"); h;
         h = ::FindWindowExA(nullptr, h, nullptr, "Trellmar")) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(h, &owner);
        if (owner == pid) return h;
    }
    return nullptr;
}

class ProgramRun {
public:
    // Starts the program at `exe` with the command-line arguments `args`.
    explicit ProgramRun(const std::string& exe, const std::string& args = "") {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
        started_ = ::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &si, &pi_) != FALSE;
    }
    ~ProgramRun() {
        if (!started_) return;
        if (Alive()) {
            ::TerminateProcess(pi_.hProcess, 99);
            ::WaitForSingleObject(pi_.hProcess, kProgramBound);
        }
        ::CloseHandle(pi_.hProcess);
        ::CloseHandle(pi_.hThread);
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool started() const { return started_; }
    DWORD pid() const { return pi_.dwProcessId; }
    HANDLE process() const { return pi_.hProcess; }
    bool Alive() const { return ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

    // Waits for the end of the process, noting whether it ever showed a
    // window meanwhile. False when it did not end within the bound.
    bool WaitEnd(DWORD* exitCode, bool* showedWindow) {
        bool showed = false;
        const DWORD start = ::GetTickCount();
        while (::WaitForSingleObject(pi_.hProcess, 5) == WAIT_TIMEOUT) {
            if (!VisibleWindowsOf(pid()).empty()) showed = true;
            if (::GetTickCount() - start > kProgramBound) return false;
        }
        if (showedWindow) *showedWindow = showed;
        if (exitCode) ::GetExitCodeProcess(pi_.hProcess, exitCode);
        return true;
    }
    // The exit code, or -1 when it did not end within `bound` ms.
    long WaitExit(DWORD bound) {
        if (::WaitForSingleObject(pi_.hProcess, bound) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(pi_.hProcess, &code);
        return long(code);
    }
    // The main window once it is shown, or null.
    HWND WaitMainWindow() {
        HWND h = nullptr;
        uitest::PumpUntil(
            [&] {
                h = MainWindowOf(pid());
                return (h && ::IsWindowVisible(h)) || !Alive();
            },
            kProgramBound);
        return h && ::IsWindowVisible(h) ? h : nullptr;
    }

private:
    PROCESS_INFORMATION pi_ = {};
    bool started_ = false;
};

}  // namespace apptest
