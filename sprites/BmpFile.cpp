// SPDX-License-Identifier: GPL-3.0-or-later
#include "sprites/BmpFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace bmp {
namespace {

constexpr WORD kTypeBM = 0x4D42;
// Some old writers put these two bytes where "BM" belongs; the files are otherwise the same.
constexpr WORD kTypeAlternative = 0x1910;
// The longest info header there is (the fifth version); longer ones only claim to be.
constexpr std::uint32_t kLongestHeader = 124;
// An 8-bit picture's colour table has 256 entries; a longer one shows nothing more.
constexpr std::uint64_t kMostColours = 256;

const char* Check(const BITMAPINFOHEADER& info, std::size_t blockSize) {
    namespace msg = dib_messages;
    if (info.biSize < kInfoHeaderSize) return msg::kOldHeader;
    if (info.biSize > blockSize) return msg::kHeaderLargerThanBlock;
    if (info.biCompression != BI_RGB) return msg::kCompressed;
    if (info.biBitCount != 8 && info.biBitCount != 16 && info.biBitCount != 24 &&
        info.biBitCount != 32) {
        return msg::kBitCount;
    }
    if (info.biHeight < 0) return msg::kTopDown;
    if (info.biWidth <= 0 || info.biHeight == 0) return msg::kEmpty;
    if (info.biWidth > kMaxBitmapSide || info.biHeight > kMaxBitmapSide) return msg::kTooLarge;
    return nullptr;
}

// How much of a blockSize-byte info block is kept: all of it up to kMaxWholeInfoBlock, else the
// header and the colour table that follows it.
std::size_t KeptInfoBytes(const BITMAPINFOHEADER& info, std::size_t blockSize) {
    if (blockSize <= kMaxWholeInfoBlock) return blockSize;
    const std::uint64_t colours = info.biClrUsed != 0    ? info.biClrUsed
                                  : info.biBitCount <= 8 ? 1u << info.biBitCount
                                                         : 0;
    const std::uint64_t kept =
        std::min(info.biSize, kLongestHeader) + std::min(colours, kMostColours) * sizeof(RGBQUAD);
    return static_cast<std::size_t>(std::min<std::uint64_t>(kept, blockSize));
}

}  // namespace

std::uint64_t FileSource::Length() {
    return m_file.GetLength();
}

std::size_t FileSource::Take(void* dst, std::size_t count) {
    return m_file.Read(dst, static_cast<UINT>(count));
}

bool FileSource::SkipTo(std::uint64_t offset) {
    try {
        return m_file.Seek(static_cast<std::int64_t>(offset), CFile::begin) == offset;
    } catch (const CFileException&) {
        return false;
    }
}

std::size_t MemorySource::Take(void* dst, std::size_t count) {
    const std::size_t n = std::min(count, m_size - m_pos);
    if (n > 0) std::memcpy(dst, m_data + m_pos, n);
    m_pos += n;
    return n;
}

bool MemorySource::SkipTo(std::uint64_t offset) {
    if (offset > m_size) return false;
    m_pos = static_cast<std::size_t>(offset);
    return true;
}

std::size_t PixelBytes(const BITMAPINFOHEADER& info) {
    return static_cast<std::size_t>(std::max<LONG>(info.biHeight, 0)) *
           DibStride(info.biWidth, info.biBitCount);
}

const char* ReadHeaders(Source& source, BITMAPFILEHEADER*& header, BITMAPINFO*& info) {
    const std::uint64_t length = source.Length();
    header = static_cast<BITMAPFILEHEADER*>(std::malloc(kFileHeaderSize));
    if (header == nullptr) return lang::Mark("Kein Speicher für den BITMAPFILEHEADER");
    if (source.Take(header, kFileHeaderSize) != kFileHeaderSize) return lang::Mark("Lesefehler");
    if (header->bfType != kTypeBM && header->bfType != kTypeAlternative) {
        return lang::Mark("Ungültige Bitmap-Datei");
    }
    // The declared offset sizes the info block, so it is checked before anything is allocated.
    const DWORD offBits = header->bfOffBits;
    if (offBits < kFileHeaderSize + kInfoHeaderSize) return dib_messages::kHeaderTooShort;
    if (offBits > length) return dib_messages::kOffsetBeyondEnd;

    const std::size_t blockSize = offBits - kFileHeaderSize;
    BITMAPINFOHEADER first{};
    if (source.Take(&first, kInfoHeaderSize) != kInfoHeaderSize) return lang::Mark("Lesefehler");
    if (const char* refusal = Check(first, blockSize)) return refusal;
    // A file too short for its pixels is refused before the pixel memory is allocated.
    if (length - offBits < PixelBytes(first)) return lang::Mark("Lesefehler");

    const std::size_t kept = KeptInfoBytes(first, blockSize);
    info = static_cast<BITMAPINFO*>(std::malloc(kept));
    if (info == nullptr) return lang::Mark("Kein Speicher für die BITMAPINFO");
    info->bmiHeader = first;
    const std::size_t rest = kept - kInfoHeaderSize;
    if (source.Take(reinterpret_cast<unsigned char*>(info) + kInfoHeaderSize, rest) != rest) {
        return lang::Mark("Lesefehler");
    }
    if (kept < blockSize) {
        // The gap is skipped, never read: the block now ends where the kept bytes end.
        if (!source.SkipTo(offBits)) return lang::Mark("Lesefehler");
        info->bmiHeader.biSize = std::min(info->bmiHeader.biSize, kLongestHeader);
        header->bfOffBits = static_cast<DWORD>(kFileHeaderSize + kept);
    }
    return nullptr;
}

bool Write(CFile& file, const BITMAPFILEHEADER& header, const BITMAPINFO* info,
           const unsigned char* pixels) {
    // Exactly the pixel memory the image has is written, and the header says so, whatever size
    // a loaded file declared.
    const std::size_t pixelBytes = PixelBytes(info->bmiHeader);
    BITMAPFILEHEADER written = header;
    written.bfSize = static_cast<DWORD>(header.bfOffBits + pixelBytes);
    try {
        file.Write(&written, kFileHeaderSize);
        file.Write(info, header.bfOffBits - kFileHeaderSize);
        file.Write(pixels, static_cast<UINT>(pixelBytes));
    } catch (const CFileException&) {
        return false;
    }
    return true;
}

}  // namespace bmp
