#include "base/Dialog_win.h"
#include "base/Window_win.h"

namespace {
constexpr UINT WM_VL_RELEASE_DIALOG = WM_APP + 0x3A2;
}

TDialog::~TDialog() { DestroyNative(); }

bool TDialog::CreateModeless(int templateId, HWND owner) {
    HWND h = CreateDialogParamW(ThisModule(), MAKEINTRESOURCEW(templateId), owner, &TDialog::DialogProc,
                                reinterpret_cast<LPARAM>(this));
    return h != nullptr;
}

INT_PTR TDialog::RunModal(int templateId, HWND owner) {
    return DialogBoxParamW(ThisModule(), MAKEINTRESOURCEW(templateId), owner, &TDialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void TDialog::DestroyNative() {
    if (hwnd_) {
        HWND h = hwnd_;
        SetWindowLongPtrW(h, DWLP_USER, 0);
        hwnd_ = nullptr;
        DestroyWindow(h);
    }
}

void TDialog::Release() {
    if (IsPendingRelease(this) || deleteWhenIdle_) return;
    if (hwnd_ && PostMessageW(hwnd_, WM_VL_RELEASE_DIALOG, 0, 0)) {
        AddPendingRelease(this, [](void* p) { delete static_cast<TDialog*>(p); });
        return;
    }
    DeleteWhenIdle();
}

void TDialog::DeleteWhenIdle() {
    deleteWhenIdle_ = true;
    DeleteWhenNoHandler(this, [](void* p) { delete static_cast<TDialog*>(p); }, hwnd_, WM_VL_RELEASE_DIALOG);
}

INT_PTR CALLBACK TDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    TDialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<TDialog*>(lp);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    } else {
        self = reinterpret_cast<TDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    if (msg == WM_VL_RELEASE_DIALOG) {
        if (TakePendingRelease(self)) self->DeleteWhenIdle();
        return TRUE;
    }
    INT_PTR result = FALSE;
    TDispatchScope scope;
    RunGuarded(hwnd, [&] { result = self->HandleMessage(msg, wp, lp); });
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}
