// The switches a script gives a running vexolind, read without any platform header.
#pragma once

enum switchkind { switch_none, switch_now, switch_pause, switch_resume, switch_kiss, switch_kick, switch_exit };

struct cmdswitch {
    switchkind kind = switch_none;
    int minutes = 0;    // switch_pause: 1 to 1440, or 0 for until resumed
};

// /now, /pause, /pause:MINUTES, /pause:resume, /resume, /kiss, /kick or /exit, in any case and
// with blanks around; anything else is no switch (a settings file, as every command line was).
cmdswitch parseswitch(const wchar_t *tail);
