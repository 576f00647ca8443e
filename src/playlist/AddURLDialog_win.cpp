#include "playlist/AddURLDialog_win.h"
#include <vector>
#include "host/ListFileTexts_win.h"
#include "resources/resource.h"

namespace {
constexpr int kMaxURL = 1023;
}

bool TAddURLDialog::Execute(HWND owner, bool japanese, std::wstring& text) {
    japanese_ = japanese;
    text_.clear();
    if (RunModal(IDD_ADD_URL, owner) != IDOK) return false;
    text = text_;
    return true;
}

INT_PTR TAddURLDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: {
        const TListFileTexts& texts = ListFileTexts(japanese_);
        SetWindowTextW(Handle(), texts.AddURLDialogTitle);
        SetDlgItemTextW(Handle(), IDCANCEL, texts.Cancel);
        HWND edit = GetDlgItem(Handle(), IDC_URL_EDIT);
        SendMessageW(edit, EM_LIMITTEXT, kMaxURL, 0);
        SetFocus(edit);
        return FALSE;  // the focus is set
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            HWND edit = GetDlgItem(Handle(), IDC_URL_EDIT);
            std::vector<wchar_t> buffer(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
            const int n = GetWindowTextW(edit, buffer.data(), static_cast<int>(buffer.size()));
            text_.assign(buffer.data(), static_cast<size_t>(n > 0 ? n : 0));
            EndDialog(Handle(), IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(Handle(), IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}
