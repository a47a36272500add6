// Small decisions on what Windows reports, kept apart from the calls that ask it: where a box
// goes, which icon suits the taskbar, whether a Run value is ours. Pure, so tables test them.
#pragma once

#include <windows.h>

#include <string>

// Where the user works when a box comes: the foreground window's class and its monitor's work
// area, and the work area of the monitor under the cursor; null for what is not known.
struct boxsite {
    const wchar_t *fgclass;
    const RECT *fgwork;
    const RECT *cursorwork;
};
// The top-left corner that centres a box of this size on the work area of the monitor the user
// works on: the foreground window's, else the cursor's. A box larger than the area starts at its
// corner. False when neither monitor is known: the box stays where Windows put it.
bool boxorigin(const boxsite &site, SIZE box, POINT *at);

// SystemUsesLightTheme as read: whether the read succeeded and the value. A value that cannot be
// read, as on Windows 7, means the light taskbar the icons were first drawn for.
bool lighttaskbar(bool read, DWORD value);
// The icon resource for a mood on a light or a dark taskbar.
const char *moodicon(bool kiss, bool light);

// Whether a Run value starts exe: its path alone or quoted, in any case.
bool startsprogram(const std::wstring &value, const std::wstring &exe);
