// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes as the game's eleven pictures into a whole start of the game window on the
// headless backend, then plays a little (the input format: fuzz/StartupRunner.h).
#include <cstddef>
#include <cstdint>

#include "fuzz/StartupRunner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::StartupRunner runner;
    runner.Run(data, size);
    return 0;
}
