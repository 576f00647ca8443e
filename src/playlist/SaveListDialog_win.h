#pragma once
// The save dialog of "Save list...": the system's file-save dialog with the three
// playlist types, an overwrite prompt, and the chosen type's extension added to a
// name typed without one.
#include <windows.h>
#include <string>
#include "fileinfo/PlaylistFile.h"

class TSaveListDialog {
public:
    // filterIndex: the filter to start on (from 1: ".m3u", ".m3u8", ".pls");
    // startFolder: where the dialog opens (empty: its own choice).
    TSaveListDialog(int filterIndex, std::wstring startFolder);
    // Runs modally; false when cancelled.
    bool Execute(HWND owner, const wchar_t* title, const wchar_t* filters);

    const std::wstring& FileName() const { return fileName_; }
    // The type the name's extension names (case ignored); else the chosen filter's.
    TPlaylistType FileType() const;
    int FilterIndex() const { return filterIndex_; }

private:
    int filterIndex_;
    std::wstring startFolder_;
    std::wstring fileName_;
};
