// Win32 back end of the OS layer.
#include <windows.h>
#include <objbase.h>

#include <stdlib.h>

#include "engine/platform/os.h"

static HANDLE AsHandle(OsHandle h) { return reinterpret_cast<HANDLE>(h); }

static bool Valid(OsHandle h) { return h != 0 && h != OS_INVALID_HANDLE; }

static DWORD WinTimeout(uint32_t ms) { return ms == OS_INFINITE ? INFINITE : ms; }

OsHandle OS_CreateEvent(const char16_t* name) {
    HANDLE h = CreateEventW(nullptr, FALSE, FALSE, reinterpret_cast<const wchar_t*>(name));
    return reinterpret_cast<OsHandle>(h);
}

int OS_CloseEvent(OsHandle event) {
    if (event == 0) return 1;
    return CloseHandle(AsHandle(event)) ? 1 : 0;
}

int OS_SetEvent(OsHandle event) {
    if (!Valid(event)) return 0;
    return SetEvent(AsHandle(event)) ? 1 : 0;
}

int OS_WaitEvent(OsHandle event, uint32_t timeoutMs) {
    if (!Valid(event)) return 0;
    return WaitForSingleObject(AsHandle(event), WinTimeout(timeoutMs)) == WAIT_OBJECT_0 ? 1 : 0;
}

OsHandle OS_CreateSemaphore(int32_t initialCount, int32_t maximumCount, const char16_t* name) {
    HANDLE h = CreateSemaphoreW(nullptr, initialCount, maximumCount,
                                reinterpret_cast<const wchar_t*>(name));
    return reinterpret_cast<OsHandle>(h);
}

int OS_CloseSemaphore(OsHandle sem) { return OS_CloseEvent(sem); }

int OS_WaitSemaphore(OsHandle sem, uint32_t timeoutMs) { return OS_WaitEvent(sem, timeoutMs); }

int OS_ReleaseSemaphore(OsHandle sem) {
    if (!Valid(sem)) return 0;
    return ReleaseSemaphore(AsHandle(sem), 1, nullptr) ? 1 : 0;
}

OsLockWord OS_CreateLock(void) {
    CRITICAL_SECTION* cs = static_cast<CRITICAL_SECTION*>(malloc(sizeof(CRITICAL_SECTION)));
    if (!cs) return OS_INVALID_HANDLE;
    InitializeCriticalSection(cs);
    return reinterpret_cast<OsLockWord>(cs);
}

int OS_DeleteLock(OsLockWord lock) {
    if (!Valid(lock)) return 1;
    CRITICAL_SECTION* cs = reinterpret_cast<CRITICAL_SECTION*>(lock);
    DeleteCriticalSection(cs);
    free(cs);
    return 1;
}

int OS_Lock(OsLockWord lock) {
    if (!Valid(lock)) return 0;
    EnterCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(lock));
    return 1;
}

int OS_Unlock(OsLockWord lock) {
    if (!Valid(lock)) return 0;
    LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(lock));
    return 1;
}

int OS_ComInit(void) { return FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) ? 0 : 1; }

void OS_ComUninit(void) { CoUninitialize(); }

namespace {

struct StartBlock {
    OsThreadRoutine routine;
    void* arg;
};

DWORD WINAPI Trampoline(LPVOID p) {
    StartBlock start = *static_cast<StartBlock*>(p);
    free(p);
    return start.routine(start.arg);
}

}  // namespace

OsHandle OS_CreateThread(const char* name, OsThreadRoutine routine, void* arg, int priority,
                         uint32_t stackSize, uint32_t flags) {
    (void)name;
    (void)flags;
    if (!routine) return OS_INVALID_HANDLE;
    StartBlock* start = static_cast<StartBlock*>(malloc(sizeof(StartBlock)));
    if (!start) return OS_INVALID_HANDLE;
    start->routine = routine;
    start->arg = arg;
    // The size is a commit size under the executable's default reserve, so
    // the small sizes the engine asks for still leave a full stack.
    HANDLE h = CreateThread(nullptr, stackSize, Trampoline, start, 0, nullptr);
    if (!h) {
        free(start);
        return OS_INVALID_HANDLE;
    }
    SetThreadPriority(h, priority);
    return reinterpret_cast<OsHandle>(h);
}

int OS_WaitThread(OsHandle thread, uint32_t timeoutMs) { return OS_WaitEvent(thread, timeoutMs); }

void OS_CloseThread(OsHandle thread) {
    if (Valid(thread)) CloseHandle(AsHandle(thread));
}

void OS_ExitThread(void) { ExitThread(0); }

int OS_TerminateThread(OsHandle thread) {
    if (!Valid(thread)) return 0;
    return TerminateThread(AsHandle(thread), 0) ? 1 : 0;
}

void OS_Sleep(uint32_t ms) { Sleep(ms); }

uint32_t OS_GetTickCount(void) { return GetTickCount(); }

void OS_GetLocalTime(uint16_t* hour, uint16_t* minute, uint16_t* second, uint16_t* millisecond) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    if (hour) *hour = st.wHour;
    if (minute) *minute = st.wMinute;
    if (second) *second = st.wSecond;
    if (millisecond) *millisecond = st.wMilliseconds;
}
