// mkclip: builds recorder-style MP4 clips. See Usage() for the options.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dump.h"
#include "elementary.h"
#include "mp4_write.h"
#include "recorder.h"

using namespace mkclip;

namespace {

void Usage(FILE* f) {
    std::fputs(
        "usage: mkclip [options] -o OUT.mp4\n"
        "       mkclip --dump CLIP.mp4 [CLIP.mp4...]\n"
        "video (at most one):\n"
        "  --m4v FILE             MPEG-4 part 2 elementary stream (VOL -> esds, entry mp4v)\n"
        "  --h263 FILE            H.263 elementary stream (entry s263)\n"
        "  --i420 FILE --size WxH raw 4:2:0 pictures, Y U V planes\n"
        "  --raw-entry mp4v|I420  raw sample entry: mp4v with esds object type 240 (default)\n"
        "                         or a plain I420 visual entry\n"
        "  --fps N[/D]            frame rate (default 30)\n"
        "audio (at most one):\n"
        "  --aac FILE             ADTS stream; raw access units, AudioSpecificConfig in esds\n"
        "  --asc HEX              AudioSpecificConfig to write instead of the one from ADTS\n"
        "  --pcm FILE             signed 16-bit little-endian PCM (entry sowt)\n"
        "  --pcm-rate HZ --pcm-channels N --pcm-frames N   (44100, 2, 1024 per sample)\n"
        "recorder data track (on unless --no-data):\n"
        "  --no-data              leave the data track out\n"
        "  --records FILE         records from a file instead of the drive below, one a line:\n"
        "                         'MS text CHARACTERS' (NUL added) or 'MS hex BYTES'\n"
        "  --duration SEC         clip length when there is no video or audio\n"
        "  --start YYYY-MM-DDTHH:MM:SS   local time at route second 0 (2024-03-15T09:30:00)\n"
        "  --utc-offset H         local time minus UTC for the RMC time (9)\n"
        "  --lat DEG --lon DEG    route start (37.5665 126.978)\n"
        "  --heading DEG --turn DEG_PER_S   direction and its change (90, 0)\n"
        "  --speed T:KMH,...      speed profile over route seconds, linear between points\n"
        "                         (0:0,5:40,20:60,40:30,60:50)\n"
        "  --route-offset SEC     route second at the start of this clip (0)\n"
        "  --gps-period MS --gps-phase MS         RMC sentence times (1000, 0)\n"
        "  --gsensor-period MS --gsensor-phase MS G-sensor record times (1000, 500)\n"
        "                         (a period of 0 leaves that kind out)\n"
        "  --gps-void SEC         status V (no fix) before this route second (0)\n"
        "  --shock T:X:Y:Z        add X,Y,Z g to the record whose period holds route second T "
        "(repeatable)\n"
        "  --noise G --seed N     sensor noise amplitude and seed (0.02, 1)\n"
        "  --gravity G            z axis at rest (1.0)\n"
        "  --marker-at 0|1        'M' at byte 0 or 1 of a G-sensor record (1)\n"
        "  --lead-byte N          byte 0 when the marker is at byte 1 (71 = 'G')\n"
        "  --data-name TEXT       handler name (\"XBLB recorder data\")\n"
        "  --data-header nmhd|hmhd  media header of the data track (nmhd)\n"
        "  --data-oti N           esds object type of the data track (211)\n"
        "file layout:\n"
        "  --moov first|last      moov before or after mdat (last)\n"
        "  --chunk-ms MS          media time per chunk (1000)\n"
        "  --long-desc-lengths    write descriptor lengths in the 4-byte form\n"
        "  --brand XXXX           major brand (mp42)\n",
        f);
}

bool ReadFile(const std::string& path, std::vector<uint8_t>* out) {
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    uint8_t buf[65536];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, in)) > 0) out->insert(out->end(), buf, buf + got);
    bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

bool ParseDouble(const std::string& s, double* v) {
    char* end = nullptr;
    *v = std::strtod(s.c_str(), &end);
    return !s.empty() && end && *end == 0 && std::isfinite(*v);
}

bool ParseUint(const std::string& s, uint32_t* v, uint32_t max = 0xFFFFFFFFu) {
    char* end = nullptr;
    unsigned long long x = std::strtoull(s.c_str(), &end, 0);
    if (s.empty() || s[0] == '-' || !end || *end || x > max) return false;
    *v = static_cast<uint32_t>(x);
    return true;
}

bool ParseHex(const std::string& s, std::vector<uint8_t>* out) {
    if (s.empty() || s.size() % 2) return false;
    for (size_t i = 0; i < s.size(); i += 2) {
        uint32_t v;
        if (!ParseUint("0x" + s.substr(i, 2), &v, 255)) return false;
        out->push_back(static_cast<uint8_t>(v));
    }
    return true;
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> v(1);
    for (char c : s) {
        if (c == sep)
            v.emplace_back();
        else
            v.back() += c;
    }
    return v;
}

int Fail(const std::string& msg) {
    std::fprintf(stderr, "mkclip: %s\n", msg.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        Usage(stderr);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        Usage(stdout);
        return 0;
    }
    if (args[0] == "--dump") {
        if (args.size() < 2) return Fail("--dump needs a clip");
        int rc = 0;
        for (size_t i = 1; i < args.size(); ++i) rc |= DumpClip(args[i], stdout);
        return rc;
    }

    std::string records;
    std::string out, m4v, h263, i420, aac, pcm, raw_entry = "mp4v";
    int width = 0, height = 0;
    Rate fps;
    std::vector<uint8_t> asc;
    uint32_t pcm_rate = 44100, pcm_channels = 2, pcm_frames = 1024;
    bool data = true;
    double duration_s = 0;
    RouteConfig rc;
    WriteOptions wo;
    std::string data_name = "XBLB recorder data", data_header = "nmhd";
    uint32_t data_oti = 211;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto flag = [&](const char* name) { return a == name; };
        std::string v;
        auto value = [&](const char* name) {
            if (a != name) return false;
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "mkclip: %s needs a value\n", name);
                std::exit(2);
            }
            v = args[++i];
            return true;
        };
        uint32_t u;
        if (value("-o") || value("--out"))
            out = v;
        else if (value("--m4v"))
            m4v = v;
        else if (value("--h263"))
            h263 = v;
        else if (value("--i420"))
            i420 = v;
        else if (value("--size")) {
            if (std::sscanf(v.c_str(), "%dx%d", &width, &height) != 2)
                return Fail("bad --size " + v);
        } else if (value("--raw-entry")) {
            if (v != "mp4v" && v != "I420") return Fail("--raw-entry is mp4v or I420");
            raw_entry = v;
        } else if (value("--fps")) {
            auto p = Split(v, '/');
            if (p.size() > 2 || !ParseUint(p[0], &fps.num, 4000) || fps.num == 0 ||
                (p.size() == 2 && (!ParseUint(p[1], &fps.den, 4000) || fps.den == 0)))
                return Fail("bad --fps " + v);
        } else if (value("--aac"))
            aac = v;
        else if (value("--asc")) {
            if (!ParseHex(v, &asc)) return Fail("bad --asc " + v);
        } else if (value("--pcm"))
            pcm = v;
        else if (value("--pcm-rate")) {
            if (!ParseUint(v, &pcm_rate, 65535)) return Fail("bad --pcm-rate");
        } else if (value("--pcm-channels")) {
            if (!ParseUint(v, &pcm_channels, 8)) return Fail("bad --pcm-channels");
        } else if (value("--pcm-frames")) {
            if (!ParseUint(v, &pcm_frames, 1 << 20)) return Fail("bad --pcm-frames");
        } else if (flag("--no-data"))
            data = false;
        else if (value("--records"))
            records = v;
        else if (value("--duration")) {
            if (!ParseDouble(v, &duration_s) || duration_s <= 0 || duration_s > 86400)
                return Fail("bad --duration");
        } else if (value("--start")) {
            if (!ParseCivil(v, &rc.start)) return Fail("bad --start " + v);
        } else if (value("--utc-offset")) {
            if (!ParseDouble(v, &rc.utc_offset_h) || std::fabs(rc.utc_offset_h) > 14)
                return Fail("bad --utc-offset");
        } else if (value("--lat")) {
            if (!ParseDouble(v, &rc.lat) || std::fabs(rc.lat) > 85) return Fail("bad --lat");
        } else if (value("--lon")) {
            if (!ParseDouble(v, &rc.lon) || std::fabs(rc.lon) > 180) return Fail("bad --lon");
        } else if (value("--heading")) {
            if (!ParseDouble(v, &rc.heading)) return Fail("bad --heading");
        } else if (value("--turn")) {
            if (!ParseDouble(v, &rc.turn)) return Fail("bad --turn");
        } else if (value("--speed")) {
            rc.speed.clear();
            for (const std::string& p : Split(v, ',')) {
                auto tv = Split(p, ':');
                SpeedPoint sp;
                if (tv.size() != 2 || !ParseDouble(tv[0], &sp.t) || !ParseDouble(tv[1], &sp.kmh) ||
                    sp.kmh < 0 || sp.kmh > 400 || (!rc.speed.empty() && sp.t < rc.speed.back().t))
                    return Fail("bad --speed point " + p);
                rc.speed.push_back(sp);
            }
        } else if (value("--route-offset")) {
            if (!ParseDouble(v, &rc.offset) || rc.offset < 0) return Fail("bad --route-offset");
        } else if (value("--gps-period")) {
            if (!ParseUint(v, &rc.gps_period_ms)) return Fail("bad --gps-period");
        } else if (value("--gps-phase")) {
            if (!ParseUint(v, &rc.gps_phase_ms)) return Fail("bad --gps-phase");
        } else if (value("--gsensor-period")) {
            if (!ParseUint(v, &rc.gs_period_ms)) return Fail("bad --gsensor-period");
        } else if (value("--gsensor-phase")) {
            if (!ParseUint(v, &rc.gs_phase_ms)) return Fail("bad --gsensor-phase");
        } else if (value("--gps-void")) {
            if (!ParseDouble(v, &rc.gps_void_s)) return Fail("bad --gps-void");
        } else if (value("--shock")) {
            auto p = Split(v, ':');
            Shock s;
            if (p.size() != 4 || !ParseDouble(p[0], &s.t) || !ParseDouble(p[1], &s.g[0]) ||
                !ParseDouble(p[2], &s.g[1]) || !ParseDouble(p[3], &s.g[2]))
                return Fail("bad --shock " + v);
            rc.shocks.push_back(s);
        } else if (value("--noise")) {
            if (!ParseDouble(v, &rc.noise_g) || rc.noise_g < 0) return Fail("bad --noise");
        } else if (value("--seed")) {
            if (!ParseUint(v, &rc.seed)) return Fail("bad --seed");
        } else if (value("--gravity")) {
            if (!ParseDouble(v, &rc.gravity_g)) return Fail("bad --gravity");
        } else if (value("--marker-at")) {
            if (!ParseUint(v, &u, 1)) return Fail("--marker-at is 0 or 1");
            rc.marker_at = static_cast<int>(u);
        } else if (value("--lead-byte")) {
            if (!ParseUint(v, &u, 255)) return Fail("bad --lead-byte");
            rc.lead_byte = static_cast<uint8_t>(u);
        } else if (value("--data-name"))
            data_name = v;
        else if (value("--data-header")) {
            if (v != "nmhd" && v != "hmhd") return Fail("--data-header is nmhd or hmhd");
            data_header = v;
        } else if (value("--data-oti")) {
            if (!ParseUint(v, &data_oti, 255)) return Fail("bad --data-oti");
        } else if (value("--moov")) {
            if (v != "first" && v != "last") return Fail("--moov is first or last");
            wo.moov_first = v == "first";
        } else if (value("--chunk-ms")) {
            if (!ParseUint(v, &wo.chunk_ms) || wo.chunk_ms == 0) return Fail("bad --chunk-ms");
        } else if (flag("--long-desc-lengths"))
            wo.long_desc_lengths = true;
        else if (value("--brand")) {
            if (v.size() != 4) return Fail("--brand takes four characters");
            wo.major_brand = v;
        } else if (flag("--help") || flag("-h")) {
            Usage(stdout);
            return 0;
        } else {
            return Fail("unknown option " + a + " (see --help)");
        }
    }
    if (out.empty()) return Fail("no output file (-o)");
    if (!m4v.empty() + !h263.empty() + !i420.empty() > 1)
        return Fail("give at most one video input");
    if (!aac.empty() && !pcm.empty()) return Fail("give at most one audio input");

    std::vector<Track> tracks;
    std::string err;
    auto load = [&](const std::string& path, std::vector<uint8_t>* bytes) {
        if (!ReadFile(path, bytes)) {
            std::fprintf(stderr, "mkclip: cannot read %s\n", path.c_str());
            return false;
        }
        return true;
    };
    std::vector<uint8_t> in;
    if (!m4v.empty() || !h263.empty() || !i420.empty()) {
        Track t;
        bool ok;
        if (!m4v.empty())
            ok = load(m4v, &in) && LoadM4v(in, fps, &t, &err);
        else if (!h263.empty())
            ok = load(h263, &in) && LoadH263(in, fps, &t, &err);
        else
            ok = load(i420, &in) && LoadI420(in, width, height, fps, raw_entry, &t, &err);
        if (!ok) return err.empty() ? 1 : Fail(err);
        if (!err.empty()) std::fprintf(stderr, "mkclip: note: %s\n", err.c_str());
        err.clear();
        tracks.push_back(std::move(t));
        in.clear();
    }
    if (!aac.empty() || !pcm.empty()) {
        Track t;
        bool ok;
        if (!aac.empty())
            ok = load(aac, &in) && LoadAdts(in, asc, &t, &err);
        else
            ok = load(pcm, &in) &&
                 LoadPcm(in, pcm_rate, static_cast<uint16_t>(pcm_channels), pcm_frames, &t, &err);
        if (!ok) return err.empty() ? 1 : Fail(err);
        tracks.push_back(std::move(t));
    }
    uint32_t clip_ms = 0;
    for (const Track& t : tracks) {
        uint32_t ms = static_cast<uint32_t>(TrackDuration(t) * 1000 / t.timescale);
        if (t.kind == TrackKind::Video || clip_ms == 0) clip_ms = ms;  // video sets the length
    }
    if (duration_s > 0) clip_ms = static_cast<uint32_t>(duration_s * 1000);
    if (data) {
        if (clip_ms == 0)
            return Fail("the data track needs a clip length: give video, audio or --duration");
        Track t;
        if (!records.empty()) {
            std::vector<uint8_t> text;
            if (!load(records, &text)) return 1;
            if (!LoadRecords(std::string(text.begin(), text.end()), clip_ms, &t, &err))
                return Fail(err);
        } else {
            if (!rc.gps_period_ms && !rc.gs_period_ms) return Fail("both record periods are 0");
            uint32_t first = 0xFFFFFFFFu;
            if (rc.gps_period_ms) first = rc.gps_phase_ms;
            if (rc.gs_period_ms) first = std::min(first, rc.gs_phase_ms);
            // Sample times start at 0 in a track without an edit list.
            if (first != 0) return Fail("the first record must be due at 0 ms (check the phases)");
            t = MakeDataTrack(rc, clip_ms);
        }
        t.handler_name = data_name;
        t.media_header = data_header;
        t.oti = static_cast<uint8_t>(data_oti);
        tracks.push_back(std::move(t));
    }
    if (tracks.empty()) return Fail("nothing to write");

    int64_t start = SecondsFromCivil(rc.start) - std::llround(rc.utc_offset_h * 3600);
    wo.creation_time = static_cast<uint32_t>(
        start + int64_t(DaysFromCivil(1970, 1, 1) - DaysFromCivil(1904, 1, 1)) * 86400);
    std::vector<uint8_t> file = WriteMp4(tracks, wo);
    if (file.size() > 0xFFFFFFF0u) return Fail("clip too large for 32-bit boxes");
    std::string tmp = out + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return Fail("cannot write " + tmp);
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(tmp.c_str(), out.c_str()) != 0) {
        std::remove(tmp.c_str());
        return Fail("cannot write " + out);
    }
    return 0;
}
