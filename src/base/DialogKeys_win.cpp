#include "base/DialogKeys_win.h"

namespace {
// The hook procedure gets no context of its own; one dialog at a time uses it.
HWND KeyDialog = nullptr;
HHOOK KeyHook = nullptr;
}  // namespace

TDialogKeys::TDialogKeys(HWND dialog) {
    if (KeyHook || !dialog) return;  // one owner at a time
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, &TDialogKeys::GetMessageHook, nullptr, GetCurrentThreadId());
    if (!hook_) return;
    KeyHook = hook_;
    KeyDialog = dialog;
}

TDialogKeys::~TDialogKeys() {
    if (!hook_) return;
    UnhookWindowsHookEx(hook_);
    if (KeyHook == hook_) {
        KeyHook = nullptr;
        KeyDialog = nullptr;
    }
}

LRESULT CALLBACK TDialogKeys::GetMessageHook(int code, WPARAM wp, LPARAM lp) noexcept {
    // Only a message the loop takes off the queue: a peek that leaves it there
    // would have it handled twice.
    if (code == HC_ACTION && wp == PM_REMOVE && lp) try {
        auto* m = reinterpret_cast<MSG*>(lp);
        const HWND dialog = KeyDialog;
        if (dialog && m->message >= WM_KEYFIRST && m->message <= WM_KEYLAST && m->hwnd &&
            (m->hwnd == dialog || IsChild(dialog, m->hwnd)) && IsWindowVisible(dialog) &&
            IsDialogMessageW(dialog, m)) {
            // Handled (IsDialogMessage may even have closed the dialog): the loop gets nothing.
            m->message = WM_NULL;
            m->wParam = 0;
            m->lParam = 0;
        }
    } catch (...) {
        // Nothing may leave a hook; the message then goes on as it was.
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
