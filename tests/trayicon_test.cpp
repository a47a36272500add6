// The icon the tray gets has the system's small-icon size, drawn for it and not scaled: run at
// 96 dpi and again in a session at 144 dpi (VEXOLIND_DPI), where the small size is 24 px.
#include "shell.h"

#include <gtest/gtest.h>

#include <stdlib.h>

namespace {

int iconwidth(HICON icon, int *height)
{
    ICONINFO ii = {};
    if (!GetIconInfo(icon, &ii))
        return 0;
    BITMAP bm = {};
    GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
    *height = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    return bm.bmWidth;
}

// Whether the icon group holds a 32-bit image of exactly this size, so nothing is scaled.
bool drawnat(HMODULE exe, const char *name, int size)
{
    HRSRC r = FindResourceA(exe, name, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    auto *g = r ? static_cast<const BYTE *>(LockResource(LoadResource(exe, r))) : nullptr;
    if (!g)
        return false;
    for (int i = 0, n = *reinterpret_cast<const WORD *>(g + 4); i < n; i++) {
        const BYTE *e = g + 6 + 14 * i;
        if ((e[0] ? e[0] : 256) == size && *reinterpret_cast<const WORD *>(e + 6) == 32)
            return true;
    }
    return false;
}

TEST(trayicon, has_the_small_icon_size_of_the_display)
{
    const char *env = getenv("VEXOLIND_DPI");
    int dpi = env ? atoi(env) : 96;
    int small = MulDiv(16, dpi, 96);
    ASSERT_EQ(GetSystemMetrics(SM_CXSMICON), small) << "the session is not at " << dpi << " dpi";
    ASSERT_EQ(GetSystemMetrics(SM_CYSMICON), small);
    HINSTANCE self = GetModuleHandleA(nullptr);
    for (const char *name : {"KISSES", "Kicker"}) {
        SCOPED_TRACE(name);
        HICON icon = trayicon(self, name);
        ASSERT_TRUE(icon);
        int h = 0;
        EXPECT_EQ(iconwidth(icon, &h), small);
        EXPECT_EQ(h, small);
        EXPECT_TRUE(drawnat(self, name, small));
        // Shared: loading it again, as every mood change does, gives the same handle.
        EXPECT_EQ(trayicon(self, name), icon);
    }
}

} // namespace
