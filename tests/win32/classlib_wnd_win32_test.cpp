// Windows of the class library in real windows: creation through the hook,
// message maps, reflection to child objects, notification dispatch by id
// and code, the handle map, subclassing, and a window that deletes itself
// while one of its own messages is still being dispatched.
#include "classlib/afxwin.h"

#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Runs the thread's messages for at most ms milliseconds, or until done().
template <class Done>
void PumpUntil(DWORD ms, Done done) {
    DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < ms) {
        MSG m;
        if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (!AfxPreTranslateMessage(&m)) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
        } else {
            Sleep(5);
        }
    }
}
void Pump(DWORD ms) {
    PumpUntil(ms, [] { return false; });
}

// A 32-bit top-down DIB section selected into a memory DC.
struct Dib {
    CDC dc;
    HBITMAP hbm = nullptr;
    HGDIOBJ old = nullptr;
    DWORD* bits = nullptr;
    int w, h;
    Dib(int width, int height) : w(width), h(height) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        hbm = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, (void**)&bits, nullptr, 0);
        dc.CreateCompatibleDC(nullptr);
        old = SelectObject(dc.m_hDC, hbm);
    }
    ~Dib() {
        SelectObject(dc.m_hDC, old);
        DeleteObject(hbm);
    }
    COLORREF At(int x, int y) const {
        DWORD p = bits[y * w + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

// The parent of the controls under test: a top-level window of the default
// class that records what reaches its own handlers.
class CHostWnd : public CWnd {
public:
    std::vector<std::string> log;
    BOOL Make() {
        return CreateEx(WS_EX_TOPMOST, nullptr, "classlib host", WS_POPUP | WS_VISIBLE, 40, 40, 400,
                        300, nullptr, nullptr);
    }
    afx_msg void OnClick201(NMHDR*, LRESULT* pResult) {
        log.push_back("notify201");
        *pResult = 7;
    }
    afx_msg void OnButtonClicked() { log.push_back("clicked300"); }
    afx_msg void OnSharedClicked() { log.push_back("clicked301"); }
    afx_msg void OnEditChange() { log.push_back("change302"); }
    afx_msg void OnShared(NMHDR*, LRESULT*) { log.push_back("shared"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostWnd, CWnd)
ON_NOTIFY(NM_CLICK, 201, OnClick201)
ON_BN_CLICKED(300, OnButtonClicked)
ON_BN_CLICKED(301, OnSharedClicked)
ON_EN_CHANGE(302, OnEditChange)
ON_NOTIFY(NM_RCLICK, 203, OnShared)
END_MESSAGE_MAP()

// One host for the whole program: mapping and unmapping a top-level window
// costs Wine about two seconds here.
struct HostFixture : ::testing::Test {
    static CHostWnd* s_host;
    CHostWnd& host = *s_host;
    static void SetUpTestSuite() {
        if (s_host) return;
        s_host = new CHostWnd;
        ASSERT_TRUE(s_host->Make());
        Pump(50);
    }
    void SetUp() override {
        ASSERT_NE(nullptr, s_host->m_hWnd);
        host.log.clear();
    }
    void TearDown() override {
        // Children the test left behind go now.
        while (HWND hChild = GetWindow(host.m_hWnd, GW_CHILD)) DestroyWindow(hChild);
        CWnd::DeleteTempMap();
    }
};
CHostWnd* HostFixture::s_host = nullptr;

// --- Creation of system-class subclasses ----------------------------------------

class CCreateSpy : public CWnd {
public:
    int nCreate = 0, nPreSubclass = 0;
    HWND hWndAtPreSubclass = nullptr;
    std::string textAtCreate;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs) {
        ++nCreate;
        if (CWnd::OnCreate(lpcs) == -1) return -1;
        return 0;
    }
    void PreSubclassWindow() override {
        ++nPreSubclass;
        hWndAtPreSubclass = m_hWnd;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCreateSpy, CWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

struct SystemClassCase {
    const char* name;
    const char* cls;
    DWORD style;
};

class SystemClassSubclass : public HostFixture,
                            public ::testing::WithParamInterface<SystemClassCase> {};

TEST_P(SystemClassSubclass, SeesCreateAndPreSubclassAndKeepsDefaultBehaviour) {
    const SystemClassCase& c = GetParam();
    CCreateSpy spy;
    ASSERT_TRUE(
        spy.Create(c.cls, "caption", WS_VISIBLE | c.style, CRect(10, 10, 150, 100), &host, 77));
    EXPECT_EQ(1, spy.nCreate);
    EXPECT_EQ(1, spy.nPreSubclass);
    EXPECT_EQ(spy.m_hWnd, spy.hWndAtPreSubclass);
    EXPECT_EQ(&spy, CWnd::FromHandlePermanent(spy.m_hWnd));
    EXPECT_EQ(77, spy.GetDlgCtrlID());
    char cls[64] = "";
    GetClassNameA(spy.m_hWnd, cls, sizeof cls);
    EXPECT_STRCASEEQ(c.cls, cls);
    // The class procedure still answers (our handler passed WM_CREATE on).
    if (strcmp(c.cls, "LISTBOX") == 0) {
        EXPECT_EQ(0, spy.SendMessage(LB_ADDSTRING, 0, (LPARAM) "a"));
        EXPECT_EQ(1, spy.SendMessage(LB_GETCOUNT));
    } else if (strcmp(c.cls, "COMBOBOX") == 0) {
        EXPECT_EQ(0, spy.SendMessage(CB_ADDSTRING, 0, (LPARAM) "a"));
        EXPECT_EQ(1, spy.SendMessage(CB_GETCOUNT));
    } else if (strcmp(c.cls, WC_LISTVIEWA) == 0) {
        EXPECT_NE(0, spy.SendMessage(LVM_GETHEADER));
    } else {
        CString text;
        spy.GetWindowText(text);
        EXPECT_STREQ("caption", (LPCSTR)text);
    }
    spy.DestroyWindow();
    EXPECT_EQ(nullptr, spy.m_hWnd);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, SystemClassSubclass,
    ::testing::Values(SystemClassCase{"PushButton", "BUTTON", BS_PUSHBUTTON},
                      SystemClassCase{"OwnerDrawButton", "BUTTON", BS_OWNERDRAW},
                      SystemClassCase{"Edit", "EDIT", ES_AUTOHSCROLL},
                      SystemClassCase{"Static", "STATIC", SS_LEFT},
                      SystemClassCase{"ListBox", "LISTBOX", LBS_NOTIFY},
                      SystemClassCase{"ComboBox", "COMBOBOX", CBS_DROPDOWNLIST},
                      SystemClassCase{"ListView", WC_LISTVIEWA, LVS_REPORT}),
    [](const ::testing::TestParamInfo<SystemClassCase>& i) { return std::string(i.param.name); });

// The skinned controls' pattern: a CButton subclass made with Create.
class CSkinLikeButton : public CButton {
public:
    int nCreate = 0, nPreSubclass = 0;
    LONG_PTR styleAtPreSubclass = 0;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs) {
        ++nCreate;
        return CButton::OnCreate(lpcs) == -1 ? -1 : 0;
    }
    void PreSubclassWindow() override {
        ++nPreSubclass;
        styleAtPreSubclass = GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CSkinLikeButton, CButton)
ON_WM_CREATE()
END_MESSAGE_MAP()

TEST_F(HostFixture, ButtonSubclassCreatedWithCreateGetsOnCreate) {
    CSkinLikeButton btn;
    ASSERT_TRUE(btn.Create("skin", WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 60, 20), &host, 78));
    EXPECT_EQ(1, btn.nCreate);
    EXPECT_EQ(1, btn.nPreSubclass);
    EXPECT_TRUE(btn.styleAtPreSubclass & BS_OWNERDRAW) << "the style is in place before WM_CREATE";
    EXPECT_TRUE(btn.GetStyle() & WS_CHILD);
}

TEST_F(HostFixture, DefaultClassHasDoubleClicksAndNoBackgroundBrush) {
    CCreateSpy child;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 20, 20), &host, 5));
    EXPECT_EQ(1, child.nCreate);
    EXPECT_TRUE(GetClassLongPtrA(child.m_hWnd, GCL_STYLE) & CS_DBLCLKS);
    EXPECT_EQ(0, GetClassLongPtrA(child.m_hWnd, GCLP_HBRBACKGROUND));
    EXPECT_EQ(&host, child.GetParent());
}

class CRefuseCreate : public CWnd {
public:
    afx_msg int OnCreate(LPCREATESTRUCT) { return -1; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CRefuseCreate, CWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

TEST_F(HostFixture, RefusedCreateFailsAndLeavesNoMapping) {
    CRefuseCreate w;
    EXPECT_FALSE(w.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 20, 20), &host, 6));
    EXPECT_EQ(nullptr, w.m_hWnd);
    EXPECT_EQ(nullptr, host.GetWindow(GW_CHILD));
}

// --- Reflection to the child object -------------------------------------------

class COwnerButton : public CButton {
public:
    int nDraw = 0;
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override {
        ++nDraw;
        CDC::FromHandle(lpDIS->hDC)->FillSolidRect(&lpDIS->rcItem, RGB(200, 0, 0));
    }
};

class COwnerList : public CListBox {
public:
    int nMeasure = 0, nDraw = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override {
        ++nMeasure;
        lpMIS->itemHeight = 23;
    }
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override {
        ++nDraw;
        CDC::FromHandle(lpDIS->hDC)->FillSolidRect(&lpDIS->rcItem, RGB(0, 0, 200));
    }
};

// A control that takes its own notifications and colours through its map.
class CReflectingCtl : public CWnd {
public:
    std::vector<std::string> log;
    BOOL bShareClick = FALSE;
    CBrush brush{RGB(0, 160, 0)};
    afx_msg void OnClick(NMHDR* pNMHDR, LRESULT* pResult) {
        log.push_back("click" + std::to_string(pNMHDR->idFrom));
        *pResult = 5;
    }
    afx_msg BOOL OnRClick(NMHDR*, LRESULT*) {
        log.push_back("rclick");
        return FALSE;  // the parent sees it too
    }
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) {
        log.push_back("ctlcolor" + std::to_string(nCtlColor));
        pDC->SetBkColor(RGB(0, 160, 0));
        return (HBRUSH)brush.m_hObject;
    }
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) {
        log.push_back("drawitem");
        CDC::FromHandle(lpDIS->hDC)->FillSolidRect(&lpDIS->rcItem, RGB(0, 200, 200));
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectingCtl, CWnd)
ON_NOTIFY_REFLECT(NM_CLICK, OnClick)
ON_NOTIFY_REFLECT_EX(NM_RCLICK, OnRClick)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

class CColorStatic : public CStatic {
public:
    CBrush brush{RGB(0, 160, 0)};
    int nColor = 0;
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT) {
        ++nColor;
        pDC->SetBkColor(RGB(0, 160, 0));
        return (HBRUSH)brush.m_hObject;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CColorStatic, CStatic)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CClickButton : public CButton {
public:
    int nClicked = 0;
    BOOL bShare = FALSE;
    afx_msg BOOL OnClicked() {
        ++nClicked;
        return !bShare;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CClickButton, CButton)
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

TEST_F(HostFixture, OwnerDrawButtonPaintsThroughReflectedDrawItem) {
    COwnerButton btn;
    ASSERT_TRUE(btn.Create("", WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 60, 40), &host, 90));
    btn.Invalidate();
    btn.UpdateWindow();
    EXPECT_GT(btn.nDraw, 0) << "the window's own paint reached DrawItem";

    // The same path into a DIB: the parent gets WM_DRAWITEM, the child draws.
    Dib dib(40, 20);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = 90;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = btn.m_hWnd;
    dis.hDC = dib.dc.m_hDC;
    dis.rcItem = {0, 0, 40, 20};
    int before = btn.nDraw;
    EXPECT_EQ(TRUE, host.SendMessage(WM_DRAWITEM, 90, (LPARAM)&dis));
    EXPECT_EQ(before + 1, btn.nDraw);
    EXPECT_EQ(RGB(200, 0, 0), dib.At(5, 5));
    EXPECT_EQ(RGB(200, 0, 0), dib.At(39, 19));
}

TEST_F(HostFixture, OwnerDrawListMeasuresAtCreationAndDrawsItems) {
    COwnerList list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                            CRect(10, 10, 150, 150), &host, 91));
    EXPECT_GE(list.nMeasure, 1) << "WM_MEASUREITEM sent while the list was being created";
    EXPECT_EQ(23, list.GetItemHeight(0));
    list.AddString("one");
    list.AddString("two");
    list.UpdateWindow();
    EXPECT_GE(list.nDraw, 2);

    Dib dib(60, 23);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_LISTBOX;
    dis.CtlID = 91;
    dis.itemID = 0;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = list.m_hWnd;
    dis.hDC = dib.dc.m_hDC;
    dis.rcItem = {0, 0, 60, 23};
    host.SendMessage(WM_DRAWITEM, 91, (LPARAM)&dis);
    EXPECT_EQ(RGB(0, 0, 200), dib.At(30, 11));
}

TEST_F(HostFixture, DrawItemReflectEntryReachesChildMap) {
    CReflectingCtl ctl;
    ASSERT_TRUE(ctl.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 30, 30), &host, 92));
    Dib dib(10, 10);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_STATIC;
    dis.CtlID = 92;
    dis.hwndItem = ctl.m_hWnd;
    dis.hDC = dib.dc.m_hDC;
    dis.rcItem = {0, 0, 10, 10};
    host.SendMessage(WM_DRAWITEM, 92, (LPARAM)&dis);
    ASSERT_EQ(1u, ctl.log.size());
    EXPECT_EQ("drawitem", ctl.log[0]);
    EXPECT_EQ(RGB(0, 200, 200), dib.At(9, 9));
}

TEST_F(HostFixture, CtlColorReflectedPaintsStaticBackground) {
    CColorStatic st;
    ASSERT_TRUE(st.Create("", WS_VISIBLE | SS_LEFT, CRect(10, 10, 50, 30), &host, 93));
    // The static paints into our DIB and asks its parent for colours.
    Dib dib(40, 20);
    dib.dc.FillSolidRect(0, 0, 40, 20, RGB(255, 255, 255));
    st.SendMessage(WM_PRINTCLIENT, (WPARAM)dib.dc.m_hDC, PRF_CLIENT | PRF_ERASEBKGND);
    st.SendMessage(WM_PAINT, (WPARAM)dib.dc.m_hDC, 0);
    EXPECT_GE(st.nColor, 1);
    EXPECT_EQ(RGB(0, 160, 0), dib.At(20, 10));

    // Directly: the parent's answer is the child's brush.
    LRESULT hbr = host.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)dib.dc.m_hDC, (LPARAM)st.m_hWnd);
    EXPECT_EQ((LRESULT)st.brush.m_hObject, hbr);
}

struct NotifyCase {
    const char* name;
    UINT idFrom;
    UINT code;
    const char* childLog;  // what the child's map saw ("" nothing)
    const char* hostLog;   // what the parent's map saw ("" nothing)
    LRESULT result;
};

class NotifyDispatch : public HostFixture, public ::testing::WithParamInterface<NotifyCase> {};

TEST_P(NotifyDispatch, ByIdAndCode) {
    const NotifyCase& c = GetParam();
    // A plain child (no reflection entries) and a reflecting one.
    CWnd plain;
    CReflectingCtl refl;
    ASSERT_TRUE(plain.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), &host, c.idFrom));
    ASSERT_TRUE(refl.Create(nullptr, nullptr, WS_VISIBLE, CRect(20, 0, 30, 10), &host, 900));
    bool toReflecting = strncmp(c.name, "Reflect", 7) == 0;
    NMHDR hdr = {};
    hdr.hwndFrom = toReflecting ? refl.m_hWnd : plain.m_hWnd;
    hdr.idFrom = c.idFrom;
    hdr.code = c.code;
    LRESULT r = host.SendMessage(WM_NOTIFY, c.idFrom, (LPARAM)&hdr);
    std::string childSaw = refl.log.empty() ? "" : refl.log[0];
    std::string hostSaw = host.log.empty() ? "" : host.log[0];
    EXPECT_EQ(c.childLog, childSaw);
    EXPECT_EQ(c.hostLog, hostSaw);
    EXPECT_EQ(c.result, r);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotifyDispatch,
    ::testing::Values(
        NotifyCase{"RightIdRightCode", 201, (UINT)NM_CLICK, "", "notify201", 7},
        NotifyCase{"RightCodeOtherId", 202, (UINT)NM_CLICK, "", "", 0},
        NotifyCase{"RightIdOtherCode", 201, (UINT)NM_DBLCLK, "", "", 0},
        NotifyCase{"ReflectClickTakenByChild", 201, (UINT)NM_CLICK, "click201", "", 5},
        NotifyCase{"ReflectExDeclinedReachesParent", 203, (UINT)NM_RCLICK, "rclick", "shared", 0},
        NotifyCase{"ReflectOtherCodeGoesToParentMap", 201, (UINT)NM_DBLCLK, "", "", 0}),
    [](const ::testing::TestParamInfo<NotifyCase>& i) { return std::string(i.param.name); });

TEST_F(HostFixture, ControlCommandsReflectThenReachParent) {
    struct Case {
        const char* name;
        BOOL share;
        int childCount;
        size_t hostCount;
    } cases[] = {{"child takes it", FALSE, 1, 0}, {"child shares it", TRUE, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.log.clear();
        CClickButton btn;
        btn.bShare = c.share;
        ASSERT_TRUE(btn.Create("b", WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 40, 20), &host, 301));
        btn.SendMessage(BM_CLICK);
        EXPECT_EQ(c.childCount, btn.nClicked);
        EXPECT_EQ(c.hostCount, host.log.size());
        if (c.hostCount) {
            EXPECT_EQ("clicked301", host.log[0]);
        }
        btn.DestroyWindow();
    }
    // A plain button and an edit: ON_BN_CLICKED / ON_EN_CHANGE by id.
    host.log.clear();
    CButton plain;
    CEdit edit;
    ASSERT_TRUE(plain.Create("p", WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 30, 40, 50), &host, 300));
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER, CRect(50, 30, 150, 50), &host, 302));
    plain.SendMessage(BM_CLICK);
    edit.SetWindowText("x");
    ASSERT_EQ(2u, host.log.size());
    EXPECT_EQ("clicked300", host.log[0]);
    EXPECT_EQ("change302", host.log[1]);
}

// --- Self-deletion while dispatching ------------------------------------------

// Freed objects of this class are poisoned and kept, never returned to the
// heap: a dispatcher that writes to one after it was deleted changes bytes
// the test then finds.
struct Graveyard {
    std::vector<std::pair<unsigned char*, size_t>> graves;
    bool Untouched() const {
        for (const auto& g : graves)
            for (size_t i = 0; i < g.second; ++i)
                if (g.first[i] != 0xDD) return false;
        return true;
    }
    void Clear() {
        for (const auto& g : graves) ::operator delete(g.first);
        graves.clear();
    }
};
Graveyard g_graveyard;

class CSelfDeleting : public CWnd {
public:
    static int s_live;
    static int s_postNcDestroy;
    // 0 destroy in the handler, 1 destroy in a nested message, 2 the
    // handler deletes the object outright (its window goes with it)
    int nMode = 0;
    CSelfDeleting() { ++s_live; }
    ~CSelfDeleting() override { --s_live; }
    static void* operator new(size_t n) { return ::operator new(n); }
    static void operator delete(void* p, size_t n) {
        memset(p, 0xDD, n);
        g_graveyard.graves.push_back({(unsigned char*)p, n});
    }
    void PostNcDestroy() override {
        ++s_postNcDestroy;
        delete this;
    }
    afx_msg void OnLButtonDown(UINT, CPoint) {
        if (nMode == 2) {
            delete this;
            s_lastLive = s_live;
            return;  // nothing of the object may be touched now
        }
        if (nMode == 0)
            DestroyWindow();
        else
            SendMessage(WM_APP + 1);
        // Still inside our own message: the object must be alive.
        s_lastLive = s_live;
        s_lastPost = s_postNcDestroy;
        Default();  // the window is gone: this must be harmless
    }
    afx_msg LRESULT OnDestroyNested(WPARAM, LPARAM) {
        DestroyWindow();
        s_nestedLive = s_live;
        return 0;
    }
    static int s_lastLive, s_lastPost, s_nestedLive;
    DECLARE_MESSAGE_MAP()
};
int CSelfDeleting::s_live = 0;
int CSelfDeleting::s_postNcDestroy = 0;
int CSelfDeleting::s_lastLive = -1;
int CSelfDeleting::s_lastPost = -1;
int CSelfDeleting::s_nestedLive = -1;
BEGIN_MESSAGE_MAP(CSelfDeleting, CWnd)
ON_WM_LBUTTONDOWN()
ON_MESSAGE(WM_APP + 1, OnDestroyNested)
END_MESSAGE_MAP()

TEST_F(HostFixture, SelfDeletingWindowWaitsForItsOutermostDispatch) {
    struct Case {
        const char* name;
        int mode;
        bool posted;  // through the message loop rather than SendMessage
        int liveInHandler, postNcDestroys;
    } cases[] = {{"destroy in handler, sent", 0, false, 1, 1},
                 {"destroy in nested message, sent", 1, false, 1, 1},
                 {"destroy in handler, posted", 0, true, 1, 1},
                 {"destroy in nested message, posted", 1, true, 1, 1},
                 {"delete in handler, sent", 2, false, 0, 0},
                 {"delete in handler, posted", 2, true, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSelfDeleting::s_live = 0;
        CSelfDeleting::s_postNcDestroy = 0;
        CSelfDeleting::s_lastLive = CSelfDeleting::s_lastPost = CSelfDeleting::s_nestedLive = -1;
        CSelfDeleting* p = new CSelfDeleting;
        p->nMode = c.mode;
        ASSERT_TRUE(p->Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 50, 50), &host, 400));
        HWND hWnd = p->m_hWnd;
        EXPECT_EQ(1, CSelfDeleting::s_live);
        if (c.posted) {
            PostMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PumpUntil(2000, [] { return CSelfDeleting::s_live == 0; });
        } else {
            SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        }
        EXPECT_EQ(c.liveInHandler, CSelfDeleting::s_lastLive);
        if (c.mode != 2) {
            EXPECT_EQ(0, CSelfDeleting::s_lastPost) << "deleted while its handler still ran";
        }
        if (c.mode == 1) {
            EXPECT_EQ(1, CSelfDeleting::s_nestedLive);
        }
        EXPECT_EQ(0, CSelfDeleting::s_live) << "deleted once the dispatch returned";
        EXPECT_EQ(c.postNcDestroys, CSelfDeleting::s_postNcDestroy);
        EXPECT_FALSE(IsWindow(hWnd));
        EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
        ASSERT_EQ(1u, g_graveyard.graves.size());
        EXPECT_TRUE(g_graveyard.Untouched()) << "written to after it was deleted";
        g_graveyard.Clear();
    }
}

TEST_F(HostFixture, SelfDeletingChildGoesWithItsParent) {
    CSelfDeleting::s_live = 0;
    CSelfDeleting::s_postNcDestroy = 0;
    CHostWnd parent;
    ASSERT_TRUE(parent.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 100, 100), &host, 402));
    CSelfDeleting* p = new CSelfDeleting;
    ASSERT_TRUE(p->Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 50, 50), &parent, 401));
    parent.DestroyWindow();
    EXPECT_EQ(0, CSelfDeleting::s_live);
    EXPECT_EQ(1, CSelfDeleting::s_postNcDestroy);
    EXPECT_TRUE(g_graveyard.Untouched());
    g_graveyard.Clear();
}

// --- Handle map, subclassing, window procedure ----------------------------------

TEST_F(HostFixture, FromHandleGivesTemporaryWrappersThatOwnNothing) {
    HWND hWnd = CreateWindowExA(0, "STATIC", "foreign", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20,
                                host.m_hWnd, (HMENU)12, nullptr, nullptr);
    ASSERT_NE(nullptr, hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    CWnd* t1 = CWnd::FromHandle(hWnd);
    CWnd* t2 = CWnd::FromHandle(hWnd);
    ASSERT_NE(nullptr, t1);
    EXPECT_EQ(t1, t2);
    EXPECT_EQ(hWnd, t1->m_hWnd);
    EXPECT_EQ(&host, t1->GetParent()) << "a permanent object wins over a temporary";
    EXPECT_EQ(12, t1->GetDlgCtrlID());
    CWnd::DeleteTempMap();
    EXPECT_TRUE(IsWindow(hWnd)) << "freeing a temporary must not destroy its window";
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    DestroyWindow(hWnd);
}

class CCountingWnd : public CWnd {
public:
    int nDef = 0, nProc = 0, nClicks = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        ++nProc;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        ++nDef;
        return CWnd::DefWindowProc(message, wParam, lParam);
    }
    afx_msg void OnLButtonUp(UINT, CPoint pt) {
        ++nClicks;
        lastPt = pt;
    }
    CPoint lastPt;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCountingWnd, CWnd)
ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

TEST_F(HostFixture, SubclassAndUnsubclassAForeignWindow) {
    HWND hWnd = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, host.m_hWnd,
                                (HMENU)13, nullptr, nullptr);
    ASSERT_NE(nullptr, hWnd);
    WNDPROC original = (WNDPROC)GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
    CCountingWnd w;
    ASSERT_TRUE(w.SubclassDlgItem(13, &host));
    EXPECT_FALSE(CCountingWnd().SubclassWindow(hWnd)) << "one object per window";
    EXPECT_EQ(&w, CWnd::FromHandle(hWnd));
    SendMessageA(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(-3, 7));
    EXPECT_EQ(1, w.nClicks);
    EXPECT_EQ(-3, w.lastPt.x) << "signed coordinates";
    EXPECT_EQ(7, w.lastPt.y);
    int nDefBefore = w.nDef;
    CString text;
    w.GetWindowText(text);  // WM_GETTEXT: no map entry, goes to DefWindowProc
    EXPECT_STREQ("b", (LPCSTR)text);
    EXPECT_GT(w.nDef, nDefBefore);
    EXPECT_EQ(hWnd, w.UnsubclassWindow());
    EXPECT_EQ(original, (WNDPROC)GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    int nProc = w.nProc;
    SendMessageA(hWnd, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(nProc, w.nProc);
    DestroyWindow(hWnd);
}

TEST_F(HostFixture, AttachDetachMapsWithoutSubclassing) {
    HWND hWnd = CreateWindowExA(0, "STATIC", "s", WS_CHILD, 0, 0, 10, 10, host.m_hWnd, nullptr,
                                nullptr, nullptr);
    WNDPROC original = (WNDPROC)GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
    {
        CWnd w;
        ASSERT_TRUE(w.Attach(hWnd));
        EXPECT_EQ(&w, CWnd::FromHandlePermanent(hWnd));
        EXPECT_EQ(original, (WNDPROC)GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
        EXPECT_EQ(hWnd, w.Detach());
        EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    }
    EXPECT_TRUE(IsWindow(hWnd)) << "a detached object leaves the window alone";
    DestroyWindow(hWnd);
}

TEST_F(HostFixture, DestructorOfLiveWindowDestroysItWithoutCallingBack) {
    HWND hWnd;
    int nProcAtDestroy;
    {
        CCountingWnd w;
        ASSERT_TRUE(w.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), &host, 14));
        hWnd = w.m_hWnd;
        nProcAtDestroy = w.nProc;
        EXPECT_GT(nProcAtDestroy, 0);
    }
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

// --- Timers, geometry, styles, text --------------------------------------------

class CTimerWnd : public CWnd {
public:
    std::vector<UINT_PTR> ids;
    afx_msg void OnTimer(UINT_PTR nIDEvent) {
        ids.push_back(nIDEvent);
        KillTimer(nIDEvent);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTimerWnd, CWnd)
ON_WM_TIMER()
END_MESSAGE_MAP()

TEST_F(HostFixture, TimerReachesOnTimerWithItsId) {
    CTimerWnd w;
    ASSERT_TRUE(w.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), &host, 15));
    EXPECT_EQ(0x467u, w.SetTimer(0x467, 10));
    PumpUntil(3000, [&] { return !w.ids.empty(); });
    ASSERT_EQ(1u, w.ids.size());
    EXPECT_EQ(0x467u, w.ids[0]);
    Pump(60);
    EXPECT_EQ(1u, w.ids.size()) << "killed in the handler";
}

TEST_F(HostFixture, GeometryStylesAndText) {
    CWnd w;
    ASSERT_TRUE(w.Create(nullptr, "t", WS_VISIBLE | WS_BORDER, CRect(10, 20, 110, 70), &host, 16));
    CRect rc;
    w.GetClientRect(&rc);
    EXPECT_EQ(98, rc.Width());
    EXPECT_EQ(48, rc.Height());
    CRect wr;
    w.GetWindowRect(&wr);
    host.ScreenToClient(&wr);
    EXPECT_EQ(10, wr.left);
    EXPECT_EQ(20, wr.top);
    w.MoveWindow(5, 6, 50, 40);
    w.GetWindowRect(&wr);
    host.ScreenToClient(&wr);
    EXPECT_EQ(5, wr.left);
    EXPECT_EQ(46, wr.bottom);
    CPoint pt(0, 0);
    w.ClientToScreen(&pt);
    host.ScreenToClient(&pt);
    EXPECT_EQ(6, pt.x);  // 5 plus the border

    EXPECT_TRUE(w.ModifyStyle(WS_BORDER, WS_TABSTOP, SWP_FRAMECHANGED));
    EXPECT_FALSE(w.GetStyle() & WS_BORDER);
    EXPECT_TRUE(w.GetStyle() & WS_TABSTOP);
    EXPECT_FALSE(w.ModifyStyle(0, WS_TABSTOP)) << "no change reports FALSE";
    EXPECT_TRUE(w.ModifyStyleEx(0, WS_EX_TRANSPARENT));
    EXPECT_TRUE(w.GetExStyle() & WS_EX_TRANSPARENT);

    w.SetWindowText("한글 text");
    CString s;
    w.GetWindowText(s);
    EXPECT_STREQ("한글 text", (LPCSTR)s);
    EXPECT_EQ((int)strlen("한글 text"), w.GetWindowTextLength());

    w.EnableWindow(FALSE);
    EXPECT_FALSE(w.IsWindowEnabled());
    w.ShowWindow(SW_HIDE);
    EXPECT_FALSE(w.IsWindowVisible());
    EXPECT_EQ(&w, host.GetDlgItem(16));
}

class CFocusSpy : public CWnd {
public:
    std::vector<std::pair<std::string, CWnd*>> log;
    afx_msg void OnSetFocus(CWnd* pOld) { log.push_back({"set", pOld}); }
    afx_msg void OnKillFocus(CWnd* pNew) { log.push_back({"kill", pNew}); }
    afx_msg void OnCaptureChanged(CWnd* pWnd) { log.push_back({"capture", pWnd}); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CFocusSpy, CWnd)
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

TEST_F(HostFixture, FocusAndCaptureMoveBetweenObjects) {
    CFocusSpy a, b;
    ASSERT_TRUE(a.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 20, 20), &host, 18));
    ASSERT_TRUE(b.Create(nullptr, nullptr, WS_VISIBLE, CRect(30, 0, 50, 20), &host, 19));
    host.SetForegroundWindow();
    a.SetFocus();
    EXPECT_EQ(&a, CWnd::GetFocus());
    a.log.clear();
    b.SetFocus();
    EXPECT_EQ(&b, CWnd::GetFocus());
    ASSERT_EQ(1u, a.log.size());
    EXPECT_EQ("kill", a.log[0].first);
    EXPECT_EQ(&b, a.log[0].second);
    ASSERT_FALSE(b.log.empty());
    EXPECT_EQ("set", b.log.back().first);
    EXPECT_EQ(&a, b.log.back().second);

    a.log.clear();
    b.log.clear();
    a.SetCapture();
    EXPECT_EQ(&a, CWnd::GetCapture());
    b.SetCapture();
    ASSERT_EQ(1u, a.log.size());
    EXPECT_EQ("capture", a.log[0].first);
    EXPECT_EQ(&b, a.log[0].second);
    ReleaseCapture();
    EXPECT_EQ(nullptr, CWnd::GetCapture());
    ASSERT_EQ(1u, b.log.size());
    EXPECT_EQ(nullptr, b.log[0].second);
}

TEST_F(HostFixture, SetFontAndGetFontRoundTrip) {
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, "Arial"));
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE, CRect(0, 0, 80, 20), &host, 17));
    edit.SetFont(&font);
    CFont* got = edit.GetFont();
    ASSERT_NE(nullptr, got);
    EXPECT_EQ(font.m_hObject, got->m_hObject);
}

}  // namespace
