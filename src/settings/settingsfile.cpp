#include "settings.h"

#include "handles.h"
#include "text.h"

#include <shlobj.h>

#include <stdlib.h>
#include <wchar.h>

namespace {

const wchar_t section[] = L"settings";
const wchar_t pausesection[] = L"pause", pausekey[] = L"until";
const wchar_t ininame[] = L"vexolind.INI";
const DWORD lockwait = 2000;

bool isfile(const std::wstring &path)
{
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// An older install kept its settings beside the system, in the Windows folder.
std::wstring legacyinifile()
{
    wchar_t dir[MAX_PATH];
    UINT n = GetWindowsDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return L"";
    return std::wstring(dir, n) + (dir[n - 1] == L'\\' ? L"" : L"\\") + ininame;
}

// Which file to read: the named one, except that a first start with the default path
// picks up what an older install left in the Windows folder.
std::wstring readpath(const context_t *ctx)
{
    std::wstring file = inifile(ctx), def = defaultinifile();
    if (!def.empty() && sameletters(def, file) && !isfile(def)) {
        std::wstring legacy = legacyinifile();
        if (!legacy.empty() && isfile(legacy))
            return legacy;
    }
    return file;
}

// A file held by another program reads as if empty; it gets a little time to be let go.
// False when it is there and still held.
bool readable(const std::wstring &file)
{
    for (DWORD waited = 0;; waited += 100) {
        DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        vx::filehandle f(CreateFileW(file.c_str(), GENERIC_READ, share, NULL, OPEN_EXISTING, 0, NULL));
        DWORD err = GetLastError();
        if (f || (err != ERROR_SHARING_VIOLATION && err != ERROR_LOCK_VIOLATION))
            return true;
        if (waited >= lockwait)
            return false;
        Sleep(100);
    }
}

bool put(const wchar_t *sect, const wchar_t *key, const std::wstring &value, const std::wstring &file)
{
    return WritePrivateProfileStringW(sect, key, value.c_str(), file.c_str()) != 0;
}

std::wstring get(const wchar_t *sect, const wchar_t *key, const std::wstring &file)
{
    wchar_t value[4096];
    GetPrivateProfileStringW(sect, key, L"", value, sizeof value / sizeof *value, file.c_str());
    return value;
}

// The text keys beside [settings], each named here alone.
struct textkey {
    const wchar_t *section, *key;
    std::wstring settings_t::*field;
    std::wstring quietkeys::*quietfield;
    std::wstring &in(settings_t &s) const { return field ? s.*field : s.quiet.*quietfield; }
    const std::wstring &in(const settings_t &s) const { return field ? s.*field : s.quiet.*quietfield; }
};
const textkey textkeys[] = {
    {L"keys", L"now", &settings_t::keynow, nullptr},
    {L"keys", L"pause", &settings_t::keypause, nullptr},
    {L"show", L"style", &settings_t::style, nullptr},
    {L"show", L"sound", &settings_t::sound, nullptr},
    {L"show", L"language", &settings_t::language, nullptr},
    {L"quiet", L"media", nullptr, &quietkeys::media},
    {L"quiet", L"programs", nullptr, &quietkeys::programs},
    {L"quiet", L"hours", nullptr, &quietkeys::hours},
    {L"quiet", L"days", nullptr, &quietkeys::days},
    {L"quiet", L"typing", nullptr, &quietkeys::typing},
    {L"quiet", L"away", nullptr, &quietkeys::away},
    {L"update", L"failshown", &settings_t::failshown, nullptr},
};

void readfile(const std::wstring &file, settings_t *s)
{
    s->mintime = (uint32_t)GetPrivateProfileIntW(section, L"mintime", 10, file.c_str());
    s->maxtime = (uint32_t)GetPrivateProfileIntW(section, L"maxtime", 3600, file.c_str());
    wchar_t type[50] = {0};
    GetPrivateProfileStringW(section, L"type", L"kisses", type, 50, file.c_str());
    s->curki = wcscmp(type, L"kisses") == 0 ? kisses : kickers;
    s->autoupdate = (int32_t)GetPrivateProfileIntW(section, L"autoupdate", 1, file.c_str());
    s->autorun = (int32_t)GetPrivateProfileIntW(section, L"autorun", 1, file.c_str());
    for (const textkey &k : textkeys)
        k.in(*s) = get(k.section, k.key, file);
    // A day's own hours may be empty, which a missing key is not: it reads as what no day holds.
    const wchar_t absent[] = L"\x01";
    for (int d = 0; d < 7; d++) {
        wchar_t value[4096];
        GetPrivateProfileStringW(L"quiet", daykeys[d], absent, value, ARRAYSIZE(value), file.c_str());
        s->quiet.perday[d] = wcscmp(value, absent) ? std::optional<std::wstring>(value) : std::nullopt;
    }
    s->pause = get(pausesection, pausekey, file);
}

} // namespace

std::wstring defaultinifile()
{
    wchar_t appdata[MAX_PATH];
    if (FAILED(SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, appdata)))
        return L"";
    std::wstring path = std::wstring(appdata) + L"\\vexolind\\" + ininame;
    return path.size() < MAX_PATH ? path : L"";
}

bool settingsfound(const context_t *ctx)
{
    return isfile(readpath(ctx));
}

int loadsettings(context_t *ctx)
{
    std::wstring file = readpath(ctx);
    ctx->iniunread = !readable(file);
    readfile(file, ctx);
    ctx->rules = parsequiet(ctx->quiet);
    ctx->mediareadms = ctx->programsreadms = 0;
    return 1;
}

settings_t settingsnow(const context_t *ctx)
{
    settings_t s = *ctx;
    if (!ctx->iniunread)
        readfile(inifile(ctx), &s);
    return s;
}

int savesettings(context_t *ctx)
{
    std::wstring file = inifile(ctx);
    std::wstring dir = inifolder(ctx);
    // A file in the current folder or at a drive's root has no folder to make.
    bool own = !dir.empty() && dir != L"." && !(dir.size() == 2 && dir[1] == L':');
    if (own && GetFileAttributesW(dir.c_str()) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryW(dir.c_str(), NULL);

    wchar_t num[34];
    _ltow((long)ctx->mintime, num, 10);
    bool ok = put(section, L"mintime", num, file);
    _ltow((long)ctx->maxtime, num, 10);
    ok = ok && put(section, L"maxtime", num, file);
    ok = ok && put(section, L"type", ctx->curki == kisses ? L"kisses" : L"kickers", file);
    ok = ok && put(section, L"autorun", ctx->autorun ? L"1" : L"0", file);
    ok = ok && put(section, L"autoupdate", ctx->autoupdate ? L"1" : L"0", file);
    // The Run value follows the file: what the file could not take is not registered either.
    if (!ok)
        return 0;
    registerAutoRun(ctx->autorun, ctx->autorun ? appath() : NULL);
    return 1;
}

bool savemore(const context_t *ctx, const settings_t &s)
{
    bool saved = true;
    for (const textkey &k : textkeys)
        if (k.field == &settings_t::language && k.in(s).empty())
            // Windows' choice is no key at all: files written before there were languages stay as they were.
            WritePrivateProfileStringW(k.section, k.key, nullptr, inifile(ctx).c_str());
        else if (k.field != &settings_t::failshown)
            saved &= put(k.section, k.key, k.in(s), inifile(ctx));
    return saved;
}

bool savefailshown(context_t *ctx, const std::wstring &day)
{
    ctx->failshown = day;
    return put(L"update", L"failshown", day, inifile(ctx));
}

bool savepause(context_t *ctx, const std::wstring &until)
{
    ctx->pause = until;
    // An ended pause leaves nothing behind: the whole section goes.
    if (until.empty())
        return WritePrivateProfileStringW(pausesection, nullptr, nullptr, inifile(ctx).c_str()) != 0;
    return put(pausesection, pausekey, until, inifile(ctx));
}

std::wstring inifile(const context_t *ctx)
{
    if (ctx->inipathw[0])
        return ctx->inipathw;
    wchar_t path[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, ctx->inipath, -1, path, MAX_PATH))
        return L"";
    return path;
}

std::wstring inifolder(const context_t *ctx)
{
    std::wstring file = inifile(ctx);
    size_t slash = file.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        return file.substr(0, slash);
    // A bare name is looked up in the Windows folder by the profile functions, and so are we.
    wchar_t dir[MAX_PATH];
    UINT n = GetWindowsDirectoryW(dir, MAX_PATH);
    return n && n < MAX_PATH ? dir : L".";
}
