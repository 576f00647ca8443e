// CRC-32 (reflected polynomial 0xEDB88320), sixteen bytes per step ("slicing by
// 16"). Table 0 is the classic byte table; table k advances a byte that still has
// k zero bytes to pass, so sixteen independent lookups fold sixteen bytes at once
// with the same result as the byte-at-a-time loop.
#include "fileinfo/CRC.h"

#include <array>

namespace {

using TCrcTables = std::array<std::array<std::uint32_t, 256>, 16>;

constexpr TCrcTables MakeTables() {
    TCrcTables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : (c >> 1);
        t[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i)
        for (int k = 1; k < 16; ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    return t;
}

constexpr TCrcTables kTables = MakeTables();
static_assert(kTables[0][1] == 0x77073096u && kTables[0][128] == 0xEDB88320u);

}  // namespace

std::uint32_t Crc32Update(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
    const auto& t = kTables;
    while (size >= 16) {
        // Assemble little-endian words by hand: no alignment or byte-order assumptions.
        const std::uint32_t lo = crc ^ (std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 |
                                        std::uint32_t(data[2]) << 16 | std::uint32_t(data[3]) << 24);
        crc = t[15][lo & 0xFF] ^ t[14][(lo >> 8) & 0xFF] ^ t[13][(lo >> 16) & 0xFF] ^ t[12][lo >> 24] ^
              t[11][data[4]] ^ t[10][data[5]] ^ t[9][data[6]] ^ t[8][data[7]] ^ t[7][data[8]] ^
              t[6][data[9]] ^ t[5][data[10]] ^ t[4][data[11]] ^ t[3][data[12]] ^ t[2][data[13]] ^
              t[1][data[14]] ^ t[0][data[15]];
        data += 16;
        size -= 16;
    }
    while (size-- > 0) crc = (crc >> 8) ^ t[0][(crc ^ *data++) & 0xFF];
    return crc;
}

std::int64_t Crc32Signature(std::uint32_t fileSize, ICrcBlockReader& reader) {
    std::uint8_t block[kCrcBlockSize];
    std::uint32_t crc = 0xFFFFFFFFu;
    for (;;) {
        std::size_t got = reader.Read(block, sizeof block);
        if (got == 0) break;
        if (got > sizeof block) got = sizeof block;  // a reader never gets to over-report
        crc = Crc32Update(crc, block, got);
    }
    return std::int64_t((std::uint64_t(fileSize) << 32) | (crc ^ 0xFFFFFFFFu));
}
