#include "fileinfo/ByteSource.h"

#include <algorithm>
#include <cstring>
#include <limits>

std::size_t ReadFully(IByteSource& source, std::uint64_t position, std::uint8_t* buffer,
                      std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const std::size_t got = source.ReadAt(position + done, buffer + done, count - done);
        if (got == 0) break;
        done += std::min(got, count - done);
    }
    return done;
}

bool TMemorySource::Size(std::uint64_t& size) {
    size = size_;
    return true;
}

std::size_t TMemorySource::ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count) {
    if (position >= size_) return 0;
    const std::size_t n = std::min<std::uint64_t>(count, size_ - position);
    std::memcpy(buffer, data_ + position, n);
    return n;
}

bool TStdFileSource::Size(std::uint64_t& size) {
    if (std::fseek(file_, 0, SEEK_END) != 0) return false;
    const long end = std::ftell(file_);
    if (end < 0) return false;
    size = std::uint64_t(end);
    return true;
}

std::size_t TStdFileSource::ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count) {
    if (position > std::uint64_t(std::numeric_limits<long>::max())) return 0;
    if (std::fseek(file_, long(position), SEEK_SET) != 0) return 0;
    return std::fread(buffer, 1, count, file_);
}

std::size_t TBufferedSource::ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count) {
    // Large reads bypass the block; they gain nothing from it.
    if (count >= kBlock) return inner_.ReadAt(position, buffer, count);
    const bool hit = position >= blockStart_ && position - blockStart_ < blockLength_;
    if (!hit) {
        blockStart_ = position - position % kBlock;
        blockLength_ = ReadFully(inner_, blockStart_, block_, kBlock);
        if (position - blockStart_ >= blockLength_) return 0;
    }
    const std::size_t offset = std::size_t(position - blockStart_);
    const std::size_t n = std::min(count, blockLength_ - offset);
    std::memcpy(buffer, block_ + offset, n);
    return n;
}
