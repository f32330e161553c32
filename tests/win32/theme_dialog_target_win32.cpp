// A skinned dialog for the uidrive test: the controls template with its
// standard controls replaced by skinned ones, or, with --plain, left as the
// template made them, so the two can be compared from outside.
#include <cstring>

#include "ThemeClass/ThemeDialog.h"
#include "theme_dialog_test.h"

namespace {

class TargetDialog : public CThemeDialog {
public:
    explicit TargetDialog(bool replace) : CThemeDialog(IDD_SKIN_CONTROLS), m_bReplace(replace) {}

    BOOL OnInitDialog() override {
        CThemeDialog::OnInitDialog();
        SetCaption(m_bReplace ? "skin target" : "skin target plain");
        SetMouseDragMove(TRUE);
        if (m_bReplace) {
            const UINT ids[] = {IDC_SK_LABEL, IDC_SK_GROUP,    IDC_SK_PUSH1, IDC_SK_PUSH2,
                                IDC_SK_RADIO, IDC_SK_PROGRESS, IDC_SK_TRACK, IDC_SK_PLAINCHECK};
            for (UINT id : ids) ReplaceControl(id);
        }
        return TRUE;
    }

private:
    bool m_bReplace;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmd, int) {
    const bool plain = cmd && std::strstr(cmd, "--plain");
    TargetDialog dlg(!plain);
    dlg.DoModal();
    return 0;
}
