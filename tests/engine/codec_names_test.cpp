#include "engine/input/codec_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(CodecNames, TablesHaveEveryRowOnce) {
    EXPECT_EQ(kFourCCNameCount, 273u);
    EXPECT_EQ(kWaveFormatNameCount, 133u);
    std::set<std::string> keys;
    for (size_t i = 0; i < kFourCCNameCount; ++i) {
        EXPECT_TRUE(keys.insert(kFourCCNames[i].key).second) << kFourCCNames[i].key;
        EXPECT_LE(std::string(kFourCCNames[i].key).size(), 4u);
        EXPECT_NE(kFourCCNames[i].description[0], 0) << kFourCCNames[i].key;
    }
    std::set<uint32_t> tags;
    for (size_t i = 0; i < kWaveFormatNameCount; ++i)
        EXPECT_TRUE(tags.insert(kWaveFormatNames[i].tag).second) << kWaveFormatNames[i].tag;
}

TEST(CodecNames, FourCCDescriptions) {
    struct Row {
        const char* name;
        uint32_t value;
        const char* description;  // null: unknown
    };
    const Row rows[] = {
        {"zero_is_rgb", 0, "Uncompressed RGB DIB"},
        {"lower_case", FourCC_Make('x', 'v', 'i', 'd'), "XVID MPEG-4"},
        {"mp4v", FourCC_Make('M', 'P', '4', 'V'), "MPEG4 Standard"},
        {"mp4s", FourCC_Make('m', 'p', '4', 's'), "MPEG4 Standard"},
        {"mpeg", FourCC_Make('M', 'P', 'E', 'G'), "MPEG Standard"},
        {"h263", FourCC_Make('h', '2', '6', '3'), "H.263"},
        {"avc1", FourCC_Make('a', 'v', 'c', '1'), "H.264(AVC)"},
        {"h264", FourCC_Make('H', '2', '6', '4'), "H.264"},
        {"div5", FourCC_Make('D', 'I', 'V', '5'), "DivX MPEG-4"},
        {"fmp4", FourCC_Make('F', 'M', 'P', '4'), "FFMPEG4 Video"},
        {"yv12", FourCC_Make('Y', 'V', '1', '2'), "YVU12 Planar"},
        {"jpeg", FourCC_Make('J', 'P', 'E', 'G'), "JPEG Still Image"},
        {"dib_with_space", FourCC_Make('D', 'I', 'B', ' '), "Device Independent Bitmap"},
        {"two_characters", FourCC_Make('Y', '8', 0, 0), "Greyscale Video"},
        {"three_characters", FourCC_Make('r', 'l', 'e', 0), "Run Length Encoder"},
        {"padded_is_not_short_key", FourCC_Make('R', 'L', 'E', ' '), nullptr},
        {"unknown", FourCC_Make('Q', 'Q', 'Q', 'Q'), nullptr},
    };
    for (const Row& r : rows) {
        const char* d = FourCC_GetDescription(r.value);
        if (!r.description) {
            EXPECT_EQ(d, nullptr) << r.name;
        } else {
            ASSERT_NE(d, nullptr) << r.name;
            EXPECT_STREQ(d, r.description) << r.name;
        }
    }
}

TEST(CodecNames, WaveFormatNames) {
    struct Row {
        uint32_t tag;
        const char* name;
    };
    const Row rows[] = {
        {0x0, "Microsoft Unknown Wave Format"},
        {0x1, "Microsoft PCM Format"},
        {0x6, "Microsoft ALAW"},
        {0x7, "Microsoft MULAW"},
        {0x50, "MP3 Audio Layer"},
        {0x55, "MPEG Layer 3"},
        {0x92, "Dolby AC3 SPDIF"},
        {0x123, "Digital G.723"},
        {0x2000, "AC3 Audio"},
        {0xFF, "Advanced Audio Codec"},
        {0xFE, "HE Advanced Audio Codec"},
        {0xFD, "PS Advanced Audio Codec"},
        {0x6173, "Adaptive Multi-Rate"},
        {0x6177, "Adaptive Multi-Rate Wide Band"},
        {0x5645, "Enhanced Variable Rate Codec"},
        {0x3331, "Qualcomm Code Excited Linear Prediction"},
    };
    for (const Row& r : rows) {
        ASSERT_NE(WaveFormat_GetName(r.tag), nullptr) << r.tag;
        EXPECT_STREQ(WaveFormat_GetName(r.tag), r.name) << r.tag;
    }
    EXPECT_NE(WaveFormat_GetName(0x6B6F6F63), nullptr);  // "cook"
    EXPECT_EQ(WaveFormat_GetName(0x51), nullptr);
    EXPECT_EQ(WaveFormat_GetName(0xFFFFFFFF), nullptr);
}

TEST(CodecNames, FourCCHelpers) {
    EXPECT_EQ(FourCC_ToUpper(FourCC_Make('m', 'p', '4', 'v')), FourCC_Make('M', 'P', '4', 'V'));
    EXPECT_EQ(FourCC_ToUpper(FourCC_Make('a', '{', '`', 'z')), FourCC_Make('A', '{', '`', 'Z'));
    EXPECT_EQ(FourCC_ToUpper(0xE1E2E3E4), 0xE1E2E3E4u);
    EXPECT_EQ(FourCC_FromCodecId(1), FourCC_Make('H', '2', '6', '3'));
    EXPECT_EQ(FourCC_FromCodecId(2), FourCC_Make('M', 'P', '4', 'V'));
    EXPECT_EQ(FourCC_FromCodecId(3), FourCC_Make('A', 'V', 'C', '1'));
    EXPECT_EQ(FourCC_FromCodecId(4), FourCC_Make('J', 'P', 'E', 'G'));
    EXPECT_EQ(FourCC_FromCodecId(5), 5u);
}

}  // namespace
