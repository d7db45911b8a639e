// Resource ids of the resource library (VelRes.dll). Shared by the program's
// sources and by resources/VelRes.rc, so it must stay plain preprocessor text.
#ifndef VELMORAX_RESOURCE_IDS_H
#define VELMORAX_RESOURCE_IDS_H

// Dialog templates
#define IDD_ABOUT               100
#define IDD_MAIN                102
#define IDD_PAGE_HOTKEYS        109
#define IDD_PAGE_REGION         110
#define IDD_PAGE_VIDEO          111
#define IDD_PAGE_SOUND          112
#define IDD_HOTKEY_EDIT         129
#define IDD_INSTALL_DIR         136
#define IDD_SETTINGS_PANEL      156

// Icon; the crosshair cursor is a named resource, "CROSSCUR"
#define IDI_MAIN                128

// Strings
#define IDS_ABOUT_MENU          101   // About entry of the system menu
#define IDS_TITLE_PAUSE         109   // hotkey dialog titles
#define IDS_TITLE_START         110
#define IDS_TITLE_SINGLESHOT    111
#define IDS_TITLE_LOCKPAN       128
#define IDS_MOD_SHIFT           112   // modifier names, used as prefixes
#define IDS_MOD_CONTROL         113
#define IDS_MOD_ALT             114
#define IDS_NO_KEY              115   // description when no key is set
#define IDS_HOTKEY_FAILED       116   // follows the description and a line feed
#define IDS_AVI_STEP_FAILED     117   // holds %1
#define IDS_TOO_SLOW            119   // frames not written fast enough
#define IDS_SUMMARY             120   // printf: frames, skipped frames
#define IDS_SOUND_FAILED        121   // printf: AVI error number
#define IDS_NO_SOUND_DEVICE     122   // under a stop message: no wave input device
#define IDS_SOUND_NOT_STARTED   123   // under a stop message: the device would not record
#define IDS_FILE_LIMIT          125   // %1 the size limit, %2 the file
#define IDS_DISK_FULL           126   // %1 the file
#define IDS_VIDEO_FAILED        127   // %1 the AVI error number, %2 the file
#define IDS_UNINSTALL_ASK       129
#define IDS_COMPRESSOR_NONE     134
#define IDS_COMPRESSOR_DIB      135
#define IDS_RESTORE_ASK         136
#define IDS_FILE_NAME_UNUSABLE  137   // output-file dialog: a name the program cannot use
#define IDS_TAB_REGION          141
#define IDS_TAB_HOTKEYS         142
#define IDS_TAB_VIDEO           143
#define IDS_TAB_SOUND           144
#define IDS_RECOVER_ASK         160   // printf: frames, seconds; then %1: the file
#define IDS_RECOVER_FAILED      161   // %1: the file
#define IDS_START_CAPTION       57358
#define IDS_INVALID_INT         61712
#define IDS_INVALID_NUMBER      61713

// Commands and controls shared by several templates
#define ID_HELP_CMD             57670 // the help command (ID_HELP)
#define IDM_ABOUT               16    // About entry of the system menu

// Main window (102); the button captions name their bitmaps: caption + U, D, F, X
#define IDC_START               1000
#define IDC_STOP                1001
#define IDC_OPEN                1002
#define IDC_PAUSE               1003
#define IDC_SETTINGS            1076
#define IDC_EXIT                1079

// Settings panel (156)
#define IDC_RESTORE_DEFAULTS    1004
#define IDC_TABS                1065
#define IDC_PANEL_HELP          1077

// About box (100)
#define IDC_VERSION_TEXT        1066

// Hotkey page (109)
#define IDC_PAN_SHIFT           1012
#define IDC_PAN_CONTROL         1013
#define IDC_PAN_ALT             1014
#define IDC_HK_START            1015
#define IDC_HK_PAUSE            1016
#define IDC_HK_LOCKPAN          1017
#define IDC_PAN_LOCKED          1018
#define IDC_HK_SINGLESHOT       1019

// Region page (110)
#define IDC_REGION_DRAG         1019
#define IDC_REGION_PICK         1020
#define IDC_REGION_LEFT         1023
#define IDC_REGION_TOP          1024
#define IDC_REGION_WIDTH        1025
#define IDC_REGION_HEIGHT       1026
#define IDC_HIDE_NONE           1047  // radio group, choices 0 to 3 in this order
#define IDC_HIDE_MINIMIZE       1048
#define IDC_HIDE_HIDE           1049
#define IDC_HIDE_HIDE_ALL       1050
#define IDC_REGION_OUTLINE      1074

// Video page (111)
#define IDC_VIDEO_FILE          1020
#define IDC_VIDEO_FPS           1021
#define IDC_VIDEO_NUMBERING     1022
#define IDC_VIDEO_FPS_PLAY      1023
#define IDC_VIDEO_SOUND         1024
#define IDC_VIDEO_KEYFRAMES     1025
#define IDC_VIDEO_QUALITY       1026
#define IDC_VIDEO_BROWSE        1027
#define IDC_VIDEO_COMPRESSOR    1058

// Sound page (112)
#define IDC_SOUND_8BIT          1069
#define IDC_SOUND_16BIT         1070
#define IDC_SOUND_11K           1071
#define IDC_SOUND_22K           1072
#define IDC_SOUND_44K           1073
#define IDC_SHOW_CLICKS         1080
#define IDC_KEYS_OFF            1081  // radio group, ShowKeys 0 to 2 in this order
#define IDC_KEYS_SHORTCUTS      1082
#define IDC_KEYS_ALL            1083

// Hotkey edit dialog (129)
#define IDC_HOTKEY_CTRL         1016
#define IDC_HOTKEY_TITLE        1017

// Install-folder chooser (136)
#define IDC_INSTALL_FOLDER      1088

#endif
