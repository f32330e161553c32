#include "engine/decode/text_decoder.h"

#include <cstring>

#include "engine/platform/os.h"
#include "engine/player_result.h"
#include "engine/platform/strutil.h"

namespace {

constexpr int32_t kOutOfMemory = PLAYER_E_OUT_OF_MEMORY;
constexpr int32_t kTextDecoderInitFailed = PLAYER_E_TEXT_DECODER_INIT;

constexpr uint32_t Tag(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}
constexpr uint32_t kT140 = Tag('T', '1', '4', '0');
constexpr uint32_t kSami = Tag('S', 'A', 'M', 'I');
constexpr uint32_t kBlbx = Tag('B', 'L', 'B', 'X');

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kYellow = 0x00FFFF;
constexpr uint32_t kMaxText = SUBTITLE_RUN_CHARS - 1;
constexpr uint32_t kSgrNumbers = 20;
constexpr uint32_t kSamiCollect = 1024;

// Names in lookup order; the first whose letters begin the given name wins.
struct NamedColor {
    const char* name;
    uint32_t color;
};
const NamedColor kNamedColors[] = {
    {"black", 0x000000},  {"blue", 0xFF0000}, {"royalblue", 0xFF0000}, {"green", 0x00FF00},
    {"yellow", 0x00FFFF}, {"red", 0x0000FF},  {"magenta", 0xFF00FF},   {"cyan", 0xFFFF00},
};

// ECMA-48 colours 0-7: black, red, green, yellow, blue, magenta, cyan, white.
const uint32_t kSgrColors[8] = {0x000000, 0x0000FF, 0x00FF00, 0x00FFFF,
                                0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

char16_t Fold(char16_t c) { return c >= 'A' && c <= 'Z' ? char16_t(c + ('a' - 'A')) : c; }

template <typename Char>
uint32_t ColorFromName(const Char* name) {
    if (!name) return kWhite;
    for (const NamedColor& n : kNamedColors) {
        size_t i = 0;
        while (n.name[i] && name[i] && Fold(char16_t(name[i])) == char16_t(n.name[i])) ++i;
        if (!n.name[i]) return n.color;
    }
    return kWhite;
}

bool IsWordChar(char16_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

void SetRunText(SubtitleRun* run, const char16_t* text, uint32_t count) {
    if (count > kMaxText) count = kMaxText;
    std::memcpy(run->text, text, count * sizeof(char16_t));
    run->text[count] = 0;
}

void DecodeT140(TextDecoder* d, const uint8_t* bytes, uint32_t length, SubtitleFrame* frame) {
    // length 0 would mean "up to a terminator" to the converter; a sample
    // has none.
    uint32_t n = length ? Utf8_ToUtf16(bytes, length, d->text, 128, 1) : 0;
    d->text[n] = 0;

    uint32_t closed = 0;
    SubtitleRun* run = &frame->runs[0];
    run->color = d->foreground;
    run->text[0] = ' ';
    run->text[1] = 0;
    run->length = 1;
    uint32_t count = 0;     // characters of the current run
    bool dropping = false;  // a 33rd run was asked for
    bool in_params = false;
    uint32_t param_count = 0;

    for (uint32_t i = 0; i < n; ++i) {
        char16_t c = d->text[i];
        if (!in_params) {
            if (c == 0x9B) {
                in_params = true;
                param_count = 0;
                if (count && !dropping) {
                    run->length = count > kMaxText ? kMaxText : count;
                    run->text[run->length] = 0;
                    if (closed + 1 < SUBTITLE_MAX_RUNS) {
                        ++closed;
                        run = &frame->runs[closed];
                        run->color = d->foreground;
                        run->length = 0;
                        run->text[0] = 0;
                        count = 0;
                    } else {
                        dropping = true;
                    }
                }
                continue;
            }
            if (dropping) continue;
            if (count < kMaxText) run->text[count] = c;
            ++count;
            continue;
        }
        if (c == 'm') {
            if (param_count) {
                TextSgr_Apply(d, d->params, param_count);
                if (!dropping) run->color = d->foreground;
            }
            in_params = false;
            if (!dropping) count = 0;  // the run's text restarts
            continue;
        }
        if (param_count < 127) d->params[param_count++] = c;
    }

    if (!dropping) {
        if (count) {
            run->length = count > kMaxText ? kMaxText : count;
            run->text[run->length] = 0;
        } else if (closed > 0) {
            // A sample ending with a colour change leaves an empty run.
            run->length = 0;
            run->text[0] = 0;
        }
    }
    frame->run_count = closed + 1;
    if (frame->run_count >= 2 && frame->runs[0].length == 1 && frame->runs[0].text[0] == ' ')
        frame->runs[0].color = frame->runs[1].color;
}

void DecodeSami(TextDecoder* d, const uint8_t* bytes, uint32_t length, SubtitleFrame* frame) {
    uint32_t n = length / 2;
    auto at = [bytes](uint32_t i) { return char16_t(bytes[2 * i] | bytes[2 * i + 1] << 8); };

    char16_t collect[kSamiCollect];
    uint32_t collected = 0;
    uint32_t closed = 0;
    SubtitleRun* run = &frame->runs[0];
    run->color = d->foreground;
    run->text[0] = 0;
    run->length = 1;

    uint32_t i = 0;
    while (i < n) {
        char16_t c = at(i++);
        if (c != '<') {
            if (collected < kSamiCollect) collect[collected++] = c;
            continue;
        }
        uint32_t tag = i;
        while (i < n && at(i) != '>') ++i;
        if (i >= n) break;  // an unterminated tag ends the sample
        uint32_t tag_end = i++;

        uint32_t p = tag;
        bool closing = p < tag_end && at(p) == '/';
        if (closing) ++p;
        char16_t name[8];
        uint32_t name_len = 0;
        while (p < tag_end && IsWordChar(at(p))) {
            if (name_len < 7) name[name_len] = Fold(at(p));
            ++name_len;
            ++p;
        }
        bool is_br = !closing && name_len == 2 && name[0] == 'b' && name[1] == 'r';
        bool is_font =
            name_len == 4 && name[0] == 'f' && name[1] == 'o' && name[2] == 'n' && name[3] == 't';
        if (is_br) {
            if (collected + 2 <= kSamiCollect) {
                collect[collected++] = '\r';
                collect[collected++] = '\n';
            }
            continue;
        }
        if (!is_font) continue;

        // A font tag starts a new run for the text after it.
        if (collected) {
            if (closed >= SUBTITLE_MAX_RUNS) {
                collected = 0;
            } else {
                SetRunText(run, collect, collected);
                run->length = 0;
                ++closed;
                collected = 0;
                if (closed < SUBTITLE_MAX_RUNS) {
                    run = &frame->runs[closed];
                    run->color = d->foreground;
                    run->text[0] = 0;
                    run->length = 1;
                }
            }
        }
        if (closing) continue;

        // The first word after the name; when it is "color" the next word
        // names the colour.
        auto next_word = [&](uint32_t* start) -> uint32_t {
            while (p < tag_end && !IsWordChar(at(p))) {
                if (at(p) == '\r' || at(p) == '\n') return 0;
                ++p;
            }
            *start = p;
            while (p < tag_end && IsWordChar(at(p))) ++p;
            return p - *start;
        };
        uint32_t word = 0, len = next_word(&word);
        static const char16_t kColor[] = u"color";
        bool is_color = len == 5;
        for (uint32_t k = 0; is_color && k < 5; ++k) is_color = Fold(at(word + k)) == kColor[k];
        if (!is_color) continue;
        len = next_word(&word);
        char16_t value[32];
        uint32_t v = 0;
        for (; v < len && v < 31; ++v) value[v] = at(word + v);
        value[v] = 0;
        if (closed < SUBTITLE_MAX_RUNS) run->color = TextColor_FromNameW(value);
    }

    if (collected && closed < SUBTITLE_MAX_RUNS) {
        SetRunText(run, collect, collected);
        run->length = 0;
        ++closed;
    }
    frame->run_count = closed;
}

}  // namespace

uint32_t TextColor_FromName(const char* name) { return ColorFromName(name); }

uint32_t TextColor_FromNameW(const char16_t* name) { return ColorFromName(name); }

void TextColor_FromSgr(uint32_t code, uint32_t* fg, uint32_t* bg) {
    if (code == 0) {
        *fg = kWhite;
        *bg = kBlack;
    } else if (code >= 30 && code <= 37) {
        *fg = kSgrColors[code - 30];
    } else if (code == 39) {
        *fg = kYellow;
        *bg = kBlack;
    } else if (code >= 40 && code <= 47) {
        *bg = kSgrColors[code - 40];
    }
}

void TextSgr_Apply(TextDecoder* d, const char16_t* params, uint32_t count) {
    if (!d || !params) return;
    uint32_t numbers[kSgrNumbers] = {0};
    uint32_t used = 1;
    for (uint32_t i = 0; i < count; ++i) {
        if (params[i] == ';') {
            if (used < kSgrNumbers) ++used;
            numbers[used - 1] = 0;  // a further number replaces the last
            continue;
        }
        numbers[used - 1] = numbers[used - 1] * 10 + uint32_t(params[i] - '0');
    }
    bool has_foreground = false;
    for (uint32_t i = 0; i < used; ++i) has_foreground |= numbers[i] >= 30 && numbers[i] <= 37;
    for (uint32_t i = 0; i < used; ++i) {
        if (has_foreground && (numbers[i] == 0 || numbers[i] == 39)) continue;
        TextColor_FromSgr(numbers[i], &d->foreground, &d->background);
    }
}

int32_t TextDecoder_Create(TextDecoder** out, const TextTrackInfo* track) {
    if (!out) return kTextDecoderInitFailed;
    *out = nullptr;
    uint32_t tag = track ? track->codec : 0;
    if (tag != kT140 && tag != kSami && tag != kBlbx) return kTextDecoderInitFailed;
    TextDecoder* d = static_cast<TextDecoder*>(OS_MallocZero(sizeof(TextDecoder)));
    if (!d) return kOutOfMemory;
    d->codec = tag;
    d->foreground = kWhite;
    d->background = kBlack;
    *out = d;
    return 0;
}

void TextDecoder_Destroy(TextDecoder* d) { OS_Free(d); }

int TextDecoder_Decode(TextDecoder* d, MediaSample* sample, SubtitleFrame* frame) {
    if (!d || !sample || !frame) return 1;
    const uint8_t* bytes = sample->data;
    uint32_t length = bytes ? sample->length : 0;
    if (d->codec == kT140)
        DecodeT140(d, bytes, length, frame);
    else if (d->codec == kSami)
        DecodeSami(d, bytes, length, frame);
    frame->time = sample->time;
    if (sample->data) sample->data += sample->length;
    sample->length = 0;
    return 1;
}
