// The write-behind path of a stream opened for writing: cursor 0's ring of
// blocks and the "StreamInOutTask" thread that drains them into the file in
// order. The writer fills the current block; a full block is queued and the
// task told (message 1); a drain (message 2) returns once the file holds
// everything written so far.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

#include "engine/platform/os.h"

struct FileIO;

enum : uint32_t {
    WRITE_RING_START_BLOCKS = 3,
    WRITE_RING_MAX_BLOCKS = 10,
    STREAM_INOUT_QUEUE_DEPTH = 10,
    STREAM_INOUT_STACK = 4096,
};

// Messages of the task's queue (4 bytes each).
enum : uint32_t {
    STREAM_INOUT_WRITE = 1,             // write the oldest waiting block
    STREAM_INOUT_WRITE_AND_SIGNAL = 2,  // the same, then set the event
    STREAM_INOUT_QUIT = 255,
};

struct WriteRing {
    FileIO* io;
    uint32_t blockSize;
    uint32_t blocks;  // allocated, up to WRITE_RING_MAX_BLOCKS
    uint8_t* data[WRITE_RING_MAX_BLOCKS];
    uint32_t fill[WRITE_RING_MAX_BLOCKS];
    // Blocks waiting for the task, oldest first, as a circular list of indices.
    uint32_t queue[WRITE_RING_MAX_BLOCKS];
    uint32_t draining;  // queue slot of the oldest waiting block
    uint32_t waiting;
    uint32_t current;  // block the writer fills
    uint32_t offset;   // file position of the oldest unwritten byte
    uint32_t written;  // end of what the task has put in the file
    uint32_t failed;   // bytes the file refused (sticky until the ring goes)
    OsLock lock;
    OsEvent event;
    OsMsgQueue msgs;
    OsThread thread;
};

// A ring of `blocks` blocks of blockSize bytes over io, without its task.
WriteRing* WriteRing_Create(FileIO* io, uint32_t blockSize, uint32_t blocks);
// Ends the task (when running) and frees everything. The ring must be drained.
void WriteRing_Destroy(WriteRing* ring);
// Creates the event, the queue "StreamInOutMsg" and the thread
// "StreamInOutTask". 1/0.
int StreamInOut_Start(WriteRing* ring);
uint32_t StreamInOut_Task(void* ring);

// Copies n bytes (at most the block size) meant for file position `position`
// into the ring, queueing full blocks; waits while all 10 blocks are full.
// An empty ring starts at `position`; otherwise the bytes follow what it
// holds (the caller drains before writing elsewhere). Returns n, 0 when n
// does not fit a block.
uint32_t WriteRing_Put(WriteRing* ring, uint32_t position, const void* bytes, uint32_t n);
// Waits until nothing is waiting, then queues the current block.
void WriteRing_Flush(WriteRing* ring);
// Flush, message 2 and wait: on return the file holds every byte put so far.
// 1 when every block reached the file, 0 once any write failed.
int WriteRing_Drain(WriteRing* ring);
// Bytes in the ring not yet in the file.
uint32_t WriteRing_Pending(WriteRing* ring);
// File position right after the last byte put.
uint32_t WriteRing_End(WriteRing* ring);
// Bytes the file refused so far.
uint32_t WriteRing_Failed(WriteRing* ring);
// Replaces the (drained) blocks by `blocks` blocks of blockSize. 1/0.
int WriteRing_Resize(WriteRing* ring, uint32_t blockSize, uint32_t blocks);
