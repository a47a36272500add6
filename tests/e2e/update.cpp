// The update check at start-up, seen from outside: the request it sends, the reply it gets
// from a loopback server posing as vexolind's web site, and what the user then meets.
#include "harness.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

const char question[] = "An new version of vexolind is available!\nWould you like to install it ?";
const char download[] = "https://www.vexolind.com/software/vexolind/vexolind.exe";

// A proxy is asked with the absolute URL, port 80 named or not.
void expectupdatequery(const request &rq)
{
    const std::string path = "/software/vexolind/update/ HTTP/1.1";
    EXPECT_TRUE(rq.line == "GET http://www.vexolind.com" + path || rq.line == "GET http://www.vexolind.com:80" + path)
        << rq.line;
    EXPECT_EQ(rq.agent, "vexolind");
}

// What a start-up showed before it went on to the tray, or before it stopped to ask.
struct startup {
    HWND question = nullptr;   // the "vexolind update" box
    HWND failure = nullptr;    // a "vexolind" box
    bool icon = false;
};

startup watch(app &a, DWORD ms = 20000)
{
    startup s;
    winui::waitfor(
        [&] {
            s.question = winui::findwindow("#32770", "vexolind update", a.pid());
            s.failure = winui::findwindow("#32770", "vexolind", a.pid());
            s.icon = trayicons().size() == 1;
            return s.question || s.failure || s.icon;
        },
        ms);
    return s;
}

void expectyesno(HWND box)
{
    EXPECT_TRUE(GetDlgItem(box, IDYES));
    EXPECT_TRUE(GetDlgItem(box, IDNO));
    EXPECT_FALSE(GetDlgItem(box, IDOK));
    EXPECT_TRUE(GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) << "the offer stands above the user's windows";
}

class update : public scenario {
protected:
    void serve(const std::string &body, int status = 200)
    {
        web.reset(new webserver([=](const request &) { return response{status, body}; }));
        setproxy(web->port());
    }
};

TEST_F(update, a_newer_build_asks_and_yes_opens_the_download_over_https_and_ends)
{
    recordbrowser();
    serve("VXVER:2006081902:\n");
    auto a = app::start();
    ASSERT_TRUE(a);

    // The main window and the tray icon come only after the check: neither may ever appear.
    bool icon = false, window = false;
    auto nothingelse = [&] {
        icon = icon || !trayicons().empty();
        window = window || a->window(0) != nullptr;
    };
    HWND box = nullptr;
    winui::waitfor(
        [&] {
            nothingelse();
            return (box = winui::findwindow("#32770", "vexolind update", a->pid())) != nullptr;
        },
        20000);
    ASSERT_TRUE(box);
    EXPECT_EQ(winui::plain(winui::boxtext(box)), question);
    expectyesno(box);
    auto seen = web->requests();
    ASSERT_EQ(seen.size(), 1u);
    expectupdatequery(seen[0]);

    winui::answer(box, IDYES);
    winui::waitfor(
        [&] {
            nothingelse();
            return !a->running();
        },
        15000);
    ASSERT_EQ(a->exitcode(0), 0u) << "Yes must end the program";
    ASSERT_TRUE(winui::waitfor([] { return !browsed().empty(); }, 15000)) << "no URL was opened";
    EXPECT_FALSE(winui::waitfor([] { return browsed().size() > 1; }, 500)) << "a second URL";
    EXPECT_EQ(browsed(), std::vector<std::string>{download});
    EXPECT_EQ(browsed().front().rfind("https://", 0), 0u) << "the executable must never come over plain HTTP";
    EXPECT_FALSE(icon) << "a tray icon was added before the program ended";
    EXPECT_FALSE(window) << "the main window was created before the program ended";
    EXPECT_TRUE(trayicons().empty());
    EXPECT_EQ(web->requests().size(), 1u);
}

TEST_F(update, no_goes_on_to_the_tray_and_the_question_comes_again_next_start)
{
    recordbrowser();
    serve("VXVER:2006081902:\n");
    for (int start = 1; start <= 2; start++) {
        SCOPED_TRACE("start " + std::to_string(start));
        ASSERT_TRUE(winui::waitfor([] { return trayicons().empty(); }, 10000));
        auto a = app::start();
        ASSERT_TRUE(a);
        startup s = watch(*a);
        ASSERT_TRUE(s.question) << "icon " << s.icon << ", failure box " << (s.failure != nullptr);
        EXPECT_FALSE(s.icon);
        EXPECT_EQ(winui::plain(winui::boxtext(s.question)), question);
        winui::answer(s.question, IDNO);

        ASSERT_TRUE(winui::waitfor([] { return trayicons().size() == 1; }, 20000)) << "start-up stopped after No";
        EXPECT_TRUE(a->window());
        EXPECT_TRUE(a->running());
        EXPECT_TRUE(a->boxes("vexolind update").empty());
        auto seen = web->requests();
        ASSERT_EQ(seen.size(), (size_t)start) << "every start asks the server again";
        expectupdatequery(seen.back());

        // A second instance would end at once, so this one ends first.
        a->exitbymenu();
        ASSERT_EQ(a->exitcode(10000), 0u);
    }
    EXPECT_TRUE(browsed().empty()) << "No must not open anything";
}

struct replycase {
    const char *name;
    int status;
    std::string body;
    bool asks;
};

// The 50-byte bound: the number's last digit sits at byte (blanks + 16) of the reply.
std::string longreply(size_t blanks)
{
    return "VXVER:" + std::string(blanks, ' ') + "2006081999:\n";
}

TEST_F(update, only_a_newer_build_in_the_first_50_bytes_asks_and_start_up_goes_on)
{
    const replycase cases[] = {
        {"own build", 200, "VXVER:2006081901:\n", false},
        {"one newer", 200, "VXVER:2006081902:\n", true},
        {"older", 200, "VXVER:2005010101:\n", false},
        {"largest 32-bit number", 200, "VXVER:4294967295:\n", true},
        {"not found page", 404, "<html><head><title>404 Not Found</title></head><body>Not Found</body></html>\n",
         false},
        {"empty", 200, "", false},
        {"no digits", 200, "VXVER:\n", false},
        {"too large for 32 bits", 200, "VXVER:99999999999:\n", false},
        {"too large, wraps to a newer one", 200, "VXVER:6394967296:\n", false},
        {"number cut to 4 digits by 50 bytes", 200, longreply(40), false},
        {"last digit at byte 51", 200, longreply(35), false},
        {"last digit at byte 50", 200, longreply(34), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(winui::waitfor([] { return trayicons().empty(); }, 10000));
        DeleteFileA(settingspath().c_str());   // each case a first start of the day
        serve(c.body, c.status);
        auto a = app::start();
        ASSERT_TRUE(a);
        startup s = watch(*a);
        EXPECT_FALSE(s.failure) << winui::plain(winui::boxtext(s.failure));
        EXPECT_EQ(s.question != nullptr, c.asks);
        if (s.question) {
            EXPECT_EQ(winui::plain(winui::boxtext(s.question)), question);
            winui::answer(s.question, IDNO);
        }
        EXPECT_TRUE(winui::waitfor([] { return trayicons().size() == 1; }, 20000)) << "start-up did not go on";
        EXPECT_TRUE(a->boxes("vexolind update").empty());
        EXPECT_TRUE(a->boxes("vexolind").empty());
        auto seen = web->requests();
        EXPECT_EQ(seen.size(), 1u);
        if (!seen.empty())
            expectupdatequery(seen[0]);
    }
}

TEST_F(update, a_server_that_cannot_be_reached_gives_the_failure_box_then_start_up_goes_on)
{
    setproxy(unusedport());
    auto a = app::start();
    ASSERT_TRUE(a);
    startup s = watch(*a, 30000);
    ASSERT_TRUE(s.failure) << "question " << (s.question != nullptr) << ", icon " << s.icon;
    EXPECT_FALSE(s.icon);
    EXPECT_EQ(winui::plain(winui::boxtext(s.failure)), "Auto Update Failed\nCan't initialise wininet");
    EXPECT_TRUE(GetDlgItem(s.failure, IDOK));
    winui::answer(s.failure, IDOK);
    ASSERT_TRUE(winui::waitfor([] { return trayicons().size() == 1; }, 20000)) << "start-up stopped after the box";
    EXPECT_TRUE(a->window());
    EXPECT_TRUE(a->boxes("vexolind update").empty());

    // The same day the failure goes on silently.
    a.reset();
    SYSTEMTIME st;
    GetLocalTime(&st);
    char today[32];
    snprintf(today, sizeof today, "failshown=%04d-%02d-%02d", st.wYear, st.wMonth, st.wDay);
    auto got = lines(readfile(settingspath()));
    EXPECT_NE(std::find(got.begin(), got.end(), today), got.end()) << readfile(settingspath());
    a = app::start();
    ASSERT_TRUE(a);
    s = watch(*a, 30000);
    EXPECT_TRUE(s.icon && !s.failure) << "the failure box came twice in a day";
}

TEST_F(update, autoupdate_off_asks_nothing)
{
    serve("VXVER:2006081902:\n");
    writesettings("autoupdate=0\r\n");
    auto a = app::start();
    ASSERT_TRUE(a);
    startup s = watch(*a);
    EXPECT_TRUE(s.icon);
    EXPECT_FALSE(s.question);
    EXPECT_FALSE(s.failure);
    EXPECT_TRUE(web->requests().empty()) << web->requests().front().line;
}

} // namespace

namespace {

// Servers that misbehave: the check gives up in time and start-up goes on.
const char newer[] = "VXVER:2006081902:\n";

rawreply redirectto(const std::string &location)
{
    return [=](uintptr_t s, const request &) {
        rawsend(s, "HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    };
}

void silent(uintptr_t s, const request &)
{
    rawwaitclosed(s, 60000);
}

// The headers at once, then a newer build's number one byte a second.
void dribble(uintptr_t s, const request &)
{
    std::string body = newer;
    if (!rawsend(s, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n"))
        return;
    for (char c : body) {
        Sleep(1000);
        if (!rawsend(s, std::string(1, c)))
            return;
    }
}

// The headers one byte a second: they would take a minute and a half.
void dribbledheaders(uintptr_t s, const request &)
{
    std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 18\r\nX-Pad: " + std::string(50, 'a') + "\r\n\r\n";
    for (char c : head + newer) {
        if (!rawsend(s, std::string(1, c)))
            return;
        Sleep(1000);
    }
}

// A slow server that is still in time: the headers at once, the reply two seconds later.
void pause(uintptr_t s, const request &)
{
    rawsend(s, "HTTP/1.1 200 OK\r\nContent-Length: 18\r\nConnection: close\r\n\r\n");
    Sleep(2000);
    rawsend(s, newer);
}

// Sends on to another path once; that path knows a newer build.
void onehop(uintptr_t s, const request &rq)
{
    if (rq.line.find("/update/again ") == std::string::npos) {
        redirectto("/software/vexolind/update/again")(s, rq);
        return;
    }
    rawsend(s, "HTTP/1.1 200 OK\r\nContent-Length: 18\r\nConnection: close\r\n\r\n" + std::string(newer));
}

enum class meets { failbox, nothing, offer };

struct hostilecase {
    const char *name;
    rawreply serve;
    meets outcome;
    size_t requests;   // 0: any number
};

TEST_F(update, no_server_keeps_the_tray_icon_away_for_more_than_15_seconds)
{
    const hostilecase cases[] = {
        {"redirect loop", redirectto("http://www.vexolind.com/software/vexolind/update/"), meets::failbox, 6},
        {"redirect loop by path", redirectto("/software/vexolind/update/"), meets::failbox, 6},
        {"redirect to https", redirectto("https://www.vexolind.com/software/vexolind/update/"), meets::failbox, 1},
        {"redirect to garbage", redirectto("::not a url::"), meets::failbox, 1},
        {"never answers", silent, meets::failbox, 0},
        {"one byte a second", dribble, meets::nothing, 1},
        {"headers one byte a second", dribbledheaders, meets::failbox, 1},
        {"reply two seconds after the headers", pause, meets::offer, 1},
        {"one redirect to a newer build", onehop, meets::offer, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(winui::waitfor([] { return trayicons().empty(); }, 10000));
        DeleteFileA(settingspath().c_str());   // each case a first start of the day
        web.reset(new webserver(c.serve));
        setproxy(web->port());
        DWORD started = GetTickCount();
        auto a = app::start();
        ASSERT_TRUE(a);
        startup s;
        // Boxes wait for the user, so they are answered at once; the bound is on the rest.
        bool icon = winui::waitfor(
            [&] {
                if (HWND f = winui::findwindow("#32770", "vexolind", a->pid())) {
                    s.failure = f;
                    EXPECT_EQ(winui::plain(winui::boxtext(f)), "Auto Update Failed\nCan't initialise wininet");
                    winui::answer(f, IDOK);
                }
                if (HWND q = winui::findwindow("#32770", "vexolind update", a->pid())) {
                    s.question = q;
                    winui::answer(q, IDNO);
                }
                return trayicons().size() == 1;
            },
            15000);
        EXPECT_TRUE(icon) << "no tray icon " << (GetTickCount() - started) / 1000 << " s after start";
        EXPECT_EQ(s.failure != nullptr, c.outcome == meets::failbox);
        EXPECT_EQ(s.question != nullptr, c.outcome == meets::offer);
        auto seen = web->requests();
        ASSERT_FALSE(seen.empty());
        expectupdatequery(seen[0]);
        if (c.requests) {
            EXPECT_EQ(seen.size(), c.requests);
        }
    }
}

TEST_F(update, a_second_start_during_the_check_leaves_one_tray_icon)
{
    web.reset(new webserver(rawreply(dribble)));
    setproxy(web->port());
    auto first = app::start();
    ASSERT_TRUE(first);
    ASSERT_TRUE(winui::waitfor([&] { return web->requests().size() == 1; }, 15000)) << "the first start asked nothing";
    auto second = app::start();
    ASSERT_TRUE(second);
    ASSERT_EQ(second->exitcode(10000), 0u) << "the second start did not end";
    ASSERT_TRUE(winui::waitfor([] { return trayicons().size() == 1; }, 15000));
    EXPECT_TRUE(first->running());
    EXPECT_FALSE(winui::waitfor([] { return trayicons().size() > 1; }, 2000)) << "a second icon";
    EXPECT_EQ(web->requests().size(), 1u) << "the second start asked the server too";
}

} // namespace
