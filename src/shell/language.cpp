#include "handles.h"
#include "lang.h"
#include "shell.h"

#include <string.h>

// The string tables are looked up in the language's own block: LoadString would take the
// thread's language, not the one chosen.
std::vector<std::wstring> loadtexts(HINSTANCE hinst, unsigned short langid)
{
    std::vector<std::wstring> texts(englishcount);
    for (size_t i = 0; i < englishcount; i += 16) {
        int id = firsttextid + (int)i;
        HRSRC r = FindResourceExW(hinst, MAKEINTRESOURCEW(6) /* RT_STRING */, MAKEINTRESOURCEW(id / 16 + 1), langid);
        HGLOBAL g = r ? LoadResource(hinst, r) : nullptr;
        const WCHAR *p = g ? static_cast<const WCHAR *>(LockResource(g)) : nullptr;
        if (!p)
            continue;
        const WCHAR *end = p + SizeofResource(hinst, r) / sizeof(WCHAR);
        // A block holds the sixteen strings from a multiple of 16, each after its length.
        for (int slot = 0; slot < 16 && p < end; slot++) {
            size_t n = *p++;
            size_t at = (size_t)((id / 16) * 16 + slot - firsttextid);
            if (n && p + n <= end && at < englishcount)
                texts[at].assign(p, n);
            p += n;
        }
    }
    return texts;
}

namespace {

BOOL CALLBACK localisechild(HWND child, LPARAM)
{
    wchar_t text[512];
    if (GetWindowTextW(child, text, ARRAYSIZE(text)) > 0) {
        std::wstring local = trw(narrow(text).c_str());
        if (local != text)
            SetWindowTextW(child, local.c_str());
    }
    return TRUE;
}

// The first of the language's dialog fonts that Windows has.
std::wstring installedfont(const wchar_t *fonts)
{
    std::wstring list = fonts;
    vx::windowdc screen(nullptr);
    for (size_t at = 0; at < list.size();) {
        size_t end = list.find(L';', at);
        std::wstring face = list.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        at = end == std::wstring::npos ? list.size() : end + 1;
        LOGFONTW lf = {};
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
        bool found = false;
        EnumFontFamiliesExW(
            screen.get(), &lf, [](const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM seen) -> int {
                *reinterpret_cast<bool *>(seen) = true;
                return 0;
            },
            reinterpret_cast<LPARAM>(&found), 0);
        if (found)
            return face;
    }
    return L"";
}

} // namespace

void applylanguage(context_t *ctx)
{
    size_t lang = chooselanguage(ctx->language, GetUserDefaultUILanguage());
    usetexts(lang, lang ? loadtexts(ctx->hinst, languages[lang].langid) : std::vector<std::wstring>());
    pausetick(ctx);
    if (ctx->hwnd)
        refreshtip(ctx);
}

void localisemenu(HMENU menu)
{
    if (!languageinuse())
        return;
    for (int i = 0, n = GetMenuItemCount(menu); i < n; i++) {
        wchar_t text[256];
        MENUITEMINFOW mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_STRING | MIIM_SUBMENU;
        mi.dwTypeData = text;
        mi.cch = ARRAYSIZE(text);
        if (!GetMenuItemInfoW(menu, (UINT)i, TRUE, &mi))
            continue;
        if (mi.hSubMenu)
            localisemenu(mi.hSubMenu);
        if (!mi.cch)
            continue;
        std::wstring local = trw(narrow(text).c_str());
        MENUITEMINFOW set = {};
        set.cbSize = sizeof set;
        set.fMask = MIIM_STRING;
        set.dwTypeData = &local[0];
        SetMenuItemInfoW(menu, (UINT)i, TRUE, &set);
    }
}

void localisedialog(HWND dlg)
{
    if (!languageinuse())
        return;
    localisechild(dlg, 0);
    EnumChildWindows(dlg, localisechild, 0);
}

std::vector<unsigned char> dialogtemplate(HINSTANCE hinst, const wchar_t *name)
{
    std::vector<unsigned char> out;
    std::wstring face = installedfont(languages[languageinuse()].fonts);
    HRSRC r = face.empty() ? nullptr : FindResourceW(hinst, name, MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    HGLOBAL g = r ? LoadResource(hinst, r) : nullptr;
    const unsigned char *p = g ? static_cast<const unsigned char *>(LockResource(g)) : nullptr;
    DWORD size = r ? SizeofResource(hinst, r) : 0;
    if (!p || size < sizeof(DLGTEMPLATE) || !(reinterpret_cast<const DLGTEMPLATE *>(p)->style & DS_SETFONT))
        return out;
    // After the fixed part come the menu, the class and the title, each an ordinal or a string,
    // then the font's size and face; the items start at the next DWORD.
    const WCHAR *w = reinterpret_cast<const WCHAR *>(p + sizeof(DLGTEMPLATE));
    const WCHAR *end = reinterpret_cast<const WCHAR *>(p + size);
    for (int field = 0; field < 3 && w < end; field++)
        if (*w == 0xFFFF)
            w += 2;
        else
            w += wcsnlen(w, (size_t)(end - w)) + 1;
    const WCHAR *font = w;
    if (font + 1 >= end)
        return out;
    w = font + 1;
    w += wcsnlen(w, (size_t)(end - w)) + 1;
    size_t items = ((size_t)((const unsigned char *)w - p) + 3) & ~(size_t)3;
    if (items > size)
        return out;
    out.assign(p, (const unsigned char *)font);
    // These fonts are drawn a point larger, as their Windows sets them.
    WORD points = 9;
    out.insert(out.end(), (const unsigned char *)&points, (const unsigned char *)(&points + 1));
    out.insert(out.end(), (const unsigned char *)face.c_str(), (const unsigned char *)(face.c_str() + face.size() + 1));
    out.resize((out.size() + 3) & ~(size_t)3);
    out.insert(out.end(), p + items, p + size);
    return out;
}

int box(HWND owner, const std::wstring &text, const char *caption, UINT flags)
{
    return MessageBoxW(owner, text.c_str(), trw(caption).c_str(), flags);
}
