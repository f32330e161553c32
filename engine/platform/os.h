// Operating-system layer: the only way the engine reaches the kernel.
// Memory, locks, events, semaphores, threads, sleeping, ticks, COM, and a
// locked list queue with a message queue on top of it.
//
// Results follow the engine's habit: 1/0, or a handle that is 0 or
// OS_INVALID_HANDLE on failure, as each function says. Handles are opaque
// pointer-sized words.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <stddef.h>
#include <stdint.h>

typedef uintptr_t OsHandle;    // event, semaphore or thread
typedef uintptr_t OsLockWord;  // re-entrant lock
typedef uintptr_t OsMsgQueue;  // message queue
typedef struct ListQueue ListQueue;
// Names by kind, for readability at the call.
typedef OsHandle OsEvent;
typedef OsHandle OsSemaphore;
typedef OsHandle OsThread;
typedef OsLockWord OsLock;

#define OS_INVALID_HANDLE ((uintptr_t)-1)
// Waits without a time-out.
#define OS_INFINITE 0xFFFFFFFFu

// Thread priorities, passed to the platform as they stand.
#define OS_PRIORITY_LOWEST (-2)
#define OS_PRIORITY_NORMAL 0
#define OS_PRIORITY_HIGHEST 2
#define OS_PRIORITY_TIME_CRITICAL 15

// Thread body; its result is the thread's exit code.
typedef uint32_t (*OsThreadRoutine)(void* arg);

// Events: auto-reset, created unsignalled. A wait releases exactly one
// waiter per OS_SetEvent. Returns 0 on failure.
OsHandle OS_CreateEvent(const char16_t* name);
int OS_CloseEvent(OsHandle event);  // 1 for a null handle
int OS_SetEvent(OsHandle event);
int OS_WaitEvent(OsHandle event, uint32_t timeoutMs);  // 1 signalled, 0 timed out

// Counting semaphores. Release beyond the maximum fails (0). 0 on failure.
OsHandle OS_CreateSemaphore(int32_t initialCount, int32_t maximumCount, const char16_t* name);
int OS_CloseSemaphore(OsHandle sem);
int OS_WaitSemaphore(OsHandle sem, uint32_t timeoutMs);  // 1 when a count was taken
int OS_ReleaseSemaphore(OsHandle sem);

// Locks: re-entrant for the owning thread. OS_INVALID_HANDLE on failure.
OsLockWord OS_CreateLock(void);
int OS_DeleteLock(OsLockWord lock);  // 1, also for 0
int OS_Lock(OsLockWord lock);
int OS_Unlock(OsLockWord lock);

#ifdef __cplusplus
// Holds an OS-layer lock for the rest of a scope.
class OsLockGuard {
public:
    explicit OsLockGuard(OsLockWord lock) : lock_(lock) { OS_Lock(lock_); }
    ~OsLockGuard() { OS_Unlock(lock_); }
    OsLockGuard(const OsLockGuard&) = delete;
    OsLockGuard& operator=(const OsLockGuard&) = delete;

private:
    OsLockWord lock_;
};
#endif

// Message queue for one or more writers and one reader; depth is the
// number of messages it can hold. OS_INVALID_HANDLE on failure.
OsMsgQueue OS_CreateMsgQueue(const char16_t* name, int32_t depth);
void OS_DestroyMsgQueue(OsMsgQueue queue);  // frees messages still queued
// Copies size bytes of msg into the queue. 0 when the queue is full or the
// copy cannot be allocated (nothing is queued then).
int OS_PostMsg(OsMsgQueue queue, const void* msg, uint32_t size);
// Takes the oldest message, waiting for one when wait > 0, else polling.
// Copies at most size bytes (never more than were posted) into buffer and
// returns buffer; returns null, the buffer untouched, when there is none.
void* OS_ReceiveMsg(OsMsgQueue queue, void* buffer, uint32_t size, int wait);

// Memory.
void* OS_Malloc(size_t size);
void* OS_MallocZero(size_t size);
void* OS_MallocZeroChecked(size_t size);     // 0 for size 0
void* OS_Realloc(void* block, size_t size);  // size 0 returns block unchanged
void* OS_Calloc(size_t count, size_t size);  // size 0 returns 0
void OS_Free(void* block);
void OS_Free2(void* block);
// New zero-filled block of newSize holding the first min(oldSize, newSize)
// bytes of block; block is freed. 0 for newSize 0 (block freed). On
// allocation failure returns 0 and leaves block untouched.
void* OS_Grow(void* block, size_t newSize, size_t oldSize);

// COM apartment of the calling thread (apartment-threaded). 1/0.
int OS_ComInit(void);
void OS_ComUninit(void);

// Threads. stackSize is a minimum: the platform's default stack is used when
// it is larger. Returns OS_INVALID_HANDLE on failure. name and flags are
// unused by the platform.
OsHandle OS_CreateThread(const char* name, OsThreadRoutine routine, void* arg, int priority,
                         uint32_t stackSize, uint32_t flags);
// Waits until the thread has ended: 1 when it did within the time.
int OS_WaitThread(OsHandle thread, uint32_t timeoutMs);
void OS_CloseThread(OsHandle thread);  // the thread runs on; only the handle goes
void OS_ExitThread(void);              // ends the calling thread with code 0
int OS_TerminateThread(OsHandle thread);

void OS_Sleep(uint32_t ms);
// Milliseconds since an arbitrary start; wraps at 2^32.
uint32_t OS_GetTickCount(void);
uint32_t OS_Random(void);
void OS_GetLocalTime(uint16_t* hour, uint16_t* minute, uint16_t* second, uint16_t* millisecond);

// Locked list queue of owned data blocks (from OS_Malloc). 0 on failure.
ListQueue* List_Create(void);
void List_Destroy(ListQueue* list);  // frees every node and its data
void List_Clear(ListQueue* list);
// Appends data (ownership passes to the list). 0 when the node cannot be
// allocated (data stays the caller's).
int List_Push(ListQueue* list, void* data, uint32_t size);
// Unlinks the head and returns its data (now the caller's); null and size 0
// when empty.
void* List_Pop(ListQueue* list, uint32_t* size);
void* List_PeekHead(ListQueue* list, uint32_t* size);
int List_Count(ListQueue* list);
