// CTime: a point in time in whole seconds since 1970 (UTC), shown in local
// time by Format's strftime codes ("%c", "%Y-%m-%d", ...).
#pragma once

#include <ctime>

#include "classlib/afxstr.h"

class CTime {
public:
    CTime() = default;
    explicit CTime(time_t t) : m_time(t) {}
    // Local date and time parts; -1 for isDST lets the library decide.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);

    static CTime GetCurrentTime();
    time_t GetTime() const { return m_time; }

    int GetYear() const { return Local().tm_year + 1900; }
    int GetMonth() const { return Local().tm_mon + 1; }
    int GetDay() const { return Local().tm_mday; }
    int GetHour() const { return Local().tm_hour; }
    int GetMinute() const { return Local().tm_min; }
    int GetSecond() const { return Local().tm_sec; }
    int GetDayOfWeek() const { return Local().tm_wday + 1; }  // 1 = Sunday

    // The local time formatted with strftime's codes; an empty text for a
    // format that yields nothing or a time the library cannot show.
    CString Format(LPCTSTR pszFormat) const;

    bool operator==(const CTime& o) const { return m_time == o.m_time; }
    bool operator!=(const CTime& o) const { return m_time != o.m_time; }
    bool operator<(const CTime& o) const { return m_time < o.m_time; }

private:
    struct tm Local() const;
    time_t m_time = 0;
};
