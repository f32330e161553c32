// Path rules of the skin folder and profile helpers, as plain string
// functions (tested natively); the Windows helpers feed them the program
// folder and hand their results to the file system.
#pragma once

#include <string>

namespace skin {

// The folder of a module file name: everything before the last backslash,
// followed by one backslash (".\" when the name holds none).
std::string FolderOfModule(const std::string& modulePath);

// The skin folder for a given path: a trailing backslash is added; a
// leading ".\" or "./" loses its dot (so "..\" stays as it is); a path
// without a drive colon is put after the program folder.
std::string ThemeFolderFor(const std::string& path, const std::string& appFolder);

// A profile file's path: inside the program folder unless it holds ":".
std::string ProfilePathFor(const std::string& fileName, const std::string& appFolder);

// The search pattern of a folder listing: a backslash is added unless the
// folder ends with a backslash or a slash, then "*.*".
std::string FolderPattern(const std::string& folder);

// The last component of a skin folder ("" for an empty folder).
std::string ThemeNameOf(const std::string& skinDir);

// Index of the last separator in the text (or in its first count
// characters), -1 when there is none.
int FindLast(const std::string& text, char separator);
int FindLastInPrefix(const std::string& text, char separator, int count);

}  // namespace skin
