// Small text helpers the parsers share. Pure: no platform call.
#pragma once

#include <string>

// Without the blanks and tabs around it.
std::wstring trimmed(const std::wstring &s);
// Equal without regard to case, as Windows compares file, program and class names.
bool sameletters(const std::wstring &a, const std::wstring &b);
// "HH:MM" for minutes after midnight, and back: "H:MM" or "HH:MM", or -1 when it is no time.
std::wstring clocktext(int minutes);
int clocktime(const std::wstring &text);
// A whole number, perhaps negative; false for anything else. Huge values stop at a billion.
bool wholenumber(const std::wstring &text, long long *n);
