// A keyboard shortcut as Windows writes it in menus ("Ctrl+Shift+K"), and back.
#pragma once

#include <windows.h>

#include <string>

struct chord {
    UINT mods = 0;   // MOD_CONTROL | MOD_ALT | MOD_SHIFT
    UINT vk = 0;     // 0: no shortcut
};

// Ctrl, Alt and Shift joined by + to one key: a letter, a digit or F1 to F24; case and blanks
// around + do not matter. Anything else, a chord without its key, a bare letter or digit
// (which would take that key from every program) or F12 alone (Windows keeps it for debuggers)
// gives the empty chord.
chord parsechord(const std::wstring &text);
std::wstring chordtext(chord c);

// The settings dialog's hotkey fields speak HOTKEYF_ flags in the high byte.
chord fromhotkeyfield(WORD value);
WORD tohotkeyfield(chord c);
