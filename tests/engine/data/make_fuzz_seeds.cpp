// Writes the seed corpus of the MP4 fuzz target (fuzz/corpus/mp4/) from the
// test clip builder. Build and run by hand:
//   g++ -std=c++17 -I. -Itests/engine tests/engine/data/make_fuzz_seeds.cpp -o /tmp/seeds && /tmp/seeds fuzz/corpus/mp4
#include <cstdio>
#include <string>

#include "mp4_builder.h"

static void Write(const std::string& dir, const char* name, const mp4b::Bytes& b) {
    std::string path = dir + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
}

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : ".";
    mp4b::Clip c = mp4b::RecorderLike(2);
    Write(dir, "recorder_mdat_first.mp4", mp4b::Build(c).file);
    c.moovFirst = true;
    Write(dir, "recorder_moov_first.mp4", mp4b::Build(c).file);

    mp4b::Clip avc;
    mp4b::Track v;
    v.sampleEntry = "avc1";
    v.extraEntryBoxes = mp4b::Box("avcC", mp4b::Bytes{1, 66, 0, 30, 0xFD, 0xE1, 0, 4, 0x67, 0x42,
                                                      0x00, 0x1E, 1, 0, 2, 0x68, 0xCE});
    mp4b::Bytes s0 = {0, 3, 0x65, 1, 2, 0, 5, 0x41, 3, 4, 5, 6};
    v.sizes = {uint32_t(s0.size()), uint32_t(s0.size()), uint32_t(s0.size())};
    v.stts = {{1, 0}, {2, 100}};
    v.stss = {1};
    v.payload = [=](uint32_t) { return s0; };
    avc.tracks.push_back(v);
    Write(dir, "avc_short_lengths.mp4", mp4b::Build(avc).file);

    mp4b::Clip multi = mp4b::RecorderLike(1);
    multi.tracks.push_back(multi.tracks[1]);
    multi.tracks[0].stsc = {{1, 2}, {3, 1}};
    Write(dir, "two_audio_tracks.mp4", mp4b::Build(multi).file);
    return 0;
}
