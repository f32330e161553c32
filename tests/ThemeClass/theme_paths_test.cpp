#include <gtest/gtest.h>

#include <string>

#include "ThemeClass/ThemePaths.h"

TEST(ThemeFolder, PathRules) {
    const std::string app = "C:\\A\\B\\";
    struct Case {
        const char* name;
        std::string path;
        std::string want;
    };
    const Case cases[] = {
        {"drive path stays whole", "C:\\Skins\\Blue", "C:\\Skins\\Blue\\"},
        {"drive path with its backslash", "D:\\Skin\\", "D:\\Skin\\"},
        {"relative path", "Skin", "C:\\A\\B\\Skin\\"},
        {"dot backslash loses its dot", ".\\Skin", "C:\\A\\B\\\\Skin\\"},
        {"dot slash loses its dot", "./Skin", "C:\\A\\B\\/Skin\\"},
        // The parent folder must stay the parent folder.
        {"dot dot backslash stays", "..\\Skin", "C:\\A\\B\\..\\Skin\\"},
        {"dot dot slash stays", "../Skin", "C:\\A\\B\\../Skin\\"},
        {"a name starting with a dot stays", ".hidden", "C:\\A\\B\\.hidden\\"},
        {"empty path is the program folder", "", "C:\\A\\B\\\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::ThemeFolderFor(c.path, app)) << c.name;
}

TEST(AppFolder, FolderOfTheModule) {
    struct Case {
        const char* name;
        std::string module;
        std::string want;
    };
    const Case cases[] = {
        {"program in a folder", "C:\\A\\B\\prog.exe", "C:\\A\\B\\"},
        {"program at the root", "C:\\prog.exe", "C:\\"},
        {"Korean folder", "C:\\\xB0\xA1\\prog.exe", "C:\\\xB0\xA1\\"},
        {"no folder at all", "prog.exe", ".\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::FolderOfModule(c.module)) << c.name;
}

TEST(Profiles, PathAndPattern) {
    EXPECT_EQ("C:\\A\\info.ini", skin::ProfilePathFor("info.ini", "C:\\A\\"));
    EXPECT_EQ("D:\\x.ini", skin::ProfilePathFor("D:\\x.ini", "C:\\A\\"));
    struct Case {
        std::string folder;
        std::string want;
    };
    const Case cases[] = {{"C:\\Skin", "C:\\Skin\\*.*"},
                          {"C:\\Skin\\", "C:\\Skin\\*.*"},
                          {"C:/Skin/", "C:/Skin/*.*"}};
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::FolderPattern(c.folder)) << c.folder;
}

TEST(ThemeName, LastComponent) {
    struct Case {
        std::string dir;
        std::string want;
    };
    const Case cases[] = {{"", ""},
                          {"C:\\Skins\\Blue\\", "Blue"},
                          {"C:\\Skins\\Blue", "Blue"},
                          {"C:/Skins/Red/", "Red"},
                          {"Blue\\", "Blue"},
                          {"\\Blue\\", "\\Blue"}};
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::ThemeNameOf(c.dir)) << c.dir;
}

TEST(FindLast, WholeAndPrefix) {
    struct Case {
        const char* name;
        std::string text;
        int count;  // -1: the whole text
        int want;
    };
    const Case cases[] = {
        {"last of several", "a\\b\\c", -1, 3},
        {"none", "abc", -1, -1},
        {"at 0", "\\abc", -1, 0},
        {"prefix stops before the last", "a\\b\\c", 3, 1},
        {"prefix longer than the text", "a\\b", 99, 1},
        {"empty prefix", "\\a", 0, -1},
    };
    for (const Case& c : cases) {
        const int got = c.count < 0 ? skin::FindLast(c.text, '\\')
                                    : skin::FindLastInPrefix(c.text, '\\', c.count);
        EXPECT_EQ(c.want, got) << c.name;
    }
}
