// Declarations of the engine parts the player stands on that are not in
// this tree yet; replaced by their own headers as they arrive.
#pragma once

#include <cstdint>

// ---- operating-system layer
typedef uintptr_t OsLock;
typedef uintptr_t OsEvent;
typedef uintptr_t OsThread;
typedef uint32_t (*OsThreadRoutine)(void* arg);
const OsThread OS_NO_THREAD = static_cast<OsThread>(-1);

OsLock OS_CreateLock();
int OS_DeleteLock(OsLock lock);
int OS_Lock(OsLock lock);
int OS_Unlock(OsLock lock);
OsEvent OS_CreateEvent(const uint16_t* name);
int OS_CloseEvent(OsEvent ev);
int OS_SetEvent(OsEvent ev);
int OS_WaitEvent(OsEvent ev, uint32_t timeoutMs);
OsThread OS_CreateThread(const char* name, OsThreadRoutine routine, void* arg, int32_t priority,
                         uint32_t stackSize, uint32_t flags);
void OS_CloseThread(OsThread thread);
void OS_Sleep(uint32_t ms);
uint32_t OS_GetTickCount();
int OS_ComInit();
void OS_ComUninit();

// ---- media clock
struct MediaClock;
MediaClock* Clock_Create(uint32_t startMs, uint32_t speed);
void Clock_Destroy(MediaClock* clock);
int Clock_Resume(MediaClock* clock, uint32_t startNow);
int Clock_Pause(MediaClock* clock);
int Clock_SetSpeed(MediaClock* clock, uint32_t speed);
int Clock_Sync(MediaClock* clock, uint32_t timeMs);
int Clock_SetTime(MediaClock* clock, uint32_t timeMs);
uint32_t Clock_GetTime(MediaClock* clock);

// ---- result codes
const int32_t PLAYER_E_FAIL = static_cast<int32_t>(0x80000000u);
const int32_t PLAYER_E_OUT_OF_MEMORY = static_cast<int32_t>(0x80000001u);
const int32_t PLAYER_E_THREAD = static_cast<int32_t>(0x80000002u);
const int32_t PLAYER_E_NO_DATA = static_cast<int32_t>(0x80000049u);
const int32_t PLAYER_E_BUFFER_TOO_SMALL = static_cast<int32_t>(0x80000051u);
const int32_t PLAYER_E_NOT_YET = static_cast<int32_t>(0x80000052u);
const int32_t PLAYER_E_END_OF_STREAM = static_cast<int32_t>(0x80000053u);
const int32_t PLAYER_E_AUDIO_DECODE = static_cast<int32_t>(0x80000054u);
const int32_t PLAYER_E_PACKET_PENDING = static_cast<int32_t>(0x80000055u);
const int32_t PLAYER_E_NO_TRACK = static_cast<int32_t>(0x80000056u);
const int32_t PLAYER_E_FRAME_LATE = static_cast<int32_t>(0x80000057u);
const int32_t PLAYER_E_FRAME_VERY_LATE = static_cast<int32_t>(0x80000058u);
const int32_t PLAYER_E_FRAME_EARLY = static_cast<int32_t>(0x80000059u);
const int32_t PLAYER_E_AUDIO_OUTPUT = static_cast<int32_t>(0x8000003Bu);
const int32_t PLAYER_E_VIDEO_OUTPUT = static_cast<int32_t>(0x8000003Cu);

// ---- media information
struct AudioTrackInfo {
    uint32_t codecTag, sampleRate, channels, bitsPerSample, samplesPerFrame, reserved, bitrate;
    uint8_t config[128];
    uint32_t configLength, maxSampleSize, pcmBufferSize, durationMs, perPacketTime;
};
struct VideoTrackInfo {
    uint32_t fourcc, outputFourcc, width, height, frameRate1000, reserved, bitsPerPixel, bitrate;
    uint8_t config[128];
    uint32_t configLength, maxSampleSize, durationMs;
};
struct TextTrackInfo {
    uint32_t codecTag, readerWord, maxSampleSize, durationMs;
};
struct MediaInfo {
    uint32_t reader[2];
    uint32_t reserved;
    uint32_t durationMs;
    uint32_t bufferingMs;
    uint32_t audioCount, videoCount, textCount;
    AudioTrackInfo audio[2];
    VideoTrackInfo video[2];
    TextTrackInfo text[3];
    void* contentInfo;
    uint32_t reserved2;
};
struct MediaInfoSummary;
void MediaInfo_Export(MediaInfoSummary* summary, const MediaInfo* info);

// ---- samples, source
struct MediaSample {
    uint8_t* data;
    uint32_t length;
    uint32_t capacity;
    uint32_t timeMs;
    uint32_t durationMs;
    uint32_t reserved;
    uint32_t trackType;
    uint32_t flags;
};
struct MediaSource;
struct SourceOpenWords {
    const uint16_t* fileName;
    const uint16_t* url;
    uint32_t* fileSize;
    void* opaque;
};
int32_t Source_Open(MediaSource** out, const SourceOpenWords* words);
void Source_Close(MediaSource* source);
int32_t Source_GetInfo(MediaSource* source, MediaInfo* info);
int32_t Source_SetStartPosition(MediaSource* source, uint32_t* positionMs);
int32_t Source_ReadSample(MediaSource* source, MediaSample* sample);
int32_t Source_SeekTime(MediaSource* source, uint32_t* positionMs, uint32_t exact);
int32_t Source_SeekFrame(MediaSource* source, uint32_t* positionMs, uint32_t direction);
int32_t Source_SelectTrack(MediaSource* source, uint32_t index, uint32_t type);
int32_t Source_GetProgress(MediaSource* source, uint32_t progress[5]);
int32_t Source_Control(MediaSource* source, uint32_t code);
int32_t Source_SetRange(MediaSource* source, uint32_t startMs, uint32_t endMs, uint32_t set,
                        uint32_t force);
int32_t Source_AddTimeOffset(MediaSource* source, int32_t ms, uint32_t type);
int32_t Source_ProbeFileInfo(const SourceOpenWords* words, MediaInfo* info);

// ---- packet queue
struct PacketQueue;
PacketQueue* PacketQueue_Create(uint32_t entries, uint32_t maxPacket, uint32_t zeroFill);
void PacketQueue_Destroy(PacketQueue* q);
int PacketQueue_Grow(PacketQueue* q, uint32_t maxPacket);
void PacketQueue_Clear(PacketQueue* q);
int PacketQueue_GetWriteArea(PacketQueue* q, MediaSample* area);
void PacketQueue_Commit(PacketQueue* q, MediaSample* sample);
int PacketQueue_Peek(PacketQueue* q, MediaSample* packet);
void PacketQueue_KeepHead(PacketQueue* q, MediaSample* packet);
void PacketQueue_Pop(PacketQueue* q, MediaSample* packet);
uint32_t PacketQueue_Count(PacketQueue* q);

// ---- video decoder
struct DecodedFrame {
    uint8_t* y;
    uint8_t* u;
    uint8_t* v;
    uint32_t stride;
    uint32_t timeMs;
};
struct VideoDecoder;
int32_t VideoDecoder_Create(VideoDecoder** out, MediaSample* firstPacket, VideoTrackInfo* track,
                            uint32_t createAdapter);
void VideoDecoder_Destroy(VideoDecoder* dec);
void VideoDecoder_Flush(VideoDecoder* dec);
int32_t VideoDecoder_Decode(VideoDecoder* dec, MediaSample* packet);
int32_t VideoDecoder_DecodePacket(VideoDecoder* dec, MediaSample* packet, DecodedFrame* frame);

// ---- audio decoder
struct PcmBlock;
struct AudioDecoder;
int32_t AudioDecoder_Create(AudioDecoder** out, MediaSample* firstPacket, AudioTrackInfo* track);
void AudioDecoder_Destroy(AudioDecoder* dec);
int AudioDecoder_Reset(AudioDecoder* dec);
int32_t AudioDecoder_Decode(AudioDecoder* dec, MediaSample* packet, PcmBlock* area);

// ---- text decoder
struct TextDecoder;
struct SubtitleFrame {
    uint32_t words[8];
    char text[256];
    uint32_t textLength;
    uint32_t timeMs;
};
int32_t TextDecoder_Create(TextDecoder** out, const TextTrackInfo* track);
void TextDecoder_Destroy(TextDecoder* dec);
int TextDecoder_Decode(TextDecoder* dec, const MediaSample* sample, SubtitleFrame* out);
