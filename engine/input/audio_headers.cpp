#include "engine/input/audio_headers.h"

#include <cstring>

namespace {

enum : uint32_t {
    kTagMpeg = 0x50,
    kTagAc3Spdif = 0x92,
    kTagAac = 0xFF,
    kTagQcelp = 0x3331,
    kTagEvrc = 0x5645,
    kTagAmr = 0x6173,
    kTagAmrWb = 0x6177,
    kTagVorbis = 0x674F,
};

uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// ISO/IEC 14496-3 Table 1.18, sampling frequency by index.
const uint32_t kAacRates[16] = {96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050,
                                16000, 12000, 11025, 8000,  0,     0,     0,     0};

// ISO/IEC 11172-3 and 13818-3 bitrates in kbit/s by bitrate_index:
// MPEG-1 layers I, II, III, then MPEG-2/2.5 layer I, layers II and III.
const uint16_t kMpegBitrates[5][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};

// Sample rates: MPEG-1, MPEG-2, MPEG-2.5, three each.
const uint32_t kMpegRates[9] = {44100, 48000, 32000, 22050, 24000, 16000, 11025, 12000, 8000};

// ATSC A/52 Table 5.18, nominal bitrate in kbit/s by frmsizecod / 2.
const uint16_t kAc3Bitrates[19] = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                   192, 224, 256, 320, 384, 448, 512, 576, 640};

// RFC 4867 storage format: frame sizes by frame type, header byte included.
const uint8_t kAmrSizes[16] = {13, 14, 16, 18, 20, 21, 27, 32, 6, 1, 1, 1, 1, 1, 1, 1};
const uint8_t kAmrWbSizes[16] = {18, 24, 33, 37, 41, 47, 51, 59, 61, 6, 6, 0, 0, 0, 1, 1};

// RFC 3558 (EVRC) and RFC 3625 (QCELP) packet sizes by rate byte.
const uint8_t kEvrcSizes[7] = {1, 3, 6, 11, 23, 1, 1};
const uint8_t kQcelpSizes[5] = {1, 4, 8, 17, 35};

bool is_vorbis_tag(uint32_t tag) {
    return (tag >= 0x674F && tag <= 0x6751) || (tag >= 0x676F && tag <= 0x6771);
}

bool starts_with(const uint8_t* data, uint32_t length, const char* text) {
    size_t n = std::strlen(text);
    return length >= n && std::memcmp(data, text, n) == 0;
}

// AC-3 frame size in bytes from the fscod/frmsizecod byte; 0 when invalid.
uint32_t ac3_frame_bytes(uint8_t code_byte) {
    uint32_t fscod = code_byte >> 6, frmsizecod = code_byte & 0x3F;
    if (frmsizecod >= 38) return 0;
    uint32_t kbps = kAc3Bitrates[frmsizecod / 2];
    switch (fscod) {
        case 0: return 4 * kbps;
        case 1: return 2 * (kbps * 320 / 147 + (frmsizecod & 1));
        case 2: return 6 * kbps;
        default: return 0;
    }
}

// MSB-first reads over a byte range; past the end it yields zeros and
// remembers that it ran out.
struct Bits {
    const uint8_t* data;
    uint32_t length;
    uint64_t pos = 0;
    bool overrun = false;
    Bits(const uint8_t* d, uint32_t n) : data(d), length(n) {}
    uint32_t get(unsigned n) {
        uint32_t v = 0;
        for (unsigned i = 0; i < n; ++i, ++pos) {
            uint32_t bit = 0;
            if (pos < uint64_t(length) * 8)
                bit = (data[pos >> 3] >> (7 - (pos & 7))) & 1;
            else
                overrun = true;
            v = (v << 1) | bit;
        }
        return v;
    }
    void skip(uint64_t n) {
        pos += n;
        if (pos > uint64_t(length) * 8) overrun = true;
    }
    void align() { pos = (pos + 7) & ~uint64_t(7); }
};

}  // namespace

uint32_t Aac_SampleRate(uint32_t index) { return kAacRates[index & 15]; }

int Aac_ParseAsc(const uint8_t* data, uint32_t length, AudioFrameConfig* config) {
    if (!data) return 0;
    Bits b(data, length);
    uint32_t object_type = b.get(5);
    if (object_type == 31) b.get(6);  // escaped object type
    uint32_t index = b.get(4);
    uint32_t rate = index == 15 ? b.get(24) : kAacRates[index];
    uint32_t channel_config = b.get(4);
    if (b.overrun) return 0;
    config->sample_rate = rate;
    config->channels = channel_config;
    return 1;
}

const uint8_t* Adts_FindSync(const uint8_t** data, uint32_t* remaining, uint32_t* frame_length) {
    const uint8_t* p = *data;
    uint32_t left = *remaining;
    while (left > 6) {
        if (p[0] == 0xFF && (p[1] & 0xF0) == 0xF0) {
            uint32_t len = (uint32_t(p[3] & 3) << 11) | (uint32_t(p[4]) << 3) | (p[5] >> 5);
            // A frame shorter than its own header is no frame: taking it would
            // let a caller advance by nothing.
            if (len >= 7) {
                *data = p;
                *remaining = left;
                if (frame_length) *frame_length = len;
                return p;
            }
        }
        ++p;
        --left;
    }
    *data = p;
    *remaining = left;
    return nullptr;
}

const uint8_t* Adts_ParseHeader(const uint8_t* data, uint32_t length, AudioFrameConfig* config) {
    if (!data) return nullptr;
    const uint8_t* p = data;
    if (length >= 2 && !(p[0] == 0xFF && (p[1] & 0xF0) == 0xF0)) {
        ++p;
        --length;
    }
    if (length < 7 || !(p[0] == 0xFF && (p[1] & 0xF0) == 0xF0)) return nullptr;
    uint32_t protection_absent = p[1] & 1;
    if (!protection_absent && length < 9) return nullptr;
    uint32_t sf_index = (p[2] >> 2) & 15;
    uint32_t channel_config = ((p[2] & 1) << 2) | (p[3] >> 6);
    config->codec_tag = kTagAac;
    config->sample_rate = kAacRates[sf_index];
    config->channels = channel_config;
    config->bitrate = 0;
    return p;
}

const uint8_t* Adif_ParseHeader(const uint8_t* data, uint32_t length, AudioFrameConfig* config) {
    if (!data || !starts_with(data, length, "ADIF")) return nullptr;
    Bits b(data, length);
    b.skip(32);
    if (b.get(1)) b.skip(72);  // copyright_id
    b.skip(2);                 // original_copy, home
    uint32_t bitstream_type = b.get(1);
    uint32_t bitrate = b.get(23);
    b.skip(4);                            // num_program_config_elements
    if (bitstream_type == 0) b.skip(20);  // adif_buffer_fullness
    // program_config_element
    b.skip(4 + 2);  // element_instance_tag, object_type
    uint32_t sf_index = b.get(4);
    uint32_t front = b.get(4), side = b.get(4), back = b.get(4), lfe = b.get(2);
    uint32_t assoc = b.get(3), cc = b.get(4);
    if (b.get(1)) b.skip(4);  // mono_mixdown
    if (b.get(1)) b.skip(4);  // stereo_mixdown
    if (b.get(1)) b.skip(3);  // matrix_mixdown_idx, pseudo_surround_enable
    uint32_t channels = 0;
    for (uint32_t i = 0; i < front + side + back; ++i) {
        channels += 1 + b.get(1);  // a channel pair element carries two
        b.skip(4);
    }
    channels += lfe;
    b.skip(uint64_t(lfe + assoc) * 4 + uint64_t(cc) * 5);
    b.align();
    b.skip(uint64_t(b.get(8)) * 8);  // comment
    if (b.overrun) return nullptr;
    config->codec_tag = kTagAac;
    config->sample_rate = kAacRates[sf_index];
    config->channels = channels;
    config->bitrate = bitrate;
    return data;
}

const uint8_t* Ac3_FindSync(const uint8_t** data, uint32_t* remaining, uint32_t* frame_size) {
    const uint8_t* p = *data;
    uint32_t left = *remaining;
    while (left > 6) {
        if (p[0] == 0x0B && p[1] == 0x77 && (p[5] >> 3) < 12) {
            uint32_t size = ac3_frame_bytes(p[4]);
            if (size) {
                *data = p;
                *remaining = left;
                if (frame_size) *frame_size = size;
                return p;
            }
        }
        ++p;
        --left;
    }
    *data = p;
    *remaining = left;
    return nullptr;
}

const uint8_t* Ac3_ParseHeader(const uint8_t* data, uint32_t length, AudioFrameConfig* config) {
    if (!data) return nullptr;
    const uint8_t* p = data;
    uint32_t left = length, size = 0;
    if (!Ac3_FindSync(&p, &left, &size)) return nullptr;
    uint32_t bsid = p[5] >> 3;
    uint32_t shift = bsid > 8 ? bsid - 8 : 0;
    uint32_t fscod = p[4] >> 6;
    static const uint32_t rates[3] = {48000, 44100, 32000};
    if (fscod == 3) return nullptr;
    config->bitrate = uint32_t(kAc3Bitrates[(p[4] & 0x3F) / 2]) * 1000 >> shift;
    config->sample_rate = rates[fscod] >> shift;
    uint32_t acmod = p[6] >> 5;
    static const uint8_t lfe_mask[8] = {0x10, 0x10, 0x04, 0x04, 0x04, 0x01, 0x04, 0x01};
    // acmod 0 is two independent mono channels (1+1).
    static const uint8_t channels[8] = {2, 1, 2, 3, 3, 4, 4, 5};
    config->channels = channels[acmod] + ((p[6] & lfe_mask[acmod]) ? 1 : 0);
    config->codec_tag = kTagAc3Spdif;
    return p;
}

int MpegAudio_IsHeader(uint32_t value) {
    if ((value & 0xFFE00000) != 0xFFE00000) return 0;
    if (((value >> 19) & 3) == 1) return 0;  // reserved version
    if (((value >> 17) & 3) == 0) return 0;  // reserved layer
    uint32_t bitrate_index = (value >> 12) & 15;
    if (bitrate_index == 0 || bitrate_index == 15) return 0;
    if (((value >> 10) & 3) == 3) return 0;
    return 1;
}

void MpegAudio_DecodeHeader(uint32_t value, MpegAudioHeader* h) {
    std::memset(h, 0, sizeof(*h));
    uint32_t version_bits = (value >> 19) & 3;
    h->version = version_bits == 3 ? 1 : version_bits == 2 ? 2 : 25;
    h->layer = 4 - ((value >> 17) & 3);
    h->protection = ((value >> 16) & 1) ^ 1;
    h->bitrate_index = (value >> 12) & 15;
    uint32_t rate_bits = (value >> 10) & 3;
    h->padding = (value >> 9) & 1;
    h->private_bit = (value >> 8) & 1;
    h->mode = (value >> 6) & 3;
    h->mode_extension = (value >> 4) & 3;
    h->copyright = (value >> 3) & 1;
    h->original = (value >> 2) & 1;
    h->emphasis = value & 3;
    h->channels = h->mode == 3 ? 1 : 2;
    if (h->layer > 3 || rate_bits == 3 || version_bits == 1) return;  // not a header
    h->sample_rate_index = rate_bits + (h->version == 1 ? 0 : h->version == 2 ? 3 : 6);
    h->sample_rate = kMpegRates[h->sample_rate_index];
    int table = h->version == 1 ? int(h->layer) - 1 : (h->layer == 1 ? 3 : 4);
    h->bitrate_kbps = kMpegBitrates[table][h->bitrate_index];
    uint32_t bps = h->bitrate_kbps * 1000;
    uint32_t total;
    if (h->layer == 1) {
        h->samples_per_frame = 384;
        total = (12 * bps / h->sample_rate + h->padding) * 4;
    } else if (h->layer == 3 && h->version != 1) {
        h->samples_per_frame = 576;
        total = 72 * bps / h->sample_rate + h->padding;
    } else {
        h->samples_per_frame = 1152;
        total = 144 * bps / h->sample_rate + h->padding;
    }
    h->frame_length = total > 4 ? total - 4 : 0;
}

const uint8_t* MpegAudio_FindSync(const uint8_t** data, uint32_t* remaining, uint32_t* frame_size,
                                  uint32_t* samples_per_frame) {
    const uint8_t* p = *data;
    uint32_t left = *remaining;
    MpegAudioHeader h;
    bool found = false;
    if (left >= 4 && MpegAudio_IsHeader(be32(p))) {
        found = true;
    } else {
        while (left >= 5) {
            if (MpegAudio_IsHeader(be32(p))) {
                // Three more headers, each one frame on, must follow.
                uint32_t at = 0;
                int good = 1;
                for (; good < 4; ++good) {
                    MpegAudio_DecodeHeader(be32(p + at), &h);
                    uint32_t step = h.frame_length + 4;
                    if (step > left - at || left - at - step < 4) break;
                    at += step;
                    if (!MpegAudio_IsHeader(be32(p + at))) break;
                }
                if (good == 4) {
                    found = true;
                    break;
                }
            }
            ++p;
            --left;
        }
    }
    *data = p;
    *remaining = left;
    if (!found) return nullptr;
    MpegAudio_DecodeHeader(be32(p), &h);
    if (frame_size) *frame_size = h.frame_length + 4;
    if (samples_per_frame) *samples_per_frame = h.samples_per_frame;
    return p;
}

const uint8_t* MpegAudio_ParseHeader(const uint8_t* data, uint32_t length, AudioFrameConfig* config,
                                     uint32_t* samples_per_frame) {
    if (!data) return nullptr;
    const uint8_t* p = data;
    uint32_t left = length, size = 0, spf = 0;
    if (!MpegAudio_FindSync(&p, &left, &size, &spf)) return nullptr;
    MpegAudioHeader h;
    MpegAudio_DecodeHeader(be32(p), &h);
    config->codec_tag = kTagMpeg;
    config->sample_rate = h.sample_rate;
    config->channels = h.channels;
    config->bitrate = h.bitrate_kbps * 1000;
    if (samples_per_frame) *samples_per_frame = spf;
    return p;
}

static const uint8_t* amr_file_header(const uint8_t* data, uint32_t length,
                                      AudioFrameConfig* config, const char* single,
                                      const char* multi, uint32_t tag, uint32_t rate) {
    if (!data) return nullptr;
    const uint8_t* after = nullptr;
    if (starts_with(data, length, single)) {
        after = data + std::strlen(single);
    } else if (starts_with(data, length, multi) && length >= std::strlen(multi) + 4) {
        after = data + std::strlen(multi) + 4;  // 4-byte channel description
    } else if (config->codec_tag == tag) {
        after = data;
    } else {
        return nullptr;
    }
    config->codec_tag = tag;
    config->sample_rate = rate;
    config->channels = 1;
    return after;
}

const uint8_t* Amr_ParseFileHeader(const uint8_t* data, uint32_t length, AudioFrameConfig* config) {
    return amr_file_header(data, length, config, "#!AMR\n", "#!AMR_MC1.0\n", kTagAmr, 8000);
}

const uint8_t* AmrWb_ParseFileHeader(const uint8_t* data, uint32_t length,
                                     AudioFrameConfig* config) {
    return amr_file_header(data, length, config, "#!AMR-WB\n", "#!AMR-WB_MC1.0\n", kTagAmrWb,
                           16000);
}

void Amr_FrameSize(const uint8_t* frame, uint32_t length, uint32_t* size) {
    if (frame && length) *size = kAmrSizes[(frame[0] >> 3) & 15];
}

void AmrWb_FrameSize(const uint8_t* frame, uint32_t length, uint32_t* size) {
    if (frame && length) *size = kAmrWbSizes[(frame[0] >> 3) & 15];
}

static const uint8_t* rate_byte_frame(const uint8_t** data, uint32_t* remaining, uint32_t* size,
                                      const uint8_t* sizes, uint32_t count) {
    const uint8_t* p = *data;
    uint32_t left = *remaining;
    while (left && *p >= count) {
        ++p;
        --left;
    }
    *data = p;
    *remaining = left;
    if (!left) return nullptr;
    *size = sizes[*p];
    return p;
}

const uint8_t* Evrc_FrameSize(const uint8_t** data, uint32_t* remaining, uint32_t* size) {
    return rate_byte_frame(data, remaining, size, kEvrcSizes, 7);
}

const uint8_t* Qcelp_FrameSize(const uint8_t** data, uint32_t* remaining, uint32_t* size) {
    return rate_byte_frame(data, remaining, size, kQcelpSizes, 5);
}

void Evrc_DefaultConfig(AudioFrameConfig* config) {
    config->codec_tag = kTagEvrc;
    config->sample_rate = 8000;
    config->channels = 1;
}

void Qcelp_DefaultConfig(AudioFrameConfig* config) {
    config->codec_tag = kTagQcelp;
    config->sample_rate = 8000;
    config->channels = 1;
}

const uint8_t* Vorbis_ParseIdHeader(const uint8_t* data, uint32_t length,
                                    AudioFrameConfig* config) {
    if (!data || length < 24 || std::memcmp(data + 1, "vorbis", 6) != 0) return nullptr;
    config->channels = data[11];
    config->sample_rate = le32(data + 12);
    config->bitrate = le32(data + 20);
    config->codec_tag = kTagVorbis;
    return data;
}

uint32_t AudioFrame_GetSamplesPerFrame(uint32_t tag) {
    switch (tag) {
        case 1:
        case 6:
        case 7:
        case 100:
        case 0x3331:
        case 0x5645:
        case 0x6173: return 160;
        case 0x6177: return 320;
        case 2:
        case 255: return 1024;
        case 17: return 8192;
        case 80:
        case 85: return 1152;
        case 146:
        case 8192: return 1536;
        case 253:
        case 254: return 2048;
        case 353:
        case 354:
        case 355: return 4096;
        case 0x345F3431:
        case 0x385F3832:
        case 0x666C6172:
        case 0x6B6F6F63: return 1024;
        default: return is_vorbis_tag(tag) ? 1024 : 0;
    }
}

const uint8_t* AudioFrame_Parse(const uint8_t** data, uint32_t* remaining, uint32_t* frame_size,
                                uint32_t* samples_per_frame, uint32_t tag) {
    if (samples_per_frame) *samples_per_frame = AudioFrame_GetSamplesPerFrame(tag);
    switch (tag) {
        case 253:
        case 254:
        case 255: return Adts_FindSync(data, remaining, frame_size);
        case 80:
        case 85: {
            uint32_t spf = 0;
            const uint8_t* p = MpegAudio_FindSync(data, remaining, frame_size, &spf);
            if (p && samples_per_frame) *samples_per_frame = spf;
            return p;
        }
        case 146:
        case 8192: return Ac3_FindSync(data, remaining, frame_size);
        case 0x6173:
            if (!*remaining) return nullptr;
            Amr_FrameSize(*data, *remaining, frame_size);
            return *data;
        case 0x6177:
            if (!*remaining) return nullptr;
            AmrWb_FrameSize(*data, *remaining, frame_size);
            return *data;
        default: return nullptr;
    }
}

const uint8_t* AudioFrame_ParseConfig(const uint8_t* data, uint32_t length,
                                      AudioFrameConfig* config, uint32_t* samples_per_frame) {
    if (!data) return nullptr;
    const uint8_t* p = nullptr;
    uint32_t spf = 0;
    uint32_t tag = config->codec_tag;
    switch (tag) {
        case 0x3331:
            Qcelp_DefaultConfig(config);
            p = data;
            break;
        case 253:
        case 254:
        case 255: p = Adts_ParseHeader(data, length, config); break;
        case 80:
        case 85: p = MpegAudio_ParseHeader(data, length, config, &spf); break;
        case 146:
        case 8192: p = Ac3_ParseHeader(data, length, config); break;
        case 0x5645:
            Evrc_DefaultConfig(config);
            p = data;
            break;
        case 0x6173: p = Amr_ParseFileHeader(data, length, config); break;
        case 0x6177: p = AmrWb_ParseFileHeader(data, length, config); break;
        default:
            if (is_vorbis_tag(tag)) {
                p = Vorbis_ParseIdHeader(data, length, config);
                break;
            }
            if ((p = MpegAudio_ParseHeader(data, length, config, &spf))) break;
            if ((p = Adif_ParseHeader(data, length, config))) break;
            if ((p = Adts_ParseHeader(data, length, config))) break;
            if ((p = Vorbis_ParseIdHeader(data, length, config))) break;
            if ((p = Ac3_ParseHeader(data, length, config))) break;
            if ((p = Amr_ParseFileHeader(data, length, config))) break;
            p = AmrWb_ParseFileHeader(data, length, config);
            break;
    }
    if (p && samples_per_frame) {
        // MPEG audio knows its own frame (384, 576 or 1152 samples).
        *samples_per_frame = spf ? spf : AudioFrame_GetSamplesPerFrame(config->codec_tag);
    }
    return p;
}

uint32_t AudioFrame_MaxBytes(uint32_t sample_rate, int flag, uint32_t tag, uint32_t duration_ms) {
    (void)flag;  // the estimate is the same either way
    if (!sample_rate) return 0;
    uint64_t frame_ms = uint64_t(AudioFrame_GetSamplesPerFrame(tag)) * 1000 / sample_rate;
    if (!frame_ms) return 0;
    uint64_t frames = duration_ms / frame_ms;
    uint32_t largest;
    switch (tag) {
        case 0x6173: largest = 32; break;
        case 0x6177: largest = 62; break;
        case 0x5645: largest = 23; break;
        case 0x3331: largest = 35; break;
        case 0x123: largest = 23; break;
        case 255: largest = 1000; break;
        case 253:
        case 254: largest = 2000; break;
        case 80:
        case 85: largest = 1500; break;
        case 146:
        case 8192: largest = 2000; break;
        case 0x161:
        case 0x162:
        case 0x163: largest = 3000; break;
        default: largest = is_vorbis_tag(tag) ? 1500 : 1000; break;
    }
    uint64_t bytes = frames * largest;
    return bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(bytes);
}

uint32_t AudioCodec_TagFromId(uint32_t id) {
    switch (id) {
        case 1: return 255;
        case 2: return 254;
        case 3: return 80;
        case 4: return 353;
        case 5: return 0x6173;
        case 7: return 0x5645;
        case 8: return 0x3331;
        default: return id;
    }
}

int Xing_Parse(XingInfo* info, const uint8_t* header, uint32_t length) {
    std::memset(info, 0, sizeof(*info));
    info->quality = -1;
    if (!header || length < 4) return 0;
    info->flags = be32(header);
    const uint8_t* p = header + 4;
    uint32_t left = length - 4;
    if (info->flags & 1) {
        if (left < 4) return 0;
        info->frames = be32(p);
        p += 4, left -= 4;
    }
    if (info->flags & 2) {
        if (left < 4) return 0;
        info->bytes = be32(p);
        p += 4, left -= 4;
    }
    if (info->flags & 4) {
        if (left < 100) return 0;
        std::memcpy(info->toc, p, 100);
        p += 100, left -= 100;
    }
    if (info->flags & 8) {
        if (left < 4) return 0;
        info->quality = int32_t(be32(p));
    }
    info->valid = info->frames != 0;
    return 1;
}

int Xing_Find(const uint8_t* frame, uint32_t length, XingInfo* info) {
    if (!frame) return 0;
    for (uint32_t i = 0; i + 3 < length; ++i) {
        if (std::memcmp(frame + i, "Xing", 4) == 0) {
            Xing_Parse(info, frame + i + 4, length - i - 4);
            return info->valid ? 1 : 0;
        }
    }
    return 0;
}

uint32_t Xing_SeekPosition(const XingInfo* info, float percent) {
    if (!(percent >= 0.0f)) percent = 0.0f;  // also catches NaN
    if (percent > 100.0f) percent = 100.0f;
    int i = int(percent);
    if (i > 99) i = 99;
    double a = info->toc[i];
    double b = i < 99 ? info->toc[i + 1] : 256.0;
    double offset = ((double(percent) - i) * (b - a) + a) * double(info->bytes) / 256.0;
    return uint32_t(offset);
}
