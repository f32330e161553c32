// The detail dialog in a real window, built from the program's template:
// the look of its title and of each label (colours and sizes read back from
// the screen), the values the main dialog writes through the label
// pointers, the close button that hides it with its values kept, and a body
// that ignores the mouse.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ThemeClass/ThemeStatic.h"
#include "app/DlgDetail.h"
#include "app/res/resource.h"
#include "theme_fixture.h"

namespace {

using themetest::Hex;

const int kDlgX = 60, kDlgY = 60;

struct DetailScene {
    uitest::Stage stage{200, 100, 20, 20};
    CDlgDetail dlg{nullptr};
    DetailScene() {
        uitest::MoveCursor(5, 1010);
        EXPECT_TRUE(dlg.Create(CDlgDetail::IDD, CWnd::FromHandle(stage.host())));
        EXPECT_FALSE(dlg.IsWindowVisible()) << "created hidden, as the main dialog does";
        dlg.SetWindowPos(nullptr, kDlgX, kDlgY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Show();
    }
    ~DetailScene() {
        if (dlg.GetSafeHwnd()) dlg.DestroyWindow();
    }
    void Show() {
        dlg.ShowWindow(SW_SHOW);
        uitest::BringToFront(dlg.m_hWnd);
        themetest::Settle();
    }
    CThemeStatic* Label(UINT id) {
        return dynamic_cast<CThemeStatic*>(CWnd::FromHandlePermanent(dlg.GetDlgItem(id)->m_hWnd));
    }
};

int CountNear(const uitest::Picture& p, COLORREF c, int tol) {
    return themetest::Count(p, RECT{0, 0, p.width, p.height}, themetest::NearColor(c, tol));
}

// Rows of the picture holding a pixel lighter than the black back: the
// height of the ink.
int InkHeight(const uitest::Picture& p) {
    int top = -1, bottom = -1;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const COLORREF c = p.At(x, y);
            if (GetRValue(c) > 90 || GetGValue(c) > 90 || GetBValue(c) > 90) {
                if (top < 0) top = y;
                bottom = y;
                break;
            }
        }
    return top < 0 ? 0 : bottom - top + 1;
}

struct LabelLook {
    const char* name;
    UINT id;
    COLORREF text;
    COLORREF shadow;  // black: the back's colour, not seen
    int size;
};

const LabelLook kLooks[] = {
    {"caption left-right", IDC_CAP_X, 0xC8C8C8, 0x000000, 14},
    {"caption front-back", IDC_CAP_Y, 0xC8C8C8, 0x000000, 14},
    {"caption up-down", IDC_CAP_Z, 0xC8C8C8, 0x000000, 14},
    {"heading of the G values", IDC_HEAD_ACCEL, 0xC8C8C8, 0x000000, 16},
    {"value X", IDC_VALUE_X, 0xC8C8C8, 0xC80000, 12},
    {"value Y", IDC_VALUE_Y, 0xC8C8C8, 0x00C800, 12},
    {"value Z", IDC_VALUE_Z, 0xC8C8C8, 0x0000C8, 12},
    {"caption latitude", IDC_CAP_LAT, 0xC8C8C8, 0x000000, 14},
    {"caption longitude", IDC_CAP_LNG, 0xC8C8C8, 0x000000, 14},
    {"heading of the position", IDC_HEAD_POS, 0xC8C8C8, 0x000000, 16},
    {"latitude value", IDC_VALUE_LAT, 0xC8C8C8, 0x640064, 12},
    {"longitude value", IDC_VALUE_LNG, 0xC8C8C8, 0x646400, 12},
    {"speed value", IDC_VALUE_SPEED, 0xFFFFFF, 0x000000, 15},
    {"caption speed", IDC_CAP_SPEED, 0xC8C8C8, 0x006464, 15},
    {"unit km/h", IDC_UNIT_KMH, 0xC8C8C8, 0x006464, 15},
};

TEST(DetailDialog, LabelColoursAndSizesOnScreen) {
    DetailScene s;
    int ink[sizeof kLooks / sizeof kLooks[0]] = {};
    for (size_t i = 0; i < sizeof kLooks / sizeof kLooks[0]; ++i) {
        const LabelLook& c = kLooks[i];
        CThemeStatic* label = s.Label(c.id);
        ASSERT_NE(label, nullptr) << c.name << ": replaced by a skinned label";
        label->SetText("88");  // one text for all, so the sizes compare
        const uitest::Picture p = themetest::Shot(label->m_hWnd);
        ASSERT_FALSE(p.empty()) << c.name;
        EXPECT_TRUE(uitest::ColorNear(p.At(0, 0), 0x000000, 8)) << c.name << " back " << Hex(p.At(0, 0));
        EXPECT_GT(CountNear(p, c.text, 12), 0) << c.name << ": text colour " << Hex(c.text);
        if (c.shadow != 0x000000) {
            EXPECT_GT(CountNear(p, c.shadow, 30), 0) << c.name << ": shadow " << Hex(c.shadow);
        }
        if (c.text != 0xFFFFFF) {
            EXPECT_EQ(CountNear(p, 0xFFFFFF, 10), 0) << c.name << ": the preset's white is replaced";
        }
        ink[i] = InkHeight(p);
        EXPECT_GT(ink[i], 0) << c.name;
    }
    // Larger sizes draw taller digits; equal sizes equal ones.
    auto inkOf = [&](UINT id) {
        for (size_t i = 0; i < sizeof kLooks / sizeof kLooks[0]; ++i)
            if (kLooks[i].id == id) return ink[i];
        return 0;
    };
    EXPECT_GT(inkOf(IDC_HEAD_ACCEL), inkOf(IDC_VALUE_X)) << "16 over 12";
    EXPECT_GT(inkOf(IDC_CAP_X), inkOf(IDC_VALUE_X)) << "14 over 12";
    EXPECT_GT(inkOf(IDC_CAP_SPEED), inkOf(IDC_VALUE_LAT)) << "15 over 12";
    EXPECT_LE(std::abs(inkOf(IDC_VALUE_SPEED) - inkOf(IDC_CAP_SPEED)), 1) << "15 and 15";
    EXPECT_EQ(inkOf(IDC_VALUE_X), inkOf(IDC_VALUE_LNG)) << "12 and 12";

    // The title: the caption colour in the caption strip over the grey back
    // (the test program has no Image folder, so the colour shows).
    const uitest::Picture d = themetest::Shot(s.dlg.m_hWnd);
    EXPECT_GT(themetest::Count(d, RECT{1, 1, d.width - 1, 40}, themetest::NearColor(0x1414C8, 30)),
              0)
        << "title text";
    EXPECT_TRUE(uitest::ColorNear(d.At(3, d.height - 3), 0x646464, 6)) << Hex(d.At(3, d.height - 3));
}

// What the main dialog writes shows, and survives hiding by "X".
TEST(DetailDialog, ValuesWrittenShowAndCloseHidesKeepingThem) {
    DetailScene s;
    const struct {
        const char* name;
        CThemeStatic* CDlgDetail::*member;
        const char* text;
    } cases[] = {
        {"X", &CDlgDetail::m_pValueX, "+0.512"},
        {"Y", &CDlgDetail::m_pValueY, "-1.250"},
        {"Z", &CDlgDetail::m_pValueZ, "+0.981"},
        {"latitude", &CDlgDetail::m_pValueLat, "+37.566535 N"},
        {"longitude", &CDlgDetail::m_pValueLng, "+126.978000 E"},
        {"speed", &CDlgDetail::m_pValueSpeed, " 87"},
    };
    for (const auto& c : cases) {
        CThemeStatic* label = s.dlg.*c.member;
        ASSERT_NE(label, nullptr) << c.name;
        label->SetText("");
        const int blank = InkHeight(themetest::Shot(label->m_hWnd));
        label->SetText(c.text);
        EXPECT_EQ(blank, 0) << c.name;
        EXPECT_GT(InkHeight(themetest::Shot(label->m_hWnd)), 0) << c.name << ": the value shows";
    }

    HWND close = s.dlg.GetDlgItem(IDC_CLOSE)->m_hWnd;
    RECT rc;
    GetClientRect(close, &rc);
    uitest::ClickClient(close, rc.right / 2, rc.bottom / 2);
    ASSERT_TRUE(uitest::PumpUntil([&] { return !s.dlg.IsWindowVisible(); }, 2000)) << "X hides";
    EXPECT_TRUE(IsWindow(s.dlg.m_hWnd)) << "and keeps the window";

    s.Show();
    for (const auto& c : cases) {
        CThemeStatic* label = s.dlg.*c.member;
        EXPECT_STREQ(label->GetText().GetString(), c.text) << c.name;
        EXPECT_GT(InkHeight(themetest::Shot(label->m_hWnd)), 0) << c.name << ": shown again";
    }
}

TEST(DetailDialog, BodyIgnoresTheMouse) {
    DetailScene s;
    RECT wr;
    GetWindowRect(s.dlg.m_hWnd, &wr);
    RECT cr;
    GetClientRect(s.dlg.m_hWnd, &cr);
    const struct {
        const char* name;
        int x, y;  // client point
    } cases[] = {
        {"caption strip", cr.right / 3, 10},
        {"body between labels", cr.right / 2, cr.bottom - 4},
        {"left edge", 1, cr.bottom / 2},
        {"over a label", 12, 55},
    };
    for (const auto& c : cases) {
        const POINT pt = uitest::ClientToScreenPoint(s.dlg.m_hWnd, c.x, c.y);
        EXPECT_EQ(s.dlg.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)), HTNOWHERE) << c.name;
        uitest::DragClient(s.dlg.m_hWnd, POINT{c.x, c.y}, POINT{c.x + 40, c.y + 30});
        themetest::Settle();
        RECT now;
        GetWindowRect(s.dlg.m_hWnd, &now);
        EXPECT_EQ(now.left, wr.left) << c.name << ": not dragged";
        EXPECT_EQ(now.top, wr.top) << c.name << ": not dragged";
        EXPECT_TRUE(s.dlg.IsWindowVisible()) << c.name;
    }
}

}  // namespace
