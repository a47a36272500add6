// Finding and answering the windows a program under test shows, as a user would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace winui {

// Calls probe every step milliseconds until it returns true or ms milliseconds have passed.
bool waitfor(const std::function<bool()> &probe, DWORD ms, DWORD step = 50);

// A visible top-level window of the class whose caption is caption (any caption when null),
// optionally only one of process pid.
HWND findwindow(const char *cls, const char *caption, DWORD pid = 0);
std::vector<HWND> findwindows(const char *cls, const char *caption, DWORD pid = 0);

// Message boxes are dialogs of class #32770; their text sits in the static control 0xFFFF.
HWND waitbox(const char *caption, DWORD ms, DWORD pid = 0);
std::string boxtext(HWND box);
// The text with the carriage returns a box puts before its line feeds taken out.
std::string plain(std::string text);
std::string caption(HWND w);
void answer(HWND box, int id);

// Answers every message box with the caption on its own thread and records their texts.
class boxwatcher {
public:
    // ready decides when a box found may be dismissed; until then the box is left open.
    explicit boxwatcher(const char *caption, std::function<bool()> ready = nullptr);
    ~boxwatcher();
    std::vector<std::string> texts();
    boxwatcher(const boxwatcher &) = delete;
    boxwatcher &operator=(const boxwatcher &) = delete;

private:
    static DWORD WINAPI run(void *self);
    std::string cap;
    std::function<bool()> ready;
    CRITICAL_SECTION lock;
    std::vector<std::string> seen;
    HANDLE thread;
    volatile LONG stopping = 0;
};

} // namespace winui
