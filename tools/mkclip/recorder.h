// The recorder's data track: NMEA RMC sentences from the GPS receiver and
// 'M'-marked G-sensor records, generated along a simulated drive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mp4_write.h"

namespace mkclip {

struct CivilTime {
    int year = 2024, month = 3, day = 15, hour = 9, minute = 30, second = 0;
};

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int y, int m, int d);
CivilTime CivilFromSeconds(int64_t secs);
int64_t SecondsFromCivil(const CivilTime& c);
bool ParseCivil(const std::string& s, CivilTime* out);  // YYYY-MM-DDTHH:MM:SS

struct SpeedPoint {
    double t;  // route seconds
    double kmh;
};

struct Shock {
    double t;     // route seconds
    double g[3];  // added to x, y, z
};

struct RouteConfig {
    CivilTime start;          // local time at route second 0
    double utc_offset_h = 9;  // local time - UTC
    double lat = 37.5665, lon = 126.9780;
    double heading = 90;  // degrees from north, clockwise
    double turn = 0;      // degrees per second
    std::vector<SpeedPoint> speed{{0, 0}, {5, 40}, {20, 60}, {40, 30}, {60, 50}};
    double offset = 0;  // route second at clip time 0
    uint32_t gps_period_ms = 1000, gps_phase_ms = 0;
    uint32_t gs_period_ms = 1000, gs_phase_ms = 500;
    double gps_void_s = 0;  // no fix before this route second
    std::vector<Shock> shocks;
    double noise_g = 0.02;
    uint32_t seed = 1;
    int marker_at = 1;         // 'M' at byte 0 or byte 1
    uint8_t lead_byte = 0x47;  // byte 0 when the marker is at byte 1
    double gravity_g = 1.0;    // z axis at rest
};

struct RouteState {
    double lat, lon, heading, kmh;
    double accel_g[3];  // longitudinal, lateral, vertical (without shocks and noise)
};

// State of the simulated car at a route second.
RouteState RouteAt(const RouteConfig& rc, double t);

// Record texts/bytes (exposed for tests and the dump).
std::string RmcSentence(const RouteConfig& rc, double route_t);
std::vector<uint8_t> GSensorRecord(const RouteConfig& rc, double route_t, uint32_t index);

// The data track for a clip of the given length (ms).
Track MakeDataTrack(const RouteConfig& rc, uint32_t clip_ms);

// A data track from a records file instead of the simulated drive; one
// record a line: "MS text CHARACTERS" (written with a terminating NUL) or
// "MS hex BYTES". Times start at 0 and do not fall; '#' starts a comment.
bool LoadRecords(const std::string& text, uint32_t clip_ms, Track* t, std::string* err);

}  // namespace mkclip
