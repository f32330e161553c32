#include "tests/harness/iat_patch.h"

#include <tlhelp32.h>

#include <cstring>
#include <string>

namespace uitest {
namespace detail {

namespace {

bool InSystemFolder(const char* path) {
    char sys[MAX_PATH];
    UINT n = GetWindowsDirectoryA(sys, sizeof sys);
    if (n == 0 || n >= sizeof sys) return false;
    return _strnicmp(path, sys, n) == 0;
}

template <typename T>
T* At(BYTE* base, DWORD rva) {
    return reinterpret_cast<T*>(base + rva);
}

int PatchModule(HMODULE module, ImportHook* hooks, int count) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return 0;
    auto* nt = At<IMAGE_NT_HEADERS>(base, static_cast<DWORD>(dos->e_lfanew));
    if (nt->Signature != IMAGE_NT_SIGNATURE) return 0;
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0 || dir.Size == 0) return 0;
    int patched = 0;
    for (auto* imp = At<IMAGE_IMPORT_DESCRIPTOR>(base, dir.VirtualAddress); imp->Name != 0; ++imp) {
        // Slots are matched by the address they hold, so forwarded exports
        // and API-set names are covered whatever the import's module name.
        for (auto* slot = At<IMAGE_THUNK_DATA>(base, imp->FirstThunk); slot->u1.Function != 0;
             ++slot) {
            void* current = reinterpret_cast<void*>(slot->u1.Function);
            for (int i = 0; i < count; ++i) {
                if (*hooks[i].real == nullptr || current != *hooks[i].real) continue;
                DWORD old = 0;
                if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE,
                                    &old))
                    break;
                slot->u1.Function = reinterpret_cast<ULONG_PTR>(hooks[i].replacement);
                VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, old, &old);
                ++patched;
                break;
            }
        }
    }
    return patched;
}

}  // namespace

int PatchImports(ImportHook* hooks, int count, bool allModules) {
    for (int i = 0; i < count; ++i) {
        if (*hooks[i].real) continue;
        HMODULE dll = LoadLibraryA(hooks[i].dll);
        if (dll) *hooks[i].real = reinterpret_cast<void*>(GetProcAddress(dll, hooks[i].name));
    }
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snap == INVALID_HANDLE_VALUE) return 0;
    int patched = 0;
    MODULEENTRY32 me;
    me.dwSize = sizeof me;
    for (BOOL ok = Module32First(snap, &me); ok; ok = Module32Next(snap, &me)) {
        if (!allModules && InSystemFolder(me.szExePath)) continue;
        patched += PatchModule(me.hModule, hooks, count);
    }
    CloseHandle(snap);
    return patched;
}

}  // namespace detail
}  // namespace uitest
