// The update server's reply, read without any platform header so it also builds natively.
#pragma once

#include <stdint.h>

// Reads "VXVER:" and an unsigned decimal build number from the start of reply.
// Returns 0 when there is no number, or one too large for 32 bits.
int parsever(const char *reply, uint32_t *rver);
