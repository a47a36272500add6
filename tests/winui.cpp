#include "winui.h"

#include <algorithm>

namespace winui {

std::string env(const char *name)
{
    char buf[MAX_PATH * 2] = "";
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return n && n < sizeof buf ? buf : "";
}

// Wine maps the Unix root to drive Z:.
std::string unixtowin(const std::string &path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string w = "Z:" + path;
    for (char &c : w)
        if (c == '/')
            c = '\\';
    return w;
}

bool exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool readfile(const std::string &path, std::string &bytes)
{
    bytes.clear();
    vx::filehandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f)
        return false;
    char buf[65536];
    DWORD got;
    while (ReadFile(f.get(), buf, sizeof buf, &got, nullptr) && got)
        bytes.append(buf, got);
    return true;
}

std::string readfile(const std::string &path)
{
    std::string bytes;
    readfile(path, bytes);
    return bytes;
}

bool writefile(const std::string &path, const std::string &bytes)
{
    vx::filehandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD put = 0;
    return f && WriteFile(f.get(), bytes.data(), (DWORD)bytes.size(), &put, nullptr) && put == bytes.size();
}

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(line);
        at = end + 1;
    }
    return out;
}

std::string regstring(HKEY root, const char *key, const char *name, bool *present)
{
    char buf[2048] = "";
    DWORD size = sizeof buf;
    bool found = RegGetValueA(root, key, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buf,
                              &size) == ERROR_SUCCESS;
    if (present)
        *present = found;
    return found ? buf : "";
}

bool setreg(HKEY root, const char *key, const char *name, const std::string &value)
{
    return RegSetKeyValueA(root, key, name, REG_SZ, value.c_str(), (DWORD)value.size() + 1) == ERROR_SUCCESS;
}

bool setreg(HKEY root, const char *key, const char *name, DWORD value)
{
    return RegSetKeyValueA(root, key, name, REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
}

void unsetreg(HKEY root, const char *key, const char *name)
{
    RegDeleteKeyValueA(root, key, name);
}

HANDLE startprocess(const std::string &cmdline, const char *program, DWORD *pid, const char *dir)
{
    std::vector<char> buf(cmdline.begin(), cmdline.end());
    buf.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(program, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, dir, &si, &pi))
        return nullptr;
    vx::kernelhandle thread(pi.hThread);
    if (pid)
        *pid = pi.dwProcessId;
    return pi.hProcess;
}

int run(const std::string &cmdline, DWORD ms, const char *dir)
{
    vx::kernelhandle p(startprocess(cmdline, nullptr, nullptr, dir));
    if (!p)
        return -1;
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(p.get(), ms) == WAIT_OBJECT_0)
        GetExitCodeProcess(p.get(), &code);
    else
        TerminateProcess(p.get(), 99);
    return (int)code;
}

bool waitfor(const std::function<bool()> &probe, DWORD ms, DWORD step)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (probe())
            return true;
        if (GetTickCount() - start >= ms)
            return false;
        Sleep(step);
    }
}

std::string caption(HWND w)
{
    char buf[512] = "";
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}

namespace {
struct search {
    const char *cls;
    const char *caption;
    DWORD pid;
    bool hiddentoo;
    std::vector<HWND> found;
};

BOOL CALLBACK visit(HWND w, LPARAM lp)
{
    auto *s = reinterpret_cast<search *>(lp);
    char cls[256] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, s->cls) != 0 || !(s->hiddentoo || IsWindowVisible(w)))
        return TRUE;
    if (s->caption && caption(w) != s->caption)
        return TRUE;
    if (s->pid) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != s->pid)
            return TRUE;
    }
    s->found.push_back(w);
    return TRUE;
}
} // namespace

std::vector<HWND> findwindows(const char *cls, const char *caption, DWORD pid, bool hiddentoo)
{
    search s{cls, caption, pid, hiddentoo, {}};
    EnumWindows(visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND findwindow(const char *cls, const char *caption, DWORD pid, bool hiddentoo)
{
    auto all = findwindows(cls, caption, pid, hiddentoo);
    return all.empty() ? nullptr : all.front();
}

HWND waitbox(const char *caption, DWORD ms, DWORD pid)
{
    HWND box = nullptr;
    waitfor([&] { return (box = findwindow("#32770", caption, pid)) != nullptr; }, ms);
    return box;
}

std::string boxtext(HWND box)
{
    char buf[1024] = "";
    GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
    return buf;
}

std::string plain(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

void answer(HWND box, int id)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

void press(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> in;
    for (DWORD up : {0ul, (DWORD)KEYEVENTF_KEYUP})
        for (WORD key : keys) {
            INPUT i = {INPUT_KEYBOARD, {}};
            i.ki.wVk = key;
            i.ki.dwFlags = up;
            in.push_back(i);
        }
    SendInput((UINT)in.size(), in.data(), sizeof(INPUT));
}

void click(int x, int y)
{
    SetCursorPos(x, y);
    waitfor([&] { POINT at; return GetCursorPos(&at) && at.x == x && at.y == y; }, 2000);
    INPUT in[2] = {{INPUT_MOUSE, {}}, {INPUT_MOUSE, {}}};
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

bool dismiss(HWND box, int id)
{
    answer(box, id);
    return waitfor([&] { return !IsWindow(box); }, 10000);
}

boxwatcher::boxwatcher(const char *caption, std::function<bool()> ready_)
    : cap(caption), ready(std::move(ready_))
{
    thread.reset(CreateThread(nullptr, 0, run, this, 0, nullptr));
}

boxwatcher::~boxwatcher()
{
    InterlockedExchange(&stopping, 1);
    WaitForSingleObject(thread.get(), INFINITE);
}

std::vector<std::string> boxwatcher::texts()
{
    std::lock_guard<std::mutex> hold(lock);
    return seen;
}

DWORD WINAPI boxwatcher::run(void *p)
{
    auto *self = static_cast<boxwatcher *>(p);
    while (!self->stopping) {
        HWND box = findwindow("#32770", self->cap.c_str());
        if (box && (!self->ready || self->ready())) {
            {
                std::lock_guard<std::mutex> hold(self->lock);
                self->seen.push_back(boxtext(box));
            }
            dismiss(box);
        }
        Sleep(20);
    }
    return 0;
}

} // namespace winui
