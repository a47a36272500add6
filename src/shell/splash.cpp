#include "shell.h"

#include <string.h>

const unsigned char *splashbuf;

namespace {

HWND front;   // until the start-up splash hides

bool oursornone(HWND w)
{
    DWORD pid = 0;
    return !w || (GetWindowThreadProcessId(w, &pid) && pid == GetCurrentProcessId());
}

// The start-up splash took the keyboard: it goes back where it was, unless the user has
// moved on to another program meanwhile. About's splash leaves the focus as it is.
void hidesplash(HWND hwnd)
{
    HWND w = front;
    front = nullptr;
    bool giveback = w && IsWindow(w) && oursornone(GetForegroundWindow());
    ShowWindow(hwnd, SW_HIDE);
    if (giveback)
        SetForegroundWindow(w);
}

} // namespace

void rememberfront()
{
    HWND fg = GetForegroundWindow();
    front = oursornone(fg) ? nullptr : fg;
}

const unsigned char *loadsplash(HINSTANCE hinst)
{
    HRSRC res = FindResourceA(hinst, "SPLASH", MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    if (!res || SizeofResource(hinst, res) != SPLASH_BYTES)
        return nullptr;
    HGLOBAL data = LoadResource(hinst, res);
    return data ? static_cast<const unsigned char *>(LockResource(data)) : nullptr;
}

HWND createsplash(context_t *con)
{
    splashbuf = loadsplash(con->hinst);

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = splashProc;
    wc.hInstance = con->hinst;
    wc.hIcon = LoadIconA(con->hinst, "KISSES");
    wc.hIconSm = LoadIconA(con->hinst, "KISSES");
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(RGB(212, 212, 212));
    wc.lpszClassName = "Splash";
    if (!RegisterClassExA(&wc))
        return nullptr;

    return CreateWindowExA(WS_EX_LAYERED, "Splash", "Welcome to Ozzlewick", WS_POPUP | WS_VISIBLE | WS_SYSMENU, 0, 0,
                           335, 229, con->hwnd, nullptr, con->hinst, nullptr);
}

LRESULT CALLBACK splashProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    static HDC hdcs, hdcsr;
    static HBITMAP hbitmap;
    static void *pvBits;
    static BITMAPINFO bmi;
    static POINT pt, ipt;
    static SIZE sz;
    static BLENDFUNCTION bf;
    static int actualx, actualy;

    switch (message) {
    case WM_CREATE:
        hdcs = GetDC(hwnd);
        hdcsr = CreateCompatibleDC(hdcs);
        bf.BlendOp = AC_SRC_OVER;
        bf.BlendFlags = 0;
        bf.SourceConstantAlpha = 255;
        bf.AlphaFormat = AC_SRC_ALPHA;
        actualx = 335;
        actualy = 229;
        bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = actualx;
        bmi.bmiHeader.biHeight = -actualy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        bmi.bmiHeader.biSizeImage = actualx * actualy * 4;
        sz.cx = actualx;
        sz.cy = actualy;
        ipt.x = ipt.y = 0;
        pt.x = con->screenx / 2 - actualx / 2;
        pt.y = con->screeny / 2 - actualy / 2;
        hbitmap = CreateDIBSection(hdcs, &bmi, DIB_RGB_COLORS, &pvBits, nullptr, 0);
        if (pvBits && splashbuf)
            memcpy(pvBits, splashbuf, (size_t)actualx * actualy * 4);
        SelectObject(hdcsr, hbitmap);
        UpdateLayeredWindow(hwnd, hdcs, &pt, &sz, hdcsr, &ipt, 0, &bf, ULW_ALPHA);
        // The layered window keeps its own copy of the picture, which About shows again:
        // the bitmap and device contexts that handed it over would hold 300 KB for nothing.
        DeleteDC(hdcsr);
        DeleteObject(hbitmap);
        ReleaseDC(hwnd, hdcs);
        hdcsr = hdcs = nullptr;
        hbitmap = nullptr;
        pvBits = nullptr;
        SetWindowPos(hwnd, HWND_TOPMOST, pt.x, pt.y, actualx, actualy, SWP_SHOWWINDOW);
        SetTimer(hwnd, ID_SPLASH_TIMER, 2000, nullptr);
        return 0;
    case WM_SHOWWINDOW:
        return 0;
    case WM_TIMER:
        KillTimer(hwnd, ID_SPLASH_TIMER);
        hidesplash(hwnd);
        return 0;
    case WM_LBUTTONUP:
        hidesplash(hwnd);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

int doAbout(context_t *con)
{
    static int abup;
    if (abup)
        return 1;
    abup = 1;
    SetForegroundWindow(con->hwnd);
    // Before the splash window exists this only brings the main window forward.
    if (con->hwnd_splash)
        ShowWindow(con->hwnd_splash, SW_SHOW);
    abup = 0;
    return 1;
}
