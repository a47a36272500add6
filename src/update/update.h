// The start-up question to vexolind's web site whether a newer build exists.
#pragma once

#include "parsever.h"
#include "vexolind.h"

// vexolind's own web site: update query, download and suggestion page.
#define VEXOLIND_HOST "www.vexolind.com"

#define BUILD_NUMBER 2006081901u

// The query stays plain HTTP; the executable itself only ever comes over HTTPS.
#define UPDATE_PATH "/software/vexolind/update/"
#define DOWNLOAD_URL "https://" VEXOLIND_HOST "/software/vexolind/vexolind.exe"
#define SUGGEST_URL "http://" VEXOLIND_HOST "/software/vexolind/submit/"


int checkupdates(context_t *con);
