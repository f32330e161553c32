#!/usr/bin/env python3
# Prints the numeric tables of ps_tables.cpp: hybrid filter coefficients,
# decorrelator phase factors, gain/angle tables and the Huffman bit trees.
import math, cmath

def q15(x):
    v = int(round(x * 32768))
    return max(-32768, min(32767, v))

def arr(name, ctype, vals, per=12):
    out = ["static const %s %s[%d] = {" % (ctype, name, len(vals))]
    for i in range(0, len(vals), per):
        out.append("    " + ", ".join(str(v) for v in vals[i:i + per]) + ",")
    out.append("};")
    return "\n".join(out)

# 8-band prototype g[n], n = 0..12 (symmetric about n = 6).
g8 = [0.00746082949812, 0.02270420949825, 0.04546865930473, 0.07266113929591,
      0.09885108575264, 0.11793710567217, 0.125]
g8 = g8 + g8[5::-1]
# Window position j holds x(n - 12 + j); coefficient G_q(12 - j).
hyb = []
for q in range(8):
    for j in range(13):
        k = 12 - j
        c = g8[k] * cmath.exp(1j * 2 * math.pi / 8 * (q + 0.5) * (k - 6))
        hyb += [q15(c.real), q15(c.imag)]
print("// 8-band complex filter, [band q][window j] (re, im), Q15.")
print(arr("kPsHybrid8", "int16_t", hyb, 26))

# Centre frequencies in QMF bands of the 10 hybrid groups and QMF bands 3..22.
fc = [-3 / 8, -1 / 8, 1 / 8, 3 / 8, 5 / 8, 7 / 8, 10 / 8, 14 / 8, 18 / 8, 22 / 8]
fc += [k + 0.5 for k in range(3, 23)]
fract = []
for f in fc:
    c = cmath.exp(-1j * math.pi * 0.39 * f)
    fract += [q15(c.real), q15(c.imag)]
print("// Fractional-delay phase exp(-i pi 0.39 f), 30 bands (re, im), Q15.")
print(arr("kPsFractPhase", "int16_t", fract, 20))
qm = [0.43, 0.75, 0.347]
link = []
for m in range(3):
    for f in fc:
        c = cmath.exp(-1j * math.pi * qm[m] * f)
        link += [q15(c.real), q15(c.imag)]
print("// Link phase exp(-i pi q(m) f), [link][band] (re, im), Q15.")
print(arr("kPsLinkPhase", "int16_t", link, 20))

sine = [q15(math.sin(2 * math.pi * k / 2048)) for k in range(513)]
print("// sin(2 pi k / 2048), k = 0..512, Q15.")
print(arr("kPsSine", "int16_t", sine, 16))

# Huffman stand-ins (until the standard's codewords are typed in):
# complete prefix codes with the one-bit code 0 for the
# value 0, by (value, length); codes canonical by (length, value).
def canon(lens):
    order = sorted(range(len(lens)), key=lambda i: (lens[i], i))
    code = 0; prev = 0; codes = [0] * len(lens)
    for i in order:
        code <<= (lens[i] - prev); prev = lens[i]
        codes[i] = code; code += 1
    assert code == 1 << prev
    return codes

def lens_coarse():
    L = []
    for v in range(-14, 15):
        a = abs(v)
        L.append(1 if a == 0 else 4 if a <= 2 else 6 if a <= 6 else 7)
    return L

def lens_fine():
    L = []
    for v in range(-30, 31):
        a = abs(v)
        L.append(1 if a == 0 else 4 if a <= 2 else 7 if a <= 6 else 8)
    return L

def lens_icc():
    m = {-7: 14, -6: 14, -5: 12, -4: 10, -3: 7, -2: 5, -1: 3, 0: 1,
         1: 2, 2: 4, 3: 6, 4: 8, 5: 9, 6: 11, 7: 13}
    return [m[v] for v in range(-7, 8)]

def icc_codes(L):
    # unary: length l < 14 is l-1 ones then a zero; the two 14-bit codes
    # end in 0 (value -6) and 1 (value -7)
    codes = []
    for v, l in zip(range(-7, 8), L):
        if l < 14:
            codes.append(((1 << (l - 1)) - 1) << 1)
        else:
            codes.append(0x3FFE if v == -6 else 0x3FFF)
    return codes

def tree(codes, lens, lav):
    nodes = [[None, None]]
    for s, (c, l) in enumerate(zip(codes, lens)):
        n = 0
        for i in range(l - 1, -1, -1):
            b = (c >> i) & 1
            if i == 0:
                assert nodes[n][b] is None
                nodes[n][b] = -(s - lav) - 64
            else:
                if nodes[n][b] is None:
                    nodes.append([None, None]); nodes[n][b] = len(nodes) - 1
                n = nodes[n][b]
    flat = []
    for a, b in nodes:
        assert a is not None and b is not None
        flat += [a, b]
    return flat

for name, L, lav, codes in [("Iid", lens_coarse(), 14, None), ("IidFine", lens_fine(), 30, None),
                            ("Icc", lens_icc(), 7, "icc")]:
    c = icc_codes(L) if codes else canon(L)
    t = tree(c, L, lav)
    print("// %s: codes and lengths by value + %d; bit tree." % (name, lav))
    print(arr("kPsHuff%sCode" % name, "uint32_t", ["0x%x" % x for x in c], 10))
    print(arr("kPsHuff%sLen" % name, "uint8_t", L, 20))
    print(arr("kPsTree%s" % name, "int8_t", t, 20))
