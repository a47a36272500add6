#include "handles.h"
#include "shell.h"

#include <objbase.h>
#include <shobjidl.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

namespace {

// Held until the process ends. The main window only exists once the update check is over,
// so the window alone cannot tell a second start during the check.
vx::kernelhandle instancelock;

bool anotherinstance()
{
    HANDLE m = CreateMutexA(nullptr, FALSE, "Local\\vexolind");
    bool exists = m && GetLastError() == ERROR_ALREADY_EXISTS;
    instancelock.reset(m);
    if (exists)
        instancelock.reset();
    return exists;
}

} // namespace

int InitApplication(HINSTANCE hInstance)
{
    srand((unsigned)time(nullptr));
    con->hinst = hInstance;

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
