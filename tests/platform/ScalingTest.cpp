// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/Scaling.h"

namespace {

using platform::ScreenView;

// A 32-bit top-down surface over vector memory, rows padded by a few pixels that must stay as
// they are.
struct Surface {
    Surface(int width, int height, std::uint32_t fill, int padding = 3)
        : pixels(static_cast<std::size_t>(width + padding) * height, fill),
          bitmap(platform::PixelsAsBitmap(pixels.data(), width, height,
                                          static_cast<std::size_t>(width + padding) * 4)) {}
    std::vector<std::uint32_t> pixels;
    platform::Bitmap bitmap;
};

Surface Numbered(int width, int height) {
    Surface surface(width, height, 0);
    for (std::size_t i = 0; i < surface.pixels.size(); ++i) {
        surface.pixels[i] = 0x10000000u + static_cast<std::uint32_t>(i);
    }
    return surface;
}

// ScaleRect's result pixel by pixel from the definition of a view.
void ScaleRectReference(const platform::Bitmap& source, platform::Bitmap& target,
                        const ScreenView& view, const RECT& changed) {
    RECT area{};
    const RECT client{0, 0, view.width, view.height};
    if (!IntersectRect(&area, &changed, &client)) return;
    for (int y = 0; y < view.screenHeight; ++y) {
        for (int x = 0; x < view.screenWidth; ++x) {
            const std::optional<POINT> shown = platform::ToClient(view, POINT{x, y});
            if (!shown || PtInRect(&area, *shown) == FALSE) continue;
            std::memcpy(target.Row(y) + static_cast<std::size_t>(x) * 4,
                        source.Row(shown->y) + static_cast<std::size_t>(shown->x) * 4, 4);
        }
    }
}

// Views of a 7 × 5 client: every whole scale, and full screens with borders on either side,
// fractional scales and one smaller than the client.
std::vector<ScreenView> ViewsOf(int width, int height) {
    return {ScreenView::Scaled(width, height, 1),
            ScreenView::Scaled(width, height, 2),
            ScreenView::Scaled(width, height, 3),
            ScreenView::Scaled(width, height, 4),
            ScreenView::Fullscreen(width, height, 19, 9),
            ScreenView::Fullscreen(width, height, 10, 17),
            ScreenView::Fullscreen(width, height, 23, 16),
            ScreenView::Fullscreen(width, height, 5, 4)};
}

TEST(ScalingTest, AutomaticScaleIsTheLargestThatFits) {
    // Usable areas of common displays with a panel of 40 pixels.
    EXPECT_EQ(platform::AutomaticScale(700, 500, 1920, 1040), 1);
    EXPECT_EQ(platform::AutomaticScale(700, 500, 2560, 1400), 2);
    EXPECT_EQ(platform::AutomaticScale(700, 500, 3840, 2120), 3);
    EXPECT_EQ(platform::AutomaticScale(700, 500, 7680, 4320), 4);
    // 85 % exactly is still inside; too small a display still gets scale 1.
    EXPECT_EQ(platform::AutomaticScale(85, 85, 200, 200), 2);
    EXPECT_EQ(platform::AutomaticScale(700, 500, 640, 480), 1);
    EXPECT_EQ(platform::AutomaticScale(700, 500, 0, 0), 1);
}

TEST(ScalingTest, FullscreenFillsTheLargestAreaOfTheWindowsProportionsCentred) {
    EXPECT_EQ(platform::FittedArea(700, 500, 1920, 1080), (RECT{204, 0, 1716, 1080}));
    EXPECT_EQ(platform::FittedArea(700, 500, 1280, 1024), (RECT{0, 55, 1280, 969}));
    EXPECT_EQ(platform::FittedArea(700, 500, 1400, 1000), (RECT{0, 0, 1400, 1000}));
    EXPECT_EQ(platform::FittedArea(700, 500, 0, 1000), RECT{});
    EXPECT_TRUE(ScreenView::Scaled(700, 500, 1).Identity());
    EXPECT_FALSE(ScreenView::Scaled(700, 500, 2).Identity());
    EXPECT_FALSE(ScreenView::Fullscreen(700, 500, 1920, 1080).Identity());
}

TEST(ScalingTest, PointsMapToThePixelShownThereAndTheBorderHitsNothing) {
    for (const ScreenView& view : ViewsOf(7, 5)) {
        SCOPED_TRACE(testing::Message()
                     << "screen " << view.screenWidth << "x" << view.screenHeight);
        for (int y = -1; y <= view.screenHeight; ++y) {
            for (int x = -1; x <= view.screenWidth; ++x) {
                const POINT point{x, y};
                const std::optional<POINT> client = platform::ToClient(view, point);
                if (PtInRect(&view.target, point) == FALSE) {
                    EXPECT_FALSE(client) << x << "," << y;
                    continue;
                }
                ASSERT_TRUE(client) << x << "," << y;
                // The pixel's own screen square holds the point.
                const RECT shown = platform::ToScreen(
                    view, RECT{client->x, client->y, client->x + 1, client->y + 1});
                EXPECT_TRUE(PtInRect(&shown, point)) << x << "," << y;
            }
        }
    }
    // The scaled "Neues Spiel" button of the game's window: client (100, 150) at scale 3.
    EXPECT_EQ(platform::ToClient(ScreenView::Scaled(700, 500, 3), POINT{302, 451}),
              (POINT{100, 150}));
    const ScreenView full = ScreenView::Fullscreen(700, 500, 1920, 1080);
    // Off the client area, as a pointer held outside the window: left of it, right, above.
    EXPECT_EQ(platform::ClientPoint(full, POINT{203, 540}), (POINT{-1, 250}));
    EXPECT_EQ(platform::ClientPoint(full, POINT{1716, 540}), (POINT{700, 250}));
    EXPECT_EQ(platform::ClientPoint(ScreenView::Scaled(700, 500, 3), POINT{5, -1}), (POINT{1, -1}));
    // A screen rectangle is covered by the client pixels shown in it, the border left out.
    EXPECT_EQ(platform::ToClientCover(ScreenView::Scaled(700, 500, 3), RECT{4, 4, 7, 9}),
              (RECT{1, 1, 3, 3}));
    EXPECT_EQ(platform::ToClientCover(full, RECT{0, 0, 205, 2}), (RECT{0, 0, 1, 1}));
    EXPECT_EQ(platform::ToClientCover(full, RECT{0, 0, 204, 1080}), RECT{});
    EXPECT_EQ(platform::ToClient(full, POINT{203, 540}), std::nullopt);
    EXPECT_EQ(platform::ToClient(full, POINT{1716, 540}), std::nullopt);
    EXPECT_EQ(platform::ToClient(full, POINT{204, 0}), (POINT{0, 0}));
    EXPECT_EQ(platform::ToClient(full, POINT{1715, 1079}), (POINT{699, 499}));
}

TEST(ScalingTest, ScalerMatchesTheReferenceOnEveryWidthAndOffset) {
    const Surface source = Numbered(7, 5);
    constexpr std::uint32_t kUntouched = 0xDEADBEEFu;
    for (const ScreenView& view : ViewsOf(7, 5)) {
        for (int top = 0; top < 5; ++top) {
            for (int bottom = top + 1; bottom <= 5; ++bottom) {
                for (int left = 0; left < 7; ++left) {
                    for (int right = left + 1; right <= 7; ++right) {
                        const RECT changed{left, top, right, bottom};
                        Surface fast(view.screenWidth, view.screenHeight, kUntouched);
                        Surface reference(view.screenWidth, view.screenHeight, kUntouched);
                        platform::ScaleRect(source.bitmap, fast.bitmap, view, changed);
                        ScaleRectReference(source.bitmap, reference.bitmap, view, changed);
                        ASSERT_EQ(fast.pixels, reference.pixels)
                            << "screen " << view.screenWidth << "x" << view.screenHeight
                            << ", changed " << left << "," << top << "-" << right << "," << bottom;
                        // Written: exactly the screen rectangle of the change.
                        const RECT written = platform::ToScreen(view, changed);
                        const std::size_t stride = fast.bitmap.stride / 4;
                        for (std::size_t i = 0; i < fast.pixels.size(); ++i) {
                            const POINT at{static_cast<LONG>(i % stride),
                                           static_cast<LONG>(i / stride)};
                            ASSERT_EQ(fast.pixels[i] != kUntouched, PtInRect(&written, at) != 0)
                                << at.x << "," << at.y;
                        }
                    }
                }
            }
        }
    }
}

TEST(ScalingTest, OnlyChangedPixelsAreScaledAndTheResultIsTheSame) {
    for (const ScreenView& view : ViewsOf(7, 5)) {
        SCOPED_TRACE(testing::Message()
                     << "screen " << view.screenWidth << "x" << view.screenHeight);
        Surface source = Numbered(7, 5);
        Surface copy = Numbered(7, 5);  // what the screen shows, at the client's size
        Surface shown(view.screenWidth, view.screenHeight, 0);
        platform::ScaleRect(source.bitmap, shown.bitmap, view, RECT{0, 0, 7, 5});
        // Nothing changed: nothing written.
        const std::vector<std::uint32_t> before = shown.pixels;
        EXPECT_EQ(platform::ScaleChanged(source.bitmap, copy.bitmap, shown.bitmap, view,
                                         RECT{0, 0, 7, 5}),
                  RECT{});
        EXPECT_EQ(shown.pixels, before);
        // Two pixels far apart change inside a large rectangle: the screen then shows what the
        // whole rectangle scaled shows, and the rectangle returned holds every pixel written.
        source.pixels[1 * 10 + 1] = 0xAAAAAAAAu;
        source.pixels[3 * 10 + 5] = 0xBBBBBBBBu;
        Surface expected(view.screenWidth, view.screenHeight, 0);
        expected.pixels = shown.pixels;
        platform::ScaleRect(source.bitmap, expected.bitmap, view, RECT{0, 0, 7, 5});
        const RECT written = platform::ScaleChanged(source.bitmap, copy.bitmap, shown.bitmap, view,
                                                    RECT{0, 0, 6, 4});
        EXPECT_EQ(shown.pixels, expected.pixels);
        EXPECT_EQ(copy.pixels, source.pixels);
        EXPECT_EQ(written, platform::ToScreen(view, RECT{1, 1, 6, 4}));
    }
}

// Sent a band at a time, the screen gets the same pixels as from ScaleRect: the bands tile the
// changed screen rectangle, and each is within its size unless one client row alone is more.
TEST(ScalingTest, ScalingInBandsGivesThePixelsOfTheWholeRectangle) {
    const Surface source = Numbered(7, 5);
    for (const ScreenView& view : ViewsOf(7, 5)) {
        for (const std::size_t bandPixels : {std::size_t{1}, std::size_t{12}, std::size_t{1000}}) {
            for (const RECT& changed : {RECT{0, 0, 7, 5}, RECT{2, 1, 5, 4}, RECT{6, 4, 7, 5}}) {
                SCOPED_TRACE(testing::Message()
                             << "screen " << view.screenWidth << "x" << view.screenHeight
                             << ", bands of " << bandPixels << ", rows " << changed.top << "-"
                             << changed.bottom);
                Surface expected(view.screenWidth, view.screenHeight, 0);
                Surface assembled(view.screenWidth, view.screenHeight, 0);
                platform::ScaleRect(source.bitmap, expected.bitmap, view, changed);
                std::vector<std::uint32_t> scratch;
                LONG next = platform::ToScreen(view, changed).top;
                platform::ScaleInBands(
                    source.bitmap, view, changed, bandPixels, scratch,
                    [&](const platform::Bitmap& band, const RECT& screen) {
                        EXPECT_EQ(screen.top, next);
                        next = screen.bottom;
                        const auto size = static_cast<std::size_t>(band.width * band.height);
                        const int oneRow = (view.target.bottom - view.target.top + 4) / 5;
                        EXPECT_TRUE(size <= bandPixels || band.height <= oneRow) << size;
                        for (int y = 0; y < band.height; ++y) {
                            std::memcpy(assembled.bitmap.Row(screen.top + y) + screen.left * 4,
                                        band.Row(y), static_cast<std::size_t>(band.width) * 4);
                        }
                    });
                EXPECT_EQ(next, platform::ToScreen(view, changed).bottom);
                EXPECT_EQ(assembled.pixels, expected.pixels);
            }
        }
    }
}

TEST(ScalingTest, HostileRectanglesAreClippedToTheClientArea) {
    const Surface source = Numbered(7, 5);
    const ScreenView view = ScreenView::Scaled(7, 5, 3);
    const RECT hostile[] = {{-2147483647, -5, 2, 2},
                            {5, 3, 2147483647, 2147483647},
                            {3, 3, 3, 4},
                            {8, 0, 20, 5},
                            {4, 2, 1, 1}};
    for (const RECT& changed : hostile) {
        Surface fast(21, 15, 0);
        Surface reference(21, 15, 0);
        platform::ScaleRect(source.bitmap, fast.bitmap, view, changed);
        ScaleRectReference(source.bitmap, reference.bitmap, view, changed);
        EXPECT_EQ(fast.pixels, reference.pixels);
    }
    EXPECT_EQ(platform::ToScreen(view, RECT{8, 0, 20, 5}), RECT{});
    EXPECT_EQ(platform::ToScreen(view, RECT{-9, -9, 1, 2}), (RECT{0, 0, 3, 6}));
}

}  // namespace
