// The start-up switch scan: which command lines register or unregister the
// program, and FindOneOf under it.
#include <string>

#include <gtest/gtest.h>

#include "app/quorvel_switches.h"

TEST(FindOneOf, PositionJustAfterTheFirstMatch) {
    struct Case {
        const char* name;
        const char* p1;
        const char* p2;
        int offset;  // -1: none
    };
    const Case cases[] = {
        {"dash", "ab-cd", "-/", 3},
        {"slash before dash", "a/b-c", "-/", 2},
        {"at the start", "-x", "-/", 1},
        {"at the end", "abc/", "-/", 4},
        {"none", "abc", "-/", -1},
        {"empty text", "", "-/", -1},
        {"empty set", "a-b", "", -1},
        // A double-byte character in the set is stepped over whole: its
        // second byte (0x41, 'A') is not a character of the set.
        {"set with a double-byte character", "xAy", "\x81\x41", -1},
        {"set with a double-byte character and a slash", "xA/y", "\x81\x41/", 3},
    };
    for (const Case& c : cases) {
        const char* r = FindOneOf(c.p1, c.p2);
        if (c.offset < 0)
            EXPECT_EQ(nullptr, r) << c.name;
        else
            EXPECT_EQ(c.p1 + c.offset, r) << c.name;
    }
    EXPECT_EQ(nullptr, FindOneOf(nullptr, "-/"));
    EXPECT_EQ(nullptr, FindOneOf("a-b", nullptr));
}

TEST(RegistrySwitchScan, OnlyAKeywordThatEndsTheLineCounts) {
    struct Case {
        const char* name;
        const char* line;
        RegistrySwitch expected;
    };
    const Case cases[] = {
        {"slash RegServer", "Quorvel.exe /RegServer", RegistrySwitch::Register},
        {"dash regserver in small letters", "Quorvel.exe -regserver", RegistrySwitch::Register},
        {"slash UnregServer", "Quorvel.exe /UnregServer", RegistrySwitch::Unregister},
        {"capitals", "Quorvel.exe -UNREGSERVER", RegistrySwitch::Unregister},
        {"anything after the keyword", "Quorvel.exe /RegServer x", RegistrySwitch::None},
        {"blank after the keyword", "Quorvel.exe /RegServer ", RegistrySwitch::None},
        {"keyword without a switch character", "Quorvel.exe RegServer", RegistrySwitch::None},
        {"longer keyword", "Quorvel.exe /RegServers", RegistrySwitch::None},
        {"embedding", "Quorvel.exe -Embedding", RegistrySwitch::None},
        {"nothing", "Quorvel.exe", RegistrySwitch::None},
        {"dashes in the path first", "\"Z:\\wt-app1\\my-build\\Quorvel.exe\" -RegServer",
         RegistrySwitch::Register},
        {"two switches, the last one counts", "Quorvel.exe /x /UnregServer",
         RegistrySwitch::Unregister},
        {"double switch character", "Quorvel.exe --RegServer", RegistrySwitch::Register},
        {"empty", "", RegistrySwitch::None},
        {"null", nullptr, RegistrySwitch::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, ScanRegistrySwitch(c.line)) << c.name;
    }
}
