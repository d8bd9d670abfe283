// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/Types.h"

namespace {

TEST(RectTest, IntersectionWithoutOverlapIsAllZero) {
    const RECT a{0, 0, 10, 10};
    const RECT touching{10, 0, 20, 10};  // right edge is exclusive: no shared pixel
    RECT out{1, 2, 3, 4};
    EXPECT_FALSE(IntersectRect(&out, &a, &touching));
    EXPECT_EQ(out, RECT{});

    const RECT overlapping{5, -5, 15, 5};
    EXPECT_TRUE(IntersectRect(&out, &a, &overlapping));
    EXPECT_EQ(out, (RECT{5, 0, 10, 5}));
}

TEST(RectTest, UnionIgnoresRectanglesWithoutArea) {
    const RECT a{10, 10, 30, 30};
    const RECT noWidth{0, 0, 0, 100};
    const RECT inverted{50, 50, 40, 60};
    RECT out{};
    EXPECT_TRUE(UnionRect(&out, &a, &noWidth));
    EXPECT_EQ(out, a);
    EXPECT_TRUE(UnionRect(&out, &inverted, &a));
    EXPECT_EQ(out, a);
    out = RECT{7, 7, 7, 7};
    EXPECT_FALSE(UnionRect(&out, &noWidth, &inverted));
    EXPECT_EQ(out, RECT{});

    const RECT b{50, 0, 60, 20};
    EXPECT_TRUE(UnionRect(&out, &a, &b));
    EXPECT_EQ(out, (RECT{10, 0, 60, 30}));
}

TEST(RectTest, UnionInPlaceAndEquality) {
    RECT dirty{};
    const RECT first{10, 10, 30, 30};
    const RECT second{50, 10, 70, 30};
    UnionRect(&dirty, &dirty, &first);
    UnionRect(&dirty, &dirty, &second);
    EXPECT_EQ(dirty, (RECT{10, 10, 70, 30}));
    const RECT same{10, 10, 70, 30};
    EXPECT_TRUE(EqualRect(&dirty, &same));
    const RECT other{10, 10, 70, 31};
    EXPECT_FALSE(EqualRect(&dirty, &other));
}

}  // namespace
