#include "handles.h"
#include "quietdecision.h"
#include "settings.h"
#include "shell.h"

#include <shellapi.h>
#include <versionhelpers.h>
#include <wtsapi32.h>

namespace {

const DWORD startedtick = GetTickCount();
// The registry and the process list are read at most this often, never at every tick.
const uint64_t pollms = 5000;

quietrules rules;
uint64_t mediaread, programsread;   // 0: at the next tick
int media;
const wchar_t *program;

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
    vx::owned<sessioninfoex *, WTSFreeMemory> own(info);
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
        bool inuse = packaged && lstrcmpiW(name, L"NonPackaged") == 0
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
const wchar_t *listedrunning(const wchar_t *last)
{
    static wchar_t name[MAX_PATH];
    WTS_PROCESS_INFOW *info = nullptr;
    DWORD count = 0;
    if (!WTSEnumerateProcessesW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &info, &count))
        return last;
    vx::owned<WTS_PROCESS_INFOW *, WTSFreeMemory> own(info);
    std::vector<processentry> list(count);
    for (DWORD i = 0; i < count; i++)
        list[i] = {info[i].pProcessName, info[i].SessionId};
    DWORD mine = SESSION_UNKNOWN;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &mine))
        mine = SESSION_UNKNOWN;
    int found = listedinsession(rules, list.data(), list.size(), mine);
    if (found < 0)
        return nullptr;
    lstrcpynW(name, list[found].name, MAX_PATH);
    return name;
}

void poll(uint64_t now)
{
    if (!mediaread || now - mediaread >= pollms) {
        mediaread = now ? now : 1;
        media = !rules.media ? 0
                             : (deviceinuse(L"microphone") ? MEDIA_MICROPHONE : 0) |
                                   (deviceinuse(L"webcam") ? MEDIA_CAMERA : 0);
    }
    if (!programsread || now - programsread >= pollms) {
        programsread = now ? now : 1;
        program = rules.programs.empty() ? nullptr : listedrunning(program);
    }
}

} // namespace

const quietrules &quietnow()
{
    return rules;
}

void loadquiet(const context_t *con)
{
    quietkeys k;
    k.media = inistring(con, L"quiet", L"media", L"");
    k.programs = inistring(con, L"quiet", L"programs", L"");
    k.hours = inistring(con, L"quiet", L"hours", L"");
    k.days = inistring(con, L"quiet", L"days", L"");
    k.typing = inistring(con, L"quiet", L"typing", L"");
    k.away = inistring(con, L"quiet", L"away", L"");
    rules = parsequiet(k);
    mediaread = programsread = 0;
}

// What one tick sees, as Windows tells it. The class name lives as long as the process, so the
// record stays valid after the call.
quietinputs quietinputsnow(const context_t *con, uint64_t now)
{
    quietinputs in = {};
    QUERY_USER_NOTIFICATION_STATE state;
    if (SUCCEEDED(SHQueryUserNotificationState(&state)))
        in.notestate = (int)state;
    static char cls[64];
    cls[0] = '\0';
    HWND fg = GetForegroundWindow();
    if (fg) {
        DWORD pid = 0;
        GetWindowThreadProcessId(fg, &pid);
        in.foreground = true;
        in.ours = pid == GetCurrentProcessId();
        in.style = (DWORD)GetWindowLongPtrA(fg, GWL_STYLE);
        GetClassNameA(fg, cls, sizeof cls);
        in.cls = cls;
        GetWindowRect(fg, &in.window);
        MONITORINFO mi = {};
        mi.cbSize = sizeof mi;
        HMONITOR mon = MonitorFromWindow(fg, MONITOR_DEFAULTTONULL);
        if (mon && GetMonitorInfoA(mon, &mi))
            in.monitor = mi.rcMonitor;
    }
    in.away = con->away;
    in.pauseuntil = con->pauseuntil;
    in.now = now;
    poll(now);
    in.rules = &rules;
    in.media = media;
    in.program = program;
    SYSTEMTIME st;
    GetLocalTime(&st);
    in.weekday = st.wDayOfWeek ? st.wDayOfWeek : 7;
    in.minute = st.wHour * 60 + st.wMinute;
    in.tick = GetTickCount();
    in.started = startedtick;
    LASTINPUTINFO li = {sizeof li, 0};
    // Unknown input counts as old: no wait for typing that cannot be seen.
    in.lastinput = GetLastInputInfo(&li) ? li.dwTime : in.tick - TYPING_PAUSE_MS;
    return in;
}

void watchsession(HWND hwnd)
{
    // Right after log-on, when the Run key starts us, the session service may not be up yet.
    if (!con->sessionwatch && WTSRegisterSessionNotification(hwnd, NOTIFY_FOR_THIS_SESSION)) {
        con->sessionwatch = 1;
        // Started under a lock screen: no lock change will come to say so.
        if (lockednow())
            con->away |= AWAY_LOCKED;
    }
}

void unwatchsession(HWND hwnd)
{
    if (con->sessionwatch)
        WTSUnRegisterSessionNotification(hwnd);
    con->sessionwatch = 0;
}

void startpause(context_t *con, uint64_t now)
{
    con->pauseuntil = now + PAUSE_MS;
    SYSTEMTIME st;
    GetLocalTime(&st);
    pausetext(con->pausetip, ARRAYSIZE(con->pausetip), st.wHour, st.wMinute);
}
