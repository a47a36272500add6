// The command line, read without any platform header so it also builds natively.
#pragma once

#include <stddef.h>

// The command-line tail after the program name, as a pointer into cmdline.
const char *cmdtail(const char *cmdline);
const wchar_t *cmdtail(const wchar_t *cmdline);
// The settings path named by the tail: one pair of enclosing quotes removed.
// Returns 0 when it does not fit in size (in characters).
int cmdinipath(const char *tail, char *path, size_t size);
int cmdinipath(const wchar_t *tail, wchar_t *path, size_t size);
