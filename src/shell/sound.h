// The sound a message makes, from [show] sound=: the box's own warning sound (or a
// notification's), none, or a .wav file played as the message appears.
#pragma once

#include <windows.h>

#include <stddef.h>

#include <string>

enum soundkind { sound_default, sound_none, sound_file };
struct soundchoice {
    soundkind kind = sound_default;
    std::wstring path;
};
// "default", blank or missing; "none"; anything else is a file's path. Case does not matter.
soundchoice parsesound(const std::wstring &value);
std::wstring soundvalue(const soundchoice &s);
// The first bytes of a RIFF file of WAVE data.
bool waveheader(const unsigned char *head, size_t size);

// The calls to the platform that make a sound or show a silent box; tests record them.
struct soundcalls {
    BOOL(WINAPI *play)(LPCWSTR sound, HMODULE module, DWORD flags);
    int(WINAPI *box)(const MSGBOXPARAMSW *params);
};
extern soundcalls soundplatform;

// Starts the chosen sound. True when the message itself must stay silent: none was chosen, or
// the file plays. A missing or unplayable file is the default sound.
bool startsound(const soundchoice &s);
// A message box as the default one looks, with the warning icon and no sound of its own.
int silentbox(const wchar_t *text);
// The dialog's Play: the sound a message would make.
void trysound(const soundchoice &s);

// The more-settings dialog's sound controls: shown from the value, read back as the choice, and
// their commands (true when the id was one of theirs).
void showsound(HWND dlg, const std::wstring &value);
soundchoice shownsound(HWND dlg);
bool soundcommand(HWND dlg, int id);
