// The registrar over the system registry under Wine: the portable suite
// against the in-memory registry, then the same script run on the real
// registry below a test key of the current user, read back with the
// registry's own calls.
#include "../app/reg_script_test.cpp"

#include <windows.h>

#include "app/reg_script_win32.h"

namespace {

const char kTestRoot[] = "Software\\QuorvelRegScriptTest";

bool Exists(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string Value(const char* path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<none>";
    char buf[512] = {};
    DWORD size = sizeof(buf) - 1, type = 0;
    const LONG r = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_SZ ? std::string(buf) : "<none>";
}

}  // namespace

TEST(RegScriptWin32, RegisterThenUnregisterOnTheSystemRegistry) {
    Win32Registry reg;
    reg.DeleteTree(RegRoot::CurrentUser, kTestRoot);
    const std::string script =
        "HKCU { NoRemove Software { NoRemove QuorvelRegScriptTest { NoRemove AppID {\n"
        "  '{5A0C7E2B-9F41-4D6A-B3C8-71E2D4F90A15}' = s 'Quorvel'\n"
        "  'Quorvel.EXE' { val AppID = s '{5A0C7E2B-9F41-4D6A-B3C8-71E2D4F90A15}' }\n"
        "  ForceRemove Old = s '%MODULE%' { Child }\n"
        "} } } }\n";
    const RegScriptVariables vars = {{"MODULE", "C:\\it's\\Quorvel.exe"}};
    ASSERT_TRUE(
        reg.CreateKey(RegRoot::CurrentUser, std::string(kTestRoot) + "\\AppID\\Old\\Stale"));
    RegScriptError error;
    ASSERT_TRUE(RegScript_Update(script.data(), script.size(), vars, true, reg, &error))
        << error.message;
    const std::string app = std::string(kTestRoot) + "\\AppID\\";
    EXPECT_EQ(Value((app + "{5A0C7E2B-9F41-4D6A-B3C8-71E2D4F90A15}").c_str(), nullptr), "Quorvel");
    EXPECT_EQ(Value((app + "Quorvel.EXE").c_str(), "AppID"),
              "{5A0C7E2B-9F41-4D6A-B3C8-71E2D4F90A15}");
    EXPECT_EQ(Value((app + "Old").c_str(), nullptr), "C:\\it's\\Quorvel.exe");
    EXPECT_TRUE(Exists((app + "Old\\Child").c_str()));
    EXPECT_FALSE(Exists((app + "Old\\Stale").c_str())) << "ForceRemove replaces the key";

    ASSERT_TRUE(RegScript_Update(script.data(), script.size(), vars, false, reg, &error))
        << error.message;
    EXPECT_TRUE(Exists((app.substr(0, app.size() - 1)).c_str())) << "the AppID root stays";
    EXPECT_FALSE(Exists((app + "Quorvel.EXE").c_str()));
    EXPECT_FALSE(Exists((app + "{5A0C7E2B-9F41-4D6A-B3C8-71E2D4F90A15}").c_str()));
    EXPECT_FALSE(Exists((app + "Old").c_str()));
    EXPECT_TRUE(reg.DeleteTree(RegRoot::CurrentUser, kTestRoot));
    EXPECT_FALSE(Exists(kTestRoot));
}
