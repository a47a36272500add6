// The update server's reply: the first 50 bytes of whatever a server sends, as the check hands
// them to parsever.
#include "parsever.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#define check(cond) ((cond) ? (void)0 : abort())

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char reply[51] = {0};
    memcpy(reply, data, size < 50 ? size : 50);

    uint32_t got = 0xDEADBEEFu;
    int ok = parsever(reply, &got);
    check(ok == 0 || ok == 1);

    // The number as it stands after the prefix and its blanks, worked out independently.
    bool prefixed = strncmp(reply, "VXVER:", 6) == 0;
    const char *p = reply + 6;
    while (prefixed && *p && strchr(" \t\n\v\f\r", *p))
        p++;
    size_t digits = prefixed ? strspn(p, "0123456789") : 0;
    while (digits > 1 && *p == '0') {
        p++;
        digits--;
    }
    bool fits = digits > 0 && (digits < 10 || (digits == 10 && strncmp(p, "4294967295", 10) <= 0));

    check(ok == (int)fits);
    if (!ok) {
        check(got == 0xDEADBEEFu);   // untouched on refusal
        return 0;
    }
    char back[16];
    size_t n = 0;
    uint32_t v = got;
    do {
        back[n++] = (char)('0' + v % 10);
        v /= 10;
    } while (v);
    check(n == digits);
    for (size_t i = 0; i < n; i++)
        check(back[n - 1 - i] == p[i]);
    return 0;
}
