#include "text.h"

#include <wctype.h>

std::wstring trimmed(const std::wstring &s)
{
    size_t b = s.find_first_not_of(L" \t"), e = s.find_last_not_of(L" \t");
    return b == std::wstring::npos ? L"" : s.substr(b, e - b + 1);
}

bool sameletters(const std::wstring &a, const std::wstring &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++)
        if (towlower(a[i]) != towlower(b[i]))
            return false;
    return true;
}

std::wstring clocktext(int minutes)
{
    wchar_t t[] = {wchar_t(L'0' + minutes / 600 % 10), wchar_t(L'0' + minutes / 60 % 10), L':',
                   wchar_t(L'0' + minutes % 60 / 10), wchar_t(L'0' + minutes % 10), 0};
    return t;
}

bool wholenumber(const std::wstring &text, long long *n)
{
    std::wstring t = trimmed(text);
    size_t i = !t.empty() && t[0] == L'-' ? 1 : 0;
    if (i == t.size())
        return false;
    long long v = 0;
    for (; i < t.size(); i++) {
        if (t[i] < L'0' || t[i] > L'9')
            return false;
        v = v < 1000000000 ? v * 10 + (t[i] - L'0') : v;
    }
    *n = t[0] == L'-' ? -v : v;
    return true;
}

int clocktime(const std::wstring &text)
{
    std::wstring t = trimmed(text);
    long long h, m;
    size_t colon = t.find(L':');
    if (colon == std::wstring::npos || colon == 0 || colon > 2 || t.size() != colon + 3 ||
        !wholenumber(t.substr(0, colon), &h) || !wholenumber(t.substr(colon + 1), &m) || h < 0 || h > 23 || m < 0 ||
        m > 59)
        return -1;
    return (int)(h * 60 + m);
}
