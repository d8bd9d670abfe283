// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/Icon.h"
#include "res/AppIcon.h"
#include "res/Resources.h"

namespace {

std::uint32_t At(const platform::IconImage& image, int x, int y) {
    return image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.size) +
                        static_cast<std::size_t>(x)];
}

TEST(AppIconTest, TheRegisteredIconIsTheDrawnOnePixelForPixel) {
    res::RegisterResources();
    const HICON registered = LoadIcon(IDR_MAINFRAME);
    ASSERT_NE(registered, nullptr);
    const platform::Icon drawn = res::MakeAppIcon();
    ASSERT_EQ(registered->images.size(), 3u);
    ASSERT_EQ(drawn.images.size(), 3u);
    const int sizes[] = {48, 32, 16};  // the largest first, as the window system takes it
    for (std::size_t i = 0; i < 3; ++i) {
        const platform::IconImage& image = registered->images[i];
        EXPECT_EQ(image.size, sizes[i]);
        EXPECT_EQ(image.pixels, drawn.images[i].pixels) << sizes[i] << " pixels";
    }
}

TEST(AppIconTest, ASealOnARoundPatchWithSmoothEdges) {
    for (const platform::IconImage& image : res::AppIcon().images) {
        ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(image.size * image.size));
        const int last = image.size - 1;
        const int middle = image.size / 2;
        // The corners lie outside the round patch; its middle is opaque.
        for (const auto& [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}}) {
            EXPECT_EQ(At(image, x, y) >> 24, 0u) << image.size << ": (" << x << ", " << y << ")";
        }
        EXPECT_EQ(At(image, middle, middle) >> 24, 0xFFu) << image.size;
        // Along the middle row the edge is partly covered, not cut off.
        bool partial = false;
        for (int x = 0; x < middle; ++x) {
            const std::uint32_t alpha = At(image, x, middle) >> 24;
            partial = partial || (alpha > 0 && alpha < 0xFF);
        }
        EXPECT_TRUE(partial) << image.size;
    }
}

}  // namespace
