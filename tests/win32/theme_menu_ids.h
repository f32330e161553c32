// Ids of the skinned popup menu tests' resources.
#pragma once

#define IDR_TEST_MENU 500

// Submenu positions of IDR_TEST_MENU.
#define SUB_MAIN 0
#define SUB_EMPTY 1
#define SUB_KOREAN 2
#define SUB_DEEP 3

#define ID_OPEN 501
#define ID_DISABLED 502
#define ID_CHECK 503
#define ID_RED 504
#define ID_GREEN 505
#define ID_BLUE 506
#define ID_ALPHA 511
#define ID_BETA 512
#define ID_GAMMA 521
#define ID_DELTA 531
#define ID_KOREAN 541
#define ID_LEAF_BASE 560
#define ID_BOTTOM 599
