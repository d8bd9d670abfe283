// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the game window's timer ticks in its typical states, on the headless backend with the
// placeholder pictures. The 40 ms timer runs 25 times and the 150 ms timer about 6.7 times a
// second, so 25 × (40 ms tick) + 6.7 × (150 ms tick) per second is the share of one core the game
// itself takes in that state (the window system's own work comes on top).
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/FloemazeDlg.h"
#include "platform/MessageBox.h"
#include "platform/Scaling.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/Resources.h"
#include "tools/placeholder-images/PlaceholderImages.h"

namespace {

namespace headless = platform::headless;

// The placeholder pictures in a folder of their own, made the current directory once.
void UsePictures() {
    static const bool ready = [] {
        std::string folder =
            (std::filesystem::temp_directory_path() / "floemaze-bench-XXXXXX").string();
        if (mkdtemp(folder.data()) == nullptr || !WritePlaceholderImages(folder)) return false;
        std::filesystem::current_path(folder);
        res::RegisterResources();
        headless::Use();
        // The result box of a finished game is answered at once.
        platform::SetMessageBoxHandler([](const std::string&, unsigned) { return IDOK; });
        return true;
    }();
    if (!ready) std::abort();
}

// The game window, opened and painted once.
std::unique_ptr<CFloemazeDlg> OpenWindow() {
    UsePictures();
    auto window = std::make_unique<CFloemazeDlg>();
    if (!window->Open()) std::abort();
    platform::DrainQueue();
    return window;
}

void Tick(CFloemazeDlg& window, UINT_PTR timer) {
    headless::FireTimer(window, timer);
    headless::PeerOf(window)->ResetPresented();
}

void StartGame(CFloemazeDlg& window) {
    headless::Click(window, 100, 150);
    for (int i = 0; i < 102 + 100; ++i) Tick(window, 2);  // fall, then re-sort the hidden tiles
    window.m_maze.m_bHelp = true;  // the seal walks by itself: a tick with a step under way
}

// The start screen at rest: nothing moves on the 40 ms timer.
void BM_Tick_StartScreen(benchmark::State& state) {
    auto window = OpenWindow();
    for (auto _ : state) Tick(*window, 2);
}
BENCHMARK(BM_Tick_StartScreen);

// A game just ended: its 400 tiles fall, each moved on every 40 ms tick.
void BM_Tick_Falling(benchmark::State& state) {
    auto window = OpenWindow();
    int fallTicks = 80;
    for (auto _ : state) {
        if (fallTicks == 80) {
            state.PauseTiming();
            StartGame(*window);
            while (window->m_maze.m_bRunning) Tick(*window, 2);  // walked home with help
            fallTicks = 0;
            state.ResumeTiming();
        }
        Tick(*window, 2);
        ++fallTicks;
    }
}
BENCHMARK(BM_Tick_Falling);

// The seal walks home with help: one move of a step on every 40 ms tick.
void BM_Tick_Walking(benchmark::State& state) {
    auto window = OpenWindow();
    StartGame(*window);
    for (auto _ : state) {
        if (!window->m_maze.m_bRunning) {
            state.PauseTiming();
            StartGame(*window);
            state.ResumeTiming();
        }
        Tick(*window, 2);
    }
}
BENCHMARK(BM_Tick_Walking);

// The logo and seal-picture animations of the 150 ms timer.
void BM_Tick_Animation(benchmark::State& state) {
    auto window = OpenWindow();
    for (auto _ : state) Tick(*window, 1);
}
BENCHMARK(BM_Tick_Animation);

// The start picture falls away when a game starts (100 ticks).
void BM_Tick_StartPictureFalling(benchmark::State& state) {
    std::unique_ptr<CFloemazeDlg> window;
    int ticks = 100;
    for (auto _ : state) {
        if (ticks == 100) {
            state.PauseTiming();
            window = OpenWindow();
            headless::Click(*window, 100, 150);
            ticks = 0;
            state.ResumeTiming();
        }
        Tick(*window, 2);
        ++ticks;
    }
}
BENCHMARK(BM_Tick_StartPictureFalling);

// Start-up without the window system: the nine pictures loaded, the sprites set up and inserted,
// and the first paint.
void BM_OpenAndFirstPaint(benchmark::State& state) {
    UsePictures();
    for (auto _ : state) {
        CFloemazeDlg window;
        window.Open();
        platform::DrainQueue();
        benchmark::DoNotOptimize(window.m_backBuffer.m_pBits);
    }
}
BENCHMARK(BM_OpenAndFirstPaint)->Unit(benchmark::kMillisecond);

void BM_Paint(benchmark::State& state) {
    auto window = OpenWindow();
    for (auto _ : state) {
        headless::Paint(*window);
        headless::PeerOf(*window)->ResetPresented();
    }
}
BENCHMARK(BM_Paint);

// A full paint shown at a scale: the back buffer composed and enlarged into the screen's pixels,
// beside one memcpy of the bytes it writes there. Bytes per second count those bytes.
std::int64_t ScreenBytes(int scale) {
    return std::int64_t{700} * 500 * scale * scale * 4;
}

void PaintAtScale(benchmark::State& state, int scale) {
    auto window = OpenWindow();
    headless::PeerOf(*window)->ShowAtScale(scale);
    for (auto _ : state) {
        headless::Paint(*window);
        headless::PeerOf(*window)->ResetPresented();
        benchmark::DoNotOptimize(headless::PeerOf(*window)->Screen().bits);
    }
    state.SetBytesProcessed(state.iterations() * ScreenBytes(scale));
}

void MemcpyAtScale(benchmark::State& state, int scale) {
    const auto bytes = static_cast<std::size_t>(ScreenBytes(scale));
    std::vector<unsigned char> from(bytes, 0x5A), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * ScreenBytes(scale));
}

void BM_Paint_Scale2(benchmark::State& state) {
    PaintAtScale(state, 2);
}
BENCHMARK(BM_Paint_Scale2);
void BM_Memcpy_Paint_Scale2(benchmark::State& state) {
    MemcpyAtScale(state, 2);
}
BENCHMARK(BM_Memcpy_Paint_Scale2);
void BM_Paint_Scale3(benchmark::State& state) {
    PaintAtScale(state, 3);
}
BENCHMARK(BM_Paint_Scale3);
void BM_Memcpy_Paint_Scale3(benchmark::State& state) {
    MemcpyAtScale(state, 3);
}
BENCHMARK(BM_Memcpy_Paint_Scale3);

// The window's whole client area enlarged to scale 3 as the X11 window gets it: a band of rows at
// a time into a small buffer that stays in the cache, each band handed on as it is done.
void BM_ScaleInBands_Scale3(benchmark::State& state) {
    std::vector<std::uint32_t> pixels(std::size_t{700} * 500, 0x00336699u);
    const platform::Bitmap client = platform::PixelsAsBitmap(pixels.data(), 700, 500, 700 * 4);
    const platform::ScreenView view = platform::ScreenView::Scaled(700, 500, 3);
    std::vector<std::uint32_t> scratch;
    for (auto _ : state) {
        platform::ScaleInBands(client, view, RECT{0, 0, 700, 500}, 64 * 1024, scratch,
                               [](const platform::Bitmap& band, const RECT&) {
                                   benchmark::DoNotOptimize(band.bits);
                                   benchmark::ClobberMemory();
                               });
    }
    state.SetBytesProcessed(state.iterations() * ScreenBytes(3));
}
BENCHMARK(BM_ScaleInBands_Scale3);

// What one step of the walking seal presents, enlarged to scale 3: the rectangles a walking tick
// presented, put on the screen again.
void BM_Present_SealStep_Scale3(benchmark::State& state) {
    auto window = OpenWindow();
    StartGame(*window);
    headless::HeadlessPeer& peer = *headless::PeerOf(*window);
    peer.ShowAtScale(3);
    // A tick in which the seal moves presents its old and new places, a few fields at most;
    // the board's own changes around the start are larger.
    std::vector<RECT> step;
    for (int i = 0; i < 500 && step.empty(); ++i) {
        headless::FireTimer(*window, 2);
        if (peer.PresentedPixels() <= 100 * 100) step = peer.PresentedRects();
        peer.ResetPresented();
    }
    if (step.empty()) std::abort();
    std::int64_t pixels = 0;
    for (const RECT& r : step) pixels += std::int64_t{r.right - r.left} * (r.bottom - r.top) * 9;
    for (auto _ : state) {
        for (const RECT& r : step) peer.Present(r);
        peer.ResetPresented();
        benchmark::DoNotOptimize(peer.Screen().bits);
    }
    state.SetBytesProcessed(state.iterations() * pixels * 4);
    state.counters["screen_pixels"] = static_cast<double>(pixels);
}
BENCHMARK(BM_Present_SealStep_Scale3)->Unit(benchmark::kMicrosecond);

}  // namespace
