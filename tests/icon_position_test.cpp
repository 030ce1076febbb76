// Where a minimised dialog draws its icon.
#include <gtest/gtest.h>

#include <utility>

#include "dialog/icon_position.h"

namespace {

std::pair<int, int> At(int clientWidth, int clientHeight) {
    const IconPosition at = CentreIcon(clientWidth, clientHeight, 32, 32);
    return {at.x, at.y};
}

// An odd spare width: 33 pixels left of the icon, 32 right; 2 above, 1 below.
TEST(IconPosition, OddSparePixelGoesLeftAndAbove) { EXPECT_EQ(At(97, 35), std::make_pair(33, 2)); }

TEST(IconPosition, EvenSpareSplitsEqually) { EXPECT_EQ(At(96, 64), std::make_pair(32, 16)); }

// -15 / 2 and -11 / 2: rounding down would give -8 and -6.
TEST(IconPosition, NegativeOddDifferenceTruncatesTowardZero) { EXPECT_EQ(At(16, 20), std::make_pair(-7, -5)); }

}  // namespace
