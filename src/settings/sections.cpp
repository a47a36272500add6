#include "settings.h"

std::wstring inifile(const context_t *con)
{
    if (con->inipathw[0])
        return con->inipathw;
    wchar_t path[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, con->inipath, -1, path, MAX_PATH))
        return L"";
    return path;
}

std::wstring inifolder(const context_t *con)
{
    std::wstring file = inifile(con);
    size_t slash = file.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        return file.substr(0, slash);
    // A bare name is looked up in the Windows folder by the profile functions, and so are we.
    wchar_t dir[MAX_PATH];
    UINT n = GetWindowsDirectoryW(dir, MAX_PATH);
    return n && n < MAX_PATH ? dir : L".";
}

std::wstring inistring(const context_t *con, const wchar_t *section, const wchar_t *key, const wchar_t *def)
{
    wchar_t value[4096];
    GetPrivateProfileStringW(section, key, def, value, sizeof value / sizeof *value, inifile(con).c_str());
    return value;
}

int iniint(const context_t *con, const wchar_t *section, const wchar_t *key, int def)
{
    return (int)GetPrivateProfileIntW(section, key, def, inifile(con).c_str());
}

bool iniset(const context_t *con, const wchar_t *section, const wchar_t *key, const wchar_t *value)
{
    return WritePrivateProfileStringW(section, key, value, inifile(con).c_str()) != 0;
}
