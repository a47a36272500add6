// The command line, read without any platform header so it also builds natively.
#pragma once

#include <stddef.h>

// The command-line tail after the program name, as a pointer into cmdline.
const char *cmdtail(const char *cmdline);
// The settings path named by the tail: one pair of enclosing quotes removed.
// Returns 0 when it does not fit in size.
int cmdinipath(const char *tail, char *path, size_t size);
