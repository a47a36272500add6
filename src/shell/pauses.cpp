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
void keep(context_t *ctx, const std::wstring &value)
{
    if (!ctx->iniunread)
        savepause(ctx, value);
}

} // namespace

uint64_t utcnowms()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER u = {{ft.dwLowDateTime, ft.dwHighDateTime}};
    return u.QuadPart / ticksperms;
}

void startpause(context_t *ctx, int minutes)
{
    pauseplan p = planpause(utcnowms(), minutes, ctx->rules, zoneoffsetat);
    ctx->pauseuntil = p.until;
    keep(ctx, pausevalue(p.localend));
    pausetick(ctx);
}

void endpause(context_t *ctx)
{
    ctx->pauseuntil = 0;
    keep(ctx, L"");
}

void loadpause(context_t *ctx)
{
    int64_t end = parsepausevalue(ctx->pause);
    if (end < 0)
        return;
    uint64_t until = end == PAUSE_NOEND ? PAUSE_FOREVER : utcof(end, zoneoffsetat);
    if (!pausing(until, utcnowms())) {
        endpause(ctx);
        return;
    }
    ctx->pauseuntil = until;
    pausetick(ctx);
}

void pausetick(context_t *ctx)
{
    if (!ctx->pauseuntil)
        return;
    uint64_t now = utcnowms();
    if (!pausing(ctx->pauseuntil, now)) {
        endpause(ctx);
        return;
    }
    int64_t end = ctx->pauseuntil == PAUSE_FOREVER ? PAUSE_NOEND : localof(ctx->pauseuntil, zoneoffsetat);
    pausetext(ctx->pausetip, sizeof ctx->pausetip, localof(now, zoneoffsetat), end);
}
