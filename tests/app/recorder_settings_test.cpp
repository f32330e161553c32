// The recorder's card files: settings loaded over the defaults and written
// in their order with the folder made on the way, the clock text and its
// field ranges, the drive list, and the format's target and report rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/recorder_settings.h"

using namespace recorder;

namespace {

// A card in memory: files by path, folders that exist, paths that refuse
// to open, and what was asked of it in order.
class MemoryCard : public CardFiles {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::set<std::string> refuse;  // paths whose open fails whatever the folder
    std::vector<std::string> calls;

    static std::string FolderOf(const std::string& path) {
        return path.substr(0, path.rfind('\\'));
    }
    bool ReadByte(const std::string& path, int* byte) override {
        calls.push_back("read " + path);
        auto it = files.find(path);
        if (it == files.end() || refuse.count(path)) return false;
        *byte = it->second.empty() ? -1 : static_cast<unsigned char>(it->second[0]);
        return true;
    }
    bool Write(const std::string& path, const void* data, size_t size, int* cause) override {
        calls.push_back("write " + path);
        if (refuse.count(path) || !folders.count(FolderOf(path))) {
            *cause = 3;
            return false;
        }
        files[path].assign(static_cast<const char*>(data), size);
        return true;
    }
    void RunCommand(const std::string& command) override {
        calls.push_back(command);
        if (command.compare(0, 3, "md ") == 0) folders.insert(command.substr(3));
    }
    void Put(const std::string& name, std::string content, char letter = 'R') {
        folders.insert(SettingFolder(letter));
        files[SettingPath(letter, name.c_str())] = std::move(content);
    }
};

Settings Make(int quality, int sensitivity, int sound, int frame) {
    Settings s;
    s.quality = static_cast<signed char>(quality);
    s.sensitivity = static_cast<signed char>(sensitivity);
    s.sound = static_cast<signed char>(sound);
    s.frame = static_cast<signed char>(frame);
    return s;
}

}  // namespace

TEST(RecorderSettings, LoadOverDefaults) {
    const char* const kFrame = "setframe.dat";
    const char* const kSound = "setsound.dat";
    const char* const kQuality = "setquality.dat";
    const char* const kSens = "setsensitivity.dat";
    const struct {
        const char* name;
        std::vector<std::pair<const char*, std::string>> card;
        Settings want;
        int read;
    } cases[] = {
        {"all four",
         {{kFrame, "\1"}, {kSound, "\3"}, {kQuality, "\1"}, {kSens, "\3"}},
         Make(1, 3, 3, 1),
         4},
        {"no files at all: defaults", {}, Make(3, 2, 2, 3), 0},
        // The load stops at the first missing file: the later ones are
        // there but keep the defaults.
        {"sound missing: it and those after it default",
         {{kFrame, "\1"}, {kQuality, "\1"}, {kSens, "\1"}},
         Make(3, 2, 2, 1),
         1},
        {"sensitivity missing",
         {{kFrame, "\2"}, {kSound, "\1"}, {kQuality, "\2"}},
         Make(2, 2, 1, 2),
         3},
        {"frame missing: nothing read",
         {{kSound, "\1"}, {kQuality, "\1"}, {kSens, "\1"}},
         Make(3, 2, 2, 3),
         0},
        // Bytes outside 1 to 3 keep the default, as does an empty file.
        {"zero, four, 0xFF, empty",
         {{kFrame, std::string(1, '\0')}, {kSound, "\4"}, {kQuality, "\xFF"}, {kSens, ""}},
         Make(3, 2, 2, 3),
         4},
        {"digits are not values",
         {{kFrame, "1"}, {kSound, "2"}, {kQuality, "3"}, {kSens, "\1"}},
         Make(3, 1, 2, 3),
         4},
        {"only the first byte counts",
         {{kFrame, "\1\3"}, {kSound, "\3\1"}, {kQuality, "\2\2"}, {kSens, "\1"}},
         Make(2, 1, 3, 1),
         4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryCard card;
        for (const auto& f : c.card) card.Put(f.first, f.second);
        Settings s;  // the defaults
        EXPECT_EQ(c.read, LoadSettings(card, 'R', &s));
        EXPECT_EQ(c.want.quality, s.quality);
        EXPECT_EQ(c.want.sensitivity, s.sensitivity);
        EXPECT_EQ(c.want.sound, s.sound);
        EXPECT_EQ(c.want.frame, s.frame);
    }
}

TEST(RecorderSettings, ByteAndRadioMapping) {
    const struct {
        int byte;
        signed char want;  // over a current value of 2
        int radio;         // of the byte taken as a value
    } cases[] = {
        {1, 1, 2},  {2, 2, 1},   {3, 3, 0},    {0, 2, -1},
        {4, 2, -1}, {-1, 2, -1}, {255, 2, -1}, {-127, 2, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.byte);
        EXPECT_EQ(c.want, SettingFromByte(c.byte, 2));
        EXPECT_EQ(c.radio, RadioOfSetting(c.byte));
    }
}

TEST(RecorderSettings, SaveWritesFourOneByteFiles) {
    const struct {
        const char* name;
        bool folder;                       // the card has its "setting" folder
        std::string refuse;                // a file whose open fails
        std::vector<std::string> written;  // files that end with the new byte
        int result;
        bool madeFolder;
    } cases[] = {
        {"folder there",
         true,
         "",
         {"setframe.dat", "setsound.dat", "setquality.dat", "setsensitivity.dat"},
         0,
         false},
        {"folder made by the command",
         false,
         "",
         {"setframe.dat", "setsound.dat", "setquality.dat", "setsensitivity.dat"},
         0,
         true},
        {"quality refused: the ones before it stay written",
         true,
         "setquality.dat",
         {"setframe.dat", "setsound.dat"},
         -1,
         false},
        {"frame refused even after md: nothing written", true, "setframe.dat", {}, -1, true},
    };
    const Settings values = Make(1, 3, 2, 1);
    const std::map<std::string, char> want = {
        {"setframe.dat", 1}, {"setsound.dat", 2}, {"setquality.dat", 1}, {"setsensitivity.dat", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryCard card;
        if (c.folder) card.folders.insert("S:\\setting");
        if (!c.refuse.empty()) card.refuse.insert(SettingPath('S', c.refuse.c_str()));
        EXPECT_EQ(c.result, SaveSettings(card, 'S', values));
        EXPECT_EQ(c.written.size(), card.files.size());
        for (const std::string& name : c.written) {
            const auto it = card.files.find(SettingPath('S', name.c_str()));
            ASSERT_NE(it, card.files.end()) << name;
            EXPECT_EQ(std::string(1, want.at(name)), it->second) << name;
        }
        const bool ranMd =
            std::find(card.calls.begin(), card.calls.end(), "md S:\\setting") != card.calls.end();
        EXPECT_EQ(c.madeFolder, ranMd);
    }
}

TEST(RecorderSettings, SaveOrderAndDriveGuard) {
    MemoryCard card;
    EXPECT_EQ(0, SaveSettings(card, 'T', Settings()));
    const std::vector<std::string> want = {
        "write T:\\setting\\setframe.dat",   "md T:\\setting",
        "write T:\\setting\\setframe.dat",   "write T:\\setting\\setsound.dat",
        "write T:\\setting\\setquality.dat", "write T:\\setting\\setsensitivity.dat"};
    EXPECT_EQ(want, card.calls);
    // The defaults a format leaves: quality 3, sensitivity 2, sound 2, frame 3.
    EXPECT_EQ("\3", card.files["T:\\setting\\setquality.dat"]);
    EXPECT_EQ("\2", card.files["T:\\setting\\setsensitivity.dat"]);
    EXPECT_EQ("\2", card.files["T:\\setting\\setsound.dat"]);
    EXPECT_EQ("\3", card.files["T:\\setting\\setframe.dat"]);

    // No drive selected: the letter read for index -1 is no letter at all.
    for (char bad : {'\0', '\xFF', '1', ':'}) {
        MemoryCard none;
        EXPECT_EQ(-1, SaveSettings(none, bad, Settings())) << int(bad);
        EXPECT_TRUE(none.calls.empty()) << int(bad);
        Settings s = Make(1, 1, 1, 1);
        EXPECT_EQ(0, LoadSettings(none, bad, &s));
        EXPECT_TRUE(none.calls.empty());
    }
}

TEST(RecorderClock, FieldValues) {
    const struct {
        const char* text;
        int want;
    } cases[] = {
        {"2010년", 2010},
        {"5월", 5},
        {"09시", 9},
        {"0초", 0},
        {"년", 0},
        {"", 0},
        {"  12", 12},
        {"-3", -3},
        {"+7분", 7},
        {"99999999999999", 2147483647},
        {"-99999999999999", -2147483647 - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(c.want, ClockFieldValue(c.text)) << c.text;
    EXPECT_EQ(0, ClockFieldValue(nullptr));
}

TEST(RecorderClock, Ranges) {
    const struct {
        const char* name;
        ClockFields f;
        bool valid;
    } cases[] = {
        {"1 May 2010", {2010, 5, 1, 9, 5, 0}, true},
        {"lowest", {2000, 1, 1, 0, 0, 0}, true},
        {"highest", {2050, 12, 31, 23, 59, 59}, true},
        {"31 February", {2010, 2, 31, 0, 0, 0}, true},
        {"31 April", {2010, 4, 31, 0, 0, 0}, true},
        {"1999", {1999, 5, 1, 0, 0, 0}, false},
        {"2051", {2051, 5, 1, 0, 0, 0}, false},
        {"month 0", {2010, 0, 1, 0, 0, 0}, false},
        {"month 13", {2010, 13, 1, 0, 0, 0}, false},
        {"day 0", {2010, 5, 0, 0, 0, 0}, false},
        {"day 32", {2010, 5, 32, 0, 0, 0}, false},
        {"hour 24", {2010, 5, 1, 24, 0, 0}, false},
        {"minute 60", {2010, 5, 1, 0, 60, 0}, false},
        {"second 60", {2010, 5, 1, 0, 0, 60}, false},
        {"second -1", {2010, 5, 1, 0, 0, -1}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.valid, ClockValid(c.f)) << c.name;
    // Day 31 passes in every month.
    for (int m = 1; m <= 12; ++m) EXPECT_TRUE(ClockValid({2024, m, 31, 12, 0, 0})) << m;
}

TEST(RecorderClock, FileText) {
    const struct {
        ClockFields f;
        const char* text;
    } cases[] = {
        {{2010, 5, 1, 9, 5, 0}, "2010-05-01-09-05-00"},
        {{2005, 12, 31, 23, 59, 59}, "2005-12-31-23-59-59"},
        {{2050, 1, 1, 0, 0, 0}, "2050-01-01-00-00-00"},
    };
    for (const auto& c : cases) {
        MemoryCard card;
        card.folders.insert("R:\\setting");
        EXPECT_EQ(ClockResult::Written, SaveClock(card, 'R', c.f));
        // Exactly the 19 characters: no terminator, no line end.
        EXPECT_EQ(std::string(c.text), card.files["R:\\setting\\settime.dat"]);
        EXPECT_EQ(19u, card.files["R:\\setting\\settime.dat"].size());
    }
}

TEST(RecorderClock, SaveOutcomes) {
    const ClockFields good{2010, 5, 1, 9, 5, 0};
    const ClockFields bad{1999, 5, 1, 9, 5, 0};
    const struct {
        const char* name;
        char letter;
        ClockFields f;
        bool folder, refuse;
        ClockResult want;
        size_t files;
    } cases[] = {
        {"written", 'R', good, true, false, ClockResult::Written, 1},
        {"folder made", 'R', good, false, false, ClockResult::Written, 1},
        {"refused", 'R', good, true, true, ClockResult::NotWritten, 0},
        {"bad value", 'R', bad, true, false, ClockResult::BadValue, 0},
        {"no drive", '\0', good, true, false, ClockResult::NoDrive, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryCard card;
        if (c.folder) card.folders.insert("R:\\setting");
        if (c.refuse) card.refuse.insert("R:\\setting\\settime.dat");
        EXPECT_EQ(c.want, SaveClock(card, c.letter, c.f));
        EXPECT_EQ(c.files, card.files.size());
    }
}

TEST(RecorderDrives, Listing) {
    const struct {
        const char* name;
        std::vector<DriveInfo> drives;
        std::vector<std::string> texts;
        int recorder;
    } cases[] = {
        {"the test prefix",
         {{'C', DRIVE_KIND_FIXED, "C"},
          {'R', DRIVE_KIND_REMOVABLE, "D-UVUDOVID"},
          {'S', DRIVE_KIND_REMOVABLE, "d-uvudovid"},
          {'T', DRIVE_KIND_REMOVABLE, "TRELLMARCARD01"},
          {'U', DRIVE_KIND_REMOVABLE, ""},
          {'Z', DRIVE_KIND_FIXED, ""}},
         {"(D-UVUDOVID) R:\\\\", "(d-uvudovid) S:\\\\", "(TRELLMARCA) T:\\\\", "() U:\\\\"},
         0},
        {"A and B never, whatever their type",
         {{'A', DRIVE_KIND_REMOVABLE, "D-UVUDOVID"},
          {'B', DRIVE_KIND_RAMDISK, "x"},
          {'a', DRIVE_KIND_REMOVABLE, "y"},
          {'D', DRIVE_KIND_REMOVABLE, "card"}},
         {"(card) D:\\\\"},
         -1},
        {"unknown, remote, CD never; no root and RAM disk listed",
         {{'D', DRIVE_KIND_UNKNOWN, "u"},
          {'E', DRIVE_KIND_REMOTE, "net"},
          {'F', DRIVE_KIND_CDROM, "D-UVUDOVID"},
          {'G', DRIVE_KIND_NO_ROOT, "nr"},
          {'H', DRIVE_KIND_RAMDISK, "ram"}},
         {"(nr) G:\\\\", "(ram) H:\\\\"},
         -1},
        {"two recorder cards: the first wins",
         {{'E', DRIVE_KIND_REMOVABLE, "other"},
          {'F', DRIVE_KIND_REMOVABLE, "D-UVUDOVID"},
          {'G', DRIVE_KIND_REMOVABLE, "D-UVUDOVID"}},
         {"(other) E:\\\\", "(D-UVUDOVID) F:\\\\", "(D-UVUDOVID) G:\\\\"},
         1},
        {"whole label only, case counts",
         {{'E', DRIVE_KIND_REMOVABLE, "D-UVUDOVID2"},
          {'F', DRIVE_KIND_REMOVABLE, "D-UVUDOVId"},
          {'G', DRIVE_KIND_REMOVABLE, "D-UVUDOVI"}},
         {"(D-UVUDOVID) E:\\\\", "(D-UVUDOVId) F:\\\\", "(D-UVUDOVI) G:\\\\"},
         -1},
        {"fixed card labelled as the recorder is not listed",
         {{'C', DRIVE_KIND_FIXED, "D-UVUDOVID"}, {'R', DRIVE_KIND_REMOVABLE, "D-UVUDOVID"}},
         {"(D-UVUDOVID) R:\\\\"},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DriveList list = BuildDriveList(c.drives);
        std::vector<std::string> texts;
        for (const auto& e : list.entries) texts.push_back(e.text);
        EXPECT_EQ(c.texts, texts);
        EXPECT_EQ(c.recorder, list.recorderIndex);
        for (size_t i = 0; i < list.entries.size(); ++i)
            EXPECT_EQ(list.entries[i].text[list.entries[i].text.size() - 4],
                      list.entries[i].letter);
    }
    // More roots than letters: the table never grows past 26.
    std::vector<DriveInfo> many(40, DriveInfo{'Q', DRIVE_KIND_REMOVABLE, "x"});
    EXPECT_EQ(26u, BuildDriveList(many).entries.size());
}

TEST(RecorderDrives, Roots) {
    const char buf[] = "C:\\\0R:\\\0z:\\\0\0\0\0\0";
    EXPECT_EQ((std::vector<std::string>{"C:\\", "R:\\", "z:\\"}), SplitDriveRoots(buf, sizeof buf));
    // A buffer cut in the middle of a root gives what is there, no more.
    EXPECT_EQ((std::vector<std::string>{"C:\\", "R:"}), SplitDriveRoots(buf, 6));
    EXPECT_TRUE(SplitDriveRoots("\0\0\0\0", 4).empty());
    EXPECT_TRUE(SplitDriveRoots(nullptr, 8).empty());
    EXPECT_EQ("R:\\", DriveRoot('r'));
}

TEST(CardFormat, TargetRules) {
    const struct {
        char letter;
        unsigned type;
        bool allowed;
    } cases[] = {
        {'R', DRIVE_KIND_REMOVABLE, true},   {'C', DRIVE_KIND_REMOVABLE, true},
        {'Z', DRIVE_KIND_REMOVABLE, true},   {'C', DRIVE_KIND_FIXED, false},
        {'Z', DRIVE_KIND_FIXED, false},      {'R', DRIVE_KIND_REMOTE, false},
        {'R', DRIVE_KIND_CDROM, false},      {'R', DRIVE_KIND_RAMDISK, false},
        {'R', DRIVE_KIND_NO_ROOT, false},    {'R', DRIVE_KIND_UNKNOWN, false},
        {'A', DRIVE_KIND_REMOVABLE, false},  {'B', DRIVE_KIND_REMOVABLE, false},
        {'\0', DRIVE_KIND_REMOVABLE, false}, {'[', DRIVE_KIND_REMOVABLE, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.allowed, FormatTargetAllowed(c.letter, c.type)) << c.letter << c.type;
}

TEST(CardFormat, Reports) {
    const uint32_t fifty = 50;
    const unsigned char ok = 1, two = 2, zero = 0;
    const struct {
        const char* name;
        uint32_t command;
        const void* data;
        bool post;
        uint32_t percent;
        bool finished, succeeded;
    } cases[] = {
        {"progress", FMIFS_PROGRESS, &fifty, true, 50, false, false},
        {"progress without data", FMIFS_PROGRESS, nullptr, false, 0, false, false},
        {"done, success", FMIFS_DONE, &ok, false, 0, true, true},
        {"done, flag 0", FMIFS_DONE, &zero, false, 0, true, false},
        {"done, flag 2", FMIFS_DONE, &two, false, 0, true, false},
        {"done without flag", FMIFS_DONE, nullptr, false, 0, true, false},
        {"output", FMIFS_OUTPUT, &fifty, false, 0, false, false},
        {"other", 7, &ok, false, 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FormatReportAction a = ReadFormatReport(c.command, c.data);
        EXPECT_EQ(c.post, a.postProgress);
        EXPECT_EQ(c.percent, a.percent);
        EXPECT_EQ(c.finished, a.finished);
        EXPECT_EQ(c.succeeded, a.succeeded);
    }
}
