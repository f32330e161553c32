// The configuration dialog run modally on the test prefix's card drives
// (R: "D-UVUDOVID", S: "d-uvudovid", T: "TRELLMARCARD01", U: no label; C:
// and Z: are fixed): the drive list and its preselection, the settings
// read from the card, Apply writing the four one-byte files (making the
// folder), the clock file, keys that must do nothing and a device change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeCombo.h"
#include "ThemeClass/ThemeEdit.h"
#include "ThemeClass/ThemeRadio.h"
#include "app/ConfigDlg.h"
#include "app/res/resource.h"
#include "app_card_files.h"
#include "app_modal_script.h"
#include "tests/harness/harness.h"

using apptest::Byte;
using apptest::ModalScript;
using apptest::PostClick;
using apptest::ReadCard;
using apptest::Text;
using apptest::WriteCard;

namespace {

// Radio index checked in each group (0 high .. 2 low; -1 none), in the
// order quality, sensitivity, sound, frame.
struct Radios {
    int quality, sensitivity, sound, frame;
    bool operator==(const Radios& o) const {
        return quality == o.quality && sensitivity == o.sensitivity && sound == o.sound &&
               frame == o.frame;
    }
};

std::ostream& operator<<(std::ostream& os, const Radios& r) {
    return os << "{q" << r.quality << " s" << r.sensitivity << " snd" << r.sound << " f" << r.frame
              << "}";
}

int Checked(CThemeRadio* const group[3]) {
    int found = -1, count = 0;
    for (int i = 0; i < 3; ++i) {
        if (group[i] && group[i]->GetCheck()) {
            if (found < 0) found = i;
            ++count;
        }
    }
    return count > 1 ? 9 : found;  // 9: more than one checked
}

Radios RadiosOf(const CConfigDlg& d) {
    return {Checked(d.m_pRadioQuality), Checked(d.m_pRadioSensitivity), Checked(d.m_pRadioSound),
            Checked(d.m_pRadioFrame)};
}

std::vector<std::string> Entries(const CConfigDlg& d) {
    std::vector<std::string> out;
    for (int i = 0; i < d.m_pComboDrive->GetCount(); ++i) {
        CString s;
        d.m_pComboDrive->GetLBText(i, s);
        out.push_back(static_cast<LPCSTR>(s));
    }
    return out;
}

const char* const kR = "(D-UVUDOVID) R:\\\\";

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override {
        previousHook_ = AfxSetMessageBoxHook(&uitest::AnswerMessageBox);
        apptest::RemoveCardFolder('R', "setting");
    }
    void TearDown() override {
        AfxSetMessageBoxHook(previousHook_);
        apptest::RemoveCardFolder('R', "setting");
    }
    // Runs the dialog with the script; the script's last step must end it.
    INT_PTR Run(CConfigDlg& dlg, ModalScript& script) {
        script.OnTimeout([&dlg] { apptest::EndDialogOf(&dlg); });
        script.Start();
        const INT_PTR r = dlg.DoModal();
        EXPECT_TRUE(script.finished()) << "stuck at: " << script.stuck();
        return r;
    }
    static bool Ready(const CConfigDlg& d) {
        return d.GetSafeHwnd() && d.m_pComboDrive && d.IsWindowVisible();
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> out;
        for (const auto& b : boxes_.boxes()) out.push_back(b.text);
        return out;
    }

    uitest::MessageBoxCatcher boxes_;
    AFX_MSGBOX_HOOK previousHook_ = nullptr;
};

TEST_F(ConfigDialog, DrivesListedAndTheRecorderCardPreselected) {
    WriteCard('R', "setting\\setframe.dat", Byte(1));
    WriteCard('R', "setting\\setsound.dat", Byte(3));
    WriteCard('R', "setting\\setquality.dat", Byte(1));
    WriteCard('R', "setting\\setsensitivity.dat", Byte(1));
    CConfigDlg dlg;
    std::vector<std::string> entries;
    int sel = -2;
    Radios radios{};
    bool formatEnabled = false, applyEnabled = false, comboEnabled = false;
    COLORREF back = 0;
    ModalScript script;
    script.Then("open", [&] { return Ready(dlg); })
        .Wait(200)
        .Do("read",
            [&] {
                entries = Entries(dlg);
                sel = dlg.m_pComboDrive->GetCurSel();
                radios = RadiosOf(dlg);
                formatEnabled = dlg.m_pBtnFormat->IsWindowEnabled();
                applyEnabled = dlg.m_pBtnApply->IsWindowEnabled();
                comboEnabled = dlg.m_pComboDrive->IsWindowEnabled();
                back = uitest::ClientPixel(dlg.m_hWnd, 3, 100);
            })
        .Do("close", [&] { PostClick(&dlg, IDC_CLOSE); });
    EXPECT_EQ(IDOK, Run(dlg, script));

    // Only the removable test cards, in letter order: C: and Z: are fixed.
    const std::vector<std::string> want = {kR, "(d-uvudovid) S:\\\\", "(TRELLMARCA) T:\\\\",
                                           "() U:\\\\"};
    EXPECT_EQ(want, entries);
    // R: is labelled exactly "D-UVUDOVID"; S:'s differs only in case.
    EXPECT_EQ(0, sel);
    EXPECT_EQ((Radios{2, 2, 0, 2}), radios) << "the card's settings";
    EXPECT_TRUE(formatEnabled && applyEnabled && comboEnabled);
    EXPECT_TRUE(uitest::ColorNear(back, 0x646464, 8)) << std::hex << back;
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_FALSE(apptest::CardExists('R', "setting\\settime.dat")) << "closing saves nothing";
}

TEST_F(ConfigDialog, SettingsReadFromTheCard) {
    const struct {
        const char* name;
        std::vector<std::pair<const char*, std::string>> files;
        Radios want;
    } cases[] = {
        {"no setting folder: the defaults", {}, {0, 1, 1, 0}},
        {"sound missing: it and those read after it keep the defaults",
         {{"setframe.dat", Byte(2)}, {"setquality.dat", Byte(1)}, {"setsensitivity.dat", Byte(3)}},
         {0, 1, 1, 1}},
        {"bytes outside 1 to 3 keep the defaults",
         {{"setframe.dat", Byte(0)},
          {"setsound.dat", Byte(4)},
          {"setquality.dat", Byte(0xFF)},
          {"setsensitivity.dat", ""}},
         {0, 1, 1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        apptest::RemoveCardFolder('R', "setting");
        for (const auto& f : c.files) WriteCard('R', std::string("setting\\") + f.first, f.second);
        CConfigDlg dlg;
        Radios radios{};
        ModalScript script;
        script.Then("open", [&] { return Ready(dlg); })
            .Do("read", [&] { radios = RadiosOf(dlg); })
            .Do("close", [&] { PostClick(&dlg, IDC_CLOSE); });
        EXPECT_EQ(IDOK, Run(dlg, script));
        EXPECT_EQ(c.want, radios);
        EXPECT_TRUE(BoxTexts().empty());
    }
}

TEST_F(ConfigDialog, ApplyWritesTheFourOneByteFiles) {
    const struct {
        const char* name;
        bool folder;
        bool blocked;  // a file named "setting" stands where the folder goes
    } cases[] = {
        {"over the card's files", true, false},
        {"the setting folder is made", false, false},
        {"no folder can be made: the disk is bad", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        apptest::RemoveCardFolder('R', "setting");
        boxes_.Clear();
        if (c.folder) {
            for (const char* f :
                 {"setframe.dat", "setsound.dat", "setquality.dat", "setsensitivity.dat"})
                WriteCard('R', std::string("setting\\") + f, "\3\3\3");
        }
        if (c.blocked) WriteCard('R', "setting", "in the way");
        CConfigDlg dlg;
        Radios shown{};
        ModalScript script;
        script.Then("open", [&] { return Ready(dlg); })
            .Do("click radios",
                [&] {
                    // Quality low, sensitivity high, sound low, frame middle.
                    for (CThemeRadio* r : {dlg.m_pRadioQuality[2], dlg.m_pRadioSensitivity[0],
                                           dlg.m_pRadioSound[2], dlg.m_pRadioFrame[1]})
                        apptest::PostMouseClick(r->m_hWnd);
                })
            .Then("radios follow",
                  [&] {
                      shown = RadiosOf(dlg);
                      return shown == Radios{2, 0, 2, 1};
                  })
            .Do("apply", [&] { PostClick(&dlg, IDC_APPLY); });
        EXPECT_EQ(IDOK, Run(dlg, script)) << "Apply ends the dialog";
        EXPECT_EQ((Radios{2, 0, 2, 1}), shown);
        if (c.blocked) {
            EXPECT_EQ(std::vector<std::string>{Text(IDS_BAD_DISK)}, BoxTexts());
            EXPECT_EQ("in the way", ReadCard('R', "setting"));
            DeleteFileA("R:\\setting");
            continue;
        }
        EXPECT_EQ(std::vector<std::string>{Text(IDS_SETTINGS_SAVED)}, BoxTexts());
        EXPECT_EQ(Byte(1), ReadCard('R', "setting\\setquality.dat"));
        EXPECT_EQ(Byte(3), ReadCard('R', "setting\\setsensitivity.dat"));
        EXPECT_EQ(Byte(1), ReadCard('R', "setting\\setsound.dat"));
        EXPECT_EQ(Byte(2), ReadCard('R', "setting\\setframe.dat"));
    }
}

TEST_F(ConfigDialog, ClockFile) {
    const struct {
        const char* name;
        const char* fields[6];
        UINT box;          // 0: none
        const char* file;  // nullptr: not written
    } cases[] = {
        {"1 May 2010",
         {"2010년", "5월", "1일", "9시", "5분", "0초"},
         IDS_SETTINGS_SAVED,
         "2010-05-01-09-05-00"},
        {"31 February is taken",
         {"2005년", "2월", "31일", "23시", "59분", "59초"},
         IDS_SETTINGS_SAVED,
         "2005-02-31-23-59-59"},
        {"no digits read as 0: fine for the time",
         {"2050년", "12월", "31일", "시", "분", "초"},
         IDS_SETTINGS_SAVED,
         "2050-12-31-00-00-00"},
        {"1999", {"1999년", "5월", "1일", "9시", "5분", "0초"}, IDS_BAD_TIME, nullptr},
        {"2051", {"2051년", "5월", "1일", "9시", "5분", "0초"}, IDS_BAD_TIME, nullptr},
        {"no digits for the day",
         {"2010년", "5월", "일", "9시", "5분", "0초"},
         IDS_BAD_TIME,
         nullptr},
        {"hour 24", {"2010년", "5월", "1일", "24시", "5분", "0초"}, IDS_BAD_TIME, nullptr},
    };
    CConfigDlg dlg;
    std::vector<std::string> files;
    std::vector<std::vector<std::string>> boxes;
    std::vector<bool> open;
    ModalScript script;
    script.Then("open", [&] { return Ready(dlg); });
    for (const auto& c : cases) {
        script
            .Do(c.name,
                [&dlg, &c, this] {
                    DeleteFileA("R:\\setting\\settime.dat");
                    boxes_.Clear();
                    CThemeEdit* edits[6] = {dlg.m_pEditYear, dlg.m_pEditMonth,  dlg.m_pEditDay,
                                            dlg.m_pEditHour, dlg.m_pEditMinute, dlg.m_pEditSecond};
                    for (int i = 0; i < 6; ++i) edits[i]->SetText(c.fields[i]);
                    PostClick(&dlg, IDC_SET_TIME);
                })
            .Wait(100)
            .Do("read", [&] {
                files.push_back(ReadCard('R', "setting\\settime.dat"));
                boxes.push_back(BoxTexts());
                open.push_back(dlg.IsWindowVisible());
            });
    }
    script.Do("close", [&] { PostClick(&dlg, IDC_CLOSE); });
    EXPECT_EQ(IDOK, Run(dlg, script));
    ASSERT_EQ(std::size(cases), files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(cases[i].file ? cases[i].file : "<none>", files[i]);
        EXPECT_EQ(std::vector<std::string>{Text(cases[i].box)}, boxes[i]);
        EXPECT_TRUE(open[i]) << "the dialog stays open";
    }
}

TEST_F(ConfigDialog, EnterAndEscapeDoNothing) {
    CConfigDlg dlg;
    bool openAfterKeys = false;
    ModalScript script;
    script.Then("open", [&] { return Ready(dlg); })
        .Do("keys",
            [&] {
                for (HWND to :
                     {dlg.m_hWnd, dlg.m_pEditYear->m_hWnd, dlg.m_pBtnApply->m_hWnd, ::GetFocus()}) {
                    if (!to) continue;
                    apptest::PostKeyDown(to, VK_RETURN);
                    apptest::PostKeyDown(to, VK_ESCAPE);
                }
            })
        .Wait(300)
        .Do("look", [&] { openAfterKeys = ::IsWindowVisible(dlg.m_hWnd) != FALSE; })
        .Do("close", [&] { PostClick(&dlg, IDC_CLOSE); });
    EXPECT_EQ(IDOK, Run(dlg, script));
    EXPECT_TRUE(openAfterKeys);
    EXPECT_TRUE(BoxTexts().empty()) << "nothing applied";
    EXPECT_FALSE(apptest::CardExists('R', "setting")) << "nothing written";
}

TEST_F(ConfigDialog, DeviceChangeRebuildsTheList) {
    CConfigDlg dlg;
    int selBefore = -2, selAfter = -2;
    std::vector<std::string> entriesAfter;
    ModalScript script;
    script.Then("open", [&] { return Ready(dlg); })
        .Do("pick S:",
            [&] {
                dlg.m_pComboDrive->SetCurSel(1);
                selBefore = dlg.m_pComboDrive->GetCurSel();
                apptest::SendCardArrived(dlg.m_hWnd, 'T');
            })
        .Wait(100)
        .Do("read",
            [&] {
                selAfter = dlg.m_pComboDrive->GetCurSel();
                entriesAfter = Entries(dlg);
            })
        .Do("close", [&] { PostClick(&dlg, IDC_CLOSE); });
    EXPECT_EQ(IDOK, Run(dlg, script));
    EXPECT_EQ(1, selBefore);
    EXPECT_EQ(0, selAfter) << "the recorder's card is selected again";
    ASSERT_EQ(4u, entriesAfter.size()) << "rebuilt, not added to";
    EXPECT_EQ(kR, entriesAfter[0]);
}

}  // namespace
