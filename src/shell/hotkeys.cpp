#include "settings.h"
#include "shell.h"

namespace {

const int keyids[] = {HOTKEY_NOW, HOTKEY_PAUSE};

vx::hotkey &keyof(context_t *ctx, int id)
{
    return ctx->keys[id == HOTKEY_NOW ? 0 : 1];
}

// The empty chord is no shortcut, and holding nothing never fails.
bool holdkey(context_t *ctx, int id, chord c)
{
    return !c.vk || keyof(ctx, id).hold(ctx->hwnd, id, RegisterHotKey(ctx->hwnd, id, c.mods | MOD_NOREPEAT, c.vk));
}

void releasekeys(context_t *ctx)
{
    for (int id : keyids)
        keyof(ctx, id).reset();
}

} // namespace

void registerkeys(context_t *ctx)
{
    // A chord another program holds is skipped: the other one still works.
    holdkey(ctx, HOTKEY_NOW, parsechord(ctx->keynow));
    holdkey(ctx, HOTKEY_PAUSE, parsechord(ctx->keypause));
}

int rekey(context_t *ctx, HWND owner, chord now, chord pause)
{
    // Ours first, so that keeping a chord or swapping the two never reads as taken.
    releasekeys(ctx);
    for (int id : keyids) {
        if (!holdkey(ctx, id, id == HOTKEY_NOW ? now : pause)) {
            releasekeys(ctx);
            settings_t file = settingsnow(ctx);
            ctx->keynow = file.keynow;
            ctx->keypause = file.keypause;
            registerkeys(ctx);
            box(owner, trw("That shortcut is taken by another program."), "vexolind", MB_ICONWARNING);
            return id;
        }
    }
    return 0;
}
