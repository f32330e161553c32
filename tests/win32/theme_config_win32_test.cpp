// The skin folder, program folder, profile and folder-scan helpers against
// the real file system, and the rectangle helpers against real windows.
#include <gtest/gtest.h>

#include <string>

#include "ThemeClass/ThemeConfig.h"
#include "ThemeClass/ThemeDraw.h"
#include "theme_fixture.h"

namespace {

std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.rfind('\\') + 1);
}

std::string TempFolder(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string folder = std::string(dir) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

}  // namespace

TEST(ThemeConfig, AppFolderIsTheProgramsFolder) {
    const CString folder = GetAppFolder();
    EXPECT_EQ(ModuleFolder(), std::string(folder));
    EXPECT_EQ('\\', folder[folder.GetLength() - 1]);
}

TEST(ThemeConfig, SetThemeFolder) {
    const std::string app = ModuleFolder();
    struct Case {
        const char* name;
        const char* path;
        std::string want;
    };
    const Case cases[] = {
        {"drive path stays whole", "C:\\Skins\\Blue", "C:\\Skins\\Blue\\"},
        {"relative path", "Skin", app + "Skin\\"},
        {"dot backslash", ".\\Skin", app + "\\Skin\\"},
        {"dot dot backslash keeps the parent", "..\\Skin", app + "..\\Skin\\"},
    };
    for (const Case& c : cases) {
        SetThemeFolder(c.path);
        EXPECT_EQ(c.want, std::string(g_strSkinDir)) << c.name;
    }
    SetThemeFolder("C:\\Skins\\Blue");
    EXPECT_STREQ("Blue", GetThemeName());
    g_strSkinDir = "";
    EXPECT_STREQ("", GetThemeName());
}

TEST(ThemeConfig, ScanFolderExactNames) {
    const std::string folder = TempFolder("theme_scan_test");
    const std::string file = folder + "\\Skin.ini";
    FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fclose(f);
    struct Case {
        const char* name;
        const char* entry;
        std::string folder;
        BOOL want;
    };
    const Case cases[] = {
        {"exact name", "Skin.ini", folder, TRUE},
        {"exact name, folder with backslash", "Skin.ini", folder + "\\", TRUE},
        {"exact name, folder with slash", "Skin.ini", folder + "/", TRUE},
        {"other case", "skin.ini", folder, FALSE},
        {"no such entry", "Other.ini", folder, FALSE},
        {"missing folder", "Skin.ini", folder + "\\nope", FALSE},
        {"empty folder name", "Skin.ini", "", FALSE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.want, ScanFolder(c.entry, c.folder.c_str())) << c.name;
    }
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(ThemeConfig, ProfileRoundTrip) {
    const char* name = "theme_config_test.ini";
    const std::string path = ModuleFolder() + name;
    DeleteFileA(path.c_str());
    CString value;
    EXPECT_EQ(0, ReadIniString(name, "Theme", "Path", value)) << "missing file";
    EXPECT_STREQ("", value);

    WriteIniString(name, "Theme", "Path", "Skins\\\xB0\xA1");
    EXPECT_EQ(8, ReadIniString(name, "Theme", "Path", value));
    EXPECT_STREQ("Skins\\\xB0\xA1", value);
    EXPECT_EQ(0, ReadIniString(name, "Theme", "Missing", value));
    EXPECT_STREQ("", value);

    // A name with a drive colon is used as it stands.
    const std::string elsewhere = TempFolder("theme_ini_test") + "\\x.ini";
    WriteIniString(elsewhere.c_str(), "A", "B", "C");
    char buf[16] = {};
    GetPrivateProfileStringA("A", "B", "", buf, sizeof buf, elsewhere.c_str());
    EXPECT_STREQ("C", buf);
    DeleteFileA(elsewhere.c_str());
    DeleteFileA(path.c_str());
}

TEST(ThemeConfig, LoadThemePathFromInfoIni) {
    const std::string info = ModuleFolder() + "info.ini";
    g_strSkinDir = "unchanged";
    DeleteFileA(info.c_str());
    LoadThemePath();
    EXPECT_STREQ("unchanged", g_strSkinDir) << "no info.ini";
    WriteIniString("info.ini", "Theme", "Path", "D:\\Look");
    LoadThemePath();
    EXPECT_STREQ("D:\\Look\\", g_strSkinDir);
    DeleteFileA(info.c_str());
    g_strSkinDir = "";
}

TEST(ThemeConfig, RectanglesAgainstAWindow) {
    uitest::Stage stage(897, 720, 0, 0);
    CWnd* parent = CWnd::FromHandle(stage.parent());
    EXPECT_EQ(CRect(797, 10, 897, 710), CalcWindowConfigRect(-100, 10, 10000000, -10, parent));
    EXPECT_EQ(CRect(468, 0, 428, 720),
              CalcWindowConfigRect(5000020, 0, -5000020, 10000000, parent));
    EXPECT_EQ(CRect(797, 10, 897, 710),
              CalcConfigRect(CRect(-100, 10, 10000000, -10), CRect(50, 50, 947, 770)));
    EXPECT_EQ(897, ResolveConfigCoord(10000000, 897));
    EXPECT_EQ(1001, ResolveConfigCoord(10000000, 1001));
    EXPECT_EQ(CRect(5, 3, 892, 720), CalcTextRect(5, 3, -5, 0, parent));
    EXPECT_EQ(CRect(5, 3, 60, 18), CalcTextRect(CRect(5, 3, 60, 18), parent));
    EXPECT_EQ(3, FindLast("a\\b\\c", '\\'));
    EXPECT_EQ(1, FindLastInPrefix("a\\b\\c", '\\', 3));
}

TEST(ThemeConfig, LoadPictureFileKeepsTheBitmapOnFailure) {
    const std::string good =
        themetest::WriteBmp("theme_config_pic.bmp", 5, 4, [](int, int) { return RGB(9, 8, 7); });
    CBitmap bitmap;
    ASSERT_TRUE(LoadPictureFile(good.c_str(), &bitmap));
    const HGDIOBJ held = bitmap.GetSafeHandle();
    BITMAP bm = {};
    bitmap.GetBitmap(&bm);
    EXPECT_EQ(5, bm.bmWidth);
    struct Case {
        const char* name;
        std::string path;
    };
    const std::string empty = TempFolder("theme_config_dir") + "\\empty.bmp";
    FILE* f = std::fopen(empty.c_str(), "wb");
    if (f) std::fclose(f);
    const std::string garbage = TempFolder("theme_config_dir") + "\\garbage.bmp";
    f = std::fopen(garbage.c_str(), "wb");
    if (f) {
        std::fputs("this is no picture at all", f);
        std::fclose(f);
    }
    const Case cases[] = {
        {"missing", "C:\\no\\such\\file.bmp"},
        {"empty", empty},
        {"garbage", garbage},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(LoadPictureFile(c.path.c_str(), &bitmap)) << c.name;
        EXPECT_EQ(held, bitmap.GetSafeHandle()) << c.name << ": bitmap changed";
    }
    EXPECT_FALSE(LoadPictureFile(good.c_str(), nullptr));
    // A second good load replaces the held bitmap.
    ASSERT_TRUE(LoadPictureFile(good.c_str(), &bitmap));
    EXPECT_EQ(OBJ_BITMAP, static_cast<int>(GetObjectType(bitmap.GetSafeHandle())));
    DeleteFileA(good.c_str());
    DeleteFileA(empty.c_str());
    DeleteFileA(garbage.c_str());
    RemoveDirectoryA(TempFolder("theme_config_dir").c_str());
}

TEST(ThemeConfig, LoadPictureFileLeavesNoPictureBehind) {
    const std::string good =
        themetest::WriteBmp("theme_config_leak.bmp", 16, 16, [](int, int) { return RGB(1, 2, 3); });
    // Count the objects the system's picture loader makes too.
    ASSERT_TRUE(uitest::InstallGdiCounter(true));
    {
        CBitmap warm;
        LoadPictureFile(good.c_str(), &warm);
    }
    const long before = uitest::LiveGdiObjects(uitest::GdiKind::Bitmap);
    for (int i = 0; i < 5; ++i) {
        CBitmap b;
        ASSERT_TRUE(LoadPictureFile(good.c_str(), &b));
    }
    EXPECT_EQ(before, uitest::LiveGdiObjects(uitest::GdiKind::Bitmap));
    DeleteFileA(good.c_str());
}
