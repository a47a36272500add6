// The tray program as a user meets it: start-up, the icon, its clicks and menu, the command line.
#include "harness.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdio.h>

using namespace e2e;

namespace {

const std::vector<std::string> defaultlines = {"[settings]", "mintime=10",  "maxtime=3600",
                                               "type=kisses", "autorun=1", "autoupdate=1"};

class tray : public scenario {};

// The tray tip once it is want, or starts with it when prefix; the last one read otherwise.
std::string tipwhen(const std::string &want, bool prefix = false)
{
    std::string tip;
    winui::waitfor([&] { tip = traytip(trayicons().front()); return prefix ? tip.rfind(want, 0) == 0 : tip == want; }, 15000);
    return tip;
}

TEST_F(tray, first_start_writes_defaults_registers_for_the_user_says_hello_once_and_shows_the_kiss_icon)
{
    // An older build registered this copy machine-wide; the key is writable here, as for an elevated user.
    setrun(HKEY_LOCAL_MACHINE, "\"" + exepath() + "\"");
    auto a = ready();
    ASSERT_TRUE(a);
    ASSERT_TRUE(a->window());
    ASSERT_EQ(trayicons().size(), 1u);
    ASSERT_TRUE(winui::waitfor([] { return exists(settingspath()); }, 5000));
    EXPECT_EQ(lines(readfile(settingspath())), defaultlines);
    EXPECT_EQ(runvalue(HKEY_CURRENT_USER), "\"" + exepath() + "\"");
    EXPECT_TRUE(runabsent(HKEY_LOCAL_MACHINE)) << "the machine-wide value of ours is gone";
    EXPECT_FALSE(exists(legacypath())) << "nothing is written into the Windows directory";

    const std::wstring hello = L"vexolind is running. Right-click its icon for settings; it may be under the ^ arrow.";
    EXPECT_TRUE(winui::waitfor([&] { return tipshown() == hello; }, 15000)) << "the first hello";
    ASSERT_TRUE(winui::waitfor([] { return tipshown().empty(); }, 20000));   // out of the tip's way
    HWND icon = trayicons().front();
    EXPECT_EQ(traytip(icon), "vexolind - kissing you");
    COLORREF c = iconcolour(icon);
    EXPECT_TRUE(looksred(c)) << "kiss icon colour " << std::hex << c;

    // The next start finds the file the first wrote, and nothing was written for the hello.
    EXPECT_EQ(lines(readfile(settingspath())), defaultlines);
    ASSERT_TRUE(a->exitbymenu());
    ASSERT_TRUE(a->waitexit(10000));
    auto again = ready();   // the splash has come and gone
    ASSERT_TRUE(again);
    for (DWORD until = GetTickCount() + 6000; GetTickCount() < until; Sleep(200))
        ASSERT_TRUE(tipshown().empty()) << "a start that found its settings said hello";
}

TEST_F(tray, a_second_start_ends_at_once_and_changes_nothing)
{
    auto first = ready();
    ASSERT_TRUE(first && first->window());
    std::string before = readfile(settingspath());
    FILETIME stamp = backdate(settingspath());

    auto second = app::start();
    ASSERT_TRUE(second);
    ASSERT_EQ(second->exitcode(10000), 0u);
    EXPECT_EQ(readfile(settingspath()), before);
    EXPECT_TRUE(same(modified(settingspath()), stamp));
    EXPECT_EQ(trayicons().size(), 1u);
    EXPECT_TRUE(first->running());
}

TEST_F(tray, double_click_shows_one_message_at_a_time_and_keeps_the_interval)
{
    writesettings("mintime=12\r\nmaxtime=12\r\ntype=kisses\r\nautorun=0\r\nautoupdate=0\r\n");
    auto a = app::start();
    ASSERT_TRUE(a && a->window());
    // The timer starts as the main window comes; the double-click follows the splash.
    DWORD started = GetTickCount();
    ASSERT_TRUE(a->settle());
    DWORD clicked = GetTickCount() - started;
    a->doubleclick();
    HWND box = a->box("vexolind");
    ASSERT_TRUE(box);
    EXPECT_TRUE(ismessage(kisses, winui::plain(winui::boxtext(box)))) << winui::boxtext(box);
    EXPECT_TRUE(GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) << "a message stands above the user's windows";
    a->doubleclick();
    EXPECT_FALSE(winui::waitfor([&] { return a->boxes("vexolind").size() > 1; }, 1500))
        << "a double-click while a message is open shows nothing";
    ASSERT_TRUE(dismiss(box));

    // The timer's message comes on the 13th tick after start; had the double-click restarted
    // the interval it would come no sooner than 12 s after the double-click.
    DWORD at = a->nextmessage(started, 20000);
    EXPECT_LT(at, clicked + 12000) << "the double-click restarted the interval";
    EXPECT_GE(at, 11000u);
}

TEST_F(tray, kick_mode_shows_the_boot_and_only_insults)
{
    writesettings("type=kickers\r\nautoupdate=0\r\n");
    auto a = ready();
    ASSERT_TRUE(a && a->window());
    ASSERT_EQ(trayicons().size(), 1u);
    HWND icon = trayicons().front();
    EXPECT_EQ(traytip(icon), "vexolind - kicking you");
    COLORREF c = iconcolour(icon);
    EXPECT_FALSE(looksred(c)) << "kick icon colour " << std::hex << c;
    EXPECT_NE(c, 0u) << "no icon drawn";

    for (int i = 0; i < 6; i++) {
        a->doubleclick();
        HWND box = a->box("vexolind");
        ASSERT_TRUE(box);
        std::string text = winui::plain(winui::boxtext(box));
        EXPECT_TRUE(ismessage(kickers, text)) << text;
        dismiss(box);
    }
}

TEST_F(tray, a_dark_taskbar_gets_the_icon_drawn_for_it_at_once)
{
    static const char key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
    struct undo { ~undo() { winui::unsetreg(HKEY_CURRENT_USER, key, "SystemUsesLightTheme"); } } light;
    ASSERT_TRUE(winui::setreg(HKEY_CURRENT_USER, key, "SystemUsesLightTheme", 1));
    writesettings("type=kickers\r\nautoupdate=0\r\n");
    auto a = ready();
    ASSERT_TRUE(a);
    HWND icon = trayicons().front();
    auto brightness = [&] { COLORREF c = iconcolour(icon); return GetRValue(c) + GetGValue(c) + GetBValue(c); };
    const int before = brightness();
    // Dark, as Windows announces a new colour scheme.
    ASSERT_TRUE(winui::setreg(HKEY_CURRENT_USER, key, "SystemUsesLightTheme", 0));
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, (LPARAM)L"ImmersiveColorSet", SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_TRUE(winui::waitfor([&] { return brightness() > before + 90; }, 10000)) << "still the boot for light taskbars";
}

TEST_F(tray, f12_alone_is_no_shortcut)
{
    writesettings("mintime=3600\r\nmaxtime=3600\r\nautoupdate=0\r\n[keys]\r\nnow=F12\r\npause=Ctrl+Shift+P\r\n");
    auto a = ready();   // its shortcuts held
    ASSERT_TRUE(a);
    // Keys come in order: a message for F12 would be up before the pause shows in the tip.
    winui::press({VK_F12});
    winui::press({VK_CONTROL, VK_SHIFT, 'P'});
    const std::string paused = "vexolind - paused until";
    EXPECT_EQ(tipwhen(paused, true).substr(0, paused.size()), paused);
    EXPECT_TRUE(a->boxes("vexolind").empty()) << "F12 alone brought a message";
}

TEST_F(tray, zero_bounds_give_a_message_every_tick_but_never_two_at_once)
{
    writesettings("mintime=0\r\nmaxtime=0\r\nautoupdate=0\r\n");
    auto a = app::start();
    ASSERT_TRUE(a);
    HWND box = a->box("vexolind", 15000);
    ASSERT_TRUE(box);
    EXPECT_FALSE(winui::waitfor([&] { return a->boxes("vexolind").size() > 1; }, 4000));
    dismiss(box);
    EXPECT_LT(a->nextmessage(GetTickCount(), 5000), 3000u) << "with zero bounds every tick brings a message";
}

TEST_F(tray, bounds_of_two_bring_the_first_message_on_the_third_tick)
{
    writesettings("mintime=2\r\nmaxtime=2\r\nautoupdate=0\r\n");
    auto a = app::start();
    ASSERT_TRUE(a && a->window());
    DWORD started = GetTickCount();
    DWORD at = a->nextmessage(started, 15000);
    EXPECT_GE(at, 2500u) << "the message came before the third tick";
    EXPECT_LT(at, 7000u);
}

TEST_F(tray, exit_removes_the_icon_and_ends_with_zero_leaving_the_settings_alone)
{
    auto a = ready();
    ASSERT_TRUE(a && a->window());
    ASSERT_EQ(trayicons().size(), 1u);
    std::string before = readfile(settingspath());
    FILETIME stamp = backdate(settingspath());

    ASSERT_TRUE(a->exitbymenu());
    ASSERT_EQ(a->exitcode(10000), 0u);
    EXPECT_TRUE(winui::waitfor([] { return trayicons().empty(); }, 5000));
    EXPECT_EQ(readfile(settingspath()), before);
    EXPECT_TRUE(same(modified(settingspath()), stamp));
}

TEST_F(tray, the_menu_takes_the_foreground_and_escape_closes_it)
{
    auto a = ready();
    ASSERT_TRUE(a && a->window());
    // Some other window has the focus, as when the user works in another program.
    HWND other = CreateWindowExA(0, "STATIC", "elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    winui::waitfor([&] { return GetForegroundWindow() == other; }, 3000);

    HWND menu = a->menu();
    ASSERT_TRUE(menu);
    EXPECT_EQ(GetForegroundWindow(), a->window()) << "the menu's owner must be in the foreground";

    // Escape, and the menu goes without running a command.
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(winui::waitfor([&] { return !winui::findwindow("#32768", nullptr, a->pid()); }, 5000));
    EXPECT_TRUE(a->running());
    EXPECT_EQ(trayicons().size(), 1u);
    DestroyWindow(other);
}

TEST_F(tray, a_settings_path_with_blanks_is_read_and_written_quoted_or_not)
{
    std::string dir = tempdir("cmd line");
    std::string path = dir + "\\my settings.ini";
    for (bool quoted : {true, false}) {
        SCOPED_TRACE(quoted ? "quoted" : "unquoted");
        resetstate();
        setproxy(web->port());
        writesettings(path, "mintime=600\r\nmaxtime=700\r\ntype=Kickers\r\nautorun=0\r\nautoupdate=0\r\n[other]\r\nkeep=me\r\n");
        auto a = ready(quoted ? "\"" + path + "\"" : path);
        ASSERT_TRUE(a && a->window());
        ASSERT_EQ(trayicons().size(), 1u);
        EXPECT_EQ(traytip(trayicons().front()), "vexolind - kicking you") << "the named file was not the one read";
        auto got = lines(readfile(path));
        ASSERT_GE(got.size(), 6u);
        EXPECT_EQ(got[1], "mintime=600");
        EXPECT_EQ(got[2], "maxtime=700");
        EXPECT_EQ(got[3], "type=kickers") << "the named file is rewritten in normal form";
        EXPECT_NE(std::find(got.begin(), got.end(), "keep=me"), got.end());
        EXPECT_FALSE(exists(settingspath())) << "the default file must not be written";
        EXPECT_TRUE(runabsent(HKEY_LOCAL_MACHINE));
    }
}

TEST_F(tray, a_settings_path_that_cannot_be_opened_stops_with_a_fatal_error)
{
    std::string longpath = tempdir("long") + "\\" + std::string(270, 'x') + ".ini";
    for (std::string args : {std::string("\"C:\\no such folder\\missing.ini\""), std::string("C:\\nowhere.ini"),
                             "\"" + longpath + "\""}) {
        SCOPED_TRACE(args);
        resetstate();
        auto a = app::start(args);
        ASSERT_TRUE(a);
        HWND box = a->box("Fatal Error");
        ASSERT_TRUE(box);
        EXPECT_EQ(winui::boxtext(box), "Can't open settings file");
        EXPECT_TRUE(trayicons().empty()) << "no tray icon before the settings file is settled";
        winui::answer(box, IDOK);
        ASSERT_EQ(a->exitcode(10000), 1u);
        EXPECT_FALSE(exists(settingspath()));
        EXPECT_TRUE(runabsent(HKEY_LOCAL_MACHINE));
        EXPECT_TRUE(runabsent(HKEY_CURRENT_USER));
        EXPECT_TRUE(trayicons().empty());
    }
}

TEST_F(tray, the_icon_comes_back_when_the_taskbar_is_recreated)
{
    writesettings("type=kickers\r\nautoupdate=0\r\n");
    auto a = ready();
    ASSERT_TRUE(a && a->window());
    ASSERT_EQ(trayicons().size(), 1u);

    // What a restarting Explorer does: its new tray has no icons, then it tells every window.
    removeicon(a->window());
    ASSERT_TRUE(winui::waitfor([] { return trayicons().empty(); }, 5000));
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);

    ASSERT_TRUE(winui::waitfor([] { return trayicons().size() == 1; }, 5000));
    HWND icon = trayicons().front();
    EXPECT_EQ(traytip(icon), "vexolind - kicking you");
    EXPECT_FALSE(looksred(iconcolour(icon)));
    // The icon answers again: a double-click brings a message.
    a->doubleclick();
    EXPECT_NE(a->nextmessage(0, 10000), MAXDWORD);
}

TEST_F(tray, a_full_screen_window_in_front_holds_timer_messages_until_it_closes)
{
    writesettings("mintime=6\r\nmaxtime=6\r\nautorun=0\r\nautoupdate=0\r\n");
    auto a = ready();
    ASSERT_TRUE(a && a->window());
    HWND slides = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "slides", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  nullptr, nullptr);
    auto infront = [&] { SetForegroundWindow(slides); return GetForegroundWindow() == slides; };
    ASSERT_TRUE(winui::waitfor(infront, 5000));
    expectheld(*a, infront);
    DestroyWindow(slides);
    EXPECT_NE(a->nextmessage(0, 15000), MAXDWORD) << "the held message did not follow when the window closed";
}

TEST_F(tray, pause_holds_timer_messages_shows_its_end_in_the_tip_and_resume_ends_it)
{
    writesettings("mintime=6\r\nmaxtime=6\r\nautorun=0\r\nautoupdate=0\r\n");
    auto a = ready();
    ASSERT_TRUE(a && a->window() && trayicons().size() == 1);
    SYSTEMTIME st;
    GetLocalTime(&st);
    ASSERT_TRUE(a->pick("ph"));
    const std::string tip = tipwhen("vexolind - paused until ", true);
    auto until = [&](int minutes) {   // the minute may turn meanwhile
        int end = st.wHour * 60 + st.wMinute + minutes;
        char want[64];
        snprintf(want, sizeof want, "vexolind - paused until %s%02d:%02d", end >= 1440 ? "tomorrow " : "",
                 end % 1440 / 60, end % 60);
        return std::string(want);
    };
    EXPECT_TRUE(tip == until(60) || tip == until(61)) << tip;
    expectheld(*a, [] { return true; });

    a->doubleclick();   // the user asked for this one
    ASSERT_NE(a->nextmessage(0, 10000), MAXDWORD);

    // Only the item renamed "&Resume" answers to "r".
    ASSERT_TRUE(a->pick('r'));
    EXPECT_NE(a->nextmessage(0, 15000), MAXDWORD) << "timer messages did not come back after Resume";
    EXPECT_EQ(traytip(trayicons().front()), "vexolind - kissing you");
}

TEST_F(tray, as_notes_a_double_click_brings_a_balloon_with_a_message_and_no_box)
{
    writesettings("mintime=3600\r\nmaxtime=3600\r\nautoupdate=0\r\n[show]\r\nstyle=note\r\n");
    auto a = ready();
    ASSERT_TRUE(a && a->window());
    a->doubleclick();
    std::wstring tip;   // the balloon is the tray's only tip showing text while no pointer rests on the icon
    winui::waitfor([&] { return !(tip = tipshown()).empty(); }, 10000);
    std::string text(tip.begin(), tip.end());   // the messages are ASCII
    EXPECT_TRUE(ismessage(kisses, text)) << text;
    EXPECT_TRUE(a->boxes("vexolind").empty());
}

TEST_F(tray, shortcuts_bring_a_message_and_pause_and_resume)
{
    writesettings("mintime=3600\r\nmaxtime=3600\r\nautoupdate=0\r\n[keys]\r\nnow=Ctrl+Shift+K\r\npause= ctrl + shift + p\r\n");
    auto a = ready();
    ASSERT_TRUE(a && a->window() && trayicons().size() == 1);
    winui::press({VK_CONTROL, VK_SHIFT, 'K'});
    HWND box = a->box("vexolind");
    ASSERT_TRUE(box && dismiss(box));
    for (std::string want : {"vexolind - paused until", "vexolind - kissing you"}) {
        winui::press({VK_CONTROL, VK_SHIFT, 'P'});
        EXPECT_EQ(tipwhen(want, true).substr(0, want.size()), want);
    }
}

// The local time minutes from now as [pause] keeps it: "YYYY-MM-DD HH:MM".
std::string localclock(int minutes)
{
    FILETIME ft, local;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER u = {{ft.dwLowDateTime, ft.dwHighDateTime}};
    u.QuadPart += minutes * 600000000ull;
    ft = {u.LowPart, u.HighPart};
    SYSTEMTIME st;
    FileTimeToLocalFileTime(&ft, &local);
    FileTimeToSystemTime(&local, &st);
    char text[32];
    snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute);
    return text;
}

std::string inivalue(const char *section, const char *key)
{
    char value[64] = "";
    GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, settingspath().c_str());
    return value;
}

TEST_F(tray, a_pause_survives_a_restart_ends_on_time_and_is_then_forgotten)
{
    writesettings("mintime=3\r\nmaxtime=3\r\nautorun=0\r\nautoupdate=0\r\n");
    auto a = ready();
    ASSERT_TRUE(a && a->window() && trayicons().size() == 1);
    std::string kept = localclock(30);
    ASSERT_TRUE(a->pick("p3"));
    const std::string paused = "vexolind - paused until ", tip = tipwhen(paused, true);
    EXPECT_TRUE(winui::waitfor([&] { return inivalue("pause", "until") == kept || inivalue("pause", "until") == localclock(30); }, 5000));
    a->exitbymenu();
    ASSERT_TRUE(a->waitexit(10000));

    a = ready();
    ASSERT_TRUE(a && trayicons().size() == 1);
    EXPECT_EQ(tipwhen(paused, true), tip) << "the pause did not come back after the restart";
    expectheld(*a, [] { return true; });
    a->exitbymenu();
    ASSERT_TRUE(a->waitexit(10000));

    // A pause that ends at the next minute: held until then, messages right after, and forgotten.
    SYSTEMTIME st;
    GetLocalTime(&st);
    std::string end = localclock(st.wSecond < 45 ? 1 : 2);
    WritePrivateProfileStringA("pause", "until", end.c_str(), settingspath().c_str());
    a = ready();
    ASSERT_TRUE(a && trayicons().size() == 1);
    EXPECT_EQ(tipwhen(paused, true), paused + end.substr(11));
    HWND box = a->box("vexolind", 200000);
    ASSERT_TRUE(box);
    EXPECT_GE(localclock(0), end) << "a message came before the pause ended";
    dismiss(box);
    EXPECT_EQ(inivalue("pause", "until"), "(none)");
    EXPECT_EQ(tipwhen("vexolind - kissing you"), "vexolind - kissing you");
    a->exitbymenu();
    ASSERT_TRUE(a->waitexit(10000));

    // One that ended before the start is forgotten at once.
    WritePrivateProfileStringA("pause", "until", "2001-01-01 08:00", settingspath().c_str());
    a = ready();
    ASSERT_TRUE(a && a->box("vexolind", 15000)) << "an ended pause held messages";
    EXPECT_EQ(inivalue("pause", "until"), "(none)");
}

TEST_F(tray, recent_messages_come_again_newest_first_and_none_before_the_first)
{
    writesettings("mintime=3600\r\nmaxtime=3600\r\nautorun=0\r\nautoupdate=0\r\n");
    writefile(defaultfolder() + "\\kisses.txt", "!only\nOne\nTwo\nThree\n");
    auto a = ready();
    ASSERT_TRUE(a && a->window() && trayicons().size() == 1);
    // Before the first message the one item is greyed: choosing it closes the menu, nothing more.
    ASSERT_TRUE(a->pick("c\r"));
    EXPECT_FALSE(a->box("vexolind", 3000));

    // Two by double-click, the third by the command line.
    std::vector<std::string> shown;
    for (int i = 0; i < 3; i++) {
        if (i < 2)
            a->doubleclick();
        else
            ASSERT_EQ(winui::run("\"" + exepath() + "\" /now"), 0);
        HWND box = a->box("vexolind");
        ASSERT_TRUE(box);
        shown.push_back(winui::boxtext(box));
        dismiss(box);
    }
    for (int back = 0; back < 3; back++) {
        SCOPED_TRACE(back);
        ASSERT_TRUE(a->pick("c" + std::string(back, '\n') + "\r"));
        HWND box = a->box("vexolind");
        ASSERT_TRUE(box);
        EXPECT_EQ(winui::boxtext(box), shown[2 - back]);
        dismiss(box);
    }
}

TEST_F(tray, switches_act_on_the_running_vexolind_at_once_and_without_one_end_with_3)
{
    const std::string exe = "\"" + exepath() + "\" ";
    for (const char *sw : {"/now", "/PAUSE", "/pause:5", "/pause:resume", "/resume", "/kiss", "/Kick", "/exit"}) {
        SCOPED_TRACE(sw);
        EXPECT_EQ(winui::run(exe + sw), 3);
        EXPECT_TRUE(trayicons().empty());
        EXPECT_FALSE(winui::findwindow("#32770", nullptr));
        EXPECT_FALSE(exists(settingspath())) << "a switch with nothing running started a vexolind";
    }

    writesettings("mintime=3600\r\nmaxtime=3600\r\nautorun=0\r\nautoupdate=0\r\n");
    auto a = ready();
    ASSERT_TRUE(a && a->window() && trayicons().size() == 1);
    ASSERT_EQ(winui::run(exe + "/now"), 0);
    HWND box = a->box("vexolind");
    ASSERT_TRUE(box) << "the switch returned before its message showed, or none came";
    EXPECT_EQ(winui::run(exe + "/now", 10000), 0) << "a switch waited for the open box";
    ASSERT_TRUE(dismiss(box));

    const std::string kicking = "vexolind - kicking you", kissing = "vexolind - kissing you",
                      forever = "vexolind - paused until you resume";
    EXPECT_EQ(winui::run(exe + "/kick"), 0);
    EXPECT_EQ(tipwhen(kicking), kicking);
    EXPECT_EQ(inivalue("settings", "type"), "kickers");
    EXPECT_EQ(winui::run(exe + "/KISS"), 0);
    EXPECT_TRUE(winui::waitfor([] { return inivalue("settings", "type") == "kisses"; }, 5000));
    EXPECT_EQ(winui::run(exe + "/pause:resume"), 0);
    EXPECT_EQ(tipwhen(forever), forever);
    EXPECT_EQ(inivalue("pause", "until"), "resume");
    EXPECT_EQ(winui::run(exe + "/resume"), 0);
    EXPECT_EQ(tipwhen(kissing), kissing);
    EXPECT_EQ(inivalue("pause", "until"), "(none)");
    for (auto sw : {std::make_pair("/pause:90", 90), std::make_pair("/Pause", 60)}) {
        std::string kept = localclock(sw.second);
        EXPECT_EQ(winui::run(exe + sw.first), 0);
        EXPECT_TRUE(winui::waitfor([&] { return inivalue("pause", "until") == kept || inivalue("pause", "until") == localclock(sw.second); }, 5000)) << sw.first;
    }

    EXPECT_EQ(winui::run(exe + "/exit"), 0);
    ASSERT_EQ(a->exitcode(10000), 0u);
    EXPECT_TRUE(winui::waitfor([] { return trayicons().empty(); }, 5000));
}

} // namespace
