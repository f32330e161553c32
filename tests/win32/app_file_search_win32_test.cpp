// The file search helper on real folders under Wine: the portable suite over
// its fake tree, then a tree made on disk and listed through the system's
// file finder.
#include "../app/file_search_test.cpp"

#include <windows.h>

#include <algorithm>

namespace {

void Touch(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    CloseHandle(h);
}

}  // namespace

TEST(FileSearchWin32, ListsARealTree) {
    char tmp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, tmp), 0u);
    const std::string root = std::string(tmp) + "QuorvelFileSearchTest";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\EVENT").c_str(), nullptr);
    Touch(root + "\\CLIP1.MP4");
    Touch(root + "\\NOTE.TXT");
    Touch(root + "\\EVENT\\EVT1.MP4");

    ASSERT_EQ(FileList_Create(), 1);
    int count = -1, second = -1;
    EXPECT_EQ(FileList_AddFolder(root.c_str(), ".mp4.avi", &count, &second), 1);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(std::string(FileTable[0].path), root + "\\CLIP1.mp4");

    int total = 0;
    EXPECT_EQ(FileList_AddFolderRecursive(root.c_str(), ".mp4", &total), 1);
    std::vector<std::string> paths;
    for (int i = 0; i < total; ++i) paths.push_back(FileTable[i].path);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{root + "\\CLIP1.mp4", root + "\\EVENT\\EVT1.mp4"}));
    FileList_Free();

    DeleteFileA((root + "\\EVENT\\EVT1.MP4").c_str());
    DeleteFileA((root + "\\CLIP1.MP4").c_str());
    DeleteFileA((root + "\\NOTE.TXT").c_str());
    RemoveDirectoryA((root + "\\EVENT").c_str());
    RemoveDirectoryA(root.c_str());
}
