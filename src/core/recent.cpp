#include "recent.h"

#include <string.h>

void remember(std::deque<alerttext> &list, const alerttext &m)
{
    list.push_front(m);
    if (list.size() > RECENT_MAX)
        list.pop_back();
}

std::wstring alertwide(const alerttext &m)
{
    // The built-in tables are ASCII.
    return m.builtin ? std::wstring(m.builtin, m.builtin + strlen(m.builtin)) : m.user;
}

std::wstring recentlabel(const std::wstring &text)
{
    std::wstring label;
    size_t shown = 0, i = 0;
    for (; i < text.size() && shown < RECENT_WIDTH; i++, shown++) {
        wchar_t c = text[i];
        // A tab would start the menu's shortcut column; a line break has no place in an item.
        label += c == L'\t' || c == L'\n' || c == L'\r' ? L' ' : c;
        if (c == L'&')
            label += L'&';
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            label += text[++i];
    }
    if (i < text.size())
        label += L'\u2026';
    return label;
}
