// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the game window's timer ticks in its typical states, on the headless backend with the
// placeholder pictures. The 40 ms timer runs 25 times and the 150 ms timer about 6.7 times a
// second, so 25 × (40 ms tick) + 6.7 × (150 ms tick) per second is the share of one core the game
// itself takes in that state (the window system's own work comes on top).
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/FloemazeDlg.h"
#include "platform/MessageBox.h"
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

}  // namespace
