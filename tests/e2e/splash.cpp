// The splash window as a user meets it: at start-up, on a click, and from the tray menu's About.
#include "harness.h"

#include <gtest/gtest.h>

#include <stdlib.h>

using namespace e2e;

namespace {

const int width = 335, height = 229;

// The splash window of the process, shown or not.
HWND splashof(DWORD pid)
{
    return windowof("Splash", pid);
}

// Centred on the screen with integer halves, so it may hang off a small screen's edge.
RECT expectedrect()
{
    int x = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
    int y = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
    return {x, y, x + width, y + height};
}

::testing::AssertionResult placed(HWND w)
{
    RECT got = {}, want = expectedrect();
    GetWindowRect(w, &got);
    if (EqualRect(&got, &want))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "window at " << got.left << "," << got.top << " size "
                                         << got.right - got.left << "x" << got.bottom - got.top << ", expected "
                                         << want.left << "," << want.top << " size " << width << "x" << height;
}

// Polls finely: the timings below are measured from these calls.
bool poll(const std::function<bool()> &probe, DWORD ms)
{
    return winui::waitfor(probe, ms, 10);
}

// The visible splash of a started app; null when it did not start or show.
HWND shown(const std::unique_ptr<app> &a, DWORD ms = 20000)
{
    HWND w = nullptr;
    if (a)
        poll([&] { return (w = splashof(a->pid())) != nullptr && IsWindowVisible(w); }, ms);
    return w && IsWindowVisible(w) ? w : nullptr;
}

bool hides(HWND w, DWORD ms)
{
    return poll([&] { return !IsWindowVisible(w); }, ms);
}


// A plain full-screen window of one colour behind everything else, on its own thread so
// that it paints while the test waits.
class backdrop {
public:
    explicit backdrop(COLORREF c) : colour(c)
    {
        ready.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        thread.reset(CreateThread(nullptr, 0, run, this, 0, &threadid));
        WaitForSingleObject(ready.get(), 10000);
    }
    ~backdrop()
    {
        PostThreadMessageA(threadid, WM_QUIT, 0, 0);
        WaitForSingleObject(thread.get(), 10000);
    }
    HWND window() const { return hwnd; }
    backdrop(const backdrop &) = delete;
    backdrop &operator=(const backdrop &) = delete;

private:
    static DWORD WINAPI run(void *p)
    {
        auto *self = static_cast<backdrop *>(p);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = CreateSolidBrush(self->colour);
        wc.lpszClassName = "e2e backdrop";
        RegisterClassA(&wc);
        self->hwnd = CreateWindowExA(0, wc.lpszClassName, "backdrop", WS_POPUP | WS_VISIBLE, 0, 0,
                                     GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                     wc.hInstance, nullptr);
        UpdateWindow(self->hwnd);
        SetEvent(self->ready.get());
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        DestroyWindow(self->hwnd);
        UnregisterClassA(wc.lpszClassName, wc.hInstance);
        DeleteObject(wc.hbrBackground);
        return 0;
    }
    COLORREF colour;
    HWND hwnd = nullptr;
    vx::kernelhandle ready, thread;
    DWORD threadid = 0;
};

// What the screen shows, as 32-bit pixels B, G, R, unused; rows top to bottom.
class screenshot {
public:
    screenshot()
        : w(GetSystemMetrics(SM_CXSCREEN)), h(GetSystemMetrics(SM_CYSCREEN)), px(capture(0, 0, w, h))
    {
    }
    // B, G, R at a screen point.
    const unsigned char *at(int x, int y) const { return &px[((size_t)y * w + x) * 4]; }

private:
    int w, h;
    std::vector<unsigned char> px;
};

struct colour {
    int b, g, r;
};

bool within(const unsigned char *got, colour want, int tolerance)
{
    return abs(got[0] - want.b) <= tolerance && abs(got[1] - want.g) <= tolerance &&
           abs(got[2] - want.r) <= tolerance;
}

std::string show(const unsigned char *p)
{
    return "B,G,R " + std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

// Not a first start: the first hello's balloon stays out of the screen these tests read.
class splash : public scenario {
    void SetUp() override { scenario::SetUp(), writesettings(""); }
};

TEST_F(splash, shows_centred_layered_and_topmost_at_start_then_hides_two_seconds_later)
{
    auto a = app::start();
    HWND w = shown(a);
    ASSERT_TRUE(w) << "no visible splash window";
    DWORD seen = GetTickCount();

    LONG_PTR ex = GetWindowLongPtrA(w, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_EQ(winui::caption(w), "Welcome to Ozzlewick");
    EXPECT_TRUE(placed(w));

    ASSERT_TRUE(hides(w, 8000)) << "the splash never hid by itself";
    DWORD after = GetTickCount() - seen;
    EXPECT_GE(after, 1200u) << "hid too soon";
    EXPECT_LE(after, 6000u) << "hid too late";
    EXPECT_TRUE(a->running());
    EXPECT_EQ(splashof(a->pid()), w) << "hidden, not destroyed";
}

TEST_F(splash, hiding_at_start_gives_the_keyboard_back_to_the_window_in_front_before)
{
    backdrop user(RGB(0, 0, 255));   // the window the user works in
    SetForegroundWindow(user.window());
    ASSERT_TRUE(poll([&] { return GetForegroundWindow() == user.window(); }, 5000));
    auto a = app::start();
    HWND w = shown(a);
    ASSERT_TRUE(w);
    ASSERT_TRUE(poll([&] { return GetForegroundWindow() != user.window(); }, 1500)) << "the splash never took the keyboard";
    ASSERT_TRUE(hides(w, 8000));
    EXPECT_TRUE(poll([&] { return GetForegroundWindow() == user.window(); }, 5000))
        << "in front after the splash: " << winui::caption(GetForegroundWindow());
}

TEST_F(splash, a_click_hides_it_at_once)
{
    auto a = app::start();
    HWND w = shown(a);
    ASSERT_TRUE(w);
    DWORD seen = GetTickCount();
    PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(104, 106));
    ASSERT_LT(GetTickCount() - seen, 500u) << "the click came too late to tell it from the timer";
    ASSERT_TRUE(hides(w, 5000));
    EXPECT_LT(GetTickCount() - seen, 1200u) << "hidden by the timer rather than by the click";
}

TEST_F(splash, about_shows_it_in_place_until_a_click_and_again_leaves_it_there)
{
    auto a = app::start();
    HWND w = shown(a);
    ASSERT_TRUE(w);
    ASSERT_TRUE(hides(w, 8000));

    ASSERT_TRUE(a->pick('a', [&] { return IsWindowVisible(w); })) << "About did not show the splash";
    EXPECT_TRUE(placed(w));
    EXPECT_TRUE(GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(hides(w, 4000)) << "after About the splash waits for a click";

    ASSERT_TRUE(a->pick('a'));
    EXPECT_FALSE(hides(w, 1000)) << "About while it shows must leave it shown";
    EXPECT_TRUE(placed(w));
    EXPECT_EQ(splashof(a->pid()), w) << "one splash window throughout";

    // A real click on the opaque centre of the left disc.
    RECT r;
    GetWindowRect(w, &r);
    winui::click(r.left + 104, r.top + 106);
    EXPECT_TRUE(hides(w, 3000)) << "a click did not hide it";
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

// Per-pixel alpha over a known background: clear corners show it, the artwork covers it,
// the soft shadow blends with it. All points sampled lie on screen down to 320x240.
TEST_F(splash, blends_its_soft_edges_with_what_lies_behind)
{
    auto a = app::start();
    HWND w = shown(a);
    ASSERT_TRUE(w);
    ASSERT_TRUE(hides(w, 8000));
    // Shown after the tray, the backdrop covers it too.
    winui::waitfor([] { return trayicons().size() == 1; }, 15000);
    const colour green = {0, 255, 0};
    backdrop behind(RGB(0, 255, 0));
    ASSERT_TRUE(behind.window());

    RECT want = expectedrect();
    int x0 = want.left, y0 = want.top;
    const std::pair<int, int> corners[] = {{12, 12}, {12, 220}, {322, 12}, {322, 220}};
    // Picture pixels in the shadow: B, G, R premultiplied, alpha.
    struct soft {
        int x, y;
        colour src;
        int alpha;
    };
    const soft shadows[] = {{323, 106, {13, 6, 8}, 71}, {104, 208, {16, 6, 10}, 83}};
    const std::pair<int, int> centre = {104, 106};
    const colour disc = {215, 204, 249};   // premultiplied and opaque

    ASSERT_TRUE(poll(
        [&] {
            screenshot s;
            bool all = within(s.at(x0 + centre.first, y0 + centre.second), green, 0);
            for (auto [x, y] : corners)
                all = all && within(s.at(x0 + x, y0 + y), green, 0);
            for (const soft &p : shadows)
                all = all && within(s.at(x0 + p.x, y0 + p.y), green, 0);
            return all;
        },
        5000))
        << "the backdrop does not show everywhere behind the hidden splash";

    ASSERT_TRUE(a->pick('a', [&] { return IsWindowVisible(w); }));
    ASSERT_TRUE(placed(w));
    poll([&] { return within(screenshot().at(x0 + centre.first, y0 + centre.second), disc, 6); }, 5000);
    screenshot shot;

    const unsigned char *c = shot.at(x0 + centre.first, y0 + centre.second);
    EXPECT_TRUE(within(c, disc, 6)) << "disc centre shows " << show(c);

    for (auto [x, y] : corners) {
        const unsigned char *p = shot.at(x0 + x, y0 + y);
        EXPECT_TRUE(within(p, green, 3)) << "clear corner " << x << "," << y << " shows " << show(p);
    }

    for (const soft &s : shadows) {
        const unsigned char *p = shot.at(x0 + s.x, y0 + s.y);
        colour blend = {s.src.b + green.b * (255 - s.alpha) / 255, s.src.g + green.g * (255 - s.alpha) / 255,
                        s.src.r + green.r * (255 - s.alpha) / 255};
        EXPECT_TRUE(within(p, blend, 8)) << "shadow " << s.x << "," << s.y << " shows " << show(p)
                                         << ", expected B,G,R " << blend.b << "," << blend.g << "," << blend.r;
        EXPECT_FALSE(within(p, green, 20)) << "shadow " << s.x << "," << s.y << " shows only the background";
        EXPECT_FALSE(within(p, s.src, 20)) << "shadow " << s.x << "," << s.y << " shows the picture unblended";
    }
}

} // namespace
