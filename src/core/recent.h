// The last messages shown in this run, for the tray menu to show again. Kept in memory only.
#pragma once

#include "vexolind.h"

#include <stddef.h>

#include <deque>
#include <string>

#define RECENT_MAX 10
#define RECENT_WIDTH 40

// Adds the newest first, keeping at most RECENT_MAX.
void remember(std::deque<alerttext> &list, const alerttext &m);
// A message as a menu item: one line, its first RECENT_WIDTH characters and an ellipsis when
// longer, a pair of surrogates never split, and & doubled so that it shows as itself.
std::wstring recentlabel(const std::wstring &text);
// The text of a message, built-in or the user's.
std::wstring alertwide(const alerttext &m);
