// Finding and answering the windows a program under test shows, as a user would.
#pragma once

#include "handles.h"

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

namespace winui {

// An environment variable, empty when unset; a Unix path as Wine maps it, / to Z:.
std::string env(const char *name);
std::string unixtowin(const std::string &path);

// Files, read and written whole.
bool exists(const std::string &path);
bool readfile(const std::string &path, std::string &bytes);   // false when it cannot be opened
std::string readfile(const std::string &path);
bool writefile(const std::string &path, const std::string &bytes);
// The lines without their ends, whichever end the writer used.
std::vector<std::string> lines(const std::string &text);

// Registry values under root\key: a string (empty, and present false, when absent), set
// (creating the key), and removed.
std::string regstring(HKEY root, const char *key, const char *name, bool *present = nullptr);
bool setreg(HKEY root, const char *key, const char *name, const std::string &value);
bool setreg(HKEY root, const char *key, const char *name, DWORD value);
void unsetreg(HKEY root, const char *key, const char *name);

// Starts a command line with no inherited handles (a child holding the test runner's pipe would
// hang it); program and dir (the current folder) may be null. The process handle, or null; pid
// when asked for.
HANDLE startprocess(const std::string &cmdline, const char *program = nullptr, DWORD *pid = nullptr,
                    const char *dir = nullptr);
// Runs a command line to its end: its exit code, or -1 when it did not start or end within ms.
int run(const std::string &cmdline, DWORD ms = 60000, const char *dir = nullptr);

// Presses the keys together as SendInput does for a person: every key down, then every key up.
void press(std::initializer_list<WORD> keys);
// Clicks the left button at a point of the screen, the pointer put there first.
void click(int x, int y);

// Calls probe every step milliseconds until it returns true or ms milliseconds have passed.
bool waitfor(const std::function<bool()> &probe, DWORD ms, DWORD step = 50);

// A visible top-level window of the class whose caption is caption (any caption when null),
// optionally only one of process pid.
HWND findwindow(const char *cls, const char *caption, DWORD pid = 0, bool hiddentoo = false);
std::vector<HWND> findwindows(const char *cls, const char *caption, DWORD pid = 0, bool hiddentoo = false);

// Message boxes are dialogs of class #32770; their text sits in the static control 0xFFFF.
HWND waitbox(const char *caption, DWORD ms, DWORD pid = 0);
std::string boxtext(HWND box);
// The text with the carriage returns a box puts before its line feeds taken out.
std::string plain(std::string text);
std::string caption(HWND w);
void answer(HWND box, int id);
// Answers the box and waits until it is gone; false when it stayed.
bool dismiss(HWND box, int id = IDOK);

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
    std::mutex lock;
    std::vector<std::string> seen;
    vx::kernelhandle thread;
    volatile LONG stopping = 0;
};

} // namespace winui
