// uidrive: drives the windows of another process for tests and outside
// checks. Every answer is plain key=value lines on stdout; a value that may
// hold spaces (text=) comes last on its line, with backslash, newline,
// carriage return and tab written as \\, \n, \r and \t.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kHelp[] =
    "usage: uidrive COMMAND [options]\n"
    "\n"
    "The window: --title T (exact caption), --title-part T (caption contains T),\n"
    "--class C (window class), --pid P (owning process); at least one of them.\n"
    "It is waited for up to --timeout MS (default 5000). --id N names a control\n"
    "(any depth below the window, else below a popup the window owns; a visible\n"
    "one first; --control-class C: only of that class). Points are client\n"
    "coordinates of the control (or of the window without --id).\n"
    "\n"
    "  wait        [--gone]               the window exists (or is gone)\n"
    "  start       --exe PATH [--id N --min-rows R]\n"
    "                                     starts PATH (its folder as the current\n"
    "                                     one), waits for the window (and for list\n"
    "                                     view N to hold R rows); prints the pid and\n"
    "                                     the milliseconds from the start to each\n"
    "  list                               one line per control: id class style\n"
    "                                     rect (window client coordinates) text\n"
    "  text        --id N                 the control's text\n"
    "  size        [--id N]               the window's (or control's) screen\n"
    "                                     rectangle, outer and client size\n"
    "  click       --id N [--real]        presses a button (BM_CLICK posted; --real:\n"
    "                                     a mouse click at its centre)\n"
    "  command     --id N [--code C]      posts WM_COMMAND (id, code) to the window\n"
    "  key         [--id N] KEY...        keys: A-Z, 0-9, RETURN, ESCAPE, TAB, SPACE,\n"
    "                                     BACK, DELETE, LEFT, RIGHT, UP, DOWN, HOME, END,\n"
    "                                     PRIOR, NEXT, F1-F12, 0xNN, chords as ALT+F4;\n"
    "                                     posted to the control with --id, else typed\n"
    "                                     into the foreground window\n"
    "  mouse       [--id N] --x X --y Y [--action move|click|dblclick|rclick|down|up]\n"
    "              [--hold MS]           real cursor input, then a pause of MS\n"
    "  listview    --id N [--min-rows R]  columns (text, width) and cells of a list\n"
    "                                     view (after waiting for R rows)\n"
    "  dblclick-row --id N --row R [--watch C]\n"
    "                                     selects row R and double-clicks it; with\n"
    "                                     --watch, waits until control C's pixels\n"
    "                                     change and prints the milliseconds\n"
    "  msgbox      [--answer A]           the message box of the process (the\n"
    "                                     window's, or --pid): caption, text,\n"
    "                                     buttons; answers it with A (OK, CANCEL,\n"
    "                                     YES, NO, ABORT, RETRY, IGNORE or a number)\n"
    "  screenshot  --out F.bmp [--client] the window (or its client area) as a\n"
    "                                     24-bit BMP, read from the screen\n"
    "  close       [--wait]               posts WM_CLOSE (and waits until it is gone)\n"
    "\n"
    "Exit codes: 0 done, 1 bad command line, 2 no such window, 3 no such control,\n"
    "4 the operation failed, 5 no message box.\n";

enum Exit { kOk = 0, kUsage = 1, kNoWindow = 2, kNoControl = 3, kFailed = 4, kNoBox = 5 };

struct Options {
    std::string command;
    std::string title, titlePart, cls, out, action = "click", answer, exe;
    DWORD pid = 0;
    DWORD timeout = 5000;
    bool hasId = false, gone = false, real = false, client = false, wait = false;
    int id = 0, code = 0, row = -1, x = 0, y = 0, hold = 0, minRows = -1, watch = 0;
    std::vector<std::string> keys;
};

std::string Escape(const std::string& s) {
    std::string o;
    for (char c : s) {
        switch (c) {
            case '\\': o += "\\\\"; break;
            case '\n': o += "\\n"; break;
            case '\r': o += "\\r"; break;
            case '\t': o += "\\t"; break;
            default: o += c;
        }
    }
    return o;
}

std::string Hex(HWND h) {
    char b[32];
    std::snprintf(b, sizeof b, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(h)));
    return b;
}

std::string WindowText(HWND h) {
    // WM_GETTEXT is carried across processes; a hung target must not hang us.
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutA(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len)) return {};
    std::vector<char> buf(len + 2, '\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutA(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                        SMTO_ABORTIFHUNG, 2000, &got);
    return std::string(buf.data());
}

std::string ClassOf(HWND h) {
    char c[256] = {};
    GetClassNameA(h, c, sizeof c);
    return c;
}

// ---------------------------------------------------------------- finding

struct Search {
    const Options* o;
    HWND found = nullptr;
};

bool Matches(HWND h, const Options& o) {
    if (!o.title.empty() || !o.titlePart.empty()) {
        char t[512] = {};
        GetWindowTextA(h, t, sizeof t);
        if (!o.title.empty() && o.title != t) return false;
        if (!o.titlePart.empty() && !std::strstr(t, o.titlePart.c_str())) return false;
    }
    if (!o.cls.empty() && ClassOf(h) != o.cls) return false;
    if (o.pid) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid != o.pid) return false;
    }
    return true;
}

BOOL CALLBACK FindTop(HWND h, LPARAM l) {
    auto* s = reinterpret_cast<Search*>(l);
    if (!IsWindowVisible(h) || !Matches(h, *s->o)) return TRUE;
    s->found = h;
    return FALSE;
}

HWND FindNow(const Options& o) {
    Search s{&o};
    EnumWindows(FindTop, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND WaitWindow(const Options& o) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND h = FindNow(o);
        if (h || GetTickCount() - start >= o.timeout) return h;
        Sleep(50);
    }
}

struct ChildSearch {
    int id;
    const std::string* cls;  // empty: any class
    HWND found = nullptr;
};

// A visible control wins over a hidden one of the same id (a skinned control
// may stand in for its hidden template original).
BOOL CALLBACK FindChild(HWND h, LPARAM l) {
    auto* s = reinterpret_cast<ChildSearch*>(l);
    if (GetDlgCtrlID(h) != s->id || (!s->cls->empty() && ClassOf(h) != *s->cls)) return TRUE;
    if (!s->found || !IsWindowVisible(s->found)) s->found = h;
    return !IsWindowVisible(h);
}

std::string g_controlClass;  // --control-class

struct OwnedSearch {
    HWND owner;
    ChildSearch* child;
};

BOOL CALLBACK FindInOwned(HWND h, LPARAM l) {
    auto* s = reinterpret_cast<OwnedSearch*>(l);
    if (GetWindow(h, GW_OWNER) != s->owner) return TRUE;
    EnumChildWindows(h, FindChild, reinterpret_cast<LPARAM>(s->child));
    return !(s->child->found && IsWindowVisible(s->child->found));
}

// The control of that id below the window, else below one of the popups the
// window owns (its modeless dialogs).
HWND Control(HWND top, int id) {
    ChildSearch s{id, &g_controlClass};
    EnumChildWindows(top, FindChild, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    OwnedSearch o{top, &s};
    EnumWindows(FindInOwned, reinterpret_cast<LPARAM>(&o));
    return s.found;
}

RECT RectInClient(HWND top, HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// ---------------------------------------------------------------- input

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

void MoveTo(POINT p) {
    SetCursorPos(p.x, p.y);
    const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
              static_cast<LONG>((static_cast<LONGLONG>(p.x) * 65536 + w - 1) / w),
              static_cast<LONG>((static_cast<LONGLONG>(p.y) * 65536 + h - 1) / h));
    Sleep(30);
}

void Front(HWND top) {
    SetForegroundWindow(top);
    Sleep(50);
}

bool MouseAction(HWND top, HWND target, int x, int y, const std::string& action) {
    Front(top);
    POINT p = {x, y};
    ClientToScreen(target, &p);
    MoveTo(p);
    if (action == "move") return true;
    if (action == "click") {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        SendMouse(MOUSEEVENTF_LEFTUP);
    } else if (action == "rclick") {
        SendMouse(MOUSEEVENTF_RIGHTDOWN);
        SendMouse(MOUSEEVENTF_RIGHTUP);
    } else if (action == "dblclick") {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        SendMouse(MOUSEEVENTF_LEFTUP);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        SendMouse(MOUSEEVENTF_LEFTUP);
    } else if (action == "down") {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
    } else if (action == "up") {
        SendMouse(MOUSEEVENTF_LEFTUP);
    } else {
        return false;
    }
    Sleep(50);
    return true;
}

// A key word: a chord of names joined by '+'. Returns false on an unknown
// name.
bool ParseKey(const std::string& word, std::vector<WORD>* vks) {
    static const struct {
        const char* name;
        WORD vk;
    } kNames[] = {
        {"RETURN", VK_RETURN}, {"ENTER", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"ESC", VK_ESCAPE},
        {"TAB", VK_TAB},       {"SPACE", VK_SPACE},  {"BACK", VK_BACK},     {"DELETE", VK_DELETE},
        {"LEFT", VK_LEFT},     {"RIGHT", VK_RIGHT},  {"UP", VK_UP},         {"DOWN", VK_DOWN},
        {"HOME", VK_HOME},     {"END", VK_END},      {"PRIOR", VK_PRIOR},   {"NEXT", VK_NEXT},
        {"ALT", VK_MENU},      {"CTRL", VK_CONTROL}, {"SHIFT", VK_SHIFT},   {"INSERT", VK_INSERT}};
    size_t at = 0;
    while (at <= word.size()) {
        size_t plus = word.find('+', at);
        std::string n = word.substr(at, plus == std::string::npos ? std::string::npos : plus - at);
        for (auto& c : n) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        WORD vk = 0;
        if (n.size() == 1 && (isalnum(static_cast<unsigned char>(n[0])))) {
            vk = static_cast<WORD>(n[0]);
        } else if (n.size() >= 2 && n[0] == 'F' && std::atoi(n.c_str() + 1) >= 1 &&
                   std::atoi(n.c_str() + 1) <= 12 &&
                   n.find_first_not_of("0123456789", 1) == std::string::npos) {
            vk = static_cast<WORD>(VK_F1 + std::atoi(n.c_str() + 1) - 1);
        } else if (n.size() > 2 && n[0] == '0' && n[1] == 'X') {
            vk = static_cast<WORD>(std::strtoul(n.c_str() + 2, nullptr, 16));
        } else {
            for (const auto& k : kNames)
                if (n == k.name) vk = k.vk;
        }
        if (!vk) return false;
        vks->push_back(vk);
        if (plus == std::string::npos) break;
        at = plus + 1;
    }
    return !vks->empty();
}

bool Extended(WORD vk) {
    switch (vk) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_INSERT:
        case VK_DELETE: return true;
        default: return false;
    }
}

void PostKeyTo(HWND h, const std::vector<WORD>& chord) {
    for (WORD vk : chord) {
        const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
        LPARAM l = static_cast<LPARAM>(1 | (scan << 16) | (Extended(vk) ? 1u << 24 : 0));
        PostMessageA(h, vk == VK_MENU ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, l);
    }
    for (auto it = chord.rbegin(); it != chord.rend(); ++it) {
        const UINT scan = MapVirtualKeyA(*it, MAPVK_VK_TO_VSC);
        LPARAM l =
            static_cast<LPARAM>(1 | (scan << 16) | (Extended(*it) ? 1u << 24 : 0) | 0xC0000000u);
        PostMessageA(h, *it == VK_MENU ? WM_SYSKEYUP : WM_KEYUP, *it, l);
    }
}

void TypeChord(const std::vector<WORD>& chord) {
    std::vector<INPUT> in;
    auto add = [&](WORD vk, bool up) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (Extended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
        in.push_back(i);
    };
    for (WORD vk : chord) add(vk, false);
    for (auto it = chord.rbegin(); it != chord.rend(); ++it) add(*it, true);
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    Sleep(30);
}

// ---------------------------------------------------------------- other process memory

// A block in the target process, freed on scope exit.
class Remote {
public:
    Remote(HWND h, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        proc_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (proc_) mem_ = VirtualAllocEx(proc_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~Remote() {
        if (mem_) VirtualFreeEx(proc_, mem_, 0, MEM_RELEASE);
        if (proc_) CloseHandle(proc_);
    }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;
    bool ok() const { return mem_ != nullptr; }
    char* at(size_t off) const { return static_cast<char*>(mem_) + off; }
    bool Write(size_t off, const void* p, size_t n) {
        SIZE_T done = 0;
        return off + n <= size_ && WriteProcessMemory(proc_, at(off), p, n, &done) && done == n;
    }
    bool Read(size_t off, void* p, size_t n) {
        SIZE_T done = 0;
        return off + n <= size_ && ReadProcessMemory(proc_, at(off), p, n, &done) && done == n;
    }

private:
    HANDLE proc_ = nullptr;
    void* mem_ = nullptr;
    size_t size_;
};

const size_t kTextMax = 1024;

bool CellText(HWND lv, Remote& r, int row, int col, std::string* text) {
    LVITEMA item = {};
    item.iSubItem = col;
    item.cchTextMax = kTextMax;
    item.pszText = r.at(sizeof item);
    char zero = 0;
    if (!r.Write(0, &item, sizeof item) || !r.Write(sizeof item, &zero, 1)) return false;
    SendMessageA(lv, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(r.at(0)));
    std::vector<char> buf(kTextMax + 1, '\0');
    if (!r.Read(sizeof item, buf.data(), kTextMax)) return false;
    *text = buf.data();
    return true;
}

bool ColumnText(HWND lv, Remote& r, int col, std::string* text) {
    LVCOLUMNA c = {};
    c.mask = LVCF_TEXT;
    c.cchTextMax = kTextMax;
    c.pszText = r.at(sizeof c);
    char zero = 0;
    if (!r.Write(0, &c, sizeof c) || !r.Write(sizeof c, &zero, 1)) return false;
    if (!SendMessageA(lv, LVM_GETCOLUMNA, static_cast<WPARAM>(col),
                      reinterpret_cast<LPARAM>(r.at(0))))
        return false;
    std::vector<char> buf(kTextMax + 1, '\0');
    if (!r.Read(sizeof c, buf.data(), kTextMax)) return false;
    *text = buf.data();
    return true;
}

// ---------------------------------------------------------------- message boxes

struct BoxSearch {
    DWORD pid;
    HWND except;  // the window named on the command line
    HWND found = nullptr;
};

// A message box is a dialog whose controls are buttons and statics only,
// with at least one button.
BOOL CALLBACK CountKinds(HWND h, LPARAM l) {
    int* counts = reinterpret_cast<int*>(l);
    const std::string cls = ClassOf(h);
    if (_stricmp(cls.c_str(), "Button") == 0)
        ++counts[0];
    else if (_stricmp(cls.c_str(), "Static") != 0)
        ++counts[1];
    return TRUE;
}

BOOL CALLBACK FindBox(HWND h, LPARAM l) {
    auto* s = reinterpret_cast<BoxSearch*>(l);
    if (h == s->except || !IsWindowVisible(h) || ClassOf(h) != "#32770") return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (s->pid && pid != s->pid) return TRUE;
    int counts[2] = {0, 0};
    EnumChildWindows(h, CountKinds, reinterpret_cast<LPARAM>(counts));
    if (counts[0] == 0 || counts[1] != 0) return TRUE;
    s->found = h;
    return FALSE;
}

struct BoxParts {
    std::string text;
    std::vector<int> buttons;
};

BOOL CALLBACK BoxChild(HWND h, LPARAM l) {
    auto* p = reinterpret_cast<BoxParts*>(l);
    const std::string cls = ClassOf(h);
    if (_stricmp(cls.c_str(), "Button") == 0 && IsWindowVisible(h)) {
        p->buttons.push_back(GetDlgCtrlID(h));
    } else if (_stricmp(cls.c_str(), "Static") == 0) {
        LONG style = GetWindowLongA(h, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON) return TRUE;
        std::string t = WindowText(h);
        if (!t.empty()) p->text += (p->text.empty() ? "" : "\n") + t;
    }
    return TRUE;
}

int AnswerId(const std::string& a) {
    static const struct {
        const char* name;
        int id;
    } kIds[] = {{"OK", IDOK},         {"CANCEL", IDCANCEL}, {"ABORT", IDABORT},
                {"RETRY", IDRETRY},   {"IGNORE", IDIGNORE}, {"YES", IDYES},
                {"NO", IDNO},         {"IDOK", IDOK},       {"IDCANCEL", IDCANCEL},
                {"IDABORT", IDABORT}, {"IDRETRY", IDRETRY}, {"IDIGNORE", IDIGNORE},
                {"IDYES", IDYES},     {"IDNO", IDNO}};
    std::string u = a;
    for (auto& c : u) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    for (const auto& k : kIds)
        if (u == k.name) return k.id;
    char* end = nullptr;
    long n = std::strtol(a.c_str(), &end, 10);
    return (*end || n <= 0) ? 0 : static_cast<int>(n);
}

// ---------------------------------------------------------------- screenshot

bool SaveScreen(const RECT& r, const std::string& path) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as the file stores it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (mem && dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        ok = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(mem, old);
    }
    if (ok) {
        const DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3);
        BITMAPFILEHEADER fh = {};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
        fh.bfSize = fh.bfOffBits + stride * static_cast<DWORD>(h);
        bi.bmiHeader.biSizeImage = stride * static_cast<DWORD>(h);
        FILE* f = std::fopen(path.c_str(), "wb");
        ok = f && std::fwrite(&fh, sizeof fh, 1, f) == 1 &&
             std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
             std::fwrite(bits, stride, static_cast<size_t>(h), f) == static_cast<size_t>(h);
        if (f && std::fclose(f) != 0) ok = false;
    }
    if (dib) DeleteObject(dib);
    if (mem) DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

// A checksum of what the screen shows of a window; 0 when it cannot be read.
unsigned long long ScreenSum(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    const int w = r.right - r.left, ht = r.bottom - r.top;
    if (w <= 0 || ht <= 0) return 0;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -ht;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    unsigned long long sum = 0;
    if (mem && dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        if (BitBlt(mem, 0, 0, w, ht, screen, r.left, r.top, SRCCOPY)) {
            GdiFlush();
            // FNV-1a over the pixels, never 0 for a readable window.
            sum = 1469598103934665603ull;
            const auto* p = static_cast<const unsigned char*>(bits);
            for (size_t i = 0, n = static_cast<size_t>(w) * ht * 4; i < n; ++i)
                sum = (sum ^ p[i]) * 1099511628211ull;
            if (!sum) sum = 1;
        }
        SelectObject(mem, old);
    }
    if (dib) DeleteObject(dib);
    if (mem) DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return sum;
}

int ListRows(HWND lv) { return static_cast<int>(SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0)); }

// Waits until list view lv holds at least min rows; false on the timeout.
bool WaitRows(HWND lv, int min, DWORD timeout) {
    const DWORD start = GetTickCount();
    while (ListRows(lv) < min) {
        if (!IsWindow(lv) || GetTickCount() - start >= timeout) return false;
        Sleep(10);
    }
    return true;
}

// ---------------------------------------------------------------- commands

int Fail(int code, const char* what) {
    std::fprintf(stderr, "uidrive: %s\n", what);
    return code;
}

int Run(const Options& o) {
    if (o.command == "msgbox" && o.title.empty() && o.titlePart.empty() && o.cls.empty() && !o.pid)
        return Fail(kUsage, "msgbox needs the window or --pid");
    if (o.title.empty() && o.titlePart.empty() && o.cls.empty() && !o.pid)
        return Fail(kUsage, "no window given (--title, --title-part, --class or --pid)");

    if (o.command == "start") {
        if (o.exe.empty() || o.pid) return Fail(kUsage, "start needs --exe and no --pid");
        if (o.minRows >= 0 && !o.hasId) return Fail(kUsage, "--min-rows needs --id");
        std::string dir = o.exe;
        const size_t slash = dir.find_last_of("\\/");
        dir = slash == std::string::npos ? std::string(".") : dir.substr(0, slash + 1);
        // The program outlives us: it gets NUL as its standard handles, never
        // ours, so that whoever reads our output sees its end when we end.
        for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
            HANDLE h = GetStdHandle(which);
            if (h && h != INVALID_HANDLE_VALUE) SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
        }
        SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
        HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        if (nul != INVALID_HANDLE_VALUE) {
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdInput = si.hStdOutput = si.hStdError = nul;
        }
        PROCESS_INFORMATION pi = {};
        std::string cmd = "\"" + o.exe + "\"";
        const DWORD t0 = GetTickCount();
        const BOOL started = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr,
                                            nul != INVALID_HANDLE_VALUE, DETACHED_PROCESS, nullptr,
                                            dir.c_str(), &si, &pi);
        if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
        if (!started) return Fail(kFailed, "cannot start the program");
        CloseHandle(pi.hThread);
        std::printf("pid=%lu\n", static_cast<unsigned long>(pi.dwProcessId));
        std::fflush(stdout);
        Options w = o;
        w.pid = pi.dwProcessId;
        HWND top = nullptr;
        for (;;) {
            top = FindNow(w);
            if (top || GetTickCount() - t0 >= o.timeout ||
                WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
                break;
            Sleep(5);
        }
        CloseHandle(pi.hProcess);
        if (!top) return Fail(kNoWindow, "the program showed no such window");
        std::printf("hwnd=%s\nwindow_ms=%lu\n", Hex(top).c_str(),
                    static_cast<unsigned long>(GetTickCount() - t0));
        if (o.hasId) {
            HWND lv = nullptr;
            while (!(lv = Control(top, o.id)) && GetTickCount() - t0 < o.timeout) Sleep(5);
            if (!lv) return Fail(kNoControl, "no control with that id");
            const DWORD left = o.timeout - (GetTickCount() - t0);
            if (!WaitRows(lv, o.minRows < 0 ? 0 : o.minRows, left))
                return Fail(kFailed, "the list did not fill in time");
            std::printf("rows=%d\nrows_ms=%lu\n", ListRows(lv),
                        static_cast<unsigned long>(GetTickCount() - t0));
        }
        return kOk;
    }

    if (o.command == "wait" && o.gone) {
        const DWORD start = GetTickCount();
        while (FindNow(o)) {
            if (GetTickCount() - start >= o.timeout)
                return Fail(kFailed, "the window is still there");
            Sleep(50);
        }
        std::printf("gone=1\n");
        return kOk;
    }

    if (o.command == "msgbox") {
        DWORD pid = o.pid;
        HWND owner = nullptr;
        if (o.pid == 0 || !o.title.empty() || !o.titlePart.empty() || !o.cls.empty()) {
            Options ownerOptions = o;
            ownerOptions.timeout = 0;
            owner = WaitWindow(ownerOptions);
            if (!owner) return Fail(kNoWindow, "no such window");
            GetWindowThreadProcessId(owner, &pid);
        }
        const DWORD start = GetTickCount();
        BoxSearch s{pid, owner};
        for (;;) {
            s.found = nullptr;
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&s));
            if (s.found || GetTickCount() - start >= o.timeout) break;
            Sleep(50);
        }
        if (!s.found) return Fail(kNoBox, "no message box");
        BoxParts parts;
        EnumChildWindows(s.found, BoxChild, reinterpret_cast<LPARAM>(&parts));
        std::printf("hwnd=%s\n", Hex(s.found).c_str());
        std::string buttons;
        for (int b : parts.buttons) buttons += (buttons.empty() ? "" : ",") + std::to_string(b);
        std::printf("buttons=%s\n", buttons.c_str());
        std::printf("caption=%s\n", Escape(WindowText(s.found)).c_str());
        std::printf("text=%s\n", Escape(parts.text).c_str());
        if (!o.answer.empty()) {
            const int id = AnswerId(o.answer);
            HWND b = id ? GetDlgItem(s.found, id) : nullptr;
            if (!b) return Fail(kFailed, "the box has no such button");
            PostMessageA(s.found, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(b));
            std::printf("answered=%d\n", id);
        }
        return kOk;
    }

    HWND top = WaitWindow(o);
    if (!top) return Fail(kNoWindow, "no such window");
    HWND ctl = nullptr;
    if (o.hasId && o.command != "command") {
        ctl = Control(top, o.id);
        if (!ctl) return Fail(kNoControl, "no control with that id");
    }

    if (o.command == "wait") {
        DWORD pid = 0;
        GetWindowThreadProcessId(top, &pid);
        std::printf("hwnd=%s\npid=%lu\nclass=%s\ntitle=%s\n", Hex(top).c_str(),
                    static_cast<unsigned long>(pid), ClassOf(top).c_str(),
                    Escape(WindowText(top)).c_str());
        return kOk;
    }
    if (o.command == "list") {
        RECT wr, cr;
        GetWindowRect(top, &wr);
        GetClientRect(top, &cr);
        std::printf("window=%s class=%s rect=%ld,%ld,%ld,%ld client=%ld,%ld text=%s\n",
                    Hex(top).c_str(), ClassOf(top).c_str(), wr.left, wr.top, wr.right, wr.bottom,
                    cr.right, cr.bottom, Escape(WindowText(top)).c_str());
        struct Lister {
            HWND top;
            static BOOL CALLBACK Each(HWND h, LPARAM l) {
                HWND t = reinterpret_cast<Lister*>(l)->top;
                RECT r = RectInClient(t, h);
                std::printf(
                    "id=%d class=%s style=0x%08lx visible=%d rect=%ld,%ld,%ld,%ld text=%s\n",
                    GetDlgCtrlID(h), ClassOf(h).c_str(),
                    static_cast<unsigned long>(GetWindowLongA(h, GWL_STYLE)),
                    IsWindowVisible(h) ? 1 : 0, r.left, r.top, r.right, r.bottom,
                    Escape(WindowText(h)).c_str());
                return TRUE;
            }
        } lister{top};
        EnumChildWindows(top, Lister::Each, reinterpret_cast<LPARAM>(&lister));
        return kOk;
    }
    if (o.command == "text") {
        std::printf("text=%s\n", Escape(WindowText(ctl ? ctl : top)).c_str());
        return kOk;
    }
    if (o.command == "size") {
        HWND h = ctl ? ctl : top;
        RECT wr, cr;
        GetWindowRect(h, &wr);
        GetClientRect(h, &cr);
        std::printf("rect=%ld,%ld,%ld,%ld\nwidth=%ld\nheight=%ld\nclient=%ld,%ld\n", wr.left,
                    wr.top, wr.right, wr.bottom, wr.right - wr.left, wr.bottom - wr.top, cr.right,
                    cr.bottom);
        return kOk;
    }
    if (o.command == "click") {
        if (!ctl) return Fail(kUsage, "click needs --id");
        if (o.real) {
            RECT r;
            GetClientRect(ctl, &r);
            if (!MouseAction(top, ctl, r.right / 2, r.bottom / 2, "click"))
                return Fail(kFailed, "mouse input failed");
        } else {
            // Posted: a click that opens a modal box must not block us.
            PostMessageA(ctl, BM_CLICK, 0, 0);
        }
        std::printf("clicked=%d\n", o.id);
        return kOk;
    }
    if (o.command == "command") {
        if (!o.hasId) return Fail(kUsage, "command needs --id");
        // The id need not be a control's (menu and accelerator commands).
        ctl = Control(top, o.id);
        PostMessageA(top, WM_COMMAND, MAKEWPARAM(o.id, o.code), reinterpret_cast<LPARAM>(ctl));
        std::printf("command=%d code=%d\n", o.id, o.code);
        return kOk;
    }
    if (o.command == "key") {
        if (o.keys.empty()) return Fail(kUsage, "key needs at least one KEY");
        std::vector<std::vector<WORD>> chords;
        for (const auto& k : o.keys) {
            std::vector<WORD> vks;
            if (!ParseKey(k, &vks)) return Fail(kUsage, ("unknown key " + k).c_str());
            chords.push_back(vks);
        }
        if (!ctl) Front(top);
        for (const auto& c : chords) {
            if (ctl)
                PostKeyTo(ctl, c);
            else
                TypeChord(c);
        }
        std::printf("keys=%zu\n", chords.size());
        return kOk;
    }
    if (o.command == "mouse") {
        if (!MouseAction(top, ctl ? ctl : top, o.x, o.y, o.action))
            return Fail(kUsage, "unknown --action");
        if (o.hold > 0) Sleep(static_cast<DWORD>(o.hold));
        std::printf("action=%s x=%d y=%d\n", o.action.c_str(), o.x, o.y);
        return kOk;
    }
    if (o.command == "listview" || o.command == "dblclick-row") {
        if (!ctl) return Fail(kUsage, "needs --id of the list view");
        Remote r(ctl, 4096);
        if (!r.ok()) return Fail(kFailed, "cannot reach the list view's process");
        if (o.minRows >= 0 && !WaitRows(ctl, o.minRows, o.timeout))
            return Fail(kFailed, "the list did not fill in time");
        const int rows = ListRows(ctl);
        if (o.command == "dblclick-row") {
            if (o.row < 0 || o.row >= rows) return Fail(kFailed, "no such row");
            SendMessageA(ctl, LVM_ENSUREVISIBLE, static_cast<WPARAM>(o.row), FALSE);
            RECT rc = {};
            rc.left = LVIR_LABEL;
            if (!r.Write(0, &rc, sizeof rc) ||
                !SendMessageA(ctl, LVM_GETITEMRECT, static_cast<WPARAM>(o.row),
                              reinterpret_cast<LPARAM>(r.at(0))) ||
                !r.Read(0, &rc, sizeof rc))
                return Fail(kFailed, "cannot read the row's rectangle");
            HWND watched = o.watch ? Control(top, o.watch) : nullptr;
            if (o.watch && !watched) return Fail(kNoControl, "no control to watch");
            Front(top);
            const unsigned long long before = watched ? ScreenSum(watched) : 0;
            const DWORD t0 = GetTickCount();
            if (!MouseAction(top, ctl, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2,
                             "dblclick"))
                return Fail(kFailed, "mouse input failed");
            std::printf("row=%d x=%ld y=%ld\n", o.row, (rc.left + rc.right) / 2,
                        (rc.top + rc.bottom) / 2);
            if (watched) {
                while (ScreenSum(watched) == before) {
                    if (GetTickCount() - t0 >= o.timeout)
                        return Fail(kFailed, "the watched control did not change");
                    Sleep(5);
                }
                std::printf("changed_ms=%lu\n", static_cast<unsigned long>(GetTickCount() - t0));
            }
            return kOk;
        }
        HWND header = reinterpret_cast<HWND>(SendMessageA(ctl, LVM_GETHEADER, 0, 0));
        int cols = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
        if (cols < 1) cols = 1;
        std::printf("rows=%d\ncolumns=%d\n", rows, cols);
        for (int c = 0; c < cols; ++c) {
            std::string t;
            if (!ColumnText(ctl, r, c, &t)) continue;
            const int width =
                static_cast<int>(SendMessageA(ctl, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0));
            std::printf("column=%d width=%d text=%s\n", c, width, Escape(t).c_str());
        }
        for (int i = 0; i < rows; ++i) {
            const UINT state = static_cast<UINT>(SendMessageA(
                ctl, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED | LVIS_FOCUSED));
            for (int c = 0; c < cols; ++c) {
                std::string t;
                if (!CellText(ctl, r, i, c, &t)) return Fail(kFailed, "cannot read a cell");
                std::printf("row=%d col=%d selected=%d focused=%d text=%s\n", i, c,
                            (state & LVIS_SELECTED) ? 1 : 0, (state & LVIS_FOCUSED) ? 1 : 0,
                            Escape(t).c_str());
            }
        }
        return kOk;
    }
    if (o.command == "screenshot") {
        if (o.out.empty()) return Fail(kUsage, "screenshot needs --out");
        Front(top);
        RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(200);
        RECT r;
        if (o.client) {
            GetClientRect(top, &r);
            MapWindowPoints(top, nullptr, reinterpret_cast<POINT*>(&r), 2);
        } else {
            GetWindowRect(top, &r);
        }
        if (!SaveScreen(r, o.out)) return Fail(kFailed, "cannot write the screenshot");
        std::printf("file=%s\nwidth=%ld\nheight=%ld\n", o.out.c_str(), r.right - r.left,
                    r.bottom - r.top);
        return kOk;
    }
    if (o.command == "close") {
        PostMessageA(top, WM_CLOSE, 0, 0);
        if (o.wait) {
            const DWORD start = GetTickCount();
            while (IsWindow(top)) {
                if (GetTickCount() - start >= o.timeout) return Fail(kFailed, "the window stayed");
                Sleep(50);
            }
        }
        std::printf("closed=1\n");
        return kOk;
    }
    return Fail(kUsage, "unknown command");
}

bool ParseArgs(int argc, char** argv, Options* o) {
    if (argc < 2) return false;
    o->command = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string* s) {
            if (i + 1 >= argc) return false;
            *s = argv[++i];
            return true;
        };
        auto number = [&](int* n) {
            std::string s;
            if (!value(&s)) return false;
            char* end = nullptr;
            long v = std::strtol(s.c_str(), &end, 0);
            if (*end || s.empty()) return false;
            *n = static_cast<int>(v);
            return true;
        };
        int n = 0;
        if (a == "--title") {
            if (!value(&o->title)) return false;
        } else if (a == "--title-part") {
            if (!value(&o->titlePart)) return false;
        } else if (a == "--class") {
            if (!value(&o->cls)) return false;
        } else if (a == "--pid") {
            if (!number(&n) || n <= 0) return false;
            o->pid = static_cast<DWORD>(n);
        } else if (a == "--timeout") {
            if (!number(&n) || n < 0) return false;
            o->timeout = static_cast<DWORD>(n);
        } else if (a == "--id") {
            if (!number(&o->id)) return false;
            o->hasId = true;
        } else if (a == "--code") {
            if (!number(&o->code)) return false;
        } else if (a == "--row") {
            if (!number(&o->row)) return false;
        } else if (a == "--x") {
            if (!number(&o->x)) return false;
        } else if (a == "--y") {
            if (!number(&o->y)) return false;
        } else if (a == "--hold") {
            if (!number(&o->hold)) return false;
        } else if (a == "--action") {
            if (!value(&o->action)) return false;
        } else if (a == "--min-rows") {
            if (!number(&o->minRows) || o->minRows < 0) return false;
        } else if (a == "--watch") {
            if (!number(&o->watch) || o->watch == 0) return false;
        } else if (a == "--control-class") {
            if (!value(&g_controlClass)) return false;
        } else if (a == "--exe") {
            if (!value(&o->exe)) return false;
        } else if (a == "--answer") {
            if (!value(&o->answer)) return false;
        } else if (a == "--out") {
            if (!value(&o->out)) return false;
        } else if (a == "--gone") {
            o->gone = true;
        } else if (a == "--real") {
            o->real = true;
        } else if (a == "--client") {
            o->client = true;
        } else if (a == "--wait") {
            o->wait = true;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return false;
        } else {
            o->keys.push_back(a);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(kHelp, stdout);
        return kOk;
    }
    Options o;
    if (!ParseArgs(argc, argv, &o)) {
        std::fputs(kHelp, stderr);
        return kUsage;
    }
    if (!o.keys.empty() && o.command != "key") return Fail(kUsage, "unexpected argument");
    int r = Run(o);
    std::fflush(stdout);
    return r;
}
