// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/Gdi.h"

namespace {

BITMAPINFO Info(LONG width, LONG height, WORD bitCount, DWORD compression = BI_RGB) {
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{40, width, height, 1, bitCount, compression, 0, 0, 0, 0, 0};
    return info;
}

// A memory device context with a 24-bit bottom-up bitmap of its own selected.
struct Surface {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    HGDIOBJ stock;
    Surface(int w, int h, int bitCount = 24) {
        const BITMAPINFO info = Info(w, h, static_cast<WORD>(bitCount));
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        stock = SelectObject(dc, bitmap);
    }
    ~Surface() {
        SelectObject(dc, stock);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    unsigned char* At(int x, int y) const {
        return bitmap->Row(y) + static_cast<std::size_t>(x) * (bitmap->bitCount / 8);
    }
    // Pixel (x, y) gets the bytes x, y, x ^ y.
    void Pattern() const {
        for (int y = 0; y < bitmap->height; ++y) {
            for (int x = 0; x < bitmap->width; ++x) {
                unsigned char* p = At(x, y);
                p[0] = static_cast<unsigned char>(x);
                p[1] = static_cast<unsigned char>(y);
                p[2] = static_cast<unsigned char>(x ^ y);
            }
        }
    }
    bool Is(int x, int y, int b, int g, int r) const {
        const unsigned char* p = At(x, y);
        return p[0] == b && p[1] == g && p[2] == r;
    }
};

TEST(GdiTest, DibSectionsHaveTheStrideAndBottomUpRowsOfBmpFiles) {
    for (const auto& [width, bits, stride] :
         {std::tuple{5, 24, 16}, {1, 24, 4}, {4, 24, 12}, {5, 8, 8}, {3, 16, 8}, {3, 32, 12}}) {
        const BITMAPINFO info = Info(width, 3, static_cast<WORD>(bits));
        void* memory = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->stride, static_cast<std::size_t>(stride)) << width << " x " << bits;
        EXPECT_EQ(memory, bitmap->bits);
        EXPECT_EQ(bitmap->Row(0), bitmap->bits + 2 * stride);  // the top row is stored last
        EXPECT_EQ(bitmap->Row(2), bitmap->bits);
        EXPECT_EQ(bitmap->Row(3), nullptr);
        EXPECT_EQ(bitmap->Row(-1), nullptr);
        EXPECT_TRUE(DeleteObject(bitmap));
    }
    EXPECT_EQ(DibStride(5, 24), 16u);
    EXPECT_EQ(DibStride(0, 24), 0u);
}

TEST(GdiTest, NewBitmapsAreBlackAlsoInMemoryThatHeldAPictureBefore) {
    // Small bitmaps come from the program's own heap, large ones from the system; a bitmap made
    // after one of the same size was deleted may well get its memory back.
    for (const int side : {6, 700}) {
        for (int round = 0; round < 3; ++round) {
            HBITMAP bitmap = CreateCompatibleBitmap(nullptr, side, side);
            ASSERT_NE(bitmap, nullptr);
            const std::size_t bytes = bitmap->stride * static_cast<std::size_t>(side);
            const auto zero = static_cast<std::size_t>(
                std::count(bitmap->bits, bitmap->bits + bytes, static_cast<unsigned char>(0)));
            EXPECT_EQ(zero, bytes) << side << " × " << side << ", round " << round;
            std::memset(bitmap->bits, 0xA5, bytes);
            DeleteObject(bitmap);
        }
    }
}

TEST(GdiTest, PrefaultingPixelMemoryKeepsEveryPixel) {
    // A window surface that already shows a picture, at an address inside a page.
    std::vector<unsigned char> memory(300 * 1024 + 17);
    for (std::size_t i = 0; i < memory.size(); ++i) memory[i] = static_cast<unsigned char>(i * 7);
    const std::vector<unsigned char> before = memory;
    platform::PrefaultPixels(memory.data() + 5, memory.size() - 5);
    platform::PrefaultPixels(memory.data(), 100);  // too small to be worth it
    platform::PrefaultPixels(nullptr, 1 << 20);
    EXPECT_EQ(memory, before);
}

TEST(GdiTest, DibSectionsThatDescribeNoBitmapAreRefused) {
    std::vector<BITMAPINFO> bad = {
        Info(0, 3, 24),     Info(-2, 3, 24),           Info(3, 0, 24), Info(3, INT_MIN, 24),
        Info(16385, 1, 24), Info(1, 16385, 24),        Info(3, 3, 0),  Info(3, 3, 33),
        Info(3, 3, 24, 1),  Info(INT_MAX, INT_MAX, 32)};
    BITMAPINFO oldHeader = Info(3, 3, 24);
    oldHeader.bmiHeader.biSize = 12;
    bad.push_back(oldHeader);
    for (const BITMAPINFO& info : bad) {
        void* memory = &bad;
        EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0), nullptr);
        EXPECT_EQ(memory, nullptr);
    }
    void* memory = nullptr;
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &memory, nullptr, 0), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 0, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 5, -1), nullptr);

    // Top-down rows are a valid DIB section: row 0 is stored first.
    const BITMAPINFO topDown = Info(2, -3, 24);
    HBITMAP bitmap = CreateDIBSection(nullptr, &topDown, DIB_RGB_COLORS, &memory, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->height, 3);
    EXPECT_EQ(bitmap->Row(0), bitmap->bits);
    DeleteObject(bitmap);
}

TEST(GdiTest, ABitmapIsSelectedIntoOneDeviceContextAtATime) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(first);
    HBITMAP bitmap = CreateCompatibleBitmap(first, 4, 4);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->bitCount, 24);
    HGDIOBJ stock = SelectObject(first, bitmap);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(first->Surface(), bitmap);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));  // still selected
    EXPECT_EQ(SelectObject(first, stock), bitmap);
    EXPECT_EQ(SelectObject(nullptr, bitmap), nullptr);
    EXPECT_EQ(SelectObject(first, nullptr), nullptr);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(nullptr));

    // A context destroyed with a bitmap still selected leaves the bitmap free to delete.
    HBITMAP left = CreateCompatibleBitmap(second, 2, 2);
    SelectObject(second, left);
    EXPECT_TRUE(DeleteDC(second));
    EXPECT_TRUE(DeleteObject(left));
    EXPECT_TRUE(DeleteDC(first));
}

TEST(GdiTest, BitBltCopiesAndClipsToBothSurfaces) {
    Surface from(6, 5), to(8, 8);
    from.Pattern();
    EXPECT_TRUE(BitBlt(to.dc, 1, 2, 3, 2, from.dc, 2, 1, SRCCOPY));
    EXPECT_TRUE(to.Is(1, 2, 2, 1, 3));
    EXPECT_TRUE(to.Is(3, 3, 4, 2, 6));
    EXPECT_TRUE(to.Is(4, 3, 0, 0, 0));
    EXPECT_TRUE(to.Is(1, 4, 0, 0, 0));

    // Negative target coordinates shift the source; the source edge limits the width.
    EXPECT_TRUE(BitBlt(to.dc, -2, -1, 100, 100, from.dc, 0, 0, SRCCOPY));
    EXPECT_TRUE(to.Is(0, 0, 2, 1, 3));
    EXPECT_TRUE(to.Is(3, 3, 5, 4, 1));
    EXPECT_TRUE(to.Is(4, 3, 0, 0, 0));  // beyond the source's right edge: unchanged

    const int values[] = {INT_MIN, -1, 0, 3, INT_MAX};
    for (int x : values) {
        for (int w : values) {
            for (int s : values) {
                BitBlt(to.dc, x, x, w, w, from.dc, s, s, SRCCOPY);
                BitBlt(to.dc, s, x, w, INT_MAX, from.dc, x, s, SRCCOPY);
            }
        }
    }
    EXPECT_FALSE(BitBlt(to.dc, 0, 0, 2, 2, from.dc, 0, 0, 0));  // only SRCCOPY
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 2, from.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(to.dc, 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(StretchBlt(to.dc, 0, 0, 2, 2, from.dc, 0, 0, 3, 2, SRCCOPY));
    EXPECT_TRUE(StretchBlt(to.dc, 5, 5, 1, 1, from.dc, 4, 3, 1, 1, SRCCOPY));
    EXPECT_TRUE(to.Is(5, 5, 4, 3, 7));
}

TEST(GdiTest, BitBltConvertsBetween24And32BitsAndRefusesOtherMixes) {
    Surface rgb(3, 2), xrgb(3, 2, 32), pal(3, 2, 8);
    rgb.Pattern();
    EXPECT_TRUE(BitBlt(xrgb.dc, 0, 0, 3, 2, rgb.dc, 0, 0, SRCCOPY));
    EXPECT_TRUE(xrgb.Is(2, 1, 2, 1, 3));
    EXPECT_EQ(xrgb.At(2, 1)[3], 0);
    Surface back(3, 2);
    EXPECT_TRUE(BitBlt(back.dc, 0, 0, 3, 2, xrgb.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(0, std::memcmp(back.bitmap->bits, rgb.bitmap->bits, rgb.bitmap->stride * 2));
    EXPECT_FALSE(BitBlt(pal.dc, 0, 0, 3, 2, rgb.dc, 0, 0, SRCCOPY));
    HDC empty = CreateCompatibleDC(nullptr);  // holds only its 1 × 1 stock bitmap
    EXPECT_FALSE(BitBlt(rgb.dc, 0, 0, 3, 2, empty, 0, 0, SRCCOPY));
    DeleteDC(empty);
}

TEST(GdiTest, RowsOfEveryWidthWidenFrom24To32BitsExactlyInPlace) {
    // Wide rows go four pixels at a time: every width, offset and tail must come out the same,
    // and nothing beside the rectangle may change (the sanitizers watch the reads at row ends).
    Surface rgb(41, 3);
    rgb.Pattern();
    for (int width = 1; width <= 41; ++width) {
        for (int x = 0; x + width <= 41; x += 7) {
            SCOPED_TRACE(testing::Message() << width << " at " << x);
            Surface xrgb(48, 3, 32);
            std::memset(xrgb.bitmap->bits, 0xAB, xrgb.bitmap->stride * 3);
            ASSERT_TRUE(BitBlt(xrgb.dc, 2, 0, width, 3, rgb.dc, x, 0, SRCCOPY));
            for (int y = 0; y < 3; ++y) {
                for (int px = 0; px < 48; ++px) {
                    const unsigned char* p = xrgb.At(px, y);
                    if (px >= 2 && px < 2 + width) {
                        ASSERT_TRUE(xrgb.Is(px, y, x + px - 2, y, (x + px - 2) ^ y)) << px;
                        ASSERT_EQ(p[3], 0) << px;
                    } else {
                        ASSERT_EQ(p[0] & p[1] & p[2] & p[3], 0xAB) << px;
                    }
                }
            }
        }
    }
}

TEST(GdiTest, BitBltWithinOneSurfaceCopiesOverlappingRectanglesWhole) {
    for (const auto& [dx, dy] : {std::pair{0, 1}, {0, -1}, {1, 0}, {-1, 0}, {2, 2}, {-1, -2}}) {
        Surface s(8, 8), original(8, 8);
        s.Pattern();
        original.Pattern();
        EXPECT_TRUE(BitBlt(s.dc, 2 + dx, 2 + dy, 4, 4, s.dc, 2, 2, SRCCOPY));
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const unsigned char* want = original.At(2 + x, 2 + y);
                EXPECT_TRUE(s.Is(2 + dx + x, 2 + dy + y, want[0], want[1], want[2]))
                    << "shift " << dx << ", " << dy << " pixel " << x << ", " << y;
            }
        }
    }
}

// A device context standing in for a window: records what changed.
class RecordingContext : public platform::DeviceContext {
public:
    void Changed(const RECT& rect) override { changes.push_back(rect); }
    std::vector<RECT> changes;
};

TEST(GdiTest, FillSolidRectClipsAndReportsWhatChanged) {
    Surface source(4, 4);
    auto window = std::make_unique<RecordingContext>();
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, 10, 6);
    HGDIOBJ stock = SelectObject(window.get(), bitmap);
    CDC dc;
    ASSERT_TRUE(dc.Attach(window.get()));
    EXPECT_FALSE(dc.Attach(window.get()));

    dc.FillSolidRect(-3, 4, 5, 100, RGB(10, 20, 30));
    const auto pixel = [&](int x, int y) { return bitmap->Row(y) + x * 3; };
    EXPECT_EQ(pixel(1, 5)[0], 30);  // blue first
    EXPECT_EQ(pixel(1, 5)[2], 10);
    EXPECT_EQ(pixel(2, 5)[0], 0);
    ASSERT_EQ(window->changes.size(), 1u);
    EXPECT_EQ(window->changes[0], (RECT{0, 4, 2, 6}));

    const int values[] = {INT_MIN, -1, 0, 7, INT_MAX};
    for (int x : values) {
        for (int w : values) {
            dc.FillSolidRect(x, x, w, w, RGB(1, 1, 1));
            dc.FillSolidRect(w, x, INT_MAX, w, RGB(1, 1, 1));
        }
    }
    window->changes.clear();
    EXPECT_TRUE(BitBlt(window.get(), 8, -1, 4, 4, source.dc, 0, 0, SRCCOPY));
    ASSERT_EQ(window->changes.size(), 1u);
    EXPECT_EQ(window->changes[0], (RECT{8, 0, 10, 3}));

    EXPECT_EQ(dc.Detach(), window.get());
    SelectObject(window.get(), stock);
    DeleteObject(bitmap);
}

}  // namespace
