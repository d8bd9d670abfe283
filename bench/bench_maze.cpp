// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the maze model: a new game (generation, tile pictures, distance map) over many seeds,
// and one tick of a board whose 400 tiles are falling.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "maze/MazeBoard.h"
#include "platform/MessageBox.h"
#include "sprites/DIB.h"

namespace {

namespace fs = std::filesystem;

// The board loads its two pictures by bare name: plain ones of the right sizes are drawn into a
// scratch folder that becomes the current directory.
class PictureFolder {
public:
    PictureFolder() : m_previous(fs::current_path()) {
        platform::SetMessageBoxHandler([](const std::string&, unsigned) { return IDOK; });
        m_dir = fs::temp_directory_path() / ("floemaze-bench-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        Draw("Babyrobbe.bmp", 100, 50);
        Draw("Weg.bmp", 75, 400);
        fs::current_path(m_dir);
    }
    ~PictureFolder() {
        std::error_code ignored;
        fs::current_path(m_previous, ignored);
        fs::remove_all(m_dir, ignored);
    }
    PictureFolder(const PictureFolder&) = delete;
    PictureFolder& operator=(const PictureFolder&) = delete;

private:
    void Draw(const char* name, int width, int height) const {
        CDIB image;
        image.CreateFilled(nullptr, width, height, RGB(60, 140, 220));
        image.Save((m_dir / name).c_str());
    }
    fs::path m_previous;
    fs::path m_dir;
};

constexpr unsigned kSeeds = 100000;

// Every seed once, each game timed on its own, so the worst maze shows and not only the mean.
void BM_NewGame_Seeds(benchmark::State& state) {
    PictureFolder pictures;
    CMazeBoard board;
    board.NewGame();  // loads the pictures once, as the first game does
    double worstUs = 0.0;
    double totalUs = 0.0;
    int worstFillCalls = 0;
    unsigned worstSeed = 0;
    for (auto _ : state) {
        worstUs = totalUs = 0.0;
        worstFillCalls = 0;
        for (unsigned seed = 0; seed < kSeeds; ++seed) {
            std::srand(seed);
            const auto start = std::chrono::steady_clock::now();
            board.NewGame();
            const std::chrono::duration<double, std::micro> took =
                std::chrono::steady_clock::now() - start;
            totalUs += took.count();
            if (took.count() > worstUs) {
                worstUs = took.count();
                worstSeed = seed;
            }
            worstFillCalls = std::max(worstFillCalls, board.m_nFillCalls);
        }
        benchmark::DoNotOptimize(board.m_nShortest);
    }
    state.counters["mean_us"] = totalUs / kSeeds;
    state.counters["worst_us"] = worstUs;
    state.counters["worst_seed"] = worstSeed;
    state.counters["worst_fill_calls"] = worstFillCalls;
}
BENCHMARK(BM_NewGame_Seeds)->Iterations(1)->Unit(benchmark::kMillisecond);

// One new game, for the library's own statistics over repetitions.
void BM_NewGame(benchmark::State& state) {
    PictureFolder pictures;
    CMazeBoard board;
    unsigned seed = 0;
    for (auto _ : state) {
        std::srand(seed++);
        board.NewGame();
        benchmark::DoNotOptimize(board.m_nShortest);
    }
}
BENCHMARK(BM_NewGame)->Unit(benchmark::kMicrosecond);

// A tick just after a game ended: all 400 tiles move down and sideways, five walls flicker.
void BM_Tick_FallingBoard(benchmark::State& state) {
    PictureFolder pictures;
    CMazeBoard board;
    std::srand(1);
    board.NewGame();
    board.Place(200);
    board.ShowBoard();
    board.m_bRunning = false;
    for (auto _ : state) {
        maze::g_nFallCount = 1;  // always mid-fall, never at rest
        board.Tick();
        benchmark::DoNotOptimize(board.m_cells[0].m_tile.m_nY);
    }
    maze::g_nFallCount = 0;
}
BENCHMARK(BM_Tick_FallingBoard)->Unit(benchmark::kMicrosecond);

}  // namespace
