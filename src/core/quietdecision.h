// Quiet moments, decided: a message the timer brings waits while the user presents, plays full
// screen, is away from the session or has paused vexolind. Pure: the shell gathers the inputs
// from Windows (quietinputs.cpp) and this judges them, so a table of cases tests it.
#pragma once

#include "vexolind.h"

#include <stddef.h>

#define AWAY_LOCKED 1
#define AWAY_DISCONNECTED 2
#define PAUSE_MS (60ull * 60 * 1000)

// What one tick sees; the shell fills it in, quietmoment judges it.
struct quietinputs {
    int notestate;          // SHQueryUserNotificationState's answer; 0 when the call failed
    bool foreground;        // a foreground window exists; the fields below describe it
    bool ours;              // it belongs to this process
    DWORD style;
    const char *cls;        // its class name
    RECT window;
    RECT monitor;           // its monitor's rectangle; empty when unknown
    int away;
    uint64_t pauseuntil;    // steady-clock milliseconds; 0 when not paused
    uint64_t now;
};

// Why a tick is held, in the order a tip names them; quiet_none lets it count.
enum quietcause {
    quiet_none,
    quiet_paused,
    quiet_fullscreen,
    quiet_notifications,
    quiet_away,
};
quietcause whyquiet(const quietinputs &in);
bool quietmoment(const quietinputs &in);
// A window of another process without a caption that covers its whole monitor.
bool fullscreenother(const quietinputs &in);
bool pausing(uint64_t until, uint64_t now);
// The away bits after a WM_WTSSESSION_CHANGE code.
int awayafter(int away, unsigned change);
// The tip for a pause started at hour:minute local time.
void pausetext(char *tip, size_t size, unsigned hour, unsigned minute);
