// What the executable carries: icons, menu, dialog template, version record, manifest, picture.
#include "winui.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <ctype.h>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

std::string exefile()
{
    return winui::unixtowin(winui::env("VEXOLIND_EXE"));
}

class resources : public ::testing::Test {
protected:
    static HMODULE exe;
    static void SetUpTestSuite()
    {
        exe = LoadLibraryExA(exefile().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() { FreeLibrary(exe); }

    std::vector<unsigned char> bytes(const char *name, LPCSTR type)
    {
        HRSRC r = FindResourceA(exe, name, type);
        if (!r)
            return {};
        auto *p = static_cast<const unsigned char *>(LockResource(LoadResource(exe, r)));
        return std::vector<unsigned char>(p, p + SizeofResource(exe, r));
    }
};
HMODULE resources::exe;

#pragma pack(push, 2)
struct groupentry {
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD size;
    WORD id;
};
#pragma pack(pop)

std::vector<groupentry> groupof(const std::vector<unsigned char> &g)
{
    std::vector<groupentry> out;
    if (g.size() < 6)
        return out;
    WORD count = *reinterpret_cast<const WORD *>(&g[4]);
    for (WORD i = 0; i < count && 6 + (i + 1) * sizeof(groupentry) <= g.size(); i++)
        out.push_back(*reinterpret_cast<const groupentry *>(&g[6 + i * sizeof(groupentry)]));
    return out;
}

// The classic seven, and 32-bit drawings for 125, 150 and 200 % scaling and Explorer's large views.
TEST_F(resources, every_icon_group_holds_the_twelve_images)
{
    ASSERT_TRUE(exe) << exefile();
    const std::multiset<std::pair<int, int>> want = {{48, 8},  {32, 8},  {16, 8},  {256, 32},
                                                     {128, 32}, {64, 32}, {48, 32}, {40, 32},
                                                     {32, 32}, {24, 32}, {20, 32}, {16, 32}};
    for (const char *name : {"A", "KISSES", "KICKER"}) {
        auto group = groupof(bytes(name, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */));
        std::multiset<std::pair<int, int>> got;
        for (auto &e : group) {
            EXPECT_EQ(e.width, e.height) << name;
            got.insert({e.width ? e.width : 256, e.bits});
        }
        EXPECT_EQ(got, want) << name;
    }
}

TEST_F(resources, the_program_icon_is_the_kiss_icon_and_the_kick_icon_differs)
{
    auto image = [&](const groupentry &e) { return bytes(MAKEINTRESOURCEA(e.id), MAKEINTRESOURCEA(3)); };
    auto a = groupof(bytes("A", MAKEINTRESOURCEA(14)));
    auto kiss = groupof(bytes("KISSES", MAKEINTRESOURCEA(14)));
    auto kick = groupof(bytes("Kicker", MAKEINTRESOURCEA(14)));
    for (auto *group : {&a, &kiss, &kick})
        ASSERT_EQ(group->size(), 12u);
    for (size_t i = 0; i < 12; i++) {
        EXPECT_EQ(image(a[i]), image(kiss[i])) << "image " << i;
        EXPECT_NE(image(kick[i]), image(kiss[i])) << "image " << i;
    }
    EXPECT_TRUE(LoadIconA(exe, "KISSES"));
    EXPECT_TRUE(LoadIconA(exe, "Kicker"));
}

struct menuitem {
    UINT id;
    const char *text;   // null: a separator
    std::vector<menuitem> sub;
};

void expectmenu(HMENU menu, const std::vector<menuitem> &items)
{
    ASSERT_EQ(GetMenuItemCount(menu), (int)items.size());
    for (int i = 0; i < (int)items.size(); i++) {
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_STATE;
        char buf[64] = "";
        mi.dwTypeData = buf;
        mi.cch = sizeof buf;
        ASSERT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &mi));
        if (!items[i].text) {
            EXPECT_TRUE(mi.fType & MFT_SEPARATOR);
            continue;
        }
        EXPECT_STREQ(buf, items[i].text);
        EXPECT_EQ(mi.hSubMenu != nullptr, !items[i].sub.empty()) << buf;
        if (mi.hSubMenu)
            expectmenu(mi.hSubMenu, items[i].sub);
        else
            EXPECT_EQ(mi.wID, items[i].id) << buf;
        // Only the recent list's placeholder is greyed.
        EXPECT_EQ((mi.fState & MFS_GRAYED) != 0, items[i].id == 80) << buf;
    }
}

TEST_F(resources, the_tray_menu_is_one_popup_of_settings_about_recent_pause_and_exit)
{
    HMENU menu = LoadMenuA(exe, "CONMENU1");
    ASSERT_TRUE(menu);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    char text[64] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Context");
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_TRUE(popup);
    expectmenu(popup, {{69, "&Settings", {}},
                       {71, "My &messages...", {}},
                       {72, "More se&ttings...", {}},
                       {68, "&About VeXoLind", {}},
                       {0, "Re&cent messages", {{80, "(none yet)", {}}}},
                       {0, "&Pause", {{73, "For &30 minutes", {}}, {74, "For an &hour", {}}, {75, "For &2 hours", {}},
                                      {76, "Until &tomorrow", {}}, {77, "Until I &resume", {}}}},
                       {0, nullptr, {}},
                       {55, "E&xit", {}}});
    DestroyMenu(menu);
}

// A classic dialog template, read field by field.
struct reader {
    const unsigned char *p, *end;
    WORD word() { WORD w = *reinterpret_cast<const WORD *>(p); p += 2; return w; }
    DWORD dword() { DWORD d = *reinterpret_cast<const DWORD *>(p); p += 4; return d; }
    short num() { return (short)word(); }
    std::string text()   // a string, or 0xFFFF and an ordinal given as "#n"
    {
        if (*reinterpret_cast<const WORD *>(p) == 0xFFFF) {
            p += 2;
            return "#" + std::to_string(word());
        }
        std::string s;
        for (WORD c; (c = word()) != 0;)
            s += (char)c;
        return s;
    }
    void align() { while ((reinterpret_cast<uintptr_t>(p) & 3) != 0) p++; }
};

TEST_F(resources, the_settings_dialog_template_is_as_designed)
{
    auto t = bytes("SETBOX", MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    ASSERT_GT(t.size(), 18u);
    reader r{t.data(), t.data() + t.size()};
    EXPECT_EQ(r.dword(), 0x80C800C0u);
    r.dword();
    WORD count = r.word();
    for (short want : {0, 0, 167, 178})   // x, y, width, height
        EXPECT_EQ(r.num(), want);
    EXPECT_EQ(r.text(), "");   // no menu
    EXPECT_EQ(r.text(), "");   // the standard dialog class
    EXPECT_EQ(r.text(), "vexolind settings");
    EXPECT_EQ(r.word(), 8);
    EXPECT_EQ(r.text(), "MS Sans Serif");

    const DWORD child = WS_CHILD | WS_VISIBLE;
    const DWORD slider = child | 0x0008 /* TBS_BOTH */ | 0x0010 /* TBS_NOTICKS */ | WS_TABSTOP;
    struct item {
        int id;
        const char *cls;
        DWORD style;
        const char *text;
        short x, y, w, h;
    } want[] = {
        {1, "#128", child | BS_DEFPUSHBUTTON | WS_TABSTOP, "OK", 25, 155, 50, 14},
        {2, "#128", child | BS_PUSHBUTTON | WS_TABSTOP, "Cancel", 90, 155, 50, 14},
        {420, "msctls_trackbar32", slider, "Slider2", 30, 70, 103, 11},
        {419, "#128", child | BS_AUTORADIOBUTTON, "Kiss /", 33, 7, 32, 18},
        {421, "#128", child | BS_AUTORADIOBUTTON, "Kick", 65, 7, 32, 17},
        {-1, "#130", child | SS_LEFT | SS_CENTERIMAGE, "my zorp", 99, 7, 38, 17},
        {427, "msctls_trackbar32", slider, "Slider1", 30, 40, 103, 11},
        {-1, "#130", child | SS_LEFT | WS_GROUP, "1 hr", 135, 70, 25, 10},
        {-1, "#130", child | SS_LEFT | WS_GROUP, "1 hr", 135, 40, 25, 13},
        {-1, "#130", child | SS_LEFT | WS_GROUP, "1 min", 10, 40, 18, 9},
        {-1, "#130", child | SS_LEFT | WS_GROUP, "1 min", 10, 70, 20, 9},
        {-1, "#130", child | SS_CENTER | WS_GROUP, "Min Time", 5, 30, 159, 8},
        {-1, "#130", child | SS_CENTER | WS_GROUP, "Max Time", 5, 60, 159, 8},
        {428, "#128", child | BS_AUTOCHECKBOX | WS_TABSTOP, "Automatically check for updates", 25, 95, 117, 10},
        {429, "#128", child | BS_AUTOCHECKBOX | WS_TABSTOP, "Automatically run at start-up", 25, 110, 103, 10},
        {411, "#128", child | BS_PUSHBUTTON | WS_TABSTOP, "Suggest a compliment/insult", 25, 130, 115, 15},
    };
    ASSERT_EQ(count, sizeof want / sizeof *want);
    for (auto &w : want) {
        SCOPED_TRACE(w.text);
        r.align();
        DWORD style = r.dword();
        r.dword();
        short x = r.num(), y = r.num(), cx = r.num(), cy = r.num();
        short id = (short)r.word();
        std::string cls = r.text();
        std::string text = r.text();
        WORD extra = r.word();
        r.p += extra;
        // Class names are not case-sensitive, and "Button" names the same class as ordinal 0x80.
        for (char &c : cls)
            c = (char)tolower((unsigned char)c);
        if (cls == "button")
            cls = "#128";
        EXPECT_EQ(std::tie(style, id, cls, text, x, y, cx, cy), std::tie(w.style, w.id, w.cls, w.text, w.x, w.y, w.w, w.h));
    }
}

TEST_F(resources, the_version_record_names_vexolind_and_its_maker)
{
    std::string path = exefile();
    DWORD handle = 0, size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void **>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(4, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, 0u);
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(4, 0));
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3fu);
    EXPECT_EQ(fixed->dwFileOS, 0x40004u);
    EXPECT_EQ(fixed->dwFileType, (DWORD)VFT_APP);

    WORD *lang = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void **>(&lang), &len));
    EXPECT_EQ(lang[0], 0x0409);
    EXPECT_EQ(lang[1], 1200);

    struct {
        const char *key, *value;
    } strings[] = {
        {"Comments", "vexolind"},         {"FileDescription", "vexolind"},    {"InternalName", "vexolind"},
        {"ProductName", "vexolind"},      {"FileVersion", "0,0,0,4"},         {"ProductVersion", "0, 0, 0, 4"},
        {"OriginalFilename", "vexolind.rc"}, {"LegalTrademarks", ""},         {"PrivateBuild", ""},
        {"SpecialBuild", ""},
    };
    auto value = [&](const char *key) {
        char *v = nullptr;
        UINT n = 0;
        std::string q = std::string("\\StringFileInfo\\040904b0\\") + key;
        if (!VerQueryValueA(info.data(), q.c_str(), reinterpret_cast<void **>(&v), &n) || !v)
            return std::string("<missing>");
        return std::string(v);
    };
    for (auto &s : strings)
        EXPECT_EQ(value(s.key), s.value) << s.key;
    EXPECT_NE(value("CompanyName").find("Vexolind"), std::string::npos);
    EXPECT_NE(value("LegalCopyright").find("Vexolind"), std::string::npos);
}

TEST_F(resources, the_manifest_asks_for_common_controls_and_no_elevation)
{
    auto m = bytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
    std::string text(m.begin(), m.end());
    for (const char *part : {"Microsoft.Windows.Common-Controls", "level=\"asInvoker\"", "dpiAware", "supportedOS",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
}

TEST_F(resources, the_splash_picture_is_carried_and_no_title_string_is)
{
    EXPECT_EQ(bytes("SPLASH", MAKEINTRESOURCEA(10)).size(), 314900u);
    char title[100] = "x";
    EXPECT_EQ(LoadStringA(exe, 500, title, sizeof title), 0);
}

} // namespace
