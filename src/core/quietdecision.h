// Quiet moments, decided: a message the timer brings waits while the user presents, plays full
// screen, is in a call, works outside the hours set, is away from the session or has paused
// vexolind. Pure: the shell gathers the inputs
// from Windows (quietinputs.cpp) and this judges them, so a table of cases tests it.
#pragma once

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

#include <optional>
#include <string>
#include <vector>

#define AWAY_LOCKED 1
#define AWAY_DISCONNECTED 2
#define MEDIA_MICROPHONE 1
#define MEDIA_CAMERA 2
#define TYPING_PAUSE_MS 2000u
#define AWAY_MAX_MINUTES 1440
#define PROGRAMS_MAX 64
#define RANGES_MAX 24

// Minutes after midnight, start included, end excluded; a start equal to the end means all day.
struct hourrange {
    int from, to;
};
// A day's own hours from mon= ... sun=: set with no range means no messages that day.
struct dayhours {
    bool set = false;
    std::vector<hourrange> ranges;
};

// The [quiet] section as read, made sane: what the user asked for.
struct quietrules {
    bool media = true;
    bool typing = true;
    uint32_t awayminutes = 0;       // 0: never
    std::vector<hourrange> hours;   // empty: all day
    unsigned days = 0x7f;           // bit 0 Monday ... bit 6 Sunday
    dayhours perday[7];             // Monday first; a day set here ignores hours and days
    std::vector<std::wstring> programs;
};
// The keys of [quiet] as text: what the file holds, or what it gets. A day's key is absent
// (nullopt) or holds its text; the dialog never writes them.
struct quietkeys {
    std::wstring media, programs, hours, days, typing, away;
    std::optional<std::wstring> perday[7] = {};
};
extern const wchar_t *const daykeys[7];   // "mon" ... "sun"
// Missing or bad values take their defaults; a long list is cut.
quietrules parsequiet(const quietkeys &k);
quietkeys quietkeysfor(const quietrules &r);
// "HH:MM-HH:MM" into minutes after midnight; false when it is not one.
bool parsehours(const std::wstring &text, int *from, int *to);
// Ranges joined by commas ("09:00-12:00,13:00-17:30"); blank text is no range at all. False
// when any part is no range or there are more than RANGES_MAX.
bool parseranges(const std::wstring &text, std::vector<hourrange> *ranges);
std::wstring rangestext(const std::vector<hourrange> &ranges);
// Whether any day has hours of its own.
bool anydayhours(const quietrules &r);
// A ConsentStore record: the device is in use since a start that no later stop ended. Times are
// FILETIMEs; a start before the last boot (boot) is a record a crash or a power cut left open.
bool consentinuse(uint64_t laststart, uint64_t laststop, uint64_t boot);
// An executable name of the list, without regard to case.
bool listedprogram(const quietrules &r, const wchar_t *exe);
#define SESSION_UNKNOWN 0xFFFFFFFFu
// A process as the process list gives it: its executable's name and its session.
struct processentry {
    const wchar_t *name;
    DWORD session;
};
// The first listed program running in session mine, as an index of the list; -1 when none. A
// process of another session never counts, nor one when either session is unknown.
int listedinsession(const quietrules &r, const processentry *list, size_t count, DWORD mine);
// Still time in 32-bit tick arithmetic, from the later of the last input and our start.
uint32_t stillms(DWORD tickms, DWORD lastinputms, DWORD startedms);

// What one tick sees; the shell fills it in, whyquiet judges it.
struct quietinputs {
    int notestate;          // SHQueryUserNotificationState's answer; 0 when the call failed
    bool foreground;        // a foreground window exists; the fields below describe it
    bool ours;              // it belongs to this process
    DWORD style;
    const wchar_t *cls;     // its class name
    RECT window;
    RECT monitor;           // its monitor's rectangle; empty when unknown
    int away;
    uint64_t pauseuntil;    // UTC milliseconds since 1601, as now; 0 when not paused
    uint64_t now;
    const quietrules *rules = nullptr;  // null: the [quiet] causes do not apply
    int media = 0;              // MEDIA_MICROPHONE | MEDIA_CAMERA seen in use
    const wchar_t *program = nullptr;   // a listed program that runs, as the process list names it
    int weekday = 0;            // 1 Monday ... 7 Sunday, local time
    int minute = 0;             // minutes after local midnight
    DWORD tickms = 0;           // GetTickCount
    DWORD lastinputms = 0;      // GetLastInputInfo's time
    DWORD startedms = 0;        // GetTickCount when vexolind started
};

// Why a tick is held, in the order a tip names them; quiet_none lets it count.
enum quietcause {
    quiet_none,
    quiet_paused,
    quiet_fullscreen,   // also Windows' busy, full-screen Direct3D and presentation states
    quiet_gettingready, // the first hour after a first sign-in or an upgrade
    quiet_microphone,
    quiet_camera,
    quiet_program,
    quiet_hours,
    quiet_away,     // locked or disconnected, or Windows says the session is not present
    quiet_still,    // nobody at the keyboard for the minutes set
};
quietcause whyquiet(const quietinputs &in);
// Whether a message that is due waits for a pause in the typing.
bool typingwait(const quietinputs &in);
// Whether the first hello may come now: once the splash has gone, when a message could.
bool hellodue(const quietinputs &in, bool splashup);
// The tip naming why; empty for causes nobody could read a tip in, and for a pause (its own tip).
void quiettext(wchar_t *tip, size_t size, quietcause why, const wchar_t *program);
// Whether messages may come at this minute of this day (1 Monday ... 7 Sunday).
bool withinhours(const quietrules &r, int weekday, int minute);
// A window of another process without a caption that covers its whole monitor.
bool fullscreenother(const quietinputs &in);
bool pausing(uint64_t until, uint64_t now);
// The away bits after a WM_WTSSESSION_CHANGE code.
int awayafter(int away, unsigned change);
