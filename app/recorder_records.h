// The recorder's data track: the text samples of a clip (NMEA position
// sentences and byte-coded G-sensor records), the lookup of the sample due at
// a drawn frame, and the decoding of both kinds of record for the labels.
#pragma once

#include <cstddef>
#include <cstdint>

enum : uint32_t {
    TEXT_SAMPLE_BYTES = 1024,  // data bytes kept per sample
    TEXT_SAMPLE_MAX = 1024,    // samples kept per clip
};

struct TextTrackSample {
    uint32_t timeMs;
    uint8_t data[TEXT_SAMPLE_BYTES];
};

// The table of one clip; entries after the count are zero.
struct TextSampleTable {
    TextTrackSample samples[TEXT_SAMPLE_MAX];
    uint32_t count;
};

// Where the frame-text lookup stands; kept across clips.
struct SampleCursor {
    int32_t index = -1;
    uint32_t lastFrameMs = 0;
};

// The index of the sample due at frame time frameMs, or -1 when none is.
// The walk from the cursor is bounded, so it ends on every table.
int32_t FindDueSample(const TextSampleTable& table, uint32_t frameMs, SampleCursor* cursor);

// The debug line written for a found sample ("" when index is out of range).
void FormatLookupTrace(const TextSampleTable& table, uint32_t frameMs, int32_t index, char* out,
                       size_t outSize);

// G-sensor record: 'M' at byte 0 or 1.
bool IsGSensorRecord(const uint8_t* data);

struct GSensorValues {
    float x, y, z;  // g
    int year, month, day, hour, minute, second;
};

// False when the sample is not a G-sensor record.
bool GSensor_Decode(const TextTrackSample& sample, GSensorValues* out);

// "YYYY/MM/DD hh:mm:ss" of a G-sensor record into the overlay buffer; returns
// the text length (0 when the buffer has no room or the sample is no record).
uint32_t GSensor_FormatOverlay(const TextTrackSample& sample, char* out, uint32_t outSize);

enum : int {
    GPS_FIELD_SLOTS = 12,
    GPS_FIELD_CHARS = 10,
};

struct GpsFields {
    char field[GPS_FIELD_SLOTS][GPS_FIELD_CHARS + 1];
    int count;  // slots filled
};

// Splits the sample's text (up to its NUL, never past the entry) at commas.
// Fields beyond the slots are dropped, longer fields are cut to the slot.
void Gps_SplitFields(const TextTrackSample& sample, GpsFields* out);

// ddmm.mmmm (or dddmm.mmmm), signed, to degrees.
double Gps_ToDegrees(double value);

struct GpsFix {
    double latitude, longitude;  // degrees, S and W negative
    float speedKmh;
    char latitudeText[40];   // "%+011f %s" with the hemisphere field
    char longitudeText[40];  // the same for the longitude
};

// False when the sentence is not usable (status other than 'A', or a
// position that is not a number): nothing should change then.
bool Gps_Decode(const TextTrackSample& sample, GpsFix* out);

// The main dialog's change detection for G-sensor records: which labels to
// rewrite, and their texts. Starts with all values 0.
class GSensorLabels {
public:
    struct Update {
        bool axesChanged;
        char axisText[3][16];  // "%+.3f" of x, y, z
        bool timeChanged;
        char dateText[40];  // "YYYY/MM/DD hh:mm:ss"
    };
    // False when the sample is not a G-sensor record (nothing changes).
    bool Apply(const TextTrackSample& sample, Update* out);

private:
    float m_x = 0, m_y = 0, m_z = 0;
    int m_hour = 0, m_minute = 0, m_second = 0;
};
