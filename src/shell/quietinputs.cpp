#include "handles.h"
#include "quietdecision.h"
#include "settings.h"
#include "shell.h"
#include "text.h"

#include <shellapi.h>
#include <versionhelpers.h>
#include <wtsapi32.h>

namespace {

// The registry and the process list are read at most this often, never at every tick.
const uint64_t pollms = 5000;

// The start of WTSINFOEXW, which MinGW's headers lack.
struct sessioninfoex {
    DWORD level;
    alignas(8) ULONG sessionid;
    int state;
    LONG flags;
};
const WTS_INFO_CLASS sessioninfoexclass = (WTS_INFO_CLASS)25;

bool lockednow()
{
    sessioninfoex *info = nullptr;
    DWORD bytes = 0;
    if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, sessioninfoexclass,
                                     reinterpret_cast<LPWSTR *>(&info), &bytes))
        return false;
    vx::wtsmemory<sessioninfoex> own(info);
    if (!info || bytes < sizeof *info || info->level != 1)
        return false;
    // Windows 7 reports the two states the other way round.
    const LONG locked = IsWindows8OrGreater() ? 0 : 1;
    return info->flags == locked;
}

uint64_t qword(HKEY k, const wchar_t *name)
{
    uint64_t v = 0;
    DWORD type = 0, size = sizeof v;
    if (RegQueryValueExW(k, name, nullptr, &type, reinterpret_cast<BYTE *>(&v), &size) != ERROR_SUCCESS ||
        type != REG_QWORD || size != sizeof v)
        return 0;
    return v;
}

// When Windows last started, as a FILETIME: the tick count runs from there.
uint64_t boottime()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    uint64_t t = (uint64_t)now.dwHighDateTime << 32 | now.dwLowDateTime;
    return t - GetTickCount64() * 10000;
}

// Packaged programs are subkeys of the device's key; all others are subkeys of NonPackaged.
bool anyinuse(HKEY parent, bool packaged, uint64_t boot)
{
    wchar_t name[256];
    for (DWORD i = 0;; i++) {
        DWORD len = sizeof name / sizeof *name;
        LONG rc = RegEnumKeyExW(parent, i, name, &len, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            return false;
        vx::regkey k;
        if (RegOpenKeyExW(parent, name, 0, KEY_READ, vx::out(k)) != ERROR_SUCCESS)
            continue;
        bool inuse = packaged && sameletters(name, L"NonPackaged")
                         ? anyinuse(k.get(), false, boot)
                         : consentinuse(qword(k.get(), L"LastUsedTimeStart"), qword(k.get(), L"LastUsedTimeStop"), boot);
        if (inuse)
            return true;
    }
}

bool deviceinuse(const wchar_t *device)
{
    std::wstring path = L"Software\\Microsoft\\Windows\\CurrentVersion\\CapabilityAccessManager\\ConsentStore\\";
    vx::regkey k;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (path + device).c_str(), 0, KEY_READ, vx::out(k)) != ERROR_SUCCESS)
        return false;
    return anyinuse(k.get(), true, boottime());
}

// The first listed program running in our session, as the process list names it; a list that
// cannot be had keeps the last answer. The list gives each process's session without opening
// it, which another user's processes would refuse.
std::wstring listedrunning(const quietrules &rules, const std::wstring &last)
{
    WTS_PROCESS_INFOW *info = nullptr;
    DWORD count = 0;
    if (!WTSEnumerateProcessesW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &info, &count))
        return last;
    vx::wtsmemory<WTS_PROCESS_INFOW> own(info);
    std::vector<processentry> list(count);
    for (DWORD i = 0; i < count; i++)
        list[i] = {info[i].pProcessName, info[i].SessionId};
    DWORD mine = SESSION_UNKNOWN;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &mine))
        mine = SESSION_UNKNOWN;
    int found = listedinsession(rules, list.data(), list.size(), mine);
    return found < 0 ? L"" : list[found].name;
}

void poll(context_t *ctx, uint64_t now)
{
    if (!ctx->mediareadms || now - ctx->mediareadms >= pollms) {
        ctx->mediareadms = now ? now : 1;
        ctx->media = !ctx->rules.media ? 0
                                       : (deviceinuse(L"microphone") ? MEDIA_MICROPHONE : 0) |
                                             (deviceinuse(L"webcam") ? MEDIA_CAMERA : 0);
    }
    if (!ctx->programsreadms || now - ctx->programsreadms >= pollms) {
        ctx->programsreadms = now ? now : 1;
        ctx->program = ctx->rules.programs.empty() ? L"" : listedrunning(ctx->rules, ctx->program);
    }
}

} // namespace

// What one tick sees, as Windows tells it. The class name lives as long as the process, so the
// record stays valid after the call.
quietinputs quietinputsnow(context_t *ctx, uint64_t now)
{
    quietinputs in = {};
    QUERY_USER_NOTIFICATION_STATE state;
    if (SUCCEEDED(SHQueryUserNotificationState(&state)))
        in.notestate = (int)state;
    ctx->fgclass[0] = L'\0';
    HWND fg = GetForegroundWindow();
    if (fg) {
        DWORD pid = 0;
        GetWindowThreadProcessId(fg, &pid);
        in.foreground = true;
        in.ours = pid == GetCurrentProcessId();
        in.style = (DWORD)GetWindowLongPtrA(fg, GWL_STYLE);
        GetClassNameW(fg, ctx->fgclass, ARRAYSIZE(ctx->fgclass));
        in.cls = ctx->fgclass;
        GetWindowRect(fg, &in.window);
        MONITORINFO mi = {};
        mi.cbSize = sizeof mi;
        HMONITOR mon = MonitorFromWindow(fg, MONITOR_DEFAULTTONULL);
        if (mon && GetMonitorInfoA(mon, &mi))
            in.monitor = mi.rcMonitor;
    }
    in.away = ctx->away;
    in.pauseuntil = ctx->pauseuntil;
    in.now = utcnowms();
    poll(ctx, now);
    in.rules = &ctx->rules;
    in.media = ctx->media;
    in.program = ctx->program.empty() ? nullptr : ctx->program.c_str();
    SYSTEMTIME st;
    GetLocalTime(&st);
    in.weekday = st.wDayOfWeek ? st.wDayOfWeek : 7;
    in.minute = st.wHour * 60 + st.wMinute;
    in.tickms = GetTickCount();
    in.startedms = ctx->startedms;
    LASTINPUTINFO li = {sizeof li, 0};
    // Unknown input counts as old: no wait for typing that cannot be seen.
    in.lastinputms = GetLastInputInfo(&li) ? li.dwTime : in.tickms - TYPING_PAUSE_MS;
    return in;
}

void watchsession(context_t *ctx)
{
    // Right after log-on, when the Run key starts us, the session service may not be up yet.
    if (!ctx->session.held() &&
        ctx->session.hold(ctx->hwnd, 0, WTSRegisterSessionNotification(ctx->hwnd, NOTIFY_FOR_THIS_SESSION))) {
        // Started under a lock screen: no lock change will come to say so.
        if (lockednow())
            ctx->away |= AWAY_LOCKED;
    }
}
