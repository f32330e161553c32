// CString: an 8-bit text string with value semantics, aware of the double-byte
// characters of code page 949 (Korean). A lead byte 0x81-0xFE and the byte
// after it are one character, whatever that byte is (the system walks
// code-page-949 text the same way, so a backslash or a letter after a lead
// byte is part of the character, never a separator or a letter of its own);
// any other byte is a character of its own. Positions and lengths count
// bytes, but no operation splits a double-byte character or takes its second
// byte for the ASCII character of the same value:
//   - searches match only at character boundaries;
//   - Mid/Left/Right return the whole characters inside the byte range asked
//     for (a range that cuts a character leaves that character out);
//   - Delete removes every character that has a byte inside the range;
//   - Insert at a position inside a character inserts before that character;
//   - case mapping changes only the ASCII letters A-Z and a-z.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <type_traits>

#include "classlib/afxtypes.h"
#include "classlib/afxdebug.h"

// Code page 949 character classes.
inline bool AfxIsLeadByte949(BYTE b) { return b >= 0x81 && b <= 0xFE; }
// Length (1 or 2) of the character that starts at p, with n bytes available.
// A lead byte at the end, or before a zero byte, stands alone.
inline int AfxCharLen949(const char* p, size_t n) {
    return (n >= 2 && AfxIsLeadByte949(static_cast<BYTE>(p[0])) && p[1] != '\0') ? 2 : 1;
}

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(LPCSTR psz);  // null gives an empty string
    CString(LPCSTR pch, int nLength);
    CString(const unsigned char* psz);
    explicit CString(char ch, int nRepeat = 1);
    ~CString() = default;

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCSTR psz);
    CString& operator=(char ch);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    // Byte access. An index outside the string is a programming error:
    // reported in debug builds; GetAt then answers 0 and SetAt writes nothing.
    // SetAt writes only where a single-byte character stands.
    char GetAt(int nIndex) const;
    void SetAt(int nIndex, char ch);
    template <typename I, typename = typename std::enable_if<std::is_integral<I>::value>::type>
    char operator[](I nIndex) const {
        return GetAt(static_cast<int>(nIndex));
    }

    operator LPCTSTR() const { return m_str.c_str(); }
    LPCTSTR GetString() const { return m_str.c_str(); }

    CString& operator+=(const CString& s);
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch);
    void Append(LPCSTR pch, int nLength);

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCSTR b);
    friend CString operator+(LPCSTR a, const CString& b);
    friend CString operator+(const CString& a, char b);
    friend CString operator+(char a, const CString& b);

    // Byte-wise comparison (unsigned bytes), the result's sign only: -1, 0, 1.
    int Compare(LPCTSTR psz) const;
    // The same with A-Z folded to a-z.
    int CompareNoCase(LPCTSTR psz) const;

    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCTSTR pszCharSet) const;
    CString SpanExcluding(LPCTSTR pszCharSet) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    // Replacements run left to right over non-overlapping occurrences and
    // return their number.
    int Replace(char chOld, char chNew);
    int Replace(LPCTSTR pszOld, LPCTSTR pszNew);
    int Remove(char ch);
    // Insert and Delete return the new length.
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, LPCTSTR psz);
    int Delete(int nIndex, int nCount = 1);

    // Without an argument, trimming removes white space (space, tab, CR, LF,
    // vertical tab, form feed); a set may hold double-byte characters.
    CString& Trim();
    CString& Trim(char chTarget);
    CString& Trim(LPCTSTR pszTargets);
    CString& TrimLeft();
    CString& TrimLeft(char chTarget);
    CString& TrimLeft(LPCTSTR pszTargets);
    CString& TrimRight();
    CString& TrimRight(char chTarget);
    CString& TrimRight(LPCTSTR pszTargets);

    // Searches return the byte position or -1. A start outside 0..length
    // finds nothing.
    int Find(char ch) const { return Find(ch, 0); }
    int Find(char ch, int nStart) const;
    int Find(LPCTSTR pszSub) const { return Find(pszSub, 0); }
    int Find(LPCTSTR pszSub, int nStart) const;
    int ReverseFind(char ch) const;
    int FindOneOf(LPCTSTR pszCharSet) const;

    // The next token from iStart on, delimiters skipped; iStart moves past
    // the token's delimiter, and becomes -1 (with an empty result) when no
    // token is left.
    CString Tokenize(LPCTSTR pszTokens, int& iStart) const;

    void Format(LPCTSTR pszFormat, ...) AFX_PRINTF_LIKE(2, 3);
    void AppendFormat(LPCTSTR pszFormat, ...) AFX_PRINTF_LIKE(2, 3);
    void FormatV(LPCTSTR pszFormat, va_list args);
    void AppendFormatV(LPCTSTR pszFormat, va_list args);

    // The string of that id from the module's string table (ANSI code
    // page). Natively there is no string table: FALSE and an empty string.
    BOOL LoadString(UINT nID);

    // Direct access: GetBuffer(n) gives room for n characters and a
    // terminator, the text kept; ReleaseBuffer(-1) takes the length up to the
    // first zero byte. Between the two, call nothing else on the string.
    LPTSTR GetBuffer(int nMinBufLength);
    LPTSTR GetBuffer() { return GetBuffer(0); }
    LPTSTR GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);
    void Preallocate(int nLength);
    void FreeExtra() { m_str.shrink_to_fit(); }
    int GetAllocLength() const { return static_cast<int>(m_str.capacity()); }

private:
    std::string m_str;
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCTSTR b);
bool operator==(LPCTSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCTSTR b);
bool operator!=(LPCTSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, LPCTSTR b);
bool operator<(LPCTSTR a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, LPCTSTR b);
bool operator>(LPCTSTR a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator>=(const CString& a, const CString& b);
