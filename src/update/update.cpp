#include "update.h"

#include <wininet.h>
#include <shellapi.h>

#include <memory>
#include <stdlib.h>
#include <string.h>

namespace {

struct inetcloser {
    void operator()(void *h) const { InternetCloseHandle(static_cast<HINTERNET>(h)); }
};
using inethandle = std::unique_ptr<void, inetcloser>;

const int replymax = 50;

void failbox(context_t *con)
{
    MessageBoxA(con->hwnd, "Auto Update Failed\nCan't initialise wininet", "vexolind", MB_OK);
}

} // namespace

int parsever(const char *reply, uint32_t *rver)
{
    static const char prefix[] = "VXVER:";
    if (strncmp(reply, prefix, sizeof prefix - 1) != 0)
        return 0;
    const char *p = reply + sizeof prefix - 1;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        p++;
    if (*p < '0' || *p > '9')
        return 0;
    uint64_t n = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        n = n * 10 + (uint64_t)(*p - '0');
        if (n > 0xFFFFFFFFu)
            return 0;
    }
    *rver = (uint32_t)n;
    return 1;
}

int checkupdates(context_t *con)
{
    char reply[replymax + 1] = {0};
    uint32_t rver = 0;

    inethandle root(InternetOpenA("vexolind", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!root) {
        failbox(con);
        return 1;
    }
    inethandle url(InternetOpenUrlA(static_cast<HINTERNET>(root.get()), UPDATE_URL, nullptr, 0,
                                    INTERNET_FLAG_RELOAD, 0));
    if (!url) {
        failbox(con);
        return 1;
    }
    DWORD got = 0;
    if (!InternetReadFile(static_cast<HINTERNET>(url.get()), reply, replymax, &got))
        return 1;
    reply[got < (DWORD)replymax ? got : replymax] = '\0';
    if (!parsever(reply, &rver))
        return 1;
    if (rver > BUILD_NUMBER &&
        MessageBoxA(con->hwnd, "An new version of vexolind is available!\nWould you like to install it ?",
                    "vexolind update", MB_YESNO | MB_ICONQUESTION) == IDYES) {
        ShellExecuteA(nullptr, "open", DOWNLOAD_URL, nullptr, nullptr, SW_SHOWNORMAL);
        exit(0);
    }
    return 1;
}
