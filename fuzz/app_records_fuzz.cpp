// Recorder data-track records on arbitrary bytes: the first byte picks how
// many samples the rest is cut into; each sample is decoded both ways, and
// frame times taken from the input are looked up in the table.
#include <cstdint>
#include <cstring>
#include <memory>

#include "app/recorder_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 1 << 20) return 0;
    static std::unique_ptr<TextSampleTable> table(new TextSampleTable());
    std::memset(table.get(), 0, sizeof(*table));
    const size_t parts = size_t(data[0]) % 16 + 1;
    const size_t step = (size - 1) / parts + 1;
    uint32_t n = 0;
    for (size_t at = 1; at < size && n < TEXT_SAMPLE_MAX; at += step, ++n) {
        const size_t len = size - at < step ? size - at : step;
        TextTrackSample& s = table->samples[n];
        // The first two bytes give the sample's time.
        s.timeMs = uint32_t(data[at]) * 37u + (len > 1 ? data[at + 1] : 0u);
        std::memcpy(s.data, data + at,
                    len < size_t(TEXT_SAMPLE_BYTES) ? len : size_t(TEXT_SAMPLE_BYTES));
        GpsFields f;
        Gps_SplitFields(s, &f);
        if (f.count < 0 || f.count > GPS_FIELD_SLOTS) __builtin_trap();
        for (int i = 0; i < GPS_FIELD_SLOTS; ++i)
            if (std::memchr(f.field[i], 0, sizeof(f.field[i])) == nullptr) __builtin_trap();
        GpsFix fix;
        Gps_Decode(s, &fix);
        char overlay[64];
        const uint32_t olen = GSensor_FormatOverlay(s, overlay, sizeof(overlay));
        if (olen >= sizeof(overlay)) __builtin_trap();
        GSensorLabels labels;
        GSensorLabels::Update u;
        labels.Apply(s, &u);
    }
    table->count = n;
    SampleCursor cursor;
    for (size_t i = 0; i < size; ++i) {
        const int32_t k = FindDueSample(*table, uint32_t(data[i]) * 53u, &cursor);
        if (k < -1 || k >= int32_t(n)) __builtin_trap();
        char line[96];
        FormatLookupTrace(*table, uint32_t(data[i]), k, line, sizeof(line));
    }
    return 0;
}
