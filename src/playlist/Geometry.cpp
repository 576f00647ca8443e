#include "playlist/Geometry.h"

#include <cstdint>

namespace {

bool Within(std::int64_t v, std::int64_t target, std::int64_t distance) {
    return target - distance <= v && v <= target + distance;
}

}  // namespace

void SnapToScreenEdges(int& x, int& y, int cx, int cy, int screenWidth, int screenHeight, int snapDistance) {
    // 64-bit sums: sizes and distances come from outside and must not overflow.
    std::int64_t s = snapDistance;
    if (s < 0) s = -s;
    if (Within(x, 0, s)) x = 0;
    if (Within(y, 0, s)) y = 0;
    const std::int64_t right = static_cast<std::int64_t>(screenWidth) - cx;
    const std::int64_t bottom = static_cast<std::int64_t>(screenHeight) - cy;
    if (Within(x, right, s)) x = static_cast<int>(right);
    if (Within(y, bottom, s)) y = static_cast<int>(bottom);
}

int NumberColumnDigits(int count) {
    int digits = 1;
    // Counted on the magnitude so that a negative count cannot loop or overflow.
    for (std::int64_t v = count < 0 ? -static_cast<std::int64_t>(count) : count; v >= 10; v /= 10) ++digits;
    return digits > 8 ? 8 : digits;
}

std::string NumberColumnSample(int count) {
    return std::string(static_cast<std::size_t>(NumberColumnDigits(count)), '8') + ". ";
}
