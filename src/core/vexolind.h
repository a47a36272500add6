// The one record of shared state, the message tables and the alert timing. Pure: the shell
// shows what this decides.
#pragma once

#include "handles.h"
#include "msgparse.h"
#include "quietdecision.h"

#include <stdint.h>

#include <deque>
#include <string>

// A message about to be shown: a built-in text, or else one of the user's own.
struct alerttext {
    const char *builtin;
    std::wstring user;
};

// What the settings file holds, every section of it: loaded at start and again after OK in
// either dialog. The key names are written once, in the settings floor.
struct settings_t {
    // [settings]
    uint32_t mintime;
    uint32_t maxtime;
    const char *const *curki;   // kisses or kickers; the mood is which one
    int32_t autoupdate;
    int32_t autorun;
    quietkeys quiet;            // [quiet], as written
    std::wstring style;         // [show] style
    std::wstring sound;         // [show] sound
    std::wstring language;      // [show] language: a code of po/LINGUAS, en, or empty for Windows' choice
    std::wstring keynow;        // [keys] now
    std::wstring keypause;      // [keys] pause
    std::wstring failshown;     // [update] the day "Auto Update Failed" last showed
    std::wstring pause;         // [pause] until, while a pause lasts
};

// The saved settings, and what the running program knows besides.
typedef struct context_s : settings_t {
    HWND hwnd;          // hidden main window
    HWND hwnd_splash;   // splash window
    HINSTANCE hinst;
    char inipath[MAX_PATH];
    wchar_t inipathw[MAX_PATH]; // the settings file in use; when empty, inipath in the ANSI code page
    int32_t iniunread;          // the file was there but locked: run on defaults, write nothing to it
    int32_t screenx;
    int32_t screeny;
    uint32_t tick;              // seconds counted in this interval
    uint32_t rtime;             // the interval's length in seconds
    quietrules rules;           // [quiet] made sane: what the ticks apply
    uint64_t pauseuntil;        // UTC milliseconds since 1601 when the pause ends; 0 when not paused
    int32_t away;               // AWAY_LOCKED | AWAY_DISCONNECTED, from session changes
    vx::sessionwatch session;
    vx::hotkey keys[2];         // HOTKEY_NOW and HOTKEY_PAUSE, less one
    DWORD startedms;            // GetTickCount at start
    uint64_t mediareadms;       // when the registry and the process list were last read; 0: at the next tick
    uint64_t programsreadms;
    int media;                  // MEDIA_ bits seen in use at the last read
    std::wstring program;       // a listed program seen running at the last read
    wchar_t fgclass[64];        // the class of the window in front, as the last tick saw it
    msgfilestate moods[2];      // the user's message files: kiss, kick
    std::deque<alerttext> recent;   // the messages shown in this run, newest first
    bool inside;                // a message box is open
    bool setup;                 // the settings dialog is open
    bool abup;                  // About is showing the splash
    bool moreopen;              // the more-settings dialog is open
    bool light;                 // the taskbar is light, as Windows said when last asked
    bool hello;                 // the first hello is still to come
    HWND front;                 // the window in front before the start-up splash, until it hides
    char pausetip[256];         // UTF-8
    wchar_t quiettip[64];       // why messages wait, when a tip should say so; empty otherwise
    wchar_t tipshown[64];       // the tip the tray holds now
} context_t;

extern context_t *con;
extern char szAppName[100];
extern char szTitle[100];

extern const char *const kisses[];
extern const char *const kickers[];

int countkis(const char *const *ki);

// The mood's next message from its table and the user's file as last read.
alerttext pickmessage(const char *const *curki, msgfilestate &mood);

// rtime for the bounds and one draw r (0..32767); wraps like the unsigned maths it is.
uint32_t intervalfor(uint32_t mintime, uint32_t maxtime, uint32_t r);
void newinterval(context_t *ctx);
// One second of the interval; true when it ran out and a message is due (the next interval
// already drawn, so it runs from the moment the message appears).
bool ontimer(context_t *ctx);
// One tick judged with the quiet decision: a quiet tick neither counts nor brings a message;
// waitdue holds a message that is due without holding the count before it. Returns why the
// tick was held (quiet_none when it was not); *due tells whether a message is to be shown.
quietcause alerttick(context_t *ctx, const quietinputs &in, bool waitdue, bool *due);
