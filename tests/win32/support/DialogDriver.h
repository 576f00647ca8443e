#pragma once
// Drives modal dialogs as a user would: finds each dialog (#32770) the given
// thread shows and runs `action` on it once, from a worker thread, while the GUI
// thread sits in the dialog's loop.
#include <windows.h>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

class TDialogDriver {
public:
    TDialogDriver(DWORD guiThread, std::function<void(HWND)> action);
    ~TDialogDriver();
    TDialogDriver(const TDialogDriver&) = delete;
    TDialogDriver& operator=(const TDialogDriver&) = delete;
    int Count() const { return count_; }

private:
    void Run();
    DWORD gui_;
    std::function<void(HWND)> action_;
    std::atomic<bool> stop_{false};
    std::atomic<int> count_{0};
    std::thread thread_;
};

std::wstring TextOf(HWND h);
void PressOk(HWND dlg);
void PressCancel(HWND dlg);
