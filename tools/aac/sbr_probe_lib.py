# Stream writer and measurement for the SBR Huffman probes (sbr_probe.py).
#
# Every probe frame is a silent AAC-LC channel pair at 22050 Hz with an SBR
# payload in a fill element. With a silent core the high band holds only
# the noise floor, whose energy per channel follows that channel's envelope
# energy (and noise level), so the energy ratio of the two output channels
# in a stretch of time reads the balance (or level) value coded there.
import os, struct, subprocess, tempfile

# Header: 44100 Hz output, two SBR bands (QMF 24..26, 26..29), one noise
# band, limiter off (gains 3), no smoothing.
HEADER = dict(amp_res=1, start=3, stop=3, xover=6, freq_scale=0, alter=1, noise_bands=0,
              lim_bands=0, lim_gains=3, interpol=1, smoothing=1)


def bits(v, n):
    return format(v, '0%db' % n) if n else ''


def sbr_header(h):
    s = bits(h['amp_res'], 1) + bits(h['start'], 4) + bits(h['stop'], 4) + bits(h['xover'], 3) + '00'
    s += '11'
    s += bits(h['freq_scale'], 2) + bits(h['alter'], 1) + bits(h['noise_bands'], 2)
    s += bits(h['lim_bands'], 2) + bits(h['lim_gains'], 2) + bits(h['interpol'], 1) + bits(h['smoothing'], 1)
    return s


def grid_varfix(rel, pointer, freq_res):
    # VARFIX from border 0; rel: relative borders (2, 4, 6 or 8 slots).
    n = len(rel) + 1
    pbits = 1 if n + 1 <= 2 else (2 if n + 1 <= 4 else 3)
    s = '10' + '00' + bits(len(rel), 2) + ''.join(bits((r - 2) // 2, 2) for r in rel)
    s += bits(pointer, pbits) + ''.join(bits(f, 1) for f in freq_res)
    return s


def cpe_payload(coupling, grid, dt, invf, data, header=HEADER, grid1=None, invf1=None):
    # dt: (df_env, df_noise) of channel 0 and of channel 1, lists of 0/1.
    # data: the envelope and noise bits in stream order (with coupling:
    # env 0, noise 0, env 1, noise 1; without: env 0, env 1, noise 0,
    # noise 1); add_harmonic of both channels is off and there is no
    # extended data. Returns the payload bits after the extension type.
    s = '1' + sbr_header(header)
    s += '0' + bits(coupling, 1) + grid
    if not coupling:
        s += grid1
    for env, noise in dt:
        s += ''.join(bits(x, 1) for x in env) + ''.join(bits(x, 1) for x in noise)
    s += ''.join(bits(x, 2) for x in invf)
    if not coupling:
        s += ''.join(bits(x, 2) for x in invf1)
    s += data
    s += '00' + '0'
    return s


def adts(raw_bits, chan_cfg=2, sf_index=7):
    b = raw_bits + '0' * ((-len(raw_bits)) % 8)
    n = len(b) // 8 + 7
    h = '111111111111' + '0' + '00' + '1' + '01' + bits(sf_index, 4) + '0' + bits(chan_cfg, 3) + '0000'
    h += bits(n, 13) + '11111111111' + '00'
    allb = h + b
    return bytes(int(allb[i:i + 8], 2) for i in range(0, len(allb), 8))


def silent_ics():
    # global gain, ics_info (long window, max_sfb 0), no pulse/tns/gain.
    return bits(100, 8) + '0' + '00' + '0' + bits(0, 6) + '0' + '000'


def frame(sbr_bits):
    s = '001' + '0000' + '0' + silent_ics() + silent_ics()
    if sbr_bits is not None:
        pay = '1101' + sbr_bits
        pay += '0' * ((-len(pay)) % 8)
        nbytes = len(pay) // 8
        s += '110'
        if nbytes >= 15:
            s += bits(15, 4) + bits(nbytes - 14, 8)
        else:
            s += bits(nbytes, 4)
        s += pay
    s += '111'
    return adts(s)


def decode(frames, tag):
    data = b''.join(frames)
    fd, fn = tempfile.mkstemp(prefix='sbrprobe_%s_' % tag, suffix='.aac')
    os.write(fd, data)
    os.close(fd)
    r = subprocess.run(['ffmpeg', '-nostdin', '-hide_banner', '-v', 'warning', '-f', 'aac', '-i', fn,
                        '-f', 'f64le', '-'], capture_output=True)
    os.remove(fn)
    pcm = [x[0] for x in struct.iter_unpack('<d', r.stdout)]
    return pcm[0::2], pcm[1::2], r.stderr.decode(errors='replace')


def energy(x, a, b):
    return sum(v * v for v in x[a:b])
