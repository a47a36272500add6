#include "settings.h"

#include "handles.h"

namespace {

const wchar_t runkey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t runvalue[] = L"vexolind";

void deleterun(HKEY root)
{
    vx::regkey k;
    if (RegOpenKeyExW(root, runkey, 0, KEY_SET_VALUE, vx::out(k)) == ERROR_SUCCESS)
        RegDeleteValueW(k.get(), runvalue);
}

} // namespace

const wchar_t *appath(void)
{
    // Callers keep the pointer: the name lives as long as the process.
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

    vx::regkey k;
    // Without elevation the machine key is closed to us; start for this user instead.
    LONG err = RegCreateKeyExW(HKEY_LOCAL_MACHINE, runkey, 0, NULL, 0, KEY_SET_VALUE, NULL, vx::out(k), NULL);
    if (err != ERROR_SUCCESS)
        err = RegCreateKeyExW(HKEY_CURRENT_USER, runkey, 0, NULL, 0, KEY_SET_VALUE, NULL, vx::out(k), NULL);
    if (err != ERROR_SUCCESS)
        return 1;
    RegSetValueExW(k.get(), runvalue, 0, REG_SZ, (const BYTE *)data.c_str(),
                   (DWORD)((data.size() + 1) * sizeof(wchar_t)));
    return 1;
}
