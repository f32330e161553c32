// Control ids of the dialog that the uidrive test drives.
#pragma once

#define IDD_TARGET 100
#define IDC_LABEL 1000
#define IDC_EDIT 1001
#define IDC_COUNT 1002
#define IDC_COUNTER 1003
#define IDC_CHECK 1004
#define IDC_LIST 1005
#define IDC_ASK 1006
#define IDC_RESULT 1007
#define IDC_CUSTOM 1008
#define IDC_KOREAN 1009
