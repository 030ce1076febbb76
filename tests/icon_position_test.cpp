// Where a minimised dialog draws its icon.
#include <gtest/gtest.h>

#include <utility>

#include "dialog/icon_position.h"

namespace {

std::pair<int, int> At(int clientWidth, int clientHeight) {
    const IconPosition at = CentreIcon(clientWidth, clientHeight, 32, 32);
    return {at.x, at.y};
}

TEST(IconPosition, CentresTheIconWithTheSparePixelRightAndBelow) { EXPECT_EQ(At(97, 35), std::make_pair(33, 2)); }

TEST(IconPosition, HalfPixelTruncatesTowardZero) { EXPECT_EQ(At(96, 64), std::make_pair(32, 16)); }

TEST(IconPosition, IconLargerThanTheClientTruncatesTowardZero) { EXPECT_EQ(At(16, 20), std::make_pair(-7, -5)); }

}  // namespace
