// The engine's string library: UTF-16 ("wide", char16_t) and 8-bit string
// functions, character-set conversions (the ANSI code page, UTF-8, UTF-16
// in either byte order, 32-bit code points) and parsers that pick a number,
// a time, a word or a URL host out of a line of text after an optional key.
//
// Characters are plain code units; case folding is ASCII only. Functions
// that allocate use OS_Malloc and return null on failure; free with OS_Free.
// The ANSI code page is the Korean one (949): the platform's on Windows, a
// built-in converter for Hangul and ASCII elsewhere.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <stddef.h>
#include <stdint.h>

// ---- wide strings ----
uint32_t WStr_Len(const char16_t* s);
int WStr_Compare(const char16_t* a, const char16_t* b);
int WStr_NCompare(const char16_t* a, const char16_t* b, uint32_t n);
int WStr_NCompareNoCase(const char16_t* a, const char16_t* b, uint32_t n);
int WStr_CompareNoCase(const char16_t* a, const char16_t* b);
char16_t* WStr_Copy(char16_t* dst, const char16_t* src);
// Copies at most n characters; the terminator is copied when reached first.
char16_t* WStr_NCopy(char16_t* dst, const char16_t* src, uint32_t n);
char16_t* WStr_Cat(char16_t* dst, const char16_t* src);
char16_t* WStr_FindChar(const char16_t* s, char16_t c);
char16_t* WStr_FindLastChar(const char16_t* s, char16_t c);
char16_t* WStr_Dup(const char16_t* s);
char16_t* WStr_DupN(const char16_t* s, uint32_t n);  // n characters, terminated
char16_t* WStr_Concat(const char16_t* a, const char16_t* b);
void WStr_ToLower(char16_t* s, uint32_t n);  // n characters in place
void WStr_ToUpper(char16_t* s, uint32_t n);
// Big-endian byte pairs into out (outBytes long), the rest zero-filled.
// Returns the characters stored.
uint32_t WStr_ToBigEndian(const char16_t* s, uint8_t* out, uint32_t outBytes);
// Big-endian byte pairs (at most inBytes) up to a zero pair into out
// (outChars long, always terminated), the rest zero-filled. Returns the
// characters stored.
uint32_t WStr_FromBigEndian(const uint8_t* in, uint32_t inBytes, char16_t* out, uint32_t outChars);
uint32_t WStr_ParseInt(const char16_t* s);      // value*10 + (c - '0') per character
uint32_t WStr_ParseHex(const char16_t* s);      // a-f/A-F 10-15, else c - '0'
uint32_t WStr_ParseSeconds(const char16_t* s);  // "s.fff" to ms
uint32_t WStr_ParseClock(const char16_t* s);    // "hh:mm:ss.fff" to ms
// The key's first position on the current line (stops at CR, LF, end).
const char16_t* WStr_FindInLine(const char16_t* line, const char16_t* key);
int WStr_IsNumberLine(const char16_t* line);

// ---- 8-bit strings ----
uint32_t Str_ParseInt(const char* s);
uint32_t Str_ParseHex(const char* s);
uint32_t Str_ParseSeconds(const char* s);
uint32_t Str_ParseClock(const char* s);
void Str_ToLower(char* s, uint32_t n);
void Str_ToUpper(char* s, uint32_t n);
int Str_CompareNoCase(const char* a, const char* b);
int Str_NCompareNoCase(const char* a, const char* b, uint32_t n);
char* Str_DupN(const char* s, uint32_t n);
char* Str_Dup(const char* s);
char* Str_Concat(const char* a, const char* b);
const char* Str_FindInLine(const char* line, const char* key);

// ---- character sets ----
uint32_t Str_SizeWithNul(const char* s);
uint32_t WStr_SizeWithNul(const char16_t* s);
uint32_t U32Str_SizeWithNul(const char32_t* s);

// ANSI code page <-> UTF-16. length counts input units; a negative length
// means up to the terminator. The output holds at most outChars/outBytes
// units including the terminator, which is always written (when there is
// room for it) right after the converted text. Returns the units converted.
uint32_t Ansi_ToWide(const char* text, int32_t length, char16_t* out, uint32_t outChars);
uint32_t Wide_ToAnsi(const char16_t* text, int32_t length, char* out, uint32_t outBytes);
char16_t* Ansi_ToWideNew(const char* text, int32_t length);
char* Wide_ToAnsiNew(const char16_t* text, int32_t length);

// UTF-8 to UTF-16 the lenient way the subtitle path needs: a lead of
// 1110xxxx or above starts a 3-byte sequence (its low 4 bits used), 110xxxxx
// a 2-byte one; any other byte is one character, its value (byteFlag 1) or
// its value in the high byte (byteFlag 0). length 0 means up to the
// terminator. Stops at limit characters (not counting the terminator, which
// out needs room for) or at a cut sequence. Returns the characters written.
uint32_t Utf8_ToUtf16(const uint8_t* bytes, uint32_t length, char16_t* out, uint32_t limit,
                      int byteFlag);
char16_t* Utf8_ToUtf16New(const uint8_t* bytes, uint32_t length);
// length < 0: up to the terminator.
uint32_t Utf16_Utf8Length(const char16_t* text, int32_t length);
// Surrogates become U+FFFD. Stops before a character that would not fit
// with the terminator in size bytes. Returns the bytes written.
uint32_t Utf16_ToUtf8(const char16_t* text, int32_t length, uint8_t* out, uint32_t size);
// Surrogate pairs combined, unpaired ones skipped; out holds size code
// points including the terminator. Returns the code points written.
uint32_t Utf16_ToUcs4(const char16_t* text, int32_t length, char32_t* out, uint32_t size);
// FF FE selects little-endian, FE FF big-endian (skipped), else the default.
// Big-endian text is swapped in place. Null when bytes is not 2-aligned.
char32_t* Utf16Bom_ToUcs4New(uint8_t* bytes, uint32_t byteLength, int bigEndianDefault);
char* Bytes_ToHex(const uint8_t* bytes, uint32_t count);  // lower-case digits

// ---- text fields ----
// Each parser: with a key, the key is found on the current line first and
// parsing starts after it; then characters are skipped up to one that can
// start the field, giving up at CR, LF or the end. Returns the position
// after the field, or null. Numbers are converted from at most 19
// characters of the field.
const char16_t* WField_Int(const char16_t* line, const char16_t* key, uint32_t* value);
const char16_t* WField_SignedInt(const char16_t* line, const char16_t* key, int32_t* value);
const char16_t* WField_Hex(const char16_t* line, const char16_t* key, uint32_t* value);
const char16_t* WField_Seconds(const char16_t* line, const char16_t* key, uint32_t* ms);
const char16_t* WField_Clock(const char16_t* line, const char16_t* key, uint32_t* ms);
const char16_t* WField_Word(const char16_t* line, const char16_t* key, const char16_t** start,
                            uint32_t* length);
const char16_t* WField_HexWord(const char16_t* line, const char16_t* key, const char16_t** start,
                               uint32_t* length);
const char16_t* WStr_GetUrlHost(const char16_t* line, const char16_t* key, const char16_t** start,
                                uint32_t* length);

const char* Field_Int(const char* line, const char* key, uint32_t* value);
const char* Field_SignedInt(const char* line, const char* key, int32_t* value);
const char* Field_Hex(const char* line, const char* key, uint32_t* value);
const char* Field_Seconds(const char* line, const char* key, uint32_t* ms);
const char* Field_Clock(const char* line, const char* key, uint32_t* ms);
const char* Field_Word(const char* line, const char* key, const char** start, uint32_t* length);
const char* Field_HexWord(const char* line, const char* key, const char** start, uint32_t* length);
const char* Field_UrlHost(const char* line, const char* key, const char** start, uint32_t* length);
const char* Field_Path(const char* line, const char* key, const char** start, uint32_t* length);
const char* Field_RestOfLine(const char* line, const char* key, const char** start,
                             uint32_t* length);

// From the first non-space, joins the following lines that begin with a
// space or tab by turning the line break between them into spaces. Returns
// the length of the joined line from its first non-space (*start, may be
// null).
uint32_t WLine_Unfold(char16_t* line, char16_t** start);
uint32_t Line_Unfold(char* line, char** start);

// Eleven counted parts of a parsed URL (scheme, "://", user, ":", password,
// "@", host, ":", port, path, query) and a final text joined into out.
struct UrlParts {
    const char* part[11];
    uint32_t length[11];
};
// Returns the length written (out is always terminated when size > 0); the
// text is cut to fit.
uint32_t Url_Compose(const UrlParts* parts, const char* tail, char* out, uint32_t size);
