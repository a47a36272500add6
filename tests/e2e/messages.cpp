// The user's own message files as a user meets them: written, edited and removed while vexolind
// runs, and opened from the tray menu.
#include "harness.h"

#include <algorithm>
#include <set>

using namespace e2e;

namespace {

// Double-clicks the icon; the text of the box it brings, in Unicode, then answers it.
std::wstring nextmessage(app &a)
{
    a.doubleclick();
    HWND box = a.box("vexolind");
    wchar_t text[2048] = L"(no box)";
    GetDlgItemTextW(box, 0xFFFF, text, sizeof text / sizeof *text);
    dismiss(box);
    std::wstring shown = text;
    shown.erase(std::remove(shown.begin(), shown.end(), L'\r'), shown.end());
    return shown;
}

// Opens .txt files with a recorder of the paths it is given. Wine's prefix has no .txt
// association of its own, so taking ours away restores it.
struct txtrecorder {
    std::string file = unixtowin(env("VEXOLIND_WINE_DIR") + "/opened.txt");
    txtrecorder()
    {
        DeleteFileA(file.c_str());
        std::string command = "cmd.exe /c echo %1>>\"" + file + "\"";
        RegSetValueA(HKEY_CLASSES_ROOT, ".txt", REG_SZ, "vexolindrecorder", 0);
        RegSetValueA(HKEY_CLASSES_ROOT, "vexolindrecorder\\shell\\open\\command", REG_SZ, command.c_str(), 0);
    }
    ~txtrecorder()
    {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".txt");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "vexolindrecorder");
    }
    std::vector<std::string> opened() { return lines(readfile(file)); }
};

class messages : public scenario {};

TEST_F(messages, only_the_files_messages_each_once_then_an_edit_then_built_in_after_removal)
{
    writesettings("mintime=3600\r\nmaxtime=3600\r\nautoupdate=0\r\n");
    std::string kisses = defaultfolder() + "\\kisses.txt";
    writefile(kisses, u8"\xEF\xBB\xBF# mine\r\n!only\r\nGood morning\r\nΚαλημέρα, 世界\r\n  Two\\nlines\r\n");
    auto a = ready();
    ASSERT_TRUE(a && a->window());
    const std::set<std::wstring> mine = {L"Good morning", L"Καλημέρα, 世界", L"Two\nlines"};
    std::set<std::wstring> seen;
    for (int i = 0; i < 3; i++)
        seen.insert(nextmessage(*a));
    EXPECT_EQ(seen, mine) << "each of the file's messages once, and no built-in one";
    EXPECT_EQ(mine.count(nextmessage(*a)), 1u);

    writefile(kisses, "!only\nEdited");
    EXPECT_EQ(nextmessage(*a), L"Edited");
    DeleteFileA(kisses.c_str());
    std::wstring builtin = nextmessage(*a);
    EXPECT_TRUE(builtin != L"Edited" && builtin != L"(no box)" && !mine.count(builtin)) << "a built-in message";
}

TEST_F(messages, my_messages_writes_the_template_when_missing_opens_it_and_its_lines_join_the_mood)
{
    writesettings("mintime=3600\r\nmaxtime=3600\r\ntype=kickers\r\nautoupdate=0\r\n");
    std::string kickers = defaultfolder() + "\\kickers.txt";
    auto a = ready();
    ASSERT_TRUE(a && a->window());
    txtrecorder txt;
    ASSERT_TRUE(a->pick('m'));
    ASSERT_TRUE(winui::waitfor([&] { return txt.opened().size() == 1; }, 15000));
    EXPECT_EQ(txt.opened()[0], kickers);
    std::string text = readfile(kickers);
    ASSERT_EQ(text.compare(0, 3, "\xEF\xBB\xBF"), 0) << "UTF-8 with its mark";
    auto all = lines(text.substr(3));
    EXPECT_TRUE(std::all_of(all.begin(), all.end(), [](const std::string &l) { return l[0] == '#'; }));
    EXPECT_NE(std::find(all.begin(), all.end(), "# !only"), all.end());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), (ptrdiff_t)all.size()) << "CR LF line ends";

    writefile(kickers, "mine");
    ASSERT_TRUE(a->pick('m'));
    ASSERT_TRUE(winui::waitfor([&] { return txt.opened().size() == 2; }, 15000));
    EXPECT_EQ(readfile(kickers), "mine") << "a file that exists is never written";
    // Without "!only" it joins the twelve insults, and none comes twice before all came.
    std::set<std::wstring> seen;
    for (int i = 0; i < 13; i++)
        seen.insert(nextmessage(*a));
    EXPECT_TRUE(seen.size() == 13 && seen.count(L"mine") && seen.count(L"Your mum"));
}

} // namespace
