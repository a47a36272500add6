#include "quietdecision.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"

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
    EnableWindow(GetDlgItem(dlg, IDC_FROM), !checked(dlg, IDC_ALLDAY));
    EnableWindow(GetDlgItem(dlg, IDC_TO), !checked(dlg, IDC_ALLDAY));
}

void showrules(HWND dlg, const quietrules &r)
{
    quietkeys k = quietkeysfor(r);
    bool allday = k.hours.empty();
    check(dlg, IDC_MEDIA, r.media);
    for (int d = 0; d < 7; d++)
        check(dlg, IDC_DAY1 + d, r.days & (1u << d));
    // All day offers common hours, should the user want some.
    SetDlgItemTextW(dlg, IDC_FROM, allday ? L"09:00" : k.hours.substr(0, 5).c_str());
    SetDlgItemTextW(dlg, IDC_TO, allday ? L"17:30" : k.hours.substr(6).c_str());
    check(dlg, IDC_ALLDAY, allday);
    check(dlg, IDC_TYPING, r.typing);
    SetDlgItemTextW(dlg, IDC_AWAY, k.away.c_str());
    SetDlgItemTextW(dlg, IDC_PROGRAMS, k.programs.c_str());
    enabletimes(dlg);
}

// The keys as the dialog shows them; false, with the focus on the field at fault, when no day
// is ticked or a time is no time.
bool shownkeys(HWND dlg, quietkeys *k)
{
    k->media = checked(dlg, IDC_MEDIA) ? L"1" : L"0";
    for (int d = 0; d < 7; d++)
        if (checked(dlg, IDC_DAY1 + d))
            k->days += (wchar_t)(L'1' + d);
    int from, to;
    if (!checked(dlg, IDC_ALLDAY))
        k->hours = fieldtext(dlg, IDC_FROM) + L"-" + fieldtext(dlg, IDC_TO);
    k->typing = checked(dlg, IDC_TYPING) ? L"1" : L"0";
    k->away = fieldtext(dlg, IDC_AWAY);
    k->programs = fieldtext(dlg, IDC_PROGRAMS);
    int bad = k->days.empty() ? IDC_DAY1 : !k->hours.empty() && !parsehours(k->hours, &from, &to) ? IDC_FROM : 0;
    if (bad) {
        MessageBeep(MB_ICONWARNING);
        SendMessageW(dlg, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dlg, bad), TRUE);
    }
    return !bad;
}

// Written as read back, so the file holds exactly what the next tick applies.
bool save(HWND dlg)
{
    quietkeys shown;
    if (!shownkeys(dlg, &shown))
        return false;
    quietkeys k = quietkeysfor(parsequiet(shown));
    const std::pair<const wchar_t *, const std::wstring *> keys[] = {
        {L"media", &k.media}, {L"programs", &k.programs}, {L"hours", &k.hours},
        {L"days", &k.days},   {L"typing", &k.typing},     {L"away", &k.away},
    };
    for (const auto &key : keys)
        iniset(con, L"quiet", key.first, key.second->c_str());
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
        return FALSE;
    }
}

INT_PTR CALLBACK moreprc(HWND dlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        showrules(dlg, quietnow());
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
    DialogBoxParamW(con->hinst, L"MOREBOX", con->hwnd, moreprc, 0);
    open = false;
    return 1;
}
