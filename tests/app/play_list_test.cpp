// The play list's rules: date texts of clips, the search patterns of the
// three passes, which matches become records (length, dots, the record
// cap), and the row bookkeeping of Next and of removing an unplayable clip.
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/play_list.h"

namespace {

// A folder tree held in memory: pattern -> matches.
class FakeFinder : public ClipFinder {
public:
    std::map<std::string, std::vector<ClipMatch>> folders;
    std::vector<std::string> asked;
    bool Find(const std::string& pattern, std::vector<ClipMatch>* out) override {
        asked.push_back(pattern);
        auto it = folders.find(pattern);
        if (it == folders.end()) return false;
        *out = it->second;
        return true;
    }
};

ClipMatch File(const std::string& dir, const std::string& name, uint64_t length,
               ClipTime t = {2024, 3, 15, 0, 30, 0}) {
    ClipMatch m;
    m.name = name;
    m.path = dir + name;
    m.length = length;
    m.written = t;
    return m;
}

}  // namespace

TEST(PlayList, DateText) {
    struct Case {
        const char* name;
        ClipTime utc;
        const char* text;
    };
    const Case cases[] = {
        {"same day", {2024, 3, 15, 0, 30, 5}, "2024/03/15 - 09:30:05"},
        {"hour 15 becomes 0 of the next day", {2024, 3, 15, 15, 0, 0}, "2024/03/16 - 00:00:00"},
        {"new year", {2011, 12, 31, 20, 30, 0}, "2012/01/01 - 05:30:00"},
        {"leap year: 29 February", {2012, 2, 28, 16, 0, 0}, "2012/02/29 - 01:00:00"},
        {"common year: 1 March", {2013, 2, 28, 16, 0, 0}, "2013/03/01 - 01:00:00"},
        {"leap day rolls to March", {2012, 2, 29, 16, 0, 0}, "2012/03/01 - 01:00:00"},
        {"1900 is no leap year", {1900, 2, 28, 16, 0, 0}, "1900/03/01 - 01:00:00"},
        {"2000 is a leap year", {2000, 2, 28, 16, 0, 0}, "2000/02/29 - 01:00:00"},
        {"30-day month", {2024, 4, 30, 23, 59, 59}, "2024/05/01 - 08:59:59"},
        {"year 2050 shows 0", {2050, 6, 1, 0, 0, 0}, "0000/06/01 - 09:00:00"},
        {"2049 rolling into 2050 shows 0", {2049, 12, 31, 20, 0, 0}, "0000/01/01 - 05:00:00"},
        {"2049 stays", {2049, 12, 31, 1, 0, 0}, "2049/12/31 - 10:00:00"},
        {"month out of range does not overrun", {2024, 13, 31, 20, 0, 0}, "2025/01/01 - 05:00:00"},
    };
    for (const Case& c : cases) EXPECT_EQ(PlayList_DateText(c.utc), c.text) << c.name;
}

TEST(PlayList, SearchPatterns) {
    struct Case {
        const char* folder;
        const char* pass[3];
    };
    const Case cases[] = {
        {"E:\\", {"E:\\\\*.mp4", "E:\\INFINITE\\INFI*.mp4", "E:\\EVENT\\EVT*.mp4"}},
        {"R:\\RIVAVEZU",
         {"R:\\RIVAVEZU\\*.mp4", "R:\\RIVAVEZU\\INFINITE\\INFI*.mp4",
          "R:\\RIVAVEZU\\EVENT\\EVT*.mp4"}},
        {"", {"\\*.mp4", "\\INFINITE\\INFI*.mp4", "\\EVENT\\EVT*.mp4"}},
    };
    for (const Case& c : cases)
        for (int p = 0; p < 3; ++p) {
            EXPECT_EQ(PlayList_SearchPattern(c.folder, p), c.pass[p]) << c.folder << " pass " << p;
        }
    EXPECT_EQ(PlayList_SearchPattern("C:\\x", 3), "");
    EXPECT_EQ(PlayList_PassKind(0), 0);
    EXPECT_EQ(PlayList_PassKind(1), 1);
    EXPECT_EQ(PlayList_PassKind(2), 1);
}

TEST(PlayList, BuildTakesClipsLongerThan1024Bytes) {
    const std::string dir = "R:\\RIVAVEZU\\";
    FakeFinder f;
    f.folders["R:\\RIVAVEZU\\*.mp4"] = {File(dir, ".", 0), File(dir, "..", 0),
                                       File(dir, "A.mp4", 1024), File(dir, "B.mp4", 1025),
                                       File(dir, "C.mp4", 0), File(dir, "D.mp4", 5000000000ull)};
    f.folders["R:\\RIVAVEZU\\INFINITE\\INFI*.mp4"] = {
        File(dir + "INFINITE\\", "INFI1.mp4", 2000, {2011, 12, 31, 20, 30, 0})};
    f.folders["R:\\RIVAVEZU\\EVENT\\EVT*.mp4"] = {File(dir + "EVENT\\", "EVT1.mp4", 2000)};
    std::vector<PlayListEntry> rec(PLAYLIST_RECORDS);
    const int n = PlayList_Build("R:\\RIVAVEZU", f, rec.data(), int(rec.size()));
    ASSERT_EQ(n, 4);
    struct Row {
        const char* path;
        int kind;
        const char* date;
    };
    const Row rows[] = {
        {"R:\\RIVAVEZU\\B.mp4", 0, "2024/03/15 - 09:30:00"},
        {"R:\\RIVAVEZU\\D.mp4", 0, "2024/03/15 - 09:30:00"},
        {"R:\\RIVAVEZU\\INFINITE\\INFI1.mp4", 1, "2012/01/01 - 05:30:00"},
        {"R:\\RIVAVEZU\\EVENT\\EVT1.mp4", 1, "2024/03/15 - 09:30:00"},
    };
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(rec[i].strPath, rows[i].path) << i;
        EXPECT_EQ(rec[i].nKind, rows[i].kind) << i;
        EXPECT_EQ(rec[i].strDateText, rows[i].date) << i;
        EXPECT_TRUE(rec[i].strExtra.empty());
    }
    EXPECT_EQ(f.asked.size(), 3u);
}

TEST(PlayList, BuildStopsAtTheRecordCapacity) {
    struct Case {
        const char* name;
        int inFolder, inInfinite, inEvent;
        int capacity;
        int expected;
    };
    const Case cases[] = {
        {"2048 in the folder", 2048, 0, 0, PLAYLIST_RECORDS, 2048},
        {"2049 in the folder", 2049, 0, 0, PLAYLIST_RECORDS, 2048},
        {"spread over passes", 1000, 1000, 1000, PLAYLIST_RECORDS, 2048},
        {"small table", 3, 3, 3, 5, 5},
        {"none", 0, 0, 0, PLAYLIST_RECORDS, 0},
    };
    for (const Case& c : cases) {
        FakeFinder f;
        const int counts[3] = {c.inFolder, c.inInfinite, c.inEvent};
        for (int p = 0; p < 3; ++p) {
            auto& v = f.folders[PlayList_SearchPattern("F:\\", p)];
            for (int i = 0; i < counts[p]; ++i)
                v.push_back(File("F:\\", "c" + std::to_string(p) + "_" + std::to_string(i) + ".mp4",
                                 4096));
        }
        // A guard record past the capacity must stay untouched.
        std::vector<PlayListEntry> rec(size_t(c.capacity) + 1);
        rec[size_t(c.capacity)].strPath = "guard";
        EXPECT_EQ(PlayList_Build("F:\\", f, rec.data(), c.capacity), c.expected) << c.name;
        EXPECT_EQ(rec[size_t(c.capacity)].strPath, "guard") << c.name;
    }
}

TEST(PlayList, MissingFoldersGiveNoRecords) {
    FakeFinder f;
    std::vector<PlayListEntry> rec(4);
    EXPECT_EQ(PlayList_Build("Q:\\NOWHERE", f, rec.data(), 4), 0);
    EXPECT_EQ(PlayList_Build("Q:\\NOWHERE", f, nullptr, 4), 0);
}

TEST(PlayList, NextRow) {
    struct Case {
        int row, rows, next;
    };
    const Case cases[] = {
        {0, 3, 1}, {1, 3, 2}, {2, 3, 0},   // wraps after the last row
        {-1, 3, 0},                         // none yet: the first row
        {5, 3, 0},                          // a stale row beyond the list
        {0, 1, 0}, {0, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlayList_NextRow(c.row, c.rows), c.next) << c.row << " of " << c.rows;
}

TEST(PlayList, RemovalTakesTheRowOfTheFailingRecord) {
    struct Case {
        const char* name;
        std::vector<int> rowRecords;
        int record, curItem;
        int row, curAfter, nextAfterRemoval;
    };
    const Case cases[] = {
        {"middle row", {4, 2, 0, 1, 3}, 0, 2, 2, 1, 2},
        {"after FOLDER rebuilt the list, no current row", {4, 2, 0, 1, 3}, 1, -1, 3, 2, 3},
        {"current row is stale; the record decides", {4, 2, 0, 1, 3}, 3, 0, 4, 3, 0},
        {"first row", {4, 2, 0}, 4, 0, 0, -1, 0},
        {"record not in the list removes nothing", {4, 2, 0}, 7, 1, -1, 1, 2},
        {"unknown record removes nothing", {4, 2, 0}, -1, 1, -1, 1, 2},
    };
    for (const Case& c : cases) {
        const PlayListRemoval r = PlayList_PlanRemoval(c.rowRecords, c.record, c.curItem);
        EXPECT_EQ(r.row, c.row) << c.name;
        EXPECT_EQ(r.curItemAfter, c.curAfter) << c.name;
        const int rowsAfter = int(c.rowRecords.size()) - (r.row >= 0 ? 1 : 0);
        EXPECT_EQ(PlayList_NextRow(r.curItemAfter, rowsAfter), c.nextAfterRemoval) << c.name;
    }
}
