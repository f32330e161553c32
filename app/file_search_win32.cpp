#include <windows.h>

#include "app/file_search.h"

namespace {

class Win32DirectorySource : public DirectorySource {
public:
    bool List(const std::string& pattern, std::vector<DirectoryMatch>* out) override {
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA(pattern.c_str(), &data);
        if (h == INVALID_HANDLE_VALUE) return false;
        do {
            out->push_back(
                {data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        } while (FindNextFileA(h, &data));
        FindClose(h);
        return true;
    }
};

}  // namespace

DirectorySource* FileList_PlatformSource() {
    static Win32DirectorySource source;
    return &source;
}
