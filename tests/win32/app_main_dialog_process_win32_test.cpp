// Quorvel.exe as a process: started from a card drive it lists the card's
// clips (and none from a drive without the clip folder), and every road
// that closes the main window (WM_CLOSE, Alt+F4, the X button) ends the
// process with exit code 0.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/res/resource.h"
#include "tests/harness/harness.h"
#include "tests/win32/app_program.h"

namespace {

const DWORD kBound = 20000;  // ends a hung start or close; never a speed goal

std::string ExePath() { return apptest::ProgramPath(); }

using Program = apptest::ProgramRun;

int ListRows(HWND main) {
    HWND list = ::GetDlgItem(main, IDC_PLAYLIST);
    // The skinned list is a second window with the template's id; take the
    // visible one.
    for (HWND c = ::GetWindow(main, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        if (::GetDlgCtrlID(c) == IDC_PLAYLIST && ::IsWindowVisible(c)) list = c;
    return list ? int(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : -1;
}

bool CopyTree(const std::string& from, const std::string& to) {
    ::CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((from + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTree(from + "\\" + name, to + "\\" + name) && ok;
        else
            ok = ::CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE) && ok;
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    return ok;
}

}  // namespace

TEST(MainDialogProcess, StartedFromACardListsItsClips) {
    // The program and its images on R:\Player, the sample card's folder at
    // R:\RIVAVEZU (five clips).
    ASSERT_TRUE(CopyTree(uitest::WinePath(std::string(DC_BINARY_DIR) + "/app"), "R:\\Player"));
    ASSERT_TRUE(
        CopyTree(uitest::WinePath(std::string(DC_TESTDATA) + "/card/RIVAVEZU"), "R:\\RIVAVEZU"));
    struct Case {
        const char* name;
        std::string exe;
        int rows;
    };
    const Case cases[] = {
        {"card drive R:", "R:\\Player\\Quorvel.exe", 5},
        {"drive without RIVAVEZU", ExePath(), 0},
    };
    for (const Case& c : cases) {
        Program p(c.exe);
        ASSERT_TRUE(p.started()) << c.name;
        HWND main = p.WaitMainWindow();
        ASSERT_NE(main, nullptr) << c.name;
        EXPECT_EQ(ListRows(main), c.rows) << c.name;
        ::PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(p.WaitExit(kBound), 0) << c.name;
    }
}

TEST(MainDialogProcess, EveryCloseRoadEndsTheProcess) {
    struct Case {
        const char* name;
        UINT msg;
        WPARAM wParam;
    };
    const Case cases[] = {
        {"WM_CLOSE", WM_CLOSE, 0},
        {"Alt+F4", WM_SYSCOMMAND, SC_CLOSE},
        {"X button", WM_COMMAND, MAKEWPARAM(IDC_CLOSE, BN_CLICKED)},
    };
    for (const Case& c : cases) {
        Program p(ExePath());
        ASSERT_TRUE(p.started()) << c.name;
        HWND main = p.WaitMainWindow();
        ASSERT_NE(main, nullptr) << c.name;
        ::PostMessageA(main, c.msg, c.wParam, 0);
        // Within 10 s, with exit code 0.
        EXPECT_EQ(p.WaitExit(10000), 0) << c.name;
    }
}
