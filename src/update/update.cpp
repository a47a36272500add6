#include "update.h"

#include "handles.h"

#include <wininet.h>

#include <string>

namespace {

const DWORD replymax = 50;

struct deadline {
    DWORD started = GetTickCount();
    DWORD left() const { return budgetleft(started, GetTickCount()); }
};

// WinINet runs the exchange asynchronously so that the check can stop waiting at the deadline
// whatever the server does; a blocking call only gives up after a silence, and a server that
// trickles its headers never falls silent. An operation given up on may still complete later
// into this record, so it lives as long as the process.
struct exchange {
    vx::kernelhandle event{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE done = event.get();
    volatile LONG ok = 0;
    char byte = 0;
    DWORD got = 0;
};
exchange &pending()
{
    static exchange x;
    return x;
}

void CALLBACK oncomplete(HINTERNET, DWORD_PTR context, DWORD status, void *info, DWORD)
{
    auto *x = reinterpret_cast<exchange *>(context);
    if (status != INTERNET_STATUS_REQUEST_COMPLETE || !info || !x)
        return;
    auto *r = static_cast<INTERNET_ASYNC_RESULT *>(info);
    x->ok = r->dwError == ERROR_SUCCESS;
    SetEvent(x->done);
}

// Before an operation starts.
void arm()
{
    ResetEvent(pending().done);
    pending().ok = 0;
}

// Whether the operation just started succeeded, waiting at most until the deadline.
bool settle(BOOL started, const deadline &dl)
{
    if (started)
        return true;
    if (GetLastError() != ERROR_IO_PENDING || !pending().done)
        return false;
    return WaitForSingleObject(pending().done, dl.left()) == WAIT_OBJECT_0 && pending().ok;
}

// Where a request goes.
struct target {
    std::string host = VEXOLIND_HOST;
    INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
    std::string path = UPDATE_PATH;
};

// The target a Location header names: an http URL on any host, or a path on the same one.
bool follow(const char *location, target *t)
{
    if (location[0] == '/' && location[1] != '/') {
        t->path = location;
        return true;
    }
    char host[INTERNET_MAX_HOST_NAME_LENGTH] = "", path[INTERNET_MAX_PATH_LENGTH] = "",
         extra[INTERNET_MAX_PATH_LENGTH] = "";
    URL_COMPONENTSA url = {};
    url.dwStructSize = sizeof url;
    url.lpszHostName = host;
    url.dwHostNameLength = sizeof host;
    url.lpszUrlPath = path;
    url.dwUrlPathLength = sizeof path;
    url.lpszExtraInfo = extra;
    url.dwExtraInfoLength = sizeof extra;
    if (!InternetCrackUrlA(location, 0, 0, &url) || url.nScheme != INTERNET_SCHEME_HTTP || !host[0])
        return false;
    t->host = host;
    t->port = url.nPort;
    t->path = std::string(path[0] ? path : "/") + extra;
    return true;
}

void settimeouts(HINTERNET request, DWORD ms)
{
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionA(request, option, &ms, sizeof ms);
}

// Byte by byte: a read completes only when all the bytes it asks for have come.
fetchend readreply(HINTERNET request, char *reply, const deadline &dl)
{
    DWORD got = 0;
    exchange &x = pending();
    while (got < replymax) {
        if (!dl.left())
            return fetch_late;
        arm();
        x.got = 0;
        if (!settle(InternetReadFile(request, &x.byte, 1, &x.got), dl))
            return fetch_late;
        if (!x.got)
            break;
        reply[got++] = x.byte;
    }
    return dl.left() ? fetch_read : fetch_late;
}

fetchend fetch(char *reply)
{
    deadline dl;
    vx::inethandle root(InternetOpenA("vexolind", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC));
    if (!root || !pending().done)
        return fetch_failed;
    InternetSetStatusCallbackA(root.get(), oncomplete);
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(&pending());
    target t;
    for (int redirects = 0;; redirects++) {
        DWORD left = dl.left();
        if (!left)
            return fetch_failed;
        vx::inethandle session(InternetConnectA(root.get(), t.host.c_str(), t.port, nullptr,
                                            nullptr, INTERNET_SERVICE_HTTP, 0, context));
        if (!session)
            return fetch_failed;
        vx::inethandle request(HttpOpenRequestA(session.get(), "GET", t.path.c_str(),
                                            "HTTP/1.1", nullptr, nullptr,
                                            INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_AUTO_REDIRECT, context));
        if (!request)
            return fetch_failed;
        HINTERNET rq = request.get();
        settimeouts(rq, left);
        arm();
        if (!settle(HttpSendRequestA(rq, nullptr, 0, nullptr, 0), dl) || !dl.left())
            return fetch_failed;

        DWORD status = 0, size = sizeof status;
        HttpQueryInfoA(rq, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
        if (!isredirect(status))
            return readreply(rq, reply, dl);
        char location[INTERNET_MAX_URL_LENGTH] = "";
        size = sizeof location - 1;
        if (redirects == MAX_REDIRECTS || !HttpQueryInfoA(rq, HTTP_QUERY_LOCATION, location, &size, nullptr) ||
            !follow(location, &t))
            return fetch_failed;
    }
}

} // namespace

checkoutcome checkupdates()
{
    char reply[replymax + 1] = {0};
    return outcomefor(fetch(reply), reply, BUILD_NUMBER);
}
