// The settings file and the run-at-start-up registration.
#pragma once

#include "vexolind.h"

// %APPDATA%\vexolind\vexolind.INI: the settings file when none is named on the command line.
// Returns 0 when the per-user folder cannot be found.
int defaultinipath(char *path, size_t size);

int loadsettings(context_t *con);
int savesettings(context_t *con);

// The running program's own full path, as the module file name.
const char *appath(void);
int registerAutoRun(int reg, const char *appath);
