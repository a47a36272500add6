#include "handles.h"
#include "lang.h"
#include "settings.h"
#include "vexolind.h"
#include "winui.h"

#include <gtest/gtest.h>
#include <sddl.h>
#include <shlobj.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

const char runkey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Taken before any test runs: every save asks for the program's path.
const std::string startline = GetCommandLineA();

using winui::exists;
using winui::lines;
using winui::readfile;
using winui::writefile;

size_t count(const std::vector<std::string> &v, const std::string &line)
{
    return (size_t)std::count(v.begin(), v.end(), line);
}

std::string profile(const std::string &file, const char *section, const char *key)
{
    char buf[256] = {0};
    GetPrivateProfileStringA(section, key, "<absent>", buf, sizeof buf, file.c_str());
    return buf;
}

void removetree(const std::string &dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, ".."))
                continue;
            std::string p = dir + "\\" + fd.cFileName;
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removetree(p);
            else
                DeleteFileA(p.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

// A fresh folder of the user's temp folder, removed with all it holds.
class tempfolder : vx::noncopyable {
public:
    tempfolder()
    {
        static unsigned serial;
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        char name[MAX_PATH + 64];
        snprintf(name, sizeof name, "%svxsettings-%lu-%u", base, GetCurrentProcessId(), ++serial);
        dir = name;
        CreateDirectoryA(dir.c_str(), NULL);
    }
    ~tempfolder() { removetree(dir); }
    std::string path(const std::string &name) const { return dir + "\\" + name; }
    std::string dir;
};

struct regvalue {
    bool present = false;
    DWORD type = 0;
    std::string data;   // the raw bytes, terminator included
};

regvalue readrun(HKEY root)
{
    regvalue v;
    vx::regkey k;
    char buf[4096];
    DWORD size = sizeof buf;
    if (RegOpenKeyExA(root, runkey, 0, KEY_QUERY_VALUE, vx::out(k)) == ERROR_SUCCESS)
        v.present = RegQueryValueExA(k.get(), "vexolind", NULL, &v.type, (BYTE *)buf, &size) == ERROR_SUCCESS;
    if (v.present)
        v.data.assign(buf, size);
    return v;
}

bool runkeyexists(HKEY root)
{
    vx::regkey k;
    return RegOpenKeyExA(root, runkey, 0, KEY_QUERY_VALUE, vx::out(k)) == ERROR_SUCCESS;
}

void setrun(HKEY root, const std::string &text)
{
    ASSERT_TRUE(winui::setreg(root, runkey, "vexolind", text));
}

void deleterun(HKEY root)
{
    winui::unsetreg(root, runkey, "vexolind");
}

// The bytes a Run value must hold for path: quoted, with its terminator.
std::string quotedvalue(const std::string &path)
{
    return std::string("\"") + path + "\"" + '\0';
}

// Empties both Run values for a test and puts back what was there before.
class runguard : vx::noncopyable {
public:
    runguard()
    {
        for (int i = 0; i < 2; i++) {
            hadkey[i] = runkeyexists(roots[i]);
            saved[i] = readrun(roots[i]);
            deleterun(roots[i]);
        }
    }
    ~runguard()
    {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, NULL);
        for (int i = 0; i < 2; i++) {
            deleterun(roots[i]);
            if (saved[i].present)
                RegSetKeyValueA(roots[i], runkey, "vexolind", saved[i].type, saved[i].data.data(),
                                (DWORD)saved[i].data.size());
            else if (!hadkey[i])
                RegDeleteKeyA(roots[i], runkey);
        }
    }

private:
    HKEY roots[2] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
    bool hadkey[2];
    regvalue saved[2];
};

// Plays a user without elevation: HKEY_LOCAL_MACHINE stands for a volatile key of the user's.
// Without a value, the ordinary Run key can neither be created nor opened under it; with one, it
// holds that value as an older build's machine-wide one that everyone may read and no one change.
// Wine grants every HKLM write, so this is the only way to see the refusals here.
class machinekey : vx::noncopyable {
public:
    explicit machinekey(const std::string *value = nullptr)
    {
        snprintf(name, sizeof name, "Software\\vexolind-test-machine-%lu", GetCurrentProcessId());
        RegCreateKeyExA(HKEY_CURRENT_USER, name, 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL,
                        vx::out(standin), NULL);
        vx::regkey run;
        if (value && standin)
            RegCreateKeyExA(standin.get(), runkey, 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, vx::out(run), NULL);
        if (!standin || (value && !run))
            return;
        if (value) {
            PSECURITY_DESCRIPTOR readonly = nullptr;
            RegSetValueExA(run.get(), "vexolind", 0, REG_SZ, (const BYTE *)value->c_str(), (DWORD)value->size() + 1);
            if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readonly, NULL))
                RegSetKeySecurity(run.get(), DACL_SECURITY_INFORMATION, readonly);
            LocalFree(readonly);
        }
        overridden = RegOverridePredefKey(HKEY_LOCAL_MACHINE, standin.get()) == ERROR_SUCCESS;
    }
    ~machinekey()
    {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, NULL);
        standin.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, name);
    }
    bool overridden = false;

private:
    char name[80];
    vx::regkey standin;
};

std::string ansi(const wchar_t *s)
{
    char buf[32768] = "";
    WideCharToMultiByte(CP_ACP, 0, s, -1, buf, sizeof buf, NULL, NULL);
    return buf;
}

std::string modulepath()
{
    std::vector<char> buf(32768);
    DWORD n = GetModuleFileNameA(NULL, buf.data(), (DWORD)buf.size());
    return std::string(buf.data(), n);
}

// The five loaded values in the file's words, to be checked all at once.
std::string values(const context_t &c)
{
    return "mintime=" + std::to_string(c.mintime) + " maxtime=" + std::to_string(c.maxtime) + " type="
           + (c.curki == kisses ? "kisses" : c.curki == kickers ? "kickers" : "?") + " autoupdate="
           + std::to_string(c.autoupdate) + " autorun=" + std::to_string(c.autorun);
}

// Loads the file over values no load leaves behind, so a field load forgot shows up.
void load(context_t &ctx, const std::string &file)
{
    snprintf(ctx.inipath, sizeof ctx.inipath, "%s", file.c_str());
    ctx.mintime = 0xDEAD;
    ctx.maxtime = 0xBEEF;
    ctx.curki = nullptr;
    ctx.autoupdate = 0x5A5A;
    ctx.autorun = 0x5A5A;
    EXPECT_EQ(loadsettings(&ctx), 1);
}

class settings : public ::testing::Test {
protected:
    tempfolder tmp;
    runguard run;
    context_t ctx{};

    // A new file of this content, loaded.
    std::string loadfrom(const std::string &content)
    {
        std::string file = tmp.path("settings" + std::to_string(++files) + ".INI");
        EXPECT_TRUE(writefile(file, content));
        load(ctx, file);
        return file;
    }
    // Saves, then expects each line once in the file.
    void savedonce(const std::string &file, std::initializer_list<std::string> want)
    {
        EXPECT_EQ(savesettings(&ctx), 1);
        std::vector<std::string> got = lines(readfile(file));
        for (const std::string &w : want)
            EXPECT_EQ(count(got, w), 1u) << w;
    }
    int files = 0;
};

TEST_F(settings, without_a_file_loads_the_defaults_and_saves_them_as_six_lines)
{
    // The folder does not exist yet either: saving makes it.
    std::string folder = tmp.path("new folder");
    std::string file = folder + "\\vexolind.INI";
    load(ctx, file);
    EXPECT_EQ(values(ctx), "mintime=10 maxtime=3600 type=kisses autoupdate=1 autorun=1");
    EXPECT_FALSE(exists(folder)) << "loading must not write";

    EXPECT_EQ(savesettings(&ctx), 1);
    std::vector<std::string> want = {"[settings]", "mintime=10",   "maxtime=3600",
                                     "type=kisses", "autorun=1", "autoupdate=1"};
    EXPECT_EQ(lines(readfile(file)), want);
}

TEST_F(settings, the_mood_is_kisses_only_for_that_exact_word)
{
    struct {
        const char *text;
        bool kiss;
    } cases[] = {
        {"kisses", true},
        {"kickers", false},
        {"", false},
        {"Kisses", false},
        {"KISSES", false},
        {"whatever", false},
        {"kisses;", false},
        {"  kisses  ", true},   // the profile reader trims blanks
        {"\"kisses\"", true},   // and strips one pair of quotes
    };
    for (auto &c : cases) {
        SCOPED_TRACE(std::string("type=") + c.text);
        std::string file = loadfrom(std::string("[settings]\r\nmintime=20\r\ntype=") + c.text + "\r\nmaxtime=30\r\n");
        EXPECT_EQ(ctx.curki, c.kiss ? kisses : kickers);
        savedonce(file, {c.kiss ? "type=kisses" : "type=kickers"});
        std::vector<std::string> got = lines(readfile(file));
        EXPECT_EQ(std::count_if(got.begin(), got.end(), [](const std::string &l) { return l.rfind("type=", 0) == 0; }), 1);
    }
}

TEST_F(settings, times_load_as_the_platform_reads_them_and_save_as_signed_longs)
{
    struct {
        const char *mintime, *maxtime;
        uint32_t wantmin, wantmax;
        const char *savedmin, *savedmax;
    } cases[] = {
        {"600", "60", 600, 60, "mintime=600", "maxtime=60"},   // inverted bounds stay as typed
        {"0", "1", 0, 1, "mintime=0", "maxtime=1"},
        {"3000000000", "4294967295", 3000000000u, 4294967295u, "mintime=-1294967296", "maxtime=-1"},
        {"2147483648", "2147483647", 2147483648u, 2147483647u, "mintime=-2147483648",
         "maxtime=2147483647"},
        {"12abc", "junk", 12, 0, "mintime=12", "maxtime=0"},
        {" -5", "-1", 4294967291u, 4294967295u, "mintime=-5", "maxtime=-1"},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(std::string("mintime=") + c.mintime + " maxtime=" + c.maxtime);
        std::string file = loadfrom(std::string("[settings]\r\nmintime=") + c.mintime + "\r\nmaxtime=" + c.maxtime + "\r\n");
        EXPECT_EQ(ctx.mintime, c.wantmin);
        EXPECT_EQ(ctx.maxtime, c.wantmax);
        savedonce(file, {c.savedmin, c.savedmax});
    }
}

TEST_F(settings, switches_are_any_integer_and_save_as_one_or_zero)
{
    std::string me = modulepath();
    struct {
        const char *autoupdate, *autorun;
        int32_t wantupdate, wantrun;
        const char *savedupdate, *savedrun;
    } cases[] = {
        {"0", "0", 0, 0, "autoupdate=0", "autorun=0"},
        {"1", "1", 1, 1, "autoupdate=1", "autorun=1"},
        {"7", "-1", 7, -1, "autoupdate=1", "autorun=1"},
        {"junk", "2x", 0, 2, "autoupdate=0", "autorun=1"},
        {"-3", "no", -3, 0, "autoupdate=1", "autorun=0"},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(std::string("autoupdate=") + c.autoupdate + " autorun=" + c.autorun);
        // What the last round registered must go when autorun is off.
        setrun(HKEY_LOCAL_MACHINE, "stale");
        setrun(HKEY_CURRENT_USER, "stale");
        std::string file = loadfrom(std::string("[settings]\r\nautoupdate=") + c.autoupdate + "\r\nautorun=" + c.autorun + "\r\n");
        EXPECT_EQ(ctx.autoupdate, c.wantupdate);
        EXPECT_EQ(ctx.autorun, c.wantrun);
        savedonce(file, {c.savedupdate, c.savedrun});
        regvalue user = readrun(HKEY_CURRENT_USER), machine = readrun(HKEY_LOCAL_MACHINE);
        EXPECT_TRUE(user.present == (c.wantrun != 0) && machine.present == (c.wantrun != 0));
        EXPECT_EQ(user.data, c.wantrun ? quotedvalue(me) : "");
        EXPECT_EQ(machine.data, c.wantrun ? std::string("stale") + '\0' : "") << "another program's value stays";
    }
}

TEST_F(settings, saving_keeps_other_sections_comments_and_unknown_keys)
{
    std::string file = loadfrom("; written by hand\r\n"
                                "[before]\r\n"
                                "a=1\r\n"
                                "[settings]\r\n"
                                "colour=blue\r\n"
                                "mintime=20\r\n"
                                "; keep me\r\n"
                                "[after]\r\n"
                                "b=2\r\n");
    EXPECT_EQ(ctx.mintime, 20u);
    ctx.maxtime = 99;
    savedonce(file, {"; written by hand", "[before]", "a=1", "colour=blue", "; keep me", "[after]", "b=2", "mintime=20",
                     "maxtime=99"});
    EXPECT_EQ(profile(file, "before", "a"), "1");
    EXPECT_EQ(profile(file, "after", "b"), "2");
    EXPECT_EQ(profile(file, "settings", "colour"), "blue");
    EXPECT_EQ(profile(file, "settings", "type"), "kisses");
}

class autorun : public ::testing::Test {
protected:
    runguard run;
};

// The machine's key is writable here, as it is for an elevated user: the value goes to the user's
// all the same, and an older build's machine-wide value of ours goes.
TEST_F(autorun, registers_the_quoted_path_for_the_user_and_takes_ours_from_the_machine)
{
    const std::string other = "\"C:\\Tools\\vexolind.exe\"";
    for (std::string path : {modulepath(), std::string("C:\\Program Files\\vexolind\\vexolind.exe"),
                             std::string("C:\\vexolind.exe")}) {
        SCOPED_TRACE(path);
        std::string upper = path;
        CharUpperA(&upper[0]);
        // The machine's value: ours quoted, ours as typed in capitals, another copy's.
        for (const std::string &machine : {"\"" + path + "\"", upper, other}) {
            setrun(HKEY_LOCAL_MACHINE, machine);
            EXPECT_EQ(registerAutoRun(1, widen(path).c_str()), 1);
            regvalue v = readrun(HKEY_CURRENT_USER);
            ASSERT_TRUE(v.present);
            EXPECT_EQ(v.type, (DWORD)REG_SZ);
            EXPECT_EQ(v.data.size(), path.size() + 3) << "quotes and terminator";
            EXPECT_EQ(v.data, quotedvalue(path));
            EXPECT_EQ(readrun(HKEY_LOCAL_MACHINE).present, machine == other) << machine;
        }
    }
}

TEST_F(autorun, clearing_removes_the_value_from_both_keys_even_when_absent)
{
    setrun(HKEY_LOCAL_MACHINE, "\"C:\\old\\vexolind.exe\"");
    setrun(HKEY_CURRENT_USER, "\"C:\\old\\vexolind.exe\"");
    ASSERT_TRUE(readrun(HKEY_LOCAL_MACHINE).present);
    ASSERT_TRUE(readrun(HKEY_CURRENT_USER).present);

    for (int round = 0; round < 2; round++) {
        EXPECT_EQ(registerAutoRun(0, NULL), 1) << "round " << round;
        EXPECT_FALSE(readrun(HKEY_LOCAL_MACHINE).present);
        EXPECT_FALSE(readrun(HKEY_CURRENT_USER).present);
        // The Run key itself belongs to the system and stays.
        EXPECT_TRUE(runkeyexists(HKEY_LOCAL_MACHINE));
    }
}

TEST_F(autorun, a_machine_value_of_ours_that_may_not_be_removed_stays_and_the_user_gets_one)
{
    std::string path = "C:\\Program Files\\vexolind\\vexolind.exe";
    {
        const std::string quoted = "\"" + path + "\"";
        machinekey old(&quoted);
        ASSERT_TRUE(old.overridden);
        vx::regkey k;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, runkey, 0, KEY_SET_VALUE, vx::out(k)), ERROR_ACCESS_DENIED)
            << "the stand-in must refuse changes to the Run key";
        winui::boxwatcher boxes("vexolind");
        EXPECT_EQ(registerAutoRun(1, widen(path).c_str()), 1);
        EXPECT_TRUE(boxes.texts().empty()) << "nothing is said";
        EXPECT_EQ(readrun(HKEY_LOCAL_MACHINE).data, quotedvalue(path)) << "the machine's value stays";
    }
    {
        machinekey closed;
        ASSERT_TRUE(closed.overridden);
        EXPECT_EQ(registerAutoRun(1, widen(path).c_str()), 1);
    }
    EXPECT_FALSE(readrun(HKEY_LOCAL_MACHINE).present);
    regvalue user = readrun(HKEY_CURRENT_USER);
    ASSERT_TRUE(user.present);
    EXPECT_EQ(user.type, (DWORD)REG_SZ);
    EXPECT_EQ(user.data, quotedvalue(path));

    // Clearing without the machine key still reaches the user's value.
    {
        machinekey closed;
        ASSERT_TRUE(closed.overridden);
        EXPECT_EQ(registerAutoRun(0, NULL), 1);
    }
    EXPECT_FALSE(readrun(HKEY_CURRENT_USER).present);
}

TEST(defaultinifile, is_the_vexolind_file_in_the_roaming_application_data)
{
    wchar_t appdata[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, appdata), S_OK);
    EXPECT_EQ(defaultinifile(), std::wstring(appdata) + L"\\vexolind\\vexolind.INI");
}

TEST(appath, is_the_module_file_name)
{
    std::string me = modulepath();
    ASSERT_FALSE(me.empty());
    std::string got = ansi(appath());
    EXPECT_EQ(got, me);
    ASSERT_GE(got.size(), 3u);
    EXPECT_TRUE((got[1] == ':' && got[2] == '\\') || got.compare(0, 2, "\\\\") == 0)
        << "not a full path: " << got;
    DWORD a = GetFileAttributesA(got.c_str());
    EXPECT_TRUE(a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY)) << got;
}

TEST(appath, leaves_the_command_line_alone)
{
    EXPECT_EQ(ansi(appath()), ansi(appath()));
    EXPECT_EQ(std::string(GetCommandLineA()), startline);
}

// A copy of this program in a folder with blanks, started with a quoted path and arguments
// as Explorer or the Run key would, runs the two tests above.
TEST(appath, holds_for_a_quoted_path_with_blanks_and_arguments)
{
    tempfolder tmp;
    std::string folder = tmp.path("with blanks");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    std::string copy = folder + "\\settings test copy.exe";
    ASSERT_TRUE(CopyFileA(modulepath().c_str(), copy.c_str(), FALSE));
    std::string report = tmp.path("report.xml");

    std::string cmd = "\"" + copy + "\" --gtest_filter=appath.is_the_module_file_name:"
                      "appath.leaves_the_command_line_alone \"--gtest_output=xml:" + report + "\"";
    int code = winui::run(cmd, 60000, folder.c_str());

    std::string xml = readfile(report);
    EXPECT_EQ(code, 0) << xml;
    EXPECT_NE(xml.find("name=\"is_the_module_file_name\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("name=\"leaves_the_command_line_alone\""), std::string::npos) << xml;
    EXPECT_EQ(xml.find("<failure"), std::string::npos) << xml;
}

// A real file of the prefix, such as the Windows folder's; what was there is put back.
class savedfile : vx::noncopyable {
public:
    explicit savedfile(const std::string &file) : path(file) { had = readfile(path, bytes); }
    ~savedfile()
    {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        if (had)
            writefile(path, bytes);
    }

private:
    std::string path, bytes;
    bool had;
};

class legacy : public ::testing::Test {
protected:
    void SetUp() override
    {
        char win[MAX_PATH];
        peruser = ansi(defaultinifile().c_str());
        ASSERT_FALSE(peruser.empty());
        ASSERT_NE(GetWindowsDirectoryA(win, sizeof win), 0u);
        folder = peruser.substr(0, peruser.rfind('\\'));
        aside = folder + ".before-test";
        old = std::string(win) + "\\vexolind.INI";
        // The tests play a first start: a per-user folder already there waits aside.
        hadfolder = exists(folder);
        if (hadfolder) {
            ASSERT_TRUE(MoveFileA(folder.c_str(), aside.c_str()));
        }
        keepold.reset(new savedfile(old));
        ready = true;
    }
    void TearDown() override
    {
        if (!ready)
            return;
        keepold.reset();
        removetree(folder);
        if (hadfolder)
            MoveFileA(aside.c_str(), folder.c_str());
    }
    runguard run;
    context_t ctx{};
    std::string peruser, folder, aside, old;
    bool hadfolder = false, ready = false;
    std::unique_ptr<savedfile> keepold;
    const std::string oldtext = "[settings]\r\nmintime=77\r\nmaxtime=777\r\ntype=kickers\r\n"
                                "autoupdate=0\r\nautorun=0\r\n";
};

TEST_F(legacy, first_start_reads_the_windows_folder_file_and_saves_per_user)
{
    ASSERT_TRUE(writefile(old, oldtext));
    ASSERT_FALSE(exists(peruser));

    load(ctx, peruser);
    EXPECT_EQ(values(ctx), "mintime=77 maxtime=777 type=kickers autoupdate=0 autorun=0");

    ASSERT_FALSE(exists(folder));
    EXPECT_EQ(savesettings(&ctx), 1);
    EXPECT_EQ(readfile(old), oldtext) << "the old file is never written";
    std::vector<std::string> want = {"[settings]", "mintime=77", "maxtime=777",
                                     "type=kickers", "autorun=0",  "autoupdate=0"};
    EXPECT_EQ(lines(readfile(peruser)), want);
}

TEST_F(legacy, is_only_read_for_the_default_path_while_no_per_user_file_exists)
{
    ASSERT_TRUE(writefile(old, oldtext));
    tempfolder tmp;
    std::string upper = peruser;
    CharUpperA(&upper[0]);

    struct {
        const char *what;
        std::string inipath;
        const char *peruser;   // content of the per-user file, or none
        uint32_t wantmin;
    } cases[] = {
        {"default path, no per-user file", peruser, nullptr, 77},
        {"default path in capitals", upper, nullptr, 77},
        {"default path, per-user file present", peruser, "[settings]\r\nmintime=5\r\n", 5},
        {"per-user file without the key", peruser, "[other]\r\nx=1\r\n", 10},
        {"another file named", tmp.path("vexolind.INI"), nullptr, 10},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(peruser.c_str());
        if (c.peruser) {
            CreateDirectoryA(folder.c_str(), NULL);
            ASSERT_TRUE(writefile(peruser, c.peruser));
        }
        load(ctx, c.inipath);
        EXPECT_EQ(ctx.mintime, c.wantmin);
    }
}

TEST_F(settings, binary_junk_gives_the_defaults_and_saving_repairs_the_section)
{
    // Bytes of every value, NULs included, in a fixed pseudo-random order.
    std::string junk;
    unsigned x = 12345;
    for (int i = 0; i < 65536; i++) {
        x = x * 1103515245u + 12345u;
        junk += (char)(x >> 16);
    }
    std::string file = loadfrom(junk + "\r\n[keep]\r\nmarker=still here\r\n");
    EXPECT_EQ(values(ctx), "mintime=10 maxtime=3600 type=kisses autoupdate=1 autorun=1");

    // The file is rewritten from what could be parsed; the sections come back whole.
    ctx.mintime = 42;
    EXPECT_EQ(savesettings(&ctx), 1);
    EXPECT_EQ(profile(file, "keep", "marker"), "still here");
    EXPECT_EQ(profile(file, "settings", "mintime"), "42");
    EXPECT_EQ(profile(file, "settings", "maxtime"), "3600");
    EXPECT_EQ(profile(file, "settings", "type"), "kisses");
}

TEST_F(settings, a_file_of_megabytes_is_read_and_kept_whole)
{
    std::string filler;
    size_t keys = 0;
    filler += "[big]\r\n";
    while (filler.size() < 4 * 1024 * 1024) {
        char line[64];
        snprintf(line, sizeof line, "key%07zu=some value that fills the line\r\n", ++keys);
        filler += line;
    }
    const std::string ours = "[settings]\r\nmintime=600\r\nmaxtime=60\r\ntype=kickers\r\n"
                             "autorun=0\r\nautoupdate=0\r\n";
    char last[64];
    snprintf(last, sizeof last, "key%07zu=some value that fills the line", keys);

    struct {
        const char *what;
        std::string content;
    } cases[] = {{"settings first", ours + filler}, {"settings last", filler + ours}};
    for (auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string file = loadfrom(c.content);
        EXPECT_EQ(values(ctx), "mintime=600 maxtime=60 type=kickers autoupdate=0 autorun=0");

        ctx.mintime = 700;
        savedonce(file, {"key0000001=some value that fills the line", last, "mintime=700", "maxtime=60"});
        EXPECT_EQ(lines(readfile(file)).size(), lines(c.content).size());
    }
}

TEST_F(settings, a_very_long_line_is_cut_short_and_replaced_on_save)
{
    std::string file = loadfrom("[settings]\r\nmintime=600\r\ntype=kisses" + std::string(10000, 'k')
                                + "\r\nmaxtime=60\r\n[other]\r\nx=y\r\n" + std::string(10000, 'z') + "=long key\r\n");
    EXPECT_EQ(ctx.mintime, 600u);
    EXPECT_EQ(ctx.maxtime, 60u);
    EXPECT_EQ(ctx.curki, kickers) << "only the first 49 characters are read, not the word";

    savedonce(file, {"type=kickers", "x=y", std::string(10000, 'z') + "=long key"});
    EXPECT_EQ(readfile(file).find(std::string(100, 'k')), std::string::npos);
}

TEST_F(settings, a_file_that_cannot_be_written_is_read_and_left_as_it_was)
{
    const std::string content = "[settings]\r\nmintime=600\r\nmaxtime=60\r\ntype=kickers\r\n"
                                "[other]\r\nx=y\r\n";
    enum how { readonly, heldopen };
    for (how h : {readonly, heldopen}) {
        SCOPED_TRACE(h == readonly ? "read-only attribute" : "held open without write sharing");
        std::string file = tmp.path(h == readonly ? "readonly.INI" : "held.INI");
        ASSERT_TRUE(writefile(file, content));
        ASSERT_TRUE(h != readonly || SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
        vx::filehandle held(h == heldopen ? CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL)
                                          : INVALID_HANDLE_VALUE);
        bool refused = !vx::filehandle(CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                                   OPEN_EXISTING, 0, NULL));
        if (h == heldopen) {
            ASSERT_TRUE(held);
            EXPECT_TRUE(refused);
        }

        load(ctx, file);
        EXPECT_EQ(values(ctx), "mintime=600 maxtime=60 type=kickers autoupdate=1 autorun=1");

        ctx.mintime = 1;
        ctx.curki = kisses;
        deleterun(HKEY_CURRENT_USER);
        EXPECT_EQ(savesettings(&ctx), refused ? 0 : 1);
        if (refused) {
            EXPECT_EQ(readfile(file), content);
        } else {
            // Wine run as root writes read-only files all the same; then nothing else may go.
            EXPECT_EQ(profile(file, "other", "x"), "y");
            EXPECT_EQ(profile(file, "settings", "mintime"), "1");
        }
        // The Run value follows the file: none for settings the file did not take.
        EXPECT_EQ(readrun(HKEY_CURRENT_USER).present, !refused);
    }
}

} // namespace
