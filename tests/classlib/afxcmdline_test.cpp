// The command-line record: splitting a command line as the runtime does,
// the meaning of the switches, and the executable's base name.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/afxcmdline.h"

namespace {

std::vector<std::string> Split(const char* line, bool skipProgram) {
    std::vector<std::string> out;
    for (const CString& a : AfxSplitCommandLine(line, skipProgram ? TRUE : FALSE))
        out.emplace_back(a.GetString(), a.GetLength());
    return out;
}

}  // namespace

TEST(CommandLineSplit, FollowsTheRuntimeRules) {
    struct Case {
        const char* name;
        const char* line;
        bool skipProgram;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"empty", "", false, {}},
        {"blanks only", " \t ", false, {}},
        {"plain words", "a  b\tc", false, {"a", "b", "c"}},
        {"quotes group blanks", "\"a b\" c", false, {"a b", "c"}},
        {"quote inside a word", "x\"y z\"w", false, {"xy zw"}},
        {"empty quoted argument", "\"\" b", false, {"", "b"}},
        {"backslashes alone stay", "C:\\dir\\f.mp4", false, {"C:\\dir\\f.mp4"}},
        {"even backslashes before a quote", "a\\\\\"b c\"", false, {"a\\b c"}},
        {"odd backslashes escape the quote", "a\\\"b", false, {"a\"b"}},
        {"doubled quote inside quotes", "\"a\"\"b\"", false, {"a\"b"}},
        {"unterminated quote runs to the end", "\"a b", false, {"a b"}},
        {"program skipped", "Quorvel.exe /RegServer", true, {"/RegServer"}},
        {"quoted program with blanks",
         "\"C:\\My Apps\\Quorvel.exe\" -Embedding",
         true,
         {"-Embedding"}},
        {"program with a trailing backslash in quotes", "\"C:\\dir\\\" x", true, {"x"}},
        {"program only", "Quorvel.exe", true, {}},
        // 0xB0 0x5C: a double-byte character whose second byte is a
        // backslash; followed by a quote it stays one character.
        {"double-byte character before a quote", "\"\xB0\x5C\" z", false, {"\xB0\x5C", "z"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.args, Split(c.line, c.skipProgram)) << c.name;
    }
    EXPECT_TRUE(AfxSplitCommandLine(nullptr, TRUE).empty());
}

TEST(CommandLineInfo, SwitchesSetTheRecord) {
    struct Case {
        const char* name;
        std::vector<const char*> args;
        bool embedded, automated, splash;
        int shellCommand;
        const char* fileName;
    };
    const Case cases[] = {
        {"nothing", {}, false, false, true, CCommandLineInfo::FileNew, ""},
        {"embedding with dash",
         {"-Embedding"},
         true,
         false,
         false,
         CCommandLineInfo::FileNothing,
         ""},
        {"embedding with slash, any case",
         {"/embedding"},
         true,
         false,
         false,
         CCommandLineInfo::FileNothing,
         ""},
        {"automation", {"/Automation"}, false, true, false, CCommandLineInfo::FileNothing, ""},
        {"a file", {"clip.mp4"}, false, false, true, CCommandLineInfo::FileOpen, "clip.mp4"},
        {"print a file",
         {"/p", "clip.mp4"},
         false,
         false,
         true,
         CCommandLineInfo::FilePrint,
         "clip.mp4"},
        {"unregister", {"/Unregserver"}, false, false, true, CCommandLineInfo::AppUnregister, ""},
        {"dde", {"/dde"}, false, false, false, CCommandLineInfo::FileDDE, ""},
        {"unknown switch", {"/RegServer"}, false, false, true, CCommandLineInfo::FileNew, ""},
        {"embedding then a file",
         {"-Embedding", "a.mp4"},
         true,
         false,
         false,
         CCommandLineInfo::FileOpen,
         "a.mp4"},
        {"bare dash is no embedding",
         {"-", "Embedding"},
         false,
         false,
         true,
         CCommandLineInfo::FileOpen,
         "Embedding"},
    };
    for (const Case& c : cases) {
        std::vector<CString> args;
        for (const char* a : c.args) args.emplace_back(a);
        CCommandLineInfo info;
        AfxParseCommandLine(info, args);
        EXPECT_EQ(c.embedded, info.m_bRunEmbedded != FALSE) << c.name;
        EXPECT_EQ(c.automated, info.m_bRunAutomated != FALSE) << c.name;
        EXPECT_EQ(c.splash, info.m_bShowSplash != FALSE) << c.name;
        EXPECT_EQ(c.shellCommand, info.m_nShellCommand) << c.name;
        EXPECT_STREQ(c.fileName, info.m_strFileName.GetString()) << c.name;
    }
}

TEST(CommandLineInfo, PrintToTakesPrinterDriverAndPort) {
    CCommandLineInfo info;
    AfxParseCommandLine(info, {"/pt", "a.mp4", "Printer", "Driver", "LPT1:", "extra"});
    EXPECT_EQ(CCommandLineInfo::FilePrintTo, info.m_nShellCommand);
    EXPECT_STREQ("a.mp4", info.m_strFileName.GetString());
    EXPECT_STREQ("Printer", info.m_strPrinterName.GetString());
    EXPECT_STREQ("Driver", info.m_strDriverName.GetString());
    EXPECT_STREQ("LPT1:", info.m_strPortName.GetString());
}

TEST(ModuleBaseName, FileNameWithoutFolderAndExtension) {
    struct Case {
        const char* path;
        const char* base;
        const char* help;
    };
    const Case cases[] = {
        {"C:\\Apps\\Quorvel.exe", "Quorvel", "C:\\Apps\\Quorvel.HLP"},
        {"Z:/work/build/app/Quorvel.exe", "Quorvel", "Z:/work/build/app/Quorvel.HLP"},
        {"C:\\a.b\\Quorvel", "Quorvel", "C:\\a.b\\Quorvel.HLP"},
        {"C:\\Apps\\my.player.exe", "my.player", "C:\\Apps\\my.player.HLP"},
        {"Quorvel.exe", "Quorvel", "Quorvel.HLP"},
        {"C:Quorvel.exe", "Quorvel", "C:Quorvel.HLP"},
        // 0xB0 0x5C: the second byte of a double-byte character is no
        // folder separator.
        {"C:\\\xB0\x5C.exe", "\xB0\x5C", "C:\\\xB0\x5C.HLP"},
        {"", "", ".HLP"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.base, AfxModuleBaseName(c.path).GetString()) << c.path;
        EXPECT_STREQ(c.help, AfxPathWithExtension(c.path, ".HLP").GetString()) << c.path;
    }
}
