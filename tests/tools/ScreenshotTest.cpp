// SPDX-License-Identifier: GPL-3.0-or-later
// The screenshot tool: it plays its scenes on the drawn pictures and writes one window-sized PNG
// file for each, the same bytes on every run; without pictures it says which one is missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace {

constexpr const char* kShots[] = {"start-screen.png", "maze.png",         "help-mode.png",
                                  "options.png",      "column-right.png", "start-screen-en.png"};
constexpr int kTimeoutMs = 120000;

CommandResult Shoot(const std::string& pictures, const std::string& output) {
    return RunCommand({FLOEMAZE_SCREENSHOT, pictures, output}, kTimeoutMs);
}

std::uint32_t BigEndian32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) << 24 |
           static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

// The PNG header's width and height, 8-bit RGB; empty when the file is no such PNG.
struct PngSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};
PngSize SizeOfRgbPng(const std::vector<std::uint8_t>& bytes) {
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // Signature, then the IHDR chunk: length 13, type, width, height, bit depth, colour type.
    if (bytes.size() < 33 || !std::equal(kSignature, kSignature + 8, bytes.begin()) ||
        BigEndian32(bytes, 8) != 13 ||
        std::string(bytes.begin() + 12, bytes.begin() + 16) != "IHDR" || bytes[24] != 8 ||
        bytes[25] != 2) {
        return {};
    }
    return PngSize{BigEndian32(bytes, 16), BigEndian32(bytes, 20)};
}

TEST(ScreenshotTest, WritesEveryScenesPictureTheSameEveryTime) {
    TempDir first;
    const CommandResult result = Shoot(FLOEMAZE_ASSET_DIR, first.File("docs"));
    ASSERT_EQ(result.status, 0) << result.err;

    std::vector<std::vector<std::uint8_t>> shots;
    for (const char* name : kShots) {
        shots.push_back(ReadFileBytes(first.File(std::string("docs/") + name)));
        const PngSize size = SizeOfRgbPng(shots.back());
        EXPECT_EQ(size.width, 700u) << name;
        EXPECT_EQ(size.height, 500u) << name;
    }
    // Every scene ends somewhere else.
    for (std::size_t i = 0; i < shots.size(); ++i) {
        for (std::size_t j = i + 1; j < shots.size(); ++j) {
            EXPECT_NE(shots[i], shots[j]) << kShots[i] << " and " << kShots[j];
        }
    }

    TempDir second;
    ASSERT_EQ(Shoot(FLOEMAZE_ASSET_DIR, second.Path()).status, 0);
    for (std::size_t i = 0; i < shots.size(); ++i) {
        EXPECT_EQ(ReadFileBytes(second.File(kShots[i])), shots[i]) << kShots[i];
    }
}

TEST(ScreenshotTest, NamesTheMissingPictureAndWritesNothing) {
    TempDir pictures;
    TempDir output;
    const CommandResult result = Shoot(pictures.Path(), output.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("Hintergrund.bmp"), std::string::npos) << result.err;
    EXPECT_TRUE(ReadFileBytes(output.File(kShots[0])).empty());

    const CommandResult nowhere = Shoot(pictures.File("no such folder"), output.Path());
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("picture folder"), std::string::npos) << nowhere.err;
}

}  // namespace
