#include "skin/OpaqueRuns.h"

int CollectOpaqueRuns(const std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                      std::uint32_t key, int firstRow, std::size_t maxRuns, std::vector<TRunRect>& out) {
    if (width <= 0 || height <= 0 || firstRow < 0) return height > 0 ? height : 0;
    key &= kRgbMask;
    int y = firstRow;
    for (; y < height && out.size() < maxRuns; ++y) {
        const std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        int x = 0;
        while (x < width) {
            while (x < width && (row[x] & kRgbMask) == key) ++x;
            if (x == width) break;
            int start = x;
            while (x < width && (row[x] & kRgbMask) != key) ++x;
            out.push_back(TRunRect{start, y, x, y + 1});
        }
    }
    return y;
}

std::vector<TRunRect> OpaqueRuns(const std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride) {
    std::vector<TRunRect> runs;
    if (width <= 0 || height <= 0) return runs;
    CollectOpaqueRuns(pixels, width, height, stride, pixels[0], 0, static_cast<std::size_t>(-1), runs);
    return runs;
}
