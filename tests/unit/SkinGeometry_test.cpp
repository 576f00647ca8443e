#include "skin/BackgroundTiles.h"
#include "skin/OpaqueRuns.h"
#include "skin/WatermarkPlacement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A picture drawn in text: '.' is the colour 0x00FEFBF0, '#' 0x00102030, 'a' the
// key colour with a fourth byte set, 'b' black.
std::vector<std::uint32_t> Picture(const std::vector<std::string>& rows, int& width, int& height) {
    width = static_cast<int>(rows[0].size());
    height = static_cast<int>(rows.size());
    std::vector<std::uint32_t> px;
    for (const auto& r : rows)
        for (char c : r)
            px.push_back(c == '.' ? 0x00FEFBF0u : c == '#' ? 0x00102030u : c == 'a' ? 0xFFFEFBF0u : 0x00000000u);
    return px;
}

std::vector<TRunRect> RunsOf(const std::vector<std::string>& rows) {
    int w = 0, h = 0;
    auto px = Picture(rows, w, h);
    return OpaqueRuns(px.data(), w, h, w);
}

}  // namespace

TEST(OpaqueRuns, RunsPerRowLeftToRight) {
    EXPECT_EQ(RunsOf({"..##.#",  //
                      "######",  //
                      "......",  //
                      "#....b"}),
              (std::vector<TRunRect>{{2, 0, 4, 1}, {5, 0, 6, 1}, {0, 1, 6, 2}, {0, 3, 1, 4}, {5, 3, 6, 4}}));
    // Two different opaque colours side by side make one run.
    EXPECT_EQ(RunsOf({".#b#."}), (std::vector<TRunRect>{{1, 0, 4, 1}}));
    // A 1 x 1 picture is its own key: no run.
    EXPECT_TRUE(RunsOf({"#"}).empty());
    // The key is whatever the top-left pixel is.
    EXPECT_EQ(RunsOf({"##.", "#.."}), (std::vector<TRunRect>{{2, 0, 3, 1}, {1, 1, 3, 2}}));
}

TEST(OpaqueRuns, FourthByteNeverCounts) {
    EXPECT_EQ(RunsOf({".a#a", "aa.."}), (std::vector<TRunRect>{{2, 0, 3, 1}}));
    EXPECT_EQ(RunsOf({"a.#.", "..aa"}), (std::vector<TRunRect>{{2, 0, 3, 1}}));
    EXPECT_TRUE(RunsOf({".a", "a."}).empty());
}

TEST(OpaqueRuns, ChunksEndOnWholeRowsAndHonourTheStride) {
    // Stride 6 over a 4-wide picture: the two padding columns are opaque and must be ignored.
    std::vector<std::uint32_t> px;
    const char* rows[] = {"..#.XX", "#.#.XX", "....XX", "####XX", ".#.#XX"};
    for (const char* r : rows)
        for (int x = 0; x < 6; ++x) px.push_back(r[x] == '.' ? 0xFEFBF0u : 0x123456u);
    std::vector<TRunRect> all;
    CollectOpaqueRuns(px.data(), 4, 5, 6, px[0], 0, 1000, all);
    ASSERT_EQ(all, (std::vector<TRunRect>{
                       {2, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}, {0, 3, 4, 4}, {1, 4, 2, 5}, {3, 4, 4, 5}}));

    std::vector<TRunRect> chunked;
    std::vector<int> stops;
    int row = 0;
    while (row < 5) {
        std::vector<TRunRect> part;
        row = CollectOpaqueRuns(px.data(), 4, 5, 6, px[0], row, 2, part);
        stops.push_back(row);
        ASSERT_FALSE(part.empty() && row < 5);
        chunked.insert(chunked.end(), part.begin(), part.end());
    }
    EXPECT_EQ(chunked, all);
    // Row 1 holds two runs: the first chunk stops after it, never inside it.
    EXPECT_EQ(stops, (std::vector<int>{2, 5}));
}

TEST(OpaqueRuns, EmptyPictures) {
    std::vector<TRunRect> out;
    std::uint32_t px = 0;
    EXPECT_EQ(CollectOpaqueRuns(&px, 0, 5, 0, 0, 0, 10, out), 5);
    EXPECT_EQ(CollectOpaqueRuns(&px, 5, 0, 5, 0, 0, 10, out), 0);
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(OpaqueRuns(nullptr, 0, 0, 0).empty());
}

TEST(WatermarkPlacement, AnchoredBottomRightAndCutTopLeft) {
    // Smaller both ways: sits in the corner, shown whole.
    TWatermarkPlacement p = PlaceWatermark(177, 200, 400, 300);
    EXPECT_EQ(p.DestX, 223);
    EXPECT_EQ(p.DestY, 100);
    EXPECT_EQ(p.Width, 177);
    EXPECT_EQ(p.Height, 200);
    EXPECT_EQ(p.SourceX, 0);
    EXPECT_EQ(p.SourceY, 0);
    EXPECT_EQ(p.OriginX, 223);
    EXPECT_EQ(p.OriginY, 100);

    // Wider and taller: the right and bottom parts show, from (0, 0).
    p = PlaceWatermark(177, 200, 100, 50);
    EXPECT_EQ(p.DestX, 0);
    EXPECT_EQ(p.DestY, 0);
    EXPECT_EQ(p.Width, 100);
    EXPECT_EQ(p.Height, 50);
    EXPECT_EQ(p.SourceX, 77);
    EXPECT_EQ(p.SourceY, 150);
    EXPECT_EQ(p.OriginX, -77);
    EXPECT_EQ(p.OriginY, -150);

    // One axis each way, and an exact fit.
    p = PlaceWatermark(177, 200, 177, 500);
    EXPECT_EQ(p.DestX, 0);
    EXPECT_EQ(p.Width, 177);
    EXPECT_EQ(p.SourceX, 0);
    EXPECT_EQ(p.DestY, 300);
    p = PlaceWatermark(50, 200, 300, 199);
    EXPECT_EQ(p.DestX, 250);
    EXPECT_EQ(p.DestY, 0);
    EXPECT_EQ(p.Height, 199);
    EXPECT_EQ(p.SourceY, 1);

    // A collapsed list shows nothing.
    p = PlaceWatermark(177, 200, 0, 0);
    EXPECT_EQ(p.Width, 0);
    EXPECT_EQ(p.Height, 0);
}

TEST(BackgroundTiles, BlockSizes) {
    struct Case {
        int w, h, nx, ny, bw, bh;
    };
    for (Case c : {Case{1, 1, 200, 200, 201, 201}, Case{150, 250, 1, 0, 300, 250}, Case{300, 300, 0, 0, 300, 300},
                   Case{200, 201, 1, 0, 400, 201}, Case{7, 199, 28, 1, 203, 398}}) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        TTilePlan plan;
        ASSERT_TRUE(PlanTileBlock(c.w, c.h, plan));
        EXPECT_EQ(plan.CopiesAcross, c.nx);
        EXPECT_EQ(plan.CopiesDown, c.ny);
        EXPECT_EQ(plan.Width, c.bw);
        EXPECT_EQ(plan.Height, c.bh);
        EXPECT_GT(plan.Width, kMinTileBlockSide);
        EXPECT_GT(plan.Height, kMinTileBlockSide);
    }
}

TEST(BackgroundTiles, EmptyAndOversizedPicturesAreRefused) {
    TTilePlan plan;
    EXPECT_FALSE(PlanTileBlock(0, 10, plan));
    EXPECT_FALSE(PlanTileBlock(10, 0, plan));
    EXPECT_FALSE(PlanTileBlock(-5, 10, plan));
    EXPECT_EQ(plan.Width, 0);
    // Within the decoder's limits a block never exceeds them (at most 400 x 32768)...
    ASSERT_TRUE(PlanTileBlock(1, kMaxImageSide, plan));
    EXPECT_EQ(plan.Width, 201);
    EXPECT_EQ(plan.Height, kMaxImageSide);
    // ...but the plan does not rely on its caller having checked.
    EXPECT_FALSE(PlanTileBlock(4096, 4097, plan));
    EXPECT_FALSE(PlanTileBlock(1, 100000, plan));
}

TEST(BackgroundTiles, BlockRepeatsThePicture) {
    TPixelImage pic;
    pic.Width = 3, pic.Height = 2;
    pic.Pixels = {1, 2, 3, 4, 5, 6};
    TTilePlan plan;
    ASSERT_TRUE(PlanTileBlock(3, 2, plan));
    TPixelImage block = BuildTileBlock(pic, plan);
    ASSERT_EQ(block.Width, 201);
    ASSERT_EQ(block.Height, 202);
    ASSERT_EQ(block.Pixels.size(), 201u * 202u);
    for (int y = 0; y < block.Height; ++y)
        for (int x = 0; x < block.Width; ++x) ASSERT_EQ(block.At(x, y), pic.At(x % 3, y % 2)) << x << "," << y;

    // A plan that does not belong to the picture gives nothing rather than reading past it.
    TTilePlan other;
    ASSERT_TRUE(PlanTileBlock(4, 2, other));
    EXPECT_TRUE(BuildTileBlock(pic, other).Pixels.empty());
}
