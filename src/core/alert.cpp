#include "vexolind.h"

#include "msgfiles.h"
#include "quietdecision.h"

#include <stdlib.h>
#include <string.h>

#include <string>

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

int doAlert(HWND hWnd, const char *text)
{
    // The built-in texts are ASCII; any other is read in the ANSI code page, as MessageBoxA would.
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(n > 0 ? (size_t)n : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], n);
    userbox(hWnd, wide.c_str(), L"vexolind", MB_ICONWARNING);
    return 1;
}

namespace {
struct moodfile {
    msgfilestate state;
    deck cards;
};
} // namespace

alerttext nextmessage(context_t *con)
{
    static moodfile moods[2];
    moodfile &mood = moods[con->curki == kisses ? 0 : 1];
    if (refreshmsgfile(msgfilepath(con), mood.state))
        mood.cards = deck{};
    const msgfile &file = mood.state.file;
    if (file.messages.empty()) {
        unsigned r = (unsigned)rand() & 0x7fff;
        int n = countkis(con->curki);
        return {con->curki[r % n], L""};
    }
    // The built-in messages that take part come first, then the user's in file order.
    int n = file.only ? 0 : countkis(con->curki);
    int card = deal(mood.cards, n + (int)file.messages.size());
    if (card < n)
        return {con->curki[card], L""};
    const std::u16string &mine = file.messages[card - n];
    return {nullptr, std::wstring(mine.begin(), mine.end())};
}

int veXoLind(context_t *con)
{
    static int inside;
    if (inside)
        return -1;
    inside++;
    alerttext m = nextmessage(con);
    // The built-in tables are ASCII.
    std::wstring text = m.builtin ? std::wstring(m.builtin, m.builtin + strlen(m.builtin)) : m.user;
    showmessage(con, text.c_str(), m.builtin);
    inside--;
    return 1;
}

uint32_t intervalfor(uint32_t mintime, uint32_t maxtime, uint32_t r)
{
    return mintime + (((maxtime - mintime) * r) >> 15);
}

void newinterval(void)
{
    con->tick = 0;
    uint32_t r = (uint32_t)rand() & 0x7fff;
    con->rtime = intervalfor(con->mintime, con->maxtime, r);
}

void ontimer(void)
{
    if (con->tick < con->rtime) {
        con->tick++;
        return;
    }
    // The next interval is drawn before the message so it runs from the moment the box appears.
    newinterval();
    veXoLind(con);
}

int alerttick(const quietinputs &in, bool waitdue)
{
    // The count stands still while quiet, so the held message comes the rest of its
    // interval later rather than at once, and never two together.
    quietcause why = whyquiet(in);
    if (why == quiet_none && !(waitdue && con->tick >= con->rtime))
        ontimer();
    return why;
}
