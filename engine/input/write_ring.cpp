// Write-behind ring and its task. The ring's lock guards the block indices,
// the counts and the offsets; the file handle is used by the task while
// blocks are waiting and by the writer only once none is.
#include "engine/input/write_ring.h"

#include <cstdlib>
#include <cstring>

#include "engine/platform/fileio_sys.h"

namespace {

uint32_t PendingLocked(const WriteRing* r) {
    uint32_t n = r->fill[r->current];
    for (uint32_t i = 0; i < r->waiting; ++i) n += r->fill[r->queue[(r->draining + i) % r->blocks]];
    return n;
}

// A block other than the current one and not waiting; blocks when none.
bool FindFree(const WriteRing* r, uint32_t* out) {
    for (uint32_t b = 0; b < r->blocks; ++b) {
        if (b == r->current) continue;
        bool queued = false;
        for (uint32_t i = 0; i < r->waiting; ++i)
            if (r->queue[(r->draining + i) % r->blocks] == b) queued = true;
        if (!queued) {
            *out = b;
            return true;
        }
    }
    return false;
}

void PostOrWait(WriteRing* r, uint32_t msg) {
    // The queue holds at most one message per waiting block plus a drain, so
    // it is full only for an instant; a refused post is retried.
    while (!OS_PostMsg(r->msgs, &msg, sizeof msg)) OS_Sleep(1);
}

// Grows the queue of indices into the new block count: the queue is a
// circle over `blocks` slots, so unroll it first.
void Unroll(WriteRing* r) {
    uint32_t tmp[WRITE_RING_MAX_BLOCKS];
    for (uint32_t i = 0; i < r->waiting; ++i) tmp[i] = r->queue[(r->draining + i) % r->blocks];
    std::memcpy(r->queue, tmp, sizeof tmp);
    r->draining = 0;
}

// Queues the current block and takes a free one (growing the ring, or
// waiting for the task when it has all 10). Called and returns locked.
void AdvanceLocked(WriteRing* r) {
    uint32_t next;
    for (;;) {
        if (FindFree(r, &next)) break;
        if (r->blocks < WRITE_RING_MAX_BLOCKS) {
            uint8_t* block = static_cast<uint8_t*>(std::malloc(r->blockSize));
            if (block) {
                Unroll(r);
                next = r->blocks;
                r->data[next] = block;
                r->fill[next] = 0;
                r->blocks++;
                break;
            }
        }
        OS_Unlock(r->lock);
        OS_Sleep(1);
        OS_Lock(r->lock);
    }
    r->queue[(r->draining + r->waiting) % r->blocks] = r->current;
    r->waiting++;
    r->current = next;
    r->fill[next] = 0;
}

// Writes the oldest waiting block and releases it.
void WriteOldest(WriteRing* r) {
    uint32_t block, count, at;
    {
        OsLockGuard g(r->lock);
        if (!r->waiting) return;
        block = r->queue[r->draining];
        count = r->fill[block];
        at = r->offset;
    }
    bool ok = true;
    if (count) {
        ok = FileIO_Seek(r->io, at) != 0;
        if (ok) ok = FileIO_Write(r->io, r->data[block], count) == int32_t(count);
    }
    OsLockGuard g(r->lock);
    if (!ok) r->failed += count;
    r->fill[block] = 0;
    r->draining = (r->draining + 1) % r->blocks;
    r->waiting--;
    r->offset = at + count;
    if (ok && r->offset > r->written) r->written = r->offset;
}

}  // namespace

WriteRing* WriteRing_Create(FileIO* io, uint32_t blockSize, uint32_t blocks) {
    if (!blockSize || !blocks || blocks > WRITE_RING_MAX_BLOCKS) return nullptr;
    WriteRing* r = static_cast<WriteRing*>(std::calloc(1, sizeof(WriteRing)));
    if (!r) return nullptr;
    r->io = io;
    r->lock = OS_INVALID_HANDLE;
    r->msgs = OS_INVALID_HANDLE;
    r->thread = OS_INVALID_HANDLE;
    if (!WriteRing_Resize(r, blockSize, blocks)) {
        std::free(r);
        return nullptr;
    }
    r->lock = OS_CreateLock();
    if (r->lock == OS_INVALID_HANDLE) {
        WriteRing_Destroy(r);
        return nullptr;
    }
    return r;
}

int WriteRing_Resize(WriteRing* r, uint32_t blockSize, uint32_t blocks) {
    uint8_t* fresh[WRITE_RING_MAX_BLOCKS] = {};
    for (uint32_t i = 0; i < blocks; ++i) {
        fresh[i] = static_cast<uint8_t*>(std::malloc(blockSize));
        if (!fresh[i]) {
            for (uint32_t j = 0; j < i; ++j) std::free(fresh[j]);
            return 0;
        }
    }
    for (uint32_t i = 0; i < r->blocks; ++i) std::free(r->data[i]);
    std::memset(r->data, 0, sizeof r->data);
    std::memset(r->fill, 0, sizeof r->fill);
    std::memcpy(r->data, fresh, blocks * sizeof(uint8_t*));
    r->blocks = blocks;
    r->blockSize = blockSize;
    r->current = 0;
    r->draining = 0;
    r->waiting = 0;
    return 1;
}

int StreamInOut_Start(WriteRing* r) {
    r->event = OS_CreateEvent(nullptr);
    if (!r->event) return 0;
    r->msgs = OS_CreateMsgQueue(u"StreamInOutMsg", STREAM_INOUT_QUEUE_DEPTH);
    if (r->msgs == OS_INVALID_HANDLE) return 0;
    r->thread = OS_CreateThread("StreamInOutTask", StreamInOut_Task, r, OS_PRIORITY_HIGHEST,
                                STREAM_INOUT_STACK, 0);
    if (r->thread == OS_INVALID_HANDLE) {
        OS_DestroyMsgQueue(r->msgs);
        r->msgs = OS_INVALID_HANDLE;
        return 0;
    }
    return 1;
}

uint32_t StreamInOut_Task(void* arg) {
    WriteRing* r = static_cast<WriteRing*>(arg);
    for (;;) {
        uint32_t msg = 0;
        if (!OS_ReceiveMsg(r->msgs, &msg, sizeof msg, 1)) continue;
        switch (msg) {
            case STREAM_INOUT_WRITE: WriteOldest(r); break;
            case STREAM_INOUT_WRITE_AND_SIGNAL:
                WriteOldest(r);
                OS_SetEvent(r->event);
                break;
            case STREAM_INOUT_QUIT:
                // The writer posts nothing after the quit; the queue goes here.
                OS_DestroyMsgQueue(r->msgs);
                OS_SetEvent(r->event);
                return 0;
            default: break;
        }
    }
}

uint32_t WriteRing_Put(WriteRing* r, uint32_t position, const void* bytes, uint32_t n) {
    if (n > r->blockSize) return 0;
    if (n == 0) return 0;
    bool queued = false;
    {
        OsLockGuard g(r->lock);
        if (PendingLocked(r) == 0) r->offset = position;
        if (r->fill[r->current] + n > r->blockSize) {
            AdvanceLocked(r);
            queued = true;
        }
        std::memcpy(r->data[r->current] + r->fill[r->current], bytes, n);
        r->fill[r->current] += n;
    }
    if (queued) PostOrWait(r, STREAM_INOUT_WRITE);
    return n;
}

void WriteRing_Flush(WriteRing* r) {
    for (;;) {
        {
            OsLockGuard g(r->lock);
            if (r->waiting == 0) {
                AdvanceLocked(r);
                return;
            }
        }
        OS_Sleep(1);
    }
}

int WriteRing_Drain(WriteRing* r) {
    if (r->thread != OS_INVALID_HANDLE && WriteRing_Pending(r)) {
        WriteRing_Flush(r);
        PostOrWait(r, STREAM_INOUT_WRITE_AND_SIGNAL);
        OS_WaitEvent(r->event, OS_INFINITE);
    }
    OsLockGuard g(r->lock);
    return r->failed ? 0 : 1;
}

uint32_t WriteRing_Pending(WriteRing* r) {
    OsLockGuard g(r->lock);
    return PendingLocked(r);
}

uint32_t WriteRing_End(WriteRing* r) {
    OsLockGuard g(r->lock);
    return r->offset + PendingLocked(r);
}

uint32_t WriteRing_Failed(WriteRing* r) {
    OsLockGuard g(r->lock);
    return r->failed;
}

void WriteRing_Destroy(WriteRing* r) {
    if (!r) return;
    if (r->thread != OS_INVALID_HANDLE) {
        PostOrWait(r, STREAM_INOUT_QUIT);
        OS_WaitEvent(r->event, OS_INFINITE);
        OS_WaitThread(r->thread, OS_INFINITE);
        OS_CloseThread(r->thread);
    } else if (r->msgs != OS_INVALID_HANDLE) {
        OS_DestroyMsgQueue(r->msgs);
    }
    if (r->event) OS_CloseEvent(r->event);
    if (r->lock != OS_INVALID_HANDLE) OS_DeleteLock(r->lock);
    for (uint32_t i = 0; i < r->blocks; ++i) std::free(r->data[i]);
    std::free(r);
}
