#include "fileinfo/CRC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

// The textbook bit-at-a-time CRC-32, to check the table method against.
std::uint32_t ReferenceCrc(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : (c >> 1);
    }
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t Crc(const std::string& s) {
    return Crc32Update(0xFFFFFFFFu, reinterpret_cast<const std::uint8_t*>(s.data()), s.size()) ^
           0xFFFFFFFFu;
}

// Hands out the bytes in chunks of a chosen size, optionally failing after some bytes.
class TChunkReader : public ICrcBlockReader {
public:
    TChunkReader(std::vector<std::uint8_t> data, std::size_t chunk, std::size_t failAfter = SIZE_MAX)
        : data_(std::move(data)), chunk_(chunk), failAfter_(failAfter) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override {
        ++calls;
        EXPECT_EQ(capacity, kCrcBlockSize);
        if (pos_ >= failAfter_) return 0;
        std::size_t n = std::min({capacity, chunk_, data_.size() - pos_, failAfter_ - pos_});
        if (n > 0) std::memcpy(buffer, data_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    int calls = 0;
private:
    std::vector<std::uint8_t> data_;
    std::size_t chunk_, pos_ = 0, failAfter_;
};

std::vector<std::uint8_t> RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = std::uint8_t(rng());
    return v;
}

}  // namespace

TEST(Crc32, KnownVectors) {
    EXPECT_EQ(Crc(""), 0u);
    EXPECT_EQ(Crc("abc"), 0x352441C2u);
    EXPECT_EQ(Crc("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
}

TEST(Crc32, MatchesBitwiseReferenceAtEveryLengthAndAlignment) {
    auto bytes = RandomBytes(300, 1);
    for (std::size_t start = 0; start < 9; ++start)
        for (std::size_t n = 0; start + n <= bytes.size(); n += (n < 40 ? 1 : 37)) {
            std::uint32_t got = Crc32Update(0xFFFFFFFFu, bytes.data() + start, n) ^ 0xFFFFFFFFu;
            ASSERT_EQ(got, ReferenceCrc(bytes.data() + start, n)) << start << "+" << n;
        }
}

TEST(Crc32, FoldsIncrementally) {
    auto bytes = RandomBytes(10000, 2);
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < bytes.size(); i += 333)
        c = Crc32Update(c, bytes.data() + i, std::min<std::size_t>(333, bytes.size() - i));
    EXPECT_EQ(c ^ 0xFFFFFFFFu, ReferenceCrc(bytes.data(), bytes.size()));
}

TEST(Crc32Signature, SizeHighCrcLow) {
    TChunkReader empty({}, kCrcBlockSize);
    EXPECT_EQ(Crc32Signature(0, empty), 0);

    TChunkReader abc({'a', 'b', 'c'}, kCrcBlockSize);
    EXPECT_EQ(Crc32Signature(3, abc), std::int64_t(0x00000003352441C2LL));

    // Sizes from 2 GiB on give a negative value; the caller only tests equality.
    TChunkReader big({'a', 'b', 'c'}, kCrcBlockSize);
    EXPECT_EQ(std::uint64_t(Crc32Signature(0x80000001u, big)), 0x80000001352441C2ULL);
}

TEST(Crc32Signature, ShortReadsAndMultipleBlocksGiveTheWholeFileCrc) {
    auto bytes = RandomBytes(3 * kCrcBlockSize + 17, 3);
    const std::uint32_t want = ReferenceCrc(bytes.data(), bytes.size());
    for (std::size_t chunk : {std::size_t(1), std::size_t(7), std::size_t(4095), kCrcBlockSize}) {
        TChunkReader r(bytes, chunk);
        EXPECT_EQ(std::uint32_t(Crc32Signature(std::uint32_t(bytes.size()), r)), want) << chunk;
    }
}

TEST(Crc32Signature, FailingReadEndsTheLoopWithTheBytesSoFar) {
    auto bytes = RandomBytes(10000, 4);
    TChunkReader r(bytes, kCrcBlockSize, 5000);
    const auto sig = Crc32Signature(10000, r);
    EXPECT_EQ(std::uint32_t(sig), ReferenceCrc(bytes.data(), 5000));
    EXPECT_EQ(sig >> 32, 10000);
    EXPECT_EQ(r.calls, 3);  // 4096, 904, then the failure; never retried
}
