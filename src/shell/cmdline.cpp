#include "cmdline.h"

#include <string.h>

const char *cmdtail(const char *cmdline)
{
    const char *p = cmdline;
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

int cmdinipath(const char *tail, char *path, size_t size)
{
    size_t n = strlen(tail);
    // A path with blanks arrives quoted; the quotes are not part of the name.
    if (n >= 2 && tail[0] == '"' && tail[n - 1] == '"') {
        tail++;
        n -= 2;
    }
    if (n >= size)
        return 0;
    memcpy(path, tail, n);
    path[n] = '\0';
    return 1;
}
