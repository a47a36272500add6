// vexolind in the display language of the session (VEXOLIND_LANG names its row), one session a
// script: the tip, the menu, a dialog and a box, and in Japanese glyphs rather than boxes.
#include "harness.h"
#include "lang.h"
#include "resource.h"

#include <set>

using namespace e2e;

namespace {

struct row {
    const char *lang;
    char morekey;              // the more-settings item's access key, in the language's code page
    const wchar_t *more;       // that dialog's title
    const wchar_t *media;      // its first check box
    const wchar_t *tip;        // the kiss mood's tip
    const wchar_t *fataltitle; // the box for a settings file that cannot be opened
    const wchar_t *fatal;
};
const row rows[] = {
    {"de", 'w', L"vexolind - weitere Einstellungen", L"Nachrichten zurückhalten, während &Mikrofon oder Kamera aktiv sind",
     L"vexolind - küsst Sie", L"Schwerwiegender Fehler", L"Die Einstellungsdatei kann nicht geöffnet werden."},
    // 'д' in the Russian code page, as the menu takes the key.
    {"ru", '\xe4', L"vexolind - дополнительные параметры", L"Задерживать сообщения, пока &микрофон или камера заняты",
     L"vexolind - целует вас", L"Критическая ошибка", L"Не удаётся открыть файл параметров"},
    // Japanese keeps English's access keys: the dialog's title shows the menu's language.
    {"ja", 't', L"vexolind - 詳細設定", L"マイクまたはカメラの使用中はメッセージを保留する(&M)", L"vexolind - キスしています",
     L"致命的なエラー", L"設定ファイルを開けません"},
};

const row *current()
{
    for (const row &r : rows)
        if (env("VEXOLIND_LANG") == r.lang)
            return &r;
    return nullptr;
}

std::string ansi(const std::wstring &text)
{
    char out[512] = "";
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
    return out;
}

std::wstring textof(HWND w)
{
    wchar_t text[512] = L"";
    SendMessageTimeoutW(w, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

// Rows of ink that differ from each other in a control's picture: a line of real glyphs has
// many, a line of boxes (a top, a bottom and the same sides between) or of nothing has few.
size_t distinctinkrows(HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<unsigned char> px = capture(r.left, r.top, w, h);
    std::set<std::string> rowsseen;
    for (int y = 0; y < h; y++) {
        std::string ink(w, '0');
        for (int x = 0; x < w; x++) {
            const unsigned char *p = &px[(size_t)(y * w + x) * 4];
            ink[x] = p[0] + p[1] + p[2] < 3 * 96 ? '1' : '0';
        }
        if (ink.find('1') != std::string::npos)
            rowsseen.insert(ink);
    }
    return rowsseen.size();
}

// The first start's hello may stand in front of the tip for a while.
void expecttip(HWND icon, const std::wstring &expected)
{
    std::wstring tip;
    EXPECT_TRUE(winui::waitfor([&] { return (tip = traytipw(icon)) == expected; }, 40000)) << narrow(tip);
}

class language : public scenario {};

TEST_F(language, tipmenudialogandbox)
{
    const row *r = current();
    ASSERT_TRUE(r) << "VEXOLIND_LANG names no row";
    {
        auto a = app::start("\"C:\\\\nowhere\\\\vexolind.INI\"");
        HWND box = a->box(ansi(r->fataltitle).c_str());
        ASSERT_TRUE(box);
        wchar_t text[512] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, ARRAYSIZE(text));
        EXPECT_EQ(std::wstring(text), r->fatal);
        dismiss(box);
    }
    auto a = ready();
    ASSERT_TRUE(a);
    std::vector<HWND> icons = trayicons();
    ASSERT_FALSE(icons.empty());
    expecttip(icons[0], r->tip);
    HWND more = a->dialog(r->morekey, ansi(r->more).c_str());
    ASSERT_TRUE(more) << "the menu's " << r->morekey << " opened no " << ansi(r->more);
    HWND media = GetDlgItem(more, IDC_MEDIA);
    EXPECT_EQ(textof(media), r->media);
    if (std::string(r->lang) == "ja") {
        // Against the same control showing characters no font has, which Windows draws as boxes;
        // each picture once two captures in a row agree, the control drawn.
        auto settled = [&] {
            size_t last = 0, now = 0;
            winui::waitfor([&] { return (last = now, now = distinctinkrows(media)) != 0 && now == last; }, 10000, 250);
            return now;
        };
        size_t real = settled();
        std::wstring none(wcslen(r->media), L'\xE000');
        SendMessageTimeoutW(media, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(none.c_str()), SMTO_ABORTIFHUNG, 2000, nullptr);
        RedrawWindow(media, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        size_t boxes = settled();
        EXPECT_GT(real, boxes + 3) << "the Japanese text shows as boxes";
    }
    PostMessageW(GetDlgItem(more, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(winui::waitfor([&] { return !IsWindow(more); }, 10000));
}

// The installer's first page, NSIS's texts and ours, in the display language with nothing asked.
TEST_F(language, installer)
{
    const row *r = current();
    ASSERT_TRUE(r);
    if (std::string(r->lang) != "de" || env("VEXOLIND_SETUP").empty())
        GTEST_SKIP() << "the installer is checked in German, when the release is built";
    DWORD pid = 0;
    vx::kernelhandle wizard(winui::startprocess("\"" + unixtowin(env("VEXOLIND_SETUP")) + "\"", nullptr, &pid));
    ASSERT_TRUE(wizard);
    HWND page = nullptr;
    ASSERT_TRUE(winui::waitfor([&] { return (page = winui::findwindow("#32770", nullptr, pid)) != nullptr; }, 20000));
    bool found = false;
    auto seen = [](HWND w, LPARAM out) {
        *reinterpret_cast<bool *>(out) |= textof(w) == L"vexolind ist freie Software unter der obigen MIT-Lizenz.";
        return TRUE;
    };
    EXPECT_TRUE(winui::waitfor([&] { return EnumChildWindows(page, seen, (LPARAM)&found), found; }, 10000))
        << "no German licence page";
    EXPECT_EQ(textof(GetDlgItem(page, IDOK)), L"&Weiter >");
    TerminateProcess(wizard.get(), 1);
    EXPECT_EQ(WaitForSingleObject(wizard.get(), 10000), WAIT_OBJECT_0);
}

// [show] language= wins over Windows; choosing Windows' own in the dialog applies at once.
TEST_F(language, overridekey)
{
    const row *r = current();
    ASSERT_TRUE(r);
    writesettings("[show]\r\nlanguage=en\r\n");
    auto a = ready();
    ASSERT_TRUE(a);
    std::vector<HWND> icons = trayicons();
    ASSERT_FALSE(icons.empty());
    expecttip(icons[0], L"vexolind - kissing you");
    HWND more = a->dialog('t', "vexolind - more settings");
    ASSERT_TRUE(more);
    SendDlgItemMessageW(more, IDC_LANGUAGE, CB_SETCURSEL, 0, 0);
    PostMessageW(GetDlgItem(more, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(winui::waitfor([&] { return !IsWindow(more); }, 10000));
    expecttip(icons[0], r->tip);
    EXPECT_EQ(readfile(settingspath()).find("language="), std::string::npos);
}

} // namespace
