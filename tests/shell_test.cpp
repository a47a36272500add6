#include "shell.h"

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
    std::string fits(MAX_PATH - 1, 'a');
    EXPECT_EQ(cmdinipath(fits.c_str(), path, sizeof path), 1);
    EXPECT_EQ(std::string(path), fits);
    std::string quoted = "\"" + fits + "\"";
    EXPECT_EQ(cmdinipath(quoted.c_str(), path, sizeof path), 1);
    std::string toolong(MAX_PATH, 'a');
    EXPECT_EQ(cmdinipath(toolong.c_str(), path, sizeof path), 0);
    std::string quotedtoolong = "\"" + toolong + "\"";
    EXPECT_EQ(cmdinipath(quotedtoolong.c_str(), path, sizeof path), 0);
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

} // namespace
