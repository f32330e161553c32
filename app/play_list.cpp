#include "app/play_list.h"

#include <cstdio>

namespace {

bool IsLeapYear(int year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

const char* const kPassFolder[PLAYLIST_PASSES] = {"", "INFINITE\\", "EVENT\\"};
const char* const kPassMask[PLAYLIST_PASSES] = {"*.mp4", "INFI*.mp4", "EVT*.mp4"};

}  // namespace

std::string PlayList_DateText(const ClipTime& utc) {
    ClipTime t = utc;
    t.hour += PLAYLIST_DATE_OFFSET_HOURS;
    if (t.hour >= 24) {
        t.hour -= 24;
        t.day += 1;
        if (t.day > DaysInMonth(t.year, t.month)) {
            t.day = 1;
            t.month += 1;
            if (t.month > 12) {
                t.month = 1;
                t.year += 1;
            }
        }
    }
    if (t.year >= PLAYLIST_DATE_YEAR_LIMIT) t.year = 0;
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d - %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

std::string PlayList_DefaultFolder(const std::string& appFolder) {
    std::string s;
    if (!appFolder.empty()) s += appFolder[0];
    return s + ":\\RIVAVEZU";
}

std::string PlayList_SearchPattern(const std::string& folder, int pass) {
    if (pass < 0 || pass >= PLAYLIST_PASSES) return std::string();
    std::string s = folder;
    const bool root = !s.empty() && s.back() == '\\';
    if (pass == 0 || !root) s += '\\';
    s += kPassFolder[pass];
    s += kPassMask[pass];
    return s;
}

int32_t PlayList_PassKind(int pass) { return pass == 0 ? 0 : 1; }

int PlayList_Build(const std::string& folder, ClipFinder& finder, PlayListEntry* records,
                   int capacity) {
    int n = 0;
    if (!records || capacity <= 0) return 0;
    for (int pass = 0; pass < PLAYLIST_PASSES && n < capacity; ++pass) {
        std::vector<ClipMatch> matches;
        if (!finder.Find(PlayList_SearchPattern(folder, pass), &matches)) continue;
        for (const ClipMatch& m : matches) {
            if (n >= capacity) break;  // the records end here; the rest is not listed
            if (m.name == "." || m.name == "..") continue;
            if (m.length <= uint64_t(PLAYLIST_MIN_LENGTH)) continue;
            PlayListEntry& e = records[n++];
            e.strPath = m.path;
            e.nKind = PlayList_PassKind(pass);
            e.strDateText = PlayList_DateText(m.written);
        }
    }
    return n;
}

int PlayList_NextRow(int row, int rows) {
    if (rows <= 0) return -1;
    const int next = row + 1;
    return next >= rows || next < 0 ? 0 : next;
}

PlayListRemoval PlayList_PlanRemoval(const std::vector<int>& rowRecords, int record, int curItem) {
    if (record >= 0)
        for (size_t i = 0; i < rowRecords.size(); ++i)
            if (rowRecords[i] == record) return {int(i), int(i) - 1};
    return {-1, curItem};
}
