#include "engine/decode/text_decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t Tag(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

constexpr uint32_t kRed = 0x0000FF, kWhite = 0xFFFFFF, kBlue = 0xFF0000, kGreen = 0x00FF00;

struct Decoder {
    TextDecoder* d = nullptr;
    explicit Decoder(const char (&codec)[5]) {
        TextTrackInfo track = {Tag(codec), 0, 1024, 0};
        EXPECT_EQ(TextDecoder_Create(&d, &track), 0);
    }
    ~Decoder() { TextDecoder_Destroy(d); }
};

struct Frame {
    std::unique_ptr<SubtitleFrame> f{new SubtitleFrame()};
};

// Decodes bytes held in a heap block of exactly their size.
void Decode(TextDecoder* d, const std::vector<uint8_t>& bytes, SubtitleFrame* frame,
            uint32_t time = 0) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size() + 1]);
    if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
    MediaSample s;
    std::memset(&s, 0, sizeof(s));
    s.data = copy.get();
    s.length = uint32_t(bytes.size());
    s.time = time;
    EXPECT_EQ(TextDecoder_Decode(d, &s, frame), 1);
    EXPECT_EQ(s.length, 0u);
    EXPECT_EQ(s.data, copy.get() + bytes.size());
    EXPECT_EQ(frame->time, time);
}

std::vector<uint8_t> Utf8(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

std::vector<uint8_t> Utf16(const std::u16string& s) {
    std::vector<uint8_t> v;
    for (char16_t c : s) {
        v.push_back(uint8_t(c));
        v.push_back(uint8_t(c >> 8));
    }
    return v;
}

std::u16string Text(const SubtitleRun& r) { return std::u16string(r.text); }

struct Run {
    std::u16string text;
    uint32_t color;
    uint32_t length;
};

struct T140Case {
    const char* name;
    std::string bytes;
    std::vector<Run> runs;
};

const T140Case kT140[] = {
    {"empty", "", {{u" ", kWhite, 1}}},
    {"plain", "Hello", {{u"Hello", kWhite, 5}}},
    {"csi_from_utf8",
     "\xC2\x9B"
     "31mHi",
     {{u"Hi", kRed, 2}}},
    {"csi_lone_byte",
     "\x9B"
     "31mHi",
     {{u"Hi", kRed, 2}}},
    {"two_colours",
     "A\x9B"
     "32mB",
     {{u"A", kWhite, 1}, {u"B", kGreen, 1}}},
    {"leading_space_takes_next_colour",
     " \x9B"
     "34mX",
     {{u" ", kBlue, 1}, {u"X", kBlue, 1}}},
    {"reset_skipped_with_foreground",
     "\x9B"
     "0;31mR",
     {{u"R", kRed, 1}}},
    {"korean_utf8", "\xEC\x95\x88\xEB\x85\x95", {{u"\uC548\uB155", kWhite, 2}}},
    {"cut_sequence_ends", "ab\xEC\x95", {{u"ab", kWhite, 2}}},
    {"trailing_colour_change",
     "A\x9B"
     "31m",
     {{u"A", kWhite, 1}, {u"", kRed, 0}}},
    {"empty_sgr_keeps_colour", "\x9Bmx", {{u"x", kWhite, 1}}},
};

class T140 : public ::testing::TestWithParam<T140Case> {};

TEST_P(T140, Runs) {
    const T140Case& c = GetParam();
    Decoder dec("T140");
    Frame fr;
    Decode(dec.d, Utf8(c.bytes), fr.f.get(), 1234);
    ASSERT_EQ(fr.f->run_count, c.runs.size());
    for (size_t i = 0; i < c.runs.size(); ++i) {
        EXPECT_EQ(Text(fr.f->runs[i]), c.runs[i].text) << i;
        EXPECT_EQ(fr.f->runs[i].color, c.runs[i].color) << i;
        EXPECT_EQ(fr.f->runs[i].length, c.runs[i].length) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(TextDecoder, T140, ::testing::ValuesIn(kT140),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextDecoder, T140ColoursPersistAndLimitsHold) {
    Decoder dec("T140");
    Frame fr;
    Decode(dec.d,
           Utf8("\x9B"
                "33;44mx"),
           fr.f.get());
    EXPECT_EQ(dec.d->foreground, 0x00FFFFu);
    EXPECT_EQ(dec.d->background, 0xFF0000u);
    Decode(dec.d, Utf8("next"), fr.f.get());
    EXPECT_EQ(fr.f->runs[0].color, 0x00FFFFu);  // the colour carried over
    Decode(dec.d,
           Utf8("\x9B"
                "0m"),
           fr.f.get());
    EXPECT_EQ(dec.d->foreground, kWhite);
    EXPECT_EQ(dec.d->background, 0u);

    // 200 characters: 128 converted, 127 stored, length capped at 127.
    Decode(dec.d, Utf8(std::string(200, 'z')), fr.f.get());
    ASSERT_EQ(fr.f->run_count, 1u);
    EXPECT_EQ(fr.f->runs[0].length, 127u);
    EXPECT_EQ(Text(fr.f->runs[0]).size(), 127u);

    // 40 runs (within the 128 characters converted): 32 are kept.
    std::string many;
    for (int i = 0; i < 40; ++i) many += "\x9Bma";
    Decode(dec.d, Utf8(many), fr.f.get());
    EXPECT_EQ(fr.f->run_count, 32u);
    for (uint32_t i = 0; i < 32; ++i) EXPECT_EQ(Text(fr.f->runs[i]), u"a") << i;
}

TEST(TextDecoder, SgrParameters) {
    struct Row {
        const char* name;
        std::u16string params;
        uint32_t fg, bg;
    };
    // Starting from yellow on blue each time.
    const Row rows[] = {
        {"reset_alone", u"0", kWhite, 0},
        {"reset_skipped", u"0;31", kRed, 0xFF0000},
        {"39_skipped_with_foreground", u"39;32", kGreen, 0xFF0000},
        {"39_alone", u"39", 0x00FFFF, 0},
        {"background", u"41", 0x00FFFF, kRed},
        {"white_foreground", u"37", kWhite, 0xFF0000},
        {"unknown_code", u"5", 0x00FFFF, 0xFF0000},
        {"garbage_digits", u"3x", 0x00FFFF, 0xFF0000},
        {"more_than_twenty", u"1;1;1;1;1;1;1;1;1;1;1;1;1;1;1;1;1;1;1;1;31", kRed, 0xFF0000},
        {"order_matters", u"31;0", kRed, 0xFF0000},
    };
    for (const Row& r : rows) {
        Decoder dec("T140");
        dec.d->foreground = 0x00FFFF;
        dec.d->background = 0xFF0000;
        TextSgr_Apply(dec.d, r.params.data(), uint32_t(r.params.size()));
        EXPECT_EQ(dec.d->foreground, r.fg) << r.name;
        EXPECT_EQ(dec.d->background, r.bg) << r.name;
    }
}

struct SamiCase {
    const char* name;
    std::u16string text;
    std::vector<Run> runs;
};

const SamiCase kSami[] = {
    {"line_break", u"a<br>b", {{u"a\r\nb", kWhite, 0}}},
    {"font_colour", u"<font color=red>x", {{u"x", kRed, 0}}},
    {"capitals", u"<FONT COLOR=\"Royalblue\">x", {{u"x", kBlue, 0}}},
    {"colour_then_plain",
     u"a<font color=green>b</font>c",
     {{u"a", kWhite, 0}, {u"b", kGreen, 0}, {u"c", kWhite, 0}}},
    {"unknown_colour_white", u"<font color=\"#ff0000\">x", {{u"x", kWhite, 0}}},
    {"face_not_colour", u"<font face=gulim>x", {{u"x", kWhite, 0}}},
    {"other_tags_ignored", u"<p class=x>hi<i>!</i>", {{u"hi!", kWhite, 0}}},
    {"unterminated_tag_ends", u"ab<font color=red", {{u"ab", kWhite, 0}}},
    {"empty_tag", u"a<>b", {{u"ab", kWhite, 0}}},
    {"empty", u"", {}},
};

class Sami : public ::testing::TestWithParam<SamiCase> {};

TEST_P(Sami, Runs) {
    const SamiCase& c = GetParam();
    Decoder dec("SAMI");
    Frame fr;
    Decode(dec.d, Utf16(c.text), fr.f.get(), 77);
    ASSERT_EQ(fr.f->run_count, c.runs.size());
    for (size_t i = 0; i < c.runs.size(); ++i) {
        EXPECT_EQ(Text(fr.f->runs[i]), c.runs[i].text) << i;
        EXPECT_EQ(fr.f->runs[i].color, c.runs[i].color) << i;
        EXPECT_EQ(fr.f->runs[i].length, c.runs[i].length) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(TextDecoder, Sami, ::testing::ValuesIn(kSami),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextDecoder, SamiLimits) {
    Decoder dec("SAMI");
    Frame fr;
    std::u16string many;
    for (int i = 0; i < 40; ++i) many += u"<font color=red>r";
    Decode(dec.d, Utf16(many), fr.f.get());
    EXPECT_EQ(fr.f->run_count, 32u);
    std::u16string long_text(3000, u'w');
    Decode(dec.d, Utf16(long_text), fr.f.get());
    ASSERT_EQ(fr.f->run_count, 1u);
    EXPECT_EQ(Text(fr.f->runs[0]).size(), 127u);
    // An odd byte count leaves the last byte alone.
    std::vector<uint8_t> odd = Utf16(u"ok");
    odd.push_back('!');
    Decode(dec.d, odd, fr.f.get());
    EXPECT_EQ(Text(fr.f->runs[0]), u"ok");
}

TEST(TextDecoder, RecorderDataIsConsumedWithoutDrawing) {
    Decoder dec("BLBX");
    Frame fr;
    fr.f->run_count = 0;
    // A G-sensor record: 'M', axes, date and time bytes.
    Decode(dec.d, {0x00, 'M', 0x05, 0xFB, 0x38, 24, 3, 15, 10, 20, 30}, fr.f.get(), 5000);
    EXPECT_EQ(fr.f->run_count, 0u);
    EXPECT_EQ(fr.f->time, 5000u);
    Decode(dec.d, Utf8("$GPRMC,102030,A,3733.1234,N,12658.5678,E,30.5,90.0,150324,,,A"), fr.f.get(),
           6000);
    EXPECT_EQ(fr.f->run_count, 0u);
    EXPECT_EQ(fr.f->time, 6000u);
}

TEST(TextDecoder, CreateChecksTheCodec) {
    TextDecoder* d = reinterpret_cast<TextDecoder*>(1);
    TextTrackInfo track = {Tag("tx3g"), 0, 1024, 0};
    EXPECT_EQ(TextDecoder_Create(&d, &track), int32_t(0x80000035u));
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(TextDecoder_Create(&d, nullptr), int32_t(0x80000035u));
    track.codec = Tag("SAMI");
    ASSERT_EQ(TextDecoder_Create(&d, &track), 0);
    EXPECT_EQ(d->foreground, kWhite);
    EXPECT_EQ(d->background, 0u);
    TextDecoder_Destroy(d);
    TextDecoder_Destroy(nullptr);
}

TEST(TextDecoder, ColourNames) {
    struct Row {
        const char* name;
        uint32_t color;
    };
    const Row rows[] = {{"black", 0},      {"Blue", kBlue},       {"royalblue", kBlue},
                        {"GREEN", kGreen}, {"yellow", 0x00FFFF},  {"red", kRed},
                        {"redish", kRed},  {"magenta", 0xFF00FF}, {"cyan", 0xFFFF00},
                        {"white", kWhite}, {"re", kWhite},        {"", kWhite}};
    for (const Row& r : rows) {
        EXPECT_EQ(TextColor_FromName(r.name), r.color) << r.name;
        std::u16string wide(r.name, r.name + std::strlen(r.name));
        EXPECT_EQ(TextColor_FromNameW(wide.c_str()), r.color) << r.name;
    }
}

}  // namespace
