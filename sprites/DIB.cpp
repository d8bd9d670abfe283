// SPDX-License-Identifier: GPL-3.0-or-later
#include "sprites/DIB.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "lang/Language.h"
#include "platform/MessageBox.h"

namespace {

constexpr WORD kTypeBM = 0x4D42;
// Some old writers put these two bytes where "BM" belongs; the files are otherwise the same.
constexpr WORD kTypeAlternative = 0x1910;
constexpr DWORD kFileHeaderSize = sizeof(BITMAPFILEHEADER);
constexpr DWORD kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
constexpr const char* kFileFilter =
    lang::Mark("Bilddateien (*.DIB, *.BMP)|*.DIB;*.BMP|Alle Dateien (*.*)|*.*||");
constexpr const char* kNoImage = lang::Mark("Es gibt kein Bild zum Speichern");

// The opacity limits are single-precision values and are compared as such.
constexpr float kAlphaLow = 0.01f;
constexpr float kAlphaHigh = 0.99f;
static_assert(std::bit_cast<std::uint32_t>(kAlphaLow) == 0x3C23D70A);
static_assert(std::bit_cast<std::uint32_t>(kAlphaHigh) == 0x3F7D70A4);

void Show(const char* message) {
    AfxMessageBox(lang::Tr(message), MB_OK, 0);
}

// The blend for one opacity: trunc(d × alpha) for every difference d of two bytes, and, where one
// exists, a 16-bit multiplier m with floor(|d| × m / 65536) equal to it for every |d| ≤ 255, which
// lets the vector path compute exactly the same bytes. A sprite list blends many runs at the same
// opacity, so this is rarely rebuilt.
struct BlendRule {
    std::int16_t table[511];
    std::uint32_t multiplier;  // 0: none found, use the table
};

const BlendRule& RuleFor(float requested) {
    // An opacity outside 0..1 would leave the range between the two bytes; none is meant.
    const float alpha = std::isnan(requested) ? 0.0f : std::clamp(requested, 0.0f, 1.0f);
    static BlendRule rule;
    static std::uint32_t ruleAlpha = 0;
    static bool built = false;
    const auto bits = std::bit_cast<std::uint32_t>(alpha);
    if (!built || bits != ruleAlpha) {
        for (int d = -255; d <= 255; ++d) {
            rule.table[d + 255] =
                static_cast<std::int16_t>(std::trunc(d * static_cast<double>(alpha)));
        }
        rule.multiplier = 0;
        const auto guess = static_cast<std::int64_t>(std::floor(alpha * 65536.0));
        for (std::int64_t m = std::max<std::int64_t>(guess - 1, 1);
             m <= std::min<std::int64_t>(guess + 2, 65535) && rule.multiplier == 0; ++m) {
            bool exact = true;
            for (int d = 0; d <= 255 && exact; ++d) {
                exact = ((d * m) >> 16) == rule.table[d + 255];
            }
            if (exact) rule.multiplier = static_cast<std::uint32_t>(m);
        }
        ruleAlpha = bits;
        built = true;
    }
    return rule;
}

// Opaque tiles are most of what the game draws; where the processor has 32-byte registers a tile
// row takes three moves.
#if defined(__x86_64__) && defined(__GNUC__)
// bytes ≥ 32. Written with intrinsics: a 32-byte memcpy would become two 16-byte moves, and a
// library call costs more than a row of the back buffer takes to copy.
__attribute__((target("avx2"), always_inline)) inline void CopyWide(unsigned char* dst,
                                                                    const unsigned char* src,
                                                                    std::size_t bytes) {
    for (std::size_t i = 0; i + 32 < bytes; i += 32) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + bytes - 32),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + bytes - 32)));
}

// The vector blend below on 32 bytes at once; returns how many bytes it blended.
__attribute__((target("avx2"))) std::size_t BlendWide(std::size_t n, unsigned char* dst,
                                                      const unsigned char* src,
                                                      std::uint32_t multiplier) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i m = _mm256_set1_epi16(static_cast<std::int16_t>(multiplier));
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i halves[2];
        for (int h = 0; h < 2; ++h) {
            const __m256i d16 =
                h == 0 ? _mm256_unpacklo_epi8(d, zero) : _mm256_unpackhi_epi8(d, zero);
            const __m256i s16 =
                h == 0 ? _mm256_unpacklo_epi8(s, zero) : _mm256_unpackhi_epi8(s, zero);
            const __m256i diff = _mm256_sub_epi16(s16, d16);
            const __m256i negative = _mm256_cmpgt_epi16(zero, diff);
            const __m256i magnitude = _mm256_sub_epi16(_mm256_xor_si256(diff, negative), negative);
            const __m256i scaled = _mm256_mulhi_epu16(magnitude, m);
            halves[h] = _mm256_add_epi16(
                d16, _mm256_sub_epi16(_mm256_xor_si256(scaled, negative), negative));
        }
        // Unpacking and packing both work within 16-byte lanes, so the bytes keep their places.
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                            _mm256_packus_epi16(halves[0], halves[1]));
    }
    return i;
}

// The same on 64 bytes at once where the processor has 64-byte registers.
__attribute__((target("avx512bw"))) std::size_t BlendWidest(std::size_t n, unsigned char* dst,
                                                            const unsigned char* src,
                                                            std::uint32_t multiplier) {
    const __m512i zero = _mm512_setzero_si512();
    const __m512i m = _mm512_set1_epi16(static_cast<std::int16_t>(multiplier));
    std::size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        const __m512i d = _mm512_loadu_si512(dst + i);
        const __m512i s = _mm512_loadu_si512(src + i);
        __m512i halves[2];
        for (int h = 0; h < 2; ++h) {
            const __m512i d16 =
                h == 0 ? _mm512_unpacklo_epi8(d, zero) : _mm512_unpackhi_epi8(d, zero);
            const __m512i s16 =
                h == 0 ? _mm512_unpacklo_epi8(s, zero) : _mm512_unpackhi_epi8(s, zero);
            const __m512i diff = _mm512_sub_epi16(s16, d16);
            const __mmask32 negative = _mm512_movepi16_mask(diff);
            const __m512i scaled = _mm512_mulhi_epu16(_mm512_abs_epi16(diff), m);
            halves[h] = _mm512_mask_sub_epi16(_mm512_add_epi16(d16, scaled), negative, d16, scaled);
        }
        _mm512_storeu_si512(dst + i, _mm512_packus_epi16(halves[0], halves[1]));
    }
    return i;
}
#endif

void CopyRowsAcrossPortable(RowCopy* copies, std::size_t count, std::size_t rows, std::size_t bytes,
                            std::size_t dstStride, std::size_t srcStride) {
    for (std::size_t k = 0; k < count; ++k) {
        for (std::size_t r = 0; r < rows; ++r) {
            CopySpan(copies[k].dst, copies[k].src, bytes);
            copies[k].dst -= dstStride;
            copies[k].src -= srcStride;
        }
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
// Rows of (moves − 1) × 32 < bytes ≤ moves × 32: a tile's row is a fixed number of moves, and
// its addresses stay in registers while its rows are copied.
template <int moves>
__attribute__((target("avx2"), always_inline)) inline void CopyRowsAcrossFixed(
    RowCopy* copies, std::size_t count, std::size_t rows, std::size_t bytes, std::size_t dstStride,
    std::size_t srcStride) {
    for (std::size_t k = 0; k < count; ++k) {
        unsigned char* dst = copies[k].dst;
        const unsigned char* src = copies[k].src;
        for (std::size_t r = 0; r < rows; ++r) {
            for (int m = 0; m < moves - 1; ++m) {
                _mm256_storeu_si256(
                    reinterpret_cast<__m256i*>(dst + 32 * m),
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 32 * m)));
            }
            _mm256_storeu_si256(
                reinterpret_cast<__m256i*>(dst + bytes - 32),
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + bytes - 32)));
            dst -= dstStride;
            src -= srcStride;
        }
        copies[k].dst = dst;
        copies[k].src = src;
    }
}

__attribute__((target("avx2"))) void CopyRowsAcrossWide(RowCopy* copies, std::size_t count,
                                                        std::size_t rows, std::size_t bytes,
                                                        std::size_t dstStride,
                                                        std::size_t srcStride) {
    switch ((bytes + 31) / 32) {
        case 1:
            return CopyRowsAcrossFixed<1>(copies, count, rows, bytes, dstStride, srcStride);
        case 2:
            return CopyRowsAcrossFixed<2>(copies, count, rows, bytes, dstStride, srcStride);
        case 3:
            return CopyRowsAcrossFixed<3>(copies, count, rows, bytes, dstStride, srcStride);
        case 4:
            return CopyRowsAcrossFixed<4>(copies, count, rows, bytes, dstStride, srcStride);
        case 5:
            return CopyRowsAcrossFixed<5>(copies, count, rows, bytes, dstStride, srcStride);
        default:
            break;
    }
    for (std::size_t k = 0; k < count; ++k) {
        for (std::size_t r = 0; r < rows; ++r) {
            CopyWide(copies[k].dst, copies[k].src, bytes);
            copies[k].dst -= dstStride;
            copies[k].src -= srcStride;
        }
    }
}
#endif

// Copies a block of rows, bottom-up, between images that do not overlap.
void CopyRows(unsigned char* dst, std::size_t dstStride, const unsigned char* src,
              std::size_t srcStride, std::size_t bytes, std::size_t rows) {
    RowCopy copy{dst, src};
    CopyRowsAcross(&copy, 1, rows, bytes, dstStride, srcStride);
}

}  // namespace

void CopyRowsAcross(RowCopy* copies, std::size_t count, std::size_t rows, std::size_t bytes,
                    std::size_t dstStride, std::size_t srcStride) {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool wide = __builtin_cpu_supports("avx2");
    if (wide && bytes >= 32) {
        CopyRowsAcrossWide(copies, count, rows, bytes, dstStride, srcStride);
        return;
    }
#endif
    CopyRowsAcrossPortable(copies, count, rows, bytes, dstStride, srcStride);
}

void BlendSpan(std::size_t n, unsigned char* dst, const unsigned char* src, float alpha) {
    const BlendRule& rule = RuleFor(alpha);
    std::size_t i = 0;
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool widest = __builtin_cpu_supports("avx512bw");
    static const bool wide = __builtin_cpu_supports("avx2");
    if (widest && rule.multiplier != 0 && n >= 64) i = BlendWidest(n, dst, src, rule.multiplier);
    if (wide && rule.multiplier != 0 && n - i >= 32) {
        i += BlendWide(n - i, dst + i, src + i, rule.multiplier);
    }
#endif
#if defined(__SSE2__)
    if (rule.multiplier != 0) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i m = _mm_set1_epi16(static_cast<std::int16_t>(rule.multiplier));
        const auto half = [&](__m128i d, __m128i s) {
            const __m128i diff = _mm_sub_epi16(s, d);
            const __m128i negative = _mm_cmpgt_epi16(zero, diff);
            const __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(diff, negative), negative);
            const __m128i scaled = _mm_mulhi_epu16(magnitude, m);
            return _mm_add_epi16(d, _mm_sub_epi16(_mm_xor_si128(scaled, negative), negative));
        };
        for (; i + 16 <= n; i += 16) {
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
            const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            const __m128i low = half(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
            const __m128i high = half(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(low, high));
        }
    }
#endif
    const std::int16_t* delta = rule.table + 255;
    for (; i < n; ++i) {
        dst[i] = static_cast<unsigned char>(dst[i] + delta[src[i] - dst[i]]);
    }
}

// Where Read and LoadFromMemory take their bytes from: read front to back, with a known length.
class CDIB::Source {
public:
    virtual ~Source() = default;
    virtual std::uint64_t Length() = 0;
    /// Reads up to count bytes from the current position; returns how many were read.
    virtual std::size_t Take(void* dst, std::size_t count) = 0;
    /// The bytes bytes from offset on as pixel memory that needs no reading, or null.
    virtual platform::PixelMemory View(std::uint64_t /*offset*/, std::size_t /*bytes*/) {
        return {};
    }
};

namespace {

class FileSource final : public CDIB::Source {
public:
    explicit FileSource(CFile& file) : m_file(file) {}
    std::uint64_t Length() override { return m_file.GetLength(); }
    std::size_t Take(void* dst, std::size_t count) override {
        return m_file.Read(dst, static_cast<UINT>(count));
    }
    platform::PixelMemory View(std::uint64_t offset, std::size_t bytes) override {
        return platform::MapPixels(m_file, offset, bytes);
    }

private:
    CFile& m_file;
};

class MemorySource final : public CDIB::Source {
public:
    MemorySource(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint64_t Length() override { return m_size; }
    std::size_t Take(void* dst, std::size_t count) override {
        const std::size_t n = std::min(count, m_size - m_pos);
        if (n > 0) std::memcpy(dst, m_data + m_pos, n);
        m_pos += n;
        return n;
    }

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

}  // namespace

// Where each row's visible pixels lie, for the key colour they were found with: rows of sprite
// pictures hold a few long runs, so keyed drawing copies runs instead of testing every pixel. A
// row's runs are found the first time it is drawn (a sheet shows one frame at a time).
struct CDIB::KeyRuns {
    struct Run {
        std::uint16_t begin;  // first visible pixel
        std::uint16_t end;    // one past the last
    };
    struct Row {
        std::uint32_t first;  // its runs: runs[first] ..
        std::uint32_t count;  // .. count of them; kNotFound until the row is first drawn
    };
    static constexpr std::uint32_t kNotFound = UINT32_MAX;
    bool known = false;  // rows and runs belong to the current pixels and key
    unsigned char key[3]{};
    std::vector<Row> rows;  // row y, 0 = top
    std::vector<Run> runs;
};

CDIB::CDIB()
    : m_pRefCount(new int(0)),
      m_pDC(new CDC),
      m_pFileHeader(nullptr),
      m_pInfo(nullptr),
      m_pBits(nullptr),
      m_hBitmap(nullptr),
      m_hOldBitmap(nullptr),
      m_pKeyRuns(new KeyRuns) {}

CDIB::CDIB(const CDIB& other) : CDIB() {
    Share(other);
}

CDIB::~CDIB() {
    ReleaseForDestroy();
}

// Frees this object's blocks, bitmap and device context (keeping the DC object) and leaves it
// without an image. Also tidies up after a read that failed half-way.
void CDIB::FreeImage() {
    std::free(m_pFileHeader);
    std::free(m_pInfo);
    m_pFileHeader = nullptr;
    m_pInfo = nullptr;
    if (m_hBitmap != nullptr) {
        if (m_hOldBitmap != nullptr) ::SelectObject(m_pDC->m_hDC, m_hOldBitmap);
        ::DeleteObject(m_hBitmap);
    }
    m_pDC->DeleteDC();
    m_pBits = nullptr;
    m_hBitmap = nullptr;
    m_hOldBitmap = nullptr;
    PixelsChanged();
}

void CDIB::ReleaseForDestroy() {
    if (m_pRefCount == nullptr) return;
    if (*m_pRefCount != 0) {
        --*m_pRefCount;
    } else {
        FreeImage();
        delete m_pDC;
        delete m_pRefCount;
        delete m_pKeyRuns;
    }
    m_pRefCount = nullptr;
    m_pKeyRuns = nullptr;
    m_pDC = nullptr;
    m_pFileHeader = nullptr;
    m_pInfo = nullptr;
    m_pBits = nullptr;
    m_hBitmap = nullptr;
    m_hOldBitmap = nullptr;
}

void CDIB::ReleaseForRecreate() {
    if (*m_pRefCount > 0) {
        // The other holders keep the image; this object starts over on resources of its own.
        // That also holds for a shared object without an image, whose DC object is shared too.
        --*m_pRefCount;
        m_pRefCount = new int(0);
        m_pKeyRuns = new KeyRuns;
        m_pDC = new CDC;
        m_pFileHeader = nullptr;
        m_pInfo = nullptr;
        m_pBits = nullptr;
        m_hBitmap = nullptr;
        m_hOldBitmap = nullptr;
    } else {
        FreeImage();
    }
}

BOOL CDIB::Refuse(const char* message) {
    Show(message);
    FreeImage();
    return FALSE;
}

BOOL CDIB::Read(CFile* file) {
    ReleaseForRecreate();
    if (file == nullptr) return Refuse("Lesefehler");
    try {
        file->Seek(0, CFile::begin);
    } catch (const CFileException&) {
        return Refuse("Lesefehler");
    }
    FileSource source(*file);
    return ReadFrom(source);
}

BOOL CDIB::LoadFromMemory(const unsigned char* data, std::size_t size) {
    ReleaseForRecreate();
    MemorySource source(data, data != nullptr ? size : 0);
    return ReadFrom(source);
}

BOOL CDIB::ReadFrom(Source& source) {
    namespace msg = dib_messages;
    const std::uint64_t length = source.Length();

    m_pFileHeader = static_cast<BITMAPFILEHEADER*>(std::malloc(kFileHeaderSize));
    if (m_pFileHeader == nullptr) return Refuse("Kein Speicher für den BITMAPFILEHEADER");
    if (source.Take(m_pFileHeader, kFileHeaderSize) != kFileHeaderSize) {
        return Refuse("Lesefehler");
    }
    if (m_pFileHeader->bfType != kTypeBM && m_pFileHeader->bfType != kTypeAlternative) {
        return Refuse("Ungültige Bitmap-Datei");
    }
    // The declared offset sizes the info block, so it must be checked before that is allocated.
    const DWORD offBits = m_pFileHeader->bfOffBits;
    if (offBits < kFileHeaderSize + kInfoHeaderSize) return Refuse(msg::kHeaderTooShort);
    if (offBits > length) return Refuse(msg::kOffsetBeyondEnd);

    const std::size_t infoSize = offBits - kFileHeaderSize;
    m_pInfo = static_cast<BITMAPINFO*>(std::malloc(infoSize));
    if (m_pInfo == nullptr) return Refuse("Kein Speicher für die BITMAPINFO");
    if (source.Take(m_pInfo, infoSize) != infoSize) return Refuse("Lesefehler");

    const BITMAPINFOHEADER& info = m_pInfo->bmiHeader;
    if (info.biSize < kInfoHeaderSize) return Refuse(msg::kOldHeader);
    if (info.biSize > infoSize) return Refuse(msg::kHeaderLargerThanBlock);
    if (info.biCompression != BI_RGB) return Refuse(msg::kCompressed);
    if (info.biBitCount != 8 && info.biBitCount != 16 && info.biBitCount != 24 &&
        info.biBitCount != 32) {
        return Refuse(msg::kBitCount);
    }
    if (info.biHeight < 0) return Refuse(msg::kTopDown);
    if (info.biWidth <= 0 || info.biHeight == 0) return Refuse(msg::kEmpty);
    if (info.biWidth > kMaxBitmapSide || info.biHeight > kMaxBitmapSide) {
        return Refuse(msg::kTooLarge);
    }
    // A file too short for its pixels is refused before the pixel memory is allocated.
    const std::size_t pixelBytes =
        static_cast<std::size_t>(info.biHeight) * static_cast<std::size_t>(GetStride());
    if (length - offBits < pixelBytes) return Refuse("Lesefehler");

    m_pDC->Attach(::CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    // A file holds its pixels as they lie in memory: a large picture that is only drawn from is
    // viewed rather than read.
    platform::PixelMemory view =
        DrawnFromOnly() ? source.View(offBits, pixelBytes) : platform::PixelMemory{};
    const bool viewed = static_cast<bool>(view);
    m_hBitmap = viewed
                    ? ::CreateDIBSectionOn(m_pInfo, std::move(view), pixelBytes, &bits)
                    : ::CreateDIBSection(m_pDC->m_hDC, m_pInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_pBits = static_cast<unsigned char*>(bits);
    if (m_pBits == nullptr) return Refuse("Die DIB-Section konnte nicht angelegt werden");
    m_hOldBitmap = ::SelectObject(m_pDC->m_hDC, m_hBitmap);
    if (m_hOldBitmap == nullptr) return Refuse("Die Bitmap konnte nicht ausgewählt werden");
    if (!viewed && source.Take(m_pBits, pixelBytes) != pixelBytes) return Refuse("Lesefehler");
    return TRUE;
}

BOOL CDIB::CreateFromDC(CDC* dc, int width, int height) {
    if (m_pFileHeader != nullptr && m_pInfo != nullptr && GetWidth() == width &&
        GetHeight() == height) {
        CopyFromDC(dc, width, height);
        return TRUE;
    }
    ReleaseForRecreate();

    m_pFileHeader = static_cast<BITMAPFILEHEADER*>(std::malloc(kFileHeaderSize));
    if (m_pFileHeader == nullptr) return Refuse("Kein Speicher für den BITMAPFILEHEADER");
    *m_pFileHeader = BITMAPFILEHEADER{kTypeBM, 0, 0, 0, kFileHeaderSize + kInfoHeaderSize};
    m_pInfo = static_cast<BITMAPINFO*>(std::malloc(kInfoHeaderSize));
    if (m_pInfo == nullptr) return Refuse("Kein Speicher für die BITMAPINFO");
    m_pInfo->bmiHeader =
        BITMAPINFOHEADER{kInfoHeaderSize, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const std::size_t stride = DibStride(width, 24);
    m_pFileHeader->bfSize = static_cast<DWORD>(
        static_cast<std::size_t>(std::max(height, 0)) * stride + kFileHeaderSize + kInfoHeaderSize);
    // Images are bottom-up: a negative height would make a top-down section nothing else expects.
    if (width <= 0 || height <= 0) return Refuse("Die DIB-Section konnte nicht angelegt werden");

    m_pDC->Attach(::CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    m_hBitmap = ::CreateDIBSection(m_pDC->m_hDC, m_pInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_pBits = static_cast<unsigned char*>(bits);
    if (m_pBits == nullptr) return Refuse("Die DIB-Section konnte nicht angelegt werden");
    m_hOldBitmap = ::SelectObject(m_pDC->m_hDC, m_hBitmap);
    if (m_hOldBitmap == nullptr) Show("Die Bitmap konnte nicht ausgewählt werden");
    CopyFromDC(dc, width, height);
    return TRUE;
}

BOOL CDIB::CreateFilled(CDC* referenceDC, int width, int height, COLORREF colour) {
    CDC temporary;
    temporary.CreateCompatibleDC(referenceDC);
    HBITMAP bitmap = ::CreateCompatibleBitmap(referenceDC != nullptr ? referenceDC->m_hDC : nullptr,
                                              width, height);
    HGDIOBJ previous = temporary.SelectObject(bitmap);
    temporary.FillSolidRect(0, 0, width, height, colour);
    const BOOL created = CreateFromDC(&temporary, width, height);
    if (previous != nullptr) temporary.SelectObject(previous);
    if (bitmap != nullptr) ::DeleteObject(bitmap);
    temporary.DeleteDC();
    return created;
}

BOOL CDIB::Load(const char* path) {
    std::string chosen = path != nullptr ? path : "";
    if (chosen.empty()) {
        CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                           lang::Tr(kFileFilter), nullptr);
        if (dialog.DoModal() != IDOK) return FALSE;
        chosen = dialog.GetPathName();
    }
    CFile file;
    if (!file.Open(chosen.c_str(), CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
    const BOOL result = Read(&file);
    file.Close();
    return result;
}

BOOL CDIB::Save(const char* path) {
    // Without an image nothing is written, and an existing file is not truncated for nothing.
    if (m_pFileHeader == nullptr || m_pInfo == nullptr || m_pBits == nullptr) {
        Show(kNoImage);
        return FALSE;
    }
    std::string chosen = path != nullptr ? path : "";
    if (chosen.empty()) {
        CFileDialog dialog(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                           lang::Tr(kFileFilter), nullptr);
        if (dialog.DoModal() != IDOK) return FALSE;
        chosen = dialog.GetPathName();
    }
    CFile file;
    if (!file.Open(chosen.c_str(),
                   CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive)) {
        Show("Die Datei konnte nicht geöffnet werden");
        return FALSE;
    }
    const BOOL result = Write(&file);
    file.Close();
    if (!result) Show("Die Datei konnte nicht gespeichert werden");
    return result;
}

BOOL CDIB::Write(CFile* file) {
    if (m_pFileHeader == nullptr || m_pInfo == nullptr || m_pBits == nullptr || file == nullptr) {
        Show(kNoImage);
        return FALSE;
    }
    // Exactly the pixel memory the image has is written, and the header says so, whatever size
    // a loaded file declared.
    const std::size_t pixelBytes =
        static_cast<std::size_t>(GetHeight()) * static_cast<std::size_t>(GetStride());
    BITMAPFILEHEADER header = *m_pFileHeader;
    header.bfSize = static_cast<DWORD>(header.bfOffBits + pixelBytes);
    try {
        file->Write(&header, kFileHeaderSize);
        file->Write(m_pInfo, header.bfOffBits - kFileHeaderSize);
        file->Write(m_pBits, static_cast<UINT>(pixelBytes));
    } catch (const CFileException&) {
        Show("Schreibfehler – vielleicht ist der Datenträger voll");
        return FALSE;
    }
    return TRUE;
}

BOOL CDIB::Draw(CDC* dc, int x, int y) {
    if (dc == nullptr) return FALSE;
    const int width = GetWidth();
    const int height = GetHeight();
    return ::StretchBlt(dc->m_hDC, x, y, width, height, m_pDC->m_hDC, 0, 0, width, height, SRCCOPY);
}

BOOL CDIB::DrawPart(CDC* dc, int left, int top, int right, int bottom, int dx, int dy) {
    if (dc == nullptr || !HasImage()) return FALSE;
    // Clipped to this image in 64 bits first, so that hostile rectangles and shifts cannot
    // overflow; what remains fits an int.
    std::int64_t l = left, t = top, r = right, b = bottom;
    l = std::max<std::int64_t>(l, 0);
    t = std::max<std::int64_t>(t, 0);
    r = std::min<std::int64_t>(r, GetWidth());
    b = std::min<std::int64_t>(b, GetHeight());
    if (r <= l || b <= t) return std::int64_t{right} > left && std::int64_t{bottom} > top;
    const std::int64_t x = l + dx;
    const std::int64_t y = t + dy;
    const auto fits = [](std::int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; };
    if (!fits(x) || !fits(y)) return TRUE;  // shifted beyond any surface
    const auto width = static_cast<int>(r - l);
    const auto height = static_cast<int>(b - t);
    return ::StretchBlt(dc->m_hDC, static_cast<int>(x), static_cast<int>(y), width, height,
                        m_pDC->m_hDC, static_cast<int>(l), static_cast<int>(t), width, height,
                        SRCCOPY);
}

BOOL CDIB::CopyFromDC(CDC* src, int width, int height) {
    PixelsChanged();
    return ::BitBlt(m_pDC->m_hDC, 0, 0, width, height, src != nullptr ? src->m_hDC : nullptr, 0, 0,
                    SRCCOPY);
}

void CDIB::AddSpriteTo(CDIB* dest, int x, int y, int width, int height, int sx, int sy, float alpha,
                       int colourKey) {
    // The pixel code addresses 3 bytes a pixel; other images would be read or written out of
    // bounds, so they draw nothing (loading them has already warned).
    if (dest == nullptr || m_pBits == nullptr || dest->m_pBits == nullptr || m_pInfo == nullptr ||
        dest->m_pInfo == nullptr) {
        return;
    }
    // The headers are read directly: this runs for every sprite of every frame.
    const BITMAPINFOHEADER& source = m_pInfo->bmiHeader;
    const BITMAPINFOHEADER& target = dest->m_pInfo->bmiHeader;
    if (source.biBitCount != 24 || target.biBitCount != 24) return;
    // Clip in 64 bits: positions and sizes may be anything a caller computed.
    std::int64_t dx = x, dy = y, w = width, h = height, srcX = sx, srcY = sy;
    if (dx < 0) {
        w += dx;
        srcX -= dx;
        dx = 0;
    }
    if (dy < 0) {
        h += dy;
        srcY -= dy;
        dy = 0;
    }
    const std::int64_t right = std::min<std::int64_t>(dx + w, target.biWidth);
    const std::int64_t bottom = std::min<std::int64_t>(dy + h, target.biHeight);
    if (right <= dx || bottom <= dy) return;
    w = right - dx;
    h = bottom - dy;
    if (srcX < 0 || srcY < 0 || w + srcX > source.biWidth || h + srcY > source.biHeight) {
        Show("der Bildbereich für die Spriteaddition ist ungültig");
        return;
    }
    const bool copy = alpha >= kAlphaHigh;
    const bool blend = alpha > kAlphaLow && alpha < kAlphaHigh;
    if (!copy && !blend) return;

    const auto spanBytes = static_cast<std::size_t>(w) * 3;
    const std::size_t srcStride = DibStride(source.biWidth, 24);
    const std::size_t dstStride = DibStride(target.biWidth, 24);
    // Row y of a bottom-up image lies (height − 1 − y) strides into its pixels.
    unsigned char* srcRow = m_pBits +
                            static_cast<std::size_t>(source.biHeight - 1 - srcY) * srcStride +
                            static_cast<std::size_t>(srcX) * 3;
    unsigned char* dstRow = dest->m_pBits +
                            static_cast<std::size_t>(target.biHeight - 1 - dy) * dstStride +
                            static_cast<std::size_t>(dx) * 3;
    const bool distinct = dest->m_pBits != m_pBits;
    dest->PixelsChanged();
    const auto flush = [&](unsigned char* d, const unsigned char* s, std::size_t n) {
        if (copy) {
            if (distinct) {
                CopySpan(d, s, n);
            } else {
                std::memmove(d, s, n);  // an image drawn onto itself may overlap
            }
        } else {
            BlendSpan(n, d, s, alpha);
        }
    };
    // Rows are stored bottom-up, so the next row down lies one stride lower in memory.
    if (colourKey == 0) {
        if (copy && distinct) {
            CopyRows(dstRow, dstStride, srcRow, srcStride, spanBytes, static_cast<std::size_t>(h));
            return;
        }
        for (std::int64_t r = 0; r < h; ++r, srcRow -= srcStride, dstRow -= dstStride) {
            flush(dstRow, srcRow, spanBytes);
        }
        return;
    }
    if (distinct) {
        AddKeyedRows(dstRow, dstStride, srcX, srcY, w, h, copy, alpha);
        return;
    }
    // An image drawn onto itself may overwrite rows it has still to read: those are tested
    // pixel by pixel as they are read.
    const unsigned char* key = PixelAt(0, 0);
    const unsigned char keyB = key[0], keyG = key[1], keyR = key[2];
#if defined(__SSE2__)
    // Sixteen pixels (48 bytes) are compared with the key at once; the three 16-byte loads meet
    // the blue, green, red pattern at three different phases.
    alignas(16) unsigned char pattern[48];
    for (int b = 0; b < 48; ++b) pattern[b] = key[b % 3];
    const __m128i phase0 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern));
    const __m128i phase1 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 16));
    const __m128i phase2 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 32));
    constexpr std::uint64_t kFirstBytes = 0x249249249249;  // bit 3k for k = 0..15
    constexpr std::uint64_t kAllKey = (std::uint64_t{1} << 48) - 1;
    const auto keyBytes = [&](const unsigned char* p) {
        const auto mask = [](const unsigned char* at, __m128i phase) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
            return static_cast<std::uint64_t>(
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, phase))));
        };
        return mask(p, phase0) | mask(p + 16, phase1) << 16 | mask(p + 32, phase2) << 32;
    };
#endif
    for (std::int64_t r = 0; r < h; ++r, srcRow -= srcStride, dstRow -= dstStride) {
        std::size_t runStart = 0;
        std::size_t runLength = 0;
        const auto keyPixelAt = [&](std::size_t i) {
            if (runLength > 0) flush(dstRow + runStart, srcRow + runStart, runLength);
            runLength = 0;
            runStart = i + 3;
        };
        std::size_t i = 0;
#if defined(__SSE2__)
        for (; i + 48 <= spanBytes; i += 48) {
            const std::uint64_t equal = keyBytes(srcRow + i);
            const std::uint64_t keyPixels = equal & (equal >> 1) & (equal >> 2) & kFirstBytes;
            if (keyPixels == 0) {
                runLength += 48;
            } else if (equal == kAllKey) {
                keyPixelAt(i + 45);
            } else {
                for (std::size_t k = 0; k < 16; ++k) {
                    if ((keyPixels >> (3 * k)) & 1) {
                        keyPixelAt(i + 3 * k);
                    } else {
                        runLength += 3;
                    }
                }
            }
        }
#endif
        for (; i < spanBytes; i += 3) {
            const unsigned char* p = srcRow + i;
            if (p[0] == keyB && p[1] == keyG && p[2] == keyR) {
                keyPixelAt(i);
            } else {
                runLength += 3;
            }
        }
        if (runLength > 0) flush(dstRow + runStart, srcRow + runStart, runLength);
    }
}

void CDIB::AddSpriteFrom(CDIB* src, int x, int y, int width, int height, int sx, int sy,
                         float alpha, int colourKey) {
    if (src == nullptr) return;
    src->AddSpriteTo(this, x, y, width, height, sx, sy, alpha, colourKey);
}

int CDIB::GetWidth() const {
    return m_pInfo != nullptr ? m_pInfo->bmiHeader.biWidth : 0;
}
int CDIB::GetHeight() const {
    return m_pInfo != nullptr ? m_pInfo->bmiHeader.biHeight : 0;
}
int CDIB::GetBitCount() const {
    return m_pInfo != nullptr ? m_pInfo->bmiHeader.biBitCount : 0;
}

void CDIB::GetRect(RECT* rect) const {
    if (rect != nullptr) *rect = RECT{0, 0, GetWidth(), GetHeight()};
}

void CDIB::Share(const CDIB& src) {
    // Releasing first would free the very image about to be taken over.
    if (&src == this) return;
    ReleaseForDestroy();
    m_pBits = src.m_pBits;
    m_pFileHeader = src.m_pFileHeader;
    m_pInfo = src.m_pInfo;
    m_pRefCount = src.m_pRefCount;
    m_pKeyRuns = src.m_pKeyRuns;
    m_hBitmap = src.m_hBitmap;
    m_hOldBitmap = src.m_hOldBitmap;
    m_pDC = src.m_pDC;
    ++*m_pRefCount;
}

CDIB& CDIB::operator=(const CDIB& other) {
    if (&other != this) Share(other);
    return *this;
}

int CDIB::GetStride() const {
    if (m_pInfo == nullptr) return 0;
    const std::int64_t bytes = std::int64_t{GetBitCount() / 8} * std::int64_t{GetWidth()} + 3;
    return static_cast<int>(bytes & ~std::int64_t{3});
}

unsigned char* CDIB::GetPixelAddress(int x, int y) const {
    PixelsChanged();
    return const_cast<unsigned char*>(PixelAt(x, y));
}

const unsigned char* CDIB::PixelAt(int x, int y) const {
    if (m_pBits == nullptr || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) {
        return nullptr;
    }
    const std::size_t row = static_cast<std::size_t>(GetHeight() - 1 - y);
    const std::size_t column = static_cast<std::size_t>(x) * (GetBitCount() == 24 ? 3 : 1);
    return m_pBits + row * static_cast<std::size_t>(GetStride()) + column;
}

void CDIB::PixelsChanged() const {
    if (m_pKeyRuns != nullptr) m_pKeyRuns->known = false;
}

CDIB::KeyRuns& CDIB::VisibleRuns() const {
    KeyRuns& found = *m_pKeyRuns;
    const unsigned char* key = PixelAt(0, 0);
    // Pixels written directly without a word are caught at least where they change the key.
    if (found.known && std::memcmp(found.key, key, 3) == 0) return found;
    std::memcpy(found.key, key, 3);
    found.rows.assign(static_cast<std::size_t>(GetHeight()), KeyRuns::Row{0, KeyRuns::kNotFound});
    found.runs.clear();
    found.known = true;
    return found;
}

void CDIB::FindRuns(KeyRuns& found, int y) const {
    const int width = GetWidth();
    const unsigned char* p = PixelAt(0, y);
    const unsigned char* key = found.key;
    KeyRuns::Row& row = found.rows[static_cast<std::size_t>(y)];
    row.first = static_cast<std::uint32_t>(found.runs.size());
    int x = 0;
    while (x < width) {
        while (x < width && std::memcmp(p + 3 * x, key, 3) == 0) ++x;
        const int begin = x;
        while (x < width && std::memcmp(p + 3 * x, key, 3) != 0) ++x;
        if (x > begin) {
            found.runs.push_back(
                KeyRuns::Run{static_cast<std::uint16_t>(begin), static_cast<std::uint16_t>(x)});
        }
    }
    row.count = static_cast<std::uint32_t>(found.runs.size()) - row.first;
}

void CDIB::AddKeyedRows(unsigned char* dstRow, std::size_t dstStride, std::int64_t srcX,
                        std::int64_t srcY, std::int64_t width, std::int64_t height, bool copy,
                        float alpha) const {
    KeyRuns& found = VisibleRuns();
    const std::size_t srcStride = DibStride(GetWidth(), 24);
    const unsigned char* srcRow = PixelAt(static_cast<int>(srcX), static_cast<int>(srcY));
    const std::int64_t srcEnd = srcX + width;
    for (std::int64_t r = 0; r < height; ++r, srcRow -= srcStride, dstRow -= dstStride) {
        const auto y = static_cast<std::size_t>(srcY + r);
        if (found.rows[y].count == KeyRuns::kNotFound) FindRuns(found, static_cast<int>(y));
        const KeyRuns::Row row = found.rows[y];
        for (std::uint32_t k = row.first; k < row.first + row.count; ++k) {
            const KeyRuns::Run run = found.runs[k];
            if (run.end <= srcX) continue;
            if (run.begin >= srcEnd) break;
            const std::int64_t begin = std::max<std::int64_t>(run.begin, srcX);
            const std::int64_t end = std::min<std::int64_t>(run.end, srcEnd);
            const auto offset = static_cast<std::size_t>(begin - srcX) * 3;
            const auto bytes = static_cast<std::size_t>(end - begin) * 3;
            if (copy) {
                CopySpan(dstRow + offset, srcRow + offset, bytes);
            } else {
                BlendSpan(bytes, dstRow + offset, srcRow + offset, alpha);
            }
        }
    }
}
