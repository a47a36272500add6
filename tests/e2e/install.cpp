// The installer and uninstaller from dist/ as a Windows user meets them, in a prefix of their own.
#include "harness.h"
#include "handles.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

std::string setuppath()
{
    return unixtowin(env("VEXOLIND_SETUP"));
}

std::string folder(int csidl)
{
    char dir[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, dir);
    return dir;
}

std::string defaultdir() { return folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\vexolind"; }
std::string shortcut() { return folder(CSIDL_PROGRAMS) + "\\vexolind.lnk"; }
const char *const installed[] = {"vexolind.exe", "README.txt", "LICENSE.txt", "vexolind.png", "uninstall.exe"};
const char uninstkey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\vexolind";
const char aumidkey[] = "Software\\Classes\\AppUserModelId\\Vexolind.vexolind";   // the toasts' name and icon

using winui::run;

int setup(const std::string &dir = "")
{
    return run("\"" + setuppath() + "\" /S" + (dir.empty() ? "" : " /D=" + dir));
}

bool recorded()
{
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, uninstkey, 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

std::string recordstring(const char *name, const char *key = uninstkey)
{
    bool present = false;
    std::string v = winui::regstring(HKEY_CURRENT_USER, key, name, &present);
    return present ? v : "<missing>";
}

DWORD recorddword(const char *name)
{
    DWORD v = 0xdeadbeef, size = sizeof v;
    RegGetValueA(HKEY_CURRENT_USER, uninstkey, name, RRF_RT_REG_DWORD, nullptr, &v, &size);
    return v;
}

// Where a shortcut points.
std::string linktarget(const std::string &lnk)
{
    std::string target;
    CoInitialize(nullptr);
    IShellLinkA *link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void **>(&link)))) {
        IPersistFile *file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))) {
            std::wstring wide(lnk.begin(), lnk.end());
            char path[MAX_PATH] = "";
            if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) &&
                SUCCEEDED(link->GetPath(path, sizeof path, nullptr, 0)))
                target = path;
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return target;
}


// The uninstaller's own window, "vexolind Uninstall", from whichever copy of it runs.
HWND uninstallerwindow()
{
    for (HWND w : winui::findwindows("#32770", nullptr))
        if (winui::caption(w).rfind("vexolind Uninstall", 0) == 0)
            return w;
    return nullptr;
}

HWND descendant(HWND parent, const char *cls)
{
    struct seek {
        const char *cls;
        HWND found;
    } s{cls, nullptr};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM lp) {
            auto *sought = reinterpret_cast<seek *>(lp);
            char name[64] = "";
            GetClassNameA(w, name, sizeof name);
            if (lstrcmpiA(name, sought->cls) != 0 || !IsWindowVisible(w))
                return TRUE;
            sought->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

const char nondefault[] = "mintime=120\r\nmaxtime=900\r\ntype=kickers\r\nautorun=1\r\nautoupdate=0\r\n";

class install : public scenario {
protected:
    std::string custom;

    void SetUp() override
    {
        scenario::SetUp();
        ASSERT_TRUE(exists(setuppath())) << setuppath() << " missing: build the dist target first";
        custom = tempdir("custom folder");
        wipe();
    }
    void TearDown() override
    {
        wipe();
        scenario::TearDown();
    }
    // Whatever an earlier failed case installed goes, so each case starts uninstalled.
    void wipe()
    {
        for (const std::string &dir : {defaultdir(), custom}) {
            for (const char *f : installed)
                DeleteFileA((dir + "\\" + f).c_str());
        }
        RemoveDirectoryA(defaultdir().c_str());
        DeleteFileA(shortcut().c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, uninstkey);
    }
    // Runs the record's silent uninstall as winget does: in place, so its exit code is its own
    // and says everything went; only its own file goes a moment later.
    bool uninstall(const std::string &dir)
    {
        if (run(recordstring("QuietUninstallString")) != 0 || recorded() || exists(dir + "\\vexolind.exe"))
            return false;
        return winui::waitfor([&] { return !exists(dir + "\\uninstall.exe"); }, 30000, 250);
    }
};

TEST_F(install, silent_install_puts_files_shortcut_and_record_in_place_and_the_program_starts)
{
    ASSERT_EQ(setup(), 0);
    const std::string dir = defaultdir();
    for (const char *f : installed)
        EXPECT_TRUE(exists(dir + "\\" + f)) << f;
    EXPECT_EQ(readfile(dir + "\\vexolind.exe"), readfile(exepath())) << "the installed exe is the built one";
    EXPECT_EQ(linktarget(shortcut()), dir + "\\vexolind.exe");

    const std::string quoted = "\"" + dir + "\\uninstall.exe\"";
    struct {
        const char *name;
        std::string value;
    } strings[] = {
        {"DisplayName", "vexolind"},
        {"DisplayVersion", env("VEXOLIND_VERSION")},
        {"Publisher", "Vexolind Software"},
        {"DisplayIcon", "\"" + dir + "\\vexolind.exe\",0"},
        {"UninstallString", quoted},
        {"QuietUninstallString", quoted + " /S _?=" + dir},
        {"InstallLocation", dir},
    };
    for (auto &s : strings)
        EXPECT_EQ(recordstring(s.name), s.value) << s.name;
    EXPECT_EQ(recordstring("DisplayName", aumidkey), "vexolind");
    EXPECT_EQ(recordstring("IconUri", aumidkey), dir + "\\vexolind.png");
    EXPECT_EQ(readfile(dir + "\\vexolind.png").compare(0, 8, "\x89PNG\r\n\x1a\n"), 0) << "an image file";
    DWORD kb = recorddword("EstimatedSize");
    EXPECT_TRUE(kb >= 700 && kb <= 2048) << "EstimatedSize " << kb << " KB";
    EXPECT_EQ(recorddword("NoModify"), 1u);
    EXPECT_EQ(recorddword("NoRepair"), 1u);

    EXPECT_FALSE(exists(settingspath())) << "the program writes its settings, not the installer";
    EXPECT_TRUE(runabsent(HKEY_CURRENT_USER) && runabsent(HKEY_LOCAL_MACHINE));

    auto a = app::start("", dir + "\\vexolind.exe");
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->window());
    EXPECT_TRUE(winui::waitfor([] { return trayicons().size() == 1; }, 15000));
}

TEST_F(install, an_upgrade_closes_the_program_reuses_the_folder_keeps_settings_and_makes_a_machine_run_value_the_users)
{
    ASSERT_EQ(setup(custom), 0);
    writesettings(nondefault);
    auto a = app::start("", custom + "\\vexolind.exe");
    ASSERT_TRUE(a && a->window());
    const std::string run = "\"" + custom + "\\vexolind.exe\"";
    ASSERT_TRUE(winui::waitfor([&] { return runvalue(HKEY_CURRENT_USER) == run; }, 5000));
    // As an earlier build left it when it ran elevated.
    winui::unsetreg(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "vexolind");
    setrun(HKEY_LOCAL_MACHINE, run);
    const std::string settings = readfile(settingspath());

    ASSERT_EQ(setup(), 0) << "no /D=: the folder of the earlier install";
    EXPECT_TRUE(a->waitexit(0)) << "the running copy was closed";
    EXPECT_EQ(recordstring("InstallLocation"), custom);
    EXPECT_TRUE(exists(custom + "\\vexolind.exe"));
    EXPECT_FALSE(exists(defaultdir()));
    EXPECT_EQ(readfile(settingspath()), settings);
    EXPECT_EQ(runvalue(HKEY_CURRENT_USER), run);
    EXPECT_TRUE(runabsent(HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(winui::waitfor([] { return windowof("vexolind", 0) != nullptr; }, 2000))
        << "a silent upgrade leaves it closed";
}

TEST_F(install, a_copy_showing_its_startup_box_stops_the_install_before_anything_changes)
{
    ASSERT_EQ(setup(), 0);
    const std::string dir = defaultdir();
    // The installer keeps its files' own dates, so a rewrite shows only in the content.
    for (const char *f : {"README.txt", "LICENSE.txt"})
        writefile(dir + "\\" + f, "as it was");
    const FILETIME uninstaller = modified(dir + "\\uninstall.exe");
    // A settings file that cannot be opened: its box is up before any main window exists.
    auto a = app::start("C:\\no\\such.ini", dir + "\\vexolind.exe");
    ASSERT_TRUE(a);
    HWND box = a->box("Fatal Error");
    ASSERT_TRUE(box);

    EXPECT_EQ(setup(), 2);
    for (const char *f : {"README.txt", "LICENSE.txt"})
        EXPECT_EQ(readfile(dir + "\\" + f), "as it was") << f;
    EXPECT_TRUE(same(modified(dir + "\\uninstall.exe"), uninstaller)) << "uninstall.exe was rewritten";
    EXPECT_TRUE(a->running());

    winui::answer(box, IDOK);
    ASSERT_TRUE(a->waitexit(10000));
    EXPECT_EQ(setup(), 0) << "once it is gone the install goes ahead";
}

TEST_F(install, the_uninstaller_removes_the_settings_only_when_the_user_ticks_the_box)
{
    ASSERT_EQ(setup(), 0);
    writesettings(nondefault);
    const std::string dir = defaultdir();
    ASSERT_EQ(run("\"" + dir + "\\uninstall.exe\""), 0);
    HWND main = nullptr, tree = nullptr;
    ASSERT_TRUE(winui::waitfor(
        [&] { return (main = uninstallerwindow()) && (tree = descendant(main, "SysTreeView32")); }, 20000));
    // The second entry, "Also remove my settings", starts unticked; space ticks the selected one.
    auto checkmark = [&] {
        auto item = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
        return (SendMessageA(tree, TVM_GETITEMSTATE, item, TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK);
    };
    PostMessageA(tree, WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_TRUE(winui::waitfor([&] { return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) ==
                                            SendMessageA(tree, TVM_GETNEXTITEM, TVGN_LASTVISIBLE, 0); }, 5000));
    // NSIS's space line would say "Space required: 0.0 KB".
    char space[64] = "";
    GetDlgItemTextA(GetParent(tree), 1023, space, sizeof space);
    EXPECT_TRUE(!IsWindowVisible(GetDlgItem(GetParent(tree), 1023)) || !*space) << space;
    const auto unticked = checkmark();
    PostMessageA(tree, WM_KEYDOWN, VK_SPACE, 0);
    ASSERT_TRUE(winui::waitfor([&] { return checkmark() != unticked; }, 5000));
    PostMessageA(GetDlgItem(main, IDOK), BM_CLICK, 0, 0);

    EXPECT_TRUE(winui::waitfor([&] { return !exists(settingspath()) && !exists(dir) && !recorded(); }, 30000, 250));
    EXPECT_FALSE(exists(defaultfolder())) << "its folder goes with the settings file";
    // The last page waits for Close.
    winui::waitfor([&] { return IsWindowEnabled(GetDlgItem(main, IDOK)) != FALSE; }, 10000);
    PostMessageA(GetDlgItem(main, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(winui::waitfor([&] { return !IsWindow(main); }, 10000));
}

// The uninstaller removes by name: a folder that holds anything else stays, with it.
TEST_F(install, silent_uninstall_ends_the_program_and_leaves_only_the_settings)
{
    struct {
        bool customdir;
        const char *other;   // a file of someone else's in the folder, or null
    } cases[] = {{false, nullptr}, {true, "notes.txt"}};
    for (auto &c : cases) {
        const std::string dir = c.customdir ? custom : defaultdir();
        SCOPED_TRACE(dir);
        ASSERT_EQ(setup(c.customdir ? dir : ""), 0);
        if (c.other)
            writefile(dir + "\\" + c.other, "mine");
        writesettings(nondefault);
        auto a = app::start("", dir + "\\vexolind.exe");
        ASSERT_TRUE(a && a->window());
        ASSERT_TRUE(winui::waitfor([] { return !runvalue(HKEY_CURRENT_USER).empty(); }, 5000));
        setrun(HKEY_LOCAL_MACHINE, "\"" + dir + "\\vexolind.exe\"");   // an earlier build's
        const std::string settings = readfile(settingspath());

        ASSERT_TRUE(uninstall(dir));
        EXPECT_TRUE(a->waitexit(10000)) << "the running copy was closed";
        // The uninstaller's own file and its folder go a moment after it exits, from %TEMP%.
        EXPECT_TRUE(winui::waitfor([&] { return exists(dir) == (c.other != nullptr); }, 15000));
        for (const char *f : installed)
            EXPECT_FALSE(exists(dir + "\\" + f)) << f;
        if (c.other) {
            EXPECT_EQ(readfile(dir + "\\" + c.other), "mine");
            DeleteFileA((dir + "\\" + c.other).c_str());
        }
        EXPECT_FALSE(exists(shortcut()));
        EXPECT_FALSE(recorded());
        EXPECT_EQ(recordstring("DisplayName", aumidkey), "<missing>");
        EXPECT_TRUE(runabsent(HKEY_CURRENT_USER));
        EXPECT_TRUE(runabsent(HKEY_LOCAL_MACHINE));
        EXPECT_EQ(readfile(settingspath()), settings) << "a silent uninstall keeps the settings";
    }
}

// A file of the install that another program holds open: nothing goes, or (when it lets others
// write but not delete) all but the program; either way the record stays for a later try.
TEST_F(install, a_silent_uninstall_with_a_file_held_open_exits_2_and_a_later_try_removes_all)
{
    struct {
        const char *file;
        DWORD share;   // what the other program lets others do
    } cases[] = {{"vexolind.exe", 0}, {"README.txt", FILE_SHARE_READ | FILE_SHARE_WRITE}};
    for (auto &c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(setup(), 0);
        const std::string dir = defaultdir();
        {
            vx::filehandle held(
                CreateFileA((dir + "\\" + c.file).c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(held);
            EXPECT_EQ(run(recordstring("QuietUninstallString")), 2);
            EXPECT_TRUE(recorded());
            for (const char *f : {"vexolind.exe", "uninstall.exe", c.file})
                EXPECT_TRUE(exists(dir + "\\" + f)) << f;
        }
        EXPECT_TRUE(uninstall(dir)) << "once it is closed";
    }
}

TEST_F(install, while_a_setup_wizard_is_open_a_second_setup_or_uninstaller_refuses)
{
    ASSERT_EQ(setup(), 0);
    DWORD pid = 0;
    vx::kernelhandle wizard(winui::startprocess("\"" + setuppath() + "\"", nullptr, &pid));
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(winui::waitfor([&] { return winui::findwindow("#32770", nullptr, pid) != nullptr; }, 20000));
    for (const std::string &second : {"\"" + setuppath() + "\" /S", recordstring("QuietUninstallString")})
        EXPECT_EQ(run(second), 2) << second;
    EXPECT_TRUE(recorded() && exists(defaultdir() + "\\uninstall.exe"));
    TerminateProcess(wizard.get(), 1);
    ASSERT_EQ(WaitForSingleObject(wizard.get(), 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(uninstall(defaultdir())) << "once the wizard is gone";
}

} // namespace
