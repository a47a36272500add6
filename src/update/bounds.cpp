#include "bounds.h"

#include "parsever.h"

uint32_t budgetleft(uint32_t started, uint32_t now)
{
    uint32_t spent = now - started;
    return spent < CHECK_BUDGET_MS ? CHECK_BUDGET_MS - spent : 0;
}

int isredirect(uint32_t status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

checkoutcome outcomefor(fetchend end, const char *reply, uint32_t ownbuild)
{
    if (end == fetch_failed)
        return outcome_failbox;
    uint32_t rver = 0;
    if (end != fetch_read || !parsever(reply, &rver) || rver <= ownbuild)
        return outcome_nothing;
    return outcome_offer;
}
