#include "msgfiles.h"
#include "recent.h"
#include "shell.h"
#include "sound.h"
#include "text.h"

#include <shellapi.h>

showstyle parsestyle(const std::wstring &value)
{
    return sameletters(value, L"note") ? show_note : show_box;
}

std::wstring notetext(const std::wstring &text)
{
    const size_t room = ARRAYSIZE(NOTIFYICONDATAW{}.szInfo) - 1;
    if (text.size() <= room)
        return text;
    // Never half a character: a pair that does not fit goes whole.
    return text.substr(0, IS_HIGH_SURROGATE(text[room - 1]) ? room - 1 : room);
}

namespace {

// A record of full size for this call alone: the icon's own records stay at the first version's size.
BOOL balloon(const context_t *ctx, const wchar_t *text, bool moodballoon, bool silent)
{
    auto nd = trayrecord<NOTIFYICONDATAW>(ctx->hwnd, sizeof(NOTIFYICONDATAW), NIF_INFO);
    lstrcpynW(nd.szInfoTitle, L"vexolind", ARRAYSIZE(nd.szInfoTitle));
    lstrcpynW(nd.szInfo, notetext(text).c_str(), ARRAYSIZE(nd.szInfo));
    nd.dwInfoFlags = NIIF_RESPECT_QUIET_TIME | (moodballoon ? NIIF_USER | NIIF_LARGE_ICON : NIIF_INFO) |
                     (silent ? NIIF_NOSOUND : 0);
    if (moodballoon)
        nd.hBalloonIcon = (HICON)LoadImageA(ctx->hinst, moodiconname(ctx), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                            GetSystemMetrics(SM_CYICON), LR_SHARED);
    return Shell_NotifyIconW(NIM_MODIFY, &nd);
}

} // namespace

int doAlert(HWND hWnd, const char *text)
{
    // The built-in texts are ASCII; any other is read in the ANSI code page, as MessageBoxA would.
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(n > 0 ? (size_t)n : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], n);
    userbox(hWnd, wide.c_str(), L"vexolind", MB_ICONWARNING);
    return 1;
}

bool notify(const context_t *ctx, const wchar_t *text, bool silent)
{
    // A shell that knows no balloon icon of its own refuses the first record: the stock one then.
    return balloon(ctx, text, true, silent) || balloon(ctx, text, false, silent);
}

void hellotick(context_t *ctx, const quietinputs &in)
{
    bool splashup = ctx->hwnd_splash && IsWindowVisible(ctx->hwnd_splash);
    if (!ctx->hello || !hellodue(in, splashup))
        return;
    ctx->hello = false;
    notify(ctx, trw("vexolind is running. Right-click its icon for settings; it may be under the ^ arrow.").c_str());
}

int showmessage(context_t *ctx, const wchar_t *text, const char *builtin)
{
    bool silent = startsound(parsesound(ctx->sound));
    if (parsestyle(ctx->style) == show_note && notify(ctx, text, silent))
        return 1;
    // No owner: the box stands on its own rather than hiding with the main window.
    if (silent)
        return silentbox(text);
    if (builtin)
        return doAlert(nullptr, builtin);
    userbox(nullptr, text, L"vexolind", MB_ICONWARNING);
    return 1;
}

int veXoLind(context_t *ctx)
{
    vx::onlyone guard(ctx->inside);
    if (!guard)
        return -1;
    msgfilestate &mood = ctx->moods[ctx->curki == kisses ? 0 : 1];
    refreshmsgfile(msgfilepath(ctx), mood);
    alerttext m = pickmessage(ctx->curki, mood);
    remember(ctx->recent, m);
    showmessage(ctx, alertwide(m).c_str(), m.builtin);
    return 1;
}

int showagain(context_t *ctx, size_t index)
{
    vx::onlyone guard(ctx->inside);
    if (!guard || index >= ctx->recent.size())
        return -1;
    // A copy: the list may change while the box is open.
    alerttext m = ctx->recent[index];
    showmessage(ctx, alertwide(m).c_str(), m.builtin);
    return 1;
}
