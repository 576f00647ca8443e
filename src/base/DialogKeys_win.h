#pragma once
// Keyboard navigation for a modeless dialog inside a message loop that is not
// ours. The host's loop never calls IsDialogMessage, so without help Tab,
// Shift+Tab, Enter, Esc and the Alt access keys would do nothing in the dialog.
// While an object of this class lives, a message hook on the creating thread
// hands every key message meant for the dialog or one of its controls to
// IsDialogMessage and, when that takes it, turns it into WM_NULL for the loop.
#include <windows.h>

class TDialogKeys {
public:
    explicit TDialogKeys(HWND dialog);
    ~TDialogKeys();
    TDialogKeys(const TDialogKeys&) = delete;
    TDialogKeys& operator=(const TDialogKeys&) = delete;
    bool Installed() const { return hook_ != nullptr; }

private:
    static LRESULT CALLBACK GetMessageHook(int code, WPARAM wp, LPARAM lp) noexcept;
    HHOOK hook_ = nullptr;
};
