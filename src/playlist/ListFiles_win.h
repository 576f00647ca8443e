#pragma once
// The playlist window's file commands: "Save list...", "Add file(s)...", the
// eject button's open-and-play, "Add folder..." and "Add URL...", with what
// their dialogs remember between uses.
#include <string>
#include "fileinfo/PlaylistFile.h"

class TFormPlayList;

class TListFiles {
public:
    explicit TListFiles(TFormPlayList& form) : form_(form) {}
    TListFiles(const TListFiles&) = delete;
    TListFiles& operator=(const TListFiles&) = delete;

    void PopupItemSaveListClick();
    void PopupItemAddFileClick();
    void PopupItemAddFolderClick();
    void PopupItemAddURLClick();
    void ToolButtonCtrlEjectClick();
    // Writes the list to path as type, replacing the file only once it is whole;
    // false after the user was told why not.
    bool SaveListTo(const std::wstring& path, TPlaylistType type);

private:
    // The open dialog's files: replacing the list and playing (Eject) or appended.
    void AddChosenFiles(const std::wstring& title, bool replace);

    TFormPlayList& form_;
    // The save dialog's last filter (from 1) and the folder of the last list saved.
    int saveDialogFilterIndex_ = 1;
    std::wstring lastSavedListFolder_;
    std::wstring openDialogInitialDir_;
};
