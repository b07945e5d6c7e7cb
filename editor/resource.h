// Resource IDs of OmbrelSet: its window's controls, its menu, its texts.
// Plain defines, read by windres and by the portable editor code alike.
#pragma once

#define IDI_OMBREL 1
#define IDR_MENU_BAR 100

// Controls of Form1.
#define IDC_FRAME1 1000
#define IDC_LIST1 1001
#define IDC_TEXT1 1002
#define IDC_COMMAND1 1003
#define IDC_COMMAND2 1004
#define IDC_COMMAND3 1005
#define IDC_COMMAND4 1006
#define IDC_COMMAND5 1007
#define IDC_COMMAND6 1008
#define IDC_COMMAND7 1009
#define IDC_COMMAND8 1010
#define IDC_LABEL1 1011
#define IDC_LABEL2 1012

// Menu items.
#define IDM_SAVE 2001
#define IDM_CAN 2002
#define IDM_END 2003
#define IDM_HELP 2004
#define IDM_ABOUT 2005
#define IDM_LOGON 2006
#define IDM_RESUME 2010

// The list's context menu and its items.
#define IDR_ENTRY_MENU 2020
#define IDM_ENTRY_OPEN 2021
#define IDM_ENTRY_UP 2022
#define IDM_ENTRY_DOWN 2023
#define IDM_ENTRY_DELETE 2024
#define IDM_ENTRY_COPY 2025

// Texts. Captions of the controls, then the pieces of the messages, which the
// editor joins with paths and line breaks.
#define IDS_PROGRAM_TITLE 3000
#define IDS_COMMAND1 3001
#define IDS_COMMAND2 3002
#define IDS_COMMAND3 3003
#define IDS_COMMAND4 3004
#define IDS_COMMAND5 3005
#define IDS_COMMAND6 3006
#define IDS_COMMAND7 3007
#define IDS_COMMAND8 3008
#define IDS_LABEL1 3009
#define IDS_LABEL2 3010
#define IDS_DATE_CLEAR_FONT 3011
#define IDS_TITLE_PREFIX 3020
#define IDS_BROWSE_TITLE 3021
#define IDS_BROWSE_FILTER 3022
#define IDS_LEAVE_QUESTION_1 3030
#define IDS_LEAVE_QUESTION_2 3031
#define IDS_SAVE_FAILED 3032
#define IDS_STAMP_FAILED 3033
#define IDS_CANNOT_OPEN 3034
#define IDS_LIST_UNREADABLE 3035
#define IDS_UNSAVED_CHANGES 3036
#define IDS_SHORTCUT_NOT_MADE 3037
#define IDS_SHORTCUT_NOT_REMOVED 3038
#define IDS_RUN_AGAIN_1 3040
#define IDS_RUN_AGAIN_2 3041
#define IDS_HELP_MISSING 3050
#define IDS_NO_BROWSER_1 3051
#define IDS_NO_BROWSER_2 3052
#define IDS_NO_BROWSER_3 3053
#define IDS_ABOUT_NAME 3060
#define IDS_ABOUT_NOTICE 3061
#define IDS_TASK_NOT_REGISTERED 3080
#define IDS_TASK_NOT_REMOVED 3081
#define IDS_TASK_OTHER_COPY_1 3082
#define IDS_TASK_OTHER_COPY_2 3083
#define IDS_TASK_DESCRIPTION 3084
#define IDS_SHORTCUT_NOT_SWITCHED_ON 3085
#define IDS_CHANGED_ON_DISK_1 3070
#define IDS_CHANGED_ON_DISK_2 3071
#define IDS_LIST_READ_ONLY 3072
#define IDS_RECOVERED_1 3073
#define IDS_RECOVERED_2 3074
#define IDS_LAUNCHER_MISSING 3090
