// Painting the skinned controls over and over leaves no GDI object behind:
// every pen, brush, font, bitmap and DC a paint makes is freed, and a
// control's images go with it.
#include <gtest/gtest.h>

#include <memory>

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeCheck.h"
#include "ThemeClass/ThemeGroup.h"
#include "ThemeClass/ThemeProgress.h"
#include "ThemeClass/ThemeScroll.h"
#include "ThemeClass/ThemeStatic.h"
#include "theme_fixture.h"

using themetest::SkinStage;

TEST(ThemeGdi, RepaintsAndDestructionLeaveNoObjects) {
    const std::string image = themetest::WriteBmp("theme_gdi_face.bmp", 40, 12, [](int x, int y) {
        return (x + y) % 7 == 0 ? RGB(255, 0, 255) : RGB(x * 6, y * 20, 90);
    });
    ASSERT_TRUE(uitest::InstallGdiCounter());
    struct Case {
        const char* name;
        std::function<CWnd*(CWnd*)> make;
    };
    const RECT place = {10, 10, 150, 60};
    const Case cases[] = {
        {"button, colour back",
         [&](CWnd* parent) {
             auto* b = new CThemeButton;
             b->Create(WS_CHILD | WS_VISIBLE, place, parent, 1);
             b->SetShadowColors(RGB(0, 0, 0), 0xFF00FF, 0xFF00FF, 0xFF00FF);
             b->SetText("Line\\nTwo");
             b->SetToolTipText("tip");
             return b;
         }},
        {"button, rounded back",
         [&](CWnd* parent) {
             auto* b = new CThemeButton;
             b->Create(WS_CHILD | WS_VISIBLE, place, parent, 1);
             b->SetEdgeRoundValue(6);
             b->SetText("Round");
             return b;
         }},
        {"button, image in every fill",
         [&](CWnd* parent) {
             auto* b = new CThemeButton;
             b->Create(WS_CHILD | WS_VISIBLE, place, parent, 1);
             b->SetImageFile(image.c_str());
             b->SetText("Face");
             return b;
         }},
        {"label, image back",
         [&](CWnd* parent) {
             auto* l = new CThemeStatic;
             l->Create(WS_CHILD | WS_VISIBLE, place, parent, 2);
             l->SetBackImage(image.c_str());
             l->SetText("Label");
             l->SetToolTipText("tip");
             return l;
         }},
        {"group",
         [&](CWnd* parent) {
             auto* g = new CThemeGroup;
             g->Create(WS_CHILD | WS_VISIBLE, place, parent, 3);
             g->SetCaption("Group");
             return g;
         }},
        {"progress with gradient and text",
         [&](CWnd* parent) {
             auto* p = new CThemeProgress;
             p->Create(WS_CHILD | WS_VISIBLE, place, parent, 4);
             p->SetGradient(TRUE);
             p->SetDrawText(TRUE);
             p->SetTextUnit("%");
             p->SetShadowColor(RGB(0, 0, 0));
             return p;
         }},
        {"check box, drawn V",
         [&](CWnd* parent) {
             auto* c = new CThemeCheck;
             c->Create(WS_CHILD | WS_VISIBLE, place, parent, 5);
             c->SetText("Check");
             c->SetCheck(1);
             c->SetToolTipText("tip");
             return c;
         }},
        {"check box, image back and mark",
         [&](CWnd* parent) {
             auto* c = new CThemeCheck;
             c->Create(WS_CHILD | WS_VISIBLE, place, parent, 5);
             c->SetImageFile(image.c_str());
             c->SetMarkImageFile(image.c_str());
             c->SetMarkImageFile(image.c_str());
             c->SetText("Check");
             c->SetCheck(1);
             return c;
         }},
        {"scroll bar with part images",
         [&](CWnd* parent) {
             auto* s = new CThemeScroll;
             s->Create(WS_CHILD | WS_VISIBLE, place, parent, 6);
             s->SetBackImage(image.c_str());
             s->SetBarImage(image.c_str());
             s->SetPrevImage(image.c_str());
             s->SetNextImageBlockCount(2);
             s->SetAutoToolTip(TRUE);
             s->SetPos(30);
             return s;
         }},
    };
    for (const Case& c : cases) {
        SkinStage stage;
        themetest::Settle();
        const long before = uitest::LiveGdiObjects();
        const long dcsBefore = uitest::LiveWindowDCs();
        {
            std::unique_ptr<CWnd> w(c.make(stage.parentWnd()));
            for (int fill = 0; fill < 4; ++fill) {
                if (auto* b = dynamic_cast<CThemeButton*>(w.get())) b->SetBackImageFillType(fill);
                if (auto* l = dynamic_cast<CThemeStatic*>(w.get())) l->SetBackImageFillType(fill);
                if (auto* k = dynamic_cast<CThemeCheck*>(w.get())) k->SetBackImageFillType(fill);
                if (auto* s = dynamic_cast<CThemeScroll*>(w.get())) s->SetBackImageFillType(fill);
                w->Invalidate(FALSE);
                w->UpdateWindow();
                themetest::Settle();
            }
            w->DestroyWindow();
        }
        themetest::Settle();
        EXPECT_EQ(before, uitest::LiveGdiObjects()) << c.name;
        EXPECT_EQ(dcsBefore, uitest::LiveWindowDCs()) << c.name;
    }
    DeleteFileA(image.c_str());
}
