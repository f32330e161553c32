#include "ThemeClass/ThemePaths.h"

namespace skin {

std::string FolderOfModule(const std::string& modulePath) {
    const size_t slash = modulePath.rfind('\\');
    if (slash == std::string::npos) return ".\\";
    return modulePath.substr(0, slash + 1);
}

std::string ThemeFolderFor(const std::string& path, const std::string& appFolder) {
    std::string p = path;
    if (p.empty() || p.back() != '\\') p.push_back('\\');
    // Only a "current folder" prefix loses its dot; "..\" names the parent
    // and must stay whole.
    if (p.size() >= 2 && p[0] == '.' && (p[1] == '\\' || p[1] == '/')) p.erase(0, 1);
    if (p.find(':') != std::string::npos) return p;
    return appFolder + p;
}

std::string ProfilePathFor(const std::string& fileName, const std::string& appFolder) {
    if (fileName.find(':') != std::string::npos) return fileName;
    return appFolder + fileName;
}

std::string FolderPattern(const std::string& folder) {
    std::string p = folder;
    if (!p.empty() && p.back() != '\\' && p.back() != '/') p.push_back('\\');
    return p + "*.*";
}

std::string ThemeNameOf(const std::string& skinDir) {
    if (skinDir.empty()) return std::string();
    std::string d = skinDir;
    if (d.back() == '\\' || d.back() == '/') d.pop_back();
    size_t sep = d.rfind('\\');
    if (sep == std::string::npos) sep = d.rfind('/');
    if (sep == std::string::npos || sep == 0) return d;
    return d.substr(sep + 1);
}

int FindLast(const std::string& text, char separator) {
    const size_t i = text.rfind(separator);
    return i == std::string::npos ? -1 : static_cast<int>(i);
}

int FindLastInPrefix(const std::string& text, char separator, int count) {
    if (count <= 0) return -1;
    const size_t n = static_cast<size_t>(count) < text.size() ? size_t(count) : text.size();
    return FindLast(text.substr(0, n), separator);
}

}  // namespace skin
