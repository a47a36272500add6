#include "choices.h"
#include "msgfiles.h"
#include "pauseplan.h"
#include "quietdecision.h"
#include "recent.h"
#include "shell.h"
#include "sound.h"
#include "winui.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <set>

namespace {

// The runtime's rand is the only random source; tests pick seeds that make it say what they need.
unsigned seedforfirst(int want)
{
    for (unsigned s = 0;; s++) {
        srand(s);
        if (rand() == want)
            return s;
    }
}

using drawn = std::pair<int, int>;

drawn peek(unsigned seed)
{
    srand(seed);
    drawn d{rand(), rand()};   // braces draw left to right
    srand(seed);
    return d;
}

class core : public ::testing::Test {
protected:
    context_t ctx{};
    context_t *saved = nullptr;
    void SetUp() override
    {
        saved = con;
        con = &ctx;
        ctx.curki = kisses;
    }
    void TearDown() override { con = saved; }
};

TEST(tables, hold_every_text_exactly)
{
    static const char *const wantkisses[] = {
        "You're an asset to this company",
        "Your hair's looking particularly good today",
        "That outfit really suits you",
        "I bet loads of people fancy you, and you don't even know it",
        "I wish I had a body like yours",
        "You work so hard,you're worth so much more",
        "You're the cleverest person in the office",
        "You're fucking great you are",
        "Have you lost weight ?",
        "People are really jealous of you",
        "You're so deep!\x0a" "Most people don't understand you",
        "You really push my button",
        "You've got a lovely touch",
        "Go and have a coffee - you deserve a break",
        "What's someone as good looking as you doing in a dump like this ?",
        "You're brilliant!",
        "Have you been working out ?",
        "EOL",
    };
    static const char *const wantkickers[] = {
        "What a wanker",
        "What were you thinking of when you decided to do your hair like that ?",
        "Work harder you lazy git",
        "All your friends hate you",
        "You really should consider plastic surgery",
        "Your mum",
        "Sort your hair out you lowlife",
        "The manager thinks you're a twat too",
        "Everyone hates you",
        "All the people in the office think you're a twat",
        "You're such a fuck up - what are you ?",
        "You're such a dick",
        "EOL",
    };
    for (size_t i = 0; i < sizeof wantkisses / sizeof *wantkisses; i++)
        EXPECT_STREQ(kisses[i], wantkisses[i]) << "kisses entry " << i + 1;
    for (size_t i = 0; i < sizeof wantkickers / sizeof *wantkickers; i++)
        EXPECT_STREQ(kickers[i], wantkickers[i]) << "kickers entry " << i + 1;
}

TEST(tables, count_stops_at_the_first_eol_by_text)
{
    EXPECT_EQ(countkis(kisses), 17);
    EXPECT_EQ(countkis(kickers), 12);

    // The end marker is found by comparing text, not by its address.
    char eol[] = "EOL";
    char eolagain[] = "EOL";
    const char *const table[] = {"one", "two", eol, "three", eolagain};
    EXPECT_EQ(countkis(table), 2);
    const char *const empty[] = {eol};
    EXPECT_EQ(countkis(empty), 0);
}

TEST(interval, follows_the_unsigned_formula)
{
    struct {
        uint32_t mintime, maxtime, r, want;
    } cases[] = {
        {10, 3600, 0, 10},
        {10, 3600, 32767, 3599},
        {10, 3600, 16384, 10 + 1795},
        {10, 10, 0, 10},
        {10, 10, 32767, 10},
        {0, 0, 32767, 0},
        {100, 50, 16384, 131147},          // inverted bounds: the difference wraps
        {0, 200000, 32767, 68921},         // 200000 * 32767 wraps past 2^32
        {5, 0xFFFFFFFFu, 2, 5 + (((0xFFFFFFFFu - 5) * 2u) >> 15)},
    };
    for (auto &c : cases)
        EXPECT_EQ(intervalfor(c.mintime, c.maxtime, c.r), c.want)
            << c.mintime << ".." << c.maxtime << " r=" << c.r;
}

TEST_F(core, newinterval_resets_the_count_and_draws_once)
{
    ctx.mintime = 10;
    ctx.maxtime = 3600;
    ctx.tick = 77;
    drawn d = peek(4242);
    newinterval(&ctx);
    EXPECT_EQ(ctx.tick, 0u);
    EXPECT_EQ(ctx.rtime, intervalfor(10, 3600, d.first));
    EXPECT_EQ(rand(), d.second) << "newinterval must draw exactly one value";
}

TEST_F(core, a_random_value_picks_its_modulo_entry_and_the_end_marker_is_never_shown)
{
    // n - 1 brings the last message: one more would be the marker.
    struct {
        const char *const *table;
        int r;
        const char *want;
    } cases[] = {
        {kisses, 0, "You're an asset to this company"},
        {kisses, 32767, "Have you lost weight ?"},
        {kisses, 16, "Have you been working out ?"},
        {kickers, 0, "What a wanker"},
        {kickers, 32767, "The manager thinks you're a twat too"},
        {kickers, 11, "You're such a dick"},
    };
    for (auto &c : cases) {
        ctx.curki = c.table;
        unsigned seed = seedforfirst(c.r);
        winui::boxwatcher boxes("vexolind");
        srand(seed);
        EXPECT_EQ(veXoLind(&ctx), 1);
        ASSERT_EQ(boxes.texts().size(), 1u);
        EXPECT_EQ(boxes.texts()[0], c.want) << "r=" << c.r;
    }
}

TEST_F(core, ticks_only_count_until_the_interval_runs_out)
{
    ctx.mintime = 20;
    ctx.maxtime = 600;
    ctx.tick = 0;
    ctx.rtime = 5;
    for (uint32_t t = 1; t <= 5; t++) {
        EXPECT_FALSE(ontimer(&ctx));
        EXPECT_EQ(ctx.tick, t);
        EXPECT_EQ(ctx.rtime, 5u);
    }
    // Tick R+1 draws the next interval, and a message is due.
    drawn d = peek(1234);
    EXPECT_TRUE(ontimer(&ctx));
    EXPECT_EQ(ctx.tick, 0u);
    EXPECT_EQ(ctx.rtime, intervalfor(20, 600, d.first));
}

TEST_F(core, zero_bounds_bring_a_message_at_every_tick)
{
    ctx.mintime = ctx.maxtime = 0;
    ctx.tick = ctx.rtime = 0;
    for (int i = 0; i < 3; i++)
        EXPECT_TRUE(ontimer(&ctx));
    EXPECT_EQ(ctx.rtime, 0u);
}

// While the box is open its modal loop runs the timer; a nested call must be turned away.
struct nested {
    int result = 0;
    int secondresult = 0;
    int again = 0;
    int drawafter = -1;
    volatile LONG done = 0;
} probe;

void CALLBACK nestedcall(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    probe.result = veXoLind(con);
    probe.secondresult = veXoLind(con);
    probe.again = showagain(con, 0);
    probe.drawafter = rand();
    InterlockedExchange(&probe.done, 1);
}

TEST_F(core, a_call_while_the_box_is_open_returns_minus_one_and_draws_nothing)
{
    probe = nested{};
    drawn d = peek(99);
    UINT_PTR timer = SetTimer(nullptr, 0, 100, nestedcall);
    ASSERT_NE(timer, 0u);
    {
        winui::boxwatcher boxes("vexolind", [] { return probe.done != 0; });
        EXPECT_EQ(veXoLind(&ctx), 1);
        ASSERT_EQ(boxes.texts().size(), 1u) << "the nested call must not open a second box";
    }
    EXPECT_EQ(probe.result, -1);
    EXPECT_EQ(probe.secondresult, -1) << "the guard must still be set after a skipped call";
    EXPECT_EQ(probe.again, -1) << "a recent message is not shown again over an open one";
    EXPECT_EQ(probe.drawafter, d.second) << "a skipped call must not draw a random value";

    // Dismissed, the guard is clear again: the next call shows a box, which can be shown again.
    winui::boxwatcher boxes("vexolind");
    EXPECT_EQ(veXoLind(&ctx), 1);
    EXPECT_EQ(showagain(&ctx, 0), 1);
    EXPECT_EQ(showagain(&ctx, RECENT_MAX), -1);
    auto texts = boxes.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], texts[0]);
}

TEST(recent, keeps_the_last_ten_newest_first_each_on_one_short_line)
{
    std::deque<alerttext> list;
    for (int i = 0; i < 12; i++)
        remember(list, {nullptr, std::to_wstring(i)});
    ASSERT_EQ(list.size(), (size_t)RECENT_MAX);
    EXPECT_EQ(list.front().user + L" " + list.back().user, L"11 2");
    const std::wstring x39(39, L'x');
    const struct { std::wstring text, label; } cases[] = {
        {L"You're brilliant!", L"You're brilliant!"},
        {x39 + L"y", x39 + L"y"},
        {x39 + L"yz", x39 + L"y\u2026"},
        {L"You're so deep!\nMost people don't understand you", L"You're so deep! Most people don't unders\u2026"},
        {L"Fish & chips\ttoday", L"Fish && chips today"},
        {x39 + L"\U0001F48B", x39 + L"\U0001F48B"},
        {x39 + L"\U0001F48By", x39 + L"\U0001F48B\u2026"},
    };
    for (auto &c : cases)
        EXPECT_EQ(recentlabel(c.text), c.label) << &c - cases;
    EXPECT_EQ(alertwide({kisses[0], L""}), L"You're an asset to this company");
}

std::vector<std::wstring> heard;   // the calls that make a sound or a silent box, in order

BOOL WINAPI recordplay(LPCWSTR sound, HMODULE, DWORD flags)
{
    heard.push_back(L"play " + std::wstring(sound) + L" " + std::to_wstring(flags));
    return TRUE;
}

int WINAPI recordbox(const MSGBOXPARAMSW *p)
{
    heard.push_back(L"box " + std::to_wstring(p->dwStyle) + L" " + std::to_wstring(p->hInstance ? 0 : (uintptr_t)p->lpszIcon));
    return MessageBoxIndirectW(p);
}

// Wine has no sound device, so the calls that make sounds are recorded; the boxes are real.
TEST_F(core, a_wave_file_plays_as_the_box_appears_and_none_keeps_the_box_silent)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    const std::string wav = std::string(dir) + "vx ding.wav", text = std::string(dir) + "vx_text.wav";
    winui::writefile(wav, std::string("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x40\x1f\0\0\x80\x3e\0\0\2\0\x10\0data\0\0\0\0", 44));
    winui::writefile(text, "not a sound at all");
    // A silent box shows the warning icon (32515) as a user icon, not MB_ICONWARNING, which brings its sound.
    const std::wstring silent = L"box " + std::to_wstring(MB_OK | MB_USERICON | MB_TOPMOST) + L" 32515";
    const std::wstring played = L"play " + std::wstring(wav.begin(), wav.end()) + L" " +
                                std::to_wstring(SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
    soundcalls real = soundplatform;
    soundplatform = {recordplay, recordbox};
    const struct {
        std::string sound;
        std::vector<std::wstring> calls;
    } cases[] = {{"", {}}, {"default", {}}, {" NONE ", {silent}}, {wav, {played, silent}},
                 {std::string(dir) + "vx_missing.wav", {}}, {text, {}}};
    for (auto &c : cases) {
        SCOPED_TRACE(c.sound);
        heard.clear();
        ctx.sound.assign(c.sound.begin(), c.sound.end());
        winui::boxwatcher boxes("vexolind");
        EXPECT_EQ(showmessage(&ctx, L"You're brilliant!"), 1);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{"You're brilliant!"});
        EXPECT_EQ(heard, c.calls);
    }
    soundplatform = real;
    DeleteFileA(wav.c_str());
    DeleteFileA(text.c_str());
}

std::string utf16(const std::u16string &text, bool bigendian)
{
    std::string bytes = bigendian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : text)
        bytes += bigendian ? std::string{char(u >> 8), char(u)} : std::string{char(u), char(u >> 8)};
    return bytes;
}

TEST(msgfile, reads_every_encoding_mark_and_limit)
{
    const std::string x999(999, 'x'), big(MSGFILE_MAXBYTES, 'y');
    std::string many;
    for (int i = 0; i <= 10000; i++)
        many += "m\n";
    const std::u16string emoji = u"\U0001F600";
    struct {
        const char *name;
        std::string bytes;
        std::vector<std::u16string> want;
        bool only;
    } cases[] = {
        {"utf-8, LF", "one\ntwo", {u"one", u"two"}, false},
        {"utf-8 mark, CR LF and CR", "\xEF\xBB\xBFone\r\ntwo\rthree\r\n", {u"one", u"two", u"three"}, false},
        {"utf-16 LE", utf16(u"Γειά σου\r\n你好", false), {u"Γειά σου", u"你好"}, false},
        {"utf-16 BE", utf16(u"one\n" + emoji, true), {u"one", emoji}, false},
        {"an odd last byte and a lone surrogate", utf16(u"a\xD800z", false) + "!", {u"a\xFFFDz"}, false},
        {"comments, blanks, trimming", " \t# note\n\n   \n\t spaced\tout \t\n#x", {u"spaced out"}, false},
        {"\\n makes a line feed", "So deep!\\nTwo lines\n\\n\n \\n \\n", {u"So deep!\nTwo lines"}, false},
        {"!only in any case", "!OnLy\nmine\n# !only", {u"mine"}, true},
        {"!only inside a message", "!only now", {u"!only now"}, false},
        {"!only and no message", "!only\n# note", {}, true},
        {"not utf-8: the ANSI code page", "Caf\xE9\n\xCE\x93\n\xC0\x80", {u"Café", u"Γ", u"À€"}, false},
        {"controls never show", std::string("a\0b\x07" "c\x7F\xC2\x85" "d\xEF\xBB\xBF", 12), {u"abcd"}, false},
        {"cut at 1000 code points, not inside a pair", x999 + "\xF0\x9F\x98\x80\xF0\x9F\x98\x80",
         {std::u16string(999, 'x') + emoji}, false},
        {"the first 10,000 messages; a later !only counts", many + "!only", std::vector<std::u16string>(10000, u"m"), true},
        {"1 MiB: the cut line is dropped", "a\n" + big, {u"a"}, false},
        {"1 MiB: a line ended at the limit stays", "a\n" + big.substr(3) + "\nb", {u"a", std::u16string(1000, 'y')}, false},
    };
    for (auto &c : cases) {
        msgfile f = parsemsgfile(reinterpret_cast<const unsigned char *>(c.bytes.data()), c.bytes.size(), ansiline);
        EXPECT_TRUE(f.messages == c.want) << c.name << ": " << f.messages.size() << " messages";
        EXPECT_EQ(f.only, c.only) << c.name;
    }
}

TEST(msgfile, the_deck_deals_all_before_any_twice_and_never_the_last_first)
{
    for (int n : {1, 2, 3, 29}) {
        srand(n);
        deck d;
        std::set<int> firsts;
        for (int round = 0, last = -1; round < 40; round++) {
            std::set<int> dealt;
            for (int i = 0; i < n; i++) {
                int card = deal(d, n);
                EXPECT_TRUE(card >= 0 && card < n && (i || n == 1 || card != last)) << n << " cards, round " << round;
                if (!i)
                    firsts.insert(card);
                dealt.insert(last = card);
            }
            EXPECT_EQ(dealt.size(), (size_t)n) << n << " cards, round " << round;
        }
        EXPECT_EQ(firsts.size() > 1, n > 2) << "shuffled";
    }
}

TEST(quiet, each_cause_holds_messages_and_look_alikes_do_not)
{
    const RECT screen = {0, 0, 1920, 1080}, second = {1920, 0, 3840, 1080}, small = {100, 100, 900, 700};
    const DWORD popup = WS_POPUP | WS_VISIBLE, framed = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    const uint64_t now = 5000;
    struct {
        const char *name;
        int note;   // 5: accepts notifications
        bool fg, ours;
        DWORD style;
        const wchar_t *cls;
        RECT window, monitor;
        int away;
        uint64_t until;
        bool want;
    } cases[] = {
        {"an ordinary window", 5, true, false, framed, L"Notepad", small, screen, 0, 0, false},
        {"the shell query failed", 0, true, false, framed, L"Notepad", small, screen, 0, 0, false},
        {"busy", 2, true, false, framed, L"Notepad", small, screen, 0, 0, true},
        {"presentation mode", 4, true, false, framed, L"Notepad", small, screen, 0, 0, true},
        {"an app's own quiet, such as an open Start menu", 7, true, false, framed, L"Notepad", small, screen, 0, 0, false},
        {"another program full screen", 5, true, false, popup, L"Game", screen, screen, 0, 0, true},
        {"a thin border is no caption", 5, true, false, popup | WS_BORDER, L"Game", screen, screen, 0, 0, true},
        {"one pixel smaller", 5, true, false, popup, L"Game", {0, 0, 1919, 1080}, screen, 0, 0, false},
        {"captioned and maximised", 5, true, false, framed | WS_MAXIMIZE, L"Notepad", {-8, -8, 1928, 1088}, screen, 0, 0, false},
        {"our own window full screen", 5, true, true, popup, L"Splash", screen, screen, 0, 0, false},
        {"our own message box", 5, true, true, WS_POPUP | WS_CAPTION, L"#32770", small, screen, 0, 0, false},
        {"no foreground window", 5, false, false, popup, L"", screen, screen, 0, 0, false},
        {"the desktop", 5, true, false, popup, L"#32769", screen, screen, 0, 0, false},
        {"the desktop's program manager", 5, true, false, popup, L"progman", screen, screen, 0, 0, false},
        {"the desktop's worker", 5, true, false, popup, L"WorkerW", screen, screen, 0, 0, false},
        {"the taskbar", 5, true, false, popup, L"Shell_TrayWnd", screen, screen, 0, 0, false},
        {"the second taskbar", 5, true, false, popup, L"Shell_SecondaryTrayWnd", screen, screen, 0, 0, false},
        {"full screen on a second monitor", 5, true, false, popup, L"Game", second, second, 0, 0, true},
        {"covering another monitor than its own", 5, true, false, popup, L"Game", screen, second, 0, 0, false},
        {"an unknown monitor", 5, true, false, popup, L"Game", screen, {}, 0, 0, false},
        {"locked", 5, true, false, framed, L"Notepad", small, screen, AWAY_LOCKED, 0, true},
        {"disconnected", 5, true, false, framed, L"Notepad", small, screen, AWAY_DISCONNECTED, 0, true},
        {"paused", 5, true, false, framed, L"Notepad", small, screen, 0, now + 1, true},
        {"a pause that has ended", 5, true, false, framed, L"Notepad", small, screen, 0, now, false},
        {"several at once", 4, true, false, popup, L"Game", screen, screen, AWAY_LOCKED, now + 9, true},
    };
    for (auto &c : cases) {
        quietinputs in = {c.note, c.fg, c.ours, c.style, c.cls, c.window, c.monitor, c.away, c.until, now};
        EXPECT_EQ(whyquiet(in) != quiet_none, c.want) << c.name;
    }
}

TEST(pause, ends_by_real_time_or_tomorrow_s_hours_across_midnight_and_clock_changes)
{
    // A zone one hour ahead of UTC that keeps summer time from 2026-03-29 01:00 UTC to
    // 2026-10-25 01:00 UTC, as central Europe does.
    const int64_t spring = minuteof({2026, 3, 29, 1, 0}), autumn = minuteof({2026, 10, 25, 1, 0});
    const zoneoffset cet = [&](int64_t utc) { return utc >= spring && utc < autumn ? 120 : 60; };
    quietrules plain, split, ownsat, nosat, weekdays;
    split.hours = {{780, 1050}, {540, 720}};
    ownsat.hours = split.hours, ownsat.perday[5] = {true, {{600, 720}}};
    nosat.perday[5].set = true;
    weekdays.hours = split.hours, weekdays.days = 0x1f;
    const struct {
        civiltime local;   // when chosen
        int minutes;
        const quietrules *r;
        int64_t realminutes;   // how long it lasts; -1 until resumed
        const char *kept, *tip;
    } cases[] = {
        {{2026, 12, 11, 14, 0}, 30, &plain, 30, "2026-12-11 14:30", "vexolind - paused until 14:30"},
        {{2026, 12, 11, 23, 30}, 60, &plain, 60, "2026-12-12 00:30", "vexolind - paused until tomorrow 00:30"},
        {{2026, 12, 31, 23, 59}, 120, &plain, 120, "2027-01-01 01:59", "vexolind - paused until tomorrow 01:59"},
        {{2026, 12, 11, 9, 15}, 1440, &plain, 1440, "2026-12-12 09:15", "vexolind - paused until tomorrow 09:15"},
        // The clock skips 02:00 to 03:00, and later goes back from 03:00 to 02:00: an hour is an hour.
        {{2026, 3, 29, 1, 30}, 60, &plain, 60, "2026-03-29 03:30", "vexolind - paused until 03:30"},
        {{2026, 10, 25, 1, 50}, 120, &plain, 120, "2026-10-25 02:50", "vexolind - paused until 02:50"},
        // Friday evening: Saturday's own hours, the earliest range, or 08:00 on a day without any.
        {{2026, 12, 11, 18, 0}, PAUSE_TOMORROW, &plain, 840, "2026-12-12 08:00", "vexolind - paused until tomorrow 08:00"},
        {{2026, 12, 11, 18, 0}, PAUSE_TOMORROW, &split, 900, "2026-12-12 09:00", "vexolind - paused until tomorrow 09:00"},
        {{2026, 12, 11, 18, 0}, PAUSE_TOMORROW, &ownsat, 960, "2026-12-12 10:00", "vexolind - paused until tomorrow 10:00"},
        {{2026, 12, 11, 18, 0}, PAUSE_TOMORROW, &nosat, 840, "2026-12-12 08:00", "vexolind - paused until tomorrow 08:00"},
        {{2026, 12, 11, 18, 0}, PAUSE_TOMORROW, &weekdays, 840, "2026-12-12 08:00", "vexolind - paused until tomorrow 08:00"},
        {{2026, 12, 12, 0, 30}, PAUSE_TOMORROW, &split, 1950, "2026-12-13 09:00", "vexolind - paused until tomorrow 09:00"},
        // Tomorrow's 08:00 comes an hour sooner across the night the clock skips.
        {{2026, 3, 28, 22, 0}, PAUSE_TOMORROW, &plain, 540, "2026-03-29 08:00", "vexolind - paused until tomorrow 08:00"},
        {{2026, 12, 11, 14, 0}, PAUSE_UNTILRESUMED, &plain, -1, "resume", "vexolind - paused until you resume"},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(pausevalue(minuteof(c.local)).c_str());
        int64_t local = minuteof(c.local);
        uint64_t now = utcof(local, cet) + 25000;   // 25 s into the minute
        pauseplan p = planpause(now, c.minutes, *c.r, cet);
        EXPECT_EQ(p.until, c.realminutes < 0 ? PAUSE_FOREVER : now + c.realminutes * 60000 - (c.minutes < 0 ? 25000 : 0));
        EXPECT_EQ(pausevalue(p.localend), std::wstring(c.kept, c.kept + strlen(c.kept)));
        EXPECT_EQ(parsepausevalue(pausevalue(p.localend)), p.localend);
        char tip[64];
        pausetext(tip, sizeof tip, local, p.localend);
        EXPECT_STREQ(tip, c.tip);
        EXPECT_TRUE(pausing(p.until, now + c.realminutes * 60000 - 25001));
        EXPECT_EQ(pausing(p.until, now + c.realminutes * 60000), c.realminutes < 0);
    }
    // What a restart reads back: a later day by its date; anything else is no pause.
    char tip[64];
    pausetext(tip, sizeof tip, minuteof({2026, 12, 11, 14, 0}), parsepausevalue(L" 2026-12-24 08:00 "));
    EXPECT_STREQ(tip, "vexolind - paused until 2026-12-24 08:00");
    EXPECT_EQ(parsepausevalue(L"Resume"), PAUSE_NOEND);
    for (const wchar_t *bad : {L"", L"tomorrow", L"2026-02-29 08:00", L"2026-12-24 24:00", L"2026-12-24 8:00",
                               L"2026-12-24", L"1600-12-31 23:59", L"2026/12/24 08:00", L"2026-13-01 08:00"})
        EXPECT_EQ(parsepausevalue(bad), -1) << bad;
    EXPECT_EQ(weekdayof(minuteof({2026, 12, 11, 23, 59})), 5) << "a Friday";
    EXPECT_EQ(parsepausevalue(L"2028-02-29 12:00"), minuteof({2028, 2, 29, 12, 0}));
}

TEST(quiet, reconnecting_leaves_a_locked_session_locked)
{
    int away = awayafter(awayafter(0, WTS_SESSION_LOCK), WTS_CONSOLE_DISCONNECT);
    EXPECT_EQ(awayafter(away, WTS_REMOTE_CONNECT), AWAY_LOCKED);
    EXPECT_EQ(awayafter(away, WTS_SESSION_UNLOCK), AWAY_DISCONNECTED);
}

TEST_F(core, quiet_ticks_do_not_count_and_the_held_message_comes_alone_afterwards)
{
    ctx.mintime = ctx.maxtime = 3;
    ctx.tick = 2;
    ctx.rtime = 3;
    quietinputs quiet = {}, calm = {};
    quiet.away = AWAY_LOCKED;
    bool due = false;
    int shown = 0;
    for (int i = 0; i < 50; i++)
        EXPECT_EQ(alerttick(&ctx, quiet, false, &due), quiet_away);
    alerttick(&ctx, calm, false, &due);
    EXPECT_EQ(ctx.tick, 3u) << "the count goes on where it stood";
    for (int i = 0; i < 5000; i++) {
        alerttick(&ctx, i % 2 ? quiet : calm, true, &due);
        shown += due;
    }
    EXPECT_EQ(shown, 0) << "a due message also waits while held only when due";
    alerttick(&ctx, calm, false, &due);
    shown += due;
    alerttick(&ctx, calm, false, &due);
    shown += due;
    EXPECT_EQ(shown, 1) << "one message after a long quiet spell, no burst";
    EXPECT_EQ(ctx.tick, 1u);
}

TEST_F(core, a_note_goes_to_the_tray_icon_and_falls_back_to_a_box_when_the_tray_refuses_it)
{
    ctx.hwnd = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    struct {
        const char *style;   // null: none written
        bool icon;
        size_t boxes;
    } cases[] = {{"note", true, 0}, {"Note", true, 0}, {"note", false, 1}, {"box", true, 1}, {nullptr, true, 1}};
    for (auto &c : cases) {
        SCOPED_TRACE(testing::Message() << (c.style ? c.style : "none") << ", icon " << c.icon);
        ctx.style = c.style ? std::wstring(c.style, c.style + strlen(c.style)) : L"";
        ASSERT_TRUE(!c.icon || tray(ctx.hwnd, NIM_ADD, NIF_ICON, LoadIcon(nullptr, IDI_APPLICATION), nullptr));
        winui::boxwatcher boxes("vexolind");
        EXPECT_EQ(showmessage(&ctx, L"You're brilliant!"), 1);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>(c.boxes, "You're brilliant!"));
        tray(ctx.hwnd, NIM_DELETE, 0, nullptr, nullptr);
    }
    DestroyWindow(ctx.hwnd);
}

TEST(quiet, the_newer_causes_alone_together_and_the_first_in_tip_order_named)
{
    quietrules office, night, lunch;   // weekdays 09:00-17:30, away after 10 minutes; every night 22:00-02:00
    office.hours = {{540, 1050}}, office.days = 0x1f, office.awayminutes = 10;
    night.hours = {{1320, 120}};
    // Weekdays with a lunch break; Friday mornings only, no Saturday, and a Sunday hour of its own.
    lunch.hours = {{540, 720}, {780, 1050}}, lunch.days = 0x1f;
    lunch.perday[4] = {true, {{540, 720}}}, lunch.perday[5] = {true, {}}, lunch.perday[6] = {true, {{600, 660}}};
    const int mic = MEDIA_MICROPHONE, cam = MEDIA_CAMERA;
    const std::string name(80, 'x'), cut = "vexolind - quiet: " + name.substr(0, 34) + " is running";
    const std::string hours = "vexolind - quiet: outside your hours", zoom = "vexolind - quiet: Zoom.exe is running";
    // The states of SHQueryUserNotificationState, one row a value; the microphone shows what holds nothing.
    // Names in any script, never cut between the halves of a pair (here, one that would straddle the cut).
    const std::string full = "vexolind - quiet: full screen", paired = name.substr(0, 33) + u8"\U0001F4DE.exe";
    const struct {
        const quietrules *r;
        int day, minute, note, away, media;
        const char *program;
        DWORD still;   // ms since the last input and the start
        quietcause want;
        std::string tip;
    } cases[] = {
        {&office, 1, 600, 5, 0, 0, nullptr, 0, quiet_none, ""},
        {&office, 5, 540, 5, 0, 0, nullptr, 0, quiet_none, ""},      // the start of the hours counts
        {&office, 1, 1050, 5, 0, 0, nullptr, 0, quiet_hours, hours}, // their end does not
        {&office, 6, 600, 5, 0, 0, nullptr, 0, quiet_hours, hours},  // a Saturday
        {&night, 7, 1400, 5, 0, 0, nullptr, 0, quiet_none, ""},
        {&night, 7, 120, 5, 0, 0, nullptr, 0, quiet_hours, hours},
        {&night, 7, 720, 5, 0, 0, nullptr, 0, quiet_hours, hours},
        {&office, 1, 600, 5, 0, mic, nullptr, 0, quiet_microphone, "vexolind - quiet: microphone in use"},
        {&office, 1, 600, 5, 0, cam, nullptr, 0, quiet_camera, "vexolind - quiet: camera in use"},
        {&office, 1, 600, 5, 0, mic | cam, nullptr, 0, quiet_microphone, "vexolind - quiet: microphone in use"},
        {&office, 1, 600, 5, 0, 0, "Zoom.exe", 0, quiet_program, zoom},
        {&office, 1, 600, 5, 0, 0, name.c_str(), 0, quiet_program, cut},
        {&office, 1, 600, 5, 0, cam, "Zoom.exe", 0, quiet_camera, "vexolind - quiet: camera in use"},
        {&office, 6, 600, 5, 0, 0, "Zoom.exe", 0, quiet_program, zoom},
        {&office, 1, 600, 0, 0, mic, nullptr, 0, quiet_microphone, "vexolind - quiet: microphone in use"},
        {&office, 1, 600, 1, 0, 0, nullptr, 0, quiet_away, ""},                 // not present
        {&office, 6, 600, 1, 0, 0, nullptr, 0, quiet_hours, hours},              // ... as when locked
        {&office, 1, 600, 2, 0, mic, nullptr, 0, quiet_fullscreen, full},        // busy
        {&office, 1, 600, 3, 0, mic, nullptr, 0, quiet_fullscreen, full},        // full-screen Direct3D
        {&office, 1, 600, 4, 0, mic, nullptr, 0, quiet_fullscreen, full},        // presentation mode
        {&office, 1, 600, 6, 0, mic, nullptr, 0, quiet_gettingready, "vexolind - quiet: Windows is getting ready"},
        {&office, 1, 600, 7, 0, 0, nullptr, 0, quiet_none, ""},                  // an app's own quiet
        {&office, 1, 600, 8, 0, 0, nullptr, 0, quiet_none, ""},                  // unknown
        {&office, 1, 600, -1, 0, 0, nullptr, 0, quiet_none, ""},                 // unknown
        {&office, 1, 600, 5, 0, 0, u8"Звонок.exe", 0, quiet_program, u8"vexolind - quiet: Звонок.exe is running"},
        {&office, 1, 600, 5, 0, 0, paired.c_str(), 0, quiet_program, "vexolind - quiet: " + name.substr(0, 33) + " is running"},
        {&office, 6, 600, 5, AWAY_LOCKED, 0, nullptr, 0, quiet_hours, hours},
        {&office, 1, 600, 5, AWAY_LOCKED, 0, nullptr, 700000, quiet_away, ""},
        {&office, 1, 600, 5, 0, 0, nullptr, 600000, quiet_still, ""},
        {&office, 1, 600, 5, 0, 0, nullptr, 599999, quiet_none, ""},
        {nullptr, 6, 0, 5, 0, 0, nullptr, 999999, quiet_none, ""},
        {&lunch, 1, 719, 5, 0, 0, nullptr, 0, quiet_none, ""},
        {&lunch, 1, 720, 5, 0, 0, nullptr, 0, quiet_hours, hours},
        {&lunch, 1, 780, 5, 0, 0, nullptr, 0, quiet_none, ""},
        {&lunch, 5, 600, 5, 0, 0, nullptr, 0, quiet_none, ""},
        {&lunch, 5, 840, 5, 0, 0, nullptr, 0, quiet_hours, hours},
        {&lunch, 6, 600, 5, 0, 0, nullptr, 0, quiet_hours, hours},
        {&lunch, 7, 630, 5, 0, 0, nullptr, 0, quiet_none, ""},
        {&lunch, 7, 840, 5, 0, 0, nullptr, 0, quiet_hours, hours},
    };
    for (auto &c : cases) {
        quietinputs in = {};
        in.rules = c.r, in.weekday = c.day, in.minute = c.minute, in.notestate = c.note, in.away = c.away;
        std::wstring program = widen(c.program ? c.program : "");
        in.media = c.media, in.program = c.program ? program.c_str() : nullptr, in.tickms = c.still;
        wchar_t tip[64];
        quiettext(tip, 64, whyquiet(in), in.program);
        EXPECT_EQ(whyquiet(in), c.want) << &c - cases;
        EXPECT_EQ(tip, widen(c.tip)) << &c - cases;
    }
    wchar_t tip[64];
    quiettext(tip, 64, quiet_paused, nullptr);
    EXPECT_STREQ(tip, L"") << "a pause has its own tip";
    // Still time across the tick count's wrap, and from our start when the last input came before it.
    const DWORD wrap = 0xFFFFF000u;
    EXPECT_EQ(stillms(wrap + 601000, wrap + 1000, wrap), 600000u);
    EXPECT_EQ(stillms(wrap + 599999, wrap - 5000, wrap), 599999u);
    // A due message waits until 2 s after the last key, across the wrap too, unless typing=0.
    quietrules off;
    off.typing = false;
    const struct { const quietrules *r; DWORD tick, last; bool want; } typing[] = {
        {&office, 5000, 3001, true}, {&office, 5000, 3000, false}, {&off, 5000, 4999, false}, {&office, 0x100, 0xFFFFFF00u, true}};
    for (auto &t : typing) {
        quietinputs in = {};
        in.rules = t.r, in.tickms = t.tick, in.lastinputms = t.last;
        EXPECT_EQ(typingwait(in), t.want) << t.tick << " " << t.last;
    }
}

TEST(quiet, a_consent_record_is_in_use_from_a_start_since_boot_no_later_stop_ended)
{
    // start, stop, boot, in use
    const uint64_t cases[][4] = {{0, 0, 0, 0}, {5, 0, 0, 1}, {5, 9, 0, 0}, {9, 5, 0, 1}, {0, 5, 0, 0}, {5, 5, 0, 0},
                                 {5, 0, 6, 0}, {9, 5, 10, 0}, {6, 0, 6, 1}, {9, 5, 7, 1}};
    for (auto &c : cases)
        EXPECT_EQ(consentinuse(c[0], c[1], c[2]), c[3] != 0) << c[0] << " " << c[1] << " since " << c[2];
}

TEST(quiet, only_a_listed_program_of_our_own_session_counts)
{
    quietrules r = parsequiet({L"", L"Zoom.exe;Teams.exe", L"", L"", L"", L""});
    const processentry zoom = {L"zoom.EXE", 1}, theirs = {L"Zoom.exe", 2}, teams = {L"Teams.exe", 1},
                       unknown = {L"Zoom.exe", SESSION_UNKNOWN}, other = {L"notepad.exe", 1}, nameless = {nullptr, 1};
    const struct { std::vector<processentry> list; DWORD mine; int want; } cases[] = {
        {{other, zoom}, 1, 1}, {{theirs}, 1, -1}, {{theirs, teams}, 1, 1}, {{unknown}, 1, -1},
        {{zoom}, SESSION_UNKNOWN, -1}, {{unknown}, SESSION_UNKNOWN, -1}, {{nameless, other}, 1, -1}, {{}, 1, -1}};
    for (auto &c : cases)
        EXPECT_EQ(listedinsession(r, c.list.data(), c.list.size(), c.mine), c.want) << &c - cases;
}

TEST(seen, a_box_is_centred_on_the_work_area_of_the_monitor_the_user_works_on)
{
    const RECT left = {-1280, 0, 0, 984}, main = {0, 0, 1920, 1040}, tiny = {0, 0, 300, 200}, none = {5, 5, 5, 5};
    const POINT onleft = {-840, 416}, onmain = {760, 444};
    const struct { const char *what; const wchar_t *cls; const RECT *fg, *cursor; bool placed; POINT want; } cases[] = {
        {"the foreground window's monitor", L"Notepad", &left, &main, true, onleft},
        {"the cursor's without a foreground window", nullptr, nullptr, &left, true, onleft},
        {"the cursor's when the foreground's monitor is unknown", L"Notepad", nullptr, &main, true, onmain},
        {"the cursor's when the foreground's monitor is empty", L"Notepad", &none, &main, true, onmain},
        {"the cursor's when the desktop is in front", L"Progman", &main, &left, true, onleft},
        {"a second taskbar is where the user is", L"Shell_SecondaryTrayWnd", &left, &main, true, onleft},
        {"wider than the area: its left edge, centred down", L"Notepad", &tiny, &main, true, {0, 24}},
        {"nothing known: where Windows put it", nullptr, nullptr, nullptr, false, {7, 7}},
    };
    for (auto &c : cases) {
        POINT at = {7, 7};
        EXPECT_EQ(boxorigin({c.cls, c.fg, c.cursor}, {400, 151}, &at), c.placed) << c.what;
        EXPECT_TRUE(at.x == c.want.x && at.y == c.want.y) << c.what << ": " << at.x << "," << at.y;
    }
}

TEST(seen, the_taskbar_colour_picks_each_moods_icon)
{
    // Not read (as on Windows 7), 0, 1, 2: only 0 is a dark taskbar.
    const struct { bool read; DWORD value; const char *kiss, *kick; } cases[] = {
        {false, 0, "KISSES", "Kicker"}, {true, 0, "KISSESDARK", "KICKERDARK"}, {true, 1, "KISSES", "Kicker"},
        {true, 2, "KISSES", "Kicker"}};
    for (auto &c : cases) {
        EXPECT_STREQ(moodicon(true, lighttaskbar(c.read, c.value)), c.kiss) << c.read << " " << c.value;
        EXPECT_STREQ(moodicon(false, lighttaskbar(c.read, c.value)), c.kick) << c.read << " " << c.value;
    }
}

TEST(quiet, the_quiet_section_reads_good_values_and_makes_bad_ones_sane)
{
    std::wstring many;
    for (int i = 0; i < 10000; i++)
        many += L"p" + std::to_wstring(i) + L".exe;";
    // media, programs, hours, days, typing, away: as written, and as read and written back
    const struct { quietkeys in, want; } cases[] = {
        {{}, {L"1", L"", L"", L"1234567", L"1", L"0"}},
        {{L"0", L" Teams.exe ; Zoom.exe;", L"09:00-17:30", L"12345", L"0", L"15"},
         {L"0", L"Teams.exe;Zoom.exe", L"09:00-17:30", L"12345", L"0", L"15"}},
        {{L"1", L"", L"22:00-2:00", L"67", L"1", L"0"}, {L"1", L"", L"22:00-02:00", L"67", L"1", L"0"}},
        {{L"yes", L"", L"25:00-26:00", L"9", L"x", L"-5"}, {L"1", L"", L"", L"1234567", L"1", L"0"}},
        {{L"", L"", L"09:00", L"7x1", L"", L"99999999999999"}, {L"1", L"", L"", L"17", L"1", L"1440"}},
        {{L"", L"C:\\x\\Teams.exe;a/b.exe;zoom.exe", L"09:60-10:00", L"", L"", L""},
         {L"1", L"zoom.exe", L"", L"1234567", L"1", L"0"}},
    };
    auto text = [](const quietkeys &k) { return k.media + L"|" + k.programs + L"|" + k.hours + L"|" + k.days + L"|" + k.typing + L"|" + k.away; };
    for (auto &c : cases)
        EXPECT_EQ(text(quietkeysfor(parsequiet(c.in))), text(c.want)) << &c - cases;
    // Several ranges, and each day's own: a value that is no list of ranges counts as missing.
    const struct { const wchar_t *hours, *written; } lists[] = {
        {L"09:00-12:00, 13:00-17:30", L"09:00-12:00,13:00-17:30"}, {L"22:00-2:00,5:00-6:00", L"22:00-02:00,05:00-06:00"},
        {L"09:00-12:00,", L""}, {L"09:00-12:00,,13:00-14:00", L""}, {L"09:00-12:00;13:00-14:00", L""},
        {L"09:00-12:00,10:00-10:00", L""}, {L" ", L""}};
    auto hours = [](const std::wstring &h) { quietkeys k; k.hours = h; return parsequiet(k).hours; };
    for (auto &l : lists)
        EXPECT_EQ(rangestext(hours(l.hours)), l.written) << l.hours;
    std::wstring most;
    for (int i = 0; i < RANGES_MAX + 1; i++)
        most += L"00:00-00:01,";
    most.pop_back();
    EXPECT_TRUE(hours(most).empty()) << "more ranges than the limit";
    EXPECT_EQ(hours(most.substr(12)).size(), (size_t)RANGES_MAX);
    quietkeys days;
    days.perday[0] = L"09:00-12:00,13:00-17:00", days.perday[1] = L"", days.perday[2] = L"junk", days.perday[3] = L" ";
    quietrules own = parsequiet(days);
    EXPECT_TRUE(own.perday[0].set && own.perday[0].ranges.size() == 2 && own.perday[1].set && own.perday[1].ranges.empty());
    EXPECT_TRUE(!own.perday[2].set && own.perday[3].set && !own.perday[4].set && anydayhours(own));
    EXPECT_FALSE(anydayhours(parsequiet(cases[1].in)));
    EXPECT_FALSE(quietkeysfor(own).perday[0]) << "the dialog never writes a day's own hours";
    quietrules r = parsequiet({L"", many, L"", L"", L"", L""});
    EXPECT_EQ(r.programs.size(), (size_t)PROGRAMS_MAX);
    r = parsequiet(cases[1].in);
    EXPECT_TRUE(listedprogram(r, L"ZOOM.EXE"));
    EXPECT_FALSE(listedprogram(r, L"Zoom.ex") || listedprogram(r, L"Zoom.exe2"));
}

} // namespace
