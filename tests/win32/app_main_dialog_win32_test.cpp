// The main dialog in a real window: its start-up state, the graph cursor and
// the speedometer read back as pixels, the speed, volume and sound
// commands, the keys, the detail dialog's place, the play list built from a
// folder, and the one close sequence.
#include <algorithm>

#include <gtest/gtest.h>

#include "ThemeClass/ThemeButton.h"
#include "tests/win32/app_main_dialog_test.h"

using maindlg::Dialog;
using maindlg::Pump;

namespace {

// Client places of the instruments.
const int kGraphX = 14, kGraphY = 602, kDialX = 685, kDialY = 520;

bool IsRed(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60; }
bool IsWhite(COLORREF c) { return GetRValue(c) > 240 && GetGValue(c) > 240 && GetBValue(c) > 240; }

// Red pixels within one pixel of a dial point.
int RedAround(const uitest::Picture& p, int x, int y) {
    int n = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) n += IsRed(p.At(kDialX + x + dx, kDialY + y + dy)) ? 1 : 0;
    return n;
}

int WhiteIn(const uitest::Picture& p, RECT r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += IsWhite(p.At(x, y)) ? 1 : 0;
    return n;
}

}  // namespace

TEST(MainDialog, StartUp) {
    Dialog d;
    ASSERT_TRUE(d.dlg->GetSafeHwnd());
    RECT r;
    GetWindowRect(d.hwnd(), &r);
    EXPECT_EQ(r.right - r.left, 897);
    EXPECT_EQ(r.bottom - r.top, 720);
    char title[64] = {};
    GetWindowTextA(d.hwnd(), title, sizeof title);
    EXPECT_STREQ(title, "Trellmar");
    CThemeListCtrl* list = d.dlg->GetPlayList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetColumnWidth(0), 218);
    EXPECT_EQ(list->GetItemCount(), 0);  // the test's drive has no RIVAVEZU folder
    CThemeSlider* volume = d.dlg->GetVolumeSlider();
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->GetPos(), 100);
    ASSERT_NE(d.dlg->GetPlayer(), nullptr);
    EXPECT_EQ(d.dlg->GetPlayer()->GetVolume(), 0xFFFFFFFFu);
    EXPECT_EQ(d.dlg->GetPlayer()->GetState(), CTRL_STATE_CLOSED);
    EXPECT_EQ(d.dlg->GetPlayFace(), UINT(IDB_PLAY));
    EXPECT_EQ(d.dlg->GetSpeed(), 100);
    EXPECT_FALSE(d.dlg->GetDetailDialog().IsWindowVisible());
    EXPECT_FALSE(d.dlg->GetMapDialog().IsWindowVisible());
    // Captions from the string table.
    CThemeButton* detail = d.Control<CThemeButton>(IDC_DETAIL);
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(std::string(detail->GetText()), "상세");
}

TEST(MainDialog, GraphCursorAndSpeedometer) {
    Dialog d;
    struct Case {
        const char* name;
        float kmh;
        POINT tip, notTip;
        const char* text;
    };
    const Case cases[] = {
        {"no clip: rest", 0.0f, {39, 103}, {76, 35}, "  0"},
        {"100 km/h", 100.0f, {76, 35}, {39, 103}, "100"},
    };
    int restText = -1;
    for (const Case& c : cases) {
        d.dlg->ShowSpeed(c.kmh);
        Pump(120);
        const uitest::Picture p = uitest::CaptureClient(d.hwnd());
        ASSERT_FALSE(p.empty());
        if (c.kmh == 0.0f) p.SaveBmp((std::string(DC_BINARY_DIR) + "/maindlg_rest.bmp").c_str());
        // The cursor stands at x = 42 of the graph: white, 3 pixels wide.
        for (int y : {kGraphY + 10, kGraphY + 38, kGraphY + 88}) {
            EXPECT_TRUE(IsWhite(p.At(kGraphX + 42, y))) << c.name << " cursor row " << y;
            EXPECT_FALSE(IsWhite(p.At(kGraphX + 46, y))) << c.name << " right of the cursor";
        }
        EXPECT_GT(RedAround(p, c.tip.x, c.tip.y), 0) << c.name;
        EXPECT_EQ(RedAround(p, c.notTip.x, c.notTip.y), 0) << c.name;
        const int text = WhiteIn(p, RECT{kDialX + 74, kDialY + 110, kDialX + 110, kDialY + 130});
        EXPECT_GT(text, 0) << c.name;
        if (restText < 0) {
            restText = text;
        } else {
            EXPECT_NE(text, restText) << c.name << ": the number changed";
        }
        // The detail dialog's speed label follows when it has one.
        if (CThemeStatic* s = d.dlg->GetDetailDialog().m_pValueSpeed) {
            EXPECT_EQ(std::string(s->GetText()), c.text);
        }
    }
}

TEST(MainDialog, SpeedButtons) {
    Dialog d;
    struct Press {
        UINT button;
        int speed;
        const char* label;
    };
    const Press presses[] = {
        {IDC_FASTER, 150, "1.5x"}, {IDC_FASTER, 200, "2x"}, {IDC_FASTER, 200, "2x"},
        {IDC_FASTER, 200, "2x"},   {IDC_SLOWER, 150, "1.5x"}, {IDC_SLOWER, 100, "1x"},
        {IDC_SLOWER, 50, "0.5x"},  {IDC_SLOWER, 50, "0.5x"},
    };
    for (const Press& p : presses) {
        d.Command(p.button);
        EXPECT_EQ(d.dlg->GetSpeed(), p.speed);
        EXPECT_EQ(d.Text(IDC_SPEED_LABEL), p.label);
    }
}

TEST(MainDialog, KeysAndVolume) {
    Dialog d;
    CThemeSlider* volume = d.dlg->GetVolumeSlider();
    ASSERT_NE(volume, nullptr);
    struct Case {
        const char* name;
        int start;
        WORD key;
        int expected;
    };
    const Case cases[] = {
        {"Up at 95", 95, VK_UP, 100}, {"Down at 5", 5, VK_DOWN, 0},
        {"Up at 40", 40, VK_UP, 50},  {"Down at 100", 100, VK_DOWN, 90},
    };
    for (const Case& c : cases) {
        volume->SetPos(c.start);
        d.Key(c.key);
        Pump(80);
        EXPECT_EQ(volume->GetPos(), c.expected) << c.name;
        EXPECT_EQ(d.dlg->GetPlayer()->GetVolume(),
                  (uint32_t(c.expected * 65535 / 100) << 16) | uint32_t(c.expected * 65535 / 100))
            << c.name;
    }
    // Enter and Escape do not end the dialog.
    for (WORD key : {WORD(VK_RETURN), WORD(VK_ESCAPE)}) {
        d.Key(key);
        Pump(100);
        EXPECT_TRUE(IsWindowVisible(d.hwnd())) << key;
        EXPECT_FALSE(d.dlg->IsClosed()) << key;
    }
}

TEST(MainDialog, SoundSwitch) {
    Dialog d;
    CThemeSlider* volume = d.dlg->GetVolumeSlider();
    ASSERT_NE(volume, nullptr);
    // Mute, move the slider (audible again, image stays), click (sound-on
    // image, slider's volume), click (mute).
    struct Step {
        const char* name;
        bool click;  // else the slider moves to 60
        uint32_t volume;
        UINT face;
    };
    const uint32_t v60 = (uint32_t(60 * 65535 / 100) << 16) | uint32_t(60 * 65535 / 100);
    const Step steps[] = {
        {"mute", true, 0, IDB_SOUND_OFF},
        {"slider while muted", false, v60, IDB_SOUND_OFF},
        {"sound on at the slider", true, v60, IDB_SOUND_ON},
        {"mute again", true, 0, IDB_SOUND_OFF},
    };
    for (const Step& s : steps) {
        Pump(GetDoubleClickTime() + 50);  // each click a click of its own
        if (s.click) {
            d.Click(IDC_SOUND);
        } else {
            volume->SetPos(60);
            volume->NotifyParent(60, kSkinPosChanging);
            Pump(30);
        }
        EXPECT_EQ(d.dlg->GetPlayer()->GetVolume(), s.volume) << s.name;
        EXPECT_EQ(d.dlg->GetSoundFace(), s.face) << s.name;
    }
}

TEST(MainDialog, DetailPlacementAndHitTest) {
    Dialog d;
    ::SetWindowPos(d.hwnd(), nullptr, 37, 21, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump(30);
    EXPECT_NE(SendMessageA(d.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(37 + 450, 21 + 300)), HTNOWHERE);
    d.Click(IDC_DETAIL);
    CDlgDetail& detail = d.dlg->GetDetailDialog();
    ASSERT_TRUE(detail.IsWindowVisible());
    RECT main, r;
    GetWindowRect(d.hwnd(), &main);
    GetWindowRect(detail.m_hWnd, &r);
    EXPECT_EQ(r.left - main.left, 661);
    EXPECT_EQ(r.top - main.top, 354);
    // While it is visible the main dialog's body is neither clicked nor dragged.
    EXPECT_EQ(SendMessageA(d.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(37 + 450, 21 + 300)), HTNOWHERE);
    detail.ShowWindow(SW_HIDE);
}

TEST(MainDialog, PlayListFromAFolder) {
    const std::string dir = maindlg::TempFolder("list");
    struct File {
        const char* name;
        size_t size;
        SYSTEMTIME utc;
        const char* row;  // nullptr: not listed
    };
    const File files[] = {
        {"\\A.mp4", 1024, maindlg::Utc(2024, 1, 1, 0, 0, 0), nullptr},
        {"\\B.mp4", 1025, maindlg::Utc(2011, 12, 31, 20, 30, 0), "2012/01/01 - 05:30:00"},
        {"\\INFINITE\\INFI_1.mp4", 2000, maindlg::Utc(2012, 2, 28, 16, 0, 0),
         "2012/02/29 - 01:00:00"},
        {"\\INFINITE\\other.mp4", 2000, maindlg::Utc(2012, 2, 28, 16, 0, 0), nullptr},
        {"\\EVENT\\EVT_1.mp4", 2000, maindlg::Utc(2013, 2, 28, 16, 0, 0), "2013/03/01 - 01:00:00"},
        {"\\EVENT\\EVT_2.mp4", 2000, maindlg::Utc(2050, 5, 5, 0, 0, 0), "0000/05/05 - 09:00:00"},
    };
    for (const File& f : files) ASSERT_TRUE(maindlg::WriteClip(dir + f.name, f.size, f.utc)) << f.name;
    Dialog d;
    d.dlg->ChooseFolder(dir.c_str());
    Pump(50);
    std::vector<std::string> rows = d.Rows();
    std::vector<std::string> expected;
    for (const File& f : files)
        if (f.row) expected.push_back(f.row);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(d.dlg->GetCurItem(), -1);
    // Each row's item data names the record whose date it shows.
    CThemeListCtrl* l = d.dlg->GetPlayList();
    for (int i = 0; i < l->GetItemCount(); ++i)
        EXPECT_EQ(d.dlg->GetEntry(int(l->GetItemData(i))).strDateText, rows[size_t(i)]);
    // A folder without clips empties the list.
    d.dlg->ChooseFolder((dir + "\\EVENT\\nowhere").c_str());
    EXPECT_TRUE(d.Rows().empty());
}

TEST(MainDialog, PlayListHolds2048Clips) {
    const std::string dir = maindlg::TempFolder("cap");
    for (int i = 0; i < 2049; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "\\c%04d.mp4", i);
        ASSERT_TRUE(maindlg::WriteClip(dir + name, 1025, maindlg::Utc(2024, 3, 15, 0, i / 60, i % 60)));
    }
    Dialog d;
    d.dlg->ChooseFolder(dir.c_str());
    EXPECT_EQ(d.dlg->GetEntryCount(), 2048);
    EXPECT_EQ(d.dlg->GetPlayList()->GetItemCount(), 2048);
}

TEST(MainDialog, CloseRunsOnceWhicheverRoad) {
    struct Case {
        const char* name;
        void (*close)(Dialog&);
    };
    const Case cases[] = {
        {"X button", [](Dialog& d) { d.Click(IDC_CLOSE); }},
        {"WM_CLOSE", [](Dialog& d) { PostMessageA(d.hwnd(), WM_CLOSE, 0, 0); }},
        {"Alt+F4", [](Dialog& d) {
             PostMessageA(d.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
         }},
    };
    for (const Case& c : cases) {
        Dialog d;
        ASSERT_NE(CPlayerCtrl::GetInstance(), nullptr);
        c.close(d);
        Pump(150);
        EXPECT_TRUE(d.dlg->IsClosed()) << c.name;
        EXPECT_EQ(d.dlg->GetPlayer(), nullptr) << c.name;
        // A second close does nothing more.
        d.dlg->Close();
        Pump(20);
    }
}
