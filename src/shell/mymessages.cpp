#include "msgfiles.h"
#include "shell.h"

#include <shellapi.h>

int doMessages(context_t *con)
{
    std::wstring path = msgfilepath(con);
    msgtemplate(path, con->curki == kisses);
    HINSTANCE r = ShellExecuteW(con->hwnd, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if ((INT_PTR)r == SE_ERR_NOASSOC)
        ShellExecuteW(con->hwnd, nullptr, L"notepad.exe", (L"\"" + path + L"\"").c_str(), nullptr, SW_SHOWNORMAL);
    return 1;
}
