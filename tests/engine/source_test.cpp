// The media source over the MP4 reader: container probe, defaults of the
// media info, play range, time offsets and the open/close paths.
#include "engine/input/source.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player_result.h"
#include "mp4_builder.h"

namespace {

using mp4b::Bytes;

// Opens a clip held in memory (the URL word with its size names a block).
struct MemSource {
    Bytes bytes;
    SourceOpenWords words{};
    MediaSource* src = nullptr;
    int32_t open = -1;
    MediaInfo info{};
    int32_t getInfo = -1;

    explicit MemSource(Bytes b) : bytes(std::move(b)) {
        words.url = reinterpret_cast<const char16_t*>(bytes.data());
        words.size = uint32_t(bytes.size());
        open = Source_Open(&src, &words);
        if (open >= 0) getInfo = Source_GetInfo(src, &info);
    }
    ~MemSource() { Source_Close(src); }
    int32_t Read(uint32_t type, MediaSample& s) {
        static uint8_t buf[1 << 16];
        s = MediaSample{};
        s.data = buf;
        s.capacity = sizeof buf;
        s.type = type;
        return Source_ReadSample(src, &s);
    }
};

struct TempClip {
    std::u16string path;
    TempClip(const char16_t* name, const Bytes& b) {
        char16_t* p = FileIO_GetTempPath(name);
        path = p;
        std::free(p);
        FileIO* io = FileIO_Open(path.c_str(), 7);
        if (io) {
            if (!b.empty()) FileIO_Write(io, b.data(), uint32_t(b.size()));
            FileIO_Close(io);
        }
    }
    ~TempClip() { FileIO_Delete(path.c_str()); }
};

struct ProbeCase {
    const char* name;
    Bytes head;
    int32_t result;
};

TEST(Source, ContainerProbe) {
    Bytes clip = mp4b::Build(mp4b::RecorderLike(1)).file;
    Bytes moovFirst;
    {
        mp4b::Clip c = mp4b::RecorderLike(1);
        c.moovFirst = true;
        moovFirst = mp4b::Build(c).file;
    }
    Bytes mdatFirst = mp4b::Box("mdat", Bytes(16, 0));
    mp4b::Append(mdatFirst, Bytes(clip.begin() + mp4b::FindBox(clip, "moov"), clip.end()));
    const ProbeCase cases[] = {
        {"ftyp", clip, 0},
        {"moov first after ftyp", moovFirst, 0},
        {"mdat first", mdatFirst, 0},
        {"free", mp4b::Box("free", Bytes(32, 0)), PLAYER_E_UNSUPPORTED_FILE},
        {"matroska-like",
         Bytes{0x1A, 0x45, 0xDF, 0xA3, 0x93, 0x42, 0x82, 0x88, 'm', 'a', 't', 'r', 'o', 's', 'k',
               'a'},
         PLAYER_E_UNSUPPORTED_FILE},
        {"seven bytes", Bytes{0, 0, 0, 8, 'f', 't', 'y'}, PLAYER_E_UNSUPPORTED_FILE},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        TempClip f(u"dc_source_probe.mp4", tc.head);
        SourceOpenWords w{f.path.c_str(), nullptr, 0, nullptr};
        MediaSource* src = nullptr;
        EXPECT_EQ(tc.result, Source_Open(&src, &w));
        EXPECT_EQ(tc.result == 0, src != nullptr);
        if (src) {
            EXPECT_EQ(uint32_t(tc.head.size()), w.size);  // a local file's size comes back
        }
        Source_Close(src);
    }
    {
        SCOPED_TRACE("empty file");
        TempClip f(u"dc_source_empty.mp4", Bytes());
        SourceOpenWords w{f.path.c_str(), nullptr, 0, nullptr};
        MediaSource* src = nullptr;
        EXPECT_EQ(PLAYER_E_UNSUPPORTED_FILE, Source_Open(&src, &w));
    }
    {
        SCOPED_TRACE("missing file");
        SourceOpenWords w{u"/nonexistent/dir/clip.mp4", nullptr, 0, nullptr};
        MediaSource* src = nullptr;
        EXPECT_EQ(PLAYER_E_FILE_NOT_FOUND, Source_Open(&src, &w));
        EXPECT_EQ(nullptr, src);
    }
}

TEST(Source, SizeWordLeftFromAnEarlierOpenStillOpensTheFile) {
    TempClip f(u"dc_source_size.mp4", mp4b::Build(mp4b::RecorderLike(1)).file);
    SourceOpenWords w{f.path.c_str(), nullptr, 123456, nullptr};
    MediaSource* src = nullptr;
    ASSERT_EQ(0, Source_Open(&src, &w));
    MediaInfo info{};
    ASSERT_EQ(0, Source_GetInfo(src, &info));
    EXPECT_EQ(1u, info.videoCount);
    Source_Close(src);
}

TEST(Source, InfoDefaults) {
    mp4b::Clip c = mp4b::RecorderLike(2);
    c.tracks[0].bufferSize = 0;  // no maximum sample size from the esds
    c.tracks[0].width = 640;
    c.tracks[0].height = 480;
    c.tracks[0].sampleEntry = "mp4v";
    c.tracks[1].bufferSize = 0;
    c.tracks[1].sampleRate = 48000;
    MemSource s(mp4b::Build(c).file);
    ASSERT_EQ(0, s.open);
    ASSERT_EQ(0, s.getInfo);
    EXPECT_EQ(1000u, s.info.bufferingTime);
    EXPECT_EQ(640u * 480 / 2, s.info.video[0].maxSampleSize);  // width x height / 2
    EXPECT_EQ(8192u, s.info.audio[0].maxSampleSize);           // 48000 / 4, at most 8192
    EXPECT_EQ(MakeFourCC('M', 'P', '4', 'V'), s.info.video[0].codec);
    MediaInfoSummary sum;
    MediaInfo_Export(&sum, &s.info);
    EXPECT_EQ(1u, sum.audioCount);
    EXPECT_EQ(1u, sum.videoCount);
    EXPECT_EQ(1u, sum.textCount);
    EXPECT_EQ(0u, sum.audio[1].codec);
    EXPECT_EQ(0u, sum.video[1].width);
    EXPECT_EQ(640u, sum.video[0].width);
    EXPECT_EQ(48000u, sum.audio[0].sampleRate);
    EXPECT_EQ(CODEC_TAG_BLBX, sum.text[0].codec);
    // What the decoder learns shows in the summary.
    s.info.audio[0].codec = 253;
    MediaInfo_Export(&sum, &s.info);
    EXPECT_EQ(253u, sum.audio[0].codec);
}

TEST(Source, PlayRangeEnd) {
    MemSource s(mp4b::Build(mp4b::RecorderLike(20)).file);
    ASSERT_EQ(0, s.getInfo);
    ASSERT_EQ(1, Source_SetRange(s.src, 0, 10000, 1, 0));
    MediaSample m;
    uint32_t last = 0;
    int32_t rc;
    int n = 0;
    while ((rc = s.Read(TRACK_TYPE_TEXT, m)) == 0) last = m.time, ++n;
    EXPECT_EQ(PLAYER_E_END_OF_STREAM, rc);
    EXPECT_EQ(10000u, last);
    EXPECT_EQ(11, n);
    EXPECT_EQ(PLAYER_E_END_OF_STREAM, s.Read(TRACK_TYPE_TEXT, m));
    EXPECT_EQ(PLAYER_E_END_OF_STREAM, s.Read(TRACK_TYPE_TEXT, m));
    // Without the range, reading goes on.
    ASSERT_EQ(1, Source_SetRange(s.src, 0, 0, 0, 0));
    EXPECT_EQ(0, s.Read(TRACK_TYPE_TEXT, m));
}

TEST(Source, TimeOffsetMovesSampleTimesOnly) {
    MemSource s(mp4b::Build(mp4b::RecorderLike(3)).file);
    ASSERT_EQ(0, s.getInfo);
    Source_AddTimeOffset(s.src, 500, TRACK_TYPE_AUDIO);
    MediaSample m;
    ASSERT_EQ(0, s.Read(TRACK_TYPE_AUDIO, m));
    EXPECT_EQ(500u, m.time);
    ASSERT_EQ(0, s.Read(TRACK_TYPE_AUDIO, m));
    EXPECT_EQ(628u, m.time);
    ASSERT_EQ(0, s.Read(TRACK_TYPE_VIDEO, m));
    EXPECT_EQ(0u, m.time);
    // The frame kept at 256 ms is within a range end of 300, but its time
    // with the offset (756) is past it.
    Source_SetRange(s.src, 0, 300, 1, 0);
    ASSERT_EQ(PLAYER_E_END_OF_STREAM, s.Read(TRACK_TYPE_AUDIO, m));
    Source_SetRange(s.src, 0, 0, 0, 0);
    Source_AddTimeOffset(s.src, 0, TRACK_TYPE_AUDIO);
    ASSERT_EQ(0, s.Read(TRACK_TYPE_AUDIO, m));
    EXPECT_EQ(384u, m.time);
}

TEST(Source, StartPositionAndSeeks) {
    MemSource s(mp4b::Build(mp4b::RecorderLike(5)).file);
    ASSERT_EQ(0, s.getInfo);
    MediaSample m;
    ASSERT_EQ(0, s.Read(TRACK_TYPE_VIDEO, m));
    ASSERT_EQ(0, s.Read(TRACK_TYPE_VIDEO, m));
    uint32_t pos = 0;
    EXPECT_EQ(0, Source_SetStartPosition(s.src, &pos));  // no seek for 0
    ASSERT_EQ(0, s.Read(TRACK_TYPE_VIDEO, m));
    EXPECT_EQ(200u, m.time);
    pos = 2300;
    EXPECT_EQ(0, Source_SetStartPosition(s.src, &pos));
    EXPECT_EQ(2000u, pos);
    ASSERT_EQ(0, s.Read(TRACK_TYPE_VIDEO, m));
    EXPECT_EQ(2000u, m.time);
    pos = 99000;
    EXPECT_EQ(PLAYER_E_RANDOM_ACCESS, Source_SetStartPosition(s.src, &pos));
    // A range start clamps the seek.
    Source_SetRange(s.src, 3000, 0, 1, 1);
    pos = 1000;
    EXPECT_EQ(1, Source_SeekTime(s.src, &pos, 0));
    EXPECT_EQ(3000u, pos);
    ASSERT_EQ(0, s.Read(TRACK_TYPE_VIDEO, m));
    EXPECT_EQ(3000u, m.time);
    pos = 1000;
    EXPECT_EQ(1, Source_SeekFrame(s.src, &pos, 1));
    EXPECT_EQ(4000u, pos);  // clamped to 3000, then the first sync sample after it
}

TEST(Source, ReadsWithoutTrackOrOtherTypes) {
    mp4b::Clip c;
    mp4b::Track v;
    v.sizes = {10, 10};
    v.stts = {{2, 100}};
    c.tracks.push_back(v);
    MemSource s(mp4b::Build(c).file);
    ASSERT_EQ(0, s.getInfo);
    MediaSample m;
    EXPECT_EQ(PLAYER_E_NO_TRACK, s.Read(TRACK_TYPE_AUDIO, m));
    EXPECT_EQ(0, s.Read(7, m));  // another type reads nothing
    EXPECT_EQ(0, s.Read(TRACK_TYPE_VIDEO, m));
    EXPECT_EQ(1, Source_SelectTrack(s.src, 0, 9));
    EXPECT_EQ(0, Source_Control(s.src, SOURCE_CONTROL_PLAY));
    EXPECT_EQ(0, Source_CanReopenText(s.src, 0, nullptr));
    SourceProgress p;
    EXPECT_EQ(1, Source_GetProgress(s.src, &p));
    EXPECT_EQ(100u, p.fillPercent);
    EXPECT_EQ(100u, p.readPercent);
}

TEST(Source, ProbeFileInfoMatchesAnOpenSource) {
    Bytes clip = mp4b::Build(mp4b::RecorderLike(2)).file;
    TempClip f(u"dc_source_probeinfo.mp4", clip);
    SourceOpenWords w{f.path.c_str(), nullptr, 0, nullptr};
    MediaInfo probed{};
    ASSERT_EQ(0, Source_ProbeFileInfo(&w, &probed));
    MemSource s(clip);
    ASSERT_EQ(0, s.getInfo);
    EXPECT_EQ(s.info.duration, probed.duration);
    EXPECT_EQ(s.info.videoCount, probed.videoCount);
    EXPECT_EQ(s.info.video[0].frameRate, probed.video[0].frameRate);
    SourceOpenWords bad{u"/nonexistent/x.mp4", nullptr, 0, nullptr};
    EXPECT_EQ(PLAYER_E_FILE_NOT_FOUND, Source_ProbeFileInfo(&bad, &probed));
}

TEST(Source, OneClipOpenedTwiceReadsIndependently) {
    TempClip f(u"dc_source_twice_클립.mp4", mp4b::Build(mp4b::RecorderLike(2)).file);
    SourceOpenWords w1{f.path.c_str(), nullptr, 0, nullptr}, w2 = w1;
    MediaSource *a = nullptr, *b = nullptr;
    ASSERT_EQ(0, Source_Open(&a, &w1));
    ASSERT_EQ(0, Source_Open(&b, &w2));
    MediaInfo ia{}, ib{};
    ASSERT_EQ(0, Source_GetInfo(a, &ia));
    ASSERT_EQ(0, Source_GetInfo(b, &ib));
    static uint8_t buf[8192];
    MediaSample m{buf, 0, sizeof buf, 0, 0, 0, TRACK_TYPE_VIDEO, 0};
    for (int i = 0; i < 5; ++i) ASSERT_EQ(0, Source_ReadSample(a, &m));
    EXPECT_EQ(400u, m.time);
    m = MediaSample{buf, 0, sizeof buf, 0, 0, 0, TRACK_TYPE_VIDEO, 0};
    ASSERT_EQ(0, Source_ReadSample(b, &m));
    EXPECT_EQ(0u, m.time);
    Source_Close(a);
    Source_Close(b);
}

TEST(Source, HttpUrlTest) {
    EXPECT_EQ(1, Source_IsHttpUrl(u"http://x"));
    EXPECT_EQ(1, Source_IsHttpUrl(u"httpm://x"));
    EXPECT_EQ(0, Source_IsHttpUrl(u"https://x"));
    EXPECT_EQ(0, Source_IsHttpUrl(u"http:/"));
    EXPECT_EQ(0, Source_IsHttpUrl(nullptr));
}

}  // namespace

// Tracks that list no sample (a fragmented file's movie box) leave nothing
// to play: the source says so at once. One sample in any track is enough.
TEST(Source, TracksWithoutSamplesAreAnUnsupportedFile) {
    struct Case {
        const char* name;
        std::vector<uint32_t> videoSizes, audioSizes;
        int32_t getInfo;
    };
    const Case cases[] = {
        {"video without samples", {}, {}, PLAYER_E_UNSUPPORTED_FILE},
        {"video and audio without samples", {}, {}, PLAYER_E_UNSUPPORTED_FILE},
        {"audio with one sample", {}, {10}, 0},
        {"video with samples", {10, 12}, {}, 0},
    };
    for (size_t k = 0; k < sizeof cases / sizeof cases[0]; ++k) {
        const Case& tc = cases[k];
        SCOPED_TRACE(tc.name);
        mp4b::Clip c;
        mp4b::Track v;
        v.kind = mp4b::kVideo;
        v.sizes = tc.videoSizes;
        v.stts = {{uint32_t(tc.videoSizes.size()), 100}};
        c.tracks.push_back(v);
        if (k > 0) {
            mp4b::Track a;
            a.kind = mp4b::kAudio;
            a.sizes = tc.audioSizes;
            a.stts = {{uint32_t(tc.audioSizes.size()), 1024}};
            c.tracks.push_back(a);
        }
        MemSource s(mp4b::Build(c).file);
        ASSERT_EQ(0, s.open);
        EXPECT_EQ(tc.getInfo, s.getInfo);
    }
}
