#include "choices.h"
#include "handles.h"
#include "shell.h"

namespace {

// Held from just before a box of ours is made until it is first activated, when it is moved.
// A hook procedure gets no context of its own, so what it needs waits here.
vx::hookhandle placing;
HWND placed;   // the box the hook saw made
boxsite site;
RECT fgwork, cursorwork;
wchar_t fgclass[64];

bool workarea(HMONITOR mon, RECT *work)
{
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    if (!mon || !GetMonitorInfoW(mon, &mi))
        return false;
    *work = mi.rcWork;
    return true;
}

// Where the user works, taken before the box exists.
void findsite()
{
    site = {};
    HWND fg = GetForegroundWindow();
    if (fg && GetClassNameW(fg, fgclass, ARRAYSIZE(fgclass))) {
        site.fgclass = fgclass;
        if (workarea(MonitorFromWindow(fg, MONITOR_DEFAULTTONULL), &fgwork))
            site.fgwork = &fgwork;
    }
    POINT pt;
    if (GetCursorPos(&pt) && workarea(MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &cursorwork))
        site.cursorwork = &cursorwork;
}

bool isdialog(HWND w)
{
    char cls[16] = "";
    return GetClassNameA(w, cls, sizeof cls) && lstrcmpA(cls, "#32770") == 0;
}

// The box has its final size only once MessageBox has laid it out, just before it is activated.
LRESULT CALLBACK placebox(int code, WPARAM wParam, LPARAM lParam)
{
    HWND w = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && !placed && isdialog(w)) {
        placed = w;
    } else if (code == HCBT_ACTIVATE && placed && w == placed) {
        RECT r;
        POINT at = {};
        bool move = GetWindowRect(w, &r) && boxorigin(site, {r.right - r.left, r.bottom - r.top}, &at);
        // Topmost once more: Wine creates the box without the style MB_TOPMOST asks for.
        SetWindowPos(w, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | (move ? 0 : SWP_NOMOVE));
        LRESULT next = CallNextHookEx(nullptr, code, wParam, lParam);
        placing.reset();
        return next;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

int placedbox(const std::function<int()> &show)
{
    findsite();
    placed = nullptr;
    if (!placing)
        placing.reset(SetWindowsHookExW(WH_CBT, placebox, nullptr, GetCurrentThreadId()));
    int answer = show();
    placing.reset();
    return answer;
}

int userbox(HWND owner, const wchar_t *text, const wchar_t *caption, UINT type)
{
    return placedbox([&] { return MessageBoxW(owner, text, caption, type | MB_TOPMOST); });
}
