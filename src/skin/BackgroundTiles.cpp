#include "skin/BackgroundTiles.h"

#include <algorithm>

bool PlanTileBlock(int width, int height, TTilePlan& plan) {
    plan = TTilePlan{};
    if (width <= 0 || height <= 0) return false;
    const int nx = kMinTileBlockSide / width, ny = kMinTileBlockSide / height;
    const std::int64_t w = static_cast<std::int64_t>(nx + 1) * width;
    const std::int64_t h = static_cast<std::int64_t>(ny + 1) * height;
    // A 1-pixel-wide strip of the largest height would become 201 times its size.
    if (w > kMaxImageSide || h > kMaxImageSide || w * h > kMaxImagePixels) return false;
    plan.TileWidth = width;
    plan.TileHeight = height;
    plan.CopiesAcross = nx;
    plan.CopiesDown = ny;
    plan.Width = static_cast<int>(w);
    plan.Height = static_cast<int>(h);
    return true;
}

TPixelImage BuildTileBlock(const TPixelImage& picture, const TTilePlan& plan) {
    TPixelImage block;
    if (plan.Width <= 0 || plan.Height <= 0 || picture.Width != plan.TileWidth || picture.Height != plan.TileHeight ||
        picture.Pixels.size() != static_cast<std::size_t>(picture.Width) * picture.Height)
        return block;
    block.Width = plan.Width;
    block.Height = plan.Height;
    block.Pixels.resize(static_cast<std::size_t>(plan.Width) * plan.Height);
    const std::size_t w = static_cast<std::size_t>(plan.Width);
    // The first band: each picture row repeated across; every later band is a copy of it.
    for (int y = 0; y < picture.Height; ++y) {
        const std::uint32_t* src = picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width;
        std::uint32_t* dst = block.Pixels.data() + y * w;
        for (int k = 0; k <= plan.CopiesAcross; ++k) std::copy(src, src + picture.Width, dst + k * picture.Width);
    }
    const std::size_t band = w * picture.Height;
    for (int k = 1; k <= plan.CopiesDown; ++k)
        std::copy(block.Pixels.begin(), block.Pixels.begin() + band, block.Pixels.begin() + k * band);
    return block;
}
