#include "MessageBoxCatcher.h"
#include <algorithm>

std::wstring W(const char* utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring s(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, utf8, -1, s.data(), n);
    return s;
}

TMessageBoxCatcher::TMessageBoxCatcher(int button) : button_(button), thread_([this] { Run(); }) {}

TMessageBoxCatcher::~TMessageBoxCatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<std::wstring> TMessageBoxCatcher::Texts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}

std::vector<std::wstring> TMessageBoxCatcher::Captions() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return captions_;
}

size_t TMessageBoxCatcher::Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_.size();
}

namespace {
struct FindCtx {
    DWORD pid;
    std::vector<HWND> found;
};
BOOL CALLBACK CollectBoxes(HWND h, LPARAM lp) {
    auto* c = reinterpret_cast<FindCtx*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (owner == c->pid && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(h) && GetDlgItem(h, 0xFFFF) != nullptr)
        c->found.push_back(h);
    return TRUE;
}
}  // namespace

void TMessageBoxCatcher::Run() {
    const DWORD pid = GetCurrentProcessId();
    while (!stop_) {
        FindCtx ctx{pid, {}};
        EnumWindows(&CollectBoxes, reinterpret_cast<LPARAM>(&ctx));
        for (HWND dlg : ctx.found) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (std::find(seen_.begin(), seen_.end(), dlg) != seen_.end()) continue;
                seen_.push_back(dlg);
            }
            wchar_t text[2048] = {}, caption[256] = {};
            GetDlgItemTextW(dlg, 0xFFFF, text, 2048);
            GetWindowTextW(dlg, caption, 256);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                texts_.push_back(text);
                captions_.push_back(caption);
            }
            PostMessageW(dlg, WM_COMMAND, button_, 0);
        }
        {
            // A closed box's handle may be reused by the next one.
            std::lock_guard<std::mutex> lock(mutex_);
            seen_.erase(std::remove_if(seen_.begin(), seen_.end(), [](HWND h) { return !IsWindow(h); }), seen_.end());
        }
        Sleep(10);
    }
}
