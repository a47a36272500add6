#include "winui.h"

#include <algorithm>

namespace winui {

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
    std::vector<HWND> found;
};

BOOL CALLBACK visit(HWND w, LPARAM lp)
{
    auto *s = reinterpret_cast<search *>(lp);
    char cls[256] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, s->cls) != 0 || !IsWindowVisible(w))
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

std::vector<HWND> findwindows(const char *cls, const char *caption, DWORD pid)
{
    search s{cls, caption, pid, {}};
    EnumWindows(visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND findwindow(const char *cls, const char *caption, DWORD pid)
{
    auto all = findwindows(cls, caption, pid);
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

boxwatcher::boxwatcher(const char *caption, std::function<bool()> ready_)
    : cap(caption), ready(std::move(ready_))
{
    InitializeCriticalSection(&lock);
    thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
}

boxwatcher::~boxwatcher()
{
    InterlockedExchange(&stopping, 1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    DeleteCriticalSection(&lock);
}

std::vector<std::string> boxwatcher::texts()
{
    EnterCriticalSection(&lock);
    auto copy = seen;
    LeaveCriticalSection(&lock);
    return copy;
}

DWORD WINAPI boxwatcher::run(void *p)
{
    auto *self = static_cast<boxwatcher *>(p);
    while (!self->stopping) {
        HWND box = findwindow("#32770", self->cap.c_str());
        if (box && (!self->ready || self->ready())) {
            EnterCriticalSection(&self->lock);
            self->seen.push_back(boxtext(box));
            LeaveCriticalSection(&self->lock);
            answer(box, IDOK);
            waitfor([&] { return !IsWindow(box); }, 5000);
        }
        Sleep(20);
    }
    return 0;
}

} // namespace winui
