// Owners for the handles vexolind opens: each is closed once, on every path out of its scope.
// The one file below the shell that names Windows' free and release functions.
#pragma once

#include <windows.h>
#include <wininet.h>
#include <wtsapi32.h>

#include <memory>
#include <type_traits>

namespace vx {

template <typename H, auto close> struct closer {
    void operator()(H h) const { close(h); }
};
template <typename H, auto close> using owned = std::unique_ptr<std::remove_pointer_t<H>, closer<H, close>>;

using regkey = owned<HKEY, RegCloseKey>;
using inethandle = owned<HINTERNET, InternetCloseHandle>;
using menuhandle = owned<HMENU, DestroyMenu>;
using kernelhandle = owned<HANDLE, CloseHandle>;   // events, mutexes, processes: empty is null
using dchandle = owned<HDC, DeleteDC>;             // a DC made, not borrowed from a window
using gdiobject = owned<HGDIOBJ, DeleteObject>;
template <typename T> using wtsmemory = owned<T *, WTSFreeMemory>;

// A file or snapshot: CreateFile and CreateToolhelp32Snapshot say failure with
// INVALID_HANDLE_VALUE, so that is the empty value here.
class filehandle {
public:
    explicit filehandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~filehandle() { if (*this) CloseHandle(h_); }
    filehandle(const filehandle &) = delete;
    filehandle &operator=(const filehandle &) = delete;
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }

private:
    HANDLE h_;
};

// A window's DC, given back to that window.
class windowdc {
public:
    explicit windowdc(HWND w) : wnd(w), dc(GetDC(w)) {}
    ~windowdc() { if (dc) ReleaseDC(wnd, dc); }
    windowdc(const windowdc &) = delete;
    windowdc &operator=(const windowdc &) = delete;
    HDC get() const { return dc; }

private:
    HWND wnd;
    HDC dc;
};

// An object selected into a DC until the scope ends, when the DC's own comes back.
class selection {
public:
    selection(HDC d, HGDIOBJ o) : dc(d), old(SelectObject(d, o)) {}
    ~selection() { if (old) SelectObject(dc, old); }
    selection(const selection &) = delete;
    selection &operator=(const selection &) = delete;

private:
    HDC dc;
    HGDIOBJ old;
};

// A window's registration with the system, undone once: the caller registers and hands over
// what came of it.
template <auto undo> class registration {
public:
    registration() = default;
    ~registration() { reset(); }
    registration(const registration &) = delete;
    registration &operator=(const registration &) = delete;
    bool hold(HWND w, int regid, BOOL registered)
    {
        reset();
        if (registered) {
            wnd = w;
            id = regid;
        }
        return registered;
    }
    bool held() const { return wnd != nullptr; }
    void reset()
    {
        if (wnd)
            undo(wnd, id);
        wnd = nullptr;
    }

private:
    HWND wnd = nullptr;
    int id = 0;
};
inline void releasehotkey(HWND w, int id) { UnregisterHotKey(w, id); }
inline void unwatchsession(HWND w, int) { WTSUnRegisterSessionNotification(w); }
using hotkey = registration<releasehotkey>;
using sessionwatch = registration<unwatchsession>;

// For the registry's out-parameters: RegOpenKeyEx(..., vx::out(k)) hands the key to k.
struct out {
    explicit out(regkey &k) : owner(k) {}
    ~out() { owner.reset(h); }
    operator HKEY *() { return &h; }
    regkey &owner;
    HKEY h = nullptr;
};

// One at a time: a call made while an earlier one is still inside (a modal loop dispatches the
// main window's messages) finds the flag set and gives up.
class onlyone {
public:
    explicit onlyone(bool &f) : flag(f), first(!f) { flag = true; }
    ~onlyone() { if (first) flag = false; }
    onlyone(const onlyone &) = delete;
    onlyone &operator=(const onlyone &) = delete;
    explicit operator bool() const { return first; }

private:
    bool &flag;
    bool first;
};

} // namespace vx
