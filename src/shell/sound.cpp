#include "sound.h"

#include "handles.h"
#include "shell.h"
#include "text.h"

#include <mmsystem.h>
#include <string.h>

namespace {

bool playable(const std::wstring &path)
{
    vx::filehandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    unsigned char head[12];
    DWORD got = 0;
    return f && ReadFile(f.get(), head, sizeof head, &got, nullptr) && waveheader(head, got);
}

} // namespace

soundcalls soundplatform = {PlaySoundW, MessageBoxIndirectW};

soundchoice parsesound(const std::wstring &value)
{
    soundchoice s;
    std::wstring t = trimmed(value);
    if (t.empty() || sameletters(t, L"default"))
        return s;
    s.kind = sameletters(t, L"none") ? sound_none : sound_file;
    if (s.kind == sound_file)
        s.path = t;
    return s;
}

std::wstring soundvalue(const soundchoice &s)
{
    return s.kind == sound_none ? L"none" : s.kind == sound_file ? s.path : L"default";
}

bool waveheader(const unsigned char *head, size_t size)
{
    return size >= 12 && memcmp(head, "RIFF", 4) == 0 && memcmp(head + 8, "WAVE", 4) == 0;
}

bool startsound(const soundchoice &s)
{
    if (s.kind != sound_file)
        return s.kind == sound_none;
    return playable(s.path) && soundplatform.play(s.path.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

int silentbox(const wchar_t *text)
{
    // The system's warning icon given as a user icon: the box looks as with MB_ICONWARNING,
    // whose sound it does not ask for.
    MSGBOXPARAMSW p = {};
    p.cbSize = sizeof p;
    p.lpszText = text;
    p.lpszCaption = L"vexolind";
    p.dwStyle = MB_OK | MB_USERICON | MB_TOPMOST;
    p.lpszIcon = reinterpret_cast<LPCWSTR>(IDI_WARNING);
    placedbox([&] { return soundplatform.box(&p); });
    return 1;
}

void trysound(const soundchoice &s)
{
    if (!startsound(s))
        MessageBeep(MB_ICONWARNING);
}
