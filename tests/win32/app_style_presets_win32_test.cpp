// The style presets on real skinned dialogs built from the program's own
// templates: the configuration dialog's radios, group, combo box, edit and
// buttons, every label preset, a later setter over a preset, and presets
// handed no control. (The main dialog's are in app_res_win32_test.cpp: the
// report list's header and the combo box's do not go into one file.)
#include <gtest/gtest.h>

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeCombo.h"
#include "ThemeClass/ThemeEdit.h"
#include "ThemeClass/ThemeGroup.h"
#include "ThemeClass/ThemeRadio.h"
#include "ThemeClass/ThemeStatic.h"
#include "app/StylePreset_win32.h"
#include "app/res/resource.h"
#include "app_style_scene.h"

using apptest::At;
using apptest::FromRgb;
using apptest::Near;
using apptest::ProgramDialog;
using apptest::ShotOf;

TEST(StylePresets, LaterSettersWinOverThePreset) {
    ProgramDialog s(IDD_DETAIL, 180, 360);
    auto* caption = s.Replace<CThemeStatic>(IDC_CAP_SPEED);
    auto* value = s.Replace<CThemeStatic>(IDC_VALUE_SPEED);
    ASSERT_TRUE(caption && value);
    ApplyLabelStyle(caption);
    caption->SetColors(15, TRUE, 0x0000C8, 0xFF00FF, 1);
    caption->SetText("WWWW");
    ApplyLabelStyle(value);
    value->SetText("888");
    const uitest::Picture c = ShotOf(caption);
    const uitest::Picture v = ShotOf(value);
    EXPECT_GT(Near(c, 0x0000C8, 40), 0) << "the later colour";
    EXPECT_EQ(Near(c, 0xFFFFFF, 40), 0) << "the preset's white is gone";
    EXPECT_GT(Near(v, 0xFFFFFF, 40), 0) << "the preset alone: white text";
    EXPECT_TRUE(uitest::ColorNear(c.At(1, 1), 0x000000, 4)) << At(c, 1, 1);
}

TEST(StylePresets, ConfigurationDialogControls) {
    ProgramDialog s(IDD_CONFIG, 230, 360);
    auto* radio = s.Replace<CThemeRadio>(IDC_QUAL_HIGH);
    auto* group = s.Replace<CThemeGroup>(IDC_GROUP_TIME);
    auto* combo = s.Replace<CThemeCombo>(IDC_DRIVE_COMBO);
    auto* edit = s.Replace<CThemeEdit>(IDC_EDIT_YEAR);
    auto* apply = s.Replace<CThemeButton>(IDC_APPLY);
    ASSERT_TRUE(radio && group && combo && edit && apply);
    ApplyConfigRadioStyle(radio);
    ApplyGroupStyle(group);
    ApplyComboStyle(combo);
    ApplyEditStyle(edit);
    ApplyConfigButtonStyle(apply);
    s.dlg->Invalidate();
    EXPECT_EQ(combo->GetListBoxHeight(), 95);
    EXPECT_EQ(edit->GetBackColor(), 0x2E2E2Fu);
    EXPECT_EQ(edit->GetFontColor(), 0xFFFFFFu);
    EXPECT_EQ(edit->GetOutlineLTColor(), 0x232324u);
    EXPECT_EQ(edit->GetOutlineRBColor(), 0x67696Eu);
    EXPECT_EQ(radio->GetTextColor(0), 0xF8FBF8u);
    EXPECT_EQ(radio->GetTextColor(1), 0xCED3CDu);
    EXPECT_EQ(radio->GetTextColor(2), 0x8B9389u);
    EXPECT_EQ(radio->GetTextColor(3), 0xF8FBF8u) << "disabled: as normal";
    const uitest::Picture r = ShotOf(radio);
    EXPECT_GT(Near(r, 0xF8FBF8, 40), 0) << "radio text";
    const uitest::Picture b = ShotOf(apply);
    EXPECT_TRUE(uitest::ColorNear(b.At(4, 4), FromRgb(0x2D3C46), 6)) << At(b, 4, 4);
    EXPECT_GT(Near(b, 0x1BDB6A, 40), 0) << "button caption";
    const uitest::Picture c = ShotOf(combo);
    EXPECT_GT(Near(c, 0x2A2A2B, 2), c.width * c.height / 4) << "combo back";
}

TEST(StylePresets, LabelPresetsOnTheDetailDialog) {
    const struct {
        const char* name;
        void (*apply)(CThemeStatic*);
        COLORREF back;
    } cases[] = {
        {"value", ApplyValueLabelStyle, 0x323232},
        {"label", ApplyLabelStyle, 0x000000},
        {"detail caption", ApplyDetailLabelStyle, 0x000000},
        {"rounded white", ApplyRoundedWhiteLabelStyle, 0xFFFFFF},
        {"large bold", ApplyLargeBoldLabelStyle, 0x000000},
        {"medium bold", ApplyMediumBoldLabelStyle, 0x000000},
        {"centred bold", ApplyCentredBoldLabelStyle, 0x000000},
        {"rounded grey", ApplyRoundedGreyLabelStyle, 0x646464},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramDialog s(IDD_DETAIL, 180, 360);
        auto* label = s.Replace<CThemeStatic>(IDC_VALUE_LAT);
        ASSERT_NE(label, nullptr);
        c.apply(label);
        label->SetText("1");
        const uitest::Picture p = ShotOf(label);
        ASSERT_FALSE(p.empty());
        // Right of the short text, halfway down: the back.
        EXPECT_TRUE(uitest::ColorNear(p.At(p.width - 4, p.height / 2), c.back, 4))
            << At(p, p.width - 4, p.height / 2);
    }
}

TEST(StylePresets, NoControlIsLeftAlone) {
    // A template control that was not replaced comes back as null; every
    // preset takes that without harm.
    ApplyCloseButtonStyle(nullptr);
    ApplyMinimizeButtonStyle(nullptr);
    ApplyTextButtonStyle(nullptr);
    ApplyConfigButtonStyle(nullptr);
    SetButtonImage(nullptr, IDB_PLAY);
    SetStaticImage(nullptr, IDB_SOUND_ON);
    ApplyValueLabelStyle(nullptr);
    ApplyLabelStyle(nullptr);
    ApplyDetailLabelStyle(nullptr);
    ApplyRoundedWhiteLabelStyle(nullptr);
    ApplyLargeBoldLabelStyle(nullptr);
    ApplyMediumBoldLabelStyle(nullptr);
    ApplyCentredBoldLabelStyle(nullptr);
    ApplyRoundedGreyLabelStyle(nullptr);
    ApplySliderStyle(nullptr);
    ApplyListStyle(nullptr);
    ApplyPlayRadioStyle(nullptr);
    ApplyConfigRadioStyle(nullptr);
    ApplyGroupStyle(nullptr);
    ApplyComboStyle(nullptr);
    ApplyEditStyle(nullptr);
    ApplyCheckStyle(nullptr);
    SUCCEED();
}
