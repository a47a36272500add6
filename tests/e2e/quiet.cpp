// Quiet times end to end: what holds timer messages, the tip that says why, and the dialog that sets them.
#include "harness.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

const char consentstore[] = "Software\\Microsoft\\Windows\\CurrentVersion\\CapabilityAccessManager\\ConsentStore";

// A timer message every 3 s unless something holds it; typing waits only where a test asks.
void writequiet(const std::string &quiet)
{
    writesettings("mintime=3\r\nmaxtime=3\r\nautorun=0\r\nautoupdate=0\r\n[quiet]\r\ntyping=0\r\n" + quiet);
}

// No timer message for 10 s, and the tip names the cause.
void expectheld(app &a, const std::string &tip)
{
    std::string shown;
    EXPECT_TRUE(winui::waitfor([&] { return (shown = traytip(trayicons().front())) == tip; }, 15000)) << shown;
    for (DWORD until = GetTickCount() + 10000; GetTickCount() < until; Sleep(100))
        ASSERT_TRUE(a.boxes("vexolind").empty()) << "a timer message came while " << tip;
}

void expectreleased(app &a)
{
    HWND box = a.box("vexolind", 15000);
    ASSERT_TRUE(box) << "the held message did not come once the cause ended";
    winui::answer(box, IDOK);
}

// A program's record of its last use of the microphone, as Windows keeps it.
struct consent {
    std::string key = std::string(consentstore) + "\\microphone\\NonPackaged\\C:#calls#call.exe";
    void set(uint64_t start, uint64_t stop)
    {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr), 0);
        RegSetValueExA(k, "LastUsedTimeStart", 0, REG_QWORD, reinterpret_cast<const BYTE *>(&start), 8);
        RegSetValueExA(k, "LastUsedTimeStop", 0, REG_QWORD, reinterpret_cast<const BYTE *>(&stop), 8);
        RegCloseKey(k);
    }
    ~consent() { RegDeleteTreeA(HKEY_CURRENT_USER, consentstore); }
};

class quiet : public scenario {};

TEST_F(quiet, a_microphone_in_use_holds_messages_and_its_stop_releases_them)
{
    consent mic;
    mic.set(130000000000000000ull, 0);
    writequiet("");
    auto a = ready();
    ASSERT_TRUE(a);
    expectheld(*a, "vexolind - quiet: microphone in use");
    mic.set(130000000000000000ull, 130000000000000009ull);
    expectreleased(*a);
}

TEST_F(quiet, hours_that_exclude_now_hold_messages)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    char hours[40];
    snprintf(hours, sizeof hours, "hours=%02d:00-%02d:00\r\n", (st.wHour + 2) % 24, (st.wHour + 3) % 24);
    writequiet(hours);
    auto a = ready();
    ASSERT_TRUE(a);
    expectheld(*a, "vexolind - quiet: outside your hours");
}

TEST_F(quiet, a_listed_program_holds_messages_while_it_runs)
{
    auto notepad = app::start("", "C:\\windows\\notepad.exe");
    HWND w = nullptr;
    ASSERT_TRUE(notepad && winui::waitfor([&] { return (w = windowof("Notepad", notepad->pid())) != nullptr; }, 15000));
    ShowWindow(w, SW_HIDE);   // clear of the tray icon, whose tip is read by hovering
    writequiet("programs=Zoom.exe; NOTEPAD.EXE\r\n");
    auto a = ready();
    ASSERT_TRUE(a);
    expectheld(*a, "vexolind - quiet: notepad.exe is running");
    notepad.reset();
    expectreleased(*a);
}

TEST_F(quiet, typing_holds_a_due_message_until_the_keys_stop)
{
    writesettings("mintime=2\r\nmaxtime=2\r\nautorun=0\r\nautoupdate=0\r\n");
    auto a = ready();
    ASSERT_TRUE(a);
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_SHIFT;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    for (DWORD until = GetTickCount() + 10000; GetTickCount() < until; Sleep(300)) {
        ASSERT_EQ(SendInput(2, keys, sizeof *keys), 2u);
        ASSERT_TRUE(a->boxes("vexolind").empty()) << "a message landed mid-word";
    }
    expectreleased(*a);
}

TEST_F(quiet, the_more_settings_dialog_shows_the_file_and_writes_what_it_shows)
{
    writequiet("hours=22:00-02:00\r\ndays=67\r\naway=5\r\nprograms=Zoom.exe\r\n");
    auto a = ready();
    ASSERT_TRUE(a);
    a->rightclick();
    ASSERT_TRUE(a->menu());
    a->pick('t');
    HWND d = nullptr;
    ASSERT_TRUE(winui::waitfor(
        [&] { return (d = winui::findwindow("#32770", "vexolind - more settings", a->pid())) != nullptr; }, 10000));
    auto text = [&](int id) { char s[256] = ""; GetDlgItemTextA(d, id, s, sizeof s); return std::string(s); };
    auto on = [&](int id) { return IsDlgButtonChecked(d, id) == BST_CHECKED; };
    EXPECT_EQ(text(IDC_FROM) + "-" + text(IDC_TO) + " " + text(IDC_AWAY) + " " + text(IDC_PROGRAMS), "22:00-02:00 5 Zoom.exe");
    EXPECT_TRUE(on(IDC_MEDIA) && !on(IDC_TYPING) && !on(IDC_ALLDAY) && !on(IDC_DAY1) && on(IDC_DAY1 + 5) && on(IDC_DAY1 + 6));
    SetDlgItemTextA(d, IDC_FROM, "8:30");
    SetDlgItemTextA(d, IDC_PROGRAMS, "Teams.exe;Zoom.exe");
    PostMessageA(GetDlgItem(d, IDC_DAY1), BM_CLICK, 0, 0);
    PostMessageA(GetDlgItem(d, IDC_MEDIA), BM_CLICK, 0, 0);
    ASSERT_TRUE(winui::waitfor([&] { return on(IDC_DAY1) && !on(IDC_MEDIA); }, 5000));
    PostMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(winui::waitfor([&] { return !IsWindow(d); }, 5000));
    auto got = lines(readfile(settingspath()));
    std::vector<std::string> quietpart(std::find(got.begin(), got.end(), "[quiet]"), got.end());
    EXPECT_EQ(quietpart, (std::vector<std::string>{"[quiet]", "typing=0", "hours=08:30-02:00", "days=167", "away=5",
                                                     "programs=Teams.exe;Zoom.exe", "media=0"}));
    EXPECT_EQ(got[1], "mintime=3");
}

} // namespace
