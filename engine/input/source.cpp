// The media source: one per open clip. It owns the clip's Stream and the
// container reader, and serialises every reader call of the player's threads
// under its lock.
#include "engine/input/source.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/input/codec_names.h"
#include "engine/input/codec_probe.h"
#include "engine/input/mp4_reader.h"
#include "engine/player_result.h"
#include "engine/platform/os.h"

struct MediaSource {
    Stream* stream;
    void* reader;
    uint32_t rangeStart;
    uint32_t rangeEnd;
    std::atomic<uint32_t> indexStop;
    std::atomic<uint32_t> indexEnded;
    OsHandle indexThread;  // OS_INVALID_HANDLE: none
    uint32_t indexStarted;
    OsLockWord lock;
    uint32_t present[4];  // by type 1..3
    uint32_t lastTime[4];
    uint32_t offset[4];
    ReaderOps ops;
};

namespace {

int32_t Mp4Open(void** reader, Stream* stream) {
    Mp4Reader* r = nullptr;
    int32_t rc = Mp4Reader_Create(&r, stream);
    *reader = r;
    return rc;
}
void Mp4Close(void* r) { Mp4Reader_Destroy(static_cast<Mp4Reader*>(r)); }
int32_t Mp4GetInfo(void* r, MediaInfo* info) {
    Mp4Reader* reader = static_cast<Mp4Reader*>(r);
    int32_t rc = Mp4Reader_ParseTopLevel(reader, info);
    if (rc < 0) return rc;
    // Tracks whose tables hold no sample (a fragmented file keeps its samples
    // in movie fragments, which the reader does not read) leave nothing to
    // play.
    uint32_t tracks = Mp4Reader_TrackCount(reader), samples = 0;
    for (uint32_t i = 0; i < tracks; ++i) {
        uint32_t n = 0;
        if (Mp4Reader_TrackAt(reader, i, nullptr, &n, nullptr)) samples += n != 0;
    }
    return tracks && !samples ? PLAYER_E_UNSUPPORTED_FILE : rc;
}
int32_t Mp4Read(void* r, MediaSample* s) {
    return Mp4Reader_ReadSample(static_cast<Mp4Reader*>(r), s);
}
bool Mp4Seek(void* r, uint32_t* p, uint32_t a) {
    return Mp4Reader_Seek(static_cast<Mp4Reader*>(r), p, a);
}
bool Mp4SeekDir(void* r, uint32_t* p, uint32_t a) {
    return Mp4Reader_SeekDirection(static_cast<Mp4Reader*>(r), p, a);
}
bool Mp4SeekText(void* r, uint32_t* p, uint32_t a) {
    return Mp4Reader_SeekByText(static_cast<Mp4Reader*>(r), p, a);
}
bool Mp4SeekTrack(void* r, uint32_t* p, uint32_t t) {
    return Mp4Reader_SeekTrack(static_cast<Mp4Reader*>(r), p, t);
}
bool Mp4Select(void* r, uint32_t i, uint32_t time, uint32_t t) {
    return Mp4Reader_SelectTrack(static_cast<Mp4Reader*>(r), i, time, t);
}

void InstallMp4(ReaderOps* ops) {
    std::memset(ops, 0, sizeof *ops);
    ops->open = Mp4Open;
    ops->close = Mp4Close;
    ops->getInfo = Mp4GetInfo;
    ops->readSample = Mp4Read;
    ops->seekTime = Mp4Seek;
    ops->seekFrame = Mp4SeekDir;
    ops->seekText = Mp4SeekText;
    ops->seekTrack = Mp4SeekTrack;
    ops->selectTrack = Mp4Select;
}

bool ValidType(uint32_t type) { return type >= TRACK_TYPE_AUDIO && type <= TRACK_TYPE_TEXT; }

int32_t OpenStream(SourceOpenWords* w, Stream** out) {
    // A memory block is only ever given as the URL word with its size; a
    // file name is always opened as a file, whatever the size word holds.
    if (w->url) return Stream_CreateFile(out, w->url, w->size, 0);
    if (!w->name) return PLAYER_E_FILE_NOT_FOUND;
    return Stream_CreateFile(out, w->name, 0, 0);
}

uint32_t IndexTask(void* arg) {
    MediaSource* src = static_cast<MediaSource*>(arg);
    while (!src->indexStop.load()) {
        int32_t rc = src->ops.makeIndexStep(src->reader, 0);
        if (rc < 0 && rc != PLAYER_E_NOT_YET) break;
        OS_Sleep(1000);
    }
    OS_Sleep(10);
    src->indexEnded.store(1);
    return 0;
}

}  // namespace

PlayerResult Source_ProbeContainer(Stream* stream, ReaderOps* ops) {
    uint8_t head[4096];
    std::memset(head, 0, sizeof head);
    int32_t got = Stream_ReadHead(stream, head, sizeof head);
    if (got < 0) return Stream_GetSize(stream) < 8 ? PLAYER_E_UNSUPPORTED_FILE : got;
    if (got < 8) return PLAYER_E_UNSUPPORTED_FILE;
    if (!std::memcmp(head + 4, "ftyp", 4) || !std::memcmp(head + 4, "mdat", 4) ||
        !std::memcmp(head + 4, "moov", 4)) {
        InstallMp4(ops);
        return 0;
    }
    return PLAYER_E_UNSUPPORTED_FILE;
}

PlayerResult Source_Open(MediaSource** out, SourceOpenWords* words) {
    *out = nullptr;
    MediaSource* src = new (std::nothrow) MediaSource();
    if (!src) return PLAYER_E_OUT_OF_MEMORY;
    src->indexThread = OS_INVALID_HANDLE;
    src->lock = 0;
    int32_t rc = OpenStream(words, &src->stream);
    if (rc < 0) {
        Source_Close(src);
        return rc;
    }
    rc = Source_ProbeContainer(src->stream, &src->ops);
    if (rc < 0) {
        Source_Close(src);
        return rc;
    }
    if (!words->url) words->size = Stream_GetSize(src->stream);
    if (src->ops.open)
        rc = src->ops.open(&src->reader, src->stream);
    else if (src->ops.openUrl)
        rc = src->ops.openUrl(&src->reader, words);
    else
        rc = PLAYER_E_UNSUPPORTED_FUNCTION;
    if (rc < 0) {
        src->reader = nullptr;
        Source_Close(src);
        return rc;
    }
    src->lock = OS_CreateLock();
    if (src->lock == OS_INVALID_HANDLE) {
        src->lock = 0;
        Source_Close(src);
        return PLAYER_E_OUT_OF_MEMORY;
    }
    *out = src;
    return 0;
}

void Source_Close(MediaSource* src) {
    if (!src) return;
    // Only a thread that was started is waited for.
    if (src->indexStarted) {
        src->indexStop.store(1);
        while (!src->indexEnded.load()) OS_Sleep(10);
        OS_CloseThread(src->indexThread);
        src->indexThread = OS_INVALID_HANDLE;
    }
    if (src->reader && src->ops.close) src->ops.close(src->reader);
    if (src->lock) OS_DeleteLock(src->lock);
    Stream_Close(src->stream);
    delete src;
}

PlayerResult Source_GetInfo(MediaSource* src, MediaInfo* info) {
    if (!src->ops.getInfo) return PLAYER_E_UNSUPPORTED_FUNCTION;
    int32_t rc = src->ops.getInfo(src->reader, info);
    if (rc < 0) return rc;
    if (info->bufferingTime == 0) info->bufferingTime = 1000;
    src->present[TRACK_TYPE_AUDIO] = info->audioCount != 0;
    src->present[TRACK_TYPE_VIDEO] = info->videoCount != 0;
    src->present[TRACK_TYPE_TEXT] = info->textCount != 0;
    for (uint32_t i = 0; i < info->audioCount && i < MEDIAINFO_MAX_AUDIO; ++i) {
        AudioTrackInfo& a = info->audio[i];
        if (a.maxSampleSize == 0)
            a.maxSampleSize = a.sampleRate / 4 < 8192 ? a.sampleRate / 4 : 8192;
        if (a.duration == 0) a.duration = info->duration;
    }
    for (uint32_t i = 0; i < info->videoCount && i < MEDIAINFO_MAX_VIDEO; ++i) {
        VideoTrackInfo& v = info->video[i];
        if (v.maxSampleSize == 0) {
            uint64_t s = uint64_t(v.width) * v.height / 2;
            v.maxSampleSize = s < 0x28000 ? uint32_t(s) : 0x28000;
        }
        if (v.duration == 0) v.duration = info->duration;
        v.codec = FourCC_ToUpper(v.codec);
    }
    if (src->ops.makeIndexStep && !src->indexStarted) {
        src->indexStop.store(0);
        src->indexEnded.store(0);
        src->indexThread =
            OS_CreateThread("ReaderMakeIndex", IndexTask, src, OS_PRIORITY_NORMAL, 1024, 0);
        src->indexStarted = src->indexThread != OS_INVALID_HANDLE;
    }
    return 0;
}

PlayerResult Source_SetStartPosition(MediaSource* src, uint32_t* position) {
    if (src->ops.startPosition) return src->ops.startPosition(src->reader, position);
    if (*position == 0) return 0;
    if (!Source_SeekTime(src, position, 0)) return PLAYER_E_RANDOM_ACCESS;
    return 0;
}

PlayerResult Source_ReadSample(MediaSource* src, MediaSample* sample) {
    uint32_t type = sample->type;
    if (!ValidType(type)) return 0;
    OS_Lock(src->lock);
    int32_t rc;
    if (!src->present[type] || !src->ops.readSample) {
        rc = PLAYER_E_NO_TRACK;
    } else if (src->rangeEnd && src->lastTime[type] > src->rangeEnd) {
        rc = PLAYER_E_END_OF_STREAM;
    } else {
        rc = src->ops.readSample(src->reader, sample);
        if (rc >= 0) {
            src->lastTime[type] = sample->time;
            sample->time += src->offset[type];
        }
    }
    const uint32_t rangeEnd = src->rangeEnd;
    OS_Unlock(src->lock);
    if (rc >= 0 && rangeEnd && rangeEnd < sample->time) return PLAYER_E_END_OF_STREAM;
    return rc;
}

namespace {

// Range test shared by the seeks, under the source lock (the range is set
// from the application's thread): true when the seek should go ahead.
bool ClampToRange(MediaSource* src, uint32_t* position) {
    if (src->rangeStart && *position < src->rangeStart) {
        *position = src->rangeStart;
        return true;
    }
    return !(src->rangeEnd && *position > src->rangeEnd);
}

void SetAllLastTimes(MediaSource* src, uint32_t t) {
    for (uint32_t type = 1; type <= 3; ++type) src->lastTime[type] = t;
}

}  // namespace

bool Source_SeekTime(MediaSource* src, uint32_t* position, uint32_t exact) {
    OsLockGuard g(src->lock);
    if (!ClampToRange(src, position)) return false;
    bool rc = false;
    if (src->ops.seekTime) {
        rc = src->ops.seekTime(src->reader, position, exact);
        if (src->rangeEnd && *position >= src->rangeEnd) {
            *position = src->rangeStart;
            rc = src->ops.seekTime(src->reader, position, 1);
        }
    }
    SetAllLastTimes(src, *position);
    return rc;
}

bool Source_SeekFrame(MediaSource* src, uint32_t* position, uint32_t direction) {
    OsLockGuard g(src->lock);
    if (!ClampToRange(src, position)) return false;
    bool rc = src->ops.seekFrame && src->ops.seekFrame(src->reader, position, direction);
    SetAllLastTimes(src, *position);
    return rc;
}

bool Source_Reposition(MediaSource* src, uint32_t* position, uint32_t arg) {
    OS_Lock(src->lock);
    bool rc = src->ops.seekText && src->ops.seekText(src->reader, position, arg);
    SetAllLastTimes(src, *position);
    OS_Unlock(src->lock);
    return rc;
}

bool Source_SeekTrack(MediaSource* src, uint32_t* position, uint32_t type) {
    OsLockGuard g(src->lock);
    if (!ClampToRange(src, position)) return false;
    bool rc = src->ops.seekTrack && src->ops.seekTrack(src->reader, position, type);
    if (ValidType(type)) src->lastTime[type] = *position;
    return rc;
}

bool Source_SelectTrack(MediaSource* src, uint32_t index, uint32_t type) {
    if (!src->ops.selectTrack || !ValidType(type)) return true;
    OS_Lock(src->lock);
    bool rc = src->ops.selectTrack(src->reader, index, src->lastTime[type], type);
    OS_Unlock(src->lock);
    return rc;
}

PlayerResult Source_CanReopenText(MediaSource*, uint32_t, void*) { return 0; }

PlayerResult Source_GetProgress(MediaSource* src, SourceProgress* p) {
    std::memset(p, 0, sizeof *p);
    if (src->ops.progress) {
        src->ops.progress(src->reader, p);
        return 1;
    }
    uint32_t size = Stream_GetSize(src->stream);
    uint32_t avail = Stream_GetAvailable(src->stream);
    uint32_t head = Stream_TellHead(src->stream);
    p->readPercent = size ? uint32_t(uint64_t(avail) * 100 / size) : 100;
    uint32_t r = uint32_t(double(size - (avail < size ? avail : size)) * 0.1);
    p->fillPercent = r ? uint32_t(double(avail > head ? avail - head : 0) * 100 / r) : 100;
    return 1;
}

PlayerResult Source_Control(MediaSource* src, uint32_t code) {
    if (!src->ops.control) return 0;
    OS_Lock(src->lock);
    int32_t rc = src->ops.control(src->reader, code);
    OS_Unlock(src->lock);
    return rc;
}

PlayerResult Source_SetRange(MediaSource* src, uint32_t start, uint32_t end, uint32_t set,
                             uint32_t force) {
    // The player's threads read the range and the offsets under the lock.
    OsLockGuard g(src->lock);
    if (!set) {
        src->rangeStart = src->rangeEnd = 0;
        return 1;
    }
    src->rangeStart = start;
    src->rangeEnd = end;
    uint32_t later = src->lastTime[TRACK_TYPE_AUDIO] > src->lastTime[TRACK_TYPE_VIDEO]
                         ? src->lastTime[TRACK_TYPE_AUDIO]
                         : src->lastTime[TRACK_TYPE_VIDEO];
    if (later >= start && !force) return 1;
    if (src->ops.seekTime) {
        uint32_t pos = start;
        bool moved = src->ops.seekTime(src->reader, &pos, 0);
        if (moved && end && pos >= end) {
            pos = start;
            moved = src->ops.seekTime(src->reader, &pos, 1);
        }
        // A seek the reader refused left it where it was, and so the times.
        if (moved) SetAllLastTimes(src, pos);
    }
    return 1;
}

PlayerResult Source_AddTimeOffset(MediaSource* src, int32_t ms, uint32_t type) {
    if (!ValidType(type)) return 1;
    OsLockGuard g(src->lock);
    if (ms == 0)
        src->offset[type] = 0;
    else
        src->offset[type] += uint32_t(ms);
    return 1;
}

PlayerResult Source_ProbeFileInfo(SourceOpenWords* words, MediaInfo* info) {
    Stream* stream = nullptr;
    int32_t rc = OpenStream(words, &stream);
    if (rc < 0) return rc;
    ReaderOps ops;
    rc = Source_ProbeContainer(stream, &ops);
    if (rc >= 0) {
        if (!ops.open || !ops.getInfo) {
            rc = PLAYER_E_UNSUPPORTED_FUNCTION;
        } else {
            void* reader = nullptr;
            rc = ops.open(&reader, stream);
            if (rc >= 0) {
                rc = ops.getInfo(reader, info);
                if (ops.close) ops.close(reader);
            }
        }
    }
    Stream_Close(stream);
    return rc;
}

bool Source_IsHttpUrl(const char16_t* text) {
    if (!text) return false;
    auto begins = [&](const char* p) {
        for (size_t i = 0; p[i]; ++i)
            if (text[i] != char16_t(p[i])) return false;
        return true;
    };
    return begins("http://") || begins("httpm://");
}

void* Source_GetReader(MediaSource* src) { return src ? src->reader : nullptr; }
