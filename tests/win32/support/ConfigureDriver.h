#pragma once
// Driving the preferences dialog as a user would: page tabs clicked, text typed,
// buttons clicked, grid rows double-clicked; and the system's modal choosers
// answered from a worker thread.
#include <windows.h>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

// The preferences dialog of this thread (a dialog holding the page control), or null.
HWND FindPreferences();

class TConfigureDriver {
public:
    explicit TConfigureDriver(HWND dialog) : dlg_(dialog) {}
    HWND Dialog() const { return dlg_; }
    HWND Item(int id) const { return GetDlgItem(dlg_, id); }

    // Clicks the page's tab.
    void ClickPage(int page) const;
    int ActivePage() const;
    // Focuses the control and types the text character by character.
    void Type(int id, const std::wstring& text) const;
    void SetText(int id, const std::wstring& text) const;
    std::wstring Text(int id) const;
    // Clicks a push button or check box (it must be shown).
    void Click(int id) const;
    bool Checked(int id) const;
    bool Enabled(int id) const;
    // Double-clicks a point of a control's client area, button down and up twice.
    void DoubleClick(int id, int x, int y) const;
    std::wstring ListText(int id, int index) const;
    int ListCount(int id) const;
    int ListFind(int id, const std::wstring& text) const;

private:
    HWND dlg_;
};

// Waits on a worker thread for a visible dialog of this process with the given
// title, then runs the action on it once (from that thread).
class TDialogAnswerer {
public:
    TDialogAnswerer(std::wstring title, std::function<void(HWND)> action);
    ~TDialogAnswerer();
    TDialogAnswerer(const TDialogAnswerer&) = delete;
    TDialogAnswerer& operator=(const TDialogAnswerer&) = delete;
    bool Answered() const { return answered_; }

private:
    void Run();
    std::wstring title_;
    std::function<void(HWND)> action_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> answered_{false};
    std::thread thread_;
};

// The face name and height of a window's font (WM_GETFONT).
std::wstring FontFaceOf(HWND window);
LONG FontHeightOf(HWND window);
