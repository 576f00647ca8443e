#include "DialogDriver.h"
#include <chrono>
#include <set>
#include <vector>

namespace {
BOOL CALLBACK FindDialogs(HWND h, LPARAM lp) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(h)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}
}  // namespace

TDialogDriver::TDialogDriver(DWORD guiThread, std::function<void(HWND)> action)
    : gui_(guiThread), action_(std::move(action)), thread_([this] { Run(); }) {}

TDialogDriver::~TDialogDriver() {
    stop_ = true;
    thread_.join();
}

void TDialogDriver::Run() {
    std::set<HWND> seen;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!stop_ && std::chrono::steady_clock::now() < end) {
        // A dialog's own boxes (an overwrite prompt) show while it is still open.
        std::vector<HWND> found;
        EnumThreadWindows(gui_, &FindDialogs, reinterpret_cast<LPARAM>(&found));
        HWND dlg = nullptr;
        for (HWND h : found)
            if (!seen.count(h)) dlg = h;
        if (dlg) {
            // Let the dialog finish its own initialisation first.
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            seen.insert(dlg);
            action_(dlg);
            ++count_;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::wstring TextOf(HWND h) {
    wchar_t b[512] = {};
    GetWindowTextW(h, b, 512);
    return b;
}

void PressOk(HWND dlg) {
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
}

void PressCancel(HWND dlg) {
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
}
