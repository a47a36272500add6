#include "settings.h"
#include "shell.h"
#include "update.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    MSG msg = {};
    HACCEL hAccelTable;
    HDC hds;
    FILE *fd;
    UINT_PTR cbt;
    DWORD err;
    char errs[20];

    con = (context_t *)calloc(1, sizeof(context_t));
    if (!con)
        return 0;
    if (!defaultinipath(con->inipath, sizeof con->inipath))
        lstrcpynA(con->inipath, "vexolind.INI", sizeof con->inipath);
    lstrcpyA(szAppName, "vexolind");
    LoadStringA(hInstance, 500, szTitle, sizeof szTitle);

    if (!InitApplication(hInstance))
        return 0;

    // The settings file named on the command line is the one read as well as written,
    // so it is settled before anything is loaded or saved.
    const char *lpCmdLine = cmdtail(GetCommandLineA());
    if (*lpCmdLine) {
        char path[MAX_PATH];
        if (!cmdinipath(lpCmdLine, path, sizeof path) || !(fd = fopen(path, "r"))) {
            MessageBoxA(con->hwnd, "Can't open settings file", "Fatal Error", MB_OK);
            return 1;
        }
        fclose(fd);
        lstrcpyA(con->inipath, path);
    }

    if (!loadsettings(con))
        return 0;
    savesettings(con);
    loadquiet(con);
    if (con->autoupdate)
        checkupdates(con);

    con->hwnd = InitInstance(hInstance, nCmdShow);
    if (!con->hwnd)
        return 0;
    seticon(con);

    hds = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    con->screenx = GetDeviceCaps(hds, HORZRES);
    con->screeny = GetDeviceCaps(hds, VERTRES);

    hAccelTable = LoadAcceleratorsA(hInstance, szAppName);

    cbt = SetTimer(con->hwnd, ID_ALERT_TIMER, 1000, nullptr);
    if (!cbt) {
        err = GetLastError();
        MessageBoxA(con->hwnd, "Cant make timer! CHECKBUF", "vexolind", MB_OK);
        _itoa((int)err, errs, 10);
        MessageBoxA(con->hwnd, errs, "Error Number", MB_OK);
    }

    doAbout(con);
    con->hwnd_splash = createsplash(con);

    while (GetMessageA(&msg, nullptr, 0, 0)) {
        if (!TranslateAcceleratorA(msg.hwnd, hAccelTable, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return (int)msg.wParam;
}
