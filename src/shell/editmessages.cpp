#include "msgfiles.h"
#include "shell.h"

#include <shellapi.h>

int doMessages(context_t *ctx)
{
    std::wstring path = msgfilepath(ctx);
    msgtemplate(path, ctx->curki == kisses);
    HINSTANCE r = ShellExecuteW(ctx->hwnd, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if ((INT_PTR)r == SE_ERR_NOASSOC)
        ShellExecuteW(ctx->hwnd, nullptr, L"notepad.exe", (L"\"" + path + L"\"").c_str(), nullptr, SW_SHOWNORMAL);
    return 1;
}
