#include "quietdecision.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "sound.h"

#include <commctrl.h>

namespace {

std::wstring fieldtext(HWND dlg, int id)
{
    wchar_t text[4096] = L"";
    GetDlgItemTextW(dlg, id, text, sizeof text / sizeof *text);
    return text;
}

bool checked(HWND dlg, int id)
{
    return IsDlgButtonChecked(dlg, id) == BST_CHECKED;
}

void check(HWND dlg, int id, bool on)
{
    CheckDlgButton(dlg, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void enabletimes(HWND dlg)
{
    EnableWindow(GetDlgItem(dlg, IDC_HOURS), !checked(dlg, IDC_ALLDAY));
}

void showrules(HWND dlg, const quietrules &r)
{
    quietkeys k = quietkeysfor(r);
    bool allday = k.hours.empty();
    check(dlg, IDC_MEDIA, r.media);
    for (int d = 0; d < 7; d++)
        check(dlg, IDC_DAY1 + d, r.days & (1u << d));
    // All day offers common hours, should the user want some.
    SetDlgItemTextW(dlg, IDC_HOURS, allday ? L"09:00-17:30" : k.hours.c_str());
    check(dlg, IDC_ALLDAY, allday);
    ShowWindow(GetDlgItem(dlg, IDC_DAYNOTE), anydayhours(r) ? SW_SHOW : SW_HIDE);
    check(dlg, IDC_TYPING, r.typing);
    SetDlgItemTextW(dlg, IDC_AWAY, k.away.c_str());
    SetDlgItemTextW(dlg, IDC_PROGRAMS, k.programs.c_str());
    enabletimes(dlg);
}

// The keys as the dialog shows them; false, with the focus on the field at fault, when no day
// is ticked or the hours are no ranges.
bool shownkeys(HWND dlg, quietkeys *k)
{
    k->media = checked(dlg, IDC_MEDIA) ? L"1" : L"0";
    for (int d = 0; d < 7; d++)
        if (checked(dlg, IDC_DAY1 + d))
            k->days += (wchar_t)(L'1' + d);
    if (!checked(dlg, IDC_ALLDAY))
        k->hours = fieldtext(dlg, IDC_HOURS);
    k->typing = checked(dlg, IDC_TYPING) ? L"1" : L"0";
    k->away = fieldtext(dlg, IDC_AWAY);
    k->programs = fieldtext(dlg, IDC_PROGRAMS);
    std::vector<hourrange> ranges;
    bool badhours = !checked(dlg, IDC_ALLDAY) && (!parseranges(k->hours, &ranges) || ranges.empty());
    int bad = k->days.empty() ? IDC_DAY1 : badhours ? IDC_HOURS : 0;
    if (bad) {
        MessageBeep(MB_ICONWARNING);
        SendMessageW(dlg, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dlg, bad), TRUE);
    }
    return !bad;
}

chord fieldchord(HWND dlg, int id)
{
    return fromhotkeyfield((WORD)SendDlgItemMessageW(dlg, id, HKM_GETHOTKEY, 0, 0));
}

void showmessages(HWND dlg)
{
    bool note = parsestyle(inistring(con, L"show", L"style", L"box")) == show_note;
    CheckRadioButton(dlg, IDC_STYLEBOX, IDC_STYLENOTE, note ? IDC_STYLENOTE : IDC_STYLEBOX);
    showsound(dlg, inistring(con, L"show", L"sound", L""));
    for (auto key : {std::make_pair(IDC_KEYNOW, L"now"), std::make_pair(IDC_KEYPAUSE, L"pause")}) {
        // A key pressed alone in the field comes as Ctrl+Shift and that key, as the hint suggests.
        SendDlgItemMessageW(dlg, key.first, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                            MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_SHIFT, 0));
        SendDlgItemMessageW(dlg, key.first, HKM_SETHOTKEY,
                            tohotkeyfield(parsechord(inistring(con, L"keys", key.second, L""))), 0);
    }
}

// Written as read back, so the file holds exactly what the next tick applies. A shortcut that
// another program holds keeps the dialog open with nothing written.
bool save(HWND dlg)
{
    quietkeys shown;
    if (!shownkeys(dlg, &shown))
        return false;
    chord now = fieldchord(dlg, IDC_KEYNOW), pause = fieldchord(dlg, IDC_KEYPAUSE);
    if (int taken = rekey(con, dlg, now, pause)) {
        SendMessageW(dlg, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dlg, taken == HOTKEY_NOW ? IDC_KEYNOW : IDC_KEYPAUSE), TRUE);
        return false;
    }
    bool saved = iniset(con, L"keys", L"now", chordtext(now).c_str());
    saved &= iniset(con, L"keys", L"pause", chordtext(pause).c_str());
    saved &= iniset(con, L"show", L"style", checked(dlg, IDC_STYLENOTE) ? L"note" : L"box");
    saved &= iniset(con, L"show", L"sound", soundvalue(shownsound(dlg)).c_str());
    quietkeys k = quietkeysfor(parsequiet(shown));
    const std::pair<const wchar_t *, const std::wstring *> keys[] = {
        {L"media", &k.media}, {L"programs", &k.programs}, {L"hours", &k.hours},
        {L"days", &k.days},   {L"typing", &k.typing},     {L"away", &k.away},
    };
    for (const auto &key : keys)
        saved &= iniset(con, L"quiet", key.first, key.second->c_str());
    if (!saved)
        savefailed(dlg, con);
    loadquiet(con);
    return true;
}

INT_PTR oncommand(HWND dlg, int id)
{
    switch (id) {
    case IDC_ALLDAY:
        enabletimes(dlg);
        return TRUE;
    case IDOK:
        if (save(dlg))
            EndDialog(dlg, IDOK);
        return TRUE;
    case IDCANCEL:
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    default:
        return soundcommand(dlg, id);
    }
}

INT_PTR CALLBACK moreprc(HWND dlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        showrules(dlg, quietnow());
        showmessages(dlg);
        return TRUE;
    case WM_COMMAND:
        return oncommand(dlg, LOWORD(wParam));
    default:
        return FALSE;
    }
}

} // namespace

int domore(context_t *con)
{
    static bool open;
    if (open)
        return 1;
    open = true;
    // The shortcut fields are common controls, set up here for the reason the settings dialog's are.
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&icc);
    DialogBoxParamW(con->hinst, L"MOREBOX", con->hwnd, moreprc, 0);
    open = false;
    return 1;
}
