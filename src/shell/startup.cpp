#include "settings.h"
#include "shell.h"

#include <objbase.h>
#include <shellapi.h>
#include <shobjidl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

namespace {

// Held until the process ends. The main window only exists once the update check is over,
// so the window alone cannot tell a second start during the check.
vx::kernelhandle instancelock;

bool anotherinstance()
{
    instancelock.reset(CreateMutexA(nullptr, FALSE, INSTANCE_LOCK));
    bool exists = instancelock && GetLastError() == ERROR_ALREADY_EXISTS;
    if (exists)
        instancelock.reset();
    return exists;
}

// An unreachable server speaks once a calendar day; later failures that day go on silently.
// The box keeps the wording the program has always used, whatever the failure.
void failbox(context_t *ctx)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    char date[16];
    snprintf(date, sizeof date, "%04u-%02u-%02u", st.wYear, st.wMonth, st.wDay);
    std::wstring today(date, date + strlen(date));
    if (ctx->failshown == today)
        return;
    savefailshown(ctx, today);
    box(ctx->hwnd, trw("Auto Update Failed\nCan't initialise wininet"), "vexolind", MB_OK);
}

} // namespace

int InitApplication(HINSTANCE hInstance)
{
    srand((unsigned)time(nullptr));

    bool locked = anotherinstance();
    HWND running = FindWindowA(szAppName, szTitle);
    if (locked || running) {
        if (running && IsIconic(running))
            ShowWindow(running, SW_RESTORE);
        if (running)
            SetForegroundWindow(running);
        return 0;
    }

    // ShellExecute may hand a file or a link to a shell extension that COM activates; its
    // documentation asks for this apartment, without OLE1's DDE, on the calling thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    // Windows labels the toasts of our balloons with the name the installer registers for this id.
    SetCurrentProcessExplicitAppUserModelID(L"Vexolind.vexolind");

    WNDCLASSA wc = {};
    wc.style = CS_NOCLOSE;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(hInstance, szAppName);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    // A menu of this name was never in the resources; the hidden window shows none, as it always has.
    wc.lpszMenuName = "WIN95";
    wc.lpszClassName = szAppName;
    return RegisterClassA(&wc);
}

void presentupdate(context_t *ctx, checkoutcome outcome)
{
    switch (outcome) {
    case outcome_failbox:
        failbox(ctx);
        break;
    case outcome_offer:
        // The question keeps its wording, as the program has always asked it.
        if (userbox(ctx->hwnd, trw("An new version of vexolind is available!\nWould you like to install it ?").c_str(),
                    trw("vexolind update").c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES) {
            ShellExecuteA(nullptr, "open", DOWNLOAD_URL, nullptr, nullptr, SW_SHOWNORMAL);
            exit(0);
        }
        break;
    case outcome_nothing:
        break;
    }
}
