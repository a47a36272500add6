// The language vexolind speaks: its texts are looked up by their English wording, which stays
// the key in the translators' files (po/) and the program's own text when nothing else is chosen.
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

struct language {
    const char *code;       // as [show] language= names it; English's is empty
    unsigned short langid;  // the Windows language it serves
    const wchar_t *name;    // in its own words
    const wchar_t *fonts;   // the dialog fonts its Windows uses, best first, ';' between; empty: the template's
};

// Made from po/ by the build: English first, then po/LINGUAS in order.
extern const language languages[];
extern const size_t languagecount;
extern const char *const englishtexts[];   // the keys, in the order of their string ids
extern const size_t englishcount;
extern const int firsttextid;

// The language for [show] language= and Windows' display language: a code named in the setting
// wins, else the display language's own, else English (0). A code without a region serves every
// region of its language; one with a region serves that region alone.
size_t chooselanguage(const std::wstring &setting, unsigned short uilanguage);
// The language Windows' display language alone would choose.
size_t windowslanguage(unsigned short uilanguage);

// The texts in use from now on, one per English text in order (empty for English: a missing
// one stays English).
void usetexts(size_t lang, std::vector<std::wstring> texts);
size_t languageinuse();
// english's translation in the language in use, or english itself; UTF-8 and UTF-16.
std::string tr(const char *english);
std::wstring trw(const char *english);
// format with its %s replaced by value; a format without one is left as it is.
std::string filled(std::string format, const std::string &value);
// A text given as UTF-8 (English keys, translations) in UTF-16 and back.
std::wstring widen(const std::string &utf8);
std::string narrow(const std::wstring &text);
