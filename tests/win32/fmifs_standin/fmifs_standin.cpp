// A stand-in for the system's fmifs.dll in the window tests (Wine has
// none). It exports FormatEx with the documented progress contract, but
// only "formats" a removable drive whose root holds the marker file that a
// test made: it deletes everything on the drive but the marker and the
// label file, and writes the new label where Wine reads drive labels
// (".windows-label" in the root). Every other drive is refused and
// reported as a failed format. Each call is logged.
//
// Set by the test through the environment:
//   FMIFS_STANDIN_LOG       file that receives a line per call and one per return
//   FMIFS_STANDIN_STEPS     percents to report, "0,50,100" by default
//   FMIFS_STANDIN_PAUSE_MS  pause after each progress report (0)
//   FMIFS_STANDIN_RESULT    the success flag of the done report (1)
//   FMIFS_STANDIN_HOLD_MS   time the volume stays held after the done report (0)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

typedef BOOLEAN(WINAPI* PFMIFSCALLBACK)(DWORD dwCommand, DWORD dwSubAction, PVOID pvArgument);

namespace {

const char kMarker[] = ".fmifs-standin-card";
const char kLabelFile[] = ".windows-label";
const DWORD kProgress = 0, kDone = 11, kOutput = 14;

DWORD EnvNumber(const char* name, DWORD fallback) {
    char text[32] = {};
    const DWORD n = GetEnvironmentVariableA(name, text, sizeof text);
    if (n == 0 || n >= sizeof text) return fallback;
    return static_cast<DWORD>(std::strtoul(text, nullptr, 10));
}

void Narrow(const WCHAR* in, char* out, size_t size) {
    size_t i = 0;
    for (; in && in[i] && i + 1 < size; ++i) out[i] = in[i] < 128 ? char(in[i]) : '?';
    out[i] = '\0';
}

void Log(const char* line) {
    char path[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("FMIFS_STANDIN_LOG", path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    HANDLE h = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(h, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    CloseHandle(h);
}

bool FileExists(const char* path) {
    const DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Deletes the contents of a folder; at the root the marker and the label
// file stay.
void Empty(const char* folder, bool root) {
    char pattern[MAX_PATH];
    std::snprintf(pattern, sizeof pattern, "%s*", folder);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const char* name = fd.cFileName;
        if (!std::strcmp(name, ".") || !std::strcmp(name, "..")) continue;
        if (root && (!_stricmp(name, kMarker) || !_stricmp(name, kLabelFile))) continue;
        char path[MAX_PATH];
        std::snprintf(path, sizeof path, "%s%s", folder, name);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            char sub[MAX_PATH];
            std::snprintf(sub, sizeof sub, "%s\\", path);
            Empty(sub, false);
            RemoveDirectoryA(path);
        } else {
            SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path);
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

// Whether anything but the marker and the label file is on the emptied
// card: somebody wrote to the volume while the format still held it.
bool Touched(const char* root) {
    char pattern[MAX_PATH];
    std::snprintf(pattern, sizeof pattern, "%s*", root);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool touched = false;
    do {
        const char* name = fd.cFileName;
        if (!std::strcmp(name, ".") || !std::strcmp(name, "..") || !_stricmp(name, kMarker) ||
            !_stricmp(name, kLabelFile))
            continue;
        touched = true;
    } while (!touched && FindNextFileA(h, &fd));
    FindClose(h);
    return touched;
}

void WriteLabel(const char* root, const char* label) {
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%s%s", root, kLabelFile);
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    HANDLE h =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    char text[64];
    std::snprintf(text, sizeof text, "%s\n", label);
    DWORD written = 0;
    WriteFile(h, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    CloseHandle(h);
}

}  // namespace

extern "C" __declspec(dllexport) VOID WINAPI
    FormatEx(PWCHAR pszDriveRoot, DWORD dwMediaType, PWCHAR pszFileSystem, PWCHAR pszLabel,
             BOOL bQuickFormat, DWORD dwClusterSize, PFMIFSCALLBACK pfnCallback) {
    char root[MAX_PATH], fs[32], label[64];
    Narrow(pszDriveRoot, root, sizeof root);
    Narrow(pszFileSystem, fs, sizeof fs);
    Narrow(pszLabel, label, sizeof label);

    char marker[MAX_PATH + 32];
    std::snprintf(marker, sizeof marker, "%s%s", root, kMarker);
    const UINT type = GetDriveTypeA(root);
    const bool card = std::strlen(root) == 3 && root[1] == ':' && root[2] == '\\' &&
                      type == DRIVE_REMOVABLE && FileExists(marker);

    char line[512];
    std::snprintf(line, sizeof line,
                  "%s root=%s type=%u media=%lu fs=%s label=%s quick=%d cluster=%lu\n",
                  card ? "format" : "refused", root, type, static_cast<unsigned long>(dwMediaType),
                  fs, label, bQuickFormat ? 1 : 0, static_cast<unsigned long>(dwClusterSize));
    Log(line);

    BOOLEAN flag = 0;
    if (card) {
        flag = static_cast<BOOLEAN>(EnvNumber("FMIFS_STANDIN_RESULT", 1));
        if (flag == 1) Empty(root, true);
        char steps[128] = "0,50,100";
        GetEnvironmentVariableA("FMIFS_STANDIN_STEPS", steps, sizeof steps);
        const DWORD pause = EnvNumber("FMIFS_STANDIN_PAUSE_MS", 0);
        for (char* p = steps; *p;) {
            char* end = p;
            DWORD percent = static_cast<DWORD>(std::strtoul(p, &end, 10));
            if (end == p) break;
            p = end;
            if (pfnCallback) pfnCallback(kProgress, 0, &percent);
            if (pause) Sleep(pause);
            while (*p == ',' || *p == ' ') ++p;
        }
        if (pfnCallback) pfnCallback(kOutput, 0, const_cast<char*>("standin"));
    }
    if (pfnCallback) pfnCallback(kDone, 0, &flag);
    // The volume is still held after the done report: the label is written
    // last, and only then does FormatEx return.
    if (card) {
        const DWORD hold = EnvNumber("FMIFS_STANDIN_HOLD_MS", 0);
        if (hold) Sleep(hold);
        if (flag == 1 && Touched(root)) {
            std::snprintf(line, sizeof line, "written while held root=%s\n", root);
            Log(line);
        }
        if (flag == 1) WriteLabel(root, label);
    }
    std::snprintf(line, sizeof line, "return root=%s flag=%d\n", root, flag);
    Log(line);
}
