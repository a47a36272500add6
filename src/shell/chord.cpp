#include "chord.h"

#include "text.h"

#include <commctrl.h>

namespace {

const struct {
    const wchar_t *name;
    UINT mod;
} modnames[] = {{L"Ctrl", MOD_CONTROL}, {L"Alt", MOD_ALT}, {L"Shift", MOD_SHIFT}};

UINT keyof(const std::wstring &part)
{
    if (part.size() == 1) {
        wchar_t c = part[0];
        if (c >= L'a' && c <= L'z')
            c -= L'a' - L'A';
        if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9'))
            return c;
        return 0;
    }
    if (part.size() < 2 || part.size() > 3 || (part[0] != L'F' && part[0] != L'f'))
        return 0;
    int n = 0;
    for (size_t i = 1; i < part.size(); i++) {
        if (part[i] < L'0' || part[i] > L'9')
            return 0;
        n = n * 10 + (part[i] - L'0');
    }
    return n >= 1 && n <= 24 && part[1] != L'0' ? VK_F1 + n - 1 : 0;
}

bool functionkey(UINT vk)
{
    return vk >= VK_F1 && vk <= VK_F24;
}

// F12 alone belongs to debuggers: Windows reserves it, so it could never be held as ours.
chord usable(chord c)
{
    bool key = (c.vk >= 'A' && c.vk <= 'Z') || (c.vk >= '0' && c.vk <= '9') || functionkey(c.vk);
    bool alone = functionkey(c.vk) && c.vk != VK_F12;
    return key && (c.mods || alone) ? c : chord{};
}

} // namespace

chord parsechord(const std::wstring &text)
{
    chord c;
    size_t start = 0;
    for (;;) {
        size_t plus = text.find(L'+', start);
        std::wstring part = trimmed(text.substr(start, plus == std::wstring::npos ? plus : plus - start));
        UINT mod = 0;
        for (auto &m : modnames)
            if (sameletters(part, m.name))
                mod = m.mod;
        if (plus == std::wstring::npos) {
            c.vk = keyof(part);
            break;
        }
        if (!mod)
            return chord{};
        c.mods |= mod;
        start = plus + 1;
    }
    return usable(c);
}

std::wstring chordtext(chord c)
{
    if (!c.vk)
        return L"";
    std::wstring text;
    for (auto &m : modnames)
        if (c.mods & m.mod)
            text += std::wstring(m.name) + L"+";
    if (functionkey(c.vk))
        return text + L"F" + std::to_wstring(c.vk - VK_F1 + 1);
    return text + (wchar_t)c.vk;
}

chord fromhotkeyfield(WORD value)
{
    BYTE flags = HIBYTE(value);
    chord c;
    c.vk = LOBYTE(value);
    c.mods = (flags & HOTKEYF_CONTROL ? MOD_CONTROL : 0) | (flags & HOTKEYF_ALT ? MOD_ALT : 0) |
             (flags & HOTKEYF_SHIFT ? MOD_SHIFT : 0);
    // Only what the text form can say: a key the parser refuses is no shortcut.
    return usable(c);
}

WORD tohotkeyfield(chord c)
{
    BYTE flags = (c.mods & MOD_CONTROL ? HOTKEYF_CONTROL : 0) | (c.mods & MOD_ALT ? HOTKEYF_ALT : 0) |
                 (c.mods & MOD_SHIFT ? HOTKEYF_SHIFT : 0);
    return MAKEWORD(c.vk, flags);
}
