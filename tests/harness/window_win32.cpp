#include "tests/harness/harness.h"

namespace uitest {

namespace {

const char kClass[] = "UiTestRecorder";

void RegisterOnce(WNDPROC proc) {
    static bool done = false;
    if (done) return;
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
    done = true;
}

}  // namespace

// The object arrives with WM_NCCREATE; WM_GETMINMAXINFO comes before it and
// goes to the default procedure unrecorded.
LRESULT CALLBACK RecordingWindow::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_NCCREATE) {
        auto* self =
            static_cast<RecordingWindow*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
        self->hwnd_ = h;
        SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (!self) return DefWindowProcA(h, m, w, l);
    return self->Handle(h, m, w, l);
}

LRESULT RecordingWindow::Handle(HWND h, UINT m, WPARAM w, LPARAM l) {
    Message rec;
    rec.msg = m;
    rec.wParam = w;
    rec.lParam = l;
    switch (m) {
        case WM_COMMAND:
            rec.id = LOWORD(w);
            rec.code = HIWORD(w);
            rec.from = reinterpret_cast<HWND>(l);
            break;
        case WM_NOTIFY:
            if (l) {
                const NMHDR* nm = reinterpret_cast<const NMHDR*>(l);
                rec.id = nm->idFrom;
                rec.code = nm->code;
                rec.from = nm->hwndFrom;
            }
            break;
        case WM_DRAWITEM:
            rec.id = w;
            if (l) rec.from = reinterpret_cast<const DRAWITEMSTRUCT*>(l)->hwndItem;
            break;
        case WM_MEASUREITEM: rec.id = w; break;
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORDLG:
            rec.from = reinterpret_cast<HWND>(l);
            if (rec.from) rec.id = static_cast<UINT_PTR>(GetDlgCtrlID(rec.from));
            break;
        case WM_HSCROLL:
        case WM_VSCROLL:
            rec.code = LOWORD(w);
            rec.from = reinterpret_cast<HWND>(l);
            if (rec.from) rec.id = static_cast<UINT_PTR>(GetDlgCtrlID(rec.from));
            break;
        case WM_PARENTNOTIFY: rec.code = LOWORD(w); break;
        default: break;
    }
    log_.push_back(rec);
    if (answer) {
        LRESULT result = 0;
        if (answer(h, m, w, l, &result)) return result;
    }
    switch (m) {
        case WM_ERASEBKGND: {
            // The stock DC brush: painting the background makes no GDI object.
            RECT rc;
            GetClientRect(h, &rc);
            HDC dc = reinterpret_cast<HDC>(w);
            COLORREF old = SetDCBrushColor(dc, back_);
            FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
            SetDCBrushColor(dc, old);
            return 1;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrA(h, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            break;
        default: break;
    }
    return DefWindowProcA(h, m, w, l);
}

RecordingWindow* RecordingWindow::CreateTopmost(int x, int y, int width, int height,
                                                COLORREF back) {
    auto* self = new RecordingWindow;
    self->back_ = back;
    RegisterOnce(&Proc);
    CreateWindowExA(WS_EX_TOPMOST, kClass, "uitest host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                    x, y, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), self);
    if (self->hwnd_) {
        SetForegroundWindow(self->hwnd_);
        UpdateWindow(self->hwnd_);
    }
    return self;
}

std::unique_ptr<RecordingWindow> MakeTopWindow(int x, int y, int width, int height, COLORREF back) {
    std::unique_ptr<RecordingWindow> w(RecordingWindow::CreateTopmost(x, y, width, height, back));
    PumpFor(100);  // shown and painted before the test draws over it
    return w;
}

RecordingWindow* RecordingWindow::CreateChild(HWND parent, int x, int y, int width, int height,
                                              COLORREF back) {
    auto* self = new RecordingWindow;
    self->back_ = back;
    RegisterOnce(&Proc);
    CreateWindowExA(WS_EX_CONTROLPARENT, kClass, "uitest parent",
                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height, parent, nullptr,
                    GetModuleHandleA(nullptr), self);
    if (self->hwnd_) UpdateWindow(self->hwnd_);
    return self;
}

RecordingWindow::~RecordingWindow() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void RecordingWindow::SetBackground(COLORREF c) {
    back_ = c;
    if (hwnd_) {
        InvalidateRect(hwnd_, nullptr, TRUE);
        UpdateWindow(hwnd_);
    }
}

int RecordingWindow::Count(UINT msg) const {
    int n = 0;
    for (const auto& m : log_) n += m.msg == msg;
    return n;
}

int RecordingWindow::CountCommand(UINT_PTR id, UINT code) const {
    int n = 0;
    for (const auto& m : log_) n += m.msg == WM_COMMAND && m.id == id && m.code == code;
    return n;
}

int RecordingWindow::CountNotify(UINT_PTR id, UINT code) const {
    int n = 0;
    for (const auto& m : log_) n += m.msg == WM_NOTIFY && m.id == id && m.code == code;
    return n;
}

std::vector<Message> RecordingWindow::Of(UINT msg) const {
    std::vector<Message> v;
    for (const auto& m : log_)
        if (m.msg == msg) v.push_back(m);
    return v;
}

const Message* RecordingWindow::Last(UINT msg) const {
    for (auto it = log_.rbegin(); it != log_.rend(); ++it)
        if (it->msg == msg) return &*it;
    return nullptr;
}

const Message* RecordingWindow::LastNotify(UINT_PTR id, UINT code) const {
    for (auto it = log_.rbegin(); it != log_.rend(); ++it)
        if (it->msg == WM_NOTIFY && it->id == id && it->code == code) return &*it;
    return nullptr;
}

namespace {

// Unmapping a top-level window costs Wine two seconds when no window manager
// answers (managed windows), so the host is made once per process and only
// moved between stages (a window moved wholly off the screen is unmapped
// too, with the same wait).
RecordingWindow* SharedHost(int x, int y, int width, int height, COLORREF back) {
    static RecordingWindow* host = nullptr;
    if (!host || !IsWindow(host->hwnd())) {
        delete host;
        host = RecordingWindow::CreateTopmost(x, y, width, height, back);
    }
    return host;
}

}  // namespace

Stage::Stage(int width, int height, int x, int y, COLORREF back)
    : host_(SharedHost(x, y, width, height, back)) {
    host_->Clear();
    host_->answer = nullptr;
    SetWindowPos(host_->hwnd(), HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW);
    host_->SetBackground(back);
    parent_ = RecordingWindow::CreateChild(host_->hwnd(), 0, 0, width, height, back);
    BringToFront(host_->hwnd());
    PumpPending();
}

Stage::~Stage() {
    delete parent_;
    host_->answer = nullptr;
    SetWindowPos(host_->hwnd(), HWND_BOTTOM, GetSystemMetrics(SM_CXSCREEN) - 1,
                 GetSystemMetrics(SM_CYSCREEN) - 1, 1, 1, SWP_NOACTIVATE);
    PumpPending();
}

// ---------------------------------------------------------------- pumping

void PumpPending() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending();
        if (done && done()) return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        DWORD wait = timeoutMs - elapsed;
        if (wait > 10) wait = 10;
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

void PumpFor(DWORD ms) { PumpUntil(nullptr, ms); }

}  // namespace uitest
