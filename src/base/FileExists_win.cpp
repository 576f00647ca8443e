#include "base/FileExists_win.h"

#include <windows.h>

namespace {
constexpr DWORD kAttributeVolumeLabel = 0x8;

bool IsPlainFile(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | kAttributeVolumeLabel));
}
}  // namespace

bool FileExists(const std::string& path) { return !path.empty() && IsPlainFile(GetFileAttributesA(path.c_str())); }

bool FileExists(const std::wstring& path) { return !path.empty() && IsPlainFile(GetFileAttributesW(path.c_str())); }
