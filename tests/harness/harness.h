// The in-process fixture of the window tests: a topmost host window on the
// virtual screen with a parent that records every message it receives, a
// message pump bounded in time, pixels read back from the screen, real mouse
// and keyboard input, a catcher that answers message boxes and records them,
// a live-GDI-object counter (Wine's GetGuiResources answers 0), and the
// names under which Wine sees the test data.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace uitest {

// ---------------------------------------------------------------- messages

// One message as the recording window received it. WM_COMMAND and WM_NOTIFY
// (and the WM_DRAWITEM/WM_MEASUREITEM/WM_CTLCOLOR* family) have their sender
// copied at receipt, since the structures they point to do not outlive the
// call.
struct Message {
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    UINT_PTR id = 0;      // WM_COMMAND: LOWORD(wParam); WM_NOTIFY: idFrom; WM_DRAWITEM...: wParam
    UINT code = 0;        // WM_COMMAND: HIWORD(wParam); WM_NOTIFY: code
    HWND from = nullptr;  // the control that sent it, when known
};

// A window whose procedure records everything it receives. Its background
// is painted in one solid colour (no brush object is made for it, so the
// GDI counter does not see the fixture's own painting).
class RecordingWindow {
public:
    // A top-level topmost popup at (x, y) in screen coordinates.
    static RecordingWindow* CreateTopmost(int x, int y, int width, int height,
                                          COLORREF back = RGB(255, 255, 255));
    // A child of parent at (x, y) in the parent's client coordinates.
    static RecordingWindow* CreateChild(HWND parent, int x, int y, int width, int height,
                                        COLORREF back = RGB(255, 255, 255));
    ~RecordingWindow();
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    void SetBackground(COLORREF c);
    COLORREF background() const { return back_; }

    const std::vector<Message>& log() const { return log_; }
    void Clear() { log_.clear(); }
    int Count(UINT msg) const;
    int CountCommand(UINT_PTR id, UINT code) const;
    int CountNotify(UINT_PTR id, UINT code) const;
    std::vector<Message> Of(UINT msg) const;
    // The last message of that kind, or nullptr.
    const Message* Last(UINT msg) const;
    const Message* LastNotify(UINT_PTR id, UINT code) const;

    // Lets a test answer a message (return true and set *result), for
    // example NM_CUSTOMDRAW or WM_CTLCOLORSTATIC. The message is recorded
    // before the answer is asked for.
    std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> answer;

private:
    RecordingWindow() = default;
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Handle(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
    COLORREF back_ = RGB(255, 255, 255);
    std::vector<Message> log_;
};

// The usual stage of a control test: a topmost host window at a fixed
// place on the screen and, filling its client area, the recording parent
// the control is created in. The parent is destroyed with the stage; the
// host is shared by the stages of a process (destroying a top-level window
// can cost Wine two seconds); between stages it shrinks to one pixel in the
// screen's corner at the bottom of the z-order.
class Stage {
public:
    explicit Stage(int width = 400, int height = 300, int x = 100, int y = 100,
                   COLORREF back = RGB(255, 255, 255));
    ~Stage();
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;

    HWND host() const { return host_->hwnd(); }
    HWND parent() const { return parent_->hwnd(); }
    RecordingWindow& hostLog() { return *host_; }
    RecordingWindow& log() { return *parent_; }

private:
    RecordingWindow* host_;
    RecordingWindow* parent_;
};

// A topmost popup window of its own at (x, y) in screen coordinates, for a
// test that draws into a window or needs one to stand still (the video
// outputs); it is destroyed with the pointer.
std::unique_ptr<RecordingWindow> MakeTopWindow(int x, int y, int width, int height,
                                               COLORREF back = RGB(255, 255, 255));

// ---------------------------------------------------------------- pumping

// Dispatches every message already queued for this thread.
void PumpPending();
// Dispatches messages for ms milliseconds.
void PumpFor(DWORD ms);
// Dispatches messages until done() is true (true) or timeoutMs has passed
// (false). done() is asked after every batch and at least every 10 ms.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// ---------------------------------------------------------------- pixels

// A 32-bit top-down picture (0x00RRGGBB per pixel, as a DIB section holds
// it).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    bool empty() const { return pixels.empty(); }
    // COLORREF (0x00BBGGRR) of a pixel; CLR_INVALID outside.
    COLORREF At(int x, int y) const;
    // Pixels of rect (clipped to the picture) whose colour is within tol of c
    // in each channel.
    int CountColor(COLORREF c, const RECT& rect, int tol = 0) const;
    // Writes a 24-bit BMP, for looking at a failure.
    bool SaveBmp(const char* path) const;
};

// The client area of a window as it stands on the screen (BitBlt from its
// DC into a DIB section). The window must be visible and uncovered.
Picture CaptureClient(HWND hwnd);
// The window as it draws itself through WM_PRINT (PrintWindow); works for a
// covered window whose controls answer WM_PRINTCLIENT.
Picture CaptureByPrint(HWND hwnd, UINT flags = PW_CLIENTONLY);
// A rectangle of the screen.
Picture CaptureScreen(const RECT& screenRect);
COLORREF ScreenPixel(int x, int y);
// Hands what this thread's windows painted to the screen (Wine keeps it in
// the window until the thread next looks at its queue). The screen readers
// call it; it dispatches nothing.
void FlushToScreen();
// The pixel at client point (x, y) of a window, read from the screen.
COLORREF ClientPixel(HWND hwnd, int x, int y);
// Each channel of a and b differs by at most tol.
bool ColorNear(COLORREF a, COLORREF b, int tol);

// ---------------------------------------------------------------- input

enum class Button { Left, Right, Middle };

POINT ClientToScreenPoint(HWND hwnd, int x, int y);
// Moves the real cursor (SetCursorPos and an absolute SendInput move), then
// pumps briefly so the window sees the move.
void MoveCursor(int screenX, int screenY);
void MoveCursorClient(HWND hwnd, int x, int y);
void MouseDown(Button b = Button::Left);
void MouseUp(Button b = Button::Left);
void ClickClient(HWND hwnd, int x, int y, Button b = Button::Left);
void DoubleClickClient(HWND hwnd, int x, int y);
// Press at from, move in steps to to, release; pumping between steps.
void DragClient(HWND hwnd, POINT from, POINT to, int steps = 8);
// Moves onto the point and keeps still for ms, pumping.
void HoverClient(HWND hwnd, int x, int y, DWORD ms);
// Keys through SendInput; they go to the focus window of the foreground.
void KeyDown(WORD vk);
void KeyUp(WORD vk);
void KeyPress(WORD vk);
// Holds every key of the chord in order and releases them in reverse
// ({VK_CONTROL, 'C'}, {VK_MENU, VK_F4}).
void KeyChord(std::initializer_list<WORD> keys);
// WM_KEYDOWN/WM_KEYUP posted straight to a window (no focus needed).
void PostKey(HWND hwnd, WORD vk);
// Makes the window the foreground window with the keyboard focus.
bool BringToFront(HWND hwnd);

// ---------------------------------------------------------------- message boxes

// One message box the process showed, or that the class library's hook
// handed over.
struct BoxRecord {
    std::string text;     // in the ANSI code page
    std::string caption;  // empty when the caller passed none
    UINT type = 0;        // MB_* flags as passed
    HWND owner = nullptr;
    HWND box = nullptr;          // the box window; null when none was shown
    bool ownerDisabled = false;  // the owner was disabled while the box stood
    int answer = 0;
};

// While a catcher lives, every MessageBox of the process (MessageBoxA/W,
// MessageBoxExA/W, MessageBoxIndirectA/W called through any module's import
// table) is answered and recorded: the real box is shown, then a hook on the
// calling thread answers it as soon as it is activated. Without queued
// answers, a box is answered with its default button. Only one catcher at a
// time.
class MessageBoxCatcher {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    // Answers for the next boxes, in order (IDOK, IDNO...).
    void QueueAnswer(int answer);
    std::vector<BoxRecord> boxes() const;
    int count() const;
    void Clear();
};

// The plain function a class library's message-box hook can call: records
// the box as the catcher does and returns the answer, showing nothing. With
// no catcher alive it returns 0.
int AnswerMessageBox(HWND owner, const char* text, const char* caption, UINT type);
using MessageBoxFn = int (*)(HWND owner, const char* text, const char* caption, UINT type);

// ---------------------------------------------------------------- GDI objects

enum class GdiKind { Brush, Pen, Font, Bitmap, Region, Palette, DC, Count };

// Patches the import tables of the loaded modules so that gdi32's creating
// functions (and user32's bitmap loaders), DeleteObject and DeleteDC are
// counted. By default only modules outside the system folder are patched
// (the test program links the class library statically, so its own table
// covers it); with allModules the system's DLLs are counted too. Calling it
// again patches modules loaded since. Objects made before it are not known
// and their deletion is not counted.
bool InstallGdiCounter(bool allModules = false);
// Objects created since the counter was installed and not yet deleted.
long LiveGdiObjects();
long LiveGdiObjects(GdiKind kind);
// Device contexts from GetDC/GetWindowDC/GetDCEx not yet released.
long LiveWindowDCs();

// ---------------------------------------------------------------- files

// A Unix path as Wine names it (drive Z: is the root, backslashes).
std::string WinePath(const std::string& unixPath);
// The same in UTF-16, as the engine takes file names.
std::u16string WineName(const std::string& unixPath);
// True when the file exists (a Unix path).
bool WineFileExists(const std::string& unixPath);

}  // namespace uitest
