// FileCrc32 on the Win32 file API: attributes, a deny-write open, the 32-bit size
// query, then the shared block loop.
#include "fileinfo/CRC.h"

#include <windows.h>

#include "base/Handles_win.h"

namespace {

// FAT volume labels carry this attribute; newer headers no longer name it.
constexpr DWORD kAttributeVolumeLabel = 0x00000008;

class TWinCrcReader : public ICrcBlockReader {
public:
    explicit TWinCrcReader(HANDLE file) : file_(file) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override {
        DWORD got = 0;
        if (!ReadFile(file_, buffer, DWORD(capacity), &got, nullptr)) return 0;
        return got;
    }
private:
    HANDLE file_;
};

}  // namespace

std::int64_t FileCrc32(const std::string& fileName) {
    const DWORD attributes = GetFileAttributesA(fileName.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return -1;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | kAttributeVolumeLabel)) return -2;
    TFile file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return -3;
    SetLastError(NO_ERROR);
    const DWORD size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return -4;
    TWinCrcReader reader(file.get());
    return Crc32Signature(size, reader);
}
