#pragma once
// TFormPlayList: the plug-in's playlist window, standing in for the host's
// playlist editor. One instance, created by InitPlugin, released at teardown.
#include <windows.h>
#include <shellapi.h>
#include <string>
#include "base/Handles_win.h"
#include "base/Window_win.h"
#include "playlist/Options.h"

extern TOptions Option;

class TFormPlayList : public TWindow {
public:
    TFormPlayList();
    ~TFormPlayList() override;

    bool Create();
    void Release() { TWindow::Release(); }

    // Called by the host's playlist-editor hook.
    void ShowFromHost();
    void HideFromHost();
    void SetPlayingEntry(int index);
    // Files dropped on the host's main window (and Ctrl drops on ours).
    LRESULT ReplaceByDroppedFiles(HDROP drop);

    int PlayingIndex = -1;
    int SnapDistance = 10;
    bool AlwaysOnTop() const { return alwaysOnTop_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void FormCreate();
    void FormDestroy();
    void FormClose();
    void FormResize();
    void AddTrayIcon();
    void RemoveTrayIcon();
    LRESULT OnTrayIcon(LPARAM lp);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnWindowPosChanging(WINDOWPOS* pos);

    bool alwaysOnTop_ = false;
    bool trayIconAdded_ = false;
    TIcon icon_;
};
