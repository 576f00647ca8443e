#include "preferences/Configure_win.h"
#include "resources/resource.h"

bool TFormConfigure::Create() { return CreateModeless(IDD_CONFIGURE, nullptr); }

void TFormConfigure::ShowAndBringForward() {
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
}

void TFormConfigure::SetStayOnTop(bool on) {
    SetWindowPos(Handle(), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

INT_PTR TFormConfigure::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDC_CONFIG_OK || LOWORD(wp) == IDC_CONFIG_CANCEL) {
            ShowWindow(Handle(), SW_HIDE);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        ShowWindow(Handle(), SW_HIDE);
        return TRUE;
    default:
        return FALSE;
    }
}
