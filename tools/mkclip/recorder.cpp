#include "recorder.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace mkclip {
namespace {

const double kPi = 3.14159265358979323846;
const double kG = 9.80665;
const double kMetresPerDegree = 111320.0;

double SpeedAt(const std::vector<SpeedPoint>& sp, double t) {
    if (sp.empty()) return 0;
    if (t <= sp.front().t) return sp.front().kmh;
    for (size_t i = 1; i < sp.size(); ++i) {
        if (t <= sp[i].t) {
            double span = sp[i].t - sp[i - 1].t;
            double f = span > 0 ? (t - sp[i - 1].t) / span : 1;
            return sp[i - 1].kmh + f * (sp[i].kmh - sp[i - 1].kmh);
        }
    }
    return sp.back().kmh;
}

// Slope of the speed profile at t, in m/s per second.
double SlopeAt(const std::vector<SpeedPoint>& sp, double t) {
    for (size_t i = 1; i < sp.size(); ++i) {
        if (t >= sp[i - 1].t && t < sp[i].t && sp[i].t > sp[i - 1].t)
            return (sp[i].kmh - sp[i - 1].kmh) / 3.6 / (sp[i].t - sp[i - 1].t);
    }
    return 0;
}

// Small deterministic generator for sensor noise.
double Noise(uint32_t seed, uint32_t index, int axis) {
    uint32_t x = seed * 2654435761u ^ (index * 40503u + uint32_t(axis) * 977u + 12345u);
    x ^= x >> 15;
    x *= 0x2C1B3C6Du;
    x ^= x >> 12;
    x *= 0x297A2D39u;
    x ^= x >> 15;
    return (x & 0xFFFF) / 32767.5 - 1.0;
}

int AxisByte(double g) {
    long v = std::lround(g / 0.018);
    return static_cast<int>(std::max(-128L, std::min(127L, v)));
}

// ddmm.mmmm (or dddmm.mmmm), rounded to 1e-4 minute without ever printing 60.
std::string NmeaAngle(double deg, int deg_digits) {
    long long units = std::llround(std::fabs(deg) * 60.0 * 10000.0);
    long long d = units / 600000, rest = units % 600000;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld%02lld.%04lld", deg_digits, d, rest / 10000,
                  rest % 10000);
    return buf;
}

}  // namespace

int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilTime CivilFromSeconds(int64_t secs) {
    int64_t days = secs >= 0 ? secs / 86400 : (secs - 86399) / 86400;
    int64_t sod = secs - days * 86400;
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    CivilTime c;
    c.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    c.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    c.year = static_cast<int>(yoe + era * 400 + (c.month <= 2));
    c.hour = static_cast<int>(sod / 3600);
    c.minute = static_cast<int>(sod / 60 % 60);
    c.second = static_cast<int>(sod % 60);
    return c;
}

int64_t SecondsFromCivil(const CivilTime& c) {
    return DaysFromCivil(c.year, c.month, c.day) * 86400 + c.hour * 3600 + c.minute * 60 + c.second;
}

bool ParseCivil(const std::string& s, CivilTime* out) {
    CivilTime c;
    char sep = 0;
    if (std::sscanf(s.c_str(), "%d-%d-%d%c%d:%d:%d", &c.year, &c.month, &c.day, &sep, &c.hour,
                    &c.minute, &c.second) != 7 ||
        (sep != 'T' && sep != ' '))
        return false;
    if (c.year < 1970 || c.year > 2099 || c.month < 1 || c.month > 12 || c.day < 1 || c.day > 31 ||
        c.hour > 23 || c.minute > 59 || c.second > 59 || c.hour < 0 || c.minute < 0 || c.second < 0)
        return false;
    *out = c;
    return true;
}

RouteState RouteAt(const RouteConfig& rc, double t) {
    RouteState st{rc.lat, rc.lon, rc.heading, 0, {0, 0, 0}};
    // Fixed 0.1 s steps keep positions independent of how a clip is cut.
    const double dt = 0.1;
    long steps = std::lround(std::max(0.0, t) / dt);
    for (long i = 0; i < steps; ++i) {
        double tm = (i + 0.5) * dt;
        double v = SpeedAt(rc.speed, tm) / 3.6;
        double h = (rc.heading + rc.turn * tm) * kPi / 180;
        st.lat += v * dt * std::cos(h) / kMetresPerDegree;
        st.lon += v * dt * std::sin(h) / (kMetresPerDegree * std::cos(st.lat * kPi / 180));
    }
    st.heading = std::fmod(std::fmod(rc.heading + rc.turn * t, 360) + 360, 360);
    st.kmh = SpeedAt(rc.speed, t);
    st.accel_g[0] = SlopeAt(rc.speed, t) / kG;
    st.accel_g[1] = st.kmh / 3.6 * (rc.turn * kPi / 180) / kG;
    st.accel_g[2] = rc.gravity_g;
    return st;
}

std::string RmcSentence(const RouteConfig& rc, double route_t) {
    RouteState st = RouteAt(rc, route_t);
    int64_t local = SecondsFromCivil(rc.start) + static_cast<int64_t>(std::floor(route_t));
    int64_t utc = local - std::llround(rc.utc_offset_h * 3600);
    CivilTime u = CivilFromSeconds(utc);
    int ms = static_cast<int>(std::lround((route_t - std::floor(route_t)) * 1000)) % 1000;
    char head[64], date[16];
    std::snprintf(head, sizeof head, "GPRMC,%02d%02d%02d.%03d", u.hour, u.minute, u.second, ms);
    std::snprintf(date, sizeof date, "%02d%02d%02d", u.day, u.month, u.year % 100);
    std::string body = head;
    if (route_t < rc.gps_void_s) {
        body += ",V,,,,,,,";
    } else {
        char rest[128];
        std::snprintf(rest, sizeof rest, ",A,%s,%c,%s,%c,%.2f,%.1f,", NmeaAngle(st.lat, 2).c_str(),
                      st.lat < 0 ? 'S' : 'N', NmeaAngle(st.lon, 3).c_str(), st.lon < 0 ? 'W' : 'E',
                      st.kmh / 1.852, st.heading);
        body += rest;
    }
    body += date;
    body += ",,";
    uint8_t sum = 0;
    for (char ch : body) sum ^= static_cast<uint8_t>(ch);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

std::vector<uint8_t> GSensorRecord(const RouteConfig& rc, double route_t, uint32_t index) {
    RouteState st = RouteAt(rc, route_t);
    double g[3] = {st.accel_g[0], st.accel_g[1], st.accel_g[2]};
    double half = rc.gs_period_ms / 2000.0;
    for (const Shock& s : rc.shocks)
        if (s.t >= route_t - half && (s.t < route_t + half || (half == 0 && s.t == route_t)))
            for (int a = 0; a < 3; ++a) g[a] += s.g[a];
    for (int a = 0; a < 3; ++a) g[a] += rc.noise_g * Noise(rc.seed, index, a);

    int64_t local = SecondsFromCivil(rc.start) + static_cast<int64_t>(std::floor(route_t));
    CivilTime c = CivilFromSeconds(local);
    std::vector<uint8_t> r;
    if (rc.marker_at == 1) r.push_back(rc.lead_byte);
    r.push_back('M');
    for (int a = 0; a < 3; ++a) r.push_back(static_cast<uint8_t>(AxisByte(g[a]) & 0xFF));
    r.insert(r.end(), 3, 0);  // bytes the player does not read
    r.push_back(static_cast<uint8_t>((c.year - 2000) & 0xFF));
    r.push_back(static_cast<uint8_t>(c.month));
    r.push_back(static_cast<uint8_t>(c.day));
    r.push_back(static_cast<uint8_t>(c.hour));
    r.push_back(static_cast<uint8_t>(c.minute));
    r.push_back(static_cast<uint8_t>(c.second));
    return r;
}

namespace {

Track DataTrackShell() {
    Track t;
    t.kind = TrackKind::Data;
    t.entry = "mp4s";
    t.timescale = 1000;
    t.oti = 211;
    t.stream_type = 0x20;  // user private
    t.handler = "sdsm";
    t.handler_name = "XBLB recorder data";
    t.media_header = "nmhd";
    t.write_stss = true;
    t.constant_size = false;
    return t;
}

}  // namespace

bool LoadRecords(const std::string& text, uint32_t clip_ms, Track* out, std::string* err) {
    Track t = DataTrackShell();
    std::vector<uint32_t> times;
    size_t at = 0;
    int line_no = 0;
    while (at < text.size()) {
        size_t nl = text.find('\n', at);
        if (nl == std::string::npos) nl = text.size();
        std::string line = text.substr(at, nl - at);
        at = nl + 1;
        ++line_no;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        char kind[8] = {0};
        unsigned long ms = 0;
        int used = 0;
        if (std::sscanf(line.c_str(), "%lu %7s %n", &ms, kind, &used) < 2 || ms > 0xFFFFFFFFul ||
            (std::string(kind) != "text" && std::string(kind) != "hex")) {
            *err = "records line " + std::to_string(line_no) +
                   ": expected 'MS text ...' or 'MS hex ...'";
            return false;
        }
        if (!times.empty() && ms < times.back()) {
            *err = "records line " + std::to_string(line_no) + ": time goes back";
            return false;
        }
        if (times.empty() && ms != 0) {
            *err = "records line " + std::to_string(line_no) + ": the first record must be at 0 ms";
            return false;
        }
        std::string rest = used > 0 ? line.substr(static_cast<size_t>(used)) : std::string();
        Sample s;
        if (std::string(kind) == "text") {
            s.data.assign(rest.begin(), rest.end());
            s.data.push_back(0);
        } else {
            std::string digits;
            for (char c : rest)
                if (!std::isspace(static_cast<unsigned char>(c))) digits += c;
            bool ok = digits.size() % 2 == 0;
            for (char c : digits) ok = ok && std::isxdigit(static_cast<unsigned char>(c));
            if (!ok) {
                *err = "records line " + std::to_string(line_no) + ": bad hex bytes";
                return false;
            }
            for (size_t i = 0; i < digits.size(); i += 2)
                s.data.push_back(
                    static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
            if (s.data.empty()) {
                *err = "records line " + std::to_string(line_no) + ": no bytes";
                return false;
            }
        }
        times.push_back(static_cast<uint32_t>(ms));
        t.samples.push_back(std::move(s));
    }
    if (t.samples.empty()) {
        *err = "the records file holds no records";
        return false;
    }
    for (size_t i = 0; i < times.size(); ++i) {
        uint32_t next = i + 1 < times.size() ? times[i + 1] : std::max(clip_ms, times[i] + 1);
        t.samples[i].duration = next - times[i];
    }
    *out = std::move(t);
    return true;
}

Track MakeDataTrack(const RouteConfig& rc, uint32_t clip_ms) {
    struct Due {
        uint32_t ms;
        bool gps;
    };
    std::vector<Due> due;
    if (rc.gps_period_ms)
        for (uint64_t t = rc.gps_phase_ms; t < clip_ms; t += rc.gps_period_ms)
            due.push_back({uint32_t(t), true});
    if (rc.gs_period_ms)
        for (uint64_t t = rc.gs_phase_ms; t < clip_ms; t += rc.gs_period_ms)
            due.push_back({uint32_t(t), false});
    std::stable_sort(due.begin(), due.end(),
                     [](const Due& a, const Due& b) { return a.ms < b.ms; });

    Track t = DataTrackShell();
    uint32_t gs_index = 0;
    for (size_t i = 0; i < due.size(); ++i) {
        double route_t = rc.offset + due[i].ms / 1000.0;
        Sample s;
        if (due[i].gps) {
            std::string text = RmcSentence(rc, route_t);
            s.data.assign(text.begin(), text.end());
            s.data.push_back(0);
        } else {
            s.data = GSensorRecord(rc, route_t, gs_index++);
        }
        uint32_t next = i + 1 < due.size() ? due[i + 1].ms : clip_ms;
        s.duration = next > due[i].ms ? next - due[i].ms : 0;
        t.samples.push_back(std::move(s));
    }
    return t;
}

}  // namespace mkclip
