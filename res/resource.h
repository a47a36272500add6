#pragma once

// Tray menu commands
#define IDM_EXIT 55
#define IDM_ABOUT 68
#define IDM_SETTINGS 69
#define IDM_PAUSE 70
#define IDM_MESSAGES 71

// Settings dialog controls
#define IDC_SUGGEST 411
#define IDC_KISS 419
#define IDC_MAXSLIDER 420
#define IDC_KICK 421
#define IDC_MINSLIDER 427
#define IDC_AUTOUPDATE 428
#define IDC_AUTORUN 429
