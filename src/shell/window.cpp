#include "quiet.h"
#include "resource.h"
#include "shell.h"

#include <shellapi.h>

#include <memory>
#include <type_traits>

namespace {

struct menucloser {
    void operator()(HMENU m) const { DestroyMenu(m); }
};
using menuhandle = std::unique_ptr<std::remove_pointer<HMENU>::type, menucloser>;

NOTIFYICONDATAA trayrecord(HWND hwnd, UINT flags)
{
    NOTIFYICONDATAA pn = {};
    pn.cbSize = NOTIFYICONDATAA_V1_SIZE;
    pn.hWnd = hwnd;
    pn.uID = 0;
    pn.uFlags = flags;
    return pn;
}

void moodicon(NOTIFYICONDATAA &pn)
{
    bool kiss = con->curki == kisses;
    pn.hIcon = trayicon(con->hinst, kiss ? "KISSES" : "Kicker");
    lstrcpynA(pn.szTip, kiss ? "vexolind - kissing you" : "vexolind - kicking you", sizeof pn.szTip);
}

// While paused, the pause's end time is the tip, whatever set the tip again.
void pausetip(NOTIFYICONDATAA &pn)
{
    if (pausing(con->pauseuntil, GetTickCount64()))
        lstrcpynA(pn.szTip, con->pausetip, sizeof pn.szTip);
}

void showtip(HWND hWnd)
{
    NOTIFYICONDATAA pn = trayrecord(hWnd, NIF_TIP);
    moodicon(pn);
    pausetip(pn);
    Shell_NotifyIconA(NIM_MODIFY, &pn);
}

// Explorer announces a restart with this message; its new tray knows nothing of our icon.
UINT taskbarcreated()
{
    static UINT msg = RegisterWindowMessageA("TaskbarCreated");
    return msg;
}

void ontaskbarcreated(HWND hWnd)
{
    NOTIFYICONDATAA pn = trayrecord(hWnd, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    pn.uCallbackMessage = WM_TRAYNOTIFY;
    moodicon(pn);
    pausetip(pn);
    Shell_NotifyIconA(NIM_ADD, &pn);
}

void ondestroy(HWND hWnd)
{
    unwatchsession(hWnd);
    NOTIFYICONDATAA pn = trayrecord(hWnd, 0);
    Shell_NotifyIconA(NIM_DELETE, &pn);
    PostQuitMessage(0);
}

void onpause(HWND hWnd)
{
    uint64_t now = GetTickCount64();
    if (pausing(con->pauseuntil, now))
        con->pauseuntil = 0;
    else
        startpause(con, now);
    showtip(hWnd);
}

void ontraymenu(HWND hWnd)
{
    POINT pnt;
    GetCursorPos(&pnt);
    switch (contextmenu(con, pnt)) {
    case IDM_ABOUT:
        doAbout(con);
        break;
    case IDM_SETTINGS:
        doSet(con);
        break;
    case IDM_PAUSE:
        onpause(hWnd);
        break;
    case IDM_EXIT:
        DestroyWindow(hWnd);
        break;
    default:
        break;
    }
}

void ontraynotify(HWND hWnd, LPARAM lParam)
{
    if (lParam == WM_LBUTTONDBLCLK)
        veXoLind(con);
    else if (lParam == WM_RBUTTONUP)
        ontraymenu(hWnd);
}

void onalerttimer(HWND hWnd)
{
    watchsession(hWnd);
    uint64_t now = GetTickCount64();
    if (con->pauseuntil && !pausing(con->pauseuntil, now)) {
        con->pauseuntil = 0;
        showtip(hWnd);
    }
    ontick(quietnow(con, now));
}

void onsessionchange(WPARAM change)
{
    con->away = awayafter(con->away, (unsigned)change);
}

} // namespace

HICON trayicon(HINSTANCE hinst, const char *name)
{
    // The tray shows small icons: at the system's own small size the drawing made for it is
    // used instead of a large one scaled down. Shared, so a mood change or a taskbar restart
    // never leaves an icon behind.
    return (HICON)LoadImageA(hinst, name, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                             LR_SHARED);
}

HWND InitInstance(HINSTANCE hInstance, int)
{
    taskbarcreated();
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, szAppName, szTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                CW_USEDEFAULT, 0, nullptr, nullptr, hInstance, nullptr);
    if (!hwnd)
        return nullptr;
    NOTIFYICONDATAA pn = trayrecord(hwnd, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    pn.uCallbackMessage = WM_TRAYNOTIFY;
    pn.hIcon = trayicon(hInstance, "KISSES");
    lstrcpynA(pn.szTip, "vexolind", sizeof pn.szTip);
    ShowWindow(hwnd, SW_HIDE);
    Shell_NotifyIconA(NIM_ADD, &pn);
    return hwnd;
}

int seticon(context_t *con)
{
    NOTIFYICONDATAA pn = trayrecord(con->hwnd, NIF_ICON | NIF_TIP);
    moodicon(pn);
    pausetip(pn);
    Shell_NotifyIconA(NIM_MODIFY, &pn);
    return 1;
}

int contextmenu(context_t *con, POINT pt)
{
    menuhandle tp(LoadMenuA(con->hinst, "CONMENU1"));
    if (!tp)
        return IDM_NONE;
    HMENU popup = GetSubMenu(tp.get(), 0);
    if (pausing(con->pauseuntil, GetTickCount64()))
        ModifyMenuA(popup, IDM_PAUSE, MF_BYCOMMAND | MF_STRING, IDM_PAUSE, "&Resume");
    // Without the foreground switch before and the WM_NULL after, a tray menu never
    // closes when the user clicks elsewhere.
    SetForegroundWindow(con->hwnd);
    int cmd = (int)TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_BOTTOMALIGN | TPM_RIGHTALIGN | TPM_RIGHTBUTTON,
                                    pt.x, pt.y, con->hwnd, nullptr);
    PostMessageA(con->hwnd, WM_NULL, 0, 0);
    return cmd;
}

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        newinterval();
        return 0;
    case WM_DESTROY:
        ondestroy(hWnd);
        return 0;
    case WM_TRAYNOTIFY:
        ontraynotify(hWnd, lParam);
        return 0;
    case WM_TIMER:
        onalerttimer(hWnd);
        return 0;
    case WM_WTSSESSION_CHANGE:
        onsessionchange(wParam);
        return 0;
    case WM_SETTINGSCHANGED:
        newinterval();
        return 0;
    default:
        if (message == taskbarcreated()) {
            ontaskbarcreated(hWnd);
            return 0;
        }
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}
