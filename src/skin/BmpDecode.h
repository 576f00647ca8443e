#pragma once
// Device-independent bitmap files (*.bmp) turned into 32-bit pixels.
//
// Accepted: the OS/2 core header (12 bytes) and the Windows headers of 40, 52, 56,
// 108 and 124 bytes; 1, 4 and 8 bits per pixel with a palette, uncompressed or
// run-length encoded (RLE4, RLE8); 16 and 32 bits per pixel uncompressed (5-5-5 and
// 8-8-8) or with bit-field masks; 24 bits per pixel. Rows bottom-up or top-down.
// Anything else, and every header or offset that does not fit the file, is refused
// with a reason; nothing is read outside the given bytes, and no picture larger than
// kMaxImagePixels is allocated.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Top-down rows of 0x00RRGGBB values: in memory B, G, R, 0, the layout of a 32-bit DIB.
struct TPixelImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;

    std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

// 16.7 million pixels (64 MB as 32-bit pixels): far beyond any playlist watermark,
// small enough that a hostile header cannot make us allocate without bound.
constexpr std::int64_t kMaxImagePixels = 4096LL * 4096LL;
constexpr int kMaxImageSide = 32768;

// Decodes a whole .bmp file. On failure returns false, leaves `out` empty and, when
// `reason` is given, says why in a short English text. Pictures of more than
// maxPixels pixels (never more than kMaxImagePixels) are refused.
bool DecodeBmp(const std::uint8_t* data, std::size_t size, TPixelImage& out, std::string* reason = nullptr,
               std::int64_t maxPixels = kMaxImagePixels);
inline bool DecodeBmp(const std::vector<std::uint8_t>& bytes, TPixelImage& out, std::string* reason = nullptr) {
    return DecodeBmp(bytes.data(), bytes.size(), out, reason);
}
