#include "parsever.h"

#include <string.h>

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
