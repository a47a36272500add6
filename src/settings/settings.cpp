#include "settings.h"

#include "choices.h"
#include "handles.h"

#include <shlobj.h>

#include <stdlib.h>
#include <wchar.h>

namespace {

const wchar_t section[] = L"settings";
const wchar_t ininame[] = L"vexolind.INI";
const wchar_t runkey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t runvalue[] = L"vexolind";
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
std::wstring readpath(const context_t *con)
{
    std::wstring file = inifile(con), def = defaultinifile();
    if (!def.empty() && _wcsicmp(def.c_str(), file.c_str()) == 0 && !isfile(def)) {
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
        vx::kernelhandle f(CreateFileW(file.c_str(), GENERIC_READ, share, NULL, OPEN_EXISTING, 0, NULL));
        DWORD err = GetLastError();
        if (f.get() != INVALID_HANDLE_VALUE || (err != ERROR_SHARING_VIOLATION && err != ERROR_LOCK_VIOLATION))
            return true;
        if (waited >= lockwait)
            return false;
        Sleep(100);
    }
}

void deleterun(HKEY root)
{
    vx::regkey k;
    if (RegOpenKeyExW(root, runkey, 0, KEY_SET_VALUE, vx::out(k)) == ERROR_SUCCESS)
        RegDeleteValueW(k.get(), runvalue);
}

// root's Run value "vexolind"; empty when there is none.
std::wstring runvaluein(HKEY root)
{
    DWORD size = 0;
    if (RegGetValueW(root, runkey, runvalue, RRF_RT_REG_SZ, NULL, NULL, &size) != ERROR_SUCCESS ||
        size < sizeof(wchar_t))
        return L"";
    std::wstring v(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(root, runkey, runvalue, RRF_RT_REG_SZ, NULL, &v[0], &size) != ERROR_SUCCESS)
        return L"";
    v.resize(wcsnlen(v.c_str(), v.size()));
    return v;
}

bool put(const wchar_t *key, const wchar_t *value, const std::wstring &file)
{
    return WritePrivateProfileStringW(section, key, value, file.c_str()) != 0;
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

int defaultinipath(char *path, size_t size)
{
    if (!path || size == 0)
        return 0;
    path[0] = '\0';
    std::wstring wide = defaultinifile();
    BOOL lossy = FALSE;
    int n = wide.empty() ? 0 : WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, path, (int)size, NULL, &lossy);
    if (n == 0 || lossy) {
        path[0] = '\0';
        return 0;
    }
    return 1;
}

bool settingsfound(const context_t *con)
{
    return isfile(readpath(con));
}

int loadsettings(context_t *con)
{
    std::wstring file = readpath(con);
    con->iniunread = !readable(file);

    con->mintime = (uint32_t)GetPrivateProfileIntW(section, L"mintime", 10, file.c_str());
    con->maxtime = (uint32_t)GetPrivateProfileIntW(section, L"maxtime", 3600, file.c_str());

    wchar_t type[50] = {0};
    GetPrivateProfileStringW(section, L"type", L"kisses", type, 50, file.c_str());
    con->curki = wcscmp(type, L"kisses") == 0 ? kisses : kickers;

    con->autoupdate = (int32_t)GetPrivateProfileIntW(section, L"autoupdate", 1, file.c_str());
    con->autorun = (int32_t)GetPrivateProfileIntW(section, L"autorun", 1, file.c_str());
    return 1;
}

int savesettings(context_t *con)
{
    std::wstring file = inifile(con);
    std::wstring dir = inifolder(con);
    // A file in the current folder or at a drive's root has no folder to make.
    bool own = !dir.empty() && dir != L"." && !(dir.size() == 2 && dir[1] == L':');
    if (own && GetFileAttributesW(dir.c_str()) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryW(dir.c_str(), NULL);

    wchar_t num[34];
    _ltow((long)con->mintime, num, 10);
    bool ok = put(L"mintime", num, file);
    _ltow((long)con->maxtime, num, 10);
    ok = ok && put(L"maxtime", num, file);
    ok = ok && put(L"type", con->curki == kisses ? L"kisses" : L"kickers", file);
    ok = ok && put(L"autorun", con->autorun ? L"1" : L"0", file);
    ok = ok && put(L"autoupdate", con->autoupdate ? L"1" : L"0", file);
    // The Run value follows the file: what the file could not take is not registered either.
    if (!ok)
        return 0;
    registerAutoRun(con->autorun, con->autorun ? appath() : NULL);
    return 1;
}

const wchar_t *appath(void)
{
    static wchar_t path[32768];
    DWORD n = GetModuleFileNameW(NULL, path, 32768);
    // A truncated name would start a different program at log-on: better none at all.
    if (n == 0 || n >= 32768)
        n = 0;
    path[n] = L'\0';
    return path;
}

int registerAutoRun(int reg, const wchar_t *appath)
{
    if (!reg) {
        deleterun(HKEY_LOCAL_MACHINE);
        deleterun(HKEY_CURRENT_USER);
        return 1;
    }
    if (!appath || !*appath)
        return 1;

    // Quoted, so that a path with blanks starts this program and not a prefix of it.
    std::wstring data = std::wstring(L"\"") + appath + L"\"";

    // vexolind is installed for one user, so it starts for that user alone, elevated or not: a
    // machine-wide value would start one user's copy for everyone.
    vx::regkey k;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, runkey, 0, NULL, 0, KEY_SET_VALUE, NULL, vx::out(k), NULL) != ERROR_SUCCESS)
        return 1;
    if (RegSetValueExW(k.get(), runvalue, 0, REG_SZ, (const BYTE *)data.c_str(),
                       (DWORD)((data.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
        return 1;
    // Earlier builds wrote the machine's value when they could. Ours goes where we may remove it;
    // without the rights it stays, and nothing needs saying: both start the same program.
    if (startsprogram(runvaluein(HKEY_LOCAL_MACHINE), appath))
        deleterun(HKEY_LOCAL_MACHINE);
    return 1;
}
