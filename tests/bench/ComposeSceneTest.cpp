// SPDX-License-Identifier: GPL-3.0-or-later
// The compositor's race against SDL's blitter is fair only if both draw the same picture: every
// scene, in every SDL surface configuration the benchmark may pick, gives the sprite list's pixels
// (blends may differ by one step per channel, as SDL rounds its alpha arithmetic differently).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "bench/scenes/ComposeScene.h"
#include "bench/scenes/SdlScene.h"

namespace {

// Largest difference of any channel over the scene's area, and how many pixels differ at all.
struct Difference {
    int largest = 0;
    int pixels = 0;
};

Difference Compare(const ComposeScene& scene, const SdlScene& sdl, SceneKind kind) {
    Difference difference;
    const RECT area = scene.Area(kind);
    for (int y = area.top; y < area.bottom && y < 500; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const unsigned char* ours = scene.backBuffer.GetPixelAddress(x, y);
            unsigned char theirs[3];
            sdl.PixelAt(x, y, theirs);
            int largest = 0;
            for (int c = 0; c < 3; ++c) largest = std::max(largest, std::abs(ours[c] - theirs[c]));
            difference.largest = std::max(difference.largest, largest);
            difference.pixels += largest > 0 ? 1 : 0;
        }
    }
    return difference;
}

TEST(ComposeSceneTest, SdlDrawsTheSamePixelsInEveryConfiguration) {
    ComposeScene scene;
    for (const SdlConfig config : {SdlConfig{24, false}, SdlConfig{24, true}, SdlConfig{32, false},
                                   SdlConfig{32, true}}) {
        SCOPED_TRACE(config.Name());
        SdlScene sdl(scene, config);
        for (const SceneKind kind :
             {SceneKind::FullRedraw, SceneKind::BoardUpdate, SceneKind::SealStep}) {
            SCOPED_TRACE(static_cast<int>(kind));
            for (int frame = 0; frame < 3; ++frame) {
                scene.Advance(kind);
                scene.Compose(kind);
                sdl.Render(kind);
                const Difference difference = Compare(scene, sdl, kind);
                EXPECT_LE(difference.largest, 1) << difference.pixels << " pixels differ";
            }
        }
    }
}

// The scene is worth racing on: the sprite list really drew the control column, the board and the
// seal, not a blank buffer.
TEST(ComposeSceneTest, TheSceneShowsWhatTheGameShows) {
    ComposeScene scene;
    scene.Compose(SceneKind::FullRedraw);
    const std::vector<const CSprite*> order = scene.DrawingOrder();
    ASSERT_EQ(order.size(), 1u + 100u + 400u + 12u);
    for (std::size_t i = 1; i < order.size(); ++i) {
        EXPECT_LE(order[i - 1]->m_nDepth, order[i]->m_nDepth) << i;
    }
    int distinct = 0;
    const unsigned char* first = scene.backBuffer.GetPixelAddress(0, 0);
    for (int y = 0; y < 500; y += 7) {
        for (int x = 0; x < 700; x += 7) {
            const unsigned char* p = scene.backBuffer.GetPixelAddress(x, y);
            distinct += (p[0] != first[0] || p[1] != first[1] || p[2] != first[2]) ? 1 : 0;
        }
    }
    EXPECT_GT(distinct, 1000);
}

}  // namespace
