#include "fileinfo/FileSource_win.h"

#include <algorithm>

TFile OpenForSharedRead(const std::string& fileName) {
    return TFile(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
}

TFile OpenForSharedRead(const std::wstring& fileName) {
    return TFile(CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool TWinFileSource::Size(std::uint64_t& size) {
    LARGE_INTEGER li;
    if (!GetFileSizeEx(file_, &li) || li.QuadPart < 0) return false;
    size = std::uint64_t(li.QuadPart);
    return true;
}

std::size_t TWinFileSource::ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count) {
    LARGE_INTEGER to;
    to.QuadPart = LONGLONG(position);
    if (position > std::uint64_t(INT64_MAX) || !SetFilePointerEx(file_, to, nullptr, FILE_BEGIN)) return 0;
    DWORD got = 0;
    const DWORD want = DWORD(std::min<std::size_t>(count, 1u << 30));
    if (!ReadFile(file_, buffer, want, &got, nullptr)) return 0;
    return got;
}
