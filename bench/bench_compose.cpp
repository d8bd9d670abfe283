// SPDX-License-Identifier: GPL-3.0-or-later
// Composition speed of the sprite list on the game's three typical scenes in a 700 × 500 back
// buffer — a full redraw, an update of the whole board, one step of the seal — side by side with
// SDL's blitter drawing the same pixels and with one memcpy of the bytes the scene writes, the
// floor no compositor passes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/scenes/ComposeScene.h"
#include "bench/scenes/SdlScene.h"

namespace {

ComposeScene& TheScene() {
    static auto* scene = new ComposeScene;
    return *scene;
}

std::int64_t AreaBytes(const RECT& area) {
    return static_cast<std::int64_t>(area.right - area.left) * (area.bottom - area.top) * 3;
}

void Report(benchmark::State& state, SceneKind kind) {
    state.SetBytesProcessed(state.iterations() * AreaBytes(TheScene().Area(kind)));
    state.counters["real_pictures"] = TheScene().realPictures;
}

void Compose(benchmark::State& state, SceneKind kind) {
    ComposeScene& scene = TheScene();
    for (auto _ : state) {
        scene.Advance(kind);
        scene.Compose(kind);
        benchmark::DoNotOptimize(scene.backBuffer.m_pBits);
        benchmark::ClobberMemory();
    }
    Report(state, kind);
}

// SDL at its best on this scene: each of the four surface configurations is tried for a while
// and the fastest is timed.
std::unique_ptr<SdlScene> FastestSdl(SceneKind kind) {
    std::unique_ptr<SdlScene> best;
    double bestSeconds = 1e9;
    for (const SdlConfig config :
         {SdlConfig{24, false}, SdlConfig{24, true}, SdlConfig{32, false}, SdlConfig{32, true}}) {
        auto candidate = std::make_unique<SdlScene>(TheScene(), config);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 50; ++i) {
            TheScene().Advance(kind);
            candidate->Render(kind);
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds < bestSeconds) {
            bestSeconds = seconds;
            best = std::move(candidate);
        }
    }
    return best;
}

void SdlBlit(benchmark::State& state, SceneKind kind) {
    std::unique_ptr<SdlScene> sdl = FastestSdl(kind);
    for (auto _ : state) {
        TheScene().Advance(kind);
        sdl->Render(kind);
        benchmark::ClobberMemory();
    }
    state.SetLabel(sdl->Config().Name());
    Report(state, kind);
}

void Memcpy(benchmark::State& state, SceneKind kind) {
    const auto bytes = static_cast<std::size_t>(AreaBytes(TheScene().Area(kind)));
    std::vector<unsigned char> from(bytes, 0x5A), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    Report(state, kind);
}

// The board update's copying alone: the tiles' rows through the compositor's copy, in its order,
// without the list. How close this comes to the memcpy floor bounds what the update can reach.
void BM_RowCopy_BoardUpdate(benchmark::State& state) {
    const ComposeScene::BoardCopies board = TheScene().BoardRowCopies();
    std::vector<RowCopy> copies;
    for (auto _ : state) {
        copies = board.copies;
        CopyRowsAcross(copies.data(), copies.size(), board.rows, board.bytes, board.dstStride,
                       board.srcStride);
        benchmark::DoNotOptimize(TheScene().backBuffer.m_pBits);
        benchmark::ClobberMemory();
    }
    Report(state, SceneKind::BoardUpdate);
}

void BM_Compose_FullRedraw(benchmark::State& s) {
    Compose(s, SceneKind::FullRedraw);
}
void BM_Compose_BoardUpdate(benchmark::State& s) {
    Compose(s, SceneKind::BoardUpdate);
}
void BM_Compose_SealStep(benchmark::State& s) {
    Compose(s, SceneKind::SealStep);
}
void BM_SdlBlit_FullRedraw(benchmark::State& s) {
    SdlBlit(s, SceneKind::FullRedraw);
}
void BM_SdlBlit_BoardUpdate(benchmark::State& s) {
    SdlBlit(s, SceneKind::BoardUpdate);
}
void BM_SdlBlit_SealStep(benchmark::State& s) {
    SdlBlit(s, SceneKind::SealStep);
}
void BM_Memcpy_FullRedraw(benchmark::State& s) {
    Memcpy(s, SceneKind::FullRedraw);
}
void BM_Memcpy_BoardUpdate(benchmark::State& s) {
    Memcpy(s, SceneKind::BoardUpdate);
}
void BM_Memcpy_SealStep(benchmark::State& s) {
    Memcpy(s, SceneKind::SealStep);
}

BENCHMARK(BM_Compose_FullRedraw);
BENCHMARK(BM_SdlBlit_FullRedraw);
BENCHMARK(BM_Memcpy_FullRedraw);
BENCHMARK(BM_Compose_BoardUpdate);
BENCHMARK(BM_SdlBlit_BoardUpdate);
BENCHMARK(BM_Memcpy_BoardUpdate);
BENCHMARK(BM_RowCopy_BoardUpdate);
BENCHMARK(BM_Compose_SealStep);
BENCHMARK(BM_SdlBlit_SealStep);
BENCHMARK(BM_Memcpy_SealStep);

}  // namespace
