// Drives the real vexolind.exe from outside, as a user and the shell would.
#pragma once

#include "../winui.h"
#include "vexolind.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

// Files and the registry

using winui::env;
using winui::unixtowin;

std::string exepath();          // the vexolind.exe under test
std::string settingspath();     // %APPDATA%\vexolind\vexolind.INI
std::string legacypath();       // vexolind.INI in the Windows directory
using winui::dismiss;
using winui::exists;
using winui::lines;
using winui::readfile;
using winui::writefile;
FILETIME modified(const std::string &path);
inline bool same(FILETIME a, FILETIME b) { return CompareFileTime(&a, &b) == 0; }
// Sets the file's time of last write to a day long past, so that any rewrite shows; that time.
FILETIME backdate(const std::string &path);
// The value "vexolind" under root's Run key; empty when absent (absent() tells which).
std::string runvalue(HKEY root);
bool runabsent(HKEY root);
void setrun(HKEY root, const std::string &value);
std::string tempdir(const std::string &name);   // a fresh folder for one scenario
std::string defaultfolder();                    // the folder of settingspath()
// A settings file of the given lines under "[settings]"; by default the per-user one.
void writesettings(const std::string &body);
void writesettings(const std::string &path, const std::string &body);

// Brings the prefix back to a first start: no settings file, no Run value, no leftovers.
void resetstate();

// A top-level window of the class belonging to process pid (any process when 0), shown or not.
HWND windowof(const char *cls, DWORD pid);

// The screen's pixels in a rectangle: B, G, R, unused; rows top to bottom.
std::vector<unsigned char> capture(int x, int y, int w, int h);

// The tray, as Wine shows it without a desktop tray

std::vector<HWND> trayicons();
// Takes the icon of a program's window out of the tray, as a restarting Explorer's new tray lacks it.
void removeicon(HWND owner);
// The average colour of an icon's opaque pixels, read off the screen.
COLORREF iconcolour(HWND icon);
bool looksred(COLORREF c);
// The text of a tip the tray shows now (a balloon or an icon's tip); empty when none shows.
std::wstring tipshown();
// The tip the tray shows for an icon, read by hovering over it.
std::string traytip(HWND icon);
std::wstring traytipw(HWND icon);   // the same in any language

// A web server on 127.0.0.1 that the prefix's proxy setting points at: the update check
// reaches it with the absolute URL of vexolind's real host and nothing leaves the machine.
struct request {
    std::string line;     // "GET http://host/path HTTP/1.1"
    std::string agent;
};
struct response {
    int status = 200;
    std::string body = "VXVER:2006081901:\n";
};
// For replies no well-behaved server sends: called with the connection once the request is
// read, to write what it likes when it likes; the server closes the connection afterwards.
using rawreply = std::function<void(uintptr_t socket, const request &)>;
bool rawsend(uintptr_t socket, const std::string &bytes);   // false once the client has gone
void rawwaitclosed(uintptr_t socket, DWORD ms);           // until the client closes, at most ms

class webserver {
public:
    explicit webserver(std::function<response(const request &)> reply = nullptr);
    explicit webserver(rawreply raw);
    ~webserver();
    int port() const { return portno; }
    std::vector<request> requests();
    webserver(const webserver &) = delete;
    webserver &operator=(const webserver &) = delete;

private:
    static DWORD WINAPI run(void *self);
    void start();
    std::function<response(const request &)> reply;
    rawreply raw;
    std::mutex lock;
    std::vector<request> seen;
    uintptr_t listener;
    int portno = 0;
    vx::kernelhandle thread;
};
void setproxy(int port);         // 0 switches the proxy off
int unusedport();                // a loopback port nothing listens on

// URLs the program opens through the shell, caught by a recorder set as the prefix's browser.
void recordbrowser();
std::vector<std::string> browsed();

// One running vexolind.exe
class app {
public:
    // Starts exe (default: the one under test) with the exact command line given;
    // by default the program path, quoted.
    static std::unique_ptr<app> start(const std::string &args = "", const std::string &exe = "",
                                      const std::string &cmdline = "");
    ~app();   // ends the process if still running and clears its tray icon

    DWORD pid() const { return procid; }
    HWND window(DWORD ms = 15000);          // its hidden main window
    bool running();
    // Waits for the process to end; returns false if it did not within ms.
    bool waitexit(DWORD ms, DWORD *code = nullptr);
    // Its exit code once it has ended within ms; STILL_ACTIVE when it has not.
    DWORD exitcode(DWORD ms);

    // Waits until start-up is over: the main window and the tray icon are there, the program
    // waits for input in its message loop (so its shortcuts are held) and the start-up splash
    // has come and gone. False, with a test failure naming what never came, when it is not.
    bool settle();

    void doubleclick();
    // Opens the tray menu once start-up is over, with the right-click sent again when it brought
    // none; null, with a test failure, when three brought none.
    HWND menu();
    // Chooses a tray menu item by its mnemonic: the menu shown, the key taken, the menu gone, and
    // when done is given, done() holding; a lost step is tried again. False, with a test failure,
    // when it could not be done.
    // Several keys walk into submenus ('\n' moves down an item, '\r' chooses it); a path that
    // left a menu open is closed and tried again whole.
    bool pick(const std::string &keys, const std::function<bool()> &done = nullptr);
    bool pick(char mnemonic, const std::function<bool()> &done = nullptr) { return pick(std::string(1, mnemonic), done); }
    bool exitbymenu();
    // Picks a tray menu item by its mnemonic and waits for the dialog it opens; null when none came.
    HWND dialog(char mnemonic, const char *caption);

    HWND box(const char *caption, DWORD ms = 10000);  // a message box of this process
    std::vector<HWND> boxes(const char *caption);
    // Waits up to ms for the next message, answers it, and returns how long after since it came;
    // MAXDWORD when none came.
    DWORD nextmessage(DWORD since, DWORD ms);

private:
    app() = default;
    vx::kernelhandle process;
    DWORD procid = 0;
    HWND main = nullptr;
    bool settled = false;
};

// Whether text is one of the messages of a table of the program's ("kisses" or "kickers").
bool ismessage(const char *const *table, const std::string &text);

// Watches for ten seconds that no timer message comes while held() stays true; a message that
// came before is answered first.
void expectheld(app &a, const std::function<bool()> &held);

// Started and settled (see app::settle); null, with a test failure saying why, when it is not.
std::unique_ptr<app> ready(const std::string &args = "");

// The common ground of the scenarios: a prefix as before a first start, and a stand-in for
// vexolind's web site that knows no newer build, so a default start goes straight to the tray.
class scenario : public ::testing::Test {
protected:
    std::unique_ptr<webserver> web;
    void SetUp() override;
    void TearDown() override;
};

} // namespace e2e
