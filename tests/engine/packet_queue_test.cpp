#include "engine/decode/packet_queue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

MediaSample Blank() {
    MediaSample s;
    std::memset(&s, 0, sizeof(s));
    return s;
}

// Writes length bytes counting up from first into the next area and commits.
bool Put(PacketQueue* q, uint32_t length, uint8_t first, uint32_t time = 0) {
    MediaSample s = Blank();
    if (!PacketQueue_GetWriteArea(q, &s)) return false;
    EXPECT_GE(s.capacity, length);
    for (uint32_t i = 0; i < length; ++i) s.data[i] = uint8_t(first + i);
    s.length = length;
    s.time = time;
    s.duration = 40;
    s.flags = 1;
    PacketQueue_Commit(q, &s);
    EXPECT_EQ(s.data, nullptr);  // the sample is zeroed
    return true;
}

std::vector<uint8_t> Bytes(const MediaSample& s) {
    return std::vector<uint8_t>(s.data, s.data + s.length);
}

std::vector<uint8_t> Counting(uint8_t first, uint32_t length) {
    std::vector<uint8_t> v(length);
    for (uint32_t i = 0; i < length; ++i) v[i] = uint8_t(first + i);
    return v;
}

struct Queue {
    PacketQueue* q;
    Queue(uint32_t n, uint32_t s, uint32_t zero = 0) : q(PacketQueue_Create(n, s, zero)) {}
    ~Queue() { PacketQueue_Destroy(q); }
};

TEST(PacketQueue, LayoutAndFullQueue) {
    for (int zero = 0; zero < 2; ++zero) {
        Queue w(2, 1000, zero);
        ASSERT_NE(w.q, nullptr);
        EXPECT_EQ(w.q->buffer_size, 4000u);
        MediaSample s = Blank();
        ASSERT_EQ(PacketQueue_GetWriteArea(w.q, &s), 1);
        EXPECT_EQ(s.data, w.q->buffer + 2000);
        EXPECT_EQ(s.capacity, 1000u);
        ASSERT_TRUE(Put(w.q, 500, 0));
        ASSERT_TRUE(Put(w.q, 500, 0));
        EXPECT_EQ(PacketQueue_Count(w.q), 2u);
        EXPECT_EQ(PacketQueue_GetWriteArea(w.q, &s), 0);
    }
}

TEST(PacketQueue, RestJoinsTheContiguousNextPacket) {
    Queue w(2, 1000);
    ASSERT_TRUE(Put(w.q, 500, 0));
    ASSERT_TRUE(Put(w.q, 400, 100));
    MediaSample p = Blank();
    ASSERT_EQ(PacketQueue_Peek(w.q, &p), 1);
    uint8_t* second = w.q->buffer + 2500;
    p.data += 300;  // the decoder used 300 of 500 bytes
    p.length -= 300;
    PacketQueue_Pop(w.q, &p);
    ASSERT_EQ(PacketQueue_Peek(w.q, &p), 1);
    EXPECT_EQ(p.data, second - 200);
    EXPECT_EQ(p.length, 600u);
    std::vector<uint8_t> want = Counting(44, 200);  // bytes 300..499 of the first
    std::vector<uint8_t> tail = Counting(100, 400);
    want.insert(want.end(), tail.begin(), tail.end());
    EXPECT_EQ(Bytes(p), want);
}

// A rest joined in front of the next packet moves the head back; a wrapped
// tail that then fills up to it leaves no room, though the space behind the
// head's end looks free.
TEST(PacketQueue, WrappedTailUpToTheHeadLeavesNoRoom) {
    Queue w(3, 1000);
    ASSERT_TRUE(Put(w.q, 1000, 0));
    ASSERT_TRUE(Put(w.q, 1000, 10));
    ASSERT_TRUE(Put(w.q, 1000, 20));
    MediaSample p = Blank();
    ASSERT_EQ(PacketQueue_Peek(w.q, &p), 1);
    p.length = 0;  // the first packet used up
    PacketQueue_Pop(w.q, &p);
    ASSERT_EQ(PacketQueue_Peek(w.q, &p), 1);
    PacketQueue_Pop(w.q, &p);         // the second one left whole: it joins the third
    ASSERT_TRUE(Put(w.q, 1000, 30));  // wraps to the buffer's start, up to the head
    EXPECT_EQ(PacketQueue_GetWriteArea(w.q, &p), 0);
    EXPECT_FALSE(Put(w.q, 1000, 40));
    ASSERT_EQ(PacketQueue_Peek(w.q, &p), 1);
    std::vector<uint8_t> want = Counting(10, 1000), third = Counting(20, 1000);
    want.insert(want.end(), third.begin(), third.end());
    EXPECT_EQ(Bytes(p), want);
}

TEST(PacketQueue, RestIsCarriedIntoTheNextPacket) {
    Queue w(2, 1000);
    ASSERT_TRUE(Put(w.q, 500, 0, 1000));
    MediaSample p = Blank();
    ASSERT_EQ(PacketQueue_Peek(w.q, &p), 1);
    p.data += 300;
    p.length -= 300;
    PacketQueue_Pop(w.q, &p);
    EXPECT_EQ(PacketQueue_Count(w.q), 0u);
    EXPECT_EQ(w.q->carry_length, 200u);
    ASSERT_TRUE(Put(w.q, 100, 7, 1040));
    ASSERT_EQ(PacketQueue_Peek(w.q, &p), 1);
    EXPECT_EQ(p.data, w.q->buffer + 1800);  // in the head room
    EXPECT_EQ(p.length, 300u);
    EXPECT_EQ(p.time, 1040u);
    std::vector<uint8_t> want = Counting(44, 200), tail = Counting(7, 100);
    want.insert(want.end(), tail.begin(), tail.end());
    EXPECT_EQ(Bytes(p), want);
    EXPECT_EQ(w.q->carry, nullptr);
}

// A rest at the end of the ring is copied in front of a next packet that
// wrapped to the start, but only when it fits in the head room.
TEST(PacketQueue, RestInFrontOfAWrappedPacket) {
    struct Row {
        const char* name;
        uint32_t rest;
        bool joined;
    };
    const Row rows[] = {
        {"small_rest", 150, true}, {"head_room_exactly", 2000, true}, {"too_long", 2001, false}};
    for (const Row& r : rows) {
        Queue w(2, 3000);
        // Fill: 3000 bytes, then 2900 (to 7900 of 8000), pop the first, then
        // the next area wraps to the start.
        ASSERT_TRUE(Put(w.q, 3000, 0)) << r.name;
        ASSERT_TRUE(Put(w.q, 2900, 50)) << r.name;
        MediaSample p = Blank();
        PacketQueue_Peek(w.q, &p);
        p.length = 0;
        PacketQueue_Pop(w.q, &p);
        ASSERT_TRUE(Put(w.q, 100, 9)) << r.name;
        ASSERT_EQ(PacketQueue_Peek(w.q, &p), 1);
        ASSERT_EQ(p.data, w.q->buffer + 5000) << r.name;
        p.data += 2900 - r.rest;
        p.length = r.rest;
        std::vector<uint8_t> rest = Bytes(p);
        PacketQueue_Pop(w.q, &p);
        ASSERT_EQ(PacketQueue_Peek(w.q, &p), 1);
        std::vector<uint8_t> want = Counting(9, 100);
        if (r.joined) want.insert(want.begin(), rest.begin(), rest.end());
        EXPECT_EQ(Bytes(p), want) << r.name;
        EXPECT_GE(p.data, w.q->buffer) << r.name;
    }
}

// The consumer pops a packet with a rest after the producer was handed a
// wrapped area: the carry is not next to the new bytes and must be moved,
// not joined with whatever lies between.
TEST(PacketQueue, CarryPoppedAfterTheAreaWasHandedOut) {
    Queue w(2, 3000);
    ASSERT_TRUE(Put(w.q, 3000, 0));
    ASSERT_TRUE(Put(w.q, 2900, 50));
    MediaSample p = Blank();
    PacketQueue_Peek(w.q, &p);
    p.length = 0;
    PacketQueue_Pop(w.q, &p);
    MediaSample area = Blank();
    ASSERT_EQ(PacketQueue_GetWriteArea(w.q, &area), 1);
    ASSERT_EQ(area.data, w.q->buffer + 2000);  // wrapped
    PacketQueue_Peek(w.q, &p);
    p.data += 2800;
    p.length = 100;
    std::vector<uint8_t> want = Bytes(p);
    PacketQueue_Pop(w.q, &p);  // queue empty: the rest is carried
    for (uint32_t i = 0; i < 50; ++i) area.data[i] = uint8_t(200 + i);
    area.length = 50;
    PacketQueue_Commit(w.q, &area);
    ASSERT_EQ(PacketQueue_Peek(w.q, &p), 1);
    std::vector<uint8_t> tail = Counting(200, 50);
    want.insert(want.end(), tail.begin(), tail.end());
    EXPECT_EQ(Bytes(p), want);
}

TEST(PacketQueue, KeepHeadAndClear) {
    Queue w(2, 1000);
    ASSERT_TRUE(Put(w.q, 500, 0, 80));
    MediaSample p = Blank();
    PacketQueue_Peek(w.q, &p);
    p.data += 120;
    p.length -= 120;
    p.time = 90;
    PacketQueue_KeepHead(w.q, &p);
    EXPECT_EQ(p.data, nullptr);
    ASSERT_EQ(PacketQueue_Peek(w.q, &p), 1);
    EXPECT_EQ(p.length, 380u);
    EXPECT_EQ(p.time, 90u);
    EXPECT_EQ(p.data[0], 120);
    EXPECT_EQ(PacketQueue_Count(w.q), 1u);
    // A rest that does not lie in the queue's buffer is refused.
    uint8_t outside[4];
    p.data = outside;
    p.length = 4;
    PacketQueue_KeepHead(w.q, &p);
    PacketQueue_Peek(w.q, &p);
    EXPECT_EQ(p.length, 380u);

    PacketQueue_Clear(w.q);
    EXPECT_EQ(PacketQueue_Count(w.q), 0u);
    EXPECT_EQ(PacketQueue_Peek(w.q, &p), 0);
    MediaSample s = Blank();
    ASSERT_EQ(PacketQueue_GetWriteArea(w.q, &s), 1);
    EXPECT_EQ(s.data, w.q->buffer + 2000);
    PacketQueue_Pop(w.q, &p);  // empty: nothing
    PacketQueue_Destroy(nullptr);
}

TEST(PacketQueue, SizesFromTheFileCannotOverflow) {
    struct Row {
        const char* name;
        uint32_t n, s;
        bool made;
    };
    const Row rows[] = {
        {"ordinary", 2, 163840, true},
        {"largest_packet", 2, PACKET_QUEUE_MAX_PACKET, true},
        {"sample_size_wraps_32_bits", 2, 0x80000000u, false},
        {"all_ones", 2, 0xFFFFFFFFu, false},
        {"too_many_entries", 0x10000, 0x10000, false},
        {"no_entries", 0, 1000, false},
    };
    for (const Row& r : rows) {
        PacketQueue* q = PacketQueue_Create(r.n, r.s, 0);
        EXPECT_EQ(q != nullptr, r.made) << r.name;
        if (q) {
            EXPECT_EQ(q->buffer_size, r.n * r.s + 2000) << r.name;
        }
        PacketQueue_Destroy(q);
    }

    Queue w(2, 1000);
    ASSERT_TRUE(Put(w.q, 700, 3));
    EXPECT_EQ(PacketQueue_Grow(w.q, 0xFFFFFFF0u), 0);
    EXPECT_EQ(w.q->max_packet, 1000u);  // unchanged, still usable
    EXPECT_EQ(w.q->buffer_size, 4000u);
    EXPECT_EQ(PacketQueue_Grow(w.q, 500), 1);  // no shrink
    EXPECT_EQ(w.q->max_packet, 1000u);
    ASSERT_TRUE(Put(w.q, 900, 5));
}

TEST(PacketQueue, GrowMovesPacketsAndCarry) {
    for (int zero = 0; zero < 2; ++zero) {
        Queue w(2, 1000, zero);
        ASSERT_TRUE(Put(w.q, 600, 1));
        ASSERT_TRUE(Put(w.q, 300, 2));
        MediaSample p = Blank();
        PacketQueue_Peek(w.q, &p);
        p.length = 0;
        PacketQueue_Pop(w.q, &p);
        PacketQueue_Peek(w.q, &p);
        p.data += 100;
        p.length -= 100;
        PacketQueue_Pop(w.q, &p);  // carry of 200
        ASSERT_EQ(PacketQueue_Grow(w.q, 50000), 1);
        EXPECT_EQ(w.q->buffer_size, 102000u);
        ASSERT_TRUE(Put(w.q, 40000, 9));
        ASSERT_EQ(PacketQueue_Peek(w.q, &p), 1);
        std::vector<uint8_t> want = Counting(102, 200), tail = Counting(9, 40000);
        want.insert(want.end(), tail.begin(), tail.end());
        EXPECT_EQ(Bytes(p), want) << zero;

        // Queued packets move with the buffer.
        ASSERT_TRUE(Put(w.q, 50000, 4));
        ASSERT_EQ(PacketQueue_Grow(w.q, 60000), 1);
        PacketQueue_Peek(w.q, &p);
        EXPECT_EQ(Bytes(p), want) << zero;
        p.length = 0;
        PacketQueue_Pop(w.q, &p);
        PacketQueue_Peek(w.q, &p);
        EXPECT_EQ(Bytes(p), Counting(4, 50000)) << zero;
    }
}

}  // namespace
