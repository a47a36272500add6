#include "lang.h"

#include <windows.h>

#include <string.h>

namespace {

size_t inuse = 0;
std::vector<std::wstring> local;

bool samecode(const std::wstring &setting, const char *code)
{
    size_t n = strlen(code);
    if (setting.size() != n)
        return false;
    for (size_t i = 0; i < n; i++) {
        wchar_t a = setting[i], b = (wchar_t)code[i];
        if (towlower(a == L'_' ? L'-' : a) != towlower(b))
            return false;
    }
    return true;
}

} // namespace

size_t windowslanguage(unsigned short uilanguage)
{
    for (size_t i = 1; i < languagecount; i++) {
        bool regional = strchr(languages[i].code, '-') != nullptr;
        if (regional ? languages[i].langid == uilanguage
                     : PRIMARYLANGID(languages[i].langid) == PRIMARYLANGID(uilanguage))
            return i;
    }
    return 0;
}

size_t chooselanguage(const std::wstring &setting, unsigned short uilanguage)
{
    if (samecode(setting, "en"))
        return 0;
    for (size_t i = 1; i < languagecount; i++)
        if (samecode(setting, languages[i].code))
            return i;
    return windowslanguage(uilanguage);
}

void usetexts(size_t lang, std::vector<std::wstring> texts)
{
    inuse = lang < languagecount ? lang : 0;
    local = std::move(texts);
}

size_t languageinuse()
{
    return inuse;
}

std::wstring widen(const std::string &utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring w(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &w[0], n);
    return w;
}

std::string narrow(const std::wstring &text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &s[0], n, nullptr, nullptr);
    return s;
}

std::wstring trw(const char *english)
{
    for (size_t i = 0; i < englishcount && i < local.size(); i++)
        if (!local[i].empty() && strcmp(englishtexts[i], english) == 0)
            return local[i];
    return widen(english);
}

std::string tr(const char *english)
{
    return inuse ? narrow(trw(english)) : english;
}

std::string filled(std::string format, const std::string &value)
{
    size_t at = format.find("%s");
    return at == std::string::npos ? format : format.replace(at, 2, value);
}
