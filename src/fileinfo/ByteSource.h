#pragma once
// Random-access byte sources for the tag readers. The readers only ever ask for
// bytes at absolute positions, so a file, a byte array and a buffered wrapper all
// look the same to them, and the native tests and fuzzers run the very same code
// as the plug-in.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

class IByteSource {
public:
    virtual ~IByteSource() = default;
    // Total size in bytes; false when it cannot be told.
    virtual bool Size(std::uint64_t& size) = 0;
    // Up to `count` bytes from `position`; returns how many arrived (0 at the end or
    // on an error). May deliver fewer than asked before the end.
    virtual std::size_t ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count) = 0;
};

// Repeats ReadAt until `count` bytes arrived or a read delivered nothing.
std::size_t ReadFully(IByteSource& source, std::uint64_t position, std::uint8_t* buffer,
                      std::size_t count);

// Bytes held by the caller (not copied; they must outlive the source).
class TMemorySource : public IByteSource {
public:
    TMemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    explicit TMemorySource(const std::vector<std::uint8_t>& bytes)
        : data_(bytes.data()), size_(bytes.size()) {}
    bool Size(std::uint64_t& size) override;
    std::size_t ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count) override;
private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// A std::FILE opened elsewhere (the native tests and tools); not owned.
class TStdFileSource : public IByteSource {
public:
    explicit TStdFileSource(std::FILE* file) : file_(file) {}
    bool Size(std::uint64_t& size) override;
    std::size_t ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count) override;
private:
    std::FILE* file_;
};

// Keeps one aligned block of another source, so that walking many small chunk
// headers costs one underlying read per block instead of one per header.
class TBufferedSource : public IByteSource {
public:
    static constexpr std::size_t kBlock = 4096;
    explicit TBufferedSource(IByteSource& inner) : inner_(inner) {}
    bool Size(std::uint64_t& size) override { return inner_.Size(size); }
    std::size_t ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count) override;
private:
    IByteSource& inner_;
    std::uint8_t block_[kBlock];
    std::uint64_t blockStart_ = 0;
    std::size_t blockLength_ = 0;  // bytes of block_ that hold file data
};
