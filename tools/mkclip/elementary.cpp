#include "elementary.h"

#include <algorithm>
#include <cstring>

namespace mkclip {
namespace {

class BitReader {
public:
    BitReader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    uint32_t get(int bits) {
        uint32_t v = 0;
        for (int i = 0; i < bits; ++i) {
            uint32_t bit = 0;
            if (pos_ < n_ * 8) bit = (p_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1;
            ++pos_;
            v = (v << 1) | bit;
        }
        return v;
    }
    void skip(int bits) { pos_ += bits; }
    bool overrun() const { return pos_ > n_ * 8; }

private:
    const uint8_t* p_;
    size_t n_;
    size_t pos_ = 0;
};

void SetVideoCommon(Track* t, Rate fps) {
    t->kind = TrackKind::Video;
    t->timescale = fps.num * 1000;
    t->handler = "vide";
    t->handler_name = "VideoHandler";
    t->media_header = "vmhd";
    t->write_stss = true;
    t->constant_size = false;
    for (Sample& s : t->samples) s.duration = fps.den * 1000;
}

// Reads width and height from a video object layer header (after 00 00 01 2x).
bool ParseVol(const uint8_t* p, size_t n, uint16_t* w, uint16_t* h) {
    BitReader br(p, n);
    br.skip(1);  // random_accessible_vol
    br.skip(8);  // video_object_type_indication
    uint32_t verid = 1;
    if (br.get(1)) {
        verid = br.get(4);
        br.skip(3);
    }
    if (br.get(4) == 15) br.skip(16);  // extended pixel aspect ratio
    if (br.get(1)) {                   // vol_control_parameters
        br.skip(3);
        if (br.get(1)) br.skip(79);  // vbv parameters
    }
    uint32_t shape = br.get(2);
    if (shape == 3 && verid != 1) br.skip(4);
    br.skip(1);
    uint32_t res = br.get(16);
    br.skip(1);
    if (br.get(1)) {
        int bits = 1;
        while ((1u << bits) < res) ++bits;
        br.skip(bits);
    }
    if (shape != 0) return false;
    br.skip(1);
    *w = static_cast<uint16_t>(br.get(13));
    br.skip(1);
    *h = static_cast<uint16_t>(br.get(13));
    return !br.overrun() && *w && *h;
}

std::vector<size_t> StartCodes(const std::vector<uint8_t>& es) {
    std::vector<size_t> at;
    for (size_t i = 0; i + 3 < es.size(); ++i)
        if (es[i] == 0 && es[i + 1] == 0 && es[i + 2] == 1) at.push_back(i);
    return at;
}

// Samples are in decoding order; a B-VOP is shown before the reference that
// precedes it in the stream. Offsets are shifted to be non-negative and the
// edit list takes the shift back out.
void SetCompositionOffsets(Track* t, const std::vector<int>& types) {
    size_t n = t->samples.size();
    std::vector<size_t> shown(n);
    size_t next = 0;
    long pending = -1;
    for (size_t i = 0; i < n; ++i) {
        if (types[i] == 2) {
            shown[i] = next++;
        } else {
            if (pending >= 0) shown[pending] = next++;
            pending = static_cast<long>(i);
        }
    }
    if (pending >= 0) shown[pending] = next++;
    long shift = 0;
    for (size_t i = 0; i < n; ++i)
        shift = std::max(shift, static_cast<long>(i) - static_cast<long>(shown[i]));
    uint32_t delta = t->samples[0].duration;
    for (size_t i = 0; i < n; ++i)
        t->samples[i].cts_offset =
            static_cast<uint32_t>(static_cast<long>(shown[i]) - static_cast<long>(i) + shift) *
            delta;
    t->edit_media_time = static_cast<uint32_t>(shift) * delta;
}

}  // namespace

bool LoadM4v(const std::vector<uint8_t>& es, Rate fps, Track* t, std::string* err) {
    std::vector<size_t> sc = StartCodes(es);
    size_t first_frame = es.size();
    for (size_t i : sc)
        if (es[i + 3] == 0xB3 || es[i + 3] == 0xB6) {
            first_frame = i;
            break;
        }
    if (first_frame == es.size() || first_frame == 0) {
        *err = "no VOL headers before the first VOP";
        return false;
    }
    t->dsi.assign(es.begin(), es.begin() + first_frame);
    bool have_size = false;
    for (size_t i : sc) {
        if (i >= first_frame) break;
        if (es[i + 3] >= 0x20 && es[i + 3] <= 0x2F)
            have_size = ParseVol(&es[i + 4], first_frame - i - 4, &t->width, &t->height);
    }
    if (!have_size) {
        *err = "no rectangular VOL with a picture size";
        return false;
    }
    // A sample runs from the first start code after the previous VOP up to
    // the next such point, so headers before a VOP travel with it.
    size_t start = first_frame;
    std::vector<int> types;
    bool b_vops = false;
    bool pending_vop = false;
    int vop_type = 0;
    auto flush = [&](size_t end) {
        Sample s;
        s.data.assign(es.begin() + start, es.begin() + end);
        s.sync = vop_type == 0;
        t->samples.push_back(std::move(s));
        types.push_back(vop_type);
        start = end;
        pending_vop = false;
    };
    for (size_t i : sc) {
        if (i < first_frame) continue;
        if (pending_vop) flush(i);
        if (es[i + 3] == 0xB6) {
            pending_vop = true;
            vop_type = es[i + 4] >> 6;
            if (vop_type == 2) b_vops = true;
        }
    }
    if (pending_vop) flush(es.size());
    if (t->samples.empty()) {
        *err = "no VOPs";
        return false;
    }
    t->entry = "mp4v";
    t->oti = 0x20;
    t->stream_type = 4;
    SetVideoCommon(t, fps);
    if (b_vops) SetCompositionOffsets(t, types);
    return true;
}

bool LoadH263(const std::vector<uint8_t>& es, Rate fps, Track* t, std::string* err) {
    std::vector<size_t> psc;
    for (size_t i = 0; i + 4 < es.size(); ++i)
        if (es[i] == 0 && es[i + 1] == 0 && (es[i + 2] & 0xFC) == 0x80) psc.push_back(i);
    if (psc.empty() || psc[0] != 0) {
        *err = "the stream does not start with a picture start code";
        return false;
    }
    static const uint16_t sizes[6][2] = {{0, 0},     {128, 96},  {176, 144},
                                         {352, 288}, {704, 576}, {1408, 1152}};
    for (size_t k = 0; k < psc.size(); ++k) {
        size_t end = k + 1 < psc.size() ? psc[k + 1] : es.size();
        BitReader br(&es[psc[k]], end - psc[k]);
        br.skip(22 + 8 + 5);  // PSC, TR, PTYPE bits 1-5
        uint32_t format = br.get(3);
        bool intra;
        uint32_t custom_w = 0, custom_h = 0;
        if (format == 7) {  // PLUSPTYPE
            uint32_t ufep = br.get(3);
            if (ufep == 1) {
                format = br.get(3);
                br.skip(15);
            }
            intra = br.get(3) == 0;
            br.skip(6);                 // rest of MPPTYPE
            if (br.get(1)) br.skip(2);  // CPM, PSBI
            if (ufep == 1 && format == 6) {
                br.skip(4);  // pixel aspect ratio code
                custom_w = (br.get(9) + 1) * 4;
                br.skip(1);
                custom_h = br.get(9) * 4;
            }
        } else {
            intra = br.get(1) == 0;
        }
        if (k == 0) {
            if (format == 6 && custom_w && custom_h) {
                t->width = static_cast<uint16_t>(custom_w);
                t->height = static_cast<uint16_t>(custom_h);
            } else if (format >= 1 && format <= 5) {
                t->width = sizes[format][0];
                t->height = sizes[format][1];
            } else {
                *err = "unknown H.263 picture format";
                return false;
            }
        }
        Sample s;
        s.data.assign(es.begin() + psc[k], es.begin() + end);
        s.sync = intra;
        t->samples.push_back(std::move(s));
    }
    t->entry = "s263";
    SetVideoCommon(t, fps);
    return true;
}

bool LoadI420(const std::vector<uint8_t>& raw, int width, int height, Rate fps,
              const std::string& fourcc, Track* t, std::string* err) {
    if (width <= 0 || height <= 0 || (width | height) & 1 || width > 4096 || height > 4096) {
        *err = "raw pictures need an even size up to 4096x4096";
        return false;
    }
    size_t frame = size_t(width) * height * 3 / 2;
    if (raw.empty() || raw.size() % frame) {
        *err = "the raw file is not a whole number of pictures";
        return false;
    }
    for (size_t at = 0; at < raw.size(); at += frame) {
        Sample s;
        s.data.assign(raw.begin() + at, raw.begin() + at + frame);
        t->samples.push_back(std::move(s));
    }
    t->width = static_cast<uint16_t>(width);
    t->height = static_cast<uint16_t>(height);
    t->entry = fourcc;
    if (fourcc == "mp4v") {
        // Object type 240: a private type that marks uncompressed 4:2:0.
        t->oti = 240;
        t->stream_type = 4;
    }
    SetVideoCommon(t, fps);
    return true;
}

bool LoadAdts(const std::vector<uint8_t>& adts, const std::vector<uint8_t>& asc, Track* t,
              std::string* err) {
    static const uint32_t rates[13] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                       22050, 16000, 12000, 11025, 8000,  7350};
    size_t at = 0;
    uint32_t profile = 0, sf = 0, chan = 0;
    while (at < adts.size()) {
        if (adts.size() - at < 7 || adts[at] != 0xFF || (adts[at + 1] & 0xF6) != 0xF0) {
            *err = "lost ADTS sync at byte " + std::to_string(at);
            return false;
        }
        const uint8_t* h = &adts[at];
        bool crc = !(h[1] & 1);
        uint32_t p = h[2] >> 6, s = (h[2] >> 2) & 15, c = ((h[2] & 1) << 2) | (h[3] >> 6);
        size_t len = ((h[3] & 3u) << 11) | (uint32_t(h[4]) << 3) | (h[5] >> 5);
        uint32_t blocks = h[6] & 3;
        size_t head = crc ? 9 : 7;
        if (len <= head || at + len > adts.size() || s > 12) {
            *err = "bad ADTS frame at byte " + std::to_string(at);
            return false;
        }
        if (blocks != 0) {
            *err = "ADTS frames with several raw data blocks are not supported";
            return false;
        }
        if (t->samples.empty()) {
            profile = p;
            sf = s;
            chan = c;
        } else if (p != profile || s != sf || c != chan) {
            *err = "ADTS configuration changes mid-stream";
            return false;
        }
        Sample smp;
        smp.data.assign(h + head, h + len);
        smp.duration = 1024;
        t->samples.push_back(std::move(smp));
        at += len;
    }
    if (t->samples.empty()) {
        *err = "no ADTS frames";
        return false;
    }
    if (chan == 0) {
        *err = "ADTS with a program config element is not supported";
        return false;
    }
    if (asc.empty()) {
        uint32_t aot = profile + 1;
        t->dsi = {static_cast<uint8_t>((aot << 3) | (sf >> 1)),
                  static_cast<uint8_t>(((sf & 1) << 7) | (chan << 3))};
    } else {
        t->dsi = asc;
    }
    t->kind = TrackKind::Audio;
    t->entry = "mp4a";
    t->timescale = rates[sf];
    t->sample_rate = rates[sf];
    t->channels = static_cast<uint16_t>(chan);
    t->sample_bits = 16;
    t->oti = 0x40;
    t->stream_type = 5;
    t->handler = "soun";
    t->handler_name = "SoundHandler";
    t->media_header = "smhd";
    t->constant_size = false;
    return true;
}

bool LoadPcm(const std::vector<uint8_t>& raw, uint32_t rate, uint16_t channels,
             uint32_t frames_per_sample, Track* t, std::string* err) {
    if (rate == 0 || rate > 65535 || channels == 0 || channels > 8 || frames_per_sample == 0) {
        *err = "PCM needs a rate up to 65535 Hz, 1-8 channels and frames per sample";
        return false;
    }
    size_t frame = size_t(channels) * 2;
    if (raw.empty() || raw.size() % frame) {
        *err = "the PCM file is not a whole number of frames";
        return false;
    }
    size_t step = frame * frames_per_sample;
    for (size_t at = 0; at < raw.size(); at += step) {
        size_t n = std::min(step, raw.size() - at);
        Sample s;
        s.data.assign(raw.begin() + at, raw.begin() + at + n);
        s.duration = static_cast<uint32_t>(n / frame);
        t->samples.push_back(std::move(s));
    }
    t->kind = TrackKind::Audio;
    t->entry = "sowt";
    t->timescale = rate;
    t->sample_rate = rate;
    t->channels = channels;
    t->sample_bits = 16;
    t->handler = "soun";
    t->handler_name = "SoundHandler";
    t->media_header = "smhd";
    return true;
}

}  // namespace mkclip
