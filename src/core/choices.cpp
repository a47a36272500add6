#include "choices.h"

#include "text.h"

namespace {

// The desktop spans every monitor, so its monitor says nothing about where the user is.
bool desktop(const wchar_t *cls)
{
    return cls && (sameletters(cls, L"#32769") || sameletters(cls, L"Progman") || sameletters(cls, L"WorkerW"));
}

bool usable(const RECT *r)
{
    return r && r->right > r->left && r->bottom > r->top;
}

LONG centred(LONG from, LONG to, LONG size)
{
    return to - from > size ? from + (to - from - size) / 2 : from;
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
    return sameletters(quoted ? value.substr(1, value.size() - 2) : value, exe);
}
