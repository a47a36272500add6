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
BOOL tray(HWND hwnd, DWORD msg, UINT flags, HICON icon, const wchar_t *tip);
// The named icon at the system's small-icon size, as the tray gets it.
HICON trayicon(HINSTANCE hinst, const char *name);
// The mood's icon as drawn for the taskbar's colours.
const char *moodiconname(const context_t *con);
// Whether the taskbar is light, as Windows said when last asked; asked again after a theme change.
bool lightnow();
bool readtheme();
LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
int contextmenu(context_t *con, POINT pt);

// Quiet moments and the pause
struct quietinputs quietinputsnow(const context_t *con, uint64_t now);
// The [quiet] rules in force: read at start and again when the more-settings dialog says OK.
const struct quietrules &quietnow();
void loadquiet(const context_t *con);
void watchsession(HWND hwnd);
void unwatchsession(HWND hwnd);
void startpause(context_t *con, uint64_t now);

// Messages: a box, or with [show] style=note a balloon of the tray icon
enum showstyle { show_box, show_note };
showstyle parsestyle(const std::wstring &value);
// What fits a balloon: 255 characters, a surrogate pair never cut in half.
std::wstring notetext(const std::wstring &text);
// A balloon of the tray icon, whatever the style; false when the tray refuses it.
bool notify(const context_t *con, const wchar_t *text);

// The first hello, after a first start has written its first settings file: it waits, like a
// message, until the splash has gone and nothing holds messages.
void hellolater();
void hellotick(context_t *con, const quietinputs &in);

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
// The window in front before the start-up splash, which gets the keyboard back when it hides.
void rememberfront();
LRESULT CALLBACK splashProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
int doAbout(context_t *con);
