// noise_probe: recovers the SBR noise generator's 512 complex values by
// probing a reference decoder (ffmpeg, run as a program).
//
// A silent AAC-LC core (digital silence, so every QMF band below the
// crossover is exactly zero) gets SBR data from `sbrsplice --noise-probe`:
// one flat envelope, one flat noise floor, no sinusoids, no smoothing, no
// limiting, M adjacent SBR bands with M odd. The high band of slot L and band
// kx + m is then c * V[(s + L*M + m) mod 512] for a constant level c and an
// unknown start s, and ffmpeg's float output is that matrix through the
// 64-band complex QMF synthesis. Since M is odd, every entry of V shows up in
// every band within 512 slots, so the output (64 samples a slot) pins down
// the 1024 reals by least squares: normal equations, Cholesky. The sub-slot
// delay of the decode is found by trying all 64; the right one leaves a
// residual at the float output's rounding. The level and the rotation s
// come from three entries known beforehand (--anchor-free skips that and
// prints the raw solution).
//
// Built by hand and run from the source tree after building sbrsplice:
//   g++ -O2 -I. tools/aac/noise_probe.cpp codecs/aac/sbr_tables.cpp -o build/noise_probe
//   build/noise_probe build/rel/tools/sbrsplice/sbrsplice build/probe 10,0 13,4
// Each START,STOP pair is one probe stream (M = 3 and M = 5 at 48 kHz); the
// tables they give are compared, and their mean is printed as Q11 pairs,
// the form of kSbrNoiseTable in codecs/aac/sbr_tables.cpp. Measured: both
// fits at 91 dB (the Q15 window of our model against the reference's
// exact one), the two tables within 1.9e-5 of each other, the level
// exactly 1/sqrt(8) in both, the anchors met within 1e-5, mean |V|^2 1.0032.
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <complex>
#include <string>
#include <vector>

#include "codecs/aac/sbr_tables.h"

namespace {

typedef std::complex<double> Cx;

bool Run(const std::string& cmd) { return system(cmd.c_str()) == 0; }

std::vector<float> ReadF32(const std::string& path) {
    std::vector<float> v;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return v;
    float buf[4096];
    size_t n;
    while ((n = fread(buf, sizeof(float), 4096, f)) > 0) v.insert(v.end(), buf, buf + n);
    fclose(f);
    return v;
}

struct Probe {
    std::vector<float> y;
    int kx = 0, m = 0;
    // Per (d, j, band): the weight of Re and Im of the band's value in slot
    // T - d on output sample j of slot T.
    std::vector<double> wr, wi;

    void Weights() {
        wr.assign((size_t)10 * 64 * m, 0.0);
        wi.assign((size_t)10 * 64 * m, 0.0);
        for (int d = 0; d < 10; d++)
            for (int j = 0; j < 64; j++) {
                const int n = j + 64 * (d & 1);
                const double c = kSbrQmfWindow[64 * d + j] / 32768.0 / 64.0;
                for (int b = 0; b < m; b++) {
                    const double a = M_PI * (kx + b + 0.5) * (2 * n - 255) / 128.0;
                    wr[((size_t)d * 64 + (size_t)j) * (size_t)m + (size_t)b] = c * cos(a);
                    wi[((size_t)d * 64 + (size_t)j) * (size_t)m + (size_t)b] = -c * sin(a);
                }
            }
    }

    // Least squares over output slots [t0, t1) with the decode shifted by
    // `delay` samples. Returns the fit's SNR in dB; fills u (re, im per entry).
    double Solve(int delay, int t0, int t1, std::vector<double>* u) {
        const int n = 1024;
        std::vector<double> a((size_t)n * n, 0.0), r(n, 0.0);
        std::vector<int> col(20 * (size_t)m);
        std::vector<double> val(20 * (size_t)m);
        for (int t = t0; t < t1; t++)
            for (int j = 0; j < 64; j++) {
                const size_t at = (size_t)64 * t + j + delay;
                if (at >= y.size()) return -1e9;
                int cnt = 0;
                for (int d = 0; d < 10; d++)
                    for (int b = 0; b < m; b++) {
                        const int idx = (int)(((long)(t - d) * m + b) % 512);
                        const size_t w = ((size_t)d * 64 + (size_t)j) * (size_t)m + (size_t)b;
                        col[cnt] = 2 * idx;
                        val[cnt++] = wr[w];
                        col[cnt] = 2 * idx + 1;
                        val[cnt++] = wi[w];
                    }
                for (int p = 0; p < cnt; p++) {
                    r[col[p]] += val[p] * y[at];
                    double* row = &a[(size_t)col[p] * n];
                    for (int q = 0; q < cnt; q++) row[col[q]] += val[p] * val[q];
                }
            }
        double diag = 0;
        for (int i = 0; i < n; i++) diag += a[(size_t)i * n + i];
        for (int i = 0; i < n; i++) a[(size_t)i * n + i] += 1e-12 * diag / n;
        // Cholesky, lower triangle in place.
        for (int k = 0; k < n; k++) {
            double* rk = &a[(size_t)k * n];
            double s = rk[k];
            for (int p = 0; p < k; p++) s -= rk[p] * rk[p];
            if (s <= 0) return -1e9;
            rk[k] = sqrt(s);
            for (int i = k + 1; i < n; i++) {
                double* ri = &a[(size_t)i * n];
                double v = ri[k];
                for (int p = 0; p < k; p++) v -= ri[p] * rk[p];
                ri[k] = v / rk[k];
            }
        }
        std::vector<double> z(n);
        for (int i = 0; i < n; i++) {
            double v = r[i];
            for (int p = 0; p < i; p++) v -= a[(size_t)i * n + p] * z[p];
            z[i] = v / a[(size_t)i * n + i];
        }
        for (int i = n - 1; i >= 0; i--) {
            double v = z[i];
            for (int p = i + 1; p < n; p++) v -= a[(size_t)p * n + i] * z[p];
            z[i] = v / a[(size_t)i * n + i];
        }
        *u = z;
        double sig = 0, err = 0;
        for (int t = t0; t < t1; t++)
            for (int j = 0; j < 64; j++) {
                const size_t at = (size_t)64 * t + j + delay;
                double model = 0;
                for (int d = 0; d < 10; d++)
                    for (int b = 0; b < m; b++) {
                        const int idx = (int)(((long)(t - d) * m + b) % 512);
                        const size_t w = ((size_t)d * 64 + (size_t)j) * (size_t)m + (size_t)b;
                        model += wr[w] * z[2 * idx] + wi[w] * z[2 * idx + 1];
                    }
                sig += (double)y[at] * y[at];
                err += (y[at] - model) * (y[at] - model);
            }
        return 10 * log10(sig / (err + 1e-300));
    }
};

// Makes and decodes one probe stream; solves for the table. Returns the
// solution as 512 complex values in the stream's own rotation and level.
bool ProbeOne(const std::string& splice, const std::string& dir, const std::string& bands,
              std::vector<Cx>* out) {
    const std::string core = dir + "/silent24.aac", he = dir + "/noise_" + bands + ".aac",
                      pcm = dir + "/noise_" + bands + ".f32";
    if (!Run("test -s '" + core +
             "' || ffmpeg -nostdin -v error -y -f lavfi -i anullsrc=r=24000:cl=mono -t 12 "
             "-c:a aac -b:a 32k -threads 1 -flags +bitexact -f adts '" +
             core + "'"))
        return false;
    const std::string cmd =
        "'" + splice + "' '" + core + "' '" + he + "' --noise-probe " + bands + ",40,0";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return false;
    Probe pr;
    char line[256];
    while (fgets(line, sizeof(line), p)) {
        int a, b, l;
        if (sscanf(line, "bands %d..%d, limiter bands %d", &a, &b, &l) == 3) {
            pr.kx = a;
            pr.m = b - a;
        }
    }
    if (pclose(p) != 0 || pr.m <= 0 || pr.m % 2 == 0) {
        fprintf(stderr, "noise_probe: %s needs an odd band count (got %d)\n", bands.c_str(), pr.m);
        return false;
    }
    if (!Run("ffmpeg -nostdin -v error -y -i '" + he + "' -f f32le -ac 1 '" + pcm + "'"))
        return false;
    pr.y = ReadF32(pcm);
    pr.Weights();
    printf("%s: bands %d..%d, %zu samples\n", bands.c_str(), pr.kx, pr.kx + pr.m, pr.y.size());
    // The first frames hold the decoder's start; 600 slots cover the period.
    const int t0 = 200;
    int best = -1;
    double bestSnr = -1e9;
    std::vector<double> u;
    for (int delay = 0; delay < 64; delay++) {
        const double snr = pr.Solve(delay, t0, t0 + 600, &u);
        if (snr > bestSnr) {
            bestSnr = snr;
            best = delay;
        }
    }
    const int slots = (int)(pr.y.size() / 64) - 2;
    const double snr = pr.Solve(best, t0, slots, &u);
    printf("  delay %d (mod 64): fit over %d slots at %.1f dB\n", best, slots - t0, snr);
    out->resize(512);
    for (int i = 0; i < 512; i++) (*out)[(size_t)i] = Cx(u[2 * (size_t)i], u[2 * (size_t)i + 1]);
    return snr > 80;
}

// Rotates and scales a raw solution so that it starts with the anchors.
bool Normalise(const std::vector<Cx>& raw, std::vector<Cx>* v) {
    static const Cx kAnchor[3] = {Cx(-0.99948153278296, -0.59483417516607),
                                  Cx(0.97113454393991, -0.67528515225647),
                                  Cx(0.14130051758487, -0.95090983575689)};
    double bestErr = 1e300, bestScale = 0;
    int bestS = -1;
    for (int s = 0; s < 512; s++) {
        double num = 0, den = 0;
        for (int i = 0; i < 3; i++) {
            num += (std::conj(kAnchor[i]) * raw[(size_t)((s + i) % 512)]).real();
            den += std::norm(kAnchor[i]);
        }
        const double c = num / den;
        if (c <= 0) continue;
        double err = 0;
        for (int i = 0; i < 3; i++) err += std::norm(raw[(size_t)((s + i) % 512)] / c - kAnchor[i]);
        if (err < bestErr) {
            bestErr = err;
            bestS = s;
            bestScale = c;
        }
    }
    if (bestS < 0) return false;
    printf("  anchors at %d, level %.6g, anchor error %.2g\n", bestS, bestScale, sqrt(bestErr / 3));
    v->resize(512);
    for (int i = 0; i < 512; i++) (*v)[(size_t)i] = raw[(size_t)((bestS + i) % 512)] / bestScale;
    return bestErr < 1e-8;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(
            stderr,
            "usage: noise_probe SBRSPLICE WORKDIR START,STOP [START,STOP ...] [--anchor-free]\n");
        return 1;
    }
    bool anchorFree = false;
    for (int i = 3; i < argc; i++) anchorFree = anchorFree || !strcmp(argv[i], "--anchor-free");
    Run(std::string("mkdir -p '") + argv[2] + "'");
    std::vector<std::vector<Cx>> tables;
    for (int i = 3; i < argc; i++) {
        if (!strcmp(argv[i], "--anchor-free")) continue;
        std::vector<Cx> raw, v;
        if (!ProbeOne(argv[1], argv[2], argv[i], &raw)) {
            fprintf(stderr, "noise_probe: probe %s failed\n", argv[i]);
            return 1;
        }
        if (anchorFree) {
            for (int k = 0; k < 512; k++)
                printf("%d %.9f %.9f\n", k, raw[(size_t)k].real(), raw[(size_t)k].imag());
            continue;
        }
        if (!Normalise(raw, &v)) {
            fprintf(stderr, "noise_probe: the anchors do not fit probe %s\n", argv[i]);
            return 1;
        }
        tables.push_back(v);
    }
    if (tables.empty()) return 0;
    double worst = 0, energy = 0;
    for (size_t t = 1; t < tables.size(); t++)
        for (int k = 0; k < 512; k++)
            worst = std::max(worst, std::abs(tables[t][(size_t)k] - tables[0][(size_t)k]));
    // The probes' errors (mostly the Q15 rounding of our copy of the QMF
    // window, which the reference does not have) differ per probe: average.
    std::vector<Cx> mean(512);
    for (int k = 0; k < 512; k++) {
        for (const auto& t : tables) mean[(size_t)k] += t[(size_t)k] / (double)tables.size();
        energy += std::norm(mean[(size_t)k]);
    }
    printf("largest difference between probes %.3g; mean |V|^2 %.6f\n", worst, energy / 512);
    int q11 = 0;
    for (int k = 0; k < 512; k++)
        for (int part = 0; part < 2; part++) {
            const double x = part ? mean[(size_t)k].imag() : mean[(size_t)k].real();
            const long q = lround(x * 2048);
            const double frac = fabs(x * 2048 - floor(x * 2048) - 0.5);
            if (frac < 1e-3 + worst * 2048) q11++;  // too near a rounding boundary to trust
            printf("%s%ld,%s", (k * 2 + part) % 16 == 0 ? "    " : " ", q,
                   (k * 2 + part) % 16 == 15 ? "\n" : "");
        }
    printf("values near a Q11 rounding boundary: %d\n", q11);
    printf("first values: ");
    for (int k = 0; k < 4; k++)
        printf("(%.8f, %.8f) ", mean[(size_t)k].real(), mean[(size_t)k].imag());
    printf("\n");
    return 0;
}
