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
template <typename H, auto close>
using owned = std::unique_ptr<std::remove_pointer_t<H>, closer<H, close>>;

inline BOOL closekernel(HANDLE h)
{
    return h != INVALID_HANDLE_VALUE ? CloseHandle(h) : TRUE;
}

using regkey = owned<HKEY, RegCloseKey>;
using inethandle = owned<HINTERNET, InternetCloseHandle>;
using menuhandle = owned<HMENU, DestroyMenu>;
// Events, mutexes, processes, threads and files; INVALID_HANDLE_VALUE is never closed.
using kernelhandle = owned<HANDLE, closekernel>;

// The registry's out-parameter style: regkey k; RegOpenKeyEx(..., out(k)) == ERROR_SUCCESS.
class keyout {
public:
    explicit keyout(regkey &k) : owner(k) {}
    ~keyout() { owner.reset(h); }
    operator HKEY *() { return &h; }

private:
    regkey &owner;
    HKEY h = nullptr;
};
inline keyout out(regkey &k)
{
    return keyout(k);
}

} // namespace vx
