#include "shell.h"

#include <string.h>

namespace {

const int splashwidth = 335, splashheight = 229;

// The picture handed to the layered window, which keeps its own copy for About to show again:
// the bitmap and device contexts that carried it are freed at once, 300 KB held for nothing.
void drawsplash(HWND hwnd, const context_t *ctx)
{
    const unsigned char *picture = loadsplash(ctx->hinst);
    vx::windowdc screen(hwnd);
    vx::dchandle memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = splashwidth;
    bmi.bmiHeader.biHeight = -splashheight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    bmi.bmiHeader.biSizeImage = splashwidth * splashheight * 4;
    void *bits = nullptr;
    vx::gdiobject bitmap(CreateDIBSection(screen.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits && picture)
        memcpy(bits, picture, (size_t)splashwidth * splashheight * 4);
    POINT at = {ctx->screenx / 2 - splashwidth / 2, ctx->screeny / 2 - splashheight / 2}, origin = {0, 0};
    SIZE size = {splashwidth, splashheight};
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    {
        vx::selection chosen(memory.get(), bitmap.get());
        UpdateLayeredWindow(hwnd, screen.get(), &at, &size, memory.get(), &origin, 0, &bf, ULW_ALPHA);
    }
    SetWindowPos(hwnd, HWND_TOPMOST, at.x, at.y, splashwidth, splashheight, SWP_SHOWWINDOW);
}

bool oursornone(HWND w)
{
    DWORD pid = 0;
    return !w || (GetWindowThreadProcessId(w, &pid) && pid == GetCurrentProcessId());
}

// The start-up splash took the keyboard: it goes back where it was, unless the user has moved
// on to another program meanwhile. About's splash leaves the focus as it is.
void hidesplash(HWND hwnd, context_t *ctx)
{
    HWND w = ctx->front;
    ctx->front = nullptr;
    // Before the splash hides: an active window that hides hands the activation on by itself,
    // and Wine's focus events could then take it from the window given it.
    if (w && IsWindow(w) && oursornone(GetForegroundWindow()))
        SetForegroundWindow(w);
    ShowWindow(hwnd, SW_HIDE);
}

} // namespace

void rememberfront(context_t *ctx)
{
    HWND fg = GetForegroundWindow();
    ctx->front = oursornone(fg) ? nullptr : fg;
}

const unsigned char *loadsplash(HINSTANCE hinst)
{
    HRSRC res = FindResourceA(hinst, "SPLASH", MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    if (!res || SizeofResource(hinst, res) != SPLASH_BYTES)
        return nullptr;
    HGLOBAL data = LoadResource(hinst, res);
    return data ? static_cast<const unsigned char *>(LockResource(data)) : nullptr;
}

HWND createsplash(context_t *ctx)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = splashProc;
    wc.hInstance = ctx->hinst;
    wc.hIcon = LoadIconA(ctx->hinst, "KISSES");
    wc.hIconSm = LoadIconA(ctx->hinst, "KISSES");
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    // The class keeps its brush for the life of the process, as the window it paints does.
    wc.hbrBackground = CreateSolidBrush(RGB(212, 212, 212));
    wc.lpszClassName = "Splash";
    if (!RegisterClassExA(&wc))
        return nullptr;

    return CreateWindowExA(WS_EX_LAYERED, "Splash", "Welcome to Ozzlewick", WS_POPUP | WS_VISIBLE | WS_SYSMENU, 0, 0,
                           splashwidth, splashheight, ctx->hwnd, nullptr, ctx->hinst, ctx);
}

LRESULT CALLBACK splashProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        drawsplash(hwnd, static_cast<const context_t *>(reinterpret_cast<CREATESTRUCTA *>(lParam)->lpCreateParams));
        SetTimer(hwnd, ID_SPLASH_TIMER, 2000, nullptr);
        return 0;
    case WM_SHOWWINDOW:
        return 0;
    case WM_TIMER:
        KillTimer(hwnd, ID_SPLASH_TIMER);
        [[fallthrough]];
    case WM_LBUTTONUP:
        hidesplash(hwnd, con);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

int doAbout(context_t *ctx)
{
    vx::onlyone guard(ctx->abup);
    if (!guard)
        return 1;
    SetForegroundWindow(ctx->hwnd);
    // Before the splash window exists this only brings the main window forward.
    if (ctx->hwnd_splash)
        ShowWindow(ctx->hwnd_splash, SW_SHOW);
    return 1;
}
