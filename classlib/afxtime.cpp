#include "classlib/afxtime.h"

#include <vector>

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST) {
    struct tm t = {};
    t.tm_year = nYear - 1900;
    t.tm_mon = nMonth - 1;
    t.tm_mday = nDay;
    t.tm_hour = nHour;
    t.tm_min = nMin;
    t.tm_sec = nSec;
    t.tm_isdst = nDST;
    m_time = mktime(&t);
}

CTime CTime::GetCurrentTime() { return CTime(time(nullptr)); }

struct tm CTime::Local() const {
    struct tm t = {};
#ifdef _WIN32
    const struct tm* p = localtime(&m_time);  // per-thread in the C runtime
    if (p) t = *p;
#else
    localtime_r(&m_time, &t);
#endif
    return t;
}

CString CTime::Format(LPCTSTR pszFormat) const {
    if (!pszFormat || !*pszFormat) return CString();
    const struct tm t = Local();
    // strftime gives 0 both for "too small" and for an empty result: grow a
    // few times, then give up.
    for (size_t size = 128; size <= 8192; size *= 4) {
        std::vector<char> buf(size);
        const size_t n = strftime(buf.data(), buf.size(), pszFormat, &t);
        if (n > 0) return CString(buf.data(), static_cast<int>(n));
    }
    return CString();
}
