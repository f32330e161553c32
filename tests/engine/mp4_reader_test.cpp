// MP4 reader on clips built in memory: track recognition, media info,
// sample reading, seeking, and damaged files.
#include "engine/input/mp4_reader.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player_result.h"
#include "mp4_builder.h"

namespace {

using mp4b::Bytes;

// Reader over its own exact-size copy of the bytes, so the sanitizer sees
// any read past the end.
struct Opened {
    std::unique_ptr<uint8_t[]> bytes;
    Stream* stream = nullptr;
    Mp4Reader* reader = nullptr;
    MediaInfo info{};
    int32_t parse = -1;

    explicit Opened(const Bytes& file, bool parseNow = true) {
        size_t n = file.size() ? file.size() : 1;
        bytes.reset(new uint8_t[n]);
        if (file.empty()) return;
        std::memcpy(bytes.get(), file.data(), file.size());
        if (Stream_CreateFile(&stream, reinterpret_cast<const char16_t*>(bytes.get()),
                              uint32_t(file.size()), 0) < 0)
            return;
        if (Mp4Reader_Create(&reader, stream) < 0) return;
        if (parseNow) parse = Mp4Reader_ParseTopLevel(reader, &info);
    }
    ~Opened() {
        Mp4Reader_Destroy(reader);
        Stream_Close(stream);
    }
    int32_t Read(uint32_t type, std::vector<uint8_t>& buf, MediaSample& s) {
        s = MediaSample{};
        s.data = buf.data();
        s.capacity = uint32_t(buf.size());
        s.type = type;
        return Mp4Reader_ReadSample(reader, &s);
    }
};

struct ReadBack {
    std::vector<uint32_t> times, sizes, durations;
    std::vector<Bytes> data;
    int32_t last = 0;
};

ReadBack ReadAll(Opened& o, uint32_t type, uint32_t limit = 100000) {
    ReadBack rb;
    std::vector<uint8_t> buf(1 << 16);
    MediaSample s;
    for (uint32_t n = 0; n < limit; ++n) {
        int32_t rc = o.Read(type, buf, s);
        if (rc < 0) {
            rb.last = rc;
            return rb;
        }
        rb.times.push_back(s.time);
        rb.sizes.push_back(s.length);
        rb.durations.push_back(s.duration);
        rb.data.emplace_back(buf.begin(), buf.begin() + s.length);
    }
    rb.last = 1;  // never ended
    return rb;
}

uint32_t Index(const Bytes& b) {
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

TEST(Mp4Reader, RecorderLikeClipDescribesAndReadsEveryTrack) {
    for (bool moovFirst : {false, true}) {
        SCOPED_TRACE(moovFirst ? "moov first" : "mdat first");
        mp4b::Clip c = mp4b::RecorderLike(4);
        c.moovFirst = moovFirst;
        mp4b::Built b = mp4b::Build(c);
        Opened o(b.file);
        ASSERT_EQ(0, o.parse);
        EXPECT_EQ(0u, o.info.readerWord0);
        EXPECT_EQ(4000u, o.info.duration);
        EXPECT_EQ(1u, o.info.audioCount);
        EXPECT_EQ(1u, o.info.videoCount);
        EXPECT_EQ(1u, o.info.textCount);
        const VideoTrackInfo& v = o.info.video[0];
        EXPECT_EQ(MakeFourCC('M', 'P', '4', 'V'), v.codec);
        EXPECT_EQ(176u, v.width);
        EXPECT_EQ(144u, v.height);
        EXPECT_EQ(10000u, v.frameRate);
        EXPECT_EQ(5000u, v.bitrate);
        EXPECT_EQ(4000u, v.maxSampleSize);
        EXPECT_EQ(4000u, v.duration);
        ASSERT_EQ(c.tracks[0].dsi.size(), v.configLength);
        EXPECT_EQ(0, std::memcmp(c.tracks[0].dsi.data(), v.config, v.configLength));
        const AudioTrackInfo& a = o.info.audio[0];
        EXPECT_EQ(255u, a.codec);
        EXPECT_EQ(8000u, a.sampleRate);
        EXPECT_EQ(2u, a.channels);
        EXPECT_EQ(16u, a.bitsPerSample);
        EXPECT_EQ(5000u, a.bitrate);
        EXPECT_EQ(4000u, a.maxSampleSize);
        EXPECT_EQ(1u, a.perPacketTime);
        ASSERT_EQ(2u, a.configLength);
        EXPECT_EQ(0x15, a.config[0]);
        EXPECT_EQ(0x88, a.config[1]);
        const TextTrackInfo& t = o.info.text[0];
        EXPECT_EQ(CODEC_TAG_BLBX, t.codec);
        EXPECT_EQ(4000u, t.duration);
        EXPECT_GE(t.maxSampleSize, 4000u);  // the esds buffer size, at least the largest sample

        for (uint32_t k = 0; k < 3; ++k) {
            uint32_t type = k == 0 ? TRACK_TYPE_VIDEO : k == 1 ? TRACK_TYPE_AUDIO : TRACK_TYPE_TEXT;
            const mp4b::Track& tr = c.tracks[k];
            ReadBack rb = ReadAll(o, type);
            EXPECT_EQ(PLAYER_E_END_OF_STREAM, rb.last);
            ASSERT_EQ(tr.sizes.size(), rb.sizes.size()) << "type " << type;
            for (size_t i = 0; i < rb.sizes.size(); ++i) {
                ASSERT_EQ(tr.sizes[i], rb.sizes[i]);
                Bytes want = tr.payload ? tr.payload(uint32_t(i))
                                        : mp4b::Pattern(k + 1, uint32_t(i), tr.sizes[i]);
                ASSERT_EQ(want, rb.data[i]) << "sample " << i;
                uint64_t dt = uint64_t(i) * tr.stts[0].second;
                ASSERT_EQ(uint32_t(dt * 1000 / tr.timescale), rb.times[i]);
            }
            EXPECT_EQ(tr.stts[0].second * 1000 / tr.timescale, rb.durations[0]);
        }
    }
}

struct TrackKindCase {
    const char* name;
    mp4b::Kind kind;
    bool stripName;
    uint32_t audio, video, text;
};

TEST(Mp4Reader, DataTrackIsRecognisedByHandlerNameAndNullHeader) {
    const TrackKindCase cases[] = {
        {"sdsm named XBLB with nmhd", mp4b::kData, false, 0, 0, 1},
        {"sdsm without the name bytes", mp4b::kData, true, 0, 0, 0},
        {"hint track with hmhd", mp4b::kHint, false, 0, 0, 0},
        {"video", mp4b::kVideo, false, 0, 1, 0},
        {"audio", mp4b::kAudio, false, 1, 0, 0},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        mp4b::Clip c;
        mp4b::Track t;
        t.kind = tc.kind;
        t.sizes = {10, 10};
        t.stts = {{2, 1000}};
        c.tracks.push_back(t);
        Bytes f = mp4b::Build(c).file;
        if (tc.stripName) {
            long h = mp4b::FindBox(f, "hdlr");
            ASSERT_GE(h, 0);
            f[size_t(h) + 32] = 'Y';  // first name byte
        }
        Opened o(f);
        ASSERT_EQ(0, o.parse);
        EXPECT_EQ(tc.audio, o.info.audioCount);
        EXPECT_EQ(tc.video, o.info.videoCount);
        EXPECT_EQ(tc.text, o.info.textCount);
    }
}

struct ObjectTypeCase {
    const char* name;
    mp4b::Kind kind;
    uint8_t objectType;
    uint32_t tag;
};

TEST(Mp4Reader, PrivateObjectTypesSelectCodecTags) {
    const ObjectTypeCase cases[] = {
        {"211 on the data track", mp4b::kData, 211, CODEC_TAG_BLBX},
        {"240 on video", mp4b::kVideo, 240, MakeFourCC('Y', 'V', '1', '2')},
        {"241 on video", mp4b::kVideo, 241, MakeFourCC('A', 'V', 'C', '1')},
        {"242 on video", mp4b::kVideo, 242, MakeFourCC('H', '2', '6', '3')},
        {"MPEG-4 visual keeps mp4v", mp4b::kVideo, 0x20, MakeFourCC('M', 'P', '4', 'V')},
        {"225 on audio", mp4b::kAudio, 225, 0x3331},
        {"227 on audio", mp4b::kAudio, 227, 6},
        {"AAC keeps mp4a", mp4b::kAudio, 0x40, 255},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        mp4b::Clip c;
        mp4b::Track t;
        t.kind = tc.kind;
        t.objectType = tc.objectType;
        t.sizes = {10};
        t.stts = {{1, 1000}};
        c.tracks.push_back(t);
        Opened o(mp4b::Build(c).file);
        ASSERT_EQ(0, o.parse);
        uint32_t got = tc.kind == mp4b::kData    ? o.info.text[0].codec
                       : tc.kind == mp4b::kVideo ? o.info.video[0].codec
                                                 : o.info.audio[0].codec;
        EXPECT_EQ(tc.tag, got);
    }
}

TEST(Mp4Reader, BufferCapsFromEsds) {
    mp4b::Clip c;
    mp4b::Track a;
    a.kind = mp4b::kAudio;
    a.bufferSize = 100000;
    a.sizes = {10};
    a.stts = {{1, 1024}};
    mp4b::Track v;
    v.kind = mp4b::kVideo;
    v.bufferSize = 0xFFFFFF;
    v.sizes = {10};
    v.stts = {{1, 100}};
    c.tracks = {a, v};
    Opened o(mp4b::Build(c).file);
    ASSERT_EQ(0, o.parse);
    EXPECT_EQ(8192u, o.info.audio[0].maxSampleSize);
    EXPECT_EQ(0x28000u, o.info.video[0].maxSampleSize);
}

TEST(Mp4Reader, SampleTooBigForTheBufferIsReturnedWholeByTheRetry) {
    mp4b::Built b = mp4b::Build(mp4b::RecorderLike(2));
    Opened o(b.file);
    ASSERT_EQ(0, o.parse);
    std::vector<uint8_t> buf(4096);
    MediaSample s{};
    ASSERT_EQ(0, o.Read(TRACK_TYPE_VIDEO, buf, s));  // sample 0
    // Sample 1 is 101 bytes: offer 100.
    s = MediaSample{};
    s.data = buf.data();
    s.capacity = 100;
    s.type = TRACK_TYPE_VIDEO;
    ASSERT_EQ(PLAYER_E_BUFFER_TOO_SMALL, Mp4Reader_ReadSample(o.reader, &s));
    EXPECT_EQ(101u, s.length);
    EXPECT_EQ(100u, s.capacity);  // a retry with the same record stays inside the buffer
    ASSERT_EQ(PLAYER_E_BUFFER_TOO_SMALL, Mp4Reader_ReadSample(o.reader, &s));
    // Reading another track in between does not disturb it.
    MediaSample other{};
    ASSERT_EQ(0, o.Read(TRACK_TYPE_AUDIO, buf, other));
    ASSERT_EQ(0, o.Read(TRACK_TYPE_VIDEO, buf, s));
    EXPECT_EQ(101u, s.length);
    EXPECT_EQ(1u, Index(Bytes(buf.begin(), buf.begin() + 4)));
    EXPECT_EQ(100u, s.time);
    ASSERT_EQ(0, o.Read(TRACK_TYPE_VIDEO, buf, s));
    EXPECT_EQ(2u, Index(Bytes(buf.begin(), buf.begin() + 4)));
}

TEST(Mp4Reader, ShortNalLengthsAreRewrittenToFourBytes) {
    mp4b::Clip c;
    mp4b::Track v;
    v.kind = mp4b::kVideo;
    v.sampleEntry = "avc1";
    // avcC: version, profile, compat, level, 0xFD (2-byte lengths), one SPS, one PPS.
    Bytes avcc = {1, 66, 0, 30, 0xFD, 0xE1, 0, 4, 0x67, 0x42, 0x00, 0x1E, 1, 0, 2, 0x68, 0xCE};
    v.extraEntryBoxes = mp4b::Box("avcC", avcc);
    // Two samples: units of 3 and 5 bytes, then one unit of 1 byte.
    Bytes s0 = {0, 3, 0x65, 1, 2, 0, 5, 0x41, 3, 4, 5, 6};
    Bytes s1 = {0, 1, 0x09};
    v.sizes = {uint32_t(s0.size()), uint32_t(s1.size())};
    v.stts = {{2, 100}};
    v.payload = [=](uint32_t i) { return i == 0 ? s0 : s1; };
    c.tracks.push_back(v);
    Opened o(mp4b::Build(c).file);
    ASSERT_EQ(0, o.parse);
    EXPECT_EQ(MakeFourCC('A', 'V', 'C', '1'), o.info.video[0].codec);
    Bytes cfg(o.info.video[0].config, o.info.video[0].config + o.info.video[0].configLength);
    EXPECT_EQ((Bytes{0, 4, 0x67, 0x42, 0x00, 0x1E, 0, 2, 0x68, 0xCE}), cfg);
    std::vector<uint8_t> buf(64);
    MediaSample s{};
    // Exactly one byte short of the rewritten size.
    std::vector<uint8_t> small(15);
    ASSERT_EQ(PLAYER_E_BUFFER_TOO_SMALL, o.Read(TRACK_TYPE_VIDEO, small, s));
    EXPECT_EQ(16u, s.length);
    ASSERT_EQ(0, o.Read(TRACK_TYPE_VIDEO, buf, s));
    EXPECT_EQ((Bytes{0, 0, 0, 3, 0x65, 1, 2, 0, 0, 0, 5, 0x41, 3, 4, 5, 6}),
              Bytes(buf.begin(), buf.begin() + s.length));
    ASSERT_EQ(0, o.Read(TRACK_TYPE_VIDEO, buf, s));
    EXPECT_EQ((Bytes{0, 0, 0, 1, 0x09}), Bytes(buf.begin(), buf.begin() + s.length));
}

// Video only: n samples of 100 ms, sync samples as given (1-based).
Bytes VideoClip(uint32_t n, std::vector<uint32_t> sync,
                std::vector<std::pair<uint32_t, uint32_t>> stts = {}) {
    mp4b::Clip c;
    mp4b::Track v;
    v.kind = mp4b::kVideo;
    for (uint32_t i = 0; i < n; ++i) v.sizes.push_back(20 + i % 7);
    v.stts = stts.empty() ? std::vector<std::pair<uint32_t, uint32_t>>{{n, 100}} : stts;
    v.stss = std::move(sync);
    v.stsc = {{1, 3}};
    c.tracks.push_back(v);
    return mp4b::Build(c).file;
}

struct SeekCase {
    const char* name;
    std::vector<uint32_t> sync;
    int kind;  // 0: Seek (nearest), 1: SeekDirection back, 2: SeekDirection forward
    uint32_t time;
    int32_t ok;
    uint32_t landed;  // time written back
};

TEST(Mp4Reader, SeeksLandOnTheRightSyncSample) {
    const SeekCase cases[] = {
        {"nearest, closer to the earlier sync", {1, 31}, 0, 1000, 1, 0},
        {"nearest, tie goes to the earlier sync", {1, 31}, 0, 1500, 1, 0},
        {"nearest, closer to the later sync", {1, 31}, 0, 2000, 1, 3000},
        {"backward exactly on a later sync", {1, 31, 61}, 1, 3000, 1, 0},
        {"backward between syncs", {1, 31, 61}, 1, 4200, 1, 3000},
        {"forward after a time", {1, 31, 61}, 2, 100, 1, 3000},
        {"forward exactly on a sync", {1, 31, 61}, 2, 3000, 1, 6000},
        {"one-entry sync table", {1}, 0, 5000, 1, 0},
        {"one-entry sync table, forward", {1}, 2, 5000, 1, 0},
        {"no sync table: every sample", {}, 0, 4250, 1, 4300},
        {"beyond the last sample", {1, 31, 61}, 0, 100000, 0, 100000},
        {"first sync is not the first sample", {5, 31}, 1, 200, 1, 400},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        Opened o(VideoClip(90, tc.sync));
        ASSERT_EQ(0, o.parse);
        std::vector<uint8_t> buf(256);
        MediaSample s{};
        ASSERT_EQ(0, o.Read(TRACK_TYPE_VIDEO, buf, s));
        ASSERT_EQ(0, o.Read(TRACK_TYPE_VIDEO, buf, s));  // next is sample 2
        uint32_t t = tc.time;
        int32_t r = tc.kind == 0 ? Mp4Reader_Seek(o.reader, &t, 0)
                                 : Mp4Reader_SeekDirection(o.reader, &t, tc.kind == 2);
        EXPECT_EQ(tc.ok, r);
        EXPECT_EQ(tc.landed, t);
        ASSERT_EQ(0, o.Read(TRACK_TYPE_VIDEO, buf, s));
        uint32_t want = tc.ok ? tc.landed / 100 : 2;  // a failed seek changes nothing
        EXPECT_EQ(want, Index(Bytes(buf.begin(), buf.begin() + 4)));
        EXPECT_EQ(want * 100, s.time);
        // The samples after it follow in order, across chunk boundaries.
        ASSERT_EQ(0, o.Read(TRACK_TYPE_VIDEO, buf, s));
        EXPECT_EQ(want + 1, Index(Bytes(buf.begin(), buf.begin() + 4)));
    }
}

TEST(Mp4Reader, SeekMovesEveryTrackAndTextFollowsBackward) {
    Opened o(mp4b::Build(mp4b::RecorderLike(6)).file);
    ASSERT_EQ(0, o.parse);
    uint32_t t = 3400;
    ASSERT_EQ(1, Mp4Reader_Seek(o.reader, &t, 0));
    EXPECT_EQ(3000u, t);
    std::vector<uint8_t> buf(4096);
    MediaSample s{};
    ASSERT_EQ(0, o.Read(TRACK_TYPE_VIDEO, buf, s));
    EXPECT_EQ(3000u, s.time);
    ASSERT_EQ(0, o.Read(TRACK_TYPE_AUDIO, buf, s));
    // Audio has no sync table: the first frame at or after the time (128 ms frames).
    EXPECT_GE(s.time, 3000u);
    EXPECT_LT(s.time, 3128u);
    ASSERT_EQ(0, o.Read(TRACK_TYPE_TEXT, buf, s));
    EXPECT_EQ(3000u, s.time);
    // Text-led seek.
    // Text-led seek: the data track has no sync table, so the record at or
    // after the time leads, and video goes back to the sync sample before.
    t = 4500;
    ASSERT_EQ(1, Mp4Reader_SeekByText(o.reader, &t, 0));
    EXPECT_EQ(5000u, t);
    ASSERT_EQ(0, o.Read(TRACK_TYPE_TEXT, buf, s));
    EXPECT_EQ(5000u, s.time);
    ASSERT_EQ(0, o.Read(TRACK_TYPE_VIDEO, buf, s));
    EXPECT_EQ(4000u, s.time);
}

TEST(Mp4Reader, FrameRateBasis) {
    {
        SCOPED_TRACE("first stts delta 0 takes the second entry");
        Opened o(VideoClip(10, {1}, {{1, 0}, {9, 100}}));
        ASSERT_EQ(0, o.parse);
        EXPECT_EQ(11111u, o.info.video[0].frameRate);  // 10 samples over 900 ms
    }
    {
        SCOPED_TRACE("no samples");
        Opened o(VideoClip(0, {}, {{0, 100}}));
        ASSERT_EQ(0, o.parse);
        EXPECT_EQ(0u, o.info.video[0].frameRate);
        std::vector<uint8_t> buf(64);
        MediaSample s{};
        EXPECT_EQ(PLAYER_E_END_OF_STREAM, o.Read(TRACK_TYPE_VIDEO, buf, s));
    }
}

TEST(Mp4Reader, SelectTrackSwitchesToTheSecondTrackOfAType) {
    mp4b::Clip c = mp4b::RecorderLike(3);
    mp4b::Track a2 = c.tracks[1];
    a2.sampleRate = 16000;
    c.tracks.push_back(a2);
    Opened o(mp4b::Build(c).file);
    ASSERT_EQ(0, o.parse);
    ASSERT_EQ(2u, o.info.audioCount);
    EXPECT_EQ(16000u, o.info.audio[1].sampleRate);
    EXPECT_EQ(0, Mp4Reader_SelectTrack(o.reader, 0, 0, TRACK_TYPE_AUDIO));  // already selected
    EXPECT_EQ(0, Mp4Reader_SelectTrack(o.reader, 2, 0, TRACK_TYPE_AUDIO));  // none
    ASSERT_EQ(1, Mp4Reader_SelectTrack(o.reader, 1, 1000, TRACK_TYPE_AUDIO));
    std::vector<uint8_t> buf(4096);
    MediaSample s{};
    ASSERT_EQ(0, o.Read(TRACK_TYPE_AUDIO, buf, s));
    EXPECT_EQ(4u, buf[4]);     // the fourth track's bytes
    EXPECT_EQ(1024u, s.time);  // the first frame at or after the time
}

TEST(Mp4Reader, FileWithoutMoovHasNoTracks) {
    Bytes f = mp4b::Box("ftyp", Bytes{'i', 's', 'o', 'm', 0, 0, 0, 0});
    mp4b::Append(f, mp4b::Box("mdat", Bytes(100, 1)));
    Opened o(f);
    ASSERT_EQ(0, o.parse);
    EXPECT_EQ(0u, o.info.audioCount + o.info.videoCount + o.info.textCount);
    std::vector<uint8_t> buf(64);
    MediaSample s{};
    EXPECT_EQ(PLAYER_E_NO_TRACK, o.Read(TRACK_TYPE_VIDEO, buf, s));
}

// Opens, reads every type to its end and seeks; the run must end by itself.
void Exercise(const Bytes& f) {
    Opened o(f);
    if (o.parse < 0 || !o.reader) return;
    for (uint32_t type = 1; type <= 3; ++type) {
        ReadBack rb = ReadAll(o, type, 5000);
        ASSERT_LT(rb.last, 0) << "type " << type << " never ended";
    }
    for (uint32_t t : {0u, 700u, 2500u, 100000u}) {
        uint32_t x = t;
        Mp4Reader_Seek(o.reader, &x, 0);
        x = t;
        Mp4Reader_Seek(o.reader, &x, 1);
        x = t;
        Mp4Reader_SeekDirection(o.reader, &x, 1);
        x = t;
        Mp4Reader_SeekByText(o.reader, &x, 0);
        std::vector<uint8_t> buf(8192);
        MediaSample s{};
        for (uint32_t type = 1; type <= 3; ++type) o.Read(type, buf, s);
    }
}

TEST(Mp4ReaderDamage, TruncatedAtEveryOffset) {
    for (bool moovFirst : {false, true}) {
        mp4b::Clip c = mp4b::RecorderLike(3);
        c.moovFirst = moovFirst;
        Bytes f = mp4b::Build(c).file;
        // Every byte through the headers and the tail (where moov sits when it
        // comes last), every 29th elsewhere.
        for (size_t cut = 0; cut < f.size(); cut += (cut < 64 || f.size() - cut < 1024) ? 1 : 29) {
            SCOPED_TRACE(cut);
            Exercise(Bytes(f.begin(), f.begin() + cut));
            if (HasFatalFailure()) return;
        }
    }
}

TEST(Mp4ReaderDamage, TruncatedClipPlaysUpToTheCut) {
    mp4b::Clip c = mp4b::RecorderLike(4);
    c.moovFirst = true;
    mp4b::Built b = mp4b::Build(c);
    // Cut in the middle of video sample 20.
    uint32_t cut = b.offsets[0][20] + 3;
    Opened o(Bytes(b.file.begin(), b.file.begin() + cut));
    ASSERT_EQ(0, o.parse);
    ReadBack rb = ReadAll(o, TRACK_TYPE_VIDEO);
    EXPECT_EQ(PLAYER_E_END_OF_STREAM, rb.last);
    EXPECT_EQ(20u, rb.sizes.size());
    std::vector<uint8_t> buf(64);
    MediaSample s{};
    EXPECT_EQ(PLAYER_E_END_OF_STREAM, o.Read(TRACK_TYPE_VIDEO, buf, s));
}

struct Damage {
    const char* name;
    const char* box;  // box whose field is changed
    size_t field;     // byte offset from the box start
    uint32_t value;
};

TEST(Mp4ReaderDamage, CorruptedFieldsGiveCleanResults) {
    // Offsets: box header 8, full-box version/flags 4.
    const Damage cases[] = {
        {"moov size beyond the file", "moov", 0, 0x7FFFFFF0},
        {"moov size below 8", "moov", 0, 3},
        {"trak size beyond moov", "trak", 0, 0x00FFFFFF},
        {"trak size 0", "trak", 0, 0},
        {"mvhd timescale 0", "mvhd", 20, 0},
        {"mdhd timescale 0", "mdhd", 20, 0},
        {"stsd entry count huge", "stsd", 12, 0xFFFFFFFF},
        {"stsd entry size huge", "stsd", 16, 0x7FFFFFFF},
        {"stsd entry size small", "stsd", 16, 9},
        {"stts count huge", "stts", 12, 0xFFFFFFFF},
        {"stts sample count huge", "stts", 16, 0xFFFFFFFF},
        {"stts delta 0", "stts", 20, 0},
        {"stss count huge", "stss", 12, 0x40000000},
        {"stss entry 0", "stss", 16, 0},
        {"stss entry beyond the samples", "stss", 20, 0xFFFFFFF0},
        {"stsc count huge", "stsc", 12, 0xFFFFFFFF},
        {"stsc first chunk 0", "stsc", 16, 0},
        {"stsc samples per chunk 0", "stsc", 20, 0},
        {"stsc samples per chunk huge", "stsc", 20, 0xFFFFFFFF},
        {"stsz constant size huge", "stsz", 12, 0x7FFFFFFF},
        {"stsz constant size 1", "stsz", 12, 1},
        {"stsz count huge", "stsz", 16, 0xFFFFFFFF},
        {"stsz entry huge", "stsz", 20, 0xFFFFFFF0},
        {"stsz entry beyond the file", "stsz", 24, 0x00100000},
        {"stco count huge", "stco", 12, 0xFFFFFFFF},
        {"stco offset beyond the file", "stco", 16, 0xFFFFFF00},
        {"stco offset at the file end", "stco", 20, 0},  // set to the size below
        {"esds descriptor length huge", "esds", 13, 0xFFFFFFFF},
        {"hdlr cut short", "hdlr", 0, 20},
        {"tkhd size huge", "tkhd", 0, 0xFFFFFFF0},
    };
    for (const auto& tc : cases) {
        for (int occurrence = 0; occurrence < 3; ++occurrence) {
            SCOPED_TRACE(std::string(tc.name) + " in track " + std::to_string(occurrence));
            Bytes f = mp4b::Build(mp4b::RecorderLike(3)).file;
            long at = -1;
            for (int k = 0; k <= occurrence; ++k) at = mp4b::FindBox(f, tc.box, size_t(at + 1));
            if (at < 0) continue;
            uint32_t value = tc.value ? tc.value : uint32_t(f.size());
            if (size_t(at) + tc.field + 4 > f.size()) continue;
            mp4b::Poke32(f, size_t(at) + tc.field, value);
            Exercise(f);
            if (HasFatalFailure()) return;
        }
    }
}

TEST(Mp4ReaderDamage, HugeSampleSizeIsAnErrorNotAnAllocation) {
    mp4b::Clip c = mp4b::RecorderLike(2);
    Bytes f = mp4b::Build(c).file;
    long at = mp4b::FindBox(f, "stsz");
    mp4b::Poke32(f, size_t(at) + 20, 0x7FFFFFFF);  // video sample 0
    Opened o(f);
    ASSERT_EQ(0, o.parse);
    std::vector<uint8_t> buf(64);
    MediaSample s{};
    int32_t rc = o.Read(TRACK_TYPE_VIDEO, buf, s);
    EXPECT_TRUE(rc == PLAYER_E_STREAM_SYNTAX || rc == PLAYER_E_END_OF_STREAM) << std::hex << rc;
}

TEST(Mp4Reader, FindMoovStopsAtTheMovieBox) {
    mp4b::Built b = mp4b::Build(mp4b::RecorderLike(1));
    Opened o(b.file, false);
    EXPECT_EQ(1, Mp4Reader_FindMoov(o.reader));
    Bytes noMoov(b.file.begin(), b.file.begin() + mp4b::FindBox(b.file, "moov"));
    Opened p(noMoov, false);
    EXPECT_EQ(0, Mp4Reader_FindMoov(p.reader));
}

}  // namespace
