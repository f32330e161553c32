// SBR decoder: set-up, header state, payload parsing and the per-channel
// frame (analysis, HF generation, envelope adjustment, synthesis).
#pragma once
#include <cstdint>

#include "sbr_bands.h"
#include "sbr_envadj.h"
#include "sbr_hfgen.h"
#include "sbr_kernels.h"
#include "sbr_parse.h"
#include "sbr_ps_seam.h"
#include "sbr_qmf.h"

enum {
    kSbrOk = 0,
    kSbrNotDecodable = 13,  // data missing or invalid: the core PCM stands
    kSbrPsInPair = 14,      // parametric stereo signalled in a channel pair
};

// Header state.
enum { kSbrHeaderNone = 0, kSbrHeaderDefaults = 1, kSbrHeaderValid = 2 };

struct SbrChannelState {
    SbrAnalysisBank ana;
    SbrSynthesisBank syn;
    SbrQmfMatrix m;                     // slot pointers, rebuilt every frame
    SbrQmfSlot keep[kSbrOverlapSlots];  // the overlap slots kept between frames
    SbrHfState hf;
    SbrEnvAdjustState adj;
    SbrChannelHistory hist;
    SbrChannelFrame frame;  // last usable frame, for concealment
    uint8_t invf[5];
    int haveFrame;
    int lowExp;  // exponent of the low band in the overlap slots
    int slotExp[kSbrMatrixSlots];
};

struct SbrDecoder {
    int outputRate;
    int downSampled;
    SbrKernelSet ks;
    SbrHeader header;
    SbrBandTables tables;
    int headerState;
    int tablesOk;
    int psFound;      // parametric-stereo data seen in the stream
    int outChannels;  // channels the last SbrDecodeFrameList wrote
    int monoMerge;    // a channel pair's data drive one channel: merge them
    int disabled[2];  // a disabled channel is not synthesised: its QMF
                      // histories are cleared and its output is silence
    SbrChannelState ch[2];
    // The frame's slots of the channel being decoded (kSbrWorkSlots slots
    // of the caller's work memory; nothing in them outlives a frame).
    SbrQmfSlot* work;
    // Parametric stereo's second channel: its frame slots (the first
    // channel's are still in use while parametric stereo writes these).
    SbrQmfSlot psFrame[kSbrFrameSlots];
    alignas(8) unsigned char ps[kSbrPsStateBytes];
};

// Slots of work memory the decoder takes (the frame's slots and one spare).
enum { kSbrWorkSlots = kSbrFrameSlots + 1 };

// Sets the decoder up for an output rate (twice the core rate); complexSet
// chooses the kernel set; work: kSbrWorkSlots slots of frame-local memory,
// which decoders used one after the other may share. Returns 1, or 0 for a
// rate SBR does not support.
int SbrDecoderSetup(SbrDecoder* d, int outputRate, int downSampled, int complexSet,
                    SbrQmfSlot* work);

// The SBR payloads of one raw data block, in element order.
struct SbrPayload {
    const uint8_t* data;
    int bitPos;     // first bit after the extension type nibble
    int bits;       // bits of sbr_extension_data (count x 8 - 4)
    int extType;    // 13, or 14 with CRC
    int elementId;  // 0 single channel, 1 channel pair
};
struct SbrPayloadList {
    int count;  // at most 2 are used
    SbrPayload item[2];
    int frameGood;  // 0: the frame was lost or damaged (its payloads dropped)
};

// One frame with its payload list (two payloads: one single-channel
// element per channel). Channel c's 1024 core samples are read from
// pcmIn + c x inStride and its output written to pcmOut + c x outStride.
// The two may be one buffer: a channel is analysed whole before any of
// its output is written, so with a stride of at least 2048 the frame runs
// in place. A mono core with parametric stereo writes two channels;
// d->outChannels tells.
int SbrDecodeFrameList(SbrDecoder* d, const SbrPayloadList* list, const int16_t* pcmIn,
                       int inStride, int channels, int16_t* pcmOut, int outStride);

// The SBR data are delayed by one frame to meet the core's one-frame
// delay: each frame's payloads are copied into the store (at most 538
// bytes each, and never more than the payload holds) and the previous
// frame's list comes back.
enum { kSbrPayloadStoreBytes = 538 };
struct SbrPayloadDelay {
    uint8_t store[2][2][kSbrPayloadStoreBytes];
    SbrPayloadList kept;
    int keptGood;
    int slot;
};
void SbrPayloadDelayInit(SbrPayloadDelay* pd);

// Parses a payload list without any signal processing (the probe): keeps
// the header state and notes parametric stereo. Returns kSbrOk,
// kSbrNotDecodable or kSbrPsInPair.
int SbrParseFrameList(SbrDecoder* d, const SbrPayloadList* list);

// Merges the dequantised frame records of a channel pair into channel 0's
// (mono output of a stereo stream): the later start, the later end, the
// union of the borders thinned to at least 2 slots apart and at most 5
// envelopes, the mean energies, the stronger inverse filtering, every
// sinusoid. Channel 1's record is left as it was.
void SbrMergeChannels(SbrChannelFrame* f0, uint8_t invf0[5], const SbrChannelFrame* f1,
                      const uint8_t invf1[5], const SbrBandTables* t);

// Clears the QMF histories of both channels (analysis and synthesis
// delay lines and the kept overlap slots).
void SbrClearChannelHistories(SbrDecoder* d);
// Takes this frame's list and good flag; returns the previous frame's in
// *out and *outGood (pointers into the store).
void SbrPayloadDelayPush(SbrPayloadDelay* pd, const SbrPayloadList* in, int good,
                         SbrPayloadList* out, int* outGood);

// One frame: the core's 1024 PCM samples per channel (planar, channel c at
// c x 1024) and the frame's SBR payload (the bits after the extension type:
// `bits` bits from bit `bitOffset` of `data`, extension type 13 or 14,
// element 0 = single channel, 1 = channel pair). Writes 2048 samples per
// channel (1024 down-sampled), channel c at c x 2048. Returns kSbrOk, or
// kSbrNotDecodable / kSbrPsInPair with pcmOut untouched.
int SbrDecodeFrame(SbrDecoder* d, const uint8_t* data, int bitOffset, int bits, int extType,
                   int elementId, const int16_t* pcmIn, int channels, int16_t* pcmOut);
