#include "tests/harness/harness.h"

namespace uitest {

std::string WinePath(const std::string& unixPath) {
    std::string s = "Z:" + unixPath;
    for (char& c : s)
        if (c == '/') c = '\\';
    return s;
}

std::u16string WineName(const std::string& unixPath) {
    const std::string s = WinePath(unixPath);
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
    if (n <= 1) return std::u16string();
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, &w[0], n);
    w.resize(size_t(n - 1));
    return std::u16string(w.begin(), w.end());
}

bool WineFileExists(const std::string& unixPath) {
    return GetFileAttributesA(WinePath(unixPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace uitest
