// mkclip: the boxes it writes (checked with a box walker of the test's own),
// the recorder records, raw tracks, errors and determinism.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "tool_helpers.h"

using namespace tooltest;

namespace {

const std::string kDir = std::string(DC_TESTDATA) + "/mkclip";

// Small inputs made once with FFmpeg and kept under the test data folder.
class MkclipTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Shell("mkdir -p " + Quote(kDir));
        const std::string ff = "ffmpeg -nostdin -v error -y ";
        const std::string bx = " -threads 1 -flags +bitexact -fflags +bitexact ";
        struct Input {
            const char* name;
            std::string cmd;
        } inputs[] = {
            {"v.m4v",
             "-f lavfi -i testsrc2=size=160x120:rate=10 -t 2 -c:v mpeg4 -g 10" + bx + "-f m4v"},
            {"vb.m4v", "-f lavfi -i testsrc2=size=160x120:rate=10 -t 2 -c:v mpeg4 -g 10 -bf 2" +
                           bx + "-f m4v"},
            {"v.263",
             "-f lavfi -i testsrc2=size=176x144:rate=10 -t 1 -c:v h263 -g 5" + bx + "-f h263"},
            {"vp.263",
             "-f lavfi -i testsrc2=size=320x240:rate=10 -t 1 -c:v h263p -g 5" + bx + "-f h263"},
            {"a.aac", "-f lavfi -i sine=frequency=500:sample_rate=16000 -t 2 -c:a aac -b:a 24k" +
                          bx + "-f adts"},
            {"v.yuv", "-f lavfi -i testsrc2=size=64x48:rate=10 -t 1 -pix_fmt yuv420p -f rawvideo"},
            {"a.pcm", "-f lavfi -i sine=frequency=300:sample_rate=8000 -t 1 -ac 2 -f s16le"},
        };
        for (const Input& in : inputs) {
            std::string path = kDir + "/" + in.name;
            if (!Exists(path))
                Shell(ff + in.cmd + " " + Quote(path + ".tmp") + " && mv " + Quote(path + ".tmp") +
                      " " + Quote(path));
        }
    }

    // Runs mkclip; the clip's path on success, "" otherwise.
    static std::string Make(const std::string& name, const std::string& args,
                            RunResult* r = nullptr) {
        std::string out = kDir + "/" + name + ".mp4";
        std::remove(out.c_str());
        RunResult res = Shell(Mkclip() + " " + args + " -o " + Quote(out));
        if (r) *r = res;
        EXPECT_EQ(0, res.code) << res.out;
        return res.code == 0 ? out : "";
    }
    static std::string In(const char* name) { return Quote(kDir + "/" + name); }
};

struct TrackBoxes {
    std::vector<Box> boxes;  // paths relative to the trak
    const Box* Get(const std::string& path) const {
        auto v = FindAll(boxes, path);
        return v.empty() ? nullptr : v[0];
    }
};

struct Parsed {
    std::vector<uint8_t> file;
    std::vector<Box> top;  // the whole tree
    std::vector<TrackBoxes> tracks;
};

Parsed Parse(const std::string& path) {
    Parsed p;
    p.file = ReadBytes(path);
    EXPECT_TRUE(WalkBoxes(p.file, 0, p.file.size(), "", &p.top)) << path;
    for (const Box* trak : FindAll(p.top, "moov/trak")) {
        TrackBoxes t;
        EXPECT_TRUE(WalkBoxes(p.file, trak->body(), trak->at + trak->size, "", &t.boxes));
        p.tracks.push_back(t);
    }
    return p;
}

std::string Handler(const Parsed& p, const TrackBoxes& t) {
    const Box* h = t.Get("mdia/hdlr");
    return h ? std::string(reinterpret_cast<const char*>(&p.file[h->body() + 8]), 4) : "";
}

const TrackBoxes* FindTrack(const Parsed& p, const std::string& handler) {
    for (const TrackBoxes& t : p.tracks)
        if (Handler(p, t) == handler) return &t;
    return nullptr;
}

// Reads an expandable descriptor length; *long_form when it used 4 bytes.
uint32_t DescLen(const std::vector<uint8_t>& f, size_t* at, bool* long_form = nullptr) {
    uint32_t n = 0;
    int bytes = 0;
    for (;;) {
        uint8_t b = f[(*at)++];
        ++bytes;
        n = (n << 7) | (b & 0x7F);
        if (!(b & 0x80) || bytes == 4) break;
    }
    if (long_form) *long_form = bytes == 4;
    return n;
}

// objectTypeIndication of an esds box.
int EsdsObjectType(const std::vector<uint8_t>& f, const Box& esds, bool* long_form = nullptr) {
    size_t at = esds.body() + 4;
    if (f[at++] != 3) return -1;
    DescLen(f, &at, long_form);
    at += 2;
    uint8_t flags = f[at++];
    if (flags & 0xE0) return -1;  // this writer never sets them
    if (f[at++] != 4) return -1;
    DescLen(f, &at);
    return f[at];
}

// Samples of a track from stsz/stsc/stco, with their decode times in ms.
struct SampleRef {
    uint32_t offset, size, time_ms;
};

std::vector<SampleRef> Samples(const Parsed& p, const TrackBoxes& t) {
    const auto& f = p.file;
    std::vector<SampleRef> v;
    const Box *stsz = t.Get("mdia/minf/stbl/stsz"), *stsc = t.Get("mdia/minf/stbl/stsc"),
              *stco = t.Get("mdia/minf/stbl/stco"), *stts = t.Get("mdia/minf/stbl/stts"),
              *mdhd = t.Get("mdia/mdhd");
    if (!stsz || !stsc || !stco || !stts || !mdhd) return v;
    uint32_t scale = Be32(f, mdhd->body() + 12);
    uint32_t constant = Be32(f, stsz->body() + 4), count = Be32(f, stsz->body() + 8);
    uint32_t chunks = Be32(f, stco->body() + 4), entries = Be32(f, stsc->body() + 4);
    uint32_t s = 0;
    for (uint32_t c = 1; c <= chunks; ++c) {
        uint32_t per = 0;
        for (uint32_t e = 0; e < entries; ++e)
            if (Be32(f, stsc->body() + 8 + e * 12) <= c) per = Be32(f, stsc->body() + 12 + e * 12);
        uint32_t off = Be32(f, stco->body() + 8 + (c - 1) * 4);
        for (uint32_t k = 0; k < per && s < count; ++k, ++s) {
            uint32_t size = constant ? constant : Be32(f, stsz->body() + 12 + s * 4);
            v.push_back({off, size, 0});
            off += size;
        }
    }
    uint64_t time = 0;
    size_t i = 0;
    for (uint32_t e = 0, n = Be32(f, stts->body() + 4); e < n; ++e)
        for (uint32_t k = 0; k < Be32(f, stts->body() + 8 + e * 8) && i < v.size(); ++k, ++i) {
            v[i].time_ms = static_cast<uint32_t>(time * 1000 / scale);
            time += Be32(f, stts->body() + 12 + e * 8);
        }
    EXPECT_EQ(count, v.size());
    return v;
}

// --- file layout ------------------------------------------------------------

struct LayoutCase {
    const char* name;
    const char* args;
    bool moov_first;
    bool long_desc;
    uint32_t chunk_ms;
};

class LayoutTest : public MkclipTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(LayoutTest, BoxesAreWhatTheReaderWalks) {
    const LayoutCase& c = GetParam();
    std::string clip =
        Make(std::string("layout_") + c.name,
             "--m4v " + In("v.m4v") + " --fps 10 --aac " + In("a.aac") + " " + c.args);
    ASSERT_FALSE(clip.empty());
    Parsed p = Parse(clip);
    const auto& f = p.file;

    std::vector<std::string> order;
    for (const Box& b : p.top)
        if (b.path.find('/') == std::string::npos) order.push_back(b.path);
    EXPECT_EQ(c.moov_first ? std::vector<std::string>({"ftyp", "moov", "mdat"})
                           : std::vector<std::string>({"ftyp", "mdat", "moov"}),
              order);

    // Version 0 everywhere, 32-bit sizes, 32-bit chunk offsets.
    for (const Box& b : p.top) {
        std::string type = b.path.substr(b.path.size() - 4);
        EXPECT_NE("co64", type);
        static const char* full[] = {"mvhd", "tkhd", "mdhd", "hdlr", "vmhd", "smhd", "nmhd", "dref",
                                     "stsd", "stts", "stss", "stsc", "stsz", "stco", "esds"};
        for (const char* t : full) {
            if (type == t) {
                EXPECT_EQ(0, f[b.body()]) << b.path << " is not version 0";
            }
        }
    }

    ASSERT_EQ(3u, p.tracks.size());
    const TrackBoxes* video = FindTrack(p, "vide");
    const TrackBoxes* audio = FindTrack(p, "soun");
    const TrackBoxes* data = FindTrack(p, "sdsm");
    ASSERT_TRUE(video && audio && data);

    // The data track as the player's reader recognises it.
    const Box* hdlr = data->Get("mdia/hdlr");
    EXPECT_EQ(0, std::memcmp(&f[hdlr->body() + 24], "\x58\x42\x4C\x42", 4));
    EXPECT_TRUE(data->Get("mdia/minf/nmhd"));
    const Box* esds = data->Get("mdia/minf/stbl/stsd/mp4s/esds");
    ASSERT_TRUE(esds);
    bool long_form = false;
    EXPECT_EQ(211, EsdsObjectType(f, *esds, &long_form));
    EXPECT_EQ(c.long_desc, long_form);
    for (const char* table : {"stts", "stss", "stsz", "stsc", "stco"})
        EXPECT_TRUE(data->Get(std::string("mdia/minf/stbl/") + table)) << table;

    // Video: VOL in the esds, sync table; audio: AAC object type.
    const Box* vesds = video->Get("mdia/minf/stbl/stsd/mp4v/esds");
    ASSERT_TRUE(vesds);
    EXPECT_EQ(0x20, EsdsObjectType(f, *vesds));
    EXPECT_TRUE(video->Get("mdia/minf/vmhd"));
    EXPECT_TRUE(video->Get("mdia/minf/stbl/stss"));
    const Box* aesds = audio->Get("mdia/minf/stbl/stsd/mp4a/esds");
    ASSERT_TRUE(aesds);
    EXPECT_EQ(0x40, EsdsObjectType(f, *aesds));

    // Every sample lies inside mdat; chunks hold about chunk_ms of media.
    const Box* mdat = FindAll(p.top, "mdat")[0];
    for (const TrackBoxes* t : {video, audio, data}) {
        auto s = Samples(p, *t);
        ASSERT_FALSE(s.empty());
        for (const SampleRef& r : s) {
            EXPECT_GE(r.offset, mdat->body());
            EXPECT_LE(r.offset + r.size, mdat->at + mdat->size);
        }
        uint32_t chunks = Be32(f, t->Get("mdia/minf/stbl/stco")->body() + 4);
        uint32_t step = 0;
        for (size_t i = 1; i < s.size(); ++i)
            step = std::max(step, s[i].time_ms - s[i - 1].time_ms);
        uint32_t total = s.back().time_ms + step;
        EXPECT_GE(chunks, total / (c.chunk_ms + step)) << Handler(p, *t);
        EXPECT_LE(chunks, total / c.chunk_ms + 1) << Handler(p, *t);
    }

    // Round trip of the data samples: FFmpeg's demuxer sees the same bytes.
    auto mine = Samples(p, *data);
    RunResult probe = Shell(
        "ffprobe -v error -select_streams 2 -show_packets -show_data -of compact " + Quote(clip));
    ASSERT_EQ(0, probe.code) << probe.out;
    auto packets = ProbeSections(probe.out, "packet");
    ASSERT_EQ(mine.size(), packets.size());
    for (size_t i = 0; i < mine.size(); ++i) {
        std::vector<uint8_t> want(f.begin() + mine[i].offset,
                                  f.begin() + mine[i].offset + mine[i].size);
        EXPECT_EQ(want, DumpBytes(packets[i]["data"])) << "packet " << i;
        EXPECT_EQ(std::to_string(mine[i].time_ms), packets[i]["pts"]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Mkclip, LayoutTest,
    ::testing::Values(LayoutCase{"moov_last", "", false, false, 1000},
                      LayoutCase{"moov_first", "--moov first", true, false, 1000},
                      LayoutCase{"long_descriptors", "--long-desc-lengths --moov first", true, true,
                                 1000},
                      LayoutCase{"small_chunks", "--chunk-ms 300", false, false, 300}),
    [](const ::testing::TestParamInfo<LayoutCase>& i) { return std::string(i.param.name); });

// --- recorder records ---------------------------------------------------------

// Data samples of a data-only clip.
std::vector<std::vector<uint8_t>> DataSamples(const std::string& clip,
                                              std::vector<uint32_t>* times = nullptr) {
    Parsed p = Parse(clip);
    std::vector<std::vector<uint8_t>> v;
    const TrackBoxes* data = FindTrack(p, "sdsm");
    if (!data) return v;
    for (const SampleRef& r : Samples(p, *data)) {
        v.emplace_back(p.file.begin() + r.offset, p.file.begin() + r.offset + r.size);
        if (times) times->push_back(r.time_ms);
    }
    return v;
}

std::vector<std::string> RmcFields(const std::vector<uint8_t>& s) {
    std::string text(s.begin(), s.end());
    EXPECT_EQ('\0', text.back()) << "an RMC sample ends with its terminator";
    text = text.c_str();
    EXPECT_EQ("\r\n", text.substr(text.size() - 2));
    // checksum over the characters between $ and *
    size_t star = text.find('*');
    uint8_t sum = 0;
    for (size_t i = 1; i < star; ++i) sum ^= static_cast<uint8_t>(text[i]);
    char want[3];
    std::snprintf(want, sizeof want, "%02X", sum);
    EXPECT_EQ(want, text.substr(star + 1, 2));
    std::vector<std::string> f(1);
    for (char c : text.substr(0, text.size() - 2)) {
        if (c == ',')
            f.emplace_back();
        else
            f.back() += c;
    }
    // The player keeps at most 12 fields of at most 10 characters.
    EXPECT_LE(f.size(), 12u);
    for (const std::string& x : f) EXPECT_LE(x.size(), 10u) << x;
    return f;
}

TEST_F(MkclipTest, GpsAndGSensorRecordsFollowTheRecorderLayout) {
    // 36 km/h due north from the equator crossing a year boundary; records
    // every second, GPS on the second and G-sensor half a second later.
    std::string clip = Make("records",
                            "--duration 3 --start 2030-12-31T23:59:58 --utc-offset 9 --lat 37.5665 "
                            "--lon 126.978 --heading 0 --speed 0:36 --noise 0 --gravity 1 "
                            "--shock 1.5:1:-0.5:0.25 --gps-void 1");
    ASSERT_FALSE(clip.empty());
    std::vector<uint32_t> times;
    auto s = DataSamples(clip, &times);
    ASSERT_EQ(6u, s.size());
    EXPECT_EQ((std::vector<uint32_t>{0, 500, 1000, 1500, 2000, 2500}), times);

    // GPS: no fix in the first second, then 36 km/h = 19.44 knots.
    auto f0 = RmcFields(s[0]);
    EXPECT_EQ("$GPRMC", f0[0]);
    EXPECT_EQ("145958.000", f0[1]);  // UTC
    EXPECT_EQ("V", f0[2]);
    auto f1 = RmcFields(s[2]);
    EXPECT_EQ("145959.000", f1[1]);
    EXPECT_EQ("A", f1[2]);
    EXPECT_EQ("N", f1[4]);
    EXPECT_EQ("12658.6800", f1[5]);
    EXPECT_EQ("E", f1[6]);
    EXPECT_EQ("19.44", f1[7]);
    EXPECT_EQ("311230", f1[9]);
    // 10 m north of 37.5665 after one second: 10 / 111320 degrees.
    double lat = std::atof(f1[3].c_str());
    double deg = std::floor(lat / 100) + std::fmod(lat, 100) / 60;
    EXPECT_NEAR(37.5665 + 10.0 / 111320, deg, 2e-6);

    // G-sensor: lead byte, 'M' at byte 1, axes in units of 0.018 g, three
    // unread bytes, then the local date and time.
    const std::vector<uint8_t>& g0 = s[1];
    ASSERT_EQ(14u, g0.size());
    EXPECT_EQ('G', g0[0]);
    EXPECT_EQ('M', g0[1]);
    EXPECT_EQ(0, int8_t(g0[2]));
    EXPECT_EQ(0, int8_t(g0[3]));
    EXPECT_EQ(56, int8_t(g0[4]));  // 1 g
    EXPECT_EQ((std::vector<uint8_t>{30, 12, 31, 23, 59, 58}),
              std::vector<uint8_t>(g0.begin() + 8, g0.end()));
    const std::vector<uint8_t>& g1 = s[3];  // carries the shock, one second later
    EXPECT_EQ(56, int8_t(g1[2]));
    EXPECT_EQ(-28, int8_t(g1[3]));
    EXPECT_EQ(69, int8_t(g1[4]));  // 1.25 g
    EXPECT_EQ((std::vector<uint8_t>{30, 12, 31, 23, 59, 59}),
              std::vector<uint8_t>(g1.begin() + 8, g1.end()));
    EXPECT_EQ((std::vector<uint8_t>{31, 1, 1, 0, 0, 0}),
              std::vector<uint8_t>(s[5].begin() + 8, s[5].end()));
}

TEST_F(MkclipTest, RecordsFileIsWrittenAsGiven) {
    std::string records = kDir + "/records.txt";
    {
        std::ofstream f(records);
        f << "# samples at 0, 100, 200 and 300 ms\n"
             "0 text $GPRMC,000000.000,A,3723.2475,S,12702.1234,W,10.0,0.0,010124,,*00\n"
             "100 hex 00 4D 7F 80 00 00 00 00 18 01 02 03 04 05\n"
             "\n"
             "200 text \n"
             "300 hex F64D\r\n";
    }
    std::string clip = Make("records_file", "--records " + Quote(records) + " --duration 1");
    ASSERT_FALSE(clip.empty());
    std::vector<uint32_t> times;
    auto s = DataSamples(clip, &times);
    EXPECT_EQ((std::vector<uint32_t>{0, 100, 200, 300}), times);
    ASSERT_EQ(4u, s.size());
    EXPECT_EQ("$GPRMC,000000.000,A,3723.2475,S,12702.1234,W,10.0,0.0,010124,,*00",
              std::string(s[0].begin(), s[0].end() - 1));
    EXPECT_EQ(0, s[0].back());
    EXPECT_EQ((std::vector<uint8_t>{0x00, 0x4D, 0x7F, 0x80, 0, 0, 0, 0, 0x18, 1, 2, 3, 4, 5}),
              s[1]);
    EXPECT_EQ(std::vector<uint8_t>{0}, s[2]);
    EXPECT_EQ((std::vector<uint8_t>{0xF6, 0x4D}), s[3]);
}

struct MarkerCase {
    const char* name;
    const char* args;
    size_t marker;  // position of 'M'
    size_t size;
};

class MarkerTest : public MkclipTest, public ::testing::WithParamInterface<MarkerCase> {};

TEST_P(MarkerTest, GSensorMarkerPosition) {
    const MarkerCase& c = GetParam();
    std::string clip =
        Make(std::string("marker_") + c.name,
             std::string("--duration 1 --gps-period 0 --gsensor-phase 0 --noise 0 ") + c.args);
    ASSERT_FALSE(clip.empty());
    auto s = DataSamples(clip);
    ASSERT_EQ(1u, s.size());
    ASSERT_EQ(c.size, s[0].size());
    EXPECT_EQ('M', s[0][c.marker]);
    EXPECT_EQ(56, int8_t(s[0][c.marker + 3]));
    EXPECT_EQ(24, s[0][c.marker + 7]);  // default start: 2024
}

INSTANTIATE_TEST_SUITE_P(Mkclip, MarkerTest,
                         ::testing::Values(MarkerCase{"at_byte_1", "", 1, 14},
                                           MarkerCase{"at_byte_0", "--marker-at 0", 0, 13},
                                           MarkerCase{"lead_zero", "--lead-byte 0", 1, 14}),
                         [](const ::testing::TestParamInfo<MarkerCase>& i) {
                             return std::string(i.param.name);
                         });

TEST_F(MkclipTest, SouthernAndWesternHemispheres) {
    std::string clip = Make("southwest", "--duration 1 --lat -33.8688 --lon -151.2093 --speed 0:0");
    ASSERT_FALSE(clip.empty());
    auto f = RmcFields(DataSamples(clip)[0]);
    EXPECT_EQ("3352.1280", f[3]);
    EXPECT_EQ("S", f[4]);
    EXPECT_EQ("15112.5580", f[5]);
    EXPECT_EQ("W", f[6]);
    EXPECT_EQ("0.00", f[7]);
}

TEST_F(MkclipTest, DataTrackVariantsForReaderTests) {
    // A data track that the player's reader must drop: hmhd and a name
    // without the XBLB bytes; and another object type.
    std::string clip =
        Make("variant", "--duration 1 --data-header hmhd --data-name Other --data-oti 240");
    ASSERT_FALSE(clip.empty());
    Parsed p = Parse(clip);
    const TrackBoxes* data = FindTrack(p, "sdsm");
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->Get("mdia/minf/hmhd"));
    EXPECT_FALSE(data->Get("mdia/minf/nmhd"));
    EXPECT_EQ(0, std::memcmp(&p.file[data->Get("mdia/hdlr")->body() + 24], "Other", 6));
    EXPECT_EQ(240, EsdsObjectType(p.file, *data->Get("mdia/minf/stbl/stsd/mp4s/esds")));
}

struct VideoCase {
    const char* name;
    const char* args;
    const char* codec;
    int width, height, frames, keys;
};

class VideoInputTest : public MkclipTest, public ::testing::WithParamInterface<VideoCase> {};

TEST_P(VideoInputTest, SizeFramesAndSyncSamples) {
    const VideoCase& c = GetParam();
    std::string clip = Make(std::string("video_") + c.name, std::string(c.args) + " --fps 10");
    ASSERT_FALSE(clip.empty());
    RunResult r = Shell(
        "ffprobe -v error -select_streams v -show_entries stream=codec_name,width,height,nb_frames "
        "-show_entries packet=flags -of compact " +
        Quote(clip));
    ASSERT_EQ(0, r.code) << r.out;
    auto s = ProbeSections(r.out, "stream");
    ASSERT_EQ(1u, s.size());
    EXPECT_EQ(c.codec, s[0]["codec_name"]);
    EXPECT_EQ(std::to_string(c.width), s[0]["width"]);
    EXPECT_EQ(std::to_string(c.height), s[0]["height"]);
    EXPECT_EQ(std::to_string(c.frames), s[0]["nb_frames"]);
    int keys = 0;
    for (auto& pk : ProbeSections(r.out, "packet")) keys += pk["flags"][0] == 'K';
    EXPECT_EQ(c.keys, keys);
    RunResult d =
        Shell("ffmpeg -nostdin -v error -xerror -i " + Quote(clip) + " -map 0:v -f null -");
    EXPECT_EQ(0, d.code);
    EXPECT_EQ("", d.out);
}

INSTANTIATE_TEST_SUITE_P(
    Mkclip, VideoInputTest,
    ::testing::Values(
        VideoCase{"mpeg4", "--m4v " DC_TESTDATA "/mkclip/v.m4v", "mpeg4", 160, 120, 20, 2},
        VideoCase{"h263_qcif", "--h263 " DC_TESTDATA "/mkclip/v.263", "h263", 176, 144, 10, 2},
        VideoCase{"h263p_custom", "--h263 " DC_TESTDATA "/mkclip/vp.263", "h263", 320, 240, 10, 2}),
    [](const ::testing::TestParamInfo<VideoCase>& i) { return std::string(i.param.name); });

TEST_F(MkclipTest, BVopsGetCompositionOffsets) {
    std::string clip = Make("bvops", "--m4v " + In("vb.m4v") + " --fps 10 --no-data");
    ASSERT_FALSE(clip.empty());
    Parsed p = Parse(clip);
    ASSERT_EQ(1u, p.tracks.size());
    EXPECT_TRUE(p.tracks[0].Get("mdia/minf/stbl/ctts"));
    EXPECT_TRUE(p.tracks[0].Get("edts/elst"));
    // Presentation times, sorted, are one frame apart from 0; B-VOPs are not
    // sync samples.
    RunResult r = Shell(
        "ffprobe -v error -select_streams v -show_entries packet=pts_time,flags -of compact " +
        Quote(clip));
    ASSERT_EQ(0, r.code) << r.out;
    auto packets = ProbeSections(r.out, "packet");
    ASSERT_EQ(20u, packets.size());
    std::vector<double> pts;
    int keys = 0;
    for (auto& pk : packets) {
        pts.push_back(std::stod(pk["pts_time"]));
        keys += pk["flags"][0] == 'K';
    }
    EXPECT_FALSE(std::is_sorted(pts.begin(), pts.end())) << "packets come in decoding order";
    std::sort(pts.begin(), pts.end());
    for (size_t i = 0; i < pts.size(); ++i) EXPECT_NEAR(i * 0.1, pts[i], 1e-6) << i;
    EXPECT_EQ(2, keys);
    RunResult d = Shell("ffmpeg -nostdin -v error -xerror -i " + Quote(clip) + " -f null -");
    EXPECT_EQ(0, d.code) << d.out;
    EXPECT_EQ("", d.out);
}

// --- raw tracks -----------------------------------------------------------------

TEST_F(MkclipTest, RawI420AndPcmDecodeToTheirInput) {
    std::string clip = Make(
        "raw_i420", "--i420 " + In("v.yuv") + " --size 64x48 --fps 10 --raw-entry I420 --pcm " +
                        In("a.pcm") + " --pcm-rate 8000 --pcm-channels 2 --no-data");
    ASSERT_FALSE(clip.empty());
    std::string yuv = kDir + "/raw_out.yuv", pcm = kDir + "/raw_out.pcm";
    RunResult r = Shell("ffmpeg -nostdin -v error -y -i " + Quote(clip) + " -map 0:v -f rawvideo " +
                        Quote(yuv) + " -map 0:a -f s16le " + Quote(pcm));
    ASSERT_EQ(0, r.code) << r.out;
    EXPECT_EQ("", r.out);
    EXPECT_TRUE(ReadBytes(kDir + "/v.yuv") == ReadBytes(yuv));
    EXPECT_TRUE(ReadBytes(kDir + "/a.pcm") == ReadBytes(pcm));

    // The default raw entry is mp4v with object type 240, picture size kept.
    std::string clip2 =
        Make("raw_mp4v", "--i420 " + In("v.yuv") + " --size 64x48 --fps 10 --no-data");
    ASSERT_FALSE(clip2.empty());
    Parsed p = Parse(clip2);
    ASSERT_EQ(1u, p.tracks.size());
    const Box* entry = p.tracks[0].Get("mdia/minf/stbl/stsd/mp4v");
    ASSERT_TRUE(entry);
    EXPECT_EQ(64u, Be16(p.file, entry->body() + 24));
    EXPECT_EQ(48u, Be16(p.file, entry->body() + 26));
    EXPECT_EQ(240, EsdsObjectType(p.file, *p.tracks[0].Get("mdia/minf/stbl/stsd/mp4v/esds")));
    auto s = Samples(p, p.tracks[0]);
    ASSERT_EQ(10u, s.size());
    EXPECT_EQ(64u * 48 * 3 / 2, s[0].size);
}

// --- errors and determinism ---------------------------------------------------------

struct ErrorCase {
    const char* name;
    std::string args;
    const char* message;
};

std::string RecordsFile(const std::string& name, const std::string& text) {
    std::string path = kDir + "/records_" + name + ".txt";
    std::ofstream(path) << text;
    return Quote(path);
}

TEST_F(MkclipTest, BadInputIsRefusedAndNothingIsWritten) {
    std::string junk = kDir + "/junk.bin";
    { std::ofstream(junk) << "not a stream at all"; }
    const ErrorCase cases[] = {
        {"missing input", "--m4v " + Quote(kDir + "/none.m4v"), "cannot read"},
        {"not ADTS", "--aac " + Quote(junk), "ADTS"},
        {"not MPEG-4 video", "--m4v " + Quote(junk), "VOL"},
        {"not H.263", "--h263 " + Quote(junk), "picture start code"},
        {"raw size mismatch", "--i420 " + In("v.yuv") + " --size 60x40", "whole number"},
        {"two videos", "--m4v " + In("v.m4v") + " --h263 " + In("v.m4v"), "at most one video"},
        {"late first record", "--duration 2 --gps-phase 200", "due at 0 ms"},
        {"no length", "", "clip length"},
        {"unknown option", "--frobnicate", "unknown option"},
        {"records not from 0", "--duration 1 --records " + RecordsFile("late", "5 text x\n"),
         "at 0 ms"},
        {"records going back",
         "--duration 1 --records " + RecordsFile("back", "0 text a\n9 text b\n8 text c\n"),
         "line 3: time goes back"},
        {"records bad hex", "--duration 1 --records " + RecordsFile("hex", "0 hex 4D4\n"),
         "bad hex"},
        {"records bad kind", "--duration 1 --records " + RecordsFile("kind", "0 gps x\n"),
         "expected"},
        {"records empty", "--duration 1 --records " + RecordsFile("empty", "# nothing\n"),
         "no records"},
        {"bad speed", "--duration 1 --speed 5:10,2:20", "--speed"},
        {"bad start", "--duration 1 --start 2024-13-01T00:00:00", "--start"},
    };
    for (const ErrorCase& c : cases) {
        std::string out = kDir + "/error.mp4";
        std::remove(out.c_str());
        RunResult r = Shell(Mkclip() + " " + c.args + " -o " + Quote(out));
        EXPECT_NE(0, r.code) << c.name;
        EXPECT_NE(std::string::npos, r.out.find(c.message)) << c.name << ": " << r.out;
        EXPECT_FALSE(Exists(out)) << c.name;
    }
}

TEST_F(MkclipTest, SameOptionsGiveTheSameBytes) {
    const std::string args =
        "--m4v " + In("v.m4v") + " --fps 10 --aac " + In("a.aac") + " --shock 1:1:1:1";
    std::string a = Make("same_a", args), b = Make("same_b", args);
    ASSERT_FALSE(a.empty() || b.empty());
    EXPECT_TRUE(ReadBytes(a) == ReadBytes(b));
}

TEST_F(MkclipTest, DumpDecodesTheDataTrack) {
    std::string clip = Make("dump", "--duration 2 --speed 0:0 --noise 0");
    ASSERT_FALSE(clip.empty());
    RunResult r = Shell(Mkclip() + " --dump " + Quote(clip));
    ASSERT_EQ(0, r.code) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("[recorder data]"));
    EXPECT_NE(std::string::npos,
              r.out.find("     0 ms  GPS $GPRMC,003000.000,A,3733.9900,N,12658.6800,E,0.00,"));
    EXPECT_NE(std::string::npos,
              r.out.find("   500 ms  G   x +0.000 y +0.000 z +1.008 g  2024/03/15 09:30:00"));
    EXPECT_NE(std::string::npos,
              r.out.find("  1500 ms  G   x +0.000 y +0.000 z +1.008 g  2024/03/15 09:30:01"));
    EXPECT_NE(0, Shell(Mkclip() + " --dump " + Quote(kDir + "/junk.bin")).code);
}

}  // namespace
