#pragma once
// Replacing a file's contents so that a reader (or a crash) sees either the old
// file or the new one whole: the bytes go to a new file in the target's folder,
// are flushed to the disk, and only then is that file moved over the target.
#include <windows.h>
#include <string>
#include <string_view>
#include "base/Handles_win.h"

class TFileReplacement {
public:
    explicit TFileReplacement(std::wstring target);
    // Without a successful Commit the new file is removed and the target stays as it was.
    ~TFileReplacement();
    TFileReplacement(const TFileReplacement&) = delete;
    TFileReplacement& operator=(const TFileReplacement&) = delete;

    // Each step false on failure (Error() says why); later steps then do nothing.
    bool Begin();
    bool Write(std::string_view bytes);
    bool Commit();
    DWORD Error() const { return error_; }

private:
    bool Fail();
    std::wstring target_;
    std::wstring temp_;
    TFile file_;
    DWORD error_ = ERROR_SUCCESS;
    bool committed_ = false;
};

// The whole replacement in one call.
bool ReplaceFileContents(const std::wstring& target, std::string_view bytes, DWORD& error);

// The system's text for an error code, without the trailing line break.
std::wstring SystemErrorText(DWORD error);
