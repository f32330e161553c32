// Byte ring of compressed packets between the source and a decoder. The
// fetch step reads samples straight into the ring; the decoder takes them
// in order. A rest the decoder leaves unread stays at the head, is joined
// in front of the next packet, or is carried until the next one arrives;
// the head room at the start of the buffer makes room for such a rest.
//
// One thread fills a queue and one empties it. Every call but
// PacketQueue_Grow takes the queue lock;
// PacketQueue_Grow runs on the filling thread while no packet is peeked
// elsewhere.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

#include "engine/input/media_sample.h"
#include "engine/platform/os.h"

enum : uint32_t {
    PACKET_QUEUE_HEAD_ROOM = 2000,
    // Limits on what a file's sample sizes may ask of a queue.
    PACKET_QUEUE_MAX_PACKET = 32u << 20,
    PACKET_QUEUE_MAX_ENTRIES = 64,
};

struct PacketQueueEntry {
    uint8_t* data;  // into the queue's buffer
    uint32_t length;
    uint32_t time;
    uint32_t duration;
    uint32_t flags;
};

struct PacketQueue {
    PacketQueueEntry** entries;  // entry_count records
    uint8_t* buffer;             // entry_count x max_packet + head room
    uint8_t* carry;              // a rest kept while the queue is empty
    uint32_t carry_length;
    uint32_t buffer_size;
    uint32_t max_packet;
    uint32_t entry_count;
    uint32_t count;        // queued packets
    uint32_t read_index;   // head
    uint32_t write_index;  // tail
    uint32_t zero_fill;    // buffer from OS_MallocZeroChecked / OS_Grow / OS_Free2
    OsLockWord lock;
};

// Null on any allocation failure, or when entries x max_packet exceeds the
// limits above.
PacketQueue* PacketQueue_Create(uint32_t entries, uint32_t max_packet, uint32_t zero_fill);
void PacketQueue_Destroy(PacketQueue* queue);  // null ignored
// Enlarges the largest packet to max_packet, moving queued packets and the
// carry with the buffer. 1; 0 when the size is over the limits or the
// allocation fails (the queue is then unchanged). Never shrinks.
int PacketQueue_Grow(PacketQueue* queue, uint32_t max_packet);
void PacketQueue_Clear(PacketQueue* queue);
// 1 with sample->data and sample->capacity (the largest packet) set to the
// next free area; 0 when there is no room.
int PacketQueue_GetWriteArea(PacketQueue* queue, MediaSample* sample);
// Appends the packet written into the area (length, time, duration, flags
// from the sample); the sample is zeroed.
void PacketQueue_Commit(PacketQueue* queue, MediaSample* sample);
// 1 with a copy of the head packet (data, length, time, duration, flags);
// 0 when empty.
int PacketQueue_Peek(PacketQueue* queue, MediaSample* packet);
// The head packet becomes the decoder's unread rest (data, length, time);
// the packet is zeroed.
void PacketQueue_KeepHead(PacketQueue* queue, MediaSample* packet);
// Removes the head. Unread bytes left in the packet are joined in front of
// the next packet, or carried until one arrives; a rest larger than the head
// room is dropped. The packet is zeroed.
void PacketQueue_Pop(PacketQueue* queue, MediaSample* packet);
uint32_t PacketQueue_Count(PacketQueue* queue);
