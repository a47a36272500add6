#include "msgparse.h"

#include <stdlib.h>

#include <utility>

namespace {

// The length of the UTF-8 sequence at p, or 0 when it is not valid UTF-8: cut short, overlong,
// a surrogate or beyond U+10FFFF.
size_t utf8char(const unsigned char *p, size_t n, char32_t *cp)
{
    unsigned char b = p[0];
    size_t len;
    char32_t c, least;
    if (b < 0x80) {
        *cp = b;
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2, c = b & 0x1F, least = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        len = 3, c = b & 0x0F, least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4, c = b & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (n < len)
        return 0;
    for (size_t i = 1; i < len; i++) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (p[i] & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    *cp = c;
    return len;
}

bool fromutf8(const unsigned char *p, size_t n, std::u32string &out)
{
    for (size_t i = 0, len; i < n; i += len) {
        char32_t c;
        if (!(len = utf8char(p + i, n - i, &c)))
            return false;
        out += c;
    }
    return true;
}

bool surrogate(char32_t u)
{
    return u >= 0xD800 && u <= 0xDFFF;
}

// A surrogate without its partner becomes U+FFFD.
std::u32string fromutf16(const std::u16string &s)
{
    std::u32string out;
    for (size_t i = 0; i < s.size(); i++) {
        char32_t u = s[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
            out += 0x10000 + ((u - 0xD800) << 10) + (s[++i] - 0xDC00);
        else
            out += surrogate(u) ? U'\xFFFD' : u;
    }
    return out;
}

void toutf16(char32_t c, std::u16string &out)
{
    if (c < 0x10000) {
        out += (char16_t)c;
    } else {
        out += (char16_t)(0xD800 + ((c - 0x10000) >> 10));
        out += (char16_t)(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

bool isonly(const std::u32string &s)
{
    static const char32_t word[] = U"!only";
    if (s.size() != 5)
        return false;
    for (size_t i = 0; i < 5; i++)
        if ((s[i] >= 'A' && s[i] <= 'Z' ? s[i] + 32 : s[i]) != word[i])
            return false;
    return true;
}

// One line, its end taken off: a message, the "!only" mark, or nothing.
void takeline(const std::u32string &line, msgfile &f)
{
    std::u32string s;
    for (char32_t c : line) {
        if (c == '\t')
            c = ' ';
        // Controls and stray byte-order marks would show as boxes or nothing at all.
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFEFF)
            continue;
        s += c;
    }
    size_t first = s.find_first_not_of(U' ');
    if (first == std::u32string::npos || s[first] == '#')
        return;
    s = s.substr(first, s.find_last_not_of(U' ') - first + 1);
    if (isonly(s)) {
        f.only = true;
        return;
    }
    if (f.messages.size() >= MSGFILE_MAXMESSAGES)
        return;
    std::u16string m;
    bool blank = true;
    for (size_t i = 0, chars = 0; i < s.size() && chars < MSGFILE_MAXCHARS; i++, chars++) {
        char32_t c = s[i];
        if (c == '\\' && i + 1 < s.size() && s[i + 1] == 'n')
            c = '\n', i++;
        blank = blank && (c == ' ' || c == '\n');
        toutf16(c, m);
    }
    if (!blank)
        f.messages.push_back(m);
}

void utf8lines(const unsigned char *p, size_t n, bool cut, ansidecoder ansi, msgfile &f)
{
    size_t start = 0;
    for (size_t i = 0; i <= n; i++) {
        if (i < n ? p[i] != '\r' && p[i] != '\n' : cut)
            continue;
        std::u32string line;
        if (!fromutf8(p + start, i - start, line))
            line = fromutf16(ansi(reinterpret_cast<const char *>(p + start), i - start));
        takeline(line, f);
        start = i + 1;
    }
}

void utf16lines(const unsigned char *p, size_t n, bool cut, bool bigendian, msgfile &f)
{
    std::u16string line;
    for (size_t i = 0; i + 1 < n; i += 2) {
        char16_t u = bigendian ? (char16_t)(p[i] << 8 | p[i + 1]) : (char16_t)(p[i + 1] << 8 | p[i]);
        if (u == '\r' || u == '\n') {
            takeline(fromutf16(line), f);
            line.clear();
        } else {
            line += u;
        }
    }
    if (!cut)
        takeline(fromutf16(line), f);
}

// rand() gives 15 bits on Windows; two of them make every card of a large deck as likely.
unsigned draw()
{
    return (unsigned)rand() << 15 ^ (unsigned)rand();
}

} // namespace

msgfile parsemsgfile(const unsigned char *data, size_t size, ansidecoder ansi)
{
    msgfile f;
    // The line the limit cuts is dropped.
    bool cut = size > MSGFILE_MAXBYTES;
    if (cut)
        size = MSGFILE_MAXBYTES;
    if (size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF)))
        utf16lines(data + 2, size - 2, cut, data[0] == 0xFE, f);
    else if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF)
        utf8lines(data + 3, size - 3, cut, ansi, f);
    else
        utf8lines(data, size, cut, ansi, f);
    return f;
}

int deal(deck &d, int n)
{
    if (n <= 0)
        return -1;
    if (d.order.size() != (size_t)n)
        d = deck{};
    if (d.next >= d.order.size()) {
        int last = d.order.empty() ? -1 : d.order.back();
        d.order.resize(n);
        for (int i = 0; i < n; i++)
            d.order[i] = i;
        for (int i = n - 1; i > 0; i--)
            std::swap(d.order[i], d.order[draw() % (i + 1)]);
        if (n > 1 && d.order[0] == last)
            std::swap(d.order[0], d.order[1 + draw() % (n - 1)]);
        d.next = 0;
    }
    return d.order[d.next++];
}
