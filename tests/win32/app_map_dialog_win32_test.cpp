// The map dialog and its view in a real window: the page's address, the
// position calls gated by the page's two completion events and by the
// connection, the focus call, the close button, who deletes the view, and
// the system's browser control where Wine has no engine behind it. The
// browser is the recording fake unless a test says otherwise.
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <string>

#include "app/DlgGoogle.h"
#include "app/GoogleView.h"
#include "app/res/resource.h"
#include "tests/harness/harness.h"
#include "html_fake.h"

using htmltest::Log;

namespace {

bool g_online = true;
BOOL WINAPI FakeConnectedState(LPDWORD lpdwFlags, DWORD) {
    if (lpdwFlags) *lpdwFlags = g_online ? INTERNET_CONNECTION_LAN : 0;
    return g_online ? TRUE : FALSE;
}

// The map dialog created as the main dialog creates it (modeless, hidden),
// over the fake browser and the fake connection check.
struct MapScene {
    htmltest::UseFakeBrowser fake;
    uitest::Stage stage{200, 100, 20, 20};
    CDlgGoogle* dlg = nullptr;
    CGoogleView::PFN_CONNECTED_STATE oldCheck;

    explicit MapScene(bool online = true) {
        g_online = online;
        oldCheck = CGoogleView::SetConnectedStateCheck(FakeConnectedState);
        uitest::MoveCursor(5, 1010);
        dlg = new CDlgGoogle(CWnd::FromHandle(stage.host()));
        EXPECT_TRUE(dlg->Create(CDlgGoogle::IDD, CWnd::FromHandle(stage.host())));
        uitest::PumpFor(50);
    }
    ~MapScene() {
        if (dlg) {
            if (dlg->GetSafeHwnd()) dlg->DestroyWindow();
            delete dlg;
        }
        uitest::PumpPending();
        CGoogleView::SetConnectedStateCheck(oldCheck);
    }
    void Complete(bool document, bool download) {
        if (document) Log().FireDocumentComplete(Log().urls.empty() ? "" : Log().urls[0].c_str());
        if (download) Log().FireDownloadComplete();
    }
};

// The folder of the test program as a file address, built here from the
// module's path (not by the code under test).
std::string ExpectedPageUrl() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of('\\') + 1);
    for (char& c : folder)
        if (c == '\\') c = '/';
    return "file:///" + folder + "google.htm";
}

TEST(MapDialog, CreatedHiddenWithTheViewInPlaceAndThePageLoadedOnce) {
    MapScene s;
    ASSERT_TRUE(s.dlg->GetSafeHwnd());
    EXPECT_FALSE(s.dlg->IsWindowVisible()) << "created hidden";
    ASSERT_NE(s.dlg->m_pView, nullptr);
    EXPECT_STREQ(s.dlg->m_pView->GetRuntimeClass()->m_lpszClassName, "CGoogleView");
    HWND view = s.dlg->m_pView->m_hWnd;
    EXPECT_EQ(GetParent(view), s.dlg->m_hWnd);
    EXPECT_EQ(GetDlgCtrlID(view), 0xE900);
    EXPECT_TRUE(GetWindowLongPtrA(view, GWL_STYLE) & WS_VISIBLE);
    RECT rc;
    GetWindowRect(view, &rc);
    MapWindowPoints(nullptr, s.dlg->m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.top, 35);
    EXPECT_EQ(rc.right - rc.left, 310);
    EXPECT_EQ(rc.bottom - rc.top, 408);
    EXPECT_EQ(Log().host, view) << "the browser lives in the view";
    ASSERT_FALSE(Log().rects.empty());
    EXPECT_EQ(Log().rects.back().right, 310);
    EXPECT_EQ(Log().rects.back().bottom, 408);

    ASSERT_EQ(Log().urls.size(), 1u);
    EXPECT_EQ(Log().urls[0], ExpectedPageUrl());
    EXPECT_EQ(Log().urls[0].find('\\'), std::string::npos);
    EXPECT_EQ(Log().navFlags, 0u);
    EXPECT_FALSE(Log().navTarget || Log().navHeaders || Log().navPost)
        << "no target frame, headers or post data";
    EXPECT_EQ(Log().silent, 1) << "script error dialogs are off";
    EXPECT_TRUE(Log().scripts.empty());
}

TEST(MapDialog, PositionRunsOnlyOnceThePageReportedBothCompletions) {
    const struct {
        const char* name;
        bool document, download, online;
        bool runs;
    } cases[] = {
        {"nothing reported", false, false, true, false},
        {"document only", true, false, true, false},
        {"download only", false, true, true, false},
        {"both reported", true, true, true, true},
        {"both reported, then offline", true, true, false, false},
    };
    for (const auto& c : cases) {
        MapScene s;
        s.Complete(c.document, c.download);
        g_online = c.online;
        s.dlg->SetLatLng(-33.5, -70.25);
        if (c.runs) {
            ASSERT_EQ(Log().scripts.size(), 1u) << c.name;
            EXPECT_EQ(Log().scripts[0], "setLatLng(-33.5000000,-70.2500000)") << c.name;
            EXPECT_EQ(Log().languages[0], "JScript") << c.name;
        } else {
            EXPECT_TRUE(Log().scripts.empty()) << c.name;
        }
    }
}

TEST(MapDialog, EarlyPositionIsDroppedNotQueued) {
    MapScene s;
    s.dlg->SetLatLng(10.0, 20.0);
    s.Complete(true, false);
    s.dlg->SetLatLng(11.0, 21.0);
    s.Complete(false, true);
    EXPECT_TRUE(Log().scripts.empty()) << "nothing runs on completion by itself";
    s.dlg->SetLatLng(37.5665350, 126.978);
    ASSERT_EQ(Log().scripts.size(), 1u);
    EXPECT_EQ(Log().scripts[0], "setLatLng(37.5665350,126.9780000)");
}

TEST(MapDialog, EachFocusCallRunsSetFocus) {
    MapScene s;
    // Focus needs neither completion event nor the connection, only a page.
    for (int i = 0; i < 3; ++i) s.dlg->SetMapFocus();
    g_online = false;
    s.dlg->SetMapFocus();
    ASSERT_EQ(Log().scripts.size(), 4u);
    for (size_t i = 0; i < Log().scripts.size(); ++i) {
        EXPECT_EQ(Log().scripts[i], "setFocus()") << i;
        EXPECT_EQ(Log().languages[i], "JScript") << i;
    }
}

TEST(MapDialog, OfflineAtCreationNothingEverRuns) {
    MapScene s(/*online=*/false);
    EXPECT_TRUE(Log().urls.empty()) << "the page is not loaded";
    EXPECT_NE(s.dlg->m_pView, nullptr) << "the view is made all the same";
    g_online = true;  // back online later: the page is still never loaded
    s.Complete(true, true);
    s.dlg->SetLatLng(1.0, 2.0);
    s.dlg->SetMapFocus();
    EXPECT_TRUE(Log().urls.empty());
    EXPECT_TRUE(Log().scripts.empty());
}

TEST(MapDialog, CloseButtonHidesAndKeepsThePage) {
    MapScene s;
    s.Complete(true, true);
    s.dlg->SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    s.dlg->ShowWindow(SW_SHOW);
    uitest::BringToFront(s.dlg->m_hWnd);
    uitest::PumpFor(100);
    HWND close = GetDlgItem(s.dlg->m_hWnd, IDC_CLOSE);
    ASSERT_TRUE(close);
    RECT rc;
    GetClientRect(close, &rc);
    uitest::ClickClient(close, rc.right / 2, rc.bottom / 2);
    ASSERT_TRUE(uitest::PumpUntil([&] { return !s.dlg->IsWindowVisible(); }, 2000));
    EXPECT_TRUE(IsWindow(s.dlg->m_hWnd));
    ASSERT_NE(s.dlg->m_pView, nullptr);
    EXPECT_EQ(Log().urls.size(), 1u) << "not loaded again";
    // Hidden, it still follows the clip.
    s.dlg->SetLatLng(-1.0, 1.0);
    ASSERT_EQ(Log().scripts.size(), 1u);
    EXPECT_EQ(Log().scripts[0], "setLatLng(-1.0000000,1.0000000)");
}

// The view deletes itself with its window; the dialog only forgets it. Each
// row ends the two in another order; the view and its browser must be
// deleted exactly once, and the dialog never use the view afterwards.
TEST(MapDialog, ViewHasOneOwner) {
    enum End { kDestroyDialog, kDestroyViewFirst, kDeleteDialogObject };
    const struct {
        const char* name;
        End end;
    } cases[] = {
        {"dialog window destroyed", kDestroyDialog},
        {"view window destroyed first, then the dialog", kDestroyViewFirst},
        {"dialog object deleted with its window alive", kDeleteDialogObject},
    };
    for (const auto& c : cases) {
        htmltest::HeapScope heap;
        MapScene s;
        s.Complete(true, true);
        CGoogleView* view = s.dlg->m_pView;
        ASSERT_NE(view, nullptr) << c.name;
        ASSERT_TRUE(htmltest::HeapCheck::Get().Live(view)) << c.name;
        switch (c.end) {
            case kDestroyDialog: s.dlg->DestroyWindow(); break;
            case kDestroyViewFirst:
                ::DestroyWindow(view->m_hWnd);
                EXPECT_EQ(s.dlg->m_pView, nullptr) << c.name << ": the dialog forgot it";
                s.dlg->SetLatLng(1.0, 2.0);
                s.dlg->SetMapFocus();
                EXPECT_TRUE(Log().scripts.empty()) << c.name;
                s.dlg->DestroyWindow();
                break;
            case kDeleteDialogObject:
                delete s.dlg;
                s.dlg = nullptr;
                break;
        }
        uitest::PumpPending();
        EXPECT_TRUE(htmltest::HeapCheck::Get().Freed(view)) << c.name << ": the view is deleted";
        EXPECT_EQ(htmltest::HeapCheck::Get().badFrees(), 0) << c.name << ": nothing freed twice";
        EXPECT_EQ(Log().deleted, 1) << c.name;
        EXPECT_EQ(Log().destroyed, 1) << c.name;
        if (s.dlg) {
            EXPECT_EQ(s.dlg->m_pView, nullptr) << c.name;
        }
    }
}

// The system's control under Wine, which has no engine behind it: the
// dialog and its view are made, nothing waits for a page, and the calls
// into a page that never completes do nothing. A hang ends at the test's
// time limit.
TEST(MapDialog, SystemBrowserWithoutAnEngineDoesNotHang) {
    g_online = true;
    CGoogleView::PFN_CONNECTED_STATE old = CGoogleView::SetConnectedStateCheck(FakeConnectedState);
    AFX_HTMLBROWSER_FACTORY oldFactory = AfxSetHtmlBrowserFactory(nullptr);
    {
        uitest::Stage stage{200, 100, 20, 20};
        CDlgGoogle dlg(CWnd::FromHandle(stage.host()));
        ASSERT_TRUE(dlg.Create(CDlgGoogle::IDD, CWnd::FromHandle(stage.host())));
        uitest::PumpFor(300);
        EXPECT_FALSE(dlg.IsWindowVisible());
        ASSERT_NE(dlg.m_pView, nullptr);
        RECT rc;
        dlg.m_pView->GetWindowRect(&rc);
        MapWindowPoints(nullptr, dlg.m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(rc.left, 10);
        EXPECT_EQ(rc.top, 35);
        EXPECT_EQ(rc.right - rc.left, 310);
        EXPECT_EQ(rc.bottom - rc.top, 408);
        EXPECT_FALSE(dlg.m_pView->m_bDocumentComplete && dlg.m_pView->m_bDownloadComplete)
            << "no engine, no complete page";
        dlg.SetLatLng(37.5, 127.0);
        dlg.SetMapFocus();
        dlg.ShowWindow(SW_SHOW);
        uitest::PumpFor(200);
        dlg.DestroyWindow();
        uitest::PumpPending();
    }
    AfxSetHtmlBrowserFactory(oldFactory);
    CGoogleView::SetConnectedStateCheck(old);
}

}  // namespace
