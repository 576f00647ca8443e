#include "skin/BmpDecode.h"

#include <algorithm>
#include <array>
#include <utility>

// The file layout, all values little-endian:
//   0  "BM", file size (4), reserved (4), offset of the pixel data (4)
//   14 info header: its size (4) first. The 12-byte OS/2 core header holds 16-bit
//      width, height, planes and bit count; the Windows headers hold 32-bit signed
//      width and height (negative height = top-down rows), planes, bit count,
//      compression, image size, resolution, colours used, colours important, and
//      from 52 bytes on the red, green, blue masks at header offset 40.
//   palette (bit counts up to 8): entries B, G, R (+ reserved in Windows headers);
//      with a 40-byte header and bit-field compression the three masks come first.
//   pixel rows, each padded to a multiple of 4 bytes, bottom-up unless the height
//      is negative.
namespace {

enum : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

// Random-access little-endian reads; the first read outside the data clears ok and
// every read returns 0 from then on, so callers check once.
class TByteReader {
public:
    TByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }
    bool Has(std::uint64_t offset, std::uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
    std::uint8_t U8(std::uint64_t at) {
        if (!ok_ || !Has(at, 1)) return Fail();
        return data_[at];
    }
    std::uint16_t U16(std::uint64_t at) {
        if (!ok_ || !Has(at, 2)) return Fail();
        return static_cast<std::uint16_t>(data_[at] | data_[at + 1] << 8);
    }
    std::uint32_t U32(std::uint64_t at) {
        if (!ok_ || !Has(at, 4)) return Fail();
        return static_cast<std::uint32_t>(data_[at]) | static_cast<std::uint32_t>(data_[at + 1]) << 8 |
               static_cast<std::uint32_t>(data_[at + 2]) << 16 | static_cast<std::uint32_t>(data_[at + 3]) << 24;
    }
    const std::uint8_t* Ptr(std::uint64_t at) const { return data_ + at; }

private:
    std::uint8_t Fail() {
        ok_ = false;
        return 0;
    }
    const std::uint8_t* data_;
    std::size_t size_;
    bool ok_ = true;
};

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits whatever its width.
class TChannel {
public:
    explicit TChannel(std::uint32_t mask) : mask_(mask) {
        if (mask_ == 0) return;
        while (((mask_ >> shift_) & 1u) == 0) ++shift_;
        max_ = mask_ >> shift_;
    }
    std::uint32_t Extract(std::uint32_t v) const {
        if (max_ == 0) return 0;
        std::uint64_t c = (v & mask_) >> shift_;
        return static_cast<std::uint32_t>((c * 255 + max_ / 2) / max_);
    }

private:
    std::uint32_t mask_;
    int shift_ = 0;
    std::uint32_t max_ = 0;
};

bool Refuse(std::string* reason, const char* why) {
    if (reason) *reason = why;
    return false;
}

std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r << 16 | g << 8 | b; }

struct THeader {
    std::int64_t Width = 0;
    std::int64_t Height = 0;  // absolute value
    bool TopDown = false;
    unsigned BitCount = 0;
    std::uint32_t Compression = kRgb;
    std::uint32_t ColorsUsed = 0;
    std::uint64_t PaletteOffset = 0;
    unsigned PaletteEntrySize = 4;
    std::uint32_t Masks[3] = {0, 0, 0};
};

// Run-length encoded rows (bottom-up only). Pixels the stream skips keep palette
// entry 0. A stream that ends before its end-of-bitmap mark is truncated.
bool DecodeRle(TByteReader& rd, std::uint64_t pos, const THeader& h, const std::array<std::uint32_t, 256>& palette,
               TPixelImage& img, std::string* reason) {
    const bool four = h.Compression == kRle4;
    std::fill(img.Pixels.begin(), img.Pixels.end(), palette[0]);
    std::int64_t x = 0, y = 0;  // y counts from the bottom row
    auto put = [&](std::uint8_t index) {
        if (x < h.Width && y < h.Height)
            img.Pixels[static_cast<std::size_t>(h.Height - 1 - y) * h.Width + x] = palette[index];
        ++x;
    };
    for (;;) {
        if (y >= h.Height) return true;  // everything below the picture's top is drawn
        if (!rd.Has(pos, 2)) return Refuse(reason, "run-length data truncated");
        std::uint8_t count = rd.U8(pos), value = rd.U8(pos + 1);
        pos += 2;
        if (count > 0) {
            // Encoded run: pixels beyond the row's end are dropped without a loop.
            int n = count;
            if (x >= h.Width) {
                x += n;
                continue;
            }
            for (int i = 0; i < n; ++i) {
                if (x >= h.Width) {
                    x += n - i;
                    break;
                }
                put(four ? static_cast<std::uint8_t>(i % 2 == 0 ? value >> 4 : value & 15) : value);
            }
            continue;
        }
        switch (value) {
        case 0:  // end of line
            x = 0;
            ++y;
            break;
        case 1:  // end of bitmap
            return true;
        case 2:  // delta
            if (!rd.Has(pos, 2)) return Refuse(reason, "run-length data truncated");
            x += rd.U8(pos);
            y += rd.U8(pos + 1);
            pos += 2;
            break;
        default: {  // absolute run of `value` pixels, padded to an even byte count
            std::uint64_t bytes = four ? (value + 1u) / 2 : value;
            if (!rd.Has(pos, bytes)) return Refuse(reason, "run-length data truncated");
            for (unsigned i = 0; i < value; ++i) {
                std::uint8_t b = rd.U8(pos + (four ? i / 2 : i));
                put(four ? static_cast<std::uint8_t>(i % 2 == 0 ? b >> 4 : b & 15) : b);
            }
            pos += bytes + (bytes & 1);
            break;
        }
        }
    }
}

void DecodeRow(const std::uint8_t* row, const THeader& h, const std::array<std::uint32_t, 256>& palette,
               const TChannel* channels, std::uint32_t* out) {
    const std::int64_t w = h.Width;
    switch (h.BitCount) {
    case 1:
        for (std::int64_t x = 0; x < w; ++x) out[x] = palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
        break;
    case 4:
        for (std::int64_t x = 0; x < w; ++x) out[x] = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
        break;
    case 8:
        for (std::int64_t x = 0; x < w; ++x) out[x] = palette[row[x]];
        break;
    case 16:
        for (std::int64_t x = 0; x < w; ++x) {
            std::uint32_t v = row[2 * x] | row[2 * x + 1] << 8;
            out[x] = Rgb(channels[0].Extract(v), channels[1].Extract(v), channels[2].Extract(v));
        }
        break;
    case 24:
        for (std::int64_t x = 0; x < w; ++x) out[x] = Rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        break;
    case 32:
        for (std::int64_t x = 0; x < w; ++x) {
            const std::uint8_t* p = row + 4 * x;
            std::uint32_t v = p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
            out[x] = Rgb(channels[0].Extract(v), channels[1].Extract(v), channels[2].Extract(v));
        }
        break;
    }
}

bool ReadHeader(TByteReader& rd, THeader& h, std::int64_t maxPixels, std::string* reason) {
    std::uint32_t headerSize = rd.U32(14);
    if (!rd.ok()) return Refuse(reason, "file too short");
    if (!rd.Has(14, headerSize)) return Refuse(reason, "info header truncated");
    std::int64_t width = 0, height = 0;
    if (headerSize == 12) {
        width = rd.U16(18);
        height = rd.U16(20);
        h.BitCount = rd.U16(24);
        h.PaletteEntrySize = 3;
        if (h.BitCount != 1 && h.BitCount != 4 && h.BitCount != 8 && h.BitCount != 24)
            return Refuse(reason, "unsupported bit count");
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        width = static_cast<std::int32_t>(rd.U32(18));
        height = static_cast<std::int32_t>(rd.U32(22));
        h.BitCount = rd.U16(28);
        h.Compression = rd.U32(30);
        h.ColorsUsed = rd.U32(46);
    } else {
        return Refuse(reason, "unsupported info header");
    }
    h.TopDown = height < 0;
    h.Width = width;
    h.Height = height < 0 ? -height : height;  // 64-bit: the most negative 32-bit height is safe
    if (h.Width <= 0 || h.Height <= 0) return Refuse(reason, "zero or negative size");
    if (h.Width > kMaxImageSide || h.Height > kMaxImageSide || h.Width * h.Height > maxPixels)
        return Refuse(reason, "picture too large");

    switch (h.Compression) {
    case kRgb:
        if (h.BitCount != 1 && h.BitCount != 4 && h.BitCount != 8 && h.BitCount != 16 && h.BitCount != 24 &&
            h.BitCount != 32)
            return Refuse(reason, "unsupported bit count");
        break;
    case kRle8:
    case kRle4:
        if (h.BitCount != (h.Compression == kRle8 ? 8u : 4u)) return Refuse(reason, "bad run-length bit count");
        if (h.TopDown) return Refuse(reason, "top-down run-length picture");
        break;
    case kBitFields:
        if (h.BitCount != 16 && h.BitCount != 32) return Refuse(reason, "bad bit-field bit count");
        break;
    default:
        return Refuse(reason, "unsupported compression");
    }

    h.PaletteOffset = 14 + static_cast<std::uint64_t>(headerSize);
    if (h.Compression == kBitFields) {
        // Inside the larger headers or, after a 40-byte one, right behind it: offset 54 either way.
        for (int i = 0; i < 3; ++i) h.Masks[i] = rd.U32(54 + 4 * i);
        if (!rd.ok()) return Refuse(reason, "bit-field masks truncated");
        if (headerSize == 40) h.PaletteOffset += 12;
    } else if (h.BitCount == 16) {
        h.Masks[0] = 0x7C00, h.Masks[1] = 0x03E0, h.Masks[2] = 0x001F;
    } else if (h.BitCount == 32) {
        h.Masks[0] = 0xFF0000, h.Masks[1] = 0x00FF00, h.Masks[2] = 0x0000FF;
    }
    return true;
}

}  // namespace

bool DecodeBmp(const std::uint8_t* data, std::size_t size, TPixelImage& out, std::string* reason,
               std::int64_t maxPixels) {
    out = TPixelImage{};
    TByteReader rd(data, size);
    if (size < 18 || data[0] != 'B' || data[1] != 'M') return Refuse(reason, "not a BMP file");
    std::uint64_t pixelOffset = rd.U32(10);
    THeader h;
    if (!ReadHeader(rd, h, std::min(maxPixels, kMaxImagePixels), reason)) return false;

    std::array<std::uint32_t, 256> palette{};  // indices the palette lacks show black
    if (h.BitCount <= 8) {
        std::uint64_t full = 1u << h.BitCount;
        std::uint64_t count = h.ColorsUsed == 0 || h.ColorsUsed > full ? full : h.ColorsUsed;
        if (!rd.Has(h.PaletteOffset, count * h.PaletteEntrySize)) return Refuse(reason, "palette truncated");
        for (std::uint64_t i = 0; i < count; ++i) {
            std::uint64_t at = h.PaletteOffset + i * h.PaletteEntrySize;
            palette[i] = Rgb(rd.U8(at + 2), rd.U8(at + 1), rd.U8(at));
        }
    }
    if (pixelOffset >= size) return Refuse(reason, "pixel data offset outside the file");

    TPixelImage img;
    img.Width = static_cast<int>(h.Width);
    img.Height = static_cast<int>(h.Height);
    const std::size_t pixelCount = static_cast<std::size_t>(h.Width * h.Height);

    if (h.Compression == kRle8 || h.Compression == kRle4) {
        img.Pixels.resize(pixelCount);
        if (!DecodeRle(rd, pixelOffset, h, palette, img, reason)) return false;
    } else {
        const std::uint64_t rowBits = static_cast<std::uint64_t>(h.Width) * h.BitCount;
        const std::uint64_t stride = (rowBits + 31) / 32 * 4;
        // The last row's padding may be missing; its pixels may not.
        const std::uint64_t needed = stride * static_cast<std::uint64_t>(h.Height - 1) + (rowBits + 7) / 8;
        if (!rd.Has(pixelOffset, needed)) return Refuse(reason, "pixel data truncated");
        img.Pixels.resize(pixelCount);
        const TChannel channels[3] = {TChannel(h.Masks[0]), TChannel(h.Masks[1]), TChannel(h.Masks[2])};
        for (std::int64_t r = 0; r < h.Height; ++r) {
            std::int64_t y = h.TopDown ? r : h.Height - 1 - r;
            DecodeRow(rd.Ptr(pixelOffset + static_cast<std::uint64_t>(r) * stride), h, palette, channels,
                      img.Pixels.data() + static_cast<std::size_t>(y * h.Width));
        }
    }
    out = std::move(img);
    return true;
}
