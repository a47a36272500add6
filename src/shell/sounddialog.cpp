#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "sound.h"

#include <commdlg.h>

namespace {

const int radios[] = {IDC_SOUNDDEFAULT, IDC_SOUNDNONE, IDC_SOUNDFILE};

void enablepath(HWND dlg)
{
    bool file = IsDlgButtonChecked(dlg, IDC_SOUNDFILE) == BST_CHECKED;
    EnableWindow(GetDlgItem(dlg, IDC_SOUNDPATH), file);
    EnableWindow(GetDlgItem(dlg, IDC_BROWSE), file);
}

std::wstring pathtext(HWND dlg)
{
    wchar_t path[MAX_PATH] = L"";
    GetDlgItemTextW(dlg, IDC_SOUNDPATH, path, MAX_PATH);
    return path;
}

void browse(HWND dlg)
{
    wchar_t path[MAX_PATH];
    lstrcpynW(path, pathtext(dlg).c_str(), MAX_PATH);
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dlg;
    std::wstring filter;
    for (const char *part : {"Sounds (*.wav)", "*.wav", "All files", "*.*"})
        filter.append(trw(part)).push_back(L'\0');
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetOpenFileNameW(&ofn))
        SetDlgItemTextW(dlg, IDC_SOUNDPATH, path);
}

} // namespace

void showsound(HWND dlg, const std::wstring &value)
{
    soundchoice s = parsesound(value);
    CheckRadioButton(dlg, IDC_SOUNDDEFAULT, IDC_SOUNDFILE, radios[s.kind]);
    SetDlgItemTextW(dlg, IDC_SOUNDPATH, s.path.c_str());
    enablepath(dlg);
}

soundchoice shownsound(HWND dlg)
{
    soundchoice s;
    for (int k = sound_default; k <= sound_file; k++)
        if (IsDlgButtonChecked(dlg, radios[k]) == BST_CHECKED)
            s.kind = (soundkind)k;
    // A file without a name is no choice: the default it would fall back to.
    if (s.kind == sound_file && (s.path = parsesound(pathtext(dlg)).path).empty())
        s.kind = sound_default;
    return s;
}

bool soundcommand(HWND dlg, int id)
{
    switch (id) {
    case IDC_SOUNDDEFAULT:
    case IDC_SOUNDNONE:
    case IDC_SOUNDFILE:
        enablepath(dlg);
        return true;
    case IDC_BROWSE:
        browse(dlg);
        return true;
    case IDC_PLAY:
        trysound(shownsound(dlg));
        return true;
    default:
        return false;
    }
}
