#include "shell.h"
#include "switches.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(commandline, the_tail_starts_after_the_program_name_and_its_blanks)
{
    struct {
        const char *cmdline, *tail;
    } cases[] = {
        {"\"C:\\Program Files\\vexolind.exe\" C:\\my.ini", "C:\\my.ini"},
        {"\"C:\\Program Files\\vexolind.exe\"", ""},
        {"  \t\"C:\\vexolind.exe\"\t \"C:\\a b.ini\"", "\"C:\\a b.ini\""},
        {"\"C:\\vexolind.exe\"x.ini", "x.ini"},           // right after the closing quote
        {"vexolind.exe C:\\a b.ini  ", "C:\\a b.ini  "},    // trailing blanks stay
        {"vexolind.exe", ""},
        {"vexolind.exe\t   ", ""},
        {"\"C:\\unterminated.exe", ""},
        {"", ""},
    };
    for (auto &c : cases)
        EXPECT_STREQ(cmdtail(c.cmdline), c.tail) << c.cmdline;
}

TEST(commandline, one_pair_of_enclosing_quotes_is_dropped_from_the_settings_path)
{
    struct {
        const char *tail, *path;
    } cases[] = {
        {"\"C:\\my settings\\vx.ini\"", "C:\\my settings\\vx.ini"},
        {"C:\\my settings\\vx.ini", "C:\\my settings\\vx.ini"},
        {"\"\"C:\\x.ini\"\"", "\"C:\\x.ini\""},
        {"\"C:\\half.ini", "\"C:\\half.ini"},
        {"\"", "\""},
        {"\"\"", ""},
    };
    for (auto &c : cases) {
        char path[MAX_PATH] = "untouched";
        ASSERT_EQ(cmdinipath(c.tail, path, sizeof path), 1) << c.tail;
        EXPECT_STREQ(path, c.path) << c.tail;
    }
}

TEST(commandline, a_settings_path_that_does_not_fit_is_refused)
{
    char path[MAX_PATH];
    const std::string fits(MAX_PATH - 1, 'a'), toolong(MAX_PATH, 'a');
    for (auto [tail, want] : {std::pair{fits, 1}, {"\"" + fits + "\"", 1}, {toolong, 0}, {"\"" + toolong + "\"", 0}}) {
        EXPECT_EQ(cmdinipath(tail.c_str(), path, sizeof path), want) << tail.size() << " characters";
        EXPECT_TRUE(!want || path == fits) << tail.size() << " characters";
    }
}

TEST(commandline, switches_for_the_running_vexolind_and_everything_else_a_settings_file)
{
    const struct {
        const wchar_t *tail;
        switchkind kind;
        int minutes;
    } cases[] = {
        {L"/now", switch_now, 0},           {L"/NOW", switch_now, 0},          {L" \t/Now  ", switch_now, 0},
        {L"/pause", switch_pause, 60},      {L"/pause:1", switch_pause, 1},    {L"/Pause:1440", switch_pause, 1440},
        {L"/pause:0030", switch_pause, 30}, {L"/PAUSE:Resume", switch_pause, 0}, {L"/resume", switch_resume, 0},
        {L"/kiss", switch_kiss, 0},         {L"/KICK", switch_kick, 0},        {L"/exit", switch_exit, 0},
        {L"/now.ini", switch_none, 0},      {L"\"/now\"", switch_none, 0},     {L"/now x", switch_none, 0},
        {L"/pause:0", switch_none, 0},      {L"/pause:1441", switch_none, 0},  {L"/pause:99999", switch_none, 0},
        {L"/pause:-5", switch_none, 0},     {L"/pause:", switch_none, 0},      {L"/pause: 5", switch_none, 0},
        {L"/pause:5m", switch_none, 0},     {L"now", switch_none, 0},          {L"-now", switch_none, 0},
        {L"/resume:5", switch_none, 0},     {L"", switch_none, 0},             {L"C:\\my.ini", switch_none, 0},
    };
    for (auto &c : cases) {
        cmdswitch got = parseswitch(c.tail);
        EXPECT_EQ(got.kind, c.kind) << c.tail;
        EXPECT_EQ(got.minutes, c.minutes) << c.tail;
    }
}

TEST(sliders, seconds_and_positions_convert_in_unsigned_arithmetic)
{
    struct {
        uint32_t seconds, pos;
    } open[] = {{10, 0}, {35, 0}, {36, 1}, {600, 16}, {1800, 50}, {3600, 100}, {7200, 200}, {0, 0}};
    for (auto &c : open)
        EXPECT_EQ(secondstopos(c.seconds), c.pos) << c.seconds;

    struct {
        uint32_t pos, seconds;
    } ok[] = {{0, 10}, {16, 584}, {30, 1087}, {50, 1805}, {100, 3600}, {200, 7190}};
    for (auto &c : ok)
        EXPECT_EQ(postoseconds(c.pos), c.seconds) << c.pos;

    // Large stored values wrap rather than trap: 2^32 / 100 seconds and more.
    EXPECT_EQ(secondstopos(50000000u), (uint32_t)(50000000ull * 100 % 4294967296ull / 3600));
}

TEST(sliders, ok_saves_what_they_show_and_keeps_what_nobody_moved)
{
    struct {
        const char *name;
        uint32_t storedmin, storedmax;
        sliders s;
        uint32_t savedmin, savedmax;
    } cases[] = {
        {"both to the left", 600, 1800, {0, 0, true, true}, 10, 10},
        {"both to the right", 600, 1800, {100, 100, true, true}, 3600, 3600},
        {"min dragged past max", 600, 1800, {70, 30, true, true}, 1087, 1087},
        {"max dragged below min", 1800, 3600, {50, 10, false, true}, 369, 369},
        {"untouched 600", 600, 600, {16, 16, false, false}, 600, 600},
        {"untouched 600 and 1800", 600, 1800, {16, 50, false, false}, 600, 1800},
        {"only max moved", 600, 1800, {16, 60, false, true}, 600, 2164},
        // Position 50 converts to 1805 seconds: more than the kept maximum, which wins.
        {"min moved up to a kept max", 600, 1800, {50, 50, true, false}, 1800, 1800},
        {"stored beyond the slider", 600, 7200, {16, 100, false, false}, 600, 3600},
    };
    for (auto &c : cases) {
        uint32_t mintime = c.storedmin, maxtime = c.storedmax;
        slidertimes(c.s, &mintime, &maxtime);
        EXPECT_EQ(mintime, c.savedmin) << c.name;
        EXPECT_EQ(maxtime, c.savedmax) << c.name;
    }
    sliders held = clamped({70, 30, false, false});
    EXPECT_EQ(held.minpos, 30u) << "the minimum follows the maximum down";
    EXPECT_TRUE(held.minmoved) << "and then counts as moved";
}

TEST(chords, read_as_menus_write_them_and_anything_else_is_no_shortcut)
{
    const UINT C = MOD_CONTROL, A = MOD_ALT, S = MOD_SHIFT;
    struct {
        const wchar_t *text;
        UINT mods, vk;
        const wchar_t *written;
    } cases[] = {
        {L"Ctrl+Shift+K", C | S, 'K', L"Ctrl+Shift+K"}, {L" shift + ctrl +k ", C | S, 'K', L"Ctrl+Shift+K"},
        {L"ALT+7", A, '7', L"Alt+7"}, {L"Ctrl+Alt+Shift+F24", C | A | S, VK_F24, L"Ctrl+Alt+Shift+F24"},
        {L"f1", 0, VK_F1, L"F1"}, {L"Ctrl+F12", C, VK_F12, L"Ctrl+F12"},
    };
    for (auto &c : cases) {
        chord got = parsechord(c.text);
        EXPECT_EQ(got.mods, c.mods) << c.text;
        EXPECT_EQ(got.vk, c.vk) << c.text;
        EXPECT_EQ(chordtext(got), c.written) << c.text;
        EXPECT_EQ(fromhotkeyfield(tohotkeyfield(got)).mods, c.mods) << c.text;
    }
    // A bare letter would take it from every program; F12 alone is the debuggers'; no key; garbage.
    for (const wchar_t *none : {L"K", L"F12", L"Ctrl+", L"Ctrl+Shift", L"", L"Ctrl+F25", L"Ctrl+F0", L"Ctrl+KK", L"Win+K",
                                L"K+Ctrl", L"Ctrl++K", L"Ctrl+\u00e9"})
        EXPECT_EQ(chordtext(parsechord(none)), L"") << none;
    EXPECT_EQ(fromhotkeyfield(MAKEWORD(VK_NUMPAD1, HOTKEYF_CONTROL)).vk, 0u) << "a key the text cannot name";
    EXPECT_EQ(fromhotkeyfield(MAKEWORD(VK_F12, 0)).vk, 0u) << "F12 alone";
}

TEST(notes, a_balloon_takes_255_characters_and_never_half_a_pair)
{
    std::wstring fits(255, L'x'), pair = L"\U0001F48B";
    EXPECT_EQ(notetext(fits + L"y"), fits);
    EXPECT_EQ(notetext(fits.substr(1) + pair), fits.substr(1));
    EXPECT_EQ(notetext(fits.substr(2) + pair + L"z"), fits.substr(2) + pair);
}

} // namespace
