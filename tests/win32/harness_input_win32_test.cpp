// The fixture's stage, pump, read-back and input: painted colours come back
// at their points, real cursor moves give hover and leave from one
// TrackMouseEvent call, clicks, double clicks, drags and keys reach the
// windows, and the recording parent logs the controls' notifications.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/harness/harness.h"

namespace {

const COLORREF kBack = RGB(0, 96, 160);
const COLORREF kRed = RGB(230, 20, 20);

// A child that paints a red square at (10, 10)-(30, 30) over the parent's
// colour, through a recording window's answer.
struct PaintedChild {
    uitest::RecordingWindow* w;
    explicit PaintedChild(HWND parent, bool handlePrint = false) {
        w = uitest::RecordingWindow::CreateChild(parent, 20, 20, 60, 50, kBack);
        w->answer = [handlePrint](HWND h, UINT m, WPARAM wp, LPARAM, LRESULT* r) {
            auto draw = [](HDC dc) {
                RECT sq = {10, 10, 30, 30};
                COLORREF old = SetDCBrushColor(dc, kRed);
                FillRect(dc, &sq, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
                SetDCBrushColor(dc, old);
            };
            if (m == WM_PAINT) {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(h, &ps);
                draw(dc);
                EndPaint(h, &ps);
                *r = 0;
                return true;
            }
            if (m == WM_PRINTCLIENT && handlePrint) {
                HDC dc = reinterpret_cast<HDC>(wp);
                RECT rc;
                GetClientRect(h, &rc);
                COLORREF old = SetDCBrushColor(dc, kBack);
                FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
                SetDCBrushColor(dc, old);
                draw(dc);
                *r = 0;
                return true;
            }
            return false;
        };
        InvalidateRect(w->hwnd(), nullptr, TRUE);
        UpdateWindow(w->hwnd());
    }
    ~PaintedChild() { delete w; }
};

struct ReadCase {
    const char* name;
    int x, y;  // client point of the child
    COLORREF expected;
};

const ReadCase kReads[] = {
    {"square_corner", 10, 10, kRed}, {"square_centre", 20, 20, kRed},
    {"square_last", 29, 29, kRed},   {"right_of_square", 30, 20, kBack},
    {"below_square", 20, 30, kBack}, {"origin", 0, 0, kBack},
};

class ReadBackTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadBackTest, EveryPathSeesThePaintedColour) {
    const ReadCase& c = GetParam();
    uitest::Stage stage(200, 150, 100, 100, RGB(255, 255, 255));
    PaintedChild child(stage.parent(), true);
    uitest::PumpFor(50);
    HWND h = child.w->hwnd();
    uitest::Picture client = uitest::CaptureClient(h);
    ASSERT_EQ(client.width, 60);
    ASSERT_EQ(client.height, 50);
    EXPECT_EQ(client.At(c.x, c.y), c.expected);
    EXPECT_EQ(uitest::ClientPixel(h, c.x, c.y), c.expected);
    POINT s = uitest::ClientToScreenPoint(h, c.x, c.y);
    EXPECT_EQ(uitest::CaptureScreen({s.x, s.y, s.x + 1, s.y + 1}).At(0, 0), c.expected);
    EXPECT_EQ(uitest::CaptureByPrint(h).At(c.x, c.y), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Points, ReadBackTest, ::testing::ValuesIn(kReads),
                         [](const ::testing::TestParamInfo<ReadCase>& i) {
                             return std::string(i.param.name);
                         });

TEST(StageTest, HostIsTopmostAndBackgroundIsPainted) {
    uitest::Stage stage(160, 120, 300, 200, RGB(10, 200, 30));
    EXPECT_TRUE(GetWindowLongA(stage.host(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT rc;
    GetWindowRect(stage.host(), &rc);
    EXPECT_EQ(rc.left, 300);
    EXPECT_EQ(rc.top, 200);
    uitest::Picture p = uitest::CaptureClient(stage.parent());
    EXPECT_EQ(p.CountColor(RGB(10, 200, 30), {0, 0, 160, 120}), 160 * 120);
    stage.log().SetBackground(RGB(200, 0, 200));
    EXPECT_EQ(uitest::ScreenPixel(380, 260), RGB(200, 0, 200));
}

TEST(PumpTest, UntilSeesAPostedMessageAndTimesOutOtherwise) {
    uitest::Stage stage(100, 80);
    PostMessageA(stage.parent(), WM_APP + 3, 11, 22);
    EXPECT_TRUE(uitest::PumpUntil([&] { return stage.log().Count(WM_APP + 3) == 1; }, 2000));
    const uitest::Message* m = stage.log().Last(WM_APP + 3);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->wParam, 11u);
    EXPECT_EQ(m->lParam, 22);
    EXPECT_FALSE(uitest::PumpUntil([&] { return stage.log().Count(WM_APP + 4) > 0; }, 100));
}

// Hover and leave from one TrackMouseEvent call with both flags, driven by
// real cursor moves.
TEST(InputTest, HoverAndLeaveFromRealCursorMoves) {
    uitest::Stage stage(300, 200);
    auto* target = uitest::RecordingWindow::CreateChild(stage.parent(), 50, 50, 100, 80);
    int trackCalls = 0;
    target->answer = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_MOUSEMOVE && trackCalls == 0) {
            TRACKMOUSEEVENT t = {sizeof t, TME_HOVER | TME_LEAVE, h, HOVER_DEFAULT};
            TrackMouseEvent(&t);
            ++trackCalls;
        }
        return false;
    };
    uitest::MoveCursorClient(stage.parent(), 10, 10);
    uitest::HoverClient(target->hwnd(), 40, 30, 50);
    EXPECT_GT(target->Count(WM_MOUSEMOVE), 0);
    EXPECT_TRUE(uitest::PumpUntil([&] { return target->Count(WM_MOUSEHOVER) > 0; }, 3000));
    const uitest::Message* hover = target->Last(WM_MOUSEHOVER);
    ASSERT_NE(hover, nullptr);
    EXPECT_EQ(static_cast<short>(LOWORD(hover->lParam)), 40);
    EXPECT_EQ(static_cast<short>(HIWORD(hover->lParam)), 30);
    uitest::MoveCursorClient(stage.parent(), 250, 180);
    EXPECT_TRUE(uitest::PumpUntil([&] { return target->Count(WM_MOUSELEAVE) > 0; }, 3000));
    EXPECT_EQ(trackCalls, 1);
    delete target;
}

TEST(InputTest, ClickOnAButtonIsNotifiedToTheParent) {
    uitest::Stage stage(300, 200);
    HWND b = CreateWindowExA(0, "BUTTON", "Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 80,
                             30, stage.parent(), reinterpret_cast<HMENU>(1234), nullptr, nullptr);
    ASSERT_NE(b, nullptr);
    uitest::PumpFor(30);
    uitest::ClickClient(b, 40, 15);
    EXPECT_TRUE(
        uitest::PumpUntil([&] { return stage.log().CountCommand(1234, BN_CLICKED) == 1; }, 2000));
    EXPECT_EQ(stage.log().Last(WM_COMMAND)->from, b);
    // A press that leaves the button before release is no click.
    stage.log().Clear();
    uitest::DragClient(b, {40, 15}, {150, 120}, 4);
    uitest::PumpFor(50);
    EXPECT_EQ(stage.log().CountCommand(1234, BN_CLICKED), 0);
    DestroyWindow(b);
}

TEST(InputTest, DoubleClickAndDragReachTheWindow) {
    uitest::Stage stage(300, 200);
    uitest::RecordingWindow& p = stage.log();
    uitest::DoubleClickClient(stage.parent(), 60, 40);
    EXPECT_TRUE(uitest::PumpUntil([&] { return p.Count(WM_LBUTTONDBLCLK) == 1; }, 2000));
    p.Clear();
    uitest::DragClient(stage.parent(), {20, 20}, {120, 90}, 5);
    uitest::PumpFor(30);
    const uitest::Message* down = p.Last(WM_LBUTTONDOWN);
    const uitest::Message* up = p.Last(WM_LBUTTONUP);
    ASSERT_TRUE(down && up);
    EXPECT_EQ(LOWORD(down->lParam), 20);
    EXPECT_EQ(HIWORD(down->lParam), 20);
    EXPECT_EQ(LOWORD(up->lParam), 120);
    EXPECT_EQ(HIWORD(up->lParam), 90);
    EXPECT_GE(p.Count(WM_MOUSEMOVE), 5);
}

TEST(InputTest, KeysReachTheFocusedEdit) {
    uitest::Stage stage(300, 200);
    HWND e = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 20, 20, 150, 24,
                             stage.parent(), reinterpret_cast<HMENU>(77), nullptr, nullptr);
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(uitest::BringToFront(e));
    uitest::KeyPress('H');
    uitest::KeyPress('I');
    uitest::KeyChord({VK_SHIFT, '1'});
    uitest::PumpFor(50);
    char text[32] = {};
    GetWindowTextA(e, text, sizeof text);
    EXPECT_STREQ(text, "hi!");
    EXPECT_GE(stage.log().CountCommand(77, EN_CHANGE), 3);
    uitest::KeyPress(VK_BACK);
    uitest::PostKey(e, VK_HOME);
    GetWindowTextA(e, text, sizeof text);
    EXPECT_STREQ(text, "hi");
    DestroyWindow(e);
}

TEST(RecordingTest, NotifyIsCopiedAtReceipt) {
    uitest::Stage stage(300, 200);
    NMHDR nm = {reinterpret_cast<HWND>(0x1234), 55, static_cast<UINT>(NM_DBLCLK)};
    SendMessageA(stage.parent(), WM_NOTIFY, 55, reinterpret_cast<LPARAM>(&nm));
    nm.code = NM_CLICK;  // the sender reuses its structure
    nm.idFrom = 56;
    EXPECT_EQ(stage.log().CountNotify(55, static_cast<UINT>(NM_DBLCLK)), 1);
    EXPECT_EQ(stage.log().CountNotify(56, static_cast<UINT>(NM_CLICK)), 0);
    EXPECT_EQ(stage.log().LastNotify(55, static_cast<UINT>(NM_DBLCLK))->from,
              reinterpret_cast<HWND>(0x1234));
}

}  // namespace
