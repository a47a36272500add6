#include "quietdecision.h"
#include "shell.h"

#include <shellapi.h>
#include <wtsapi32.h>

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
    return in;
}

void watchsession(HWND hwnd)
{
    // Right after log-on, when the Run key starts us, the session service may not be up yet.
    if (!con->sessionwatch && WTSRegisterSessionNotification(hwnd, NOTIFY_FOR_THIS_SESSION))
        con->sessionwatch = 1;
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
    pausetext(con->pausetip, sizeof con->pausetip, st.wHour, st.wMinute);
}
