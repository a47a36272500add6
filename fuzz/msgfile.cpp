// A user's message file: any bytes at all, as a file holds them.
#include "msgparse.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#define check(cond) ((cond) ? (void)0 : abort())

// Stands in for the ANSI code page, which can give anything: Latin-1 with its C1 controls, and
// for the top bytes surrogate halves that pair up or do not.
static std::u16string ansi(const char *bytes, size_t size)
{
    std::u16string out;
    for (size_t i = 0; i < size; i++) {
        unsigned char b = (unsigned char)bytes[i];
        out += b < 0xF0 ? (char16_t)b : (char16_t)((b < 0xF8 ? 0xD800 : 0xDC00) + (b & 7));
    }
    return out;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    msgfile f = parsemsgfile(data, size, ansi);
    check(f.messages.size() <= MSGFILE_MAXMESSAGES);
    for (const std::u16string &m : f.messages) {
        check(!m.empty());
        check(m[0] != ' ' && m[0] != '#');
        size_t chars = 0;
        bool blank = true;
        for (size_t i = 0; i < m.size(); i++, chars++) {
            char16_t c = m[i];
            check(c == '\n' || (c >= 0x20 && (c < 0x7F || c > 0x9F)));
            blank = blank && (c == ' ' || c == '\n');
            // Surrogates come only in pairs.
            check(c < 0xDC00 || c > 0xDFFF);
            if (c >= 0xD800 && c <= 0xDBFF) {
                check(i + 1 < m.size() && m[i + 1] >= 0xDC00 && m[i + 1] <= 0xDFFF);
                i++;
            }
        }
        check(!blank);
        check(chars <= MSGFILE_MAXCHARS);
    }
    return 0;
}
