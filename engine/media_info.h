// The clip description filled by the container reader, completed by the
// source and read by the decoders, and the compact copy the player
// interface hands out.
#pragma once

#include <cstddef>
#include <cstdint>

enum : uint32_t {
    MEDIAINFO_MAX_AUDIO = 2,
    MEDIAINFO_MAX_VIDEO = 2,
    MEDIAINFO_MAX_TEXT = 3,
    MEDIAINFO_CONFIG_BYTES = 128,
};

// Codec tags: video codecs are FourCCs, first character in the lowest byte.
constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

// Audio codec tags (wave-format numbers) are in engine/codec_names.h.
constexpr uint32_t CODEC_TAG_BLBX = MakeFourCC('B', 'L', 'B', 'X');  // the recorder's data track

struct AudioTrackInfo {   // 44 words
    uint32_t codec;       // wave-format tag
    uint32_t sampleRate;  // Hz
    uint32_t channels;
    uint32_t bitsPerSample;
    uint32_t samplesPerFrame;  // written by the decoder
    uint32_t reserved;
    uint32_t bitrate;                        // bit/s
    uint8_t config[MEDIAINFO_CONFIG_BYTES];  // AudioSpecificConfig for AAC
    uint32_t configLength;
    uint32_t maxSampleSize;     // bytes
    uint32_t pcmBufferSamples;  // written by the decoder
    uint32_t duration;          // ms
    uint32_t perPacketTime;
};

struct VideoTrackInfo {     // 43 words
    uint32_t codec;         // FourCC, upper-cased by the source
    uint32_t outputFourCC;  // written by the decoder
    uint32_t width;
    uint32_t height;
    uint32_t frameRate;  // thousandths of a frame per second
    uint32_t reserved;
    uint32_t bitsPerPixel;
    uint32_t bitrate;                        // bit/s
    uint8_t config[MEDIAINFO_CONFIG_BYTES];  // VOL headers for MPEG-4
    uint32_t configLength;
    uint32_t maxSampleSize;  // bytes
    uint32_t duration;       // ms
};

struct TextTrackInfo {  // 4 words
    uint32_t codec;
    uint32_t readerWord;     // the MP4 reader keeps the average bitrate here
    uint32_t maxSampleSize;  // bytes; covers the largest sample
    uint32_t duration;       // ms
};

struct ContentInfoString {
    uint32_t wide;  // 1: UTF-16 text, 0: 8-bit text
    void* text;
};

enum : uint32_t { CONTENTINFO_STRINGS = 12, CONTENTINFO_DATA = 2 };

// Descriptive strings of a clip; no reader of this build fills it.
struct ContentInfo {
    ContentInfoString strings[CONTENTINFO_STRINGS];
    void* data[CONTENTINFO_DATA];
};

struct MediaInfo {
    uint32_t readerWord0;  // set to 0 by the MP4 reader
    uint32_t readerWord1;
    uint32_t reserved;
    uint32_t duration;       // ms
    uint32_t bufferingTime;  // ms; 0 = the source's default
    uint32_t audioCount;
    uint32_t videoCount;
    uint32_t textCount;
    AudioTrackInfo audio[MEDIAINFO_MAX_AUDIO];
    VideoTrackInfo video[MEDIAINFO_MAX_VIDEO];
    TextTrackInfo text[MEDIAINFO_MAX_TEXT];
    ContentInfo* contentInfo;  // a caller's record, or null
    uint32_t reserved2;
};

// The 30-word copy handed out by the player interface.
struct MediaInfoSummary {
    uint32_t readerWord0;
    uint32_t readerWord1;
    uint32_t duration;  // ms
    uint32_t audioCount;
    uint32_t videoCount;
    uint32_t textCount;
    struct {
        uint32_t codec, sampleRate, channels, bitrate;
    } audio[MEDIAINFO_MAX_AUDIO];
    struct {
        uint32_t codec, width, height, frameRate, bitrate;
    } video[MEDIAINFO_MAX_VIDEO];
    struct {
        uint32_t codec, readerWord;
    } text[MEDIAINFO_MAX_TEXT];
};
static_assert(sizeof(MediaInfoSummary) == 120, "MediaInfoSummary is 30 words");
static_assert(sizeof(AudioTrackInfo) == 44 * 4, "AudioTrackInfo is 44 words");
static_assert(sizeof(VideoTrackInfo) == 43 * 4, "VideoTrackInfo is 43 words");

void MediaInfo_Export(MediaInfoSummary* summary, const MediaInfo* info);
void MediaInfo_Import(MediaInfo* info, const MediaInfoSummary* summary);

// Frees every string and data block of the record and zeroes it.
void ContentInfo_Free(ContentInfo* ci);

// Big-endian byte images (no caller in the player). Each returns the pointer
// past the bytes used; the readers stop at `end` and return null when the
// image is cut short.
size_t MediaInfo_ImageSize(void);
uint8_t* MediaInfo_WriteImage(const MediaInfo* info, uint8_t* out);
const uint8_t* MediaInfo_ReadImage(MediaInfo* info, const uint8_t* in, const uint8_t* end);
// The summary, word by word.
enum : size_t { MEDIAINFO_SUMMARY_IMAGE_BYTES = sizeof(MediaInfoSummary) };
uint8_t* MediaInfoSummary_WriteImage(const MediaInfoSummary* s, uint8_t* out);
const uint8_t* MediaInfoSummary_ReadImage(MediaInfoSummary* s, const uint8_t* in,
                                          const uint8_t* end);
// Two small records whose last word is the length of a byte block that
// follows them in the image. The writers copy `length` bytes of `block`; the
// readers point `*block` at those bytes inside the image.
struct BlockRecord5 {
    uint32_t words[4];
    uint32_t length;
};
struct BlockRecord6 {
    uint32_t words[5];
    uint32_t length;
};
uint8_t* BlockRecord5_WriteImage(const BlockRecord5* r, const uint8_t* block, uint8_t* out);
const uint8_t* BlockRecord5_ReadImage(BlockRecord5* r, const uint8_t** block, const uint8_t* in,
                                      const uint8_t* end);
uint8_t* BlockRecord6_WriteImage(const BlockRecord6* r, const uint8_t* block, uint8_t* out);
const uint8_t* BlockRecord6_ReadImage(BlockRecord6* r, const uint8_t** block, const uint8_t* in,
                                      const uint8_t* end);
// One string slot: a flag byte (1 wide, 0 8-bit), the characters and a
// terminator; a null string is the flag byte and its terminator.
size_t ContentInfo_StringImageSize(const ContentInfoString* s);
uint8_t* ContentInfo_WriteString(const ContentInfoString* s, uint8_t* out);
const uint8_t* ContentInfo_ReadString(ContentInfoString* s, const uint8_t* in, const uint8_t* end);
