// The floor vexolind is measured against: a hidden window, one tray icon, a one-second timer
// and, on a tray double-click, one message box, as vexolind shows on the same click.
#include <windows.h>
#include <shellapi.h>

namespace {

const UINT traynotify = 99;
const char cls[] = "vxbare";

NOTIFYICONDATAA record(HWND hwnd, UINT flags)
{
    NOTIFYICONDATAA pn = {};
    pn.cbSize = NOTIFYICONDATAA_V1_SIZE;
    pn.hWnd = hwnd;
    pn.uFlags = flags;
    return pn;
}

LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case traynotify:
        if (lParam == WM_LBUTTONDBLCLK)
            MessageBoxA(nullptr, "A bare tray program", "vxbare", MB_ICONWARNING);
        return 0;
    case WM_TIMER:
        return 0;
    case WM_DESTROY: {
        NOTIFYICONDATAA pn = record(hwnd, 0);
        Shell_NotifyIconA(NIM_DELETE, &pn);
        PostQuitMessage(0);
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = hInstance;
    wc.lpszClassName = cls;
    if (!RegisterClassA(&wc))
        return 1;
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, cls, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                                nullptr, nullptr, hInstance, nullptr);
    if (!hwnd)
        return 1;
    NOTIFYICONDATAA pn = record(hwnd, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    pn.uCallbackMessage = traynotify;
    pn.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(pn.szTip, "vxbare", sizeof pn.szTip);
    Shell_NotifyIconA(NIM_ADD, &pn);
    SetTimer(hwnd, 1, 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
