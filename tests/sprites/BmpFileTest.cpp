// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures are read from their files into memory of their own: what happens to a file after it
// was read changes no picture, only regular files are read, and memory follows the pixels, not
// what a file's header claims.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "sprites/Sprite.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempDir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kWidth = 300;  // 900 bytes a row: no row ends on a page boundary
constexpr int kHeight = 200;
constexpr std::size_t kPixelOffset = 54;
constexpr std::size_t kStride = 900;

COLORREF Pattern(int x, int y) {
    return RGB(static_cast<BYTE>(x * 7 + 1), static_cast<BYTE>(y * 3 + 1),
               static_cast<BYTE>((x ^ y) | 1));
}

std::string WritePicture(const TempDir& dir, const std::string& name) {
    return dir.Write(name, MakeBmp({.width = kWidth, .height = kHeight, .pixel = Pattern}));
}

void ExpectPattern(const CDIB& image, int step = 7) {
    for (int y = 0; y < kHeight; y += step) {
        for (int x = 0; x < kWidth; x += std::max(step - 2, 1)) {
            ASSERT_EQ(PixelAt(image, x, y), Pattern(x, y)) << x << "," << y;
        }
    }
    ASSERT_EQ(PixelAt(image, kWidth - 1, kHeight - 1), Pattern(kWidth - 1, kHeight - 1));
}

// Whether the process has the file at path mapped or open.
bool Mapped(const std::string& path) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.size() >= path.size() &&
            line.compare(line.size() - path.size(), path.size(), path) == 0) {
            return true;
        }
    }
    return false;
}
bool Open(const std::string& path) {
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(fd.path(), error) == path) return true;
    }
    return false;
}

// Peak resident memory since the last reset, in bytes.
std::int64_t PeakResident() {
    std::ifstream status("/proc/self/status");
    std::string field;
    while (status >> field) {
        if (field == "VmHWM:") {
            std::int64_t kb = 0;
            status >> kb;
            return kb * 1024;
        }
    }
    return -1;
}
bool ResetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

TEST(BmpFileTest, PicturesAreReadIntoMemoryAndKeepNoHoldOnTheirFile) {
    TempDir dir;
    const std::string path = WritePicture(dir, "large.bmp");
    struct sigaction before {};
    ASSERT_EQ(sigaction(SIGBUS, nullptr, &before), 0);
    std::vector<CSprite> sprites(100);
    for (CSprite& sprite : sprites) ASSERT_TRUE(sprite.Load(path.c_str(), FALSE));
    EXPECT_FALSE(Mapped(path));
    EXPECT_FALSE(Open(path));
    for (const CSprite& sprite : sprites) ExpectPattern(sprite, 37);

    CSprite copy = sprites[0];  // shares the picture
    sprites[0].Load(WritePicture(dir, "other.bmp").c_str(), FALSE);
    ExpectPattern(copy);
    // No signal handler guards reading pictures: a bus error does what it did before.
    struct sigaction after {};
    ASSERT_EQ(sigaction(SIGBUS, nullptr, &after), 0);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
    EXPECT_EQ(after.sa_flags, before.sa_flags);
}

TEST(BmpFileTest, DrawingIntoAPictureNeverReachesItsFile) {
    TempDir dir;
    const std::string path = WritePicture(dir, "large.bmp");
    const std::vector<std::uint8_t> before = ReadFileBytes(path);
    CSprite sprite;
    ASSERT_TRUE(sprite.Load(path.c_str(), FALSE));
    SetPixel(sprite, 10, 20, RGB(1, 2, 3));
    EXPECT_EQ(PixelAt(sprite, 10, 20), RGB(1, 2, 3));
    EXPECT_EQ(ReadFileBytes(path), before);

    // Nor does the change reach a second sprite's copy of the drawn pixel.
    CSprite second;
    ASSERT_TRUE(second.Load(path.c_str(), FALSE));
    EXPECT_EQ(PixelAt(second, 10, 20), Pattern(10, 20));
}

TEST(BmpFileTest, SavingAPictureOverItsOwnFileWritesEveryPixel) {
    TempDir dir;
    const std::string path = WritePicture(dir, "large.bmp");
    CSprite sprite;
    ASSERT_TRUE(sprite.Load(path.c_str(), FALSE));
    SetPixel(sprite, 0, 0, RGB(9, 8, 7));
    // Saving empties the file first; the picture must not lose the pixels it shows.
    ASSERT_TRUE(sprite.Save(path.c_str()));

    CDIB saved;
    ASSERT_TRUE(saved.Load(path.c_str()));
    EXPECT_EQ(PixelAt(saved, 0, 0), RGB(9, 8, 7));
    EXPECT_EQ(PixelAt(sprite, 0, 0), RGB(9, 8, 7));
    for (int y = 0; y < kHeight; y += 3) {
        for (int x = 1; x < kWidth; x += 11) {
            ASSERT_EQ(PixelAt(saved, x, y), Pattern(x, y)) << x << "," << y;
            ASSERT_EQ(PixelAt(sprite, x, y), Pattern(x, y)) << x << "," << y;
        }
    }
}

TEST(BmpFileTest, APictureWhoseFileIsShortenedElsewhereKeepsEveryPixel) {
    TempDir dir;
    const std::string path = WritePicture(dir, "large.bmp");
    CSprite sprite;
    ASSERT_TRUE(sprite.Load(path.c_str(), FALSE));
    // As another program would, past the file API: the kept part ends inside a page.
    const auto kept = static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) * 5 + 1000;
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kept)), 0);
    ASSERT_LT(kept, kPixelOffset + kStride * kHeight);
    ExpectPattern(sprite, 1);
    // The picture can still be drawn into and saved elsewhere.
    SetPixel(sprite, 5, 5, RGB(200, 100, 50));
    EXPECT_EQ(PixelAt(sprite, 5, 5), RGB(200, 100, 50));
    EXPECT_TRUE(sprite.Save(dir.File("copy.bmp").c_str()));
}

TEST(BmpFileTest, OnlyRegularFilesAreReadAndOthersAreRefusedAtOnce) {
    TempDir dir;
    const std::string fifo = dir.File("fifo.bmp");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const std::string socketPath = dir.File("socket.bmp");
    const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listening, 1), 0);

    // A read that waits for a FIFO's other end would hang here: the alarm fails it instead.
    alarm(20);
    for (const std::string& path :
         {fifo, socketPath, dir.Path(), std::string("/dev/null"), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        MessageRecorder messages;
        CSprite sprite;
        EXPECT_EQ(sprite.Load(path.c_str(), TRUE), FALSE);
        // As for a missing file: no message of the reader's, the caller reports the name.
        EXPECT_TRUE(messages.Messages().empty());
        EXPECT_FALSE(sprite.HasImage());
    }
    alarm(0);
    close(listening);
    // A regular file reached through a link is read as usual.
    const std::string link = dir.File("link.bmp");
    ASSERT_EQ(symlink(WritePicture(dir, "large.bmp").c_str(), link.c_str()), 0);
    CDIB linked;
    ASSERT_TRUE(linked.Load(link.c_str()));
    ExpectPattern(linked);
}

TEST(BmpFileTest, AGapBeforeThePixelsIsSkippedNotAllocated) {
    MessageRecorder messages;
    TempDir dir;
    // A sparse file: headers, a hole of 1 GB that its header calls part of the info block, then
    // the pixels.
    constexpr std::uint64_t kGap = std::uint64_t{1} << 30;
    const Bytes plain = MakeBmp({.width = kWidth, .height = kHeight, .pixel = Pattern});
    Bytes headers(plain.begin(), plain.begin() + kPixelOffset);
    Put32(headers, 10, static_cast<std::uint32_t>(kPixelOffset + kGap));
    const std::string sparse = dir.Write("sparse.bmp", headers);
    {
        const int fd = ::open(sparse.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        const std::size_t pixels = plain.size() - kPixelOffset;
        ASSERT_EQ(::pwrite(fd, plain.data() + kPixelOffset, pixels,
                           static_cast<off_t>(kPixelOffset + kGap)),
                  static_cast<ssize_t>(pixels));
        ::close(fd);
    }
    ASSERT_TRUE(ResetPeakResident());
    const std::int64_t before = PeakResident();
    CSprite sprite;
    ASSERT_TRUE(sprite.Load(sparse.c_str(), FALSE));
    // The picture's 180 kB of pixels and little else, however large the gap.
    EXPECT_LT(PeakResident() - before, std::int64_t{16} << 20);
    EXPECT_EQ(DWORD{sprite.m_pFileHeader->bfOffBits}, kPixelOffset);  // a copy: the field is packed
    ExpectPattern(sprite, 1);
    // Saved, it is headers and pixels.
    ASSERT_TRUE(sprite.Save(dir.File("saved.bmp").c_str()));
    EXPECT_EQ(ReadFileBytes(dir.File("saved.bmp")), plain);

    // An 8-bit picture keeps its colour table, also from memory; a gap the size of a header or a
    // colour table is kept whole, so that such a file saves as the same bytes.
    for (const std::uint32_t gap : {std::uint32_t{1} << 20, std::uint32_t{100}}) {
        SCOPED_TRACE(gap);
        Bytes eightBit = MakeBmp({.width = 5, .height = 2, .bitCount = 8, .paletteEntries = 256});
        for (std::size_t i = 54; i < 54 + 1024; ++i) eightBit[i] = static_cast<std::uint8_t>(i);
        Bytes withGap = eightBit;
        withGap.insert(withGap.begin() + 54 + 1024, gap, 0);
        Put32(withGap, 10, 54 + 1024 + gap);
        Put32(withGap, 2, static_cast<std::uint32_t>(withGap.size()));
        CDIB image;
        ASSERT_TRUE(image.LoadFromMemory(withGap.data(), withGap.size()));
        ASSERT_TRUE(image.Save(dir.File("eight.bmp").c_str()));
        EXPECT_EQ(ReadFileBytes(dir.File("eight.bmp")), gap > 1000 ? eightBit : withGap);
    }
    EXPECT_TRUE(messages.Messages().empty());
}

}  // namespace
