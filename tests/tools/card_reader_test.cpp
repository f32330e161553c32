// The sample card through the engine's own MP4 reader: every clip shows its
// video, AAC and recorder data track ("BLBX"), and every sample reads back
// with the count and content that mkcard put in. The sound is HE-AAC v2
// signalled as the recorder does it: the track describes the mono AAC-LC core
// at half the output rate.
#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "engine/media_info.h"
#include "engine/input/media_sample.h"
#include "engine/input/mp4_reader.h"
#include "engine/input/stream.h"
#include "tool_helpers.h"

using namespace tooltest;

namespace {

const std::string kCard = std::string(DC_TESTDATA) + "/card";

struct ReaderCase {
    const char* path;
    uint32_t fourcc;
    uint32_t width, height, frames, seconds, rate;  // rate: the core's
};

const ReaderCase kClips[] = {
    {"RIVAVEZU/REC_20240315_093000.mp4", MakeFourCC('M', 'P', '4', 'V'), 640, 480, 60, 4, 22050},
    {"RIVAVEZU/INFINITE/INFI_20240315_093004.mp4", MakeFourCC('M', 'P', '4', 'V'), 320, 240, 60, 4,
     16000},
    {"RIVAVEZU/INFINITE/INFI_20240315_093008.mp4", MakeFourCC('M', 'P', '4', 'V'), 1280, 720, 30, 3,
     24000},
    {"RIVAVEZU/INFINITE/INFI_20240315_093011.mp4", MakeFourCC('H', '2', '6', '3'), 352, 288, 60, 4,
     16000},
    {"RIVAVEZU/EVENT/EVT_20240315_093015.mp4", MakeFourCC('M', 'P', '4', 'V'), 640, 480, 60, 4,
     22050},
};

class CardReaderTest : public ::testing::TestWithParam<ReaderCase> {
protected:
    static void SetUpTestSuite() {
        RunResult r =
            Shell("MKCLIP=" + Quote(Mkclip()) + " " +
                  Quote(std::string(DC_SOURCE_DIR) + "/tools/mkcard") + " " + Quote(kCard));
        ASSERT_EQ(0, r.code) << r.out;
    }
    void SetUp() override {
        file_ = ReadBytes(kCard + "/" + GetParam().path);
        ASSERT_FALSE(file_.empty());
        // The stream reads the clip from memory when given its size.
        ASSERT_GE(Stream_CreateFile(&stream_, reinterpret_cast<const char16_t*>(file_.data()),
                                    uint32_t(file_.size()), 0),
                  0);
        ASSERT_GE(Mp4Reader_Create(&reader_, stream_), 0);
        ASSERT_GE(Mp4Reader_ParseTopLevel(reader_, &info_), 0);
    }
    void TearDown() override {
        Mp4Reader_Destroy(reader_);
        Stream_Close(stream_);
    }
    std::vector<std::vector<uint8_t>> ReadAll(uint32_t type,
                                              std::vector<uint32_t>* times = nullptr) {
        std::vector<std::vector<uint8_t>> v;
        std::vector<uint8_t> buf(1 << 20);
        for (int n = 0; n < 100000; ++n) {
            MediaSample s{};
            s.data = buf.data();
            s.capacity = uint32_t(buf.size());
            s.type = type;
            if (Mp4Reader_ReadSample(reader_, &s) < 0) break;
            v.emplace_back(buf.begin(), buf.begin() + s.length);
            if (times) times->push_back(s.time);
        }
        return v;
    }

    std::vector<uint8_t> file_;
    Stream* stream_ = nullptr;
    Mp4Reader* reader_ = nullptr;
    MediaInfo info_{};
};

TEST_P(CardReaderTest, TracksAndSamples) {
    const ReaderCase& c = GetParam();
    ASSERT_EQ(1u, info_.videoCount);
    ASSERT_EQ(1u, info_.audioCount);
    ASSERT_EQ(1u, info_.textCount);
    EXPECT_EQ(c.fourcc, info_.video[0].codec);
    EXPECT_EQ(c.width, info_.video[0].width);
    EXPECT_EQ(c.height, info_.video[0].height);
    EXPECT_EQ(c.seconds * 1000, info_.video[0].duration);
    EXPECT_EQ(255u, info_.audio[0].codec);  // wave-format tag of AAC
    EXPECT_EQ(c.rate, info_.audio[0].sampleRate);
    EXPECT_EQ(1u, info_.audio[0].channels);
    // AudioSpecificConfig: AAC-LC (object type 2), the core's rate index,
    // one channel; no explicit SBR or PS signalling.
    ASSERT_EQ(2u, info_.audio[0].configLength);
    const uint32_t index = c.rate == 24000 ? 6 : c.rate == 22050 ? 7 : 8;
    EXPECT_EQ((2u << 3) | (index >> 1), info_.audio[0].config[0]);
    EXPECT_EQ(((index & 1) << 7) | (1u << 3), info_.audio[0].config[1]);
    EXPECT_EQ(CODEC_TAG_BLBX, info_.text[0].codec);
    EXPECT_EQ(c.seconds * 1000, info_.text[0].duration);
    if (c.fourcc == MakeFourCC('M', 'P', '4', 'V')) {
        ASSERT_GT(info_.video[0].configLength, 4u);  // the VOL headers
        EXPECT_EQ(0, std::memcmp(info_.video[0].config, "\x00\x00\x01\xB0", 4));
    }

    EXPECT_EQ(c.frames, ReadAll(TRACK_TYPE_VIDEO).size());
    EXPECT_GT(ReadAll(TRACK_TYPE_AUDIO).size(), size_t(c.seconds * c.rate / 1024));
    std::vector<uint32_t> times;
    auto records = ReadAll(TRACK_TYPE_TEXT, &times);
    ASSERT_EQ(size_t(c.seconds * 2), records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(i * 500, times[i]);
        if (i % 2 == 0) {
            EXPECT_EQ(0, std::memcmp(records[i].data(), "$GPRMC,", 7)) << i;
        } else {
            ASSERT_EQ(14u, records[i].size());
            EXPECT_EQ('M', records[i][1]);
        }
    }
    EXPECT_GE(info_.text[0].maxSampleSize, 60u);  // covers the RMC sentences
}

INSTANTIATE_TEST_SUITE_P(Card, CardReaderTest, ::testing::ValuesIn(kClips),
                         [](const ::testing::TestParamInfo<ReaderCase>& i) {
                             std::string n = i.param.path;
                             n = n.substr(n.rfind('/') + 1);
                             return n.substr(0, n.find('.'));
                         });

// mkclip's knobs for reader tests do what the reader's recognition rules say.
struct KnobCase {
    const char* name;
    const char* args;
    uint32_t text_count;
};

class DataTrackKnobTest : public ::testing::TestWithParam<KnobCase> {};

TEST_P(DataTrackKnobTest, ReaderKeepsOrDropsTheDataTrack) {
    const KnobCase& c = GetParam();
    std::string out = std::string(DC_TESTDATA) + "/mkclip_knob_" + c.name + ".mp4";
    RunResult r = Shell(Mkclip() + " --duration 2 " + c.args + " -o " + Quote(out));
    ASSERT_EQ(0, r.code) << r.out;
    std::vector<uint8_t> file = ReadBytes(out);
    Stream* stream = nullptr;
    Mp4Reader* reader = nullptr;
    MediaInfo info{};
    ASSERT_GE(Stream_CreateFile(&stream, reinterpret_cast<const char16_t*>(file.data()),
                                uint32_t(file.size()), 0),
              0);
    ASSERT_GE(Mp4Reader_Create(&reader, stream), 0);
    EXPECT_GE(Mp4Reader_ParseTopLevel(reader, &info), 0);
    EXPECT_EQ(c.text_count, info.textCount);
    if (c.text_count) {
        EXPECT_EQ(CODEC_TAG_BLBX, info.text[0].codec);
    }
    Mp4Reader_Destroy(reader);
    Stream_Close(stream);
}

INSTANTIATE_TEST_SUITE_P(
    Mkclip, DataTrackKnobTest,
    ::testing::Values(KnobCase{"default", "", 1},
                      KnobCase{"moov_first_long_lengths", "--moov first --long-desc-lengths", 1},
                      KnobCase{"hmhd", "--data-header hmhd", 0},
                      KnobCase{"no_xblb_name", "--data-name Other", 0}),
    [](const ::testing::TestParamInfo<KnobCase>& i) { return std::string(i.param.name); });

}  // namespace
