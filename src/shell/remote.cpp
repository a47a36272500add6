#include "handles.h"
#include "pauseplan.h"
#include "settings.h"
#include "shell.h"
#include "switches.h"

#include <vector>

namespace {

// The tag of a switch sent as WM_COPYDATA; the text after it is parsed again on arrival.
const ULONG_PTR switchtag = 0x56585357;
const size_t switchmax = 64;
// The update check runs before a starting vexolind has its window, for at most ten seconds.
const DWORD startwait = 20000;
const UINT sendwait = 10000;
static_assert(PAUSE_UNTILRESUMED == 0, "a switch's pause until resumed is 0 minutes");

std::vector<BYTE> tokenuser(HANDLE process)
{
    HANDLE t = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &t))
        return {};
    vx::kernelhandle token(t);
    DWORD size = 0;
    GetTokenInformation(t, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> info(size);
    if (!size || !GetTokenInformation(t, TokenUser, info.data(), size, &size))
        return {};
    return info;
}

// The window's process runs in our session as our user. WM_COPYDATA names its sender only by
// the window handle the sender passes.
bool ourown(HWND sender)
{
    DWORD pid = 0, theirs = 0, mine = 0;
    if (!sender || !GetWindowThreadProcessId(sender, &pid) || !pid || !ProcessIdToSessionId(pid, &theirs) ||
        !ProcessIdToSessionId(GetCurrentProcessId(), &mine) || theirs != mine)
        return false;
    vx::kernelhandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process)
        return false;
    std::vector<BYTE> a = tokenuser(process.get()), b = tokenuser(GetCurrentProcess());
    return !a.empty() && !b.empty() &&
           EqualSid(reinterpret_cast<TOKEN_USER *>(a.data())->User.Sid, reinterpret_cast<TOKEN_USER *>(b.data())->User.Sid);
}

HWND runningwindow()
{
    HWND w = FindWindowA(szAppName, nullptr);
    if (w)
        return w;
    vx::kernelhandle lock(OpenMutexA(SYNCHRONIZE, FALSE, INSTANCE_LOCK));
    for (DWORD waited = 0; lock && !w && waited < startwait; waited += 100) {
        Sleep(100);
        w = FindWindowA(szAppName, nullptr);
    }
    return w;
}

void setmood(context_t *ctx, bool kiss)
{
    // As the settings dialog's OK does it.
    ctx->curki = kiss ? kisses : kickers;
    seticon(ctx);
    if (!savesettings(ctx))
        savefailed(nullptr, ctx);
    PostMessageA(ctx->hwnd, WM_SETTINGSCHANGED, 0, 0);
}

} // namespace

int sendswitch(const wchar_t *tail)
{
    HWND target = runningwindow();
    if (!target)
        return 3;
    // A message-only window: something to name as the sender, never shown.
    HWND self = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    std::wstring text = tail;
    COPYDATASTRUCT data = {switchtag, (DWORD)(text.size() * sizeof(wchar_t)), (void *)text.data()};
    DWORD_PTR answer = FALSE;
    LRESULT sent = SendMessageTimeoutW(target, WM_COPYDATA, (WPARAM)self, (LPARAM)&data, SMTO_ABORTIFHUNG, sendwait,
                                       &answer);
    if (self)
        DestroyWindow(self);
    return sent && answer == TRUE ? 0 : 3;
}

LRESULT onswitchdata(HWND hwnd, HWND sender, const COPYDATASTRUCT *data)
{
    if (!data || data->dwData != switchtag || !data->lpData || data->cbData % sizeof(wchar_t) ||
        data->cbData > switchmax * sizeof(wchar_t))
        return FALSE;
    std::wstring text(static_cast<const wchar_t *>(data->lpData), data->cbData / sizeof(wchar_t));
    cmdswitch s = parseswitch(text.c_str());
    if (text.find(L'\0') != std::wstring::npos || s.kind == switch_none || !ourown(sender))
        return FALSE;
    // Acted on once the sender has its answer, so that it never waits for a box to close.
    PostMessageW(hwnd, WM_SWITCH, (WPARAM)s.kind, (LPARAM)s.minutes);
    return TRUE;
}

void runswitch(context_t *ctx, int kind, int minutes)
{
    switch (kind) {
    case switch_now:
        veXoLind(ctx);
        break;
    case switch_pause:
        startpause(ctx, minutes);
        refreshtip(ctx);
        break;
    case switch_resume:
        endpause(ctx);
        refreshtip(ctx);
        break;
    case switch_kiss:
    case switch_kick:
        setmood(ctx, kind == switch_kiss);
        break;
    case switch_exit:
        DestroyWindow(ctx->hwnd);
        break;
    default:
        break;
    }
}
