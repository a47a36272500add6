#include "settings.h"

namespace {
const wchar_t section[] = L"pause";
const wchar_t key[] = L"until";
} // namespace

std::wstring inipause(const context_t *con)
{
    return inistring(con, section, key, L"");
}

bool setinipause(const context_t *con, const std::wstring &value)
{
    // An ended pause leaves nothing behind: the whole section goes.
    if (value.empty())
        return WritePrivateProfileStringW(section, nullptr, nullptr, inifile(con).c_str()) != 0;
    return iniset(con, section, key, value.c_str());
}
