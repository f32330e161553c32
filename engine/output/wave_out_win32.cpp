// Wave output: 16-bit PCM through WinMM's wave mapper. Written blocks go into
// a byte ring cut into 50 ms fragments, each submitted as a wave header; the
// device's done reports drive the renderer (and so the media clock).
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstring>
#include <new>

#include "engine/output/audio_renderer.h"
#include "engine/win_outputs.h"

namespace {

const int32_t kOutOfMemory = static_cast<int32_t>(0x80000001u);
const int32_t kInitFailed = static_cast<int32_t>(0x8000003Bu);
const uint32_t kFragmentMs = 50;
const float kPercent = 0.01f;

struct WaveOutDevice {
    WAVEFORMATEX format;
    HWAVEOUT handle;
    WAVEHDR* first;
    WAVEHDR* end;
    WAVEHDR* submit;
    WAVEHDR* done;  // touched by the callback only
    uint8_t* ring;
    uint32_t fragmentMs;
    uint32_t fragmentSamples;
    uint32_t fragmentBytes;
    uint32_t fragmentCount;
    uint32_t ringSize;
    std::atomic<uint32_t> inFlight;
    uint32_t pending;
    uint32_t writePos;
    uint32_t submitPos;
};

WaveOutDevice* Dev(AudioRenderer* r) { return static_cast<WaveOutDevice*>(r->device); }

void CALLBACK WaveOut_Callback(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
    if (message != WOM_DONE) return;
    AudioRenderer* r = reinterpret_cast<AudioRenderer*>(instance);
    WaveOutDevice* d = Dev(r);
    if (!d) return;
    WAVEHDR* h = d->done;
    if (h->lpData && h->dwBufferLength) std::memset(h->lpData, 0, h->dwBufferLength);
    uint32_t length = h->dwBufferLength;
    h->dwBufferLength = 0;
    d->done = h + 1 == d->end ? d->first : h + 1;
    uint32_t cur = d->inFlight.load();
    uint32_t take;
    do {
        take = length < cur ? length : cur;  // never below zero
    } while (!d->inFlight.compare_exchange_weak(cur, cur - take));
    AudioRenderer_ConsumePlayed(r, take);
    AudioRenderer_Wake(r);
}

bool HeaderBusy(const WAVEHDR* h) {
    return (h->dwFlags & WHDR_PREPARED) && !(h->dwFlags & WHDR_DONE);
}

int WaveOut_SubmitFragment(WaveOutDevice* d, uint8_t* data, uint32_t length) {
    WAVEHDR* h = d->submit;
    // A header still queued on the device is not touched: wait for its
    // done report (bounded, so a stuck device cannot hang the writer).
    for (int tries = 0; HeaderBusy(h); ++tries) {
        if (tries >= 2000) return 0;
        Sleep(1);
    }
    if (h->lpData) {
        waveOutUnprepareHeader(d->handle, h, sizeof *h);
        std::memset(h, 0, sizeof *h);
    }
    h->lpData = reinterpret_cast<LPSTR>(data);
    h->dwBufferLength = length;
    if (waveOutPrepareHeader(d->handle, h, sizeof *h) != MMSYSERR_NOERROR) return 0;
    if (waveOutWrite(d->handle, h, sizeof *h) != MMSYSERR_NOERROR) return 0;
    d->submit = h + 1 == d->end ? d->first : h + 1;
    return 1;
}

// Submits up to `limit` pending bytes from the submit position, never across
// the ring's end (a run that wraps becomes two headers).
int SubmitRun(WaveOutDevice* d, uint32_t limit) {
    uint32_t n = limit;
    if (n > d->ringSize - d->submitPos) n = d->ringSize - d->submitPos;
    if (!WaveOut_SubmitFragment(d, d->ring + d->submitPos, n)) return 0;
    d->submitPos += n;
    if (d->submitPos >= d->ringSize) d->submitPos -= d->ringSize;
    d->pending -= n;
    return 1;
}

int32_t WaveOut_Open(AudioRenderer* r) {
    const uint32_t channels = r->outChannels;
    const uint32_t rate = r->outRate;
    // Only mono and stereo reach the wave mapper: more channels are refused
    // rather than played as garbled stereo.
    if (channels < 1 || channels > 2 || rate == 0) return kInitFailed;
    WaveOutDevice* d = new (std::nothrow) WaveOutDevice();
    if (!d) return kOutOfMemory;
    d->format.wFormatTag = WAVE_FORMAT_PCM;
    d->format.nChannels = static_cast<WORD>(channels);
    d->format.nSamplesPerSec = rate;
    d->format.nBlockAlign = static_cast<WORD>(channels * 2);
    d->format.nAvgBytesPerSec = d->format.nBlockAlign * rate;
    d->format.wBitsPerSample = 16;
    if (waveOutOpen(&d->handle, WAVE_MAPPER, &d->format,
                    reinterpret_cast<DWORD_PTR>(&WaveOut_Callback), reinterpret_cast<DWORD_PTR>(r),
                    CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
        delete d;
        return kInitFailed;
    }
    d->fragmentMs = kFragmentMs;
    d->fragmentSamples = rate * kFragmentMs / 1000;
    d->fragmentBytes = d->fragmentSamples * channels * 2;
    if (d->fragmentBytes == 0) d->fragmentBytes = channels * 2;
    d->fragmentCount = (d->fragmentBytes / 2 + r->deviceBufferBytes) / d->fragmentBytes;
    if (d->fragmentCount < 2) d->fragmentCount = 2;
    d->ringSize = d->fragmentCount * d->fragmentBytes;
    d->ring = new (std::nothrow) uint8_t[d->ringSize]();
    d->first = new (std::nothrow) WAVEHDR[d->fragmentCount]();
    if (!d->ring || !d->first) {
        waveOutClose(d->handle);
        delete[] d->ring;
        delete[] d->first;
        delete d;
        return kOutOfMemory;
    }
    d->end = d->first + d->fragmentCount;
    d->submit = d->done = d->first;
    r->device = d;
    return 0;
}

// Stops the handle and gives back every prepared header on that same handle.
void ReleaseHandle(WaveOutDevice* d) {
    waveOutReset(d->handle);
    for (WAVEHDR* h = d->first; h != d->end; ++h) {
        if (h->lpData) waveOutUnprepareHeader(d->handle, h, sizeof *h);
        std::memset(h, 0, sizeof *h);
    }
    waveOutClose(d->handle);
    d->handle = nullptr;
}

void WaveOut_Close(AudioRenderer* r) {
    WaveOutDevice* d = Dev(r);
    if (!d) return;
    if (d->pending) {
        while (d->pending)
            if (!SubmitRun(d, d->pending)) break;
        Sleep(1000);
    }
    ReleaseHandle(d);
    r->device = nullptr;
    delete[] d->first;
    delete[] d->ring;
    delete d;
}

uint32_t WaveOut_GetFreeBytes(AudioRenderer* r) {
    WaveOutDevice* d = Dev(r);
    return d ? d->ringSize - d->inFlight.load() : 0;
}

void CopyIn(WaveOutDevice* d, uint32_t at, const int16_t* p0, const int16_t* p1,
            uint32_t sampleFrom, uint32_t bytes, uint32_t channels) {
    if (channels == 2 && p1) {
        int16_t* out = reinterpret_cast<int16_t*>(d->ring + at);
        uint32_t n = bytes / 4;
        for (uint32_t i = 0; i < n; ++i) {
            out[2 * i] = p0[sampleFrom + i];
            out[2 * i + 1] = p1[sampleFrom + i];
        }
    } else {
        std::memcpy(d->ring + at,
                    reinterpret_cast<const uint8_t*>(p0) + size_t(sampleFrom) * 2 * channels,
                    bytes);
    }
}

int WaveOut_Write(AudioRenderer* r, const int16_t* p0, const int16_t* p1, uint32_t samples) {
    WaveOutDevice* d = Dev(r);
    if (!d) return 0;
    const uint32_t channels = d->format.nChannels;
    uint32_t bytes = channels * samples * 2;
    if (bytes > d->ringSize - d->inFlight.load()) bytes = d->ringSize - d->inFlight.load();
    if (p0 && bytes) {
        uint32_t room = d->ringSize - d->writePos;
        uint32_t firstPart = bytes > room ? room : bytes;
        CopyIn(d, d->writePos, p0, p1, 0, firstPart, channels);
        if (bytes > firstPart)
            CopyIn(d, 0, p0, p1, firstPart / (2 * channels), bytes - firstPart, channels);
    }
    d->writePos += bytes;
    if (d->writePos >= d->ringSize) d->writePos -= d->ringSize;
    d->pending += bytes;
    d->inFlight += bytes;
    while (d->pending > d->fragmentBytes)
        if (!SubmitRun(d, d->fragmentBytes)) return 0;
    if (r->drain) {
        // Everything pending goes at once; a run that reaches the ring's end
        // is split so that later fragments start on fragment boundaries.
        if (d->pending == 0) {
            WaveOut_SubmitFragment(d, d->ring + d->submitPos, 0);
        } else {
            while (d->pending)
                if (!SubmitRun(d, d->pending)) break;
        }
        d->pending = 0;
    }
    return 1;
}

int WaveOut_Pause(AudioRenderer* r) {
    WaveOutDevice* d = Dev(r);
    return d && static_cast<LONG>(waveOutPause(d->handle)) >= 0;
}

int WaveOut_Restart(AudioRenderer* r) {
    WaveOutDevice* d = Dev(r);
    return d && static_cast<LONG>(waveOutRestart(d->handle)) >= 0;
}

int WaveOut_Reset(AudioRenderer* r) {
    WaveOutDevice* d = Dev(r);
    if (!d) return 0;
    int ok = static_cast<LONG>(waveOutReset(d->handle)) >= 0;
    std::memset(d->ring, 0, d->ringSize);
    d->inFlight = 0;
    d->pending = 0;
    d->writePos = 0;
    d->submitPos = 0;
    return ok;
}

bool OpenAt(AudioRenderer* r, WaveOutDevice* d, uint32_t rate) {
    d->format.nSamplesPerSec = rate;
    d->format.nAvgBytesPerSec = d->format.nBlockAlign * rate;
    return waveOutOpen(&d->handle, WAVE_MAPPER, &d->format,
                       reinterpret_cast<DWORD_PTR>(&WaveOut_Callback),
                       reinterpret_cast<DWORD_PTR>(r), CALLBACK_FUNCTION) == MMSYSERR_NOERROR;
}

int WaveOut_ReopenAtSpeed(AudioRenderer* r, uint32_t percent) {
    WaveOutDevice* d = Dev(r);
    if (!d || percent == 0 || r->outRate == 0) return 0;
    double ratio = double(d->format.nSamplesPerSec) / double(r->outRate);
    Sleep(static_cast<DWORD>(double(d->fragmentCount) * 50.0 / ratio));
    // The old handle is released (on that handle) before the new one opens.
    // Its queue has played out; headers returned by the reset are reported
    // through the callback as played.
    ReleaseHandle(d);
    d->submit = d->done = d->first;
    // The device is empty now: what was in flight has been reported played.
    d->inFlight = d->pending;
    // In double precision, so both builds truncate the same product: with
    // the single-precision 0.01 (0.0099999998), 48000 Hz at 200 % is 95999.
    const uint32_t newRate =
        static_cast<uint32_t>(double(r->outRate) * double(percent) * double(kPercent));
    if (newRate && OpenAt(r, d, newRate)) return 1;
    OpenAt(r, d,
           static_cast<uint32_t>(double(r->speed.load()) * double(r->outRate) * double(kPercent)));
    return 0;
}

uint32_t WaveOut_GetVolume(AudioRenderer* r) {
    WaveOutDevice* d = Dev(r);
    DWORD v = 0;
    if (!d || waveOutGetVolume(d->handle, &v) != MMSYSERR_NOERROR) return 0;
    return v & 0xFFFF;
}

int WaveOut_SetVolume(AudioRenderer* r, uint32_t v) {
    uint32_t word = (v & 0xFFFF) | ((v & 0xFFFF) << 16);
    r->volume = word;
    WaveOutDevice* d = Dev(r);
    if (!d) return 0;
    return waveOutSetVolume(d->handle, word) == MMSYSERR_NOERROR;
}

MMRESULT Mixer_FindWaveOutVolume(HMIXER mixer, DWORD type, MIXERCONTROLW* control,
                                 MIXERLINEW* lineOut) {
    MIXERLINEW line = {};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    MMRESULT res = mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer), &line,
                                     MIXER_GETLINEINFOF_COMPONENTTYPE);
    if (res != MMSYSERR_NOERROR) return res;
    if (lineOut) *lineOut = line;
    MIXERLINECONTROLSW lc = {};
    lc.cbStruct = sizeof lc;
    lc.dwLineID = line.dwLineID;
    lc.dwControlType = type;
    lc.cControls = 1;
    lc.cbmxctrl = sizeof *control;
    lc.pamxctrl = control;
    return mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer), &lc,
                                 MIXER_GETLINECONTROLSF_ONEBYTYPE);
}

UINT Mixer_FindDevice() {
    UINT n = mixerGetNumDevs();
    for (UINT i = 0; i < n; ++i) {
        HMIXER m = nullptr;
        if (mixerOpen(&m, i, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) continue;
        MIXERCONTROLW c = {};
        c.cbStruct = sizeof c;
        bool found = Mixer_FindWaveOutVolume(m, MIXERCONTROL_CONTROLTYPE_VOLUME, &c, nullptr) ==
                     MMSYSERR_NOERROR;
        mixerClose(m);
        if (found) return i;
    }
    return 0;
}

// Reads (set = false) or writes the mute of the mixer's wave-out line.
// Result: the value read, or 1 after a write; 0 when there is no control.
uint32_t MuteControl(bool set, uint32_t on) {
    HMIXER m = nullptr;
    if (mixerOpen(&m, Mixer_FindDevice(), 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) return 0;
    MIXERCONTROLW c = {};
    c.cbStruct = sizeof c;
    MIXERLINEW line = {};
    uint32_t result = set ? 1 : 0;
    if (Mixer_FindWaveOutVolume(m, MIXERCONTROL_CONTROLTYPE_MUTE, &c, &line) == MMSYSERR_NOERROR) {
        DWORD channels = (c.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) ? 1 : line.cChannels;
        if (channels == 0) channels = 1;
        HLOCAL buf = LocalAlloc(LPTR, channels * sizeof(MIXERCONTROLDETAILS_BOOLEAN));
        if (buf) {
            auto* values = static_cast<MIXERCONTROLDETAILS_BOOLEAN*>(buf);
            MIXERCONTROLDETAILS det = {};
            det.cbStruct = sizeof det;
            det.dwControlID = c.dwControlID;
            det.cChannels = channels;
            det.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
            det.paDetails = values;
            if (mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(m), &det,
                                        MIXER_GETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR) {
                if (set) {
                    values[0].fValue = values[channels - 1].fValue = on ? 1 : 0;
                    mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(m), &det,
                                           MIXER_SETCONTROLDETAILSF_VALUE);
                } else {
                    result = static_cast<uint32_t>(values[channels - 1].fValue);
                }
            }
            LocalFree(buf);
        }
    }
    mixerClose(m);
    return result;
}

uint32_t WaveOut_GetMute(AudioRenderer*) { return MuteControl(false, 0); }
int WaveOut_SetMute(AudioRenderer*, uint32_t on) { return static_cast<int>(MuteControl(true, on)); }

const AudioOutputDevice kWaveOut = {
    WaveOut_Open,      WaveOut_Close,     WaveOut_GetFreeBytes, WaveOut_Write,
    WaveOut_Pause,     WaveOut_Reset,     WaveOut_Restart,      WaveOut_ReopenAtSpeed,
    WaveOut_GetVolume, WaveOut_SetVolume, WaveOut_GetMute,      WaveOut_SetMute,
};

}  // namespace

void WaveOut_Register() { AudioRenderer_RegisterDevice(AUDIO_DEVICE_WAVEOUT, &kWaveOut); }
const AudioOutputDevice* WaveOut_Device() { return &kWaveOut; }
