#pragma once
// File signature: CRC-32 of the bytes (low half) and the file size (high half).
// Negative values say why no signature could be made:
//   -1 attributes unreadable (no such file), -2 directory or volume label,
//   -3 cannot be opened for reading, -4 size unreadable.
#include <cstddef>
#include <cstdint>
#include <string>

// Standard CRC-32 (IEEE 802.3 / zlib): pass 0xFFFFFFFF first, invert at the end.
std::uint32_t Crc32Update(std::uint32_t crc, const std::uint8_t* data, std::size_t size);

// Implemented by the Win32 layer (sharing mode: others may read, not write).
std::int64_t FileCrc32(const std::string& fileName);

// The reading half of FileCrc32, shared by the Win32 layer and the native tests.
// Read fills at most `capacity` bytes and returns how many it delivered; 0 means
// the end or a read error, and either ends the loop (a failing read is not retried:
// the signature is then that of the bytes read so far).
class ICrcBlockReader {
public:
    virtual ~ICrcBlockReader() = default;
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t capacity) = 0;
};
inline constexpr std::size_t kCrcBlockSize = 4096;
std::int64_t Crc32Signature(std::uint32_t fileSize, ICrcBlockReader& reader);
