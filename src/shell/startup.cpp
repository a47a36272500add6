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
