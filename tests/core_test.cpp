#include "vexolind.h"
#include "winui.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

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

struct drawn {
    int first, second;
};

drawn peek(unsigned seed)
{
    srand(seed);
    drawn d;
    d.first = rand();
    d.second = rand();
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
    newinterval();
    EXPECT_EQ(ctx.tick, 0u);
    EXPECT_EQ(ctx.rtime, intervalfor(10, 3600, d.first));
    EXPECT_EQ(rand(), d.second) << "newinterval must draw exactly one value";
}

TEST_F(core, a_random_zero_or_top_value_picks_the_first_or_the_modulo_entry)
{
    struct {
        const char *const *table;
        int r;
        const char *want;
    } cases[] = {
        {kisses, 0, "You're an asset to this company"},
        {kisses, 32767, "Have you lost weight ?"},
        {kickers, 0, "What a wanker"},
        {kickers, 32767, "The manager thinks you're a twat too"},
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

TEST_F(core, the_end_marker_is_never_shown)
{
    // The last message comes up when r mod n is n - 1; one more would be the marker.
    for (const char *const *table : {kisses, kickers}) {
        ctx.curki = table;
        int n = countkis(table);
        unsigned seed = 0;
        for (;; seed++) {
            srand(seed);
            if (rand() % n == n - 1)
                break;
        }
        winui::boxwatcher boxes("vexolind");
        srand(seed);
        veXoLind(&ctx);
        ASSERT_EQ(boxes.texts().size(), 1u);
        EXPECT_EQ(boxes.texts()[0], table[n - 1]);
        EXPECT_NE(boxes.texts()[0], "EOL");
    }
}

TEST_F(core, ticks_only_count_until_the_interval_runs_out)
{
    ctx.mintime = 20;
    ctx.maxtime = 600;
    ctx.tick = 0;
    ctx.rtime = 5;
    winui::boxwatcher boxes("vexolind");
    for (uint32_t t = 1; t <= 5; t++) {
        ontimer();
        EXPECT_EQ(ctx.tick, t);
        EXPECT_EQ(ctx.rtime, 5u);
    }
    EXPECT_TRUE(boxes.texts().empty());

    // Tick R+1 draws the next interval first, then the message.
    drawn d = peek(1234);
    ontimer();
    EXPECT_EQ(ctx.tick, 0u);
    EXPECT_EQ(ctx.rtime, intervalfor(20, 600, d.first));
    ASSERT_EQ(boxes.texts().size(), 1u);
    EXPECT_EQ(boxes.texts()[0], kisses[d.second % 17]);
}

TEST_F(core, zero_bounds_show_a_message_at_every_tick)
{
    ctx.mintime = ctx.maxtime = 0;
    ctx.tick = ctx.rtime = 0;
    winui::boxwatcher boxes("vexolind");
    for (int i = 0; i < 3; i++)
        ontimer();
    EXPECT_EQ(boxes.texts().size(), 3u);
    EXPECT_EQ(ctx.rtime, 0u);
}

// While the box is open its modal loop runs the timer; a nested call must be turned away.
struct nested {
    int result = 0;
    int secondresult = 0;
    int drawafter = -1;
    volatile LONG done = 0;
} probe;

void CALLBACK nestedcall(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    probe.result = veXoLind(con);
    probe.secondresult = veXoLind(con);
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
    EXPECT_EQ(probe.drawafter, d.second) << "a skipped call must not draw a random value";

    // Dismissed, the guard is clear again: the next call shows a box.
    winui::boxwatcher boxes("vexolind");
    EXPECT_EQ(veXoLind(&ctx), 1);
    EXPECT_EQ(boxes.texts().size(), 1u);
}

} // namespace
