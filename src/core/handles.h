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
using hookhandle = owned<HHOOK, UnhookWindowsHookEx>;
template <typename T> using wtsmemory = owned<T *, WTSFreeMemory>;

// Owners that are not a pointer and its release alone: copied never, released once.
struct noncopyable {
    noncopyable() = default;
    noncopyable(const noncopyable &) = delete;
    noncopyable &operator=(const noncopyable &) = delete;
};

// A file or snapshot: CreateFile and CreateToolhelp32Snapshot say failure with
// INVALID_HANDLE_VALUE, so that is the empty value here.
struct filehandle : noncopyable {
    explicit filehandle(HANDLE handle = INVALID_HANDLE_VALUE) : h(handle) {}
    ~filehandle() { if (*this) CloseHandle(h); }
    HANDLE get() const { return h; }
    explicit operator bool() const { return h != INVALID_HANDLE_VALUE && h; }
    HANDLE h;
};

// A window's DC, given back to that window.
struct windowdc : noncopyable {
    explicit windowdc(HWND w) : wnd(w), dc(GetDC(w)) {}
    ~windowdc() { if (dc) ReleaseDC(wnd, dc); }
    HDC get() const { return dc; }
    HWND wnd;
    HDC dc;
};

// An object selected into a DC until the scope ends, when the DC's own comes back.
struct selection : noncopyable {
    selection(HDC d, HGDIOBJ o) : dc(d), old(SelectObject(d, o)) {}
    ~selection() { if (old) SelectObject(dc, old); }
    HDC dc;
    HGDIOBJ old;
};

// A window's registration with the system, undone once: the caller registers and hands over
// what came of it.
template <auto undo> struct registration : noncopyable {
    ~registration() { reset(); }
    bool hold(HWND w, int regid, BOOL registered)
    {
        reset();
        wnd = registered ? w : nullptr;
        id = regid;
        return registered;
    }
    bool held() const { return wnd != nullptr; }
    void reset()
    {
        if (wnd)
            undo(wnd, id);
        wnd = nullptr;
    }
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
struct onlyone : noncopyable {
    explicit onlyone(bool &f) : flag(f), first(!f) { flag = true; }
    ~onlyone() { if (first) flag = false; }
    explicit operator bool() const { return first; }
    bool &flag;
    bool first;
};

} // namespace vx
