// What the program's dialog templates must hold: every control with the
// skinned kind its dialog replaces it by (0: a control the dialog keeps as
// it is), and the string texts the program shows. Shared by the native
// check of Quorvel.rc and the check of the compiled resources under Wine.
#pragma once

namespace quorvelres {

// Kinds as the skinned dialog numbers them.
enum {
    kStatic = 1,
    kGroup = 2,
    kButton = 3,
    kRadio = 5,
    kEdit = 6,
    kCombo = 8,
    kProgress = 9,
    kListCtrl = 10,
    kSlider = 11
};

struct ExpectedControl {
    unsigned dialog;
    unsigned id;
    int kind;
};

const ExpectedControl kExpectedControls[] = {
    // About box: icon, two texts, OK.
    {100, 1090, kStatic},
    {100, 1091, kStatic},
    {100, 1092, kStatic},
    {100, 1, kButton},
    // Main dialog.
    {102, 1037, kButton},
    {102, 1038, kButton},
    {102, 1001, kStatic},
    {102, 1000, kSlider},
    {102, 3, kButton},
    {102, 1010, kButton},
    {102, 1007, kButton},
    {102, 1011, kButton},
    {102, 1008, kButton},
    {102, 1056, kStatic},
    {102, 1003, kStatic},
    {102, 1052, kStatic},
    {102, 1041, kRadio},
    {102, 1042, kRadio},
    {102, 1035, kListCtrl},
    {102, 1006, kStatic},
    {102, 1005, kSlider},
    {102, 1009, kButton},
    {102, 1054, kButton},
    {102, 1021, kButton},
    {102, 1022, kButton},
    // Configuration dialog.
    {130, 1037, kButton},
    {130, 1020, kButton},
    {130, 1026, kButton},
    {130, 1053, kStatic},
    {130, 1027, kGroup},
    {130, 1057, kStatic},
    {130, 1017, kRadio},
    {130, 1022, kRadio},
    {130, 1028, kRadio},
    {130, 1024, kGroup},
    {130, 1056, kStatic},
    {130, 1012, kRadio},
    {130, 1013, kRadio},
    {130, 1014, kRadio},
    {130, 1023, kGroup},
    {130, 1055, kStatic},
    {130, 1015, kRadio},
    {130, 1016, kRadio},
    {130, 1021, kRadio},
    {130, 1032, kGroup},
    {130, 1025, kStatic},
    {130, 1029, kRadio},
    {130, 1030, kRadio},
    {130, 1031, kRadio},
    {130, 1018, kCombo},
    {130, 1065, kGroup},
    {130, 1063, kEdit},
    {130, 1064, kEdit},
    {130, 1069, kEdit},
    {130, 1070, kEdit},
    {130, 1071, kEdit},
    {130, 1072, kEdit},
    {130, 1054, kButton},
    // Map dialog.
    {145, 1037, kButton},
    // Format dialog.
    {158, 1057, kProgress},
    {158, 1058, kStatic},
    // Detail dialog.
    {160, 1037, kButton},
    {160, 1074, kStatic},
    {160, 1075, kStatic},
    {160, 1076, kStatic},
    {160, 1077, kStatic},
    {160, 1083, kStatic},
    {160, 1084, kStatic},
    {160, 1085, kStatic},
    {160, 1087, kStatic},
    {160, 1079, kStatic},
    {160, 1080, kStatic},
    {160, 1078, kStatic},
    {160, 1082, kStatic},
    {160, 1081, kStatic},
    {160, 1086, kStatic},
    {160, 1051, kStatic},
};

// Dialog sizes in dialog units where the program fixes them (0: free).
struct ExpectedDialog {
    unsigned id;
    int width, height;
};
const ExpectedDialog kExpectedDialogs[] = {
    {100, 0, 0}, {102, 0, 0}, {130, 113, 177}, {145, 167, 230}, {158, 187, 75}, {160, 90, 177},
};

// Texts the program shows, as UTF-8.
struct ExpectedString {
    unsigned id;
    const char* text;
};
const ExpectedString kExpectedStrings[] = {
    {101, "Quorvel 정보(&A)..."},
    {103,
     "초기화를 하면 설정치가 초기화되고,\n모든 영상 데이터가 삭제됩니다.\n초기화를 하시겠습니까?"},
    {104, "Play List"},
    {105, "손상된 파일입니다"},
    {107, "상세"},
    {108, "지도"},
    {109, "환경설정"},
    {110, "폴더선택"},
    {111, "저장장치 선택"},
    {112, "SD카드 초기화"},
    {117, "고"},
    {118, "중"},
    {119, "저"},
    {120, "적용"},
    {121, "진행상황"},
    {124, "열기 실패"},
    {125, "SD카드 초기화 완료"},
    {126, "포맷 에러"},
    {127, "포맷중"},
    {128, "완료"},
    {129, "잘못된 디스크입니다"},
    {130, "BLACKBOX폴더를 선택해주세요."},
    {131, "설정치가 변경되었습니다."},
    {132, "파일을 재생할 수 없습니다. \n재생하려는 파일이 지원되지 않을 가능성이 있습니다. "},
    {133, "초기화중..."},
    {135, "시간 설정"},
    {136, "잘못된 날짜 / 시간입니다."},
    {137, "고"},
    {138, "중"},
    {139, "저"},
    {140, "고"},
    {141, "중"},
    {142, "저"},
    {143, "고"},
    {144, "중"},
    {145, "저"},
};

// Bitmap sizes the program relies on: the graph background is copied as
// 549 x 97, the dial's top-left 174 x 174 pixels are used.
struct ExpectedBitmapSize {
    unsigned id;
    int minWidth, minHeight, exactWidth, exactHeight;  // exact: 0 when free
};
const ExpectedBitmapSize kExpectedBitmapSizes[] = {
    {132, 549, 97, 549, 97},
    {170, 174, 174, 0, 0},
};

}  // namespace quorvelres
