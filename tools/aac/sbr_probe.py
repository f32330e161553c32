#!/usr/bin/env python3
# Recovers SBR Huffman tables by probing a reference decoder (ffmpeg, run
# as a program). Each probe frame codes a coupled (or plain) channel pair
# whose envelope holds a candidate bit pattern in the place of one symbol;
# the energy ratio of the two output channels in that envelope's stretch of
# time gives the decoded value, and a fixed-length start value right after
# it (a marker envelope) shows whether the decoder read exactly the
# candidate's length. Codes are walked in code-space order as in
# codebook_probe.py.
#
# Measured with ffmpeg: a coupled pair's left/right energy ratio moves by
# 6.02 dB per coded balance step at 3.0 dB resolution (centre 6) and 3.01
# dB at 1.5 dB resolution (centre 12), for envelopes and noise floors; it
# reads exactly over about +-36 dB here. The walk recovered all six tables
# as complete prefix codes; the 3.0 dB frequency table's known codes
# (-13..+11) came out as they were.
#
#   sbr_probe.py TABLE [--out FILE]   walks the table's code space
#   sbr_probe.py verify [TABLE...]    checks sbr_tables.cpp's codes
#   TABLE: bal_t15 bal_f15 bal_t30 bal_f30 noise_bal_t30 env_f30
import cmath, json, math, sys
from concurrent.futures import ThreadPoolExecutor
from sbr_probe_lib import *

MAXLEN = 21


def env_code(name, v):
    # Codes of the tables taken as known, from sbr_tables.cpp.
    import re, os
    src = open(os.path.join(os.path.dirname(os.path.abspath(__file__)), '../../codecs/aac/sbr_tables.cpp')).read()
    def arr(n):
        m = re.search(n + r'\[\d+\] = \{(.*?)\};', src, re.S)
        return [int(x, 0) for x in re.findall(r'0x[0-9a-fA-F]+|\d+', m.group(1))]
    code, ln = arr('k%sCode' % name), arr('k%sLen' % name)
    lav = (len(code) - 1) // 2
    return format(code[v + lav], '0%db' % ln[v + lav])


# Windows of the measured envelopes in output samples from the start of a
# frame: envelope slots [a, b) are clean in 64-sample blocks 2a + 7 ..
# 2b + 1 (the decoder's delay and the filter bank's spread, measured); one
# block more is left out at each end.
def window(a, b):
    return (2 * a + 8) * 64, (2 * b + 1) * 64


GRID = grid_varfix([2, 8], 0, [0, 0, 0])
GRID_F = grid_varfix([2, 8], 0, [0, 1, 0])
W1, W2 = window(2, 10), window(10, 16)


class Balance:
    # Balance tables: coupled pair, the candidate in the balance channel.
    def __init__(self, amp, direction):
        self.amp = amp
        self.dir = direction
        self.h = dict(HEADER, amp_res=amp)
        self.lb, self.bb = (6, 5) if amp else (7, 6)
        self.step = 6.0206 if amp else 3.0103  # dB per balance step
        self.centre = 6 if amp else 12
        self.lav = 12 if amp else 24
        # Values the candidate's delta starts from: balance values up to
        # `clean` read exactly (beyond, the weak channel sinks into what the
        # neighbouring envelopes leave in its window), so the largest
        # deltas are read from a lower start.
        self.clean = 22 if amp else 44
        self.prevs = [self.lav, self.clean - self.lav]
        self.K = 12 if amp else 24  # marker: no shift of it reads the same
        self.level = 20 if amp else 40

    def separator(self, prev):
        c = self.centre
        data = bits(0, self.lb) * 3 + bits(0, 5) * 2 + bits(c, self.bb) * 3 + bits(6, 5) * 2
        return cpe_payload(1, GRID, [([0, 0, 0], [0, 0]), ([0, 0, 0], [0, 0])], [0], data, self.h)

    def probe(self, x, prev):
        lv = self.level
        if self.dir == 't':
            lev = bits(0, self.lb) + bits(lv, self.lb) * 2
            bal = bits(prev, self.bb) + x + bits(self.K, self.bb)
            return cpe_payload(1, GRID, [([0, 0, 0], [0, 0]), ([0, 1, 0], [0, 0])], [0],
                               lev + bits(0, 5) * 2 + bal + bits(6, 5) * 2, self.h)
        # Frequency direction: envelope 1 at high resolution; the level
        # channel puts band 1 far above band 0 (time deltas from a low
        # envelope 0), so the band-1 balance alone sets the ratio.
        t = 'T15' if self.amp == 0 else 'T30'
        top = 60 if self.amp == 0 else 31
        lev = bits(0, self.lb) + env_code('Env' + t, 0) + env_code('Env' + t, top) + bits(top, self.lb)
        bal = bits(self.centre, self.bb) + bits(prev, self.bb) + x + bits(self.K, self.bb)
        return cpe_payload(1, GRID_F, [([0, 1, 0], [0, 0]), ([0, 0, 0], [0, 0])], [0],
                           lev + bits(0, 5) * 2 + bal + bits(6, 5) * 2, self.h)

    def value(self, r):
        v = round(r / self.step) + self.centre
        return v if abs(r - (v - self.centre) * self.step) < 1.0 else None

    def read(self, L, R, base, prev):
        r1 = ratio(L, R, base, W1)
        r2 = ratio(L, R, base, W2)
        v1, v2 = self.value(r1), self.value(r2)
        if v2 != self.K or v1 is None:
            return None
        return v1

    def combine(self, vs):
        # vs: value read per start in self.prevs (None: not aligned).
        hi, lo = vs
        if hi is not None and 0 <= hi <= self.clean:
            return hi - self.prevs[0]
        if lo is not None and 1 <= lo <= self.clean:
            return lo - self.prevs[1]
        return None


GRID_N = grid_varfix([8], 0, [0, 0])
N0, N1 = window(0, 8), window(8, 16)


class NoiseBalance:
    # Noise balance in time direction: coupled pair over a silent core,
    # noise floors [0, 8) and [8, 16); the candidate codes floor 0 against
    # the previous frame's last floor, floor 1 carries the marker. With a
    # low noise level the noise energy of a channel follows its share.
    step = 6.0206
    centre = 6
    clean = 14
    K = 12
    prevs = [12, 2]

    def frame_bits(self, nb, df_noise):
        data = bits(20, 6) * 2 + bits(20, 5) * 2 + bits(6, 5) * 2 + nb
        return cpe_payload(1, GRID_N, [([0, 0], [0, 0]), ([0, 0], df_noise)], [0], data)

    def separator(self, prev):
        return self.frame_bits(bits(6, 5) + bits(prev, 5), [0, 0])

    def probe(self, x, prev):
        return self.frame_bits(x + bits(self.K, 5), [1, 0])

    value = Balance.value

    def read(self, L, R, base, prev):
        v0, v1 = self.value(ratio(L, R, base, N0)), self.value(ratio(L, R, base, N1))
        return v0 if v1 == self.K else None

    combine = Balance.combine


GRID_EA = grid_varfix([8], 0, [0, 1])
GRID_EB = grid_varfix([8], 0, [1, 0])
GRID_ER = grid_varfix([8], 0, [0, 0])
E0 = window(0, 8)        # first envelope, whole band
E2 = (8 * 64, 17 * 64)   # first envelope of the next frame, band 1 only


class EnvF30:
    # Level envelope, 3.0 dB steps, frequency direction: a plain channel
    # pair over a silent core. Left, frame A: envelope 1 (slots 8..16,
    # high resolution) starts at S and codes band 1 with the candidate, the
    # last code of the channel; the right channel's fixed start values
    # follow at once (the marker: envelope 0 of both reads equal). Frame B:
    # the left channel takes band 0 down to 0 by a time delta, so that only
    # band 1 stays loud; the ratio to the right channel (fixed value) in
    # band 1's middle (9.2 to 9.75 kHz) gives the value.
    step = 3.0103
    clean = 34
    prevs = [31, 3]
    A0 = 20
    M = (14, 0, 17)  # right: frame A envelopes 0, 1; frame B envelope 0

    def __init__(self):
        n = E2[1] - E2[0]
        w = [0.5 - 0.5 * math.cos(2 * math.pi * (i + 0.5) / n) for i in range(n)]
        k0, k1 = math.ceil(9200 * n / 44100), math.floor(9750 * n / 44100)
        self.kern = [[w[i] * cmath.exp(-2j * math.pi * k * i / n) for i in range(n)] for k in range(k0, k1 + 1)]

    def band(self, x, a):
        seg = x[a:a + len(self.kern[0])]
        return sum(abs(sum(c * v for c, v in zip(k, seg))) ** 2 for k in self.kern)

    def pair(self, gl, dtl, envl, envr):
        return cpe_payload(0, gl, [(dtl, [0, 0]), ([0, 0], [0, 0])], [0], envl + envr + bits(0, 5) * 4,
                           grid1=GRID_ER, invf1=[0])

    def separator(self, prev):
        return self.pair(GRID_ER, [0, 0], bits(0, 6) * 2, bits(0, 6) * 2)

    def probe(self, x, prev):
        a = self.pair(GRID_EA, [0, 0], bits(self.A0, 6) + bits(prev, 6) + x,
                      bits(self.M[0], 6) + bits(self.M[1], 6))
        b = self.pair(GRID_EB, [1, 0], env_code('EnvT30', -prev) + env_code('EnvT30', 0) + bits(0, 6),
                      bits(self.M[2], 6) + bits(0, 6))
        return [a, b]

    def read(self, L, R, base, prev):
        r0 = ratio(L, R, base, E0)
        if abs(r0 - (self.A0 - self.M[0]) * self.step) > 1.0:
            return None
        el, er = self.band(L, base + 2048 + E2[0]), self.band(R, base + 2048 + E2[0])
        if el <= 0 or er <= 0:
            return None
        r = 10 * math.log10(el / er)
        v = round(r / self.step) + self.M[2]
        return v if abs(r - (v - self.M[2]) * self.step) < 1.0 else None

    combine = Balance.combine


def ratio(L, R, base, w):
    a, b = base + w[0], base + w[1]
    el, er = energy(L, a, b), energy(R, a, b)
    if el <= 0 or er <= 0:
        return 999.0
    return 10 * math.log10(el / er)


def run_trials(model, xs, tag):
    frames, bases = [], []
    for x in xs:
        for p in model.prevs:
            frames.append(frame(model.separator(p)))
            probe = model.probe(x, p)
            probe = probe if isinstance(probe, list) else [probe]
            bases.append(len(frames) * 2048)
            frames += [frame(f) for f in probe]
    frames.append(frame(model.separator(model.prevs[0])))
    frames.append(frame(model.separator(model.prevs[0])))
    L, R, err = decode(frames, tag)
    out = []
    i = 0
    for x in xs:
        vs = []
        for p in model.prevs:
            base = bases[i]
            i += 1
            vs.append(model.read(L, R, base, p) if len(L) >= base + 4096 else None)
        out.append(model.combine(vs))
    return out


def walk(model, tag):
    found = {}
    P = '0'
    while True:
        xs = [(P + '0' * MAXLEN)[:t] for t in range(1, MAXLEN + 1)]
        res = run_trials(model, xs, tag)
        hit = None
        for x, s in zip(xs, res):
            if s is not None:
                hit = (x, s)
                break
        if hit is None:
            print('FAIL at', P, res, flush=True)
            return found
        code, s = hit
        if s in found:
            print('symbol', s, 'twice:', found[s], code, flush=True)
            return found
        found[s] = code
        print('%+d %s' % (s, code), flush=True)
        v = int(code, 2) + 1
        if v >= 2 ** len(code):
            return found
        P = format(v, '0%db' % len(code))


def verify(model, table, tag):
    # Every code of `table` (as sbr_tables.cpp holds it) in its own probe:
    # the reference decoder must read exactly that code and its value.
    lav = {'BalT15': 24, 'BalF15': 24}.get(table, 12 if 'Bal' in table else 31)
    symbols = list(range(-lav, lav + 1))
    res = run_trials(model, [env_code(table, v) for v in symbols], tag)
    bad = [(v, r) for v, r in zip(symbols, res) if r != v]
    for v, r in bad:
        print('%s: %+d (%s) read as %s' % (table, v, env_code(table, v), r))
    print('%s: %d of %d codes read back' % (table, len(symbols) - len(bad), len(symbols)))
    return not bad


# name: (model, table in sbr_tables.cpp)
MODELS = {
    'bal_t15': (lambda: Balance(0, 't'), 'BalT15'),
    'bal_t30': (lambda: Balance(1, 't'), 'BalT30'),
    'bal_f15': (lambda: Balance(0, 'f'), 'BalF15'),
    'bal_f30': (lambda: Balance(1, 'f'), 'BalF30'),
    'noise_bal_t30': (NoiseBalance, 'NoiseBalT30'),
    'env_f30': (EnvF30, 'EnvF30'),
}

if __name__ == '__main__':
    if sys.argv[1] == 'verify':
        names = sys.argv[2:] or list(MODELS)
        with ThreadPoolExecutor(3) as pool:
            ok = list(pool.map(lambda n: verify(MODELS[n][0](), MODELS[n][1], n), names))
        sys.exit(0 if all(ok) else 1)
    name = sys.argv[1]
    out = sys.argv[sys.argv.index('--out') + 1] if '--out' in sys.argv else name + '.json'
    found = walk(MODELS[name][0](), name)
    json.dump({str(k): v for k, v in sorted(found.items())}, open(out, 'w'), indent=0)
    print('total', len(found))
