// The file search helper over a fake folder tree: the extension filter and
// its in-place lower-casing, the listing of one folder and of a tree, and the
// table and buffer limits.
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/file_search.h"

namespace {

class FakeTree : public DirectorySource {
public:
    bool List(const std::string& pattern, std::vector<DirectoryMatch>* out) override {
        patterns.push_back(pattern);
        auto it = folders.find(pattern);
        if (it == folders.end()) return false;
        *out = it->second;
        return true;
    }
    std::map<std::string, std::vector<DirectoryMatch>> folders;
    std::vector<std::string> patterns;
};

struct Listing {
    Listing() {
        EXPECT_EQ(FileList_Create(), 1);
        FileList_SetSource(&tree);
    }
    ~Listing() {
        FileList_SetSource(nullptr);
        FileList_Free();
    }
    std::vector<std::string> Paths() const {
        std::vector<std::string> out;
        for (int i = 0; i < g_nFileCount; ++i) out.push_back(FileTable[i].path);
        return out;
    }
    FakeTree tree;
};

}  // namespace

TEST(FileSearch, MatchExtension) {
    struct Case {
        const char* name;
        const char* filter;  // null: no filter
        std::string file;
        int expected;
        std::string after;
    };
    const Case cases[] = {
        {"upper-case extension passes and is stored in lower case", ".mp4.avi", "CLIP.MP4", 1,
         "CLIP.mp4"},
        {"second extension of the filter", ".mp4.avi", "X.AVI", 1, "X.avi"},
        {"MP3 fails", ".mp4.avi", "A.MP3", 0, "A.mp3"},
        {"four characters fail", ".mp4.avi", "a.mp", 0, "a.mp"},
        {"four characters fail even when they match", ".mp4", ".mp4", 0, ".mp4"},
        {"no filter passes anything, untouched", nullptr, "ab", 1, "ab"},
        {"no dot before the extension", ".mp4", "CLIPMP4", 0, "CLIPmp4"},
        {"a Korean last character keeps its second byte", ".mp4", std::string("AB\xB0\x41"), 0,
         std::string("AB\xB0\x41")},
        {"a dot that is the second byte of a Korean character starts no extension", "\xB0.mp4",
         "CLIP.MP4", 0, "CLIP.mp4"},
        {"Korean text before the extension in the filter", "\xB0\xA1.mp4", "CLIP.MP4", 1,
         "CLIP.mp4"},
    };
    for (const Case& c : cases) {
        std::vector<char> name(c.file.begin(), c.file.end());
        name.push_back('\0');
        EXPECT_EQ(FileList_MatchExtension(c.filter, name.data()), c.expected) << c.name;
        EXPECT_EQ(std::string(name.data()), c.after) << c.name;
    }
}

TEST(FileSearch, OneFolder) {
    Listing l;
    l.tree.folders["D:\\RIVAVEZU\\*.*"] = {{".", true},         {"..", true},
                                           {"CLIP.MP4", false}, {"INFINITE", true},
                                           {"A.MP3", false},    {"b.avi", false}};
    int count = -1, second = -1;
    EXPECT_EQ(FileList_AddFolder("D:\\RIVAVEZU", ".mp4.avi", &count, &second), 1);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(l.Paths(),
              (std::vector<std::string>{"D:\\RIVAVEZU\\CLIP.mp4", "D:\\RIVAVEZU\\b.avi"}));
    EXPECT_EQ(FileTable[0].number, 1);
    EXPECT_EQ(FileTable[1].number, 2);
    EXPECT_EQ(FileTable[2].number, -1);
    EXPECT_STREQ(FileTable[2].path, "");
    EXPECT_STREQ(g_szListFolder, "D:\\RIVAVEZU\\");
    // A trailing backslash is not doubled; a folder that cannot be searched
    // lists nothing.
    EXPECT_EQ(FileList_AddFolder("D:\\RIVAVEZU\\", nullptr, &count, &second), 1);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(FileList_AddFolder("E:\\none", nullptr, &count, &second), 1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(g_nFileCount, 0);
    EXPECT_EQ(FileList_AddFolder(nullptr, nullptr, &count, &second), 0);
}

TEST(FileSearch, Tree) {
    Listing l;
    l.tree.folders["C:\\r\\*.*"] = {
        {"a.mp4", false}, {"sub", true}, {"..x", true}, {"b.mp4", false}};
    l.tree.folders["C:\\r\\sub\\*.*"] = {{".", true}, {"c.mp4", false}, {"deep", true}};
    l.tree.folders["C:\\r\\sub\\deep\\*.*"] = {{"d.MP4", false}, {"e.txt", false}};
    int count = 1;  // continues after entry 0
    EXPECT_EQ(FileList_AddFolderRecursive("C:\\r", ".mp4", &count), 1);
    EXPECT_EQ(count, 5);
    std::vector<std::string> paths;
    for (int i = 1; i < count; ++i) paths.push_back(FileTable[i].path);
    EXPECT_EQ(paths, (std::vector<std::string>{"C:\\r\\a.mp4", "C:\\r\\sub\\c.mp4",
                                               "C:\\r\\sub\\deep\\d.mp4", "C:\\r\\b.mp4"}));
    EXPECT_EQ(FileTable[4].number, 5);
    EXPECT_EQ(FileTable[5].number, -1);
    for (const std::string& p : l.tree.patterns) EXPECT_EQ(p.find(".."), std::string::npos) << p;
}

TEST(FileSearch, Limits) {
    struct Case {
        const char* name;
        std::string folder;
        size_t files;
        size_t nameLength;
        int result;
        int count;
    };
    const Case cases[] = {
        {"5000 files fill 4095 entries and the terminator", "C:\\f", 5000, 8, 1, 4095},
        {"4095 files fit exactly", "C:\\f", 4095, 8, 1, 4095},
        {"folder of 254 characters takes its backslash", "C:\\" + std::string(251, 'x'), 3, 8, 1,
         0},  // no file path fits 252 bytes
        {"folder of 255 characters has no room for its backslash", "C:\\" + std::string(252, 'x'),
         3, 8, 0, 0},
        {"a path of 251 characters fits its entry", "C:\\f", 3, 251 - 5, 1, 3},
        {"a path of 252 characters is left out", "C:\\f", 3, 252 - 5, 1, 0},
    };
    for (const Case& c : cases) {
        Listing l;
        std::string text = c.folder + "\\";
        auto& matches = l.tree.folders[text + "*.*"];
        for (size_t i = 0; i < c.files; ++i) {
            std::string n = std::to_string(i);
            n = std::string(c.nameLength - 4 - n.size(), 'n') + n + ".mp4";
            matches.push_back({n, false});
        }
        int count = -1, second = -1;
        EXPECT_EQ(FileList_AddFolder(c.folder.c_str(), ".mp4", &count, &second), c.result)
            << c.name;
        EXPECT_EQ(count, c.count) << c.name;
        EXPECT_EQ(g_nFileCount, c.count) << c.name;
        EXPECT_EQ(FileTable[c.count].number, -1) << c.name;
        int recursiveCount = 0;
        EXPECT_EQ(FileList_AddFolderRecursive(c.folder.c_str(), ".mp4", &recursiveCount), 1)
            << c.name;
        EXPECT_EQ(recursiveCount, c.count) << c.name;
    }
    // A tree that continues past the table's end stops at it.
    Listing l;
    int count = FILELIST_ENTRIES - 2;
    l.tree.folders["C:\\t\\*.*"] = {{"a.mp4", false}, {"b.mp4", false}, {"c.mp4", false}};
    FileList_AddFolderRecursive("C:\\t", ".mp4", &count);
    EXPECT_EQ(count, FILELIST_ENTRIES - 1);
    EXPECT_EQ(FileTable[FILELIST_ENTRIES - 1].number, -1);
}
