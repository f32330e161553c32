// Big-endian byte images of the media records: whatever goes in comes back
// out, the image is in the byte order it claims, and a cut-off image is
// refused at every length rather than read past its end.
#include <cstddef>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/media_info.h"

namespace {

struct Lcg {
    uint32_t s;
    uint32_t Next() { return s = s * 1664525u + 1013904223u, s ^ (s >> 13); }
};

void Fill(void* p, size_t n, Lcg& rng) {
    uint8_t* b = static_cast<uint8_t*>(p);
    for (size_t i = 0; i < n; ++i) b[i] = uint8_t(rng.Next());
}

TEST(MediaImages, SummaryRoundTripsAndIsBigEndian) {
    for (uint32_t seed : {1u, 77u, 0xDEADu}) {
        Lcg rng{seed};
        MediaInfoSummary in;
        Fill(&in, sizeof in, rng);
        std::vector<uint8_t> img(MEDIAINFO_SUMMARY_IMAGE_BYTES + 8, 0xEE);
        uint8_t* end = MediaInfoSummary_WriteImage(&in, img.data());
        ASSERT_EQ(img.data() + MEDIAINFO_SUMMARY_IMAGE_BYTES, end);
        EXPECT_EQ(0xEE, img[MEDIAINFO_SUMMARY_IMAGE_BYTES]);  // nothing written past it
        EXPECT_EQ(uint8_t(in.duration >> 24), img[8]);
        EXPECT_EQ(uint8_t(in.duration), img[11]);
        MediaInfoSummary out;
        std::memset(&out, 0, sizeof out);
        ASSERT_EQ(end, MediaInfoSummary_ReadImage(&out, img.data(), end));
        EXPECT_EQ(0, std::memcmp(&in, &out, sizeof in));
        for (size_t cut = 0; cut < MEDIAINFO_SUMMARY_IMAGE_BYTES; cut += 7)
            EXPECT_EQ(nullptr, MediaInfoSummary_ReadImage(&out, img.data(), img.data() + cut));
    }
}

// The 5- and 6-word records, each with blocks of several lengths.
template <typename Record, typename W, typename R>
void BlockRecordRoundTrips(W write, R read, size_t words) {
    for (uint32_t length : {0u, 1u, 3u, 64u, 1000u}) {
        SCOPED_TRACE(length);
        Lcg rng{length + uint32_t(words) * 1000};
        Record in;
        Fill(in.words, sizeof in.words, rng);
        in.length = length;
        std::vector<uint8_t> block(length);
        Fill(block.data(), length, rng);
        const size_t size = words * 4 + length;
        std::vector<uint8_t> img(size + 4, 0xEE);
        uint8_t* end = write(&in, block.data(), img.data());
        ASSERT_EQ(img.data() + size, end);
        EXPECT_EQ(0xEE, img[size]);
        // The length word is the last word, most significant byte first.
        EXPECT_EQ(uint8_t(length >> 8), img[words * 4 - 2]);
        EXPECT_EQ(uint8_t(length), img[words * 4 - 1]);
        Record out = {};
        const uint8_t* got = nullptr;
        ASSERT_EQ(end, read(&out, &got, img.data(), end));
        EXPECT_EQ(0, std::memcmp(in.words, out.words, sizeof in.words));
        EXPECT_EQ(length, out.length);
        ASSERT_EQ(img.data() + words * 4, got);
        EXPECT_TRUE(std::equal(block.begin(), block.end(), got));
        // Every shorter image is refused, in the words or in the block.
        for (size_t cut = 0; cut < size; ++cut)
            ASSERT_EQ(nullptr, read(&out, &got, img.data(), img.data() + cut)) << "cut " << cut;
    }
}

TEST(MediaImages, FiveWordRecordRoundTrips) {
    BlockRecordRoundTrips<BlockRecord5>(BlockRecord5_WriteImage, BlockRecord5_ReadImage, 5);
}

TEST(MediaImages, SixWordRecordRoundTrips) {
    BlockRecordRoundTrips<BlockRecord6>(BlockRecord6_WriteImage, BlockRecord6_ReadImage, 6);
}

TEST(MediaImages, ABlockLengthBeyondTheImageIsRefused) {
    // A hostile length word: near 4 GB, the block can never be there.
    uint8_t img[24] = {};
    img[16] = 0xFF, img[17] = 0xFF, img[18] = 0xFF, img[19] = 0xF0;
    BlockRecord5 r;
    const uint8_t* block = nullptr;
    EXPECT_EQ(nullptr, BlockRecord5_ReadImage(&r, &block, img, img + sizeof img));
}

TEST(MediaImages, MediaInfoRoundTrips) {
    Lcg rng{5};
    // Every word the image carries; the pointer and the padding after it stay 0.
    MediaInfo in;
    std::memset(&in, 0, sizeof in);
    Fill(&in, offsetof(MediaInfo, contentInfo), rng);
    std::vector<uint8_t> img(MediaInfo_ImageSize());
    uint8_t* end = MediaInfo_WriteImage(&in, img.data());
    ASSERT_EQ(img.data() + img.size(), end);
    MediaInfo out;
    std::memset(&out, 0, sizeof out);
    ASSERT_EQ(end, MediaInfo_ReadImage(&out, img.data(), end));
    EXPECT_EQ(0, std::memcmp(&in, &out, sizeof in));
    EXPECT_EQ(nullptr, MediaInfo_ReadImage(&out, img.data(), end - 1));
}

}  // namespace
