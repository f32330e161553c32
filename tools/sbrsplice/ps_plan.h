// Parametric-stereo payloads for sbrsplice --ps: deterministic sweeps over
// the band configurations, quantisations, border kinds and every index
// value, or IID/ICC estimated from a stereo original. Every payload is read
// back with the decoder's parser before it is used.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/aac/ps.h"

struct PsPlanConfig {
    int iidMode = 1, iccMode = 1;  // 0, 1, 2: 10, 20, 34 bands
    int iidFine = 0;
    int variableBorders = 0;
    int headerEvery = 1;
    int extBytes = -1;  // -1: no extension
    int hold = 1;       // frames a swept value stays
    int neutral = 0;    // IID 0, ICC 0 everywhere
    int constant = 0;   // constIid, constIcc everywhere
    int constIid = 0, constIcc = 0;
};

class PsPlanner {
public:
    // Seed 0 gives the neutral stream (IID 0, ICC 0); other seeds pick a
    // configuration and sweep. With a WAV original the indices are
    // estimated from it instead. Returns an error text, or empty.
    std::string Init(int seed, const std::string& wavPath, int outputRate);
    // Every band and envelope at one IID (coarse) and ICC index, 20 bands.
    std::string HoldConstant(int iid, int icc);
    // Turns the bs_extended_data 0 that ends an SBR single-channel payload
    // into 1 and appends the PS extension. False when the payload does not
    // read back as planned.
    bool Extend(SbrBitWriter* bw);
    const PsPlanConfig& config() const { return cfg_; }
    // The parameters planned for each frame so far (20 stereo bands).
    const std::vector<PsParams>& planned() const { return planned_; }

private:
    void Targets(int frame, int env, int8_t* iid, int8_t* icc);
    bool EstimateFrame(int frame, int numEnv, int8_t iid[][kPsMaxBands], int8_t icc[][kPsMaxBands]);

    PsPlanConfig cfg_;
    int seed_ = 0;
    int frame_ = 0;
    uint32_t rng_ = 1;
    PsBitstream mirror_{};  // the decoder's memory, for time-direction coding
    PsBitstream check_{};   // parser state of the read-back
    std::vector<PsParams> planned_;
    // Estimation source.
    std::vector<float> left_, right_;
    int wavRate_ = 0, outputRate_ = 0;

    uint32_t R(uint32_t n) {
        rng_ = rng_ * 1103515245u + 12345u;
        return (rng_ >> 8) % n;
    }
};

// Helpers shared with the tests.
bool PsReadWav(const std::string& path, std::vector<float>* left, std::vector<float>* right,
               int* rate, std::string* err);
// Quantises a level ratio (dB) to the nearest IID index and a correlation
// to the nearest ICC index.
int PsQuantiseIid(double db, int fine);
int PsQuantiseIcc(double rho);
// Lower edge in QMF bands (of fs / 128 each) of stereo band b, b = 0..20.
double PsStereoBandEdge(int b);

// The command line's PS options and the set-up for one stream.
struct PsSpliceOptions {
    bool on = false;
    int seed = 0;
    std::string estimate;
    bool constant = false;  // --ps-const: one IID and ICC index throughout
    int iid = 0, icc = 0;
};
std::string PsAttach(PsPlanner* ps, const PsSpliceOptions& opt, int chanCfg, int coreRate);
