#pragma once
// The base of every window class of the plug-in: the thunk that keeps the object
// with its window (WM_NCCREATE -> GWLP_USERDATA) and the exception boundary.
// Derived classes override HandleMessage, a switch that only dispatches to
// named handlers, and return DefaultHandling(...) for what they do not take.
#include <windows.h>
#include <new>
#include <string>
#include "base/Errors.h"
#include "base/TestSeam.h"

// Shows an error raised inside a command: a modal message box with one OK button.
void ShowErrorBox(HWND owner, const std::string& utf8Message, UINT icon = 0);

// The same box for an allocation that failed; it allocates nothing of its own.
void ShowOutOfMemoryBox(HWND owner) noexcept;

// Runs f, catching everything: nothing may escape into the host.
template <class F>
bool RunGuarded(HWND owner, F&& f) noexcept {
    try {
        f();
        return true;
    } catch (const EPluginError& e) {
        ++TestSeam().ShownErrors;
        try { ShowErrorBox(owner, e.what()); } catch (...) {}
    } catch (const std::bad_alloc&) {
        ++TestSeam().ShownErrors;
        ShowOutOfMemoryBox(owner);
    } catch (const std::exception& e) {
        ++TestSeam().UnexpectedExceptions;
        try { ShowErrorBox(owner, e.what()); } catch (...) {}
    } catch (...) {
        ++TestSeam().UnexpectedExceptions;
        try { ShowErrorBox(owner, "Unexpected error"); } catch (...) {}
    }
    return false;
}

HINSTANCE ThisModule();

class TWindow {
public:
    TWindow() = default;
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    bool HandleAllocated() const { return hwnd_ != nullptr; }

    // Destroys the native window and deletes the object when control next returns
    // to the message loop, so a window may release itself from one of its own
    // handlers. A release that arrives while a handler of any of the plug-in's
    // windows, dialogs or hooks is still on the stack (a modal loop inside it
    // dispatched the release) waits until the outermost of them has returned: a
    // child's handler uses its parent too. The object must have been created with new.
    void Release();

protected:
    // Registers (once per module) and creates a window of this class.
    bool CreateNative(const wchar_t* className, DWORD exStyle, const wchar_t* title, DWORD style,
                      int x, int y, int w, int h, HWND parent, HMENU menu, UINT classStyle = CS_DBLCLKS,
                      HBRUSH background = nullptr, HICON icon = nullptr);
    void DestroyNative();
    // Creates a window of a class that takes over a system control class (such as
    // "LISTBOX") under className: the system class's window procedure then gets
    // everything HandleMessage leaves to DefaultHandling. removeClassStyles are
    // taken out of the system class's styles.
    bool CreateNativeSuperclass(const wchar_t* className, const wchar_t* baseClassName, UINT removeClassStyles,
                                DWORD exStyle, DWORD style, int x, int y, int w, int h, HWND parent, HMENU menu);
    // The system class's procedure of a superclass window; null for a plain window.
    WNDPROC BaseProcedure() const { return baseProc_; }

    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultHandling(UINT msg, WPARAM wp, LPARAM lp);
    // Called when the native window is gone (WM_NCDESTROY); the object lives on.
    virtual void OnNativeDestroyed() {}

    static constexpr UINT WM_VL_RELEASE = WM_APP + 0x3A1;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static bool ClassIsOurs(const wchar_t* className);
    LRESULT FallbackHandling(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const;
    // Deletes the object now, or once the outermost handler has returned.
    void DeleteWhenIdle();
    HWND hwnd_ = nullptr;
    WNDPROC baseProc_ = nullptr;
    bool deleteWhenIdle_ = false;  // released while a handler was on the stack
};

// Marks a handler of the plug-in (window, dialog or hook procedure) on the stack
// for its lifetime. When the outermost one ends, the objects released meanwhile
// are deleted.
class TDispatchScope {
public:
    TDispatchScope() noexcept;
    ~TDispatchScope();
    TDispatchScope(const TDispatchScope&) = delete;
    TDispatchScope& operator=(const TDispatchScope&) = delete;
};

// Whether a handler of the plug-in is on the stack.
bool InsideHandler();

// Deletes an object at once when no handler is on the stack. Otherwise, once
// the outermost handler has returned, the release is posted to window (when it
// still exists) as message, whose dispatch by the loop calls this again; an
// object without a window is deleted then. The library's unload deletes at once.
void DeleteWhenNoHandler(void* object, void (*destroy)(void*), HWND window = nullptr, UINT message = 0);

// Lets pending messages of this thread run once.
void ProcessPendingMessages();

// Completes every release still waiting for the message loop or for the
// handlers on the stack (library unload).
void DestroyPendingWindows();

// The registry of releases waiting for the message loop, shared by windows and dialogs.
void AddPendingRelease(void* object, void (*destroy)(void*));
bool TakePendingRelease(void* object);  // true if it was pending (the caller then destroys it)
bool IsPendingRelease(void* object);
