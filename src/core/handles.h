// Owners for the handles vexolind opens: each is closed once, on every path out of its scope.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <type_traits>

namespace vx {

template <typename H, auto close> struct closer {
    void operator()(H h) const { close(h); }
};
template <typename H, auto close> using owned = std::unique_ptr<std::remove_pointer_t<H>, closer<H, close>>;

// INVALID_HANDLE_VALUE is what a failed CreateFile returns: never closed.
inline BOOL closekernel(HANDLE h) { return h != INVALID_HANDLE_VALUE ? CloseHandle(h) : TRUE; }

using regkey = owned<HKEY, RegCloseKey>;
using inethandle = owned<HINTERNET, InternetCloseHandle>;
using menuhandle = owned<HMENU, DestroyMenu>;
using kernelhandle = owned<HANDLE, closekernel>;   // events, mutexes, processes, files
using hookhandle = owned<HHOOK, UnhookWindowsHookEx>;

// For the registry's out-parameters: RegOpenKeyEx(..., vx::out(k)) hands the key to k.
struct out {
    explicit out(regkey &k) : owner(k) {}
    ~out() { owner.reset(h); }
    operator HKEY *() { return &h; }
    regkey &owner;
    HKEY h = nullptr;
};

} // namespace vx
