// Packet queue driven by an arbitrary sequence of fill, use, give-back,
// grow and clear steps. Rests stay within the head room, so no byte may be
// lost or reordered: the head packet always starts with the next bytes of
// what was committed.
#include <cstdint>
#include <cstring>
#include <deque>

#include "engine/decode/packet_queue.h"

namespace {

struct Input {
    const uint8_t* p;
    size_t left;
    uint32_t Byte() {
        if (!left) return 0;
        --left;
        return *p++;
    }
    uint32_t Word() { return Byte() << 8 | Byte(); }
};

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    uint32_t entries = 1 + in.Byte() % 4;
    PacketQueue* q = PacketQueue_Create(entries, 1 + in.Word() % 5000, int(in.Byte() & 1));
    if (!q) return 0;
    std::deque<uint8_t> stream;  // committed, not yet used
    uint8_t next = 0;
    MediaSample area;
    std::memset(&area, 0, sizeof(area));
    bool area_open = false;

    while (in.left) {
        uint32_t op = in.Byte() % 6;
        MediaSample p;
        std::memset(&p, 0, sizeof(p));
        if (op == 0 || op == 5) {  // fill: take an area (or use the open one) and commit
            if (!area_open) {
                if (!PacketQueue_GetWriteArea(q, &area)) continue;
                Check(area.capacity == q->max_packet);
                Check(area.data >= q->buffer + PACKET_QUEUE_HEAD_ROOM &&
                      area.data + area.capacity <= q->buffer + q->buffer_size);
                area_open = true;
            }
            if (op == 5) continue;  // commit later, after other steps
            uint32_t length = in.Word() % (area.capacity + 1);
            for (uint32_t i = 0; i < length; ++i) area.data[i] = next, stream.push_back(next++);
            area.length = length;
            PacketQueue_Commit(q, &area);
            area_open = false;
        } else if (op == 1 || op == 2) {  // use part of the head, give the rest back
            if (!PacketQueue_Peek(q, &p)) continue;
            Check(p.length <= stream.size());
            for (uint32_t i = 0; i < p.length; ++i) Check(p.data[i] == stream[i]);
            uint32_t use = in.Word() % (p.length + 1);
            if (p.length - use > PACKET_QUEUE_HEAD_ROOM) use = p.length - PACKET_QUEUE_HEAD_ROOM;
            stream.erase(stream.begin(), stream.begin() + use);
            p.data += use;
            p.length -= use;
            if (op == 1)
                PacketQueue_Pop(q, &p);
            else
                PacketQueue_KeepHead(q, &p);
        } else if (op == 3) {
            // The filling thread grows only between fills; sizes stay small
            // enough to keep the runs quick.
            uint32_t more = in.Word() % 4096;
            if (area_open || q->max_packet > 20000) continue;
            uint32_t before = q->max_packet;
            if (PacketQueue_Grow(q, q->max_packet + more)) Check(q->max_packet >= before);
        } else if (op == 4) {
            if (area_open) continue;
            PacketQueue_Clear(q);
            stream.clear();
        }
        // What is queued, plus a kept carry, is exactly what is left to use.
        uint64_t queued = 0;
        for (uint32_t i = 0, k = q->read_index; i < q->count; ++i, k = (k + 1) % q->entry_count)
            queued += q->entries[k]->length;
        if (!q->count) queued = q->carry ? q->carry_length : 0;
        Check(queued == stream.size());
    }
    PacketQueue_Destroy(q);
    return 0;
}
