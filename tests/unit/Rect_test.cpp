#include "base/Rect.h"

#include <gtest/gtest.h>

#include <climits>

TEST(FitWindowOnScreen, PullsWindowsOntoTheScreen) {
    // (input) -> (expected) on a 1024 x 768 screen
    const std::pair<TBounds, TBounds> cases[] = {
        {{100, 50, 300, 200}, {100, 50, 300, 200}},
        {{-50, -7, 300, 200}, {0, 0, 300, 200}},
        {{200, 10, 5000, 200}, {0, 10, 1024, 200}},
        {{900, 700, 300, 200}, {724, 568, 300, 200}},
        {{INT_MAX, INT_MAX, 300, 200}, {724, 568, 300, 200}},
        {{INT_MIN, 0, INT_MAX, INT_MAX}, {0, 0, 1024, 768}},
    };
    for (const auto& [in, expected] : cases)
        EXPECT_EQ(FitWindowOnScreen(in, 1024, 768), expected) << in.Left << "," << in.Top << " " << in.Width;
}
