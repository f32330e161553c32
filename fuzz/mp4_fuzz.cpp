// Fuzz target: a clip held in memory opened through the source and the MP4
// reader, its media info read, every track read to its end and a few seeks.
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/input/source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > (8u << 20)) return 0;
    // An exact-size copy, so reads past the end are caught.
    std::vector<uint8_t> block(data, data + size);
    SourceOpenWords words{nullptr, reinterpret_cast<const char16_t*>(block.data()), uint32_t(size),
                          nullptr};
    MediaSource* src = nullptr;
    if (Source_Open(&src, &words) < 0) return 0;
    MediaInfo info;
    std::memset(&info, 0, sizeof info);
    if (Source_GetInfo(src, &info) >= 0) {
        MediaInfoSummary summary;
        MediaInfo_Export(&summary, &info);
        std::vector<uint8_t> buf(4096);
        for (int pass = 0; pass < 2; ++pass) {
            for (uint32_t type = 1; type <= 3; ++type) {
                for (int n = 0; n < 2000; ++n) {
                    MediaSample s{};
                    s.data = buf.data();
                    s.capacity = uint32_t(buf.size());
                    s.type = type;
                    int32_t rc = Source_ReadSample(src, &s);
                    if (rc == int32_t(0x80000051u) && s.length <= (1u << 20)) {
                        buf.resize(s.length);
                        continue;
                    }
                    if (rc < 0) break;
                }
            }
            uint32_t pos = info.duration / 2;
            Source_SeekTime(src, &pos, 0);
            pos = info.duration / 3;
            Source_SeekFrame(src, &pos, 1);
            pos = 0;
            Source_Reposition(src, &pos, 0);
            pos = info.duration / 4;
            Source_SeekTrack(src, &pos, 2);
            Source_SelectTrack(src, 1, 1);
        }
    }
    Source_Close(src);
    return 0;
}
