#include "update.h"
#include "bounds.h"

#include <gtest/gtest.h>

namespace {

struct parsecase {
    const char *reply;
    int ok;
    uint32_t value;   // only when ok
};

const parsecase parsecases[] = {
    {"VXVER:2006081902:\n", 1, 2006081902u},
    {"VXVER:0", 1, 0u},
    {"VXVER:   \t17:\n", 1, 17u},                // blanks before the number are skipped
    {"VXVER:4294967295:\n", 1, 4294967295u},     // the largest 32-bit number
    {"VXVER:2006081999 and then some", 1, 2006081999u},
    {"VXVER:123abc", 1, 123u},
    {"VXVER:", 0, 0},
    {"VXVER::\n", 0, 0},
    {"VXVER:abc", 0, 0},
    {"VXVER:   ", 0, 0},
    {"VXVER:-5:\n", 0, 0},                       // a sign is no number
    {"VXVER:+5:\n", 0, 0},
    {"VXVER:4294967296:\n", 0, 0},               // one past 32 bits
    {"VXVER:6394967296:\n", 0, 0},               // would wrap round to 2100000000
    {"VXVER:99999999999:\n", 0, 0},
    {"", 0, 0},
    {"vxver:5", 0, 0},
    {" VXVER:5", 0, 0},
    {"VXVE:5", 0, 0},
    {"<html><body>404 Not Found</body></html>", 0, 0},
};

TEST(parsever, reads_the_build_number_after_the_prefix)
{
    for (const auto &c : parsecases) {
        SCOPED_TRACE(c.reply);
        uint32_t got = 0xDEADBEEFu;
        EXPECT_EQ(parsever(c.reply, &got), c.ok);
        if (c.ok) {
            EXPECT_EQ(got, c.value);
        }
    }
}

TEST(updatebounds, the_budget_runs_out_after_ten_seconds_across_a_tick_count_wrap)
{
    const struct {
        uint32_t started, now, left;
    } cases[] = {
        {1000, 1000, 10000},
        {1000, 10999, 1},
        {1000, 11000, 0},
        {1000, 500000, 0},
        {0xFFFFF000u, 0xFFFFF000u + 4000u, 6000},   // wraps past zero
        {0xFFFFF000u, 20000, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(budgetleft(c.started, c.now), c.left) << c.started << " " << c.now;
}

TEST(updatebounds, only_a_whole_reply_with_a_larger_number_is_offered_and_only_failures_get_the_box)
{
    const struct {
        fetchend end;
        const char *reply;
        checkoutcome outcome;
    } cases[] = {
        {fetch_failed, "VXVER:2006081902:\n", outcome_failbox},
        {fetch_late, "VXVER:2006081902:\n", outcome_nothing},   // what came in time says nothing
        {fetch_read, "VXVER:2006081902:\n", outcome_offer},
        {fetch_read, "VXVER:2006081901:\n", outcome_nothing},
        {fetch_read, "VXVER:1:\n", outcome_nothing},
        {fetch_read, "<html>moved</html>", outcome_nothing},
        {fetch_read, "", outcome_nothing},
    };
    for (const auto &c : cases)
        EXPECT_EQ(outcomefor(c.end, c.reply, 2006081901u), c.outcome) << c.end << " " << c.reply;
}

} // namespace
