// The packet queue between a filling and an emptying thread (also run under
// ThreadSanitizer).
#include "engine/decode/packet_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace {

MediaSample Blank() {
    MediaSample s;
    std::memset(&s, 0, sizeof(s));
    return s;
}

struct Queue {
    PacketQueue* q;
    Queue(uint32_t n, uint32_t s, uint32_t zero = 0) : q(PacketQueue_Create(n, s, zero)) {}
    ~Queue() { PacketQueue_Destroy(q); }
};

// A filling and an emptying thread: the decoder side uses random parts of
// each packet and gives the rest back either way. Every byte comes out once,
// in order.
TEST(PacketQueue, TwoThreadsKeepTheByteStream) {
    Queue w(2, 4000);
    const uint32_t kPackets = 4000;
    std::atomic<bool> done{false};
    std::vector<uint8_t> produced, consumed;
    std::thread producer([&] {
        std::mt19937 rng(1);
        uint8_t next = 0;
        for (uint32_t i = 0; i < kPackets;) {
            MediaSample s = Blank();
            if (!PacketQueue_GetWriteArea(w.q, &s)) {
                std::this_thread::yield();
                continue;
            }
            uint32_t len = 1 + rng() % 4000;
            for (uint32_t k = 0; k < len; ++k) s.data[k] = next++;
            produced.insert(produced.end(), s.data, s.data + len);
            s.length = len;
            PacketQueue_Commit(w.q, &s);
            ++i;
        }
        done = true;
    });
    std::mt19937 rng(2);
    for (;;) {
        MediaSample p = Blank();
        if (!PacketQueue_Peek(w.q, &p)) {
            if (done && PacketQueue_Count(w.q) == 0) break;
            std::this_thread::yield();
            continue;
        }
        uint32_t use = rng() % 3 ? p.length : rng() % (p.length + 1);
        if (p.length - use > 1500) use = p.length;
        consumed.insert(consumed.end(), p.data, p.data + use);
        p.data += use;
        p.length -= use;
        if (p.length && rng() % 2)
            PacketQueue_KeepHead(w.q, &p);
        else
            PacketQueue_Pop(w.q, &p);
    }
    producer.join();
    if (w.q->carry) consumed.insert(consumed.end(), w.q->carry, w.q->carry + w.q->carry_length);
    ASSERT_EQ(consumed.size(), produced.size());
    EXPECT_TRUE(consumed == produced);
}

}  // namespace
