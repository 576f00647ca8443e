#include "preferences/Configure_win.h"
#include "resources/resource.h"

bool TFormConfigure::Create() { return CreateModeless(IDD_CONFIGURE, nullptr); }

void TFormConfigure::ShowAndBringForward() {
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
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
