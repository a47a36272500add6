#pragma once

// Tray menu commands
#define IDM_EXIT 55
#define IDM_ABOUT 68
#define IDM_SETTINGS 69
#define IDM_PAUSE 70
#define IDM_MESSAGES 71
#define IDM_MORE 72
#define IDM_PAUSE30 73
#define IDM_PAUSE60 74
#define IDM_PAUSE120 75
#define IDM_PAUSETOMORROW 76
#define IDM_PAUSEFOREVER 77
#define IDM_RECENT 80   // the newest of the recent messages; the older ones follow in order

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
#define IDC_HOURS 509
#define IDC_DAYNOTE 510
#define IDC_ALLDAY 511
#define IDC_TYPING 512
#define IDC_AWAY 513
#define IDC_PROGRAMS 514
#define IDC_STYLEBOX 515
#define IDC_STYLENOTE 516
#define IDC_KEYNOW 517
#define IDC_KEYPAUSE 518
#define IDC_SOUNDDEFAULT 519
#define IDC_SOUNDNONE 520
#define IDC_SOUNDFILE 521
#define IDC_SOUNDPATH 522
#define IDC_BROWSE 523
#define IDC_PLAY 524
#define IDC_LANGUAGE 525
