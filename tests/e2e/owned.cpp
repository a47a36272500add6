// The installer, the uninstaller and the program touch their own files and no one else's, and
// say so when they cannot keep the user's settings.
#include "harness.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

std::string setup() { return unixtowin(env("VEXOLIND_SETUP")); }
std::string quoted(const std::string &s) { return "\"" + s + "\""; }
int exitcode(const std::string &exe, const std::string &args) { return winui::run(quoted(exe) + " " + args); }

// The uninstall record's InstallLocation; empty when nothing is installed.
std::string location()
{
    return winui::regstring(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\vexolind",
                            "InstallLocation");
}

// It hands over to a copy of itself and returns at once: the wait is for its work to show.
bool uninstall(const std::string &dir)
{
    return exitcode(dir + "\\uninstall.exe", "/S") == 0 &&
           winui::waitfor([&] { return !exists(dir + "\\uninstall.exe") && location().empty(); }, 30000, 250);
}

class owned : public scenario {
protected:
    void TearDown() override
    {
        DeleteFileA(defaultfolder().c_str());
        if (!location().empty())
            uninstall(location());
        scenario::TearDown();
    }
};

TEST_F(owned, only_the_installed_copy_is_touched_by_its_setup_and_uninstaller)
{
    ASSERT_EQ(exitcode(setup(), "/S"), 0) << "needs the dist target";
    const std::string dir = location(), portable = tempdir("portable") + "\\vexolind.exe", downloads = tempdir("Downloads");
    ASSERT_TRUE(CopyFileA(exepath().c_str(), portable.c_str(), FALSE));
    auto a = app::start("", portable);
    ASSERT_TRUE(a && a->window());
    ASSERT_TRUE(winui::waitfor([&] { return runvalue(HKEY_CURRENT_USER) == quoted(portable); }, 5000));
    for (const char *f : {"README.txt", "LICENSE.txt", "vexolind.exe"})
        writefile(downloads + "\\" + f, f);
    CopyFileA((dir + "\\uninstall.exe").c_str(), (downloads + "\\uninstall.exe").c_str(), FALSE);

    // In place (_?=), so that its own exit code comes back.
    EXPECT_EQ(exitcode(downloads + "\\uninstall.exe", "/S _?=" + downloads), 2);
    for (const char *f : {"README.txt", "LICENSE.txt", "vexolind.exe"})
        EXPECT_EQ(readfile(downloads + "\\" + f), f);
    EXPECT_EQ(location(), dir);
    ASSERT_EQ(exitcode(setup(), "/S"), 0);
    ASSERT_TRUE(uninstall(dir));
    EXPECT_TRUE(a->running());
    EXPECT_EQ(runvalue(HKEY_CURRENT_USER), quoted(portable));
}

TEST_F(owned, a_shared_folder_keeps_another_tools_files_through_install_and_uninstall)
{
    const std::string tools = tempdir("Tools");
    const char *const theirs[] = {"README.txt", "LICENSE.txt", "uninstall.exe"};
    for (const char *f : theirs)
        writefile(tools + "\\" + f, std::string("another tool's ") + f);
    auto intact = [&] {
        for (const char *f : theirs)
            EXPECT_EQ(readfile(tools + "\\" + f), std::string("another tool's ") + f) << f;
    };
    ASSERT_EQ(exitcode(setup(), "/S /D=" + tools), 0);
    EXPECT_EQ(location(), tools + "\\vexolind");
    intact();
    ASSERT_TRUE(uninstall(tools + "\\vexolind"));
    EXPECT_FALSE(exists(tools + "\\vexolind"));
    intact();
}

TEST_F(owned, an_install_moved_with_d_leaves_one_copy_and_a_run_value_naming_it)
{
    ASSERT_EQ(exitcode(setup(), "/S"), 0);
    const std::string dir = location();
    auto a = app::start("", dir + "\\vexolind.exe");
    ASSERT_TRUE(a && a->window());
    const std::string moved = tempdir("moved");
    ASSERT_EQ(exitcode(setup(), "/S /D=" + moved), 0);
    EXPECT_TRUE(a->waitexit(10000)) << "the earlier copy was closed by its uninstaller";
    EXPECT_FALSE(exists(dir));
    EXPECT_EQ(location(), moved);
    EXPECT_EQ(runvalue(HKEY_CURRENT_USER), quoted(moved + "\\vexolind.exe"));
}

// Outside the ANSI code page: the program and the settings file it is given in a Cyrillic folder.
TEST_F(owned, a_portable_copy_in_a_cyrillic_folder_registers_itself_and_saves_there)
{
    wchar_t temp[MAX_PATH], self[MAX_PATH], run[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, tempdir("cyrillic").c_str(), -1, temp, MAX_PATH);
    MultiByteToWideChar(CP_ACP, 0, exepath().c_str(), -1, self, MAX_PATH);
    const std::wstring dir = std::wstring(temp) + L"\\Инструменты", exe = dir + L"\\vexolind.exe",
                       ini = dir + L"\\настройки.ini";
    CreateDirectoryW(dir.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(self, exe.c_str(), FALSE));
    ASSERT_TRUE(WritePrivateProfileStringW(L"settings", L"autoupdate", L"0", ini.c_str()));

    std::wstring line = L"\"" + exe + L"\" \"" + ini + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    vx::kernelhandle process(pi.hProcess), thread(pi.hThread);
    EXPECT_TRUE(winui::waitfor([&] {
        DWORD size = sizeof run;
        return RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"vexolind",
                            RRF_RT_REG_SZ, nullptr, run, &size) == ERROR_SUCCESS;
    }, 15000));
    EXPECT_EQ(std::wstring(run), L"\"" + exe + L"\"") << "names the file that exists";
    EXPECT_EQ(GetPrivateProfileIntW(L"settings", L"autorun", -1, ini.c_str()), 1) << "saved at start";

    HWND w = nullptr;
    EXPECT_TRUE(winui::waitfor([&] { return (w = windowof("vexolind", pi.dwProcessId)) != nullptr; }, 15000));
    PostMessageA(w, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.get(), 99);
}

// Held open by another program that shares it with no one, Wine refuses every open of the file;
// a read-only one would still be written for root.
struct held {
    vx::filehandle f{CreateFileA(settingspath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)};
};

// The text of the program's "vexolind" box, answered; empty when none came.
std::string said(app &a, DWORD ms = 10000)
{
    HWND box = a.box("vexolind", ms);
    std::string text = box ? winui::plain(winui::boxtext(box)) : "";
    return box && dismiss(box) ? text : "";
}

TEST_F(owned, settings_that_cannot_be_saved_are_told_with_the_path_and_the_run_value_stays)
{
    const std::string cannot = "vexolind could not save its settings to\n" + settingspath();
    for (bool folderisfile : {true, false}) {
        SCOPED_TRACE(folderisfile ? "the settings folder is a file" : "the file is held open");
        if (folderisfile)
            writefile(defaultfolder(), "not a folder");
        else
            writesettings("type=kisses\r\nautorun=1\r\nautoupdate=0\r\n");
        auto a = app::start();
        ASSERT_TRUE(a);
        EXPECT_EQ(said(*a, folderisfile ? 10000 : 3000), folderisfile ? cannot : "") << "at start";
        ASSERT_TRUE(a->window());
        const std::string run = runvalue(HKEY_CURRENT_USER);
        held file;
        HWND d = a->dialog('s', "vexolind settings");
        ASSERT_TRUE(d);
        SendMessageA(GetDlgItem(d, 429), BM_CLICK, 0, 0);   // run at start-up, unticked
        PostMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(said(*a), cannot) << "at OK";
        EXPECT_EQ(runvalue(HKEY_CURRENT_USER), run) << "as the file says";
        DeleteFileA(defaultfolder().c_str());
    }
}

TEST_F(owned, a_locked_settings_file_at_start_asks_no_update_and_registers_nothing)
{
    writesettings("autorun=1\r\nautoupdate=1\r\n");
    held file;
    auto a = app::start();
    ASSERT_TRUE(a && a->window(20000));
    EXPECT_TRUE(web->requests().empty());
    EXPECT_TRUE(runabsent(HKEY_LOCAL_MACHINE) && runabsent(HKEY_CURRENT_USER));
}

} // namespace
