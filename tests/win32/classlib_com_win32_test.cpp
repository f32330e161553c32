// The COM server module and the application lock: class objects of the
// object map registered with COM and revoked, the classes' registry
// updates, the registrar of the registry script resource, and the end of
// the message loop when the last lock of a windowless server goes.
#include "classlib/afxcom.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// {6B1F2C4E-8D3A-4E57-9C21-0F4A7B3D5E91}: a class only this test serves.
const CLSID kClsidA = {
    0x6b1f2c4e, 0x8d3a, 0x4e57, {0x9c, 0x21, 0x0f, 0x4a, 0x7b, 0x3d, 0x5e, 0x91}};
// {6B1F2C4E-8D3A-4E57-9C21-0F4A7B3D5E92}
const CLSID kClsidB = {
    0x6b1f2c4e, 0x8d3a, 0x4e57, {0x9c, 0x21, 0x0f, 0x4a, 0x7b, 0x3d, 0x5e, 0x92}};

// A class factory that makes nothing; it counts its references.
class Factory : public IClassFactory {
public:
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)InterlockedIncrement(&refs); }
    ULONG STDMETHODCALLTYPE Release() override { return (ULONG)InterlockedDecrement(&refs); }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** ppv) override {
        *ppv = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factoryA, g_factoryB;
std::vector<std::string> g_calls;
bool g_failB = false;

HRESULT MakeA(REFIID riid, void** ppv) { return g_factoryA.QueryInterface(riid, ppv); }
HRESULT MakeB(REFIID riid, void** ppv) {
    if (g_failB) return E_OUTOFMEMORY;
    return g_factoryB.QueryInterface(riid, ppv);
}
HRESULT UpdateA(BOOL bRegister) {
    g_calls.push_back(bRegister ? "A+" : "A-");
    return S_OK;
}
HRESULT UpdateB(BOOL bRegister) {
    g_calls.push_back(bRegister ? "B+" : "B-");
    return bRegister ? E_FAIL : S_OK;
}

BEGIN_OBJECT_MAP(TwoClasses)
OBJECT_ENTRY(kClsidA, UpdateA, MakeA)
OBJECT_ENTRY(kClsidB, UpdateB, MakeB)
END_OBJECT_MAP()

BEGIN_OBJECT_MAP(NoClasses)
END_OBJECT_MAP()

// Whether COM hands out the registered class object of clsid.
bool Served(const CLSID& clsid) {
    IClassFactory* pCF = nullptr;
    const HRESULT hr =
        ::CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, (void**)&pCF);
    if (SUCCEEDED(hr) && pCF) {
        pCF->Release();
        return true;
    }
    return false;
}

struct ComFixture : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
        g_calls.clear();
        g_failB = false;
        g_factoryA.refs = g_factoryB.refs = 1;
    }
    void TearDown() override { ::CoUninitialize(); }
};

}  // namespace

TEST_F(ComFixture, ClassObjectsAreServedWhileRegistered) {
    CComModule module;
    ASSERT_EQ(S_OK, module.Init(TwoClasses, nullptr));
    EXPECT_EQ(::GetModuleHandleA(nullptr), module.GetModuleInstance());
    ASSERT_EQ(S_OK, module.RegisterClassObjects(CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE));
    EXPECT_TRUE(Served(kClsidA));
    EXPECT_TRUE(Served(kClsidB));
    ASSERT_EQ(S_OK, module.RevokeClassObjects());
    EXPECT_FALSE(Served(kClsidA));
    EXPECT_FALSE(Served(kClsidB));
    EXPECT_EQ(1, g_factoryA.refs) << "COM's and the module's references are given back";
    EXPECT_EQ(1, g_factoryB.refs);
}

TEST_F(ComFixture, AFailedRegistrationLeavesNothingRegistered) {
    g_failB = true;
    CComModule module;
    module.Init(TwoClasses, nullptr);
    EXPECT_EQ(E_OUTOFMEMORY, module.RegisterClassObjects(CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE));
    EXPECT_FALSE(Served(kClsidA)) << "the class registered before the failure is revoked";
    EXPECT_EQ(1, g_factoryA.refs);
}

TEST_F(ComFixture, TermRevokesWhatIsStillRegistered) {
    {
        CComModule module;
        module.Init(TwoClasses, nullptr);
        ASSERT_EQ(S_OK, module.RegisterClassObjects(CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE));
        module.Term();
        EXPECT_FALSE(Served(kClsidA));
        module.Term();  // twice is harmless
    }
    EXPECT_EQ(1, g_factoryA.refs);
}

TEST_F(ComFixture, EmptyMapRegistersNothingAndSucceeds) {
    CComModule module;
    module.Init(NoClasses, nullptr);
    EXPECT_EQ(S_OK, module.RegisterClassObjects(CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE));
    EXPECT_EQ(S_OK, module.RegisterServer(TRUE)) << "no type library: nothing to do";
    EXPECT_EQ(S_OK, module.UnregisterServer(TRUE));
    EXPECT_EQ(S_OK, module.RevokeClassObjects());
}

TEST_F(ComFixture, ServerRegistrationRunsEachClassUpdate) {
    struct Case {
        const char* name;
        bool registering;
        const CLSID* only;
        std::vector<std::string> calls;
        bool ok;
    };
    const Case cases[] = {
        {"register all stops at the failing class", true, nullptr, {"A+", "B+"}, false},
        {"unregister all", false, nullptr, {"A-", "B-"}, true},
        {"register one class", true, &kClsidA, {"A+"}, true},
        {"unregister one class", false, &kClsidB, {"B-"}, true},
    };
    CComModule module;
    module.Init(TwoClasses, nullptr);
    for (const Case& c : cases) {
        g_calls.clear();
        const HRESULT hr = c.registering ? module.RegisterServer(FALSE, c.only)
                                         : module.UnregisterServer(FALSE, c.only);
        EXPECT_EQ(c.calls, g_calls) << c.name;
        EXPECT_EQ(c.ok, SUCCEEDED(hr)) << c.name;
    }
}

namespace {
struct RegistrarCall {
    HINSTANCE hInst;
    UINT id;
    BOOL reg;
};
std::vector<RegistrarCall> g_registrar;
HRESULT FakeRegistrar(HINSTANCE hInst, UINT id, BOOL reg) {
    g_registrar.push_back({hInst, id, reg});
    return id == 103 ? S_OK : E_FAIL;
}
}  // namespace

TEST_F(ComFixture, RegistryScriptGoesThroughTheRegistrar) {
    CComModule module;
    module.Init(NoClasses, nullptr);
    EXPECT_EQ(E_NOTIMPL, module.UpdateRegistryFromResource(103, TRUE)) << "no registrar yet";
    module.SetRegistrar(FakeRegistrar);
    g_registrar.clear();
    EXPECT_EQ(S_OK, module.UpdateRegistryFromResource(103, TRUE));
    EXPECT_EQ(E_FAIL, module.UpdateRegistryFromResource(104, FALSE));
    ASSERT_EQ(2u, g_registrar.size());
    EXPECT_EQ(::GetModuleHandleA(nullptr), g_registrar[0].hInst);
    EXPECT_EQ(103u, g_registrar[0].id);
    EXPECT_TRUE(g_registrar[0].reg);
    EXPECT_EQ(104u, g_registrar[1].id);
    EXPECT_FALSE(g_registrar[1].reg);
}

TEST(AppLock, LastUnlockEndsTheLoopOfAWindowlessServerOnly) {
    CWinApp app;
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "lock test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    struct Case {
        const char* name;
        CWnd* mainWnd;
        bool visible;
        bool quits;
    };
    const Case cases[] = {
        {"no main window", nullptr, false, true},
        {"hidden main window", &main, false, true},
        {"visible main window: the user works with it", &main, true, false},
    };
    auto quitPending = [] {
        MSG msg;
        return ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    };
    for (const Case& c : cases) {
        app.m_pMainWnd = c.mainWnd;
        main.ShowWindow(c.visible ? SW_SHOWNA : SW_HIDE);
        quitPending();
        const LONG before = AfxOleGetLockCount();
        AfxOleLockApp();
        AfxOleLockApp();
        EXPECT_EQ(before + 2, AfxOleGetLockCount()) << c.name;
        EXPECT_FALSE(AfxOleCanExitApp()) << c.name;
        AfxOleUnlockApp();
        EXPECT_FALSE(quitPending()) << c.name << ": a lock is still held";
        AfxOleUnlockApp();
        EXPECT_TRUE(AfxOleCanExitApp()) << c.name;
        EXPECT_EQ(c.quits, quitPending()) << c.name;
    }
    app.m_pMainWnd = nullptr;
    main.DestroyWindow();
}

namespace {
class CountingApp : public CWinApp {
public:
    int helps = 0;
    afx_msg void OnHelpCommand() { helps++; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CountingApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelpCommand)
END_MESSAGE_MAP()
}  // namespace

TEST(AppCommands, CommandsTheMainWindowLeavesGoToTheApplication) {
    CountingApp app;
    CWnd main, other;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    ASSERT_TRUE(other.CreateEx(0, nullptr, "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    app.m_pMainWnd = &main;
    struct Case {
        const char* name;
        CWnd* target;
        UINT id;
        int helps;
    };
    const Case cases[] = {
        {"help on the main window", &main, ID_HELP, 1},
        {"another command on the main window", &main, 1234, 0},
        {"help on another window", &other, ID_HELP, 0},
    };
    for (const Case& c : cases) {
        app.helps = 0;
        c.target->SendMessage(WM_COMMAND, MAKEWPARAM(c.id, 0), 0);
        EXPECT_EQ(c.helps, app.helps) << c.name;
    }
    app.m_pMainWnd = nullptr;
    main.DestroyWindow();
    other.DestroyWindow();
}
