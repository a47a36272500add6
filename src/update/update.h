// The start-up question to vexolind's web site whether a newer build exists.
#pragma once

#include "vexolind.h"

// vexolind's own web site: update query, download and suggestion page.
#define VEXOLIND_HOST "www.vexolind.com"

#define BUILD_NUMBER 2006081901u

// The query stays plain HTTP; the executable itself only ever comes over HTTPS.
#define UPDATE_URL "http://" VEXOLIND_HOST "/software/vexolind/update/"
#define DOWNLOAD_URL "https://" VEXOLIND_HOST "/software/vexolind/vexolind.exe"
#define SUGGEST_URL "http://" VEXOLIND_HOST "/software/vexolind/submit/"

// Reads "VXVER:" and an unsigned decimal build number from the start of reply.
// Returns 0 when there is no number, or one too large for 32 bits.
int parsever(const char *reply, uint32_t *rver);

int checkupdates(context_t *con);
