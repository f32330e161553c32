// POSIX back end of the OS layer: kernel objects over pthreads.
#include <errno.h>
#include <pthread.h>
#include <stdlib.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include <new>

#include "engine/platform/os.h"

namespace {

// Absolute CLOCK_MONOTONIC deadline timeoutMs from now.
timespec Deadline(uint32_t timeoutMs) {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    ts.tv_sec += timeoutMs / 1000;
    ts.tv_nsec += (long)(timeoutMs % 1000) * 1000000L;
    if (ts.tv_nsec >= 1000000000L) {
        ts.tv_sec++;
        ts.tv_nsec -= 1000000000L;
    }
    return ts;
}

// A mutex and a condition on the monotonic clock: the base of events,
// semaphores and thread completion.
struct Waitable {
    pthread_mutex_t mutex;
    pthread_cond_t cond;

    bool Init() {
        if (pthread_mutex_init(&mutex, nullptr) != 0) return false;
        pthread_condattr_t attr;
        pthread_condattr_init(&attr);
        pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
        int rc = pthread_cond_init(&cond, &attr);
        pthread_condattr_destroy(&attr);
        if (rc != 0) {
            pthread_mutex_destroy(&mutex);
            return false;
        }
        return true;
    }
    void Destroy() {
        pthread_cond_destroy(&cond);
        pthread_mutex_destroy(&mutex);
    }
    // Waits under the mutex until ready() holds or the time runs out.
    template <typename Ready>
    bool WaitLocked(uint32_t timeoutMs, Ready ready) {
        if (timeoutMs == OS_INFINITE) {
            while (!ready()) pthread_cond_wait(&cond, &mutex);
            return true;
        }
        timespec deadline = Deadline(timeoutMs);
        while (!ready()) {
            if (pthread_cond_timedwait(&cond, &mutex, &deadline) == ETIMEDOUT) return ready();
        }
        return true;
    }
};

enum Kind : uint32_t { kEvent = 0x45564E54, kSemaphore = 0x53454D41 };

struct Event {
    uint32_t kind;
    Waitable w;
    bool signalled;
};

struct Semaphore {
    uint32_t kind;
    Waitable w;
    int32_t count;
    int32_t maximum;
};

template <typename T>
T* AsObject(OsHandle h, uint32_t kind) {
    if (h == 0 || h == OS_INVALID_HANDLE) return nullptr;
    T* obj = reinterpret_cast<T*>(h);
    return obj->kind == kind ? obj : nullptr;
}

}  // namespace

OsHandle OS_CreateEvent(const char16_t* name) {
    (void)name;
    Event* e = new (std::nothrow) Event;
    if (!e) return 0;
    e->kind = kEvent;
    e->signalled = false;
    if (!e->w.Init()) {
        delete e;
        return 0;
    }
    return reinterpret_cast<OsHandle>(e);
}

int OS_CloseEvent(OsHandle event) {
    if (event == 0) return 1;
    Event* e = AsObject<Event>(event, kEvent);
    if (!e) return 0;
    e->kind = 0;
    e->w.Destroy();
    delete e;
    return 1;
}

int OS_SetEvent(OsHandle event) {
    Event* e = AsObject<Event>(event, kEvent);
    if (!e) return 0;
    pthread_mutex_lock(&e->w.mutex);
    e->signalled = true;
    pthread_cond_signal(&e->w.cond);
    pthread_mutex_unlock(&e->w.mutex);
    return 1;
}

int OS_WaitEvent(OsHandle event, uint32_t timeoutMs) {
    Event* e = AsObject<Event>(event, kEvent);
    if (!e) return 0;
    pthread_mutex_lock(&e->w.mutex);
    bool got = e->w.WaitLocked(timeoutMs, [e] { return e->signalled; });
    if (got) e->signalled = false;  // auto-reset: one waiter per signal
    pthread_mutex_unlock(&e->w.mutex);
    return got ? 1 : 0;
}

OsHandle OS_CreateSemaphore(int32_t initialCount, int32_t maximumCount, const char16_t* name) {
    (void)name;
    if (maximumCount < 1 || initialCount < 0 || initialCount > maximumCount) return 0;
    Semaphore* s = new (std::nothrow) Semaphore;
    if (!s) return 0;
    s->kind = kSemaphore;
    s->count = initialCount;
    s->maximum = maximumCount;
    if (!s->w.Init()) {
        delete s;
        return 0;
    }
    return reinterpret_cast<OsHandle>(s);
}

int OS_CloseSemaphore(OsHandle sem) {
    if (sem == 0) return 1;
    Semaphore* s = AsObject<Semaphore>(sem, kSemaphore);
    if (!s) return 0;
    s->kind = 0;
    s->w.Destroy();
    delete s;
    return 1;
}

int OS_WaitSemaphore(OsHandle sem, uint32_t timeoutMs) {
    Semaphore* s = AsObject<Semaphore>(sem, kSemaphore);
    if (!s) return 0;
    pthread_mutex_lock(&s->w.mutex);
    bool got = s->w.WaitLocked(timeoutMs, [s] { return s->count > 0; });
    if (got) s->count--;
    pthread_mutex_unlock(&s->w.mutex);
    return got ? 1 : 0;
}

int OS_ReleaseSemaphore(OsHandle sem) {
    Semaphore* s = AsObject<Semaphore>(sem, kSemaphore);
    if (!s) return 0;
    pthread_mutex_lock(&s->w.mutex);
    int ok = 0;
    if (s->count < s->maximum) {
        s->count++;
        pthread_cond_signal(&s->w.cond);
        ok = 1;
    }
    pthread_mutex_unlock(&s->w.mutex);
    return ok;
}

OsLockWord OS_CreateLock(void) {
    pthread_mutex_t* m = static_cast<pthread_mutex_t*>(malloc(sizeof(pthread_mutex_t)));
    if (!m) return OS_INVALID_HANDLE;
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    int rc = pthread_mutex_init(m, &attr);
    pthread_mutexattr_destroy(&attr);
    if (rc != 0) {
        free(m);
        return OS_INVALID_HANDLE;
    }
    return reinterpret_cast<OsLockWord>(m);
}

int OS_DeleteLock(OsLockWord lock) {
    if (lock == 0 || lock == OS_INVALID_HANDLE) return 1;
    pthread_mutex_t* m = reinterpret_cast<pthread_mutex_t*>(lock);
    pthread_mutex_destroy(m);
    free(m);
    return 1;
}

int OS_Lock(OsLockWord lock) {
    if (lock == 0 || lock == OS_INVALID_HANDLE) return 0;
    pthread_mutex_lock(reinterpret_cast<pthread_mutex_t*>(lock));
    return 1;
}

int OS_Unlock(OsLockWord lock) {
    if (lock == 0 || lock == OS_INVALID_HANDLE) return 0;
    pthread_mutex_unlock(reinterpret_cast<pthread_mutex_t*>(lock));
    return 1;
}

// No COM here: the apartment always "succeeds".
int OS_ComInit(void) { return 1; }
void OS_ComUninit(void) {}

// ---- threads ----

namespace {

// Shared by the thread and its handle; freed by whichever lets go last.
struct Thread {
    Waitable w;
    pthread_t id;
    OsThreadRoutine routine;
    void* arg;
    bool done;
    int refs;
};

void Release(Thread* t) {
    pthread_mutex_lock(&t->w.mutex);
    bool last = --t->refs == 0;
    pthread_mutex_unlock(&t->w.mutex);
    if (last) {
        t->w.Destroy();
        delete t;
    }
}

// Marks the thread done however it leaves, including OS_ExitThread.
struct DoneGuard {
    Thread* t;
    ~DoneGuard() {
        pthread_mutex_lock(&t->w.mutex);
        t->done = true;
        pthread_cond_broadcast(&t->w.cond);
        pthread_mutex_unlock(&t->w.mutex);
        Release(t);
    }
};

void* Trampoline(void* p) {
    Thread* t = static_cast<Thread*>(p);
    DoneGuard guard{t};
    t->routine(t->arg);
    return nullptr;
}

// The engine asks for Windows-sized stacks of a few KiB, which Windows
// treats as a commit size under a reserve of a MiB or more. Here every
// thread gets at least the platform's default stack (and never below
// 1 MiB); the sanitizers' thread-local state lives on it too.
const size_t kMinStack = 1u << 20;

}  // namespace

OsHandle OS_CreateThread(const char* name, OsThreadRoutine routine, void* arg, int priority,
                         uint32_t stackSize, uint32_t flags) {
    (void)name;
    (void)priority;  // raising priority needs privileges; the engine works without
    (void)flags;
    if (!routine) return OS_INVALID_HANDLE;
    Thread* t = new (std::nothrow) Thread;
    if (!t) return OS_INVALID_HANDLE;
    if (!t->w.Init()) {
        delete t;
        return OS_INVALID_HANDLE;
    }
    t->routine = routine;
    t->arg = arg;
    t->done = false;
    t->refs = 2;
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    size_t stack = 0;
    pthread_attr_getstacksize(&attr, &stack);
    if (stack < kMinStack) stack = kMinStack;
    if (stack < stackSize) stack = stackSize;
    pthread_attr_setstacksize(&attr, stack);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    int rc = pthread_create(&t->id, &attr, Trampoline, t);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        t->w.Destroy();
        delete t;
        return OS_INVALID_HANDLE;
    }
    return reinterpret_cast<OsHandle>(t);
}

int OS_WaitThread(OsHandle thread, uint32_t timeoutMs) {
    if (thread == 0 || thread == OS_INVALID_HANDLE) return 0;
    Thread* t = reinterpret_cast<Thread*>(thread);
    pthread_mutex_lock(&t->w.mutex);
    bool ended = t->w.WaitLocked(timeoutMs, [t] { return t->done; });
    pthread_mutex_unlock(&t->w.mutex);
    return ended ? 1 : 0;
}

void OS_CloseThread(OsHandle thread) {
    if (thread == 0 || thread == OS_INVALID_HANDLE) return;
    Release(reinterpret_cast<Thread*>(thread));
}

void OS_ExitThread(void) { pthread_exit(nullptr); }

int OS_TerminateThread(OsHandle thread) {
    if (thread == 0 || thread == OS_INVALID_HANDLE) return 0;
    Thread* t = reinterpret_cast<Thread*>(thread);
    pthread_mutex_lock(&t->w.mutex);
    bool done = t->done;
    pthread_mutex_unlock(&t->w.mutex);
    return !done && pthread_cancel(t->id) == 0 ? 1 : 0;
}

void OS_Sleep(uint32_t ms) {
    timespec ts;
    ts.tv_sec = ms / 1000;
    ts.tv_nsec = (long)(ms % 1000) * 1000000L;
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {}
}

uint32_t OS_GetTickCount(void) {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint32_t)((uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u);
}

void OS_GetLocalTime(uint16_t* hour, uint16_t* minute, uint16_t* second, uint16_t* millisecond) {
    timeval tv;
    gettimeofday(&tv, nullptr);
    time_t now = tv.tv_sec;
    tm local;
    localtime_r(&now, &local);
    if (hour) *hour = (uint16_t)local.tm_hour;
    if (minute) *minute = (uint16_t)local.tm_min;
    if (second) *second = (uint16_t)local.tm_sec;
    if (millisecond) *millisecond = (uint16_t)(tv.tv_usec / 1000);
}
