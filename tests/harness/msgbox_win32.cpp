// Message boxes answered without a person. The import tables of the loaded
// modules send MessageBox* through us; we show the real box (so owner
// disabling and the modal loop are the system's own) and a CBT hook on the
// calling thread answers it when it is activated.
#include <deque>
#include <string>
#include <vector>

#include "tests/harness/harness.h"
#include "tests/harness/iat_patch.h"

namespace uitest {

namespace {

CRITICAL_SECTION g_lock;
bool g_lockReady = false;
bool g_active = false;  // a catcher lives
std::deque<int>* g_answers = nullptr;
std::vector<BoxRecord>* g_boxes = nullptr;

struct Lock {
    Lock() { EnterCriticalSection(&g_lock); }
    ~Lock() { LeaveCriticalSection(&g_lock); }
};

// The box in hand on this thread.
struct Pending {
    HHOOK hook = nullptr;
    UINT type = 0;
    int answer = 0;
    HWND owner = nullptr;
    HWND box = nullptr;
    bool ownerDisabled = false;
    Pending* outer = nullptr;  // a box shown from inside another box's loop
};
thread_local Pending* t_pending = nullptr;

// The box's default button, as Enter would press it.
int DefaultAnswer(UINT type) {
    static const int buttons[][3] = {
        {IDOK, IDOK, IDOK},                  // MB_OK
        {IDOK, IDCANCEL, IDCANCEL},          // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},        // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},             // MB_YESNOCANCEL
        {IDYES, IDNO, IDNO},                 // MB_YESNO
        {IDRETRY, IDCANCEL, IDCANCEL},       // MB_RETRYCANCEL
        {IDCANCEL, IDTRYAGAIN, IDCONTINUE},  // MB_CANCELTRYCONTINUE
    };
    UINT set = type & MB_TYPEMASK;
    if (set > 6) set = 0;
    UINT def = (type & MB_DEFMASK) >> 8;
    if (def > 2) def = 0;
    return buttons[set][def];
}

int NextAnswer(UINT type) {
    Lock l;
    if (!g_answers->empty()) {
        int a = g_answers->front();
        g_answers->pop_front();
        return a;
    }
    return DefaultAnswer(type);
}

void Record(const BoxRecord& r) {
    Lock l;
    if (g_active) g_boxes->push_back(r);
}

std::string Narrow(LPCWSTR w) {
    if (!w) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w, -1, &s[0], n, nullptr, nullptr);
    s.resize(static_cast<size_t>(n - 1));
    return s;
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    Pending* p = t_pending;
    if (code == HCBT_ACTIVATE && p && !p->box) {
        HWND w = reinterpret_cast<HWND>(wParam);
        char cls[16] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0) {
            p->box = w;
            p->ownerDisabled = p->owner && !IsWindowEnabled(p->owner);
            // Pressing the button is what a person does; a box without that
            // button is ended with the answer as its result.
            HWND button = GetDlgItem(w, p->answer);
            if (button)
                PostMessageA(w, WM_COMMAND, MAKEWPARAM(p->answer, BN_CLICKED),
                             reinterpret_cast<LPARAM>(button));
            else
                EndDialog(w, p->answer);
        }
    }
    HHOOK h = p ? p->hook : nullptr;
    return CallNextHookEx(h, code, wParam, lParam);
}

// Runs show() with the hook armed; records the box.
template <typename Show>
int Catch(HWND owner, std::string text, std::string caption, UINT type, Show show) {
    bool active;
    {
        Lock l;
        active = g_active;
    }
    if (!active) return show();
    Pending p;
    p.type = type;
    p.owner = owner;
    p.answer = NextAnswer(type);
    p.outer = t_pending;
    p.hook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    t_pending = &p;
    int result = show();
    t_pending = p.outer;
    if (p.hook) UnhookWindowsHookEx(p.hook);
    BoxRecord r;
    r.text = std::move(text);
    r.caption = std::move(caption);
    r.type = type;
    r.owner = owner;
    r.box = p.box;
    r.ownerDisabled = p.ownerDisabled;
    r.answer = result;
    Record(r);
    return result;
}

void* real_MessageBoxA = nullptr;
void* real_MessageBoxW = nullptr;
void* real_MessageBoxExA = nullptr;
void* real_MessageBoxExW = nullptr;
void* real_MessageBoxIndirectA = nullptr;
void* real_MessageBoxIndirectW = nullptr;

int WINAPI hook_MessageBoxA(HWND o, LPCSTR t, LPCSTR c, UINT u) {
    return Catch(o, t ? t : "", c ? c : "", u, [&] {
        return reinterpret_cast<decltype(&::MessageBoxA)>(real_MessageBoxA)(o, t, c, u);
    });
}
int WINAPI hook_MessageBoxW(HWND o, LPCWSTR t, LPCWSTR c, UINT u) {
    return Catch(o, Narrow(t), Narrow(c), u, [&] {
        return reinterpret_cast<decltype(&::MessageBoxW)>(real_MessageBoxW)(o, t, c, u);
    });
}
int WINAPI hook_MessageBoxExA(HWND o, LPCSTR t, LPCSTR c, UINT u, WORD lang) {
    return Catch(o, t ? t : "", c ? c : "", u, [&] {
        return reinterpret_cast<decltype(&::MessageBoxExA)>(real_MessageBoxExA)(o, t, c, u, lang);
    });
}
int WINAPI hook_MessageBoxExW(HWND o, LPCWSTR t, LPCWSTR c, UINT u, WORD lang) {
    return Catch(o, Narrow(t), Narrow(c), u, [&] {
        return reinterpret_cast<decltype(&::MessageBoxExW)>(real_MessageBoxExW)(o, t, c, u, lang);
    });
}
// Indirect boxes may carry resource ids instead of texts; those are
// recorded as "#id".
std::string TextOrId(LPCSTR s) {
    if (!s) return {};
    if (IS_INTRESOURCE(s)) return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(s));
    return s;
}
std::string TextOrId(LPCWSTR s) {
    if (!s) return {};
    if (IS_INTRESOURCE(s)) return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(s));
    return Narrow(s);
}
int WINAPI hook_MessageBoxIndirectA(const MSGBOXPARAMSA* p) {
    return Catch(p->hwndOwner, TextOrId(p->lpszText), TextOrId(p->lpszCaption), p->dwStyle, [&] {
        return reinterpret_cast<decltype(&::MessageBoxIndirectA)>(real_MessageBoxIndirectA)(p);
    });
}
int WINAPI hook_MessageBoxIndirectW(const MSGBOXPARAMSW* p) {
    return Catch(p->hwndOwner, TextOrId(p->lpszText), TextOrId(p->lpszCaption), p->dwStyle, [&] {
        return reinterpret_cast<decltype(&::MessageBoxIndirectW)>(real_MessageBoxIndirectW)(p);
    });
}

#define UITEST_HOOK(NAME) \
    { "user32.dll", #NAME, reinterpret_cast<void*>(&hook_##NAME), &real_##NAME }

detail::ImportHook g_hooks[] = {
    UITEST_HOOK(MessageBoxA),   UITEST_HOOK(MessageBoxW),         UITEST_HOOK(MessageBoxExA),
    UITEST_HOOK(MessageBoxExW), UITEST_HOOK(MessageBoxIndirectA), UITEST_HOOK(MessageBoxIndirectW),
};

#undef UITEST_HOOK

}  // namespace

MessageBoxCatcher::MessageBoxCatcher() {
    if (!g_lockReady) {
        InitializeCriticalSection(&g_lock);
        g_answers = new std::deque<int>;
        g_boxes = new std::vector<BoxRecord>;
        g_lockReady = true;
    }
    // The tables stay patched for the life of the process: a box shown with
    // no catcher alive goes straight to the system.
    detail::PatchImports(g_hooks, static_cast<int>(sizeof g_hooks / sizeof g_hooks[0]), false);
    Lock l;
    g_answers->clear();
    g_boxes->clear();
    g_active = true;
}

MessageBoxCatcher::~MessageBoxCatcher() {
    Lock l;
    g_active = false;
    g_answers->clear();
}

void MessageBoxCatcher::QueueAnswer(int answer) {
    Lock l;
    g_answers->push_back(answer);
}

std::vector<BoxRecord> MessageBoxCatcher::boxes() const {
    Lock l;
    return *g_boxes;
}

int MessageBoxCatcher::count() const {
    Lock l;
    return static_cast<int>(g_boxes->size());
}

void MessageBoxCatcher::Clear() {
    Lock l;
    g_boxes->clear();
}

int AnswerMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if (!g_lockReady) return 0;
    {
        Lock l;
        if (!g_active) return 0;
    }
    BoxRecord r;
    r.text = text ? text : "";
    r.caption = caption ? caption : "";
    r.type = type;
    r.owner = owner;
    r.answer = NextAnswer(type);
    Record(r);
    return r.answer;
}

}  // namespace uitest
