// SPDX-License-Identifier: GPL-3.0-or-later
// Finding a row's visible runs. It runs once per row of a picture, whose runs are kept, so the
// plain loop serves every set of kernels.
#include <cstring>

#include "sprites/kernels/PixelKernels.h"

std::size_t FindKeyRuns(const unsigned char* row, int width, const unsigned char key[3],
                        std::vector<KeyRun>& runs) {
    const std::size_t before = runs.size();
    int x = 0;
    while (x < width) {
        while (x < width && std::memcmp(row + 3 * x, key, 3) == 0) ++x;
        const int begin = x;
        while (x < width && std::memcmp(row + 3 * x, key, 3) != 0) ++x;
        if (x > begin) {
            runs.push_back(
                KeyRun{static_cast<std::uint16_t>(begin), static_cast<std::uint16_t>(x)});
        }
    }
    return runs.size() - before;
}
