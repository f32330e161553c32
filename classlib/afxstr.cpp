#include "classlib/afxstr.h"

#include <cstdio>
#include <cstring>

namespace {

const char kWhiteSpace[] = " \t\r\n\v\f";

LPCTSTR OrEmpty(LPCTSTR psz) { return psz ? psz : ""; }

int Sign(int v) { return (v > 0) - (v < 0); }

int CharLenAt(const std::string& s, size_t i) { return AfxCharLen949(s.data() + i, s.size() - i); }

// The first character boundary at or after byte i (the length when none).
// Boundaries are found walking from the start: a byte alone cannot tell a
// trail byte from a lead byte.
size_t BoundaryAtOrAfter(const std::string& s, size_t i) {
    size_t p = 0;
    while (p < i && p < s.size()) p += CharLenAt(s, p);
    return p < s.size() ? p : s.size();
}

// The last character boundary at or before byte i.
size_t BoundaryAtOrBefore(const std::string& s, size_t i) {
    if (i >= s.size()) return s.size();
    size_t p = 0;
    for (;;) {
        size_t next = p + CharLenAt(s, p);
        if (next > i) return p;
        p = next;
    }
}

// Whether byte `end` is a boundary, walking from the boundary `from`.
bool IsBoundaryFrom(const std::string& s, size_t from, size_t end) {
    size_t p = from;
    while (p < end && p < s.size()) p += CharLenAt(s, p);
    return p == end;
}

// Whether the character s[p, p + len) is one of the characters of the set.
bool InCharSet(const char* pch, int len, LPCTSTR pszSet) {
    size_t n = std::strlen(pszSet);
    for (size_t q = 0; q < n;) {
        int setLen = AfxCharLen949(pszSet + q, n - q);
        if (setLen == len && std::memcmp(pszSet + q, pch, static_cast<size_t>(len)) == 0)
            return true;
        q += static_cast<size_t>(setLen);
    }
    return false;
}

// Byte length of the leading run of characters that are (or are not) in the
// set.
size_t Span(const std::string& s, LPCTSTR pszSet, bool inSet) {
    pszSet = OrEmpty(pszSet);
    size_t p = 0;
    while (p < s.size()) {
        int len = CharLenAt(s, p);
        if (InCharSet(s.data() + p, len, pszSet) != inSet) break;
        p += static_cast<size_t>(len);
    }
    return p;
}

// Clamps an int position or count given by a caller to 0..limit.
size_t Clamp(long long v, size_t limit) {
    if (v < 0) return 0;
    if (static_cast<unsigned long long>(v) > limit) return limit;
    return static_cast<size_t>(v);
}

char FoldLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }
char FoldUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c; }

std::string Folded(const char* psz) {
    std::string s(psz);
    for (size_t p = 0; p < s.size();) {
        int len = CharLenAt(s, p);
        if (len == 1) s[p] = FoldLower(s[p]);
        p += static_cast<size_t>(len);
    }
    return s;
}

}  // namespace

CString::CString(LPCSTR psz) : m_str(OrEmpty(psz)) {}

CString::CString(LPCSTR pch, int nLength) {
    if (pch && nLength > 0) m_str.assign(pch, static_cast<size_t>(nLength));
}

CString::CString(const unsigned char* psz) : m_str(OrEmpty(reinterpret_cast<LPCSTR>(psz))) {}

CString::CString(char ch, int nRepeat) {
    if (nRepeat > 0) m_str.assign(static_cast<size_t>(nRepeat), ch);
}

CString& CString::operator=(LPCSTR psz) {
    // The source may lie inside this string.
    std::string copy(OrEmpty(psz));
    m_str.swap(copy);
    return *this;
}

CString& CString::operator=(char ch) {
    m_str.assign(1, ch);
    return *this;
}

char CString::GetAt(int nIndex) const {
    if (!AFX_CHECK(nIndex >= 0 && nIndex < GetLength())) return 0;
    return m_str[static_cast<size_t>(nIndex)];
}

void CString::SetAt(int nIndex, char ch) {
    if (!AFX_CHECK(nIndex >= 0 && nIndex < GetLength())) return;
    size_t i = static_cast<size_t>(nIndex);
    if (!AFX_CHECK(BoundaryAtOrBefore(m_str, i) == i && CharLenAt(m_str, i) == 1)) return;
    m_str[i] = ch;
}

CString& CString::operator+=(const CString& s) {
    m_str += s.m_str;
    return *this;
}

CString& CString::operator+=(LPCSTR psz) {
    std::string copy(OrEmpty(psz));
    m_str += copy;
    return *this;
}

CString& CString::operator+=(char ch) {
    m_str += ch;
    return *this;
}

void CString::Append(LPCSTR pch, int nLength) {
    if (!pch || nLength <= 0) return;
    std::string copy(pch, static_cast<size_t>(nLength));
    m_str += copy;
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, LPCSTR b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(LPCSTR a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, char b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(char a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

int CString::Compare(LPCTSTR psz) const { return Sign(std::strcmp(m_str.c_str(), OrEmpty(psz))); }

int CString::CompareNoCase(LPCTSTR psz) const {
    return Sign(std::strcmp(Folded(m_str.c_str()).c_str(), Folded(OrEmpty(psz)).c_str()));
}

bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
bool operator==(LPCTSTR a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
bool operator!=(const CString& a, LPCTSTR b) { return a.Compare(b) != 0; }
bool operator!=(LPCTSTR a, const CString& b) { return b.Compare(a) != 0; }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, LPCTSTR b) { return a.Compare(b) < 0; }
bool operator<(LPCTSTR a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator>(const CString& a, LPCTSTR b) { return a.Compare(b) > 0; }
bool operator>(LPCTSTR a, const CString& b) { return b.Compare(a) < 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const {
    size_t first = Clamp(nFirst, m_str.size());
    size_t end = Clamp(static_cast<long long>(first) + (nCount < 0 ? 0 : nCount), m_str.size());
    size_t b = BoundaryAtOrAfter(m_str, first);
    size_t e = BoundaryAtOrBefore(m_str, end);
    CString r;
    if (e > b) r.m_str.assign(m_str, b, e - b);
    return r;
}

CString CString::Left(int nCount) const { return Mid(0, nCount); }

CString CString::Right(int nCount) const {
    size_t count = Clamp(nCount, m_str.size());
    return Mid(static_cast<int>(m_str.size() - count));
}

CString CString::SpanIncluding(LPCTSTR pszCharSet) const {
    return Left(static_cast<int>(Span(m_str, pszCharSet, true)));
}

CString CString::SpanExcluding(LPCTSTR pszCharSet) const {
    return Left(static_cast<int>(Span(m_str, pszCharSet, false)));
}

CString& CString::MakeUpper() {
    for (size_t p = 0; p < m_str.size();) {
        int len = CharLenAt(m_str, p);
        if (len == 1) m_str[p] = FoldUpper(m_str[p]);
        p += static_cast<size_t>(len);
    }
    return *this;
}

CString& CString::MakeLower() {
    for (size_t p = 0; p < m_str.size();) {
        int len = CharLenAt(m_str, p);
        if (len == 1) m_str[p] = FoldLower(m_str[p]);
        p += static_cast<size_t>(len);
    }
    return *this;
}

CString& CString::MakeReverse() {
    std::string r(m_str.size(), '\0');
    size_t out = m_str.size();
    for (size_t p = 0; p < m_str.size();) {
        size_t len = static_cast<size_t>(CharLenAt(m_str, p));
        out -= len;
        r.replace(out, len, m_str, p, len);
        p += len;
    }
    m_str.swap(r);
    return *this;
}

int CString::Replace(char chOld, char chNew) {
    if (chOld == chNew || chOld == '\0') return 0;
    int count = 0;
    for (size_t p = 0; p < m_str.size();) {
        int len = CharLenAt(m_str, p);
        if (len == 1 && m_str[p] == chOld) {
            m_str[p] = chNew;
            ++count;
        }
        p += static_cast<size_t>(len);
    }
    return count;
}

int CString::Replace(LPCTSTR pszOld, LPCTSTR pszNew) {
    if (!pszOld || !*pszOld) return 0;
    // Both arguments may point into this string: copy them first.
    const std::string oldText(pszOld);
    const std::string newText(OrEmpty(pszNew));
    std::string out;
    int count = 0;
    for (size_t p = 0; p < m_str.size();) {
        if (m_str.compare(p, oldText.size(), oldText) == 0 &&
            IsBoundaryFrom(m_str, p, p + oldText.size())) {
            out += newText;
            p += oldText.size();
            ++count;
        } else {
            size_t len = static_cast<size_t>(CharLenAt(m_str, p));
            out.append(m_str, p, len);
            p += len;
        }
    }
    if (count) m_str.swap(out);
    return count;
}

int CString::Remove(char ch) {
    if (ch == '\0') return 0;
    std::string out;
    int count = 0;
    for (size_t p = 0; p < m_str.size();) {
        size_t len = static_cast<size_t>(CharLenAt(m_str, p));
        if (len == 1 && m_str[p] == ch)
            ++count;
        else
            out.append(m_str, p, len);
        p += len;
    }
    if (count) m_str.swap(out);
    return count;
}

int CString::Insert(int nIndex, char ch) {
    char text[2] = {ch, '\0'};
    if (ch == '\0') return GetLength();
    return Insert(nIndex, text);
}

int CString::Insert(int nIndex, LPCTSTR psz) {
    std::string text(OrEmpty(psz));
    size_t at = BoundaryAtOrBefore(m_str, Clamp(nIndex, m_str.size()));
    m_str.insert(at, text);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
    if (nCount <= 0 || nIndex >= GetLength()) return GetLength();
    size_t first = Clamp(nIndex, m_str.size());
    size_t end = Clamp(static_cast<long long>(first) + nCount, m_str.size());
    size_t b = BoundaryAtOrBefore(m_str, first);
    size_t e = BoundaryAtOrAfter(m_str, end);
    m_str.erase(b, e - b);
    return GetLength();
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char chTarget) { return TrimRight(chTarget).TrimLeft(chTarget); }
CString& CString::Trim(LPCTSTR pszTargets) { return TrimRight(pszTargets).TrimLeft(pszTargets); }

CString& CString::TrimLeft() { return TrimLeft(kWhiteSpace); }

CString& CString::TrimLeft(char chTarget) {
    char set[2] = {chTarget, '\0'};
    return TrimLeft(set);
}

CString& CString::TrimLeft(LPCTSTR pszTargets) {
    if (!pszTargets || !*pszTargets) return *this;
    std::string set(pszTargets);
    m_str.erase(0, Span(m_str, set.c_str(), true));
    return *this;
}

CString& CString::TrimRight() { return TrimRight(kWhiteSpace); }

CString& CString::TrimRight(char chTarget) {
    char set[2] = {chTarget, '\0'};
    return TrimRight(set);
}

CString& CString::TrimRight(LPCTSTR pszTargets) {
    if (!pszTargets || !*pszTargets) return *this;
    std::string set(pszTargets);
    // Walk forward: the end of the last character outside the set is where
    // the kept text stops.
    size_t keep = 0;
    for (size_t p = 0; p < m_str.size();) {
        int len = CharLenAt(m_str, p);
        p += static_cast<size_t>(len);
        if (!InCharSet(m_str.data() + p - len, len, set.c_str())) keep = p;
    }
    m_str.resize(keep);
    return *this;
}

int CString::Find(char ch, int nStart) const {
    if (ch == '\0' || nStart < 0 || nStart > GetLength()) return -1;
    for (size_t p = BoundaryAtOrAfter(m_str, static_cast<size_t>(nStart)); p < m_str.size();) {
        int len = CharLenAt(m_str, p);
        if (len == 1 && m_str[p] == ch) return static_cast<int>(p);
        p += static_cast<size_t>(len);
    }
    return -1;
}

int CString::Find(LPCTSTR pszSub, int nStart) const {
    if (!pszSub || nStart < 0 || nStart > GetLength()) return -1;
    size_t n = std::strlen(pszSub);
    size_t p = BoundaryAtOrAfter(m_str, static_cast<size_t>(nStart));
    if (n == 0) return static_cast<int>(p);
    for (; p + n <= m_str.size(); p += static_cast<size_t>(CharLenAt(m_str, p))) {
        if (m_str.compare(p, n, pszSub) == 0 && IsBoundaryFrom(m_str, p, p + n))
            return static_cast<int>(p);
    }
    return -1;
}

int CString::ReverseFind(char ch) const {
    int found = -1;
    if (ch == '\0') return found;
    for (size_t p = 0; p < m_str.size();) {
        int len = CharLenAt(m_str, p);
        if (len == 1 && m_str[p] == ch) found = static_cast<int>(p);
        p += static_cast<size_t>(len);
    }
    return found;
}

int CString::FindOneOf(LPCTSTR pszCharSet) const {
    size_t p = Span(m_str, pszCharSet, false);
    return p < m_str.size() ? static_cast<int>(p) : -1;
}

CString CString::Tokenize(LPCTSTR pszTokens, int& iStart) const {
    if (iStart < 0 || iStart >= GetLength()) {
        iStart = -1;
        return CString();
    }
    size_t from = BoundaryAtOrAfter(m_str, static_cast<size_t>(iStart));
    std::string rest(m_str, from);
    size_t skip = Span(rest, pszTokens, true);
    if (from + skip >= m_str.size()) {
        iStart = -1;
        return CString();
    }
    size_t len = Span(rest.substr(skip), pszTokens, false);
    CString token;
    token.m_str.assign(m_str, from + skip, len);
    size_t next = from + skip + len;
    // Step over the one delimiter that ended the token.
    if (next < m_str.size()) next += static_cast<size_t>(CharLenAt(m_str, next));
    iStart = static_cast<int>(next);
    return token;
}

void CString::Format(LPCTSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::AppendFormat(LPCTSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    AppendFormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCTSTR pszFormat, va_list args) {
    // The arguments may point into this string: format into a new one.
    CString r;
    r.AppendFormatV(pszFormat, args);
    m_str.swap(r.m_str);
}

void CString::AppendFormatV(LPCTSTR pszFormat, va_list args) {
    if (!AFX_CHECK(pszFormat != nullptr)) return;
    char small[256];
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(small, sizeof small, pszFormat, args);
    if (n < 0) {
        // A conversion the C library refused: nothing is appended.
        va_end(again);
        return;
    }
    if (static_cast<size_t>(n) < sizeof small) {
        m_str.append(small, static_cast<size_t>(n));
    } else {
        std::string big(static_cast<size_t>(n) + 1, '\0');
        std::vsnprintf(&big[0], big.size(), pszFormat, again);
        big.resize(static_cast<size_t>(n));
        m_str += big;
    }
    va_end(again);
}

LPTSTR CString::GetBuffer(int nMinBufLength) {
    if (nMinBufLength > GetLength()) m_str.resize(static_cast<size_t>(nMinBufLength));
    return &m_str[0];
}

LPTSTR CString::GetBufferSetLength(int nNewLength) {
    m_str.resize(nNewLength > 0 ? static_cast<size_t>(nNewLength) : 0);
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength) {
    size_t len;
    if (nNewLength < 0) {
        const void* nul = std::memchr(m_str.data(), '\0', m_str.size());
        len =
            nul ? static_cast<size_t>(static_cast<const char*>(nul) - m_str.data()) : m_str.size();
    } else {
        // A length beyond the buffer handed out would read unwritten bytes.
        len = AFX_CHECK(static_cast<size_t>(nNewLength) <= m_str.size())
                  ? static_cast<size_t>(nNewLength)
                  : m_str.size();
    }
    m_str.resize(len);
}

void CString::Preallocate(int nLength) {
    if (nLength > 0) m_str.reserve(static_cast<size_t>(nLength));
}
