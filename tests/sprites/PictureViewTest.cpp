// SPDX-License-Identifier: GPL-3.0-or-later
// Large sprite pictures view their files instead of reading them. These tests hold that a view
// behaves like a picture read into memory of its own, whatever happens to its file.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "sprites/Sprite.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kWidth = 300;  // 900 bytes a row: no row ends on a page boundary
constexpr int kHeight = 200;
constexpr std::size_t kPixelOffset = 54;
constexpr std::size_t kStride = 900;

COLORREF Pattern(int x, int y) {
    return RGB(static_cast<BYTE>(x * 7 + 1), static_cast<BYTE>(y * 3 + 1),
               static_cast<BYTE>((x ^ y) | 1));
}

std::string WritePicture(const TempDir& dir, const std::string& name) {
    return dir.Write(name, MakeBmp({.width = kWidth, .height = kHeight, .pixel = Pattern}));
}

// Whether the process has the file at path mapped.
bool Mapped(const std::string& path) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.size() >= path.size() &&
            line.compare(line.size() - path.size(), path.size(), path) == 0) {
            return true;
        }
    }
    return false;
}

// Where pixel (x, y), y = 0 the top row, lies in the file.
std::size_t FileOffset(int x, int y) {
    return kPixelOffset + static_cast<std::size_t>(kHeight - 1 - y) * kStride +
           static_cast<std::size_t>(x) * 3;
}

TEST(PictureViewTest, OnlySpritesViewTheirFileAndOnlyWhileTheyHoldThePicture) {
    TempDir dir;
    const std::string path = WritePicture(dir, "large.bmp");
    {
        CDIB image;
        ASSERT_TRUE(image.Load(path.c_str()));
        EXPECT_FALSE(Mapped(path));  // an image may be drawn into: it has memory of its own
        EXPECT_EQ(PixelAt(image, 123, 45), Pattern(123, 45));
    }
    {
        CSprite sprite;
        ASSERT_TRUE(sprite.Load(path.c_str(), FALSE));
        EXPECT_TRUE(Mapped(path));
        for (int y = 0; y < kHeight; y += 7) {
            for (int x = 0; x < kWidth; x += 5) ASSERT_EQ(PixelAt(sprite, x, y), Pattern(x, y));
        }
        CSprite copy = sprite;  // shares the picture
        sprite.Load(WritePicture(dir, "other.bmp").c_str(), FALSE);
        EXPECT_TRUE(Mapped(path));
        EXPECT_EQ(PixelAt(copy, kWidth - 1, 0), Pattern(kWidth - 1, 0));
    }
    EXPECT_FALSE(Mapped(path));
}

TEST(PictureViewTest, DrawingIntoAViewedPictureNeverReachesItsFile) {
    TempDir dir;
    const std::string path = WritePicture(dir, "large.bmp");
    const std::vector<std::uint8_t> before = ReadFileBytes(path);
    CSprite sprite;
    ASSERT_TRUE(sprite.Load(path.c_str(), FALSE));
    SetPixel(sprite, 10, 20, RGB(1, 2, 3));
    EXPECT_EQ(PixelAt(sprite, 10, 20), RGB(1, 2, 3));
    EXPECT_EQ(ReadFileBytes(path), before);

    // Nor does the file's change reach a second sprite's copy of the drawn pixel.
    CSprite second;
    ASSERT_TRUE(second.Load(path.c_str(), FALSE));
    EXPECT_EQ(PixelAt(second, 10, 20), Pattern(10, 20));
}

TEST(PictureViewTest, SavingAPictureOverItsOwnFileWritesEveryPixel) {
    TempDir dir;
    const std::string path = WritePicture(dir, "large.bmp");
    CSprite sprite;
    ASSERT_TRUE(sprite.Load(path.c_str(), FALSE));
    SetPixel(sprite, 0, 0, RGB(9, 8, 7));
    // Saving empties the file first; the picture must not lose the pixels it shows.
    ASSERT_TRUE(sprite.Save(path.c_str()));

    CDIB saved;
    ASSERT_TRUE(saved.Load(path.c_str()));
    EXPECT_EQ(PixelAt(saved, 0, 0), RGB(9, 8, 7));
    EXPECT_EQ(PixelAt(sprite, 0, 0), RGB(9, 8, 7));
    for (int y = 0; y < kHeight; y += 3) {
        for (int x = 1; x < kWidth; x += 11) {
            ASSERT_EQ(PixelAt(saved, x, y), Pattern(x, y)) << x << "," << y;
            ASSERT_EQ(PixelAt(sprite, x, y), Pattern(x, y)) << x << "," << y;
        }
    }
}

TEST(PictureViewTest, APictureWhoseFileIsShortenedElsewhereShowsBlackWhereThePixelsWent) {
    TempDir dir;
    const std::string path = WritePicture(dir, "large.bmp");
    CSprite sprite;
    ASSERT_TRUE(sprite.Load(path.c_str(), FALSE));
    // As another program would, past the file API: the kept part ends inside a page.
    const auto kept = static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) * 5 + 1000;
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kept)), 0);

    int black = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::size_t at = FileOffset(x, y);
            if (at + 3 <= kept) {
                ASSERT_EQ(PixelAt(sprite, x, y), Pattern(x, y)) << x << "," << y;
            } else if (at >= kept) {
                ASSERT_EQ(PixelAt(sprite, x, y), RGB(0, 0, 0)) << x << "," << y;
                ++black;
            }
        }
    }
    EXPECT_GT(black, kWidth * (kHeight - 30));
    // The picture can still be drawn into and saved elsewhere.
    SetPixel(sprite, 5, 5, RGB(200, 100, 50));
    EXPECT_EQ(PixelAt(sprite, 5, 5), RGB(200, 100, 50));
    EXPECT_TRUE(sprite.Save(dir.File("copy.bmp").c_str()));
}

TEST(PictureViewTest, MorePicturesThanViewsAreReadInstead) {
    TempDir dir;
    const std::string path = WritePicture(dir, "large.bmp");
    std::vector<CSprite> sprites(100);
    for (CSprite& sprite : sprites) ASSERT_TRUE(sprite.Load(path.c_str(), FALSE));
    for (const CSprite& sprite : sprites) {
        ASSERT_EQ(PixelAt(sprite, kWidth - 1, kHeight - 1), Pattern(kWidth - 1, kHeight - 1));
        ASSERT_EQ(PixelAt(sprite, 0, 0), Pattern(0, 0));
    }
}

// A bus error that is not a picture's still ends the program, as it would without views.
void TouchAMappingBeyondItsFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    void* mapping = mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0);
    if (mapping == MAP_FAILED) std::_Exit(0);  // no mapping: the test cannot fail this way
    const volatile unsigned char byte = *static_cast<volatile unsigned char*>(mapping);
    (void)byte;
    std::_Exit(0);
}

TEST(PictureViewDeathTest, BusErrorsOutsidePicturesStillEndTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDir dir;
    const std::string path = WritePicture(dir, "large.bmp");
    const std::string empty = dir.File("empty");
    const auto withAView = [&] {
        static CSprite sprite;
        if (!sprite.Load(path.c_str(), FALSE) || !Mapped(path)) std::_Exit(0);
    };
    EXPECT_DEATH(
        {
            withAView();
            TouchAMappingBeyondItsFile(empty);
        },
        "");
    EXPECT_DEATH(
        {
            withAView();
            std::raise(SIGBUS);
            std::_Exit(0);
        },
        "");
}

}  // namespace
