// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Wnd.h"
#include "sprites/SpriteList.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/MessageRecorder.h"

namespace {

using Messages = std::vector<std::string>;

const COLORREF kGrey = RGB(128, 128, 128);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kMarker = RGB(1, 2, 3);

// An opaque single-frame sprite of one colour.
CSprite Solid(int w, int h, COLORREF colour, int depth, int x = 0, int y = 0) {
    CSprite sprite;
    sprite.CreateFilled(nullptr, w, h, colour);
    sprite.m_nFrameWidth = w;
    sprite.m_nFrameHeight = h;
    sprite.m_bColorKey = FALSE;
    sprite.m_nDepth = depth;
    sprite.m_nX = x;
    sprite.m_nY = y;
    return sprite;
}

std::vector<CSprite*> Order(const CSpriteList& list) {
    std::vector<CSprite*> out;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        out.push_back(static_cast<CSprite*>(list.GetNext(pos)));
    }
    return out;
}

std::vector<int> Depths(const CSpriteList& list) {
    std::vector<int> out;
    for (CSprite* s : Order(list)) out.push_back(s->m_nDepth);
    return out;
}

void ClearDirty(const CSpriteList& list) {
    for (CSprite* s : Order(list)) s->m_rcDirty = RECT{};
}

// The window's main list: a 100 × 60 back buffer under an opaque grey background sprite.
struct Scene {
    CDIB backBuffer = MakeDib(100, 60, RGB(0, 0, 0));
    CSprite background = Solid(100, 60, kGrey, 3);
    CSpriteList list;
    Scene() {
        list.m_pBackground = &backBuffer;
        list.Insert(&background);
    }
};

TEST(SpriteListTest, InsertingASpriteTwiceIsRefusedOnce) {
    MessageRecorder messages;
    Scene scene;
    CSprite s = Solid(5, 5, kRed, 50);
    EXPECT_EQ(scene.list.Insert(&s), TRUE);
    EXPECT_EQ(scene.list.Insert(&s), FALSE);
    EXPECT_EQ(messages.Messages(),
              Messages{"Ein Sprite sollte nicht mehrmals in die Liste aufgenommen werden"});
    EXPECT_EQ(Order(scene.list), (std::vector<CSprite*>{&scene.background, &s}));
}

TEST(SpriteListTest, NewSpritesGoBehindSpritesOfEqualDepth) {
    CSpriteList list;
    CSprite s1 = Solid(5, 5, kRed, 50), s2 = Solid(5, 5, kRed, 10), s3 = Solid(5, 5, kRed, 50);
    list.Insert(&s1);
    list.Insert(&s2);
    list.Insert(&s3);
    EXPECT_EQ(Order(list), (std::vector<CSprite*>{&s2, &s3, &s1}));
}

TEST(SpriteListTest, InsertComposesTheSpriteAndMarksItsAreaOnTheFirstSprite) {
    Scene scene;
    EXPECT_EQ(PixelAt(scene.backBuffer, 99, 59), kGrey);
    scene.background.m_rcDirty = RECT{};
    CSprite red = Solid(20, 20, kRed, 50, 10, 10);
    scene.list.Insert(&red);
    EXPECT_EQ(PixelAt(scene.backBuffer, 10, 10), kRed);
    EXPECT_EQ(PixelAt(scene.backBuffer, 29, 29), kRed);
    EXPECT_EQ(PixelAt(scene.backBuffer, 30, 29), kGrey);
    EXPECT_EQ(scene.background.m_rcDirty, (RECT{10, 10, 30, 30}));
    EXPECT_EQ(red.m_rcDirty, RECT{});
}

TEST(SpriteListTest, GetSpriteAtFindsTheFrontmostVisibleSprite) {
    Scene scene;
    EXPECT_EQ(scene.list.GetSpriteAt(50, 30), &scene.background);
    CSprite low = Solid(20, 20, kRed, 40, 10, 10);
    CSprite high = Solid(20, 20, kRed, 60, 15, 15);
    CSprite sameAsHigh = Solid(20, 20, kRed, 60, 15, 15);
    scene.list.Insert(&low);
    scene.list.Insert(&high);
    scene.list.Insert(&sameAsHigh);  // equal depth, inserted later: behind `high`
    EXPECT_EQ(scene.list.GetSpriteAt(20, 20), &high);
    EXPECT_EQ(scene.list.GetSpriteAt(12, 12), &low);
    EXPECT_EQ(scene.list.GetSpriteAt(-1, 5), nullptr);

    // A key-coloured pixel of the front sprite lets the one behind it be hit.
    high.m_bColorKey = TRUE;  // pixel (0, 0) is the key: the whole sprite is key-coloured
    EXPECT_EQ(scene.list.GetSpriteAt(20, 20), &sameAsHigh);

    const CSpriteList empty;
    EXPECT_EQ(empty.GetSpriteAt(0, 0), nullptr);
}

TEST(SpriteListTest, UpdateComposesAndCopiesExactlyTheUnionOfTheDirtyAreas) {
    Scene scene;
    CSprite red = Solid(20, 20, kRed, 50, 10, 10);
    scene.list.Insert(&red);
    scene.list.Update(nullptr);
    EXPECT_EQ(scene.background.m_rcDirty, RECT{});

    CDIB screen = MakeDib(100, 60, kMarker);
    red.MoveTo(50, 10);
    scene.list.Update(screen.m_pDC);
    for (CSprite* s : Order(scene.list)) EXPECT_EQ(s->m_rcDirty, RECT{});
    // The back buffer shows the move...
    EXPECT_EQ(PixelAt(scene.backBuffer, 10, 10), kGrey);
    EXPECT_EQ(PixelAt(scene.backBuffer, 50, 10), kRed);
    // ...and exactly the rectangle (10, 10, 70, 30) reached the screen.
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 100; ++x) {
            const bool inside = x >= 10 && x < 70 && y >= 10 && y < 30;
            ASSERT_EQ(PixelAt(screen, x, y), inside ? PixelAt(scene.backBuffer, x, y) : kMarker)
                << x << ", " << y;
        }
    }
}

TEST(SpriteListTest, UpdateWithoutATargetStillComposesAndClears) {
    Scene scene;
    CSprite red = Solid(20, 20, kRed, 50, 10, 10);
    scene.list.Insert(&red);
    ClearDirty(scene.list);
    red.MoveTo(60, 30);
    scene.list.Update(nullptr);
    EXPECT_EQ(PixelAt(scene.backBuffer, 10, 10), kGrey);
    EXPECT_EQ(PixelAt(scene.backBuffer, 79, 49), kRed);
    EXPECT_EQ(red.m_rcDirty, RECT{});
}

TEST(SpriteListTest, OutOfOrderDepthsMoveOneStepPerUpdate) {
    Scene scene;
    scene.list.m_pBackground = &scene.backBuffer;
    CSprite a = Solid(10, 10, RGB(1, 0, 0), 1, 40, 20);
    CSprite b = Solid(10, 10, RGB(2, 0, 0), 10, 40, 20);
    CSprite c = Solid(10, 10, RGB(3, 0, 0), 20, 40, 20);
    CSprite d = Solid(10, 10, RGB(4, 0, 0), 30, 40, 20);
    CSpriteList& list = scene.list;
    list.RemoveAll();  // without the background sprite: just the four
    for (CSprite* s : {&a, &b, &c, &d}) list.Insert(s);
    b.SetDepth(50);
    c.SetDepth(40);
    d.SetDepth(45);
    ClearDirty(list);
    CWnd window;
    list.m_pFpsWnd = &window;
    const auto previous = platform::SetClockSource([] { return DWORD{1000}; });
    list.CountFrame();
    const int frames = list.m_nFrameCount;

    list.Update(nullptr);
    EXPECT_EQ(Depths(list), (std::vector<int>{1, 40, 50, 45}));
    // One pass for the final composition and two for the sprite that moved.
    EXPECT_EQ(list.m_nFrameCount, frames + 3);
    // The moved area waits on the first sprite for the next update.
    EXPECT_EQ(a.m_rcDirty, (RECT{40, 20, 50, 30}));
    EXPECT_EQ(PixelAt(scene.backBuffer, 45, 25), RGB(4, 0, 0));  // the tail is in front

    list.Update(nullptr);
    EXPECT_EQ(Depths(list), (std::vector<int>{1, 40, 45, 50}));
    EXPECT_EQ(PixelAt(scene.backBuffer, 45, 25), RGB(2, 0, 0));
    list.Update(nullptr);
    EXPECT_EQ(Depths(list), (std::vector<int>{1, 40, 45, 50}));
    EXPECT_EQ(a.m_rcDirty, RECT{});

    // A negative first depth is re-inserted on every update: the walk starts at depth 0.
    a.m_nDepth = -1;
    const int before = list.m_nFrameCount;
    list.Update(nullptr);
    EXPECT_EQ(list.m_nFrameCount, before + 3);
    EXPECT_EQ(Order(list).front(), &a);
    platform::SetClockSource(previous);

    // Equal depths are in order: the sprite after a moved one of the same depth stays where it
    // is until a later update finds it behind a greater depth.
    list.RemoveAll();
    a.m_nDepth = 1;
    b.m_nDepth = 10;
    c.m_nDepth = 20;
    d.m_nDepth = 30;
    for (CSprite* s : {&a, &b, &c, &d}) list.Insert(s);
    b.SetDepth(50);
    c.SetDepth(40);
    d.SetDepth(40);
    list.Update(nullptr);
    EXPECT_EQ(Order(list), (std::vector<CSprite*>{&a, &c, &b, &d}));
    list.Update(nullptr);
    EXPECT_EQ(Order(list), (std::vector<CSprite*>{&a, &d, &c, &b}));
    list.Update(nullptr);
    EXPECT_EQ(Order(list), (std::vector<CSprite*>{&a, &d, &c, &b}));
}

TEST(SpriteListTest, UpdateWithNothingChangedCopiesNothingAndCountsOneFrame) {
    Scene scene;
    CWnd window;
    scene.list.m_pFpsWnd = &window;
    const auto previous = platform::SetClockSource([] { return DWORD{500}; });
    scene.list.Update(nullptr);
    const int frames = scene.list.m_nFrameCount;
    CDIB screen = MakeDib(100, 60, kMarker);
    scene.list.Update(screen.m_pDC);
    EXPECT_EQ(scene.list.m_nFrameCount, frames + 1);
    EXPECT_EQ(PixelAt(screen, 0, 0), kMarker);
    EXPECT_EQ(PixelAt(screen, 99, 59), kMarker);
    platform::SetClockSource(previous);
}

TEST(SpriteListTest, RedrawComposesEverythingAndClearsEveryDirtyArea) {
    Scene scene;
    CSprite red = Solid(20, 20, kRed, 50, 90, 50);  // partly outside the back buffer
    scene.list.Insert(&red);
    red.MoveTo(0, 0);
    scene.background.SetAlpha(1.0f);
    SetPixel(scene.backBuffer, 50, 50, RGB(9, 9, 9));  // stale content gets painted over
    CDIB screen = MakeDib(100, 60, kMarker);
    scene.list.Redraw(screen.m_pDC);
    EXPECT_EQ(PixelAt(scene.backBuffer, 50, 50), kGrey);
    EXPECT_EQ(PixelAt(scene.backBuffer, 95, 55), kGrey);
    EXPECT_EQ(PixelAt(scene.backBuffer, 19, 19), kRed);
    for (const auto& [x, y] : {std::pair{0, 0}, {50, 50}, {99, 59}}) {
        EXPECT_EQ(PixelAt(screen, x, y), PixelAt(scene.backBuffer, x, y));
    }
    for (CSprite* s : Order(scene.list)) EXPECT_EQ(s->m_rcDirty, RECT{});

    red.MoveTo(5, 5);
    scene.list.Redraw(nullptr);  // nowhere to paint: the back buffer is still brought up to date
    EXPECT_EQ(PixelAt(scene.backBuffer, 24, 24), kRed);
    EXPECT_EQ(red.m_rcDirty, RECT{});
}

TEST(SpriteListTest, AListWithoutBackgroundOnlyKeepsOrder) {
    CSpriteList list;
    CSprite first = Solid(5, 5, kRed, 1, 0, 0);
    CSprite second = Solid(5, 5, kRed, 80, 30, 40);
    list.Insert(&first);
    first.m_rcDirty = RECT{};
    list.Insert(&second);
    EXPECT_EQ(Order(list), (std::vector<CSprite*>{&first, &second}));
    EXPECT_EQ(first.m_rcDirty, (RECT{30, 40, 35, 45}));
    second.MoveTo(31, 40);
    second.SetDepth(0);
    list.Update(nullptr);
    list.Compose(nullptr);
    EXPECT_EQ(Order(list), (std::vector<CSprite*>{&first, &second}));
    EXPECT_EQ(first.m_rcDirty, (RECT{30, 40, 35, 45}));
    EXPECT_EQ(second.m_rcDirty, (RECT{30, 40, 36, 45}));
    list.Redraw(nullptr);
    EXPECT_EQ(first.m_rcDirty, RECT{});
    EXPECT_EQ(second.m_rcDirty, RECT{});
}

TEST(SpriteListTest, FrameRateShowsInTheWindowTitleMoreThanOnceASecond) {
    DWORD now = 5000;
    const auto previous = platform::SetClockSource([&now] { return now; });
    CSpriteList list;
    EXPECT_EQ(list.CountFrame(), 0.0f);  // no window: no counting
    EXPECT_EQ(list.m_nFrameCount, 0);

    CWnd window;
    list.m_pFpsWnd = &window;
    list.CountFrame();  // counting starts when the window is first seen
    for (int pass = 1; pass < 30; ++pass) {
        now = 5000 + static_cast<DWORD>(pass) * 1000 / 29;  // the 29th pass comes at 6000
        list.CountFrame();
        ASSERT_EQ(window.GetWindowText(), "") << pass;
    }
    now = 6500;
    EXPECT_FLOAT_EQ(list.CountFrame(), 20.0f);
    EXPECT_EQ(window.GetWindowText(), "20.00 fps");
    EXPECT_EQ(list.m_nFrameCount, 0);
    EXPECT_EQ(list.m_dwLastTime, 6500u);

    // The rate is one value for the program: another list with a window reports it too.
    CSpriteList other;
    CWnd otherWindow;
    other.m_pFpsWnd = &otherWindow;
    EXPECT_FLOAT_EQ(other.CountFrame(), 20.0f);
    EXPECT_EQ(otherWindow.GetWindowText(), "");

    // The clock wraps at 2^32 without harm: 3 passes in 1500 ms.
    list.m_dwLastTime = 0xFFFFFD00u;
    list.m_nFrameCount = 0;
    now = 0xFFFFFF00u;
    list.CountFrame();
    list.CountFrame();
    now = 0xFFFFFD00u + 1500u;  // past 2^32
    EXPECT_FLOAT_EQ(list.CountFrame(), 2.0f);
    EXPECT_EQ(window.GetWindowText(), "2.00 fps");
    platform::SetClockSource(previous);
}

TEST(SpriteListTest, HostileSpritesAreClippedOrReportedNeverDrawnOutOfBounds) {
    MessageRecorder messages;
    Scene scene;
    CSprite sheet = Solid(40, 20, kRed, 50);
    sheet.m_nFrameWidth = sheet.m_nFrameHeight = 20;
    const int values[] = {INT_MIN, -15, 0, 95, INT_MAX};
    std::vector<CSprite> sprites(25, sheet);
    std::size_t i = 0;
    for (int x : values) {
        for (int v : values) {
            CSprite& s = sprites[i++];
            s.MoveTo(x, v);
            s.m_nFrameCol = v;  // most of these frames lie outside the sheet
            s.m_nFrameRow = x == 0 ? 0 : 1;
            if (v == INT_MAX) s.m_nFrameWidth = INT_MAX;
            scene.list.Insert(&s);
        }
    }
    CDIB screen = MakeDib(100, 60, kMarker);
    scene.list.Update(screen.m_pDC);
    scene.list.Redraw(screen.m_pDC);
    scene.list.Compose(nullptr);
    const RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    scene.list.Compose(&huge);
    scene.list.GetSpriteAt(INT_MAX, INT_MIN);
    scene.list.GetSpriteAt(5, 5);
    for (CSprite& s : sprites) s.MoveTo(INT_MAX, INT_MAX);
    scene.list.Update(screen.m_pDC);
    // Frames outside the sheet are reported by the addition; drawing stayed in the images.
    EXPECT_FALSE(messages.Messages().empty());
    for (const std::string& m : messages.Messages()) {
        EXPECT_EQ(m, "der Bildbereich für die Spriteaddition ist ungültig");
    }
}

}  // namespace

namespace {

// What composing must give: every sprite meeting the area added in list order, none left out.
void ComposeEveryOne(const CSpriteList& list, CDIB& into, const RECT& area) {
    for (CSprite* s : Order(list)) {
        RECT part{};
        s->GetRect(&part);
        if (!IntersectRect(&part, &part, &area)) continue;
        s->AddSpriteTo(&into, part.left, part.top, part.right - part.left, part.bottom - part.top,
                       s->m_nFrameCol * s->m_nFrameWidth + (part.left - s->m_nX),
                       s->m_nFrameRow * s->m_nFrameHeight + (part.top - s->m_nY), s->m_fAlpha,
                       s->m_bColorKey);
    }
}

TEST(SpriteListTest, SpritesHiddenBehindOpaqueOnesAreLeftOutWithoutChangingAPixel) {
    // Layers as in the game: start tiles under the background, a grid of opaque tiles in front
    // of it (sometimes with a gap), keyed and half-transparent sprites between and above, at
    // random places, large enough that the compositor leaves out and cuts around what is hidden.
    std::srand(7);
    constexpr int kWidth = 240, kHeight = 160;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        CDIB backBuffer = MakeDib(kWidth, kHeight, RGB(0, 0, 0));
        CSprite background = Solid(kWidth, kHeight, kGrey, 3);
        CSpriteList list;
        list.m_pBackground = &backBuffer;
        list.Insert(&background);
        std::vector<CSprite> sprites;
        sprites.reserve(256);
        for (int k = 0; k < 24; ++k) {
            sprites.push_back(Solid(40, 40, RGB(k * 10, 9, 9), 1, (k % 6) * 40, (k / 6) * 40));
        }
        for (int c = 0; c < 8; ++c) {
            for (int r = 0; r < 6; ++r) {
                if (c == 2 && r == 1 && round % 2 == 0) continue;  // a gap shows what lies behind
                // The last column is wider: a group of tiles of two shapes.
                sprites.push_back(Solid(c == 7 ? 30 : 20, 20, RGB(30 * c, 40 * r, 200), 80,
                                        60 + 20 * c, 10 + 20 * r + round % 3));
            }
        }
        // An opaque sprite in front of part of the grid hides some tiles wholly, some partly.
        sprites.push_back(
            Solid(70, 70, RGB(9, 200, 9), 90, 40 + std::rand() % 150, std::rand() % 120 - 20));
        for (int k = 0; k < 40; ++k) {
            CSprite s = Solid(8 + std::rand() % 60, 8 + std::rand() % 50,
                              RGB(std::rand() % 256, std::rand() % 256, 7), std::rand() % 120,
                              std::rand() % 260 - 10, std::rand() % 180 - 10);
            // Key-coloured pixels make the keyed ones see-through in places.
            if (k % 3 != 0) {
                s.m_bColorKey = TRUE;
                SetPixel(s, 0, 0, RGB(255, 0, 255));
                SetPixel(s, 1, 1, RGB(255, 0, 255));
                SetPixel(s, s.GetWidth() / 2, s.GetHeight() / 2, RGB(255, 0, 255));
            }
            if (k % 4 == 1) s.m_fAlpha = 0.37f;
            sprites.push_back(s);
        }
        // Nearly opaque without a key: large enough to count as an occluder, but it hides nothing.
        CSprite veil = Solid(90, 70, RGB(250, 250, 20), 85, 50 + round * 4, 15 + round % 5);
        veil.m_fAlpha = 0.9f;
        sprites.push_back(veil);
        for (CSprite& s : sprites) list.Insert(&s);

        for (const RECT area : {RECT{0, 0, kWidth, kHeight}, RECT{55, 5, 235, 135},
                                RECT{61, 12, 63, 14}, RECT{-20, -20, 300, 300}}) {
            CDIB expected = MakeDib(kWidth, kHeight, kMarker);
            ComposeEveryOne(list, expected, area);
            CDIB composed = MakeDib(kWidth, kHeight, kMarker);
            list.m_pBackground = &composed;
            list.Compose(&area);
            list.m_pBackground = &backBuffer;
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    ASSERT_EQ(PixelAt(composed, x, y), PixelAt(expected, x, y)) << x << "," << y;
                }
            }
        }
    }
}

TEST(SpriteListTest, GridsOfTilesFromAFrameSheetLandPixelForPixelAtEveryWidth) {
    // Opaque neighbours are copied straight from their pictures, reordered as the back buffer
    // lies in memory: every row of every tile must come from its own frame and land at its own
    // place, whatever the width (a row takes one to several moves) and the order of the list.
    constexpr int kFrames = 3, kHeight = 5;
    for (int width = 1; width <= 70; ++width) {
        SCOPED_TRACE(width);
        CSprite sheet;
        sheet.CreateFilled(nullptr, width * kFrames, kHeight, 0);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < width * kFrames; ++x) SetPixel(sheet, x, y, RGB(x, y * 40, 99));
        }
        sheet.m_nFrameWidth = width;
        sheet.m_nFrameHeight = kHeight;
        sheet.m_bColorKey = FALSE;
        sheet.m_nDepth = 80;
        constexpr int kColumns = 6, kRows = 3, kLeft = 7, kTop = 2;
        CDIB backBuffer =
            MakeDib(kLeft + width * kColumns + 3, kTop + kHeight * kRows + 2, kMarker);
        CSpriteList list;
        list.m_pBackground = &backBuffer;
        std::vector<CSprite> tiles(kColumns * kRows, sheet);
        // The grid listed top down and left to right, the other way round, or in no order.
        std::vector<int> cells(kColumns * kRows);
        std::iota(cells.begin(), cells.end(), 0);
        if (width % 3 == 1) std::reverse(cells.begin(), cells.end());
        if (width % 3 == 2) std::shuffle(cells.begin(), cells.end(), std::mt19937(width));
        for (int k = 0; k < kColumns * kRows; ++k) {
            const int cell = cells[k];
            tiles[k].SetFrame((cell * 7) % kFrames, 0);
            tiles[k].MoveTo(kLeft + (cell % kColumns) * width, kTop + (cell / kColumns) * kHeight);
            list.Insert(&tiles[k]);
        }
        const RECT whole{0, 0, backBuffer.GetWidth(), backBuffer.GetHeight()};
        list.Compose(&whole);
        for (int y = 0; y < backBuffer.GetHeight(); ++y) {
            for (int x = 0; x < backBuffer.GetWidth(); ++x) {
                const int column = (x - kLeft) / width, row = (y - kTop) / kHeight;
                COLORREF expected = kMarker;
                if (x >= kLeft && y >= kTop && column < kColumns && row < kRows) {
                    const int frame = ((row * kColumns + column) * 7) % kFrames;
                    expected =
                        RGB(frame * width + (x - kLeft) % width, ((y - kTop) % kHeight) * 40, 99);
                }
                ASSERT_EQ(PixelAt(backBuffer, x, y), expected) << x << "," << y;
            }
        }
    }
}

TEST(SpriteListTest, ARefusalsMessageBoxMayComposeTheListAgain) {
    // The message box of a refused sprite runs timer ticks, and a tick updates the same list.
    Scene scene;
    CSprite broken = Solid(20, 20, kRed, 50, 10, 10);
    broken.m_nFrameCol = 3;  // outside its sheet: refused with a message
    CSprite moving = Solid(10, 10, RGB(0, 0, 255), 60, 40, 20);
    scene.list.Insert(&moving);
    int nested = 0;
    const auto previous = platform::SetMessageBoxHandler([&](const std::string&, unsigned) {
        if (nested++ < 3) {
            moving.MoveTo(40 + nested, 20);
            scene.list.Update(nullptr);
        }
        return IDOK;
    });
    scene.list.Insert(&broken);
    scene.list.Redraw(nullptr);
    platform::SetMessageBoxHandler(previous);
    EXPECT_GE(nested, 3);
    EXPECT_EQ(PixelAt(scene.backBuffer, 45, 25), RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(scene.backBuffer, 15, 15), kGrey);
}

}  // namespace
