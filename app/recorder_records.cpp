#include "app/recorder_records.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Time of entry i; entries past the table read as the zeroed tail.
uint32_t TimeAt(const TextSampleTable& table, int64_t i) {
    if (i < 0 || i >= int64_t(TEXT_SAMPLE_MAX)) return 0;
    return table.samples[i].timeMs;
}

bool FullScan(const TextSampleTable& table, int32_t n, uint32_t t, int32_t* found) {
    for (int32_t i = 0; i < n; ++i) {
        bool pass;
        if (i > 0 && i < n - 1)
            pass = TimeAt(table, i - 1) <= t && TimeAt(table, i + 1) >= t;
        else
            pass = TimeAt(table, i) <= t;
        if (pass) {
            *found = i;
            return true;
        }
    }
    return false;
}

}  // namespace

int32_t FindDueSample(const TextSampleTable& table, uint32_t frameMs, SampleCursor* cursor) {
    const uint32_t t = frameMs;
    if (cursor->lastFrameMs > t) cursor->index = -1;
    cursor->lastFrameMs = t;
    const int32_t n = int32_t(table.count < TEXT_SAMPLE_MAX ? table.count : TEXT_SAMPLE_MAX);
    if (n == 0) return -1;

    int32_t k = cursor->index;
    if (k < 0 || k > n - 1) {
        int32_t found;
        if (!FullScan(table, n, t, &found)) return -1;
        cursor->index = found;
        return found;
    }

    // A legitimate walk visits each entry at most once (plus the one after a
    // single sample); times that do not rise, or a frame before the first
    // sample, would otherwise bounce between entries 0 and 1 for ever.
    for (int32_t steps = 0; steps <= n; ++steps) {
        if (k > 0 && k < n - 1) {
            const uint32_t before = TimeAt(table, k - 1);
            const uint32_t after = TimeAt(table, k + 1);
            if (before <= t && t <= after) {
                cursor->index = k;
                return k;
            }
            if (before > t) {
                if (before > TimeAt(table, k)) {
                    cursor->index = k;
                    return -1;
                }
                --k;
            } else {
                ++k;
            }
        } else if (k == 0) {
            if (TimeAt(table, 0) >= t && TimeAt(table, 1) <= t) {
                cursor->index = 0;
                return 0;
            }
            k = 1;
        } else {
            cursor->index = k;
            if (TimeAt(table, k - 1) >= t && TimeAt(table, k) <= t) return k;
            return -1;
        }
        cursor->index = k;
    }
    // Nothing found: the next frame starts with a full scan.
    cursor->index = -1;
    return -1;
}

void FormatLookupTrace(const TextSampleTable& table, uint32_t frameMs, int32_t index, char* out,
                       size_t outSize) {
    if (outSize == 0) return;
    out[0] = '\0';
    const int32_t n = int32_t(table.count < TEXT_SAMPLE_MAX ? table.count : TEXT_SAMPLE_MAX);
    if (index < 0 || index > n) return;
    const int t = int(frameMs);
    if (index > 0 && index < n - 1)
        std::snprintf(out, outSize, "[%d] : [%d]-[%d]-[%d]\r\n", t, int(TimeAt(table, index - 1)),
                      int(TimeAt(table, index)), int(TimeAt(table, index + 1)));
    else if (index == 0)
        std::snprintf(out, outSize, "[%d] : [%d]-[%d]\r\n", t, int(TimeAt(table, 0)),
                      int(TimeAt(table, 1)));
    else
        std::snprintf(out, outSize, "[%d] : [%d]-[%d]\r\n", t, int(TimeAt(table, index - 1)),
                      int(TimeAt(table, index)));
}

bool IsGSensorRecord(const uint8_t* data) { return data[0] == 'M' || data[1] == 'M'; }

bool GSensor_Decode(const TextTrackSample& sample, GSensorValues* out) {
    const uint8_t* d = sample.data;
    if (!IsGSensorRecord(d)) return false;
    const int m = d[1] == 'M' ? 1 : 0;
    auto s8 = [&](int i) { return int(int8_t(d[m + i])); };
    out->x = float(s8(1) * 0.018);
    out->y = float(s8(2) * 0.018);
    out->z = float(s8(3) * 0.018);
    out->year = s8(7) + 2000;
    out->month = s8(8);
    out->day = s8(9);
    out->hour = s8(10);
    out->minute = s8(11);
    out->second = s8(12);
    return true;
}

namespace {

int FormatDate(const GSensorValues& v, char* out, size_t outSize) {
    return std::snprintf(out, outSize, "%04d/%02d/%02d %02d:%02d:%02d", v.year, v.month, v.day,
                         v.hour, v.minute, v.second);
}

}  // namespace

uint32_t GSensor_FormatOverlay(const TextTrackSample& sample, char* out, uint32_t outSize) {
    GSensorValues v;
    if (outSize == 0) return 0;
    if (!GSensor_Decode(sample, &v)) {
        out[0] = '\0';
        return 0;
    }
    FormatDate(v, out, outSize);
    return uint32_t(std::strlen(out));
}

void Gps_SplitFields(const TextTrackSample& sample, GpsFields* out) {
    std::memset(out, 0, sizeof(*out));
    const uint8_t* p = sample.data;
    size_t i = 0;
    size_t fieldLen = 0;
    for (;;) {
        const bool end = i == TEXT_SAMPLE_BYTES || p[i] == '\0';
        if (end || p[i] == ',') {
            // After the text, an empty last field leaves no slot behind.
            if (end && fieldLen == 0) break;
            if (out->count == GPS_FIELD_SLOTS) break;
            const size_t start = i - fieldLen;
            const size_t keep =
                fieldLen < size_t(GPS_FIELD_CHARS) ? fieldLen : size_t(GPS_FIELD_CHARS);
            std::memcpy(out->field[out->count], p + start, keep);
            ++out->count;
            fieldLen = 0;
            if (end) break;
        } else {
            ++fieldLen;
        }
        ++i;
    }
}

double Gps_ToDegrees(double value) {
    // Whole hundreds of the integer part are the degrees, the rest minutes.
    const double d = std::trunc(std::trunc(value) / 100.0) * 100.0;
    return d / 100.0 + (value - d) / 60.0;
}

bool Gps_Decode(const TextTrackSample& sample, GpsFix* out) {
    GpsFields f;
    Gps_SplitFields(sample, &f);
    if (f.field[2][0] != 'A') return false;
    double lat = std::atof(f.field[3]);
    double lon = std::atof(f.field[5]);
    if (!std::isfinite(lat) || !std::isfinite(lon)) return false;
    if (f.field[4][0] == 'S') lat = -lat;
    if (f.field[6][0] == 'W') lon = -lon;
    out->latitude = Gps_ToDegrees(lat);
    out->longitude = Gps_ToDegrees(lon);
    const double knots = std::atof(f.field[7]);
    out->speedKmh = std::isfinite(knots) ? float(knots * 1.852) : 0.0f;
    std::snprintf(out->latitudeText, sizeof(out->latitudeText), "%+011f %s", out->latitude,
                  f.field[4]);
    std::snprintf(out->longitudeText, sizeof(out->longitudeText), "%+011f %s", out->longitude,
                  f.field[6]);
    return true;
}

bool GSensorLabels::Apply(const TextTrackSample& sample, Update* out) {
    GSensorValues v;
    std::memset(out, 0, sizeof(*out));
    if (!GSensor_Decode(sample, &v)) return false;
    const float lastX = m_x, lastY = m_y, lastZ = m_z;
    m_x = v.x;
    m_y = v.y;
    m_z = v.z;
    out->axesChanged = m_x != lastX || m_y != lastY || m_z != lastZ;
    std::snprintf(out->axisText[0], sizeof(out->axisText[0]), "%+.3f", double(m_x));
    std::snprintf(out->axisText[1], sizeof(out->axisText[1]), "%+.3f", double(m_y));
    std::snprintf(out->axisText[2], sizeof(out->axisText[2]), "%+.3f", double(m_z));
    const int lastH = m_hour, lastM = m_minute, lastS = m_second;
    m_hour = v.hour;
    m_minute = v.minute;
    m_second = v.second;
    out->timeChanged = m_hour != lastH || m_minute != lastM || m_second != lastS;
    FormatDate(v, out->dateText, sizeof(out->dateText));
    return true;
}
