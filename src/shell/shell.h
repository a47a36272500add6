// Start-up, the hidden main window with its tray icon, the settings dialog and the splash window.
#pragma once

#include "cmdline.h"
#include "vexolind.h"

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

// Settings dialog
uint32_t secondstopos(uint32_t seconds);
uint32_t postoseconds(uint32_t pos);
int doSet(context_t *con);
INT_PTR CALLBACK setprc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

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
