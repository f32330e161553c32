#include "app/file_search.h"

#include <cstdlib>
#include <cstring>

FileEntry* FileTable = nullptr;
char g_szListFolder[FILELIST_FOLDER] = {};
int g_nFileCount = 0;

namespace {

DirectorySource* g_source = nullptr;

DirectorySource* Source() { return g_source ? g_source : FileList_PlatformSource(); }

bool IsLeadByte(uint8_t b) { return b >= 0x81 && b <= 0xFE; }

// Start offsets of the characters of a code-page-949 text.
std::vector<size_t> CharStarts(const char* s, size_t n) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < n;) {
        starts.push_back(i);
        i += (IsLeadByte(uint8_t(s[i])) && i + 1 < n) ? 2 : 1;
    }
    return starts;
}

// Substring search that matches only at character starts of the text.
bool ContainsMb(const char* text, const char* needle) {
    const size_t n = std::strlen(text), m = std::strlen(needle);
    if (m == 0) return true;
    for (size_t start : CharStarts(text, n))
        if (start + m <= n && std::memcmp(text + start, needle, m) == 0) return true;
    return false;
}

void Terminate(int n) {
    if (n < 0 || n >= FILELIST_ENTRIES) return;
    FileTable[n].reserved = 0;
    FileTable[n].number = -1;
    FileTable[n].path[0] = '\0';
    g_nFileCount = n;
}

// Folder text with its backslash into out; false when it does not fit.
bool FolderText(const char* folder, char* out) {
    size_t len = std::strlen(folder);
    const bool addSlash = len == 0 || folder[len - 1] != '\\';
    if (len + (addSlash ? 1 : 0) + 1 > size_t(FILELIST_FOLDER)) return false;
    std::memcpy(out, folder, len);
    if (addSlash) out[len++] = '\\';
    out[len] = '\0';
    return true;
}

// Adds one file at entry *n; false when the table is full. A path that does
// not fit its entry is left out rather than cut to another name.
bool AddFile(const char* folder, const std::string& name, int* n) {
    if (*n >= FILELIST_ENTRIES - 1) return false;
    const size_t f = std::strlen(folder);
    if (f + name.size() + 1 > size_t(FILELIST_PATH)) return true;
    FileEntry& e = FileTable[*n];
    e.reserved = 0;
    e.number = *n + 1;
    std::memcpy(e.path, folder, f);
    std::memcpy(e.path + f, name.c_str(), name.size() + 1);
    ++*n;
    return true;
}

// Lists one folder from entry *n; false once the table is full.
bool ListTree(const char* folder, const char* filter, int* n, bool recursive) {
    char text[FILELIST_FOLDER];
    if (!FolderText(folder, text)) return true;
    std::memcpy(g_szListFolder, text, sizeof(text));
    std::vector<DirectoryMatch> matches;
    DirectorySource* source = Source();
    if (!source || !source->List(std::string(text) + "*.*", &matches)) return true;
    for (DirectoryMatch& m : matches) {
        if (m.isDirectory) {
            if (!recursive || m.name == "." || m.name.compare(0, 2, "..") == 0) continue;
            if (!ListTree((std::string(text) + m.name).c_str(), filter, n, true)) return false;
            continue;
        }
        std::vector<char> name(m.name.begin(), m.name.end());
        name.push_back('\0');
        if (!FileList_MatchExtension(filter, name.data())) continue;
        if (!AddFile(text, name.data(), n)) return false;
    }
    return true;
}

}  // namespace

void FileList_SetSource(DirectorySource* source) { g_source = source; }

int FileList_Create() {
    if (!FileTable) {
        FileTable = static_cast<FileEntry*>(std::calloc(FILELIST_ENTRIES, sizeof(FileEntry)));
        if (!FileTable) return 0;
    } else {
        std::memset(FileTable, 0, sizeof(FileEntry) * FILELIST_ENTRIES);
    }
    g_szListFolder[0] = '\0';
    return 1;
}

int FileList_Free() {
    std::free(FileTable);
    FileTable = nullptr;
    return 1;
}

int FileList_AddFolder(const char* folder, const char* filter, int* count, int* second) {
    if (count) *count = 0;
    if (second) *second = 0;
    if (!folder || !FileTable) return 0;
    char text[FILELIST_FOLDER];
    if (!FolderText(folder, text)) {
        Terminate(0);
        return 0;
    }
    int n = 0;
    ListTree(folder, filter, &n, false);
    Terminate(n);
    if (count) *count = n;
    return 1;
}

int FileList_AddFolderRecursive(const char* folder, const char* filter, int* count) {
    if (!folder || !FileTable || !count) return 1;
    int n = *count;
    if (n < 0 || n >= FILELIST_ENTRIES) return 1;
    ListTree(folder, filter, &n, true);
    Terminate(n);
    *count = n;
    return 1;
}

int FileList_MatchExtension(const char* filter, char* name) {
    if (!filter) return 1;
    const size_t n = std::strlen(name);
    if (n <= 4) return 0;
    // Only single-byte letters: the second byte of a Korean character may
    // look like an ASCII capital and must stay as it is.
    for (size_t start : CharStarts(name, n)) {
        if (start < n - 3) continue;
        const bool single = !(IsLeadByte(uint8_t(name[start])) && start + 1 < n);
        if (single && name[start] >= 'A' && name[start] <= 'Z')
            name[start] = char(name[start] - 'A' + 'a');
    }
    return ContainsMb(filter, name + n - 4) ? 1 : 0;
}
