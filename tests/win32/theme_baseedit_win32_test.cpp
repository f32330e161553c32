// The in-place cell editor in a real window: the starting key, the keys
// that end the edit, growth up to the parent's edge, exactly one end-of-edit
// report, and the editor deleting itself afterwards.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ThemeClass/BaseEdit.h"
#include "theme_fixture.h"

using themetest::SkinStage;

namespace {

int g_destroyed = 0;

class CountedEdit : public CBaseEdit {
public:
    using CBaseEdit::CBaseEdit;
    ~CountedEdit() override { ++g_destroyed; }
};

// What the owner read from one end-of-edit block during the call.
struct EndRecord {
    HWND from = nullptr;
    UINT_PTR id = 0;
    UINT code = 0;
    WPARAM wParam = 0;
    int row = 0;
    int column = 0;
    UINT mask = 0;
    std::string text;
    LPARAM key = 0;
};

constexpr UINT kEditorId = 8;
const RECT kCell = {20, 20, 220, 44};

// A stage with a sibling edit to click into, recording every end-of-edit
// block the parent receives.
struct Scene {
    SkinStage stage;
    CEdit other;
    std::vector<EndRecord> ends;
    // Runs inside the parent's WM_NOTIFY, after the block was copied.
    std::function<void()> onEnd;

    Scene() {
        uitest::MoveCursorClient(stage.parent(), 390, 290);
        other.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(20, 200, 200, 224), stage.parentWnd(),
                     77);
        stage.log().answer = [this](HWND, UINT msg, WPARAM w, LPARAM l, LRESULT*) {
            if (msg != WM_NOTIFY) return false;
            const auto* n = reinterpret_cast<const InPlaceEditNotify*>(l);
            if (n->hdr.code != static_cast<UINT>(GRID_ENDEDIT)) return false;
            EndRecord r;
            r.from = n->hdr.hwndFrom;
            r.id = n->hdr.idFrom;
            r.code = n->hdr.code;
            r.wParam = w;
            r.row = n->item.row;
            r.column = n->item.column;
            r.mask = n->item.mask;
            r.text = static_cast<LPCTSTR>(n->item.text);
            r.key = n->item.userData;
            ends.push_back(r);
            if (onEnd) onEnd();
            return false;
        };
        uitest::BringToFront(stage.parent());
        g_destroyed = 0;
    }
    ~Scene() {
        stage.log().answer = nullptr;
        if (other.GetSafeHwnd()) other.DestroyWindow();
    }

    CBaseEdit* Open(UINT firstKey, const char* text = "Hello", RECT cell = kCell) {
        return new CountedEdit(stage.parentWnd(), CRect(cell), 0, kEditorId, 3, 5, text, firstKey);
    }
};

std::string TextOf(HWND hwnd) {
    char buf[512] = {};
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

std::pair<int, int> SelOf(HWND hwnd) {
    DWORD s = 0, e = 0;
    SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return {static_cast<int>(s), static_cast<int>(e)};
}

}  // namespace

TEST(BaseEditInPlace, FirstKeyActsOnTheInitialText) {
    struct Case {
        const char* name;
        UINT key;
        std::string text;
        std::pair<int, int> sel;
    };
    const Case cases[] = {
        {"click: caret at the end", 1, "Hello", {5, 5}},
        {"return: caret at the end", VK_RETURN, "Hello", {5, 5}},
        {"backspace deletes the last character", VK_BACK, "Hell", {4, 4}},
        {"tab selects the whole text", VK_TAB, "Hello", {0, 5}},
        {"space selects the whole text", VK_SPACE, "Hello", {0, 5}},
        {"left arrow selects the whole text", VK_LEFT, "Hello", {0, 5}},
        {"down arrow selects the whole text", VK_DOWN, "Hello", {0, 5}},
        {"a letter replaces the whole text", 'x', "x", {1, 1}},
    };
    for (const Case& c : cases) {
        Scene s;
        CBaseEdit* e = s.Open(c.key);
        const HWND h = e->GetSafeHwnd();
        ASSERT_TRUE(h) << c.name;
        EXPECT_EQ(h, GetFocus()) << c.name << ": the editor takes the focus";
        EXPECT_EQ(c.text, TextOf(h)) << c.name;
        EXPECT_EQ(c.sel, SelOf(h)) << c.name;
        const LONG style = static_cast<LONG>(GetWindowLongPtrA(h, GWL_STYLE));
        const LONG want = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
        EXPECT_EQ(want, style & want) << c.name << ": child, visible, scrolling";
        // The edit control keeps the border bit to itself and draws a
        // one-pixel frame inside its client area.
        const uitest::Picture pic = themetest::Shot(h);
        EXPECT_NE("FFFFFF", themetest::Hex(pic.At(0, 12))) << c.name << ": border";
        EXPECT_NE("FFFFFF", themetest::Hex(pic.At(199, 12))) << c.name << ": border";
        EXPECT_EQ("FFFFFF", themetest::Hex(pic.At(150, 12))) << c.name << ": inside";
        EXPECT_TRUE(s.ends.empty()) << c.name;
        // Focus to the parent: the edit ends with key 0 and closes.
        SetFocus(s.stage.parent());
        uitest::PumpFor(50);
        ASSERT_EQ(1u, s.ends.size()) << c.name;
        EXPECT_EQ(c.text, s.ends[0].text) << c.name;
        EXPECT_EQ(0, s.ends[0].key) << c.name;
        EXPECT_FALSE(IsWindow(h)) << c.name;
        EXPECT_EQ(1, g_destroyed) << c.name;
    }
}

TEST(BaseEditInPlace, KeysThatEndTheEdit) {
    struct Case {
        const char* name;
        UINT firstKey;
        std::function<void(Scene&, HWND)> act;
        std::string text;
        LPARAM key;
    };
    const Case cases[] = {
        {"escape puts the initial text back", 'x',
         [](Scene&, HWND) {
             uitest::KeyPress('Y');
             uitest::KeyPress(VK_ESCAPE);
         },
         "Hello", VK_ESCAPE},
        {"return keeps the typed text", 'x',
         [](Scene&, HWND) {
             uitest::KeyPress('Y');
             uitest::KeyPress(VK_RETURN);
         },
         "xy", VK_RETURN},
        {"tab after a click start", 1, [](Scene&, HWND) { uitest::KeyPress(VK_TAB); }, "Hello",
         VK_TAB},
        {"left arrow ends a key-started edit", 'x', [](Scene&, HWND) { uitest::KeyPress(VK_LEFT); },
         "x", VK_LEFT},
        {"page down ends a key-started edit", 'x', [](Scene&, HWND) { uitest::KeyPress(VK_NEXT); },
         "x", VK_NEXT},
        {"arrows stay inside a click-started edit; control-left ends it", 1,
         [](Scene& s, HWND h) {
             uitest::KeyPress(VK_LEFT);
             uitest::KeyPress(VK_UP);
             EXPECT_TRUE(s.ends.empty());
             // Up moves left in a one-line edit.
             EXPECT_EQ((std::pair<int, int>{3, 3}), SelOf(h)) << "the caret moved left twice";
             uitest::KeyChord({VK_CONTROL, VK_LEFT});
         },
         "Hello", VK_LEFT},
        {"home keeps editing; leaving ends with 0", 'x',
         [](Scene& s, HWND) {
             uitest::KeyPress(VK_HOME);
             EXPECT_TRUE(s.ends.empty());
         },
         "x", 0},
        {"clicking another control ends with 0", 'x',
         [](Scene& s, HWND) { uitest::ClickClient(s.other.GetSafeHwnd(), 20, 10); }, "x", 0},
    };
    for (const Case& c : cases) {
        Scene s;
        CBaseEdit* e = s.Open(c.firstKey);
        const HWND h = e->GetSafeHwnd();
        ASSERT_TRUE(h) << c.name;
        c.act(s, h);
        // Leaving afterwards never adds a second report.
        SetFocus(s.stage.parent());
        uitest::PumpFor(50);
        ASSERT_EQ(1u, s.ends.size()) << c.name;
        const EndRecord& r = s.ends[0];
        EXPECT_EQ(c.text, r.text) << c.name;
        EXPECT_EQ(c.key, r.key) << c.name;
        EXPECT_EQ(h, r.from) << c.name;
        EXPECT_EQ(kEditorId, r.id) << c.name;
        EXPECT_EQ(kEditorId, r.wParam) << c.name;
        EXPECT_EQ(static_cast<UINT>(-106), r.code) << c.name;
        EXPECT_EQ(3, r.row) << c.name;
        EXPECT_EQ(5, r.column) << c.name;
        EXPECT_EQ(5u, r.mask) << c.name;
        EXPECT_FALSE(IsWindow(h)) << c.name;
        EXPECT_EQ(1, g_destroyed) << c.name;
    }
}

TEST(BaseEditInPlace, OneReportEvenWhenTheOwnerHandsTheFocusBack) {
    Scene s;
    CBaseEdit* e = s.Open('x');
    const HWND h = e->GetSafeHwnd();
    ASSERT_TRUE(h);
    // The owner gives the editor the focus and takes it again while it
    // reads the result: a second loss inside the first.
    s.onEnd = [&] {
        SetFocus(h);
        SetFocus(s.stage.parent());
    };
    SetFocus(s.stage.parent());
    s.onEnd = nullptr;
    uitest::PumpFor(50);
    EXPECT_EQ(1u, s.ends.size());
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(1, g_destroyed);
}

TEST(BaseEditInPlace, OwnerDestroyingTheEditorWhileItReads) {
    Scene s;
    CBaseEdit* e = s.Open('x');
    const HWND h = e->GetSafeHwnd();
    ASSERT_TRUE(h);
    s.onEnd = [&] { DestroyWindow(h); };
    SetFocus(s.stage.parent());
    s.onEnd = nullptr;
    uitest::PumpFor(50);
    EXPECT_EQ(1u, s.ends.size());
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(1, g_destroyed) << "deleted once, after the report";
}

TEST(BaseEditInPlace, GrowsWithItsTextUpToTheParentsEdge) {
    struct Case {
        const char* name;
        RECT cell;
        int chars;
        bool toParentEdge;
    };
    const Case cases[] = {
        {"short text keeps the width", {20, 20, 220, 44}, 3, false},
        {"longer text widens the editor", {20, 20, 80, 44}, 12, false},
        {"very long text stops at the parent's edge", {300, 20, 360, 44}, 80, true},
    };
    for (const Case& c : cases) {
        Scene s;
        CBaseEdit* e = s.Open(1, "", c.cell);
        const HWND h = e->GetSafeHwnd();
        ASSERT_TRUE(h) << c.name;
        for (int i = 0; i < c.chars; ++i) SendMessageA(h, WM_CHAR, 'W', 0);
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, s.stage.parent(), reinterpret_cast<POINT*>(&r), 2);
        RECT parent;
        GetClientRect(s.stage.parent(), &parent);
        // The text and two spaces, in the editor's font.
        const std::string text = std::string(static_cast<size_t>(c.chars), 'W') + "  ";
        HDC dc = GetDC(h);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)));
        SIZE size = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(h, dc);
        const int cellWidth = c.cell.right - c.cell.left;
        int want = c.cell.right;
        if (size.cx > cellWidth) want = c.cell.left + size.cx;
        if (c.toParentEdge) {
            EXPECT_GT(want, parent.right) << c.name << ": the text is wider than the room";
            want = parent.right;
        } else {
            EXPECT_LE(want, parent.right) << c.name;
        }
        EXPECT_EQ(want, r.right) << c.name;
        EXPECT_EQ(c.cell.left, r.left) << c.name;
        EXPECT_EQ(c.cell.top, r.top) << c.name;
        EXPECT_EQ(c.cell.bottom, r.bottom) << c.name;
        SetFocus(s.stage.parent());
        uitest::PumpFor(30);
        EXPECT_EQ(1, g_destroyed) << c.name;
    }
}

TEST(BaseEditInPlace, FailedCreationLeavesNoWindowAndNoReport) {
    Scene s;
    HWND gone = CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 10, 10, s.stage.parent(), nullptr,
                              nullptr, nullptr);
    DestroyWindow(gone);
    struct Case {
        const char* name;
        CWnd* parent;
    };
    CWnd stale;
    stale.m_hWnd = gone;
    const Case cases[] = {{"no parent", nullptr}, {"a parent already destroyed", &stale}};
    for (const Case& c : cases) {
        g_destroyed = 0;
        CBaseEdit* e = new CountedEdit(c.parent, CRect(kCell), 0, kEditorId, 0, 0, "Hello", 'x');
        EXPECT_EQ(nullptr, e->GetSafeHwnd()) << c.name;
        uitest::PumpFor(20);
        EXPECT_EQ(0, g_destroyed) << c.name << ": the object stays for its creator";
        delete e;
        EXPECT_EQ(1, g_destroyed) << c.name;
    }
    stale.m_hWnd = nullptr;
    EXPECT_TRUE(s.ends.empty());
}

namespace {

// A parent that tells the editor's report from a list view's by id: the
// two share the code.
class CEndHost : public CWnd {
public:
    int editorEnds = 0;
    int listEnds = 0;
    void OnEditorEnd(NMHDR*, LRESULT*) { ++editorEnds; }
    void OnListEnd(NMHDR*, LRESULT*) { ++listEnds; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEndHost, CWnd)
ON_NOTIFY(GRID_ENDEDIT, kEditorId, OnEditorEnd)
ON_NOTIFY(LVN_ENDLABELEDITA, 9, OnListEnd)
END_MESSAGE_MAP()

}  // namespace

TEST(BaseEditInPlace, ParentsDispatchTheReportOnIdAndCode) {
    EXPECT_EQ(static_cast<UINT>(LVN_ENDLABELEDITA), static_cast<UINT>(GRID_ENDEDIT));
    Scene s;
    CEndHost host;
    ASSERT_TRUE(host.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 150),
                            s.stage.parentWnd(), 50));
    CBaseEdit* e =
        new CountedEdit(&host, CRect(kCell), 0, kEditorId, 1, 1, "Hello", static_cast<UINT>('x'));
    ASSERT_TRUE(e->GetSafeHwnd());
    SetFocus(s.stage.parent());
    uitest::PumpFor(30);
    EXPECT_EQ(1, host.editorEnds);
    EXPECT_EQ(0, host.listEnds);
    // A list view's own end of label edit, from id 9.
    NMHDR list = {nullptr, 9, static_cast<UINT>(LVN_ENDLABELEDITA)};
    host.SendMessage(WM_NOTIFY, 9, reinterpret_cast<LPARAM>(&list));
    EXPECT_EQ(1, host.editorEnds);
    EXPECT_EQ(1, host.listEnds);
    EXPECT_EQ(1, g_destroyed);
    host.DestroyWindow();
}

TEST(BaseEditInPlace, SysCharIsSwallowedAndAllKeysAreWanted) {
    CBaseEdit edit;
    MSG m = {};
    m.message = WM_SYSCHAR;
    EXPECT_TRUE(edit.PreTranslateMessage(&m));
    m.message = WM_CHAR;
    EXPECT_FALSE(edit.PreTranslateMessage(&m));
    Scene s;
    CBaseEdit* e = s.Open(1);
    ASSERT_TRUE(e->GetSafeHwnd());
    EXPECT_EQ(static_cast<LRESULT>(DLGC_WANTALLKEYS),
              SendMessageA(e->GetSafeHwnd(), WM_GETDLGCODE, 0, 0));
    SetFocus(s.stage.parent());
    uitest::PumpFor(30);
}
