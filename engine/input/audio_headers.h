// Recognisers for compressed audio frames and stream headers: AAC
// (AudioSpecificConfig, ADTS, ADIF), MPEG-1/2/2.5 audio, AC-3, AMR and
// AMR-WB, EVRC, QCELP, Vorbis identification headers and the MP3 Xing VBR
// header. Every parser reads only the bytes it is given; on failure it
// returns 0 (null) and leaves the configuration unchanged except for fields
// written before the failure.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

struct AudioFrameConfig {
    uint32_t codec_tag;
    uint32_t sample_rate;  // Hz
    uint32_t channels;
    uint32_t adapter[3];  // the audio adapter's words; the parsers leave them
    uint32_t bitrate;     // bits per second
};

struct XingInfo {
    uint32_t flags;
    uint32_t frames;
    uint32_t bytes;
    int32_t quality;  // -1 when absent
    uint8_t toc[100];
    uint32_t valid;  // frame count present and non-zero
};

struct MpegAudioHeader {
    uint32_t version;     // 1 MPEG-1, 2 MPEG-2, 25 MPEG-2.5
    uint32_t layer;       // 1-3
    uint32_t protection;  // 1 when a CRC follows the header
    uint32_t bitrate_index;
    uint32_t sample_rate_index;  // 0-2 MPEG-1, 3-5 MPEG-2, 6-8 MPEG-2.5
    uint32_t padding;
    uint32_t private_bit;
    uint32_t mode;
    uint32_t mode_extension;
    uint32_t copyright;
    uint32_t original;
    uint32_t emphasis;
    uint32_t channels;
    uint32_t frame_length;  // bytes after the 4-byte header
    uint32_t bitrate_kbps;
    uint32_t sample_rate;
    uint32_t samples_per_frame;
};

// AAC sampling frequency by index; 0 for the reserved indices 12-15.
uint32_t Aac_SampleRate(uint32_t index);

// Sample rate and channel count from an AudioSpecificConfig. 1, or 0 when
// the bytes end before the channel configuration.
int Aac_ParseAsc(const uint8_t* data, uint32_t length, AudioFrameConfig* config);

// ADTS: the next frame start (0xFFF sync) at or after *data, with the
// aac_frame_length; *data and *remaining move to it. 0 when fewer than 7
// bytes are left.
const uint8_t* Adts_FindSync(const uint8_t** data, uint32_t* remaining, uint32_t* frame_length);
// ADTS header at data or data + 1: tag 255, sample rate, channels, bitrate 0.
const uint8_t* Adts_ParseHeader(const uint8_t* data, uint32_t length, AudioFrameConfig* config);
// ADIF header with its first program configuration element.
const uint8_t* Adif_ParseHeader(const uint8_t* data, uint32_t length, AudioFrameConfig* config);

const uint8_t* Ac3_FindSync(const uint8_t** data, uint32_t* remaining, uint32_t* frame_size);
const uint8_t* Ac3_ParseHeader(const uint8_t* data, uint32_t length, AudioFrameConfig* config);

int MpegAudio_IsHeader(uint32_t value);
void MpegAudio_DecodeHeader(uint32_t value, MpegAudioHeader* fields);
// frame_size counts the whole frame, header included.
const uint8_t* MpegAudio_FindSync(const uint8_t** data, uint32_t* remaining, uint32_t* frame_size,
                                  uint32_t* samples_per_frame);
const uint8_t* MpegAudio_ParseHeader(const uint8_t* data, uint32_t length, AudioFrameConfig* config,
                                     uint32_t* samples_per_frame);

const uint8_t* Amr_ParseFileHeader(const uint8_t* data, uint32_t length, AudioFrameConfig* config);
const uint8_t* AmrWb_ParseFileHeader(const uint8_t* data, uint32_t length,
                                     AudioFrameConfig* config);
// Size of the frame starting at frame (header byte included); *size is left
// alone when length is 0.
void Amr_FrameSize(const uint8_t* frame, uint32_t length, uint32_t* size);
void AmrWb_FrameSize(const uint8_t* frame, uint32_t length, uint32_t* size);

// Skip to the next valid rate byte and give its packet size; 0 when the data
// runs out.
const uint8_t* Evrc_FrameSize(const uint8_t** data, uint32_t* remaining, uint32_t* size);
const uint8_t* Qcelp_FrameSize(const uint8_t** data, uint32_t* remaining, uint32_t* size);
void Evrc_DefaultConfig(AudioFrameConfig* config);
void Qcelp_DefaultConfig(AudioFrameConfig* config);

const uint8_t* Vorbis_ParseIdHeader(const uint8_t* data, uint32_t length, AudioFrameConfig* config);

uint32_t AudioFrame_GetSamplesPerFrame(uint32_t tag);
// Next frame of a stream with the given tag.
const uint8_t* AudioFrame_Parse(const uint8_t** data, uint32_t* remaining, uint32_t* frame_size,
                                uint32_t* samples_per_frame, uint32_t tag);
// Describes a stream from its first bytes; config->codec_tag selects the
// parser (0: try them all).
const uint8_t* AudioFrame_ParseConfig(const uint8_t* data, uint32_t length,
                                      AudioFrameConfig* config, uint32_t* samples_per_frame);
// Largest number of bytes that duration_ms of the stream can take,
// saturated at 0xFFFFFFFF.
uint32_t AudioFrame_MaxBytes(uint32_t sample_rate, int flag, uint32_t tag, uint32_t duration_ms);
uint32_t AudioCodec_TagFromId(uint32_t id);

int Xing_Find(const uint8_t* frame, uint32_t length, XingInfo* info);
// header points just after "Xing"; length counts the bytes from there.
int Xing_Parse(XingInfo* info, const uint8_t* header, uint32_t length);
uint32_t Xing_SeekPosition(const XingInfo* info, float percent);
