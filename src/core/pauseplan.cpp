#include "pauseplan.h"

#include "lang.h"
#include "text.h"

#include <stdio.h>
#include <string.h>

namespace {

const int64_t daymin = 24 * 60;

// Days since 1970-01-01 of a proleptic Gregorian date, and back (Howard Hinnant's algorithms).
int64_t daysfromcivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilfromdays(int64_t z, civiltime *t)
{
    z += 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    t->day = (int)(doy - (153 * mp + 2) / 5 + 1);
    t->month = (int)(mp < 10 ? mp + 3 : mp - 9);
    t->year = (int)(yoe + era * 400 + (t->month <= 2));
}

const int64_t epochdays = daysfromcivil(1601, 1, 1);

int64_t floordiv(int64_t a, int64_t b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// Digits at text[at], exactly n of them, or -1.
int digits(const std::wstring &text, size_t at, size_t n)
{
    int v = 0;
    for (size_t i = at; i < at + n; i++) {
        if (i >= text.size() || text[i] < L'0' || text[i] > L'9')
            return -1;
        v = v * 10 + (text[i] - L'0');
    }
    return v;
}

} // namespace

int64_t minuteof(const civiltime &t)
{
    return (daysfromcivil(t.year, t.month, t.day) - epochdays) * daymin + t.hour * 60 + t.minute;
}

civiltime civilof(int64_t minute)
{
    civiltime t;
    int64_t day = floordiv(minute, daymin);
    civilfromdays(day + epochdays, &t);
    int64_t rest = minute - day * daymin;
    t.hour = (int)(rest / 60);
    t.minute = (int)(rest % 60);
    return t;
}

int weekdayof(int64_t minute)
{
    // 1601-01-01 was a Monday.
    int64_t day = floordiv(minute, daymin);
    return (int)(day - floordiv(day, 7) * 7) + 1;
}

int64_t tomorrowstart(int64_t localnow, const quietrules &r)
{
    int64_t midnight = (floordiv(localnow, daymin) + 1) * daymin;
    int day = weekdayof(midnight) - 1;
    const std::vector<hourrange> &ranges = r.perday[day].set ? r.perday[day].ranges
                                           : r.days & (1u << day) ? r.hours : std::vector<hourrange>();
    int first = -1;
    for (const hourrange &h : ranges)
        if (h.from != h.to && (first < 0 || h.from < first))
            first = h.from;
    return midnight + (first < 0 ? PAUSE_MORNING : first);
}

uint64_t utcof(int64_t localminute, const zoneoffset &offset)
{
    // The offset at a guess of the instant, then at the instant that gives.
    int64_t guess = localminute - offset(localminute);
    int64_t utc = localminute - offset(guess);
    return utc < 0 ? 0 : (uint64_t)utc * 60000;
}

int64_t localof(uint64_t ms, const zoneoffset &offset)
{
    int64_t utc = (int64_t)(ms / 60000);
    return utc + offset(utc);
}

pauseplan planpause(uint64_t nowms, int minutes, const quietrules &r, const zoneoffset &offset)
{
    if (minutes == PAUSE_UNTILRESUMED)
        return {PAUSE_FOREVER, PAUSE_NOEND};
    if (minutes == PAUSE_TOMORROW) {
        int64_t end = tomorrowstart(localof(nowms, offset), r);
        return {utcof(end, offset), end};
    }
    uint64_t until = nowms + (uint64_t)minutes * 60000;
    return {until, localof(until, offset)};
}

std::wstring pausevalue(int64_t localend)
{
    if (localend == PAUSE_NOEND)
        return L"resume";
    civiltime t = civilof(localend);
    char date[16];
    snprintf(date, sizeof date, "%04d-%02d-%02d ", t.year, t.month, t.day);
    return std::wstring(date, date + strlen(date)) + clocktext(t.hour * 60 + t.minute);
}

int64_t parsepausevalue(const std::wstring &value)
{
    std::wstring t = trimmed(value);
    if (sameletters(t, L"resume"))
        return PAUSE_NOEND;
    if (t.size() != 16 || t[4] != L'-' || t[7] != L'-' || t[10] != L' ' || t[13] != L':')
        return -1;
    civiltime c = {digits(t, 0, 4), digits(t, 5, 2), digits(t, 8, 2), digits(t, 11, 2), digits(t, 14, 2)};
    if (c.year < 1601 || c.month < 1 || c.month > 12 || c.day < 1 || c.hour < 0 || c.hour > 23 || c.minute < 0 ||
        c.minute > 59)
        return -1;
    int monthdays = (int)(daysfromcivil(c.month == 12 ? c.year + 1 : c.year, c.month % 12 + 1, 1) -
                          daysfromcivil(c.year, c.month, 1));
    return c.day <= monthdays ? minuteof(c) : -1;
}

void pausetext(char *tip, size_t size, int64_t localnow, int64_t localend)
{
    std::string when = tr("you resume");
    if (localend != PAUSE_NOEND) {
        int64_t days = floordiv(localend, daymin) - floordiv(localnow, daymin);
        std::wstring clock = clocktext((int)(localend - floordiv(localend, daymin) * daymin));
        when = days <= 0 ? narrow(clock) : days == 1 ? filled(tr("tomorrow %s"), narrow(clock))
                                                     : narrow(pausevalue(localend));
    }
    snprintf(tip, size, "%s", filled(tr("vexolind - paused until %s"), when).c_str());
}
