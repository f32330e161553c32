// Dialogs of the class library in real windows: how a modal dialog ends
// (buttons, Enter, Escape, WM_CLOSE, Alt+F4), data exchange on OK, the
// owner disabled while the dialog runs, PreTranslateMessage in the modal
// loop, and modeless dialogs.
#include "classlib/afxwin.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const UINT IDD_TEST = 100;
const UINT IDD_HIDDEN = 101;
const int IDC_TEXT = 1000;
const int IDC_NUMBER = 1005;
const int IDC_CHECK = 1001;
const int IDC_RADIO1 = 1002;

std::vector<std::string> g_boxes;  // texts of the message boxes shown
int AnswerBox(HWND, LPCTSTR lpszText, LPCTSTR, UINT) {
    g_boxes.push_back(lpszText);
    return IDOK;
}

class CHost : public CWnd {
public:
    BOOL Make() {
        return CreateEx(WS_EX_TOPMOST, nullptr, "dialog owner", WS_POPUP | WS_VISIBLE, 60, 60, 300,
                        200, nullptr, nullptr);
    }
};

// An edit that records the keys the loop offers it and eats F2.
class CKeyEdit : public CEdit {
public:
    std::vector<std::string>* pLog = nullptr;
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN && pLog) {
            pLog->push_back("edit:" + std::to_string(pMsg->wParam));
            if (pMsg->wParam == VK_F2) return TRUE;
        }
        return CEdit::PreTranslateMessage(pMsg);
    }
};

class CTestDlg : public CDialog {
public:
    explicit CTestDlg(CWnd* pParent, UINT nID = IDD_TEST) : CDialog(nID, pParent) {}

    CString m_text = "initial";
    int m_number = 5;
    int m_check = 1;
    int m_radio = 2;
    CKeyEdit m_edit;
    std::vector<std::string> log;
    std::function<void(CTestDlg*)> onInit;
    std::function<void(CTestDlg*)> onTimer;
    int nExchangeSave = 0, nExchangeLoad = 0, nOK = 0, nCancel = 0;
    BOOL bOwnerEnabledInside = -1;
    BOOL bVisibleAtTimer = -1;

    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        ++(pDX->m_bSaveAndValidate ? nExchangeSave : nExchangeLoad);
        if (GetDlgItem(IDC_TEXT)) {
            DDX_Control(pDX, IDC_TEXT, m_edit);
            DDX_Text(pDX, IDC_TEXT, m_text);
            DDX_Text(pDX, IDC_NUMBER, m_number);
            DDV_MinMaxInt(pDX, m_number, 0, 100);
            DDX_Check(pDX, IDC_CHECK, m_check);
            DDX_Radio(pDX, IDC_RADIO1, m_radio);
        }
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_edit.pLog = &log;
        if (m_pParentWnd) bOwnerEnabledInside = m_pParentWnd->IsWindowEnabled();
        if (onInit) onInit(this);
        return TRUE;
    }
    void OnOK() override {
        ++nOK;
        CDialog::OnOK();
    }
    void OnCancel() override {
        ++nCancel;
        CDialog::OnCancel();
    }
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN) log.push_back("dlg:" + std::to_string(pMsg->wParam));
        return CDialog::PreTranslateMessage(pMsg);
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent) {
        KillTimer(nIDEvent);
        bVisibleAtTimer = IsWindowVisible();
        if (onTimer) onTimer(this);
    }
    void Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { PostMessage(msg, wp, lp); }
    void PostTo(int nID, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
        ::PostMessageA(::GetDlgItem(m_hWnd, nID), msg, wp, lp);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

struct DialogFixture : ::testing::Test {
    static CHost* s_host;
    static void SetUpTestSuite() {
        if (s_host) return;
        s_host = new CHost;
        ASSERT_TRUE(s_host->Make());
    }
    void SetUp() override {
        ASSERT_NE(nullptr, s_host->m_hWnd);
        s_host->EnableWindow(TRUE);
        g_boxes.clear();
        AfxSetMessageBoxHook(AnswerBox);
    }
    void TearDown() override {
        AfxSetMessageBoxHook(nullptr);
        CWnd::DeleteTempMap();
    }
};
CHost* DialogFixture::s_host = nullptr;

// A safety net: a dialog that a broken loop would never end closes itself.
void Watchdog(CTestDlg* d) { d->SetTimer(99, 5000); }

struct EndCase {
    const char* name;
    std::function<void(CTestDlg*)> act;  // run in OnInitDialog
    INT_PTR result;
    int nOK, nCancel;
};

class ModalEnd : public DialogFixture, public ::testing::WithParamInterface<EndCase> {};

TEST_P(ModalEnd, EndsWithTheRightCode) {
    const EndCase& c = GetParam();
    CTestDlg dlg(s_host);
    dlg.onInit = [&](CTestDlg* d) {
        Watchdog(d);
        c.act(d);
    };
    dlg.onTimer = [](CTestDlg* d) { d->EndDialog(-2); };
    EXPECT_EQ(c.result, dlg.DoModal());
    EXPECT_EQ(c.nOK, dlg.nOK);
    EXPECT_EQ(c.nCancel, dlg.nCancel);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_FALSE(dlg.bOwnerEnabledInside) << "the owner is disabled while the dialog runs";
    EXPECT_TRUE(s_host->IsWindowEnabled()) << "and enabled again after";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModalEnd,
    ::testing::Values(
        EndCase{"WmClose", [](CTestDlg* d) { d->Post(WM_CLOSE); }, IDCANCEL, 0, 1},
        EndCase{"AltF4", [](CTestDlg* d) { d->PostTo(IDC_TEXT, WM_SYSKEYDOWN, VK_F4, 1 << 29); },
                IDCANCEL, 0, 1},
        EndCase{"SysCommandClose", [](CTestDlg* d) { d->Post(WM_SYSCOMMAND, SC_CLOSE); }, IDCANCEL,
                0, 1},
        EndCase{"EscapeInEdit", [](CTestDlg* d) { d->PostTo(IDC_TEXT, WM_KEYDOWN, VK_ESCAPE); },
                IDCANCEL, 0, 1},
        EndCase{"EnterInEdit", [](CTestDlg* d) { d->PostTo(IDC_TEXT, WM_KEYDOWN, VK_RETURN); },
                IDOK, 1, 0},
        EndCase{"OkButton", [](CTestDlg* d) { d->PostTo(IDOK, BM_CLICK); }, IDOK, 1, 0},
        EndCase{"CancelButton", [](CTestDlg* d) { d->PostTo(IDCANCEL, BM_CLICK); }, IDCANCEL, 0, 1},
        EndCase{"EndDialogInInit", [](CTestDlg* d) { d->EndDialog(42); }, 42, 0, 0},
        EndCase{"DestroyedWithoutEndDialog",
                [](CTestDlg* d) {
                    d->onTimer = [](CTestDlg* x) { x->DestroyWindow(); };
                    d->SetTimer(8, 1);
                },
                -1, 0, 0}),
    [](const ::testing::TestParamInfo<EndCase>& i) { return std::string(i.param.name); });

TEST_F(DialogFixture, OkExchangesDataBothWays) {
    CTestDlg dlg(s_host);
    dlg.m_text = "from member";
    dlg.m_number = 17;
    dlg.m_check = 1;
    dlg.m_radio = 2;
    CString seenText;
    int seenRadio3 = -1;
    dlg.onInit = [&](CTestDlg* d) {
        Watchdog(d);
        d->GetDlgItemText(IDC_TEXT, seenText);
        seenRadio3 = d->IsDlgButtonChecked(1004);
        d->SetDlgItemText(IDC_TEXT, "한글 입력");
        d->SetDlgItemText(IDC_NUMBER, " 42 ");
        d->CheckDlgButton(IDC_CHECK, BST_UNCHECKED);
        d->CheckRadioButton(1002, 1004, 1003);
        d->PostTo(IDOK, BM_CLICK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_STREQ("from member", (LPCSTR)seenText);
    EXPECT_EQ(BST_CHECKED, seenRadio3);
    EXPECT_EQ(1, dlg.nExchangeLoad);
    EXPECT_EQ(1, dlg.nExchangeSave);
    EXPECT_STREQ("한글 입력", (LPCSTR)dlg.m_text);
    EXPECT_EQ(42, dlg.m_number);
    EXPECT_EQ(0, dlg.m_check);
    EXPECT_EQ(1, dlg.m_radio);
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(DialogFixture, OkWithBadNumberKeepsTheDialogOpen) {
    struct Case {
        const char* name;
        const char* number;
        int member;  // unread text leaves the member; a range check comes after reading
    } cases[] = {{"trailing letters", "12x", 3},
                 {"empty", "", 3},
                 {"out of range", "101", 101},
                 {"overflow", "99999999999999999999", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_boxes.clear();
        CTestDlg dlg(s_host);
        dlg.m_number = 3;
        BOOL bAliveAfterOK = FALSE;
        dlg.onInit = [&](CTestDlg* d) {
            Watchdog(d);
            d->SetDlgItemText(IDC_NUMBER, c.number);
            d->PostTo(IDOK, BM_CLICK);
            d->SetTimer(7, 1);  // timers come after the posted click
        };
        dlg.onTimer = [&](CTestDlg* d) {
            bAliveAfterOK = ::IsWindow(d->m_hWnd) && d->IsWindowVisible();
            d->PostTo(IDCANCEL, BM_CLICK);
        };
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
        EXPECT_TRUE(bAliveAfterOK);
        EXPECT_EQ(1, dlg.nOK);
        EXPECT_EQ(c.member, dlg.m_number);
        EXPECT_EQ(1u, g_boxes.size()) << "the user is told why";
    }
}

TEST_F(DialogFixture, PreTranslateMessageWalksFromControlToDialogInModalLoop) {
    CTestDlg dlg(s_host);
    dlg.onInit = [](CTestDlg* d) {
        Watchdog(d);
        d->m_edit.SetFocus();
        d->PostTo(IDC_TEXT, WM_KEYDOWN, 'A');
        d->PostTo(IDC_TEXT, WM_KEYDOWN, VK_F2);  // eaten by the edit
        d->PostTo(IDC_TEXT, WM_KEYDOWN, VK_ESCAPE);
    };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    std::vector<std::string> want = {"edit:65", "dlg:65", "edit:113", "edit:27", "dlg:27"};
    EXPECT_EQ(want, dlg.log);
}

TEST_F(DialogFixture, OwnerDisabledBeforeStaysDisabled) {
    s_host->EnableWindow(FALSE);
    CTestDlg dlg(s_host);
    dlg.onInit = [](CTestDlg* d) { d->PostTo(IDCANCEL, BM_CLICK); };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_FALSE(s_host->IsWindowEnabled()) << "DoModal enables only what it disabled";
    s_host->EnableWindow(TRUE);
}

TEST_F(DialogFixture, NestedModalDialogsDisableAndRestoreTheirOwners) {
    CTestDlg outer(s_host);
    BOOL outerEnabledInsideInner = -1, outerEnabledAfterInner = -1;
    INT_PTR innerResult = 0;
    outer.onInit = [&](CTestDlg* d) {
        Watchdog(d);
        d->SetTimer(5, 1);
        d->onTimer = [&](CTestDlg* o) {
            CTestDlg inner(o);
            inner.onInit = [&](CTestDlg* i) {
                outerEnabledInsideInner = o->IsWindowEnabled();
                i->PostTo(IDOK, BM_CLICK);
            };
            innerResult = inner.DoModal();
            outerEnabledAfterInner = o->IsWindowEnabled();
            o->PostTo(IDCANCEL, BM_CLICK);
        };
    };
    EXPECT_EQ(IDCANCEL, outer.DoModal());
    EXPECT_EQ(IDOK, innerResult);
    EXPECT_FALSE(outerEnabledInsideInner);
    EXPECT_TRUE(outerEnabledAfterInner);
    EXPECT_TRUE(s_host->IsWindowEnabled());
}

TEST_F(DialogFixture, HiddenTemplateIsShownByTheModalLoop) {
    CTestDlg dlg(s_host, IDD_HIDDEN);
    dlg.onInit = [](CTestDlg* d) { d->SetTimer(1, 20); };
    dlg.onTimer = [](CTestDlg* d) { d->EndDialog(IDOK); };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(dlg.bVisibleAtTimer);
}

TEST_F(DialogFixture, MissingTemplateFails) {
    CTestDlg dlg(s_host, 4242);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_TRUE(s_host->IsWindowEnabled());
    EXPECT_FALSE(CDialog().Create(4242, s_host));
}

TEST_F(DialogFixture, ModelessDialogHidesOnEndAndStaysUntilDestroyed) {
    CTestDlg dlg(s_host);
    ASSERT_TRUE(dlg.Create(IDD_TEST, s_host));
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_EQ(1, dlg.nExchangeLoad) << "OnInitDialog ran";
    EXPECT_TRUE(s_host->IsWindowEnabled()) << "modeless leaves the owner alone";
    EXPECT_EQ(s_host->m_hWnd, ::GetWindow(dlg.m_hWnd, GW_OWNER));
    dlg.SetDlgItemText(IDC_TEXT, "typed");
    ::SendMessageA(::GetDlgItem(dlg.m_hWnd, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(1, dlg.nOK);
    EXPECT_STREQ("typed", (LPCSTR)dlg.m_text);
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
    dlg.DestroyWindow();
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

}  // namespace
