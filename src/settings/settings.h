// The settings file and the run-at-start-up registration.
#pragma once

#include "vexolind.h"

#include <string>

// %APPDATA%\vexolind\vexolind.INI: the settings file when none is named on the command line;
// empty when the per-user folder cannot be found.
std::wstring defaultinifile();

// Whether a settings file is there to be read: the one in use, or on a first start with the
// default path, one an older install left in the Windows folder.
bool settingsfound(const context_t *ctx);
// Every section into the context's saved settings, and [quiet] into the rules the ticks apply.
// A file that is there but held by another program sets iniunread after a short wait.
int loadsettings(context_t *ctx);
// What the file holds now, for a dialog to show; the settings in force when it cannot be read.
settings_t settingsnow(const context_t *ctx);
// [settings], then the Run value to match; 0 when the file could not be written, and the Run
// value is then left alone.
int savesettings(context_t *ctx);
// The sections of the more-settings dialog: [quiet], [show], [keys]. false when not written.
bool savemore(const context_t *ctx, const settings_t &s);
// The day "Auto Update Failed" showed, kept in [update].
bool savefailshown(context_t *ctx, const std::wstring &day);
// A pause's end, kept in [pause] while it lasts; an empty value removes the section.
bool savepause(context_t *ctx, const std::wstring &until);

// The running program's own full path, as the module file name.
const wchar_t *appath(void);
int registerAutoRun(int reg, const wchar_t *appath);

// The settings file in use and its folder, in the wide form every path takes.
std::wstring inifile(const context_t *ctx);
std::wstring inifolder(const context_t *ctx);
