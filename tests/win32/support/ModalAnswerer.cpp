#include "ModalAnswerer.h"

#include <commctrl.h>

#include <map>
#include <utility>

#include "resources/resource.h"

BOOL CALLBACK TModalAnswerer::Collect(HWND h, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (pid == GetCurrentProcessId() && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(h) &&
        !GetDlgItem(h, IDC_CONFIG_TABS) && !GetDlgItem(h, IDC_JUMP_EDIT))
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

void TModalAnswerer::Run() {
    std::map<HWND, DWORD> seen;  // when each was answered
    while (!stop_) {
        std::vector<HWND> found;
        EnumWindows(&Collect, reinterpret_cast<LPARAM>(&found));
        for (HWND dlg : found) {
            auto [at, first] = seen.emplace(dlg, GetTickCount());
            if (!first) {
                // Still open long after the answer (a chooser that refused it): give up on it.
                if (GetTickCount() - at->second > 1500) {
                    PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
                    at->second = GetTickCount();
                }
                continue;
            }
            const bool box = GetDlgItem(dlg, 0xFFFF) && !FindWindowExW(dlg, nullptr, L"ComboBox", nullptr) &&
                             !FindWindowExW(dlg, nullptr, WC_TREEVIEWW, nullptr) &&
                             !FindWindowExW(dlg, nullptr, L"Edit", nullptr);
            if (box) {
                wchar_t text[1024] = {};
                GetDlgItemTextW(dlg, 0xFFFF, text, 1024);
                std::lock_guard<std::mutex> lock(m_);
                boxes_.push_back(text);
                PostMessageW(dlg, WM_COMMAND, IDOK, 0);
                continue;
            }
            Sleep(40);  // let the chooser finish its initialisation
            std::wstring name;
            {
                std::lock_guard<std::mutex> lock(m_);
                name = std::exchange(fileName_, {});
            }
            wchar_t title[64] = {};
            GetWindowTextW(dlg, title, 64);
            if (lstrcmpW(title, L"Color") == 0) {
                SetDlgItemTextW(dlg, 706, L"200");
                PostMessageW(dlg, WM_COMMAND, IDOK, 0);
            } else if (lstrcmpW(title, L"Font") == 0) {
                PostMessageW(dlg, WM_COMMAND, IDOK, 0);
            } else if (!name.empty() && GetDlgItem(dlg, 0x47c)) {
                SetDlgItemTextW(dlg, 0x47c, name.c_str());
                PostMessageW(dlg, WM_COMMAND, IDOK, 0);
            } else {
                PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
            }
        }
        for (auto it = seen.begin(); it != seen.end();) it = IsWindow(it->first) ? std::next(it) : seen.erase(it);
        Sleep(5);
    }
}
