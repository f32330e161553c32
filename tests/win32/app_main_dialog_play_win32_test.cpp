// The main dialog playing the sample card's clips on the real engine: a
// double click plays a row, Next steps and wraps, the end of a clip
// advances one row, an unplayable clip leaves the list by its own row and
// the next one plays, and a single opened clip at its end.
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ThemeClass/ThemeButton.h"
#include "app/DlgDetail.h"
#include "tests/win32/app_main_dialog_test.h"

using maindlg::Dialog;
using maindlg::Pump;
using maindlg::PumpUntil;

namespace {

const std::string kCard = std::string(DC_TESTDATA) + "/card/RIVAVEZU";

// Clips of the card, each under a new name with the last-write time that
// orders the rows; "" makes a damaged clip of 4096 bytes.
struct ClipFile {
    const char* name;
    const char* from;
    int minute;  // of 2024-03-15 00:mm UTC: the row order
};

std::string MakeFolder(const char* name, const std::vector<ClipFile>& clips) {
    const std::string dir = maindlg::TempFolder(name);
    for (const ClipFile& c : clips) {
        const std::string from = *c.from ? uitest::WinePath(kCard + "/" + c.from) : std::string();
        EXPECT_TRUE(maindlg::WriteClip(dir + "\\" + c.name, 4096,
                                       maindlg::Utc(2024, 3, 15, 0, c.minute, 0), from))
            << c.name;
    }
    return dir;
}

// Cuts the media data of a clip laid out as ftyp, mdat, moov to its first
// tenth and keeps the index after it, as a recording ended early leaves it:
// the clip opens, and most of its samples lie past the end of the file.
bool CutMediaData(const std::string& path) {
    std::vector<unsigned char> b;
    {
        FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) return false;
        unsigned char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) b.insert(b.end(), buf, buf + n);
        std::fclose(f);
    }
    auto be32 = [&](size_t at) {
        return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 |
               uint32_t(b[at + 3]);
    };
    size_t mdat = 0, mdatSize = 0, moov = 0, moovSize = 0;
    for (size_t at = 0; at + 8 <= b.size();) {
        const uint32_t n = be32(at);
        if (std::memcmp(&b[at + 4], "mdat", 4) == 0) mdat = at, mdatSize = n;
        if (std::memcmp(&b[at + 4], "moov", 4) == 0) moov = at, moovSize = n;
        if (n < 8) break;
        at += n;
    }
    if (!mdatSize || !moovSize || moov < mdat || moov + moovSize > b.size()) return false;
    const size_t keep = (mdatSize - 8) / 10;
    std::vector<unsigned char> out(b.begin(), b.begin() + long(mdat + 8 + keep));
    out.insert(out.end(), b.begin() + long(moov), b.begin() + long(moov + moovSize));
    const uint32_t n = uint32_t(keep + 8);
    const unsigned char size[4] = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
    std::memcpy(&out[mdat], size, 4);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FILETIME written;
    GetFileTime(h, nullptr, nullptr, &written);
    DWORD put = 0;
    WriteFile(h, out.data(), DWORD(out.size()), &put, nullptr);
    SetEndOfFile(h);
    SetFileTime(h, nullptr, nullptr, &written);
    CloseHandle(h);
    return put == out.size();
}

std::string FileOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string PlayingFile(const Dialog& d) {
    CThemeListCtrl* l = d.dlg->GetPlayList();
    const int row = d.dlg->GetCurItem();
    if (row < 0 || row >= l->GetItemCount()) return "<none>";
    return FileOf(d.dlg->GetEntry(int(l->GetItemData(row))).strPath);
}

bool WaitPlaying(Dialog& d) {
    return PumpUntil([&] {
        return d.dlg->GetPlayer()->GetState() == CTRL_STATE_PLAYING &&
               d.dlg->GetPlayer()->GetPosition() > 0;
    });
}

}  // namespace

TEST(MainDialogPlay, NextWrapsAndTheEndAdvancesOneRow) {
    const std::string dir = MakeFolder("next", {{"a.mp4", "INFINITE/INFI_20240315_093008.mp4", 1},
                                                {"b.mp4", "REC_20240315_093000.mp4", 2},
                                                {"c.mp4", "INFINITE/INFI_20240315_093008.mp4", 3}});
    Dialog d;
    d.dlg->ChooseFolder(dir.c_str());
    ASSERT_EQ(d.Rows().size(), 3u);
    d.DoubleClickRow(0);
    EXPECT_TRUE(d.dlg->IsPlayFromList());
    ASSERT_TRUE(WaitPlaying(d));
    EXPECT_EQ(PlayingFile(d), "a.mp4");
    EXPECT_EQ(d.dlg->GetPlayFace(), UINT(IDB_PAUSE));
    // The records reach the labels and the speedometer, and the graph
    // carries the clip's three curves.
    EXPECT_TRUE(PumpUntil([&] { return d.Text(IDC_DATE_LABEL).rfind("2024/03/15 09:30:", 0) == 0; }))
        << d.Text(IDC_DATE_LABEL);
    EXPECT_TRUE(PumpUntil([&] { return d.dlg->GetSpeedKmh() > 1.0f; }));
    {
        // The detail dialog's values follow the records while the clip plays.
        CDlgDetail& detail = d.dlg->GetDetailDialog();
        auto text = [](CThemeStatic* s) { return s ? std::string(s->GetText()) : "<no label>"; };
        EXPECT_TRUE(PumpUntil([&] { return text(detail.m_pValueLat) != "+000.000000 N"; }));
        const struct {
            const char* name;
            CThemeStatic* label;
            const char* pattern;
        } values[] = {{"latitude", detail.m_pValueLat, R"([+-]\d{3}\.\d{6} [NS])"},
                      {"longitude", detail.m_pValueLng, R"([+-]\d{3}\.\d{6} [EW])"},
                      {"x", detail.m_pValueX, R"([+-]\d+\.\d{3})"},
                      {"y", detail.m_pValueY, R"([+-]\d+\.\d{3})"},
                      {"z", detail.m_pValueZ, R"([+-]\d+\.\d{3})"},
                      {"speed", detail.m_pValueSpeed, R"( {0,2}\d+)"}};
        for (const auto& v : values)
            EXPECT_TRUE(std::regex_match(text(v.label), std::regex(v.pattern)))
                << v.name << ": " << text(v.label);
    }
    {
        const uitest::Picture pic = uitest::CaptureClient(d.hwnd());
        const RECT graph = {14, 602, 14 + 549, 602 + 97};
        for (COLORREF pen : {COLORREF(0xBC7200), COLORREF(0x1EC81E), COLORREF(0x1E1EC8)})
            EXPECT_GT(pic.CountColor(pen, graph, 8), 20) << std::hex << pen;
    }
    // Next: b, c, then back to a.
    for (const char* expected : {"b.mp4", "c.mp4", "a.mp4", "b.mp4", "c.mp4"}) {
        d.Command(IDC_NEXT);
        EXPECT_TRUE(WaitPlaying(d)) << expected;
        EXPECT_EQ(PlayingFile(d), expected);
    }
    // c (3 s) plays to its end: the list moves on by one row, to a, once.
    ASSERT_TRUE(PumpUntil([&] { return d.dlg->GetCurItem() == 0; }, 15000));
    EXPECT_TRUE(WaitPlaying(d));
    Pump(1000);
    EXPECT_EQ(d.dlg->GetCurItem(), 0);
    EXPECT_EQ(PlayingFile(d), "a.mp4");
}

TEST(MainDialogPlay, UnplayableClipLeavesByItsOwnRow) {
    struct Case {
        const char* name;
        bool rebuildFirst;  // FOLDER rebuilds the list before the failure arrives
        bool cutRecording;  // the clip opens, but its media data ends early
    };
    const Case cases[] = {{"double click on the damaged row", false, false},
                          {"list rebuilt while the damaged clip opens", true, false},
                          {"double click on a recording cut short", false, true}};
    for (const Case& c : cases) {
        const std::string dir = MakeFolder(
            "bad", {{"a.mp4", "INFINITE/INFI_20240315_093008.mp4", 1},
                    {"bad.mp4", c.cutRecording ? "INFINITE/INFI_20240315_093008.mp4" : "", 2},
                    {"c.mp4", "INFINITE/INFI_20240315_093008.mp4", 3}});
        if (c.cutRecording) {
            ASSERT_TRUE(CutMediaData(dir + "\\bad.mp4"));
        }
        uitest::MessageBoxCatcher boxes;
        AfxSetMessageBoxHook(&uitest::AnswerMessageBox);
        Dialog d;
        d.dlg->ChooseFolder(dir.c_str());
        ASSERT_EQ(d.Rows().size(), 3u) << c.name;
        // The damaged clip is row 1.
        CThemeListCtrl* l = d.dlg->GetPlayList();
        l->SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        l->SetSelectionMark(1);
        NMHDR hdr = {l->m_hWnd, UINT_PTR(IDC_PLAYLIST), UINT(NM_DBLCLK)};
        d.dlg->SendMessage(WM_NOTIFY, IDC_PLAYLIST, reinterpret_cast<LPARAM>(&hdr));
        if (c.rebuildFirst) d.dlg->ChooseFolder(dir.c_str());
        ASSERT_TRUE(PumpUntil([&] { return boxes.count() > 0; })) << c.name;
        const std::string expected = [] {
            char buf[256] = {};
            LoadStringA(GetModuleHandleA(nullptr), IDS_DAMAGED_FILE, buf, sizeof buf);
            return std::string(buf);
        }();
        EXPECT_EQ(boxes.boxes()[0].text, expected) << c.name;
        ASSERT_TRUE(WaitPlaying(d)) << c.name;
        std::vector<std::string> files;
        for (const std::string& p : d.RowPaths()) files.push_back(FileOf(p));
        EXPECT_EQ(files, (std::vector<std::string>{"a.mp4", "c.mp4"})) << c.name;
        EXPECT_EQ(PlayingFile(d), "c.mp4") << c.name;
        // The Play button refills the list without the removed clip.
        d.Command(IDC_RADIO_PLAY);
        EXPECT_EQ(d.Rows().size(), 2u) << c.name;
        d.dlg->Close();
        AfxSetMessageBoxHook(nullptr);
    }
}

TEST(MainDialogPlay, SingleClipAtItsEnd) {
    // What the engine does at the end of a clip opened by hand: the open
    // record asks it to pause after a seek at the end, and the end-of-stream
    // rewind is such a seek, so the clip stands paused at its start.
    Dialog d;
    const std::string clip = uitest::WinePath(kCard + "/INFINITE/INFI_20240315_093008.mp4");
    d.dlg->OpenSingleFile(clip.c_str());
    ASSERT_TRUE(WaitPlaying(d));
    EXPECT_FALSE(d.dlg->IsPlayFromList());
    EXPECT_EQ(d.Rows().size(), 1u);
    EXPECT_EQ(d.dlg->GetPlayFace(), UINT(IDB_PAUSE));
    ASSERT_TRUE(PumpUntil([&] { return d.dlg->GetPlayFace() == UINT(IDB_PLAY); }, 30000));
    Pump(1500);
    CPlayerCtrl* p = d.dlg->GetPlayer();
    EXPECT_EQ(p->GetState(), CTRL_STATE_PAUSED);
    EXPECT_LT(p->GetPosition(), 100);
    EXPECT_EQ(d.Text(IDC_TIME_LABEL).substr(0, 6), "00:00/");
    EXPECT_EQ(d.dlg->GetPlayFace(), UINT(IDB_PLAY));
    // Play starts the clip again from its start.
    d.Command(IDC_PLAY_PAUSE);
    ASSERT_TRUE(WaitPlaying(d));
    EXPECT_EQ(d.dlg->GetPlayFace(), UINT(IDB_PAUSE));
    EXPECT_LT(p->GetPosition(), 1500);
}
