#include "settings.h"

#include "handles.h"

#include <shlobj.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char section[] = "settings";
const char ininame[] = "vexolind.INI";
const char runkey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char runvalue[] = "vexolind";

bool isfile(const char *path)
{
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// An older install kept its settings beside the system, in the Windows folder.
bool legacyinipath(char *path, size_t size)
{
    char dir[MAX_PATH];
    UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    if (n == 0 || n >= sizeof dir)
        return false;
    const char *sep = dir[n - 1] == '\\' ? "" : "\\";
    int len = snprintf(path, size, "%s%s%s", dir, sep, ininame);
    return len > 0 && (size_t)len < size;
}

// Which file to read: the named one, except that a first start with the default path
// picks up what an older install left in the Windows folder.
const char *readpath(const context_t *con, char *legacy, size_t size)
{
    char def[MAX_PATH];
    if (defaultinipath(def, sizeof def) && _stricmp(def, con->inipath) == 0 && !isfile(def)
        && legacyinipath(legacy, size) && isfile(legacy))
        return legacy;
    return con->inipath;
}

void deleterun(HKEY root)
{
    vx::regkey k;
    if (RegOpenKeyExA(root, runkey, 0, KEY_SET_VALUE, vx::out(k)) == ERROR_SUCCESS)
        RegDeleteValueA(k.get(), runvalue);
}

} // namespace

int defaultinipath(char *path, size_t size)
{
    char appdata[MAX_PATH];
    if (!path || size == 0)
        return 0;
    if (FAILED(SHGetFolderPathA(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, appdata)))
        return 0;
    int len = snprintf(path, size, "%s\\vexolind\\%s", appdata, ininame);
    if (len <= 0 || (size_t)len >= size) {
        path[0] = '\0';
        return 0;
    }
    return 1;
}

int loadsettings(context_t *con)
{
    char legacy[MAX_PATH];
    const char *file = readpath(con, legacy, sizeof legacy);

    con->mintime = (uint32_t)GetPrivateProfileIntA(section, "mintime", 10, file);
    con->maxtime = (uint32_t)GetPrivateProfileIntA(section, "maxtime", 3600, file);

    char type[50] = {0};
    GetPrivateProfileStringA(section, "type", "kisses", type, sizeof type, file);
    con->curki = strcmp(type, "kisses") == 0 ? kisses : kickers;

    con->autoupdate = (int32_t)GetPrivateProfileIntA(section, "autoupdate", 1, file);
    con->autorun = (int32_t)GetPrivateProfileIntA(section, "autorun", 1, file);
    return 1;
}

int savesettings(context_t *con)
{
    const char *file = con->inipath;

    char dir[MAX_PATH];
    snprintf(dir, sizeof dir, "%s", file);
    char *slash = strrchr(dir, '\\');
    char *fwd = strrchr(dir, '/');
    if (fwd && (!slash || fwd > slash))
        slash = fwd;
    if (slash && slash > dir && slash[-1] != ':') {
        *slash = '\0';
        if (GetFileAttributesA(dir) == INVALID_FILE_ATTRIBUTES)
            CreateDirectoryA(dir, NULL);
    }

    char num[34];
    _ltoa((long)con->mintime, num, 10);
    WritePrivateProfileStringA(section, "mintime", num, file);
    _ltoa((long)con->maxtime, num, 10);
    WritePrivateProfileStringA(section, "maxtime", num, file);
    WritePrivateProfileStringA(section, "type", con->curki == kisses ? "kisses" : "kickers", file);
    if (con->autorun) {
        WritePrivateProfileStringA(section, "autorun", "1", file);
        registerAutoRun(1, appath());
    } else {
        WritePrivateProfileStringA(section, "autorun", "0", file);
        registerAutoRun(0, NULL);
    }
    WritePrivateProfileStringA(section, "autoupdate", con->autoupdate ? "1" : "0", file);
    return 1;
}

const char *appath(void)
{
    static char path[32768];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    // A truncated name would start a different program at log-on: better none at all.
    if (n == 0 || n >= sizeof path)
        n = 0;
    path[n] = '\0';
    return path;
}

int registerAutoRun(int reg, const char *appath)
{
    if (!reg) {
        deleterun(HKEY_LOCAL_MACHINE);
        deleterun(HKEY_CURRENT_USER);
        return 1;
    }
    if (!appath || !*appath)
        return 1;

    // Quoted, so that a path with blanks starts this program and not a prefix of it.
    size_t len = strlen(appath) + 2;
    char *data = (char *)malloc(len + 1);
    if (!data)
        return 1;
    snprintf(data, len + 1, "\"%s\"", appath);

    vx::regkey k;
    // Without elevation the machine key is closed to us; start for this user instead.
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        if (RegCreateKeyExA(root, runkey, 0, NULL, 0, KEY_SET_VALUE, NULL, vx::out(k), NULL) == ERROR_SUCCESS)
            break;
    if (!k) {
        free(data);
        return 1;
    }
    RegSetValueExA(k.get(), runvalue, 0, REG_SZ, (const BYTE *)data, (DWORD)len + 1);
    free(data);
    return 1;
}
