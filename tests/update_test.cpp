#include "update.h"

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

} // namespace
