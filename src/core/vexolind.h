// The one record of shared state, the message tables and the alert core.
#pragma once

#include <windows.h>
#include <stdint.h>

#include <string>

typedef struct context_s {
    HWND hwnd;          // hidden main window
    HWND hwnd_splash;   // splash window
    HINSTANCE hinst;
    const char *const *curki;   // kisses or kickers; the mood is which one
    char inipath[MAX_PATH];
    wchar_t inipathw[MAX_PATH]; // the settings file in use; when empty, inipath in the ANSI code page
    int32_t iniunread;          // the file was there but locked: run on defaults, write nothing to it
    int32_t screenx;
    int32_t screeny;
    int32_t autoupdate;
    int32_t autorun;
    uint32_t tick;
    uint32_t rtime;
    uint32_t mintime;
    uint32_t maxtime;
    uint64_t pauseuntil;    // steady-clock milliseconds when the pause ends; 0 when not paused
    int32_t away;           // AWAY_LOCKED | AWAY_DISCONNECTED, from session changes
    int32_t sessionwatch;   // session change notifications registered
    wchar_t pausetip[64];
    wchar_t quiettip[64];   // why messages wait, when a tip should say so; empty otherwise
    wchar_t tipshown[64];   // the tip the tray holds now
} context_t;

extern context_t *con;
extern char szAppName[100];
extern char szTitle[100];

extern const char *const kisses[];
extern const char *const kickers[];

#define WM_TRAYNOTIFY 99
#define WM_SETTINGSCHANGED (WM_APP + 1)
#define ID_ALERT_TIMER 65

int countkis(const char *const *ki);
int doAlert(HWND hWnd, const char *text);
// A message box that stands above the user's windows without taking the keyboard from them
// (MB_TOPMOST), centred on the monitor the user works on.
int userbox(HWND owner, const wchar_t *text, const wchar_t *caption, UINT type);
// Shows one message the way the settings ask: a box, or a balloon that falls back to a box.
// A built-in message, given as builtin too, has its box exactly as it always had.
int showmessage(context_t *con, const wchar_t *text, const char *builtin = nullptr);
int veXoLind(context_t *con);

// A message about to be shown: a built-in text, or else one of the user's own.
struct alerttext {
    const char *builtin;
    std::wstring user;
};
// The mood's next message; its file is read again first when it changed.
alerttext nextmessage(context_t *con);

// rtime for the bounds and one draw r (0..32767); wraps like the unsigned maths it is.
uint32_t intervalfor(uint32_t mintime, uint32_t maxtime, uint32_t r);
void newinterval(void);
void ontimer(void);

struct quietinputs;
// One tick of the alert timer, judged with the quiet decision: a quiet tick neither counts nor
// brings a message; waitdue holds a message that is due without holding the count before it.
// Returns why the tick was held (0 when it was not).
int alerttick(const quietinputs &in, bool waitdue);
