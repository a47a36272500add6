// The splash picture as the program loads it from its resources.
#include "shell.h"

#include <gtest/gtest.h>

namespace {

struct pixel {
    int b, g, r, a;
};

pixel at(const unsigned char *buf, int x, int y)
{
    const unsigned char *p = buf + ((size_t)y * SPLASH_WIDTH + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

class splash : public ::testing::Test {
protected:
    const unsigned char *buf = nullptr;
    void SetUp() override
    {
        ASSERT_EQ(SPLASH_BYTES, 314900);
        buf = loadsplash(GetModuleHandleA(nullptr));
        ASSERT_NE(buf, nullptr) << "no SPLASH resource of the expected size";
    }
};

TEST_F(splash, is_premultiplied_with_clear_bottom_rows_and_corners)
{
    int over = 0, soft = 0, clearbottom = 0;
    for (int y = 0; y < SPLASH_ROWS; y++)
        for (int x = 0; x < SPLASH_WIDTH; x++) {
            pixel p = at(buf, x, y);
            if (p.b > p.a || p.g > p.a || p.r > p.a)
                over++;
            if (p.a > 0 && p.a < 255)
                soft++;
            if (y >= 229 && (p.b | p.g | p.r | p.a) == 0)
                clearbottom++;
        }
    EXPECT_EQ(over, 0) << "colour bytes above their alpha: not premultiplied";
    EXPECT_EQ(clearbottom, 6 * SPLASH_WIDTH) << "rows 229 and below must be fully clear";
    EXPECT_GT(soft, 500) << "no soft edges";

    for (auto [x, y] : {std::pair{0, 0}, {SPLASH_WIDTH - 1, 0}, {0, 228}, {SPLASH_WIDTH - 1, 228}})
        EXPECT_EQ(at(buf, x, y).a, 0) << "corner " << x << "," << y;
}

TEST_F(splash, disc_centres_are_opaque_and_the_shadow_is_partly_transparent)
{
    for (auto [x, y] : {std::pair{104, 106}, {221, 106}})
        EXPECT_EQ(at(buf, x, y).a, 255) << "centre " << x << "," << y;
    // The screen test relies on these two shadow points being blends.
    for (auto [x, y] : {std::pair{323, 106}, {104, 208}}) {
        SCOPED_TRACE(testing::Message() << "shadow " << x << "," << y);
        pixel p = at(buf, x, y);
        EXPECT_GT(p.a, 20);
        EXPECT_LT(p.a, 235);
    }
}

} // namespace
