// The limits that keep the start-up update check from holding start-up up, and what its
// exchange with the server means for the user. No platform header: a table of cases tests it.
#pragma once

#include <stdint.h>

// The whole exchange with the server, from opening WinINet to the last byte of the reply.
#define CHECK_BUDGET_MS 10000u
#define MAX_REDIRECTS 5

// Milliseconds left of the budget at tick count now for a check started at tick count started;
// 0 once it is spent. Tick counts wrap after 49.7 days, and so does this.
uint32_t budgetleft(uint32_t started, uint32_t now);

// Whether an HTTP status sends the client to the Location header.
int isredirect(uint32_t status);

enum fetchend {
    fetch_failed,   // no connection, no reply headers in time, too many or unusable redirects
    fetch_late,     // headers came, but neither the reply's first 50 bytes nor its end in time
    fetch_read,     // the reply's first 50 bytes, or all of it when shorter
};

enum checkoutcome {
    outcome_failbox,   // "Auto Update Failed"
    outcome_nothing,
    outcome_offer,     // the question whether to install the newer build
};

// What the user meets once the exchange ended as end; reply only counts after fetch_read.
checkoutcome outcomefor(fetchend end, const char *reply, uint32_t ownbuild);
