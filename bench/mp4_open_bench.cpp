// Opening a one-hour recorder-like clip: open + media summary through the
// source and the MP4 reader against ffprobe on the same file, a seek by time
// to the middle, and the heap the open source holds for a one-hour and a
// one-minute clip (the sample tables stay in the file, so it should not grow).
//
// The clips are built once under build/bench/ from the packets of a short
// FFmpeg encode (so ffprobe sees valid MPEG-4 video and AAC audio): 30 fps
// video (108,000 samples), 48 kHz AAC (168,750 samples) and one data record
// a second (3,600 samples).
//
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build/bench
//   build/bench/bench/bench_mp4_open_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "engine/input/source.h"
#include "tests/engine/mp4_builder.h"

namespace {

// This build's folder (the benchmark runs from <build>/bench/).
std::string BuildDir() {
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) std::abort();
    std::string p(exe, size_t(n));
    p = p.substr(0, p.rfind('/'));
    return p.substr(0, p.rfind('/'));
}

const std::string kDir = [] {
    std::string d = BuildDir() + "/benchdata";
    mkdir(d.c_str(), 0755);
    return d;
}();

std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

bool Exists(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 && st.st_size > 0;
}

struct Packets {
    std::vector<mp4b::Bytes> video, audio;
    mp4b::Bytes vol, asc;
};

// The packets of a 10-second encode: 300 video frames with a key frame
// every 30, and the AAC frames of 10 s at 48 kHz.
Packets SourcePackets() {
    std::string src = kDir + "/bench_source.mp4";
    if (!Exists(src)) {
        std::string cmd =
            "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=30 -f lavfi -i "
            "sine=sample_rate=48000 -t 10 -c:v mpeg4 -g 30 -bf 0 -c:a aac -ac 1 -b:a 24k '" +
            src + "'";
        if (std::system(cmd.c_str()) != 0) std::abort();
    }
    Packets p;
    std::u16string name = Wide(src);
    SourceOpenWords w{name.c_str(), nullptr, 0, nullptr};
    MediaSource* s = nullptr;
    if (Source_Open(&s, &w) < 0) std::abort();
    MediaInfo info;
    std::memset(&info, 0, sizeof info);
    Source_GetInfo(s, &info);
    p.vol.assign(info.video[0].config, info.video[0].config + info.video[0].configLength);
    p.asc.assign(info.audio[0].config, info.audio[0].config + info.audio[0].configLength);
    std::vector<uint8_t> buf(1 << 20);
    for (uint32_t type : {TRACK_TYPE_VIDEO, TRACK_TYPE_AUDIO}) {
        while (true) {
            MediaSample m{buf.data(), 0, uint32_t(buf.size()), 0, 0, 0, type, 0};
            if (Source_ReadSample(s, &m) < 0) break;
            (type == TRACK_TYPE_VIDEO ? p.video : p.audio)
                .emplace_back(buf.begin(), buf.begin() + m.length);
        }
    }
    Source_Close(s);
    return p;
}

std::string MakeClip(uint32_t seconds) {
    std::string path = kDir + "/recorder_" + std::to_string(seconds) + "s.mp4";
    if (Exists(path)) return path;
    Packets p = SourcePackets();
    mp4b::Clip c;
    mp4b::Track v;
    v.kind = mp4b::kVideo;
    v.timescale = 30000;
    v.width = 64;
    v.height = 48;
    uint32_t nv = seconds * 30;
    for (uint32_t i = 0; i < nv; ++i) v.sizes.push_back(uint32_t(p.video[i % 300].size()));
    v.stts = {{nv, 1000}};
    for (uint32_t i = 0; i < nv; i += 30) v.stss.push_back(i + 1);
    v.stsc = {{1, 30}};
    v.dsi = p.vol;
    v.bufferSize = 0;
    v.payload = [&](uint32_t i) { return p.video[i % 300]; };
    mp4b::Track a;
    a.kind = mp4b::kAudio;
    a.timescale = 48000;
    a.channels = 1;
    a.sampleRate = 48000;
    uint32_t na = uint32_t(uint64_t(seconds) * 48000 / 1024);
    uint32_t cycle = uint32_t(p.audio.size());
    for (uint32_t i = 0; i < na; ++i) a.sizes.push_back(uint32_t(p.audio[i % cycle].size()));
    a.stts = {{na, 1024}};
    a.stsc = {{1, 25}};
    a.dsi = p.asc;
    a.payload = [&](uint32_t i) { return p.audio[i % cycle]; };
    mp4b::Track d;
    d.kind = mp4b::kData;
    d.payload = [](uint32_t i) {
        char s[96];
        std::snprintf(s, sizeof s,
                      "$GPRMC,%02u%02u%02u.000,A,3733.1234,N,12658.5678,E,12.5,90.0,150324,,*3E",
                      (i / 3600) % 24, (i / 60) % 60, i % 60);
        return mp4b::Bytes(s, s + std::strlen(s));
    };
    for (uint32_t i = 0; i < seconds; ++i) d.sizes.push_back(uint32_t(d.payload(i).size()));
    d.stts = {{seconds, 1000}};
    c.tracks = {v, a, d};
    mp4b::Bytes file = mp4b::Build(c).file;
    std::string tmp = path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    std::rename(tmp.c_str(), path.c_str());
    return path;
}

const std::string& HourClip() {
    static const std::string p = MakeClip(3600);
    return p;
}

void BM_OpenAndSummary(benchmark::State& state) {
    std::u16string name = Wide(HourClip());
    for (auto _ : state) {
        SourceOpenWords w{name.c_str(), nullptr, 0, nullptr};
        MediaSource* s = nullptr;
        if (Source_Open(&s, &w) < 0) state.SkipWithError("open failed");
        MediaInfo info;
        std::memset(&info, 0, sizeof info);
        Source_GetInfo(s, &info);
        MediaInfoSummary sum;
        MediaInfo_Export(&sum, &info);
        benchmark::DoNotOptimize(sum);
        Source_Close(s);
    }
}
BENCHMARK(BM_OpenAndSummary)->Unit(benchmark::kMillisecond)->UseRealTime();

// ffprobe reading the format and stream summary of the same file.
void BM_FfprobeOpenAndSummary(benchmark::State& state) {
    std::string cmd = "ffprobe -v error -show_format -show_streams '" + HourClip() + "' >/dev/null";
    for (auto _ : state) {
        if (std::system(cmd.c_str()) != 0) state.SkipWithError("ffprobe failed");
    }
}
BENCHMARK(BM_FfprobeOpenAndSummary)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole mp4info process, to set against ffprobe's process start-up too.
void BM_Mp4infoProcess(benchmark::State& state) {
    std::string cmd = BuildDir() + "/tools/mp4info '" + HourClip() + "' >/dev/null";
    for (auto _ : state) {
        if (std::system(cmd.c_str()) != 0) state.SkipWithError("mp4info failed");
    }
}
BENCHMARK(BM_Mp4infoProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SeekToTheMiddle(benchmark::State& state) {
    std::u16string name = Wide(HourClip());
    SourceOpenWords w{name.c_str(), nullptr, 0, nullptr};
    MediaSource* s = nullptr;
    if (Source_Open(&s, &w) < 0) {
        state.SkipWithError("open failed");
        return;
    }
    MediaInfo info;
    std::memset(&info, 0, sizeof info);
    Source_GetInfo(s, &info);
    std::vector<uint8_t> buf(1 << 16);
    for (auto _ : state) {
        uint32_t pos = 1800000;
        if (!Source_SeekTime(s, &pos, 0)) state.SkipWithError("seek failed");
        MediaSample m{buf.data(), 0, uint32_t(buf.size()), 0, 0, 0, TRACK_TYPE_VIDEO, 0};
        Source_ReadSample(s, &m);
        benchmark::DoNotOptimize(m.time);
    }
    Source_Close(s);
}
BENCHMARK(BM_SeekToTheMiddle)->Unit(benchmark::kMillisecond)->UseRealTime();

// Heap held by an open source after its media info is read.
void BM_HeapOfAnOpenSource(benchmark::State& state) {
    std::string path = state.range(0) == 60 ? MakeClip(60) : HourClip();
    std::u16string name = Wide(path);
    size_t held = 0;
    for (auto _ : state) {
        size_t before = mallinfo2().uordblks;
        SourceOpenWords w{name.c_str(), nullptr, 0, nullptr};
        MediaSource* s = nullptr;
        if (Source_Open(&s, &w) < 0) state.SkipWithError("open failed");
        MediaInfo info;
        std::memset(&info, 0, sizeof info);
        Source_GetInfo(s, &info);
        held = mallinfo2().uordblks - before;
        Source_Close(s);
    }
    state.counters["heap_bytes"] = double(held);
}
BENCHMARK(BM_HeapOfAnOpenSource)->Arg(60)->Arg(3600)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
