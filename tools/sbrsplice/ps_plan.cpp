// sbrsplice --ps: planning, writing and reading back PS payloads.
#include "ps_plan.h"
#include "fft.h"

#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>

namespace {

const int kBands[3] = {10, 20, 34};
const double kIidDb[15] = {-25, -18, -14, -10, -7, -4, -2, 0, 2, 4, 7, 10, 14, 18, 25};
const double kIidFineDb[31] = {-50, -45, -40, -35, -30, -25, -22, -19, -16, -13, -10,
                               -8,  -6,  -4,  -2,  0,   2,   4,   6,   8,   10,  13,
                               16,  19,  22,  25,  30,  35,  40,  45,  50};
const double kIccRho[8] = {1, 0.937, 0.84118, 0.60092, 0.36764, 0, -0.589, -1};

// Stereo band edges in QMF bands: the hybrid split of QMF bands 0..2,
// then the QMF groups.
const double kEdges[21] = {0, 0.25, 0.5, 0.75, 1,  1.5, 2,  2.5, 3,  4, 5,
                           6, 7,    8,   9,    11, 14,  18, 23,  35, 64};

// 20 stereo bands seen from 10 or 34 parameter bands: each parameter band
// of a coarser (10) or finer (34) set takes the 20-band value it covers.
void From20(const int8_t* v20, int mode, int8_t* out) {
    if (mode == 1) {
        memcpy(out, v20, 20);
    } else if (mode == 0) {
        for (int b = 0; b < 10; b++) out[b] = v20[2 * b];
    } else {
        // Inverse of the 34-to-20 grouping: 0,0 1,1 | 2,2 3,3 | 4 4 5 5 6 7 8 8 9 9
        // 10 11 12 13 14 14 15 15 16 16 17 17 18 18 18 18 19 19.
        static const uint8_t kMap[34] = {0,  0,  1,  2,  2,  3,  4,  4,  5,  5,  6,  7,
                                         8,  8,  9,  9,  10, 11, 12, 13, 14, 14, 15, 15,
                                         16, 16, 17, 17, 18, 18, 18, 18, 19, 19};
        for (int b = 0; b < 34; b++) out[b] = v20[kMap[b]];
    }
}

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }

}  // namespace

double PsStereoBandEdge(int b) { return kEdges[b]; }

int PsQuantiseIid(double db, int fine) {
    const double* t = fine ? kIidFineDb : kIidDb;
    const int n = fine ? 31 : 15;
    int best = 0;
    for (int i = 1; i < n; i++)
        if (std::fabs(t[i] - db) < std::fabs(t[best] - db)) best = i;
    return best - n / 2;
}

int PsQuantiseIcc(double rho) {
    int best = 0;
    for (int i = 1; i < 8; i++)
        if (std::fabs(kIccRho[i] - rho) < std::fabs(kIccRho[best] - rho)) best = i;
    return best;
}

bool PsReadWav(const std::string& path, std::vector<float>* left, std::vector<float>* right,
               int* rate, std::string* err) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        *err = "cannot open " + path;
        return false;
    }
    std::vector<uint8_t> d;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) d.insert(d.end(), buf, buf + n);
    fclose(f);
    if (d.size() < 12 || memcmp(&d[0], "RIFF", 4) || memcmp(&d[8], "WAVE", 4)) {
        *err = "original is not a WAV file";
        return false;
    }
    int channels = 0, bits = 0;
    size_t pos = 12;
    while (pos + 8 <= d.size()) {
        const uint32_t len = Le32(&d[pos + 4]);
        const size_t body = pos + 8;
        if (!memcmp(&d[pos], "fmt ", 4) && len >= 16 && body + 16 <= d.size()) {
            const int format = d[body] | d[body + 1] << 8;
            channels = d[body + 2] | d[body + 3] << 8;
            *rate = (int)Le32(&d[body + 4]);
            bits = d[body + 14] | d[body + 15] << 8;
            if (format != 1 && format != 0xFFFE) {
                *err = "original must be PCM";
                return false;
            }
        } else if (!memcmp(&d[pos], "data", 4)) {
            if (channels != 2 || bits != 16) {
                *err = "original must be 16-bit stereo";
                return false;
            }
            const size_t end = body + len > d.size() ? d.size() : body + len;
            for (size_t i = body; i + 4 <= end; i += 4) {
                left->push_back((float)(int16_t)(d[i] | d[i + 1] << 8));
                right->push_back((float)(int16_t)(d[i + 2] | d[i + 3] << 8));
            }
            return true;
        }
        pos = body + len + (len & 1);
    }
    *err = "original has no data chunk";
    return false;
}

std::string PsPlanner::Init(int seed, const std::string& wavPath, int outputRate) {
    seed_ = seed;
    rng_ = (uint32_t)seed * 2654435761u + 17u;
    outputRate_ = outputRate;
    cfg_ = PsPlanConfig();
    if (seed == 0) {
        cfg_.neutral = 1;
    } else {
        cfg_.iidMode = seed % 3;
        cfg_.iidFine = (seed / 3) % 2;
        cfg_.iccMode = (seed / 6) % 3;
        cfg_.variableBorders = (seed / 18) % 2;
        cfg_.headerEvery = seed % 4 == 3 ? 4 : 1;
        cfg_.extBytes = seed % 5 == 4 ? (int)(seed % 17) : -1;
        cfg_.hold = seed % 2 ? 1 : 16;
    }
    if (!wavPath.empty()) {
        std::string err;
        if (!PsReadWav(wavPath, &left_, &right_, &wavRate_, &err)) return err;
        cfg_.neutral = 0;
        cfg_.iidMode = 1;
        cfg_.iccMode = 1;
        cfg_.variableBorders = 0;
        cfg_.extBytes = -1;
    }
    memset(&mirror_, 0, sizeof(mirror_));
    memset(&check_, 0, sizeof(check_));
    return std::string();
}

std::string PsPlanner::HoldConstant(int iid, int icc) {
    if (iid < -7 || iid > 7 || icc < 0 || icc > 7) return "--ps-const: IID -7..7, ICC 0..7";
    left_.clear();
    right_.clear();
    cfg_ = PsPlanConfig();
    cfg_.constant = 1;
    cfg_.constIid = iid;
    cfg_.constIcc = icc;
    return std::string();
}

// Swept targets on 20 stereo bands: every index value passes each band.
void PsPlanner::Targets(int frame, int env, int8_t* iid, int8_t* icc) {
    const int iidMax = cfg_.iidFine ? 15 : 7;
    const int step = frame / cfg_.hold + env;
    for (int b = 0; b < kPsStereoBands; b++) {
        if (cfg_.neutral) {
            iid[b] = icc[b] = 0;
            continue;
        }
        if (cfg_.constant) {
            iid[b] = (int8_t)cfg_.constIid;
            icc[b] = (int8_t)cfg_.constIcc;
            continue;
        }
        iid[b] = (int8_t)((step + 3 * b + seed_) % (2 * iidMax + 1) - iidMax);
        icc[b] = (int8_t)((step + b + seed_) % 8);
    }
}

bool PsPlanner::EstimateFrame(int frame, int numEnv, int8_t iid[][kPsMaxBands],
                              int8_t icc[][kPsMaxBands]) {
    // One frame of output is 2048 samples at the output rate.
    const double len = 2048.0 * wavRate_ / outputRate_;
    const size_t n = 4096;
    const double hz = (double)wavRate_ / n;
    const double qmfHz = outputRate_ / 128.0;
    for (int e = 0; e < numEnv; e++) {
        const double centre = (frame + (e + 0.5) / numEnv) * len;
        std::vector<std::complex<double>> l(n), r(n);
        for (size_t i = 0; i < n; i++) {
            const long s = (long)(centre - n / 2.0) + (long)i;
            const double w = 0.5 - 0.5 * std::cos(2 * M_PI * (i + 0.5) / n);
            const bool in = s >= 0 && (size_t)s < left_.size();
            l[i] = in ? left_[(size_t)s] * w : 0.0;
            r[i] = in ? right_[(size_t)s] * w : 0.0;
        }
        Fft(l);
        Fft(r);
        int8_t v20[2][kPsStereoBands];
        for (int b = 0; b < kPsStereoBands; b++) {
            double pl = 1e-3, pr = 1e-3;
            std::complex<double> x(0, 0);
            const size_t k0 = (size_t)std::lround(kEdges[b] * qmfHz / hz);
            size_t k1 = (size_t)std::lround(kEdges[b + 1] * qmfHz / hz);
            if (k1 > n / 2) k1 = n / 2;
            for (size_t k = k0; k < k1; k++) {
                pl += std::norm(l[k]);
                pr += std::norm(r[k]);
                x += l[k] * std::conj(r[k]);
            }
            v20[0][b] = (int8_t)PsQuantiseIid(10 * std::log10(pl / pr), cfg_.iidFine);
            v20[1][b] = (int8_t)PsQuantiseIcc(x.real() / std::sqrt(pl * pr));
        }
        From20(v20[0], cfg_.iidMode, iid[e]);
        From20(v20[1], cfg_.iccMode, icc[e]);
    }
    return true;
}

bool PsPlanner::Extend(SbrBitWriter* bw) {
    PsBitstream w;
    memset(&w, 0, sizeof(w));
    w.enableIid = 1;
    w.enableIcc = 1;
    w.iidMode = (uint8_t)cfg_.iidMode;
    w.iccMode = (uint8_t)cfg_.iccMode;
    w.iidFine = (uint8_t)cfg_.iidFine;
    w.enableExt = cfg_.extBytes >= 0;
    const bool header = frame_ % cfg_.headerEvery == 0;
    if (cfg_.variableBorders && frame_ % 2) {
        w.frameClass = 1;
        w.numEnv = (uint8_t)(1 + R(4));
        // Rising borders, most ending at 32; every third variable frame ends
        // before, and the decoder appends an envelope that holds the last
        // parameters to the frame's end.
        const bool early = frame_ % 6 == 3;
        int b = 0;
        for (int e = 1; e <= w.numEnv; e++) {
            const int room = 32 - (w.numEnv - e) - b;
            b = e == w.numEnv && !early ? 32 : b + 1 + (int)R((uint32_t)(room > 1 ? room - 1 : 1));
            w.border[e] = (uint8_t)b;
        }
    } else {
        const int n[4] = {1, 1, 2, 4};
        w.numEnv = (uint8_t)n[R(4)];
        // Now and then no envelope: the previous frame's parameters hold.
        if (frame_ % 7 == 5) w.numEnv = 0;
    }
    // Target indices in native resolution.
    int8_t iid[kPsMaxEnvelopes][kPsMaxBands], icc[kPsMaxEnvelopes][kPsMaxBands];
    memset(iid, 0, sizeof(iid));
    memset(icc, 0, sizeof(icc));
    if (!left_.empty()) {
        EstimateFrame(frame_, w.numEnv, iid, icc);
    } else {
        for (int e = 0; e < w.numEnv; e++) {
            int8_t a[kPsStereoBands], c[kPsStereoBands];
            Targets(frame_, e, a, c);
            From20(a, cfg_.iidMode, iid[e]);
            From20(c, cfg_.iccMode, icc[e]);
        }
    }
    // Code each envelope over time or frequency, whichever the deltas allow
    // (time coding needs the same resolution as the previous frame, which a
    // fixed configuration keeps).
    const int iidLav = cfg_.iidFine ? 30 : 14;
    for (int e = 0; e < w.numEnv; e++) {
        const int8_t* prevIid = e ? iid[e - 1] : mirror_.prevIid;
        const int8_t* prevIcc = e ? icc[e - 1] : mirror_.prevIcc;
        int8_t prevIid20[kPsMaxBands], prevIcc20[kPsMaxBands];
        // 10-band data are compared with every second value of a spread set.
        if (cfg_.iidMode == 0 && e) {
            for (int b = 0; b < 10; b++) prevIid20[2 * b] = prevIid20[2 * b + 1] = iid[e - 1][b];
            prevIid = prevIid20;
        }
        if (cfg_.iccMode == 0 && e) {
            for (int b = 0; b < 10; b++) prevIcc20[2 * b] = prevIcc20[2 * b + 1] = icc[e - 1][b];
            prevIcc = prevIcc20;
        }
        const bool timeOk = frame_ > 0 || e > 0;
        w.iidDt[e] = (uint8_t)(timeOk && R(2));
        if (PsEncodeParameter(iid[e], kBands[cfg_.iidMode], w.iidDt[e], prevIid, cfg_.iidMode,
                              w.iidDelta[e]) > iidLav) {
            w.iidDt[e] = 0;
            PsEncodeParameter(iid[e], kBands[cfg_.iidMode], 0, prevIid, cfg_.iidMode,
                              w.iidDelta[e]);
        }
        w.iccDt[e] = (uint8_t)(timeOk && R(2));
        PsEncodeParameter(icc[e], kBands[cfg_.iccMode], w.iccDt[e], prevIcc, cfg_.iccMode,
                          w.iccDelta[e]);
    }
    // Extension payload: id 2, then ps_data, padded to whole bytes.
    uint8_t ext[256];
    memset(ext, 0, sizeof(ext));
    SbrBitWriter ew;
    SbrBitWriterInit(&ew, ext, sizeof(ext));
    SbrWriteBits(&ew, 2, 2);
    PsWriteData(&ew, &w, header || frame_ == 0, cfg_.extBytes > 0 ? cfg_.extBytes : 0);
    if (ew.error) return false;
    const int psBits = ew.pos - 2;
    const int bytes = (ew.pos + 7) / 8;
    // Read back: the decoder's parser must find what was meant.
    {
        AacBitReader br;
        AacBitsInitBits(&br, ext, 0, bytes * 8);
        AacBitsReadLong(&br, 2);
        PsBitstream got = check_;
        if (PsParseData(&got, &br, bytes * 8 - 2) != psBits || !got.dataValid) return false;
        PsParams gotParams;
        PsDecodeParameters(&got, &gotParams);
        check_ = got;
        // The meant parameters: the targets, mapped as the decoder maps them.
        for (int e = 0; e < w.numEnv; e++) {
            int8_t a[kPsMaxBands], c[kPsMaxBands];
            memcpy(a, iid[e], kPsMaxBands);
            memcpy(c, icc[e], kPsMaxBands);
            if (cfg_.iidMode == 2) PsMap34To20(a);
            if (cfg_.iccMode == 2) PsMap34To20(c);
            for (int b = 0; b < kPsStereoBands; b++) {
                const int ai = cfg_.iidMode == 0 ? a[b / 2] : a[b];
                const int ci = cfg_.iccMode == 0 ? c[b / 2] : c[b];
                if (gotParams.iid[e][b] != ai || gotParams.icc[e][b] != ci) return false;
            }
        }
        const int appended = w.frameClass && w.border[w.numEnv] < 32 ? 1 : 0;
        if (gotParams.numEnv != (w.numEnv ? w.numEnv + appended : 1)) return false;
        planned_.push_back(gotParams);
    }
    // The decoder's memory after this frame: the last envelope, native.
    mirror_ = check_;
    // bs_extended_data = 1 (over the 0 just written), size, the bytes.
    bw->pos -= 1;
    SbrWriteBits(bw, 1, 1);
    if (bytes >= 15) {
        SbrWriteBits(bw, 15, 4);
        SbrWriteBits(bw, (uint32_t)(bytes - 15), 8);
    } else {
        SbrWriteBits(bw, (uint32_t)bytes, 4);
    }
    for (int i = 0; i < bytes; i++) SbrWriteBits(bw, ext[i], 8);
    frame_++;
    return !bw->error;
}

std::string PsAttach(PsPlanner* ps, const PsSpliceOptions& opt, int chanCfg, int coreRate) {
    if (chanCfg != 1) return "--ps needs a mono stream";
    if (opt.constant) {
        std::string e = ps->Init(opt.seed, std::string(), 2 * coreRate);
        return e.empty() ? ps->HoldConstant(opt.iid, opt.icc) : e;
    }
    return ps->Init(opt.seed, opt.estimate, 2 * coreRate);
}
