// FileIO back end for the native build: POSIX files, UTF-16 names turned
// into UTF-8 paths.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "engine/platform/fileio_sys.h"

namespace {

std::string ToUtf8(const char16_t* s) {
    std::string out;
    for (size_t i = 0; s[i]; ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (uint32_t(s[i + 1]) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6);
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | c >> 12);
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | c >> 18);
            out += char(0x80 | (c >> 12 & 0x3F));
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

int Fd(uintptr_t h) { return int(h) - 1; }  // handle 0 is never a valid file

}  // namespace

int FileSys_Open(const char16_t* name, uint32_t mode, uintptr_t* handle) {
    int flags;
    switch (mode) {
        case 1: flags = O_RDONLY; break;
        case 2: flags = O_WRONLY | O_TRUNC; break;
        case 3: flags = O_RDWR | O_TRUNC; break;
        case 4:
        case 6: flags = O_WRONLY | O_CREAT | O_TRUNC; break;
        case 7: flags = O_RDWR | O_CREAT | O_TRUNC; break;
        default: return 0;
    }
    std::string path = ToUtf8(name);
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return 0;
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return 0;
    }
    *handle = uintptr_t(fd) + 1;
    return 1;
}

void FileSys_Close(uintptr_t h) { ::close(Fd(h)); }

int32_t FileSys_Read(uintptr_t h, void* buffer, uint32_t count) {
    if (count > 0x7FFFFFFF) count = 0x7FFFFFFF;
    ssize_t n;
    do {
        n = ::read(Fd(h), buffer, count);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? -1 : int32_t(n);
}

int32_t FileSys_Write(uintptr_t h, const void* buffer, uint32_t count) {
    if (count > 0x7FFFFFFF) count = 0x7FFFFFFF;
    ssize_t n;
    do {
        n = ::write(Fd(h), buffer, count);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return -1;
    fdatasync(Fd(h));
    return int32_t(n);
}

int FileSys_Seek(uintptr_t h, int64_t offset, int whence) {
    int w = whence == FILESYS_SEEK_SET   ? SEEK_SET
            : whence == FILESYS_SEEK_CUR ? SEEK_CUR
                                         : SEEK_END;
    off_t r = ::lseek(Fd(h), off_t(offset), w);
    return r >= 0 && r <= off_t(0xFFFFFFFFu) ? 1 : 0;
}

uint32_t FileSys_Tell(uintptr_t h) {
    off_t r = ::lseek(Fd(h), 0, SEEK_CUR);
    return r < 0 ? 0 : uint32_t(r);
}

uint32_t FileSys_GetSize(uintptr_t h) {
    struct stat st;
    if (fstat(Fd(h), &st) != 0) return 0;
    // Files of 4 GB and more are seen as their first 4 GB - 1.
    return st.st_size > off_t(0xFFFFFFFFu) ? 0xFFFFFFFFu : uint32_t(st.st_size);
}

int FileSys_Delete(const char16_t* name) { return ::unlink(ToUtf8(name).c_str()) == 0; }

uint32_t FileSys_GetTempDir(char16_t* out, uint32_t capacity) {
    const char* t = std::getenv("TMPDIR");
    std::string dir = t && *t ? t : "/tmp";
    if (dir.back() != '/') dir += '/';
    uint32_t n = 0;
    // Temporary folders are ASCII here; other bytes are kept as they are.
    for (char c : dir) {
        if (n >= capacity) break;
        out[n++] = char16_t(uint8_t(c));
    }
    return n;
}

uint64_t FileSys_GetDiskFree(void) {
    struct statvfs st;
    if (statvfs(".", &st) != 0) return 0;
    return uint64_t(st.f_bavail) * st.f_frsize;
}
