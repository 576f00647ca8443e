#pragma once
// Replacing a file's contents so that a reader (or a crash) sees either the old
// file or the new one whole: the bytes go to a new file in the target's folder,
// are flushed to the disk, and only then is that file moved over the target.
#include <windows.h>
#include <string>
#include <string_view>

// True when the target holds exactly `bytes`. On failure the target is as it
// was, no file of ours is left behind, and `error` holds the system's error code.
bool ReplaceFileContents(const std::wstring& target, std::string_view bytes, DWORD& error);

// The system's text for an error code, without the trailing line break.
std::wstring SystemErrorText(DWORD error);
