// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/File.h"
#include "sprites/DIB.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempDir.h"

// Pixel memory is allocated with nothrow new[]; recording the largest request proves that a file
// which cannot hold what it announces is refused before its pixel memory is allocated.
namespace {
std::size_t g_largestArrayRequest = 0;
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    g_largestArrayRequest = std::max(g_largestArrayRequest, size);
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

using Bytes = std::vector<std::uint8_t>;
using Messages = std::vector<std::string>;
namespace msg = dib_messages;

const char* const kAdditionMessage = "der Bildbereich für die Spriteaddition ist ungültig";

Bytes Patched(Bytes bytes, std::size_t at, std::uint32_t value, int width = 4) {
    if (width == 2) {
        Put16(bytes, at, static_cast<std::uint16_t>(value));
    } else {
        Put32(bytes, at, value);
    }
    return bytes;
}

// Every pixel of a w × h image different: (x, y) gets RGB(x * 8 + 1, y * 8 + 1, 77).
CDIB Gradient(int w, int h) {
    CDIB image = MakeDib(w, h, RGB(0, 0, 0));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            SetPixel(image, x, y,
                     RGB(static_cast<BYTE>(x * 8 + 1), static_cast<BYTE>(y * 8 + 1), 77));
        }
    }
    return image;
}

std::vector<unsigned char> PixelMemory(const CDIB& image) {
    const std::size_t n =
        static_cast<std::size_t>(image.GetHeight()) * static_cast<std::size_t>(image.GetStride());
    return {image.m_pBits, image.m_pBits + n};
}

struct BadFile {
    const char* what;
    Bytes bytes;
    const char* message;
};

std::vector<BadFile> BadFiles() {
    const Bytes good = MakeBmp();  // 4 × 3, 24 bits, 54 + 3 × 12 bytes
    const auto size = static_cast<std::uint32_t>(good.size());
    Bytes cut = good;
    cut.pop_back();
    return {
        {"first two bytes \"BA\"", Patched(good, 0, 0x4142, 2), "Ungültige Bitmap-Datei"},
        {"first two bytes 0x19 0x10 (reversed)", Patched(good, 0, 0x1019, 2),
         "Ungültige Bitmap-Datei"},
        {"13 bytes: shorter than the file header", Bytes(good.begin(), good.begin() + 13),
         "Lesefehler"},
        {"empty file", Bytes{}, "Lesefehler"},
        {"pixel offset 40: inside the file header and info header", Patched(good, 10, 40),
         msg::kHeaderTooShort},
        {"pixel offset 26: a 12-byte info block", Patched(good, 10, 26), msg::kHeaderTooShort},
        {"pixel offset 0", Patched(good, 10, 0), msg::kHeaderTooShort},
        {"pixel offset one past the end", Patched(good, 10, size + 1), msg::kOffsetBeyondEnd},
        {"pixel offset 0xFFFFFFFF", Patched(good, 10, 0xFFFFFFFF), msg::kOffsetBeyondEnd},
        {"biSize 12 (OS/2 header)", Patched(good, 14, 12), msg::kOldHeader},
        {"biSize 0", Patched(good, 14, 0), msg::kOldHeader},
        {"biSize 124 in a 40-byte info block", Patched(good, 14, 124), msg::kHeaderLargerThanBlock},
        {"biSize 0xFFFFFFFF", Patched(good, 14, 0xFFFFFFFF), msg::kHeaderLargerThanBlock},
        {"width 0", Patched(good, 18, 0), msg::kEmpty},
        {"height 0", Patched(good, 22, 0), msg::kEmpty},
        {"width -4", Patched(good, 18, static_cast<std::uint32_t>(-4)), msg::kEmpty},
        {"height -3 (top-down rows)", Patched(good, 22, static_cast<std::uint32_t>(-3)),
         msg::kTopDown},
        {"height INT_MIN", Patched(good, 22, 0x80000000), msg::kTopDown},
        {"width 16385", Patched(good, 18, 16385), msg::kTooLarge},
        {"height 16385", Patched(good, 22, 16385), msg::kTooLarge},
        {"width INT_MAX: height × stride overflows", Patched(good, 18, 0x7FFFFFFF), msg::kTooLarge},
        {"pixel data one byte short", cut, "Lesefehler"},
        {"16384 × 16384 announced, 36 pixel bytes there",
         Patched(Patched(good, 18, 16384), 22, 16384), "Lesefehler"},
        {"compression 1 (RLE8)", Patched(good, 30, 1), msg::kCompressed},
        {"compression 3 (bit fields)", Patched(good, 30, 3), msg::kCompressed},
        {"1 bit per pixel", Patched(good, 28, 1, 2), msg::kBitCount},
        {"4 bits per pixel", Patched(good, 28, 4, 2), msg::kBitCount},
        {"0 bits per pixel", Patched(good, 28, 0, 2), msg::kBitCount},
        {"7 bits per pixel", Patched(good, 28, 7, 2), msg::kBitCount},
        {"64 bits per pixel", Patched(good, 28, 64, 2), msg::kBitCount},
    };
}

TEST(DIBTest, EveryBadFileIsRefusedWithItsOwnMessageFromMemoryAndFromAFile) {
    TempDir dir;
    const Bytes good = MakeBmp();
    for (const BadFile& bad : BadFiles()) {
        SCOPED_TRACE(bad.what);
        MessageRecorder messages;
        CDIB image;
        g_largestArrayRequest = 0;
        EXPECT_EQ(image.LoadFromMemory(bad.bytes.data(), bad.bytes.size()), FALSE);
        EXPECT_EQ(messages.Messages(), Messages{bad.message});
        EXPECT_FALSE(image.HasImage());
        EXPECT_EQ(image.GetPixelAddress(0, 0), nullptr);
        // Nothing near the announced size was allocated.
        EXPECT_LT(g_largestArrayRequest, 4096u);

        messages.Clear();
        const std::string path = dir.Write("bad.bmp", bad.bytes);
        EXPECT_EQ(image.Load(path.c_str()), FALSE);
        EXPECT_EQ(messages.Messages(), Messages{bad.message});
        EXPECT_FALSE(image.HasImage());

        // The refused object stays usable: it loads a good file and is destroyed cleanly.
        messages.Clear();
        EXPECT_EQ(image.LoadFromMemory(good.data(), good.size()), TRUE);
        EXPECT_EQ(image.GetWidth(), 4);
        EXPECT_TRUE(messages.Messages().empty());
        EXPECT_EQ(image.LoadFromMemory(bad.bytes.data(), bad.bytes.size()), FALSE);
    }
}

TEST(DIBTest, MemoryBlockShorterThanItsHeadersAnnounceIsRefused) {
    MessageRecorder messages;
    const Bytes good = MakeBmp();
    CDIB image;
    EXPECT_EQ(image.LoadFromMemory(good.data(), good.size() - 1), FALSE);
    EXPECT_EQ(image.LoadFromMemory(good.data(), 30), FALSE);  // ends inside the info header
    EXPECT_EQ(image.LoadFromMemory(good.data(), 10), FALSE);  // ends inside the file header
    EXPECT_EQ(image.LoadFromMemory(nullptr, 100), FALSE);
    EXPECT_EQ(messages.Messages(),
              (Messages{"Lesefehler", msg::kOffsetBeyondEnd, "Lesefehler", "Lesefehler"}));
    EXPECT_EQ(image.LoadFromMemory(good.data(), good.size()), TRUE);
}

TEST(DIBTest, AlternativeMagicReadsLikeBM) {
    MessageRecorder messages;
    const Bytes good = MakeBmp();
    const Bytes alternative = Patched(good, 0, 0x1910, 2);  // bytes 0x10 0x19
    ASSERT_EQ(alternative[0], 0x10);
    CDIB a, b;
    ASSERT_EQ(a.LoadFromMemory(good.data(), good.size()), TRUE);
    ASSERT_EQ(b.LoadFromMemory(alternative.data(), alternative.size()), TRUE);
    EXPECT_EQ(PixelMemory(a), PixelMemory(b));
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(DIBTest, LoadedPixelsSitBottomUpAtTheirAddresses) {
    const BmpSpec spec{.width = 5, .height = 3};
    const Bytes bytes = MakeBmp(spec);
    CDIB image;
    ASSERT_EQ(image.LoadFromMemory(bytes.data(), bytes.size()), TRUE);
    EXPECT_EQ(image.GetWidth(), 5);
    EXPECT_EQ(image.GetHeight(), 3);
    EXPECT_EQ(image.GetBitCount(), 24);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(image, x, y), spec.pixel(x, y));
    }
    // The file's first pixel row is the picture's bottom row.
    EXPECT_EQ(0, std::memcmp(image.m_pBits, bytes.data() + 54, 3 * 16));
}

TEST(DIBTest, StrideAndPixelAddresses) {
    for (const auto& [width, stride] : {std::pair{1, 4}, {2, 8}, {4, 12}, {5, 16}}) {
        EXPECT_EQ(MakeDib(width, 2, 0).GetStride(), stride) << "width " << width;
    }
    const CDIB image = MakeDib(5, 3, 0);
    EXPECT_EQ(image.GetPixelAddress(0, 0), image.m_pBits + 2 * 16);
    EXPECT_EQ(image.GetPixelAddress(4, 0), image.m_pBits + 2 * 16 + 12);
    EXPECT_EQ(image.GetPixelAddress(1, 2), image.m_pBits + 3);
    for (const auto& [x, y] : {std::pair{5, 0},
                               {0, 3},
                               {-1, 0},
                               {0, -1},
                               {INT_MIN, INT_MIN},
                               {INT_MAX, 0},
                               {0, INT_MAX}}) {
        EXPECT_EQ(image.GetPixelAddress(x, y), nullptr) << x << ", " << y;
    }

    // Other bit counts address one byte per pixel step; rows keep the same rule.
    const Bytes eightBit = MakeBmp({.width = 5, .height = 3, .bitCount = 8, .paletteEntries = 256});
    CDIB palette;
    ASSERT_EQ(palette.LoadFromMemory(eightBit.data(), eightBit.size()), TRUE);
    EXPECT_EQ(palette.GetStride(), 8);
    EXPECT_EQ(palette.GetPixelAddress(3, 0), palette.m_pBits + 2 * 8 + 3);
    EXPECT_EQ(palette.GetPixelAddress(5, 0), nullptr);

    const CDIB empty;
    EXPECT_EQ(empty.GetWidth(), 0);
    EXPECT_EQ(empty.GetHeight(), 0);
    EXPECT_EQ(empty.GetBitCount(), 0);
    EXPECT_EQ(empty.GetStride(), 0);
    EXPECT_EQ(empty.GetPixelAddress(0, 0), nullptr);
}

TEST(DIBTest, CreatedImageSavesAndReadsBackWithTheSameHeaderAndPixels) {
    MessageRecorder messages;
    TempDir dir;
    CDIB image = MakeDib(5, 3, RGB(10, 20, 30));
    SetPixel(image, 4, 0, RGB(200, 100, 50));
    ASSERT_EQ(image.Save(dir.File("a.bmp").c_str()), TRUE);
    const Bytes bytes = ReadFileBytes(dir.File("a.bmp"));
    ASSERT_EQ(bytes.size(), 54u + 3u * 16u);
    Bytes header(54, 0);
    Put16(header, 0, 0x4D42);
    Put32(header, 2, 54 + 3 * 16);
    Put32(header, 10, 54);
    Put32(header, 14, 40);
    Put32(header, 18, 5);
    Put32(header, 22, 3);
    Put16(header, 26, 1);
    Put16(header, 28, 24);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 54), header);

    // Read starts at the beginning of the file, wherever it stands.
    CDIB back;
    CFile file;
    ASSERT_EQ(file.Open(dir.File("a.bmp").c_str(), CFile::modeRead), TRUE);
    char skipped[7];
    ASSERT_EQ(file.Read(skipped, sizeof skipped), sizeof skipped);
    ASSERT_EQ(back.Read(&file), TRUE);
    EXPECT_EQ(back.GetWidth(), 5);
    EXPECT_EQ(back.GetHeight(), 3);
    EXPECT_EQ(PixelMemory(back), PixelMemory(image));
    EXPECT_EQ(PixelAt(back, 4, 0), RGB(200, 100, 50));
    ASSERT_EQ(back.Save(dir.File("b.bmp").c_str()), TRUE);
    EXPECT_EQ(ReadFileBytes(dir.File("b.bmp")), bytes);
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(DIBTest, LoadedFileSavesAsTheSameBytesAndNeverMoreThanItsPixels) {
    MessageRecorder messages;
    TempDir dir;
    const Bytes eightBit = MakeBmp({.width = 5, .height = 2, .bitCount = 8, .paletteEntries = 256});
    CDIB image;
    ASSERT_EQ(image.Load(dir.Write("pal.bmp", eightBit).c_str()), TRUE);
    ASSERT_EQ(image.Save(dir.File("again.bmp").c_str()), TRUE);
    EXPECT_EQ(ReadFileBytes(dir.File("again.bmp")), eightBit);

    // A declared file size far beyond the pixels and bytes after them: the copy holds the
    // headers and exactly the pixel memory, and says so in its header.
    Bytes padded = Patched(MakeBmp(), 2, 1000000);
    padded.insert(padded.end(), 20, 0xEE);
    ASSERT_EQ(image.LoadFromMemory(padded.data(), padded.size()), TRUE);
    ASSERT_EQ(image.Save(dir.File("padded.bmp").c_str()), TRUE);
    EXPECT_EQ(ReadFileBytes(dir.File("padded.bmp")), MakeBmp());
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(DIBTest, SaveFailuresAreReported) {
    TempDir dir;
    CDIB image = MakeDib(4, 4, RGB(1, 2, 3));
    {
        MessageRecorder messages;
        EXPECT_EQ(image.Save("/dev/full"), FALSE);
        EXPECT_EQ(messages.Messages(),
                  (Messages{"Schreibfehler – vielleicht ist der Datenträger voll",
                            "Die Datei konnte nicht gespeichert werden"}));
    }
    {
        MessageRecorder messages;
        EXPECT_EQ(image.Save(dir.File("no-such-folder/a.bmp").c_str()), FALSE);
        EXPECT_EQ(messages.Messages(), Messages{"Die Datei konnte nicht geöffnet werden"});
    }
    {
        // An object without an image refuses before it touches an existing file.
        MessageRecorder messages;
        const std::string existing = dir.Write("keep.bmp", MakeBmp());
        CDIB empty;
        EXPECT_EQ(empty.Save(existing.c_str()), FALSE);
        EXPECT_EQ(messages.Messages().size(), 1u);
        EXPECT_EQ(ReadFileBytes(existing), MakeBmp());
    }
    {
        MessageRecorder messages;
        CDIB image2;
        EXPECT_EQ(image2.Load(dir.File("missing.bmp").c_str()), FALSE);  // the caller reports it
        EXPECT_EQ(image2.Load(dir.Path().c_str()), FALSE);               // a folder is no file
        EXPECT_TRUE(messages.Messages().empty());
    }
}

TEST(DIBTest, EmptyPathAsksTheFileDialog) {
    MessageRecorder messages;
    TempDir dir;
    std::vector<platform::FileDialogRequest> requests;
    std::optional<std::string> answer;
    const auto previous = platform::SetFileDialogHandler([&](const platform::FileDialogRequest& r) {
        requests.push_back(r);
        return answer;
    });
    CDIB image = MakeDib(3, 2, RGB(9, 8, 7));
    EXPECT_EQ(image.Save(""), FALSE);
    EXPECT_EQ(image.Save(nullptr), FALSE);
    EXPECT_EQ(image.Load(""), FALSE);
    EXPECT_EQ(image.Load(nullptr), FALSE);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(image.GetWidth(), 3);  // a cancelled load leaves the image alone
    ASSERT_EQ(requests.size(), 4u);
    const std::string filter = "Bilddateien (*.DIB, *.BMP)|*.DIB;*.BMP|Alle Dateien (*.*)|*.*||";
    EXPECT_FALSE(requests[0].open);
    EXPECT_EQ(requests[0].flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    EXPECT_EQ(requests[0].filter, filter);
    EXPECT_TRUE(requests[2].open);
    EXPECT_EQ(requests[2].flags, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    EXPECT_EQ(requests[2].filter, filter);

    answer = dir.File("chosen.bmp");
    EXPECT_EQ(image.Save(""), TRUE);
    EXPECT_EQ(ReadFileBytes(*answer).size(), 54u + 2u * 12u);
    CDIB back;
    EXPECT_EQ(back.Load(nullptr), TRUE);
    EXPECT_EQ(PixelAt(back, 2, 1), RGB(9, 8, 7));
    platform::SetFileDialogHandler(previous);
}

TEST(DIBTest, CopiesShareOneImageUntilOneIsReadAgain) {
    MessageRecorder messages;
    TempDir dir;
    const std::string red =
        dir.Write("red.bmp", MakeBmp({.pixel = [](int, int) { return RGB(255, 0, 0); }}));
    const std::string blue = dir.Write(
        "blue.bmp",
        MakeBmp({.width = 2, .height = 2, .pixel = [](int, int) { return RGB(0, 0, 255); }}));
    auto a = std::make_unique<CDIB>();
    ASSERT_EQ(a->Load(red.c_str()), TRUE);
    CDIB b;
    b = *a;
    CDIB c(*a);
    CDIB& alias = b;
    b = alias;  // assigning an object to itself changes nothing
    EXPECT_EQ(b.m_pBits, a->m_pBits);
    EXPECT_EQ(c.m_pRefCount, a->m_pRefCount);
    EXPECT_EQ(*a->m_pRefCount, 2);

    // Re-reading one holder gives it an image of its own; the others keep the old one.
    ASSERT_EQ(b.Load(blue.c_str()), TRUE);
    EXPECT_NE(b.m_pRefCount, a->m_pRefCount);
    EXPECT_EQ(*b.m_pRefCount, 0);
    EXPECT_EQ(*a->m_pRefCount, 1);
    EXPECT_EQ(PixelAt(b, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(c, 3, 2), RGB(255, 0, 0));

    // A failed read of a holder leaves the others intact too.
    CDIB d = c;
    const Bytes bad = Patched(MakeBmp(), 0, 0, 2);
    EXPECT_EQ(d.LoadFromMemory(bad.data(), bad.size()), FALSE);
    EXPECT_EQ(*c.m_pRefCount, 1);
    EXPECT_EQ(PixelAt(c, 3, 2), RGB(255, 0, 0));

    // The first holder goes; the last one still shows the picture (the sanitizer build checks
    // that every block is freed exactly once when c goes as well).
    a.reset();
    EXPECT_EQ(*c.m_pRefCount, 0);
    EXPECT_EQ(PixelAt(c, 0, 0), RGB(255, 0, 0));
    c = b;  // lets go of the red image, the last holder frees it
    EXPECT_EQ(*b.m_pRefCount, 1);
    EXPECT_EQ(messages.Messages(), Messages{"Ungültige Bitmap-Datei"});
}

TEST(DIBTest, CreateFromDCAtTheSameSizeChangesEveryHolder) {
    MessageRecorder messages;
    CDIB a = MakeDib(4, 3, RGB(255, 0, 0));
    CDIB b = a;
    const CDIB blue = MakeDib(4, 3, RGB(0, 0, 255));
    unsigned char* const bits = a.m_pBits;
    ASSERT_EQ(a.CreateFromDC(blue.m_pDC, 4, 3), TRUE);
    EXPECT_EQ(a.m_pBits, bits);  // the DIB section is reused
    EXPECT_EQ(PixelAt(b, 3, 2), RGB(0, 0, 255));

    // Another size makes a new image of its own.
    const CDIB green = MakeDib(6, 6, RGB(0, 255, 0));
    ASSERT_EQ(a.CreateFromDC(green.m_pDC, 5, 2), TRUE);
    EXPECT_EQ(a.GetWidth(), 5);
    EXPECT_EQ(PixelAt(a, 4, 1), RGB(0, 255, 0));
    EXPECT_EQ(b.GetWidth(), 4);
    EXPECT_EQ(PixelAt(b, 3, 2), RGB(0, 0, 255));
    EXPECT_EQ(*b.m_pRefCount, 0);

    // Without a source the new image is blank.
    CDIB blank;
    ASSERT_EQ(blank.CreateFromDC(nullptr, 2, 2), TRUE);
    EXPECT_EQ(PixelAt(blank, 1, 1), RGB(0, 0, 0));
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(DIBTest, ImpossibleSizesAreRefused) {
    for (const auto& [w, h] : {std::pair{0, 5},
                               {5, 0},
                               {-1, 5},
                               {5, -1},
                               {16385, 1},
                               {1, 16385},
                               {INT_MAX, INT_MAX},
                               {INT_MIN, 3}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        MessageRecorder messages;
        CDIB image = MakeDib(2, 2, RGB(1, 1, 1));
        EXPECT_EQ(image.CreateFilled(nullptr, w, h, RGB(5, 5, 5)), FALSE);
        EXPECT_EQ(messages.Messages(), Messages{"Die DIB-Section konnte nicht angelegt werden"});
        EXPECT_FALSE(image.HasImage());
        EXPECT_EQ(image.CreateFilled(nullptr, 3, 1, RGB(5, 5, 5)), TRUE);
        EXPECT_EQ(PixelAt(image, 2, 0), RGB(5, 5, 5));
    }
}

TEST(DIBTest, DrawAndDrawPartCopyRectanglesToADeviceContext) {
    CDIB image = Gradient(6, 4);
    CDIB screen = MakeDib(20, 10, RGB(0, 0, 0));
    EXPECT_EQ(image.Draw(screen.m_pDC, 3, 2), TRUE);
    EXPECT_EQ(PixelAt(screen, 3, 2), PixelAt(image, 0, 0));
    EXPECT_EQ(PixelAt(screen, 8, 5), PixelAt(image, 5, 3));
    EXPECT_EQ(PixelAt(screen, 9, 5), RGB(0, 0, 0));

    CDIB part = MakeDib(20, 10, RGB(0, 0, 0));
    EXPECT_EQ(image.DrawPart(part.m_pDC, 1, 1, 3, 4, 10, 2), TRUE);
    EXPECT_EQ(PixelAt(part, 11, 3), PixelAt(image, 1, 1));
    EXPECT_EQ(PixelAt(part, 12, 5), PixelAt(image, 2, 3));
    EXPECT_EQ(PixelAt(part, 13, 3), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(part, 11, 2), RGB(0, 0, 0));

    // Rectangles and shifts anywhere in the int range copy only what lies in both images.
    CDIB hostile = MakeDib(20, 10, RGB(0, 0, 0));
    const int values[] = {INT_MIN, -3, 0, 2, INT_MAX};
    for (int l : values) {
        for (int t : values) {
            for (int r : values) {
                for (int b : values) {
                    image.DrawPart(hostile.m_pDC, l, t, r, b, 0, 0);
                    image.DrawPart(hostile.m_pDC, l, t, r, b, INT_MAX, INT_MIN);
                    image.DrawPart(hostile.m_pDC, l, t, r, b, INT_MIN, 1);
                }
            }
        }
        image.Draw(hostile.m_pDC, l, INT_MAX);
        image.Draw(hostile.m_pDC, INT_MIN, l);
    }
    EXPECT_EQ(PixelAt(hostile, 0, 0), PixelAt(image, 0, 0));
    EXPECT_EQ(image.Draw(nullptr, 0, 0), FALSE);
    CDIB empty;
    EXPECT_EQ(empty.Draw(screen.m_pDC, 0, 0), FALSE);
}

// ---- the sprite addition ----

TEST(DIBTest, AdditionClipsAtTheLeftAndTopOfTheDestination) {
    MessageRecorder messages;
    CDIB source = Gradient(30, 6);
    CDIB dest = MakeDib(40, 10, RGB(0, 0, 0));
    // x = −5, w = 20: five source columns are skipped and 15 land from destination column 0.
    source.AddSpriteTo(&dest, -5, 0, 20, 1, 0, 0, 1.0f, FALSE);
    for (int x = 0; x < 15; ++x) EXPECT_EQ(PixelAt(dest, x, 0), PixelAt(source, x + 5, 0)) << x;
    EXPECT_EQ(PixelAt(dest, 15, 0), RGB(0, 0, 0));

    // The same on the top edge, with a source offset.
    source.AddSpriteTo(&dest, 2, -2, 3, 5, 1, 1, 1.0f, FALSE);
    EXPECT_EQ(PixelAt(dest, 2, 0), PixelAt(source, 1, 3));
    EXPECT_EQ(PixelAt(dest, 4, 2), PixelAt(source, 3, 5));
    EXPECT_EQ(PixelAt(dest, 2, 3), RGB(0, 0, 0));

    // And on the right and bottom: only what fits is drawn.
    source.AddSpriteTo(&dest, 38, 8, 10, 10, 0, 0, 1.0f, FALSE);
    EXPECT_EQ(PixelAt(dest, 39, 9), PixelAt(source, 1, 1));
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(DIBTest, AdditionOutsideTheDestinationIsSilentOutsideTheSourceIsReported) {
    MessageRecorder messages;
    CDIB source = Gradient(10, 10);
    CDIB dest = MakeDib(20, 20, RGB(0, 0, 0));
    const auto before = PixelMemory(dest);
    source.AddSpriteTo(&dest, 20, 0, 5, 5, 0, 0, 1.0f, FALSE);
    source.AddSpriteTo(&dest, -5, 0, 5, 5, 0, 0, 1.0f, FALSE);
    source.AddSpriteTo(&dest, 0, -30, 5, 5, 0, 0, 1.0f, FALSE);
    source.AddSpriteTo(&dest, 3, 3, 0, 5, 0, 0, 1.0f, FALSE);
    source.AddSpriteTo(&dest, 3, 3, -4, 5, 0, 0, 1.0f, FALSE);
    EXPECT_TRUE(messages.Messages().empty());

    source.AddSpriteTo(&dest, 0, 0, 5, 5, -1, 0, 1.0f, FALSE);
    source.AddSpriteTo(&dest, 0, 0, 5, 5, 0, -1, 1.0f, FALSE);
    source.AddSpriteTo(&dest, 0, 0, 5, 5, 6, 0, 1.0f, FALSE);   // one column too far right
    source.AddSpriteTo(&dest, 0, 0, 5, 5, 0, 6, 1.0f, TRUE);    // one row too far down
    source.AddSpriteTo(&dest, -3, 0, 5, 5, 8, 0, 1.0f, FALSE);  // the clip shifts it out
    EXPECT_EQ(messages.Messages(), Messages(5, kAdditionMessage));
    EXPECT_EQ(PixelMemory(dest), before);

    // Clipping first decides what must exist: only the 5 columns that fit are looked for.
    messages.Clear();
    source.AddSpriteTo(&dest, 15, 0, 100, 2, 5, 0, 1.0f, FALSE);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(PixelAt(dest, 19, 1), PixelAt(source, 9, 1));
}

TEST(DIBTest, OpacityLimitsAreSinglePrecisionValues) {
    CDIB source = MakeDib(1, 1, RGB(200, 200, 200));
    const auto drawn = [&](float alpha) {
        CDIB dest = MakeDib(1, 1, RGB(100, 101, 100));
        source.AddSpriteTo(&dest, 0, 0, 1, 1, 0, 0, alpha, FALSE);
        return PixelAt(dest, 0, 0);
    };
    EXPECT_EQ(drawn(0.99f), RGB(200, 200, 200));
    EXPECT_EQ(drawn(1.0f), RGB(200, 200, 200));
    EXPECT_EQ(drawn(7.0f), RGB(200, 200, 200));
    EXPECT_EQ(drawn(0.01f), RGB(100, 101, 100));
    EXPECT_EQ(drawn(0.0f), RGB(100, 101, 100));
    EXPECT_EQ(drawn(-1.0f), RGB(100, 101, 100));
    EXPECT_EQ(drawn(std::nanf("")), RGB(100, 101, 100));
    // 0.5: 100 + trunc(100 × 0.5) = 150; 101 + trunc(99 × 0.5) = 150.
    EXPECT_EQ(drawn(0.5f), RGB(150, 150, 150));
    // Just inside the limits blends: 100 + trunc(100 × 0.98999995) = 198.
    EXPECT_EQ(drawn(std::nextafter(0.99f, 0.0f)), RGB(198, 199, 198));
    EXPECT_EQ(drawn(std::nextafter(0.01f, 1.0f)), RGB(101, 101, 101));
}

TEST(DIBTest, BlendSpanIsTheTruncatedFormulaForEveryPairOfBytes) {
    std::vector<unsigned char> dst(256 * 256), src(256 * 256), expected(256 * 256);
    const float alphas[] = {std::nextafter(0.01f, 1.0f), 0.1f, 0.25f, 1.0f / 3.0f, 0.5f, 0.7f, 0.9f,
                            std::nextafter(0.99f, 0.0f), 0.25f};
    for (float alpha : alphas) {
        SCOPED_TRACE(alpha);
        for (int d = 0; d < 256; ++d) {
            for (int s = 0; s < 256; ++s) {
                const std::size_t i = static_cast<std::size_t>(d * 256 + s);
                dst[i] = static_cast<unsigned char>(d);
                src[i] = static_cast<unsigned char>(s);
                expected[i] = static_cast<unsigned char>(
                    d + static_cast<int>(std::trunc((s - d) * static_cast<double>(alpha))));
            }
        }
        BlendSpan(dst.size(), dst.data(), src.data(), alpha);
        EXPECT_EQ(dst, expected);
    }
    unsigned char d[4] = {100, 200, 100, 101};
    const unsigned char s[4] = {200, 100, 101, 100};
    BlendSpan(4, d, s, 0.5f);
    EXPECT_EQ(std::vector<unsigned char>(d, d + 4),
              (std::vector<unsigned char>{150, 150, 100, 101}));

    // Opacities outside 0..1 never leave the range between the two bytes.
    for (float alpha : {-2.0f, 1.5f, 1e30f, -1e30f, std::nanf("")}) {
        unsigned char x[2] = {10, 250};
        const unsigned char y[2] = {250, 10};
        BlendSpan(2, x, y, alpha);
        EXPECT_TRUE(x[0] >= 10 && x[0] <= 250 && x[1] >= 10 && x[1] <= 250) << alpha;
    }
}

TEST(DIBTest, ColourKeySkipsKeyPixelsInRuns) {
    const COLORREF key = RGB(255, 0, 255), a = RGB(1, 2, 3), b = RGB(4, 5, 6), e = RGB(7, 8, 9);
    CDIB source = MakeDib(5, 1, key);  // key A B key E
    SetPixel(source, 1, 0, a);
    SetPixel(source, 2, 0, b);
    SetPixel(source, 4, 0, e);
    const COLORREF under = RGB(50, 60, 70);
    CDIB dest = MakeDib(5, 1, under);
    source.AddSpriteTo(&dest, 0, 0, 5, 1, 0, 0, 1.0f, TRUE);
    EXPECT_EQ(PixelAt(dest, 0, 0), under);
    EXPECT_EQ(PixelAt(dest, 1, 0), a);
    EXPECT_EQ(PixelAt(dest, 2, 0), b);
    EXPECT_EQ(PixelAt(dest, 3, 0), under);
    EXPECT_EQ(PixelAt(dest, 4, 0), e);

    // Blended runs leave key pixels alone as well.
    CDIB blended = MakeDib(5, 1, RGB(100, 100, 100));
    source.AddSpriteTo(&blended, 0, 0, 5, 1, 0, 0, 0.5f, TRUE);
    EXPECT_EQ(PixelAt(blended, 0, 0), RGB(100, 100, 100));
    EXPECT_EQ(PixelAt(blended, 1, 0), RGB(51, 51, 52));  // red: 100 + trunc(−99 × 0.5)
    EXPECT_EQ(PixelAt(blended, 3, 0), RGB(100, 100, 100));

    // Without the key flag every pixel is drawn.
    source.AddSpriteTo(&dest, 0, 0, 5, 1, 0, 0, 1.0f, FALSE);
    EXPECT_EQ(PixelAt(dest, 0, 0), key);
    EXPECT_EQ(PixelAt(dest, 3, 0), key);
}

TEST(DIBTest, ColourKeyIsTheWholeImagesTopLeftPixelComparedOnAllThreeBytes) {
    const COLORREF key = RGB(10, 20, 30);
    CDIB source = MakeDib(4, 2, key);
    SetPixel(source, 1, 1, RGB(11, 20, 30));  // red differs
    SetPixel(source, 2, 1, RGB(10, 21, 30));  // green differs
    SetPixel(source, 3, 1, RGB(10, 20, 31));  // blue differs
    SetPixel(source, 0, 1, RGB(99, 99, 99));
    const COLORREF under = RGB(0, 0, 0);
    CDIB dest = MakeDib(4, 1, under);
    // Drawing only the second row: its key is still pixel (0, 0) of the whole image.
    source.AddSpriteTo(&dest, 0, 0, 4, 1, 0, 1, 1.0f, TRUE);
    EXPECT_EQ(PixelAt(dest, 0, 0), RGB(99, 99, 99));
    EXPECT_EQ(PixelAt(dest, 1, 0), RGB(11, 20, 30));
    EXPECT_EQ(PixelAt(dest, 2, 0), RGB(10, 21, 30));
    EXPECT_EQ(PixelAt(dest, 3, 0), RGB(10, 20, 31));
    SetPixel(source, 0, 1, key);
    CDIB dest2 = MakeDib(4, 1, under);
    source.AddSpriteTo(&dest2, 0, 0, 4, 1, 0, 1, 1.0f, TRUE);
    EXPECT_EQ(PixelAt(dest2, 0, 0), under);

    // Nearly-key pixels where the run finder is skipping key pixels: at the start of a row, after
    // a key pixel, after a visible one and last in the row; one row for each byte that differs.
    const COLORREF nearly[3] = {RGB(11, 20, 30), RGB(10, 21, 30), RGB(10, 20, 31)};
    CDIB keyed = MakeDib(7, 4, key);
    for (int row = 1; row <= 3; ++row) {
        for (int x : {0, 2, 4, 6}) SetPixel(keyed, x, row, nearly[row - 1]);
        SetPixel(keyed, 3, row, RGB(99, 99, 99));
    }
    CDIB dest3 = MakeDib(7, 4, under);
    keyed.AddSpriteTo(&dest3, 0, 0, 7, 4, 0, 0, 1.0f, TRUE);
    for (int row = 1; row <= 3; ++row) {
        SCOPED_TRACE(row);
        for (int x : {0, 2, 4, 6}) EXPECT_EQ(PixelAt(dest3, x, row), nearly[row - 1]) << x;
        EXPECT_EQ(PixelAt(dest3, 1, row), under);
        EXPECT_EQ(PixelAt(dest3, 5, row), under);
    }
}

// The addition written out pixel by pixel for a region inside both images: the reference the
// compositor's runs must match.
CDIB ReferenceAddition(const CDIB& source, const CDIB& under, int x, int y, int w, int h, int sx,
                       int sy, float alpha) {
    CDIB out = MakeDib(under.GetWidth(), under.GetHeight(), RGB(0, 0, 0));
    std::memcpy(out.m_pBits, under.m_pBits, PixelMemory(under).size());
    const COLORREF key = PixelAt(source, 0, 0);
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            const COLORREF s = PixelAt(source, sx + i, sy + j);
            if (s == key) continue;
            if (alpha >= 0.99f) {
                SetPixel(out, x + i, y + j, s);
                continue;
            }
            const COLORREF d = PixelAt(out, x + i, y + j);
            COLORREF blended = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const int dc = static_cast<int>((d >> shift) & 0xFF);
                const int sc = static_cast<int>((s >> shift) & 0xFF);
                const auto c = static_cast<int>(dc + std::trunc((sc - dc) * double{alpha}));
                blended |= static_cast<COLORREF>(c) << shift;
            }
            SetPixel(out, x + i, y + j, blended);
        }
    }
    return out;
}

TEST(DIBTest, KeyedDrawingMatchesThePixelByPixelAdditionAndFollowsChangedPixels) {
    const COLORREF key = RGB(255, 0, 255);
    std::srand(11);
    // Key-coloured patches of random length, as around a drawn figure.
    const auto randomPicture = [&](int w, int h) {
        CDIB picture = MakeDib(w, h, key);
        for (int y = 0; y < h; ++y) {
            for (int x = 1; x < w;) {
                const int run = 1 + std::rand() % 9;
                const bool visible = std::rand() % 5 < 3;
                for (int k = 0; k < run && x < w; ++k, ++x) {
                    if (visible) {
                        SetPixel(picture, x, y,
                                 RGB(std::rand() % 256, std::rand() % 256, std::rand() % 200));
                    }
                }
            }
        }
        return picture;
    };
    const auto drawAndCompare = [&](CDIB& source, float alpha, bool whole = false) {
        const int w = whole ? source.GetWidth() : 1 + std::rand() % source.GetWidth();
        const int h = whole ? source.GetHeight() : 1 + std::rand() % source.GetHeight();
        const int sx = std::rand() % (source.GetWidth() - w + 1);
        const int sy = std::rand() % (source.GetHeight() - h + 1);
        CDIB dest = Gradient(31, 29);
        const int x = std::rand() % (31 - std::min(w, 31) + 1);
        const int y = std::rand() % (29 - std::min(h, 29) + 1);
        const int cw = std::min(w, 31 - x), ch = std::min(h, 29 - y);
        const CDIB expected = ReferenceAddition(source, dest, x, y, cw, ch, sx, sy, alpha);
        source.AddSpriteTo(&dest, x, y, w, h, sx, sy, alpha, TRUE);
        ASSERT_EQ(PixelMemory(dest), PixelMemory(expected))
            << w << "x" << h << " from " << sx << "," << sy << " at " << x << "," << y;
    };
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        CDIB source = randomPicture(5 + std::rand() % 40, 1 + std::rand() % 20);
        for (const float alpha : {1.0f, 0.5f, 0.9f, 0.37f}) drawAndCompare(source, alpha);
    }

    CDIB source = randomPicture(24, 12);
    drawAndCompare(source, 1.0f, true);
    // A pixel written through its address.
    SetPixel(source, 5, 5, key);
    SetPixel(source, 6, 5, RGB(1, 2, 3));
    drawAndCompare(source, 1.0f, true);
    // Pixels written through the pixel memory, with a word.
    std::memset(source.m_pBits + source.GetStride() * 3, 0x40, source.GetStride());
    source.PixelsChanged();
    drawAndCompare(source, 0.5f, true);
    // The picture drawn into.
    CDIB other = randomPicture(24, 12);
    other.AddSpriteTo(&source, 0, 0, 24, 12, 0, 0, 1.0f, TRUE);
    drawAndCompare(source, 1.0f, true);
    // A second holder of the picture sees what the first one changed.
    CDIB holder(source);
    drawAndCompare(holder, 1.0f, true);
    SetPixel(source, 2, 2, RGB(9, 9, 9));
    drawAndCompare(holder, 1.0f, true);
    // A new picture read into it.
    ASSERT_TRUE(source.LoadFromMemory(MakeBmp().data(), MakeBmp().size()));
    drawAndCompare(source, 0.9f, true);
    drawAndCompare(holder, 1.0f, true);
}

TEST(DIBTest, AddSpriteFromIsTheSameAdditionSeenFromTheDestination) {
    CDIB source = Gradient(8, 8);
    CDIB viaTo = MakeDib(10, 10, RGB(5, 5, 5));
    CDIB viaFrom = MakeDib(10, 10, RGB(5, 5, 5));
    source.AddSpriteTo(&viaTo, -2, 3, 7, 9, 1, 0, 0.6f, TRUE);
    viaFrom.AddSpriteFrom(&source, -2, 3, 7, 9, 1, 0, 0.6f, TRUE);
    EXPECT_EQ(PixelMemory(viaTo), PixelMemory(viaFrom));
    viaFrom.AddSpriteFrom(nullptr, 0, 0, 1, 1, 0, 0, 1.0f, FALSE);
}

TEST(DIBTest, HostileRegionsAndOtherBitCountsStayInsideBothImages) {
    MessageRecorder messages;
    CDIB source = Gradient(7, 5);
    CDIB dest = MakeDib(9, 6, RGB(0, 0, 0));
    const int values[] = {INT_MIN, -7, 0, 3, INT_MAX};
    for (int x : values) {
        for (int y : values) {
            for (int w : values) {
                for (int h : values) {
                    for (int sx : values) {
                        for (int sy : values) {
                            source.AddSpriteTo(&dest, x, y, w, h, sx, sy, 0.5f, TRUE);
                        }
                    }
                }
            }
        }
    }
    EXPECT_FALSE(messages.Messages().empty());

    // 8-, 16- and 32-bit images neither draw nor are drawn into by the 24-bit pixel code.
    for (int bits : {8, 16, 32}) {
        SCOPED_TRACE(bits);
        const Bytes bytes = MakeBmp({.width = 3, .height = 2, .bitCount = bits});
        CDIB other;
        ASSERT_EQ(other.LoadFromMemory(bytes.data(), bytes.size()), TRUE);
        const auto destBefore = PixelMemory(dest);
        const auto otherBefore = PixelMemory(other);
        other.AddSpriteTo(&dest, 0, 0, 3, 2, 0, 0, 1.0f, TRUE);
        source.AddSpriteTo(&other, 0, 0, 7, 5, 0, 0, 1.0f, FALSE);
        other.AddSpriteTo(&other, 0, 0, 3, 2, 0, 0, 0.5f, FALSE);
        EXPECT_EQ(PixelMemory(dest), destBefore);
        EXPECT_EQ(PixelMemory(other), otherBefore);
    }
    CDIB empty;
    empty.AddSpriteTo(&dest, 0, 0, 3, 3, 0, 0, 1.0f, FALSE);
    source.AddSpriteTo(&empty, 0, 0, 3, 3, 0, 0, 1.0f, FALSE);
    source.AddSpriteTo(nullptr, 0, 0, 3, 3, 0, 0, 1.0f, FALSE);
}

}  // namespace
