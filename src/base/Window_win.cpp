#include "base/Window_win.h"
#include "base/Text_win.h"
#include <algorithm>
#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

void ShowErrorBox(HWND owner, const std::string& utf8Message, UINT icon) {
    std::wstring text = Utf8ToWide(utf8Message);
    MessageBoxW(owner, text.c_str(), L"VelvetLister", MB_OK | icon | MB_TASKMODAL);
}

void ShowOutOfMemoryBox(HWND owner) noexcept {
    MessageBoxW(owner, L"Out of memory: the command was abandoned.", L"VelvetLister", MB_OK | MB_TASKMODAL);
}

// Whether the class is registered for this module with our procedure. A class
// left behind by an earlier image of the library loaded at the same address
// (freed and loaded again, perhaps another build) would send our windows into
// code that is gone: it is unregistered, for the caller to register afresh.
bool TWindow::ClassIsOurs(const wchar_t* className) {
    WNDCLASSEXW found{};
    found.cbSize = sizeof(found);
    if (!GetClassInfoExW(ThisModule(), className, &found)) return false;
    if (found.lpfnWndProc == &TWindow::WndProc) return true;
    UnregisterClassW(className, ThisModule());
    return false;
}

TWindow::~TWindow() { DestroyNative(); }

bool TWindow::CreateNative(const wchar_t* className, DWORD exStyle, const wchar_t* title, DWORD style,
                           int x, int y, int w, int h, HWND parent, HMENU menu, UINT classStyle,
                           HBRUSH background, HICON icon) {
    if (!ClassIsOurs(className)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = classStyle;
        wc.lpfnWndProc = &TWindow::WndProc;
        wc.hInstance = ThisModule();
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = className;
        if (!RegisterClassExW(&wc)) return false;
    }
    HWND h2 = CreateWindowExW(exStyle, className, title, style, x, y, w, h, parent, menu, ThisModule(), this);
    return h2 != nullptr;
}

bool TWindow::CreateNativeSuperclass(const wchar_t* className, const wchar_t* baseClassName, UINT removeClassStyles,
                                     DWORD exStyle, DWORD style, int x, int y, int w, int h, HWND parent, HMENU menu) {
    WNDCLASSEXW base{};
    base.cbSize = sizeof(base);
    if (!GetClassInfoExW(nullptr, baseClassName, &base)) return false;
    baseProc_ = base.lpfnWndProc;
    if (!ClassIsOurs(className)) {
        WNDCLASSEXW wc = base;
        wc.cbSize = sizeof(wc);
        wc.style &= ~removeClassStyles;
        wc.lpfnWndProc = &TWindow::WndProc;  // cbWndExtra stays: the system procedure keeps its state there
        wc.hInstance = ThisModule();
        wc.lpszClassName = className;
        wc.lpszMenuName = nullptr;
        if (!RegisterClassExW(&wc)) return false;
    }
    HWND h2 = CreateWindowExW(exStyle, className, L"", style, x, y, w, h, parent, menu, ThisModule(), this);
    return h2 != nullptr;
}

void TWindow::DestroyNative() {
    if (hwnd_) {
        HWND h = hwnd_;
        DestroyWindow(h);  // WM_NCDESTROY clears hwnd_
        hwnd_ = nullptr;
    }
}

namespace {
struct TPending {
    void* object;
    void (*destroy)(void*);
    // Where the release is posted again once no handler is on the stack (none: destroyed then).
    HWND window = nullptr;
    UINT message = 0;
};
// Objects released but not yet destroyed by the message loop.
std::vector<TPending>& PendingReleases() {
    static std::vector<TPending> pending;
    return pending;
}
}  // namespace

namespace {
int g_handlerDepth = 0;
bool g_deletingIdle = false;
// Objects released while a handler was on the stack, in the order released.
std::vector<TPending>& IdleDeletes() {
    static std::vector<TPending> idle;
    return idle;
}

// `unloading`: the library goes, whatever handler is said to be on the stack.
// Otherwise the outermost handler of ours has just ended, but it may have been
// called by a system control whose own procedure has still to run (a tool
// bar's button-up sends the command that ran the modal loop): a release that
// has a window goes back to the message loop as a fresh posted message.
void RunIdleDeletes(bool unloading = false) {
    if (g_deletingIdle) return;  // an outer call is at it; a destructor's own messages end here
    g_deletingIdle = true;
    auto& idle = IdleDeletes();
    while (!idle.empty() && (unloading || g_handlerDepth == 0)) {
        TPending p = idle.front();
        idle.erase(idle.begin());
        if (!unloading && p.window && IsWindow(p.window) && PostMessageW(p.window, p.message, 0, 0)) {
            PendingReleases().push_back(p);
            continue;
        }
        RunGuarded(nullptr, [&] { p.destroy(p.object); });
    }
    g_deletingIdle = false;
}
}  // namespace

TDispatchScope::TDispatchScope() noexcept { ++g_handlerDepth; }

TDispatchScope::~TDispatchScope() {
    if (--g_handlerDepth == 0) RunIdleDeletes();
}

bool InsideHandler() { return g_handlerDepth > 0; }

void DeleteWhenNoHandler(void* object, void (*destroy)(void*), HWND window, UINT message) {
    if (g_handlerDepth > 0) {
        IdleDeletes().push_back({object, destroy, window, message});
        return;
    }
    TDispatchScope scope;  // what the destructor's own messages release waits for its end
    RunGuarded(nullptr, [&] { destroy(object); });
}

void AddPendingRelease(void* object, void (*destroy)(void*)) { PendingReleases().push_back({object, destroy}); }

bool IsPendingRelease(void* object) {
    for (const auto& p : PendingReleases())
        if (p.object == object) return true;
    return false;
}

bool TakePendingRelease(void* object) {
    auto& v = PendingReleases();
    auto it = std::find_if(v.begin(), v.end(), [&](const TPending& p) { return p.object == object; });
    if (it == v.end()) return false;
    v.erase(it);
    return true;
}

void TWindow::Release() {
    if (IsPendingRelease(this) || deleteWhenIdle_) return;
    if (hwnd_ && PostMessageW(hwnd_, WM_VL_RELEASE, 0, 0)) {
        AddPendingRelease(this, [](void* p) { delete static_cast<TWindow*>(p); });
        return;
    }
    DeleteWhenIdle();
}

void TWindow::DeleteWhenIdle() {
    deleteWhenIdle_ = true;  // a second release while it waits is no second delete
    DeleteWhenNoHandler(this, [](void* p) { delete static_cast<TWindow*>(p); }, hwnd_, WM_VL_RELEASE);
}

void DestroyPendingWindows() {
    while (!PendingReleases().empty()) {
        TPending p = PendingReleases().back();
        PendingReleases().pop_back();
        RunGuarded(nullptr, [&] { p.destroy(p.object); });
    }
    RunIdleDeletes(true);
}

LRESULT TWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return DefaultHandling(msg, wp, lp); }

LRESULT TWindow::DefaultHandling(UINT msg, WPARAM wp, LPARAM lp) {
    if (!hwnd_) return 0;  // the window went away inside a handler
    return FallbackHandling(hwnd_, msg, wp, lp);
}

LRESULT TWindow::FallbackHandling(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const {
    return baseProc_ ? CallWindowProcW(baseProc_, hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK TWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    TWindow* self = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        self = static_cast<TWindow*>(cs->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<TWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);

    LRESULT result = 0;
    if (msg == WM_VL_RELEASE) {
        if (TakePendingRelease(self)) self->DeleteWhenIdle();
        return 0;
    }
    // The handler, the error box it may show and the fallback all use the object
    // (and a child's handler its parent): a release dispatched by a modal loop
    // among them is held until the outermost handler of the plug-in is done.
    TDispatchScope scope;
    bool ok = RunGuarded(hwnd, [&] { result = self->HandleMessage(msg, wp, lp); });
    if (!ok) result = self->FallbackHandling(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        RunGuarded(nullptr, [&] { self->OnNativeDestroyed(); });
    }
    return result;
}

void ProcessPendingMessages() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            break;
        }
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}
