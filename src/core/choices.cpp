#include "choices.h"

#include <wctype.h>

namespace {

bool sameclass(const char *a, const char *b)
{
    for (;; a++, b++) {
        char x = (*a >= 'A' && *a <= 'Z') ? (char)(*a - 'A' + 'a') : *a;
        char y = (*b >= 'A' && *b <= 'Z') ? (char)(*b - 'A' + 'a') : *b;
        if (x != y)
            return false;
        if (!x)
            return true;
    }
}

// The desktop spans every monitor, so its monitor says nothing about where the user is.
bool desktop(const char *cls)
{
    return cls && (sameclass(cls, "#32769") || sameclass(cls, "Progman") || sameclass(cls, "WorkerW"));
}

bool usable(const RECT *r)
{
    return r && r->right > r->left && r->bottom > r->top;
}

LONG centred(LONG from, LONG to, LONG size)
{
    return to - from > size ? from + (to - from - size) / 2 : from;
}

bool samepath(const std::wstring &a, size_t from, size_t count, const std::wstring &b)
{
    if (count != b.size())
        return false;
    for (size_t i = 0; i < count; i++)
        if (towlower(a[from + i]) != towlower(b[i]))
            return false;
    return true;
}

} // namespace

bool boxorigin(const boxsite &site, SIZE box, POINT *at)
{
    const RECT *work = site.fgclass && !desktop(site.fgclass) && usable(site.fgwork) ? site.fgwork : site.cursorwork;
    if (!usable(work))
        return false;
    at->x = centred(work->left, work->right, box.cx);
    at->y = centred(work->top, work->bottom, box.cy);
    return true;
}

bool lighttaskbar(bool read, DWORD value)
{
    return !read || value != 0;
}

const char *moodicon(bool kiss, bool light)
{
    if (kiss)
        return light ? "KISSES" : "KISSESDARK";
    return light ? "Kicker" : "KICKERDARK";
}

bool startsprogram(const std::wstring &value, const std::wstring &exe)
{
    if (exe.empty())
        return false;
    bool quoted = value.size() >= 2 && value.front() == L'"' && value.back() == L'"';
    return quoted ? samepath(value, 1, value.size() - 2, exe) : samepath(value, 0, value.size(), exe);
}
