#include "settings.h"
#include "shell.h"
#include "sound.h"

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
BOOL balloon(const context_t *con, const wchar_t *text, bool moodballoon, bool silent)
{
    NOTIFYICONDATAW nd = {};
    nd.cbSize = sizeof nd;
    nd.hWnd = con->hwnd;
    nd.uID = 0;
    nd.uFlags = NIF_INFO;
    lstrcpynW(nd.szInfoTitle, L"vexolind", ARRAYSIZE(nd.szInfoTitle));
    lstrcpynW(nd.szInfo, notetext(text).c_str(), ARRAYSIZE(nd.szInfo));
    nd.dwInfoFlags = NIIF_RESPECT_QUIET_TIME | (moodballoon ? NIIF_USER | NIIF_LARGE_ICON : NIIF_INFO) |
                     (silent ? NIIF_NOSOUND : 0);
    if (moodballoon)
        nd.hBalloonIcon = (HICON)LoadImageA(con->hinst, moodiconname(con), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                            GetSystemMetrics(SM_CYICON), LR_SHARED);
    return Shell_NotifyIconW(NIM_MODIFY, &nd);
}

} // namespace

int showmessage(context_t *con, const wchar_t *text, const char *builtin)
{
    bool silent = startsound(parsesound(inistring(con, L"show", L"sound", L"")));
    // A shell that knows no balloon icon of its own refuses the first record: the stock one then.
    if (parsestyle(inistring(con, L"show", L"style", L"box")) == show_note &&
        (balloon(con, text, true, silent) || balloon(con, text, false, silent)))
        return 1;
    // No owner: the box stands on its own rather than hiding with the main window.
    if (silent)
        return silentbox(text);
    if (builtin)
        return doAlert(nullptr, builtin);
    MessageBoxW(nullptr, text, L"vexolind", MB_ICONWARNING);
    return 1;
}
