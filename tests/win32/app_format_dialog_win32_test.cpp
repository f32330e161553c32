// The card format dialog, opened from the configuration dialog as the user
// does it (format button, "yes" to the warning), on the test prefix's card
// drives. Built twice over: beside a stand-in fmifs.dll (a scratch copy of
// this program in a folder of its own) it formats R: and S:; where no
// fmifs.dll is found the format fails without touching anything. Each test
// skips itself in the other place.
//
// The stand-in acts only on a removable drive whose root holds its marker
// and logs every call; its pace and outcome come from the environment.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ThemeClass/ThemeCombo.h"
#include "ThemeClass/ThemeProgress.h"
#include "ThemeClass/ThemeRadio.h"
#include "ThemeClass/ThemeStatic.h"
#include "app/ConfigDlg.h"
#include "app/DlgFormat.h"
#include "app/res/resource.h"
#include "app_card_files.h"
#include "app_modal_script.h"
#include "tests/harness/harness.h"
#include "tests/harness/iat_patch.h"

using apptest::Byte;
using apptest::ListCard;
using apptest::ModalScript;
using apptest::PostClick;
using apptest::ReadCard;
using apptest::Text;
using apptest::WriteCard;

namespace {

std::string ExeFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.rfind('\\') + 1);
}

bool StandinBesideMe() {
    return GetFileAttributesA((ExeFolder() + "fmifs.dll").c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string LogPath() { return ExeFolder() + "fmifs_standin.log"; }

std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    HANDLE h = CreateFileA(LogPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return lines;
    std::string all;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) all.append(buf, n);
    CloseHandle(h);
    for (size_t at = 0; at < all.size();) {
        const size_t end = all.find('\n', at);
        lines.push_back(all.substr(at, end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return lines;
}

// What the program showed at each message box: the text, and the format
// dialog's status text at that moment.
struct Shown {
    std::string text;
    std::string status;
    size_t logLines = 0;  // lines of the stand-in's log by then
};
std::vector<Shown>* g_shown = nullptr;

int RecordBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type) {
    if (g_shown) {
        Shown s;
        s.text = text ? text : "";
        if (g_pFormatDlg && g_pFormatDlg->m_pStatus)
            s.status = static_cast<LPCSTR>(g_pFormatDlg->m_pStatus->GetText());
        s.logLines = LogLines().size();
        g_shown->push_back(s);
    }
    return uitest::AnswerMessageBox(owner, text, caption, type);
}

// Counts the look-ups of "FormatEx" the program makes through its imports.
using GetProcAddressFn = FARPROC(WINAPI*)(HMODULE, LPCSTR);
GetProcAddressFn g_realGetProcAddress = nullptr;
volatile LONG g_formatExLookups = 0;

FARPROC WINAPI CountingGetProcAddress(HMODULE module, LPCSTR name) {
    if (reinterpret_cast<ULONG_PTR>(name) > 0xFFFF && lstrcmpA(name, "FormatEx") == 0)
        InterlockedIncrement(&g_formatExLookups);
    return g_realGetProcAddress(module, name);
}

void CountFormatExLookups() {
    static bool installed = false;
    if (installed) return;
    uitest::detail::ImportHook hook = {"kernel32.dll", "GetProcAddress",
                                       reinterpret_cast<void*>(&CountingGetProcAddress),
                                       reinterpret_cast<void**>(&g_realGetProcAddress)};
    installed = uitest::detail::PatchImports(&hook, 1, false) > 0;
    ASSERT_TRUE(installed) << "GetProcAddress is imported";
}

struct Trace {
    std::vector<int> positions;  // progress positions seen, without repeats
    std::vector<std::string> statuses;
    bool formatEnded = false;
    bool formatSeen = false;
};

class FormatDialog : public ::testing::Test {
protected:
    void SetUp() override {
        previousHook_ = AfxSetMessageBoxHook(&RecordBox);
        g_shown = &shown_;
        SetEnvironmentVariableA("FMIFS_STANDIN_LOG", LogPath().c_str());
        SetEnvironmentVariableA("FMIFS_STANDIN_STEPS", "0,50,100");
        SetEnvironmentVariableA("FMIFS_STANDIN_PAUSE_MS", "150");
        SetEnvironmentVariableA("FMIFS_STANDIN_RESULT", "1");
        SetEnvironmentVariableA("FMIFS_STANDIN_HOLD_MS", "0");
        DeleteFileA(LogPath().c_str());
        for (char d : {'R', 'S'}) PrepareCard(d);
    }
    void TearDown() override {
        AfxSetMessageBoxHook(previousHook_);
        g_shown = nullptr;
        for (char d : {'R', 'S'}) apptest::EmptyCard(d);
        // Both cards keep the labels the prefix gave them.
        WriteCard('R', apptest::kLabelFile, "D-UVUDOVID\n");
        WriteCard('S', apptest::kLabelFile, "d-uvudovid\n");
    }
    // A card with clips and settings on it, marked for the stand-in.
    static void PrepareCard(char d) {
        apptest::EmptyCard(d);
        WriteCard(d, apptest::kStandinMarker, "test card");
        WriteCard(d, "RIVAVEZU\\INFINITE\\INFI0001.mp4", std::string(2048, 'x'));
        WriteCard(d, "RIVAVEZU\\EVENT\\EVT0001.mp4", std::string(2048, 'y'));
        for (const char* f :
             {"setframe.dat", "setsound.dat", "setquality.dat", "setsensitivity.dat"})
            WriteCard(d, std::string("setting\\") + f, Byte(1));
    }
    static bool Ready(const CConfigDlg& d) {
        return d.GetSafeHwnd() && d.m_pComboDrive && d.IsWindowVisible();
    }
    // Presses the format button and says yes to the warning.
    static void StartFormat(ModalScript& script, CConfigDlg& dlg) {
        script.Do("format button", [&dlg] { PostClick(&dlg, IDC_FORMAT_CARD); });
    }
    // Follows the format dialog while it runs, into trace. A format that
    // fails at once may come and go between two ticks: its box tells.
    void Follow(ModalScript& script, Trace& trace) {
        auto boxesAtStart = std::make_shared<size_t>(0);
        script.Do("note boxes", [this, boxesAtStart] { *boxesAtStart = shown_.size(); });
        script.Then("format dialog opens", [this, &trace, boxesAtStart] {
            trace.formatSeen = g_pFormatDlg && g_pFormatDlg->GetSafeHwnd();
            return trace.formatSeen || shown_.size() > *boxesAtStart + 1;
        });
        script.Then("format runs", [&trace] {
            if (!g_pFormatDlg || !g_pFormatDlg->GetSafeHwnd()) {
                trace.formatEnded = true;
                return true;
            }
            const int pos = g_pFormatDlg->m_pProgress->GetPos();
            if (trace.positions.empty() || trace.positions.back() != pos)
                trace.positions.push_back(pos);
            const std::string st = static_cast<LPCSTR>(g_pFormatDlg->m_pStatus->GetText());
            if (trace.statuses.empty() || trace.statuses.back() != st) trace.statuses.push_back(st);
            return false;
        });
    }
    INT_PTR Run(CConfigDlg& dlg, ModalScript& script) {
        script.OnTimeout([&dlg] {
            if (g_pFormatDlg) apptest::EndDialogOf(g_pFormatDlg);
            apptest::EndDialogOf(&dlg);
        });
        script.Start();
        const INT_PTR r = dlg.DoModal();
        EXPECT_TRUE(script.finished()) << "stuck at: " << script.stuck();
        return r;
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> out;
        for (const auto& s : shown_) out.push_back(s.text);
        return out;
    }

    uitest::MessageBoxCatcher catcher_;
    std::vector<Shown> shown_;
    AFX_MSGBOX_HOOK previousHook_ = nullptr;
};

#define NEEDS_STANDIN() \
    if (!StandinBesideMe()) GTEST_SKIP() << "runs beside the stand-in fmifs.dll"

const std::vector<std::string> kFreshCard = {
    apptest::kStandinMarker,       "setting\\",
    "setting\\setframe.dat",       "setting\\setquality.dat",
    "setting\\setsensitivity.dat", "setting\\setsound.dat"};

TEST_F(FormatDialog, FormatsTheCardAndWritesTheDefaultSettings) {
    NEEDS_STANDIN();
    // FormatEx holds the volume a while after its done report.
    SetEnvironmentVariableA("FMIFS_STANDIN_HOLD_MS", "1000");
    CConfigDlg dlg;
    int radioFrameLowBefore = -1, sel = -1;
    int quality = -1, sensitivity = -1, sound = -1, frame = -1;
    bool configOpenAfter = false;
    Trace trace;
    ModalScript script;
    catcher_.QueueAnswer(IDYES);
    script.Then("open", [&] { return Ready(dlg); }).Do("before", [&] {
        radioFrameLowBefore = dlg.m_pRadioFrame[2]->GetCheck();
        sel = dlg.m_pComboDrive->GetCurSel();
    });
    StartFormat(script, dlg);
    // The bar half full on the screen: its left quarter and its right
    // quarter differ.
    uitest::Picture half;
    DWORD seenHalf = 0;
    script.Then("half", [&] {
        if (!g_pFormatDlg || !g_pFormatDlg->GetSafeHwnd()) return false;
        if (g_pFormatDlg->m_pProgress->GetPos() != 50) return false;
        if (!seenHalf) seenHalf = GetTickCount();
        if (GetTickCount() - seenHalf < 40) return false;
        half = uitest::CaptureClient(g_pFormatDlg->m_pProgress->m_hWnd);
        return true;
    });
    Follow(script, trace);
    script
        .Do("after",
            [&] {
                configOpenAfter = dlg.IsWindowVisible() != FALSE;
                quality = dlg.m_cQuality;
                sensitivity = dlg.m_cSensitivity;
                sound = dlg.m_cSound;
                frame = dlg.m_cFrame;
            })
        .Do("close", [&] { PostClick(&dlg, IDC_CLOSE); });
    EXPECT_EQ(IDOK, Run(dlg, script));

    EXPECT_EQ(0, sel);
    EXPECT_EQ(1, radioFrameLowBefore) << "the card's frame setting was low";
    ASSERT_TRUE(trace.formatSeen);
    EXPECT_TRUE(trace.formatEnded);
    // The bar follows the reported percent, and only the bar shows it.
    EXPECT_NE(std::find(trace.positions.begin(), trace.positions.end(), 50), trace.positions.end());
    EXPECT_EQ(100, trace.positions.empty() ? -1 : trace.positions.back());
    EXPECT_TRUE(std::is_sorted(trace.positions.begin(), trace.positions.end()));
    ASSERT_FALSE(half.empty());
    const COLORREF filled = half.At(half.width / 4, half.height / 2);
    const COLORREF empty = half.At(half.width * 3 / 4, half.height / 2);
    EXPECT_FALSE(uitest::ColorNear(filled, empty, 8))
        << std::hex << filled << " left, " << empty << " right";
    ASSERT_FALSE(trace.statuses.empty());
    EXPECT_EQ(Text(IDS_FORMATTING), trace.statuses.back());
    ASSERT_EQ(2u, shown_.size());
    EXPECT_EQ(Text(IDS_FORMAT_CONFIRM), shown_[0].text);
    EXPECT_EQ(Text(IDS_FORMAT_DONE), shown_[1].text);
    EXPECT_EQ(Text(IDS_DONE), shown_[1].status) << "status when the box is shown";
    EXPECT_EQ(2u, shown_[1].logLines) << "done is told only once FormatEx has returned";
    EXPECT_TRUE(configOpenAfter) << "the configuration dialog stays";
    EXPECT_EQ(3, quality);
    EXPECT_EQ(2, sensitivity);
    EXPECT_EQ(2, sound);
    EXPECT_EQ(3, frame);

    // The card: emptied, labelled, and the defaults written.
    EXPECT_EQ(kFreshCard, ListCard('R'));
    EXPECT_EQ("D-UVUDOVID\n", ReadCard('R', apptest::kLabelFile));
    EXPECT_EQ(Byte(3), ReadCard('R', "setting\\setquality.dat"));
    EXPECT_EQ(Byte(2), ReadCard('R', "setting\\setsensitivity.dat"));
    EXPECT_EQ(Byte(2), ReadCard('R', "setting\\setsound.dat"));
    EXPECT_EQ(Byte(3), ReadCard('R', "setting\\setframe.dat"));
    const std::vector<std::string> log = {
        "format root=R:\\ type=2 media=11 fs=FAT32 label=D-UVUDOVID quick=0 cluster=0",
        "return root=R:\\ flag=1"};
    EXPECT_EQ(log, LogLines());
}

TEST_F(FormatDialog, KeysAndCloseDoNotEndARunningFormat) {
    NEEDS_STANDIN();
    SetEnvironmentVariableA("FMIFS_STANDIN_STEPS", "0,25,50,75,100");
    SetEnvironmentVariableA("FMIFS_STANDIN_PAUSE_MS", "250");
    CConfigDlg dlg;
    Trace trace;
    bool aliveAfterKeys = false;
    ModalScript script;
    catcher_.QueueAnswer(IDYES);
    script.Then("open", [&] { return Ready(dlg); });
    StartFormat(script, dlg);
    script.Then("format dialog opens", [&] { return g_pFormatDlg && g_pFormatDlg->GetSafeHwnd(); })
        .Do("keys",
            [&] {
                const HWND h = g_pFormatDlg->m_hWnd;
                apptest::PostKeyDown(h, VK_RETURN);
                apptest::PostKeyDown(h, VK_ESCAPE);
                // Alt+F4 as the system turns it into a command, and a close.
                ::PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);
                ::PostMessageA(h, WM_CLOSE, 0, 0);
                ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
                ::PostMessageA(h, WM_COMMAND, IDOK, 0);
            })
        .Wait(200)
        .Do("look", [&] {
            aliveAfterKeys =
                g_pFormatDlg && g_pFormatDlg->GetSafeHwnd() && g_pFormatDlg->IsFormatting();
        });
    Follow(script, trace);
    script.Do("close", [&] { PostClick(&dlg, IDC_CLOSE); });
    EXPECT_EQ(IDOK, Run(dlg, script));
    EXPECT_TRUE(aliveAfterKeys);
    EXPECT_TRUE(trace.formatEnded);
    EXPECT_EQ(100, trace.positions.empty() ? -1 : trace.positions.back());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FORMAT_CONFIRM), Text(IDS_FORMAT_DONE)}),
              BoxTexts());
    EXPECT_EQ(kFreshCard, ListCard('R'));
}

TEST_F(FormatDialog, ASecondFormatUsesTheFunctionFoundFirst) {
    NEEDS_STANDIN();
    CountFormatExLookups();
    SetEnvironmentVariableA("FMIFS_STANDIN_PAUSE_MS", "0");
    CConfigDlg dlg;
    Trace first, second;
    LONG afterFirst = -1;
    ModalScript script;
    catcher_.QueueAnswer(IDYES);
    catcher_.QueueAnswer(IDOK);
    catcher_.QueueAnswer(IDYES);
    script.Then("open", [&] { return Ready(dlg); });
    StartFormat(script, dlg);
    Follow(script, first);
    script.Do("between", [&] {
        afterFirst = g_formatExLookups;
        PrepareCard('R');
    });
    StartFormat(script, dlg);
    Follow(script, second);
    script.Do("close", [&] { PostClick(&dlg, IDC_CLOSE); });
    const LONG before = g_formatExLookups;
    EXPECT_EQ(IDOK, Run(dlg, script));
    EXPECT_TRUE(first.formatEnded && second.formatEnded);
    EXPECT_LE(afterFirst - before, 1) << "looked up at most once";
    EXPECT_EQ(afterFirst, g_formatExLookups) << "not looked up again";
    EXPECT_EQ(4u, LogLines().size());
    EXPECT_EQ(kFreshCard, ListCard('R'));
    EXPECT_EQ(4u, shown_.size());
}

TEST_F(FormatDialog, OnlyARemovableCardIsFormatted) {
    NEEDS_STANDIN();
    // The letter the format takes is changed under the dialog; fixed drives
    // (C:, Z:) and A: are refused before FormatEx is called.
    const struct { char letter; } cases[] = {{'C'}, {'Z'}, {'A'}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.letter);
        shown_.clear();
        CConfigDlg dlg;
        Trace trace;
        ModalScript script;
        catcher_.QueueAnswer(IDYES);
        script.Then("open", [&] { return Ready(dlg); }).Do("redirect", [&] {
            dlg.m_szDriveLetters[dlg.m_pComboDrive->GetCurSel()] = c.letter;
        });
        StartFormat(script, dlg);
        Follow(script, trace);
        script.Do("close", [&] { PostClick(&dlg, IDC_CLOSE); });
        EXPECT_EQ(IDOK, Run(dlg, script));
        EXPECT_EQ((std::vector<std::string>{Text(IDS_FORMAT_CONFIRM), Text(IDS_FORMAT_ERROR)}),
                  BoxTexts());
    }
    EXPECT_TRUE(LogLines().empty()) << "FormatEx never called";
    // The card is as it was.
    EXPECT_EQ(Byte(1), ReadCard('R', "setting\\setframe.dat"));
    EXPECT_TRUE(apptest::CardExists('R', "RIVAVEZU\\EVENT\\EVT0001.mp4"));
}

TEST_F(FormatDialog, AFailedFormatWritesNoSettings) {
    NEEDS_STANDIN();
    SetEnvironmentVariableA("FMIFS_STANDIN_RESULT", "0");
    CConfigDlg dlg;
    Trace trace;
    ModalScript script;
    catcher_.QueueAnswer(IDYES);
    script.Then("open", [&] { return Ready(dlg); });
    StartFormat(script, dlg);
    Follow(script, trace);
    script.Do("close", [&] { PostClick(&dlg, IDC_CLOSE); });
    EXPECT_EQ(IDOK, Run(dlg, script));
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FORMAT_CONFIRM), Text(IDS_FORMAT_ERROR)}),
              BoxTexts());
    EXPECT_EQ(Byte(1), ReadCard('R', "setting\\setframe.dat")) << "settings not rewritten";
    EXPECT_EQ((std::vector<std::string>{
                  "format root=R:\\ type=2 media=11 fs=FAT32 label=D-UVUDOVID quick=0 cluster=0",
                  "return root=R:\\ flag=0"}),
              LogLines());
}

TEST_F(FormatDialog, ADriveChangeDuringTheFormatWaitsForIt) {
    NEEDS_STANDIN();
    // S: is formatted; a card arriving meanwhile would rescan and select R:
    // (the recorder's label). The settings go to the formatted card.
    SetEnvironmentVariableA("FMIFS_STANDIN_PAUSE_MS", "250");
    CConfigDlg dlg;
    Trace trace;
    int selDuring = -2, selAfter = -2, countDuring = -1;
    ModalScript script;
    catcher_.QueueAnswer(IDYES);
    script.Then("open", [&] { return Ready(dlg); }).Do("pick S:", [&] {
        dlg.m_pComboDrive->SetCurSel(1);
    });
    StartFormat(script, dlg);
    script.Then("format dialog opens", [&] { return g_pFormatDlg && g_pFormatDlg->GetSafeHwnd(); })
        .Do("device change",
            [&] {
                apptest::SendCardArrived(dlg.m_hWnd, 'T');
                ::PostMessageA(dlg.m_hWnd, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
            })
        .Wait(100)
        .Do("during", [&] {
            selDuring = dlg.m_pComboDrive->GetCurSel();
            countDuring = dlg.m_pComboDrive->GetCount();
        });
    Follow(script, trace);
    script.Do("after", [&] { selAfter = dlg.m_pComboDrive->GetCurSel(); }).Do("close", [&] {
        PostClick(&dlg, IDC_CLOSE);
    });
    EXPECT_EQ(IDOK, Run(dlg, script));
    EXPECT_EQ(1, selDuring) << "no rescan while formatting";
    EXPECT_EQ(4, countDuring);
    EXPECT_EQ(0, selAfter) << "the rescan came after the format";
    EXPECT_EQ(kFreshCard, ListCard('S'));
    EXPECT_EQ(Byte(3), ReadCard('S', "setting\\setquality.dat"));
    EXPECT_EQ(Byte(1), ReadCard('R', "setting\\setquality.dat")) << "R: untouched";
    const std::vector<std::string> log = {
        "format root=S:\\ type=2 media=11 fs=FAT32 label=D-UVUDOVID quick=0 cluster=0",
        "return root=S:\\ flag=1"};
    EXPECT_EQ(log, LogLines());
}

TEST_F(FormatDialog, SettingsThatCannotBeWrittenAreReported) {
    NEEDS_STANDIN();
    // Once the card is empty and the bar is full, a file named "setting"
    // appears in its root: the settings folder can be neither made nor
    // used, and the user is told the card is bad instead of "done".
    SetEnvironmentVariableA("FMIFS_STANDIN_PAUSE_MS", "300");
    CConfigDlg dlg;
    Trace trace;
    ModalScript script;
    catcher_.QueueAnswer(IDYES);
    script.Then("open", [&] { return Ready(dlg); });
    StartFormat(script, dlg);
    script.Then("bar full", [&] {
        if (!g_pFormatDlg || !g_pFormatDlg->GetSafeHwnd()) return false;
        if (g_pFormatDlg->m_pProgress->GetPos() != 100) return false;
        return WriteCard('R', "setting", "in the way");
    });
    Follow(script, trace);
    script.Do("close", [&] { PostClick(&dlg, IDC_CLOSE); });
    EXPECT_EQ(IDOK, Run(dlg, script));
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FORMAT_CONFIRM), Text(IDS_BAD_DISK)}), BoxTexts());
    EXPECT_EQ("in the way", ReadCard('R', "setting"));
}

TEST_F(FormatDialog, WithoutFmifsNothingIsFormatted) {
    if (StandinBesideMe()) GTEST_SKIP() << "runs where no fmifs.dll is found";
    CConfigDlg dlg;
    Trace trace;
    ModalScript script;
    catcher_.QueueAnswer(IDYES);
    script.Then("open", [&] { return Ready(dlg); });
    StartFormat(script, dlg);
    Follow(script, trace);
    script.Do("close", [&] { PostClick(&dlg, IDC_CLOSE); });
    EXPECT_EQ(IDOK, Run(dlg, script));
    EXPECT_TRUE(trace.formatEnded);
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FORMAT_CONFIRM), Text(IDS_FORMAT_ERROR)}),
              BoxTexts());
    EXPECT_EQ(Byte(1), ReadCard('R', "setting\\setframe.dat")) << "nothing written";
    EXPECT_TRUE(apptest::CardExists('R', "RIVAVEZU\\EVENT\\EVT0001.mp4"));
    EXPECT_TRUE(LogLines().empty());
}

}  // namespace
