#include "quietdecision.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "sound.h"
#include "text.h"

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
    SetDlgItemTextW(dlg, IDC_HOURS, allday ? rangestext({{9 * 60, 17 * 60 + 30}}).c_str() : k.hours.c_str());
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

void showmessages(HWND dlg, const settings_t &shown)
{
    CheckRadioButton(dlg, IDC_STYLEBOX, IDC_STYLENOTE, parsestyle(shown.style) == show_note ? IDC_STYLENOTE : IDC_STYLEBOX);
    showsound(dlg, shown.sound);
    for (auto key : {std::make_pair(IDC_KEYNOW, &shown.keynow), std::make_pair(IDC_KEYPAUSE, &shown.keypause)}) {
        // A key pressed alone in the field comes as Ctrl+Shift and that key, as the hint suggests.
        SendDlgItemMessageW(dlg, key.first, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                            MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_SHIFT, 0));
        SendDlgItemMessageW(dlg, key.first, HKM_SETHOTKEY, tohotkeyfield(parsechord(*key.second)), 0);
    }
}

// Windows' choice first, then every language in its own words. The entry the dialog opened with
// is remembered, so that a setting no entry names survives an OK that did not touch the list.
void showlanguages(HWND dlg, const std::wstring &setting)
{
    std::wstring windows = languages[windowslanguage(GetUserDefaultUILanguage())].name;
    SendDlgItemMessageW(dlg, IDC_LANGUAGE, CB_ADDSTRING, 0,
                        (LPARAM)widen(filled(tr("Same as Windows (%s)"), narrow(windows))).c_str());
    for (size_t i = 0; i < languagecount; i++)
        SendDlgItemMessageW(dlg, IDC_LANGUAGE, CB_ADDSTRING, 0, (LPARAM)languages[i].name);
    size_t chosen = chooselanguage(setting, 0xFFFF);
    int shown = setting.empty() || (chosen == 0 && !sameletters(setting, L"en")) ? 0 : (int)chosen + 1;
    SendDlgItemMessageW(dlg, IDC_LANGUAGE, CB_SETCURSEL, shown, 0);
    SetWindowLongPtrW(GetDlgItem(dlg, IDC_LANGUAGE), GWLP_USERDATA, shown);
}

std::wstring shownlanguage(HWND dlg, const std::wstring &setting)
{
    int sel = (int)SendDlgItemMessageW(dlg, IDC_LANGUAGE, CB_GETCURSEL, 0, 0);
    if (sel < 0 || sel == (int)GetWindowLongPtrW(GetDlgItem(dlg, IDC_LANGUAGE), GWLP_USERDATA))
        return setting;
    return sel == 0 ? L"" : sel == 1 ? L"en" : widen(languages[sel - 1].code);
}

context_t *contextof(HWND dlg)
{
    return reinterpret_cast<context_t *>(GetWindowLongPtrW(dlg, DWLP_USER));
}

// Written as read back, so the file holds exactly what the next tick applies. A shortcut that
// another program holds keeps the dialog open with nothing written.
bool save(HWND dlg)
{
    context_t *ctx = contextof(dlg);
    quietkeys shown;
    if (!shownkeys(dlg, &shown))
        return false;
    chord now = fieldchord(dlg, IDC_KEYNOW), pause = fieldchord(dlg, IDC_KEYPAUSE);
    if (int taken = rekey(ctx, dlg, now, pause)) {
        SendMessageW(dlg, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dlg, taken == HOTKEY_NOW ? IDC_KEYNOW : IDC_KEYPAUSE), TRUE);
        return false;
    }
    settings_t s = settingsnow(ctx);
    s.keynow = chordtext(now);
    s.keypause = chordtext(pause);
    s.style = checked(dlg, IDC_STYLENOTE) ? L"note" : L"box";
    s.sound = soundvalue(shownsound(dlg));
    s.language = shownlanguage(dlg, s.language);
    s.quiet = quietkeysfor(parsequiet(shown));
    if (!savemore(ctx, s))
        savefailed(dlg, ctx);
    loadsettings(ctx);
    applylanguage(ctx);
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

INT_PTR oninit(HWND dlg, context_t *ctx)
{
    SetWindowLongPtrW(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(ctx));
    localisedialog(dlg);
    settings_t shown = settingsnow(ctx);
    showrules(dlg, parsequiet(shown.quiet));
    showmessages(dlg, shown);
    showlanguages(dlg, shown.language);
    return TRUE;
}

INT_PTR CALLBACK moreprc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return oninit(dlg, reinterpret_cast<context_t *>(lParam));
    case WM_COMMAND:
        return oncommand(dlg, LOWORD(wParam));
    default:
        return FALSE;
    }
}

} // namespace

int domore(context_t *ctx)
{
    return modaldialog(ctx, ctx->moreopen, ICC_HOTKEY_CLASS, L"MOREBOX", moreprc, reinterpret_cast<LPARAM>(ctx));
}
