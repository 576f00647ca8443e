#include "skin/EqualizerLayout.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TRect At(int left, int top, int width = 275, int height = 116) { return {left, top, left + width, top + height}; }

TEqualizerRelocationInput Input(int layout, TRect main, TRect eq) {
    TEqualizerRelocationInput in;
    in.Layout = layout;
    in.MainVisible = true;
    in.Main = main;
    in.Equalizer = eq;
    in.ScreenWidth = 1024;
    in.ScreenHeight = 768;
    return in;
}

// (main left, main top, equaliser left, equaliser top), or nothing when nothing moves.
std::vector<int> Plan(const TEqualizerRelocationInput& in, TEqualizerPlacementState state = {}) {
    TEqualizerRelocation r = PlanEqualizerRelocation(in, state);
    if (!r.Move)
        return {};
    return {r.MainLeft, r.MainTop, r.EqualizerLeft, r.EqualizerTop};
}

}  // namespace

TEST(EqualizerLayout, RelationOfTheTwoWindows) {
    const TRect m = At(300, 300);
    EXPECT_EQ(EqualizerRelation(m, At(25, 300)), EqualizerLayoutLeft);
    EXPECT_EQ(EqualizerRelation(m, At(575, 300)), EqualizerLayoutRight);
    EXPECT_EQ(EqualizerRelation(m, At(300, 184)), EqualizerLayoutAbove);
    EXPECT_EQ(EqualizerRelation(m, At(300, 416)), EqualizerLayoutBelow);
    EXPECT_EQ(EqualizerRelation(m, At(300, 300)), EqualizerLayoutOverwrap);
    EXPECT_EQ(EqualizerRelation(m, At(300, 0)), 0);
    EXPECT_EQ(EqualizerRelation(m, At(25, 301)), 0);
    EXPECT_EQ(EqualizerRelation(m, At(0, 0)), 0);
}

TEST(EqualizerLayout, EveryRowOfThePlacementTable) {
    const TRect m = At(300, 300);
    const TRect away = At(0, 0);
    EXPECT_EQ(Plan(Input(1, m, At(575, 300))), (std::vector<int>{575, 300, 300, 300}));  // swap
    EXPECT_EQ(Plan(Input(1, m, away)), (std::vector<int>{300, 300, 25, 300}));
    EXPECT_EQ(Plan(Input(2, m, At(25, 300))), (std::vector<int>{25, 300, 300, 300}));  // swap
    EXPECT_EQ(Plan(Input(2, m, away)), (std::vector<int>{300, 300, 575, 300}));
    EXPECT_EQ(Plan(Input(3, m, At(300, 416))), (std::vector<int>{300, 416, 300, 300}));  // swap
    EXPECT_EQ(Plan(Input(3, m, away)), (std::vector<int>{300, 300, 300, 184}));
    EXPECT_EQ(Plan(Input(4, m, At(300, 184))), (std::vector<int>{300, 184, 300, 300}));  // swap
    EXPECT_EQ(Plan(Input(4, m, away)), (std::vector<int>{300, 300, 300, 416}));
    EXPECT_EQ(Plan(Input(5, m, At(575, 300))), (std::vector<int>{300, 300, 300, 300}));
    TEqualizerRelocationInput rel = Input(6, m, At(300, 300));  // relative moves even from "over"
    rel.OffsetX = 3, rel.OffsetY = 4;
    EXPECT_EQ(Plan(rel), (std::vector<int>{300, 300, 303, 304}));
}

TEST(EqualizerLayout, ExamplesFromUse) {
    // Relative at double size: offsets are scaled by two.
    TEqualizerRelocationInput rel = Input(6, At(100, 100, 550, 232), At(0, 0, 550, 232));
    rel.OffsetX = 10, rel.OffsetY = -4;
    EXPECT_EQ(Plan(rel), (std::vector<int>{100, 100, 120, 92}));
    // Left with the equaliser on the right: the windows swap.
    EXPECT_EQ(Plan(Input(1, At(25, 50), At(300, 50))), (std::vector<int>{300, 50, 25, 50}));
    // Right at the right screen edge: the pair is pushed left.
    EXPECT_EQ(Plan(Input(2, At(749, 50), At(0, 400))), (std::vector<int>{474, 50, 749, 50}));
}

TEST(EqualizerLayout, KeepsThePairOnTheScreenExceptWhenRelative) {
    const TRect away = At(500, 500);
    EXPECT_EQ(Plan(Input(1, At(900, 10), away)), (std::vector<int>{749, 10, 474, 10}));   // main past right
    EXPECT_EQ(Plan(Input(2, At(800, 10), away)), (std::vector<int>{474, 10, 749, 10}));   // eq past right
    EXPECT_EQ(Plan(Input(3, At(10, 700), away)), (std::vector<int>{10, 652, 10, 536}));   // main past bottom
    EXPECT_EQ(Plan(Input(4, At(10, 600), away)), (std::vector<int>{10, 536, 10, 652}));   // eq past bottom
    EXPECT_EQ(Plan(Input(1, At(100, 10), away)), (std::vector<int>{275, 10, 0, 10}));     // eq past left
    EXPECT_EQ(Plan(Input(2, At(-50, 10), At(0, 0))), (std::vector<int>{0, 10, 275, 10}));    // main past left
    EXPECT_EQ(Plan(Input(3, At(10, 50), away)), (std::vector<int>{10, 116, 10, 0}));      // eq past top
    EXPECT_EQ(Plan(Input(4, At(10, -30), away)), (std::vector<int>{10, 0, 10, 116}));     // main past top
    TEqualizerRelocationInput rel = Input(6, At(10, 10, 550, 232), At(0, 0, 550, 232));
    rel.OffsetX = -100, rel.OffsetY = INT_MIN;  // not pulled back; the doubled offset is clamped
    EXPECT_EQ(Plan(rel), (std::vector<int>{10, 10, -190, INT_MIN}));
}

TEST(EqualizerLayout, StopsWithoutMoving) {
    TEqualizerRelocationInput hidden = Input(1, At(300, 300), At(0, 0));
    hidden.MainVisible = false;
    EXPECT_EQ(Plan(hidden), std::vector<int>{});
    EXPECT_EQ(Plan(Input(0, At(300, 300), At(0, 0))), std::vector<int>{});
    EXPECT_EQ(Plan(Input(7, At(300, 300), At(0, 0))), std::vector<int>{});
    EXPECT_EQ(Plan(Input(1, At(300, 300, 550, 232), At(0, 0))), std::vector<int>{});  // sizes differ
    EXPECT_EQ(Plan(Input(2, At(300, 300), At(575, 300))), std::vector<int>{});        // already there
}

TEST(EqualizerLayout, ZOrderSteps) {
    using Z = std::vector<TZOrderStep>;
    const auto eqBehind = TZOrderStep::EqualizerBehindMain, mainBehind = TZOrderStep::MainBehindEqualizer;
    auto steps = [](int layout, int zorder, TRect eq) {
        TEqualizerRelocationInput in = Input(layout, At(300, 300), eq);
        in.Zorder = zorder;
        TEqualizerPlacementState state;
        return PlanEqualizerRelocation(in, state).ZOrder;
    };
    EXPECT_EQ(steps(1, 1, At(0, 0)), (Z{eqBehind}));
    EXPECT_EQ(steps(5, 1, At(0, 0)), (Z{eqBehind, mainBehind}));
    EXPECT_EQ(steps(5, -1, At(0, 0)), (Z{eqBehind, eqBehind}));
    EXPECT_EQ(steps(5, 1, At(300, 300)), (Z{mainBehind}));  // already over: only the wish
    EXPECT_EQ(steps(5, 0, At(300, 300)), Z{});
    EXPECT_EQ(steps(2, 1, At(575, 300)), Z{});
    EXPECT_EQ(steps(6, -1, At(0, 0)), (Z{eqBehind}));
    EXPECT_EQ(steps(6, 0, At(0, 0)), Z{});
}

TEST(EqualizerLayout, HomeFollowsTheUserNotOurOwnMoves) {
    TEqualizerPlacementState state;
    TEqualizerRelocationInput in = Input(1, At(100, 50), At(500, 500));
    PlanEqualizerRelocation(in, state);
    EXPECT_EQ(state.HomePosition, At(100, 50));
    EXPECT_EQ(state.LastPlacedRect, At(275, 50));  // pushed right so the equaliser fits
    // Where we put it: home stays, so a new layout starts from the user's spot.
    in = Input(4, At(275, 50), At(0, 50));
    EXPECT_EQ(Plan(in, state), (std::vector<int>{100, 50, 100, 166}));
    // The user moved the main window: that becomes home.
    in.Main = At(600, 200);
    EXPECT_EQ(Plan(in, state), (std::vector<int>{600, 200, 600, 316}));
}
