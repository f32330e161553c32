// The recorder's files on its memory card: the four one-byte settings files
// and the clock file in the card's "setting" folder, the list of drives that
// may hold the card, and the rules of the card format (which drive may be
// formatted, what the format routine's reports mean).
//
// Portable: the file access goes through CardFiles, whose Windows back end
// opens the card's files; the tests hand it a folder of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace recorder {

// ---------------------------------------------------------------- settings

// A setting's value: 3 high, 2 middle, 1 low. The radio groups show them
// as indexes 0 (high) to 2 (low).
enum : int { SETTING_LOW = 1, SETTING_MIDDLE = 2, SETTING_HIGH = 3 };

struct Settings {
    signed char quality = SETTING_HIGH;
    signed char sensitivity = SETTING_MIDDLE;
    signed char sound = SETTING_MIDDLE;
    signed char frame = SETTING_HIGH;
};

inline bool operator==(const Settings& a, const Settings& b) {
    return a.quality == b.quality && a.sensitivity == b.sensitivity && a.sound == b.sound &&
           a.frame == b.frame;
}

// The value a byte read from a settings file gives: 1 to 3 as it stands;
// anything else (or no byte at all, -1) keeps the current value.
signed char SettingFromByte(int byte, signed char current);
// The radio of a value (0 high .. 2 low), -1 for a value outside 1 to 3.
int RadioOfSetting(int value);

// The settings files in the order they are read and written.
enum SettingFile : int { FILE_FRAME, FILE_SOUND, FILE_QUALITY, FILE_SENSITIVITY, FILE_COUNT };
const char* SettingFileName(SettingFile file);  // "setframe.dat" ...
signed char& SettingOf(Settings& s, SettingFile file);

// "R:\setting" and "R:\setting\<name>" for a drive letter.
std::string SettingFolder(char letter);
std::string SettingPath(char letter, const char* name);
// The command that makes the folder: "md R:\setting".
std::string MakeFolderCommand(char letter);

// The card's files as the dialogs reach them.
class CardFiles {
public:
    virtual ~CardFiles() = default;
    // Opens the file for reading and reads at most one byte into *byte (-1
    // when the file is empty). False when the file cannot be opened.
    virtual bool ReadByte(const std::string& path, int* byte) = 0;
    // Creates or truncates the file and writes the bytes. False when it
    // cannot be opened, with the file error's cause in *cause.
    virtual bool Write(const std::string& path, const void* data, size_t size, int* cause) = 0;
    // Runs the command that makes the settings folder.
    virtual void RunCommand(const std::string& command) = 0;
};

// Loads the settings of a drive over `start` (the defaults): the files are
// read in the order frame, sound, quality, sensitivity, and the first one
// that cannot be opened ends the load, so it and the files after it keep
// their values from `start`. Returns the number of files read.
int LoadSettings(CardFiles& files, char letter, Settings* settings);

// Writes the four files (frame, sound, quality, sensitivity). When the
// first cannot be opened, the folder is made and the open is tried once
// more. The first file that cannot be written ends the save: those before
// it keep their new bytes. 0 on success, -1 on failure; a drive letter
// outside 'A' to 'Z' writes nothing and fails.
int SaveSettings(CardFiles& files, char letter, const Settings& settings);

// ---------------------------------------------------------------- clock

struct ClockFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The number at the start of an edit's text, as atoi reads it ("2010년"
// gives 2010, text without leading digits 0); saturates instead of
// overflowing.
int ClockFieldValue(const char* text);
// Year 2000 to 2050, month 1 to 12, day 1 to 31 in every month, hour 0 to
// 23, minute and second 0 to 59.
bool ClockValid(const ClockFields& c);
// "2010-05-01-09-05-00": no terminator and no line end go to the file.
std::string ClockText(const ClockFields& c);
std::string ClockPath(char letter);  // "R:\setting\settime.dat"

enum class ClockResult {
    NoDrive,     // no drive selected: nothing written, nothing shown
    BadValue,    // a field out of range: nothing written
    NotWritten,  // the file could not be made, even after making the folder
    Written,
};
ClockResult SaveClock(CardFiles& files, char letter, const ClockFields& c);

// ---------------------------------------------------------------- drives

// GetDriveType's answers.
enum : unsigned {
    DRIVE_KIND_UNKNOWN = 0,
    DRIVE_KIND_NO_ROOT = 1,
    DRIVE_KIND_REMOVABLE = 2,
    DRIVE_KIND_FIXED = 3,
    DRIVE_KIND_REMOTE = 4,
    DRIVE_KIND_CDROM = 5,
    DRIVE_KIND_RAMDISK = 6,
};

// The label that marks the recorder's card, and the one a format writes.
extern const char kRecorderLabel[];  // "D-UVUDOVID"

struct DriveInfo {
    char letter;    // as the root gives it
    unsigned type;  // DRIVE_KIND_...
    std::string label;
};

struct DriveEntry {
    std::string text;  // "(D-UVUDOVID) R:\\"
    char letter;
};

struct DriveList {
    std::vector<DriveEntry> entries;  // at most 26
    int recorderIndex = -1;           // first entry labelled exactly kRecorderLabel
};

// The roots of GetLogicalDriveStrings' buffer ("C:\", "R:\" ...), walked
// in steps of four bytes up to the first zero byte or the buffer's end.
std::vector<std::string> SplitDriveRoots(const char* buffer, size_t size);
// A, B, unknown, fixed, remote and CD-ROM drives are never listed.
bool DriveListed(char letter, unsigned type);
// The combo entry of a drive: the label cut to 10 bytes in parentheses,
// a blank, the letter, a colon and two backslash characters.
std::string DriveEntryText(char letter, const std::string& label);
DriveList BuildDriveList(const std::vector<DriveInfo>& drives);
// "R:\": the root the drive services are asked about (upper-cased letter).
std::string DriveRoot(char letter);

// ---------------------------------------------------------------- format

// Only a drive letter C to Z of a removable drive is ever formatted.
bool FormatTargetAllowed(char letter, unsigned type);

// The format routine's callback commands the program reads.
enum : uint32_t { FMIFS_PROGRESS = 0, FMIFS_DONE = 11, FMIFS_OUTPUT = 14 };

// What one callback report asks for.
struct FormatReportAction {
    bool postProgress = false;
    uint32_t percent = 0;
    bool finished = false;  // the done report: the outcome is known
    bool succeeded = false;
};
// Reads a report: progress carries a 32-bit percent at `data`, done a
// one-byte flag (1: success); a null pointer reads as nothing (a done
// report without its flag is a failure). Other commands ask for nothing.
FormatReportAction ReadFormatReport(uint32_t command, const void* data);

}  // namespace recorder
