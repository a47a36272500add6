// The command line: the tail after the program name, and the settings path it names.
// The first byte picks the size of the path buffer; the rest is the command line.
#include "cmdline.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#define check(cond) ((cond) ? (void)0 : abort())

static bool blank(char c)
{
    return c == ' ' || c == '\t';
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    size_t pathsize = (size_t)data[0] + 1;
    std::string line(reinterpret_cast<const char *>(data + 1), size - 1);
    const char *cmd = line.c_str();
    size_t len = strlen(cmd);

    const char *tail = cmdtail(cmd);
    check(tail >= cmd && tail <= cmd + len);
    check(!blank(*tail));
    // Everything before the tail is blanks and the program name: no blank inside an
    // unquoted name, and the tail starts right after a blank or a closing quote.
    if (tail > cmd && *tail)
        check(blank(tail[-1]) || tail[-1] == '"');

    // Exactly the size asked for, so that a write past it is caught.
    char *path = new char[pathsize];
    int ok = cmdinipath(tail, path, pathsize);
    size_t n = strlen(tail);
    bool quoted = n >= 2 && tail[0] == '"' && tail[n - 1] == '"';
    std::string want = quoted ? std::string(tail + 1, n - 2) : std::string(tail, n);
    check(ok == (want.size() < pathsize));
    if (ok) {
        check(strlen(path) < pathsize);
        check(want == path);
    }
    delete[] path;
    return 0;
}
