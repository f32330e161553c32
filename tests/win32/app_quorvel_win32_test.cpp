// Quorvel.exe started as a process, as the user or COM starts it: the
// registry switches, one instance at a time, and the embedded start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "tests/harness/harness.h"
#include "tests/win32/app_program.h"

namespace {

const char kTitle[] = "Trellmar";
const char kAppName[] = "Quorvel";  // the executable's base name names the guard
const DWORD kBound = 60000;         // ends a hung start; never a speed goal

using apptest::MainWindowOf;
using apptest::VisibleWindowsOf;

std::string ExePath() { return apptest::ProgramPath(); }

// One run of the program with the given arguments.
class Program : public apptest::ProgramRun {
public:
    explicit Program(const std::string& args) : ProgramRun(ExePath(), args) {}
};

// Runs a start that is expected to end by itself without a window.
void RunQuietly(const std::string& args) {
    Program r(args);
    ASSERT_TRUE(r.started()) << args;
    DWORD code = 1;
    bool showed = true;
    ASSERT_TRUE(r.WaitEnd(&code, &showed)) << args << ": did not end";
    EXPECT_FALSE(showed) << args << ": showed a window";
}

bool KeyExists(const std::string& path) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

// A string value; "<none>" when the key or value is missing.
std::string StringValue(const std::string& path, const char* name) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<none>";
    char buf[512] = {};
    DWORD size = sizeof buf - 1, type = 0;
    const LONG r = ::RegQueryValueExA(key, name, nullptr, &type, (BYTE*)buf, &size);
    ::RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_SZ ? std::string(buf) : "<none>";
}

// What registration leaves: "AppID\Quorvel.EXE" naming the AppID GUID, and
// "AppID\{GUID}" named "Quorvel". Empty when not registered; the GUID when
// registered as it should be; a message otherwise.
std::string Registration() {
    const std::string guid = StringValue("AppID\\Quorvel.EXE", "AppID");
    if (guid == "<none>") return KeyExists("AppID\\Quorvel.EXE") ? "exe key without AppID" : "";
    if (guid.size() != 38 || guid.front() != '{' || guid.back() != '}') return "bad GUID " + guid;
    const std::string name = StringValue("AppID\\" + guid, nullptr);
    if (name != "Quorvel") return "AppID key names " + name;
    return guid;
}

class QuorvelProcess : public ::testing::Test {
protected:
    void SetUp() override {
        // A copy left running from elsewhere would answer every start.
        HANDLE h = ::OpenEventA(SYNCHRONIZE, FALSE, kAppName);
        if (h) ::CloseHandle(h);
        ASSERT_EQ(nullptr, h) << "a Quorvel process is already running";
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(ExePath().c_str())) << ExePath();
    }
};

}  // namespace

TEST_F(QuorvelProcess, RegistrySwitchesRegisterOnlyAsTheLastThingOnTheLine) {
    struct Case {
        const char* args;
        bool registers;
        bool normalStart;
    };
    const Case cases[] = {
        {"/RegServer", true, false},    {"-regserver", true, false},
        {"/REGSERVER", true, false},    {"/RegServer now", false, true},
        {"-regserver -x", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        RunQuietly("/UnregServer");
        ASSERT_EQ("", Registration()) << "unregistered before the case";
        Program r(c.args);
        ASSERT_TRUE(r.started());
        if (c.normalStart) {
            HWND hMain = r.WaitMainWindow();
            ASSERT_NE(nullptr, hMain) << "a normal start shows the main window";
            ::PostMessageA(hMain, WM_CLOSE, 0, 0);
        }
        DWORD code = 1;
        bool showed = false;
        ASSERT_TRUE(r.WaitEnd(&code, &showed)) << "did not end";
        EXPECT_EQ(0u, code);
        if (!c.normalStart) {
            EXPECT_FALSE(showed) << "a registry switch shows nothing";
        }
        const std::string reg = Registration();
        if (c.registers)
            EXPECT_EQ('{', reg.empty() ? 0 : reg[0]) << "registered: " << reg;
        else
            EXPECT_EQ("", reg);
    }
}

TEST_F(QuorvelProcess, UnregServerRemovesBothKeysAndKeepsTheAppIdRoot) {
    RunQuietly("/RegServer");
    const std::string guid = Registration();
    ASSERT_EQ('{', guid.empty() ? 0 : guid[0]) << guid;
    ASSERT_TRUE(KeyExists("AppID\\" + guid));
    // Registering again changes nothing.
    RunQuietly("-RegServer");
    EXPECT_EQ(guid, Registration());

    struct Case {
        const char* args;
    };
    for (const Case& c : {Case{"/UnregServer"}, Case{"-unregserver"}}) {
        SCOPED_TRACE(c.args);
        RunQuietly("/RegServer");
        ASSERT_EQ(guid, Registration());
        RunQuietly(c.args);
        EXPECT_FALSE(KeyExists("AppID\\Quorvel.EXE"));
        EXPECT_FALSE(KeyExists("AppID\\" + guid));
        EXPECT_TRUE(KeyExists("AppID")) << "the root stays";
    }
    // Unregistering what is not registered is harmless.
    RunQuietly("/UnregServer");
    EXPECT_TRUE(KeyExists("AppID"));
}

TEST_F(QuorvelProcess, MainWindowClosesOnItsCloseButtonAndOnWmClose) {
    struct Case {
        const char* name;
        UINT msg;
        WPARAM wParam;
    };
    const Case cases[] = {
        {"WM_CLOSE", WM_CLOSE, 0},
        {"close button 1037", WM_COMMAND, MAKEWPARAM(1037, BN_CLICKED)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Program r("");
        HWND hMain = r.WaitMainWindow();
        ASSERT_NE(nullptr, hMain);
        char text[64] = {};
        ::GetWindowTextA(hMain, text, sizeof text);
        EXPECT_STREQ(kTitle, text);
        ::PostMessageA(hMain, c.msg, c.wParam, 0);
        DWORD code = 1;
        ASSERT_TRUE(r.WaitEnd(&code, nullptr));
        EXPECT_EQ(0u, code);
    }
}

TEST_F(QuorvelProcess, SecondStartRaisesTheFirstAndEnds) {
    struct Case {
        const char* name;
        int firstShow;  // how the first copy's window stands when the second starts
    };
    const Case cases[] = {{"minimised", SW_MINIMIZE}, {"hidden", SW_HIDE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Program first("");
        HWND hMain = first.WaitMainWindow();
        ASSERT_NE(nullptr, hMain);
        ::ShowWindow(hMain, c.firstShow);
        ASSERT_TRUE(uitest::PumpUntil(
            [&] {
                return c.firstShow == SW_MINIMIZE ? ::IsIconic(hMain) != FALSE
                                                  : ::IsWindowVisible(hMain) == FALSE;
            },
            kBound));

        Program second("");
        ASSERT_TRUE(second.started());
        DWORD code = 1;
        bool showed = true;
        ASSERT_TRUE(second.WaitEnd(&code, &showed)) << "the second copy did not end";
        EXPECT_FALSE(showed) << "the second copy showed a window of its own";
        EXPECT_TRUE(uitest::PumpUntil(
            [&] { return ::IsWindowVisible(hMain) && !::IsIconic(hMain); }, kBound))
            << "the first copy's window is restored";
        EXPECT_TRUE(first.Alive());

        ::PostMessageA(hMain, WM_CLOSE, 0, 0);
        ASSERT_TRUE(first.WaitEnd(&code, nullptr));
    }
}

TEST_F(QuorvelProcess, StartWhileTheFirstHasNoWindowEndsWithoutShowingAnything) {
    // The guard exists, as while the first copy is still starting, and no
    // window is titled "Trellmar".
    HANDLE guard = ::CreateEventA(nullptr, FALSE, TRUE, kAppName);
    ASSERT_NE(nullptr, guard);
    ASSERT_EQ(nullptr, ::FindWindowA(nullptr, kTitle));
    RunQuietly("");
    EXPECT_EQ(nullptr, ::FindWindowA(nullptr, kTitle));
    ::CloseHandle(guard);

    // A registry switch is not looked at either: the guard comes first.
    RunQuietly("/RegServer");
    const std::string guid = Registration();
    ASSERT_EQ('{', guid.empty() ? 0 : guid[0]) << guid;
    guard = ::CreateEventA(nullptr, FALSE, TRUE, kAppName);
    RunQuietly("/UnregServer");
    EXPECT_EQ(guid, Registration());
    ::CloseHandle(guard);
    RunQuietly("/UnregServer");
    EXPECT_EQ("", Registration());
}

TEST_F(QuorvelProcess, EmbeddedStartShowsNoWindowAndKeepsRunning) {
    for (const char* args : {"-Embedding", "/Automation"}) {
        SCOPED_TRACE(args);
        Program r(args);
        ASSERT_TRUE(r.started());
        // Idle in its message loop: the start-up is over.
        ASSERT_EQ(0u, ::WaitForInputIdle(r.process(), kBound));
        EXPECT_TRUE(r.Alive());
        EXPECT_TRUE(VisibleWindowsOf(r.pid()).empty());
        EXPECT_EQ(nullptr, MainWindowOf(r.pid()));
        // It holds the guard: a normal start now ends without a window.
        RunQuietly("");
        EXPECT_TRUE(r.Alive());
        // r is ended at the end of the scope.
    }
}
