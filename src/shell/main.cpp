#include "settings.h"
#include "shell.h"
#include "switches.h"
#include "update.h"

namespace {

// A file another program holds is there all the same: loading waits for it.
bool openable(const wchar_t *path)
{
    vx::filehandle f(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    return f || GetLastError() == ERROR_SHARING_VIOLATION;
}

// The settings file named on the command line is the one read as well as written, so it is
// settled before anything is loaded or saved. False when the named file cannot be opened.
bool settingsfile(context_t *ctx)
{
    lstrcpynW(ctx->inipathw, defaultinifile().c_str(), MAX_PATH);
    if (!ctx->inipathw[0])
        lstrcpynW(ctx->inipathw, L"vexolind.INI", MAX_PATH);
    const wchar_t *lpCmdLine = cmdtail(GetCommandLineW());
    if (*lpCmdLine) {
        wchar_t path[MAX_PATH];
        if (!cmdinipath(lpCmdLine, path, MAX_PATH) || !openable(path)) {
            box(ctx->hwnd, trw("Can't open settings file"), "Fatal Error", MB_OK);
            return false;
        }
        lstrcpyW(ctx->inipathw, path);
    }
    WideCharToMultiByte(CP_ACP, 0, ctx->inipathw, -1, ctx->inipath, sizeof ctx->inipath, NULL, NULL);
    return true;
}

void loadandcheck(context_t *ctx)
{
    // A first start, about to write its first settings file, says hello once it is running.
    bool first = !settingsfound(ctx);
    loadsettings(ctx);
    // Settings that could not be read are not the user's: nothing is decided on them.
    if (ctx->iniunread)
        return;
    if (!savesettings(ctx))
        savefailed(nullptr, ctx);
    else
        ctx->hello = first;
    if (ctx->autoupdate)
        presentupdate(ctx, checkupdates());
}

void measurescreen(context_t *ctx)
{
    vx::dchandle hds(CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
    ctx->screenx = GetDeviceCaps(hds.get(), HORZRES);
    ctx->screeny = GetDeviceCaps(hds.get(), VERTRES);
}

void starttimer(context_t *ctx)
{
    // The two boxes keep their wording, as the program has always shown them.
    if (!SetTimer(ctx->hwnd, ID_ALERT_TIMER, 1000, nullptr)) {
        DWORD err = GetLastError();
        box(ctx->hwnd, trw("Cant make timer! CHECKBUF"), "vexolind", MB_OK);
        box(ctx->hwnd, std::to_wstring((int)err), "Error Number", MB_OK);
    }
}

int messageloop()
{
    // There is no accelerator table: the handle is null and the loop translates nothing, as it always has.
    HACCEL hAccelTable = LoadAcceleratorsA(GetModuleHandleA(nullptr), szAppName);
    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        if (!TranslateAcceleratorA(msg.hwnd, hAccelTable, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return (int)msg.wParam;
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    // The root of all state, for the life of the process.
    con = new context_t{};
    con->hinst = hInstance;
    con->startedms = GetTickCount();
    lstrcpyA(szAppName, "vexolind");
    // String 500 has never been in the resources, so the title stays empty, as it always has.
    LoadStringA(hInstance, 500, szTitle, sizeof szTitle);

    // A switch is for the vexolind already running; this start ends once it is delivered.
    if (parseswitch(cmdtail(GetCommandLineW())).kind != switch_none)
        return sendswitch(cmdtail(GetCommandLineW()));

    if (!InitApplication(hInstance))
        return 0;
    applylanguage(con);
    if (!settingsfile(con))
        return 1;
    loadandcheck(con);
    applylanguage(con);
    loadpause(con);

    con->hwnd = InitInstance(hInstance, nCmdShow);
    if (!con->hwnd)
        return 0;
    readtheme(con);
    seticon(con);
    registerkeys(con);
    measurescreen(con);
    starttimer(con);
    rememberfront(con);
    doAbout(con);
    con->hwnd_splash = createsplash(con);
    return messageloop();
}
