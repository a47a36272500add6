// A user's message file, read from its bytes, and the deck its messages are dealt from.
// Pure: no window, file or system call, so it builds anywhere (the fuzz target builds it natively).
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

#define MSGFILE_MAXBYTES (1u << 20)
#define MSGFILE_MAXMESSAGES 10000u
#define MSGFILE_MAXCHARS 1000u   // code points

struct msgfile {
    std::vector<std::u16string> messages;   // in file order
    bool only = false;                      // a "!only" line: they replace the built-in ones
};

// A line that is not valid UTF-8, read in the system's ANSI code page.
typedef std::u16string (*ansidecoder)(const char *bytes, size_t size);

// The file's bytes; more than MSGFILE_MAXBYTES tells that the file goes on past the limit.
msgfile parsemsgfile(const unsigned char *data, size_t size, ansidecoder ansi);

// Deals 0..n-1 like a shuffled deck drawn with rand(): none twice before all were dealt, and a
// new shuffle never starts with the card dealt last. A deck of another size starts afresh.
struct deck {
    std::vector<int> order;
    size_t next = 0;
};
int deal(deck &d, int n);

// A message file as last read, with the time and size it had then, and its deck.
struct msgfilestate {
    std::wstring path;
    unsigned long long written = 0;   // the last-write time, as a FILETIME's 64 bits
    unsigned long long size = 0;
    msgfile file;
    deck cards;
};
