// A dialog with a few standard controls and a list view for the uidrive
// test: its controls answer what uidrive does to them in a label, so the
// test can read the effect back through uidrive.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "uidrive_target.h"

namespace {

HBRUSH g_back = nullptr;
int g_count = 0;

void Result(HWND dlg, const char* text) { SetDlgItemTextA(dlg, IDC_RESULT, text); }

void FillList(HWND list) {
    const char* cols[] = {"Name", "Size"};
    for (int c = 0; c < 2; ++c) {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.cx = 100;
        col.pszText = const_cast<char*>(cols[c]);
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(c),
                     reinterpret_cast<LPARAM>(&col));
    }
    const char* rows[][2] = {
        {"alpha.mp4", "1025"}, {"beta two.mp4", "2048"}, {"2012/01/01 - 05:30:00", "7"}};
    for (int r = 0; r < 3; ++r) {
        LVITEMA it = {};
        it.mask = LVIF_TEXT;
        it.iItem = r;
        it.pszText = const_cast<char*>(rows[r][0]);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
        it.iSubItem = 1;
        it.pszText = const_cast<char*>(rows[r][1]);
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&it));
    }
}

INT_PTR CALLBACK DlgProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
    char buf[64];
    switch (m) {
        case WM_INITDIALOG:
            SetDlgItemTextA(dlg, IDC_EDIT, "hello");
            FillList(GetDlgItem(dlg, IDC_LIST));
            return TRUE;
        case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(g_back);
        case WM_COMMAND:
            switch (LOWORD(w)) {
                case IDC_COUNT:
                    if (HIWORD(w) == BN_CLICKED)
                        SetDlgItemInt(dlg, IDC_COUNTER, static_cast<UINT>(++g_count), FALSE);
                    return TRUE;
                case IDC_ASK:
                    if (HIWORD(w) == BN_CLICKED) {
                        int r = MessageBoxA(dlg, "Really delete?\nSecond line", "Question",
                                            MB_YESNO | MB_ICONQUESTION);
                        Result(dlg, r == IDYES ? "yes" : r == IDNO ? "no" : "other");
                    }
                    return TRUE;
                case IDC_CUSTOM:
                    std::snprintf(buf, sizeof buf, "cmd=%d code=%d", LOWORD(w), HIWORD(w));
                    Result(dlg, buf);
                    return TRUE;
                default: break;
            }
            break;
        case WM_NOTIFY: {
            const NMHDR* nm = reinterpret_cast<const NMHDR*>(l);
            if (nm->idFrom == IDC_LIST && nm->code == NM_DBLCLK) {
                std::snprintf(buf, sizeof buf, "dbl=%d",
                              reinterpret_cast<const NMITEMACTIVATE*>(l)->iItem);
                Result(dlg, buf);
            }
            break;
        }
        case WM_CLOSE: DestroyWindow(dlg); return TRUE;
        case WM_DESTROY: PostQuitMessage(0); return TRUE;
        default: break;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    g_back = CreateSolidBrush(RGB(0, 128, 255));
    HWND dlg = CreateDialogParamA(inst, MAKEINTRESOURCEA(IDD_TARGET), nullptr, DlgProc, 0);
    if (!dlg) return 1;
    SetWindowPos(dlg, HWND_TOPMOST, 120, 100, 0, 0, SWP_NOSIZE);
    SetForegroundWindow(dlg);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(dlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    DeleteObject(g_back);
    return 0;
}
