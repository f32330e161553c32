// Contract of the OS layer, shared by the POSIX and Win32 back ends (the
// Windows build runs this same file under Wine).
#include <atomic>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/platform/os.h"

namespace {

// Polls cond for up to ms milliseconds.
template <typename Cond>
bool WaitFor(Cond cond, uint32_t ms = 5000) {
    uint32_t start = OS_GetTickCount();
    while (!cond()) {
        if (OS_GetTickCount() - start > ms) return false;
        OS_Sleep(1);
    }
    return true;
}

struct Waiter {
    OsHandle event;
    std::atomic<int>* woken;
};

uint32_t WaitOnce(void* p) {
    Waiter* w = static_cast<Waiter*>(p);
    if (OS_WaitEvent(w->event, 10000)) w->woken->fetch_add(1);
    return 0;
}

}  // namespace

TEST(OsEvent, AutoResetReleasesExactlyOneWaiterPerSignal) {
    OsHandle ev = OS_CreateEvent(nullptr);
    ASSERT_NE(0u, ev);
    std::atomic<int> woken{0};
    Waiter w{ev, &woken};
    OsHandle threads[3];
    for (OsHandle& t : threads) {
        t = OS_CreateThread("waiter", WaitOnce, &w, OS_PRIORITY_NORMAL, 4096, 0);
        ASSERT_NE(OS_INVALID_HANDLE, t);
    }
    OS_Sleep(50);  // let them block
    for (int round = 1; round <= 3; ++round) {
        EXPECT_EQ(1, OS_SetEvent(ev));
        EXPECT_TRUE(WaitFor([&] { return woken.load() >= round; }));
        OS_Sleep(100);
        EXPECT_EQ(round, woken.load()) << "one signal woke more than one waiter";
    }
    for (OsHandle t : threads) {
        EXPECT_EQ(1, OS_WaitThread(t, 5000));
        OS_CloseThread(t);
    }
    EXPECT_EQ(1, OS_CloseEvent(ev));
}

TEST(OsEvent, SignalIsKeptUntilOneWaitConsumesIt) {
    OsHandle ev = OS_CreateEvent(nullptr);
    ASSERT_NE(0u, ev);
    EXPECT_EQ(0, OS_WaitEvent(ev, 0)) << "created signalled";
    OS_SetEvent(ev);
    OS_SetEvent(ev);
    EXPECT_EQ(1, OS_WaitEvent(ev, 0));
    EXPECT_EQ(0, OS_WaitEvent(ev, 0)) << "not reset by the first wait";
    OS_CloseEvent(ev);
    EXPECT_EQ(1, OS_CloseEvent(0));
}

TEST(OsEvent, WaitTimesOut) {
    OsHandle ev = OS_CreateEvent(nullptr);
    ASSERT_NE(0u, ev);
    uint32_t start = OS_GetTickCount();
    EXPECT_EQ(0, OS_WaitEvent(ev, 60));
    uint32_t took = OS_GetTickCount() - start;
    // The tick may be coarse (10-16 ms on Windows); the bound above is only
    // against hanging.
    EXPECT_GE(took, 30u);
    EXPECT_LT(took, 5000u);
    OS_CloseEvent(ev);
}

TEST(OsSemaphore, CountsUpToItsMaximum) {
    OsHandle sem = OS_CreateSemaphore(1, 3, nullptr);
    ASSERT_NE(0u, sem);
    EXPECT_EQ(1, OS_ReleaseSemaphore(sem));
    EXPECT_EQ(1, OS_ReleaseSemaphore(sem));
    EXPECT_EQ(0, OS_ReleaseSemaphore(sem)) << "released beyond the maximum";
    for (int i = 0; i < 3; ++i) EXPECT_EQ(1, OS_WaitSemaphore(sem, 0)) << i;
    uint32_t start = OS_GetTickCount();
    EXPECT_EQ(0, OS_WaitSemaphore(sem, 50));
    EXPECT_GE(OS_GetTickCount() - start, 30u);
    EXPECT_EQ(1, OS_CloseSemaphore(sem));
    EXPECT_EQ(0u, OS_CreateSemaphore(4, 3, nullptr)) << "initial count above the maximum";
}

namespace {

struct LockProbe {
    OsLockWord lock;
    std::atomic<int> entered{0};
    int counter = 0;
};

uint32_t TakeLock(void* p) {
    LockProbe* probe = static_cast<LockProbe*>(p);
    OS_Lock(probe->lock);
    probe->entered = 1;
    OS_Unlock(probe->lock);
    return 0;
}

uint32_t CountUnderLock(void* p) {
    LockProbe* probe = static_cast<LockProbe*>(p);
    for (int i = 0; i < 20000; ++i) {
        OS_Lock(probe->lock);
        probe->counter = probe->counter + 1;
        OS_Unlock(probe->lock);
    }
    return 0;
}

}  // namespace

TEST(OsLock, IsReentrantAndHeldUntilTheLastUnlock) {
    LockProbe probe;
    probe.lock = OS_CreateLock();
    ASSERT_NE(OS_INVALID_HANDLE, probe.lock);
    EXPECT_EQ(1, OS_Lock(probe.lock));
    EXPECT_EQ(1, OS_Lock(probe.lock));  // the same thread enters again
    EXPECT_EQ(1, OS_Unlock(probe.lock));
    OsHandle t = OS_CreateThread("other", TakeLock, &probe, OS_PRIORITY_NORMAL, 4096, 0);
    ASSERT_NE(OS_INVALID_HANDLE, t);
    OS_Sleep(100);
    EXPECT_EQ(0, probe.entered.load()) << "another thread entered a held lock";
    EXPECT_EQ(1, OS_Unlock(probe.lock));
    EXPECT_EQ(1, OS_WaitThread(t, 5000));
    EXPECT_EQ(1, probe.entered.load());
    OS_CloseThread(t);
    EXPECT_EQ(1, OS_DeleteLock(probe.lock));
    EXPECT_EQ(1, OS_DeleteLock(0));
}

TEST(OsLock, ExcludesOtherThreads) {
    LockProbe probe;
    probe.lock = OS_CreateLock();
    OsHandle threads[4];
    for (OsHandle& t : threads)
        t = OS_CreateThread("count", CountUnderLock, &probe, OS_PRIORITY_NORMAL, 4096, 0);
    for (OsHandle t : threads) {
        ASSERT_EQ(1, OS_WaitThread(t, 30000));
        OS_CloseThread(t);
    }
    EXPECT_EQ(80000, probe.counter);
    OS_DeleteLock(probe.lock);
}

namespace {

std::atomic<int> g_afterExit{0};

uint32_t ExitEarly(void* p) {
    static_cast<std::atomic<int>*>(p)->store(1);
    OS_ExitThread();
    g_afterExit = 1;
    return 0;
}

// Uses far more stack than the few KiB the engine asks for.
uint32_t DeepStack(void* p) {
    volatile unsigned char big[256 * 1024];
    for (size_t i = 0; i < sizeof big; i += 512) big[i] = (unsigned char)(i / 512 + 1);
    unsigned sum = 0;
    for (size_t i = 0; i < sizeof big; i += 512) sum += big[i];
    *static_cast<unsigned*>(p) = sum;
    return 0;
}

}  // namespace

TEST(OsThread, ExitThreadEndsTheCallerAtOnce) {
    std::atomic<int> started{0};
    OsHandle t = OS_CreateThread("exit", ExitEarly, &started, OS_PRIORITY_HIGHEST, 1024, 0);
    ASSERT_NE(OS_INVALID_HANDLE, t);
    EXPECT_EQ(1, OS_WaitThread(t, 5000));
    EXPECT_EQ(1, started.load());
    EXPECT_EQ(0, g_afterExit.load());
    OS_CloseThread(t);
}

TEST(OsThread, SmallRequestedStackStillGivesAFullStack) {
    unsigned sum = 0;
    OsHandle t = OS_CreateThread("deep", DeepStack, &sum, OS_PRIORITY_LOWEST, 1024, 0);
    ASSERT_NE(OS_INVALID_HANDLE, t);
    EXPECT_EQ(1, OS_WaitThread(t, 5000));
    EXPECT_NE(0u, sum);
    OS_CloseThread(t);
}

TEST(OsThread, HandleMayBeClosedWhileTheThreadRuns) {
    OsHandle ev = OS_CreateEvent(nullptr);
    Waiter w{ev, nullptr};
    std::atomic<int> woken{0};
    w.woken = &woken;
    OsHandle t = OS_CreateThread("detached", WaitOnce, &w, OS_PRIORITY_NORMAL, 4096, 0);
    ASSERT_NE(OS_INVALID_HANDLE, t);
    OS_CloseThread(t);
    OS_SetEvent(ev);
    EXPECT_TRUE(WaitFor([&] { return woken.load() == 1; }));
    OS_Sleep(20);  // let it leave before the event goes
    OS_CloseEvent(ev);
}

namespace {

void* Block(uint32_t value) {
    uint32_t* p = static_cast<uint32_t*>(OS_Malloc(sizeof value));
    *p = value;
    return p;
}

}  // namespace

TEST(OsList, PopsInPushOrderWithTheSizes) {
    ListQueue* list = List_Create();
    ASSERT_NE(nullptr, list);
    uint32_t size = 99;
    EXPECT_EQ(nullptr, List_Pop(list, &size));
    EXPECT_EQ(0u, size);
    for (uint32_t i = 1; i <= 5; ++i) ASSERT_EQ(1, List_Push(list, Block(i), 10 + i));
    EXPECT_EQ(5, List_Count(list));
    void* head = List_PeekHead(list, &size);
    ASSERT_NE(nullptr, head);
    EXPECT_EQ(1u, *static_cast<uint32_t*>(head));
    EXPECT_EQ(11u, size);
    for (uint32_t i = 1; i <= 5; ++i) {
        void* p = List_Pop(list, &size);
        ASSERT_NE(nullptr, p);
        EXPECT_EQ(i, *static_cast<uint32_t*>(p));
        EXPECT_EQ(10 + i, size);
        OS_Free(p);
    }
    EXPECT_EQ(nullptr, List_Pop(list, &size));
    // Refills after it ran empty, then Clear and Destroy free what is left.
    List_Push(list, Block(7), 4);
    EXPECT_EQ(7u, *static_cast<uint32_t*>(List_PeekHead(list, &size)));
    List_Clear(list);
    EXPECT_EQ(0, List_Count(list));
    List_Push(list, Block(8), 4);
    List_Destroy(list);
}

TEST(OsMsgQueue, DeliversInOrderWithThePostedSize) {
    OsMsgQueue q = OS_CreateMsgQueue(u"test", 4);
    ASSERT_NE(OS_INVALID_HANDLE, q);
    const unsigned char two[2] = {0x11, 0x22};
    const unsigned char six[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(1, OS_PostMsg(q, two, 2));
    ASSERT_EQ(1, OS_PostMsg(q, six, 6));

    unsigned char buf[8];
    std::memset(buf, 0xEE, sizeof buf);
    EXPECT_EQ(buf, OS_ReceiveMsg(q, buf, sizeof buf, 0));
    const unsigned char want1[8] = {0x11, 0x22, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(0, std::memcmp(want1, buf, 8)) << "copied beyond the posted message";

    // A buffer smaller than the message gets only what fits.
    std::memset(buf, 0xEE, sizeof buf);
    EXPECT_EQ(buf, OS_ReceiveMsg(q, buf, 4, 1));
    const unsigned char want2[8] = {1, 2, 3, 4, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(0, std::memcmp(want2, buf, 8));

    // Nothing queued: a poll returns null and leaves the buffer.
    std::memset(buf, 0x5A, sizeof buf);
    EXPECT_EQ(nullptr, OS_ReceiveMsg(q, buf, sizeof buf, 0));
    EXPECT_EQ(0x5A, buf[0]);
    OS_DestroyMsgQueue(q);
}

TEST(OsMsgQueue, FullQueueRefusesAndDestroyFreesPending) {
    OsMsgQueue q = OS_CreateMsgQueue(nullptr, 3);
    ASSERT_NE(OS_INVALID_HANDLE, q);
    for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(1, OS_PostMsg(q, &i, 4)) << i;
    uint32_t extra = 3;
    EXPECT_EQ(0, OS_PostMsg(q, &extra, 4));
    uint32_t got = 0;
    ASSERT_NE(nullptr, OS_ReceiveMsg(q, &got, 4, 1));
    EXPECT_EQ(0u, got);
    EXPECT_EQ(1, OS_PostMsg(q, &extra, 4)) << "room again after a receive";
    OS_DestroyMsgQueue(q);  // three messages still queued (leak check)
    EXPECT_EQ(OS_INVALID_HANDLE, OS_CreateMsgQueue(nullptr, 0));
}

namespace {

struct Producer {
    OsMsgQueue q;
    uint32_t id;
};

const uint32_t kPerProducer = 300;

uint32_t Produce(void* p) {
    Producer* pr = static_cast<Producer*>(p);
    for (uint32_t i = 0; i < kPerProducer; ++i) {
        uint32_t msg[2] = {pr->id, i};
        while (!OS_PostMsg(pr->q, msg, sizeof msg)) OS_Sleep(1);  // full: try again
    }
    return 0;
}

}  // namespace

TEST(OsMsgQueue, TwoWritersOneReaderKeepEachWritersOrder) {
    OsMsgQueue q = OS_CreateMsgQueue(nullptr, 10);
    Producer a{q, 0}, b{q, 1};
    OsHandle ta = OS_CreateThread("a", Produce, &a, OS_PRIORITY_NORMAL, 4096, 0);
    OsHandle tb = OS_CreateThread("b", Produce, &b, OS_PRIORITY_NORMAL, 4096, 0);
    uint32_t next[2] = {0, 0};
    for (uint32_t n = 0; n < 2 * kPerProducer; ++n) {
        uint32_t msg[2] = {9, 9};
        ASSERT_NE(nullptr, OS_ReceiveMsg(q, msg, sizeof msg, 1));
        ASSERT_LT(msg[0], 2u);
        EXPECT_EQ(next[msg[0]], msg[1]);
        next[msg[0]] = msg[1] + 1;
    }
    EXPECT_EQ(kPerProducer, next[0]);
    EXPECT_EQ(kPerProducer, next[1]);
    OS_WaitThread(ta, 5000);
    OS_WaitThread(tb, 5000);
    OS_CloseThread(ta);
    OS_CloseThread(tb);
    OS_DestroyMsgQueue(q);
}

TEST(OsMemory, GrowKeepsTheOldBytesAndZeroFillsTheRest) {
    struct Case {
        const char* name;
        size_t oldSize, newSize;
    };
    const Case cases[] = {
        {"grow", 8, 32},
        {"same", 16, 16},
        {"shrink copies only the new size", 64, 8},
    };
    for (const Case& c : cases) {
        unsigned char* old = static_cast<unsigned char*>(OS_Malloc(c.oldSize));
        for (size_t i = 0; i < c.oldSize; ++i) old[i] = (unsigned char)(i + 1);
        unsigned char* grown = static_cast<unsigned char*>(OS_Grow(old, c.newSize, c.oldSize));
        ASSERT_NE(nullptr, grown) << c.name;
        for (size_t i = 0; i < c.newSize; ++i)
            EXPECT_EQ(i < c.oldSize ? (unsigned char)(i + 1) : 0, grown[i]) << c.name << " @" << i;
        OS_Free2(grown);
    }
    EXPECT_EQ(nullptr, OS_Grow(OS_Malloc(4), 0, 4));  // frees the block
    unsigned char* fresh = static_cast<unsigned char*>(OS_Grow(nullptr, 4, 0));
    ASSERT_NE(nullptr, fresh);
    EXPECT_EQ(0, fresh[3]);
    OS_Free(fresh);
}

TEST(OsMemory, ZeroSizeRules) {
    EXPECT_EQ(nullptr, OS_MallocZeroChecked(0));
    EXPECT_EQ(nullptr, OS_Calloc(5, 0));
    void* p = OS_Malloc(16);
    EXPECT_EQ(p, OS_Realloc(p, 0)) << "size 0 keeps the block";
    OS_Free(p);
    unsigned char* z = static_cast<unsigned char*>(OS_MallocZeroChecked(32));
    ASSERT_NE(nullptr, z);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(0, z[i]);
    OS_Free2(z);
    OS_Free(nullptr);
}

TEST(OsMisc, TicksAdvanceAndRandomStaysInRange) {
    uint32_t a = OS_GetTickCount();
    OS_Sleep(100);
    EXPECT_GE(OS_GetTickCount() - a, 60u);  // the tick may step by 16 ms
    uint32_t r = OS_Random();
    EXPECT_GE(r, 10000000u);
    EXPECT_LT(r, 110000000u);
    uint16_t h = 99, m = 99, s = 99, ms = 9999;
    OS_GetLocalTime(&h, &m, &s, &ms);
    EXPECT_LT(h, 24);
    EXPECT_LT(m, 60);
    EXPECT_LT(s, 61);
    EXPECT_LT(ms, 1000);
    EXPECT_EQ(1, OS_ComInit());
    OS_ComUninit();
}
