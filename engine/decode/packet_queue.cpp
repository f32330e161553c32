#include "engine/decode/packet_queue.h"

#include <cstring>

namespace {

void Zero(MediaSample* s) {
    if (s) std::memset(s, 0, sizeof(*s));
}

// Buffer size for n packets of s bytes, or 0 when over the limits.
uint32_t BufferSize(uint32_t n, uint32_t s) {
    if (n == 0 || n > PACKET_QUEUE_MAX_ENTRIES || s > PACKET_QUEUE_MAX_PACKET) return 0;
    uint64_t size = uint64_t(n) * s + PACKET_QUEUE_HEAD_ROOM;
    return size > 0xFFFFFFFFu ? 0 : uint32_t(size);
}

// Whether [p, p + n) lies inside the buffer.
bool InBuffer(const PacketQueue* q, const uint8_t* p, uint32_t n) {
    if (!p) return false;
    uintptr_t start = reinterpret_cast<uintptr_t>(q->buffer);
    uintptr_t at = reinterpret_cast<uintptr_t>(p);
    return at >= start && at - start <= q->buffer_size && n <= q->buffer_size - (at - start);
}

uint32_t Next(const PacketQueue* q, uint32_t i) { return i + 1 == q->entry_count ? 0 : i + 1; }

// Moves n bytes at src to end just before dst; false (nothing moved) when
// that would reach in front of the buffer.
bool MoveInFront(PacketQueue* q, const uint8_t* src, uint32_t n, uint8_t* dst) {
    if (uint32_t(dst - q->buffer) < n) return false;
    std::memmove(dst - n, src, n);
    return true;
}

}  // namespace

PacketQueue* PacketQueue_Create(uint32_t entries, uint32_t max_packet, uint32_t zero_fill) {
    uint32_t size = BufferSize(entries, max_packet);
    if (!size) return nullptr;
    PacketQueue* q = static_cast<PacketQueue*>(OS_MallocZero(sizeof(PacketQueue)));
    if (!q) return nullptr;
    q->entry_count = entries;
    q->max_packet = max_packet;
    q->buffer_size = size;
    q->zero_fill = zero_fill;
    q->lock = OS_INVALID_HANDLE;
    bool ok = true;
    q->entries =
        static_cast<PacketQueueEntry**>(OS_MallocZero(sizeof(PacketQueueEntry*) * entries));
    if (!q->entries) ok = false;
    for (uint32_t i = 0; ok && i < entries; ++i) {
        q->entries[i] = static_cast<PacketQueueEntry*>(OS_MallocZero(sizeof(PacketQueueEntry)));
        if (!q->entries[i]) ok = false;
    }
    if (ok) {
        q->buffer = static_cast<uint8_t*>(zero_fill ? OS_MallocZeroChecked(size) : OS_Malloc(size));
        if (!q->buffer) ok = false;
    }
    if (ok) {
        q->lock = OS_CreateLock();
        if (q->lock == OS_INVALID_HANDLE) ok = false;
    }
    if (!ok) {
        PacketQueue_Destroy(q);
        return nullptr;
    }
    return q;
}

void PacketQueue_Destroy(PacketQueue* q) {
    if (!q) return;
    if (q->entries) {
        for (uint32_t i = 0; i < q->entry_count; ++i) OS_Free(q->entries[i]);
        OS_Free(q->entries);
    }
    if (q->zero_fill)
        OS_Free2(q->buffer);
    else
        OS_Free(q->buffer);
    if (q->lock != OS_INVALID_HANDLE && q->lock != 0) OS_DeleteLock(q->lock);
    OS_Free(q);
}

int PacketQueue_Grow(PacketQueue* q, uint32_t max_packet) {
    if (!q) return 0;
    if (max_packet <= q->max_packet) return 1;
    uint32_t size = BufferSize(q->entry_count, max_packet);
    if (!size) return 0;
    // Offsets, not pointers, survive the move of the buffer.
    uint32_t offsets[PACKET_QUEUE_MAX_ENTRIES];
    for (uint32_t i = 0; i < q->entry_count; ++i)
        offsets[i] = q->entries[i]->data ? uint32_t(q->entries[i]->data - q->buffer) : 0;
    uint32_t carry_offset = q->carry ? uint32_t(q->carry - q->buffer) : 0;
    uint8_t* grown = static_cast<uint8_t*>(q->zero_fill ? OS_Grow(q->buffer, size, q->buffer_size)
                                                        : OS_Realloc(q->buffer, size));
    if (!grown) return 0;  // the old buffer is still ours
    q->buffer = grown;
    q->buffer_size = size;
    q->max_packet = max_packet;
    for (uint32_t i = 0; i < q->entry_count; ++i)
        if (q->entries[i]->data) q->entries[i]->data = grown + offsets[i];
    if (q->carry) q->carry = grown + carry_offset;
    return 1;
}

void PacketQueue_Clear(PacketQueue* q) {
    if (!q) return;
    OS_Lock(q->lock);
    for (uint32_t i = 0; i < q->entry_count; ++i) {
        q->entries[i]->data = nullptr;
        q->entries[i]->length = 0;
    }
    q->carry = nullptr;
    q->carry_length = 0;
    q->count = q->read_index = q->write_index = 0;
    OS_Unlock(q->lock);
}

int PacketQueue_GetWriteArea(PacketQueue* q, MediaSample* sample) {
    if (!q || !sample) return 0;
    OS_Lock(q->lock);
    if (q->count >= q->entry_count) {
        OS_Unlock(q->lock);
        return 0;
    }
    uint8_t* start = q->buffer + PACKET_QUEUE_HEAD_ROOM;
    uint8_t* end = q->buffer + q->buffer_size;
    uint8_t* area;
    if (q->count) {
        uint8_t* h = q->entries[q->read_index]->data;
        uint32_t last = q->write_index ? q->write_index - 1 : q->entry_count - 1;
        uint8_t* e = q->entries[last]->data + q->entries[last]->length;
        uint64_t room;
        // Whether the tail lies after the head in the buffer is told by where
        // the last packet starts: when a wrapped tail has filled up to the
        // head, its end equals the head's start.
        if (q->entries[last]->data >= h) {
            area = e;
            room = uint64_t(end - e);
            if (room < q->max_packet) {
                area = start;
                room = h > start ? uint64_t(h - start) : 0;
            }
        } else {
            area = e;
            room = uint64_t(h - e);
        }
        if (room < q->max_packet) {
            OS_Unlock(q->lock);
            return 0;
        }
    } else {
        area = start;
        if (q->carry && q->carry + q->carry_length != area) {
            if (MoveInFront(q, q->carry, q->carry_length, area)) {
                q->carry = area - q->carry_length;
            } else {
                q->carry = nullptr;
                q->carry_length = 0;
            }
        }
    }
    sample->data = area;
    sample->capacity = q->max_packet;
    OS_Unlock(q->lock);
    return 1;
}

void PacketQueue_Commit(PacketQueue* q, MediaSample* sample) {
    if (!q || !sample) return;
    OS_Lock(q->lock);
    if (q->count < q->entry_count) {
        PacketQueueEntry* entry = q->entries[q->write_index];
        uint32_t length = sample->length;
        if (length > q->max_packet) length = q->max_packet;  // never more than the area held
        entry->data = sample->data;
        entry->length = 0;
        if (q->count == 0 && q->carry) {
            // A rest popped after the area was handed out may lie elsewhere;
            // it joins only when it can stand right in front of the new bytes.
            if (q->carry + q->carry_length == sample->data ||
                MoveInFront(q, q->carry, q->carry_length, sample->data)) {
                entry->data = sample->data - q->carry_length;
                entry->length = q->carry_length;
            }
            q->carry = nullptr;
            q->carry_length = 0;
        }
        entry->length += length;
        entry->time = sample->time;
        entry->duration = sample->duration;
        entry->flags = sample->flags;
        q->write_index = Next(q, q->write_index);
        ++q->count;
    }
    OS_Unlock(q->lock);
    Zero(sample);
}

int PacketQueue_Peek(PacketQueue* q, MediaSample* packet) {
    if (!q || !packet) return 0;
    OS_Lock(q->lock);
    int found = q->count ? 1 : 0;
    if (found) {
        const PacketQueueEntry* head = q->entries[q->read_index];
        packet->data = head->data;
        packet->length = head->length;
        packet->time = head->time;
        packet->duration = head->duration;
        packet->flags = head->flags;
    }
    OS_Unlock(q->lock);
    return found;
}

void PacketQueue_KeepHead(PacketQueue* q, MediaSample* packet) {
    if (!q || !packet) return;
    OS_Lock(q->lock);
    if (q->count && InBuffer(q, packet->data, packet->length)) {
        PacketQueueEntry* head = q->entries[q->read_index];
        head->data = packet->data;
        head->length = packet->length;
        head->time = packet->time;
    }
    OS_Unlock(q->lock);
    Zero(packet);
}

void PacketQueue_Pop(PacketQueue* q, MediaSample* packet) {
    if (!q) return;
    OS_Lock(q->lock);
    if (q->count) {
        PacketQueueEntry* removed = q->entries[q->read_index];
        q->read_index = Next(q, q->read_index);
        --q->count;
        if (packet && packet->length && InBuffer(q, packet->data, packet->length)) {
            uint8_t* rest = packet->data;
            uint32_t rest_length = packet->length;
            if (q->count) {
                PacketQueueEntry* next = q->entries[q->read_index];
                if (rest + rest_length == next->data) {
                    next->data = rest;
                    next->length += rest_length;
                } else if (rest_length <= PACKET_QUEUE_HEAD_ROOM &&
                           MoveInFront(q, rest, rest_length, next->data)) {
                    next->data -= rest_length;
                    next->length += rest_length;
                }
                // Otherwise the rest cannot stand in front of the next packet
                // and is dropped.
            } else if (rest_length <= PACKET_QUEUE_HEAD_ROOM) {
                q->carry = rest;
                q->carry_length = rest_length;
            }
        }
        removed->data = nullptr;
        removed->length = 0;
    }
    OS_Unlock(q->lock);
    Zero(packet);
}

uint32_t PacketQueue_Count(PacketQueue* q) {
    if (!q) return 0;
    OS_Lock(q->lock);
    uint32_t n = q->count;
    OS_Unlock(q->lock);
    return n;
}
