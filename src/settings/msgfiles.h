// The user's message files beside the settings file: kisses.txt for kiss mode, kickers.txt for kick mode.
#pragma once

#include "vexolind.h"

#include <string>

// The current mood's file.
std::wstring msgfilepath(const context_t *ctx);

// Reads path again when its last-write time or size changed; a missing file (or a folder) leaves
// no messages, one that cannot be read keeps those it had. Returns true when they were replaced.
bool refreshmsgfile(const std::wstring &path, msgfilestate &state);

// A line in the system's ANSI code page, for the lines that are not UTF-8.
std::u16string ansiline(const char *bytes, size_t size);

// Writes the commented template for the mood unless the file exists; never touches one that does.
bool msgtemplate(const std::wstring &path, bool kiss);
