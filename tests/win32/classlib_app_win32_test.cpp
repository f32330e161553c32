// The application object and its loop, worker threads, message boxes
// answered by the hook, menus from resources, tool tips and the basic
// control wrappers, in real windows.
#include "classlib/afxwin.h"
#include "tests/harness/harness.h"

#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct BoxCall {
    HWND owner;
    std::string text, caption;
    UINT type;
};
std::vector<BoxCall> g_calls;
int g_answer = IDOK;
int RecordBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type) {
    g_calls.push_back({owner, text, caption ? caption : "", type});
    return g_answer;
}

struct BoxFixture : ::testing::Test {
    void SetUp() override {
        g_calls.clear();
        AfxSetMessageBoxHook(RecordBox);
    }
    void TearDown() override { AfxSetMessageBoxHook(nullptr); }
};

TEST_F(BoxFixture, HookRecordsTextAndReturnsTheChosenAnswer) {
    struct Case {
        const char* name;
        int answer;
        UINT type;
    } cases[] = {{"yes", IDYES, MB_YESNO},
                 {"no", IDNO, MB_YESNO | MB_ICONQUESTION},
                 {"cancel", IDCANCEL, MB_OKCANCEL},
                 {"ok", IDOK, MB_OK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_calls.clear();
        g_answer = c.answer;
        EXPECT_EQ(c.answer, AfxMessageBox("카드를 포맷할까요?", c.type));
        ASSERT_EQ(1u, g_calls.size());
        EXPECT_EQ("카드를 포맷할까요?", g_calls[0].text);
        EXPECT_EQ(c.type, g_calls[0].type);
    }
}

TEST_F(BoxFixture, StringIdFormLoadsTheText) {
    g_answer = IDOK;
    EXPECT_EQ(IDOK, AfxMessageBox(200, MB_OK));
    ASSERT_EQ(1u, g_calls.size());
    EXPECT_EQ("자원의 문자열", g_calls[0].text);
}

TEST_F(BoxFixture, WindowMessageBoxGoesThroughTheHookWithItsOwner) {
    CWnd w;
    ASSERT_TRUE(w.CreateEx(0, nullptr, "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    g_answer = IDRETRY;
    EXPECT_EQ(IDRETRY, w.MessageBox("text", "caption", MB_RETRYCANCEL));
    ASSERT_EQ(1u, g_calls.size());
    EXPECT_EQ(w.m_hWnd, g_calls[0].owner);
    EXPECT_EQ("caption", g_calls[0].caption);
    EXPECT_EQ(RecordBox, AfxSetMessageBoxHook(RecordBox)) << "the set hook is handed back";
}

TEST(MessageBoxes, FixtureCatcherAnswersThroughTheLibraryHook) {
    uitest::MessageBoxCatcher catcher;
    catcher.QueueAnswer(IDNO);
    AfxSetMessageBoxHook(uitest::AnswerMessageBox);
    EXPECT_EQ(IDNO, AfxMessageBox("지울까요?", MB_YESNO));
    AfxSetMessageBoxHook(nullptr);
    ASSERT_EQ(1, catcher.count());
    EXPECT_EQ("지울까요?", catcher.boxes()[0].text);
}

// --- Worker threads ---------------------------------------------------------------

struct Work {
    HANDLE done;
    DWORD threadId = 0;
    int value = 0;
};
UINT __cdecl Worker(LPVOID p) {
    Work* w = (Work*)p;
    w->threadId = GetCurrentThreadId();
    w->value = 42;
    SetEvent(w->done);
    return 7;
}

TEST(Threads, AfxBeginThreadRunsTheFunctionOnAnotherThread) {
    Work w;
    w.done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CWinThread* t = AfxBeginThread(Worker, &w, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, t);
    t->m_bAutoDelete = FALSE;  // we read its exit code below
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(w.done, 0)) << "created suspended";
    t->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t->m_hThread, 10000));
    DWORD code = 0;
    GetExitCodeThread(t->m_hThread, &code);
    EXPECT_EQ(7u, code);
    EXPECT_EQ(42, w.value);
    EXPECT_NE(GetCurrentThreadId(), w.threadId);
    EXPECT_EQ(t->m_nThreadID, w.threadId);
    delete t;
    CloseHandle(w.done);
}

// --- The application object -------------------------------------------------

class CMainWnd : public CWnd {
public:
    std::vector<UINT> seen;  // messages offered to PreTranslateMessage
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message >= WM_APP) seen.push_back(pMsg->message);
        return pMsg->message == WM_APP + 2;  // eaten: never dispatched
    }
    afx_msg LRESULT OnApp1(WPARAM, LPARAM) {
        ++nApp1;
        PostMessage(WM_APP + 2);
        PostMessage(WM_APP + 3);
        return 0;
    }
    afx_msg LRESULT OnApp2(WPARAM, LPARAM) {
        ++nApp2;
        return 0;
    }
    afx_msg LRESULT OnApp3(WPARAM, LPARAM) {
        DestroyWindow();  // the main window goes: the loop ends
        return 0;
    }
    int nApp1 = 0, nApp2 = 0;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CMainWnd, CWnd)
ON_MESSAGE(WM_APP + 1, OnApp1)
ON_MESSAGE(WM_APP + 2, OnApp2)
ON_MESSAGE(WM_APP + 3, OnApp3)
END_MESSAGE_MAP()

class CTestApp : public CWinApp {
public:
    CMainWnd main;
    BOOL bRun = TRUE;
    int nInit = 0, nExit = 0;
    std::string cmdLine;
    BOOL InitInstance() override {
        ++nInit;
        cmdLine = m_lpCmdLine ? m_lpCmdLine : "";
        if (!bRun) return FALSE;
        main.CreateEx(0, nullptr, "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
        m_pMainWnd = &main;
        main.PostMessage(WM_APP + 1);
        return TRUE;
    }
    int ExitInstance() override {
        ++nExit;
        return 3;
    }
};

TEST(Application, WinMainRunsInitLoopAndExit) {
    struct Case {
        const char* name;
        BOOL run;
        int result;
    } cases[] = {{"loop until the main window goes", TRUE, 3}, {"init declines", FALSE, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestApp app;
        app.bRun = c.run;
        EXPECT_EQ(&app, AfxGetApp());
        char cmd[] = "-RegServer";
        EXPECT_EQ(c.result, AfxWinMain(GetModuleHandleA(nullptr), nullptr, cmd, SW_SHOW));
        EXPECT_EQ(1, app.nInit);
        EXPECT_EQ(1, app.nExit);
        EXPECT_EQ("-RegServer", app.cmdLine);
        EXPECT_EQ(GetModuleHandleA(nullptr), AfxGetInstanceHandle());
        if (c.run) {
            EXPECT_EQ(1, app.main.nApp1);
            EXPECT_EQ(0, app.main.nApp2) << "PreTranslateMessage ate it";
            std::vector<UINT> want = {WM_APP + 1, WM_APP + 2, WM_APP + 3};
            EXPECT_EQ(want, app.main.seen);
            EXPECT_EQ(nullptr, app.main.m_hWnd);
            EXPECT_EQ(nullptr, AfxGetMainWnd());
        }
        MSG m;
        EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
            << "no stray quit message left for later loops";
    }
    EXPECT_EQ(nullptr, AfxGetApp());
}

// --- Menus --------------------------------------------------------------------------

TEST(Menus, LoadedMenuAnswersItsStructure) {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(300));
    EXPECT_EQ(2, menu.GetMenuItemCount());
    CString s;
    menu.GetMenuString(0, s, MF_BYPOSITION);
    EXPECT_STREQ("File", (LPCSTR)s);
    CMenu* file = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(3, file->GetMenuItemCount());
    EXPECT_EQ(301u, file->GetMenuItemID(0));
    EXPECT_EQ(0u, file->GetMenuItemID(1)) << "separator";
    EXPECT_EQ((UINT)-1, file->GetMenuItemID(5));
    file->GetMenuString(302, s, MF_BYCOMMAND);
    EXPECT_STREQ("E&xit", (LPCSTR)s);
    EXPECT_TRUE(file->GetMenuState(302, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(file->GetMenuState(1, MF_BYPOSITION) & MF_SEPARATOR);
    HMENU hSub = file->m_hMenu;
    CWnd::DeleteTempMap();
    EXPECT_TRUE(IsMenu(hSub)) << "a temporary submenu wrapper destroys nothing";
    HMENU h = menu.m_hMenu;
    menu.DestroyMenu();
    EXPECT_FALSE(IsMenu(h));
    EXPECT_FALSE(CMenu().LoadMenu(4242));
}

// Picks the second item of a popup menu with the keyboard while
// TrackPopupMenu runs its own loop.
void CALLBACK PickSecondItem(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu) return;
    KillTimer(nullptr, id);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
}

TEST(Menus, TrackPopupMenuReturnsTheChosenCommand) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(WS_EX_TOPMOST, nullptr, "menu owner", WS_POPUP | WS_VISIBLE, 300,
                               300, 50, 50, nullptr, nullptr));
    owner.SetForegroundWindow();
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, 10, "one");
    popup.AppendMenu(MF_STRING, 11, "two");
    popup.AppendMenu(MF_STRING, 12, "three");
    UINT_PTR timer = SetTimer(nullptr, 0, 50, PickSecondItem);
    BOOL cmd = popup.TrackPopupMenu(TPM_RETURNCMD | TPM_LEFTALIGN, 310, 310, &owner);
    KillTimer(nullptr, timer);
    EXPECT_EQ(11, cmd);
    owner.DestroyWindow();
}

TEST(Menus, BuiltPopupAndDetach) {
    HMENU h;
    {
        CMenu popup;
        ASSERT_TRUE(popup.CreatePopupMenu());
        popup.AppendMenu(MF_STRING, 10, "하나");
        popup.AppendMenu(MF_STRING, 11, "둘");
        popup.CheckMenuItem(11, MF_BYCOMMAND | MF_CHECKED);
        EXPECT_EQ(2, popup.GetMenuItemCount());
        EXPECT_TRUE(popup.GetMenuState(11, MF_BYCOMMAND) & MF_CHECKED);
        CString s;
        popup.GetMenuString(10, s, MF_BYCOMMAND);
        EXPECT_STREQ("하나", (LPCSTR)s);
        h = popup.Detach();
    }
    EXPECT_TRUE(IsMenu(h));
    DestroyMenu(h);
}

// --- Bitmaps from resources --------------------------------------------------

TEST(Resources, LoadBitmapGivesTheStripWithItsKeyColour) {
    CBitmap bmp;
    ASSERT_TRUE(bmp.LoadBitmap(400));
    BITMAP bm;
    ASSERT_TRUE(bmp.GetBitmap(&bm));
    EXPECT_EQ(80, bm.bmWidth);  // four frames of 20
    EXPECT_EQ(12, bm.bmHeight);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&bmp);
    EXPECT_EQ(RGB(255, 0, 255), dc.GetPixel(0, 0)) << "rounded corner on the key";
    EXPECT_NE(RGB(255, 0, 255), dc.GetPixel(10, 6)) << "the body";
    dc.SelectObject(old);
    EXPECT_FALSE(CBitmap().LoadBitmap(4242));
    CWnd::DeleteTempMap();
}

// --- Tool tips and control wrappers ----------------------------------------------

struct HostFixture : ::testing::Test {
    static CWnd* s_host;
    static void SetUpTestSuite() {
        if (s_host) return;
        s_host = new CWnd;
        ASSERT_TRUE(s_host->CreateEx(WS_EX_TOPMOST, nullptr, "app host", WS_POPUP | WS_VISIBLE, 500,
                                     40, 300, 200, nullptr, nullptr));
    }
    void TearDown() override {
        while (HWND hChild = GetWindow(s_host->m_hWnd, GW_CHILD)) DestroyWindow(hChild);
        CWnd::DeleteTempMap();
    }
};
CWnd* HostFixture::s_host = nullptr;

TEST_F(HostFixture, ToolTipToolsAddUpdateAndDelete) {
    CWnd owner;
    ASSERT_TRUE(owner.Create(nullptr, nullptr, WS_VISIBLE, CRect(10, 10, 110, 40), s_host, 20));
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&owner, 8));
    // A popup's owner is the top-level window above the child it was given.
    EXPECT_EQ(s_host->m_hWnd, ::GetWindow(tip.m_hWnd, GW_OWNER));
    CRect rc;
    owner.GetClientRect(&rc);
    UINT_PTR id = (UINT_PTR)owner.m_hWnd;
    ASSERT_TRUE(tip.AddTool(&owner, "첫째\n둘째", &rc, id));
    EXPECT_EQ(1, tip.GetToolCount());
    CString text;
    tip.GetText(text, &owner, id);
    EXPECT_STREQ("첫째\n둘째", (LPCSTR)text);
    tip.UpdateTipText("new", &owner, id);
    tip.GetText(text, &owner, id);
    EXPECT_STREQ("new", (LPCSTR)text);
    tip.SetMaxTipWidth(120);
    EXPECT_EQ(120, tip.GetMaxTipWidth());
    RECT margin = {2, 2, 2, 2}, got = {};
    tip.SetMargin(&margin);
    tip.GetMargin(&got);
    EXPECT_EQ(2, got.left);
    EXPECT_EQ(2, got.bottom);
    MSG m = {owner.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)};
    tip.RelayEvent(&m);  // accepted without a tip window popping up synchronously
    tip.DelTool(&owner, id);
    EXPECT_EQ(0, tip.GetToolCount());
    // A window tool (id 0) is the window itself.
    ASSERT_TRUE(tip.AddTool(&owner, "whole"));
    EXPECT_EQ(1, tip.GetToolCount());
    tip.GetText(text, &owner);
    EXPECT_STREQ("whole", (LPCSTR)text);
    tip.DelTool(&owner);
    EXPECT_EQ(0, tip.GetToolCount());
}

TEST_F(HostFixture, ListAndComboWrappersKeepTextAndData) {
    CListBox list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LBS_NOTIFY, CRect(0, 0, 100, 80), s_host, 30));
    EXPECT_EQ(0, list.AddString("가나다"));
    EXPECT_EQ(1, list.AddString("b"));
    list.SetItemData(1, (DWORD_PTR)0x1234);
    EXPECT_EQ((DWORD_PTR)0x1234, list.GetItemData(1));
    CString s;
    list.GetText(0, s);
    EXPECT_STREQ("가나다", (LPCSTR)s);
    EXPECT_EQ(1, list.FindStringExact(-1, "b"));
    list.SetCurSel(1);
    EXPECT_EQ(1, list.GetCurSel());
    list.DeleteString(0);
    EXPECT_EQ(1, list.GetCount());

    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST, CRect(0, 90, 100, 200), s_host, 31));
    combo.AddString("높음");
    combo.AddString("낮음");
    combo.SetCurSel(1);
    combo.GetLBText(combo.GetCurSel(), s);
    EXPECT_STREQ("낮음", (LPCSTR)s);
    EXPECT_EQ(2, combo.GetCount());
}

TEST_F(HostFixture, EditAndListViewWrappers) {
    CEdit edit;
    ASSERT_TRUE(
        edit.Create(WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(0, 0, 120, 20), s_host, 40));
    edit.SetWindowText("hello world");
    edit.SetSel(6, 11);
    int a = -1, b = -1;
    edit.GetSel(a, b);
    EXPECT_EQ(6, a);
    EXPECT_EQ(11, b);
    edit.ReplaceSel("there");
    CString s;
    edit.GetWindowText(s);
    EXPECT_STREQ("hello there", (LPCSTR)s);
    edit.SetLimitText(4);
    EXPECT_EQ(4u, edit.GetLimitText());

    CListCtrl lv;
    ASSERT_TRUE(lv.Create(WS_VISIBLE | LVS_REPORT, CRect(0, 30, 280, 150), s_host, 41));
    EXPECT_EQ(0, lv.InsertColumn(0, "파일", LVCFMT_LEFT, 100));
    EXPECT_EQ(1, lv.InsertColumn(1, "날짜", LVCFMT_LEFT, 80));
    EXPECT_EQ(2, lv.GetHeaderCtrl()->GetItemCount());
    EXPECT_EQ(0, lv.InsertItem(0, "EVT0001.mp4"));
    EXPECT_TRUE(lv.SetItemText(0, 1, "2026-12-11"));
    EXPECT_TRUE(lv.SetItemData(0, 99));
    EXPECT_STREQ("EVT0001.mp4", (LPCSTR)lv.GetItemText(0, 0));
    EXPECT_STREQ("2026-12-11", (LPCSTR)lv.GetItemText(0, 1));
    EXPECT_EQ((DWORD_PTR)99, lv.GetItemData(0));
    // A text longer than the first buffer the wrapper tries.
    std::string longText(700, 'x');
    lv.SetItemText(0, 1, longText.c_str());
    EXPECT_EQ(700, lv.GetItemText(0, 1).GetLength());
    lv.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(0, lv.GetNextItem(-1, LVNI_SELECTED));
    EXPECT_EQ(1u, lv.GetSelectedCount());
    EXPECT_EQ(80, lv.GetColumnWidth(1));
}

}  // namespace
