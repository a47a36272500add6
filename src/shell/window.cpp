#include "handles.h"
#include "lang.h"
#include "pauseplan.h"
#include "quietdecision.h"
#include "recent.h"
#include "resource.h"
#include "shell.h"

#include <shellapi.h>

namespace {

std::wstring ansiwide(const char *text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring w(n > 0 ? n : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &w[0], n);
    w.resize(n > 0 ? n - 1 : 0);
    return w;
}

HICON moodicon(const context_t *ctx)
{
    return trayicon(ctx->hinst, moodiconname(ctx));
}

// The tip that wins: a pause's end, then why messages wait, then the mood.
std::string tipnow(const context_t *ctx)
{
    if (pausing(ctx->pauseuntil, utcnowms()))
        return ctx->pausetip;
    if (ctx->quiettip[0])
        return ctx->quiettip;
    return ctx->curki == kisses ? tr("vexolind - kissing you") : tr("vexolind - kicking you");
}

// The icon and tip of the current mood, as they stand now.
BOOL moodtray(context_t *ctx, DWORD msg, UINT flags)
{
    lstrcpynA(ctx->tipshown, tipnow(ctx).c_str(), sizeof ctx->tipshown);
    return tray(ctx->hwnd, msg, flags, moodicon(ctx), ctx->tipshown);
}

// Explorer announces a restart with this message; its new tray knows nothing of our icon.
// Registered once, before the window exists: the same number for the life of the process.
const UINT taskbarcreated = RegisterWindowMessageA("TaskbarCreated");

LRESULT ondestroy(context_t *ctx)
{
    for (vx::hotkey &k : ctx->keys)
        k.reset();
    ctx->session.reset();
    tray(ctx->hwnd, NIM_DELETE, 0, nullptr, nullptr);
    PostQuitMessage(0);
    return 0;
}

void onpause(context_t *ctx)
{
    if (pausing(ctx->pauseuntil, utcnowms()))
        endpause(ctx);
    else
        startpause(ctx, PAUSE_HOUR);
    refreshtip(ctx);
}

void ontraymenu(context_t *ctx)
{
    POINT pnt;
    GetCursorPos(&pnt);
    int cmd = contextmenu(ctx, pnt), minutes;
    if (pausecommand(cmd, &minutes)) {
        startpause(ctx, minutes);
        refreshtip(ctx);
        return;
    }
    if (cmd >= IDM_RECENT && cmd < IDM_RECENT + RECENT_MAX) {
        showagain(ctx, (size_t)(cmd - IDM_RECENT));
        return;
    }
    switch (cmd) {
    case IDM_ABOUT:
        doAbout(ctx);
        break;
    case IDM_SETTINGS:
        doSet(ctx);
        break;
    case IDM_MESSAGES:
        doMessages(ctx);
        break;
    case IDM_MORE:
        domore(ctx);
        break;
    case IDM_PAUSE:
        endpause(ctx);
        refreshtip(ctx);
        break;
    case IDM_EXIT:
        DestroyWindow(ctx->hwnd);
        break;
    default:
        break;
    }
}

LRESULT ontraynotify(context_t *ctx, LPARAM lParam)
{
    if (lParam == WM_LBUTTONDBLCLK)
        veXoLind(ctx);
    else if (lParam == WM_RBUTTONUP)
        ontraymenu(ctx);
    return 0;
}

LRESULT onhotkey(context_t *ctx, WPARAM id)
{
    if (id == HOTKEY_NOW)
        veXoLind(ctx);
    if (id == HOTKEY_PAUSE)
        onpause(ctx);
    return 0;
}

LRESULT onalerttimer(context_t *ctx)
{
    watchsession(ctx);
    pausetick(ctx);
    quietinputs in = quietinputsnow(ctx, GetTickCount64());
    bool due = false;
    quietcause why = alerttick(ctx, in, typingwait(in), &due);
    // The process list names programs in the ANSI code page; the tips are UTF-8.
    std::string program = in.program ? narrow(ansiwide(in.program)) : "";
    quiettext(ctx->quiettip, sizeof ctx->quiettip, why, in.program ? program.c_str() : nullptr);
    refreshtip(ctx);
    if (due)
        veXoLind(ctx);
    return 0;
}

LRESULT onsessionchange(context_t *ctx, WPARAM change)
{
    ctx->away = awayafter(ctx->away, (unsigned)change);
    return 0;
}

} // namespace

// Only when the text changes: the tray redraws on every record it gets.
void refreshtip(context_t *ctx)
{
    if (tipnow(ctx) != ctx->tipshown)
        moodtray(ctx, NIM_MODIFY, NIF_TIP);
}

const char *moodiconname(const context_t *ctx)
{
    return ctx->curki == kisses ? "KISSES" : "Kicker";
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
    // The first record, that every shell reads; icon 0 of the main window is ours. The tip comes
    // as UTF-8, and the record takes 63 characters of it.
    auto pn = trayrecord<NOTIFYICONDATAW>(hwnd, NOTIFYICONDATAW_V1_SIZE, flags);
    if (flags & NIF_MESSAGE)
        pn.uCallbackMessage = WM_TRAYNOTIFY;
    pn.hIcon = icon;
    if (tip)
        lstrcpynW(pn.szTip, widen(tip).c_str(), ARRAYSIZE(pn.szTip));
    return Shell_NotifyIconW(msg, &pn);
}

int seticon(context_t *ctx)
{
    moodtray(ctx, NIM_MODIFY, NIF_ICON | NIF_TIP);
    return 1;
}

int contextmenu(context_t *ctx, POINT pt)
{
    vx::menuhandle tp(LoadMenuA(ctx->hinst, "CONMENU1"));
    if (!tp)
        return IDM_NONE;
    HMENU popup = GetSubMenu(tp.get(), 0);
    localisemenu(popup);
    shapemenu(ctx, popup, pausing(ctx->pauseuntil, utcnowms()));
    // Without the foreground switch before and the WM_NULL after, a tray menu never
    // closes when the user clicks elsewhere.
    SetForegroundWindow(ctx->hwnd);
    int cmd = (int)TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_BOTTOMALIGN | TPM_RIGHTALIGN | TPM_RIGHTBUTTON,
                                    pt.x, pt.y, ctx->hwnd, nullptr);
    PostMessageA(ctx->hwnd, WM_NULL, 0, 0);
    return cmd;
}

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
    case WM_SETTINGSCHANGED:
        newinterval(con);
        return 0;
    case WM_DESTROY:
        return ondestroy(con);
    case WM_TRAYNOTIFY:
        return ontraynotify(con, lParam);
    case WM_TIMER:
        return onalerttimer(con);
    case WM_HOTKEY:
        return onhotkey(con, wParam);
    case WM_WTSSESSION_CHANGE:
        return onsessionchange(con, wParam);
    case WM_COPYDATA:
        return onswitchdata(hWnd, (HWND)wParam, (const COPYDATASTRUCT *)lParam);
    case WM_SWITCH:
        runswitch(con, (int)wParam, (int)lParam);
        return 0;
    default:
        // Explorer's new tray knows nothing of our icon.
        if (message == taskbarcreated) {
            moodtray(con, NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
            return 0;
        }
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}
