// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Gdi.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace platform {
namespace {
// Smaller blocks mostly lie in heap pages that are in use already.
constexpr std::size_t kPrefaultBytes = 64 * 1024;
}  // namespace

void PrefaultPixels(void* pixels, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    if (pixels == nullptr || bytes < kPrefaultBytes) return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = reinterpret_cast<std::uintptr_t>(pixels) & ~(page - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(pixels) + bytes;
    // Only a hint: an older kernel refuses it, and the pages then come one by one as before.
    madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
    (void)pixels;
    (void)bytes;
#endif
}

PixelMemory AllocatePixels(std::size_t bytes) {
    PixelMemory memory(
        static_cast<unsigned char*>(std::calloc(std::max<std::size_t>(bytes, 1), 1)));
    PrefaultPixels(memory.get(), bytes);
    return memory;
}

unsigned char* Bitmap::Row(int y) const {
    if (bits == nullptr || y < 0 || y >= height) return nullptr;
    const auto row = static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
    return bits + row * stride;
}

Bitmap PixelsAsBitmap(void* pixels, int width, int height, std::size_t stride) {
    Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.bitCount = 32;
    bitmap.bottomUp = false;
    bitmap.stride = stride;
    bitmap.bits = static_cast<unsigned char*>(pixels);
    return bitmap;
}

DeviceContext::DeviceContext() : m_selected(&m_stock) {
    m_stock.width = m_stock.height = 1;
    m_stock.bitCount = 1;
    m_stock.stride = 4;
    m_stock.owned = AllocatePixels(4);
    m_stock.bits = m_stock.owned.get();
    m_stock.selectedInto = this;
}

DeviceContext::~DeviceContext() {
    // The framework leaves a bitmap that is still selected valid; it is merely free again.
    if (m_selected != nullptr && m_selected != &m_stock) m_selected->selectedInto = nullptr;
}

Bitmap* DeviceContext::Select(Bitmap* bitmap) {
    if (bitmap == nullptr) return nullptr;
    if (bitmap->selectedInto != nullptr && bitmap->selectedInto != this) return nullptr;
    Bitmap* previous = m_selected;
    previous->selectedInto = nullptr;
    m_selected = bitmap;
    bitmap->selectedInto = this;
    return previous;
}

namespace {

// A bitmap over new zeroed pixels.
Bitmap* NewBitmap(int width, int height, int bitCount, bool bottomUp) {
    const std::size_t stride = DibStride(width, bitCount);
    if (stride == 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) {
        return nullptr;
    }
    const std::size_t bytes = stride * static_cast<std::size_t>(height);
    if (bytes > kMaxBitmapBytes) return nullptr;
    auto* bitmap = new (std::nothrow) Bitmap;
    if (bitmap == nullptr) return nullptr;
    bitmap->owned = AllocatePixels(bytes);
    if (!bitmap->owned) {
        delete bitmap;
        return nullptr;
    }
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bitCount = bitCount;
    bitmap->stride = stride;
    bitmap->bottomUp = bottomUp;
    bitmap->bits = bitmap->owned.get();
    return bitmap;
}

// The DIB section info describes; *bits receives its pixels.
HBITMAP NewDIBSection(const BITMAPINFO* info, void** bits) {
    if (bits != nullptr) *bits = nullptr;
    if (info == nullptr) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB || h.biWidth <= 0 ||
        h.biHeight == 0 || h.biHeight == INT32_MIN) {
        return nullptr;
    }
    const bool bottomUp = h.biHeight > 0;
    const int height = bottomUp ? h.biHeight : -h.biHeight;
    HBITMAP bitmap = NewBitmap(h.biWidth, height, h.biBitCount, bottomUp);
    if (bitmap != nullptr && bits != nullptr) *bits = bitmap->bits;
    return bitmap;
}

#if defined(__x86_64__) && defined(__GNUC__)
// 24 to 32 bits, four pixels at a time: the back buffer's rows on their way to a window. Returns
// how many pixels it converted; it never reads beyond the row's last byte.
__attribute__((target("ssse3"))) int Widen24To32(unsigned char* dst, const unsigned char* src,
                                                 int count) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int i = 0;
    for (; i + 6 <= count; i += 4) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i), _mm_shuffle_epi8(pixels, spread));
    }
    return i;
}
#endif

// Copies one row of count pixels between 24- and 32-bit layouts (or equal layouts).
void CopyRow(unsigned char* dst, int dstBits, const unsigned char* src, int srcBits, int count) {
    if (dstBits == srcBits) {
        std::memcpy(dst, src,
                    static_cast<std::size_t>(count) * static_cast<std::size_t>(dstBits / 8));
        return;
    }
    const int dstStep = dstBits / 8;
    const int srcStep = srcBits / 8;
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool shuffle = __builtin_cpu_supports("ssse3");
    if (shuffle && dstStep == 4 && srcStep == 3) {
        const int done = Widen24To32(dst, src, count);
        dst += 4 * done;
        src += 3 * done;
        count -= done;
    }
#endif
    for (int i = 0; i < count; ++i, dst += dstStep, src += srcStep) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        if (dstStep == 4) dst[3] = 0;
    }
}

bool Convertible(int dstBits, int srcBits) {
    const auto trueColour = [](int b) { return b == 24 || b == 32; };
    return (dstBits == srcBits && dstBits >= 8 && dstBits % 8 == 0) ||
           (trueColour(dstBits) && trueColour(srcBits));
}

}  // namespace
}  // namespace platform

HDC CreateCompatibleDC(HDC /*reference*/) {
    return new (std::nothrow) platform::DeviceContext;
}

BOOL DeleteDC(HDC dc) {
    delete dc;
    return dc != nullptr;
}

HBITMAP CreateDIBSection(HDC /*dc*/, const BITMAPINFO* info, UINT /*usage*/, void** bits,
                         HANDLE /*section*/, DWORD /*offset*/) {
    return platform::NewDIBSection(info, bits);
}

HBITMAP CreateCompatibleBitmap(HDC /*dc*/, int width, int height) {
    return platform::NewBitmap(width, height, 24, true);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (dc == nullptr) return nullptr;
    return dc->Select(object);
}

BOOL DeleteObject(HGDIOBJ object) {
    if (object == nullptr || object->selectedInto != nullptr) return FALSE;
    delete object;
    return TRUE;
}

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    if (dst == nullptr || src == nullptr || rop != SRCCOPY || w <= 0 || h <= 0) return FALSE;
    const platform::Bitmap& from = *src->Surface();
    const platform::Bitmap& to = *dst->Surface();
    if (!platform::Convertible(to.bitCount, from.bitCount)) return FALSE;

    // Clip in 64 bits so that hostile coordinates cannot overflow.
    std::int64_t x0 = x, y0 = y, sx0 = sx, sy0 = sy, w0 = w, h0 = h;
    const auto clipLow = [&](std::int64_t& a, std::int64_t& b) {
        const std::int64_t shift = std::max<std::int64_t>({0, -a, -b});
        a += shift;
        b += shift;
        return shift;
    };
    w0 -= clipLow(x0, sx0);
    h0 -= clipLow(y0, sy0);
    w0 = std::min({w0, to.width - x0, from.width - sx0});
    h0 = std::min({h0, to.height - y0, from.height - sy0});
    if (w0 <= 0 || h0 <= 0) return TRUE;

    const int cols = static_cast<int>(w0);
    const std::size_t dstOffset =
        static_cast<std::size_t>(x0) * static_cast<std::size_t>(to.bitCount / 8);
    const std::size_t srcOffset =
        static_cast<std::size_t>(sx0) * static_cast<std::size_t>(from.bitCount / 8);
    // Within one surface a copy downwards must take the rows from the bottom up, or it would read
    // rows it has already overwritten.
    const bool bottomUp = &to == &from && y0 > sy0;
    for (std::int64_t i = 0; i < h0; ++i) {
        const std::int64_t row = bottomUp ? h0 - 1 - i : i;
        unsigned char* d = to.Row(static_cast<int>(y0 + row)) + dstOffset;
        const unsigned char* s = from.Row(static_cast<int>(sy0 + row)) + srcOffset;
        if (&to == &from) {
            std::memmove(
                d, s, static_cast<std::size_t>(cols) * static_cast<std::size_t>(to.bitCount / 8));
        } else {
            platform::CopyRow(d, to.bitCount, s, from.bitCount, cols);
        }
    }
    dst->Changed(RECT{static_cast<LONG>(x0), static_cast<LONG>(y0), static_cast<LONG>(x0 + w0),
                      static_cast<LONG>(y0 + h0)});
    return TRUE;
}

BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop) {
    if (w != sw || h != sh) return FALSE;
    return BitBlt(dst, x, y, w, h, src, sx, sy, rop);
}

CDC::~CDC() {
    DeleteDC();
}

BOOL CDC::Attach(HDC dc) {
    if (m_hDC != nullptr || dc == nullptr) return FALSE;
    m_hDC = dc;
    return TRUE;
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    m_hDC = nullptr;
    return dc;
}

BOOL CDC::CreateCompatibleDC(CDC* reference) {
    return Attach(::CreateCompatibleDC(reference != nullptr ? reference->m_hDC : nullptr));
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr) return FALSE;
    return ::DeleteDC(Detach());
}

BOOL CDC::BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src != nullptr ? src->m_hDC : nullptr, sx, sy, rop);
}

BOOL CDC::StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh,
                     DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, w, h, src != nullptr ? src->m_hDC : nullptr, sx, sy, sw, sh,
                        rop);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
    // The far corner is clamped to the int range rather than wrapped around it.
    const auto clamped = [](std::int64_t v) {
        return static_cast<LONG>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    const RECT rect{x, y, clamped(std::int64_t{x} + cx), clamped(std::int64_t{y} + cy)};
    FillSolidRect(&rect, colour);
}

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) {
    if (m_hDC == nullptr || rect == nullptr) return;
    platform::Bitmap& surface = *m_hDC->Surface();
    if (surface.bitCount != 24 && surface.bitCount != 32) return;
    RECT area{};
    const RECT whole{0, 0, surface.width, surface.height};
    if (!IntersectRect(&area, rect, &whole)) return;
    const int step = surface.bitCount / 8;
    for (LONG y = area.top; y < area.bottom; ++y) {
        unsigned char* p =
            surface.Row(y) + static_cast<std::size_t>(area.left) * static_cast<std::size_t>(step);
        for (LONG x = area.left; x < area.right; ++x, p += step) {
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
            if (step == 4) p[3] = 0;
        }
    }
    m_hDC->Changed(area);
}
