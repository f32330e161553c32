// Pulse data: a frame with pulses decodes exactly like the same frame with the
// pulses written into its spectral values (codebook 11), including a pulse that
// makes the band's largest value and one that lands outside the coded bands.
#include <gtest/gtest.h>

#include "codecs/aac/aac_huffman_tables.h"
#include "tests/codecs/aac/aac_test_util.h"
#include "tests/codecs/aac/aac_writer.h"

using namespace aactest;

namespace {

std::string Bits(uint32_t v, int n) {
    BitWriter w;
    w.Put(v, n);
    return w.bits;
}

// Codebook 11 codeword of an unsigned pair, then its sign bits.
std::string Pair11(int y, int z) {
    int i = 17 * (y < 0 ? -y : y) + (z < 0 ? -z : z);
    std::string s = Bits(kAacCode11[i], kAacLen11[i]);
    if (y) s += y < 0 ? "1" : "0";
    if (z) s += z < 0 ? "1" : "0";
    return s;
}

// One pulse: start band, offset, amplitude.
std::string Pulse(int startBand, int offset, int amp) {
    return "1" + Bits(0, 2) + Bits((uint32_t)startBand, 6) + Bits((uint32_t)offset, 5) +
           Bits((uint32_t)amp, 4);
}

SceOptions Band0(int cb, const std::string& spectral, const std::string& pulse = "0") {
    SceOptions o;
    o.maxSfb = 1;        // lines 0..3 at 48 kHz
    o.globalGain = 180;  // loud enough to show in 16 bits
    o.sectionCb = cb;
    o.spectral = spectral;
    o.pulse = pulse;
    return o;
}

// PCM of the second and third calls (the decoder runs one frame behind).
std::vector<int16_t> Decode(const SceOptions& o) {
    std::vector<uint8_t> f = Adts(Id(0) + SceBits(o) + End());
    Decoder dec(48000, 1, 1);
    std::vector<int16_t> pcm;
    for (int i = 0; i < 3; i++) {
        int32_t produced = 0;
        EXPECT_EQ(dec.Decode(f.data(), (int32_t)f.size(), &produced), 0);
        if (i > 0) pcm.insert(pcm.end(), dec.pcm.begin(), dec.pcm.begin() + produced / 2);
    }
    return pcm;
}

struct PulseCase {
    const char* name;
    SceOptions withPulse;
    SceOptions written;
};

TEST(AacPulse, EqualsTheValuesWrittenOut) {
    const PulseCase cases[] = {
        // a zero line loses the amplitude and becomes the band's largest value
        {"pulse on a zero line", Band0(1, "0", Pulse(0, 2, 5)),
         Band0(11, Pair11(0, 0) + Pair11(-5, 0))},
        {"pulse on a positive value", Band0(11, Pair11(0, 0) + Pair11(3, 0), Pulse(0, 2, 4)),
         Band0(11, Pair11(0, 0) + Pair11(7, 0))},
        {"pulse on a negative value", Band0(11, Pair11(-2, 0) + Pair11(1, 1), Pulse(0, 0, 9)),
         Band0(11, Pair11(-11, 0) + Pair11(1, 1))},
        // band 1 has no spectral data: the pulse is dropped
        {"pulse outside the coded bands", Band0(11, Pair11(0, 6) + Pair11(1, 0), Pulse(1, 1, 7)),
         Band0(11, Pair11(0, 6) + Pair11(1, 0))},
    };
    for (const PulseCase& pc : cases) {
        SCOPED_TRACE(pc.name);
        std::vector<int16_t> a = Decode(pc.withPulse), b = Decode(pc.written);
        ASSERT_EQ(a.size(), 2048u);
        int loud = 0;
        for (int16_t v : b) loud += v > 100 || v < -100;
        EXPECT_GT(loud, 500);  // the band is audible
        EXPECT_EQ(a, b);
    }
}

}  // namespace
