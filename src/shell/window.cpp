#include "choices.h"
#include "handles.h"
#include "lang.h"
#include "pauseplan.h"
#include "quietdecision.h"
#include "recent.h"
#include "resource.h"
#include "shell.h"
#include "switches.h"

#include <shellapi.h>

namespace {

// The tip that wins: a pause's end, then why messages wait, then the mood.
std::wstring tipnow(const context_t *ctx)
{
    if (pausing(ctx->pauseuntil, utcnowms()))
        return widen(ctx->pausetip);
    if (ctx->quiettip[0])
        return ctx->quiettip;
    return ctx->curki == kisses ? trw("vexolind - kissing you") : trw("vexolind - kicking you");
}

// The icon and tip of the current mood, as they stand now.
BOOL moodtray(context_t *ctx, DWORD msg, UINT flags)
{
    lstrcpynW(ctx->tipshown, tipnow(ctx).c_str(), ARRAYSIZE(ctx->tipshown));
    return tray(ctx->hwnd, msg, flags, trayicon(ctx->hinst, moodiconname(ctx)), ctx->tipshown);
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

void ontraymenu(context_t *ctx)
{
    POINT pnt;
    GetCursorPos(&pnt);
    int cmd = contextmenu(ctx, pnt), minutes;
    if (pausecommand(cmd, &minutes)) {
        runswitch(ctx, switch_pause, minutes);
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
        runswitch(ctx, switch_resume, 0);
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
        runswitch(ctx, pausing(ctx->pauseuntil, utcnowms()) ? switch_resume : switch_pause, PAUSE_HOUR);
    return 0;
}

LRESULT onalerttimer(context_t *ctx)
{
    watchsession(ctx);
    pausetick(ctx);
    quietinputs in = quietinputsnow(ctx, GetTickCount64());
    bool due = false;
    quietcause why = alerttick(ctx, in, typingwait(in), &due);
    quiettext(ctx->quiettip, ARRAYSIZE(ctx->quiettip), why, in.program);
    refreshtip(ctx);
    hellotick(ctx, in);
    if (due)
        veXoLind(ctx);
    return 0;
}

// A new colour scheme may have turned the taskbar light or dark: the icon follows at once.
// The main window is an ANSI one, so the area's name comes narrow.
LRESULT onsettingchange(context_t *ctx, LPARAM lParam)
{
    const char *area = reinterpret_cast<const char *>(lParam);
    if (area && lstrcmpiA(area, "ImmersiveColorSet") == 0 && readtheme(ctx))
        seticon(ctx);
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
    return moodicon(ctx->curki == kisses, ctx->light);
}

bool readtheme(context_t *ctx)
{
    DWORD value = 0, size = sizeof value;
    bool read = RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                             L"SystemUsesLightTheme", RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS;
    bool was = ctx->light;
    ctx->light = lighttaskbar(read, value);
    return ctx->light != was;
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
    tray(hwnd, NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP, trayicon(hInstance, "KISSES"), L"vexolind");
    return hwnd;
}

BOOL tray(HWND hwnd, DWORD msg, UINT flags, HICON icon, const wchar_t *tip)
{
    // The first version's record, which every shell reads, with its 63-character tip; wide, so
    // that a program's name in any script shows as Windows writes it. Icon 0 of the main
    // window is ours.
    auto pn = trayrecord<NOTIFYICONDATAW>(hwnd, NOTIFYICONDATAW_V1_SIZE, flags);
    if (flags & NIF_MESSAGE)
        pn.uCallbackMessage = WM_TRAYNOTIFY;
    pn.hIcon = icon;
    if (tip)
        lstrcpynW(pn.szTip, tip, ARRAYSIZE(pn.szTip));
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
    case WM_SETTINGCHANGE:
        return onsettingchange(con, lParam);
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
