// Start-up, the hidden main window with its tray icon, the settings dialog and the splash window.
#pragma once

#include "chord.h"
#include "cmdline.h"
#include "vexolind.h"

#include <string>

#define IDM_NONE 0
#define ID_SPLASH_TIMER 12

// Start-up
int InitApplication(HINSTANCE hInstance);

// Main window and tray icon
HWND InitInstance(HINSTANCE hInstance, int nCmdShow);
int seticon(context_t *con);
// Sends one record to the tray: every add, change and removal of the icon goes through here.
BOOL tray(HWND hwnd, DWORD msg, UINT flags, HICON icon, const char *tip);
// The named icon at the system's small-icon size, as the tray gets it.
HICON trayicon(HINSTANCE hinst, const char *name);
const char *moodiconname(const context_t *con);
LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
int contextmenu(context_t *con, POINT pt);

// Quiet moments and the pause
struct quietinputs quietinputsnow(const context_t *con, uint64_t now);
// The [quiet] rules in force: read at start and again when the more-settings dialog says OK.
const struct quietrules &quietnow();
void loadquiet(const context_t *con);
void watchsession(HWND hwnd);
void unwatchsession(HWND hwnd);

// The pause, kept in [pause] while it lasts (pauses.cpp)
uint64_t utcnowms();     // the wall clock: UTC milliseconds since 1601
// minutes: 1 to 1440, PAUSE_TOMORROW or PAUSE_UNTILRESUMED.
void startpause(context_t *con, int minutes);
void endpause(context_t *con);
// At start: a kept pause comes back, one that has ended is forgotten.
void loadpause(context_t *con);
// Each tick: an ended pause is forgotten, and the tip follows the clock.
void pausetick(context_t *con);
// The tray's tip again, when it changed.
void refreshtip(context_t *con);

// The tray menu's two submenus as things stand: the pause's choices or Resume, and the recent
// messages (menus.cpp).
void shapemenu(HMENU popup, bool paused);
// The pause a command of the menu asks for in minutes, as startpause takes them; false for others.
bool pausecommand(int cmd, int *minutes);

// A switch on the command line, for the vexolind already running (remote.cpp)
#define WM_SWITCH (WM_APP + 10)
#define INSTANCE_LOCK "Local\\vexolind"
// Sends the switch in tail to the running vexolind's window: the exit code, 0 when it took the
// switch, 3 when none runs (or it refused).
int sendswitch(const wchar_t *tail);
// WM_COPYDATA: a switch from a process of the same user in this session is posted as WM_SWITCH.
LRESULT onswitchdata(HWND hwnd, HWND sender, const COPYDATASTRUCT *data);
void runswitch(context_t *con, int kind, int minutes);

// Messages: a box, or with [show] style=note a balloon of the tray icon
enum showstyle { show_box, show_note };
showstyle parsestyle(const std::wstring &value);
// What fits a balloon: 255 characters, a surrogate pair never cut in half.
std::wstring notetext(const std::wstring &text);

// The [keys] shortcuts, as hotkeys of the main window
#define HOTKEY_NOW 1
#define HOTKEY_PAUSE 2
void registerkeys(const context_t *con);
void unregisterkeys(HWND hwnd);
// The settings dialog's OK, before it writes [keys]: ours are released, then the new chords
// held. When another program holds one, the chords in the file come back, owner's box says
// so, and the taken one's id is returned; 0 when all are held.
int rekey(const context_t *con, HWND owner, chord now, chord pause);

// Settings dialog
uint32_t secondstopos(uint32_t seconds);
uint32_t postoseconds(uint32_t pos);
int doSet(context_t *con);
// Tells the user that the settings file could not be written, and where it is.
void savefailed(HWND owner, const context_t *con);
INT_PTR CALLBACK setprc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// The current mood's message file, opened in the user's text editor; a commented template first
// when there is none.
int doMessages(context_t *con);

// More-settings dialog
int domore(context_t *con);

// Splash window
extern const unsigned char *splashbuf;
#define SPLASH_WIDTH 335
#define SPLASH_ROWS 235
#define SPLASH_BYTES (SPLASH_WIDTH * SPLASH_ROWS * 4)
const unsigned char *loadsplash(HINSTANCE hinst);
HWND createsplash(context_t *con);
LRESULT CALLBACK splashProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
int doAbout(context_t *con);
