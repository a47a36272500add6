#include "chord.h"
#include "settings.h"
#include "shell.h"

namespace {

const int keyids[] = {HOTKEY_NOW, HOTKEY_PAUSE};

chord savedchord(const context_t *con, int id)
{
    return parsechord(inistring(con, L"keys", id == HOTKEY_NOW ? L"now" : L"pause", L""));
}

// The empty chord is no shortcut, and holding nothing never fails.
bool holdkey(HWND hwnd, int id, chord c)
{
    return !c.vk || RegisterHotKey(hwnd, id, c.mods | MOD_NOREPEAT, c.vk);
}

} // namespace

void registerkeys(const context_t *con)
{
    // A chord another program holds is skipped: the other one still works.
    for (int id : keyids)
        holdkey(con->hwnd, id, savedchord(con, id));
}

void unregisterkeys(HWND hwnd)
{
    for (int id : keyids)
        UnregisterHotKey(hwnd, id);
}

int rekey(const context_t *con, HWND owner, chord now, chord pause)
{
    // Ours first, so that keeping a chord or swapping the two never reads as taken.
    unregisterkeys(con->hwnd);
    for (int id : keyids) {
        if (!holdkey(con->hwnd, id, id == HOTKEY_NOW ? now : pause)) {
            unregisterkeys(con->hwnd);
            registerkeys(con);
            MessageBoxA(owner, "That shortcut is taken by another program.", "vexolind", MB_ICONWARNING);
            return id;
        }
    }
    return 0;
}
