#pragma once
// Dismisses the modal message boxes this process shows, from a worker thread,
// and keeps their texts so a test can check them.
#include <windows.h>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TMessageBoxCatcher {
public:
    // button: the command posted to each box (IDOK by default).
    explicit TMessageBoxCatcher(int button = IDOK);
    ~TMessageBoxCatcher();
    TMessageBoxCatcher(const TMessageBoxCatcher&) = delete;
    TMessageBoxCatcher& operator=(const TMessageBoxCatcher&) = delete;

    std::vector<std::wstring> Texts() const;
    std::vector<std::wstring> Captions() const;
    size_t Count() const;

private:
    void Run();
    int button_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::wstring> texts_;
    std::vector<std::wstring> captions_;
    std::vector<HWND> seen_;
    std::thread thread_;
};

// UTF-8 literal to UTF-16, for comparing captions and message texts.
std::wstring W(const char* utf8);
