// Resource ids of Quorvel.exe: dialog templates, strings, bitmaps, the icon
// and the registration script. Shared by Quorvel.rc and the code, so it
// holds nothing but #defines (windres reads it too).
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_QUORVEL_DIALOG 102
#define IDD_CONFIG 130
#define IDD_MAP 145
#define IDD_FORMAT 158
#define IDD_DETAIL 160

// The COM server's registration script (type "REGISTRY").
#define IDR_QUORVEL 103

// The application icon.
#define IDR_MAINFRAME 128

// String table (101 to 145, no 113).
#define IDS_ABOUTBOX 101
#define IDS_PRODUCT 102
#define IDS_FORMAT_CONFIRM 103
#define IDS_PLAYLIST 104
#define IDS_DAMAGED_FILE 105
#define IDS_NO_CLIP 106
#define IDS_DETAIL 107
#define IDS_MAP 108
#define IDS_CONFIG 109
#define IDS_FOLDER 110
#define IDS_SELECT_DRIVE 111
#define IDS_FORMAT_CARD 112
#define IDS_QUALITY 114
#define IDS_SENSITIVITY 115
#define IDS_SOUND 116
#define IDS_SENS_HIGH 117
#define IDS_SENS_MID 118
#define IDS_SENS_LOW 119
#define IDS_APPLY 120
#define IDS_PROGRESS 121
#define IDS_FRAME 122
#define IDS_CLOCK 123
#define IDS_OPEN_FAILED 124
#define IDS_FORMAT_DONE 125
#define IDS_FORMAT_ERROR 126
#define IDS_FORMATTING 127
#define IDS_DONE 128
#define IDS_BAD_DISK 129
#define IDS_SELECT_FOLDER 130
#define IDS_SETTINGS_SAVED 131
#define IDS_CANNOT_PLAY 132
#define IDS_FORMAT_TITLE 133
#define IDS_NO_DRIVE 134
#define IDS_SET_TIME 135
#define IDS_BAD_TIME 136
#define IDS_QUAL_HIGH 137
#define IDS_QUAL_MID 138
#define IDS_QUAL_LOW 139
#define IDS_SOUND_HIGH 140
#define IDS_SOUND_MID 141
#define IDS_SOUND_LOW 142
#define IDS_FRAME_HIGH 143
#define IDS_FRAME_MID 144
#define IDS_FRAME_LOW 145

// Bitmaps: magenta-keyed strips of 1 or 4 state frames, and two backs.
#define IDB_GRAPH_BACK 132
#define IDB_CLOSE 139
#define IDB_TEXT_BUTTON 140
#define IDB_SLIDER_BACK 141
#define IDB_SLIDER_THUMB 142
#define IDB_PLAY_RADIO 144
#define IDB_MINIMIZE 148
#define IDB_OPEN 151
#define IDB_PLAY 152
#define IDB_SLOWER 153
#define IDB_FASTER 154
#define IDB_NEXT 155
#define IDB_PAUSE 156
#define IDB_SOUND_ON 157
#define IDB_SOUND_OFF 162
#define IDB_DIAL 170

// System-menu command of the about item.
#define IDM_ABOUTBOX 16

// Controls of the about box (100).
#define IDC_ABOUT_ICON 1090
#define IDC_ABOUT_VERSION 1091
#define IDC_ABOUT_COPYRIGHT 1092

// Controls of the main dialog (102).
#define IDC_OPEN_FILE 3
#define IDC_SEEK_SLIDER 1000
#define IDC_VIDEO 1001
#define IDC_TIME_LABEL 1003
#define IDC_VOLUME_SLIDER 1005
#define IDC_SOUND 1006
#define IDC_PLAY_PAUSE 1007
#define IDC_NEXT 1008
#define IDC_MAP 1009
#define IDC_SLOWER 1010
#define IDC_FASTER 1011
#define IDC_CONFIG 1021
#define IDC_FOLDER 1022
#define IDC_PLAYLIST 1035
#define IDC_CLOSE 1037
#define IDC_MINIMIZE 1038
#define IDC_RADIO_PLAY 1041
#define IDC_RADIO_HIDDEN 1042
#define IDC_DATE_LABEL 1052
#define IDC_DETAIL 1054
#define IDC_SPEED_LABEL 1056

// Controls of the configuration dialog (130); 1037 is its close button.
#define IDC_SENS_HIGH 1012
#define IDC_SENS_MID 1013
#define IDC_SENS_LOW 1014
#define IDC_QUAL_HIGH 1015
#define IDC_QUAL_MID 1016
#define IDC_SOUND_HIGH 1017
#define IDC_DRIVE_COMBO 1018
#define IDC_FORMAT_CARD 1020
#define IDC_QUAL_LOW 1021
#define IDC_SOUND_MID 1022
#define IDC_GROUP_QUALITY 1023
#define IDC_GROUP_SENSITIVITY 1024
#define IDC_LABEL_FRAME 1025
#define IDC_APPLY 1026
#define IDC_GROUP_SOUND 1027
#define IDC_SOUND_LOW 1028
#define IDC_FRAME_HIGH 1029
#define IDC_FRAME_MID 1030
#define IDC_FRAME_LOW 1031
#define IDC_GROUP_FRAME 1032
#define IDC_LABEL_DRIVE 1053
#define IDC_SET_TIME 1054
#define IDC_LABEL_QUALITY 1055
#define IDC_LABEL_SENSITIVITY 1056
#define IDC_LABEL_SOUND 1057
#define IDC_EDIT_YEAR 1063
#define IDC_EDIT_MONTH 1064
#define IDC_GROUP_TIME 1065
#define IDC_EDIT_DAY 1069
#define IDC_EDIT_HOUR 1070
#define IDC_EDIT_MINUTE 1071
#define IDC_EDIT_SECOND 1072

// Controls of the format dialog (158).
#define IDC_FORMAT_PROGRESS 1057
#define IDC_FORMAT_STATUS 1058

// Controls of the detail dialog (160); 1037 is its close button.
#define IDC_UNIT_KMH 1051
#define IDC_HEAD_ACCEL 1074
#define IDC_CAP_X 1075
#define IDC_CAP_Y 1076
#define IDC_CAP_Z 1077
#define IDC_VALUE_LAT 1078
#define IDC_CAP_LAT 1079
#define IDC_CAP_LNG 1080
#define IDC_CAP_SPEED 1081
#define IDC_VALUE_LNG 1082
#define IDC_VALUE_X 1083
#define IDC_VALUE_Y 1084
#define IDC_VALUE_Z 1085
#define IDC_VALUE_SPEED 1086
#define IDC_HEAD_POS 1087
