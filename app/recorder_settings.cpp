#include "app/recorder_settings.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace recorder {

const char kRecorderLabel[] = "D-UVUDOVID";

// ---------------------------------------------------------------- settings

signed char SettingFromByte(int byte, signed char current) {
    if (byte >= SETTING_LOW && byte <= SETTING_HIGH) return static_cast<signed char>(byte);
    return current;
}

int RadioOfSetting(int value) {
    if (value < SETTING_LOW || value > SETTING_HIGH) return -1;
    return SETTING_HIGH - value;
}

const char* SettingFileName(SettingFile file) {
    switch (file) {
        case FILE_FRAME: return "setframe.dat";
        case FILE_SOUND: return "setsound.dat";
        case FILE_QUALITY: return "setquality.dat";
        case FILE_SENSITIVITY: return "setsensitivity.dat";
        default: return "";
    }
}

signed char& SettingOf(Settings& s, SettingFile file) {
    switch (file) {
        case FILE_FRAME: return s.frame;
        case FILE_SOUND: return s.sound;
        case FILE_QUALITY: return s.quality;
        default: return s.sensitivity;
    }
}

std::string SettingFolder(char letter) { return std::string(1, letter) + ":\\setting"; }

std::string SettingPath(char letter, const char* name) {
    return SettingFolder(letter) + "\\" + name;
}

std::string MakeFolderCommand(char letter) { return "md " + SettingFolder(letter); }

static bool IsDriveLetter(char letter) {
    return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

int LoadSettings(CardFiles& files, char letter, Settings* settings) {
    if (!IsDriveLetter(letter)) return 0;
    int read = 0;
    for (int f = FILE_FRAME; f < FILE_COUNT; ++f) {
        const SettingFile file = static_cast<SettingFile>(f);
        int byte = -1;
        if (!files.ReadByte(SettingPath(letter, SettingFileName(file)), &byte)) break;
        signed char& value = SettingOf(*settings, file);
        value = SettingFromByte(byte, value);
        ++read;
    }
    return read;
}

int SaveSettings(CardFiles& files, char letter, const Settings& settings) {
    if (!IsDriveLetter(letter)) return -1;
    Settings values = settings;
    for (int f = FILE_FRAME; f < FILE_COUNT; ++f) {
        const SettingFile file = static_cast<SettingFile>(f);
        const unsigned char byte = static_cast<unsigned char>(SettingOf(values, file));
        const std::string path = SettingPath(letter, SettingFileName(file));
        int cause = 0;
        bool ok = files.Write(path, &byte, 1, &cause);
        if (!ok && file == FILE_FRAME) {
            files.RunCommand(MakeFolderCommand(letter));
            ok = files.Write(path, &byte, 1, &cause);
        }
        if (!ok) {
            std::printf("에러 : %d \n", cause);
            return -1;
        }
    }
    return 0;
}

// ---------------------------------------------------------------- clock

int ClockFieldValue(const char* text) {
    if (!text) return 0;
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    long long v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + (*p - '0');
        if (v > INT_MAX) v = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) v = -v;
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

bool ClockValid(const ClockFields& c) {
    return c.year >= 2000 && c.year <= 2050 && c.month >= 1 && c.month <= 12 && c.day >= 1 &&
           c.day <= 31 && c.hour >= 0 && c.hour <= 23 && c.minute >= 0 && c.minute <= 59 &&
           c.second >= 0 && c.second <= 59;
}

std::string ClockText(const ClockFields& c) {
    char text[96];
    std::snprintf(text, sizeof text, "%0d-%02d-%02d-%02d-%02d-%02d", c.year, c.month, c.day, c.hour,
                  c.minute, c.second);
    return text;
}

std::string ClockPath(char letter) { return SettingPath(letter, "settime.dat"); }

ClockResult SaveClock(CardFiles& files, char letter, const ClockFields& c) {
    if (!IsDriveLetter(letter)) return ClockResult::NoDrive;
    if (!ClockValid(c)) return ClockResult::BadValue;
    const std::string text = ClockText(c);
    const std::string path = ClockPath(letter);
    int cause = 0;
    if (!files.Write(path, text.data(), text.size(), &cause)) {
        files.RunCommand(MakeFolderCommand(letter));
        if (!files.Write(path, text.data(), text.size(), &cause)) {
            std::printf("Error : %d \n", cause);
            return ClockResult::NotWritten;
        }
    }
    return ClockResult::Written;
}

// ---------------------------------------------------------------- drives

std::vector<std::string> SplitDriveRoots(const char* buffer, size_t size) {
    std::vector<std::string> roots;
    if (!buffer) return roots;
    for (size_t at = 0; at < size && buffer[at] != '\0'; at += 4) {
        size_t n = 0;
        while (at + n < size && n < 4 && buffer[at + n] != '\0') ++n;
        roots.emplace_back(buffer + at, n);
    }
    return roots;
}

static char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool DriveListed(char letter, unsigned type) {
    const char up = Upper(letter);
    if (up < 'C' || up > 'Z') return false;
    switch (type) {
        case DRIVE_KIND_UNKNOWN:
        case DRIVE_KIND_FIXED:
        case DRIVE_KIND_REMOTE:
        case DRIVE_KIND_CDROM: return false;
        default: return true;
    }
}

std::string DriveEntryText(char letter, const std::string& label) {
    const std::string cut = label.substr(0, label.find('\0')).substr(0, 10);
    return "(" + cut + ") " + std::string(1, letter) + ":\\\\";
}

DriveList BuildDriveList(const std::vector<DriveInfo>& drives) {
    DriveList list;
    for (const DriveInfo& d : drives) {
        if (list.entries.size() >= 26) break;
        if (!DriveListed(d.letter, d.type)) continue;
        if (list.recorderIndex < 0 && d.label == kRecorderLabel)
            list.recorderIndex = static_cast<int>(list.entries.size());
        list.entries.push_back({DriveEntryText(d.letter, d.label), d.letter});
    }
    return list;
}

std::string DriveRoot(char letter) { return std::string(1, Upper(letter)) + ":\\"; }

// ---------------------------------------------------------------- format

bool FormatTargetAllowed(char letter, unsigned type) {
    return letter >= 'C' && letter <= 'Z' && type == DRIVE_KIND_REMOVABLE;
}

FormatReportAction ReadFormatReport(uint32_t command, const void* data) {
    FormatReportAction a;
    switch (command) {
        case FMIFS_PROGRESS:
            if (data) {
                a.postProgress = true;
                std::memcpy(&a.percent, data, sizeof a.percent);
            }
            break;
        case FMIFS_DONE:
            a.finished = true;
            a.succeeded = data && *static_cast<const unsigned char*>(data) == 1;
            break;
        default: break;
    }
    return a;
}

}  // namespace recorder
