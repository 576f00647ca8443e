#include "skin/BmpDecode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// A .bmp file written field by field, independently of the decoder.
struct TBmpFile {
    int HeaderSize = 40;
    std::int32_t Width = 0, Height = 0;
    std::uint16_t BitCount = 24;
    std::uint32_t Compression = 0;
    std::uint32_t ColorsUsed = 0;
    std::vector<std::uint32_t> Palette;  // 0x00RRGGBB
    std::vector<std::uint32_t> Masks;    // written at offset 54
    Bytes PixelData;                     // rows in file order, already padded
    std::int64_t PixelOffset = -1;       // -1: right behind the palette

    Bytes Build() const {
        std::size_t paletteAt = 14 + HeaderSize + (HeaderSize == 40 && !Masks.empty() ? 12 : 0);
        std::size_t entry = HeaderSize == 12 ? 3 : 4;
        std::size_t dataAt = paletteAt + Palette.size() * entry;
        Bytes b(dataAt, 0);
        b[0] = 'B', b[1] = 'M';
        Put32(b, 10, PixelOffset >= 0 ? static_cast<std::uint32_t>(PixelOffset) : static_cast<std::uint32_t>(dataAt));
        Put32(b, 14, HeaderSize);
        if (HeaderSize == 12) {
            Put16(b, 18, Width), Put16(b, 20, Height), Put16(b, 22, 1), Put16(b, 24, BitCount);
        } else {
            Put32(b, 18, static_cast<std::uint32_t>(Width)), Put32(b, 22, static_cast<std::uint32_t>(Height));
            Put16(b, 26, 1), Put16(b, 28, BitCount), Put32(b, 30, Compression), Put32(b, 46, ColorsUsed);
        }
        for (std::size_t i = 0; i < Masks.size(); ++i) Put32(b, 54 + 4 * i, Masks[i]);
        for (std::size_t i = 0; i < Palette.size(); ++i) {
            std::size_t at = paletteAt + i * entry;
            b[at] = Palette[i] & 0xFF, b[at + 1] = (Palette[i] >> 8) & 0xFF, b[at + 2] = (Palette[i] >> 16) & 0xFF;
        }
        Put32(b, 2, static_cast<std::uint32_t>(b.size() + PixelData.size()));
        b.insert(b.end(), PixelData.begin(), PixelData.end());
        return b;
    }
};

// Packs rows of values (palette indices or colours) at a bit count, padding each row.
Bytes PackRows(const std::vector<std::vector<std::uint32_t>>& rows, int bitCount) {
    Bytes out;
    for (const auto& row : rows) {
        Bytes r;
        if (bitCount < 8) {
            r.assign((row.size() * bitCount + 7) / 8, 0);
            for (std::size_t x = 0; x < row.size(); ++x) {
                std::size_t bit = x * bitCount;
                r[bit / 8] |= static_cast<std::uint8_t>(row[x] << (8 - bitCount - bit % 8));
            }
        } else {
            for (std::uint32_t v : row)
                for (int i = 0; i < bitCount / 8; ++i) r.push_back((v >> (8 * i)) & 0xFF);
        }
        while (r.size() % 4) r.push_back(0);
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

std::vector<std::uint32_t> Row(const TPixelImage& img, int y) {
    return {img.Pixels.begin() + y * img.Width, img.Pixels.begin() + (y + 1) * img.Width};
}

TPixelImage MustDecode(const Bytes& b) {
    TPixelImage img;
    std::string why;
    EXPECT_TRUE(DecodeBmp(b, img, &why)) << why;
    return img;
}

std::string Refusal(const Bytes& b) {
    TPixelImage img;
    std::string why;
    EXPECT_FALSE(DecodeBmp(b, img, &why));
    EXPECT_TRUE(img.Pixels.empty());
    EXPECT_EQ(img.Width, 0);
    return why;
}

const std::vector<std::uint32_t> kPalette16 = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x123456,
                                               0x808080, 0xFEFBF0, 0x010203, 0x111111, 0x222222, 0x333333,
                                               0x444444, 0x555555, 0x666666, 0xABCDEF};

}  // namespace

// Every palette depth, both row orders: widths chosen so rows end inside a byte
// and need padding.
TEST(BmpDecode, PaletteDepthsBothOrders) {
    for (int bits : {1, 4, 8}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bpp, top-down " << topDown);
            const int width = 11, height = 3, colours = 1 << (bits == 8 ? 4 : bits);
            std::vector<std::vector<std::uint32_t>> picture(height);  // top row first
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) picture[y].push_back((x * 3 + y * 5) % colours);
            std::vector<std::vector<std::uint32_t>> fileRows = picture;
            if (!topDown) std::reverse(fileRows.begin(), fileRows.end());
            TBmpFile f;
            f.Width = width, f.Height = topDown ? -height : height, f.BitCount = static_cast<std::uint16_t>(bits);
            f.Palette.assign(kPalette16.begin(), kPalette16.begin() + colours);
            f.ColorsUsed = colours;
            f.PixelData = PackRows(fileRows, bits);
            TPixelImage img = MustDecode(f.Build());
            ASSERT_EQ(img.Width, width);
            ASSERT_EQ(img.Height, height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) EXPECT_EQ(img.At(x, y), kPalette16[picture[y][x]]) << x << "," << y;
        }
    }
}

TEST(BmpDecode, HandWrittenBytes) {
    // 2 x 2, 24 bits, bottom-up: bottom row blue, red; top row green, white.
    Bytes pixels = {0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0, 0, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0, 0};
    TBmpFile f;
    f.Width = 2, f.Height = 2, f.PixelData = pixels;
    TPixelImage img = MustDecode(f.Build());
    EXPECT_EQ(Row(img, 0), (std::vector<std::uint32_t>{0x00FF00, 0xFFFFFF}));
    EXPECT_EQ(Row(img, 1), (std::vector<std::uint32_t>{0x0000FF, 0xFF0000}));

    // 1 bit, 10 wide: 0b10110000 0b01000000 + padding.
    TBmpFile m;
    m.Width = 10, m.Height = 1, m.BitCount = 1, m.Palette = {0x000000, 0xFFFFFF};
    m.PixelData = {0xB0, 0x40, 0, 0};
    img = MustDecode(m.Build());
    std::vector<std::uint32_t> expect = {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0, 0, 0, 0, 0, 0xFFFFFF};
    EXPECT_EQ(Row(img, 0), expect);
}

TEST(BmpDecode, DirectColourDepths) {
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        // 24 bits, 3 wide: each row needs 3 padding bytes.
        std::vector<std::vector<std::uint32_t>> rows = {{0x102030, 0x405060, 0x708090}, {0xA0B0C0, 0xD0E0F0, 0x010203}};
        TBmpFile f;
        f.Width = 3, f.Height = topDown ? -2 : 2, f.BitCount = 24;
        auto fileRows = rows;
        if (!topDown) std::swap(fileRows[0], fileRows[1]);
        f.PixelData = PackRows(fileRows, 24);
        EXPECT_EQ(f.PixelData.size(), 24u);
        TPixelImage img = MustDecode(f.Build());
        EXPECT_EQ(Row(img, 0), rows[0]);
        EXPECT_EQ(Row(img, 1), rows[1]);

        // 32 bits: the fourth byte is not colour.
        f.BitCount = 32;
        std::vector<std::vector<std::uint32_t>> rows32 = {{0xFF102030, 0x00405060, 0x7F708090},
                                                          {0x12A0B0C0, 0xD0E0F0, 0x010203}};
        fileRows = rows32;
        if (!topDown) std::swap(fileRows[0], fileRows[1]);
        f.PixelData = PackRows(fileRows, 32);
        img = MustDecode(f.Build());
        EXPECT_EQ(Row(img, 0), (std::vector<std::uint32_t>{0x102030, 0x405060, 0x708090}));
        EXPECT_EQ(Row(img, 1), rows[1]);

        // 16 bits, 5-5-5: full channels become 255, half 0x10 of 0x1F rounds to 132.
        f.BitCount = 16;
        fileRows = {{0x7C00, 0x03E0, 0x001F}, {0x7FFF, 0x4210, 0x0000}};
        if (!topDown) std::swap(fileRows[0], fileRows[1]);
        f.PixelData = PackRows(fileRows, 16);
        img = MustDecode(f.Build());
        EXPECT_EQ(Row(img, 0), (std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0x0000FF}));
        EXPECT_EQ(Row(img, 1), (std::vector<std::uint32_t>{0xFFFFFF, 0x848484, 0x000000}));
    }
}

TEST(BmpDecode, BitFieldMasks) {
    // 5-6-5 after a 40-byte header: the masks sit between header and pixels.
    TBmpFile f;
    f.Width = 3, f.Height = 1, f.BitCount = 16, f.Compression = 3;
    f.Masks = {0xF800, 0x07E0, 0x001F};
    f.PixelData = PackRows({{0xF800, 0x07E0, 0x0020}}, 16);
    TPixelImage img = MustDecode(f.Build());
    EXPECT_EQ(Row(img, 0), (std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0x000400}));

    // 32 bits in a 124-byte header with the channels in unusual places.
    TBmpFile v5;
    v5.HeaderSize = 124, v5.Width = 2, v5.Height = -1, v5.BitCount = 32, v5.Compression = 3;
    v5.Masks = {0x000000FF, 0xFF000000, 0x0000FF00};
    v5.PixelData = PackRows({{0x11223344, 0xAABBCCDD}}, 32);
    img = MustDecode(v5.Build());
    EXPECT_EQ(Row(img, 0), (std::vector<std::uint32_t>{0x441133, 0xDDAACC}));

    // A zero mask gives a channel of 0 rather than a division by zero.
    f.Masks = {0, 0x07E0, 0x001F};
    f.PixelData = PackRows({{0xFFFF, 0, 0}}, 16);
    img = MustDecode(f.Build());
    EXPECT_EQ(img.At(0, 0), 0x00FFFFu);
}

TEST(BmpDecode, CoreHeaderWithThreeBytePalette) {
    TBmpFile f;
    f.HeaderSize = 12, f.Width = 3, f.Height = 2, f.BitCount = 4;
    f.Palette.assign(kPalette16.begin(), kPalette16.end());
    f.PixelData = PackRows({{1, 2, 3}, {15, 7, 0}}, 4);
    TPixelImage img = MustDecode(f.Build());
    EXPECT_EQ(Row(img, 0), (std::vector<std::uint32_t>{0xABCDEF, 0xFEFBF0, 0x000000}));
    EXPECT_EQ(Row(img, 1), (std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0x0000FF}));
}

TEST(BmpDecode, ShortPaletteAndOutOfRangeIndices) {
    // Two colours declared, index 9 used: it shows black; a huge colour count is
    // clamped to what the bit count allows.
    TBmpFile f;
    f.Width = 2, f.Height = 1, f.BitCount = 8, f.ColorsUsed = 2, f.Palette = {0x112233, 0x445566};
    f.PixelData = {1, 9, 0, 0};
    TPixelImage img = MustDecode(f.Build());
    EXPECT_EQ(Row(img, 0), (std::vector<std::uint32_t>{0x445566, 0x000000}));

    TBmpFile g;
    g.Width = 1, g.Height = 1, g.BitCount = 1, g.ColorsUsed = 0xFFFFFFFF, g.Palette = {0x000000, 0xABCDEF};
    g.PixelData = {0x80, 0, 0, 0};
    img = MustDecode(g.Build());
    EXPECT_EQ(img.At(0, 0), 0xABCDEFu);
}

TEST(BmpDecode, RunLengthEncoded) {
    // RLE8, 6 x 3, rows from the bottom:
    //   bottom: run of 3 x index 1, absolute 3 pixels 2 3 4 (padded), end of line
    //   middle: delta (2, 1) skips all of it and two pixels of the top row
    //   top:    run of 9 x index 5 clipped at the right edge, end of bitmap
    TBmpFile f;
    f.Width = 6, f.Height = 3, f.BitCount = 8, f.Compression = 1, f.ColorsUsed = 6;
    f.Palette = {0x0A0A0A, 0x111111, 0x222222, 0x333333, 0x444444, 0x555555};
    f.PixelData = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 2, 1, 9, 5, 0, 1};
    TPixelImage img = MustDecode(f.Build());
    EXPECT_EQ(Row(img, 2), (std::vector<std::uint32_t>{0x111111, 0x111111, 0x111111, 0x222222, 0x333333, 0x444444}));
    EXPECT_EQ(Row(img, 1), std::vector<std::uint32_t>(6, 0x0A0A0A));
    EXPECT_EQ(Row(img, 0), (std::vector<std::uint32_t>{0x0A0A0A, 0x0A0A0A, 0x555555, 0x555555, 0x555555, 0x555555}));

    // RLE4, 7 x 1: run of 3 alternating 1, 2; absolute 3 pixels 3, 4, 5 (two bytes);
    // absolute 3 pixels again, cut at the right edge.
    TBmpFile g;
    g.Width = 7, g.Height = 1, g.BitCount = 4, g.Compression = 2;
    g.Palette.assign(kPalette16.begin(), kPalette16.end());
    g.PixelData = {3, 0x12, 0, 3, 0x34, 0x50, 0, 3, 0xFF, 0xF0, 0, 1};
    img = MustDecode(g.Build());
    EXPECT_EQ(Row(img, 0),
              (std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0xFF0000, 0x0000FF, 0xFFFFFF, 0x123456, 0xABCDEF}));

    // A stream that stops before its end mark is corrupt.
    f.PixelData = {3, 1, 0, 3, 2, 3};
    EXPECT_NE(Refusal(f.Build()), "");
    // Run-length rows cannot be top-down.
    f.Height = -3;
    EXPECT_NE(Refusal(f.Build()), "");
}

TEST(BmpDecode, HostileHeadersAreRefused) {
    TBmpFile good;
    good.Width = 2, good.Height = 2, good.BitCount = 24, good.PixelData = Bytes(16, 0x7F);
    ASSERT_TRUE(!MustDecode(good.Build()).Pixels.empty());

    EXPECT_EQ(Refusal({}), "not a BMP file");
    EXPECT_EQ(Refusal({'B', 'M'}), "not a BMP file");
    Bytes notBm = good.Build();
    notBm[0] = 'P';
    Refusal(notBm);

    Bytes cut = good.Build();
    cut.resize(30);  // inside the info header
    EXPECT_EQ(Refusal(cut), "info header truncated");
    cut = good.Build();
    cut.pop_back(), cut.pop_back();  // only the last row's padding is gone
    EXPECT_TRUE(!MustDecode(cut).Pixels.empty());
    cut.pop_back();  // now a pixel byte is missing
    EXPECT_EQ(Refusal(cut), "pixel data truncated");

    auto with = [&](auto change) {
        TBmpFile f = good;
        change(f);
        return Refusal(f.Build());
    };
    EXPECT_EQ(with([](TBmpFile& f) { f.Width = 0; }), "zero or negative size");
    EXPECT_EQ(with([](TBmpFile& f) { f.Height = 0; }), "zero or negative size");
    EXPECT_EQ(with([](TBmpFile& f) { f.Width = -2; }), "zero or negative size");
    EXPECT_EQ(with([](TBmpFile& f) { f.Height = INT_MIN; }), "picture too large");
    EXPECT_EQ(with([](TBmpFile& f) { f.Width = INT_MAX, f.Height = INT_MAX; }), "picture too large");
    EXPECT_EQ(with([](TBmpFile& f) { f.Width = 4096, f.Height = 4097; }), "picture too large");
    // Within the cap but not backed by data: refused without building the picture.
    EXPECT_EQ(with([](TBmpFile& f) { f.Width = 4096, f.Height = -4096; }), "pixel data truncated");
    EXPECT_EQ(with([](TBmpFile& f) { f.PixelOffset = 0xFFFFFFF0; }), "pixel data offset outside the file");
    EXPECT_EQ(with([](TBmpFile& f) { f.PixelOffset = 60; }), "pixel data truncated");
    EXPECT_EQ(with([](TBmpFile& f) { f.HeaderSize = 64; }), "unsupported info header");
    EXPECT_EQ(with([](TBmpFile& f) { f.BitCount = 7; }), "unsupported bit count");
    EXPECT_EQ(with([](TBmpFile& f) { f.BitCount = 0; }), "unsupported bit count");
    EXPECT_EQ(with([](TBmpFile& f) { f.Compression = 4; }), "unsupported compression");  // JPEG inside
    EXPECT_EQ(with([](TBmpFile& f) { f.Compression = 3; }), "bad bit-field bit count");
    EXPECT_EQ(with([](TBmpFile& f) { f.Compression = 1; }), "bad run-length bit count");
    EXPECT_EQ(with([](TBmpFile& f) { f.BitCount = 8, f.ColorsUsed = 200, f.Palette = {1, 2, 3}; }),
              "palette truncated");
    Bytes zeroHeader = good.Build();
    Put32(zeroHeader, 14, 0);
    EXPECT_EQ(Refusal(zeroHeader), "unsupported info header");
    // A header size that claims more than the file holds.
    Bytes big = good.Build();
    Put32(big, 14, 124);
    big.resize(60);
    EXPECT_EQ(Refusal(big), "info header truncated");
}

// Pixel data may legally overlap the headers (the offset points anywhere inside the
// file); the decoder then reads those bytes as pixels, never outside the file.
TEST(BmpDecode, OffsetIntoHeaderStaysInsideTheFile) {
    TBmpFile f;
    f.Width = 2, f.Height = 2, f.BitCount = 8, f.ColorsUsed = 1, f.Palette = {0xFFFFFF};
    f.PixelData = Bytes(8, 0);
    f.PixelOffset = 0;
    TPixelImage img = MustDecode(f.Build());
    EXPECT_EQ(img.Width, 2);
    EXPECT_EQ(img.At(0, 1), 0x000000u);  // 'B' = 66: not in the one-entry palette
}

TEST(BmpDecode, CallerMayLowerTheLimit) {
    TBmpFile f;
    f.Width = 10, f.Height = 10, f.BitCount = 24, f.PixelData = Bytes(10 * 32, 0);
    const Bytes b = f.Build();
    TPixelImage img;
    std::string why;
    EXPECT_TRUE(DecodeBmp(b.data(), b.size(), img, &why, 100));
    EXPECT_FALSE(DecodeBmp(b.data(), b.size(), img, &why, 99));
    EXPECT_EQ(why, "picture too large");
}
