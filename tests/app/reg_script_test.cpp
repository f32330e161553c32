// The registry-script registrar against an in-memory registry: registering,
// unregistering, replacement of ForceRemove keys, variables, and refusal of
// malformed scripts without any change.
#include <string>

#include <gtest/gtest.h>

#include "app/reg_script.h"
#include "memory_registry.h"

namespace {

const char kAppScript[] =
    "HKCR\r\n"
    "{\r\n"
    "\tNoRemove AppID\r\n"
    "\t{\r\n"
    "\t\t'{5A0C7E2B-9F41-4D6A-B3C8-71E2D4F90A15}' = s 'Quorvel'\r\n"
    "\t\t'Quorvel.EXE'\r\n"
    "\t\t{\r\n"
    "\t\t\tval AppID = s '{5A0C7E2B-9F41-4D6A-B3C8-71E2D4F90A15}'\r\n"
    "\t\t}\r\n"
    "\t}\r\n"
    "}\r\n";

bool Update(MemoryRegistry& reg, const std::string& script, bool registering, RegScriptError* error,
            const RegScriptVariables& vars = {}) {
    return RegScript_Update(script.data(), script.size(), vars, registering, reg, error);
}

}  // namespace

TEST(RegScript, RegisterThenUnregister) {
    struct Case {
        const char* name;
        std::string script;
        std::string before;  // keys created first: "path" or "path|value=text", ';'-separated
        std::string registered;
        std::string unregistered;
    };
    const std::string guid = "{5a0c7e2b-9f41-4d6a-b3c8-71e2d4f90a15}";
    const Case cases[] = {
        {"the program's script keeps the AppID root and its other entries", kAppScript,
         "AppID\\{other}|=Other",
         "0:appid\n0:appid\\quorvel.exe\n"
         "0:appid\\quorvel.exe|appid={5A0C7E2B-9F41-4D6A-B3C8-71E2D4F90A15}\n0:appid\\" +
             guid + "\n0:appid\\" + guid + "|=Quorvel\n0:appid\\{other}\n0:appid\\{other}|=Other\n",
         "0:appid\n0:appid\\{other}\n0:appid\\{other}|=Other\n"},
        {"ForceRemove replaces what was there",
         "HKCU { NoRemove Software { ForceRemove Quorvel = s 'new' { val A = s 'a' } } }",
         "Software\\Quorvel|=old;Software\\Quorvel|stale=1;Software\\Quorvel\\Sub",
         "1:software\n1:software\\quorvel\n1:software\\quorvel|=new\n1:software\\quorvel|a=a\n",
         "1:software\n"},
        {"a plain key keeps what was there",
         "HKCU { NoRemove Software { Quorvel { val A = s 'a' } } }", "Software\\Quorvel|stale=1",
         "1:software\n1:software\\quorvel\n1:software\\quorvel|a=a\n"
         "1:software\\quorvel|stale=1\n",
         "1:software\n"},
        {"named values under a NoRemove key go, the key stays",
         "HKLM { NoRemove Software { val Mark = s 'x' val Other = s 'y' } }", "Software|keep=1",
         "2:software\n2:software|keep=1\n2:software|mark=x\n2:software|other=y\n",
         "2:software\n2:software|keep=1\n"},
        {"nested keys; a NoRemove key loses only its children",
         "HKEY_CLASSES_ROOT { Missing { Deeper } NoRemove Gone { Child } }", "",
         "0:gone\n0:gone\\child\n0:missing\n0:missing\\deeper\n", "0:gone\n"},
        {"quotes, long root names and words as names",
         "HKEY_CURRENT_USER { 'It''s' = s 'a ''quoted'' text' plain.name }", "",
         "1:it's\n1:it's|=a 'quoted' text\n1:plain.name\n", ""},
    };
    for (const Case& c : cases) {
        MemoryRegistry reg;
        RegRoot beforeRoot = c.script.find("HKCU") != std::string::npos   ? RegRoot::CurrentUser
                             : c.script.find("HKLM") != std::string::npos ? RegRoot::LocalMachine
                                                                          : RegRoot::ClassesRoot;
        size_t at = 0;
        while (at < c.before.size()) {
            size_t end = c.before.find(';', at);
            if (end == std::string::npos) end = c.before.size();
            const std::string item = c.before.substr(at, end - at);
            const size_t bar = item.find('|');
            const std::string path = item.substr(0, bar);
            reg.CreateKey(beforeRoot, path);
            if (bar != std::string::npos) {
                const size_t eq = item.find('=', bar);
                reg.SetString(beforeRoot, path, item.substr(bar + 1, eq - bar - 1),
                              item.substr(eq + 1));
            }
            at = end + 1;
        }
        RegScriptError error;
        ASSERT_TRUE(Update(reg, c.script, true, &error)) << c.name << ": " << error.message;
        EXPECT_EQ(reg.Dump(), c.registered) << c.name;
        // Registering twice changes nothing more.
        ASSERT_TRUE(Update(reg, c.script, true, &error)) << c.name;
        EXPECT_EQ(reg.Dump(), c.registered) << c.name << ", registered twice";
        ASSERT_TRUE(Update(reg, c.script, false, &error)) << c.name << ": " << error.message;
        EXPECT_EQ(reg.Dump(), c.unregistered) << c.name;
    }
}

TEST(RegScript, Variables) {
    struct Case {
        const char* name;
        std::string script;
        RegScriptVariables vars;
        bool ok;
        std::string registered;
    };
    const Case cases[] = {
        {"%MODULE% in a value, with a quote in the path",
         "HKCU { K = s '\"%MODULE%\" /Automation' }",
         {{"MODULE", "C:\\it's\\Quorvel.exe"}},
         true,
         "1:k\n1:k|=\"C:\\it's\\Quorvel.exe\" /Automation\n"},
        {"variable names without case",
         "HKCU { '%module%' }",
         {{"MODULE", "M.exe"}},
         true,
         "1:m.exe\n"},
        {"%% is one percent sign", "HKCU { K = s '100%%' }", {}, true, "1:k\n1:k|=100%\n"},
        {"an unknown variable is refused",
         "HKCU { K = s '%APPID%' }",
         {{"MODULE", "x"}},
         false,
         ""},
        {"a lone percent sign is refused", "HKCU { K = s '50% off' }", {}, false, ""},
        {"a backslash from a variable in a key name is refused",
         "HKCU { '%MODULE%' }",
         {{"MODULE", "C:\\a.exe"}},
         false,
         ""},
    };
    for (const Case& c : cases) {
        MemoryRegistry reg;
        RegScriptError error;
        EXPECT_EQ(Update(reg, c.script, true, &error, c.vars), c.ok) << c.name;
        EXPECT_EQ(reg.Dump(), c.registered) << c.name;
    }
}

TEST(RegScript, MalformedScriptsChangeNothing) {
    struct Case {
        const char* name;
        std::string script;
        RegScriptStatus status;
        int line;
    };
    const std::string good = "HKCU { NoRemove Software { Good = s 'x' } }\n";
    const Case cases[] = {
        {"unknown root", good + "HKCX { A }", RegScriptStatus::UnknownRoot, 2},
        {"missing closing brace", good + "HKCU {\n A {\n", RegScriptStatus::Unterminated, 3},
        {"unterminated quote", good + "HKCU { 'A }", RegScriptStatus::Unterminated, 2},
        {"quote across lines", good + "HKCU { A = s 'x\ny' }", RegScriptStatus::Unterminated, 2},
        {"DWORD values are not taken", good + "HKCU { A { val N = d '5' } }",
         RegScriptStatus::UnsupportedType, 2},
        {"value without type", good + "HKCU { A = 'x' }", RegScriptStatus::Syntax, 2},
        {"value text not quoted", good + "HKCU { A = s x }", RegScriptStatus::Syntax, 2},
        {"stray closing brace", good + "}", RegScriptStatus::Syntax, 2},
        {"root without braces", good + "HKCU A", RegScriptStatus::Syntax, 2},
        {"two modifiers", good + "HKCU { NoRemove ForceRemove A }", RegScriptStatus::Syntax, 2},
        {"Delete is not taken", good + "HKCU { Delete A }", RegScriptStatus::Syntax, 2},
        {"val at the root", good + "HKCU { val A = s 'x' }", RegScriptStatus::Syntax, 2},
        {"empty key name", good + "HKCU { '' }", RegScriptStatus::BadName, 2},
        {"key name with a backslash", good + "HKCU { 'A\\B' }", RegScriptStatus::BadName, 2},
        {"key name over 255 bytes", good + "HKCU { '" + std::string(256, 'k') + "' }",
         RegScriptStatus::BadName, 2},
        {"keys nested too deep", good + "HKCU " + std::string(40, '{') + std::string(40, '}'),
         RegScriptStatus::Syntax, 2},
    };
    for (const Case& c : cases) {
        for (bool registering : {true, false}) {
            MemoryRegistry reg;
            reg.CreateKey(RegRoot::CurrentUser, "Software\\Good");
            const std::string before = reg.Dump();
            RegScriptError error;
            EXPECT_FALSE(Update(reg, c.script, registering, &error)) << c.name;
            EXPECT_EQ(error.status, c.status) << c.name << ": " << error.message;
            EXPECT_EQ(error.line, c.line) << c.name;
            EXPECT_FALSE(error.message.empty()) << c.name;
            EXPECT_EQ(reg.Dump(), before) << c.name;
        }
    }
}

TEST(RegScript, DeepNestingIsRefused) {
    std::string script = "HKCU {";
    for (int i = 0; i < 40; ++i) script += " K {";
    for (int i = 0; i < 41; ++i) script += " }";
    MemoryRegistry reg;
    RegScriptError error;
    EXPECT_FALSE(Update(reg, script, true, &error));
    EXPECT_EQ(error.status, RegScriptStatus::TooDeep);
    EXPECT_TRUE(reg.keys.empty());
}

TEST(RegScript, RegistryRefusalIsReported) {
    MemoryRegistry reg;
    reg.refuseBelow = MemoryRegistry::KeyOf(RegRoot::ClassesRoot, "AppID\\Quorvel.EXE");
    RegScriptError error;
    EXPECT_FALSE(Update(reg, kAppScript, true, &error));
    EXPECT_EQ(error.status, RegScriptStatus::RegistryFailed);
    EXPECT_NE(error.message.find("Quorvel.EXE"), std::string::npos) << error.message;
}
