#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "update.h"

#include <commctrl.h>
#include <shellapi.h>

uint32_t secondstopos(uint32_t seconds)
{
    return seconds * 100u / 3600u;
}

uint32_t postoseconds(uint32_t pos)
{
    return pos * 3590u / 100u + 10u;
}

namespace {

// The two conversions are not inverses, so a slider nobody moved keeps the stored seconds
// as long as the slider can show them; otherwise opening and OK would change the settings.
uint32_t keptorconverted(uint32_t stored, uint32_t pos, bool moved)
{
    if (!moved && stored >= postoseconds(0) && stored <= postoseconds(100))
        return stored;
    return postoseconds(pos);
}

} // namespace

INT_PTR CALLBACK setprc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    static uint32_t minpos, maxpos;
    static HWND mins, maxs;
    static bool minmoved, maxmoved;

    switch (message) {
    case WM_INITDIALOG:
        mins = GetDlgItem(hDlg, IDC_MINSLIDER);
        maxs = GetDlgItem(hDlg, IDC_MAXSLIDER);
        SendMessageA(mins, TBM_SETRANGE, TRUE, MAKELONG(0, 100));
        SendMessageA(maxs, TBM_SETRANGE, TRUE, MAKELONG(0, 100));
        minpos = secondstopos(con->mintime);
        maxpos = secondstopos(con->maxtime);
        minmoved = maxmoved = false;
        CheckRadioButton(hDlg, IDC_KISS, IDC_KICK, con->curki == kisses ? IDC_KISS : IDC_KICK);
        CheckDlgButton(hDlg, IDC_AUTOUPDATE, con->autoupdate ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(hDlg, IDC_AUTORUN, con->autorun ? BST_CHECKED : BST_UNCHECKED);
        SendMessageA(mins, TBM_SETPOS, TRUE, (LPARAM)minpos);
        SendMessageA(maxs, TBM_SETPOS, TRUE, (LPARAM)maxpos);
        return FALSE;

    case WM_HSCROLL:
        if ((HWND)lParam == mins)
            minmoved = true;
        else if ((HWND)lParam == maxs)
            maxmoved = true;
        minpos = (uint32_t)SendMessageA(mins, TBM_GETPOS, 0, 0);
        maxpos = (uint32_t)SendMessageA(maxs, TBM_GETPOS, 0, 0);
        if (maxpos < minpos) {
            minpos = maxpos;
            minmoved = true;
            SendMessageA(mins, TBM_SETPOS, TRUE, (LPARAM)minpos);
        }
        return FALSE;

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            minpos = (uint32_t)SendMessageA(mins, TBM_GETPOS, 0, 0);
            maxpos = (uint32_t)SendMessageA(maxs, TBM_GETPOS, 0, 0);
            if (maxpos < minpos) {
                minpos = maxpos;
                minmoved = true;
            }
            con->maxtime = keptorconverted(con->maxtime, maxpos, maxmoved);
            con->mintime = keptorconverted(con->mintime, minpos, minmoved);
            // A kept maximum of 1800 sits below what its position converts to (1805).
            if (con->mintime > con->maxtime)
                con->mintime = con->maxtime;
            con->curki = IsDlgButtonChecked(hDlg, IDC_KISS) == BST_CHECKED ? kisses : kickers;
            con->autoupdate = IsDlgButtonChecked(hDlg, IDC_AUTOUPDATE) == BST_CHECKED ? 1 : 0;
            con->autorun = IsDlgButtonChecked(hDlg, IDC_AUTORUN) == BST_CHECKED ? 1 : 0;
            seticon(con);
            if (!savesettings(con))
                savefailed(hDlg, con);
            PostMessageA(con->hwnd, WM_SETTINGSCHANGED, 0, 0);
            EndDialog(hDlg, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(hDlg, 1);
            return TRUE;
        case IDC_SUGGEST:
            ShellExecuteA(nullptr, "open", SUGGEST_URL, nullptr, nullptr, SW_SHOWNORMAL);
            return FALSE;
        default:
            return FALSE;
        }

    default:
        return FALSE;
    }
}

void savefailed(HWND owner, const context_t *con)
{
    std::wstring text = L"vexolind could not save its settings to\n" + inifile(con);
    MessageBoxW(owner, text.c_str(), L"vexolind", MB_OK | MB_ICONWARNING);
}

int doSet(context_t *con)
{
    static int setup;
    if (setup)
        return 1;
    setup = 1;
    // The sliders are common controls, whose class must exist before the dialog opens. Asked
    // for here and not at start-up, so that comctl32 loads only once it is needed.
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    DialogBoxParamA(con->hinst, "SETBOX", con->hwnd, setprc, 0);
    setup = 0;
    return 1;
}
