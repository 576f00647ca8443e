// BuildOpaqueRegion on a 1024 x 768 watermark with many runs per row, against the
// floor of only reading and scanning its pixels, side by side in one run. The old
// per-row polygon-and-union construction is timed too, for comparison.
//
//   build/cross/wine-run.sh build/cross/bin/OpaqueRegion_winbench.exe
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "PolygonRegion.h"
#include "skin/WatermarkSkin_win.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr std::uint32_t kKey = 0xFEFBF0;

// A record of grooved rings with a label and lettering: a row through the middle
// crosses some 70 runs.
std::vector<std::uint32_t> Picture() {
    std::vector<std::uint32_t> px(static_cast<size_t>(kWidth) * kHeight, kKey);
    const double cx = 512, cy = 360;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            double r = std::hypot(x - cx, y - cy);
            std::uint32_t& p = px[static_cast<size_t>(y) * kWidth + x];
            if (r < 340 && r > 12 && (r < 110 || static_cast<int>(r / 5) % 2 == 0))
                p = r < 110 ? 0x901830 : 0x181820 + (static_cast<int>(r) & 7);
            if (y > 700 && y < 750 && x > 200 && x < 824 && ((x / 7 + y / 9) % 3 == 0)) p = 0x601020;
        }
    }
    return px;
}

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

template <class F>
double Best(F&& f, int rounds) {
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        double t0 = Now();
        f();
        best = std::min(best, Now() - t0);
    }
    return best;
}

}  // namespace

int main() {
    const std::vector<std::uint32_t> pixels = Picture();
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    TBitmap bitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return 1;
    std::memcpy(bits, pixels.data(), pixels.size() * 4);

    size_t runs = 0;
    volatile size_t sink = 0;
    // Floor: fetch the pixels as 32-bit values (any builder must) and compare each with the key.
    auto floor = [&] {
        int w = 0, h = 0;
        std::vector<unsigned> px;
        ReadBitmapPixels(bitmap.get(), w, h, px);
        size_t n = 0;
        const unsigned key = px[0] & 0xFFFFFF;
        for (unsigned p : px) n += (p & 0xFFFFFF) != key;
        sink = sink + n;
    };
    auto fast = [&] {
        TRegion rgn = BuildOpaqueRegion(bitmap.get());
        sink = sink + (rgn ? 1 : 0);
    };
    auto polygons = [&] {
        HRGN rgn = BuildOpaqueRegionByPolygons(bitmap.get());
        sink = sink + (rgn ? 1 : 0);
        DeleteObject(rgn);
    };

    {
        TRegion a = BuildOpaqueRegion(bitmap.get());
        HRGN b = BuildOpaqueRegionByPolygons(bitmap.get());
        runs = GetRegionData(a.get(), 0, nullptr);
        bool same = EqualRgn(a.get(), b);
        DeleteObject(b);
        std::printf("picture %d x %d, region data %zu bytes, equal to the polygon construction: %s\n", kWidth, kHeight,
                    runs, same ? "yes" : "NO");
    }

    // Scanning alone, in place: the pure floor.
    auto scanOnly = [&] {
        size_t n = 0;
        const std::uint32_t* px = static_cast<const std::uint32_t*>(bits);
        const std::uint32_t key = px[0] & 0xFFFFFF;
        for (size_t i = 0; i < pixels.size(); ++i) n += (px[i] & 0xFFFFFF) != key;
        sink = sink + n;
    };

    // Interleaved rounds so that all see the same machine state; the best of each.
    double tScan = 1e9, tFloor = 1e9, tFast = 1e9, tPoly = 1e9;
    for (int round = 0; round < 10; ++round) {
        tScan = std::min(tScan, Best(scanOnly, 5));
        tFloor = std::min(tFloor, Best(floor, 5));
        tFast = std::min(tFast, Best(fast, 5));
        if (round % 5 == 0) tPoly = std::min(tPoly, Best(polygons, 1));
    }
    std::printf("scan pixels in place:       %8.3f ms\n", tScan * 1e3);
    std::printf("read out + scan pixels:     %8.3f ms\n", tFloor * 1e3);
    std::printf("BuildOpaqueRegion:          %8.3f ms   ratio %.2f to read + scan (target <= 3), %.2f to scan\n",
                tFast * 1e3, tFast / tFloor, tFast / tScan);
    std::printf("per-row polygons + union:   %8.3f ms   ratio %.2f to read + scan\n", tPoly * 1e3, tPoly / tFloor);
    return 0;
}
