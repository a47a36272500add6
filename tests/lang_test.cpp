// Every language's texts in the real dialogs, measured in the dialog's own font at 96 dpi, and
// the tips at the tray's 63 characters.
#include "pauseplan.h"
#include "resource.h"
#include "shell.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

std::wstring textof(HWND w)
{
    wchar_t text[1024] = L"";
    GetWindowTextW(w, text, ARRAYSIZE(text));
    return text;
}

// The text as the control draws it, in its font: one line, or wrapped at width.
SIZE drawn(HWND control, const std::wstring &text, int width = 0)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageW(control, WM_GETFONT, 0, 0));
    RECT r = {0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | (width ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {r.right, r.bottom};
}

// The room a control leaves its text: its width less a button's check and edges.
std::string misfit(HWND c)
{
    wchar_t cls[32];
    GetClassNameW(c, cls, ARRAYSIZE(cls));
    RECT r;
    GetClientRect(c, &r);
    std::wstring text = textof(c);
    LONG style = GetWindowLongW(c, GWL_STYLE);
    int room = r.right, type = style & BS_TYPEMASK;
    if (!lstrcmpiW(cls, L"Button"))
        room -= type == BS_GROUPBOX ? 16 : type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON
                                                ? 2 * GetSystemMetrics(SM_CXEDGE) + 2
                                                : GetSystemMetrics(SM_CXMENUCHECK) + 4;
    else if (!lstrcmpiW(cls, L"ComboBox") && GetDlgCtrlID(c) == IDC_LANGUAGE) {
        room -= GetSystemMetrics(SM_CXVSCROLL) + 4;
        std::wstring longest;
        for (size_t i = 0; i < languagecount; i++)
            if (wcslen(languages[i].name) > longest.size())
                longest = languages[i].name;
        text = widen(filled(tr("Same as Windows (%s)"), narrow(longest)));
    } else if (lstrcmpiW(cls, L"Static"))
        return "";
    if (text.empty())
        return "";
    SIZE line = drawn(c, text);
    // A static of two lines or more wraps.
    if (!lstrcmpiW(cls, L"Static") && r.bottom >= 2 * drawn(c, L"Ag").cy) {
        SIZE wrapped = drawn(c, text, r.right);
        if (wrapped.cy <= r.bottom)
            return "";
        return narrow(text) + ": " + std::to_string(wrapped.cy) + " px high in " + std::to_string(r.bottom);
    }
    if (line.cx <= room)
        return "";
    return narrow(text) + ": " + std::to_string(line.cx) + " px in " + std::to_string(room);
}

std::vector<std::string> dialogmisfits(const wchar_t *name)
{
    std::vector<std::string> out;
    std::vector<unsigned char> local = dialogtemplate(program(), name);
    HRSRC r = FindResourceW(program(), name, MAKEINTRESOURCEW(5));
    const void *own = LockResource(LoadResource(program(), r));
    HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                          static_cast<const DLGTEMPLATE *>(local.empty() ? own : local.data()),
                                          nullptr, localised, 0);
    if (!dlg)
        return {"no dialog " + narrow(name)};
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        std::string m = misfit(c);
        if (!m.empty())
            out.push_back(m);
    }
    DestroyWindow(dlg);
    return out;
}

// The longest tips a language makes: a date's pause, and a program's name too long to show.
std::vector<std::string> tipmisfits()
{
    std::vector<std::string> out;
    char pause[256];
    pausetext(pause, sizeof pause, 0, 3 * 24 * 60 + 23 * 60 + 59);
    std::vector<std::wstring> tips = {widen(pause), trw("vexolind - kissing you"), trw("vexolind - kicking you")};
    for (int why = quiet_fullscreen; why <= quiet_hours; why++) {
        wchar_t tip[256];   // room beyond the tray's, so that a long one shows
        quiettext(tip, ARRAYSIZE(tip), (quietcause)why, L"a-program-with-a-name-longer-than-any-tip-could-hold.exe");
        tips.push_back(tip);
    }
    for (const std::wstring &t : tips)
        if (t.size() > 63)
            out.push_back(narrow(t) + ": " + std::to_string(t.size()) + " characters");
    // The first start's notification, which a balloon holds 255 characters of.
    std::wstring hello = trw("vexolind is running. Right-click its icon for settings; it may be under the ^ arrow.");
    if (hello.size() > 255)
        out.push_back(narrow(hello) + ": over 255 characters");
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
    size_t lang = GetParam();
    if (lang) {
        // Every text of the program's is in the exe for this language.
        std::vector<std::wstring> texts = loadtexts(program(), languages[lang].langid);
        for (size_t i = 0; i < englishcount; i++)
            EXPECT_FALSE(texts[i].empty()) << languages[lang].code << " lacks " << englishtexts[i];
    }
    // The session has the fonts of Japanese, Chinese and Korean Windows (tests/wine/cjkfonts.reg).
    if (*languages[lang].fonts) {
        EXPECT_FALSE(dialogtemplate(program(), L"MOREBOX").empty()) << languages[lang].code << " keeps the template's font";
    }
    for (const wchar_t *dialog : {L"SETBOX", L"MOREBOX"})
        for (const std::string &m : dialogmisfits(dialog))
            ADD_FAILURE() << languages[lang].code << " " << narrow(dialog) << " " << m;
    for (const std::string &m : tipmisfits())
        ADD_FAILURE() << languages[lang].code << " tip " << m;
}

// The translations stay small: the exe under 1 MiB.
TEST(languages, exesize)
{
    WIN32_FILE_ATTRIBUTE_DATA a;
    ASSERT_TRUE(GetFileAttributesExA(getenv("VEXOLIND_EXE"), GetFileExInfoStandard, &a));
    EXPECT_EQ(a.nFileSizeHigh, 0u);
    EXPECT_LT(a.nFileSizeLow, 1024u * 1024u);
}

INSTANTIATE_TEST_SUITE_P(po, everylanguage, ::testing::Range<size_t>(0, languagecount),
                         [](const ::testing::TestParamInfo<size_t> &p) {
                             std::string code = p.param ? languages[p.param].code : "en";
                             return code.substr(0, 2) + (code.size() > 2 ? code.substr(3) : "");
                         });

// Windows' display language decides unless the setting names a language; other regions of a
// language without one in its code are served too, a regional one only its own.
TEST(chooselanguage, settingthenwindows)
{
    auto code = [](size_t i) { return std::string(languages[i].code); };
    struct {
        const wchar_t *setting;
        unsigned short ui;
        const char *chosen;
    } cases[] = {
        {L"", 0x0409, ""},      {L"", 0x0407, "de"},     {L"", 0x0c07, "de"},   {L"", 0x0411, "ja"},
        {L"", 0x0416, "pt-BR"}, {L"", 0x0816, ""},       {L"", 0x0804, "zh-CN"}, {L"", 0x0404, ""},
        {L"", 0x0425, ""},      {L"de", 0x0409, "de"},   {L"pt_br", 0x0409, "pt-BR"}, {L"EN", 0x0407, ""},
        {L"xx", 0x0407, "de"},  {L"ja ", 0x0407, "de"},
    };
    for (auto &c : cases) {
        if (*c.chosen && !chooselanguage(widen(c.chosen), 0x0409))
            continue;   // a language po/LINGUAS does not have yet
        EXPECT_EQ(code(chooselanguage(c.setting, c.ui)), c.chosen) << narrow(c.setting) << " on " << std::hex << c.ui;
    }
}

} // namespace
