#include "choices.h"
#include "handles.h"
#include "quietdecision.h"
#include "resource.h"
#include "shell.h"

#include <shellapi.h>

namespace {

HICON moodicon(const context_t *con)
{
    return trayicon(con->hinst, moodiconname(con));
}

bool light = true;
bool themeread;

// The tip that wins: a pause's end, then why messages wait, then the mood.
const wchar_t *tipnow(const context_t *con)
{
    if (pausing(con->pauseuntil, GetTickCount64()))
        return con->pausetip;
    if (con->quiettip[0])
        return con->quiettip;
    return con->curki == kisses ? L"vexolind - kissing you" : L"vexolind - kicking you";
}

// The icon and tip of the current mood, as they stand now.
BOOL moodtray(context_t *con, DWORD msg, UINT flags)
{
    lstrcpynW(con->tipshown, tipnow(con), ARRAYSIZE(con->tipshown));
    return tray(con->hwnd, msg, flags, moodicon(con), con->tipshown);
}

// Only when the text changes: the tray redraws on every record it gets.
void refreshtip(context_t *con)
{
    if (lstrcmpW(con->tipshown, tipnow(con)) != 0)
        moodtray(con, NIM_MODIFY, NIF_TIP);
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
    uint64_t now = GetTickCount64();
    if (pausing(con->pauseuntil, now))
        con->pauseuntil = 0;
    else
        startpause(con, now);
    refreshtip(con);
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
    case IDM_MESSAGES:
        doMessages(con);
        break;
    case IDM_MORE:
        domore(con);
        break;
    case IDM_PAUSE:
        onpause(con);
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
    quietinputs in = quietinputsnow(con, GetTickCount64());
    auto why = (quietcause)alerttick(in, typingwait(in));
    quiettext(con->quiettip, ARRAYSIZE(con->quiettip), why, in.program);
    refreshtip(con);
    hellotick(con, in);
}

// A new colour scheme may have turned the taskbar light or dark: the icon follows at once.
void onsettingchange(LPARAM lParam)
{
    const char *area = reinterpret_cast<const char *>(lParam);
    if (area && lstrcmpiA(area, "ImmersiveColorSet") == 0 && readtheme())
        seticon(con);
}

void onsessionchange(WPARAM change)
{
    con->away = awayafter(con->away, (unsigned)change);
}

} // namespace

const char *moodiconname(const context_t *con)
{
    return moodicon(con->curki == kisses, lightnow());
}

bool readtheme()
{
    DWORD value = 0, size = sizeof value;
    bool read = RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                             L"SystemUsesLightTheme", RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS;
    bool was = light, known = themeread;
    light = lighttaskbar(read, value);
    themeread = true;
    return !known || light != was;
}

bool lightnow()
{
    if (!themeread)
        readtheme();
    return light;
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
    tray(hwnd, NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP, trayicon(hInstance, "KISSES"), L"vexolind");
    return hwnd;
}

BOOL tray(HWND hwnd, DWORD msg, UINT flags, HICON icon, const wchar_t *tip)
{
    // The first version's record, which every shell reads, with its 63-character tip; wide, so
    // that a program's name in any script shows as Windows writes it. Icon 0 of the main
    // window is ours.
    NOTIFYICONDATAW pn = {};
    pn.cbSize = NOTIFYICONDATAW_V1_SIZE;
    pn.hWnd = hwnd;
    pn.uID = 0;
    pn.uFlags = flags;
    if (flags & NIF_MESSAGE)
        pn.uCallbackMessage = WM_TRAYNOTIFY;
    pn.hIcon = icon;
    if (tip)
        lstrcpynW(pn.szTip, tip, ARRAYSIZE(pn.szTip));
    return Shell_NotifyIconW(msg, &pn);
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
    case WM_HOTKEY:
        onhotkey(wParam);
        return 0;
    case WM_WTSSESSION_CHANGE:
        onsessionchange(wParam);
        return 0;
    case WM_SETTINGSCHANGED:
        newinterval();
        return 0;
    case WM_SETTINGCHANGE:
        onsettingchange(lParam);
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
