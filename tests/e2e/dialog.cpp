// The settings dialog as a user meets it: opened from the tray menu, its sliders, switches and buttons.
#include "harness.h"

#include <commctrl.h>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const char dialogcaption[] = "vexolind settings";
const char suggesturl[] = "http://www.vexolind.com/software/vexolind/submit/";

enum : int {
    idsuggest = 411,
    idkiss = 419,
    idmax = 420,
    idkick = 421,
    idmin = 427,
    idautoupdate = 428,
    idautorun = 429,
};

// The value of key= in the settings file; "(missing)" when there is no such line.
std::string setting(const std::string &key)
{
    for (const auto &l : lines(readfile(settingspath())))
        if (l.compare(0, key.size() + 1, key + "=") == 0)
            return l.substr(key.size() + 1);
    return "(missing)";
}

std::vector<HWND> dialogs(app &a)
{
    return winui::findwindows("#32770", dialogcaption, a.pid());
}

int position(HWND dlg, int slider)
{
    return (int)SendMessageA(GetDlgItem(dlg, slider), TBM_GETPOS, 0, 0);
}

void press(HWND control, WORD vk)
{
    SendMessageA(control, WM_KEYDOWN, vk, 1);
    SendMessageA(control, WM_KEYUP, vk, 0xC0000001);
}

// Moves a slider with the arrow keys, one step at a time, as a user at the keyboard would;
// the slider itself tells the dialog about every step.
void slide(HWND dlg, int slider, int pos)
{
    HWND tb = GetDlgItem(dlg, slider);
    for (int guard = 0; guard < 200; guard++) {
        int now = position(dlg, slider);
        if (now == pos)
            return;
        press(tb, now < pos ? VK_RIGHT : VK_LEFT);
        if (position(dlg, slider) == now)
            return;   // held where it is: the dialog keeps it there
    }
}

void click(HWND dlg, int id)
{
    SendMessageA(GetDlgItem(dlg, id), BM_CLICK, 0, 0);
}

bool checked(HWND dlg, int id)
{
    return IsDlgButtonChecked(dlg, id) == BST_CHECKED;
}

class dialog : public scenario {
protected:
    std::unique_ptr<app> a;
    HWND d = nullptr;
    // Starts vexolind on these settings (the default start when empty) and opens its dialog.
    bool open(const std::string &settings = "")
    {
        if (!settings.empty())
            writesettings(settings);
        a = ready();
        return a && a->window() && reopen();
    }
    // Settings, from the tray icon's menu.
    bool reopen() { return (d = a->dialog('s', dialogcaption)) != nullptr; }
    void TearDown() override
    {
        a.reset();   // ended before the prefix is reset, as a test's own would be
        scenario::TearDown();
    }
};

TEST_F(dialog, settings_opens_the_dialog_once_however_often_it_is_chosen)
{
    ASSERT_TRUE(open());
    EXPECT_EQ(dialogs(*a).size(), 1u);
    EXPECT_EQ(GetWindow(d, GW_OWNER), a->window()) << "the dialog belongs to the main window";

    for (int i = 0; i < 2; i++) {
        ASSERT_TRUE(a->pick('s')) << "the tray menu still opens while the dialog is up";
        EXPECT_FALSE(winui::waitfor([&] { return dialogs(*a).size() > 1; }, 1500)) << "a second dialog";
    }
    EXPECT_TRUE(IsWindowVisible(d));
    ASSERT_TRUE(dismiss(d, IDCANCEL));
    EXPECT_TRUE(dialogs(*a).empty());

    // Closed, it opens again.
    ASSERT_TRUE(reopen());
    ASSERT_TRUE(dismiss(d, IDCANCEL));
}

TEST_F(dialog, ok_saves_what_the_sliders_show_and_keeps_what_nobody_moved)
{
    // The arithmetic is the unit table's; these two show it reaching the file: the minimum
    // dragged past the maximum, and sliders nobody moved.
    const struct {
        std::vector<std::pair<int, int>> moves;   // slider, position
        int endmin, endmax;
        const char *savedmin, *savedmax;
    } cases[] = {{{{idmax, 30}, {idmin, 70}}, 30, 30, "1087", "1087"}, {{}, 16, 50, "600", "1800"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.savedmax);
        a.reset();
        resetstate();
        setproxy(web->port());
        ASSERT_TRUE(open("mintime=600\r\nmaxtime=1800\r\ntype=kisses\r\nautorun=0\r\nautoupdate=0\r\n"));
        EXPECT_EQ(position(d, idmin), 16);
        EXPECT_EQ(position(d, idmax), 50);
        for (const auto &m : c.moves)
            slide(d, m.first, m.second);
        EXPECT_EQ(position(d, idmin), c.endmin);
        EXPECT_EQ(position(d, idmax), c.endmax);
        ASSERT_TRUE(dismiss(d, IDOK));
        EXPECT_EQ(setting("mintime"), c.savedmin);
        EXPECT_EQ(setting("maxtime"), c.savedmax);
        EXPECT_EQ(setting("type"), "kisses");
        EXPECT_EQ(setting("autorun"), "0");
        EXPECT_EQ(setting("autoupdate"), "0");
    }
}

TEST_F(dialog, cancel_forgets_every_change)
{
    ASSERT_TRUE(open("mintime=600\r\nmaxtime=1800\r\ntype=kisses\r\nautorun=1\r\nautoupdate=1\r\n"));
    ASSERT_TRUE(winui::waitfor([] { return !runabsent(HKEY_CURRENT_USER); }, 5000));
    const std::string before = readfile(settingspath());
    const FILETIME stamp = backdate(settingspath());

    slide(d, idmax, 0);
    slide(d, idmin, 0);
    click(d, idkick);
    click(d, idautorun);
    click(d, idautoupdate);
    ASSERT_EQ(position(d, idmax), 0);
    ASSERT_TRUE(checked(d, idkick));
    ASSERT_FALSE(checked(d, idautorun));
    ASSERT_FALSE(checked(d, idautoupdate));
    ASSERT_TRUE(dismiss(d, IDCANCEL));

    EXPECT_EQ(readfile(settingspath()), before);
    EXPECT_TRUE(same(modified(settingspath()), stamp)) << "the settings file was written";
    EXPECT_FALSE(runabsent(HKEY_CURRENT_USER));
    ASSERT_EQ(trayicons().size(), 1u);
    EXPECT_EQ(traytip(trayicons().front()), "vexolind - kissing you");
    EXPECT_TRUE(looksred(iconcolour(trayicons().front())));

    // The program still holds the old settings: the dialog shows them again and OK keeps them.
    ASSERT_TRUE(reopen());
    EXPECT_EQ(position(d, idmin), 16);
    EXPECT_EQ(position(d, idmax), 50);
    EXPECT_TRUE(checked(d, idkiss));
    EXPECT_FALSE(checked(d, idkick));
    EXPECT_TRUE(checked(d, idautorun));
    EXPECT_TRUE(checked(d, idautoupdate));
    ASSERT_TRUE(dismiss(d, IDOK));
    EXPECT_EQ(lines(readfile(settingspath())), lines(before));
}

TEST_F(dialog, kick_takes_effect_on_ok)
{
    writesettings("mintime=600\r\nmaxtime=1800\r\ntype=kisses\r\nautorun=0\r\nautoupdate=0\r\n");
    a = ready();
    ASSERT_TRUE(a && a->window());
    ASSERT_EQ(trayicons().size(), 1u);
    ASSERT_TRUE(looksred(iconcolour(trayicons().front())));

    ASSERT_TRUE(reopen());
    EXPECT_TRUE(checked(d, idkiss));
    click(d, idkick);
    EXPECT_TRUE(checked(d, idkick));
    EXPECT_FALSE(checked(d, idkiss)) << "the two moods are one choice";
    ASSERT_TRUE(dismiss(d, IDOK));

    EXPECT_EQ(setting("type"), "kickers");
    EXPECT_EQ(setting("mintime"), "600");
    EXPECT_EQ(setting("maxtime"), "1800");
    ASSERT_EQ(trayicons().size(), 1u);
    HWND icon = trayicons().front();
    EXPECT_TRUE(winui::waitfor([&] { return !looksred(iconcolour(icon)); }, 5000))
        << "kick icon colour " << std::hex << iconcolour(icon);
    EXPECT_NE(iconcolour(icon), 0u) << "no icon drawn";
    EXPECT_EQ(traytip(icon), "vexolind - kicking you");

    // And back again.
    ASSERT_TRUE(reopen());
    EXPECT_TRUE(checked(d, idkick));
    click(d, idkiss);
    ASSERT_TRUE(dismiss(d, IDOK));
    EXPECT_EQ(setting("type"), "kisses");
    EXPECT_TRUE(winui::waitfor([&] { return looksred(iconcolour(icon)); }, 5000));
    EXPECT_EQ(traytip(icon), "vexolind - kissing you");
}

TEST_F(dialog, the_two_switches_are_saved_on_ok)
{
    // Default settings: both switches on, registered to run at log-on.
    a = ready();
    ASSERT_TRUE(a && a->window());
    ASSERT_TRUE(winui::waitfor([] { return !runabsent(HKEY_CURRENT_USER); }, 5000));
    setrun(HKEY_LOCAL_MACHINE, "\"" + exepath() + "\"");   // as an older build left it, elevated
    ASSERT_FALSE(runabsent(HKEY_LOCAL_MACHINE));

    ASSERT_TRUE(reopen());
    ASSERT_TRUE(checked(d, idautorun));
    ASSERT_TRUE(checked(d, idautoupdate));
    click(d, idautorun);
    EXPECT_FALSE(checked(d, idautorun));
    ASSERT_TRUE(dismiss(d, IDOK));
    EXPECT_EQ(setting("autorun"), "0");
    EXPECT_EQ(setting("autoupdate"), "1");
    EXPECT_TRUE(runabsent(HKEY_LOCAL_MACHINE));
    EXPECT_TRUE(runabsent(HKEY_CURRENT_USER));

    ASSERT_TRUE(reopen());
    EXPECT_FALSE(checked(d, idautorun));
    click(d, idautoupdate);
    click(d, idautorun);
    ASSERT_TRUE(dismiss(d, IDOK));
    EXPECT_EQ(setting("autoupdate"), "0");
    EXPECT_EQ(setting("autorun"), "1");
    EXPECT_EQ(runvalue(HKEY_CURRENT_USER), "\"" + exepath() + "\"");
    EXPECT_TRUE(runabsent(HKEY_LOCAL_MACHINE));
}

TEST_F(dialog, new_bounds_take_effect_at_once)
{
    // Long bounds: nothing would come for an hour.
    ASSERT_TRUE(open("mintime=3600\r\nmaxtime=3600\r\ntype=kisses\r\nautorun=0\r\nautoupdate=0\r\n"));
    slide(d, idmin, 0);
    slide(d, idmax, 0);
    ASSERT_EQ(position(d, idmax), 0);
    DWORD ok = GetTickCount();
    ASSERT_TRUE(dismiss(d, IDOK));
    EXPECT_EQ(setting("maxtime"), "10");
    // Ten seconds at least: the next message comes on the eleventh tick after OK.
    DWORD at = a->nextmessage(ok, 30000);
    EXPECT_GE(at, 8000u);
    EXPECT_LE(at, 20000u) << "the new bounds were not used";
}

TEST_F(dialog, the_suggestion_button_opens_the_page_each_time_and_leaves_the_dialog_open)
{
    recordbrowser();
    ASSERT_TRUE(open("mintime=3600\r\nmaxtime=3600\r\ntype=kisses\r\nautorun=0\r\nautoupdate=0\r\n"));
    click(d, idsuggest);
    ASSERT_TRUE(winui::waitfor([] { return browsed().size() == 1; }, 20000));
    EXPECT_TRUE(IsWindowVisible(d));
    click(d, idsuggest);
    ASSERT_TRUE(winui::waitfor([] { return browsed().size() == 2; }, 20000));
    EXPECT_FALSE(winui::waitfor([] { return browsed().size() > 2; }, 2000)) << "a third page";
    EXPECT_EQ(browsed(), std::vector<std::string>(2, suggesturl));
    EXPECT_TRUE(IsWindowVisible(d));
    EXPECT_EQ(dialogs(*a).size(), 1u);
    ASSERT_TRUE(dismiss(d, IDCANCEL));
}

TEST_F(dialog, messages_keep_coming_while_it_is_open)
{
    // The first message is due on the tenth tick: start-up and the dialog are over well before that.
    ASSERT_TRUE(open("mintime=9\r\nmaxtime=9\r\ntype=kisses\r\nautorun=0\r\nautoupdate=0\r\n"));
    // A message box opened first would hold the dialog inside its own loop; that is not this case.
    ASSERT_TRUE(a->boxes("vexolind").empty()) << "the machine was too slow to open the dialog in time";

    for (int i = 0; i < 2; i++) {
        HWND box = a->box("vexolind", 20000);
        ASSERT_TRUE(box) << "message " << i + 1;
        EXPECT_TRUE(IsWindowVisible(d));
        ASSERT_TRUE(dismiss(box));
    }
    EXPECT_TRUE(IsWindowVisible(d));
    ASSERT_TRUE(dismiss(d, IDCANCEL));
}

} // namespace
