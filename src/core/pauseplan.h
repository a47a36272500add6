// A pause of the user's own length, worked out on the local calendar. Pure: the shell passes in
// the clock and the time zone's offsets, so a table of cases covers midnight and clock changes.
#pragma once

#include "quietdecision.h"

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <string>

// Minutes since 1601-01-01 00:00, the epoch of Windows' FILETIME; local or UTC as named.
struct civiltime {
    int year, month, day, hour, minute;
};
int64_t minuteof(const civiltime &t);
civiltime civilof(int64_t minute);
int weekdayof(int64_t minute);      // 1 Monday ... 7 Sunday

#define PAUSE_TOMORROW (-1)         // until the next day's hours begin
#define PAUSE_UNTILRESUMED 0
#define PAUSE_HOUR 60
#define PAUSE_MAX_MINUTES 1440
#define PAUSE_MORNING (8 * 60)      // "tomorrow" when that day has no hours of its own
const uint64_t PAUSE_FOREVER = UINT64_MAX;
const int64_t PAUSE_NOEND = INT64_MAX;

// The time zone's offset from UTC in minutes at a UTC minute, as the platform knows it.
using zoneoffset = std::function<int(int64_t utcminute)>;

struct pauseplan {
    uint64_t until;     // UTC milliseconds since 1601 when it ends; PAUSE_FOREVER until resumed
    int64_t localend;   // the local minute it ends, which the file keeps; PAUSE_NOEND until resumed
};
// A pause chosen at nowms (UTC milliseconds): minutes (1 to 1440) of real time, whatever the
// clock does meanwhile, PAUSE_TOMORROW or PAUSE_UNTILRESUMED.
pauseplan planpause(uint64_t nowms, int minutes, const quietrules &r, const zoneoffset &offset);
// The local minute of the next calendar day when its first range of hours begins.
int64_t tomorrowstart(int64_t localnow, const quietrules &r);
// The UTC milliseconds of a local minute; in the hour a clock change skips, the one after.
uint64_t utcof(int64_t localminute, const zoneoffset &offset);
// The local minute at which UTC milliseconds fall.
int64_t localof(uint64_t ms, const zoneoffset &offset);

// [pause] until=: "YYYY-MM-DD HH:MM" local time, or "resume".
std::wstring pausevalue(int64_t localend);
// PAUSE_NOEND for "resume"; -1 when the text is neither.
int64_t parsepausevalue(const std::wstring &text);
// "vexolind - paused until 14:30", "... until tomorrow 08:00", "... until 2026-12-24 08:00",
// "... until you resume".
void pausetext(char *tip, size_t size, int64_t localnow, int64_t localend);
