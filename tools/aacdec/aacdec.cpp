// aacdec INPUT OUTPUT.wav: decodes an ADTS stream or the audio track of an
// MP4 clip through the engine's AAC adapter and writes 16-bit PCM WAV.
// Prints "rate= channels= samples= tag=".
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "engine/decode/aac_adapter.h"

namespace {

bool ReadFile(const char* path, std::vector<uint8_t>* out) {
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    fseek(f, 0, SEEK_END);
    long size = ftell(f);
    fseek(f, 0, SEEK_SET);
    if (size > 0) {
        out->resize((size_t)size);
        out->resize(fread(out->data(), 1, (size_t)size, f));
    }
    fclose(f);
    return true;
}

uint32_t Be32(const uint8_t* p) {
    return ((uint32_t)p[0] << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
uint64_t Be64(const uint8_t* p) { return ((uint64_t)Be32(p) << 32) | Be32(p + 4); }

// The first sound track of an MP4 file: its samples and AudioSpecificConfig.
struct Mp4Audio {
    std::vector<uint8_t> asc;
    std::vector<uint32_t> sizes;
    std::vector<uint64_t> chunkOffsets;
    std::vector<uint32_t> stscFirst, stscCount;
    bool sound = false;
};

// Walks the boxes of [p, end); fills the track record of the first sound track.
void WalkBoxes(const uint8_t* p, const uint8_t* end, Mp4Audio* a, Mp4Audio* cur, bool* done) {
    while (p + 8 <= end && !*done) {
        uint64_t size = Be32(p);
        uint32_t type = Be32(p + 4);
        size_t hdr = 8;
        if (size == 1 && p + 16 <= end) {
            size = Be64(p + 8);
            hdr = 16;
        } else if (size == 0) {
            size = (uint64_t)(end - p);
        }
        if (size < hdr || size > (uint64_t)(end - p)) return;
        const uint8_t* body = p + hdr;
        const uint8_t* bend = p + size;
        switch (type) {
            case 0x6d6f6f76:  // moov
            case 0x6d646961:  // mdia
            case 0x6d696e66:  // minf
            case 0x7374626c:  // stbl
                WalkBoxes(body, bend, a, cur, done);
                break;
            case 0x7472616b: {  // trak
                Mp4Audio t;
                bool d = false;
                WalkBoxes(body, bend, a, &t, &d);
                if (t.sound && !t.sizes.empty()) {
                    *a = t;
                    *done = true;
                }
                break;
            }
            case 0x68646c72:  // hdlr
                if (bend - body >= 12 && Be32(body + 8) == 0x736f756e) cur->sound = true;
                break;
            case 0x73747364:  // stsd: find the esds inside the sample entry
                for (const uint8_t* q = body; q + 4 <= bend; q++) {
                    if (Be32(q) == 0x65736473 && q >= body + 4) {
                        uint32_t esz = Be32(q - 4);
                        const uint8_t* e = q + 8;  // after version/flags
                        const uint8_t* eend = q - 4 + esz;
                        if (eend > bend) eend = bend;
                        // descriptors: find tag 5 (DecoderSpecificInfo)
                        for (const uint8_t* d = e; d + 2 <= eend; d++) {
                            if (*d != 5) continue;
                            const uint8_t* l = d + 1;
                            uint32_t len = 0;
                            int k = 0;
                            while (l < eend && k < 4) {
                                len = (len << 7) | (*l & 0x7F);
                                k++;
                                if (!(*l++ & 0x80)) break;
                            }
                            if (len >= 2 && len <= 64 && l + len <= eend) {
                                cur->asc.assign(l, l + len);
                                break;
                            }
                        }
                        break;
                    }
                }
                break;
            case 0x7374737a:  // stsz
                if (bend - body >= 12) {
                    uint32_t fixed = Be32(body + 4), count = Be32(body + 8);
                    for (uint32_t i = 0; i < count; i++) {
                        if (fixed)
                            cur->sizes.push_back(fixed);
                        else if (body + 12 + 4 * (i + 1) <= bend)
                            cur->sizes.push_back(Be32(body + 12 + 4 * i));
                    }
                }
                break;
            case 0x7374636f:  // stco
            case 0x636f3634:  // co64
                if (bend - body >= 8) {
                    uint32_t count = Be32(body + 4);
                    size_t w = type == 0x7374636f ? 4 : 8;
                    for (uint32_t i = 0; i < count && body + 8 + w * (i + 1) <= bend; i++)
                        cur->chunkOffsets.push_back(w == 4 ? Be32(body + 8 + 4 * i)
                                                           : Be64(body + 8 + 8 * i));
                }
                break;
            case 0x73747363:  // stsc
                if (bend - body >= 8) {
                    uint32_t count = Be32(body + 4);
                    for (uint32_t i = 0; i < count && body + 8 + 12 * (i + 1) <= bend; i++) {
                        cur->stscFirst.push_back(Be32(body + 8 + 12 * i));
                        cur->stscCount.push_back(Be32(body + 12 + 12 * i));
                    }
                }
                break;
            default: break;
        }
        p += size;
    }
}

// Sample file offsets from the chunk tables.
std::vector<uint64_t> SampleOffsets(const Mp4Audio& a) {
    std::vector<uint64_t> offs;
    size_t s = 0;
    for (size_t c = 0; c < a.chunkOffsets.size() && s < a.sizes.size(); c++) {
        uint32_t per = 0;
        for (size_t k = 0; k < a.stscFirst.size(); k++)
            if (a.stscFirst[k] <= c + 1) per = a.stscCount[k];
        uint64_t o = a.chunkOffsets[c];
        for (uint32_t i = 0; i < per && s < a.sizes.size(); i++, s++) {
            offs.push_back(o);
            o += a.sizes[s];
        }
    }
    return offs;
}

void Le16(FILE* f, uint32_t v) {
    uint8_t b[2] = {(uint8_t)v, (uint8_t)(v >> 8)};
    fwrite(b, 1, 2, f);
}
void Le32(FILE* f, uint32_t v) {
    uint8_t b[4] = {(uint8_t)v, (uint8_t)(v >> 8), (uint8_t)(v >> 16), (uint8_t)(v >> 24)};
    fwrite(b, 1, 4, f);
}

// WAV output streamed to the file; the sizes are patched at the end.
struct WavWriter {
    FILE* f = nullptr;
    uint64_t samples = 0;
    std::vector<uint8_t> buf;
    bool Open(const char* path) {
        f = fopen(path, "wb");
        if (!f) return false;
        uint8_t zero[44] = {0};
        return fwrite(zero, 1, 44, f) == 44;
    }
    void Put(const int16_t* left, const int16_t* right, int32_t n, int channels) {
        if (n <= 0) return;
        buf.resize((size_t)n * (size_t)channels * 2);
        uint8_t* p = buf.data();
        for (int32_t i = 0; i < n; i++) {
            *p++ = (uint8_t)left[i];
            *p++ = (uint8_t)((uint16_t)left[i] >> 8);
            if (channels == 2) {
                *p++ = (uint8_t)right[i];
                *p++ = (uint8_t)((uint16_t)right[i] >> 8);
            }
        }
        fwrite(buf.data(), 1, buf.size(), f);
        samples += (uint64_t)n * (uint64_t)channels;
    }
    bool Close(int rate, int channels) {
        uint32_t bytes = (uint32_t)(samples * 2);
        fseek(f, 0, SEEK_SET);
        fwrite("RIFF", 1, 4, f);
        Le32(f, 36 + bytes);
        fwrite("WAVEfmt ", 1, 8, f);
        Le32(f, 16);
        Le16(f, 1);
        Le16(f, (uint32_t)channels);
        Le32(f, (uint32_t)rate);
        Le32(f, (uint32_t)(rate * channels * 2));
        Le16(f, (uint32_t)(channels * 2));
        Le16(f, 16);
        fwrite("data", 1, 4, f);
        Le32(f, bytes);
        return fclose(f) == 0;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: aacdec INPUT OUTPUT.wav\n");
        return 2;
    }
    std::vector<uint8_t> in;
    if (!ReadFile(argv[1], &in) || in.empty()) {
        fprintf(stderr, "aacdec: cannot read %s\n", argv[1]);
        return 1;
    }
    // Packets: the whole ADTS file as one packet, or the MP4 track's samples.
    std::vector<std::pair<uint64_t, uint32_t>> packets;
    AacAdapterTrack track;
    memset(&track, 0, sizeof(track));
    bool mp4 = in.size() >= 8 && (Be32(&in[4]) == 0x66747970 || Be32(&in[4]) == 0x6d6f6f76 ||
                                  Be32(&in[4]) == 0x6d646174);
    if (mp4) {
        Mp4Audio a;
        bool done = false;
        WalkBoxes(in.data(), in.data() + in.size(), &a, &a, &done);
        if (!done) {
            fprintf(stderr, "aacdec: no audio track in %s\n", argv[1]);
            return 1;
        }
        if (a.asc.empty()) {
            fprintf(stderr, "aacdec: the audio track of %s is not AAC\n", argv[1]);
            return 1;
        }
        std::vector<uint64_t> offs = SampleOffsets(a);
        for (size_t i = 0; i < offs.size(); i++)
            if (offs[i] + a.sizes[i] <= in.size()) packets.push_back({offs[i], a.sizes[i]});
        track.configLength =
            (int32_t)(a.asc.size() < sizeof(track.config) ? a.asc.size() : sizeof(track.config));
        memcpy(track.config, a.asc.data(), (size_t)track.configLength);
        track.codecTag = 255;
    } else {
        packets.push_back({0, (uint32_t)in.size()});
        track.codecTag = 255;
    }
    if (packets.empty()) {
        fprintf(stderr, "aacdec: no audio\n");
        return 1;
    }
    AacAdapter* ad = nullptr;
    int32_t r =
        AacAdapter_Open(&ad, in.data() + packets[0].first, (int32_t)packets[0].second, &track);
    if (r < 0) {
        fprintf(stderr, "aacdec: decoder init failed (0x%08x)\n", (unsigned)r);
        return 1;
    }
    WavWriter wav;
    if (!wav.Open(argv[2])) {
        fprintf(stderr, "aacdec: cannot write %s\n", argv[2]);
        AacAdapter_Close(ad);
        return 1;
    }
    std::vector<int16_t> left(AAC_ADAPTER_MAX_SAMPLES), right(AAC_ADAPTER_MAX_SAMPLES);
    for (auto& pk : packets) {
        const uint8_t* data = in.data() + pk.first;
        int32_t remaining = (int32_t)pk.second;
        while (remaining > 0) {
            int32_t count = 0;
            int32_t used = AacAdapter_DecodeInto(ad, data, remaining, left.data(), right.data(),
                                                 AAC_ADAPTER_MAX_SAMPLES, &count);
            wav.Put(left.data(), right.data(), count, track.channels);
            if (used <= 0) break;
            data += used;
            remaining -= used;
        }
    }
    AacAdapter_Close(ad);
    // The adapter reports the output rate (twice the core's with SBR).
    const int outRate = track.sampleRate;
    if (!wav.Close(outRate, track.channels)) {
        fprintf(stderr, "aacdec: cannot write %s\n", argv[2]);
        return 1;
    }
    printf("rate=%d channels=%d samples=%lu tag=%d\n", outRate, track.channels,
           (unsigned long)(wav.samples / (uint64_t)(track.channels ? track.channels : 1)),
           track.codecTag);
    return 0;
}
