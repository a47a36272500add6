// The settings file and the run-at-start-up registration.
#pragma once

#include "vexolind.h"

#include <string>

// %APPDATA%\vexolind\vexolind.INI: the settings file when none is named on the command line.
// Returns 0 when the per-user folder cannot be found or its name has no ANSI form.
int defaultinipath(char *path, size_t size);
// The same in the wide form; empty when the per-user folder cannot be found.
std::wstring defaultinifile();

// Whether a settings file is there to be read: the one in use, or on a first start with the
// default path, one an older install left in the Windows folder.
bool settingsfound(const context_t *con);
// A file that is there but held by another program sets con->iniunread after a short wait.
int loadsettings(context_t *con);
// 0 when the file could not be written; the Run value is then left alone.
int savesettings(context_t *con);

// The running program's own full path, as the module file name.
const wchar_t *appath(void);
int registerAutoRun(int reg, const wchar_t *appath);

// The settings file in use and its folder, in the wide form every path takes.
std::wstring inifile(const context_t *con);
std::wstring inifolder(const context_t *con);
// One key of a section beside [settings] ([quiet], [update], [show], [keys]); the five keys of
// [settings] are read and written by loadsettings and savesettings alone.
std::wstring inistring(const context_t *con, const wchar_t *section, const wchar_t *key, const wchar_t *def);
int iniint(const context_t *con, const wchar_t *section, const wchar_t *key, int def);
// false when the file could not be written.
bool iniset(const context_t *con, const wchar_t *section, const wchar_t *key, const wchar_t *value);
