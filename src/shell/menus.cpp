#include "lang.h"
#include "pauseplan.h"
#include "recent.h"
#include "resource.h"
#include "shell.h"

namespace {

// The position in menu of the submenu that holds the command, or -1.
int submenuwith(HMENU menu, UINT cmd)
{
    for (int i = 0, n = GetMenuItemCount(menu); i < n; i++) {
        HMENU sub = GetSubMenu(menu, i);
        if (sub && GetMenuState(sub, cmd, MF_BYCOMMAND) != (UINT)-1)
            return i;
    }
    return -1;
}

} // namespace

bool pausecommand(int cmd, int *minutes)
{
    static const int choices[][2] = {{IDM_PAUSE30, 30},
                                     {IDM_PAUSE60, PAUSE_HOUR},
                                     {IDM_PAUSE120, 120},
                                     {IDM_PAUSETOMORROW, PAUSE_TOMORROW},
                                     {IDM_PAUSEFOREVER, PAUSE_UNTILRESUMED}};
    for (auto &c : choices)
        if (c[0] == cmd) {
            *minutes = c[1];
            return true;
        }
    return false;
}

void shapemenu(const context_t *ctx, HMENU popup, bool paused)
{
    int pause = submenuwith(popup, IDM_PAUSE60);
    // While paused the item ends the pause at once. Deleted and inserted rather than modified:
    // Wine keeps a modified item's submenu, where Windows drops it.
    if (paused && pause >= 0 && DeleteMenu(popup, pause, MF_BYPOSITION))
        InsertMenuW(popup, pause, MF_BYPOSITION | MF_STRING, IDM_PAUSE, trw("&Resume").c_str());
    int recent = submenuwith(popup, IDM_RECENT);
    const std::deque<alerttext> &list = ctx->recent;
    if (recent < 0 || list.empty())
        return;
    HMENU sub = GetSubMenu(popup, recent);
    DeleteMenu(sub, IDM_RECENT, MF_BYCOMMAND);
    for (size_t i = 0; i < list.size(); i++)
        AppendMenuW(sub, MF_STRING, IDM_RECENT + i, recentlabel(alertwide(list[i])).c_str());
}
