// Runs vexolind and the bare tray program by turns in this Wine session and prints what each
// costs: start to ready, memory 3 s after ready and after one message box, CPU while idle.
//   vxbench RUNS BARE.EXE VEXOLIND.EXE SETTINGS.INI [modules]
// "modules" also lists, on standard error, the DLLs each program holds 3 s after ready.
// A benchmark, not a test: it prints figures and never fails on them.
#include <windows.h>
#include <psapi.h>

#include "../tests/winui.h"

#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const UINT traynotify = 99;   // both programs' tray callback message

struct program {
    const char *name, *cls;
    std::string exe, args;
};

struct sample {
    double readyms = -1, cpums = -1;   // CPU time per 10 s of idling
    double priv3 = -1, ws3 = -1, privbox = -1, wsbox = -1;   // MB
};

double now()
{
    static LARGE_INTEGER f = [] { LARGE_INTEGER x; QueryPerformanceFrequency(&x); return x; }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return 1000.0 * (double)c.QuadPart / (double)f.QuadPart;
}

HWND windowof(const char *cls, DWORD pid, bool visible)
{
    for (HWND w = FindWindowExA(nullptr, nullptr, cls, nullptr); w; w = FindWindowExA(nullptr, w, cls, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && (!visible || IsWindowVisible(w)))
            return w;
    }
    return nullptr;
}

// Wine shows tray icons, with no desktop tray, as children of its own standalone tray window.
int trayicons()
{
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    int n = 0;
    for (HWND c = tray ? GetWindow(tray, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64] = "";
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpA(cls, "__winex11_tray_icon") == 0 && IsWindowVisible(c))
            n++;
    }
    return n;
}

// The Linux process that runs exe in this prefix: Wine's own view of pids has no link to it.
int unixpid(const std::string &exe)
{
    std::string base = exe.substr(exe.find_last_of("\\/") + 1);
    char prefix[1024] = "";
    GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    std::string mark = std::string("WINEPREFIX=") + prefix;
    mark.push_back('\0');
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA("Z:\\proc\\*", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int found = 0;
    do {
        if (fd.cFileName[0] < '1' || fd.cFileName[0] > '9')
            continue;
        std::string dir = std::string("Z:\\proc\\") + fd.cFileName;
        std::string cmd = winui::readfile(dir + "\\cmdline");
        std::string first = cmd.substr(0, cmd.find('\0'));
        if (first.size() < base.size() || _stricmp(first.c_str() + first.size() - base.size(), base.c_str()) != 0)
            continue;
        if (winui::readfile(dir + "\\environ").find(mark) == std::string::npos)
            continue;
        found = atoi(fd.cFileName);
    } while (!found && FindNextFileA(h, &fd));
    FindClose(h);
    return found;
}

// User plus system time from /proc/PID/stat, in clock ticks of 10 ms; -1 when unreadable.
long long cputicks(int pid)
{
    std::string s = winui::readfile("Z:\\proc\\" + std::to_string(pid) + "\\stat");
    size_t close = s.rfind(')');
    if (close == std::string::npos)
        return -1;
    // Fields after the name: state is field 3, utime field 14, stime field 15.
    const char *p = s.c_str() + close + 1;
    long long v[13] = {};
    for (int field = 3; field <= 15; field++) {
        while (*p == ' ')
            p++;
        if (field >= 14)
            v[field - 3] = atoll(p);
        while (*p && *p != ' ')
            p++;
    }
    return v[11] + v[12];
}

void memory(HANDLE process, double &priv, double &ws)
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(process, &pmc, sizeof pmc)) {
        priv = pmc.PagefileUsage / 1048576.0;
        ws = pmc.WorkingSetSize / 1048576.0;
    }
}

bool listmodules;

void modules(const program &p, HANDLE process)
{
    HMODULE mods[512];
    DWORD bytes = 0;
    if (!EnumProcessModulesEx(process, mods, sizeof mods, &bytes, LIST_MODULES_ALL))
        return;
    std::vector<std::string> names;
    for (DWORD i = 0; i < bytes / sizeof *mods && i < 512; i++) {
        char name[MAX_PATH] = "";
        GetModuleBaseNameA(process, mods[i], name, sizeof name);
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    fprintf(stderr, "%s holds %u modules:", p.name, (unsigned)names.size());
    for (auto &n : names)
        fprintf(stderr, " %s", n.c_str());
    fprintf(stderr, "\n");
}

sample runone(const program &p)
{
    sample s;
    std::string line = "\"" + p.exe + "\"" + (p.args.empty() ? "" : " " + p.args);
    PROCESS_INFORMATION pi = {};
    double t0 = now();
    pi.hProcess = winui::startprocess(line, p.exe.c_str(), &pi.dwProcessId);
    if (!pi.hProcess) {
        fprintf(stderr, "cannot start %s\n", p.exe.c_str());
        return s;
    }
    HWND main = nullptr;
    if (winui::waitfor([&] { return (main = windowof(p.cls, pi.dwProcessId, false)) && trayicons() == 1; }, 30000, 5)) {
        s.readyms = now() - t0;
        Sleep(3000);
        memory(pi.hProcess, s.priv3, s.ws3);
        if (listmodules)
            modules(p, pi.hProcess);

        PostMessageA(main, traynotify, 0, WM_LBUTTONDBLCLK);
        HWND box = nullptr;
        if (winui::waitfor([&] { return (box = windowof("#32770", pi.dwProcessId, true)) != nullptr; }, 15000, 20)) {
            Sleep(500);
            winui::dismiss(box);
            Sleep(1000);
            memory(pi.hProcess, s.privbox, s.wsbox);
        }

        int upid = unixpid(p.exe);
        long long a = upid ? cputicks(upid) : -1;
        Sleep(30000);
        long long b = upid ? cputicks(upid) : -1;
        if (a >= 0 && b >= a)
            s.cpums = (double)(b - a) * 10.0 / 3.0;

        PostMessageA(main, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hProcess);
    winui::waitfor([] { return trayicons() == 0; }, 5000, 50);
    return s;
}

double median(std::vector<double> v)
{
    v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void report(const char *figure, const char *fmt, const std::vector<sample> &bare, const std::vector<sample> &vx,
            double sample::*field)
{
    std::vector<double> a, b;
    for (auto &s : bare)
        a.push_back(s.*field);
    for (auto &s : vx)
        b.push_back(s.*field);
    auto list = [&](const std::vector<double> &v) {
        std::string out;
        char one[32];
        for (double x : v) {
            snprintf(one, sizeof one, fmt, x);
            out += (out.empty() ? "" : " ") + std::string(x < 0 ? "-" : one);
        }
        return out;
    };
    double ma = median(a), mb = median(b);
    char ra[32], rb[32], ratio[32] = "-";
    snprintf(ra, sizeof ra, fmt, ma);
    snprintf(rb, sizeof rb, fmt, mb);
    if (ma > 0 && mb >= 0)
        snprintf(ratio, sizeof ratio, "%.2fx", mb / ma);
    printf("%-34s bare %s [%s]  vexolind %s [%s]  ratio %s\n", figure, ma < 0 ? "-" : ra, list(a).c_str(),
           mb < 0 ? "-" : rb, list(b).c_str(), ratio);
    fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5) {
        fprintf(stderr, "usage: vxbench RUNS BARE.EXE VEXOLIND.EXE SETTINGS.INI\n");
        return 2;
    }
    int runs = atoi(argv[1]);
    listmodules = argc > 5 && strcmp(argv[5], "modules") == 0;
    program bare{"bare", "vxbare", argv[2], ""};
    program vx{"vexolind", "vexolind", argv[3], std::string("\"") + argv[4] + "\""};
    std::vector<sample> a, b;
    for (int i = 0; i < runs; i++) {
        // Taking turns, and each going first every other time, keeps a busy moment of the
        // machine or the clean-up after the one before from landing on one program only.
        for (int k = 0; k < 2; k++) {
            Sleep(1000);
            if ((i + k) % 2 == 0)
                a.push_back(runone(bare));
            else
                b.push_back(runone(vx));
        }
        fprintf(stderr, "run %d of %d done\n", i + 1, runs);
    }
    report("start to ready (ms)", "%.0f", a, b, &sample::readyms);
    report("private bytes 3 s after ready (MB)", "%.2f", a, b, &sample::priv3);
    report("working set 3 s after ready (MB)", "%.2f", a, b, &sample::ws3);
    report("private bytes after a box (MB)", "%.2f", a, b, &sample::privbox);
    report("working set after a box (MB)", "%.2f", a, b, &sample::wsbox);
    report("idle CPU (ms per 10 s)", "%.1f", a, b, &sample::cpums);
    return 0;
}
