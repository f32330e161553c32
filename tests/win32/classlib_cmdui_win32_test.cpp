// Command-state updates: a target's ON_UPDATE_COMMAND_UI handlers set the
// items of a real popup menu (enabled, greyed, checked, text), commands
// without a handler are greyed or left alone, and a control stands in for
// a menu item.
#include "classlib/afxcmdui.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const UINT ID_TEST_CHECK = 0x8101;
const UINT ID_TEST_TEXT = 0x8102;

class Target : public CCmdTarget {
public:
    BOOL canCopy = FALSE, canCut = FALSE;
    int check = 0;
    int asked = 0;

    void OnUpdateCopy(CCmdUI* ui) {
        ++asked;
        ui->Enable(canCopy);
    }
    void OnUpdateCut(CCmdUI* ui) {
        ++asked;
        ui->Enable(canCut);
    }
    void OnUpdateCheck(CCmdUI* ui) { ui->SetCheck(check); }
    void OnUpdateText(CCmdUI* ui) { ui->SetText("Renamed"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Target, CCmdTarget)
    ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateCopy)
    ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateCut)
    ON_UPDATE_COMMAND_UI(ID_TEST_CHECK, OnUpdateCheck)
    ON_UPDATE_COMMAND_UI(ID_TEST_TEXT, OnUpdateText)
END_MESSAGE_MAP()

// Copy, separator, Cut, Paste (no handler), check item, text item, submenu.
HMENU MakeMenu() {
    HMENU m = ::CreatePopupMenu();
    ::AppendMenuA(m, MF_STRING, ID_EDIT_COPY, "Copy");
    ::AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(m, MF_STRING | MF_GRAYED, ID_EDIT_CUT, "Cut");
    ::AppendMenuA(m, MF_STRING, ID_EDIT_PASTE, "Paste");
    ::AppendMenuA(m, MF_STRING, ID_TEST_CHECK, "Check");
    ::AppendMenuA(m, MF_STRING, ID_TEST_TEXT, "Text");
    HMENU sub = ::CreatePopupMenu();
    ::AppendMenuA(sub, MF_STRING, ID_EDIT_COPY, "Inner");
    ::AppendMenuA(m, MF_POPUP, (UINT_PTR)sub, "More");
    return m;
}

bool Grayed(HMENU m, UINT id) { return (::GetMenuState(m, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

TEST(CmdUI, MenuItemsFollowTheHandlers) {
    struct Case {
        const char* name;
        BOOL canCopy, canCut, disableIfNoHandler;
        int check;
        bool copyGrayed, cutGrayed, pasteGrayed, checked;
    };
    const Case cases[] = {
        {"copy on, cut off", TRUE, FALSE, TRUE, 0, false, true, true, false},
        {"both on", TRUE, TRUE, TRUE, 1, false, false, true, true},
        {"both off", FALSE, FALSE, TRUE, 0, true, true, true, false},
        {"no handler left alone", TRUE, TRUE, FALSE, 2, false, false, false, true},
    };
    for (const Case& k : cases) {
        Target t;
        t.canCopy = k.canCopy;
        t.canCut = k.canCut;
        t.check = k.check;
        HMENU m = MakeMenu();
        AfxUpdateMenuCmdUI(m, &t, k.disableIfNoHandler);
        EXPECT_EQ(k.copyGrayed, Grayed(m, ID_EDIT_COPY)) << k.name;
        EXPECT_EQ(k.cutGrayed, Grayed(m, ID_EDIT_CUT)) << k.name;
        EXPECT_EQ(k.pasteGrayed, Grayed(m, ID_EDIT_PASTE)) << k.name;
        EXPECT_EQ(k.checked,
                  (::GetMenuState(m, ID_TEST_CHECK, MF_BYCOMMAND) & MF_CHECKED) != 0)
            << k.name;
        char text[32] = {};
        ::GetMenuStringA(m, ID_TEST_TEXT, text, sizeof(text), MF_BYCOMMAND);
        EXPECT_STREQ("Renamed", text) << k.name;
        EXPECT_EQ(2, t.asked) << k.name << ": the submenu is not walked";
        // The separator and the submenu are untouched.
        EXPECT_NE(nullptr, ::GetSubMenu(m, 6)) << k.name;
        EXPECT_EQ(7, ::GetMenuItemCount(m)) << k.name;
        ::DestroyMenu(m);
    }
}

TEST(CmdUI, DoUpdateReportsTheAnswer) {
    Target t;
    t.canCopy = TRUE;
    CCmdUI ui;
    ui.m_nID = ID_EDIT_COPY;
    EXPECT_TRUE(ui.DoUpdate(&t, TRUE));
    EXPECT_EQ(1, ui.GetEnabled());
    ui.m_nID = ID_EDIT_PASTE;
    EXPECT_FALSE(ui.DoUpdate(&t, TRUE));
    EXPECT_EQ(0, ui.GetEnabled()) << "no handler: disabled";
    EXPECT_FALSE(ui.DoUpdate(&t, FALSE));
    EXPECT_EQ(-1, ui.GetEnabled()) << "no handler, left alone";
}

TEST(CmdUI, ControlStandsInForAnItem) {
    HWND button = ::CreateWindowA("BUTTON", "b", WS_POPUP | BS_CHECKBOX, 0, 0, 20, 20, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, button);
    CWnd w;
    w.Attach(button);
    Target t;
    t.check = 1;
    CCmdUI ui;
    ui.m_pOther = &w;
    ui.m_nID = ID_EDIT_CUT;
    ui.DoUpdate(&t, TRUE);
    EXPECT_FALSE(::IsWindowEnabled(button));
    t.canCut = TRUE;
    ui.DoUpdate(&t, TRUE);
    EXPECT_TRUE(::IsWindowEnabled(button));
    ui.m_nID = ID_TEST_CHECK;
    ui.DoUpdate(&t, TRUE);
    EXPECT_EQ(BST_CHECKED, ::SendMessageA(button, BM_GETCHECK, 0, 0));
    w.Detach();
    ::DestroyWindow(button);
}

}  // namespace
