// Text-field parsers and character-set conversions over arbitrary text.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <vector>

#include "engine/platform/os.h"
#include "engine/platform/strutil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Length 0 means "up to the terminator" to the UTF-8 converter.
    if (size == 0 || size > 4096) return 0;
    std::vector<char> line(data, data + size);
    line.push_back(0);
    const char* keys[] = {nullptr, "=", "len=", "://", ":"};
    for (const char* key : keys) {
        uint32_t u;
        int32_t s;
        const char* start;
        uint32_t len;
        Field_Int(line.data(), key, &u);
        Field_SignedInt(line.data(), key, &s);
        Field_Hex(line.data(), key, &u);
        Field_Seconds(line.data(), key, &u);
        Field_Clock(line.data(), key, &u);
        Field_Word(line.data(), key, &start, &len);
        Field_HexWord(line.data(), key, &start, &len);
        Field_UrlHost(line.data(), key, &start, &len);
        Field_Path(line.data(), key, &start, &len);
        Field_RestOfLine(line.data(), key, &start, &len);
    }

    std::vector<char16_t> wide(size + 1);
    uint32_t n = Utf8_ToUtf16(data, (uint32_t)size, wide.data(), (uint32_t)size, data[0] & 1);
    const char16_t* wkeys[] = {nullptr, u"=", u"Start="};
    for (const char16_t* key : wkeys) {
        uint32_t u;
        int32_t s;
        const char16_t* start;
        uint32_t len;
        WField_Int(wide.data(), key, &u);
        WField_SignedInt(wide.data(), key, &s);
        WField_Hex(wide.data(), key, &u);
        WField_Seconds(wide.data(), key, &u);
        WField_Clock(wide.data(), key, &u);
        WField_Word(wide.data(), key, &start, &len);
        WField_HexWord(wide.data(), key, &start, &len);
        WStr_GetUrlHost(wide.data(), key, &start, &len);
    }
    std::vector<uint8_t> utf8(3 * n + 1);
    Utf16_ToUtf8(wide.data(), (int32_t)n, utf8.data(), (uint32_t)utf8.size());
    std::vector<char32_t> ucs(n + 1);
    Utf16_ToUcs4(wide.data(), (int32_t)n, ucs.data(), n + 1);

    Ansi_ToWide(line.data(), (int32_t)size, wide.data(), (uint32_t)wide.size());
    std::vector<char> ansi(2 * size + 1);
    Wide_ToAnsi(wide.data(), -1, ansi.data(), (uint32_t)ansi.size());

    std::vector<uint16_t> aligned(size / 2 + 1);
    memcpy(aligned.data(), data, size);
    char32_t* u4 =
        Utf16Bom_ToUcs4New(reinterpret_cast<uint8_t*>(aligned.data()), (uint32_t)size, 1);
    OS_Free(u4);

    char* start;
    Line_Unfold(line.data(), &start);
    return 0;
}
