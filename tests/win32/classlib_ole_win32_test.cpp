// OLE data transfer: a data source's text through the OLE clipboard (read
// back by OLE and by the plain clipboard), text another program put on the
// clipboard read through the data object, and a drag from one window to
// another driven by real input from a helper thread: move, copy with Ctrl,
// and no drop outside a target or after Escape.
#include "classlib/afxole.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tests/harness/harness.h"

namespace {

HGLOBAL TextBlock(const std::string& bytes) {
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, bytes.size());
    void* p = ::GlobalLock(h);
    std::memcpy(p, bytes.data(), bytes.size());
    ::GlobalUnlock(h);
    return h;
}

// The text of a block, up to its first zero or its end.
std::string BlockText(HGLOBAL h) {
    if (!h) return "<none>";
    const char* p = static_cast<const char*>(::GlobalLock(h));
    const size_t n = ::GlobalSize(h);
    const void* z = std::memchr(p, 0, n);
    std::string s(p, z ? static_cast<const char*>(z) - p : n);
    ::GlobalUnlock(h);
    return s;
}

class OleTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(AfxOleInit()); }
    void TearDown() override {
        COleDataSource::FlushClipboard();
        ::OleUninitialize();
    }
};

TEST_F(OleTest, ClipboardRoundTrip) {
    const std::string bytes("a\tb\nc\t \0", 8);
    COleDataSource* src = new COleDataSource;
    src->CacheGlobalData(CF_TEXT, TextBlock(bytes));
    ASSERT_TRUE(src->SetClipboard());

    COleDataObject data;
    ASSERT_TRUE(data.AttachClipboard());
    EXPECT_TRUE(data.IsDataAvailable(CF_TEXT));
    EXPECT_FALSE(data.IsDataAvailable(CF_BITMAP));
    HGLOBAL h = data.GetGlobalData(CF_TEXT);
    EXPECT_EQ("a\tb\nc\t ", BlockText(h));
    ::GlobalFree(h);
    EXPECT_EQ(nullptr, data.GetGlobalData(CF_BITMAP));
    data.Release();

    // Another program reads it through the plain clipboard.
    ASSERT_TRUE(::OpenClipboard(nullptr));
    EXPECT_EQ("a\tb\nc\t ", BlockText(::GetClipboardData(CF_TEXT)));
    ::CloseClipboard();
}

TEST_F(OleTest, ForeignTextThroughTheDataObject) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::SetClipboardData(CF_TEXT, TextBlock(std::string("1,2\n3\t4\0", 8)));
    ::CloseClipboard();
    COleDataObject data;
    ASSERT_TRUE(data.AttachClipboard());
    ASSERT_TRUE(data.IsDataAvailable(CF_TEXT));
    HGLOBAL h = data.GetGlobalData(CF_TEXT);
    EXPECT_EQ("1,2\n3\t4", BlockText(h));
    ::GlobalFree(h);
}

// --- A drag between two windows -------------------------------------------------

class RecordingTarget : public COleDropTarget {
public:
    std::vector<std::string> events;
    std::string dropped;
    DROPEFFECT Answer(DWORD keys) { return keys & MK_CONTROL ? DROPEFFECT_COPY : DROPEFFECT_MOVE; }
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* d, DWORD keys, CPoint) override {
        events.push_back("enter");
        return d->IsDataAvailable(CF_TEXT) ? Answer(keys) : DROPEFFECT_NONE;
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject* d, DWORD keys, CPoint) override {
        if (events.empty() || events.back() != "over") events.push_back("over");
        return d->IsDataAvailable(CF_TEXT) ? Answer(keys) : DROPEFFECT_NONE;
    }
    void OnDragLeave(CWnd*) override { events.push_back("leave"); }
    BOOL OnDrop(CWnd*, COleDataObject* d, DROPEFFECT, CPoint point) override {
        events.push_back("drop");
        HGLOBAL h = d->GetGlobalData(CF_TEXT);
        dropped = BlockText(h);
        ::GlobalFree(h);
        dropPoint = point;
        return TRUE;
    }
    CPoint dropPoint{-1, -1};
};

TEST_F(OleTest, DragBetweenWindowsWithRealInput) {
    enum Ending { kOverTarget, kOverTargetWithCtrl, kOverNothing, kEscape };
    struct Case {
        const char* name;
        Ending ending;
        DROPEFFECT effect;
        const char* dropped;
        const char* events;
    };
    const Case cases[] = {
        {"move onto the target", kOverTarget, DROPEFFECT_MOVE, "moved text", "enter over drop"},
        {"Ctrl copies", kOverTargetWithCtrl, DROPEFFECT_COPY, "moved text", "enter over drop"},
        {"released over no target", kOverNothing, DROPEFFECT_NONE, "", "enter over leave"},
        {"Escape cancels", kEscape, DROPEFFECT_NONE, "", "enter over leave"},
    };
    auto source = uitest::MakeTopWindow(100, 100, 200, 120, RGB(200, 200, 255));
    auto target = uitest::MakeTopWindow(420, 100, 200, 120, RGB(200, 255, 200));
    uitest::PumpFor(100);
    CWnd targetWnd;
    targetWnd.Attach(target->hwnd());
    for (const Case& k : cases) {
        RecordingTarget dropTarget;
        ASSERT_TRUE(dropTarget.Register(&targetWnd)) << k.name;
        uitest::BringToFront(source->hwnd());
        uitest::MoveCursorClient(source->hwnd(), 50, 50);
        uitest::MouseDown();

        std::thread helper([&] {
            ::Sleep(300);
            const POINT to = uitest::ClientToScreenPoint(target->hwnd(), 100, 60);
            const POINT from = uitest::ClientToScreenPoint(source->hwnd(), 50, 50);
            for (int i = 1; i <= 10; ++i) {
                uitest::MoveCursor(from.x + (to.x - from.x) * i / 10,
                                   from.y + (to.y - from.y) * i / 10);
                ::Sleep(30);
            }
            if (k.ending == kOverNothing) {
                uitest::MoveCursor(to.x, to.y + 300);
                ::Sleep(100);
            }
            if (k.ending == kOverTargetWithCtrl) {
                // The key itself is a change of state the drag loop passes
                // on. (Under Wine a cursor move after it would reset the
                // modifiers to the X server's, which never saw the key.)
                uitest::KeyDown(VK_CONTROL);
                ::Sleep(100);
            }
            if (k.ending == kEscape) {
                uitest::KeyPress(VK_ESCAPE);
                ::Sleep(100);
            }
            uitest::MouseUp();
            if (k.ending == kOverTargetWithCtrl) {
                // Held until the drop has surely been handled.
                ::Sleep(300);
                uitest::KeyUp(VK_CONTROL);
            }
        });

        COleDataSource* src = new COleDataSource;
        src->CacheGlobalData(CF_TEXT, TextBlock(std::string("moved text\0", 11)));
        const DROPEFFECT effect = src->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
        src->InternalRelease();
        helper.join();
        uitest::PumpFor(50);

        EXPECT_EQ(k.effect, effect) << k.name;
        EXPECT_EQ(k.dropped, dropTarget.dropped) << k.name;
        std::string events;
        for (const std::string& e : dropTarget.events) events += (events.empty() ? "" : " ") + e;
        EXPECT_EQ(k.events, events) << k.name;
        if (k.effect != DROPEFFECT_NONE) {
            EXPECT_NEAR(100, dropTarget.dropPoint.x, 3) << k.name;
            EXPECT_NEAR(60, dropTarget.dropPoint.y, 3) << k.name;
        }
        dropTarget.Revoke();
    }
    targetWnd.Detach();
}

}  // namespace
