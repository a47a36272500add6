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
    lstrcpynW(con->inipathw, defaultinifile().c_str(), MAX_PATH);
    if (!con->inipathw[0])
        lstrcpynW(con->inipathw, L"vexolind.INI", MAX_PATH);
    lstrcpyA(szAppName, "vexolind");
    // String 500 has never been in the resources, so the title stays empty, as it always has.
    LoadStringA(hInstance, 500, szTitle, sizeof szTitle);

    if (!InitApplication(hInstance))
        return 0;

    // The settings file named on the command line is the one read as well as written,
    // so it is settled before anything is loaded or saved.
    const wchar_t *lpCmdLine = cmdtail(GetCommandLineW());
    if (*lpCmdLine) {
        wchar_t path[MAX_PATH];
        // A file another program holds is there all the same: loading waits for it.
        if (!cmdinipath(lpCmdLine, path, MAX_PATH)
            || (!(fd = _wfopen(path, L"r")) && GetLastError() != ERROR_SHARING_VIOLATION)) {
            MessageBoxA(con->hwnd, "Can't open settings file", "Fatal Error", MB_OK);
            return 1;
        }
        if (fd)
            fclose(fd);
        lstrcpyW(con->inipathw, path);
    }
    WideCharToMultiByte(CP_ACP, 0, con->inipathw, -1, con->inipath, sizeof con->inipath, NULL, NULL);

    // A first start, about to write its first settings file, says hello once it is running.
    bool first = !settingsfound(con);
    if (!loadsettings(con))
        return 0;
    loadquiet(con);
    // Settings that could not be read are not the user's: nothing is decided on them.
    if (!con->iniunread) {
        if (!savesettings(con))
            savefailed(nullptr, con);
        else if (first)
            hellolater();
        if (con->autoupdate)
            checkupdates(con);
    }

    con->hwnd = InitInstance(hInstance, nCmdShow);
    if (!con->hwnd)
        return 0;
    seticon(con);
    registerkeys(con);

    hds = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    con->screenx = GetDeviceCaps(hds, HORZRES);
    con->screeny = GetDeviceCaps(hds, VERTRES);

    // There is no accelerator table: the handle is null and the loop translates nothing, as it always has.
    hAccelTable = LoadAcceleratorsA(hInstance, szAppName);

    cbt = SetTimer(con->hwnd, ID_ALERT_TIMER, 1000, nullptr);
    // The two boxes keep their wording, as the program has always shown them.
    if (!cbt) {
        err = GetLastError();
        MessageBoxA(con->hwnd, "Cant make timer! CHECKBUF", "vexolind", MB_OK);
        _itoa((int)err, errs, 10);
        MessageBoxA(con->hwnd, errs, "Error Number", MB_OK);
    }

    rememberfront();
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
