#include "switches.h"

#include <string>

namespace {

std::wstring lowered(const wchar_t *tail)
{
    while (*tail == L' ' || *tail == L'\t')
        tail++;
    std::wstring s;
    for (; *tail; tail++)
        s += *tail >= L'A' && *tail <= L'Z' ? (wchar_t)(*tail - L'A' + L'a') : *tail;
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\t'))
        s.pop_back();
    return s;
}

// 1 to 1440 in plain digits, or 0.
int pauseminutes(const std::wstring &text)
{
    if (text.empty() || text.size() > 4)
        return 0;
    int n = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return 0;
        n = n * 10 + (c - L'0');
    }
    return n <= 1440 ? n : 0;
}

} // namespace

cmdswitch parseswitch(const wchar_t *tail)
{
    static const struct {
        const wchar_t *text;
        switchkind kind;
        int minutes;
    } plain[] = {{L"/now", switch_now, 0},     {L"/pause", switch_pause, 60}, {L"/pause:resume", switch_pause, 0},
                 {L"/resume", switch_resume, 0}, {L"/kiss", switch_kiss, 0},   {L"/kick", switch_kick, 0},
                 {L"/exit", switch_exit, 0}};
    std::wstring s = lowered(tail);
    cmdswitch c;
    for (auto &p : plain)
        if (s == p.text) {
            c.kind = p.kind;
            c.minutes = p.minutes;
            return c;
        }
    const std::wstring prefix = L"/pause:";
    if (s.compare(0, prefix.size(), prefix) == 0 && (c.minutes = pauseminutes(s.substr(prefix.size()))) > 0)
        c.kind = switch_pause;
    return c;
}
