#include "vexolind.h"

#include <stdlib.h>
#include <string.h>

// Both tables keep every text to the letter, spacing and spelling included, as the program has
// always shown them; "EOL" ends each.
const char *const kisses[] = {
    "You're an asset to this company",
    "Your hair's looking particularly good today",
    "That outfit really suits you",
    "I bet loads of people fancy you, and you don't even know it",
    "I wish I had a body like yours",
    "You work so hard,you're worth so much more",
    "You're the cleverest person in the office",
    "You're fucking great you are",
    "Have you lost weight ?",
    "People are really jealous of you",
    "You're so deep!\nMost people don't understand you",
    "You really push my button",
    "You've got a lovely touch",
    "Go and have a coffee - you deserve a break",
    "What's someone as good looking as you doing in a dump like this ?",
    "You're brilliant!",
    "Have you been working out ?",
    "EOL",
};

const char *const kickers[] = {
    "What a wanker",
    "What were you thinking of when you decided to do your hair like that ?",
    "Work harder you lazy git",
    "All your friends hate you",
    "You really should consider plastic surgery",
    "Your mum",
    "Sort your hair out you lowlife",
    "The manager thinks you're a twat too",
    "Everyone hates you",
    "All the people in the office think you're a twat",
    "You're such a fuck up - what are you ?",
    "You're such a dick",
    "EOL",
};

int countkis(const char *const *ki)
{
    int n = 0;
    while (strcmp(ki[n], "EOL") != 0)
        n++;
    return n;
}

alerttext pickmessage(const char *const *curki, msgfilestate &mood)
{
    const msgfile &file = mood.file;
    if (file.messages.empty()) {
        unsigned r = (unsigned)rand() & 0x7fff;
        int n = countkis(curki);
        return {curki[r % n], L""};
    }
    // The built-in messages that take part come first, then the user's in file order.
    int n = file.only ? 0 : countkis(curki);
    int card = deal(mood.cards, n + (int)file.messages.size());
    if (card < n)
        return {curki[card], L""};
    const std::u16string &mine = file.messages[card - n];
    return {nullptr, std::wstring(mine.begin(), mine.end())};
}

uint32_t intervalfor(uint32_t mintime, uint32_t maxtime, uint32_t r)
{
    return mintime + (((maxtime - mintime) * r) >> 15);
}

void newinterval(context_t *ctx)
{
    ctx->tick = 0;
    uint32_t r = (uint32_t)rand() & 0x7fff;
    ctx->rtime = intervalfor(ctx->mintime, ctx->maxtime, r);
}

bool ontimer(context_t *ctx)
{
    if (ctx->tick < ctx->rtime) {
        ctx->tick++;
        return false;
    }
    newinterval(ctx);
    return true;
}

quietcause alerttick(context_t *ctx, const quietinputs &in, bool waitdue, bool *due)
{
    // The count stands still while quiet, so the held message comes the rest of its
    // interval later rather than at once, and never two together.
    quietcause why = whyquiet(in);
    *due = why == quiet_none && !(waitdue && ctx->tick >= ctx->rtime) && ontimer(ctx);
    return why;
}
