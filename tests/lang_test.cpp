// Every language in the exe's real dialogs, measured in the dialog's own font at 96 dpi; the
// tips against the tray's 63 characters; the choice of language.
#include "pauseplan.h"
#include "resource.h"
#include "shell.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

HMODULE program()
{
    static HMODULE exe = LoadLibraryExA(getenv("VEXOLIND_EXE"), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return exe;
}

INT_PTR CALLBACK localised(HWND dlg, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG)
        localisedialog(dlg);
    return FALSE;
}

// The text as the control draws it: one line, or wrapped at width.
SIZE drawn(HWND control, const std::wstring &text, int width = 0)
{
    vx::windowdc dc(control);
    vx::selection font(dc.get(), (HFONT)SendMessageW(control, WM_GETFONT, 0, 0));
    RECT r = {0, 0, width, 0};
    DrawTextW(dc.get(), text.c_str(), -1, &r, DT_CALCRECT | (width ? DT_WORDBREAK : DT_SINGLELINE));
    return {r.right, r.bottom};
}

// What does not fit in a control: its width less a button's check or edges, or for a static of
// two lines or more, its height.
std::string misfit(HWND c)
{
    wchar_t cls[32], text[1024] = L"";
    GetClassNameW(c, cls, ARRAYSIZE(cls));
    GetWindowTextW(c, text, ARRAYSIZE(text));
    std::wstring shown = text;
    RECT r;
    GetClientRect(c, &r);
    int room = r.right, type = GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK;
    bool isstatic = !lstrcmpiW(cls, L"Static");
    if (!lstrcmpiW(cls, L"Button"))
        room -= type == BS_GROUPBOX ? 16 : type <= BS_DEFPUSHBUTTON ? 2 * GetSystemMetrics(SM_CXEDGE) + 2
                                                                   : GetSystemMetrics(SM_CXMENUCHECK) + 4;
    else if (GetDlgCtrlID(c) == IDC_LANGUAGE) {
        room -= GetSystemMetrics(SM_CXVSCROLL) + 4;
        for (size_t i = 0; i < languagecount; i++)
            shown = std::max(shown, widen(filled(tr("Same as Windows (%s)"), narrow(languages[i].name))),
                             [&](const std::wstring &a, const std::wstring &b) { return drawn(c, a).cx < drawn(c, b).cx; });
    } else if (!isstatic)
        return "";
    if (isstatic && r.bottom >= 2 * drawn(c, L"Ag").cy) {
        int high = drawn(c, shown, r.right).cy;
        return high <= r.bottom ? "" : narrow(shown) + ": " + std::to_string(high) + " px high in " + std::to_string(r.bottom);
    }
    int wide = shown.empty() ? 0 : drawn(c, shown).cx;
    return wide <= room ? "" : narrow(shown) + ": " + std::to_string(wide) + " px in " + std::to_string(room);
}

std::vector<std::string> misfits(const wchar_t *name)
{
    std::vector<unsigned char> local = dialogtemplate(program(), name);
    const void *own = LockResource(LoadResource(program(), FindResourceW(program(), name, MAKEINTRESOURCEW(5))));
    HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                          static_cast<const DLGTEMPLATE *>(local.empty() ? own : local.data()),
                                          nullptr, localised, 0);
    std::vector<std::string> out;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (!misfit(c).empty())
            out.push_back(narrow(name) + " " + misfit(c));
    DestroyWindow(dlg);
    // The longest tips: a pause to a date, and a program's name too long to show.
    char pause[256];
    pausetext(pause, sizeof pause, 0, 3 * 24 * 60 + 23 * 60 + 59);
    std::vector<std::wstring> tips = {widen(pause), trw("vexolind - kissing you"), trw("vexolind - kicking you")};
    for (int why = quiet_fullscreen; why <= quiet_hours; why++) {
        wchar_t tip[256];   // beyond the tray's room, so that a long one shows
        quiettext(tip, ARRAYSIZE(tip), (quietcause)why, L"a-program-with-a-name-longer-than-any-tip-could-hold.exe");
        tips.push_back(tip);
    }
    for (const std::wstring &t : tips)
        if (t.size() > 63)
            out.push_back("tip " + narrow(t) + ": " + std::to_string(t.size()) + " characters");
    return out;
}

class everylanguage : public ::testing::TestWithParam<size_t> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program()) << "VEXOLIND_EXE names no loadable program";
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_HOTKEY_CLASS};
        InitCommonControlsEx(&icc);
        size_t lang = GetParam();
        usetexts(lang, lang ? loadtexts(program(), languages[lang].langid) : std::vector<std::wstring>());
    }
    void TearDown() override { usetexts(0, {}); }
};

TEST_P(everylanguage, fitsitsroom)
{
    const language &l = languages[GetParam()];
    // The session has the fonts of Japanese, Chinese and Korean Windows (tests/wine/cjkfonts.reg).
    if (*l.fonts) {
        EXPECT_FALSE(dialogtemplate(program(), L"MOREBOX").empty()) << l.code << " keeps the template's font";
    }
    for (const wchar_t *dialog : {L"SETBOX", L"MOREBOX"})
        for (const std::string &m : misfits(dialog))
            ADD_FAILURE() << l.code << " " << m;
    EXPECT_LE(trw("vexolind is running. Right-click its icon for settings; it may be under the ^ arrow.").size(), 255u)
        << l.code << ": the first start's balloon";
}

INSTANTIATE_TEST_SUITE_P(po, everylanguage, ::testing::Range<size_t>(0, languagecount),
                         [](const ::testing::TestParamInfo<size_t> &p) {
                             std::string code = p.param ? languages[p.param].code : "en";
                             code.erase(std::remove(code.begin(), code.end(), '-'), code.end());
                             return code;
                         });

// The setting's code wins, then Windows' display language; a code without a region serves every
// region of its language, one with a region only its own.
TEST(chooselanguage, settingthenwindows)
{
    struct {
        const wchar_t *setting;
        unsigned short ui;
        const char *chosen;
    } cases[] = {
        {L"", 0x0409, ""},      {L"", 0x0407, "de"},     {L"", 0x0c07, "de"},         {L"", 0x0411, "ja"},
        {L"", 0x0416, "pt-BR"}, {L"", 0x0816, ""},       {L"", 0x0804, "zh-CN"},      {L"", 0x0404, ""},
        {L"", 0x0425, ""},      {L"de", 0x0409, "de"},   {L"pt_br", 0x0409, "pt-BR"}, {L"EN", 0x0407, ""},
        {L"xx", 0x0407, "de"},  {L"ja ", 0x0407, "de"},
    };
    for (auto &c : cases)
        EXPECT_STREQ(languages[chooselanguage(c.setting, c.ui)].code, c.chosen) << narrow(c.setting) << " " << c.ui;
}

TEST(languages, exeunder1mib)
{
    WIN32_FILE_ATTRIBUTE_DATA a;
    ASSERT_TRUE(GetFileAttributesExA(getenv("VEXOLIND_EXE"), GetFileExInfoStandard, &a));
    EXPECT_TRUE(a.nFileSizeHigh == 0 && a.nFileSizeLow < 1024u * 1024u) << a.nFileSizeLow;
}

} // namespace
