#include "shell.h"

#include <stdlib.h>
#include <string.h>
#include <time.h>

int InitApplication(HINSTANCE hInstance)
{
    srand((unsigned)time(nullptr));
    con->hinst = hInstance;

    HWND running = FindWindowA(szAppName, szTitle);
    if (running) {
        if (IsIconic(running))
            ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
        return 0;
    }

    WNDCLASSA wc = {};
    wc.style = CS_NOCLOSE;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(hInstance, szAppName);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszMenuName = "WIN95";
    wc.lpszClassName = szAppName;
    return RegisterClassA(&wc);
}

const char *cmdtail(const char *cmdline)
{
    const char *p = cmdline;
    while (*p == ' ' || *p == '\t')
        p++;
    if (*p == '"') {
        p++;
        while (*p && *p != '"')
            p++;
        if (*p == '"')
            p++;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            p++;
    }
    while (*p == ' ' || *p == '\t')
        p++;
    return p;
}

int cmdinipath(const char *tail, char *path, size_t size)
{
    size_t n = strlen(tail);
    // A path with blanks arrives quoted; the quotes are not part of the name.
    if (n >= 2 && tail[0] == '"' && tail[n - 1] == '"') {
        tail++;
        n -= 2;
    }
    if (n >= size)
        return 0;
    memcpy(path, tail, n);
    path[n] = '\0';
    return 1;
}
