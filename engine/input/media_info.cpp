// Media information records: the summary copy and the big-endian images.
#include "engine/media_info.h"

#include <cstdlib>
#include <cstring>

void MediaInfo_Export(MediaInfoSummary* summary, const MediaInfo* info) {
    std::memset(summary, 0, sizeof *summary);
    summary->readerWord0 = info->readerWord0;
    summary->readerWord1 = info->readerWord1;
    summary->duration = info->duration;
    // Counts above the slots a record holds are a damaged record; never read
    // past the arrays.
    uint32_t na = info->audioCount < MEDIAINFO_MAX_AUDIO ? info->audioCount : MEDIAINFO_MAX_AUDIO;
    uint32_t nv = info->videoCount < MEDIAINFO_MAX_VIDEO ? info->videoCount : MEDIAINFO_MAX_VIDEO;
    uint32_t nt = info->textCount < MEDIAINFO_MAX_TEXT ? info->textCount : MEDIAINFO_MAX_TEXT;
    for (uint32_t i = 0; i < na; ++i) {
        summary->audio[i].codec = info->audio[i].codec;
        summary->audio[i].sampleRate = info->audio[i].sampleRate;
        summary->audio[i].channels = info->audio[i].channels;
        summary->audio[i].bitrate = info->audio[i].bitrate;
    }
    for (uint32_t i = 0; i < nv; ++i) {
        summary->video[i].codec = info->video[i].codec;
        summary->video[i].width = info->video[i].width;
        summary->video[i].height = info->video[i].height;
        summary->video[i].frameRate = info->video[i].frameRate;
        summary->video[i].bitrate = info->video[i].bitrate;
    }
    for (uint32_t i = 0; i < nt; ++i) {
        summary->text[i].codec = info->text[i].codec;
        summary->text[i].readerWord = info->text[i].readerWord;
    }
    summary->audioCount = info->audioCount;
    summary->videoCount = info->videoCount;
    summary->textCount = info->textCount;
}

void MediaInfo_Import(MediaInfo* info, const MediaInfoSummary* summary) {
    info->readerWord0 = summary->readerWord0;
    info->readerWord1 = summary->readerWord1;
    info->duration = summary->duration;
    if (summary->audioCount) {
        info->audioCount = summary->audioCount;
        for (uint32_t i = 0; i < MEDIAINFO_MAX_AUDIO && i < summary->audioCount; ++i) {
            info->audio[i].codec = summary->audio[i].codec;
            info->audio[i].sampleRate = summary->audio[i].sampleRate;
            info->audio[i].channels = summary->audio[i].channels;
            info->audio[i].bitrate = summary->audio[i].bitrate;
        }
    }
    if (summary->videoCount) {
        info->videoCount = summary->videoCount;
        for (uint32_t i = 0; i < MEDIAINFO_MAX_VIDEO && i < summary->videoCount; ++i) {
            info->video[i].codec = summary->video[i].codec;
            info->video[i].width = summary->video[i].width;
            info->video[i].height = summary->video[i].height;
            info->video[i].frameRate = summary->video[i].frameRate;
            info->video[i].bitrate = summary->video[i].bitrate;
        }
    }
    if (summary->textCount) {
        info->textCount = summary->textCount;
        for (uint32_t i = 0; i < MEDIAINFO_MAX_TEXT && i < summary->textCount; ++i) {
            info->text[i].codec = summary->text[i].codec;
            info->text[i].readerWord = summary->text[i].readerWord;
        }
    }
}

static size_t WideLen(const char16_t* s) {
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

void ContentInfo_Free(ContentInfo* ci) {
    if (!ci) return;
    for (auto& s : ci->strings) std::free(s.text);
    for (auto* d : ci->data) std::free(d);
    std::memset(ci, 0, sizeof *ci);
}

namespace {

uint8_t* Put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
    return p + 4;
}

uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Words of each record in record order; configuration bytes are copied as
// they are.
constexpr size_t kHeaderWords = 8;
constexpr size_t kAudioBytes = (7 + 5) * 4 + MEDIAINFO_CONFIG_BYTES;
constexpr size_t kVideoBytes = (8 + 3) * 4 + MEDIAINFO_CONFIG_BYTES;
constexpr size_t kTextBytes = 4 * 4;

}  // namespace

size_t MediaInfo_ImageSize(void) {
    return kHeaderWords * 4 + MEDIAINFO_MAX_AUDIO * kAudioBytes +
           MEDIAINFO_MAX_VIDEO * kVideoBytes + MEDIAINFO_MAX_TEXT * kTextBytes;
}

uint8_t* MediaInfo_WriteImage(const MediaInfo* m, uint8_t* p) {
    const uint32_t head[kHeaderWords] = {m->readerWord0, m->readerWord1,   m->reserved,
                                         m->duration,    m->bufferingTime, m->audioCount,
                                         m->videoCount,  m->textCount};
    for (uint32_t w : head) p = Put32(p, w);
    for (const auto& a : m->audio) {
        const uint32_t w1[7] = {a.codec,           a.sampleRate, a.channels, a.bitsPerSample,
                                a.samplesPerFrame, a.reserved,   a.bitrate};
        for (uint32_t w : w1) p = Put32(p, w);
        std::memcpy(p, a.config, sizeof a.config);
        p += sizeof a.config;
        const uint32_t w2[5] = {a.configLength, a.maxSampleSize, a.pcmBufferSamples, a.duration,
                                a.perPacketTime};
        for (uint32_t w : w2) p = Put32(p, w);
    }
    for (const auto& v : m->video) {
        const uint32_t w1[8] = {v.codec,     v.outputFourCC, v.width,        v.height,
                                v.frameRate, v.reserved,     v.bitsPerPixel, v.bitrate};
        for (uint32_t w : w1) p = Put32(p, w);
        std::memcpy(p, v.config, sizeof v.config);
        p += sizeof v.config;
        const uint32_t w2[3] = {v.configLength, v.maxSampleSize, v.duration};
        for (uint32_t w : w2) p = Put32(p, w);
    }
    for (const auto& t : m->text) {
        const uint32_t w[4] = {t.codec, t.readerWord, t.maxSampleSize, t.duration};
        for (uint32_t x : w) p = Put32(p, x);
    }
    return p;
}

const uint8_t* MediaInfo_ReadImage(MediaInfo* m, const uint8_t* p, const uint8_t* end) {
    if (!p || end < p || size_t(end - p) < MediaInfo_ImageSize()) return nullptr;
    uint32_t* head[kHeaderWords] = {&m->readerWord0, &m->readerWord1,   &m->reserved,
                                    &m->duration,    &m->bufferingTime, &m->audioCount,
                                    &m->videoCount,  &m->textCount};
    for (uint32_t* w : head) *w = Get32(p), p += 4;
    for (auto& a : m->audio) {
        uint32_t* w1[7] = {&a.codec,           &a.sampleRate, &a.channels, &a.bitsPerSample,
                           &a.samplesPerFrame, &a.reserved,   &a.bitrate};
        for (uint32_t* w : w1) *w = Get32(p), p += 4;
        std::memcpy(a.config, p, sizeof a.config);
        p += sizeof a.config;
        uint32_t* w2[5] = {&a.configLength, &a.maxSampleSize, &a.pcmBufferSamples, &a.duration,
                           &a.perPacketTime};
        for (uint32_t* w : w2) *w = Get32(p), p += 4;
    }
    for (auto& v : m->video) {
        uint32_t* w1[8] = {&v.codec,     &v.outputFourCC, &v.width,        &v.height,
                           &v.frameRate, &v.reserved,     &v.bitsPerPixel, &v.bitrate};
        for (uint32_t* w : w1) *w = Get32(p), p += 4;
        std::memcpy(v.config, p, sizeof v.config);
        p += sizeof v.config;
        uint32_t* w2[3] = {&v.configLength, &v.maxSampleSize, &v.duration};
        for (uint32_t* w : w2) *w = Get32(p), p += 4;
    }
    for (auto& t : m->text) {
        uint32_t* w[4] = {&t.codec, &t.readerWord, &t.maxSampleSize, &t.duration};
        for (uint32_t* x : w) *x = Get32(p), p += 4;
    }
    return p;
}

size_t ContentInfo_StringImageSize(const ContentInfoString* s) {
    if (!s->text) return 1 + (s->wide ? 2 : 1);
    if (s->wide) return 1 + (WideLen(static_cast<const char16_t*>(s->text)) + 1) * 2;
    return 1 + std::strlen(static_cast<const char*>(s->text)) + 1;
}

uint8_t* ContentInfo_WriteString(const ContentInfoString* s, uint8_t* p) {
    *p++ = s->wide ? 1 : 0;
    if (s->wide) {
        const char16_t* t = static_cast<const char16_t*>(s->text);
        for (size_t i = 0, n = t ? WideLen(t) : 0; i < n; ++i) {
            *p++ = uint8_t(t[i] >> 8);
            *p++ = uint8_t(t[i]);
        }
        *p++ = 0;
        *p++ = 0;
    } else {
        const char* t = static_cast<const char*>(s->text);
        size_t n = t ? std::strlen(t) : 0;
        std::memcpy(p, t ? t : "", n);
        p += n;
        *p++ = 0;
    }
    return p;
}

const uint8_t* ContentInfo_ReadString(ContentInfoString* s, const uint8_t* p, const uint8_t* end) {
    if (!p || p >= end) return nullptr;
    s->wide = *p++ ? 1 : 0;
    s->text = nullptr;
    if (s->wide) {
        size_t n = 0;
        while (true) {
            if (size_t(end - p) < 2 * (n + 1)) return nullptr;
            if (p[2 * n] == 0 && p[2 * n + 1] == 0) break;
            ++n;
        }
        char16_t* t = static_cast<char16_t*>(std::malloc((n + 1) * sizeof(char16_t)));
        if (!t) return nullptr;
        for (size_t i = 0; i < n; ++i) t[i] = char16_t(p[2 * i] << 8 | p[2 * i + 1]);
        t[n] = 0;
        s->text = t;
        return p + 2 * (n + 1);
    }
    const uint8_t* z = static_cast<const uint8_t*>(std::memchr(p, 0, size_t(end - p)));
    if (!z) return nullptr;
    size_t n = size_t(z - p);
    char* t = static_cast<char*>(std::malloc(n + 1));
    if (!t) return nullptr;
    std::memcpy(t, p, n + 1);
    s->text = t;
    return z + 1;
}

namespace {

// Words in order, most significant byte first.
uint8_t* PutWords(const uint32_t* w, size_t n, uint8_t* p) {
    for (size_t i = 0; i < n; ++i) p = Put32(p, w[i]);
    return p;
}

const uint8_t* GetWords(uint32_t* w, size_t n, const uint8_t* p, const uint8_t* end) {
    if (!p || end < p || size_t(end - p) < n * 4) return nullptr;
    for (size_t i = 0; i < n; ++i, p += 4) w[i] = Get32(p);
    return p;
}

template <typename Record>
uint8_t* WriteBlockRecord(const Record* r, const uint8_t* block, uint8_t* p) {
    p = PutWords(r->words, sizeof r->words / 4, p);
    p = Put32(p, r->length);
    if (r->length) std::memcpy(p, block, r->length);
    return p + r->length;
}

template <typename Record>
const uint8_t* ReadBlockRecord(Record* r, const uint8_t** block, const uint8_t* p,
                               const uint8_t* end) {
    uint32_t w[sizeof r->words / 4 + 1];
    p = GetWords(w, sizeof w / 4, p, end);
    // A length beyond the image is a cut-off image, not a block to trust.
    if (!p || size_t(end - p) < w[sizeof w / 4 - 1]) return nullptr;
    std::memcpy(r->words, w, sizeof r->words);
    r->length = w[sizeof w / 4 - 1];
    *block = p;
    return p + r->length;
}

}  // namespace

uint8_t* MediaInfoSummary_WriteImage(const MediaInfoSummary* s, uint8_t* p) {
    uint32_t w[MEDIAINFO_SUMMARY_IMAGE_BYTES / 4];
    std::memcpy(w, s, sizeof w);
    return PutWords(w, sizeof w / 4, p);
}

const uint8_t* MediaInfoSummary_ReadImage(MediaInfoSummary* s, const uint8_t* p,
                                          const uint8_t* end) {
    uint32_t w[MEDIAINFO_SUMMARY_IMAGE_BYTES / 4];
    p = GetWords(w, sizeof w / 4, p, end);
    if (p) std::memcpy(s, w, sizeof w);
    return p;
}

uint8_t* BlockRecord5_WriteImage(const BlockRecord5* r, const uint8_t* block, uint8_t* out) {
    return WriteBlockRecord(r, block, out);
}

const uint8_t* BlockRecord5_ReadImage(BlockRecord5* r, const uint8_t** block, const uint8_t* in,
                                      const uint8_t* end) {
    return ReadBlockRecord(r, block, in, end);
}

uint8_t* BlockRecord6_WriteImage(const BlockRecord6* r, const uint8_t* block, uint8_t* out) {
    return WriteBlockRecord(r, block, out);
}

const uint8_t* BlockRecord6_ReadImage(BlockRecord6* r, const uint8_t** block, const uint8_t* in,
                                      const uint8_t* end) {
    return ReadBlockRecord(r, block, in, end);
}
