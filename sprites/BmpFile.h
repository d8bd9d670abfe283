// SPDX-License-Identifier: GPL-3.0-or-later
// The BMP file format as the image class reads and writes it: the file header, the info block
// before the pixels, the checks that refuse what the image class cannot hold, and writing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lang/Language.h"
#include "platform/File.h"
#include "platform/Gdi.h"
#include "platform/Types.h"

namespace dib_messages {
// Texts of the refusals that have no message of their own in the framework's image class.
inline constexpr const char* kHeaderTooShort =
    lang::Mark("Ungültige Bitmap-Datei: die Bilddaten beginnen mitten in den Kopfdaten");
inline constexpr const char* kOffsetBeyondEnd =
    lang::Mark("Ungültige Bitmap-Datei: die Bilddaten sollen erst hinter dem Dateiende beginnen");
inline constexpr const char* kOldHeader = lang::Mark(
    "Nicht unterstützte Bitmap: Infoköpfe unter 40 Byte (OS/2-Format) werden nicht unterstützt");
inline constexpr const char* kHeaderLargerThanBlock =
    lang::Mark("Ungültige Bitmap-Datei: der Infokopf ist größer als der Platz vor den Bilddaten");
inline constexpr const char* kCompressed =
    lang::Mark("Nicht unterstützte Bitmap: komprimierte Bilder werden nicht unterstützt");
inline constexpr const char* kBitCount =
    lang::Mark("Nicht unterstützte Bitmap: nur 8, 16, 24 und 32 Bit pro Pixel werden unterstützt");
inline constexpr const char* kTopDown = lang::Mark(
    "Nicht unterstützte Bitmap: Bilder mit der obersten Zeile zuerst (negative Höhe) werden nicht "
    "unterstützt");
inline constexpr const char* kEmpty =
    lang::Mark("Ungültige Bitmap-Datei: Breite und Höhe müssen mindestens 1 sein");
inline constexpr const char* kTooLarge =
    lang::Mark("Nicht unterstützte Bitmap: Breite und Höhe dürfen höchstens 16384 Pixel sein");
}  // namespace dib_messages

namespace bmp {

inline constexpr DWORD kFileHeaderSize = sizeof(BITMAPFILEHEADER);
inline constexpr DWORD kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
/// Longest info block kept whole. Real headers and colour tables need far less; beyond it only
/// the header and colour table are kept and the rest before the pixels is skipped, so that a
/// small file cannot make the reader allocate what its header claims.
inline constexpr std::size_t kMaxWholeInfoBlock = 64 * 1024;

/// Where the reader takes a file's bytes from: front to back, with a known length.
class Source {
public:
    virtual ~Source() = default;
    virtual std::uint64_t Length() = 0;
    /// Reads up to count bytes from the current position; returns how many were read.
    virtual std::size_t Take(void* dst, std::size_t count) = 0;
    /// Moves to offset from the start, at most Length(); false when that fails.
    virtual bool SkipTo(std::uint64_t offset) = 0;
};

/// An open file, read from where it stands.
class FileSource final : public Source {
public:
    explicit FileSource(CFile& file) : m_file(file) {}
    std::uint64_t Length() override;
    std::size_t Take(void* dst, std::size_t count) override;
    bool SkipTo(std::uint64_t offset) override;

private:
    CFile& m_file;
};

/// size bytes of a file held in memory at data.
class MemorySource final : public Source {
public:
    MemorySource(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint64_t Length() override { return m_size; }
    std::size_t Take(void* dst, std::size_t count) override;
    bool SkipTo(std::uint64_t offset) override;

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

/// Reads and checks everything before the pixels and leaves source at the first pixel byte, with
/// the file's height × stride pixel bytes known to follow. The file header and the info block go
/// into blocks from malloc, stored in header and info as they are made, so that a caller frees
/// them also after a refusal. When the info block is cut (see kMaxWholeInfoBlock), the header's
/// bfOffBits and biSize describe what was kept. Returns null, or the refusal's message.
const char* ReadHeaders(Source& source, BITMAPFILEHEADER*& header, BITMAPINFO*& info);

/// Bytes of pixel data the info header describes: height × row stride.
std::size_t PixelBytes(const BITMAPINFOHEADER& info);

/// Writes the file header (with bfSize set to what is written), the bfOffBits − 14 bytes of the
/// info block and the PixelBytes of pixels the info header describes. Returns false when a write
/// failed.
bool Write(CFile& file, const BITMAPFILEHEADER& header, const BITMAPINFO* info,
           const unsigned char* pixels);

}  // namespace bmp
