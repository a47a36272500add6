// Start-up, the hidden main window with its tray icon, the dialogs and the splash window.
#pragma once

#include "chord.h"
#include "cmdline.h"
#include "lang.h"
#include "update.h"
#include "vexolind.h"

#include <functional>
#include <string>
#include <vector>

#define WM_TRAYNOTIFY 99
#define WM_SETTINGSCHANGED (WM_APP + 1)
#define ID_ALERT_TIMER 65
#define IDM_NONE 0
#define ID_SPLASH_TIMER 12

// Start-up
int InitApplication(HINSTANCE hInstance);
// The start-up update check's outcome, told to the user: the offer, or the failure once a day.
void presentupdate(context_t *ctx, checkoutcome outcome);

// Main window and tray icon
HWND InitInstance(HINSTANCE hInstance, int nCmdShow);
int seticon(context_t *ctx);
// The start of every record for our icon: icon 0 of the main window.
template <typename R> R trayrecord(HWND hwnd, DWORD size, UINT flags)
{
    R r = {};
    r.cbSize = size;
    r.hWnd = hwnd;
    r.uID = 0;
    r.uFlags = flags;
    return r;
}
// Sends one record to the tray: every add, change and removal of the icon goes through here.
BOOL tray(HWND hwnd, DWORD msg, UINT flags, HICON icon, const wchar_t *tip);
// The named icon at the system's small-icon size, as the tray gets it.
HICON trayicon(HINSTANCE hinst, const char *name);
// The mood's icon as drawn for the taskbar's colours.
const char *moodiconname(const context_t *ctx);
// Asks Windows whether the taskbar is light; true when the answer changed.
bool readtheme(context_t *ctx);
LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
int contextmenu(context_t *ctx, POINT pt);

// Quiet moments; now is the steady clock, which paces the polls.
struct quietinputs quietinputsnow(context_t *ctx, uint64_t now);
void watchsession(context_t *ctx);

// The pause, kept in [pause] while it lasts (pauses.cpp)
uint64_t utcnowms();     // the wall clock: UTC milliseconds since 1601
// minutes: 1 to 1440, PAUSE_TOMORROW or PAUSE_UNTILRESUMED.
void startpause(context_t *ctx, int minutes);
void endpause(context_t *ctx);
// At start: a kept pause comes back, one that has ended is forgotten.
void loadpause(context_t *ctx);
// Each tick: an ended pause is forgotten, and the tip follows the clock.
void pausetick(context_t *ctx);
// The tray's tip again, when it changed.
void refreshtip(context_t *ctx);

// The tray menu's two submenus as things stand: the pause's choices or Resume, and the recent
// messages (menus.cpp).
void shapemenu(const context_t *ctx, HMENU popup, bool paused);
// The pause a command of the menu asks for, in minutes as startpause takes them; false for others.
bool pausecommand(int cmd, int *minutes);

// A switch on the command line, for the vexolind already running (remote.cpp)
#define WM_SWITCH (WM_APP + 10)
#define INSTANCE_LOCK "Local\\vexolind"
// Sends the switch in tail to the running vexolind's window: the exit code, 0 when it took the
// switch, 3 when none runs (or it refused).
int sendswitch(const wchar_t *tail);
// WM_COPYDATA: a switch from a process of the same user in this session is posted as WM_SWITCH.
LRESULT onswitchdata(HWND hwnd, HWND sender, const COPYDATASTRUCT *data);
void runswitch(context_t *ctx, int kind, int minutes);

// The language (language.cpp): chosen from [show] language= and Windows' display language at
// start and after either dialog's OK; menus and dialogs are put in it as they open.
void applylanguage(context_t *ctx);
// A language's texts as the module's string table for langid holds them, in englishtexts' order.
std::vector<std::wstring> loadtexts(HINSTANCE hinst, unsigned short langid);
void localisemenu(HMENU menu);
void localisedialog(HWND dlg);
// The dialog's template in the language's own dialog font; empty when the resource's is right.
std::vector<unsigned char> dialogtemplate(HINSTANCE hinst, const wchar_t *name);
// A box of ours: its text as given, its caption an English text put in the language.
int box(HWND owner, const std::wstring &text, const char *caption, UINT flags);

// Messages: a box, or with [show] style=note a balloon of the tray icon
int doAlert(HWND hWnd, const char *text);
// A message box that stands above the user's windows without taking the keyboard from them
// (MB_TOPMOST), centred on the monitor the user works on.
int userbox(HWND owner, const wchar_t *text, const wchar_t *caption, UINT type);
// Runs show, a call that makes one message box, with that box placed as userbox places its own.
int placedbox(const std::function<int()> &show);
int veXoLind(context_t *ctx);
// Shows a message of the recent list again, as it came; -1 while a message is showing.
int showagain(context_t *ctx, size_t index);
// Shows one message the way the settings ask: a box, or a balloon that falls back to a box.
// A built-in message, given as builtin too, has its box exactly as it always had.
int showmessage(context_t *ctx, const wchar_t *text, const char *builtin = nullptr);
enum showstyle { show_box, show_note };
showstyle parsestyle(const std::wstring &value);
// What fits a balloon: 255 characters, a surrogate pair never cut in half.
std::wstring notetext(const std::wstring &text);
// A balloon of the tray icon, whatever the style; false when the tray refuses it.
bool notify(const context_t *ctx, const wchar_t *text, bool silent = false);
// The first hello, once a first start has written its first settings file: it waits, like a
// message, until the splash has gone and nothing holds messages.
void hellotick(context_t *ctx, const quietinputs &in);

// The [keys] shortcuts, as hotkeys of the main window
#define HOTKEY_NOW 1
#define HOTKEY_PAUSE 2
void registerkeys(context_t *ctx);
// The settings dialog's OK, before it writes [keys]: ours are released, then the new chords
// held. When another program holds one, the chords in the file come back, owner's box says
// so, and the taken one's id is returned; 0 when all are held.
int rekey(context_t *ctx, HWND owner, chord now, chord pause);

// A dialog of the resources, modal to the main window and open once at a time: a second choice
// while it is open (the tray menu still works) finds the flag set and does nothing. The common
// controls it holds are asked for here and not at start-up, so that comctl32 loads only once
// it is needed.
int modaldialog(context_t *ctx, bool &open, DWORD controls, const wchar_t *name, DLGPROC proc, LPARAM param);

// Settings dialog
uint32_t secondstopos(uint32_t seconds);
uint32_t postoseconds(uint32_t pos);
// The two sliders as the dialog leaves them: the maximum never below the minimum, and a slider
// nobody moved keeping its stored seconds where it can show them.
struct sliders {
    uint32_t minpos, maxpos;
    bool minmoved, maxmoved;
};
sliders clamped(sliders s);
void slidertimes(sliders s, uint32_t *mintime, uint32_t *maxtime);
int doSet(context_t *ctx);
// Tells the user that the settings file could not be written, and where it is.
void savefailed(HWND owner, const context_t *ctx);
INT_PTR CALLBACK setprc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// The current mood's message file, opened in the user's text editor; a commented template first
// when there is none.
int doMessages(context_t *ctx);

// More-settings dialog
int domore(context_t *ctx);

// Splash window
#define SPLASH_WIDTH 335
#define SPLASH_ROWS 235
#define SPLASH_BYTES (SPLASH_WIDTH * SPLASH_ROWS * 4)
const unsigned char *loadsplash(HINSTANCE hinst);
HWND createsplash(context_t *ctx);
// The window in front before the start-up splash, which gets the keyboard back when it hides.
void rememberfront(context_t *ctx);
LRESULT CALLBACK splashProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
int doAbout(context_t *ctx);
