// A skinned dialog on one of the program's own templates (linked in from
// its resources), shown at a fixed place of the screen, for the style
// presets' window tests.
#pragma once

#include <memory>
#include <string>

#include "ThemeClass/ThemeDialog.h"
#include "theme_fixture.h"

namespace apptest {

// A COLORREF from a recipe colour RRGGBB.
inline COLORREF FromRgb(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// A strip's body colour scaled as mkres scales it for the hover (5/4) and
// pressed (3/5) frames.
inline COLORREF Shade(uint32_t rgb, int num, int den) {
    auto ch = [&](int s) {
        int v = static_cast<int>((rgb >> s) & 0xFF) * num / den;
        return v > 255 ? 255 : v;
    };
    return RGB(ch(16), ch(8), ch(0));
}

inline std::string LoadText(UINT id) {
    char buf[512] = {};
    const int n = LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

struct ProgramDialog {
    uitest::Stage stage{200, 100, 20, 20};
    std::unique_ptr<CThemeDialog> dlg;
    ProgramDialog(UINT id, int w, int h) {
        uitest::MoveCursor(5, 1010);
        dlg = std::make_unique<CThemeDialog>(id, CWnd::FromHandle(stage.host()));
        EXPECT_TRUE(dlg->Create(id, CWnd::FromHandle(stage.host())));
        dlg->MoveWindow(10, 10, w, h);
        dlg->ShowWindow(SW_SHOW);
        uitest::BringToFront(dlg->m_hWnd);
        themetest::Settle();
    }
    ~ProgramDialog() {
        if (dlg && dlg->GetSafeHwnd()) dlg->DestroyWindow();
    }
    template <class T>
    T* Replace(UINT id) {
        T* p = dynamic_cast<T*>(dlg->ReplaceControl(id));
        EXPECT_NE(p, nullptr) << "control " << id;
        return p;
    }
};

// The client picture of a control as it stands on the screen.
inline uitest::Picture ShotOf(CWnd* w) { return themetest::Shot(w->m_hWnd); }

inline int Near(const uitest::Picture& p, COLORREF c, int tol = 12) {
    return themetest::Count(p, RECT{0, 0, p.width, p.height}, themetest::NearColor(c, tol));
}

inline std::string At(const uitest::Picture& p, int x, int y) { return themetest::Hex(p.At(x, y)); }

}  // namespace apptest
