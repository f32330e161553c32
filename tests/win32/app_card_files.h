// The test prefix's card drives (R: to U:, removable, each a scratch folder)
// seen through the Windows file services: emptied, filled with settings
// files and read back by the window tests of the configuration and format
// dialogs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace apptest {

// The drive's label file and the stand-in format routine's marker; both
// stay when a card is emptied.
inline const char* kLabelFile = ".windows-label";
inline const char* kStandinMarker = ".fmifs-standin-card";

inline std::string CardPath(char drive, const std::string& rel) {
    return std::string(1, drive) + ":\\" + rel;
}

inline bool CardExists(char drive, const std::string& rel) {
    return GetFileAttributesA(CardPath(drive, rel).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The whole content of a file, or "<none>" when it cannot be opened.
inline std::string ReadCard(char drive, const std::string& rel) {
    HANDLE h = CreateFileA(CardPath(drive, rel).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<none>";
    std::string out;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
    CloseHandle(h);
    return out;
}

// Writes a file, making its folders.
inline bool WriteCard(char drive, const std::string& rel, const std::string& content) {
    for (size_t at = rel.find('\\'); at != std::string::npos; at = rel.find('\\', at + 1))
        CreateDirectoryA(CardPath(drive, rel.substr(0, at)).c_str(), nullptr);
    HANDLE h = CreateFileA(CardPath(drive, rel).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    const BOOL ok = WriteFile(h, content.data(), DWORD(content.size()), &n, nullptr);
    CloseHandle(h);
    return ok && n == content.size();
}

// Every file and folder under the root ("setting\", "setting\setframe.dat"),
// sorted; the label file is left out.
inline void ListCardInto(const std::string& folder, const std::string& prefix,
                         std::vector<std::string>& out) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == ".." || (prefix.empty() && name == kLabelFile)) continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(prefix + name + "\\");
            ListCardInto(folder + name + "\\", prefix + name + "\\", out);
        } else {
            out.push_back(prefix + name);
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

inline std::vector<std::string> ListCard(char drive) {
    std::vector<std::string> out;
    ListCardInto(CardPath(drive, ""), "", out);
    std::sort(out.begin(), out.end());
    return out;
}

// Deletes everything on the card but its label file.
inline void EmptyCardFolder(const std::string& folder, bool root) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == ".." || (root && name == kLabelFile)) continue;
        const std::string path = folder + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            EmptyCardFolder(path + "\\", false);
            RemoveDirectoryA(path.c_str());
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

inline void EmptyCard(char drive) { EmptyCardFolder(CardPath(drive, ""), true); }

// Deletes one folder of the card with everything in it (or a file of that
// name).
inline void RemoveCardFolder(char drive, const std::string& rel) {
    EmptyCardFolder(CardPath(drive, rel + "\\"), false);
    RemoveDirectoryA(CardPath(drive, rel).c_str());
    DeleteFileA(CardPath(drive, rel).c_str());
}

inline std::string Byte(int v) { return std::string(1, static_cast<char>(v)); }

}  // namespace apptest
