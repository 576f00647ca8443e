#pragma once
// The emulated host: the player's three windows, its playlist and play state on
// a virtual clock, the answers of its window-message interface, and a record of
// every message its own window procedures receive (after any plug-in hook).
// It answers synchronously and, like the player, sends its playlist-editor
// window WM_USER (lParam = index) on every change of its current entry.
#include <windows.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct TTestHostOptions {
    bool MainWindow = true;
    bool PlaylistEditor = true;
    bool Equalizer = true;
    bool PlaylistEditorVisible = true;
    bool EqualizerVisible = true;
    bool MainVisible = true;
    int Version = 0x2091;
    bool DoubleSize = false;
    POINT MainPosition{100, 100};
};

struct TRecordedMessage {
    HWND Window;
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
    std::string Path;  // WM_COPYDATA: the file added (a wide one in the code page)
};

enum class TPlayState { Stopped = 0, Playing = 1, Paused = 3 };

// Mirrors the player's plug-in record (seven 32-bit fields).
struct TGeneralPurposePlugin {
    int version;
    const char* description;
    int (*init)();
    void (*config)();
    void (*quit)();
    HWND hwndParent;
    HINSTANCE hDllInstance;
};

class TTestHost {
public:
    explicit TTestHost(const TTestHostOptions& options = {});
    ~TTestHost();
    TTestHost(const TTestHost&) = delete;
    TTestHost& operator=(const TTestHost&) = delete;

    HWND Main() const { return main_; }
    HWND PlaylistEditor() const { return pe_; }
    HWND Equalizer() const { return eq_; }

    // --- player state ---
    // The playlist: 8-bit names, or from version 0x5030 on wide ones (WidePlaylist;
    // Playlist is then unused). A 5.3 host answers 214 with the wide name, takes
    // WM_COPYDATA 1100, and gives 211 in the code page with "?" for what it lacks.
    std::vector<std::string> Playlist;
    std::vector<std::wstring> WidePlaylist;
    bool UnicodeNames() const { return Version >= 0x5030; }
    int Length() const;
    std::string AnsiName(int i) const;
    int Position = 0;
    TPlayState State = TPlayState::Stopped;
    int ElapsedMs = 0;
    std::map<std::string, int> TrackLengths;  // seconds by path; missing: unknown (-1)
    std::string SkinDirectory;                // empty: the base skin (no skin)
    int Version;
    bool DoubleSize;

    // Called after each file the plug-in adds (WM_COPYDATA), with the playlist's
    // new length: lets a test act in the middle of a push, as the player may.
    std::function<void(int)> OnFileAdded;
    // The player's main window alone destroyed (the player going away mid-command).
    void DestroyMainWindow();

    // Moves the current entry and notifies the playlist editor, as the player does.
    void SetPosition(int index);
    void Play();
    void Next();
    void Previous();
    // Advances the virtual clock; at the end of a track the next entry plays.
    void AdvanceClock(int ms);
    void SetDoubleSize(bool on);

    // --- recording ---
    std::vector<TRecordedMessage> Messages;
    void ClearMessages() { Messages.clear(); }
    std::vector<TRecordedMessage> MessagesTo(HWND window, UINT message) const;
    int CountOf(HWND window, UINT message) const;
    // Files the host's own drop handling received.
    std::vector<std::string> DroppedOnHost;

    // --- the plug-in ---
    // LoadLibrary, the export, the record's window and instance fields. False if any step fails.
    bool LoadPlugin(const std::wstring& dllPath);
    TGeneralPurposePlugin* Record() const { return record_; }
    HMODULE Module() const { return module_; }
    int Init();
    void Config();
    void Quit();
    // The player's shutdown: destroys its main window (then the other two).
    void DestroyWindows();
    // Frees the library; the windows must be gone first.
    void UnloadPlugin();

    // The host settings file: the running executable's path with ".ini".
    static std::string IniPath();

    static TTestHost* Current() { return current_; }

private:
    static LRESULT CALLBACK MainProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK EditorProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK EqualizerProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMain(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnUser(WPARAM wp, LPARAM lp);
    void OnCommand(WORD id);
    void Record(HWND, UINT, WPARAM, LPARAM, const std::string& path = {});
    void NotifyEditor();
    int TrackLengthOfCurrent() const;

    static TTestHost* current_;
    HWND main_ = nullptr;
    HWND pe_ = nullptr;
    HWND eq_ = nullptr;
    HMODULE module_ = nullptr;
    TGeneralPurposePlugin* record_ = nullptr;
    std::string fileBuffer_;
    std::wstring wideBuffer_;
};
