// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the public BMP conformance files through the image class, as the folder's README.md asks:
// every file loads or is refused with a message, the four 24-bit reference files give the known
// pixels, the files it lists are refused, and whatever loads saves and loads again unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "sprites/DIB.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::uint32_t Le32(const Bytes& b, std::size_t at) {
    if (at + 4 > b.size()) return 0;
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}
std::uint16_t Le16(const Bytes& b, std::size_t at) {
    if (at + 2 > b.size()) return 0;
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

const std::set<std::string> kExactPixels = {"g/rgb24.bmp", "g/rgb24pal.bmp", "q/rgb24largepal.bmp",
                                            "q/rgb24lprof.bmp"};
const std::set<std::string> kNamedRefusals = {
    "g/pal8os2.bmp",      "q/pal8os2-hs.bmp", "q/pal8os2-sz.bmp", "q/pal8os2sp.bmp",
    "q/pal8os2v2-16.bmp", "b/reallybig.bmp",  "b/badwidth.bmp",   "b/badbitcount.bmp",
    "b/shortfile.bmp",    "x/ba-bm.bmp"};

// The README's classes of files that must be refused, read from the raw header.
bool MustBeRefused(const std::string& name, const Bytes& b) {
    if (kNamedRefusals.count(name) != 0) return true;
    const std::uint32_t infoSize = Le32(b, 14);
    if (infoSize < 40) return true;  // OS/2 and other short headers
    const auto height = static_cast<std::int32_t>(Le32(b, 22));
    const std::uint16_t bitCount = Le16(b, 28);
    const std::uint32_t compression = Le32(b, 30);
    return compression != 0 || height < 0 ||
           (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32);
}

// FNV-1a 64 over the rows from top to bottom, each pixel as R, G, B, without padding.
std::uint64_t PixelHash(const CDIB& image) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (int y = 0; y < image.GetHeight(); ++y) {
        for (int x = 0; x < image.GetWidth(); ++x) {
            const unsigned char* p = image.GetPixelAddress(x, y);
            for (unsigned char byte : {p[2], p[1], p[0]}) {
                hash ^= byte;
                hash *= 0x100000001b3u;
            }
        }
    }
    return hash;
}

Bytes PixelMemory(const CDIB& image) {
    const std::size_t n =
        static_cast<std::size_t>(image.GetHeight()) * static_cast<std::size_t>(image.GetStride());
    return {image.m_pBits, image.m_pBits + n};
}

TEST(BmpSuiteTest, EveryFileLoadsOrIsRefusedAsTheSuiteSays) {
    const auto suite = BmpSuiteDir();
    if (!suite) {
        GTEST_SKIP()
            << "no BMP conformance folder: neither $FLOEMAZE_SOURCE_DIR/../shared/bmpsuite "
               "nor /work/shared/bmpsuite holds a README.md";
    }
    TempDir scratch;
    int loaded = 0, refused = 0, exact = 0;
    for (const fs::path& path : FilesBelow(*suite)) {
        if (path.extension() != ".bmp") continue;
        const std::string name = fs::relative(path, *suite).generic_string();
        SCOPED_TRACE(name);
        const Bytes bytes = ReadFileBytes(path.string());
        MessageRecorder messages;

        CDIB fromFile;
        const BOOL result = fromFile.Load(path.c_str());
        CDIB fromMemory;
        EXPECT_EQ(fromMemory.LoadFromMemory(bytes.data(), bytes.size()), result);

        if (MustBeRefused(name, bytes)) {
            EXPECT_EQ(result, FALSE);
            ASSERT_EQ(messages.Messages().size(), 2u);  // one from each reading
            EXPECT_EQ(messages.Messages()[0], messages.Messages()[1]);
            EXPECT_FALSE(fromFile.HasImage());
            ++refused;
            continue;
        }
        // Every other file is an uncompressed 8-, 16-, 24- or 32-bit picture and loads.
        ASSERT_EQ(result, TRUE) << (messages.Messages().empty() ? "" : messages.Messages()[0]);
        EXPECT_TRUE(messages.Messages().empty());
        ++loaded;
        EXPECT_EQ(PixelMemory(fromFile), PixelMemory(fromMemory));

        if (kExactPixels.count(name) != 0) {
            EXPECT_EQ(fromFile.GetWidth(), 127);
            EXPECT_EQ(fromFile.GetHeight(), 64);
            EXPECT_EQ(fromFile.GetBitCount(), 24);
            const unsigned char* topLeft = fromFile.GetPixelAddress(0, 0);
            EXPECT_EQ((std::vector<int>{topLeft[2], topLeft[1], topLeft[0]}),
                      (std::vector<int>{255, 0, 0}));
            EXPECT_EQ(PixelHash(fromFile), 0x7cd8f819ae69b2afu);
            ++exact;
        }

        // Saved and read again: the same picture. A file that is exactly its headers and pixels
        // comes back byte for byte.
        const std::string copy = scratch.File("copy.bmp");
        ASSERT_EQ(fromFile.Save(copy.c_str()), TRUE);
        CDIB again;
        ASSERT_EQ(again.Load(copy.c_str()), TRUE);
        EXPECT_EQ(again.GetWidth(), fromFile.GetWidth());
        EXPECT_EQ(again.GetHeight(), fromFile.GetHeight());
        EXPECT_EQ(again.GetBitCount(), fromFile.GetBitCount());
        EXPECT_EQ(PixelMemory(again), PixelMemory(fromFile));
        const std::size_t exactSize = Le32(bytes, 10) + PixelMemory(fromFile).size();
        if (bytes.size() == exactSize && Le32(bytes, 2) == exactSize) {
            EXPECT_EQ(ReadFileBytes(copy), bytes);
        }
        EXPECT_TRUE(messages.Messages().empty());
    }
    EXPECT_EQ(exact, 4);
    EXPECT_GE(refused, static_cast<int>(kNamedRefusals.size()));
    EXPECT_GE(loaded, 20);
    RecordProperty("loaded", loaded);
    RecordProperty("refused", refused);
}

}  // namespace
