// mp4info CLIP: what the engine's source and MP4 reader see in a clip.
//   duration_ms=N
//   track type=video|audio|text codec=C width= height= rate= channels= samples= duration_ms=
//   sample time_ms= bytes= data=TEXT-or-HEX       (one per data-track sample)
// A file the engine cannot read ends with "error: 0x8000xxxx ..." and exit 1.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "engine/input/audio_headers.h"
#include "engine/input/mp4_reader.h"
#include "engine/player_result.h"
#include "engine/input/source.h"

namespace {

std::u16string WideArg(const char* arg) {
    std::u16string out;
#ifdef _WIN32
    int n = MultiByteToWideChar(CP_ACP, 0, arg, -1, nullptr, 0);
    if (n > 0) {
        std::wstring w(size_t(n), L'\0');
        MultiByteToWideChar(CP_ACP, 0, arg, -1, &w[0], n);
        for (wchar_t c : w)
            if (c) out += char16_t(c);
    }
#else
    // UTF-8 to UTF-16.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(arg);
    while (*p) {
        uint32_t c = *p++;
        int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (more) c &= (0x3F >> more);
        for (int i = 0; i < more && (*p & 0xC0) == 0x80; ++i) c = c << 6 | (*p++ & 0x3F);
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
#endif
    return out;
}

const char* ErrorName(int32_t rc) {
    if (Player_HasErrorMessage(rc)) return Player_ErrorMessage(rc, PLAYER_LANG_ENGLISH);
    // Codes the message table leaves without a text.
    switch (uint32_t(rc)) {
        case uint32_t(PLAYER_E_FILE_IO): return "File read failed";
        case uint32_t(PLAYER_E_NO_TRACK): return "No audio, video or data track";
        case uint32_t(PLAYER_E_END_OF_STREAM): return "End of stream";
        default: return "Unknown error";
    }
}

int Fail(int32_t rc) {
    std::printf("error: 0x%08X %s\n", unsigned(rc), ErrorName(rc));
    return 1;
}

std::string FourCCText(uint32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i) {
        char c = char(v >> (8 * i) & 0xFF);
        s += (c > 32 && c < 127) ? c : '_';
    }
    return s;
}

std::string AudioCodecName(uint32_t tag) {
    switch (tag) {
        case 1: return "PCM";
        case 6: return "ALAW";
        case 7: return "MULAW";
        case 0x50: return "MP3";
        case 253:
        case 254:
        case 255: return "AAC";
        case 0x6173: return "AMR";
        case 0x6177: return "AMR-WB";
        case 0x5645: return "EVRC";
        case 0x3331: return "QCELP";
        default: {
            char b[16];
            std::snprintf(b, sizeof b, "0x%04X", unsigned(tag));
            return b;
        }
    }
}

// The k-th reader track of a type: its sample count.
uint32_t SampleCount(MediaSource* src, uint32_t type, uint32_t k) {
    const Mp4Reader* r = static_cast<const Mp4Reader*>(Source_GetReader(src));
    uint32_t seen = 0;
    for (uint32_t i = 0; i < Mp4Reader_TrackCount(r); ++i) {
        uint32_t t = 0, n = 0;
        Mp4Reader_TrackAt(r, i, &t, &n, nullptr);
        if (t == type && seen++ == k) return n;
    }
    return 0;
}

bool IsText(const uint8_t* p, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i)
        if (p[i] < 0x20 || p[i] > 0x7E) return false;
    return n > 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mp4info CLIP\n");
        return 2;
    }
    std::u16string name = WideArg(argv[1]);
    SourceOpenWords words{name.c_str(), nullptr, 0, nullptr};
    MediaSource* src = nullptr;
    int32_t rc = Source_Open(&src, &words);
    if (rc < 0) return Fail(rc);
    MediaInfo info;
    std::memset(&info, 0, sizeof info);
    rc = Source_GetInfo(src, &info);
    if (rc >= 0 && info.audioCount + info.videoCount + info.textCount == 0) rc = PLAYER_E_NO_TRACK;
    if (rc < 0) {
        Source_Close(src);
        return Fail(rc);
    }
    std::printf("duration_ms=%u\n", unsigned(info.duration));
    for (uint32_t i = 0; i < info.videoCount && i < MEDIAINFO_MAX_VIDEO; ++i) {
        const VideoTrackInfo& v = info.video[i];
        std::printf(
            "track type=video codec=%s width=%u height=%u rate=%u.%03u channels=0 samples=%u "
            "duration_ms=%u\n",
            FourCCText(v.codec).c_str(), unsigned(v.width), unsigned(v.height),
            unsigned(v.frameRate / 1000), unsigned(v.frameRate % 1000),
            unsigned(SampleCount(src, TRACK_TYPE_VIDEO, i)), unsigned(v.duration));
    }
    for (uint32_t i = 0; i < info.audioCount && i < MEDIAINFO_MAX_AUDIO; ++i) {
        AudioTrackInfo a = info.audio[i];
        // Sample entries of AAC often carry a fixed 2 channels: the
        // AudioSpecificConfig says what the decoder will find.
        AudioFrameConfig asc{};
        if (a.codec >= 253 && a.codec <= 255 && a.configLength &&
            Aac_ParseAsc(a.config, a.configLength, &asc) && asc.channels) {
            a.channels = asc.channels;
            if (asc.sample_rate) a.sampleRate = asc.sample_rate;
        }
        std::printf(
            "track type=audio codec=%s width=0 height=0 rate=%u channels=%u samples=%u "
            "duration_ms=%u\n",
            AudioCodecName(a.codec).c_str(), unsigned(a.sampleRate), unsigned(a.channels),
            unsigned(SampleCount(src, TRACK_TYPE_AUDIO, i)), unsigned(a.duration));
    }
    for (uint32_t i = 0; i < info.textCount && i < MEDIAINFO_MAX_TEXT; ++i) {
        const TextTrackInfo& t = info.text[i];
        std::printf(
            "track type=text codec=%s width=0 height=0 rate=0 channels=0 samples=%u "
            "duration_ms=%u\n",
            FourCCText(t.codec).c_str(), unsigned(SampleCount(src, TRACK_TYPE_TEXT, i)),
            unsigned(t.duration));
    }
    int exitCode = 0;
    if (info.textCount) {
        std::vector<uint8_t> buf(info.text[0].maxSampleSize ? info.text[0].maxSampleSize : 1024);
        while (true) {
            MediaSample s{};
            s.data = buf.data();
            s.capacity = uint32_t(buf.size());
            s.type = TRACK_TYPE_TEXT;
            rc = Source_ReadSample(src, &s);
            if (rc == PLAYER_E_BUFFER_TOO_SMALL && s.length > buf.size() &&
                s.length <= (16u << 20)) {
                buf.resize(s.length);
                continue;
            }
            if (rc < 0) break;
            // Records end in NULs or a line end more often than not.
            uint32_t n = s.length;
            while (n && (buf[n - 1] == 0 || buf[n - 1] == '\r' || buf[n - 1] == '\n')) --n;
            std::printf("sample time_ms=%u bytes=%u data=", unsigned(s.time), unsigned(s.length));
            if (IsText(buf.data(), n)) {
                std::fwrite(buf.data(), 1, n, stdout);
            } else {
                for (uint32_t k = 0; k < s.length; ++k) std::printf("%02x", buf[k]);
            }
            std::printf("\n");
        }
        if (rc != PLAYER_E_END_OF_STREAM) exitCode = Fail(rc);
    }
    Source_Close(src);
    return exitCode;
}
