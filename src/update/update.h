// The start-up question to vexolind's web site whether a newer build exists.
#pragma once

#include "bounds.h"
#include "parsever.h"
#include "vxversion.h"

// The build the server's answer is compared with; it is not the file version.
#define BUILD_NUMBER 2006081901u

// Asks the server, within CHECK_BUDGET_MS; the shell tells the user what came of it.
checkoutcome checkupdates();
