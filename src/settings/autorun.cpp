#include "settings.h"

#include "choices.h"
#include "handles.h"

#include <wchar.h>

namespace {

const wchar_t runkey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t runvalue[] = L"vexolind";

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
