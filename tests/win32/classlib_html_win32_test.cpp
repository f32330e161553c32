// Views made by class and the HTML view over its browser interface, in real
// windows: making a view from a creation context, the view deleting itself
// with its window, the browser hosted in the view and sized with it, the
// events reaching the view, scripts and their language, a browser that
// cannot be made, and the system's control under Wine (no engine).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/afxhtml.h"
#include "tests/harness/harness.h"
#include "html_fake.h"

using htmltest::HeapCheck;
using htmltest::Log;

namespace {

class CTestHtmlView : public CHtmlView {
    DECLARE_DYNCREATE(CTestHtmlView)
public:
    void OnDocumentComplete(LPCTSTR lpszURL) override { events.push_back(std::string("doc ") + lpszURL); }
    void OnDownloadComplete() override { events.push_back("download"); }
    std::vector<std::string> events;
};
IMPLEMENT_DYNCREATE(CTestHtmlView, CHtmlView)

// A view whose window refuses to be made.
class CRefusingView : public CView {
    DECLARE_DYNCREATE(CRefusingView)
protected:
    afx_msg int OnCreate(LPCREATESTRUCT) { return -1; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CRefusingView, CView)
BEGIN_MESSAGE_MAP(CRefusingView, CView)
ON_WM_CREATE()
END_MESSAGE_MAP()

const CRuntimeClass kNoMaker = {"CNoMaker", 0, nullptr, &CView::classCView};

struct HostWindow {
    uitest::Stage stage{300, 200, 40, 40};
    CWnd* parent() { return CWnd::FromHandle(stage.parent()); }
};

TEST(HtmlView, ContextsThatMakeNoView) {
    HostWindow host;
    CCreateContext none;
    CCreateContext noMaker;
    noMaker.m_pNewViewClass = &kNoMaker;
    CCreateContext refusing;
    refusing.m_pNewViewClass = RUNTIME_CLASS(CRefusingView);
    const struct {
        const char* name;
        CWnd* parent;
        CCreateContext* context;
    } cases[] = {
        {"no context", host.parent(), nullptr},
        {"no class in the context", host.parent(), &none},
        {"class without a maker", host.parent(), &noMaker},
        {"no parent", nullptr, &refusing},
        {"window refused at WM_CREATE", host.parent(), &refusing},
    };
    for (const auto& c : cases) {
        htmltest::HeapScope heap;
        EXPECT_EQ(AfxCreateView(c.parent, c.context), nullptr) << c.name;
        EXPECT_EQ(HeapCheck::Get().badFrees(), 0) << c.name << ": nothing freed twice";
        EXPECT_EQ(GetWindow(host.stage.parent(), GW_CHILD), nullptr) << c.name << ": no window";
    }
}

TEST(HtmlView, HostsTheBrowserAndDeletesItselfWithItsWindow) {
    htmltest::UseFakeBrowser fake;
    HostWindow host;
    htmltest::HeapScope heap;
    CCreateContext ctx;
    ctx.m_pNewViewClass = RUNTIME_CLASS(CTestHtmlView);
    CView* made = AfxCreateView(host.parent(), &ctx, 0xE900);
    ASSERT_NE(made, nullptr);
    auto* view = dynamic_cast<CTestHtmlView*>(made);
    ASSERT_NE(view, nullptr) << "made of the class the context names";
    EXPECT_STREQ(view->GetRuntimeClass()->m_lpszClassName, "CTestHtmlView");
    EXPECT_EQ(GetParent(view->m_hWnd), host.stage.parent());
    EXPECT_EQ(GetDlgCtrlID(view->m_hWnd), 0xE900);
    EXPECT_TRUE(view->IsWindowVisible());
    EXPECT_EQ(Log().host, view->m_hWnd);
    EXPECT_EQ(Log().created, 1);

    view->MoveWindow(5, 6, 120, 90);
    ASSERT_FALSE(Log().rects.empty());
    EXPECT_EQ(Log().rects.back().right, 120) << "the browser follows the view's size";
    EXPECT_EQ(Log().rects.back().bottom, 90);

    EXPECT_FALSE(view->HasHtmlDocument());
    EXPECT_EQ(view->ExecScript("a()", "JScript"), S_FALSE) << "nothing loaded";
    EXPECT_TRUE(view->Navigate("file:///C:/x/page.htm"));
    view->SetSilent(TRUE);
    EXPECT_EQ(Log().silent, 1);
    EXPECT_TRUE(view->HasHtmlDocument());
    EXPECT_EQ(view->ExecScript("a()", "JScript"), S_OK);
    EXPECT_EQ(view->ExecScript("b()", nullptr), S_OK);
    ASSERT_EQ(Log().scripts.size(), 2u);
    EXPECT_EQ(Log().languages[0], "JScript");
    EXPECT_EQ(Log().languages[1], "JScript") << "the default language";

    Log().FireDownloadComplete();
    Log().FireDocumentComplete("file:///C:/x/page.htm");
    ASSERT_EQ(view->events.size(), 2u);
    EXPECT_EQ(view->events[0], "download");
    EXPECT_EQ(view->events[1], "doc file:///C:/x/page.htm");

    ::DestroyWindow(view->m_hWnd);
    uitest::PumpPending();
    EXPECT_TRUE(HeapCheck::Get().Freed(view)) << "the view went with its window";
    EXPECT_EQ(HeapCheck::Get().badFrees(), 0);
    EXPECT_EQ(Log().destroyed, 1);
    EXPECT_EQ(Log().deleted, 1);
    EXPECT_EQ(Log().events, nullptr) << "no event reaches a view that is gone";
}

TEST(HtmlView, WithoutABrowserTheViewStaysEmpty) {
    htmltest::UseFakeBrowser fake;
    Log().failCreate = true;
    HostWindow host;
    CCreateContext ctx;
    ctx.m_pNewViewClass = RUNTIME_CLASS(CTestHtmlView);
    auto* view = static_cast<CTestHtmlView*>(AfxCreateView(host.parent(), &ctx));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetBrowser(), nullptr);
    EXPECT_EQ(Log().deleted, 1) << "the browser that failed is not kept";
    EXPECT_FALSE(view->Navigate("file:///C:/x/page.htm"));
    EXPECT_FALSE(view->HasHtmlDocument());
    EXPECT_EQ(view->ExecScript("a()", "JScript"), S_FALSE);
    EXPECT_TRUE(Log().urls.empty());
    view->DestroyWindow();
}

// Wine has the control but no engine to show a page with.
TEST(HtmlView, SystemBrowserWithoutAnEngine) {
    AFX_HTMLBROWSER_FACTORY old = AfxSetHtmlBrowserFactory(nullptr);
    {
        HostWindow host;
        CCreateContext ctx;
        ctx.m_pNewViewClass = RUNTIME_CLASS(CTestHtmlView);
        auto* view = static_cast<CTestHtmlView*>(AfxCreateView(host.parent(), &ctx));
        ASSERT_NE(view, nullptr);
        view->MoveWindow(0, 0, 200, 150);
        view->Navigate("about:blank");
        view->SetSilent(TRUE);
        uitest::PumpFor(300);
        // Whatever the control managed, a script either ran in a document
        // or was not run: never a failure reported as done.
        const HRESULT hr = view->ExecScript("var x = 1;", "JScript");
        if (!view->HasHtmlDocument()) {
            EXPECT_EQ(hr, S_FALSE);
        }
        view->DestroyWindow();
        uitest::PumpPending();
    }
    AfxSetHtmlBrowserFactory(old);
}

}  // namespace
