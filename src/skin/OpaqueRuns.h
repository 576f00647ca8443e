#pragma once
// The opaque pixels of a watermark picture as horizontal runs, one rectangle per
// run: a pixel is opaque when its colour (the low 24 bits of a 0x00RRGGBB value; the
// fourth byte never counts) differs from the key, the colour of the top-left pixel.
// Runs come row by row from the top, left to right in a row, so they are already
// in the banded order a region made from a rectangle list wants.
#include <cstddef>
#include <cstdint>
#include <vector>

// Same layout as a Win32 RECT: right and bottom exclusive.
struct TRunRect {
    std::int32_t Left;
    std::int32_t Top;
    std::int32_t Right;
    std::int32_t Bottom;
    bool operator==(const TRunRect&) const = default;
};

constexpr std::uint32_t kRgbMask = 0x00FFFFFF;

// Scans rows firstRow, firstRow + 1, ... of a picture (`stride` pixels from one row
// to the next) and appends their runs to `out`, whole rows at a time, until `out`
// holds at least `maxRuns` rectangles or the picture ends. Returns the first row not
// scanned (height when done), so a caller can turn the runs into regions in chunks
// of bounded size.
int CollectOpaqueRuns(const std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                      std::uint32_t key, int firstRow, std::size_t maxRuns, std::vector<TRunRect>& out);

// All runs of a picture, keyed on its top-left pixel.
std::vector<TRunRect> OpaqueRuns(const std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride);
