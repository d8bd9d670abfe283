// SPDX-License-Identifier: GPL-3.0-or-later
// Replays the fuzzer's seed corpus and every kept finding through the BMP reader, from memory and
// through a file, and uses whatever loads, so an input that once went wrong stays fixed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sprites/DIB.h"
#include "sprites/Sprite.h"
#include "sprites/SpriteList.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace {

namespace fs = std::filesystem;

TEST(FuzzCorpusTest, EveryKeptInputLoadsOrIsRefusedWithOneMessage) {
    const fs::path fuzz = SourceDir() / "fuzz";
    std::vector<fs::path> inputs = FilesBelow(fuzz / "corpus" / "bmp");
    const std::vector<fs::path> findings = FilesBelow(fuzz / "crashes");
    inputs.insert(inputs.end(), findings.begin(), findings.end());
    ASSERT_FALSE(inputs.empty()) << "no corpus below " << fuzz;

    TempDir scratch;
    for (const fs::path& input : inputs) {
        SCOPED_TRACE(input.string());
        const std::vector<std::uint8_t> bytes = ReadFileBytes(input.string());
        MessageRecorder messages;
        CDIB fromMemory;
        const BOOL loaded = fromMemory.LoadFromMemory(bytes.data(), bytes.size());
        EXPECT_EQ(messages.Messages().size(), loaded ? 0u : 1u);

        messages.Clear();
        CSprite sprite;
        EXPECT_EQ(sprite.Load(input.c_str(), TRUE, 3, 2), loaded);
        if (!loaded) {
            EXPECT_EQ(messages.Messages().size(), 1u);
            continue;
        }
        // Use it as the game would: compose it, hit-test it, save it.
        CDIB back = MakeDib(20, 10, RGB(1, 2, 3));
        CSpriteList list;
        list.m_pBackground = &back;
        list.Insert(&sprite);
        sprite.SetFrame(1, 1);
        sprite.MoveTo(-1, 4);
        list.Update(nullptr);
        list.GetSpriteAt(1, 5);
        fromMemory.AddSpriteTo(&back, -2, -2, 30, 30, 0, 0, 0.5f, TRUE);
        EXPECT_EQ(fromMemory.Save(scratch.File("saved.bmp").c_str()), TRUE);
    }
}

}  // namespace
