#pragma once
// A file the native benchmarks read through an open descriptor, as the
// readers read one through the player's file handle.
#include <cstddef>
#include <cstdint>
#include <sys/stat.h>
#include <unistd.h>
#include "fileinfo/ByteSource.h"

class TDescriptorSource : public IByteSource {
public:
    explicit TDescriptorSource(int fd) : fd_(fd) {}
    bool Size(std::uint64_t& size) override {
        struct stat st;
        if (fstat(fd_, &st) != 0) return false;
        size = std::uint64_t(st.st_size);
        return true;
    }
    std::size_t ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count) override {
        const ssize_t got = pread(fd_, buffer, count, off_t(position));
        return got > 0 ? std::size_t(got) : 0;
    }
private:
    int fd_;
};
