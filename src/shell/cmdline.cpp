#include "cmdline.h"

#include <string.h>

#include <string>

namespace {

template <typename C> const C *tailof(const C *cmdline)
{
    const C *p = cmdline;
    while (*p == ' ' || *p == '\t')
        p++;
    if (*p == '"') {
        p++;
        while (*p && *p != '"')
            p++;
        if (*p == '"')
            p++;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            p++;
    }
    while (*p == ' ' || *p == '\t')
        p++;
    return p;
}

template <typename C> int inipathof(const C *tail, C *path, size_t size)
{
    size_t n = std::char_traits<C>::length(tail);
    // A path with blanks arrives quoted; the quotes are not part of the name.
    if (n >= 2 && tail[0] == '"' && tail[n - 1] == '"') {
        tail++;
        n -= 2;
    }
    if (n >= size)
        return 0;
    memcpy(path, tail, n * sizeof(C));
    path[n] = 0;
    return 1;
}

} // namespace

const char *cmdtail(const char *cmdline)
{
    return tailof(cmdline);
}

const wchar_t *cmdtail(const wchar_t *cmdline)
{
    return tailof(cmdline);
}

int cmdinipath(const char *tail, char *path, size_t size)
{
    return inipathof(tail, path, size);
}

int cmdinipath(const wchar_t *tail, wchar_t *path, size_t size)
{
    return inipathof(tail, path, size);
}
