#include "resource.h"
#include "settings.h"
#include "shell.h"

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

sliders clamped(sliders s)
{
    if (s.maxpos < s.minpos) {
        s.minpos = s.maxpos;
        s.minmoved = true;
    }
    return s;
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

// What one opening of the dialog works with: handed over by doSet, kept with the dialog.
struct setstate {
    context_t *ctx;
    settings_t shown;   // the file as it was when the dialog opened
    sliders s;
};

setstate *stateof(HWND dlg)
{
    return reinterpret_cast<setstate *>(GetWindowLongPtrA(dlg, DWLP_USER));
}

sliders readsliders(HWND dlg, sliders s)
{
    s.minpos = (uint32_t)SendDlgItemMessageA(dlg, IDC_MINSLIDER, TBM_GETPOS, 0, 0);
    s.maxpos = (uint32_t)SendDlgItemMessageA(dlg, IDC_MAXSLIDER, TBM_GETPOS, 0, 0);
    return clamped(s);
}

INT_PTR oninit(HWND dlg, setstate *st)
{
    SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(st));
    localisedialog(dlg);
    const settings_t &shown = st->shown;
    st->s = {secondstopos(shown.mintime), secondstopos(shown.maxtime), false, false};
    for (int id : {IDC_MINSLIDER, IDC_MAXSLIDER})
        SendDlgItemMessageA(dlg, id, TBM_SETRANGE, TRUE, MAKELONG(0, 100));
    CheckRadioButton(dlg, IDC_KISS, IDC_KICK, shown.curki == kisses ? IDC_KISS : IDC_KICK);
    CheckDlgButton(dlg, IDC_AUTOUPDATE, shown.autoupdate ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_AUTORUN, shown.autorun ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageA(dlg, IDC_MINSLIDER, TBM_SETPOS, TRUE, (LPARAM)st->s.minpos);
    SendDlgItemMessageA(dlg, IDC_MAXSLIDER, TBM_SETPOS, TRUE, (LPARAM)st->s.maxpos);
    return FALSE;
}

INT_PTR onslide(HWND dlg, HWND slider)
{
    setstate *st = stateof(dlg);
    sliders s = st->s;
    s.minmoved |= slider == GetDlgItem(dlg, IDC_MINSLIDER);
    s.maxmoved |= slider == GetDlgItem(dlg, IDC_MAXSLIDER);
    st->s = readsliders(dlg, s);
    if (st->s.minpos != (uint32_t)SendDlgItemMessageA(dlg, IDC_MINSLIDER, TBM_GETPOS, 0, 0))
        SendDlgItemMessageA(dlg, IDC_MINSLIDER, TBM_SETPOS, TRUE, (LPARAM)st->s.minpos);
    return FALSE;
}

INT_PTR onok(HWND dlg)
{
    setstate *st = stateof(dlg);
    context_t *ctx = st->ctx;
    static_cast<settings_t &>(*ctx) = st->shown;
    slidertimes(readsliders(dlg, st->s), &ctx->mintime, &ctx->maxtime);
    ctx->curki = IsDlgButtonChecked(dlg, IDC_KISS) == BST_CHECKED ? kisses : kickers;
    ctx->autoupdate = IsDlgButtonChecked(dlg, IDC_AUTOUPDATE) == BST_CHECKED ? 1 : 0;
    ctx->autorun = IsDlgButtonChecked(dlg, IDC_AUTORUN) == BST_CHECKED ? 1 : 0;
    seticon(ctx);
    if (!savesettings(ctx))
        savefailed(dlg, ctx);
    else
        loadsettings(ctx);
    applylanguage(ctx);
    PostMessageA(ctx->hwnd, WM_SETTINGSCHANGED, 0, 0);
    EndDialog(dlg, 1);
    return TRUE;
}

INT_PTR oncommand(HWND dlg, int id)
{
    switch (id) {
    case IDOK:
        return onok(dlg);
    case IDCANCEL:
        EndDialog(dlg, 1);
        return TRUE;
    case IDC_SUGGEST:
        ShellExecuteA(nullptr, "open", SUGGEST_URL, nullptr, nullptr, SW_SHOWNORMAL);
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

void slidertimes(sliders s, uint32_t *mintime, uint32_t *maxtime)
{
    s = clamped(s);
    *maxtime = keptorconverted(*maxtime, s.maxpos, s.maxmoved);
    *mintime = keptorconverted(*mintime, s.minpos, s.minmoved);
    // A kept maximum of 1800 sits below what its position converts to (1805).
    if (*mintime > *maxtime)
        *mintime = *maxtime;
}

INT_PTR CALLBACK setprc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return oninit(hDlg, reinterpret_cast<setstate *>(lParam));
    case WM_HSCROLL:
        return onslide(hDlg, (HWND)lParam);
    case WM_COMMAND:
        return oncommand(hDlg, LOWORD(wParam));
    default:
        return FALSE;
    }
}

void savefailed(HWND owner, const context_t *ctx)
{
    box(owner, trw("vexolind could not save its settings to") + L"\n" + inifile(ctx), "vexolind", MB_OK | MB_ICONWARNING);
}

int modaldialog(context_t *ctx, bool &open, DWORD controls, const wchar_t *name, DLGPROC proc, LPARAM param)
{
    vx::onlyone guard(open);
    if (!guard)
        return 1;
    INITCOMMONCONTROLSEX icc = {sizeof icc, controls};
    InitCommonControlsEx(&icc);
    std::vector<unsigned char> local = dialogtemplate(ctx->hinst, name);
    if (local.empty())
        DialogBoxParamW(ctx->hinst, name, ctx->hwnd, proc, param);
    else
        DialogBoxIndirectParamW(ctx->hinst, reinterpret_cast<const DLGTEMPLATE *>(local.data()), ctx->hwnd, proc, param);
    return 1;
}

int doSet(context_t *ctx)
{
    if (ctx->setup)
        return 1;
    setstate st = {ctx, settingsnow(ctx), {}};
    return modaldialog(ctx, ctx->setup, ICC_BAR_CLASSES, L"SETBOX", setprc, reinterpret_cast<LPARAM>(&st));
}
