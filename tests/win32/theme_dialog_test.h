// Ids of the skinned-dialog test templates.
#pragma once

#define IDD_SKIN_PLAIN 500
#define IDD_SKIN_CONTROLS 501

#define IDC_SK_LABEL 1101
#define IDC_SK_GROUP 1102
#define IDC_SK_PUSH1 1103
#define IDC_SK_PUSH2 1104
#define IDC_SK_RADIO 1105
#define IDC_SK_PROGRESS 1106
#define IDC_SK_TRACK 1107
#define IDC_SK_PLAINCHECK 1108
#define IDC_SK_RADIO_OFF 1109
#define IDC_SK_SCROLL 1110
#define IDC_SK_PUSH3 1111
#define IDC_SK_FRAME 1112
#define IDC_SK_OWNER 1113
#define IDC_SK_CHECK_OFF 1114
