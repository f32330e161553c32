// The recorder's data track: the due-sample lookup over frame sequences, and
// the G-sensor and GPS record decoding behind the labels and the overlay.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/recorder_records.h"

namespace {

std::unique_ptr<TextSampleTable> MakeTable(const std::vector<uint32_t>& times) {
    std::unique_ptr<TextSampleTable> t(new TextSampleTable());
    std::memset(t.get(), 0, sizeof(*t));
    for (size_t i = 0; i < times.size(); ++i) t->samples[i].timeMs = times[i];
    t->count = uint32_t(times.size());
    return t;
}

TextTrackSample Bytes(const std::vector<uint8_t>& bytes) {
    TextTrackSample s;
    std::memset(&s, 0, sizeof(s));
    if (!bytes.empty()) std::memcpy(s.data, bytes.data(), bytes.size());
    return s;
}

TextTrackSample Text(const std::string& text) {
    return Bytes(std::vector<uint8_t>(text.begin(), text.end()));
}

// 'M' at `at`, the axes, three unread bytes, then the date and time.
std::vector<uint8_t> GRecord(int at, uint8_t x, uint8_t y, uint8_t z, uint8_t year) {
    std::vector<uint8_t> b(size_t(at), uint8_t('x'));
    b.insert(b.end(), {'M', x, y, z, 0x55, 0x55, 0x55, year, 3, 9, 14, 5, 59});
    return b;
}

}  // namespace

TEST(RecorderRecords, DueSampleWalk) {
    struct Case {
        const char* name;
        std::vector<uint32_t> times;
        SampleCursor start;
        std::vector<uint32_t> frames;
        std::vector<int32_t> expected;
    };
    std::vector<uint32_t> every33;
    std::vector<int32_t> due33;
    for (uint32_t f = 0; f <= 429; f += 33) {
        every33.push_back(f);
        due33.push_back(f == 0 ? 0 : f <= 198 ? 1 : f <= 297 ? 2 : -1);
    }
    const Case cases[] = {
        {"four samples, a frame every 33 ms", {0, 100, 200, 300}, {}, every33, due33},
        {"jump back from 250 to 50 ms rescans, then walks on",
         {0, 100, 200, 300},
         {},
         {0, 33, 198, 250, 50, 83},
         {0, 1, 1, 2, 0, 1}},
        {"no samples", {}, {}, {0, 100}, {-1, -1}},
        {"a single sample: found from its time by the scan, the walk past it finds nothing",
         {100},
         {},
         {50, 100, 133, 166},
         {-1, 0, -1, 0}},
        {"cursor left at 0 by the last clip, frame before the first sample: ends, finds nothing",
         {100, 200, 300},
         {0, 40},
         {50, 60, 100},
         {-1, -1, 0}},
        {"cursor left at 1, frame before the first sample",
         {100, 200, 300},
         {1, 10},
         {20, 150},
         {-1, 0}},
        {"times that do not rise: all zero", {0, 0, 0}, {}, {0, 66, 99}, {0, -1, -1}},
        {"times that fall", {300, 200, 100}, {1, 140}, {150, 160}, {-1, -1}},
        {"cursor beyond the count rescans", {0, 100, 200}, {7, 0}, {10}, {0}},
    };
    for (const Case& c : cases) {
        auto table = MakeTable(c.times);
        SampleCursor cursor = c.start;
        ASSERT_EQ(c.frames.size(), c.expected.size()) << c.name;
        for (size_t i = 0; i < c.frames.size(); ++i)
            EXPECT_EQ(FindDueSample(*table, c.frames[i], &cursor), c.expected[i])
                << c.name << ", frame " << c.frames[i] << " ms";
    }
}

TEST(RecorderRecords, FullTableOfNonRisingTimesEnds) {
    // A table full of equal times with the frame before them: the walk from
    // every cursor position must end and find nothing.
    auto table = MakeTable(std::vector<uint32_t>(TEXT_SAMPLE_MAX, 500));
    for (int32_t k = 0; k < int32_t(TEXT_SAMPLE_MAX); k += 97) {
        SampleCursor cursor{k, 0};
        EXPECT_EQ(FindDueSample(*table, 100, &cursor), -1) << "cursor " << k;
    }
}

TEST(RecorderRecords, LookupTrace) {
    auto table = MakeTable({0, 100, 200, 300});
    struct Case {
        const char* name;
        uint32_t frame;
        int32_t index;
        const char* expected;
    };
    const Case cases[] = {
        {"first", 0, 0, "[0] : [0]-[100]\r\n"},
        {"middle", 150, 1, "[150] : [0]-[100]-[200]\r\n"},
        {"last", 320, 3, "[320] : [200]-[300]\r\n"},
    };
    for (const Case& c : cases) {
        char line[80];
        FormatLookupTrace(*table, c.frame, c.index, line, sizeof(line));
        EXPECT_STREQ(line, c.expected) << c.name;
    }
}

TEST(RecorderRecords, GSensorRecords) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool isRecord;
        const char* axes;     // "x y z" as the labels show them
        const char* overlay;  // date and time text
    };
    const Case cases[] = {
        {"marker at byte 0", GRecord(0, 0x7F, 0x80, 0x00, 24), true, "+2.286 -2.304 +0.000",
         "2024/03/09 14:05:59"},
        {"marker at byte 1 is read from byte 1", GRecord(1, 0x01, 0xFF, 0x10, 24), true,
         "+0.018 -0.018 +0.288", "2024/03/09 14:05:59"},
        {"negative year byte", GRecord(0, 0, 0, 0, 0xF6), true, "+0.000 +0.000 +0.000",
         "1990/03/09 14:05:59"},
        {"marker at byte 2 is no record", GRecord(2, 1, 1, 1, 24), false, "", ""},
        {"NMEA text is no record", std::vector<uint8_t>({'$', 'G', 'P', 'R', 'M', 'C'}), false, "",
         ""},
    };
    for (const Case& c : cases) {
        const TextTrackSample s = Bytes(c.bytes);
        EXPECT_EQ(IsGSensorRecord(s.data), c.isRecord) << c.name;
        char overlay[4096];
        std::memset(overlay, 'z', sizeof(overlay));
        const uint32_t len = GSensor_FormatOverlay(s, overlay, sizeof(overlay));
        EXPECT_STREQ(overlay, c.overlay) << c.name;
        EXPECT_EQ(len, std::strlen(c.overlay)) << c.name;
        GSensorLabels labels;
        GSensorLabels::Update u;
        EXPECT_EQ(labels.Apply(s, &u), c.isRecord) << c.name;
        if (!c.isRecord) continue;
        const std::string axes =
            std::string(u.axisText[0]) + " " + u.axisText[1] + " " + u.axisText[2];
        EXPECT_EQ(axes, c.axes) << c.name;
        EXPECT_STREQ(u.dateText, c.overlay) << c.name;
    }
}

TEST(RecorderRecords, GSensorLabelsChangeOnly) {
    GSensorLabels labels;
    GSensorLabels::Update u;
    struct Step {
        const char* name;
        std::vector<uint8_t> bytes;
        bool axesChanged, timeChanged;
    };
    std::vector<uint8_t> zeroTime = GRecord(0, 0, 0, 0, 24);
    zeroTime[10] = zeroTime[11] = zeroTime[12] = 0;  // 00:00:00
    const Step steps[] = {
        {"all zero like the start values", zeroTime, false, false},
        {"new axes and time", GRecord(0, 5, 0, 0, 24), true, true},
        {"the same again", GRecord(1, 5, 0, 0, 24), false, false},
        {"one axis moves", GRecord(0, 5, 0, 1, 24), true, false},
    };
    for (const Step& s : steps) {
        ASSERT_TRUE(labels.Apply(Bytes(s.bytes), &u)) << s.name;
        EXPECT_EQ(u.axesChanged, s.axesChanged) << s.name;
        EXPECT_EQ(u.timeChanged, s.timeChanged) << s.name;
    }
}

TEST(RecorderRecords, GpsSentences) {
    struct Case {
        const char* name;
        std::string text;
        bool used;
        const char* latitude;
        const char* longitude;
        float speedKmh;
    };
    const Case cases[] = {
        {"south and east", "$GPRMC,123519,A,3723.2475,S,12702.1234,E,10.0,084.4,230394,003.1,W*6A",
         true, "-037.387458 S", "+127.035390 E", 18.52f},
        {"north and west", "$GPRMC,123519,A,3723.2475,N,12702.1234,W,0.0,0,230394,,*00", true,
         "+037.387458 N", "-127.035390 W", 0.0f},
        {"status V changes nothing", "$GPRMC,123519,V,3723.2475,N,12702.1234,E,5.0,0,230394,,",
         false, "", "", 0},
        {"empty sentence", "", false, "", "", 0},
        {"NMEA 2.3 mode field: 13 fields",
         "$GPRMC,123519,A,3723.2475,N,12702.1234,E,1.0,084.4,230394,003.1,W,A*6A", true,
         "+037.387458 N", "+127.035390 E", 1.852f},
        {"long fields are cut to ten characters",
         "$GPRMC,123519.000000,A,3723.24750000,N,12702.12340000,E,2.0000000000001", true,
         "+037.387458 N", "+127.035390 E", 3.704f},
    };
    for (const Case& c : cases) {
        GpsFix fix;
        ASSERT_EQ(Gps_Decode(Text(c.text), &fix), c.used) << c.name;
        if (!c.used) continue;
        EXPECT_STREQ(fix.latitudeText, c.latitude) << c.name;
        EXPECT_STREQ(fix.longitudeText, c.longitude) << c.name;
        EXPECT_NEAR(fix.speedKmh, c.speedKmh, 1e-4) << c.name;
    }
    EXPECT_NEAR(Gps_ToDegrees(-3723.2475), -37.387458, 1e-6);
}

TEST(RecorderRecords, GpsFieldSlots) {
    struct Case {
        const char* name;
        std::string text;
        int count;
        const char* last;  // the last slot filled
    };
    std::string many = "$GPRMC";
    for (int i = 1; i < 40; ++i) many += ",F" + std::to_string(i);
    const Case cases[] = {
        {"thirteen fields keep the first twelve", "$GPRMC,1,A,3,N,5,E,7,8,9,10,11,12", 12, "11"},
        {"forty fields", many, 12, "F11"},
        {"empty fields take slots", "$GPRMC,,V,,", 4, ""},
        {"a field of 1000 characters", "$GPRMC," + std::string(1000, '9'), 2, "9999999999"},
    };
    for (const Case& c : cases) {
        GpsFields f;
        Gps_SplitFields(Text(c.text), &f);
        EXPECT_EQ(f.count, c.count) << c.name;
        EXPECT_STREQ(f.field[f.count - 1], c.last) << c.name;
    }
    // A full entry without a NUL ends at the entry's end.
    TextTrackSample full;
    std::memset(full.data, 'a', sizeof(full.data));
    full.data[3] = ',';
    GpsFields f;
    Gps_SplitFields(full, &f);
    EXPECT_EQ(f.count, 2);
    EXPECT_STREQ(f.field[1], "aaaaaaaaaa");
}
