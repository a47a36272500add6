// Quiet times end to end: what holds timer messages, the tip that says why, and the dialog that sets them.
#include "harness.h"
#include "resource.h"

#include <commctrl.h>
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

// A program's record of its last use of the microphone, as Windows keeps it: times since this boot.
struct consent {
    static uint64_t now()
    {
        FILETIME t;
        GetSystemTimeAsFileTime(&t);
        return (uint64_t)t.dwHighDateTime << 32 | t.dwLowDateTime;
    }
    void set(uint64_t start, uint64_t stop)
    {
        std::string key = std::string(consentstore) + "\\microphone\\NonPackaged\\C:#calls#call.exe";
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "LastUsedTimeStart", REG_QWORD, &start, 8), 0);
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "LastUsedTimeStop", REG_QWORD, &stop, 8), 0);
    }
    ~consent() { RegDeleteTreeA(HKEY_CURRENT_USER, consentstore); }
};

class quiet : public scenario {};

TEST_F(quiet, each_cause_holds_messages_and_names_itself_until_it_ends)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    char hours[40];
    snprintf(hours, sizeof hours, "hours=%02d:00-%02d:00\r\n", (st.wHour + 2) % 24, (st.wHour + 3) % 24);
    consent mic;
    std::unique_ptr<app> notepad;
    const struct {
        std::string quiet, tip;
        std::function<void()> begin, end;   // no end: the cause lasts
    } cases[] = {
        {"", "vexolind - quiet: microphone in use", [&] { mic.set(consent::now(), 0); },
         [&] { uint64_t t = consent::now(); mic.set(t - 10000000, t); }},
        {hours, "vexolind - quiet: outside your hours", [] {}, nullptr},
        {"programs=Zoom.exe; NOTEPAD.EXE\r\n", "vexolind - quiet: notepad.exe is running",
         [&] {
             notepad = app::start("", "C:\\windows\\notepad.exe");
             HWND w = nullptr;
             // On a busy machine Notepad can take a while; shown late, it would cover the tray icon.
             EXPECT_TRUE(winui::waitfor([&] { return (w = windowof("Notepad", notepad->pid())) != nullptr; }, 60000));
             ShowWindow(w, SW_HIDE);   // clear of the tray icon, whose tip is read by hovering
         },
         [&] { notepad.reset(); }},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.tip);
        c.begin();
        writequiet(c.quiet);
        auto a = ready();
        ASSERT_TRUE(a);
        std::string shown;
        EXPECT_TRUE(winui::waitfor([&] { return (shown = traytip(trayicons().front())) == c.tip; }, 30000)) << shown;
        expectheld(*a, [] { return true; });
        if (c.end) {
            c.end();
            EXPECT_NE(a->nextmessage(0, 15000), MAXDWORD) << "the held message did not come once the cause ended";
        }
    }
}

TEST_F(quiet, typing_holds_a_due_message_until_the_keys_stop)
{
    writesettings("mintime=2\r\nmaxtime=2\r\nautorun=0\r\nautoupdate=0\r\n");
    auto a = ready();
    ASSERT_TRUE(a);
    for (DWORD until = GetTickCount() + 10000; GetTickCount() < until; Sleep(300)) {
        winui::press({VK_SHIFT});
        ASSERT_TRUE(a->boxes("vexolind").empty()) << "a message landed mid-word";
    }
    EXPECT_TRUE(a->box("vexolind", 15000)) << "the due message did not come once the keys stopped";
}

TEST_F(quiet, the_more_settings_dialog_shows_the_file_and_writes_what_it_shows)
{
    // No timer message in the way of the boxes this test waits for, whatever the day and hour.
    writesettings("mintime=3600\r\nmaxtime=3600\r\nautorun=0\r\nautoupdate=0\r\n[quiet]\r\ntyping=0\r\n"
                  "hours=22:00-02:00\r\nsat=\r\ndays=67\r\naway=5\r\nprograms=Zoom.exe\r\n"
                  "[keys]\r\nnow=Ctrl+Shift+K\r\n");
    auto a = ready();
    ASSERT_TRUE(a);
    HWND d = a->dialog('t', "vexolind - more settings");
    ASSERT_TRUE(d);
    auto text = [&](int id) { char s[256] = ""; GetDlgItemTextA(d, id, s, sizeof s); return std::string(s); };
    auto on = [&](int id) { return IsDlgButtonChecked(d, id) == BST_CHECKED; };
    EXPECT_EQ(text(IDC_HOURS) + " " + text(IDC_AWAY) + " " + text(IDC_PROGRAMS), "22:00-02:00 5 Zoom.exe");
    EXPECT_TRUE(on(IDC_MEDIA) && !on(IDC_TYPING) && !on(IDC_ALLDAY) && !on(IDC_DAY1) && on(IDC_DAY1 + 5) && on(IDC_DAY1 + 6));
    EXPECT_TRUE(on(IDC_STYLEBOX) && !on(IDC_STYLENOTE) && on(IDC_SOUNDDEFAULT) && !IsWindowEnabled(GetDlgItem(d, IDC_SOUNDPATH)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, IDC_DAYNOTE)));
    EXPECT_EQ(text(IDC_DAYNOTE), "Some days have hours of their own in the settings file.");
    auto key = [&](int id) { return SendDlgItemMessageA(d, id, HKM_GETHOTKEY, 0, 0); };
    const WORD ctrlshift = (HOTKEYF_CONTROL | HOTKEYF_SHIFT) << 8;
    EXPECT_EQ(key(IDC_KEYNOW), ctrlshift | 'K');
    EXPECT_EQ(key(IDC_KEYPAUSE), 0);

    // A chord this program holds is taken: the dialog says so, stays open and writes nothing.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_SHIFT, 'J'));
    const std::string before = readfile(settingspath());
    SendDlgItemMessageA(d, IDC_KEYPAUSE, HKM_SETHOTKEY, ctrlshift | 'J', 0);
    PostMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    HWND taken = a->box("vexolind");
    ASSERT_TRUE(taken);
    EXPECT_EQ(winui::boxtext(taken), "That shortcut is taken by another program.");
    EXPECT_EQ(GetWindow(taken, GW_OWNER), d);
    ASSERT_TRUE(dismiss(taken));
    EXPECT_TRUE(IsWindow(d));
    EXPECT_EQ(readfile(settingspath()), before);
    UnregisterHotKey(nullptr, 1);
    winui::press({VK_CONTROL, VK_SHIFT, 'K'});
    HWND now = a->box("vexolind");
    EXPECT_TRUE(now && dismiss(now)) << "the chord in the file was not held again";

    SendDlgItemMessageA(d, IDC_KEYPAUSE, HKM_SETHOTKEY, ctrlshift | 'P', 0);
    PostMessageA(GetDlgItem(d, IDC_STYLENOTE), BM_CLICK, 0, 0);
    SetDlgItemTextA(d, IDC_HOURS, "8:30-12:00, 13:00-2:00");
    PostMessageA(GetDlgItem(d, IDC_SOUNDFILE), BM_CLICK, 0, 0);
    SetDlgItemTextA(d, IDC_SOUNDPATH, "C:\\sounds\\ding.wav");
    SetDlgItemTextA(d, IDC_PROGRAMS, "Teams.exe;Zoom.exe");
    PostMessageA(GetDlgItem(d, IDC_DAY1), BM_CLICK, 0, 0);
    PostMessageA(GetDlgItem(d, IDC_MEDIA), BM_CLICK, 0, 0);
    ASSERT_TRUE(winui::waitfor([&] { return on(IDC_DAY1) && !on(IDC_MEDIA) && on(IDC_SOUNDFILE); }, 5000));
    PostMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(winui::waitfor([&] { return !IsWindow(d); }, 5000));
    auto got = lines(readfile(settingspath()));
    EXPECT_EQ(std::vector<std::string>(std::find(got.begin(), got.end(), "[quiet]"), got.end()),
              (std::vector<std::string>{"[quiet]", "typing=0", "hours=08:30-12:00,13:00-02:00", "sat=", "days=167",
                                        "away=5", "programs=Teams.exe;Zoom.exe", "media=0", "[keys]",
                                        "now=Ctrl+Shift+K", "pause=Ctrl+Shift+P", "[show]", "style=note",
                                        "sound=C:\\sounds\\ding.wav"}));
    EXPECT_EQ(got[1], "mintime=3600");
}

} // namespace
