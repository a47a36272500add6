#pragma once

// Tray menu commands
#define IDM_EXIT 55
#define IDM_ABOUT 68
#define IDM_SETTINGS 69
#define IDM_PAUSE 70
#define IDM_MESSAGES 71
#define IDM_MORE 72

// Settings dialog controls
#define IDC_SUGGEST 411
#define IDC_KISS 419
#define IDC_MAXSLIDER 420
#define IDC_KICK 421
#define IDC_MINSLIDER 427
#define IDC_AUTOUPDATE 428
#define IDC_AUTORUN 429

// More-settings dialog controls
#define IDC_MEDIA 501
#define IDC_DAY1 502    // Monday; the six days after it follow in order
#define IDC_FROM 509
#define IDC_TO 510
#define IDC_ALLDAY 511
#define IDC_TYPING 512
#define IDC_AWAY 513
#define IDC_PROGRAMS 514
#define IDC_STYLEBOX 515
#define IDC_STYLENOTE 516
#define IDC_KEYNOW 517
#define IDC_KEYPAUSE 518
