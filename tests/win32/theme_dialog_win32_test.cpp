// The skinned dialog in real windows: its painted caption and background,
// OK/Cancel messages to the parent, controls freed with the window, moving
// by the body, border resizing through the frame window, layered
// attributes, re-anchoring of attached windows, replacement of template
// controls and the skin profile files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeCheck.h"
#include "ThemeClass/ThemeCombo.h"
#include "ThemeClass/ThemeConfig.h"
#include "ThemeClass/ThemeDialog.h"
#include "ThemeClass/ThemeEdit.h"
#include "ThemeClass/ThemeGroup.h"
#include "ThemeClass/ThemeListBox.h"
#include "ThemeClass/ThemePicture.h"
#include "ThemeClass/ThemeProgress.h"
#include "ThemeClass/ThemeRadio.h"
#include "ThemeClass/ThemeScroll.h"
#include "ThemeClass/ThemeSlider.h"
#include "ThemeClass/ThemeStatic.h"
#include "theme_dialog_scene.h"
#include "theme_dialog_test.h"
#include "theme_fixture.h"

using themetest::Count;
using themetest::NearColor;
using themetest::Shot;

using namespace dlgtest;

// ---- the dialog window ---------------------------------------------------------

TEST(ThemeDialog, CaptionAreaFollowsTheWindowWidthAtCreation) {
    DialogScene s;
    CRect client;
    CRect win;
    s.dlg->GetClientRect(&client);
    s.dlg->GetWindowRect(&win);
    EXPECT_EQ(win.Width(), client.Width()) << "no system frame";
    EXPECT_EQ(0u, s.dlg->GetStyle() & WS_SYSMENU);
    // The template's own width decided the right edge: the margin is kept
    // on both sides whatever that width was.
    TestDialog d2;
    ASSERT_TRUE(d2.Create(IDD_SKIN_PLAIN, nullptr));
    CRect c2;
    d2.GetClientRect(&c2);
    EXPECT_EQ(c2.right - 27, d2.GetCaptionArea().right);
    d2.DestroyWindow();
}

TEST(ThemeDialog, DefaultCaptionLookAndShadow) {
    DialogScene s(IDD_SKIN_PLAIN, 400, 200);
    s.dlg->SetCaptionArea(CRect(27, 8, 400 - 27, 24));  // as creation makes it at 400 px
    s.dlg->SetCaption("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    s.dlg->Invalidate();
    uitest::Picture p = Shot(s.hwnd());
    ASSERT_FALSE(p.empty());
    int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 400; ++x)
            if (uitest::ColorNear(p.At(x, y), 0xFFFFFF, 40)) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0) << "white caption pixels";
    EXPECT_GE(minX, 27);
    EXPECT_LE(minX, 30) << "left-aligned at the area's left";
    EXPECT_LT(maxX, 373) << "cut at the area's right";
    EXPECT_GT(maxX, 300) << "a long caption reaches the right";
    EXPECT_GE(minY, 8);
    EXPECT_LT(maxY, 24);
    // Bold 12-pixel glyphs: strokes two pixels wide somewhere.
    const RECT band = {27, 8, 373, 26};
    const int black = Count(p, band, NearColor(0x000000, 40));
    EXPECT_GT(black, 20) << "shadow one pixel off";
    EXPECT_EQ(kDefaultBack, p.At(200, 150)) << "background colour";

    s.dlg->SetShadowColor(0xFF00FF);
    s.dlg->Invalidate();
    p = Shot(s.hwnd());
    EXPECT_EQ(0, Count(p, band, NearColor(0x000000, 40))) << "magenta shadow: none";
    EXPECT_EQ(0, Count(p, band, NearColor(0xFF00FF, 10)));
}

TEST(ThemeDialog, CaptionWithBreakGivesTwoLinesAndJoinedWindowText) {
    DialogScene s(IDD_SKIN_PLAIN, 400, 200);
    s.dlg->SetCaptionArea(CRect(27, 8, 373, 48));
    s.dlg->SetShadowColor(0xFF00FF);
    s.dlg->SetCaption("WWWW\\nWWWW");
    CString text;
    s.dlg->GetWindowText(text);
    EXPECT_STREQ("WWWWWWWW", text);
    EXPECT_STREQ("WWWW\nWWWW", s.dlg->GetCaption());
    s.dlg->Invalidate();
    const uitest::Picture p = Shot(s.hwnd());
    const RECT top = {27, 8, 373, 28};
    const RECT bottom = {27, 28, 373, 48};
    const RECT right = {150, 8, 373, 48};
    EXPECT_GT(Count(p, top, NearColor(0xFFFFFF, 40)), 10) << "first line in the upper half";
    EXPECT_GT(Count(p, bottom, NearColor(0xFFFFFF, 40)), 10) << "second line in the lower half";
    EXPECT_EQ(0, Count(p, right, NearColor(0xFFFFFF, 40))) << "each line is short";
}

TEST(ThemeDialog, BackgroundImageByPathByNameAndMissing) {
    const COLORREF kImage = RGB(20, 140, 60);
    const std::string full =
        themetest::WriteBmp("skin_dlg_back.bmp", 30, 30, [&](int, int) { return kImage; });
    // The bare name is looked for in "Image\" beside the program.
    const CString imageDir = GetAppFolder() + "Image\\";
    CreateDirectoryA(imageDir, nullptr);
    CopyFileA(full.c_str(), imageDir + "skin_dlg_bare.bmp", FALSE);
    struct Case {
        const char* name;
        std::string arg;
        BOOL loads;
        COLORREF centre;
    };
    const Case cases[] = {
        {"full path", full, TRUE, kImage},
        {"bare name", "skin_dlg_bare.bmp", TRUE, kImage},
        {"missing file", "no_such_image.bmp", FALSE, kDefaultBack},
    };
    for (const Case& c : cases) {
        DialogScene s;
        EXPECT_EQ(c.loads, s.dlg->SetBackImage(c.arg.c_str())) << c.name;
        EXPECT_EQ(c.loads ? 2 : 1, s.dlg->GetBackDrawType()) << c.name;
        s.dlg->Invalidate();
        const uitest::Picture p = Shot(s.hwnd());
        EXPECT_EQ(c.centre, p.At(200, 120)) << c.name;
    }
    EXPECT_STREQ(full.c_str(), TestDialog().GetImagePath(full.c_str()));
}

TEST(ThemeDialog, OkAndCancelPostTheTemplateIdToTheParentThenEnd) {
    struct Case {
        const char* name;
        bool ok;
        UINT msg;
    };
    for (const Case& c :
         {Case{"OK", true, WM_SKIN_DLGOK}, Case{"Cancel", false, WM_SKIN_DLGCANCEL}}) {
        DialogScene s;
        if (c.ok)
            s.dlg->OnOK();
        else
            s.dlg->Close();
        EXPECT_FALSE(s.dlg->IsWindowVisible()) << c.name << ": ended";
        uitest::PumpFor(50);
        const uitest::Message* m = s.stage.hostLog().Last(c.msg);
        ASSERT_NE(nullptr, m) << c.name;
        EXPECT_EQ((WPARAM)IDD_SKIN_PLAIN, m->wParam) << c.name;
        EXPECT_EQ(0, m->lParam) << c.name;
    }
    // Without a parent nothing is posted, and the dialog still ends.
    TestDialog d;
    ASSERT_TRUE(d.Create(IDD_SKIN_PLAIN, nullptr));
    d.OnOK();
    EXPECT_FALSE(d.IsWindowVisible());
    d.DestroyWindow();
}

// The caption has its strip to itself, and a label without a back of its
// own shows the dialog's background under its text: the dialog paints
// under its children, and its caption lands on none of them.
TEST(ThemeDialog, CaptionStripFreeAndLabelShowsTheDialogBackground) {
    DialogScene s(IDD_SKIN_CONTROLS, 400, 300);
    s.dlg->SetCaption("Caption over nothing");
    CWnd* label = s.dlg->ReplaceControl(IDC_SK_LABEL);
    ASSERT_TRUE(label);
    const CRect caption(27, 8, 373, 24);
    for (HWND h = ::GetWindow(s.hwnd(), GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(h)) continue;
        CRect both;
        EXPECT_FALSE(both.IntersectRect(caption, ChildRect(s.dlg.get(), h)))
            << "control " << ::GetDlgCtrlID(h) << " lies under the caption";
    }
    RedrawWindow(s.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    const uitest::Picture p = Shot(s.hwnd());
    EXPECT_GT(Count(p, caption, NearColor(RGB(255, 255, 255), 8)), 30) << "caption drawn";
    const CRect r = ChildRect(s.dlg.get(), label->m_hWnd);
    const int area = r.Width() * r.Height();
    EXPECT_GT(Count(p, r, NearColor(kDefaultBack, 8)), area / 2) << "the dialog shows through";
    EXPECT_EQ(0, Count(p, r, NearColor(RGB(0, 0, 0), 8))) << "nothing black behind the text";
    EXPECT_GT(Count(p, r, NearColor(0x450308, 60)), 5) << "the label's dark text";
}

TEST(ThemeDialog, DestructionFreesEveryControlOnce) {
    DialogScene s(IDD_SKIN_CONTROLS);
    const UINT ids[] = {IDC_SK_LABEL,    IDC_SK_GROUP, IDC_SK_PUSH1, IDC_SK_RADIO,
                        IDC_SK_PROGRESS, IDC_SK_TRACK, IDC_SK_PUSH2};
    std::vector<HWND> made;
    for (UINT id : ids) {
        CWnd* p = s.dlg->ReplaceControl(id);
        ASSERT_NE(nullptr, p) << id;
        made.push_back(p->m_hWnd);
    }
    // A first WM_DESTROY frees them; a second finds nothing left.
    s.dlg->SendMessage(WM_DESTROY);
    for (int k = skin::kFirstKind; k <= skin::kLastKind; ++k)
        EXPECT_EQ(0, s.dlg->GetControlCount(k)) << k;
    for (HWND h : made) EXPECT_FALSE(IsWindow(h));
    s.dlg->SendMessage(WM_DESTROY);
    s.dlg->DestroyWindow();
    for (int k = skin::kFirstKind; k <= skin::kLastKind; ++k)
        EXPECT_EQ(0, s.dlg->GetControlCount(k)) << k;
}

// ---- moving, resizing, transparency ----------------------------------------------

TEST(ThemeDialog, BorderZonesOfA300By200Client) {
    DialogScene s(IDD_SKIN_PLAIN, 300, 200);
    struct Case {
        int x, y, zone;
    };
    for (const Case& c :
         {Case{3, 3, 5}, Case{7, 100, 1}, Case{8, 100, 0}, Case{296, 196, 8}, Case{150, 0, 2}})
        EXPECT_EQ(c.zone, s.dlg->HitTestBorder(c.x, c.y)) << c.x << "," << c.y;
    // With resizing on, hovering the corner shows the diagonal cursor.
    s.dlg->SetResizable(TRUE);
    uitest::MoveCursorClient(s.hwnd(), 3, 3);
    uitest::PumpFor(50);
    EXPECT_EQ(LoadCursor(nullptr, IDC_SIZENWSE), GetCursor());
}

TEST(ThemeDialog, BodyPressMovesAndBorderPressWithoutResizingDoesNothing) {
    DialogScene s(IDD_SKIN_PLAIN, 300, 200);
    s.dlg->SetMouseDragMove(TRUE);
    s.dlg->recordNcDown = true;
    const CRect before = s.Window();
    uitest::DragClient(s.hwnd(), POINT{3, 100}, POINT{60, 140});
    uitest::PumpFor(100);
    EXPECT_EQ(Show(before), Show(s.Window())) << "a press on the border with resizing off";
    EXPECT_EQ(1, s.dlg->GetResizeZone());
    EXPECT_TRUE(s.dlg->ncDowns.empty()) << "no move from the border";

    // A press on the body hands the window to the system's move loop as a
    // caption press at the screen point.
    uitest::ClickClient(s.hwnd(), 100, 120);
    uitest::PumpFor(100);
    ASSERT_EQ(1u, s.dlg->ncDowns.size());
    EXPECT_EQ((WPARAM)HTCAPTION, s.dlg->ncDowns[0].first);
    const POINT at = uitest::ClientToScreenPoint(s.hwnd(), 100, 120);
    EXPECT_EQ(at.x, (short)LOWORD(s.dlg->ncDowns[0].second));
    EXPECT_EQ(at.y, (short)HIWORD(s.dlg->ncDowns[0].second));
    EXPECT_EQ(0, s.dlg->GetResizeZone());
    // Without dragging by the body nothing is handed over.
    s.dlg->ncDowns.clear();
    s.dlg->SetMouseDragMove(FALSE);
    uitest::ClickClient(s.hwnd(), 100, 120);
    uitest::PumpFor(50);
    EXPECT_TRUE(s.dlg->ncDowns.empty());
}

TEST(ThemeDialog, CornerResizeHeldAtTheLimitsAndFrameShownMeanwhile) {
    DialogScene s(IDD_SKIN_PLAIN, 300, 200);
    s.dlg->SetResizable(TRUE);
    const CRect before = s.Window();
    CDlgResizeWnd* frame = s.dlg->GetResizeWnd();
    ASSERT_NE(nullptr, frame);
    EXPECT_FALSE(frame->IsWindowVisible());
    EXPECT_NE(0u, frame->GetExStyle() & WS_EX_LAYERED);

    // Inward to 30 x 30 with the real mouse: the frame follows, held at 50.
    uitest::MoveCursorClient(s.hwnd(), 297, 197);
    uitest::MouseDown();
    uitest::PumpFor(50);
    const POINT p1 = uitest::ClientToScreenPoint(s.hwnd(), 30, 30);
    uitest::MoveCursor(p1.x, p1.y);
    uitest::PumpFor(80);
    EXPECT_TRUE(frame->IsWindowVisible()) << "the outline shows while dragging";
    EXPECT_EQ(s.hwnd(), GetActiveWindow()) << "the frame takes no activation";
    CRect fr;
    frame->GetWindowRect(&fr);
    EXPECT_EQ(Show(CRect(before.left, before.top, before.left + 50, before.top + 50)), Show(fr));
    // Its white outline with the dotted line over it, on the screen.
    uitest::FlushToScreen();
    int white = 0, dark = 0;
    for (int x = fr.left + 1; x < fr.right - 1; ++x) {
        const COLORREF c = uitest::ScreenPixel(x, fr.top);
        white += c == 0xFFFFFF;
        dark += c == 0x323232;
    }
    EXPECT_GT(white, 5);
    EXPECT_GT(dark, 5);
    uitest::MouseUp();
    uitest::PumpFor(80);
    EXPECT_FALSE(frame->IsWindowVisible()) << "hidden when the resize ends";
    EXPECT_EQ(Show(CRect(before.left, before.top, before.left + 50, before.top + 50)),
              Show(s.Window()));

    // Outward beyond 4000 (further than the screen: by messages).
    s.dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(47, 47));
    s.dlg->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30000, 47));
    s.dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(30000, 47));
    EXPECT_EQ(4000, s.Window().Width());
    EXPECT_EQ(50, s.Window().Height());
}

TEST(ThemeDialog, ResizeFramePaintsKeyInsideWhiteAndDottedOutline) {
    CDlgResizeWnd frame;
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 40;
    bi.bmiHeader.biHeight = -30;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem.m_hDC, dib);
    frame.DrawFrame(&mem, CRect(0, 0, 40, 30));
    auto at = [&](int x, int y) { return GetPixel(mem.m_hDC, x, y); };
    EXPECT_EQ(0xFF00FFu, at(20, 15)) << "inside: the key";
    EXPECT_EQ(0xFF00FFu, at(1, 1));
    int white = 0, dark = 0;
    for (int x = 0; x < 39; ++x) {
        white += at(x, 0) == 0xFFFFFF;
        dark += at(x, 0) == 0x323232;
    }
    EXPECT_GT(white, 5) << "white under the dots";
    EXPECT_GT(dark, 5) << "dots over the white";
    for (int y = 0; y < 29; ++y) EXPECT_NE(0xFF00FFu, at(39, y)) << "right edge outlined " << y;
    SelectObject(mem.m_hDC, old);
    DeleteObject(dib);
}

TEST(ThemeDialog, LayeredAttributesReadBack) {
    DialogScene s;
    EXPECT_FALSE(s.dlg->SetAlpha(0));
    EXPECT_EQ(255, s.dlg->GetAlpha());
    EXPECT_EQ(0u, s.dlg->GetExStyle() & WS_EX_LAYERED);

    ASSERT_TRUE(s.dlg->SetAlpha(128));
    COLORREF key = 1;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(s.hwnd(), &key, &alpha, &flags));
    EXPECT_EQ(128, alpha);
    EXPECT_EQ((DWORD)LWA_ALPHA, flags) << "alpha only";

    s.dlg->SetTransparentColor(0xFF00FF);
    ASSERT_TRUE(GetLayeredWindowAttributes(s.hwnd(), &key, &alpha, &flags));
    EXPECT_EQ(0xFF00FFu, key);
    EXPECT_EQ(128, alpha);
    EXPECT_EQ(3u, flags);
}

// ---- attached windows and re-anchoring -------------------------------------------

TEST(ThemeDialog, AttachedWindowFollowsItsLayoutRectangle) {
    SkinFolder skin("skin_dlg_attach");
    skin.Write("ConfigPos.ini",
               "[Attach]\nBar(Pos)=10,10,-10,40\nFill(Pos)=0,0,10000000,10000000\n");
    DialogScene s(IDD_SKIN_PLAIN, 300, 200);
    s.dlg->SetSection("Attach");
    CWnd bar, fill, plain;
    bar.Create(nullptr, "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), s.dlg.get(), 2001);
    fill.Create(nullptr, "fill", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), s.dlg.get(), 2002);
    plain.Create(nullptr, "plain", WS_CHILD | WS_VISIBLE, CRect(3, 4, 13, 14), s.dlg.get(), 2003);
    s.dlg->AddChildWindow(&bar, "Bar");
    s.dlg->AddChildWindow(&fill, "Fill");
    s.dlg->AddChildWindow(&plain, "Plain");
    ASSERT_EQ(3, s.dlg->GetChildWindowCount());

    struct Case {
        int w;
        CRect bar;
    };
    for (const Case& c : {Case{400, CRect(10, 10, 390, 40)}, Case{300, CRect(10, 10, 290, 40)}}) {
        s.dlg->MoveWindow(300, 200, c.w, 200);
        EXPECT_EQ(Show(c.bar), Show(ChildRect(s.dlg.get(), bar.m_hWnd))) << c.w;
        EXPECT_EQ(Show(CRect(0, 0, c.w, 200)), Show(ChildRect(s.dlg.get(), fill.m_hWnd))) << c.w;
        EXPECT_EQ(Show(CRect(3, 4, 13, 14)), Show(ChildRect(s.dlg.get(), plain.m_hWnd)))
            << "no key: stays";
    }
    // A collapsed size re-places nothing.
    bar.MoveWindow(1, 1, 5, 5);
    s.dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(7, 200));
    EXPECT_EQ(Show(CRect(1, 1, 6, 6)), Show(ChildRect(s.dlg.get(), bar.m_hWnd)));
    bar.DestroyWindow();
    fill.DestroyWindow();
    plain.DestroyWindow();
}

TEST(ThemeDialog, LayoutTimerPlacesAttachedWindowsOnce) {
    SkinFolder skin("skin_dlg_timer");
    skin.Write("ConfigPos.ini", "[T]\nBar(Pos)=10,10,-10,40\n");
    g_strSkinDir = skin.dir.c_str();
    TestDialog dlg;
    CWnd bar;
    // Attached while the timer of the creation is still pending.
    ASSERT_TRUE(dlg.Create(IDD_SKIN_PLAIN, nullptr));
    dlg.SetSection("T");
    bar.Create(nullptr, "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), &dlg, 2001);
    dlg.AddChildWindow(&bar, "Bar");
    uitest::PumpFor(100);
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(Show(CRect(10, 10, client.right - 10, 40)), Show(ChildRect(&dlg, bar.m_hWnd)));
    bar.MoveWindow(1, 1, 5, 5);
    uitest::PumpFor(100);
    EXPECT_EQ(Show(CRect(1, 1, 6, 6)), Show(ChildRect(&dlg, bar.m_hWnd))) << "fired once";
    bar.DestroyWindow();
    dlg.DestroyWindow();
}

TEST(ThemeDialog, AttachedChildDialogKeepsItsPlaceRelativeToTheParent) {
    DialogScene s(IDD_SKIN_PLAIN, 300, 200, 300, 200);
    TestDialog child;
    ASSERT_TRUE(child.Create(IDD_SKIN_PLAIN, nullptr));
    child.MoveWindow(350, 260, 100, 60);
    child.SetChildDialog(TRUE);
    s.dlg->AddChildDialog(&child, "Kid");
    EXPECT_STREQ("Kid", child.GetChildName());
    EXPECT_EQ(Show(CRect(50, 60, 150, 120)), Show(child.GetLayoutRect())) << "client coordinates";
    s.dlg->MoveWindow(320, 210, 300, 200);
    CRect r;
    child.GetWindowRect(&r);
    EXPECT_EQ(Show(CRect(370, 270, 470, 330)), Show(r)) << "moved with the parent";
    child.DestroyWindow();
}

// ---- template-control replacement --------------------------------------------------

TEST(ThemeDialog, ReplacementPicksTheKindKeepsIdAndRectangle) {
    DialogScene s(IDD_SKIN_CONTROLS, 400, 300);
    struct Case {
        const char* name;
        UINT id;
        std::function<bool(CWnd*)> isClass;
        int kind;
        const char* skinName;
        bool templateKept;
    };
    const Case cases[] = {
        {"label", IDC_SK_LABEL, [](CWnd* p) { return dynamic_cast<CThemeStatic*>(p); },
         skin::kKindStatic, "Static0", false},
        {"group box", IDC_SK_GROUP, [](CWnd* p) { return dynamic_cast<CThemeGroup*>(p); },
         skin::kKindGroup, "Group0", false},
        {"push button", IDC_SK_PUSH1, [](CWnd* p) { return dynamic_cast<CThemeButton*>(p); },
         skin::kKindButton, "Btn0", false},
        {"plain check box is a push button", IDC_SK_PLAINCHECK,
         [](CWnd* p) { return dynamic_cast<CThemeButton*>(p); }, skin::kKindButton, "Btn1", false},
        {"owner-drawn is a check box", IDC_SK_OWNER,
         [](CWnd* p) { return dynamic_cast<CThemeCheck*>(p); }, skin::kKindCheck, "Check0", false},
        {"auto radio", IDC_SK_RADIO, [](CWnd* p) { return dynamic_cast<CThemeRadio*>(p); },
         skin::kKindRadio, "Radio0", false},
        {"progress", IDC_SK_PROGRESS, [](CWnd* p) { return dynamic_cast<CThemeProgress*>(p); },
         skin::kKindProgress, "Progress0", false},
        {"track bar", IDC_SK_TRACK, [](CWnd* p) { return dynamic_cast<CThemeSlider*>(p); },
         skin::kKindSlider, "Slider0", true},
    };
    for (const Case& c : cases) {
        HWND tmpl = s.dlg->GetDlgItem(c.id)->m_hWnd;
        const CRect rc = ChildRect(s.dlg.get(), tmpl);
        CWnd* p = s.dlg->ReplaceControl(c.id);
        ASSERT_NE(nullptr, p) << c.name;
        EXPECT_TRUE(c.isClass(p)) << c.name;
        EXPECT_EQ((int)c.id, p->GetDlgCtrlID()) << c.name;
        EXPECT_EQ(Show(rc), Show(ChildRect(s.dlg.get(), p->m_hWnd))) << c.name;
        EXPECT_TRUE(p->IsWindowVisible()) << c.name;
        EXPECT_EQ(c.templateKept, IsWindow(tmpl) != FALSE) << c.name;
        if (c.templateKept) {
            EXPECT_FALSE(IsWindowVisible(tmpl)) << c.name;
        }
        const ThemeKindRow* row = ThemeKindRowOf(c.kind);
        ASSERT_NE(nullptr, row) << c.name;
        EXPECT_STREQ(c.skinName, row->skinId(p)->GetName()) << c.name;
        EXPECT_EQ(p, s.dlg->GetControl(c.kind, s.dlg->GetControlCount(c.kind) - 1)) << c.name;
    }
    // Text carried over.
    EXPECT_STREQ("Push",
                 static_cast<CThemeButton*>(s.dlg->GetControl(skin::kKindButton, 0))->GetText());
    EXPECT_STREQ("Group",
                 static_cast<CThemeGroup*>(s.dlg->GetControl(skin::kKindGroup, 0))->GetCaption());
    EXPECT_STREQ("Label",
                 static_cast<CThemeStatic*>(s.dlg->GetControl(skin::kKindStatic, 0))->GetText());
    themetest::Settle();
}

TEST(ThemeDialog, SkinNamesCountEveryButtonNamedOrNot) {
    DialogScene s(IDD_SKIN_CONTROLS, 400, 300);
    CWnd* a = s.dlg->ReplaceControlWithSkin(IDC_SK_PUSH1, "Mine");
    CWnd* b = s.dlg->ReplaceControl(IDC_SK_PUSH2);
    CWnd* c = s.dlg->ReplaceControl(IDC_SK_PUSH3);
    ASSERT_TRUE(a && b && c);
    EXPECT_STREQ("Mine", static_cast<CThemeButton*>(a)->GetName());
    EXPECT_STREQ("Btn1", static_cast<CThemeButton*>(b)->GetName());
    EXPECT_STREQ("Btn2", static_cast<CThemeButton*>(c)->GetName());
}

TEST(ThemeDialog, UnknownOrMissingControlsAreLeftAlone) {
    DialogScene s(IDD_SKIN_CONTROLS, 400, 300);
    HWND scroll = s.dlg->GetDlgItem(IDC_SK_SCROLL)->m_hWnd;
    int kind = -1;
    EXPECT_EQ(nullptr, s.dlg->CreateThemeControl(IDC_SK_SCROLL, &kind, ""));
    EXPECT_EQ(skin::kKindNone, kind);
    EXPECT_TRUE(IsWindowVisible(scroll)) << "a scroll bar template is not replaced";
    EXPECT_EQ(nullptr, s.dlg->ReplaceControl(4242)) << "no such control";
    for (int k = skin::kFirstKind; k <= skin::kLastKind; ++k)
        EXPECT_EQ(0, s.dlg->GetControlCount(k));
}

TEST(ThemeDialog, DisabledTemplateStaysDisabled) {
    DialogScene s(IDD_SKIN_CONTROLS, 400, 300);
    for (UINT id : {IDC_SK_RADIO_OFF, IDC_SK_CHECK_OFF}) {
        CWnd* p = s.dlg->ReplaceControl(id);
        ASSERT_NE(nullptr, p) << id;
        EXPECT_FALSE(p->IsWindowEnabled()) << id;
    }
    EXPECT_EQ(1, s.dlg->GetControlCount(skin::kKindCheck));
    EXPECT_EQ(1, s.dlg->GetControlCount(skin::kKindRadio));
}

TEST(ThemeDialog, ScrollBarOnlyByItsCreatorTemplateKeptHidden) {
    DialogScene s(IDD_SKIN_CONTROLS, 400, 300);
    HWND tmpl = s.dlg->GetDlgItem(IDC_SK_SCROLL)->m_hWnd;
    const CRect rc = ChildRect(s.dlg.get(), tmpl);
    CWnd* p = s.dlg->CreateControlOfKind(skin::kKindScroll, IDC_SK_SCROLL, "");
    ASSERT_NE(nullptr, dynamic_cast<CThemeScroll*>(p));
    EXPECT_STREQ("Scroll0", static_cast<CThemeScroll*>(p)->GetName());
    EXPECT_EQ(Show(rc), Show(ChildRect(s.dlg.get(), p->m_hWnd)));
    EXPECT_TRUE(IsWindow(tmpl));
    EXPECT_FALSE(IsWindowVisible(tmpl));
}

namespace {
HHOOK g_refuseHook = nullptr;
LRESULT CALLBACK RefuseButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CBT_CREATEWNDA* cw = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        const char* cls = cw->lpcs->lpszClass;
        if (!IS_INTRESOURCE(cls) && lstrcmpiA(cls, "BUTTON") == 0 &&
            (UINT_PTR)cw->lpcs->hMenu == IDC_SK_PUSH1)
            return 1;
    }
    return CallNextHookEx(g_refuseHook, code, wParam, lParam);
}
}  // namespace

TEST(ThemeDialog, FailedCreationKeepsTheTemplateAndReturnsNull) {
    DialogScene s(IDD_SKIN_CONTROLS, 400, 300);
    HWND tmpl = s.dlg->GetDlgItem(IDC_SK_PUSH1)->m_hWnd;
    g_refuseHook = SetWindowsHookExA(WH_CBT, RefuseButtons, nullptr, GetCurrentThreadId());
    CWnd* p = s.dlg->ReplaceControl(IDC_SK_PUSH1);
    UnhookWindowsHookEx(g_refuseHook);
    EXPECT_EQ(nullptr, p);
    EXPECT_TRUE(IsWindow(tmpl));
    EXPECT_TRUE(IsWindowVisible(tmpl));
    EXPECT_EQ(0, s.dlg->GetControlCount(skin::kKindButton));
    // The next attempt works and takes the first name.
    CWnd* q = s.dlg->ReplaceControl(IDC_SK_PUSH1);
    ASSERT_NE(nullptr, q);
    EXPECT_STREQ("Btn0", static_cast<CThemeButton*>(q)->GetName());
}

TEST(ThemeDialog, InputKindsReplacedKeepIdRectangleAndName) {
    DialogScene s(IDD_SKIN_INPUTS, 440, 300);
    struct Case {
        const char* name;
        UINT id;
        std::function<bool(CWnd*)> isClass;
        int kind;
        const char* skinName;
        bool templateKept;
    };
    const Case cases[] = {
        {"edit", IDC_SK_EDIT, [](CWnd* p) { return dynamic_cast<CThemeEdit*>(p); }, skin::kKindEdit,
         "Edit0", false},
        {"disabled edit", IDC_SK_EDIT_OFF, [](CWnd* p) { return dynamic_cast<CThemeEdit*>(p); },
         skin::kKindEdit, "Edit1", false},
        {"list box", IDC_SK_LIST, [](CWnd* p) { return dynamic_cast<CThemeListBox*>(p); },
         skin::kKindListBox, "ListBox0", false},
        {"drop-down combo", IDC_SK_COMBO, [](CWnd* p) { return dynamic_cast<CThemeCombo*>(p); },
         skin::kKindCombo, "Combo0", true},
        {"drop-list combo", IDC_SK_COMBO_LIST,
         [](CWnd* p) { return dynamic_cast<CThemeCombo*>(p); }, skin::kKindCombo, "Combo1", true},
        {"black frame is a picture", IDC_SK_PICTURE,
         [](CWnd* p) { return dynamic_cast<CThemePicture*>(p); }, skin::kKindPicture, "Picture0",
         false},
        {"metafile is a picture", IDC_SK_METAFILE,
         [](CWnd* p) { return dynamic_cast<CThemePicture*>(p); }, skin::kKindPicture, "Picture1",
         false},
        {"icon is a label", IDC_SK_ICON, [](CWnd* p) { return dynamic_cast<CThemeStatic*>(p); },
         skin::kKindStatic, "Static0", false},
    };
    for (const Case& c : cases) {
        HWND tmpl = s.dlg->GetDlgItem(c.id)->m_hWnd;
        const CRect rc = ChildRect(s.dlg.get(), tmpl);
        CWnd* p = s.dlg->ReplaceControl(c.id);
        ASSERT_NE(nullptr, p) << c.name;
        EXPECT_TRUE(c.isClass(p)) << c.name;
        EXPECT_EQ((int)c.id, p->GetDlgCtrlID()) << c.name;
        CRect want = rc;
        // A combo is as high as its strip, whatever the template's height.
        if (auto* combo = dynamic_cast<CThemeCombo*>(p))
            want.bottom = want.top + combo->GetStripHeight();
        EXPECT_EQ(Show(want), Show(ChildRect(s.dlg.get(), p->m_hWnd))) << c.name;
        EXPECT_TRUE(p->IsWindowVisible()) << c.name;
        EXPECT_EQ(c.templateKept, IsWindow(tmpl) != FALSE) << c.name;
        if (c.templateKept) {
            EXPECT_FALSE(IsWindowVisible(tmpl)) << c.name;
            EXPECT_EQ((int)c.id, GetDlgCtrlID(tmpl)) << c.name;
        }
        const ThemeKindRow* row = ThemeKindRowOf(c.kind);
        ASSERT_NE(nullptr, row) << c.name;
        EXPECT_STREQ(c.skinName, row->skinId(p)->GetName()) << c.name;
        EXPECT_EQ(p, s.dlg->GetControl(c.kind, s.dlg->GetControlCount(c.kind) - 1)) << c.name;
    }
    auto* on = static_cast<CThemeEdit*>(s.dlg->GetControl(skin::kKindEdit, 0));
    auto* off = static_cast<CThemeEdit*>(s.dlg->GetControl(skin::kKindEdit, 1));
    EXPECT_TRUE(on->IsWindowEnabled());
    EXPECT_FALSE(off->IsWindowEnabled()) << "the template's disabled state";
    ASSERT_NE(nullptr, off->GetEdit());
    EXPECT_FALSE(off->GetEdit()->IsWindowEnabled()) << "the inner edit takes no input either";
    auto* pic = static_cast<CThemePicture*>(s.dlg->GetControl(skin::kKindPicture, 0));
    EXPECT_STREQ("Pic", pic->GetCaption());
    for (int i = 0; i < 2; ++i) {
        auto* combo = static_cast<CThemeCombo*>(s.dlg->GetControl(skin::kKindCombo, i));
        EXPECT_EQ(0u, combo->GetStyle() & (WS_VSCROLL | WS_HSCROLL)) << "no system scroll bar";
    }
    themetest::Settle();
}

TEST(ThemeDialog, ComboKeepsItsStringsInOrderAndItsText) {
    struct Case {
        const char* name;
        UINT id;
        std::vector<std::string> items;
        int select;            // -1: type the text instead
        const char* typed;     // the drop-down's own text
        const char* expected;  // the skinned combo's edit text
    };
    const Case cases[] = {
        {"typed text", IDC_SK_COMBO, {"zeta", "alpha", "Mid dle"}, -1, "free text", "free text"},
        {"selected item", IDC_SK_COMBO_LIST, {"one", "two", "three"}, 1, "", "two"},
        {"empty list, empty text", IDC_SK_COMBO, {}, -1, "", ""},
        {"empty strings kept", IDC_SK_COMBO_LIST, {"", "b", ""}, 2, "", ""},
    };
    for (const Case& c : cases) {
        DialogScene s(IDD_SKIN_INPUTS, 440, 300);
        HWND tmpl = s.dlg->GetDlgItem(c.id)->m_hWnd;
        for (const std::string& item : c.items)
            SendMessageA(tmpl, CB_ADDSTRING, 0, (LPARAM)item.c_str());
        if (c.select >= 0)
            SendMessageA(tmpl, CB_SETCURSEL, (WPARAM)c.select, 0);
        else
            SetWindowTextA(tmpl, c.typed);
        auto* combo = dynamic_cast<CThemeCombo*>(s.dlg->ReplaceControl(c.id));
        ASSERT_NE(nullptr, combo) << c.name;
        ASSERT_EQ((int)c.items.size(), combo->GetCount()) << c.name;
        for (int i = 0; i < (int)c.items.size(); ++i) {
            CString got;
            combo->GetLBText(i, got);
            EXPECT_EQ(c.items[i], std::string(got)) << c.name << " item " << i;
        }
        CString text;
        combo->GetText(text);
        EXPECT_STREQ(c.expected, text) << c.name;
        EXPECT_EQ((int)c.items.size(), (int)SendMessageA(tmpl, CB_GETCOUNT, 0, 0))
            << c.name << ": the hidden template keeps its list";
    }
}

// ---- skin profile files --------------------------------------------------------------

TEST(ThemeDialog, ProfileKeysPlaceColourAndShowControls) {
    SkinFolder skin("skin_dlg_keys");
    skin.Write("ConfigPos.ini", "[Keys]\nBtn0(Pos)=-110,10,-10,40\nBtn1(Pos)=10,60,110,90\n");
    skin.Write("ConfigColor.ini", "[Keys]\nBtn0(Back)=300,0,0\n");
    skin.Write("ConfigValue.ini",
               "[Keys]\nBtn0(Visible)=2\nBtn1(Visible)=0\nBtn0(OutlineThick)=0\n");
    skin.Write("ConfigText.ini", "[Keys]\nBtn0(Caption)=\n");
    DialogScene s(IDD_SKIN_CONTROLS, 400, 300);
    s.dlg->SetSection("Keys");
    auto* b0 = static_cast<CThemeButton*>(s.dlg->ReplaceControlWithSkin(IDC_SK_PUSH1, "Btn0"));
    auto* b1 = static_cast<CThemeButton*>(s.dlg->ReplaceControlWithSkin(IDC_SK_PUSH2, "Btn1"));
    ASSERT_TRUE(b0 && b1);
    EXPECT_EQ(Show(CRect(-110, 10, -10, 40)), Show(b0->GetLayoutRect()));
    EXPECT_EQ(Show(CRect(290, 10, 390, 40)), Show(ChildRect(s.dlg.get(), b0->m_hWnd)));
    EXPECT_TRUE(b0->IsWindowVisible()) << "Visible 2 shows";
    EXPECT_FALSE(b1->IsWindowVisible()) << "Visible 0 hides";
    EXPECT_STREQ("Push", b0->GetText()) << "an empty value leaves the caption";
    const uitest::Picture p = Shot(s.hwnd());
    EXPECT_EQ(RGB(44, 0, 0), p.At(293, 12)) << "300 keeps its low 8 bits";

    // Saved as the pixels of the moment.
    s.dlg->SaveLayout();
    EXPECT_EQ("290,10,390,40", skin.Read("ConfigPos.ini", "Keys", "Btn0(Pos)"));
    CRect w = s.Window();
    EXPECT_EQ(std::to_string(w.left) + "," + std::to_string(w.top) + "," + std::to_string(w.right) +
                  "," + std::to_string(w.bottom),
              skin.Read("ConfigPos.ini", "Keys", "Dlg(Pos)"));
    // Resizing re-anchors the edge-relative button.
    s.dlg->MoveWindow(300, 200, 500, 300);
    EXPECT_EQ(Show(CRect(390, 10, 490, 40)), Show(ChildRect(s.dlg.get(), b0->m_hWnd)));
}

TEST(ThemeDialog, DialogKeysAndLongValues) {
    SkinFolder skin("skin_dlg_own");
    skin.Write("ConfigValue.ini",
               "[Child]\nDlg(Child)=1\nDlg(Transparent)=200\n[Top]\nDlg(MouseDragMove)=1\n");
    skin.Write("ConfigPos.ini", "[Child]\nDlg(Pos)=0,0,50,50\n[Top]\nDlg(Pos)=0,0,120,80\n");
    skin.Write("ConfigColor.ini", "[Child]\nDlg(Transparent)=0,0,0\nDlg(Back)=1,2,3\n");
    const std::string longText(300, 'x');
    skin.Write("ConfigText.ini", "[Top]\nDlg(Caption)=" + longText + "\n");
    {
        DialogScene s(IDD_SKIN_PLAIN, 300, 200);
        const CRect before = s.Window();
        s.dlg->SetSkin("Child");
        EXPECT_TRUE(s.dlg->IsChildDialog());
        EXPECT_EQ(Show(before), Show(s.Window())) << "a child dialog ignores Dlg(Pos)";
        EXPECT_EQ(200, s.dlg->GetAlpha());
        EXPECT_EQ(0u, s.dlg->GetTransparentColor()) << "black key";
        EXPECT_EQ(0x030201u, s.dlg->GetBackColor());
    }
    {
        DialogScene s(IDD_SKIN_PLAIN, 300, 200);
        s.dlg->SetSkin("Top");
        EXPECT_EQ(120, s.Window().Width()) << "Dlg(Pos) moves a top dialog";
        EXPECT_EQ(259, s.dlg->GetCaption().GetLength()) << "cut to 259";
        CString v;
        EXPECT_EQ(259, s.dlg->ReadConfigText("Top", "Dlg(Caption)", v));
    }
}

TEST(ThemeDialog, ReloadResetsFirstThenReadsChildLayoutFromTheParent) {
    SkinFolder skin("skin_dlg_reload");
    skin.Write("ConfigPos.ini", "[Parent]\nKid(Pos)=5,5,50,50\n");
    skin.Write("ConfigColor.ini", "[Kid]\nDlg(Back)=1,2,3\n");
    DialogScene s(IDD_SKIN_PLAIN, 300, 200);
    s.dlg->SetSection("Parent");
    s.dlg->SetBackColor(0x123456);
    TestDialog kid;
    ASSERT_TRUE(kid.Create(IDD_SKIN_PLAIN, nullptr));
    kid.SetSection("Kid");
    s.dlg->AddChildDialog(&kid, "Kid");
    kid.SetLayoutRect(CRect(0, 0, 1, 1));
    // Attached to itself and in a cycle: the reload still ends.
    s.dlg->AddChildDialog(s.dlg.get(), "Self");
    kid.AddChildDialog(s.dlg.get(), "Back");
    s.dlg->ReloadSkin();
    EXPECT_EQ(kDefaultBack, s.dlg->GetBackColor()) << "reset to the built-in look";
    EXPECT_EQ(Show(CRect(5, 5, 50, 50)), Show(kid.GetLayoutRect()));
    EXPECT_EQ(0x030201u, kid.GetBackColor()) << "the child's own section";
    kid.DestroyWindow();
}

TEST(ThemeDialog, InactiveImageRepaintsOnlyTheCaptionStrip) {
    const COLORREF kActive = RGB(20, 140, 60);
    const COLORREF kInactive = RGB(30, 40, 150);
    const std::string active =
        themetest::WriteBmp("skin_dlg_active.bmp", 30, 30, [&](int, int) { return kActive; });
    const std::string inactive =
        themetest::WriteBmp("skin_dlg_inactive.bmp", 30, 30, [&](int, int) { return kInactive; });
    DialogScene s;
    ASSERT_TRUE(s.dlg->SetBackImage(active.c_str()));
    ASSERT_TRUE(s.dlg->LoadInactiveImageFile(inactive.c_str()));
    s.dlg->Invalidate();
    uitest::Picture p = Shot(s.hwnd());
    EXPECT_EQ(kActive, p.At(200, 28));
    EXPECT_EQ(kActive, p.At(200, 100));

    uitest::BringToFront(s.stage.host());
    p = Shot(s.hwnd());
    EXPECT_FALSE(s.dlg->IsActiveLook());
    EXPECT_EQ(kInactive, p.At(200, 28)) << "the strip shows the inactive image";
    EXPECT_EQ(kActive, p.At(200, 31)) << "below it nothing was repainted";

    uitest::BringToFront(s.hwnd());
    p = Shot(s.hwnd());
    EXPECT_TRUE(s.dlg->IsActiveLook());
    EXPECT_EQ(kActive, p.At(200, 28));
}

TEST(ThemeDialog, ProfileKeysReachEditListComboAndPicture) {
    SkinFolder skin("skin_dlg_inputs");
    skin.Write("ConfigColor.ini",
               "[In]\nEdit0(Back)=0,160,0\nListBox0(Back)=0,0,200\nCombo0(Back)=200,0,0\n");
    skin.Write("ConfigValue.ini",
               "[In]\nListBox0(ItemHeight)=23\nCombo0(ListBoxHeight)=77\n"
               "Picture0(FontSize)=19\nEdit0(FontSize)=17\n");
    skin.Write("ConfigText.ini", "[In]\nEdit0(Text)=from skin\nPicture0(Caption)=Skinned\n");
    skin.Write("ConfigPos.ini", "[In]\nPicture0(Pos)=-100,200,-10,260\n");
    DialogScene s(IDD_SKIN_INPUTS, 440, 300);
    s.dlg->SetSection("In");
    auto* edit = static_cast<CThemeEdit*>(s.dlg->ReplaceControlWithSkin(IDC_SK_EDIT, "Edit0"));
    auto* list =
        static_cast<CThemeListBox*>(s.dlg->ReplaceControlWithSkin(IDC_SK_LIST, "ListBox0"));
    auto* combo = static_cast<CThemeCombo*>(s.dlg->ReplaceControlWithSkin(IDC_SK_COMBO, "Combo0"));
    auto* pic =
        static_cast<CThemePicture*>(s.dlg->ReplaceControlWithSkin(IDC_SK_PICTURE, "Picture0"));
    ASSERT_TRUE(edit && list && combo && pic);

    CString text;
    edit->GetText(text);
    EXPECT_STREQ("from skin", text);
    EXPECT_EQ(17, edit->GetFontSize());
    list->AddString("row");  // rows take the height when added
    EXPECT_EQ(23, list->GetItemHeight(0));
    EXPECT_EQ(77, combo->GetListBoxHeight());
    EXPECT_STREQ("Skinned", pic->GetCaption());
    EXPECT_EQ(Show(CRect(-100, 200, -10, 260)), Show(pic->GetLayoutRect()));
    EXPECT_EQ(Show(CRect(340, 200, 430, 260)), Show(ChildRect(s.dlg.get(), pic->m_hWnd)));

    RedrawWindow(s.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    const uitest::Picture p = Shot(s.hwnd());
    struct Spot {
        const char* name;
        CWnd* w;
        COLORREF colour;
    };
    for (const Spot& sp : {Spot{"edit", edit, RGB(0, 160, 0)}, Spot{"list", list, RGB(0, 0, 200)},
                           Spot{"combo", combo, RGB(200, 0, 0)}}) {
        const CRect r = ChildRect(s.dlg.get(), sp.w->m_hWnd);
        const RECT inner = {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
        EXPECT_GT(Count(p, inner, NearColor(sp.colour, 8)), 10) << sp.name;
    }
}
