#include "quietdecision.h"
#include "settings.h"
#include "shell.h"

#include <shellapi.h>

showstyle parsestyle(const std::wstring &value)
{
    return lstrcmpiW(value.c_str(), L"note") == 0 ? show_note : show_box;
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

// A record of full size for this call alone: the icon's own records stay at 88 bytes.
BOOL balloon(const context_t *con, const wchar_t *text, bool moodballoon)
{
    NOTIFYICONDATAW nd = {};
    nd.cbSize = sizeof nd;
    nd.hWnd = con->hwnd;
    nd.uID = 0;
    nd.uFlags = NIF_INFO;
    lstrcpynW(nd.szInfoTitle, L"vexolind", ARRAYSIZE(nd.szInfoTitle));
    lstrcpynW(nd.szInfo, notetext(text).c_str(), ARRAYSIZE(nd.szInfo));
    nd.dwInfoFlags = NIIF_RESPECT_QUIET_TIME | (moodballoon ? NIIF_USER | NIIF_LARGE_ICON : NIIF_INFO);
    if (moodballoon)
        nd.hBalloonIcon = (HICON)LoadImageA(con->hinst, moodiconname(con), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                            GetSystemMetrics(SM_CYICON), LR_SHARED);
    return Shell_NotifyIconW(NIM_MODIFY, &nd);
}

bool hellopending;

} // namespace

bool notify(const context_t *con, const wchar_t *text)
{
    // A shell that knows no balloon icon of its own refuses the first record: the stock one then.
    return balloon(con, text, true) || balloon(con, text, false);
}

void hellolater()
{
    hellopending = true;
}

void hellotick(context_t *con, const quietinputs &in)
{
    bool splashup = con->hwnd_splash && IsWindowVisible(con->hwnd_splash);
    if (!hellopending || !hellodue(in, splashup))
        return;
    hellopending = false;
    notify(con, L"vexolind is running. Right-click its icon for settings; it may be under the ^ arrow.");
}

int showmessage(context_t *con, const wchar_t *text, const char *builtin)
{
    // A shell that knows no balloon icon of its own refuses the first record: the stock one then.
    if (parsestyle(inistring(con, L"show", L"style", L"box")) == show_note &&
        (balloon(con, text, true) || balloon(con, text, false)))
        return 1;
    // No owner: the box stands on its own rather than hiding with the main window.
    if (builtin)
        return doAlert(nullptr, builtin);
    userbox(nullptr, text, L"vexolind", MB_ICONWARNING);
    return 1;
}
