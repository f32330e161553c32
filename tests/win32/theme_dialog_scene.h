// The skinned-dialog window tests' stage: a test dialog that records the
// hand-over to the system's move loop, a modeless dialog placed on the
// screen, and a skin folder of its own with profile files.
#pragma once

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ThemeClass/ThemeConfig.h"
#include "ThemeClass/ThemeDialog.h"
#include "theme_dialog_test.h"
#include "theme_fixture.h"

namespace dlgtest {

constexpr COLORREF kDefaultBack = 0xF0E0CF;

class TestDialog : public CThemeDialog {
public:
    explicit TestDialog(UINT nID = IDD_SKIN_PLAIN, CWnd* pParent = nullptr)
        : CThemeDialog(nID, pParent) {}

    // The hand-over to the system's move loop, recorded instead of run (the
    // loop would hold this thread until the button is released).
    bool recordNcDown = false;
    std::vector<std::pair<WPARAM, LPARAM>> ncDowns;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NCLBUTTONDOWN && recordNcDown) {
            ncDowns.emplace_back(wParam, lParam);
            return 0;
        }
        return CThemeDialog::WindowProc(message, wParam, lParam);
    }
};

// A modeless skinned dialog owned by the stage's host, placed at a fixed
// place of the screen with the client size asked for.
struct DialogScene {
    uitest::Stage stage{200, 100, 20, 20};
    std::unique_ptr<TestDialog> dlg;
    explicit DialogScene(UINT nID = IDD_SKIN_PLAIN, int w = 400, int h = 200, int x = 300,
                         int y = 200) {
        uitest::MoveCursor(5, 1000);
        dlg = std::make_unique<TestDialog>(nID, CWnd::FromHandle(stage.host()));
        EXPECT_TRUE(dlg->Create(nID, CWnd::FromHandle(stage.host())));
        dlg->MoveWindow(x, y, w, h);
        dlg->ShowWindow(SW_SHOW);
        uitest::BringToFront(dlg->m_hWnd);
        themetest::Settle();
        stage.hostLog().Clear();
    }
    ~DialogScene() {
        if (dlg && dlg->GetSafeHwnd()) dlg->DestroyWindow();
    }
    HWND hwnd() const { return dlg->m_hWnd; }
    CRect Window() const {
        CRect r;
        dlg->GetWindowRect(&r);
        return r;
    }
};

inline CRect ChildRect(CWnd* parent, HWND child) {
    CRect r;
    ::GetWindowRect(child, &r);
    parent->ScreenToClient(&r);
    return r;
}

inline std::string Show(const CRect& r) {
    char b[64];
    std::snprintf(b, sizeof b, "(%ld,%ld,%ld,%ld)", (long)r.left, (long)r.top, (long)r.right,
                  (long)r.bottom);
    return b;
}

inline std::string TempDir(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string d = std::string(dir) + name + "\\";
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
}

// A skin folder of its own with the given profile files; the global skin
// folder points at it while the object lives.
struct SkinFolder {
    std::string dir;
    explicit SkinFolder(const char* name) : dir(TempDir(name)) {
        for (const char* f : {"ConfigPos.ini", "ConfigColor.ini", "ConfigText.ini",
                              "ConfigImage.ini", "ConfigValue.ini"})
            DeleteFileA((dir + f).c_str());
        g_strSkinDir = dir.c_str();
    }
    ~SkinFolder() { g_strSkinDir.Empty(); }
    void Write(const char* file, const std::string& text) const {
        std::ofstream(dir + file, std::ios::binary) << text;
    }
    std::string Read(const char* file, const char* section, const char* key) const {
        char buf[300] = {};
        GetPrivateProfileStringA(section, key, "", buf, sizeof buf, (dir + file).c_str());
        return buf;
    }
};

}  // namespace dlgtest
