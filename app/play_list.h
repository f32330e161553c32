// The play list's rules: which files of a clip folder become clips, the
// recording-date text of a clip, and the bookkeeping between list rows and
// clip records (rows are sorted, so a row names its record by item data).
// Folders are read through a small interface, so the rules run natively.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum : int {
    PLAYLIST_RECORDS = 2048,     // records the main dialog holds
    PLAYLIST_MIN_LENGTH = 1024,  // a listed clip is longer than this
    PLAYLIST_PASSES = 3,
    PLAYLIST_DATE_YEAR_LIMIT = 2050,  // from this year on the year shows as 0
    PLAYLIST_DATE_OFFSET_HOURS = 9,
};

// One clip of the play list.
struct PlayListEntry {
    std::string strPath;  // empty: removed as unplayable
    std::string strDateText;
    std::string strExtra;  // stays empty
    int32_t nKind = 0;     // 0 the folder itself, 1 its INFINITE or EVENT folder
};

// A calendar time as the file system reports it (UTC).
struct ClipTime {
    int year, month, day, hour, minute, second;
};

// The last-write time shifted by a fixed 9 hours, whatever the machine's
// zone: "YYYY/MM/DD - hh:mm:ss", the year 0 from 2050 on.
std::string PlayList_DateText(const ClipTime& utc);

// The clip folder a program started from appFolder looks at: the first
// character of that folder as a drive, then ":\RIVAVEZU".
std::string PlayList_DefaultFolder(const std::string& appFolder);

// The search pattern of pass 0 (the folder's "*.mp4"), 1 ("INFINITE\INFI*.mp4")
// or 2 ("EVENT\EVT*.mp4"); a drive root keeps its one backslash.
std::string PlayList_SearchPattern(const std::string& folder, int pass);
// The record kind of a pass.
int32_t PlayList_PassKind(int pass);

// One match of a search.
struct ClipMatch {
    std::string name;  // as the file system returns it
    std::string path;  // full path
    bool isDirectory = false;
    uint64_t length = 0;
    ClipTime written = {};
};

class ClipFinder {
public:
    virtual ~ClipFinder() = default;
    // The matches of a pattern in the order the file system returns them;
    // false when nothing can be searched.
    virtual bool Find(const std::string& pattern, std::vector<ClipMatch>* out) = 0;
};

// Fills records from index 0 with the clips of a folder, three passes in
// order, never more than `capacity`; returns the number filled.
int PlayList_Build(const std::string& folder, ClipFinder& finder, PlayListEntry* records,
                   int capacity);

// The row after `row` among `rows`, the first after the last; -1 when the
// list is empty.
int PlayList_NextRow(int row, int rows);

// Which row leaves the list when the clip of record `record` proves
// unplayable, and the current row afterwards, so that the next step plays
// the clip that took its place. rowRecords[i] is row i's record. When the
// record has no row, nothing is removed (row -1) and the current row stays.
struct PlayListRemoval {
    int row;
    int curItemAfter;
};
PlayListRemoval PlayList_PlanRemoval(const std::vector<int>& rowRecords, int record, int curItem);
