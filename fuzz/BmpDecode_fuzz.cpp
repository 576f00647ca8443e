// libFuzzer target: any bytes given to the BMP decoder either fail cleanly or give a
// picture within the limits, which the tile block and the opaque-run scan then take.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "skin/BackgroundTiles.h"
#include "skin/BmpDecode.h"
#include "skin/OpaqueRuns.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A few bytes of run-length data may declare the largest picture; a smaller
    // limit keeps each run fast without changing which paths the input can reach.
    constexpr std::int64_t kLimit = 1 << 14;
    TPixelImage img;
    std::string reason;
    if (!DecodeBmp(data, size, img, &reason, kLimit)) {
        if (reason.empty() || !img.Pixels.empty()) std::abort();
        return 0;
    }
    if (img.Width <= 0 || img.Height <= 0 || img.Width > kMaxImageSide || img.Height > kMaxImageSide ||
        static_cast<std::int64_t>(img.Width) * img.Height > kLimit ||
        img.Pixels.size() != static_cast<std::size_t>(img.Width) * img.Height)
        std::abort();
    for (std::uint32_t p : img.Pixels)
        if (p > 0xFFFFFF) std::abort();
    std::vector<TRunRect> runs = OpaqueRuns(img.Pixels.data(), img.Width, img.Height, img.Width);
    for (const TRunRect& r : runs)
        if (r.Left < 0 || r.Left >= r.Right || r.Right > img.Width || r.Bottom != r.Top + 1 || r.Top >= img.Height)
            std::abort();
    TTilePlan plan;
    if (PlanTileBlock(img.Width, img.Height, plan) && static_cast<std::int64_t>(plan.Width) * plan.Height <= (1 << 18)) {
        TPixelImage block = BuildTileBlock(img, plan);
        if (block.At(plan.Width - 1, plan.Height - 1) != img.At((plan.Width - 1) % img.Width, (plan.Height - 1) % img.Height))
            std::abort();
    }
    return 0;
}
