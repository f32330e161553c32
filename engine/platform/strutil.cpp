#include "engine/platform/strutil.h"

#include <string.h>

#include "engine/platform/os.h"

namespace {

template <typename C>
uint32_t Len(const C* s) {
    uint32_t n = 0;
    while (s[n]) ++n;
    return n;
}

template <typename C>
C Lower(C c) {
    return c >= 'A' && c <= 'Z' ? (C)(c - 'A' + 'a') : c;
}

template <typename C>
C Upper(C c) {
    return c >= 'a' && c <= 'z' ? (C)(c - 'a' + 'A') : c;
}

// Code units as unsigned values, so differences come out the same on
// every platform.
inline int Unit(char c) { return (unsigned char)c; }
inline int Unit(char16_t c) { return c; }

template <typename C>
int NCompare(const C* a, const C* b, uint32_t n, bool fold) {
    for (uint32_t i = 0; i < n; ++i) {
        int ca = Unit(fold ? Lower(a[i]) : a[i]);
        int cb = Unit(fold ? Lower(b[i]) : b[i]);
        if (ca != cb || ca == 0) return ca - cb;
    }
    return 0;
}

template <typename C>
C* Dup(const C* s, uint32_t n) {
    C* d = static_cast<C*>(OS_Malloc(((size_t)n + 1) * sizeof(C)));
    if (!d) return nullptr;
    if (n) memcpy(d, s, (size_t)n * sizeof(C));
    d[n] = 0;
    return d;
}

template <typename C>
C* Concat(const C* a, const C* b) {
    uint32_t la = Len(a), lb = Len(b);
    C* d = static_cast<C*>(OS_Malloc(((size_t)la + lb + 1) * sizeof(C)));
    if (!d) return nullptr;
    memcpy(d, a, (size_t)la * sizeof(C));
    memcpy(d + la, b, ((size_t)lb + 1) * sizeof(C));
    return d;
}

template <typename C>
uint32_t ParseInt(const C* s) {
    uint32_t v = 0;
    for (; *s; ++s) v = v * 10u + (uint32_t)(Unit(*s) - 0x30);
    return v;
}

template <typename C>
uint32_t ParseHex(const C* s) {
    uint32_t v = 0;
    for (; *s; ++s) {
        C c = *s;
        uint32_t d = c >= 'a' && c <= 'f'   ? (uint32_t)(c - 'a' + 10)
                     : c >= 'A' && c <= 'F' ? (uint32_t)(c - 'A' + 10)
                                            : (uint32_t)(Unit(c) - 0x30);
        v = v * 16u + d;
    }
    return v;
}

template <typename C>
uint32_t ParseSeconds(const C* s) {
    uint32_t whole = 0;
    while (*s && *s != '.') whole = whole * 10u + (uint32_t)(Unit(*s++) - 0x30);
    uint32_t frac = 0;
    if (*s == '.') ++s;
    for (int i = 0; i < 3; ++i) {
        uint32_t d = *s ? (uint32_t)(Unit(*s++) - 0x30) : 0;
        frac = frac * 10u + d;
    }
    return whole * 1000u + frac;
}

template <typename C>
uint32_t Digits(const C* s, uint32_t from, uint32_t count, uint32_t len) {
    uint32_t v = 0;
    for (uint32_t i = from; i < from + count && i < len; ++i)
        v = v * 10u + (uint32_t)(Unit(s[i]) - 0x30);
    return v;
}

template <typename C>
uint32_t ParseClock(const C* s) {
    uint32_t len = Len(s);
    uint32_t h = Digits(s, 0, 2, len);
    uint32_t m = len > 3 ? Digits(s, 3, 2, len) : 0;
    uint32_t sec = len > 6 ? ParseSeconds(s + 6) : 0;
    return (h * 3600u + m * 60u) * 1000u + sec;
}

template <typename C>
bool EndOfLine(C c) {
    return c == 0 || c == '\r' || c == '\n';
}

template <typename C>
const C* FindInLine(const C* line, const C* key) {
    uint32_t klen = Len(key);
    for (const C* p = line;; ++p) {
        uint32_t i = 0;
        while (i < klen && p[i] == key[i] && !EndOfLine(p[i])) ++i;
        if (i == klen) return p;
        if (EndOfLine(*p)) return nullptr;
    }
}

template <typename C>
bool IsDigit(C c) {
    return c >= '0' && c <= '9';
}
template <typename C>
bool IsHex(C c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
template <typename C>
bool IsLetter(C c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
template <typename C>
bool IsWordChar(C c) {
    return IsLetter(c) || IsDigit(c) || c == '.' || c == '-' || c == '_';
}
template <typename C>
bool IsSpace(C c) {
    return c == ' ' || c == '\t';
}
template <typename C>
bool IsPathChar(C c) {
    if (IsLetter(c) || IsDigit(c)) return true;
    switch (c) {
        case '\'':
        case '`':
        case '-':
        case '.':
        case '/':
        case ':':
        case '\\':
        case '_':
        case '~':
        case '%':
        case '+':
        case '=':
        case '?':
        case '&':
        case '#':
        case '!':
        case '$':
        case ',':
        case ';':
        case '@':
        case '(':
        case ')':
        case '[':
        case ']': return true;
        default: return false;
    }
}

enum class Kind { Int, SignedInt, Hex, Seconds, Clock, Word, HexWord, Path, Rest };

template <typename C>
bool CanStart(Kind k, C c) {
    switch (k) {
        case Kind::Int: return IsDigit(c);
        case Kind::SignedInt: return IsDigit(c) || c == '-';
        case Kind::Hex:
        case Kind::HexWord: return IsHex(c);
        case Kind::Seconds: return IsDigit(c) || c == '.';
        case Kind::Clock: return IsDigit(c) || c == '.' || c == ':';
        case Kind::Word: return IsWordChar(c);
        case Kind::Path: return IsPathChar(c);
        case Kind::Rest: return !IsSpace(c);
    }
    return false;
}

template <typename C>
bool Continues(Kind k, C c) {
    switch (k) {
        case Kind::Int:
        case Kind::SignedInt: return IsDigit(c);
        case Kind::Hex:
        case Kind::HexWord: return IsHex(c);
        case Kind::Seconds: return IsDigit(c) || c == '.';
        case Kind::Clock: return IsDigit(c) || c == '.' || c == ':';
        case Kind::Word: return IsWordChar(c);
        case Kind::Path: return IsPathChar(c);
        case Kind::Rest: return !EndOfLine(c);
    }
    return false;
}

// Finds the field after the optional key; null when there is none on the line.
template <typename C>
const C* Scan(const C* line, const C* key, Kind kind, const C** start, uint32_t* length) {
    if (!line) return nullptr;
    const C* p = line;
    if (key) {
        p = FindInLine(line, key);
        if (!p) return nullptr;
        p += Len(key);
    }
    while (!EndOfLine(*p) && !CanStart(kind, *p)) ++p;
    if (EndOfLine(*p)) return nullptr;
    const C* s = p++;
    while (!EndOfLine(*p) && Continues(kind, *p)) ++p;
    if (start) *start = s;
    if (length) *length = (uint32_t)(p - s);
    return p;
}

// The field's first 19 characters, terminated.
template <typename C>
struct FieldText {
    C text[20];
    FieldText(const C* s, uint32_t n) {
        if (n > 19) n = 19;
        memcpy(text, s, n * sizeof(C));
        text[n] = 0;
    }
};

template <typename C>
const C* NumberField(const C* line, const C* key, Kind kind, uint32_t* value) {
    const C* s;
    uint32_t n;
    const C* end = Scan(line, key, kind, &s, &n);
    if (!end) return nullptr;
    FieldText<C> f(s, n);
    uint32_t v = 0;
    switch (kind) {
        case Kind::Int: v = ParseInt(f.text); break;
        case Kind::SignedInt:
            v = f.text[0] == '-' ? 0u - ParseInt(f.text + 1) : ParseInt(f.text);
            break;
        case Kind::Hex: v = ParseHex(f.text); break;
        case Kind::Seconds: v = ParseSeconds(f.text); break;
        case Kind::Clock: v = ParseClock(f.text); break;
        default: break;
    }
    if (value) *value = v;
    return end;
}

template <typename C>
const C* UrlHost(const C* line, const C* key, const C** start, uint32_t* length) {
    if (!line) return nullptr;
    const C* p = line;
    if (key) {
        p = FindInLine(line, key);
        if (!p) return nullptr;
        p += Len(key);
    }
    static const C sep[] = {':', '/', '/', 0};
    const C* scheme = FindInLine(p, sep);
    if (scheme) p = scheme + 3;
    return Scan<C>(p, nullptr, Kind::Word, start, length);
}

template <typename C>
uint32_t Unfold(C* line, C** startOut) {
    C* start = line;
    while (IsSpace(*start)) ++start;
    C* q = start;
    for (;;) {
        while (!EndOfLine(*q)) ++q;
        if (*q == 0) break;
        C* r = q;
        if (*r == '\r') ++r;
        if (*r == '\n') ++r;
        if (!IsSpace(*r)) break;
        while (q < r) *q++ = ' ';
    }
    if (startOut) *startOut = start;
    return (uint32_t)(q - start);
}

}  // namespace

// ---- wide ----
uint32_t WStr_Len(const char16_t* s) { return Len(s); }
int WStr_Compare(const char16_t* a, const char16_t* b) {
    return NCompare(a, b, 0xFFFFFFFFu, false);
}
int WStr_NCompare(const char16_t* a, const char16_t* b, uint32_t n) {
    return NCompare(a, b, n, false);
}
int WStr_NCompareNoCase(const char16_t* a, const char16_t* b, uint32_t n) {
    return NCompare(a, b, n, true);
}
int WStr_CompareNoCase(const char16_t* a, const char16_t* b) {
    return NCompare(a, b, 0xFFFFFFFFu, true);
}

char16_t* WStr_Copy(char16_t* dst, const char16_t* src) {
    memmove(dst, src, ((size_t)Len(src) + 1) * sizeof(char16_t));
    return dst;
}

char16_t* WStr_NCopy(char16_t* dst, const char16_t* src, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) {
        dst[i] = src[i];
        if (src[i] == 0) break;
    }
    return dst;
}

char16_t* WStr_Cat(char16_t* dst, const char16_t* src) {
    WStr_Copy(dst + Len(dst), src);
    return dst;
}

char16_t* WStr_FindChar(const char16_t* s, char16_t c) {
    for (;; ++s) {
        if (*s == c) return const_cast<char16_t*>(s);
        if (*s == 0) return nullptr;
    }
}

char16_t* WStr_FindLastChar(const char16_t* s, char16_t c) {
    const char16_t* found = nullptr;
    for (;; ++s) {
        if (*s == c) found = s;
        if (*s == 0) return const_cast<char16_t*>(found);
    }
}

char16_t* WStr_Dup(const char16_t* s) { return s ? Dup(s, Len(s)) : nullptr; }
char16_t* WStr_DupN(const char16_t* s, uint32_t n) { return Dup(s, n); }
char16_t* WStr_Concat(const char16_t* a, const char16_t* b) { return Concat(a, b); }

void WStr_ToLower(char16_t* s, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) s[i] = Lower(s[i]);
}
void WStr_ToUpper(char16_t* s, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) s[i] = Upper(s[i]);
}

uint32_t WStr_ToBigEndian(const char16_t* s, uint8_t* out, uint32_t outBytes) {
    uint32_t i = 0;
    for (; s[i] && 2 * i + 2 <= outBytes; ++i) {
        out[2 * i] = (uint8_t)(s[i] >> 8);
        out[2 * i + 1] = (uint8_t)s[i];
    }
    memset(out + 2 * i, 0, outBytes - 2 * i);
    return i;
}

uint32_t WStr_FromBigEndian(const uint8_t* in, uint32_t inBytes, char16_t* out, uint32_t outChars) {
    if (outChars == 0) return 0;
    uint32_t i = 0;
    for (; i + 1 < outChars && 2 * i + 2 <= inBytes; ++i) {
        char16_t c = (char16_t)(in[2 * i] << 8 | in[2 * i + 1]);
        if (c == 0) break;
        out[i] = c;
    }
    for (uint32_t j = i; j < outChars; ++j) out[j] = 0;
    return i;
}

uint32_t WStr_ParseInt(const char16_t* s) { return ParseInt(s); }
uint32_t WStr_ParseHex(const char16_t* s) { return ParseHex(s); }
uint32_t WStr_ParseSeconds(const char16_t* s) { return ParseSeconds(s); }
uint32_t WStr_ParseClock(const char16_t* s) { return ParseClock(s); }
const char16_t* WStr_FindInLine(const char16_t* line, const char16_t* key) {
    return FindInLine(line, key);
}

int WStr_IsNumberLine(const char16_t* line) {
    while (IsSpace(*line)) ++line;
    return IsDigit(*line) ? 1 : 0;
}

// ---- 8-bit ----
uint32_t Str_ParseInt(const char* s) { return ParseInt(s); }
uint32_t Str_ParseHex(const char* s) { return ParseHex(s); }
uint32_t Str_ParseSeconds(const char* s) { return ParseSeconds(s); }
uint32_t Str_ParseClock(const char* s) { return ParseClock(s); }
void Str_ToLower(char* s, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) s[i] = Lower(s[i]);
}
void Str_ToUpper(char* s, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) s[i] = Upper(s[i]);
}
int Str_CompareNoCase(const char* a, const char* b) { return NCompare(a, b, 0xFFFFFFFFu, true); }
int Str_NCompareNoCase(const char* a, const char* b, uint32_t n) { return NCompare(a, b, n, true); }
char* Str_DupN(const char* s, uint32_t n) { return Dup(s, n); }
char* Str_Dup(const char* s) { return s ? Dup(s, Len(s)) : nullptr; }
char* Str_Concat(const char* a, const char* b) { return Concat(a, b); }
const char* Str_FindInLine(const char* line, const char* key) { return FindInLine(line, key); }

// ---- character sets ----
uint32_t Str_SizeWithNul(const char* s) { return Len(s) + 1; }
uint32_t WStr_SizeWithNul(const char16_t* s) { return Len(s) + 1; }
uint32_t U32Str_SizeWithNul(const char32_t* s) { return Len(s) + 1; }

char16_t* Ansi_ToWideNew(const char* text, int32_t length) {
    uint32_t n = length < 0 ? Len(text) : (uint32_t)length;
    // Never more UTF-16 units than bytes.
    char16_t* out = static_cast<char16_t*>(OS_Malloc(((size_t)n + 1) * sizeof(char16_t)));
    if (!out) return nullptr;
    Ansi_ToWide(text, (int32_t)n, out, n + 1);
    return out;
}

char* Wide_ToAnsiNew(const char16_t* text, int32_t length) {
    uint32_t n = length < 0 ? Len(text) : (uint32_t)length;
    // At most two bytes per unit in a double-byte code page.
    char* out = static_cast<char*>(OS_Malloc((size_t)n * 2 + 1));
    if (!out) return nullptr;
    Wide_ToAnsi(text, (int32_t)n, out, n * 2 + 1);
    return out;
}

uint32_t Utf8_ToUtf16(const uint8_t* bytes, uint32_t length, char16_t* out, uint32_t limit,
                      int byteFlag) {
    if (length == 0) length = Len(reinterpret_cast<const char*>(bytes));
    uint32_t i = 0, n = 0;
    while (i < length && n < limit) {
        uint8_t b = bytes[i];
        char16_t c;
        if (b >= 0xE0) {
            if (i + 2 >= length) break;
            c = (char16_t)((b & 0x0F) << 12 | (bytes[i + 1] & 0x3F) << 6 | (bytes[i + 2] & 0x3F));
            i += 3;
        } else if ((b & 0xE0) == 0xC0) {
            if (i + 1 >= length) break;
            c = (char16_t)((b & 0x1F) << 6 | (bytes[i + 1] & 0x3F));
            i += 2;
        } else {
            c = byteFlag ? (char16_t)b : (char16_t)(b << 8);
            i += 1;
        }
        out[n++] = c;
    }
    out[n] = 0;
    return n;
}

char16_t* Utf8_ToUtf16New(const uint8_t* bytes, uint32_t length) {
    if (length == 0) length = Len(reinterpret_cast<const char*>(bytes));
    char16_t* out = static_cast<char16_t*>(OS_Malloc(((size_t)length + 1) * sizeof(char16_t)));
    if (!out) return nullptr;
    Utf8_ToUtf16(bytes, length, out, length, 0);
    return out;
}

static uint32_t Utf8Size(char16_t c) {
    if (c < 0x80) return 1;
    if (c < 0x800) return 2;
    return 3;  // including a surrogate, written as U+FFFD
}

uint32_t Utf16_Utf8Length(const char16_t* text, int32_t length) {
    uint32_t n = length < 0 ? Len(text) : (uint32_t)length;
    uint32_t bytes = 0;
    for (uint32_t i = 0; i < n; ++i) bytes += Utf8Size(text[i]);
    return bytes;
}

uint32_t Utf16_ToUtf8(const char16_t* text, int32_t length, uint8_t* out, uint32_t size) {
    if (size == 0) return 0;
    uint32_t n = length < 0 ? Len(text) : (uint32_t)length;
    uint32_t w = 0;
    for (uint32_t i = 0; i < n; ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        uint32_t need = Utf8Size(c);
        if (w + need + 1 > size) break;
        if (need == 1) {
            out[w++] = (uint8_t)c;
        } else if (need == 2) {
            out[w++] = (uint8_t)(0xC0 | c >> 6);
            out[w++] = (uint8_t)(0x80 | (c & 0x3F));
        } else {
            out[w++] = (uint8_t)(0xE0 | c >> 12);
            out[w++] = (uint8_t)(0x80 | (c >> 6 & 0x3F));
            out[w++] = (uint8_t)(0x80 | (c & 0x3F));
        }
    }
    out[w] = 0;
    return w;
}

uint32_t Utf16_ToUcs4(const char16_t* text, int32_t length, char32_t* out, uint32_t size) {
    if (size == 0) return 0;
    uint32_t n = length < 0 ? Len(text) : (uint32_t)length;
    uint32_t w = 0;
    for (uint32_t i = 0; i < n && w + 1 < size; ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                out[w++] = 0x10000u + ((char32_t)(c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            }
            continue;  // an unpaired high surrogate is skipped
        }
        if (c >= 0xDC00 && c <= 0xDFFF) continue;
        out[w++] = c;
    }
    out[w] = 0;
    return w;
}

char32_t* Utf16Bom_ToUcs4New(uint8_t* bytes, uint32_t byteLength, int bigEndianDefault) {
    if (!bytes || (reinterpret_cast<uintptr_t>(bytes) & 1)) return nullptr;
    bool big = bigEndianDefault != 0;
    if (byteLength >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        big = false;
        bytes += 2;
        byteLength -= 2;
    } else if (byteLength >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        big = true;
        bytes += 2;
        byteLength -= 2;
    }
    uint32_t units = byteLength / 2;
    if (big) {
        for (uint32_t i = 0; i < units; ++i) {
            uint8_t t = bytes[2 * i];
            bytes[2 * i] = bytes[2 * i + 1];
            bytes[2 * i + 1] = t;
        }
    }
    char16_t* text = static_cast<char16_t*>(OS_Malloc(((size_t)units + 1) * sizeof(char16_t)));
    char32_t* out = static_cast<char32_t*>(OS_Malloc(((size_t)units + 1) * sizeof(char32_t)));
    if (!text || !out) {
        OS_Free(text);
        OS_Free(out);
        return nullptr;
    }
    for (uint32_t i = 0; i < units; ++i) text[i] = (char16_t)(bytes[2 * i] | bytes[2 * i + 1] << 8);
    Utf16_ToUcs4(text, (int32_t)units, out, units + 1);
    OS_Free(text);
    return out;
}

char* Bytes_ToHex(const uint8_t* bytes, uint32_t count) {
    static const char digits[] = "0123456789abcdef";
    char* out = static_cast<char*>(OS_Malloc((size_t)count * 2 + 1));
    if (!out) return nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        out[2 * i] = digits[bytes[i] >> 4];
        out[2 * i + 1] = digits[bytes[i] & 15];
    }
    out[2 * count] = 0;
    return out;
}

// ---- fields ----
const char16_t* WField_Int(const char16_t* line, const char16_t* key, uint32_t* value) {
    return NumberField(line, key, Kind::Int, value);
}
const char16_t* WField_SignedInt(const char16_t* line, const char16_t* key, int32_t* value) {
    uint32_t v = 0;
    const char16_t* end = NumberField(line, key, Kind::SignedInt, &v);
    if (end && value) *value = (int32_t)v;
    return end;
}
const char16_t* WField_Hex(const char16_t* line, const char16_t* key, uint32_t* value) {
    return NumberField(line, key, Kind::Hex, value);
}
const char16_t* WField_Seconds(const char16_t* line, const char16_t* key, uint32_t* ms) {
    return NumberField(line, key, Kind::Seconds, ms);
}
const char16_t* WField_Clock(const char16_t* line, const char16_t* key, uint32_t* ms) {
    return NumberField(line, key, Kind::Clock, ms);
}
const char16_t* WField_Word(const char16_t* line, const char16_t* key, const char16_t** start,
                            uint32_t* length) {
    return Scan(line, key, Kind::Word, start, length);
}
const char16_t* WField_HexWord(const char16_t* line, const char16_t* key, const char16_t** start,
                               uint32_t* length) {
    return Scan(line, key, Kind::HexWord, start, length);
}
const char16_t* WStr_GetUrlHost(const char16_t* line, const char16_t* key, const char16_t** start,
                                uint32_t* length) {
    return UrlHost(line, key, start, length);
}

const char* Field_Int(const char* line, const char* key, uint32_t* value) {
    return NumberField(line, key, Kind::Int, value);
}
const char* Field_SignedInt(const char* line, const char* key, int32_t* value) {
    uint32_t v = 0;
    const char* end = NumberField(line, key, Kind::SignedInt, &v);
    if (end && value) *value = (int32_t)v;
    return end;
}
const char* Field_Hex(const char* line, const char* key, uint32_t* value) {
    return NumberField(line, key, Kind::Hex, value);
}
const char* Field_Seconds(const char* line, const char* key, uint32_t* ms) {
    return NumberField(line, key, Kind::Seconds, ms);
}
const char* Field_Clock(const char* line, const char* key, uint32_t* ms) {
    return NumberField(line, key, Kind::Clock, ms);
}
const char* Field_Word(const char* line, const char* key, const char** start, uint32_t* length) {
    return Scan(line, key, Kind::Word, start, length);
}
const char* Field_HexWord(const char* line, const char* key, const char** start, uint32_t* length) {
    return Scan(line, key, Kind::HexWord, start, length);
}
const char* Field_UrlHost(const char* line, const char* key, const char** start, uint32_t* length) {
    return UrlHost(line, key, start, length);
}
const char* Field_Path(const char* line, const char* key, const char** start, uint32_t* length) {
    return Scan(line, key, Kind::Path, start, length);
}
const char* Field_RestOfLine(const char* line, const char* key, const char** start,
                             uint32_t* length) {
    return Scan(line, key, Kind::Rest, start, length);
}

uint32_t WLine_Unfold(char16_t* line, char16_t** start) { return Unfold(line, start); }
uint32_t Line_Unfold(char* line, char** start) { return Unfold(line, start); }

uint32_t Url_Compose(const UrlParts* parts, const char* tail, char* out, uint32_t size) {
    if (size == 0) return 0;
    uint32_t w = 0;
    auto put = [&](const char* s, uint32_t n) {
        for (uint32_t i = 0; i < n && w + 1 < size; ++i) out[w++] = s[i];
    };
    for (int i = 0; i < 11; ++i)
        if (parts->part[i]) put(parts->part[i], parts->length[i]);
    if (tail) put(tail, Len(tail));
    out[w] = 0;
    return w;
}
