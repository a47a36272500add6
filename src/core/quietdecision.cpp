#include "quietdecision.h"

#include <stdio.h>

namespace {

// Class names compare without regard to case, as the window manager does.
bool sameclass(const char *a, const char *b)
{
    for (;; a++, b++) {
        char x = (*a >= 'A' && *a <= 'Z') ? (char)(*a - 'A' + 'a') : *a;
        char y = (*b >= 'A' && *b <= 'Z') ? (char)(*b - 'A' + 'a') : *b;
        if (x != y)
            return false;
        if (!x)
            return true;
    }
}

// The desktop and the taskbar cover a monitor without a caption, yet nobody presents on them.
bool shellwindow(const char *cls)
{
    static const char *const names[] = {"#32769", "Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"};
    for (const char *n : names)
        if (sameclass(cls, n))
            return true;
    return false;
}

bool covers(const RECT &w, const RECT &m)
{
    return m.right > m.left && m.bottom > m.top && w.left <= m.left && w.top <= m.top && w.right >= m.right &&
           w.bottom >= m.bottom;
}

} // namespace

bool fullscreenother(const quietinputs &in)
{
    if (!in.foreground || in.ours)
        return false;
    // Both bits make a caption: a maximised window with its title bar is not full screen.
    if ((in.style & WS_CAPTION) == WS_CAPTION)
        return false;
    if (in.cls && shellwindow(in.cls))
        return false;
    return covers(in.window, in.monitor);
}

bool pausing(uint64_t until, uint64_t now)
{
    return until != 0 && now < until;
}

quietcause whyquiet(const quietinputs &in)
{
    const int accepts = 5;   // QUNS_ACCEPTS_NOTIFICATIONS
    if (pausing(in.pauseuntil, in.now))
        return quiet_paused;
    if (fullscreenother(in))
        return quiet_fullscreen;
    if (in.notestate != 0 && in.notestate != accepts)
        return quiet_notifications;
    if (in.away != 0)
        return quiet_away;
    return quiet_none;
}

bool quietmoment(const quietinputs &in)
{
    return whyquiet(in) != quiet_none;
}

int awayafter(int away, unsigned change)
{
    switch (change) {
    case WTS_SESSION_LOCK:
        return away | AWAY_LOCKED;
    case WTS_SESSION_UNLOCK:
        return away & ~AWAY_LOCKED;
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT:
        return away | AWAY_DISCONNECTED;
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT:
        return away & ~AWAY_DISCONNECTED;
    default:
        return away;
    }
}

void pausetext(char *tip, size_t size, unsigned hour, unsigned minute)
{
    unsigned end = (hour * 60 + minute + (unsigned)(PAUSE_MS / 60000)) % (24 * 60);
    snprintf(tip, size, "vexolind - paused until %02u:%02u", end / 60, end % 60);
}

