// The file search helper: lists the files of a folder (and optionally its
// sub-folders) that pass an extension filter into one global table. Folders
// are read through a small interface, so the rules run natively too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum : int {
    FILELIST_ENTRIES = 4096,  // including the terminator
    FILELIST_PATH = 252,      // bytes of an entry's path, with its NUL
    FILELIST_FOLDER = 256,    // bytes of a folder text, with its NUL
};

struct FileEntry {
    uint32_t reserved;  // always 0
    int32_t number;     // running number from 1; -1 in the terminator
    char path[FILELIST_PATH];
};

extern FileEntry* FileTable;
extern char g_szListFolder[FILELIST_FOLDER];
extern int g_nFileCount;

struct DirectoryMatch {
    std::string name;
    bool isDirectory;
};

class DirectorySource {
public:
    virtual ~DirectorySource() = default;
    // The matches of a pattern such as "C:\\clips\\*.*"; false when nothing
    // can be searched.
    virtual bool List(const std::string& pattern, std::vector<DirectoryMatch>* out) = 0;
};

// The source the listings read; null returns to the platform's own (none
// natively).
void FileList_SetSource(DirectorySource* source);
DirectorySource* FileList_PlatformSource();

int FileList_Create();
int FileList_Free();
// 0 when the folder is null or too long for the folder buffer.
int FileList_AddFolder(const char* folder, const char* filter, int* count, int* second);
int FileList_AddFolderRecursive(const char* folder, const char* filter, int* count);
// Lower-cases the extension of `name` in place when it is tested.
int FileList_MatchExtension(const char* filter, char* name);
