// Composition speed of the sprite list on the game's three typical scenes, in a 700 × 500 back
// buffer: a full redraw, an update of the whole board, and one step of the seal.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <vector>

#include "platform/MessageBox.h"
#include "sprites/DIB.h"
#include "sprites/Sprite.h"
#include "sprites/SpriteList.h"

namespace {

// A sheet of w × h frames with a key-coloured corner and background and an opaque shape, like the
// game's keyed pictures.
CSprite MakeKeyedSprite(int w, int h) {
    CSprite sprite;
    sprite.CreateFilled(nullptr, w, h, RGB(255, 0, 255));
    for (int y = h / 6; y < h - h / 6; ++y) {
        for (int x = w / 8; x < w - w / 8; ++x) {
            unsigned char* p = sprite.GetPixelAddress(x, y);
            p[0] = static_cast<unsigned char>(x * 7);
            p[1] = static_cast<unsigned char>(y * 3);
            p[2] = 180;
        }
    }
    sprite.m_nFrameWidth = w;
    sprite.m_nFrameHeight = h;
    return sprite;
}

CSprite MakeOpaqueSprite(int w, int h, COLORREF colour) {
    CSprite sprite;
    sprite.CreateFilled(nullptr, w, h, colour);
    sprite.m_nFrameWidth = w;
    sprite.m_nFrameHeight = h;
    sprite.m_bColorKey = FALSE;
    return sprite;
}

// The game's window at its busiest: background, 100 start tiles, a board of 400 fields, the seal
// and the control column's keyed sprites, some at 90 % opacity.
struct Scene {
    CDIB backBuffer;
    CSprite background;
    std::vector<CSprite> startTiles;
    std::vector<CSprite> fields;
    std::vector<CSprite> keyed;
    CSprite seal;
    CSpriteList list;

    Scene() {
        platform::SetMessageBoxHandler([](const std::string&, unsigned) { return IDOK; });
        backBuffer.CreateFilled(nullptr, 700, 500, RGB(0, 0, 0));
        background = MakeOpaqueSprite(700, 500, RGB(40, 90, 160));
        background.SetDepth(3);
        list.m_pBackground = &backBuffer;
        list.Insert(&background);

        CSprite startPicture = MakeOpaqueSprite(500, 500, RGB(200, 220, 240));
        startTiles.resize(100);
        for (int k = 0; k < 100; ++k) {
            startTiles[k] = startPicture;
            startTiles[k].m_nFrameWidth = startTiles[k].m_nFrameHeight = 50;
            startTiles[k].SetFrame(k / 10, k % 10);
            startTiles[k].MoveTo(200 + (k / 10) * 50, (k % 10) * 50);
            startTiles[k].SetDepth(1);  // behind the background: covered, as during a game
        }
        CSprite tilePicture = MakeOpaqueSprite(75, 400, RGB(230, 240, 250));
        fields.resize(400);
        for (int i = 0; i < 400; ++i) {
            fields[i] = tilePicture;
            fields[i].m_nFrameWidth = fields[i].m_nFrameHeight = 25;
            fields[i].SetFrame(i % 3, i % 16);
            fields[i].MoveTo(200 + (i / 20) * 25, (i % 20) * 25);
            fields[i].SetDepth(80);
        }
        const std::array<std::array<int, 4>, 15> keyedLayout{{{200, 129, 0, 0},
                                                              {200, 60, 0, 125},
                                                              {200, 60, 0, 175},
                                                              {200, 60, 0, 225},
                                                              {200, 134, 0, 366},
                                                              {200, 150, 0, 275},
                                                              {20, 20, 23, 298},
                                                              {20, 20, 103, 298},
                                                              {20, 20, 110, 325},
                                                              {20, 20, 140, 350},
                                                              {25, 25, 300, 100},
                                                              {25, 25, 325, 125},
                                                              {25, 25, 350, 150},
                                                              {25, 25, 375, 175},
                                                              {5, 500, 196, 0}}};
        keyed.reserve(keyedLayout.size());
        for (std::size_t i = 0; i < keyedLayout.size(); ++i) {
            const auto& [w, h, x, y] = keyedLayout[i];
            keyed.push_back(MakeKeyedSprite(w, h));
            keyed.back().MoveTo(x, y);
            keyed.back().SetDepth(i >= 1 && i <= 3 ? 10 : 100);
            if (i >= 1 && i <= 5) keyed.back().SetAlpha(0.9f);
        }
        seal = MakeKeyedSprite(100, 50);
        seal.m_nFrameWidth = seal.m_nFrameHeight = 25;
        seal.MoveTo(300, 200);
        seal.SetDepth(90);

        for (auto& s : startTiles) list.Insert(&s);
        for (auto& s : fields) list.Insert(&s);
        for (auto& s : keyed) list.Insert(&s);
        list.Insert(&seal);
        list.Update(nullptr);
    }
};

Scene& TheScene() {
    static auto* scene = new Scene;
    return *scene;
}

void SetComposedBytes(benchmark::State& state, const RECT& area) {
    const auto bytes =
        static_cast<std::int64_t>(area.right - area.left) * (area.bottom - area.top) * 3;
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_Compose_FullRedraw(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.list.Redraw(nullptr);
        benchmark::DoNotOptimize(scene.backBuffer.m_pBits);
    }
    SetComposedBytes(state, RECT{0, 0, 700, 500});
}
BENCHMARK(BM_Compose_FullRedraw);

void BM_Compose_BoardUpdate(benchmark::State& state) {
    Scene& scene = TheScene();
    int shift = 0;
    for (auto _ : state) {
        shift ^= 1;
        for (int i = 0; i < 400; ++i) {
            scene.fields[i].MoveTo(200 + (i / 20) * 25, (i % 20) * 25 + shift);
        }
        scene.list.Update(nullptr);
        benchmark::DoNotOptimize(scene.backBuffer.m_pBits);
    }
    SetComposedBytes(state, RECT{200, 0, 700, 500});
}
BENCHMARK(BM_Compose_BoardUpdate);

void BM_Compose_SealStep(benchmark::State& state) {
    Scene& scene = TheScene();
    int x = 300;
    for (auto _ : state) {
        x = x == 300 ? 305 : 300;
        scene.seal.MoveTo(x, 200);
        scene.list.Update(nullptr);
        benchmark::DoNotOptimize(scene.backBuffer.m_pBits);
    }
    SetComposedBytes(state, RECT{300, 200, 330, 225});
}
BENCHMARK(BM_Compose_SealStep);

}  // namespace
