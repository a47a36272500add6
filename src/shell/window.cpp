#include "handles.h"
#include "pauseplan.h"
#include "quietdecision.h"
#include "recent.h"
#include "resource.h"
#include "shell.h"

#include <shellapi.h>

namespace {

HICON moodicon(const context_t *con)
{
    return trayicon(con->hinst, moodiconname(con));
}

// The tip that wins: a pause's end, then why messages wait, then the mood.
const char *tipnow(const context_t *con)
{
    if (pausing(con->pauseuntil, utcnowms()))
        return con->pausetip;
    if (con->quiettip[0])
        return con->quiettip;
    return con->curki == kisses ? "vexolind - kissing you" : "vexolind - kicking you";
}

// The icon and tip of the current mood, as they stand now.
BOOL moodtray(context_t *con, DWORD msg, UINT flags)
{
    lstrcpynA(con->tipshown, tipnow(con), sizeof con->tipshown);
    return tray(con->hwnd, msg, flags, moodicon(con), con->tipshown);
}

// Explorer announces a restart with this message; its new tray knows nothing of our icon.
UINT taskbarcreated()
{
    static UINT msg = RegisterWindowMessageA("TaskbarCreated");
    return msg;
}

void ondestroy(HWND hWnd)
{
    unregisterkeys(hWnd);
    unwatchsession(hWnd);
    tray(hWnd, NIM_DELETE, 0, nullptr, nullptr);
    PostQuitMessage(0);
}

void onpause(context_t *con)
{
    if (pausing(con->pauseuntil, utcnowms()))
        endpause(con);
    else
        startpause(con, PAUSE_HOUR);
    refreshtip(con);
}

void ontraymenu(HWND hWnd)
{
    POINT pnt;
    GetCursorPos(&pnt);
    int cmd = contextmenu(con, pnt), minutes;
    if (pausecommand(cmd, &minutes)) {
        startpause(con, minutes);
        refreshtip(con);
        return;
    }
    if (cmd >= IDM_RECENT && cmd < IDM_RECENT + RECENT_MAX) {
        showagain(con, (size_t)(cmd - IDM_RECENT));
        return;
    }
    switch (cmd) {
    case IDM_ABOUT:
        doAbout(con);
        break;
    case IDM_SETTINGS:
        doSet(con);
        break;
    case IDM_MESSAGES:
        doMessages(con);
        break;
    case IDM_MORE:
        domore(con);
        break;
    case IDM_PAUSE:
        endpause(con);
        refreshtip(con);
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

void onhotkey(WPARAM id)
{
    if (id == HOTKEY_NOW)
        veXoLind(con);
    else if (id == HOTKEY_PAUSE)
        onpause(con);
}

void onalerttimer(HWND hWnd)
{
    watchsession(hWnd);
    pausetick(con);
    quietinputs in = quietinputsnow(con, GetTickCount64());
    auto why = (quietcause)alerttick(in, typingwait(in));
    quiettext(con->quiettip, sizeof con->quiettip, why, in.program);
    refreshtip(con);
}

void onsessionchange(WPARAM change)
{
    con->away = awayafter(con->away, (unsigned)change);
}

} // namespace

// Only when the text changes: the tray redraws on every record it gets.
void refreshtip(context_t *con)
{
    if (lstrcmpA(con->tipshown, tipnow(con)) != 0)
        moodtray(con, NIM_MODIFY, NIF_TIP);
}

const char *moodiconname(const context_t *con)
{
    return con->curki == kisses ? "KISSES" : "Kicker";
}

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
    ShowWindow(hwnd, SW_HIDE);
    tray(hwnd, NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP, trayicon(hInstance, "KISSES"), "vexolind");
    return hwnd;
}

BOOL tray(HWND hwnd, DWORD msg, UINT flags, HICON icon, const char *tip)
{
    // The 88-byte record that every shell reads; icon 0 of the main window is ours.
    NOTIFYICONDATAA pn = {};
    pn.cbSize = NOTIFYICONDATAA_V1_SIZE;
    pn.hWnd = hwnd;
    pn.uID = 0;
    pn.uFlags = flags;
    if (flags & NIF_MESSAGE)
        pn.uCallbackMessage = WM_TRAYNOTIFY;
    pn.hIcon = icon;
    if (tip)
        lstrcpynA(pn.szTip, tip, sizeof pn.szTip);
    return Shell_NotifyIconA(msg, &pn);
}

int seticon(context_t *con)
{
    moodtray(con, NIM_MODIFY, NIF_ICON | NIF_TIP);
    return 1;
}

int contextmenu(context_t *con, POINT pt)
{
    vx::menuhandle tp(LoadMenuA(con->hinst, "CONMENU1"));
    if (!tp)
        return IDM_NONE;
    HMENU popup = GetSubMenu(tp.get(), 0);
    shapemenu(popup, pausing(con->pauseuntil, utcnowms()));
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
    case WM_HOTKEY:
        onhotkey(wParam);
        return 0;
    case WM_WTSSESSION_CHANGE:
        onsessionchange(wParam);
        return 0;
    case WM_SETTINGSCHANGED:
        newinterval();
        return 0;
    case WM_COPYDATA:
        return onswitchdata(hWnd, (HWND)wParam, (const COPYDATASTRUCT *)lParam);
    case WM_SWITCH:
        runswitch(con, (int)wParam, (int)lParam);
        return 0;
    default:
        // Explorer's new tray knows nothing of our icon.
        if (message == taskbarcreated()) {
            moodtray(con, NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
            return 0;
        }
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}
