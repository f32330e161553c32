// FileIO back end over the Windows file API (wide names).
#include <windows.h>

#include "engine/platform/fileio_sys.h"

namespace {

HANDLE H(uintptr_t h) { return reinterpret_cast<HANDLE>(h); }
const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }

}  // namespace

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide characters");

int FileSys_Open(const char16_t* name, uint32_t mode, uintptr_t* handle) {
    DWORD access, share, disposition, attributes;
    switch (mode) {
        case 1:
            access = GENERIC_READ;
            share = FILE_SHARE_READ | FILE_SHARE_WRITE;
            disposition = OPEN_EXISTING;
            attributes = FILE_ATTRIBUTE_NORMAL;
            break;
        case 2:
            access = GENERIC_WRITE;
            share = FILE_SHARE_READ;
            disposition = TRUNCATE_EXISTING;
            attributes = FILE_FLAG_WRITE_THROUGH;
            break;
        case 3:
            access = GENERIC_READ | GENERIC_WRITE;
            share = FILE_SHARE_READ;
            disposition = TRUNCATE_EXISTING;
            attributes = FILE_FLAG_WRITE_THROUGH;
            break;
        case 4:
        case 6:
            access = GENERIC_WRITE;
            share = FILE_SHARE_READ;
            disposition = CREATE_ALWAYS;
            attributes = FILE_FLAG_WRITE_THROUGH;
            break;
        case 7:
            access = GENERIC_READ | GENERIC_WRITE;
            share = FILE_SHARE_READ;
            disposition = CREATE_ALWAYS;
            attributes = FILE_FLAG_WRITE_THROUGH;
            break;
        default: return 0;
    }
    HANDLE h = CreateFileW(W(name), access, share, nullptr, disposition, attributes, nullptr);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return 0;
    *handle = reinterpret_cast<uintptr_t>(h);
    return 1;
}

void FileSys_Close(uintptr_t h) { CloseHandle(H(h)); }

int32_t FileSys_Read(uintptr_t h, void* buffer, uint32_t count) {
    if (count > 0x7FFFFFFF) count = 0x7FFFFFFF;
    DWORD got = 0;
    if (!ReadFile(H(h), buffer, count, &got, nullptr)) return -1;
    return int32_t(got);
}

int32_t FileSys_Write(uintptr_t h, const void* buffer, uint32_t count) {
    if (count > 0x7FFFFFFF) count = 0x7FFFFFFF;
    DWORD put = 0;
    if (!WriteFile(H(h), buffer, count, &put, nullptr)) return -1;
    FlushFileBuffers(H(h));
    return int32_t(put);
}

int FileSys_Seek(uintptr_t h, int64_t offset, int whence) {
    DWORD method = whence == FILESYS_SEEK_SET   ? FILE_BEGIN
                   : whence == FILESYS_SEEK_CUR ? FILE_CURRENT
                                                : FILE_END;
    LONG high = LONG(offset >> 32);
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(H(h), LONG(uint32_t(offset)), &high, method);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return 0;
    // Positions beyond 4 GB - 1 are outside what the streams address.
    return high == 0 ? 1 : 0;
}

uint32_t FileSys_Tell(uintptr_t h) {
    LONG high = 0;
    DWORD low = SetFilePointer(H(h), 0, &high, FILE_CURRENT);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return 0;
    return high ? 0xFFFFFFFFu : low;
}

uint32_t FileSys_GetSize(uintptr_t h) {
    DWORD high = 0;
    DWORD low = GetFileSize(H(h), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
    return high ? 0xFFFFFFFFu : low;
}

int FileSys_Delete(const char16_t* name) { return DeleteFileW(W(name)) ? 1 : 0; }

uint32_t FileSys_GetTempDir(char16_t* out, uint32_t capacity) {
    DWORD n = GetTempPathW(capacity, reinterpret_cast<wchar_t*>(out));
    return n > capacity ? 0 : n;
}

uint64_t FileSys_GetDiskFree(void) {
    DWORD spc = 0, bps = 0, freeClusters = 0, total = 0;
    if (!GetDiskFreeSpaceW(nullptr, &spc, &bps, &freeClusters, &total)) return 0;
    return uint64_t(spc) * bps * freeClusters;
}
