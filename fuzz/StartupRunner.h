// SPDX-License-Identifier: GPL-3.0-or-later
// One run of the game window on arbitrary pictures, as the start-up fuzz target and the test that
// replays its corpus do it.
//
// Input: for each of the eleven pictures, in the order the game loads them, a tag byte: tag % 3
// == 0 keeps a good picture, 1 leaves the file out, 2 takes the file's bytes from the input: a
// 3-byte little-endian length, then that many bytes (fewer if the input ends). Input that ends
// early leaves the remaining pictures good. Whatever follows the eleventh picture is read as
// actions: ticks of either timer, clicks anywhere, the start and options buttons, keys, drags,
// painting, the About box.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "res/Pictures.h"

namespace fuzz {

/// Owns two folders: good pictures, and the folder the game runs in, whose files link to the
/// good ones or hold an input's bytes. Run() makes the run folder the current directory and
/// answers every message box while it runs, and restores both afterwards.
class StartupRunner {
public:
    StartupRunner();
    ~StartupRunner();
    StartupRunner(const StartupRunner&) = delete;
    StartupRunner& operator=(const StartupRunner&) = delete;

    /// Starts the game window on the input's pictures and plays its actions; returns the number
    /// of message boxes shown. Aborts when an input makes the game show more than a picture can
    /// have to say (a flood of messages).
    int Run(const std::uint8_t* data, std::size_t size);

private:
    std::filesystem::path m_base;
    std::filesystem::path m_run;
    std::filesystem::path m_good;
    // What each file in the run folder is now: 0 a link to the good picture, 1 missing, 2 bytes.
    std::array<int, res::kPictureCount> m_state{};
};

}  // namespace fuzz
