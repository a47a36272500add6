// The start-up question to vexolind's web site whether a newer build exists.
#pragma once

#include "parsever.h"
#include "vexolind.h"
#include "vxversion.h"

// The build the server's answer is compared with; it is not the file version.
#define BUILD_NUMBER 2006081901u

int checkupdates(context_t *con);
