// Video configuration probes and the MPEG-4 / H.264 helpers on arbitrary
// configuration bytes.
#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/input/codec_names.h"
#include "engine/input/codec_probe.h"
#include "engine/media_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size ? size : 1]);
    if (size) std::memcpy(bytes.get(), data, size);
    const uint32_t n = uint32_t(size);
    static const uint32_t kCodecs[] = {FourCC_Make('A', 'V', 'C', '1'),
                                       FourCC_Make('M', 'P', 'E', 'G'),
                                       FourCC_Make('M', 'P', '4', 'V')};
    for (uint32_t codec : kCodecs) {
        VideoTrackInfo track;
        std::memset(&track, 0, sizeof(track));
        track.codec = codec;
        VideoConfig_Probe(bytes.get(), n, &track);
    }
    AvcSpsInfo sps;
    AvcSps_Probe(bytes.get(), n, nullptr, &sps);
    Mp4vVolInfo vol;
    Mp4vVol_Probe(bytes.get(), n, nullptr, &vol);
    Mp4vVop_IsCoded(bytes.get(), n, size ? data[0] % 17 : 0);
    Nal_LengthsToStartCodes(bytes.get(), n);
    if (n >= 4) {
        uint32_t fourcc;
        std::memcpy(&fourcc, data, 4);
        FourCC_GetDescription(fourcc);
        WaveFormat_GetName(fourcc);
    }
    return 0;
}
