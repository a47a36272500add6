#include "quietdecision.h"

#include "lang.h"
#include "text.h"

#include <wchar.h>

#include <algorithm>

namespace {

// The desktop and the taskbar cover a monitor without a caption, yet nobody presents on them.
bool shellwindow(const wchar_t *cls)
{
    static const wchar_t *const names[] = {L"#32769", L"Progman", L"WorkerW", L"Shell_TrayWnd",
                                           L"Shell_SecondaryTrayWnd"};
    for (const wchar_t *n : names)
        if (sameletters(cls, n))
            return true;
    return false;
}

bool covers(const RECT &w, const RECT &m)
{
    return m.right > m.left && m.bottom > m.top && w.left <= m.left && w.top <= m.top && w.right >= m.right &&
           w.bottom >= m.bottom;
}

bool onoff(const std::wstring &text, bool def)
{
    long long n;
    return wholenumber(text, &n) && n >= 0 ? n != 0 : def;
}

void copytip(wchar_t *tip, size_t size, const std::wstring &text)
{
    if (!size)
        return;
    size_t n = text.size() < size ? text.size() : size - 1;
    wmemcpy(tip, text.data(), n);
    tip[n] = L'\0';
}

// SHQueryUserNotificationState's answers. Accepting (5), an app's own quiet (7, such as an
// open Start menu) and values it may add later hold nothing; it never reports Focus Assist.
enum { notpresent = 1, busy = 2, direct3d = 3, presenting = 4, quiettime = 6 };

bool fullscreenstate(int state)
{
    return state == busy || state == direct3d || state == presenting;
}

bool allday(const hourrange &h)
{
    return h.from == h.to;
}

bool inranges(const std::vector<hourrange> &ranges, int minute)
{
    for (const hourrange &h : ranges)
        if (allday(h) || (h.from < h.to ? minute >= h.from && minute < h.to : minute >= h.from || minute < h.to))
            return true;
    return false;
}

bool pathless(const std::wstring &name)
{
    return name.find_first_of(L"\\/:") == std::wstring::npos && name.size() < MAX_PATH;
}

} // namespace

const wchar_t *const daykeys[7] = {L"mon", L"tue", L"wed", L"thu", L"fri", L"sat", L"sun"};

bool parsehours(const std::wstring &text, int *from, int *to)
{
    size_t dash = text.find(L'-');
    if (dash == std::wstring::npos)
        return false;
    int f = clocktime(text.substr(0, dash)), t = clocktime(text.substr(dash + 1));
    if (f < 0 || t < 0)
        return false;
    *from = f;
    *to = t;
    return true;
}

bool parseranges(const std::wstring &text, std::vector<hourrange> *ranges)
{
    std::vector<hourrange> got;
    if (!trimmed(text).empty()) {
        for (size_t start = 0; start <= text.size(); start++) {
            size_t end = text.find(L',', start);
            if (end == std::wstring::npos)
                end = text.size();
            hourrange h;
            if (got.size() == RANGES_MAX || !parsehours(text.substr(start, end - start), &h.from, &h.to))
                return false;
            got.push_back(h);
            start = end;
        }
    }
    *ranges = got;
    return true;
}

std::wstring rangestext(const std::vector<hourrange> &ranges)
{
    std::wstring text;
    for (const hourrange &h : ranges)
        text += (text.empty() ? L"" : L",") + clocktext(h.from) + L"-" + clocktext(h.to);
    return text;
}

bool anydayhours(const quietrules &r)
{
    for (const dayhours &d : r.perday)
        if (d.set)
            return true;
    return false;
}

quietrules parsequiet(const quietkeys &k)
{
    quietrules r;
    r.media = onoff(k.media, true);
    r.typing = onoff(k.typing, true);
    long long away;
    if (wholenumber(k.away, &away) && away > 0)
        r.awayminutes = (uint32_t)(away < AWAY_MAX_MINUTES ? away : AWAY_MAX_MINUTES);
    // A range that spans the whole day makes the list mean all day, as a lone one always did.
    if (!parseranges(k.hours, &r.hours) || std::any_of(r.hours.begin(), r.hours.end(), allday))
        r.hours.clear();
    for (int d = 0; d < 7; d++)
        if (k.perday[d])
            r.perday[d].set = parseranges(*k.perday[d], &r.perday[d].ranges);
    unsigned days = 0;
    for (wchar_t c : k.days)
        if (c >= L'1' && c <= L'7')
            days |= 1u << (c - L'1');
    r.days = days ? days : 0x7f;
    for (size_t start = 0; start <= k.programs.size() && r.programs.size() < PROGRAMS_MAX;) {
        size_t end = k.programs.find(L';', start);
        if (end == std::wstring::npos)
            end = k.programs.size();
        std::wstring name = trimmed(k.programs.substr(start, end - start));
        if (!name.empty() && pathless(name))
            r.programs.push_back(name);
        start = end + 1;
    }
    return r;
}

quietkeys quietkeysfor(const quietrules &r)
{
    quietkeys k;
    k.media = r.media ? L"1" : L"0";
    k.typing = r.typing ? L"1" : L"0";
    k.away = std::to_wstring(r.awayminutes);
    k.hours = rangestext(r.hours);
    for (int d = 0; d < 7; d++)
        if (r.days & (1u << d))
            k.days += (wchar_t)(L'1' + d);
    for (const std::wstring &p : r.programs)
        k.programs += (k.programs.empty() ? L"" : L";") + p;
    return k;
}

bool consentinuse(uint64_t laststart, uint64_t laststop, uint64_t boot)
{
    if (laststart < boot)
        return false;
    return (laststop == 0 && laststart != 0) || laststart > laststop;
}

bool listedprogram(const quietrules &r, const wchar_t *exe)
{
    for (const std::wstring &p : r.programs)
        if (sameletters(p, exe))
            return true;
    return false;
}

int listedinsession(const quietrules &r, const processentry *list, size_t count, DWORD mine)
{
    if (mine == SESSION_UNKNOWN)
        return -1;
    for (size_t i = 0; i < count; i++)
        if (list[i].session == mine && list[i].name && listedprogram(r, list[i].name))
            return (int)i;
    return -1;
}

uint32_t stillms(DWORD tickms, DWORD lastinputms, DWORD startedms)
{
    // Differences, not values, compare: the count wraps after 49.7 days.
    DWORD since = (int32_t)(lastinputms - startedms) > 0 ? lastinputms : startedms;
    return tickms - since;
}

bool withinhours(const quietrules &r, int weekday, int minute)
{
    bool known = weekday >= 1 && weekday <= 7;
    if (known && r.perday[weekday - 1].set)
        return inranges(r.perday[weekday - 1].ranges, minute);
    if (known && !(r.days & (1u << (weekday - 1))))
        return false;
    return r.hours.empty() || inranges(r.hours, minute);
}

bool fullscreenother(const quietinputs &in)
{
    if (!in.foreground || in.ours)
        return false;
    // Both bits make a caption: a maximised window with its title bar is not full screen.
    if ((in.style & WS_CAPTION) == WS_CAPTION)
        return false;
    if (in.cls && shellwindow(in.cls))
        return false;
    return covers(in.window, in.monitor);
}

bool pausing(uint64_t until, uint64_t now)
{
    return until != 0 && now < until;
}

quietcause whyquiet(const quietinputs &in)
{
    if (pausing(in.pauseuntil, in.now))
        return quiet_paused;
    if (fullscreenother(in) || fullscreenstate(in.notestate))
        return quiet_fullscreen;
    if (in.notestate == quiettime)
        return quiet_gettingready;
    if (in.media & MEDIA_MICROPHONE)
        return quiet_microphone;
    if (in.media & MEDIA_CAMERA)
        return quiet_camera;
    if (in.program)
        return quiet_program;
    if (in.rules && !withinhours(*in.rules, in.weekday, in.minute))
        return quiet_hours;
    if (in.away != 0 || in.notestate == notpresent)
        return quiet_away;
    if (in.rules && in.rules->awayminutes &&
        stillms(in.tickms, in.lastinputms, in.startedms) >= in.rules->awayminutes * 60000u)
        return quiet_still;
    return quiet_none;
}

bool typingwait(const quietinputs &in)
{
    return in.rules && in.rules->typing && in.tickms - in.lastinputms < TYPING_PAUSE_MS;
}

bool hellodue(const quietinputs &in, bool splashup)
{
    return !splashup && whyquiet(in) == quiet_none && !typingwait(in);
}

void quiettext(wchar_t *tip, size_t size, quietcause why, const wchar_t *program)
{
    const char *const texts[] = {"vexolind - quiet: full screen", "vexolind - quiet: Windows is getting ready",
                                 "vexolind - quiet: microphone in use", "vexolind - quiet: camera in use"};
    std::wstring text;
    if (why >= quiet_fullscreen && why <= quiet_camera) {
        text = trw(texts[why - quiet_fullscreen]);
    } else if (why == quiet_program) {
        // The name is cut so that the tip's 63 characters still end in the text after it, and
        // never between the halves of a pair.
        std::wstring format = trw("vexolind - quiet: %s is running");
        size_t at = std::min(format.find(L"%s"), format.size());
        std::wstring head = format.substr(0, at), suffix = format.substr(std::min(at + 2, format.size()));
        std::wstring name = program ? program : L"";
        size_t room = 63 - std::min<size_t>(63, head.size() + suffix.size());
        if (name.size() > room)
            name.resize(room && IS_HIGH_SURROGATE(name[room - 1]) ? room - 1 : room);
        text = head + name + suffix;
    } else if (why == quiet_hours) {
        text = trw("vexolind - quiet: outside your hours");
    }
    copytip(tip, size, text);
}

int awayafter(int away, unsigned change)
{
    switch (change) {
    case WTS_SESSION_LOCK:
        return away | AWAY_LOCKED;
    case WTS_SESSION_UNLOCK:
        return away & ~AWAY_LOCKED;
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT:
        return away | AWAY_DISCONNECTED;
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT:
        return away & ~AWAY_DISCONNECTED;
    default:
        return away;
    }
}
