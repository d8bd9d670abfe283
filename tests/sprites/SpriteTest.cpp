// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "sprites/Sprite.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempDir.h"

namespace {

using Messages = std::vector<std::string>;

const COLORREF kKey = RGB(255, 0, 255);
const char* const kOnly24Bit = "Die Spritebibliothek unterstützt nur Bitmaps mit 24-Bit Farbtiefe";

// A w × h picture in the key colour with the given pixels (x, y, colour) set.
std::string Picture(const TempDir& dir, const std::string& name, int w, int h,
                    std::vector<std::tuple<int, int, COLORREF>> pixels = {}) {
    return dir.Write(name, MakeBmp({.width = w, .height = h, .pixel = [pixels](int x, int y) {
                                        for (const auto& [px, py, c] : pixels) {
                                            if (px == x && py == y) return c;
                                        }
                                        return kKey;
                                    }}));
}

void ExpectState(const CSprite& s, int x, int y, int fw, int fh, int col, int row, int depth,
                 float alpha, int key, RECT dirty) {
    EXPECT_EQ(s.m_nX, x);
    EXPECT_EQ(s.m_nY, y);
    EXPECT_EQ(s.m_nFrameWidth, fw);
    EXPECT_EQ(s.m_nFrameHeight, fh);
    EXPECT_EQ(s.m_nFrameCol, col);
    EXPECT_EQ(s.m_nFrameRow, row);
    EXPECT_EQ(s.m_nDepth, depth);
    EXPECT_EQ(s.m_fAlpha, alpha);
    EXPECT_EQ(s.m_bColorKey, key);
    EXPECT_EQ(s.m_rcDirty, dirty);
}

TEST(SpriteTest, LoadTakesTheFrameSizeAndMarksTheOldAndNewBounds) {
    MessageRecorder messages;
    TempDir dir;
    const std::string big = Picture(dir, "big.bmp", 200, 134);
    CSprite sprite;
    ExpectState(sprite, 0, 0, 0, 0, 0, 0, 50, 1.0f, TRUE, RECT{});
    EXPECT_FALSE(sprite.HasImage());

    sprite.MoveTo(10, 20);  // no frame yet: nothing to mark
    EXPECT_EQ(sprite.m_rcDirty, RECT{});
    ASSERT_EQ(sprite.Load(big.c_str(), FALSE, 0, 0), TRUE);
    ExpectState(sprite, 10, 20, 200, 134, 0, 0, 50, 1.0f, FALSE, (RECT{10, 20, 210, 154}));
    RECT bounds{};
    sprite.GetRect(&bounds);
    EXPECT_EQ(bounds, (RECT{10, 20, 210, 154}));

    // A frame width alone keeps the frame height 0: the sprite then covers nothing. The dirty
    // rectangle is the old bounds with the (empty) new ones; what it held before is dropped.
    sprite.MoveTo(300, 0);
    ASSERT_EQ(sprite.Load(big.c_str(), TRUE, 30, 0), TRUE);
    ExpectState(sprite, 300, 0, 30, 0, 0, 0, 50, 1.0f, TRUE, (RECT{300, 0, 500, 134}));
    for (int x = 300; x < 330; ++x) EXPECT_EQ(sprite.HitTest(x, 0), FALSE);

    ASSERT_EQ(sprite.Load(big.c_str(), TRUE, 0, 40), TRUE);
    EXPECT_EQ(sprite.m_nFrameWidth, 0);
    EXPECT_EQ(sprite.m_nFrameHeight, 40);
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(SpriteTest, LoadSetsTheKeyFlagOnlyAboveDepthZero) {
    TempDir dir;
    const std::string path = Picture(dir, "p.bmp", 4, 4);
    for (const auto& [depth, expected] : {std::pair{0, TRUE}, {-3, TRUE}, {1, FALSE}}) {
        CSprite sprite;
        sprite.SetDepth(depth);
        ASSERT_EQ(sprite.Load(path.c_str(), FALSE), TRUE);
        EXPECT_EQ(sprite.m_bColorKey, expected) << "depth " << depth;
    }
}

TEST(SpriteTest, LoadOfAnotherBitCountWarnsAndKeepsTheImage) {
    MessageRecorder messages;
    TempDir dir;
    const std::string path = dir.Write(
        "pal.bmp", MakeBmp({.width = 6, .height = 2, .bitCount = 8, .paletteEntries = 256}));
    CSprite sprite;
    EXPECT_EQ(sprite.Load(path.c_str()), TRUE);
    EXPECT_EQ(messages.Messages(), Messages{kOnly24Bit});
    EXPECT_EQ(sprite.GetBitCount(), 8);
    EXPECT_EQ(sprite.m_nFrameWidth, 6);
}

TEST(SpriteTest, FailedLoadChangesNoSpriteMember) {
    MessageRecorder messages;
    TempDir dir;
    CSprite sprite;
    ASSERT_EQ(sprite.Load(Picture(dir, "p.bmp", 8, 8).c_str(), TRUE, 4, 4), TRUE);
    sprite.MoveTo(3, 4);
    sprite.SetFrame(1, 1);
    sprite.SetAlpha(0.5f);
    sprite.SetDepth(7);
    const RECT dirty = sprite.m_rcDirty;

    EXPECT_EQ(sprite.Load(dir.File("missing.bmp").c_str(), FALSE, 2, 2), FALSE);
    EXPECT_TRUE(messages.Messages().empty());
    std::vector<std::uint8_t> bad = MakeBmp();
    Put32(bad, 30, 1);  // compressed
    EXPECT_EQ(sprite.Load(dir.Write("bad.bmp", bad).c_str(), FALSE, 2, 2), FALSE);
    EXPECT_EQ(messages.Messages(), Messages{dib_messages::kCompressed});
    ExpectState(sprite, 3, 4, 4, 4, 1, 1, 7, 0.5f, TRUE, dirty);
    EXPECT_EQ(sprite.HitTest(5, 6), FALSE);  // the image is gone; nothing is hit

    EXPECT_EQ(sprite.Load(Picture(dir, "q.bmp", 8, 8).c_str(), TRUE, 4, 4), TRUE);
}

TEST(SpriteTest, HitTestSkipsTheLeftAndTopEdgeAndKeyPixels) {
    TempDir dir;
    // 4 × 4 in the key colour but for a solid 3 × 3 block at (1, 1) with a key hole at (2, 2).
    std::vector<std::tuple<int, int, COLORREF>> pixels;
    for (int y = 1; y < 4; ++y) {
        for (int x = 1; x < 4; ++x)
            pixels.emplace_back(x, y, x == 2 && y == 2 ? kKey : RGB(1, 2, 3));
    }
    CSprite sprite;
    ASSERT_EQ(sprite.Load(Picture(dir, "p.bmp", 4, 4, pixels).c_str()), TRUE);
    sprite.MoveTo(10, 20);
    EXPECT_EQ(sprite.HitTest(10, 22), FALSE);  // left column: never
    EXPECT_EQ(sprite.HitTest(11, 20), FALSE);  // top row: never
    EXPECT_EQ(sprite.HitTest(11, 21), TRUE);   // column 1, row 1 decides
    EXPECT_EQ(sprite.HitTest(13, 23), TRUE);
    EXPECT_EQ(sprite.HitTest(14, 23), FALSE);  // right of the bounds
    EXPECT_EQ(sprite.HitTest(13, 24), FALSE);
    EXPECT_EQ(sprite.HitTest(12, 22), FALSE);  // key hole
    sprite.SetAlpha(0.0f);
    EXPECT_EQ(sprite.HitTest(11, 21), TRUE);  // opacity plays no part
    sprite.m_bColorKey = FALSE;
    EXPECT_EQ(sprite.HitTest(12, 22), TRUE);
}

TEST(SpriteTest, HitTestReadsThePixelOfTheShownFrame) {
    TempDir dir;
    // Frames of 50 × 50 in 3 columns and 2 rows; only image pixel (107, 58) is not key-coloured,
    // and the first pixels beyond frame (2, 0)'s bottom edge and frame (1, 0)'s right edge.
    CSprite sprite;
    ASSERT_EQ(
        sprite.Load(
            Picture(dir, "sheet.bmp", 150, 100,
                    {{107, 58, RGB(0, 0, 0)}, {107, 50, RGB(0, 0, 0)}, {100, 8, RGB(0, 0, 0)}})
                .c_str(),
            TRUE, 50, 50),
        TRUE);
    sprite.MoveTo(100, 100);
    sprite.SetFrame(2, 1);
    EXPECT_EQ(sprite.HitTest(107, 108), TRUE);
    EXPECT_EQ(sprite.HitTest(108, 108), FALSE);
    sprite.SetFrame(0, 0);
    EXPECT_EQ(sprite.HitTest(107, 108), FALSE);
    // The bottom and right edges are outside the frame, also where the sheet goes on.
    sprite.SetFrame(2, 0);
    EXPECT_EQ(sprite.HitTest(107, 150), FALSE);
    sprite.SetFrame(1, 0);
    EXPECT_EQ(sprite.HitTest(150, 108), FALSE);
}

TEST(SpriteTest, HitTestNeverReadsOutsideTheImage) {
    MessageRecorder messages;
    TempDir dir;
    CSprite sprite;
    ASSERT_EQ(sprite.Load(Picture(dir, "p.bmp", 6, 4, {{5, 3, RGB(1, 1, 1)}}).c_str(), TRUE, 3, 2),
              TRUE);
    // Frames beyond the sheet on every side: nothing there to hit.
    for (const auto& [col, row] :
         {std::pair{2, 0}, {0, 2}, {-1, 0}, {0, -1}, {INT_MAX, INT_MAX}, {INT_MIN, 0}}) {
        sprite.m_nFrameCol = col;
        sprite.m_nFrameRow = row;
        for (int y = -1; y <= 3; ++y) {
            for (int x = -1; x <= 4; ++x) EXPECT_EQ(sprite.HitTest(x, y), FALSE);
        }
    }
    sprite.SetFrame(1, 1);
    EXPECT_EQ(sprite.HitTest(2, 1), TRUE);

    // Positions and frame sizes at the ends of the int range.
    const int values[] = {INT_MIN, -1, 0, 1, INT_MAX};
    for (int x : values) {
        for (int fw : values) {
            for (int p : values) {
                sprite.m_nX = sprite.m_nY = x;
                sprite.m_nFrameWidth = sprite.m_nFrameHeight = fw;
                sprite.HitTest(p, p);
                sprite.HitTest(p, INT_MAX);
            }
        }
    }

    // Other bit counts: every point of the frame compares bytes inside the image.
    for (int bits : {8, 16, 32}) {
        CSprite other;
        ASSERT_EQ(
            other.Load(
                dir.Write("o.bmp", MakeBmp({.width = 5, .height = 3, .bitCount = bits})).c_str()),
            TRUE);
        for (int y = 0; y <= 3; ++y) {
            for (int x = 0; x <= 5; ++x) other.HitTest(x, y);
        }
    }
    EXPECT_EQ(messages.Messages(), Messages(3, kOnly24Bit));
}

class SpriteDirtyTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sprite.Load(Picture(dir, "p.bmp", 40, 20).c_str(), TRUE, 20, 20), TRUE);
        sprite.m_rcDirty = RECT{};
    }
    TempDir dir;
    CSprite sprite;
};

TEST_F(SpriteDirtyTest, MoveToMarksTheBoundsBeforeAndAfter) {
    sprite.MoveTo(0, 0);  // no test for an unchanged position
    EXPECT_EQ(sprite.m_rcDirty, (RECT{0, 0, 20, 20}));
    sprite.m_rcDirty = RECT{};
    sprite.MoveTo(50, 10);
    EXPECT_EQ(sprite.m_rcDirty, (RECT{0, 0, 70, 30}));
    sprite.MoveTo(100, -5);
    EXPECT_EQ(sprite.m_rcDirty, (RECT{0, -5, 120, 30}));
    // At the end of the int range the bounds clamp to an empty rectangle instead of wrapping
    // into a huge one: nothing more is marked.
    sprite.MoveTo(INT_MAX, INT_MIN);
    EXPECT_EQ(sprite.m_rcDirty, (RECT{0, -5, 120, 30}));
    sprite.MoveTo(INT_MAX - 10, 0);
    EXPECT_EQ(sprite.m_rcDirty, (RECT{0, -5, INT_MAX, 30}));
}

TEST_F(SpriteDirtyTest, SetFrameMarksTheBoundsOnlyForANewCell) {
    sprite.SetFrame(0, 0);
    EXPECT_EQ(sprite.m_rcDirty, RECT{});
    sprite.SetFrame(1, 0);
    EXPECT_EQ(sprite.m_rcDirty, (RECT{0, 0, 20, 20}));
    sprite.m_rcDirty = RECT{-5, -5, 1, 1};
    sprite.SetFrame(1, 1);
    EXPECT_EQ(sprite.m_rcDirty, (RECT{-5, -5, 20, 20}));
}

TEST_F(SpriteDirtyTest, SetDepthMarksTheBoundsOnlyWhenNothingIsPending) {
    sprite.SetDepth(80);
    EXPECT_EQ(sprite.m_nDepth, 80);
    EXPECT_EQ(sprite.m_rcDirty, (RECT{0, 0, 20, 20}));
    sprite.m_rcDirty = RECT{100, 100, 120, 120};  // only an old position
    sprite.SetDepth(2);
    EXPECT_EQ(sprite.m_rcDirty, (RECT{100, 100, 120, 120}));
}

TEST_F(SpriteDirtyTest, SetAlphaAddsTheBounds) {
    sprite.m_rcDirty = RECT{30, 0, 40, 5};
    sprite.SetAlpha(0.25f);
    EXPECT_EQ(sprite.m_fAlpha, 0.25f);
    EXPECT_EQ(sprite.m_rcDirty, (RECT{0, 0, 40, 20}));
}

TEST(SpriteTest, AssignmentSharesTheImageAndCopiesEveryMember) {
    TempDir dir;
    CSprite first;
    ASSERT_EQ(first.Load(Picture(dir, "a.bmp", 8, 4, {{1, 1, RGB(1, 2, 3)}}).c_str(), FALSE, 4, 4),
              TRUE);
    first.MoveTo(5, 6);
    first.SetFrame(1, 0);
    first.SetDepth(9);
    first.SetAlpha(0.5f);
    CSprite copy;
    copy = first;
    ExpectState(copy, 5, 6, 4, 4, 1, 0, 9, 0.5f, FALSE, first.m_rcDirty);
    EXPECT_EQ(copy.m_pBits, first.m_pBits);
    const CSprite constructed(first);
    ExpectState(constructed, 5, 6, 4, 4, 1, 0, 9, 0.5f, FALSE, first.m_rcDirty);
    EXPECT_EQ(*first.m_pRefCount, 2);

    // Loading another picture into the copy leaves the first sprite's image untouched.
    ASSERT_EQ(copy.Load(Picture(dir, "b.bmp", 2, 2).c_str()), TRUE);
    EXPECT_EQ(PixelAt(first, 1, 1), RGB(1, 2, 3));
    EXPECT_EQ(first.GetWidth(), 8);
    EXPECT_EQ(*first.m_pRefCount, 1);
}

}  // namespace
