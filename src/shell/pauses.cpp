#include "pauseplan.h"
#include "settings.h"
#include "shell.h"

namespace {

const uint64_t msperminute = 60000, ticksperms = 10000;

// The zone's offset at a UTC minute, as Windows applies its rules to that date.
int zoneoffsetat(int64_t utcminute)
{
    if (utcminute < 0)
        return 0;
    ULARGE_INTEGER u;
    u.QuadPart = (uint64_t)utcminute * msperminute * ticksperms;
    FILETIME ft = {u.LowPart, u.HighPart}, lft;
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(&ft, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
        !SystemTimeToFileTime(&local, &lft))
        return 0;
    ULARGE_INTEGER l = {{lft.dwLowDateTime, lft.dwHighDateTime}};
    return (int)((int64_t)(l.QuadPart / (msperminute * ticksperms)) - utcminute);
}

// A file that could not be read at start is not ours to write.
void keep(const context_t *con, const std::wstring &value)
{
    if (!con->iniunread)
        setinipause(con, value);
}

} // namespace

uint64_t utcnowms()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER u = {{ft.dwLowDateTime, ft.dwHighDateTime}};
    return u.QuadPart / ticksperms;
}

void startpause(context_t *con, int minutes)
{
    pauseplan p = planpause(utcnowms(), minutes, quietnow(), zoneoffsetat);
    con->pauseuntil = p.until;
    keep(con, pausevalue(p.localend));
    pausetick(con);
}

void endpause(context_t *con)
{
    con->pauseuntil = 0;
    keep(con, L"");
}

void loadpause(context_t *con)
{
    int64_t end = parsepausevalue(inipause(con));
    if (end < 0)
        return;
    uint64_t until = end == PAUSE_NOEND ? PAUSE_FOREVER : utcof(end, zoneoffsetat);
    if (!pausing(until, utcnowms())) {
        endpause(con);
        return;
    }
    con->pauseuntil = until;
    pausetick(con);
}

void pausetick(context_t *con)
{
    if (!con->pauseuntil)
        return;
    uint64_t now = utcnowms();
    if (!pausing(con->pauseuntil, now)) {
        endpause(con);
        return;
    }
    int64_t end = con->pauseuntil == PAUSE_FOREVER ? PAUSE_NOEND : localof(con->pauseuntil, zoneoffsetat);
    pausetext(con->pausetip, sizeof con->pausetip, localof(now, zoneoffsetat), end);
}
