#pragma once
// Answers every modal window of this process from a worker thread, for long runs
// that open boxes and choosers at random.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Answers every modal window of this process from a worker thread: message
// boxes get OK and are kept; the open dialog gets the planned file name (or
// Cancel), the colour chooser a colour, the font chooser OK, the folder chooser
// Cancel.
class TModalAnswerer {
public:
    TModalAnswerer() : thread_([this] { Run(); }) {}
    ~TModalAnswerer() {
        stop_ = true;
        thread_.join();
    }
    void PlanFileName(std::wstring name) {
        std::lock_guard<std::mutex> lock(m_);
        fileName_ = std::move(name);
    }
    std::vector<std::wstring> TakeBoxes() {
        std::lock_guard<std::mutex> lock(m_);
        return std::exchange(boxes_, {});
    }

private:
    static BOOL CALLBACK Collect(HWND h, LPARAM lp);
    void Run();
    std::atomic<bool> stop_{false};
    std::mutex m_;
    std::wstring fileName_;
    std::vector<std::wstring> boxes_;
    std::thread thread_;
};
