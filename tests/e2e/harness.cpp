#include "harness.h"
#include "handles.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <shlobj.h>
#include <shellapi.h>

#include <stdlib.h>
#include <string.h>

namespace e2e {

namespace {

// The tray icon's callback message, as the shell sends it.
const UINT traynotify = 99;

const char runkey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Closes the program's main window, and ends the program outright when that did not end it.
void end(HANDLE process, HWND w)
{
    if (w)
        PostMessageA(w, WM_CLOSE, 0, 0);
    if (!w || WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
        if (w)
            removeicon(w);
    }
}

} // namespace

void removeicon(HWND owner)
{
    NOTIFYICONDATAA pn = {};
    pn.cbSize = NOTIFYICONDATAA_V1_SIZE;
    pn.hWnd = owner;
    Shell_NotifyIconA(NIM_DELETE, &pn);
}

HWND windowof(const char *cls, DWORD pid)
{
    return winui::findwindow(cls, nullptr, pid, true);
}

std::string exepath()
{
    return unixtowin(env("VEXOLIND_EXE"));
}

std::string settingspath()
{
    char dir[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, dir);
    return std::string(dir) + "\\vexolind\\vexolind.INI";
}

std::string legacypath()
{
    char dir[MAX_PATH] = "";
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\vexolind.INI";
}

FILETIME modified(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

FILETIME backdate(const std::string &path)
{
    const SYSTEMTIME longago = {2001, 1, 1, 1, 0, 0, 0, 0};
    FILETIME then = {};
    SystemTimeToFileTime(&longago, &then);
    vx::filehandle f(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
    SetFileTime(f.get(), nullptr, nullptr, &then);
    return modified(path);
}

std::string runvalue(HKEY root)
{
    return winui::regstring(root, runkey, "vexolind");
}

void setrun(HKEY root, const std::string &value)
{
    winui::setreg(root, runkey, "vexolind", value);
}

bool runabsent(HKEY root)
{
    bool present = false;
    winui::regstring(root, runkey, "vexolind", &present);
    return !present;
}

std::string tempdir(const std::string &name)
{
    char base[MAX_PATH] = "";
    GetTempPathA(sizeof base, base);
    std::string dir = std::string(base) + "vexolind-e2e\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    dir += name;
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string defaultfolder()
{
    std::string dir = settingspath();
    dir.resize(dir.rfind('\\'));
    return dir;
}

void writesettings(const std::string &path, const std::string &body)
{
    writefile(path, "[settings]\r\n" + body);
}

void writesettings(const std::string &body)
{
    CreateDirectoryA(defaultfolder().c_str(), nullptr);
    writesettings(settingspath(), body);
}

void resetstate()
{
    // Programs a failed scenario left behind end first, so their icons go with them.
    for (HWND w; (w = windowof("vexolind", 0)) != nullptr;) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        vx::kernelhandle p(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        end(p.get(), w);
    }
    DeleteFileA(settingspath().c_str());
    DeleteFileA((defaultfolder() + "\\kisses.txt").c_str());
    DeleteFileA((defaultfolder() + "\\kickers.txt").c_str());
    RemoveDirectoryA(defaultfolder().c_str());
    SetFileAttributesA(legacypath().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(legacypath().c_str());
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        winui::unsetreg(root, runkey, "vexolind");
    // Never the real network: with no scenario server the update check meets a closed port.
    setproxy(unusedport());
}

std::vector<HWND> trayicons()
{
    std::vector<HWND> icons;
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    if (!tray)
        return icons;
    for (HWND c = GetWindow(tray, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64] = "";
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpA(cls, "__winex11_tray_icon") == 0 && IsWindowVisible(c))
            icons.push_back(c);
    }
    return icons;
}

std::vector<unsigned char> capture(int x, int y, int w, int h)
{
    std::vector<unsigned char> px;
    if (w <= 0 || h <= 0)
        return px;
    vx::windowdc screen(nullptr);
    vx::dchandle mem(CreateCompatibleDC(screen.get()));
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    vx::gdiobject bmp(CreateDIBSection(mem.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    vx::selection chosen(mem.get(), bmp.get());
    BitBlt(mem.get(), 0, 0, w, h, screen.get(), x, y, SRCCOPY);
    GdiFlush();
    px.assign(static_cast<unsigned char *>(bits), static_cast<unsigned char *>(bits) + (size_t)w * h * 4);
    return px;
}

COLORREF iconcolour(HWND icon)
{
    RECT r;
    GetWindowRect(icon, &r);
    auto px = capture(r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (px.empty())
        return 0;
    // The corner shows the tray's background; the icon is whatever differs from it.
    int bb = px[0], bg = px[1], br = px[2];
    long sr = 0, sg = 0, sb = 0, n = 0;
    for (size_t i = 0; i + 3 < px.size(); i += 4) {
        int b = px[i], g = px[i + 1], rr = px[i + 2];
        if (abs(b - bb) + abs(g - bg) + abs(rr - br) > 90) {
            sb += b;
            sg += g;
            sr += rr;
            n++;
        }
    }
    return n ? RGB(sr / n, sg / n, sb / n) : 0;
}

bool looksred(COLORREF c)
{
    return GetRValue(c) > 120 && GetRValue(c) > 2 * GetGValue(c) && GetRValue(c) > 2 * GetBValue(c);
}

std::wstring tipshown()
{
    for (HWND tip : winui::findwindows("tooltips_class32", nullptr)) {
        wchar_t buf[300] = L"";
        SendMessageTimeoutW(tip, WM_GETTEXT, 300, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, nullptr);
        if (buf[0])
            return buf;
    }
    return L"";
}

std::string traytip(HWND icon)
{
    std::wstring text = traytipw(icon);
    return std::string(text.begin(), text.end());   // the tips are ASCII
}

std::wstring traytipw(HWND icon)
{
    RECT r;
    GetWindowRect(icon, &r);
    // Away first until no tip shows, as one still up would be read stale; then onto the icon,
    // where the tip shows after the pointer rests. A busy machine can be slower than the tip's
    // own delay: the pointer then goes away and back again.
    std::wstring text;
    for (int hover = 0; hover < 4 && text.empty(); hover++) {
        SetCursorPos(r.right + 200, r.bottom + 200);
        winui::waitfor([] { return tipshown().empty(); }, 5000);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        winui::waitfor([&] { return !(text = tipshown()).empty(); }, 5000);
    }
    SetCursorPos(r.right + 200, r.bottom + 200);
    return text;
}

namespace {
// A TCP socket bound to a free port of 127.0.0.1.
SOCKET loopbacksocket(int *port)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    int len = sizeof addr;
    getsockname(s, reinterpret_cast<sockaddr *>(&addr), &len);
    *port = ntohs(addr.sin_port);
    return s;
}
} // namespace

bool rawsend(uintptr_t socket, const std::string &bytes)
{
    return send(static_cast<SOCKET>(socket), bytes.data(), (int)bytes.size(), 0) == (int)bytes.size();
}

void rawwaitclosed(uintptr_t socket, DWORD ms)
{
    DWORD start = GetTickCount();
    char buf[512];
    for (DWORD spent; (spent = GetTickCount() - start) < ms;) {
        fd_set r;
        FD_ZERO(&r);
        FD_SET(static_cast<SOCKET>(socket), &r);
        timeval tv = {0, 200000};
        if (select(0, &r, nullptr, nullptr, &tv) > 0 && recv(static_cast<SOCKET>(socket), buf, sizeof buf, 0) <= 0)
            return;
    }
}

webserver::webserver(rawreply raw_) : raw(std::move(raw_))
{
    start();
}

webserver::webserver(std::function<response(const request &)> reply_) : reply(std::move(reply_))
{
    start();
}

void webserver::start()
{
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    SOCKET s = loopbacksocket(&portno);
    listen(s, 8);
    listener = s;
    thread.reset(CreateThread(nullptr, 0, run, this, 0, nullptr));
}

webserver::~webserver()
{
    closesocket(static_cast<SOCKET>(listener));
    WaitForSingleObject(thread.get(), 10000);
    WSACleanup();
}

std::vector<request> webserver::requests()
{
    std::lock_guard<std::mutex> hold(lock);
    return seen;
}

DWORD WINAPI webserver::run(void *p)
{
    auto *self = static_cast<webserver *>(p);
    for (;;) {
        SOCKET c = accept(static_cast<SOCKET>(self->listener), nullptr, nullptr);
        if (c == INVALID_SOCKET)
            return 0;   // the listener was closed: the server is done
        std::string head;
        char buf[2048];
        int got;
        while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 &&
               (got = recv(c, buf, sizeof buf, 0)) > 0)
            head.append(buf, got);
        request rq;
        rq.line = head.substr(0, head.find("\r\n"));
        size_t ua = head.find("\r\nUser-Agent: ");
        if (ua != std::string::npos) {
            ua += 14;
            rq.agent = head.substr(ua, head.find("\r\n", ua) - ua);
        }
        {
            std::lock_guard<std::mutex> hold(self->lock);
            self->seen.push_back(rq);
        }
        if (self->raw) {
            self->raw(c, rq);
            closesocket(c);
            continue;
        }
        response rs = self->reply ? self->reply(rq) : response{};
        std::string out = "HTTP/1.1 " + std::to_string(rs.status) + (rs.status == 200 ? " OK" : " Not Found") +
                          "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(rs.body.size()) +
                          "\r\nConnection: close\r\n\r\n" + rs.body;
        send(c, out.data(), (int)out.size(), 0);
        shutdown(c, SD_SEND);
        closesocket(c);
    }
}

void setproxy(int port)
{
    const char key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    winui::setreg(HKEY_CURRENT_USER, key, "ProxyEnable", (DWORD)(port ? 1 : 0));
    winui::setreg(HKEY_CURRENT_USER, key, "ProxyServer", "127.0.0.1:" + std::to_string(port));
}

int unusedport()
{
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    int port = 0;
    closesocket(loopbacksocket(&port));
    WSACleanup();
    return port;
}

namespace {
std::string browsedfile()
{
    return unixtowin(env("VEXOLIND_WINE_DIR") + "/browsed.txt");
}
} // namespace

void recordbrowser()
{
    std::string recorder = env("VEXOLIND_WINE_DIR") + "/browser-recorder.sh";
    winui::setreg(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", "Browsers", recorder);
    DeleteFileA(browsedfile().c_str());
}

std::vector<std::string> browsed()
{
    auto all = lines(readfile(browsedfile()));
    std::vector<std::string> urls;
    for (auto &l : all)
        if (!l.empty())
            urls.push_back(l);
    return urls;
}

std::unique_ptr<app> app::start(const std::string &args, const std::string &exe, const std::string &cmdline)
{
    std::unique_ptr<app> a(new app);
    std::string program = exe.empty() ? exepath() : exe;
    std::string line = cmdline.empty() ? "\"" + program + "\"" + (args.empty() ? "" : " " + args) : cmdline;
    a->process.reset(winui::startprocess(line, program.c_str(), &a->procid));
    return a->process ? std::move(a) : nullptr;
}

app::~app()
{
    if (running())
        end(process.get(), main ? main : windowof("vexolind", procid));
}

HWND app::window(DWORD ms)
{
    if (!main)
        winui::waitfor([&] { return (main = windowof("vexolind", procid)) != nullptr; }, ms);
    return main;
}

bool app::running()
{
    return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

bool app::waitexit(DWORD ms, DWORD *code)
{
    if (WaitForSingleObject(process.get(), ms) != WAIT_OBJECT_0)
        return false;
    if (code)
        GetExitCodeProcess(process.get(), code);
    return true;
}

DWORD app::exitcode(DWORD ms)
{
    DWORD code = STILL_ACTIVE;
    waitexit(ms, &code);
    return code;
}

bool app::settle()
{
    const struct {
        const char *what;
        std::function<bool()> there;
    } steps[] = {
        {"its main window", [&] { return window(0) != nullptr; }},
        {"its tray icon", [] { return trayicons().size() == 1; }},
        {"it waiting for input in its message loop (WaitForInputIdle)",
         [&] { return running() && WaitForInputIdle(process.get(), 0) == 0; }},
        // Topmost once it has been shown; until it hides two seconds later it takes the activation,
        // and with it any open menu.
        {"the start-up splash shown and hidden again", [&] {
             HWND s = windowof("Splash", procid);
             return s && !IsWindowVisible(s) && (GetWindowLongPtrA(s, GWL_EXSTYLE) & WS_EX_TOPMOST);
         }},
    };
    for (const auto &step : steps)
        if (!settled && !winui::waitfor(step.there, 20000)) {
            ADD_FAILURE() << "vexolind " << (running() ? "runs" : "has ended") << "; waited 20 s in vain for "
                          << step.what;
            return false;
        }
    return settled = true;
}

void app::doubleclick()
{
    PostMessageA(window(), traynotify, 0, WM_LBUTTONDBLCLK);
}

HWND app::menu()
{
    if (!settle())
        return nullptr;
    HWND m = nullptr;
    auto shown = [&] { return (m = winui::findwindow("#32768", nullptr, procid)) != nullptr; };
    for (int click = 0; click < 3; click++) {
        PostMessageA(main, traynotify, 0, WM_RBUTTONUP);
        // Once the program answers a sent message it has also taken the posted click: a menu
        // not shown by then was lost.
        if (winui::waitfor(shown, 5000) ||
            (SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr) && winui::waitfor(shown, 1000)))
            return m;
    }
    ADD_FAILURE() << "three right-clicks on the tray icon brought no menu";
    return nullptr;
}

bool app::pick(const std::string &keys, const std::function<bool()> &done)
{
    auto post = [](HWND m, char k) {
        WORD vk = k == '\n' ? VK_DOWN : k == '\r' ? VK_RETURN : k == '\x1b' ? VK_ESCAPE : (WORD)(VkKeyScanA(k) & 0xff);
        PostMessageA(m, WM_KEYDOWN, vk, 0);
        if (vk != VK_DOWN && vk != VK_RETURN && vk != VK_ESCAPE)
            PostMessageA(m, WM_CHAR, (WPARAM)k, 0);
    };
    // A submenu is a menu window of its own; the keys all go to the one menu loop, in order.
    auto closed = [&] { return winui::findwindows("#32768", nullptr, procid).empty(); };
    for (int tries = 0; tries < 3; tries++) {
        HWND m = menu();
        if (!m)
            return false;
        for (char k : keys)
            post(m, k);
        for (int again = 0; again < 2 && keys.size() == 1 && !winui::waitfor(closed, 3000); again++)
            post(m, keys[0]);
        if (!winui::waitfor(closed, 3000)) {
            for (char k : std::string(3, '\x1b'))
                post(m, k);
            winui::waitfor(closed, 3000);
            continue;
        }
        // A menu that closed by itself chose nothing: done() tells, where the test gives one.
        if (!done || winui::waitfor(done, 15000))
            return true;
    }
    ADD_FAILURE() << "choosing '" << keys << "' from the tray menu three times did not take effect";
    return false;
}

bool app::exitbymenu()
{
    return pick('x', [&] { return !running(); });
}

HWND app::box(const char *caption, DWORD ms)
{
    return winui::waitbox(caption, ms, procid);
}

std::vector<HWND> app::boxes(const char *caption)
{
    return winui::findwindows("#32770", caption, procid);
}

HWND app::dialog(char mnemonic, const char *caption)
{
    HWND d = nullptr;
    pick(mnemonic, [&] { return (d = winui::findwindow("#32770", caption, procid)) != nullptr; });
    return d;
}

DWORD app::nextmessage(DWORD since, DWORD ms)
{
    HWND b = box("vexolind", ms);
    DWORD at = GetTickCount() - since;
    return b && dismiss(b) ? at : MAXDWORD;
}

bool ismessage(const char *const *table, const std::string &text)
{
    for (int i = 0; i < countkis(table); i++)
        if (text == table[i])
            return true;
    return false;
}

// Watches for ten seconds that no timer message comes while held() stays true.
void expectheld(app &a, const std::function<bool()> &held)
{
    for (HWND box : a.boxes("vexolind"))   // came before the quiet moment began
        dismiss(box);
    for (DWORD until = GetTickCount() + 10000; GetTickCount() < until; Sleep(100)) {
        ASSERT_TRUE(a.boxes("vexolind").empty()) << "a timer message came in a quiet moment";
        ASSERT_TRUE(held()) << "the quiet moment ended early";
    }
}

std::unique_ptr<app> ready(const std::string &args)
{
    auto a = app::start(args);
    if (!a)
        ADD_FAILURE() << "vexolind.exe did not start";
    return a && a->settle() ? std::move(a) : nullptr;
}

void scenario::SetUp()
{
    resetstate();
    web.reset(new webserver);
    setproxy(web->port());
}

void scenario::TearDown()
{
    resetstate();
    web.reset();
}

} // namespace e2e
