// MP4 reader. Walks the box tree once at open and then reads samples by
// walking the sample tables in the file through buffered cursors; nothing
// of the tables is loaded, so memory does not grow with the clip.
//
// Clips come from cards pulled out while recording: every size, count and
// offset read from the file is checked against its box, the file size and
// the limits below before it is used.
#include "engine/input/mp4_reader.h"

#include <cstdlib>
#include <cstring>

#include "engine/input/codec_names.h"
#include "engine/input/codec_probe.h"
#include "engine/player_result.h"

namespace {

constexpr uint32_t Tag(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 |
           uint32_t(uint8_t(s[2])) << 8 | uint8_t(s[3]);
}

// A sample larger than this is a damaged table, never a real sample.
constexpr uint32_t kMaxSampleSize = 16u << 20;
// Sample-entry child boxes kept for the decoder configuration.
constexpr uint32_t kMaxExtension = 64u << 10;
constexpr uint32_t kNone = 0xFFFFFFFFu;
constexpr uint32_t kAudioBufferCap = 8192;
constexpr uint32_t kVideoBufferCap = 0x28000;

struct Table {
    uint32_t cursor;
    uint32_t open;   // cursor opened
    uint32_t pos;    // file position of the first entry
    uint32_t count;  // entries, never more than the box holds
};

// Where the next sample comes from. Kept as plain numbers so a seek can
// compute a whole new state and commit it, or drop it, at once.
struct ReadState {
    uint32_t sample;         // next sample index
    uint64_t decodeTime;     // of the next sample, timescale units
    uint32_t sttsUsed;       // stts entries read
    uint32_t sttsLeft;       // samples left in the current stts entry
    uint32_t delta;          // current sample delta
    uint32_t stscUsed;       // stsc entries taken
    uint32_t nextStscChunk;  // chunk at which the next stsc entry starts
    uint32_t perChunk;
    uint32_t chunkLeft;   // samples left in the current chunk
    uint32_t chunk;       // chunks entered so far
    uint32_t dataOffset;  // file position of the next sample's bytes
    uint32_t ended;       // the bytes ran past the file's end
};

}  // namespace

struct Mp4Track {
    Stream* stream;  // own clone of the clip's stream
    uint32_t dataCursor;
    uint32_t dataCursorOpen;
    uint32_t type;
    uint32_t trackId;
    uint32_t codec;
    uint32_t timescale;
    uint32_t duration;  // ms
    uint32_t channels, sampleRate, bitsPerSample;
    uint32_t width, height;
    uint8_t* extension;
    uint32_t extensionLength;
    uint32_t nalLengthSize;
    uint32_t dataTrack;  // handler "sdsm" named "XBLB"
    Table stsz, stts, stsc, stco, stss;
    uint32_t constantSize;
    uint32_t sampleCount;
    uint32_t firstDelta;  // first non-zero delta of the first two stts entries
    uint32_t firstStscChunk;
    uint32_t editDuration;  // ms of the edit list's segments, 0 without one
    ReadState live;
};

struct Mp4Reader {
    Stream* stream;
    uint32_t topCursor;
    uint32_t size;
    uint32_t walkPos;
    Mp4Track* tracks[MP4_MAX_TRACKS];
    uint32_t trackCount;
    uint32_t selected[4];  // by type 1..3
    uint32_t hasTrack[4];
    uint32_t majorBrand;
    uint32_t movieTimescale;
    uint32_t mdatPos;
    uint32_t mdatFound;
};

namespace {

uint32_t MsFrom(uint64_t value, uint32_t timescale) {
    if (!timescale) return 0;
    double ms = double(value) * 1000.0 / double(timescale);
    return ms >= 4294967295.0 ? 0xFFFFFFFFu : uint32_t(ms);
}

// Decode time to ms as the sample times are given out (truncated).
uint64_t TimeMs(uint64_t decodeTime, uint32_t timescale) {
    if (!timescale) return 0;
    if (decodeTime >= (uint64_t(1) << 54)) return uint64_t(1) << 40;  // far beyond any 32-bit time
    return decodeTime * 1000 / timescale;
}

// Bounded reads inside one box through the top-level cursor. Reading past
// the box end yields zeros and marks the box bad.
struct BoxIn {
    Mp4Reader* r;
    uint32_t pos;
    uint32_t end;
    bool bad;

    uint32_t Left() const { return end - pos; }
    bool Take(uint32_t n) {
        if (Left() < n) {
            bad = true;
            pos = end;
            return false;
        }
        return true;
    }
    void Skip(uint32_t n) {
        if (Take(n)) pos += n;
    }
    uint32_t Read(uint32_t n) {  // n = 1..4, big-endian
        if (!Take(n)) return 0;
        uint8_t b[4] = {0, 0, 0, 0};
        Stream_Seek(r->stream, r->topCursor, pos);
        Stream_Read(r->stream, r->topCursor, b, n);
        pos += n;
        uint32_t v = 0;
        for (uint32_t i = 0; i < n; ++i) v = v << 8 | b[i];
        return v;
    }
    uint64_t Read64() {
        uint64_t hi = Read(4);
        return hi << 32 | Read(4);
    }
    bool Bytes(void* out, uint32_t n) {
        if (!Take(n)) return false;
        Stream_Seek(r->stream, r->topCursor, pos);
        int32_t got = Stream_Read(r->stream, r->topCursor, out, n);
        pos += n;
        if (got < 0 || uint32_t(got) != n) {
            bad = true;
            return false;
        }
        return true;
    }
};

// Bounded reads over a memory block (the kept sample-entry children).
struct MemIn {
    const uint8_t* p;
    uint32_t left;
    bool bad;

    uint32_t Read(uint32_t n) {
        if (left < n) {
            bad = true;
            left = 0;
            return 0;
        }
        uint32_t v = 0;
        for (uint32_t i = 0; i < n; ++i) v = v << 8 | p[i];
        p += n;
        left -= n;
        return v;
    }
    void Skip(uint32_t n) {
        if (left < n) {
            bad = true;
            left = 0;
            return;
        }
        p += n;
        left -= n;
    }
    // Expandable descriptor length: up to 4 bytes of 7 bits, MSB first.
    uint32_t DescLength() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            uint32_t b = Read(1);
            v = v << 7 | (b & 0x7F);
            if (!(b & 0x80)) break;
        }
        return v;
    }
};

struct Child {
    uint32_t start;  // header position
    uint32_t size;   // including the header
    uint32_t type;
    uint32_t payload;  // payload position
};

// Iterates the children of a container payload [pos, end). Stops at a
// size below 8, a child running past its parent, or one running past the
// available bytes.
bool NextChild(Mp4Reader* r, uint32_t& pos, uint32_t end, Child* c) {
    if (pos >= end || end - pos < 8) return false;
    BoxIn in{r, pos, end, false};
    uint32_t size = in.Read(4);
    uint32_t type = in.Read(4);
    uint32_t header = 8;
    if (size == 1) {
        // 64-bit size: only boxes that still end inside a 32-bit file.
        uint64_t large = in.Read64();
        if (in.bad || large > 0xFFFFFFFFu) return false;
        size = uint32_t(large);
        header = 16;
    } else if (size == 0) {
        size = end - pos;  // runs to the end of its parent
    }
    if (size < header || size > end - pos) return false;
    uint32_t avail = Stream_GetAvailable(r->stream);
    if (uint64_t(pos) + size > avail) return false;
    c->start = pos;
    c->size = size;
    c->type = type;
    c->payload = pos + header;
    pos += size;
    return true;
}

void CloseTable(Mp4Reader* r, Table* t) {
    if (t->open) Stream_CloseCursor(r->stream, t->cursor);
    t->open = 0;
}

void FreeTrack(Mp4Reader* r, Mp4Track* t) {
    if (!t) return;
    Table* tables[] = {&t->stsz, &t->stts, &t->stsc, &t->stco, &t->stss};
    for (Table* tb : tables) CloseTable(r, tb);
    if (t->stream) Stream_Close(t->stream);
    std::free(t->extension);
    std::free(t);
}

uint32_t TableRead32(Mp4Reader* r, const Table& t, uint32_t byteOffset) {
    Stream_Seek(r->stream, t.cursor, t.pos + byteOffset);
    return Stream_ReadBE32(r->stream, t.cursor);
}

// Opens a table cursor on entries that fit in the box: count is cut to
// what the payload [pos, end) holds.
int32_t OpenTable(Mp4Reader* r, Table* t, uint32_t pos, uint32_t end, uint32_t count,
                  uint32_t entrySize) {
    if (t->open) return 0;  // a second table of the same kind is ignored
    uint32_t fits = end > pos ? (end - pos) / entrySize : 0;
    int32_t rc = Stream_OpenCursor(r->stream, &t->cursor, STREAM_TABLE_BUFFER);
    if (rc < 0) return rc;
    t->open = 1;
    t->pos = pos;
    t->count = count < fits ? count : fits;
    return 0;
}

int32_t ParseStsd(Mp4Reader* r, Mp4Track* t, uint32_t pos, uint32_t end) {
    BoxIn in{r, pos, end, false};
    uint32_t entries = in.Read(4);
    for (uint32_t e = 0; e < entries && !in.bad && in.Left() >= 16; ++e) {
        uint32_t start = in.pos;
        uint32_t size = in.Read(4);
        uint32_t type = in.Read(4);
        if (size < 16 || size > end - start) break;
        uint32_t entryEnd = start + size;
        BoxIn ent{r, in.pos, entryEnd, false};
        ent.Skip(6);  // reserved
        ent.Skip(2);  // data_reference_index
        switch (type) {
            case Tag("samr"):
            case Tag("sevc"):
            case Tag("sqcp"):
            case Tag("mp4a"):
            case Tag("sawb"):
            case Tag(".mp3"): {
                ent.Skip(8);
                t->channels = ent.Read(2);
                t->bitsPerSample = ent.Read(2);
                ent.Skip(2);
                t->sampleRate = ent.Read(4);
                ent.Skip(2);
                switch (type) {
                    case Tag(".mp3"): t->codec = 0x50; break;
                    case Tag("mp4a"): t->codec = 0xFF; break;
                    case Tag("samr"): t->codec = 0x6173; break;
                    case Tag("sawb"): t->codec = 0x6177; break;
                    case Tag("sevc"): t->codec = 0x5645; break;
                    default: t->codec = 0x3331; break;
                }
                if (type != Tag("mp4a") && type != Tag(".mp3")) t->channels = 1;
                break;
            }
            case Tag("s263"):
            case Tag("mp4v"):
            case Tag("avc1"): {
                ent.Skip(16);
                t->width = ent.Read(2);
                t->height = ent.Read(2);
                ent.Skip(50);
                t->codec = type == Tag("avc1")   ? MakeFourCC('A', 'V', 'C', '1')
                           : type == Tag("mp4v") ? MakeFourCC('M', 'P', '4', 'V')
                                                 : MakeFourCC('H', '2', '6', '3');
                break;
            }
            default: break;
        }
        if (ent.bad) break;
        // The entry's child boxes, kept for the decoder configuration.
        uint32_t rest = entryEnd - ent.pos;
        std::free(t->extension);
        t->extension = nullptr;
        t->extensionLength = 0;
        if (rest > 0 && rest <= kMaxExtension) {
            t->extension = static_cast<uint8_t*>(std::malloc(rest));
            if (!t->extension) return PLAYER_E_OUT_OF_MEMORY;
            if (!ent.Bytes(t->extension, rest)) {
                std::free(t->extension);
                t->extension = nullptr;
                break;
            }
            t->extensionLength = rest;
        }
        in.pos = entryEnd;
    }
    return 0;
}

int32_t ParseStbl(Mp4Reader* r, Mp4Track* t, uint32_t pos, uint32_t end) {
    Child c;
    while (NextChild(r, pos, end, &c)) {
        uint32_t cend = c.start + c.size;
        BoxIn in{r, c.payload, cend, false};
        in.Skip(4);  // version and flags
        int32_t rc = 0;
        switch (c.type) {
            case Tag("stsd"): rc = ParseStsd(r, t, in.pos, cend); break;
            case Tag("stts"): {
                if (t->stts.open) break;
                uint32_t n = in.Read(4);
                rc = OpenTable(r, &t->stts, in.pos, cend, n, 8);
                if (rc < 0) break;
                if (t->stts.count > 0) t->firstDelta = TableRead32(r, t->stts, 4);
                if (t->firstDelta == 0 && t->stts.count > 1)
                    t->firstDelta = TableRead32(r, t->stts, 12);
                break;
            }
            case Tag("stss"): {
                uint32_t n = in.Read(4);
                rc = OpenTable(r, &t->stss, in.pos, cend, n, 4);
                break;
            }
            case Tag("stsz"): {
                if (t->stsz.open) break;
                uint32_t constant = in.Read(4);
                uint32_t n = in.Read(4);
                if (in.bad) break;
                if (constant) {
                    // Constant-size samples still have to fit in the file.
                    uint32_t fit = constant <= kMaxSampleSize ? r->size / constant : 0;
                    rc = OpenTable(r, &t->stsz, in.pos, cend, 0, 4);
                    t->constantSize = constant;
                    t->sampleCount = n < fit ? n : fit;
                } else {
                    rc = OpenTable(r, &t->stsz, in.pos, cend, n, 4);
                    t->sampleCount = t->stsz.count;
                }
                break;
            }
            case Tag("stsc"): {
                if (t->stsc.open) break;
                uint32_t n = in.Read(4);
                rc = OpenTable(r, &t->stsc, in.pos, cend, n, 12);
                if (rc >= 0 && t->stsc.count > 0)
                    t->firstStscChunk = TableRead32(r, t->stsc, 0) - 1;
                break;
            }
            case Tag("stco"): {
                uint32_t n = in.Read(4);
                rc = OpenTable(r, &t->stco, in.pos, cend, n, 4);
                break;
            }
            default: break;  // ctts and others: composition offsets are not used
        }
        if (rc < 0) return rc;
    }
    return 0;
}

void ParseSampleEntry(Mp4Track* t, MediaInfo* info, AudioTrackInfo* a, VideoTrackInfo* v,
                      TextTrackInfo* x) {
    // Find the configuration box among the entry's children.
    MemIn all{t->extension, t->extensionLength, false};
    while (all.left >= 8) {
        const uint8_t* boxStart = all.p;
        uint32_t size = all.Read(4);
        uint32_t type = all.Read(4);
        if (size < 8 || size - 8 > all.left) break;
        MemIn in{all.p, size - 8, false};
        all.Skip(size - 8);
        (void)boxStart;
        if (type == Tag("avcC") && v) {
            in.Skip(4);
            t->nalLengthSize = (in.Read(1) & 3) + 1;
            uint32_t used = 0;
            bool full = false;
            for (int kind = 0; kind < 2 && !in.bad; ++kind) {
                uint32_t n = kind == 0 ? (in.Read(1) & 31) : in.Read(1);
                for (uint32_t i = 0; i < n && !in.bad; ++i) {
                    uint32_t len = in.Read(2);
                    if (in.left < len) {
                        in.bad = true;
                        break;
                    }
                    if (!full && used + 2 + len <= MEDIAINFO_CONFIG_BYTES) {
                        v->config[used] = uint8_t(len >> 8);
                        v->config[used + 1] = uint8_t(len);
                        std::memcpy(v->config + used + 2, in.p, len);
                        used += 2 + len;
                    } else {
                        full = true;
                    }
                    in.Skip(len);
                }
            }
            v->configLength = used;
            return;
        }
        if (type != Tag("esds")) continue;
        in.Skip(4);  // version and flags
        uint32_t tag = in.Read(1);
        if (tag == 3) {
            in.DescLength();
            in.Skip(2);  // ES_ID
            uint32_t flags = in.Read(1);
            if (flags & 0x80) in.Skip(2);
            if (flags & 0x40) in.Skip(in.Read(1));
            if (flags & 0x20) in.Skip(2);
        } else {
            in.Skip(3);
        }
        in.Skip(1);  // DecoderConfigDescriptor tag
        in.DescLength();
        uint32_t objectType = in.Read(1);
        in.Skip(1);  // streamType
        if (in.bad) return;
        switch (objectType) {
            case 211: t->codec = CODEC_TAG_BLBX; break;
            case 225: t->codec = 0x3331; break;
            case 226: t->codec = 146; break;
            case 227: t->codec = 6; break;
            case 228: t->codec = 7; break;
            case 229: t->codec = 291; break;
            case 240: t->codec = MakeFourCC('Y', 'V', '1', '2'); break;
            case 241: t->codec = MakeFourCC('A', 'V', 'C', '1'); break;
            case 242: t->codec = MakeFourCC('H', '2', '6', '3'); break;
            default: break;
        }
        uint32_t bufferSize = in.Read(3);
        in.Skip(4);  // maxBitrate
        uint32_t avgBitrate = in.Read(4);
        if (in.bad) return;
        uint8_t* config = nullptr;
        uint32_t* configLength = nullptr;
        if (a) {
            a->maxSampleSize = bufferSize < kAudioBufferCap ? bufferSize : kAudioBufferCap;
            a->bitrate = avgBitrate;
            config = a->config;
            configLength = &a->configLength;
        } else if (v) {
            v->maxSampleSize = bufferSize < kVideoBufferCap ? bufferSize : kVideoBufferCap;
            v->bitrate = avgBitrate;
            config = v->config;
            configLength = &v->configLength;
        } else if (x && t->codec == CODEC_TAG_BLBX) {
            x->maxSampleSize = bufferSize < kVideoBufferCap ? bufferSize : kVideoBufferCap;
            x->readerWord = avgBitrate;
        }
        if (config && in.Read(1) == 5) {
            uint32_t len = in.DescLength();
            if (len > in.left) len = in.left;
            if (len > MEDIAINFO_CONFIG_BYTES) len = MEDIAINFO_CONFIG_BYTES;
            if (!in.bad) {
                std::memcpy(config, in.p, len);
                *configLength = len;
            }
        }
        (void)info;
        return;
    }
}

// The largest sample of a track (data tracks are small; their buffer is
// sized from it).
uint32_t LargestSample(Mp4Reader* r, Mp4Track* t) {
    if (t->constantSize) return t->constantSize <= kMaxSampleSize ? t->constantSize : 0;
    uint32_t largest = 0;
    for (uint32_t i = 0; i < t->sampleCount; ++i) {
        uint32_t s =
            i == 0 ? TableRead32(r, t->stsz, 0) : Stream_ReadBE32(r->stream, t->stsz.cursor);
        if (s > largest && s <= kMaxSampleSize) largest = s;
    }
    return largest;
}

void ResetLive(Mp4Track* t) {
    std::memset(&t->live, 0, sizeof t->live);
    t->live.nextStscChunk = t->stsc.count ? t->firstStscChunk : kNone;
}

int32_t FillInfo(Mp4Reader* r, Mp4Track* t, MediaInfo* info) {
    // The presentation length: an edit list trims the encoder's priming.
    if (t->editDuration) t->duration = t->editDuration;
    AudioTrackInfo* a = nullptr;
    VideoTrackInfo* v = nullptr;
    TextTrackInfo* x = nullptr;
    if (t->type == TRACK_TYPE_AUDIO && info->audioCount < MEDIAINFO_MAX_AUDIO)
        a = &info->audio[info->audioCount++];
    if (t->type == TRACK_TYPE_VIDEO && info->videoCount < MEDIAINFO_MAX_VIDEO)
        v = &info->video[info->videoCount++];
    if (t->type == TRACK_TYPE_TEXT && info->textCount < MEDIAINFO_MAX_TEXT)
        x = &info->text[info->textCount++];
    if (t->extension) ParseSampleEntry(t, info, a, v, x);
    if (a) {
        a->codec = t->codec;
        a->sampleRate = t->sampleRate;
        a->channels = t->channels;
        a->bitsPerSample = t->bitsPerSample;
        a->duration = t->duration;
        a->perPacketTime = 1;
    }
    if (v) {
        v->codec = t->codec;
        v->width = t->width;
        v->height = t->height;
        v->duration = t->duration;
        // 1,000,000 / (duration / count), formed without the rounding of
        // the inner quotient (2000 ms over 30 samples is 15000 exactly).
        if (t->firstDelta && t->sampleCount && t->duration) {
            double rate = 1000000.0 * double(t->sampleCount) / double(t->duration);
            v->frameRate = rate >= 4294967295.0 ? 0 : uint32_t(rate);
        }
        VideoConfig_Probe(v->config, v->configLength, v);
    }
    if (x) {
        x->codec = t->codec;
        x->duration = t->duration;
        uint32_t largest = LargestSample(r, t);
        if (largest > x->maxSampleSize) x->maxSampleSize = largest;
    }
    std::free(t->extension);
    t->extension = nullptr;
    t->extensionLength = 0;
    return 0;
}

int32_t ParseMinf(Mp4Reader* r, Mp4Track* t, uint32_t pos, uint32_t end) {
    Child c;
    while (NextChild(r, pos, end, &c)) {
        switch (c.type) {
            case Tag("vmhd"): t->type = TRACK_TYPE_VIDEO; break;
            case Tag("smhd"): t->type = TRACK_TYPE_AUDIO; break;
            case Tag("nmhd"):
                if (!t->dataTrack) {
                    t->type = TRACK_TYPE_NONE;
                    return 0;
                }
                t->type = TRACK_TYPE_TEXT;
                break;
            case Tag("hmhd"): t->type = TRACK_TYPE_NONE; return 0;
            case Tag("stbl"): {
                int32_t rc = ParseStbl(r, t, c.payload, c.start + c.size);
                if (rc < 0) return rc;
                break;
            }
            default: break;
        }
    }
    return 0;
}

int32_t ParseMdia(Mp4Reader* r, Mp4Track* t, uint32_t pos, uint32_t end, MediaInfo* info,
                  bool* described) {
    Child c;
    while (NextChild(r, pos, end, &c)) {
        BoxIn in{r, c.payload, c.start + c.size, false};
        switch (c.type) {
            case Tag("hdlr"): {
                in.Skip(8);
                uint32_t handler = in.Read(4);
                in.Skip(12);
                if (handler == Tag("sdsm") && in.Left() >= 4 && in.Read(4) == 0x58424C42u)
                    t->dataTrack = 1;
                break;
            }
            case Tag("mdhd"): {
                uint32_t version = in.Read(1);
                in.Skip(3);
                uint64_t duration;
                if (version == 1) {
                    in.Skip(16);
                    t->timescale = in.Read(4);
                    duration = in.Read64();
                } else {
                    in.Skip(8);
                    t->timescale = in.Read(4);
                    duration = in.Read(4);
                }
                if (!in.bad) t->duration = MsFrom(duration, t->timescale);
                break;
            }
            case Tag("minf"): {
                int32_t rc = ParseMinf(r, t, c.payload, c.start + c.size);
                if (rc < 0) return rc;
                if (t->type != TRACK_TYPE_NONE && !*described) {
                    *described = true;
                    // Tracks are described in the record only while they are kept.
                    if (r->trackCount < MP4_MAX_TRACKS) FillInfo(r, t, info);
                }
                break;
            }
            default: break;
        }
    }
    return 0;
}

int32_t ParseTrak(Mp4Reader* r, uint32_t pos, uint32_t end, MediaInfo* info) {
    Mp4Track* t = static_cast<Mp4Track*>(std::calloc(1, sizeof(Mp4Track)));
    if (!t) return PLAYER_E_OUT_OF_MEMORY;
    bool described = false;
    Child c;
    int32_t rc = 0;
    while (rc >= 0 && NextChild(r, pos, end, &c)) {
        BoxIn in{r, c.payload, c.start + c.size, false};
        if (c.type == Tag("tkhd")) {
            uint32_t version = in.Read(1);
            in.Skip(3);
            uint64_t duration;
            if (version == 1) {
                in.Skip(16);
                t->trackId = in.Read(4);
                in.Skip(4);
                duration = in.Read64();
            } else {
                in.Skip(8);
                t->trackId = in.Read(4);
                in.Skip(4);
                duration = in.Read(4);
            }
            if (!in.bad) t->duration = MsFrom(duration, r->movieTimescale);
        } else if (c.type == Tag("edts")) {
            uint32_t epos = c.payload;
            Child e;
            while (NextChild(r, epos, c.start + c.size, &e)) {
                if (e.type != Tag("elst")) continue;
                BoxIn el{r, e.payload, e.start + e.size, false};
                uint32_t version = el.Read(1);
                el.Skip(3);
                uint32_t n = el.Read(4);
                uint64_t total = 0;
                for (uint32_t k = 0; k < n && !el.bad; ++k) {
                    uint64_t seg = version == 1 ? el.Read64() : el.Read(4);
                    uint64_t mediaTime = version == 1 ? el.Read64() : el.Read(4);
                    el.Skip(4);
                    bool empty =
                        version == 1 ? mediaTime == ~uint64_t(0) : mediaTime == 0xFFFFFFFFu;
                    if (!el.bad && !empty) total += seg;
                }
                if (!el.bad && total) t->editDuration = MsFrom(total, r->movieTimescale);
            }
        } else if (c.type == Tag("mdia")) {
            rc = ParseMdia(r, t, c.payload, c.start + c.size, info, &described);
        }
    }
    if (rc < 0 || t->type == TRACK_TYPE_NONE || t->type > TRACK_TYPE_TEXT ||
        r->trackCount >= MP4_MAX_TRACKS) {
        FreeTrack(r, t);
        return rc < 0 ? rc : 0;
    }
    rc = Stream_Clone(r->stream, &t->stream);
    if (rc >= 0) rc = Stream_OpenCursor(t->stream, &t->dataCursor, 0);
    if (rc < 0) {
        FreeTrack(r, t);
        return rc;
    }
    t->dataCursorOpen = 1;
    ResetLive(t);
    r->tracks[r->trackCount++] = t;
    return 0;
}

int32_t ParseMoov(Mp4Reader* r, uint32_t pos, uint32_t end, MediaInfo* info) {
    Child c;
    while (NextChild(r, pos, end, &c)) {
        BoxIn in{r, c.payload, c.start + c.size, false};
        if (c.type == Tag("mvhd")) {
            uint32_t version = in.Read(1);
            in.Skip(3);
            uint64_t duration;
            if (version == 1) {
                in.Skip(16);
                r->movieTimescale = in.Read(4);
                duration = in.Read64();
            } else {
                in.Skip(8);
                r->movieTimescale = in.Read(4);
                duration = in.Read(4);
            }
            if (!in.bad) info->duration = MsFrom(duration, r->movieTimescale);
        } else if (c.type == Tag("trak")) {
            int32_t rc = ParseTrak(r, c.payload, c.start + c.size, info);
            if (rc < 0) return rc;
        }
    }
    return 0;
}

Mp4Track* Selected(Mp4Reader* r, uint32_t type) {
    if (type < 1 || type > 3 || !r->hasTrack[type]) return nullptr;
    uint32_t i = r->selected[type];
    return i < r->trackCount ? r->tracks[i] : nullptr;
}

// Reads the stsc entry k: first chunk (0-based) and samples per chunk.
void StscEntry(Mp4Reader* r, Mp4Track* t, uint32_t k, uint32_t* firstChunk, uint32_t* perChunk) {
    *firstChunk = TableRead32(r, t->stsc, 12 * k) - 1;
    *perChunk = Stream_ReadBE32(r->stream, t->stsc.cursor);
}

uint32_t SampleSize(Mp4Reader* r, Mp4Track* t, uint32_t index) {
    return t->constantSize ? t->constantSize : TableRead32(r, t->stsz, 4 * index);
}

// Moves s on to the chunk of its next sample when the current one is used up.
void EnterChunk(Mp4Reader* r, Mp4Track* t, ReadState* s) {
    while (s->chunkLeft == 0 && s->chunk < t->stco.count) {
        if (s->chunk == s->nextStscChunk && s->stscUsed < t->stsc.count) {
            uint32_t first, per;
            StscEntry(r, t, s->stscUsed, &first, &per);
            s->perChunk = per;
            s->stscUsed++;
            if (s->stscUsed < t->stsc.count) {
                uint32_t nextPer;
                StscEntry(r, t, s->stscUsed, &s->nextStscChunk, &nextPer);
            } else {
                s->nextStscChunk = kNone;
            }
        }
        s->chunkLeft = s->perChunk;
        s->dataOffset = TableRead32(r, t->stco, 4 * s->chunk);
        s->chunk++;
    }
}

// Total bytes of a sample whose 1-3 byte NAL length prefixes become 4 bytes.
bool RewrittenSize(Mp4Track* t, uint32_t offset, uint32_t size, uint32_t* out) {
    uint32_t L = t->nalLengthSize;
    uint64_t total = 0;
    uint32_t pos = 0;
    while (pos < size) {
        if (size - pos < L) {
            total += size - pos;  // a cut prefix is passed on as it is
            break;
        }
        uint8_t b[4] = {0, 0, 0, 0};
        Stream_Seek(t->stream, t->dataCursor, offset + pos);
        if (Stream_Read(t->stream, t->dataCursor, b, L) != int32_t(L)) return false;
        uint32_t n = 0;
        for (uint32_t i = 0; i < L; ++i) n = n << 8 | b[i];
        pos += L;
        if (n > size - pos) n = size - pos;
        total += 4 + n;
        pos += n;
    }
    if (total > kMaxSampleSize) return false;
    *out = uint32_t(total);
    return true;
}

// In place: the sample sits at buf[D..D+size) with D = rewritten - size;
// each unit moves forward to its place behind a 4-byte length.
void RewriteNals(uint8_t* buf, uint32_t size, uint32_t rewritten, uint32_t L) {
    uint32_t d = rewritten - size;
    uint32_t r = 0, w = 0;
    while (r < size) {
        if (size - r < L) {
            std::memmove(buf + w, buf + d + r, size - r);
            w += size - r;
            break;
        }
        uint32_t n = 0;
        for (uint32_t i = 0; i < L; ++i) n = n << 8 | buf[d + r + i];
        r += L;
        if (n > size - r) n = size - r;
        uint8_t head[4] = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
        std::memcpy(buf + w, head, 4);
        std::memmove(buf + w + 4, buf + d + r, n);
        w += 4 + n;
        r += n;
    }
}

struct Found {
    ReadState state;
    uint32_t timeMs;
};

// Finds the sample to start from for a time (mode 1 forward, 2 backward,
// 3 nearest) and the full read state that leads to it. Nothing is changed
// on the track; false when the time lies beyond the track or its data
// beyond the file.
bool FindSample(Mp4Reader* r, Mp4Track* t, uint32_t timeMs, uint32_t mode, Found* out) {
    if (!t->timescale || t->sampleCount == 0 || t->stts.count == 0) return false;
    const bool stss = t->stss.count > 0;
    uint64_t prev = 0, next = 0;
    uint32_t stssUsed = 0;
    if (stss) {
        uint32_t first = TableRead32(r, t->stss, 0);
        prev = first ? first - 1 : 0;
        stssUsed = 1;
        // A table with one entry has no next sync sample: the first is used.
        next = prev;
        if (t->stss.count > 1) {
            uint32_t second = TableRead32(r, t->stss, 4);
            next = second ? second - 1 : 0;
            stssUsed = 2;
        }
    }
    const uint64_t target = uint64_t(timeMs) + (mode == MP4_SEEK_FORWARD ? 1 : 0);
    const uint64_t need = target * t->timescale;  // reached when decodeTime * 1000 >= need

    ReadState s{};
    ReadState prevState{};
    bool prevKnown = false;
    uint64_t i = 0;
    ReadState* chosen = nullptr;
    while (true) {
        if (i >= t->sampleCount) return false;
        while (s.sttsLeft == 0) {
            if (s.sttsUsed >= t->stts.count) return false;
            s.sttsLeft = TableRead32(r, t->stts, 8 * s.sttsUsed);
            s.delta = Stream_ReadBE32(r->stream, t->stts.cursor);
            s.sttsUsed++;
        }
        s.sample = uint32_t(i);
        if (stss && i == prev) {
            prevState = s;
            prevKnown = true;
        }
        bool reached = s.decodeTime < (uint64_t(1) << 54) ? s.decodeTime * 1000 >= need : true;
        if (reached) {
            if (!stss) {
                chosen = &s;
                break;
            }
            bool nextUsable = next > prev && next >= i;
            if (!prevKnown) {
                // Before the first sync sample: go on to it.
            } else if (!nextUsable || mode == MP4_SEEK_BACKWARD ||
                       (mode == MP4_SEEK_NEAREST && i - prev <= next - i)) {
                chosen = &prevState;
                break;
            } else if (i == next) {
                chosen = &s;
                break;
            }
        } else if (stss && i == next && next > prev) {
            prev = i;
            prevState = s;
            prevKnown = true;
            // Sync entries at or before the current one are damage: skip them.
            while (stssUsed < t->stss.count) {
                uint32_t e = TableRead32(r, t->stss, 4 * stssUsed);
                stssUsed++;
                if (e && e - 1 > i) {
                    next = e - 1;
                    break;
                }
            }
        }
        // Step over the samples that change nothing: up to the end of the
        // stts run, the first one that reaches the time, or the next sync.
        uint64_t k = s.sttsLeft;
        if (!reached && s.delta) {
            uint64_t have = s.decodeTime * 1000;
            uint64_t step = uint64_t(s.delta) * 1000;
            uint64_t m = (need - have + step - 1) / step;
            if (m < k) k = m;
        }
        if (stss && next > i && next - i < k) k = next - i;
        if (stss && prev > i && prev - i < k) k = prev - i;
        if (k == 0) k = 1;
        if (k > t->sampleCount - i) k = t->sampleCount - i;
        s.decodeTime += k * s.delta;
        s.sttsLeft -= uint32_t(k);
        i += k;
    }

    ReadState st = *chosen;
    uint64_t ms = TimeMs(st.decodeTime, t->timescale);
    if (ms > 0xFFFFFFFFu) return false;
    // The chunk holding the sample, from the stsc runs.
    uint64_t before = 0;
    bool located = false;
    for (uint32_t k = 0; k < t->stsc.count && !located; ++k) {
        uint32_t first, per;
        StscEntry(r, t, k, &first, &per);
        uint32_t nextFirst = t->stco.count, nextPer = 0;
        if (k + 1 < t->stsc.count) StscEntry(r, t, k + 1, &nextFirst, &nextPer);
        if (first >= t->stco.count) break;
        if (nextFirst > t->stco.count) nextFirst = t->stco.count;
        if (nextFirst < first) nextFirst = first;
        uint64_t runSamples = uint64_t(nextFirst - first) * per;
        if (st.sample < before + runSamples) {
            uint64_t into = st.sample - before;
            uint32_t chunk = first + uint32_t(into / per);
            uint32_t within = uint32_t(into % per);
            st.stscUsed = k + 1;
            // As the reading walk does: the raw first chunk of the entry after.
            st.nextStscChunk = kNone;
            if (k + 1 < t->stsc.count) {
                uint32_t nf, np;
                StscEntry(r, t, k + 1, &nf, &np);
                st.nextStscChunk = nf;
            }
            st.perChunk = per;
            st.chunkLeft = per - within;
            st.chunk = chunk + 1;
            uint64_t offset = TableRead32(r, t->stco, 4 * chunk);
            for (uint32_t j = st.sample - within; j < st.sample; ++j) offset += SampleSize(r, t, j);
            if (offset >= Stream_GetAvailable(r->stream)) return false;
            st.dataOffset = uint32_t(offset);
            located = true;
        }
        before += runSamples;
    }
    if (!located) return false;
    st.ended = 0;
    out->state = st;
    out->timeMs = uint32_t(ms);
    return true;
}

void Commit(Mp4Track* t, const Found& f) { t->live = f.state; }

// A track that follows the lead of a seek but has nothing at that time is
// left at its end, so it reads as ended instead of failing the whole seek.
void ParkAtEnd(Mp4Track* t) {
    t->live.sample = t->sampleCount;
    t->live.ended = 1;
}

struct SeekStep {
    uint32_t type;
    uint32_t mode;
    bool lead;  // its time becomes the time of the steps after it
};

bool RunSeek(Mp4Reader* r, uint32_t* time, const SeekStep* steps, int n) {
    Found found[3];
    bool ok[3] = {false, false, false};
    Mp4Track* tracks[3] = {nullptr, nullptr, nullptr};
    uint32_t t = *time;
    bool anyLead = false;
    for (int k = 0; k < n; ++k) {
        tracks[k] = Selected(r, steps[k].type);
        if (!tracks[k]) continue;
        ok[k] = FindSample(r, tracks[k], t, steps[k].mode, &found[k]);
        if (steps[k].lead && !anyLead) {
            // The first track present leads; when it fails, nothing moves.
            if (!ok[k]) return 0;
            anyLead = true;
            t = found[k].timeMs;
        } else if (steps[k].lead && ok[k]) {
            t = found[k].timeMs;
        }
    }
    if (!anyLead) {
        // No lead track present: the first present track leads.
        for (int k = 0; k < n; ++k)
            if (tracks[k] && !ok[k]) return 0;
    }
    for (int k = 0; k < n; ++k) {
        if (!tracks[k]) continue;
        if (ok[k])
            Commit(tracks[k], found[k]);
        else
            ParkAtEnd(tracks[k]);
    }
    *time = t;
    return 1;
}

}  // namespace

PlayerResult Mp4Reader_Create(Mp4Reader** out, Stream* stream) {
    *out = nullptr;
    Mp4Reader* r = static_cast<Mp4Reader*>(std::calloc(1, sizeof(Mp4Reader)));
    if (!r) return PLAYER_E_OUT_OF_MEMORY;
    r->stream = stream;
    r->size = Stream_GetSize(stream);
    int32_t rc = Stream_OpenCursor(stream, &r->topCursor, STREAM_TABLE_BUFFER);
    if (rc < 0) {
        std::free(r);
        return rc;
    }
    *out = r;
    return 0;
}

void Mp4Reader_Destroy(Mp4Reader* r) {
    if (!r) return;
    for (uint32_t i = 0; i < r->trackCount; ++i) FreeTrack(r, r->tracks[i]);
    Stream_CloseCursor(r->stream, r->topCursor);
    std::free(r);
}

PlayerResult Mp4Reader_ParseTopLevel(Mp4Reader* r, MediaInfo* info) {
    info->readerWord0 = 0;
    uint32_t pos = r->walkPos;
    Child c;
    while (pos < r->size && NextChild(r, pos, r->size, &c)) {
        if (c.type == Tag("ftyp")) {
            BoxIn in{r, c.payload, c.start + c.size, false};
            r->majorBrand = in.Read(4);
        } else if (c.type == Tag("mdat")) {
            if (c.size > c.payload - c.start) {
                r->mdatPos = c.start;
                r->mdatFound = 1;
            }
        } else if (c.type == Tag("moov")) {
            int32_t rc = ParseMoov(r, c.payload, c.start + c.size, info);
            if (rc < 0) return rc;
        }
    }
    r->walkPos = pos;
    for (uint32_t type = 1; type <= 3; ++type) {
        for (uint32_t i = 0; i < r->trackCount; ++i) {
            if (r->tracks[i]->type == type) {
                r->selected[type] = i;
                r->hasTrack[type] = 1;
                break;
            }
        }
    }
    for (uint32_t i = 0; i < r->trackCount; ++i) r->tracks[i]->live.dataOffset = r->mdatPos;
    return 0;
}

PlayerResult Mp4Reader_ReadSample(Mp4Reader* r, MediaSample* sample) {
    Mp4Track* t = Selected(r, sample->type);
    if (!t) return PLAYER_E_NO_TRACK;
    if (t->live.ended || t->live.sample >= t->sampleCount) return PLAYER_E_END_OF_STREAM;
    // Work on a copy: a sample that does not fit, or cannot be read, leaves
    // the track exactly where it was.
    ReadState s = t->live;
    uint32_t size = SampleSize(r, t, s.sample);
    if (size > kMaxSampleSize) return PLAYER_E_STREAM_SYNTAX;
    EnterChunk(r, t, &s);
    if (t->stco.count == 0) return PLAYER_E_END_OF_STREAM;
    if (s.chunkLeft) s.chunkLeft--;
    while (s.sttsLeft == 0 && s.sttsUsed < t->stts.count) {
        s.sttsLeft = TableRead32(r, t->stts, 8 * s.sttsUsed);
        s.delta = Stream_ReadBE32(r->stream, t->stts.cursor);
        s.sttsUsed++;
    }
    uint32_t fileSize = Stream_GetAvailable(r->stream);
    if (uint64_t(s.dataOffset) + size > fileSize) {
        // The clip was cut here: everything before it has been read.
        t->live.ended = 1;
        return PLAYER_E_END_OF_STREAM;
    }
    uint32_t outSize = size;
    bool rewrite = t->nalLengthSize >= 1 && t->nalLengthSize <= 3;
    if (rewrite && !RewrittenSize(t, s.dataOffset, size, &outSize)) {
        t->live.ended = 1;
        return PLAYER_E_END_OF_STREAM;
    }
    if (outSize > sample->capacity || !sample->data) {
        sample->length = outSize;
        return PLAYER_E_BUFFER_TOO_SMALL;
    }
    uint8_t* dst = sample->data + (outSize - size);
    Stream_Seek(t->stream, t->dataCursor, s.dataOffset);
    int32_t got = size ? Stream_Read(t->stream, t->dataCursor, dst, size) : 0;
    if (got < 0 || uint32_t(got) != size) {
        t->live.ended = 1;
        return PLAYER_E_END_OF_STREAM;
    }
    if (rewrite) RewriteNals(sample->data, size, outSize, t->nalLengthSize);
    uint64_t ms = TimeMs(s.decodeTime, t->timescale);
    sample->time = ms > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(ms);
    sample->duration = MsFrom(s.delta, t->timescale);
    sample->length = outSize;
    s.decodeTime += s.delta;
    if (s.sttsLeft) s.sttsLeft--;
    s.dataOffset += size;
    s.sample++;
    t->live = s;
    return 0;
}

bool Mp4Reader_Seek(Mp4Reader* r, uint32_t* time, uint32_t audioLed) {
    if (!audioLed) {
        const SeekStep steps[] = {{TRACK_TYPE_VIDEO, MP4_SEEK_NEAREST, true},
                                  {TRACK_TYPE_AUDIO, MP4_SEEK_NEAREST, false},
                                  {TRACK_TYPE_TEXT, MP4_SEEK_BACKWARD, false}};
        return RunSeek(r, time, steps, 3);
    }
    const SeekStep steps[] = {{TRACK_TYPE_AUDIO, MP4_SEEK_BACKWARD, true},
                              {TRACK_TYPE_VIDEO, MP4_SEEK_BACKWARD, true},
                              {TRACK_TYPE_TEXT, MP4_SEEK_BACKWARD, false}};
    return RunSeek(r, time, steps, 3);
}

bool Mp4Reader_SeekDirection(Mp4Reader* r, uint32_t* time, uint32_t forward) {
    uint32_t mode = forward ? MP4_SEEK_FORWARD : MP4_SEEK_BACKWARD;
    const SeekStep steps[] = {{TRACK_TYPE_VIDEO, mode, true},
                              {TRACK_TYPE_AUDIO, mode, false},
                              {TRACK_TYPE_TEXT, mode, false}};
    return RunSeek(r, time, steps, 3);
}

bool Mp4Reader_SeekByText(Mp4Reader* r, uint32_t* time, uint32_t forward) {
    if (!r->hasTrack[TRACK_TYPE_TEXT]) return 0;
    const SeekStep steps[] = {
        {TRACK_TYPE_TEXT, forward ? MP4_SEEK_FORWARD : MP4_SEEK_BACKWARD, true},
        {TRACK_TYPE_AUDIO, MP4_SEEK_NEAREST, false},
        {TRACK_TYPE_VIDEO, MP4_SEEK_BACKWARD, false}};
    return RunSeek(r, time, steps, 3);
}

bool Mp4Reader_SeekTrack(Mp4Reader* r, uint32_t* time, uint32_t type) {
    Mp4Track* t = Selected(r, type);
    if (!t) return 0;
    Found f;
    if (!FindSample(r, t, *time, MP4_SEEK_FORWARD, &f)) return 0;
    Commit(t, f);
    *time = f.timeMs;
    return 1;
}

bool Mp4Reader_SelectTrack(Mp4Reader* r, uint32_t index, uint32_t time, uint32_t type) {
    if (type < 1 || type > 3) return 0;
    uint32_t seen = 0;
    for (uint32_t i = 0; i < r->trackCount; ++i) {
        Mp4Track* t = r->tracks[i];
        if (t->type != type) continue;
        if (seen++ != index) continue;
        if (r->hasTrack[type] && r->selected[type] == i) return 0;
        Found f;
        if (!FindSample(r, t, time, MP4_SEEK_BACKWARD, &f)) return 0;
        Commit(t, f);
        r->selected[type] = i;
        r->hasTrack[type] = 1;
        return 1;
    }
    return 0;
}

bool Mp4Reader_FindMoov(Mp4Reader* r) {
    uint32_t avail = Stream_GetAvailable(r->stream);
    uint32_t pos = r->walkPos;
    while (pos < avail && avail - pos >= 8) {
        BoxIn in{r, pos, avail, false};
        uint32_t size = in.Read(4);
        uint32_t type = in.Read(4);
        if (size < 8 || size > avail - pos) break;
        if (type == Tag("moov")) {
            r->walkPos = pos;
            Stream_Seek(r->stream, r->topCursor, pos + 8);
            return 1;
        }
        pos += size;
    }
    r->walkPos = pos;
    Stream_Seek(r->stream, r->topCursor, pos);
    return 0;
}

uint32_t Mp4Reader_TrackCount(const Mp4Reader* r) { return r ? r->trackCount : 0; }

int Mp4Reader_TrackAt(const Mp4Reader* r, uint32_t index, uint32_t* type, uint32_t* sampleCount,
                      uint32_t* nextSample) {
    if (!r || index >= r->trackCount) return 0;
    const Mp4Track* t = r->tracks[index];
    if (type) *type = t->type;
    if (sampleCount) *sampleCount = t->sampleCount;
    if (nextSample) *nextSample = t->live.sample;
    return 1;
}
