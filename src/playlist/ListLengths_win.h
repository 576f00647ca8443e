#pragma once
// The entries' lengths and the control panel's total time: the selected
// entries' and all entries' known lengths, or the share read while titles and
// lengths are still coming in.
#include <windows.h>
#include <cstdint>
#include <string>

class TFormPlayList;
class TMP3FileInfo;

class TListLengths {
public:
    explicit TListLengths(TFormPlayList& form) : form_(form) {}
    TListLengths(const TListLengths&) = delete;
    TListLengths& operator=(const TListLengths&) = delete;

    // A row's weight in the list control: its record's length.
    static int WeighRecord(std::uintptr_t data);
    // The record's length (and its text, its row's weight); fromFile: read from the file, not told by the host.
    void SetEntryLength(int row, TMP3FileInfo& rec, int length, bool fromFile);
    // "Read song lengths from files" was switched.
    void ReadSongLengthChanged();

    void NoteTotalChanged();
    void ShowTotal();
    std::wstring TotalText() const;
    // The total's label, inside the elapsed time's (timeLabel).
    void CreateLabel(HWND timeLabel);
    // Puts the elapsed time in [left, left + width) and the total inside it, left
    // of the digits; returns the digits' width.
    int PlaceLabels(HWND timeLabel, HFONT timeFont, int left, int width);
    HWND Label() const { return label_; }
    void Forget() { label_ = nullptr; }

private:
    TFormPlayList& form_;
    HWND label_ = nullptr;
    bool posted_ = false;
    std::wstring shown_;
};
