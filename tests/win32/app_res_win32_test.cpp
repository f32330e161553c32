// The compiled resources of Quorvel.exe, linked into this test as into the
// program: strings read back through the ANSI functions in code page 949,
// every template control classified from its live window as the skinned
// dialog does it, the bitmaps' sizes and key colour, the icon, the version
// block and the registration script; and the style presets on real skinned
// dialogs built from the program's own templates, checked by their pixels.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeDialog.h"
#include "ThemeClass/ThemeListCtrl.h"
#include "ThemeClass/ThemeRadio.h"
#include "ThemeClass/ThemeSlider.h"
#include "ThemeClass/ThemeStatic.h"
#include "ThemeClass/ThemeKinds.h"
#include "app/style_preset.h"
#include "app/StylePreset_win32.h"
#include "app/reg_script.h"
#include "app/res/resource.h"
#include "tests/app/quorvel_res_expect.h"
#include "app_style_scene.h"
#include "theme_fixture.h"

namespace {

HMODULE Module() { return GetModuleHandleA(nullptr); }

std::string Hex(const std::string& s) {
    std::string out;
    char b[4];
    for (unsigned char c : s) {
        std::snprintf(b, sizeof b, "%02x", c);
        out += b;
    }
    return out;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

// A template made into a plain (unskinned) hidden dialog.
HWND PlainDialog(UINT id) {
    return CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), nullptr, PlainDialogProc, 0);
}

}  // namespace

using apptest::At;
using apptest::FromRgb;
using apptest::LoadText;
using apptest::Near;
using apptest::ProgramDialog;
using apptest::Shade;
using apptest::ShotOf;

// ---- strings ---------------------------------------------------------------------

TEST(QuorvelResources, StringsReadBackInCodePage949) {
    ASSERT_EQ(949u, GetACP());
    // A few as the bytes of code page 949 themselves, independent of how
    // this file's literals were compiled.
    const struct {
        UINT id;
        const char* hex;
    } bytes[] = {
        {108, "c1f6b5b5"},                            // 지도
        {107, "bbf3bcbc"},                            // 상세
        {128, "bfcfb7e1"},                            // 완료
        {124, "bfadb1e220bdc7c6d0"},                  // 열기 실패
        {105, "bcd5bbf3b5c820c6c4c0cfc0d4b4cfb4d9"},  // 손상된 파일입니다
        {104, "506c6179204c697374"},                  // Play List
    };
    for (const auto& b : bytes) EXPECT_EQ(Hex(LoadText(b.id)), b.hex) << "string " << b.id;
    for (const auto& e : quorvelres::kExpectedStrings)
        EXPECT_EQ(LoadText(e.id), e.text) << "string " << e.id;
    for (UINT id = 101; id <= 145; ++id) {
        if (id == 113)
            EXPECT_EQ(LoadText(id), "") << "113 is not in the table";
        else
            EXPECT_FALSE(LoadText(id).empty()) << "string " << id;
    }
    EXPECT_EQ(LoadText(146), "");
    // The line breaks of the format question are real ones.
    EXPECT_EQ(std::string::npos, LoadText(103).find("\\n"));
    EXPECT_NE(std::string::npos, LoadText(103).find('\n'));
}

// ---- dialog templates ------------------------------------------------------------

TEST(QuorvelResources, TemplateControlsClassifyAsTheirDialogsExpect) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    for (const auto& d : quorvelres::kExpectedDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(d.id));
        HWND dlg = PlainDialog(d.id);
        ASSERT_NE(dlg, nullptr);
        int expected = 0;
        for (const auto& c : quorvelres::kExpectedControls) {
            if (c.dialog != d.id) continue;
            ++expected;
            HWND h = GetDlgItem(dlg, static_cast<int>(c.id));
            ASSERT_NE(h, nullptr) << "control " << c.id;
            char cls[260] = {};
            GetClassNameA(h, cls, sizeof cls);
            const uint32_t style = static_cast<uint32_t>(GetWindowLongA(h, GWL_STYLE));
            EXPECT_EQ(skin::ClassifyControl(cls, style), c.kind)
                << "control " << c.id << " class " << cls << " style " << std::hex << style;
        }
        int children = 0;
        for (HWND h = GetWindow(dlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) ++children;
        EXPECT_EQ(children, expected);
        DestroyWindow(dlg);
    }
}

TEST(QuorvelResources, HiddenRadioAndVideoAreaOfTheMainDialog) {
    HWND dlg = PlainDialog(IDD_QUORVEL_DIALOG);
    ASSERT_NE(dlg, nullptr);
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(dlg, IDC_RADIO_HIDDEN), GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(dlg, IDC_RADIO_PLAY), GWL_STYLE) & BS_PUSHLIKE);
    // The program paints its graph and speedometer itself: at 897 x 720 no
    // control may cover them.
    MoveWindow(dlg, 0, 0, 897, 720, FALSE);

    const RECT painted[] = {{14, 602, 14 + 549, 602 + 97}, {685, 520, 685 + 174, 520 + 174}};
    for (HWND h = GetWindow(dlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        RECT r, x;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
        for (const RECT& p : painted)
            EXPECT_FALSE(IntersectRect(&x, &r, &p)) << "control " << GetDlgCtrlID(h);
    }
    DestroyWindow(dlg);
}

TEST(QuorvelResources, MapDialogHoldsItsPageView) {
    // The page view goes to (10, 35) with 310 x 408 pixels, and the close
    // button stays clear of it.
    HWND dlg = PlainDialog(IDD_MAP);
    ASSERT_NE(dlg, nullptr);
    RECT client;
    GetClientRect(dlg, &client);
    EXPECT_GE(client.right, 10 + 310) << client.right << " x " << client.bottom;
    EXPECT_GE(client.bottom, 35 + 408) << client.right << " x " << client.bottom;
    RECT close, x;
    GetWindowRect(GetDlgItem(dlg, IDC_CLOSE), &close);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&close), 2);
    const RECT view = {10, 35, 320, 443};
    EXPECT_FALSE(IntersectRect(&x, &close, &view));
    EXPECT_LE(close.right, client.right);
    DestroyWindow(dlg);
}

// ---- bitmaps, icon, version, script ------------------------------------------------

TEST(QuorvelResources, BitmapsHaveTheirSizesAndKeyColour) {
    HDC dc = CreateCompatibleDC(nullptr);
    for (int i = 0; i < stylepreset::kPresetImageCount; ++i) {
        const auto& img = stylepreset::kPresetImages[i];
        SCOPED_TRACE("bitmap " + std::to_string(img.id) + " " + img.use);
        HBITMAP bmp = LoadBitmapA(Module(), MAKEINTRESOURCEA(img.id));
        ASSERT_NE(bmp, nullptr);
        BITMAP bm = {};
        GetObjectA(bmp, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth % img.frames, 0);
        for (const auto& s : quorvelres::kExpectedBitmapSizes) {
            if (s.id != img.id) continue;
            EXPECT_GE(bm.bmWidth, s.minWidth);
            EXPECT_GE(bm.bmHeight, s.minHeight);
            if (s.exactWidth) {
                EXPECT_EQ(bm.bmWidth, s.exactWidth);
            }
            if (s.exactHeight) {
                EXPECT_EQ(bm.bmHeight, s.exactHeight);
            }
        }
        HGDIOBJ old = SelectObject(dc, bmp);
        // Strips have rounded frames on the key colour; the backs that the
        // program copies as they are have no key colour in their corner.
        const bool back = img.id == IDB_GRAPH_BACK || img.id == IDB_DIAL;
        const int frameW = bm.bmWidth / img.frames;
        for (int f = 0; f < img.frames; ++f) {
            const COLORREF corner = GetPixel(dc, f * frameW, 0);
            if (back)
                EXPECT_NE(corner, RGB(255, 0, 255));
            else
                EXPECT_EQ(corner, RGB(255, 0, 255)) << "frame " << f;
        }
        SelectObject(dc, old);
        DeleteObject(bmp);
    }
    DeleteDC(dc);
}

TEST(QuorvelResources, IconVersionAndRegistrationScript) {
    for (int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(
            LoadImageA(Module(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        if (icon) DestroyIcon(icon);
    }

    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    char* text = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\041204b0\\OriginalFilename",
                               reinterpret_cast<void**>(&text), &len));
    EXPECT_STREQ(text, "Quorvel.EXE");
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\041204b0\\ProductName",
                               reinterpret_cast<void**>(&text), &len));
    EXPECT_STREQ(text, "Quorvel 응용 프로그램");

    HRSRC res = FindResourceA(Module(), MAKEINTRESOURCEA(IDR_QUORVEL), "REGISTRY");
    ASSERT_NE(res, nullptr);
    const DWORD bytes = SizeofResource(Module(), res);
    const char* script = static_cast<const char*>(LockResource(LoadResource(Module(), res)));
    ASSERT_NE(script, nullptr);
    std::vector<RegScriptRoot> roots;
    RegScriptError error;
    ASSERT_TRUE(RegScript_Parse(script, bytes, {{"MODULE", path}}, &roots, &error))
        << error.line << ": " << error.message;
    ASSERT_EQ(roots.size(), 1u);
    ASSERT_EQ(roots[0].keys.size(), 1u);
    EXPECT_EQ(roots[0].keys[0].name, "AppID");
    EXPECT_EQ(roots[0].keys[0].flag, RegScriptKey::NoRemove);
}

// ---- style presets on the program's main dialog ----------------------------------

TEST(StylePresets, MainDialogControlsTakeTheirLooks) {
    ProgramDialog s(IDD_QUORVEL_DIALOG, 897, 720);
    auto* close = s.Replace<CThemeButton>(IDC_CLOSE);
    auto* minimize = s.Replace<CThemeButton>(IDC_MINIMIZE);
    auto* open = s.Replace<CThemeButton>(IDC_OPEN_FILE);
    auto* play = s.Replace<CThemeButton>(IDC_PLAY_PAUSE);
    auto* map = s.Replace<CThemeButton>(IDC_MAP);
    auto* speed = s.Replace<CThemeStatic>(IDC_SPEED_LABEL);
    auto* time = s.Replace<CThemeStatic>(IDC_TIME_LABEL);
    auto* sound = s.Replace<CThemeStatic>(IDC_SOUND);
    auto* seek = s.Replace<CThemeSlider>(IDC_SEEK_SLIDER);
    // The play list: where the dialog does not make report lists from its
    // template yet, one of our own over the template's place.
    auto* list = dynamic_cast<CThemeListCtrl*>(s.dlg->ReplaceControl(IDC_PLAYLIST));
    std::unique_ptr<CThemeListCtrl> ownList;
    if (!list) {
        CWnd* tmpl = s.dlg->GetDlgItem(IDC_PLAYLIST);
        ASSERT_NE(tmpl, nullptr);
        CRect r;
        tmpl->GetWindowRect(&r);
        s.dlg->ScreenToClient(&r);
        tmpl->ShowWindow(SW_HIDE);
        ownList = std::make_unique<CThemeListCtrl>();
        ASSERT_TRUE(ownList->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, r, s.dlg.get(),
                                    IDC_PLAYLIST + 100));
        list = ownList.get();
    }
    auto* radio = s.Replace<CThemeRadio>(IDC_RADIO_PLAY);
    ASSERT_TRUE(close && minimize && open && play && map && speed && time && sound && seek &&
                list && radio);
    ApplyCloseButtonStyle(close);
    ApplyMinimizeButtonStyle(minimize);
    SetButtonImage(open, IDB_OPEN);
    SetButtonImage(play, IDB_PLAY);
    ApplyTextButtonStyle(map);
    map->SetText(LoadText(IDS_MAP).c_str());
    ApplyLabelStyle(speed);
    ApplyValueLabelStyle(time);
    SetStaticImage(sound, IDB_SOUND_ON);
    ApplySliderStyle(seek);
    ApplyListStyle(list);
    ApplyPlayRadioStyle(radio);
    radio->SetCheck(1);
    s.dlg->Invalidate();

    // The captions of the image-only buttons are one blank.
    EXPECT_EQ(std::string(close->GetText()), " ");
    EXPECT_EQ(std::string(minimize->GetText()), " ");

    struct Look {
        const char* what;
        CWnd* control;
        int x, y;  // a point of the control's client area (negative: from the far edge)
        COLORREF color;
    };
    const Look looks[] = {
        // Close and minimise: their strip's normal frame at its own size, centred.
        {"close image", close, 3, 0, FromRgb(0xB43232)},
        {"minimise image", minimize, 3, 0, FromRgb(0x505A64)},
        // Image buttons: the strip stretched over the button.
        {"open image", open, 4, 4, FromRgb(0x32465A)},
        {"play image", play, 4, 4, FromRgb(0x32465A)},
        {"text button image", map, 4, 4, FromRgb(0x2D3C46)},
        // Labels: black, and the rounded value label in 0x323232.
        {"speed label back", speed, 1, 1, 0x000000},
        {"time label back", time, -1, 0, 0x323232},
        {"speaker image", sound, 4, 4, FromRgb(0x323232)},
        {"slider track image", seek, -4, 0, FromRgb(0x3C3C3C)},
        {"play list back", list, 6, -6, 0x2A2A2B},
        // The pushed-in radio shows the pressed frame of its strip.
        {"checked play radio", radio, 5, 0, Shade(0x8CA0AA, 3, 5)},
    };
    for (const Look& l : looks) {
        const uitest::Picture p = ShotOf(l.control);
        ASSERT_FALSE(p.empty()) << l.what;
        const int x = l.x < 0 ? p.width + l.x : l.x;
        const int y = l.y < 0 ? p.height + l.y : (l.y == 0 ? p.height / 2 : l.y);
        EXPECT_TRUE(uitest::ColorNear(p.At(x, y), l.color, 6))
            << l.what << ": " << At(p, x, y) << " at (" << x << ", " << y << "), want "
            << themetest::Hex(l.color);
    }
    // Texts in the preset's colours: green on the text button, white on the
    // speed label, light yellow on the time label.
    EXPECT_GT(Near(ShotOf(map), 0x1BDB6A, 40), 0) << "text button caption";
    EXPECT_GT(Near(ShotOf(speed), 0xFFFFFF, 40), 0) << "speed label text";
    EXPECT_GT(Near(ShotOf(time), 0x8CF3FF, 40), 0) << "time label text";
    // The slider's thumb takes the size of one frame of its strip.
    CRect thumb;
    seek->GetThumb()->GetClientRect(&thumb);
    EXPECT_EQ(thumb.Width(), 14);
    EXPECT_EQ(thumb.Height(), 20);

    // The speaker's muted image differs from its sound-on image.
    const uitest::Picture on = ShotOf(sound);
    SetStaticImage(sound, IDB_SOUND_OFF);
    sound->Invalidate(FALSE);
    const uitest::Picture off = ShotOf(sound);
    EXPECT_NE(on.pixels, off.pixels);
    // The pause face replaces the play face.
    const uitest::Picture playFace = ShotOf(play);
    SetButtonImage(play, IDB_PAUSE);
    EXPECT_NE(playFace.pixels, ShotOf(play).pixels);
}
